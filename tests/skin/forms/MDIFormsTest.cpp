// Skinned MDI main forms and children: tile and cascade, maximizing one
// child maximizing all, the caption suffix, the window menu, the tabs bar,
// and children freed while active.
#include "FormTestSupport.h"

#include "platform/gui/Menus.h"
#include "skin/controls/SkinScrollBars.h"
#include "skin/forms/SkinMDITabsBar.h"
#include "skin/forms/SkinMenuBar.h"
#include "skin/forms/SkinMenus.h"

#include <algorithm>

namespace {

using namespace formtest;

struct TFreeOnClose : TObject {
    void Close(TObject*, TCloseAction& Action) { Action = caFree; }
};

struct TTabLog : TObject {
    std::vector<std::string> Lines;
    void Leave(TspMDITab* T) { Lines.push_back("leave " + T->Child->Name()); }
    void Enter(TspMDITab* T) { Lines.push_back("enter " + T->Child->Name()); }
};

class MDIFormsTest : public TFormTest {
protected:
    void SetUp() override
    {
        TFormTest::SetUp();
        OldMain = Application->MainForm();
    }
    void TearDown() override
    {
        Application->SetMainForm(OldMain);
        TFormTest::TearDown();
    }
    // An MDI main form whose free MDI area is W x H (below a tabs bar when asked).
    void MakeMain(int W, int H, bool WithSkin, bool WithBar = false)
    {
        Main = new TForm(Owner);
        Main->SetName("Main");
        Main->SetCaption("Main");
        Main->SetFormStyle(fsMDIForm);
        Application->SetMainForm(Main);
        MainSkinner = new TspFormSkinner(Main);
        if (WithSkin)
            MainSkinner->SetSkinData(LoadSkinNew());
        auto* menu = new TMainMenu(Main);
        WindowItem = new TMenuItem(menu);
        WindowItem->SetCaption("Window");
        menu->Items()->Add(WindowItem);
        Main->SetWindowMenu(WindowItem);
        if (WithBar) {
            Bar = new TspSkinMDITabsBar(Main);
            Bar->SetParent(Main);
            Bar->SetAlign(alTop);
            Bar->SetFormSkinner(MainSkinner);
            if (WithSkin)
                Bar->SetSkinData(Data);
            MainSkinner->SetMDITabsBar(Bar);
        }
        Main->SetBounds(0, 0, 200, 200);
        Main->Show();
        Pump();
        const int barH = Bar ? Bar->Height() : 0;
        Main->SetClientWidth(W);
        Main->SetClientHeight(H + barH);
        Pump();
    }
    TForm* Child(const std::string& Name, bool Show = true)
    {
        auto* c = new TForm(Owner);
        c->SetName(Name);
        c->SetCaption(Name);
        c->SetFormStyle(fsMDIChild);
        c->SetBounds(10, 10, 220, 160);
        c->OnClose = MakeEvent(&FreeOnClose, &TFreeOnClose::Close);
        auto* s = new TspFormSkinner(c);
        if (Data)
            s->SetSkinData(Data);
        if (Show) {
            c->Show();
            Pump();
        }
        return c;
    }
    static TspFormSkinner* S(TCustomForm* F) { return FindFormSkinner(F); }
    std::vector<std::string> MenuNames() const
    {
        std::vector<std::string> names;
        for (int i = 0; i < WindowItem->Count(); ++i)
            names.push_back(WindowItem->Items(i)->Name() + (WindowItem->Items(i)->Checked() ? "*" : ""));
        return names;
    }
    void BarMouse(UINT Msg, int X, int Y, WPARAM Keys = MK_LBUTTON)
    {
        SendMessage(Bar->Handle(), Msg, Keys, MAKELPARAM(X, Y));
        Pump();
    }
    TCustomForm* OldMain = nullptr;
    TForm* Main = nullptr;
    TspFormSkinner* MainSkinner = nullptr;
    TMenuItem* WindowItem = nullptr;
    TspSkinMDITabsBar* Bar = nullptr;
    TFreeOnClose FreeOnClose;
};

TEST_F(MDIFormsTest, TheFreeAreaIsWhatAlignedControlsLeave)
{
    MakeMain(400, 300, false, true);
    EXPECT_EQ(MainSkinner->GetMDIClientRect(), TRect(0, Bar->Height(), 400, Bar->Height() + 300));
}

TEST_F(MDIFormsTest, FourChildrenTileInto200By150CellsFromTheLastAtTheBottomRight)
{
    MakeMain(400, 300, false);
    std::vector<TForm*> kids{Child("A"), Child("B"), Child("C"), Child("D")};
    // The tiling order follows the main form's child list (front to back).
    std::vector<TCustomForm*> order;
    for (int i = 0; i < Main->MDIChildCount(); ++i)
        order.push_back(Main->MDIChildren(i));
    MainSkinner->Tile();
    Pump();
    EXPECT_EQ(order[3]->BoundsRect(), TRect(200, 150, 400, 300));
    EXPECT_EQ(order[2]->BoundsRect(), TRect(200, 0, 400, 150));
    EXPECT_EQ(order[1]->BoundsRect(), TRect(0, 150, 200, 300));
    EXPECT_EQ(order[0]->BoundsRect(), TRect(0, 0, 200, 150));
}

TEST_F(MDIFormsTest, ThreeChildrenTiledVerticallyGetThreeFullHeightColumns)
{
    MakeMain(600, 300, false);
    Child("A");
    Child("B");
    Child("C");
    MainSkinner->TileMode = tbVertical;
    MainSkinner->Tile();
    Pump();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Main->MDIChildren(i)->BoundsRect(), TRect(200 * i, 0, 200 * (i + 1), 300)) << i;
}

