#include "skin/core/SkinDraw.h"

#include "platform/gdi/Gdi.h"
#include "platform/gdi/SystemModules.h"
#include "platform/rtl/Checked.h"

#include <algorithm>
#include <vector>

TTransparentBltProc MsImg32TransparentBlt = nullptr;
TAlphaBlendProc MsImg32AlphaBlend = nullptr;

namespace {

bool GMsImg32Loaded = false;

enum class TMode { Copy, Blend, Key };

TMode ModeOf(const TspBitmap* b)
{
    if (b->AlphaBlend())
        return TMode::Blend;
    return b->Transparent() ? TMode::Key : TMode::Copy;
}

bool Intersect(TRect& out, const TRect& a, const TRect& b)
{
    out.left = std::max(a.left, b.left);
    out.top = std::max(a.top, b.top);
    out.right = std::min(a.right, b.right);
    out.bottom = std::min(a.bottom, b.bottom);
    return out.right > out.left && out.bottom > out.top;
}

bool IsEmptyRect(const TRect& r) { return r.right <= r.left || r.bottom <= r.top; }

std::int64_t W64(const TRect& r) { return static_cast<std::int64_t>(r.right) - r.left; }
std::int64_t H64(const TRect& r) { return static_cast<std::int64_t>(r.bottom) - r.top; }

void ApplyRow(TMode mode, const TspColor* src, TspColor* dst, int n)
{
    switch (mode) {
    case TMode::Copy: RowKernels.CopyRow(src, dst, n); break;
    case TMode::Blend: RowKernels.BlendRow(src, dst, n); break;
    case TMode::Key: RowKernels.CopyRowSkipKey(src, dst, n); break;
    }
}

// Clip rows from Src starting at (sx, sy); the caller keeps both inside.
void RectCopy(TMode mode, TspBitmap* Dest, TRect Clip, TspBitmap* Src, int sx, int sy)
{
    TMMXGuard guard;
    const int cw = Clip.Width();
    for (int y = Clip.top; y < Clip.bottom; ++y)
        ApplyRow(mode, Src->GetPixelPtr(sx, sy + (y - Clip.top)), Dest->GetPixelPtr(Clip.left, y), cw);
}

void CopyBitmapRectImpl(TspBitmap* D, TRect C, TspBitmap* S, int x, int y) { RectCopy(TMode::Copy, D, C, S, x, y); }
void BlendBitmapRectImpl(TspBitmap* D, TRect C, TspBitmap* S, int x, int y) { RectCopy(TMode::Blend, D, C, S, x, y); }
void TransparentBitmapRectImpl(TspBitmap* D, TRect C, TspBitmap* S, int x, int y)
{
    RectCopy(TMode::Key, D, C, S, x, y);
}

// Nearest-neighbour map of n destination positions starting at offset `from`
// (relative to the destination span) onto the source span [s0, s1).
std::vector<int> BuildMap(std::int64_t from, int n, std::int64_t dLen, int s0, int s1, bool round)
{
    std::vector<int> map(static_cast<std::size_t>(n));
    const int sLen = s1 - s0;
    if (dLen < 2) {
        std::fill(map.begin(), map.end(), (s0 + s1 - 1) / 2);
        return map;
    }
    // The scale is kept in single precision, as the stored factor is.
    const float scale = static_cast<float>(static_cast<double>(sLen - 1) / static_cast<double>(dLen - 1));
    for (int i = 0; i < n; ++i) {
        const double v = static_cast<double>(i + from) * static_cast<double>(scale) + s0;
        std::int64_t m = round ? Round(v) : Trunc(v);
        map[static_cast<std::size_t>(i)] = static_cast<int>(std::clamp<std::int64_t>(m, s0, s1 - 1));
    }
    return map;
}

// Rows of a destination: either a TspBitmap (top-down) or bottom-up DIB
// memory, where row y from the top is memory row Height - 1 - y.
struct TDestRows {
    TspColor* Bits;
    int Width;
    int Height;
    bool BottomUp;
    TspColor* Row(int y) const
    {
        return Bits + static_cast<std::ptrdiff_t>(BottomUp ? Height - 1 - y : y) * Width;
    }
};

void StretchTo(TMode mode, const TDestRows& dest, TRect DstRect, TRect Clip, TspBitmap* Src, TRect SrcRect, bool round)
{
    if (IsEmptyRect(SrcRect) || !dest.Bits)
        return;
    TRect c;
    if (!Intersect(c, Clip, TRect(0, 0, dest.Width, dest.Height)) || !Intersect(c, c, DstRect))
        return;
    if (SrcRect.left < 0 || SrcRect.top < 0 || SrcRect.right > Src->Width() || SrcRect.bottom > Src->Height() ||
        !Src->Bits())
        return;
    TMMXGuard guard;
    const std::int64_t sw = W64(SrcRect), sh = H64(SrcRect), dw = W64(DstRect), dh = H64(DstRect);
    const int cw = c.Width();
    if (sw == dw && sh == dh) {
        const int sx = static_cast<int>(SrcRect.left + (static_cast<std::int64_t>(c.left) - DstRect.left));
        const int sy0 = static_cast<int>(SrcRect.top + (static_cast<std::int64_t>(c.top) - DstRect.top));
        for (int y = c.top; y < c.bottom; ++y)
            ApplyRow(mode, Src->GetPixelPtr(sx, sy0 + (y - c.top)), dest.Row(y) + c.left, cw);
        return;
    }
    const std::vector<int> cols =
        BuildMap(static_cast<std::int64_t>(c.left) - DstRect.left, cw, dw, SrcRect.left, SrcRect.right, round);
    const std::vector<int> rows = BuildMap(static_cast<std::int64_t>(c.top) - DstRect.top, c.Height(), dh,
                                           SrcRect.top, SrcRect.bottom, round);
    std::vector<TspColor> buffer;
    if (mode != TMode::Copy)
        buffer.resize(static_cast<std::size_t>(cw));
    int prevRow = -1;
    for (int y = c.top; y < c.bottom; ++y) {
        const int sy = rows[static_cast<std::size_t>(y - c.top)];
        TspColor* d = dest.Row(y) + c.left;
        if (mode == TMode::Copy) {
            if (sy == prevRow) {
                RowKernels.CopyRow(dest.Row(y - 1) + c.left, d, cw);
            } else {
                const TspColor* s = Src->GetScanLinePtr(sy);
                for (int i = 0; i < cw; ++i)
                    d[i] = s[cols[static_cast<std::size_t>(i)]];
            }
        } else {
            if (sy != prevRow) {
                const TspColor* s = Src->GetScanLinePtr(sy);
                for (int i = 0; i < cw; ++i)
                    buffer[static_cast<std::size_t>(i)] = s[cols[static_cast<std::size_t>(i)]];
            }
            ApplyRow(mode, buffer.data(), d, cw);
        }
        prevRow = sy;
    }
}

TDestRows RowsOf(TspBitmap* b) { return TDestRows{b->Bits(), b->Width(), b->Height(), false}; }

void StretchCopyImpl(TspBitmap* D, TRect R, TRect C, TspBitmap* S, TRect SR)
{
    StretchTo(TMode::Copy, RowsOf(D), R, C, S, SR, false);
}
void StretchBlendImpl(TspBitmap* D, TRect R, TRect C, TspBitmap* S, TRect SR)
{
    StretchTo(TMode::Blend, RowsOf(D), R, C, S, SR, false);
}
void StretchTransparentImpl(TspBitmap* D, TRect R, TRect C, TspBitmap* S, TRect SR)
{
    StretchTo(TMode::Key, RowsOf(D), R, C, S, SR, false);
}

void BlitToDibImpl(TspColor* Bits, TRect R, TRect C, int W, int H, TspBitmap* S, TRect SR)
{
    StretchTo(TMode::Copy, TDestRows{Bits, W, H, true}, R, C, S, SR, true);
}
void BlendToDibImpl(TspColor* Bits, TRect R, TRect C, int W, int H, TspBitmap* S, TRect SR)
{
    StretchTo(TMode::Blend, TDestRows{Bits, W, H, true}, R, C, S, SR, true);
}
void TransparentToDibImpl(TspColor* Bits, TRect R, TRect C, int W, int H, TspBitmap* S, TRect SR)
{
    StretchTo(TMode::Key, TDestRows{Bits, W, H, true}, R, C, S, SR, true);
}

void BlitToDCImpl(HDC DC, int dl, int dt, int dw, int dh, TspBitmap* Src, int sl, int st, int sw, int sh)
{
    SetStretchBltMode(DC, COLORONCOLOR);
    StretchBlt(DC, dl, dt, dw, dh, Src->DC(), sl, st, sw, sh, SRCCOPY);
}

// Captures the destination, draws over it in memory and writes it back.
void ThroughTemporaryImpl(HDC DC, int dl, int dt, int dw, int dh, TspBitmap* Src, int sl, int st, int sw, int sh)
{
    if (dw <= 0 || dh <= 0)
        return;
    TspBitmap temp;
    temp.SetSize(dw, dh);
    if (temp.Empty())
        return;
    BitBlt(temp.DC(), 0, 0, dw, dh, DC, dl, dt, SRCCOPY);
    Src->Draw(&temp, TRect(0, 0, dw, dh), Bounds(sl, st, sw, sh));
    BitBlt(DC, dl, dt, dw, dh, temp.DC(), 0, 0, SRCCOPY);
}

void TransparentBltImpl(HDC DC, int dl, int dt, int dw, int dh, TspBitmap* Src, int sl, int st, int sw, int sh)
{
    MsImg32TransparentBlt(DC, dl, dt, dw, dh, Src->DC(), sl, st, sw, sh, spKeyColor);
}

TspColor* GetDCDibInfoImpl(HDC DC, int& Width, int& Height, int& BitCount)
{
    Width = Height = BitCount = 0;
    HGDIOBJ bmp = GetCurrentObject(DC, OBJ_BITMAP);
    DIBSECTION ds;
    if (!bmp || GetObject(bmp, sizeof ds, &ds) != static_cast<int>(sizeof ds) || !ds.dsBm.bmBits)
        return nullptr;
    Width = ds.dsBmih.biWidth;
    Height = ds.dsBmih.biHeight;
    BitCount = ds.dsBmih.biBitCount;
    // Only plain 32-bit pixels can take TspColor rows as they are.
    if (ds.dsBmih.biCompression == BI_BITFIELDS &&
        !(ds.dsBitfields[0] == 0xFF0000 && ds.dsBitfields[1] == 0xFF00 && ds.dsBitfields[2] == 0xFF))
        BitCount = 0;
    return static_cast<TspColor*>(ds.dsBm.bmBits);
}

constexpr TBlitRoutines DefaultRoutines()
{
    return TBlitRoutines{BlitToDCImpl,         ThroughTemporaryImpl,     ThroughTemporaryImpl,
                         GetDCDibInfoImpl,     BlitToDibImpl,            BlendToDibImpl,
                         TransparentToDibImpl, StretchCopyImpl,          StretchBlendImpl,
                         StretchTransparentImpl, CopyBitmapRectImpl,     BlendBitmapRectImpl,
                         TransparentBitmapRectImpl};
}

TBlitRoutines::TStretch StretchFor(TMode m)
{
    switch (m) {
    case TMode::Blend: return BlitRoutines.StretchBlendBitmap;
    case TMode::Key: return BlitRoutines.StretchTransparentBitmap;
    default: return BlitRoutines.StretchCopyBitmap;
    }
}

TBlitRoutines::TToDC ToDCFor(TMode m)
{
    switch (m) {
    case TMode::Blend: return BlitRoutines.BlendToDC;
    case TMode::Key: return BlitRoutines.TransparentToDC;
    default: return BlitRoutines.BlitToDC;
    }
}

TBlitRoutines::TToDib ToDibFor(TMode m)
{
    switch (m) {
    case TMode::Blend: return BlitRoutines.BlendToDib;
    case TMode::Key: return BlitRoutines.TransparentToDib;
    default: return BlitRoutines.BlitToDib;
    }
}

TRect Moved(TRect r, int dx, int dy)
{
    return TRect(CheckedAdd<LONG>(r.left, dx), CheckedAdd<LONG>(r.top, dy), CheckedAdd<LONG>(r.right, dx),
                 CheckedAdd<LONG>(r.bottom, dy));
}

// The cells of a tiling: each cell cut to DstRect, with its source area
// (SrcRect shortened to the cell's size). f returns nothing.
template <class F>
void ForEachCell(const TRect& DstRect, const TRect& SrcRect, F&& f)
{
    const std::int64_t sw = W64(SrcRect), sh = H64(SrcRect);
    if (sw <= 0 || sh <= 0)
        return;
    const std::int64_t dw = W64(DstRect), dh = H64(DstRect);
    const std::int64_t cols = dw / sw + (dw % sw ? 1 : 0);
    const std::int64_t rows = dh / sh + (dh % sh ? 1 : 0);
    for (std::int64_t i = 0; i <= cols; ++i)
        for (std::int64_t j = 0; j <= rows; ++j) {
            const std::int64_t l = DstRect.left + i * sw, t = DstRect.top + j * sh;
            const std::int64_t r = std::min<std::int64_t>(l + sw, DstRect.right);
            const std::int64_t b = std::min<std::int64_t>(t + sh, DstRect.bottom);
            if (r <= l || b <= t)
                break;
            const TRect cell(static_cast<LONG>(l), static_cast<LONG>(t), static_cast<LONG>(r), static_cast<LONG>(b));
            const TRect src(SrcRect.left, SrcRect.top, static_cast<LONG>(SrcRect.left + (r - l)),
                            static_cast<LONG>(SrcRect.top + (b - t)));
            f(cell, src);
        }
}

POINT WindowOrgOf(HDC DC)
{
    POINT org{};
    GetWindowOrgEx(DC, &org);
    return org;
}

}  // namespace

