#pragma once
// The non-client model: the default frame (sizes, hit test, painting), the
// size limits and the default move/size loop.
//
// WM_NCLBUTTONDOWN on HTCAPTION or a sizing edge sends WM_SYSCOMMAND
// SC_MOVE/SC_SIZE (with the hit code in the low bits), which the window sees
// first; its default runs the loop, and the whole loop completes before the
// WM_NCLBUTTONDOWN default returns:
//   WM_GETMINMAXINFO (sizing), WM_ENTERSIZEMOVE,
//   per pointer move: WM_MOVING/WM_SIZING with an editable screen RECT, then
//   with full-window dragging SetWindowPos (WM_WINDOWPOSCHANGING with an
//   editable WINDOWPOS, WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE),
//   on release: WM_CAPTURECHANGED, the final SetWindowPos without full-window
//   dragging, WM_EXITSIZEMOVE.
// A click without movement ends the loop without a move. Escape puts the
// window back. Other messages are dispatched while the loop runs.
//
// The caption holds the window's text in the system caption font and, with
// WS_SYSMENU, the caption buttons right to left: close, maximize (restore
// when maximized) with WS_MAXIMIZEBOX, minimize with WS_MINIMIZEBOX (tool
// windows: close only). Pressing one (HTCLOSE, HTMAXBUTTON, HTMINBUTTON)
// tracks the pointer until release; releasing over the same button sends
// WM_SYSCOMMAND SC_CLOSE, SC_MAXIMIZE/SC_RESTORE or SC_MINIMIZE/SC_RESTORE.
#include "platform/user/UserTypes.h"

struct TWnd;

// The frame thickness of a style pair: left, top (caption included), right
// and bottom insets of the client area.
RECT DefaultFrameInsets(DWORD style, DWORD exStyle);
MINMAXINFO DefaultMinMaxInfo(HWND wnd);
// Recomputes the client rectangle with WM_NCCALCSIZE (pos null: creation).
void RecalcClientRect(TWnd* w, WINDOWPOS* pos);
LRESULT DefaultHitTest(HWND wnd, POINT screen);
void DefaultPaintFrame(HWND wnd);
// A caption button's rectangle in window coordinates (HTCLOSE, HTMAXBUTTON,
// HTMINBUTTON); empty when the window has no such button.
RECT CaptionButtonRect(HWND wnd, LRESULT hit);
// The press of a caption button, from WM_NCLBUTTONDOWN to the release.
void TrackCaptionButton(HWND wnd, LRESULT hit);
void RunSizeMoveLoop(HWND wnd, WPARAM command, POINT start);
