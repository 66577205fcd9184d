#pragma once
// Where top-level windows live. Every top-level window draws into a surface
// of its own (a 32-bit DIB the window system keeps); a back-end shows those
// surfaces somewhere and feeds input back:
//  - headless (the default): composes the surfaces on a memory screen in
//    z-order with window regions and layered alpha; tests inject input;
//  - x11 (later): one X window per top-level window.
// The window system tells the back-end about creation, destruction, every
// change of place, size, visibility, z-order, region or layered state, and
// every changed area of a surface; the back-end turns its input into
// UserPostInput calls and may read its event source in PumpEvents, which
// message waits call.
#include "platform/rtl/Types.h"

#include <vector>

class ITrayHost;  // platform/shell/NotifyIcon.h

// One monitor: where it lies on the screen and the part of it left to
// windows once panels and docks are taken away.
struct TMonitorArea {
    RECT Monitor{};
    RECT Work{};
};

class IWindowBackend {
public:
    virtual ~IWindowBackend() = default;
    virtual const char* Name() const = 0;
    // A top-level window (or one that became top-level) exists / is gone.
    virtual void WindowCreated(HWND wnd) = 0;
    virtual void WindowDestroyed(HWND wnd) = 0;
    // Place, size, visibility, z-order, region or layered state changed;
    // oldScreenRect is where the window was before (equal to the present
    // place when only its look changed).
    virtual void WindowChanged(HWND wnd, const RECT& oldScreenRect) = 0;
    // Pixels of the window's surface changed (surface coordinates).
    virtual void Present(HWND wnd, const RECT& surfaceRect) = 0;
    // Reads pending events of the back-end's own source without waiting.
    virtual void PumpEvents() {}
    // The monitors, the primary one first; false (the default) leaves one
    // monitor the size of the screen with a 40-pixel task bar.
    virtual bool Monitors(std::vector<TMonitorArea>& out)
    {
        (void)out;
        return false;
    }
    // Whether a layered picture shows its partial alpha over what lies below;
    // where it does not, the picture is cut to its opaque pixels.
    virtual bool TranslucentTopLevels() const { return true; }
    // The desktop's notification area, or null when there is none.
    virtual ITrayHost* TrayHost() { return nullptr; }
    // A hot key registered with RegisterHotKey: the back-end takes the key
    // combination from other programs and reports it as a HotKey input event
    // (Grab true), or gives it back (Grab false). False when the combination
    // cannot be taken (another program holds it); the memory screen takes all.
    virtual bool GrabHotKey(UINT Modifiers, UINT Vk, bool Grab)
    {
        (void)Modifiers;
        (void)Vk;
        (void)Grab;
        return true;
    }
};

// What a back-end needs to show a top-level window.
struct TTopLevelInfo {
    HWND Wnd = nullptr;
    RECT ScreenRect{};
    bool Visible = false;
    bool Topmost = false;
    HBITMAP Surface = nullptr;        // 32-bit top-down, the window's size
    bool HasRegion = false;           // shape in window coordinates: UserWindowRegion
    // Layered windows: shown only once one of these is set.
    bool Layered = false;
    bool LayeredAttributes = false;   // constant alpha / colour key over painting
    bool LayeredPicture = false;      // premultiplied picture from UpdateLayeredWindow
    bool PerPixelAlpha = false;
    BYTE Alpha = 255;
    bool ColorKeyed = false;
    COLORREF ColorKey = 0;
    bool DropShadow = false;          // CS_DROPSHADOW
    bool ClickThrough = false;        // WS_EX_TRANSPARENT: input goes to what lies below
};
bool UserTopLevelInfo(HWND wnd, TTopLevelInfo* info);
// Copies the window region (window coordinates) into rgn; false without one.
bool UserWindowRegion(HWND wnd, HRGN rgn);
// Top-level windows front to back.
int UserTopLevelWindows(HWND* out, int max);

// The back-end in use: the default one unless another was installed.
IWindowBackend* UserBackend();
// The back-end windows live in until another is installed. The window
// system names only this interface; the default back-end (platform/backend,
// headless) defines it, so the window system includes no back-end.
IWindowBackend& DefaultWindowBackend();
// Installs a back-end (before the first window is made); nullptr restores
// the default.
void SetUserBackend(IWindowBackend* backend);
