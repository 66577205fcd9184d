#pragma once
// The push button (windowed, a dialog button: default, cancel, accelerator,
// modal result, glow layer) and the speed button (graphic, never focused,
// with a flat transparent mode). Both share one core: the state pictures of
// a button piece, the morph between the normal and the hot look on a 20 ms
// timer, the frame animation, auto-repeat, groups, check mode and the
// glyph-and-caption drawing.
#include "platform/classes/Events.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "skin/controls/SkinCtrls.h"
#include "skin/core/SkinButtonPieces.h"
#include "skin/core/SkinTypes.h"

#include <memory>
#include <string>

class TspLayerManager;

// (Sender, Cnvs, R, ADown, AMouseIn, DrawDefault): after the state image and
// before glyph and caption; clearing DrawDefault leaves those out.
using TspButtonPaintEvent = TMethodPtr<void(TObject*, TCanvas*, TRect, bool, bool, bool&)>;

// Blends B toward To by Kf (0..1) with the effect Kind names; both of one size.
void MorphBitmaps(TBitmap* B, TBitmap* To, TMorphKind Kind, double Kf);
// One tick of a hover fade: Kf moves 0.2 toward 1 (Up) or 0, landing on the
// ends exactly; false once it was already there (the fade has ended).
bool MorphStep(double& Kf, bool Up);

template <class TBase>
class TspButtonCore : public TBase {
public:
    explicit TspButtonCore(TComponent* AOwner);
    ~TspButtonCore() override;

