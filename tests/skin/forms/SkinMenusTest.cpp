// Skinned popup menus: size, place, look, keys, pointer, the order of a
// choice, the form's paths into the chain, and bad input.
#include "platform/gdi/TextLayout.h"
#include "platform/rtl/Clock.h"
#include "skin/core/LayerManager.h"
#include "skin/core/SkinDrawUtils.h"
#include "skin/forms/SkinMenus.h"

#include "FormTestSupport.h"
#include "MenuTestSupport.h"

#include <memory>
#include <string>
#include <vector>

using formtest::TFormTest;

namespace {

// A control that records the menu messages it receives.
class TRecorder : public TWinControl {
public:
    using TWinControl::TWinControl;
    std::vector<std::string>* Log = nullptr;
    void WndProc(TMessage& Message) override
    {
        if (Log && Message.Msg == WM_SKINMENUCLOSE)
            Log->push_back("ctrl-close");
        if (Log && Message.Msg == WM_SKINMENUCOMMAND)
            Log->push_back("ctrl-command");
        TWinControl::WndProc(Message);
    }
};

class SkinMenusTest : public menutest::TClockedFormTest {
protected:
    TspSkinPopupMenu* MakeMenu(const std::vector<std::string>& Captions)
    {
        auto* m = new TspSkinPopupMenu(Form);
        for (const std::string& c : Captions)
            Add(m->Items(), c);
        return m;
    }
    TMenuItem* Add(TMenuItem* Parent, const std::string& Caption)
    {
        auto* i = new TMenuItem(Form);
        i->SetCaption(Caption);
        Parent->Add(i);
        return i;
    }
    TspSkinMenu* Chain() const { return Skinner->SkinMenu; }
    TspSkinPopupWindow* Win(int Level = 0) const { return Chain()->Level(Level); }
    RECT WinRect(int Level = 0) const
    {
        RECT r{};
        GetWindowRect(Win(Level)->Handle(), &r);
        return r;
    }
    static void Key(WORD VK) { menutest::Key(VK); }
    // The pointer at a screen point, as the window's poll sees it.
    void Point(int X, int Y, int Level = 0)
    {
        HeadlessMouseMove(X, Y);
        HeadlessProcessMessages();
        Win(Level)->PollPointer();
    }
    void Tick(int Ms)
    {
        Clock.Advance(static_cast<std::uint64_t>(Ms));
        HeadlessProcessMessages();
    }
    int TextW(const std::string& S, TFont* F)
    {
        TBitmap b;
        b.SetSize(4, 4);
        b.Canvas()->Font()->Assign(F);
        TRect r(0, 0, 0, 0);
        DrawWideText(b.Canvas(), S, r, DT_CALCRECT);
        return r.right - r.left;
    }
    static void ShotScreen(const std::string& Name, int L, int T, int W, int H)
    {
        menutest::ShotScreenArea(Name, L, T, W, H);
    }
};

}  // namespace

// ---- size ---------------------------------------------------------------------------------------

TEST_F(SkinMenusTest, BuiltInWindowSizeFollowsCaptionsAndShortCuts)
{
    MakeForm(100, 100, 300, 200);
    // The trailing separator is dropped (automatic line reduction).
    TspSkinPopupMenu* m = MakeMenu({"&Open", "Save as long caption", "-"});
    m->Items()->Items(0)->SetShortCut(ShortCut('O', TShiftState{ssCtrl}));
    m->Popup(400, 300);
    Pump();
    ASSERT_TRUE(Chain()->Visible());
    ASSERT_EQ(Chain()->LevelCount(), 1);
    TFont* f = Chain()->DefaultMenuItemFont();
    const int M = std::max(TextW("&Open  Ctrl+O", f), TextW("Save as long caption", f)) + 2;
    EXPECT_EQ(Win()->Width(), M + 16 + 16 + 10);
    EXPECT_EQ(Win()->Height(), 20 + 20 + 6);
    EXPECT_FALSE(m->Items()->Items(2)->Visible());
    EXPECT_EQ(WinRect().left, 400);
    EXPECT_EQ(WinRect().top, 300);
    EXPECT_TRUE(IsWindowVisible(Win()->Handle()));
    // Non-activating: the form keeps the activation.
    EXPECT_EQ(GetActiveWindow(), Form->Handle());
}

