#pragma once
// The error window: shows a failure and asks whether to send the report.
// It is the report routine's window (IErrorReportWindow).
#include "app/core/ErrorReport.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "skin/controls/SkinButtons.h"
#include "skin/controls/SkinLabels.h"
#include "skin/forms/FormSkinner.h"

#include <string_view>

class TErrorForm : public TForm, public IErrorReportWindow {
public:
    using TForm::TForm;
    TspFormSkinner* spDynamicSkinForm1 = nullptr;
    TImage* Image1 = nullptr;
    TspSkinStdLabel* spSkinStdLabel1 = nullptr;
    TspSkinStdLabel* lblErrorText = nullptr;
    TspSkinStdLabel* spSkinStdLabel2 = nullptr;
    TspSkinButton* SendButton = nullptr;
    TspSkinButton* spSkinButton1 = nullptr;

    static std::string_view FormDescription();
    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void SendButtonClick(TObject* Sender);
    void spSkinButton1Click(TObject* Sender);
    // Sets the message and shows the window modally; 1 = Send.
    int ShowReport(const std::string& Message) override;

    PUBLISHED(TErrorForm, TForm);
};

extern TErrorForm* ErrorForm;
