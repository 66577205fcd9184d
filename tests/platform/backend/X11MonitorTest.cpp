// The x11 back-end's monitors and work area (the server's monitors, the
// window manager's _NET_WORKAREA cut to them, read again when it changes)
// and its shared-memory path for window surfaces. Needs the display the
// test command starts; skipped without one.
#include "platform/backend/X11.h"

#include "platform/user/Desktop.h"
#include "tests/support/WindowTestSupport.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdlib>
#include <thread>

using namespace wintest;

namespace {

class X11MonitorTest : public TWindowTest {
protected:
    void SetUp() override
    {
        TWindowTest::SetUp();
        const char* d = std::getenv("DISPLAY");
        if (!d || !*d)
            GTEST_SKIP() << "no X display";
        B = TX11Backend::Open();
        if (!B)
            GTEST_SKIP() << "the display cannot be opened";
        SetUserBackend(B.get());
        Peer = XOpenDisplay(nullptr);
        ASSERT_NE(Peer, nullptr);
    }
    void TearDown() override
    {
        if (B) {
            HeadlessReset();
            B->Sync();
            SetUserBackend(nullptr);
            B.reset();
        }
        if (Peer)
            XCloseDisplay(Peer);
        TWindowTest::TearDown();
    }
    template <class F> bool PumpUntil(F cond, int ms = 2000)
    {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        for (;;) {
            XSync(Peer, False);
            B->Sync();
            HeadlessProcessMessages();
            if (cond())
                return true;
            if (std::chrono::steady_clock::now() > end)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    std::unique_ptr<TX11Backend> B;
    Display* Peer = nullptr;
};

RECT WorkArea()
{
    RECT r{};
    SystemParametersInfo(SPI_GETWORKAREA, 0, &r, 0);
    return r;
}

TEST_F(X11MonitorTest, MonitorsComeFromTheServerAndTheWorkAreaFromTheWindowManager)
{
    Window root = DefaultRootWindow(Peer);
    int sw = DisplayWidth(Peer, DefaultScreen(Peer)), sh = DisplayHeight(Peer, DefaultScreen(Peer));
    HMONITOR m = MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTONULL);
    ASSERT_TRUE(m);
    MONITORINFO mi;
    ASSERT_TRUE(GetMonitorInfo(m, &mi));
    EXPECT_EQ(mi.dwFlags, MONITORINFOF_PRIMARY);
    EXPECT_GE(mi.rcMonitor.left, 0);
    EXPECT_LE(mi.rcMonitor.right, sw);
    EXPECT_LE(mi.rcMonitor.bottom, sh);
    EXPECT_GT(mi.rcMonitor.right - mi.rcMonitor.left, 0);
    int monitors = 0;
    EnumDisplayMonitors(
        nullptr, nullptr, [](HMONITOR, HDC, RECT*, LPARAM n) -> BOOL { return ++*reinterpret_cast<int*>(n), TRUE_; },
        reinterpret_cast<LPARAM>(&monitors));
    EXPECT_GE(monitors, 1);

    // A window manager's work area, for the current desktop, is cut to the monitor.
    Atom workArea = XInternAtom(Peer, "_NET_WORKAREA", False);
    Atom current = XInternAtom(Peer, "_NET_CURRENT_DESKTOP", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(Peer, root, workArea, 0, 4, False, XA_CARDINAL, &type, &format, &count, &after, &data);
    bool hadOne = type != None;
    if (data)
        XFree(data);
    if (hadOne)
        GTEST_SKIP() << "a window manager owns the work area here";
    long desk = 1;
    long areas[8] = {0, 0, sw, sh, 0, 25, sw, sh - 25 - 30};  // desktop 1: a top and a bottom panel
    XChangeProperty(Peer, root, current, XA_CARDINAL, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&desk), 1);
    XChangeProperty(Peer, root, workArea, XA_CARDINAL, 32, PropModeReplace, reinterpret_cast<unsigned char*>(areas), 8);
    XSync(Peer, False);
    RECT want{mi.rcMonitor.left, std::max<LONG>(mi.rcMonitor.top, 25), mi.rcMonitor.right,
              std::min<LONG>(mi.rcMonitor.bottom, sh - 30)};
    EXPECT_TRUE(PumpUntil([&] {
        RECT r = WorkArea();
        return r.left == want.left && r.top == want.top && r.right == want.right && r.bottom == want.bottom;
    }));
    // Gone again: the monitor itself.
    XDeleteProperty(Peer, root, workArea);
    XDeleteProperty(Peer, root, current);
    XSync(Peer, False);
    EXPECT_TRUE(PumpUntil([&] {
        RECT r = WorkArea();
        return r.top == mi.rcMonitor.top && r.bottom == mi.rcMonitor.bottom;
    }));
}

TEST_F(X11MonitorTest, SurfacesReachTheScreenThroughSharedMemory)
{
    EXPECT_TRUE(B->SharedMemory());  // the virtual display offers MIT-SHM
    State.Hook = [](HWND h, UINT m, WPARAM, LPARAM, bool* handled) -> LRESULT {
        if (m != WM_PAINT)
            return 0;
        *handled = true;
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(h, &ps);
        RECT left{0, 0, 40, 60}, right{40, 0, 80, 60};
        HBRUSH a = CreateSolidBrush(RGB(250, 10, 20)), b = CreateSolidBrush(RGB(10, 200, 30));
        FillRect(dc, &left, a);
        FillRect(dc, &right, b);
        DeleteObject(a);
        DeleteObject(b);
        EndPaint(h, &ps);
        return 0;
    };
    HWND w = Top("Shm", 900, 700, 80, 60, WS_POPUP);
    ShowWindow(w, SW_SHOWNOACTIVATE);
    auto pixel = [&](int x, int y) {
        XImage* img = XGetImage(Peer, DefaultRootWindow(Peer), x, y, 1, 1, AllPlanes, ZPixmap);
        if (!img)
            return 0xFFFFFFFFUL;
        unsigned long p = XGetPixel(img, 0, 0) & 0xFFFFFF;
        XDestroyImage(img);
        return p;
    };
    EXPECT_TRUE(PumpUntil([&] { return pixel(910, 710) == 0xFA0A14UL && pixel(970, 750) == 0x0AC81EUL; }));
    // A new size gets a new shared image; the changed part shows.
    SetWindowPos(w, nullptr, 0, 0, 120, 60, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(w, nullptr, TRUE_);
    State.Hook = [](HWND h, UINT m, WPARAM, LPARAM, bool* handled) -> LRESULT {
        if (m != WM_PAINT)
            return 0;
        *handled = true;
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(h, &ps);
        RECT all{0, 0, 120, 60};
        HBRUSH a = CreateSolidBrush(RGB(20, 30, 240));
        FillRect(dc, &all, a);
        DeleteObject(a);
        EndPaint(h, &ps);
        return 0;
    };
    EXPECT_TRUE(PumpUntil([&] { return pixel(1010, 730) == 0x141EF0UL && pixel(905, 705) == 0x141EF0UL; }));
    DestroyWindow(w);
}

} // namespace
