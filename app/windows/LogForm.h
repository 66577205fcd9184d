#pragma once
// The events log window: the core's events log in a read-only memo.
#include "platform/gui/Forms.h"
#include "skin/controls/SkinButtons.h"
#include "skin/forms/FormSkinner.h"
#include "skin/lists/SkinMemo.h"

#include <string_view>

class TLogForm : public TForm {
public:
    using TForm::TForm;
    TspFormSkinner* spDynamicSkinForm1 = nullptr;
    TspSkinMemo* mmoLog = nullptr;
    TspSkinButton* spSkinButton4 = nullptr;

    static std::string_view FormDescription();
    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    // Copies the events log into the memo (the showing does it too).
    void FillLog();

    PUBLISHED(TLogForm, TForm);
};

extern TLogForm* LogForm;
