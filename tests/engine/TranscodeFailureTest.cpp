// Conversions that go wrong, through the encoder component: each failing
// task ends with its text in TTerminateInfo, the other tasks of the same run
// go on, nothing hangs, and no file the task made is left behind, while a
// user's file named as the output of a task that failed before writing is
// kept as it was. Damaged and truncated inputs are not failures: what is
// readable is converted.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <string>
#include <thread>
#include <vector>

#include "EncoderRunSupport.h"
#include "support/TestSupport.h"

namespace tarnello::test {
namespace {

class TranscodeFailureTest : public TranscodeTest {
protected:
    // Two seconds of picture and tone in a container that streams.
    std::string Clip(const std::string& AName)
    {
        return MakeClip(Dir.file(AName),
                        "-f lavfi -i testsrc=size=160x120:rate=25:duration=2 -f lavfi -i "
                        "sine=frequency=440:sample_rate=48000:duration=2",
                        "-c:v mpeg4 -g 10 -c:a mp2 -f nut");
    }
    TempDir Dir;
};

int64_t SizeOf(const std::string& AFile)
{
    struct stat sb {};
    return ::stat(AFile.c_str(), &sb) == 0 ? int64_t(sb.st_size) : -1;
}

// Feeds the first part of a file into a named pipe, then holds the pipe open
// without writing until released (a source that stalls).
class TStallingWriter {
public:
    TStallingWriter(const std::string& AFifo, const std::string& ASource, double AShare)
    {
        std::string data = ReadTextFile(ASource);
        data.resize(size_t(double(data.size()) * AShare));
        FThread = std::thread([this, AFifo, data] {
            int fd = -1;
            for (int i = 0; i < 6000 && fd < 0 && !FRelease; ++i) {  // until the reader is there
                fd = ::open(AFifo.c_str(), O_WRONLY | O_NONBLOCK);
                if (fd < 0)
                    ::usleep(10000);
            }
            if (fd < 0)
                return;
            size_t done = 0;
            while (done < data.size() && !FRelease) {
                const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
                if (n > 0)
                    done += size_t(n);
                else
                    ::usleep(2000);
            }
            while (!FRelease)
                ::usleep(10000);
            ::close(fd);
        });
    }
    ~TStallingWriter()
    {
        FRelease = true;
        FThread.join();
    }

private:
    std::atomic<bool> FRelease{false};
    std::thread FThread;
};

// A refused input says why the demuxer refused it, not only the library's
// last word.
TEST_F(TranscodeFailureTest, RefusedInputCarriesTheDemuxersReason)
{
    TTaskDriver d;
    EXPECT_LT(d.AddInput(MediaFixture("truncated.mp4")), 0);
    EXPECT_NE(d.Task.LastErrMsg().find("Invalid data found when processing input"), std::string::npos)
        << d.Task.LastErrMsg();
    EXPECT_NE(d.Task.LastErrMsg().find("(moov atom not found)"), std::string::npos) << d.Task.LastErrMsg();
    // A later input that opens carries no stale reason.
    EXPECT_GE(d.AddInput(MediaFixture("tone.wav")), 0);
}

TEST_F(TranscodeFailureTest, FailingTasksEndWithTheirTextAndTheOthersGoOn)
{
    const std::string clip = Clip("clip.nut");
    const int64_t size = SizeOf(clip);
    ASSERT_GT(size, 20000);
    // Truncated: the first 60 % of the file.
    const std::string truncated = Dir.file("truncated.nut");
    ASSERT_EQ(RunCommand("head -c " + std::to_string(size * 6 / 10) + " '" + clip + "' > '" + truncated + "'"), 0);
    // Damaged: noise over a stretch in the middle.
    const std::string damaged = Dir.file("damaged.nut");
    ASSERT_EQ(RunCommand("cp '" + clip + "' '" + damaged + "' && head -c 3000 /dev/urandom | dd of='" + damaged +
                         "' bs=1 seek=" + std::to_string(size / 2) + " conv=notrunc 2>/dev/null"),
              0);
    const std::string fifo = Dir.file("stalling");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    TStallingWriter writer(fifo, clip, 0.6);
    const std::string existing = Dir.file("existing.mkv");
    WriteTextFile(existing, "the user's own file");

    struct Case {
        std::string input, output, options;
        bool fails;
        const char* text;  // part of the failure text
    } cases[] = {
        {truncated, "from-truncated.mkv", "-c:v mpeg4 -c:a mp2", false, ""},
        {damaged, "from-damaged.mkv", "-c:v mpeg4 -c:a mp2", false, ""},
        {fifo, "from-stalling.mkv", "-c:v mpeg4 -c:a mp2", true, "reading timed out"},
        // H.263 takes a few picture sizes only. (libx264 refuses odd sizes
        // of 4:2:0 pictures the same way, but leaks inside itself when it
        // does.)
        {clip, "refused.mp4", "-c:v h263 -s 320x240 -an", true, "Error while opening encoder"},
        {clip, "existing.mkv", "-c:v h263 -s 320x240 -an", true, "Error while opening encoder"},
        {clip, "fine.mkv", "-c:v mpeg4 -c:a mp2", false, ""},
    };
    TEncoderRun run;
    run.Encoder->SetReadTimeout(1000);
    int n = 0;
    for (const Case& c : cases) {
        ASSERT_EQ(run.Encoder->AddTask(c.input, ""), n) << run.Encoder->LastErrMsg();
        ASSERT_GE(run.Encoder->SetOutput(n, Dir.file(c.output), c.options), 0) << run.Encoder->LastErrMsg();
        ++n;
    }
    ASSERT_TRUE(run.Run(3));
    ASSERT_EQ(run.Ends.size(), size_t(n) + 1);
    for (int t = 0; t < n; ++t) {
        const Case& c = cases[t];
        SCOPED_TRACE(c.output);
        const TTerminateInfo end = run.End(t);
        const std::string out = Dir.file(c.output);
        if (c.fails) {
            EXPECT_TRUE(end.Exception);
            EXPECT_FALSE(end.Finished);
            EXPECT_NE(end.ExceptionMsg.find(c.text), std::string::npos) << end.ExceptionMsg;
        } else {
            EXPECT_FALSE(end.Exception) << end.ExceptionMsg;
            EXPECT_TRUE(end.Finished);
        }
        if (c.output == "existing.mkv")
            EXPECT_EQ(ReadTextFile(out), "the user's own file");
        else if (c.fails)
            EXPECT_FALSE(FileExists(out));
    }
    // What was readable of the truncated and damaged inputs was converted.
    const double part = ProbeNumber(Dir.file("from-truncated.mkv"), "-show_entries format=duration");
    EXPECT_GT(part, 0.8);
    EXPECT_LT(part, 1.8);
    EXPECT_GT(ProbeNumber(Dir.file("from-damaged.mkv"), "-show_entries format=duration"), 1.5);
    EXPECT_NEAR(ProbeNumber(Dir.file("fine.mkv"), "-show_entries format=duration"), 2.0, 0.1);
}

// A pipe that gives nothing at all: adding it ends after the read time-out
// with its text (a stop would end it too), and the next file is added.
TEST_F(TranscodeFailureTest, AnInputThatGivesNothingTimesOutWhenAdded)
{
    const std::string fifo = Dir.file("silent");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    TEncoderRun run;
    run.Encoder->SetReadTimeout(300);
    EXPECT_LT(run.Encoder->AddTask(fifo, ""), 0);
    EXPECT_NE(run.Encoder->LastErrMsg().find("reading timed out (no data for 300 ms)"), std::string::npos)
        << run.Encoder->LastErrMsg();
    EXPECT_EQ(run.Encoder->TasksCount(), 0);
    EXPECT_EQ(run.Encoder->AddTask(Clip("clip.nut"), ""), 0) << run.Encoder->LastErrMsg();
}

// A disk that fills: the conversion runs in a child process whose files
// may not grow past 64 KB. The engine keeps the size signal from ending the
// program, so the write fails with EFBIG and the next task still runs.
TEST_F(TranscodeFailureTest, AFullDiskFailsTheTaskAndRemovesItsOutput)
{
    const std::string clip = Clip("clip.nut");
    const std::string full = Dir.file("full.nut"), small = Dir.file("small.wav");
    const TChildReport child = RunWithFileLimit(64 * 1024, [&] {
        std::string report;
        TEncoderRun run;
        // Raw pictures outgrow the limit at once; a short tone stays below it.
        const bool added = run.Encoder->AddTask(clip, "") == 0 &&
                           run.Encoder->SetOutput(0, full, "-c:v rawvideo -c:a pcm_s16le") >= 0 &&
                           run.Encoder->AddTask(clip, "") == 1 &&
                           run.Encoder->SetOutput(1, small, "-vn -t 0.2 -ac 1 -ar 8000") >= 0;
        if (!added)
            report = "set-up failed: " + run.Encoder->LastErrMsg();
        else if (!run.Run(0))
            report = "no final end";
        else
            for (int t = 0; t < 2; ++t) {
                const TTerminateInfo e = run.End(t);
                report += std::to_string(e.Exception) + std::to_string(e.Finished) + ":" + e.ExceptionMsg + "\n";
            }
        return report;
    });
    const std::string& report = child.Text;
    ASSERT_TRUE(child.Exited) << "ended by signal " << child.Signal << " " << report;
    // The first task failed with the system's text; the second finished.
    EXPECT_EQ(report.rfind("10:", 0), 0u) << report;
    EXPECT_NE(report.find("File too large"), std::string::npos) << report;
    EXPECT_NE(report.find("\n01:\n"), std::string::npos) << report;
    EXPECT_FALSE(FileExists(full));
    EXPECT_EQ(Probe(small, "-show_entries stream=codec_name,sample_rate"), "codec_name=pcm_s16le\nsample_rate=8000\n");
}

}  // namespace
}  // namespace tarnello::test
