// The notification area on the X display: no tray host without a tray
// manager; with one (the test itself, on a connection of its own, owning
// the system-tray selection) the manager's arrival reaches the windows as
// "TaskbarCreated", an added icon asks to be docked, draws its picture at
// the size the manager gave it, carries its tip as its name, sends balloons
// as the protocol's messages and turns a button press into the icon's
// callback message. One test, so that no other test of this program sees a
// tray come and go meanwhile.
#include <gtest/gtest.h>

#include "platform/backend/X11.h"
#include "platform/shell/NotifyIcon.h"
#include "platform/user/User.h"
#include "support/TestSupport.h"
#include "support/X11TestSession.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>


#include <cstdio>
#include <string>
#include <vector>

namespace {

struct TReceiver {
    std::vector<TMessage> Got;
    void WndProc(TMessage& M)
    {
        Got.push_back(M);
        M.Result = DefWindowProc(Wnd, M.Msg, M.WParam, M.LParam);
    }
    bool Has(UINT Msg, LPARAM L = -1) const
    {
        for (const TMessage& m : Got)
            if (m.Msg == Msg && (L == -1 || m.LParam == L))
                return true;
        return false;
    }
    HWND Wnd = nullptr;
};

TEST(X11TrayTest, DockDrawClickAndBalloonWithATrayManagerOfTheTest)
{
    tarnello::test::X11TestSession x11;
    if (!x11.Ok())
        GTEST_SKIP() << "no X display";
    x11.Select();
    TReceiver rx;
    rx.Wnd = AllocateHWnd(MakeEvent(&rx, &TReceiver::WndProc));
    const UINT taskbarCreated = RegisterWindowMessage("TaskbarCreated");

    TDibImage red;
    red.Allocate(32, 32, 32);
    red.HasAlpha = true;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            uint8_t* p = red.Row(y) + x * 4;
            p[0] = 0;
            p[1] = 0;
            p[2] = 255;
            p[3] = 255;
        }
    NOTIFYICONDATAW d;
    d.hWnd = rx.Wnd;
    d.uID = 1;
    d.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    d.uCallbackMessage = 0x800;
    d.Image = &red;
    CopyNotifyText(d.szTip, std::size(d.szTip), "Tarnello tray");

    // No manager: no host, and adding fails.
    EXPECT_EQ(CurrentTrayHost(), nullptr);
    EXPECT_FALSE(Shell_NotifyIconW(NIM_ADD, &d));

    // The test becomes the tray manager.
    Display* mgr = XOpenDisplay(nullptr);
    ASSERT_NE(mgr, nullptr);
    const int screen = DefaultScreen(mgr);
    const Window root = RootWindow(mgr, screen);
    char selName[40];
    std::snprintf(selName, sizeof selName, "_NET_SYSTEM_TRAY_S%d", screen);
    const Atom sel = XInternAtom(mgr, selName, False);
    const Atom opcode = XInternAtom(mgr, "_NET_SYSTEM_TRAY_OPCODE", False);
    const Atom msgData = XInternAtom(mgr, "_NET_SYSTEM_TRAY_MESSAGE_DATA", False);
    XSetWindowAttributes a{};
    a.override_redirect = True;
    a.background_pixel = 0x203040;
    const int tx = DisplayWidth(mgr, screen) - 60, ty = DisplayHeight(mgr, screen) - 60;
    const Window tray = XCreateWindow(mgr, root, tx, ty, 40, 40, 0, CopyFromParent, InputOutput, CopyFromParent,
                                      CWOverrideRedirect | CWBackPixel, &a);
    XMapWindow(mgr, tray);
    XSetSelectionOwner(mgr, sel, tray, CurrentTime);
    ASSERT_EQ(XGetSelectionOwner(mgr, sel), tray);
    XEvent m{};
    m.xclient.type = ClientMessage;
    m.xclient.window = root;
    m.xclient.message_type = XInternAtom(mgr, "MANAGER", False);
    m.xclient.format = 32;
    m.xclient.data.l[0] = CurrentTime;
    m.xclient.data.l[1] = static_cast<long>(sel);
    m.xclient.data.l[2] = static_cast<long>(tray);
    XSendEvent(mgr, root, False, StructureNotifyMask, &m);
    XFlush(mgr);
    ASSERT_TRUE(x11.PumpUntil([&] { return rx.Has(taskbarCreated); }));
    EXPECT_NE(CurrentTrayHost(), nullptr);

