// The sound source on the synthetic tone device: packet sizes and pace,
// pausing through a live value, sound before the first read dropped, the
// input ending with an I/O error after the queued packets, and every refused
// option text.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "CaptureTestSupport.h"
#include "TranscodeTestSupport.h"
#include "engine/bindings/AVCodecStubs.h"
#include "engine/bindings/AVUtilStubs.h"
#include "engine/capture/WaveCapture.h"
#include "engine/common/EngineRegistry.h"
#include "engine/common/EngineSource.h"
#include "engine/common/LiveValues.h"
#include "platform/media/SoundInput.h"
#include "support/TestSupport.h"

using namespace tarnello::test;
using Clock = std::chrono::steady_clock;

namespace {

class TWaveSource : public TSourceReader {
public:
    TWaveSource(const std::string& AName, const std::vector<std::pair<std::string, std::string>>& AOptions)
        : TSourceReader("wavecapture", AName, AOptions)
    {
    }
};

class WaveCaptureTest : public TranscodeTest {
protected:
    void SetUp() override
    {
        TranscodeTest::SetUp();
        RegisterWaveCapture();
        EnableTestSoundInput(true);
        WaveCaptureFailAllocationAfter(-1);
    }
    void TearDown() override
    {
        WaveCaptureFailAllocationAfter(-1);
        EnableTestSoundInput(false);
        TranscodeTest::TearDown();
    }
};

TEST_F(WaveCaptureTest, RegisteredOnce)
{
    const int before = EngineComponentCount(ekInputFormat);
    RegisterWaveCapture();
    EXPECT_EQ(EngineComponentCount(ekInputFormat), before);
}

TEST_F(WaveCaptureTest, PacketSizesAndPace)
{
    struct Case {
        std::vector<std::pair<std::string, std::string>> options;
        int bytes, rate, channels;
        AVCodecID codec;
    } cases[] = {
        {{}, 4096, 44100, 2, AV_CODEC_ID_PCM_S16LE},
        {{{"sample_fmt", "u8"}, {"channels", "3"}}, 4095, 44100, 3, AV_CODEC_ID_PCM_U8},
        {{{"sample_rate", "8000"}, {"channels", "1"}, {"bufsize", "1600"}}, 1600, 8000, 1, AV_CODEC_ID_PCM_S16LE},
    };
    for (const Case& c : cases) {
        TWaveSource src("-1", c.options);
        ASSERT_EQ(src.Result, 0);
        const AVCodecParameters* par = src.Ctx->streams[0]->codecpar;
        EXPECT_EQ(par->codec_id, c.codec);
        EXPECT_EQ(par->sample_rate, c.rate);
        EXPECT_EQ(par->ch_layout.nb_channels, c.channels);
        EXPECT_EQ(par->frame_size, 4096);
        const int frameBytes = par->block_align;
        const int64_t step = int64_t(c.bytes / frameBytes) * 1000000 / c.rate;
        const auto start = Clock::now();
        for (int i = 0; i < 8; ++i) {
            ASSERT_EQ(src.ReadOne(), 0);
            EXPECT_EQ(src.Pkt->size, c.bytes);
            EXPECT_NEAR(double(src.Pkt->pts), double(i * step), 1.0 * i + 1);
        }
        // Eight buffers of sound take eight buffers' time (the first may
        // have been under way before the first read).
        EXPECT_GE(Clock::now() - start, std::chrono::microseconds(7 * step));
    }
}

TEST_F(WaveCaptureTest, PausedByItsLiveValue)
{
    const int32_t handle = RegisterLiveValue(1);
    {
        TWaveSource src("-1", {{"pause_pointer", std::to_string(handle)}});
        ASSERT_EQ(src.Result, 0);
        const auto start = Clock::now();
        EXPECT_EQ(src.Read(), AVERROR(EAGAIN));  // a second without sound
        EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(900));
        FindLiveValue(handle)->store(0);
        EXPECT_EQ(src.ReadOne(), 0);
        EXPECT_EQ(src.Pkt->pts, 0);  // paused sound left no gap
    }
    UnregisterLiveValue(handle);
}

