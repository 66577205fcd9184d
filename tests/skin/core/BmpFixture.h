#pragma once
// Small BMP files for skin tests: 24-bit pictures whose pixels follow from
// their position and a seed, so that any two differ and a damaged copy shows.
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace tarnello::test {

inline std::vector<std::uint8_t> MakeBmp(int width, int height, int seed)
{
    const std::uint32_t stride = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
    const std::uint32_t pixels = stride * static_cast<std::uint32_t>(height);
    const std::uint32_t size = 54 + pixels;
    std::vector<std::uint8_t> b(size, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, size);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));
    b[26] = 1;
    b[28] = 24;
    put32(34, pixels);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = &b[54 + static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x) * 3];
            p[0] = static_cast<std::uint8_t>(x + seed);
            p[1] = static_cast<std::uint8_t>(y * 3 + seed);
            p[2] = static_cast<std::uint8_t>(seed * 17);
        }
    return b;
}

inline void WriteBmp(const std::string& path, int width, int height, int seed)
{
    const auto bytes = MakeBmp(width, height, seed);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace tarnello::test
