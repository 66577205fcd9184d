#include "engine/player/PanelVideoOutput.h"

#include <algorithm>
#include <map>

#include "engine/bindings/SwScaleStubs.h"
#include "platform/gdi/Blit.h"
#include "platform/user/MessageQueue.h"
#include "platform/user/Painting.h"
#include "platform/user/Window.h"
#include "platform/user/WindowClass.h"

extern "C" {
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

namespace {

// A private message: the play thread has a new picture for the window.
constexpr UINT WM_PLAYER_REPAINT = 0x0400 + 0x2F1;

std::mutex& PanelsLock()
{
    static std::mutex lock;
    return lock;
}
std::map<HWND, TPanelVideoOutput*>& Panels()
{
    static std::map<HWND, TPanelVideoOutput*> panels;
    return panels;
}

}  // namespace

TPanelVideoOutput::TPanelVideoOutput(HWND APanel) : FPanel(APanel)
{
    if (!APanel || !IsWindow(APanel)) return;
    {
        std::lock_guard<std::mutex> g(PanelsLock());
        if (Panels().count(APanel)) return;  // another player draws there
        Panels()[APanel] = this;
    }
    FOldProc = reinterpret_cast<WNDPROC>(SetWindowLongPtr(APanel, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PanelProc)));
    if (!FOldProc) {
        std::lock_guard<std::mutex> g(PanelsLock());
        Panels().erase(APanel);
    }
}

TPanelVideoOutput::~TPanelVideoOutput()
{
    if (FOldProc) {
        if (IsWindow(FPanel) &&
            GetWindowLongPtr(FPanel, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&PanelProc))
            SetWindowLongPtr(FPanel, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FOldProc.load()));
        std::lock_guard<std::mutex> g(PanelsLock());
        Panels().erase(FPanel);
    }
    if (FScaler) ff::sws_freeContext(FScaler);
}

bool TPanelVideoOutput::SetVideoMode(int& AWidth, int& AHeight, std::string& AError)
{
    if (AWidth <= 0 || AHeight <= 0 || AWidth > 16384 || AHeight > 16384) {
        AError = "the display area " + std::to_string(AWidth) + "x" + std::to_string(AHeight) + " is not supported";
        return false;
    }
    std::lock_guard<std::mutex> g(FLock);
    FWidth = AWidth;
    FHeight = AHeight;
    FPixels.assign(size_t(AWidth) * AHeight, 0);  // black
    RequestRepaint();
    return true;
}

void TPanelVideoOutput::Display(const AVFrame* APicture, const TRect& ARect)
{
    {
        std::lock_guard<std::mutex> g(FLock);
        TRect r = ARect;
        r.left = std::max<LONG>(r.left, 0);
        r.top = std::max<LONG>(r.top, 0);
        r.right = std::min<LONG>(r.right, FWidth);
        r.bottom = std::min<LONG>(r.bottom, FHeight);
        if (r.Width() <= 0 || r.Height() <= 0 || !APicture->data[0]) return;
        FScaler = ff::sws_getCachedContext(FScaler, APicture->width, APicture->height, AVPixelFormat(APicture->format),
                                           r.Width(), r.Height(), AV_PIX_FMT_BGRA, SWS_BICUBIC, nullptr, nullptr,
                                           nullptr);
        if (!FScaler) return;
        uint8_t* dst[4] = {reinterpret_cast<uint8_t*>(FPixels.data() + size_t(r.top) * FWidth + r.left), nullptr,
                           nullptr, nullptr};
        int dstLines[4] = {FWidth * 4, 0, 0, 0};
        ff::sws_scale(FScaler, APicture->data, APicture->linesize, 0, APicture->height, dst, dstLines);
    }
    RequestRepaint();
}

void TPanelVideoOutput::FillRect(const TRect& ARect, uint32_t AColor)
{
    {
        std::lock_guard<std::mutex> g(FLock);
        int l = std::max<int>(ARect.left, 0), t = std::max<int>(ARect.top, 0);
        int r = std::min<int>(ARect.right, FWidth), b = std::min<int>(ARect.bottom, FHeight);
        for (int y = t; y < b; ++y) std::fill(FPixels.begin() + size_t(y) * FWidth + l, FPixels.begin() + size_t(y) * FWidth + r, AColor);
    }
    RequestRepaint();
}

void TPanelVideoOutput::Close() {}

void TPanelVideoOutput::RequestRepaint()
{
    if (FOldProc && !FRepaintPosted.exchange(true)) {
        if (!PostMessage(FPanel, WM_PLAYER_REPAINT, 0, 0)) FRepaintPosted = false;
    }
}

LRESULT TPanelVideoOutput::PanelProc(HWND AWnd, UINT AMsg, WPARAM AWParam, LPARAM ALParam)
{
    TPanelVideoOutput* self = nullptr;
    {
        std::lock_guard<std::mutex> g(PanelsLock());
        auto it = Panels().find(AWnd);
        if (it != Panels().end()) self = it->second;
    }
    if (!self) return DefWindowProc(AWnd, AMsg, AWParam, ALParam);
    return self->Handle(AMsg, AWParam, ALParam);
}

LRESULT TPanelVideoOutput::Handle(UINT AMsg, WPARAM AWParam, LPARAM ALParam)
{
    switch (AMsg) {
    case WM_PLAYER_REPAINT:
        FRepaintPosted = false;
        InvalidateRect(FPanel, nullptr, FALSE_);
        return 0;
    case WM_ERASEBKGND:
        return 1;  // the picture covers the area; erasing would flicker
    case WM_PAINT:
        Paint();
        return 0;
    case WM_SIZE: {
        LRESULT r = CallWindowProc(FOldProc, FPanel, AMsg, AWParam, ALParam);
        int w = LOWORD(ALParam), h = HIWORD(ALParam);
        if ((w != FLastClientW || h != FLastClientH) && OnResize) {
            FLastClientW = w;
            FLastClientH = h;
            OnResize(w, h);
        }
        return r;
    }
    case WM_NCDESTROY: {
        WNDPROC old = FOldProc;
        SetWindowLongPtr(FPanel, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
        {
            std::lock_guard<std::mutex> g(PanelsLock());
            Panels().erase(FPanel);
        }
        FOldProc = nullptr;  // the window is gone: nothing more is posted
        return CallWindowProc(old, FPanel, AMsg, AWParam, ALParam);
    }
    default:
        return CallWindowProc(FOldProc, FPanel, AMsg, AWParam, ALParam);
    }
}

void TPanelVideoOutput::Paint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(FPanel, &ps);
    if (dc) {
        std::lock_guard<std::mutex> g(FLock);
        if (FWidth > 0 && FHeight > 0) {
            BITMAPINFO bi{};
            bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
            bi.bmiHeader.biWidth = FWidth;
            bi.bmiHeader.biHeight = -FHeight;  // top-down
            bi.bmiHeader.biPlanes = 1;
            bi.bmiHeader.biBitCount = 32;
            bi.bmiHeader.biCompression = BI_RGB;
            SetDIBitsToDevice(dc, 0, 0, FWidth, FHeight, 0, 0, 0, FHeight, FPixels.data(), &bi, DIB_RGB_COLORS);
        }
    }
    EndPaint(FPanel, &ps);
}
