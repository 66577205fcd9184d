#include "platform/backend/X11.h"

#include "platform/backend/Headless.h"
#include "platform/backend/X11Keys.h"
#include "platform/backend/X11Tray.h"
#include "platform/gdi/Bitmaps.h"
#include "platform/gdi/Regions.h"
#include "platform/rtl/DynLoad.h"
#include "platform/rtl/Threads.h"
#include "platform/user/Desktop.h"
#include "platform/user/FileDropTarget.h"
#include "platform/user/Focus.h"
#include "platform/user/Input.h"
#include "platform/user/MessageQueue.h"
#include "platform/user/Painting.h"
#include "platform/user/ThreadQueue.h"
#include "platform/user/Window.h"
#include "platform/user/WindowClass.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/shape.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <unistd.h>

#include <cerrno>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

namespace {

std::atomic<int> gErrorCount{0};
std::atomic<TX11Backend*> gX11{nullptr};

// Set when a key grab was refused (another program holds the combination).
std::atomic<bool> gGrabRefused{false};
// The core protocol's GrabKey request (X11/Xproto.h, whose BOOL clashes with ours).
constexpr int XGrabKeyRequest = 33;

int LogXError(::Display* dpy, XErrorEvent* e)
{
    if (e->error_code == BadAccess && e->request_code == XGrabKeyRequest) {
        gGrabRefused = true;
        return 0;
    }
    char text[256] = "";
    XGetErrorText(dpy, e->error_code, text, sizeof text);
    std::fprintf(stderr, "X error: %s (request %d.%d, resource 0x%lx)\n", text, e->request_code, e->minor_code,
                 e->resourceid);
    ++gErrorCount;
    return 0;
}

int LogXIOError(::Display*)
{
    // Xlib ends the program once this returns; say why first.
    std::fprintf(stderr, "X connection lost\n");
    return 0;
}

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

unsigned Clamp16(LONG v)
{
    return static_cast<unsigned>(std::clamp<LONG>(v, 1, 32767));
}

// A shared-memory image the size of a window's surface.
struct TShmImage {
    ::Display* Dpy = nullptr;
    XShmSegmentInfo Info{};
    XImage* Img = nullptr;
    bool Attached = false;
    TShmImage() { Info.shmaddr = reinterpret_cast<char*>(-1); }
    ~TShmImage()
    {
        if (Attached)
            XShmDetach(Dpy, &Info);
        if (Img) {
            Img->data = nullptr;  // the segment is not the image's to free
            XDestroyImage(Img);
        }
        if (Info.shmaddr != reinterpret_cast<char*>(-1))
            shmdt(Info.shmaddr);
    }
};

// What X needs to know of one top-level window.
struct TXWin {
    Window Id = 0;
    Visual* Vis = nullptr;
    int Depth = 0;
    Colormap Cmap = 0;
    GC Gc = nullptr;
    bool Argb = false;
    bool Override = false;
    bool Mapped = false;
    bool Iconic = false;
    RECT Rect{};                    // geometry asked of (or reported by) the server
    unsigned long ConfigureSerial = 0;
    std::string Title;
    bool TitleSet = false;
    bool Shaped = false;
    std::vector<XRectangle> Shape;  // last bounding shape set
    bool NoInput = false;           // empty input shape set (click-through)
    long Opacity = -1;              // last _NET_WM_WINDOW_OPACITY (-1: none)
    Window Shadow = 0;              // the drop shadow's window (0: none yet)
    Colormap ShadowCmap = 0;
    SIZE ShadowSize{};              // size its picture was made for
    bool ShadowMapped = false;
    std::shared_ptr<TShmImage> Shm;  // shared by the copies taken to present
};

struct TNativeChild {
    HWND Top = nullptr;
    Window Id = 0;
    Window Parent = 0;
    RECT Rect{};
    bool Mapped = false;
};

struct TPendingEvent {
    HWND Wnd = nullptr;
    bool Child = false;  // Wnd is the control of a native child window
    XEvent Ev{};
};

bool SameShape(const std::vector<XRectangle>& a, const std::vector<XRectangle>& b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](const XRectangle& x, const XRectangle& y) {
               return x.x == y.x && x.y == y.y && x.width == y.width && x.height == y.height;
           });
}

} // namespace

struct TX11Backend::TState {
    ::Display* Dpy = nullptr;
    int Screen = 0;
    Window Root = 0;
    Visual* DefVisual = nullptr;
    int DefDepth = 0;
    bool Plain32 = false;  // the default visual takes our 32-bit pixels as they are
    Visual* ArgbVisual = nullptr;
    bool Compositing = false;
    bool ShapeExt = false;
    std::atomic<bool> ShmOk{false};  // MIT-SHM offered and attaching works
    GC RootGc = nullptr;
    Atom NetWorkArea = 0, NetCurrentDesktop = 0;
    std::mutex MonitorLock;
    std::vector<TMonitorArea> MonitorCache;
    std::atomic<bool> MonitorsDirty{true};

    Atom WmProtocols = 0, WmDeleteWindow = 0, NetWmName = 0, Utf8String = 0, NetWmPid = 0, MotifHints = 0,
         NetWmType = 0, TypeNormal = 0, TypeDialog = 0, TypePopup = 0, TypeTooltip = 0, NetWmOpacity = 0,
         NetWmState = 0, StateAbove = 0;
    // Files dragged from other programs (the XDND protocol).
    Atom XdndAware = 0, XdndEnter = 0, XdndPosition = 0, XdndStatus = 0, XdndLeave = 0, XdndDrop = 0,
         XdndFinished = 0, XdndSelection = 0, XdndActionCopy = 0, XdndTypeList = 0, TextUriList = 0, XdndData = 0;
    struct TDrag {
        Window Source = 0;  // 0: no drag over our windows
        bool Uris = false;  // the source offers text/uri-list
        bool Accept = false;
        POINT Point{};
    } Drag;

    std::thread Reader;
    std::atomic<bool> Stopping{false};
    int WakePipe[2] = {-1, -1};
    std::mutex DrainLock;       // keeps events in order between readers
    std::vector<XEvent> Events;  // read under DrainLock

    mutable std::mutex Lock;
    std::unordered_map<HWND, TXWin> Wins;
    std::unordered_map<Window, HWND> ByX;
    std::unordered_map<HWND, TNativeChild> Children;
    std::unordered_map<Window, HWND> ChildByX;
    std::deque<TPendingEvent> Pending;
    std::atomic<int> PendingCount{0};
    std::vector<Window> LastStack;
    Window Grabbed = 0;  // the window holding our pointer grab
    std::unique_ptr<TX11Tray> Tray;  // the notification area's icons

    void ReaderLoop();
    void FollowCapture();
    void HandleXdnd(Window Own, const XClientMessageEvent& ev);
    void FinishXdnd(Window Own, const XSelectionEvent& ev);
    void SendXdnd(Window To, Atom Type, long L0, long L1, long L2, long L3, long L4);
    void Drain();
    void DrainLocked();
    bool Dispatch(const XEvent& ev);
    void HandleInput(const XEvent& ev);
    bool MakeWindow(HWND wnd, const TTopLevelInfo& info, TXWin& rec);
    void FreeWindow(TXWin& rec);
    std::shared_ptr<TShmImage> MakeShm(const TXWin& rec, int w, int h);
    std::vector<TMonitorArea> QueryMonitors();
    void PutSurface(const TXWin& rec, const TTopLevelInfo& info, RECT r);
    void UpdateShape(HWND wnd, TXWin& rec, const TTopLevelInfo& info);
    void UpdateOpacity(TXWin& rec, const TTopLevelInfo& info);
    void UpdateTitle(HWND wnd, TXWin& rec);
    void UpdateShadow(HWND wnd, TXWin& rec);
    void Restack();
    bool WantsOverride(HWND wnd) const;
    bool WantsArgb(const TTopLevelInfo& info) const
    {
        return Compositing && ArgbVisual && info.Layered && info.LayeredPicture && info.PerPixelAlpha;
    }
};

// ---------------------------------------------------------------------------
// Files dragged from other programs (XDND): the drag's position is answered
// with whether a window there takes files; the drop fetches the source's
// text/uri-list and hands the local files to the window as WM_DROPFILES.

std::vector<std::string> FileUrisToPaths(const std::string& UriList)
{
    std::vector<std::string> files;
    std::size_t start = 0;
    while (start < UriList.size()) {
        std::size_t end = UriList.find('\n', start);
        if (end == std::string::npos)
            end = UriList.size();
        std::string line = UriList.substr(start, end - start);
        start = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == '\0' || line.back() == ' '))
            line.pop_back();
        if (line.empty() || line[0] == '#' || line.compare(0, 5, "file:") != 0)
            continue;
        std::string rest = line.substr(5);
        if (rest.compare(0, 2, "//") == 0) {
            const std::size_t slash = rest.find('/', 2);
            const std::string host = rest.substr(2, slash == std::string::npos ? std::string::npos : slash - 2);
            if (slash == std::string::npos || !(host.empty() || host == "localhost"))
                continue;  // a file of another machine
            rest = rest.substr(slash);
        }
        if (rest.empty() || rest[0] != '/')
            continue;
        std::string path;
        bool bad = false;
        for (std::size_t i = 0; i < rest.size(); ++i) {
            if (rest[i] != '%') {
                path += rest[i];
                continue;
            }
            auto hex = [](char c) {
                return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                      : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
            };
            const int hi = i + 2 < rest.size() ? hex(rest[i + 1]) : -1;
            const int lo = i + 2 < rest.size() ? hex(rest[i + 2]) : -1;
            if (hi < 0 || lo < 0 || (hi == 0 && lo == 0)) {
                bad = true;  // a broken escape or a zero byte names no file
                break;
            }
            path += static_cast<char>(hi * 16 + lo);
            i += 2;
        }
        if (!bad)
            files.push_back(path);
    }
    return files;
}

