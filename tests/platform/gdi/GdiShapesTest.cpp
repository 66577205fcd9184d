#include "support/GdiTestSurface.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr DWORD Black = 0x00000000, White = 0x00FFFFFF, Red = 0x00FF0000;

std::string RowPattern(const TTestSurface& s, int y, int from, int to, DWORD on, DWORD bk)
{
    std::string out;
    for (int x = from; x < to; ++x)
        out += s.Px(x, y) == on ? '#' : s.Px(x, y) == bk ? '-' : '.';
    return out;
}

std::string Runs(std::initializer_list<int> runs, int length)
{
    std::string out;
    while (static_cast<int>(out.size()) < length) {
        bool on = true;
        for (int r : runs) {
            out += std::string(static_cast<std::size_t>(r), on ? '#' : '-');
            on = !on;
        }
    }
    return out.substr(0, static_cast<std::size_t>(length));
}

int Count(const TTestSurface& s, DWORD v)
{
    int n = 0;
    for (int y = 0; y < s.Height; ++y)
        for (int x = 0; x < s.Width; ++x)
            n += s.Px(x, y) == v;
    return n;
}

TEST(GdiShapes, PenStylesAlongALine)
{
    struct TCase {
        const char* Name;
        int Style;
        std::string Expected;  // 40 pixels, then the untouched end point
    } cases[] = {
        {"solid", PS_SOLID, std::string(40, '#')},
        {"dash", PS_DASH, Runs({18, 6}, 40)},
        {"dot", PS_DOT, Runs({3, 3}, 40)},
        {"dash dot", PS_DASHDOT, Runs({9, 6, 3, 6}, 40)},
        {"dash dot dot", PS_DASHDOTDOT, Runs({9, 3, 3, 3, 3, 3}, 40)},
    };
    for (const auto& c : cases) {
        for (int mode : {TRANSPARENT, OPAQUE}) {
            SCOPED_TRACE(testing::Message() << c.Name << (mode == OPAQUE ? " opaque" : " transparent"));
            TTestSurface s(48, 1);
            s.Fill(Red);
            HPEN pen = CreatePen(c.Style, 1, RGB(255, 255, 255));
            HGDIOBJ old = SelectObject(s.DC, pen);
            SetBkMode(s.DC, mode);
            SetBkColor(s.DC, RGB(0, 0, 0));
            MoveToEx(s.DC, 2, 0, nullptr);
            LineTo(s.DC, 42, 0);
            std::string expected = c.Expected;
            if (mode == TRANSPARENT)
                for (char& ch : expected)
                    if (ch == '-')
                        ch = '.';
            EXPECT_EQ(RowPattern(s, 0, 2, 43, White, Black), expected + ".");
            POINT pos;
            GetCurrentPositionEx(s.DC, &pos);
            EXPECT_EQ(pos, (POINT{42, 0}));
            SelectObject(s.DC, old);
            DeleteObject(pen);
        }
    }
    // Wide cosmetic dashes become solid.
    HPEN wide = CreatePen(PS_DOT, 3, 0);
    LOGPEN lp;
    GetObject(wide, sizeof lp, &lp);
    EXPECT_EQ(lp.lopnStyle, PS_SOLID);
    DeleteObject(wide);
}

