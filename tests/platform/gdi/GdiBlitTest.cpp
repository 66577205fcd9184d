#include "support/GdiTestSurface.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

namespace {

TEST(GdiBlit, RasterOperations)
{
    const DWORD S = 0x80CC33AA, D = 0x40AA55F0, P = ColorRefToPixel(RGB(0x0F, 0xF0, 0x3C));
    struct TCase {
        const char* Name;
        DWORD Rop;
        DWORD Expected;
    } cases[] = {
        {"SRCCOPY", SRCCOPY, S},         {"SRCPAINT", SRCPAINT, S | D},      {"SRCAND", SRCAND, S & D},
        {"SRCINVERT", SRCINVERT, S ^ D}, {"SRCERASE", SRCERASE, S & ~D},     {"NOTSRCCOPY", NOTSRCCOPY, ~S},
        {"NOTSRCERASE", NOTSRCERASE, ~(S | D)}, {"MERGECOPY", MERGECOPY, S & P}, {"MERGEPAINT", MERGEPAINT, ~S | D},
        {"PATCOPY", PATCOPY, P},         {"PATINVERT", PATINVERT, P ^ D},    {"DSTINVERT", DSTINVERT, ~D},
        {"BLACKNESS", BLACKNESS, 0},     {"WHITENESS", WHITENESS, 0xFFFFFFFF}, {"PATPAINT", PATPAINT, P | ~S | D},
        {"DSna (0x220326)", 0x00220326, D & ~S},
    };
    TTestSurface src(4, 2), dst(4, 2);
    HBRUSH brush = CreateSolidBrush(RGB(0x0F, 0xF0, 0x3C));
    HGDIOBJ old = SelectObject(dst.DC, brush);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        src.Fill(S);
        dst.Fill(D);
        ASSERT_TRUE(BitBlt(dst.DC, 1, 0, 2, 1, src.DC, 0, 0, c.Rop));
        EXPECT_EQ(dst.Px(1, 0), c.Expected);
        EXPECT_EQ(dst.Px(2, 0), c.Expected);
        EXPECT_EQ(dst.Px(0, 0), D);
        EXPECT_EQ(dst.Px(3, 0), D);
        EXPECT_EQ(dst.Px(1, 1), D);
    }
    SelectObject(dst.DC, old);
    DeleteObject(brush);
    // A source operation without a source DC fails; PatBlt refuses them.
    EXPECT_FALSE(BitBlt(dst.DC, 0, 0, 1, 1, nullptr, 0, 0, SRCCOPY));
    EXPECT_FALSE(PatBlt(dst.DC, 0, 0, 1, 1, SRCCOPY));
    EXPECT_TRUE(BitBlt(dst.DC, 0, 0, 1, 1, nullptr, 0, 0, DSTINVERT));
}

TEST(GdiBlit, SixteenAndThirtyTwoBitPaths)
{
    // (source bits, destination bits, source value, expected destination)
    struct TCase {
        int SrcBits, DstBits;
        DWORD Source;
        DWORD Expected;
    } cases[] = {
        {32, 32, 0x807F007F, 0x807F007F},
        {32, 16, 0x00FF8040, 0xFC08},  // 5-6-5: r 31, g 32, b 8
        {16, 32, 0xF81F, 0x00FF00FF},
        {16, 16, 0x1234, 0x1234},
        {24, 32, 0x00102030, 0x00102030},
        {32, 24, 0xFF010203, 0x00010203},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.SrcBits << " -> " << c.DstBits);
        TTestSurface src(3, 2, c.SrcBits), dst(3, 2, c.DstBits);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) {
                BYTE* p = src.Row(y) + x * (c.SrcBits / 8);
                std::memcpy(p, &c.Source, static_cast<std::size_t>(c.SrcBits / 8));
            }
        ASSERT_TRUE(BitBlt(dst.DC, 0, 0, 3, 2, src.DC, 0, 0, SRCCOPY));
        DWORD got = 0;
        std::memcpy(&got, dst.Row(1) + 2 * (c.DstBits / 8), static_cast<std::size_t>(c.DstBits / 8));
        EXPECT_EQ(got, c.Expected);
    }
}

