// TspBitmap: memory, pixel access, filling, alpha upkeep, flips and
// reflections, colour functions.
#include "skin/core/SkinBitmap.h"
#include "skin/core/SkinColor.h"

#include "platform/gdi/Gdi.h"

#include "platform/rtl/Exceptions.h"

#include <gtest/gtest.h>

namespace {

TEST(Bitmap, SetSizeRules)
{
    TspBitmap b;
    EXPECT_TRUE(b.Empty());
    b.SetSize(-10, 5);
    EXPECT_EQ(b.Width(), 10);
    EXPECT_EQ(b.Height(), 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(b.GetPixel(x, y), 0u);

    TspBitmap c;
    c.SetSize(3, 3);
    c.SetPixel(1, 1, 0x11223344);
    c.SetSize(0, 5);
    EXPECT_EQ(c.Width(), 3);
    c.SetSize(3, 3);  // the current size keeps the pixels
    EXPECT_EQ(c.GetPixel(1, 1), 0x11223344u);
    c.SetSize(3, -3);
    EXPECT_EQ(c.GetPixel(1, 1), 0x11223344u);
}

TEST(Bitmap, FailedSetSizeLeavesConsistentEmptyBitmap)
{
    TspBitmap b;
    b.SetSize(4, 4);
    const int before = LiveBitmapCount();
    EXPECT_THROW(b.SetSize(100000, 100000), Exception);
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(b.Width(), 0);
    EXPECT_EQ(b.Height(), 0);
    EXPECT_EQ(b.Bits(), nullptr);
    EXPECT_EQ(LiveBitmapCount(), before - 1);
    // Everything stays harmless on the empty bitmap.
    b.Clear(1);
    b.FillRect(TRect(0, 0, 4, 4), 1);
    b.SetAlpha(3);
    b.FlipVert();
    b.Reflection();
    b.CheckRGBA();
    EXPECT_EQ(b.GetPixel(0, 0), 0u);
    b.SetSize(2, 2);
    EXPECT_FALSE(b.Empty());
}

TEST(Bitmap, LiveListTracksOwnersOfPixels)
{
    const int before = LiveBitmapCount();
    HDC oldDC;
    {
        TspBitmap b;
        b.SetSize(2, 2);
        b.SetSize(5, 5);
        EXPECT_EQ(LiveBitmapCount(), before + 1);
        EXPECT_EQ(FindBitmapByDC(b.DC()), &b);
        oldDC = b.DC();
    }
    EXPECT_EQ(LiveBitmapCount(), before);
    EXPECT_EQ(FindBitmapByDC(oldDC), nullptr);
}

TEST(Bitmap, PixelAccessOutside)
{
    TspBitmap b;
    b.SetSize(4, 3);
    b.Clear(0xFF0000FF);
    EXPECT_EQ(b.GetPixel(4, 0), 0u);
    EXPECT_EQ(b.GetPixel(-1, 0), 0u);
    b.SetPixel(4, 0, 1);
    b.SetPixel(0, 3, 1);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(b.GetPixel(x, y), 0xFF0000FFu);
    EXPECT_EQ(b.GetPixelPtr(1, 2), b.Bits() + 9);
}

TEST(Bitmap, FillRectCutsAndBlends)
{
    TspBitmap b;
    b.SetSize(10, 10);
    b.Clear(0xFF000000);
    b.FillRect(TRect(-5, -5, 3, 3), 0xFF123456);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(b.GetPixel(x, y), x < 3 && y < 3 ? 0xFF123456u : 0xFF000000u) << x << "," << y;
    TspBitmap c;
    c.SetSize(10, 10);
    c.Clear(0xFF000000);
    c.SetAlphaBlend(true);
    c.FillRect(TRect(-5, -5, 3, 3), 0x00FFFFFF);
    EXPECT_EQ(c.GetPixel(0, 0), 0xFF000000u);
    c.FillRect(TRect(0, 0, 1, 1), 0x80FFFFFF);
    EXPECT_EQ(c.GetPixel(0, 0), RowKernels.BlendPixel(0x80FFFFFF, 0xFF000000));
}

TEST(Bitmap, SetAlphaRect)
{
    TspBitmap b;
    b.SetSize(10, 10);
    b.SetAlpha(255, TRect(10, 0, 20, 5));
    EXPECT_EQ(b.GetPixel(9, 0), 0u);
    b.SetAlpha(7, TRect(8, 8, 20, 20));
    EXPECT_EQ(b.GetPixel(9, 9), 0x07000000u);
    EXPECT_EQ(b.GetPixel(7, 9), 0u);
    b.SetAlpha(255);
    EXPECT_EQ(b.GetPixel(0, 0), 0xFF000000u);
}

TEST(Bitmap, AlphaChecks)
{
    TspBitmap b;
    b.SetSize(2, 1);
    b.SetPixel(0, 0, 0x40FF8020);
    b.SetPixel(1, 0, 0xFFFFFFFF);
    b.CheckRGBA();
    EXPECT_EQ(b.GetPixel(0, 0), 0x40404020u);
    b.SetPixel(0, 0, 0x80FF8001);
    b.CheckRGBA2();
    // Round(128 * c / 255): 255 -> 128, 128 -> 64 (64.25), 1 -> 1 (0.502)
    EXPECT_EQ(b.GetPixel(0, 0), 0x80804001u);
    EXPECT_EQ(b.GetPixel(1, 0), 0xFFFFFFFFu);

    b.SetPixel(0, 0, 0);
    b.CheckingAlphaBlend();
    EXPECT_FALSE(b.AlphaBlend());
    b.SetPixel(0, 0, 0x01000000);
    b.CheckingAlphaBlend();
    EXPECT_TRUE(b.AlphaBlend());
}

TEST(Bitmap, CheckingTransparentTolerance)
{
    TspBitmap b;
    b.SetSize(2, 1);
    b.SetPixel(0, 0, 0xFFFAFCFF);  // (250, 252, 255)
    b.SetPixel(1, 0, 0xFFF9FFFF);  // (249, 255, 255)
    b.CheckingTransparent(0x00FFFFFF);
    EXPECT_TRUE(b.Transparent());
    EXPECT_EQ(b.GetPixel(0, 0), 0x007F007Fu);
    EXPECT_EQ(b.GetPixel(1, 0), 0xFFF9FFFFu);
}

TEST(Bitmap, ReflectionFadesRows)
{
    TspBitmap b;
    b.SetSize(1, 4);
    for (int y = 0; y < 4; ++y)
        b.SetPixel(0, y, 0xFF000000u | static_cast<TspColor>(y));
    b.Reflection();
    const TspColor want[4] = {0x55000003, 0x2A000002, 0x00000001, 0x00000000};
    for (int y = 0; y < 4; ++y)
        EXPECT_EQ(b.GetPixel(0, y), want[y]) << y;
    b.SetAlpha(255);
    b.Reflection3();  // divisor 2: 127, 64
    EXPECT_EQ(b.GetPixel(0, 0) >> 24, 127u);
    EXPECT_EQ(b.GetPixel(0, 1) >> 24, 64u);
}

TEST(Bitmap, AssignCopiesPixelsAndFlags)
{
    TspBitmap a;
    a.SetSize(3, 2);
    a.SetPixel(2, 1, 0x12345678);
    a.SetName("glow");
    a.SetTransparent(true);
    TspBitmap b;
    b.Assign(&a);
    EXPECT_EQ(b.Width(), 3);
    EXPECT_EQ(b.GetPixel(2, 1), 0x12345678u);
    EXPECT_EQ(b.Name(), "glow");
    EXPECT_TRUE(b.Transparent());
    EXPECT_FALSE(b.AlphaBlend());
}

TEST(BitmapColor, Conversions)
{
    EXPECT_EQ(RGBToSpColor(RGB(1, 2, 3)), 0xFF010203u);
    EXPECT_EQ(ColorToSpColor(0x0000FF, 255), 0xFFFF0000u);
    EXPECT_EQ(ColorToSpColor(0x0000FF, 0), 0x00FF0000u);
    EXPECT_EQ(PackRGBA(-5, 300, 7, 9), 0x0900FF07u);
    EXPECT_EQ(ChangeColorBrightness(0x00F00010, 20), 0xFFFF1424u);
}

TEST(BitmapColor, HSLRoundTrips)
{
    for (TspColor c : {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFF808080u, 0xFF123456u, 0xFFFFFFFFu}) {
        float h, s, l;
        ColorToHSL(c, h, s, l);
        EXPECT_EQ(HSLToColor(l, s, h), c) << std::hex << c;
    }
    float h, s, l;
    ColorToHSL(0xFF00FF00, h, s, l);
    EXPECT_NEAR(h, 1.0 / 3, 1e-6);
    EXPECT_FLOAT_EQ(s, 1);
    EXPECT_FLOAT_EQ(l, 0.5);
    // Hue 0 of pure green is pure red.
    EXPECT_EQ(SetColorHue(0xFF00FF00, 0), 0xFFFF0000u);
    EXPECT_EQ(SetColorHue(0xFF00FF00, 999), 0xFFFF0000u);  // 255/255 wraps to red too
    // Grey has no saturation: a hue change keeps it.
    EXPECT_EQ(ChangeColorHue(0xFF808080, 40), 0xFF808080u);
}

TEST(BitmapColor, BitmapAdjustmentsSkipTransparentPixels)
{
    TspBitmap b;
    b.SetSize(2, 1);
    b.SetPixel(0, 0, 0x00102030);
    b.SetPixel(1, 0, 0x80102030);
    b.ChangeBitmapBrightness(16);
    EXPECT_EQ(b.GetPixel(0, 0), 0x00102030u);
    EXPECT_EQ(b.GetPixel(1, 0), 0x80203040u);
    b.SetBitmapHue(0);
    EXPECT_EQ(b.GetPixel(0, 0), 0x00102030u);
    EXPECT_EQ(b.GetPixel(1, 0) >> 24, 0x80u);
}

}  // namespace
