#pragma once
// The container controls: the panel (frame and client from the skin or a
// built-in look, an optional caption bar with a check box, a roll-up arrow
// and an image), the paint panel (content drawn by an event), the group box
// and the status bar with a size grip that sizes its form.
#include "platform/classes/Alignment.h"
#include "skin/controls/SkinCtrls.h"
#include "skin/core/SkinButtonPieces.h"

#include <cstdint>
#include <memory>
#include <string>

// The platform's names for its own things come first; these live in their own
// namespace and are named through their type.
namespace tarnello::skinpanels {
enum TspImagePosition : std::uint8_t { spipDefault, spipLeft };
ENUM_NAMES(TspImagePosition, spipDefault, spipLeft)
}  // namespace tarnello::skinpanels
using tarnello::skinpanels::TspImagePosition;

using TspSkinPanelNumGlyphs = std::uint8_t;  // 1 .. 2
using TspPaintPanelEvent = TMethodPtr<void(TCanvas*, TRect)>;

class TspSkinPanel : public TspSkinCustomControl {
public:
    explicit TspSkinPanel(TComponent* AOwner);
    ~TspSkinPanel() override;

    bool CaptionMode() const { return FCaptionMode; }
    virtual void SetCaptionMode(bool Value);
    int DefaultCaptionHeight() const { return FDefaultCaptionHeight; }
    virtual void SetDefaultCaptionHeight(int Value);
    TAlignment DefaultAlignment() const { return FDefaultAlignment; }
    void SetDefaultAlignment(TAlignment Value);
    TspSkinBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TspSkinBorderStyle Value);
    bool RibbonStyle() const { return FRibbonStyle; }
    void SetRibbonStyle(bool Value);
    bool TransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(bool Value);
    bool CheckedMode() const { return FCheckedMode; }
    void SetCheckedMode(bool Value);
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    bool AutoEnabledControls() const { return FAutoEnabledControls; }
    void SetAutoEnabledControls(bool Value) { FAutoEnabledControls = Value; }
    bool RollUpMode() const { return FRollUpMode; }
    void SetRollUpMode(bool Value);
    bool RollUpState() const { return FRollUpState; }
    void SetRollUpState(bool Value);
    int RealHeight = -1;
    TBitmap* Glyph() { return FGlyph.get(); }
    void SetGlyph(TBitmap* Value);
    TspSkinPanelNumGlyphs NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(TspSkinPanelNumGlyphs Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    TCustomImageList* CaptionImageList() const { return FCaptionImageList; }
    void SetCaptionImageList(TCustomImageList* Value);
    int CaptionImageIndex() const { return FCaptionImageIndex; }
    void SetCaptionImageIndex(int Value);
    TspImagePosition ImagePosition() const { return FImagePosition; }
    void SetImagePosition(TspImagePosition Value);
    bool UseSkinSize() const { return FUseSkinSize; }
    void SetUseSkinSize(bool Value);
    bool ForcebackGround = true;

    TNotifyEvent OnChecked, OnChangeRollUpState;

    // Values of the panel piece.
    std::string FontName = "Arial";
    TFontStyles FontStyle;
    int FontHeight = 12;
    TColor FontColor = 0;
    TAlignment Alignment = taLeftJustify;
    TRect CaptionRect, NewCaptionRect, CheckImageRect, UnCheckImageRect, MarkFrameRect, FrameRect, FrameTextRect;
    int BGPictureIndex = -1;
    int FrameLeftOffset = 0, FrameRightOffset = 0;
    bool FInChangingRollUp = false;
    // The size constraints set aside while rolled up.
    int FCMaxWidth = 0, FCMinWidth = 0, FCMaxHeight = 0, FCMinHeight = 0;

    // The area the children are aligned in.
    TRect GetSkinClientRect();
    void DoRollUp(bool ARollUp);
    virtual void DrawPanelContent(TCanvas* C) { (void)C; }

    void GetSkinData() override;
    void DrawDefaultImage(TBitmap* B) override;
    void DrawSkinImage(TBitmap* B) override;
    void ChangeSkinData() override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void AdjustClientRect(TRect& Rect) override;
    bool CanAutoSize(int& NewWidth, int& NewHeight) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WndProc(TMessage& Message) override;
    void CheckParentBackground() override;

    PUBLISHED(TspSkinPanel, TspSkinCustomControl);

protected:
    void Paint() override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void TextChanged() override;
    bool Borderless() const;
    // The caption font of the skin or the built-in look onto Canvas.
    void SetCaptionFont(TCanvas* Canvas);
    // The image beside the caption: width and drawing (list image when
    // the glyph is empty and the index is valid, else the glyph).
    int CaptionImageWidth() const;
    int CaptionImageHeight() const;
    void DrawCaptionImage(TCanvas* Canvas, int X, int Y);
    void DrawSkinCaption(TCanvas* Canvas);
    void DrawGroupBoxStyle(TCanvas* Canvas);
    void DrawPieceRect(TCanvas* Canvas, TRect Src, int X, int Y);
    void PaintTiled(TCanvas* Canvas, TBitmap* Src, TRect SrcRect, TRect Area);
    TBitmap* BackgroundPicture() const;

    bool FCaptionMode = false;
    int FDefaultCaptionHeight = 22;
    TAlignment FDefaultAlignment = taLeftJustify;
    TspSkinBorderStyle FBorderStyle = TspSkinBorderStyle::bvFrame;
    bool FRibbonStyle = false, FTransparentMode = false, FCheckedMode = false, FChecked = false;
    bool FAutoEnabledControls = true, FRollUpMode = false, FRollUpState = false;
    std::unique_ptr<TBitmap> FGlyph;
    TspSkinPanelNumGlyphs FNumGlyphs = 1;
    int FSpacing = 2;
    TCustomImageList* FCaptionImageList = nullptr;
    int FCaptionImageIndex = -1;
    TspImagePosition FImagePosition = tarnello::skinpanels::spipDefault;
    bool FUseSkinSize = true;
    bool FInEvent = false;  // OnChecked or OnChangeRollUpState is running
};

