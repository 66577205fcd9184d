#pragma once
// The copying and tiling steps shared by the skin-piece compositions
// (SkinImage: nine slices; SkinStrips: strips and frame bands). Source
// rectangles are in piece coordinates; the composer adds the piece's origin
// in its picture. Tiles lay copies of a section from a span's start, the last
// one cut (in target and source alike) where the span ends.
#include "platform/gui/Graphics.h"
#include "platform/rtl/Checked.h"
#include "skin/core/SkinTypes.h"

#include <algorithm>
#include <cstdint>
#include <memory>

namespace skincompose {

constexpr auto kStretchFull = spstFull;
constexpr auto kStretchHorz = spstHorz;

using I64 = std::int64_t;

inline LONG Add(LONG a, LONG b) { return CheckedAdd(a, b); }
inline LONG Sub(LONG a, LONG b) { return CheckedSub(a, b); }

// Copies between the source picture (piece coordinates) and the target.
class TComposer {
public:
    TComposer(TBitmap* dst, TBitmap* src, const TRect& skinRect)
        : FDst(dst), FSrc(src), FOrgX(skinRect.left), FOrgY(skinRect.top)
    {
    }

    // Copies the piece rectangle s (scaled when sizes differ) to d.
    void Copy(const TRect& d, const TRect& s)
    {
        if (d.right <= d.left || d.bottom <= d.top || s.right <= s.left || s.bottom <= s.top)
            return;
        if (d.right <= 0 || d.bottom <= 0 || d.left >= FDst->Width() || d.top >= FDst->Height())
            return;
        const TRect src(Add(s.left, FOrgX), Add(s.top, FOrgY), Add(s.right, FOrgX), Add(s.bottom, FOrgY));
        FDst->Canvas()->CopyRect(d, FSrc->Canvas(), src);
    }

    // Lays copies of the section [a, b) along x from S to E (cut at E);
    // rows: source [r0, r1), target [t0, t1). Nothing when the step is not
    // positive. Tiles wholly outside the target bitmap are skipped.
    void TileX(LONG a, LONG b, LONG r0, LONG r1, LONG S, LONG E, LONG t0, LONG t1)
    {
        TileAlong(a, b, S, E, FDst->Width(), [&](LONG p0, LONG p1, LONG srcEnd) {
            Copy(TRect(p0, t0, p1, t1), TRect(a, r0, srcEnd, r1));
        });
    }

    void TileY(LONG a, LONG b, LONG c0, LONG c1, LONG S, LONG E, LONG t0, LONG t1)
    {
        TileAlong(a, b, S, E, FDst->Height(), [&](LONG p0, LONG p1, LONG srcEnd) {
            Copy(TRect(t0, p0, t1, p1), TRect(c0, a, c1, srcEnd));
        });
    }

    // The client section tiled in two dimensions from (x0, y0), cut at
    // W' x H'.
    void TileClient(const TRect& cl, LONG x0, LONG y0, LONG w, LONG h)
    {
        const I64 cw = static_cast<I64>(cl.right) - cl.left, ch = static_cast<I64>(cl.bottom) - cl.top;
        if (cw <= 0 || ch <= 0 || w < 0 || h < 0)
            return;
        const I64 cols = std::min<I64>(w / cw, (static_cast<I64>(FDst->Width()) - std::min<I64>(x0, 0)) / cw + 1);
        const I64 rows = std::min<I64>(h / ch, (static_cast<I64>(FDst->Height()) - std::min<I64>(y0, 0)) / ch + 1);
        for (I64 k = 0; k <= cols; ++k)
            for (I64 j = 0; j <= rows; ++j) {
                const I64 cx = std::max<I64>(0, (k + 1) * cw - w), cy = std::max<I64>(0, (j + 1) * ch - h);
                if (cw - cx <= 0 || ch - cy <= 0)
                    continue;
                const I64 l = x0 + k * cw, t = y0 + j * ch;
                if (l >= FDst->Width() || t >= FDst->Height() || l + cw - cx <= 0 || t + ch - cy <= 0)
                    continue;
                Copy(TRect(static_cast<LONG>(l), static_cast<LONG>(t), static_cast<LONG>(l + cw - cx),
                           static_cast<LONG>(t + ch - cy)),
                     TRect(cl.left, cl.top, static_cast<LONG>(cl.right - cx), static_cast<LONG>(cl.bottom - cy)));
            }
    }

