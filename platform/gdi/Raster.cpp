#include "platform/gdi/Raster.h"

#include <algorithm>
#include <cstring>

BYTE Rop2ToRop3(int rop2)
{
    int m = (rop2 - 1) & 0x0F;
    int index = 0;
    for (int p = 0; p < 2; ++p)
        for (int s = 0; s < 2; ++s)
            for (int d = 0; d < 2; ++d)
                if ((m >> (p * 2 + d)) & 1)
                    index |= 1 << (p * 4 + s * 2 + d);
    return static_cast<BYTE>(index);
}

namespace {

inline DWORD Generic(BYTE i, DWORD p, DWORD s, DWORD d)
{
    DWORD r = 0;
    if (i & 0x01) r |= ~p & ~s & ~d;
    if (i & 0x02) r |= ~p & ~s & d;
    if (i & 0x04) r |= ~p & s & ~d;
    if (i & 0x08) r |= ~p & s & d;
    if (i & 0x10) r |= p & ~s & ~d;
    if (i & 0x20) r |= p & ~s & d;
    if (i & 0x40) r |= p & s & ~d;
    if (i & 0x80) r |= p & s & d;
    return r;
}

} // namespace

void Rop3Row(BYTE index, DWORD* d, const DWORD* s, const DWORD* p, DWORD solid, LONG n)
{
    // The common operations get their own loops; the rest go through the
    // minterm form.
    switch (index) {
    case 0xCC: std::memcpy(d, s, static_cast<std::size_t>(n) * 4); return;              // SRCCOPY
    case 0xEE: for (LONG i = 0; i < n; ++i) d[i] |= s[i]; return;                        // SRCPAINT
    case 0x88: for (LONG i = 0; i < n; ++i) d[i] &= s[i]; return;                        // SRCAND
    case 0x66: for (LONG i = 0; i < n; ++i) d[i] ^= s[i]; return;                        // SRCINVERT
    case 0x44: for (LONG i = 0; i < n; ++i) d[i] = s[i] & ~d[i]; return;                 // SRCERASE
    case 0x33: for (LONG i = 0; i < n; ++i) d[i] = ~s[i]; return;                        // NOTSRCCOPY
    case 0xBB: for (LONG i = 0; i < n; ++i) d[i] |= ~s[i]; return;                       // MERGEPAINT
    case 0x55: for (LONG i = 0; i < n; ++i) d[i] = ~d[i]; return;                        // DSTINVERT
    case 0x00: std::fill(d, d + n, 0u); return;                                          // BLACKNESS
    case 0xFF: std::fill(d, d + n, 0xFFFFFFFFu); return;                                 // WHITENESS
    case 0xAA: return;                                                                   // D
    case 0xF0:                                                                           // PATCOPY
        if (p) std::memcpy(d, p, static_cast<std::size_t>(n) * 4);
        else std::fill(d, d + n, solid);
        return;
    case 0x5A:                                                                           // PATINVERT
        for (LONG i = 0; i < n; ++i) d[i] ^= p ? p[i] : solid;
        return;
    case 0xC0:                                                                           // MERGECOPY
        for (LONG i = 0; i < n; ++i) d[i] = s[i] & (p ? p[i] : solid);
        return;
    default:
        for (LONG i = 0; i < n; ++i)
            d[i] = Generic(index, p ? p[i] : solid, s ? s[i] : 0, d[i]);
    }
}

void TBrushPattern::Row(LONG y, LONG x0, LONG n, DWORD* out) const
{
    if (!Brush) {
        std::fill(out, out + n, Solid);
        return;
    }
    LONG pw = Brush->PatternWidth, ph = Brush->PatternHeight;
    LONG py = ((y - OrgY) % ph + ph) % ph;
    const DWORD* row = Brush->Pattern.data() + static_cast<std::size_t>(py) * pw;
    LONG px = ((x0 - OrgX) % pw + pw) % pw;
    for (LONG i = 0; i < n; ++i) {
        DWORD v = row[px];
        out[i] = Brush->MonoPattern ? MonoColors[v & 1] : v;
        if (++px == pw)
            px = 0;
    }
}

TBrushPattern SolidPattern(DWORD pixel)
{
    TBrushPattern p;
    p.Null = false;
    p.Solid = pixel;
    return p;
}

TBrushPattern PatternOf(TDeviceContext& dc, HGDIOBJ brush)
{
    TBrushPattern p;
    TGdiBrush* b = BrushFromHandle(static_cast<HBRUSH>(brush));
    if (!b || b->Style == BS_NULL)
        return p;
    p.Null = false;
    if (b->IsStock() && b->StockIndex() == DC_BRUSH) {
        p.Solid = ColorRefToPixel(dc.State.DCBrushColor);
        return p;
    }
    if (b->Style == BS_PATTERN && b->PatternWidth > 0 && b->PatternHeight > 0) {
        p.Brush = b;
        p.MonoColors[0] = ColorRefToPixel(dc.State.TextColor);
        p.MonoColors[1] = ColorRefToPixel(dc.State.BkColor);
        p.OrgX = dc.Origin().x + dc.State.BrushOrg.x;
        p.OrgY = dc.Origin().y + dc.State.BrushOrg.y;
        return p;
    }
    p.Solid = ColorRefToPixel(b->Color);
    return p;
}

void TSpanWriter::Apply(LONG y, LONG x0, LONG n, BYTE index, const DWORD* s, const TBrushPattern* pattern)
{
    if (n <= 0)
        return;
    const DWORD* p = nullptr;
    DWORD solid = 0;
    if (pattern && RopUsesPattern(index)) {
        if (pattern->IsSolid()) {
            solid = pattern->Solid;
        } else {
            FP.resize(static_cast<std::size_t>(n));
            pattern->Row(y, x0, n, FP.data());
            p = FP.data();
        }
    }
    if (FDst.IsPlain32()) {
        auto* d = reinterpret_cast<DWORD*>(FDst.Row(y)) + x0;
        Rop3Row(index, d, s, p, solid, n);
        return;
    }
    FD.resize(static_cast<std::size_t>(n));
    if (RopUsesDest(index))
        ReadPixels(FDst, y, x0, n, FD.data());
    Rop3Row(index, FD.data(), s, p, solid, n);
    WritePixels(FDst, y, x0, n, FD.data());
}

void TSpanWriter::Rop2(LONG y, LONG x0, LONG n, int rop2, DWORD pixel)
{
    if (n <= 0)
        return;
    BYTE index = Rop2ToRop3(rop2);
    if (FDst.IsPlain32()) {
        auto* d = reinterpret_cast<DWORD*>(FDst.Row(y)) + x0;
        if (index == 0xF0)
            std::fill(d, d + n, pixel);
        else
            Rop3Row(index, d, nullptr, nullptr, pixel, n);
        return;
    }
    FD.resize(static_cast<std::size_t>(n));
    if (RopUsesDest(index))
        ReadPixels(FDst, y, x0, n, FD.data());
    Rop3Row(index, FD.data(), nullptr, nullptr, pixel, n);
    WritePixels(FDst, y, x0, n, FD.data());
}
