// Blends a 1920 x 1080 32-bit picture over another with each kernel set and
// compares the throughput with a plain memcpy of the same bytes. The three
// are timed in turn, many times, and the best time of each counts, so that
// a busy machine disturbs the comparison as little as possible.
#include "skin/core/SkinKernels.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int kW = 1920, kH = 1080, kRounds = 300;

template <class F>
double Seconds(F&& f)
{
    const auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace

int main()
{
    const std::size_t n = static_cast<std::size_t>(kW) * kH;
    std::vector<TspColor> src(n), dst(n), back(n);
    // A picture with every alpha, as glow layers and anti-aliased edges have.
    for (std::size_t i = 0; i < n; ++i) {
        src[i] = static_cast<TspColor>((i * 2654435761u) & 0xFFFFFF) | (static_cast<TspColor>(i % 256) << 24);
        back[i] = static_cast<TspColor>((i * 40503u) | 0xFF000000u);
    }
    std::memcpy(dst.data(), back.data(), n * 4);
    auto blend = [&](void (*row)(const TspColor*, TspColor*, int)) {
        for (int y = 0; y < kH; ++y)
            row(src.data() + static_cast<std::size_t>(y) * kW, dst.data() + static_cast<std::size_t>(y) * kW, kW);
    };
    double tCopy = 1e9, tPlain = 1e9, tVector = 1e9;
    for (int r = 0; r < kRounds; ++r) {
        tCopy = std::min(tCopy, Seconds([&] { std::memcpy(dst.data(), src.data(), n * 4); }));
        tVector = std::min(tVector, Seconds([&] { blend(MMXBlendRow); }));
        if (r % 10 == 0)
            tPlain = std::min(tPlain, Seconds([&] { blend(PlainBlendRow); }));
    }
    const double bytes = static_cast<double>(n) * 4;
    std::printf("picture 1920x1080, 32 bits, every alpha; best of %d runs\n", kRounds);
    std::printf("memcpy        %8.1f MB/s  %6.3f ms\n", bytes / tCopy / 1e6, tCopy * 1e3);
    std::printf("plain blend   %8.1f MB/s  %6.3f ms  %5.2fx memcpy time\n", bytes / tPlain / 1e6, tPlain * 1e3,
                tPlain / tCopy);
    std::printf("vector blend  %8.1f MB/s  %6.3f ms  %5.2fx memcpy time\n", bytes / tVector / 1e6, tVector * 1e3,
                tVector / tCopy);
    std::printf("kernel set chosen at start: %s\n", HasMMX() ? "vector" : "plain");
    return 0;
}
