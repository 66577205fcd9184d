#include "skin/core/SkinImage.h"

#include "skin/core/SkinComposer.h"

#include "platform/gui/Graphics.h"
#include "platform/rtl/Checked.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

using namespace skincompose;

struct TGeometry {
    TPoint LTPt, RTPt, LBPt, RBPt;
    TRect ClRect;
    TPoint NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint;
    TRect NewClRect;
};

void Compose(const TGeometry& g, TBitmap* Dst, TBitmap* Src, const TRect& SkinRect, int Width, int Height,
             bool DrawClient, bool LeftStretch, bool TopStretch, bool RightStretch, bool BottomStretch,
             bool StretchEffect, TspStretchType StretchType, bool noRight)
{
    if (!Dst)
        return;
    Dst->SetSize(std::max(Width, 0), std::max(Height, 0));
    if (g.RBPt.x == g.LTPt.x || g.RBPt.y == g.LTPt.y || !Src || Src->Empty() || Dst->Empty())
        return;
    TComposer c(Dst, Src, SkinRect);
    const LONG PW = Sub(SkinRect.right, SkinRect.left), PH = Sub(SkinRect.bottom, SkinRect.top);
    const TRect& cl = g.ClRect;
    const TRect& nc = g.NewClRect;

    // Top side.
    const LONG topEnd = noRight ? Width : g.NewRTPoint.x;
    if (TopStretch)
        c.Copy(TRect(g.NewLTPoint.x, 0, topEnd, nc.top), TRect(g.LTPt.x, 0, g.RTPt.x, cl.top));
    else
        c.TileX(g.LTPt.x, g.RTPt.x, 0, cl.top, g.NewLTPoint.x, topEnd, 0, nc.top);
    // Bottom side.
    const LONG bottomEnd = noRight ? Width : g.NewRBPoint.x;
    if (BottomStretch)
        c.Copy(TRect(g.NewLBPoint.x, nc.bottom, bottomEnd, Height), TRect(g.LBPt.x, cl.bottom, g.RBPt.x, PH));
    else
        c.TileX(g.LBPt.x, g.RBPt.x, cl.bottom, PH, g.NewLBPoint.x, bottomEnd, nc.bottom, Height);
    // Left side.
    if (LeftStretch)
        c.Copy(TRect(0, g.NewLTPoint.y, nc.left, g.NewLBPoint.y), TRect(0, g.LTPt.y, cl.left, g.LBPt.y));
    else
        c.TileY(g.LTPt.y, g.LBPt.y, 0, cl.left, g.NewLTPoint.y, g.NewLBPoint.y, 0, nc.left);
    // Right side.
    if (!noRight) {
        if (RightStretch)
            c.Copy(TRect(nc.right, g.NewRTPoint.y, Width, g.NewRBPoint.y), TRect(cl.right, g.RTPt.y, PW, g.RBPt.y));
        else
            c.TileY(g.RTPt.y, g.RBPt.y, cl.right, PW, g.NewRTPoint.y, g.NewRBPoint.y, nc.right, Width);
    }
    // Corners, each in two parts along its bands.
    c.Copy(TRect(0, 0, g.NewLTPoint.x, nc.top), TRect(0, 0, g.LTPt.x, cl.top));
    c.Copy(TRect(0, nc.top, nc.left, g.NewLTPoint.y), TRect(0, cl.top, cl.left, g.LTPt.y));
    if (!noRight) {
        c.Copy(TRect(g.NewRTPoint.x, 0, Width, nc.top), TRect(g.RTPt.x, 0, PW, cl.top));
        c.Copy(TRect(nc.right, nc.top, Width, g.NewRTPoint.y), TRect(cl.right, cl.top, PW, g.RTPt.y));
    }
    c.Copy(TRect(0, g.NewLBPoint.y, nc.left, Height), TRect(0, g.LBPt.y, cl.left, PH));
    c.Copy(TRect(nc.left, nc.bottom, g.NewLBPoint.x, Height), TRect(cl.left, cl.bottom, g.LBPt.x, PH));
    if (!noRight) {
        c.Copy(TRect(g.NewRBPoint.x, nc.bottom, Width, Height), TRect(g.RBPt.x, cl.bottom, PW, PH));
        c.Copy(TRect(nc.right, g.NewRBPoint.y, Width, nc.bottom), TRect(cl.right, g.RBPt.y, PW, cl.bottom));
    }
    // Client.
    if (!DrawClient)
        return;
    TRect target = nc;
    if (noRight)
        target.right = Width;
    if (StretchEffect)
        c.StretchClient(cl, target, StretchType, true);
    else
        c.TileClient(cl, target.left, target.top, Sub(target.right, target.left), Sub(target.bottom, target.top));
}

}  // namespace

