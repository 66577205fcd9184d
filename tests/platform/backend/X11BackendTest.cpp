// The x11 back-end on the test display: windows painted and shaped on the
// real X screen (read back from the root window by a second connection),
// a native child window another client draws into, X events turned into
// window messages, and the program started on the display. Tests skip when
// no display is reachable.
#include "platform/backend/BackendSelect.h"
#include "platform/backend/Headless.h"
#include "platform/backend/X11.h"
#include "platform/backend/X11Keys.h"
#include "platform/gdi/ImageFormats.h"
#include "platform/gdi/PngFormat.h"
#include "support/TestSupport.h"
#include "support/X11TestSession.h"
#include "support/WindowTestSupport.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <thread>

using namespace wintest;
using tarnello::test::ReadTextFile;
using tarnello::test::TempDir;
using tarnello::test::WriteTextFile;

namespace {

TX11Backend* SharedBackend() { return tarnello::test::SharedX11Backend(); }

DWORD Rgb(COLORREF c)
{
    return (static_cast<DWORD>(GetRValue(c)) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

class X11Test : public TWindowTest {
protected:
    // A fresh back-end that finds a compositing manager: the second
    // connection stands in for one, owning the manager's selection while the
    // back-end connects.
    std::unique_ptr<TX11Backend> OpenUnderACompositor()
    {
        Window owner = XCreateSimpleWindow(Peer, DefaultRootWindow(Peer), 0, 0, 1, 1, 0, 0, 0);
        XSetSelectionOwner(Peer, XInternAtom(Peer, "_NET_WM_CM_S0", False), owner, CurrentTime);
        XSync(Peer, False);
        std::unique_ptr<TX11Backend> composited = TX11Backend::Open();
        XDestroyWindow(Peer, owner);
        XSync(Peer, False);
        return composited;
    }
    void SetUp() override
    {
        TWindowTest::SetUp();
        B = SharedBackend();
        if (!B)
            GTEST_SKIP() << "no X display";
        SetUserBackend(B);
        Peer = XOpenDisplay(nullptr);
        ASSERT_NE(Peer, nullptr);
    }
    void TearDown() override
    {
        State.Hook = nullptr;  // it may capture the test's locals
        if (B) {
            HeadlessReset();
            B->Sync();
            SetUserBackend(nullptr);
        }
        if (Peer)
            XCloseDisplay(Peer);
        TWindowTest::TearDown();
    }

    // Runs messages until cond holds (up to two seconds).
    template <class F> bool PumpUntil(F cond, int ms = 2000)
    {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        for (;;) {
            HeadlessProcessMessages();
            B->Sync();
            XSync(Peer, False);
            HeadlessProcessMessages();
            if (cond())
                return true;
            if (std::chrono::steady_clock::now() > end)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    void Settle()
    {
        PumpUntil([] { return false; }, 60);
    }

    // The root window's pixels as 0xRRGGBB, read by the second connection.
    DWORD RootPixel(int x, int y)
    {
        XImage* img = XGetImage(Peer, DefaultRootWindow(Peer), x, y, 1, 1, AllPlanes, ZPixmap);
        if (!img)
            return 0xFFFFFFFF;
        DWORD p = static_cast<DWORD>(XGetPixel(img, 0, 0)) & 0xFFFFFF;
        XDestroyImage(img);
        return p;
    }
    void SaveScreenshot(const RECT& r, const char* name)
    {
        const char* dir = std::getenv("TARNELLO_TEST_TMP");
        if (!dir)
            return;
        int w = r.right - r.left, h = r.bottom - r.top;
        XImage* img = XGetImage(Peer, DefaultRootWindow(Peer), r.left, r.top, static_cast<unsigned>(w),
                                static_cast<unsigned>(h), AllPlanes, ZPixmap);
        ASSERT_NE(img, nullptr);
        TDibImage dib;
        dib.Allocate(w, h, 32);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                DWORD p = (static_cast<DWORD>(XGetPixel(img, x, y)) & 0xFFFFFF) | 0xFF000000;
                std::memcpy(dib.Row(y) + x * 4, &p, 4);
            }
        XDestroyImage(img);
        std::vector<uint8_t> png;
        WritePng(dib, png);
        std::ofstream(std::string(dir) + "/" + name, std::ios::binary)
            .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    }

    TX11Backend* B = nullptr;
    Display* Peer = nullptr;
    std::map<HWND, COLORREF> Colours;
};

// Each test keeps to its own band of the shared screen, so that tests run
// side by side do not cover each other's windows.

TEST_F(X11Test, PaintedAndShapedWindowsShowOnTheScreen)
{
    const int errorsBefore = X11ErrorCount(); // other tests of this process provoke errors on purpose
    PaintSolid([this](HWND h) { return Colours[h]; });
    HWND under = Top("Under", 300, 20, 220, 220, WS_POPUP);
    HWND shaped = Top("Shaped", 320, 40, 180, 180, WS_POPUP);
    HWND plain = Top("Plain", 40, 40, 200, 120, WS_POPUP);
    Colours[under] = RGB(255, 255, 255);
    Colours[shaped] = RGB(20, 160, 40);
    Colours[plain] = RGB(200, 30, 30);
    // A ring: the hole shows the window beneath.
    HRGN ring = CreateRectRgn(0, 0, 180, 180);
    HRGN hole = CreateRectRgn(60, 60, 120, 120);
    CombineRgn(ring, ring, hole, RGN_DIFF);
    DeleteObject(hole);
    SetWindowRgn(shaped, ring, TRUE_);
    for (HWND h : {under, shaped, plain})
        ShowWindow(h, SW_SHOWNOACTIVATE);
    SetWindowText(plain, "Plain \xC3\xA9t\xC3\xA9");

    // The windows reach the screen one by one: wait for every one of them.
    PumpUntil([&] {
        return RootPixel(330, 50) == 0x14A028 && RootPixel(100, 100) == 0xC81E1E && RootPixel(410, 130) == 0xFFFFFF &&
               RootPixel(330, 200) == 0x14A028 && RootPixel(305, 25) == 0xFFFFFF;
    }, 10000);
    EXPECT_EQ(RootPixel(330, 50), 0x14A028);
    EXPECT_EQ(RootPixel(100, 100), 0xC81E1E);   // the plain window
    EXPECT_EQ(RootPixel(410, 130), 0xFFFFFF);   // through the hole
    EXPECT_EQ(RootPixel(330, 200), 0x14A028);   // the ring
    EXPECT_EQ(RootPixel(305, 25), 0xFFFFFF);    // beneath, beside the ring
    SaveScreenshot(RECT{20, 10, 540, 260}, "x11-shaped.png");

    // Painting again shows without a new map; moving carries the window.
    Colours[plain] = RGB(30, 30, 220);
    InvalidateRect(plain, nullptr, TRUE_);
    ASSERT_TRUE(PumpUntil([&] { return RootPixel(100, 100) == 0x1E1EDC; }));
    SetWindowPos(plain, nullptr, 60, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(PumpUntil([&] { return RootPixel(250, 170) == 0x1E1EDC; }));

    // The title reaches the window manager's property as UTF-8.
    Atom netName = XInternAtom(Peer, "_NET_WM_NAME", False);
    Atom type = 0;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char* data = nullptr;
    ASSERT_EQ(XGetWindowProperty(Peer, B->XWindowOf(plain), netName, 0, 256, False, AnyPropertyType, &type, &format, &n,
                                 &after, &data),
              Success);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data), n), "Plain \xC3\xA9t\xC3\xA9");
    XFree(data);

    // Another client painting over the window is undone on Expose.
    Window xw = B->XWindowOf(plain);
    GC gc = XCreateGC(Peer, xw, 0, nullptr);
    XSetForeground(Peer, gc, 0x000000);
    XFillRectangle(Peer, xw, gc, 0, 0, 200, 120);
    XFreeGC(Peer, gc);
    XSync(Peer, False);
    EXPECT_EQ(RootPixel(150, 150), 0x000000u);
    XClearArea(Peer, xw, 0, 0, 0, 0, True);
    EXPECT_TRUE(PumpUntil([&] { return RootPixel(150, 150) == 0x1E1EDC; }));

    // Hiding unmaps: the window beneath shows again.
    ShowWindow(shaped, SW_HIDE);
    EXPECT_TRUE(PumpUntil([&] { return RootPixel(330, 200) == 0xFFFFFF; }));
    EXPECT_EQ(X11ErrorCount(), errorsBefore);
}

TEST_F(X11Test, LayeredWindowsWithoutCompositorCutAwayTransparentPixels)
{
    if (B->Compositing())
        GTEST_SKIP() << "a compositing manager blends layered windows itself";
    PaintSolid([this](HWND h) { return Colours[h]; });
    HWND under = Top("Under", 600, 20, 200, 200, WS_POPUP);
    Colours[under] = RGB(255, 255, 255);
    ShowWindow(under, SW_SHOWNOACTIVATE);

    // A per-pixel picture: the left half fully transparent, the right half
    // half-transparent red (shown opaque), a key-coloured window beside it.
    HWND glow = Top("Glow", 620, 40, 100, 60, WS_POPUP, WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = 100;
    bi.bmiHeader.biHeight = -60;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP pic = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* px = static_cast<DWORD*>(bits);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 100; ++x)
            px[y * 100 + x] = x < 50 ? 0 : 0x80800000;  // premultiplied red at half alpha
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, pic);
    POINT at{620, 40}, src{0, 0};
    SIZE size{100, 60};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ASSERT_TRUE(UpdateLayeredWindow(glow, nullptr, &at, &size, mem, &src, 0, &blend, ULW_ALPHA));
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(pic);
    ShowWindow(glow, SW_SHOWNOACTIVATE);

    HWND keyed = Top("Keyed", 620, 120, 100, 60, WS_POPUP, WS_EX_LAYERED);
    Colours[keyed] = RGB(255, 0, 255);
    SetLayeredWindowAttributes(keyed, RGB(255, 0, 255), 255, LWA_COLORKEY);
    ShowWindow(keyed, SW_SHOWNOACTIVATE);

    ASSERT_TRUE(PumpUntil([&] { return RootPixel(700, 70) == 0x800000; }));
    EXPECT_EQ(RootPixel(630, 70), 0xFFFFFF);   // alpha 0 cut away
    EXPECT_EQ(RootPixel(660, 150), 0xFFFFFF);  // the key colour cut away
    SaveScreenshot(RECT{590, 10, 810, 230}, "x11-layered.png");
}

TEST_F(X11Test, LayeredPictureGetsAnArgbWindowUnderACompositor)
{
    std::unique_ptr<TX11Backend> composited = OpenUnderACompositor();
    ASSERT_NE(composited, nullptr);
    ASSERT_TRUE(composited->Compositing());
    SetUserBackend(composited.get());

    HWND glow = Top("Glow", 860, 20, 100, 60, WS_POPUP, WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = 100;
    bi.bmiHeader.biHeight = -60;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP pic = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* px = static_cast<DWORD*>(bits);
    for (int i = 0; i < 100 * 60; ++i)
        px[i] = i % 100 < 50 ? 0 : 0x80800000;
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, pic);
    POINT at{860, 20}, src{0, 0};
    SIZE size{100, 60};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 128, AC_SRC_ALPHA};  // and half the whole
    ASSERT_TRUE(UpdateLayeredWindow(glow, nullptr, &at, &size, mem, &src, 0, &blend, ULW_ALPHA));
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(pic);
    ShowWindow(glow, SW_SHOWNOACTIVATE);
    HeadlessProcessMessages();
    composited->Sync();