TBlitRoutines BlitRoutines = DefaultRoutines();

int ScreenBitsPerPixel()
{
    HDC dc = GetDC(nullptr);
    const int bits = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
    ReleaseDC(nullptr, dc);
    return bits;
}

void LoadMsImg32()
{
    const DWORD v = GetVersion();
    const int major = v & 0xFF, minor = (v >> 8) & 0xFF;
    if (!((major == 5 && minor <= 2) || major > 5) || !SystemModuleExists("msimg32.dll"))
        return;
    MsImg32TransparentBlt = reinterpret_cast<TTransparentBltProc>(SystemModuleProc("msimg32.dll", "TransparentBlt"));
    MsImg32AlphaBlend = reinterpret_cast<TAlphaBlendProc>(SystemModuleProc("msimg32.dll", "AlphaBlend"));
    GMsImg32Loaded = true;
}

void UnloadMsImg32()
{
    MsImg32TransparentBlt = nullptr;
    MsImg32AlphaBlend = nullptr;
    GMsImg32Loaded = false;
}

bool IsMsImg32Loaded() { return GMsImg32Loaded; }

void InitBlitRoutines()
{
    BlitRoutines = DefaultRoutines();
    if (IsMsImg32Loaded() && MsImg32TransparentBlt && ScreenBitsPerPixel() > 23)
        BlitRoutines.TransparentToDC = TransparentBltImpl;
}

