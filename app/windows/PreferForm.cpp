#include "app/windows/PreferForm.h"

#include "app/core/AppData.h"
#include "app/core/Translation.h"
#include "app/windows/MainForm.h"
#include "app/windows/UserMessages.h"

TPreferForm* PreferForm = nullptr;

std::string_view TPreferForm::FormDescription()
{
    return R"(object PreferForm: TPreferForm
  Left = 0
  Top = 0
  BorderStyle = bsDialog
  BorderIcons = []
  ClientWidth = 369
  ClientHeight = 305
  Caption = 'Preferences'
  Position = poScreenCenter
  OnCreate = FormCreate
  OnShow = FormShow
  object spDynamicSkinForm1: TspFormSkinner
    PositionInMonitor = sppDefault
  end
  object spSkinPageControl1: TspSkinPageControl
    Left = 0
    Top = 0
    Width = 369
    Height = 260
    Align = alTop
    object spSkinTabSheet1: TspSkinTabSheet
      Caption = 'General'
      object spSkinGroupBox2: TspSkinGroupBox
        Left = 8
        Top = 8
        Width = 345
        Height = 130
        Caption = 'Folders'
        object lblscr: TspSkinStdLabel
          Left = 14
          Top = 26
          Width = 200
          Height = 14
          Caption = 'Screenshots:'
        end
        object edScreenshots: TspSkinDirectoryEdit
          Left = 14
          Top = 44
          Width = 317
          Height = 20
          ReadOnly = True
        end
        object spSkinStdLabel1: TspSkinStdLabel
          Left = 14
          Top = 74
          Width = 200
          Height = 14
          Caption = 'Temporary:'
        end
        object edTemporaryFolder: TspSkinDirectoryEdit
          Left = 14
          Top = 92
          Width = 317
          Height = 20
          ReadOnly = True
        end
      end
      object spSkinGroupBox3: TspSkinGroupBox
        Left = 8
        Top = 146
        Width = 345
        Height = 72
        Caption = 'Language'
        object spSkinStdLabel2: TspSkinStdLabel
          Left = 14
          Top = 34
          Width = 70
          Height = 14
          Caption = 'Language:'
        end
        object cmbLanguage: TspSkinComboBox
          Left = 84
          Top = 30
          Width = 250
          Height = 20
          OnChange = cmbLanguageChange
        end
      end
    end
    object spSkinTabSheet2: TspSkinTabSheet
      Caption = 'Conversion'
      object spSkinGroupBox1: TspSkinGroupBox
        Left = 8
        Top = 8
        Width = 345
        Height = 96
        Caption = 'Processors:'
        object radAllCores: TspSkinCheckRadioBox
          Left = 14
          Top = 28
          Width = 320
          Height = 22
          SkinDataName = 'radiobox'
          Caption = 'Convert using all cores (maximum possible speed)'
          Radio = True
          GroupIndex = 1
          Checked = True
          OnClick = radAllCoresClick
        end
        object radDefineCores: TspSkinCheckRadioBox
          Left = 14
          Top = 58
          Width = 150
          Height = 22
          SkinDataName = 'radiobox'
          Caption = 'Define core number:'
          Radio = True
          GroupIndex = 1
          OnClick = radDefineCoresClick
        end
        object cmbCoreNumber: TspSkinComboBox
          Left = 160
          Top = 59
          Width = 177
          Height = 20
        end
      end
      object spSkinGroupBox4: TspSkinGroupBox
        Left = 8
        Top = 112
        Width = 345
        Height = 96
        Caption = 'After Conversion'
        object chkShutdown: TspSkinCheckRadioBox
          Left = 14
          Top = 28
          Width = 320
          Height = 22
          Caption = 'Shutdown computer'
        end
        object chkOpenOutput: TspSkinCheckRadioBox
          Left = 14
          Top = 58
          Width = 320
          Height = 22
          Caption = 'Open Output folder'
          Checked = True
        end
      end
    end
  end
  object OKButton: TspSkinButton
    Left = 162
    Top = 270
    Width = 92
    Height = 25
    Caption = 'OK'
    OnClick = OKButtonClick
  end
  object spSkinButton1: TspSkinButton
    Left = 265
    Top = 270
    Width = 92
    Height = 25
    Caption = 'Cancel'
    OnClick = spSkinButton1Click
  end
end
)";
}

void TPreferForm::FormCreate(TObject*)
{
    UseMainWindowSkin(this);
    SetCaption(TranslateText("Preferences"));
    spSkinTabSheet1->SetCaption(TranslateText("General"));
    spSkinTabSheet2->SetCaption(TranslateText("Conversion"));
    spSkinGroupBox2->SetCaption(TranslateText("Folders"));
    spSkinGroupBox3->SetCaption(TranslateText("Language"));
    spSkinGroupBox1->SetCaption(TranslateText("Processors:"));
    spSkinGroupBox4->SetCaption(TranslateText("After Conversion"));
    lblscr->SetCaption(TranslateText("Screenshots:"));
    spSkinStdLabel1->SetCaption(TranslateText("Temporary:"));
    spSkinStdLabel2->SetCaption(TranslateText("Language") + ":");
    radAllCores->SetCaption(TranslateText("Convert using all cores (maximum possible speed)"));
    radDefineCores->SetCaption(TranslateText("Define core number:"));
    chkShutdown->SetCaption(TranslateText("Shutdown Computer"));
    chkOpenOutput->SetCaption(TranslateText("Open Output Folder"));
    OKButton->SetCaption(TranslateText("OK"));
    spSkinButton1->SetCaption(TranslateText("Cancel"));
    spSkinPageControl1->SetActivePageIndex(0);
}

