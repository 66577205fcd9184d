#pragma once
// Activation, focus and capture, in the platform's message order:
//   activation: the window comes to the front (WM_WINDOWPOSCHANGING/
//   CHANGED), the old active window gets WM_NCACTIVATE(FALSE) and
//   WM_ACTIVATE(WA_INACTIVE), WM_ACTIVATEAPP goes out when the program as
//   a whole gains or loses activation, then the new one gets
//   WM_NCACTIVATE(TRUE) and WM_ACTIVATE, whose default handling gives it the
//   focus;
//   focus: WM_KILLFOCUS to the old focus window, then WM_SETFOCUS to the new.
// A click on a window of an inactive top-level window first sends it
// WM_MOUSEACTIVATE; MA_NOACTIVATE(ANDEAT) leaves activation alone.
#include "platform/user/UserTypes.h"

HWND SetFocus(HWND wnd);
HWND GetFocus();
HWND SetActiveWindow(HWND wnd);
HWND GetActiveWindow();
BOOL SetForegroundWindow(HWND wnd);
HWND GetForegroundWindow();
HWND SetCapture(HWND wnd);
BOOL ReleaseCapture();
HWND GetCapture();
