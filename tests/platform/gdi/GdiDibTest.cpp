#include "support/GdiTestSurface.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

struct TLayoutCase {
    int Bits;
    int Width;
    bool BottomUp;
    LONG Stride;
};

TEST(GdiDib, SectionLayoutAndDescription)
{
    const TLayoutCase cases[] = {
        {1, 1, false, 4},  {1, 33, true, 8},   {4, 9, false, 8},  {8, 5, true, 8},   {16, 3, false, 8},
        {16, 2, true, 4},  {24, 1, false, 4},  {24, 5, true, 16}, {32, 3, false, 12}, {32, 7, true, 28},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Bits << " bits, width " << c.Width << (c.BottomUp ? " bottom-up" : ""));
        TTestSurface s(c.Width, 3, c.Bits, c.BottomUp);
        ASSERT_NE(s.Bitmap, nullptr);
        DIBSECTION ds{};
        ASSERT_EQ(GetObject(s.Bitmap, sizeof ds, &ds), static_cast<int>(sizeof(DIBSECTION)));
        EXPECT_EQ(ds.dsBm.bmWidthBytes, c.Stride);
        EXPECT_EQ(ds.dsBm.bmWidth, c.Width);
        EXPECT_EQ(ds.dsBm.bmHeight, 3);
        EXPECT_EQ(ds.dsBm.bmBitsPixel, c.Bits);
        EXPECT_EQ(ds.dsBm.bmBits, s.Bits);
        EXPECT_EQ(ds.dsBmih.biHeight, c.BottomUp ? 3 : -3);
        EXPECT_EQ(ds.dsBmih.biSizeImage, static_cast<DWORD>(c.Stride * 3));
        // A smaller buffer receives the BITMAP part only.
        BITMAP bm{};
        EXPECT_EQ(GetObject(s.Bitmap, sizeof bm, &bm), static_cast<int>(sizeof(BITMAP)));
        EXPECT_EQ(bm.bmBits, s.Bits);
        // The top row is the last stored row of a bottom-up section.
        SetPixel(s.DC, 0, 0, RGB(255, 255, 255));
        const BYTE* top = s.Bits + (c.BottomUp ? 2 * c.Stride : 0);
        const BYTE* other = s.Bits + (c.BottomUp ? 0 : 2 * c.Stride);
        EXPECT_NE(top[0], 0);
        EXPECT_EQ(other[0], 0);
    }
}

TEST(GdiDib, BadHeadersAreRefused)
{
    struct TBad {
        const char* What;
        LONG Width, Height;
        WORD Bits;
        DWORD Compression;
        DWORD Size;
    } cases[] = {
        {"zero width", 0, 4, 32, BI_RGB, 40},
        {"zero height", 4, 0, 32, BI_RGB, 40},
        {"negative width", -4, 4, 32, BI_RGB, 40},
        {"odd bit count", 4, 4, 7, BI_RGB, 40},
        {"run-length data", 4, 4, 8, BI_RLE8, 40},
        {"short header", 4, 4, 32, BI_RGB, 12},
        {"too large", 1 << 20, 1 << 20, 32, BI_RGB, 40},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = c.Size;
        bi.bmiHeader.biWidth = c.Width;
        bi.bmiHeader.biHeight = c.Height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = c.Bits;
        bi.bmiHeader.biCompression = c.Compression;
        void* bits = reinterpret_cast<void*>(1);
        EXPECT_EQ(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
        EXPECT_EQ(bits, nullptr);
    }
    EXPECT_EQ(CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, nullptr, nullptr, 0), nullptr);
}

