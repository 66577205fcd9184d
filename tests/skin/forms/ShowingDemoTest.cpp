// The showing demo on skin-new: the main form fading in with its halo, sized
// by the halo and dragged by its caption with the halo following; a
// translucent second form; an inactive form under its blurred cover; a form
// whose caption holds a track bar, a switch, a gauge and an animation (a
// fixture skin made here from skin-new); minimizing to the tray on a stub
// tray host and back. Headless on the fake clock, and on the X display.
#include "platform/backend/HeadlessTray.h"
#include "platform/backend/X11.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/rtl/Clock.h"
#include "platform/user/Backend.h"
#include "skin/core/SkinData.h"
#include "skin/core/SkinTextObjects.h"
#include "skin/forms/FormInactiveOverlay.h"
#include "skin/forms/FormLayerBorder.h"
#include "skin/forms/FrameValueObjects.h"
#include "skin/forms/SkinTrayIcon.h"
#include "support/X11TestSession.h"

#include "FormTestSupport.h"

#include <functional>
#include <memory>

using formtest::TFormTest;

namespace {

using formtest::RectOf;

class ShowingDemoTest : public TFormTest {
protected:
    void TearDown() override
    {
        Application->SetMainForm(nullptr);
        TFormTest::TearDown();
        SetTrayHost(nullptr);
    }

    TForm* NewForm(const char* Caption, int X, int Y, int W, int H, TspSkinData* Skin, TspFormSkinner*& S)
    {
        auto* f = new TForm(Owner);
        f->SetCaption(Caption);
        f->SetBounds(X, Y, W, H);
        S = new TspFormSkinner(f);
        S->SetSkinData(Skin);
        return f;
    }
    // Coloured blocks, so that a cover or translucency has something to show.
    static void Blocks(TForm* F, std::initializer_list<TColor> Colours)
    {
        int x = 12;
        for (TColor c : Colours) {
            auto* p = new TPanel(F);
            p->SetParent(F);
            p->SetBounds(x, 14, 70, 60);
            p->SetColor(c);
            p->SetParentBackground(false);
            x += 84;
        }
    }
    // skin-new with a picture strip of its own and four value objects in the
    // caption band: the track bar above, switch, gauge and animation below,
    // the caption's text kept to the band's left part.
    TspSkinData* ValuesSkin()
    {
        auto* d = new TspSkinData(Owner);
        EXPECT_TRUE(d->LoadFromFile(formtest::SkinNewIni())) << d->LastError();
        auto strip = std::make_unique<TBitmap>();
        strip->SetSize(134, 10);
        TCanvas* c = strip->Canvas();
        auto fill = [&](int L, int R, TColor Colour) {
            c->Brush()->SetColor(Colour);
            c->FillRect(TRect(L, 0, R, 10));
        };
        fill(0, 50, static_cast<TColor>(RGB(60, 140, 230)));     // track fill
        fill(50, 58, static_cast<TColor>(RGB(235, 235, 235)));   // track button
        fill(58, 74, static_cast<TColor>(RGB(60, 200, 90)));     // switch on
        fill(74, 94, static_cast<TColor>(RGB(240, 150, 40)));    // gauge fill
        const TColor frames[] = {static_cast<TColor>(RGB(230, 60, 60)), static_cast<TColor>(RGB(240, 220, 60)),
                                 static_cast<TColor>(RGB(60, 200, 90)), static_cast<TColor>(RGB(60, 200, 220))};
        for (int i = 0; i < 4; ++i)
            fill(94 + 10 * i, 104 + 10 * i, frames[i]);
        d->FActivePictures.push_back(std::move(strip));
        const int pic = static_cast<int>(d->FActivePictures.size()) - 1;
        for (auto& o : d->ObjectList)
            if (auto* cap = dynamic_cast<TspDataSkinCaption*>(o.get())) {
                cap->SkinRect.right = 92;
                cap->TextRct = TRect(0, 0, cap->SkinRect.Width(), cap->SkinRect.Height());
            }
        auto add = [&](auto obj, TRect R, TRect Active) -> auto& {
            obj->SkinRect = R;
            obj->ActivePictureIndex = pic;
            obj->ActiveSkinRect = Active;
            auto& ref = *obj;
            d->ObjectList.push_back(std::move(obj));
            return ref;
        };
        auto& t = add(std::make_unique<TspDataSkinTrackBar>("volume"), TRect(96, 6, 146, 16), TRect(0, 0, 50, 10));
        t.ButtonRect = TRect(50, 0, 58, 10);
        t.BeginPoint = TPoint(4, 5);
        t.EndPoint = TPoint(46, 5);
        t.MaxValue = 100;
        t.MouseDownChangeValue = true;
        add(std::make_unique<TspDataSkinSwitch>("power"), TRect(96, 20, 112, 30), TRect(58, 0, 74, 10));
        auto& g = add(std::make_unique<TspDataSkinGauge>("level"), TRect(114, 20, 134, 30), TRect(74, 0, 94, 10));
        g.MaxValue = 100;
        auto& a = add(std::make_unique<TspDataSkinAnimate>("spin"), TRect(136, 20, 146, 30), TRect(94, 0, 134, 10));
        a.CountFrames = 4;
        a.Cycle = true;
        a.Command = cmDefault;
        a.TimerInterval = 100;
        return d;
    }

