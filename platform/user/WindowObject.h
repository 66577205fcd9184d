#pragma once
// The window record behind an HWND and the window system's shared state.
// Internal to platform/user and the back-ends: other code speaks only in
// handles.
//
// Threads: a window belongs to the thread that created it, and its record is
// read and written by that thread only; other threads reach it through
// SendMessage/PostMessage. The handle table, the window tree's links, the
// class table and the raw input queue are shared and guarded by User().Lock,
// which is never held while a window procedure runs.
//
// Lifetime: DestroyWindow removes the handle at once (IsWindow turns false,
// later messages are dropped), but the record stays until the outermost
// call of its window procedure has returned (InUse), so a procedure that
// destroys its own window keeps running on valid memory.
#include "platform/gdi/Regions.h"
#include "platform/user/UserTypes.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

struct TThreadQueue;

struct TWndClassRec {
    std::string Name;
    ATOM Atom = 0;
    UINT Style = 0;
    WNDPROC Proc = nullptr;
    int ClsExtra = 0;
    int WndExtra = 0;
    HINSTANCE Instance = nullptr;
    HICON Icon = nullptr;
    HICON IconSm = nullptr;
    HICON Cursor = nullptr;
    HBRUSH Background = nullptr;
    std::string MenuName;
    std::vector<BYTE> Extra;
    int Windows = 0;
};

struct TWnd {
    HWND Handle = nullptr;
    TWndClassRec* Class = nullptr;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    WNDPROC Proc = nullptr;
    HINSTANCE Instance = nullptr;
    LONG_PTR UserData = 0;
    LONG_PTR Id = 0;
    std::string Text;
    std::vector<BYTE> Extra;
    HMENU Menu = nullptr;
    std::vector<std::pair<std::string, HANDLE>> Props;

    TWnd* Parent = nullptr;  // the desktop for top-level windows
    TWnd* Owner = nullptr;
    std::vector<TWnd*> Children;  // front to back
    RECT Rect{};    // window rectangle in the parent's client coordinates
    RECT Client{};  // client rectangle relative to the window's top-left corner
    RECT NormalRect{};  // the restored bounds while minimized or maximized

    DWORD ThreadId = 0;
    std::shared_ptr<TThreadQueue> Queue;

    // Painting: the update region in client coordinates, and whether the
    // frame and the background wait to be drawn.
    TRegion Update;
    bool UpdateErase = false;
    bool UpdateFrame = false;
    bool InternalPaint = false;
    bool NoRedraw = false;      // WM_SETREDRAW FALSE
    bool CountedForPaint = false;

    // Top-level windows draw into a surface of their own, which the back-end
    // composes or presents.
    HBITMAP Surface = nullptr;

    // The window region in window coordinates (owned handle and its shape).
    HRGN RgnHandle = nullptr;
    std::optional<TRegion> Rgn;

    // Layered windows: attributes (constant alpha, colour key) over the
    // painted surface, or the picture given to UpdateLayeredWindow.
    bool LayeredAttrs = false;
    DWORD LayeredFlags = 0;
    BYTE LayeredAlpha = 255;
    COLORREF LayeredKey = 0;
    bool LayeredPicture = false;
    bool PicturePerPixel = false;
    BYTE PictureAlpha = 255;
    bool PictureKeyed = false;
    COLORREF PictureKey = 0;

    bool Destroying = false;
    bool Destroyed = false;
    int InUse = 0;
    bool SizeMoveSent = false;  // WM_SIZE/WM_MOVE after creation
    bool NCActive = false;      // the frame is drawn active
    bool InSizeMove = false;
    LRESULT NCPressed = 0;      // the caption button held down (HTCLOSE...), 0 none

    bool Visible() const { return (Style & WS_VISIBLE) != 0; }
    bool IsChild() const { return (Style & WS_CHILD) != 0; }
};

struct TUserState {
    std::recursive_mutex Lock;
    std::unordered_map<HWND, TWnd*> Handles;
    std::uintptr_t NextHandle = 0x10010;
    TWnd* Desktop = nullptr;
    TWnd* MessageRoot = nullptr;  // parent of message-only windows
    std::vector<std::unique_ptr<TWndClassRec>> Classes;
    ATOM NextAtom = 0xC000;
    HWND Foreground = nullptr;
    HWND Capture = nullptr;
    DWORD CaptureThread = 0;
};

TUserState& User();
// The live window behind a handle (not yet destroyed), or null.
TWnd* WndFromHandle(HWND wnd);
// The desktop record (made on first use).
TWnd* DesktopWnd();

inline bool IsTopLevel(const TWnd* w) { return w->Parent == DesktopWnd(); }
TWnd* TopLevelOf(TWnd* w);
// Visible with all its ancestors.
bool IsReallyVisible(const TWnd* w);
// Screen position of the window's top-left corner and of its client area.
POINT WindowScreenOrigin(const TWnd* w);
POINT ClientScreenOrigin(const TWnd* w);
// Position of the window's top-left corner in its top-level's surface.
POINT SurfaceOrigin(const TWnd* w);
// Window rectangle in screen coordinates.
RECT WindowScreenRect(const TWnd* w);
// Client rectangle in its own coordinates (0, 0, width, height).
RECT ClientSize(const TWnd* w);

// Keeps a record alive across window procedure calls.
class TWndRef {
public:
    explicit TWndRef(TWnd* w);
    ~TWndRef();
    TWndRef(const TWndRef&) = delete;
    TWndRef& operator=(const TWndRef&) = delete;
    TWnd* Get() const { return FWnd; }
    bool Alive() const { return FWnd && !FWnd->Destroyed; }

private:
    TWnd* FWnd;
};

// Calls the window's procedure in this thread (the same-thread send).
LRESULT CallWndProc(TWnd* w, UINT msg, WPARAM wParam, LPARAM lParam);
// The native control classes (platform/user/controls) register on first use
// of one of their names.
void InitCommonControls();

// Frees a destroyed record once no call holds it.
void ReleaseWndRecord(TWnd* w);

// Painting helpers used across the units.
void PaintCountChanged(TWnd* w);
void InvalidateWindowArea(TWnd* w, const TRegion* clientRgn, UINT flags);
// Marks an area of a top-level surface (surface coordinates) as changed, so
// the back-end presents it.
void SurfaceChanged(TWnd* top, const RECT& r);
// Makes sure a top-level window has a surface of its size.
void EnsureSurface(TWnd* top);
void FreeSurface(TWnd* top);

// Window DCs: the gdi layer asks the window system where a window's pixels
// are (installed once, before the first window).
void InstallWindowDCHooks();

// Activation and focus helpers.
void ActivateWindowInternal(TWnd* w, WORD how, bool setFocus);
// Activates the window next in z-order after w (w is going away or hidden).
void ActivateNextAfter(TWnd* w);
void WindowGoingAway(TWnd* w);