TEST_F(MDIFormsTest, CascadeStepsByTheCaptionAndWrapsItsOffsets)
{
    MakeMain(800, 300, false);
    for (int i = 0; i < 10; ++i)
        Child("C" + std::to_string(i));
    MainSkinner->Cascade();
    Pump();
    // Without a skin the step is the caption height + 3 = 22: D = 160 div 22 = 7.
    const int cw = 800 - 7 * 22, ch = std::max(300 - 7 * 22, MainSkinner->GetMinHeight());
    int p = 0;
    for (int i = 9; i >= 0; --i) {
        if (p + cw > 800 || p + ch > 300)
            p = 0;
        EXPECT_EQ(Main->MDIChildren(i)->BoundsRect(), TRect(p, p, p + cw, p + ch)) << i;
        p += 22;
    }
}

TEST_F(MDIFormsTest, CascadeOnASkinWhoseClientStartsAtTheTopStillSteps)
{
    MakeMain(800, 600, true);
    Child("A");
    Child("B");
    // A skin applied with its client at row 0: the step is at least one pixel.
    ASSERT_TRUE(MainSkinner->FSkinSupport);
    MainSkinner->NewClRect.top = 0;
    MainSkinner->Cascade();
    Pump();
    EXPECT_EQ(Main->MDIChildren(1)->Left(), 0);
    EXPECT_EQ(Main->MDIChildren(0)->Left(), 1);
}

TEST_F(MDIFormsTest, CascadeWithSkinNewStepsByTheSkinsClientTop)
{
    MakeMain(800, 600, true);
    Child("A");
    Child("B");
    const int step = MainSkinner->NewClRect.top;
    ASSERT_GT(step, 0);
    MainSkinner->Cascade();
    Pump();
    EXPECT_EQ(Main->MDIChildren(1)->Left(), 0);
    EXPECT_EQ(Main->MDIChildren(0)->Left(), step);
    EXPECT_EQ(Main->MDIChildren(0)->Top(), step);
}

TEST_F(MDIFormsTest, TileAndCascadeWithoutChildrenOrWithAnEmptyAreaDoNothingHarmful)
{
    MakeMain(400, 300, false);
    MainSkinner->Tile();
    MainSkinner->Cascade();
    MainSkinner->CloseAll();
    Main->SetClientWidth(0);
    Main->SetClientHeight(0);
    Child("A");
    MainSkinner->Tile();
    MainSkinner->TileMode = tbVertical;
    MainSkinner->Tile();
    MainSkinner->Cascade();
    Pump();
    EXPECT_EQ(Main->MDIChildCount(), 1);
}