void TX11Backend::TState::SendXdnd(Window To, Atom Type, long L0, long L1, long L2, long L3, long L4)
{
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.display = Dpy;
    e.xclient.window = To;
    e.xclient.message_type = Type;
    e.xclient.format = 32;
    e.xclient.data.l[0] = L0;
    e.xclient.data.l[1] = L1;
    e.xclient.data.l[2] = L2;
    e.xclient.data.l[3] = L3;
    e.xclient.data.l[4] = L4;
    XSendEvent(Dpy, To, False, NoEventMask, &e);
    XFlush(Dpy);
}

void TX11Backend::TState::HandleXdnd(Window Own, const XClientMessageEvent& ev)
{
    const Window source = static_cast<Window>(ev.data.l[0]);
    if (ev.message_type == XdndEnter) {
        Drag = TDrag{};
        Drag.Source = source;
        if (ev.data.l[1] & 1) {
            // More than three types: the source lists them in a property.
            Atom type = None;
            int format = 0;
            unsigned long count = 0, after = 0;
            unsigned char* data = nullptr;
            if (XGetWindowProperty(Dpy, source, XdndTypeList, 0, 64, False, XA_ATOM, &type, &format, &count, &after,
                                   &data) == Success && data) {
                if (format == 32)
                    for (unsigned long i = 0; i < count; ++i)
                        Drag.Uris = Drag.Uris || reinterpret_cast<Atom*>(data)[i] == TextUriList;
                XFree(data);
            }
        } else {
            for (int i = 2; i <= 4; ++i)
                Drag.Uris = Drag.Uris || static_cast<Atom>(ev.data.l[i]) == TextUriList;
        }
    } else if (ev.message_type == XdndPosition) {
        if (source != Drag.Source)
            return;
        Drag.Point = POINT{static_cast<LONG>((ev.data.l[2] >> 16) & 0xFFFF), static_cast<LONG>(ev.data.l[2] & 0xFFFF)};
        Drag.Accept = Drag.Uris && FileDropTargetAt(Drag.Point) != nullptr;
        SendXdnd(source, XdndStatus, static_cast<long>(Own), Drag.Accept ? 1 : 0, 0, 0,
                 Drag.Accept ? static_cast<long>(XdndActionCopy) : 0);
    } else if (ev.message_type == XdndLeave) {
        if (source == Drag.Source)
            Drag = TDrag{};
    } else if (ev.message_type == XdndDrop) {
        if (source != Drag.Source)
            return;
        if (!Drag.Accept) {
            SendXdnd(source, XdndFinished, static_cast<long>(Own), 0, 0, 0, 0);
            Drag = TDrag{};
            return;
        }
        XConvertSelection(Dpy, XdndSelection, TextUriList, XdndData, Own, static_cast<Time>(ev.data.l[2]));
        XFlush(Dpy);
    }
}

void TX11Backend::TState::FinishXdnd(Window Own, const XSelectionEvent& ev)
{
    if (ev.selection != XdndSelection || !Drag.Source)
        return;
    bool done = false;
    if (ev.property != None) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        // Up to 4 MB of names; a longer list is refused whole.
        if (XGetWindowProperty(Dpy, Own, ev.property, 0, 1 << 20, True, AnyPropertyType, &type, &format, &count,
                               &after, &data) == Success && data) {
            if (format == 8 && after == 0) {
                const std::vector<std::string> files =
                    FileUrisToPaths(std::string(reinterpret_cast<const char*>(data), count));
                done = !files.empty() && UserDropFiles(Drag.Point, files);
            }
            XFree(data);
        }
    }
    SendXdnd(Drag.Source, XdndFinished, static_cast<long>(Own), done ? 1 : 0,
             done ? static_cast<long>(XdndActionCopy) : 0, 0, 0);
    Drag = TDrag{};
}

// ---------------------------------------------------------------------------
// Opening and closing

std::unique_ptr<TX11Backend> TX11Backend::Open(const char* displayName)
{
    static bool threads = XInitThreads() != 0;
    (void)threads;
    ::Display* dpy = XOpenDisplay(displayName);
    if (!dpy)
        return nullptr;
    X11InstallErrorHandler();
    XSetIOErrorHandler(LogXIOError);

    auto s = std::make_unique<TState>();
    s->Dpy = dpy;
    s->Screen = DefaultScreen(dpy);
    s->Root = RootWindow(dpy, s->Screen);
    s->DefVisual = DefaultVisual(dpy, s->Screen);
    s->DefDepth = DefaultDepth(dpy, s->Screen);
    {
        int count = 0;
        XPixmapFormatValues* formats = XListPixmapFormats(dpy, &count);
        int bpp = 0;
        for (int i = 0; i < count; ++i)
            if (formats[i].depth == s->DefDepth)
                bpp = formats[i].bits_per_pixel;
        if (formats)
            XFree(formats);
        s->Plain32 = (s->DefDepth == 24 || s->DefDepth == 32) && bpp == 32 && s->DefVisual->red_mask == 0xFF0000 &&
                     s->DefVisual->green_mask == 0xFF00 && s->DefVisual->blue_mask == 0xFF;
    }
    XVisualInfo vi{};
    if (XMatchVisualInfo(dpy, s->Screen, 32, TrueColor, &vi) && vi.red_mask == 0xFF0000 && vi.green_mask == 0xFF00 &&
        vi.blue_mask == 0xFF)
        s->ArgbVisual = vi.visual;
    char cm[32];
    std::snprintf(cm, sizeof cm, "_NET_WM_CM_S%d", s->Screen);
    s->Compositing = XGetSelectionOwner(dpy, XInternAtom(dpy, cm, False)) != None;
    int evBase = 0, errBase = 0;
    s->ShapeExt = XShapeQueryExtension(dpy, &evBase, &errBase);

    auto atom = [&](const char* n) { return XInternAtom(dpy, n, False); };
    s->WmProtocols = atom("WM_PROTOCOLS");
    s->WmDeleteWindow = atom("WM_DELETE_WINDOW");
    s->NetWmName = atom("_NET_WM_NAME");
    s->Utf8String = atom("UTF8_STRING");
    s->NetWmPid = atom("_NET_WM_PID");
    s->MotifHints = atom("_MOTIF_WM_HINTS");
    s->NetWmType = atom("_NET_WM_WINDOW_TYPE");
    s->TypeNormal = atom("_NET_WM_WINDOW_TYPE_NORMAL");
    s->TypeDialog = atom("_NET_WM_WINDOW_TYPE_DIALOG");
    s->TypePopup = atom("_NET_WM_WINDOW_TYPE_POPUP_MENU");
    s->TypeTooltip = atom("_NET_WM_WINDOW_TYPE_TOOLTIP");
    s->NetWmOpacity = atom("_NET_WM_WINDOW_OPACITY");
    s->NetWmState = atom("_NET_WM_STATE");
    s->StateAbove = atom("_NET_WM_STATE_ABOVE");
    s->NetWorkArea = atom("_NET_WORKAREA");
    s->NetCurrentDesktop = atom("_NET_CURRENT_DESKTOP");
    s->XdndAware = atom("XdndAware");
    s->XdndEnter = atom("XdndEnter");
    s->XdndPosition = atom("XdndPosition");
    s->XdndStatus = atom("XdndStatus");
    s->XdndLeave = atom("XdndLeave");
    s->XdndDrop = atom("XdndDrop");
    s->XdndFinished = atom("XdndFinished");
    s->XdndSelection = atom("XdndSelection");
    s->XdndActionCopy = atom("XdndActionCopy");
    s->XdndTypeList = atom("XdndTypeList");
    s->TextUriList = atom("text/uri-list");
    s->XdndData = atom("TARNELLO_XDND_DATA");
    s->ShmOk = XShmQueryExtension(dpy) != False;
    // The work area and the screen's size are watched on the root window.
    XSelectInput(dpy, s->Root, PropertyChangeMask | StructureNotifyMask);

    s->RootGc = XCreateGC(dpy, s->Root, 0, nullptr);
    s->Tray = std::make_unique<TX11Tray>(dpy, s->Screen, s->Root);
    if (pipe2(s->WakePipe, O_CLOEXEC) != 0) {
        XFreeGC(dpy, s->RootGc);
        XCloseDisplay(dpy);
        return nullptr;
    }
    // Key repeat as repeated presses, without the releases between them.
    Bool supported = False;
    XkbSetDetectableAutoRepeat(dpy, True, &supported);
    XSync(dpy, False);

    // The memory screen keeps the size of the X screen, so that reading
    // the screen (GetDC(0)) sees what the windows show.
    HeadlessBackend().SetScreenSize(DisplayWidth(dpy, s->Screen), DisplayHeight(dpy, s->Screen));

    TState* raw = s.get();
    std::unique_ptr<TX11Backend> b(new TX11Backend(std::move(s)));
    raw->Reader = std::thread([raw] { raw->ReaderLoop(); });
    return b;
}

