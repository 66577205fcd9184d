#include "platform/user/Desktop.h"
#include "platform/user/FileDropTarget.h"

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/SysColors.h"
#include "platform/rtl/SysUtils.h"
#include "platform/user/Backend.h"
#include "platform/user/MessageQueue.h"
#include "platform/user/Window.h"
#include "platform/user/WindowObject.h"
#include "platform/user/WindowRegion.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>

namespace {

struct TDesktopState {
    std::mutex Lock;
    bool WorkAreaSet = false;
    RECT WorkArea{};
    bool FullDrag = true;
    std::atomic<int> Beeps{0};
    // Clipboard.
    bool Open = false;
    std::string Text;
    bool HasText = false;
    std::vector<HGLOBAL> Owned;
};

TDesktopState& Desk()
{
    static auto* s = new TDesktopState;
    return *s;
}

LOGFONT UiFont(LONG weight)
{
    LOGFONT lf;
    lf.lfHeight = -12;
    lf.lfWeight = weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    std::strncpy(lf.lfFaceName, "Segoe UI", LF_FACESIZE - 1);
    return lf;
}

RECT ScreenRect()
{
    SIZE s = GdiScreenSize();
    return RECT{0, 0, s.cx, s.cy};
}

struct TGlobalBlock {
    std::size_t Size;
    int Locks;
};

std::mutex& GlobalLockMutex()
{
    static auto* m = new std::mutex;
    return *m;
}

std::set<void*>& GlobalBlocks()
{
    static auto* s = new std::set<void*>;
    return *s;
}

TGlobalBlock* Block(HGLOBAL mem)
{
    return GlobalBlocks().count(mem) ? static_cast<TGlobalBlock*>(mem) : nullptr;
}

struct TDropRec {
    std::vector<std::string> Files;
    POINT Point{};
};

std::set<TDropRec*>& Drops()
{
    static auto* s = new std::set<TDropRec*>;
    return *s;
}

} // namespace

namespace {

std::vector<TMonitorArea> MonitorList()
{
    std::vector<TMonitorArea> list;
    IWindowBackend* b = UserBackend();
    if (!b || !b->Monitors(list) || list.empty()) {
        list.clear();
        RECT s = ScreenRect();
        RECT work = s;
        work.bottom = std::max<LONG>(work.top, work.bottom - 40);
        list.push_back(TMonitorArea{s, work});
    }
    return list;
}

constexpr std::uintptr_t kFirstMonitor = 0x10001;

HMONITOR MonitorHandle(std::size_t i)
{
    return reinterpret_cast<HMONITOR>(static_cast<std::uintptr_t>(kFirstMonitor + i));
}

// The index of a monitor handle in list, -1 for anything else.
int MonitorIndex(HMONITOR h, const std::vector<TMonitorArea>& list)
{
    auto v = reinterpret_cast<std::uintptr_t>(h);
    return v >= kFirstMonitor && v - kFirstMonitor < list.size() ? static_cast<int>(v - kFirstMonitor) : -1;
}

long long Overlap(const RECT& a, const RECT& b)
{
    long long w = std::min(a.right, b.right) - std::max(a.left, b.left);
    long long h = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
    return w > 0 && h > 0 ? w * h : 0;
}

// Squared distance from a point to a rectangle (0 inside).
long long Distance(const RECT& r, POINT p)
{
    long long dx = p.x < r.left ? r.left - p.x : p.x >= r.right ? p.x - r.right + 1 : 0;
    long long dy = p.y < r.top ? r.top - p.y : p.y >= r.bottom ? p.y - r.bottom + 1 : 0;
    return dx * dx + dy * dy;
}

HMONITOR Fallback(const std::vector<TMonitorArea>& list, POINT near, DWORD flags)
{
    if (flags == MONITOR_DEFAULTTONULL)
        return nullptr;
    std::size_t best = 0;
    if (flags == MONITOR_DEFAULTTONEAREST)
        for (std::size_t i = 1; i < list.size(); ++i)
            if (Distance(list[i].Monitor, near) < Distance(list[best].Monitor, near))
                best = i;
    return MonitorHandle(best);
}

} // namespace

RECT WorkAreaRect()
{
    TDesktopState& d = Desk();
    {
        std::lock_guard lock(d.Lock);
        if (d.WorkAreaSet)
            return d.WorkArea;
    }
    return MonitorList().front().Work;
}

HMONITOR MonitorFromPoint(POINT pt, DWORD flags)
{
    std::vector<TMonitorArea> list = MonitorList();
    for (std::size_t i = 0; i < list.size(); ++i)
        if (Distance(list[i].Monitor, pt) == 0)
            return MonitorHandle(i);
    return Fallback(list, pt, flags);
}

