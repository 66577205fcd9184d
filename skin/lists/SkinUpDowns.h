#pragma once
// Up-down controls: a pair of arrow buttons that step an integer Position
// between Min and Max, repeating while a button is held (first step 600 ms
// after the press, then every 100 ms; every 50 ms after the pointer comes
// back onto the held button). TspSkinUpDown stands alone and draws from the
// skin piece "hupdown"/"vupdown"; TspSkinIntUpDown is the one the time edit
// embeds, drawing its buttons from a button piece and reporting every
// repeat step. Button 0 is the up button, button 1 the down button.
//
// TspButtonPair holds the press, hover and repeat logic the up-downs and the
// spin edit share; the control supplies the steps and the repaint.
#include "platform/gui/ComCtrls.h"  // TUDOrientation
#include "skin/controls/SkinCtrls.h"
#include "skin/lists/SkinEditParts.h"


struct TspUpDownButton {
    TRect R;
    bool MouseIn = false;
    bool Down = false;
};

class TspButtonPair {
public:
    virtual ~TspButtonPair() = default;

    TspUpDownButton Buttons[2];
    int OldActiveButton = -1, ActiveButton = -1, CaptureButton = -1;
    int TimerMode = 0;  // 0 none, 1 stepping down, 2 stepping up
    bool WaitMode = false;

protected:
    // Whether holding a button repeats (an increment of 0 does not).
    virtual bool PairRepeats() const = 0;
    // One repeat step: Mode 1 down, 2 up.
    virtual void PairRepeatStep(int Mode) = 0;
    // The release of a captured button; StillHot: the pointer is on it.
    virtual void PairReleased(int Button, bool StillHot) = 0;
    virtual void PairRepaint() = 0;
    virtual HWND PairTimerWindow() = 0;

    void PairMouseMove(int X, int Y);
    void PairMouseDown(int X, int Y);
    void PairMouseUp();
    // True when the tick was the pair's repeat timer.
    bool PairTimer(UINT_PTR Id);
    void PairStopTimer();
    void PairClearHover();

private:
    int ButtonAt(int X, int Y) const;
    void StartTimer(UINT Ms);
    bool FTimerOn = false;
};

// A custom skinned control whose mouse and repeat timer drive a button pair.
class TspButtonPairControl : public TspSkinCustomControl, public TspButtonPair {
public:
    explicit TspButtonPairControl(TComponent* AOwner) : TspSkinCustomControl(AOwner) {}
    ~TspButtonPairControl() override { PairStopTimer(); }
    void WndProc(TMessage& Message) override;

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void PairRepaint() override { Repaint(); }
    HWND PairTimerWindow() override { return HandleAllocated() ? Handle() : nullptr; }
};

class TspSkinUpDown : public TspButtonPairControl {
public:
    explicit TspSkinUpDown(TComponent* AOwner);

    bool UseSkinSize() const { return FUseSkinSize; }
    void SetUseSkinSize(bool Value);
    TUDOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TUDOrientation Value);
    int Increment() const { return FIncrement; }
    void SetIncrement(int Value) { FIncrement = Value; }
    int Position() const { return FPosition; }
    void SetPosition(int Value);
    int Min() const { return FMin; }
    void SetMin(int Value);
    int Max() const { return FMax; }
    void SetMax(int Value);

    TNotifyEvent OnUpButtonClick, OnDownButtonClick;
    TNotifyEvent OnChange;

    // Button rectangles of the skin piece, picture coordinates.
    TRect UpButtonRect, ActiveUpButtonRect, DownUpButtonRect;
    TRect DownButtonRect, ActiveDownButtonRect, DownDownButtonRect;

    void CalcButtons();
    void GetSkinData() override;
    void DrawDefaultImage(TBitmap* B) override;
    void DrawSkinImage(TBitmap* B) override;
    void AdjustSizeToSkin(int& AWidth, int& AHeight) override;
    void UpdateControlRegion() override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    PUBLISHED(TspSkinUpDown, TspSkinCustomControl);

protected:
    bool PairRepeats() const override { return FIncrement != 0; }
    void PairRepeatStep(int Mode) override;
    void PairReleased(int Button, bool StillHot) override;
    // Whether the piece gives the size and the buttons.
    virtual bool UsesPieceButtons() const { return FIndex != -1 && FUseSkinSize && FUpDownPiece; }
    // Steps Position by Increment; Up: towards Max.
    void Step(bool Up);
    void DrawArrowIn(TCanvas* C, const TRect& R, bool Up, TColor Color, bool Small, bool Pressed);

    bool FUseSkinSize = true;
    TUDOrientation FOrientation = udHorizontal;
    int FIncrement = 1, FPosition = 0, FMin = 0, FMax = 100;
    bool FUpDownPiece = false;  // the entry is an up-down piece
};

class TspSkinIntUpDown : public TspSkinUpDown {
public:
    explicit TspSkinIntUpDown(TComponent* AOwner);

    TNotifyEvent OnUpChange, OnDownChange;

    void DrawSkinImage(TBitmap* B) override;
    void WndProc(TMessage& Message) override;

    PUBLISHED(TspSkinIntUpDown, TspSkinUpDown) {}

protected:
    bool UsesPieceButtons() const override { return false; }
    void PairRepeatStep(int Mode) override;
    void PairReleased(int Button, bool StillHot) override;
};

void RegisterSkinUpDownsClasses();