TEST_F(MDIFormsTest, MaximizingOneChildMaximizesAllAndTheMainCaptionNamesIt)
{
    MakeMain(500, 400, true);
    TForm* a = Child("A");
    TForm* b = Child("B");
    TForm* fixed = Child("Fixed");
    S(fixed)->SetBorderIcons(TspBorderIcons{spforms::biSystemMenu, spforms::biMinimize});
    S(b)->SetWindowState(wsMaximized);
    Pump();
    EXPECT_TRUE(MainSkinner->MDIChildMaximized());
    EXPECT_EQ(S(a)->WindowState(), wsMaximized);
    EXPECT_EQ(S(b)->WindowState(), wsMaximized);
    EXPECT_EQ(S(fixed)->WindowState(), wsNormal);
    EXPECT_EQ(b->BoundsRect(), TRect(0, 0, 500, 400));
    // The maximized child has no frame: its client is the whole window.
    EXPECT_EQ(b->ClientWidth(), 500);
    EXPECT_EQ(b->ClientHeight(), 400);
    TCustomForm* shown = MainSkinner->GetMaximizedMDIChild();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(MainSkinner->FrameCaptionText(), "Main - [" + shown->Caption() + "]");
    EXPECT_EQ(SendMessage(Main->Handle(), WM_MDIISMAXIMIZED, 0, 0), 1);
    // A child shown beside a maximized one is maximized at once.
    TForm* late = Child("Late");
    EXPECT_EQ(S(late)->WindowState(), wsMaximized);
    // Restoring one restores all.
    S(b)->SetWindowState(wsNormal);
    Pump();
    EXPECT_FALSE(MainSkinner->MDIChildMaximized());
    for (TForm* f : {a, b, late})
        EXPECT_EQ(S(f)->WindowState(), wsNormal) << f->Name();
    EXPECT_EQ(MainSkinner->FrameCaptionText(), "Main");
    EXPECT_NE(b->ClientWidth(), b->Width());
}

// A maximized child's buttons sit on the main form's menu bar: system menu
// at the left, close, restore and minimize at the right; minimize is
// disabled without biMinimize; the buttons act on the child.
TEST_F(MDIFormsTest, AMaximizedChildPutsItsFourButtonsOnTheMenuBar)
{
    for (bool skinned : {false, true}) {
        SCOPED_TRACE(skinned ? "skin-new" : "no skin");
        MakeMain(500, 400, skinned);
        auto* bar = new TspSkinMainMenuBar(Main);
        bar->SetParent(Main);
        bar->SetFormSkinner(MainSkinner);
        if (skinned)
            bar->SetSkinData(Data);
        bar->SetMainMenu(static_cast<TMainMenu*>(WindowItem->Owner()));
        MainSkinner->MainMenuBar = bar;
        Pump();
        TForm* a = Child("A");
        TForm* b = Child("B");
        S(b)->SetBorderIcons(TspBorderIcons{spforms::biSystemMenu, spforms::biMaximize});
        EXPECT_TRUE(bar->ChildButtons.empty());
        S(b)->SetWindowState(wsMaximized);
        Pump();
        ASSERT_EQ(bar->ChildButtons.size(), 4u);
        EXPECT_TRUE(bar->FMDIChildMax);
        const std::vector<TStdCommand> order{cmSysMenu, cmClose, cmMaximize, cmMinimize};
        bar->Repaint();
        Pump();
        for (std::size_t i = 0; i < 4; ++i) {
            const TspSkinMainMenuBarButton& btn = bar->ChildButtons[i];
            EXPECT_EQ(btn.Command, order[i]);
            EXPECT_EQ(btn.Enabled, btn.Command != cmMinimize) << i;
            EXPECT_EQ(btn.Data != nullptr, skinned) << i;
            EXPECT_GT(btn.ObjectRect.Width(), 0);
        }
        // System menu at the left end, close at the right end, then restore, then minimize.
        EXPECT_LT(bar->ChildButtons[0].ObjectRect.right, bar->NewItemsRect.left + 1);
        EXPECT_GT(bar->ChildButtons[1].ObjectRect.left, bar->ChildButtons[2].ObjectRect.left);
        EXPECT_GT(bar->ChildButtons[2].ObjectRect.left, bar->ChildButtons[3].ObjectRect.left);
        EXPECT_LE(bar->ChildButtons[1].ObjectRect.right, bar->Width());
        // A press on the disabled minimize button does nothing.
        const TRect mr = bar->ChildButtons[3].ObjectRect;
        SendMessage(bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(mr.left + 2, mr.top + 2));
        SendMessage(bar->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(mr.left + 2, mr.top + 2));
        Pump();
        EXPECT_TRUE(MainSkinner->MDIChildMaximized());
        // The restore button restores every child and the buttons go.
        const TRect rr = bar->ChildButtons[2].ObjectRect;
        SendMessage(bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(rr.left + 2, rr.top + 2));
        SendMessage(bar->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(rr.left + 2, rr.top + 2));
        Pump();
        EXPECT_FALSE(MainSkinner->MDIChildMaximized());
        EXPECT_EQ(S(a)->WindowState(), wsNormal);
        EXPECT_TRUE(bar->ChildButtons.empty());
        // Maximized again, the close button closes the maximized child (freed on close).
        S(a)->SetWindowState(wsMaximized);
        Pump();
        ASSERT_EQ(bar->ChildButtons.size(), 4u);
        TCustomForm* shown = MainSkinner->GetMaximizedMDIChild();
        ASSERT_NE(shown, nullptr);
        const std::string closing = shown->Name();
        bar->Repaint();
        Pump();
        const TRect cr = bar->ChildButtons[1].ObjectRect;
        SendMessage(bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(cr.left + 2, cr.top + 2));
        SendMessage(bar->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(cr.left + 2, cr.top + 2));
        Application->ProcessMessages();
        Pump();
        EXPECT_EQ(Main->MDIChildCount(), 1);
        EXPECT_NE(Main->MDIChildren(0)->Name(), closing);
        for (int i = Main->MDIChildCount() - 1; i >= 0; --i)
            Main->MDIChildren(i)->Free();
        Pump();
        EXPECT_TRUE(bar->ChildButtons.empty());
        MainSkinner->MainMenuBar = nullptr;
        Main->Free();
        Main = nullptr;
        Data = nullptr;
        Pump();
    }
}

