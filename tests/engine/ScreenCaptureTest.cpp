// The screen source on the headless memory screen: pictures of a window of
// known colours at the requested rate, the area cut at the screen's edge, the
// pointer drawn in, slot times after a stall, the ring round the area, the
// screen's depths, and every refused option text.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "CaptureTestSupport.h"
#include "TranscodeTestSupport.h"
#include "engine/bindings/AVCodecStubs.h"
#include "engine/bindings/AVUtilStubs.h"
#include "engine/capture/ScreenCapture.h"
#include "engine/common/EngineSource.h"
#include "platform/backend/Headless.h"
#include "platform/gdi/Gdi.h"
#include "platform/gui/Forms.h"
#include "platform/user/User.h"
#include "support/TestSupport.h"

using namespace tarnello::test;

namespace {

// A source reader that also gives a 32-bit picture's pixels.
class TOpenSource : public TSourceReader {
public:
    TOpenSource(const std::string& AName, const std::vector<std::pair<std::string, std::string>>& AOptions)
        : TSourceReader("screencapture", AName, AOptions)
    {
    }
    // The picture's pixel as 0xRRGGBB.
    uint32_t Pixel(int x, int y) const
    {
        const uint8_t* p = Pkt->data + (size_t(y) * size_t(Par()->width) + size_t(x)) * 4;
        return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
    }
};

class ScreenCaptureTest : public TranscodeTest {
protected:
    void SetUp() override
    {
        TranscodeTest::SetUp();
        HeadlessReset();
        RegisterScreenCapture();
    }
    void TearDown() override
    {
        GdiSetScreenBitsPerPixel(32);
        HeadlessReset();
        TranscodeTest::TearDown();
    }
    // A borderless form of one colour.
    TForm* ColouredForm(int x, int y, int w, int h, TColor AColour)
    {
        auto* f = new TForm(nullptr);
        f->SetBorderStyle(bsNone);
        f->SetBounds(x, y, w, h);
        f->SetColor(AColour);
        f->Show();
        HeadlessProcessMessages();
        Forms.emplace_back(f);
        return f;
    }
    std::vector<std::unique_ptr<TForm>> Forms;
};

TEST_F(ScreenCaptureTest, WindowOfKnownColoursAtTheRequestedRate)
{
    ColouredForm(100, 100, 200, 150, TColor(0x3366CC));  // B=0x33, G=0x66, R=0xCC
    TOpenSource src("", {{"framerate", "10"}, {"video_size", "64x48"}, {"capture_offset", "120,110"},
                        {"capture_flags", "0"}});
    ASSERT_EQ(src.Result, 0);
    EXPECT_EQ(src.Par()->width, 64);
    EXPECT_EQ(src.Par()->height, 48);
    EXPECT_EQ(src.Par()->format, AV_PIX_FMT_BGR0);
    EXPECT_EQ(src.Ctx->streams[0]->avg_frame_rate.num, 10);
    const auto start = std::chrono::steady_clock::now();
    int packets = 0;
    int64_t last = -1;
    while (std::chrono::steady_clock::now() - start < std::chrono::seconds(2)) {
        ASSERT_EQ(src.Read(), 0);
        ASSERT_EQ(src.Pkt->size, 64 * 48 * 4);
        // Slot times: a tenth of a second apart (a reader held up by a busy
        // machine skips slots rather than cramming pictures in).
        EXPECT_EQ(src.Pkt->pts % 100000, 0);
        EXPECT_GT(src.Pkt->pts, last);
        last = src.Pkt->pts;
        EXPECT_EQ(src.Pixel(0, 0), 0xCC6633u);
        EXPECT_EQ(src.Pixel(63, 47), 0xCC6633u);
        ff::av_packet_unref(src.Pkt);
        ++packets;
    }
    EXPECT_NEAR(packets, 20, 1);
}

TEST_F(ScreenCaptureTest, AreaCutAtTheScreenEdgeAndWindowsByHandleAndTitle)
{
    {
        TOpenSource src("", {{"video_size", "640x480"}, {"capture_offset", "1200,0"}, {"capture_flags", "0"}});
        ASSERT_EQ(src.Result, 0);
        EXPECT_EQ(src.Par()->width, 80);  // 1280 - 1200
        EXPECT_EQ(src.Par()->height, 480);
    }
    TForm* f = ColouredForm(300, 200, 120, 90, TColor(0x00FF00));
    f->SetCaption("Recorded window");
    HeadlessProcessMessages();
    const std::string handle = std::to_string(reinterpret_cast<intptr_t>(f->Handle()));
    for (const auto& [type, name] : std::vector<std::pair<std::string, std::string>>{
             {"hwnd", handle}, {"title", "Recorded window"}}) {
        SCOPED_TRACE(type);
        TOpenSource src(name, {{"input_type", type}, {"capture_flags", "0"}, {"framerate", "25"}});
        ASSERT_EQ(src.Result, 0);
        EXPECT_EQ(src.Par()->width, 120);
        EXPECT_EQ(src.Par()->height, 90);
        ASSERT_EQ(src.Read(), 0);
        EXPECT_EQ(src.Pixel(60, 45), 0x00FF00u);
    }
}

TEST_F(ScreenCaptureTest, PointerDrawnIn)
{
    ColouredForm(0, 0, 200, 200, TColor(0xFFFFFF));
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    HeadlessMouseMove(50, 60);
    for (const char* flags : {"0", "4"}) {
        SCOPED_TRACE(flags);
        TOpenSource src("", {{"video_size", "100x100"}, {"capture_flags", flags}});
        ASSERT_EQ(src.Result, 0);
        ASSERT_EQ(src.Read(), 0);
        // The arrow's tip is black, its inside white, on a white window.
        EXPECT_EQ(src.Pixel(50, 60), std::string(flags) == "4" ? 0x000000u : 0xFFFFFFu);
        EXPECT_EQ(src.Pixel(49, 60), 0xFFFFFFu);
    }
}

TEST_F(ScreenCaptureTest, StallSkipsEveryMissedSlot)
{
    TOpenSource src("", {{"framerate", "10"}, {"video_size", "16x16"}, {"capture_flags", "0"}});
    ASSERT_EQ(src.Result, 0);
    ASSERT_EQ(src.Read(), 0);
    EXPECT_EQ(src.Pkt->pts, 0);
    ff::av_packet_unref(src.Pkt);
    // The reader stalls for 450 ms: the next picture takes the slot of its
    // time, not the next one in line; later ones follow on the schedule.
    std::this_thread::sleep_for(std::chrono::milliseconds(450));
    ASSERT_EQ(src.Read(), 0);
    const int64_t after = src.Pkt->pts;
    EXPECT_GE(after, 400000);
    EXPECT_EQ(after % 100000, 0);
    ff::av_packet_unref(src.Pkt);
    ASSERT_EQ(src.Read(), 0);
    EXPECT_GE(src.Pkt->pts, after + 100000);
    EXPECT_EQ(src.Pkt->pts % 100000, 0);
}

// Unlike a stall, a held run is no missed time: after it the next picture
// takes the next slot in line, so the pause leaves no gap.
TEST_F(ScreenCaptureTest, HeldSpanLeavesNoGap)
{
    TOpenSource src("", {{"framerate", "10"}, {"video_size", "16x16"}, {"capture_flags", "0"}});
    ASSERT_EQ(src.Result, 0);
    ASSERT_EQ(src.Read(), 0);
    EXPECT_EQ(src.Pkt->pts, 0);
    PauseEngineSource(FindEngineSource("screencapture"), src.Ctx);
    std::this_thread::sleep_for(std::chrono::milliseconds(450));
    PlayEngineSource(FindEngineSource("screencapture"), src.Ctx);
    ASSERT_EQ(src.Read(), 0);
    // (a slow machine may still miss a slot after the hold)
    EXPECT_GE(src.Pkt->pts, 100000);
    EXPECT_LE(src.Pkt->pts, 200000);
}

TEST_F(ScreenCaptureTest, RingShownRoundTheAreaThenGone)
{
    const COLORREF desktop = HeadlessBackend().Pixel(99, 99);
    {
        TOpenSource src("", {{"video_size", "50x40"}, {"capture_offset", "100,100"}, {"capture_flags", "1"},
                            {"framerate", "25"}});
        ASSERT_EQ(src.Result, 0);
        HeadlessProcessMessages();
        EXPECT_EQ(HeadlessBackend().Pixel(99, 99), 0x0000FFu);    // red ring, inner corner
        EXPECT_EQ(HeadlessBackend().Pixel(98, 120), 0x0000FFu);
        EXPECT_EQ(HeadlessBackend().Pixel(150, 140), 0x0000FFu);  // right and bottom edge
        EXPECT_EQ(HeadlessBackend().Pixel(120, 120), desktop);    // the area stays clear
        EXPECT_EQ(HeadlessBackend().Pixel(97, 97), desktop);
        ASSERT_EQ(src.Read(), 0);
        // Recording runs: the ring turns blue on the next flash.
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (HeadlessBackend().Pixel(99, 99) != 0xFF0000u && std::chrono::steady_clock::now() < until) {
            HeadlessProcessMessages();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        EXPECT_EQ(HeadlessBackend().Pixel(99, 99), 0xFF0000u);
    }
    HeadlessProcessMessages();
    EXPECT_EQ(HeadlessBackend().Pixel(99, 99), desktop);
}

TEST_F(ScreenCaptureTest, ScreenDepths)
{
    ColouredForm(0, 0, 100, 100, TColor(0x3366CC));
    struct Case {
        int bits;
        AVPixelFormat format;
        int bytes;
    } cases[] = {{32, AV_PIX_FMT_BGR0, 4}, {24, AV_PIX_FMT_BGR24, 3}, {16, AV_PIX_FMT_RGB565LE, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bits);
        GdiSetScreenBitsPerPixel(c.bits);
        // An odd width: rows are packed, without padding.
        TOpenSource src("", {{"video_size", "33x5"}, {"capture_flags", "0"}});
        ASSERT_EQ(src.Result, 0);
        EXPECT_EQ(src.Par()->format, c.format);
        ASSERT_EQ(src.Read(), 0);
        ASSERT_EQ(src.Pkt->size, 33 * 5 * c.bytes);
        const uint8_t* last = src.Pkt->data + (4 * 33 + 32) * c.bytes;
        if (c.bits == 16)
            EXPECT_EQ(last[0] | last[1] << 8, (0xCC >> 3) << 11 | (0x66 >> 2) << 5 | (0x33 >> 3));
        else
            EXPECT_EQ(last[0] << 16 | last[1] << 8 | last[2], 0x3366CC);
    }
}

TEST_F(ScreenCaptureTest, RefusedOptionTexts)
{
    TForm* f = ColouredForm(10, 10, 50, 50, TColor(0));
    const std::string handle = std::to_string(reinterpret_cast<intptr_t>(f->Handle()));
    struct Case {
        std::string name, options, message;
        int code;
    } cases[] = {
        {"", "-input_type window", "Invalid capture input type: \"window\", it should be hwnd, title or desktop",
         AVERROR(EINVAL)},
        {"abc", "-input_type hwnd", "Invalid capture parameter: \"abc\", it should be a window handle",
         AVERROR(EINVAL)},
        {"12345", "-input_type hwnd", "Couldn't get window DC (error 1400)", AVERROR(EIO)},
        {"No such title", "-input_type title", "Could not find window: \"No such title\"", AVERROR(EINVAL)},
        {"", "-s 0x0", "Couldn't parse video size.", AVERROR(EINVAL)},
        {"", "-s -3x4", "Couldn't parse video size.", AVERROR(EINVAL)},
        {"", "-capture_offset 1,2,3", "Couldn't parse capture-offset.", AVERROR(EINVAL)},
        {"", "-capture_offset 5", "Couldn't parse capture-offset.", AVERROR(EINVAL)},
        {"", "-capture_offset a,b", "Couldn't parse capture-offset.", AVERROR(EINVAL)},
        {"", "-capture_offset -1,0", "Invalid properties, aborting", AVERROR(EIO)},
        {"", "-capture_offset 2000,10", "Invalid properties, aborting", AVERROR(EIO)},
        {handle, "-input_type hwnd -capture_offset 60,0", "Invalid properties, aborting", AVERROR(EIO)},
        {"", "-r 0/1", "Could not parse framerate \"0/1\".", AVERROR(EINVAL)},
        {"", "-r abc", "Could not parse framerate \"abc\".", AVERROR(EINVAL)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        TTaskDriver d;
        EXPECT_EQ(d.AddInput(c.name, "-f screencapture -capture_flags 0 " + c.options), c.code) << d.Error;
        EXPECT_NE(d.Task.LastErrMsg().find(c.message), std::string::npos) << d.Task.LastErrMsg();
        EXPECT_EQ(d.Task.nb_input_files(), 0);
    }
}

}  // namespace
