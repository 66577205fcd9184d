#pragma once
// The notification area ("tray") of the desktop. Shell_NotifyIconW adds,
// changes and removes a program's icons on the tray host: one a test
// installed with SetTrayHost, else the back-end's (x11: the freedesktop
// system tray when a tray manager runs; the memory screen has none). The
// shell side keeps each icon's whole state (picture scaled to the host's
// size, tip, balloon) and hands it to the host, so a host that comes back
// after a restart starts empty and the programs add their icons again when
// the registered "TaskbarCreated" message reaches their top-level windows.
// Without a host NIM_ADD and NIM_MODIFY fail.
#include "platform/gdi/ImageFormats.h"
#include "platform/user/UserTypes.h"

#include <string>

constexpr DWORD NIM_ADD = 0, NIM_MODIFY = 1, NIM_DELETE = 2;
constexpr UINT NIF_MESSAGE = 0x1, NIF_ICON = 0x2, NIF_TIP = 0x4, NIF_INFO = 0x10;
constexpr DWORD NIIF_NONE = 0, NIIF_INFO = 1, NIIF_WARNING = 2, NIIF_ERROR = 3;
constexpr UINT NIN_BALLOONUSERCLICK = 0x405;

struct NOTIFYICONDATAW {
    DWORD cbSize = sizeof(NOTIFYICONDATAW);
    HWND hWnd = nullptr;
    UINT uID = 0;
    UINT uFlags = 0;
    UINT uCallbackMessage = 0;
    HICON hIcon = nullptr;  // unused: icons have no handles here (see Image)
    WCHAR szTip[128]{};
    DWORD dwState = 0, dwStateMask = 0;
    WCHAR szInfo[256]{};
    UINT uTimeout = 0;
    WCHAR szInfoTitle[64]{};
    DWORD dwInfoFlags = 0;
    // The icon's picture with NIF_ICON (any depth; null or empty: an empty
    // icon). Read during the call only.
    const TDibImage* Image = nullptr;
};

// Copies Text into a zero-terminated record field of Size wide characters,
// cut to whole characters (a surrogate pair is never split).
void CopyNotifyText(WCHAR* Field, size_t Size, const std::string& Utf8);
std::string NotifyText(const WCHAR* Field, size_t Size);

BOOL Shell_NotifyIconW(DWORD Message, NOTIFYICONDATAW* Data);

// One icon as the host shows it.
struct TTrayIconState {
    HWND Wnd = nullptr;
    UINT Id = 0;
    UINT CallbackMessage = 0;  // 0: no mouse notifications
    TDibImage Image;           // 32-bit B, G, R, A at the host's size; empty: no picture
    std::string Tip;           // UTF-8
    std::string BalloonTitle, BalloonText;
    DWORD BalloonFlags = 0;
};

class ITrayHost {
public:
    virtual ~ITrayHost() = default;
    // Side of the square icon pictures in pixels.
    virtual int IconSize() const = 0;
    virtual bool AddIcon(const TTrayIconState& Icon) = 0;
    // BalloonChanged: the balloon was sent with this call (shown, or
    // removed when its text is empty).
    virtual bool ModifyIcon(const TTrayIconState& Icon, bool BalloonChanged) = 0;
    virtual bool DeleteIcon(HWND Wnd, UINT Id) = 0;
};

// A test's host (null: the back-end's again). Installing one announces it.
void SetTrayHost(ITrayHost* Host);
// The host in use, or null when there is no tray.
ITrayHost* CurrentTrayHost();
// A host started (or started again): the icons it had are gone, and
// "TaskbarCreated" is posted to every top-level window.
void TrayHostAppeared();
// A host went away: its icons are gone.
void TrayHostGone();
// The icons the shell side holds (what the host shows).
int TrayIconCount();
const TTrayIconState* FindTrayIcon(HWND Wnd, UINT Id);
// Hosts report the pointer on an icon: Mouse is WM_MOUSEMOVE or a button
// message; a left press within the double-click time of the previous one
// on the same icon becomes WM_LBUTTONDBLCLK. Posts the icon's callback
// message (wParam the id, lParam the mouse message); false when the icon is
// unknown or wants no notifications.
bool TrayIconMouse(HWND Wnd, UINT Id, UINT Mouse);
// Scales a picture to Size x Size 32-bit pixels (box filter down, nearest up).
TDibImage ScaleTrayImage(const TDibImage& Source, int Size);
