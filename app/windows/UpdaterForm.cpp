#include "app/windows/UpdaterForm.h"

#include "app/core/AppData.h"
#include "app/core/Translation.h"
#include "app/windows/MainForm.h"
#include "app/windows/UserMessages.h"

#include <algorithm>
#include <cstdint>

TUpdaterForm* UpdaterForm = nullptr;

std::string_view TUpdaterForm::FormDescription()
{
    return R"(object UpdaterForm: TUpdaterForm
  Left = 0
  Top = 0
  BorderStyle = bsDialog
  BorderIcons = []
  ClientWidth = 353
  ClientHeight = 110
  Caption = 'Update Software'
  Position = poScreenCenter
  OnCreate = FormCreate
  OnShow = FormShow
  object spFormSkinner1: TspFormSkinner
    PositionInMonitor = sppScreenCenter
  end
  object lblInfo: TspSkinStdLabel
    Left = 8
    Top = 12
    Width = 337
    Height = 14
    Caption = 'Downloading new version. Please wait...'
  end
  object Gauge: TspSkinGauge
    Left = 8
    Top = 37
    Width = 337
    Height = 20
    MinValue = 0
    MaxValue = 100
  end
  object CancelBtn: TspSkinButton
    Left = 264
    Top = 75
    Width = 81
    Height = 25
    Caption = 'Cancel'
    OnClick = CancelBtnClick
  end
  object FirstCheckTimer: TTimer
    Enabled = False
    Interval = 1
    OnTimer = FirstCheckTimerTimer
  end
end
)";
}

void TUpdaterForm::FormCreate(TObject*)
{
    UseMainWindowSkin(this);
    SetCaption(TranslateText("Update Software"));
    CancelBtn->SetCaption(TranslateText("Cancel"));
    lblInfo->SetCaption(TranslateText("Downloading new version. Please wait..."));
    // The check component with its bindings.
    WebUpdater = new TWebUpdate(this);
    WebUpdater->OnDownload = TWebUpdateDownloadEvent::Bind(this, &TUpdaterForm::WebUpdaterDownload);
    WebUpdater->OnDownloadError = TNotifyEvent::Bind(this, &TUpdaterForm::WebUpdaterDownloadError);
    WebUpdater->OnNoUpdateFound = TNotifyEvent::Bind(this, &TUpdaterForm::WebUpdaterNoUpdateFound);
    WebUpdater->OnBeforeShowInfo = TWebUpdateShowInfoEvent::Bind(this, &TUpdaterForm::WebUpdaterBeforeShowInfo);
    WebUpdater->OnUpdateAvailable = TWebUpdateAvailableEvent::Bind(this, &TUpdaterForm::WebUpdaterUpdateAvailable);
    // Windows keep painting and Cancel stays live while the page arrives.
    WebUpdater->ProcessMessages = [] { Application->ProcessMessages(); };
}

void TUpdaterForm::FormShow(TObject*) { SetClientHeight(110); }

void TUpdaterForm::CancelBtnClick(TObject*)
{
    WebUpdater->Abort();
    Close();
}

bool TUpdaterForm::Check()
{
    WebUpdater->URL = UpdatePageAddress();
    WebUpdater->Version = kProductVersion;
    // An empty address (TARNELLO_UPDATE_URL set empty) turns the check off.
    if (WebUpdater->URL.empty())
        return false;
    return WebUpdater->CheckForAnUpdate();
}

bool TUpdaterForm::CheckNow()
{
    FSilent = false;
    return Check();
}

void TUpdaterForm::ScheduleFirstCheck() { FirstCheckTimer->SetEnabled(true); }

void TUpdaterForm::FirstCheckTimerTimer(TObject*)
{
    FirstCheckTimer->SetEnabled(false);
    FSilent = true;
    Check();
    FSilent = false;
}

void TUpdaterForm::WebUpdaterUpdateAvailable(TObject*, const std::string&, const std::string& NewVersion,
                                             bool& CanUpdate)
{
    CanUpdate = AskUser(UpdateQuestion(NewVersion), mtWarning, TMsgDlgButtons{mbYes, mbNo}) == mrYes;
}

void TUpdaterForm::WebUpdaterBeforeShowInfo(TObject*, bool& ShowInfo, bool&) { ShowInfo = false; }

void TUpdaterForm::WebUpdaterNoUpdateFound(TObject*)
{
    if (App().FirstUpdateCheckDone && !FSilent)
        AskUser(TranslateText(kNoUpdateAvailable), mtInformation, TMsgDlgButtons{mbOK});
}

void TUpdaterForm::WebUpdaterDownload(TObject*, std::int64_t Total, std::int64_t Downloaded)
{
    Gauge->SetMaxValue(static_cast<int>(std::min<std::int64_t>(Total, INT32_MAX)));
    Gauge->SetValue(static_cast<int>(std::min<std::int64_t>(Downloaded, INT32_MAX)));
}

void TUpdaterForm::WebUpdaterDownloadError(TObject*)
{
    if (App().FirstUpdateCheckDone && !FSilent)
        AskUser(TranslateText(kUpdateDownloadError), mtError, TMsgDlgButtons{mbOK});
}

void TUpdaterForm::DeclarePublished(TPublisher<TUpdaterForm>& P)
{
    P.Member("spFormSkinner1", &TUpdaterForm::spFormSkinner1);
    P.Member("lblInfo", &TUpdaterForm::lblInfo);
    P.Member("Gauge", &TUpdaterForm::Gauge);
    P.Member("CancelBtn", &TUpdaterForm::CancelBtn);
    P.Member("FirstCheckTimer", &TUpdaterForm::FirstCheckTimer);
    P.Handler("FormCreate", &TUpdaterForm::FormCreate);
    P.Handler("FormShow", &TUpdaterForm::FormShow);
    P.Handler("CancelBtnClick", &TUpdaterForm::CancelBtnClick);
    P.Handler("FirstCheckTimerTimer", &TUpdaterForm::FirstCheckTimerTimer);
    P.Handler("WebUpdaterUpdateAvailable", &TUpdaterForm::WebUpdaterUpdateAvailable);
    P.Handler("WebUpdaterBeforeShowInfo", &TUpdaterForm::WebUpdaterBeforeShowInfo);
    P.Handler("WebUpdaterNoUpdateFound", &TUpdaterForm::WebUpdaterNoUpdateFound);
    P.Handler("WebUpdaterDownload", &TUpdaterForm::WebUpdaterDownload);
    P.Handler("WebUpdaterDownloadError", &TUpdaterForm::WebUpdaterDownloadError);
}
