#pragma once
// PNG pictures through libpng. Every colour type and depth is read; the
// result is 32-bit B, G, R, A when the file has alpha (an alpha channel or a
// transparency chunk) and 24-bit B, G, R otherwise. Writing produces 8-bit RGBA
// for pictures with alpha and 8-bit RGB for the others.
#include "platform/gdi/ImageFormats.h"

// What the file itself said, before expansion.
struct TPngInfo {
    int ColorType = 0;   // 0 grey, 2 RGB, 3 palette, 4 grey + alpha, 6 RGBA
    int BitDepth = 0;
    // A single fully transparent colour (tRNS of grey and RGB pictures, or a
    // palette whose only non-opaque entry is fully transparent): 0x00RRGGBB.
    bool HasTransparentColor = false;
    uint32_t TransparentColor = 0;
};

// Reads one PNG file, consuming the reader up to and including its end chunk.
TDibImage ReadPng(TImageReader& reader, TPngInfo* info = nullptr);
TDibImage DecodePng(std::span<const uint8_t> data, TPngInfo* info = nullptr);

// Appends a PNG file. 32-bit pictures that HasAlpha keep their alpha; any
// other depth is written as RGB.
void WritePng(const TDibImage& image, std::vector<uint8_t>& out, int compressionLevel = 6);