TEST(GdiShapes, BinaryModes)
{
    struct TCase {
        int Rop2;
        DWORD Before, Pen, After;
    } cases[] = {
        {R2_COPYPEN, 0x00123456, 0x00FF00FF, 0x00FF00FF},
        {R2_XORPEN, 0x00123456, 0x00FFFFFF, 0xFFEDCBA9 & 0x00FFFFFF},
        {R2_NOTXORPEN, 0x00123456, 0x00FFFFFF, 0xFF123456},
        {R2_NOT, 0x00123456, 0x00000000, 0xFFEDCBA9},
        {R2_NOP, 0x00123456, 0x00FFFFFF, 0x00123456},
        {R2_BLACK, 0x00123456, 0x00FFFFFF, 0x00000000},
        {R2_MASKPEN, 0x00123456, 0x0000FF00, 0x00003400},
        {R2_MERGEPEN, 0x00123456, 0x0000FF00, 0x0012FF56},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.Rop2);
        TTestSurface s(4, 1);
        s.Fill(c.Before);
        HPEN pen = CreatePen(PS_SOLID, 1, PixelToColorRef(c.Pen));
        HGDIOBJ old = SelectObject(s.DC, pen);
        SetROP2(s.DC, c.Rop2);
        MoveToEx(s.DC, 0, 0, nullptr);
        LineTo(s.DC, 3, 0);
        EXPECT_EQ(s.Px(1, 0), c.After);
        EXPECT_EQ(s.Px(3, 0), c.Before);
        SelectObject(s.DC, old);
        DeleteObject(pen);
    }
    // An XOR polyline touches each pixel once and a second pass restores.
    TTestSurface s(8, 8);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
    HGDIOBJ old = SelectObject(s.DC, pen);
    SetROP2(s.DC, R2_XORPEN);
    const POINT pts[] = {{0, 0}, {5, 0}, {5, 5}, {0, 5}};
    Polyline(s.DC, pts, 4);
    EXPECT_EQ(Count(s, White), 15);
    Polyline(s.DC, pts, 4);
    EXPECT_EQ(Count(s, Black), 64);
    // A wide XOR line is painted once even where its pieces overlap.
    HPEN widePen = CreatePen(PS_SOLID, 5, RGB(255, 255, 255));
    SelectObject(s.DC, widePen);
    Polyline(s.DC, pts, 4);
    EXPECT_EQ(Count(s, Black) + Count(s, White), 64);
    Polyline(s.DC, pts, 4);
    EXPECT_EQ(Count(s, Black), 64);
    SelectObject(s.DC, old);
    DeleteObject(pen);
    DeleteObject(widePen);
}

TEST(GdiShapes, GeometricPenEnds)
{
    struct TCase {
        DWORD Cap;
        int Pixels;
    } cases[] = {{PS_ENDCAP_FLAT, 40}, {PS_ENDCAP_SQUARE, 56}};
    for (const auto& c : cases) {
        TTestSurface s(20, 20);
        LOGBRUSH lb{BS_SOLID, RGB(255, 255, 255), 0};
        HPEN pen = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | c.Cap, 4, &lb, 0, nullptr);
        ASSERT_NE(pen, nullptr);
        EXPECT_EQ(GetObjectType(pen), static_cast<DWORD>(OBJ_EXTPEN));
        HGDIOBJ old = SelectObject(s.DC, pen);
        MoveToEx(s.DC, 2, 10, nullptr);
        LineTo(s.DC, 12, 10);
        EXPECT_EQ(Count(s, White), c.Pixels) << c.Cap;
        if (c.Cap == PS_ENDCAP_FLAT) {
            EXPECT_EQ(s.Px(2, 8), White);
            EXPECT_EQ(s.Px(11, 11), White);
            EXPECT_EQ(s.Px(1, 10), Black);
            EXPECT_EQ(s.Px(12, 10), Black);
        }
        SelectObject(s.DC, old);
        DeleteObject(pen);
    }
    LOGBRUSH lb{BS_SOLID, 0, 0};
    EXPECT_EQ(ExtCreatePen(PS_COSMETIC | PS_SOLID, 3, &lb, 0, nullptr), nullptr);
}

TEST(GdiShapes, RectanglesAndEllipses)
{
    TTestSurface s(8, 8);
    s.Fill(Red);
    Rectangle(s.DC, 1, 1, 6, 6);  // black pen, white brush
    EXPECT_EQ(RowPattern(s, 1, 0, 8, Black, White), ".#####..");
    EXPECT_EQ(RowPattern(s, 3, 0, 8, Black, White), ".#---#..");
    EXPECT_EQ(RowPattern(s, 5, 0, 8, Black, White), ".#####..");
    EXPECT_EQ(s.Px(3, 6), Red);

    // Without a pen the filled area is one pixel smaller each way.
    s.Fill(Red);
    SelectObject(s.DC, GetStockObject(NULL_PEN));
    Rectangle(s.DC, 1, 1, 6, 6);
    EXPECT_EQ(Count(s, White), 16);
    SelectObject(s.DC, GetStockObject(BLACK_PEN));

    // A hollow brush leaves the inside alone.
    s.Fill(Red);
    SelectObject(s.DC, GetStockObject(HOLLOW_BRUSH));
    Rectangle(s.DC, 0, 0, 8, 8);
    EXPECT_EQ(Count(s, Black), 28);
    EXPECT_EQ(Count(s, Red), 36);
    SelectObject(s.DC, GetStockObject(WHITE_BRUSH));

    TTestSurface e(21, 11);
    e.Fill(Red);
    Ellipse(e.DC, 0, 0, 21, 11);
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 21; ++x)
            EXPECT_EQ(e.Px(x, y), e.Px(20 - x, 10 - y)) << x << "," << y;
    EXPECT_EQ(e.Px(0, 0), Red);
    EXPECT_EQ(e.Px(0, 5), Black);
    EXPECT_EQ(e.Px(10, 0), Black);
    EXPECT_EQ(e.Px(10, 5), White);

    TTestSurface r(10, 10);
    r.Fill(Red);
    RoundRect(r.DC, 0, 0, 10, 10, 6, 6);
    EXPECT_EQ(r.Px(0, 0), Red);
    EXPECT_EQ(r.Px(5, 0), Black);
    EXPECT_EQ(r.Px(5, 5), White);
}

