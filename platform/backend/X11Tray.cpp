#include "platform/backend/X11Tray.h"

#include "platform/user/Messages.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr long kRequestDock = 0, kBeginMessage = 1, kCancelMessage = 2;
constexpr unsigned long kXEmbedMapped = 1;
constexpr uint32_t kFaceGrey = 0xF0F0F0;  // the button face the icon is blended over without ARGB

// A channel value (0..255) placed into a TrueColor mask.
unsigned long Channel(unsigned v, unsigned long mask)
{
    if (!mask)
        return 0;
    int shift = 0;
    while (!((mask >> shift) & 1))
        ++shift;
    const unsigned long max = mask >> shift;
    return ((static_cast<unsigned long>(v) * max + 127) / 255) << shift;
}

} // namespace

TX11Tray::TX11Tray(Display* Dpy, int Screen, Window Root) : FDpy(Dpy), FScreen(Screen), FRoot(Root)
{
    char name[40];
    std::snprintf(name, sizeof name, "_NET_SYSTEM_TRAY_S%d", Screen);
    FSelection = XInternAtom(FDpy, name, False);
    FOpcode = XInternAtom(FDpy, "_NET_SYSTEM_TRAY_OPCODE", False);
    FMessageData = XInternAtom(FDpy, "_NET_SYSTEM_TRAY_MESSAGE_DATA", False);
    FXEmbedInfo = XInternAtom(FDpy, "_XEMBED_INFO", False);
    FManagerAtom = XInternAtom(FDpy, "MANAGER", False);
    FTrayVisual = XInternAtom(FDpy, "_NET_SYSTEM_TRAY_VISUAL", False);
    FNetWmName = XInternAtom(FDpy, "_NET_WM_NAME", False);
    FUtf8 = XInternAtom(FDpy, "UTF8_STRING", False);
}

TX11Tray::~TX11Tray()
{
    for (auto& [w, i] : FIcons)
        XDestroyWindow(FDpy, w);
}

Window TX11Tray::Manager()
{
    const Window owner = XGetSelectionOwner(FDpy, FSelection);
    std::lock_guard lock(FLock);
    if (owner != FManager && owner != None)
        XSelectInput(FDpy, owner, StructureNotifyMask);  // its end takes the icons with it
    FManager = owner;
    return owner;
}

Window TX11Tray::Find(HWND Wnd, UINT Id) const
{
    for (const auto& [w, i] : FIcons)
        if (i.Wnd == Wnd && i.Id == Id)
            return w;
    return 0;
}

void TX11Tray::SendOpcode(Window Icon, long Op, long A, long B, long C)
{
    const Window mgr = Manager();
    if (!mgr)
        return;
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = Op == kRequestDock ? mgr : Icon;
    ev.xclient.message_type = FOpcode;
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = CurrentTime;
    ev.xclient.data.l[1] = Op;
    ev.xclient.data.l[2] = A;
    ev.xclient.data.l[3] = B;
    ev.xclient.data.l[4] = C;
    XSendEvent(FDpy, mgr, False, NoEventMask, &ev);
}

bool TX11Tray::AddIcon(const TTrayIconState& Icon)
{
    const Window mgr = Manager();
    if (!mgr)
        return false;
    TIcon rec;
    rec.Wnd = Icon.Wnd;
    rec.Id = Icon.Id;
    rec.State = Icon;
    rec.Vis = DefaultVisual(FDpy, FScreen);
    rec.Depth = DefaultDepth(FDpy, FScreen);
    XSetWindowAttributes a{};
    unsigned long mask = CWEventMask | CWBackPixel | CWBorderPixel;
    a.event_mask = ExposureMask | StructureNotifyMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
    a.background_pixel = 0;
    a.border_pixel = 0;
    // An ARGB visual the manager offers lets the icon's alpha show.
    Atom type = 0;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(FDpy, mgr, FTrayVisual, 0, 1, False, XA_VISUALID, &type, &format, &n, &after, &data) ==
            Success &&
        data && n == 1 && format == 32) {
        XVisualInfo want{};
        want.visualid = static_cast<VisualID>(*reinterpret_cast<unsigned long*>(data));
        int count = 0;
        if (XVisualInfo* vi = XGetVisualInfo(FDpy, VisualIDMask, &want, &count)) {
            if (count > 0 && vi->depth == 32) {
                rec.Vis = vi->visual;
                rec.Depth = 32;
                a.colormap = XCreateColormap(FDpy, FRoot, vi->visual, AllocNone);
                mask |= CWColormap;
            }
            XFree(vi);
        }
    }
    if (data)
        XFree(data);
    const int size = IconSize();
    const Window w = XCreateWindow(FDpy, FRoot, 0, 0, size, size, 0, rec.Depth, InputOutput, rec.Vis, mask, &a);
    if (!w)
        return false;
    const unsigned long info[2] = {0, kXEmbedMapped};
    XChangeProperty(FDpy, w, FXEmbedInfo, FXEmbedInfo, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(info),
                    2);
    SetName(w, Icon.Tip);
    {
        std::lock_guard lock(FLock);
        FWindows.insert(w);
    }
    FIcons[w] = rec;
    SendOpcode(w, kRequestDock, static_cast<long>(w), 0, 0);
    if (!Icon.BalloonText.empty())
        SendBalloon(w, FIcons[w]);
    XFlush(FDpy);
    return true;
}