    TBitmap* Glyph() { return FGlyph.get(); }
    void SetGlyph(TBitmap* Value);
    TspNumGlyphs NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(TspNumGlyphs Value);
    TCustomImageList* ImageList() const { return FImageList; }
    void SetImageList(TCustomImageList* Value);
    int ImageIndex() const { return FImageIndex; }
    virtual void SetImageIndex(int Value);
    TspButtonLayout Layout() const { return FLayout; }
    void SetLayout(TspButtonLayout Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    bool Down() const { return FDown; }
    virtual void SetDown(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    virtual void SetGroupIndex(int Value) { FGroupIndex = Value; }
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value) { FAllowAllUp = Value; }
    bool CheckedMode() const { return FCheckedMode; }
    void SetCheckedMode(bool Value);
    bool RepeatMode() const { return FRepeatMode; }
    void SetRepeatMode(bool Value) { FRepeatMode = Value; }
    int RepeatInterval() const { return FRepeatInterval; }
    // An interval below 1 ms is refused.
    void SetRepeatInterval(int Value);
    bool UseSkinSize() const { return FUseSkinSize; }
    void SetUseSkinSize(bool Value);
    bool UseSkinFontColor() const { return FUseSkinFontColor; }
    void SetUseSkinFontColor(bool Value);

    TspButtonPaintEvent OnPaint;

    // State.
    bool FMouseIn = false, FMouseDown = false, FAllowAllUpCheck = false, FStopMouseUp = false;
    double FMorphKf = 0;
    std::unique_ptr<TBitmap> FMorphTo; // the hot look a morph blends towards, kept between steps
    TTimer* MorphTimer = nullptr;    // running while enabled
    TTimer* RepeatTimer = nullptr;
    TTimer* AnimateTimer = nullptr;
    int CurrentFrame = 0;
    bool AnimateInc = false;

    // Values of the button piece.
    std::string FontName = "Arial";
    TFontStyles FontStyle;
    int FontHeight = 12;
    TColor FontColor = 0, ActiveFontColor = 0, DownFontColor = 0, DisabledFontColor = 0;
    TRect ActiveSkinRect, DownSkinRect, DisabledSkinRect, FocusedSkinRect, AnimateSkinRect;
    bool Morphing = false;
    TMorphKind MorphKind = mkDefault;
    int FrameCount = 0, AnimateInterval = 25;
    bool ShowFocus = false;
    TRect MenuMarkerRect, MenuMarkerActiveRect, MenuMarkerDownRect, MenuMarkerFlatRect;
    TColor MenuMarkerTransparentColor = 0;

    // The piece morphs and the skin's effects are on.
    bool MorphingApplies() const { return Morphing && EffectsApply(); }
    bool EffectsApply() const { return this->FSD && !this->FSD->Empty && this->FSD->EnableSkinEffects; }

    void GetSkinData() override;
    void AdjustSizeToSkin(int& AWidth, int& AHeight) override;
    void DrawDefaultImage(TBitmap* B) override;
    // The state look: one state, or the morph between normal and hot.
    void DrawSkinImage(TBitmap* B) override;
    void ChangeSkinData() override;
    virtual void DrawButtonState(TBitmap* B, TRect R, bool ADown, bool AActive);
    virtual void ButtonClick();
    void RefreshButton();

    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    // The hot look: the pointer is over the button (and, for the push
    // button, it has the focus).
    virtual bool Hot() const { return FMouseIn; }
    // Pressed: down and hot, or down in a group.
    virtual bool Pressed() const { return FDown && (FMouseIn || FGroupIndex != 0); }
    // The button has the keyboard focus and takes it.
    virtual bool FocusedLook() const { return false; }
    // Whether entering or leaving changes the look.
    virtual bool LookFollowsPointer() const { return FGroupIndex == 0 || !FDown; }
    virtual void DrawFocus(TCanvas* Canvas, TRect R) { (void)Canvas, (void)R; }
    virtual void DrawGlyphCaption(TCanvas* Canvas, TRect R, bool ADown, bool AActive);
    virtual std::string CaptionText() const { return this->Caption(); }
    virtual void DownChanged() {}
    // The glyph cell for the state.
    int GlyphNumber(bool ADown, bool AActive) const;
    // The font of the state, onto Canvas.
    void SetStateFont(TCanvas* Canvas, bool ADown, bool AActive);
    // The built-in font: DefaultFont with the skin's character set,
    // clBtnShadow when disabled.
    void SetDefaultLookFont(TCanvas* Canvas);
    // The built-in face: frame and fill by state.
    void DrawDefaultFace(TCanvas* Canvas, TRect R, bool APressed, bool AHot);
    bool DoPaintEvent(TCanvas* Canvas, TRect R, bool ADown, bool AActive);

    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void EnabledChanged() override;
    void TextChanged() override;
    virtual void PointerEntered() {}
    virtual void PointerLeft() {}
    virtual bool KeepsHotOnLeave() const { return false; }

    // Morph-or-repaint: the transition when it applies, else a repaint.
    void StartMorph();
    void StopMorph();
    void MorphTick(TObject* Sender);
    virtual bool MorphTarget() const { return Hot(); }
    void StartAnimate(bool Forward);
    void StopAnimate();
    void AnimateTick(TObject* Sender);
    bool CanAnimate() const;
    void StartRepeat();
    void StopRepeat();
    void RepeatTick(TObject* Sender);
    bool Designing() const { return this->ComponentState().Contains(csDesigning); }
    TTimer* MakeTimer(TTimer*& Timer, unsigned Interval, void (TspButtonCore::*Tick)(TObject*));

    std::unique_ptr<TBitmap> FGlyph;
    TspNumGlyphs FNumGlyphs = 1;
    TCustomImageList* FImageList = nullptr;
    int FImageIndex = -1;
    TspButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 1;
    bool FDown = false;
    int FGroupIndex = 0;
    bool FAllowAllUp = false, FCheckedMode = false, FRepeatMode = false;
    int FRepeatInterval = 100;
    bool FUseSkinSize = true, FUseSkinFontColor = true;
    bool FRepeatFirst = false;
};

class TspSkinButton : public TspButtonCore<TspSkinCustomControl> {
public:
    explicit TspSkinButton(TComponent* AOwner);
    ~TspSkinButton() override;

