// Brightness, contrast, hue and saturation stages on hand-computed pictures.
#include <gtest/gtest.h>

#include "FilterTestSupport.h"
#include "TranscodeTestSupport.h"
#include "engine/common/EngineRegistry.h"
#include "engine/common/LiveValues.h"
#include "engine/filters/NativeEqualizer.h"

using namespace tarnello::test;

namespace {

class NativeEqualizerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FFLoader().Load(EncoderLibraries)) << FFLoader().LastErrMsg();
        RegisterNativeEq();
        RegisterNativeHue();
    }
    void TearDown() override { FFLoader().Unload(EncoderLibraries); }

    // A configured stage, or null with the error in FError.
    std::unique_ptr<TEngineFrameStage> Make(const char* AName, const std::string& AArgs,
                                            AVPixelFormat AFormat = AV_PIX_FMT_YUV420P, int AW = 6, int AH = 4)
    {
        const auto* rec = static_cast<const TEngineFilterRecord*>(FindEngineComponent(ekFilter, AName));
        if (!rec)
            return nullptr;
        FError.clear();
        std::unique_ptr<TEngineFrameStage> s = rec->Create(AArgs, FError);
        if (s) {
            AVRational sar{1, 1};
            EXPECT_EQ(s->Configure(AW, AH, AFormat, sar), 0);
        }
        return s;
    }
    std::string FError;
};

TEST_F(NativeEqualizerTest, RegisteringWithoutTheFilterLibraryIsAnAssertion)
{
    FFLoader().Unload(EncoderLibraries);
    if (FFLoader().Loaded(avFilter))
        GTEST_SKIP() << "another user holds libavfilter";
    for (void (*reg)() : {&RegisterNativeEq, &RegisterNativeHue}) {
        try {
            reg();
            ADD_FAILURE() << "no exception";
        } catch (const EAssertionFailed& e) {
            EXPECT_EQ(e.Message(), "Assertion failure");
        }
    }
    ASSERT_TRUE(FFLoader().Load(EncoderLibraries));
}

TEST_F(NativeEqualizerTest, BrightnessAndContrastByHand)
{
    struct Case {
        const char* Args;
        int In, Out;
    } cases[] = {
        {"20:0", 100, 150},   // offset 306 - 256 = 50
        {"20", 0, 50},        // second part optional
        {"0:-100", 30, 127},  // no gain: flat 127
        {"0:-100", 250, 127},
        {"20:-100", 3, 178},  // 127 plus the brightness part
        {"100:0", 1, 255},    // 511 - 256 on top of every pixel
        {"-100:0", 255, 0},   // offset -256
        {"0:50", 200, 235},   // gain 98304 gives 300, offset 255 - 128 - 192 = -65
        {"0:50", 100, 85},
        {"0:100", 200, 255},  // clamped above
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Args);
        auto stage = Make("nativeeq", c.Args);
        ASSERT_TRUE(stage) << FError;
        TestFrame f(AV_PIX_FMT_YUV420P, 6, 4, c.In, 90, 160);
        ASSERT_EQ(stage->Process(f.Frame), 0);
        EXPECT_TRUE(f.PlaneIs(0, c.Out)) << f.Describe(0);
        EXPECT_TRUE(f.PlaneIs(1, 90));
        EXPECT_TRUE(f.PlaneIs(2, 160));
    }
}

TEST_F(NativeEqualizerTest, HueAndSaturationByHand)
{
    struct Case {
        const char* Args;
        int U, V, OutU, OutV;
    } cases[] = {
        {"0:-100", 30, 220, 128, 128},  // grey
        {"100:0", 200, 60, 56, 196},    // half a turn inverts both axes
        {"-100:0", 200, 60, 56, 196},
        {"0:100", 250, 128, 255, 128},  // doubled and clamped above
        {"0:100", 10, 128, 0, 128},     // and below
        {"50:0", 138, 128, 128, 138},   // a quarter turn: u 10 -> v 10
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Args);
        auto stage = Make("nativehue", c.Args);
        ASSERT_TRUE(stage) << FError;
        TestFrame f(AV_PIX_FMT_YUV420P, 6, 4, 77, c.U, c.V);
        ASSERT_EQ(stage->Process(f.Frame), 0);
        EXPECT_TRUE(f.PlaneIs(0, 77));
        EXPECT_TRUE(f.PlaneIs(1, c.OutU)) << f.Describe(1);
        EXPECT_TRUE(f.PlaneIs(2, c.OutV)) << f.Describe(2);
    }
}

TEST_F(NativeEqualizerTest, OddSizesAndEveryChromaLayoutAreCoveredWhole)
{
    for (AVPixelFormat fmt : {AV_PIX_FMT_YUV420P, AV_PIX_FMT_YUV411P, AV_PIX_FMT_YUV410P, AV_PIX_FMT_YUV440P,
                              AV_PIX_FMT_YUVJ444P, AV_PIX_FMT_YUV422P}) {
        SCOPED_TRACE(ff::av_get_pix_fmt_name(fmt));
        auto stage = Make("nativehue", "0:-100", fmt, 7, 5);
        ASSERT_TRUE(stage) << FError;
        TestFrame f(fmt, 7, 5, 60, 10, 240);
        ASSERT_EQ(stage->Process(f.Frame), 0);
        EXPECT_TRUE(f.PlaneIs(1, 128)) << f.Describe(1);
        EXPECT_TRUE(f.PlaneIs(2, 128)) << f.Describe(2);
        EXPECT_TRUE(f.PaddingUntouched());
    }
}