TEST_F(MDIFormsTest, MinimizingTheMaximizedChildRestoresTheOthers)
{
    MakeMain(500, 400, false);
    TForm* a = Child("A");
    TForm* b = Child("B");
    S(a)->SetWindowState(wsMaximized);
    Pump();
    ASSERT_EQ(S(b)->WindowState(), wsMaximized);
    S(a)->SetWindowState(wsMinimized);
    Pump();
    EXPECT_EQ(S(a)->WindowState(), wsMinimized);
    EXPECT_EQ(S(b)->WindowState(), wsNormal);
    EXPECT_FALSE(MainSkinner->MDIChildMaximized());
    // Minimized children sit in slots at the bottom of the MDI area.
    EXPECT_EQ(a->Left(), 0);
    EXPECT_EQ(a->Top(), 400 - S(a)->GetMinHeight());
}

// Children that stick out of the MDI area bring the skinned bars; scrolling
// moves them; a maximized child hides the bars. Without a skin and on skin-new.
TEST_F(MDIFormsTest, ScrollBarsFollowChildrenStickingOutAndScrollingMovesThem)
{
    for (bool skinned : {false, true}) {
        SCOPED_TRACE(skinned ? "skin-new" : "no skin");
        MakeMain(400, 300, skinned);
        TspSkinScrollBar* hb = MainSkinner->MDIHScrollBar();
        TspSkinScrollBar* vb = MainSkinner->MDIVScrollBar();
        ASSERT_NE(hb, nullptr);
        ASSERT_NE(vb, nullptr);
        EXPECT_EQ(hb->Kind(), sbHorizontal);
        EXPECT_EQ(vb->SkinDataName(), "vscrollbar");
        TForm* a = Child("A");
        TForm* b = Child("B");
        a->SetBounds(10, 10, 120, 100);
        b->SetBounds(150, 120, 120, 100);
        Pump();
        EXPECT_FALSE(hb->Visible());
        EXPECT_FALSE(vb->Visible());
        // Dragged 50 pixels past the left edge: the horizontal bar only.
        a->SetLeft(-50);
        Pump();
        ASSERT_TRUE(hb->Visible());
        EXPECT_FALSE(vb->Visible());
        EXPECT_EQ(hb->Position(), 50);
        EXPECT_EQ(hb->Min(), 0);
        EXPECT_EQ(hb->Max(), 400 + 50 - 1);
        EXPECT_EQ(hb->PageSize(), 400);
        EXPECT_EQ(hb->BoundsRect(), TRect(0, 300 - hb->Height(), 400, 300));
        // Already at the right end: the up button cannot go further.
        hb->OnUpButtonClick(hb);
        Pump();
        EXPECT_EQ(hb->Position(), 50);
        EXPECT_EQ(a->Left(), -50);
        // The down button scrolls back by 10: every child moves 10 to the right.
        hb->OnDownButtonClick(hb);
        Pump();
        EXPECT_EQ(hb->Position(), 40);
        EXPECT_EQ(a->Left(), -40);
        EXPECT_EQ(b->Left(), 160);
        // Scrolled back to 0: the children come back into the area.
        hb->SetPosition(0);
        hb->OnLastChange(hb);
        Pump();
        EXPECT_EQ(a->Left(), 0);
        EXPECT_EQ(b->Left(), 200);
        EXPECT_FALSE(hb->Visible());
        // Below the bottom as well: both bars, the horizontal one leaving the corner.
        b->SetTop(260);
        a->SetLeft(-20);
        Pump();
        ASSERT_TRUE(hb->Visible());
        ASSERT_TRUE(vb->Visible());
        EXPECT_TRUE(hb->Both());
        EXPECT_EQ(vb->Height(), 300 - hb->Height());
        EXPECT_EQ(vb->Position(), 0);
        EXPECT_EQ(vb->PageSize(), 300 - hb->Height());
        // A maximized child hides both.
        S(a)->SetWindowState(wsMaximized);
        Pump();
        EXPECT_FALSE(hb->Visible());
        EXPECT_FALSE(vb->Visible());
        S(a)->SetWindowState(wsNormal);
        Pump();
        // Without the bars asked for, nothing shows.
        MainSkinner->ShowMDIScrollBars = false;
        a->SetLeft(-80);
        Pump();
        EXPECT_FALSE(hb->Visible());
        a->Free();
        b->Free();
        Main->Free();
        Main = nullptr;
        Pump();
    }
}

