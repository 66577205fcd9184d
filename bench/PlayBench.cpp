// Playing a 20 s 720p H.264 + AAC clip in a 1280x720 panel on the X display
// through the player component, each run in a child process of its own.
//
//   tarnello_bench_play [runs] [clip]      (under Xvfb or another X display)
//       runs: plays per figure (default 5); the medians are printed.
//   tarnello_bench_play --once clip        one play, one line of figures
//
// Figures: pictures shown against pictures due (duration x frame rate),
// pictures dropped, the largest |video - audio| clock difference after the
// first second, the wall time of the play, and CPU seconds (user + system)
// per second of playback. The sound goes to a silent device pulling blocks
// at the pace of real playback.
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "bench/BenchTiming.h"
#include "engine/bindings/AVFormatStubs.h"
#include "engine/bindings/FFLoad.h"
#include "engine/common/MainThread.h"
#include "engine/player/FFPlay.h"
#include "engine/player/PanelVideoOutput.h"
#include "platform/backend/BackendSelect.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace {

using TClock = bench::Clock;
using bench::Median;

const char* kMakeClip =
    "-f lavfi -i testsrc2=size=1280x720:rate=30:duration=20 "
    "-f lavfi -i sine=frequency=440:sample_rate=48000:duration=20 -ac 2 "
    "-c:v libx264 -preset veryfast -pix_fmt yuv420p -b:v 4M -c:a aac -b:a 160k";

double Seconds(TClock::time_point A, TClock::time_point B) { return std::chrono::duration<double>(B - A).count(); }

// A sound device that plays nothing, at the pace of real playback; it knows
// how much sound has been heard.
class TSilentSound : public IPlayerAudioOutput {
public:
    ~TSilentSound() override { Close(); }
    bool Open(const TAudioSpec& AWanted, TAudioSpec& AObtained, TFill AFill, std::string&) override
    {
        Close();
        AObtained = AWanted;
        AObtained.BufferBytes = AObtained.Samples * AObtained.Channels * 2;
        Granted = AObtained;
        Fill = std::move(AFill);
        Running = true;
        Thread = std::thread([this] { Run(); });
        return true;
    }
    void Pause(bool APause) override { Paused = APause; }
    void Close() override
    {
        if (!Thread.joinable()) return;
        Running = false;
        Thread.join();
    }
    // Seconds of sound heard by now (blocks played, the current one partly).
    double Heard()
    {
        std::lock_guard<std::mutex> g(Lock);
        if (!Blocks) return -1;
        double block = double(Granted.Samples) / Granted.Rate;
        return (Blocks - 1) * block + std::min(block, Seconds(LastBlock, TClock::now()));
    }

private:
    void Run()
    {
        std::vector<uint8_t> block(size_t(Granted.BufferBytes));
        auto period = std::chrono::microseconds(int64_t(Granted.Samples) * 1000000 / Granted.Rate);
        auto next = TClock::now();
        while (Running) {
            next += period;
            if (!Paused) {
                Fill(block.data(), int(block.size()));
                std::lock_guard<std::mutex> g(Lock);
                ++Blocks;
                LastBlock = TClock::now();
            } else {
                next = TClock::now() + period;
            }
            std::this_thread::sleep_until(next);
        }
    }
    TAudioSpec Granted;
    TFill Fill;
    std::atomic<bool> Running{false}, Paused{true};
    std::thread Thread;
    std::mutex Lock;
    int64_t Blocks = 0;
    TClock::time_point LastBlock;
};

// The panel's own output, counting what it shows and how far each picture
// is from the sound being heard.
class TCountingPanel : public IPlayerVideoOutput {
public:
    TCountingPanel(HWND APanel, double ATimeBase, TSilentSound& ASound)
        : Panel(APanel), TimeBase(ATimeBase), Sound(ASound)
    {
    }
    bool SetVideoMode(int& AWidth, int& AHeight, std::string& AError) override
    {
        return Panel.SetVideoMode(AWidth, AHeight, AError);
    }
    void Display(const AVFrame* APicture, const TRect& ARect) override
    {
        Panel.Display(APicture, ARect);
        ++Shown;
        double heard = Sound.Heard();
        double video = APicture->pts * TimeBase;
        if (heard >= 0 && video > 1.0) MaxDiff = std::max(MaxDiff, std::fabs(video - heard));
    }
    void FillRect(const TRect& ARect, uint32_t AColor) override { Panel.FillRect(ARect, AColor); }
    void Close() override { Panel.Close(); }
    TPanelVideoOutput Panel;
    double TimeBase;
    TSilentSound& Sound;
    std::atomic<int> Shown{0};
    double MaxDiff = 0;
};

struct TFigures {
    double Shown = 0, Due = 0, Dropped = 0, MaxDiffMs = 0, Wall = 0, CpuPerSecond = 0;
};

// The video stream's time base and the pictures due in the clip.
bool ProbeClip(const std::string& AClip, double& ATimeBase, double& ADue)
{
    AVFormatContext* ic = nullptr;
    if (ff::avformat_open_input(&ic, AClip.c_str(), nullptr, nullptr) < 0) return false;
    ff::avformat_find_stream_info(ic, nullptr);
    bool ok = false;
    for (unsigned i = 0; i < ic->nb_streams; ++i) {
        AVStream* st = ic->streams[i];
        if (st->codecpar->codec_type != AVMEDIA_TYPE_VIDEO) continue;
        ATimeBase = av_q2d(st->time_base);
        ADue = std::round(ic->duration / 1000000.0 * av_q2d(st->avg_frame_rate));
        ok = true;
        break;
    }
    ff::avformat_close_input(&ic);
    return ok;
}

