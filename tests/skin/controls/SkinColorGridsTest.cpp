// The colour arithmetic (RGB <-> HSL and hue/saturation/value) and the two
// colour grids: cell geometry, hits and gaps, the selection frame, custom
// slots wrapping, and counts of 0 or less.
#include "skin/controls/SkinColorGrids.h"
#include "ValueControlsTestCommon.h"

using namespace valuetest;

namespace {

TEST(ColorMath, HueSaturationValueConversions)
{
    struct Case {
        std::uint8_t r, g, b;
        int v, s, h;
    } cases[] = {
        {255, 0, 0, 100, 100, 0},     // red
        {0, 255, 0, 100, 100, 120},   // green (round(1/3 x 359))
        {0, 0, 255, 100, 100, 239},   // blue
        {128, 128, 128, 50, 0, 0},    // grey: no saturation, no hue
        {0, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        int v = -1, s = -1, h = -1;
        RGBToHSV(c.r, c.g, c.b, v, s, h);
        EXPECT_EQ(v, c.v) << int(c.r) << "," << int(c.g) << "," << int(c.b);
        EXPECT_EQ(s, c.s);
        EXPECT_EQ(h, c.h);
    }
    std::uint8_t r = 0, g = 0, b = 0;
    HSVToRGB(100, 100, 120, r, g, b);
    EXPECT_EQ(RGBBytesToColor(r, g, b), TColor(0x00FF00));
    HSVToRGB(100, 100, 0, r, g, b);
    EXPECT_EQ(RGBBytesToColor(r, g, b), TColor(0x0000FF));
    HSVToRGB(50, 0, 200, r, g, b);
    EXPECT_EQ(r, 128);
    EXPECT_EQ(g, 128);
    HSVToRGB(100, 100, 300, r, g, b);
    EXPECT_EQ(RGBBytesToColor(r, g, b), TColor(0xFF00FF));
    // A system colour's high byte is not translated: plain bytes.
    ColorToRGBBytes(static_cast<TColor>(0xFF00000F), r, g, b);
    EXPECT_EQ(r, 0x0F);
    EXPECT_EQ(g, 0);
    EXPECT_EQ(b, 0);
}

TEST(ColorMath, EveryBasicColourThroughHslAndBack)
{
    for (TColor c : kBasicColors) {
        TPSPColor p;
        std::uint8_t r = 0, g = 0, b = 0;
        ColorToRGBBytes(c, r, g, b);
        p.SetRGB({r, g, b});
        TPSPColor q;
        q.SetHSL(p.HSL());
        EXPECT_EQ(RGBBytesToColor(q.RGB().R, q.RGB().G, q.RGB().B), c) << std::hex << c;
    }
    TPSPColor red;
    red.SetRGB({255, 0, 0});
    EXPECT_EQ(red.HSLPSP().H, 0);
    EXPECT_EQ(red.HSLPSP().S, 255);
    EXPECT_EQ(red.HSLPSP().L, 128);  // 0.5 x 255 = 127.5, halves to even
    TPSPColor copy;
    copy.Assign(red);
    EXPECT_EQ(copy.RGB().R, 255);
}

class ColorGridsTest : public ValueControlsTest {};

TEST_F(ColorGridsTest, BasicGridCellsHitsAndGaps)
{
    auto* grid = Make<TspSkinColorGrid>(10, 10, 280, 115);
    TCounter changes;
    grid->OnChange = changes.Event();
    EXPECT_EQ(grid->Caption(), "Basic colors");
    for (auto [cols, rows] : {std::pair{12, 4}, std::pair{6, 8}}) {
        grid->SetColCount(cols);
        grid->SetRowCount(rows);
        const TspColorCells g = grid->Cells();
        ASSERT_FALSE(g.Empty()) << cols << "x" << rows;
        const TRect last = g.Cell(47);
        EXPECT_LE(last.right, grid->Width());
        EXPECT_LE(last.bottom, grid->Height());
        Press(grid, (last.left + last.right) / 2, (last.top + last.bottom) / 2);
        Release();
        EXPECT_EQ(grid->ColorValue(), kBasicColors[47]);
        // The 2-pixel gap between the first two cells: nothing.
        const TRect first = g.Cell(0);
        const int before = changes.N;
        Press(grid, first.right, (first.top + first.bottom) / 2);
        Release();
        EXPECT_EQ(changes.N, before);
        EXPECT_EQ(grid->ColorValue(), kBasicColors[47]);
    }
    // A colour outside the table is stored without an event.
    const int before = changes.N;
    grid->SetColorValue(0x123456);
    EXPECT_EQ(grid->ColorValue(), TColor(0x123456));
    EXPECT_EQ(changes.N, before);
    // The selected cell is framed (built-in look: navy frame).
    grid->SetColCount(12);
    grid->SetRowCount(4);
    grid->SetColorValue(0x0000FF);
    const TRect red = grid->Cells().Cell(4);
    grid->Repaint();
    HeadlessProcessMessages();
    EXPECT_EQ(PixelOf(grid, red.left - 1, red.top + 5), ColorToRGB(TColor(0x800000)));
    EXPECT_EQ(PixelOf(grid, red.left + 6, red.top + 6), ColorToRGB(TColor(0x0000FF)));
}

TEST_F(ColorGridsTest, CountsOfZeroOrLessGiveNoCells)
{
    auto* grid = Make<TspSkinColorGrid>(10, 10, 280, 115);
    grid->SetColCount(0);
    EXPECT_EQ(grid->ColCount(), 12) << "refused";
    for (int rows : {0, -3}) {
        grid->SetRowCount(rows);
        EXPECT_EQ(grid->RowCount(), rows);
        EXPECT_TRUE(grid->Cells().Empty());
        EXPECT_EQ(grid->Cells().HitTest(TPoint(50, 50)), -1);
        grid->Repaint();
        HeadlessProcessMessages();
        Press(grid, 50, 50);
        Release();
    }
    EXPECT_EQ(grid->ColorValue(), TColor(0));
}

TEST_F(ColorGridsTest, CustomSlotsWrapAndClick)
{
    auto* grid = Make<TspSkinCustomColorGrid>(10, 10, 167, 68);
    EXPECT_EQ(grid->Caption(), "Custom colors");
    EXPECT_EQ(grid->CustomColorValues[0], TColor(0xFFFFFF));
    for (int i = 0; i < 13; ++i)
        grid->AddColor(static_cast<TColor>(i + 1));
    EXPECT_EQ(grid->CustomColorValues[0], TColor(13)) << "the thirteenth replaces the first";
    EXPECT_EQ(grid->CustomColorValues[1], TColor(2));
    EXPECT_EQ(grid->FColorsCount, 1);
    TCounter changes;
    grid->OnChange = changes.Event();
    const TRect c = grid->Cells().Cell(7);
    Press(grid, (c.left + c.right) / 2, (c.top + c.bottom) / 2);
    Release();
    EXPECT_EQ(grid->ColorValue(), TColor(8));
    EXPECT_EQ(grid->FColorIndex, 8);
    EXPECT_EQ(changes.N, 1);
}

TEST_F(ColorGridsTest, ViewerPaintsItsColourInABlackFrame)
{
    auto* v = Make<TspColorViewer>(10, 10, 40, 30);
    v->SetColorValue(0x00FF00);
    Form->Repaint();
    HeadlessProcessMessages();
    EXPECT_EQ(PixelOf(v, 0, 0), 0u);
    EXPECT_EQ(PixelOf(v, 20, 15), ColorToRGB(TColor(0x00FF00)));
}

}  // namespace
