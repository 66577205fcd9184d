// The track bar: clamping, the thumb geometry and its rounding, dragging,
// jumping clicks, keys and the wheel, and the skinned pieces by orientation.
#include "platform/user/Input.h"
#include "platform/user/MessageQueue.h"
#include "skin/controls/SkinTrackBars.h"
#include "ValueControlsTestCommon.h"

#include <climits>

using namespace valuetest;

namespace {

class TrackBarTest : public ValueControlsTest {
protected:
    TspSkinTrackBar* Track(int w = 100, int h = 20)
    {
        auto* t = Make<TspSkinTrackBar>(10, 10, w, h);
        t->OnChange = Changes.Event();
        t->OnLastChange = LastChanges.Event();
        t->OnStartDragButton = Starts.Event();
        t->Repaint();
        HeadlessProcessMessages();
        return t;
    }
    TCounter Changes, LastChanges, Starts;
};

TEST_F(TrackBarTest, ValueClampsAndFiresOnce)
{
    auto* t = Track();
    EXPECT_EQ(t->SkinDataName(), "htrackbar");
    t->SetValue(150);
    EXPECT_EQ(t->Value(), 100);
    EXPECT_EQ(Changes.N, 1);
    t->SetValue(150);
    EXPECT_EQ(Changes.N, 1);
    EXPECT_EQ(LastChanges.N, 0);
    t->SetMaxValue(60);
    EXPECT_EQ(t->Value(), 60);
    t->SetMinValue(80);  // above MaxValue: clamped in order, no hang
    EXPECT_EQ(t->Value(), 80);
    t->SetValue(70);
    EXPECT_EQ(t->Value(), 60);
    EXPECT_EQ(Changes.N, 2);
}

TEST_F(TrackBarTest, ThumbGeometryAndRoundingToEven)
{
    auto* t = Track();
    EXPECT_EQ(t->BR, TRect(46, 2, 54, 18));  // 8 x 16, centred on offset 50
    EXPECT_EQ(t->Offset1, 6);
    EXPECT_EQ(t->Offset2, 94);
    // Ties go to the even neighbour.
    t->SetMinValue(0);
    t->SetMaxValue(1);
    struct Case {
        int offset1, offset2, p, expect;
    } cases[] = {{0, 10, 5, 0}, {0, 10, 15, 1}, {0, 10, -3, 0}, {0, 0, 7, 0}};
    for (const Case& c : cases) {
        t->Offset1 = c.offset1;
        t->Offset2 = c.offset2;
        EXPECT_EQ(t->ValueFromOffset(c.p), c.expect) << c.p;
    }
    t->SetMaxValue(4);
    t->Offset1 = 0;
    t->Offset2 = 8;
    EXPECT_EQ(t->ValueFromOffset(5), 2);  // 2.5 -> 2
    EXPECT_EQ(t->ValueFromOffset(7), 4);  // 3.5 -> 4
    // Any Integer range works.
    t->SetMinValue(INT_MIN);
    t->SetMaxValue(INT_MAX);
    t->SetValue(INT_MAX);
    t->Repaint();
    EXPECT_EQ(t->BR.left, 90);
    t->Offset1 = 0;
    t->Offset2 = 10;
    EXPECT_EQ(t->ValueFromOffset(10), INT_MAX);
    EXPECT_EQ(t->ValueFromOffset(0), INT_MIN);
}

TEST_F(TrackBarTest, DragByFortyFourPixelsReachesTheEnd)
{
    auto* t = Track();
    Press(t, 50, 10);
    EXPECT_EQ(Starts.N, 1);
    MoveTo(t, 94, 10);
    EXPECT_EQ(t->Value(), 100);
    MoveTo(t, 300, 10);
    EXPECT_EQ(t->Value(), 100);
    EXPECT_EQ(LastChanges.N, 0);
    Release();
    EXPECT_EQ(LastChanges.N, 1);
    t->SetValue(50);
    t->Repaint();
    const int changes = Changes.N;
    // A drag that ends where it started: start and last change, no change.
    const int x0 = t->BR.left + 2;
    Press(t, x0, 10);
    MoveTo(t, x0 + 30, 10);
    MoveTo(t, x0, 10);
    Release();
    EXPECT_EQ(Starts.N, 2);
    EXPECT_EQ(LastChanges.N, 2);
    EXPECT_EQ(Changes.N, changes + 2);  // there and back
    Press(t, t->BR.left + 2, 10);
    Release();
    EXPECT_EQ(Changes.N, changes + 2);
    EXPECT_EQ(LastChanges.N, 3);
}

TEST_F(TrackBarTest, JumpWhenClickOffsets)
{
    auto* t = Track();
    t->SetJumpWhenClick(true);
    Changes.N = 0;
    struct Case {
        int x, expect;
    } cases[] = {{20, 16}, {80, 84}, {2, 0}, {99, 100}};  // offset x - 4 - 2 over 88 pixels
    for (const Case& c : cases) {
        Press(t, c.x, 10);
        Release();
        EXPECT_EQ(t->Value(), c.expect) << c.x;
    }
    EXPECT_EQ(Changes.N, 4);
    EXPECT_EQ(LastChanges.N, 0);
    EXPECT_EQ(Starts.N, 0);
}

TEST_F(TrackBarTest, KeysAndWheelOnlyWithCanFocused)
{
    auto* t = Track();
    auto* v = Track(20, 100);
    v->SetVertical(true);
    for (TspSkinTrackBar* bar : {t, v}) {
        bar->SetFocus();
        HeadlessKeyPress(VK_RIGHT);
        HeadlessProcessMessages();
        SendMessage(bar->Handle(), WM_MOUSEWHEEL, static_cast<WPARAM>(MAKEWPARAM(0, 120)), 0);
        EXPECT_EQ(bar->Value(), 50);
        bar->SetCanFocused(true);
        bar->SetFocus();
        HeadlessProcessMessages();
        ASSERT_TRUE(bar->Focused());
        LastChanges.N = 0;
        struct Key {
            WORD vk;
            int d;
        } keys[] = {{VK_RIGHT, 1}, {VK_UP, 1}, {VK_LEFT, -1}, {VK_DOWN, -1}};
        int expect = 50;
        for (const Key& k : keys) {
            HeadlessKeyPress(k.vk);
            HeadlessProcessMessages();
            expect += k.d;
            EXPECT_EQ(bar->Value(), expect) << k.vk;
        }
        EXPECT_EQ(LastChanges.N, 4);
        SendMessage(bar->Handle(), WM_MOUSEWHEEL, static_cast<WPARAM>(MAKEWPARAM(0, 120)), 0);
        EXPECT_EQ(bar->Value(), bar == v ? 51 : 49);  // forward: up on a vertical bar
        EXPECT_EQ(LastChanges.N, 5);
        bar->SetValue(100);
        LastChanges.N = 0;
        HeadlessKeyPress(VK_RIGHT);
        HeadlessProcessMessages();
        EXPECT_EQ(LastChanges.N, 1);  // also at the end of the range
    }
}

TEST_F(TrackBarTest, VerticalPutsMinimumAtTheBottom)
{
    auto* v = Track(20, 100);
    v->SetVertical(true);
    v->SetValue(0);
    v->Repaint();
    EXPECT_EQ(v->BR.bottom, 98);
    v->SetValue(100);
    v->Repaint();
    EXPECT_EQ(v->BR.top, 2);
    v->SetJumpWhenClick(true);
    Press(v, 10, 60);
    Release();
    EXPECT_EQ(v->Value(), 39);  // offset 100 - 60 - 4 - 2 = 34 of 88
}

TEST_F(TrackBarTest, SkinPiecesByOrientation)
{
    auto* skin = LoadSkinNew();
    auto* h = Track(160, 20);
    h->SetSkinData(skin);
    ASSERT_NE(h->FIndex, -1);
    EXPECT_FALSE(h->Vertical());
    auto* v = Track(20, 160);
    v->SetSkinDataName("trackbar");
    v->SetSkinData(skin);
    ASSERT_NE(v->FIndex, -1);
    EXPECT_TRUE(v->Vertical());
    EXPECT_GT(v->Height(), v->Width());
    v->SetValue(0);
    v->Repaint();
    EXPECT_GT(v->BR.top, v->Height() / 2);  // minimum at the bottom
    // Dragging a skinned thumb up to the top reaches the maximum.
    Press(v, v->BR.left + 4, v->BR.top + 4);
    MoveTo(v, v->BR.left + 4, -100);
    Release();
    EXPECT_EQ(v->Value(), 100);
    EXPECT_EQ(LastChanges.N, 1);
}

}  // namespace
