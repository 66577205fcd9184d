// Real GUI classes read from stored descriptions: a form with a panel holding
// a label, fonts, colours, anchors, a pop-up menu with items, an action list,
// a timer and an image list, events bound to the form's handlers; what is
// read writes back the same, and the application's CreateForm reads the
// description registered for a form class.
#include "GuiTestCommon.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/gui/ActnList.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/ImgList.h"
#include "platform/gui/Menus.h"
#include "platform/gui/PngImage.h"
#include "platform/gui/StdCtrls.h"
#include "support/TestSupport.h"

#include <filesystem>

namespace {

class TDescForm : public TForm {
public:
    using TForm::TForm;
    TPanel* Panel1 = nullptr;
    TLabel* Label1 = nullptr;
    TPopupMenu* Popup1 = nullptr;
    TMenuItem* File1 = nullptr;
    TMenuItem* Open1 = nullptr;
    TActionList* Actions1 = nullptr;
    TAction* Action1 = nullptr;
    TTimer* Timer1 = nullptr;
    TImageList* Images1 = nullptr;
    int Clicks = 0;
    int Creates = 0;
    int Executes = 0;
    int Keys = 0;
    void PanelClick(TObject*) { ++Clicks; }
    void FormCreate(TObject*) { ++Creates; }
    void ActionExecute(TObject*) { ++Executes; }
    void PanelKeyDown(TObject*, WORD&, TShiftState) { ++Keys; }

    PUBLISHED(TDescForm, TForm)
    {
        P.Member("Panel1", &TDescForm::Panel1);
        P.Member("Label1", &TDescForm::Label1);
        P.Member("Popup1", &TDescForm::Popup1);
        P.Member("File1", &TDescForm::File1);
        P.Member("Open1", &TDescForm::Open1);
        P.Member("Actions1", &TDescForm::Actions1);
        P.Member("Action1", &TDescForm::Action1);
        P.Member("Timer1", &TDescForm::Timer1);
        P.Member("Images1", &TDescForm::Images1);
        P.Handler("PanelClick", &TDescForm::PanelClick);
        P.Handler("FormCreate", &TDescForm::FormCreate);
        P.Handler("ActionExecute", &TDescForm::ActionExecute);
        P.Handler("PanelKeyDown", &TDescForm::PanelKeyDown);
    }
};

const char* const kDescription = R"(object DescForm: TDescForm
  Left = 40
  Top = 30
  Width = 400
  Height = 300
  Caption = 'Described'
  Font.Height = -12
  Font.Name = 'Arial'
  PopupMenu = Popup1
  OnCreate = FormCreate
  object Popup1: TPopupMenu
    Alignment = paRight
    Images = Images1
    object File1: TMenuItem
      Caption = '&File'
      object Open1: TMenuItem
        Action = Action1
        ShortCut = 16463
      end
    end
  end
  object Actions1: TActionList
    object Action1: TAction
      Caption = '&Open...'
      Hint = 'Open a file'
      ImageIndex = 1
      OnExecute = ActionExecute
    end
  end
  object Timer1: TTimer
    Enabled = False
    Interval = 250
    OnTimer = PanelClick
  end
  object Images1: TImageList
    Height = 8
    Width = 8
    Bitmaps = ('icons/strip.png')
  end
  object Panel1: TPanel
    Left = 8
    Top = 8
    Width = 200
    Height = 100
    Anchors = [akLeft, akTop, akRight, akBottom]
    BevelOuter = bvLowered
    Caption = 'Panel'
    Color = clWindow
    Font.Color = clRed
    Font.Height = -16
    Font.Name = 'Arial'
    Font.Style = [fsBold, fsUnderline]
    ParentFont = False
    TabOrder = 0
    OnClick = PanelClick
    OnKeyDown = PanelKeyDown
    object Label1: TLabel
      Left = 4
      Top = 6
      Width = 60
      Height = 19
      Cursor = crHandPoint
      Caption = 'Hello'
      Color = $00123456
      Constraints.MinWidth = 20
      Transparent = True
    end
  end
end
)";

class GuiFormDescriptionTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        RegisterClasses<TDescForm, TPanel, TLabel, TPopupMenu, TMainMenu, TMenuItem, TActionList, TAction, TTimer,
                        TImageList>();
        // A strip of two 8 x 8 pictures for the image list.
        std::filesystem::create_directories(FPictures.path() + "/icons");
        TPngImage png;
        TBitmap bmp;
        bmp.SetSize(16, 8);
        bmp.Canvas()->Brush()->SetColor(clGreen);
        bmp.Canvas()->FillRect(TRect(0, 0, 16, 8));
        png.Assign(&bmp);
        png.SaveToFile(FPictures.path() + "/icons/strip.png");
        SetFormPictureFolder(FPictures.path());
    }
    void TearDown() override
    {
        SetFormPictureFolder("");
        GuiTest::TearDown();
    }
    TDescForm* Read(const std::string& text)
    {
        auto* form = new TDescForm(Owner);
        try {
            ReadComponentText(form, text);
        } catch (...) {
            form->Free();
            throw;
        }
        return form;
    }
    tarnello::test::TempDir FPictures;
};

TEST_F(GuiFormDescriptionTest, ReadsNestedControlsMenusActionsAndEvents)
{
    TDescForm* form = Read(kDescription);
    EXPECT_EQ(form->Creates, 1);
    EXPECT_EQ(form->Caption(), "Described");
    EXPECT_EQ(form->Font()->Height(), -12);
    EXPECT_FALSE(form->HandleAllocated()) << "reading makes no window";

    // The panel: its own font and colour; the label inside follows the panel's font.
    ASSERT_TRUE(form->Panel1 && form->Label1);
    TPanel* panel = form->Panel1;
    EXPECT_EQ(panel->Parent(), form);
    EXPECT_EQ(panel->Owner(), form);
    EXPECT_EQ(panel->BevelOuter(), bvLowered);
    EXPECT_EQ(panel->Color(), clWindow);
    EXPECT_FALSE(panel->ParentFont());
    EXPECT_EQ(panel->Font()->Color(), clRed);
    EXPECT_EQ(panel->Font()->Style(), (TFontStyles{fsBold, fsUnderline}));
    EXPECT_FALSE(panel->HandleAllocated());
    EXPECT_EQ(form->Label1->Parent(), panel);
    EXPECT_EQ(form->Label1->Owner(), form);
    EXPECT_TRUE(form->Label1->ParentFont());
    EXPECT_EQ(form->Label1->Font()->Height(), -16);
    EXPECT_EQ(form->Label1->Color(), 0x00123456);
    EXPECT_EQ(form->Label1->Cursor(), crHandPoint);
    EXPECT_EQ(form->Label1->Constraints()->MinWidth(), 20);
    EXPECT_TRUE(form->Label1->Transparent());

    // Menus: the items nest, the action reaches the item, the short cut holds.
    EXPECT_EQ(form->PopupMenu(), form->Popup1);
    EXPECT_EQ(form->Popup1->Alignment(), paRight);
    EXPECT_EQ(form->Popup1->Images(), form->Images1);
    ASSERT_EQ(form->Popup1->Items()->Count(), 1);
    EXPECT_EQ(form->Popup1->Items()->Items(0), form->File1);
    ASSERT_EQ(form->File1->Count(), 1);
    EXPECT_EQ(form->File1->Items(0), form->Open1);
    EXPECT_EQ(form->Open1->Caption(), "&Open...");
    EXPECT_EQ(form->Open1->ShortCut(), ShortCut('O', TShiftState{ssCtrl}));
    form->Open1->Click();
    EXPECT_EQ(form->Executes, 1);

    // Actions, the timer (no window while disabled) and the image list.
    EXPECT_EQ(form->Action1->ActionList(), form->Actions1);
    EXPECT_EQ(form->Timer1->Interval(), 250u);
    EXPECT_FALSE(form->Timer1->TimerActive());
    EXPECT_EQ(form->Images1->Count(), 2);
    EXPECT_EQ(form->Images1->Width(), 8);

    // Events are bound to the form's handlers.
    form->Panel1->Click();
    EXPECT_EQ(form->Clicks, 1);
    WORD key = VK_F2;
    form->Panel1->OnKeyDown(form->Panel1, key, TShiftState{});
    EXPECT_EQ(form->Keys, 1);

    // Anchored on all sides, the panel grows with the form.
    int oldW = panel->Width(), oldH = panel->Height();
    form->SetBounds(form->Left(), form->Top(), form->Width() + 50, form->Height() + 20);
    EXPECT_EQ(panel->Width(), oldW + 50);
    EXPECT_EQ(panel->Height(), oldH + 20);
}

