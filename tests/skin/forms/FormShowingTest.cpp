// Showing a skinned form: the fade-in on the window's timer 1 on the fake
// clock (each reading of the tick counter moves it on), translucency, the
// drop shadow, and a release that arrives while the fade runs.
#include "platform/gui/ExtCtrls.h"
#include "platform/rtl/Clock.h"
#include "skin/forms/FormInactiveOverlay.h"

#include "FormTestSupport.h"

using formtest::TFormTest;

namespace {

class FormShowingTest : public TFormTest {
protected:
    bool Layered() const { return (GetWindowLong(Form->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED) != 0; }
    // A form at (100, 100) shown with the given alpha settings.
    void ShowWith(bool Blend, bool Animation, int Value, bool AllWindows)
    {
        Data->AnimationForAllWindows = AllWindows;
        Form = new TForm(Owner);
        Form->SetBounds(100, 100, 320, 200);
        Skinner = new TspFormSkinner(Form);
        Skinner->SetSkinData(Data);
        Skinner->AlphaBlend = Blend;
        Skinner->AlphaBlendAnimation = Animation;
        Skinner->AlphaBlendValue = static_cast<std::uint8_t>(Value);
        Form->Show();
        Pump();
    }
};

std::vector<int> Range(int From, int To, int Step)
{
    std::vector<int> v;
    for (int a = From; a < To; a += Step)
        v.push_back(a);
    v.push_back(To);
    return v;
}

TEST_F(FormShowingTest, FadeSequencesByTheAlphaSettings)
{
    struct TCase {
        const char* Name;
        bool Blend, Animation;
        int Value;
        bool AllWindows;
        std::vector<int> Steps;
        bool StaysLayered;
    };
    const TCase cases[] = {
        {"blend and animation at 200", true, true, 200, false, Range(13, 200, 13), true},
        {"animation alone", false, true, 200, false, Range(17, 255, 17), false},
        {"blend without animation", true, false, 200, false, {200}, true},
        {"ten steps by one", true, true, 10, false, Range(1, 10, 1), true},
        {"0 with animation for all windows", false, false, 0, true, Range(17, 255, 17), false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TFakeClock clock;
        clock.SetStepPerRead(6);
        TClockInstaller install(clock);
        LoadSkinNew();
        ShowWith(c.Blend, c.Animation, c.Value, c.AllWindows);
        for (int i = 0; i < 20 && Skinner->FFadeSteps.empty(); ++i)
            Pump();
        EXPECT_EQ(Skinner->FFadeSteps, c.Steps);
        EXPECT_EQ(Layered(), c.StaysLayered);
        if (c.StaysLayered) {
            BYTE alpha = 0;
            DWORD flags = 0;
            ASSERT_TRUE(GetLayeredWindowAttributes(Form->Handle(), nullptr, &alpha, &flags));
            EXPECT_EQ(alpha, c.Steps.back());
        }
        Form->Free();
        Form = nullptr;
    }
}

TEST_F(FormShowingTest, ATranslucentFormShowsWhatLiesBelow)
{
    LoadSkinNew();
    ShowWith(true, false, 128, false);
    Pump();
    // The form's caption band over the desktop's colour at 128/255.
    const COLORREF desktop = Pixel(90, 90);
    const COLORREF band = static_cast<COLORREF>(Data->FPicture->Canvas()->Pixels(200, 10)) & 0xFFFFFF;
    const COLORREF seen = At(200, 10);
    auto mix = [](int a, int b) { return (a * 128 + b * 127) / 255; };
    EXPECT_NEAR(GetRValue(seen), mix(GetRValue(band), GetRValue(desktop)), 2);
    EXPECT_NEAR(GetBValue(seen), mix(GetBValue(band), GetBValue(desktop)), 2);
    Shot("skin-new-translucent");
    // Switching it off makes the form opaque again; while loading it is only stored.
    Skinner->SetAlphaBlend(false);
    EXPECT_FALSE(Layered());
    Skinner->SetAlphaBlendValue(90);
    EXPECT_FALSE(Layered());
    Skinner->SetAlphaBlend(true);
    BYTE alpha = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(Form->Handle(), nullptr, &alpha, nullptr));
    EXPECT_EQ(alpha, 90);
}

TEST_F(FormShowingTest, TheShadowChangesOnlyWithANewValue)
{
    LoadSkinNew();
    MakeForm(100, 100, 320, 200, Data);
    const DWORD before = GetClassLong(Form->Handle(), GCL_STYLE);
    Skinner->EnableShadow(false, false);
    EXPECT_EQ(GetClassLong(Form->Handle(), GCL_STYLE), before);
    Skinner->EnableShadow(true, false);
    EXPECT_TRUE(GetClassLong(Form->Handle(), GCL_STYLE) & CS_DROPSHADOW);
    Skinner->EnableShadow(false, true);
    EXPECT_FALSE(GetClassLong(Form->Handle(), GCL_STYLE) & CS_DROPSHADOW);
    EXPECT_TRUE(Form->Visible());
}

class TCloseWatch : public TObject {
public:
    void OnClose(TObject*, TCloseAction& Action) { Action = caFree; }
    void OnDestroy(TObject*) { Destroyed = true; }
    bool Destroyed = false;
};

TEST_F(FormShowingTest, AFormFreedByACloseDuringItsFadeGoesAfterTheFade)
{
    TFakeClock clock;
    clock.SetStepPerRead(6);
    TClockInstaller install(clock);
    LoadSkinNew();
    ShowWith(true, true, 200, false);
    for (int i = 0; i < 20 && Skinner->FFadeSteps.empty(); ++i)
        Pump();
    TCloseWatch watch;
    Form->OnClose = MakeEvent(&watch, &TCloseWatch::OnClose);
    Form->OnDestroy = MakeEvent(&watch, &TCloseWatch::OnDestroy);
    // The close (and its release) is waiting when the fade processes messages.
    PostMessage(Form->Handle(), WM_CLOSE, 0, 0);
    SendMessage(Form->Handle(), WM_TIMER, 1, 0);
    EXPECT_TRUE(watch.Destroyed);
    Form = nullptr;
    Pump();
}

}  // namespace

namespace {

class InactiveOverlayTest : public TFormTest {};

TEST_F(InactiveOverlayTest, AnInactiveFormIsCoveredPaleOrBlurredAndUncoveredWhenActive)
{
    LoadSkinNew();
    MakeForm(100, 100, 320, 200, Data);
    // A black block in the client area: the cover shows it under the
    // background at 170/255.
    auto* block = new TPanel(Form);
    block->SetParent(Form);
    block->SetBounds(20, 20, 60, 40);
    block->SetColor(clBlack);
    block->SetParentBackground(false);
    // A red block: the cover keeps the colours of windowed controls.
    auto* red = new TPanel(Form);
    red->SetParent(Form);
    red->SetBounds(120, 20, 60, 40);
    red->SetColor(clRed);
    red->SetParentBackground(false);
    Skinner->ClientInActiveEffect = true;
    Pump();
    POINT o{0, 0};
    ClientToScreen(Form->Handle(), &o);
    const COLORREF face = Pixel(o.x + 150, o.y + 100);
    ASSERT_EQ(Pixel(o.x + 40, o.y + 30), RGB(0, 0, 0));
    for (const auto effect : {spieSemiTransparent, spieBlur}) {
        SCOPED_TRACE(effect == spieBlur ? "blur" : "semi-transparent");
        Skinner->ClientInActiveEffectType = effect;
        SendMessage(Form->Handle(), WM_NCACTIVATE, 0, 0);
        Pump();
        ASSERT_NE(Skinner->FInActivePanel, nullptr);
        const COLORREF covered = Pixel(o.x + 40, o.y + 30);
        if (effect == spieSemiTransparent) {
            EXPECT_NEAR(GetRValue(covered), GetRValue(face) * 170 / 255, 2);
            EXPECT_NEAR(GetGValue(covered), GetGValue(face) * 170 / 255, 2);
            Shot("skin-new-inactive-overlay");
        } else {
            // Inside the block stays black; near its edge the face bleeds in.
            EXPECT_EQ(covered, RGB(0, 0, 0));
            const COLORREF redCovered = Pixel(o.x + 150, o.y + 40);
            EXPECT_EQ(redCovered, RGB(255, 0, 0));
            EXPECT_GT(GetRValue(Pixel(o.x + 22, o.y + 30)), 0);
            Shot("skin-new-inactive-blur");
        }
        SendMessage(Form->Handle(), WM_NCACTIVATE, 1, 0);
        Pump();
        EXPECT_EQ(Skinner->FInActivePanel, nullptr);
        EXPECT_EQ(Pixel(o.x + 40, o.y + 30), RGB(0, 0, 0));
    }
}

TEST_F(InactiveOverlayTest, AFormWithoutClientAreaGetsNoCover)
{
    Form = new TForm(Owner);
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(100, 100, 200, 0);
    Form->Show();
    Pump();
    ASSERT_EQ(Form->ClientHeight(), 0);
    TspClientInActivePanel panel(nullptr);
    panel.ShowPanel(Form, spieBlur);
    EXPECT_EQ(panel.Buffer, nullptr);
    panel.ShowPanel(nullptr, spieBlur);
    EXPECT_FALSE(panel.Visible());
}

}  // namespace