void TPreferForm::FormShow(TObject*)
{
    const bool shutdown = MainForm && MainForm->ShutdownComputer1 && MainForm->ShutdownComputer1->Checked();
    const bool openOutput = MainForm && MainForm->OpenOutputFolder1 ? MainForm->OpenOutputFolder1->Checked() : true;
    FEditor.Open(App(), shutdown, openOutput);
    const TPreferenceValues& v = FEditor.Values();
    edTemporaryFolder->SetText(v.TemporaryFolder);
    edScreenshots->SetText(v.ScreenshotsFolder);
    cmbCoreNumber->Items()->Clear();
    for (const auto& item : TPreferencesEditor::CoreNumberItems(App().ProcessorCount))
        cmbCoreNumber->Items()->Add(item);
    // Filling the language list is the program's own change: no notice.
    cmbLanguage->SetTag(1);
    cmbLanguage->Items()->Clear();
    for (const auto& item : TPreferencesEditor::LanguageItems(App()))
        cmbLanguage->Items()->Add(item);
    cmbCoreNumber->SetItemIndex(v.CoreIndex);
    cmbLanguage->SetItemIndex(v.LanguageIndex);
    cmbLanguage->SetTag(0);
    if (v.UseAllCores)
        radAllCores->SetChecked(true);
    else
        radDefineCores->SetChecked(true);
    cmbCoreNumber->SetEnabled(!v.UseAllCores);
    chkShutdown->SetChecked(v.Shutdown);
    chkOpenOutput->SetChecked(v.OpenOutput);
    SetClientHeight(305);
}

void TPreferForm::radAllCoresClick(TObject*)
{
    if (radAllCores->Checked())
        cmbCoreNumber->SetEnabled(false);
}

void TPreferForm::radDefineCoresClick(TObject*)
{
    if (radDefineCores->Checked())
        cmbCoreNumber->SetEnabled(true);
}

void TPreferForm::cmbLanguageChange(TObject*)
{
    if (cmbLanguage->Tag() == 1)
        return;
    if (FEditor.ChooseLanguage(cmbLanguage->ItemIndex()))
        AskUser(TranslateText(kRestartNotice), mtInformation, TMsgDlgButtons{mbOK});
}

void TPreferForm::OKButtonClick(TObject*)
{
    TPreferenceValues& v = FEditor.Values();
    v.TemporaryFolder = edTemporaryFolder->Text();
    v.ScreenshotsFolder = edScreenshots->Text();
    v.UseAllCores = radAllCores->Checked();
    v.CoreIndex = cmbCoreNumber->ItemIndex();
    v.LanguageIndex = cmbLanguage->ItemIndex();
    v.Shutdown = chkShutdown->Checked();
    v.OpenOutput = chkOpenOutput->Checked();
    bool shutdown = false, openOutput = false;
    FEditor.Apply(App(), shutdown, openOutput);
    if (MainForm && MainForm->ShutdownComputer1)
        MainForm->ShutdownComputer1->SetChecked(shutdown);
    if (MainForm && MainForm->OpenOutputFolder1)
        MainForm->OpenOutputFolder1->SetChecked(openOutput);
    SetModalResult(mrOk);
    Close();
}

void TPreferForm::spSkinButton1Click(TObject*)
{
    SetModalResult(mrCancel);
    Close();
}

void TPreferForm::DeclarePublished(TPublisher<TPreferForm>& P)
{
    P.Member("spDynamicSkinForm1", &TPreferForm::spDynamicSkinForm1);
    P.Member("spSkinPageControl1", &TPreferForm::spSkinPageControl1);
    P.Member("spSkinTabSheet1", &TPreferForm::spSkinTabSheet1);
    P.Member("spSkinTabSheet2", &TPreferForm::spSkinTabSheet2);
    P.Member("spSkinGroupBox2", &TPreferForm::spSkinGroupBox2);
    P.Member("lblscr", &TPreferForm::lblscr);
    P.Member("edScreenshots", &TPreferForm::edScreenshots);
    P.Member("spSkinStdLabel1", &TPreferForm::spSkinStdLabel1);
    P.Member("edTemporaryFolder", &TPreferForm::edTemporaryFolder);
    P.Member("spSkinGroupBox3", &TPreferForm::spSkinGroupBox3);
    P.Member("spSkinStdLabel2", &TPreferForm::spSkinStdLabel2);
    P.Member("cmbLanguage", &TPreferForm::cmbLanguage);
    P.Member("spSkinGroupBox1", &TPreferForm::spSkinGroupBox1);
    P.Member("radAllCores", &TPreferForm::radAllCores);
    P.Member("radDefineCores", &TPreferForm::radDefineCores);
    P.Member("cmbCoreNumber", &TPreferForm::cmbCoreNumber);
    P.Member("spSkinGroupBox4", &TPreferForm::spSkinGroupBox4);
    P.Member("chkShutdown", &TPreferForm::chkShutdown);
    P.Member("chkOpenOutput", &TPreferForm::chkOpenOutput);
    P.Member("OKButton", &TPreferForm::OKButton);
    P.Member("spSkinButton1", &TPreferForm::spSkinButton1);
    P.Handler("FormCreate", &TPreferForm::FormCreate);
    P.Handler("FormShow", &TPreferForm::FormShow);
    P.Handler("radAllCoresClick", &TPreferForm::radAllCoresClick);
    P.Handler("radDefineCoresClick", &TPreferForm::radDefineCoresClick);
    P.Handler("cmbLanguageChange", &TPreferForm::cmbLanguageChange);
    P.Handler("OKButtonClick", &TPreferForm::OKButtonClick);
    P.Handler("spSkinButton1Click", &TPreferForm::spSkinButton1Click);
}
