// The menu buttons: which press opens the menu and which clicks, the menu
// placed below the button, the state after the menu closed, the keyboard,
// the new style's bottom strip, and a plain platform menu.
#include "platform/gui/Menus.h"
#include "platform/user/Input.h"
#include "skin/controls/SkinMenuButtons.h"
#include "skin/core/SkinDrawUtils.h"
#include "skin/core/SkinMessages.h"
#include "ValueControlsTestCommon.h"

#include <vector>

using namespace valuetest;

namespace {

// A skinned menu as the buttons see it: it records where it was asked to
// open; the test closes it.
class TRecordingMenu : public TPopupMenu, public ISkinMenuPopup {
public:
    using TPopupMenu::TPopupMenu;
    void PopupFromRect2(TControl* Sender, const TRect& R, bool Upward) override
    {
        Senders.push_back(Sender);
        Rects.push_back(R);
        Upwards += Upward ? 1 : 0;
    }
    std::vector<TControl*> Senders;
    std::vector<TRect> Rects;
    int Upwards = 0;
};

class MenuButtonsTest : public ValueControlsTest {
protected:
    template <class B>
    B* Button(bool track, const char* piece = nullptr)
    {
        auto* b = Make<B>(20, 20, 90, 28);
        if (piece) {
            if constexpr (std::is_base_of_v<TspSkinControl, B>)
                b->SetSkinDataName(piece);
            else
                b->SkinDataName = piece;
            b->SetSkinData(LoadSkinNew());
        }
        b->SetSkinPopupMenu(Menu);
        b->SetTrackButtonMode(track);
        b->OnClick = Clicks.Event();
        b->OnShowTrackMenu = Shown.Event();
        b->OnHideTrackMenu = Hidden.Event();
        HeadlessProcessMessages();
        return b;
    }
    void SetUp() override
    {
        ValueControlsTest::SetUp();
        Menu = new TRecordingMenu(Owner);
    }
    TRecordingMenu* Menu = nullptr;
    TCounter Clicks, Shown, Hidden;
};

TEST_F(MenuButtonsTest, TheStripOpensTheMenuBelowElsewhereClicks)
{
    for (const char* piece : {static_cast<const char*>(nullptr), "toolbutton", "resizetoolbutton", "toolmenubutton"}) {
        SCOPED_TRACE(piece ? piece : "no skin");
        Menu->Senders.clear();
        Menu->Rects.clear();
        Clicks.N = Shown.N = Hidden.N = 0;
        auto* b = Button<TspSkinMenuButton>(true, piece);
        const TRect strip = b->TrackPartRect();
        EXPECT_GE(RectWidthOf(strip), 1);
        Press(b, strip.left + RectWidthOf(strip) / 2, 14);
        ASSERT_EQ(Menu->Senders.size(), 1u);
        EXPECT_EQ(Menu->Senders[0], b);
        const TPoint tl = b->ClientToScreen(TPoint(0, 0));
        EXPECT_EQ(Menu->Rects[0], TRect(tl.x, tl.y, tl.x + 90, tl.y + 28));
        EXPECT_EQ(Menu->Upwards, 0);
        EXPECT_TRUE(b->FMenuTracked);
        EXPECT_TRUE(b->Down());
        EXPECT_EQ(Shown.N, 1);
        Release();
        EXPECT_EQ(Clicks.N, 0) << "the drop-down part never clicks";
        b->Perform(WM_SKINMENUCLOSE, 0, 0);
        EXPECT_FALSE(b->FMenuTracked);
        EXPECT_FALSE(b->Down());
        EXPECT_TRUE(b->FMouseIn) << "hot again: the pointer is still over it";
        EXPECT_EQ(Hidden.N, 1);

        Press(b, 10, 14);
        EXPECT_EQ(Menu->Senders.size(), 1u);
        Release();
        EXPECT_EQ(Clicks.N, 1) << "the main part clicks on release";
        b->Free();
    }
}

TEST_F(MenuButtonsTest, WithoutTrackModeEveryPressOpensTheMenu)
{
    auto* b = Button<TspSkinMenuButton>(false);
    Press(b, 10, 10);
    Release();
    EXPECT_EQ(Menu->Senders.size(), 1u);
    EXPECT_EQ(Clicks.N, 0);
    MoveTo(b, 200, 200);
    b->Perform(WM_SKINMENUCLOSE, 0, 0);
    EXPECT_FALSE(b->FMouseIn) << "closed with the pointer elsewhere";
}

TEST_F(MenuButtonsTest, WithoutAMenuItIsAPlainButton)
{
    auto* b = Button<TspSkinMenuButton>(true);
    b->SetSkinPopupMenu(nullptr);
    EXPECT_FALSE(b->CanMenuTrack(85, 10));
    Press(b, 85, 10);
    Release();
    EXPECT_EQ(Clicks.N, 1);
    auto* menu = new TRecordingMenu(Owner);
    b->SetSkinPopupMenu(menu);
    menu->Free();
    EXPECT_EQ(b->SkinPopupMenu(), nullptr) << "a freed menu is forgotten";
}

TEST_F(MenuButtonsTest, APlainPlatformMenuPopsUpAndCountsAsClosed)
{
    auto* plain = new TPopupMenu(Owner);
    TCounter popped;
    plain->OnPopup = popped.Event();
    auto* b = Make<TspSkinMenuButton>(20, 20, 90, 28);
    b->SetSkinPopupMenu(plain);
    b->OnHideTrackMenu = Hidden.Event();
    Press(b, 10, 10);
    EXPECT_EQ(popped.N, 1);
    EXPECT_EQ(plain->PopupComponent(), b);
    EXPECT_EQ(plain->PopupPoint(), b->ClientToScreen(TPoint(0, 28)));
    EXPECT_FALSE(b->FMenuTracked);
    EXPECT_EQ(Hidden.N, 1);
    Release();
}

TEST_F(MenuButtonsTest, Keyboard)
{
    auto* b = Button<TspSkinMenuButton>(false);
    b->SetFocus();
    HeadlessProcessMessages();
    SendMessage(b->Handle(), WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(Menu->Senders.size(), 1u);
    EXPECT_TRUE(b->FMenuTracked);
    b->Perform(WM_SKINMENUCLOSE, 0, 0);

    b->SetTrackButtonMode(true);
    SendMessage(b->Handle(), WM_KEYDOWN, VK_SPACE, 0);
    SendMessage(b->Handle(), WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(Menu->Senders.size(), 1u) << "Space clicks in track-button mode";
    EXPECT_EQ(Clicks.N, 1);

    HeadlessKeyDown(VK_RETURN);
    HeadlessKeyUp(VK_RETURN);
    HeadlessProcessMessages();
    EXPECT_EQ(Clicks.N, 2) << "one Enter press clicks once: the key-up adds nothing";
}

TEST_F(MenuButtonsTest, SpeedButtonNewStyleBottomStrip)
{
    auto* b = Button<TspSkinMenuSpeedButton>(true, "toolmenubutton");
    b->SetNewStyle(true);
    b->SetTrackPosition(sptpBottom);
    b->SetBounds(20, 20, 60, 50);
    HeadlessProcessMessages();
    EXPECT_EQ(b->SkinDataName, "resizetoolbutton");
    EXPECT_EQ(b->TrackPartRect(), TRect(0, 35, 60, 50));
    Press(b, 30, 45);
    EXPECT_EQ(Menu->Senders.size(), 1u);
    Release();
    EXPECT_EQ(Clicks.N, 0);
    b->Perform(WM_SKINMENUCLOSE, 0, 0);
    EXPECT_FALSE(b->FMouseIn) << "drawn not hot after its menu closed";
    Press(b, 30, 10);
    Release();
    EXPECT_EQ(Menu->Senders.size(), 1u);
    EXPECT_EQ(Clicks.N, 1);
}

TEST_F(MenuButtonsTest, SkinnedMarkerAndDefaultArrowPaint)
{
    // The built-in look: main part and drop-down part framed apart while
    // the menu shows (main hot, strip pressed).
    auto* b = Button<TspSkinMenuButton>(true);
    Press(b, 85, 14);
    HeadlessProcessMessages();
    b->Repaint();
    HeadlessProcessMessages();
    EXPECT_EQ(PixelOf(b, 40, 3), ColorToRGB(TColor(0xD2BDB6)));
    EXPECT_EQ(PixelOf(b, 77, 3), ColorToRGB(TColor(0xB59385)));
    Release();
}

}  // namespace
