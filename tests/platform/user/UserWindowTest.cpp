// Window system: message order, queue priorities, timers, painting, the
// move loop, hit testing, regions, layered windows, destruction, threads.
#include "platform/rtl/Clock.h"
#include "platform/rtl/Threads.h"
#include "tests/support/WindowTestSupport.h"

#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

using wintest::ScreenAt;

class UserTest : public wintest::TWindowTest {};

void Fill(HDC dc, const RECT& r, COLORREF c)
{
    HBRUSH b = CreateSolidBrush(c);
    HGDIOBJ old = SelectObject(dc, b);
    PatBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, PATCOPY);
    SelectObject(dc, old);
    DeleteObject(b);
}

} // namespace

TEST_F(UserTest, ShowAndActivationMessageOrder)
{
    HWND a = Top("A", 10, 10, 200, 150);
    ASSERT_TRUE(a);
    State.Watch = {WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_ACTIVATEAPP, WM_NCACTIVATE,
                 WM_ACTIVATE, WM_SETFOCUS, WM_KILLFOCUS, WM_NCPAINT, WM_ERASEBKGND};
    ShowWindow(a, SW_SHOW);
    EXPECT_EQ(Log(), "A:SHOWWINDOW A:POSCHANGING A:ACTIVATEAPP A:NCACTIVATE A:ACTIVATE A:SETFOCUS A:NCPAINT "
                        "A:ERASEBKGND A:POSCHANGED");
    EXPECT_EQ(GetActiveWindow(), a);
    EXPECT_EQ(GetFocus(), a);

    HWND b = Top("B", 300, 10, 200, 150);
    State.Lines.clear();
    State.Watch = {WM_NCACTIVATE, WM_ACTIVATE, WM_SETFOCUS, WM_KILLFOCUS, WM_ACTIVATEAPP};
    ShowWindow(b, SW_SHOW);
    // Deactivation before activation; focus moves last.
    EXPECT_EQ(Log(), "A:NCACTIVATE A:ACTIVATE B:NCACTIVATE B:ACTIVATE A:KILLFOCUS B:SETFOCUS");

    // A non-activating show leaves activation alone.
    HWND p = Top("P", 50, 50, 40, 40, WS_POPUP);
    State.Lines.clear();
    ShowWindow(p, SW_SHOWNA);
    EXPECT_EQ(Log(), "");
    EXPECT_EQ(GetActiveWindow(), b);
}

