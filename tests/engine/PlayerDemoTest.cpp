// The player demo: a form read from its stored description, with a panel the
// player draws into and play, pause and stop buttons, playing a generated
// clip headless (memory screen to PNG) and on the X display.
#include <cstdlib>

#include "PlayerTestSupport.h"
#include "engine/bindings/FFLoad.h"
#include "platform/backend/BackendSelect.h"
#include "platform/backend/Headless.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/user/User.h"
#include "support/TestSupport.h"
#include "support/X11ScreenReader.h"

namespace tarnello::test {
namespace {

// One colour (0x2040C0) with a white box in the top left quarter.
std::string DemoClip()
{
    return PlayerFixture("colour.mp4", "-f lavfi -i color=c=0x2040C0:s=160x120:r=25:d=2 "
                                       "-vf drawbox=x=0:y=0:w=80:h=60:color=white:t=fill -c:v libx264 "
                                       "-preset ultrafast -pix_fmt yuv420p");
}

class TPlayerDemoForm : public TForm {
public:
    using TForm::TForm;
    TPanel* Screen = nullptr;
    TPanel* PlayButton = nullptr;
    TPanel* PauseButton = nullptr;
    TPanel* StopButton = nullptr;
    TDIRudidi* Player = nullptr;
    std::string Clip;

    void PlayClick(TObject*)
    {
        if (Player->PlayState() == psStop)
            Player->Open(Clip, Screen->Handle(), false);
        else
            Player->Resume();
    }
    void PauseClick(TObject*) { Player->Pause(); }
    void StopClick(TObject*) { Player->Stop(true); }

    static std::string_view FormDescription()
    {
        return R"(object PlayerDemoForm: TPlayerDemoForm
  Left = 500
  Top = 640
  Width = 340
  Height = 330
  Caption = 'Tarnello player'
  object Player: TDIRudidi
    AudioVolume = 100
    TriggerEventInMainThread = False
  end
  object Screen: TPanel
    Left = 10
    Top = 10
    Width = 320
    Height = 240
    BevelOuter = bvNone
    Color = $00000000
  end
  object PlayButton: TPanel
    Left = 10
    Top = 256
    Width = 100
    Height = 30
    Caption = 'Play'
    OnClick = PlayClick
  end
  object PauseButton: TPanel
    Left = 120
    Top = 256
    Width = 100
    Height = 30
    Caption = 'Pause'
    OnClick = PauseClick
  end
  object StopButton: TPanel
    Left = 230
    Top = 256
    Width = 100
    Height = 30
    Caption = 'Stop'
    OnClick = StopClick
  end
end
)";
    }

