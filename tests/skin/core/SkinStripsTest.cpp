// Three-part strips and frame bands, traced through a source whose pixels
// name their own position (red = x, green = y).
#include "platform/gui/Graphics.h"
#include "platform/rtl/Exceptions.h"
#include "skin/core/SkinStrips.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

std::unique_ptr<TBitmap> TracedSource(int w, int h)
{
    auto b = std::make_unique<TBitmap>();
    b->SetPixelFormat(pf24bit);
    b->SetSize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b->Canvas()->SetPixel(x, y, RGB(x, y, 7));
    return b;
}

int R(TBitmap& b, int x, int y) { return GetRValue(b.Canvas()->Pixels(x, y)); }
int G(TBitmap& b, int x, int y) { return GetGValue(b.Canvas()->Pixels(x, y)); }
int B(TBitmap& b, int x, int y) { return GetBValue(b.Canvas()->Pixels(x, y)); }

using TStrip = void (*)(int, int, TBitmap*, TBitmap*, TRect, int, int, bool);

TEST(SkinStrips, HorizontalStripsColumnByColumn)
{
    // The piece (2, 1, 12, 5) of a 16 x 8 source: PW 10, PH 4; head 3, tail 2,
    // middle columns 3 to 8 (5 wide). -1 means "not drawn".
    auto src = TracedSource(16, 8);
    const TRect piece(2, 1, 12, 5);
    struct TCase {
        const char* What;
        TStrip Routine;
        int Left, Right, Width;
        bool Stretch;
        std::function<int(int)> Column;  // piece column shown at x
    } cases[] = {
        {"same width reproduces the piece", CreateHSkinImage, 3, 2, 10, false, [](int x) { return x; }},
        {"tiles cut at the span's end", CreateHSkinImage, 3, 2, 17, false,
         [](int x) { return x < 3 ? x : x >= 15 ? x - 7 : 3 + (x - 3) % 5; }},
        {"narrower than head and tail: overlap, tail last", CreateHSkinImage, 3, 2, 4, false,
         [](int x) { return x < 2 ? x : x + 6; }},
        {"stretched middle", CreateHSkinImage, 3, 2, 15, true,
         [](int x) { return x < 3 ? x : x >= 13 ? x - 5 : 3 + (x - 3) / 2; }},
        {"head only: the tail columns never show", CreateLeftHSkinImage, 3, 2, 17, false,
         [](int x) { return x < 3 ? x : 3 + (x - 3) % 5; }},
        {"middle only, tiled over the whole width", CreateHStretchImage, 3, 2, 12, false,
         [](int x) { return 3 + x % 5; }},
        {"middle of width 0: nothing between head and tail", CreateHSkinImage, 5, 5, 14, false,
         [](int x) { return x < 5 ? x : x >= 9 ? x - 4 : -1; }},
        {"middle of width 0, stretched", CreateHSkinImage, 5, 5, 14, true,
         [](int x) { return x < 5 ? x : x >= 9 ? x - 4 : -1; }},
    };
    for (const TCase& c : cases) {
        TBitmap dst;
        dst.SetPixelFormat(pf24bit);
        c.Routine(c.Left, c.Right, &dst, src.get(), piece, c.Width, 999, c.Stretch);
        ASSERT_EQ(dst.Width(), c.Width) << c.What;
        ASSERT_EQ(dst.Height(), 4) << c.What;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < c.Width; ++x) {
                const int col = c.Column(x);
                if (col < 0) {
                    EXPECT_NE(B(dst, x, y), 7) << c.What << " x=" << x;
                    continue;
                }
                EXPECT_EQ(R(dst, x, y), 2 + col) << c.What << " x=" << x;
                EXPECT_EQ(G(dst, x, y), 1 + y) << c.What << " x=" << x;
            }
    }
}

TEST(SkinStrips, VerticalStripRowByRow)
{
    auto src = TracedSource(16, 8);
    const TRect piece(2, 1, 6, 7);  // 4 x 6
    struct TCase {
        const char* What;
        int Top, Bottom, Height;
        bool Stretch;
        std::function<int(int)> Row;
    } cases[] = {
        {"tiles", 1, 1, 11, false, [](int y) { return y < 1 ? y : y >= 10 ? 5 : 1 + (y - 1) % 4; }},
        {"stretched", 1, 1, 10, true, [](int y) { return y < 1 ? y : y >= 9 ? 5 : 1 + (y - 1) / 2; }},
        {"middle of height 0, tiled", 3, 3, 10, false, [](int y) { return y < 3 ? y : y >= 7 ? y - 4 : -1; }},
        {"middle of height 0, stretched", 3, 3, 10, true, [](int y) { return y < 3 ? y : y >= 7 ? y - 4 : -1; }},
    };
    for (const TCase& c : cases) {
        TBitmap dst;
        dst.SetPixelFormat(pf24bit);
        CreateVSkinImage(c.Top, c.Bottom, &dst, src.get(), piece, 999, c.Height, c.Stretch);
        ASSERT_EQ(dst.Width(), 4) << c.What;
        ASSERT_EQ(dst.Height(), c.Height) << c.What;
        for (int y = 0; y < c.Height; ++y) {
            const int row = c.Row(y);
            if (row < 0) {
                EXPECT_NE(B(dst, 1, y), 7) << c.What << " y=" << y;
                continue;
            }
            EXPECT_EQ(G(dst, 1, y), 1 + row) << c.What << " y=" << y;
            EXPECT_EQ(R(dst, 1, y), 3) << c.What << " y=" << y;
        }
    }
}