TEST_F(SkinMenusTest, SkinnedWindowSizeUsesTheSkinMargins)
{
    MakeForm(100, 100, 300, 200, LoadSkinNew());
    TspSkinPopupMenu* m = MakeMenu({"&Open", "Close", "-", "Exit"});
    m->Popup(400, 300);
    Pump();
    ASSERT_EQ(Chain()->LevelCount(), 1);
    TspSkinPopupWindow* w = Win();
    ASSERT_NE(w->PW, nullptr);
    ASSERT_NE(w->DSMI, nullptr);
    const TspDataSkinMenuItem* mi = w->DSMI;
    const TspDataSkinPopupWindow* pw = w->PW;
    const int pictureW = w->WindowPicture->Width(), pictureH = w->WindowPicture->Height();
    const int itemH = mi->SkinRect.bottom - mi->SkinRect.top;
    const int divH = mi->DividerRect.bottom - mi->DividerRect.top;
    EXPECT_EQ(w->Height(), 3 * itemH + divH + pw->ItemsRect.top + (pictureH - pw->ItemsRect.bottom));
    TFont f;
    f.SetName(mi->FontName);
    f.SetHeight(mi->FontHeight);
    f.SetStyle(mi->FontStyle);
    int M = 0;
    for (const char* c : {"&Open", "Close", "Exit"})
        M = std::max(M, TextW(c, &f) + 2);
    EXPECT_EQ(w->Width(), M + 16 + 16 + mi->TextRct.left + (mi->SkinRect.right - mi->SkinRect.left - mi->TextRct.right) +
                              pw->ItemsRect.left + (pictureW - pw->ItemsRect.right));
    Shot("menu-form-skinned");
    ShotScreen("menu-popup-skinned", 390, 290, w->Width() + 20, w->Height() + 20);
}

TEST_F(SkinMenusTest, MaxItemsInWindowScrollsTwelveItemsInTen)
{
    MakeForm(100, 100, 300, 200);
    Skinner->SetMaxMenuItemsInWindow(10);
    std::vector<std::string> caps;
    for (int i = 0; i < 12; ++i)
        caps.push_back("Item " + std::to_string(i));
    TspSkinPopupMenu* m = MakeMenu(caps);
    m->Popup(200, 150);
    Pump();
    TspSkinPopupWindow* w = Win();
    EXPECT_EQ(w->Height(), 10 * 20 + 6 + 20);
    EXPECT_TRUE(w->Scroll);
    EXPECT_TRUE(w->Scroll2);
    EXPECT_EQ(WinRect().top, 150);  // the usual rules, not the top of the work area
    // The limit -1 is ignored.
    Skinner->SetMaxMenuItemsInWindow(-1);
    EXPECT_EQ(Skinner->MaxMenuItemsInWindow(), 10);
}

TEST_F(SkinMenusTest, ThirtyItemsOnASmallWorkAreaFillItsHeight)
{
    ASSERT_TRUE(HeadlessBackend().SetScreenSize(800, 400));
    MakeForm(10, 10, 300, 200, LoadSkinNew());
    std::vector<std::string> caps;
    for (int i = 0; i < 30; ++i)
        caps.push_back("Row " + std::to_string(i));
    TspSkinPopupMenu* m = MakeMenu(caps);
    Add(m->Items()->Items(3), "Inner");
    m->Popup(100, 120);
    Pump();
    TRect wa;
    GetPrimaryArea(true, wa);
    TspSkinPopupWindow* w = Win();
    EXPECT_EQ(w->Height(), wa.bottom - wa.top);
    EXPECT_EQ(WinRect().top, wa.top);
    EXPECT_TRUE(w->Scroll);
    EXPECT_FALSE(w->Scroll2);
    EXPECT_LT(w->VisibleCount, 30);
    // Opened beside the point.
    EXPECT_EQ(WinRect().left, 101);
    ShotScreen("menu-popup-scrolling", 90, 0, w->Width() + 30, 400);
    // Both markers: the pointer on the lower one scrolls, in 100 ms steps.
    const RECT r = WinRect();
    Point(r.left + 20, r.top + w->NewItemsRect.bottom - 5);
    EXPECT_EQ(w->ScrollCode, 2);
    Tick(100);
    EXPECT_EQ(w->VisibleStartIndex, 1);
    Point(r.left + 20, r.top + 150);  // leaving the band stops
    EXPECT_EQ(w->ScrollCode, 0);
    Point(r.left + 20, r.top + w->NewItemsRect.top + 5);
    EXPECT_EQ(w->ScrollCode, 1);
    Tick(100);
    EXPECT_EQ(w->VisibleStartIndex, 0);
    EXPECT_FALSE(w->CanScroll(1));
    Tick(100);
    EXPECT_EQ(w->ScrollCode, 0);
}

// ---- place ----------------------------------------------------------------------------------------

TEST_F(SkinMenusTest, PositionTable)
{
    MakeForm(100, 100, 300, 200);
    TspSkinPopupMenu* m = MakeMenu({"A", "B", "C", "D", "E"});
    m->Popup(10, 10);
    Pump();
    const int W = Win()->Width(), H = Win()->Height();  // 5 rows: 106 high
    struct TCase {
        const char* Name;
        TRect R;
        bool Up;
        int X, Y;
    };
    const TCase cases[] = {
        {"down", TRect(300, 300, 300, 300), false, 300, 300},
        {"down near the bottom, lower half", TRect(300, 1000, 300, 1000), false, 300, 1000 - H},
        {"up", TRect(300, 300, 300, 300), true, 300, 300 - H},
        {"up near the top", TRect(300, 20, 300, 20), true, 300, 20},
        {"up near the top, lower half", TRect(300, 600, 320, 600), false, 300, 600},
        {"near the right edge", TRect(1270, 300, 1270, 300), false, 1280 - W, 300},
        {"left of the left edge", TRect(-20, 300, -20, 300), false, 0, 300},
        {"from a rectangle, below it", TRect(50, 50, 150, 70), false, 50, 70},
    };
    for (const TCase& c : cases) {
        m->PopupFromRect(c.R, c.Up);
        Pump();
        EXPECT_EQ(WinRect().left, c.X) << c.Name;
        EXPECT_EQ(WinRect().top, c.Y) << c.Name;
    }
}

