#pragma once
// The MDI client window: the "MDICLIENT" class an MDI main form places in
// its client area as the parent of its child forms.
//
// The client keeps which child is active. Activation (WM_MDIACTIVATE with
// the new child in WParam, a click through WM_MOUSEACTIVATE) tells the old
// child WM_NCACTIVATE FALSE and WM_MDIACTIVATE (old, new), brings the new
// one to the top and tells it WM_NCACTIVATE TRUE and WM_MDIACTIVATE (old,
// new); the frame stays the active top-level window throughout.
// WM_MDIGETACTIVE answers the active child, WM_MDINEXT activates the next
// child (LParam 0) or the previous one, WM_MDIDESTROY destroys a child.
//
// Tiling, cascading, icon arrangement and maximising through the client are
// not provided: the skinned form component lays its children out itself.
#include "platform/user/UserTypes.h"

#include <vector>

inline constexpr const char* MDICLIENT_CLASS = "MDICLIENT";

// Makes the client of Frame at the given client-area rectangle; no edge and
// no scroll bars. Registers the class on first use.
HWND CreateMDIClientWindow(HWND Frame, int X, int Y, int Width, int Height);
bool IsMDIClientWindow(HWND Wnd);
// The client's children (forms) front to back, visible ones only when asked.
std::vector<HWND> MDIChildWindows(HWND Client, bool VisibleOnly);
// A child that hides or goes: the next visible child becomes active (or
// none). Safe for a window that is no child of the client. Without
// TellChild the leaving child hears nothing (it is being destroyed).
void MDIChildLeaving(HWND Client, HWND Child, bool TellChild = true);
// The MDI child holding Wnd (Wnd itself or an ancestor) when it is not the
// active child of its client, else null: a click there activates it.
HWND MDIChildToActivate(HWND Wnd);
// The default WM_MOUSEACTIVATE of an MDI child: after its parents answered
// Result, a click that may activate makes the child the active one.
void MDIChildMouseActivate(HWND Child, LRESULT Result);
