// The player drawing into a panel of a form on the headless memory screen:
// the picture in the panel, kept while paused and covered, following a
// resized panel, and the panel's own procedure back after Stop.
#include <cstdlib>

#include "PlayerTestSupport.h"
#include "engine/bindings/FFLoad.h"
#include "platform/backend/Headless.h"
#include "platform/gdi/Gdi.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/PngImage.h"
#include "platform/user/User.h"
#include "support/TestSupport.h"
#include "support/X11ScreenReader.h"
#include "platform/backend/BackendSelect.h"

namespace tarnello::test {
namespace {

class PlayerPanelTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(FFLoader().Load(PlayerLibraries)) << FFLoader().LastErrMsg(); }
    static void TearDownTestSuite() { FFLoader().Unload(PlayerLibraries); }
    void SetUp() override
    {
        HeadlessReset();
        Form = new TForm(nullptr);
        Form->SetBounds(40, 30, 420, 340);
        Panel = new TPanel(Form);
        Panel->SetParent(Form);
        Panel->SetBevelOuter(bvNone);
        Panel->SetBounds(20, 20, 320, 240);
        Form->Show();
        Application->ProcessMessages();
    }
    void TearDown() override
    {
        Form->Free();
        Application->ProcessMessages();
        HeadlessReset();
    }
    // Waits for APred, serving window messages meanwhile.
    static bool Until(const std::function<bool()>& APred)
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
    COLORREF PanelPixel(int X, int Y)
    {
        POINT p{X, Y};
        ClientToScreen(Panel->Handle(), &p);
        HeadlessBackend().Compose();
        return HeadlessBackend().Pixel(p.x, p.y);
    }
    static bool Near(COLORREF A, int R, int G, int B, int ATolerance = 6)
    {
        return std::abs(int(GetRValue(A)) - R) <= ATolerance && std::abs(int(GetGValue(A)) - G) <= ATolerance &&
               std::abs(int(GetBValue(A)) - B) <= ATolerance;
    }
    void SaveShot(const std::string& AName) { SaveWindowShot(Form->Handle(), FixtureFolder() + "/../" + AName); }
    TForm* Form = nullptr;
    TPanel* Panel = nullptr;
};

// A clip of one colour (0x2040C0) with a white box in its top left quarter.
std::string ColourClip()
{
    return PlayerFixture("colour.mp4", "-f lavfi -i color=c=0x2040C0:s=160x120:r=25:d=2 "
                                       "-vf drawbox=x=0:y=0:w=80:h=60:color=white:t=fill -c:v libx264 "
                                       "-preset ultrafast -pix_fmt yuv420p");
}

TEST_F(PlayerPanelTest, ShowsThePictureInThePanelAndFollowsItsSize)
{
    TDIRudidi player(nullptr);
    player.SetTriggerEventInMainThread(false);
    LONG_PTR ownProc = GetWindowLongPtr(Panel->Handle(), GWLP_WNDPROC);
    ASSERT_TRUE(player.Open(ColourClip(), Panel->Handle(), true)) << player.LastErrMsg();
    EXPECT_EQ(player.ScreenWidth(), 320);  // the panel's client area
    ASSERT_TRUE(Until([&] { return Near(PanelPixel(240, 180), 32, 64, 192); })) << std::hex << PanelPixel(240, 180);
    EXPECT_TRUE(Near(PanelPixel(40, 30), 255, 255, 255, 8));
    EXPECT_EQ(player.DisplayRect(), TRect(0, 0, 320, 240));
    SaveShot("player-panel.png");

    // covered by another window and uncovered while paused: painted again
    TForm* cover = new TForm(nullptr);
    RECT pr{};
    GetWindowRect(Panel->Handle(), &pr);
    cover->SetBounds(pr.left, pr.top, 200, 150);
    cover->Show();
    Application->ProcessMessages();
    cover->Free();
    ASSERT_TRUE(Until([&] { return Near(PanelPixel(60, 40), 255, 255, 255, 8); }));
    EXPECT_TRUE(player.Paused());

    // a wider panel: the 4:3 picture is centred between black bars
    Panel->SetBounds(20, 20, 360, 120);
    ASSERT_TRUE(Until([&] { return player.DisplayRect() == TRect(100, 0, 260, 120); }));
    ASSERT_TRUE(Until([&] { return Near(PanelPixel(10, 60), 0, 0, 0, 2) && Near(PanelPixel(200, 90), 32, 64, 192); }));
    SaveShot("player-panel-resized.png");

    player.Stop(true);
    EXPECT_EQ(GetWindowLongPtr(Panel->Handle(), GWLP_WNDPROC), ownProc);
    // and it opens again
    ASSERT_TRUE(player.Open(ColourClip(), Panel->Handle(), false)) << player.LastErrMsg();
    ASSERT_TRUE(Until([&] { return player.CurrentPTS() > 0; }));
    player.Stop(true);
}

