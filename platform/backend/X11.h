#pragma once
// The x11 back-end: every top-level window is an X window showing the
// window's surface.
//  - Menus, hints and drop-downs (WS_POPUP windows without a frame that are
//    owned, tool or topmost windows) are override-redirect windows; the
//    others are managed by the window manager without its decorations (the
//    program draws its own frames).
//  - Window regions become the X Shape extension's bounding shape.
//  - Layered windows: with a compositing manager (_NET_WM_CM_S0 owned), a
//    per-pixel alpha picture gets an ARGB window and constant alpha the
//    _NET_WM_WINDOW_OPACITY property; without one, pixels of alpha 0 (or of
//    the colour key) are cut away with Shape and the rest shows opaque.
//  - Changed rectangles of a surface go through a shared-memory image
//    (MIT-SHM) where the server offers it and shares our memory, else with
//    XPutImage straight from the surface's memory.
//  - Monitors are the server's (RandR 1.5 monitors, else Xinerama screens,
//    else the screen), each with the window manager's work area
//    (_NET_WORKAREA) cut to it, read again when the root window's size or
//    that property changes.
//  - X input becomes the window system's hardware input; moves and sizes
//    done by the window manager, Expose, focus and WM_DELETE_WINDOW become
//    the matching window calls and messages.
//  - A control may ask for a native X child window inside its top-level
//    window, kept at the control's place and visibility (a video player
//    draws into it).
// X events are read by a thread of the back-end blocked in the X connection;
// it hands input to the window system at once (which wakes the waiting
// queues) and leaves the other events for PumpEvents of the windows' threads.
#include "platform/user/Backend.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct _XDisplay;
using XDisplayPtr = _XDisplay*;
using XWindowId = unsigned long;

// The local files of a text/uri-list ("file:" URIs, percent-escapes
// decoded); other schemes, remote hosts and comment lines are left out.
std::vector<std::string> FileUrisToPaths(const std::string& UriList);

class TX11Backend final : public IWindowBackend {
public:
    // Connects to the display (nullptr: $DISPLAY); nullptr when it cannot.
    // XInitThreads runs first.
    static std::unique_ptr<TX11Backend> Open(const char* displayName = nullptr);
    ~TX11Backend() override;

    const char* Name() const override { return "x11"; }
    void WindowCreated(HWND wnd) override;
    void WindowDestroyed(HWND wnd) override;
    void WindowChanged(HWND wnd, const RECT& oldScreenRect) override;
    void Present(HWND wnd, const RECT& surfaceRect) override;
    void PumpEvents() override;
    bool Monitors(std::vector<TMonitorArea>& out) override;
    // Only while a compositing manager runs and an ARGB visual exists.
    bool TranslucentTopLevels() const override;
    // Grabs the key on the root window (also with Num Lock and Caps Lock
    // held); presses arrive as HotKey input events. False when another
    // program holds the combination or the key has no X key.
    bool GrabHotKey(UINT Modifiers, UINT Vk, bool Grab) override;
    // The freedesktop system tray while a tray manager runs (X11Tray.h).
    ITrayHost* TrayHost() override;

    XDisplayPtr Display() const;
    // The X window of a top-level window (0 when it has none).
    XWindowId XWindowOf(HWND wnd) const;
    // The window showing the drop shadow of a top-level window (0 while it
    // shows none: no compositing manager, no CS_DROPSHADOW, hidden).
    XWindowId ShadowWindowOf(HWND wnd) const;
    // The top-level window shown by an X window (null when none).
    HWND WindowOfX(XWindowId xwin) const;
    bool Compositing() const;
    // Surfaces go to the server through shared memory.
    bool SharedMemory() const;
    // Waits until the X server has handled every request made so far.
    void Sync();

    // A native X child window at the control's place in its top-level
    // window, made on the first call; 0 when the control has no top-level
    // X window. It follows the control's place and visibility whenever its
    // top-level window is presented or changed (UpdateNativeChildren forces
    // that), and goes with the control. Expose on it invalidates the control.
    XWindowId NativeChildWindow(HWND control);
    void DestroyNativeChild(HWND control);
    void UpdateNativeChildren(HWND top);

private:
    struct TState;
    explicit TX11Backend(std::unique_ptr<TState> state);
    std::unique_ptr<TState> F;
};

// The x11 back-end made by SelectWindowBackend, or null.
TX11Backend* X11Backend();
void SetX11Backend(TX11Backend* backend);

// Installs the handler that logs X protocol errors and never ends the
// program. Libraries that set their own (SDL does) leave theirs behind, so
// it is installed again after them.
void X11InstallErrorHandler();
// X protocol errors seen so far.
int X11ErrorCount();
