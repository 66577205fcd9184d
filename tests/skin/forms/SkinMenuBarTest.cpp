// The main menu bar: item widths, the marker and the popup of the hidden
// items, the pointer along an open menu, keyboard menu mode, the built-in
// and skinned looks.
#include "platform/gdi/TextLayout.h"
#include "platform/rtl/Clock.h"
#include "skin/core/SkinDrawUtils.h"
#include "skin/forms/SkinMenuBar.h"
#include "skin/forms/SkinMenus.h"

#include "FormTestSupport.h"
#include "MenuTestSupport.h"

#include <memory>
#include <string>
#include <vector>

using formtest::TFormTest;

namespace {

class SkinMenuBarTest : public menutest::TClockedFormTest {
protected:
    // A form with a bar over a main menu of Captions, each with two sub-items.
    void MakeBarForm(const std::vector<std::string>& Captions, TspSkinData* D = nullptr, int Width = 400)
    {
        MakeForm(100, 100, Width, 250, D);
        Menu = new TspSkinMainMenu(Form);
        for (const std::string& c : Captions) {
            TMenuItem* top = Add(Menu->Items(), c);
            Add(top, c + " one");
            Add(top, c + " two");
        }
        Bar = new TspSkinMainMenuBar(Form);
        Bar->SetParent(Form);
        Bar->SetFormSkinner(Skinner);
        if (D)
            Bar->SetSkinData(D);
        Bar->SetMainMenu(Menu);
        Pump();
    }
    TMenuItem* Add(TMenuItem* Parent, const std::string& Caption)
    {
        auto* i = new TMenuItem(Form);
        i->SetCaption(Caption);
        Parent->Add(i);
        return i;
    }
    TPoint BarOrigin() const
    {
        POINT p{0, 0};
        ClientToScreen(Bar->Handle(), &p);
        return TPoint(p.x, p.y);
    }
    static void Key(WORD VK) { menutest::Key(VK); }
    void ClickBar(int X, int Y)
    {
        const TPoint o = BarOrigin();
        HeadlessClick(o.x + X, o.y + Y);
        Application->ProcessMessages();
        Pump();
    }
    TspSkinMenu* Chain() const { return Skinner->SkinMenu; }
    int TextW(const std::string& S, TFont* F)
    {
        TBitmap b;
        b.SetSize(4, 4);
        b.Canvas()->Font()->Assign(F);
        TRect r(0, 0, 0, 0);
        DrawWideText(b.Canvas(), S, r, DT_CALCRECT);
        return r.right - r.left;
    }
    TspSkinMainMenu* Menu = nullptr;
    TspSkinMainMenuBar* Bar = nullptr;
};

}  // namespace

TEST_F(SkinMenuBarTest, BuiltInItemWidthsAndLook)
{
    MakeBarForm({"&File", "&Edit", "&View"});
    ASSERT_EQ(Bar->ObjectList.size(), 3u);
    Bar->CalcObjectRects();
    int x = 2;
    for (auto& o : Bar->ObjectList) {
        const int w = TextW(o->MenuItem->Caption(), Bar->DefItemFont()) + 12;
        EXPECT_EQ(o->ObjectRect.left, x);
        EXPECT_EQ(o->ObjectRect.right - o->ObjectRect.left, w);
        x += w;
    }
    EXPECT_FALSE(Bar->Scroll);
    const TPoint o = BarOrigin();
    EXPECT_EQ(Pixel(o.x + 3, o.y + 5) & 0xFFFFFF, static_cast<COLORREF>(ColorToRGB(clBtnFace)));
    // Pressed: navy frame, dark fill; its menu opens below it.
    const TRect r = Bar->ObjectList[1]->ObjectRect;
    ClickBar(r.left + 4, 8);
    ASSERT_TRUE(Chain()->Visible());
    EXPECT_TRUE(Bar->ObjectList[1]->Down());
    EXPECT_EQ(Pixel(o.x + r.left, o.y + r.top) & 0xFFFFFF, 0x800000u);
    EXPECT_EQ(Pixel(o.x + r.left + 3, o.y + r.top + 2) & 0xFFFFFF, 0xB59385u);
    RECT pr{};
    GetWindowRect(Chain()->Level(0)->Handle(), &pr);
    EXPECT_EQ(pr.left, o.x + r.left);
    EXPECT_EQ(pr.top, o.y + r.bottom);
    EXPECT_TRUE(Skinner->InMainMenu);
    Key(VK_ESCAPE);
    EXPECT_FALSE(Chain()->Visible());
    Key(VK_ESCAPE);
    EXPECT_FALSE(Skinner->InMainMenu);
    EXPECT_FALSE(Bar->ObjectList[1]->Down());
}

