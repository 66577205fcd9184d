#include "app/windows/DVDInfoForm.h"

#include "app/core/Translation.h"
#include "app/windows/MainForm.h"

TDVDInfoForm* DVDInfoForm = nullptr;

std::string_view TDVDInfoForm::FormDescription()
{
    return R"(object DVDInfoForm: TDVDInfoForm
  Left = 0
  Top = 0
  BorderStyle = bsDialog
  BorderIcons = []
  ClientWidth = 480
  ClientHeight = 360
  Caption = 'DVD Info'
  Position = poScreenCenter
  OnCreate = FormCreate
  object spDynamicSkinForm1: TspFormSkinner
    PositionInMonitor = sppDefault
    BorderIcons = []
  end
  object Memo1: TspSkinMemo
    Left = 8
    Top = 12
    Width = 464
    Height = 302
    Anchors = [akLeft, akTop, akRight, akBottom]
    ReadOnly = True
    ScrollBars = ssBoth
  end
  object spSkinButton1: TspSkinButton
    Left = 392
    Top = 326
    Width = 80
    Height = 25
    Anchors = [akRight, akBottom]
    Caption = 'OK'
    OnClick = spSkinButton1Click
  end
end
)";
}

void TDVDInfoForm::FormCreate(TObject*)
{
    UseMainWindowSkin(this);
    SetCaption(TranslateText("DVD Info"));
}

void TDVDInfoForm::spSkinButton1Click(TObject*) { SetModalResult(mrOk); }

void TDVDInfoForm::SetDescription(const std::vector<std::string>& Lines)
{
    TStrings* memo = Memo1->Lines();
    memo->BeginUpdate();
    memo->Clear();
    for (const std::string& line : Lines)
        memo->Add(line);
    memo->EndUpdate();
}

void TDVDInfoForm::DeclarePublished(TPublisher<TDVDInfoForm>& P)
{
    P.Member("spDynamicSkinForm1", &TDVDInfoForm::spDynamicSkinForm1);
    P.Member("Memo1", &TDVDInfoForm::Memo1);
    P.Member("spSkinButton1", &TDVDInfoForm::spSkinButton1);
    P.Handler("FormCreate", &TDVDInfoForm::FormCreate);
    P.Handler("spSkinButton1Click", &TDVDInfoForm::spSkinButton1Click);
}