TX11Backend::TX11Backend(std::unique_ptr<TState> state) : F(std::move(state)) {}

TX11Backend::~TX11Backend()
{
    if (gX11.load() == this)
        gX11.store(nullptr);
    if (UserBackend() == this)
        SetUserBackend(nullptr);
    F->Stopping = true;
    char c = 1;
    if (write(F->WakePipe[1], &c, 1) < 0) {
        // The poll's timeout ends the wait all the same.
    }
    if (F->Reader.joinable())
        F->Reader.join();
    close(F->WakePipe[0]);
    close(F->WakePipe[1]);
    for (auto& [h, rec] : F->Wins)
        F->FreeWindow(rec);
    F->Tray.reset();
    XFreeGC(F->Dpy, F->RootGc);
    XCloseDisplay(F->Dpy);
}

ITrayHost* TX11Backend::TrayHost()
{
    return F->Tray->Manager() ? F->Tray.get() : nullptr;
}

XDisplayPtr TX11Backend::Display() const
{
    return F->Dpy;
}

bool TX11Backend::TranslucentTopLevels() const
{
    return F->Compositing && F->ArgbVisual;
}

bool TX11Backend::Compositing() const
{
    return F->Compositing;
}

void TX11Backend::Sync()
{
    XSync(F->Dpy, False);
}

XWindowId TX11Backend::ShadowWindowOf(HWND wnd) const
{
    std::lock_guard lock(F->Lock);
    auto it = F->Wins.find(wnd);
    return it == F->Wins.end() || !it->second.ShadowMapped ? 0 : it->second.Shadow;
}

XWindowId TX11Backend::XWindowOf(HWND wnd) const
{
    std::lock_guard lock(F->Lock);
    auto it = F->Wins.find(wnd);
    return it == F->Wins.end() ? 0 : it->second.Id;
}

HWND TX11Backend::WindowOfX(XWindowId xwin) const
{
    std::lock_guard lock(F->Lock);
    auto it = F->ByX.find(xwin);
    return it == F->ByX.end() ? nullptr : it->second;
}

TX11Backend* X11Backend()
{
    return gX11.load();
}

void SetX11Backend(TX11Backend* backend)
{
    gX11.store(backend);
}

void X11InstallErrorHandler()
{
    XSetErrorHandler(LogXError);
}

int X11ErrorCount()
{
    return gErrorCount.load();
}

// ---------------------------------------------------------------------------
// Windows

bool TX11Backend::TState::WantsOverride(HWND wnd) const
{
    // Menus, hints and drop-downs: framed neither by us nor by the window
    // manager, placed exactly and never given the focus.
    DWORD style = static_cast<DWORD>(GetWindowLong(wnd, GWL_STYLE));
    DWORD ex = static_cast<DWORD>(GetWindowLong(wnd, GWL_EXSTYLE));
    if (!(style & WS_POPUP) || (style & (WS_CAPTION | WS_THICKFRAME)) || (ex & WS_EX_APPWINDOW))
        return false;
    return GetWindow(wnd, GW_OWNER) != nullptr || (ex & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST)) != 0;
}

bool TX11Backend::TState::MakeWindow(HWND wnd, const TTopLevelInfo& info, TXWin& rec)
{
    rec.Argb = WantsArgb(info);
    rec.Override = WantsOverride(wnd);
    rec.Vis = rec.Argb ? ArgbVisual : DefVisual;
    rec.Depth = rec.Argb ? 32 : DefDepth;
    XSetWindowAttributes a{};
    unsigned long mask = CWBackPixmap | CWBorderPixel | CWEventMask | CWOverrideRedirect | CWColormap | CWBitGravity;
    a.background_pixmap = None;
    a.border_pixel = 0;
    a.bit_gravity = NorthWestGravity;
    a.override_redirect = rec.Override ? True : False;
    a.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | EnterWindowMask |
                   LeaveWindowMask | KeyPressMask | KeyReleaseMask | FocusChangeMask | StructureNotifyMask;
    if (rec.Argb) {
        rec.Cmap = XCreateColormap(Dpy, Root, ArgbVisual, AllocNone);
        a.colormap = rec.Cmap;
    } else {
        a.colormap = DefaultColormap(Dpy, Screen);
    }
    const RECT& r = info.ScreenRect;
    rec.Rect = r;
    rec.Id = XCreateWindow(Dpy, Root, r.left, r.top, Clamp16(r.right - r.left), Clamp16(r.bottom - r.top), 0,
                           rec.Depth, InputOutput, rec.Vis, mask, &a);
    if (!rec.Id)
        return false;
    rec.Gc = rec.Argb ? XCreateGC(Dpy, rec.Id, 0, nullptr) : nullptr;
    rec.Mapped = false;
    rec.TitleSet = false;
    rec.Shaped = false;
    rec.Shape.clear();
    rec.Opacity = -1;

    XSetWMProtocols(Dpy, rec.Id, &WmDeleteWindow, 1);
    XClassHint cls{};
    char name[] = "tarnello", klass[] = "Tarnello";
    cls.res_name = name;
    cls.res_class = klass;
    XSetClassHint(Dpy, rec.Id, &cls);
    long pid = static_cast<long>(getpid());
    XChangeProperty(Dpy, rec.Id, NetWmPid, XA_CARDINAL, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&pid), 1);
    // The program draws every frame itself.
    long motif[5] = {2, 0, 0, 0, 0};
    XChangeProperty(Dpy, rec.Id, MotifHints, MotifHints, 32, PropModeReplace, reinterpret_cast<unsigned char*>(motif), 5);
    HWND owner = GetWindow(wnd, GW_OWNER);
    DWORD ex = static_cast<DWORD>(GetWindowLong(wnd, GWL_EXSTYLE));
    Atom type = rec.Override ? ((ex & WS_EX_TOOLWINDOW) && (ex & WS_EX_TOPMOST) ? TypeTooltip : TypePopup)
                             : (owner ? TypeDialog : TypeNormal);
    XChangeProperty(Dpy, rec.Id, NetWmType, XA_ATOM, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&type), 1);
    // Other programs may drag files here; whether a drop is taken is decided
    // per point (windows that accept files).
    long xdndVersion = 5;
    XChangeProperty(Dpy, rec.Id, XdndAware, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&xdndVersion), 1);
    if (owner) {
        std::lock_guard lock(this->Lock);
        auto it = Wins.find(owner);
        if (it != Wins.end() && it->second.Id)
            XSetTransientForHint(Dpy, rec.Id, it->second.Id);
    }
    return true;
}

void TX11Backend::TState::FreeWindow(TXWin& rec)
{
    rec.Shm.reset();  // detached while the connection is open
    if (rec.Id)
        XDestroyWindow(Dpy, rec.Id);
    if (rec.Gc)
        XFreeGC(Dpy, rec.Gc);
    if (rec.Cmap)
        XFreeColormap(Dpy, rec.Cmap);
    if (rec.Shadow)
        XDestroyWindow(Dpy, rec.Shadow);
    if (rec.ShadowCmap)
        XFreeColormap(Dpy, rec.ShadowCmap);
    rec.Id = 0;
    rec.Gc = nullptr;
    rec.Cmap = 0;
    rec.Shadow = 0;
    rec.ShadowCmap = 0;
    rec.ShadowSize = SIZE{};
    rec.ShadowMapped = false;
}