bool TX11Tray::ModifyIcon(const TTrayIconState& Icon, bool BalloonChanged)
{
    const Window w = Find(Icon.Wnd, Icon.Id);
    if (!w || !Manager())
        return false;
    TIcon& rec = FIcons[w];
    const bool tipChanged = rec.State.Tip != Icon.Tip;
    rec.State = Icon;
    if (tipChanged)
        SetName(w, Icon.Tip);
    Draw(w, rec);
    if (BalloonChanged)
        SendBalloon(w, rec);
    XFlush(FDpy);
    return true;
}

bool TX11Tray::DeleteIcon(HWND Wnd, UINT Id)
{
    const Window w = Find(Wnd, Id);
    if (!w)
        return false;
    {
        std::lock_guard lock(FLock);
        FWindows.erase(w);
    }
    FIcons.erase(w);
    XDestroyWindow(FDpy, w);  // the manager sees its embedded window go
    XFlush(FDpy);
    return true;
}

void TX11Tray::SetName(Window W, const std::string& Tip)
{
    XChangeProperty(FDpy, W, FNetWmName, FUtf8, 8, PropModeReplace, reinterpret_cast<const unsigned char*>(Tip.data()),
                    static_cast<int>(Tip.size()));
    XChangeProperty(FDpy, W, XA_WM_NAME, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(Tip.data()), static_cast<int>(Tip.size()));
}

void TX11Tray::SendBalloon(Window W, TIcon& I)
{
    if (I.BalloonId) {
        SendOpcode(W, kCancelMessage, I.BalloonId, 0, 0);
        I.BalloonId = 0;
    }
    if (I.State.BalloonText.empty())
        return;
    // The protocol carries one text: the title on its own line above it.
    const std::string text =
        I.State.BalloonTitle.empty() ? I.State.BalloonText : I.State.BalloonTitle + "\n" + I.State.BalloonText;
    I.BalloonId = FNextBalloon++;
    SendOpcode(W, kBeginMessage, 0, static_cast<long>(text.size()), I.BalloonId);
    const Window mgr = Manager();
    for (size_t at = 0; mgr && at < text.size(); at += 20) {
        XEvent ev{};
        ev.xclient.type = ClientMessage;
        ev.xclient.window = W;
        ev.xclient.message_type = FMessageData;
        ev.xclient.format = 8;
        std::memcpy(ev.xclient.data.b, text.data() + at, std::min<size_t>(20, text.size() - at));
        XSendEvent(FDpy, mgr, False, NoEventMask, &ev);
    }
}

