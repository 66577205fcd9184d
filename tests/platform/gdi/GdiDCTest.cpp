#include "support/GdiTestSurface.h"

#include "platform/gdi/SystemModules.h"

#include <gtest/gtest.h>

namespace {

int CountFilled(const TTestSurface& s, DWORD value)
{
    int n = 0;
    for (int y = 0; y < s.Height; ++y)
        for (int x = 0; x < s.Width; ++x)
            n += s.Px(x, y) == value;
    return n;
}

TEST(GdiDC, OriginsAndClipping)
{
    // Fill the logical rectangle (0,0)-(4,4) under different origin and
    // clip settings; the surface rectangle that was written.
    struct TCase {
        const char* Name;
        POINT WindowOrg, ViewportOrg;
        RECT Clip;  // logical IntersectClipRect, empty for none
        RECT Expected;
    } cases[] = {
        {"plain", {0, 0}, {0, 0}, {}, {0, 0, 4, 4}},
        {"viewport origin", {0, 0}, {3, 2}, {}, {3, 2, 7, 6}},
        {"window origin", {2, 1}, {0, 0}, {}, {0, 0, 2, 3}},
        {"both", {1, 1}, {5, 5}, {}, {4, 4, 8, 8}},
        {"clip", {0, 0}, {0, 0}, {1, 1, 3, 10}, {1, 1, 3, 4}},
        {"clip follows the origin", {0, 0}, {2, 2}, {1, 1, 3, 10}, {3, 3, 5, 6}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TTestSurface s(10, 10);
        SetWindowOrgEx(s.DC, c.WindowOrg.x, c.WindowOrg.y, nullptr);
        SetViewportOrgEx(s.DC, c.ViewportOrg.x, c.ViewportOrg.y, nullptr);
        if (c.Clip.right > c.Clip.left)
            IntersectClipRect(s.DC, c.Clip.left, c.Clip.top, c.Clip.right, c.Clip.bottom);
        PatBlt(s.DC, 0, 0, 4, 4, WHITENESS);
        RECT e = c.Expected;
        EXPECT_EQ(CountFilled(s, 0xFFFFFFFF), (e.right - e.left) * (e.bottom - e.top));
        EXPECT_EQ(s.Px(e.left, e.top), 0xFFFFFFFFu);
        EXPECT_EQ(s.Px(e.right - 1, e.bottom - 1), 0xFFFFFFFFu);
    }
}

TEST(GdiDC, SaveAndRestore)
{
    TTestSurface s(10, 10);
    SetViewportOrgEx(s.DC, 1, 1, nullptr);
    SetTextColor(s.DC, RGB(1, 2, 3));
    int level = SaveDC(s.DC);
    EXPECT_EQ(level, 1);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(9, 9, 9));
    SelectObject(s.DC, pen);
    OffsetViewportOrgEx(s.DC, 2, 2, nullptr);
    ExcludeClipRect(s.DC, 0, 0, 5, 5);
    SetTextColor(s.DC, RGB(4, 5, 6));
    EXPECT_EQ(SaveDC(s.DC), 2);
    IntersectClipRect(s.DC, 5, 5, 6, 6);
    RECT box;
    EXPECT_EQ(GetClipBox(s.DC, &box), SIMPLEREGION);
    // Deleting a selected pen is deferred until no DC state holds it.
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_FALSE(DeleteObject(pen));
    EXPECT_EQ(GetCurrentObject(s.DC, OBJ_PEN), static_cast<HGDIOBJ>(pen));
    MoveToEx(s.DC, 5, 5, nullptr);  // still draws while selected
    LineTo(s.DC, 7, 5);
    EXPECT_EQ(s.Px(8, 8), 0x00090909u);
    EXPECT_EQ(s.Px(9, 8), 0u);  // clipped

    EXPECT_TRUE(RestoreDC(s.DC, -1));
    EXPECT_EQ(GetClipBox(s.DC, &box), COMPLEXREGION);
    EXPECT_TRUE(RestoreDC(s.DC, 1));
    POINT org;
    GetViewportOrgEx(s.DC, &org);
    EXPECT_EQ(org, (POINT{1, 1}));
    EXPECT_EQ(GetTextColor(s.DC), RGB(1, 2, 3));
    EXPECT_EQ(GetCurrentObject(s.DC, OBJ_PEN), GetStockObject(BLACK_PEN));
    EXPECT_EQ(GetObjectType(pen), 0u);
    EXPECT_EQ(GetClipBox(s.DC, &box), SIMPLEREGION);
    EXPECT_EQ(box, (RECT{-1, -1, 9, 9}));
    EXPECT_FALSE(RestoreDC(s.DC, 1));
}

TEST(GdiDC, ClipRegionsInDeviceUnits)
{
    TTestSurface s(10, 10);
    SetViewportOrgEx(s.DC, 4, 0, nullptr);
    HRGN rgn = CreateRectRgn(0, 0, 2, 10);  // device units: the origin does not move it
    EXPECT_EQ(SelectClipRgn(s.DC, rgn), SIMPLEREGION);
    PatBlt(s.DC, -4, 0, 10, 1, WHITENESS);
    EXPECT_EQ(CountFilled(s, 0xFFFFFFFF), 2);
    HRGN got = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(s.DC, got), 1);
    EXPECT_TRUE(EqualRgn(got, rgn));
    HRGN more = CreateRectRgn(5, 0, 6, 10);
    EXPECT_EQ(ExtSelectClipRgn(s.DC, more, RGN_OR), COMPLEXREGION);
    EXPECT_TRUE(PtVisible(s.DC, 1, 0));
    EXPECT_FALSE(PtVisible(s.DC, -2, 0));
    EXPECT_EQ(SelectClipRgn(s.DC, nullptr), SIMPLEREGION);
    EXPECT_EQ(GetClipRgn(s.DC, got), 0);
    EXPECT_EQ(ExtSelectClipRgn(s.DC, nullptr, RGN_AND), ERROR);
    for (HRGN h : {rgn, got, more})
        DeleteObject(h);
}

