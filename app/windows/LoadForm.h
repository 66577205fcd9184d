#pragma once
// The loading window: shown modally while a loading job probes the pending
// sources; it shows the name being probed and a gauge, and its Cancel
// button asks the job to stop before the next source.
//
// The road that shows it gives the job (Job); the job runs once per showing,
// on the window's first activation, and the window closes itself when the
// job has ended.
#include "app/core/MediaLoading.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "skin/controls/SkinButtons.h"
#include "skin/controls/SkinGauges.h"
#include "skin/controls/SkinLabels.h"
#include "skin/forms/FormSkinner.h"
#include "skin/lists/SkinMessage.h"

#include <functional>
#include <string>
#include <string_view>

class TLoadForm : public TForm, public ILoadingDialog {
public:
    using TForm::TForm;
    TspFormSkinner* spFormSkinner1 = nullptr;
    TspSkinStdLabel* VideoTitleLabel = nullptr;
    TspSkinGauge* Gauge = nullptr;
    TspSkinButton* CancelButton = nullptr;
    TspSkinMessage* SkinMessage = nullptr;
    TTimer* SleepTimer = nullptr;
    // The job of the current showing has started (cleared by the caller
    // after ShowModal returns).
    bool IsShown = false;
    // What the showing does; set by the road before ShowModal.
    std::function<void(ILoadingDialog&)> Job;
    // Where the job's messages go; the window's own message box when empty.
    std::function<void(const std::string&)> Inform;

    static std::string_view FormDescription();
    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormActivate(TObject* Sender);
    void CancelButtonClick(TObject* Sender);
    void SleepTimerTimer(TObject* Sender);

    // ILoadingDialog
    void ShowProgress(const std::string& ALabel, int AGauge) override;
    bool CancelRequested() override;
    void ShowMessage(const std::string& AText) override;

    PUBLISHED(TLoadForm, TForm);

protected:
    void WndProc(TMessage& Message) override;
};

extern TLoadForm* LoadForm;
