// Playing a 20 s 720p H.264 + AAC clip in a 1280x720 panel on the X display
// through the player component, against the ffmpeg project's own player
// (ffplay -autoexit -x 1280 -y 720) on the same file and display. Each play
// runs in a child process of its own; the two alternate, so a change of the
// machine's load hits both.
//
//   tarnello_bench_play [runs] [clip]      (under Xvfb or another X display)
//       runs: plays of each per figure (default 5); the medians are printed.
//   tarnello_bench_play --once clip        one play of ours, one line of figures
//
// Figures: pictures shown against pictures due (duration x frame rate),
// pictures dropped, the largest |video - audio| difference after the first
// second (ours: the picture's time against the sound being heard; ffplay: its
// own status line's A-V), the wall time of the play, and CPU seconds (user +
// system, the whole child process) per second of the clip. Our sound goes to
// a silent device pulling blocks at the pace of real playback, ffplay's to
// SDL's dummy driver; ffplay draws with SDL's software renderer.
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cerrno>
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

// A sound device that plays nothing, at the pace of real playback, as a
// double-buffered device does: a block filled now starts to sound once the
// block queued before it has played. It knows where in the clip's sound the
// listener is: blocks of silence (nothing to play yet, or an underrun) do not
// move that position.
class TSilentSound : public IPlayerAudioOutput {
public:
    explicit TSilentSound(double AStart) : Start(AStart) {}
    ~TSilentSound() override { Close(); }
    bool Open(const TAudioSpec& AWanted, TAudioSpec& AObtained, TFill AFill, std::string&) override
    {
        Close();
        AObtained = AWanted;
        AObtained.BufferBytes = AObtained.Samples * AObtained.Channels * 2;
        AObtained.LatencyBytes = AObtained.BufferBytes;  // one block queued ahead
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
    // The time in the clip of the sound heard now; -1 before any.
    double Heard()
    {
        std::lock_guard<std::mutex> g(Lock);
        if (!Started) return -1;
        double block = double(Granted.Samples) / Granted.Rate;
        double partial = PlayingSound ? std::min(block, Seconds(PlayingSince, TClock::now())) : 0;
        return Start + Completed + partial;
    }

private:
    void Run()
    {
        std::vector<uint8_t> block(size_t(Granted.BufferBytes));
        double blockSeconds = double(Granted.Samples) / Granted.Rate;
        auto period = std::chrono::microseconds(int64_t(Granted.Samples) * 1000000 / Granted.Rate);
        auto next = TClock::now();
        while (Running) {
            next += period;
            std::fill(block.begin(), block.end(), 0);
            if (!Paused) Fill(block.data(), int(block.size()));
            bool sound = std::any_of(block.begin(), block.end(), [](uint8_t B) { return B != 0; });
            {
                std::lock_guard<std::mutex> g(Lock);
                if (PlayingSound) Completed += blockSeconds;
                PlayingSound = QueuedSound;
                PlayingSince = TClock::now();
                QueuedSound = sound;
                Started = Started || PlayingSound;
            }
            if (Paused) next = TClock::now() + period;
            std::this_thread::sleep_until(next);
        }
    }
    double Start;
    TAudioSpec Granted;
    TFill Fill;
    std::atomic<bool> Running{false}, Paused{true};
    std::thread Thread;
    std::mutex Lock;
    bool Started = false, PlayingSound = false, QueuedSound = false;
    double Completed = 0;
    TClock::time_point PlayingSince;
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
        if (!Shown) First = TClock::now();
        Last = TClock::now();
        ++Shown;
        double heard = Sound.Heard();
        double video = APicture->pts * TimeBase;
        if (heard < 0 || video <= 1.0) return;
        double diff = std::fabs(video - heard);
        MaxDiff = std::max(MaxDiff, diff);
        if (video > Half) MaxDiffLate = std::max(MaxDiffLate, diff);
    }
    void FillRect(const TRect& ARect, uint32_t AColor) override { Panel.FillRect(ARect, AColor); }
    void Close() override { Panel.Close(); }
    TPanelVideoOutput Panel;
    double TimeBase;
    TSilentSound& Sound;
    std::atomic<int> Shown{0};
    TClock::time_point First, Last;
    double Half = 0;  // the clip's middle: the second half's largest difference shows whether it grows
    double MaxDiff = 0, MaxDiffLate = 0;
};

struct TFigures {
    double Shown = 0, Due = 0, Dropped = 0, MaxDiffMs = 0, MaxDiffLateMs = 0, Wall = 0, Duration = 0;
    double Opened = -1, FirstPicture = -1;  // seconds from Open (ours only)
    double CpuPerSecond = 0;  // whole child process, per second of the clip
};

