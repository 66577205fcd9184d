// Splitters: the room limit, snapping, Esc, right alignment, hidden
// neighbours and the skinned bar's size and look.
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/StdCtrls.h"
#include "platform/user/Input.h"
#include "skin/controls/SkinSplitters.h"
#include "ValueControlsTestCommon.h"

using namespace valuetest;

namespace {

class SplitterTest : public ValueControlsTest {
protected:
    void SetUp() override
    {
        ValueControlsTest::SetUp();
        Form->SetBounds(0, 0, 600, 300);
    }
    TPanel* Panel(TAlign a, int x, int y, int w, int h)
    {
        auto* p = new TPanel(Owner);
        p->SetBounds(x, y, w, h);
        p->SetParent(Form);
        p->SetAlign(a);
        return p;
    }
    template <class S = TspCustomSplitter>
    S* Splitter(TAlign a, int x, int y)
    {
        auto* s = new S(Owner);
        s->SetBounds(x, y, 3, 3);
        s->SetParent(Form);
        s->SetAlign(a);
        if (a == alTop || a == alBottom)
            s->SetHeight(3);
        s->OnMoved = Moved.Event();
        HeadlessProcessMessages();
        return s;
    }
    void Drag(TControl* s, int dx, int dy)
    {
        Press(s, 1, 1);
        MoveTo(s, 1 + dx, 1 + dy);
        Release();
    }
    TCounter Moved;
};

TEST_F(SplitterTest, LeftDragStopsAtTheRoomLeft)
{
    auto* panel = Panel(alLeft, 0, 0, 200, 300);
    auto* s = Splitter(alLeft, 250, 0);
    EXPECT_EQ(s->Left(), 200);
    EXPECT_EQ(s->Width(), 3);
    EXPECT_EQ(s->Cursor(), crHSplit);
    Press(s, 1, 1);
    EXPECT_EQ(s->FControl, panel);
    EXPECT_EQ(s->FMaxSize, 567);
    MoveTo(s, 401, 1);
    EXPECT_EQ(panel->Width(), 567);
    Release();
    EXPECT_EQ(panel->Width(), 567);
    EXPECT_EQ(s->FControl, nullptr);
    EXPECT_GE(Moved.N, 2);  // the size change and the end of the drag
}

TEST_F(SplitterTest, SmallSizeSnapsToZero)
{
    auto* panel = Panel(alLeft, 0, 0, 200, 300);
    auto* s = Splitter(alLeft, 250, 0);
    Drag(s, -175, 0);
    EXPECT_EQ(panel->Width(), 0);
    auto* p2 = Panel(alLeft, 0, 0, 200, 300);
    auto* s2 = Splitter(alLeft, 250, 0);
    s2->SetAutoSnap(false);
    ASSERT_EQ(s2->FindResizeTarget(), p2);
    Drag(s2, -175, 0);
    EXPECT_EQ(p2->Width(), 30);
}

TEST_F(SplitterTest, EscEndsTheDragKeepingTheSize)
{
    auto* edit = new TEdit(Owner);
    edit->SetParent(Form);
    edit->SetAlign(alBottom);
    edit->SetFocus();
    TCounter keys;
    edit->OnKeyDown = TKeyEvent::Bind(&keys, +[](void* d, TObject*, WORD&, TShiftState) {
        ++static_cast<TCounter*>(d)->N;
    });
    auto* panel = Panel(alLeft, 0, 0, 200, 250);
    auto* s = Splitter(alLeft, 250, 0);
    Press(s, 1, 1);
    MoveTo(s, 41, 1);
    EXPECT_EQ(panel->Width(), 240);
    HeadlessKeyPress('A');  // other keys reach the old handler
    HeadlessProcessMessages();
    EXPECT_EQ(keys.N, 1);
    Moved.N = 0;
    HeadlessKeyPress(VK_ESCAPE);
    HeadlessProcessMessages();
    EXPECT_EQ(Moved.N, 1);
    EXPECT_EQ(s->FControl, nullptr);
    MoveTo(s, 120, 1);
    Release();
    EXPECT_EQ(panel->Width(), 240);
    HeadlessKeyPress('B');  // the handler is back
    HeadlessProcessMessages();
    EXPECT_EQ(keys.N, 2);
}

TEST_F(SplitterTest, RightAlignedMovesItsPanel)
{
    auto* panel = Panel(alRight, 500, 0, 100, 300);
    auto* s = Splitter(alRight, 400, 0);
    EXPECT_EQ(s->Left(), 497);
    Drag(s, -50, 0);
    EXPECT_EQ(panel->Width(), 150);
    EXPECT_EQ(panel->Left(), 450);
    EXPECT_EQ(s->Left(), 447);
}

TEST_F(SplitterTest, HiddenTopAndBottomNeighboursTakeNoRoom)
{
    auto* top = Panel(alTop, 0, 0, 600, 100);
    auto* hidden = Panel(alBottom, 0, 250, 600, 50);
    hidden->SetVisible(false);
    auto* s = Splitter(alTop, 0, 150);
    EXPECT_EQ(s->Cursor(), crVSplit);
    Press(s, 1, 1);
    EXPECT_EQ(s->FControl, top);
    EXPECT_EQ(s->FMaxSize, 300 - 30 - 103 + 100);
    Release();
    hidden->SetVisible(true);
    Press(s, 1, 1);
    EXPECT_EQ(s->FMaxSize, 300 - 30 - 153 + 100);
    Release();
}

TEST_F(SplitterTest, SkinnedBarSizeAndLook)
{
    auto* s = Splitter<TspSkinSplitterEx>(alTop, 0, 100);
    EXPECT_EQ(s->SkinDataName(), "vsplitter");
    s->ChangeSkinData();
    EXPECT_EQ(s->Height(), 10);
    HeadlessProcessMessages();
    EXPECT_EQ(PixelOf(s, 5, 5), ColorToRGB(clBtnFace));
    auto* skin = LoadSkinNew();
    s->SetSkinDataName("hsplitter");
    s->SetSkinData(skin);
    ASSERT_NE(s->FSkinPicture, nullptr);
    EXPECT_EQ(s->Height(), s->SkinRect.bottom - s->SkinRect.top);
    HeadlessProcessMessages();
    // An entry of another kind draws the plain look at the default size.
    s->SetSkinDataName("gauge");
    s->ChangeSkinData();
    EXPECT_EQ(s->FSkinPicture, nullptr);
    EXPECT_EQ(s->Height(), 10);
    HeadlessProcessMessages();
    EXPECT_EQ(PixelOf(s, 5, 5), ColorToRGB(clBtnFace));
}

}  // namespace
