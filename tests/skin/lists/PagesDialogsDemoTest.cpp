// The demo of the skinned page control and the dialogs, read from its stored
// description: a page control with top tabs, images, close buttons and the
// tab scroller showing, a second one with left tabs, and three buttons that
// open the message box (a warning asking Yes/No/Cancel with the show-again
// box), the input box and the font dialog. Shown without a skin and with
// "skin-new" headless (pages-demo-plain.png, pages-demo-skinned.png and one
// picture per dialog and look) and on the X display (pages-demo-x11.png and
// the dialogs' x11 pictures).
#include "platform/classes/ClassRegistry.h"
#include "platform/classes/FormReader.h"
#include "platform/gui/ImgList.h"
#include "skin/controls/SkinButtons.h"
#include "skin/controls/SkinDataAssign.h"
#include "skin/lists/SkinFontDialog.h"
#include "skin/lists/SkinInputDialog.h"
#include "skin/lists/SkinMessage.h"
#include "skin/lists/SkinPageControl.h"
#include "support/X11TestSession.h"

#include "DialogsTestSupport.h"

#include <filesystem>
#include <memory>

using liststest::TListsTest;
using liststest::TModalDriver;

namespace {

const char* const kDemo = R"(object PagesDemo: TPagesDemoForm
  Left = 0
  Top = 0
  Width = 640
  Height = 300
  Caption = 'Pages and dialogs'
  object TopPages: TspSkinPageControl
    Left = 8
    Top = 8
    Width = 330
    Height = 200
    ShowCloseButtons = True
    object SourceSheet: TspSkinTabSheet
      Caption = 'Source'
      ImageIndex = 0
    end
    object VideoSheet: TspSkinTabSheet
      Caption = 'Video'
      ImageIndex = 1
    end
    object AudioSheet: TspSkinTabSheet
      Caption = 'Audio'
      ImageIndex = 2
    end
    object SubtitlesSheet: TspSkinTabSheet
      Caption = 'Subtitles'
      ImageIndex = 0
    end
    object TextSheet: TspSkinTabSheet
      Caption = 'Text'
      ImageIndex = 1
    end
    object CropSheet: TspSkinTabSheet
      Caption = 'Crop'
      ImageIndex = 2
    end
    object OutputSheet: TspSkinTabSheet
      Caption = 'Output'
      ImageIndex = 0
    end
  end
  object LeftPages: TspSkinPageControl
    Left = 350
    Top = 8
    Width = 270
    Height = 200
    TabPosition = tpLeft
    object GeneralSheet: TspSkinTabSheet
      Caption = 'General'
      ImageIndex = 0
    end
    object FoldersSheet: TspSkinTabSheet
      Caption = 'Folders'
      ImageIndex = 1
    end
    object DevicesSheet: TspSkinTabSheet
      Caption = 'Devices'
      ImageIndex = 2
    end
    object UpdateSheet: TspSkinTabSheet
      Caption = 'Update'
    end
  end
  object WarnButton: TspSkinButton
    Left = 8
    Top = 220
    Width = 110
    Height = 25
    Caption = 'Warning...'
    OnClick = WarnClick
  end
  object NameButton: TspSkinButton
    Left = 128
    Top = 220
    Width = 110
    Height = 25
    Caption = 'Name...'
    OnClick = NameClick
  end
  object FontButton: TspSkinButton
    Left = 248
    Top = 220
    Width = 110
    Height = 25
    Caption = 'Font...'
    OnClick = FontClick
  end
  object Message1: TspSkinMessage
    ShowAgainFlag = True
  end
  object Input1: TspSkinInputDialog
  end
  object FontDialog1: TspSkinFontDialog
  end
end
)";

class TPagesDemoForm : public TForm {
public:
    using TForm::TForm;
    TspSkinPageControl *TopPages = nullptr, *LeftPages = nullptr;
    TspSkinButton *WarnButton = nullptr, *NameButton = nullptr, *FontButton = nullptr;
    TspSkinTabSheet *SourceSheet = nullptr, *VideoSheet = nullptr, *AudioSheet = nullptr, *SubtitlesSheet = nullptr, *TextSheet = nullptr, *CropSheet = nullptr, *OutputSheet = nullptr, *GeneralSheet = nullptr, *FoldersSheet = nullptr, *DevicesSheet = nullptr, *UpdateSheet = nullptr;
    TspSkinMessage* Message1 = nullptr;
    TspSkinInputDialog* Input1 = nullptr;
    TspSkinFontDialog* FontDialog1 = nullptr;
    int LastAnswer = 0;
    std::string ProfileName = "My profile";

