// The expandable panel: its buttons and client area, rolling both ways and
// back, closing, the hit-test answers and the platform's move/size loop run
// for it inside its parent.
#include "platform/gui/ExtCtrls.h"
#include "platform/user/NonClient.h"
#include "skin/controls/SkinExPanels.h"
#include "ValueControlsTestCommon.h"

using namespace valuetest;

namespace {

class ExPanelTest : public ValueControlsTest {
protected:
    TspSkinExPanel* ExPanel(TWinControl* parent = nullptr, int x = 10, int y = 10)
    {
        auto* p = Make<TspSkinExPanel>(x, y, 150, 100, parent);
        p->SetCaption("Settings");
        p->OnClose = Closes.Event();
        p->OnChangeRollState = Rolls.Event();
        HeadlessProcessMessages();
        return p;
    }
    TPanel* Child(TWinControl* parent)
    {
        auto* c = new TPanel(Owner);
        c->SetParent(parent);
        c->SetAlign(alClient);
        return c;
    }
    TCounter Closes, Rolls;
};

TEST_F(ExPanelTest, ButtonsAndClientArea)
{
    auto* p = ExPanel();
    auto* c = Child(p);
    p->Repaint();
    EXPECT_EQ(p->Buttons[0].R, TRect(133, 3, 148, 18));
    EXPECT_EQ(p->Buttons[1].R, TRect(118, 3, 133, 18));
    EXPECT_EQ(TRect(c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height()), TRect(1, 21, 149, 99));
    p->SetShowCloseButton(false);
    p->Repaint();
    EXPECT_EQ(p->Buttons[1].R, TRect(133, 3, 148, 18));
}

TEST_F(ExPanelTest, RollingBothWaysAndBack)
{
    auto* p = ExPanel();
    auto* c = Child(p);
    p->SetRollState(true);
    EXPECT_EQ(p->Height(), 21);
    EXPECT_EQ(p->RealHeight(), 100);
    EXPECT_FALSE(c->Visible());
    p->SetBounds(p->Left(), p->Top(), 200, 300);
    EXPECT_EQ(p->Height(), 21);
    EXPECT_EQ(p->Width(), 200);
    p->SetRollState(false);
    EXPECT_EQ(p->Height(), 100);
    EXPECT_EQ(p->RealHeight(), 0);
    EXPECT_TRUE(c->Visible());
    EXPECT_EQ(Rolls.N, 2);

    p->SetRollKind(rkRollHorizontal);
    p->SetRollState(true);
    EXPECT_EQ(p->Width(), 21);
    EXPECT_EQ(p->RealWidth(), 200);
    EXPECT_EQ(p->Height(), 100);
    p->Repaint();
    HeadlessProcessMessages();
    EXPECT_EQ(p->Buttons[0].R, TRect(3, 3, 18, 18));
    EXPECT_EQ(p->Buttons[1].R, TRect(3, 18, 18, 33));
    // The roll kind changing while rolled: the width still comes back.
    p->SetRollKind(rkRollVertical);
    p->SetRollState(false);
    EXPECT_EQ(p->Width(), 200);
    EXPECT_EQ(p->Height(), 100);
    EXPECT_EQ(p->RealWidth(), 0);
}

TEST_F(ExPanelTest, RollButtonAndCloseButtonActOnlyWhenReleasedOverThem)
{
    auto* p = ExPanel();
    Press(p, 125, 10);
    Release();
    EXPECT_TRUE(p->RollState());
    Press(p, 125, 10);
    Release();
    EXPECT_FALSE(p->RollState());
    Press(p, 140, 10);
    MoveTo(p, 60, 60);
    Release();
    EXPECT_TRUE(p->Visible());
    EXPECT_EQ(Closes.N, 0);
    Press(p, 140, 10);
    MoveTo(p, 60, 60);
    MoveTo(p, 141, 11);
    Release();
    EXPECT_FALSE(p->Visible());
    EXPECT_EQ(Closes.N, 1);
}

TEST_F(ExPanelTest, HitTestAnswers)
{
    auto* p = ExPanel();
    p->Repaint();
    EXPECT_EQ(p->HitTestAt(TPoint(60, 10)), -2);  // neither moveable nor sizeable
    p->SetMoveable(true);
    p->SetSizeable(true);
    struct Case {
        TPoint p;
        LRESULT hit;
    } cases[] = {
        {{60, 10}, HTCAPTION}, {{140, 10}, -2}, {{125, 10}, -2}, {{149, 99}, HTBOTTOMRIGHT},
        {{148, 98}, HTBOTTOMRIGHT}, {{60, 99}, HTBOTTOM}, {{149, 50}, HTRIGHT}, {{60, 60}, -2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(p->HitTestAt(c.p), c.hit) << c.p.x << "," << c.p.y;
    p->SetRollState(true);
    EXPECT_EQ(p->HitTestAt(TPoint(149, 20)), -2);  // no sizing while rolled
    EXPECT_EQ(p->HitTestAt(TPoint(60, 10)), HTCAPTION);
}

TEST_F(ExPanelTest, CaptionDragMovesAndEdgeDragSizesInsideTheParent)
{
    auto* host = new TPanel(Owner);
    host->SetParent(Form);
    host->SetBounds(30, 20, 360, 260);
    auto* p = ExPanel(host, 40, 30);
    p->SetMoveable(true);
    p->SetSizeable(true);
    p->Repaint();
    HeadlessProcessMessages();
    const TPoint grab = p->ClientToScreen(TPoint(60, 10));
    HeadlessMouseMove(grab.x, grab.y);
    HeadlessProcessMessages();
    HeadlessMouseDown();
    HeadlessMouseMove(grab.x + 30, grab.y + 20);
    HeadlessMouseUp();
    HeadlessProcessMessages();
    EXPECT_EQ(p->Left(), 70);
    EXPECT_EQ(p->Top(), 50);
    EXPECT_EQ(p->Width(), 150);
    const TPoint edge = p->ClientToScreen(TPoint(149, 99));
    HeadlessMouseMove(edge.x, edge.y);
    HeadlessProcessMessages();
    HeadlessMouseDown();
    HeadlessMouseMove(edge.x + 20, edge.y + 10);
    HeadlessMouseUp();
    HeadlessProcessMessages();
    EXPECT_EQ(p->Left(), 70);
    EXPECT_EQ(p->Top(), 50);
    EXPECT_EQ(p->Width(), 170);
    EXPECT_EQ(p->Height(), 110);
    const TPoint right = p->ClientToScreen(TPoint(169, 50));
    HeadlessMouseMove(right.x, right.y);
    HeadlessProcessMessages();
    HeadlessMouseDown();
    HeadlessMouseMove(right.x - 40, right.y + 30);
    HeadlessMouseUp();
    HeadlessProcessMessages();
    EXPECT_EQ(p->Width(), 130);
    EXPECT_EQ(p->Height(), 110);
}

TEST_F(ExPanelTest, SkinNewLooks)
{
    auto* skin = LoadSkinNew();
    auto* p = ExPanel();
    p->SetSkinData(skin);
    ASSERT_NE(p->FIndex, -1);
    p->Repaint();
    HeadlessProcessMessages();
    EXPECT_FALSE(p->Buttons[0].R.right <= p->Buttons[0].R.left);
    p->SetRollState(true);
    EXPECT_EQ(p->Height(), p->RolledSize());
    p->SetRollState(false);
    p->SetUseSkinSize(false);
    p->Repaint();
    HeadlessProcessMessages();
    p->SetRollKind(rkRollHorizontal);
    p->SetRollState(true);
    EXPECT_EQ(p->Width(), 21);
    p->Repaint();
    HeadlessProcessMessages();
}

}  // namespace
