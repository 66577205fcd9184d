// The menus demo: a skinned form with a menu bar over a main menu (sub-menus,
// check and radio items, images, short cuts), a context menu, the system
// menu from the caption, a skinned hint with a title and an images menu,
// driven by injected input headless and shown on the X display.
#include "platform/backend/X11.h"
#include "platform/rtl/Clock.h"
#include "skin/forms/SkinHint.h"
#include "skin/forms/SkinImagesMenu.h"
#include "skin/forms/SkinMenuBar.h"
#include "skin/forms/SkinMenus.h"
#include "support/X11TestSession.h"

#include "FormTestSupport.h"
#include "MenuTestSupport.h"

#include <chrono>
#include <thread>

using formtest::TFormTest;

namespace {

class MenuDemoTest : public TFormTest {
protected:
    void TearDown() override
    {
        Application->SetMainForm(nullptr);
        TFormTest::TearDown();
    }
    TMenuItem* Add(TMenuItem* Parent, const std::string& Caption, TShortCut Short = 0)
    {
        auto* i = new TMenuItem(Form);
        i->SetCaption(Caption);
        i->SetShortCut(Short);
        Parent->Add(i);
        return i;
    }
    void AddSwatch(TColor C)
    {
        TBitmap b;
        b.SetSize(16, 16);
        b.Canvas()->Brush()->SetColor(C);
        b.Canvas()->FillRect(TRect(0, 0, 16, 16));
        Pictures->AddMasked(&b, clNone);
    }
    void BuildDemo(int X, int Y)
    {
        TspSkinData* d = LoadSkinNew();
        MakeForm(X, Y, 440, 300, d);
        Form->SetCaption("Tarnello menus");
        Application->SetMainForm(Form);
        Pictures = new TCustomImageList(Form);
        Pictures->SetWidth(16);
        Pictures->SetHeight(16);
        for (TColor c : {TColor(0x3070E0), TColor(0x40B040), TColor(0xD08030), TColor(0x2020C0), TColor(0xC040A0),
                         TColor(0x20C0C0), TColor(0x808080), TColor(0xF0F0F0)})
            AddSwatch(c);
        Main = new TspSkinMainMenu(Form);
        Main->SetImages(Pictures);
        TMenuItem* file = Add(Main->Items(), "&File");
        Add(file, "&Open...", ShortCut('O', TShiftState{ssCtrl}))->SetImageIndex(0);
        Add(file, "&Save", ShortCut('S', TShiftState{ssCtrl}))->SetImageIndex(1);
        Add(file, "-");
        TMenuItem* recent = Add(file, "&Recent");
        Add(recent, "clip-1.mkv");
        Add(recent, "clip-2.mp4");
        Add(file, "-");
        Add(file, "E&xit", ShortCut(VK_F4, TShiftState{ssAlt}));
        TMenuItem* view = Add(Main->Items(), "&View");
        Add(view, "&Toolbar")->SetChecked(true);
        Add(view, "-Size-")->SetEnabled(false);
        for (const char* s : {"&Small", "&Medium", "&Large"}) {
            TMenuItem* r = Add(view, s);
            r->SetRadioItem(true);
            r->SetGroupIndex(1);
        }
        view->Items(3)->SetChecked(true);
        Add(Main->Items(), "&Help");
        Bar = new TspSkinMainMenuBar(Form);
        Bar->SetParent(Form);
        Bar->SetFormSkinner(Skinner);
        Bar->SetSkinData(d);
        Bar->SetMainMenu(Main);
        Context = new TspSkinPopupMenu(Form);
        Add(Context->Items(), "Cu&t", ShortCut('X', TShiftState{ssCtrl}));
        Add(Context->Items(), "&Copy", ShortCut('C', TShiftState{ssCtrl}));
        Add(Context->Items(), "&Paste", ShortCut('V', TShiftState{ssCtrl}))->SetEnabled(false);
        Hint = new TspSkinHint(Form);
        Hint->SetSkinData(d);
        Colours = new TspSkinImagesMenu(Form);
        Colours->SetImages(Pictures);
        Colours->SetColumnsCount(4);
        Colours->SetSkinData(d);
        for (int i = 0; i < 8; ++i)
            Colours->ImagesItems()->Add()->ImageIndex = i;
        TspImagesMenuItem* more = Colours->ImagesItems()->Add();
        more->Button = true;
        more->Caption = "More colours...";
        Pump();
    }
    static void Key(WORD VK) { menutest::Key(VK); }
    TPoint BarPoint(int Item) const
    {
        POINT p{Bar->ObjectList[static_cast<std::size_t>(Item)]->ObjectRect.left + 6, 8};
        ClientToScreen(Bar->Handle(), &p);
        return TPoint(p.x, p.y);
    }
    static void ShotArea(const std::string& Name, int L, int T, int W, int H)
    {
        menutest::ShotScreenArea(Name, L, T, W, H);
    }
    TCustomImageList* Pictures = nullptr;
    TspSkinMainMenu* Main = nullptr;
    TspSkinMainMenuBar* Bar = nullptr;
    TspSkinPopupMenu* Context = nullptr;
    TspSkinHint* Hint = nullptr;
    TspSkinImagesMenu* Colours = nullptr;
};

}  // namespace

