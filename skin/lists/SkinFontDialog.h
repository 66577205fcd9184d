#pragma once
// The skinned font dialog: a form built in code for each Execute with the
// font name box, a colour button, the size box or a height edit, the four
// style buttons, an optional script list and a live example; OK copies the
// working font into Font and raises OnChange once, anything else leaves Font
// alone. The script list stores a character set, which picks no glyphs here
// (faces go by name).
#include "platform/gui/Forms.h"
#include "platform/gui/ImgList.h"
#include "platform/gui/StdCtrls.h"
#include "skin/controls/SkinButtons.h"
#include "skin/controls/SkinLabels.h"
#include "skin/controls/SkinPanels.h"
#include "skin/forms/FormSkinner.h"
#include "skin/lists/SkinComboBox.h"
#include "skin/lists/SkinDialogForms.h"
#include "skin/lists/SkinFontCombos.h"
#include "skin/lists/SkinSpinEdit.h"
#include "skin/lists/SkinTextColorButton.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// The script list: index of a character set (DEFAULT_CHARSET's when none
// matches) and the character set of an index (-1: DEFAULT_CHARSET; outside
// the table: ERangeError).
int ScriptIndexOfCharset(int Charset);
int CharsetOfScriptIndex(int Index);
// The names the script list shows, in table order.
const char* ScriptName(int Index);
constexpr int kScriptCount = 19;

class TspFontDlgForm : public TForm {
public:
    TspFontDlgForm(TComponent* AOwner, TspSkinData* ACtrlSkinData, bool AShowScript,
                   TCustomImageList* AButtonsImageList);

    TspFormSkinner* FSK = nullptr;
    TspSkinComboBox* ScriptComboBox = nullptr;
    TspSkinFontComboBox* FontNameBox = nullptr;
    // The colour button: its marker shows the colour, a click picks another.
    TspSkinTextColorButton* FontColorBox = nullptr;
    TspSkinFontSizeComboBox* FontSizeEdit = nullptr;
    TspSkinSpinEdit* FontHeightEdit = nullptr;
    TspSkinPanel* FontExamplePanel = nullptr;
    TLabel* FontExampleLabel = nullptr;
    TspSkinButton *OkButton = nullptr, *CancelButton = nullptr;
    TspSkinStdLabel *ScriptLabel = nullptr, *FontNameLabel = nullptr, *FontColorLabel = nullptr,
                    *FontSizeLabel = nullptr, *FontHeightLabel = nullptr, *FontStyleLabel = nullptr,
                    *FontExLabel = nullptr;
    TspSkinSpeedButton *BoldButton = nullptr, *ItalicButton = nullptr, *UnderLineButton = nullptr,
                       *StrikeOutButton = nullptr;
    // The bitmaps the style buttons show when no image list is given.
    std::unique_ptr<TBitmap> StyleGlyphs[4];

    void FontNameChange(TObject* Sender);
    void FontSizeChange(TObject* Sender);
    void FontHeightChange(TObject* Sender);
    void FontScriptChange(TObject* Sender);
    void FontColorChange(TObject* Sender);
    void BoldButtonClick(TObject* Sender);
    void ItalicButtonClick(TObject* Sender);
    void UnderLineButtonClick(TObject* Sender);
    void StrikeOutButtonClick(TObject* Sender);
    // Sets the colour button's colour (and the example's).
    void SetColorValue(TColor Value);
    TColor ColorValue() const { return FontColorBox->FColorMarkerValue; }

    PUBLISHED(TspFontDlgForm, TForm) {}

private:
    void ToggleStyle(TspSkinSpeedButton* Button, TFontStyle Style);
    void ShowPointSize();
    TspSkinData* FCtrlSkinData;
    bool FHeightUpdate = false;
};

class TspSkinFontDialog : public TspSkinDialogComponent {
public:
    explicit TspSkinFontDialog(TComponent* AOwner);
    ~TspSkinFontDialog() override;

    TFont* DefaultFont() const { return FDefaultFont.get(); }
    void SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }
    std::string Title = "Font";
    TspFontDlgForm* FDlgFrm = nullptr;
    TNotifyEvent OnChange;
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    bool ShowSizeEdit() const { return FShowSizeEdit; }
    void SetShowSizeEdit(bool Value);
    bool ShowHeightEdit() const { return FShowHeightEdit; }
    void SetShowHeightEdit(bool Value);
    bool AlphaBlend = false;
    bool AlphaBlendAnimation = false;
    std::uint8_t AlphaBlendValue = 200;
    bool ShowScript = false;
    TCustomImageList* ButtonsImageList() const { return FButtonsImageList; }
    void SetButtonsImageList(TCustomImageList* Value);

    bool Execute();
    void Notification(TComponent* AComponent, TOperation Operation) override;

    PUBLISHED(TspSkinFontDialog, TspSkinDialogComponent);

private:
    std::unique_ptr<TFont> FDefaultFont, FFont;
    bool FShowSizeEdit = true, FShowHeightEdit = false;
    TCustomImageList* FButtonsImageList = nullptr;
};

void RegisterSkinFontDialogClasses();
