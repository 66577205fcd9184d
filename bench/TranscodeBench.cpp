// Converting a clip through the encoder component against running the ffmpeg
// tool with the same option text: one task against one process, and four
// tasks on four conversion threads against four processes at once and four
// processes one after another.
//
//   tarnello_bench_transcode [--job NAME] [runs] [clip]
//       job:  what is converted (default 720p; see kJobs)
//       runs: repetitions of every measurement (default 3; medians printed)
//       clip: the input (default: the job's clip, made with the ffmpeg tool
//             beside this program and kept for later runs)
//   tarnello_bench_transcode [--job NAME] --once engine|engine4|tool|tool4 [clip]
//       one conversion of one kind, for timing the whole process from outside
//
// Goals: one task <= 1.0 x the tool; four tasks <= 1.0 x four processes at
// once and clearly below four processes in a row.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/BenchTiming.h"
#include "engine/encoder/FFEncode.h"
#include "engine/bindings/FFLoad.h"
#include "engine/common/FFLog.h"
#include "platform/rtl/Threads.h"

namespace {

using bench::Clock;
using bench::Median;

// A conversion asked of both: the clip it starts from (made once by the
// ffmpeg tool from lavfi sources), the option text and the output's
// extension.
struct TJob {
    const char* Name;
    const char* Clip;
    const char* MakeClip;
    const char* Options;
    const char* Extension;
};

const TJob kJobs[] = {
    // 20 s of 720p H.264 + AAC to stereo AAC at 44.1 kHz and H.264 at
    // 1 Mbit/s, 25 frames per second, scaled to 640x480.
    {"720p", "tarnello-bench-720p.mp4",
     "-f lavfi -i testsrc2=size=1280x720:rate=30:duration=20 "
     "-f lavfi -i sine=frequency=440:sample_rate=48000:duration=20 -ac 2 "
     "-c:v libx264 -preset veryfast -pix_fmt yuv420p -b:v 4M -c:a aac -b:a 160k",
     " -c:a aac -ac 2 -ar 44100 -b:a 128000 -c:v libx264 -r 25 -b:v 1000000 -vf \"scale=640:480\"", ".mp4"},
    // 10 s of 1080p H.264 + AAC scaled to 720p.
    {"1080p", "tarnello-bench-1080p.mp4",
     "-f lavfi -i testsrc2=size=1920x1080:rate=30:duration=10 "
     "-f lavfi -i sine=frequency=440:sample_rate=48000:duration=10 -ac 2 "
     "-c:v libx264 -preset veryfast -pix_fmt yuv420p -b:v 8M -c:a aac -b:a 160k",
     " -c:a aac -b:a 128000 -c:v libx264 -b:v 2500000 -vf \"scale=1280:720\"", ".mp4"},
    // Five minutes of stereo FLAC to MP3: audio only.
    {"flac", "tarnello-bench-tone.flac",
     "-f lavfi -i sine=frequency=440:sample_rate=44100:duration=300 -ac 2 -c:a flac",
     " -c:a libmp3lame -b:a 192000", ".mp3"},
};

const TJob* gJob = &kJobs[0];

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

bool Exists(const std::string& path)
{
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 && st.st_size > 0;
}

std::string LoadAverage()
{
    std::ifstream f("/proc/loadavg");
    std::string a, b, c;
    f >> a >> b >> c;
    return a + " " + b + " " + c;
}

std::string Folder(const char* argv0)
{
    std::string self = argv0;
    size_t slash = self.rfind('/');
    return slash == std::string::npos ? "." : self.substr(0, slash);
}

struct TEnds {
    std::atomic<bool> Final{false};
    int Reports = 0;
    std::atomic<int> Failed{0};
    std::string FirstError;
    void OnProgress(TObject*, PProgressInfo) { ++Reports; }
    void OnTerminate(TObject*, const TTerminateInfo& AInfo)
    {
        if (AInfo.TaskIndex < 0) {
            Final = true;
        } else if (AInfo.Exception || !AInfo.Finished) {
            if (Failed++ == 0)
                FirstError = AInfo.ExceptionMsg;
        }
    }
};

// ACount tasks of the same conversion on ACount conversion threads, run the
// way the application runs them: progress and ends delivered in this (the
// main) thread, which serves them while it waits. The wall time from adding
// the tasks to the final end, or a negative number on failure.
double RunEngine(const std::string& AClip, const std::string& AOutFolder, int ACount)
{
    TEnds ends;
    double seconds = -1;
    {
        // Opening and probing the inputs counts too, as it does for the tool.
        auto t0 = Clock::now();
        TVAVorarez encoder(nullptr);
        encoder.OnProgress = TProgressEvent::Bind(&ends, &TEnds::OnProgress);
        encoder.OnTerminate = TTerminateEvent::Bind(&ends, &TEnds::OnTerminate);
        for (int i = 0; i < ACount; ++i) {
            const std::string out = AOutFolder + "/engine" + std::to_string(i) + gJob->Extension;
            ::unlink(out.c_str());
            int t = encoder.AddTask(AClip, "");
            if (t < 0 || encoder.SetOutput(t, out, gJob->Options) < 0) {
                std::fprintf(stderr, "engine set-up: %s\n", encoder.LastErrMsg().c_str());
                return -1;
            }
        }
        encoder.Start(ACount);
        while (!ends.Final)
            CheckSynchronize(10);
        seconds = Seconds(Clock::now() - t0);
    }
    if (ends.Failed) {
        std::fprintf(stderr, "engine: %s\n", ends.FirstError.c_str());
        return -1;
    }
    return seconds;
}

std::string ToolCommand(const std::string& AClip, const std::string& AOut)
{
    return "ffmpeg -nostdin -v error -y -i '" + AClip + "'" + gJob->Options + " '" + AOut + "'";
}

// ACount ffmpeg processes, all at once (AParallel) or one after another.
double RunTool(const std::string& AClip, const std::string& AOutFolder, int ACount, bool AParallel)
{
    std::string script = "rc=0; pids=\n";
    for (int i = 0; i < ACount; ++i) {
        script += ToolCommand(AClip, AOutFolder + "/tool" + std::to_string(i) + gJob->Extension);
        script += AParallel ? " & pids=\"$pids $!\"\n" : " || exit 1\n";
    }
    if (AParallel)
        script += "for p in $pids; do wait $p || rc=1; done; exit $rc\n";
    auto t0 = Clock::now();
    int rc = std::system(script.c_str());
    double seconds = Seconds(Clock::now() - t0);
    if (rc != 0) {
        std::fprintf(stderr, "ffmpeg tool failed (%d)\n", rc);
        return -1;
    }
    return seconds;
}

bool MakeClip(const std::string& AClip)
{
    if (Exists(AClip))
        return true;
    std::printf("making %s\n", AClip.c_str());
    const std::string ext = AClip.substr(AClip.rfind('.'));
    const std::string tmp = AClip + ".part" + ext;
    const std::string make = std::string("ffmpeg -nostdin -v error -y ") + gJob->MakeClip + " '" + tmp + "' && mv '" +
                             tmp + "' '" + AClip + "'";
    return std::system(make.c_str()) == 0;
}

struct TRatio {
    const char* Name;
    std::vector<double> Engine, Tool;
    std::vector<double> Ratios;  // pair by pair
    double Goal;
};

void Print(const TRatio& r)
{
    std::printf("%-34s engine %6.2f s  tool %6.2f s  ratio %.3f (pairs %.3f..%.3f, goal <= %.2f)\n", r.Name,
                Median(r.Engine), Median(r.Tool), Median(r.Ratios),
                *std::min_element(r.Ratios.begin(), r.Ratios.end()),
                *std::max_element(r.Ratios.begin(), r.Ratios.end()), r.Goal);
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string folder = Folder(argv[0]);
    std::string once;
    int runs = 3;
    int arg = 1;
    if (argc > 2 && std::string(argv[1]) == "--job") {
        gJob = nullptr;
        for (const TJob& j : kJobs)
            if (argv[2] == std::string(j.Name))
                gJob = &j;
        if (!gJob) {
            std::fprintf(stderr, "unknown job %s\n", argv[2]);
            return 2;
        }
        argc -= 2;
        argv += 2;
    }
    if (argc > 2 && std::string(argv[1]) == "--once") {
        once = argv[2];
        arg = 3;
    } else if (argc > 1) {
        runs = std::max(1, std::atoi(argv[1]));
        arg = 2;
    }
    const std::string clip = argc > arg ? argv[arg] : folder + "/" + gJob->Clip;
    const std::string outFolder = folder + "/transcode-bench-out";
    ::mkdir(outFolder.c_str(), 0755);
    if (!MakeClip(clip))
        return 1;
    GetFFLogger()->SetLogLevel(llError);
    if (!FFLoader().Load(EncoderLibraries)) {
        std::fprintf(stderr, "%s\n", FFLoader().LastErrMsg().c_str());
        return 1;
    }

    if (!once.empty()) {
        double s = once == "engine"    ? RunEngine(clip, outFolder, 1)
                   : once == "engine4" ? RunEngine(clip, outFolder, 4)
                   : once == "tool"    ? RunTool(clip, outFolder, 1, false)
                   : once == "tool4"   ? RunTool(clip, outFolder, 4, true)
                                       : -2;
        if (s == -2)
            std::fprintf(stderr, "unknown kind %s\n", once.c_str());
        return s < 0 ? 1 : 0;
    }

    std::printf("job %s, clip %s, options:%s\n", gJob->Name, clip.c_str(), gJob->Options);
    std::printf("cores %u, load average before: %s\n", std::thread::hardware_concurrency(), LoadAverage().c_str());
    // Warm the file cache, the libraries and the encoders once.
    if (RunEngine(clip, outFolder, 1) < 0 || RunTool(clip, outFolder, 1, false) < 0)
        return 1;

    TRatio one{"1 task vs 1 ffmpeg", {}, {}, {}, 1.0};
    TRatio four{"Start(4) vs 4 ffmpeg at once", {}, {}, {}, 1.0};
    TRatio row{"Start(4) vs 4 ffmpeg in a row", {}, {}, {}, 1.0};
    for (int i = 0; i < runs; ++i) {
        // Alternating engine and tool, so that a change of machine load
        // falls on both sides of a pair.
        double e1 = RunEngine(clip, outFolder, 1), t1 = RunTool(clip, outFolder, 1, false);
        double e4 = RunEngine(clip, outFolder, 4), t4 = RunTool(clip, outFolder, 4, true);
        double tr = RunTool(clip, outFolder, 4, false);
        if (e1 < 0 || t1 < 0 || e4 < 0 || t4 < 0 || tr < 0)
            return 1;
        one.Engine.push_back(e1), one.Tool.push_back(t1), one.Ratios.push_back(e1 / t1);
        four.Engine.push_back(e4), four.Tool.push_back(t4), four.Ratios.push_back(e4 / t4);
        row.Engine.push_back(e4), row.Tool.push_back(tr), row.Ratios.push_back(e4 / tr);
        std::printf("run %d: 1 task %.2f s / ffmpeg %.2f s; Start(4) %.2f s / 4 at once %.2f s / 4 in a row %.2f s\n",
                    i + 1, e1, t1, e4, t4, tr);
        std::fflush(stdout);
    }
    std::printf("medians of %d runs:\n", runs);
    Print(one);
    Print(four);
    row.Goal = 0.75;  // "clearly faster"
    Print(row);
    std::printf("load average after: %s\n", LoadAverage().c_str());
    return 0;
}
