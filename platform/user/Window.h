#pragma once
// Windows as handles: creation and destruction, the window tree (parent,
// owner, children in z-order), styles and window longs, text, enabling,
// geometry and coordinate mapping, SetWindowPos/ShowWindow.
//
// Creation sends WM_GETMINMAXINFO (overlapped and sizeable windows),
// WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE and WM_MOVE, then shows
// the window when WS_VISIBLE was given; a child tells its parent with
// WM_PARENTNOTIFY unless WS_EX_NOPARENTNOTIFY. DestroyWindow destroys owned
// windows first, sends WM_DESTROY to the window before its children and
// WM_NCDESTROY to children before their parent; it is safe inside the
// window's own handler.
#include "platform/user/UserTypes.h"

#include <string>

HWND CreateWindowEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU menu, HINSTANCE instance, void* param);
inline HWND CreateWindow(const char* className, const char* windowName, DWORD style, int x, int y, int width,
                         int height, HWND parent, HMENU menu, HINSTANCE instance, void* param)
{
    return CreateWindowEx(0, className, windowName, style, x, y, width, height, parent, menu, instance, param);
}
BOOL DestroyWindow(HWND wnd);

BOOL IsWindow(HWND wnd);
BOOL IsWindowVisible(HWND wnd);
BOOL IsWindowEnabled(HWND wnd);
BOOL EnableWindow(HWND wnd, BOOL enable);
BOOL IsChild(HWND parent, HWND wnd);
BOOL IsIconic(HWND wnd);
BOOL IsZoomed(HWND wnd);

HWND GetDesktopWindow();
HWND GetParent(HWND wnd);
HWND SetParent(HWND child, HWND newParent);
HWND GetAncestor(HWND wnd, UINT flags);
HWND GetWindow(HWND wnd, UINT cmd);
HWND GetTopWindow(HWND wnd);
HWND GetNextWindow(HWND wnd, UINT cmd);
using WNDENUMPROC = BOOL (*)(HWND, LPARAM);
BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM param);
BOOL EnumWindows(WNDENUMPROC proc, LPARAM param);
BOOL EnumThreadWindows(DWORD threadId, WNDENUMPROC proc, LPARAM param);
HWND FindWindow(const char* className, const char* windowName);
DWORD GetWindowThreadProcessId(HWND wnd, DWORD* processId);
int GetDlgCtrlID(HWND wnd);
HWND GetDlgItem(HWND dialog, int id);

LONG GetWindowLong(HWND wnd, int index);
LONG SetWindowLong(HWND wnd, int index, LONG value);
LONG_PTR GetWindowLongPtr(HWND wnd, int index);
LONG_PTR SetWindowLongPtr(HWND wnd, int index, LONG_PTR value);

// Texts are UTF-8. GetWindowText copies at most maxCount - 1 bytes and a
// terminator, without splitting a character.
int GetWindowText(HWND wnd, char* buffer, int maxCount);
int GetWindowTextLength(HWND wnd);
BOOL SetWindowText(HWND wnd, const char* text);
// Convenience for our own code.
std::string GetWindowTextString(HWND wnd);

BOOL GetWindowRect(HWND wnd, RECT* rect);
BOOL GetClientRect(HWND wnd, RECT* rect);
BOOL ClientToScreen(HWND wnd, POINT* point);
BOOL ScreenToClient(HWND wnd, POINT* point);
int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count);

BOOL SetWindowPos(HWND wnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL MoveWindow(HWND wnd, int x, int y, int width, int height, BOOL repaint);
BOOL ShowWindow(HWND wnd, int cmd);
BOOL BringWindowToTop(HWND wnd);
// Several placements applied together by EndDeferWindowPos, in the order
// given (each as SetWindowPos would); a failed entry makes DeferWindowPos
// free the set and return null.
using HDWP = HANDLE;
HDWP BeginDeferWindowPos(int count);
HDWP DeferWindowPos(HDWP info, HWND wnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL EndDeferWindowPos(HDWP info);

struct WINDOWPLACEMENT {
    UINT length = sizeof(WINDOWPLACEMENT);
    UINT flags = 0;
    UINT showCmd = 0;
    POINT ptMinPosition{};
    POINT ptMaxPosition{};
    RECT rcNormalPosition{};
};
BOOL GetWindowPlacement(HWND wnd, WINDOWPLACEMENT* placement);
BOOL SetWindowPlacement(HWND wnd, const WINDOWPLACEMENT* placement);

// Window properties: named handles kept with a window (names are texts or
// atoms made with MAKEINTATOM); they go when the window goes.
BOOL SetProp(HWND wnd, const char* name, HANDLE data);
HANDLE GetProp(HWND wnd, const char* name);
HANDLE RemoveProp(HWND wnd, const char* name);

// The frame sizes the default non-client calculation uses for a style pair.
BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle);
inline BOOL AdjustWindowRect(RECT* rect, DWORD style, BOOL menu) { return AdjustWindowRectEx(rect, style, menu, 0); }
