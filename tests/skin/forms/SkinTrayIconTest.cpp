// The tray icon on the memory screen's test tray: clicks told apart by the
// double-click time, the menu, cycling, texts cut, the tray restarting, and
// the skinned form minimising to the tray and back (or, without a tray, the
// ordinary way).
#include "FormTestSupport.h"

#include "platform/backend/HeadlessTray.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/gui/ImgList.h"
#include "platform/rtl/Clock.h"
#include "skin/core/SkinMessages.h"
#include "skin/forms/SkinMenus.h"
#include "skin/forms/SkinTrayIcon.h"

#include <memory>
#include <vector>

using formtest::TFormTest;

namespace {

class SkinTrayIconTest : public TFormTest {
public:
    void SetUp() override
    {
        TFormTest::SetUp();
        Installer = std::make_unique<TClockInstaller>(Clock);
    }
    void TearDown() override
    {
        Application->SetMainForm(nullptr);
        TFormTest::TearDown();
        SetTrayHost(nullptr);
        Installer.reset();
    }
    // A shown main form with the component and a tray icon (on the test
    // tray unless WithTray is false).
    TspTrayIcon* MakeTray(bool WithTray = true)
    {
        if (WithTray)
            SetTrayHost(&Tray);
        MakeForm(100, 100, 300, 200);
        Application->SetMainForm(Form);
        Icon = new TspTrayIcon(Form);
        Icon->OnClick = MakeEvent(this, &SkinTrayIconTest::Clicked);
        Icon->OnDblClick = MakeEvent(this, &SkinTrayIconTest::DblClicked);
        Icon->OnMouseDown = MakeEvent(this, &SkinTrayIconTest::Down);
        Icon->OnMouseUp = MakeEvent(this, &SkinTrayIconTest::Up);
        Pump();
        return Icon;
    }
    void Mouse(UINT Msg)
    {
        Tray.Mouse(Icon->Handle(), 1, Msg);
        HeadlessProcessMessages();
    }
    void Tick(int Ms)
    {
        Clock.Advance(static_cast<std::uint64_t>(Ms));
        HeadlessProcessMessages();
    }
    TCustomImageList* Icons(std::vector<TColor> Colours, int Size = 16)
    {
        auto* il = TCustomImageList::CreateSize(Size, Size, Form);
        for (TColor c : Colours) {
            TBitmap b;
            b.SetSize(Size, Size);
            b.Canvas()->Brush()->SetColor(c);
            b.Canvas()->FillRect(TRect(0, 0, Size, Size));
            il->AddMasked(&b, clNone);
        }
        return il;
    }
    static uint32_t TopLeft(const TTrayIconState& S) { return S.Image.Empty() ? 0 : S.Image.PixelBGRA(0, 0); }

    void Clicked(TObject*) { Log.push_back("click"); }
    void DblClicked(TObject*) { Log.push_back("dblclick"); }
    void Down(TObject*, TMouseButton B, TShiftState, int, int)
    {
        Log.push_back(B == TMouseButton::Left ? "down L" : B == TMouseButton::Right ? "down R" : "down M");
    }
    void Up(TObject*, TMouseButton B, TShiftState, int, int)
    {
        Log.push_back(B == TMouseButton::Left ? "up L" : B == TMouseButton::Right ? "up R" : "up M");
    }
    void Cycled(TObject*, int Next) { CycleLog.push_back(Next); }
    void ItemClick(TObject* S) { Log.push_back("item " + static_cast<TMenuItem*>(S)->Caption()); }

