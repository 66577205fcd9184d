// Nine-slice composition with pixel-traceable pictures (red = x, green = y
// of the source picture), and mask regions.
#include "skin/core/SkinImage.h"

#include "platform/gui/Graphics.h"
#include "platform/rtl/Exceptions.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>

namespace {

constexpr auto spstFull = static_cast<TspStretchType>(0);
constexpr auto spstHorz = static_cast<TspStretchType>(1);
constexpr auto spstVert = static_cast<TspStretchType>(2);

// A 40 x 30 picture whose pixel (x, y) is red x, green y.
std::unique_ptr<TBitmap> TraceablePicture()
{
    auto b = std::make_unique<TBitmap>();
    b->SetPixelFormat(pf32bit);
    b->SetSize(40, 30);
    for (int y = 0; y < 30; ++y) {
        auto* row = static_cast<DWORD*>(b->ScanLine(y));
        for (int x = 0; x < 40; ++x)
            row[x] = 0xFF000000u | (static_cast<DWORD>(x) << 16) | (static_cast<DWORD>(y) << 8);
    }
    return b;
}

struct TSourcePoint {
    int X, Y;
};

TSourcePoint SourceAt(TBitmap& b, int x, int y)
{
    const DWORD p = static_cast<DWORD*>(b.ScanLine(y))[x];
    return {static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF)};
}

// The piece: 12 x 10 at (10, 5); client (3, 2, 9, 7); corners end at 4 and
// 8 along the top and bottom bands, at 3 and 6 along the sides.
const TRect kSkinRect(10, 5, 22, 15);
const TRect kClRect(3, 2, 9, 7);
const TPoint kLT(4, 3), kRT(8, 3), kLB(4, 6), kRB(8, 6);
constexpr int PW = 12, PH = 10;

struct TTarget {
    TPoint LT, RT, LB, RB;
    TRect Cl;
};

TTarget Derive(int w, int h)
{
    const int dW = w - PW, dH = h - PH;
    return {kLT, TPoint(kRT.x + dW, kRT.y), TPoint(kLB.x, kLB.y + dH), TPoint(kRB.x + dW, kRB.y + dH),
            TRect(kClRect.left, kClRect.top, kClRect.right + dW, kClRect.bottom + dH)};
}

// Where a target pixel comes from in tile mode, in piece coordinates.
TSourcePoint TiledSource(int x, int y, int w, int h)
{
    const int dW = w - PW, dH = h - PH;
    auto tile = [](int v, int from, int a, int b) { return a + (v - from) % (b - a); };
    if (y < kClRect.top) {
        if (x < kLT.x)
            return {x, y};
        if (x >= kRT.x + dW)
            return {x - dW, y};
        return {tile(x, kLT.x, kLT.x, kRT.x), y};
    }
    if (y >= kClRect.bottom + dH) {
        if (x < kLB.x)
            return {x, y - dH};
        if (x >= kRB.x + dW)
            return {x - dW, y - dH};
        return {tile(x, kLB.x, kLB.x, kRB.x), y - dH};
    }
    if (x < kClRect.left) {
        if (y < kLT.y)
            return {x, y};
        if (y >= kLB.y + dH)
            return {x, y - dH};
        return {x, tile(y, kLT.y, kLT.y, kLB.y)};
    }
    if (x >= kClRect.right + dW) {
        if (y < kRT.y)
            return {x - dW, y};
        if (y >= kRB.y + dH)
            return {x - dW, y - dH};
        return {x - dW, tile(y, kRT.y, kRT.y, kRB.y)};
    }
    return {tile(x, kClRect.left, kClRect.left, kClRect.right), tile(y, kClRect.top, kClRect.top, kClRect.bottom)};
}

