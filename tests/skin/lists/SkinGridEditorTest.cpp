// The in-place editor: opening with a typed character, storing every
// keystroke, navigation keys, Enter, row select, read-only cells that no
// way of editing may change, and the context menu's built-in captions.
#include "platform/user/Desktop.h"
#include "platform/user/Input.h"
#include "platform/user/controls/CommCtrl.h"
#include "skin/core/SkinMessages.h"

#include <algorithm>
#include <functional>

#include "GridTestSupport.h"

#include <gtest/gtest.h>

namespace {

// A grid whose cells are read-only (limit -1) when asked.
class TReadOnlyGrid : public TspSkinStringGrid {
public:
    using TspSkinStringGrid::TspSkinStringGrid;
    bool ReadOnlyCells = false;
    int Stores = 0;
    int GetCellEditLimit() override { return ReadOnlyCells ? -1 : 0; }
    void StoreCellEditText(int ACol, int ARow, const std::string& Value) override
    {
        ++Stores;
        TspSkinStringGrid::StoreCellEditText(ACol, ARow, Value);
    }
};

class GridEditor : public gridtest::TGridTest {
protected:
    TReadOnlyGrid* EditGrid(bool readOnly = false)
    {
        auto* g = Make<TReadOnlyGrid>(Form, 10, 10, 330, 130);
        g->ReadOnlyCells = readOnly;
        TGridOptions o = g->Options();
        o.Include(goEditing);
        g->SetOptions(o);
        g->SetCellText(1, 1, "keep");
        g->SetCellText(1, 2, "second");
        Focus(g);
        return g;
    }
    void Type(const std::string& s)
    {
        HeadlessTypeText(s);
        Application->ProcessMessages();
    }
    void Chord(WORD modifier, WORD vk)
    {
        HeadlessKeyDown(modifier);
        HeadlessKeyPress(vk);
        HeadlessKeyUp(modifier);
        Application->ProcessMessages();
    }
};

TEST_F(GridEditor, TypedLetterOpensTheEditorAndReplacesTheText)
{
    auto* g = EditGrid();
    Type("a");
    ASSERT_NE(g->InplaceEditor(), nullptr);
    EXPECT_TRUE(g->EditorMode());
    EXPECT_TRUE(g->InplaceEditor()->EditorVisible());
    EXPECT_EQ(g->InplaceEditor()->Text(), "a");
    EXPECT_EQ(g->CellText(1, 1), "a");  // stored at once
    const int before = g->Stores;
    Type("bc");
    EXPECT_EQ(g->CellText(1, 1), "abc");
    EXPECT_GE(g->Stores - before, 2);  // every keystroke
    EXPECT_EQ(g->InplaceEditor()->PosEqual(g->CellRect(1, 1)), true);
}

TEST_F(GridEditor, NavigationKeysAndEnter)
{
    auto* g = EditGrid();
    Key(VK_F2);
    ASSERT_TRUE(g->EditorMode());
    ASSERT_TRUE(g->InplaceEditor()->Focused());
    Key(VK_DOWN);  // moves the cell; the editor closes, its text stored
    EXPECT_EQ(g->Row(), 2);
    EXPECT_FALSE(g->EditorMode());
    Key(VK_RETURN);  // Enter opens it on the new cell...
    EXPECT_TRUE(g->EditorMode());
    EXPECT_EQ(g->InplaceEditor()->Text(), "second");
    Key(VK_RIGHT);  // ...where Right moves the caret, not the cell
    EXPECT_EQ(g->Col(), 1);
    Key(VK_RETURN);  // and closes it again
    EXPECT_FALSE(g->EditorMode());
    EXPECT_FALSE(g->InplaceEditor()->EditorVisible());
}

TEST_F(GridEditor, AlwaysShownEditorPassesEdgesToTheGrid)
{
    auto* g = EditGrid();
    TGridOptions o = g->Options();
    o.Include(goAlwaysShowEditor);
    g->SetOptions(o);
    Focus(g);
    ASSERT_NE(g->InplaceEditor(), nullptr);
    Key(VK_RIGHT);  // all selected counts as the right edge: the next column
    EXPECT_EQ(g->Col(), 2);
    Key(VK_RETURN);  // toggles the selection, keeps the editor
    EXPECT_TRUE(g->InplaceEditor()->EditorVisible());
}

TEST_F(GridEditor, NeverWithRowSelect)
{
    auto* g = EditGrid();
    TGridOptions o = g->Options();
    o.Include(goRowSelect);
    g->SetOptions(o);
    Type("x");
    Key(VK_F2);
    EXPECT_TRUE(!g->InplaceEditor() || !g->InplaceEditor()->EditorVisible());
    EXPECT_EQ(g->CellText(1, 1), "keep");
}

// No way of editing changes a read-only cell.
TEST_F(GridEditor, ReadOnlyCellAcceptsNoChange)
{
    ClipboardSetText("zzz");
    auto* g = EditGrid(true);
    Key(VK_F2);
    auto* e = g->InplaceEditor();
    ASSERT_NE(e, nullptr);
    ASSERT_TRUE(e->EditorVisible());
    struct TAction {
        const char* name;
        std::function<void()> run;
    };
    auto msg = [e](UINT m) { return [e, m] { SendMessage(e->Handle(), m, 0, 0); }; };
    auto menu = [e](int item) {
        return [e, item] {
            e->BuildContextMenu();
            TMenuItem* it = e->ContextMenu()->Items()->Items(item);
            if (it->Enabled() && it->OnClick)
                it->OnClick(it);
        };
    };
    const TAction actions[] = {
        {"a", [&] { Type("a"); }},
        {"cyrillic ya", [&] { Type("\xD1\x8F"); }},
        {"cyrillic ie grave", [&] { Type("\xD1\x90"); }},
        {"cjk", [&] { Type("\xE4\xB8\xAD"); }},
        {"backspace", [&] { Key(VK_BACK); }},
        {"delete", [&] { Key(VK_DELETE); }},
        {"ctrl+v", [&] { Chord(VK_CONTROL, 'V'); }},
        {"ctrl+x", [&] { Chord(VK_CONTROL, 'X'); }},
        {"ctrl+z", [&] { Chord(VK_CONTROL, 'Z'); }},
        {"shift+insert", [&] { Chord(VK_SHIFT, VK_INSERT); }},
        {"shift+delete", [&] { Chord(VK_SHIFT, VK_DELETE); }},
        {"WM_PASTE", msg(WM_PASTE)},
        {"WM_CUT", msg(WM_CUT)},
        {"WM_CLEAR", msg(WM_CLEAR)},
        {"WM_UNDO", msg(WM_UNDO)},
        {"EM_UNDO", msg(EM_UNDO)},
        {"menu undo", menu(0)},
        {"menu cut", menu(2)},
        {"menu paste", menu(4)},
        {"menu delete", menu(5)},
    };
    for (const TAction& a : actions) {
        e->SelectAll();
        a.run();
        Application->ProcessMessages();
        EXPECT_EQ(e->Text(), "keep") << a.name;
        EXPECT_EQ(g->CellText(1, 1), "keep") << a.name;
    }
    // Copying still works.
    e->SelectAll();
    Chord(VK_CONTROL, 'C');
    EXPECT_EQ(ClipboardGetText(), "keep");
}

TEST_F(GridEditor, ContextMenuBuiltInCaptions)
{
    auto* g = EditGrid();
    Key(VK_F2);
    auto* e = g->InplaceEditor();
    e->BuildContextMenu();
    TMenuItem* items = e->ContextMenu()->Items();
    const char* want[] = {"Undo", "-", "Cut", "Copy", "Paste", "Delete", "-", "Select All"};
    ASSERT_EQ(items->Count(), 8);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(items->Items(i)->Caption(), want[i]);
    SendMessage(e->Handle(), WM_SKINMENUCOMMAND, 0, 0);
    EXPECT_EQ(e->ContextMenu(), nullptr);
}

TEST_F(GridEditor, ClickOnCurrentCellThenOnEditorIsADoubleClick)
{
    auto* g = EditGrid();
    gridtest::TEventLog log;
    g->OnDblClick = MakeEvent(&log, &gridtest::TEventLog::DblClick);
    Key(VK_F2);
    Key(VK_RETURN);  // editor made, then closed
    MoveTo(g, 100, 37);
    HeadlessMouseDown();
    HeadlessMouseUp();
    Application->ProcessMessages();
    ASSERT_TRUE(g->InplaceEditor()->EditorVisible());
    Clock.Advance(100);
    MoveTo(g, 110, 37);
    HeadlessMouseDown();
    HeadlessMouseUp();
    Application->ProcessMessages();
    EXPECT_EQ(std::count(log.Lines.begin(), log.Lines.end(), "DblClick"), 1);
}

}  // namespace