void SkinBitmapUnitStart()
{
    UseMMX = HasMMX();
    LoadMsImg32();
    InitRowKernels();
    InitBlitRoutines();
}

// ---- TspBitmap drawing ----

void TspBitmap::Draw(HDC DC, int X, int Y) { Draw(DC, X, Y, TRect(0, 0, FWidth, FHeight)); }

void TspBitmap::Draw(HDC DC, int X, int Y, TRect SrcRect)
{
    Draw(DC, TRect(X, Y, CheckedAdd<LONG>(X, SrcRect.Width()), CheckedAdd<LONG>(Y, SrcRect.Height())), SrcRect);
}

void TspBitmap::Draw(HDC DC, TRect DstRect) { Draw(DC, DstRect, TRect(0, 0, FWidth, FHeight)); }

void TspBitmap::Draw(HDC DC, TRect DstRect, TRect SrcRect)
{
    if (TspBitmap* target = FindBitmapByDC(DC)) {
        const POINT org = WindowOrgOf(DC);
        Draw(target, Moved(DstRect, -org.x, -org.y), SrcRect);
        return;
    }
    ToDCFor(ModeOf(this))(DC, DstRect.left, DstRect.top, DstRect.Width(), DstRect.Height(), this, SrcRect.left,
                          SrcRect.top, SrcRect.Width(), SrcRect.Height());
}

