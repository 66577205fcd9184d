#pragma once
// The colour dialog: Execute builds a modal window in code with the basic
// and custom colour grids, a picture of a hue ring around a saturation and
// lightness square with markers, a colour sample, edits for R, G, B and for
// hue, saturation and value, and OK, Cancel and Add to Custom Colors. Every
// part follows the others; three flags stop the echoes of the edits'
// change events. The custom colours survive between calls; only OK writes
// the colour and the custom colours back.
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"
#include "skin/controls/SkinButtons.h"
#include "skin/controls/SkinColorGrids.h"
#include "skin/controls/SkinLabels.h"
#include "skin/lists/SkinTrackEdit.h"

#include <memory>
#include <string>

enum TClickZonePSP { czpspPnone, czpspPCircle, czpspPCar };

class TspSkinColorDialog : public TComponent {
public:
    explicit TspSkinColorDialog(TComponent* AOwner);
    ~TspSkinColorDialog() override;

    TColor Color() const { return FColor; }
    void SetColor(TColor Value) { FColor = Value; }
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value) { FCaption = Value; }
    TspSkinData* SkinData() const { return FSD; }
    void SetSkinData(TspSkinData* Value) { SetComponentReference(this, FSD, Value); }
    TspSkinData* CtrlSkinData() const { return FCtrlSD; }
    void SetCtrlSkinData(TspSkinData* Value) { SetComponentReference(this, FCtrlSD, Value); }
    const std::string& ButtonSkinDataName() const { return FButtonSkinDataName; }
    void SetButtonSkinDataName(const std::string& Value) { FButtonSkinDataName = Value; }
    const std::string& LabelSkinDataName() const { return FLabelSkinDataName; }
    void SetLabelSkinDataName(const std::string& Value) { FLabelSkinDataName = Value; }
    const std::string& EditSkinDataName() const { return FEditSkinDataName; }
    void SetEditSkinDataName(const std::string& Value) { FEditSkinDataName = Value; }
    TFont* DefaultLabelFont() { return FDefaultLabelFont.get(); }
    void SetDefaultLabelFont(TFont* Value) { FDefaultLabelFont->Assign(Value); }
    TFont* DefaultButtonFont() { return FDefaultButtonFont.get(); }
    void SetDefaultButtonFont(TFont* Value) { FDefaultButtonFont->Assign(Value); }
    TFont* DefaultEditFont() { return FDefaultEditFont.get(); }
    void SetDefaultEditFont(TFont* Value) { FDefaultEditFont->Assign(Value); }
    bool UseSkinFont() const { return FUseSkinFont; }
    void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
    bool AlphaBlend() const { return FAlphaBlend; }
    void SetAlphaBlend(bool Value) { FAlphaBlend = Value; }
    bool AlphaBlendAnimation() const { return FAlphaBlendAnimation; }
    void SetAlphaBlendAnimation(bool Value) { FAlphaBlendAnimation = Value; }
    int AlphaBlendValue() const { return FAlphaBlendValue; }
    void SetAlphaBlendValue(int Value) { FAlphaBlendValue = Value; }
    bool GroupBoxTransparentMode() const { return FGroupBoxTransparentMode; }
    void SetGroupBoxTransparentMode(bool Value) { FGroupBoxTransparentMode = Value; }

    // Builds, shows modally and frees the dialog; true when closed with OK.
    bool Execute();

    TspCustomColorValues CustomColorValues{};
    int CustomColorValuesCount = 0;
    TPSPColor PSPColor;
    bool RGBStopCheck = false, HSLStopCheck = false, FromPSP = false;

    // The window's parts while Execute runs.
    TForm* DialogForm = nullptr;
    TspSkinColorGrid* ColorGrid = nullptr;
    TspSkinCustomColorGrid* CustomColorGrid = nullptr;
    TspEmptyControl* PalettePSPPanel = nullptr;
    TImage* PalettePSP = nullptr;
    TspColorViewer* ColorViewer = nullptr;
    TspSkinTrackEdit *REdit = nullptr, *GEdit = nullptr, *BEdit = nullptr, *HEdit = nullptr, *SEdit = nullptr, *LEdit = nullptr;
    TspSkinButton *OkButton = nullptr, *CancelButton = nullptr, *AddCustomColorButton = nullptr;
    TClickZonePSP ClickImg = czpspPnone;

    void Notification(TComponent* AComponent, TOperation Operation) override;
    PUBLISHED(TspSkinColorDialog, TComponent);

    void RGBEditChange(TObject* Sender);
    void HSVEditChange(TObject* Sender);
    void ColorGridChange(TObject* Sender);
    void CustomColorGridChange(TObject* Sender);
    void AddCustomColorClick(TObject* Sender);
    void SetRGBEditsFromPicture();
    // The whole picture: ring, square (in PSPColor's hue) and markers.
    void DrawPalette();
    void UpdatePalette() { DrawPalette(); }

private:
    void PictureMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void PictureMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void PictureMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void ApplyPoint(int X, int Y);
    std::string ResText(const char* Key, const char* Default) const;
    void ShowSample(std::uint8_t R, std::uint8_t G, std::uint8_t B);
    void SetHSVEdits(std::uint8_t R, std::uint8_t G, std::uint8_t B);
    void SetRGBEdits(std::uint8_t R, std::uint8_t G, std::uint8_t B);
    enum class TColorSource { RGBFields, HSVFields, Grid };
    void ShowChosenColor(std::uint8_t R, std::uint8_t G, std::uint8_t B, TColorSource From);

    TColor FColor = 0;
    std::string FCaption = "Set color";
    TspSkinData* FSD = nullptr;
    TspSkinData* FCtrlSD = nullptr;
    std::string FButtonSkinDataName = "button", FLabelSkinDataName = "stdlabel", FEditSkinDataName = "edit";
    std::unique_ptr<TFont> FDefaultLabelFont, FDefaultButtonFont, FDefaultEditFont;
    bool FUseSkinFont = true, FAlphaBlend = false, FAlphaBlendAnimation = false, FGroupBoxTransparentMode = false;
    int FAlphaBlendValue = 200;
};

void RegisterSkinColorDialogClasses();
