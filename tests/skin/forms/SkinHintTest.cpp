// Skinned hints: line separators, sizes in both looks, the place on the work
// area, fade-in, title and image, the active component, on-demand timers and
// what a freed component gives back.
#include "platform/gdi/TextLayout.h"
#include "platform/rtl/Clock.h"
#include "platform/user/WindowRegion.h"
#include "skin/core/LayerManager.h"
#include "skin/forms/SkinHint.h"

#include "FormTestSupport.h"

#include <memory>
#include <string>

using formtest::TFormTest;

namespace {

class SkinHintTest : public TFormTest {
protected:
    void SetUp() override
    {
        TFormTest::SetUp();
        Installer = std::make_unique<TClockInstaller>(Clock);
        SavedShowHint = Application->OnShowHint;
    }
    void TearDown() override
    {
        Application->SetMainForm(nullptr);
        TFormTest::TearDown();
        Application->OnShowHint = SavedShowHint;
        Installer.reset();
    }
    TspSkinHint* MakeHintForm(TspSkinData* D = nullptr)
    {
        MakeForm(100, 100, 300, 200, D);
        Application->SetMainForm(Form);
        Hint = new TspSkinHint(Form);
        if (D)
            Hint->SetSkinData(D);
        return Hint;
    }
    TSize Text(const std::string& S, TFont* F)
    {
        TBitmap b;
        b.SetSize(4, 4);
        b.Canvas()->Font()->Assign(F);
        RECT r{0, 0, 0, 0};
        DrawText(b.Canvas()->Handle(), S.c_str(), -1, &r, DT_CALCRECT | DT_NOPREFIX);
        return TSize{r.right, r.bottom};
    }
    RECT HintRect() const
    {
        RECT r{};
        GetWindowRect(Hint->HW->Handle(), &r);
        return r;
    }
    TFakeClock Clock{100000};
    std::unique_ptr<TClockInstaller> Installer;
    TShowHintEvent SavedShowHint;
    TspSkinHint* Hint = nullptr;
};

}  // namespace

TEST_F(SkinHintTest, TheComponentBecomesTheApplicationsHintWindowClass)
{
    MakeHintForm();
    EXPECT_EQ(Application->HintWindowClass(), &TspSkinHintWindow::Make);
    EXPECT_EQ(Application->OnShowHint, MakeEvent(Hint, &TspSkinHint::ShowHintHook));
}

TEST_F(SkinHintTest, LineSeparatorsBecomeOneLineBreakEach)
{
    MakeHintForm();
    Hint->ActivateHint(TPoint(200, 200), "a@b");
    ASSERT_TRUE(Hint->IsVisible());
    TspSkinHintWindow* w = Hint->HW;
    EXPECT_EQ(w->Caption(), "a\nb");
    const TSize two = Text("a\nb", Hint->DefaultFont());
    const TSize one = Text("a", Hint->DefaultFont());
    EXPECT_EQ(two.cy, 2 * one.cy);
    EXPECT_EQ(w->Height(), two.cy + 4);
    EXPECT_EQ(w->Width(), two.cx + 4);
    struct TCase {
        std::string Sep, Text, Caption;
    };
    const TCase cases[] = {{"@", "no separator", "no separator"},
                           {"||", "a||b||c", "a\nb\nc"},
                           {"", "a@b", "a@b"},  // an empty separator is ignored
                           {"@", "@@@", "\n\n\n"},
                           {"@", "", ""}};
    for (const TCase& c : cases) {
        Hint->LineSeparator = c.Sep;
        Hint->ActivateHint(TPoint(200, 200), c.Text);
        EXPECT_EQ(w->Caption(), c.Caption) << c.Text;
    }
    Hint->LineSeparator = "@";
    Hint->ActivateHint(TPoint(200, 200), std::string(10000, 'x'));
    EXPECT_TRUE(Hint->IsVisible());
}

