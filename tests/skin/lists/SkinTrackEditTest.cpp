// The track edit: typing against the range, the key filter, keys and wheel,
// the slider's placement, fade and closing, and stored descriptions.
#include "ListsTestSupport.h"

#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Threads.h"
#include "skin/core/LayerManager.h"
#include "skin/lists/SkinLists.h"
#include "skin/lists/SkinTrackEdit.h"
#include "support/TestSupport.h"

#include <string>
#include <vector>

using namespace liststest;

namespace {

class SkinTrackEditTest : public ListsTest {
protected:
    TspSkinTrackEdit* Edit(int min = 0, int max = 100, int x = 10, int y = 10)
    {
        auto* e = Make<TspSkinTrackEdit>(x, y, 120, 20);
        e->SetMinValue(min);
        e->SetMaxValue(max);
        e->OnChange = Changes.Event();
        HeadlessProcessMessages();
        return e;
    }
    static void TypeInto(TspSkinTrackEdit* e, const std::string& text)
    {
        e->SetFocus();
        e->SelectAll();
        Type(text);
    }
    static TRect WorkArea(TWinControl* c)
    {
        TRect r;
        GetPrimaryArea(true, r);
        GetMonitorArea(c->Handle(), true, r);
        return r;
    }
    static TRect Placed(TspSkinTrackEdit* e)
    {
        RECT r;
        GetWindowRect(e->PopupTrackBar()->Handle(), &r);
        return TRect(r.left, r.top, r.right, r.bottom);
    }
    TCounter Changes;
};

TEST_F(SkinTrackEditTest, TypingAgainstTheRange)
{
    struct Case {
        int min, max;
        const char* typed;
        int value;
        const char* shown;
    } cases[] = {
        {0, 100, "50", 50, "50"},
        {0, 100, "150", 100, "100"},      // past the top: corrected at once
        {0, 100, "-5", 0, "-5"},          // short of the range: kept as typed
        {10, 100, "-5", 10, "10"},        // negative under a positive minimum
        {10, 100, "5", 10, "5"},
        {-100, -10, "-200", -100, "-100"},
        {-100, -10, "-5", -10, "-5"},     // towards zero: kept as typed
        {7, 7, "12345", 12345, "12345"},  // equal ends limit nothing
        {0, 100, "-", 0, "-"},            // no number yet: Value stays
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        auto* e = Edit(c.min, c.max);
        TypeInto(e, c.typed);
        EXPECT_EQ(e->Value(), c.value);
        EXPECT_EQ(e->Text(), c.shown);
        e->Free();
    }
}

TEST_F(SkinTrackEditTest, LeavingTheEditShowsTheValue)
{
    auto* e = Edit();
    auto* other = Make<TspSkinTrackEdit>(10, 60, 120, 20);
    TypeInto(e, "-5");
    EXPECT_EQ(e->Text(), "-5");
    EXPECT_EQ(e->MaxLength(), 3);
    other->SetFocus();
    HeadlessProcessMessages();
    EXPECT_EQ(e->Text(), "0");
    EXPECT_EQ(e->Value(), 0);
}

TEST_F(SkinTrackEditTest, ValueSetterLimitsAndFiresOnceForANewText)
{
    auto* e = Edit();
    e->SetValue(40);
    EXPECT_EQ(e->Text(), "40");
    EXPECT_EQ(Changes.N, 1);
    e->SetValue(40);
    EXPECT_EQ(Changes.N, 1);
    e->SetValue(500);
    EXPECT_EQ(e->Value(), 100);
    e->SetMaxValue(50);  // stored only
    EXPECT_EQ(e->Value(), 100);
    // A pasted number beyond 32 bits reads as the range's end, not a fault.
    e->SetText("99999999999");
    EXPECT_EQ(e->Value(), 50);
    EXPECT_EQ(e->Text(), "50");
}

TEST_F(SkinTrackEditTest, KeyFilter)
{
    auto* e = Edit();
    e->SetText("");
    struct Case {
        char32_t key;
        bool accepted;
    } cases[] = {{'5', true}, {'-', true}, {'a', false}, {'.', false}, {' ', false}, {VK_BACK, true}};
    for (const Case& c : cases)
        EXPECT_EQ(e->AcceptsChar(c.key), c.accepted) << static_cast<int>(c.key);
    e->SetText("-3");
    EXPECT_FALSE(e->AcceptsChar('-'));
    e->SetReadOnly(true);
    EXPECT_FALSE(e->AcceptsChar('5'));
    EXPECT_FALSE(e->AcceptsChar(VK_BACK));
    EXPECT_TRUE(e->AcceptsChar(3));  // Ctrl+C still copies
    EXPECT_TRUE(TspSkinTrackEdit::IsNumText("-12"));
    for (const char* t : {"", "-", "1-2", "--3", "12pt", "+4"})
        EXPECT_FALSE(TspSkinTrackEdit::IsNumText(t)) << t;
}

TEST_F(SkinTrackEditTest, KeysAndWheelStep)
{
    auto* e = Edit();
    e->SetIncrement(5);
    e->SetValue(50);
    e->SetFocus();
    Key(VK_UP);
    EXPECT_EQ(e->Value(), 55);
    Key(VK_DOWN);
    Key(VK_DOWN);
    EXPECT_EQ(e->Value(), 45);
    // The wheel turned towards the user increases.
    MoveTo(e, 5, 5);
    HeadlessWheel(-120);
    HeadlessProcessMessages();
    EXPECT_EQ(e->Value(), 50);
    HeadlessWheel(120);
    HeadlessProcessMessages();
    EXPECT_EQ(e->Value(), 45);
    // With the slider open the slider moves and the edit follows it.
    e->ShowTrackBar();
    Key(VK_UP);
    EXPECT_EQ(e->PopupTrackBar()->Value(), 50);
    EXPECT_EQ(e->Value(), 50);
    e->SetSupportUpDownKeys(false);
    Key(VK_UP);
    EXPECT_EQ(e->Value(), 50);
}

TEST_F(SkinTrackEditTest, SliderPlacement)
{
    auto* e = Edit(0, 100, 40, 40);
    const TRect work = WorkArea(e);
    const TPoint origin = e->ClientToScreen(TPoint(0, 0));

    // Below the edit, left edges aligned, as wide as the edit.
    e->ShowTrackBar();
    TRect r = Placed(e);
    EXPECT_EQ(r.left, origin.x);
    EXPECT_EQ(r.top, origin.y + e->Height());
    EXPECT_EQ(r.right - r.left, 120);
    EXPECT_EQ(e->PopupTrackBar()->Value(), e->Value());
    e->HideTrackBar();

    // A width below 0 means the edit's width.
    e->SetTrackBarWidth(-5);
    e->ShowTrackBar();
    r = Placed(e);
    EXPECT_EQ(r.right - r.left, 120);
    e->HideTrackBar();

    // tbpLeft with a wider slider: the right edges line up.
    e->SetPopupKind(tbpLeft);
    e->SetTrackBarWidth(200);
    e->SetBounds(300, 40, 120, 20);
    e->ShowTrackBar();
    r = Placed(e);
    EXPECT_EQ(r.right, e->ClientToScreen(TPoint(120, 0)).x);
    EXPECT_EQ(r.right - r.left, 200);
    e->HideTrackBar();

    // Near the work area's bottom it opens above; never past the sides.
    e->SetPopupKind(tbpRight);
    Form->SetBounds(work.right - 150, work.bottom - 30, 150, 30);
    e->SetBounds(0, 5, 120, 20);
    HeadlessProcessMessages();
    e->ShowTrackBar();
    r = Placed(e);
    EXPECT_EQ(r.bottom, e->ClientToScreen(TPoint(0, 0)).y);
    EXPECT_LE(r.right, work.right);
    EXPECT_GE(r.left, work.left);
}

TEST_F(SkinTrackEditTest, ButtonOpensAndClosesTheSliderWhichSetsTheValue)
{
    auto* e = Edit();
    e->ButtonClick(e);
    ASSERT_TRUE(e->PopupTrackBar()->Shown());
    EXPECT_TRUE(IsWindowVisible(e->PopupTrackBar()->Handle()));
    EXPECT_EQ(GetFocus(), e->Handle());
    e->PopupTrackBar()->SetValue(70);
    EXPECT_EQ(e->Value(), 70);
    EXPECT_EQ(e->Text(), "70");
    e->ButtonClick(e);
    EXPECT_FALSE(e->PopupTrackBar()->Shown());
    EXPECT_FALSE(IsWindowVisible(e->PopupTrackBar()->Handle()));
}

TEST_F(SkinTrackEditTest, PressElsewhereClosesTheSlider)
{
    auto* e = Edit();
    auto* other = Make<TspSkinTrackEdit>(10, 100, 120, 20);
    e->SetFocus();
    HeadlessProcessMessages();
    e->ShowTrackBar();
    ASSERT_TRUE(e->PopupTrackBar()->Shown());
    // A press on the slider keeps it.
    e->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(e->PopupTrackBar()));
    EXPECT_TRUE(e->PopupTrackBar()->Shown());
    Press(other, 5, 5);
    Release();
    EXPECT_FALSE(e->PopupTrackBar()->Shown());
}