TEST_F(GuiFormDescriptionTest, WhatIsReadWritesBackTheSame)
{
    TDescForm* form = Read(kDescription);
    std::string written = WriteComponentText(form);
    // Defaults are left out, values that differ are kept.
    EXPECT_EQ(written.find("BevelInner"), std::string::npos);
    EXPECT_NE(written.find("BevelOuter = bvLowered"), std::string::npos);
    EXPECT_NE(written.find("Color = clWindow"), std::string::npos);
    EXPECT_NE(written.find("Font.Style = [fsBold, fsUnderline]"), std::string::npos);
    EXPECT_NE(written.find("Anchors = [akLeft, akTop, akRight, akBottom]"), std::string::npos);
    EXPECT_NE(written.find("Cursor = crHandPoint"), std::string::npos);
    EXPECT_NE(written.find("OnClick = PanelClick"), std::string::npos);
    EXPECT_NE(written.find("PopupMenu = Popup1"), std::string::npos);
    // The label follows the panel's font: none of its own is written.
    std::string label = written.substr(written.find("object Label1"));
    EXPECT_EQ(label.find("Font."), std::string::npos) << label;

    // Reading the written text again gives the same text (the image list's
    // pictures are not written back, and so are not read again either).
    EXPECT_EQ(written.find("Bitmaps"), std::string::npos);
    form->Free();
    TDescForm* second = Read(written);
    EXPECT_EQ(WriteComponentText(second), written);
    EXPECT_EQ(second->Creates, 1);
}

TEST_F(GuiFormDescriptionTest, ReadingErrorsNameTheProblemAndLeaveNothing)
{
    struct TCase {
        std::string From, To, Message;
    };
    const TCase cases[] = {
        {"BevelOuter = bvLowered", "BevelOuter = bvSunken", "bvSunken"},
        {"Color = clWindow", "Colour = clWindow", "Panel1.Colour does not exist"},
        {"Cursor = crHandPoint", "Cursor = crPointingHand", "crPointingHand"},
        {"object Label1: TLabel", "object Label1: TLabelle", "Class TLabelle not found"},
        {"OnClick = PanelClick", "OnClick = PanelClicked", "PanelClicked"},
        {"PopupMenu = Popup1", "PopupMenu = Panel1", "Panel1"},
        {"'icons/strip.png'", "'../strip.png'", "not a file below the picture folder"},
        {"Height = 8\n    Width = 8", "Height = 8\n    Width = 5", "is not a row of 5 x 8 pictures"},
    };
    int formsBefore = Screen->CustomFormCount();
    for (const TCase& c : cases) {
        std::string text = kDescription;
        std::size_t at = text.find(c.From);
        ASSERT_NE(at, std::string::npos) << c.From;
        text.replace(at, c.From.size(), c.To);
        try {
            TDescForm* form = Read(text);
            form->Free();
            ADD_FAILURE() << "read without error: " << c.To;
        } catch (const Exception& e) {
            EXPECT_NE(e.Message().find(c.Message), std::string::npos) << e.Message();
        }
        EXPECT_EQ(Screen->CustomFormCount(), formsBefore) << c.To;
    }
}

TEST_F(GuiFormDescriptionTest, CreateFormReadsTheRegisteredDescription)
{
    RegisterFormDescription("TDescForm", kDescription);
    TDescForm* form = nullptr;
    Application->CreateForm(form);
    ASSERT_TRUE(form);
    EXPECT_EQ(form->Creates, 1) << "OnCreate runs once";
    EXPECT_EQ(form->Caption(), "Described");
    EXPECT_EQ(form->Panel1->Parent(), form);
    Application->SetMainForm(nullptr);
    form->Free();

    // A description that cannot be read leaves no form behind.
    std::string bad = kDescription;
    bad.replace(bad.find("Interval = 250"), 14, "Interval = -1");
    RegisterFormDescription("TDescForm", bad);
    int formsBefore = Screen->CustomFormCount();
    form = nullptr;
    EXPECT_THROW(Application->CreateForm(form), EReadError);
    EXPECT_EQ(form, nullptr);
    EXPECT_EQ(Screen->CustomFormCount(), formsBefore);
    UnRegisterFormDescription("TDescForm");
    // Without a description, the form is made in code as it is.
    Application->CreateForm(form);
    ASSERT_TRUE(form);
    EXPECT_EQ(form->Panel1, nullptr);
    EXPECT_EQ(form->Caption(), "");
    Application->SetMainForm(nullptr);
    form->Free();
}

TEST_F(GuiFormDescriptionTest, AFormDescribedVisibleAppearsOnceCreated)
{
    std::string text = kDescription;
    text.replace(text.find("  OnCreate = FormCreate"), 0, "  Visible = True\n  ClientWidth = 300\n");
    TDescForm* form = Read(text);
    EXPECT_TRUE(form->Visible());
    EXPECT_TRUE(form->HandleAllocated());
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    EXPECT_EQ(form->ClientWidth(), 300);
}

}  // namespace
