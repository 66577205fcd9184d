#pragma once
// What the grid tests share: a shown form with a string grid on it, the
// generated skin, and a fake clock for the drag-scroll timer.
#include "platform/rtl/Clock.h"
#include "platform/user/MessageQueue.h"
#include "skin/controls/ControlsTestSupport.h"
#include "skin/controls/SkinScrollBars.h"
#include "skin/lists/SkinGridEditor.h"
#include "skin/lists/SkinLists.h"
#include "skin/lists/SkinStringGrid.h"

#include <string>
#include <vector>

namespace gridtest {

using controlstest::SkinNewIni;

class TGridTest : public controlstest::TControlsTest {
protected:
    TGridTest() : controlstest::TControlsTest(TRect(0, 0, 500, 400)) {}
    void SetUp() override
    {
        controlstest::TControlsTest::SetUp();
        RegisterSkinListsClasses();
    }
    // A grid on the form, the form's active control.
    TspSkinStringGrid* MakeGrid(int w = 330, int h = 130)
    {
        auto* g = Make<TspSkinStringGrid>(Form, 10, 10, w, h);
        Application->ProcessMessages();
        return g;
    }
    void Focus(TWinControl* c)
    {
        c->SetFocus();
        Application->ProcessMessages();
    }
    void Press(TControl* c, int x, int y, TMouseButton b = TMouseButton::Left)
    {
        MoveTo(c, x, y);
        HeadlessMouseDown(b);
        Application->ProcessMessages();
    }
    void Release(TMouseButton b = TMouseButton::Left)
    {
        HeadlessMouseUp(b);
        Application->ProcessMessages();
    }
    void Key(WORD vk)
    {
        HeadlessKeyPress(vk);
        Application->ProcessMessages();
    }
    TFakeClock Clock{100000};
    TClockInstaller ClockInstall{Clock};
};

// Records the order of a grid's events ("SelectCell 2 3", "MouseDown").
struct TEventLog : TObject {
    std::vector<std::string> Lines;
    bool Refuse = false;
    void SelectCell(TObject*, int c, int r, bool& can)
    {
        Lines.push_back("SelectCell " + std::to_string(c) + " " + std::to_string(r));
        if (Refuse)
            can = false;
    }
    void MouseDown(TObject*, TMouseButton, TShiftState, int, int) { Lines.push_back("MouseDown"); }
    void MouseUp(TObject*, TMouseButton, TShiftState, int, int) { Lines.push_back("MouseUp"); }
    void MouseMove(TObject*, TShiftState, int, int)
    {
        if (Lines.empty() || Lines.back() != "MouseMove")
            Lines.push_back("MouseMove");
    }
    void Click(TObject*) { Lines.push_back("Click"); }
    void DblClick(TObject*) { Lines.push_back("DblClick"); }
    void Attach(TspSkinDrawGrid* g)
    {
        g->OnSelectCell = MakeEvent(this, &TEventLog::SelectCell);
        g->OnMouseDown = MakeEvent(this, &TEventLog::MouseDown);
        g->OnMouseUp = MakeEvent(this, &TEventLog::MouseUp);
        g->OnMouseMove = MakeEvent(this, &TEventLog::MouseMove);
        g->OnClick = MakeEvent(this, &TEventLog::Click);
        g->OnDblClick = MakeEvent(this, &TEventLog::DblClick);
    }
};

}  // namespace gridtest