TEST(GdiDC, SurfaceDCsForTheWindowSystem)
{
    // A DC onto a part of a larger surface: an origin and a visible region.
    TTestSurface screen(20, 10);
    TRegion vis(RECT{0, 0, 5, 5});
    HDC dc = CreateSurfaceDC(screen.Bitmap, POINT{10, 2}, &vis);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_DC));
    PatBlt(dc, -3, -3, 30, 30, WHITENESS);
    EXPECT_EQ(CountFilled(screen, 0xFFFFFFFF), 25);
    EXPECT_EQ(screen.Px(10, 2), 0xFFFFFFFFu);
    EXPECT_EQ(screen.Px(14, 6), 0xFFFFFFFFu);
    RECT box;
    GetClipBox(dc, &box);
    EXPECT_EQ(box, (RECT{0, 0, 5, 5}));
    POINT org;
    EXPECT_TRUE(GetDCOrgEx(dc, &org));
    EXPECT_EQ(org, (POINT{10, 2}));
    // Surface DCs refuse bitmaps; the surface cannot be deleted under them.
    HBITMAP other = CreateBitmap(2, 2, 1, 32, nullptr);
    EXPECT_EQ(SelectObject(dc, other), nullptr);
    BITMAP bm{};
    GetObject(GetCurrentObject(dc, OBJ_BITMAP), sizeof bm, &bm);
    EXPECT_EQ(bm.bmBits, nullptr);  // no pixel memory to write around the clip
    EXPECT_EQ(bm.bmWidth, 1);
    SetSurfaceDCOrigin(dc, POINT{0, 0});
    SetSurfaceDCVisRegion(dc, nullptr);
    GetClipBox(dc, &box);
    EXPECT_EQ(box, (RECT{0, 0, 20, 10}));
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteDC(dc));
    DeleteObject(other);

    HDC screenDC = GetDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(screenDC, HORZRES), GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(ReleaseDC(nullptr, screenDC), 1);
    EXPECT_EQ(GetDC(reinterpret_cast<HWND>(1)), nullptr);  // no window system yet
}

