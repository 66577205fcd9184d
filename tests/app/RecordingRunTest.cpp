// A recording made with the recorder's own option texts through the real
// encoder: part of the memory screen and the test tone, into H.264 and AAC.
#include "AppTestSupport.h"
#include "ConversionTestSupport.h"
#include "app/core/Recording.h"
#include "engine/capture/ScreenCapture.h"
#include "engine/capture/WaveCapture.h"
#include "engine/encoder/FFEncode.h"
#include "platform/backend/Headless.h"
#include "platform/media/SoundInput.h"

#include <cstdlib>

using tarnello::test::AppTest;
using namespace tarnello::test;

namespace {

class RecordingRunTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        ASSERT_TRUE(encoder.LoadAVLib("")) << encoder.LastErrMsg();
        HeadlessReset();
        RegisterScreenCapture();
        RegisterWaveCapture();
        EnableTestSoundInput(true);
        encoder.OnTerminate = TTerminateEvent::Bind(this, &RecordingRunTest::Ended);
    }
    void TearDown() override
    {
        EnableTestSoundInput(false);
        AppTest::TearDown();
    }
    void Ended(TObject*, const TTerminateInfo& info)
    {
        if (info.TaskIndex == -1)
            finished = true;
        else if (info.Exception)
            failure = info.ExceptionMsg;
    }

    TVAVorarez encoder{nullptr};
    bool finished = false;
    std::string failure;
};

TEST_F(RecordingRunTest, PartOfTheScreenWithSoundIsH264AndAac)
{
    TRecorderPauseFlag pause;
    TAreaSelection selection;
    selection.MouseDown(341, 231);  // drawn from bottom-right to top-left
    selection.MouseMove(100, 100);
    ASSERT_TRUE(selection.MouseUp(40, 30));
    const TCaptureRegion region = RegionFromSelection(selection.Region());
    ASSERT_EQ(region, (TCaptureRegion{40, 30, 300, 200}));

    TInputOptions video;
    InitInputOptions(video);
    video.Options = VideoInputOptions(TCaptureSource::PartOfScreen, region, true);
    ASSERT_EQ(encoder.AddTask("", &video), 0) << encoder.LastErrMsg();
    TInputOptions sound;
    InitInputOptions(sound);
    sound.Options = SoundInputOptions(pause.Handle());
    ASSERT_GE(encoder.AddInput(0, "-1", &sound), 0) << encoder.LastErrMsg();
    // The recorder stops by hand; the test ends the recording after 2 s.
    TOutputOptions output;
    InitOutputOptions(output);
    output.Options = RecordingOutputOptions(TCaptureSource::PartOfScreen, region, true) + " -t 2";
    const std::string file = dir_.file("Record.mp4");
    ASSERT_GE(encoder.SetOutput(0, file, &output), 0) << encoder.LastErrMsg();
    encoder.Start(1);
    ASSERT_TRUE(ServeUntil([this] { return finished; }));
    EXPECT_EQ(failure, "");

    const std::string streams = ProbeText(file, "-show_entries stream=codec_name,width,height,r_frame_rate");
    EXPECT_NE(streams.find("codec_name=h264"), std::string::npos) << streams;
    EXPECT_NE(streams.find("width=300"), std::string::npos) << streams;
    EXPECT_NE(streams.find("height=200"), std::string::npos) << streams;
    EXPECT_NE(streams.find("r_frame_rate=5/1"), std::string::npos) << streams;
    EXPECT_NE(streams.find("codec_name=aac"), std::string::npos) << streams;
    const std::string duration = ProbeText(file, "-show_entries format=duration");
    const std::size_t eq = duration.find('=');
    ASSERT_NE(eq, std::string::npos) << duration;
    EXPECT_NEAR(std::atof(duration.c_str() + eq + 1), 2.0, 0.5) << duration;
}

}  // namespace
