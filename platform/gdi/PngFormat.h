#pragma once
// PNG pictures through libpng. Every colour type and depth is read; the
// result is 32-bit B, G, R, A when the file has alpha (an alpha channel or a
// transparency chunk) and 24-bit B, G, R otherwise. Writing produces 8-bit RGBA
// for pictures with alpha and 8-bit RGB for the others.
#include "platform/gdi/ImageFormats.h"

// Reads one PNG file, consuming the reader up to and including its end chunk.
TDibImage ReadPng(TImageReader& reader);
TDibImage DecodePng(std::span<const uint8_t> data);

// Appends a PNG file. 32-bit pictures that HasAlpha keep their alpha; any
// other depth is written as RGB.
void WritePng(const TDibImage& image, std::vector<uint8_t>& out, int compressionLevel = 6);
