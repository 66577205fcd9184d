// The images menu: grid layout with button and header rows, place, key
// moves, the order of its events and the closing rules.
#include "platform/rtl/Clock.h"
#include "platform/user/Focus.h"
#include "skin/core/LayerManager.h"
#include "skin/forms/SkinImagesMenu.h"
#include "skin/forms/SkinMenus.h"
#include "skin/controls/SkinMenuButtons.h"

#include "FormTestSupport.h"
#include "MenuTestSupport.h"

#include <memory>
#include <string>
#include <vector>

using formtest::TFormTest;

namespace {

struct TLogHandler {
    std::vector<std::string>* Log;
    void Popup(TObject*) { Log->push_back("popup"); }
    void Close(TObject*) { Log->push_back("close"); }
    void InternalClose(TObject*) { Log->push_back("internal-close"); }
    void ItemClick(TObject*) { Log->push_back("item-click"); }
    void Change(TObject*) { Log->push_back("change"); }
    void InternalChange(TObject*) { Log->push_back("internal-change"); }
    void Click(TObject*) { Log->push_back("click"); }
};

class SkinImagesMenuTest : public menutest::TClockedFormTest {
protected:
    // A form, 16 coloured 16 x 16 pictures and a menu over them in 8 columns.
    void MakeMenu(TspSkinData* D = nullptr)
    {
        MakeForm(100, 100, 300, 200, D);
        Images = new TCustomImageList(Form);
        Images->SetWidth(16);
        Images->SetHeight(16);
        for (int i = 0; i < 16; ++i) {
            TBitmap b;
            b.SetSize(16, 16);
            b.Canvas()->Brush()->SetColor(static_cast<TColor>((i * 0x10) | ((255 - i * 0x10) << 8) | (0x40 << 16)));
            b.Canvas()->FillRect(TRect(0, 0, 16, 16));
            Images->AddMasked(&b, clNone);
        }
        Menu = new TspSkinImagesMenu(Form);
        Menu->SetImages(Images);
        Menu->SetColumnsCount(8);
        if (D)
            Menu->SetSkinData(D);
        Menu->OnMenuPopup = MakeEvent(&H, &TLogHandler::Popup);
        Menu->OnMenuClose = MakeEvent(&H, &TLogHandler::Close);
        Menu->OnInternalMenuClose = MakeEvent(&H, &TLogHandler::InternalClose);
        Menu->OnItemClick = MakeEvent(&H, &TLogHandler::ItemClick);
        Menu->OnChange = MakeEvent(&H, &TLogHandler::Change);
        Menu->OnInternalChange = MakeEvent(&H, &TLogHandler::InternalChange);
    }
    TspImagesMenuItem* AddItem(int Image, bool Button = false, bool Header = false, const std::string& Caption = "")
    {
        TspImagesMenuItem* it = Menu->ImagesItems()->Add();
        it->ImageIndex = Image;
        it->Button = Button;
        it->Header = Header;
        it->Caption = Caption;
        it->OnClick = MakeEvent(&H, &TLogHandler::Click);
        return it;
    }
    void Add16()
    {
        for (int i = 0; i < 16; ++i)
            AddItem(i);
    }
    static void Key(WORD VK) { menutest::Key(VK); }
    RECT WinRect() const
    {
        RECT r{};
        GetWindowRect(Menu->PopupWindow()->Handle(), &r);
        return r;
    }
    TRect ItemRect(int I) const { return Menu->ImagesItems()->Items(I)->ItemRect; }
    // A click on item I of the open grid.
    void ClickItem(int I)
    {
        const RECT r = WinRect();
        const TRect ir = ItemRect(I);
        HeadlessMouseMove(r.left + ir.left + 8, r.top + ir.top + 8);
        HeadlessMouseDown();
        HeadlessMouseUp();
        Application->ProcessMessages();
        Pump();
    }
    TCustomImageList* Images = nullptr;
    TspSkinImagesMenu* Menu = nullptr;
    std::vector<std::string> Log;
    TLogHandler H{&Log};
};

}  // namespace

