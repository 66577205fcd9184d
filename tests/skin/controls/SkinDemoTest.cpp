// The demo form: every control of the buttons, check boxes, panels, bevels
// and tool bar, read from its stored description, shown without a skin and
// with "skin-new" (a hovered button glowing), and written to PNG files in
// the test folder (skin-demo-plain.png, skin-demo-skinned.png).
#include "platform/classes/FormReader.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/gui/PngImage.h"
#include "platform/rtl/Clock.h"
#include "platform/user/User.h"
#include "skin/controls/SkinBevels.h"
#include "skin/controls/SkinButtons.h"
#include "skin/controls/SkinCheckRadio.h"
#include "skin/controls/SkinPanels.h"
#include "skin/controls/SkinToolBar.h"
#include "skin/core/LayerManager.h"
#include "platform/backend/X11.h"
#include "support/TestSupport.h"
#include "support/X11TestSession.h"

#include "ControlsTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

const char* const kDemo = R"(object DemoForm: TSkinDemoForm
  Left = 0
  Top = 0
  Width = 520
  Height = 400
  Caption = 'Skinned controls'
  object ToolBar1: TspSkinToolBar
    Left = 0
    Top = 0
    Width = 504
    Height = 30
    Align = alTop
    object Tool1: TspSkinSpeedButton
      Left = 4
      Top = 2
      Width = 60
      Height = 25
      Caption = 'Open'
    end
    object Tool2: TspSkinSpeedButton
      Left = 66
      Top = 2
      Width = 60
      Height = 25
      Caption = 'Save'
      GroupIndex = 1
      Down = True
    end
    object Bevel1: TspSkinBevel
      Left = 130
      Top = 2
      Width = 8
      Height = 25
      Shape = bsLeftLine
      DividerMode = True
    end
  end
  object Panel1: TspSkinPanel
    Left = 10
    Top = 40
    Width = 230
    Height = 150
    Caption = 'Options'
    CaptionMode = True
    CheckedMode = True
    Checked = True
    object Check1: TspSkinCheckRadioBox
      Left = 10
      Top = 30
      Width = 200
      Height = 22
      Caption = 'Keep the original'
      Checked = True
    end
    object Check2: TspSkinCheckRadioBox
      Left = 10
      Top = 56
      Width = 200
      Height = 22
      Caption = 'Three states'
      AllowGrayed = True
      State = cbGrayed
    end
    object Radio1: TspSkinCheckRadioBox
      Left = 10
      Top = 82
      Width = 200
      Height = 22
      SkinDataName = 'radiobox'
      Caption = 'Fast'
      Radio = True
      GroupIndex = 1
      Checked = True
    end
    object Radio2: TspSkinCheckRadioBox
      Left = 10
      Top = 108
      Width = 200
      Height = 22
      SkinDataName = 'radiobox'
      Caption = 'Best'
      Radio = True
      GroupIndex = 1
    end
  end
  object Group1: TspSkinGroupBox
    Left = 250
    Top = 40
    Width = 250
    Height = 150
    Caption = 'Output'
    object Label1: TspSkinButtonLabel
      Left = 12
      Top = 30
      Width = 120
      Height = 24
      Caption = 'Open the folder'
      WebStyle = True
    end
    object Bevel2: TspSkinBevel
      Left = 12
      Top = 60
      Width = 220
      Height = 10
      Shape = bsTopLine
    end
  end
  object PaintPanel1: TspSkinPaintPanel
    Left = 10
    Top = 200
    Width = 230
    Height = 100
    Caption = 'Preview'
  end
  object Ok: TspSkinButton
    Left = 250
    Top = 270
    Width = 90
    Height = 26
    Caption = 'OK'
    Default = True
    ModalResult = 1
  end
  object Cancel: TspSkinButton
    Left = 350
    Top = 270
    Width = 90
    Height = 26
    Caption = 'Cancel'
    Cancel = True
    ModalResult = 2
  end
  object Status1: TspSkinStatusBar
    Left = 0
    Top = 340
    Width = 504
    Height = 21
    Caption = 'Ready'
    SizeGrip = True
  end
end
)";

// The demo form's class: a field for every control of its description.
class TSkinDemoForm : public TForm {
public:
    using TForm::TForm;
    TspSkinToolBar* ToolBar1 = nullptr;
    TspSkinSpeedButton* Tool1 = nullptr;
    TspSkinSpeedButton* Tool2 = nullptr;
    TspSkinBevel* Bevel1 = nullptr;
    TspSkinPanel* Panel1 = nullptr;
    TspSkinCheckRadioBox* Check1 = nullptr;
    TspSkinCheckRadioBox* Check2 = nullptr;
    TspSkinCheckRadioBox* Radio1 = nullptr;
    TspSkinCheckRadioBox* Radio2 = nullptr;
    TspSkinGroupBox* Group1 = nullptr;
    TspSkinButtonLabel* Label1 = nullptr;
    TspSkinBevel* Bevel2 = nullptr;
    TspSkinPaintPanel* PaintPanel1 = nullptr;
    TspSkinButton* Ok = nullptr;
    TspSkinButton* Cancel = nullptr;
    TspSkinStatusBar* Status1 = nullptr;

