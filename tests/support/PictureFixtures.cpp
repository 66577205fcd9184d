#include "PictureFixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace tarnello::test {

std::vector<uint8_t> ReadBinaryFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBinaryFile(const std::string& path, const std::vector<uint8_t>& data)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    ASSERT_TRUE(out.good()) << "cannot write " << path;
}

void RunFFmpeg(const std::string& arguments)
{
    const std::string command = "ffmpeg -nostdin -hide_banner -loglevel error -y " + arguments;
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

TDibImage PatternImage(int32_t width, int32_t height, int bitCount, bool is565)
{
    TDibImage img;
    img.Allocate(width, height, bitCount);
    img.Is565 = bitCount == 16 && is565;
    img.HasAlpha = bitCount == 32;
    if (bitCount <= 8) {
        img.Palette.resize(1u << bitCount);
        for (uint32_t i = 0; i < img.Palette.size(); ++i)
            img.Palette[i] = ((i * 37u) & 0xFF) << 16 | ((i * 91u + 7) & 0xFF) << 8 | ((i * 13u + 100) & 0xFF);
    }
    const size_t usedBytes = (static_cast<size_t>(width) * bitCount + 7) / 8;
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = img.Row(y);
        for (size_t i = 0; i < usedBytes; ++i) row[i] = static_cast<uint8_t>(i * 7 + y * 31 + (i * y) % 13);
        // Bits past the last pixel of a row stay zero, as a writer pads them.
        if (const size_t spare = usedBytes * 8 - static_cast<size_t>(width) * bitCount; spare && usedBytes)
            row[usedBytes - 1] &= static_cast<uint8_t>(0xFF << spare);
        if (bitCount == 16 && !is565)
            for (int32_t x = 0; x < width; ++x) row[x * 2 + 1] &= 0x7F;
    }
    return img;
}

double Psnr(const TDibImage& a, const TDibImage& b)
{
    double sum = 0;
    size_t n = 0;
    for (int32_t y = 0; y < a.Height; ++y)
        for (int32_t x = 0; x < a.Width; ++x) {
            const uint32_t p = a.PixelBGRA(x, y), q = b.PixelBGRA(x, y);
            for (int c = 0; c < 3; ++c) {
                const double d = double((p >> (8 * c)) & 0xFF) - double((q >> (8 * c)) & 0xFF);
                sum += d * d;
                ++n;
            }
        }
    if (sum == 0) return 99.0;
    return 10.0 * std::log10(255.0 * 255.0 / (sum / double(n)));
}

}  // namespace tarnello::test
