#include "platform/gdi/Blit.h"

#include "platform/gdi/Raster.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

struct TAxis {
    LONG Start = 0;    // normalised start
    LONG Size = 0;     // normalised size (> 0)
    bool Negative = false;
};

TAxis Normalise(LONG origin, LONG extent)
{
    TAxis a;
    a.Negative = extent < 0;
    a.Start = extent < 0 ? origin + extent : origin;
    a.Size = extent < 0 ? -extent : extent;
    return a;
}

// A source as the blit reads it: its layout (colours replaced for one-bit
// device-dependent bitmaps) and the rule for colour-to-mono conversion.
struct TSource {
    TPixelLayout Layout;
    RGBQUAD Mono[2];
    bool ToMono = false;
    DWORD MonoBk = 0;
};

RGBQUAD QuadOf(COLORREF c)
{
    RGBQUAD q;
    q.rgbRed = GetRValue(c);
    q.rgbGreen = GetGValue(c);
    q.rgbBlue = GetBValue(c);
    return q;
}

void PrepareSource(TSource& s, const TGdiBitmap* srcBmp, const TPixelLayout& layout, TDeviceContext& dst,
                   COLORREF srcBk)
{
    s.Layout = layout;
    bool dstMono = dst.Surface() && dst.Surface()->BitCount() == 1;
    if (srcBmp && srcBmp->MonoDDB && !dstMono) {
        s.Mono[0] = QuadOf(dst.State.TextColor);
        s.Mono[1] = QuadOf(dst.State.BkColor);
        s.Layout.Colors = s.Mono;
        s.Layout.ColorCount = 2;
    }
    if (dstMono && layout.BitCount != 1) {
        s.ToMono = true;
        s.MonoBk = ColorRefToPixel(srcBk);
    }
}

// Maps destination columns (or rows) to source ones, nearest pixel. Entry i
// belongs to destination position dstStart + i.
void BuildMap(const TAxis& d, const TAxis& s, bool mirror, LONG from, LONG to, std::vector<LONG>& map)
{
    map.resize(static_cast<std::size_t>(std::max<LONG>(0, to - from)));
    for (LONG p = from; p < to; ++p) {
        long long t = p - d.Start;
        if (mirror)
            t = d.Size - 1 - t;
        map[static_cast<std::size_t>(p - from)] = s.Start + static_cast<LONG>(t * s.Size / d.Size);
    }
}

// The sub-range [lo, hi) of destination positions whose source lies inside
// [0, limit); maps are monotonic, so that range is contiguous.
void ValidRange(const std::vector<LONG>& map, LONG from, LONG limit, LONG& lo, LONG& hi)
{
    LONG n = static_cast<LONG>(map.size());
    LONG a = 0, b = n;
    while (a < n && (map[static_cast<std::size_t>(a)] < 0 || map[static_cast<std::size_t>(a)] >= limit)) ++a;
    while (b > a && (map[static_cast<std::size_t>(b - 1)] < 0 || map[static_cast<std::size_t>(b - 1)] >= limit)) --b;
    lo = from + a;
    hi = from + b;
}

// Where a stretched transfer writes: the destination rectangle cut to the
// clip bounds and to the positions whose source pixel exists, plus the maps.
struct TPlan {
    TAxis DX, DY, SX, SY;
    bool MirrorX = false, MirrorY = false;
    bool Identity = false;  // same size, no mirroring
    RECT Area{};            // surface coordinates of the destination
    std::vector<LONG> ColMap, RowMap;  // indexed from Area.left / Area.top
    bool Empty = true;
};

