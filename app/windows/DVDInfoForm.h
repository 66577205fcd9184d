#pragma once
// The DVD information window: a read-only memo with the description of
// every title of the loaded DVD, written while the titles were loaded.
#include "platform/gui/Forms.h"
#include "skin/controls/SkinButtons.h"
#include "skin/forms/FormSkinner.h"
#include "skin/lists/SkinMemo.h"

#include <string>
#include <string_view>
#include <vector>

class TDVDInfoForm : public TForm {
public:
    using TForm::TForm;
    TspFormSkinner* spDynamicSkinForm1 = nullptr;
    TspSkinMemo* Memo1 = nullptr;
    TspSkinButton* spSkinButton1 = nullptr;

    static std::string_view FormDescription();
    void FormCreate(TObject* Sender);
    void spSkinButton1Click(TObject* Sender);
    // Replaces the memo's text by these lines.
    void SetDescription(const std::vector<std::string>& Lines);

    PUBLISHED(TDVDInfoForm, TForm);
};

extern TDVDInfoForm* DVDInfoForm;
