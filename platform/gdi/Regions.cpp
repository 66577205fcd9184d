#include "platform/gdi/Regions.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Coordinates beyond this are refused: they cannot come from a real surface,
// and keeping them small rules out overflow in offsets and sizes.
constexpr long long CoordLimit = 1 << 27;

using TSpans = std::vector<std::pair<LONG, LONG>>;

bool ValidRect(const RECT& r)
{
    return r.left < r.right && r.top < r.bottom;
}

// Appends band [y0, y1) with the given spans, merging it into the previous
// band when that one ends at y0 and has the same spans.
class TBandWriter {
public:
    explicit TBandWriter(std::vector<RECT>& out) : FOut(out) {}
    void Emit(LONG y0, LONG y1, const TSpans& spans)
    {
        if (spans.empty() || y0 >= y1)
            return;
        if (FPrevCount == spans.size() && FPrevBottom == y0) {
            bool same = true;
            for (std::size_t i = 0; i < spans.size() && same; ++i) {
                const RECT& r = FOut[FPrevStart + i];
                same = r.left == spans[i].first && r.right == spans[i].second;
            }
            if (same) {
                for (std::size_t i = 0; i < spans.size(); ++i)
                    FOut[FPrevStart + i].bottom = y1;
                FPrevBottom = y1;
                return;
            }
        }
        FPrevStart = FOut.size();
        FPrevCount = spans.size();
        FPrevBottom = y1;
        for (auto& s : spans)
            FOut.push_back(RECT{s.first, y0, s.second, y1});
    }

private:
    std::vector<RECT>& FOut;
    std::size_t FPrevStart = 0;
    std::size_t FPrevCount = 0;
    LONG FPrevBottom = 0;
};

// The spans of a banded rect list at row y; index advances monotonically.
void SpansAt(const std::vector<RECT>& rects, std::size_t& index, LONG y, TSpans& spans)
{
    spans.clear();
    while (index < rects.size() && rects[index].bottom <= y)
        ++index;
    for (std::size_t i = index; i < rects.size() && rects[i].top <= y; ++i)
        spans.emplace_back(rects[i].left, rects[i].right);
}

bool Apply(int mode, bool a, bool b)
{
    switch (mode) {
    case RGN_AND: return a && b;
    case RGN_OR: return a || b;
    case RGN_XOR: return a != b;
    case RGN_DIFF: return a && !b;
    default: return a;
    }
}

void CombineSpans(const TSpans& a, const TSpans& b, int mode, TSpans& out)
{
    out.clear();
    std::vector<LONG> xs;
    xs.reserve((a.size() + b.size()) * 2);
    for (auto& s : a) { xs.push_back(s.first); xs.push_back(s.second); }
    for (auto& s : b) { xs.push_back(s.first); xs.push_back(s.second); }
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    std::size_t ia = 0, ib = 0;
    for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
        LONG x0 = xs[i], x1 = xs[i + 1];
        while (ia < a.size() && a[ia].second <= x0) ++ia;
        while (ib < b.size() && b[ib].second <= x0) ++ib;
        bool inA = ia < a.size() && a[ia].first <= x0;
        bool inB = ib < b.size() && b[ib].first <= x0;
        if (!Apply(mode, inA, inB))
            continue;
        if (!out.empty() && out.back().second == x0)
            out.back().second = x1;
        else
            out.emplace_back(x0, x1);
    }
}

} // namespace

