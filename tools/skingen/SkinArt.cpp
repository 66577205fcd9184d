#include "SkinArt.h"

#include "platform/classes/Streams.h"
#include "platform/gui/Graphics.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace skingen {

const TTheme& Theme()
{
    static const TTheme theme;
    return theme;
}

TColor ToTColor(TspColor c)
{
    return static_cast<TColor>(((c >> 16) & 0xFF) | (c & 0xFF00) | ((c & 0xFF) << 16));
}

TspColor Mix(TspColor a, TspColor b, double t)
{
    auto ch = [&](int s) {
        const double v = ((a >> s) & 0xFF) * (1 - t) + ((b >> s) & 0xFF) * t;
        return static_cast<TspColor>(std::clamp(static_cast<int>(std::lround(v)), 0, 255)) << s;
    };
    return 0xFF000000u | ch(16) | ch(8) | ch(0);
}

TSheet::TSheet(int width, int height)
{
    FBitmap.SetSize(width, height);
    FBitmap.Clear(Theme().Face);
}

TRect TSheet::Place(int w, int h)
{
    if (FX + w > FBitmap.Width()) {
        FX = 0;
        FY += FShelf + 2;
        FShelf = 0;
    }
    if (FY + h > FBitmap.Height() || w > FBitmap.Width())
        throw std::runtime_error("the picture sheet is full");
    const TRect r(FX, FY, FX + w, FY + h);
    FX += w + 2;
    FShelf = std::max(FShelf, h);
    return r;
}

namespace {

// Coverage of a pixel by a rounded rectangle, by 4 x 4 samples.
double Coverage(double px, double py, double l, double t, double r, double b, double radius)
{
    int inside = 0;
    for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx) {
            const double x = px + (sx + 0.5) / 4, y = py + (sy + 0.5) / 4;
            if (x < l || x > r || y < t || y > b)
                continue;
            const double cx = std::clamp(x, l + radius, r - radius), cy = std::clamp(y, t + radius, b - radius);
            const double dx = x - cx, dy = y - cy;
            if (dx * dx + dy * dy <= radius * radius)
                ++inside;
        }
    return inside / 16.0;
}

// Blends c over the pixel (x, y) by coverage k; pixels outside are skipped.
void Blend(TspBitmap& b, int x, int y, TspColor c, double k)
{
    if (k <= 0 || x < 0 || y < 0 || x >= b.Width() || y >= b.Height())
        return;
    b.SetPixel(x, y, Mix(b.GetPixel(x, y), c, std::min(1.0, k)));
}

double SegmentDistance(double px, double py, double x0, double y0, double x1, double y1)
{
    const double dx = x1 - x0, dy = y1 - y0, len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((px - x0) * dx + (py - y0) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    const double ex = px - (x0 + t * dx), ey = py - (y0 + t * dy);
    return std::sqrt(ex * ex + ey * ey);
}

}  // namespace

void PaintBox(TspBitmap& b, const TRect& r, const TBoxStyle& s)
{
    const double l = r.left, t = r.top, rr = r.right, bb = r.bottom, rad = s.Radius;
    for (int y = r.top; y < r.bottom; ++y) {
        const double k = r.Height() > 1 ? static_cast<double>(y - r.top) / (r.Height() - 1) : 0;
        const TspColor fill = Mix(s.Top, s.Bottom, k);
        for (int x = r.left; x < r.right; ++x) {
            const double outer = Coverage(x, y, l, t, rr, bb, rad);
            const double inner = Coverage(x, y, l + 1, t + 1, rr - 1, bb - 1, std::max(0.0, rad - 1));
            TspColor c = Mix(s.Outside, s.Outline, outer);
            c = Mix(c, fill, inner);
            b.SetPixel(x, y, c);
        }
    }
}

void PaintFlat(TspBitmap& b, const TRect& r, TspColor fill) { b.FillRect(r, fill | 0xFF000000u); }

TBoxStyle ButtonStyle(TState state)
{
    const TTheme& th = Theme();
    switch (state) {
    case TState::Hot: return {th.HotTop, th.HotBottom, th.BorderHot, th.Face, 4};
    case TState::Down: return {Mix(th.DownTop, th.Accent, 0.18), Mix(th.DownBottom, th.Accent, 0.12), th.Accent, th.Face, 4};
    case TState::Disabled: return {th.DisabledTop, th.DisabledBottom, 0xFF393B40, th.Face, 4};
    case TState::Focused: return {th.ButtonTop, th.ButtonBottom, th.Accent, th.Face, 4};
    default: return {th.ButtonTop, th.ButtonBottom, th.Border, th.Face, 4};
    }
}