// A pop-up of a CS_DROPSHADOW class casts its shadow through a second,
// click-through ARGB window just below it in the stack, offset by the
// shadow's width; the window's background is the shadow's picture, so the
// server redraws it without us. Only a compositing manager blends such a
// window with what lies beneath, so without one there is no shadow.
void TX11Backend::TState::UpdateShadow(HWND wnd, TXWin& rec)
{
    const LONG w = static_cast<LONG>(Clamp16(rec.Rect.right - rec.Rect.left));
    const LONG h = static_cast<LONG>(Clamp16(rec.Rect.bottom - rec.Rect.top));
    const bool wants = rec.Mapped && rec.Override && Compositing && ArgbVisual && w > 0 && h > 0 &&
                       (GetClassLong(wnd, GCL_STYLE) & CS_DROPSHADOW) != 0;
    if (!wants) {
        if (rec.ShadowMapped)
            XUnmapWindow(Dpy, rec.Shadow);
        rec.ShadowMapped = false;
        return;
    }
    const int x = static_cast<int>(rec.Rect.left + kDropShadowWidth);
    const int y = static_cast<int>(rec.Rect.top + kDropShadowWidth);
    if (!rec.Shadow) {
        rec.ShadowCmap = XCreateColormap(Dpy, Root, ArgbVisual, AllocNone);
        XSetWindowAttributes a{};
        a.colormap = rec.ShadowCmap;
        a.border_pixel = 0;
        a.background_pixmap = None;
        a.override_redirect = True;
        rec.Shadow = XCreateWindow(Dpy, Root, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h), 0, 32,
                                   InputOutput, ArgbVisual, CWColormap | CWBorderPixel | CWBackPixmap | CWOverrideRedirect,
                                   &a);
        if (!rec.Shadow)
            return;
        if (ShapeExt)  // clicks go through to what lies beneath
            XShapeCombineRectangles(Dpy, rec.Shadow, ShapeInput, 0, 0, nullptr, 0, ShapeSet, YXBanded);
        XChangeProperty(Dpy, rec.Shadow, NetWmType, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(&TypeTooltip), 1);
        rec.ShadowSize = SIZE{};
    }
    if (rec.ShadowSize.cx != w || rec.ShadowSize.cy != h) {
        // Transparent under the window, darker towards it in the bands right
        // of and below it (premultiplied black).
        auto* px = static_cast<std::uint32_t*>(std::calloc(static_cast<size_t>(w) * static_cast<size_t>(h), 4));
        if (!px)
            return;
        const LONG innerW = w - kDropShadowWidth, innerH = h - kDropShadowWidth;
        for (LONG py = 0; py < h; ++py) {
            const LONG dy = py >= innerH ? py - innerH + 1 : 0;
            for (LONG pxX = 0; pxX < w; ++pxX) {
                const LONG dx = pxX >= innerW ? pxX - innerW + 1 : 0;
                if (dx != 0 || dy != 0)
                    px[py * w + pxX] = static_cast<std::uint32_t>(DropShadowAlpha(std::max(dx, dy))) << 24;
            }
        }
        XImage* img = XCreateImage(Dpy, ArgbVisual, 32, ZPixmap, 0, reinterpret_cast<char*>(px),
                                   static_cast<unsigned>(w), static_cast<unsigned>(h), 32, 0);
        if (!img) {
            std::free(px);
            return;
        }
        img->byte_order = LSBFirst;  // the pixels are host-order 32-bit words
        Pixmap pic = XCreatePixmap(Dpy, rec.Shadow, static_cast<unsigned>(w), static_cast<unsigned>(h), 32);
        GC gc = XCreateGC(Dpy, pic, 0, nullptr);
        XPutImage(Dpy, pic, gc, img, 0, 0, 0, 0, static_cast<unsigned>(w), static_cast<unsigned>(h));
        XFreeGC(Dpy, gc);
        XDestroyImage(img);  // frees px
        XSetWindowBackgroundPixmap(Dpy, rec.Shadow, pic);
        XFreePixmap(Dpy, pic);  // the window keeps its own reference
        XClearWindow(Dpy, rec.Shadow);
        rec.ShadowSize = SIZE{w, h};
    }
    XMoveResizeWindow(Dpy, rec.Shadow, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h));
    if (!rec.ShadowMapped)
        XMapWindow(Dpy, rec.Shadow);
    rec.ShadowMapped = true;
}

void TX11Backend::WindowCreated(HWND wnd)
{
    HeadlessBackend().WindowCreated(wnd);
    TTopLevelInfo info;
    if (!UserTopLevelInfo(wnd, &info))
        return;
    TXWin rec;
    if (!F->MakeWindow(wnd, info, rec))
        return;
    {
        std::lock_guard lock(F->Lock);
        auto old = F->Wins.find(wnd);
        if (old != F->Wins.end()) {
            F->ByX.erase(old->second.Id);
            F->FreeWindow(old->second);
        }
        F->Wins[wnd] = rec;
        F->ByX[rec.Id] = wnd;
    }
    WindowChanged(wnd, info.ScreenRect);
}

void TX11Backend::WindowDestroyed(HWND wnd)
{
    HeadlessBackend().WindowDestroyed(wnd);
    TXWin rec;
    {
        std::lock_guard lock(F->Lock);
        auto it = F->Wins.find(wnd);
        if (it == F->Wins.end())
            return;
        rec = it->second;
        F->ByX.erase(rec.Id);
        F->Wins.erase(it);
        // Native children go with their parent X window.
        for (auto c = F->Children.begin(); c != F->Children.end();) {
            if (c->second.Parent == rec.Id) {
                F->ChildByX.erase(c->second.Id);
                c = F->Children.erase(c);
            } else {
                ++c;
            }
        }
        std::erase(F->LastStack, rec.Id);
        if (rec.Shadow)
            std::erase(F->LastStack, rec.Shadow);
        if (F->Grabbed == rec.Id)
            F->Grabbed = 0;  // a grab ends with its window
    }
    F->FreeWindow(rec);
    XFlush(F->Dpy);
}

void TX11Backend::WindowChanged(HWND wnd, const RECT& oldScreenRect)
{
    HeadlessBackend().WindowChanged(wnd, oldScreenRect);
    TTopLevelInfo info;
    if (!UserTopLevelInfo(wnd, &info))
        return;
    TXWin rec;
    {
        std::lock_guard lock(F->Lock);
        auto it = F->Wins.find(wnd);
        if (it == F->Wins.end())
            return;
        rec = it->second;
    }
    ::Display* dpy = F->Dpy;
    if (rec.Argb != F->WantsArgb(info) && !rec.Mapped) {
        // Another visual needs another window; native children move over.
        TXWin fresh;
        if (!F->MakeWindow(wnd, info, fresh))
            return;
        std::lock_guard lock(F->Lock);
        for (auto& [control, child] : F->Children) {
            if (child.Parent == rec.Id) {
                XReparentWindow(dpy, child.Id, fresh.Id, child.Rect.left, child.Rect.top);
                child.Parent = fresh.Id;
            }
        }
        F->ByX.erase(rec.Id);
        F->FreeWindow(rec);
        rec = fresh;
        F->ByX[rec.Id] = wnd;
        F->Wins[wnd] = rec;
    }

    const RECT& r = info.ScreenRect;
    if (!SameRect(r, rec.Rect)) {
        rec.Rect = r;
        rec.ConfigureSerial = NextRequest(dpy);
        XMoveResizeWindow(dpy, rec.Id, r.left, r.top, Clamp16(r.right - r.left), Clamp16(r.bottom - r.top));
    }
    F->UpdateShape(wnd, rec, info);
    F->UpdateOpacity(rec, info);
    F->UpdateTitle(wnd, rec);

    bool shown = info.Visible && (!info.Layered || info.LayeredAttributes || info.LayeredPicture);
    bool iconic = IsIconic(wnd) != FALSE_;
    bool putAll = false;
    if (shown && !rec.Mapped) {
        bool over = F->WantsOverride(wnd);
        if (over != rec.Override) {
            XSetWindowAttributes a{};
            a.override_redirect = over ? True : False;
            XChangeWindowAttributes(dpy, rec.Id, CWOverrideRedirect, &a);
            rec.Override = over;
        }
        XSizeHints hints{};
        hints.flags = USPosition | USSize | PPosition | PSize;
        hints.x = r.left;
        hints.y = r.top;
        hints.width = static_cast<int>(Clamp16(r.right - r.left));
        hints.height = static_cast<int>(Clamp16(r.bottom - r.top));
        XSetWMNormalHints(dpy, rec.Id, &hints);
        if (info.Topmost && !rec.Override)
            XChangeProperty(dpy, rec.Id, F->NetWmState, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<unsigned char*>(&F->StateAbove), 1);
        else
            XDeleteProperty(dpy, rec.Id, F->NetWmState);
        XMapWindow(dpy, rec.Id);
        rec.Mapped = true;
        rec.Iconic = false;
        putAll = true;
    } else if (!shown && rec.Mapped) {
        XUnmapWindow(dpy, rec.Id);
        if (!rec.Override) {
            // A managed window is withdrawn through the root as well.
            XWithdrawWindow(dpy, rec.Id, F->Screen);
        }
        rec.Mapped = false;
    }
    if (rec.Mapped && !rec.Override && iconic != rec.Iconic) {
        if (iconic)
            XIconifyWindow(dpy, rec.Id, F->Screen);
        else
            XMapRaised(dpy, rec.Id);
        rec.Iconic = iconic;
    }
    F->UpdateShadow(wnd, rec);
    {
        std::lock_guard lock(F->Lock);
        auto it = F->Wins.find(wnd);
        if (it != F->Wins.end() && it->second.Id == rec.Id)
            it->second = rec;
    }
    F->Restack();
    if (putAll && info.Surface) {
        RECT all{0, 0, r.right - r.left, r.bottom - r.top};
        F->PutSurface(rec, info, all);
    }
    UpdateNativeChildren(wnd);
    XFlush(dpy);
}

void TX11Backend::TState::Restack()
{
    // Our mapped windows in the window system's z-order, front first.
    std::vector<HWND> order(static_cast<size_t>(std::max(0, UserTopLevelWindows(nullptr, 0))));
    int n = UserTopLevelWindows(order.data(), static_cast<int>(order.size()));
    order.resize(static_cast<size_t>(std::min<int>(n, static_cast<int>(order.size()))));
    std::vector<Window> stack;
    {
        std::lock_guard lock(this->Lock);
        for (HWND h : order) {
            auto it = Wins.find(h);
            if (it != Wins.end() && it->second.Mapped) {
                stack.push_back(it->second.Id);
                if (it->second.ShadowMapped)
                    stack.push_back(it->second.Shadow);  // right below its window
            }
        }
        if (stack == LastStack)
            return;
        LastStack = stack;
    }
    if (stack.size() > 1)
        XRestackWindows(Dpy, stack.data(), static_cast<int>(stack.size()));
    else if (stack.size() == 1)
        XRaiseWindow(Dpy, stack[0]);
}

void TX11Backend::TState::UpdateTitle(HWND wnd, TXWin& rec)
{
    std::string title = GetWindowTextString(wnd);
    if (rec.TitleSet && title == rec.Title)
        return;
    rec.Title = title;
    rec.TitleSet = true;
    XChangeProperty(Dpy, rec.Id, NetWmName, Utf8String, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title.data()), static_cast<int>(title.size()));
    // WM_NAME is Latin-1: other characters show as '?'.
    std::string latin;
    for (unsigned char c : title)
        if (c < 0x80)
            latin += static_cast<char>(c);
        else if ((c & 0xC0) != 0x80)
            latin += '?';
    XChangeProperty(Dpy, rec.Id, XA_WM_NAME, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(latin.data()), static_cast<int>(latin.size()));
}