// The video stream's time base and the pictures due in the clip.
bool ProbeClip(const std::string& AClip, double& ATimeBase, double& ADue, double& AAudioStart, double& ADuration)
{
    AVFormatContext* ic = nullptr;
    if (ff::avformat_open_input(&ic, AClip.c_str(), nullptr, nullptr) < 0) return false;
    ff::avformat_find_stream_info(ic, nullptr);
    bool ok = false;
    for (unsigned i = 0; i < ic->nb_streams; ++i) {
        AVStream* st = ic->streams[i];
        if (st->codecpar->codec_type == AVMEDIA_TYPE_AUDIO && st->start_time != AV_NOPTS_VALUE)
            AAudioStart = st->start_time * av_q2d(st->time_base);  // the pictures' times are absolute too
    }
    for (unsigned i = 0; i < ic->nb_streams; ++i) {
        AVStream* st = ic->streams[i];
        if (st->codecpar->codec_type != AVMEDIA_TYPE_VIDEO) continue;
        ATimeBase = av_q2d(st->time_base);
        ADuration = ic->duration / 1000000.0;
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
    double timeBase = 0, due = 0, audioStart = 0, duration = 0;
    if (!ProbeClip(AClip, timeBase, due, audioStart, duration)) {
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
        TSilentSound sound(audioStart);
        TCountingPanel output(panel->Handle(), timeBase, sound);
        output.Half = audioStart + duration / 2;
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
        auto start = TClock::now();
        if (player.Open(AClip, panel->Handle(), false)) {
            auto opened = TClock::now();
            auto limit = start + std::chrono::seconds(120);
            while (!ended && TClock::now() < limit) {
                Application->ProcessMessages();
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
            double wall = Seconds(start, TClock::now());
            int dropped = player.DroppedFrames();
            player.Stop(true);
            std::printf("%d %.0f %d %.1f %.1f %.3f %.3f %.3f %.3f\n", output.Shown.load(), due, dropped,
                        output.MaxDiff * 1000, output.MaxDiffLate * 1000, wall, duration, Seconds(start, opened),
                        Seconds(start, output.First));
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

// What a child process wrote and used.
struct TChild {
    std::string Out, Err;
    double Wall = 0, Cpu = 0;
    int Status = -1;
};

// Runs AArgs with AEnv added to the environment; both outputs read to the end.
bool RunChild(const std::vector<std::string>& AArgs, const std::vector<std::string>& AEnv, TChild& AChild)
{
    int out[2], err[2];
    if (::pipe(out) != 0) return false;
    if (::pipe(err) != 0) {
        ::close(out[0]);
        ::close(out[1]);
        return false;
    }
    auto start = TClock::now();
    pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], 1);
        ::dup2(err[1], 2);
        ::close(out[0]);
        ::close(err[0]);
        int null = ::open("/dev/null", O_RDONLY);
        if (null >= 0) ::dup2(null, 0);
        for (const std::string& e : AEnv) ::putenv(const_cast<char*>(e.c_str()));
        std::vector<char*> argv;
        for (const std::string& a : AArgs) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    if (pid < 0) {
        ::close(out[0]);
        ::close(err[0]);
        return false;
    }
    // both pipes at once, so that neither fills while the other is read
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string* into[2] = {&AChild.Out, &AChild.Err};
    int open = 2;
    char buf[4096];
    while (open > 0) {
        if (::poll(fds, 2, -1) < 0 && errno != EINTR) break;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            ssize_t n = ::read(fds[i].fd, buf, sizeof buf);
            if (n > 0) {
                into[i]->append(buf, size_t(n));
            } else if (n == 0 || errno != EINTR) {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    rusage usage{};
    ::wait4(pid, &AChild.Status, 0, &usage);
    AChild.Wall = Seconds(start, TClock::now());
    AChild.Cpu = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
                 usage.ru_stime.tv_usec / 1e6;
    return WIFEXITED(AChild.Status) && WEXITSTATUS(AChild.Status) == 0;
}

bool PlayOurs(const std::string& ASelf, const std::string& AClip, TFigures& AOut)
{
    TChild child;
    if (!RunChild({ASelf, "--once", AClip}, {}, child)) {
        std::fprintf(stderr, "%s", child.Err.c_str());
        return false;
    }
    int n = std::sscanf(child.Out.c_str(), "%lf %lf %lf %lf %lf %lf %lf %lf %lf", &AOut.Shown, &AOut.Due,
                        &AOut.Dropped, &AOut.MaxDiffMs, &AOut.MaxDiffLateMs, &AOut.Wall, &AOut.Duration, &AOut.Opened,
                        &AOut.FirstPicture);
    AOut.CpuPerSecond = AOut.Duration > 0 ? child.Cpu / AOut.Duration : 0;
    return n == 9;
}

// ffplay's status lines ("  12.34 A-V:  0.001 fd=   2 ...", ended by \r):
// the largest |A-V| after the first second (and in the clip's second half),
// and the last count of dropped pictures.
void ReadFfplayStatus(const std::string& AErr, double AHalf, TFigures& AOut)
{
    size_t at = 0;
    while ((at = AErr.find("A-V:", at)) != std::string::npos) {
        size_t line = AErr.find_last_of("\r\n", at);
        line = line == std::string::npos ? 0 : line + 1;
        double clock = 0, av = 0;
        int fd = 0;
        if (std::sscanf(AErr.c_str() + line, "%lf", &clock) == 1 &&
            std::sscanf(AErr.c_str() + at, "A-V:%lf fd=%d", &av, &fd) == 2) {
            if (clock > 1.0) {
                AOut.MaxDiffMs = std::max(AOut.MaxDiffMs, std::fabs(av) * 1000);
                if (clock > AHalf) AOut.MaxDiffLateMs = std::max(AOut.MaxDiffLateMs, std::fabs(av) * 1000);
            }
            AOut.Dropped = fd;
        }
        at += 4;
    }
}

bool PlayFfplay(const std::string& AClip, double ADue, double ADuration, TFigures& AOut)
{
    TChild child;
    if (!RunChild({"ffplay", "-autoexit", "-stats", "-x", "1280", "-y", "720", AClip},
                  {"SDL_AUDIODRIVER=dummy", "SDL_RENDER_DRIVER=software"}, child)) {
        std::fprintf(stderr, "ffplay failed:\n%s\n", child.Err.substr(0, 2000).c_str());
        return false;
    }
    ReadFfplayStatus(child.Err, ADuration / 2, AOut);
    AOut.Due = ADue;
    AOut.Shown = ADue - AOut.Dropped;  // what it did not drop
    AOut.Wall = child.Wall;            // the whole process: ffplay says nothing of its start
    AOut.Duration = ADuration;
    AOut.CpuPerSecond = ADuration > 0 ? child.Cpu / ADuration : 0;
    return true;
}

void PrintRun(const char* AWho, int ARun, const TFigures& F)
{
    std::printf("run %d %-6s: shown %.0f/%.0f dropped %.0f |A-V| %.1f ms (2nd half %.1f) wall %.3f s cpu %.3f s/s",
                ARun, AWho, F.Shown, F.Due, F.Dropped, F.MaxDiffMs, F.MaxDiffLateMs, F.Wall, F.CpuPerSecond);
    if (F.FirstPicture >= 0) std::printf(" (opened after %.3f s, first picture %.3f s)", F.Opened, F.FirstPicture);
    std::printf("\n");
    std::fflush(stdout);
}

struct TSeries {
    std::vector<double> Shown, Dropped, Diff, DiffLate, Wall, Cpu;
    void Add(const TFigures& F)
    {
        Shown.push_back(F.Shown);
        Dropped.push_back(F.Dropped);
        Diff.push_back(F.MaxDiffMs);
        DiffLate.push_back(F.MaxDiffLateMs);
        Wall.push_back(F.Wall);
        Cpu.push_back(F.CpuPerSecond);
    }
    void Print(const char* AWho, double ADue) const
    {
        std::printf("%-6s median of %zu: shown %.0f of %.0f due (%.1f %%), dropped %.0f, max |A-V| %.1f ms "
                    "(2nd half %.1f), wall %.3f s, cpu %.3f s per s\n",
                    AWho, Shown.size(), Median(Shown), ADue, ADue > 0 ? 100.0 * Median(Shown) / ADue : 0,
                    Median(Dropped), Median(Diff), Median(DiffLate), Median(Wall), Median(Cpu));
    }
};

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
    bool ffplay = std::system("ffplay -version >/dev/null 2>&1") == 0;
    if (!ffplay) std::printf("no ffplay on the path: ours alone\n");
    TSeries ours, theirs;
    double due = 0, duration = 0;  // known from the first run, which is ours
    std::vector<double> ratios;
    for (int i = 0; i < runs; ++i) {
        TFigures f, g;
        // alternate which goes first, so a trend in the load hits both alike
        bool oursFirst = i % 2 == 0;
        if (oursFirst && !PlayOurs(argv[0], clip, f)) return 1;
        if (oursFirst) due = f.Due, duration = f.Duration;
        if (ffplay && !PlayFfplay(clip, due, duration, g)) ffplay = false;
        if (!oursFirst && !PlayOurs(argv[0], clip, f)) return 1;
        PrintRun("ours", i + 1, f);
        ours.Add(f);
        if (ffplay) {
            PrintRun("ffplay", i + 1, g);
            theirs.Add(g);
            if (g.CpuPerSecond > 0) ratios.push_back(f.CpuPerSecond / g.CpuPerSecond);
        }
    }
    ours.Print("ours", due);
    if (!theirs.Shown.empty()) {
        theirs.Print("ffplay", due);
        std::printf("cpu ratio ours/ffplay: median %.2f (pair by pair)\n", Median(ratios));
    }
    double load[3] = {0, 0, 0};
    if (::getloadavg(load, 3) == 3) std::printf("load average %.1f %.1f %.1f\n", load[0], load[1], load[2]);
    return 0;
}
