// -async through the encoder component: audio that starts late and has a gap
// in its time stamps is filled with silence so that it lasts as long as the
// video; audio whose time stamps drift slowly from its sample count is
// stretched to them with -async above 1 and left alone below the drift
// threshold; without -async the samples are only counted.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "EncoderRunSupport.h"
#include "support/TestSupport.h"

namespace tarnello::test {
namespace {

class TranscodeAsyncTest : public TranscodeTest {};

TEST_F(TranscodeAsyncTest, AudioFollowsItsTimeStamps)
{
    TempDir dir;
    // 3 s of video; 2 s of tone that starts at 0.5 s and jumps 0.5 s ahead
    // after its first second (-copyts keeps the late start).
    const std::string gapped =
        MakeClip(dir.file("gapped.mkv"),
                 "-copyts -f lavfi -i testsrc=size=160x120:rate=25:duration=3 -f lavfi -i "
                 "\"sine=frequency=440:sample_rate=48000:duration=2,asetpts='PTS+(0.5+0.5*gte(T,1))/TB'\"",
                 "-c:v mpeg4 -c:a pcm_s16le");
    // 3 s of tone whose time stamps run 0.5 % fast: they end at 3.015 s.
    const std::string drifting =
        MakeClip(dir.file("drifting.mkv"),
                 "-f lavfi -i testsrc=size=160x120:rate=25:duration=3 -f lavfi -i "
                 "\"sine=frequency=440:sample_rate=48000:duration=3,asetpts='PTS*1.005'\"",
                 "-c:v mpeg4 -c:a pcm_s16le");
    struct Case {
        std::string input;
        const char* options;
        double audio;  // seconds of samples written
        double tolerance;
    } cases[] = {
        {gapped, "", 2.0, 0.05},
        {gapped, "-async 1", 3.0, 0.05},
        {gapped, "-async 1000 -ar 44100", 3.0, 0.05},
        {drifting, "", 3.0, 0.003},
        {drifting, "-async 1", 3.0, 0.003},  // within the drift threshold
        // Stretched most of the way: the compensation follows the lag, so a
        // lag of a few milliseconds stays while the drift goes on.
        {drifting, "-async 1000", 3.0115, 0.0045},
    };
    TEncoderRun run;
    int n = 0;
    for (const Case& c : cases) {
        ASSERT_EQ(run.Encoder->AddTask(c.input, ""), n) << run.Encoder->LastErrMsg();
        ASSERT_GE(run.Encoder->SetOutput(n, dir.file("out" + std::to_string(n) + ".mkv"),
                                         std::string("-c:v mpeg4 -c:a pcm_s16le ") + c.options),
                  0)
            << run.Encoder->LastErrMsg();
        ++n;
    }
    ASSERT_TRUE(run.Run(3));
    for (int t = 0; t < n; ++t) {
        SCOPED_TRACE(cases[t].input + " " + cases[t].options);
        EXPECT_TRUE(run.End(t).Finished) << run.End(t).ExceptionMsg;
        const std::string out = dir.file("out" + std::to_string(t) + ".mkv");
        const std::string wav = dir.file("audio" + std::to_string(t) + ".wav");
        // The samples as written, without the time stamps.
        ASSERT_EQ(RunCommand("ffmpeg -v error -nostdin -y -i '" + out + "' -map 0:a -c copy '" + wav + "'"), 0);
        EXPECT_NEAR(ProbeNumber(wav, "-show_entries format=duration"), cases[t].audio, cases[t].tolerance);
        EXPECT_NEAR(ProbeNumber(out, "-show_entries format=duration"), 3.0, 0.1);
    }
}

// -async 0 follows the time stamps alone: a one-second hole in the input's
// audio stays a one-second hole in the output's packet times, and the
// samples are neither padded nor dropped.
TEST_F(TranscodeAsyncTest, AsyncZeroKeepsAGapInTheTimeStamps)
{
    TempDir dir;
    const std::string gapped =
        MakeClip(dir.file("hole.mkv"),
                 "-f lavfi -i \"sine=frequency=440:sample_rate=48000:duration=2,asetpts='PTS+gte(T,1)/TB'\"",
                 "-c:a pcm_s16le");
    for (const char* codec : {"pcm_s16le", "mp2"}) {
        SCOPED_TRACE(codec);
        const std::string out = dir.file(std::string("async0-") + codec + ".mkv");
        TEncoderRun run;
        ASSERT_EQ(run.Encoder->AddTask(gapped, ""), 0) << run.Encoder->LastErrMsg();
        ASSERT_GE(run.Encoder->SetOutput(0, out, std::string("-async 0 -c:a ") + codec), 0)
            << run.Encoder->LastErrMsg();
        ASSERT_TRUE(run.Run(1));
        ASSERT_TRUE(run.End(0).Finished) << run.End(0).ExceptionMsg;
        std::vector<double> times = PacketTimes(out, "a:0");
        ASSERT_GT(times.size(), 10u);
        double largest = 0;
        for (size_t i = 1; i < times.size(); ++i) {
            EXPECT_GT(times[i], times[i - 1]);
            largest = std::max(largest, times[i] - times[i - 1]);
        }
        EXPECT_NEAR(largest, 1.0, 0.05);  // one packet's length plus the hole
        EXPECT_NEAR(times.back(), 2.97, 0.06);
    }
}

}  // namespace
}  // namespace tarnello::test