HMONITOR MonitorFromRect(const RECT* rect, DWORD flags)
{
    if (!rect)
        return nullptr;
    std::vector<TMonitorArea> list = MonitorList();
    std::size_t best = 0;
    long long most = 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
        long long o = Overlap(list[i].Monitor, *rect);
        if (o > most) {
            most = o;
            best = i;
        }
    }
    if (most > 0)
        return MonitorHandle(best);
    POINT centre{static_cast<LONG>((static_cast<long long>(rect->left) + rect->right) / 2),
                 static_cast<LONG>((static_cast<long long>(rect->top) + rect->bottom) / 2)};
    return Fallback(list, centre, flags);
}

HMONITOR MonitorFromWindow(HWND wnd, DWORD flags)
{
    RECT r;
    if (!GetWindowRect(wnd, &r))
        return flags != MONITOR_DEFAULTTONULL ? MonitorHandle(0) : nullptr;
    return MonitorFromRect(&r, flags);
}

BOOL GetMonitorInfo(HMONITOR monitor, MONITORINFO* info)
{
    std::vector<TMonitorArea> list = MonitorList();
    int i = MonitorIndex(monitor, list);
    if (i < 0 || !info || info->cbSize < sizeof(MONITORINFO))
        return FALSE_;
    info->rcMonitor = list[static_cast<std::size_t>(i)].Monitor;
    info->rcWork = i == 0 ? WorkAreaRect() : list[static_cast<std::size_t>(i)].Work;
    info->dwFlags = i == 0 ? MONITORINFOF_PRIMARY : 0;
    return TRUE_;
}

BOOL EnumDisplayMonitors(HDC, const RECT* clip, MONITORENUMPROC proc, LPARAM data)
{
    if (!proc)
        return FALSE_;
    std::vector<TMonitorArea> list = MonitorList();
    for (std::size_t i = 0; i < list.size(); ++i) {
        RECT r = list[i].Monitor;
        if (clip && !Overlap(r, *clip))
            continue;
        if (!proc(MonitorHandle(i), nullptr, &r, data))
            break;
    }
    return TRUE_;
}

BOOL SystemParametersInfo(UINT action, UINT uiParam, void* pv, UINT)
{
    TDesktopState& d = Desk();
    auto setBool = [&](BOOL v) {
        if (!pv)
            return FALSE_;
        *static_cast<BOOL*>(pv) = v;
        return TRUE_;
    };
    switch (action) {
    case SPI_GETWORKAREA:
        if (!pv)
            return FALSE_;
        *static_cast<RECT*>(pv) = WorkAreaRect();
        return TRUE_;
    case SPI_SETWORKAREA: {
        std::lock_guard lock(d.Lock);
        if (!pv) {
            d.WorkAreaSet = false;
            return TRUE_;
        }
        RECT r = *static_cast<const RECT*>(pv);
        if (r.right <= r.left || r.bottom <= r.top)
            return FALSE_;
        d.WorkArea = r;
        d.WorkAreaSet = true;
        return TRUE_;
    }
    case SPI_GETDRAGFULLWINDOWS:
        return setBool(d.FullDrag ? TRUE_ : FALSE_);
    case SPI_SETDRAGFULLWINDOWS:
        d.FullDrag = uiParam != 0;
        return TRUE_;
    case SPI_GETBEEP:
        return setBool(TRUE_);
    case SPI_GETNONCLIENTMETRICS: {
        auto* m = static_cast<NONCLIENTMETRICS*>(pv);
        if (!m || m->cbSize < sizeof(NONCLIENTMETRICS) - sizeof(int))
            return FALSE_;
        m->iBorderWidth = 1;
        m->iScrollWidth = GetSystemMetrics(SM_CXVSCROLL);
        m->iScrollHeight = GetSystemMetrics(SM_CYHSCROLL);
        m->iCaptionWidth = GetSystemMetrics(SM_CXSIZE);
        m->iCaptionHeight = GetSystemMetrics(SM_CYSIZE);
        m->lfCaptionFont = UiFont(FW_BOLD);
        m->iSmCaptionWidth = GetSystemMetrics(SM_CXSMSIZE);
        m->iSmCaptionHeight = GetSystemMetrics(SM_CYSMSIZE);
        m->lfSmCaptionFont = UiFont(FW_NORMAL);
        m->iMenuWidth = GetSystemMetrics(SM_CXMENUSIZE);
        m->iMenuHeight = GetSystemMetrics(SM_CYMENUSIZE);
        m->lfMenuFont = UiFont(FW_NORMAL);
        m->lfStatusFont = UiFont(FW_NORMAL);
        m->lfMessageFont = UiFont(FW_NORMAL);
        return TRUE_;
    }
    case SPI_GETICONTITLELOGFONT:
        if (!pv || uiParam < sizeof(LOGFONT))
            return FALSE_;
        *static_cast<LOGFONT*>(pv) = UiFont(FW_NORMAL);
        return TRUE_;
    case SPI_GETKEYBOARDDELAY:
    case SPI_GETKEYBOARDSPEED:
        if (!pv)
            return FALSE_;
        *static_cast<int*>(pv) = action == SPI_GETKEYBOARDDELAY ? 1 : 31;
        return TRUE_;
    case SPI_GETMOUSEHOVERTIME:
    case SPI_GETWHEELSCROLLLINES:
        if (!pv)
            return FALSE_;
        *static_cast<UINT*>(pv) = action == SPI_GETMOUSEHOVERTIME ? 400 : 3;
        return TRUE_;
    case SPI_GETMENUANIMATION:
    case SPI_GETCOMBOBOXANIMATION:
    case SPI_GETMENUFADE:
    case SPI_GETFLATMENU:
    case SPI_GETKEYBOARDCUES:
        return setBool(FALSE_);
    case SPI_GETDROPSHADOW:
    case SPI_GETUIEFFECTS:
        return setBool(TRUE_);
    default:
        return FALSE_;
    }
}

