#pragma once
// The preferences window: the snapshot and temporary folders, the language,
// the number of cores a conversion uses and what happens after a run. It
// is refilled from the shared state at every showing and writes back only
// on OK.
#include "app/core/Preferences.h"
#include "platform/gui/Forms.h"
#include "skin/controls/SkinButtons.h"
#include "skin/controls/SkinCheckRadio.h"
#include "skin/controls/SkinLabels.h"
#include "skin/controls/SkinPanels.h"
#include "skin/forms/FormSkinner.h"
#include "skin/lists/SelectDirDialog.h"
#include "skin/lists/SkinComboBox.h"
#include "skin/lists/SkinPageControl.h"

#include <string_view>

class TPreferForm : public TForm {
public:
    using TForm::TForm;
    TspFormSkinner* spDynamicSkinForm1 = nullptr;
    TspSkinPageControl* spSkinPageControl1 = nullptr;
    TspSkinTabSheet* spSkinTabSheet1 = nullptr;
    TspSkinTabSheet* spSkinTabSheet2 = nullptr;
    TspSkinGroupBox* spSkinGroupBox2 = nullptr;
    TspSkinStdLabel* lblscr = nullptr;
    TspSkinDirectoryEdit* edScreenshots = nullptr;
    TspSkinStdLabel* spSkinStdLabel1 = nullptr;
    TspSkinDirectoryEdit* edTemporaryFolder = nullptr;
    TspSkinGroupBox* spSkinGroupBox3 = nullptr;
    TspSkinStdLabel* spSkinStdLabel2 = nullptr;
    TspSkinComboBox* cmbLanguage = nullptr;
    TspSkinGroupBox* spSkinGroupBox1 = nullptr;
    TspSkinCheckRadioBox* radAllCores = nullptr;
    TspSkinCheckRadioBox* radDefineCores = nullptr;
    TspSkinComboBox* cmbCoreNumber = nullptr;
    TspSkinGroupBox* spSkinGroupBox4 = nullptr;
    TspSkinCheckRadioBox* chkShutdown = nullptr;
    TspSkinCheckRadioBox* chkOpenOutput = nullptr;
    TspSkinButton* OKButton = nullptr;
    TspSkinButton* spSkinButton1 = nullptr;

    static std::string_view FormDescription();
    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void radAllCoresClick(TObject* Sender);
    void radDefineCoresClick(TObject* Sender);
    void cmbLanguageChange(TObject* Sender);
    void OKButtonClick(TObject* Sender);
    void spSkinButton1Click(TObject* Sender);

    PUBLISHED(TPreferForm, TForm);

private:
    TPreferencesEditor FEditor;
};

extern TPreferForm* PreferForm;
