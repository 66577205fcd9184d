// The tool bar: ten 23-pixel buttons in a 150-pixel bar, its scroll buttons
// in the non-client area (hit answers, a click's single step, held
// scrolling on the fake clock), growing back, refused values and
// descriptions.
#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/rtl/Clock.h"
#include "platform/user/User.h"
#include "skin/controls/SkinButtons.h"
#include "skin/controls/SkinMenuButtons.h"
#include "skin/controls/SkinToolBar.h"

#include "ControlsTestSupport.h"

#include <gtest/gtest.h>

namespace {

class SkinToolBarTest : public controlstest::TControlsTest {
protected:
    SkinToolBarTest() : TControlsTest(TRect(50, 50, 450, 250)) {}
    TspSkinToolBar* Bar()
    {
        auto* bar = Make<TspSkinToolBar>(Form, 10, 10, 150, 25);
        for (int i = 0; i < 10; ++i)
            Make<TspSkinSpeedButton>(bar, i * 23, 1, 23, 23);
        bar->SetCanScroll(true);
        Application->ProcessMessages();
        return bar;
    }
    // A screen point of the bar's window (non-client area included).
    TPoint WindowPoint(TspSkinToolBar* bar, int x, int y)
    {
        RECT r;
        GetWindowRect(bar->Handle(), &r);
        return TPoint(r.left + x, r.top + y);
    }
    void Press(TPoint p)
    {
        HeadlessMouseMove(p.x, p.y);
        HeadlessMouseDown();
        Application->ProcessMessages();
    }
    void Release()
    {
        HeadlessMouseUp();
        Application->ProcessMessages();
    }
    TFakeClock Clock;
    TClockInstaller Installed{Clock};
};

TEST_F(SkinToolBarTest, TenButtonsShowScrollButtonsAndStepByTheClientWidth)
{
    auto* bar = Bar();
    EXPECT_TRUE(bar->Buttons[0].Visible);
    EXPECT_TRUE(bar->Buttons[1].Visible);
    EXPECT_EQ(bar->ClientWidth(), 126);
    EXPECT_EQ(bar->SMax, 229);
    EXPECT_EQ(bar->SPage, 126);
    auto hit = [&](int x) {
        const TPoint p = WindowPoint(bar, x, 10);
        return SendMessage(bar->Handle(), WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
    };
    EXPECT_EQ(hit(5), HTTOOLBARLEFT);
    EXPECT_EQ(hit(145), HTTOOLBARRIGHT);
    EXPECT_EQ(hit(70), HTCLIENT);

    TControl* first = bar->Controls(0);
    // A click scrolls one step, on release: the client width.
    Press(WindowPoint(bar, 145, 10));
    EXPECT_EQ(bar->SPosition, 0);
    Release();
    EXPECT_EQ(bar->SPosition, 104);  // capped at SMax - SPage + 1
    EXPECT_EQ(first->Left(), -104);
    // At the end a further step changes nothing.
    Press(WindowPoint(bar, 145, 10));
    Release();
    EXPECT_EQ(bar->SPosition, 104);
    // Back to the start.
    Press(WindowPoint(bar, 5, 10));
    Release();
    EXPECT_EQ(bar->SPosition, 0);
    EXPECT_EQ(first->Left(), 0);
}

TEST_F(SkinToolBarTest, HeldScrollingStepsPerIntervalAndOnceOnRelease)
{
    auto* bar = Bar();
    bar->SetScrollOffset(10);
    Press(WindowPoint(bar, 145, 10));
    for (int i = 0; i < 3; ++i) {
        Clock.Advance(50);
        Application->ProcessMessages();
    }
    EXPECT_EQ(bar->SPosition, 30);
    Release();
    EXPECT_EQ(bar->SPosition, 40);
    Clock.Advance(200);
    Application->ProcessMessages();
    EXPECT_EQ(bar->SPosition, 40);
    EXPECT_EQ(bar->TimerMode, 0);
}

TEST_F(SkinToolBarTest, GrowingBackUnscrollsAndHidesTheButtons)
{
    auto* bar = Bar();
    const HWND window = bar->Handle();
    Press(WindowPoint(bar, 145, 10));
    Release();
    ASSERT_EQ(bar->SPosition, 104);  // scrolled to the end
    // 20 pixels wider: the children come back by the growth.
    bar->SetWidth(170);
    EXPECT_EQ(bar->SPosition, 84);
    EXPECT_EQ(bar->Controls(0)->Left(), -84);
    bar->SetWidth(300);
    EXPECT_FALSE(bar->Buttons[0].Visible);
    EXPECT_EQ(bar->SPosition, 0);
    EXPECT_EQ(bar->Controls(0)->Left(), 0);
    EXPECT_EQ(bar->ClientWidth(), 300);
    // The frame changed in place: the window was never re-created.
    EXPECT_EQ(bar->Handle(), window);
    // Refused values keep the old ones.
    bar->SetScrollTimerInterval(0);
    EXPECT_EQ(bar->ScrollTimerInterval(), 50);
    bar->SetScrollOffset(50);
    bar->SetScrollOffset(-1);
    EXPECT_EQ(bar->ScrollOffset(), 50);
    // Captions: both widths are needed to resize.
    bar->SetWidthWithCaptions(300);
    bar->SetShowCaptions(true);
    EXPECT_EQ(bar->Width(), 300);
}

TEST_F(SkinToolBarTest, ChildrenCentredAndSkinHandedDown)
{
    auto* bar = Make<TspSkinToolBar>(Form, 10, 10, 200, 25);
    auto* b = Make<TspSkinSpeedButton>(bar, 0, 0, 23, 15);
    EXPECT_EQ(b->Top(), 5);  // centred in (1, 24)
    TspSkinData skin(nullptr);
    ASSERT_TRUE(skin.LoadFromFile(controlstest::SkinNewIni())) << skin.LastError();
    bar->SetSkinData(&skin);
    EXPECT_EQ(b->SkinData(), &skin);
    bar->SetFlat(true);
    EXPECT_TRUE(b->Flat());
    bar->SetSkinData(nullptr);
}

// At design time the bar's piece renames its buttons' pieces: speed
// buttons, menu speed buttons and those with a drop-down part apart.
TEST(SkinToolBarDesign, ButtonPiecesFollowTheBarsPiece)
{
    TspSkinToolBar bar(nullptr);
    auto* plain = new TspSkinSpeedButton(&bar);
    plain->SetParent(&bar);
    auto* menu = new TspSkinMenuSpeedButton(&bar);
    menu->SetParent(&bar);
    auto* track = new TspSkinMenuSpeedButton(&bar);
    track->SetParent(&bar);
    track->SetTrackButtonMode(true);
    bar.SetDesigning(true);
    struct Row {
        const char *Bar, *Plain, *Menu, *Track;
    };
    const Row rows[] = {
        {"resizetoolpanel", "resizetoolbutton", "resizetoolbutton", "resizetoolbutton"},
        {"panel", "resizebutton", "resizebutton", "resizebutton"},
        {"bigtoolpanel", "bigtoolbutton", "bigtoolmenubutton", "bigtoolmenutrackbutton"},
        {"toolpanel", "toolbutton", "toolmenubutton", "toolmenutrackbutton"},
    };
    for (const Row& r : rows) {
        bar.SetSkinDataName(r.Bar);
        EXPECT_EQ(plain->SkinDataName, r.Plain) << r.Bar;
        EXPECT_EQ(menu->SkinDataName, r.Menu) << r.Bar;
        EXPECT_EQ(track->SkinDataName, r.Track) << r.Bar;
    }
    // Outside design time the names stay.
    bar.SetDesigning(false);
    bar.SetSkinDataName("panel");
    EXPECT_EQ(menu->SkinDataName, "toolmenubutton");
}

TEST(SkinToolBarDescriptions, WrittenBackEqual)
{
    RegisterSkinControlsClasses();
    const char* text =
        "object T: TspSkinToolBar\n  CanScroll = True\n  HotScroll = True\n  ScrollOffset = 20\n"
        "  ScrollTimerInterval = 80\n  Flat = True\nend\n";
    TspSkinToolBar a(nullptr);
    ReadComponentText(&a, text);
    EXPECT_EQ(a.ScrollTimerInterval(), 80);
    const std::string written = WriteComponentText(&a);
    TspSkinToolBar b(nullptr);
    ReadComponentText(&b, written);
    EXPECT_EQ(WriteComponentText(&b), written);
    EXPECT_EQ(b.SkinDataName(), "toolpanel");
}

}  // namespace
