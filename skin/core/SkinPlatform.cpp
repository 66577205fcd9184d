#include "skin/core/SkinPlatform.h"

#include "platform/gdi/SysColors.h"
#include "platform/gdi/SystemModules.h"

TMonitorFromWindowProc SkinMonitorFromWindow = nullptr;
TGetMonitorInfoProc SkinGetMonitorInfo = nullptr;
TSetLayeredWindowAttributesProc SkinSetLayeredWindowAttributes = nullptr;
TUpdateLayeredWindowProc SkinUpdateLayeredWindow = nullptr;
TDwmIsCompositionEnabledProc SkinDwmIsCompositionEnabled = nullptr;
TDwmSetWindowAttributeProc SkinDwmSetWindowAttribute = nullptr;
TDwmEnableBlurBehindWindowProc SkinDwmEnableBlurBehindWindow = nullptr;

namespace {
bool GDwmLoaded = false;
}  // namespace

void GetWindowsVersion(int& Major, int& Minor)
{
    const DWORD v = GetVersion();
    Major = static_cast<int>(v & 0xFF);
    Minor = static_cast<int>((v >> 8) & 0xFF);
}

bool IsWindows7()
{
    int ma, mi;
    GetWindowsVersion(ma, mi);
    return ma == 6 && mi == 1;
}

bool IsWindowsVistaOrLater()
{
    int ma, mi;
    GetWindowsVersion(ma, mi);
    return ma > 5;
}

bool IsWindowsXPOrLater()
{
    int ma, mi;
    GetWindowsVersion(ma, mi);
    return ma > 5 || (ma == 5 && mi == 1);
}

bool IsWindows2000OrLater()
{
    int ma, mi;
    GetWindowsVersion(ma, mi);
    return ma > 5 || (ma == 5 && mi >= 0 && mi <= 2);
}

bool IsNTPlatform()
{
    OSVERSIONINFOA info;
    info.dwOSVersionInfoSize = sizeof info;
    return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

void BindUser32Functions()
{
    auto find = [](const char* name) { return SystemModuleProc("user32.dll", name); };
    SkinMonitorFromWindow = reinterpret_cast<TMonitorFromWindowProc>(find("MonitorFromWindow"));
    SkinGetMonitorInfo = reinterpret_cast<TGetMonitorInfoProc>(find("GetMonitorInfoA"));
    SkinSetLayeredWindowAttributes =
        reinterpret_cast<TSetLayeredWindowAttributesProc>(find("SetLayeredWindowAttributes"));
    SkinUpdateLayeredWindow = reinterpret_cast<TUpdateLayeredWindowProc>(find("UpdateLayeredWindow"));
}

void EnsureUser32Functions()
{
    static const bool bound = (BindUser32Functions(), true);
    (void)bound;
}

void LoadDwmApi()
{
    GDwmLoaded = SystemModuleExists("dwmapi.dll");
    auto find = [](const char* name) { return GDwmLoaded ? SystemModuleProc("dwmapi.dll", name) : nullptr; };
    SkinDwmIsCompositionEnabled = reinterpret_cast<TDwmIsCompositionEnabledProc>(find("DwmIsCompositionEnabled"));
    SkinDwmSetWindowAttribute = reinterpret_cast<TDwmSetWindowAttributeProc>(find("DwmSetWindowAttribute"));
    SkinDwmEnableBlurBehindWindow =
        reinterpret_cast<TDwmEnableBlurBehindWindowProc>(find("DwmEnableBlurBehindWindow"));
}

void UnloadDwmApi()
{
    GDwmLoaded = false;
    SkinDwmIsCompositionEnabled = nullptr;
    SkinDwmSetWindowAttribute = nullptr;
    SkinDwmEnableBlurBehindWindow = nullptr;
}

bool IsDwmApiLoaded() { return GDwmLoaded; }

void BindDwmApiForTesting(TDwmIsCompositionEnabledProc IsEnabled, TDwmSetWindowAttributeProc SetAttribute,
                          TDwmEnableBlurBehindWindowProc EnableBlur)
{
    GDwmLoaded = IsEnabled || SetAttribute || EnableBlur;
    SkinDwmIsCompositionEnabled = IsEnabled;
    SkinDwmSetWindowAttribute = SetAttribute;
    SkinDwmEnableBlurBehindWindow = EnableBlur;
}

bool DwmCompositionActive()
{
    BOOL enabled = 0;
    if (GDwmLoaded && SkinDwmIsCompositionEnabled)
        SkinDwmIsCompositionEnabled(&enabled);
    return enabled != 0;
}

void SetDwmTransitions(HWND Wnd, bool Enabled)
{
    if (!GDwmLoaded || !SkinDwmSetWindowAttribute)
        return;
    const BOOL value = Enabled ? 0 : -1;
    SkinDwmSetWindowAttribute(Wnd, DWMWA_TRANSITIONS_FORCEDISABLED, &value, sizeof value);
}

void EnableBlurBehind(HWND Wnd, bool Enable, HRGN Rgn)
{
    if (!GDwmLoaded || !SkinDwmEnableBlurBehindWindow)
        return;
    DWM_BLURBEHIND bb;
    bb.dwFlags = DWM_BB_ENABLE | (Rgn ? DWM_BB_BLURREGION : 0);
    bb.fEnable = Enable ? -1 : 0;
    bb.hRgnBlur = Rgn;
    bb.fTransitionOnMaximized = 0;
    SkinDwmEnableBlurBehindWindow(Wnd, &bb);
}

namespace {
// The drawing unit's start: optional window functions, then composition.
struct TPlatformUnit {
    TPlatformUnit()
    {
        BindUser32Functions();
        LoadDwmApi();
    }
    ~TPlatformUnit()
    {
        UnloadDwmApi();
        SkinMonitorFromWindow = nullptr;
        SkinGetMonitorInfo = nullptr;
    }
} GPlatformUnit;
}  // namespace