TEST_F(SkinMenuBarTest, ANarrowBarHidesItemsBehindTheMarker)
{
    MakeBarForm({"First", "Second", "Third", "Fourth", "Fifth"}, nullptr, 200);
    Bar->CalcObjectRects();
    ASSERT_TRUE(Bar->Scroll);
    int hidden = 0, firstHidden = -1;
    for (int i = 0; i < static_cast<int>(Bar->ObjectList.size()); ++i) {
        auto& it = Bar->ObjectList[static_cast<std::size_t>(i)];
        if (!it->Visible) {
            ++hidden;
            if (firstHidden < 0)
                firstHidden = i;
            EXPECT_FALSE(it->Enabled);
        } else {
            EXPECT_LE(it->ObjectRect.right, Bar->NewItemsRect.right - 5);
        }
    }
    ASSERT_GT(hidden, 0);
    const TRect m = Bar->MarkerRect();
    EXPECT_EQ(m.right - m.left, 5);
    ClickBar(m.left + 2, 8);
    ASSERT_TRUE(Chain()->Visible());
    TspSkinPopupWindow* w = Chain()->Level(0);
    ASSERT_EQ(w->ItemCount(), hidden);
    EXPECT_EQ(w->Item(0)->MenuItem, Menu->Items()->Items(firstHidden));
    // A wider form brings them back with their old Enabled.
    Key(VK_ESCAPE);
    Form->SetWidth(700);
    Pump();
    Bar->CalcObjectRects();
    for (auto& it : Bar->ObjectList) {
        EXPECT_TRUE(it->Visible);
        EXPECT_TRUE(it->Enabled);
    }
    EXPECT_FALSE(Bar->Scroll);
}

TEST_F(SkinMenuBarTest, AnOpenMenuFollowsThePointerAlongTheBar)
{
    MakeBarForm({"File", "Edit"});
    const TRect a = Bar->ObjectList[0]->ObjectRect, b = Bar->ObjectList[1]->ObjectRect;
    ClickBar(a.left + 4, 8);
    ASSERT_TRUE(Bar->ObjectList[0]->Down());
    const TPoint o = BarOrigin();
    HeadlessMouseMove(o.x + b.left + 4, o.y + 8);
    Pump();
    Bar->MouseTimerProc(nullptr);
    EXPECT_FALSE(Bar->ObjectList[0]->Down());
    EXPECT_TRUE(Bar->ObjectList[1]->Down());
    ASSERT_TRUE(Chain()->Visible());
    EXPECT_EQ(Chain()->Level(0)->Item(0)->MenuItem, Menu->Items()->Items(1)->Items(0));
}