bool MakePlan(TDeviceContext& dst, const TAxis& dx, const TAxis& dy, const TAxis& sx, const TAxis& sy,
              bool mirrorX, bool mirrorY, LONG srcW, LONG srcH, TPlan& plan)
{
    plan.DX = dx; plan.DY = dy; plan.SX = sx; plan.SY = sy;
    plan.MirrorX = mirrorX; plan.MirrorY = mirrorY;
    plan.Identity = dx.Size == sx.Size && dy.Size == sy.Size && !mirrorX && !mirrorY;
    const RECT& cb = dst.ClipBounds();
    LONG x0 = std::max(dx.Start, cb.left), x1 = std::min(dx.Start + dx.Size, cb.right);
    LONG y0 = std::max(dy.Start, cb.top), y1 = std::min(dy.Start + dy.Size, cb.bottom);
    if (x0 >= x1 || y0 >= y1)
        return false;
    BuildMap(dx, sx, mirrorX, x0, x1, plan.ColMap);
    BuildMap(dy, sy, mirrorY, y0, y1, plan.RowMap);
    LONG lx, hx, ly, hy;
    ValidRange(plan.ColMap, x0, srcW, lx, hx);
    ValidRange(plan.RowMap, y0, srcH, ly, hy);
    if (lx >= hx || ly >= hy)
        return false;
    plan.ColMap.erase(plan.ColMap.begin() + (hx - x0), plan.ColMap.end());
    plan.ColMap.erase(plan.ColMap.begin(), plan.ColMap.begin() + (lx - x0));
    plan.RowMap.erase(plan.RowMap.begin() + (hy - y0), plan.RowMap.end());
    plan.RowMap.erase(plan.RowMap.begin(), plan.RowMap.begin() + (ly - y0));
    plan.Area = RECT{lx, ly, hx, hy};
    plan.Empty = false;
    return true;
}

// Produces the source pixels of each destination row piece and hands them
// to a sink: sink(y, x0, n, S).
class TRowSource {
public:
    TRowSource(const TPlan& plan, const TSource& src, int mode) : FPlan(plan), FSrc(src), FMode(mode) {}

    const DWORD* Get(LONG y, LONG x0, LONG n)
    {
        FOut.resize(static_cast<std::size_t>(n));
        LONG ci = x0 - FPlan.Area.left;
        if (FPlan.Identity) {
            LONG sy = FPlan.RowMap[static_cast<std::size_t>(y - FPlan.Area.top)];
            ReadPixels(FSrc.Layout, sy, FPlan.ColMap[static_cast<std::size_t>(ci)], n, FOut.data());
        } else if (FMode != COLORONCOLOR && (FPlan.SX.Size > FPlan.DX.Size || FPlan.SY.Size > FPlan.DY.Size)) {
            // Shrinking: HALFTONE averages the pixels a destination pixel
            // covers; the classic modes AND (BLACKONWHITE) or OR
            // (WHITEONBLACK) them, so black or white lines survive.
            Average(y, ci, n);
        } else {
            LONG sy = FPlan.RowMap[static_cast<std::size_t>(y - FPlan.Area.top)];
            LoadRow(sy);
            for (LONG i = 0; i < n; ++i)
                FOut[static_cast<std::size_t>(i)] = FRow[static_cast<std::size_t>(FPlan.ColMap[static_cast<std::size_t>(ci + i)] - FRowX0)];
        }
        if (FSrc.ToMono)
            for (DWORD& p : FOut)
                p = (p & 0xFFFFFF) == FSrc.MonoBk ? 0xFFFFFFu : 0u;
        return FOut.data();
    }

private:
    void LoadRow(LONG sy)
    {
        if (sy == FRowY)
            return;
        auto [lo, hi] = std::minmax_element(FPlan.ColMap.begin(), FPlan.ColMap.end());
        FRowX0 = *lo;
        LONG n = *hi - *lo + 1;
        FRow.resize(static_cast<std::size_t>(n));
        ReadPixels(FSrc.Layout, sy, FRowX0, n, FRow.data());
        FRowY = sy;
    }

    // Source span [a, b) of destination position t along an axis.
    static void Span(const TAxis& d, const TAxis& s, bool mirror, LONG pos, LONG limit, LONG& a, LONG& b)
    {
        long long t = pos - d.Start;
        if (mirror)
            t = d.Size - 1 - t;
        a = s.Start + static_cast<LONG>(t * s.Size / d.Size);
        b = s.Start + static_cast<LONG>((t + 1) * s.Size / d.Size);
        if (b <= a)
            b = a + 1;
        a = std::max<LONG>(a, 0);
        b = std::min(b, limit);
        if (b <= a)
            b = a + 1;
    }