    void WarnClick(TObject*)
    {
        LastAnswer = Message1->MessageDlg("The output file already exists. Replace it?", mtWarning,
                                          TMsgDlgButtons{mbYes, mbNo, mbCancel}, 0);
    }
    void NameClick(TObject*) { Input1->InputQuery("Custom profile", "Name of the new profile:", ProfileName); }
    void FontClick(TObject*) { FontDialog1->Execute(); }

    PUBLISHED(TPagesDemoForm, TForm)
    {
        P.Member("TopPages", &TPagesDemoForm::TopPages);
        P.Member("LeftPages", &TPagesDemoForm::LeftPages);
        P.Member("WarnButton", &TPagesDemoForm::WarnButton);
        P.Member("NameButton", &TPagesDemoForm::NameButton);
        P.Member("FontButton", &TPagesDemoForm::FontButton);
        P.Member("SourceSheet", &TPagesDemoForm::SourceSheet);
        P.Member("VideoSheet", &TPagesDemoForm::VideoSheet);
        P.Member("AudioSheet", &TPagesDemoForm::AudioSheet);
        P.Member("SubtitlesSheet", &TPagesDemoForm::SubtitlesSheet);
        P.Member("TextSheet", &TPagesDemoForm::TextSheet);
        P.Member("CropSheet", &TPagesDemoForm::CropSheet);
        P.Member("OutputSheet", &TPagesDemoForm::OutputSheet);
        P.Member("GeneralSheet", &TPagesDemoForm::GeneralSheet);
        P.Member("FoldersSheet", &TPagesDemoForm::FoldersSheet);
        P.Member("DevicesSheet", &TPagesDemoForm::DevicesSheet);
        P.Member("UpdateSheet", &TPagesDemoForm::UpdateSheet);
        P.Member("Message1", &TPagesDemoForm::Message1);
        P.Member("Input1", &TPagesDemoForm::Input1);
        P.Member("FontDialog1", &TPagesDemoForm::FontDialog1);
        P.Handler("WarnClick", &TPagesDemoForm::WarnClick);
        P.Handler("NameClick", &TPagesDemoForm::NameClick);
        P.Handler("FontClick", &TPagesDemoForm::FontClick);
    }
};

// Reads the demo and gives it what a description cannot hold: the pictures.
TPagesDemoForm* MakeDemo(TComponent* Owner, std::unique_ptr<TCustomImageList>& Images)
{
    RegisterSkinListsClasses();
    RegisterClasses<TPagesDemoForm>();
    auto* demo = new TPagesDemoForm(Owner);
    ReadComponentText(demo, kDemo);
    Images.reset(TCustomImageList::CreateSize(16, 16));
    for (TColor c : {TColor(0x0000C0), TColor(0x00A000), TColor(0xC00000)}) {
        TBitmap b;
        b.SetSize(16, 16);
        b.Canvas()->Brush()->SetColor(c);
        b.Canvas()->Ellipse(2, 2, 14, 14);
        Images->Add(&b, nullptr);
    }
    demo->TopPages->SetImages(Images.get());
    demo->LeftPages->SetImages(Images.get());
    // The style buttons' pictures and a font the machine has.
    SetFormPictureFolder(std::filesystem::path(liststest::SkinNewIni()).parent_path().parent_path().string() +
                         "/pictures");
    demo->FontDialog1->Font()->SetName("DejaVu Sans");
    demo->FontDialog1->Font()->SetSize(12);
    demo->TopPages->SetActivePageIndex(1);
    demo->LeftPages->SetActivePageIndex(0);
    return demo;
}

void SkinDemo(TPagesDemoForm* Demo, TspSkinData* Skin)
{
    AssignSkinData(Demo, Skin);
    for (TspSkinDialogComponent* d :
         std::initializer_list<TspSkinDialogComponent*>{Demo->Message1, Demo->Input1, Demo->FontDialog1}) {
        d->SetSkinData(Skin);
        d->SetCtrlSkinData(Skin);
    }
}

