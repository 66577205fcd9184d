// The scroll bar: the position rule and its setters, the part geometry, the
// arrow and page repeat on the fake clock, drags, keys and the corner mode.
#include "platform/user/Input.h"
#include "platform/user/MessageQueue.h"
#include "skin/controls/SkinScrollBars.h"
#include "ValueControlsTestCommon.h"

#include <climits>

using namespace valuetest;

namespace {

class ScrollBarTest : public ValueControlsTest {
protected:
    TspSkinScrollBar* Bar(int w = 200, int h = 19)
    {
        auto* b = Make<TspSkinScrollBar>(10, 10, w, h);
        b->OnChange = Changes.Event();
        b->OnLastChange = LastChanges.Event();
        HeadlessProcessMessages();
        return b;
    }
    TCounter Changes, LastChanges;
};

TEST_F(ScrollBarTest, NewBarAndItsBuiltInParts)
{
    auto* b = Bar();
    EXPECT_EQ(b->Min(), 0);
    EXPECT_EQ(b->Max(), 100);
    EXPECT_EQ(b->Position(), 0);
    EXPECT_EQ(b->PageSize(), 0);
    EXPECT_EQ(b->SkinDataName(), "hscrollbar");
    EXPECT_EQ(b->DefaultHeight(), 19);
    EXPECT_FALSE(b->TabStop());
    b->CalcRects();
    EXPECT_EQ(b->Buttons[2].R, TRect(1, 1, 17, 18));
    EXPECT_EQ(b->Buttons[1].R, TRect(183, 1, 199, 18));
    EXPECT_EQ(b->Buttons[0].R, TRect(17, 1, 33, 18));  // 16 pixels at the track start
    // Painted in the built-in look: the thumb's frame in clBtnShadow.
    EXPECT_EQ(PixelOf(b, 17, 5), ColorToRGB(clBtnShadow));

    auto* v = Bar(19, 200);
    v->SetKind(sbVertical);
    v->CalcRects();
    EXPECT_EQ(v->Buttons[2].R, TRect(1, 1, 18, 17));
    EXPECT_EQ(v->Buttons[1].R, TRect(1, 183, 18, 199));
    EXPECT_EQ(v->Buttons[0].R, TRect(1, 17, 18, 33));
}

TEST_F(ScrollBarTest, PositionRuleAndRangeSetters)
{
    auto* b = Bar(234);  // a 200-pixel track
    struct Case {
        const char* what;
        int min, max, pos, page;
        int stored;
    } cases[] = {
        {"page clamps to Max - PageSize + 1", 0, 99, 95, 10, 90},
        {"below Min", 0, 99, -5, 10, 0},
        {"no page: Max bounds", 0, 99, 120, 0, 99},
        {"page larger than the range", 0, 9, 0, 20, -10},
        {"Min not 0", 10, 100, 95, 10, 91},
    };
    for (const Case& c : cases) {
        b->SetRange(c.min, c.max, c.pos, c.page);
        EXPECT_EQ(b->Position(), c.stored) << c.what;
    }
    EXPECT_EQ(Changes.N, 0);  // SetRange raises no event

    b->SetRange(0, 99, 95, 10);
    b->CalcRects();
    EXPECT_EQ(b->ThumbLength, 20);
    b->SetPosition(-5);
    EXPECT_EQ(b->Position(), 0);
    EXPECT_EQ(Changes.N, 1);
    b->SimplySetPosition(40);
    EXPECT_EQ(b->Position(), 40);
    EXPECT_EQ(Changes.N, 1);

    // A page that does not fit, or a negative one, is refused.
    b->SetRange(0, 99, 60, 10);
    b->SetPageSize(50);
    EXPECT_EQ(b->PageSize(), 10);
    b->SetPageSize(-3);
    EXPECT_EQ(b->PageSize(), 10);
    b->SetPageSize(40);
    EXPECT_EQ(b->PageSize(), 40);

    // Lowering Max pulls the position to the page's last start, Min 10 included.
    b->SetRange(10, 100, 80, 10);
    b->SetMax(50);
    EXPECT_EQ(b->Position(), 41);
    b->SetRange(0, 100, 80, 0);
    b->SetMax(50);
    EXPECT_EQ(b->Position(), 50);
    b->SetMin(60);
    EXPECT_EQ(b->Position(), 60);
    EXPECT_EQ(Changes.N, 1);  // no events from the bounds
}

TEST_F(ScrollBarTest, FullIntegerRangeWorks)
{
    auto* b = Bar();
    b->SetRange(INT_MIN, INT_MAX, INT_MAX, 0);
    EXPECT_EQ(b->Position(), INT_MAX);
    b->CalcRects();
    EXPECT_EQ(b->Buttons[0].R.right, 183);  // at the track end
    b->SetRange(INT_MIN, INT_MAX, 0, INT_MAX);
    b->CalcRects();
    b->SetPosition(INT_MIN);
    EXPECT_EQ(b->Position(), INT_MIN);
    b->SetMax(INT_MIN);
    b->SetRange(INT_MIN, INT_MAX, 5, 0);
    b->SetPosition(b->CalcValue(1000));
    EXPECT_EQ(b->Position(), INT_MAX);
    b->SetPosition(b->CalcValue(-1000));
    EXPECT_EQ(b->Position(), INT_MIN);
    Press(b, 190, 9);  // the up button at the end of the range
    Release();
    EXPECT_EQ(b->Position(), INT_MIN + 1);
}

TEST_F(ScrollBarTest, ArrowRepeatAtZeroThen550ThenEvery50AndPausesOffTheButton)
{
    auto* b = Bar();
    Press(b, 190, 9);
    EXPECT_EQ(b->Position(), 1);  // one step at once
    Advance(500);
    EXPECT_EQ(b->Position(), 1);  // the first tick only switches to 50 ms
    Advance(50);
    EXPECT_EQ(b->Position(), 2);
    Advance(50);
    EXPECT_EQ(b->Position(), 3);
    MoveTo(b, 100, 9);  // off the button: paused
    Advance(200);
    EXPECT_EQ(b->Position(), 3);
    MoveTo(b, 190, 9);  // back: resumes every 50 ms
    Advance(50);
    EXPECT_EQ(b->Position(), 4);
    Advance(50);
    EXPECT_EQ(b->Position(), 5);
    Release();
    Advance(200);
    EXPECT_EQ(b->Position(), 5);
    EXPECT_EQ(b->TimerMode, 0);
    EXPECT_EQ(LastChanges.N, 0);  // arrow clicks are no drag

    // The down button, replaced by its event.
    TCounter downs;
    b->OnDownButtonClick = downs.Event();
    Press(b, 5, 9);
    Release();
    EXPECT_EQ(downs.N, 1);
    EXPECT_EQ(b->Position(), 5);
}

TEST_F(ScrollBarTest, PageRepeatStopsAtTheThumb)
{
    for (bool towardsMax : {true, false}) {
        auto* b = Bar();
        b->SetLargeChange(10);
        b->SetRange(0, 100, towardsMax ? 0 : 100, 0);
        TCounter pages;
        (towardsMax ? b->OnPageDown : b->OnPageUp) = pages.Event();
        const int x = towardsMax ? 120 : 60;
        Press(b, x, 9);
        EXPECT_EQ(b->Position(), towardsMax ? 10 : 90);
        Advance(2000);
        b->CalcRects();
        EXPECT_EQ(b->TimerMode, 0) << towardsMax;
        EXPECT_LE(b->Buttons[0].R.left, x) << towardsMax;
        EXPECT_GE(b->Buttons[0].R.right, x) << towardsMax;
        EXPECT_EQ(pages.N, towardsMax ? b->Position() / 10 : (100 - b->Position()) / 10);
        Release();
        EXPECT_EQ(LastChanges.N, 0);
        delete b;
    }
}

TEST_F(ScrollBarTest, ThumbDragEndsWithLastChange)
{
    auto* b = Bar();
    // Offsets 25 .. 175: a 75-pixel move is half the range.
    Press(b, 25, 9);
    MoveTo(b, 100, 9);
    EXPECT_EQ(b->Position(), 50);
    MoveTo(b, 400, 9);
    EXPECT_EQ(b->Position(), 100);
    EXPECT_EQ(LastChanges.N, 0);
    Release();
    EXPECT_EQ(LastChanges.N, 1);
    // A right click raises OnMouseDown once and changes nothing.
    TCounter downs;
    b->OnMouseDown = TMouseEvent::Bind(&downs, +[](void* d, TObject*, TMouseButton, TShiftState, int, int) {
        ++static_cast<TCounter*>(d)->N;
    });
    Press(b, 60, 9, TMouseButton::Right);
    Release(TMouseButton::Right);
    EXPECT_EQ(downs.N, 1);
    EXPECT_EQ(b->Position(), 100);
    EXPECT_EQ(LastChanges.N, 1);
}

TEST_F(ScrollBarTest, KeysAndWheelOnlyWhenFocusable)
{
    auto* b = Bar();
    b->SetPosition(50);
    Changes.N = 0;
    b->SetFocus();
    HeadlessKeyPress(VK_RIGHT);
    HeadlessProcessMessages();
    EXPECT_EQ(b->Position(), 50);
    b->SetCanFocused(true);
    EXPECT_TRUE(b->TabStop());
    b->SetFocus();
    HeadlessProcessMessages();
    ASSERT_TRUE(b->Focused());
    struct Key {
        WORD vk;
        int expect;
    } keys[] = {{VK_RIGHT, 51}, {VK_DOWN, 52}, {VK_LEFT, 51}, {VK_UP, 50}};
    for (const Key& k : keys) {
        HeadlessKeyPress(k.vk);
        HeadlessProcessMessages();
        EXPECT_EQ(b->Position(), k.expect) << k.vk;
    }
    SendMessage(b->Handle(), WM_MOUSEWHEEL, static_cast<WPARAM>(MAKEWPARAM(0, 120)), 0);
    EXPECT_EQ(b->Position(), 49);
    SendMessage(b->Handle(), WM_MOUSEWHEEL, static_cast<WPARAM>(static_cast<DWORD>(MAKEWPARAM(0, static_cast<WORD>(-120)))), 0);
    EXPECT_EQ(b->Position(), 50);
}

TEST_F(ScrollBarTest, BothModeTakesTheCornerPieceAndLeavesTheMarker)
{
    auto* b = Bar();
    b->SetBothMarkerWidth(19);
    b->SetBothMarkerWidth(-4);  // ignored
    EXPECT_EQ(b->BothMarkerWidth(), 19);
    b->SetBoth(true);
    b->CalcRects();
    EXPECT_EQ(b->Buttons[1].R, TRect(164, 1, 180, 18));
    EXPECT_EQ(b->SkinDataName(), "bothhscrollbar");
    b->SetBoth(false);
    EXPECT_EQ(b->SkinDataName(), "hscrollbar");

    b->SetSkinData(LoadSkinNew());
    ASSERT_NE(b->FIndex, -1);
    b->SetBoth(true);
    EXPECT_EQ(b->SkinDataName(), "bothhscrollbar");
    ASSERT_NE(b->FIndex, -1);
    b->CalcRects();
    // The corner piece ends its up button and track before the square.
    EXPECT_EQ(b->Buttons[1].R.right, b->Width() - 14);
    EXPECT_LE(b->NewTrackArea.right, b->Buttons[1].R.left);
    b->SetBoth(false);
    EXPECT_EQ(b->SkinDataName(), "hscrollbar");
    b->CalcRects();
    EXPECT_EQ(b->Buttons[1].R.right, b->Width());
}

TEST_F(ScrollBarTest, SkinnedThumbKeepsItsMinimumAndPaints)
{
    auto* b = Bar();
    b->SetSkinData(LoadSkinNew());
    ASSERT_NE(b->FIndex, -1);
    b->SetRange(0, 999, 0, 10);
    b->CalcRects();
    EXPECT_EQ(b->ThumbLength, b->ThumbMinSize);
    Press(b, b->Buttons[0].R.left + 2, 8);
    EXPECT_TRUE(b->Buttons[0].Down);
    MoveTo(b, b->Width() + 50, 8);
    EXPECT_EQ(b->Position(), 990);
    Release();
    EXPECT_EQ(LastChanges.N, 1);
    HeadlessProcessMessages();
}

}  // namespace