int PlayOnce(const std::string& AClip)
{
    if (!FFLoader().Load(PlayerLibraries)) {
        std::fprintf(stderr, "%s\n", FFLoader().LastErrMsg().c_str());
        return 1;
    }
    double timeBase = 0, due = 0;
    if (!ProbeClip(AClip, timeBase, due)) {
        std::fprintf(stderr, "cannot read %s\n", AClip.c_str());
        return 1;
    }
    setenv("TARNELLO_BACKEND", "x11", 1);
    std::string error;
    if (!SelectWindowBackend(&error)) {
        std::fprintf(stderr, "no X display: %s\n", error.c_str());
        return 1;
    }
    int rc = 1;
    {
        TForm form(nullptr);
        form.SetBorderStyle(bsNone);
        form.SetBounds(0, 0, 1280, 720);
        auto* panel = new TPanel(&form);
        panel->SetParent(&form);
        panel->SetBevelOuter(bvNone);
        panel->SetBounds(0, 0, 1280, 720);
        form.Show();
        Application->ProcessMessages();
        TSilentSound sound;
        TCountingPanel output(panel->Handle(), timeBase, sound);
        TDIRudidi player(nullptr);
        player.SetTriggerEventInMainThread(false);
        player.SetVideoOutput(&output);
        player.SetAudioOutput(&sound);
        std::atomic<bool> ended{false};
        struct TEnd : TObject {
            std::atomic<bool>* Flag;
            void State(TObject*, TPlayState S)
            {
                if (S == psEnd) *Flag = true;
            }
        } end;
        end.Flag = &ended;
        player.OnState = MakeEvent(&end, &TEnd::State);
        rusage before{};
        getrusage(RUSAGE_SELF, &before);
        auto start = TClock::now();
        if (player.Open(AClip, panel->Handle(), false)) {
            auto limit = start + std::chrono::seconds(120);
            while (!ended && TClock::now() < limit) {
                Application->ProcessMessages();
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
            double wall = Seconds(start, TClock::now());
            int dropped = player.DroppedFrames();
            player.Stop(true);
            rusage after{};
            getrusage(RUSAGE_SELF, &after);
            auto cpu = [](const rusage& r) {
                return r.ru_utime.tv_sec + r.ru_utime.tv_usec / 1e6 + r.ru_stime.tv_sec + r.ru_stime.tv_usec / 1e6;
            };
            std::printf("%d %.0f %d %.1f %.3f %.4f\n", output.Shown.load(), due, dropped, output.MaxDiff * 1000, wall,
                        (cpu(after) - cpu(before)) / wall);
            rc = 0;
        } else {
            std::fprintf(stderr, "%s\n", player.LastErrMsg().c_str());
        }
    }
    Application->ProcessMessages();
    ShutdownWindowBackend();
    FFLoader().Unload(PlayerLibraries);
    return rc;
}

bool RunChild(const std::string& ASelf, const std::string& AClip, TFigures& AOut)
{
    std::string cmd = "'" + ASelf + "' --once '" + AClip + "'";
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p) return false;
    int n = std::fscanf(p, "%lf %lf %lf %lf %lf %lf", &AOut.Shown, &AOut.Due, &AOut.Dropped, &AOut.MaxDiffMs,
                        &AOut.Wall, &AOut.CpuPerSecond);
    return ::pclose(p) == 0 && n == 6;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && std::string(argv[1]) == "--once") return PlayOnce(argv[2]);
    int runs = argc >= 2 ? std::max(1, std::atoi(argv[1])) : 5;
    std::string clip = argc >= 3 ? argv[2] : "/tmp/tarnello-bench-720p.mp4";
    struct stat st{};
    if (::stat(clip.c_str(), &st) != 0) {
        std::printf("making %s\n", clip.c_str());
        std::string make = std::string("ffmpeg -nostdin -v error -y ") + kMakeClip + " '" + clip + ".part.mp4' && mv '" +
                           clip + ".part.mp4' '" + clip + "'";
        if (std::system(make.c_str()) != 0) return 1;
    }
    if (!std::getenv("DISPLAY")) {
        std::fprintf(stderr, "run under an X display (xvfb-run)\n");
        return 1;
    }
    std::vector<double> shown, dropped, diff, wall, cpu;
    double due = 0;
    for (int i = 0; i < runs; ++i) {
        TFigures f;
        if (!RunChild(argv[0], clip, f)) {
            std::fprintf(stderr, "run %d failed\n", i + 1);
            return 1;
        }
        std::printf("run %d: shown %.0f/%.0f dropped %.0f |A-V| %.1f ms wall %.3f s cpu %.3f s/s\n", i + 1, f.Shown,
                    f.Due, f.Dropped, f.MaxDiffMs, f.Wall, f.CpuPerSecond);
        std::fflush(stdout);
        due = f.Due;
        shown.push_back(f.Shown);
        dropped.push_back(f.Dropped);
        diff.push_back(f.MaxDiffMs);
        wall.push_back(f.Wall);
        cpu.push_back(f.CpuPerSecond);
    }
    std::printf("median of %d: shown %.0f of %.0f due (%.1f %%), dropped %.0f, max |A-V| %.1f ms, wall %.3f s, "
                "cpu %.3f s per s\n",
                runs, Median(shown), due, due > 0 ? 100.0 * Median(shown) / due : 0, Median(dropped), Median(diff),
                Median(wall), Median(cpu));
    return 0;
}