TEST_F(PlayerPanelTest, ADeadPanelIsRefusedAndAPanelDestroyedMidPlayEndsQuietly)
{
    TDIRudidi player(nullptr);
    HWND dead = Panel->Handle();
    Panel->Free();
    Application->ProcessMessages();
    EXPECT_FALSE(player.Open(ColourClip(), dead, false));
    EXPECT_EQ(player.LastErrMsg().rfind("Could not initialize SDL with ScreenHandle(", 0), 0u) << player.LastErrMsg();

    auto* other = new TPanel(Form);
    other->SetParent(Form);
    other->SetBounds(0, 0, 160, 120);
    Application->ProcessMessages();
    ASSERT_TRUE(player.Open(ColourClip(), other->Handle(), false)) << player.LastErrMsg();
    ASSERT_TRUE(Until([&] { return player.CurrentPTS() > 100000; }));
    other->Free();  // the window goes while pictures keep coming
    Application->ProcessMessages();
    std::this_thread::yield();
    player.Stop(true);
    EXPECT_EQ(player.PlayState(), psStop);
}

// The desktop's icon view is looked for where a desktop keeps it; a screen
// without one gives 0.
TEST_F(PlayerPanelTest, DesktopIconViewIsFoundWhereTheDesktopKeepsIt)
{
    for (const char* name : {"ProgMan", "SHELLDLL_DefView", "SysListView32", "TestTopWindow"}) {
        WNDCLASS wc;
        wc.lpfnWndProc = DefWindowProc;
        wc.lpszClassName = name;
        RegisterClass(&wc);  // already known to the screen: kept as it is
    }
    const auto make = [](const char* AClass, const char* ATitle, HWND AParent, bool AVisible) {
        const DWORD style = (AParent ? WS_CHILD : 0) | (AVisible ? WS_VISIBLE : 0);
        return CreateWindow(AClass, ATitle, style, 0, 0, 50, 50, AParent, nullptr, nullptr, nullptr);
    };
    EXPECT_EQ(FindDesktopListView(), nullptr);

    // A shell view inside a visible top-level window: only the list titled
    // "FolderView" counts, and not inside a hidden window.
    const HWND hidden = make("TestTopWindow", "", nullptr, false);
    make("SysListView32", "FolderView", make("SHELLDLL_DefView", "", hidden, true), true);
    const HWND top = make("TestTopWindow", "", nullptr, true);
    const HWND view = make("SHELLDLL_DefView", "", top, true);
    make("SysListView32", "Other", view, true);
    EXPECT_EQ(FindDesktopListView(), nullptr);
    const HWND folder = make("SysListView32", "FolderView", view, true);
    EXPECT_EQ(FindDesktopListView(), folder);

    // "ProgMan" with a child only: still the folder view; with a grandchild,
    // that grandchild.
    const HWND progman = make("ProgMan", "Program Manager", nullptr, false);
    const HWND child = make("TestTopWindow", "", progman, true);
    EXPECT_EQ(FindDesktopListView(), folder);
    const HWND grandchild = make("TestTopWindow", "", child, true);
    EXPECT_EQ(FindDesktopListView(), grandchild);

    for (HWND w : {progman, top, hidden})
        DestroyWindow(w);
    EXPECT_EQ(FindDesktopListView(), nullptr);
}