TEST_F(SkinTrackEditTest, FadeInStepsOnTheTickCounter)
{
    auto* e = Edit();
    e->SetTrackBarAlphaBlend(true);
    e->SetTrackBarAlphaBlendAnimation(true);
    e->SetTrackBarAlphaBlendValue(200);
    Clock.SetStepPerRead(3);  // every reading moves the clock on
    e->ShowTrackBar();
    Clock.SetStepPerRead(0);
    const std::vector<int>& steps = e->LastFadeSteps();
    ASSERT_EQ(steps.size(), 16u);
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(steps[i], 13 * (i + 1));
    EXPECT_EQ(steps.back(), 200);
    EXPECT_TRUE(GetWindowLong(e->PopupTrackBar()->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
    e->HideTrackBar();
    EXPECT_FALSE(GetWindowLong(e->PopupTrackBar()->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
}

// The fade handles messages between its steps: a timer that hides the
// slider part-way ends it there, with no step set after the hiding.
TEST_F(SkinTrackEditTest, SliderHiddenDuringTheFadeEndsIt)
{
    auto* e = Edit();
    e->SetTrackBarAlphaBlend(true);
    e->SetTrackBarAlphaBlendAnimation(true);
    e->SetTrackBarAlphaBlendValue(200);
    struct THider {
        TspSkinTrackEdit* E;
        void Run(TObject*) { E->HideTrackBar(); }
    } hider{e};
    auto* timer = new TTimer(Owner);
    timer->SetInterval(40);
    timer->SetOnTimer(MakeEvent(&hider, &THider::Run));
    timer->SetEnabled(true);
    Clock.SetStepPerRead(3);
    e->ShowTrackBar();
    Clock.SetStepPerRead(0);
    timer->SetEnabled(false);
    EXPECT_FALSE(e->PopupTrackBar()->Shown());
    EXPECT_GT(e->LastFadeSteps().size(), 0u);
    EXPECT_LT(e->LastFadeSteps().size(), 16u);
}

// A handler that runs while the fade handles messages may free the edit:
// the fade then ends and touches nothing.
TEST_F(SkinTrackEditTest, EditFreedBeforeTheFadeEndsIt)
{
    auto* e = Edit();
    e->SetTrackBarAlphaBlend(true);
    e->SetTrackBarAlphaBlendAnimation(true);
    e->SetTrackBarAlphaBlendValue(255);
    struct TFreer {
        TspSkinTrackEdit* E;
        void Run(TObject*) { E->Free(); }
    } freer{e};
    TThread::ForceQueue(nullptr, [&] { freer.Run(nullptr); });
    e->ShowTrackBar();  // must not touch the freed edit (ASan)
    SUCCEED();
}

// With "skin-new": the button edit's piece and the slider's track piece,
// written out for a look (track-edit-open.png).
TEST_F(SkinTrackEditTest, SkinnedSliderOpenBelowTheEdit)
{
    auto* e = Edit(0, 255, 20, 20);
    e->SetSkinData(LoadSkinNew());
    e->SetValue(128);
    e->ShowTrackBar();
    Repaint();
    e->PopupTrackBar()->Repaint();
    HeadlessProcessMessages();
    EXPECT_NE(e->FIndex, -1);
    EXPECT_NE(e->PopupTrackBar()->FIndex, -1);
    const TPoint origin = e->ClientToScreen(TPoint(0, 0));
    EXPECT_TRUE(tarnello::test::SaveScreenArea(origin.x - 10, origin.y - 10, 140,
                                               e->Height() + e->PopupTrackBar()->Height() + 20,
                                               "track-edit-open.png"));
}

TEST_F(SkinTrackEditTest, ReadFromADescriptionAndWrittenBackEqual)
{
    RegisterSkinListsClasses();
    const std::string text = R"(object TrackEdit1: TspSkinTrackEdit
  Left = 8
  Top = 8
  Width = 50
  Height = 21
  Text = '30'
  PopupKind = tbpLeft
  JumpWhenClick = True
  TrackBarWidth = 200
  MinValue = 10
  MaxValue = 255
  Value = 30
end
)";
    auto* e = new TspSkinTrackEdit(Owner);
    ReadComponentText(e, text);
    EXPECT_EQ(e->PopupKind(), tbpLeft);
    EXPECT_TRUE(e->JumpWhenClick());
    EXPECT_EQ(e->Value(), 30);
    EXPECT_EQ(e->MaxValue(), 255);
    EXPECT_TRUE(e->ButtonMode());
    const std::string written = WriteComponentText(e);
    EXPECT_NE(written.find("TrackBarWidth = 200"), std::string::npos) << written;
    EXPECT_EQ(written.find("ButtonMode"), std::string::npos) << "defaults are not written";
    TComponent otherOwner(nullptr);
    auto* copy = new TspSkinTrackEdit(&otherOwner);
    ReadComponentText(copy, written);
    EXPECT_EQ(WriteComponentText(copy), written);
}

}  // namespace
