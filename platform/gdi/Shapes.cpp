#include "platform/gdi/Shapes.h"

#include "platform/gdi/Raster.h"
#include "platform/gdi/SysColors.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Coordinates beyond this are refused: shapes that large cannot be on any
// surface, and the limit keeps the span arithmetic in range.
constexpr LONG CoordLimit = 1 << 27;

bool InLimits(LONG v)
{
    return v > -CoordLimit && v < CoordLimit;
}

// Pixel patterns of the cosmetic line styles: run lengths, on first.
struct TDashPattern {
    const int* Runs;
    int Count;
};

TDashPattern DashFor(DWORD style)
{
    static const int dash[] = {18, 6};
    static const int dot[] = {3, 3};
    static const int dashDot[] = {9, 6, 3, 6};
    static const int dashDotDot[] = {9, 3, 3, 3, 3, 3};
    static const int alternate[] = {1, 1};
    switch (style) {
    case PS_DASH: return {dash, 2};
    case PS_DOT: return {dot, 2};
    case PS_DASHDOT: return {dashDot, 4};
    case PS_DASHDOTDOT: return {dashDotDot, 6};
    case PS_ALTERNATE: return {alternate, 2};
    default: return {nullptr, 0};
    }
}

// One drawing call's view of the DC: target, clip, pen and brush.
class TPainter {
public:
    explicit TPainter(TDeviceContext& dc) : FDC(dc), FLayout(dc.Layout()), FWriter(*dc.Layout())
    {
        FRop2 = dc.State.Rop2;
        TGdiPen* pen = PenFromHandle(static_cast<HPEN>(dc.State.Pen));
        if (pen && pen->LineStyle() != PS_NULL) {
            FPenOn = true;
            COLORREF c = pen->IsStock() && pen->StockIndex() == DC_PEN ? dc.State.DCPenColor : pen->Color;
            FPenPixel = ColorRefToPixel(c);
            FPenWidth = std::max(1, pen->Width);
            FPenStyle = pen->LineStyle();
            FCap = pen->Geometric() ? (pen->Style & PS_ENDCAP_MASK) : PS_ENDCAP_ROUND;
            FInsideFrame = FPenStyle == PS_INSIDEFRAME;
        }
        FBrush = PatternOf(dc, dc.State.Brush);
        FBkPixel = ColorRefToPixel(dc.State.BkColor);
        FOpaque = dc.State.BkMode == OPAQUE;
    }

    bool Valid() const { return FLayout != nullptr; }
    bool PenOn() const { return FPenOn; }
    int PenWidth() const { return FPenWidth; }
    bool InsideFrame() const { return FInsideFrame; }
    TDeviceContext& DC() { return FDC; }

    // Thin pen: from (x0, y0) to (x1, y1) in surface pixels, last point left
    // out; `phase` carries the dash position along a polyline.
    void ThinLine(LONG x0, LONG y0, LONG x1, LONG y1, int& phase)
    {
        TDashPattern dash = DashFor(FPenStyle);
        int period = 0;
        for (int i = 0; i < dash.Count; ++i)
            period += dash.Runs[i];
        LONG dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
        int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
        LONG steps = std::max(dx, dy);
        LONG err = (dx > dy ? dx : -dy) / 2;
        LONG x = x0, y = y0;
        for (LONG i = 0; i < steps; ++i) {
            bool on = true;
            if (period) {
                int pos = phase % period;
                int k = 0;
                while (pos >= dash.Runs[k]) {
                    pos -= dash.Runs[k];
                    ++k;
                }
                on = (k % 2) == 0;
                ++phase;
            }
            if (on)
                Plot(x, y, FPenPixel);
            else if (FOpaque)
                Plot(x, y, FBkPixel);
            LONG e2 = err;
            if (e2 > -dx) { err -= dy; x += sx; }
            if (e2 < dy) { err += dx; y += sy; }
        }
    }

    void Plot(LONG x, LONG y, DWORD pixel)
    {
        const RECT& b = FDC.ClipBounds();
        if (x < b.left || x >= b.right || y < b.top || y >= b.bottom)
            return;
        for (const RECT& r : FDC.ClipRects()) {
            if (r.top > y)
                return;
            if (y < r.bottom && x >= r.left && x < r.right) {
                FWriter.Rop2(y, x, 1, FRop2, pixel);
                return;
            }
        }
    }

