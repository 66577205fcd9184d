#pragma once
// Test fixtures for the picture codecs and classes: binary file helpers,
// synthetic pictures and pictures made by the ffmpeg tool.
#include "platform/gdi/ImageFormats.h"

#include <string>
#include <vector>

namespace tarnello::test {

std::vector<uint8_t> ReadBinaryFile(const std::string& path);
void WriteBinaryFile(const std::string& path, const std::vector<uint8_t>& data);

// Runs the ffmpeg tool quietly with the given arguments; fails the test when
// it does not succeed.
void RunFFmpeg(const std::string& arguments);

// A picture of the given size and depth with a deterministic pattern in every
// pixel (and palette, for indexed depths); 32-bit pictures get varied alpha.
TDibImage PatternImage(int32_t width, int32_t height, int bitCount, bool is565 = false);

// Peak signal-to-noise ratio of two pictures of the same size over B, G, R.
double Psnr(const TDibImage& a, const TDibImage& b);

}  // namespace tarnello::test
