#pragma once
// Window classes and window procedures: registration, class longs, the
// default procedure, subclassing (CallWindowProc) and window procedures
// bound to object methods (MakeObjectInstance, AllocateHWnd) for the class
// library's controls and for plain objects that need a window.
#include "platform/classes/Events.h"
#include "platform/user/UserTypes.h"

#include <string>

ATOM RegisterClass(const WNDCLASS* wc);
ATOM RegisterClassEx(const WNDCLASSEX* wc);
BOOL UnregisterClass(const char* className, HINSTANCE instance);
BOOL GetClassInfo(HINSTANCE instance, const char* className, WNDCLASS* wc);
BOOL GetClassInfoEx(HINSTANCE instance, const char* className, WNDCLASSEX* wc);
DWORD GetClassLong(HWND wnd, int index);
DWORD SetClassLong(HWND wnd, int index, LONG value);
DWORD_PTR GetClassLongPtr(HWND wnd, int index);
DWORD_PTR SetClassLongPtr(HWND wnd, int index, LONG_PTR value);
int GetClassName(HWND wnd, char* buffer, int maxCount);
std::string GetClassNameString(HWND wnd);

// The default handling of every message a window procedure does not handle
// itself: the non-client model (frame size, hit test, frame painting,
// activation, the move/size loop), erasing with the class brush, WM_SIZE and
// WM_MOVE from WM_WINDOWPOSCHANGED, WM_CLOSE destroying the window, and the
// system commands.
LRESULT DefWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CallWindowProc(WNDPROC proc, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Atoms: names kept by number (0xC000 and up); the same name (any case)
// gives the same atom, and each add counts until as many deletes.
inline const char* MAKEINTATOM(WORD atom) { return reinterpret_cast<const char*>(static_cast<std::uintptr_t>(atom)); }
ATOM GlobalAddAtom(const char* name);
ATOM GlobalFindAtom(const char* name);
ATOM GlobalDeleteAtom(ATOM atom);
UINT GlobalGetAtomName(ATOM atom, char* buffer, int size);
inline ATOM AddAtom(const char* name) { return GlobalAddAtom(name); }
inline ATOM FindAtom(const char* name) { return GlobalFindAtom(name); }
inline ATOM DeleteAtom(ATOM atom) { return GlobalDeleteAtom(atom); }

// A window procedure that calls an object's method with a TMessage; the
// method's Result is the procedure's result. The procedure is a real function
// pointer, so it can be stored with GWL_WNDPROC and called by anyone; a
// limited pool of them exists (EOutOfResources when exhausted).
using TWndMethod = TMethodPtr<void(TMessage&)>;
WNDPROC MakeObjectInstance(TWndMethod method);
void FreeObjectInstance(WNDPROC instance);
// A hidden utility window whose messages go to method.
HWND AllocateHWnd(TWndMethod method);
void DeallocateHWnd(HWND wnd);