    // Paints a region (surface coordinates) with the pen colour.
    void PenRegion(const TRegion& region)
    {
        for (const RECT& r : region.Rects())
            ForEachClipPiece(FDC, r, [&](const RECT& p) {
                for (LONG y = p.top; y < p.bottom; ++y)
                    FWriter.Rop2(y, p.left, p.right - p.left, FRop2, FPenPixel);
            });
    }

    // Paints a region with the DC's brush through the binary mode.
    void BrushRegion(const TRegion& region)
    {
        if (FBrush.Null)
            return;
        BYTE index = Rop2ToRop3(FRop2);
        for (const RECT& r : region.Rects())
            ForEachClipPiece(FDC, r, [&](const RECT& p) {
                for (LONG y = p.top; y < p.bottom; ++y)
                    FWriter.Apply(y, p.left, p.right - p.left, index, nullptr, &FBrush);
            });
    }

    // Wide pen outline of a polyline (surface coordinates), painted once.
    void WideLines(const std::vector<POINT>& pts, bool closed)
    {
        std::vector<RECT> spans;
        double half = FPenWidth / 2.0;
        std::size_t n = pts.size();
        std::size_t segments = closed ? n : n - 1;
        for (std::size_t i = 0; i < segments; ++i) {
            const POINT& a = pts[i];
            const POINT& b = pts[(i + 1) % n];
            double ax = a.x + 0.5, ay = a.y + 0.5, bx = b.x + 0.5, by = b.y + 0.5;
            double dx = bx - ax, dy = by - ay, len = std::hypot(dx, dy);
            if (len > 0) {
                double ux = dx / len, uy = dy / len;
                double ext = FCap == PS_ENDCAP_SQUARE ? half : 0;
                double nx = -uy * half, ny = ux * half;
                double sx = ax - ux * ext, sy = ay - uy * ext, ex = bx + ux * ext, ey = by + uy * ext;
                std::vector<std::pair<double, double>> quad = {
                    {sx + nx, sy + ny}, {ex + nx, ey + ny}, {ex - nx, ey - ny}, {sx - nx, sy - ny}};
                FillPolygonSpans(quad, false, spans);
            }
        }
        // Round joins at inner vertices; round ends when the cap asks.
        for (std::size_t j = 0; j < n; ++j) {
            bool inner = closed || (j > 0 && j + 1 < n);
            if (inner || FCap == PS_ENDCAP_ROUND)
                Disk(pts[j].x + 0.5, pts[j].y + 0.5, half, spans);
        }
        TRegion region;
        region.SetFromRects(spans.data(), spans.size());
        PenRegion(region);
    }

    static void Disk(double cx, double cy, double r, std::vector<RECT>& spans)
    {
        LONG y0 = static_cast<LONG>(std::floor(cy - r)), y1 = static_cast<LONG>(std::ceil(cy + r));
        for (LONG y = y0; y < y1; ++y) {
            double yc = y + 0.5 - cy;
            if (std::abs(yc) >= r)
                continue;
            double h = std::sqrt(r * r - yc * yc);
            LONG xa = static_cast<LONG>(std::ceil(cx - h - 0.5)), xb = static_cast<LONG>(std::ceil(cx + h - 0.5));
            if (xa < xb)
                spans.push_back(RECT{xa, y, xb, y + 1});
        }
    }

    // Scan conversion sampling pixel centres; winding or alternate rule.
    static void FillPolygonSpans(const std::vector<std::pair<double, double>>& pts, bool winding,
                                 std::vector<RECT>& spans)
    {
        if (pts.size() < 3)
            return;
        double minY = pts[0].second, maxY = pts[0].second;
        for (auto& p : pts) {
            minY = std::min(minY, p.second);
            maxY = std::max(maxY, p.second);
        }
        LONG y0 = static_cast<LONG>(std::floor(minY)), y1 = static_cast<LONG>(std::ceil(maxY));
        std::vector<std::pair<double, int>> xs;
        for (LONG y = y0; y < y1; ++y) {
            double yc = y + 0.5;
            xs.clear();
            for (std::size_t i = 0; i < pts.size(); ++i) {
                auto [ax, ay] = pts[i];
                auto [bx, by] = pts[(i + 1) % pts.size()];
                if (ay == by)
                    continue;
                int dir = ay < by ? 1 : -1;
                if (ay > by) {
                    std::swap(ax, bx);
                    std::swap(ay, by);
                }
                if (yc < ay || yc >= by)
                    continue;
                xs.emplace_back(ax + (yc - ay) * (bx - ax) / (by - ay), dir);
            }
            std::sort(xs.begin(), xs.end());
            int wind = 0;
            for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
                wind += winding ? xs[i].second : 1;
                bool inside = winding ? wind != 0 : (wind & 1) != 0;
                if (!inside)
                    continue;
                LONG xa = static_cast<LONG>(std::ceil(xs[i].first - 0.5));
                LONG xb = static_cast<LONG>(std::ceil(xs[i + 1].first - 0.5));
                if (xa < xb)
                    spans.push_back(RECT{xa, y, xb, y + 1});
            }
        }
    }

