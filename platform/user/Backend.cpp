#include "platform/user/Backend.h"

#include "platform/gdi/Regions.h"
#include "platform/user/WindowObject.h"
#include "platform/user/WindowRegion.h"

#include <atomic>

namespace {
std::atomic<IWindowBackend*> gBackend{nullptr};

// The GDI side reports what window DCs drew through these hooks; without
// them nothing drawn outside WM_PAINT reaches the screen. They are installed
// however the back-end is chosen (first use or an explicit choice).
void EnsureWindowDCHooks()
{
    static bool hooks = (InstallWindowDCHooks(), true);
    (void)hooks;
}
}  // namespace

IWindowBackend* UserBackend()
{
    IWindowBackend* b = gBackend.load();
    if (!b) {
        EnsureWindowDCHooks();
        b = &DefaultWindowBackend();
        IWindowBackend* expected = nullptr;
        if (!gBackend.compare_exchange_strong(expected, b))
            b = expected;
    }
    return b;
}

void SetUserBackend(IWindowBackend* backend)
{
    EnsureWindowDCHooks();
    gBackend.store(backend);
}

bool UserTopLevelInfo(HWND wnd, TTopLevelInfo* info)
{
    TWnd* w = WndFromHandle(wnd);
    if (!w || !IsTopLevel(w) || !info)
        return false;
    TTopLevelInfo i;
    i.Wnd = wnd;
    i.ScreenRect = WindowScreenRect(w);
    i.Visible = w->Visible();
    i.Topmost = (w->ExStyle & WS_EX_TOPMOST) != 0;
    i.Surface = w->Surface;
    i.HasRegion = w->Rgn.has_value();
    i.Layered = (w->ExStyle & WS_EX_LAYERED) != 0;
    if (i.Layered && w->LayeredAttrs) {
        i.LayeredAttributes = true;
        i.Alpha = (w->LayeredFlags & LWA_ALPHA) ? w->LayeredAlpha : 255;
        i.ColorKeyed = (w->LayeredFlags & LWA_COLORKEY) != 0;
        i.ColorKey = w->LayeredKey;
    } else if (i.Layered && w->LayeredPicture) {
        i.LayeredPicture = true;
        i.PerPixelAlpha = w->PicturePerPixel;
        i.Alpha = w->PictureAlpha;
        i.ColorKeyed = w->PictureKeyed;
        i.ColorKey = w->PictureKey;
    }
    i.DropShadow = w->Class && (w->Class->Style & CS_DROPSHADOW);
    i.ClickThrough = (w->ExStyle & WS_EX_TRANSPARENT) != 0;
    *info = i;
    return true;
}

bool UserWindowRegion(HWND wnd, HRGN rgn)
{
    return GetWindowRgn(wnd, rgn) != ERROR;
}

int UserTopLevelWindows(HWND* out, int max)
{
    std::lock_guard lock(User().Lock);
    int n = 0;
    for (TWnd* t : DesktopWnd()->Children) {
        if (out && n < max)
            out[n] = t->Handle;
        ++n;
    }
    return n;
}
