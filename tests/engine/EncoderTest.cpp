// The encoder component: task lists, the working guard, the run's event
// order in both modes, stopping, pausing, and the hook bridges.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <thread>
#include <vector>

#include "TranscodeTestSupport.h"
#include "engine/FFEncode.h"
#include "platform/gui/Graphics.h"
#include "platform/rtl/Threads.h"
#include "support/TestSupport.h"

namespace tarnello::test {
namespace {

struct TEnded {
    std::vector<TTerminateInfo> Ends;
    std::vector<bool> InMainThread;
    int MaxRunning = 0;
    TVAVorarez* Encoder = nullptr;
    void OnTerminate(TObject*, const TTerminateInfo& AInfo)
    {
        Ends.push_back(AInfo);
        InMainThread.push_back(IsMainThread());
        MaxRunning = std::max(MaxRunning, Encoder->RunningCount());
    }
    bool FinalSeen() const
    {
        for (const TTerminateInfo& i : Ends)
            if (i.TaskIndex == -1)
                return true;
        return false;
    }
};

class EncoderTest : public TranscodeTest {
protected:
    void SetUp() override
    {
        TranscodeTest::SetUp();
        Source = MediaFixture("tone.wav");
        Encoder.OnTerminate = TTerminateEvent::Bind(&Ended, &TEnded::OnTerminate);
        Ended.Encoder = &Encoder;
    }
    // The encoder goes before the libraries it frees with.
    void TearDown() override
    {
        EncoderObject.reset();
        TranscodeTest::TearDown();
    }
    // A task converting the fixture to WAV; its index.
    int AddWavTask(int AN)
    {
        int t = Encoder.AddTask(Source, "");
        EXPECT_GE(t, 0) << Encoder.LastErrMsg();
        EXPECT_GE(Encoder.SetOutput(t, Dir.file("out" + std::to_string(AN) + ".wav"), "-c:a pcm_s16le"), 0)
            << Encoder.LastErrMsg();
        return t;
    }
    // Serves the main thread until the final end came (or 20 s passed).
    void WaitForFinal()
    {
        for (int i = 0; i < 2000 && !Ended.FinalSeen(); ++i) {
            CheckSynchronize(10);
            Ended.MaxRunning = std::max(Ended.MaxRunning, Encoder.RunningCount());
        }
        ASSERT_TRUE(Ended.FinalSeen());
        // Nothing more may follow the final end.
        for (int i = 0; i < 5; ++i)
            CheckSynchronize(10);
    }
    std::string Source;
    TempDir Dir;
    std::unique_ptr<TVAVorarez> EncoderObject = std::make_unique<TVAVorarez>(nullptr);
    TVAVorarez& Encoder = *EncoderObject;
    TEnded Ended;
};

TEST_F(EncoderTest, ProgressIntervalHasAMinimum)
{
    EXPECT_EQ(Encoder.ProgressInterval(), 500);
    const struct {
        int Set, Read;
    } cases[] = {{50, 100}, {100, 100}, {101, 101}, {-5, 100}, {2000, 2000}};
    for (const auto& c : cases) {
        Encoder.SetProgressInterval(c.Set);
        EXPECT_EQ(Encoder.ProgressInterval(), c.Read) << c.Set;
    }
}

TEST_F(EncoderTest, AddTaskFailuresLeaveTheListUnchanged)
{
    TInputOptions in;
    InitInputOptions(in);
    ASSERT_EQ(Encoder.AddTask(Source, &in), 0) << Encoder.LastErrMsg();
    EXPECT_EQ(in.FileName, Source);  // an empty name is filled in
    EXPECT_EQ(Encoder.Task(0)->InputRecord(0)->FileName, Source);

    const struct {
        const char* Name;
        std::string File, Options;
    } cases[] = {
        {"missing file", Dir.file("nothere.wav"), ""},
        {"bad option", Source, "-nosuchoption 1"},
        {"unknown format", Source, "-f nosuchformat"},
    };
    for (const auto& c : cases) {
        EXPECT_LT(Encoder.AddTask(c.File, c.Options), 0) << c.Name;
        EXPECT_FALSE(Encoder.LastErrMsg().empty()) << c.Name;
        EXPECT_EQ(Encoder.TasksCount(), 1) << c.Name;
    }
    EXPECT_LT(Encoder.AddInput(0, Dir.file("nothere.wav"), ""), 0);
    EXPECT_THROW(Encoder.AddInput(5, Source, ""), EListError);
    EXPECT_THROW(Encoder.SetOutput(-1, Dir.file("x.wav"), ""), EListError);
    // The task's decoder describes its opened input.
    EXPECT_EQ(Encoder.GetTaskDecoder(0, 0)->AudioStreamCount(), 1);
    EXPECT_THROW(Encoder.GetTaskDecoder(0, 1), EListError);
}

TEST_F(EncoderTest, SetOutputTextDetectsSwitchesAsWholeWords)
{
    const struct {
        std::string Options;
        bool Join, AudioHook, VideoInputHook;
    } cases[] = {
        {"-c:a pcm_s16le -Join", true, false, false},
        {"-Join -c:a pcm_s16le", true, false, false},
        {"-c:a pcm_s16le -AudioHook -VideoInputHook", false, true, true},
        {"-c:a pcm_s16le", false, false, false},
    };
    int n = 0;
    for (const auto& c : cases) {
        int t = Encoder.AddTask(Source, "");
        ASSERT_GE(t, 0) << Encoder.LastErrMsg();
        EXPECT_GE(Encoder.SetOutput(t, Dir.file("j" + std::to_string(n++) + ".wav"), c.Options), 0)
            << c.Options << ": " << Encoder.LastErrMsg();
        const TOutputOptions* o = Encoder.Task(t)->OutputRecord(0);
        ASSERT_NE(o, nullptr);
        EXPECT_EQ(o->Join, c.Join) << c.Options;
        EXPECT_EQ(o->AudioHook, c.AudioHook) << c.Options;
        EXPECT_EQ(o->VideoInputHook, c.VideoInputHook) << c.Options;
        EXPECT_EQ(o->VideoHookBitsPixel, 24);
    }
    // A longer word is not the switch (and is refused as an option).
    int t = Encoder.AddTask(Source, "");
    EXPECT_LT(Encoder.SetOutput(t, Dir.file("joined.wav"), "-c:a pcm_s16le -Joined"), 0);
    EXPECT_FALSE(Encoder.Task(t)->OutputRecord(0) && Encoder.Task(t)->OutputRecord(0)->Join);
}

// Every run delivers each task's end once and then exactly one final end,
// in both modes; a task without output ends with its error.
TEST_F(EncoderTest, RunDeliversEveryEndThenOneFinalEnd)
{
    const struct {
        int Threads;
        int Tasks;
        bool MainThread;
    } cases[] = {{2, 5, true}, {0, 2, true}, {3, 2, false}, {1, 3, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE("threads " + std::to_string(c.Threads) + " tasks " + std::to_string(c.Tasks));
        Encoder.ClearTasks();
        Ended.Ends.clear();
        Ended.InMainThread.clear();
        Ended.MaxRunning = 0;
        Encoder.SetTriggerEventInMainThread(c.MainThread);
        for (int i = 0; i < c.Tasks - 1; ++i)
            AddWavTask(i);
        ASSERT_GE(Encoder.AddTask(Source, ""), 0);  // no output: fails at its start
        Encoder.Start(c.Threads);
        if (c.Threads <= 0) {
            EXPECT_TRUE(Ended.FinalSeen());  // all of it happened inside Start
        }
        WaitForFinal();
        ASSERT_EQ(int(Ended.Ends.size()), c.Tasks + 1);
        EXPECT_EQ(Ended.Ends.back().TaskIndex, -1);
        EXPECT_TRUE(Ended.Ends.back().Finished);
        EXPECT_FALSE(Ended.Ends.back().Exception);
        EXPECT_TRUE(Ended.Ends.back().OutputFileNames.empty());
        std::set<int> seen;
        for (size_t i = 0; i + 1 < Ended.Ends.size(); ++i) {
            const TTerminateInfo& e = Ended.Ends[i];
            seen.insert(e.TaskIndex);
            if (e.TaskIndex == c.Tasks - 1) {
                EXPECT_TRUE(e.Exception);
                EXPECT_EQ(e.ExceptionMsg, "At least one output file must be specified");
                EXPECT_TRUE(e.OutputFileNames.empty());
            } else {
                EXPECT_FALSE(e.Exception) << e.ExceptionMsg;
                EXPECT_TRUE(e.Finished);
                // Each end names its task's output.
                EXPECT_EQ(e.OutputFileNames,
                          std::vector<TPathFileName>{Dir.file("out" + std::to_string(e.TaskIndex) + ".wav")});
            }
        }
        EXPECT_EQ(int(seen.size()), c.Tasks);
        for (size_t i = 0; i < Ended.InMainThread.size(); ++i)
            EXPECT_EQ(bool(Ended.InMainThread[i]), c.MainThread || c.Threads <= 0) << i;
        if (c.Threads > 0) {
            EXPECT_LE(Ended.MaxRunning, c.Threads);
        }
        EXPECT_TRUE(Encoder.Terminated());
        EXPECT_TRUE(Encoder.Working());
    }
}

TEST_F(EncoderTest, WorkingRefusesChangesUntilTheRunIsCleared)
{
    AddWavTask(0);
    AddWavTask(1);
    std::vector<std::string> insideRun;
    struct THandler {
        TVAVorarez* E;
        std::vector<std::string>* Msgs;
        void OnTerminate(TObject*, const TTerminateInfo& AInfo)
        {
            if (AInfo.TaskIndex != 0)
                return;
            for (auto op : {+[](TVAVorarez* e) { e->ClearTasks(); }, +[](TVAVorarez* e) { e->AddTask("x", ""); }}) {
                try {
                    op(E);
                    Msgs->push_back("no error");
                } catch (const Exception& ex) {
                    Msgs->push_back(ex.Message());
                }
            }
        }
    } handler{&Encoder, &insideRun};
    Encoder.OnTerminate = TTerminateEvent::Bind(&handler, &THandler::OnTerminate);
    Encoder.Start(0);
    EXPECT_EQ(insideRun,
              (std::vector<std::string>{"Cannot ClearTasks while working.", "Cannot AddTask while working."}));

    const struct {
        const char* Expected;
        std::function<void()> Op;
    } cases[] = {
        {"Cannot StartTask while working.", [&] { Encoder.Start(1); }},
        {"Cannot AddTask while working.", [&] { Encoder.AddTask(Source, ""); }},
        {"Cannot AddInput while working.", [&] { Encoder.AddInput(0, Source, ""); }},
        {"Cannot SetOutput while working.", [&] { Encoder.SetOutput(0, Dir.file("y.wav"), ""); }},
        {"Cannot RemoveTask while working.", [&] { Encoder.RemoveTask(0); }},
        {"Cannot Exchange while working.", [&] { Encoder.Exchange(0, 1); }},
    };
    for (const auto& c : cases) {
        try {
            c.Op();
            ADD_FAILURE() << "no error for " << c.Expected;
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), c.Expected);
        }
    }
    Encoder.ClearTasks();  // after the final end
    EXPECT_FALSE(Encoder.Working());
    EXPECT_EQ(Encoder.TasksCount(), 0);
}

// Each component is one user of the libraries, however often it loads
// them, and its user goes with it.
TEST_F(EncoderTest, LoadAVLibHoldsOneUserPerComponent)
{
    const int before = FFLoader().UserCount(avCodec);
    {
        TVAVorarez encoder(nullptr);
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE(encoder.LoadAVLib("")) << encoder.LastErrMsg();
        EXPECT_EQ(FFLoader().UserCount(avCodec), before + 1);
        encoder.UnloadAVLib();
        EXPECT_EQ(FFLoader().UserCount(avCodec), before);
        encoder.UnloadAVLib();  // nothing more to release
        EXPECT_EQ(FFLoader().UserCount(avCodec), before);
        ASSERT_TRUE(encoder.LoadAVLib(""));
    }
    EXPECT_EQ(FFLoader().UserCount(avCodec), before);
}

TEST_F(EncoderTest, StartWithoutTasksEndsAtOnce)
{
    for (int threads : {0, 2}) {
        Encoder.ClearTasks();
        Ended.Ends.clear();
        Encoder.Start(threads);
        WaitForFinal();
        ASSERT_EQ(Ended.Ends.size(), 1u);
        EXPECT_EQ(Ended.Ends[0].TaskIndex, -1);
        EXPECT_TRUE(Encoder.Terminated());
    }
}

TEST_F(EncoderTest, StopEndsEveryTaskAndStillDeliversTheFinalEnd)
{
    for (int i = 0; i < 4; ++i)
        AddWavTask(i);
    Encoder.Start(1);
    Encoder.Pause();
    EXPECT_TRUE(Encoder.Paused());
    Encoder.Resume();
    EXPECT_FALSE(Encoder.Paused());
    Encoder.Pause();
    Encoder.Stop(true);  // a paused run is released
    EXPECT_FALSE(Encoder.Paused());
    WaitForFinal();
    ASSERT_EQ(Ended.Ends.size(), 5u);
    EXPECT_EQ(Ended.Ends.back().TaskIndex, -1);
    int notFinished = 0;
    for (size_t i = 0; i + 1 < Ended.Ends.size(); ++i)
        notFinished += Ended.Ends[i].Finished ? 0 : 1;
    EXPECT_GE(notFinished, 1);  // the tasks that never started
    Encoder.ClearTasks();
}

TEST_F(EncoderTest, StopBeforeStartChangesNothing)
{
    AddWavTask(0);
    Encoder.Stop(true);
    EXPECT_FALSE(Encoder.Working());
    EXPECT_TRUE(Ended.Ends.empty());
    Encoder.Start(1);
    WaitForFinal();
    EXPECT_EQ(Ended.Ends.size(), 2u);
}

// The hook bridges run in the thread that calls them, one family at a time,
// with the frame bitmap's canvas locked, and hand the flags back.
TEST_F(EncoderTest, HooksRunInTheConversionThreadWithTheCanvasLocked)
{
    AddWavTask(0);
    TOutputOptions out;
    InitOutputOptions(out);
    out.Options = "-c:a pcm_s16le";
    out.VideoInputHook = out.VideoOutputHook = out.FrameInputHook = out.AudioHook = true;
    int t = Encoder.AddTask(Source, "");
    ASSERT_EQ(Encoder.SetOutput(t, Dir.file("hooks.wav"), &out), 0) << Encoder.LastErrMsg();

    struct TSeen {
        std::vector<std::string> Calls;
        std::thread::id Thread;
        void Video(TObject*, PHookInfo AInfo)
        {
            Calls.push_back("video " + std::to_string(AInfo->TaskIndex) + " " + std::to_string(AInfo->FrameNumber) +
                            (AInfo->Bitmap->Canvas()->LockCount() > 0 ? " locked" : " unlocked") +
                            (std::this_thread::get_id() == Thread ? " here" : " elsewhere"));
            AInfo->Update = false;
            AInfo->StopHook = true;
        }
        void Frame(TObject*, PFrameHookInfo AInfo)
        {
            Calls.push_back("frame " + std::to_string(AInfo->TaskIndex) + " " + std::to_string(AInfo->Width));
        }
        void Audio(TObject*, int ATask, const int64_t, uint8_t*, int ASize, int, int, int)
        {
            Calls.push_back("audio " + std::to_string(ATask) + " " + std::to_string(ASize));
        }
    } seen;
    Encoder.OnVideoInputHook = TEncoderVideoHookEvent::Bind(&seen, &TSeen::Video);
    Encoder.OnVideoOutputHook = TEncoderVideoHookEvent::Bind(&seen, &TSeen::Video);
    Encoder.OnFrameInputHook = TEncoderFrameHookEvent::Bind(&seen, &TSeen::Frame);
    Encoder.OnAudioHook = TEncoderAudioHookEvent::Bind(&seen, &TSeen::Audio);

    TFFmpeg* task = Encoder.Task(t);
    ASSERT_TRUE(task->OnInputVideoHook && task->OnOutputVideoHook && task->OnInputFrameHook && task->OnAudioHook);
    EXPECT_FALSE(task->OnOutputFrameHook);  // not asked for
    EXPECT_FALSE(Encoder.Task(0)->OnInputVideoHook);
    TBitmap bmp;
    bmp.SetSize(8, 4);
    bool update = true, stop = false;
    std::thread worker([&] {
        seen.Thread = std::this_thread::get_id();
        task->OnInputVideoHook(task, &bmp, 7, 0, update, stop);
        TAVPicture pic;
        task->OnInputFrameHook(task, &pic, 0, 8, 320, 240, 0);
        uint8_t samples[16] = {};
        task->OnAudioHook(task, 0, samples, 16, 44100, 2, 1);
    });
    worker.join();
    EXPECT_EQ(seen.Calls, (std::vector<std::string>{"video 1 7 locked here", "frame 1 320", "audio 1 16"}));
    EXPECT_FALSE(update);
    EXPECT_TRUE(stop);
    EXPECT_EQ(bmp.Canvas()->LockCount(), 0);
}

}  // namespace
}  // namespace tarnello::test
