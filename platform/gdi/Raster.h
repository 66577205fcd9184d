#pragma once
// Row operations shared by the blits and the shape drawing: the ternary
// raster operations on runs of 32-bit pixels, the binary pen operations
// expressed as ternary ones, brush patterns as seen through a DC, and
// helpers to run an operation over a span of any surface format (32-bit
// plain surfaces are worked on in place, others through a row buffer).
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/PensBrushes.h"

#include <vector>

inline BYTE RopIndex(DWORD rop) { return static_cast<BYTE>((rop >> 16) & 0xFF); }
inline bool RopUsesPattern(BYTE i) { return ((i >> 4) & 0x0F) != (i & 0x0F); }
inline bool RopUsesSource(BYTE i) { return ((i >> 2) & 0x33) != (i & 0x33); }
inline bool RopUsesDest(BYTE i) { return ((i >> 1) & 0x55) != (i & 0x55); }
// The ternary operation index of a binary pen mode (R2_*).
BYTE Rop2ToRop3(int rop2);

// D[i] := op(P, S[i], D[i]); P from the pattern row when given, else solid.
void Rop3Row(BYTE index, DWORD* d, const DWORD* s, const DWORD* p, DWORD solid, LONG n);

// A brush as a DC draws it.
struct TBrushPattern {
    bool Null = true;
    DWORD Solid = 0;
    const TGdiBrush* Brush = nullptr;
    DWORD MonoColors[2] = {0, 0};
    LONG OrgX = 0;  // surface position of the pattern's origin
    LONG OrgY = 0;
    bool IsSolid() const { return !Brush; }
    // Pattern pixels for columns x0 .. x0 + n - 1 of surface row y.
    void Row(LONG y, LONG x0, LONG n, DWORD* out) const;
};
TBrushPattern PatternOf(TDeviceContext& dc, HGDIOBJ brush);
TBrushPattern SolidPattern(DWORD pixel);

// Runs operation `index` over n pixels of surface row y from column x0.
// S (n source pixels) may be null when the operation ignores the source.
class TSpanWriter {
public:
    explicit TSpanWriter(const TPixelLayout& dst) : FDst(dst) {}
    void Apply(LONG y, LONG x0, LONG n, BYTE index, const DWORD* s, const TBrushPattern* pattern);
    // Fills with one pixel value using a binary pen mode.
    void Rop2(LONG y, LONG x0, LONG n, int rop2, DWORD pixel);

private:
    const TPixelLayout& FDst;
    std::vector<DWORD> FD, FP;
};

// Invokes f(rect) for each piece of r (surface coordinates, normalised)
// inside the DC's clip.
template <class F>
void ForEachClipPiece(TDeviceContext& dc, const RECT& r, F&& f)
{
    const RECT& b = dc.ClipBounds();
    if (r.right <= b.left || r.left >= b.right || r.bottom <= b.top || r.top >= b.bottom)
        return;
    for (const RECT& c : dc.ClipRects()) {
        if (c.top >= r.bottom)
            break;
        RECT p{c.left > r.left ? c.left : r.left, c.top > r.top ? c.top : r.top,
               c.right < r.right ? c.right : r.right, c.bottom < r.bottom ? c.bottom : r.bottom};
        if (p.left < p.right && p.top < p.bottom)
            f(p);
    }
}