TEST_F(UserTest, ClickActivationAndMouseActivateNoActivate)
{
    HWND a = Top("A", 10, 10, 200, 150, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND b = Top("B", 300, 10, 200, 150, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    ASSERT_EQ(GetActiveWindow(), b);
    HeadlessProcessMessages();

    struct TCase {
        LRESULT Answer;
        bool Activates;
        bool Delivered;
    } cases[] = {{MA_ACTIVATE, true, true}, {MA_NOACTIVATE, false, true}, {MA_NOACTIVATEANDEAT, false, false},
                 {MA_ACTIVATEANDEAT, true, false}};
    for (const TCase& c : cases) {
        SetActiveWindow(b);
        HeadlessProcessMessages();
        State.Hook = [&](HWND h, UINT m, WPARAM, LPARAM, bool* handled) -> LRESULT {
            if (h == a && m == WM_MOUSEACTIVATE) {
                *handled = true;
                return c.Answer;
            }
            return 0;
        };
        State.Lines.clear();
        State.Watch = {WM_MOUSEACTIVATE, WM_ACTIVATE, WM_LBUTTONDOWN};
        HeadlessClick(100, 100);
        HeadlessProcessMessages();
        EXPECT_EQ(GetActiveWindow() == a, c.Activates) << c.Answer;
        bool delivered = Log().find("A:LBUTTONDOWN") != std::string::npos;
        EXPECT_EQ(delivered, c.Delivered) << c.Answer << " " << Log();
        EXPECT_EQ(State.Lines.front(), "A:MOUSEACTIVATE");
        HeadlessClick(5, 900);  // far away from both, resets the double click
        HeadlessProcessMessages();
    }
}

TEST_F(UserTest, SentBeforePostedAndPaintTimerOnlyWhenIdle)
{
    TFakeClock clock;
    TClockInstaller install(clock);
    HWND a = Top("A", 10, 10, 200, 150, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HeadlessProcessMessages();
    State.Watch = {WM_USER, WM_USER + 1, WM_PAINT, WM_TIMER};
    SetTimer(a, 1, 50, nullptr);
    InvalidateRect(a, nullptr, TRUE_);
    clock.Advance(60);
    PostMessage(a, WM_USER, 0, 0);
    SendMessage(a, WM_USER + 1, 0, 0);
    EXPECT_EQ(Log(), "A:USER1");
    HeadlessProcessMessages();
    EXPECT_EQ(Log(), "A:USER1 A:USER A:PAINT A:TIMER");
}

TEST_F(UserTest, TimersCoalesceAndHaveAMinimum)
{
    TFakeClock clock;
    TClockInstaller install(clock);
    HWND a = Top("A", 10, 10, 100, 100);
    struct TCase {
        UINT Interval;
        int Advance;
        int Ticks;
    } cases[] = {{0, 9, 0}, {0, 10, 1}, {5, 10, 1}, {100, 99, 0}, {100, 1000, 1}, {20, 20, 1}};
    for (const TCase& c : cases) {
        SetTimer(a, 7, c.Interval, nullptr);
        State.Lines.clear();
        State.Watch = {WM_TIMER};
        clock.Advance(static_cast<std::uint64_t>(c.Advance));
        HeadlessProcessMessages();
        EXPECT_EQ(static_cast<int>(State.Lines.size()), c.Ticks) << c.Interval << " " << c.Advance;
        KillTimer(a, 7);
    }
    // After a coalesced tick the next comes one interval later.
    SetTimer(a, 8, 100, nullptr);
    clock.Advance(350);
    State.Lines.clear();
    HeadlessProcessMessages();
    EXPECT_EQ(State.Lines.size(), 1u);
    clock.Advance(99);
    HeadlessProcessMessages();
    EXPECT_EQ(State.Lines.size(), 1u);
    clock.Advance(1);
    HeadlessProcessMessages();
    EXPECT_EQ(State.Lines.size(), 2u);
}

TEST_F(UserTest, MoveLoopSequenceAndClickWithoutMove)
{
    for (BOOL full : {TRUE_, FALSE_}) {
        SystemParametersInfo(SPI_SETDRAGFULLWINDOWS, static_cast<UINT>(full), nullptr, 0);
        HWND a = Top("A", 100, 100, 300, 200, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
        HeadlessProcessMessages();
        State.Lines.clear();
        State.Watch = {WM_NCLBUTTONDOWN, WM_SYSCOMMAND, WM_ENTERSIZEMOVE, WM_MOVING, WM_WINDOWPOSCHANGING,
                     WM_WINDOWPOSCHANGED, WM_MOVE, WM_CAPTURECHANGED, WM_EXITSIZEMOVE};
        // The caption is 19 pixels below the 4-pixel frame.
        HeadlessMouseMove(200, 110);
        HeadlessMouseDown();
        HeadlessMouseMove(230, 140);
        HeadlessMouseUp();
        HeadlessProcessMessages();
        RECT r;
        GetWindowRect(a, &r);
        EXPECT_EQ(r.left, 130);
        EXPECT_EQ(r.top, 130);
        if (full)
            EXPECT_EQ(Log(), "A:NCLBUTTONDOWN A:SYSCOMMAND A:ENTERSIZEMOVE A:MOVING A:POSCHANGING A:POSCHANGED "
                                "A:MOVE A:CAPTURECHANGED A:EXITSIZEMOVE");
        else
            EXPECT_EQ(Log(), "A:NCLBUTTONDOWN A:SYSCOMMAND A:ENTERSIZEMOVE A:MOVING A:CAPTURECHANGED "
                                "A:POSCHANGING A:POSCHANGED A:MOVE A:EXITSIZEMOVE");
        // A click without movement moves nothing.
        State.Lines.clear();
        HeadlessClick(260, 140);
        HeadlessProcessMessages();
        GetWindowRect(a, &r);
        EXPECT_EQ(r.left, 130);
        EXPECT_EQ(Log(), "A:NCLBUTTONDOWN A:SYSCOMMAND A:ENTERSIZEMOVE A:CAPTURECHANGED A:EXITSIZEMOVE");
        DestroyWindow(a);
        HeadlessProcessMessages();
    }
    SystemParametersInfo(SPI_SETDRAGFULLWINDOWS, 1, nullptr, 0);
}

TEST_F(UserTest, HitTestTransparentPassesToWindowBeneath)
{
    HWND a = Top("A", 0, 0, 300, 300, WS_POPUP | WS_VISIBLE);
    HWND c1 = Child(a, "C1", 10, 10, 100, 100);
    HWND c2 = Child(a, "C2", 50, 50, 100, 100);
    SetWindowPos(c2, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    bool transparent = false;
    State.Hook = [&](HWND h, UINT m, WPARAM, LPARAM, bool* handled) -> LRESULT {
        if (h == c2 && m == WM_NCHITTEST && transparent) {
            *handled = true;
            return HTTRANSPARENT;
        }
        return 0;
    };
    struct TCase {
        POINT Pt;
        bool Transparent;
        HWND Expect;
    } cases[] = {{{60, 60}, false, c2}, {{60, 60}, true, c1}, {{130, 130}, true, a}, {{20, 20}, true, c1},
                 {{500, 500}, false, nullptr}};
    for (const TCase& c : cases) {
        transparent = c.Transparent;
        EXPECT_EQ(WindowFromPoint(c.Pt), c.Expect) << c.Pt.x;
    }
    transparent = false;
    ShowWindow(c2, SW_HIDE);
    EXPECT_EQ(WindowFromPoint(POINT{60, 60}), c1);
    SetWindowLong(c1, GWL_EXSTYLE, WS_EX_TRANSPARENT);
    EXPECT_EQ(WindowFromPoint(POINT{60, 60}), a);
}

TEST_F(UserTest, PaintOrderAndClippingByStyle)
{
    for (bool clip : {false, true}) {
        HWND a = Top("A", 0, 0, 200, 200, WS_POPUP | (clip ? WS_CLIPCHILDREN : 0));
        Child(a, "C", 50, 50, 50, 50);
        State.Hook = [&](HWND h, UINT m, WPARAM, LPARAM, bool* handled) -> LRESULT {
            if (m == WM_PAINT) {
                *handled = true;
                PAINTSTRUCT ps;
                HDC dc = BeginPaint(h, &ps);
                Fill(dc, RECT{0, 0, 200, 200}, h == a ? RGB(255, 0, 0) : RGB(0, 0, 255));
                EndPaint(h, &ps);
                return 0;
            }
            return 0;
        };
        ShowWindow(a, SW_SHOWNA);
        State.Lines.clear();
        State.Watch = {WM_PAINT};
        HeadlessProcessMessages();
        EXPECT_EQ(Log(), "A:PAINT C:PAINT");
        EXPECT_EQ(ScreenAt(10, 10), RGB(255, 0, 0));
        EXPECT_EQ(ScreenAt(60, 60), RGB(0, 0, 255));
        // Invalidating the parent repaints the child too only without WS_CLIPCHILDREN.
        State.Lines.clear();
        InvalidateRect(a, nullptr, FALSE_);
        HeadlessProcessMessages();
        EXPECT_EQ(Log(), clip ? "A:PAINT" : "A:PAINT C:PAINT");
        EXPECT_EQ(ScreenAt(60, 60), RGB(0, 0, 255));
        // Painting outside BeginPaint through GetDC honours the style too.
        HDC dc = GetDC(a);
        Fill(dc, RECT{0, 0, 200, 200}, RGB(0, 255, 0));
        ReleaseDC(a, dc);
        EXPECT_EQ(ScreenAt(60, 60), clip ? RGB(0, 0, 255) : RGB(0, 255, 0));
        DestroyWindow(a);
        State.Hook = nullptr;
    }
}

TEST_F(UserTest, RegionsAndLayeredWindowsOnTheScreen)
{
    HWND back = Top("Back", 0, 0, 200, 200, WS_POPUP);
    State.Hook = [&](HWND h, UINT m, WPARAM, LPARAM, bool* handled) -> LRESULT {
        if (m == WM_PAINT) {
            *handled = true;
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(h, &ps);
            Fill(dc, RECT{0, 0, 400, 400}, h == back ? RGB(0, 0, 200) : RGB(200, 0, 0));
            EndPaint(h, &ps);
        }
        return 0;
    };
    ShowWindow(back, SW_SHOWNA);
    HWND shaped = Top("Shaped", 0, 0, 100, 100, WS_POPUP);
    SetWindowRgn(shaped, CreateEllipticRgn(0, 0, 100, 100), FALSE_);
    ShowWindow(shaped, SW_SHOWNA);
    HeadlessProcessMessages();
    EXPECT_EQ(ScreenAt(50, 50), RGB(200, 0, 0));
    EXPECT_EQ(ScreenAt(2, 2), RGB(0, 0, 200));  // outside the ellipse
    EXPECT_EQ(WindowFromPoint(POINT{2, 2}), back);
    EXPECT_EQ(WindowFromPoint(POINT{50, 50}), shaped);

    // Constant alpha over what lies beneath.
    HWND glass = Top("Glass", 120, 120, 50, 50, WS_POPUP, WS_EX_LAYERED);
    ShowWindow(glass, SW_SHOWNA);
    HeadlessProcessMessages();
    EXPECT_EQ(ScreenAt(130, 130), RGB(0, 0, 200));  // not shown before its attributes are set
    SetLayeredWindowAttributes(glass, 0, 128, LWA_ALPHA);
    HeadlessProcessMessages();
    COLORREF mixed = ScreenAt(130, 130);
    EXPECT_NEAR(GetRValue(mixed), 100, 2);
    EXPECT_NEAR(GetBValue(mixed), 100, 2);

    // Per-pixel alpha from UpdateLayeredWindow: left half opaque white, right
    // half transparent (premultiplied).
    HWND glow = Top("Glow", 140, 20, 40, 20, WS_POPUP, WS_EX_LAYERED);
    HDC mem = CreateCompatibleDC(nullptr);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = 40;
    bi.bmiHeader.biHeight = -20;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* px = static_cast<DWORD*>(bits);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            px[y * 40 + x] = x < 20 ? 0xFFFFFFFFu : 0u;
    HGDIOBJ old = SelectObject(mem, bmp);
    POINT dst{140, 20}, src{0, 0};
    SIZE size{40, 20};
    BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ShowWindow(glow, SW_SHOWNA);
    ASSERT_TRUE(UpdateLayeredWindow(glow, nullptr, &dst, &size, mem, &src, 0, &bf, ULW_ALPHA));
    EXPECT_EQ(ScreenAt(145, 25), RGB(255, 255, 255));
    EXPECT_EQ(ScreenAt(175, 25), RGB(0, 0, 200));
    EXPECT_EQ(WindowFromPoint(POINT{175, 25}), back);  // clicks pass where it is transparent
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    // GetDC(0) reads the composed screen.
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetPixel(screen, 50, 50), RGB(200, 0, 0));
    ReleaseDC(nullptr, screen);
}

TEST_F(UserTest, DestroyInsideOwnHandlerIsSafe)
{
    HWND a = Top("A", 0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
    HWND c = Child(a, "C", 0, 0, 10, 10);
    bool after = false;
    State.Hook = [&](HWND h, UINT m, WPARAM, LPARAM, bool* handled) -> LRESULT {
        if (h == a && m == WM_USER) {
            *handled = true;
            DestroyWindow(h);
            after = IsWindow(h) == FALSE_;
            // The window is gone, but the handler keeps running safely.
            SendMessage(h, WM_USER + 1, 0, 0);
            return 5;
        }
        return 0;
    };
    State.Watch = {WM_DESTROY, WM_NCDESTROY, WM_USER + 1};
    EXPECT_EQ(SendMessage(a, WM_USER, 0, 0), 5);
    EXPECT_TRUE(after);
    EXPECT_EQ(Log(), "A:DESTROY C:DESTROY C:NCDESTROY A:NCDESTROY");
    EXPECT_FALSE(IsWindow(c));
    EXPECT_FALSE(PostMessage(a, WM_USER, 0, 0));
    EXPECT_EQ(SendMessage(a, WM_USER, 0, 0), 0);
}

TEST_F(UserTest, CrossThreadSendRunsInTheOwnerThread)
{
    HWND a = Top("A", 0, 0, 100, 100, WS_POPUP);
    DWORD handlerThread = 0;
    State.Hook = [&](HWND h, UINT m, WPARAM w, LPARAM, bool* handled) -> LRESULT {
        if (h == a && m == WM_USER) {
            *handled = true;
            handlerThread = GetCurrentThreadId();
            return static_cast<LRESULT>(w * 2);
        }
        return 0;
    };
    State.Watch = {WM_USER + 1};
    LRESULT result = 0;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        result = SendMessage(a, WM_USER, 21, 0);
        PostMessage(a, WM_USER + 1, 0, 0);
        done = true;
    });
    while (!done) {
        MSG m;
        if (MsgWaitForMultipleObjects(0, nullptr, FALSE_, 50, QS_ALLINPUT) == WAIT_OBJECT_0)
            while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE))
                DispatchMessage(&m);
    }
    worker.join();
    EXPECT_EQ(result, 42);
    EXPECT_EQ(handlerThread, GetCurrentThreadId());
    HeadlessProcessMessages();
    EXPECT_EQ(Log(), "A:USER1");
}

TEST_F(UserTest, DoubleClicksNeedTheClassStyleAndTheTime)
{
    TFakeClock clock;
    TClockInstaller install(clock);
    Top("A", 0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
    HeadlessProcessMessages();
    State.Watch = {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK};
    HeadlessClick(20, 20);
    clock.Advance(GetDoubleClickTime());
    HeadlessClick(21, 21);
    clock.Advance(GetDoubleClickTime() + 1);
    HeadlessClick(21, 21);
    HeadlessProcessMessages();
    EXPECT_EQ(Log(), "A:LBUTTONDOWN A:LBUTTONDBLCLK A:LBUTTONDOWN");
}

TEST_F(UserTest, KeysGoToTheFocusAndTranslateToCharacters)
{
    HWND a = Top("A", 0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
    HWND c = Child(a, "C", 0, 0, 10, 10);
    SetFocus(c);
    State.Watch = {WM_KEYDOWN, WM_CHAR};
    HeadlessTypeText("a!");
    HeadlessProcessMessages();
    EXPECT_EQ(Log(), "C:KEYDOWN C:CHAR C:KEYDOWN C:KEYDOWN C:CHAR");
    EXPECT_GE(GetKeyState(VK_SHIFT), 0);
}

TEST_F(UserTest, BadInputIsRefused)
{
    EXPECT_EQ(CreateWindowEx(0, "NoSuchClass", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(CreateWindowEx(0, "LogWnd", "", WS_CHILD, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    HWND stale = reinterpret_cast<HWND>(0x12345678);
    EXPECT_FALSE(IsWindow(stale));
    EXPECT_FALSE(SetWindowPos(stale, nullptr, 0, 0, 1, 1, 0));
    EXPECT_EQ(SendMessage(stale, WM_USER, 0, 0), 0);
    EXPECT_FALSE(DestroyWindow(stale));
    EXPECT_EQ(SetWindowRgn(stale, nullptr, TRUE_), 0);
    std::string error;
    EXPECT_EQ(LoadCursorFromFile("/nonexistent.cur", &error), nullptr);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(RegisterWindowMessage("TaskbarCreated"), RegisterWindowMessage("taskbarcreated"));
    EXPECT_EQ(RegisterWindowMessage(""), 0u);
    // Places and sizes beyond the coordinate range are clamped, not trusted.
    HWND huge = CreateWindowEx(0, "LogWnd", "", WS_POPUP, 2147483000, -2147483000, 2147483647, 2147483647,
                               nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(huge);
    RECT r;
    GetWindowRect(huge, &r);
    EXPECT_EQ(r, (RECT{32767, -32768, 65534, -1}));
    EXPECT_TRUE(SetWindowPos(huge, nullptr, -2147483647, 0, 100000, -5, SWP_NOZORDER | SWP_NOACTIVATE));
    GetWindowRect(huge, &r);
    EXPECT_EQ(r, (RECT{-32768, 0, -1, 0}));
    HeadlessProcessMessages();
    DestroyWindow(huge);
}
