#pragma once
// Icon (.ico) and cursor (.cur) files: a directory of pictures of several
// sizes and depths, each a DIB with an AND mask or an embedded PNG. Entries
// decode to 32-bit B, G, R, A: a picture with its own alpha keeps it; the
// AND mask makes the others transparent where its bits are set.
#include "platform/gdi/ImageFormats.h"

struct TIconEntry {
    int32_t Width = 0;   // from the directory (0 there means 256)
    int32_t Height = 0;
    int BitCount = 0;    // 0 when the directory does not say
    TPoint HotSpot;      // cursors only
    uint32_t Offset = 0;
    uint32_t Size = 0;
};

struct TIconDirectory {
    bool IsCursor = false;
    std::vector<TIconEntry> Entries;
};

// Reads and checks the directory: every entry must lie inside data.
TIconDirectory ReadIconDirectory(std::span<const uint8_t> data);
// Decodes one entry of the file.
TDibImage DecodeIconEntry(std::span<const uint8_t> data, const TIconEntry& entry);
// The entry to show at a wanted size: an exact size match with the most bits,
// else the smallest larger one, else the largest.
size_t BestIconEntry(const TIconDirectory& directory, int32_t width, int32_t height);
// Bytes an icon or cursor file occupies from its start (directory and all
// entries), so that a reader can stop at its end.
size_t IconFileExtent(std::span<const uint8_t> data);

struct TIconImage {
    TDibImage Image;             // any depth
    std::vector<uint8_t> Mask;   // optional AND mask: 1-bit rows, top row first, ImageStride(Width, 1) each
    TPoint HotSpot;
};
// Appends an icon or cursor file holding the given pictures as DIB entries.
// Without a mask, a 32-bit picture with alpha gets one from its alpha bytes
// and any other picture is wholly opaque.
void WriteIcon(const std::vector<TIconImage>& images, std::vector<uint8_t>& out, bool cursor = false);