    Window xw = composited->XWindowOf(glow);
    ASSERT_NE(xw, 0u);
    XWindowAttributes wa{};
    XGetWindowAttributes(Peer, xw, &wa);
    EXPECT_EQ(wa.depth, 32);
    // Premultiplied pixels scaled by the constant alpha, nothing cut away.
    XImage* img = XGetImage(Peer, xw, 0, 0, 100, 60, AllPlanes, ZPixmap);
    ASSERT_NE(img, nullptr);
    EXPECT_EQ(XGetPixel(img, 75, 30), 0x40400000u);
    EXPECT_EQ(XGetPixel(img, 25, 30), 0u);
    XDestroyImage(img);
    HeadlessReset();
    composited->Sync();
    SetUserBackend(B);
}

TEST_F(X11Test, DropShadowIsAWindowBelowThePopupOnlyUnderACompositor)
{
    WNDCLASS wc{};
    wc.style = CS_DROPSHADOW;
    wc.lpfnWndProc = &LoggingProc;
    wc.lpszClassName = "ShadowWnd";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_BTNFACE + 1));
    RegisterClass(&wc);
    auto popup = [](const char* name, int x, int y) {
        return CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "ShadowWnd", name, WS_POPUP, x, y, 120, 80, nullptr,
                              nullptr, nullptr, nullptr);
    };
    auto rootChildren = [&] {
        Window root = 0, parent = 0, *kids = nullptr;
        unsigned n = 0;
        XQueryTree(Peer, DefaultRootWindow(Peer), &root, &parent, &kids, &n);
        std::vector<Window> all(kids, kids + n);  // bottom first
        if (kids)
            XFree(kids);
        return all;
    };

    // Nothing could blend a shadow without a compositing manager: none.
    HWND plain = popup("Plain", 600, 400);
    ShowWindow(plain, SW_SHOWNOACTIVATE);
    HeadlessProcessMessages();
    B->Sync();
    EXPECT_EQ(B->ShadowWindowOf(plain), 0u);
    DestroyWindow(plain);
    HeadlessProcessMessages();
    B->Sync();

    std::unique_ptr<TX11Backend> composited = OpenUnderACompositor();
    ASSERT_NE(composited, nullptr);
    ASSERT_TRUE(composited->Compositing());
    SetUserBackend(composited.get());

    HWND menu = popup("Menu", 700, 400);
    ShowWindow(menu, SW_SHOWNOACTIVATE);
    HeadlessProcessMessages();
    composited->Sync();
    const Window shadow = composited->ShadowWindowOf(menu);
    ASSERT_NE(shadow, 0u);
    XWindowAttributes wa{};
    XGetWindowAttributes(Peer, shadow, &wa);
    EXPECT_EQ(wa.depth, 32);
    EXPECT_EQ(wa.map_state, IsViewable);
    EXPECT_TRUE(wa.override_redirect);
    EXPECT_EQ((std::vector<int>{wa.x, wa.y, wa.width, wa.height}),
              (std::vector<int>{700 + kDropShadowWidth, 400 + kDropShadowWidth, 120, 80}));
    {
        const std::vector<Window> stack = rootChildren();
        const auto at = std::find(stack.begin(), stack.end(), shadow);
        ASSERT_NE(at, stack.end());
        ASSERT_NE(at + 1, stack.end());
        EXPECT_EQ(*(at + 1), composited->XWindowOf(menu));  // right below its window
    }
    // Transparent under the window, darkest beside it, fading outward.
    XImage* img = XGetImage(Peer, shadow, 0, 0, 120, 80, AllPlanes, ZPixmap);
    ASSERT_NE(img, nullptr);
    const struct {
        int x, y;
        unsigned alpha;
    } cases[] = {
        {50, 30, 0u},
        {115, 75, 0u},
        {116, 30, DropShadowAlpha(1)},
        {119, 30, DropShadowAlpha(4)},
        {50, 76, DropShadowAlpha(1)},
        {119, 79, DropShadowAlpha(4)},
        {117, 78, DropShadowAlpha(3)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(XGetPixel(img, c.x, c.y), static_cast<unsigned long>(c.alpha) << 24) << c.x << "," << c.y;
    XDestroyImage(img);
    EXPECT_GT(DropShadowAlpha(1), DropShadowAlpha(4));
    EXPECT_GT(DropShadowAlpha(4), 0);

    // It follows the window's place and size, hides and goes with it.
    SetWindowPos(menu, nullptr, 650, 300, 200, 100, SWP_NOZORDER | SWP_NOACTIVATE);
    HeadlessProcessMessages();
    composited->Sync();
    XGetWindowAttributes(Peer, shadow, &wa);
    EXPECT_EQ((std::vector<int>{wa.x, wa.y, wa.width, wa.height}),
              (std::vector<int>{650 + kDropShadowWidth, 300 + kDropShadowWidth, 200, 100}));
    ShowWindow(menu, SW_HIDE);
    HeadlessProcessMessages();
    composited->Sync();
    EXPECT_EQ(composited->ShadowWindowOf(menu), 0u);
    XGetWindowAttributes(Peer, shadow, &wa);
    EXPECT_EQ(wa.map_state, IsUnmapped);
    DestroyWindow(menu);
    HeadlessProcessMessages();
    composited->Sync();
    const std::vector<Window> after = rootChildren();
    EXPECT_EQ(std::find(after.begin(), after.end(), shadow), after.end());

    HeadlessReset();
    composited->Sync();
    SetUserBackend(B);
}

TEST_F(X11Test, NativeChildWindowTakesAnotherClientsDrawingAndFollowsItsControl)
{
    HWND panel = nullptr;
    int panelPaints = 0;
    PaintSolid([&](HWND h) {
        if (h == panel)
            ++panelPaints;
        return Colours[h];
    });
    HWND top = Top("Host", 40, 300, 300, 200, WS_POPUP);
    panel = Child(top, "Panel", 50, 40, 160, 100);
    Colours[top] = RGB(220, 220, 220);
    Colours[panel] = RGB(0, 0, 90);
    ShowWindow(top, SW_SHOWNOACTIVATE);
    ASSERT_TRUE(PumpUntil([&] { return RootPixel(45, 305) == 0xDCDCDC; }));

    Window id = B->NativeChildWindow(panel);
    ASSERT_NE(id, 0u);
    EXPECT_EQ(B->NativeChildWindow(panel), id);  // one per control

    // A second client (as the video player) draws into it.
    GC gc = XCreateGC(Peer, id, 0, nullptr);
    XSetForeground(Peer, gc, 0xFF00FF);
    XFillRectangle(Peer, id, gc, 0, 0, 160, 100);
    XSetForeground(Peer, gc, 0x00FF00);
    XFillRectangle(Peer, id, gc, 80, 0, 80, 100);
    XFreeGC(Peer, gc);
    XSync(Peer, False);
    EXPECT_EQ(RootPixel(40 + 50 + 10, 300 + 40 + 10), 0xFF00FF);
    EXPECT_EQ(RootPixel(40 + 50 + 150, 300 + 40 + 90), 0x00FF00);
    EXPECT_EQ(RootPixel(40 + 20, 300 + 20), 0xDCDCDC);
    SaveScreenshot(RECT{30, 290, 350, 510}, "x11-native-child.png");

    // The player never hears of Expose on it: its control is repainted.
    int before = panelPaints;
    XClearArea(Peer, id, 0, 0, 0, 0, True);
    EXPECT_TRUE(PumpUntil([&] { return panelPaints > before; }));

    // It moves and hides with its control.
    MoveWindow(panel, 100, 60, 120, 80, TRUE_);
    auto geometry = [&](int* x, int* y, unsigned* w, unsigned* h) {
        Window root;
        unsigned bw, depth;
        XGetGeometry(Peer, id, &root, x, y, w, h, &bw, &depth);
    };
    int x = 0, y = 0;
    unsigned w = 0, h = 0;
    ASSERT_TRUE(PumpUntil([&] {
        geometry(&x, &y, &w, &h);
        return x == 100 && y == 60 && w == 120 && h == 80;
    }));
    ShowWindow(panel, SW_HIDE);
    XWindowAttributes wa{};
    ASSERT_TRUE(PumpUntil([&] {
        XGetWindowAttributes(Peer, id, &wa);
        return wa.map_state == IsUnmapped;
    }));
    ShowWindow(panel, SW_SHOW);
    ASSERT_TRUE(PumpUntil([&] {
        XGetWindowAttributes(Peer, id, &wa);
        return wa.map_state == IsViewable;
    }));

    // Gone with its control.
    DestroyWindow(panel);
    UpdateWindow(top);
    B->UpdateNativeChildren(top);
    B->Sync();
    Window root, parent, *kids = nullptr;
    unsigned count = 99;
    XQueryTree(Peer, B->XWindowOf(top), &root, &parent, &kids, &count);
    if (kids)
        XFree(kids);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(B->NativeChildWindow(panel), 0u);
}

TEST_F(X11Test, XEventsArriveAsWindowMessages)
{
    HWND wnd = Top("Input", 40, 560, 200, 150, WS_POPUP);
    ShowWindow(wnd, SW_SHOW);
    SetForegroundWindow(wnd);
    SetFocus(wnd);
    ASSERT_TRUE(PumpUntil([&] { return B->XWindowOf(wnd) != 0; }));
    Settle();
    Window xw = B->XWindowOf(wnd);
    Window root = DefaultRootWindow(Peer);

    auto send = [&](XEvent ev) {
        ev.xany.display = Peer;
        ev.xany.window = xw;
        XSendEvent(Peer, xw, False, NoEventMask, &ev);
        XSync(Peer, False);
    };
    auto button = [&](int type, unsigned b, int x, int y) {
        XEvent ev{};
        ev.xbutton.type = type;
        ev.xbutton.root = root;
        ev.xbutton.x = x;
        ev.xbutton.y = y;
        ev.xbutton.x_root = 40 + x;
        ev.xbutton.y_root = 560 + y;
        ev.xbutton.button = b;
        ev.xbutton.same_screen = True;
        send(ev);
    };
    auto key = [&](int type, KeySym ks, unsigned state = 0) {
        XEvent ev{};
        ev.xkey.type = type;
        ev.xkey.root = root;
        ev.xkey.keycode = XKeysymToKeycode(Peer, ks);
        ev.xkey.state = state;
        ev.xkey.same_screen = True;
        send(ev);
    };

    std::vector<std::pair<UINT, std::pair<WPARAM, LPARAM>>> got;
    State.Hook = [&](HWND h, UINT m, WPARAM w, LPARAM l, bool*) -> LRESULT {
        if (h == wnd && (m == WM_LBUTTONDOWN || m == WM_LBUTTONUP || m == WM_RBUTTONDOWN || m == WM_MOUSEWHEEL ||
                         m == WM_KEYDOWN || m == WM_KEYUP || m == WM_CHAR || m == WM_SYSCOMMAND || m == WM_CLOSE))
            got.push_back({m, {w, l}});
        return 0;
    };
    auto has = [&](UINT m) {
        return std::any_of(got.begin(), got.end(), [&](auto& g) { return g.first == m; });
    };

    button(ButtonPress, 1, 30, 40);
    button(ButtonRelease, 1, 30, 40);
    ASSERT_TRUE(PumpUntil([&] { return has(WM_LBUTTONUP); }));
    auto down = std::find_if(got.begin(), got.end(), [](auto& g) { return g.first == WM_LBUTTONDOWN; });
    ASSERT_NE(down, got.end());
    EXPECT_EQ(LOWORD(down->second.second), 30);
    EXPECT_EQ(HIWORD(down->second.second), 40);

    // Pointer motion: a run of motions arrives as the last one.
    int moves = 0;
    LPARAM lastMove = 0;
    State.Hook = [&, inner = State.Hook](HWND h, UINT m, WPARAM w, LPARAM l, bool* handled) -> LRESULT {
        if (h == wnd && m == WM_MOUSEMOVE) {
            ++moves;
            lastMove = l;
        }
        return inner(h, m, w, l, handled);
    };
    for (int i = 0; i < 20; ++i) {
        XEvent ev{};
        ev.xmotion.type = MotionNotify;
        ev.xmotion.root = root;
        ev.xmotion.x = 50 + i;
        ev.xmotion.y = 60;
        ev.xmotion.x_root = 40 + 50 + i;
        ev.xmotion.y_root = 560 + 60;
        ev.xmotion.same_screen = True;
        ev.xany.display = Peer;
        ev.xany.window = xw;
        XSendEvent(Peer, xw, False, NoEventMask, &ev);
    }
    XSync(Peer, False);
    ASSERT_TRUE(PumpUntil([&] { return lastMove == MAKELPARAM(69, 60); }));
    EXPECT_LE(moves, 20);

    got.clear();
    button(ButtonPress, 4, 30, 40);
    button(ButtonRelease, 4, 30, 40);
    button(ButtonPress, 5, 30, 40);
    ASSERT_TRUE(PumpUntil([&] { return std::count_if(got.begin(), got.end(), [](auto& g) { return g.first == WM_MOUSEWHEEL; }) == 2; }));
    EXPECT_EQ(static_cast<SHORT>(HIWORD(got[0].second.first)), WHEEL_DELTA);
    EXPECT_EQ(static_cast<SHORT>(HIWORD(got[1].second.first)), -WHEEL_DELTA);

    got.clear();
    key(KeyPress, XK_a);
    key(KeyRelease, XK_a);
    key(KeyPress, XK_Return);
    key(KeyRelease, XK_Return);
    ASSERT_TRUE(PumpUntil([&] {
        return std::count_if(got.begin(), got.end(), [](auto& g) { return g.first == WM_KEYUP; }) == 2;
    }));
    std::vector<std::pair<UINT, WPARAM>> keys;
    for (auto& g : got)
        if (g.first != WM_MOUSEWHEEL)
            keys.push_back({g.first, g.second.first});
    std::vector<std::pair<UINT, WPARAM>> want = {{WM_KEYDOWN, 'A'}, {WM_CHAR, 'a'}, {WM_KEYUP, 'A'},
                                                 {WM_KEYDOWN, VK_RETURN}, {WM_CHAR, '\r'}, {WM_KEYUP, VK_RETURN}};
    EXPECT_EQ(keys, want);

    // The window manager moving the window (a synthetic ConfigureNotify
    // carries root coordinates).
    XEvent cfg{};
    cfg.xconfigure.type = ConfigureNotify;
    cfg.xconfigure.event = xw;
    cfg.xconfigure.window = xw;
    cfg.xconfigure.x = 70;
    cfg.xconfigure.y = 580;
    cfg.xconfigure.width = 210;
    cfg.xconfigure.height = 140;
    send(cfg);
    RECT r{};
    ASSERT_TRUE(PumpUntil([&] {
        GetWindowRect(wnd, &r);
        return r.left == 70 && r.top == 580;
    }));
    EXPECT_EQ(r.right - r.left, 210);
    EXPECT_EQ(r.bottom - r.top, 140);

    // The window manager's close button.
    got.clear();
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.message_type = XInternAtom(Peer, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(Peer, "WM_DELETE_WINDOW", False));
    send(close);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(wnd); }));
    ASSERT_GE(got.size(), 2u);
    EXPECT_EQ(got[0].first, static_cast<UINT>(WM_SYSCOMMAND));
    EXPECT_EQ(got[0].second.first & 0xFFF0, SC_CLOSE);
    EXPECT_TRUE(has(WM_CLOSE));
    EXPECT_EQ(B->XWindowOf(wnd), 0u);
}