TEST_F(SkinMenuBarTest, KeyboardMenuMode)
{
    MakeBarForm({"&File", "&Edit", "&View"});
    Bar->ObjectList[2]->MenuItem->SetEnabled(false);
    Bar->UpDateEnabledItems();
    std::vector<std::string> log;
    struct THandler {
        std::vector<std::string>* Log;
        void Enter(TObject*) { Log->push_back("enter"); }
        void Exit(TObject*) { Log->push_back("exit"); }
    } h{&log};
    Skinner->OnMainMenuEnter = MakeEvent(&h, &THandler::Enter);
    Skinner->OnMainMenuExit = MakeEvent(&h, &THandler::Exit);
    // F10 (and Alt) reach the form as SC_KEYMENU.
    SendMessage(Form->Handle(), WM_SYSCOMMAND, SC_KEYMENU, 0);
    Pump();
    ASSERT_TRUE(Skinner->InMainMenu);
    EXPECT_TRUE(Bar->ObjectList[0]->Active);
    Key(VK_RIGHT);
    EXPECT_TRUE(Bar->ObjectList[1]->Active);
    Key(VK_RIGHT);  // skips the disabled item and wraps
    EXPECT_TRUE(Bar->ObjectList[0]->Active);
    Key(VK_LEFT);
    EXPECT_TRUE(Bar->ObjectList[1]->Active);
    Key(VK_RETURN);
    ASSERT_TRUE(Chain()->Visible());
    EXPECT_TRUE(Bar->ObjectList[1]->Down());
    Key(VK_RIGHT);  // a leaf row: the next bar item's menu
    EXPECT_TRUE(Bar->ObjectList[0]->Down());
    ASSERT_TRUE(Chain()->Visible());
    EXPECT_EQ(Chain()->Level(0)->Item(0)->MenuItem, Menu->Items()->Items(0)->Items(0));
    Key(VK_ESCAPE);  // closes the popup, stays in the mode
    EXPECT_FALSE(Chain()->Visible());
    EXPECT_TRUE(Skinner->InMainMenu);
    EXPECT_TRUE(Bar->ObjectList[0]->Active);
    Key('E');  // an accelerator opens its item
    EXPECT_TRUE(Bar->ObjectList[1]->Down());
    Key(VK_ESCAPE);
    Key(VK_ESCAPE);
    EXPECT_FALSE(Skinner->InMainMenu);
    EXPECT_FALSE(AppMessageHookInstalled(Skinner));
    EXPECT_EQ(log, (std::vector<std::string>{"enter", "exit"}));
}

TEST_F(SkinMenuBarTest, ChoosingASubItemRunsItAndLeavesTheMode)
{
    MakeBarForm({"&File"});
    int clicks = 0;
    struct THandler {
        int* N;
        void Click(TObject*) { ++*N; }
    } h{&clicks};
    Menu->Items()->Items(0)->Items(1)->OnClick = MakeEvent(&h, &THandler::Click);
    SendMessage(Form->Handle(), WM_SYSCOMMAND, SC_KEYMENU, 0);
    Key(VK_DOWN);
    ASSERT_TRUE(Chain()->Visible());
    Key(VK_DOWN);
    Key(VK_RETURN);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(Skinner->InMainMenu);
    EXPECT_FALSE(Skinner->InMenu);
    EXPECT_FALSE(Bar->ObjectList[0]->Down());
}

TEST_F(SkinMenuBarTest, AltF4IsNeverAnAccelerator)
{
    MakeBarForm({"&4th", "&File"});
    TMessage m{};
    m.Msg = WM_SYSKEYDOWN;
    m.WParam = VK_F4;
    HeadlessKeyDown(VK_MENU);
    HeadlessProcessMessages();
    bool handled = false;
    Skinner->FormShortCut(m, handled);
    EXPECT_FALSE(handled);
    EXPECT_FALSE(Chain()->Visible());
    m.WParam = 'F';
    Skinner->FormShortCut(m, handled);
    EXPECT_TRUE(handled);
    EXPECT_TRUE(Chain()->Visible());
    HeadlessKeyUp(VK_MENU);
    Pump();
}

