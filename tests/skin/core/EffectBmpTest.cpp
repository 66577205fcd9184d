// The 24-bit effect picture: transitions at several widths, effects, the
// four-sample blurs (positions kept inside the picture), geometry, output
// to DCs, and the 32-bit filters.
#include "skin/core/EffectBmp.h"

#include "platform/gdi/Gdi.h"
#include "platform/rtl/SysUtils.h"
#include "support/GdiTestSurface.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

// A picture whose grey value at (x, y) is f(x, y).
template <class F>
std::unique_ptr<TspEffectBmp> Grey(int w, int h, F f)
{
    auto b = std::make_unique<TspEffectBmp>(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const DWORD v = static_cast<DWORD>(f(x, y)) & 0xFF;
            b->SetPixel(x, y, v | (v << 8) | (v << 16));
        }
    return b;
}

std::vector<int> Row(const TspEffectBmp& b, int y)
{
    std::vector<int> r;
    for (int x = 0; x < b.Width; ++x)
        r.push_back(static_cast<int>(b.GetPixel(x, y) & 0xFF));
    return r;
}

std::vector<int> Column(const TspEffectBmp& b, int x)
{
    std::vector<int> r;
    for (int y = 0; y < b.Height; ++y)
        r.push_back(static_cast<int>(b.GetPixel(x, y) & 0xFF));
    return r;
}

using TMorph = void (TspEffectBmp::*)(const TspEffectBmp*, double);

TEST(EffectMorph, StepsAtWidthTen)
{
    // Old look: column x is x; new look: 200 + x; Kf 0.5.
    struct TCase {
        const char* Name;
        TMorph Fn;
        std::vector<int> Want;
    };
    const TCase cases[] = {
        {"Morph", &TspEffectBmp::Morph, {100, 101, 102, 103, 104, 105, 106, 107, 108, 109}},
        {"HGrad", &TspEffectBmp::MorphHGrad, {0, 1, 102, 203, 204, 205, 206, 207, 108, 9}},
        {"Grad", &TspEffectBmp::MorphGrad, {0, 1, 102, 203, 204, 205, 206, 207, 108, 9}},
        {"LeftGrad", &TspEffectBmp::MorphLeftGrad, {200, 161, 122, 83, 44, 5, 6, 7, 8, 9}},
        {"RightGrad", &TspEffectBmp::MorphRightGrad, {0, 1, 2, 3, 4, 45, 86, 127, 168, 209}},
        {"Push", &TspEffectBmp::MorphPush, {204, 205, 206, 207, 208, 209, 0, 1, 2, 3}},
        {"LeftSlide", &TspEffectBmp::MorphLeftSlide, {205, 206, 207, 208, 209, 5, 6, 7, 8, 9}},
        {"RightSlide", &TspEffectBmp::MorphRightSlide, {0, 1, 2, 3, 4, 200, 201, 202, 203, 204}},
    };
    for (const auto& c : cases) {
        auto oldLook = Grey(10, 2, [](int x, int) { return x; });
        auto newLook = Grey(10, 2, [](int x, int) { return 200 + x; });
        (oldLook.get()->*c.Fn)(newLook.get(), 0.5);
        EXPECT_EQ(Row(*oldLook, 0), c.Want) << c.Name;
        EXPECT_EQ(Row(*oldLook, 1), c.Want) << c.Name;
    }
}