    void Average(LONG y, LONG ci, LONG n)
    {
        // Source column spans of every destination column, made once.
        if (FSpanA.empty()) {
            LONG w = FPlan.Area.right - FPlan.Area.left;
            FSpanA.resize(static_cast<std::size_t>(w));
            FSpanB.resize(static_cast<std::size_t>(w));
            for (LONG i = 0; i < w; ++i)
                Span(FPlan.DX, FPlan.SX, FPlan.MirrorX, FPlan.Area.left + i, FSrc.Layout.Width,
                     FSpanA[static_cast<std::size_t>(i)], FSpanB[static_cast<std::size_t>(i)]);
        }
        LONG ya, yb;
        Span(FPlan.DY, FPlan.SY, FPlan.MirrorY, y, FSrc.Layout.Height, ya, yb);
        const LONG* xa = FSpanA.data() + ci;
        const LONG* xb = FSpanB.data() + ci;
        LONG lo = 0x7FFFFFFF, hi = -1;
        for (LONG i = 0; i < n; ++i) {
            lo = std::min(lo, xa[i]);
            hi = std::max(hi, xb[i]);
        }
        FRow.resize(static_cast<std::size_t>(hi - lo));
        if (FMode != HALFTONE) {
            bool andScans = FMode == BLACKONWHITE;
            std::fill(FOut.begin(), FOut.begin() + n, andScans ? 0xFFFFFFFFu : 0u);
            for (LONG sy = ya; sy < yb; ++sy) {
                ReadPixels(FSrc.Layout, sy, lo, hi - lo, FRow.data());
                const DWORD* row = FRow.data() - lo;
                for (LONG i = 0; i < n; ++i) {
                    DWORD& out = FOut[static_cast<std::size_t>(i)];
                    for (LONG sx = xa[i]; sx < xb[i]; ++sx)
                        out = andScans ? (out & row[sx]) : (out | row[sx]);
                }
            }
            FRowY = -1;
            return;
        }
        FSums.assign(static_cast<std::size_t>(n) * 4, 0);
        for (LONG sy = ya; sy < yb; ++sy) {
            ReadPixels(FSrc.Layout, sy, lo, hi - lo, FRow.data());
            const DWORD* row = FRow.data() - lo;
            DWORD* sum = FSums.data();
            for (LONG i = 0; i < n; ++i, sum += 4)
                for (LONG sx = xa[i]; sx < xb[i]; ++sx) {
                    DWORD p = row[sx];
                    sum[0] += p & 0xFF;
                    sum[1] += (p >> 8) & 0xFF;
                    sum[2] += (p >> 16) & 0xFF;
                    sum[3] += p >> 24;
                }
        }
        FRowY = -1;
        const DWORD* sum = FSums.data();
        for (LONG i = 0; i < n; ++i, sum += 4) {
            DWORD count = static_cast<DWORD>((xb[i] - xa[i]) * (yb - ya));
            auto avg = [count](DWORD v) { return (v + count / 2) / count; };
            FOut[static_cast<std::size_t>(i)] = avg(sum[0]) | (avg(sum[1]) << 8) | (avg(sum[2]) << 16) | (avg(sum[3]) << 24);
        }
    }

    std::vector<LONG> FSpanA, FSpanB;
    std::vector<DWORD> FSums;
    const TPlan& FPlan;
    const TSource& FSrc;
    int FMode;
    std::vector<DWORD> FOut, FRow;
    LONG FRowY = -1;
    LONG FRowX0 = 0;
};