TEST_F(SkinMenuBarTest, SkinnedBarOnSkinNew)
{
    TspSkinData* d = LoadSkinNew();
    MakeBarForm({"&File", "&Edit", "&View", "&Help"}, d, 460);
    ASSERT_TRUE(Bar->FSkinSupport);
    EXPECT_EQ(Bar->Height(), Bar->BarData->SkinRect.bottom - Bar->BarData->SkinRect.top);
    Bar->SetBounds(Bar->Left(), Bar->Top(), Bar->Width(), 60);
    EXPECT_EQ(Bar->Height(), Bar->BarData->SkinRect.bottom - Bar->BarData->SkinRect.top);
    ASSERT_NE(Bar->ObjectList[0]->Data, nullptr);
    // A context menu and a sub-menu over it, for the picture.
    Menu->Items()->Items(0)->Items(0)->SetShortCut(ShortCut('N', TShiftState{ssCtrl}));
    Menu->Items()->Items(0)->Items(1)->SetChecked(true);
    TMenuItem* more = Add(Menu->Items()->Items(0), "More");
    Add(more, "Inner");
    const TRect f = Bar->ObjectList[0]->ObjectRect;
    ClickBar(f.left + 4, 8);
    ASSERT_TRUE(Chain()->Visible());
    Key(VK_UP);
    Key(VK_RIGHT);
    ASSERT_EQ(Chain()->LevelCount(), 2);
    menutest::ShotScreenArea("menu-bar-skinned", 90, 90, 480, 300);
    Key(VK_ESCAPE);
    Key(VK_ESCAPE);
    Key(VK_ESCAPE);
    EXPECT_FALSE(Skinner->InMainMenu);
}

TEST_F(SkinMenuBarTest, ABarWithoutFormComponentOrMenu)
{
    MakeForm(100, 100, 300, 200);
    auto* bar = new TspSkinMainMenuBar(Form);
    bar->SetParent(Form);
    Pump();
    bar->EnterMenuMode();
    bar->SelectNextBarItem();
    EXPECT_FALSE(bar->ChooseActiveItem());
    EXPECT_FALSE(bar->FindBarAccel('F'));
    auto* menu = new TMainMenu(Form);
    Add(menu->Items(), "&File");
    bar->SetMainMenu(menu);
    Pump();
    bar->ObjectList[0]->MouseDown();  // no form component: nothing opens
    EXPECT_FALSE(Chain()->Visible());
    delete menu;
    EXPECT_TRUE(bar->ObjectList.empty());
    EXPECT_EQ(bar->MainMenu(), nullptr);
}

TEST_F(SkinMenuBarTest, AMergedChildMenuJoinsTheItemsByGroup)
{
    MakeBarForm({"&File", "&Window", "&Help"});
    Menu->Items()->Items(1)->SetGroupIndex(9);
    Menu->Items()->Items(2)->SetGroupIndex(10);
    auto* child = new TMainMenu(Form);
    Add(child->Items(), "&Edit")->SetGroupIndex(1);
    Add(child->Items(), "Child &help")->SetGroupIndex(10);
    auto captions = [&] {
        std::vector<std::string> c;
        for (auto& o : Bar->ObjectList)
            c.push_back(o->MenuItem->Caption());
        return c;
    };
    ASSERT_TRUE(Bar->ScrollMenu);
    Bar->Merge(child);
    EXPECT_TRUE(Bar->ChildMenuIn);
    EXPECT_EQ(captions(), (std::vector<std::string>{"&File", "&Edit", "&Window", "Child &help"}));
    EXPECT_FALSE(Bar->ScrollMenu);
    Bar->UnMerge();
    EXPECT_FALSE(Bar->ChildMenuIn);
    EXPECT_EQ(captions(), (std::vector<std::string>{"&File", "&Window", "&Help"}));
    EXPECT_FALSE(Bar->ScrollMenu);  // stays off
    // A merged menu that is freed leaves the bar's own items.
    Bar->Merge(child);
    child->Free();
    EXPECT_EQ(captions(), (std::vector<std::string>{"&File", "&Window", "&Help"}));
    EXPECT_EQ(Bar->GetChildMainMenu(), nullptr);
}