// A rectangle over the panel maps to picture pixels only while a file is open.
TEST_F(PlayerPanelTest, PanelRectangleMapsToThePicturePixels)
{
    TDIRudidi player(nullptr);
    EXPECT_EQ(player.DisplayToActualRect(TRect(0, 0, 100, 100)), TRect());
    ASSERT_TRUE(player.Open(ColourClip(), Panel->Handle(), true)) << player.LastErrMsg();
    ASSERT_TRUE(Until([&] { return player.DisplayRect().Width() > 0 && player.FrameWidth() > 0; }));
    // The 160x120 clip fills the 320x240 panel: twice as large.
    EXPECT_EQ(player.DisplayRect(), TRect(0, 0, 320, 240));
    EXPECT_EQ(player.DisplayToActualRect(TRect(300, 200, -40, 40)), TRect(0, 20, 150, 100));
    player.Stop(true);
    EXPECT_EQ(player.DisplayToActualRect(TRect(0, 0, 100, 100)), TRect());
}

TEST(PlayerX11Test, ShowsThePictureInAPanelOfAnX11Window)
{
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
    ASSERT_TRUE(FFLoader().Load(PlayerLibraries)) << FFLoader().LastErrMsg();
    setenv("TARNELLO_BACKEND", "x11", 1);
    std::string error;
    ASSERT_TRUE(SelectWindowBackend(&error)) << error;
    {
        TForm form(nullptr);
        form.SetBorderStyle(bsNone);
        // a place of its own on the display the test programs share
        form.SetBounds(860, 700, 360, 280);
        auto* panel = new TPanel(&form);
        panel->SetParent(&form);
        panel->SetBevelOuter(bvNone);
        panel->SetBounds(20, 20, 320, 240);
        form.Show();
        Application->ProcessMessages();
        X11ScreenReader screen;
        ASSERT_TRUE(screen.Ok());
        TDIRudidi player(nullptr);
        player.SetTriggerEventInMainThread(false);
        ASSERT_TRUE(player.Open(ColourClip(), panel->Handle(), true)) << player.LastErrMsg();
        // the white box covers the panel's top left quarter, blue the rest
        uint32_t blue = 0, white = 0;
        auto until = TClock::now() + std::chrono::seconds(20);
        while (TClock::now() < until) {
            Application->ProcessMessages();
            screen.Sync();
            blue = screen.RootPixel(860 + 260, 700 + 180);
            white = screen.RootPixel(860 + 60, 700 + 50);
            if (std::abs(int(blue & 0xFF) - 0xC0) <= 6 && (white & 0xF0F0F0u) == 0xF0F0F0u) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        EXPECT_NEAR(int(blue >> 16), 0x20, 6) << std::hex << blue;
        EXPECT_NEAR(int((blue >> 8) & 0xFF), 0x40, 6);
        EXPECT_NEAR(int(blue & 0xFF), 0xC0, 6);
        EXPECT_EQ(white & 0xF0F0F0u, 0xF0F0F0u) << std::hex << white;  // white, within rounding
        screen.SavePng(860, 700, 360, 280, FixtureFolder() + "/../player-panel-x11.png");
        player.Stop(true);
        ASSERT_TRUE(player.Open(ColourClip(), panel->Handle(), false)) << player.LastErrMsg();
        player.Stop(true);
    }
    Application->ProcessMessages();
    ShutdownWindowBackend();
    unsetenv("TARNELLO_BACKEND");
    FFLoader().Unload(PlayerLibraries);
}

}  // namespace
}  // namespace tarnello::test
