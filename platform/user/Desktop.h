#pragma once
// The desktop around the windows: monitors and the work area, system
// parameters, the beep, the text clipboard and files dropped on windows.
// The monitors are the back-end's (x11: the X server's monitors and the
// window manager's work area); headless there is one monitor the size of the
// screen whose work area leaves a 40-pixel task bar at the bottom.
// SPI_SETWORKAREA replaces the primary monitor's work area until it is set
// back with a null rectangle.
#include "platform/gdi/Fonts.h"
#include "platform/user/UserTypes.h"

#include <string>
#include <vector>

constexpr DWORD MONITOR_DEFAULTTONULL = 0;
constexpr DWORD MONITOR_DEFAULTTOPRIMARY = 1;
constexpr DWORD MONITOR_DEFAULTTONEAREST = 2;
constexpr DWORD MONITORINFOF_PRIMARY = 1;
struct MONITORINFO {
    DWORD cbSize = sizeof(MONITORINFO);
    RECT rcMonitor{};
    RECT rcWork{};
    DWORD dwFlags = 0;
};
HMONITOR MonitorFromWindow(HWND wnd, DWORD flags);
HMONITOR MonitorFromPoint(POINT pt, DWORD flags);
HMONITOR MonitorFromRect(const RECT* rect, DWORD flags);
BOOL GetMonitorInfo(HMONITOR monitor, MONITORINFO* info);
using MONITORENUMPROC = BOOL (*)(HMONITOR, HDC, RECT*, LPARAM);
BOOL EnumDisplayMonitors(HDC dc, const RECT* clip, MONITORENUMPROC proc, LPARAM data);
RECT WorkAreaRect();

constexpr UINT SPI_GETBEEP = 0x0001;
constexpr UINT SPI_SETDRAGFULLWINDOWS = 0x0025;
constexpr UINT SPI_GETDRAGFULLWINDOWS = 0x0026;
constexpr UINT SPI_SETWORKAREA = 0x002F;
constexpr UINT SPI_GETWORKAREA = 0x0030;
constexpr UINT SPI_GETKEYBOARDDELAY = 0x0016;
constexpr UINT SPI_GETKEYBOARDSPEED = 0x000A;
constexpr UINT SPI_GETMOUSEHOVERTIME = 0x0066;
constexpr UINT SPI_GETWHEELSCROLLLINES = 0x0068;
constexpr UINT SPI_GETMENUANIMATION = 0x1002;
constexpr UINT SPI_GETCOMBOBOXANIMATION = 0x1004;
constexpr UINT SPI_GETKEYBOARDCUES = 0x100A;
constexpr UINT SPI_GETMENUFADE = 0x1012;
constexpr UINT SPI_GETFLATMENU = 0x1022;
constexpr UINT SPI_GETDROPSHADOW = 0x1024;
constexpr UINT SPI_GETUIEFFECTS = 0x103E;
constexpr UINT SPI_GETICONTITLELOGFONT = 0x001F;
constexpr UINT SPI_GETNONCLIENTMETRICS = 0x0029;
constexpr UINT SPIF_UPDATEINIFILE = 0x0001;
// Frame metrics and the fonts of captions, menus, the status bar and
// messages: "Segoe UI", 9 points at 96 dots per inch.
struct NONCLIENTMETRICS {
    UINT cbSize = sizeof(NONCLIENTMETRICS);
    int iBorderWidth = 0;
    int iScrollWidth = 0;
    int iScrollHeight = 0;
    int iCaptionWidth = 0;
    int iCaptionHeight = 0;
    LOGFONT lfCaptionFont;
    int iSmCaptionWidth = 0;
    int iSmCaptionHeight = 0;
    LOGFONT lfSmCaptionFont;
    int iMenuWidth = 0;
    int iMenuHeight = 0;
    LOGFONT lfMenuFont;
    LOGFONT lfStatusFont;
    LOGFONT lfMessageFont;
    int iPaddedBorderWidth = 0;
};
using TNonClientMetrics = NONCLIENTMETRICS;
constexpr UINT SPIF_SENDCHANGE = 0x0002;
// Reads or sets a system parameter; unknown ones fail (FALSE).
BOOL SystemParametersInfo(UINT action, UINT uiParam, void* pvParam, UINT winIni);
bool DragFullWindows();

constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_ICONHAND = 0x00000010;
constexpr UINT MB_ICONQUESTION = 0x00000020;
constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
constexpr UINT MB_ICONASTERISK = 0x00000040;
BOOL MessageBeep(UINT type);
// How many beeps there were (tests).
int MessageBeepCount();

// The clipboard holds text (UTF-8); CF_TEXT and CF_UNICODETEXT data is
// exchanged through memory handles as on the platform.
constexpr UINT CF_TEXT = 1;
constexpr UINT CF_UNICODETEXT = 13;
constexpr UINT GMEM_FIXED = 0x0000;
constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;
using HGLOBAL = HANDLE;
HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes);
void* GlobalLock(HGLOBAL mem);
BOOL GlobalUnlock(HGLOBAL mem);
std::size_t GlobalSize(HGLOBAL mem);
HGLOBAL GlobalFree(HGLOBAL mem);
BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
BOOL EmptyClipboard();
// Takes ownership of the memory handle.
HANDLE SetClipboardData(UINT format, HANDLE mem);
HANDLE GetClipboardData(UINT format);
BOOL IsClipboardFormatAvailable(UINT format);
// Our own code's short cut.
void ClipboardSetText(const std::string& text);
std::string ClipboardGetText();

// Dropped files: a window that accepts files (WS_EX_ACCEPTFILES, set by
// DragAcceptFiles) receives WM_DROPFILES with a drop handle.
using HDROP = HANDLE;
void DragAcceptFiles(HWND wnd, BOOL accept);
// With index 0xFFFFFFFF the number of files; with a null buffer the length
// of a name; else copies the name (UTF-8) and returns its length.
UINT DragQueryFile(HDROP drop, UINT index, char* buffer, UINT size);
BOOL DragQueryPoint(HDROP drop, POINT* point);
void DragFinish(HDROP drop);
// Drops files at a screen point (back-ends and tests): the window under the
// point, or the nearest ancestor that accepts files, gets WM_DROPFILES.
bool UserDropFiles(POINT screen, const std::vector<std::string>& files);