TEST_F(MDIFormsTest, TheWindowMenuListsTheChildrenAndChecksTheActiveOne)
{
    MakeMain(500, 400, false);
    TForm* a = Child("A");
    TForm* b = Child("B");
    EXPECT_EQ(MenuNames(), (std::vector<std::string>{"A_FSKCHILDITEM", "B_FSKCHILDITEM*"}));
    a->SetCaption("Renamed");
    EXPECT_EQ(WindowItem->Items(0)->Caption(), "Renamed");
    // A click on an entry shows its child.
    WindowItem->Items(0)->Click();
    Pump();
    EXPECT_EQ(Main->ActiveMDIChild(), a);
    EXPECT_EQ(MenuNames(), (std::vector<std::string>{"A_FSKCHILDITEM*", "B_FSKCHILDITEM"}));
    a->Free();
    Pump();
    EXPECT_EQ(MenuNames(), (std::vector<std::string>{"B_FSKCHILDITEM*"}));
    b->Close();
    Pump();
    Application->ProcessMessages();
    Pump();
    EXPECT_TRUE(MenuNames().empty());
    MainSkinner->UpDateChildActiveInMenu();  // no child: nothing checked, nothing fails
}

TEST_F(MDIFormsTest, AWindowMenuOrTabsBarFreedWhileChildrenLiveIsForgotten)
{
    MakeMain(500, 400, false, true);
    Child("A");
    Bar->Free();
    EXPECT_EQ(MainSkinner->MDITabsBar(), nullptr);
    WindowItem->Free();
    EXPECT_EQ(Main->WindowMenu(), nullptr);
    TForm* b = Child("B");
    b->SetCaption("B2");
    b->Free();
    Pump();
    EXPECT_EQ(Main->MDIChildCount(), 1);
}

TEST_F(MDIFormsTest, ChildrenFreedWhileActiveLeaveNoTabOrEntryAndTheNextBecomesActive)
{
    MakeMain(500, 400, false, true);
    TForm* a = Child("A");
    TForm* b = Child("B");
    ASSERT_EQ(Main->ActiveMDIChild(), b);
    ASSERT_EQ(Bar->TabCount(), 2);
    b->Free();
    Pump();
    EXPECT_EQ(Main->ActiveMDIChild(), a);
    EXPECT_EQ(Bar->TabCount(), 1);
    EXPECT_TRUE(Bar->Tabs(0)->Active);
    a->Free();
    Pump();
    EXPECT_EQ(Bar->TabCount(), 0);
    EXPECT_EQ(Bar->ListButton(), nullptr);
    EXPECT_TRUE(MenuNames().empty());
}

