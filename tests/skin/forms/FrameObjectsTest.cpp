// Frame objects on skin-new: hover morphing on the fake clock, caption
// animation steps, the mouse timer, caption-button rules, the system menu,
// hints, by-name operations and input through the frame.
#include "platform/classes/StringList.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/Clock.h"
#include "skin/core/LayerManager.h"
#include "skin/core/ResourceStrData.h"
#include "skin/core/SkinMessages.h"

#include "FormTestSupport.h"

using formtest::TFormTest;

namespace {

class FrameObjectsTest : public TFormTest {
protected:
    TspActiveSkinObject* Object(const std::string& Name) const
    {
        const int i = Skinner->GetIndex(Name);
        return i < 0 ? nullptr : Skinner->ObjectList[static_cast<std::size_t>(i)].get();
    }
    // Moves the pointer to a window point and lets the window see it.
    void PointAt(int X, int Y)
    {
        HeadlessMouseMove(Form->Left() + X, Form->Top() + Y);
        HeadlessProcessMessages();
    }
    void Tick(TFakeClock& Clock, int Ms)
    {
        Clock.Advance(static_cast<std::uint64_t>(Ms));
        HeadlessProcessMessages();
    }
    static std::vector<std::string> Names(TMenuItem* Items)
    {
        std::vector<std::string> n;
        for (int i = 0; i < Items->Count(); ++i)
            n.push_back(Items->Items(i)->IsLine() ? "-" : Items->Items(i)->Name());
        return n;
    }
};

TEST_F(FrameObjectsTest, AHoverMorphTakesExactlyFiveTicksEachWay)
{
    TFakeClock clock;
    TClockInstaller install(clock);
    LoadSkinNew();
    // Frame objects morph only on a form without layered border windows.
    Data->SetShowLayeredBorders(false);
    MakeForm(100, 100, 320, 200, Data);
    auto* close = Object("closebutton");
    ASSERT_TRUE(close->EnableMorphing());
    PointAt(295, 17);
    ASSERT_TRUE(close->Active);
    ASSERT_TRUE(Skinner->MorphTimer->Enabled());
    std::vector<double> steps;
    for (int i = 0; i < 8 && Skinner->MorphTimer->Enabled(); ++i) {
        Tick(clock, 25);
        steps.push_back(close->MorphKf());
    }
    // Five steps to exactly 1, then one tick finds nothing to do and stops.
    ASSERT_GE(steps.size(), 5u);
    EXPECT_EQ(steps[4], 1.0);
    EXPECT_EQ(std::count(steps.begin(), steps.end(), 1.0), static_cast<long>(steps.size()) - 4);
    EXPECT_FALSE(Skinner->MorphTimer->Enabled());
    Shot("skin-new-hot-close");
    // Leaving: five steps back to exactly 0.
    PointAt(150, 100);
    Tick(clock, 50);  // the mouse timer notices the pointer left the object
    int ticks = 0;
    while (Skinner->MorphTimer->Enabled() && ticks < 10) {
        Tick(clock, 25);
        ++ticks;
    }
    EXPECT_EQ(close->MorphKf(), 0.0);
    EXPECT_LE(ticks, 6);
    // The factor setter clamps.
    close->SetMorphKf(1.3);
    EXPECT_EQ(close->MorphKf(), 1.0);
    close->SetMorphKf(-0.1);
    EXPECT_EQ(close->MorphKf(), 0.0);
}

TEST_F(FrameObjectsTest, TheMouseTimerStopsWhenThePointerLeavesTheForm)
{
    TFakeClock clock;
    TClockInstaller install(clock);
    LoadSkinNew();
    MakeForm(100, 100, 320, 200, Data);
    PointAt(295, 17);
    EXPECT_TRUE(Skinner->MouseTimer->Enabled());
    EXPECT_EQ(Skinner->ActiveObject, Skinner->GetIndex("closebutton"));
    HeadlessMouseMove(900, 900);
    Tick(clock, 50);
    EXPECT_FALSE(Skinner->MouseTimer->Enabled());
    EXPECT_EQ(Skinner->ActiveObject, -1);
}

TEST_F(FrameObjectsTest, TheCloseButtonGlowsWhileHoveredAndGoesWhenLeft)
{
    TFakeClock clock;
    TClockInstaller install(clock);
    LoadSkinNew();
    MakeForm(100, 100, 320, 200, Data);
    auto* close = Object("closebutton");
    ASSERT_NE(close->GlowLayerPictureIndex, -1);
    // Left of the button, inside the halo: the caption band's colour before.
    const COLORREF before = At(close->ObjectRect.left - 2, 17);
    PointAt(295, 17);
    TspLayerManager* m = Skinner->FLayerManager.get();
    ASSERT_TRUE(m->IsVisible);
    RECT r{};
    GetWindowRect(m->LayerWindow->Handle(), &r);
    EXPECT_EQ(r.left, 100 + close->ObjectRect.left - close->GlowLayerOffsetX);
    EXPECT_EQ(r.top, 100 + close->ObjectRect.top - close->GlowLayerOffsetY);
    for (int i = 0; i < 12 && m->Timer->Enabled(); ++i)
        Tick(clock, 25);
    HeadlessBackend().Compose();
    const COLORREF lit = At(close->ObjectRect.left - 2, 17);
    EXPECT_GT(GetRValue(lit), GetRValue(before) + 20);
    Shot("skin-new-close-glow");
    // The menu layer stays unused for a button without a menu.
    EXPECT_FALSE(Skinner->FMenuLayerManager->IsVisible);
    PointAt(150, 100);
    Tick(clock, 50);
    EXPECT_FALSE(m->IsVisible);
    HeadlessBackend().Compose();
    EXPECT_EQ(At(close->ObjectRect.left - 2, 17), before);
}

TEST_F(FrameObjectsTest, NoGlowWhereTheSkinOrTheFormSaysNo)
{
    struct TCase {
        const char* Name;
        bool GlowFrames;
        bool Inactive;
        int Picture;
    };
    for (const TCase c : {TCase{"glow frames off", false, false, 0}, TCase{"inactive form", true, true, 0},
                          TCase{"picture past the list", true, false, 9999}}) {
        SCOPED_TRACE(c.Name);
        LoadSkinNew();
        Data->ShowCaptionButtonGlowFrames = c.GlowFrames;
        MakeForm(100, 100, 320, 200, Data);
        auto* close = Object("closebutton");
        if (c.Picture)
            close->GlowLayerPictureIndex = c.Picture;
        if (c.Inactive) {
            auto* other = new TForm(Owner);
            other->SetBounds(600, 600, 100, 100);
            other->Show();
            Pump();
            ASSERT_FALSE(Skinner->GetFormActive());
        }
        close->ShowLayer();
        EXPECT_FALSE(Skinner->FLayerManager->IsVisible);
        Form->Free();
        Form = nullptr;
    }
}

TEST_F(FrameObjectsTest, CaptionAnimationAdvancesEveryIntervalRoundedUpToTicks)
{
    TFakeClock clock;
    TClockInstaller install(clock);
    LoadSkinNew();
    for (auto& d : Data->ObjectList)
        if (auto* c = dynamic_cast<TspDataSkinCaption*>(d.get())) {
            c->AnimateSkinRect = TRect(0, 0, 90, 10);
            c->FrameCount = 3;
            c->AnimateInterval = 60;  // a frame every 75 ms
        }
    MakeForm(100, 100, 320, 200, Data);
    auto* caption = static_cast<TspSkinCaptionObject*>(Object("caption"));
    Skinner->SkinData();
    // A fresh activation starts the animation at frame 1.
    Skinner->OldActive = false;
    Skinner->UpdateActiveState(true);
    ASSERT_EQ(caption->CurrentFrame, 1);
    ASSERT_TRUE(Skinner->AnimateTimer->Enabled());
    std::vector<int> frames;
    for (int i = 0; i < 6; ++i) {
        Tick(clock, 25);
        frames.push_back(caption->CurrentFrame);
    }
    EXPECT_EQ(frames, (std::vector<int>{1, 1, 2, 2, 2, 3}));
}

TEST_F(FrameObjectsTest, CaptionButtonsFollowBorderIconsAndTheDialogCloseButton)
{
    LoadSkinNew();
    auto dialogClose = std::make_unique<TspDataSkinStdButton>("dialogclosebutton");
    dialogClose->Command = cmClose;
    dialogClose->SkinRect = TRect(200, 3, 240, 31);
    Data->ObjectList.push_back(std::move(dialogClose));
    MakeForm(100, 100, 320, 200, Data);
    EXPECT_FALSE(Object("dialogclosebutton")->Visible);
    EXPECT_TRUE(Object("closebutton")->Visible);
    Skinner->SetBorderIcons(TspBorderIcons{});
    EXPECT_TRUE(Object("dialogclosebutton")->Visible);
    EXPECT_TRUE(Object("dialogclosebutton")->Enabled);
    EXPECT_FALSE(Object("closebutton")->Visible);
    EXPECT_FALSE(Object("closebutton")->Enabled);
    // Buttons drawn in the frame picture stay in place, disabled.
    EXPECT_TRUE(Object("maxbutton")->Visible);
    EXPECT_FALSE(Object("maxbutton")->Enabled);
    Skinner->SetBorderIcons(TspBorderIcons{spforms::biSystemMenu, spforms::biMinimize});
    EXPECT_FALSE(Object("dialogclosebutton")->Visible);
    EXPECT_TRUE(Object("minbutton")->Enabled);
    EXPECT_FALSE(Object("maxbutton")->Enabled);
}

TEST_F(FrameObjectsTest, TheSystemMenuByStateAndMergedIntoTheApplications)
{
    MakeForm(100, 100, 300, 200);
    EXPECT_EQ(Names(Skinner->GetSystemMenuItems()),
              (std::vector<std::string>{"FSK_MINITEM", "FSK_MAXITEM", "FSK_ROLLUP", "-", "FSK_CLOSE"}));
    Skinner->SetWindowState(wsMaximized);
    EXPECT_EQ(Names(Skinner->GetSystemMenuItems()),
              (std::vector<std::string>{"FSK_MINITEM", "FSK_RESTORE", "FSK_ROLLUP", "-", "FSK_CLOSE"}));
    Skinner->SetWindowState(wsNormal);
    Skinner->SetBorderIcons(TspBorderIcons{});
    EXPECT_EQ(Names(Skinner->GetSystemMenuItems()), (std::vector<std::string>{"FSK_CLOSE"}));
    Skinner->SetWindowState(wsMaximized);
    EXPECT_EQ(Names(Skinner->GetSystemMenuItems()), (std::vector<std::string>{"FSK_RESTORE", "-", "FSK_CLOSE"}));
    Skinner->SetWindowState(wsNormal);
    EXPECT_EQ(Skinner->GetSystemMenuItems()->Items(0)->Caption(), "&Close");
    EXPECT_EQ(Skinner->GetSystemMenuItems()->Items(0)->ShortCut(), TextToShortCut("Alt+F4"));
    // An application menu gets one set of the form's items around its own.
    Skinner->SetBorderIcons(TspBorderIcons{spforms::biSystemMenu, spforms::biMinimize, spforms::biMaximize,
                                           spforms::biRollUp});
    auto* app = new TPopupMenu(Owner);
    for (const char* n : {"AppOne", "AppTwo"}) {
        auto* i = new TMenuItem(Owner);
        i->SetName(n);
        i->SetCaption(n);
        app->Items()->Add(i);
    }
    Skinner->SetSystemMenu(app);
    Skinner->GetSystemMenuItems();
    EXPECT_EQ(Names(Skinner->GetSystemMenuItems()),
              (std::vector<std::string>{"FSK_MINITEM", "FSK_MAXITEM", "FSK_ROLLUP", "AppOne", "AppTwo", "FSK_CLOSE"}));
    // Clicking the maximize entry maximizes.
    Skinner->GetSystemMenuItems()->Items(1)->Click();
    EXPECT_EQ(Skinner->WindowState(), wsMaximized);
}

TEST_F(FrameObjectsTest, HintsComeFromTheStringTable)
{
    LoadSkinNew();
    MakeForm(100, 100, 320, 200, Data);
    EXPECT_EQ(Object("closebutton")->Hint, "Close");
    auto* strings = new TspResourceStrData(Owner);
    strings->ResStrings()->Clear();
    strings->ResStrings()->Add("CLOSEBUTTON_HINT=Cerrar");
    strings->ResStrings()->Add("RESTORE_HINT=Restaurar");
    Data->SetResourceStrData(strings);
    Pump();
    EXPECT_EQ(Object("closebutton")->Hint, "Cerrar");
    EXPECT_EQ(static_cast<TspSkinStdButtonObject*>(Object("maxbutton"))->RestoreHint, "Restaurar");
}

TEST_F(FrameObjectsTest, ByNameOperationsAndTheirDefaults)
{
    LoadSkinNew();
    MakeForm(100, 100, 320, 200, Data);
    EXPECT_FALSE(Skinner->ButtonGetDown("nosuchbutton"));
    EXPECT_EQ(Skinner->CaptionGetText("closebutton"), "");  // not a caption
    EXPECT_EQ(Skinner->GetIndex("CloseButton"), -1);        // names are exact
    Skinner->SetEnabled("nosuch", false);
    Skinner->ButtonSetDown("caption", true);                // wrong class: nothing
    Skinner->UserObjectDraw("closebutton");
    Skinner->ButtonSetDown("closebutton", true);
    EXPECT_TRUE(Skinner->ButtonGetDown("closebutton"));
    Skinner->SetEnabled("minbutton", false);
    EXPECT_FALSE(Skinner->GetEnabled("minbutton"));
    // During a skin change the text is stored without drawing.
    Skinner->FInChangeSkinData = true;
    Skinner->CaptionSetText("caption", "Quiet");
    Skinner->FInChangeSkinData = false;
    EXPECT_EQ(Skinner->CaptionGetText("caption"), "Quiet");
}

TEST_F(FrameObjectsTest, UserObjectsDrawAtTheirWindowPlace)
{
    LoadSkinNew();
    auto user = std::make_unique<TspDataUserObject>("meter");
    user->SkinRect = TRect(60, 40, 100, 60);
    Data->ObjectList.push_back(std::move(user));
    MakeForm(100, 100, 320, 200, Data);
    struct TSeen {
        TRect Rect;
        int Calls = 0;
    } seen;
    Skinner->OnPaintEvent = TspPaintEvent::Bind(&seen, +[](void* d, const std::string&, TCanvas* c, TRect r) {
        auto* s = static_cast<TSeen*>(d);
        s->Rect = r;
        ++s->Calls;
        c->Brush()->SetColor(clLime);
        c->FillRect(r);
    });
    Skinner->UserObjectDraw("meter");
    HeadlessBackend().Compose();
    EXPECT_EQ(seen.Rect, TRect(60, 40, 100, 60));
    EXPECT_EQ(At(70, 45), RGB(0, 255, 0));
}

TEST_F(FrameObjectsTest, AMouseUpAfterTheSkinChangedRemovesNothingTwice)
{
    LoadSkinNew();
    MakeForm(100, 100, 320, 200, Data);
    Skinner->ObjectsMouseDown(mbLeft, 295, 17);
    EXPECT_EQ(Skinner->MouseCaptureObject, Skinner->GetIndex("closebutton"));
    SendMessage(Form->Handle(), WM_SKINBEFORECHANGE, reinterpret_cast<WPARAM>(Data), 1000);
    SendMessage(Form->Handle(), WM_NCLBUTTONUP, HTOBJECT, MAKELPARAM(100 + 295, 100 + 17));
    SendMessage(Form->Handle(), WM_SKINCHANGED, reinterpret_cast<WPARAM>(Data), 1000);
    Skinner->MouseCaptureObject = 99;  // an index the list no longer has
    Skinner->ObjectsMouseUp(mbLeft, 0, 0);
    Skinner->ObjectsMouseMove(1, 1);
    EXPECT_TRUE(IsWindow(Form->Handle()));
}

TEST_F(FrameObjectsTest, InputDragsSizesMaximizesAndRollsUp)
{
    LoadSkinNew();
    MakeForm(100, 100, 320, 200, Data);
    // Drag by the caption.
    HeadlessMouseMove(100 + 100, 100 + 15);
    HeadlessMouseDown();
    HeadlessMouseMove(100 + 150, 100 + 45);
    HeadlessMouseUp();
    Pump();
    EXPECT_EQ(Form->Left(), 150);
    EXPECT_EQ(Form->Top(), 130);
    // Maximize and restore by the caption button.
    auto click = [&](int x, int y) {
        HeadlessMouseMove(Form->Left() + x, Form->Top() + y);
        HeadlessMouseDown();
        HeadlessMouseUp();
        Pump();
    };
    click(253, 17);
    EXPECT_EQ(Skinner->WindowState(), wsMaximized);
    EXPECT_EQ(Form->BoundsRect(), TRect(0, 0, 1280, 984));
    Shot("skin-new-maximized");
    click(1280 - 320 + 253, 17);
    EXPECT_EQ(Skinner->WindowState(), wsNormal);
    EXPECT_EQ(Form->BoundsRect(), TRect(150, 130, 470, 330));
    // Roll up by its button.
    click(169, 17);
    EXPECT_TRUE(Skinner->RollUpState());
    EXPECT_EQ(Form->Height(), 90);
    Shot("skin-new-rolledup");
    click(169, 17);
    EXPECT_FALSE(Skinner->RollUpState());
    EXPECT_EQ(Form->Height(), 200);
}

TEST_F(FrameObjectsTest, ADialogFrameSizesByItsEdge)
{
    LoadSkinNew();
    MakeForm(100, 100, 320, 200, Data, bsDialog);
    ASSERT_EQ(HitAt(318, 100), HTRIGHT);
    HeadlessMouseMove(100 + 318, 100 + 100);
    HeadlessMouseDown();
    HeadlessMouseMove(100 + 358, 100 + 100);
    HeadlessMouseUp();
    Pump();
    EXPECT_EQ(Form->Width(), 360);
    EXPECT_EQ(Form->Height(), 200);
}

TEST_F(FrameObjectsTest, DialogSettingsOfTheProgramsDialogs)
{
    LoadSkinNew();
    Form = new TForm(Owner);
    Form->SetBounds(100, 100, 150, 60);
    Skinner = new TspFormSkinner(Form);
    Skinner->SetBorderIcons(TspBorderIcons{});
    Skinner->Sizeable = false;
    Skinner->MinWidth = 260;
    Skinner->MinHeight = 150;
    Skinner->SetSkinData(Data);
    Form->Show();
    Pump();
    EXPECT_EQ(Skinner->GetMinWidth(), 260);
    EXPECT_EQ(Skinner->GetMinHeight(), 150);
    EXPECT_EQ(Skinner->GetMaxWidth(), 1280);
    EXPECT_GE(Form->Width(), 260);
    EXPECT_GE(Form->Height(), 150);
    EXPECT_EQ(HitAt(2, 100), HTOBJECT);  // not sizeable
    Skinner->SetRollUpState(false);
    EXPECT_FALSE(Skinner->RollUpState());
    Skinner->CloseAll();  // a plain form has no children to close
    EXPECT_TRUE(Form->Visible());
}

}  // namespace
