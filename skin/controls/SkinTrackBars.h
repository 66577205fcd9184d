#pragma once
// The skinned slider. OnChange fires at every value change (also while
// dragging); OnLastChange marks the end of a drag and each key or wheel
// step, so a player can seek only when the user lets go.
#include "skin/controls/SkinCtrls.h"

class TspSkinTrackBar : public TspSkinCustomControl {
public:
    explicit TspSkinTrackBar(TComponent* AOwner);
    ~TspSkinTrackBar() override;

    int MinValue() const { return FMinValue; }
    void SetMinValue(int Value);
    int MaxValue() const { return FMaxValue; }
    void SetMaxValue(int Value);
    int Value() const { return FValue; }
    void SetValue(int AValue);
    bool Vertical() const { return FVertical; }
    void SetVertical(bool Value);
    bool MouseSupport() const { return FMouseSupport; }
    void SetMouseSupport(bool Value) { FMouseSupport = Value; }
    bool JumpWhenClick() const { return FJumpWhenClick; }
    void SetJumpWhenClick(bool Value) { FJumpWhenClick = Value; }
    bool CanFocused() const { return FCanFocused; }
    void SetCanFocused(bool Value);

    TNotifyEvent OnChange;
    TNotifyEvent OnLastChange;
    TNotifyEvent OnStartDragButton;

    // The thumb as last painted and where its centre may run.
    TRect BR;
    int Offset1 = 0, Offset2 = 0, BOffset = 0;
    bool FDown = false;

    // Skin values of a track-bar piece.
    TRect ActiveSkinRect, TrackArea, NewTrackArea, ButtonRect, ActiveButtonRect;
    bool ButtonTransparent = false;
    TColor ButtonTransparentColor = 0;

    // The thumb rectangle in track R for the present value (sets the offsets).
    TRect CalcButtonRect(TRect R, int BW, int BH);
    // The value for a thumb offset P from Offset1.
    int ValueFromOffset(int P) const;

    void GetSkinData() override;
    void DrawDefaultImage(TBitmap* B) override;
    void DrawSkinImage(TBitmap* B) override;
    void AdjustSizeToSkin(int& AWidth, int& AHeight) override;
    void WndProc(TMessage& Message) override;

    PUBLISHED(TspSkinTrackBar, TspSkinCustomControl);

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;

private:
    bool IsFocused();
    bool HasBarPiece() const { return FIndex != -1 && FBarPiece; }
    void LastChange();

    int FMinValue = 0, FMaxValue = 100, FValue = 50;
    bool FVertical = false, FMouseSupport = true, FJumpWhenClick = false, FCanFocused = false;
    bool FClicksDisabled = false;
    bool FBarPiece = false;
    int OMPos = 0, OldBOffset = 0;
};

void RegisterSkinTrackBarClasses();
