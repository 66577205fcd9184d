#pragma once
// The check box and radio button in one windowed control: flat (the
// parent shows through, only mark and caption are drawn) or framed (the
// whole piece with a hover fade). Three states when grey is allowed; radio
// groups among the parent's boxes.
#include "platform/gui/ExtCtrls.h"
#include "skin/controls/SkinCtrls.h"
#include "skin/core/SkinButtonPieces.h"
#include "skin/core/SkinTypes.h"

#include <string>

enum TCheckBoxState : std::uint8_t { cbUnchecked, cbChecked, cbGrayed };
ENUM_NAMES(TCheckBoxState, cbUnchecked, cbChecked, cbGrayed)

class TspSkinCheckRadioBox : public TspSkinCustomControl {
public:
    explicit TspSkinCheckRadioBox(TComponent* AOwner);
    ~TspSkinCheckRadioBox() override;

    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    TCheckBoxState State() const { return FState; }
    void SetState(TCheckBoxState Value);
    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool Value);
    bool Radio() const { return FRadio; }
    void SetRadio(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value) { FGroupIndex = Value; }
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    bool UseSkinFontColor() const { return FUseSkinFontColor; }
    void SetUseSkinFontColor(bool Value);
    bool CanFocused() const { return FCanFocused; }
    void SetCanFocused(bool Value);

    virtual void Toggle();

    // State.
    bool FDown = false, FMouseIn = false, FClicksDisabled = false;
    TTimer* MorphTimer = nullptr;  // running while enabled
    double FMorphKf = 0;
    TRect CIRect, NewTextArea;
    // Values of the check piece.
    std::string FontName = "Arial";
    TFontStyles FontStyle;
    int FontHeight = 12;
    TColor FontColor = 0, ActiveFontColor = 0, FrameFontColor = 0, UnEnabledFontColor = 0;
    TRect ActiveSkinRect, CheckImageArea, TextArea, CheckImageRect, UnCheckImageRect, ActiveCheckImageRect,
        ActiveUnCheckImageRect, UnEnabledCheckImageRect, UnEnabledUnCheckImageRect, GrayedCheckImageRect,
        ActiveGrayedCheckImageRect;
    bool Morphing = false;
    TMorphKind MorphKind = mkDefault;

    bool MorphingApplies() const { return Morphing && FSD && !FSD->Empty && FSD->EnableSkinEffects; }
    // The control has the focus and takes it.
    bool ShowsFocus();

    void GetSkinData() override;
    void AdjustSizeToSkin(int& AWidth, int& AHeight) override;
    void DrawDefaultImage(TBitmap* B) override;
    void DrawSkinImage(TBitmap* B) override;
    void ChangeSkinData() override;
    void CheckParentBackground() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WndProc(TMessage& Message) override;
    void ActionChange(TObject* Sender, bool CheckDefaults) override;

    PUBLISHED(TspSkinCheckRadioBox, TspSkinCustomControl);

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void EnabledChanged() override;
    void TextChanged() override;

    void HoverChanged();
    void MorphTick(TObject* Sender);
    void StopMorph();
    // OnClick, unless a description is being read or the event is running.
    void DoClick();
    void SetCheckedValue(bool Value, bool GroupStep);
    // The mark picture for the state (false when the skin gives none that
    // lies inside its picture).
    bool MarkPicture(TBitmap& Mark);
    void DrawMark(TCanvas* Canvas, int X, int Y);
    void DrawDefaultBox(TCanvas* Canvas, bool Framed);
    void DrawFlat(TCanvas* Canvas);
    void DrawFace(TBitmap* B, bool Active);
    void SetCaptionFont(TCanvas* Canvas);

    bool FChecked = false;
    TCheckBoxState FState = cbUnchecked;
    bool FAllowGrayed = false, FRadio = false;
    int FGroupIndex = 0;
    bool FFlat = true, FWordWrap = false;
    TCustomImageList* FImages = nullptr;
    int FImageIndex = 0;
    bool FUseSkinFontColor = true, FCanFocused = true;
    bool FInClick = false;
};

// Registers the check and radio box for stored descriptions.
void RegisterSkinCheckRadioClasses();
