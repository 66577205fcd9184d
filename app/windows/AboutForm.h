#pragma once
// The about window: the logo, the version, a notice line with the current
// year, and links to the home page and the support address.
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "skin/controls/SkinButtons.h"
#include "skin/controls/SkinLabels.h"
#include "skin/controls/SkinLinkLabel.h"
#include "skin/controls/SkinPanels.h"
#include "skin/forms/FormSkinner.h"

#include <string_view>

class TAboutForm : public TForm {
public:
    using TForm::TForm;
    TspFormSkinner* spDynamicSkinForm1 = nullptr;
    TspSkinPanel* LogoPanel = nullptr;
    TImage* LogoImage = nullptr;
    TspSkinStdLabel* lblversion = nullptr;
    TspSkinPanel* spSkinPanel2 = nullptr;
    TspSkinStdLabel* lblNotice = nullptr;
    TspSkinStdLabel* spSkinStdLabel1 = nullptr;
    TspSkinStdLabel* spSkinStdLabel2 = nullptr;
    TspSkinLinkLabel* lblHomePage = nullptr;
    TspSkinLinkLabel* lblSupport = nullptr;
    TspSkinButton* PreviewButton = nullptr;

    static std::string_view FormDescription();
    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void PreviewButtonClick(TObject* Sender);

    PUBLISHED(TAboutForm, TForm);
};

extern TAboutForm* AboutForm;
