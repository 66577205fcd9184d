#pragma once
// JPEG pictures through libjpeg. Grey, YCbCr, RGB, CMYK and YCCK files are
// read to 24-bit B, G, R; pictures are written as baseline YCbCr JFIF with a
// quality of 1..100.
#include "platform/gdi/ImageFormats.h"

struct TJpegReadOptions {
    int ScaleDenominator = 1;  // 1, 2, 4 or 8: decode at that fraction of the size
    bool FastDct = false;      // faster, slightly less exact decoding
};

TDibImage DecodeJpeg(std::span<const uint8_t> data, const TJpegReadOptions& options = {});
// Reads the header only: the full-size width and height.
TSize JpegSize(std::span<const uint8_t> data);

// Appends a JPEG file of the picture (any depth; alpha is dropped).
void WriteJpeg(const TDibImage& image, std::vector<uint8_t>& out, int quality = 90, bool grayscale = false);
