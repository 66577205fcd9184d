// Glyph and caption layout: the four layouts centred and with margins, the
// pressed shift, markers and plates, strip cells and their transparency.
#include "platform/gdi/Gdi.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/ImgList.h"
#include "skin/core/GlyphLayout.h"

#include "SkinTestBitmaps.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(GlyphLayout, FourLayoutsCentredAndWithMargins)
{
    const TRect rect(0, 0, 100, 30);
    struct TCase {
        const char* What;
        TspButtonLayout Layout;
        int GW, GH, Margin;
        int GlyphX, GlyphY, TextX, TextY;
    } cases[] = {
        {"centred left", blGlyphLeft, 16, 16, -1, 20, 7, 40, 9},
        {"centred right", blGlyphRight, 16, 16, -1, 64, 7, 20, 9},
        {"centred top", blGlyphTop, 16, 16, -1, 42, -1, 30, 18},
        {"centred bottom", blGlyphBottom, 16, 16, -1, 42, 15, 30, -1},
        {"no glyph: no spacing, caption in the middle", blGlyphLeft, 0, 0, -1, 30, 15, 30, 9},
        {"margin 5 left", blGlyphLeft, 16, 16, 5, 5, 7, 25, 9},
        {"margin 0 right: flush with the edge", blGlyphRight, 16, 16, 0, 84, 7, 40, 9},
        {"margin 3 top", blGlyphTop, 16, 16, 3, 42, 3, 30, 23},
        {"margin 3 bottom", blGlyphBottom, 16, 16, 3, 42, 11, 30, -6},
    };
    for (const TCase& c : cases) {
        int tx = 0, ty = 0, gx = 0, gy = 0;
        CalcGlyphLayout(c.Layout, rect, c.GW, c.GH, 40, 13, 4, c.Margin, tx, ty, gx, gy);
        EXPECT_EQ(gx, c.GlyphX) << c.What;
        EXPECT_EQ(gy, c.GlyphY) << c.What;
        EXPECT_EQ(tx, c.TextX) << c.What;
        EXPECT_EQ(ty, c.TextY) << c.What;
    }
    int tx = 1, ty = 2, gx = 3, gy = 4;
    CalcGlyphLayout(static_cast<TspButtonLayout>(9), rect, 16, 16, 40, 13, 4, -1, tx, ty, gx, gy);
    EXPECT_EQ(tx + ty + gx + gy, 10);
}

// A strip of four 16 x 16 cells in red, lime, blue and yellow, each with a
// magenta bottom-left pixel (its transparent colour).
std::unique_ptr<TBitmap> Strip()
{
    auto b = std::make_unique<TBitmap>();
    b->SetPixelFormat(pf24bit);
    b->SetSize(64, 16);
    const TColor colours[4] = {clRed, clLime, clBlue, clYellow};
    for (int i = 0; i < 4; ++i) {
        b->Canvas()->Brush()->SetColor(colours[i]);
        b->Canvas()->FillRect(TRect(i * 16, 0, i * 16 + 16, 16));
        b->Canvas()->SetPixel(i * 16, 15, clFuchsia);
    }
    return b;
}

TEST(GlyphLayout, StripCellsAndBadIndexes)
{
    auto strip = Strip();
    auto t = skintest::SolidBitmap(40, 20, clWhite);
    DrawStripGlyph(t->Canvas(), 2, 2, strip.get(), 4, 2);
    EXPECT_EQ(t->Canvas()->Pixels(2 + 8, 2 + 8), clLime);  // columns 16 to 32
    EXPECT_EQ(t->Canvas()->Pixels(2, 2 + 15), clWhite);   // the transparent corner
    for (auto [count, index] : {std::pair{4, 0}, {4, 5}, {0, 1}, {-2, 1}, {100, 1}}) {
        auto u = skintest::SolidBitmap(40, 20, clWhite);
        DrawStripGlyph(u->Canvas(), 0, 0, strip.get(), count, index);
        DrawGlyphAndText(u->Canvas(), TRect(0, 0, 40, 20), -1, 4, blGlyphLeft, "", strip.get(), count, index, false,
                         false, clBlack);
        EXPECT_EQ(u->Canvas()->Pixels(8, 8), clWhite) << count << " " << index;
    }
    TBitmap empty;
    DrawStripGlyph(t->Canvas(), 0, 0, &empty, 1, 1);
}

