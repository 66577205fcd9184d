// Run control of a conversion task (start checks, threads, stop, pause, the
// end notification, interrupt callbacks), joining inputs onto one output,
// and the splitting of filter texts at the engine's own filters.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "TranscodeTestSupport.h"
#include "engine/bindings/AVCodecStubs.h"
#include "engine/bindings/AVUtilStubs.h"
#include "engine/transcode/FFmpegFilters.h"
#include "engine/transcode/FFmpegJoin.h"
#include "support/TestSupport.h"

using namespace tarnello::test;

namespace {

class TranscodeControlTest : public TranscodeTest {};

struct TEnds {
    std::atomic<int> count{0};
    std::atomic<DWORD> thread{0};
    static void OnEnd(void* Data, TObject*)
    {
        auto* self = static_cast<TEnds*>(Data);
        self->thread = GetCurrentThreadId();
        ++self->count;
    }
};

TEST_F(TranscodeControlTest, StartChecksEndTheTaskAtOnce)
{
    struct Case {
        bool input, output;
        std::string message;
    } cases[] = {
        {true, false, "At least one output file must be specified"},
        {false, false, "At least one output file must be specified"},
        {false, true, "At least one input file must be specified"},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        TTaskDriver d;
        TEnds ends;
        d.Task.OnTerminate = TNotifyEvent::Bind(static_cast<void*>(&ends), &TEnds::OnEnd);
        if (c.input)
            ASSERT_EQ(d.AddInput(MediaFixture("h264_aac.mp4")), 0);
        if (c.output)
            ASSERT_EQ(d.SetOutput(dir.file("none.avi"), ""), 0);
        EXPECT_EQ(d.Task.StartConvert(true), nullptr);
        EXPECT_TRUE(d.Task.Terminated());
        EXPECT_FALSE(d.Task.Converting());
        EXPECT_TRUE(d.Task.FatalException());
        EXPECT_EQ(d.Task.FatalMessage(), c.message);
        EXPECT_EQ(ends.count, 1);
        // A terminated task never starts again.
        EXPECT_EQ(d.Task.StartConvert(false), nullptr);
        EXPECT_EQ(ends.count, 1);
        EXPECT_FALSE(FileExists(dir.file("none.avi")));
    }
}

TEST_F(TranscodeControlTest, ThreadedRunAndStop)
{
    TempDir dir;
    struct Case {
        const char* name;
        bool pause, stopBeforeStart;
    } cases[] = {{"plain", false, false}, {"paused", true, false}, {"stopped before start", false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TTaskDriver d;
        TEnds ends;
        d.Task.OnTerminate = TNotifyEvent::Bind(static_cast<void*>(&ends), &TEnds::OnEnd);
        ASSERT_EQ(d.AddInput(MediaFixture("h264_aac.mp4")), 0);
        const std::string out = dir.file(std::string(c.name[0] == 'p' ? "p" : "s") + std::to_string(c.pause) + ".avi");
        ASSERT_EQ(d.SetOutput(out, "-c:v mpeg4 -c:a mp2"), 0);
        TThread* t = d.Task.StartConvert(true);
        ASSERT_NE(t, nullptr);
        EXPECT_TRUE(d.Task.Converting());
        EXPECT_EQ(d.Task.StartConvert(true), nullptr);  // already converting
        if (!c.stopBeforeStart)
            t->Start();
        if (c.pause)
            d.Task.Pause();
        d.Task.Stop(true);
        EXPECT_TRUE(d.Task.Terminated());
        EXPECT_FALSE(d.Task.Converting());
        EXPECT_EQ(ends.count, 1);
        EXPECT_NE(ends.thread.load(), GetCurrentThreadId());
        EXPECT_EQ(d.Task.Thread(), nullptr);
    }
}

TEST_F(TranscodeControlTest, StopTaskOfATaskNeverStarted)
{
    for (bool wait : {true, false}) {
        SCOPED_TRACE(wait);
        TEnds ends;
        {
            TCustomFFmpeg task;
            task.OnTerminate = TNotifyEvent::Bind(static_cast<void*>(&ends), &TEnds::OnEnd);
            task.StopTask(wait);
            if (wait) {
                EXPECT_EQ(ends.count, 1);
                EXPECT_TRUE(task.Terminated());
            }
            task.StopTask(wait);  // ended already, or on its way
        }  // destruction waits for the delivery
        EXPECT_EQ(ends.count, 1);
        EXPECT_NE(ends.thread.load(), GetCurrentThreadId());
    }
}

TEST_F(TranscodeControlTest, InterruptCallbacks)
{
    TLogCapture log;
    TCustomFFmpeg task;
    struct Case {
        int timeout;
        bool stamp;
        int sleepMs;
        int expect;
    } cases[] = {
        {1, false, 5, 0},      // nothing pending
        {0, true, 5, 0},       // no time-out
        {10000, true, 0, 0},   // within the time-out
        {1, true, 20, 1},      // past it
    };
    for (const Case& c : cases) {
        task.ReadTimeout = task.WriteTimeout = c.timeout;
        task.ClearRead();
        task.ClearWrite();
        if (c.stamp) {
            task.StampRead();
            task.StampWrite();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(c.sleepMs));
        EXPECT_EQ(TCustomFFmpeg::ReadInterruptCallback(&task), c.expect) << c.timeout;
        EXPECT_EQ(TCustomFFmpeg::WriteInterruptCallback(&task), c.expect) << c.timeout;
    }
    EXPECT_TRUE(log.Has("connecting/reading timeout"));
    EXPECT_TRUE(log.Has("connecting/writing timeout"));
    // After a stop every blocking call is aborted, time-out or not.
    task.ReadTimeout = 0;
    task.Stop(false);
    EXPECT_EQ(TCustomFFmpeg::ReadInterruptCallback(&task), 1);
    EXPECT_EQ(TCustomFFmpeg::WriteInterruptCallback(&task), 1);
    EXPECT_TRUE(log.Has("reading broken"));
}

TEST_F(TranscodeControlTest, JoinInputs)
{
    const std::string mp4 = MediaFixture("h264_aac.mp4");
    const std::string videoOnly = MediaFixture("video_only.mp4");
    TempDir dir;
    struct Case {
        const char* name;
        std::vector<std::string> inputs;
        const char* options;
        std::vector<int> sources;  // source_index of every output-stream record
    } cases[] = {
        {"three alike", {mp4, mp4, mp4}, "-c:v mpeg4 -c:a mp2", {0, 1, 2, 3, 4, 5}},
        {"one without audio", {mp4, videoOnly, mp4}, "-c:v mpeg4 -c:a mp2", {0, 1, 2, -1, 3, 4}},
        {"maps name their input", {mp4, mp4}, "-map 0:0 -map 0:1 -map 1:1 -c:v mpeg4 -c:a mp2", {0, 1, -1, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TLogCapture log;
        TTaskDriver d;
        int64_t sum = 0;
        for (const std::string& in : c.inputs) {
            ASSERT_GE(d.AddInput(in), 0);
            sum += d.Task.input_files.back().ctx->duration;
        }
        ASSERT_EQ(d.SetOutput(dir.file("joined.mkv"), c.options, true), 0) << d.Task.LastErrMsg() << d.Error;
        EXPECT_TRUE(d.Task.JoinMode());
        ASSERT_EQ(d.Task.nb_output_files(), int(c.inputs.size()));
        for (const TOutputFile& of : d.Task.output_files)
            EXPECT_EQ(of.ctx, d.Task.output_files[0].ctx);
        std::vector<int> sources;
        for (const TOutputStream& o : d.Task.output_streams)
            sources.push_back(o.source_index);
        EXPECT_EQ(sources, c.sources);
        EXPECT_EQ(d.Task.OutputDuration(), sum);
        EXPECT_EQ(JoinStreamsPerPart(d.Task), 2);
        ASSERT_EQ(d.Run(), "");
        for (const std::string& l : log.MappingLines())
            EXPECT_NE(l.find("-> #0:"), std::string::npos) << l;
        int opened = 0;
        for (TCodecListNode* n = d.Task.FEncoderList; n; n = n->Next)
            ++opened;
        EXPECT_EQ(opened, 2);  // only the first group's encoders
        // A joined task takes no second output.
        EXPECT_EQ(d.SetOutput(dir.file("second.mkv"), "", false), -1);
        EXPECT_EQ(d.Task.LastErrMsg(), "Cannot join more than one output file.");
    }
}

TEST_F(TranscodeControlTest, SplitFilterTexts)
{
    struct Case {
        const char* text;
        std::vector<std::string> parts;  // graph|stage|args
        const char* error;
    } cases[] = {
        {"scale=320:240", {"scale=320:240||"}, nullptr},
        {"", {"||"}, nullptr},
        {"nativeeq=1:2:3:4, nativehue=5:6:7:8, yadif, crop=10:10:0:0",
         {"|nativeeq|1:2:3:4", "|nativehue|5:6:7:8", "yadif, crop=10:10:0:0||"}, nullptr},
        {"movie=w.png [watermark]; [in] [watermark] overlay=10:10, nativeeq=1:2:3:4, nativehue=5:6:7:8, yadif, "
         "crop=1:2:3:4, pad=5:6:7:8, vflip, scale=320:240 [out]",
         {"movie=w.png [watermark]; [in] [watermark] overlay=10:10|nativeeq|1:2:3:4", "|nativehue|5:6:7:8",
          "yadif, crop=1:2:3:4, pad=5:6:7:8, vflip, scale=320:240 [out]||"},
         nullptr},
        {"vflip, rotate=30", {"vflip|rotate|30", "||"}, nullptr},
        {"drawtext=text='a,b', vflip", {"drawtext=text='a,b', vflip||"}, nullptr},
        {"nativeeq=1; [in] vflip [out]", {}, "Filter \"nativeeq\" can only be used in the chain that ends the graph"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::vector<TFilterTextPart> parts;
        std::string error;
        const bool ok = SplitVideoFilterText(c.text, parts, error);
        EXPECT_EQ(ok, c.error == nullptr);
        if (!ok) {
            EXPECT_EQ(error, c.error);
            continue;
        }
        std::vector<std::string> texts;
        for (const TFilterTextPart& p : parts)
            texts.push_back(p.Graph + "|" + p.StageName + "|" + p.StageArgs);
        EXPECT_EQ(texts, c.parts);
    }
}

// The watermark graph the application writes, with libavfilter's filters
// only, sizes the encoder from its last filter.
TEST_F(TranscodeControlTest, WatermarkGraph)
{
    const std::string png = MediaFixture("still.png");
    TempDir dir;
    TTaskDriver d;
    ASSERT_EQ(d.AddInput(MediaFixture("h264_aac.mp4")), 0);
    const std::string vf = "\"movie=" + png +
                           " [watermark]; [in] [watermark] overlay=10:10, yadif, crop=300:200:0:0, "
                           "pad=320:240:10:20, vflip, scale=160:120 [out]\"";
    ASSERT_EQ(d.SetOutput(dir.file("wm.avi"), "-c:v mpeg4 -an -vf " + vf), 0) << d.Error;
    ASSERT_EQ(d.Task.transcode_init(), 0) << d.Task.LastErrMsg();
    const TOutputStream& o = d.Task.output_streams[0];
    EXPECT_EQ(o.enc_ctx->width, 160);
    EXPECT_EQ(o.enc_ctx->height, 120);
    ASSERT_NE(o.filters, nullptr);
    EXPECT_EQ(o.filters->Segments.size(), 1u);
    EXPECT_EQ(o.avfilter, nullptr);
}

}  // namespace