private:
    TDeviceContext& FDC;
    const TPixelLayout* FLayout;
    TSpanWriter FWriter;
    int FRop2 = R2_COPYPEN;
    bool FPenOn = false;
    DWORD FPenPixel = 0;
    int FPenWidth = 1;
    DWORD FPenStyle = PS_SOLID;
    DWORD FCap = PS_ENDCAP_ROUND;
    bool FInsideFrame = false;
    TBrushPattern FBrush;
    DWORD FBkPixel = 0;
    bool FOpaque = true;
};

TDeviceContext* Target(HDC dc)
{
    TDeviceContext* ctx = TDeviceContext::FromHandle(dc);
    return ctx && ctx->Layout() ? ctx : nullptr;
}

std::vector<POINT> ToSurface(TDeviceContext& dc, const POINT* pts, std::size_t n, bool& ok)
{
    std::vector<POINT> out(n);
    ok = true;
    for (std::size_t i = 0; i < n; ++i) {
        if (!InLimits(pts[i].x) || !InLimits(pts[i].y))
            ok = false;
        out[i] = POINT{dc.ToSurfaceX(pts[i].x), dc.ToSurfaceY(pts[i].y)};
    }
    return out;
}

void StrokePolyline(TPainter& p, const std::vector<POINT>& pts, bool closed)
{
    if (!p.PenOn() || pts.size() < 2)
        return;
    if (p.PenWidth() > 1) {
        p.WideLines(pts, closed);
        return;
    }
    int phase = 0;
    for (std::size_t i = 0; i + 1 < pts.size(); ++i)
        p.ThinLine(pts[i].x, pts[i].y, pts[i + 1].x, pts[i + 1].y, phase);
    if (closed)
        p.ThinLine(pts.back().x, pts.back().y, pts.front().x, pts.front().y, phase);
}

// Rows of a rounded rectangle (corner ellipse w x h; an ellipse when they
// equal the size) inside [l, r) x [t, b): one span per row.
void RoundedSpans(LONG l, LONG t, LONG r, LONG b, LONG w, LONG h, std::vector<RECT>& rows)
{
    rows.clear();
    if (r <= l || b <= t)
        return;
    w = std::clamp<LONG>(w, 0, r - l);
    h = std::clamp<LONG>(h, 0, b - t);
    double rx = w / 2.0, ry = h / 2.0;
    for (LONG y = t; y < b; ++y) {
        double yc = y + 0.5, inset = 0, dy = 0;
        if (h >= 2) {
            if (yc < t + ry) dy = t + ry - yc;
            else if (yc > b - ry) dy = yc - (b - ry);
        }
        if (dy > 0) {
            double f = dy / ry;
            inset = f >= 1 ? rx : rx - rx * std::sqrt(1 - f * f);
        }
        LONG x0 = l + static_cast<LONG>(std::lround(inset)), x1 = r - static_cast<LONG>(std::lround(inset));
        if (x0 < x1)
            rows.push_back(RECT{x0, y, x1, y + 1});
    }
}

// The rows of a convex shape with a pixel removed from every edge
// (4-neighbour erosion): what is left inside a one-pixel outline.
std::vector<RECT> Erode(const std::vector<RECT>& rows)
{
    std::vector<RECT> inner;
    for (std::size_t i = 1; i + 1 < rows.size(); ++i) {
        const RECT& a = rows[i - 1];
        const RECT& c = rows[i];
        const RECT& d = rows[i + 1];
        if (a.top + 1 != c.top || c.top + 1 != d.top)
            continue;
        LONG x0 = std::max({c.left + 1, a.left, d.left});
        LONG x1 = std::min({c.right - 1, a.right, d.right});
        if (x0 < x1)
            inner.push_back(RECT{x0, c.top, x1, c.bottom});
    }
    return inner;
}

