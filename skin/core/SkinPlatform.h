#pragma once
// Platform version tests and the optional functions of the window system and
// of desktop composition, looked up by name once at start so that every
// caller can test for them and take its fallback: layered windows need a
// platform of the 2000 generation or later, glass needs composition (absent
// here: the composition functions stay null and the wrappers do nothing).
#include "platform/gdi/GdiTypes.h"

void GetWindowsVersion(int& Major, int& Minor);
bool IsWindows7();
bool IsWindowsVistaOrLater();
bool IsWindowsXPOrLater();
bool IsWindows2000OrLater();
// The platform identifies itself as the NT family.
bool IsNTPlatform();

using TMonitorFromWindowProc = HMONITOR (*)(HWND, DWORD);
using TGetMonitorInfoProc = BOOL (*)(HMONITOR, void*);
using TSetLayeredWindowAttributesProc = BOOL (*)(HWND, COLORREF, BYTE, DWORD);
using TUpdateLayeredWindowProc = BOOL (*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD);
extern TMonitorFromWindowProc SkinMonitorFromWindow;
extern TGetMonitorInfoProc SkinGetMonitorInfo;
extern TSetLayeredWindowAttributesProc SkinSetLayeredWindowAttributes;
extern TUpdateLayeredWindowProc SkinUpdateLayeredWindow;

// Looks the four functions up in "user32.dll" of the platform's module
// table. Runs at start, when the window system may not have registered them
// yet (they stay null, as on an older platform); the window system calls it
// again once it has.
void BindUser32Functions();
// Binds them once more on first use: by then every unit has started, the
// window system's included.
void EnsureUser32Functions();

struct DWM_BLURBEHIND {
    DWORD dwFlags = 0;
    BOOL fEnable = 0;
    HRGN hRgnBlur = nullptr;
    BOOL fTransitionOnMaximized = 0;
};
constexpr DWORD DWM_BB_ENABLE = 1;
constexpr DWORD DWM_BB_BLURREGION = 2;
constexpr DWORD DWMWA_TRANSITIONS_FORCEDISABLED = 3;

using TDwmIsCompositionEnabledProc = long (*)(BOOL*);
using TDwmSetWindowAttributeProc = long (*)(HWND, DWORD, const void*, DWORD);
using TDwmEnableBlurBehindWindowProc = long (*)(HWND, const DWM_BLURBEHIND*);
extern TDwmIsCompositionEnabledProc SkinDwmIsCompositionEnabled;
extern TDwmSetWindowAttributeProc SkinDwmSetWindowAttribute;
extern TDwmEnableBlurBehindWindowProc SkinDwmEnableBlurBehindWindow;

// Desktop composition does not exist on this platform: LoadDwmApi finds no
// "dwmapi.dll", which leaves the three functions null. Tests may bind their own.
void LoadDwmApi();
void UnloadDwmApi();
bool IsDwmApiLoaded();
void BindDwmApiForTesting(TDwmIsCompositionEnabledProc IsEnabled, TDwmSetWindowAttributeProc SetAttribute,
                          TDwmEnableBlurBehindWindowProc EnableBlur);
bool DwmCompositionActive();
void SetDwmTransitions(HWND Wnd, bool Enabled);
void EnableBlurBehind(HWND Wnd, bool Enable, HRGN Rgn);
