// Probing a file and taking its thumbnail in process, against running the
// ffprobe and ffmpeg tools for the same answers.
//
//   tarnello_bench_probe [file]    (default: a 10 s 1080p H.264 file made
//                                   with the ffmpeg tool in /tmp)
// Prints the median times of both ways and their ratio (goal: <= 0.5).
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/BenchTiming.h"
#include "engine/decoder/FFDecode.h"
#include "engine/bindings/FFLoad.h"

namespace {

using bench::Clock;
using bench::Median;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

bool Exists(const std::string& path) {
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 && st.st_size > 0;
}

// The in-process road of adding a file to the queue: probe, stream records,
// a seek and one picture converted to RGB.
bool ProbeAndThumbnail(const std::string& path) {
    TFFDecoder dec(nullptr);
    if (!dec.LoadFile(path)) {
        std::fprintf(stderr, "LoadFile: %s\n", dec.LastErrMsg().c_str());
        return false;
    }
    TFileStreamInfo info = dec.FileStreamInfo();
    TVideoStreamInfo video = dec.FirstVideoStreamInfo();
    for (int i = 0; i < dec.StreamCount(); ++i) dec.IsAudioStream(i);
    (void)video;
    if (!dec.Seek(info.Duration > 2000000 ? 1000000 : 0, {sfBackward}) || !dec.Decode()) {
        std::fprintf(stderr, "thumbnail: %s\n", dec.LastErrMsg().c_str());
        return false;
    }
    return dec.GetBitmapPtr() != nullptr;
}

bool Tools(const std::string& path) {
    std::string probe = "ffprobe -v error -show_format -show_streams '" + path + "' > /dev/null";
    std::string thumb = "ffmpeg -v error -nostdin -y -ss 1 -i '" + path +
                        "' -frames:v 1 -f rawvideo -pix_fmt bgr24 /dev/null";
    return std::system(probe.c_str()) == 0 && std::system(thumb.c_str()) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string path = argc > 1 ? argv[1] : "/tmp/tarnello-bench-1080p.mp4";
    if (!Exists(path)) {
        std::string make = "ffmpeg -v error -nostdin -y -f lavfi -i testsrc2=size=1920x1080:rate=25:duration=10 "
                           "-c:v libx264 -preset veryfast -pix_fmt yuv420p '" + path + "'";
        std::printf("making %s\n", path.c_str());
        if (std::system(make.c_str()) != 0) return 1;
    }
    if (!FFLoader().Load(DecoderLibraries)) {
        std::fprintf(stderr, "%s\n", FFLoader().LastErrMsg().c_str());
        return 1;
    }
    const int runs = 7;
    std::vector<double> engine, tools;
    ProbeAndThumbnail(path);  // warm the file cache and the libraries
    Tools(path);
    for (int i = 0; i < runs; ++i) {
        auto t0 = Clock::now();
        if (!ProbeAndThumbnail(path)) return 1;
        auto t1 = Clock::now();
        if (!Tools(path)) return 1;
        auto t2 = Clock::now();
        engine.push_back(Seconds(t1 - t0));
        tools.push_back(Seconds(t2 - t1));
    }
    double e = Median(engine), t = Median(tools);
    std::printf("probe + thumbnail in process: %.1f ms\n", e * 1000);
    std::printf("ffprobe + ffmpeg -frames:v 1: %.1f ms\n", t * 1000);
    std::printf("ratio: %.3f (goal <= 0.5)\n", e / t);
    return 0;
}
