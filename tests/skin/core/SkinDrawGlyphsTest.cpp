// Every drawn glyph and mark, pixel for pixel.
#include "skin/core/SkinDrawGlyphs.h"

#include "platform/gui/Graphics.h"
#include "skin/core/SkinBitmap.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// Draws on a white 12 x 11 picture and returns it as rows of '#' (black)
// and '.' (untouched).
std::vector<std::string> Render(const std::function<void(TCanvas*)>& draw)
{
    TspBitmap b;
    b.SetSize(12, 11);
    b.Clear(0xFFFFFFFF);
    draw(b.Canvas());
    std::vector<std::string> rows;
    for (int y = 0; y < 11; ++y) {
        std::string r;
        for (int x = 0; x < 12; ++x)
            r += (b.GetPixel(x, y) & 0xFFFFFF) == 0 ? '#' : '.';
        rows.push_back(r);
    }
    return rows;
}

struct TGlyphCase {
    const char* Name;
    std::function<void(TCanvas*)> Draw;
    std::vector<std::string> Want;
};

const TRect kTen(0, 0, 10, 10);

TEST(SkinDrawGlyphs, Table)
{
    const TGlyphCase cases[] = {
        {"small arrow left", [](TCanvas* c) { DrawSmallArrow(c, kTen, clBlack, 1); },
         {"............", "............", "............", "......#.....", ".....##.....", "....###.....",
          ".....##.....", "......#.....", "............", "............", "............"}},
        {"small arrow up", [](TCanvas* c) { DrawSmallArrow(c, kTen, clBlack, 3); },
         {"............", "............", "............", "............", ".....#......", "....###.....",
          "...#####....", "............", "............", "............", "............"}},
        {"drop-down arrow", [](TCanvas* c) { DrawDropDownArrow(c, TRect(0, 0, 9, 9), clBlack); },
         {"............", "............", "............", "............", "..#####.....", "...###......",
          "....#.......", "............", "............", "............", "............"}},
        {"arrow right", [](TCanvas* c) { DrawArrow(c, kTen, clBlack, 2); },
         {"............", "............", "....#.......", "....##......", "....###.....", "....####....",
          "....###.....", "....##......", "....#.......", "............", "............"}},
        {"arrow down", [](TCanvas* c) { DrawArrow(c, kTen, clBlack, 4); },
         {"............", "............", "............", "............", "..#######...", "...#####....",
          "....###.....", ".....#......", "............", "............", "............"}},
        {"no direction", [](TCanvas* c) { DrawArrow(c, kTen, clBlack, 5); },
         {"............", "............", "............", "............", "............", "............",
          "............", "............", "............", "............", "............"}},
        {"radio mark", [](TCanvas* c) { DrawRadioMark(c, 1, 1, clBlack); },
         {"............", ".######.....", ".######.....", ".######.....", ".######.....", ".######.....",
          ".######.....", "............", "............", "............", "............"}},
        {"check mark", [](TCanvas* c) { DrawCheckMark(c, 0, 0, clBlack); },
         {"............", "......#.....", ".....##.....", "#...###.....", "##.###......", "#####.......",
          ".###........", "..#.........", "............", "............", "............"}},
        {"dotted focus, even sides", [](TCanvas* c) {
             c->Font()->SetColor(clBlack);
             DrawDottedFocusRect(c, TRect(0, 0, 5, 5));
         },
         {".#.#........", "#...#.......", "............", "#...#.......", ".#.#........", "............",
          "............", "............", "............", "............", "............"}},
        {"dotted focus, odd width", [](TCanvas* c) {
             c->Font()->SetColor(clBlack);
             DrawDottedFocusRect(c, TRect(0, 0, 6, 5));
         },
         {"#.#.#.......", ".....#......", "#...........", ".....#......", "#.#.#.......", "............",
          "............", "............", "............", "............", "............"}},
        {"close", [](TCanvas* c) { DrawCloseGlyph(c, 0, 0, clBlack); },
         {"............", ".##.....##..", "..##...##...", "...##.##....", "....###.....", "....###.....",
          "...##.##....", "..##...##...", ".##.....##..", "............", "............"}},
        {"close in rect", [](TCanvas* c) { DrawCloseGlyphInRect(c, TRect(0, 0, 2, 2), clBlack); },
         // the cell starts at (-4, -4)
         {"###.........", "###.........", "#.##........", "...##.......", "....##......", "............",
          "............", "............", "............", "............", "............"}},
        {"maximize", [](TCanvas* c) { DrawMaximizeGlyph(c, 0, 0, clBlack); },
         {"###########.", "###########.", "#.........#.", "#.........#.", "#.........#.", "#.........#.",
          "#.........#.", "#.........#.", "#.........#.", "###########.", "............"}},
        {"restore", [](TCanvas* c) { DrawRestoreGlyph(c, 0, 0, clBlack); },
         {"..########..", "..########..", "..#......#..", "..#......#..", "#######..#..", "##########..",
          "#.....#.....", "#.....#.....", "#.....#.....", "#######.....", "............"}},
        {"minimize", [](TCanvas* c) { DrawMinimizeGlyph(c, 0, 0, clBlack); },
         {"............", "............", "............", "............", "............", "............",
          "............", "............", ".########...", ".########...", "............"}},
        {"system menu", [](TCanvas* c) { DrawSysMenuGlyph(c, 0, 0, clBlack); },
         {"............", "............", "............", ".########...", ".#......#...", ".########...",
          "............", "............", "............", "............", "............"}},
        {"roll up", [](TCanvas* c) { DrawRollUpGlyph(c, 0, 0, clBlack); },
         {"............", "............", "............", "....##......", "...####.....", "..######....",
          ".########...", "............", "............", "............", "............"}},
        {"roll down", [](TCanvas* c) { DrawRollDownGlyph(c, 0, 0, clBlack); },
         {"............", "............", ".########...", "..######....", "...####.....", "....##......",
          "............", "............", "............", "............", "............"}},
        {"tray", [](TCanvas* c) { DrawTrayGlyph(c, 0, 0, clBlack); },
         {"............", "............", "..#####.....", "..#####.....", "..#####.....", "..#####.....",
          "..#####.....", "............", "............", "............", "............"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Render(c.Draw), c.Want) << c.Name;
}

TEST(SkinDrawGlyphs, SmallArrowRightExample)
{
    const auto rows = Render([](TCanvas* c) { DrawSmallArrow(c, kTen, clBlack, 2); });
    std::vector<std::pair<int, int>> set;
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 12; ++x)
            if (rows[y][x] == '#')
                set.push_back({x, y});
    const std::vector<std::pair<int, int>> want = {{4, 3}, {4, 4}, {5, 4}, {4, 5}, {5, 5},
                                                   {6, 5}, {4, 6}, {5, 6}, {4, 7}};
    EXPECT_EQ(set, want);
}

TEST(SkinDrawGlyphs, CloseGlyphInRectIsCentred)
{
    auto draw = [](auto f) {
        TspBitmap b;
        b.SetSize(20, 20);
        b.Clear(0xFFFFFFFF);
        f(b.Canvas());
        std::vector<TspColor> px;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x)
                px.push_back(b.GetPixel(x, y) & 0xFFFFFF);
        return px;
    };
    EXPECT_EQ(draw([](TCanvas* c) { DrawCloseGlyphInRect(c, TRect(0, 0, 20, 20), clBlack); }),
              draw([](TCanvas* c) { DrawCloseGlyph(c, 5, 5, clBlack); }));
}

