// The stage threads of a conversion, seen from outside: a task's reader and
// encoder threads end with the task however it ends (to the end, stopped
// mid-run or while held, failed in the encoder's thread), a held task keeps
// them, the output is whole, and a failure in a stage thread ends the task
// with that stage's text.
#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "EncoderRunSupport.h"
#include "TranscodeTestSupport.h"
#include "engine/transcode/Scheduler.h"
#include "support/TestSupport.h"

namespace tarnello::test {
namespace {

class TranscodeStagesTest : public TranscodeTest {
protected:
    std::string Clip(const std::string& AName, int ASeconds)
    {
        const std::string d = std::to_string(ASeconds);
        return MakeClip(Dir.file(AName),
                        "-f lavfi -i testsrc=size=320x240:rate=25:duration=" + d +
                            " -f lavfi -i sine=frequency=440:sample_rate=48000:duration=" + d,
                        "-c:v mpeg4 -g 10 -c:a mp2 -f nut");
    }
    TempDir Dir;
};

int64_t SizeOf(const std::string& AFile)
{
    struct stat sb {};
    return ::stat(AFile.c_str(), &sb) == 0 ? int64_t(sb.st_size) : -1;
}

// Starts a conversion of AClip read at its own pace (-re) on the task's
// thread and waits until the output has its first bytes.
void StartInRealTime(TTaskDriver& ADriver, const std::string& AClip, const std::string& AOut)
{
    ASSERT_GE(ADriver.AddInput(AClip, "-re"), 0) << ADriver.Error;
    ASSERT_GE(ADriver.SetOutput(AOut, "-c:v mpeg4 -c:a mp2"), 0) << ADriver.Error;
    TThread* t = ADriver.Task.StartConvert(true);
    ASSERT_NE(t, nullptr);
    t->Start();
    for (int i = 0; i < 3000 && SizeOf(AOut) <= 0; ++i)
        CheckSynchronize(10);
    ASSERT_GT(SizeOf(AOut), 0);
}

// Runs the task on its conversion thread, as the encoder component does
// (encoders get threads only there), serving the main thread until it
// ends (at most 60 s); "" or the task's failure text.
std::string RunOnThread(TTaskDriver& ADriver)
{
    TThread* t = ADriver.Task.StartConvert(true);
    if (!t)
        return "not started: " + ADriver.Task.FatalMessage();
    t->Start();
    for (int i = 0; i < 6000 && !ADriver.Task.Terminated(); ++i)
        CheckSynchronize(10);
    if (!ADriver.Task.Terminated())
        return "no end";
    return ADriver.Task.FatalException() ? ADriver.Task.FatalMessage() : "";
}

TEST_F(TranscodeStagesTest, AConversionToItsEndLeavesNoStageThread)
{
    const std::string clip = Clip("two.nut", 2);
    // Two video outputs: each encoder may have a thread of its own.
    struct Case {
        const char* name;
        const char* options;
        const char* frames;
    } cases[] = {
        {"one video", "-c:v mpeg4 -c:a mp2", "nb_read_packets=50\n"},
        {"two videos", "-map 0:v -map 0:v -map 0:a -c:v mpeg4 -c:a mp2", "nb_read_packets=50\n"},
        {"frame limit", "-c:v mpeg4 -c:a mp2 -frames:v 20", "nb_read_packets=20\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TTaskDriver d;
        const std::string out = Dir.file(std::string(c.name) + ".mkv");
        ASSERT_GE(d.AddInput(clip), 0) << d.Error;
        ASSERT_GE(d.SetOutput(out, c.options), 0) << d.Error;
        EXPECT_EQ(RunOnThread(d), "");
        EXPECT_EQ(TStageThread::ThreadsInUse(), 0);
        EXPECT_EQ(Probe(out, "-count_packets -select_streams v:0 -show_entries stream=nb_read_packets"), c.frames);
    }
}

TEST_F(TranscodeStagesTest, AStopMidRunReachesTheStageThreads)
{
    const std::string clip = Clip("ten.nut", 10);
    const std::string out = Dir.file("stopped.mkv");
    TTaskDriver d;
    // In real time, so the stop comes while pictures are on their way.
    ASSERT_NO_FATAL_FAILURE(StartInRealTime(d, clip, out));
    // Both encoders and the input's reader run in threads of their own.
    EXPECT_EQ(TStageThread::ThreadsInUse(), 3);
    d.Task.Stop(true);
    EXPECT_TRUE(d.Task.Terminated());
    EXPECT_FALSE(d.Task.FatalException()) << d.Task.FatalMessage();
    EXPECT_EQ(TStageThread::ThreadsInUse(), 0);
    // What was encoded before the stop is in the file, which plays.
    const std::string probe = Probe(out, "-count_packets -select_streams v:0 -show_entries stream=nb_read_packets");
    ASSERT_EQ(probe.rfind("nb_read_packets=", 0), 0u) << probe;
    const int frames = std::atoi(probe.c_str() + 16);
    EXPECT_GT(frames, 0);
    EXPECT_LT(frames, 250);
}

// Holding a task holds its stage threads where they are: a held task goes on
// from there with nothing lost once resumed, and a stop while held ends every
// stage thread.
TEST_F(TranscodeStagesTest, AHeldTaskKeepsItsStagesAndGoesOnOrStops)
{
    const std::string clip = Clip("six.nut", 6);
    for (const bool stop : {false, true}) {
        SCOPED_TRACE(stop ? "stopped while held" : "resumed");
        const std::string out = Dir.file(stop ? "held-stopped.mkv" : "held-resumed.mkv");
        TTaskDriver d;
        ASSERT_NO_FATAL_FAILURE(StartInRealTime(d, clip, out));
        d.Task.Pause();
        EXPECT_TRUE(d.Task.Paused());
        EXPECT_EQ(TStageThread::ThreadsInUse(), 3);  // held, not ended
        EXPECT_FALSE(d.Task.Terminated());
        if (stop) {
            d.Task.Stop(true);
            EXPECT_TRUE(d.Task.Terminated());
            EXPECT_FALSE(d.Task.Finished());
        } else {
            d.Task.Resume();
            for (int i = 0; i < 6000 && !d.Task.Terminated(); ++i)
                CheckSynchronize(10);
            ASSERT_TRUE(d.Task.Terminated());
            EXPECT_TRUE(d.Task.Finished());
            // Every picture and sound block held in the stages reached the file.
            EXPECT_NEAR(ProbeNumber(out, "-show_entries format=duration"), 6.0, 0.1);
        }
        EXPECT_FALSE(d.Task.FatalException()) << d.Task.FatalMessage();
        EXPECT_EQ(TStageThread::ThreadsInUse(), 0);
    }
}

// The read position of the file this process has open at APath (-1: not
// open), from the kernel's record of the open file.
int64_t ReadPosition(const std::string& APath)
{
    char real[PATH_MAX];
    if (!::realpath(APath.c_str(), real))
        return -1;
    DIR* d = ::opendir("/proc/self/fd");
    if (!d)
        return -1;
    int64_t pos = -1;
    while (dirent* e = ::readdir(d)) {
        char target[PATH_MAX];
        const std::string link = std::string("/proc/self/fd/") + e->d_name;
        const ssize_t n = ::readlink(link.c_str(), target, sizeof target - 1);
        if (n <= 0 || std::string(target, size_t(n)) != real)
            continue;
        std::ifstream info(std::string("/proc/self/fdinfo/") + e->d_name);
        std::string key;
        int64_t value = 0;
        while (info >> key >> value)
            if (key == "pos:")
                pos = std::max(pos, value);
    }
    ::closedir(d);
    return pos;
}

// The output is a pipe read slowly: the writer waits for it, and every
// stage before it waits in turn, so the task never reads far ahead of what
// was written (memory stays flat however slow the output is). Copied
// streams make the bytes read and written comparable.
TEST_F(TranscodeStagesTest, ASlowlyReadPipeHoldsTheReadingBack)
{
    const std::string clip = MakeClip(Dir.file("big.nut"), "-f lavfi -i testsrc=size=160x120:rate=25:duration=8",
                                      "-vf noise=alls=60:allf=t -c:v mpeg4 -q:v 1 -g 25 -f nut");
    const int64_t clipSize = SizeOf(clip);
    // Read ahead of the output at most: the reader's queue, the demuxer's and
    // the writer's buffers and the pipe's own (64 KiB).
    const int64_t bound = 1024 * 1024;
    ASSERT_GT(clipSize, 4 * bound) << "the clip must outgrow what may be held";
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    ASSERT_EQ(::fcntl(fds[0], F_SETFL, O_NONBLOCK), 0);
    TTaskDriver d;
    ASSERT_GE(d.AddInput(clip), 0) << d.Error;
    ASSERT_GE(d.SetOutput("pipe:" + std::to_string(fds[1]), "-c copy -f nut"), 0) << d.Error;
    TThread* t = d.Task.StartConvert(true);
    ASSERT_NE(t, nullptr);
    t->Start();
    int64_t drained = 0, worst = 0;
    std::vector<char> buf(16 * 1024);
    for (int i = 0; i < 60000 && !d.Task.Terminated(); ++i) {
        CheckSynchronize(10);
        // One small read a turn: far slower than the task could write.
        const ssize_t n = ::read(fds[0], buf.data(), buf.size());
        if (n > 0)
            drained += n;
        const int64_t pos = ReadPosition(clip);
        if (pos >= 0)
            worst = std::max(worst, pos - drained);
    }
    while (::read(fds[0], buf.data(), buf.size()) > 0) {
    }
    ::close(fds[0]);
    ::close(fds[1]);
    ASSERT_TRUE(d.Task.Terminated());
    EXPECT_FALSE(d.Task.FatalException()) << d.Task.FatalMessage();
    EXPECT_GT(drained, clipSize / 2);
    EXPECT_LE(worst, bound);
    EXPECT_EQ(TStageThread::ThreadsInUse(), 0);
}

// The writer fails in the encoder's thread (the file outgrows its limit):
// the task ends with the system's text, in a child process so the limit
// stays there.
TEST_F(TranscodeStagesTest, AFailureInTheEncoderThreadEndsTheTaskWithItsText)
{
    const std::string clip = Clip("fail.nut", 2);
    const std::string out = Dir.file("big.nut");
    const TChildReport child = RunWithFileLimit(256 * 1024, [&] {
        TTaskDriver d;
        if (d.AddInput(clip) < 0 || d.SetOutput(out, "-an -c:v rawvideo") < 0)
            return "set-up failed: " + d.Error;
        std::string report = RunOnThread(d) + "|" + d.Task.LastErrMsg() + "|";
        return report + std::to_string(TStageThread::ThreadsInUse());
    });
    const std::string& report = child.Text;
    ASSERT_TRUE(child.Exited) << "ended by signal " << child.Signal << " " << report;
    // The raised text and the task's last error are the stage's, and no
    // stage thread is left.
    const size_t bar = report.find('|');
    ASSERT_NE(bar, std::string::npos) << report;
    const std::string raised = report.substr(0, bar);
    EXPECT_NE(raised.find("File too large"), std::string::npos) << report;
    EXPECT_EQ(report, raised + "|" + raised + "|0");
}

}  // namespace
}  // namespace tarnello::test
