#pragma once
// The skinned input box: asks for one line of text on a form built in code
// for the call (prompt, edit, OK and Cancel), sized in dialog units of the
// platform's default form font, shown modally and freed on every path.
#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"
#include "skin/controls/SkinButtons.h"
#include "skin/controls/SkinLabels.h"
#include "skin/core/SkinData.h"
#include "skin/lists/SkinEdits.h"
#include "skin/lists/SkinDialogForms.h"

#include <cstdint>
#include <memory>
#include <string>

class TspSkinInputDialog : public TspSkinDialogComponent {
public:
    explicit TspSkinInputDialog(TComponent* AOwner);
    ~TspSkinInputDialog() override;

    // The dialog form during a call, nullptr otherwise.
    TForm* Form = nullptr;
    std::string ButtonSkinDataName = "button";
    std::string EditSkinDataName = "edit";
    std::string LabelSkinDataName = "stdlabel";
    TFont* DefaultLabelFont() const { return FDefaultLabelFont.get(); }
    void SetDefaultLabelFont(TFont* Value) { FDefaultLabelFont->Assign(Value); }
    TFont* DefaultEditFont() const { return FDefaultEditFont.get(); }
    void SetDefaultEditFont(TFont* Value) { FDefaultEditFont->Assign(Value); }
    TFont* DefaultButtonFont() const { return FDefaultButtonFont.get(); }
    void SetDefaultButtonFont(TFont* Value) { FDefaultButtonFont->Assign(Value); }
    bool UseSkinFont = true;
    bool AlphaBlend = false;
    std::uint8_t AlphaBlendValue = 200;
    bool AlphaBlendAnimation = false;

    // True with Value := the edited text when confirmed with OK; otherwise
    // False and Value unchanged.
    bool InputQuery(const std::string& ACaption, const std::string& APrompt, std::string& Value);
    // The edited text on OK, ADefault otherwise.
    std::string InputBox(const std::string& ACaption, const std::string& APrompt, const std::string& ADefault);

    // The controls of the open dialog (tests and callers that look during a call).
    TspSkinStdLabel* PromptLabel = nullptr;
    TspSkinEdit* Edit = nullptr;
    TspSkinButton* OkButton = nullptr;
    TspSkinButton* CancelButton = nullptr;

    PUBLISHED(TspSkinInputDialog, TspSkinDialogComponent);

private:
    std::unique_ptr<TFont> FDefaultLabelFont, FDefaultEditFont, FDefaultButtonFont;
};

// The dialog units of a font: the average width of the 52 letters and the
// line height (horizontal units are a quarter, vertical ones an eighth).
TSize DialogUnitsOf(TFont* Font);

void RegisterSkinInputDialogClasses();