TEST_F(X11Test, MenuWithTheCaptureGrabsThePointer)
{
    HWND form = Top("Form", 900, 560, 200, 150, WS_POPUP);
    HWND menu = Top("Menu", 920, 580, 120, 100, WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
    SetWindowLongPtr(menu, GWL_HWNDPARENT, reinterpret_cast<LONG_PTR>(form));
    ShowWindow(form, SW_SHOW);
    ShowWindow(menu, SW_SHOWNOACTIVATE);
    Settle();
    Window root = DefaultRootWindow(Peer);
    auto othersCanGrab = [&] {
        int r = XGrabPointer(Peer, root, False, ButtonPressMask, GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
        if (r == GrabSuccess)
            XUngrabPointer(Peer, CurrentTime);
        XSync(Peer, False);
        return r == GrabSuccess;
    };
    // A capture on an ordinary window takes no grab.
    SetCapture(form);
    Settle();
    EXPECT_TRUE(othersCanGrab());

    SetCapture(menu);
    EXPECT_TRUE(PumpUntil([&] { return !othersCanGrab(); }));

    // A click outside our windows comes to the menu, at its screen place.
    POINT seen{-1, -1};
    State.Hook = [&](HWND h, UINT m, WPARAM, LPARAM l, bool*) -> LRESULT {
        if (h == menu && m == WM_LBUTTONDOWN) {
            seen = POINT{static_cast<SHORT>(LOWORD(l)), static_cast<SHORT>(HIWORD(l))};
            ClientToScreen(h, &seen);
        }
        return 0;
    };
    XEvent ev{};
    ev.xbutton.type = ButtonPress;
    ev.xbutton.display = Peer;
    ev.xbutton.window = B->XWindowOf(menu);
    ev.xbutton.root = root;
    ev.xbutton.x_root = 1200;
    ev.xbutton.y_root = 1000;
    ev.xbutton.button = 1;
    ev.xbutton.same_screen = True;
    XSendEvent(Peer, B->XWindowOf(menu), False, NoEventMask, &ev);
    XSync(Peer, False);
    EXPECT_TRUE(PumpUntil([&] { return seen.x == 1200 && seen.y == 1000; }));

    ReleaseCapture();
    EXPECT_TRUE(PumpUntil([&] { return othersCanGrab(); }));
    // Capture again, then the menu goes: the grab goes with it.
    SetCapture(menu);
    ASSERT_TRUE(PumpUntil([&] { return !othersCanGrab(); }));
    DestroyWindow(menu);
    EXPECT_TRUE(PumpUntil([&] { return othersCanGrab(); }));
}

TEST_F(X11Test, ClickThroughWindowTakesNoPointer)
{
    HWND below = Top("Below", 1000, 800, 200, 150, WS_POPUP);
    HWND glass = Top("Glass", 1020, 820, 120, 80, WS_POPUP, WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
    ShowWindow(below, SW_SHOW);
    ShowWindow(glass, SW_SHOWNOACTIVATE);
    ASSERT_TRUE(PumpUntil([&] { return B->XWindowOf(below) != 0 && B->XWindowOf(glass) != 0; }));
    Settle();
    // The server's own answer to "which window is under the pointer" skips a
    // window without an input shape, so a click there reaches the one below.
    Window root = DefaultRootWindow(Peer);
    XWarpPointer(Peer, None, root, 0, 0, 0, 0, 1060, 850);
    XSync(Peer, False);
    Window rootRet = 0, child = 0;
    int rx = 0, ry = 0, wx = 0, wy = 0;
    unsigned mask = 0;
    ASSERT_TRUE(XQueryPointer(Peer, root, &rootRet, &child, &rx, &ry, &wx, &wy, &mask));
    EXPECT_EQ(child, B->XWindowOf(below));
    EXPECT_NE(child, B->XWindowOf(glass));
}

TEST_F(X11Test, XFocusActivatesItsWindow)
{
    HWND first = Top("First", 40, 800, 150, 100, WS_POPUP);
    HWND second = Top("Second", 220, 800, 150, 100, WS_POPUP);
    ShowWindow(second, SW_SHOW);
    ShowWindow(first, SW_SHOW);
    SetForegroundWindow(first);
    ASSERT_TRUE(PumpUntil([&] {
        XWindowAttributes wa{};
        XGetWindowAttributes(Peer, B->XWindowOf(second), &wa);
        return wa.map_state == IsViewable;
    }));
    EXPECT_EQ(GetForegroundWindow(), first);
    // The window manager (or the user's click) gives the X focus elsewhere.
    XSetInputFocus(Peer, B->XWindowOf(second), RevertToParent, CurrentTime);
    XSync(Peer, False);
    EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == second; }));
    EXPECT_EQ(GetActiveWindow(), second);
    XSetInputFocus(Peer, PointerRoot, RevertToParent, CurrentTime);
    XSync(Peer, False);
}

