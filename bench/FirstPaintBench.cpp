// Time from the program's start to the end of its main window's first paint
// on the X server, against a bare Xlib window (map, Expose, fill, XSync) in
// a process of its own, alternated in one run so changing load hits both.
// Each child prints the steady clock's reading when its window is drawn
// (the program does so under TARNELLO_PRINT_FIRST_PAINT=1); the time counts
// from just before the child is spawned.
//
//   xvfb-run -a tarnello_bench_first_paint [runs] [program]   (default 10 runs)
// Prints both medians and the difference (goal: program <= bare + 150 ms).
#include "bench/BenchTiming.h"

#include <X11/Xlib.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace {

double NowMs()
{
    return std::chrono::duration<double, std::milli>(bench::Clock::now().time_since_epoch()).count();
}

// The bare window's child: map, wait for Expose, fill, wait for the server.
int BareWindow()
{
    Display* d = XOpenDisplay(nullptr);
    if (!d)
        return 1;
    const int screen = DefaultScreen(d);
    Window w = XCreateSimpleWindow(d, RootWindow(d, screen), 0, 0, 1000, 700, 0, BlackPixel(d, screen),
                                   WhitePixel(d, screen));
    XSelectInput(d, w, ExposureMask);
    XMapWindow(d, w);
    XEvent e;
    do
        XNextEvent(d, &e);
    while (e.type != Expose);
    GC gc = XCreateGC(d, w, 0, nullptr);
    XSetForeground(d, gc, 0x303840);
    XFillRectangle(d, w, gc, 0, 0, 1000, 700);
    XSync(d, False);
    std::fprintf(stderr, "tarnello: first paint at %.3f ms\n", NowMs());
    std::fflush(stderr);
    XFreeGC(d, gc);
    XCloseDisplay(d);
    return 0;
}

// Starts Argv with Env added, reads its error output until the stamp line
// and returns stamp - start (negative when no stamp came). The child is
// ended afterwards.
double TimeChild(const std::vector<std::string>& Argv, const std::vector<std::string>& Env)
{
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    std::vector<std::string> envText;
    for (char** e = environ; *e; ++e)
        envText.emplace_back(*e);
    envText.insert(envText.end(), Env.begin(), Env.end());
    std::vector<char*> envp, argv;
    for (std::string& s : envText)
        envp.push_back(s.data());
    envp.push_back(nullptr);
    std::vector<std::string> args = Argv;
    for (std::string& s : args)
        argv.push_back(s.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, fds[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&fa, fds[0]);
    pid_t pid = 0;
    const double start = NowMs();
    const int rc = posix_spawn(&pid, argv[0], &fa, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&fa);
    close(fds[1]);
    if (rc != 0) {
        close(fds[0]);
        return -1;
    }
    double result = -1;
    FILE* in = fdopen(fds[0], "r");
    char line[512];
    while (in && std::fgets(line, sizeof line, in)) {
        double stamp = 0;
        if (std::sscanf(line, "tarnello: first paint at %lf ms", &stamp) == 1) {
            result = stamp - start;
            break;
        }
    }
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    if (in)
        std::fclose(in);
    return result;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--bare") == 0)
        return BareWindow();
    if (!std::getenv("DISPLAY")) {
        std::fprintf(stderr, "no X display: run under xvfb-run\n");
        return 1;
    }
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const std::string program = argc > 2 ? argv[2] : TARNELLO_BENCH_PROGRAM;
    const std::string self = std::filesystem::canonical("/proc/self/exe").string();
    // A home of its own, so the program's first start is the same each time
    // and the user's settings stay untouched.
    const std::string home = "/tmp/tarnello-bench-first-paint-" + std::to_string(getpid());
    std::filesystem::create_directories(home);
    const std::vector<std::string> programEnv = {"TARNELLO_PRINT_FIRST_PAINT=1", "TARNELLO_UPDATE_URL=",
                                                 "HOME=" + home, "XDG_CONFIG_HOME=" + home + "/.config",
                                                 "XDG_DATA_HOME=" + home + "/.local/share"};
    std::vector<double> bare, prog;
    for (int r = 0; r < runs; ++r) {
        const double b = TimeChild({self, "--bare"}, {});
        const double p = TimeChild({program}, programEnv);
        if (b < 0 || p < 0) {
            std::fprintf(stderr, "run %d: no first-paint line (bare %.1f, program %.1f)\n", r + 1, b, p);
            std::filesystem::remove_all(home);
            return 1;
        }
        bare.push_back(b);
        prog.push_back(p);
        std::printf("run %d: bare window %.1f ms, program %.1f ms\n", r + 1, b, p);
    }
    std::filesystem::remove_all(home);
    const double mb = bench::Median(bare), mp = bench::Median(prog);
    std::printf("median: bare window %.1f ms, program %.1f ms, difference %.1f ms (goal <= 150 ms): %s\n", mb, mp,
                mp - mb, mp - mb <= 150 ? "met" : "not met");
    return 0;
}