std::unique_ptr<TBitmap> Compose(int w, int h, bool stretch, TspStretchType type = spstFull)
{
    auto src = TraceablePicture();
    auto dst = std::make_unique<TBitmap>();
    dst->SetPixelFormat(pf32bit);
    const TTarget t = Derive(w, h);
    CreateSkinImage(kLT, kRT, kLB, kRB, kClRect, t.LT, t.RT, t.LB, t.RB, t.Cl, dst.get(), src.get(), kSkinRect, w, h,
                    true, stretch, stretch, stretch, stretch, stretch, type);
    return dst;
}

TEST(SkinImage, TiledAtSmallerEqualAndLargerSizes)
{
    for (auto [w, h] : {std::pair{10, 8}, {12, 10}, {13, 11}, {31, 27}, {12, 40}}) {
        auto dst = Compose(w, h, false);
        ASSERT_EQ(dst->Width(), w);
        ASSERT_EQ(dst->Height(), h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const TSourcePoint want = TiledSource(x, y, w, h);
                const TSourcePoint got = SourceAt(*dst, x, y);
                ASSERT_EQ(got.X, kSkinRect.left + want.X) << w << "x" << h << " at " << x << "," << y;
                ASSERT_EQ(got.Y, kSkinRect.top + want.Y) << w << "x" << h << " at " << x << "," << y;
            }
    }
}

TEST(SkinImage, EqualSizeReproducesThePieceInBothModes)
{
    for (bool stretch : {false, true}) {
        auto dst = Compose(PW, PH, stretch);
        for (int y = 0; y < PH; ++y)
            for (int x = 0; x < PW; ++x) {
                const TSourcePoint got = SourceAt(*dst, x, y);
                ASSERT_EQ(got.X, kSkinRect.left + x) << stretch;
                ASSERT_EQ(got.Y, kSkinRect.top + y) << stretch;
            }
    }
}

TEST(SkinImage, StretchedKeepsCornersAndSectionRanges)
{
    const int w = 30, h = 25;
    auto dst = Compose(w, h, true);
    const TTarget t = Derive(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const TSourcePoint got = SourceAt(*dst, x, y);
            const int sx = got.X - kSkinRect.left, sy = got.Y - kSkinRect.top;
            if (y < kClRect.top && x < kLT.x) {
                ASSERT_EQ(sx, x);  // top-left corner, unscaled
                ASSERT_EQ(sy, y);
            } else if (y < kClRect.top && x >= t.RT.x) {
                ASSERT_EQ(sx, x - (w - PW));
            } else if (y < kClRect.top) {
                ASSERT_GE(sx, kLT.x);  // the stretched top section
                ASSERT_LT(sx, kRT.x);
                ASSERT_EQ(sy, y);
            } else if (x >= kClRect.left && x < t.Cl.right && y < t.Cl.bottom) {
                ASSERT_GE(sx, kClRect.left);
                ASSERT_LT(sx, kClRect.right);
                ASSERT_GE(sy, kClRect.top);
                ASSERT_LT(sy, kClRect.bottom);
            }
        }
    // The stretched client reaches both of its ends.
    EXPECT_EQ(SourceAt(*dst, t.Cl.left, t.Cl.top).X, kSkinRect.left + kClRect.left);
    EXPECT_EQ(SourceAt(*dst, t.Cl.right - 1, t.Cl.bottom - 1).X, kSkinRect.left + kClRect.right - 1);
}

TEST(SkinImage, ClientStripsTileAcrossTheirAxis)
{
    const int w = 31, h = 25;  // client 25 x 17: not a multiple of 6 x 5
    const TTarget t = Derive(w, h);
    auto horz = Compose(w, h, true, spstHorz);
    auto vert = Compose(w, h, true, spstVert);
    for (int y = t.Cl.top; y < t.Cl.bottom; ++y)
        for (int x = t.Cl.left; x < t.Cl.right; ++x) {
            ASSERT_EQ(SourceAt(*horz, x, y).X,
                      kSkinRect.left + kClRect.left + (x - t.Cl.left) % (kClRect.right - kClRect.left));
            ASSERT_EQ(SourceAt(*vert, x, y).Y,
                      kSkinRect.top + kClRect.top + (y - t.Cl.top) % (kClRect.bottom - kClRect.top));
        }
    // The last strip is cut at the client's right edge: the right band follows.
    EXPECT_EQ(SourceAt(*horz, t.Cl.right, t.Cl.top).X, kSkinRect.left + kClRect.right);
}