TEST_F(MDIFormsTest, TenTabsOnA315PixelBarAre30WideWithTheLastStretched)
{
    MakeMain(315, 300, false, true);
    for (int i = 0; i < 10; ++i)
        Child("C" + std::to_string(i));
    ASSERT_EQ(Bar->Width(), 315);
    Bar->CalcTabRects();
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(Bar->Tabs(i)->ObjectRect, TRect(15 + 30 * i, 0, 45 + 30 * i, Bar->Height())) << i;
    EXPECT_EQ(Bar->Tabs(9)->ObjectRect.right, 315);
    EXPECT_EQ(Bar->InVisibleCount(), 0);
    Bar->MinTabWidth = 60;
    Bar->Repaint();
    Pump();
    EXPECT_EQ(Bar->InVisibleCount(), 6);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(Bar->Tabs(i)->Visible, i < 4) << i;
    ASSERT_NE(Bar->HideListButton(), nullptr);
    Bar->FillListMenu(true);
    ASSERT_EQ(Bar->HideListMenu()->Items()->Count(), 6);
    EXPECT_EQ(Bar->HideListMenu()->Items()->Items(0)->Caption(), Bar->Tabs(4)->Child->Caption());
    Bar->FillListMenu(false);
    EXPECT_EQ(Bar->ListMenu()->Items()->Count(), 10);
    // A minimum wider than the bar: no tab fits, all are listed.
    Bar->MinTabWidth = 400;
    Bar->CalcTabRects();
    EXPECT_EQ(Bar->InVisibleCount(), 10);
    Bar->FillListMenu(true);
    EXPECT_EQ(Bar->HideListMenu()->Items()->Count(), 10);
    // Clicking a hidden child's entry activates it.
    Bar->HideListMenu()->Items()->Items(2)->Click();
    Pump();
    EXPECT_EQ(Main->ActiveMDIChild(), Bar->Tabs(2)->Child);
    Bar->MinTabWidth = 0;
    Bar->DefaultTabWidth = 0;
    Bar->Repaint();
    Pump();
}

TEST_F(MDIFormsTest, AClickActivatesWithoutReorderingAndAOnePixelMoveStartsADrag)
{
    MakeMain(600, 300, false, true);
    TForm* a = Child("A");
    Child("B");
    Child("C");
    Bar->CalcTabRects();
    const TRect r0 = Bar->Tabs(0)->ObjectRect;
    BarMouse(WM_LBUTTONDOWN, r0.left + 10, 5);
    BarMouse(WM_LBUTTONUP, r0.left + 10, 5, 0);
    EXPECT_EQ(Main->ActiveMDIChild(), a);
    EXPECT_EQ(Bar->Tabs(0)->Child, a);
    EXPECT_TRUE(Bar->Tabs(0)->Active);
    // Press, one pixel, then across the third tab's middle: dropped after it.
    BarMouse(WM_LBUTTONDOWN, r0.left + 10, 5);
    BarMouse(WM_MOUSEMOVE, r0.left + 11, 5);
    EXPECT_TRUE(Bar->IsDrag);
    const TRect r2 = Bar->Tabs(2)->ObjectRect;
    BarMouse(WM_MOUSEMOVE, r0.left + 10 + (r2.right - r0.right), 5);
    EXPECT_EQ(Bar->GetDropIndex(), 2);
    BarMouse(WM_LBUTTONUP, r0.left + 10 + (r2.right - r0.right), 5, 0);
    EXPECT_FALSE(Bar->IsDrag);
    EXPECT_EQ(Bar->Tabs(2)->Child, a);
    EXPECT_EQ(Bar->Tabs(0)->Child->Name(), "B");
}