// A rounded shape (surface coordinates) with pen outline and brush inside.
void DrawRounded(TPainter& p, LONG l, LONG t, LONG r, LONG b, LONG w, LONG h, bool isEllipse)
{
    if (l > r) std::swap(l, r);
    if (t > b) std::swap(t, b);
    std::vector<RECT> outer, inner;
    auto cornerW = [&](LONG width) { return isEllipse ? width : w; };
    auto cornerH = [&](LONG height) { return isEllipse ? height : h; };
    if (!p.PenOn()) {
        // Without a pen the interior covers one pixel less each way.
        RoundedSpans(l, t, r - 1, b - 1, cornerW(r - 1 - l), cornerH(b - 1 - t), inner);
        TRegion region;
        region.SetFromRects(inner.data(), inner.size());
        p.BrushRegion(region);
        return;
    }
    int pw = p.PenWidth();
    if (pw <= 1) {
        RoundedSpans(l, t, r, b, cornerW(r - l), cornerH(b - t), outer);
        inner = Erode(outer);
    } else {
        // A wide pen is centred on the outline unless it is an inside frame.
        LONG grow = p.InsideFrame() ? 0 : pw / 2;
        LONG ol = l - grow, ot = t - grow, orr = r + (p.InsideFrame() ? 0 : (pw - 1) / 2),
             ob = b + (p.InsideFrame() ? 0 : (pw - 1) / 2);
        RoundedSpans(ol, ot, orr, ob, cornerW(orr - ol), cornerH(ob - ot), outer);
        RoundedSpans(ol + pw, ot + pw, orr - pw, ob - pw, cornerW(orr - ol - 2 * pw), cornerH(ob - ot - 2 * pw),
                     inner);
    }
    TRegion in, out, ring;
    in.SetFromRects(inner.data(), inner.size());
    out.SetFromRects(outer.data(), outer.size());
    ring.Combine(out, in, RGN_DIFF);
    p.BrushRegion(in);
    p.PenRegion(ring);
}

TGdiBrush* BrushArg(HBRUSH brush)
{
    // Small values name system colours (index + 1).
    auto value = reinterpret_cast<std::uintptr_t>(brush);
    if (value > 0 && value <= static_cast<std::uintptr_t>(SysColorCount))
        return BrushFromHandle(GetSysColorBrush(static_cast<int>(value) - 1));
    return BrushFromHandle(brush);
}

// Paints a region given in surface coordinates with a brush, PATCOPY.
void FillSurfaceRegion(TDeviceContext& dc, const TRegion& region, TGdiBrush* brush)
{
    TBrushPattern pattern = PatternOf(dc, brush);
    if (pattern.Null)
        return;
    TSpanWriter writer(*dc.Layout());
    for (const RECT& r : region.Rects())
        ForEachClipPiece(dc, r, [&](const RECT& p) {
            for (LONG y = p.top; y < p.bottom; ++y)
                writer.Apply(y, p.left, p.right - p.left, 0xF0, nullptr, &pattern);
        });
}

// A logical region moved to surface coordinates.
bool SurfaceRegion(TDeviceContext& dc, HRGN rgn, TRegion& out)
{
    TRegion* r = RegionFromHandle(rgn);
    if (!r)
        return false;
    out = *r;
    out.Offset(dc.ToSurfaceX(0), dc.ToSurfaceY(0));
    return true;
}

} // namespace

BOOL LineTo(HDC dc, int x, int y)
{
    TDeviceContext* ctx = Target(dc);
    if (!ctx || !InLimits(x) || !InLimits(y))
        return FALSE_;
    POINT pts[2] = {ctx->State.CurrentPos, POINT{x, y}};
    ctx->State.CurrentPos = POINT{x, y};
    return Polyline(dc, pts, 2);
}

BOOL Polyline(HDC dc, const POINT* points, int count)
{
    TDeviceContext* ctx = Target(dc);
    if (!ctx || !points || count < 2)
        return FALSE_;
    bool ok;
    auto pts = ToSurface(*ctx, points, static_cast<std::size_t>(count), ok);
    if (!ok)
        return FALSE_;
    TPainter p(*ctx);
    StrokePolyline(p, pts, false);
    return TRUE_;
}

