// The player's arithmetic, event ring and subtitle blending: no libraries.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/player/PlayEventRing.h"
#include "engine/player/PlayerSubtitles.h"
#include "engine/player/PlayerTiming.h"

namespace {

TEST(PlayerEventRingTest, CoalescesTheNewestEventOfTheSameKind)
{
    TPlayEvent ring;
    ring.Push(pekPosition, 10);
    ring.Push(pekPosition, 20);
    ring.Push(pekState, 1);
    ring.Push(pekState, 2);
    ring.Push(pekPosition, 30);
    ASSERT_EQ(ring.Pending(), 3);
    TPlayEventItem a = ring.Pop(), b = ring.Pop(), c = ring.Pop();
    EXPECT_EQ(a.Kind, pekPosition);
    EXPECT_EQ(a.Value, 20);
    EXPECT_EQ(b.Kind, pekState);
    EXPECT_EQ(b.Value, 2);
    EXPECT_EQ(c.Value, 30);
    EXPECT_EQ(ring.Pop().Kind, pekNone);
}

TEST(PlayerEventRingTest, HoldsNineEventsAndDropsTheOldest)
{
    TPlayEvent ring;
    for (int i = 0; i < 12; ++i) ring.Push(i % 2 ? pekState : pekPosition, i);
    ASSERT_EQ(ring.Pending(), 9);
    EXPECT_EQ(ring.Pop().Value, 3);  // 0, 1 and 2 were dropped
    EXPECT_FALSE(ring.Wait(0) == false);
}

TEST(PlayerTimingTest, TargetDelayFollowsTheMasterClock)
{
    struct Case {
        double delay, diff;
        bool sync;
        double expected;
    } cases[] = {
        {0.04, 0.0, true, 0.04},   {0.04, -0.05, true, 0.0},  {0.04, 0.05, true, 0.08},
        {0.04, 0.03, true, 0.04},  {0.005, 0.011, true, 0.01}, {0.04, 12.0, true, 0.04},
        {0.04, -0.5, false, 0.04}, {0.04, NAN, true, 0.04},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(ComputeTargetDelay(c.delay, c.diff, c.sync), c.expected) << c.delay << " " << c.diff;
}

TEST(PlayerTimingTest, FrameDelayIsOnePicture)
{
    std::string log;
    // H.264 at 25 fps: the decoder's rate is the picture rate (not a field rate)
    EXPECT_DOUBLE_EQ(ChooseFrameDelay(0, "", true, {25, 1}, {25, 1}, log), 0.04);
    EXPECT_TRUE(log.empty());
    EXPECT_DOUBLE_EQ(ChooseFrameDelay(0, "", true, {25, 1}, {30000, 1001}, log), 1001.0 / 30000);
    EXPECT_EQ(log, "Seems stream 0 codec frame rate differs from container frame rate: 25.00 (25/1) -> 29.97 "
                   "(30000/1001)");
    EXPECT_DOUBLE_EQ(ChooseFrameDelay(0, "", false, {25, 1}, {30000, 1001}, log), 0.04);
    EXPECT_DOUBLE_EQ(ChooseFrameDelay(1, "30", true, {25, 1}, {25, 1}, log), 1.0 / 30);
    EXPECT_EQ(log, "Force stream 1 frame rate: 25.00 (25/1) -> 30.00 (30/1)");
    EXPECT_DOUBLE_EQ(ChooseFrameDelay(0, "", true, {0, 1}, {50, 1}, log), 0.02);
    EXPECT_DOUBLE_EQ(ChooseFrameDelay(0, "", true, {0, 0}, {0, 0}, log), 0.04);
    TRateQ q;
    EXPECT_FALSE(ParseFrameRateText("abc", q));
    EXPECT_FALSE(ParseFrameRateText("25/0", q));
    EXPECT_FALSE(ParseFrameRateText("-5", q));
    EXPECT_TRUE(ParseFrameRateText("30000/1001", q));
    EXPECT_EQ(q.num, 30000);
}

TEST(PlayerTimingTest, PictureRectangleKeepsTheAspect)
{
    struct Case {
        TRect area;
        float aspect;
        int w, h;
        double sar;
        TRect expected;
    } cases[] = {
        {TRect(0, 0, 800, 600), -1, 320, 240, 1, TRect(0, 0, 800, 600)},                 // fills
        {TRect(0, 0, 640, 400), -1, 320, 240, 1, TRect(0, 0, 640, 400)},
        {TRect(0, 0, 800, 600), 0, 720, 576, 16.0 / 15, TRect(0, 0, 800, 600)},          // 4:3
        {TRect(0, 0, 800, 600), 1.7778f, 720, 576, 1, TRect(0, 75, 800, 525)},            // 16:9 with bars
        {TRect(0, 0, 1000, 1000), 4.0f / 3, 320, 240, 1, TRect(0, 125, 1000, 875)},
        {TRect(0, 0, 1000, 500), 0, 320, 240, 0, TRect(167, 0, 833, 500)},                // unknown sar is square
        {TRect(10, 20, 11, 21), 0, 320, 240, 1, TRect(10, 20, 11, 21)},                    // at least 1 x 1
    };
    for (const Case& c : cases) {
        TRect r = PictureDisplayRect(c.area, c.aspect, c.w, c.h, c.sar);
        EXPECT_EQ(r, c.expected) << c.area.Width() << "x" << c.area.Height() << " aspect " << c.aspect << " -> "
                                 << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    }
}

// A rectangle drawn over the shown picture, in window coordinates, maps to
// picture pixels: only its part over the picture counts.
TEST(PlayerTimingTest, WindowRectangleMapsToPicturePixels)
{
    const TRect shown(100, 50, 740, 410);  // 640x360 picture area inside the window
    struct Case {
        TRect drawn;
        int frameW, frameH;
        TRect expected;
    } cases[] = {
        {TRect(100, 50, 740, 410), 1280, 720, TRect(0, 0, 1280, 720)},      // the whole picture
        {TRect(420, 230, 580, 320), 1280, 720, TRect(640, 360, 960, 540)},  // inside, scaled up
        {TRect(580, 320, 420, 230), 1280, 720, TRect(640, 360, 960, 540)},  // drawn backwards
        {TRect(0, 0, 260, 140), 1280, 720, TRect(0, 0, 320, 180)},          // partly outside
        {TRect(700, 400, 900, 600), 640, 360, TRect(600, 350, 640, 360)},   // past the far corner
        {TRect(0, 0, 50, 40), 1280, 720, TRect(0, 0, 0, 0)},                // wholly outside
        {TRect(420, 230, 580, 320), 320, 180, TRect(160, 90, 240, 135)},    // scaled down
    };
    for (const Case& c : cases) {
        const TRect r = DisplayToPictureRect(c.drawn, shown, c.frameW, c.frameH);
        EXPECT_EQ(r, c.expected) << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    }
    // Nothing shown yet: the rectangle is only clipped and moved.
    EXPECT_EQ(DisplayToPictureRect(TRect(5, 5, 20, 30), TRect(), 1280, 720), TRect(0, 0, 0, 0));
}

TEST(PlayerTimingTest, AudioBlocksAreOnlyShortenedByATenth)
{
    // 4 bytes per frame, 1000 frames
    EXPECT_EQ(CorrectedAudioSize(4000, 0.0, 48000, 4, 768000), 4000);
    EXPECT_EQ(CorrectedAudioSize(4000, 0.001, 48000, 4, 768000), 4000);    // never lengthened
    EXPECT_EQ(CorrectedAudioSize(4000, -0.001, 48000, 4, 768000), 4000 - 48 * 4);
    EXPECT_EQ(CorrectedAudioSize(4000, -1.0, 48000, 4, 768000), 3600);     // a tenth at most
    EXPECT_EQ(CorrectedAudioSize(4002, -1.0, 48000, 6, 768000) % 6, 0);     // whole frames
    TAudioDiffAverage avg;
    avg.Threshold = 0.04;
    double a = 0;
    for (int i = 0; i < 20; ++i) EXPECT_FALSE(avg.Add(0.2, a));
    EXPECT_TRUE(avg.Add(0.2, a));
    EXPECT_NEAR(a, 0.2, 0.01);
    EXPECT_FALSE(avg.Add(20.0, a));
    EXPECT_EQ(avg.Count, 0);
}

TEST(PlayerTimingTest, VolumeScalesSamples)
{
    std::vector<int16_t> src = {0, 1, -1, 3, -3, 1000, -1000, 32767, -32768};
    std::vector<int16_t> dst(src.size());
    MixSamples(dst.data(), src.data(), int(src.size()), 128, false);
    EXPECT_EQ(dst, src);
    MixSamples(dst.data(), src.data(), int(src.size()), 64, false);
    EXPECT_EQ(dst, (std::vector<int16_t>{0, 0, 0, 1, -1, 500, -500, 16383, -16384}));
    MixSamples(dst.data(), src.data(), int(src.size()), 0, false);
    EXPECT_EQ(dst, std::vector<int16_t>(src.size(), 0));
    MixSamples(dst.data(), src.data(), int(src.size()), 128, true);
    EXPECT_EQ(dst, std::vector<int16_t>(src.size(), 0));
}

TEST(PlayerSubtitleTest, PaletteBecomesStudioRangeYUV)
{
    struct Case {
        uint32_t rgba, yuva;
    } cases[] = {
        {0xFFFFFFFF, 0xFFEB8080},  // white: 235/128/128
        {0xFFFF0000, 0xFF515AF0},  // red: 81/90/240
        {0x80000000, 0x80108080},  // black, half transparent
        {0x00000000, 0x00108080},
    };
    for (const Case& c : cases) EXPECT_EQ(SubtitleRGBAToYUVA(c.rgba), c.yuva) << std::hex << c.rgba;
}

struct TTestPicture {
    int W, H;
    std::vector<uint8_t> Y, U, V;
    TTestPicture(int w, int h) : W(w), H(h), Y(size_t(w) * h, 16), U(size_t(w / 2) * (h / 2), 128), V(U) {}
    void Blend(const TSubtitleBitmap& r)
    {
        uint8_t* planes[3] = {Y.data(), U.data(), V.data()};
        int lines[3] = {W, W / 2, W / 2};
        BlendSubtitleRect(planes, lines, r, W, H);
    }
};

TEST(PlayerSubtitleTest, BlendsOpaqueAndLeavesTransparent)
{
    uint32_t palette[2] = {SubtitleRGBAToYUVA(0x00000000), SubtitleRGBAToYUVA(0xFFFF0000)};
    std::vector<uint8_t> idx(4 * 4, 1);
    idx[0] = 0;  // one transparent pixel
    TTestPicture pic(16, 16);
    TSubtitleBitmap r{4, 4, 4, 4, idx.data(), 4, palette, 2};
    pic.Blend(r);
    EXPECT_EQ(pic.Y[4 * 16 + 4], 16);   // transparent: unchanged
    EXPECT_EQ(pic.Y[4 * 16 + 5], 81);   // opaque red
    EXPECT_EQ(pic.Y[7 * 16 + 7], 81);
    EXPECT_EQ(pic.Y[8 * 16 + 8], 16);   // outside
    EXPECT_EQ(pic.U[3 * 8 + 3], 90);    // a whole opaque 2x2 block
    EXPECT_EQ(pic.V[3 * 8 + 3], 240);
    EXPECT_EQ(pic.U[0], 128);
}

TEST(PlayerSubtitleTest, RectanglesReachingBeyondAnEdgeMoveInside)
{
    uint32_t palette[1] = {SubtitleRGBAToYUVA(0xFFFFFFFF)};
    std::vector<uint8_t> idx(6 * 6, 0);
    TTestPicture pic(16, 16);
    pic.Blend({13, 14, 6, 6, idx.data(), 6, palette, 1});
    // moved to (10, 10), full size
    EXPECT_EQ(pic.Y[10 * 16 + 10], 235);
    EXPECT_EQ(pic.Y[15 * 16 + 15], 235);
    EXPECT_EQ(pic.Y[9 * 16 + 10], 16);
    TTestPicture wide(16, 16);
    std::vector<uint8_t> big(20 * 2, 0);
    wide.Blend({-5, 0, 20, 2, big.data(), 20, palette, 1});  // wider than the picture: clamped
    EXPECT_EQ(wide.Y[0], 235);
    EXPECT_EQ(wide.Y[15], 235);
    EXPECT_EQ(wide.Y[2 * 16], 16);
}

}  // namespace