    // The forms in a 880 x 640 area from (X, Y); the main form comes last
    // and fades in.
    void Build(int X, int Y)
    {
        SetTrayHost(&TrayHost);
        LoadSkinNew();
        Dim = NewForm("Inactive", X, Y + 330, 380, 200, Data, DimSkinner);
        Blocks(Dim, {clRed, clBlue, clYellow, clGreen});
        DimSkinner->ClientInActiveEffect = true;
        DimSkinner->ClientInActiveEffectType = spieBlur;
        Dim->Show();
        Values = NewForm("Dials", X + 500, Y + 330, 320, 200, ValuesSkin(), ValuesSkinner);
        Values->Show();
        ValuesSkinner->TrackBarSetValue("volume", 60);
        ValuesSkinner->GaugeSetValue("level", 70);
        Glass = NewForm("Translucent", X + 500, Y + 20, 320, 220, Data, GlassSkinner);
        Blocks(Glass, {clRed, clBlue, clYellow});
        GlassSkinner->AlphaBlend = true;
        GlassSkinner->AlphaBlendValue = 150;
        Glass->Show();
        Form = NewForm("Tarnello", X + 20, Y + 20, 400, 260, Data, Skinner);
        Application->SetMainForm(Form);
        Blocks(Form, {clMaroon, clNavy, clOlive, clTeal});
        Skinner->AlphaBlendAnimation = true;
        Tray = new TspTrayIcon(Form);
        Skinner->SetTrayIcon(Tray);
        Form->Show();
    }
    bool FadeDone() const { return !Skinner->FFadeSteps.empty(); }
    TspFormLayerBorder* Halo() const { return Skinner->FBorderLayer; }
    // A left-button drag from (X, Y) by (DX, DY) in 5-pixel steps. On the
    // halo each step is handled before the next; the form's own frame runs
    // the window system's move loop, which takes the queued steps itself.
    void Drag(int X, int Y, int DX, int DY, bool StepByStep, const std::function<void()>& Settle)
    {
        HeadlessMouseMove(X, Y);
        Settle();
        HeadlessMouseDown();
        if (StepByStep)
            Settle();
        const int n = std::max({1, std::abs(DX) / 5, std::abs(DY) / 5});
        for (int i = 1; i <= n; ++i) {
            HeadlessMouseMove(X + DX * i / n, Y + DY * i / n);
            if (StepByStep)
                Settle();
        }
        HeadlessMouseUp();
        Settle();
        Settle();
    }
    // The demo's course; Shot saves the area, Settle lets the windows catch up,
    // Tick lets the animation's timer run once.
    void Steps(const std::function<void(const std::string&)>& ShotFn, const std::function<void()>& Settle,
               const std::function<void()>& Tick)
    {
        // The fade went from transparent to opaque and left the form unlayered.
        ASSERT_TRUE(FadeDone());
        EXPECT_EQ(Skinner->FFadeSteps.back(), 255);
        EXPECT_GT(Skinner->FFadeSteps.size(), 5u);
        EXPECT_FALSE(GetWindowLong(Form->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
        // The halo needs translucent top-level windows (the memory screen has
        // them; an X server without a compositing manager has not).
        const bool halo = UserBackend()->TranslucentTopLevels();
        ASSERT_EQ(Halo() != nullptr && Halo()->Visible(), halo);
        if (halo)
            EXPECT_TRUE(IsWindowVisible(Halo()->RightBorder->Handle()));
        // The translucent form stays layered at its value.
        BYTE alpha = 0;
        ASSERT_TRUE(GetLayeredWindowAttributes(Glass->Handle(), nullptr, &alpha, nullptr));
        EXPECT_EQ(alpha, 150);
        // The main form is active: the first form is covered.
        EXPECT_NE(DimSkinner->FInActivePanel, nullptr);
        // The caption's value objects.
        EXPECT_EQ(ValuesSkinner->TrackBarGetValue("volume"), 60);
        auto* spin = dynamic_cast<TspSkinAnimateObject*>(
            ValuesSkinner->ObjectList[static_cast<std::size_t>(ValuesSkinner->GetIndex("spin"))].get());
        ASSERT_NE(spin, nullptr);
        spin->Increment = spin->Cycle = true;
        ValuesSkinner->AnimateStart("spin");
        ValuesSkinner->SwitchSetState("power", swsOn);
        ASSERT_TRUE(spin->Active);
        const int frame = spin->Frame();
        Tick();
        EXPECT_NE(spin->Frame(), frame);
        EXPECT_EQ(ValuesSkinner->SwitchGetState("power"), swsOn);
        Settle();
        ShotFn("showing-demo");

        // Sized by the halo's right edge, 5 pixels outside the form (without
        // the halo by the frame's own edge).
        const RECT f0 = Place();
        const int my = (f0.top + f0.bottom) / 2;
        Drag(halo ? f0.right + 3 : f0.right - 2, my, 40, 0, halo, Settle);
        RECT f = Place();
        EXPECT_EQ(f.right - f.left, (f0.right - f0.left) + 40);
        EXPECT_EQ(f.left, f0.left);
        if (halo)
            EXPECT_EQ(RectOf(Halo()->RightBorder).right, f.right + 10);
        ShotFn("showing-demo-sized");
        // Dragged by the caption: the halo follows.
        Drag(f.left + 250, f.top + 16, 30, 20, false, Settle);
        f = Place();
        EXPECT_EQ(f.left, f0.left + 30);
        EXPECT_EQ(f.top, f0.top + 20);
        if (halo) {
            EXPECT_EQ(RectOf(Halo()->TopBorder).left, f.left - 10);
            EXPECT_EQ(RectOf(Halo()->TopBorder).top, f.top - 10);
        }
        ShotFn("showing-demo-moved");

        // A click on the switch turns it off.
        const TRect sw = ValuesSkinner->GetObjectRect("power");
        HeadlessClick(Values->Left() + sw.left + 4, Values->Top() + sw.top + 4);
        Settle();
        EXPECT_EQ(ValuesSkinner->SwitchGetState("power"), swsOff);

        // To the tray and back.
        Skinner->MinimizeToTray();
        Settle();
        EXPECT_FALSE(IsWindowVisible(Form->Handle()));
        EXPECT_TRUE(!Halo() || !Halo()->Visible());
        EXPECT_EQ(TrayHost.Icons().size(), 1u);
        ShotFn("showing-demo-in-tray");
        Skinner->RestoreFromTray();
        Settle();
        Settle();
        EXPECT_TRUE(IsWindowVisible(Form->Handle()));
        EXPECT_TRUE(TrayHost.Icons().empty());
        ShotFn("showing-demo-restored");
    }

    TForm *Dim = nullptr, *Values = nullptr, *Glass = nullptr;
    TspFormSkinner *DimSkinner = nullptr, *ValuesSkinner = nullptr, *GlassSkinner = nullptr;
    TspTrayIcon* Tray = nullptr;
    THeadlessTray TrayHost;
};

TEST_F(ShowingDemoTest, TheShowingDemoRunsHeadless)
{
    TFakeClock clock;
    clock.SetStepPerRead(6);
    TClockInstaller install(clock);
    Build(20, 20);
    for (int i = 0; i < 40 && !FadeDone(); ++i)
        Pump();
    Steps([&](const std::string& Name) { EXPECT_TRUE(tarnello::test::SaveScreenArea(0, 0, 900, 660, Name + ".png")); },
          [] { Pump(); },
          [&] {
              // One interval of the animation (four 25 ms ticks of its
              // timer), the clock still meanwhile.
              clock.SetStepPerRead(0);
              for (int i = 0; i < 5; ++i) {
                  clock.Advance(25);
                  HeadlessProcessMessages();
              }
              clock.SetStepPerRead(6);
          });
    // The cover over the inactive form shows its blocks in their colours,
    // though it came before they had ever painted.
    ASSERT_NE(DimSkinner->FInActivePanel, nullptr);
    const TPoint p = Dim->ClientToScreen(TPoint(47, 44));
    EXPECT_EQ(Pixel(p.x, p.y) & 0xFFFFFF, RGB(255, 0, 0));
    // The switch shows its state at once, set by name or clicked.
    RECT v{};
    GetWindowRect(Values->Handle(), &v);
    ValuesSkinner->SwitchSetState("power", swsOn);
    Pump();
    EXPECT_EQ(Pixel(v.left + 104, v.top + 25) & 0xFFFFFF, RGB(60, 200, 90));
    ValuesSkinner->SwitchSetState("power", swsOff);
    Pump();
    EXPECT_NE(Pixel(v.left + 104, v.top + 25) & 0xFFFFFF, RGB(60, 200, 90));
}

class ShowingDemoX11Test : public ShowingDemoTest {
protected:
    void SetUp() override
    {
        ShowingDemoTest::SetUp();
        if (!X11.Ok())
            GTEST_SKIP() << "no X display";
        X11.Select();
    }
    void TearDown() override
    {
        if (X11.Ok()) {
            Application->SetMainForm(nullptr);
            for (TForm* f : {static_cast<TForm*>(Form), Dim, Values, Glass})
                if (f)
                    f->Free();
            Form = nullptr;
            Dim = Values = Glass = nullptr;
            X11.Release();
        }
        ShowingDemoTest::TearDown();
    }
    tarnello::test::X11TestSession X11;
};

// The demo keeps to its own band of the shared screen (x 380-1270, y 330-1000);
// without a compositing manager the server cannot blend, so the fade shows the
// form at once and the halo's visible pixels are opaque.
TEST_F(ShowingDemoX11Test, TheShowingDemoShowsOnTheXScreen)
{
    Build(380, 330);
    ASSERT_TRUE(X11.PumpUntil([&] { return FadeDone() && IsWindowVisible(Form->Handle()) != 0; }, 5000));
    X11.Settle(200);
    Steps([&](const std::string& Name) { EXPECT_TRUE(X11.SaveArea(380, 330, 890, 670, "x11-" + Name + ".png")); },
          [&] { X11.Settle(60); }, [&] { X11.Settle(250); });
}

}  // namespace