void TX11Backend::TState::UpdateOpacity(TXWin& rec, const TTopLevelInfo& info)
{
    long want = -1;
    if (info.Layered && info.Alpha < 255 && !rec.Argb)
        want = static_cast<long>(static_cast<unsigned long long>(info.Alpha) * 0xFFFFFFFFull / 255);
    if (want == rec.Opacity)
        return;
    rec.Opacity = want;
    if (want < 0) {
        XDeleteProperty(Dpy, rec.Id, NetWmOpacity);
    } else {
        long v = want;
        XChangeProperty(Dpy, rec.Id, NetWmOpacity, XA_CARDINAL, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&v), 1);
    }
}

void TX11Backend::TState::UpdateShape(HWND wnd, TXWin& rec, const TTopLevelInfo& info)
{
    if (!ShapeExt)
        return;
    // A click-through window takes no input at all: an empty input shape
    // lets the server hand clicks to what lies below.
    if (info.ClickThrough != rec.NoInput) {
        if (info.ClickThrough)
            XShapeCombineRectangles(Dpy, rec.Id, ShapeInput, 0, 0, nullptr, 0, ShapeSet, YXBanded);
        else
            XShapeCombineMask(Dpy, rec.Id, ShapeInput, 0, 0, None, ShapeSet);
        rec.NoInput = info.ClickThrough;
    }
    // Cut by pixels where the server cannot blend: layered pictures with
    // per-pixel alpha without an ARGB window, and colour keys.
    bool byPixels = info.Layered && ((info.LayeredPicture && info.PerPixelAlpha && !rec.Argb) || info.ColorKeyed);
    std::vector<XRectangle> rects;
    bool want = info.HasRegion || byPixels;
    TGdiBitmap* surf = byPixels && info.Surface ? BitmapFromHandle(info.Surface) : nullptr;
    if (byPixels && surf && surf->Layout.BitCount == 32) {
        const TPixelLayout& L = surf->Layout;
        bool perPixel = info.LayeredPicture && info.PerPixelAlpha && !rec.Argb;
        DWORD key = info.ColorKeyed ? ((GetRValue(info.ColorKey) << 16) | (GetGValue(info.ColorKey) << 8) | GetBValue(info.ColorKey)) : 0;
        std::vector<XRectangle> prevRow, row;
        size_t bandStart = 0;
        for (LONG y = 0; y < L.Height; ++y) {
            row.clear();
            auto* px = reinterpret_cast<const DWORD*>(L.Row(y));
            LONG x = 0;
            while (x < L.Width) {
                auto kept = [&](DWORD p) {
                    if (perPixel && (p >> 24) == 0)
                        return false;
                    if (info.ColorKeyed && (p & 0xFFFFFF) == key)
                        return false;
                    return true;
                };
                while (x < L.Width && !kept(px[x]))
                    ++x;
                LONG start = x;
                while (x < L.Width && kept(px[x]))
                    ++x;
                if (x > start)
                    row.push_back(XRectangle{static_cast<short>(start), static_cast<short>(y),
                                             static_cast<unsigned short>(x - start), 1});
            }
            // Rows like the one above extend its band.
            bool same = row.size() == prevRow.size() && !row.empty() &&
                        std::equal(row.begin(), row.end(), prevRow.begin(),
                                   [](const XRectangle& a, const XRectangle& b) { return a.x == b.x && a.width == b.width; });
            if (same) {
                for (size_t i = bandStart; i < rects.size(); ++i)
                    ++rects[i].height;
            } else {
                bandStart = rects.size();
                rects.insert(rects.end(), row.begin(), row.end());
            }
            prevRow.swap(row);
        }
    }
    std::vector<XRectangle> region;
    if (info.HasRegion) {
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        if (UserWindowRegion(wnd, rgn))
            if (TRegion* r = RegionFromHandle(rgn))
                for (const RECT& q : r->Rects())
                    region.push_back(XRectangle{static_cast<short>(q.left), static_cast<short>(q.top),
                                                static_cast<unsigned short>(q.right - q.left),
                                                static_cast<unsigned short>(q.bottom - q.top)});
        DeleteObject(rgn);
    }
    // The remembered shape is the pixel cut followed by the region.
    std::vector<XRectangle> all = rects;
    all.push_back(XRectangle{-1, -1, 0, 0});
    all.insert(all.end(), region.begin(), region.end());
    if (!want) {
        if (rec.Shaped) {
            XShapeCombineMask(Dpy, rec.Id, ShapeBounding, 0, 0, None, ShapeSet);
            rec.Shaped = false;
            rec.Shape.clear();
        }
        return;
    }
    if (rec.Shaped && SameShape(all, rec.Shape))
        return;
    if (byPixels) {
        XShapeCombineRectangles(Dpy, rec.Id, ShapeBounding, 0, 0, rects.data(), static_cast<int>(rects.size()), ShapeSet,
                                YXBanded);
        if (info.HasRegion)
            XShapeCombineRectangles(Dpy, rec.Id, ShapeBounding, 0, 0, region.data(), static_cast<int>(region.size()),
                                    ShapeIntersect, YXBanded);
    } else {
        XShapeCombineRectangles(Dpy, rec.Id, ShapeBounding, 0, 0, region.data(), static_cast<int>(region.size()),
                                ShapeSet, YXBanded);
    }
    rec.Shaped = true;
    rec.Shape = std::move(all);
}

std::shared_ptr<TShmImage> TX11Backend::TState::MakeShm(const TXWin& rec, int w, int h)
{
    if (w <= 0 || h <= 0 || !ShmOk)
        return nullptr;
    auto s = std::make_shared<TShmImage>();
    s->Dpy = Dpy;
    s->Img = XShmCreateImage(Dpy, rec.Vis, static_cast<unsigned>(rec.Depth), ZPixmap, nullptr, &s->Info,
                             static_cast<unsigned>(w), static_cast<unsigned>(h));
    if (!s->Img || s->Img->bits_per_pixel != 32)
        return nullptr;
    s->Info.shmid = shmget(IPC_PRIVATE, static_cast<std::size_t>(s->Img->bytes_per_line) * static_cast<std::size_t>(h),
                           IPC_CREAT | 0600);
    if (s->Info.shmid < 0)
        return nullptr;
    s->Info.shmaddr = static_cast<char*>(shmat(s->Info.shmid, nullptr, 0));
    if (s->Info.shmaddr == reinterpret_cast<char*>(-1)) {
        shmctl(s->Info.shmid, IPC_RMID, nullptr);
        return nullptr;
    }
    s->Img->data = s->Info.shmaddr;
    s->Info.readOnly = False;
    // A server on another machine refuses the segment with an X error,
    // which arrives after a round trip.
    int errors = X11ErrorCount();
    XShmAttach(Dpy, &s->Info);
    XSync(Dpy, False);
    shmctl(s->Info.shmid, IPC_RMID, nullptr);  // goes once both sides let go
    if (X11ErrorCount() != errors) {
        ShmOk = false;
        return nullptr;
    }
    s->Attached = true;
    return s;
}

// ---------------------------------------------------------------------------
// Monitors and the work area

namespace {

// The libraries of the RandR and Xinerama extensions are loaded when
// present (their development files need not be installed); the records are
// those of their public interfaces.
struct TRandRMonitor {
    Atom Name;
    Bool Primary;
    Bool Automatic;
    int Outputs;
    int X, Y, Width, Height;
    int MmWidth, MmHeight;
    unsigned long* OutputList;
};
struct TXineramaScreen {
    int Number;
    short X, Y, Width, Height;
};

void* ExtensionSymbol(const char* library, const char* name)
{
    HMODULE m = LoadLibrary(library);  // kept for the life of the program
    return m ? GetProcAddress(m, name) : nullptr;
}

} // namespace