BOOL PolylineTo(HDC dc, const POINT* points, DWORD count)
{
    TDeviceContext* ctx = Target(dc);
    if (!ctx || !points || count == 0 || count > 0x1000000)
        return FALSE_;
    std::vector<POINT> all;
    all.reserve(count + 1);
    all.push_back(ctx->State.CurrentPos);
    all.insert(all.end(), points, points + count);
    ctx->State.CurrentPos = points[count - 1];
    return Polyline(dc, all.data(), static_cast<int>(all.size()));
}

BOOL PolyPolyline(HDC dc, const POINT* points, const DWORD* counts, DWORD polylines)
{
    if (!points || !counts)
        return FALSE_;
    const POINT* p = points;
    for (DWORD i = 0; i < polylines; ++i) {
        if (counts[i] < 2 || counts[i] > 0x1000000)
            return FALSE_;
        if (!Polyline(dc, p, static_cast<int>(counts[i])))
            return FALSE_;
        p += counts[i];
    }
    return TRUE_;
}

BOOL PolyPolygon(HDC dc, const POINT* points, const INT* counts, int polygons)
{
    if (!points || !counts || polygons <= 0)
        return FALSE_;
    const POINT* p = points;
    for (int i = 0; i < polygons; ++i) {
        if (counts[i] < 2)
            return FALSE_;
        if (!Polygon(dc, p, counts[i]))
            return FALSE_;
        p += counts[i];
    }
    return TRUE_;
}

BOOL Polygon(HDC dc, const POINT* points, int count)
{
    TDeviceContext* ctx = Target(dc);
    if (!ctx || !points || count < 2)
        return FALSE_;
    bool ok;
    auto pts = ToSurface(*ctx, points, static_cast<std::size_t>(count), ok);
    if (!ok)
        return FALSE_;
    TPainter p(*ctx);
    std::vector<std::pair<double, double>> poly;
    poly.reserve(pts.size());
    for (const POINT& q : pts)
        poly.emplace_back(q.x, q.y);
    std::vector<RECT> spans;
    TPainter::FillPolygonSpans(poly, ctx->State.PolyFillMode == WINDING, spans);
    TRegion region;
    region.SetFromRects(spans.data(), spans.size());
    p.BrushRegion(region);
    StrokePolyline(p, pts, true);
    return TRUE_;
}

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom)
{
    TDeviceContext* ctx = Target(dc);
    if (!ctx || !InLimits(left) || !InLimits(top) || !InLimits(right) || !InLimits(bottom))
        return FALSE_;
    RECT s = ctx->ToSurface(RECT{left, top, right, bottom});
    if (s.left > s.right) std::swap(s.left, s.right);
    if (s.top > s.bottom) std::swap(s.top, s.bottom);
    TPainter p(*ctx);
    DrawRounded(p, s.left, s.top, s.right, s.bottom, 0, 0, false);
    return TRUE_;
}

BOOL Ellipse(HDC dc, int left, int top, int right, int bottom)
{
    TDeviceContext* ctx = Target(dc);
    if (!ctx || !InLimits(left) || !InLimits(top) || !InLimits(right) || !InLimits(bottom))
        return FALSE_;
    RECT s = ctx->ToSurface(RECT{left, top, right, bottom});
    TPainter p(*ctx);
    DrawRounded(p, s.left, s.top, s.right, s.bottom, 0, 0, true);
    return TRUE_;
}

BOOL RoundRect(HDC dc, int left, int top, int right, int bottom, int width, int height)
{
    TDeviceContext* ctx = Target(dc);
    if (!ctx || !InLimits(left) || !InLimits(top) || !InLimits(right) || !InLimits(bottom))
        return FALSE_;
    RECT s = ctx->ToSurface(RECT{left, top, right, bottom});
    TPainter p(*ctx);
    DrawRounded(p, s.left, s.top, s.right, s.bottom, std::abs(width), std::abs(height), false);
    return TRUE_;
}

int FillRect(HDC dc, const RECT* rect, HBRUSH brush)
{
    TDeviceContext* ctx = Target(dc);
    TGdiBrush* b = BrushArg(brush);
    if (!ctx || !rect || !b)
        return 0;
    RECT s = ctx->ToSurface(*rect);
    if (s.left < s.right && s.top < s.bottom)
        FillSurfaceRegion(*ctx, TRegion(s), b);
    return 1;
}

