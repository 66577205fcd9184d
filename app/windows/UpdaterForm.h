#pragma once
// The update window: holds the update check and speaks its outcomes. The
// question whether to update is always asked; the "no update" and error
// messages only after the silent check of the first start.
#include "app/core/WebUpdate.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "skin/controls/SkinButtons.h"
#include "skin/controls/SkinGauges.h"
#include "skin/controls/SkinLabels.h"
#include "skin/forms/FormSkinner.h"

#include <string_view>

class TUpdaterForm : public TForm {
public:
    using TForm::TForm;
    TspFormSkinner* spFormSkinner1 = nullptr;
    TspSkinStdLabel* lblInfo = nullptr;
    TspSkinGauge* Gauge = nullptr;
    TspSkinButton* CancelBtn = nullptr;
    TWebUpdate* WebUpdater = nullptr;
    TTimer* FirstCheckTimer = nullptr;

    static std::string_view FormDescription();
    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void CancelBtnClick(TObject* Sender);
    void FirstCheckTimerTimer(TObject* Sender);
    void WebUpdaterUpdateAvailable(TObject* Sender, const std::string& ActualVersion, const std::string& NewVersion,
                                   bool& CanUpdate);
    void WebUpdaterBeforeShowInfo(TObject* Sender, bool& ShowInfo, bool& CheckForUpdate);
    void WebUpdaterNoUpdateFound(TObject* Sender);
    void WebUpdaterDownload(TObject* Sender, std::int64_t Total, std::int64_t Downloaded);
    void WebUpdaterDownloadError(TObject* Sender);

    // The "Check for updates" command: the check with its messages.
    bool CheckNow();
    // The first start: the check runs once the main window has painted,
    // without messages unless a newer version exists.
    void ScheduleFirstCheck();
    bool FirstCheckPending() const { return FirstCheckTimer && FirstCheckTimer->Enabled(); }

    PUBLISHED(TUpdaterForm, TForm);

private:
    bool Check();
    bool FSilent = false;
};

extern TUpdaterForm* UpdaterForm;