    TFakeClock Clock;
    std::unique_ptr<TClockInstaller> Installer;
    THeadlessTray Tray;
    TspTrayIcon* Icon = nullptr;
    std::vector<std::string> Log;
    std::vector<int> CycleLog;
};

TEST_F(SkinTrayIconTest, SingleClickFiresOnceAfterTheDoubleClickTime)
{
    MakeTray();
    ASSERT_TRUE(Icon->ShowIcon());
    Mouse(WM_LBUTTONDOWN);
    Mouse(WM_LBUTTONUP);
    EXPECT_EQ(Log, (std::vector<std::string>{"down L", "up L"}));
    Tick(static_cast<int>(GetDoubleClickTime()) + 10);
    Tick(10);
    EXPECT_EQ(Log, (std::vector<std::string>{"down L", "up L", "click"}));
}

TEST_F(SkinTrayIconTest, HeldClickFiresAtButtonUp)
{
    MakeTray();
    Icon->ShowIcon();
    Mouse(WM_LBUTTONDOWN);
    Tick(static_cast<int>(GetDoubleClickTime()) + 50);
    Mouse(WM_LBUTTONUP);
    EXPECT_EQ(Log, (std::vector<std::string>{"down L", "click", "up L"}));
    Tick(1000);
    EXPECT_EQ(Log.size(), 3u);
}

TEST_F(SkinTrayIconTest, DoubleClickFiresNoClickAndClicksTheDefaultItem)
{
    MakeTray();
    auto* menu = new TspSkinPopupMenu(Form);
    for (const char* c : {"Zero", "One", "Two"}) {
        auto* i = new TMenuItem(Form);
        i->SetCaption(c);
        i->OnClick = MakeEvent(this, &SkinTrayIconTest::ItemClick);
        menu->Items()->Add(i);
    }
    menu->Items()->Items(1)->SetDefault(true);
    Icon->SetPopupMenu(menu);
    Icon->ShowIcon();
    Mouse(WM_LBUTTONDOWN);
    Mouse(WM_LBUTTONUP);
    Tick(50);
    Mouse(WM_LBUTTONDOWN);  // within the double-click time: the tray makes it a double click
    Mouse(WM_LBUTTONUP);
    Tick(2000);
    EXPECT_EQ(Log, (std::vector<std::string>{"down L", "up L", "dblclick", "item One", "up L"}));

    // Opening by the left button: a double click clicks nothing.
    Log.clear();
    Icon->PopupByLeftButton = true;
    Tick(2000);
    Mouse(WM_LBUTTONDBLCLK);
    EXPECT_EQ(Log, (std::vector<std::string>{"dblclick"}));
}

TEST_F(SkinTrayIconTest, RightButtonOpensTheSkinnedMenuAndUpFollows)
{
    MakeTray();
    auto* menu = new TspSkinPopupMenu(Form);
    auto* i = new TMenuItem(Form);
    i->SetCaption("Restore");
    menu->Items()->Add(i);
    Icon->SetPopupMenu(menu);
    Icon->ShowIcon();
    HeadlessMouseMove(600, 500);
    Mouse(WM_RBUTTONDOWN);
    ASSERT_EQ(Skinner->SkinMenu->LevelCount(), 1);
    EXPECT_EQ(menu->PopupComponent(), Icon);
    RECT r{};
    GetWindowRect(Skinner->SkinMenu->Level(0)->Handle(), &r);
    EXPECT_EQ(r.left, 600);
    Mouse(WM_RBUTTONUP);
    EXPECT_EQ(Log, (std::vector<std::string>{"down R", "up R"}));
    Pump();
    formtest::TFormTest::Pump();
    EXPECT_TRUE(tarnello::test::SaveScreenArea(560, 460, 200, 120, "tray-menu.png"));
}

TEST_F(SkinTrayIconTest, DisabledIconFiresNothing)
{
    MakeTray();
    auto* menu = new TspSkinPopupMenu(Form);
    menu->Items()->Add(new TMenuItem(Form));
    Icon->SetPopupMenu(menu);
    Icon->Enabled = false;
    Icon->ShowIcon();
    for (UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_LBUTTONDBLCLK})
        Mouse(m);
    Tick(2000);
    EXPECT_TRUE(Log.empty());
    EXPECT_EQ(Skinner->SkinMenu->LevelCount(), 0);
}