// While the task's run is held the source keeps no sound; afterwards the
// time stamps go on from the last kept sample.
TEST_F(WaveCaptureTest, HeldRunKeepsNoSoundAndLeavesNoGap)
{
    TWaveSource src("-1", {});
    ASSERT_EQ(src.Result, 0);
    ASSERT_EQ(src.ReadOne(), 0);
    int64_t next = src.Pkt->pts + src.Pkt->duration;
    const TEngineInputFormat* wave = FindEngineSource("wavecapture");
    PauseEngineSource(wave, src.Ctx);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // about twenty buffers' time
    src.Ctx->flags |= AVFMT_FLAG_NONBLOCK;
    int kept = 0;
    for (; src.Read() == 0; ++kept)
        next = src.Pkt->pts + src.Pkt->duration;
    EXPECT_LE(kept, 2);  // at most what was under way when the hold began
    src.Ctx->flags &= ~AVFMT_FLAG_NONBLOCK;
    PlayEngineSource(wave, src.Ctx);
    ASSERT_EQ(src.ReadOne(), 0);
    EXPECT_EQ(src.Pkt->pts, next);
}

TEST_F(WaveCaptureTest, SoundBeforeTheFirstReadIsDropped)
{
    TLogCapture log;
    GetFFLogger()->SetLogLevel(llDebug);
    TWaveSource src("-1", {{"bufsize", "400"}});
    ASSERT_EQ(src.Result, 0);
    const auto until = Clock::now() + std::chrono::seconds(20);
    while (!log.Has("not started, skip wave data 400 bytes") && Clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    ASSERT_TRUE(log.Has("not started, skip wave data 400 bytes"));
    ASSERT_EQ(src.ReadOne(), 0);
    EXPECT_EQ(src.Pkt->pts, 0);
}

TEST_F(WaveCaptureTest, FailuresEndTheInputWithAnErrorAfterTheQueuedPackets)
{
    for (bool unplug : {false, true}) {
        SCOPED_TRACE(unplug ? "unplugged" : "allocation");
        EnableTestSoundInput(true);
        TLogCapture log;
        // The fault comes after four packets.
        WaveCaptureFailAllocationAfter(unplug ? -1 : 4);
        TWaveSource src("-1", {{"bufsize", "400"}});
        ASSERT_EQ(src.Result, 0);
        ASSERT_EQ(src.ReadOne(), 0);
        int r;
        if (unplug) {
            // Read three packets as they come, then unplug.
            for (int i = 0; i < 3; ++i)
                ASSERT_EQ(src.ReadOne(), 0);
            UnplugTestSoundInput();
        }
        int packets = 0;
        while ((r = src.Read()) == 0 || r == AVERROR(EAGAIN))
            packets += r == 0;
        EXPECT_EQ(r, AVERROR(EIO));
        if (!unplug)
            EXPECT_EQ(packets, 3);
        EXPECT_TRUE(log.Has(unplug ? "No such device" : "av_new_packet() error"));
        EXPECT_EQ(src.Read(), AVERROR(EIO));  // and stays so
    }
}

TEST_F(WaveCaptureTest, RefusedOptionTexts)
{
    const int32_t gone = RegisterLiveValue(0);
    UnregisterLiveValue(gone);
    struct Case {
        std::string name, options, message;
        int code;
        bool device = true;
    } cases[] = {
        {"abc", "", "Invalid device identifier: \"abc\"", AVERROR(EINVAL)},
        {"", "", "Invalid device identifier: \"\"", AVERROR(EINVAL)},
        {"-1", "", "No wave audio recording devices found.", AVERROR(EIO), false},
        {"3", "", "No such device", AVERROR(EIO)},
        {"-1", "-sample_fmt flt", "Invalid sample format: \"flt\", it should be u8 or s16", AVERROR(EINVAL)},
        {"-1", "-ar 0", "Invalid sample rate 0", AVERROR(EINVAL)},
        {"-1", "-ac 0", "Invalid channels 0", AVERROR(EINVAL)},
        {"-1", "-bufsize 2147483647", "Error allocating wave buffer memory.", AVERROR(EIO)},
        {"-1", "-pause_pointer " + std::to_string(gone), "Invalid pause_pointer handle", AVERROR(EINVAL)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name + " " + c.options);
        EnableTestSoundInput(c.device);
        TTaskDriver d;
        EXPECT_EQ(d.AddInput(c.name, "-f wavecapture " + c.options), c.code) << d.Error;
        EXPECT_NE(d.Task.LastErrMsg().find(c.message), std::string::npos) << d.Task.LastErrMsg();
        EXPECT_EQ(d.Task.nb_input_files(), 0);
    }
}

}  // namespace