// Runs the plan over the DC's clip, giving each row piece its source pixels.
template <class Sink>
void RunPlan(TDeviceContext& dst, const TPlan& plan, const TSource& src, int mode, Sink&& sink)
{
    TRowSource rows(plan, src, mode);
    ForEachClipPiece(dst, plan.Area, [&](const RECT& piece) {
        for (LONG y = piece.top; y < piece.bottom; ++y)
            sink(y, piece.left, piece.right - piece.left, rows.Get(y, piece.left, piece.right - piece.left));
    });
}

// A private copy of pixel memory that also serves as destination, so that
// overlapping transfers within one bitmap read the picture as it was.
struct TSnapshot {
    std::vector<BYTE> Bytes;
    void Take(TPixelLayout& layout)
    {
        Bytes.assign(layout.Bits, layout.Bits + static_cast<std::size_t>(layout.Stride) * layout.Height);
        layout.Bits = Bytes.data();
    }
};

// Plain 32-bit to plain 32-bit copy, unscaled: whole rows with memcpy.
void CopyRows32(TDeviceContext& dst, const TPlan& plan, const TPixelLayout& src)
{
    const TPixelLayout& d = *dst.Layout();
    ForEachClipPiece(dst, plan.Area, [&](const RECT& piece) {
        LONG sx = plan.ColMap[static_cast<std::size_t>(piece.left - plan.Area.left)];
        std::size_t bytes = static_cast<std::size_t>(piece.right - piece.left) * 4;
        for (LONG y = piece.top; y < piece.bottom; ++y) {
            LONG sy = plan.RowMap[static_cast<std::size_t>(y - plan.Area.top)];
            std::memcpy(d.Row(y) + piece.left * 4, src.Row(sy) + sx * 4, bytes);
        }
    });
}

// Extents beyond this cannot belong to any surface; refusing them keeps the
// coordinate arithmetic in range.
bool SaneExtent(long long v)
{
    return v > -(1LL << 27) && v < (1LL << 27);
}

struct TBlitArgs {
    TDeviceContext* Dst = nullptr;
    TAxis DX, DY, SX, SY;
    bool MirrorX = false, MirrorY = false;
    bool Invalid = false;  // extents out of range, as opposed to empty
};

// Destination and source rectangles in surface coordinates.
bool Prepare(TDeviceContext& dst, int x, int y, int w, int h, TDeviceContext* src, int xs, int ys, int ws, int hs,
             TBlitArgs& a)
{
    a.Invalid = !SaneExtent(w) || !SaneExtent(h) || !SaneExtent(ws) || !SaneExtent(hs) || !SaneExtent(xs) ||
                !SaneExtent(ys);
    if (a.Invalid || w == 0 || h == 0 || ws == 0 || hs == 0)
        return false;
    a.Dst = &dst;
    a.DX = Normalise(dst.ToSurfaceX(x), w);
    a.DY = Normalise(dst.ToSurfaceY(y), h);
    a.SX = Normalise(src ? src->ToSurfaceX(xs) : xs, ws);
    a.SY = Normalise(src ? src->ToSurfaceY(ys) : ys, hs);
    a.MirrorX = a.DX.Negative != a.SX.Negative;
    a.MirrorY = a.DY.Negative != a.SY.Negative;
    return true;
}

BOOL TransferFromLayout(TDeviceContext& dst, const TBlitArgs& a, const TGdiBitmap* srcBmp, TPixelLayout srcLayout,
                        COLORREF srcBk, DWORD rop)
{
    const TPixelLayout* dl = dst.Layout();
    if (!dl)
        return FALSE_;
    BYTE index = RopIndex(rop);
    TPlan plan;
    if (!MakePlan(dst, a.DX, a.DY, a.SX, a.SY, a.MirrorX, a.MirrorY, srcLayout.Width, srcLayout.Height, plan))
        return TRUE_;
    TSnapshot snapshot;
    if (srcLayout.Bits == dl->Bits)
        snapshot.Take(srcLayout);
    bool dstMono = dl->BitCount == 1;
    bool srcMonoDDB = srcBmp && srcBmp->MonoDDB;
    if (index == 0xCC && plan.Identity && dl->IsPlain32() && srcLayout.IsPlain32() && !srcMonoDDB && !dstMono) {
        CopyRows32(dst, plan, srcLayout);
        return TRUE_;
    }
    TSource src;
    PrepareSource(src, srcBmp, srcLayout, dst, srcBk);
    TBrushPattern pattern = PatternOf(dst, dst.State.Brush);
    if (RopUsesPattern(index) && pattern.Null)
        pattern = SolidPattern(0);
    TSpanWriter writer(*dl);
    int mode = dst.State.StretchMode;
    RunPlan(dst, plan, src, mode, [&](LONG y, LONG x0, LONG n, const DWORD* s) {
        writer.Apply(y, x0, n, index, s, &pattern);
    });
    return TRUE_;
}