TEST_F(SkinTrayIconTest, CyclesThroughTheList)
{
    MakeTray();
    Icon->OnCycle = MakeEvent(this, &SkinTrayIconTest::Cycled);
    Icon->SetIconList(Icons({0x0000FF, 0x00FF00, 0xFF0000}));
    Icon->ShowIcon();
    Icon->SetAnimateTimerInterval(100);
    Icon->SetCycleIcons(true);
    std::vector<int> shown{Icon->IconIndex()};
    std::vector<uint32_t> pixels{TopLeft(*Tray.Icon(Icon->Handle(), 1))};
    for (int i = 0; i < 4; ++i) {
        Tick(100);
        shown.push_back(Icon->IconIndex());
        pixels.push_back(TopLeft(*Tray.Icon(Icon->Handle(), 1)));
    }
    EXPECT_EQ(shown, (std::vector<int>{0, 1, 2, 0, 1}));
    EXPECT_EQ(CycleLog, (std::vector<int>{1, 2, 0, 1}));
    EXPECT_EQ(pixels[0], 0xFFFF0000u);  // red
    EXPECT_EQ(pixels[1], 0xFF00FF00u);
    EXPECT_EQ(pixels[2], 0xFF0000FFu);
}

TEST_F(SkinTrayIconTest, IconIndexIsKeptInsideTheList)
{
    MakeTray();
    struct Case {
        int Count, Set, Want;
    };
    for (Case c : std::vector<Case>{{5, 10, 4}, {5, -3, 0}, {5, 2, 2}, {0, 3, -1}}) {
        std::vector<TColor> colours(static_cast<size_t>(c.Count), 0x808080);
        Icon->SetIconList(Icons(colours));
        Icon->SetIconIndex(c.Set);
        EXPECT_EQ(Icon->IconIndex(), c.Want) << c.Count << " " << c.Set;
        EXPECT_EQ(Icon->Icon()->Empty(), c.Count == 0);
    }
    Icon->SetIconList(nullptr);
    Icon->SetIconIndex(3);
    EXPECT_EQ(Icon->IconIndex(), 0);
}

TEST_F(SkinTrayIconTest, PicturesAreScaledToTheTraysSize)
{
    MakeTray();
    Icon->SetIconList(Icons({0x0000FF}, 48));
    ASSERT_TRUE(Icon->ShowIcon());
    const TTrayIconState* s = Tray.Icon(Icon->Handle(), 1);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->Image.Width, 16);
    EXPECT_EQ(s->Image.Height, 16);
    EXPECT_EQ(s->Image.PixelBGRA(15, 15), 0xFFFF0000u);
    // An empty list gives an empty icon, not a failure.
    Icon->SetIconList(Icons({}));
    EXPECT_TRUE(Tray.Icon(Icon->Handle(), 1)->Image.Empty());
}

TEST_F(SkinTrayIconTest, TextsAreCutOnWholeCharacters)
{
    MakeTray();
    Icon->SetHint(std::string(200, 'h'));
    ASSERT_TRUE(Icon->ShowIcon());
    EXPECT_EQ(Tray.Icon(Icon->Handle(), 1)->Tip, std::string(127, 'h'));
    std::string accents;
    for (int i = 0; i < 300; ++i)
        accents += "\xC3\xA9";  // é
    std::string title;
    for (int i = 0; i < 50; ++i)
        title += "\xF0\x9F\x98\x80";  // a character outside the basic plane: two units each
    ASSERT_TRUE(Icon->ShowBalloonHint(title, accents, spbitWarning));
    const TTrayIconState* s = Tray.Icon(Icon->Handle(), 1);
    std::string want;
    for (int i = 0; i < 255; ++i)
        want += "\xC3\xA9";
    EXPECT_EQ(s->BalloonText, want);
    std::string wantTitle;
    for (int i = 0; i < 31; ++i)  // 63 units hold 31 whole pairs
        wantTitle += "\xF0\x9F\x98\x80";
    EXPECT_EQ(s->BalloonTitle, wantTitle);
    EXPECT_EQ(s->BalloonFlags, NIIF_WARNING);
    EXPECT_EQ(Icon->IconData().uFlags, NIF_MESSAGE | NIF_ICON | NIF_TIP);
    ASSERT_TRUE(Icon->HideBalloonHint());
    EXPECT_TRUE(Tray.Icon(Icon->Handle(), 1)->BalloonText.empty());
    EXPECT_EQ(Tray.Balloons().size(), 1u);
    // The tip off: an empty tip.
    Icon->SetShowHint(false);
    EXPECT_TRUE(Tray.Icon(Icon->Handle(), 1)->Tip.empty());
}