// One row of distinct pixels stretched; the columns the destination took.
std::vector<int> StretchRow(int srcWidth, int x, int width, int xSrc, int widthSrc, int mode = COLORONCOLOR)
{
    TTestSurface src(srcWidth, 1), dst(8, 1);
    for (int i = 0; i < srcWidth; ++i)
        src.Px(i, 0) = static_cast<DWORD>(i + 1);
    dst.Fill(0);
    SetStretchBltMode(dst.DC, mode);
    StretchBlt(dst.DC, x, 0, width, 1, src.DC, xSrc, 0, widthSrc, 1, SRCCOPY);
    std::vector<int> out;
    for (int i = 0; i < 8; ++i)
        out.push_back(static_cast<int>(dst.Px(i, 0)) - 1);
    return out;
}

TEST(GdiBlit, StretchMaps)
{
    struct TCase {
        const char* Name;
        int SrcWidth, X, Width, XSrc, WidthSrc;
        std::vector<int> Columns;  // -1: untouched
    } cases[] = {
        {"enlarge 3 to 5", 3, 0, 5, 0, 3, {0, 0, 1, 1, 2, -1, -1, -1}},
        {"shrink 4 to 2", 4, 1, 2, 0, 4, {-1, 0, 2, -1, -1, -1, -1, -1}},
        {"double", 2, 0, 4, 0, 2, {0, 0, 1, 1, -1, -1, -1, -1}},
        {"mirror by destination", 4, 4, -4, 0, 4, {3, 2, 1, 0, -1, -1, -1, -1}},
        {"mirror by source", 4, 0, 4, 4, -4, {3, 2, 1, 0, -1, -1, -1, -1}},
        {"both negative: no mirror", 4, 4, -4, 4, -4, {0, 1, 2, 3, -1, -1, -1, -1}},
        {"mirror while enlarging", 2, 0, 4, 2, -2, {1, 1, 0, 0, -1, -1, -1, -1}},
        {"source beyond the bitmap", 3, 0, 4, 1, 4, {1, 2, -1, -1, -1, -1, -1, -1}},
        {"off the left of the destination", 4, -2, 4, 0, 4, {2, 3, -1, -1, -1, -1, -1, -1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(StretchRow(c.SrcWidth, c.X, c.Width, c.XSrc, c.WidthSrc), c.Columns);
    }
}

TEST(GdiBlit, HalftoneAveragesWhenShrinking)
{
    TTestSurface src(4, 2), dst(2, 1);
    const DWORD values[2][4] = {{0x00000000, 0x00FF0000, 0x00101010, 0x00303030},
                                {0x00000000, 0x00FF0000, 0x00202020, 0x00404040}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            src.Px(x, y) = values[y][x];
    SetStretchBltMode(dst.DC, HALFTONE);
    ASSERT_TRUE(StretchBlt(dst.DC, 0, 0, 2, 1, src.DC, 0, 0, 4, 2, SRCCOPY));
    EXPECT_EQ(dst.Px(0, 0), 0x00800000u);  // (0 + 255 + 0 + 255) / 4 rounded
    EXPECT_EQ(dst.Px(1, 0), 0x00282828u);
    EXPECT_EQ(GetStretchBltMode(dst.DC), HALFTONE);

    // The classic modes combine the pixels they drop: AND keeps dark, OR
    // keeps light. A new DC starts in BLACKONWHITE.
    struct TCase {
        int Mode;
        DWORD First, Second;
    } cases[] = {{BLACKONWHITE, 0x00000000, 0x00101010}, {WHITEONBLACK, 0x00FF0000, 0x00303030},
                 {COLORONCOLOR, 0x00000000, 0x00101010}};
    TTestSurface fresh(1, 1);
    EXPECT_EQ(GetStretchBltMode(fresh.DC), BLACKONWHITE);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Mode);
        SetStretchBltMode(dst.DC, c.Mode);
        StretchBlt(dst.DC, 0, 0, 2, 1, src.DC, 0, 0, 4, 1, SRCCOPY);
        EXPECT_EQ(dst.Px(0, 0), c.First);
        EXPECT_EQ(dst.Px(1, 0), c.Second);
    }
}

TEST(GdiBlit, AlphaBlendLevels)
{
    const BYTE levels[] = {0, 1, 127, 128, 254, 255};
    const DWORD back = 0xFF204060;
    auto channel = [](DWORD p, int shift) { return static_cast<int>((p >> shift) & 0xFF); };
    for (BYTE a : levels) {
        SCOPED_TRACE(testing::Message() << "alpha " << int(a));
        // Per-pixel alpha, premultiplied source: r = a, g = a / 2, b = 0.
        TTestSurface src(2, 1), dst(2, 1);
        src.Fill((DWORD(a) << 24) | (DWORD(a) << 16) | (DWORD(a / 2) << 8));
        dst.Fill(back);
        BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        ASSERT_TRUE(AlphaBlend(dst.DC, 0, 0, 2, 1, src.DC, 0, 0, 2, 1, bf));
        DWORD s = src.Px(0, 0), got = dst.Px(1, 0);
        for (int shift : {0, 8, 16, 24}) {
            int expect = channel(s, shift) +
                         static_cast<int>(std::lround(channel(back, shift) * (255.0 - a) / 255.0));
            EXPECT_EQ(channel(got, shift), std::min(expect, 255)) << "shift " << shift;
        }
        // Constant alpha over the whole source, no per-pixel alpha.
        TTestSurface c(1, 1);
        c.Fill(0x00FFFFFF);
        dst.Fill(back);
        BLENDFUNCTION cf{AC_SRC_OVER, 0, a, 0};
        ASSERT_TRUE(AlphaBlend(dst.DC, 0, 0, 1, 1, c.DC, 0, 0, 1, 1, cf));
        got = dst.Px(0, 0);
        for (int shift : {0, 8, 16}) {
            int expect = static_cast<int>(std::lround((255.0 * a + channel(back, shift) * (255.0 - a)) / 255.0));
            EXPECT_EQ(channel(got, shift), expect) << "shift " << shift;
        }
    }
}

TEST(GdiBlit, AlphaBlendRefusesBadRequests)
{
    TTestSurface src(4, 4), dst(4, 4);
    BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    EXPECT_FALSE(AlphaBlend(dst.DC, 0, 0, 4, 4, src.DC, 1, 0, 4, 4, bf));    // beyond the source
    EXPECT_FALSE(AlphaBlend(dst.DC, 0, 0, -4, 4, src.DC, 0, 0, 4, 4, bf));   // negative extent
    TTestSurface s24(4, 4, 24);
    EXPECT_FALSE(AlphaBlend(dst.DC, 0, 0, 4, 4, s24.DC, 0, 0, 4, 4, bf));    // per-pixel alpha needs 32 bits
    bf.BlendOp = 1;
    EXPECT_FALSE(AlphaBlend(dst.DC, 0, 0, 4, 4, src.DC, 0, 0, 4, 4, bf));
}

TEST(GdiBlit, TransparentBltSkipsTheKey)
{
    struct TCase {
        int SrcBits;
        int DstWidth;
    } cases[] = {{32, 4}, {16, 4}, {24, 4}, {32, 8}, {16, 8}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.SrcBits << " bits into width " << c.DstWidth);
        TTestSurface src(4, 1, c.SrcBits), dst(c.DstWidth, 1);
        SetPixel(src.DC, 0, 0, RGB(0x7F, 0, 0x7F));
        SetPixel(src.DC, 1, 0, RGB(10, 20, 30));
        SetPixel(src.DC, 2, 0, RGB(0x7F, 0, 0x7F));
        SetPixel(src.DC, 3, 0, RGB(0x7F, 0, 0x80));
        dst.Fill(0x00ABCDEF);
        ASSERT_TRUE(TransparentBlt(dst.DC, 0, 0, c.DstWidth, 1, src.DC, 0, 0, 4, 1, RGB(0x7F, 0, 0x7F)));
        int scale = c.DstWidth / 4;
        for (int x = 0; x < c.DstWidth; ++x) {
            int sx = x / scale;
            if (sx == 0 || sx == 2)
                EXPECT_EQ(dst.Px(x, 0), 0x00ABCDEFu) << x;
            else
                EXPECT_NE(dst.Px(x, 0), 0x00ABCDEFu) << x;
        }
    }
    TTestSurface src(4, 1), dst(4, 1);
    EXPECT_FALSE(TransparentBlt(dst.DC, 0, 0, 4, 1, src.DC, 2, 0, 4, 1, 0));
}