    bool CanFocused() const { return FCanFocused; }
    void SetCanFocused(bool Value);
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    bool AlwaysShowLayeredFrame() const { return FAlwaysShowLayeredFrame; }
    void SetAlwaysShowLayeredFrame(bool Value) { FAlwaysShowLayeredFrame = Value; }
    void SetGroupIndex(int Value) override;

    bool FActive = false;
    bool FClicksDisabled = false;
    bool FSpaceSupport = true;
    bool FStopAnimate = false;
    TspLayerManager* FLayerManager = nullptr;  // owned
    int GlowLayerPictureIndex = -1, GlowLayerMaskPictureIndex = -1;
    int GlowLayerOffsetLeft = 0, GlowLayerOffsetRight = 0, GlowLayerOffsetTop = 0, GlowLayerOffsetBottom = 0;
    int GlowLayerShowOffsetX = 0, GlowLayerShowOffsetY = 0;
    int GlowLayerAlphaBlendValue = 255;

    void GetSkinData() override;
    void ChangeSkinData() override;
    void BeforeChangeSkinData() override;
    void ButtonClick() override;
    void ShowLayer();
    void HideLayer();
    void WndProc(TMessage& Message) override;

    PUBLISHED(TspSkinButton, TspSkinCustomControl);

protected:
    void CreateWnd() override;
    bool Hot() const override { return FMouseIn || FocusedLook(); }
    bool Pressed() const override;
    bool FocusedLook() const override;
    bool LookFollowsPointer() const override;
    bool KeepsHotOnLeave() const override;
    void DrawFocus(TCanvas* Canvas, TRect R) override;
    void PointerEntered() override;
    void PointerLeft() override;
    // Whether a glow can show at all, and the glow pictures fitted to the
    // button (null when the resize mode has no fitting).
    bool GlowApplies() const;
    bool FitGlow(TBitmap* Source, std::unique_ptr<TBitmap>& Fitted, TBitmap*& Use) const;
    void FocusChanged(TControl* NewFocus);

    bool FCanFocused = true, FDefault = false, FCancel = false, FAlwaysShowLayeredFrame = false;
    TModalResult FModalResult = 0;
};

class TspSkinSpeedButton : public TspButtonCore<TspGraphicSkinCustomControl> {
public:
    explicit TspSkinSpeedButton(TComponent* AOwner);
    ~TspSkinSpeedButton() override;

    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool Value);
    int WidthWithCaption() const { return FWidthWithCaption; }
    void SetWidthWithCaption(int Value) { FWidthWithCaption = Value; }
    int WidthWithoutCaption() const { return FWidthWithoutCaption; }
    void SetWidthWithoutCaption(int Value) { FWidthWithoutCaption = Value; }
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    void SetImageIndex(int Value) override;

    bool FDrawColorMarker = false;
    TColor FColorMarkerValue = 0;

    // True: the parent's surface shows through (no csOpaque).
    virtual void SetOpaqueStyle(bool Transparent);
    bool Transparent() const { return !ControlStyle().Contains(csOpaque); }

    void GetSkinData() override;
    void ChangeSkinData() override;
    void Loaded() override;
    void WndProc(TMessage& Message) override;

    PUBLISHED(TspSkinSpeedButton, TspGraphicSkinCustomControl);

protected:
    void Paint() override;
    std::string CaptionText() const override { return FShowCaption ? Caption() : std::string(); }
    void DownChanged() override;
    void PointerEntered() override;
    void PointerLeft() override;
    void MouseEnter() override;
    void MouseLeave() override;
    void DrawGlyphCaption(TCanvas* Canvas, TRect R, bool ADown, bool AActive) override;
    void DrawFlat(TCanvas* Canvas);

    bool FShowCaption = true;
    int FWidthWithCaption = 0, FWidthWithoutCaption = 0;
    bool FFlat = false;
};

// Registers the button classes for stored descriptions.
void RegisterSkinButtonsClasses();