void TX11Tray::Draw(Window W, const TIcon& I)
{
    Window root = 0;
    int x = 0, y = 0;
    unsigned w = 0, h = 0, border = 0, depth = 0;
    if (!XGetGeometry(FDpy, W, &root, &x, &y, &w, &h, &border, &depth) || w == 0 || h == 0 || w > 4096 || h > 4096)
        return;
    const int side = static_cast<int>(std::min(w, h));
    const TDibImage pic = ScaleTrayImage(I.State.Image, side);
    XImage* img = XCreateImage(FDpy, I.Vis, I.Depth, ZPixmap, 0, nullptr, w, h, 32, 0);
    if (!img)
        return;
    img->data = static_cast<char*>(std::calloc(static_cast<size_t>(img->bytes_per_line) * h, 1));
    if (!img->data) {
        XDestroyImage(img);
        return;
    }
    const bool argb = I.Depth == 32;
    const int ox = (static_cast<int>(w) - side) / 2, oy = (static_cast<int>(h) - side) / 2;
    const unsigned long amask = argb ? ~(I.Vis->red_mask | I.Vis->green_mask | I.Vis->blue_mask) & 0xFFFFFFFFul : 0;
    for (int py = 0; py < static_cast<int>(h); ++py)
        for (int px = 0; px < static_cast<int>(w); ++px) {
            unsigned b = kFaceGrey & 0xFF, g = (kFaceGrey >> 8) & 0xFF, r = (kFaceGrey >> 16) & 0xFF, a = 255;
            const int sx = px - ox, sy = py - oy;
            unsigned pa = 0;
            const uint8_t* s = nullptr;
            if (!pic.Empty() && sx >= 0 && sy >= 0 && sx < side && sy < side) {
                s = pic.Row(sy) + static_cast<size_t>(sx) * 4;
                pa = s[3];
            }
            if (argb) {  // premultiplied
                b = s ? s[0] * pa / 255 : 0;
                g = s ? s[1] * pa / 255 : 0;
                r = s ? s[2] * pa / 255 : 0;
                a = pa;
            } else if (s) {
                b = (s[0] * pa + b * (255 - pa)) / 255;
                g = (s[1] * pa + g * (255 - pa)) / 255;
                r = (s[2] * pa + r * (255 - pa)) / 255;
            }
            XPutPixel(img, px, py,
                      Channel(r, I.Vis->red_mask) | Channel(g, I.Vis->green_mask) | Channel(b, I.Vis->blue_mask) |
                          Channel(a, amask));
        }
    GC gc = XCreateGC(FDpy, W, 0, nullptr);
    XPutImage(FDpy, W, gc, img, 0, 0, 0, 0, w, h);
    XFreeGC(FDpy, gc);
    XDestroyImage(img);
}

bool TX11Tray::Filter(const XEvent& Ev)
{
    std::lock_guard lock(FLock);
    const bool ours = (Ev.type == ClientMessage && Ev.xclient.window == FRoot && Ev.xclient.message_type == FManagerAtom &&
                       static_cast<Atom>(Ev.xclient.data.l[1]) == FSelection) ||
                      (Ev.type == DestroyNotify && FManager && Ev.xdestroywindow.window == FManager) ||
                      FWindows.count(Ev.xany.window) != 0;
    if (ours)
        FTaken.push_back(Ev);
    return ours;
}

void TX11Tray::DropIcons()
{
    std::lock_guard lock(FLock);
    for (auto& [w, i] : FIcons)
        XDestroyWindow(FDpy, w);
    FIcons.clear();
    FWindows.clear();
}

void TX11Tray::Pump()
{
    std::vector<XEvent> taken;
    {
        std::lock_guard lock(FLock);
        taken.swap(FTaken);
    }
    for (const XEvent& ev : taken) {
        if (ev.type == ClientMessage && ev.xclient.window == FRoot) {
            // A tray started: whatever we had docked elsewhere is stale.
            DropIcons();
            Manager();
            TrayHostAppeared();
            continue;
        }
        if (ev.type == DestroyNotify && !FIcons.count(ev.xdestroywindow.window)) {
            DropIcons();
            {
                std::lock_guard lock(FLock);
                FManager = 0;
            }
            TrayHostGone();
            continue;
        }
        auto it = FIcons.find(ev.xany.window);
        if (it == FIcons.end())
            continue;
        const TIcon& icon = it->second;
        switch (ev.type) {
        case Expose:
            if (ev.xexpose.count == 0)
                Draw(it->first, icon);
            break;
        case ConfigureNotify:
            Draw(it->first, icon);
            break;
        case ButtonPress:
        case ButtonRelease: {
            const bool down = ev.type == ButtonPress;
            UINT msg = 0;
            switch (ev.xbutton.button) {
            case 1: msg = down ? WM_LBUTTONDOWN : WM_LBUTTONUP; break;
            case 2: msg = down ? WM_MBUTTONDOWN : WM_MBUTTONUP; break;
            case 3: msg = down ? WM_RBUTTONDOWN : WM_RBUTTONUP; break;
            default: break;
            }
            if (msg)
                TrayIconMouse(icon.Wnd, icon.Id, msg);
            break;
        }
        case MotionNotify:
            TrayIconMouse(icon.Wnd, icon.Id, WM_MOUSEMOVE);
            break;
        default:
            break;
        }
    }
    XFlush(FDpy);
}