    PUBLISHED(TSkinDemoForm, TForm)
    {
        P.Member("ToolBar1", &TSkinDemoForm::ToolBar1);
        P.Member("Tool1", &TSkinDemoForm::Tool1);
        P.Member("Tool2", &TSkinDemoForm::Tool2);
        P.Member("Bevel1", &TSkinDemoForm::Bevel1);
        P.Member("Panel1", &TSkinDemoForm::Panel1);
        P.Member("Check1", &TSkinDemoForm::Check1);
        P.Member("Check2", &TSkinDemoForm::Check2);
        P.Member("Radio1", &TSkinDemoForm::Radio1);
        P.Member("Radio2", &TSkinDemoForm::Radio2);
        P.Member("Group1", &TSkinDemoForm::Group1);
        P.Member("Label1", &TSkinDemoForm::Label1);
        P.Member("Bevel2", &TSkinDemoForm::Bevel2);
        P.Member("PaintPanel1", &TSkinDemoForm::PaintPanel1);
        P.Member("Ok", &TSkinDemoForm::Ok);
        P.Member("Cancel", &TSkinDemoForm::Cancel);
        P.Member("Status1", &TSkinDemoForm::Status1);
    }
};

class SkinDemoTest : public controlstest::TControlsTest {
protected:
    SkinDemoTest() : TControlsTest(TRect(0, 0, 100, 100)) {}
    TFakeClock Clock;
    TClockInstaller Installed{Clock};
    // Hands the skin to every skinned control of the form.
    static void ApplySkin(TComponent* Root, TspSkinData* Skin)
    {
        for (int i = 0; i < Root->ComponentCount(); ++i) {
            TComponent* c = Root->Components(i);
            if (auto* w = dynamic_cast<TspSkinControl*>(c))
                w->SetSkinData(Skin);
            else if (auto* g = dynamic_cast<TspGraphicSkinControl*>(c))
                g->SetSkinData(Skin);
            else if (auto* l = dynamic_cast<TspSkinButtonLabel*>(c))
                l->SetSkinData(Skin);
            else if (auto* v = dynamic_cast<TspSkinBevel*>(c))
                v->SetSkinData(Skin);
        }
    }
    static void Shoot(const TRect& R, const std::string& Name) { controlstest::ShootScreen(R, Name); }
};

TEST_F(SkinDemoTest, DescribedDemoWithAndWithoutSkin)
{
    RegisterSkinControlsClasses();
    RegisterClasses<TSkinDemoForm>();
    auto* demo = new TSkinDemoForm(Owner);
    ReadComponentText(demo, kDemo);
    demo->Show();
    Application->ProcessMessages();
    auto *ok = demo->Ok, *cancel = demo->Cancel;
    auto* tool2 = demo->Tool2;
    auto* check2 = demo->Check2;
    auto* status = demo->Status1;
    ASSERT_TRUE(ok && cancel && tool2 && check2 && status && demo->ToolBar1 && demo->PaintPanel1);
    EXPECT_TRUE(tool2->Down());
    EXPECT_EQ(check2->State(), cbGrayed);
    EXPECT_EQ(status->Align(), alBottom);
    EXPECT_TRUE(ok->FActive);
    RECT wr;
    GetWindowRect(demo->Handle(), &wr);
    const TRect area(wr.left, wr.top, wr.right + 12, wr.bottom + 12);
    demo->Repaint();
    Application->ProcessMessages();
    Shoot(area, "skin-demo-plain.png");

    TspSkinData skin(nullptr);
    ASSERT_TRUE(skin.LoadFromFile(controlstest::SkinNewIni())) << skin.LastError();
    ApplySkin(demo, &skin);
    EXPECT_NE(cancel->FIndex, -1);
    const TPoint p = cancel->ClientToScreen(TPoint(10, 10));
    HeadlessMouseMove(p.x, p.y);
    Application->ProcessMessages();
    EXPECT_TRUE(cancel->FLayerManager->IsVisible);
    for (int i = 0; i < 12; ++i) {  // the fade of the glow and the hover morph
        Clock.Advance(25);
        Application->ProcessMessages();
    }
    demo->Repaint();
    Application->ProcessMessages();
    Shoot(area, "skin-demo-skinned.png");
    ApplySkin(demo, nullptr);
}

// The same form on the X display (no compositing manager there: no glow).
TEST(SkinDemoX11, DescribedDemoShowsOnTheXScreen)
{
    tarnello::test::X11TestSession x11;
    if (!x11.Ok())
        GTEST_SKIP() << "no X display";
    HeadlessReset();
    x11.Select();
    RegisterSkinControlsClasses();
    RegisterClasses<TSkinDemoForm>();
    auto* demo = new TSkinDemoForm(nullptr);
    ReadComponentText(demo, kDemo);
    // A band of the shared screen clear of the other demos' windows.
    demo->SetBounds(700, 40, 520, 400);
    TspSkinData skin(nullptr);
    ASSERT_TRUE(skin.LoadFromFile(controlstest::SkinNewIni())) << skin.LastError();
    for (int i = 0; i < demo->ComponentCount(); ++i) {
        TComponent* c = demo->Components(i);
        if (auto* w = dynamic_cast<TspSkinControl*>(c))
            w->SetSkinData(&skin);
        else if (auto* g = dynamic_cast<TspGraphicSkinControl*>(c))
            g->SetSkinData(&skin);
        else if (auto* l = dynamic_cast<TspSkinButtonLabel*>(c))
            l->SetSkinData(&skin);
        else if (auto* v = dynamic_cast<TspSkinBevel*>(c))
            v->SetSkinData(&skin);
    }
    demo->Show();
    EXPECT_FALSE(GlowLayersAvailable());
    const TPoint ok = demo->Ok->ClientToScreen(TPoint(demo->Ok->Width() / 2, 2));
    EXPECT_TRUE(x11.WaitDrawn(ok.x, ok.y));
    EXPECT_TRUE(x11.SaveWindow(demo, "skin-demo-x11.png"));
    demo->Free();
    Application->ProcessMessages();
    x11.Release();
    HeadlessReset();
}

}  // namespace
