#pragma once
// The x11 notification area: the freedesktop system tray. A tray manager
// owns the selection _NET_SYSTEM_TRAY_S<screen>; each icon is a small X
// window of ours carrying _XEMBED_INFO, docked by a SYSTEM_TRAY_REQUEST_DOCK
// message to the manager, which embeds it (XEmbed) and gives it its size.
// The icon's picture is drawn scaled to that size (over the manager's ARGB
// visual when it offers one, else over a plain button-face grey); its button
// and motion events become the icon's mouse notifications; the tip is the
// window's name; balloons go as the protocol's begin/data/cancel messages
// (the protocol reports no balloon clicks). A MANAGER message on the root
// window is a tray that started; the manager's window going away takes the
// icons with it. Without a manager there is no tray host.
//
// Filter runs on the back-end's event thread and only takes events; Pump
// handles them on the main thread, which owns the icons' windows.
#include "platform/shell/NotifyIcon.h"

#include <X11/Xlib.h>

#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

class TX11Tray final : public ITrayHost {
public:
    TX11Tray(Display* Dpy, int Screen, Window Root);
    ~TX11Tray() override;

    int IconSize() const override { return 24; }
    bool AddIcon(const TTrayIconState& Icon) override;
    bool ModifyIcon(const TTrayIconState& Icon, bool BalloonChanged) override;
    bool DeleteIcon(HWND Wnd, UINT Id) override;

    // The manager's window (0 when no tray runs); asks the server.
    Window Manager();
    // An event for the tray? Takes it for Pump (any thread).
    bool Filter(const XEvent& Ev);
    // Handles the taken events (main thread).
    void Pump();

private:
    struct TIcon {
        HWND Wnd = nullptr;
        UINT Id = 0;
        TTrayIconState State;
        Visual* Vis = nullptr;
        int Depth = 0;
        long BalloonId = 0;
    };
    void Draw(Window W, const TIcon& I);
    void SetName(Window W, const std::string& Tip);
    void SendOpcode(Window Icon, long Op, long A, long B, long C);
    void SendBalloon(Window W, TIcon& I);
    void DropIcons();
    Window Find(HWND Wnd, UINT Id) const;

    Display* FDpy;
    int FScreen;
    Window FRoot;
    Atom FSelection, FOpcode, FMessageData, FXEmbedInfo, FManagerAtom, FTrayVisual, FNetWmName, FUtf8;
    std::mutex FLock;  // guards what Filter reads: the windows and the manager
    std::set<Window> FWindows;
    Window FManager = 0;
    std::vector<XEvent> FTaken;
    std::map<Window, TIcon> FIcons;  // main thread only
    long FNextBalloon = 1;
};