TEST_F(SkinMenusTest, SubMenuOpensBesideItsItemAndFlipsAtTheRightEdge)
{
    MakeForm(100, 100, 300, 200);
    TspSkinPopupMenu* m = MakeMenu({"File", "Edit"});
    Add(m->Items()->Items(1), "Cut");
    Add(m->Items()->Items(1), "Copy");
    for (int x : {300, 1200}) {
        m->Popup(x, 300);
        Pump();
        Key(VK_DOWN);
        Key(VK_RIGHT);
        ASSERT_EQ(Chain()->LevelCount(), 2);
        const RECT p = WinRect(0), s = WinRect(1);
        const TRect item = Win(0)->Item(1)->ObjectRect;
        EXPECT_EQ(s.top, p.top + item.top - 3);
        if (x == 300)
            EXPECT_EQ(s.left, p.left + item.right + 1);
        else
            EXPECT_EQ(s.right, p.left + item.left - 1);
    }
}

// ---- keys ----------------------------------------------------------------------------------------

TEST_F(SkinMenusTest, DownWrapsAndSkipsDisabledItemsAndSeparators)
{
    MakeForm(100, 100, 300, 200);
    TspSkinPopupMenu* m = MakeMenu({"One", "-", "Two", "Three", "Four"});
    m->Items()->Items(3)->SetEnabled(false);
    m->Popup(300, 300);
    Pump();
    TspSkinPopupWindow* w = Win();
    EXPECT_EQ(w->ActiveItem, 0);  // the first selectable row is preselected
    Key(VK_DOWN);
    EXPECT_EQ(w->ActiveItem, 2);
    Key(VK_DOWN);
    EXPECT_EQ(w->ActiveItem, 4);
    Key(VK_DOWN);
    EXPECT_EQ(w->ActiveItem, 0);
    Key(VK_UP);
    EXPECT_EQ(w->ActiveItem, 4);
    Key(VK_UP);
    EXPECT_EQ(w->ActiveItem, 2);
    // The keys reach the menu, not the form's controls.
    EXPECT_TRUE(Chain()->Visible());
}

TEST_F(SkinMenusTest, DownOnTheLastEnabledItemKeepsIt)
{
    MakeForm(100, 100, 300, 200);
    TspSkinPopupMenu* m = MakeMenu({"One", "Two", "-", "Off"});
    m->Items()->Items(3)->SetEnabled(false);
    m->Popup(300, 300);
    Pump();
    Key(VK_DOWN);
    EXPECT_EQ(Win()->ActiveItem, 1);
    Key(VK_DOWN);
    EXPECT_EQ(Win()->ActiveItem, 1);
}

TEST_F(SkinMenusTest, EscLeftRightAndAccelerators)
{
    MakeForm(100, 100, 300, 200);
    std::vector<std::string> log;
    TspSkinPopupMenu* m = MakeMenu({"&File", "&Edit"});
    TMenuItem* cut = Add(m->Items()->Items(1), "Cu&t");
    struct THandler {
        std::vector<std::string>* Log;
        void Click(TObject*) { Log->push_back("cut"); }
    } h{&log};
    cut->OnClick = MakeEvent(&h, &THandler::Click);
    m->Popup(300, 300);
    Pump();
    Key('E');  // accelerator: opens the sub-menu at once
    ASSERT_EQ(Chain()->LevelCount(), 2);
    EXPECT_TRUE(Win(0)->Item(1)->Down);
    Key(VK_ESCAPE);  // one level
    ASSERT_EQ(Chain()->LevelCount(), 1);
    EXPECT_FALSE(Win(0)->Item(1)->Down);
    EXPECT_EQ(Win(0)->ActiveItem, 1);
    Key(VK_RIGHT);
    ASSERT_EQ(Chain()->LevelCount(), 2);
    Key(VK_LEFT);
    ASSERT_EQ(Chain()->LevelCount(), 1);
    Key(VK_LEFT);  // Left on the only level does nothing
    ASSERT_EQ(Chain()->LevelCount(), 1);
    Key(VK_RIGHT);
    Key('T');
    EXPECT_FALSE(Chain()->Visible());
    EXPECT_EQ(log, std::vector<std::string>{"cut"});
    EXPECT_FALSE(Skinner->InMenu);
    // Esc on the only level closes the menu.
    m->Popup(300, 300);
    Pump();
    Key(VK_ESCAPE);
    EXPECT_FALSE(Chain()->Visible());
    EXPECT_FALSE(Skinner->InMenu);
}