TEST(SkinStrips, BadInputDrawsNothing)
{
    auto src = TracedSource(16, 8);
    TBitmap dst;
    dst.SetPixelFormat(pf24bit);
    dst.SetSize(3, 3);
    CreateHSkinImage(1, 1, &dst, src.get(), TRect(2, 1, 2, 5), 10, 0, false);  // empty piece
    CreateHSkinImage(1, 1, &dst, src.get(), TRect(2, 1, 12, 5), 0, 0, false);
    CreateHSkinImage(1, 1, &dst, src.get(), TRect(2, 1, 12, 5), -5, 0, true);
    CreateVSkinImage(1, 1, &dst, src.get(), TRect(2, 1, 12, 5), 0, -1, false);
    EXPECT_EQ(dst.Width(), 3);
    // A piece partly outside its picture reads only what is there.
    CreateHSkinImage(2, 2, &dst, src.get(), TRect(10, 4, 30, 20), 25, 0, false);
    EXPECT_EQ(dst.Width(), 25);
    EXPECT_THROW(CreateHSkinImage(3, -0x7FFFFFFF, &dst, src.get(), TRect(2, 1, 12, 5), 10, 0, false),
                 EIntOverflow);
    EXPECT_THROW(CreateSkinBorderImages(TPoint(3, 3), TPoint(7, 3), TPoint(3, 7), TPoint(7, 7), TRect(3, 3, 7, 7),
                                        TPoint(3, 3), TPoint(17, 3), TPoint(3, 13), TPoint(17, 13),
                                        TRect(3, 3, 17, -0x7FFFFFF0), &dst, &dst, &dst, &dst, src.get(),
                                        TRect(0, 0, 10, 10), 20, 0x7FFFFFF0, false, false, false, false),
                 EIntOverflow);
    EXPECT_EQ(dst.Width(), 25);
}

TEST(SkinStrips, FrameBands)
{
    // A 10 x 10 piece at (1, 2) with client (3, 3, 7, 7) and corner points
    // on the client corners, made into a 20 x 16 frame.
    auto src = TracedSource(16, 16);
    const TRect piece(1, 2, 11, 12);
    auto bands = [&](TRect newCl, TBitmap& l, TBitmap& t, TBitmap& r, TBitmap& b, bool stretch) {
        CreateSkinBorderImages(TPoint(3, 3), TPoint(7, 3), TPoint(3, 7), TPoint(7, 7), TRect(3, 3, 7, 7),
                               TPoint(3, newCl.top), TPoint(17, newCl.top), TPoint(3, 13), TPoint(17, 13), newCl, &l,
                               &t, &r, &b, src.get(), piece, 20, 16, stretch, stretch, stretch, stretch);
    };
    TBitmap l, t, r, b;
    for (TBitmap* x : {&l, &t, &r, &b})
        x->SetPixelFormat(pf24bit);
    bands(TRect(3, 3, 17, 13), l, t, r, b, false);
    ASSERT_EQ(t.Width(), 20);
    ASSERT_EQ(t.Height(), 3);
    ASSERT_EQ(b.Height(), 3);
    ASSERT_EQ(l.Width(), 3);
    ASSERT_EQ(l.Height(), 10);  // 16 less the top and bottom bands
    ASSERT_EQ(r.Width(), 3);
    // Top: left corner, middle tiled from x = 0 (so x = 3 shows column 6),
    // right corner.
    for (int x = 0; x < 20; ++x) {
        const int col = x < 3 ? x : x >= 17 ? x - 10 : 3 + x % 4;
        EXPECT_EQ(R(t, x, 1), 1 + col) << x;
        EXPECT_EQ(G(t, x, 1), 3);
    }
    EXPECT_EQ(G(b, 5, 0), 2 + 7);  // the piece's last three rows
    for (int y = 0; y < 10; ++y) {
        EXPECT_EQ(G(l, 1, y), 2 + 3 + y % 4) << y;
        EXPECT_EQ(R(r, 1, y), 1 + 8) << y;
    }
    // Stretched sides keep the piece's end lengths (here 0).
    bands(TRect(3, 3, 17, 13), l, t, r, b, true);
    EXPECT_EQ(G(l, 0, 0), 2 + 3);
    EXPECT_EQ(G(l, 0, 9), 2 + 6);

    // A top band of height 0 is not made: a reused bitmap keeps its pixels
    // and no longer shortens the sides.
    TBitmap reused;
    reused.SetPixelFormat(pf24bit);
    reused.SetSize(20, 20);
    reused.Canvas()->SetPixel(4, 4, RGB(200, 100, 50));
    bands(TRect(3, 0, 17, 13), l, reused, r, b, false);
    EXPECT_EQ(reused.Height(), 20);
    EXPECT_EQ(reused.Canvas()->Pixels(4, 4), static_cast<TColor>(RGB(200, 100, 50)));
    EXPECT_EQ(l.Height(), 13);
    EXPECT_EQ(r.Height(), 13);
}

}  // namespace