TEST_F(SkinHintTest, SkinnedSizeKeepsTheCornersApartForOneLetter)
{
    TspSkinData* d = LoadSkinNew();
    MakeHintForm(d);
    // Wide corner pieces, so that one letter would push them over each other.
    TspDataSkinHintWindow& hw = *d->HintWindow;
    hw.LTPoint = TPoint(24, 12);
    hw.RTPoint = TPoint(36, 12);
    hw.LBPoint = TPoint(24, 18);
    hw.RBPoint = TPoint(36, 18);
    Hint->ActivateHint(TPoint(200, 200), "i");
    TspSkinHintWindow* w = Hint->HW;
    ASSERT_EQ(w->FSD, d);
    EXPECT_GE(w->NewRTPoint.x, hw.LTPoint.x);
    EXPECT_GE(w->NewRBPoint.x, hw.LBPoint.x);
    EXPECT_GE(w->NewLBPoint.y, hw.LTPoint.y);
    EXPECT_GE(w->NewRBPoint.y, hw.RTPoint.y);
    // Widened exactly until the pieces meet.
    EXPECT_TRUE(w->NewRTPoint.x == hw.LTPoint.x || w->NewRBPoint.x == hw.LBPoint.x);
    EXPECT_EQ(w->NewRTPoint.x - hw.RTPoint.x, w->Width() - d->FActivePictures[hw.WindowPictureIndex]->Width());
    // A long text: the plain formula.
    Hint->ActivateHint(TPoint(200, 200), "A longer hint text than the picture");
    TFont f;
    f.SetName(hw.FontName);
    f.SetHeight(hw.FontHeight);
    f.SetStyle(hw.FontStyle);
    const TSize t = Text("A longer hint text than the picture", &f);
    const int PW = d->FActivePictures[hw.WindowPictureIndex]->Width();
    EXPECT_EQ(w->Width(), t.cx + hw.ClRect.left + (PW - hw.ClRect.right) + 5);
}

TEST_F(SkinHintTest, FlipsAtTheWorkAreasRightAndBottom)
{
    MakeHintForm();
    Hint->ActivateHint(TPoint(200, 200), "Edge");
    const int W = Hint->HW->Width(), H = Hint->HW->Height();
    TRect wa;
    GetMonitorArea(Form->Handle(), true, wa);
    const int x = wa.right - 5, y = wa.bottom - 3;
    Hint->ActivateHint(TPoint(x, y), "Edge");
    EXPECT_EQ(HintRect().left, x - W - 2);
    EXPECT_EQ(HintRect().top, y - H - 2);
    Hint->ActivateHint(TPoint(300, 300), "Edge");
    EXPECT_EQ(HintRect().left, 300);
    EXPECT_EQ(HintRect().top, 300);
}

TEST_F(SkinHintTest, FadeInStepsOfOneAtValueFive)
{
    MakeHintForm();
    Clock.SetStepPerRead(1);
    Hint->AlphaBlend = true;
    Hint->AlphaBlendAnimation = true;
    Hint->AlphaBlendValue = 5;
    Hint->ActivateHint(TPoint(200, 200), "Fade");
    EXPECT_EQ(Hint->HW->LastFadeSteps, 5);
    Hint->AlphaBlendValue = 200;
    Hint->ActivateHint(TPoint(200, 200), "Fade");
    EXPECT_EQ(Hint->HW->LastFadeSteps, 10);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(Hint->HW->Handle(), nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 200);
    Clock.SetStepPerRead(0);
}

TEST_F(SkinHintTest, TitleAndImageLayout)
{
    MakeHintForm();
    auto* il = new TCustomImageList(Form);
    il->SetWidth(16);
    il->SetHeight(16);
    TBitmap img;
    img.SetSize(16, 16);
    img.Canvas()->Brush()->SetColor(0x0000FF);
    img.Canvas()->FillRect(TRect(0, 0, 16, 16));
    il->AddMasked(&img, clNone);
    ASSERT_EQ(il->Count(), 1);
    Hint->ActivateHintEx(TPoint(200, 200), "Title", "Body text", 0, il);
    TspSkinHintWindow* w = Hint->HW;
    EXPECT_TRUE(w->AExtendedStyle);
    const TSize t = Text("Body text", Hint->DefaultFont());
    const TSize tt = Text("Title", Hint->DefaultFont());
    const int h = std::max(t.cy + tt.cy + 10, 16 + tt.cy + 5);
    EXPECT_EQ(w->Width(), std::max(t.cx, tt.cx) + 16 + 10 + 4);
    EXPECT_EQ(w->Height(), h + 4);
    Pump();
    // The image sits left under the title.
    const RECT r = HintRect();
    EXPECT_EQ(Pixel(r.left + 2 + 4, r.top + tt.cy + 5 + 4) & 0xFFFFFF, 0x0000FFu);
    // An index outside the list: no image and no room for one.
    Hint->ActivateHintEx(TPoint(200, 200), "", "Body text", 7, il);
    EXPECT_EQ(w->Width(), t.cx + 4);
}

