#include "app/windows/ErrorForm.h"

#include "app/core/Translation.h"
#include "app/windows/MainForm.h"

TErrorForm* ErrorForm = nullptr;

std::string_view TErrorForm::FormDescription()
{
    return R"(object ErrorForm: TErrorForm
  Left = 0
  Top = 0
  BorderIcons = []
  ClientWidth = 375
  ClientHeight = 141
  Caption = 'Error!'
  Position = poScreenCenter
  OnCreate = FormCreate
  OnShow = FormShow
  object spDynamicSkinForm1: TspFormSkinner
    PositionInMonitor = sppDefault
    BorderIcons = []
  end
  object Image1: TImage
    Left = 15
    Top = 11
    Width = 32
    Height = 32
    Picture = 'error.png'
    Transparent = True
  end
  object spSkinStdLabel1: TspSkinStdLabel
    Left = 63
    Top = 11
    Width = 300
    Height = 14
    Caption = 'The following error occured:'
  end
  object lblErrorText: TspSkinStdLabel
    Left = 63
    Top = 26
    Width = 300
    Height = 34
    AutoSize = False
    WordWrap = True
    Caption = ''
  end
  object spSkinStdLabel2: TspSkinStdLabel
    Left = 9
    Top = 66
    Width = 360
    Height = 28
    AutoSize = False
    WordWrap = True
    Caption = 'Error report is generated. Please send it to developers to fix the problem.'
  end
  object SendButton: TspSkinButton
    Left = 196
    Top = 102
    Width = 80
    Height = 25
    Caption = 'Send'
    ModalResult = 1
    OnClick = SendButtonClick
  end
  object spSkinButton1: TspSkinButton
    Left = 284
    Top = 102
    Width = 80
    Height = 25
    Caption = 'Cancel'
    ModalResult = 2
    OnClick = spSkinButton1Click
  end
end
)";
}

void TErrorForm::FormCreate(TObject*)
{
    UseMainWindowSkin(this);
    SetCaption(TranslateText("Error!"));
    spSkinStdLabel1->SetCaption(TranslateText("The following error occured:"));
    spSkinStdLabel2->SetCaption(TranslateText("Error report is generated. Please send it to developers to fix the problem."));
    SendButton->SetCaption(TranslateText("Send"));
    spSkinButton1->SetCaption(TranslateText("Cancel"));
}

void TErrorForm::FormShow(TObject*) { SetClientHeight(140); }

void TErrorForm::SendButtonClick(TObject*) { SetModalResult(1); }

void TErrorForm::spSkinButton1Click(TObject*) { SetModalResult(2); }

int TErrorForm::ShowReport(const std::string& Message)
{
    lblErrorText->SetCaption(Message);
    return static_cast<int>(ShowModal());
}

void TErrorForm::DeclarePublished(TPublisher<TErrorForm>& P)
{
    P.Member("spDynamicSkinForm1", &TErrorForm::spDynamicSkinForm1);
    P.Member("Image1", &TErrorForm::Image1);
    P.Member("spSkinStdLabel1", &TErrorForm::spSkinStdLabel1);
    P.Member("lblErrorText", &TErrorForm::lblErrorText);
    P.Member("spSkinStdLabel2", &TErrorForm::spSkinStdLabel2);
    P.Member("SendButton", &TErrorForm::SendButton);
    P.Member("spSkinButton1", &TErrorForm::spSkinButton1);
    P.Handler("FormCreate", &TErrorForm::FormCreate);
    P.Handler("FormShow", &TErrorForm::FormShow);
    P.Handler("SendButtonClick", &TErrorForm::SendButtonClick);
    P.Handler("spSkinButton1Click", &TErrorForm::spSkinButton1Click);
}