void CreateSkinImage(TPoint LTPt, TPoint RTPt, TPoint LBPt, TPoint RBPt, TRect ClRect, TPoint NewLTPoint,
                     TPoint NewRTPoint, TPoint NewLBPoint, TPoint NewRBPoint, TRect NewClRect, TBitmap* Dst,
                     TBitmap* Src, TRect SkinRect, int Width, int Height, bool DrawClient, bool LeftStretch,
                     bool TopStretch, bool RightStretch, bool BottomStretch, bool StretchEffect,
                     TspStretchType StretchType)
{
    const TGeometry g{LTPt, RTPt, LBPt, RBPt, ClRect, NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint, NewClRect};
    Compose(g, Dst, Src, SkinRect, Width, Height, DrawClient, LeftStretch, TopStretch, RightStretch, BottomStretch,
            StretchEffect, StretchType, false);
}

void CreateSkinImage2(TPoint LTPt, TPoint RTPt, TPoint LBPt, TPoint RBPt, TRect ClRect, TPoint NewLTPoint,
                      TPoint NewRTPoint, TPoint NewLBPoint, TPoint NewRBPoint, TRect NewClRect, TBitmap* Dst,
                      TBitmap* Src, TRect SkinRect, int Width, int Height, bool DrawClient, bool LeftStretch,
                      bool TopStretch, bool RightStretch, bool BottomStretch, bool StretchEffect,
                      TspStretchType StretchType)
{
    CreateSkinImage(LTPt, RTPt, LBPt, RBPt, ClRect, NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint, NewClRect, Dst,
                    Src, SkinRect, Width, Height, DrawClient, LeftStretch, TopStretch, RightStretch, BottomStretch,
                    StretchEffect, StretchType);
}

void CreateLeftSkinImage(TPoint LTPt, TPoint RTPt, TPoint LBPt, TPoint RBPt, TRect ClRect, TPoint NewLTPoint,
                         TPoint NewRTPoint, TPoint NewLBPoint, TPoint NewRBPoint, TRect NewClRect, TBitmap* Dst,
                         TBitmap* Src, TRect SkinRect, int Width, int Height, bool DrawClient, bool LeftStretch,
                         bool TopStretch, bool, bool BottomStretch, bool StretchEffect, TspStretchType StretchType)
{
    const TGeometry g{LTPt, RTPt, LBPt, RBPt, ClRect, NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint, NewClRect};
    Compose(g, Dst, Src, SkinRect, Width, Height, DrawClient, LeftStretch, TopStretch, false, BottomStretch,
            StretchEffect, StretchType, true);
}

void CreateStretchImage(TBitmap* Dst, TBitmap* Src, TRect SkinRect, TRect ClRect, bool DrawClient)
{
    if (!Dst)
        return;
    const LONG PW = Sub(SkinRect.right, SkinRect.left), PH = Sub(SkinRect.bottom, SkinRect.top);
    const int W = Dst->Width(), H = Dst->Height();
    TRect nc = ClRect;
    nc.right = Sub(W, Sub(PW, ClRect.right));
    nc.bottom = Sub(H, Sub(PH, ClRect.bottom));
    const TPoint lt(ClRect.left, ClRect.top), rt(ClRect.right, ClRect.top), lb(ClRect.left, ClRect.bottom),
        rb(ClRect.right, ClRect.bottom);
    const TPoint nlt(nc.left, nc.top), nrt(nc.right, nc.top), nlb(nc.left, nc.bottom), nrb(nc.right, nc.bottom);
    CreateSkinImage(lt, rt, lb, rb, ClRect, nlt, nrt, nlb, nrb, nc, Dst, Src, SkinRect, W, H, DrawClient, true, true,
                    true, true, true, kStretchFull);
}

