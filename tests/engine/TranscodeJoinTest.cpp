// Joining several inputs into one output through the encoder component: the
// encoders are made anew at each boundary, time stamps run on, the duration
// is the sum; inputs of another size and rate are scaled to the output's;
// stream copies of unlike inputs and encoders whose header changes fail the
// task clearly instead of writing a broken file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "EncoderRunSupport.h"
#include "engine/bindings/AVCodecStubs.h"
#include "engine/bindings/AVUtilStubs.h"
#include "engine/transcode/FFmpegJoin.h"
#include "support/TestSupport.h"

namespace tarnello::test {
namespace {

// A SubRip file with two cues, at 0.2 s and 1.2 s; "" when it cannot be written.
std::string WriteCues(const std::string& AFile)
{
    std::FILE* f = std::fopen(AFile.c_str(), "w");
    if (!f)
        return "";
    std::fputs("1\n00:00:00,200 --> 00:00:00,800\nOne\n\n2\n00:00:01,200 --> 00:00:01,800\nTwo\n", f);
    std::fclose(f);
    return AFile;
}

class TranscodeJoinTest : public TranscodeTest {
protected:
    // One second of picture and tone.
    std::string Clip(const std::string& AName, const std::string& ASource, const std::string& ASize, int ARate,
                     int ASampleRate, int AChannels, const std::string& ACodecs)
    {
        return MakeClip(Dir.file(AName),
                        "-f lavfi -i " + ASource + "=size=" + ASize + ":rate=" + std::to_string(ARate) +
                            ":duration=1 -f lavfi -i sine=frequency=440:sample_rate=" + std::to_string(ASampleRate) +
                            ":duration=1",
                        "-ac " + std::to_string(AChannels) + " " + ACodecs);
    }
    TempDir Dir;
};

// The largest step between neighbouring time stamps, and whether they rise.
double LargestStep(std::vector<double> ATimes, bool& ARising)
{
    ARising = true;
    for (size_t i = 1; i < ATimes.size(); ++i)
        ARising &= ATimes[i] > ATimes[i - 1];
    std::sort(ATimes.begin(), ATimes.end());
    double step = 0;
    for (size_t i = 1; i < ATimes.size(); ++i)
        step = std::max(step, ATimes[i] - ATimes[i - 1]);
    return step;
}

TEST_F(TranscodeJoinTest, ThreeClipsBecomeOneWithContinuousTimeStamps)
{
    const char* codecs = "-c:v libx264 -preset ultrafast -c:a aac";
    const std::vector<std::string> clips = {
        Clip("a.mp4", "testsrc", "160x120", 25, 48000, 2, codecs),
        Clip("b.mp4", "smptebars", "160x120", 25, 48000, 2, codecs),
        Clip("c.mp4", "rgbtestsrc", "160x120", 25, 48000, 2, codecs),
    };
    struct Case {
        const char* file;
        const char* options;
    } cases[] = {
        // Global headers: every new encoder must make the header written first.
        {"joined.mp4", "-c:v libx264 -preset ultrafast -bf 2 -c:a aac -b:a 96k -Join"},
        {"joined.mkv", "-c:v mpeg4 -c:a mp2 -Join"},
    };
    TEncoderRun run;
    int task = 0;
    for (const Case& c : cases) {
        ASSERT_EQ(run.Encoder->AddTask(clips[0], ""), task) << run.Encoder->LastErrMsg();
        for (size_t i = 1; i < clips.size(); ++i)
            ASSERT_GE(run.Encoder->AddInput(task, clips[i], ""), 0) << run.Encoder->LastErrMsg();
        ASSERT_GE(run.Encoder->SetOutput(task, Dir.file(c.file), c.options), 0) << run.Encoder->LastErrMsg();
        ++task;
    }
    ASSERT_TRUE(run.Run(2));
    for (int t = 0; t < task; ++t) {
        const Case& c = cases[t];
        SCOPED_TRACE(c.file);
        const TTerminateInfo end = run.End(t);
        EXPECT_TRUE(end.Finished) << end.ExceptionMsg;
        EXPECT_FALSE(end.Exception) << end.ExceptionMsg;
        const std::string out = Dir.file(c.file);
        // The sum of the parts, within a frame.
        EXPECT_NEAR(ProbeNumber(out, "-show_entries format=duration"), 3.0, 0.04);
        EXPECT_EQ(Probe(out, "-count_frames -select_streams v -show_entries stream=nb_read_frames"),
                  "nb_read_frames=75\n");
        // No gap and no overlap at the boundaries.
        bool rising = false;
        std::vector<double> video = PacketTimes(out, "v:0");
        ASSERT_EQ(video.size(), 75u);
        EXPECT_NEAR(LargestStep(video, rising), 0.04, 0.002);
        std::sort(video.begin(), video.end());
        EXPECT_NEAR(video.back() - video.front(), 2.96, 0.002);
        const std::vector<double> audio = PacketTimes(out, "a:0");
        ASSERT_GT(audio.size(), 100u);
        EXPECT_LT(LargestStep(audio, rising), 0.03);  // a frame of 1024 or 1152 samples at 48 kHz
        EXPECT_TRUE(rising);
        EXPECT_NEAR(audio.back() - video.front(), 3.0, 0.05);
        // Every sample once: a new encoder's priming is not played at a
        // boundary (the first part's is, as in any AAC file).
        EXPECT_NEAR(PacketDurationSum(out, "a:0"), 3.0, 0.035);
    }
}

TEST_F(TranscodeJoinTest, InputsOfAnotherSizeAndRateAreScaledToTheOutput)
{
    const std::string first = Clip("first.mkv", "testsrc", "160x120", 25, 48000, 2, "-c:v mpeg4 -c:a pcm_s16le");
    const std::string other = Clip("other.mkv", "testsrc2", "320x240", 30, 22050, 1, "-c:v mpeg4 -c:a pcm_s16le");
    TEncoderRun run;
    ASSERT_EQ(run.Encoder->AddTask(first, ""), 0) << run.Encoder->LastErrMsg();
    ASSERT_GE(run.Encoder->AddInput(0, other, ""), 0) << run.Encoder->LastErrMsg();
    ASSERT_GE(run.Encoder->AddInput(0, first, ""), 0) << run.Encoder->LastErrMsg();
    const std::string out = Dir.file("mixed.mp4");
    ASSERT_GE(run.Encoder->SetOutput(0, out, "-c:v libx264 -preset ultrafast -c:a aac -Join"), 0)
        << run.Encoder->LastErrMsg();
    ASSERT_TRUE(run.Run(1));
    const TTerminateInfo end = run.End(0);
    EXPECT_TRUE(end.Finished) << end.ExceptionMsg;
    EXPECT_FALSE(end.Exception) << end.ExceptionMsg;
    EXPECT_EQ(Probe(out, "-show_entries stream=codec_name,width,height,sample_rate,channels"),
              "codec_name=h264\nwidth=160\nheight=120\ncodec_name=aac\nsample_rate=48000\nchannels=2\n");
    EXPECT_NEAR(ProbeNumber(out, "-show_entries format=duration"), 3.0, 0.05);
    // The 30 Hz part becomes 25 Hz; its last frame may fall into the next
    // output interval and be kept.
    const double frames = ProbeNumber(out, "-count_frames -select_streams v -show_entries stream=nb_read_frames");
    EXPECT_GE(frames, 75);
    EXPECT_LE(frames, 76);
}

// A part without audio: its group's audio record has no source; the audio
// of the part after it starts with that part's pictures.
TEST_F(TranscodeJoinTest, APartWithoutAudioLeavesAGapInTheAudio)
{
    const std::string withAudio = Clip("with.mkv", "testsrc", "160x120", 25, 48000, 2, "-c:v mpeg4 -c:a mp2");
    const std::string silent = MakeClip(Dir.file("without.mkv"),
                                        "-f lavfi -i smptebars=size=160x120:rate=25:duration=1", "-c:v mpeg4");
    TEncoderRun run;
    ASSERT_EQ(run.Encoder->AddTask(withAudio, ""), 0);
    ASSERT_GE(run.Encoder->AddInput(0, silent, ""), 0) << run.Encoder->LastErrMsg();
    ASSERT_GE(run.Encoder->AddInput(0, withAudio, ""), 0);
    const std::string out = Dir.file("gap.mkv");
    ASSERT_GE(run.Encoder->SetOutput(0, out, "-c:v mpeg4 -c:a mp2 -Join"), 0) << run.Encoder->LastErrMsg();
    ASSERT_TRUE(run.Run(1));
    EXPECT_TRUE(run.End(0).Finished) << run.End(0).ExceptionMsg;
    std::vector<double> video = PacketTimes(out, "v:0");
    ASSERT_EQ(video.size(), 75u);
    std::sort(video.begin(), video.end());
    const std::vector<double> audio = PacketTimes(out, "a:0");
    ASSERT_GT(audio.size(), 50u);
    bool rising = false;
    EXPECT_NEAR(LargestStep(audio, rising), 1.0, 0.05);  // the second part's second
    EXPECT_TRUE(rising);
    EXPECT_NEAR(audio.back() - video.front(), 2.976, 0.03);  // the last frame of 1152 samples
    EXPECT_NEAR(PacketDurationSum(out, "a:0"), 2.0, 0.05);
}

TEST_F(TranscodeJoinTest, StreamCopyOfUnlikeInputsFailsBeforeWriting)
{
    const std::string a = Clip("a.mkv", "testsrc", "160x120", 25, 48000, 2, "-c:v mpeg4 -c:a mp2");
    const std::string b = Clip("b.mkv", "testsrc", "320x240", 25, 48000, 2, "-c:v mpeg4 -c:a mp2");
    TEncoderRun run;
    const std::string same = Dir.file("same.mkv"), unlike = Dir.file("unlike.mkv");
    ASSERT_EQ(run.Encoder->AddTask(a, ""), 0);
    ASSERT_GE(run.Encoder->AddInput(0, a, ""), 0);
    ASSERT_GE(run.Encoder->SetOutput(0, same, "-c copy -Join"), 0) << run.Encoder->LastErrMsg();
    ASSERT_EQ(run.Encoder->AddTask(a, ""), 1);
    ASSERT_GE(run.Encoder->AddInput(1, b, ""), 0);
    ASSERT_GE(run.Encoder->SetOutput(1, unlike, "-c copy -Join"), 0) << run.Encoder->LastErrMsg();
    ASSERT_TRUE(run.Run(2));
    EXPECT_TRUE(run.End(0).Finished) << run.End(0).ExceptionMsg;
    EXPECT_NEAR(ProbeNumber(same, "-show_entries format=duration"), 2.0, 0.1);
    const TTerminateInfo end = run.End(1);
    EXPECT_TRUE(end.Exception);
    EXPECT_FALSE(end.Finished);
    EXPECT_NE(end.ExceptionMsg.find("Cannot join input #1 by stream copy"), std::string::npos) << end.ExceptionMsg;
    EXPECT_FALSE(FileExists(unlike));
}

// The header check itself: a new encoder must make what the first made.
TEST_F(TranscodeJoinTest, HeaderCheckComparesCodecFormatAndExtraData)
{
    auto make = [](int AWidth, const char* AExtra) {
        AVCodecContext* c = ff::avcodec_alloc_context3(nullptr);
        c->codec_type = AVMEDIA_TYPE_VIDEO;
        c->codec_id = AV_CODEC_ID_H264;
        c->width = AWidth;
        c->height = 120;
        c->pix_fmt = AV_PIX_FMT_YUV420P;
        c->extradata_size = int(std::strlen(AExtra));
        c->extradata = static_cast<uint8_t*>(ff::av_mallocz(size_t(c->extradata_size) + AV_INPUT_BUFFER_PADDING_SIZE));
        std::memcpy(c->extradata, AExtra, size_t(c->extradata_size));
        return c;
    };
    AVCodecContext* first = make(160, "sps-pps");
    AVCodecContext* same = make(160, "sps-pps");
    AVCodecContext* otherExtra = make(160, "sps-ppX");
    AVCodecContext* shorter = make(160, "sps");
    AVCodecContext* otherSize = make(176, "sps-pps");
    EXPECT_TRUE(SameStreamHeader(same, first));
    EXPECT_FALSE(SameStreamHeader(otherExtra, first));
    EXPECT_FALSE(SameStreamHeader(shorter, first));
    EXPECT_FALSE(SameStreamHeader(otherSize, first));
    // The kept settings carry over to a new context; the header does not.
    AVCodecContext* copy = CopyEncoderSettings(first, nullptr);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->width, 160);
    EXPECT_EQ(copy->pix_fmt, AV_PIX_FMT_YUV420P);
    EXPECT_EQ(copy->extradata, nullptr);
    for (AVCodecContext* c : {first, same, otherExtra, shorter, otherSize, copy})
        ff::avcodec_free_context(&c);
}

// Text subtitles get a new encoder at the boundary like pictures and sound,
// with the styles of the header already written; the second part's cues keep
// their times, moved by the first part's length.
TEST_F(TranscodeJoinTest, TextSubtitlesOfTheSecondPartKeepTheirTimes)
{
    const std::string srt = WriteCues(Dir.file("cues.srt"));
    ASSERT_FALSE(srt.empty());
    const std::string clip = MakeClip(Dir.file("subbed.mkv"),
                                      "-f lavfi -i testsrc=size=160x120:rate=25:duration=2 -i '" + srt + "'",
                                      "-map 0:v -map 1:s -c:v mpeg4 -c:s ass");
    for (const char* codec : {"ass", "srt"}) {
        SCOPED_TRACE(codec);
        TEncoderRun run;
        ASSERT_EQ(run.Encoder->AddTask(clip, ""), 0) << run.Encoder->LastErrMsg();
        ASSERT_GE(run.Encoder->AddInput(0, clip, ""), 0) << run.Encoder->LastErrMsg();
        const std::string out = Dir.file(std::string("joined-subs-") + codec + ".mkv");
        ASSERT_GE(run.Encoder->SetOutput(0, out, std::string("-c:v mpeg4 -c:s ") + codec + " -Join"), 0)
            << run.Encoder->LastErrMsg();
        ASSERT_TRUE(run.Run(1));
        ASSERT_TRUE(run.End(0).Finished) << run.End(0).ExceptionMsg;
        const std::vector<double> cues = PacketTimes(out, "s:0");
        ASSERT_EQ(cues.size(), 4u);
        const double expect[] = {0.2, 1.2, 2.2, 3.2};
        for (size_t i = 0; i < 4; ++i)
            EXPECT_NEAR(cues[i], expect[i], 0.05) << i;
    }
}

// Text subtitles from ASS and timed-text inputs re-encode to SubRip, in a
// Matroska file beside the video and in a SubRip file of their own.
TEST_F(TranscodeJoinTest, TextSubtitlesReencodeToSubRip)
{
    const std::string srt = WriteCues(Dir.file("cues.srt"));
    ASSERT_FALSE(srt.empty());
    const std::string lavfi = "-f lavfi -i testsrc=size=160x120:rate=25:duration=2 -i '" + srt + "'";
    const std::string ass = MakeClip(Dir.file("ass.mkv"), lavfi, "-map 0:v -map 1:s -c:v mpeg4 -c:s ass");
    const std::string timed = MakeClip(Dir.file("timed.mp4"), lavfi, "-map 0:v -map 1:s -c:v mpeg4 -c:s mov_text");
    struct Case {
        std::string Input, Output, Options;
    } cases[] = {
        {ass, "ass-to-srt.mkv", "-c:v mpeg4 -c:s srt"},
        {timed, "timed-to-srt.mkv", "-c:v mpeg4 -c:s srt"},
        {ass, "ass-to.srt", "-vn -c:s srt"},
        {timed, "timed-to.srt", "-vn -c:s srt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Output);
        TEncoderRun run;
        ASSERT_EQ(run.Encoder->AddTask(c.Input, ""), 0) << run.Encoder->LastErrMsg();
        const std::string out = Dir.file(c.Output);
        ASSERT_GE(run.Encoder->SetOutput(0, out, c.Options), 0) << run.Encoder->LastErrMsg();
        ASSERT_TRUE(run.Run(1));
        ASSERT_TRUE(run.End(0).Finished) << run.End(0).ExceptionMsg;
        EXPECT_EQ(Probe(out, "-select_streams s:0 -show_entries stream=codec_name"), "codec_name=subrip\n");
        const std::vector<double> cues = PacketTimes(out, "s:0");
        ASSERT_EQ(cues.size(), 2u);
        EXPECT_NEAR(cues[0], 0.2, 0.05);
        EXPECT_NEAR(cues[1], 1.2, 0.05);
    }
}

}  // namespace
}  // namespace tarnello::test