BOOL PatternOnly(TDeviceContext& dst, int x, int y, int w, int h, DWORD rop)
{
    const TPixelLayout* dl = dst.Layout();
    if (!dl)
        return FALSE_;
    BYTE index = RopIndex(rop);
    if (!SaneExtent(w) || !SaneExtent(h))
        return FALSE_;
    TAxis ax = Normalise(dst.ToSurfaceX(x), w), ay = Normalise(dst.ToSurfaceY(y), h);
    TBrushPattern pattern = PatternOf(dst, dst.State.Brush);
    if (RopUsesPattern(index) && pattern.Null)
        return TRUE_;  // a hollow brush paints nothing
    TSpanWriter writer(*dl);
    RECT r{ax.Start, ay.Start, ax.Start + ax.Size, ay.Start + ay.Size};
    ForEachClipPiece(dst, r, [&](const RECT& piece) {
        for (LONG yy = piece.top; yy < piece.bottom; ++yy)
            writer.Apply(yy, piece.left, piece.right - piece.left, index, nullptr, &pattern);
    });
    return TRUE_;
}

} // namespace

BOOL StretchBlt(HDC hdst, int x, int y, int w, int h, HDC hsrc, int xs, int ys, int ws, int hs, DWORD rop)
{
    TDeviceContext* dst = TDeviceContext::FromHandle(hdst);
    if (!dst)
        return FALSE_;
    BYTE index = RopIndex(rop);
    if (!RopUsesSource(index))
        return PatternOnly(*dst, x, y, w, h, rop);
    TDeviceContext* src = TDeviceContext::FromHandle(hsrc);
    if (!src || !src->Surface())
        return FALSE_;
    TBlitArgs a;
    if (!Prepare(*dst, x, y, w, h, src, xs, ys, ws, hs, a))
        return a.Invalid ? FALSE_ : TRUE_;
    return TransferFromLayout(*dst, a, src->Surface(), src->Surface()->Layout, src->State.BkColor, rop);
}

BOOL BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int xs, int ys, DWORD rop)
{
    return StretchBlt(dst, x, y, w, h, src, xs, ys, w, h, rop);
}

BOOL PatBlt(HDC dc, int x, int y, int w, int h, DWORD rop)
{
    TDeviceContext* ctx = TDeviceContext::FromHandle(dc);
    if (!ctx || RopUsesSource(RopIndex(rop)))
        return FALSE_;
    return PatternOnly(*ctx, x, y, w, h, rop);
}

