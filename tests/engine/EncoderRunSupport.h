#pragma once
// Runs tasks through the encoder component and keeps their ends, for the
// join, failure and audio-sync tests; clips are made with the ffmpeg tool.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "TranscodeTestSupport.h"
#include "engine/encoder/FFEncode.h"
#include "platform/rtl/Threads.h"

namespace tarnello::test {

class TEncoderRun {
public:
    TEncoderRun()
    {
        Encoder->OnTerminate = TTerminateEvent::Bind(this, &TEncoderRun::OnTerminate);
        Encoder->SetProgressInterval(100);
    }
    // Starts the tasks and serves the main thread until the final end (at
    // most 60 s); false when it did not come.
    bool Run(int AThreads)
    {
        Encoder->Start(AThreads);
        for (int i = 0; i < 6000 && !Final(); ++i)
            CheckSynchronize(10);
        return Final();
    }
    bool Final() const { return !Ends.empty() && Ends.back().TaskIndex == -1; }
    // The end of task ATask; a blank record with TaskIndex -2 when none came.
    TTerminateInfo End(int ATask) const
    {
        for (const TTerminateInfo& e : Ends)
            if (e.TaskIndex == ATask)
                return e;
        TTerminateInfo none;
        none.TaskIndex = -2;
        return none;
    }
    std::unique_ptr<TVAVorarez> Encoder = std::make_unique<TVAVorarez>(nullptr);
    std::vector<TTerminateInfo> Ends;

private:
    void OnTerminate(TObject*, const TTerminateInfo& AInfo) { Ends.push_back(AInfo); }
};

// What a body run in a child process reported, and how the child ended.
struct TChildReport {
    bool Exited = false;
    int Signal = 0;
    std::string Text;
};

// Runs ABody in a child process whose files may not grow past ALimit bytes
// (the limit stays with the child) and returns the text it reported.
inline TChildReport RunWithFileLimit(rlim_t ALimit, const std::function<std::string()>& ABody)
{
    TChildReport r;
    int pipeFd[2];
    if (::pipe(pipeFd) != 0)
        return r;
    const pid_t pid = ::fork();
    if (pid < 0)
        return r;
    if (pid == 0) {
        ::close(pipeFd[0]);
        std::signal(SIGXFSZ, SIG_DFL);
        rlimit limit{ALimit, ALimit};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const std::string report = ABody();
        (void)!::write(pipeFd[1], report.data(), report.size());
        ::_exit(0);
    }
    ::close(pipeFd[1]);
    char buf[512];
    ssize_t got;
    while ((got = ::read(pipeFd[0], buf, sizeof buf)) > 0)
        r.Text.append(buf, size_t(got));
    ::close(pipeFd[0]);
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid)
        return r;
    r.Exited = WIFEXITED(status);
    r.Signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return r;
}

// Makes a clip with the ffmpeg tool from lavfi sources; the command's tail
// (codecs, container options) is AOutputOptions.
inline std::string MakeClip(const std::string& AFile, const std::string& AInputs, const std::string& AOutputOptions)
{
    EXPECT_EQ(RunCommand("ffmpeg -v error -nostdin -y " + AInputs + " " + AOutputOptions + " '" + AFile + "'"), 0)
        << AFile;
    return AFile;
}

inline double ProbeNumber(const std::string& AFile, const std::string& AEntries)
{
    const std::string d = Probe(AFile, AEntries);
    const size_t eq = d.find('=');
    return eq == std::string::npos ? -1 : std::atof(d.c_str() + eq + 1);
}

// The packet time stamps (seconds) of one stream ("v:0", "a:0").
inline std::vector<double> PacketTimes(const std::string& AFile, const std::string& AStream)
{
    std::vector<double> r;
    std::istringstream in(CommandOutput("ffprobe -v error -select_streams " + AStream +
                                        " -show_entries packet=pts_time -of csv=p=0 '" + AFile + "'"));
    std::string line;
    while (std::getline(in, line))
        if (!line.empty() && line != "N/A")
            r.push_back(std::atof(line.c_str()));
    return r;
}

// The sum of a stream's packet durations (seconds): how long it plays.
inline double PacketDurationSum(const std::string& AFile, const std::string& AStream)
{
    double sum = 0;
    std::istringstream in(CommandOutput("ffprobe -v error -select_streams " + AStream +
                                        " -show_entries packet=duration_time -of csv=p=0 '" + AFile + "'"));
    std::string line;
    while (std::getline(in, line))
        sum += std::atof(line.c_str());
    return sum;
}

}  // namespace tarnello::test
