// Window system painting: RedrawWindow flags, sibling clipping, scrolling,
// WM_SETREDRAW and the dirty-rectangle composition of the screen.
#include "support/WindowTestSupport.h"

#include <thread>

using namespace wintest;

namespace {

class UserPaintTest : public TWindowTest {};

} // namespace

TEST_F(UserPaintTest, RedrawWindowFlags)
{
    HWND a = Top("A", 0, 0, 200, 200, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN);
    HWND c = Child(a, "C", 10, 10, 50, 50);
    HeadlessProcessMessages();
    struct TCase {
        UINT Flags;
        const char* Sequence;
    } cases[] = {
        {RDW_INVALIDATE, "A:PAINT"},
        {RDW_INVALIDATE | RDW_ALLCHILDREN, "A:PAINT C:PAINT"},
        {RDW_INVALIDATE | RDW_ERASE, "A:PAINT A:ERASEBKGND"},
        {RDW_INVALIDATE | RDW_FRAME, "A:PAINT A:NCPAINT"},
        {RDW_INTERNALPAINT, "A:PAINT"},
        {RDW_INVALIDATE | RDW_UPDATENOW, "A:PAINT A:NCPAINT"},  // placeholder, replaced below
        {RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW, "A:ERASEBKGND A:PAINT"},
        {RDW_VALIDATE, ""},
    };
    cases[5] = {RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW, "A:PAINT C:PAINT"};
    for (const TCase& tc : cases) {
        Watch({WM_PAINT, WM_ERASEBKGND, WM_NCPAINT});
        RedrawWindow(a, nullptr, nullptr, tc.Flags);
        if (tc.Flags & RDW_VALIDATE)
            State.Lines.clear();
        if (tc.Flags & RDW_UPDATENOW) {
            EXPECT_EQ(Log(), tc.Sequence) << tc.Flags;  // painted before returning
            State.Lines.clear();
        }
        HeadlessProcessMessages();
        if (!(tc.Flags & RDW_UPDATENOW))
            EXPECT_EQ(Log(), tc.Sequence) << tc.Flags;
        else
            EXPECT_EQ(Log(), "") << tc.Flags;
    }
    // Validation removes a pending update.
    Watch({WM_PAINT});
    InvalidateRect(a, nullptr, FALSE_);
    ValidateRect(a, nullptr);
    HeadlessProcessMessages();
    EXPECT_EQ(Log(), "");
    (void)c;
}