BOOL TransparentBlt(HDC hdst, int x, int y, int w, int h, HDC hsrc, int xs, int ys, int ws, int hs, UINT key)
{
    TDeviceContext* dst = TDeviceContext::FromHandle(hdst);
    TDeviceContext* src = TDeviceContext::FromHandle(hsrc);
    if (!dst || !src || !src->Surface() || !dst->Layout() || w < 0 || h < 0 || ws < 0 || hs < 0)
        return FALSE_;
    const TPixelLayout& sl = src->Surface()->Layout;
    TBlitArgs a;
    if (!Prepare(*dst, x, y, w, h, src, xs, ys, ws, hs, a))
        return a.Invalid ? FALSE_ : TRUE_;
    if (a.SX.Start < 0 || a.SY.Start < 0 || a.SX.Start + a.SX.Size > sl.Width || a.SY.Start + a.SY.Size > sl.Height)
        return FALSE_;
    // The key is compared as the source format stores it.
    DWORD keyPixel = ColorRefToPixel(key & 0xFFFFFF);
    if (sl.BitCount != 32 && sl.BitCount != 24) {
        std::vector<BYTE> one(8, 0);
        TPixelLayout probe = sl;
        probe.Bits = one.data();
        probe.Height = 1;
        probe.Stride = 8;
        probe.BottomUp = false;
        WritePixels(probe, 0, 0, 1, &keyPixel);
        ReadPixels(probe, 0, 0, 1, &keyPixel);
    }
    keyPixel &= 0xFFFFFF;
    TPlan plan;
    TPixelLayout srcLayout = sl;
    if (!MakePlan(*dst, a.DX, a.DY, a.SX, a.SY, a.MirrorX, a.MirrorY, sl.Width, sl.Height, plan))
        return TRUE_;
    TSnapshot snapshot;
    if (srcLayout.Bits == dst->Layout()->Bits)
        snapshot.Take(srcLayout);
    TSource s;
    PrepareSource(s, src->Surface(), srcLayout, *dst, src->State.BkColor);
    const TPixelLayout& dl = *dst->Layout();
    std::vector<DWORD> row;
    RunPlan(*dst, plan, s, COLORONCOLOR, [&](LONG yy, LONG x0, LONG n, const DWORD* sp) {
        if (dl.IsPlain32()) {
            auto* d = reinterpret_cast<DWORD*>(dl.Row(yy)) + x0;
            for (LONG i = 0; i < n; ++i)
                if ((sp[i] & 0xFFFFFF) != keyPixel)
                    d[i] = sp[i];
            return;
        }
        row.resize(static_cast<std::size_t>(n));
        ReadPixels(dl, yy, x0, n, row.data());
        for (LONG i = 0; i < n; ++i)
            if ((sp[i] & 0xFFFFFF) != keyPixel)
                row[static_cast<std::size_t>(i)] = sp[i];
        WritePixels(dl, yy, x0, n, row.data());
    });
    return TRUE_;
}