bool DragFullWindows()
{
    return Desk().FullDrag;
}

BOOL MessageBeep(UINT)
{
    ++Desk().Beeps;
    return TRUE_;
}

int MessageBeepCount()
{
    return Desk().Beeps.load();
}

HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes)
{
    if (bytes > (std::size_t(1) << 31))
        return nullptr;
    void* p = (flags & GMEM_ZEROINIT) ? std::calloc(1, sizeof(TGlobalBlock) + bytes + 1)
                                      : std::malloc(sizeof(TGlobalBlock) + bytes + 1);
    if (!p)
        return nullptr;
    auto* b = static_cast<TGlobalBlock*>(p);
    b->Size = bytes;
    b->Locks = 0;
    std::lock_guard lock(GlobalLockMutex());
    GlobalBlocks().insert(p);
    return p;
}

void* GlobalLock(HGLOBAL mem)
{
    std::lock_guard lock(GlobalLockMutex());
    TGlobalBlock* b = Block(mem);
    if (!b)
        return nullptr;
    ++b->Locks;
    return b + 1;
}

BOOL GlobalUnlock(HGLOBAL mem)
{
    std::lock_guard lock(GlobalLockMutex());
    TGlobalBlock* b = Block(mem);
    if (!b || b->Locks == 0)
        return FALSE_;
    return --b->Locks > 0 ? TRUE_ : FALSE_;
}

std::size_t GlobalSize(HGLOBAL mem)
{
    std::lock_guard lock(GlobalLockMutex());
    TGlobalBlock* b = Block(mem);
    return b ? b->Size : 0;
}

HGLOBAL GlobalFree(HGLOBAL mem)
{
    std::lock_guard lock(GlobalLockMutex());
    if (!Block(mem))
        return mem;
    GlobalBlocks().erase(mem);
    std::free(mem);
    return nullptr;
}

namespace {

// The text of a UTF-16 block of n units, up to its terminator.
std::string Utf16BlockToUtf8(const char16_t* s, std::size_t n)
{
    std::u16string_view v(s, n);
    return UTF16ToUTF8(v.substr(0, std::min(v.size(), v.find(u'\0'))));
}

HGLOBAL MakeText(UINT format, const std::string& text)
{
    if (format == CF_UNICODETEXT) {
        std::u16string w = UTF8ToUTF16(text);
        HGLOBAL h = GlobalAlloc(GHND, (w.size() + 1) * 2);
        if (h) {
            std::memcpy(GlobalLock(h), w.c_str(), (w.size() + 1) * 2);
            GlobalUnlock(h);
        }
        return h;
    }
    HGLOBAL h = GlobalAlloc(GHND, text.size() + 1);
    if (h) {
        std::memcpy(GlobalLock(h), text.c_str(), text.size() + 1);
        GlobalUnlock(h);
    }
    return h;
}

} // namespace

BOOL OpenClipboard(HWND)
{
    TDesktopState& d = Desk();
    std::lock_guard lock(d.Lock);
    if (d.Open)
        return FALSE_;
    d.Open = true;
    return TRUE_;
}

BOOL CloseClipboard()
{
    TDesktopState& d = Desk();
    std::lock_guard lock(d.Lock);
    if (!d.Open)
        return FALSE_;
    d.Open = false;
    return TRUE_;
}