class TspSkinPaintPanel : public TspSkinPanel {
public:
    explicit TspSkinPaintPanel(TComponent* AOwner);
    TspPaintPanelEvent OnPanelPaint;
    void DrawDefaultImage(TBitmap* B) override;
    void DrawSkinImage(TBitmap* B) override;
    void DrawPanelContent(TCanvas* C) override;
    PUBLISHED(TspSkinPaintPanel, TspSkinPanel);
};

class TspSkinGroupBox : public TspSkinPanel {
public:
    explicit TspSkinGroupBox(TComponent* AOwner);
    void GetSkinData() override;
    PUBLISHED(TspSkinGroupBox, TspSkinPanel);
};

class TspSkinStatusBar : public TspSkinPanel {
public:
    explicit TspSkinStatusBar(TComponent* AOwner);

    bool SizeGrip() const { return FSizeGrip; }
    void SetSizeGrip(bool Value);
    bool ShowGrip() const { return FShowGrip; }
    void SetShowGrip(bool Value);
    TRect GripperRect;
    bool GripperTransparent = false;
    TColor GripperTransparentColor = 0xFF00FF;

    // The grip's rectangle in the bar's coordinates (empty without a grip).
    TRect GripRect();

    void GetSkinData() override;
    void SetSkinData(TspSkinData* Value) override;
    void DrawDefaultImage(TBitmap* B) override;
    void DrawSkinImage(TBitmap* B) override;
    void AdjustClientRect(TRect& Rect) override;
    void WndProc(TMessage& Message) override;

    PUBLISHED(TspSkinStatusBar, TspSkinPanel);

protected:
    bool GripOn() const { return FSizeGrip && FShowGrip; }
    void DrawGrip(TCanvas* Canvas);

    bool FSizeGrip = false, FShowGrip = true;
};

// Grip lines in G: pairs of diagonal shadow and highlight lines 3 pixels apart.
void DrawGripLines(TCanvas* Canvas, TRect G, TColor Shadow, TColor Highlight);

// Registers the panel classes for stored descriptions.
void RegisterSkinPanelsClasses();
