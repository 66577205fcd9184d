#pragma once
// BMP files and bare DIBs: reading every header generation (core, info, V4,
// V5), 1/4/8/16/24/32 bits, palettes, bit fields, RLE4/RLE8, bottom-up and
// top-down rows; writing an info-header BMP of the picture's own depth.
// A file is read to the end of its own pixel data and no further, so several
// pictures can follow one another in one stream.
#include "platform/gdi/GdiTypes.h"
#include "platform/gdi/ImageFormats.h"

#include <array>

// Bit fields with an alpha mask, as some writers store 32-bit pictures.
constexpr DWORD BI_ALPHABITFIELDS = 6;

// The info header of a DIB as found in a file or resource, with its masks
// and palette already read.
struct TDibHeader {
    uint32_t HeaderSize = 0;
    int32_t Width = 0;
    int32_t Height = 0;          // as stored: negative for top-down rows
    int BitCount = 0;
    uint32_t Compression = BI_RGB;
    uint32_t SizeImage = 0;
    std::array<uint32_t, 4> Masks{};  // red, green, blue, alpha; 0 when absent
    std::vector<uint32_t> Palette;
    uint32_t ProfileData = 0;    // V5: offset of an embedded colour profile from the header
    uint32_t ProfileSize = 0;
    uint64_t BytesRead = 0;      // header, masks and palette
};

// Reads an info header, its masks and its palette; raises EInvalidGraphic for
// headers this reader does not know or values it cannot use.
TDibHeader ReadDibHeader(TImageReader& reader);
// Reads the pixel rows described by header (rows rows; the header's own height
// may differ, as in icons) into a picture with top row first.
TDibImage ReadDibBits(TImageReader& reader, const TDibHeader& header, int32_t rows);

// One whole BMP file (file header included).
TDibImage ReadBmp(TImageReader& reader);
TDibImage DecodeBmp(std::span<const uint8_t> data);

// Appends a BMP file of the picture's depth: a 40-byte info header, bit
// fields for 5-6-5 pixels, the palette, rows bottom-up.
void WriteBmp(const TDibImage& image, std::vector<uint8_t>& out);
