// The output kinds the application offers, each converted from a generated
// clip through the encoder component (all cases in one run on two threads)
// and checked with ffprobe: codecs, picture size, frame and sample rates,
// channels, duration within one frame, frame counts, and the level change
// that -vol asks for; two-pass encoding through two tasks in list order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "TranscodeTestSupport.h"
#include "engine/encoder/FFEncode.h"
#include "platform/rtl/Threads.h"
#include "support/TestSupport.h"

namespace tarnello::test {
namespace {

struct TEnds {
    std::vector<TTerminateInfo> Ends;
    int Reports = 0;
    void OnProgress(TObject*, PProgressInfo) { ++Reports; }
    void OnTerminate(TObject*, const TTerminateInfo& AInfo) { Ends.push_back(AInfo); }
    bool Final() const { return !Ends.empty() && Ends.back().TaskIndex == -1; }
};

// One line per stream: "codec_name=...|width=...", as ffprobe's compact form
// prints the entries asked for.
std::string Streams(const std::string& AFile)
{
    return CommandOutput("ffprobe -v error -show_entries "
                         "stream=codec_name,width,height,r_frame_rate,sample_rate,channels "
                         "-of compact=p=0 '" +
                         AFile + "' 2>&1");
}

double Number(const std::string& AAnswer)
{
    const size_t eq = AAnswer.find('=');
    return eq == std::string::npos ? -1 : std::atof(AAnswer.c_str() + eq + 1);
}

double Duration(const std::string& AFile)
{
    return Number(Probe(AFile, "-show_entries format=duration"));
}

int VideoFrames(const std::string& AFile)
{
    return int(Number(Probe(AFile, "-count_frames -select_streams v:0 -show_entries stream=nb_read_frames")));
}

// Mean level of the first audio stream in dB.
double MeanVolume(const std::string& AFile)
{
    const std::string out =
        CommandOutput("ffmpeg -hide_banner -nostdin -i '" + AFile + "' -map 0:a:0 -af volumedetect -f null - 2>&1");
    const size_t at = out.find("mean_volume:");
    return at == std::string::npos ? 1000 : std::atof(out.c_str() + at + 12);
}

class EncoderOutputsTest : public TranscodeTest {
protected:
    void SetUp() override
    {
        TranscodeTest::SetUp();
        Encoder->OnTerminate = TTerminateEvent::Bind(&Log, &TEnds::OnTerminate);
        Encoder->OnProgress = TProgressEvent::Bind(&Log, &TEnds::OnProgress);
        Encoder->SetProgressInterval(100);
    }
    void TearDown() override
    {
        Encoder.reset();
        TranscodeTest::TearDown();
    }
    int Add(const std::string& AInput, const std::string& AInputOptions, const std::string& AOutput,
            const std::string& AOptions)
    {
        const int t = Encoder->AddTask(AInput, AInputOptions);
        EXPECT_GE(t, 0) << Encoder->LastErrMsg();
        if (t >= 0)
            EXPECT_GE(Encoder->SetOutput(t, AOutput, AOptions), 0) << AOptions << ": " << Encoder->LastErrMsg();
        return t;
    }
    // Serves the main thread until ADone holds (at most 120 s).
    template <class F>
    bool ServeUntil(F ADone)
    {
        for (int i = 0; i < 12000 && !ADone(); ++i)
            CheckSynchronize(10);
        return ADone();
    }
    // Starts the run and serves the main thread until its final end.
    void Run(int AThreads)
    {
        Encoder->Start(AThreads);
        ServeUntil([&] { return Log.Final(); });
        ASSERT_TRUE(Log.Final());
        for (const TTerminateInfo& e : Log.Ends) {
            EXPECT_TRUE(e.Finished) << "task " << e.TaskIndex << ": " << e.ExceptionMsg;
            EXPECT_FALSE(e.Exception) << "task " << e.TaskIndex << ": " << e.ExceptionMsg;
        }
    }
    TempDir Dir;
    std::unique_ptr<TVAVorarez> Encoder = std::make_unique<TVAVorarez>(nullptr);
    TEnds Log;
};

// The source: 3 s of 320x240 at 25 fps with a 440 Hz stereo tone at 48 kHz.
TEST_F(EncoderOutputsTest, EveryOutputKindMatchesItsOptions)
{
    const std::string src = MediaFixture("h264_aac.mp4");
    const double video = 0.04, aac = 1024.0 / 48000;  // one frame of each
    const struct {
        const char* File;
        const char* InputOptions;
        const char* Options;
        const char* Streams;
        double Duration;
        // One frame of the stream that ends last; MP3 adds its encoder
        // delay of about one frame more, decoded AAC ends on a whole frame.
        double Within;
        int Frames;     // video frames; -1 without video
        double VolumeDb = 0;  // expected change of the mean level
    } cases[] = {
        {"mp4.mp4", "", "-c:v libx264 -preset ultrafast -c:a aac -b:a 96k",
         "codec_name=h264|width=320|height=240|r_frame_rate=25/1\n"
         "codec_name=aac|sample_rate=48000|channels=2|r_frame_rate=0/0\n",
         3.0, aac, 75},
        {"mkv.mkv", "", "-c:v libx264 -preset ultrafast -c:a libvorbis -ar 44100",
         "codec_name=h264|width=320|height=240|r_frame_rate=25/1\n"
         "codec_name=vorbis|sample_rate=44100|channels=2|r_frame_rate=0/0\n",
         3.0, video, 75},
        {"webm.webm", "",
         "-c:v libvpx-vp9 -deadline realtime -cpu-used 8 -b:v 300k -c:a libopus -b:a 64k",
         "codec_name=vp9|width=320|height=240|r_frame_rate=25/1\n"
         "codec_name=opus|sample_rate=48000|channels=2|r_frame_rate=0/0\n",
         3.0, video, 75},
        {"avi.avi", "", "-c:v mpeg4 -q:v 4 -c:a libmp3lame -b:a 128k",
         "codec_name=mpeg4|width=320|height=240|r_frame_rate=25/1\n"
         "codec_name=mp3|sample_rate=48000|channels=2|r_frame_rate=0/0\n",
         3.0, 2 * 1152.0 / 48000, 75},
        {"audio.mp3", "", "-vn -c:a libmp3lame -ar 22050 -ac 1",
         "codec_name=mp3|sample_rate=22050|channels=1|r_frame_rate=0/0\n", 3.0, 2 * 1152.0 / 22050, -1},
        {"audio.wav", "", "-vn -c:a pcm_s16le -ar 16000",
         "codec_name=pcm_s16le|sample_rate=16000|channels=2|r_frame_rate=0/0\n", 3.0, aac, -1},
        {"copy.mkv", "", "-c copy",
         "codec_name=h264|width=320|height=240|r_frame_rate=25/1\n"
         "codec_name=aac|sample_rate=48000|channels=2|r_frame_rate=0/0\n",
         3.0, video, 75},
        // Cut on the output side, then on the input side (which moves the
        // start to 0).
        {"trim_out.mkv", "", "-ss 1 -t 1.2 -c:v mpeg4 -c:a pcm_s16le",
         "codec_name=mpeg4|width=320|height=240|r_frame_rate=25/1\n"
         "codec_name=pcm_s16le|sample_rate=48000|channels=2|r_frame_rate=0/0\n",
         1.2, video, 30},
        {"trim_in.mkv", "-ss 0.6 -t 2", "-c:v mpeg4 -an",
         "codec_name=mpeg4|width=320|height=240|r_frame_rate=25/1\n", 2.0, video, 50},
        {"chain.mkv", "", "-vf crop=200:160:10:20,pad=240:200:20:20:black,scale=120:100 -c:v mpeg4 -an",
         "codec_name=mpeg4|width=120|height=100|r_frame_rate=25/1\n", 3.0, video, 75},
        // The last source frame (2.96 s) falls into the output's interval
        // at 3.0 s, so a 31st frame is kept, as the ffmpeg tool keeps it.
        {"rate.mkv", "", "-r 10 -s 160x120 -c:v mpeg4 -an",
         "codec_name=mpeg4|width=160|height=120|r_frame_rate=10/1\n", 3.1, 0.1, 31},
        // 128 of 256: half the amplitude, 6 dB down.
        {"vol.wav", "", "-vn -c:a pcm_s16le -vol 128",
         "codec_name=pcm_s16le|sample_rate=48000|channels=2|r_frame_rate=0/0\n", 3.0, aac, -1, -6.02},
    };
    for (const auto& c : cases)
        Add(src, c.InputOptions, Dir.file(c.File), c.Options);
    ASSERT_NO_FATAL_FAILURE(Run(2));
    ASSERT_EQ(Log.Ends.size(), std::size(cases) + 1);
    const double srcVolume = MeanVolume(src);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.File) + ": " + c.Options);
        const std::string out = Dir.file(c.File);
        EXPECT_EQ(Streams(out), c.Streams);
        EXPECT_NEAR(Duration(out), c.Duration, c.Within + 1e-6);
        if (c.Frames >= 0)
            EXPECT_EQ(VideoFrames(out), c.Frames);
        if (c.VolumeDb != 0)
            EXPECT_NEAR(MeanVolume(out) - srcVolume, c.VolumeDb, 0.3);
    }
}

