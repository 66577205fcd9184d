// Drawing TspBitmaps: stretch maps, keyed and blended copies, tiling cells,
// the device-context paths (memory DIBs at 32 and 16 bits) and merging.
#include "skin/core/SkinDraw.h"

#include "platform/gdi/Gdi.h"
#include "support/GdiTestSurface.h"

#include <gtest/gtest.h>

namespace {

// A source whose pixel (x, y) is opaque with red x and green y.
void FillTraceable(TspBitmap& b, int w, int h)
{
    b.SetSize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.SetPixel(x, y, 0xFF000000u | (static_cast<TspColor>(x) << 16) | (static_cast<TspColor>(y) << 8));
}

int RedAt(const TspBitmap& b, int x, int y) { return static_cast<int>((b.GetPixel(x, y) >> 16) & 0xFF); }
int GreenAt(const TspBitmap& b, int x, int y) { return static_cast<int>((b.GetPixel(x, y) >> 8) & 0xFF); }

TEST(BitmapDraw, StretchMaps)
{
    struct TCase {
        int SrcW, DstW;
        std::vector<int> Cols;
    };
    const TCase cases[] = {
        {3, 5, {0, 0, 1, 1, 2}},
        {3, 1, {1}},
        {4, 1, {1}},
        {5, 3, {0, 2, 4}},
        {10, 4, {0, 3, 6, 9}},
        {2, 2, {0, 1}},
    };
    for (const auto& c : cases) {
        TspBitmap src, dst;
        FillTraceable(src, c.SrcW, 2);
        dst.SetSize(c.DstW, 3);
        src.Draw(&dst, TRect(0, 0, c.DstW, 3), TRect(0, 0, c.SrcW, 2));
        for (int x = 0; x < c.DstW; ++x)
            EXPECT_EQ(RedAt(dst, x, 0), c.Cols[x]) << c.SrcW << "->" << c.DstW << " col " << x;
        // Rows 0, 1, 2 take source rows 0, 0, 1 (scale 0.5, truncated).
        EXPECT_EQ(GreenAt(dst, 0, 0), 0);
        EXPECT_EQ(GreenAt(dst, 0, 1), 0);
        EXPECT_EQ(GreenAt(dst, 0, 2), 1);
    }
}

TEST(BitmapDraw, ClipAndSourceChecks)
{
    TspBitmap src, dst;
    FillTraceable(src, 10, 10);
    dst.SetSize(10, 10);
    src.Draw(&dst, TRect(0, 0, 10, 10), TRect(0, 0, 11, 10));
    EXPECT_EQ(dst.GetPixel(0, 0), 0u);
    // Negative destination positions are clipped; the source follows.
    src.Draw(&dst, -3, -2);
    EXPECT_EQ(RedAt(dst, 0, 0), 3);
    EXPECT_EQ(GreenAt(dst, 0, 0), 2);
    EXPECT_EQ(dst.GetPixel(7, 0) >> 24, 0u);
}

TEST(BitmapDraw, FlagsChooseBlendOverKey)
{
    TspBitmap src, dst;
    src.SetSize(2, 1);
    src.SetPixel(0, 0, 0x807F007F);
    src.SetPixel(1, 0, 0x00123456);
    dst.SetSize(2, 1);
    dst.Clear(0xFF000000);
    src.SetTransparent(true);
    src.Draw(&dst, 0, 0);  // keyed: the key pixel is skipped, the other made opaque
    EXPECT_EQ(dst.GetPixel(0, 0), 0xFF000000u);
    EXPECT_EQ(dst.GetPixel(1, 0), 0xFF123456u);
    dst.Clear(0xFF000000);
    src.SetAlphaBlend(true);  // both flags: blending wins
    src.Draw(&dst, 0, 0);
    EXPECT_EQ(dst.GetPixel(0, 0), RowKernels.BlendPixel(0x807F007F, 0xFF000000));
    EXPECT_EQ(dst.GetPixel(1, 0), 0xFF000000u);
}

TEST(BitmapDraw, IntoLiveBitmapDCUsesWindowOrigin)
{
    TspBitmap src, dst;
    FillTraceable(src, 4, 4);
    dst.SetSize(8, 8);
    SetWindowOrgEx(dst.DC(), 2, 1, nullptr);
    src.Draw(dst.DC(), 4, 3);
    EXPECT_EQ(dst.GetPixel(1, 1), 0u);
    EXPECT_EQ(dst.GetPixel(2, 2), 0xFF000000u);
    EXPECT_EQ(RedAt(dst, 5, 5), 3);
    EXPECT_EQ(GreenAt(dst, 5, 5), 3);
}

TEST(BitmapDraw, IntoForeignDCThroughPlatform)
{
    for (int bits : {32, 16}) {
        TTestSurface s(6, 4, bits);
        PatBlt(s.DC, 0, 0, 6, 4, BLACKNESS);
        TspBitmap src;
        src.SetSize(2, 1);
        src.SetPixel(0, 0, 0xFF7F007F);
        src.SetPixel(1, 0, 0xFFFF0000);  // pure red survives 5-6-5
        src.SetTransparent(true);
        src.Draw(s.DC, 1, 1);
        EXPECT_EQ(GetPixel(s.DC, 1, 1), RGB(0, 0, 0)) << bits;
        EXPECT_EQ(GetPixel(s.DC, 2, 1), RGB(0xFF, 0, 0)) << bits;
        src.SetTransparent(false);
        src.SetAlphaBlend(true);
        src.SetPixel(0, 0, 0x00FFFFFF);
        src.SetPixel(1, 0, 0xFF0000FF);
        src.Draw(s.DC, 3, 2);
        EXPECT_EQ(GetPixel(s.DC, 3, 2), RGB(0, 0, 0)) << bits;
        EXPECT_EQ(GetPixel(s.DC, 4, 2), RGB(0, 0, 0xFF)) << bits;
        src.SetAlphaBlend(false);
        src.Draw(s.DC, TRect(0, 3, 4, 4), TRect(0, 0, 2, 1));  // stretched plain copy
        EXPECT_EQ(GetPixel(s.DC, 2, 3), RGB(0, 0, 0xFF)) << bits;
    }
}

TEST(BitmapDraw, KeyedRouteFollowsScreenDepth)
{
    InitBlitRoutines();
    EXPECT_TRUE(IsMsImg32Loaded());
    ASSERT_NE(MsImg32TransparentBlt, nullptr);
    ASSERT_NE(MsImg32AlphaBlend, nullptr);
    const auto viaLibrary = BlitRoutines.TransparentToDC;
    GdiSetScreenBitsPerPixel(16);
    InitBlitRoutines();
    EXPECT_NE(BlitRoutines.TransparentToDC, viaLibrary);
    EXPECT_EQ(BlitRoutines.TransparentToDC, BlitRoutines.BlendToDC);  // the temporary-bitmap route
    // Keyed drawing still works on that route.
    TTestSurface s(3, 1, 32);
    PatBlt(s.DC, 0, 0, 3, 1, WHITENESS);
    TspBitmap src;
    src.SetSize(2, 1);
    src.SetPixel(0, 0, 0x007F007F);
    src.SetPixel(1, 0, 0xFF000000);
    src.SetTransparent(true);
    src.Draw(s.DC, 0, 0);
    EXPECT_EQ(GetPixel(s.DC, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(s.DC, 1, 0), RGB(0, 0, 0));
    GdiSetScreenBitsPerPixel(32);
    InitBlitRoutines();
    EXPECT_EQ(BlitRoutines.TransparentToDC, viaLibrary);
}

TEST(BitmapDraw, TileCells)
{
    TspBitmap src, dst;
    FillTraceable(src, 12, 12);
    dst.SetSize(30, 15);
    src.Tile(&dst, TRect(1, 1, 26, 13), TRect(2, 2, 12, 12));
    // Columns 1..10, 11..20 and 21..25; rows 1..10 and 11..12.
    struct TCase {
        int X, Y, R, G;
    };
    const TCase cases[] = {{1, 1, 2, 2}, {10, 10, 11, 11}, {11, 1, 2, 2}, {21, 11, 2, 2}, {25, 12, 6, 3}, {20, 12, 11, 3}};
    for (const auto& c : cases) {
        EXPECT_EQ(RedAt(dst, c.X, c.Y), c.R) << c.X << "," << c.Y;
        EXPECT_EQ(GreenAt(dst, c.X, c.Y), c.G) << c.X << "," << c.Y;
    }
    EXPECT_EQ(dst.GetPixel(26, 1), 0u);
    EXPECT_EQ(dst.GetPixel(1, 13), 0u);
    EXPECT_EQ(dst.GetPixel(0, 0), 0u);
}

TEST(BitmapDraw, TileIntoBottomUpDibAndOtherDCs)
{
    TspBitmap src;
    FillTraceable(src, 10, 10);
    for (int bits : {32, 16}) {
        for (bool bottomUp : {true, false}) {
            TTestSurface s(25, 12, bits, bottomUp);
            src.Tile(s.DC, TRect(0, 0, 25, 12), TRect(0, 0, 10, 10));
            const COLORREF a = GetPixel(s.DC, 0, 0), b = GetPixel(s.DC, 24, 11), c = GetPixel(s.DC, 13, 4);
            EXPECT_EQ(a, RGB(0, 0, 0)) << bits << bottomUp;
            if (bits == 32) {
                EXPECT_EQ(b, RGB(4, 1, 0)) << bottomUp;
                EXPECT_EQ(c, RGB(3, 4, 0)) << bottomUp;
            }
        }
    }
}

TEST(BitmapDraw, TileClipDrawsWholeMeetingCells)
{
    TspBitmap src, dst;
    FillTraceable(src, 10, 10);
    dst.SetSize(30, 10);
    src.TileClip(&dst, TRect(0, 0, 30, 10), TRect(2, 2, 3, 3), TRect(0, 0, 10, 10));
    EXPECT_EQ(RedAt(dst, 9, 9), 9);
    EXPECT_EQ(dst.GetPixel(10, 0), 0u);
    TspBitmap all;
    all.SetSize(30, 10);
    src.TileClip(&all, TRect(0, 0, 30, 10), TRect(0, 0, 0, 0), TRect(0, 0, 10, 10));
    EXPECT_EQ(RedAt(all, 29, 0), 9);
}

TEST(BitmapDraw, MergeDrawFillsUnderNonOpaque)
{
    TspBitmap top, under;
    top.SetSize(3, 1);
    top.SetPixel(0, 0, 0x00000000);
    top.SetPixel(1, 0, 0x80FFFFFF);
    top.SetPixel(2, 0, 0xFF010203);
    under.SetSize(3, 1);
    under.Clear(0x40102030);
    top.MergeDraw(&under, 0, 0, TRect(0, 0, 3, 1));
    EXPECT_EQ(top.GetPixel(0, 0), 0x40102030u);
    EXPECT_EQ(top.GetPixel(1, 0), RowKernels.BlendPixel(0x80FFFFFF, 0x40102030));
    EXPECT_EQ(top.GetPixel(2, 0), 0xFF010203u);
    // A negative source origin moves the target instead.
    TspBitmap t2;
    t2.SetSize(3, 1);
    t2.MergeDraw(&under, 0, 0, TRect(-2, 0, 3, 1));
    EXPECT_EQ(t2.GetPixel(1, 0), 0u);
    EXPECT_EQ(t2.GetPixel(2, 0), 0x40102030u);
}

}  // namespace