// A 4 x 4 DIB whose pixel value tells its top-down row and column.
struct TNumberedDib {
    std::vector<BYTE> Header = std::vector<BYTE>(sizeof(BITMAPINFO), 0);
    std::vector<DWORD> Bits = std::vector<DWORD>(16);
    explicit TNumberedDib(bool bottomUp)
    {
        auto* bi = Info();
        bi->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi->bmiHeader.biWidth = 4;
        bi->bmiHeader.biHeight = bottomUp ? 4 : -4;
        bi->bmiHeader.biPlanes = 1;
        bi->bmiHeader.biBitCount = 32;
        for (int row = 0; row < 4; ++row)
            for (int col = 0; col < 4; ++col) {
                int stored = bottomUp ? 3 - row : row;
                Bits[static_cast<std::size_t>(stored * 4 + col)] = static_cast<DWORD>(0x100 + row * 0x10 + col);
            }
    }
    BITMAPINFO* Info() { return reinterpret_cast<BITMAPINFO*>(Header.data()); }
};

TEST(GdiBlit, StretchDIBitsSourceOrigins)
{
    struct TCase {
        bool BottomUp;
        int XSrc, YSrc;
        DWORD TopLeft, BottomRight;  // of the 2 x 2 destination
    } cases[] = {
        {false, 0, 0, 0x100, 0x111},
        {true, 0, 0, 0x120, 0x131},  // bottom-up: origin at the bottom-left
        {true, 1, 2, 0x101, 0x112},
        {false, 2, 1, 0x112, 0x123},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.BottomUp ? "bottom-up" : "top-down") << " from " << c.XSrc << "," << c.YSrc);
        TNumberedDib dib(c.BottomUp);
        TTestSurface dst(2, 2);
        EXPECT_EQ(StretchDIBits(dst.DC, 0, 0, 2, 2, c.XSrc, c.YSrc, 2, 2, dib.Bits.data(), dib.Info(), DIB_RGB_COLORS,
                                SRCCOPY),
                  2);
        EXPECT_EQ(dst.Px(0, 0), c.TopLeft);
        EXPECT_EQ(dst.Px(1, 1), c.BottomRight);
    }
    // A negative destination height flips the picture.
    TNumberedDib dib(true);
    TTestSurface dst(4, 4);
    StretchDIBits(dst.DC, 0, 4, 4, -4, 0, 0, 4, 4, dib.Bits.data(), dib.Info(), DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(dst.Px(0, 0), 0x130u);
    EXPECT_EQ(dst.Px(3, 3), 0x103u);
    EXPECT_EQ(StretchDIBits(dst.DC, 0, 0, 4, 4, 0, 0, 4, 4, nullptr, dib.Info(), DIB_RGB_COLORS, SRCCOPY), 0);
}