TEST_F(NativeEqualizerTest, NeutralArgumentsLeaveFramesByteIdentical)
{
    for (const char* name : {"nativeeq", "nativehue"})
        for (const char* args : {"", "0:0", " 0 : 0 : 0 : 0 "}) {
            SCOPED_TRACE(std::string(name) + "=" + args);
            auto stage = Make(name, args);
            ASSERT_TRUE(stage) << FError;
            TestFrame f(AV_PIX_FMT_YUV420P, 6, 4, 33, 44, 55);
            TestFrame ref(AV_PIX_FMT_YUV420P, 6, 4, 33, 44, 55);
            AVFrame* other = ff::av_frame_clone(f.Frame);
            const uint8_t* before = f.Frame->data[0];
            ASSERT_EQ(stage->Process(f.Frame), 0);
            EXPECT_EQ(f.Frame->data[0], before);  // not even copied
            EXPECT_TRUE(f.SameAs(ref));
            ff::av_frame_free(&other);
        }
}

TEST_F(NativeEqualizerTest, AFrameWithASecondReferenceStaysUntouched)
{
    auto stage = Make("nativeeq", "20:0");
    ASSERT_TRUE(stage);
    TestFrame f(AV_PIX_FMT_YUV420P, 6, 4, 100, 128, 128);
    AVFrame* decoderCopy = ff::av_frame_clone(f.Frame);
    ASSERT_EQ(stage->Process(f.Frame), 0);
    EXPECT_TRUE(f.PlaneIs(0, 150));
    EXPECT_NE(f.Frame->data[0], decoderCopy->data[0]);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(decoderCopy->data[0][y * decoderCopy->linesize[0] + x], 100);
    ff::av_frame_free(&decoderCopy);
}

TEST_F(NativeEqualizerTest, OutOfRangeArgumentsAreForcedAndLoggedOnce)
{
    TLogCapture log;
    auto stage = Make("nativeeq", "150:0");
    ASSERT_TRUE(stage);
    for (int i = 0; i < 3; ++i) {
        TestFrame f(AV_PIX_FMT_YUV420P, 6, 4, 10, 128, 128);
        ASSERT_EQ(stage->Process(f.Frame), 0);
        EXPECT_TRUE(f.PlaneIs(0, 255));
    }
    int count = 0;
    for (const std::string& l : log.Lines())
        count += l == "Invalid brightness value 150, force to 100";
    EXPECT_EQ(count, 1);
}

TEST_F(NativeEqualizerTest, BadArgumentsFailWithTheParseMessage)
{
    const int32_t gone = RegisterLiveValue();
    UnregisterLiveValue(gone);
    const std::string cases[] = {"abc", "1:x", "0:0:abc", "0:0:0:" + std::to_string(gone), "0:0:1:2:3",
                                 "0:0:" + std::to_string(gone)};
    for (const char* name : {"nativeeq", "nativehue"})
        for (const std::string& args : cases) {
            SCOPED_TRACE(std::string(name) + "=" + args);
            TLogCapture log;
            EXPECT_FALSE(Make(name, args));
            EXPECT_EQ(FError.rfind("failed to parsing parameters: ", 0), 0u) << FError;
            EXPECT_TRUE(log.Has("failed to parsing parameters: "));
        }
}

TEST_F(NativeEqualizerTest, LiveValuesAreReadBeforeEveryFrameAndClampedInTheirCell)
{
    const int32_t hue = RegisterLiveValue(0);
    const int32_t sat = RegisterLiveValue(0);
    TLogCapture log;
    GetFFLogger()->SetLogLevel(llDebug);
    auto stage = Make("nativehue", "0:0:" + std::to_string(hue) + ":" + std::to_string(sat));
    ASSERT_TRUE(stage) << FError;
    std::shared_ptr<TLiveValueCell> hueCell = FindLiveValue(hue);
    std::shared_ptr<TLiveValueCell> satCell = FindLiveValue(sat);

    TestFrame a(AV_PIX_FMT_YUV420P, 6, 4, 50, 30, 220);
    ASSERT_EQ(stage->Process(a.Frame), 0);
    EXPECT_TRUE(a.PlaneIs(1, 30));  // 0:0 leaves it

    hueCell->store(30);
    for (int i = 0; i < 2; ++i) {
        TestFrame b(AV_PIX_FMT_YUV420P, 6, 4, 50, 128, 128);
        ASSERT_EQ(stage->Process(b.Frame), 0);
    }
    int changes = 0;
    for (const std::string& l : log.Lines())
        changes += l == "hue:30, saturation:0";
    EXPECT_EQ(changes, 1);

    satCell->store(-120);
    UnregisterLiveValue(sat);  // the stage keeps its cell
    TestFrame c(AV_PIX_FMT_YUV420P, 6, 4, 50, 30, 220);
    ASSERT_EQ(stage->Process(c.Frame), 0);
    EXPECT_EQ(satCell->load(), -100);
    EXPECT_TRUE(log.Has("Invalid saturation value -120, force to -100"));
    EXPECT_TRUE(c.PlaneIs(1, 128));
    EXPECT_TRUE(c.PlaneIs(2, 128));
    UnregisterLiveValue(hue);
}

TEST_F(NativeEqualizerTest, AnOwnValueIsKeptWhenTheHandleIsZero)
{
    const int32_t contrast = RegisterLiveValue(-100);
    auto stage = Make("nativeeq", "20:0:0:" + std::to_string(contrast));
    ASSERT_TRUE(stage) << FError;
    TestFrame f(AV_PIX_FMT_YUV420P, 6, 4, 9, 128, 128);
    ASSERT_EQ(stage->Process(f.Frame), 0);
    EXPECT_TRUE(f.PlaneIs(0, 178)) << f.Describe(0);
    UnregisterLiveValue(contrast);
}

}  // namespace
