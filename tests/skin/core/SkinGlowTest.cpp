// Glow, reflection, plates and the helpers under them, measured by what
// they leave on a white page.
#include "platform/gdi/Gdi.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/PngImage.h"
#include "platform/rtl/Exceptions.h"
#include "skin/core/SkinBitmap.h"
#include "skin/core/SkinGlow.h"

#include "SkinTestBitmaps.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

std::unique_ptr<TBitmap> Page(int w, int h)
{
    auto b = skintest::SolidBitmap(w, h, clWhite);
    // White text on white: only the effects show.
    b->Canvas()->Font()->SetColor(clWhite);
    b->Canvas()->Font()->SetHeight(-20);
    return b;
}

bool Tinted(TBitmap& b, int x, int y) { return b.Canvas()->Pixels(x, y) != clWhite; }

// Rows (or columns) with any tinted pixel, as [first, last].
std::pair<int, int> TintedRows(TBitmap& b)
{
    int first = -1, last = -1;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (Tinted(b, x, y)) {
                if (first < 0)
                    first = y;
                last = y;
                break;
            }
    return {first, last};
}

TEST(SkinGlow, DarkenColorUsesRoundingMulDiv)
{
    EXPECT_EQ(DarkenColor(static_cast<TColor>(0x00FF8040), 50), static_cast<TColor>(0x007F4020));
    EXPECT_EQ(DarkenColor(clWhite, 0), static_cast<TColor>(0x00FFFFFF));
    EXPECT_EQ(DarkenColor(clWhite, 100), static_cast<TColor>(0));
}

TEST(SkinGlow, HaloAlphaIsTheRedLevel)
{
    TspBitmap b;
    b.SetSize(3, 1);
    b.SetPixel(0, 0, 0x00FF0000);
    b.SetPixel(1, 0, 0x12800000);
    b.SetPixel(2, 0, 0x00000000);
    ColorizeHalo(&b, static_cast<TColor>(0x00332211));  // blue 0x33, green 0x22, red 0x11
    EXPECT_EQ(b.GetPixel(0, 0), 0xFF112233u);
    EXPECT_EQ(b.GetPixel(1, 0), 0x80112233u);
    EXPECT_EQ(b.GetPixel(2, 0), 0x00112233u);
    EXPECT_TRUE(b.AlphaBlend());
}

TEST(SkinGlow, GlowSizeZeroIsUnblurredAndLargerSizesSpread)
{
    const TRect r(20, 20, 120, 50);
    auto sharp = Page(140, 70);
    // Moved by 3 so that the halo shows beside the (white) text.
    DrawTextWithGlow(sharp->Canvas(), r, "Hello", DT_LEFT | DT_TOP | DT_SINGLELINE, 3, clBlue, 0);
    bool pureBlue = false;
    for (int y = 0; y < 70; ++y)
        for (int x = 0; x < 140; ++x)
            pureBlue |= sharp->Canvas()->Pixels(x, y) == clBlue;
    EXPECT_TRUE(pureBlue);
    const auto sharpRows = TintedRows(*sharp);
    auto soft = Page(140, 70);
    DrawTextWithGlow(soft->Canvas(), r, "Hello", DT_LEFT | DT_TOP | DT_SINGLELINE, 3, clBlue, 4);
    const auto softRows = TintedRows(*soft);
    EXPECT_LT(softRows.first, sharpRows.first);
    EXPECT_GT(softRows.second, sharpRows.second);
    auto strong = Page(140, 70);
    DrawTextWithStrongGlow(strong->Canvas(), r, "Hello", DT_LEFT | DT_TOP | DT_SINGLELINE, 0, clBlue, 4);
    int softInk = 0, strongInk = 0;
    for (int y = 0; y < 70; ++y)
        for (int x = 0; x < 140; ++x) {
            softInk += 255 - GetRValue(soft->Canvas()->Pixels(x, y));
            strongInk += 255 - GetRValue(strong->Canvas()->Pixels(x, y));
        }
    EXPECT_GT(strongInk, softInk);
    EXPECT_THROW(DrawTextWithGlow(soft->Canvas(), r, "Hello", 0, 0, clBlue, -1), ERangeError);
    EXPECT_THROW(DrawWideTextWithGlow(soft->Canvas(), TRect(0, 0, 0x7FFFFFF0, 10), "Hello", 0, 0, clBlue, 20),
                 EIntOverflow);
}

TEST(SkinGlow, EmptyTextAndEmptyRectangleDrawNothing)
{
    auto p = Page(60, 40);
    p->Canvas()->Font()->SetColor(clBlack);
    DrawTextWithGlow(p->Canvas(), TRect(0, 0, 60, 40), "", 0, 0, clBlue, 3);
    DrawTextWithReflection(p->Canvas(), TRect(0, 0, 60, 40), "", 0, 0, clBlue);
    DrawWideTextWithGlowPlate(p->Canvas(), TRect(10, 10, 50, 30), "", 0, clBlue);
    DrawTextWithGlow(p->Canvas(), TRect(10, 10, 10, 30), "x", 0, 0, clBlue, 3);
    DrawWideTextWithReflection(p->Canvas(), TRect(10, 30, 50, 10), "x", 0, 0, clBlue);
    EXPECT_EQ(TintedRows(*p).first, -1);
}