TEST_F(X11Test, ErrorHandlerLogsAndSurvivesAnotherLibrarysHandler)
{
    Display* dpy = B->Display();
    int before = X11ErrorCount();
    // The error may be read by the event thread: wait for its handler.
    auto errorsReach = [&](int n) { return PumpUntil([&] { return X11ErrorCount() >= n; }, 1000); };
    XMapWindow(dpy, 0x7FFFFF01);  // no such window
    B->Sync();
    EXPECT_TRUE(errorsReach(before + 1));

    // A library leaves its own handler behind; ours comes back.
    static std::atomic<int> foreign;
    foreign = 0;
    XSetErrorHandler([](Display*, XErrorEvent*) { ++foreign; return 0; });
    XMapWindow(dpy, 0x7FFFFF02);
    B->Sync();
    EXPECT_TRUE(PumpUntil([&] { return foreign.load() == 1; }, 1000));
    X11InstallErrorHandler();
    XMapWindow(dpy, 0x7FFFFF03);
    B->Sync();
    EXPECT_TRUE(errorsReach(before + 2));
    EXPECT_EQ(X11ErrorCount(), before + 2);
    EXPECT_EQ(foreign.load(), 1);
}

TEST(X11Keys, KeysymsMapToVirtualKeysAndCharacters)
{
    struct Case {
        unsigned long Sym;
        WORD Vk;
    };
    const Case cases[] = {
        {XK_a, 'A'},          {XK_Z, 'Z'},           {XK_7, '7'},           {XK_F1, VK_F1},
        {XK_F12, VK_F12},     {XK_Return, VK_RETURN}, {XK_KP_Enter, VK_RETURN}, {XK_Escape, VK_ESCAPE},
        {XK_ISO_Left_Tab, VK_TAB}, {XK_BackSpace, VK_BACK}, {XK_Delete, VK_DELETE}, {XK_KP_Home, VK_HOME},
        {XK_KP_7, VK_NUMPAD0 + 7}, {XK_Shift_R, VK_SHIFT}, {XK_Control_L, VK_CONTROL}, {XK_Alt_L, VK_MENU},
        {XK_Next, VK_NEXT},   {XK_minus, VK_OEM_MINUS}, {XK_bracketleft, VK_OEM_4}, {XK_apostrophe, VK_OEM_7},
        {XK_eacute, 0},       {0x12345678, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(X11KeysymToVk(c.Sym), c.Vk) << std::hex << c.Sym;
    EXPECT_EQ(X11KeysymToChar(XK_eacute), U'\u00E9');
    EXPECT_EQ(X11KeysymToChar(0x01000416), U'\u0416');  // a Cyrillic letter
    EXPECT_EQ(X11KeysymToChar(0x0100D800), 0u);         // a surrogate is no character
    EXPECT_EQ(X11KeysymToChar(XK_Shift_L), 0u);
}

TEST(X11Select, BackendChoice)
{
    EXPECT_EQ(ChooseBackend(nullptr, true), TBackendChoice::X11);
    EXPECT_EQ(ChooseBackend("", false), TBackendChoice::Headless);
    EXPECT_EQ(ChooseBackend("headless", true), TBackendChoice::Headless);
    EXPECT_EQ(ChooseBackend("x11", false), TBackendChoice::X11);
    EXPECT_EQ(ChooseBackend("X11 ", true), TBackendChoice::Invalid);
    EXPECT_EQ(ChooseBackend("wayland", true), TBackendChoice::Invalid);
}

// The program starts on a display of its own (so its window covers no other
// test's), shows its main window and ends by itself.
TEST(X11Program, StartsShowsItsWindowAndEndsByItself)
{
    char self[PATH_MAX] = {};
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    ASSERT_GT(n, 0);
    std::string dir(self, static_cast<size_t>(n));
    dir = dir.substr(0, dir.rfind('/'));
    std::string program = dir + "/../tarnello";
    if (access(program.c_str(), X_OK) != 0)
        GTEST_SKIP() << "the program is not built";
    if (std::system("command -v Xvfb >/dev/null 2>&1 && command -v xwininfo >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "Xvfb or xwininfo missing";
    TempDir tmp;
    std::string out = tmp.file("windows.txt");
    // Xvfb picks a free display number itself (-displayfd), so that servers
    // started side by side never race for one. The script waits for the
    // whole number, then until the server accepts a client (the number may
    // come before a loaded server takes connections), then for the window
    // to be listed at its full size (it is made before it is sized), then
    // for the program. -noreset: a server resets when its last client (the
    // probing xwininfo) leaves and refuses connections meanwhile, which the
    // program could meet as it starts.
    std::string script = tmp.file("run.sh");
    WriteTextFile(script,
                  "Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>\"$3\" 2>/dev/null & xpid=$!\n"
                  "for i in $(seq 1 600); do [ \"$(wc -l < \"$3\")\" -ge 1 ] && break; sleep 0.05; done\n"
                  "export DISPLAY=:$(head -n1 \"$3\")\n"
                  "for i in $(seq 1 600); do xwininfo -root >/dev/null 2>&1 && break; sleep 0.05; done\n"
                  "TARNELLO_BACKEND=x11 TARNELLO_EXIT_AFTER_MS=4000 \"$1\" & pid=$!\n"
                  "for i in $(seq 1 300); do\n"
                  "  xwininfo -root -tree > \"$2\" 2>/dev/null\n"
                  "  grep '\"Tarnello\"' \"$2\" | grep -Eq ' [0-9]{3,}x[0-9]{3,}\\+' && break\n"
                  "  sleep 0.05\n"
                  "done\n"
                  "wait $pid; rc=$?\n"
                  "kill $xpid; wait $xpid 2>/dev/null\n"
                  "exit $rc\n");
    std::string cmd = "sh '" + script + "' '" + program + "' '" + out + "' '" + tmp.file("display") + "' 2>&1";
    int status = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    std::string windows = ReadTextFile(out);
    EXPECT_NE(windows.find("\"Tarnello\""), std::string::npos) << windows;
    // The main window at its full size (hundreds of pixels each way).
    EXPECT_TRUE(std::regex_search(windows, std::regex("\"Tarnello\".* [0-9]{3,}x[0-9]{3,}\\+"))) << windows;

    // A forced back-end that cannot start is a clear error.
    std::string bad = "TARNELLO_BACKEND=wayland '" + program + "' 2>&1";
    status = std::system(bad.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_NE(WEXITSTATUS(status), 0);
}

TEST_F(X11Test, HotKeysAreGrabbedOnTheRootAndArriveAsWmHotKey)
{
    HWND wnd = Top("Hot keys", 300, 560, 120, 80, WS_POPUP);
    ShowWindow(wnd, SW_SHOW);
    ASSERT_TRUE(PumpUntil([&] { return B->XWindowOf(wnd) != 0; }));
    // Another program holds Ctrl+Alt+D: our grab of it is refused.
    Window root = DefaultRootWindow(Peer);
    const KeyCode d = XKeysymToKeycode(Peer, XK_d);
    XGrabKey(Peer, d, ControlMask | Mod1Mask, root, True, GrabModeAsync, GrabModeAsync);
    XSync(Peer, False);
    EXPECT_TRUE(RegisterHotKey(wnd, 1, MOD_ALT | MOD_CONTROL, 'P'));
    EXPECT_FALSE(RegisterHotKey(wnd, 2, MOD_ALT | MOD_CONTROL, 'D'));
    XUngrabKey(Peer, d, ControlMask | Mod1Mask, root);
    XSync(Peer, False);
    EXPECT_TRUE(RegisterHotKey(wnd, 2, MOD_ALT | MOD_CONTROL, 'D'));

    std::vector<WPARAM> got;
    State.Hook = [&](HWND h, UINT m, WPARAM w, LPARAM, bool*) -> LRESULT {
        if (h == wnd && m == WM_HOTKEY)
            got.push_back(w);
        return 0;
    };
    // A real key press (XTest through xdotool) reaches the grab, with Num Lock too.
    if (std::system("command -v xdotool > /dev/null 2>&1") == 0) {
        ASSERT_EQ(std::system("xdotool key ctrl+alt+p"), 0);
        ASSERT_TRUE(PumpUntil([&] { return got.size() == 1; }));
        ASSERT_EQ(std::system("xdotool key Num_Lock ctrl+alt+d Num_Lock"), 0);
        ASSERT_TRUE(PumpUntil([&] { return got.size() == 2; }));
        EXPECT_EQ(got, (std::vector<WPARAM>{1, 2}));
    }
    EXPECT_TRUE(UnregisterHotKey(wnd, 1));
    EXPECT_TRUE(UnregisterHotKey(wnd, 2));
    // Given back: another program can take it now.
    XGrabKey(Peer, d, ControlMask | Mod1Mask, root, True, GrabModeAsync, GrabModeAsync);
    XSync(Peer, False);
    XUngrabKey(Peer, d, ControlMask | Mod1Mask, root);
    XSync(Peer, False);
    DestroyWindow(wnd);
}

} // namespace

namespace {

// The other side of an XDND drag: a second client's window that offers a
// text/uri-list and answers the target's request for it.
struct TDragSource {
    Display* D = nullptr;
    Window W = 0;
    Atom Enter, Position, StatusMsg, Drop, Finished, Selection, UriList, Copy;
    std::string Offer;

    explicit TDragSource(Display* ADisplay) : D(ADisplay)
    {
        W = XCreateSimpleWindow(D, DefaultRootWindow(D), 0, 0, 10, 10, 0, 0, 0);
        auto atom = [&](const char* n) { return XInternAtom(D, n, False); };
        Enter = atom("XdndEnter");
        Position = atom("XdndPosition");
        StatusMsg = atom("XdndStatus");
        Drop = atom("XdndDrop");
        Finished = atom("XdndFinished");
        Selection = atom("XdndSelection");
        UriList = atom("text/uri-list");
        Copy = atom("XdndActionCopy");
        XSetSelectionOwner(D, Selection, W, CurrentTime);
        XSync(D, False);
    }
    ~TDragSource() { XDestroyWindow(D, W); }
    void Send(Window To, Atom Type, long L1, long L2, long L3 = 0, long L4 = 0)
    {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = To;
        e.xclient.message_type = Type;
        e.xclient.format = 32;
        e.xclient.data.l[0] = static_cast<long>(W);
        e.xclient.data.l[1] = L1;
        e.xclient.data.l[2] = L2;
        e.xclient.data.l[3] = L3;
        e.xclient.data.l[4] = L4;
        XSendEvent(D, To, False, NoEventMask, &e);
        XSync(D, False);
    }
    // Answers requests for the list; the next XdndStatus or XdndFinished
    // message, or none yet.
    bool Serve(XClientMessageEvent& Reply)
    {
        while (XPending(D)) {
            XEvent e;
            XNextEvent(D, &e);
            if (e.type == SelectionRequest) {
                const XSelectionRequestEvent& r = e.xselectionrequest;
                XEvent n{};
                n.xselection.type = SelectionNotify;
                n.xselection.requestor = r.requestor;
                n.xselection.selection = r.selection;
                n.xselection.target = r.target;
                n.xselection.time = r.time;
                n.xselection.property = None;
                if (r.target == UriList) {
                    XChangeProperty(D, r.requestor, r.property, UriList, 8, PropModeReplace,
                                    reinterpret_cast<const unsigned char*>(Offer.data()), static_cast<int>(Offer.size()));
                    n.xselection.property = r.property;
                }
                XSendEvent(D, r.requestor, False, NoEventMask, &n);
                XSync(D, False);
            } else if (e.type == ClientMessage &&
                       (e.xclient.message_type == StatusMsg || e.xclient.message_type == Finished)) {
                Reply = e.xclient;
                return true;
            }
        }
        return false;
    }
};

}  // namespace

TEST(X11FileUris, LocalFilesAreDecodedAndOthersLeftOut)
{
    const std::vector<std::string> files = FileUrisToPaths(
        "# a comment\r\nfile:///videos/a%20clip.mp4\r\nfile://localhost/videos/b%C3%A9.mkv\r\n"
        "file://otherhost/videos/c.mp4\r\nhttp://example.org/d.mp4\r\nfile:///bad%2\r\nfile:///zero%00byte\r\n"
        "file:/plain/e.avi\n");
    EXPECT_EQ(files, (std::vector<std::string>{"/videos/a clip.mp4", "/videos/b\xC3\xA9.mkv", "/plain/e.avi"}));
    EXPECT_TRUE(FileUrisToPaths("").empty());
}

TEST_F(X11Test, FilesDraggedFromAnotherClientArriveAsWmDropFiles)
{
    HWND target = Top("Drop target", 700, 650, 200, 150, WS_POPUP);
    HWND refusing = Top("No drops", 940, 650, 120, 150, WS_POPUP);
    DragAcceptFiles(target, TRUE_);
    std::vector<std::string> dropped;
    int drops = 0;
    State.Hook = [&](HWND h, UINT m, WPARAM w, LPARAM, bool* handled) -> LRESULT {
        if (m != WM_DROPFILES || h != target)
            return 0;
        ++drops;
        HDROP d = reinterpret_cast<HDROP>(w);
        for (UINT i = 0; i < DragQueryFile(d, 0xFFFFFFFF, nullptr, 0); ++i) {
            std::string name(DragQueryFile(d, i, nullptr, 0) + 1, '\0');
            name.resize(DragQueryFile(d, i, name.data(), static_cast<UINT>(name.size())));
            dropped.push_back(name);
        }
        DragFinish(d);
        *handled = true;
        return 0;
    };
    ShowWindow(target, SW_SHOWNOACTIVATE);
    ShowWindow(refusing, SW_SHOWNOACTIVATE);
    const Window xTarget = B->XWindowOf(target), xRefusing = B->XWindowOf(refusing);
    ASSERT_TRUE(PumpUntil([&] {
        XWindowAttributes a{}, b{};
        XGetWindowAttributes(Peer, xTarget, &a);
        XGetWindowAttributes(Peer, xRefusing, &b);
        return a.map_state == IsViewable && b.map_state == IsViewable;
    }, 10000));
    // Both windows tell other programs they take part in drags.
    Atom type = None;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char* data = nullptr;
    ASSERT_EQ(XGetWindowProperty(Peer, xTarget, XInternAtom(Peer, "XdndAware", False), 0, 1, False, XA_ATOM, &type,
                                 &format, &n, &after, &data), Success);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(*reinterpret_cast<long*>(data), 5);
    XFree(data);

    TDragSource src(Peer);
    src.Offer = "file:///videos/first%20clip.mp4\r\nfile:///videos/second.mkv\r\n";
    XClientMessageEvent reply{};
    auto await = [&] { return PumpUntil([&] { return src.Serve(reply); }, 5000); };

    // Over the window that takes no files the drag is refused.
    src.Send(xRefusing, src.Enter, 5L << 24, static_cast<long>(src.UriList));
    src.Send(xRefusing, src.Position, 0, (960L << 16) | 700, CurrentTime, static_cast<long>(src.Copy));
    ASSERT_TRUE(await());
    EXPECT_EQ(reply.message_type, src.StatusMsg);
    EXPECT_EQ(reply.data.l[1] & 1, 0);
    src.Send(xRefusing, src.Drop, 0, CurrentTime);
    ASSERT_TRUE(await());
    EXPECT_EQ(reply.message_type, src.Finished);
    EXPECT_EQ(reply.data.l[1] & 1, 0);

    // Over the accepting window: accepted, fetched and delivered.
    src.Send(xTarget, src.Enter, 5L << 24, static_cast<long>(src.UriList));
    src.Send(xTarget, src.Position, 0, (750L << 16) | 700, CurrentTime, static_cast<long>(src.Copy));
    ASSERT_TRUE(await());
    EXPECT_EQ(reply.message_type, src.StatusMsg);
    EXPECT_EQ(reply.data.l[1] & 1, 1);
    EXPECT_EQ(static_cast<Window>(reply.data.l[0]), xTarget);
    src.Send(xTarget, src.Drop, 0, CurrentTime);
    ASSERT_TRUE(await());
    EXPECT_EQ(reply.message_type, src.Finished);
    EXPECT_EQ(reply.data.l[1] & 1, 1);
    ASSERT_TRUE(PumpUntil([&] { return drops > 0; }));
    EXPECT_EQ(drops, 1);
    EXPECT_EQ(dropped, (std::vector<std::string>{"/videos/first clip.mp4", "/videos/second.mkv"}));
    State.Hook = nullptr;
}