TEST_F(SkinTrayIconTest, RestartedTrayGetsOnlyAVisibleIconBack)
{
    MakeTray();
    ASSERT_TRUE(Icon->ShowIcon());
    Tray.Restart();
    EXPECT_TRUE(Tray.Icons().empty());
    HeadlessProcessMessages();
    ASSERT_EQ(Tray.Icons().size(), 1u);
    EXPECT_EQ(Tray.AddCount(), 2);
    Icon->HideIcon();
    Tray.Restart();
    HeadlessProcessMessages();
    EXPECT_TRUE(Tray.Icons().empty());
}

TEST_F(SkinTrayIconTest, WithoutATrayShowIconFails)
{
    MakeTray(false);
    EXPECT_FALSE(Icon->ShowIcon());
    EXPECT_TRUE(Icon->IconVisible());
    EXPECT_FALSE(Icon->ModifyIcon());
    EXPECT_FALSE(Icon->ShowBalloonHint("t", "x", spbitInfo));
    // A tray that starts later gets the icon.
    SetTrayHost(&Tray);
    HeadlessProcessMessages();
    EXPECT_EQ(Tray.Icons().size(), 1u);
}

TEST_F(SkinTrayIconTest, MinimiseToTrayAndBack)
{
    MakeTray();
    Icon->OnDblClick = {};  // the form's restore takes the double click
    Skinner->SetTrayIcon(Icon);
    int toTray = 0, back = 0;
    struct Counter {
        int* N;
        void Hit(TObject*) { ++*N; }
    } a{&toTray}, b{&back};
    Skinner->OnMinimizeToTray = MakeEvent(&a, &Counter::Hit);
    Skinner->OnRestoreFromTray = MakeEvent(&b, &Counter::Hit);
    EXPECT_FALSE(Icon->IconVisible());
    Skinner->MinimizeToTray();
    Pump();
    EXPECT_EQ(toTray, 1);
    EXPECT_FALSE(IsWindowVisible(Form->Handle()));
    EXPECT_EQ(Tray.Icons().size(), 1u);
    // The tray's double click brings it back (the setter gave it that).
    Tick(2000);
    Mouse(WM_LBUTTONDOWN);
    Mouse(WM_LBUTTONUP);
    Tray.Mouse(Icon->Handle(), 1, WM_LBUTTONDOWN);
    MSG m{};
    ASSERT_TRUE(PeekMessage(&m, Icon->Handle(), WM_TRAYICONNOTIFY, WM_TRAYICONNOTIFY, PM_REMOVE));
    EXPECT_EQ(m.lParam, static_cast<LPARAM>(WM_LBUTTONDBLCLK));
    DispatchMessage(&m);
    EXPECT_EQ(back, 1);
    EXPECT_EQ(Form->Tag(), kTrayRestoreTag);  // until the posted WM_RESTOREFROMTRAY arrives
    ASSERT_TRUE(PeekMessage(&m, Form->Handle(), WM_RESTOREFROMTRAY, WM_RESTOREFROMTRAY, PM_NOREMOVE));
    Pump();
    EXPECT_EQ(Form->Tag(), 0);
    EXPECT_TRUE(IsWindowVisible(Form->Handle()));
    EXPECT_TRUE(Tray.Icons().empty());
    Shot("tray-restored");
}

