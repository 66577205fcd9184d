// Whole conversions through a task: generated clips converted into the
// common containers, checked with ffprobe; trims, rates, sizes, stream copy,
// a stop in the middle, joining, and the progress reports.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <vector>

#include "TranscodeTestSupport.h"
#include "engine/MyUtils.h"
#include "support/TestSupport.h"

using namespace tarnello::test;

namespace {

class TranscodeLoopTest : public TranscodeTest {};

int64_t SizeOfFile(const std::string& AFile)
{
    struct stat sb {};
    return ::stat(AFile.c_str(), &sb) == 0 ? int64_t(sb.st_size) : -1;
}

double Duration(const std::string& AFile)
{
    const std::string d = Probe(AFile, "-show_entries format=duration");
    const size_t eq = d.find('=');
    return eq == std::string::npos ? -1 : std::atof(d.c_str() + eq + 1);
}

TEST_F(TranscodeLoopTest, ConvertsGeneratedClips)
{
    const std::string mp4 = MediaFixture("h264_aac.mp4");  // 3 s, 320x240 at 25, stereo AAC at 48 kHz
    TempDir dir;
    struct Case {
        const char* options;
        const char* file;
        const char* streams;  // ffprobe stream lines
        double duration;
        int frames;  // video frames, -1: no video
        const char* inputOptions = "";
    } cases[] = {
        {"-c:v mpeg4 -c:a mp2", "a.avi",
         "codec_name=mpeg4\nwidth=320\nheight=240\ncodec_name=mp2\nsample_rate=48000\nchannels=2\n", 3.0, 75},
        {"-c:v libx264 -preset ultrafast -c:a aac -b:a 96k", "b.mp4",
         "codec_name=h264\nwidth=320\nheight=240\ncodec_name=aac\nsample_rate=48000\nchannels=2\n", 3.0, 75},
        {"-c copy", "c.mkv",
         "codec_name=h264\nwidth=320\nheight=240\ncodec_name=aac\nsample_rate=48000\nchannels=2\n", 3.0, 75},
        {"-vn -b:a 64k", "d.mp3", "codec_name=mp3\nsample_rate=48000\nchannels=2\n", 3.0, -1},
        {"-vn -ar 22050 -ac 1", "e.wav", "codec_name=pcm_s16le\nsample_rate=22050\nchannels=1\n", 3.0, -1},
        {"-t 1 -c:v mpeg4 -an", "f.avi", "codec_name=mpeg4\nwidth=320\nheight=240\n", 1.0, 25},
        {"-r 10 -s 160x120 -c:v mpeg4 -an", "g.avi", "codec_name=mpeg4\nwidth=160\nheight=120\n", 3.0, 0},
        {"-vf crop=200:100,vflip -c:v mpeg4 -an", "h.mkv", "codec_name=mpeg4\nwidth=200\nheight=100\n",
         3.0, 75},
        {"-c:v mpeg4 -c:a mp2", "k.avi",
         "codec_name=mpeg4\nwidth=320\nheight=240\ncodec_name=mp2\nsample_rate=48000\nchannels=2\n", 2.0, 50,
         "-ss 1"},
        // A copy is cut by decoding times, so the B-frames reordered past the
        // end come along (the ffmpeg tool writes the same 27 frames).
        {"-t 1 -c copy", "j.mkv",
         "codec_name=h264\nwidth=320\nheight=240\ncodec_name=aac\nsample_rate=48000\nchannels=2\n", 1.18, 27},
        {"-map 0:1 -map_channel 0.1.1 -map_channel 0.1.0 -c:a pcm_s16le -vol 512", "i.wav",
         "codec_name=pcm_s16le\nsample_rate=48000\nchannels=2\n", 3.0, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        const std::string out = dir.file(c.file);
        {
            TTaskDriver d;
            ASSERT_EQ(d.AddInput(mp4, c.inputOptions), 0);
            ASSERT_EQ(d.SetOutput(out, c.options), 0) << d.Task.LastErrMsg() << d.Error;
            d.Task.StartConvert(false);
            EXPECT_FALSE(d.Task.FatalException()) << d.Task.FatalMessage();
            EXPECT_TRUE(d.Task.Finished());
        }
        EXPECT_EQ(Probe(out, "-show_entries stream=codec_name,width,height,sample_rate,channels"), c.streams);
        // The frame rate conversion may keep one frame more at the end (its
        // last input frame falls inside the output's last interval).
        EXPECT_NEAR(Duration(out), c.duration, c.frames == 0 ? 0.15 : 0.1);
        if (c.frames > 0)
            EXPECT_EQ(Probe(out, "-count_frames -select_streams v:0 -show_entries stream=nb_read_frames"),
                      "nb_read_frames=" + std::to_string(c.frames) + "\n");
    }
}

struct TProgress {
    std::atomic<int> calls{0};
    std::atomic<int> lastFile{0};
    static void On(void* Data, TObject*, int AFileIndex, int, int, const float, const float, const int64_t,
                   const int64_t, const int64_t)
    {
        auto* self = static_cast<TProgress*>(Data);
        ++self->calls;
        self->lastFile = AFileIndex;
    }
};

TEST_F(TranscodeLoopTest, JoinsThreeClips)
{
    const std::string mp4 = MediaFixture("h264_aac.mp4");
    TempDir dir;
    const std::string out = dir.file("joined.mkv");
    {
        TTaskDriver d;
        TProgress progress;
        d.Task.OnProgress = TTaskProgressEvent::Bind(static_cast<void*>(&progress), &TProgress::On);
        for (int i = 0; i < 3; ++i)
            ASSERT_GE(d.AddInput(mp4), 0);
        ASSERT_EQ(d.SetOutput(out, "-c:v mpeg4 -c:a mp2", true), 0) << d.Task.LastErrMsg();
        d.Task.StartConvert(false);
        EXPECT_FALSE(d.Task.FatalException()) << d.Task.FatalMessage();
        EXPECT_GE(progress.calls.load(), 1);
        EXPECT_EQ(progress.lastFile.load(), -1);
    }
    EXPECT_NEAR(Duration(out), 9.0, 0.15);
    EXPECT_EQ(Probe(out, "-count_frames -select_streams v -show_entries stream=nb_read_frames"), "nb_read_frames=225\n");
}

// Holds until ACond is true, serving the main thread's call queue; false
// after ATimeoutMs.
template <class F> bool WaitUntil(F ACond, int ATimeoutMs = 60000)
{
    for (int waited = 0; !ACond(); waited += 5) {
        if (waited >= ATimeoutMs)
            return false;
        PumpMessages();
        Sleep(5);
    }
    return true;
}

// Counts the frames a task reports as encoded.
struct TFramesSeen {
    std::atomic<int> frames{0};
    static void On(void* Data, TObject*, int, int AFrameNumber, int, const float, const float, const int64_t,
                   const int64_t, const int64_t)
    {
        auto* self = static_cast<TFramesSeen*>(Data);
        if (AFrameNumber > self->frames.load())
            self->frames = AFrameNumber;
    }
};

// A stop once the first frames were encoded keeps what was written, with
// its trailer: the file plays, and it is shorter than the clip.
TEST_F(TranscodeLoopTest, StopLeavesAPlayableFile)
{
    TempDir dir;
    const std::string out = dir.file("stopped.mp4");
    {
        TTaskDriver d;
        TFramesSeen seen;
        d.Task.ReportInterval = 0;  // a report after every packet
        d.Task.OnProgress = TTaskProgressEvent::Bind(static_cast<void*>(&seen), &TFramesSeen::On);
        // Read at the clip's own pace, so the stop surely comes mid-run.
        ASSERT_EQ(d.AddInput(MediaFixture("h264_aac.mp4"), "-re"), 0);
        ASSERT_EQ(d.SetOutput(out, "-c:v libx264 -preset ultrafast"), 0);
        TThread* t = d.Task.StartConvert(true);
        ASSERT_NE(t, nullptr);
        t->Start();
        d.Task.Pause();
        d.Task.Resume();
        ASSERT_TRUE(WaitUntil([&] { return seen.frames.load() >= 5; }));
        d.Task.Stop(true);
        EXPECT_TRUE(d.Task.Terminated());
        EXPECT_FALSE(d.Task.Finished());
        EXPECT_FALSE(d.Task.FatalException()) << d.Task.FatalMessage();
    }
    ASSERT_TRUE(FileExists(out));
    const double len = Duration(out);
    EXPECT_GT(len, 0);
    EXPECT_LT(len, 2.5);
}

// A stop before the first packet was written leaves no file: a header and
// a trailer around nothing do not play.
TEST_F(TranscodeLoopTest, StopBeforeAnyPacketRemovesTheOutput)
{
    TempDir dir;
    const std::string out = dir.file("never.mkv");
    {
        TTaskDriver d;
        ASSERT_EQ(d.AddInput(MediaFixture("h264_aac.mp4")), 0);
        // The header reaches the file at once, so the test sees it written.
        ASSERT_EQ(d.SetOutput(out, "-c:v mpeg4 -c:a mp2 -flush_packets 1"), 0) << d.Task.LastErrMsg();
        TThread* t = d.Task.StartConvert(true);
        ASSERT_NE(t, nullptr);
        d.Task.Pause();  // held at the conversion loop's first pause point
        t->Start();
        ASSERT_TRUE(WaitUntil([&] { return SizeOfFile(out) > 0; }));
        d.Task.Stop(true);
        EXPECT_TRUE(d.Task.Terminated());
        EXPECT_FALSE(d.Task.Finished());
        EXPECT_FALSE(d.Task.FatalException()) << d.Task.FatalMessage();
    }
    EXPECT_FALSE(FileExists(out));
}

}  // namespace

namespace {

// Damaged data in the middle of an input is skipped; the task ends as
// finished with what was readable.
TEST_F(TranscodeLoopTest, DamagedInputConvertsWhatIsReadable)
{
    TempDir dir;
    const std::string damaged = dir.file("damaged.avi");
    ASSERT_EQ(RunCommand("cp '" + MediaFixture("mpeg4_pcm.avi") + "' '" + damaged + "'"), 0);
    // Overwrite 4 KB in the middle of the packets with noise.
    ASSERT_EQ(RunCommand("head -c 4096 /dev/urandom | dd of='" + damaged + "' bs=1 seek=60000 conv=notrunc 2>/dev/null"),
              0);
    const std::string out = dir.file("repaired.mkv");
    {
        TTaskDriver d;
        ASSERT_EQ(d.AddInput(damaged), 0) << d.Task.LastErrMsg();
        ASSERT_EQ(d.SetOutput(out, "-c:v mpeg4 -c:a mp2"), 0);
        d.Task.StartConvert(false);
        EXPECT_FALSE(d.Task.FatalException()) << d.Task.FatalMessage();
        EXPECT_TRUE(d.Task.Finished());
    }
    EXPECT_GT(Duration(out), 1.0);
}

}  // namespace

namespace {

// The same option text through the engine and through the ffmpeg tool gives
// the same stream header in MKV and NUT. Expected differences are left out
// of the comparison: the tool tags each stream with its encoder
// ("ENCODER"), and its frame rate comes from the input's average rate while
// the engine takes r_frame_rate (equal for this clip).
TEST_F(TranscodeLoopTest, HeaderMatchesTheTool)
{
    const std::string mp4 = MediaFixture("h264_aac.mp4");
    TempDir dir;
    const char* entries =
        "-show_entries stream=index,codec_name,codec_type,width,height,pix_fmt,sample_aspect_ratio,r_frame_rate,"
        "sample_rate,channels,channel_layout,sample_fmt:stream_tags=language:format=nb_streams:format_tags=title";
    struct Case {
        const char* options;
        const char* ext;
    } cases[] = {
        {"-c:v mpeg4 -c:a mp2 -t 1", "mkv"},
        {"-c:v mpeg4 -s 160x120 -c:a pcm_s16le -ac 1 -t 1 -metadata title=Same", "nut"},
        {"-map 0:1 -map 0:0 -c:v mpeg4 -c:a mp2 -ar 44100 -t 1", "mkv"},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        const std::string ours = dir.file("ours" + std::to_string(n) + "." + c.ext);
        const std::string tool = dir.file("tool" + std::to_string(n++) + "." + c.ext);
        {
            TTaskDriver d;
            ASSERT_EQ(d.AddInput(mp4), 0);
            ASSERT_EQ(d.SetOutput(ours, c.options), 0) << d.Task.LastErrMsg();
            d.Task.StartConvert(false);
            ASSERT_FALSE(d.Task.FatalException()) << d.Task.FatalMessage();
        }
        ASSERT_EQ(RunCommand("ffmpeg -hide_banner -loglevel error -nostdin -y -i '" + mp4 + "' " + c.options + " '" +
                             tool + "'"),
                  0);
        const std::string header = Probe(ours, entries);
        EXPECT_NE(header.find("codec_type=video"), std::string::npos) << header;
        EXPECT_EQ(header, Probe(tool, entries));
    }
}

}  // namespace