TEST_F(SkinImagesMenuTest, SixteenImagesInEightColumnsAndButtonRows)
{
    MakeMenu();
    Add16();
    AddItem(-1, true, false, "Automatic");
    AddItem(-1, true, false, "More colours...");
    Menu->Popup(200, 200);
    Pump();
    ASSERT_NE(Menu->PopupWindow(), nullptr);
    EXPECT_EQ(ItemRect(0), TRect(5, 5, 31, 31));
    EXPECT_EQ(ItemRect(7), TRect(5 + 7 * 26, 5, 5 + 8 * 26, 31));
    EXPECT_EQ(ItemRect(8), TRect(5, 32, 31, 58));
    EXPECT_EQ(ItemRect(16), TRect(5, 59, 5 + 8 * 26, 85));
    EXPECT_EQ(ItemRect(17), TRect(5, 86, 5 + 8 * 26, 112));
    EXPECT_EQ(Menu->PopupWindow()->Width(), 8 * 26 + 10);
    EXPECT_EQ(Menu->PopupWindow()->Height(), 112 - 5 + 10);
    EXPECT_EQ(WinRect().left, 200);
    EXPECT_EQ(WinRect().top, 200);
    Shot("images-menu-builtin");
    Key(VK_ESCAPE);
}

TEST_F(SkinImagesMenuTest, AButtonBetweenPlainItemsEndsTheRow)
{
    MakeMenu();
    AddItem(0);
    AddItem(1);
    AddItem(-1, true, false, "Button");
    AddItem(2);
    Menu->Popup(200, 200);
    Pump();
    EXPECT_EQ(ItemRect(2).top, 32);
    EXPECT_EQ(ItemRect(3), TRect(5, 59, 31, 85));
    Key(VK_ESCAPE);
}

TEST_F(SkinImagesMenuTest, ColumnsCountOutsideOneToFiftyIsIgnored)
{
    MakeMenu();
    for (int v : {0, 51, -1}) {
        Menu->SetColumnsCount(v);
        EXPECT_EQ(Menu->ColumnsCount(), 8);
    }
    Menu->SetColumnsCount(50);
    EXPECT_EQ(Menu->ColumnsCount(), 50);
}

TEST_F(SkinImagesMenuTest, NothingToShowOpensNothing)
{
    MakeMenu();
    Menu->Popup(200, 200);  // no items
    EXPECT_EQ(Menu->PopupWindow(), nullptr);
    Add16();
    Menu->SetImages(nullptr);
    Menu->Popup(200, 200);  // no images
    EXPECT_EQ(Menu->PopupWindow(), nullptr);
    // The internal close notice comes at once, for a button waiting on it.
    EXPECT_EQ(Log, (std::vector<std::string>{"popup", "internal-close", "popup", "internal-close"}));
    EXPECT_FALSE(AppMessageHookInstalled(Menu));
}

TEST_F(SkinImagesMenuTest, AClickChoosesAndFiresTheEventsInOrder)
{
    MakeMenu();
    Add16();
    Menu->Popup(200, 200);
    Pump();
    Log.clear();
    ClickItem(3);
    EXPECT_EQ(Menu->ItemIndex, 3);
    EXPECT_EQ(Menu->PopupWindow(), nullptr);
    EXPECT_EQ(Log, (std::vector<std::string>{"internal-close", "close", "click", "item-click", "internal-change",
                                             "change"}));
    // Enter with no hot item confirms the same choice: no change events.
    Menu->Popup(200, 200);
    Pump();
    Log.clear();
    Key(VK_RETURN);
    EXPECT_EQ(Log, (std::vector<std::string>{"internal-close", "close", "click", "item-click"}));
}