TEST_F(SkinMenusTest, KeysAndTheWheelWithNothingOpen)
{
    MakeForm(100, 100, 300, 200);
    Key(VK_DOWN);
    Key(VK_ESCAPE);
    HeadlessWheel(120);
    Pump();
    EXPECT_FALSE(Chain()->Visible());
    EXPECT_FALSE(Chain()->LastWindow());
}

// ---- pointer -------------------------------------------------------------------------------------

TEST_F(SkinMenusTest, SubMenuDelayIs500Ms)
{
    MakeForm(100, 100, 300, 200);
    TspSkinPopupMenu* m = MakeMenu({"Plain", "More", "Other"});
    Add(m->Items()->Items(1), "Inner");
    m->Popup(300, 300);
    Pump();
    const RECT r = WinRect();
    const TRect more = Win()->Item(1)->ObjectRect;
    Point(r.left + 20, r.top + more.top + 5);
    EXPECT_EQ(Win()->ActiveItem, 1);
    Tick(499);
    EXPECT_EQ(Chain()->LevelCount(), 1);
    Tick(1);
    ASSERT_EQ(Chain()->LevelCount(), 2);
    EXPECT_TRUE(Win(0)->Item(1)->Down);
    // Back to the plain row: the sub-menu closes at once.
    const TRect plain = Win(0)->Item(0)->ObjectRect;
    Point(r.left + 20, r.top + plain.top + 5);
    EXPECT_EQ(Chain()->LevelCount(), 1);
    // Entering and leaving within the delay opens nothing.
    Point(r.left + 20, r.top + more.top + 5);
    Tick(300);
    Point(r.left + 20, r.top + plain.top + 5);
    Tick(1000);
    EXPECT_EQ(Chain()->LevelCount(), 1);
}

TEST_F(SkinMenusTest, AWaitWhoseLevelClosedIsCancelled)
{
    MakeForm(100, 100, 300, 200);
    TspSkinPopupMenu* m = MakeMenu({"Plain", "More"});
    TMenuItem* more = m->Items()->Items(1);
    TMenuItem* deeper = Add(more, "Deeper");
    Add(deeper, "Deepest");
    m->Popup(300, 300);
    Pump();
    Key(VK_DOWN);
    Key(VK_RIGHT);
    ASSERT_EQ(Chain()->LevelCount(), 2);
    const RECT r = WinRect(1);
    Point(r.left + 10, r.top + 8, 1);  // starts the wait on "Deeper"
    ASSERT_NE(Chain()->WItem, nullptr);
    Key(VK_ESCAPE);  // its level goes
    EXPECT_EQ(Chain()->WItem, nullptr);
    Tick(600);
    EXPECT_EQ(Chain()->LevelCount(), 1);
}

TEST_F(SkinMenusTest, AClickChoosesOnRelease)
{
    MakeForm(100, 100, 300, 200);
    int clicks = 0;
    struct THandler {
        int* N;
        void Click(TObject*) { ++*N; }
    } h{&clicks};
    TspSkinPopupMenu* m = MakeMenu({"One", "Two"});
    m->Items()->Items(1)->OnClick = MakeEvent(&h, &THandler::Click);
    m->Popup(300, 300);
    Pump();
    const RECT r = WinRect();
    const TRect two = Win()->Item(1)->ObjectRect;
    HeadlessMouseMove(r.left + 20, r.top + two.top + 5);
    HeadlessMouseDown();
    Pump();
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(Chain()->Visible());
    HeadlessMouseUp();
    Pump();
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(Chain()->Visible());
}

// ---- the order of a choice -------------------------------------------------------------------------

TEST_F(SkinMenusTest, OrderOfEventsWhenAnItemIsChosen)
{
    MakeForm(100, 100, 300, 200);
    std::vector<std::string> log;
    auto* ctrl = new TRecorder(Form);
    ctrl->SetParent(Form);
    ctrl->Log = &log;
    struct THandler {
        std::vector<std::string>* Log;
        TspSkinMenu* Chain;
        void Close(TObject*)
        {
            Log->push_back(Chain->LevelCount() == 0 ? "menu-close" : "menu-close-early");
        }
        void FormClose(TObject*) { Log->push_back("form-close"); }
        void Click(TObject*) { Log->push_back("click"); }
    } h{&log, Chain()};
    TspSkinPopupMenu* m = MakeMenu({"One", "Sub"});
    TMenuItem* inner = Add(m->Items()->Items(1), "Inner");
    inner->OnClick = MakeEvent(&h, &THandler::Click);
    m->OnMenuClose = MakeEvent(&h, &THandler::Close);
    Skinner->OnSkinMenuClose = MakeEvent(&h, &THandler::FormClose);
    POINT p{10, 10};
    m->PopupFromRect2(ctrl, TRect(300, 300, 300, 300), false);
    Pump();
    ASSERT_EQ(Chain()->PopupControl(), ctrl);
    Key(VK_DOWN);
    Key(VK_RIGHT);
    Key(VK_RETURN);
    EXPECT_EQ(log, (std::vector<std::string>{"ctrl-close", "menu-close", "form-close", "click", "ctrl-command"}));
    // OnMenuClose fires once only.
    log.clear();
    m->OnMenuClose = nullptr;
    Skinner->PopupSkinMenu(m, TPoint(p.x, p.y));
    Pump();
    Key(VK_ESCAPE);
    EXPECT_EQ(log, (std::vector<std::string>{"form-close"}));
}