namespace {

// Two channels at once in 16-bit lanes (blue/red, green/alpha): each lane
// times k, divided by 255 with rounding (exact for lane values up to 255).
inline DWORD MulLanes(DWORD lanes, DWORD k)
{
    DWORD x = lanes * k + 0x00800080u;
    return ((x + ((x >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
}

// Adds two lane pairs, clamping each lane to 255.
inline DWORD AddLanesSaturated(DWORD a, DWORD b)
{
    DWORD sum = a + b;
    DWORD carry = sum & 0x01000100u;
    return (sum | (carry - (carry >> 8))) & 0x00FF00FFu;
}

// Source-over with a premultiplied source pixel; channels saturate when the
// source is not properly premultiplied.
inline DWORD Over(DWORD s, DWORD d)
{
    DWORD inv = 255 - (s >> 24);
    DWORD rb = AddLanesSaturated(s & 0x00FF00FFu, MulLanes(d & 0x00FF00FFu, inv));
    DWORD ga = AddLanesSaturated((s >> 8) & 0x00FF00FFu, MulLanes((d >> 8) & 0x00FF00FFu, inv));
    return rb | (ga << 8);
}

inline DWORD Scale(DWORD p, DWORD k)
{
    return MulLanes(p & 0x00FF00FFu, k) | (MulLanes((p >> 8) & 0x00FF00FFu, k) << 8);
}

void BlendRow(DWORD* d, const DWORD* s, LONG n, DWORD constant, bool perPixel)
{
    if (perPixel) {
        if (constant == 255) {
            // Branch-free: opaque and empty pixels come out of Over exactly,
            // and the loop vectorises.
            for (LONG i = 0; i < n; ++i)
                d[i] = Over(s[i], d[i]);
        } else {
            for (LONG i = 0; i < n; ++i)
                d[i] = Over(Scale(s[i], constant), d[i]);
        }
        return;
    }
    // Constant alpha only: d = s * k + d * (1 - k) per channel, rounded once.
    DWORD k = constant, inv = 255 - constant;
    for (LONG i = 0; i < n; ++i) {
        DWORD p = s[i], q = d[i];
        DWORD rb = (p & 0x00FF00FFu) * k + (q & 0x00FF00FFu) * inv + 0x00800080u;
        DWORD ga = ((p >> 8) & 0x00FF00FFu) * k + ((q >> 8) & 0x00FF00FFu) * inv + 0x00800080u;
        rb = ((rb + ((rb >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
        ga = ((ga + ((ga >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
        d[i] = rb | (ga << 8);
    }
}

} // namespace

BOOL AlphaBlend(HDC hdst, int x, int y, int w, int h, HDC hsrc, int xs, int ys, int ws, int hs, BLENDFUNCTION blend)
{
    TDeviceContext* dst = TDeviceContext::FromHandle(hdst);
    TDeviceContext* src = TDeviceContext::FromHandle(hsrc);
    if (!dst || !src || !src->Surface() || !dst->Layout() || blend.BlendOp != AC_SRC_OVER)
        return FALSE_;
    if (w < 0 || h < 0 || ws < 0 || hs < 0)
        return FALSE_;
    const TPixelLayout& sl = src->Surface()->Layout;
    bool perPixel = (blend.AlphaFormat & AC_SRC_ALPHA) != 0;
    if (perPixel && sl.BitCount != 32)
        return FALSE_;
    TBlitArgs a;
    if (!Prepare(*dst, x, y, w, h, src, xs, ys, ws, hs, a))
        return a.Invalid ? FALSE_ : TRUE_;
    if (a.SX.Start < 0 || a.SY.Start < 0 || a.SX.Start + a.SX.Size > sl.Width || a.SY.Start + a.SY.Size > sl.Height)
        return FALSE_;
    DWORD constant = blend.SourceConstantAlpha;
    if (constant == 0)
        return TRUE_;
    TPlan plan;
    if (!MakePlan(*dst, a.DX, a.DY, a.SX, a.SY, false, false, sl.Width, sl.Height, plan))
        return TRUE_;
    TPixelLayout srcLayout = sl;
    TSnapshot snapshot;
    if (srcLayout.Bits == dst->Layout()->Bits)
        snapshot.Take(srcLayout);
    const TPixelLayout& dl = *dst->Layout();
    if (plan.Identity && dl.IsPlain32() && srcLayout.IsPlain32()) {
        ForEachClipPiece(*dst, plan.Area, [&](const RECT& piece) {
            LONG sx = plan.ColMap[static_cast<std::size_t>(piece.left - plan.Area.left)];
            for (LONG yy = piece.top; yy < piece.bottom; ++yy) {
                LONG sy = plan.RowMap[static_cast<std::size_t>(yy - plan.Area.top)];
                BlendRow(reinterpret_cast<DWORD*>(dl.Row(yy)) + piece.left,
                         reinterpret_cast<const DWORD*>(srcLayout.Row(sy)) + sx, piece.right - piece.left, constant,
                         perPixel);
            }
        });
        return TRUE_;
    }
    TSource s;
    PrepareSource(s, src->Surface(), srcLayout, *dst, src->State.BkColor);
    std::vector<DWORD> row;
    RunPlan(*dst, plan, s, COLORONCOLOR, [&](LONG yy, LONG x0, LONG n, const DWORD* sp) {
        if (dl.IsPlain32()) {
            BlendRow(reinterpret_cast<DWORD*>(dl.Row(yy)) + x0, sp, n, constant, perPixel);
            return;
        }
        row.resize(static_cast<std::size_t>(n));
        ReadPixels(dl, yy, x0, n, row.data());
        BlendRow(row.data(), sp, n, constant, perPixel);
        WritePixels(dl, yy, x0, n, row.data());
    });
    return TRUE_;
}

int StretchDIBits(HDC dc, int x, int y, int w, int h, int xs, int ys, int ws, int hs, const void* bits,
                  const BITMAPINFO* info, UINT usage, DWORD rop)
{
    TDeviceContext* dst = TDeviceContext::FromHandle(dc);
    if (!dst || !dst->Layout())
        return 0;
    BYTE index = RopIndex(rop);
    if (!RopUsesSource(index))
        return PatternOnly(*dst, x, y, w, h, rop) ? std::abs(h) : 0;
    TPixelLayout src;
    std::vector<RGBQUAD> colors;
    if (!bits || !LayoutFromInfo(info, usage, bits, src, colors))
        return 0;
    TBlitArgs a;
    if (!Prepare(*dst, x, y, w, h, nullptr, xs, ys, ws, hs, a))
        return 0;
    // Bottom-up DIBs count source rows from the bottom edge.
    if (src.BottomUp)
        a.SY.Start = src.Height - (a.SY.Start + a.SY.Size);
    if (!TransferFromLayout(*dst, a, nullptr, src, dst->State.BkColor, rop))
        return 0;
    return std::abs(h);
}

int SetDIBitsToDevice(HDC dc, int x, int y, DWORD width, DWORD height, int xs, int ys, UINT start, UINT lines,
                      const void* bits, const BITMAPINFO* info, UINT usage)
{
    TDeviceContext* dst = TDeviceContext::FromHandle(dc);
    if (!dst || !dst->Layout() || !bits || width > 0x7FFFFFFF || height > 0x7FFFFFFF)
        return 0;
    TPixelLayout full;
    std::vector<RGBQUAD> colors;
    if (!LayoutFromInfo(info, usage, bits, full, colors))
        return 0;
    if (lines == 0 || start >= static_cast<UINT>(full.Height))
        return 0;
    LONG count = static_cast<LONG>(std::min<UINT>(lines, static_cast<UINT>(full.Height) - start));
    // `bits` holds only the given band of scan lines.
    TPixelLayout band = full;
    band.Height = count;
    LONG w = static_cast<LONG>(width), h = static_cast<LONG>(height);
    if (!SaneExtent(w) || !SaneExtent(h) || !SaneExtent(x) || !SaneExtent(y) || !SaneExtent(xs) || !SaneExtent(ys))
        return 0;
    if (w == 0 || h == 0)
        return count;
    // Source rows as positions in the band (top-down), and the band's rows
    // that the source rectangle covers.
    LONG top, bottom;  // band rows [top, bottom) and the dest row of `top`
    LONG destTop;
    if (full.BottomUp) {
        // Scan lines count from the bottom: line L is band row
        // (start + count - 1 - L); the source rect covers lines [ys, ys + h),
        // its top line ys + h - 1 drawn at dest row y.
        LONG firstLine = std::max<LONG>(ys, static_cast<LONG>(start));
        LONG lastLine = std::min<LONG>(ys + h, static_cast<LONG>(start) + count);  // exclusive
        if (firstLine >= lastLine)
            return count;
        top = static_cast<LONG>(start) + count - lastLine;
        bottom = static_cast<LONG>(start) + count - firstLine;
        destTop = y + (ys + h - lastLine);
    } else {
        LONG firstRow = std::max<LONG>(ys, static_cast<LONG>(start));
        LONG lastRow = std::min<LONG>(ys + h, static_cast<LONG>(start) + count);
        if (firstRow >= lastRow)
            return count;
        top = firstRow - static_cast<LONG>(start);
        bottom = lastRow - static_cast<LONG>(start);
        destTop = y + (firstRow - ys);
    }
    TBlitArgs a;
    LONG rows = bottom - top;
    if (!Prepare(*dst, x, destTop, w, rows, nullptr, xs, top, w, rows, a))
        return count;
    // Prepare mapped the destination through the DC; the band is addressed directly.
    TransferFromLayout(*dst, a, nullptr, band, dst->State.BkColor, SRCCOPY);
    return count;
}