// Opens each dialog with its button, lets Shoot picture it, and closes it
// (the warning with No, the input box with OK, the font dialog with Cancel).
void OpenEachDialog(TPagesDemoForm* Demo, const std::function<void(TCustomForm*, const std::string&)>& Shoot,
                    const std::string& Look)
{
    {
        TModalDriver driver({[&](TCustomForm* f) {
                                 auto* m = dynamic_cast<TspMessageForm*>(f);
                                 ASSERT_NE(m, nullptr);
                                 EXPECT_NE(m->DisplayCheckBox, nullptr);
                                 EXPECT_NE(m->Button(mbYes), nullptr);
                                 EXPECT_NE(m->Button(mbCancel), nullptr);
                                 Shoot(f, "pages-demo-message-" + Look);
                             },
                             [](TCustomForm* f) {
                                 auto* m = static_cast<TspMessageForm*>(f);
                                 m->Button(mbNo)->ButtonClick();
                             }});
        Demo->WarnButton->ButtonClick();
        EXPECT_EQ(Demo->LastAnswer, mrNo);
    }
    {
        TModalDriver driver({[&](TCustomForm* f) {
                                 Shoot(f, "pages-demo-input-" + Look);
                                 Demo->Input1->Edit->SetText("Phone 720p");
                             },
                             [&](TCustomForm*) { Demo->Input1->OkButton->ButtonClick(); }});
        Demo->NameButton->ButtonClick();
        EXPECT_EQ(Demo->ProfileName, "Phone 720p");
    }
    {
        TModalDriver driver({[&](TCustomForm* f) { Shoot(f, "pages-demo-font-" + Look); },
                             [](TCustomForm* f) { f->SetModalResult(mrCancel); }});
        Demo->FontButton->ButtonClick();
    }
}

class PagesDialogsDemoTest : public TListsTest {};

TEST_F(PagesDialogsDemoTest, DescribedDemoWithAndWithoutSkinOpensEachDialog)
{
    std::unique_ptr<TCustomImageList> images;
    auto* demo = MakeDemo(Owner, images);
    demo->SetBounds(20, 20, 640, 300);
    demo->Show();
    Pump();
    ASSERT_EQ(demo->TopPages->PageCount(), 7);
    ASSERT_EQ(demo->LeftPages->PageCount(), 4);
    EXPECT_TRUE(demo->TopPages->ShowCloseButtons());
    EXPECT_EQ(demo->LeftPages->TabPosition(), tpLeft);
    EXPECT_TRUE(demo->Message1->ShowAgainFlag);
    // The top tabs overflow: the skinned scroller shows; the left ones fit.
    ASSERT_NE(demo->TopPages->FSkinUpDown, nullptr);
    EXPECT_TRUE(demo->TopPages->FSkinUpDown->Visible());
    EXPECT_EQ(demo->LeftPages->FSkinUpDown, nullptr);
    auto shoot = [&](TCustomForm* f, const std::string& Name) {
        Pump();
        Shot(f, Name);
    };
    demo->Repaint();
    Pump();
    Shot(demo, "pages-demo-plain");
    OpenEachDialog(demo, shoot, "plain");

    TspSkinData* skin = LoadSkinNew();
    SkinDemo(demo, skin);
    Pump();
    EXPECT_NE(demo->TopPages->FIndex, -1);
    ASSERT_NE(demo->TopPages->FSkinUpDown, nullptr);
    EXPECT_EQ(demo->TopPages->FSkinUpDown->SkinData(), skin);
    demo->Repaint();
    Pump();
    Shot(demo, "pages-demo-skinned");
    OpenEachDialog(demo, shoot, "skinned");
    SetFormPictureFolder("");
}

TEST(PagesDialogsDemoX11, DescribedDemoShowsOnTheXScreen)
{
    tarnello::test::X11TestSession x11;
    if (!x11.Ok())
        GTEST_SKIP() << "no X display";
    HeadlessReset();
    InstallScreenSkinSeams();
    x11.Select();
    std::unique_ptr<TCustomImageList> images;
    auto* demo = MakeDemo(nullptr, images);
    demo->SetBounds(40, 560, 640, 300);
    TspSkinData skin(nullptr);
    ASSERT_TRUE(skin.LoadFromFile(liststest::SkinNewIni())) << skin.LastError();
    SkinDemo(demo, &skin);
    demo->Show();
    const TPoint probe = demo->TopPages->ClientToScreen(TPoint(40, 8));
    EXPECT_TRUE(x11.WaitDrawn(probe.x, probe.y));
    x11.Settle(150);
    EXPECT_TRUE(x11.SaveWindow(demo, "pages-demo-x11.png"));
    OpenEachDialog(
        demo,
        [&](TCustomForm* f, const std::string& Name) {
            x11.Settle(150);
            EXPECT_TRUE(x11.SaveWindow(f, Name + ".png"));
        },
        "x11");
    SkinDemo(demo, nullptr);
    SetFormPictureFolder("");
    demo->Free();
    Application->ProcessMessages();
    x11.Release();
    HeadlessReset();
}

}  // namespace