TEST_F(SkinMenusTest, ASecondPopupClosesTheFirstAndTellsItsControl)
{
    MakeForm(100, 100, 300, 200);
    std::vector<std::string> log1, log2;
    auto* c1 = new TRecorder(Form);
    c1->SetParent(Form);
    c1->Log = &log1;
    auto* c2 = new TRecorder(Form);
    c2->SetParent(Form);
    c2->Log = &log2;
    TspSkinPopupMenu* m1 = MakeMenu({"One"});
    TspSkinPopupMenu* m2 = MakeMenu({"Two"});
    m1->PopupFromRect2(c1, TRect(300, 300, 300, 300), false);
    Pump();
    m2->PopupFromRect2(c2, TRect(400, 300, 400, 300), false);
    Pump();
    EXPECT_EQ(log1, std::vector<std::string>{"ctrl-close"});
    EXPECT_TRUE(log2.empty());
    EXPECT_EQ(Chain()->PopupControl(), c2);
    Key(VK_RETURN);
    EXPECT_EQ(log2, (std::vector<std::string>{"ctrl-close", "ctrl-command"}));
    EXPECT_EQ(log1.size(), 1u);
}

TEST_F(SkinMenusTest, MenuButtonsOpenTheSkinnedMenuAndHearItsClosing)
{
    MakeForm(100, 100, 300, 200);
    std::vector<std::string> log;
    auto* c = new TRecorder(Form);
    c->SetParent(Form);
    c->Log = &log;
    TspSkinPopupMenu* m = MakeMenu({"One"});
    PopupMenuBelow(m, c, TRect(300, 300, 360, 320));
    Pump();
    ASSERT_TRUE(Chain()->Visible());
    EXPECT_EQ(Chain()->PopupControl(), c);
    EXPECT_TRUE(log.empty());
    Key(VK_ESCAPE);
    EXPECT_FALSE(Chain()->Visible());
    EXPECT_EQ(log, std::vector<std::string>{"ctrl-close"});
    // With nothing to show through, the button is not left waiting.
    log.clear();
    Form->Hide();
    Pump();
    PopupMenuBelow(m, c, TRect(300, 300, 360, 320));
    EXPECT_EQ(log, std::vector<std::string>{"ctrl-close"});
}

TEST_F(SkinMenusTest, TheOpeningControlFreedWhileOpen)
{
    MakeForm(100, 100, 300, 200);
    auto* c = new TRecorder(Form);
    c->SetParent(Form);
    TspSkinPopupMenu* m = MakeMenu({"One"});
    m->PopupFromRect2(c, TRect(300, 300, 300, 300), false);
    Pump();
    ASSERT_EQ(Chain()->PopupControl(), c);
    delete c;
    EXPECT_EQ(Chain()->PopupControl(), nullptr);
    Key(VK_RETURN);
    EXPECT_FALSE(Chain()->Visible());
    EXPECT_EQ(Chain()->DCtrl, nullptr);
}

TEST_F(SkinMenusTest, AClickHandlerMayOpenAnotherMenuOrFreeThisOne)
{
    MakeForm(100, 100, 300, 200);
    TspSkinPopupMenu* m = MakeMenu({"Again", "Free"});
    TspSkinPopupMenu* other = MakeMenu({"Other"});
    struct THandler {
        TspSkinPopupMenu* Other;
        TspSkinPopupMenu* Self;
        void Again(TObject*) { Other->Popup(500, 500); }
        void Free(TObject*) { delete Self; }
    } h{other, m};
    m->Items()->Items(0)->OnClick = MakeEvent(&h, &THandler::Again);
    m->Items()->Items(1)->OnClick = MakeEvent(&h, &THandler::Free);
    m->Popup(300, 300);
    Pump();
    Key(VK_RETURN);
    ASSERT_TRUE(Chain()->Visible());
    EXPECT_EQ(Win()->Item(0)->MenuItem, other->Items()->Items(0));
    Key(VK_ESCAPE);
    m->Popup(300, 300);
    Pump();
    Key(VK_DOWN);
    Key(VK_RETURN);
    EXPECT_FALSE(Chain()->Visible());
}

