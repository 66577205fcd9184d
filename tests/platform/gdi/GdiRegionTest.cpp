#include "platform/gdi/Gdi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

std::vector<RECT> RectsOf(HRGN rgn)
{
    std::vector<RECT> out;
    if (TRegion* r = RegionFromHandle(rgn))
        out = r->Rects();
    return out;
}

TEST(GdiRegion, CombineTable)
{
    // a = (0,0,10,10), b = (5,5,15,15)
    struct TCase {
        const char* Name;
        int Mode;
        int Result;
        std::vector<RECT> Rects;
    } cases[] = {
        {"and", RGN_AND, SIMPLEREGION, {{5, 5, 10, 10}}},
        {"or", RGN_OR, COMPLEXREGION, {{0, 0, 10, 5}, {0, 5, 15, 10}, {5, 10, 15, 15}}},
        {"xor", RGN_XOR, COMPLEXREGION,
         {{0, 0, 10, 5}, {0, 5, 5, 10}, {10, 5, 15, 10}, {5, 10, 15, 15}}},
        {"diff", RGN_DIFF, COMPLEXREGION, {{0, 0, 10, 5}, {0, 5, 5, 10}}},
        {"copy", RGN_COPY, SIMPLEREGION, {{0, 0, 10, 10}}},
    };
    HRGN a = CreateRectRgn(0, 0, 10, 10);
    HRGN b = CreateRectRgn(5, 5, 15, 15);
    HRGN d = CreateRectRgn(0, 0, 0, 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(CombineRgn(d, a, b, c.Mode), c.Result);
        EXPECT_EQ(RectsOf(d), c.Rects);
    }
    // Disjoint AND is empty; touching rectangles merge into one band.
    HRGN far = CreateRectRgn(20, 20, 30, 30);
    EXPECT_EQ(CombineRgn(d, a, far, RGN_AND), NULLREGION);
    HRGN right = CreateRectRgn(10, 0, 20, 10);
    EXPECT_EQ(CombineRgn(d, a, right, RGN_OR), SIMPLEREGION);
    EXPECT_EQ(RectsOf(d), (std::vector<RECT>{{0, 0, 20, 10}}));
    HRGN below = CreateRectRgn(0, 10, 10, 20);
    EXPECT_EQ(CombineRgn(d, a, below, RGN_OR), SIMPLEREGION);
    // The destination may be one of the sources.
    EXPECT_EQ(CombineRgn(a, a, b, RGN_DIFF), COMPLEXREGION);
    EXPECT_EQ(CombineRgn(d, a, nullptr, RGN_OR), ERROR);
    EXPECT_EQ(CombineRgn(d, a, b, 9), ERROR);
    for (HRGN r : {a, b, d, far, right, below})
        DeleteObject(r);
}

TEST(GdiRegion, RegionDataBytes)
{
    HRGN a = CreateRectRgn(0, 0, 10, 10);
    HRGN b = CreateRectRgn(5, 5, 15, 15);
    CombineRgn(a, a, b, RGN_OR);
    DWORD size = GetRegionData(a, 0, nullptr);
    ASSERT_EQ(size, 32u + 3 * 16u);
    std::vector<BYTE> data(size);
    ASSERT_EQ(GetRegionData(a, size, reinterpret_cast<RGNDATA*>(data.data())), size);
    const LONG expected[] = {32, 1, 3, 48, 0, 0, 15, 15, 0, 0, 10, 5, 0, 5, 15, 10, 5, 10, 15, 15};
    ASSERT_EQ(sizeof expected, data.size());
    EXPECT_EQ(std::memcmp(expected, data.data(), data.size()), 0);
    // Too small a buffer reports the size needed.
    EXPECT_EQ(GetRegionData(a, 40, reinterpret_cast<RGNDATA*>(data.data())), size);

    // Read back, with overlapping and empty rectangles in the input.
    const LONG input[] = {32, 1, 4, 0, 0, 0, 0, 0, 0, 0, 10, 10, 5, 5, 15, 15, 3, 3, 3, 9, 0, 10, 10, 15};
    HRGN c = ExtCreateRegion(nullptr, sizeof input, reinterpret_cast<const RGNDATA*>(input));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(RectsOf(c), (std::vector<RECT>{{0, 0, 10, 5}, {0, 5, 15, 15}}));

    // Bad headers are refused.
    LONG bad[sizeof input / sizeof(LONG)];
    auto tryWith = [&](int field, LONG value, DWORD count) {
        std::memcpy(bad, input, sizeof input);
        bad[field] = value;
        return ExtCreateRegion(nullptr, count, reinterpret_cast<const RGNDATA*>(bad));
    };
    EXPECT_EQ(tryWith(2, 5, sizeof input), nullptr);              // more rects than bytes
    EXPECT_EQ(tryWith(2, 0x7FFFFFFF, sizeof input), nullptr);     // absurd count
    EXPECT_EQ(tryWith(1, 2, sizeof input), nullptr);              // not rectangles
    EXPECT_EQ(tryWith(0, 8, sizeof input), nullptr);              // short header
    EXPECT_EQ(tryWith(0, 32, 20), nullptr);                       // short buffer
    EXPECT_EQ(ExtCreateRegion(nullptr, 64, nullptr), nullptr);
    DeleteObject(a);
    DeleteObject(b);
    DeleteObject(c);
}

