// The camera source on test cameras: raw YUYV and MJPEG pictures with the
// driver's times, choosing a camera by number, the drop pattern while the
// reader stalls, a silent or unplugged camera, and every refused open.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "CaptureTestSupport.h"
#include "TranscodeTestSupport.h"
#include "engine/bindings/AVCodecStubs.h"
#include "engine/bindings/AVUtilStubs.h"
#include "engine/capture/VFWCapture.h"
#include "engine/common/EngineSource.h"
#include "platform/media/Camera.h"
#include "support/TestSupport.h"

using namespace tarnello::test;
using Clock = std::chrono::steady_clock;

namespace {

class TCameraSource : public TSourceReader {
public:
    TCameraSource(const std::string& AName, const std::vector<std::pair<std::string, std::string>>& AOptions)
        : TSourceReader("vfwcapture", AName, AOptions)
    {
    }
};

class VfwCaptureTest : public TranscodeTest {
protected:
    void SetUp() override
    {
        TranscodeTest::SetUp();
        RegisterVfwCapture();
    }
    void TearDown() override
    {
        EnableTestCameras(0);
        TranscodeTest::TearDown();
    }
};

TEST_F(VfwCaptureTest, YuyvPicturesWithTheDriversTimes)
{
    EnableTestCameras(1, CameraFourCC('Y', 'U', 'Y', 'V'));
    TCameraSource src("0", {{"framerate", "20"}});
    ASSERT_EQ(src.Result, 0);
    const AVCodecParameters* par = src.Ctx->streams[0]->codecpar;
    EXPECT_EQ(par->codec_id, AV_CODEC_ID_RAWVIDEO);
    EXPECT_EQ(par->format, AV_PIX_FMT_YUYV422);
    EXPECT_EQ(par->width, 320);
    EXPECT_EQ(par->height, 240);
    EXPECT_EQ(src.Ctx->streams[0]->time_base.den, 1000);
    uint32_t last = 0;
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(src.ReadOne(), 0);
        ASSERT_EQ(src.Pkt->size, 320 * 240 * 2);
        uint32_t number;
        std::memcpy(&number, src.Pkt->data, 4);
        EXPECT_EQ(src.Pkt->pts, int64_t(number) * 50);  // 20 pictures a second
        if (i)
            EXPECT_GT(number, last);
        last = number;
    }
}

TEST_F(VfwCaptureTest, MjpegPicturesAndTheSecondCamera)
{
    EnableTestCameras(2, CameraFourCC('M', 'J', 'P', 'G'));
    TCameraSource src("1", {{"video_size", "160x120"}});
    ASSERT_EQ(src.Result, 0);
    const AVCodecParameters* par = src.Ctx->streams[0]->codecpar;
    EXPECT_EQ(par->codec_id, AV_CODEC_ID_MJPEG);
    EXPECT_EQ(par->width, 160);
    EXPECT_EQ(par->height, 120);
    ASSERT_EQ(src.ReadOne(), 0);
    ASSERT_GT(src.Pkt->size, 4);
    EXPECT_EQ(src.Pkt->data[0], 0xFF);
    EXPECT_EQ(src.Pkt->data[1], 0xD8);
}

TEST_F(VfwCaptureTest, DropsPicturesAsTheQueueFillsWhileTheReaderStalls)
{
    EnableTestCameras(1);
    TLogCapture log;
    // Room for ten pictures of 320x240 YUYV.
    TCameraSource src("0", {{"framerate", "100"}, {"rtbufsize", std::to_string(10 * 320 * 240 * 2)}});
    ASSERT_EQ(src.Result, 0);
    const auto until = Clock::now() + std::chrono::seconds(30);
    while (!log.Has("real-time buffer 100% full! frame dropped!") && Clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    // No picture is dropped below 62 %; drops come as the queue fills,
    // and at 100 % every picture goes.
    int last = 0, drops = 0;
    for (const std::string& l : log.Lines()) {
        int full = 0;
        const size_t at = l.find("real-time buffer ");
        if (at == std::string::npos || std::sscanf(l.c_str() + at, "real-time buffer %d%% full!", &full) != 1)
            continue;
        ++drops;
        EXPECT_GE(full, 62);
        EXPECT_GE(full, last);
        last = full;
    }
    EXPECT_EQ(last, 100);
    EXPECT_GE(drops, 1);
    src.Ctx->flags |= AVFMT_FLAG_NONBLOCK;
    int queued = 0;
    while (src.Read() == 0)
        ++queued;
    EXPECT_GE(queued, 10);
    EXPECT_LE(queued, 11);  // one more may arrive while they are read
}

TEST_F(VfwCaptureTest, SilentThenUnpluggedCamera)
{
    EnableTestCameras(1);
    TCameraSource src("0", {{"framerate", "10"}});
    ASSERT_EQ(src.Result, 0);
    ASSERT_EQ(src.ReadOne(), 0);
    StallTestCamera(true);
    while (src.Ctx && src.Read() == 0) {
    }  // what was queued before the stall
    const auto start = Clock::now();
    EXPECT_EQ(src.Read(), AVERROR(EAGAIN));
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(900));
    StallTestCamera(false);
    ASSERT_EQ(src.ReadOne(), 0);
    UnplugTestCamera();
    int r;
    while ((r = src.Read()) == 0 || r == AVERROR(EAGAIN)) {
    }
    EXPECT_EQ(r, AVERROR(EIO));
}

TEST_F(VfwCaptureTest, RefusedOpens)
{
    struct Case {
        int cameras;
        uint32_t fourcc;
        std::string name, options, message;
        int code;
    } cases[] = {
        {0, 0, "0", "", "No VFW device found", AVERROR(ENODEV)},
        {2, CameraFourCC('Y', 'U', 'Y', 'V'), "5", "", "Could not connect to device #5.", AVERROR(ENODEV)},
        {1, CameraFourCC('H', '2', '6', '4'), "0", "",
         "Unknown compression type. Please report verbose (-v 9) debug information.", AVERROR_PATCHWELCOME},
        {1, CameraFourCC('Y', 'U', 'Y', 'V'), "0", "-framerate abc", "Could not parse framerate \"abc\".",
         AVERROR(EIO)},
        {1, CameraFourCC('Y', 'U', 'Y', 'V'), "0", "-s 0x0", "Couldn't parse video size.", AVERROR(EIO)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name + " " + c.options + " " + c.message);
        EnableTestCameras(c.cameras, c.fourcc);
        TLogCapture log;
        TTaskDriver d;
        EXPECT_EQ(d.AddInput(c.name, "-f vfwcapture " + c.options), c.code) << d.Error;
        EXPECT_NE(d.Task.LastErrMsg().find(c.message), std::string::npos) << d.Task.LastErrMsg();
        EXPECT_EQ(d.Task.nb_input_files(), 0);
        if (c.name == "5") {
            // Every camera there is, listed for the user.
            EXPECT_TRUE(log.Has("VFW Driver device #0 Test camera 0 1.0.0"));
            EXPECT_TRUE(log.Has("VFW Driver device #1 Test camera 1 1.0.0"));
        }
    }
}

}  // namespace