TEST_F(SkinMenusTest, TheFormComponentIsFoundThroughComponentFormOwnerOrItsOwner)
{
    MakeForm(100, 100, 300, 200);
    // Owned by a component of the form.
    auto* holder = new TComponent(Form);
    auto* m = new TspSkinPopupMenu(holder);
    Add(m->Items(), "X");
    m->Popup(300, 300);
    Pump();
    EXPECT_TRUE(Chain()->Visible());
    Key(VK_ESCAPE);
    // Owned elsewhere, with the form named.
    auto* loose = new TspSkinPopupMenu(Owner);
    Add(loose->Items(), "Y");
    loose->Popup(300, 300);
    Pump();
    EXPECT_FALSE(Chain()->Visible());
    loose->SetComponentForm(Form);
    loose->Popup(300, 300);
    Pump();
    EXPECT_TRUE(Chain()->Visible());
    Key(VK_ESCAPE);
    // A SkinComponent that is no form component is ignored: nothing opens.
    loose->SetSkinComponent(holder);
    loose->Popup(300, 300);
    Pump();
    EXPECT_FALSE(Chain()->Visible());
}

TEST_F(SkinMenusTest, APopupForAHiddenFormShowsNothing)
{
    MakeForm(100, 100, 300, 200);
    TspSkinPopupMenu* m = MakeMenu({"X"});
    Form->Hide();
    Pump();
    m->Popup(300, 300);
    Pump();
    EXPECT_FALSE(Chain()->Visible());
    EXPECT_FALSE(Skinner->InMenu);
}

// ---- the form's paths ------------------------------------------------------------------------------

TEST_F(SkinMenusTest, ClosingMessagesAndClicksElsewhereCloseTheMenu)
{
    MakeForm(100, 100, 300, 200);
    TspSkinPopupMenu* m = MakeMenu({"X"});
    m->Popup(300, 300);
    Pump();
    ASSERT_TRUE(Skinner->InMenu);
    HeadlessClick(150, 250);
    Pump();
    EXPECT_FALSE(Chain()->Visible());
    EXPECT_FALSE(Skinner->InMenu);
    EXPECT_FALSE(AppMessageHookInstalled(Skinner));
}

TEST_F(SkinMenusTest, SystemMenuFromTheCaption)
{
    MakeForm(100, 100, 300, 200, LoadSkinNew());
    HeadlessMouseMove(Place().left + 120, Place().top + 12);
    HeadlessMouseDown(TMouseButton::Right);
    HeadlessMouseUp(TMouseButton::Right);
    Pump();
    ASSERT_TRUE(Chain()->Visible());
    TspSkinPopupWindow* w = Win();
    ASSERT_GT(w->ItemCount(), 0);
    EXPECT_EQ(w->Item(w->ItemCount() - 1)->MenuItem->Name(), "FSK_CLOSE");
    EXPECT_EQ(WinRect().left, Place().left + 120);
    ShotScreen("menu-system", Place().left, Place().top, 400, 300);
    Key(VK_ESCAPE);
    EXPECT_FALSE(Chain()->Visible());
}

TEST_F(SkinMenusTest, AppHooksComeBackInAnyClosingOrder)
{
    MakeForm(100, 100, 300, 200);
    struct THandler {
        int N = 0;
        void OnMsg(MSG&, bool&) { ++N; }
    } original;
    Application->OnMessage = MakeEvent(&original, &THandler::OnMsg);
    int a = 0, b = 0;
    InstallAppMessageHook(&a, MakeEvent(&original, &THandler::OnMsg));
    InstallAppMessageHook(&b, MakeEvent(&original, &THandler::OnMsg));
    RemoveAppMessageHook(&a);
    EXPECT_NE(Application->OnMessage, MakeEvent(&original, &THandler::OnMsg));
    RemoveAppMessageHook(&b);
    EXPECT_EQ(Application->OnMessage, MakeEvent(&original, &THandler::OnMsg));
    InstallAppMessageHook(&a, MakeEvent(&original, &THandler::OnMsg));
    InstallAppMessageHook(&b, MakeEvent(&original, &THandler::OnMsg));
    RemoveAppMessageHook(&b);
    RemoveAppMessageHook(&a);
    EXPECT_EQ(Application->OnMessage, MakeEvent(&original, &THandler::OnMsg));
    Application->OnMessage = nullptr;
}

// ---- look ---------------------------------------------------------------------------------------------