TEST(SkinImage, TileStepBoundaries)
{
    // Top span 4 + dW: dW = 4 gives two whole tiles and an empty third; dW = 5
    // gives a one-pixel third tile from the section's first column.
    for (int dW : {4, 5}) {
        auto dst = Compose(PW + dW, PH, false);
        const int x = kLT.x + 8;
        if (dW == 5)
            EXPECT_EQ(SourceAt(*dst, x, 0).X, kSkinRect.left + kLT.x);
        EXPECT_EQ(SourceAt(*dst, kRT.x + dW, 0).X, kSkinRect.left + kRT.x);  // the corner starts right after
    }
}

TEST(SkinImage, DegeneratePiecesDrawNothing)
{
    auto src = TraceablePicture();
    TBitmap dst;
    dst.SetPixelFormat(pf32bit);
    CreateSkinImage(kLT, kRT, kLB, TPoint(kLT.x, 9), kClRect, kLT, kRT, kLB, kRB, kClRect, &dst, src.get(), kSkinRect,
                    20, 20, true, false, false, false, false, false, spstFull);
    EXPECT_EQ(dst.Width(), 20);
    EXPECT_EQ(SourceAt(dst, 0, 0).X, 255);  // new areas are white
    TBitmap empty;
    CreateSkinImage(kLT, kRT, kLB, kRB, kClRect, kLT, kRT, kLB, kRB, kClRect, &dst, &empty, kSkinRect, 12, 10, true,
                    false, false, false, false, false, spstFull);
    // Crossing target points and zero steps: no hang, no access outside.
    CreateSkinImage(TPoint(4, 3), TPoint(4, 3), TPoint(4, 6), TPoint(8, 6), kClRect, TPoint(4, 3), TPoint(-50, 3),
                    TPoint(4, -40), TPoint(8, 6), TRect(3, 2, -9, -7), &dst, src.get(), kSkinRect, 12, 10, true, false,
                    false, false, false, false, spstHorz);
    EXPECT_THROW(CreateSkinImage(kLT, kRT, kLB, kRB, kClRect, kLT, kRT, kLB, kRB, kClRect, &dst, src.get(),
                                 TRect(0x7FFFFFFA, 0, 0x7FFFFFFF, 10), 12, 10, true, false, false, false, false, false,
                                 spstFull),
                 EIntOverflow);
}

TEST(SkinImage, StretchImageAndVariants)
{
    auto src = TraceablePicture();
    // The whole piece is the client: only the client is stretched.
    TBitmap dst;
    dst.SetPixelFormat(pf32bit);
    dst.SetSize(24, 20);
    CreateStretchImage(&dst, src.get(), kSkinRect, TRect(0, 0, PW, PH), true);
    EXPECT_EQ(SourceAt(dst, 0, 0).X, kSkinRect.left);
    EXPECT_EQ(SourceAt(dst, 23, 19).X, kSkinRect.right - 1);
    EXPECT_EQ(SourceAt(dst, 23, 19).Y, kSkinRect.bottom - 1);
    // Corners at the client corners stay unscaled.
    TBitmap dst2;
    dst2.SetPixelFormat(pf32bit);
    dst2.SetSize(30, 20);
    CreateStretchImage(&dst2, src.get(), kSkinRect, kClRect, true);
    EXPECT_EQ(SourceAt(dst2, 29, 19).X, kSkinRect.right - 1);
    EXPECT_EQ(SourceAt(dst2, 27, 18).X, kSkinRect.left + 9);
    EXPECT_EQ(SourceAt(dst2, 27, 18).Y, kSkinRect.top + 8);

    // No right side: the top band runs to the right edge.
    TBitmap left;
    left.SetPixelFormat(pf32bit);
    const TTarget t = Derive(20, PH);
    CreateLeftSkinImage(kLT, kRT, kLB, kRB, kClRect, t.LT, t.RT, t.LB, t.RB, t.Cl, &left, src.get(), kSkinRect, 20, PH,
                        true, false, false, false, false, false, spstFull);
    EXPECT_EQ(SourceAt(left, 19, 0).X, kSkinRect.left + kLT.x + (19 - kLT.x) % 4);
    EXPECT_EQ(SourceAt(left, 19, 4).X, kSkinRect.left + kClRect.left + (19 - kClRect.left) % 6);

    // Only the client, tiled from the origin.
    TBitmap client;
    client.SetPixelFormat(pf32bit);
    CreateSkinClientImage(kClRect, TRect(0, 0, 15, 7), &client, src.get(), kSkinRect, 15, 7, false, spstFull);
    EXPECT_EQ(SourceAt(client, 0, 0).X, kSkinRect.left + kClRect.left);
    EXPECT_EQ(SourceAt(client, 7, 6).X, kSkinRect.left + kClRect.left + 1);
    EXPECT_EQ(SourceAt(client, 7, 6).Y, kSkinRect.top + kClRect.top + 1);
}

