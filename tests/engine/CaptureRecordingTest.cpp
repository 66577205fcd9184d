// A recording the way the recorder makes one: the screen and the sound input
// as two inputs of one task, written into MP4. Headless on the memory screen
// with the tone device; under a display, on the x11 back-end with the ring
// shown (its screenshot and a frame of the file are kept in the test folder).
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>

#include "TranscodeTestSupport.h"
#include "engine/capture/ScreenCapture.h"
#include "engine/capture/WaveCapture.h"
#include "platform/backend/BackendSelect.h"
#include "platform/backend/Headless.h"
#include "platform/gui/Forms.h"
#include "platform/media/SoundInput.h"
#include "support/TestSupport.h"
#include "support/X11ScreenReader.h"

using namespace tarnello::test;

namespace {

class CaptureRecordingTest : public TranscodeTest {
protected:
    void SetUp() override
    {
        TranscodeTest::SetUp();
        RegisterScreenCapture();
        RegisterWaveCapture();
        EnableTestSoundInput(true);
    }
    void TearDown() override
    {
        EnableTestSoundInput(false);
        TranscodeTest::TearDown();
    }
    // Records ASeconds of the screen and the tone; "" or the failure.
    // AOpened runs once the screen input is open.
    static std::string Record(const std::string& AFile, const std::string& AScreenOptions, int ASeconds,
                              const std::function<void()>& AOpened = nullptr)
    {
        TTaskDriver d;
        if (d.AddInput("", "-f screencapture " + AScreenOptions) != 0)
            return "screen: " + d.Task.LastErrMsg() + d.Error;
        if (AOpened)
            AOpened();
        if (d.AddInput("-1", "-f wavecapture") != 1)
            return "sound: " + d.Task.LastErrMsg() + d.Error;
        if (d.SetOutput(AFile, "-t " + std::to_string(ASeconds) + " -c:v mpeg4 -q:v 3 -c:a aac -b:a 96k") != 0)
            return "output: " + d.Task.LastErrMsg() + d.Error;
        d.Task.StartConvert(false);
        if (d.Task.FatalException())
            return d.Task.FatalMessage();
        return "";
    }
    static double StreamDuration(const std::string& AFile, const char* AStream)
    {
        const std::string d = Probe(AFile, std::string("-select_streams ") + AStream + " -show_entries stream=duration");
        const size_t eq = d.find('=');
        return eq == std::string::npos ? -1 : std::atof(d.c_str() + eq + 1);
    }
};

TEST_F(CaptureRecordingTest, ScreenAndToneIntoMp4KeepTheirDurations)
{
    HeadlessReset();
    TForm form(nullptr);
    form.SetBorderStyle(bsNone);
    form.SetBounds(40, 30, 320, 240);
    form.SetColor(TColor(0x3366CC));
    form.Show();
    HeadlessProcessMessages();
    TempDir dir;
    const std::string out = dir.file("recording.mp4");
    ASSERT_EQ(Record(out, "-r 10 -s 320x240 -capture_offset 40,30 -capture_flags 0", 3), "");
    EXPECT_EQ(Probe(out, "-show_entries stream=codec_name,width,height,sample_rate,channels"),
              "codec_name=mpeg4\nwidth=320\nheight=240\ncodec_name=aac\nsample_rate=44100\nchannels=2\n");
    const double video = StreamDuration(out, "v:0"), audio = StreamDuration(out, "a:0");
    EXPECT_NEAR(video, 3.0, 0.15);
    EXPECT_NEAR(audio, 3.0, 0.15);
    // Within a tenth of a second (one picture at 10 fps), the bound included.
    EXPECT_LE(std::fabs(video - audio), 0.1 + 1e-6) << video << " " << audio;
    HeadlessReset();
}

TEST_F(CaptureRecordingTest, X11ScreenWithTheRing)
{
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "no X display";
    setenv("TARNELLO_BACKEND", "x11", 1);
    std::string error;
    ASSERT_TRUE(SelectWindowBackend(&error)) << error;
    TempDir dir;
    const std::string out = dir.file("x11-recording.mp4");
    {
        TForm form(nullptr);
        form.SetBorderStyle(bsNone);
        form.SetBounds(100, 80, 200, 150);
        form.SetColor(TColor(0x3366CC));
        form.Show();
        Application->ProcessMessages();
        // The ring round a 160x120 area over the window's top-left corner, shown from the
        // header on; its pixels lie just outside the area.
        const std::string keep = std::getenv("TARNELLO_TEST_TMP") ? std::getenv("TARNELLO_TEST_TMP") : "/tmp";
        X11ScreenReader screen;
        ASSERT_TRUE(screen.Ok());
        uint32_t ring = 0, inside = 0;
        ASSERT_EQ(Record(out, "-r 10 -s 160x120 -capture_offset 60,50 -capture_flags +showframe+cursor", 2,
                         [&] {
                             const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
                             while ((ring = screen.RootPixel(59, 49)) != 0xFF0000u &&
                                    std::chrono::steady_clock::now() < until) {
                                 Application->ProcessMessages();
                                 screen.Sync();
                             }
                             inside = screen.RootPixel(121, 96);
                             screen.SavePng(40, 30, 280, 220, keep + "/capture-ring-x11.png");
                         }),
                  "");
        EXPECT_EQ(ring, 0xFF0000u);    // red before recording runs
        EXPECT_EQ(inside, 0xCC6633u);  // the window inside the area
        // The ring goes once the recording's close has run its release.
        Application->ProcessMessages();
        screen.Sync();
        EXPECT_NE(screen.RootPixel(59, 49), 0xFF0000u);
    }
    EXPECT_EQ(Probe(out, "-show_entries stream=codec_name,width,height"),
              "codec_name=mpeg4\nwidth=160\nheight=120\ncodec_name=aac\n");
    EXPECT_LE(std::fabs(StreamDuration(out, "v:0") - StreamDuration(out, "a:0")), 0.1 + 1e-6);
    // Two seconds at 10 pictures a second; the last slot may fall at the cut.
    const std::string frames = Probe(out, "-count_frames -select_streams v:0 -show_entries stream=nb_read_frames");
    EXPECT_TRUE(frames == "nb_read_frames=20\n" || frames == "nb_read_frames=19\n") << frames;
    const std::string keep = std::getenv("TARNELLO_TEST_TMP") ? std::getenv("TARNELLO_TEST_TMP") : "/tmp";
    // One frame of the file, for a look.
    CommandOutput("ffmpeg -v error -y -ss 1 -i '" + out + "' -frames:v 1 '" + keep + "/capture-x11-frame.png' 2>&1");
    ShutdownWindowBackend();
    unsetenv("TARNELLO_BACKEND");
}

}  // namespace
