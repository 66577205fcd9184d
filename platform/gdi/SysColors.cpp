#include "platform/gdi/SysColors.h"

#include "platform/gdi/DeviceContext.h"

#include <cstring>

namespace {

constexpr COLORREF SysColors[SysColorCount] = {
    RGB(212, 208, 200), // scroll bar
    RGB(58, 110, 165),  // desktop
    RGB(10, 36, 106),   // active caption
    RGB(128, 128, 128), // inactive caption
    RGB(212, 208, 200), // menu
    RGB(255, 255, 255), // window
    RGB(0, 0, 0),       // window frame
    RGB(0, 0, 0),       // menu text
    RGB(0, 0, 0),       // window text
    RGB(255, 255, 255), // caption text
    RGB(212, 208, 200), // active border
    RGB(212, 208, 200), // inactive border
    RGB(128, 128, 128), // application workspace
    RGB(10, 36, 106),   // highlight
    RGB(255, 255, 255), // highlight text
    RGB(212, 208, 200), // button face
    RGB(128, 128, 128), // button shadow
    RGB(128, 128, 128), // grey text
    RGB(0, 0, 0),       // button text
    RGB(212, 208, 200), // inactive caption text
    RGB(255, 255, 255), // button highlight
    RGB(64, 64, 64),    // 3-D dark shadow
    RGB(212, 208, 200), // 3-D light
    RGB(0, 0, 0),       // tooltip text
    RGB(255, 255, 225), // tooltip background
    RGB(181, 181, 181), // (unused index)
    RGB(0, 0, 128),     // hot-track
    RGB(166, 202, 240), // active caption gradient
    RGB(192, 192, 192), // inactive caption gradient
    RGB(10, 36, 106),   // menu highlight
    RGB(212, 208, 200), // menu bar
};

} // namespace

DWORD GetSysColor(int index)
{
    if (index < 0 || index >= SysColorCount)
        return 0;
    return SysColors[index];
}

COLORREF ColorToRGB(TColor color)
{
    auto c = static_cast<DWORD>(color);
    if ((c & 0xFF000000u) == 0xFF000000u)
        return GetSysColor(static_cast<int>(c & 0xFF));
    return c & 0xFFFFFF;
}

int GetSystemMetrics(int index)
{
    SIZE screen = GdiScreenSize();
    switch (index) {
    case SM_CXSCREEN: case SM_CXVIRTUALSCREEN: return screen.cx;
    case SM_CYSCREEN: case SM_CYVIRTUALSCREEN: return screen.cy;
    case SM_CXFULLSCREEN: return screen.cx;
    case SM_CYFULLSCREEN: return screen.cy - 19;
    case SM_CXMAXIMIZED: return screen.cx + 8;
    case SM_CYMAXIMIZED: return screen.cy + 8;
    case SM_CXMAXTRACK: return screen.cx + 12;
    case SM_CYMAXTRACK: return screen.cy + 12;
    case SM_CXVSCROLL: case SM_CYHSCROLL: case SM_CYVSCROLL: case SM_CXHSCROLL:
    case SM_CYVTHUMB: case SM_CXHTHUMB:
        return 17;
    case SM_CYCAPTION: return 19;
    case SM_CYMENU: return 19;
    case SM_CXBORDER: case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME: case SM_CYDLGFRAME: return 3;
    case SM_CXFRAME: case SM_CYFRAME: return 4;
    case SM_CXEDGE: case SM_CYEDGE: return 2;
    case SM_CXICON: case SM_CYICON: case SM_CXCURSOR: case SM_CYCURSOR: return 32;
    case SM_CXSMICON: case SM_CYSMICON: return 16;
    case SM_CYSMCAPTION: return 16;
    case SM_CXSMSIZE: return 12;
    case SM_CYSMSIZE: return 15;
    case SM_CXSIZE: case SM_CYSIZE: case SM_CXMENUSIZE: case SM_CYMENUSIZE: return 18;
    case SM_CXMIN: case SM_CXMINTRACK: return 112;
    case SM_CYMIN: case SM_CYMINTRACK: return 27;
    case SM_CXMINIMIZED: return 160;
    case SM_CYMINIMIZED: return 24;
    case SM_CXDOUBLECLK: case SM_CYDOUBLECLK: case SM_CXDRAG: case SM_CYDRAG: return 4;
    case SM_CXICONSPACING: case SM_CYICONSPACING: return 75;
    case SM_CXMENUCHECK: case SM_CYMENUCHECK: return 13;
    case SM_CXFOCUSBORDER: case SM_CYFOCUSBORDER: return 1;
    case SM_MOUSEPRESENT: case SM_MOUSEWHEELPRESENT: case SM_CMONITORS: case SM_SAMEDISPLAYFORMAT: return 1;
    case SM_CMOUSEBUTTONS: return 3;
    default: return 0;
    }
}

DWORD GetVersion()
{
    return 6u | (1u << 8) | (7601u << 16);
}

BOOL GetVersionExA(OSVERSIONINFOA* info)
{
    if (!info || info->dwOSVersionInfoSize < sizeof(OSVERSIONINFOA))
        return FALSE_;
    info->dwMajorVersion = 6;
    info->dwMinorVersion = 1;
    info->dwBuildNumber = 7601;
    info->dwPlatformId = VER_PLATFORM_WIN32_NT;
    std::memset(info->szCSDVersion, 0, sizeof info->szCSDVersion);
    std::memcpy(info->szCSDVersion, "Service Pack 1", 14);
    return TRUE_;
}
