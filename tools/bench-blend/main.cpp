// Blends a 1920 x 1080 32-bit picture over another with each kernel set and
// compares the throughput with a plain memcpy of the same bytes.
#include "skin/core/SkinKernels.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int kW = 1920, kH = 1080, kRounds = 60;

template <class F>
double BestSeconds(F&& f)
{
    double best = 1e9;
    for (int r = 0; r < 5; ++r) {
        const auto t0 = std::chrono::steady_clock::now();
        for (int i = 0; i < kRounds / 5; ++i)
            f();
        const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() / (kRounds / 5);
        best = s < best ? s : best;
    }
    return best;
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
    const double bytes = static_cast<double>(n) * 4;
    const double tCopy = BestSeconds([&] { std::memcpy(dst.data(), src.data(), n * 4); });
    auto blend = [&](void (*row)(const TspColor*, TspColor*, int)) {
        std::memcpy(dst.data(), back.data(), n * 4);
        return BestSeconds([&] {
            for (int y = 0; y < kH; ++y)
                row(src.data() + static_cast<std::size_t>(y) * kW, dst.data() + static_cast<std::size_t>(y) * kW, kW);
        });
    };
    const double tPlain = blend(PlainBlendRow);
    const double tVector = blend(MMXBlendRow);
    std::printf("picture 1920x1080, 32 bits, mixed alpha\n");
    std::printf("memcpy        %8.1f MB/s  %6.3f ms\n", bytes / tCopy / 1e6, tCopy * 1e3);
    std::printf("plain blend   %8.1f MB/s  %6.3f ms  %5.2fx memcpy time\n", bytes / tPlain / 1e6, tPlain * 1e3,
                tPlain / tCopy);
    std::printf("vector blend  %8.1f MB/s  %6.3f ms  %5.2fx memcpy time\n", bytes / tVector / 1e6, tVector * 1e3,
                tVector / tCopy);
    std::printf("kernel set chosen at start: %s\n", HasMMX() ? "vector" : "plain");
    return 0;
}