TEST_F(SkinMenusTest, BuiltInItemPixels)
{
    MakeForm(100, 100, 300, 200);
    TspSkinPopupMenu* m = MakeMenu({"Hot", "Checked", "Radio", "-", "Off", "FSK", "Plain"});
    m->Items()->Items(1)->SetChecked(true);
    m->Items()->Items(2)->SetRadioItem(true);
    m->Items()->Items(2)->SetChecked(true);
    m->Items()->Items(4)->SetEnabled(false);
    m->Items()->Items(5)->SetName("FSK_CLOSE");
    m->Popup(300, 300);
    Pump();
    const RECT r = WinRect();
    TspSkinPopupWindow* w = Win();
    auto at = [&](int item, int dx, int dy) {
        const TRect o = w->Item(item)->ObjectRect;
        return Pixel(r.left + o.left + dx, r.top + o.top + dy) & 0xFFFFFF;
    };
    ShotScreen("menu-popup-builtin", r.left - 10, r.top - 10, w->Width() + 30, w->Height() + 30);
    // The preselected row: navy frame, light fill.
    EXPECT_EQ(at(0, 0, 0), 0x800000u);
    EXPECT_EQ(at(0, 5, 5), 0xD2BDB6u);
    // Others: the glyph column in button face, the text area in window colour.
    EXPECT_EQ(at(1, 1, 1), static_cast<COLORREF>(ColorToRGB(clBtnFace)));
    EXPECT_EQ(at(1, 40, 1), static_cast<COLORREF>(ColorToRGB(clWindow)));
    // The check mark: three pixels thick from (5, centre + 1).
    const int c = (20 - 4) / 2 + 2;  // centre of the inner rectangle
    EXPECT_EQ(at(1, 2 + 3 + 2, c - 4 + 7), static_cast<COLORREF>(ColorToRGB(clWindowText)));
    // The radio dot.
    EXPECT_EQ(at(2, 2 + 3 + 3, c - 3 + 3), static_cast<COLORREF>(ColorToRGB(clWindowText)));
    // The separator: a line in button shadow from the glyph column on.
    EXPECT_EQ(at(3, 25, 2), static_cast<COLORREF>(ColorToRGB(clBtnShadow)));
    EXPECT_EQ(at(3, 10, 2), static_cast<COLORREF>(ColorToRGB(clBtnFace)));
    // The close item wears the caption button's glyph in its glyph column; a
    // plain row's column stays button face.
    auto inked = [&](int item) {
        int n = 0;
        for (int dx = 2; dx < 18; ++dx)
            for (int dy = 2; dy < 18; ++dy)
                n += at(item, dx, dy) != static_cast<COLORREF>(ColorToRGB(clBtnFace));
        return n;
    };
    EXPECT_GT(inked(5), 8);
    EXPECT_EQ(inked(6), 0);
    // Below and right of the window: the drop shadow darkens the desktop.
    const COLORREF desk = Pixel(r.right + 30, r.bottom + 30) & 0xFFFFFF;
    const COLORREF shadow = Pixel(r.right + 1, r.top + 10) & 0xFFFFFF;
    EXPECT_NE(shadow, desk);
    EXPECT_LT(GetGValue(shadow), GetGValue(desk));
}

