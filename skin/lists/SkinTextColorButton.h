#pragma once
// The text colour button: a menu speed button showing its colour as a
// marker bar, whose drop-down part opens a palette (an images menu of 12 x 12
// swatches in 8 columns: an optional "Automatic" row, the sixteen standard
// colours, an optional "More colors..." row that opens the skinned colour
// dialog).
#include "platform/gui/ImgList.h"
#include "skin/controls/SkinMenuButtons.h"
#include "skin/forms/SkinImagesMenu.h"

#include <vector>

class TspSkinColorDialog;

class TspSkinTextColorButton : public TspSkinMenuSpeedButton {
public:
    explicit TspSkinTextColorButton(TComponent* AOwner);
    ~TspSkinTextColorButton() override;

    TColor ColorValue() const { return FColorMarkerValue; }
    void SetColorValue(TColor Value);
    TColor AutoColor = 0;
    bool ShowAutoColor = true;
    bool ShowMoreColor = true;
    TspSkinColorDialog* ColorDialog() const { return FColorDialog; }
    void SetColorDialog(TspSkinColorDialog* Value);
    // Straight through to the palette menu.
    bool MenuUseSkinFont() const { return FColorMenu->UseSkinFont; }
    void SetMenuUseSkinFont(bool Value) { FColorMenu->UseSkinFont = Value; }
    TFont* MenuDefaultFont() const { return FColorMenu->DefaultFont(); }
    void SetMenuDefaultFont(TFont* Value) { FColorMenu->SetDefaultFont(Value); }
    bool MenuAlphaBlend() const { return FColorMenu->AlphaBlend; }
    void SetMenuAlphaBlend(bool Value) { FColorMenu->AlphaBlend = Value; }
    bool MenuAlphaBlendAnimation() const { return FColorMenu->AlphaBlendAnimation; }
    void SetMenuAlphaBlendAnimation(bool Value) { FColorMenu->AlphaBlendAnimation = Value; }
    int MenuAlphaBlendValue() const { return FColorMenu->AlphaBlendValue; }
    // ERangeError outside 0..255, the menu's value unchanged.
    void SetMenuAlphaBlendValue(int Value);
    TNotifyEvent OnChangeColor;

    // Rebuilds the palette; a button made in code calls it itself.
    void InitColors();
    TspSkinImagesMenu* ColorMenu() const { return FColorMenu; }
    TCustomImageList* ColorImages() const { return FColorImages; }
    // The colour of palette item Index (the "More colors..." row has none).
    TColor ItemColor(int Index) const;

    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    PUBLISHED(TspSkinTextColorButton, TspSkinMenuSpeedButton);

    void ColorMenuPopup(TObject* Sender);
    void ColorMenuItemClick(TObject* Sender);

private:
    bool IsMoreColorItem(int Index) const;

    TCustomImageList* FColorImages;
    TspSkinImagesMenu* FColorMenu;
    TspSkinColorDialog* FColorDialog = nullptr;
    std::vector<TColor> FItemColors;  // one per palette item with a colour
};

void RegisterSkinTextColorButtonClasses();