    // Adding asks the manager to dock the icon's window.
    ASSERT_TRUE(Shell_NotifyIconW(NIM_ADD, &d));
    Window icon = 0;
    std::string balloon;
    long balloonLength = -1;
    auto readManager = [&] {
        while (XPending(mgr)) {
            XEvent ev;
            XNextEvent(mgr, &ev);
            if (ev.type != ClientMessage)
                continue;
            if (ev.xclient.message_type == opcode && ev.xclient.data.l[1] == 0)
                icon = static_cast<Window>(ev.xclient.data.l[2]);
            if (ev.xclient.message_type == opcode && ev.xclient.data.l[1] == 1)
                balloonLength = ev.xclient.data.l[3];
            if (ev.xclient.message_type == msgData)
                balloon.append(ev.xclient.data.b, 20);
        }
    };
    ASSERT_TRUE(x11.PumpUntil([&] {
        readManager();
        return icon != 0;
    }));
    // Embedding: into the tray window, at the manager's size.
    XReparentWindow(mgr, icon, tray, 4, 4);
    XResizeWindow(mgr, icon, 32, 32);
    XMapWindow(mgr, icon);
    XSync(mgr, False);
    auto iconPixel = [&](int x, int y) -> unsigned long {
        XImage* img = XGetImage(mgr, icon, x, y, 1, 1, AllPlanes, ZPixmap);
        if (!img)
            return 0;
        const unsigned long p = XGetPixel(img, 0, 0) & 0xFFFFFF;
        XDestroyImage(img);
        return p;
    };
    ASSERT_TRUE(x11.PumpUntil([&] { return iconPixel(16, 16) == 0xFF0000 && iconPixel(31, 31) == 0xFF0000; }))
        << std::hex << iconPixel(16, 16);
    char* name = nullptr;
    ASSERT_TRUE(XFetchName(mgr, icon, &name));
    EXPECT_STREQ(name, "Tarnello tray");
    XFree(name);
    x11.Settle(100);
    EXPECT_TRUE(x11.SaveArea(tx, ty, 40, 40, "x11-tray-icon.png"));

    // A press on the icon is the icon's callback message.
    XEvent b{};
    b.xbutton.type = ButtonPress;
    b.xbutton.window = icon;
    b.xbutton.root = root;
    b.xbutton.button = 1;
    b.xbutton.same_screen = True;
    XSendEvent(mgr, icon, False, ButtonPressMask, &b);
    b.xbutton.type = ButtonRelease;
    XSendEvent(mgr, icon, False, ButtonReleaseMask, &b);
    XFlush(mgr);
    ASSERT_TRUE(x11.PumpUntil([&] { return rx.Has(0x800, WM_LBUTTONDOWN) && rx.Has(0x800, WM_LBUTTONUP); }));

    // A balloon: begin, then the text in 20-byte pieces.
    d.uFlags = NIF_INFO;
    CopyNotifyText(d.szInfo, std::size(d.szInfo), "Conversion finished");
    CopyNotifyText(d.szInfoTitle, std::size(d.szInfoTitle), "Tarnello");
    ASSERT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &d));
    const std::string want = "Tarnello\nConversion finished";
    ASSERT_TRUE(x11.PumpUntil([&] {
        readManager();
        return balloon.size() >= want.size();
    }));
    EXPECT_EQ(balloonLength, static_cast<long>(want.size()));
    EXPECT_EQ(balloon.substr(0, want.size()), want);

    // The manager going away takes the icon with it: no host again.
    XDestroyWindow(mgr, tray);
    XSync(mgr, False);
    EXPECT_TRUE(x11.PumpUntil([&] { return TrayIconCount() == 0; }));
    EXPECT_EQ(CurrentTrayHost(), nullptr);
    XCloseDisplay(mgr);
    DeallocateHWnd(rx.Wnd);
    x11.Release();
}

}  // namespace