TEST(EffectMorph, EndsAndNarrowWidths)
{
    const TMorph all[] = {&TspEffectBmp::Morph,         &TspEffectBmp::MorphGrad,      &TspEffectBmp::MorphHGrad,
                          &TspEffectBmp::MorphVGrad,    &TspEffectBmp::MorphLeftGrad,  &TspEffectBmp::MorphRightGrad,
                          &TspEffectBmp::MorphPush,     &TspEffectBmp::MorphLeftSlide, &TspEffectBmp::MorphRightSlide};
    for (int w : {1, 2, 10, 100}) {
        for (TMorph fn : all) {
            for (double kf : {0.0, 0.25, 0.5, 1.0, 1.5, -1.0, static_cast<double>(NAN)}) {
                auto o = Grey(w, 3, [](int x, int) { return x; });
                auto n = Grey(w, 3, [](int x, int) { return 200 - x; });
                (o.get()->*fn)(n.get(), kf);  // no access outside, whatever the factor
                for (int y = 0; y < 3; ++y)
                    for (int x = 0; x < w; ++x) {
                        const int v = static_cast<int>(o->GetPixel(x, y) & 0xFF);
                        ASSERT_TRUE(v <= 200) << w << " " << kf;
                    }
            }
        }
        // Exact ends.
        auto o = Grey(w, 1, [](int x, int) { return x; });
        auto n = Grey(w, 1, [](int x, int) { return 200 - x; });
        o->MorphPush(n.get(), 1);
        EXPECT_EQ(Row(*o, 0), Row(*n, 0)) << w;
        auto o2 = Grey(w, 1, [](int x, int) { return x; });
        o2->MorphHGrad(n.get(), 1);
        EXPECT_EQ(Row(*o2, 0), Row(*n, 0)) << w;
        auto o3 = Grey(w, 1, [](int x, int) { return x; });
        o3->Morph(n.get(), 1.5);
        EXPECT_EQ(Row(*o3, 0), Row(*n, 0)) << w;
        o3->Morph(Grey(w, 1, [](int, int) { return 7; }).get(), -1);
        EXPECT_EQ(Row(*o3, 0), Row(*n, 0)) << w;
    }
}