void TspBitmap::Draw(TspBitmap* Bitmap, int X, int Y) { Draw(Bitmap, X, Y, TRect(0, 0, FWidth, FHeight)); }

void TspBitmap::Draw(TspBitmap* Bitmap, int X, int Y, TRect SrcRect)
{
    Draw(Bitmap, TRect(X, Y, CheckedAdd<LONG>(X, SrcRect.Width()), CheckedAdd<LONG>(Y, SrcRect.Height())), SrcRect);
}

void TspBitmap::Draw(TspBitmap* Bitmap, TRect DstRect) { Draw(Bitmap, DstRect, TRect(0, 0, FWidth, FHeight)); }

void TspBitmap::Draw(TspBitmap* Bitmap, TRect DstRect, TRect SrcRect)
{
    if (!Bitmap)
        return;
    StretchFor(ModeOf(this))(Bitmap, DstRect, DstRect, this, SrcRect);
}

void TspBitmap::Tile(HDC DC, TRect DstRect, TRect SrcRect)
{
    if (SrcRect.Width() == 0 || SrcRect.Height() == 0)
        return;
    TspBitmap* target = FindBitmapByDC(DC);
    int dibW = 0, dibH = 0, dibBits = 0;
    TspColor* dib = target ? nullptr : BlitRoutines.GetDCDibInfo(DC, dibW, dibH, dibBits);
    const POINT org = WindowOrgOf(DC);
    const TMode mode = ModeOf(this);
    ForEachCell(DstRect, SrcRect, [&](const TRect& cell, const TRect& src) {
        if (target) {
            Draw(target, Moved(cell, -org.x, -org.y), src);
        } else if (dib && dibBits == 32 && dibH > 0) {
            const TRect c = Moved(cell, -org.x, -org.y);
            ToDibFor(mode)(dib, c, c, dibW, dibH, this, src);
        } else {
            ToDCFor(mode)(DC, cell.left, cell.top, cell.Width(), cell.Height(), this, src.left, src.top, src.Width(),
                          src.Height());
        }
    });
}