// ---- masks ----

std::unique_ptr<TBitmap> Mask(int w, int h, const std::function<bool(int, int)>& black)
{
    auto b = std::make_unique<TBitmap>();
    b->SetPixelFormat(pf24bit);
    b->SetSize(w, h);
    for (int y = 0; y < h; ++y) {
        auto* row = static_cast<BYTE*>(b->ScanLine(y));
        for (int x = 0; x < w; ++x) {
            const BYTE v = black(x, y) ? 0 : 255;
            row[x * 3] = row[x * 3 + 1] = row[x * 3 + 2] = v;
        }
    }
    return b;
}

struct TRgnBlock {
    RGNDATAHEADER Header;
    std::vector<RECT> Rects;
};

TRgnBlock ReadBlock(void* data, int size)
{
    TRgnBlock r;
    std::memcpy(&r.Header, data, 32);
    r.Rects.resize(static_cast<std::size_t>((size - 32) / 16));
    if (!r.Rects.empty())
        std::memcpy(r.Rects.data(), static_cast<BYTE*>(data) + 32, r.Rects.size() * 16);
    std::free(data);
    return r;
}

TEST(SkinImageMask, RegionDataBytes)
{
    void* data = nullptr;
    auto white = Mask(5, 4, [](int, int) { return false; });
    ASSERT_EQ(CreateRgnDataFromMask(white.get(), 2, 3, data), 32);
    TRgnBlock b = ReadBlock(data, 32);
    EXPECT_EQ(b.Header.dwSize, 32u);
    EXPECT_EQ(b.Header.iType, 1u);
    EXPECT_EQ(b.Header.nCount, 0u);
    EXPECT_EQ(b.Header.nRgnSize, 0u);
    EXPECT_EQ(b.Header.rcBound, (RECT{2, 3, 7, 7}));

    auto one = Mask(5, 4, [](int x, int y) { return x == 1 && y == 2; });
    ASSERT_EQ(CreateRgnDataFromMask(one.get(), 10, 20, data), 48);
    b = ReadBlock(data, 48);
    EXPECT_EQ(b.Rects.at(0), (RECT{11, 22, 12, 23}));

    // Runs, including one that reaches the row's end; near-black is outside.
    auto runs = Mask(6, 2, [](int x, int y) { return y == 0 ? (x < 2 || x >= 4) : x == 5; });
    const int size = CreateRgnDataFromMask(runs.get(), 1, 0, data);
    b = ReadBlock(data, size);
    ASSERT_EQ(b.Rects.size(), 3u);
    EXPECT_EQ(b.Rects[0], (RECT{1, 0, 3, 1}));
    EXPECT_EQ(b.Rects[1], (RECT{5, 0, 7, 1}));
    EXPECT_EQ(b.Rects[2], (RECT{6, 1, 7, 2}));

    TBitmap empty;
    data = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(CreateRgnDataFromMask(&empty, 0, 0, data), 0);
    EXPECT_EQ(data, reinterpret_cast<void*>(0x1));
}

