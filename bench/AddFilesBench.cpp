// Adding files to the queue through the loading job, against the same
// decoder calls (open, seek to the middle, decode, copy into a bitmap) in a
// plain loop, alternated in one run so changing load hits both.
//
//   tarnello_bench_addfiles [files] [runs]   (default 500 files, 5 runs)
// The files are copies of three short clips made with the ffmpeg tool.
// Prints both medians and their ratio (goal: <= 1.3).
#include "bench/BenchTiming.h"
#include "app/core/AppData.h"
#include "app/core/MediaLoading.h"
#include "engine/decoder/FFDecode.h"
#include "engine/encoder/FFEncode.h"
#include "platform/gui/Bitmap.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using bench::Clock;
using bench::Median;

class TSilentDialog : public ILoadingDialog {
public:
    void ShowProgress(const std::string&, int) override {}
    bool CancelRequested() override { return false; }
    void ShowMessage(const std::string& AText) override { std::fprintf(stderr, "%s\n", AText.c_str()); }
};

// The decoder calls alone, as a plain loop.
void PlainLoop(TFFDecoder& dec, const std::vector<std::string>& files)
{
    TBitmap work;
    work.SetPixelFormat(pf24bit);
    for (const std::string& f : files) {
        if (!dec.LoadFile(f))
            continue;
        const int64_t duration = std::max<int64_t>(dec.FileStreamInfo().Duration, 0);
        int video = -1;
        for (int s = 0; s < dec.StreamCount(); ++s)
            if (dec.IsVideoStream(s))
                video = s;
        TVideoStreamInfo info;
        if (video >= 0 && dec.GetVideoStreamInfo(video, info)) {
            work.SetSize(info.Width, info.Height);
            dec.Seek(duration / 2);
            if (dec.Decode(video) && dec.DecodeNextKeyFrame(video))
                dec.CopyToBitmap(&work);
        }
        dec.CloseFile();
    }
}

}  // namespace

int main(int argc, char** argv)
{
    const int count = argc > 1 ? std::atoi(argv[1]) : 500;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    const std::string folder = "/tmp/tarnello-bench-addfiles-" + std::to_string(getpid());
    std::filesystem::create_directories(folder);
    const char* sizes[] = {"320x240", "640x360", "480x360"};
    std::vector<std::string> clips;
    for (int i = 0; i < 3; ++i) {
        const std::string clip = folder + "/clip" + std::to_string(i) + ".mp4";
        const std::string cmd = std::string("ffmpeg -v error -nostdin -y -f lavfi -i testsrc=size=") + sizes[i] +
                                ":rate=25:duration=2 -f lavfi -i sine=duration=2 -c:v libx264 -preset ultrafast "
                                "-pix_fmt yuv420p -c:a aac '" + clip + "'";
        if (std::system(cmd.c_str()) != 0) {
            std::fprintf(stderr, "cannot make %s\n", clip.c_str());
            return 1;
        }
        clips.push_back(clip);
    }
    std::vector<std::string> files;
    for (int i = 0; i < count; ++i) {
        const std::string f = folder + "/file" + std::to_string(i) + ".mp4";
        std::filesystem::copy_file(clips[static_cast<std::size_t>(i % 3)], f);
        files.push_back(f);
    }
    TVAVorarez encoder(nullptr);
    if (!encoder.LoadAVLib("")) {
        std::fprintf(stderr, "%s\n", encoder.LastErrMsg().c_str());
        return 1;
    }
    TSilentDialog dialog;
    std::vector<double> job, loop;
    for (int r = 0; r < runs; ++r) {
        ResetApplicationData();
        App().OpenDialogFiles = files;
        auto t0 = Clock::now();
        LoadPendingFiles(*encoder.Decoder(), dialog, nullptr, false);
        job.push_back(std::chrono::duration<double>(Clock::now() - t0).count());
        if (App().MediaFiles.size() != files.size())
            std::fprintf(stderr, "only %zu of %zu added\n", App().MediaFiles.size(), files.size());
        t0 = Clock::now();
        PlainLoop(*encoder.Decoder(), files);
        loop.push_back(std::chrono::duration<double>(Clock::now() - t0).count());
    }
    ResetApplicationData();
    std::filesystem::remove_all(folder);
    const double mj = Median(job), ml = Median(loop);
    std::printf("add %d files: loading job %.3f s, plain loop %.3f s (medians of %d), ratio %.2f (goal <= 1.3)\n",
                count, mj, ml, runs, mj / ml);
    return 0;
}
