// Hooks of whole conversions through the encoder component: the -vhook
// libraries, the picture and bitmap hooks before and after filtering, the
// audio hook on packed and planar samples, and the hook errors; and the
// deinterlacer and the per-frame video statistics file.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "HookTestSupport.h"
#include "TranscodeTestSupport.h"
#include "engine/encoder/FFEncode.h"
#include "platform/gui/Graphics.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Threads.h"
#include "support/TestSupport.h"

extern "C" {
#include <libavutil/samplefmt.h>
}

namespace tarnello::test {
namespace {

struct THookLog {
    std::vector<int> InputFrames, OutputFrames, InputVideo, OutputVideo;
    std::vector<int> InputTasks;
    bool OnMain = false;
    int StopAt = 0;   // the input bitmap hook asks to stop at this frame
    int RaiseAt = 0;  // and raises at this one
    bool Paint = true;

    void InputVideoHook(TObject*, PHookInfo I)
    {
        InputVideo.push_back(I->FrameNumber);
        InputTasks.push_back(I->TaskIndex);
        OnMain |= IsMainThread();
        if (I->FrameNumber == RaiseAt)
            throw Exception("boom");
        if (Paint) {
            TCanvas* c = I->Bitmap->Canvas();
            c->Brush()->SetStyle(bsSolid);
            c->Brush()->SetColor(clWhite);
            c->FillRect(TRect(0, 0, I->Bitmap->Width(), I->Bitmap->Height()));
        }
        if (StopAt && I->FrameNumber >= StopAt)
            I->StopHook = true;
    }
    void OutputVideoHook(TObject*, PHookInfo I)
    {
        OutputVideo.push_back(I->FrameNumber);
        OnMain |= IsMainThread();
        I->Update = false;  // looked at, not changed
    }
    void InputFrameHook(TObject*, PFrameHookInfo I)
    {
        InputFrames.push_back(I->FrameNumber);
        OnMain |= IsMainThread();
    }
    // Darkens the top half of the luma plane of the picture to encode.
    void OutputFrameHook(TObject*, PFrameHookInfo I)
    {
        OutputFrames.push_back(I->FrameNumber);
        OnMain |= IsMainThread();
        for (int y = 0; y < I->Height / 2; ++y)
            std::memset(I->Picture->data[0] + y * I->Picture->linesize[0], 16, size_t(I->Width));
    }
};

struct TAudioSeen {
    int Calls = 0;
    int Channels = 0;
    int Format = -1;
    double LeftPeak = 0, RightPeak = 0;
    void Hook(TObject*, int, const int64_t, uint8_t* ASample, int ASize, int, int AChannels, int AFormat)
    {
        ++Calls;
        Channels = AChannels;
        Format = AFormat;
        auto peak = [&](auto* s) {
            const int n = ASize / int(sizeof *s) / AChannels;
            for (int i = 0; i < n; ++i) {
                LeftPeak = std::max(LeftPeak, std::fabs(double(s[i * AChannels])));
                RightPeak = std::max(RightPeak, std::fabs(double(s[i * AChannels + 1])));
            }
        };
        if (AFormat == AV_SAMPLE_FMT_S16)
            peak(reinterpret_cast<int16_t*>(ASample));
        else if (AFormat == AV_SAMPLE_FMT_FLT)
            peak(reinterpret_cast<float*>(ASample));
        std::memset(ASample, 0, size_t(ASize));  // silence on every channel
    }
};

class TranscodeHookTest : public TranscodeTest {
protected:
    void SetUp() override
    {
        TranscodeTest::SetUp();
        Encoder->OnTerminate = TTerminateEvent::Bind(this, &TranscodeHookTest::Ended);
        HookLogFile = Dir.file("hook.log");
        setenv("TESTHOOK_LOG", HookLogFile.c_str(), 1);
    }
    void TearDown() override
    {
        Encoder.reset();
        unsetenv("TESTHOOK_LOG");
        TranscodeTest::TearDown();
    }
    void Ended(TObject*, const TTerminateInfo& AInfo) { Ends.push_back(AInfo); }
    // Runs every task on conversion threads until the final end.
    void Run()
    {
        Encoder->Start(2);
        for (int i = 0; i < 6000 && (Ends.empty() || Ends.back().TaskIndex != -1); ++i)
            CheckSynchronize(10);
        ASSERT_FALSE(Ends.empty());
        ASSERT_EQ(Ends.back().TaskIndex, -1);
    }
    const TTerminateInfo* EndOf(int ATask)
    {
        for (const TTerminateInfo& e : Ends)
            if (e.TaskIndex == ATask)
                return &e;
        return nullptr;
    }
    // Ten frames of 64x48 at 10 per second.
    std::string Clip()
    {
        std::string name = Dir.file("clip.mkv");
        if (!FileExists(name))
            EXPECT_EQ(RunCommand("ffmpeg -v error -y -f lavfi -i testsrc=size=64x48:rate=10:duration=1 "
                                 "-c:v mpeg4 -q:v 2 '" + name + "'"),
                      0);
        return name;
    }
    static std::vector<int> Numbers(int AFirst, int ALast)
    {
        std::vector<int> r;
        for (int i = AFirst; i <= ALast; ++i)
            r.push_back(i);
        return r;
    }
    TempDir Dir;
    std::string HookLogFile;
    std::unique_ptr<TVAVorarez> Encoder = std::make_unique<TVAVorarez>(nullptr);
    std::vector<TTerminateInfo> Ends;
};

TEST_F(TranscodeHookTest, HookLibraryChangesEveryPictureAndIsReleased)
{
    // The library also runs when the application hooks the bitmaps too.
    THookLog hooks;
    hooks.Paint = false;
    Encoder->OnVideoInputHook = TEncoderVideoHookEvent::Bind(&hooks, &THookLog::InputVideoHook);
    const char* extras[] = {"", " -VideoInputHook"};
    for (int t = 0; t < 2; ++t) {
        ASSERT_EQ(Encoder->AddTask(Clip(), ""), t) << Encoder->LastErrMsg();
        ASSERT_GE(Encoder->SetOutput(t, Dir.file("fill" + std::to_string(t) + ".mkv"),
                                     "-vhook \"" + HookPath("full") + " fill 200\" -c:v ffv1 -pix_fmt yuv420p" +
                                         extras[t]),
                  0)
            << Encoder->LastErrMsg();
    }
    Run();
    for (int t = 0; t < 2; ++t) {
        ASSERT_TRUE(EndOf(t) && EndOf(t)->Finished) << (EndOf(t) ? EndOf(t)->ExceptionMsg : "");
        for (int frame : {0, 9}) {
            std::vector<uint8_t> luma =
                DecodedLuma(Dir.file("fill" + std::to_string(t) + ".mkv"), frame, 64, 48, Dir.file("luma.yuv"));
            ASSERT_EQ(luma.size(), 64u * 48u) << frame;
            for (uint8_t v : luma)
                ASSERT_EQ(v, 200) << t << " " << frame;
        }
    }
    EXPECT_EQ(hooks.InputVideo, Numbers(1, 10));
    const std::string log = ReadTextFile(HookLogFile);
    EXPECT_EQ(log.find("configured\nconfigured\n"), 0u);
    size_t processed = 0, released = 0;
    for (size_t p = log.find("processed"); p != std::string::npos; p = log.find("processed", p + 1))
        ++processed;
    for (size_t p = log.find("released"); p != std::string::npos; p = log.find("released", p + 1))
        ++released;
    EXPECT_EQ(processed, 20u);
    EXPECT_EQ(released, 2u);
    EXPECT_EQ(log.substr(log.size() - 9), "released\n");
}

TEST_F(TranscodeHookTest, HookLibraryErrorsRefuseTheOutputAndOtherTasksGoOn)
{
    const struct {
        std::string Hook, Reason;
    } cases[] = {
        {"/nonexistent/hook.so", "/nonexistent/hook.so"},
        {HookPath("process_only") + " 5", "Failed to find Configure entrypoint in "},
        {HookPath("full") + " refuse", "Failed to Configure "},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(Encoder->AddTask(Clip(), ""), 0) << Encoder->LastErrMsg();
        EXPECT_LT(Encoder->SetOutput(0, Dir.file("bad.mkv"), "-vhook \"" + c.Hook + "\" -c:v ffv1"), 0) << c.Hook;
        EXPECT_NE(Encoder->LastErrMsg().find("Failed to add video hook function: " + c.Hook), std::string::npos)
            << Encoder->LastErrMsg();
        EXPECT_NE(Encoder->LastErrMsg().find(c.Reason), std::string::npos) << Encoder->LastErrMsg();
        Encoder->RemoveTask(0);
    }
    EXPECT_FALSE(FileExists(Dir.file("bad.mkv")));
    // A task with a good hook next to one whose hook was refused.
    ASSERT_EQ(Encoder->AddTask(Clip(), ""), 0);
    ASSERT_LT(Encoder->SetOutput(0, Dir.file("bad.mkv"), "-vhook \"" + HookPath("full") + " refuse\""), 0);
    ASSERT_EQ(Encoder->AddTask(Clip(), ""), 1);
    ASSERT_GE(Encoder->SetOutput(1, Dir.file("good.mkv"), "-vhook \"" + HookPath("full") + " 1\" -c:v ffv1"), 0)
        << Encoder->LastErrMsg();
    Run();
    ASSERT_TRUE(EndOf(0) && EndOf(1));
    EXPECT_TRUE(EndOf(0)->Exception);
    EXPECT_TRUE(EndOf(1)->Finished) << EndOf(1)->ExceptionMsg;
    EXPECT_FALSE(EndOf(1)->Exception) << EndOf(1)->ExceptionMsg;
    EXPECT_FALSE(FileExists(Dir.file("bad.mkv")));
    EXPECT_EQ(Probe(Dir.file("good.mkv"), "-count_frames -show_entries stream=nb_read_frames"),
              "nb_read_frames=10\n");
}

TEST_F(TranscodeHookTest, InputAndOutputHooksSeeEveryFrameInOrderAndChangeIt)
{
    THookLog log;
    Encoder->OnVideoInputHook = TEncoderVideoHookEvent::Bind(&log, &THookLog::InputVideoHook);
    Encoder->OnVideoOutputHook = TEncoderVideoHookEvent::Bind(&log, &THookLog::OutputVideoHook);
    Encoder->OnFrameInputHook = TEncoderFrameHookEvent::Bind(&log, &THookLog::InputFrameHook);
    Encoder->OnFrameOutputHook = TEncoderFrameHookEvent::Bind(&log, &THookLog::OutputFrameHook);
    ASSERT_EQ(Encoder->AddTask(Clip(), ""), 0);
    const std::string out = Dir.file("hooked.mkv");
    ASSERT_GE(Encoder->SetOutput(0, out,
                                 "-c:v ffv1 -pix_fmt yuv420p -VideoInputHook -VideoOutputHook -FrameInputHook "
                                 "-FrameOutputHook"),
              0)
        << Encoder->LastErrMsg();
    Run();
    ASSERT_TRUE(EndOf(0) && EndOf(0)->Finished) << (EndOf(0) ? EndOf(0)->ExceptionMsg : "");
    EXPECT_EQ(log.InputFrames, Numbers(1, 10));
    EXPECT_EQ(log.InputVideo, Numbers(1, 10));
    EXPECT_EQ(log.OutputVideo, Numbers(1, 10));
    EXPECT_EQ(log.OutputFrames, Numbers(1, 10));
    EXPECT_EQ(log.InputTasks, std::vector<int>(10, 0));
    EXPECT_FALSE(log.OnMain);
    // The input bitmap hook painted the frame white; the output picture
    // hook then darkened its top half.
    for (int frame : {0, 9}) {
        std::vector<uint8_t> luma = DecodedLuma(out, frame, 64, 48, Dir.file("luma.yuv"));
        ASSERT_EQ(luma.size(), 64u * 48u);
        EXPECT_EQ(luma[0], 16) << frame;
        EXPECT_EQ(luma[23 * 64 + 63], 16) << frame;
        EXPECT_NEAR(luma[24 * 64], 235, 2) << frame;
        EXPECT_NEAR(luma[47 * 64 + 63], 235, 2) << frame;
    }
}

TEST_F(TranscodeHookTest, BitmapHookStopsOnRequestAndSurvivesItsErrors)
{
    const struct {
        const char* Name;
        int StopAt, RaiseAt;
        std::vector<int> Calls;
        bool Logged;
    } cases[] = {
        {"stops after frame 3", 3, 0, Numbers(1, 3), false},
        {"raises at frame 2", 0, 2, Numbers(1, 10), true},
    };
    TLogCapture capture;
    for (const auto& c : cases) {
        THookLog log;
        log.StopAt = c.StopAt;
        log.RaiseAt = c.RaiseAt;
        log.Paint = false;
        Ends.clear();
        Encoder->ClearTasks();
        Encoder->OnVideoInputHook = TEncoderVideoHookEvent::Bind(&log, &THookLog::InputVideoHook);
        ASSERT_EQ(Encoder->AddTask(Clip(), ""), 0);
        ASSERT_GE(Encoder->SetOutput(0, Dir.file(std::string("stop") + std::to_string(c.StopAt) + ".mkv"),
                                     "-c:v ffv1 -VideoInputHook"),
                  0);
        Run();
        ASSERT_TRUE(EndOf(0) && EndOf(0)->Finished) << c.Name;
        EXPECT_EQ(log.InputVideo, c.Calls) << c.Name;
        EXPECT_EQ(capture.Has("Error occurs VideoHook event: boom"), c.Logged) << c.Name;
    }
}

TEST_F(TranscodeHookTest, AudioHookSeesEveryChannelOfPackedAndPlanarSamples)
{
    // Left: a tone; right: silence. The hook silences both.
    const std::string source = "-f lavfi -i sine=frequency=440:sample_rate=44100:duration=1 -af "
                               "'pan=stereo|c0=c0|c1=0*c0'";
    const struct {
        std::string Input, Encode;
        int Format;
        double LeftPeak;
    } cases[] = {
        {"packed.wav", "-c:a pcm_s16le", AV_SAMPLE_FMT_S16, 1000},
        {"planar.m4a", "-c:a aac -b:a 128k", AV_SAMPLE_FMT_FLT, 0.05},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(RunCommand("ffmpeg -v error -y " + source + " " + c.Encode + " '" + Dir.file(c.Input) + "'"), 0);
        TAudioSeen seen;
        Ends.clear();
        Encoder->ClearTasks();
        Encoder->OnAudioHook = TEncoderAudioHookEvent::Bind(&seen, &TAudioSeen::Hook);
        ASSERT_EQ(Encoder->AddTask(Dir.file(c.Input), ""), 0) << Encoder->LastErrMsg();
        const std::string out = Dir.file(c.Input + ".out.wav");
        ASSERT_GE(Encoder->SetOutput(0, out, "-c:a pcm_s16le -AudioHook"), 0) << Encoder->LastErrMsg();
        Run();
        ASSERT_TRUE(EndOf(0) && EndOf(0)->Finished) << c.Input;
        EXPECT_GT(seen.Calls, 0) << c.Input;
        EXPECT_EQ(seen.Channels, 2) << c.Input;
        EXPECT_EQ(seen.Format, c.Format) << c.Input;
        EXPECT_GT(seen.LeftPeak, c.LeftPeak) << c.Input;
        EXPECT_LT(seen.RightPeak, c.LeftPeak / 100) << c.Input;
        std::vector<int16_t> samples = DecodedSamples(out, Dir.file("samples.raw"));
        ASSERT_GT(samples.size(), 40000u) << c.Input;
        int peak = 0;
        for (int16_t s : samples)
            peak = std::max(peak, std::abs(int(s)));
        EXPECT_EQ(peak, 0) << c.Input;
    }
}

TEST_F(TranscodeHookTest, VideoStatsFileHasALinePerEncodedFrame)
{
    ASSERT_EQ(Encoder->AddTask(Clip(), ""), 0);
    const std::string stats = Dir.file("stats.log");
    ASSERT_GE(Encoder->SetOutput(0, Dir.file("stats.avi"), "-c:v mpeg4 -g 5 -psnr -vstats_file \"" + stats + "\""), 0)
        << Encoder->LastErrMsg();
    Run();
    ASSERT_TRUE(EndOf(0) && EndOf(0)->Finished) << (EndOf(0) ? EndOf(0)->ExceptionMsg : "");
    std::vector<std::string> lines;
    std::string text = ReadTextFile(stats);
    for (size_t p = 0, q; (q = text.find('\n', p)) != std::string::npos; p = q + 1)
        lines.push_back(text.substr(p, q - p));
    ASSERT_EQ(lines.size(), 10u) << text;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& l = lines[i];
        char head[32];
        std::snprintf(head, sizeof head, "frame= %5d q= ", int(i + 1));
        EXPECT_EQ(l.rfind(head, 0), 0u) << l;
        for (const char* field : {" PSNR= ", " f_size= ", " s_size= ", " time= ", " br= ", " avg_br= "})
            EXPECT_NE(l.find(field), std::string::npos) << field << " in " << l;
        double psnr = 0;
        ASSERT_EQ(std::sscanf(l.c_str() + l.find("PSNR=") + 5, "%lf", &psnr), 1) << l;
        EXPECT_GT(psnr, 25) << l;
        EXPECT_EQ(l.substr(l.size() - 7), i % 5 == 0 ? "type= I" : "type= P") << l;
    }
}

TEST_F(TranscodeHookTest, DeinterlaceBlendsTheFieldsOfEveryPicture)
{
    // Alternate lines of black and white: the combs of an interlaced picture.
    const std::string combs = Dir.file("combs.mkv");
    ASSERT_EQ(RunCommand("ffmpeg -v error -y -f lavfi -i \"nullsrc=s=64x48:r=10:d=0.5,format=yuv420p,"
                         "geq=lum='if(mod(Y,2),235,16)':cb=128:cr=128\" -c:v ffv1 '" + combs + "'"),
              0);
    const struct {
        const char* Options;
        int Even, Odd;  // luma of the lines in the middle
    } cases[] = {
        {"-c:v ffv1 -pix_fmt yuv420p", 16, 235},
        {"-deinterlace -c:v ffv1 -pix_fmt yuv420p", 126, 126},
    };
    int task = 0;
    for (const auto& c : cases) {
        ASSERT_EQ(Encoder->AddTask(combs, ""), task);
        ASSERT_GE(Encoder->SetOutput(task, Dir.file("deint" + std::to_string(task) + ".mkv"), c.Options), 0)
            << Encoder->LastErrMsg();
        ++task;
    }
    Run();
    for (int t = 0; t < task; ++t) {
        ASSERT_TRUE(EndOf(t) && EndOf(t)->Finished) << cases[t].Options;
        for (int frame : {0, 4}) {
            std::vector<uint8_t> luma =
                DecodedLuma(Dir.file("deint" + std::to_string(t) + ".mkv"), frame, 64, 48, Dir.file("luma.yuv"));
            ASSERT_EQ(luma.size(), 64u * 48u) << cases[t].Options;
            for (int y = 1; y < 47; ++y)
                for (int x : {0, 63})
                    ASSERT_NEAR(luma[size_t(y) * 64 + size_t(x)], y % 2 ? cases[t].Odd : cases[t].Even, 1)
                        << cases[t].Options << " frame " << frame << " line " << y;
        }
    }
}

}  // namespace
}  // namespace tarnello::test