TEST_F(MDIFormsTest, ACloseButtonClosesOnlyWhenReleasedOverIt)
{
    MakeMain(600, 300, false, true);
    Bar->ShowCloseButtons = true;
    Child("A");
    Child("B");
    Bar->Repaint();
    Pump();
    ASSERT_EQ(Bar->GetCloseSize(), 14);
    TspMDITab* t = Bar->Tabs(0);
    ASSERT_EQ(t->ButtonRect.Width(), 14);
    ASSERT_EQ(t->ButtonRect.Height(), 14);
    const int bx = t->ObjectRect.left + t->ButtonRect.left + 5, by = t->ObjectRect.top + t->ButtonRect.top + 5;
    BarMouse(WM_LBUTTONDOWN, bx, by);
    EXPECT_TRUE(Bar->Tabs(0)->ButtonMouseDown);
    EXPECT_FALSE(Bar->IsDrag);
    BarMouse(WM_MOUSEMOVE, bx - 40, by);
    BarMouse(WM_LBUTTONUP, bx - 40, by, 0);
    Application->ProcessMessages();
    EXPECT_EQ(Bar->TabCount(), 2);
    EXPECT_EQ(Main->MDIChildCount(), 2);
    BarMouse(WM_MOUSEMOVE, bx, by, 0);
    BarMouse(WM_LBUTTONDOWN, bx, by);
    BarMouse(WM_LBUTTONUP, bx, by, 0);
    Application->ProcessMessages();
    Pump();
    EXPECT_EQ(Bar->TabCount(), 1);
    EXPECT_EQ(Main->MDIChildCount(), 1);
    EXPECT_EQ(Bar->Tabs(0)->Child->Name(), "B");
}

TEST_F(MDIFormsTest, ARightClickOnATabOpensItsChildsSystemMenu)
{
    MakeMain(600, 300, false, true);
    Child("A");
    Child("B");
    Bar->CalcTabRects();
    const TRect r0 = Bar->Tabs(0)->ObjectRect;
    ASSERT_FALSE(MainSkinner->SkinMenu->Visible());
    BarMouse(WM_RBUTTONDOWN, r0.left + 10, 5, MK_RBUTTON);
    EXPECT_TRUE(MainSkinner->SkinMenu->Visible());
    MainSkinner->SkinMenu->Hide();
    Pump();
    // Without child menus the right click opens nothing.
    Bar->SupportChildMenus = false;
    BarMouse(WM_RBUTTONDOWN, r0.left + 10, 5, MK_RBUTTON);
    EXPECT_FALSE(MainSkinner->SkinMenu->Visible());
}

TEST_F(MDIFormsTest, DeletingTheHoveredTabFiresItsLeaveFirst)
{
    MakeMain(600, 300, false, true);
    TTabLog log;
    Bar->OnTabMouseLeave = MakeEvent(&log, &TTabLog::Leave);
    Bar->OnTabMouseEnter = MakeEvent(&log, &TTabLog::Enter);
    TForm* a = Child("A");
    Child("B");
    Bar->CalcTabRects();
    const TRect r0 = Bar->Tabs(0)->ObjectRect;
    BarMouse(WM_MOUSEMOVE, r0.left + 5, 5, 0);
    EXPECT_EQ(log.Lines, (std::vector<std::string>{"enter A"}));
    a->Free();
    Pump();
    EXPECT_EQ(log.Lines, (std::vector<std::string>{"enter A", "leave A"}));
    EXPECT_EQ(Bar->ActiveTabIndex, -1);
}

TEST_F(MDIFormsTest, ANarrowBarAndAChildDestroyedWhileDraggedStayWhole)
{
    MakeMain(600, 300, false, true);
    Child("A");
    TForm* b = Child("B");
    Bar->SetAlign(alNone);
    Bar->SetWidth(20);
    Bar->Repaint();
    Pump();
    Bar->SetWidth(600);
    Bar->Repaint();
    Pump();
    Bar->CalcTabRects();
    const TRect r1 = Bar->Tabs(1)->ObjectRect;
    BarMouse(WM_LBUTTONDOWN, r1.left + 5, 5);
    BarMouse(WM_MOUSEMOVE, r1.left + 2, 5);
    ASSERT_TRUE(Bar->IsDrag);
    b->Free();
    Pump();
    EXPECT_FALSE(Bar->IsDrag);
    BarMouse(WM_MOUSEMOVE, r1.left - 30, 5);
    BarMouse(WM_LBUTTONUP, r1.left - 30, 5, 0);
    EXPECT_EQ(Bar->TabCount(), 1);
}

}  // namespace

