#pragma once
// Two light graphic controls that take only colours and fonts from the
// skin: the button label (a clickable caption with a picture, a hover
// colour, web-style underline and glow) and the bevel (skin line colours,
// or a thin divider).
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/ImgList.h"
#include "skin/core/SkinData.h"
#include "skin/core/SkinTypes.h"

#include <memory>
#include <string>

class TspSkinButtonLabel : public TGraphicControl {
public:
    explicit TspSkinButtonLabel(TComponent* AOwner);
    ~TspSkinButtonLabel() override;

    TspSkinData* SkinData() const { return FSD; }
    void SetSkinData(TspSkinData* Value);
    const std::string& SkinDataName() const { return FSkinDataName; }
    void SetSkinDataName(const std::string& Value) { FSkinDataName = Value; }
    TFont* DefaultFont() { return FDefaultFont.get(); }
    void SetDefaultFont(TFont* Value);
    bool UseSkinFont() const { return FUseSkinFont; }
    void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
    TColor DefaultActiveFontColor() const { return FDefaultActiveFontColor; }
    void SetDefaultActiveFontColor(TColor Value) { FDefaultActiveFontColor = Value; }
    TBitmap* Glyph() { return FGlyph.get(); }
    void SetGlyph(TBitmap* Value);
    TspNumGlyphs NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(TspNumGlyphs Value);
    TCustomImageList* ImageList() const { return FImageList; }
    void SetImageList(TCustomImageList* Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    int ActiveImageIndex = -1;
    TspButtonLayout Layout() const { return FLayout; }
    void SetLayout(TspButtonLayout Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    bool WebStyle() const { return FWebStyle; }
    void SetWebStyle(bool Value);
    bool GlowEffect() const { return FGlowEffect; }
    void SetGlowEffect(bool Value) { FGlowEffect = Value; }
    int GlowSize() const { return FGlowSize; }
    void SetGlowSize(int Value) { FGlowSize = Value; }
    bool UseCustomGlowColor() const { return FUseCustomGlowColor; }
    void SetUseCustomGlowColor(bool Value) { FUseCustomGlowColor = Value; }
    TColor CustomGlowColor() const { return FCustomGlowColor; }
    void SetCustomGlowColor(TColor Value) { FCustomGlowColor = Value; }
    bool DoubleBuffered() const { return FDoubleBuffered; }
    void SetDoubleBuffered(bool Value);

    int FIndex = -1;
    bool FMouseIn = false, FDown = false;
    std::string FontName = "Arial";
    int FontHeight = 12;
    TFontStyles FontStyle;
    TColor FontColor = 0, ActiveFontColor = 0;

    void ChangeSkinData();
    void Notification(TComponent* AComponent, TOperation Operation) override;

    PUBLISHED(TspSkinButtonLabel, TGraphicControl);

protected:
    void Paint() override;
    void DrawLabel(TCanvas* Canvas);
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void TextChanged() override;

    TspSkinData* FSD = nullptr;
    std::string FSkinDataName = "stdlabel";
    std::unique_ptr<TFont> FDefaultFont;
    bool FUseSkinFont = true;
    TColor FDefaultActiveFontColor = 0xFF0000;
    std::unique_ptr<TBitmap> FGlyph;
    TspNumGlyphs FNumGlyphs = 1;
    TCustomImageList* FImageList = nullptr;
    int FImageIndex = -1;
    TspButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1, FSpacing = 1;
    bool FWebStyle = false, FGlowEffect = false;
    int FGlowSize = 7;
    bool FUseCustomGlowColor = false;
    TColor FCustomGlowColor = 0xFFFF00;
    bool FDoubleBuffered = false;
};

class TspSkinBevel : public TBevel {
public:
    explicit TspSkinBevel(TComponent* AOwner);

    TspSkinData* SkinData() const { return FSD; }
    void SetSkinData(TspSkinData* Value);
    const std::string& SkinDataName() const { return FSkinDataName; }
    void SetSkinDataName(const std::string& Value) { FSkinDataName = Value; }
    bool DividerMode() const { return FDividerMode; }
    void SetDividerMode(bool Value);

    int FIndex = -1;
    TColor LightColor = clBtnHighlight, DarkColor = clBtnShadow;

    void ChangeSkinData();
    void Notification(TComponent* AComponent, TOperation Operation) override;

    PUBLISHED(TspSkinBevel, TBevel);

protected:
    void Paint() override;

    TspSkinData* FSD = nullptr;
    std::string FSkinDataName = "bevel";
    bool FDividerMode = false;
};

// Registers the button label and the bevel for stored descriptions.
void RegisterSkinBevelsClasses();
