#pragma once
// The plain controls the skin library and the application build on: the
// timer component, bevels, panels, pictures, paint boxes and shapes.
#include "platform/classes/Alignment.h"
#include "platform/gui/Controls.h"

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
ENUM_NAMES(TBevelCut, bvNone, bvLowered, bvRaised, bvSpace)

// Draws a 3-D frame of Width pixels inside Rect and shrinks Rect by it.
void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width);

// Calls OnTimer every Interval milliseconds on the thread that made it. No
// system timer exists while Interval is 0, Enabled is off or OnTimer is nil.
class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool v);
    unsigned Interval() const { return FInterval; }
    void SetInterval(unsigned v);
    const TNotifyEvent& OnTimer() const { return FOnTimer; }
    void SetOnTimer(TNotifyEvent v);
    // Whether a system timer runs now (tests).
    bool TimerActive() const { return FActive; }
    // A timer read from a description starts once everything is read.
    void Loaded() override;

    PUBLISHED(TTimer, TComponent);

protected:
    virtual void Timer();

private:
    void UpdateTimer();
    void WndProc(TMessage& Message);
    HWND FWindowHandle = nullptr;
    WNDPROC FInstance = nullptr;
    bool FEnabled = true;
    unsigned FInterval = 1000;
    TNotifyEvent FOnTimer;
    bool FActive = false;
};

enum TBevelStyle { bsLowered, bsRaised };
ENUM_NAMES(TBevelStyle, bsLowered, bsRaised)
enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
ENUM_NAMES(TBevelShape, bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer)

class TBevel : public TGraphicControl {
public:
    explicit TBevel(TComponent* AOwner);
    TBevelShape Shape() const { return FShape; }
    void SetShape(TBevelShape v);
    TBevelStyle Style() const { return FStyle; }
    void SetStyle(TBevelStyle v);
    PUBLISHED(TBevel, TGraphicControl);

protected:
    void Paint() override;

private:
    TBevelShape FShape = bsBox;
    TBevelStyle FStyle = bsLowered;
};

enum TVerticalAlignment { taAlignTop, taAlignBottom, taVerticalCenter };
ENUM_NAMES(TVerticalAlignment, taAlignTop, taAlignBottom, taVerticalCenter)

class TCustomPanel : public TCustomControl {
public:
    explicit TCustomPanel(TComponent* AOwner);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut v);
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut v);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int v);
    bool FullRepaint() const { return FFullRepaint; }
    void SetFullRepaint(bool v) { FFullRepaint = v; }
    bool ParentBackground() const { return FParentBackground; }
    void SetParentBackground(bool v) { FParentBackground = v; }
    void AdjustClientRect(TRect& Rect) override;
    PUBLISHED(TCustomPanel, TCustomControl);

protected:
    void Paint() override;

private:
    TAlignment FAlignment = taCenter;
    TBevelCut FBevelInner = bvNone;
    TBevelCut FBevelOuter = bvRaised;
    int FBevelWidth = 1;
    bool FFullRepaint = true;
    bool FParentBackground = false;
};

class TPanel : public TCustomPanel {
public:
    explicit TPanel(TComponent* AOwner) : TCustomPanel(AOwner) {}
    PUBLISHED(TPanel, TCustomPanel) {}
};

class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* AOwner);
    TPicture* Picture() { return &FPicture; }
    void SetPicture(TPicture* v) { FPicture.Assign(v); }
    bool Stretch() const { return FStretch; }
    void SetStretch(bool v);
    bool Center() const { return FCenter; }
    void SetCenter(bool v);
    bool Proportional() const { return FProportional; }
    void SetProportional(bool v);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool v);
    bool CanAutoSize(int& NewWidth, int& NewHeight) override;
    // Where the picture is drawn in the client area.
    TRect DestRect();
    PUBLISHED(TImage, TGraphicControl);

protected:
    void Paint() override;

private:
    void PictureChanged(TObject* Sender);
    TPicture FPicture;
    bool FStretch = false;
    bool FCenter = false;
    bool FProportional = false;
    bool FTransparent = false;
};

class TPaintBox : public TGraphicControl {
public:
    explicit TPaintBox(TComponent* AOwner);
    TNotifyEvent OnPaint;
    PUBLISHED(TPaintBox, TGraphicControl);

protected:
    void Paint() override;
};

enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };
ENUM_NAMES(TShapeType, stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle)

class TShape : public TGraphicControl {
public:
    explicit TShape(TComponent* AOwner);
    TShapeType Shape() const { return FShape; }
    void SetShape(TShapeType v);
    TPen* Pen() { return &FPen; }
    TBrush* Brush() { return &FBrush; }
    PUBLISHED(TShape, TGraphicControl);

protected:
    void Paint() override;

private:
    void StyleChanged(TObject* Sender);
    TShapeType FShape = stRectangle;
    TPen FPen;
    TBrush FBrush;
};
