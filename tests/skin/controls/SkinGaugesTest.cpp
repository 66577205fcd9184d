// The gauge: the fill and its text, clamping, the whole Integer range, the
// animation timeline on the fake clock and strips that give no frames.
#include "skin/controls/SkinGauges.h"
#include "skin/core/SkinBarPieces.h"
#include "ValueControlsTestCommon.h"

#include <climits>

using namespace valuetest;

namespace {

class GaugeTest : public ValueControlsTest {
protected:
    TspSkinGauge* Gauge(int w = 100, int h = 20)
    {
        auto* g = Make<TspSkinGauge>(10, 10, w, h);
        HeadlessProcessMessages();
        return g;
    }
    // A skin with one gauge piece whose animation strip is StripWidth wide.
    TspSkinData* AnimatedSkin(int frames, int stripWidth)
    {
        Skin = std::make_unique<TspSkinData>(nullptr);
        auto pic = std::make_unique<TBitmap>();
        pic->SetSize(200, 60);
        pic->Canvas()->Brush()->SetColor(clGray);
        pic->Canvas()->FillRect(TRect(0, 0, 200, 60));
        Skin->FActivePictures.push_back(std::move(pic));
        auto g = std::make_unique<TspDataSkinGaugeControl>("gauge");
        g->PictureIndex = 0;
        g->SkinRect = TRect(0, 0, 60, 20);
        g->LTPoint = TPoint(4, 0);
        g->RTPoint = TPoint(56, 0);
        g->ClRect = TRect(4, 0, 56, 20);
        g->ProgressArea = TRect(2, 2, 58, 18);
        g->ProgressRect = TRect(0, 20, 10, 36);
        g->ProgressAnimationSkinRect = TRect(20, 20, 20 + stripWidth, 36);
        g->ProgressAnimationCountFrames = frames;
        g->ProgressAnimationTimerInterval = 50;
        Skin->CtrlList.push_back(std::move(g));
        Skin->Empty = false;
        return Skin.get();
    }
};

TEST_F(GaugeTest, DefaultFillAndText)
{
    auto* g = Gauge();
    EXPECT_EQ(g->SkinDataName(), "gauge");
    EXPECT_EQ(g->CalcProgressRect(TRect(1, 1, 99, 19)), TRect(1, 1, 50, 19));
    EXPECT_EQ(PixelOf(g, 40, 10), RGB(0xB6, 0xBD, 0xD2));
    EXPECT_EQ(PixelOf(g, 49, 10), RGB(0xB6, 0xBD, 0xD2));
    EXPECT_EQ(PixelOf(g, 50, 10), ColorToRGB(clWindow));
    EXPECT_EQ(PixelOf(g, 0, 10), ColorToRGB(clBtnShadow));

    struct Case {
        int min, max, value;
        bool text, percent;
        const char* expect;
    } cases[] = {
        {0, 3, 1, false, true, "33%"},  // truncated
        {0, 3, 1, true, true, "Done 33%"},
        {0, 3, 1, true, false, "Done "},
        {5, 5, 5, false, true, "0%"},  // an empty range
        {INT_MIN, INT_MAX, INT_MAX, false, true, "100%"},
        {INT_MIN, INT_MAX, 0, false, true, "50%"},
        {INT_MIN, INT_MAX, INT_MIN, false, true, "0%"},
    };
    for (const Case& c : cases) {
        g->SetMinValue(INT_MIN);
        g->SetMaxValue(c.max);
        g->SetMinValue(c.min);
        g->SetValue(c.value);
        g->SetProgressText("Done ");
        g->SetShowProgressText(c.text);
        g->SetShowPercent(c.percent);
        EXPECT_EQ(g->GaugeText(), c.expect) << c.expect;
    }
    g->SetMinValue(INT_MIN);
    g->SetMaxValue(INT_MAX);
    g->SetValue(INT_MAX);
    EXPECT_EQ(g->CalcProgressRect(TRect(0, 0, 98, 18)), TRect(0, 0, 98, 18));
    g->SetMaxValue(100);
    g->SetMinValue(0);
    g->SetValue(200);
    EXPECT_EQ(g->Value(), 100);
    g->SetMinValue(150);  // above MaxValue: clamped, no hang
    EXPECT_EQ(g->Value(), 150);
    g->SetValue(120);
    EXPECT_EQ(g->Value(), 100);
}

TEST_F(GaugeTest, GaugePaintEventReplacesFillAndText)
{
    auto* g = Gauge();
    g->SetShowPercent(true);
    g->SetShowProgressText(true);
    g->SetProgressText("MMMM");
    struct TSeen {
        int Calls = 0;
        TRect Area, Fill;
    } seen;
    g->OnGaugePaint = TspGaugePaintEvent::Bind(&seen, +[](void* d, TCanvas* c, TRect area, TRect fill) {
        auto* s = static_cast<TSeen*>(d);
        ++s->Calls;
        s->Area = area;
        s->Fill = fill;
        c->Brush()->SetColor(clLime);
        c->FillRect(area);
    });
    g->Repaint();
    HeadlessProcessMessages();
    EXPECT_GT(seen.Calls, 0);
    EXPECT_EQ(seen.Area, TRect(1, 1, 99, 19));
    EXPECT_EQ(seen.Fill, TRect(1, 1, 50, 19));
    for (int x = 1; x < 99; ++x)
        for (int y = 1; y < 19; ++y)
            ASSERT_EQ(PixelOf(g, x, y), RGB(0, 255, 0)) << x << "," << y;  // no text over it
}

TEST_F(GaugeTest, VerticalTextIsRotated)
{
    auto* g = Gauge(24, 120);
    g->SetVertical(true);
    g->SetValue(0);
    g->SetShowProgressText(true);
    g->SetProgressText("WWWWW");
    g->Repaint();
    HeadlessProcessMessages();
    int left = 1000, right = -1, top = 1000, bottom = -1;
    for (int x = 1; x < 23; ++x)
        for (int y = 1; y < 119; ++y)
            if (PixelOf(g, x, y) != ColorToRGB(clWindow)) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    ASSERT_GE(right, left);
    EXPECT_GT(bottom - top, 2 * (right - left));  // runs up the gauge
    EXPECT_NEAR((top + bottom) / 2, 60, 4);
}

TEST_F(GaugeTest, AnimationTimeline)
{
    auto* g = Gauge();
    g->SetSkinData(AnimatedSkin(4, 40));
    ASSERT_NE(g->FIndex, -1);
    EXPECT_EQ(g->AnimationFrameRect(1), TRect(20, 20, 30, 36));  // side by side: wider than the fill
    EXPECT_EQ(g->AnimationFrameRect(4), TRect(50, 20, 60, 36));
    g->SetProgressAnimationPause(-5);
    EXPECT_EQ(g->ProgressAnimationPause(), 1000);
    g->StartProgressAnimation();
    ASSERT_NE(g->FAnimationTimer, nullptr);
    std::vector<int> frames;
    for (int t = 0; t < 1400; t += 50) {
        frames.push_back(g->FAnimationFrame);
        Advance(50);
    }
    // 50 ms plain, frames 1 .. 4 for 50 ms each, 1,000 ms plain, again.
    std::vector<int> expect = {0, 1, 2, 3, 4};
    expect.insert(expect.end(), 21, 0);
    expect.insert(expect.end(), {1, 2});
    EXPECT_EQ(frames, expect);
    g->StopProgressAnimation();
    EXPECT_EQ(g->FAnimationTimer, nullptr);
    EXPECT_EQ(g->FAnimationPauseTimer, nullptr);
    Advance(200);
    EXPECT_EQ(g->FAnimationFrame, 0);
}

TEST_F(GaugeTest, StripsWithoutFramesGiveNoAnimation)
{
    struct Case {
        int frames, width;
    } cases[] = {{0, 40}, {20, 3}, {50, 40}, {-2, 40}, {4, 0}};
    for (const Case& c : cases) {
        auto* g = Gauge(120, 20);
        g->SetSkinData(AnimatedSkin(c.frames, c.width));
        g->StartProgressAnimation();
        EXPECT_EQ(g->FAnimationTimer, nullptr) << c.frames << " " << c.width;
        EXPECT_GT(g->Width(), 0);
        EXPECT_GT(g->Height(), 0);
        g->Repaint();
        HeadlessProcessMessages();
        delete g;
    }
}

TEST_F(GaugeTest, SkinNewGauges)
{
    auto* skin = LoadSkinNew();
    auto* h = Gauge(160, 20);
    h->SetSkinData(skin);
    ASSERT_NE(h->FIndex, -1);
    EXPECT_FALSE(h->Vertical());
    auto* v = Gauge(20, 120);
    v->SetSkinDataName("vgauge");
    v->SetSkinData(skin);
    ASSERT_NE(v->FIndex, -1);
    EXPECT_TRUE(v->Vertical());
    v->SetValue(100);
    const TRect fill = v->CalcProgressRect(v->NewProgressArea);
    EXPECT_EQ(fill, v->NewProgressArea);
    // A free-size gauge keeps its size and stretches the picture.
    h->SetUseSkinSize(false);
    h->SetBounds(h->Left(), h->Top(), 160, 40);
    EXPECT_EQ(h->Height(), 40);
    h->SetShowPercent(true);
    h->Repaint();
    HeadlessProcessMessages();
}

}  // namespace
