#pragma once
// Bitmap subtitles over a YUV 4:2:0 picture: palette entries converted from
// RGBA to YUVA (studio range) and a rectangle of palette indices blended into
// the picture, moved inside it when it reaches beyond an edge.
#include <cstdint>

// RGBA (a, r, g, b from bits 24..31, 16..23, 8..15, 0..7) to YUVA (a, Y, U, V
// in the same places); alpha is kept.
uint32_t SubtitleRGBAToYUVA(uint32_t ARGBA);

struct TSubtitleBitmap {
    int x = 0, y = 0, w = 0, h = 0;
    const uint8_t* Indices = nullptr;  // w x h palette indices
    int LineSize = 0;
    const uint32_t* Palette = nullptr;  // YUVA entries
    int Colors = 0;                     // entries in Palette; larger indices count as transparent
};

// Blends ARect into the picture (planes Y, U, V with their line sizes) of
// AWidth x AHeight.
void BlendSubtitleRect(uint8_t* const APlanes[3], const int ALineSizes[3], const TSubtitleBitmap& ARect, int AWidth,
                       int AHeight);