void TspBitmap::Tile(TspBitmap* Bitmap, TRect DstRect, TRect SrcRect)
{
    if (static_cast<std::int64_t>(SrcRect.Width()) * SrcRect.Height() == 0)
        return;
    ForEachCell(DstRect, SrcRect, [&](const TRect& cell, const TRect& src) { Draw(Bitmap, cell, src); });
}

void TspBitmap::TileClip(HDC DC, TRect DstRect, TRect DstClip, TRect SrcRect)
{
    const bool all = IsEmptyRect(DstClip);
    ForEachCell(DstRect, SrcRect, [&](const TRect& cell, const TRect& src) {
        TRect tmp;
        if (all || Intersect(tmp, cell, DstClip))
            Draw(DC, cell, src);
    });
}

void TspBitmap::TileClip(TspBitmap* Bitmap, TRect DstRect, TRect DstClip, TRect SrcRect)
{
    const bool all = IsEmptyRect(DstClip);
    ForEachCell(DstRect, SrcRect, [&](const TRect& cell, const TRect& src) {
        TRect tmp;
        if (all || Intersect(tmp, cell, DstClip))
            Draw(Bitmap, cell, src);
    });
}

void TspBitmap::MergeDraw(TspBitmap* Bitmap, int X, int Y, TRect SrcRect)
{
    if (!Bitmap || !FBits || !Bitmap->Bits())
        return;
    TMMXGuard guard;
    if (SrcRect.left < 0) {
        X = CheckedSub<int>(X, SrcRect.left);
        SrcRect.left = 0;
    }
    if (SrcRect.top < 0) {
        Y = CheckedSub<int>(Y, SrcRect.top);
        SrcRect.top = 0;
    }
    SrcRect.right = std::min<LONG>(SrcRect.right, Bitmap->Width());
    SrcRect.bottom = std::min<LONG>(SrcRect.bottom, Bitmap->Height());
    for (int x = SrcRect.left; x < SrcRect.right; ++x) {
        const std::int64_t dx = static_cast<std::int64_t>(X) + x - SrcRect.left;
        if (dx < 0 || dx >= FWidth)
            continue;
        for (int y = SrcRect.top; y < SrcRect.bottom; ++y) {
            const std::int64_t dy = static_cast<std::int64_t>(Y) + y - SrcRect.top;
            if (dy < 0 || dy >= FHeight)
                continue;
            TspColor& d = *GetPixelPtr(static_cast<int>(dx), static_cast<int>(dy));
            const TspColor s = *Bitmap->GetPixelPtr(x, y);
            const TspColor a = d >> 24;
            if (a == 0)
                d = s;
            else if (a < 255)
                d = RowKernels.BlendPixel(d, s);
        }
    }
}
