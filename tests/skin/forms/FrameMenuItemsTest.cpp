// The main menu in the skinned frame, on a fixture skin made here from
// skin-new (which has no menu band: the program uses the bar): items laid out
// in the menu area, hidden when they pass it, opened by the pointer, moved
// along by the pointer and the keys, leaves run, and rebuilt on a change.
#include "skin/forms/FrameMenuItems.h"
#include "skin/forms/SkinMenus.h"

#include "FormTestSupport.h"
#include "MenuTestSupport.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

class FrameMenuItemsTest : public menutest::TClockedFormTest {
protected:
    TspSkinData* LoadMenuSkin()
    {
        TspSkinData* d = LoadSkinNew();
        d->SetShowLayeredBorders(false);
        ItemH = menutest::AddFrameMenuBand(d);
        return d;
    }
    TMenuItem* Add(TMenuItem* Parent, const std::string& Caption, const std::string& Name = "")
    {
        auto* i = new TMenuItem(Form);
        i->SetCaption(Caption);
        if (!Name.empty())
            i->SetName(Name);
        Parent->Add(i);
        return i;
    }
    // A form on the fixture with a main menu of Captions, each with two sub-items.
    void MakeMenuForm(const std::vector<std::string>& Captions, int Width = 420)
    {
        TspSkinData* d = LoadMenuSkin();
        MakeForm(100, 100, Width, 260, d);
        Menu = new TMainMenu(Form);
        int n = 0;
        for (const std::string& c : Captions) {
            TMenuItem* top = Add(Menu->Items(), c, "top" + std::to_string(n++));
            Add(top, c + " one");
            Add(top, c + " two");
        }
        Skinner->SetMainMenu(Menu);
        Pump();
    }
    std::vector<TspSkinMainMenuItem*> Items() const
    {
        std::vector<TspSkinMainMenuItem*> v;
        for (auto& o : Skinner->ObjectList)
            if (auto* m = dynamic_cast<TspSkinMainMenuItem*>(o.get()))
                v.push_back(m);
        return v;
    }
    void ClickItem(int I)
    {
        const TRect r = Items()[static_cast<std::size_t>(I)]->ObjectRect;
        HeadlessClick(Place().left + r.left + 5, Place().top + r.top + 5);
        Application->ProcessMessages();
        Pump();
    }
    void PointAtItem(int I)
    {
        const TRect r = Items()[static_cast<std::size_t>(I)]->ObjectRect;
        HeadlessMouseMove(Place().left + r.left + 5, Place().top + r.top + 5);
        Application->ProcessMessages();
        Pump();
    }
    static void Key(WORD VK) { menutest::Key(VK); }
    TspSkinMenu* Chain() const { return Skinner->SkinMenu; }
    TMainMenu* Menu = nullptr;
    int ItemH = 0;
};

}  // namespace

TEST_F(FrameMenuItemsTest, ItemsFollowTheVisibleTopItemsLeftToRightInTheMenuArea)
{
    MakeMenuForm({"&File", "&Edit", "&View"});
    Menu->Items()->Items(1)->SetVisible(false);
    Skinner->UpdateMainMenu(true);
    auto items = Items();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0]->IDName, "top0");
    EXPECT_EQ(items[1]->IDName, "top2");
    // They stand after the skin's own objects.
    EXPECT_EQ(Skinner->ObjectList.back().get(), items[1]);
    const TRect area = Skinner->NewMainMenuRect;
    EXPECT_EQ(items[0]->ObjectRect.left, area.left);
    EXPECT_EQ(items[0]->ObjectRect.top, area.top);
    EXPECT_EQ(items[0]->ObjectRect.Height(), ItemH);
    EXPECT_EQ(items[1]->ObjectRect.left, items[0]->ObjectRect.right);
    // Width: the piece less its text part plus the caption and 2.
    const TRect text = items[0]->TextRct;
    EXPECT_GT(items[0]->ObjectRect.Width(), items[0]->SkinRect.Width() - text.Width() + 2);
    // Above the client area: the pointer there is over an object, not the client.
    EXPECT_EQ(HitAt(items[0]->ObjectRect.left + 4, items[0]->ObjectRect.top + 4), HTOBJECT);
    Shot("frame-menu-items");
}

