#pragma once
// The file-information window: a file's name, length, video and audio
// values; the main window's Properties command fills the value labels.
#include "platform/gui/Forms.h"
#include "skin/controls/SkinButtons.h"
#include "skin/controls/SkinLabels.h"
#include "skin/controls/SkinPanels.h"
#include "skin/forms/FormSkinner.h"

#include <string>
#include <string_view>

class TFileInfoForm : public TForm {
public:
    using TForm::TForm;
    TspFormSkinner* spDynamicSkinForm1 = nullptr;
    TspSkinStdLabel* spSkinStdLabel8 = nullptr;
    TspSkinLabel* spSkinLabel2 = nullptr;
    TspSkinStdLabel* spSkinStdLabel7 = nullptr;
    TspSkinLabel* spSkinLabel3 = nullptr;
    TspSkinGroupBox* spSkinGroupBox1 = nullptr;
    TspSkinStdLabel* spSkinStdLabel1 = nullptr;
    TspSkinLabel* spSkinLabel1 = nullptr;
    TspSkinStdLabel* spSkinStdLabel2 = nullptr;
    TspSkinLabel* spSkinLabel4 = nullptr;
    TspSkinStdLabel* spSkinStdLabel3 = nullptr;
    TspSkinLabel* spSkinLabel5 = nullptr;
    TspSkinGroupBox* spSkinGroupBox2 = nullptr;
    TspSkinStdLabel* spSkinStdLabel4 = nullptr;
    TspSkinLabel* spSkinLabel6 = nullptr;
    TspSkinStdLabel* spSkinStdLabel5 = nullptr;
    TspSkinLabel* spSkinLabel7 = nullptr;
    TspSkinStdLabel* spSkinStdLabel6 = nullptr;
    TspSkinLabel* spSkinLabel8 = nullptr;
    TspSkinButton* spSkinButton1 = nullptr;

    static std::string_view FormDescription();
    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void spSkinButton1Click(TObject* Sender);

    PUBLISHED(TFileInfoForm, TForm);
};

extern TFileInfoForm* FileInfoForm;