TBoxStyle FieldStyle(TState state)
{
    const TTheme& th = Theme();
    switch (state) {
    case TState::Hot: return {th.Field, th.Field, th.BorderHot, th.Face, 3};
    case TState::Focused:
    case TState::Down: return {th.Field, th.Field, th.Accent, th.Face, 3};
    case TState::Disabled: return {0xFF26272A, 0xFF26272A, 0xFF35373C, th.Face, 3};
    default: return {th.Field, th.Field, th.Border, th.Face, 3};
    }
}

void StrokeLine(TspBitmap& b, double x0, double y0, double x1, double y1, double width, TspColor c)
{
    const double half = width / 2;
    const int left = static_cast<int>(std::floor(std::min(x0, x1) - half - 1));
    const int right = static_cast<int>(std::ceil(std::max(x0, x1) + half + 1));
    const int top = static_cast<int>(std::floor(std::min(y0, y1) - half - 1));
    const int bottom = static_cast<int>(std::ceil(std::max(y0, y1) + half + 1));
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x) {
            int inside = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx)
                    if (SegmentDistance(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4, x0, y0, x1, y1) <= half)
                        ++inside;
            Blend(b, x, y, c, inside / 16.0);
        }
}

void FillDisc(TspBitmap& b, double cx, double cy, double radius, TspColor c)
{
    const int left = static_cast<int>(std::floor(cx - radius - 1)), right = static_cast<int>(std::ceil(cx + radius + 1));
    const int top = static_cast<int>(std::floor(cy - radius - 1)), bottom = static_cast<int>(std::ceil(cy + radius + 1));
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x) {
            int inside = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx) {
                    const double dx = x + (sx + 0.5) / 4 - cx, dy = y + (sy + 0.5) / 4 - cy;
                    if (dx * dx + dy * dy <= radius * radius)
                        ++inside;
                }
            Blend(b, x, y, c, inside / 16.0);
        }
}

void PaintChevron(TspBitmap& b, const TRect& r, TspColor c, int direction, double size)
{
    const double cx = (r.left + r.right) / 2.0, cy = (r.top + r.bottom) / 2.0, h = size / 2;
    const double w = 1.6;
    switch (direction) {
    case 1:  // left
        StrokeLine(b, cx + h, cy - size, cx - h, cy, w, c);
        StrokeLine(b, cx - h, cy, cx + h, cy + size, w, c);
        break;
    case 2:  // right
        StrokeLine(b, cx - h, cy - size, cx + h, cy, w, c);
        StrokeLine(b, cx + h, cy, cx - h, cy + size, w, c);
        break;
    case 3:  // up
        StrokeLine(b, cx - size, cy + h, cx, cy - h, w, c);
        StrokeLine(b, cx, cy - h, cx + size, cy + h, w, c);
        break;
    default:  // down
        StrokeLine(b, cx - size, cy - h, cx, cy + h, w, c);
        StrokeLine(b, cx, cy + h, cx + size, cy - h, w, c);
        break;
    }
}

void PaintCheckMark(TspBitmap& b, const TRect& r, TspColor c)
{
    const double w = r.Width(), h = r.Height();
    const double x0 = r.left + w * 0.24, y0 = r.top + h * 0.52;
    const double x1 = r.left + w * 0.43, y1 = r.top + h * 0.70;
    const double x2 = r.left + w * 0.77, y2 = r.top + h * 0.31;
    StrokeLine(b, x0, y0, x1, y1, 2.0, c);
    StrokeLine(b, x1, y1, x2, y2, 2.0, c);
}

void PaintCross(TspBitmap& b, const TRect& r, TspColor c, double size)
{
    const double cx = (r.left + r.right) / 2.0, cy = (r.top + r.bottom) / 2.0;
    StrokeLine(b, cx - size, cy - size, cx + size, cy + size, 1.4, c);
    StrokeLine(b, cx - size, cy + size, cx + size, cy - size, 1.4, c);
}

TBitmap* SheetPicture(TspBitmap& sheet, int height)
{
    if (height < 0 || height > sheet.Height())
        height = sheet.Height();
    sheet.SetAlpha(255);
    auto* bmp = new TBitmap();
    bmp->SetPixelFormat(pf24bit);
    bmp->SetSize(sheet.Width(), height);
    BitBlt(bmp->Canvas()->Handle(), 0, 0, sheet.Width(), height, sheet.DC(), 0, 0, SRCCOPY);
    return bmp;
}

}  // namespace skingen