TEST(GdiRegion, QueriesAndOffsets)
{
    HRGN r = CreateRectRgn(0, 0, 10, 10);
    HRGN hole = CreateRectRgn(3, 3, 6, 6);
    CombineRgn(r, r, hole, RGN_DIFF);
    struct TPt {
        int X, Y;
        bool In;
    } points[] = {{0, 0, true}, {9, 9, true}, {10, 5, false}, {4, 4, false}, {2, 4, true}, {6, 4, true}, {-1, 0, false}};
    for (const auto& p : points)
        EXPECT_EQ(PtInRegion(r, p.X, p.Y) != 0, p.In) << p.X << "," << p.Y;
    RECT inHole{3, 3, 6, 6}, touching{5, 5, 7, 7};
    EXPECT_FALSE(RectInRegion(r, &inHole));
    EXPECT_TRUE(RectInRegion(r, &touching));
    EXPECT_EQ(OffsetRgn(r, 5, -5), COMPLEXREGION);
    RECT box;
    EXPECT_EQ(GetRgnBox(r, &box), COMPLEXREGION);
    EXPECT_EQ(box, (RECT{5, -5, 15, 5}));
    EXPECT_TRUE(PtInRegion(r, 5, -5));
    EXPECT_EQ(OffsetRgn(r, 0x7FFFFFF0, 0), ERROR);
    HRGN same = CreateRectRgn(5, -5, 15, 5);
    HRGN hole2 = CreateRectRgn(8, -2, 11, 1);
    CombineRgn(same, same, hole2, RGN_DIFF);
    EXPECT_TRUE(EqualRgn(r, same));
    SetRectRgn(same, 1, 1, 2, 2);
    EXPECT_FALSE(EqualRgn(r, same));
    EXPECT_EQ(GetRgnBox(same, &box), SIMPLEREGION);
    for (HRGN h : {r, hole, same, hole2})
        DeleteObject(h);
    // Deleted handles are refused, not used.
    EXPECT_EQ(GetRgnBox(r, &box), ERROR);
    EXPECT_FALSE(DeleteObject(r));
}

TEST(GdiRegion, EllipseIsSymmetric)
{
    HRGN e = CreateEllipticRgn(0, 0, 20, 10);
    RECT box;
    EXPECT_EQ(GetRgnBox(e, &box), COMPLEXREGION);
    EXPECT_EQ(box, (RECT{0, 0, 20, 10}));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            EXPECT_EQ(PtInRegion(e, x, y), PtInRegion(e, 19 - x, 9 - y)) << x << "," << y;
    EXPECT_FALSE(PtInRegion(e, 0, 0));
    EXPECT_TRUE(PtInRegion(e, 10, 5));
    HRGN rr = CreateRoundRectRgn(0, 0, 10, 10, 4, 4);
    EXPECT_FALSE(PtInRegion(rr, 0, 0));
    EXPECT_TRUE(PtInRegion(rr, 5, 0));
    EXPECT_TRUE(PtInRegion(rr, 0, 5));
    DeleteObject(e);
    DeleteObject(rr);
}

} // namespace
