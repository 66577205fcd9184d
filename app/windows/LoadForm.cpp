#include "app/windows/LoadForm.h"

#include "app/core/Translation.h"
#include "app/windows/MainForm.h"
#include "platform/user/User.h"

TLoadForm* LoadForm = nullptr;

namespace {
// Posted by the showing, so the job also starts where no activation comes
// (a window system without focus changes).
constexpr UINT WM_START_LOADING = WM_USER + 61;
}  // namespace

std::string_view TLoadForm::FormDescription()
{
    return R"(object LoadForm: TLoadForm
  Left = 0
  Top = 0
  BorderStyle = bsDialog
  BorderIcons = []
  ClientWidth = 354
  ClientHeight = 121
  Caption = 'Loading Video'
  Position = poMainFormCenter
  OnCreate = FormCreate
  OnShow = FormShow
  OnActivate = FormActivate
  object spFormSkinner1: TspFormSkinner
    PositionInMonitor = sppDefault
    BorderIcons = []
  end
  object VideoTitleLabel: TspSkinStdLabel
    Left = 16
    Top = 18
    Width = 322
    Height = 16
    AutoSize = False
    EllipsType = spetEndEllips
    Caption = 'Loading...'
  end
  object Gauge: TspSkinGauge
    Left = 16
    Top = 44
    Width = 322
    Height = 20
    MinValue = 0
    MaxValue = 100
    ShowProgressText = False
    ShowPercent = False
  end
  object CancelButton: TspSkinButton
    Left = 132
    Top = 82
    Width = 90
    Height = 25
    Caption = 'Cancel'
    OnClick = CancelButtonClick
  end
  object SkinMessage: TspSkinMessage
  end
  object SleepTimer: TTimer
    Enabled = False
    Interval = 10
    OnTimer = SleepTimerTimer
  end
end
)";
}

void TLoadForm::FormCreate(TObject*)
{
    IsShown = false;
    UseMainWindowSkin(this);
    SetCaption(TranslateText("Loading Video"));
    VideoTitleLabel->SetCaption(TranslateText("Loading..."));
    CancelButton->SetCaption(TranslateText("Cancel"));
}

void TLoadForm::FormShow(TObject*)
{
    Gauge->SetValue(0);
    VideoTitleLabel->SetCaption("");
    PostMessage(Handle(), WM_START_LOADING, 0, 0);
}

void TLoadForm::FormActivate(TObject*)
{
    if (IsShown)
        return;
    IsShown = true;
    try {
        if (Job)
            Job(*this);
    } catch (...) {
        CancelButton->SetTag(0);
        PostMessage(Handle(), WM_CLOSE, 0, 0);
        throw;
    }
    CancelButton->SetTag(0);
    PostMessage(Handle(), WM_CLOSE, 0, 0);
}

void TLoadForm::CancelButtonClick(TObject*) { CancelButton->SetTag(1); }

void TLoadForm::SleepTimerTimer(TObject*) { SleepTimer->SetEnabled(false); }

void TLoadForm::ShowProgress(const std::string& ALabel, int AGauge)
{
    VideoTitleLabel->SetCaption(ALabel);
    Gauge->SetValue(AGauge);
    SleepTimer->SetEnabled(true);
    Repaint();
}

bool TLoadForm::CancelRequested()
{
    Application->ProcessMessages();
    return CancelButton->Tag() == 1;
}

void TLoadForm::ShowMessage(const std::string& AText)
{
    if (Inform) {
        Inform(AText);
        return;
    }
    SkinMessage->MessageDlg(AText, mtInformation, TMsgDlgButtons{mbOK}, 0);
}

void TLoadForm::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_START_LOADING) {
        FormActivate(this);
        return;
    }
    TForm::WndProc(Message);
}

void TLoadForm::DeclarePublished(TPublisher<TLoadForm>& P)
{
    P.Member("spFormSkinner1", &TLoadForm::spFormSkinner1);
    P.Member("VideoTitleLabel", &TLoadForm::VideoTitleLabel);
    P.Member("Gauge", &TLoadForm::Gauge);
    P.Member("CancelButton", &TLoadForm::CancelButton);
    P.Member("SkinMessage", &TLoadForm::SkinMessage);
    P.Member("SleepTimer", &TLoadForm::SleepTimer);
    P.Handler("FormCreate", &TLoadForm::FormCreate);
    P.Handler("FormShow", &TLoadForm::FormShow);
    P.Handler("FormActivate", &TLoadForm::FormActivate);
    P.Handler("CancelButtonClick", &TLoadForm::CancelButtonClick);
    P.Handler("SleepTimerTimer", &TLoadForm::SleepTimerTimer);
}