TEST(SkinDrawGlyphs, Frame3DCornersTakeTheSecondColour)
{
    TspBitmap b;
    b.SetSize(4, 4);
    b.Clear(0xFFFFFFFF);
    DrawFrame3D(b.Canvas(), TRect(0, 0, 4, 4), clRed, clBlue);
    auto at = [&](int x, int y) { return b.GetPixel(x, y) & 0xFFFFFF; };
    for (auto [x, y] : {std::pair{0, 0}, {0, 1}, {0, 2}, {1, 0}, {2, 0}})
        EXPECT_EQ(at(x, y), 0xFF0000u) << x << "," << y;
    for (auto [x, y] : {std::pair{3, 0}, {3, 1}, {3, 2}, {3, 3}, {0, 3}, {1, 3}, {2, 3}})
        EXPECT_EQ(at(x, y), 0x0000FFu) << x << "," << y;
    EXPECT_EQ(at(1, 1), 0xFFFFFFu);
}

TEST(SkinDrawGlyphs, ColourAndPenState)
{
    TspBitmap b;
    b.SetSize(12, 11);
    TCanvas* c = b.Canvas();
    DrawArrow(c, kTen, clGreen, 0);
    EXPECT_EQ(c->Pen()->Color(), clGreen);
    DrawRadioMark(c, 0, 0, clRed);
    EXPECT_EQ(b.GetPixel(2, 2) & 0xFFFFFF, 0xFF0000u);
}

}  // namespace
