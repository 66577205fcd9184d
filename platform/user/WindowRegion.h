#pragma once
// Window regions, layered windows and finding the window at a point.
//
// SetWindowRgn takes ownership of the region (it is deleted when replaced or
// when the window goes); the region is in window coordinates and shapes both
// what is shown and what is hit. Layered windows (WS_EX_LAYERED) show
// nothing until SetLayeredWindowAttributes (constant alpha and/or a colour
// key over what the window paints) or UpdateLayeredWindow (a picture with
// per-pixel alpha, premultiplied, that replaces painting) has been called;
// both are always available. WindowFromPoint skips hidden windows,
// WS_EX_TRANSPARENT ones, points outside a window's region and fully
// transparent pixels of layered windows, and asks each candidate with
// WM_NCHITTEST: HTTRANSPARENT passes the point to the window beneath.
#include "platform/user/UserTypes.h"

struct BLENDFUNCTION;

constexpr DWORD LWA_COLORKEY = 0x00000001;
constexpr DWORD LWA_ALPHA = 0x00000002;
constexpr DWORD ULW_COLORKEY = 0x00000001;
constexpr DWORD ULW_ALPHA = 0x00000002;
constexpr DWORD ULW_OPAQUE = 0x00000004;

int SetWindowRgn(HWND wnd, HRGN rgn, BOOL redraw);
int GetWindowRgn(HWND wnd, HRGN rgn);
int GetWindowRgnBox(HWND wnd, RECT* rect);

BOOL SetLayeredWindowAttributes(HWND wnd, COLORREF key, BYTE alpha, DWORD flags);
BOOL GetLayeredWindowAttributes(HWND wnd, COLORREF* key, BYTE* alpha, DWORD* flags);
BOOL UpdateLayeredWindow(HWND wnd, HDC dstDC, const POINT* dstPt, const SIZE* size, HDC srcDC, const POINT* srcPt,
                         COLORREF key, const BLENDFUNCTION* blend, DWORD flags);
// Layered windows exist on every back-end.
inline bool LayeredWindowsAvailable() { return true; }

HWND WindowFromPoint(POINT point);
HWND ChildWindowFromPoint(HWND parent, POINT clientPoint);
HWND ChildWindowFromPointEx(HWND parent, POINT clientPoint, UINT flags);

struct TWnd;
// Internal: the window under a screen point and its hit-test code.
TWnd* HitWindowAt(POINT screen, LRESULT* hit);
// Internal: lets go of a region a window held.
void ReleaseWindowRegion(HRGN rgn);
// Internal: whether a top-level or child window covers a screen point
// (rectangle, region, layered transparency), ignoring visibility.
bool WindowCoversPoint(const TWnd* w, POINT screen);
