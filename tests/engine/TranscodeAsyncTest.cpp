// -async through the encoder component: audio that starts late and has a gap
// in its time stamps is filled with silence so that it lasts as long as the
// video; without -async the samples are only counted.
#include <gtest/gtest.h>

#include <string>

#include "EncoderRunSupport.h"
#include "support/TestSupport.h"

namespace tarnello::test {
namespace {

class TranscodeAsyncTest : public TranscodeTest {};

TEST_F(TranscodeAsyncTest, LateAndGappedAudioIsFilledToTheVideosLength)
{
    TempDir dir;
    // 3 s of video; 2 s of tone that starts at 0.5 s and jumps 0.5 s ahead
    // after its first second (-copyts keeps the late start).
    const std::string input =
        MakeClip(dir.file("gapped.mkv"),
                 "-copyts -f lavfi -i testsrc=size=160x120:rate=25:duration=3 -f lavfi -i "
                 "\"sine=frequency=440:sample_rate=48000:duration=2,asetpts='PTS+(0.5+0.5*gte(T,1))/TB'\"",
                 "-c:v mpeg4 -c:a pcm_s16le");
    struct Case {
        const char* options;
        double audio;  // seconds of samples written
    } cases[] = {
        {"", 2.0},
        {"-async 1", 3.0},
        {"-async 1000 -ar 44100", 3.0},
    };
    TEncoderRun run;
    int n = 0;
    for (const Case& c : cases) {
        ASSERT_EQ(run.Encoder->AddTask(input, ""), n) << run.Encoder->LastErrMsg();
        ASSERT_GE(run.Encoder->SetOutput(n, dir.file("out" + std::to_string(n) + ".mkv"),
                                         std::string("-c:v mpeg4 -c:a pcm_s16le ") + c.options),
                  0)
            << run.Encoder->LastErrMsg();
        ++n;
    }
    ASSERT_TRUE(run.Run(3));
    for (int t = 0; t < n; ++t) {
        SCOPED_TRACE(cases[t].options);
        EXPECT_TRUE(run.End(t).Finished) << run.End(t).ExceptionMsg;
        const std::string out = dir.file("out" + std::to_string(t) + ".mkv");
        const std::string wav = dir.file("audio" + std::to_string(t) + ".wav");
        // The samples as written, without the time stamps.
        ASSERT_EQ(RunCommand("ffmpeg -v error -nostdin -y -i '" + out + "' -map 0:a -c copy '" + wav + "'"), 0);
        EXPECT_NEAR(ProbeNumber(wav, "-show_entries format=duration"), cases[t].audio, 0.05);
        EXPECT_NEAR(ProbeNumber(out, "-show_entries format=duration"), 3.0, 0.1);
    }
}

}  // namespace
}  // namespace tarnello::test