TEST_F(FrameMenuItemsTest, NoItemsWithoutTheSkinEntryOrWithAnEntryOfAnotherKind)
{
    LoadSkinNew();
    MakeForm(100, 100, 400, 240, Data);
    Menu = new TMainMenu(Form);
    Add(Menu->Items(), "&File");
    Skinner->SetMainMenu(Menu);
    EXPECT_TRUE(Items().empty());
    // A "MAINMENUITEM" that is a plain button entry is treated as missing.
    Data->ObjectList.push_back(std::make_unique<TspDataSkinButton>("MAINMENUITEM"));
    Skinner->UpdateMainMenu(true);
    EXPECT_TRUE(Items().empty());
    // Without any skin nothing is made either.
    Skinner->SetSkinData(nullptr);
    Skinner->UpdateMainMenu(true);
    EXPECT_TRUE(Items().empty());
}

TEST_F(FrameMenuItemsTest, AnItemPastTheAreaHidesAndKeepsItsOldEnabled)
{
    MakeMenuForm({"&File menu", "&Edit menu", "&View menu", "&Tools menu", "&Help menu"}, 560);
    Menu->Items()->Items(4)->SetEnabled(false);
    Skinner->UpdateMainMenu(true);
    auto items = Items();
    ASSERT_EQ(items.size(), 5u);
    ASSERT_TRUE(items[4]->Visible);
    EXPECT_FALSE(items[4]->Enabled);
    // Narrow the form until the last items no longer fit.
    const int narrow = std::max(Skinner->GetMinWidth(), items[1]->ObjectRect.right + 30);
    ASSERT_LT(narrow, items[3]->ObjectRect.right) << "the fixture's items must pass the narrow area";
    Form->SetWidth(narrow);
    Pump();
    EXPECT_TRUE(items[0]->Visible);
    EXPECT_TRUE(items[1]->Visible);
    EXPECT_FALSE(items[3]->Visible);
    EXPECT_FALSE(items[3]->Enabled);
    EXPECT_FALSE(items[4]->Visible);
    for (auto* i : items)
        if (i->Visible)
            EXPECT_LE(i->ObjectRect.right, Skinner->NewMainMenuRect.right);
    Shot("frame-menu-narrow");
    Form->SetWidth(560);
    Pump();
    EXPECT_TRUE(items[3]->Visible);
    EXPECT_TRUE(items[3]->Enabled);
    EXPECT_TRUE(items[4]->Visible);
    EXPECT_FALSE(items[4]->Enabled);  // it was disabled before it hid
}

TEST_F(FrameMenuItemsTest, APressOpensTheSubMenuAndThePointerCarriesItAlong)
{
    MakeMenuForm({"&File", "&Edit", "&View"});
    Menu->Items()->Items(2)->SetEnabled(false);
    Skinner->UpdateMainMenu(true);
    ClickItem(0);
    ASSERT_TRUE(Chain()->Visible());
    EXPECT_TRUE(Items()[0]->Down());
    EXPECT_TRUE(Skinner->InMainMenu);
    EXPECT_EQ(Chain()->Level(0)->Item(0)->MenuItem, Menu->Items()->Items(0)->Items(0));
    Shot("frame-menu-open");
    // Onto the next item: its menu replaces the first.
    PointAtItem(1);
    Skinner->MouseTimerProc(nullptr);
    EXPECT_FALSE(Items()[0]->Down());
    EXPECT_TRUE(Items()[1]->Down());
    ASSERT_TRUE(Chain()->Visible());
    EXPECT_EQ(Chain()->Level(0)->Item(0)->MenuItem, Menu->Items()->Items(1)->Items(0));
    // A disabled item ignores presses and the pointer.
    Key(VK_ESCAPE);
    ClickItem(2);
    EXPECT_FALSE(Chain()->Visible());
    EXPECT_FALSE(Items()[2]->Down());
}

TEST_F(FrameMenuItemsTest, ALeafItemRunsItsClickAndStaysUp)
{
    MakeMenuForm({"&File"});
    TMenuItem* about = Add(Menu->Items(), "&About", "about");
    int clicks = 0;
    std::vector<std::string> downs;
    struct THandler {
        int* N;
        std::vector<std::string>* Downs;
        void Click(TObject*) { ++*N; }
        void Down(const std::string& Id, int, int, TRect, TMouseButton) { Downs->push_back(Id); }
    } h{&clicks, &downs};
    about->OnClick = MakeEvent(&h, &THandler::Click);
    Skinner->OnMouseDownEvent = MakeEvent(&h, &THandler::Down);
    Skinner->UpdateMainMenu(true);
    ClickItem(1);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(downs, std::vector<std::string>{"about"});
    EXPECT_FALSE(Items()[1]->Down());
    EXPECT_FALSE(Skinner->InMenu);
    EXPECT_FALSE(Skinner->InMainMenu);
    EXPECT_FALSE(Chain()->Visible());
}

