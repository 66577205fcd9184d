// The rotate stage: sizes, mapping, aspect, odd sizes and every chroma layout.
#include <gtest/gtest.h>

#include "FilterTestSupport.h"
#include "TranscodeTestSupport.h"
#include "engine/common/EngineRegistry.h"
#include "engine/filters/FrameStage.h"

using namespace tarnello::test;

namespace {

class RotateTest : public TranscodeTest {
protected:
    std::unique_ptr<TEngineFrameStage> Make(const std::string& AArgs)
    {
        const auto* rec = static_cast<const TEngineFilterRecord*>(FindEngineComponent(ekFilter, "rotate"));
        EXPECT_TRUE(rec) << "the loader registers rotate with libavfilter";
        if (!rec)
            return nullptr;
        FError.clear();
        return rec->Create(AArgs, FError);
    }
    // Configures AStage for a picture; the size it gives.
    static std::pair<int, int> Setup(TEngineFrameStage& AStage, AVPixelFormat AFormat, int AW, int AH,
                                     AVRational ASar = {1, 1})
    {
        EXPECT_EQ(AStage.Configure(AW, AH, AFormat, ASar), 0);
        return {AW, AH};
    }
    std::string FError;
};

TEST_F(RotateTest, ZeroDegreesCopiesThePicture)
{
    for (auto [w, h] : {std::pair{320, 240}, std::pair{7, 5}}) {
        auto stage = Make("0");
        ASSERT_TRUE(stage);
        EXPECT_EQ(Setup(*stage, AV_PIX_FMT_YUV420P, w, h), std::make_pair(w, h));
        TestFrame in(AV_PIX_FMT_YUV420P, w, h, 0, 0, 0);
        in.Pattern();
        TestFrame expect(AV_PIX_FMT_YUV420P, w, h, 0, 0, 0);
        expect.Pattern();
        ASSERT_EQ(stage->Process(in.Frame), 0);
        EXPECT_TRUE(in.SameAs(expect));
    }
}

TEST_F(RotateTest, NinetyDegreesTurnsEverySampleWithoutBlackEdges)
{
    auto stage = Make("90");
    ASSERT_TRUE(stage);
    EXPECT_EQ(Setup(*stage, AV_PIX_FMT_YUV420P, 320, 240), std::make_pair(240, 320));
    TestFrame src(AV_PIX_FMT_YUV420P, 320, 240, 0, 0, 0);
    src.Pattern();
    TestFrame out(AV_PIX_FMT_YUV420P, 320, 240, 0, 0, 0);
    out.Pattern();
    out.Frame->pts = 1234;
    ASSERT_EQ(stage->Process(out.Frame), 0);
    ASSERT_EQ(out.Frame->width, 240);
    ASSERT_EQ(out.Frame->height, 320);
    EXPECT_EQ(out.Frame->pts, 1234);
    int wrong = 0;
    for (int i = 0; i < 320; ++i)
        for (int j = 0; j < 240; ++j)
            wrong += out.At(0, j, i) != src.At(0, i, 239 - j);
    for (int r = 0; r < 160; ++r)
        for (int c = 0; c < 120; ++c)
            for (int p = 1; p < 3; ++p)
                wrong += out.At(p, c, r) != src.At(p, r, 119 - c);
    EXPECT_EQ(wrong, 0);
}

TEST_F(RotateTest, FortyFiveDegreesByDefaultGrowsTheBoxWithBlackCorners)
{
    auto stage = Make("");
    ASSERT_TRUE(stage);
    EXPECT_EQ(Setup(*stage, AV_PIX_FMT_YUV420P, 100, 100), std::make_pair(141, 141));
    TestFrame f(AV_PIX_FMT_YUV420P, 100, 100, 200, 60, 90);
    ASSERT_EQ(stage->Process(f.Frame), 0);
    for (auto [x, y] : {std::pair{0, 0}, std::pair{140, 0}, std::pair{0, 140}, std::pair{140, 140}})
        EXPECT_EQ(f.At(0, x, y), 16);
    EXPECT_EQ(f.At(1, 0, 0), 128);
    EXPECT_EQ(f.At(2, 70, 70), 128);
    EXPECT_EQ(f.At(0, 70, 70), 200);
    EXPECT_EQ(f.At(1, 35, 35), 60);
    EXPECT_EQ(f.At(2, 35, 35), 90);
}

TEST_F(RotateTest, PixelAspectTurnsWithThePicture)
{
    auto stage = Make("90");
    ASSERT_TRUE(stage);
    int w = 64, h = 48;
    AVPixelFormat fmt = AV_PIX_FMT_YUV420P;
    AVRational sar{4, 3};
    ASSERT_EQ(stage->Configure(w, h, fmt, sar), 0);
    EXPECT_EQ(sar.num, 3);
    EXPECT_EQ(sar.den, 4);
    TestFrame f(fmt, 64, 48, 1, 2, 3);
    f.Frame->sample_aspect_ratio = AVRational{4, 3};
    ASSERT_EQ(stage->Process(f.Frame), 0);
    EXPECT_EQ(f.Frame->sample_aspect_ratio.num, 3);
    EXPECT_EQ(f.Frame->sample_aspect_ratio.den, 4);
}

// Every accepted layout at odd sizes: nothing read outside the input's
// planes (its row padding holds the canary, and ASan guards the rest) and
// nothing written outside the output's (the pool's buffers are exact).
TEST_F(RotateTest, OddSizesAndEveryChromaLayoutStayInsideTheirPlanes)
{
    const AVPixelFormat formats[] = {AV_PIX_FMT_YUV444P, AV_PIX_FMT_YUV422P, AV_PIX_FMT_YUV420P, AV_PIX_FMT_YUV411P,
                                     AV_PIX_FMT_YUV410P, AV_PIX_FMT_YUVJ420P, AV_PIX_FMT_YUV440P};
    for (AVPixelFormat fmt : formats)
        for (const char* angle : {"0", "30", "90", "-135", "180", "270", "1"})
            for (auto [w, h] : {std::pair{7, 5}, std::pair{13, 9}, std::pair{1, 1}, std::pair{5, 11}}) {
                SCOPED_TRACE(std::string(ff::av_get_pix_fmt_name(fmt)) + " " + angle + " " + std::to_string(w) +
                             "x" + std::to_string(h));
                auto stage = Make(angle);
                ASSERT_TRUE(stage);
                const auto [ow, oh] = Setup(*stage, fmt, w, h);
                TestFrame f(fmt, w, h, 0, 0, 0);
                f.Pattern();
                ASSERT_EQ(stage->Process(f.Frame), 0);
                ASSERT_EQ(f.Frame->width, ow);
                ASSERT_EQ(f.Frame->height, oh);
                for (int p = 0; p < 3; ++p)
                    for (int y = 0; y < f.PlaneHeight(p); ++y)
                        for (int x = 0; x < f.PlaneWidth(p); ++x)
                            ASSERT_NE(f.At(p, x, y), kCanary) << "plane " << p << " at " << x << "," << y;
                if (std::string(angle) == "0") {
                    TestFrame expect(fmt, w, h, 0, 0, 0);
                    expect.Pattern();
                    EXPECT_TRUE(f.SameAs(expect));
                }
            }
}

TEST_F(RotateTest, AnglesMustBeWholeNumbers)
{
    for (const char* bad : {"12.5", "abc", "90deg", "1e3"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(Make(bad));
        EXPECT_NE(FError.find("a whole number of degrees"), std::string::npos) << FError;
    }
    EXPECT_TRUE(Make(" -90 "));
}

TEST_F(RotateTest, AFrameOfAnotherSizeOrFormatIsRefused)
{
    auto stage = Make("90");
    ASSERT_TRUE(stage);
    Setup(*stage, AV_PIX_FMT_YUV420P, 16, 8);
    TestFrame other(AV_PIX_FMT_YUV420P, 8, 16, 1, 2, 3);
    EXPECT_LT(stage->Process(other.Frame), 0);
    TestFrame format(AV_PIX_FMT_YUV444P, 16, 8, 1, 2, 3);
    EXPECT_LT(stage->Process(format.Frame), 0);
    int w = 16, h = 8;
    AVPixelFormat rgb = AV_PIX_FMT_RGB24;
    AVRational sar{1, 1};
    EXPECT_LT(Make("90")->Configure(w, h, rgb, sar), 0);
}

}  // namespace