int FrameRect(HDC dc, const RECT* rect, HBRUSH brush)
{
    TDeviceContext* ctx = Target(dc);
    TGdiBrush* b = BrushArg(brush);
    if (!ctx || !rect || !b)
        return 0;
    RECT s = ctx->ToSurface(*rect);
    if (s.left >= s.right || s.top >= s.bottom)
        return 1;
    TRegion outer(s), inner(RECT{s.left + 1, s.top + 1, s.right - 1, s.bottom - 1}), frame;
    frame.Combine(outer, inner, RGN_DIFF);
    FillSurfaceRegion(*ctx, frame, b);
    return 1;
}

BOOL InvertRect(HDC dc, const RECT* rect)
{
    TDeviceContext* ctx = Target(dc);
    if (!ctx || !rect)
        return FALSE_;
    RECT s = ctx->ToSurface(*rect);
    TSpanWriter writer(*ctx->Layout());
    ForEachClipPiece(*ctx, s, [&](const RECT& p) {
        for (LONG y = p.top; y < p.bottom; ++y)
            writer.Apply(y, p.left, p.right - p.left, 0x55, nullptr, nullptr);
    });
    return TRUE_;
}

BOOL DrawFocusRect(HDC dc, const RECT* rect)
{
    TDeviceContext* ctx = Target(dc);
    if (!ctx || !rect)
        return FALSE_;
    RECT s = ctx->ToSurface(*rect);
    if (s.left >= s.right || s.top >= s.bottom)
        return TRUE_;
    TRegion outer(s), inner(RECT{s.left + 1, s.top + 1, s.right - 1, s.bottom - 1}), frame;
    frame.Combine(outer, inner, RGN_DIFF);
    // Every other pixel of the frame, by the parity of its device position.
    const TPixelLayout& l = *ctx->Layout();
    POINT o = ctx->Origin();
    DWORD px;
    for (const RECT& r : frame.Rects())
        ForEachClipPiece(*ctx, r, [&](const RECT& p) {
            for (LONG y = p.top; y < p.bottom; ++y)
                for (LONG x = p.left; x < p.right; ++x) {
                    if (((x - o.x) + (y - o.y)) & 1)
                        continue;
                    ReadPixels(l, y, x, 1, &px);
                    px ^= 0x00FFFFFF;
                    WritePixels(l, y, x, 1, &px);
                }
        });
    return TRUE_;
}

BOOL FillRgn(HDC dc, HRGN rgn, HBRUSH brush)
{
    TDeviceContext* ctx = Target(dc);
    TGdiBrush* b = BrushArg(brush);
    TRegion region;
    if (!ctx || !b || !SurfaceRegion(*ctx, rgn, region))
        return FALSE_;
    FillSurfaceRegion(*ctx, region, b);
    return TRUE_;
}

BOOL PaintRgn(HDC dc, HRGN rgn)
{
    TDeviceContext* ctx = Target(dc);
    if (!ctx)
        return FALSE_;
    return FillRgn(dc, rgn, static_cast<HBRUSH>(ctx->State.Brush));
}

BOOL FrameRgn(HDC dc, HRGN rgn, HBRUSH brush, int width, int height)
{
    TDeviceContext* ctx = Target(dc);
    TGdiBrush* b = BrushArg(brush);
    TRegion region;
    if (!ctx || !b || width < 0 || height < 0 || !SurfaceRegion(*ctx, rgn, region))
        return FALSE_;
    // The frame is what the region loses when shrunk by width and height
    // from every side.
    TRegion inner = region, moved;
    const int shifts[4][2] = {{width, 0}, {-width, 0}, {0, height}, {0, -height}};
    for (const auto& s : shifts) {
        moved = region;
        moved.Offset(s[0], s[1]);
        inner.Combine(inner, moved, RGN_AND);
    }
    TRegion frame;
    frame.Combine(region, inner, RGN_DIFF);
    FillSurfaceRegion(*ctx, frame, b);
    return TRUE_;
}

BOOL InvertRgn(HDC dc, HRGN rgn)
{
    TDeviceContext* ctx = Target(dc);
    TRegion region;
    if (!ctx || !SurfaceRegion(*ctx, rgn, region))
        return FALSE_;
    TSpanWriter writer(*ctx->Layout());
    for (const RECT& r : region.Rects())
        ForEachClipPiece(*ctx, r, [&](const RECT& p) {
            for (LONG y = p.top; y < p.bottom; ++y)
                writer.Apply(y, p.left, p.right - p.left, 0x55, nullptr, nullptr);
        });
    return TRUE_;
}