// Pass 1 writes the rate statistics that pass 2 reads; run in list order on
// one thread, pass 2 hits the asked bit rate.
TEST_F(EncoderOutputsTest, TwoPassEncoding)
{
    const std::string src = MediaFixture("h264_aac.mp4");
    const std::string log = Dir.file("stats");
    const std::string common = "-c:v libx264 -preset ultrafast -b:v 200k -an -passlogfile \"" + log + "\" ";
    TLogCapture logged;
    Add(src, "", Dir.file("pass1.mp4"), common + "-pass 1");
    Add(src, "", Dir.file("pass2.mp4"), common + "-pass 2");
    ASSERT_NO_FATAL_FAILURE(Run(1)) << [&] {
        std::string all;
        for (const std::string& l : logged.Lines())
            all += l + "\n";
        return all;
    }();
    ASSERT_EQ(Log.Ends.size(), 3u);
    const std::string out = Dir.file("pass2.mp4");
    EXPECT_EQ(Streams(out), "codec_name=h264|width=320|height=240|r_frame_rate=25/1\n");
    EXPECT_EQ(VideoFrames(out), 75);
    EXPECT_NEAR(Duration(out), 3.0, 0.04);
    const double rate = Number(Probe(out, "-select_streams v:0 -show_entries stream=bit_rate"));
    EXPECT_NEAR(rate, 200000, 200000 * 0.25);
}