TEST(GlyphLayout, PressedShiftMarkersAndPlates)
{
    auto strip = Strip();
    // Centred in (0, 0, 40, 40): a 16 x 16 glyph at (12, 12), pressed (13, 13).
    for (bool down : {false, true}) {
        auto t = skintest::SolidBitmap(40, 40, clWhite);
        DrawGlyphAndText(t->Canvas(), TRect(0, 0, 40, 40), -1, 4, blGlyphLeft, "", strip.get(), 4, 3, down, true,
                         clBlack);
        const int o = down ? 13 : 12;
        EXPECT_EQ(t->Canvas()->Pixels(o + 5, o), clBlue) << down;
        EXPECT_EQ(t->Canvas()->Pixels(o + 5, o - 1), clWhite) << down;
        // Three marker lines at the glyph's last two rows and the row below.
        for (int y : {o + 14, o + 15, o + 16})
            EXPECT_EQ(t->Canvas()->Pixels(o + 5, y), clBlack) << down << " " << y;
        EXPECT_EQ(t->Canvas()->Pixels(o + 16, o + 15), clWhite) << down;
    }
    // Without glyph or caption the marker is a plate; pressed, one pixel lower.
    for (bool down : {false, true}) {
        auto t = skintest::SolidBitmap(40, 40, clWhite);
        DrawImageAndText(t->Canvas(), TRect(0, 0, 40, 40), -1, 4, blGlyphLeft, "", -1, nullptr, down, true, true,
                         clRed);
        const int top = down ? 5 : 4, bottom = down ? 37 : 36;
        EXPECT_EQ(t->Canvas()->Pixels(4, top), clRed) << down;
        EXPECT_EQ(t->Canvas()->Pixels(4, top - 1), clWhite) << down;
        EXPECT_EQ(t->Canvas()->Pixels(37, bottom - 1), clRed) << down;
        EXPECT_EQ(t->Canvas()->Pixels(37, bottom), clWhite) << down;
        EXPECT_EQ(t->Canvas()->Pixels(38, 20), clWhite) << down;
    }
}

TEST(GlyphLayout, ImageListGlyphWithCaptionAndHalo)
{
    auto list = std::unique_ptr<TCustomImageList>(TCustomImageList::CreateSize(16, 16));
    auto strip = Strip();
    list->AddMasked(strip.get(), clFuchsia);
    auto plain = skintest::SolidBitmap(120, 40, clWhite);
    plain->Canvas()->Font()->SetHeight(-12);
    DrawImageAndText(plain->Canvas(), TRect(0, 0, 120, 40), 4, 4, blGlyphLeft, "Open", 1, list.get(), false, true,
                     false, clBlack);
    EXPECT_EQ(plain->Canvas()->Pixels(4 + 8, 12 + 8), clLime);
    int ink = 0;
    for (int x = 24; x < 120; ++x)
        for (int y = 0; y < 40; ++y)
            ink += plain->Canvas()->Pixels(x, y) != clWhite;
    EXPECT_GT(ink, 10);  // the caption beside the glyph
    // With a halo: the glyph's surroundings take the glow colour. The glyph
    // is a black square on white, its corner colour.
    auto square = skintest::SolidBitmap(16, 16, clWhite);
    square->Canvas()->Brush()->SetColor(clBlack);
    square->Canvas()->FillRect(TRect(4, 4, 12, 12));
    list->AddMasked(square.get(), clWhite);
    auto glow = skintest::SolidBitmap(120, 40, clWhite);
    DrawImageAndTextWithGlow(glow->Canvas(), TRect(0, 0, 120, 40), 4, 4, blGlyphLeft, "", 4, list.get(), false, true,
                             false, clBlack, clBlue, 3);
    EXPECT_EQ(glow->Canvas()->Pixels(4 + 8, 12 + 8), clBlack);
    const TColor beside = glow->Canvas()->Pixels(4 + 3, 12 + 8);
    EXPECT_LT(GetRValue(beside), 255);
    EXPECT_EQ(GetBValue(beside), 255);
    EXPECT_THROW(DrawImageAndTextWithGlow(glow->Canvas(), TRect(0, 0, 120, 40), 4, 4, blGlyphLeft, "", 4, list.get(),
                                          false, true, false, clBlack, clBlue, -1),
                 ERangeError);
}

// The caption's first row of ink, drawn by the layout and drawn by hand at
// the layout's text position: an odd font height raises the layout's one
// pixel, an even one leaves it.
TEST(GlyphLayout, OddFontHeightRaisesTheCaptionByOnePixel)
{
    for (int height : {-13, -14}) {
        auto firstInk = [](TBitmap& b) {
            for (int y = 0; y < b.Height(); ++y)
                for (int x = 0; x < b.Width(); ++x)
                    if (b.Canvas()->Pixels(x, y) != clWhite)
                        return y;
            return -1;
        };
        const TRect rect(0, 0, 120, 40);
        auto laid = skintest::SolidBitmap(120, 40, clWhite);
        laid->Canvas()->Font()->SetHeight(height);
        DrawImageAndText(laid->Canvas(), rect, -1, 4, blGlyphLeft, "Hig", -1, nullptr, false, true, false, clBlack);
        auto plain = skintest::SolidBitmap(120, 40, clWhite);
        plain->Canvas()->Font()->SetHeight(height);
        plain->Canvas()->Brush()->SetStyle(bsClear);
        plain->Canvas()->Refresh();  // the font into the DC
        RECT m{0, 0, 120, 40};
        DrawText(plain->Canvas()->Handle(), "Hig", 3, &m, DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK);
        int tx = 0, ty = 0, gx = 0, gy = 0;
        CalcGlyphLayout(blGlyphLeft, rect, 0, 0, m.right, m.bottom, 4, -1, tx, ty, gx, gy);
        RECT r{tx, ty, tx + m.right + 2, ty + m.bottom};
        DrawText(plain->Canvas()->Handle(), "Hig", 3, &r, DT_EXPANDTABS | DT_WORDBREAK | DT_CENTER);
        EXPECT_EQ(firstInk(*laid), firstInk(*plain) - (height % 2 ? 1 : 0)) << height;
    }
}

}  // namespace
