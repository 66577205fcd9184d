#pragma once
// Labels that take font and colour from the skin: TspSkinStdLabel keeps
// everything of the platform's label and only replaces its text drawing
// ("stdlabel"); TspSkinLabel is a windowed skinned control drawing a piece
// ("label") or a framed default look behind one line of text, with an
// optional glow or reflection.
#include "platform/gui/StdCtrls.h"
#include "skin/controls/SkinCtrls.h"

enum TspEllipsType { spetNone, spetEndEllips, spetPathEllips };
ENUM_NAMES(TspEllipsType, spetNone, spetEndEllips, spetPathEllips)
enum TspEllipsType2 { spetNoneEllips, spetEllips };
ENUM_NAMES(TspEllipsType2, spetNoneEllips, spetEllips)


class TspSkinStdLabel : public TCustomLabel {
public:
    explicit TspSkinStdLabel(TComponent* AOwner);
    ~TspSkinStdLabel() override;

    TspSkinData* SkinData() const { return FSD; }
    void SetSkinData(TspSkinData* Value);
    std::string SkinDataName = "stdlabel";
    TFont* DefaultFont() { return FDefaultFont.get(); }
    void SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }
    bool UseSkinFont() const { return FUseSkinFont; }
    void SetUseSkinFont(bool Value);
    bool UseSkinColor() const { return FUseSkinColor; }
    void SetUseSkinColor(bool Value);
    TspEllipsType EllipsType() const { return FEllipsType; }
    void SetEllipsType(TspEllipsType Value);

    int FIndex = -1;
    std::string FontName;
    TFontStyles FontStyle;
    int FontHeight = 0;
    TColor FontColor = 0;

    void GetSkinData();
    void ChangeSkinData();
    bool CanAutoSize(int& NewWidth, int& NewHeight) override;
    // Read from a description, the label fits its text once everything is read.
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    PUBLISHED(TspSkinStdLabel, TCustomLabel);

protected:
    void DoDrawText(TRect& Rect, UINT Flags) override;

private:
    void DrawLabelText(TCanvas* C, TRect& Rect, UINT Flags);

    TspSkinData* FSD = nullptr;
    std::unique_ptr<TFont> FDefaultFont;
    bool FUseSkinFont = true, FUseSkinColor = true;
    TspEllipsType FEllipsType = spetNone;
};

class TspSkinLabel : public TspSkinCustomControl {
public:
    explicit TspSkinLabel(TComponent* AOwner);
    ~TspSkinLabel() override;

    bool ShadowEffect() const { return FShadowEffect; }
    void SetShadowEffect(bool Value);
    TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor Value);
    int ShadowOffset() const { return FShadowOffset; }
    void SetShadowOffset(int Value);
    int ShadowSize() const { return FShadowSize; }
    void SetShadowSize(int Value);
    bool ReflectionEffect() const { return FReflectionEffect; }
    void SetReflectionEffect(bool Value);
    int ReflectionOffset() const { return FReflectionOffset; }
    void SetReflectionOffset(int Value);
    TspEllipsType2 EllipsType() const { return FEllipsType; }
    void SetEllipsType(TspEllipsType2 Value);
    bool UseSkinSize() const { return FUseSkinSize; }
    void SetUseSkinSize(bool Value);
    bool UseSkinFontColor() const { return FUseSkinFontColor; }
    void SetUseSkinFontColor(bool Value);
    TspSkinBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TspSkinBorderStyle Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool AutoSize() const { return FLabelAutoSize; }
    void SetAutoSize(bool Value) override;

    std::string FontName;
    TFontStyles FontStyle;
    int FontHeight = 0;
    TColor FontColor = 0;

    // The width the caption needs beyond the present room.
    virtual int GetAutoSizeDelta();

    void GetSkinData() override;
    void DrawDefaultImage(TBitmap* B) override;
    void DrawSkinImage(TBitmap* B) override;
    void AdjustSizeToSkin(int& AWidth, int& AHeight) override;
    void UpdateControlRegion() override;
    void WndProc(TMessage& Message) override;

    PUBLISHED(TspSkinLabel, TspSkinCustomControl);

private:
    bool HasLabelPiece() const { return FIndex != -1 && FLabelPiece; }
    void ApplyFont(TCanvas* C);
    void DrawLabelText(TCanvas* C, TRect R);
    void AdjustToText();

    bool FShadowEffect = false;
    TColor FShadowColor = 0;
    int FShadowOffset = 0, FShadowSize = 3;
    bool FReflectionEffect = false;
    int FReflectionOffset = -5;
    TspEllipsType2 FEllipsType = spetNoneEllips;
    bool FUseSkinSize = true, FUseSkinFontColor = true;
    TspSkinBorderStyle FBorderStyle = TspSkinBorderStyle::bvFrame;
    TAlignment FAlignment = taLeftJustify;
    bool FLabelAutoSize = false;
    bool FLabelPiece = false;
};

void RegisterSkinLabelClasses();
