// Image lists as handles: adding pieces of a bitmap with a mask colour or a
// mask bitmap, drawing with transparency, a background and blending, and
// refusing bad handles and indexes.
#include "platform/user/controls/CommCtrl.h"
#include "platform/gdi/Gdi.h"

#include <gtest/gtest.h>

namespace {

struct TSurface {
    HDC Dc = nullptr;
    HBITMAP Bmp = nullptr;
    HGDIOBJ Old = nullptr;
    TSurface(int w, int h, COLORREF fill)
    {
        Dc = CreateCompatibleDC(nullptr);
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 24;
        bi.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        Bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        Old = SelectObject(Dc, Bmp);
        HBRUSH b = CreateSolidBrush(fill);
        RECT r{0, 0, w, h};
        FillRect(Dc, &r, b);
        DeleteObject(b);
    }
    ~TSurface()
    {
        SelectObject(Dc, Old);
        DeleteObject(Bmp);
        DeleteDC(Dc);
    }
    void Fill(RECT r, COLORREF c)
    {
        HBRUSH b = CreateSolidBrush(c);
        FillRect(Dc, &r, b);
        DeleteObject(b);
    }
};

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kMagenta = RGB(255, 0, 255);

TEST(NativeCtlImageList, AddMaskedAndDraw)
{
    HIMAGELIST il = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 4, 4);
    ASSERT_TRUE(il);
    // Two pictures side by side: red, and green with a magenta corner.
    TSurface strip(32, 16, kRed);
    strip.Fill(RECT{16, 0, 32, 16}, kGreen);
    strip.Fill(RECT{16, 0, 20, 4}, kMagenta);
    SelectObject(strip.Dc, strip.Old);  // a bitmap is read while not selected
    EXPECT_EQ(ImageList_AddMasked(il, strip.Bmp, kMagenta), 0);
    strip.Old = SelectObject(strip.Dc, strip.Bmp);
    EXPECT_EQ(ImageList_GetImageCount(il), 2);
    int cx = 0, cy = 0;
    EXPECT_TRUE(ImageList_GetIconSize(il, &cx, &cy));
    EXPECT_EQ(cx, 16);
    EXPECT_EQ(cy, 16);

    struct {
        int Index;
        UINT Style;
        COLORREF Bk;
        POINT At;
        COLORREF Expect;
    } cases[] = {
        {0, ILD_NORMAL, CLR_NONE, {8, 8}, kRed},
        {1, ILD_NORMAL, CLR_NONE, {10, 10}, kGreen},
        {1, ILD_NORMAL, CLR_NONE, {1, 1}, kBlue},           // transparent corner
        {1, ILD_NORMAL, RGB(9, 9, 9), {1, 1}, RGB(9, 9, 9)}, // background shows there
        {1, ILD_TRANSPARENT, RGB(9, 9, 9), {1, 1}, kBlue},
    };
    for (auto& c : cases) {
        TSurface dst(16, 16, kBlue);
        EXPECT_TRUE(ImageList_DrawEx(il, c.Index, dst.Dc, 0, 0, 0, 0, c.Bk, CLR_DEFAULT, c.Style));
        EXPECT_EQ(GetPixel(dst.Dc, c.At.x, c.At.y), c.Expect) << c.Index << " " << c.Style;
    }
    // Selected pictures are blended towards the highlight colour.
    TSurface sel(16, 16, kBlue);
    EXPECT_TRUE(ImageList_Draw(il, 0, sel.Dc, 0, 0, ILD_SELECTED));
    EXPECT_NE(GetPixel(sel.Dc, 8, 8), kRed);
    // Stretched drawing covers the larger area.
    TSurface big(32, 32, kBlue);
    EXPECT_TRUE(ImageList_DrawEx(il, 0, big.Dc, 0, 0, 32, 32, CLR_NONE, CLR_DEFAULT, ILD_NORMAL));
    EXPECT_EQ(GetPixel(big.Dc, 30, 30), kRed);
    EXPECT_TRUE(ImageList_Remove(il, 0));
    EXPECT_EQ(ImageList_GetImageCount(il), 1);
    EXPECT_TRUE(ImageList_Destroy(il));
}

TEST(NativeCtlImageList, BadInputIsRefused)
{
    EXPECT_EQ(ImageList_Create(0, 16, 0, 1, 1), nullptr);
    EXPECT_EQ(ImageList_Create(16, -1, 0, 1, 1), nullptr);
    HIMAGELIST il = ImageList_Create(16, 16, ILC_COLOR32, 1, 1);
    TSurface small(8, 8, kRed);
    SelectObject(small.Dc, small.Old);
    EXPECT_EQ(ImageList_Add(il, small.Bmp, nullptr), -1);  // narrower than one picture
    small.Old = SelectObject(small.Dc, small.Bmp);
    EXPECT_EQ(ImageList_Add(il, nullptr, nullptr), -1);
    TSurface dst(16, 16, kBlue);
    EXPECT_FALSE(ImageList_Draw(il, 0, dst.Dc, 0, 0, ILD_NORMAL));
    EXPECT_FALSE(ImageList_Remove(il, 3));
    EXPECT_TRUE(ImageList_Destroy(il));
    // A destroyed handle is no longer accepted.
    EXPECT_FALSE(ImageList_Destroy(il));
    EXPECT_EQ(ImageList_GetImageCount(il), 0);
    int cx = 0, cy = 0;
    EXPECT_FALSE(ImageList_GetIconSize(il, &cx, &cy));
}

} // namespace