int TRegion::Complexity() const
{
    if (FRects.empty())
        return NULLREGION;
    return FRects.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

void TRegion::Clear()
{
    FRects.clear();
    FBounds = RECT{};
}

void TRegion::SetRect(const RECT& r)
{
    FRects.clear();
    RECT n{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
           std::max(r.top, r.bottom)};
    if (ValidRect(n))
        FRects.push_back(n);
    UpdateBounds();
}

void TRegion::UpdateBounds()
{
    if (FRects.empty()) {
        FBounds = RECT{};
        return;
    }
    FBounds = FRects.front();
    FBounds.bottom = FRects.back().bottom;
    for (const RECT& r : FRects) {
        FBounds.left = std::min(FBounds.left, r.left);
        FBounds.right = std::max(FBounds.right, r.right);
    }
}

void TRegion::Offset(int dx, int dy)
{
    for (RECT& r : FRects) {
        r.left += dx;
        r.right += dx;
        r.top += dy;
        r.bottom += dy;
    }
    UpdateBounds();
}

bool TRegion::Contains(int x, int y) const
{
    if (FRects.empty() || x < FBounds.left || x >= FBounds.right || y < FBounds.top || y >= FBounds.bottom)
        return false;
    for (const RECT& r : FRects) {
        if (r.top > y)
            break;
        if (y < r.bottom && x >= r.left && x < r.right)
            return true;
    }
    return false;
}

bool TRegion::Intersects(const RECT& q) const
{
    for (const RECT& r : FRects) {
        if (r.top >= q.bottom)
            break;
        if (r.bottom > q.top && r.left < q.right && r.right > q.left)
            return true;
    }
    return false;
}

void TRegion::Combine(const TRegion& a, const TRegion& b, int mode)
{
    if (mode == RGN_COPY) {
        if (this != &a)
            *this = a;
        return;
    }
    std::vector<LONG> ys;
    ys.reserve((a.FRects.size() + b.FRects.size()) * 2);
    for (const RECT& r : a.FRects) { ys.push_back(r.top); ys.push_back(r.bottom); }
    for (const RECT& r : b.FRects) { ys.push_back(r.top); ys.push_back(r.bottom); }
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());

    std::vector<RECT> out;
    TBandWriter writer(out);
    TSpans sa, sb, so;
    std::size_t ia = 0, ib = 0;
    for (std::size_t i = 0; i + 1 < ys.size(); ++i) {
        SpansAt(a.FRects, ia, ys[i], sa);
        SpansAt(b.FRects, ib, ys[i], sb);
        CombineSpans(sa, sb, mode, so);
        writer.Emit(ys[i], ys[i + 1], so);
    }
    FRects = std::move(out);
    UpdateBounds();
}

void TRegion::SetFromRects(const RECT* rects, std::size_t count)
{
    std::vector<RECT> in;
    in.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        if (ValidRect(rects[i]))
            in.push_back(rects[i]);
    std::sort(in.begin(), in.end(), [](const RECT& p, const RECT& q) { return p.top < q.top; });
    std::vector<LONG> ys;
    ys.reserve(in.size() * 2);
    for (const RECT& r : in) { ys.push_back(r.top); ys.push_back(r.bottom); }
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());

    std::vector<RECT> out;
    TBandWriter writer(out);
    std::vector<const RECT*> active;
    TSpans spans, merged;
    std::size_t next = 0;
    for (std::size_t i = 0; i + 1 < ys.size(); ++i) {
        LONG y0 = ys[i];
        while (next < in.size() && in[next].top <= y0)
            active.push_back(&in[next++]);
        std::erase_if(active, [y0](const RECT* r) { return r->bottom <= y0; });
        spans.clear();
        for (const RECT* r : active)
            spans.emplace_back(r->left, r->right);
        std::sort(spans.begin(), spans.end());
        merged.clear();
        for (auto& s : spans) {
            if (!merged.empty() && s.first <= merged.back().second)
                merged.back().second = std::max(merged.back().second, s.second);
            else
                merged.push_back(s);
        }
        writer.Emit(y0, ys[i + 1], merged);
    }
    FRects = std::move(out);
    UpdateBounds();
}

TRegion* RegionFromHandle(HRGN rgn)
{
    auto* obj = GdiLookupAs<TGdiRegion>(rgn, OBJ_REGION);
    return obj ? &obj->Region : nullptr;
}