BOOL EmptyClipboard()
{
    TDesktopState& d = Desk();
    std::lock_guard lock(d.Lock);
    if (!d.Open)
        return FALSE_;
    d.Text.clear();
    d.HasText = false;
    return TRUE_;
}

HANDLE SetClipboardData(UINT format, HANDLE mem)
{
    TDesktopState& d = Desk();
    if (!d.Open || (format != CF_TEXT && format != CF_UNICODETEXT))
        return nullptr;
    std::size_t size = GlobalSize(mem);
    void* p = GlobalLock(mem);
    if (!p)
        return nullptr;
    std::string text = format == CF_UNICODETEXT
                           ? Utf16BlockToUtf8(static_cast<const char16_t*>(p), size / 2)
                           : std::string(static_cast<const char*>(p), strnlen(static_cast<const char*>(p), size));
    GlobalUnlock(mem);
    GlobalFree(mem);
    std::lock_guard lock(d.Lock);
    d.Text = text;
    d.HasText = true;
    return mem;
}

HANDLE GetClipboardData(UINT format)
{
    TDesktopState& d = Desk();
    std::string text;
    {
        std::lock_guard lock(d.Lock);
        if (!d.Open || !d.HasText || (format != CF_TEXT && format != CF_UNICODETEXT))
            return nullptr;
        text = d.Text;
        // Handles given out stay valid until the clipboard changes; freed then.
        for (HGLOBAL h : d.Owned)
            GlobalFree(h);
        d.Owned.clear();
    }
    HGLOBAL h = MakeText(format, text);
    std::lock_guard lock(d.Lock);
    d.Owned.push_back(h);
    return h;
}

BOOL IsClipboardFormatAvailable(UINT format)
{
    TDesktopState& d = Desk();
    std::lock_guard lock(d.Lock);
    return d.HasText && (format == CF_TEXT || format == CF_UNICODETEXT) ? TRUE_ : FALSE_;
}

void ClipboardSetText(const std::string& text)
{
    TDesktopState& d = Desk();
    std::lock_guard lock(d.Lock);
    d.Text = text;
    d.HasText = true;
}

std::string ClipboardGetText()
{
    TDesktopState& d = Desk();
    std::lock_guard lock(d.Lock);
    return d.HasText ? d.Text : std::string();
}

void DragAcceptFiles(HWND wnd, BOOL accept)
{
    LONG ex = GetWindowLong(wnd, GWL_EXSTYLE);
    SetWindowLong(wnd, GWL_EXSTYLE, accept ? (ex | static_cast<LONG>(WS_EX_ACCEPTFILES)) : (ex & ~static_cast<LONG>(WS_EX_ACCEPTFILES)));
}

UINT DragQueryFile(HDROP drop, UINT index, char* buffer, UINT size)
{
    auto* d = static_cast<TDropRec*>(drop);
    if (!Drops().count(d))
        return 0;
    if (index == 0xFFFFFFFF)
        return static_cast<UINT>(d->Files.size());
    if (index >= d->Files.size())
        return 0;
    const std::string& f = d->Files[index];
    if (!buffer)
        return static_cast<UINT>(f.size());
    if (size == 0)
        return 0;
    std::size_t n = std::min<std::size_t>(f.size(), size - 1);
    std::memcpy(buffer, f.data(), n);
    buffer[n] = 0;
    return static_cast<UINT>(n);
}

BOOL DragQueryPoint(HDROP drop, POINT* point)
{
    auto* d = static_cast<TDropRec*>(drop);
    if (!Drops().count(d) || !point)
        return FALSE_;
    *point = d->Point;
    return TRUE_;
}

void DragFinish(HDROP drop)
{
    auto* d = static_cast<TDropRec*>(drop);
    if (Drops().erase(d))
        delete d;
}

HWND FileDropTargetAt(POINT screen)
{
    HWND w = WindowFromPoint(screen);
    while (w && !(GetWindowLong(w, GWL_EXSTYLE) & static_cast<LONG>(WS_EX_ACCEPTFILES)))
        w = (GetWindowLong(w, GWL_STYLE) & static_cast<LONG>(WS_CHILD)) ? GetParent(w) : nullptr;
    return w;
}

bool UserDropFiles(POINT screen, const std::vector<std::string>& files)
{
    HWND w = FileDropTargetAt(screen);
    if (!w || files.empty())
        return false;
    auto* d = new TDropRec{files, screen};
    ScreenToClient(w, &d->Point);
    Drops().insert(d);
    if (!PostMessage(w, WM_DROPFILES, reinterpret_cast<WPARAM>(d), 0)) {
        DragFinish(d);
        return false;
    }
    return true;
}