void CreateSkinClientImage(TRect ClRect, TRect NewClRect, TBitmap* Dst, TBitmap* Src, TRect SkinRect, int Width,
                           int Height, bool StretchEffect, TspStretchType StretchType)
{
    if (!Dst)
        return;
    Dst->SetSize(std::max(Width, 0), std::max(Height, 0));
    const LONG w = Sub(NewClRect.right, NewClRect.left), h = Sub(NewClRect.bottom, NewClRect.top);
    if (w == 0 || h == 0 || !Src || Src->Empty() || Dst->Empty())
        return;
    TComposer c(Dst, Src, SkinRect);
    if (StretchEffect)
        c.StretchClient(ClRect, NewClRect, StretchType, false);
    else
        c.TileClient(ClRect, 0, 0, w, h);
}

// ---- masks ----

TFBitmap::TFBitmap(HBITMAP HBmp)
{
    BITMAP bm;
    if (!GetObject(HBmp, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return;
    bmHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmHeader.biWidth = bm.bmWidth;
    bmHeader.biHeight = -bm.bmHeight;
    bmHeader.biPlanes = 1;
    bmHeader.biBitCount = 24;
    bmHeader.biCompression = BI_RGB;
    bmInfo.bmiHeader = bmHeader;
    void* bits = nullptr;
    Handle = CreateDIBSection(nullptr, &bmInfo, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!Handle || !bits) {
        if (Handle)
            DeleteObject(Handle);
        Handle = nullptr;
        return;
    }
    Bits = static_cast<BYTE*>(bits);
    Width = bm.bmWidth;
    Height = bm.bmHeight;
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, HBmp, 0, static_cast<UINT>(Height), Bits, &bmInfo, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    Gap = Width % 4;
    RowInc = Width * 3 + Gap;
    Size = CheckedMul(RowInc, Height);
    Pixels.resize(static_cast<std::size_t>(Height));
    for (int y = 0; y < Height; ++y)
        Pixels[static_cast<std::size_t>(y)] = reinterpret_cast<TFBColor*>(Bits + static_cast<std::ptrdiff_t>(y) * RowInc);
    hDC = CreateCompatibleDC(nullptr);
    SelectObject(hDC, Handle);
}

TFBitmap::~TFBitmap()
{
    if (hDC)
        DeleteDC(hDC);
    if (Handle)
        DeleteObject(Handle);
}

int CreateRgnDataFromMask(TBitmap* Mask, int OffsetX, int OffsetY, void*& RgnData)
{
    if (!Mask || Mask->Empty() || Mask->Width() <= 0 || Mask->Height() <= 0)
        return 0;
    TFBitmap fb(Mask->Handle());
    if (!fb.Bits)
        return 0;
    // Runs are collected first and copied once; the list grows as needed
    // (a dense mask has more runs than any fixed table would hold).
    std::vector<RECT> runs;
    const LONG right = CheckedAdd<LONG>(fb.Width, OffsetX), bottom = CheckedAdd<LONG>(fb.Height, OffsetY);
    for (int y = 0; y < fb.Height; ++y) {
        const TFBColor* row = fb.Pixels[static_cast<std::size_t>(y)];
        int x = 0;
        while (x < fb.Width) {
            if (row[x].r + row[x].g + row[x].b != 0) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < fb.Width && row[x].r + row[x].g + row[x].b == 0)
                ++x;
            runs.push_back(RECT{start + OffsetX, y + OffsetY, x + OffsetX, y + OffsetY + 1});
        }
    }
    (void)right;
    (void)bottom;
    const int n = CheckedCast<int>(runs.size());
    const int size = CheckedAdd(32, CheckedMul(16, n));
    auto* block = static_cast<BYTE*>(std::calloc(static_cast<std::size_t>(size), 1));
    if (!block)
        throw EOutOfResources("Out of memory for region data");
    RGNDATAHEADER h;
    h.dwSize = 32;
    h.iType = RDH_RECTANGLES;
    h.nCount = static_cast<DWORD>(n);
    h.nRgnSize = 0;
    h.rcBound = RECT{OffsetX, OffsetY, right, bottom};
    std::memcpy(block, &h, sizeof h);
    if (n)
        std::memcpy(block + 32, runs.data(), runs.size() * sizeof(RECT));
    RgnData = block;
    return size;
}

void CreateRegionFromMask(HRGN& Rgn, TBitmap* Mask)
{
    void* data = nullptr;
    const int size = CreateRgnDataFromMask(Mask, 0, 0, data);
    if (size == 0) {
        Rgn = nullptr;
        return;
    }
    Rgn = ExtCreateRegion(nullptr, static_cast<DWORD>(size), static_cast<const RGNDATA*>(data));
    std::free(data);
}

namespace {

void Band(TBitmap* b, int w, int h)
{
    b->SetSize(w, h);
    b->Canvas()->Brush()->SetColor(clWhite);
    b->Canvas()->Brush()->SetStyle(bsSolid);
    b->Canvas()->FillRect(TRect(0, 0, w, h));
}

void MaskCopy(TBitmap* dst, TBitmap* mask, const TRect& d, const TRect& s)
{
    if (d.right <= d.left || d.bottom <= d.top || s.right <= s.left || s.bottom <= s.top)
        return;
    dst->Canvas()->CopyRect(d, mask->Canvas(), s);
}

// Tiles of mask section [a, b) (rows when vertical) along a band from S,
// cut at E.
void MaskTiles(TBitmap* dst, TBitmap* mask, bool vertical, LONG a, LONG b, LONG o0, LONG o1, LONG S, LONG E)
{
    const std::int64_t L = static_cast<std::int64_t>(b) - a;
    if (L <= 0 || E < S)
        return;
    const std::int64_t limit = vertical ? dst->Height() : dst->Width();
    for (std::int64_t k = S < 0 ? -static_cast<std::int64_t>(S) / L : 0; S + k * L < std::min<std::int64_t>(E, limit);
         ++k) {
        const std::int64_t p = S + k * L;
        const std::int64_t cut = std::max<std::int64_t>(0, p + L - E);
        if (L - cut <= 0)
            continue;
        if (vertical)
            MaskCopy(dst, mask, TRect(o0, static_cast<LONG>(p), o1, static_cast<LONG>(p + L - cut)),
                     TRect(o0, a, o1, static_cast<LONG>(b - cut)));
        else
            MaskCopy(dst, mask, TRect(static_cast<LONG>(p), 0, static_cast<LONG>(p + L - cut), o1 - o0),
                     TRect(a, o0, static_cast<LONG>(b - cut), o1));
    }
}

}  // namespace

void CreateBorderMasks(TPoint LTPt, TPoint RTPt, TPoint LBPt, TPoint RBPt, TRect ClRect, TPoint NewLTPoint,
                       TPoint NewRTPoint, TPoint NewLBPoint, TPoint NewRBPoint, TRect NewClRect, TBitmap* Mask,
                       TBitmap* TopMask, TBitmap* LeftMask, TBitmap* RightMask, TBitmap* BottomMask, int Width, int)
{
    if (!Mask || Mask->Empty())
        return;
    const LONG MW = Mask->Width(), MH = Mask->Height();
    const LONG bandH = Sub(NewClRect.bottom, NewClRect.top);
    const LONG RW = Sub(MW, ClRect.right), BH = Sub(MH, ClRect.bottom);

    // Left and right bands: side tiles from the band's top, then the corner
    // parts at both ends.
    auto side = [&](TBitmap* band, LONG bw, LONG c0, LONG c1, LONG topY, LONG bottomY) {
        if (!band || bw <= 0 || bandH <= 0)
            return;
        Band(band, bw, bandH);
        // The band's own columns are 0 .. bw; the mask's are c0 .. c1.
        const std::int64_t L = static_cast<std::int64_t>(bottomY) - topY;
        if (L > 0)
            for (std::int64_t p = 0; p < bandH; p += L) {
                const std::int64_t len = std::min<std::int64_t>(L, bandH - p);
                MaskCopy(band, Mask, TRect(0, static_cast<LONG>(p), bw, static_cast<LONG>(p + len)),
                         TRect(c0, topY, c1, static_cast<LONG>(topY + len)));
            }
        const LONG topPart = Sub(topY, ClRect.top), bottomPart = Sub(ClRect.bottom, bottomY);
        if (topPart > 0)
            MaskCopy(band, Mask, TRect(0, 0, bw, topPart), TRect(c0, ClRect.top, c1, topY));
        if (bottomPart > 0)
            MaskCopy(band, Mask, TRect(0, bandH - bottomPart, bw, bandH), TRect(c0, bottomY, c1, ClRect.bottom));
    };
    side(LeftMask, ClRect.left, 0, ClRect.left, LTPt.y, LBPt.y);
    side(RightMask, RW, ClRect.right, MW, RTPt.y, RBPt.y);

    auto across = [&](TBitmap* band, LONG bh, LONG r0, LONG r1, LONG a, LONG b, LONG S, LONG E) {
        if (!band || bh <= 0 || Width <= 0)
            return;
        Band(band, Width, bh);
        if (b != a)
            MaskTiles(band, Mask, false, a, b, r0, r1, S, E);
        MaskCopy(band, Mask, TRect(0, 0, a, bh), TRect(0, r0, a, r1));
        MaskCopy(band, Mask, TRect(E, 0, Width, bh), TRect(b, r0, MW, r1));
    };
    across(TopMask, ClRect.top, 0, ClRect.top, LTPt.x, RTPt.x, NewLTPoint.x, NewRTPoint.x);
    across(BottomMask, BH, ClRect.bottom, MH, LBPt.x, RBPt.x, NewLBPoint.x, NewRBPoint.x);
    (void)NewLBPoint;
    (void)NewRBPoint;
}

HRGN RegionFromBorderMasks(TBitmap* TopMask, TBitmap* LeftMask, TBitmap* RightMask, TBitmap* BottomMask,
                           TRect NewClRect)
{
    std::vector<HRGN> parts;
    auto add = [&](TBitmap* band, int dx, int dy) {
        if (!band || band->Empty() || band->Width() <= 0 || band->Height() <= 0)
            return;
        void* data = nullptr;
        const int size = CreateRgnDataFromMask(band, dx, dy, data);
        if (size == 0)
            return;
        parts.push_back(ExtCreateRegion(nullptr, static_cast<DWORD>(size), static_cast<const RGNDATA*>(data)));
        std::free(data);
    };
    add(TopMask, 0, 0);
    add(BottomMask, 0, NewClRect.bottom);
    add(LeftMask, 0, NewClRect.top);
    add(RightMask, NewClRect.right, NewClRect.top);
    if (NewClRect.right > NewClRect.left && NewClRect.bottom > NewClRect.top)
        parts.push_back(CreateRectRgn(NewClRect.left, NewClRect.top, NewClRect.right, NewClRect.bottom));
    if (parts.empty())
        return nullptr;
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    for (HRGN p : parts) {
        if (p)
            CombineRgn(rgn, rgn, p, RGN_OR);
        DeleteObject(p);
    }
    return rgn;
}

void CreateSkinRegion(HRGN& Rgn, TPoint LTPt, TPoint RTPt, TPoint LBPt, TPoint RBPt, TRect ClRect, TPoint NewLTPoint,
                      TPoint NewRTPoint, TPoint NewLBPoint, TPoint NewRBPoint, TRect NewClRect, TBitmap* Mask,
                      int Width, int Height)
{
    Rgn = nullptr;
    if (NewRTPoint.x < NewLTPoint.x || NewLBPoint.y < NewLTPoint.y)
        return;
    TBitmap top, left, right, bottom;
    CreateBorderMasks(LTPt, RTPt, LBPt, RBPt, ClRect, NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint, NewClRect, Mask,
                      &top, &left, &right, &bottom, Width, Height);
    Rgn = RegionFromBorderMasks(&top, &left, &right, &bottom, NewClRect);
}
