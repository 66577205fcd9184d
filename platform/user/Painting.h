#pragma once
// Painting: update regions, invalidation and validation, WM_PAINT through
// BeginPaint/EndPaint with WM_NCPAINT and WM_ERASEBKGND, RedrawWindow with
// every RDW_ flag, UpdateWindow, scrolling, and the window DCs.
//
// Clipping follows the style bits: a window's own painting excludes its
// children only with WS_CLIPCHILDREN, and its overlapping siblings in front
// only with WS_CLIPSIBLINGS. Invalidating a window without WS_CLIPCHILDREN
// (or with RDW_ALLCHILDREN) also invalidates the children in that area, so
// the parent paints first and its children over it. Hidden windows, and
// windows with redrawing switched off (WM_SETREDRAW FALSE), collect no
// update region.
//
// Window DCs draw into the surface of the window's top-level window; when a
// DC is released (ReleaseDC, EndPaint) its visible area is handed to the
// back-end to be shown. GetDC(0) is a DC onto the screen itself.
#include "platform/gdi/Regions.h"
#include "platform/user/UserTypes.h"

HDC BeginPaint(HWND wnd, PAINTSTRUCT* ps);
BOOL EndPaint(HWND wnd, const PAINTSTRUCT* ps);
BOOL InvalidateRect(HWND wnd, const RECT* rect, BOOL erase);
BOOL InvalidateRgn(HWND wnd, HRGN rgn, BOOL erase);
BOOL ValidateRect(HWND wnd, const RECT* rect);
BOOL ValidateRgn(HWND wnd, HRGN rgn);
BOOL RedrawWindow(HWND wnd, const RECT* updateRect, HRGN updateRgn, UINT flags);
BOOL UpdateWindow(HWND wnd);
BOOL GetUpdateRect(HWND wnd, RECT* rect, BOOL erase);
int GetUpdateRgn(HWND wnd, HRGN rgn, BOOL erase);
// The region given with DCX_INTERSECTRGN/DCX_EXCLUDERGN is in screen
// coordinates (as WM_NCPAINT passes it); 1 stands for "everything". It stays
// the caller's.
HDC GetDCEx(HWND wnd, HRGN clip, DWORD flags);
HDC GetWindowDC(HWND wnd);
// GetDC and ReleaseDC are declared with the device contexts.
int ScrollWindowEx(HWND wnd, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update, RECT* updateRect,
                   UINT flags);
BOOL ScrollWindow(HWND wnd, int dx, int dy, const RECT* scroll, const RECT* clip);
BOOL LockWindowUpdate(HWND wnd);

// The area a window can draw on, in its client (or window) coordinates:
// its rectangle cut by its ancestors, its and their window regions, and by
// siblings and children as the clipping styles ask.
TRegion VisibleRegion(HWND wnd, bool windowArea, bool clipChildren, bool clipSiblings);

// Internal: invalidates the parent's area under a child that moves or hides.
struct TWnd;
void InvalidateParentArea(TWnd* w);
// Internal: DCs kept open follow their window (new surface, place,
// visible area) after a change under the top-level window.
void RefreshOpenDCs(TWnd* top);
// Internal: carries out a redraw another thread asked for.
void RunDeferredRedraw(HWND wnd, LPARAM data);
// Internal: sends WM_PAINT (and what BeginPaint sends) to windows needing it.
void PaintNow(TWnd* w, bool children);