std::vector<TMonitorArea> TX11Backend::TState::QueryMonitors()
{
    std::vector<TMonitorArea> out;
    using TRRQuery = Bool (*)(::Display*, int*, int*);
    using TRRGet = TRandRMonitor* (*)(::Display*, Window, Bool, int*);
    using TRRFree = void (*)(TRandRMonitor*);
    auto rrQuery = reinterpret_cast<TRRQuery>(ExtensionSymbol("libXrandr.so.2", "XRRQueryExtension"));
    auto rrGet = reinterpret_cast<TRRGet>(ExtensionSymbol("libXrandr.so.2", "XRRGetMonitors"));
    auto rrFree = reinterpret_cast<TRRFree>(ExtensionSymbol("libXrandr.so.2", "XRRFreeMonitors"));
    int ev = 0, err = 0;
    if (rrQuery && rrGet && rrFree && rrQuery(Dpy, &ev, &err)) {
        int n = 0;
        if (TRandRMonitor* m = rrGet(Dpy, Root, True, &n)) {
            for (int i = 0; i < n; ++i) {
                if (m[i].Width <= 0 || m[i].Height <= 0)
                    continue;
                RECT r{m[i].X, m[i].Y, m[i].X + m[i].Width, m[i].Y + m[i].Height};
                if (m[i].Primary)
                    out.insert(out.begin(), TMonitorArea{r, r});
                else
                    out.push_back(TMonitorArea{r, r});
            }
            rrFree(m);
        }
    }
    if (out.empty()) {
        using TXinActive = Bool (*)(::Display*);
        using TXinQuery = TXineramaScreen* (*)(::Display*, int*);
        auto active = reinterpret_cast<TXinActive>(ExtensionSymbol("libXinerama.so.1", "XineramaIsActive"));
        auto query = reinterpret_cast<TXinQuery>(ExtensionSymbol("libXinerama.so.1", "XineramaQueryScreens"));
        if (active && query && active(Dpy)) {
            int n = 0;
            if (TXineramaScreen* sc = query(Dpy, &n)) {
                for (int i = 0; i < n; ++i)
                    if (sc[i].Width > 0 && sc[i].Height > 0) {
                        RECT r{sc[i].X, sc[i].Y, sc[i].X + sc[i].Width, sc[i].Y + sc[i].Height};
                        out.push_back(TMonitorArea{r, r});
                    }
                XFree(sc);
            }
        }
    }
    if (out.empty()) {
        RECT r{0, 0, DisplayWidth(Dpy, Screen), DisplayHeight(Dpy, Screen)};
        out.push_back(TMonitorArea{r, r});
    }
    // The window manager's work area of the current desktop, cut to each monitor.
    auto cardinals = [&](Atom prop, std::vector<long>& values) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        values.clear();
        if (XGetWindowProperty(Dpy, Root, prop, 0, 1024, False, XA_CARDINAL, &type, &format, &count, &after, &data) ==
                Success &&
            data && type == XA_CARDINAL && format == 32)
            values.assign(reinterpret_cast<long*>(data), reinterpret_cast<long*>(data) + count);
        if (data)
            XFree(data);
    };
    std::vector<long> desk, area;
    cardinals(NetCurrentDesktop, desk);
    cardinals(NetWorkArea, area);
    std::size_t d = desk.empty() ? 0 : static_cast<std::size_t>(std::max(0L, desk[0]));
    if (area.size() >= 4 * (d + 1) || area.size() >= 4) {
        if (area.size() < 4 * (d + 1))
            d = 0;
        const long* a = &area[4 * d];
        RECT work{static_cast<LONG>(a[0]), static_cast<LONG>(a[1]), static_cast<LONG>(a[0] + a[2]),
                  static_cast<LONG>(a[1] + a[3])};
        for (TMonitorArea& m : out) {
            RECT cut{std::max(m.Monitor.left, work.left), std::max(m.Monitor.top, work.top),
                     std::min(m.Monitor.right, work.right), std::min(m.Monitor.bottom, work.bottom)};
            if (cut.right > cut.left && cut.bottom > cut.top)
                m.Work = cut;
        }
    }
    return out;
}

bool TX11Backend::Monitors(std::vector<TMonitorArea>& out)
{
    std::lock_guard lock(F->MonitorLock);
    if (F->MonitorsDirty.exchange(false))
        F->MonitorCache = F->QueryMonitors();
    out = F->MonitorCache;
    return !out.empty();
}

bool TX11Backend::SharedMemory() const
{
    return F->ShmOk;
}

void TX11Backend::TState::PutSurface(const TXWin& rec, const TTopLevelInfo& info, RECT r)
{
    TGdiBitmap* surf = info.Surface ? BitmapFromHandle(info.Surface) : nullptr;
    if (!surf || !rec.Id)
        return;
    const TPixelLayout& L = surf->Layout;
    r.left = std::max<LONG>(r.left, 0);
    r.top = std::max<LONG>(r.top, 0);
    r.right = std::min<LONG>(r.right, L.Width);
    r.bottom = std::min<LONG>(r.bottom, L.Height);
    if (r.right <= r.left || r.bottom <= r.top)
        return;
    unsigned w = static_cast<unsigned>(r.right - r.left), h = static_cast<unsigned>(r.bottom - r.top);
    GC gc = rec.Gc ? rec.Gc : RootGc;

    if (!rec.Argb && Plain32 && L.IsPlain32() && !L.BottomUp && rec.Shm && rec.Shm->Img &&
        rec.Shm->Img->width == L.Width && rec.Shm->Img->height == L.Height) {
        // Through shared memory: the rows of the rectangle are copied, and the
        // server is done reading before the next copy may overwrite them.
        XImage* img = rec.Shm->Img;
        for (LONG y = r.top; y < r.bottom; ++y)
            std::memcpy(img->data + static_cast<std::size_t>(y) * static_cast<std::size_t>(img->bytes_per_line) +
                            static_cast<std::size_t>(r.left) * 4,
                        L.Bits + static_cast<std::size_t>(y) * static_cast<std::size_t>(L.Stride) +
                            static_cast<std::size_t>(r.left) * 4,
                        static_cast<std::size_t>(w) * 4);
        XShmPutImage(Dpy, rec.Id, gc, img, r.left, r.top, r.left, r.top, w, h, False);
        XSync(Dpy, False);
        return;
    }
    if (!rec.Argb && Plain32 && L.IsPlain32() && !L.BottomUp) {
        // Straight from the surface's memory.
        XImage* img = XCreateImage(Dpy, rec.Vis, static_cast<unsigned>(rec.Depth), ZPixmap, 0,
                                   reinterpret_cast<char*>(L.Bits), static_cast<unsigned>(L.Width),
                                   static_cast<unsigned>(L.Height), 32, static_cast<int>(L.Stride));
        if (!img)
            return;
        img->byte_order = LSBFirst;
        XPutImage(Dpy, rec.Id, gc, img, r.left, r.top, r.left, r.top, w, h);
        img->data = nullptr;
        XDestroyImage(img);
        return;
    }

    // Converted through a buffer of the rectangle's size.
    XImage* img = XCreateImage(Dpy, rec.Vis, static_cast<unsigned>(rec.Depth), ZPixmap, 0, nullptr, w, h, 32, 0);
    if (!img)
        return;
    img->data = static_cast<char*>(std::malloc(static_cast<size_t>(img->bytes_per_line) * h));
    if (!img->data) {
        XDestroyImage(img);
        return;
    }
    std::vector<DWORD> row(w);
    bool argb = rec.Argb;
    unsigned constant = info.Alpha;
    DWORD key = info.ColorKeyed ? ((GetRValue(info.ColorKey) << 16) | (GetGValue(info.ColorKey) << 8) | GetBValue(info.ColorKey)) : 0;
    Visual* v = rec.Vis;
    auto shiftOf = [](unsigned long m) { int s = 0; while (m && !(m & 1)) { m >>= 1; ++s; } return s; };
    auto bitsOf = [](unsigned long m) { int n = 0; while (m) { n += m & 1; m >>= 1; } return n; };
    int rs = shiftOf(v->red_mask), gs = shiftOf(v->green_mask), bs = shiftOf(v->blue_mask);
    int rb = bitsOf(v->red_mask), gb = bitsOf(v->green_mask), bb = bitsOf(v->blue_mask);
    for (unsigned y = 0; y < h; ++y) {
        ReadPixels(L, r.top + static_cast<LONG>(y), r.left, static_cast<LONG>(w), row.data());
        for (unsigned x = 0; x < w; ++x) {
            DWORD p = row[x];
            if (argb) {
                // Premultiplied, scaled by the constant alpha; keyed pixels vanish.
                if (info.ColorKeyed && (p & 0xFFFFFF) == key)
                    p = 0;
                else if (constant < 255) {
                    auto sc = [&](int s) { return ((((p >> s) & 0xFF) * constant + 127) / 255) << s; };
                    p = sc(24) | sc(16) | sc(8) | sc(0);
                }
                XPutPixel(img, static_cast<int>(x), static_cast<int>(y), p);
            } else {
                unsigned long red = (p >> 16) & 0xFF, green = (p >> 8) & 0xFF, blue = p & 0xFF;
                unsigned long pixel = ((red >> (8 - std::min(rb, 8))) << rs) | ((green >> (8 - std::min(gb, 8))) << gs) |
                                      ((blue >> (8 - std::min(bb, 8))) << bs);
                XPutPixel(img, static_cast<int>(x), static_cast<int>(y), pixel);
            }
        }
    }
    XPutImage(Dpy, rec.Id, gc, img, 0, 0, r.left, r.top, w, h);
    XDestroyImage(img);
}

void TX11Backend::Present(HWND wnd, const RECT& surfaceRect)
{
    HeadlessBackend().Present(wnd, surfaceRect);
    TXWin rec;
    {
        std::lock_guard lock(F->Lock);
        auto it = F->Wins.find(wnd);
        if (it == F->Wins.end() || !it->second.Mapped)
            return;
        rec = it->second;
    }
    TTopLevelInfo info;
    if (!UserTopLevelInfo(wnd, &info))
        return;
    if (F->ShmOk && !rec.Argb && F->Plain32 && info.Surface) {
        TGdiBitmap* surf = BitmapFromHandle(info.Surface);
        LONG sw = surf ? surf->Layout.Width : 0, sh = surf ? surf->Layout.Height : 0;
        if (surf && (!rec.Shm || !rec.Shm->Img || rec.Shm->Img->width != sw || rec.Shm->Img->height != sh)) {
            rec.Shm = F->MakeShm(rec, sw, sh);
            std::lock_guard lock(F->Lock);
            if (auto it = F->Wins.find(wnd); it != F->Wins.end() && it->second.Id == rec.Id)
                it->second.Shm = rec.Shm;
        }
    }
    F->PutSurface(rec, info, surfaceRect);
    {
        // Pixels decide the shape of layered windows; the caption's text may
        // have changed with its painting.
        if (info.Layered)
            F->UpdateShape(wnd, rec, info);
        F->UpdateTitle(wnd, rec);
        std::lock_guard lock(F->Lock);
        auto it = F->Wins.find(wnd);
        if (it != F->Wins.end() && it->second.Id == rec.Id)
            it->second = rec;
    }
    UpdateNativeChildren(wnd);
    XFlush(F->Dpy);
}