TEST_F(SkinImagesMenuTest, EscapeAndAClickOutsideFireOnlyTheCloseEvents)
{
    MakeMenu();
    Add16();
    Menu->ItemIndex = 2;
    Menu->Popup(200, 200);
    Pump();
    Log.clear();
    Key(VK_ESCAPE);
    EXPECT_EQ(Menu->PopupWindow(), nullptr);
    EXPECT_EQ(Log, (std::vector<std::string>{"internal-close", "close"}));
    EXPECT_FALSE(AppMessageHookInstalled(Menu->PopupWindow()));
    Menu->Popup(200, 200);
    Pump();
    Log.clear();
    HeadlessClick(700, 700);
    Application->ProcessMessages();
    Pump();
    EXPECT_EQ(Menu->PopupWindow(), nullptr);
    EXPECT_EQ(Log, (std::vector<std::string>{"internal-close", "close"}));
    EXPECT_EQ(Menu->ItemIndex, 2);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(SkinImagesMenuTest, KeyMovesSkipHeadersSoEnterNeverChoosesOne)
{
    MakeMenu();
    AddItem(-1, false, true, "Standard");
    Add16();
    AddItem(-1, false, true, "Custom");
    AddItem(0, true, false, "Pick...");
    Menu->Popup(200, 200);
    Pump();
    TspSkinImagesMenuPopupWindow* w = Menu->PopupWindow();
    Key(VK_DOWN);  // from none: the first item that is no header
    EXPECT_EQ(w->MouseInItem, 1);
    Key(VK_DOWN);  // the same column, one row down
    EXPECT_EQ(w->MouseInItem, 9);
    Key(VK_DOWN);  // past the header to the button
    EXPECT_EQ(w->MouseInItem, 18);
    Key(VK_UP);  // only to a higher row: the button's left column
    EXPECT_EQ(w->MouseInItem, 9);
    Key(VK_DOWN);
    Key(VK_LEFT);  // the header between is skipped
    EXPECT_EQ(w->MouseInItem, 16);
    Key(VK_RIGHT);
    EXPECT_EQ(w->MouseInItem, 18);
    Key(VK_RIGHT);  // wraps past the first header
    EXPECT_EQ(w->MouseInItem, 1);
    Key(VK_LEFT);  // wraps to the last
    EXPECT_EQ(w->MouseInItem, 18);
    Key(VK_LEFT);
    EXPECT_EQ(w->MouseInItem, 16);
    Log.clear();
    Key(VK_RETURN);
    EXPECT_EQ(Menu->ItemIndex, 16);
    EXPECT_EQ(Log.back(), "change");
}

TEST_F(SkinImagesMenuTest, OpensUpwardNearTheBottomAndMovesLeftAtTheRight)
{
    MakeMenu();
    Add16();
    Menu->PopupFromRect(TRect(1250, 990, 1270, 1010));
    Pump();
    const int w = Menu->PopupWindow()->Width(), h = Menu->PopupWindow()->Height();
    TRect wa;
    GetPrimaryArea(true, wa);
    EXPECT_EQ(WinRect().top, 1010 - h - 20);
    EXPECT_EQ(WinRect().left, wa.right - w);
    Key(VK_ESCAPE);
}

TEST_F(SkinImagesMenuTest, SkinnedGridWithHeaderAndButton)
{
    MakeMenu(LoadSkinNew());
    AddItem(-1, false, true, "Theme colours");
    Add16();
    AddItem(-1, true, false, "More colours...");
    Menu->ItemIndex = 5;
    Menu->Popup(Place().left + 20, Place().top + 40);
    Pump();
    ASSERT_TRUE(Menu->PopupWindow()->FSkinSupport);
    Key(VK_DOWN);
    Key(VK_DOWN);
    Pump();
    const RECT r = WinRect();
    menutest::ShotScreenArea("images-menu-skinned", r.left - 10, r.top - 10, r.right - r.left + 20, r.bottom - r.top + 20);
    Key(VK_ESCAPE);
}

TEST_F(SkinImagesMenuTest, TheImagesGoingAwayCloseTheGrid)
{
    MakeMenu();
    Add16();
    Menu->Popup(200, 200);
    Pump();
    delete Images;
    Images = nullptr;
    EXPECT_EQ(Menu->PopupWindow(), nullptr);
    Pump();
}

namespace {

// A popup menu that only notes its opening, so the order of the two menus
// a button opens can be read.
class TNotingMenu : public TPopupMenu, public ISkinMenuPopup {
public:
    TNotingMenu(TComponent* AOwner, std::vector<std::string>* ALog) : TPopupMenu(AOwner), Log(ALog) {}
    void PopupFromRect2(TControl* Sender, const TRect&, bool) override
    {
        Log->push_back("popup-menu");
        Sender->Perform(WM_SKINMENUCLOSE, 0, 0);
    }
    std::vector<std::string>* Log;
};

}  // namespace

// A menu button over an images menu: a press opens the grid under the
// button, the choice closes it and the button shows the chosen picture;
// with a popup menu too, that opens first.
TEST_F(SkinImagesMenuTest, MenuButtonsOpenTheImagesMenuAndShowItsChoice)
{
    MakeMenu();
    Add16();
    auto* button = new TspSkinMenuSpeedButton(Form);
    button->SetParent(Form);
    button->SetBounds(10, 10, 60, 30);
    button->SetSkinImagesMenu(Menu);
    button->SetUseImagesMenuImage(true);
    button->SetFlat(true);
    button->OnShowTrackMenu = MakeEvent(&H, &TLogHandler::Click);
    Pump();
    Log.clear();
    const TPoint p = button->ClientToScreen(TPoint(20, 15));
    HeadlessMouseMove(p.x, p.y);
    HeadlessMouseDown();
    HeadlessMouseUp();
    Application->ProcessMessages();
    Pump();
    ASSERT_NE(Menu->PopupWindow(), nullptr);
    EXPECT_TRUE(button->FMenuTracked);
    EXPECT_TRUE(button->Transparent()) << "a flat button is drawn transparent while its menu shows";
    EXPECT_GE(WinRect().top, p.y + 15) << "the grid opens below the button";
    ClickItem(3);
    EXPECT_EQ(Menu->ItemIndex, 3);
    EXPECT_FALSE(button->FMenuTracked);
    EXPECT_FALSE(button->Down());
    // The button draws the chosen picture (the fourth colour of the list).
    Form->Repaint();
    Application->ProcessMessages();
    Pump();
    const COLORREF want = static_cast<COLORREF>((3 * 0x10) | ((255 - 3 * 0x10) << 8) | (0x40 << 16));
    bool seen = false;
    for (int y = 0; y < 30 && !seen; ++y)
        for (int x = 0; x < 45 && !seen; ++x) {
            const TPoint q = button->ClientToScreen(TPoint(x, y));
            seen = HeadlessBackend().Pixel(q.x, q.y) == want;
        }
    EXPECT_TRUE(seen);

    // Both menus: the popup menu first, then the images menu.
    auto* popup = new TNotingMenu(Form, &Log);
    button->SetSkinPopupMenu(popup);
    Log.clear();
    button->TrackMenu();
    Pump();
    EXPECT_EQ(Log, (std::vector<std::string>{"click", "popup-menu", "click", "popup"}));
    Key(VK_ESCAPE);
    EXPECT_FALSE(button->FMenuTracked);

    // An images menu with nothing to show does not leave the button pressed;
    // a freed one is forgotten.
    button->SetSkinPopupMenu(nullptr);
    Menu->ImagesItems()->Clear();
    button->FMenuTracked = true;
    button->TrackMenu();
    EXPECT_FALSE(button->FMenuTracked);
    delete Menu;
    Menu = nullptr;
    EXPECT_EQ(button->SkinImagesMenu(), nullptr);
}
