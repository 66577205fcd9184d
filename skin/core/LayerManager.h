#pragma once
// Monitor areas for placing forms, the window-alpha and screen-grab
// routines, and the glow layer: a click-through, never-activated pop-up
// window that shows a picture with per-pixel alpha (TspLayerWindow), and the
// component that shows one over a control and fades it in on a 25 ms timer
// (TspLayerManager).
//
// A glow needs translucent top-level windows: the headless screen always has
// them; under X only while a compositing manager runs (without one a layered
// picture would be cut to its opaque pixels, a solid halo). Where the window
// system has none, Show and Hide do nothing.
#include "platform/classes/Component.h"
#include "platform/gui/Controls.h"
#include "platform/rtl/Types.h"

#include <functional>
#include <vector>

class TBitmap;
class TTimer;
class TspBitmap;

bool MultiMonitorsAvailable();
// The primary work area, or the primary screen's whole rectangle.
void GetPrimaryArea(bool WorkArea, TRect& R);
// The work area or whole rectangle of the monitor nearest to Wnd; R is left
// as it was when the query fails.
void GetMonitorArea(HWND Wnd, bool WorkArea, TRect& R);
// Constant alpha of a window that already has the layered style.
void SetWindowAlpha(HWND Wnd, Byte Alpha);
// Fades a shown layered window in from 0 to Target on the tick counter:
// steps of Target / StepDivisor (at least 1), one each time more than GapMs
// passed since the previous step (the first at once with FirstAtOnce). The
// caller waits for the fade. A clock that stands still (a test's) cannot
// hold it for more than a second of real time: the window then gets Target.
// OnStep hears each alpha as it is set. Between, when given, runs on every
// pass of the wait (a caller's message processing); its false ends the fade
// at once, the window untouched from then on (it may be hidden or freed).
// Returns the alphas set, in order.
std::vector<int> FadeWindowIn(HWND Wnd, int Target, int StepDivisor, DWORD GapMs, bool FirstAtOnce,
                              const std::function<void(int)>& OnStep = {},
                              const std::function<bool()>& Between = {});
// The screen area at (X, Y) of the bitmap's size, into the bitmap. Only what
// this program's windows show can be read: other programs' windows are not
// ours to read.
void CopyScreenToBitmap(int X, int Y, TBitmap* Bitmap);
// Whether glow windows can be shown: layered windows and a window system
// that blends translucent top-level windows.
bool GlowLayersAvailable();

class TspLayerWindow : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    PUBLISHED(TspLayerWindow, TCustomControl) {}

protected:
    void CreateParams(TCreateParams& Params) override;
    void WndProc(TMessage& Message) override;
};

class TspLayerManager : public TComponent {
public:
    explicit TspLayerManager(TComponent* AOwner);
    ~TspLayerManager() override;

    // AImage at screen point (X, Y) with the grey level of AImageMask as its
    // alpha, faded in to AAlphaBlendValue (steps of a tenth, at least 1). An
    // empty image or a mask of another size shows nothing. Both pictures may
    // be freed after the call.
    void Show(int X, int Y, TBitmap* AImage, TBitmap* AImageMask, int AAlphaBlendValue);
    void Hide();
    // Places the shown window again in the z-order band of TopMostMode.
    void Update();
    void StartTimer();
    void StopTimer();

    TspLayerWindow* LayerWindow = nullptr;
    TspBitmap* Bmp = nullptr;
    TTimer* Timer = nullptr;
    int EndAlphaBlendValue = 0;
    int BeginAlphaBlendValue = 0;
    int StepAlphaBlendValue = 0;
    bool IsVisible = false;
    bool TopMostMode = true;

    PUBLISHED(TspLayerManager, TComponent) {}

private:
    void FadeStep(TObject* Sender);
    void Place(UINT Flags);
};