namespace {

HRGN NewRegion(TRegion region)
{
    auto obj = std::make_unique<TGdiRegion>();
    obj->Region = std::move(region);
    return static_cast<HRGN>(GdiRegister(std::move(obj)));
}

bool InLimits(long long v)
{
    return v > -CoordLimit && v < CoordLimit;
}

bool RectInLimits(int l, int t, int r, int b)
{
    return InLimits(l) && InLimits(t) && InLimits(r) && InLimits(b);
}

// Rows of an ellipse inscribed in (l, t, r, b); width w and height h of the
// corner ellipse for rounded rectangles (the whole rect for an ellipse).
TRegion RoundedRegion(int l, int t, int r, int b, int w, int h)
{
    if (l > r) std::swap(l, r);
    if (t > b) std::swap(t, b);
    TRegion region;
    if (r - l <= 0 || b - t <= 0)
        return region;
    w = std::clamp(std::abs(w), 0, r - l);
    h = std::clamp(std::abs(h), 0, b - t);
    if (w < 2 || h < 2) {
        region.SetRect(RECT{l, t, r, b});
        return region;
    }
    std::vector<RECT> rows;
    rows.reserve(static_cast<std::size_t>(b - t));
    double rx = w / 2.0, ry = h / 2.0;
    for (int y = t; y < b; ++y) {
        // Distance of the row's centre into the corner ellipse, if any.
        double cyTop = t + ry, cyBottom = b - ry;
        double yc = y + 0.5;
        double inset = 0;
        double dy = 0;
        if (yc < cyTop)
            dy = cyTop - yc;
        else if (yc > cyBottom)
            dy = yc - cyBottom;
        if (dy > 0) {
            double f = dy / ry;
            inset = f >= 1 ? rx : rx - rx * std::sqrt(1 - f * f);
        }
        int x0 = l + static_cast<int>(std::lround(inset));
        int x1 = r - static_cast<int>(std::lround(inset));
        if (x0 < x1)
            rows.push_back(RECT{x0, y, x1, y + 1});
    }
    region.SetFromRects(rows.data(), rows.size());
    return region;
}

} // namespace

HRGN CreateRectRgn(int left, int top, int right, int bottom)
{
    if (!RectInLimits(left, top, right, bottom))
        return nullptr;
    return NewRegion(TRegion(RECT{left, top, right, bottom}));
}

HRGN CreateRectRgnIndirect(const RECT* rect)
{
    return rect ? CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom) : nullptr;
}

HRGN CreateEllipticRgn(int left, int top, int right, int bottom)
{
    if (!RectInLimits(left, top, right, bottom))
        return nullptr;
    return NewRegion(RoundedRegion(left, top, right, bottom, right - left, bottom - top));
}

HRGN CreateEllipticRgnIndirect(const RECT* rect)
{
    return rect ? CreateEllipticRgn(rect->left, rect->top, rect->right, rect->bottom) : nullptr;
}

HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int widthEllipse, int heightEllipse)
{
    if (!RectInLimits(left, top, right, bottom))
        return nullptr;
    return NewRegion(RoundedRegion(left, top, right, bottom, widthEllipse, heightEllipse));
}

HRGN ExtCreateRegion(const void* xform, DWORD count, const RGNDATA* data)
{
    if (xform || !data || count < sizeof(RGNDATAHEADER))
        return nullptr;
    RGNDATAHEADER header;
    std::memcpy(&header, static_cast<const void*>(data), sizeof header);
    if (header.dwSize < sizeof(RGNDATAHEADER) || header.iType != RDH_RECTANGLES || header.dwSize > count)
        return nullptr;
    if (header.nCount > (count - header.dwSize) / sizeof(RECT))
        return nullptr;
    std::vector<RECT> rects(header.nCount);
    if (header.nCount)
        std::memcpy(rects.data(), reinterpret_cast<const char*>(data) + header.dwSize, header.nCount * sizeof(RECT));
    for (const RECT& r : rects)
        if (!RectInLimits(r.left, r.top, r.right, r.bottom))
            return nullptr;
    TRegion region;
    region.SetFromRects(rects.data(), rects.size());
    return NewRegion(std::move(region));
}