TEST(GdiDib, PixelsStoredPerFormat)
{
    // Colour written with SetPixel, the colour read back.
    struct TCase {
        int Bits;
        COLORREF In, Out;
    } cases[] = {
        {32, RGB(1, 2, 3), RGB(1, 2, 3)},
        {24, RGB(250, 128, 7), RGB(250, 128, 7)},
        {16, RGB(0x7F, 0, 0x7F), RGB(0x7B, 0, 0x7B)},
        {16, RGB(255, 255, 255), RGB(255, 255, 255)},
        {16, RGB(0x12, 0x34, 0x56), RGB(0x10, 0x34, 0x52)},
        {8, RGB(250, 10, 10), RGB(255, 0, 0)},
        {4, RGB(190, 190, 200), RGB(192, 192, 192)},
        {1, RGB(200, 200, 200), RGB(255, 255, 255)},
        {1, RGB(20, 20, 100), RGB(0, 0, 0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Bits << " bits, colour " << std::hex << c.In);
        TTestSurface s(5, 2, c.Bits);
        EXPECT_EQ(SetPixel(s.DC, 3, 1, c.In), c.Out);
        EXPECT_EQ(GetPixel(s.DC, 3, 1), c.Out);
        EXPECT_EQ(GetPixel(s.DC, 2, 1), RGB(0, 0, 0));
        EXPECT_EQ(GetPixel(s.DC, 5, 0), CLR_INVALID);
    }
    // 32-bit pixels are written with a zero alpha byte.
    TTestSurface s(2, 1);
    s.Px(0, 0) = 0xFFFFFFFF;
    SetPixel(s.DC, 0, 0, RGB(0x11, 0x22, 0x33));
    EXPECT_EQ(s.Px(0, 0), 0x00112233u);
}

TEST(GdiDib, DeviceDependentBitmaps)
{
    HDC screen = GetDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 5, 3);
    BITMAP bm{};
    ASSERT_EQ(GetObject(bmp, sizeof(DIBSECTION), &bm), static_cast<int>(sizeof(BITMAP)));
    EXPECT_EQ(bm.bmBitsPixel, 32);
    EXPECT_EQ(bm.bmWidthBytes, 20);
    EXPECT_EQ(bm.bmBits, nullptr);
    DeleteObject(bmp);

    // A fresh memory DC holds a one-pixel monochrome bitmap, so compatible
    // bitmaps made from it are monochrome.
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ def = GetCurrentObject(mem, OBJ_BITMAP);
    ASSERT_EQ(GetObject(def, sizeof bm, &bm), static_cast<int>(sizeof(BITMAP)));
    EXPECT_EQ(bm.bmWidth, 1);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    HBITMAP mono = CreateCompatibleBitmap(mem, 17, 2);
    GetObject(mono, sizeof bm, &bm);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    EXPECT_EQ(bm.bmWidthBytes, 4);
    DeleteObject(mono);
    DeleteDC(mem);

    GdiSetScreenBitsPerPixel(16);
    EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES), 16);
    HBITMAP b16 = CreateCompatibleBitmap(screen, 3, 3);
    GetObject(b16, sizeof bm, &bm);
    EXPECT_EQ(bm.bmBitsPixel, 16);
    DeleteObject(b16);
    GdiSetScreenBitsPerPixel(32);
    EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 32);
    ReleaseDC(nullptr, screen);
}

TEST(GdiDib, GetDIBitsConvertsAndOrdersRows)
{
    TTestSurface s(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            s.Px(x, y) = 0xAA000000u | static_cast<DWORD>((y * 3 + x + 1) * 0x010203);

    // Asking with bit count 0 describes the bitmap.
    BITMAPINFO query{};
    query.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    EXPECT_EQ(GetDIBits(s.DC, s.Bitmap, 0, 0, nullptr, &query, DIB_RGB_COLORS), 2);
    EXPECT_EQ(query.bmiHeader.biWidth, 3);
    EXPECT_EQ(query.bmiHeader.biBitCount, 32);

    // 24 bits, bottom-up: the first stored row is the picture's bottom row.
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = 3;
    bi.bmiHeader.biHeight = 2;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    std::vector<BYTE> out(24, 0xEE);
    EXPECT_EQ(GetDIBits(s.DC, s.Bitmap, 0, 2, out.data(), &bi, DIB_RGB_COLORS), 2);
    const BYTE expected[24] = {0x0C, 0x08, 0x04, 0x0F, 0x0A, 0x05, 0x12, 0x0C, 0x06, 0xEE, 0xEE, 0xEE,
                               0x03, 0x02, 0x01, 0x06, 0x04, 0x02, 0x09, 0x06, 0x03, 0xEE, 0xEE, 0xEE};
    for (int i = 0; i < 24; ++i) {
        if (i % 12 < 9) {
            EXPECT_EQ(out[static_cast<std::size_t>(i)], expected[i]) << "byte " << i;
        }
    }

    // 32 bits top-down keeps the alpha byte; SetDIBits writes back.
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biHeight = -2;
    std::vector<DWORD> px(6);
    EXPECT_EQ(GetDIBits(s.DC, s.Bitmap, 0, 2, px.data(), &bi, DIB_RGB_COLORS), 2);
    EXPECT_EQ(px[0], 0xAA010203u);
    EXPECT_EQ(px[5], 0xAA060C12u);
    px[4] = 0x00123456;
    EXPECT_EQ(SetDIBits(s.DC, s.Bitmap, 0, 2, px.data(), &bi, DIB_RGB_COLORS), 2);
    EXPECT_EQ(s.Px(1, 1), 0x00123456u);
    EXPECT_EQ(GetDIBits(s.DC, nullptr, 0, 2, px.data(), &bi, DIB_RGB_COLORS), 0);
}

TEST(GdiDib, ColourTables)
{
    std::vector<RGBQUAD> colors(4);
    for (int i = 0; i < 4; ++i)
        colors[static_cast<std::size_t>(i)].rgbRed = static_cast<BYTE>(i * 60);
    TTestSurface s(4, 1, 8, false, colors);
    RGBQUAD got[8]{};
    EXPECT_EQ(GetDIBColorTable(s.DC, 1, 8, got), 3u);
    EXPECT_EQ(got[0].rgbRed, 60);
    RGBQUAD green{};
    green.rgbGreen = 255;
    EXPECT_EQ(SetDIBColorTable(s.DC, 3, 1, &green), 1u);
    s.Bits[2] = 3;
    EXPECT_EQ(GetPixel(s.DC, 2, 0), RGB(0, 255, 0));
    EXPECT_EQ(GetDIBColorTable(s.DC, 4, 1, got), 0u);
}

} // namespace