TEST_F(SkinMenusTest, DisabledTextAndCheckedImageFrame)
{
    MakeForm(100, 100, 300, 200);
    TspSkinPopupMenu* m = MakeMenu({"Enabled", "WWWWWW"});
    m->Items()->Items(1)->SetEnabled(false);
    TBitmap* bmp = m->Items()->Items(0)->Bitmap();
    bmp->SetSize(12, 12);
    bmp->Canvas()->Brush()->SetColor(0x00FF00);
    bmp->Canvas()->FillRect(TRect(0, 0, 12, 12));
    m->Items()->Items(0)->SetChecked(true);
    m->Popup(300, 300);
    Pump();
    Key(VK_DOWN);  // nothing else selectable: the first stays active
    Win()->Item(0)->Active = false;
    Win()->Invalidate();
    Pump();
    const RECT r = WinRect();
    TspSkinPopupWindow* w = Win();
    const TRect o0 = w->Item(0)->ObjectRect;
    // The image at (R0.Left + 2, centre - 6) with a frame one pixel around it.
    const int x = r.left + o0.left + 4, y = r.top + o0.top + 2 + 8 - 6;
    EXPECT_EQ(Pixel(x + 3, y + 3) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(Pixel(x - 1, y + 3) & 0xFFFFFF, static_cast<COLORREF>(ColorToRGB(clWindowText)));
    // Disabled text in button shadow somewhere in the caption.
    const TRect o1 = w->Item(1)->ObjectRect;
    bool shadowText = false;
    for (int dx = 22; dx < 80 && !shadowText; ++dx)
        for (int dy = 4; dy < 16 && !shadowText; ++dy)
            shadowText = (Pixel(r.left + o1.left + dx, r.top + o1.top + dy) & 0xFFFFFF) ==
                         static_cast<COLORREF>(ColorToRGB(clBtnShadow));
    EXPECT_TRUE(shadowText);
}

TEST_F(SkinMenusTest, SkinnedItemsDrawPiecesMarksAndHeaders)
{
    MakeForm(100, 100, 300, 200, LoadSkinNew());
    TspSkinPopupMenu* m = MakeMenu({"-Header-", "Normal", "Checked", "Radio", "-", "Sub"});
    m->Items()->Items(0)->SetEnabled(false);
    m->Items()->Items(2)->SetChecked(true);
    m->Items()->Items(3)->SetRadioItem(true);
    m->Items()->Items(3)->SetChecked(true);
    Add(m->Items()->Items(5), "Inner");
    m->Popup(300, 300);
    Pump();
    TspSkinPopupWindow* w = Win();
    EXPECT_EQ(MenuItemKindOf(w->Item(0)->MenuItem), TspMenuItemKind::Header);
    EXPECT_EQ(w->ActiveItem, 1);  // a header is never selected
    const RECT r = WinRect();
    ShotScreen("menu-popup-skin-items", r.left - 10, r.top - 10, w->Width() + 30, w->Height() + 30);
    // The normal row shows the skin's active piece, the checked row its normal piece.
    const TspDataSkinMenuItem* mi = w->DSMI;
    TBitmap* pic = w->Item(1)->ActivePicture;
    ASSERT_NE(pic, nullptr);
    const TRect o1 = w->Item(1)->ObjectRect, o2 = w->Item(2)->ObjectRect;
    const COLORREF hot = ColorToRGB(pic->Canvas()->Pixels(mi->ActiveSkinRect.left + mi->ItemLO + 1, mi->ActiveSkinRect.top + 1));
    const COLORREF cold = ColorToRGB(pic->Canvas()->Pixels(mi->SkinRect.left + mi->ItemLO + 1, mi->SkinRect.top + 1));
    EXPECT_EQ(Pixel(r.left + o1.left + mi->ItemLO + 1, r.top + o1.top + 1) & 0xFFFFFF, hot & 0xFFFFFF);
    EXPECT_EQ(Pixel(r.left + o2.left + mi->ItemLO + 1, r.top + o2.top + 1) & 0xFFFFFF, cold & 0xFFFFFF);
    // The header and separator keep their own heights.
    EXPECT_EQ(w->Item(4)->ObjectRect.bottom - w->Item(4)->ObjectRect.top, mi->DividerRect.bottom - mi->DividerRect.top);
}

TEST_F(SkinMenusTest, ABadPictureIndexEmptiesOnlyTheRowsOwnPieces)
{
    TspSkinData* d = LoadSkinNew();
    MakeForm(100, 100, 300, 200, d);
    int i = d->GetIndex("menuitem");
    ASSERT_NE(i, -1);
    auto* mi = dynamic_cast<TspDataSkinMenuItem*>(d->ObjectList[static_cast<std::size_t>(i)].get());
    const TRect before = mi->SkinRect;
    const int index = mi->ActivePictureIndex;
    mi->ActivePictureIndex = 999;
    TspSkinPopupMenu* m = MakeMenu({"One", "Two"});
    m->Popup(300, 300);
    Pump();
    ASSERT_TRUE(Chain()->Visible());
    EXPECT_EQ(Win()->Item(0)->ActivePicture, nullptr);
    EXPECT_EQ(mi->SkinRect, before);
    mi->ActivePictureIndex = index;
}

// ---- bad input ------------------------------------------------------------------------------------------

TEST_F(SkinMenusTest, BadMenusOpenNothingOrOpenSafely)
{
    MakeForm(100, 100, 300, 200, LoadSkinNew());
    {
        TspSkinPopupMenu* m = MakeMenu({});
        m->Popup(300, 300);
        Pump();
        EXPECT_FALSE(Chain()->Visible());
        EXPECT_FALSE(Skinner->InMenu);
    }
    {
        TspSkinPopupMenu* m = MakeMenu({"A", "B"});
        m->Items()->Items(0)->SetVisible(false);
        m->Items()->Items(1)->SetVisible(false);
        m->Popup(300, 300);
        Pump();
        EXPECT_TRUE(Chain()->Visible());
        EXPECT_EQ(Win()->ItemCount(), 0);
        Key(VK_DOWN);
        Key(VK_RETURN);
        Key(VK_ESCAPE);
        EXPECT_FALSE(Chain()->Visible());
    }
    {
        TspSkinPopupMenu* m = MakeMenu({"-", "-", "-"});
        m->Popup(300, 300);
        Pump();
        Key(VK_DOWN);
        Key(VK_RETURN);
        Key(VK_ESCAPE);
        EXPECT_FALSE(Chain()->Visible());
    }
    {
        std::vector<std::string> caps(1000, "Row");
        caps[0] = "&";
        caps[1] = std::string(2000, 'W');
        TspSkinPopupMenu* m = MakeMenu(caps);
        m->Items()->Items(2)->SetImageIndex(55);  // no image list: no image
        m->Popup(300, 300);
        Pump();
        EXPECT_TRUE(Win()->Scroll);
        for (int k = 0; k < 30; ++k)
            Key(VK_UP);
        EXPECT_GT(Win()->VisibleStartIndex, 0);
        Key(VK_ESCAPE);
    }
    Skinner->SetDefMenuItemHeight(0);
    EXPECT_EQ(Skinner->DefMenuItemHeight(), 20);
}

TEST_F(SkinMenusTest, FreeingTheFormWithAMenuOpenLeavesNoHook)
{
    MakeForm(100, 100, 300, 200);
    TspSkinPopupMenu* m = MakeMenu({"X"});
    m->Popup(300, 300);
    Pump();
    ASSERT_TRUE(AppMessageHookInstalled(Skinner));
    TspFormSkinner* s = Skinner;
    delete Form;
    Form = nullptr;
    EXPECT_FALSE(AppMessageHookInstalled(s));
    EXPECT_FALSE(static_cast<bool>(Application->OnMessage));
    Pump();
}