// A run held half-way and resumed writes the same pictures and samples as a
// run that was never held.
TEST_F(EncoderOutputsTest, PauseAndResumeGiveTheSameResult)
{
    const std::string src = Dir.file("long.mkv");
    ASSERT_EQ(RunCommand("ffmpeg -v error -nostdin -y -f lavfi -i testsrc=size=320x240:rate=25:duration=20 "
                         "-f lavfi -i sine=frequency=440:sample_rate=44100:duration=20 -ac 2 "
                         "-c:v mpeg4 -g 25 -c:a pcm_s16le '" +
                         src + "'"),
              0);
    const std::string options = "-c:v mpeg4 -q:v 5 -c:a mp2 -ar 22050";
    Add(src, "", Dir.file("straight.mkv"), options);
    ASSERT_NO_FATAL_FAILURE(Run(1));
    Encoder->ClearTasks();
    Log = TEnds();

    Add(src, "", Dir.file("held.mkv"), options);
    Encoder->Start(1);
    ASSERT_TRUE(ServeUntil([&] { return Log.Reports > 0 || Log.Final(); }));
    ASSERT_FALSE(Log.Final()) << "the conversion ended before it could be held";
    Encoder->Pause();
    for (int i = 0; i < 30; ++i)
        CheckSynchronize(10);
    Encoder->Resume();
    ASSERT_TRUE(ServeUntil([&] { return Log.Final(); }));
    ASSERT_EQ(Log.Ends.size(), 2u);
    EXPECT_TRUE(Log.Ends[0].Finished) << Log.Ends[0].ExceptionMsg;
    EXPECT_FALSE(Log.Ends[0].Exception) << Log.Ends[0].ExceptionMsg;

    // Decoded content of every stream, and the time stamps of each frame.
    auto content = [](const std::string& AFile) {
        return CommandOutput("ffmpeg -v error -nostdin -i '" + AFile + "' -map 0 -f framemd5 - 2>&1");
    };
    const std::string straight = content(Dir.file("straight.mkv"));
    EXPECT_GT(std::count(straight.begin(), straight.end(), '\n'), 500);
    EXPECT_EQ(content(Dir.file("held.mkv")), straight);
}

// An MP4 stopped mid-run is closed properly (its index written) and plays.
TEST_F(EncoderOutputsTest, StoppedMp4Plays)
{
    const std::string out = Dir.file("stopped.mp4");
    // Read at the clip's own pace, so that the stop surely comes mid-run.
    Add(MediaFixture("h264_aac.mp4"), "-re", out, "-c:v libx264 -preset ultrafast -c:a aac");
    Encoder->Start(1);
    ASSERT_TRUE(ServeUntil([&] { return Log.Reports >= 5 || Log.Final(); }));
    ASSERT_FALSE(Log.Final()) << "the conversion ended before it could be stopped";
    Encoder->Stop(true);
    ASSERT_TRUE(ServeUntil([&] { return Log.Final(); }));
    ASSERT_EQ(Log.Ends.size(), 2u);
    EXPECT_FALSE(Log.Ends[0].Finished);
    EXPECT_FALSE(Log.Ends[0].Exception) << Log.Ends[0].ExceptionMsg;
    EXPECT_EQ(Streams(out), "codec_name=h264|width=320|height=240|r_frame_rate=25/1\n"
                            "codec_name=aac|sample_rate=48000|channels=2|r_frame_rate=0/0\n");
    const double length = Duration(out);
    EXPECT_GT(length, 0.2);
    EXPECT_LT(length, 2.9);
    const int frames = VideoFrames(out);
    EXPECT_GT(frames, 0);
    // Video and audio end together: the pictures the decoder still held
    // at the stop were encoded as well.
    EXPECT_NEAR(frames / 25.0, length, 0.1);
}

}  // namespace
}  // namespace tarnello::test
