// Whole conversions through the encoder component: progress and ends in the
// main thread, the audio hook in the conversion thread, pausing and stopping
// a running conversion.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "TranscodeTestSupport.h"
#include "engine/encoder/FFEncode.h"
#include "platform/rtl/Threads.h"
#include "support/TestSupport.h"

namespace tarnello::test {
namespace {

struct TRunLog {
    std::vector<TProgressInfo> Progress;
    std::vector<TTerminateInfo> Ends;
    bool ProgressOffMain = false;
    bool EndsOffMain = false;
    int AudioCalls = 0;
    bool AudioOnMain = false;
    void OnProgress(TObject*, PProgressInfo AInfo)
    {
        Progress.push_back(*AInfo);
        ProgressOffMain |= !IsMainThread();
    }
    void OnTerminate(TObject*, const TTerminateInfo& AInfo)
    {
        Ends.push_back(AInfo);
        EndsOffMain |= !IsMainThread();
    }
    void OnAudio(TObject*, int, const int64_t, uint8_t*, int ASize, int, int, int)
    {
        if (ASize > 0)
            ++AudioCalls;
        AudioOnMain |= IsMainThread();
    }
    bool Final() const { return !Ends.empty() && Ends.back().TaskIndex == -1; }
};

class EncoderConvertTest : public TranscodeTest {
protected:
    void SetUp() override
    {
        TranscodeTest::SetUp();
        Encoder->OnProgress = TProgressEvent::Bind(&Log, &TRunLog::OnProgress);
        Encoder->OnTerminate = TTerminateEvent::Bind(&Log, &TRunLog::OnTerminate);
        Encoder->OnAudioHook = TEncoderAudioHookEvent::Bind(&Log, &TRunLog::OnAudio);
        Encoder->SetProgressInterval(100);
    }
    void TearDown() override
    {
        Encoder.reset();
        TranscodeTest::TearDown();
    }
    // Serves the main thread until ADone holds (at most 60 s).
    template <class F>
    bool ServeUntil(F ADone)
    {
        for (int i = 0; i < 6000; ++i) {
            if (ADone())
                return true;
            CheckSynchronize(10);
        }
        return ADone();
    }
    // A clip long enough to be caught while it converts.
    std::string LongClip()
    {
        std::string name = Dir.file("long.mkv");
        EXPECT_EQ(RunCommand("ffmpeg -v error -y -f lavfi -i testsrc=size=320x240:rate=25:duration=20 "
                             "-c:v mpeg4 -g 25 '" +
                             name + "'"),
                  0);
        return name;
    }
    TempDir Dir;
    std::unique_ptr<TVAVorarez> Encoder = std::make_unique<TVAVorarez>(nullptr);
    TRunLog Log;
};

TEST_F(EncoderConvertTest, ConversionsReportProgressAndEndsInTheMainThread)
{
    const struct {
        std::string Fixture, Output, Options, Expect;
    } cases[] = {
        {"h264_aac.mp4", "a.mkv", "-c:v mpeg4 -c:a pcm_s16le", "codec_name=mpeg4\ncodec_name=pcm_s16le\n"},
        {"tone.wav", "b.wav", "-c:a pcm_s16le -ar 22050 -AudioHook", "codec_name=pcm_s16le\n"},
    };
    int i = 0;
    for (const auto& c : cases) {
        ASSERT_EQ(Encoder->AddTask(MediaFixture(c.Fixture), ""), i) << Encoder->LastErrMsg();
        ASSERT_GE(Encoder->SetOutput(i, Dir.file(c.Output), c.Options), 0) << Encoder->LastErrMsg();
        ++i;
    }
    Encoder->Start(2);
    ASSERT_TRUE(ServeUntil([&] { return Log.Final(); }));
    ASSERT_EQ(Log.Ends.size(), 3u);
    for (size_t e = 0; e < 2; ++e) {
        EXPECT_TRUE(Log.Ends[e].Finished) << Log.Ends[e].ExceptionMsg;
        EXPECT_FALSE(Log.Ends[e].Exception) << Log.Ends[e].ExceptionMsg;
    }
    EXPECT_FALSE(Log.EndsOffMain);
    EXPECT_FALSE(Log.ProgressOffMain);
    // Each task's last report carries file index -1.
    int lastReports = 0;
    for (const TProgressInfo& p : Log.Progress)
        lastReports += p.FileIndex == -1 ? 1 : 0;
    EXPECT_EQ(lastReports, 2);
    EXPECT_GT(Log.AudioCalls, 0);
    EXPECT_FALSE(Log.AudioOnMain);
    i = 0;
    for (const auto& c : cases)
        EXPECT_EQ(Probe(Dir.file(c.Output), "-show_entries stream=codec_name"), c.Expect) << c.Output;
    EXPECT_EQ(Probe(Dir.file("b.wav"), "-show_entries stream=sample_rate"), "sample_rate=22050\n");
}

TEST_F(EncoderConvertTest, PausedConversionHoldsAndResumesToTheEnd)
{
    std::string src = LongClip();
    ASSERT_EQ(Encoder->AddTask(src, ""), 0) << Encoder->LastErrMsg();
    ASSERT_GE(Encoder->SetOutput(0, Dir.file("paused.mkv"), "-c:v mpeg4"), 0) << Encoder->LastErrMsg();
    Encoder->Start(1);
    ASSERT_TRUE(ServeUntil([&] { return !Log.Progress.empty() || Log.Final(); }));
    ASSERT_FALSE(Log.Final()) << "the conversion ended before it could be paused";
    Encoder->Pause();
    EXPECT_TRUE(Encoder->Paused());
    for (int k = 0; k < 20; ++k)  // let a report already on its way arrive
        CheckSynchronize(10);
    const size_t held = Log.Progress.size();
    for (int k = 0; k < 40; ++k)
        CheckSynchronize(10);
    EXPECT_EQ(Log.Progress.size(), held);
    Encoder->Resume();
    ASSERT_TRUE(ServeUntil([&] { return Log.Final(); }));
    ASSERT_EQ(Log.Ends.size(), 2u);
    EXPECT_TRUE(Log.Ends[0].Finished) << Log.Ends[0].ExceptionMsg;
    EXPECT_EQ(Probe(Dir.file("paused.mkv"), "-count_frames -show_entries stream=nb_read_frames"),
              "nb_read_frames=500\n");
}

TEST_F(EncoderConvertTest, StopWhileConvertingLeavesAPlayableFile)
{
    std::string src = LongClip();
    for (int t = 0; t < 2; ++t) {
        ASSERT_EQ(Encoder->AddTask(src, ""), t) << Encoder->LastErrMsg();
        ASSERT_GE(Encoder->SetOutput(t, Dir.file("stopped" + std::to_string(t) + ".mkv"), "-c:v mpeg4"), 0)
            << Encoder->LastErrMsg();
    }
    Encoder->Start(1);
    ASSERT_TRUE(ServeUntil([&] { return !Log.Progress.empty() || Log.Final(); }));
    ASSERT_FALSE(Log.Final());
    Encoder->Stop(true);
    ASSERT_TRUE(ServeUntil([&] { return Log.Final(); }));
    ASSERT_EQ(Log.Ends.size(), 3u);
    for (size_t e = 0; e < 2; ++e)
        EXPECT_FALSE(Log.Ends[e].Exception) << Log.Ends[e].ExceptionMsg;
    // The running one wrote part of the clip and closed it properly; the
    // other never started and left nothing.
    std::string frames = Probe(Dir.file("stopped0.mkv"), "-count_frames -show_entries stream=nb_read_frames");
    ASSERT_EQ(frames.rfind("nb_read_frames=", 0), 0u) << frames;
    int n = std::stoi(frames.substr(15));
    EXPECT_GT(n, 0);
    EXPECT_LT(n, 500);
    Encoder->ClearTasks();
    EXPECT_FALSE(FileExists(Dir.file("stopped1.mkv")));
}

}  // namespace
}  // namespace tarnello::test