TEST_F(MenuDemoTest, TheMenusDemoRunsHeadlessUnderInput)
{
    TFakeClock clock(100000);
    TClockInstaller installer(clock);
    BuildDemo(120, 90);
    // The bar's File menu by a click, then its Recent sub-menu by the keys.
    const TPoint f = BarPoint(0);
    HeadlessClick(f.x, f.y);
    Application->ProcessMessages();
    Pump();
    ASSERT_TRUE(Skinner->SkinMenu->Visible());
    Key(VK_DOWN);
    Key(VK_DOWN);
    Key(VK_RIGHT);
    ASSERT_EQ(Skinner->SkinMenu->LevelCount(), 2);
    ShotArea("demo-menu-bar", 110, 80, 480, 340);
    // Along the bar to View with its check, header and radio rows (Right on
    // a row without sub-menu moves along the bar).
    Key(VK_ESCAPE);
    Key(VK_DOWN);
    Key(VK_RIGHT);
    ASSERT_TRUE(Skinner->SkinMenu->Visible());
    EXPECT_TRUE(Bar->ObjectList[1]->Down());
    ShotArea("demo-menu-view", 110, 80, 480, 340);
    Key(VK_ESCAPE);
    Key(VK_ESCAPE);
    EXPECT_FALSE(Skinner->InMainMenu);
    // The context menu at a point of the client area.
    Context->Popup(Place().left + 200, Place().top + 150);
    Pump();
    ASSERT_TRUE(Skinner->SkinMenu->Visible());
    ShotArea("demo-context-menu", 110, 80, 480, 340);
    Key(VK_ESCAPE);
    // The system menu from the caption.
    HeadlessMouseMove(Place().left + 250, Place().top + 12);
    HeadlessMouseDown(TMouseButton::Right);
    HeadlessMouseUp(TMouseButton::Right);
    Application->ProcessMessages();
    Pump();
    ASSERT_TRUE(Skinner->SkinMenu->Visible());
    ShotArea("demo-system-menu", 110, 80, 480, 340);
    Key(VK_ESCAPE);
    // A hint with a title and an image.
    Hint->ActivateHintEx(TPoint(Place().left + 60, Place().top + 120), "Queue", "Two files wait@for conversion", 1,
                         Pictures);
    Pump();
    ASSERT_TRUE(Hint->IsVisible());
    ShotArea("demo-hint", 110, 80, 480, 340);
    Hint->HideHint();
    // The colours grid, chosen by the keys.
    Colours->Popup(Place().left + 40, Place().top + 80);
    Pump();
    ASSERT_NE(Colours->PopupWindow(), nullptr);
    Key(VK_RIGHT);
    Key(VK_RIGHT);
    ShotArea("demo-images-menu", 110, 80, 480, 340);
    Key(VK_RETURN);
    EXPECT_EQ(Colours->ItemIndex, 1);
    EXPECT_EQ(Colours->PopupWindow(), nullptr);
    EXPECT_FALSE(Skinner->InMenu);
}

// ---- the same on the X display ----

namespace {

class MenuDemoX11Test : public MenuDemoTest {
protected:
    void SetUp() override
    {
        MenuDemoTest::SetUp();
        if (!X11.Ok())
            GTEST_SKIP() << "no X display";
        X11.Select();
    }
    void TearDown() override
    {
        if (X11.Ok()) {
            if (Form)
                Form->Free();
            Form = nullptr;
            X11.Release();
        }
        MenuDemoTest::TearDown();
    }
    bool PumpUntil(const std::function<bool()>& Cond, int Ms = 3000) { return X11.PumpUntil(Cond, Ms); }
    void Save(const std::string& Name, int L, int T, int W, int H) { EXPECT_TRUE(X11.SaveArea(L, T, W, H, Name + ".png")); }
    tarnello::test::X11TestSession X11;
};

}  // namespace

// The demo keeps to its own band of the shared screen (x 20-500, y 560-1000).
TEST_F(MenuDemoX11Test, TheMenusShowOnTheXScreen)
{
    BuildDemo(30, 570);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(Bar->Handle()) != 0; }));
    Bar->ObjectList[0]->MouseDown();
    ASSERT_TRUE(PumpUntil([&] { return Skinner->SkinMenu->Visible(); }));
    PumpUntil([] { return false; }, 200);
    Save("demo-x11-menu-bar", 20, 560, 480, 340);
    Skinner->SkinMenu->Hide();
    Context->Popup(Place().left + 200, Place().top + 150);
    ASSERT_TRUE(PumpUntil([&] { return Skinner->SkinMenu->Visible(); }));
    PumpUntil([] { return false; }, 200);
    Save("demo-x11-context-menu", 20, 560, 480, 340);
    Skinner->SkinMenu->Hide();
    Hint->ActivateHintEx(TPoint(Place().left + 60, Place().top + 120), "Queue", "Two files wait@for conversion", 1,
                         Pictures);
    PumpUntil([] { return false; }, 200);
    Save("demo-x11-hint", 20, 560, 480, 340);
    Hint->HideHint();
    PumpUntil([] { return false; }, 50);
}