TEST_F(FrameMenuItemsTest, KeyboardMenuModeOnTheFrameItems)
{
    MakeMenuForm({"&File", "&Edit", "&View"});
    Menu->Items()->Items(2)->SetEnabled(false);
    Skinner->UpdateMainMenu(true);
    std::vector<std::string> log;
    struct THandler {
        std::vector<std::string>* Log;
        void Enter(TObject*) { Log->push_back("enter"); }
        void Exit(TObject*) { Log->push_back("exit"); }
    } h{&log};
    Skinner->OnMainMenuEnter = MakeEvent(&h, &THandler::Enter);
    Skinner->OnMainMenuExit = MakeEvent(&h, &THandler::Exit);
    SendMessage(Form->Handle(), WM_SYSCOMMAND, SC_KEYMENU, 0);
    Pump();
    ASSERT_TRUE(Skinner->InMainMenu);
    EXPECT_TRUE(AppMessageHookInstalled(Skinner));
    EXPECT_TRUE(Items()[0]->Active);
    Key(VK_RIGHT);
    EXPECT_TRUE(Items()[1]->Active);
    EXPECT_FALSE(Items()[0]->Active);
    Key(VK_RIGHT);  // skips the disabled item and wraps
    EXPECT_TRUE(Items()[0]->Active);
    Key(VK_LEFT);  // wraps backwards
    EXPECT_TRUE(Items()[1]->Active);
    Key(VK_RETURN);
    ASSERT_TRUE(Chain()->Visible());
    EXPECT_TRUE(Items()[1]->Down());
    Key(VK_RIGHT);  // a leaf row: the next item's menu
    EXPECT_TRUE(Items()[0]->Down());
    ASSERT_TRUE(Chain()->Visible());
    EXPECT_EQ(Chain()->Level(0)->Item(0)->MenuItem, Menu->Items()->Items(0)->Items(0));
    Key(VK_ESCAPE);  // closes the popup, stays in the mode with the item lit
    EXPECT_FALSE(Chain()->Visible());
    EXPECT_TRUE(Skinner->InMainMenu);
    EXPECT_TRUE(Items()[0]->Active);
    EXPECT_FALSE(Items()[0]->Down());
    Key('E');  // an accelerator opens its item
    EXPECT_TRUE(Items()[1]->Down());
    Key(VK_ESCAPE);
    Key(VK_ESCAPE);
    EXPECT_FALSE(Skinner->InMainMenu);
    EXPECT_FALSE(AppMessageHookInstalled(Skinner));
    for (auto* i : Items())
        EXPECT_FALSE(i->Active || i->Down());
    EXPECT_EQ(log, (std::vector<std::string>{"enter", "exit"}));
}

TEST_F(FrameMenuItemsTest, SubItemChosenByKeysRunsAndLeavesTheMode)
{
    MakeMenuForm({"&File"});
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
    EXPECT_FALSE(Items()[0]->Down());
    EXPECT_FALSE(AppMessageHookInstalled(Skinner));
}

TEST_F(FrameMenuItemsTest, RebuildingOrFreeingTheMenuResetsTheTrackedIndices)
{
    MakeMenuForm({"&File", "&Edit"});
    PointAtItem(1);
    Skinner->MouseTimerProc(nullptr);
    ASSERT_NE(Skinner->ActiveObject, -1);
    Skinner->UpdateMainMenu(true);
    EXPECT_EQ(Skinner->ActiveObject, -1);
    EXPECT_EQ(Skinner->OldActiveObject, -1);
    EXPECT_EQ(Skinner->MouseCaptureObject, -1);
    ASSERT_EQ(Items().size(), 2u);
    Menu->Free();
    Menu = nullptr;
    EXPECT_TRUE(Items().empty());
    Pump();
    // The pointer over the empty band finds nothing and nothing breaks.
    HeadlessMouseMove(Place().left + 20, Place().top + Skinner->NewMainMenuRect.top + 4);
    Application->ProcessMessages();
    Pump();
    SendMessage(Form->Handle(), WM_SYSCOMMAND, SC_KEYMENU, 0);
    EXPECT_FALSE(Skinner->InMainMenu);
    EXPECT_FALSE(AppMessageHookInstalled(Skinner));
}
