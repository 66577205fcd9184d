#include "skin/core/LayerManager.h"

#include "platform/backend/BackendSelect.h"
#include "platform/gdi/Gdi.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Graphics.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Threads.h"
#include "platform/user/Backend.h"
#include "platform/user/User.h"
#include "skin/core/SkinBitmap.h"
#include "skin/core/SkinGlow.h"
#include "skin/core/SkinPlatform.h"

#include <algorithm>
#include <chrono>

bool MultiMonitorsAvailable()
{
    EnsureUser32Functions();
    return GetSystemMetrics(SM_CMONITORS) > 1 && SkinGetMonitorInfo;
}

void GetPrimaryArea(bool WorkArea, TRect& R)
{
    if (WorkArea) {
        RECT r{};
        SystemParametersInfo(SPI_GETWORKAREA, 0, &r, 0);
        R = r;
    } else {
        R = TRect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    }
}

void GetMonitorArea(HWND Wnd, bool WorkArea, TRect& R)
{
    if (!MultiMonitorsAvailable() || !SkinMonitorFromWindow) {
        GetPrimaryArea(WorkArea, R);
        return;
    }
    MONITORINFO info{};
    info.cbSize = 40;
    HMONITOR m = SkinMonitorFromWindow(Wnd, MONITOR_DEFAULTTONEAREST);
    if (!m || !SkinGetMonitorInfo(m, &info))
        return;
    R = WorkArea ? info.rcWork : info.rcMonitor;
}

void SetWindowAlpha(HWND Wnd, Byte Alpha)
{
    EnsureUser32Functions();
    if (SkinSetLayeredWindowAttributes)
        SkinSetLayeredWindowAttributes(Wnd, 0, Alpha, LWA_ALPHA);
}

std::vector<int> FadeWindowIn(HWND Wnd, int Target, int StepDivisor, DWORD GapMs, bool FirstAtOnce,
                              const std::function<void(int)>& OnStep, const std::function<bool()>& Between)
{
    std::vector<int> steps;
    const int step = std::max(1, Target / std::max(1, StepDivisor));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    int alpha = 0;
    bool first = FirstAtOnce;
    DWORD last = GetTickCount();
    while (alpha < Target) {
        const DWORD now = GetTickCount();
        bool due = true;
        if (first || now - last > GapMs) {
            first = false;
            last = now;
            alpha = std::min(alpha + step, Target);
        } else if (std::chrono::steady_clock::now() > deadline) {
            alpha = Target;
        } else {
            due = false;
        }
        if (due) {
            SetWindowAlpha(Wnd, static_cast<Byte>(alpha));
            if (OnStep)
                OnStep(alpha);
            steps.push_back(alpha);
        }
        // Whatever ran in Between may have hidden or freed the window.
        if (Between && !Between())
            break;
        if (!due && !CurrentClock().IsManual())
            Sleep(1);
    }
    return steps;
}

void CopyScreenToBitmap(int X, int Y, TBitmap* Bitmap)
{
    if (!Bitmap || Bitmap->Empty())
        return;
    HDC screen = GetDC(nullptr);
    if (!screen)
        return;
    BitBlt(Bitmap->Canvas()->Handle(), 0, 0, Bitmap->Width(), Bitmap->Height(), screen, X, Y, SRCCOPY);
    ReleaseDC(nullptr, screen);
    Bitmap->Canvas()->Refresh();
}

bool GlowLayersAvailable()
{
    EnsureUser32Functions();
    return IsWindows2000OrLater() && SkinUpdateLayeredWindow && UserBackend()->TranslucentTopLevels();
}

// ---- The glow window -------------------------------------------------------------------

void TspLayerWindow::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP;
    // No task-bar button, and input passes through to what lies below.
    Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT;
    Params.WindowClass.style |= CS_SAVEBITS;
    Params.WndParent = nullptr;
}

void TspLayerWindow::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_MOUSEACTIVATE) {
        Message.Result = MA_NOACTIVATE;
        return;
    }
    TCustomControl::WndProc(Message);
}

// ---- The manager -----------------------------------------------------------------------

TspLayerManager::TspLayerManager(TComponent* AOwner) : TComponent(AOwner)
{
    Timer = new TTimer(this);
    Timer->SetEnabled(false);
    Timer->SetInterval(25);
    Timer->SetOnTimer(MakeEvent(this, &TspLayerManager::FadeStep));
}

TspLayerManager::~TspLayerManager()
{
    delete Timer;
    Timer = nullptr;
    delete LayerWindow;
    LayerWindow = nullptr;
    delete Bmp;
    Bmp = nullptr;
}

void TspLayerManager::Place(UINT Flags)
{
    SetWindowPos(LayerWindow->Handle(), TopMostMode ? HWND_TOPMOST : HWND_NOTOPMOST, LayerWindow->Left(),
                 LayerWindow->Top(), 0, 0, Flags | SWP_NOACTIVATE | SWP_NOSIZE);
}

void TspLayerManager::Show(int X, int Y, TBitmap* AImage, TBitmap* AImageMask, int AAlphaBlendValue)
{
    if (!GlowLayersAvailable())
        return;
    if (LayerWindow)
        Hide();
    if (!AImage || AImage->Empty() || !AImageMask || AImageMask->Width() != AImage->Width() ||
        AImageMask->Height() != AImage->Height())
        return;
    IsVisible = true;
    LayerWindow = new TspLayerWindow(this);
    LayerWindow->SetVisible(false);
    LayerWindow->SetBounds(X, Y, AImage->Width(), AImage->Height());
    HWND wnd = LayerWindow->Handle();
    SetWindowLong(wnd, GWL_EXSTYLE, GetWindowLong(wnd, GWL_EXSTYLE) | WS_EX_LAYERED);
    delete Bmp;
    Bmp = new TspBitmap;
    MakeAlphaImage(AImage, AImageMask, Bmp);
    UpdateLayeredImage(Bmp, 0, LayerWindow);
    Place(SWP_SHOWWINDOW);
    EndAlphaBlendValue = AAlphaBlendValue;
    // At least 1, so that a target below 10 still fades in and the timer stops.
    StepAlphaBlendValue = std::max(1, AAlphaBlendValue / 10);
    StartTimer();
}

void TspLayerManager::Hide()
{
    if (!GlowLayersAvailable())
        return;
    StopTimer();
    delete Bmp;
    Bmp = nullptr;
    IsVisible = false;
    if (LayerWindow) {
        if (LayerWindow->HandleAllocated())
            SetWindowPos(LayerWindow->Handle(), nullptr, 0, 0, 0, 0,
                         SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
        delete LayerWindow;
        LayerWindow = nullptr;
    }
}

void TspLayerManager::Update()
{
    if (IsVisible && LayerWindow)
        Place(SWP_SHOWWINDOW);
}

void TspLayerManager::StartTimer()
{
    BeginAlphaBlendValue = 0;
    Timer->SetEnabled(true);
}

void TspLayerManager::StopTimer() { Timer->SetEnabled(false); }

void TspLayerManager::FadeStep(TObject*)
{
    if (!Bmp || !LayerWindow)
        return;
    BeginAlphaBlendValue = std::min(BeginAlphaBlendValue + StepAlphaBlendValue, EndAlphaBlendValue);
    UpdateLayeredImage(Bmp, static_cast<Byte>(std::clamp(BeginAlphaBlendValue, 0, 255)), LayerWindow);
    if (BeginAlphaBlendValue >= EndAlphaBlendValue)
        StopTimer();
}