TEST(SkinGlow, ReflectionBelowTheTextFadesOut)
{
    const TRect r(10, 5, 110, 45);
    auto narrow = Page(120, 100);
    DrawTextWithReflection(narrow->Canvas(), r, "HIHI", DT_LEFT | DT_TOP | DT_SINGLELINE, 0, clBlack);
    auto wide = Page(120, 100);
    DrawWideTextWithReflection(wide->Canvas(), r, "HIHI", DT_LEFT | DT_TOP | DT_SINGLELINE, 0, clBlack);
    TRect text = r;
    narrow->Canvas()->Refresh();
    DrawText(narrow->Canvas()->Handle(), "HIHI", 4, &text, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_CALCRECT);
    // Nothing above the text's bottom: the mirror image lies below it.
    for (int y = 0; y < text.bottom; ++y)
        for (int x = 0; x < 120; ++x)
            ASSERT_FALSE(Tinted(*narrow, x, y)) << x << "," << y;
    const auto rows = TintedRows(*narrow);
    ASSERT_GE(rows.first, text.bottom);
    // Darkest next to the text, lightest far from it.
    auto darkness = [](TBitmap& b, int y) {
        int d = 0;
        for (int x = 0; x < b.Width(); ++x)
            d = std::max(d, 255 - int(GetRValue(b.Canvas()->Pixels(x, y))));
        return d;
    };
    int strongest = 0, strongestRow = 0;
    for (int y = rows.first; y <= rows.second; ++y)
        if (darkness(*narrow, y) > strongest)
            strongest = darkness(*narrow, y), strongestRow = y;
    EXPECT_LT(strongestRow - rows.first, (rows.second - rows.first) / 2);
    EXPECT_GT(strongest, 3 * darkness(*narrow, rows.second));
    EXPECT_GT(strongest, 60);
    // The wide form fades to nothing: fewer tinted rows.
    const auto wideRows = TintedRows(*wide);
    EXPECT_EQ(wideRows.first, rows.first);
    EXPECT_LT(wideRows.second, rows.second);
}

TEST(SkinGlow, PlatesCoverTheirRectangles)
{
    const TRect r(30, 30, 110, 60);
    auto wider = Page(140, 90);
    DrawWideTextWithGlowPlate(wider->Canvas(), r, "Plate", DT_CENTER | DT_VCENTER | DT_SINGLELINE, clBlue);
    auto inner = Page(140, 90);
    DrawWideTextWithGlowPlate2(inner->Canvas(), r, "Plate", DT_CENTER | DT_VCENTER | DT_SINGLELINE, clBlue);
    auto blueness = [](TBitmap& b, int x, int y) { return 255 - int(GetRValue(b.Canvas()->Pixels(x, y))); };
    // Inside the plate, beside the text, both are strongly tinted.
    EXPECT_GT(blueness(*wider, 37, 45), 200);
    EXPECT_GT(blueness(*inner, 37, 45), 150);
    // Just left of the text rectangle: inside the first plate (3 wider),
    // outside the second (3 inside).
    EXPECT_GT(blueness(*wider, 29, 45), blueness(*inner, 29, 45) + 30);
    EXPECT_EQ(GetBValue(wider->Canvas()->Pixels(29, 45)), 255);
}

TEST(SkinGlow, PngPicturesAndSilhouettes)
{
    TPngImage png;
    png.SetSize(16, 16);
    png.CreateAlpha();
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x)
            png.SetPixel(x, y, clLime);
        png.AlphaScanline(y)[0] = 0;
        png.AlphaScanline(y)[1] = 128;
    }
    TspBitmap b;
    PngToSpBitmap(&b, &png);
    ASSERT_EQ(b.Width(), 16);
    EXPECT_EQ(b.GetPixel(1, 3), 0x8000FF00u);
    EXPECT_EQ(b.GetPixel(5, 3), 0xFF00FF00u);
    EXPECT_TRUE(b.AlphaBlend());
    TPngImage opaque;  // no alpha channel: opaque
    opaque.SetSize(4, 4);
    PngToSpBitmap(&b, &opaque);
    EXPECT_EQ(b.GetPixel(2, 2) >> 24, 255u);
    EXPECT_FALSE(b.AlphaBlend());

    TspBitmap sil;
    sil.SetSize(20, 20);
    DrawPngSilhouette(&sil, &png, 2);
    EXPECT_EQ(sil.GetPixel(2, 2), 0u);             // alpha 0 leaves no shape
    EXPECT_EQ(sil.GetPixel(3, 2), 0xFFFF0000u);    // opaque red
    EXPECT_EQ(sil.GetPixel(19, 19), 0u);
    // A glyph of one colour only has no silhouette.
    TBitmap flat;
    flat.SetPixelFormat(pf24bit);
    flat.SetSize(8, 8);
    TspBitmap none;
    none.SetSize(12, 12);
    DrawBitmapSilhouette(&none, &flat, 2);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            ASSERT_EQ(none.GetPixel(x, y) >> 16 & 0xFF, 0u);
    flat.Canvas()->SetPixel(4, 4, clRed);
    DrawBitmapSilhouette(&none, &flat, 2);
    for (int d : {-1, 0, 1})
        EXPECT_EQ(none.GetPixel(6 + d, 6 + d) >> 16 & 0xFF, 255u) << d;
    EXPECT_EQ(none.GetPixel(7, 6) >> 16 & 0xFF, 0u);
}

TEST(SkinGlow, AlphaImageFromAMask)
{
    TBitmap image, mask;
    image.SetPixelFormat(pf24bit);
    image.SetSize(4, 2);
    image.Canvas()->Brush()->SetColor(clWhite);
    image.Canvas()->FillRect(TRect(0, 0, 4, 2));
    mask.SetPixelFormat(pf24bit);
    mask.SetSize(4, 2);
    mask.Canvas()->Brush()->SetColor(static_cast<TColor>(RGB(100, 100, 100)));
    mask.Canvas()->FillRect(TRect(0, 0, 4, 2));
    TspBitmap dest;
    MakeAlphaImage(&image, &mask, &dest);
    EXPECT_EQ(dest.GetPixel(1, 1), 0x64646464u);  // alpha 100, colours clamped to it
}

}  // namespace
