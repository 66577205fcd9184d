// The engine's own filters inside whole conversions through the encoder
// component.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "EncoderRunSupport.h"
#include "engine/common/LiveValues.h"
#include "engine/filters/NativeEqualizer.h"
#include "support/TestSupport.h"

namespace tarnello::test {
namespace {

class EncoderFilterTest : public TranscodeTest {
protected:
    void SetUp() override
    {
        TranscodeTest::SetUp();
        RegisterNativeEq();
        RegisterNativeHue();
    }
    // The first luma sample of the first picture of a file.
    static int FirstLuma(const std::string& AFile)
    {
        return std::atoi(CommandOutput("ffmpeg -v error -nostdin -i '" + AFile +
                                       "' -frames:v 1 -f rawvideo -pix_fmt yuv420p pipe:1 2>/dev/null | head -c 1 | od -An -tu1")
                             .c_str());
    }
    TempDir Dir;
};

TEST_F(EncoderFilterTest, EqualizerAndScalerInOneChainLiftAGreyClip)
{
    const std::string grey = MakeClip(Dir.file("grey.mkv"), "-f lavfi -i color=c=0x707070:size=640x480:rate=10:duration=1",
                                      "-c:v ffv1 -pix_fmt yuv420p");
    const std::string out = Dir.file("lifted.mkv");
    TEncoderRun run;
    ASSERT_EQ(run.Encoder->AddTask(grey, ""), 0) << run.Encoder->LastErrMsg();
    ASSERT_GE(run.Encoder->SetOutput(0, out, "-vf nativeeq=20:0,scale=320:240 -c:v ffv1"), 0)
        << run.Encoder->LastErrMsg();
    ASSERT_TRUE(run.Run(1));
    ASSERT_TRUE(run.End(0).Finished) << run.End(0).ExceptionMsg;
    EXPECT_EQ(Probe(out, "-select_streams v:0 -show_entries stream=width,height"), "width=320\nheight=240\n");
    const int before = FirstLuma(grey), after = FirstLuma(out);
    EXPECT_NEAR(after - before, 50, 1) << before << " -> " << after;
}

TEST_F(EncoderFilterTest, RotateTurnsTheOutput)
{
    const std::string clip = MediaFixture("video_only.mp4");  // 160x120
    struct Case {
        const char* Filter;
        const char* Size;
    } cases[] = {
        {"rotate=90", "width=120\nheight=160\n"},
        {"scale=320:240,rotate=90", "width=240\nheight=320\n"},
        {"rotate=0,hflip", "width=160\nheight=120\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Filter);
        const std::string out = Dir.file("turned.mp4");
        std::remove(out.c_str());
        TEncoderRun run;
        ASSERT_EQ(run.Encoder->AddTask(clip, ""), 0) << run.Encoder->LastErrMsg();
        ASSERT_GE(run.Encoder->SetOutput(0, out, std::string("-vf ") + c.Filter + " -c:v mpeg4"), 0)
            << run.Encoder->LastErrMsg();
        ASSERT_TRUE(run.Run(1));
        ASSERT_TRUE(run.End(0).Finished) << run.End(0).ExceptionMsg;
        EXPECT_EQ(Probe(out, "-select_streams v:0 -show_entries stream=width,height"), c.Size);
    }
}

// The pictures of a file as packed RGB.
std::string PicturesRgb(const std::string& AFile)
{
    return CommandOutput("ffmpeg -v error -nostdin -i '" + AFile + "' -f rawvideo -pix_fmt rgb24 pipe:1");
}

// A picture read by "movie" and laid over the video, in the text the
// application writes (the name escaped for the filter's options and for the
// graph), shows in the output; the rest of the picture keeps the clip's colour.
TEST_F(EncoderFilterTest, MoviePictureOverlaidShowsInTheOutput)
{
    const std::string clip = MakeClip(Dir.file("blue.mkv"), "-f lavfi -i color=c=0x0000FF:size=320x240:rate=10:duration=1",
                                      "-c:v ffv1 -pix_fmt yuv420p");
    const std::string logo = MakeClip(Dir.file("logo.png"), "-f lavfi -i color=c=0xFF0000:size=64x48", "-frames:v 1");
    const std::string h264 = MakeClip(Dir.file("blue.mp4"), "-f lavfi -i color=c=0x0000FF:size=320x240:rate=25:duration=1",
                                      "-c:v libx264 -preset ultrafast -pix_fmt yuv420p");
    struct Run {
        std::string Clip;
        const char* Input;
        const char* Output;
        int W, H;
        const char* After = "";  // filters after the overlay
        const char* File = "marked.mkv";
    } runs[] = {
        {clip, "", "-c:v ffv1", 320, 240},
        {clip, "-ss 0.3", "-s 160x120 -c:v ffv1", 160, 120},
        {h264, "", "-c:v ffv1", 320, 240},
        {h264, "-ss 0.2", "-s 160x120 -c:v ffv1", 160, 120},
        {h264, "-ss 0.2", "-s 160x120 -r 25 -c:v ffv1", 160, 120, ", scale=160:120"},
        // an input hook hands the filters its own copy of each picture
        {h264, "-ss 0.2", "-s 160x120 -c:v ffv1 -FrameInputHook", 160, 120},
        // the pictures decoded on the way to the start never reach the overlay
        {h264, "-ss 0.2", "-c:v libx264 -r 25 -t 0.6", 320, 240, "", "marked.mp4"},
    };
    struct Point {
        int X, Y;
        int Want[3];
    } points[] = {
        {10 + 32, 20 + 24, {255, 0, 0}},  // inside the watermark
        {12, 22, {255, 0, 0}},
        {150, 110, {0, 0, 255}},  // outside it
        {5, 5, {0, 0, 255}},
    };
    for (const Run& r : runs) {
        SCOPED_TRACE(r.Clip + " " + r.Input + " " + r.Output);
        const std::string out = Dir.file(r.File);
        std::remove(out.c_str());
        const std::string graph = "movie=" + logo + " [wm]; [in][wm] overlay=10:20" + r.After + " [out]";
        TEncoderRun run;
        struct TIdleHook : TObject {
            void Hook(TObject*, PFrameHookInfo) {}
        } hook;
        run.Encoder->OnFrameInputHook = TEncoderFrameHookEvent::Bind(&hook, &TIdleHook::Hook);
        ASSERT_EQ(run.Encoder->AddTask(r.Clip, r.Input), 0) << run.Encoder->LastErrMsg();
        ASSERT_GE(run.Encoder->SetOutput(0, out, "-vf \"" + graph + "\" " + r.Output), 0)
            << run.Encoder->LastErrMsg();
        ASSERT_TRUE(run.Run(1));
        ASSERT_TRUE(run.End(0).Finished) << run.End(0).ExceptionMsg;
        const std::string rgb = PicturesRgb(out);
        const size_t pictureSize = size_t(r.W) * r.H * 3;
        ASSERT_GE(rgb.size(), 3 * pictureSize);
        ASSERT_EQ(rgb.size() % pictureSize, 0u);
        // The first, a middle and the last picture.
        const size_t count = rgb.size() / pictureSize;
        for (size_t picture : {size_t(0), count / 2, count - 1})
        for (const Point& c : points) {
            SCOPED_TRACE(std::to_string(picture) + ": " + std::to_string(c.X) + "," + std::to_string(c.Y));
            const size_t at = picture * pictureSize + (size_t(c.Y) * r.W + c.X) * 3;
            EXPECT_NEAR(static_cast<unsigned char>(rgb[at]), c.Want[0], 16);
            EXPECT_NEAR(static_cast<unsigned char>(rgb[at + 1]), c.Want[1], 16);
            EXPECT_NEAR(static_cast<unsigned char>(rgb[at + 2]), c.Want[2], 16);
        }
    }
}

TEST_F(EncoderFilterTest, BadFilterArgumentsFailTheTaskAndLeaveNoFile)
{
    const std::string clip = MediaFixture("video_only.mp4");
    const int32_t gone = RegisterLiveValue();
    UnregisterLiveValue(gone);
    struct Case {
        std::string Filter, Message;
    } cases[] = {
        {"nativeeq=abc", "Error opening filters: failed to parsing parameters: "},
        {"nativehue=0:0:" + std::to_string(gone), "Error opening filters: failed to parsing parameters: "},
        {"rotate=12.5", "Error opening filters: Invalid rotate angle '12.5'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Filter);
        const std::string out = Dir.file("bad.mp4");
        TEncoderRun run;
        ASSERT_EQ(run.Encoder->AddTask(clip, ""), 0) << run.Encoder->LastErrMsg();
        ASSERT_GE(run.Encoder->SetOutput(0, out, "-vf " + c.Filter + " -c:v mpeg4"), 0)
            << run.Encoder->LastErrMsg();
        ASSERT_TRUE(run.Run(1));
        EXPECT_FALSE(run.End(0).Finished);
        EXPECT_EQ(run.End(0).ExceptionMsg.rfind(c.Message, 0), 0u) << run.End(0).ExceptionMsg;
        EXPECT_FALSE(FileExists(out));
    }
}

}  // namespace
}  // namespace tarnello::test