TEST(GdiDC, ObjectsAndHandles)
{
    TTestSurface a(4, 4);
    HDC other = CreateCompatibleDC(nullptr);
    // A bitmap lives in one DC at a time and cannot be deleted while selected.
    EXPECT_EQ(SelectObject(other, a.Bitmap), nullptr);
    EXPECT_FALSE(DeleteObject(a.Bitmap));
    DeleteDC(other);

    struct TStock {
        int Index;
        DWORD Type;
    } stock[] = {{WHITE_BRUSH, OBJ_BRUSH}, {NULL_BRUSH, OBJ_BRUSH}, {BLACK_PEN, OBJ_PEN},
                 {NULL_PEN, OBJ_PEN},       {DEFAULT_GUI_FONT, OBJ_FONT}};
    for (const auto& s : stock) {
        HGDIOBJ h = GetStockObject(s.Index);
        EXPECT_EQ(GetObjectType(h), s.Type) << s.Index;
        EXPECT_TRUE(DeleteObject(h));  // ignored for stock objects
        EXPECT_EQ(GetStockObject(s.Index), h);
    }
    EXPECT_EQ(GetStockObject(HOLLOW_BRUSH), GetStockObject(NULL_BRUSH));
    EXPECT_EQ(GetStockObject(99), nullptr);
    LOGBRUSH lb;
    EXPECT_EQ(GetObject(GetStockObject(WHITE_BRUSH), sizeof lb, &lb), static_cast<int>(sizeof lb));
    EXPECT_EQ(lb.lbColor, RGB(255, 255, 255));

    // Foreign and stale handles are refused everywhere.
    int local = 0;
    EXPECT_EQ(SelectObject(a.DC, &local), nullptr);
    EXPECT_EQ(GetObject(&local, sizeof lb, &lb), 0);
    EXPECT_FALSE(BitBlt(reinterpret_cast<HDC>(&local), 0, 0, 1, 1, a.DC, 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(reinterpret_cast<HDC>(&local), 0, 0), CLR_INVALID);
}

TEST(GdiDC, SystemValues)
{
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(212, 208, 200));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
    EXPECT_EQ(GetSysColor(99), 0u);
    EXPECT_EQ(ColorToRGB(static_cast<TColor>(0xFF000000 | COLOR_BTNSHADOW)), RGB(128, 128, 128));
    EXPECT_EQ(ColorToRGB(0x00123456), 0x00123456u);
    LOGBRUSH lb;
    GetObject(GetSysColorBrush(COLOR_HIGHLIGHT), sizeof lb, &lb);
    EXPECT_EQ(lb.lbColor, GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(GetSysColorBrush(COLOR_HIGHLIGHT), GetSysColorBrush(COLOR_HIGHLIGHT));

    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 17);
    // Put back whatever screen the earlier tests of this process left, not a guess.
    const int oldWidth = GetSystemMetrics(SM_CXSCREEN), oldHeight = GetSystemMetrics(SM_CYSCREEN);
    GdiSetScreenSize(1024, 768);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
    GdiSetScreenSize(oldWidth, oldHeight);

    DWORD v = GetVersion();
    EXPECT_EQ(LOBYTE(v), 6);
    EXPECT_EQ(HIBYTE(LOWORD(v)), 1);
    OSVERSIONINFO info{};
    EXPECT_FALSE(GetVersionEx(&info));  // size not set
    info.dwOSVersionInfoSize = sizeof info;
    EXPECT_TRUE(GetVersionEx(&info));
    EXPECT_EQ(info.dwPlatformId, VER_PLATFORM_WIN32_NT);
    EXPECT_EQ(info.dwMajorVersion, 6u);
    EXPECT_EQ(info.dwMinorVersion, 1u);
}

TEST(GdiDC, RectHelpers)
{
    RECT a{0, 0, 10, 10}, b{5, 5, 15, 15}, empty{3, 3, 3, 8}, r;
    EXPECT_TRUE(IntersectRect(&r, &a, &b));
    EXPECT_EQ(r, (RECT{5, 5, 10, 10}));
    RECT far{20, 20, 30, 30};
    EXPECT_FALSE(IntersectRect(&r, &a, &far));
    EXPECT_EQ(r, (RECT{}));
    EXPECT_TRUE(UnionRect(&r, &a, &empty));
    EXPECT_EQ(r, a);
    EXPECT_TRUE(UnionRect(&r, &a, &b));
    EXPECT_EQ(r, (RECT{0, 0, 15, 15}));
    EXPECT_TRUE(IsRectEmpty(&empty));
    EXPECT_TRUE(PtInRect(&a, POINT{0, 9}));
    EXPECT_FALSE(PtInRect(&a, POINT{10, 0}));
    OffsetRect(&r, -1, 2);
    InflateRect(&r, 1, -1);
    EXPECT_EQ(r, (RECT{-2, 3, 15, 16}));
    EXPECT_TRUE(EqualRect(&r, &r));
    EXPECT_FALSE(IntersectRect(nullptr, &a, &b));
}

} // namespace

namespace {

TEST(GdiDC, SystemModulesByName)
{
    EXPECT_TRUE(SystemModuleExists("MSIMG32.DLL"));
    auto* blend = reinterpret_cast<decltype(&AlphaBlend)>(SystemModuleProc("msimg32.dll", "AlphaBlend"));
    EXPECT_EQ(blend, &AlphaBlend);
    EXPECT_NE(SystemModuleProc("msimg32.dll", "TransparentBlt"), nullptr);
    EXPECT_EQ(SystemModuleProc("msimg32.dll", "GradientFill"), nullptr);
    EXPECT_FALSE(SystemModuleExists("dwmapi.dll"));
    EXPECT_EQ(SystemModuleProc("dwmapi.dll", "DwmIsCompositionEnabled"), nullptr);
    static int marker;
    RegisterSystemModuleProc("test-module.dll", "Entry", &marker);
    EXPECT_EQ(SystemModuleProc("Test-Module.dll", "ENTRY"), &marker);
}

} // namespace
