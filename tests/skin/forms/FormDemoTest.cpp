// The demo: a form read from a stored description (the component on
// skin-new, a panel and a skinned button) beside a form without a skin,
// driven by input headless and shown on the X display.
#include "platform/backend/X11.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/classes/FormReader.h"
#include "platform/gui/ExtCtrls.h"
#include "skin/controls/SkinCtrls.h"
#include "support/X11TestSession.h"

#include "FormTestSupport.h"

#include <chrono>
#include <thread>

using formtest::TFormTest;

namespace {

class TSkinDemoForm : public TForm {
public:
    using TForm::TForm;
    TspSkinData* SkinNew = nullptr;
    TspFormSkinner* Skinner = nullptr;
    TPanel* Panel1 = nullptr;
    TspSkinCustomControl* OkButton = nullptr;

    static std::string_view FormDescription()
    {
        return R"(object SkinDemo: TSkinDemoForm
  Left = 120
  Top = 90
  Width = 460
  Height = 320
  Caption = 'Tarnello skinned demo'
  object SkinNew: TspSkinData
  end
  object Skinner: TspFormSkinner
    SkinData = SkinNew
    PositionInMonitor = sppDefault
  end
  object Panel1: TPanel
    Left = 16
    Top = 16
    Width = 200
    Height = 120
    Caption = 'Panel'
  end
  object OkButton: TspSkinCustomControl
    Left = 240
    Top = 200
    Width = 96
    Height = 28
    SkinData = SkinNew
    SkinDataName = 'button'
  end
end
)";
    }
    PUBLISHED(TSkinDemoForm, TForm)
    {
        P.Member("SkinNew", &TSkinDemoForm::SkinNew);
        P.Member("Skinner", &TSkinDemoForm::Skinner);
        P.Member("Panel1", &TSkinDemoForm::Panel1);
        P.Member("OkButton", &TSkinDemoForm::OkButton);
    }
};

class FormDemoTest : public TFormTest {
protected:
    TSkinDemoForm* MakeDemo()
    {
        RegisterClasses<TPanel, TspSkinCustomControl>();
        TSkinDemoForm* demo = nullptr;
        Application->CreateForm(demo);
        // The skin folder is the build's; the description names the component.
        EXPECT_TRUE(demo->SkinNew->LoadFromFile(formtest::SkinNewIni()));
        Form = demo;
        Skinner = demo->Skinner;
        return demo;
    }
    void FreeDemo()
    {
        if (Form)
            Form->Free();
        Form = nullptr;
    }
};

TEST_F(FormDemoTest, TheDescribedDemoRunsHeadlessUnderInput)
{
    TSkinDemoForm* demo = MakeDemo();
    demo->Show();
    Pump();
    ASSERT_TRUE(Skinner->SkinSupport());
    EXPECT_NE(demo->OkButton->FIndex, -1);
    EXPECT_EQ(Form->ClientWidth(), 460 - 8);
    Shot("demo-skinned");
    // Hover and press the close button's neighbour (maximize) to see its looks.
    HeadlessMouseMove(Place().left + 460 - 45 - 42, Place().top + 17);
    HeadlessProcessMessages();
    for (int i = 0; i < 6; ++i)
        Skinner->MorphTimerProc(nullptr);
    Pump();
    Shot("demo-hot-button");
    HeadlessMouseDown();
    Pump();
    Shot("demo-pressed-button");
    HeadlessMouseUp();
    Application->ProcessMessages();
    Pump();
    EXPECT_EQ(Skinner->WindowState(), wsMaximized);
    // A double click on the caption restores it.
    HeadlessClick(Place().left + 300, Place().top + 15);
    HeadlessClick(Place().left + 300, Place().top + 15);
    Application->ProcessMessages();
    Pump();
    EXPECT_EQ(Skinner->WindowState(), wsNormal);
    EXPECT_EQ(Place().right - Place().left, 460);
    // Move by the caption and size by the bottom-right corner.
    HeadlessMouseMove(Place().left + 200, Place().top + 15);
    HeadlessMouseDown();
    HeadlessMouseMove(Place().left + 230, Place().top + 35);
    HeadlessMouseUp();
    Pump();
    EXPECT_EQ(Place().left, 150);
    EXPECT_EQ(Place().top, 110);
    HeadlessMouseMove(Place().right - 4, Place().bottom - 4);  // inside the rounded corner
    HeadlessMouseDown();
    HeadlessMouseMove(Place().right + 36, Place().bottom + 26);
    HeadlessMouseUp();
    Pump();
    EXPECT_EQ(Place().right - Place().left, 500);
    EXPECT_EQ(Place().bottom - Place().top, 350);
    Shot("demo-sized");
    // The roll-up button rolls the form up and down again.
    const TRect roll = Skinner->GetObjectRect("rollupbutton");
    ASSERT_FALSE(spforms::Empty(roll));
    HeadlessClick(Place().left + (roll.left + roll.right) / 2, Place().top + (roll.top + roll.bottom) / 2);
    Application->ProcessMessages();
    Pump();
    EXPECT_TRUE(Skinner->RollUpState());
    EXPECT_EQ(Place().bottom - Place().top, 90);
    Shot("demo-rolled-up");
    const TRect unroll = Skinner->GetObjectRect("rollupbutton");
    HeadlessClick(Place().left + (unroll.left + unroll.right) / 2, Place().top + (unroll.top + unroll.bottom) / 2);
    Application->ProcessMessages();
    Pump();
    EXPECT_FALSE(Skinner->RollUpState());
    EXPECT_EQ(Place().bottom - Place().top, 350);
    FreeDemo();
}