TEST(GdiBlit, SetDIBitsToDeviceBands)
{
    struct TCase {
        const char* Name;
        bool BottomUp;
        int YSrc, Height;
        UINT Start, Lines;
        int FirstDestRow;       // first destination row written
        DWORD FirstValue;       // its value
        int Written;            // rows written
    } cases[] = {
        {"top-down whole", false, 0, 4, 0, 4, 0, 0x100, 4},
        {"bottom-up whole", true, 0, 4, 0, 4, 0, 0x100, 4},
        {"bottom-up lower half", true, 0, 2, 0, 4, 0, 0x120, 2},
        {"bottom-up upper band only", true, 0, 4, 2, 2, 0, 0x100, 2},
        {"bottom-up lower band only", true, 0, 4, 0, 2, 2, 0x120, 2},
        {"top-down second band", false, 0, 4, 2, 2, 2, 0x120, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TNumberedDib dib(c.BottomUp);
        // The band's rows only, as the caller would pass them.
        const DWORD* bits = dib.Bits.data() + (c.BottomUp ? c.Start * 4 : c.Start * 4);
        TTestSurface dst(4, 4);
        dst.Fill(0xDEAD);
        EXPECT_EQ(SetDIBitsToDevice(dst.DC, 0, 0, 4, static_cast<DWORD>(c.Height), 0, c.YSrc, c.Start, c.Lines,
                                    bits, dib.Info(), DIB_RGB_COLORS),
                  static_cast<int>(c.Lines));
        int written = 0;
        for (int y = 0; y < 4; ++y)
            if (dst.Px(0, y) != 0xDEAD)
                ++written;
        EXPECT_EQ(written, c.Written);
        EXPECT_EQ(dst.Px(0, c.FirstDestRow), c.FirstValue);
    }
}

TEST(GdiBlit, OverlappingCopyWithinOneBitmap)
{
    TTestSurface s(5, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            s.Px(x, y) = static_cast<DWORD>(y * 10 + x);
    ASSERT_TRUE(BitBlt(s.DC, 1, 1, 4, 4, s.DC, 0, 0, SRCCOPY));
    for (int y = 1; y < 5; ++y)
        for (int x = 1; x < 5; ++x)
            EXPECT_EQ(s.Px(x, y), static_cast<DWORD>((y - 1) * 10 + (x - 1)));
    ASSERT_TRUE(BitBlt(s.DC, 0, 0, 4, 4, s.DC, 1, 1, SRCCOPY));
    EXPECT_EQ(s.Px(0, 0), 0u);
    EXPECT_EQ(s.Px(3, 3), 33u);
}

TEST(GdiBlit, MonochromeConversions)
{
    // One-bit device bitmap onto colour: 0 bits take the text colour, 1 bits
    // the background colour of the destination.
    HBITMAP mono = CreateBitmap(8, 1, 1, 1, "\xA0\x00");
    HDC monoDC = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(monoDC, mono);
    TTestSurface dst(4, 1);
    SetTextColor(dst.DC, RGB(255, 0, 0));
    SetBkColor(dst.DC, RGB(0, 0, 255));
    BitBlt(dst.DC, 0, 0, 4, 1, monoDC, 0, 0, SRCCOPY);
    EXPECT_EQ(dst.Px(0, 0), 0x000000FFu);
    EXPECT_EQ(dst.Px(1, 0), 0x00FF0000u);
    EXPECT_EQ(dst.Px(2, 0), 0x000000FFu);
    EXPECT_EQ(dst.Px(3, 0), 0x00FF0000u);

    // Colour onto one bit: the source DC's background colour becomes 1.
    dst.Px(1, 0) = 0x00123456;
    SetBkColor(dst.DC, RGB(0x12, 0x34, 0x56));
    BitBlt(monoDC, 0, 0, 4, 1, dst.DC, 0, 0, SRCCOPY);
    BYTE bits[2] = {0, 0};
    GetBitmapBits(mono, 2, bits);
    EXPECT_EQ(bits[0] & 0xF0, 0x40);
    SelectObject(monoDC, old);
    DeleteDC(monoDC);
    DeleteObject(mono);
}

TEST(GdiBlit, PatternBrushTilesFromTheBrushOrigin)
{
    TTestSurface pat(2, 2);
    pat.Px(0, 0) = 1; pat.Px(1, 0) = 2; pat.Px(0, 1) = 3; pat.Px(1, 1) = 4;
    HBRUSH brush = CreatePatternBrush(pat.Bitmap);
    TTestSurface dst(4, 2);
    HGDIOBJ old = SelectObject(dst.DC, brush);
    SetBrushOrgEx(dst.DC, 1, 0, nullptr);
    PatBlt(dst.DC, 0, 0, 4, 2, PATCOPY);
    EXPECT_EQ(dst.Px(0, 0), 2u);
    EXPECT_EQ(dst.Px(1, 0), 1u);
    EXPECT_EQ(dst.Px(2, 1), 4u);
    SelectObject(dst.DC, old);
    DeleteObject(brush);
}

} // namespace

namespace {

TEST(GdiBlit, ExtremeCoordinatesAreHandled)
{
    // Absurd sizes and origins fail or clip away; nothing is written out of
    // bounds and no arithmetic overflows.
    TTestSurface src(4, 4), dst(4, 4);
    const int big = 0x7FFFFFF0;
    EXPECT_FALSE(BitBlt(dst.DC, 0, 0, big, big, src.DC, 0, 0, SRCCOPY));
    EXPECT_FALSE(StretchBlt(dst.DC, -big, -big, 4, 4, src.DC, big, 0, -big, 4, SRCCOPY));
    EXPECT_FALSE(PatBlt(dst.DC, 0, 0, -big - 5, 2, WHITENESS));
    SetWindowOrgEx(dst.DC, -big, big, nullptr);
    OffsetViewportOrgEx(dst.DC, big, big, nullptr);
    EXPECT_TRUE(BitBlt(dst.DC, big, big, 4, 4, src.DC, 0, 0, SRCCOPY));
    EXPECT_NE(IntersectClipRect(dst.DC, big, big, -big, -big), ERROR);
    RECT r{-big, -big, big, big};
    EXPECT_EQ(FillRect(dst.DC, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))), 1);
    EXPECT_FALSE(LineTo(dst.DC, big, -big));
    TNumberedDib dib(true);
    EXPECT_EQ(SetDIBitsToDevice(dst.DC, big, big, 4, 4, big, big, 0, 4, dib.Bits.data(), dib.Info(), DIB_RGB_COLORS), 0);
    EXPECT_EQ(StretchDIBits(dst.DC, 0, 0, 4, 4, big, 0, 4, 4, dib.Bits.data(), dib.Info(), DIB_RGB_COLORS, SRCCOPY), 0);
}

} // namespace
