// Both blending sets, pixel-exact, at the alphas where they differ.
#include "skin/core/SkinKernels.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct TBlendCase {
    TspColor Alpha;
    TspColor Plain;  // BlendPixel of the plain set
    TspColor Vector; // BlendPixel of the vector set
};

// Foreground R 0x40 G 0x80 B 0xC0 over background R 0x10 G 0x20 B 0x30,
// background alpha 0x60.
constexpr TspColor kFore = 0x004080C0;
constexpr TspColor kBack = 0x60102030;

const TBlendCase kCases[] = {
    {0, kBack, kBack},
    {1, 0xFF102030, 0x5F102030},
    {127, 0xFF274F77, 0x6F274F77},
    {128, 0xFF274F77, 0x70285078},
    {254, 0xFF3F7FBE, 0xFC3F7FBE},
    {255, 0xFF4080C0, 0xFE3F7FBF},
};

TEST(BitmapKernel, BlendPixelTable)
{
    for (const auto& c : kCases) {
        const TspColor f = kFore | (c.Alpha << 24);
        EXPECT_EQ(PlainBlendPixel(f, kBack), c.Plain) << "alpha " << c.Alpha;
        EXPECT_EQ(MMXBlendPixel(f, kBack), c.Vector) << "alpha " << c.Alpha;
    }
    EXPECT_EQ(PlainBlendPixel(0x80FFFFFF, 0xFFFFFFFF), 0xFFFEFEFEu);
    EXPECT_EQ(MMXBlendPixel(0x80FFFFFF, 0xFFFFFFFF), 0xBFFFFFFFu);
}

TEST(BitmapKernel, BlendRowMatchesPixelsExceptEnds)
{
    // 13 pixels: whole vector blocks and a tail, every alpha of the table.
    std::vector<TspColor> src, back;
    for (int i = 0; i < 13; ++i) {
        src.push_back((kFore + static_cast<TspColor>(i)) | (kCases[i % 6].Alpha << 24));
        back.push_back(kBack + static_cast<TspColor>(i * 3));
    }
    for (bool vector : {false, true}) {
        std::vector<TspColor> dst = back;
        (vector ? MMXBlendRow : PlainBlendRow)(src.data(), dst.data(), 13);
        for (int i = 0; i < 13; ++i) {
            const TspColor a = src[i] >> 24;
            TspColor want = a == 0 ? back[i] : a == 255 ? src[i]
                            : vector ? MMXBlendPixel(src[i], back[i]) : PlainBlendPixel(src[i], back[i]);
            EXPECT_EQ(dst[i], want) << (vector ? "vector " : "plain ") << i;
        }
    }
    // Counts of 0 or less do nothing.
    std::vector<TspColor> dst = back;
    MMXBlendRow(src.data(), dst.data(), 0);
    PlainBlendRow(src.data(), dst.data(), -3);
    EXPECT_EQ(dst, back);
}

TEST(BitmapKernel, ExhaustiveRowsEqualPixelFormulas)
{
    // Every alpha against a spread of channel pairs, through the wide, the
    // four-pixel and the single-pixel paths (259 is not a multiple of 8).
    std::vector<TspColor> src(259), dst(259), want(259);
    for (bool vector : {false, true})
        for (TspColor f : {0x00000000u, 0x00FFFFFFu, 0x0012F0A5u}) {
            for (TspColor b : {0x00000000u, 0xFFFFFFFFu, 0x80A51200u}) {
                for (int i = 0; i < 259; ++i) {
                    const int a = i % 256;
                    src[i] = f | (static_cast<TspColor>(a) << 24);
                    dst[i] = b;
                    want[i] = a == 0 ? b : a == 255 ? src[i] : vector ? MMXBlendPixel(src[i], b) : PlainBlendPixel(src[i], b);
                }
                (vector ? MMXBlendRow : PlainBlendRow)(src.data(), dst.data(), 259);
                EXPECT_EQ(dst, want) << (vector ? "vector" : "plain");
            }
        }
}

TEST(BitmapKernel, CopyAndFillEntries)
{
    const TspColor src[4] = {0x007F007F, 0x127F007F, 0x00102030, 0x80000001};
    TspColor dst[4] = {1, 2, 3, 4};
    RowKernels.CopyRowSkipKey(src, dst, 4);
    EXPECT_EQ(dst[0], 1u);
    EXPECT_EQ(dst[1], 2u);
    EXPECT_EQ(dst[2], 0xFF102030u);
    EXPECT_EQ(dst[3], 0xFF000001u);

    TspColor rect[12] = {};
    RowKernels.FillRectPixels(rect, 4, 3, 9, 1, 2, 0, 1);
    const TspColor wantFill[12] = {0, 9, 9, 0, 0, 9, 9, 0, 0, 0, 0, 0};
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(rect[i], wantFill[i]) << i;
    RowKernels.SetAlphaRect(rect, 4, 3, 0x80, 2, 0, 2, 0);
    EXPECT_EQ(rect[8], 0x80000000u);
    RowKernels.FillRectPixels(rect, 4, 3, 7, 0, 0, 1, 0);  // Bottom < Top: nothing
    EXPECT_EQ(rect[0], 0u);

    TspColor keyed[3] = {0xFF7F007F, 0xFF7F0080, 0x107F007F};
    RowKernels.ClearKeyAlpha(keyed, 3, 0xAA7F007F);
    EXPECT_EQ(keyed[0], 0x007F007Fu);
    EXPECT_EQ(keyed[1], 0xFF7F0080u);
    EXPECT_EQ(keyed[2], 0x007F007Fu);
}

TEST(BitmapKernel, ChoiceFollowsProcessorTest)
{
    const bool was = UseMMX;
    InitRowKernels();
    EXPECT_EQ(UseMMX, HasMMX());
    EXPECT_EQ(RowKernels.BlendPixel == MMXBlendPixel, HasMMX());
    SelectRowKernels(was);
}

}  // namespace