TEST_F(UserPaintTest, SiblingsClipOnlyWithClipSiblings)
{
    for (bool clipSiblings : {false, true}) {
        HWND a = Top("A", 0, 0, 200, 200, WS_POPUP);
        DWORD s = clipSiblings ? WS_CLIPSIBLINGS : 0;
        HWND low = Child(a, "Low", 0, 0, 100, 100, s);
        HWND high = Child(a, "High", 50, 50, 100, 100, s);
        SetWindowPos(high, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        PaintSolid([&](HWND h) { return h == a ? RGB(10, 10, 10) : h == low ? RGB(200, 0, 0) : RGB(0, 200, 0); });
        ShowWindow(a, SW_SHOWNA);
        HeadlessProcessMessages();
        // Siblings paint front to back, so without clipping the one behind
        // ends up drawn over the overlap.
        EXPECT_EQ(ScreenAt(75, 75), clipSiblings ? RGB(0, 200, 0) : RGB(200, 0, 0));
        RedrawWindow(high, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        EXPECT_EQ(ScreenAt(75, 75), RGB(0, 200, 0));
        // Repainting the lower sibling alone draws over the upper one
        // unless it clips its siblings.
        RedrawWindow(low, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        EXPECT_EQ(ScreenAt(75, 75), clipSiblings ? RGB(0, 200, 0) : RGB(200, 0, 0));
        EXPECT_EQ(ScreenAt(25, 25), RGB(200, 0, 0));
        DestroyWindow(a);
    }
}

TEST_F(UserPaintTest, ScrollWindowExMovesPixelsAndInvalidatesTheRest)
{
    HWND a = Top("A", 0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
    HeadlessProcessMessages();
    State.Hook = nullptr;
    HDC dc = GetDC(a);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    HGDIOBJ old = SelectObject(dc, red);
    PatBlt(dc, 0, 0, 100, 10, PATCOPY);
    SelectObject(dc, old);
    DeleteObject(red);
    ReleaseDC(a, dc);
    HRGN update = CreateRectRgn(0, 0, 0, 0);
    RECT ur;
    ScrollWindowEx(a, 0, 20, nullptr, nullptr, update, &ur, SW_INVALIDATE);
    EXPECT_EQ(ScreenAt(50, 25), RGB(255, 0, 0));
    EXPECT_EQ(ur, (RECT{0, 0, 100, 20}));
    RECT pending;
    EXPECT_TRUE(GetUpdateRect(a, &pending, FALSE_));
    EXPECT_EQ(pending, (RECT{0, 0, 100, 20}));
    DeleteObject(update);
}

TEST_F(UserPaintTest, SetRedrawFalseCollectsNoUpdates)
{
    HWND a = Top("A", 0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
    HeadlessProcessMessages();
    Watch({WM_PAINT});
    SendMessage(a, WM_SETREDRAW, FALSE_, 0);
    InvalidateRect(a, nullptr, TRUE_);
    HeadlessProcessMessages();
    EXPECT_EQ(Log(), "");
    SendMessage(a, WM_SETREDRAW, TRUE_, 0);
    RedrawWindow(a, nullptr, nullptr, RDW_INVALIDATE);
    HeadlessProcessMessages();
    EXPECT_EQ(Log(), "A:PAINT");
}

TEST_F(UserPaintTest, OnlyDirtyRectanglesAreComposed)
{
    HWND a = Top("A", 0, 0, 400, 400, WS_POPUP | WS_VISIBLE);
    PaintSolid([](HWND) { return RGB(1, 2, 3); });
    HeadlessProcessMessages();
    HeadlessBackend().ResetComposedPixels();
    RECT r{10, 10, 20, 20};
    InvalidateRect(a, &r, FALSE_);
    HeadlessProcessMessages();
    EXPECT_LE(HeadlessBackend().ComposedPixels(), 100);
    EXPECT_EQ(ScreenAt(15, 15), RGB(1, 2, 3));
    // Moving a top-level window recomposes but does not repaint it.
    Watch({WM_PAINT});
    SetWindowPos(a, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    HeadlessProcessMessages();
    EXPECT_EQ(Log(), "");
    EXPECT_EQ(ScreenAt(115, 115), RGB(1, 2, 3));
    EXPECT_EQ(ScreenAt(50, 50), GetSysColor(COLOR_DESKTOP));
}

TEST_F(UserPaintTest, EraseUsesTheClassBrushAndPaintStructReportsIt)
{
    HWND a = Top("A", 0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
    BOOL fErase = -1;
    RECT paint{};
    State.Hook = [&](HWND, UINT m, WPARAM, LPARAM, bool* handled) -> LRESULT {
        if (m != WM_PAINT)
            return 0;
        *handled = true;
        PAINTSTRUCT ps;
        BeginPaint(a, &ps);
        fErase = ps.fErase;
        paint = ps.rcPaint;
        EndPaint(a, &ps);
        return 0;
    };
    HeadlessProcessMessages();
    RECT r{5, 5, 15, 25};
    InvalidateRect(a, &r, TRUE_);
    HeadlessProcessMessages();
    EXPECT_EQ(fErase, FALSE_);  // the default erase did it
    EXPECT_EQ(paint, r);
    EXPECT_EQ(ScreenAt(10, 10), GetSysColor(COLOR_BTNFACE));
}

TEST_F(UserPaintTest, DrawingThroughAKeptDCShowsWhenIdle)
{
    HWND a = Top("A", 0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
    HeadlessProcessMessages();
    HDC dc = GetDC(a);  // kept open, as a control's canvas does
    HBRUSH b = CreateSolidBrush(RGB(7, 8, 9));
    HGDIOBJ old = SelectObject(dc, b);
    PatBlt(dc, 0, 0, 10, 10, PATCOPY);
    SelectObject(dc, old);
    DeleteObject(b);
    HeadlessProcessMessages();
    EXPECT_EQ(ScreenAt(5, 5), RGB(7, 8, 9));
    ReleaseDC(a, dc);
}

TEST_F(UserPaintTest, NonClientMetricsDescribeTheUiFont)
{
    NONCLIENTMETRICS m;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0));
    EXPECT_STREQ(m.lfMessageFont.lfFaceName, "Segoe UI");
    EXPECT_EQ(m.lfMessageFont.lfHeight, -12);
    NONCLIENTMETRICS tooSmall;
    tooSmall.cbSize = 8;
    EXPECT_FALSE(SystemParametersInfo(SPI_GETNONCLIENTMETRICS, 8, &tooSmall, 0));
    EXPECT_FALSE(SystemParametersInfo(0xFFFF, 0, nullptr, 0));
}

TEST_F(UserPaintTest, AKeptDCFollowsItsWindow)
{
    HWND a = Top("A", 0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
    HWND c = Child(a, "C", 10, 10, 20, 20);
    HeadlessProcessMessages();
    HDC dc = GetDC(c);
    SetWindowPos(a, nullptr, 0, 0, 300, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);  // new surface
    SetWindowPos(c, nullptr, 100, 100, 50, 50, SWP_NOZORDER | SWP_NOACTIVATE);
    HeadlessProcessMessages();
    HBRUSH b = CreateSolidBrush(RGB(5, 6, 7));
    HGDIOBJ old = SelectObject(dc, b);
    PatBlt(dc, 0, 0, 200, 200, PATCOPY);
    SelectObject(dc, old);
    DeleteObject(b);
    ReleaseDC(c, dc);
    EXPECT_EQ(ScreenAt(140, 140), RGB(5, 6, 7));
    EXPECT_NE(ScreenAt(160, 160), RGB(5, 6, 7));  // clipped to the child's new size
    EXPECT_NE(ScreenAt(15, 15), RGB(5, 6, 7));
}

TEST_F(UserPaintTest, WindowsHoldTheirRegionsAndSurfacesSafely)
{
    int before = GdiLiveObjectCount();
    {
        HWND a = Top("A", 0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
        HRGN first = CreateRectRgn(0, 0, 50, 50);
        ASSERT_TRUE(SetWindowRgn(a, first, TRUE_));
        // A caller that deletes the region it gave away cannot pull it from
        // under the window.
        DeleteObject(first);
        EXPECT_EQ(WindowFromPoint(POINT{70, 70}), nullptr);
        EXPECT_EQ(WindowFromPoint(POINT{20, 20}), a);
        HRGN second = CreateRectRgn(0, 0, 80, 80);
        SetWindowRgn(a, second, TRUE_);
        EXPECT_EQ(WindowFromPoint(POINT{70, 70}), a);
        // A DC kept past its window's end draws nowhere and is released fine.
        HDC dc = GetDC(a);
        SetWindowPos(a, nullptr, 0, 0, 300, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        DestroyWindow(a);
        EXPECT_TRUE(PatBlt(dc, 0, 0, 10, 10, BLACKNESS) || true);
        EXPECT_EQ(ReleaseDC(a, dc), 1);
    }
    HeadlessProcessMessages();
    // The dead surface made for the DC above stays; nothing else does.
    EXPECT_LE(GdiLiveObjectCount(), before + 1);
}

TEST_F(UserPaintTest, OtherThreadsInvalidateThroughTheOwnersQueue)
{
    HWND a = Top("A", 0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
    HeadlessProcessMessages();
    Watch({WM_PAINT});
    std::thread worker([a] {
        RECT r{1, 1, 5, 5};
        InvalidateRect(a, &r, FALSE_);
        InvalidateRect(a, nullptr, FALSE_);
    });
    worker.join();
    RECT pending;
    EXPECT_FALSE(GetUpdateRect(a, &pending, FALSE_));  // not yet carried out
    MSG m;
    EXPECT_FALSE(PeekMessage(&m, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE));  // never seen by the program
    EXPECT_TRUE(GetUpdateRect(a, &pending, FALSE_));
    EXPECT_EQ(pending, (RECT{0, 0, 100, 100}));
    HeadlessProcessMessages();
    EXPECT_EQ(Log(), "A:PAINT");
}
