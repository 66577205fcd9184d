// Per-stream option lookup: the last matching entry wins, the caller's
// default stays without a match, a malformed selector is fatal.
#include <gtest/gtest.h>

#include <memory>

#include "OptionsTestSupport.h"
#include "engine/common/FFTexts.h"
#include "engine/common/StreamSelectors.h"
#include "engine/transcode/FFmpegStreamOptions.h"

using namespace tarnello::test;

namespace {

class StreamOptionTest : public LibrariesTest {
protected:
    void SetUp() override
    {
        LibrariesTest::SetUp();
        task = std::make_unique<TTestTask>();
        const AVMediaType V = AVMEDIA_TYPE_VIDEO, A = AVMEDIA_TYPE_AUDIO;
        task->AddInput({{V}, {A, 2}, {V}, {A, 6}});
    }
    void TearDown() override
    {
        task.reset();
        LibrariesTest::TearDown();
    }
    AVFormatContext* S() { return task->Inputs[0]; }
    AVStream* St(int i) { return S()->streams[i]; }
    std::unique_ptr<TTestTask> task;
};

TEST_F(StreamOptionTest, LastMatchingEntryWins)
{
    struct Case {
        const char* text;
        std::vector<std::string> perStream;  // the value each of the four streams gets
    } cases[] = {
        {"-q:v 3 -q:v:0 5", {"5", "dflt", "3", "dflt"}},
        {"-q:v:0 5 -q:v 3", {"3", "dflt", "3", "dflt"}},
        {"-q 2 -q:1 4", {"2", "4", "2", "2"}},
        {"-q:p:5 9", {"dflt", "dflt", "dflt", "dflt"}},
        {"", {"dflt", "dflt", "dflt", "dflt"}},
    };
    for (const Case& c : cases) {
        task->ResetOptionsContext(task->optctx, false);
        ASSERT_EQ(task->Parse(c.text), "") << c.text;
        for (int i = 0; i < 4; ++i) {
            double q = -1;
            MATCH_PER_STREAM_OPT(*task, task->optctx, qscale, S(), St(i), q);
            EXPECT_EQ(q < 0 ? std::string("dflt") : std::to_string(int(q)), c.perStream[size_t(i)])
                << c.text << " stream " << i;
        }
    }
}

TEST_F(StreamOptionTest, EveryValueWidth)
{
    ASSERT_EQ(task->Parse("-c copy -c:a mp2 -ac:a:1 1 -frames:v 100 -rmvol 1.5 -itsscale:1 2"), "");
    const char* codec = "none";
    MATCH_PER_STREAM_OPT(*task, task->optctx, codec_names, S(), St(0), codec);
    EXPECT_STREQ(codec, "copy");
    MATCH_PER_STREAM_OPT(*task, task->optctx, codec_names, S(), St(3), codec);
    EXPECT_STREQ(codec, "mp2");

    int32_t channels = 0;
    MATCH_PER_STREAM_OPT(*task, task->optctx, audio_channels, S(), St(1), channels);
    EXPECT_EQ(channels, 0);
    MATCH_PER_STREAM_OPT(*task, task->optctx, audio_channels, S(), St(3), channels);
    EXPECT_EQ(channels, 1);

    int64_t frames = -1;
    MATCH_PER_STREAM_OPT(*task, task->optctx, max_frames, S(), St(2), frames);
    EXPECT_EQ(frames, 100);
    float vol = 1;
    MATCH_PER_STREAM_OPT(*task, task->optctx, rematrix_volume, S(), St(1), vol);
    EXPECT_FLOAT_EQ(vol, 1.5f);
    double scale = 1.0;
    MATCH_PER_STREAM_OPT(*task, task->optctx, ts_scale, S(), St(0), scale);
    EXPECT_DOUBLE_EQ(scale, 1.0);
    MATCH_PER_STREAM_OPT(*task, task->optctx, ts_scale, S(), St(1), scale);
    EXPECT_DOUBLE_EQ(scale, 2.0);
}

TEST_F(StreamOptionTest, MalformedSelectorIsFatal)
{
    ASSERT_EQ(task->Parse("-c copy -c:x mp2"), "");
    const char* codec = nullptr;
    try {
        MATCH_PER_STREAM_OPT(*task, task->optctx, codec_names, S(), St(0), codec);
        ADD_FAILURE();
    } catch (const FFmpegException& e) {
        EXPECT_EQ(e.Message(), ErrorCodeText("check_stream_selector", AVERROR(EINVAL)));
        EXPECT_EQ(task->LastErrMsg(), e.Message());
    }
}

}  // namespace