TEST_F(SkinHintTest, ASkinnedHintWithTitleAndImage)
{
    TspSkinData* d = LoadSkinNew();
    MakeHintForm(d);
    auto* il = new TCustomImageList(Form);
    il->SetWidth(16);
    il->SetHeight(16);
    TBitmap img;
    img.SetSize(16, 16);
    img.Canvas()->Brush()->SetColor(0x30A0F0);
    img.Canvas()->FillRect(TRect(0, 0, 16, 16));
    il->AddMasked(&img, clNone);
    Hint->ActivateHintEx(TPoint(160, 160), "Converting", "Three files wait@in the queue", 0, il);
    Pump();
    ASSERT_TRUE(Hint->IsVisible());
    Shot("hint-skinned");
}

TEST_F(SkinHintTest, ActiveIsPassedBetweenTwoComponents)
{
    MakeHintForm();
    auto* second = new TspSkinHint(Form);
    EXPECT_TRUE(Hint->Active());
    second->SetActive(true);
    EXPECT_FALSE(Hint->Active());
    EXPECT_EQ(FindActiveSkinHint(), second);
    Hint->SetActive(true);
    EXPECT_FALSE(second->Active());
    EXPECT_EQ(Application->OnShowHint, MakeEvent(Hint, &TspSkinHint::ShowHintHook));
    // Freeing one whose handler is not installed changes nothing.
    delete second;
    EXPECT_EQ(Application->OnShowHint, MakeEvent(Hint, &TspSkinHint::ShowHintHook));
    EXPECT_EQ(Application->HintWindowClass(), &TspSkinHintWindow::Make);
    // The last one gives back the event and the class it replaced.
    delete Hint;
    Hint = nullptr;
    EXPECT_NE(Application->HintWindowClass(), &TspSkinHintWindow::Make);
    EXPECT_EQ(Application->OnShowHint, SavedShowHint);
}

TEST_F(SkinHintTest, AFreedActiveComponentHandsTheEventToAnActiveOne)
{
    MakeHintForm();
    auto* second = new TspSkinHint(Owner);  // not on the main form
    EXPECT_EQ(Application->OnShowHint, MakeEvent(second, &TspSkinHint::ShowHintHook));
    delete second;
    EXPECT_EQ(Application->OnShowHint, MakeEvent(Hint, &TspSkinHint::ShowHintHook));
}

TEST_F(SkinHintTest, OnDemandHintsWaitThePauseAndHideCancels)
{
    MakeHintForm();
    Application->SetHintPause(500);
    Application->SetHintHidePause(2500);
    HeadlessMouseMove(400, 400);
    HeadlessProcessMessages();
    Hint->ActivateHint2("Later");
    Clock.Advance(499);
    HeadlessProcessMessages();
    EXPECT_FALSE(Hint->IsVisible());
    Clock.Advance(1);
    HeadlessProcessMessages();
    ASSERT_TRUE(Hint->IsVisible());
    EXPECT_EQ(HintRect().left, 400);
    EXPECT_EQ(HintRect().top, 400 + TspSkinHint::GetCursorHeightMargin());
    Clock.Advance(2500);
    HeadlessProcessMessages();
    EXPECT_FALSE(Hint->IsVisible());
    // HideHint during the pause cancels it.
    Hint->ActivateHint2("Never");
    Clock.Advance(200);
    HeadlessProcessMessages();
    Hint->HideHint();
    Clock.Advance(1000);
    HeadlessProcessMessages();
    EXPECT_FALSE(Hint->IsVisible());
    // From a rectangle, above it.
    Hint->ActivateHint3(TRect(300, 300, 400, 320), "Above", true);
    Clock.Advance(500);
    HeadlessProcessMessages();
    ASSERT_TRUE(Hint->IsVisible());
    EXPECT_EQ(HintRect().bottom, 300);
    EXPECT_EQ((HintRect().left + HintRect().right) / 2, 350);
}

TEST_F(SkinHintTest, ARefusedActivationShowsNothingLater)
{
    MakeHintForm();
    Hint->SetActive(false);
    Hint->ActivateHint2("Nobody shows this");
    Clock.Advance(600);
    HeadlessProcessMessages();
    EXPECT_FALSE(Hint->IsVisible());
    EXPECT_FALSE(Hint->HintTimer->Enabled());
}

TEST_F(SkinHintTest, CursorHeightMarginOfTheStandardArrow)
{
    MakeHintForm();
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    EXPECT_EQ(TspSkinHint::GetCursorHeightMargin(), 19);
}