// ---------------------------------------------------------------------------
// Native child windows

XWindowId TX11Backend::NativeChildWindow(HWND control)
{
    if (!IsWindow(control))
        return 0;
    HWND top = GetAncestor(control, GA_ROOT);
    if (!top)
        top = control;
    RECT cr{}, tr{};
    GetWindowRect(control, &cr);
    GetWindowRect(top, &tr);
    bool visible = IsWindowVisible(control) != FALSE_;
    Window parent = 0;
    {
        std::lock_guard lock(F->Lock);
        auto c = F->Children.find(control);
        if (c != F->Children.end())
            return c->second.Id;
        auto it = F->Wins.find(top);
        if (it == F->Wins.end() || !it->second.Id)
            return 0;
        parent = it->second.Id;
    }
    TNativeChild child;
    child.Top = top;
    child.Parent = parent;
    child.Rect = RECT{cr.left - tr.left, cr.top - tr.top, cr.right - tr.left, cr.bottom - tr.top};
    XSetWindowAttributes a{};
    a.background_pixel = BlackPixel(F->Dpy, F->Screen);
    a.event_mask = ExposureMask;
    child.Id = XCreateWindow(F->Dpy, parent, child.Rect.left, child.Rect.top, Clamp16(cr.right - cr.left),
                             Clamp16(cr.bottom - cr.top), 0, CopyFromParent, InputOutput, CopyFromParent,
                             CWBackPixel | CWEventMask, &a);
    if (!child.Id)
        return 0;
    if (visible)
        XMapWindow(F->Dpy, child.Id);
    child.Mapped = visible;
    {
        std::lock_guard lock(F->Lock);
        F->Children[control] = child;
        F->ChildByX[child.Id] = control;
    }
    // Another connection (the player's) may use the window at once.
    XSync(F->Dpy, False);
    return child.Id;
}

void TX11Backend::DestroyNativeChild(HWND control)
{
    Window id = 0;
    {
        std::lock_guard lock(F->Lock);
        auto c = F->Children.find(control);
        if (c == F->Children.end())
            return;
        id = c->second.Id;
        F->ChildByX.erase(id);
        F->Children.erase(c);
    }
    XDestroyWindow(F->Dpy, id);
    XFlush(F->Dpy);
}

void TX11Backend::UpdateNativeChildren(HWND top)
{
    std::vector<std::pair<HWND, TNativeChild>> mine;
    {
        std::lock_guard lock(F->Lock);
        if (F->Children.empty())
            return;
        for (auto& [control, child] : F->Children)
            if (child.Top == top)
                mine.emplace_back(control, child);
    }
    for (auto& [control, child] : mine) {
        if (!IsWindow(control)) {
            DestroyNativeChild(control);
            continue;
        }
        HWND nowTop = GetAncestor(control, GA_ROOT);
        if (!nowTop)
            nowTop = control;
        RECT cr{}, tr{};
        GetWindowRect(control, &cr);
        GetWindowRect(nowTop, &tr);
        RECT rel{cr.left - tr.left, cr.top - tr.top, cr.right - tr.left, cr.bottom - tr.top};
        bool visible = IsWindowVisible(control) != FALSE_ && cr.right > cr.left && cr.bottom > cr.top;
        TNativeChild next = child;
        if (nowTop != child.Top) {
            Window parent = XWindowOf(nowTop);
            if (!parent) {
                DestroyNativeChild(control);
                continue;
            }
            XReparentWindow(F->Dpy, child.Id, parent, rel.left, rel.top);
            next.Top = nowTop;
            next.Parent = parent;
            next.Rect = rel;
            XResizeWindow(F->Dpy, child.Id, Clamp16(rel.right - rel.left), Clamp16(rel.bottom - rel.top));
            next.Mapped = false;
        } else if (!SameRect(rel, child.Rect)) {
            XMoveResizeWindow(F->Dpy, child.Id, rel.left, rel.top, Clamp16(rel.right - rel.left), Clamp16(rel.bottom - rel.top));
            next.Rect = rel;
        }
        if (visible != next.Mapped) {
            if (visible)
                XMapWindow(F->Dpy, child.Id);
            else
                XUnmapWindow(F->Dpy, child.Id);
            next.Mapped = visible;
        }
        std::lock_guard lock(F->Lock);
        auto it = F->Children.find(control);
        if (it != F->Children.end() && it->second.Id == child.Id)
            it->second = next;
    }
}

// ---------------------------------------------------------------------------
// Events

void TX11Backend::TState::ReaderLoop()
{
    // Xlib asserts when one thread waits for events inside it while another
    // waits for a reply that brings an error, so nobody blocks in Xlib: this
    // thread sleeps in poll() and reads only what is there. Events that a
    // reply wait of another thread took into Xlib's queue are read by the
    // next PumpEvents or, at the latest, after the poll's timeout.
    pollfd fds[2] = {{ConnectionNumber(Dpy), POLLIN, 0}, {WakePipe[0], POLLIN, 0}};
    while (!Stopping) {
        fds[0].revents = fds[1].revents = 0;
        int n = poll(fds, 2, 100);
        if (Stopping)
            return;
        if (n < 0 && errno != EINTR)
            return;
        if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL))
            return;
        Drain();
    }
}

void TX11Backend::TState::Drain()
{
    std::lock_guard order(DrainLock);
    DrainLocked();
}

void TX11Backend::TState::DrainLocked()
{
    Events.clear();
    XLockDisplay(Dpy);
    while (XPending(Dpy) > 0) {
        XEvent ev;
        XNextEvent(Dpy, &ev);
        Events.push_back(ev);
    }
    XUnlockDisplay(Dpy);
    bool pending = false;
    for (size_t i = 0; i < Events.size(); ++i) {
        const XEvent& ev = Events[i];
        // Of a run of pointer motions over one window only the last counts.
        if (ev.type == MotionNotify && i + 1 < Events.size() && Events[i + 1].type == MotionNotify &&
            Events[i + 1].xmotion.window == ev.xmotion.window && Events[i + 1].xmotion.state == ev.xmotion.state)
            continue;
        pending |= Dispatch(ev);
    }
    if (pending)
        WakeAllQueues();
}

bool TX11Backend::TState::Dispatch(const XEvent& ev)
{
    if (Tray && Tray->Filter(ev))
        return true;
    if (ev.xany.window == Root) {
        // A grabbed hot key, pressed while any program had the keyboard.
        if (ev.type == KeyPress) {
            XKeyEvent key = ev.xkey;
            const WORD vk = X11KeysymToVk(XLookupKeysym(&key, 0));
            if (vk) {
                TInputEvent e;
                e.Kind = TInputKind::HotKey;
                e.Vk = vk;
                e.Modifiers = ((key.state & ControlMask) ? MOD_CONTROL : 0) | ((key.state & Mod1Mask) ? MOD_ALT : 0) |
                              ((key.state & ShiftMask) ? MOD_SHIFT : 0) | ((key.state & Mod4Mask) ? MOD_WIN : 0);
                UserPostInput(e);
                return true;
            }
            return false;
        }
        if ((ev.type == PropertyNotify &&
             (ev.xproperty.atom == NetWorkArea || ev.xproperty.atom == NetCurrentDesktop)) ||
            ev.type == ConfigureNotify)
            MonitorsDirty = true;
        return false;
    }
    switch (ev.type) {
    case ButtonPress:
    case ButtonRelease:
    case MotionNotify:
    case EnterNotify:
    case LeaveNotify:
    case KeyPress:
    case KeyRelease: {
        bool ours;
        {
            std::lock_guard lock(this->Lock);
            ours = ByX.count(ev.xany.window) || ChildByX.count(ev.xany.window);
        }
        if (ours)
            HandleInput(ev);
        return false;
    }
    case Expose:
    case ConfigureNotify:
    case ClientMessage:
    case SelectionNotify:  // the requestor sits where xany.window does
    case FocusIn: {
        TPendingEvent p;
        p.Ev = ev;
        Window w = ev.type == ConfigureNotify ? ev.xconfigure.window : ev.xany.window;
        std::lock_guard lock(this->Lock);
        if (auto it = ByX.find(w); it != ByX.end()) {
            p.Wnd = it->second;
        } else if (auto c = ChildByX.find(w); c != ChildByX.end() && ev.type == Expose) {
            p.Wnd = c->second;
            p.Child = true;
        }
        if (!p.Wnd)
            return false;
        Pending.push_back(p);
        ++PendingCount;
        return true;
    }
    default:
        return false;
    }
}