    // The client section stretched as the type says into nc. With `clip`,
    // strips end at nc's far edge; without, only the bitmap cuts them.
    void StretchClient(const TRect& cl, const TRect& nc, TspStretchType type, bool clip)
    {
        const LONG cw = Sub(cl.right, cl.left), ch = Sub(cl.bottom, cl.top);
        const LONG w = Sub(nc.right, nc.left), h = Sub(nc.bottom, nc.top);
        if (cw <= 0 || ch <= 0)
            return;
        auto temp = std::make_unique<TBitmap>();
        temp->SetPixelFormat(pf32bit);
        temp->SetSize(cw, ch);
        temp->Canvas()->CopyRect(TRect(0, 0, cw, ch), FSrc->Canvas(),
                                 TRect(Add(cl.left, FOrgX), Add(cl.top, FOrgY), Add(cl.right, FOrgX),
                                       Add(cl.bottom, FOrgY)));
        if (w <= 0 || h <= 0)
            return;
        if (type == kStretchFull) {
            FDst->Canvas()->StretchDraw(nc, temp.get());
            return;
        }
        const bool horz = type == kStretchHorz;
        // One strip scaled along the other axis only, then laid side by side.
        auto strip = std::make_unique<TBitmap>();
        strip->SetPixelFormat(pf32bit);
        const LONG sw = horz ? cw : w, sh = horz ? h : ch;
        if (static_cast<I64>(sw) * sh > static_cast<I64>(FDst->Width() + 1) * (FDst->Height() + 1) * 4)
            return;  // a strip far larger than the target cannot show
        strip->SetSize(sw, sh);
        strip->Canvas()->StretchDraw(TRect(0, 0, sw, sh), temp.get());
        const LONG step = horz ? cw : ch;
        const LONG span = horz ? w : h;
        const I64 copies = std::min<I64>(span / step, (horz ? FDst->Width() : FDst->Height()) / step + 1);
        for (I64 i = 0; i <= copies; ++i) {
            const I64 off = i * step;
            I64 len = step;
            if (clip)
                len = std::min<I64>(len, span - off);
            if (len <= 0)
                continue;
            const LONG l = horz ? static_cast<LONG>(nc.left + off) : nc.left;
            const LONG t = horz ? nc.top : static_cast<LONG>(nc.top + off);
            const LONG dw = horz ? static_cast<LONG>(len) : sw, dh = horz ? sh : static_cast<LONG>(len);
            FDst->Canvas()->CopyRect(TRect(l, t, l + dw, t + dh), strip->Canvas(), TRect(0, 0, dw, dh));
        }
    }

public:
    // The tiles of the section [a, b) laid from S to E along one axis whose
    // target extent is `limit`: place(start, end, sourceEnd) for each tile
    // that is not wholly cut off, the last one cut at E.
    template <typename Place>
    static void TileAlong(LONG a, LONG b, LONG S, LONG E, int limit, Place&& place)
    {
        const I64 L = static_cast<I64>(b) - a;
        if (L <= 0 || E < S)
            return;
        const I64 count = (static_cast<I64>(E) - S) / L;
        I64 first = 0;
        if (S < 0)
            first = (-static_cast<I64>(S)) / L;
        const I64 last = std::min(count, (static_cast<I64>(limit) - S) / L + 1);
        for (I64 k = first; k <= last; ++k) {
            const I64 p0 = S + k * L;
            const I64 cut = std::max<I64>(0, p0 + L - E);
            if (L - cut <= 0)
                continue;
            place(static_cast<LONG>(p0), static_cast<LONG>(p0 + L - cut), static_cast<LONG>(b - cut));
        }
    }

    TBitmap* FDst;
    TBitmap* FSrc;
    LONG FOrgX, FOrgY;
};

}  // namespace skincompose
