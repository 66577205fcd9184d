#pragma once
// The pixel-row routines every bulk pixel operation of the skin bitmaps goes
// through, and the two blending sets they are chosen from at start: the plain
// set (background weighed by 255 - a, result opaque) and the vector set
// (background weighed by 256 - a, alpha blended too). The two sets differ in
// their low bits on purpose; callers that compare pictures must know which
// one ran (UseMMX).
#include "platform/rtl/Types.h"

#include <cstdint>

// Blue in bits 0-7, green 8-15, red 16-23, alpha 24-31; straight alpha.
using TspColor = std::uint32_t;
using PspColorArray = TspColor*;

// Pixels of this colour (low 24 bits) are skipped by keyed drawing.
constexpr TspColor spKeyColor = 0x7F007F;

struct TRowKernels {
    TspColor (*BlendPixel)(TspColor Fore, TspColor Back);
    void (*BlendRow)(const TspColor* Src, TspColor* Dst, int Count);
    void (*CopyRowSkipKey)(const TspColor* Src, TspColor* Dst, int Count);
    void (*CopyRow)(const TspColor* Src, TspColor* Dst, int Count);
    void (*FillRow)(TspColor* Dst, int Count, TspColor Color);
    // Inclusive rectangle; rows RowWidth pixels apart; Height is not used.
    void (*FillRectPixels)(TspColor* Bits, int RowWidth, int Height, TspColor Color, int Bottom, int Right, int Top,
                           int Left);
    void (*SetAlphaRow)(TspColor* Dst, int Count, Byte Alpha);
    void (*SetAlphaRect)(TspColor* Bits, int RowWidth, int Height, Byte Alpha, int Bottom, int Right, int Top,
                         int Left);
    void (*ClearKeyAlpha)(TspColor* Dst, int Count, TspColor Key);
};

// Filled once before any bitmap exists (the plain set until then).
extern TRowKernels RowKernels;
extern bool UseMMX;

// Processor test: CPUID present, family 5 or later, MMX bit set.
bool HasMMX();
// Fills RowKernels from HasMMX.
void InitRowKernels();
// Chooses a set explicitly (tests and the blending benchmark).
void SelectRowKernels(bool mmx);
// Ends a stretch of vector work (EMMS when the vector set is in use).
void ClearMMXState();

// Both blend sets, for tests and benchmarks.
TspColor PlainBlendPixel(TspColor Fore, TspColor Back);
void PlainBlendRow(const TspColor* Src, TspColor* Dst, int Count);
TspColor MMXBlendPixel(TspColor Fore, TspColor Back);
void MMXBlendRow(const TspColor* Src, TspColor* Dst, int Count);

// Runs ClearMMXState when it leaves scope, also by an exception.
class TMMXGuard {
public:
    TMMXGuard() = default;
    ~TMMXGuard() { ClearMMXState(); }
    TMMXGuard(const TMMXGuard&) = delete;
    TMMXGuard& operator=(const TMMXGuard&) = delete;
};