void TX11Backend::TState::HandleInput(const XEvent& ev)
{
    TInputEvent e;
    switch (ev.type) {
    case ButtonPress:
    case ButtonRelease: {
        e.Pt = POINT{ev.xbutton.x_root, ev.xbutton.y_root};
        unsigned b = ev.xbutton.button;
        if (b == 4 || b == 5) {
            // Wheel notches come as presses of buttons 4 (away) and 5.
            if (ev.type != ButtonPress)
                return;
            e.Kind = TInputKind::Wheel;
            e.WheelDelta = b == 4 ? WHEEL_DELTA : -WHEEL_DELTA;
            break;
        }
        if (b < 1 || b > 3)
            return;
        e.Kind = ev.type == ButtonPress ? TInputKind::ButtonDown : TInputKind::ButtonUp;
        e.Button = b == 1 ? TMouseButton::Left : b == 2 ? TMouseButton::Middle : TMouseButton::Right;
        // The pointer is where the button went down.
        TInputEvent move;
        move.Kind = TInputKind::MouseMove;
        move.Pt = e.Pt;
        POINT now{};
        GetCursorPos(&now);
        if (now.x != move.Pt.x || now.y != move.Pt.y)
            UserPostInput(move);
        break;
    }
    case MotionNotify:
        e.Kind = TInputKind::MouseMove;
        e.Pt = POINT{ev.xmotion.x_root, ev.xmotion.y_root};
        break;
    case EnterNotify:
    case LeaveNotify:
        if (ev.xcrossing.mode != NotifyNormal || ev.xcrossing.detail == NotifyInferior)
            return;
        e.Kind = TInputKind::MouseMove;
        e.Pt = POINT{ev.xcrossing.x_root, ev.xcrossing.y_root};
        break;
    case KeyPress:
    case KeyRelease: {
        XKeyEvent key = ev.xkey;
        KeySym plain = XLookupKeysym(&key, 0);
        char buf[16];
        KeySym shifted = NoSymbol;
        XLookupString(&key, buf, sizeof buf, &shifted, nullptr);
        // The keypad follows Num Lock, which only the shifted symbol knows.
        KeySym ks = (plain >= 0xFF80 && plain <= 0xFFBD) ? shifted : plain;
        WORD vk = X11KeysymToVk(ks);
        if (!vk)
            vk = X11KeysymToVk(shifted);
        if (vk) {
            e.Kind = ev.type == KeyPress ? TInputKind::KeyDown : TInputKind::KeyUp;
            e.Vk = vk;
            break;
        }
        // A key without a virtual key types its character.
        char32_t ch = X11KeysymToChar(shifted != NoSymbol ? shifted : plain);
        if (!ch || ev.type != KeyPress)
            return;
        e.Kind = TInputKind::Char;
        e.Char = ch;
        break;
    }
    default:
        return;
    }
    UserPostInput(e);
}

void TX11Backend::TState::FollowCapture()
{
    // A menu or drop-down holding the mouse capture grabs the pointer, so
    // that a click outside every window of ours still reaches it (and
    // closes it) instead of going to another program.
    HWND cap = GetCapture();
    HWND top = cap ? GetAncestor(cap, GA_ROOT) : nullptr;
    Window want = 0;
    {
        std::lock_guard lock(this->Lock);
        if (top) {
            auto it = Wins.find(top);
            if (it != Wins.end() && it->second.Override && it->second.Mapped)
                want = it->second.Id;
        }
        if (want == Grabbed)
            return;
    }
    if (Grabbed)
        XUngrabPointer(Dpy, CurrentTime);
    Window got = 0;
    if (want) {
        unsigned mask = ButtonPressMask | ButtonReleaseMask | PointerMotionMask | EnterWindowMask | LeaveWindowMask;
        if (XGrabPointer(Dpy, want, True, mask, GrabModeAsync, GrabModeAsync, None, None, CurrentTime) == GrabSuccess)
            got = want;
    }
    std::lock_guard lock(this->Lock);
    Grabbed = got;
}

void TX11Backend::PumpEvents()
{
    // What waits in the connection first (unless the event thread is at it:
    // it wakes the queues when done).
    if (F->DrainLock.try_lock()) {
        F->DrainLocked();
        F->DrainLock.unlock();
    }
    if (IsMainThread()) {
        F->FollowCapture();
        F->Tray->Pump();
    }
    if (F->PendingCount.load() == 0)
        return;
    std::deque<TPendingEvent> taken;
    {
        std::lock_guard lock(F->Lock);
        taken.swap(F->Pending);
        F->PendingCount = 0;
    }
    DWORD me = GetCurrentThreadId();
    std::deque<TPendingEvent> others;
    for (TPendingEvent& p : taken) {
        if (!IsWindow(p.Wnd))
            continue;
        if (GetWindowThreadProcessId(p.Wnd, nullptr) != me) {
            others.push_back(p);
            continue;
        }
        const XEvent& ev = p.Ev;
        if (p.Child) {
            if (ev.type == Expose && ev.xexpose.count == 0)
                InvalidateRect(p.Wnd, nullptr, FALSE_);
            continue;
        }
        TXWin rec;
        {
            std::lock_guard lock(F->Lock);
            auto it = F->Wins.find(p.Wnd);
            if (it == F->Wins.end())
                continue;
            rec = it->second;
        }
        switch (ev.type) {
        case Expose: {
            TTopLevelInfo info;
            if (rec.Mapped && UserTopLevelInfo(p.Wnd, &info)) {
                RECT r{ev.xexpose.x, ev.xexpose.y, ev.xexpose.x + ev.xexpose.width, ev.xexpose.y + ev.xexpose.height};
                F->PutSurface(rec, info, r);
            }
            break;
        }
        case ConfigureNotify: {
            // Only the window manager moves and sizes managed windows; an
            // event older than our last request is superseded by it.
            if (rec.Override || ev.xconfigure.serial < rec.ConfigureSerial || ev.xconfigure.window != rec.Id)
                break;
            int x = ev.xconfigure.x, y = ev.xconfigure.y;
            if (!ev.xconfigure.send_event) {
                Window childWin = 0;
                XTranslateCoordinates(F->Dpy, rec.Id, F->Root, 0, 0, &x, &y, &childWin);
            }
            RECT now{x, y, x + ev.xconfigure.width, y + ev.xconfigure.height};
            if (SameRect(now, rec.Rect))
                break;
            {
                std::lock_guard lock(F->Lock);
                auto it = F->Wins.find(p.Wnd);
                if (it != F->Wins.end())
                    it->second.Rect = now;
            }
            SetWindowPos(p.Wnd, nullptr, now.left, now.top, now.right - now.left, now.bottom - now.top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            break;
        }
        case ClientMessage:
            if (ev.xclient.message_type == F->WmProtocols &&
                static_cast<Atom>(ev.xclient.data.l[0]) == F->WmDeleteWindow)
                PostMessage(p.Wnd, WM_SYSCOMMAND, SC_CLOSE, 0);
            else
                F->HandleXdnd(rec.Id, ev.xclient);
            break;
        case SelectionNotify:
            F->FinishXdnd(rec.Id, ev.xselection);
            break;
        case FocusIn:
            if (ev.xfocus.mode == NotifyNormal && ev.xfocus.detail != NotifyPointer &&
                ev.xfocus.detail != NotifyInferior && GetForegroundWindow() != p.Wnd && IsWindowEnabled(p.Wnd))
                SetForegroundWindow(p.Wnd);
            break;
        default:
            break;
        }
    }
    if (!others.empty()) {
        std::lock_guard lock(F->Lock);
        F->PendingCount += static_cast<int>(others.size());
        F->Pending.insert(F->Pending.begin(), others.begin(), others.end());
    }
    XFlush(F->Dpy);
}

// ---------------------------------------------------------------------------
// Hot keys

namespace {

// The X key symbol of a virtual key a hot key may use; 0 for others.
KeySym HotKeySym(UINT vk)
{
    if (vk >= 'A' && vk <= 'Z')
        return XK_a + (vk - 'A');
    if (vk >= '0' && vk <= '9')
        return XK_0 + (vk - '0');
    if (vk >= VK_F1 && vk <= VK_F12)
        return XK_F1 + (vk - VK_F1);
    return 0;
}

}  // namespace

bool TX11Backend::GrabHotKey(UINT Modifiers, UINT Vk, bool Grab)
{
    ::Display* dpy = F->Dpy;
    const KeySym sym = HotKeySym(Vk);
    XLockDisplay(dpy);
    const KeyCode code = sym ? XKeysymToKeycode(dpy, sym) : 0;
    if (!code) {
        XUnlockDisplay(dpy);
        return false;
    }
    const unsigned mods = ((Modifiers & MOD_CONTROL) ? ControlMask : 0) | ((Modifiers & MOD_ALT) ? Mod1Mask : 0) |
                          ((Modifiers & MOD_SHIFT) ? ShiftMask : 0) | ((Modifiers & MOD_WIN) ? Mod4Mask : 0);
    // Num Lock (Mod2) and Caps Lock change the state the server compares.
    const unsigned locks[4] = {0, LockMask, Mod2Mask, LockMask | Mod2Mask};
    bool ok = true;
    if (Grab) {
        gGrabRefused = false;
        for (unsigned lock : locks)
            XGrabKey(dpy, code, mods | lock, F->Root, True, GrabModeAsync, GrabModeAsync);
        XSync(dpy, False);
        ok = !gGrabRefused.load();
        if (!ok)
            for (unsigned lock : locks)
                XUngrabKey(dpy, code, mods | lock, F->Root);
    } else {
        for (unsigned lock : locks)
            XUngrabKey(dpy, code, mods | lock, F->Root);
    }
    XSync(dpy, False);
    XUnlockDisplay(dpy);
    return ok;
}
