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