    PUBLISHED(TPlayerDemoForm, TForm)
    {
        P.Member("Screen", &TPlayerDemoForm::Screen);
        P.Member("PlayButton", &TPlayerDemoForm::PlayButton);
        P.Member("PauseButton", &TPlayerDemoForm::PauseButton);
        P.Member("StopButton", &TPlayerDemoForm::StopButton);
        P.Member("Player", &TPlayerDemoForm::Player);
        P.Handler("PlayClick", &TPlayerDemoForm::PlayClick);
        P.Handler("PauseClick", &TPlayerDemoForm::PauseClick);
        P.Handler("StopClick", &TPlayerDemoForm::StopClick);
    }
};

bool Pump(const std::function<bool()>& APred)
{
    auto limit = TClock::now() + std::chrono::seconds(20);
    while (!APred()) {
        if (TClock::now() > limit) return false;
        Application->ProcessMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    Application->ProcessMessages();
    return true;
}

bool Near(uint32_t ARgb, int R, int G, int B, int ATol = 6)
{
    return std::abs(int(ARgb >> 16 & 0xFF) - R) <= ATol && std::abs(int(ARgb >> 8 & 0xFF) - G) <= ATol &&
           std::abs(int(ARgb & 0xFF) - B) <= ATol;
}

// Plays, pauses and stops through the buttons; APixel reads the screen at a
// point of the demo's panel as 0xRRGGBB; AShot saves what is on screen.
void RunDemo(TPlayerDemoForm* AForm, const std::function<uint32_t(int, int)>& APixel,
             const std::function<void()>& AShot)
{
    TPlayerEvents events(*AForm->Player);
    AForm->Clip = DemoClip();
    AForm->PlayButton->Click();
    ASSERT_EQ(AForm->Player->LastErrMsg(), "");
    ASSERT_TRUE(Pump([&] { return AForm->Player->CurrentPTS() > 200000; }));
    AForm->PauseButton->Click();
    ASSERT_TRUE(Pump([&] { return events.CountOf(psPause) > 0; }));
    // blue with the white box in the top left quarter, filling the panel
    ASSERT_TRUE(Pump([&] { return Near(APixel(240, 180), 0x20, 0x40, 0xC0) && Near(APixel(40, 30), 255, 255, 255, 8); }))
        << std::hex << APixel(240, 180) << " " << APixel(40, 30);
    AShot();
    AForm->PlayButton->Click();  // resumes
    ASSERT_TRUE(Pump([&] { return events.CountOf(psResume) > 0; }));
    AForm->StopButton->Click();
    EXPECT_EQ(AForm->Player->PlayState(), psStop);
}

class PlayerDemoTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(FFLoader().Load(PlayerLibraries)) << FFLoader().LastErrMsg(); }
    static void TearDownTestSuite() { FFLoader().Unload(PlayerLibraries); }
    static TPlayerDemoForm* MakeForm()
    {
        RegisterClasses<TPlayerDemoForm, TPanel, TDIRudidi>();
        TPlayerDemoForm* form = nullptr;
        TCustomForm* mainBefore = Application->MainForm();
        Application->CreateForm(form);
        Application->SetMainForm(mainBefore);
        return form;
    }
};

TEST_F(PlayerDemoTest, PlaysPausesAndStopsHeadless)
{
    HeadlessReset();
    TPlayerDemoForm* form = MakeForm();
    ASSERT_TRUE(form);
    ASSERT_TRUE(form->Screen && form->PlayButton && form->Player);
    // the player's settings come from the description
    EXPECT_EQ(form->Player->AudioVolume(), 100);
    EXPECT_FALSE(form->Player->TriggerEventInMainThread());
    form->Show();
    Application->ProcessMessages();
    RunDemo(
        form,
        [&](int X, int Y) {
            POINT p{X, Y};
            ClientToScreen(form->Screen->Handle(), &p);
            HeadlessBackend().Compose();
            COLORREF c = HeadlessBackend().Pixel(p.x, p.y);
            return uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 | GetBValue(c);
        },
        [&] { SaveWindowShot(form->Handle(), FixtureFolder() + "/../player-demo.png"); });
    form->Free();
    Application->ProcessMessages();
    HeadlessReset();
}

TEST_F(PlayerDemoTest, PlaysPausesAndStopsOnTheXDisplay)
{
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
    setenv("TARNELLO_BACKEND", "x11", 1);
    std::string error;
    ASSERT_TRUE(SelectWindowBackend(&error)) << error;
    {
        TPlayerDemoForm* form = MakeForm();
        ASSERT_TRUE(form);
        form->Show();
        Application->ProcessMessages();
        X11ScreenReader screen;
        ASSERT_TRUE(screen.Ok());
        RunDemo(
            form,
            [&](int X, int Y) {
                POINT p{X, Y};
                ClientToScreen(form->Screen->Handle(), &p);
                screen.Sync();
                return screen.RootPixel(p.x, p.y) & 0xFFFFFFu;
            },
            [&] {
                RECT r{};
                GetWindowRect(form->Handle(), &r);
                screen.SavePng(r.left, r.top, r.right - r.left, r.bottom - r.top,
                               FixtureFolder() + "/../player-demo-x11.png");
            });
        form->Free();
    }
    Application->ProcessMessages();
    ShutdownWindowBackend();
    unsetenv("TARNELLO_BACKEND");
}

}  // namespace
}  // namespace tarnello::test
