// The menus demo: a skinned form with a menu bar over a main menu (sub-menus,
// check and radio items, images, short cuts), a context menu, the system
// menu from the caption, a skinned hint with a title and an images menu,
// driven by injected input headless and shown on the X display.
#include "platform/backend/X11.h"
#include "platform/rtl/Clock.h"
#include "skin/forms/SkinHint.h"
#include "skin/forms/SkinImagesMenu.h"
#include "skin/forms/SkinMenuBar.h"
#include "skin/controls/SkinButtons.h"
#include "skin/forms/FrameMenuItems.h"
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
        // A right click in the client area opens the context menu.
        Form->SetPopupMenu(Context);
        // A skinned button whose hint has a title and an image; its click
        // drops the colours grid down under it.
        Pick = new TspSkinButton(Form);
        Pick->SetParent(Form);
        Pick->SetSkinData(d);
        Pick->SetBounds(20, 200, 120, 28);
        Pick->SetCaption("Colours...");
        Pick->SetHint("The colour of the queue's text");
        Pick->SetHintTitle("Colours");
        Pick->SetHintImageIndex(2);
        Pick->SetHintImageList(Pictures);
        Pick->SetShowHint(true);
        Pick->OnClick = MakeEvent(this, &MenuDemoTest::PickClick);
        Pump();
    }
    void PickClick(TObject*)
    {
        POINT p{0, Pick->Height()};
        ClientToScreen(Pick->Handle(), &p);
        Colours->Popup(p.x, p.y);
    }
    TPoint PickPoint() const
    {
        POINT p{40, 14};
        ClientToScreen(Pick->Handle(), &p);
        return TPoint(p.x, p.y);
    }
    // A second form on skin-new given a main-menu band: the main menu drawn
    // in the frame itself.
    void BuildFrameMenuForm(int X, int Y)
    {
        FrameSkin = new TspSkinData(Owner);
        ASSERT_TRUE(FrameSkin->LoadFromFile(formtest::SkinNewIni()));
        FrameSkin->SetShowLayeredBorders(false);
        menutest::AddFrameMenuBand(FrameSkin);
        FrameForm = new TForm(Owner);
        FrameForm->SetCaption("Frame menu");
        FrameForm->SetBounds(X, Y, 400, 220);
        FrameSkinner = new TspFormSkinner(FrameForm);
        FrameSkinner->SetSkinData(FrameSkin);
        FrameMenu = new TMainMenu(FrameForm);
        FrameMenu->SetImages(Pictures);
        TMenuItem* file = Add(FrameMenu->Items(), "&File");
        Add(file, "&Open...", ShortCut('O', TShiftState{ssCtrl}))->SetImageIndex(0);
        Add(file, "-");
        Add(file, "&Close");
        TMenuItem* view = Add(FrameMenu->Items(), "&View");
        Add(view, "&Status bar")->SetChecked(true);
        Add(FrameMenu->Items(), "&Help");
        FrameSkinner->SetMainMenu(FrameMenu);
        FrameForm->Show();
        Pump();
    }
    TPoint FrameItemPoint(int I) const
    {
        int n = 0;
        for (auto& o : FrameSkinner->ObjectList)
            if (dynamic_cast<TspSkinMainMenuItem*>(o.get()) && n++ == I)
                return TPoint(FrameForm->Left() + o->ObjectRect.left + 6, FrameForm->Top() + o->ObjectRect.top + 6);
        return TPoint(-1, -1);
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
    TspSkinButton* Pick = nullptr;
    TspSkinData* FrameSkin = nullptr;
    TForm* FrameForm = nullptr;
    TspFormSkinner* FrameSkinner = nullptr;
    TMainMenu* FrameMenu = nullptr;
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
    // The context menu by a right click in the client area.
    HeadlessMouseMove(Place().left + 250, Place().top + 120);
    HeadlessMouseDown(TMouseButton::Right);
    HeadlessMouseUp(TMouseButton::Right);
    Application->ProcessMessages();
    Pump();
    ASSERT_TRUE(Skinner->SkinMenu->Visible());
    EXPECT_EQ(Skinner->SkinMenu->Level(0)->Item(0)->MenuItem, Context->Items()->Items(0));
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
    // A hint with a title and an image, on demand.
    Hint->ActivateHintEx(TPoint(Place().left + 60, Place().top + 120), "Queue", "Two files wait@for conversion", 1,
                         Pictures);
    Pump();
    ASSERT_TRUE(Hint->IsVisible());
    ShotArea("demo-hint", 110, 80, 480, 340);
    Hint->HideHint();
    // The button's hint, titled, by resting the pointer on it.
    const TPoint pick = PickPoint();
    HeadlessMouseMove(pick.x, pick.y);
    Application->ProcessMessages();
    HeadlessProcessMessages();
    clock.Advance(static_cast<std::uint64_t>(Application->HintPause()) + 1);
    HeadlessProcessMessages();
    Application->ProcessMessages();
    Pump();
    auto* shown = dynamic_cast<TspSkinHintWindow*>(Application->HintWindow());
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(IsWindowVisible(shown->Handle()));
    EXPECT_EQ(Hint->FHintTitle, "Colours");
    ShotArea("demo-button-hint", 110, 80, 480, 340);
    // The application's own hint time-out hides the skinned window.
    clock.Advance(static_cast<std::uint64_t>(Application->HintHidePause()) + 1);
    HeadlessProcessMessages();
    Application->ProcessMessages();
    EXPECT_FALSE(Application->HintWindow() && Application->HintWindow()->HandleAllocated() &&
                 IsWindowVisible(Application->HintWindow()->Handle()));
    // The colours grid under the button by its click, chosen by the keys.
    HeadlessClick(pick.x, pick.y);
    Application->ProcessMessages();
    Pump();
    ASSERT_NE(Colours->PopupWindow(), nullptr);
    Key(VK_RIGHT);
    Key(VK_RIGHT);
    ShotArea("demo-images-menu", 110, 80, 480, 440);
    Key(VK_RETURN);
    EXPECT_EQ(Colours->ItemIndex, 1);
    EXPECT_EQ(Colours->PopupWindow(), nullptr);
    EXPECT_FALSE(Skinner->InMenu);
    // The main menu in the frame of a second form, opened by a click and
    // carried along by the pointer.
    BuildFrameMenuForm(620, 90);
    const TPoint f0 = FrameItemPoint(0), f1 = FrameItemPoint(1);
    HeadlessClick(f0.x, f0.y);
    Application->ProcessMessages();
    Pump();
    ASSERT_TRUE(FrameSkinner->SkinMenu->Visible());
    ShotArea("demo-frame-menu", 610, 80, 440, 320);
    HeadlessMouseMove(f1.x, f1.y);
    FrameSkinner->MouseTimerProc(nullptr);
    Pump();
    ASSERT_TRUE(FrameSkinner->SkinMenu->Visible());
    EXPECT_EQ(FrameSkinner->SkinMenu->Level(0)->Item(0)->MenuItem, FrameMenu->Items()->Items(1)->Items(0));
    ShotArea("demo-frame-menu-view", 610, 80, 440, 320);
    Key(VK_ESCAPE);
    EXPECT_FALSE(FrameSkinner->InMenu);
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
    // The main menu in the frame of a second form, in the first one's place.
    Form->Hide();
    BuildFrameMenuForm(40, 600);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(FrameForm->Handle()) != 0; }));
    for (auto& o : FrameSkinner->ObjectList)
        if (auto* m = dynamic_cast<TspSkinMainMenuItem*>(o.get())) {
            m->MouseDown(0, 0, mbLeft);
            break;
        }
    ASSERT_TRUE(PumpUntil([&] { return FrameSkinner->SkinMenu->Visible(); }));
    PumpUntil([] { return false; }, 200);
    Save("demo-x11-frame-menu", 30, 590, 440, 320);
    FrameSkinner->SkinMenu->Hide();
    PumpUntil([] { return false; }, 50);
    FrameForm->Free();
    FrameForm = nullptr;
}