TEST(GdiShapes, PolygonFillRules)
{
    // A five-pointed star drawn in one stroke: its centre is inside only
    // under the winding rule.
    const POINT star[] = {{10, 0}, {16, 19}, {0, 7}, {20, 7}, {4, 19}};
    for (int mode : {ALTERNATE, WINDING}) {
        TTestSurface s(21, 21);
        s.Fill(Red);
        SelectObject(s.DC, GetStockObject(NULL_PEN));
        SetPolyFillMode(s.DC, mode);
        ASSERT_TRUE(Polygon(s.DC, star, 5));
        EXPECT_EQ(s.Px(10, 10) == White, mode == WINDING);
        EXPECT_EQ(s.Px(10, 3), White);
        EXPECT_EQ(s.Px(0, 20), Red);
    }
    TTestSurface t(10, 10);
    const POINT tri[] = {{0, 0}, {8, 0}, {0, 8}};
    SelectObject(t.DC, GetStockObject(NULL_PEN));
    Polygon(t.DC, tri, 3);
    EXPECT_EQ(Count(t, White), 28);  // pixel centres inside: 7 + 6 + ... + 1
    EXPECT_FALSE(Polygon(t.DC, tri, 1));
}

TEST(GdiShapes, RectFillsAndFrames)
{
    TTestSurface s(6, 6);
    SetViewportOrgEx(s.DC, 1, 1, nullptr);
    RECT r{0, 0, 3, 3};
    EXPECT_EQ(FillRect(s.DC, &r, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)), 1);
    EXPECT_EQ(Count(s, White), 9);
    EXPECT_EQ(s.Px(1, 1), White);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT big{-1, -1, 5, 5};
    FrameRect(s.DC, &big, red);
    EXPECT_EQ(Count(s, Red), 20);
    InvertRect(s.DC, &r);
    EXPECT_EQ(s.Px(2, 2), 0xFF000000u);

    // A focus frame inverts every other pixel; drawing it again restores.
    TTestSurface f(6, 6);
    RECT fr{0, 0, 6, 6};
    DrawFocusRect(f.DC, &fr);
    EXPECT_EQ(Count(f, White), 10);
    EXPECT_EQ(f.Px(0, 0), White);
    EXPECT_EQ(f.Px(1, 0), Black);
    DrawFocusRect(f.DC, &fr);
    EXPECT_EQ(Count(f, Black), 36);

    // Regions in logical units follow the origins.
    TTestSurface g(8, 8);
    SetViewportOrgEx(g.DC, 2, 2, nullptr);
    HRGN rgn = CreateRectRgn(0, 0, 4, 4);
    FillRgn(g.DC, rgn, red);
    EXPECT_EQ(Count(g, Red), 16);
    EXPECT_EQ(g.Px(2, 2), Red);
    HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    FrameRgn(g.DC, rgn, white, 1, 1);
    EXPECT_EQ(Count(g, White), 12);
    EXPECT_EQ(Count(g, Red), 4);
    InvertRgn(g.DC, rgn);
    EXPECT_EQ(Count(g, 0xFF000000u), 12);
    EXPECT_FALSE(FillRgn(g.DC, nullptr, red));
    EXPECT_EQ(FillRect(g.DC, &r, nullptr), 0);
    DeleteObject(rgn);
    DeleteObject(red);
}

} // namespace