namespace {

using namespace formtest;

class MDIMoreTest : public MDIFormsTest {};

// Children of one name (of two owners) share one window-menu entry; a click
// on it brings every one of them back.
TEST_F(MDIMoreTest, ChildrenOfOneNameShareAnEntryThatShowsThemAll)
{
    MakeMain(500, 400, false);
    TForm* a = Child("Doc");
    auto* otherOwner = new TComponent(Owner);
    auto* b = new TForm(otherOwner);
    b->SetName("Doc");
    b->SetCaption("Doc");
    b->SetFormStyle(fsMDIChild);
    b->SetBounds(40, 40, 220, 160);
    new TspFormSkinner(b);
    b->Show();
    Pump();
    EXPECT_EQ(MenuNames(), (std::vector<std::string>{"Doc_FSKCHILDITEM*"}));
    S(a)->SetWindowState(wsMinimized);
    S(b)->SetWindowState(wsMinimized);
    Pump();
    WindowItem->Items(0)->Click();
    Pump();
    EXPECT_EQ(S(a)->WindowState(), wsNormal);
    EXPECT_EQ(S(b)->WindowState(), wsNormal);
    b->Free();
    Pump();
    EXPECT_EQ(MenuNames(), (std::vector<std::string>{"Doc_FSKCHILDITEM*"}));
}

// Where a dragged tab would land: past the middle of a neighbour, never on
// it before; dragged to either end, the first or the last place.
TEST_F(MDIMoreTest, DropIndexTable)
{
    MakeMain(600, 300, false, true);
    for (const char* n : {"A", "B", "C", "D", "E"})
        Child(n);
    Bar->CalcTabRects();
    const int w = Bar->Tabs(1)->ObjectRect.left - Bar->Tabs(0)->ObjectRect.left;
    ASSERT_GT(w, 20);
    struct TCase {
        int Tab, DX, Want;
    };
    const TCase cases[] = {
        {0, w / 2 + 1, 1}, {0, w / 2, -1},   {0, 2 * w, 2},       {0, 10000, 4},
        {3, -(w / 2 + 1), 2}, {3, -(w / 2), -1}, {4, -10000, 0}, {2, 0, -1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.Tab) + " by " + std::to_string(c.DX));
        const TRect r = Bar->Tabs(c.Tab)->ObjectRect;
        const int x = r.left + w / 2;
        BarMouse(WM_LBUTTONDOWN, x, 5);
        BarMouse(WM_MOUSEMOVE, x + (c.DX >= 0 ? 1 : -1), 5);
        ASSERT_TRUE(Bar->IsDrag);
        BarMouse(WM_MOUSEMOVE, x + c.DX, 5);
        EXPECT_EQ(Bar->GetDropIndex(), c.Want);
        // Back to the start before the release: the order stays.
        BarMouse(WM_MOUSEMOVE, x, 5);
        BarMouse(WM_LBUTTONUP, x, 5, 0);
        Bar->CalcTabRects();
        EXPECT_EQ(Bar->Tabs(0)->Child->Name(), "A");
        EXPECT_EQ(Bar->Tabs(4)->Child->Name(), "E");
    }
}

// Without a skin: the active tab in its blue, a hovered one lighter, the
// others in button face, each framed in button shadow.
TEST_F(MDIMoreTest, SkinlessTabColours)
{
    MakeMain(600, 300, false, true);
    Child("A");
    Child("B");
    Child("C");
    Bar->CalcTabRects();
    const TRect hover = Bar->Tabs(1)->ObjectRect;
    const TPoint hp = Bar->ClientToScreen(TPoint(hover.left + 4, 4));
    HeadlessMouseMove(hp.x, hp.y);
    Pump();
    Bar->Repaint();
    Pump();
    auto at = [&](int Tab, int DX, int DY) {
        const TRect r = Bar->Tabs(Tab)->ObjectRect;
        const TPoint p = Bar->ClientToScreen(TPoint(r.left + DX, r.top + DY));
        return Pixel(p.x, p.y) & 0xFFFFFF;
    };
    ASSERT_TRUE(Bar->Tabs(2)->Active);
    EXPECT_EQ(at(2, 4, 3), 0xB59385u);
    EXPECT_EQ(at(1, 4, 3), 0xD2BDB6u);
    EXPECT_EQ(at(0, 4, 3), static_cast<COLORREF>(ColorToRGB(clBtnFace)));
    EXPECT_EQ(at(0, 0, 3), static_cast<COLORREF>(ColorToRGB(clBtnShadow)));
}

}  // namespace
