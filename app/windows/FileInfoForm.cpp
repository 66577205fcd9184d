#include "app/windows/FileInfoForm.h"

#include "app/core/Translation.h"
#include "app/windows/MainForm.h"

TFileInfoForm* FileInfoForm = nullptr;

std::string_view TFileInfoForm::FormDescription()
{
    return R"(object FileInfoForm: TFileInfoForm
  Left = 0
  Top = 0
  BorderStyle = bsDialog
  BorderIcons = []
  ClientWidth = 338
  ClientHeight = 370
  Caption = 'Video Properties'
  Position = poScreenCenter
  OnCreate = FormCreate
  OnShow = FormShow
  object spDynamicSkinForm1: TspFormSkinner
    PositionInMonitor = sppDefault
    BorderIcons = []
  end
  object spSkinStdLabel8: TspSkinStdLabel
    Left = 12
    Top = 16
    Width = 90
    Height = 14
    Caption = 'File name:'
  end
  object spSkinLabel2: TspSkinLabel
    Left = 102
    Top = 12
    Width = 226
    Height = 20
    BorderStyle = bvFrame
    Caption = ''
  end
  object spSkinStdLabel7: TspSkinStdLabel
    Left = 12
    Top = 44
    Width = 90
    Height = 14
    Caption = 'Video Length:'
  end
  object spSkinLabel3: TspSkinLabel
    Left = 102
    Top = 40
    Width = 226
    Height = 20
    BorderStyle = bvFrame
    Caption = ''
  end
  object spSkinGroupBox1: TspSkinGroupBox
    Left = 12
    Top = 72
    Width = 316
    Height = 124
    Caption = 'Video'
    object spSkinStdLabel1: TspSkinStdLabel
      Left = 12
      Top = 32
      Width = 90
      Height = 14
      Caption = 'Resolution:'
    end
    object spSkinLabel1: TspSkinLabel
      Left = 102
      Top = 28
      Width = 200
      Height = 20
      BorderStyle = bvFrame
      Caption = ''
    end
    object spSkinStdLabel2: TspSkinStdLabel
      Left = 12
      Top = 62
      Width = 90
      Height = 14
      Caption = 'Bit Rate:'
    end
    object spSkinLabel4: TspSkinLabel
      Left = 102
      Top = 58
      Width = 200
      Height = 20
      BorderStyle = bvFrame
      Caption = ''
    end
    object spSkinStdLabel3: TspSkinStdLabel
      Left = 12
      Top = 92
      Width = 90
      Height = 14
      Caption = 'Frame Rate:'
    end
    object spSkinLabel5: TspSkinLabel
      Left = 102
      Top = 88
      Width = 200
      Height = 20
      BorderStyle = bvFrame
      Caption = ''
    end
  end
  object spSkinGroupBox2: TspSkinGroupBox
    Left = 12
    Top = 202
    Width = 316
    Height = 124
    Caption = 'Audio'
    object spSkinStdLabel4: TspSkinStdLabel
      Left = 12
      Top = 32
      Width = 90
      Height = 14
      Caption = 'Sample Rate:'
    end
    object spSkinLabel6: TspSkinLabel
      Left = 102
      Top = 28
      Width = 200
      Height = 20
      BorderStyle = bvFrame
      Caption = ''
    end
    object spSkinStdLabel5: TspSkinStdLabel
      Left = 12
      Top = 62
      Width = 90
      Height = 14
      Caption = 'Channels:'
    end
    object spSkinLabel7: TspSkinLabel
      Left = 102
      Top = 58
      Width = 200
      Height = 20
      BorderStyle = bvFrame
      Caption = ''
    end
    object spSkinStdLabel6: TspSkinStdLabel
      Left = 12
      Top = 92
      Width = 90
      Height = 14
      Caption = 'Bit Rate:'
    end
    object spSkinLabel8: TspSkinLabel
      Left = 102
      Top = 88
      Width = 200
      Height = 20
      BorderStyle = bvFrame
      Caption = ''
    end
  end
  object spSkinButton1: TspSkinButton
    Left = 237
    Top = 334
    Width = 90
    Height = 25
    Caption = 'OK'
    OnClick = spSkinButton1Click
  end
end
)";
}

void TFileInfoForm::FormCreate(TObject*)
{
    UseMainWindowSkin(this);
    SetCaption(TranslateText("Video Properties"));
    const std::pair<TspSkinStdLabel*, const char*> texts[] = {
        {spSkinStdLabel8, "File name:"},    {spSkinStdLabel7, "Video Length:"}, {spSkinStdLabel1, "Resolution:"},
        {spSkinStdLabel2, "Bit Rate:"},     {spSkinStdLabel3, "Frame Rate:"},   {spSkinStdLabel4, "Sample Rate:"},
        {spSkinStdLabel5, "Channels:"},     {spSkinStdLabel6, "Bit Rate:"},
    };
    for (const auto& [label, text] : texts)
        label->SetCaption(TranslateText(text));
    spSkinGroupBox1->SetCaption(TranslateText("Video"));
    spSkinGroupBox2->SetCaption(TranslateText("Audio"));
}

void TFileInfoForm::FormShow(TObject*) { SetClientHeight(370); }

void TFileInfoForm::spSkinButton1Click(TObject*) { SetModalResult(mrOk); }

void TFileInfoForm::DeclarePublished(TPublisher<TFileInfoForm>& P)
{
    P.Member("spDynamicSkinForm1", &TFileInfoForm::spDynamicSkinForm1);
    P.Member("spSkinStdLabel8", &TFileInfoForm::spSkinStdLabel8);
    P.Member("spSkinLabel2", &TFileInfoForm::spSkinLabel2);
    P.Member("spSkinStdLabel7", &TFileInfoForm::spSkinStdLabel7);
    P.Member("spSkinLabel3", &TFileInfoForm::spSkinLabel3);
    P.Member("spSkinGroupBox1", &TFileInfoForm::spSkinGroupBox1);
    P.Member("spSkinStdLabel1", &TFileInfoForm::spSkinStdLabel1);
    P.Member("spSkinLabel1", &TFileInfoForm::spSkinLabel1);
    P.Member("spSkinStdLabel2", &TFileInfoForm::spSkinStdLabel2);
    P.Member("spSkinLabel4", &TFileInfoForm::spSkinLabel4);
    P.Member("spSkinStdLabel3", &TFileInfoForm::spSkinStdLabel3);
    P.Member("spSkinLabel5", &TFileInfoForm::spSkinLabel5);
    P.Member("spSkinGroupBox2", &TFileInfoForm::spSkinGroupBox2);
    P.Member("spSkinStdLabel4", &TFileInfoForm::spSkinStdLabel4);
    P.Member("spSkinLabel6", &TFileInfoForm::spSkinLabel6);
    P.Member("spSkinStdLabel5", &TFileInfoForm::spSkinStdLabel5);
    P.Member("spSkinLabel7", &TFileInfoForm::spSkinLabel7);
    P.Member("spSkinStdLabel6", &TFileInfoForm::spSkinStdLabel6);
    P.Member("spSkinLabel8", &TFileInfoForm::spSkinLabel8);
    P.Member("spSkinButton1", &TFileInfoForm::spSkinButton1);
    P.Handler("FormCreate", &TFileInfoForm::FormCreate);
    P.Handler("FormShow", &TFileInfoForm::FormShow);
    P.Handler("spSkinButton1Click", &TFileInfoForm::spSkinButton1Click);
}