TEST_F(SkinTrayIconTest, WithoutATrayMinimisingStaysReachable)
{
    MakeTray(false);
    Skinner->SetTrayIcon(Icon);
    int toTray = 0;
    struct Counter {
        int* N;
        void Hit(TObject*) { ++*N; }
    } a{&toTray};
    Skinner->OnMinimizeToTray = MakeEvent(&a, &Counter::Hit);
    Skinner->MinimizeToTray();
    Pump();
    EXPECT_EQ(toTray, 0);
    EXPECT_FALSE(Icon->MinimizeToTray);
    EXPECT_TRUE(IsIconic(Application->Handle()));  // minimised the ordinary way
    Application->Restore();
    Pump();
    EXPECT_TRUE(IsWindowVisible(Form->Handle()));
    // The tray command with no form tag: nothing happens to a plain form.
    SendMessage(Form->Handle(), WM_RESTOREFROMTRAY, 0, 0);
    EXPECT_EQ(Form->Tag(), 0);
    // A form marked for the restore that has no tray icon at all: the mark
    // goes, the form stays; minimising to a tray it has not does nothing.
    Skinner->SetTrayIcon(nullptr);
    Form->SetTag(kTrayRestoreTag);
    SendMessage(Form->Handle(), WM_RESTOREFROMTRAY, 0, 0);
    EXPECT_EQ(Form->Tag(), 0);
    EXPECT_TRUE(IsWindowVisible(Form->Handle()));
    Skinner->MinimizeToTray();
    Pump();
    EXPECT_TRUE(IsWindowVisible(Form->Handle()));
}

TEST_F(SkinTrayIconTest, TraySetterKeepsTheCreatorsMenuAndDoubleClick)
{
    MakeTray();
    auto* menu = new TspSkinPopupMenu(Form);
    Icon->SetPopupMenu(menu);
    const TNotifyEvent mine = Icon->OnDblClick;
    Skinner->SetTrayIcon(Icon);
    EXPECT_EQ(Icon->PopupMenu(), menu);
    EXPECT_TRUE(Icon->OnDblClick == mine);

    auto* other = new TspTrayIcon(Form);
    Skinner->SetTrayIcon(other);
    ASSERT_NE(other->PopupMenu(), nullptr);
    EXPECT_EQ(other->PopupMenu()->Items()->Count(), 3);  // restore, separator, close
    EXPECT_TRUE(static_cast<bool>(other->OnDblClick));
    delete other;
    EXPECT_EQ(Skinner->TrayIcon(), nullptr);
}

TEST_F(SkinTrayIconTest, PublishedDefaultsAreTheConstructorsValues)
{
    MakeTray();
    std::unique_ptr<TspTrayIcon> fresh(new TspTrayIcon(nullptr));
    EXPECT_TRUE(fresh->Enabled);
    EXPECT_TRUE(fresh->IconVisible());
    EXPECT_TRUE(fresh->ShowHint());
    EXPECT_EQ(fresh->IconIndex(), 0);
    EXPECT_EQ(fresh->AnimateTimerInterval(), 0u);
    EXPECT_FALSE(fresh->CycleIcons());
    EXPECT_EQ(fresh->IconData().uCallbackMessage, WM_TRAYICONNOTIFY);
    EXPECT_EQ(fresh->IconData().uID, 1u);
    EXPECT_NE(FindClass("TspTrayIcon"), nullptr);
    TBitmap b;
    TIcon i;
    EXPECT_FALSE(fresh->BitmapToIcon(&b, &i, clNone));
    b.SetSize(16, 16);
    b.Canvas()->Brush()->SetColor(0x00FF00);
    b.Canvas()->FillRect(TRect(0, 0, 16, 16));
    EXPECT_TRUE(fresh->BitmapToIcon(&b, &i, clFuchsia));
    EXPECT_FALSE(i.Empty());
}

}  // namespace