int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode)
{
    TRegion* d = RegionFromHandle(dest);
    TRegion* a = RegionFromHandle(src1);
    if (!d || !a || mode < RGN_AND || mode > RGN_COPY)
        return ERROR;
    if (mode == RGN_COPY) {
        d->Combine(*a, *a, RGN_COPY);
        return d->Complexity();
    }
    TRegion* b = RegionFromHandle(src2);
    if (!b)
        return ERROR;
    d->Combine(*a, *b, mode);
    return d->Complexity();
}

DWORD GetRegionData(HRGN rgn, DWORD count, RGNDATA* data)
{
    TRegion* region = RegionFromHandle(rgn);
    if (!region)
        return 0;
    const auto& rects = region->Rects();
    DWORD needed = static_cast<DWORD>(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    if (!data || count < needed)
        return needed;
    RGNDATAHEADER header;
    header.dwSize = sizeof(RGNDATAHEADER);
    header.iType = RDH_RECTANGLES;
    header.nCount = static_cast<DWORD>(rects.size());
    header.nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
    header.rcBound = region->Bounds();
    std::memcpy(static_cast<void*>(data), &header, sizeof header);
    if (!rects.empty())
        std::memcpy(reinterpret_cast<char*>(data) + sizeof header, rects.data(), rects.size() * sizeof(RECT));
    return count;
}

int OffsetRgn(HRGN rgn, int dx, int dy)
{
    TRegion* region = RegionFromHandle(rgn);
    if (!region)
        return ERROR;
    if (!region->IsEmpty()) {
        const RECT& b = region->Bounds();
        if (!RectInLimits(static_cast<int>(std::clamp<long long>(1LL * b.left + dx, -CoordLimit, CoordLimit)),
                          static_cast<int>(std::clamp<long long>(1LL * b.top + dy, -CoordLimit, CoordLimit)),
                          static_cast<int>(std::clamp<long long>(1LL * b.right + dx, -CoordLimit, CoordLimit)),
                          static_cast<int>(std::clamp<long long>(1LL * b.bottom + dy, -CoordLimit, CoordLimit))))
            return ERROR;
        region->Offset(dx, dy);
    }
    return region->Complexity();
}

BOOL PtInRegion(HRGN rgn, int x, int y)
{
    TRegion* region = RegionFromHandle(rgn);
    return region && region->Contains(x, y) ? TRUE_ : FALSE_;
}

BOOL RectInRegion(HRGN rgn, const RECT* rect)
{
    TRegion* region = RegionFromHandle(rgn);
    if (!region || !rect)
        return FALSE_;
    RECT n{std::min(rect->left, rect->right), std::min(rect->top, rect->bottom),
           std::max(rect->left, rect->right), std::max(rect->top, rect->bottom)};
    return region->Intersects(n) ? TRUE_ : FALSE_;
}

int GetRgnBox(HRGN rgn, RECT* rect)
{
    TRegion* region = RegionFromHandle(rgn);
    if (!region || !rect)
        return ERROR;
    *rect = region->Bounds();
    return region->Complexity();
}

BOOL EqualRgn(HRGN a, HRGN b)
{
    TRegion* ra = RegionFromHandle(a);
    TRegion* rb = RegionFromHandle(b);
    if (!ra || !rb)
        return ERROR;
    return *ra == *rb ? TRUE_ : FALSE_;
}

BOOL SetRectRgn(HRGN rgn, int left, int top, int right, int bottom)
{
    TRegion* region = RegionFromHandle(rgn);
    if (!region || !RectInLimits(left, top, right, bottom))
        return FALSE_;
    region->SetRect(RECT{left, top, right, bottom});
    return TRUE_;
}