TEST(EffectMorph, Examples)
{
    // Rounding halves to even.
    auto a = Grey(2, 1, [](int x, int) { return x ? 11 : 10; });
    auto b = Grey(2, 1, [](int x, int) { return x ? 12 : 11; });
    a->Morph(b.get(), 0.5);
    EXPECT_EQ(Row(*a, 0), (std::vector<int>{10, 12}));
    // Different sizes: nothing.
    auto c = Grey(3, 1, [](int, int) { return 1; });
    c->Morph(b.get(), 1);
    c->MorphPush(b.get(), 1);
    EXPECT_EQ(Row(*c, 0), (std::vector<int>{1, 1, 1}));

    // 100 columns at 0.5: 25..75 new, 1/25 per column towards the old look.
    auto o = Grey(100, 1, [](int, int) { return 0; });
    auto n = Grey(100, 1, [](int, int) { return 200; });
    o->MorphHGrad(n.get(), 0.5);
    const auto r = Row(*o, 0);
    EXPECT_EQ(r[25], 200);
    EXPECT_EQ(r[75], 200);
    EXPECT_EQ(r[24], 192);
    EXPECT_EQ(r[76], 192);
    EXPECT_EQ(r[0], 0);
    EXPECT_EQ(r[99], 8);

    // Ten rows at 0.85: every row new; ten columns: column 0 keeps the old look.
    auto v = Grey(1, 10, [](int, int) { return 0; });
    v->MorphVGrad(Grey(1, 10, [](int, int) { return 9; }).get(), 0.85);
    EXPECT_EQ(Column(*v, 0), std::vector<int>(10, 9));
    auto h = Grey(10, 1, [](int, int) { return 0; });
    h->MorphHGrad(Grey(10, 1, [](int, int) { return 9; }).get(), 0.85);
    EXPECT_EQ(Row(*h, 0), (std::vector<int>{0, 9, 9, 9, 9, 9, 9, 9, 9, 9}));

    // Slides at the ends.
    auto s = Grey(10, 1, [](int x, int) { return x; });
    s->MorphLeftSlide(Grey(10, 1, [](int x, int) { return 100 + x; }).get(), 0);
    EXPECT_EQ(Row(*s, 0), (std::vector<int>{109, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    auto s1 = Grey(10, 1, [](int x, int) { return x; });
    s1->MorphLeftSlide(Grey(10, 1, [](int x, int) { return 100 + x; }).get(), 1);
    EXPECT_EQ(Row(*s1, 0), (std::vector<int>{101, 102, 103, 104, 105, 106, 107, 108, 109, 9}));
    auto p = Grey(4, 1, [](int x, int) { return x; });
    p->MorphPush(Grey(4, 1, [](int x, int) { return 100 + x; }).get(), 0);
    EXPECT_EQ(Row(*p, 0), (std::vector<int>{103, 0, 1, 2}));
}

TEST(EffectMorph, RectsSkipOutside)
{
    auto o = Grey(4, 4, [](int, int) { return 0; });
    auto n = Grey(2, 2, [](int x, int y) { return 100 + x + 10 * y; });
    o->MorphRect(n.get(), 1, TRect(1, 1, 10, 10), 0, 0);
    EXPECT_EQ(Row(*o, 1), (std::vector<int>{0, 100, 101, 0}));
    EXPECT_EQ(Row(*o, 2), (std::vector<int>{0, 110, 111, 0}));
    auto c = Grey(4, 2, [](int, int) { return 0; });
    c->CopyRect(n.get(), TRect(2, 0, 3, 0), 0, 1);  // inclusive: columns 2 and 3, row 0
    EXPECT_EQ(Row(*c, 0), (std::vector<int>{0, 0, 110, 111}));
    c->CopyRect(n.get(), TRect(-5, -5, 100, 100), -3, 7);
    EXPECT_EQ(Row(*c, 1), (std::vector<int>{0, 0, 0, 0}));
}

TEST(EffectFilter, ColourEffects)
{
    auto b = std::make_unique<TspEffectBmp>(3, 1);
    b->SetPixel(0, 0, 0xFF0000);  // red (B, G, R low to high)
    b->SetPixel(1, 0, 0x00FF00);
    b->SetPixel(2, 0, 0x0000FF);
    b->GrayScale();
    EXPECT_EQ(b->GetPixel(0, 0), 0x4C4C4Cu);  // 76
    EXPECT_EQ(b->GetPixel(1, 0), 0x969696u);  // 150
    EXPECT_EQ(b->GetPixel(2, 0), 0x1C1C1Cu);  // 28
    b->Invert();
    EXPECT_EQ(b->GetPixel(0, 0), 0xB3B3B3u);
    auto d = Grey(1, 1, [](int, int) { return 100; });
    d->ChangeDarkness(0.5);
    EXPECT_EQ(d->GetPixel(0, 0) & 0xFF, 50u);
    d->ChangeBrightness(2);  // clamped to 1
    EXPECT_EQ(d->GetPixel(0, 0) & 0xFF, 255u);
    auto m = Grey(5, 5, [](int x, int y) { return x + 10 * y; });
    m->Mosaic(2);
    EXPECT_EQ(Row(*m, 1), (std::vector<int>{0, 0, 2, 2, 4}));
    EXPECT_EQ(Row(*m, 4), (std::vector<int>{40, 40, 42, 42, 44}));
}

TEST(EffectFilter, NoiseStaysInRange)
{
    SetRandSeed(7);
    auto b = Grey(8, 8, [](int x, int) { return x * 36; });
    b->AddMonoNoise(40);
    b->AddColorNoise(300);
    b->AddMonoNoise(0);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_LE(b->GetPixel(x, y), 0xFFFFFFu);
    // A mono step moves all three channels alike.
    auto g = Grey(4, 1, [](int, int) { return 128; });
    g->AddMonoNoise(20);
    for (int x = 0; x < 4; ++x) {
        const DWORD p = g->GetPixel(x, 0);
        EXPECT_EQ(p & 0xFF, (p >> 8) & 0xFF);
        EXPECT_EQ(p & 0xFF, (p >> 16) & 0xFF);
    }
}

TEST(EffectFilter, SplitBlurSamples)
{
    // One column, ten rows of 10 * y, Amount 3: row 8 takes row 2 as its
    // lower sample; the right column sample (1) is held at column 0.
    auto b = Grey(1, 10, [](int, int y) { return 10 * y; });
    b->SplitBlur(3);
    EXPECT_EQ(Column(*b, 0), (std::vector<int>{15, 25, 35, 37, 47, 57, 63, 42, 46, 44}));
    auto z = Grey(3, 3, [](int x, int) { return x; });
    z->SplitBlur(0);
    EXPECT_EQ(Row(*z, 0), (std::vector<int>{0, 1, 2}));
    // Far-reaching amounts stay inside the picture.
    auto f = Grey(4, 4, [](int x, int y) { return x * 4 + y; });
    f->SplitBlur(1000);
    f->SplitBlur(-1000);
}

TEST(EffectFilter, MaskedBlurs)
{
    auto mask = Grey(5, 5, [](int x, int y) { return x == 2 && y == 2 ? 0 : 255; });
    auto b = Grey(5, 5, [](int x, int y) { return 20 * x + y; });
    auto before = TspEffectBmp::CreateCopy(b.get());
    b->MaskBlur(mask.get(), 1);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            if (x != 2 || y != 2)
                ASSERT_EQ(b->GetPixel(x, y), before->GetPixel(x, y));
    // (21 + 23 + 61 + 63) / 4 = 42
    EXPECT_EQ(b->GetPixel(2, 2) & 0xFF, 42u);
    auto a = TspEffectBmp::CreateCopy(before);
    a->MaskAntialiasing(mask.get(), 1);  // samples of the mask are white: blurred
    EXPECT_EQ(a->GetPixel(2, 2) & 0xFF, 42u);
    auto solid = Grey(5, 5, [](int, int) { return 0; });
    auto a2 = TspEffectBmp::CreateCopy(before);
    a2->MaskAntialiasing(solid.get(), 1);  // no white sample anywhere: unchanged
    EXPECT_EQ(a2->GetPixel(2, 2), before->GetPixel(2, 2));
    a2->MaskBlur(Grey(4, 5, [](int, int) { return 0; }).get(), 1);  // width differs
    a2->MaskBlur(Grey(5, 4, [](int, int) { return 0; }).get(), 1);  // fewer rows
    a2->MaskAntialiasing(solid.get(), 500);
    EXPECT_EQ(a2->GetPixel(2, 2), before->GetPixel(2, 2));
    auto fill = TspEffectBmp::CreateCopy(before);
    fill->MaskFillColor(mask.get(), 0x0000FF, 0.5);  // red
    // Grey 42 half-way to red: red Round(148.5) = 148, green and blue 21.
    EXPECT_EQ(fill->GetPixel(2, 2), 0x941515u);
    EXPECT_EQ(fill->GetPixel(0, 0), before->GetPixel(0, 0));
    delete before;
    delete a;
    delete a2;
    delete fill;
}

TEST(EffectFilter, Geometry)
{
    auto b = Grey(3, 2, [](int x, int y) { return x + 10 * y; });
    TspEffectBmp ccw(2, 3), cw(2, 3), flip(3, 2), big(6, 4);
    b->Rotate90_1(&ccw);
    EXPECT_EQ(Row(ccw, 0), (std::vector<int>{2, 12}));
    EXPECT_EQ(Row(ccw, 2), (std::vector<int>{0, 10}));
    b->Rotate90_2(&cw);
    EXPECT_EQ(Row(cw, 0), (std::vector<int>{10, 0}));
    EXPECT_EQ(Row(cw, 2), (std::vector<int>{12, 2}));
    b->FlipVert(&flip);
    EXPECT_EQ(Row(flip, 0), (std::vector<int>{10, 11, 12}));
    b->Resize(&big);
    // sx = 5/3, sy = 3/2: blocks of 3 x 3 at Round(5/3 x), Round(1.5 y);
    // later pixels cover earlier ones.
    EXPECT_EQ(Row(big, 0), (std::vector<int>{0, 0, 1, 2, 2, 2}));
    EXPECT_EQ(Row(big, 3), (std::vector<int>{10, 10, 11, 12, 12, 12}));
    TspEffectBmp small(1, 1);
    b->Rotate90_1(&small);  // too small: the rest is skipped
    auto w = Grey(6, 4, [](int x, int y) { return x + 10 * y; });
    auto w0 = TspEffectBmp::CreateCopy(w.get());
    w->Wave(10, 10, 0);
    EXPECT_EQ(Row(*w, 3), Row(*w0, 3));
    w->Wave(1, 1, 1000);
    w->Wave(0, 5, 3);
    delete w0;
}

TEST(EffectFilter, FailedAllocationIsHarmless)
{
    TspEffectBmp none(0, 5);
    EXPECT_EQ(none.Bits, nullptr);
    EXPECT_EQ(none.Width, 0);
    TspEffectBmp huge(1 << 20, 1 << 20);
    EXPECT_EQ(huge.Bits, nullptr);
    auto b = Grey(2, 2, [](int, int) { return 1; });
    none.Morph(b.get(), 0.5);
    none.SplitBlur(2);
    none.GrayScale();
    b->Morph(&none, 0.5);
    EXPECT_EQ(b->GetPixel(0, 0), 0x010101u);
}

TEST(EffectOutput, DrawAndCapture)
{
    auto b = Grey(4, 3, [](int x, int y) { return 10 * x + y; });
    TTestSurface s(8, 8, 32);
    PatBlt(s.DC, 0, 0, 8, 8, BLACKNESS);
    b->Draw(s.DC, 1, 1);
    EXPECT_EQ(GetPixel(s.DC, 1, 1), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(s.DC, 4, 3), RGB(32, 32, 32));
    b->DrawRect(s.DC, 6, 6, 2, 1, 2, 2);
    EXPECT_EQ(GetPixel(s.DC, 6, 6), RGB(21, 21, 21));
    EXPECT_EQ(GetPixel(s.DC, 7, 7), RGB(32, 32, 32));
    b->Stretch(s.DC, 0, 0, 8, 6);
    EXPECT_EQ(GetPixel(s.DC, 7, 5), RGB(32, 32, 32));

    TspBitmap src;
    src.SetSize(3, 2);
    src.SetPixel(2, 1, 0xFF102030);
    std::unique_ptr<TspEffectBmp> e(TspEffectBmp::CreateFromhWnd(src.Handle()));
    ASSERT_EQ(e->Width, 3);
    ASSERT_EQ(e->Height, 2);
    EXPECT_EQ(e->GetPixel(2, 1), 0x102030u);
    EXPECT_EQ(e->GetPixel(0, 0), 0u);
}

TEST(BitmapFilter, StackBlur)
{
    TspBitmap b;
    b.SetSize(3, 3);
    b.SetPixel(1, 1, 0x00FFFFFF);
    TspBitmap copy;
    copy.Assign(&b);
    StackBlur(&b, 0);
    EXPECT_EQ(b.GetPixel(1, 1), 0x00FFFFFFu);  // radius 0: not even alpha
    StackBlur(&b, 1);
    const TspColor want[9] = {0xFF0F0F0F, 0xFF1F1F1F, 0xFF0F0F0F, 0xFF1F1F1F, 0xFF3F3F3F,
                              0xFF1F1F1F, 0xFF0F0F0F, 0xFF1F1F1F, 0xFF0F0F0F};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(b.GetPixel(i % 3, i / 3), want[i]) << i;
    // Radii beyond the picture repeat its edges; a flat picture stays flat.
    TspBitmap flat;
    flat.SetSize(5, 2);
    flat.Clear(0x80405060);
    StackBlur(&flat, 40);
    EXPECT_EQ(flat.GetPixel(4, 1), 0xFF405060u);
    EXPECT_THROW(StackBlur(&flat, 1 << 20), ERangeError);
}

TEST(BitmapFilter, AlphaFromGray)
{
    TspBitmap b, s;
    b.SetSize(2, 1);
    b.Clear(0xFF804020);
    s.SetSize(2, 1);
    s.SetPixel(0, 0, 0x00010102);
    s.SetPixel(1, 0, 0x00FFFFFF);
    AlphaFromGray(&b, &s);
    EXPECT_EQ(b.GetPixel(0, 0), 0x01804020u);
    EXPECT_EQ(b.GetPixel(1, 0), 0xFF804020u);
    s.SetPixel(1, 0, 0x00808080);
    AlphaFromGrayPremultiplied(&b, &s);
    EXPECT_EQ(b.GetPixel(1, 0), 0x80402010u);
    TspBitmap tiny;
    tiny.SetSize(1, 1);
    AlphaFromGray(&b, &tiny);  // a smaller source: only the overlap
}

}  // namespace