TEST_F(FormDemoTest, AFormWithoutASkinBesideIt)
{
    MakeForm(200, 200, 360, 240);
    Shot("demo-skinless");
    HeadlessMouseMove(200 + 300 - 45, 200 + 10);
    HeadlessProcessMessages();
    Pump();
    Shot("demo-skinless-hot");
    SendMessage(Form->Handle(), WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(400, 210));
    Pump();
    EXPECT_EQ(Place().right - Place().left, 1280);
    SendMessage(Form->Handle(), WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(400, 10));
    Pump();
    EXPECT_EQ(Place().right - Place().left, 360);
}

// ---- the same on the X display ----

class FormDemoX11Test : public FormDemoTest {
protected:
    void SetUp() override
    {
        FormDemoTest::SetUp();
        if (!X11.Ok())
            GTEST_SKIP() << "no X display";
        X11.Select();
    }
    void TearDown() override
    {
        FreeDemo();
        FormDemoTest::TearDown();
        if (X11.Ok()) {
            X11.Release();
        }
    }
    bool PumpUntil(const std::function<bool()>& Cond, int Ms = 3000) { return X11.PumpUntil(Cond, Ms); }
    void Save(const std::string& Name, int L, int T, int W, int H) { EXPECT_TRUE(X11.SaveArea(L, T, W, H, Name + ".png")); }
    tarnello::test::X11TestSession X11;
};

// The demo keeps to its own band of the shared screen (x 890-1270, y 560-1000).
TEST_F(FormDemoX11Test, TheDemoShowsOnTheXScreen)
{
    TSkinDemoForm* demo = MakeDemo();
    demo->SetBounds(895, 570, 370, 250);
    demo->Show();
    // The caption band of the skin shows at the frame's top.
    const COLORREF band = static_cast<COLORREF>(Skinner->SkinData()->FPicture->Canvas()->Pixels(150, 2)) & 0xFFFFFF;
    const std::uint32_t rgb = ((band & 0xFF) << 16) | (band & 0xFF00) | ((band >> 16) & 0xFF);
    ASSERT_TRUE(PumpUntil([&] { return X11.Peer().RootPixel(895 + 180, 570 + 2) == rgb; }))
        << std::hex << X11.Peer().RootPixel(895 + 180, 570 + 2) << " " << rgb;
    // The rounded corner is cut away by the region.
    EXPECT_NE(X11.Peer().RootPixel(895, 570), rgb);
    PumpUntil([] { return false; }, 100);
    Save("demo-x11", 885, 560, 390, 270);
    Skinner->SetRollUpState(true);
    ASSERT_TRUE(PumpUntil([&] { return Place().bottom - Place().top == 90; }));
    PumpUntil([] { return false; }, 100);
    Save("demo-x11-rolled-up", 885, 560, 390, 270);
    Skinner->SetRollUpState(false);
    Skinner->SetWindowState(wsMaximized);
    ASSERT_TRUE(PumpUntil([&] { return Skinner->WindowState() == wsMaximized; }));
    Skinner->SetWindowState(wsNormal);
    ASSERT_TRUE(PumpUntil([&] { return Place().left == 895; }));
}

TEST_F(FormDemoX11Test, AFormWithoutASkinOnTheXScreen)
{
    MakeForm(895, 850, 370, 150);
    ASSERT_TRUE(PumpUntil([&] { return X11.Peer().RootPixel(895 + 100, 850 + 100) == 0xD4D0C8 || X11.Peer().RootPixel(895 + 100, 850 + 100) != 0; }));
    PumpUntil([] { return false; }, 100);
    Save("demo-x11-skinless", 885, 840, 390, 170);
}

}  // namespace