TEST(SkinImageMask, CheckerboardOfTwoHundred)
{
    auto board = Mask(200, 200, [](int x, int y) { return (x + y) % 2 == 0; });
    void* data = nullptr;
    const int size = CreateRgnDataFromMask(board.get(), 0, 0, data);
    ASSERT_EQ(size, 32 + 16 * 20000);
    TRgnBlock b = ReadBlock(data, size);
    EXPECT_EQ(b.Header.nCount, 20000u);
    EXPECT_EQ(b.Header.rcBound, (RECT{0, 0, 200, 200}));
    EXPECT_EQ(b.Rects[0], (RECT{0, 0, 1, 1}));
    EXPECT_EQ(b.Rects[1], (RECT{2, 0, 3, 1}));
    EXPECT_EQ(b.Rects[100], (RECT{1, 1, 2, 2}));
    EXPECT_EQ(b.Rects[19999], (RECT{199, 199, 200, 200}));

    HRGN rgn = nullptr;
    CreateRegionFromMask(rgn, board.get());
    ASSERT_NE(rgn, nullptr);
    EXPECT_TRUE(PtInRegion(rgn, 0, 0));
    EXPECT_FALSE(PtInRegion(rgn, 1, 0));
    EXPECT_TRUE(PtInRegion(rgn, 199, 199));
    DeleteObject(rgn);
    TBitmap empty;
    CreateRegionFromMask(rgn, &empty);
    EXPECT_EQ(rgn, nullptr);
}

TEST(SkinImageMask, SkinRegionFromBands)
{
    // A 12 x 10 mask whose frame is black except the rounded top corners.
    auto mask = Mask(12, 10, [](int x, int y) { return !((y == 0 && (x == 0 || x == 11))); });
    const int w = 30, h = 20;
    const TTarget t = Derive(w, h);
    HRGN rgn = nullptr;
    CreateSkinRegion(rgn, kLT, kRT, kLB, kRB, kClRect, t.LT, t.RT, t.LB, t.RB, t.Cl, mask.get(), w, h);
    ASSERT_NE(rgn, nullptr);
    EXPECT_FALSE(PtInRegion(rgn, 0, 0));
    EXPECT_FALSE(PtInRegion(rgn, w - 1, 0));
    EXPECT_TRUE(PtInRegion(rgn, 1, 0));
    EXPECT_TRUE(PtInRegion(rgn, 15, 0));
    EXPECT_TRUE(PtInRegion(rgn, 15, 10));  // client
    EXPECT_TRUE(PtInRegion(rgn, w - 1, h - 1));
    EXPECT_TRUE(PtInRegion(rgn, 0, h - 1));
    RECT box;
    GetRgnBox(rgn, &box);
    EXPECT_EQ(box, (RECT{0, 0, w, h}));
    DeleteObject(rgn);

    // No top band: the other bands still count.
    const TRect noTop(3, 0, 9, 7);
    CreateSkinRegion(rgn, TPoint(4, 0), TPoint(8, 0), kLB, kRB, noTop, TPoint(4, 0), TPoint(26, 0), TPoint(4, 16),
                     TPoint(26, 16), TRect(3, 0, 27, 17), mask.get(), w, h);
    ASSERT_NE(rgn, nullptr);
    EXPECT_TRUE(PtInRegion(rgn, 0, 5));
    EXPECT_TRUE(PtInRegion(rgn, 29, 5));
    EXPECT_TRUE(PtInRegion(rgn, 15, 19));
    DeleteObject(rgn);

    // Crossing corner points: no region.
    CreateSkinRegion(rgn, kLT, kRT, kLB, kRB, kClRect, TPoint(10, 3), TPoint(5, 3), t.LB, t.RB, t.Cl, mask.get(), w,
                     h);
    EXPECT_EQ(rgn, nullptr);
}

}  // namespace
