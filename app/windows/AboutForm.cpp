#include "app/windows/AboutForm.h"

#include "app/core/ErrorReport.h"
#include "app/core/ProductLinks.h"
#include "app/core/Translation.h"
#include "app/windows/MainForm.h"
#include "platform/rtl/DateTime.h"

TAboutForm* AboutForm = nullptr;

std::string_view TAboutForm::FormDescription()
{
    return R"(object AboutForm: TAboutForm
  Left = 0
  Top = 0
  BorderStyle = bsDialog
  BorderIcons = []
  ClientWidth = 334
  ClientHeight = 228
  Caption = 'About'
  Position = poScreenCenter
  OnCreate = FormCreate
  OnShow = FormShow
  object spDynamicSkinForm1: TspFormSkinner
    PositionInMonitor = sppDefault
  end
  object LogoPanel: TspSkinPanel
    Left = 12
    Top = 12
    Width = 314
    Height = 55
    object LogoImage: TImage
      Left = 4
      Top = 4
      Width = 200
      Height = 48
      Transparent = True
    end
  end
  object lblversion: TspSkinStdLabel
    Left = 262
    Top = 73
    Width = 64
    Height = 14
    Caption = 'Version 1.0'
  end
  object spSkinPanel2: TspSkinPanel
    Left = 12
    Top = 92
    Width = 314
    Height = 84
    object lblNotice: TspSkinStdLabel
      Left = 11
      Top = 12
      Width = 290
      Height = 14
      Caption = ''
    end
    object spSkinStdLabel1: TspSkinStdLabel
      Left = 11
      Top = 36
      Width = 80
      Height = 14
      Caption = 'Home Page:'
    end
    object spSkinStdLabel2: TspSkinStdLabel
      Left = 11
      Top = 58
      Width = 80
      Height = 14
      Caption = 'Support:'
    end
    object lblHomePage: TspSkinLinkLabel
      Left = 96
      Top = 36
      Width = 200
      Height = 14
      Caption = ''
    end
    object lblSupport: TspSkinLinkLabel
      Left = 96
      Top = 58
      Width = 200
      Height = 14
      Caption = ''
    end
  end
  object PreviewButton: TspSkinButton
    Left = 234
    Top = 192
    Width = 90
    Height = 25
    Caption = 'OK'
    OnClick = PreviewButtonClick
  end
end
)";
}

void TAboutForm::FormCreate(TObject*)
{
    UseMainWindowSkin(this);
    SetCaption(TranslateText("About"));
    spSkinStdLabel1->SetCaption(TranslateText("Home Page") + ":");
    spSkinStdLabel2->SetCaption(TranslateText("Support") + ":");
    lblversion->SetCaption(TranslateText("Version") + " " + product::Version);
    int year = 0, month = 0, day = 0;
    DecodeDate(Now(), year, month, day);
    lblNotice->SetCaption(CopyrightNotice(year));
    lblHomePage->SetCaption(product::HomePage);
    lblHomePage->SetURL(product::HomePage);
    lblSupport->SetCaption(SupportAddress);
    lblSupport->SetURL(std::string("mailto:") + SupportAddress);
}

void TAboutForm::FormShow(TObject*)
{
    SetClientHeight(228);
    // The main window's logo, as it stands at this showing.
    if (MainForm && MainForm->LogoImage)
        LogoImage->Picture()->Assign(MainForm->LogoImage->Picture());
}

void TAboutForm::PreviewButtonClick(TObject*) { SetModalResult(mrOk); }

void TAboutForm::DeclarePublished(TPublisher<TAboutForm>& P)
{
    P.Member("spDynamicSkinForm1", &TAboutForm::spDynamicSkinForm1);
    P.Member("LogoPanel", &TAboutForm::LogoPanel);
    P.Member("LogoImage", &TAboutForm::LogoImage);
    P.Member("lblversion", &TAboutForm::lblversion);
    P.Member("spSkinPanel2", &TAboutForm::spSkinPanel2);
    P.Member("lblNotice", &TAboutForm::lblNotice);
    P.Member("spSkinStdLabel1", &TAboutForm::spSkinStdLabel1);
    P.Member("spSkinStdLabel2", &TAboutForm::spSkinStdLabel2);
    P.Member("lblHomePage", &TAboutForm::lblHomePage);
    P.Member("lblSupport", &TAboutForm::lblSupport);
    P.Member("PreviewButton", &TAboutForm::PreviewButton);
    P.Handler("FormCreate", &TAboutForm::FormCreate);
    P.Handler("FormShow", &TAboutForm::FormShow);
    P.Handler("PreviewButtonClick", &TAboutForm::PreviewButtonClick);
}
