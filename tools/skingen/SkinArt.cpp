#include "SkinArt.h"

#include "platform/classes/Streams.h"
#include "platform/gui/Graphics.h"
#include "skin/core/SkinDrawGlyphs.h"

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

TspColor Mix(TspColor a, TspColor b, double t)
{
    auto ch = [&](int s) {
        const double v = ((a >> s) & 0xFF) * (1 - t) + ((b >> s) & 0xFF) * t;
        return static_cast<TspColor>(std::clamp(static_cast<int>(std::lround(v)), 0, 255)) << s;
    };
    return 0xFF000000u | ch(16) | ch(8) | ch(0);
}

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
    case TState::Hot: return {th.HotTop, th.HotBottom, th.BorderHot, th.Face, 3};
    case TState::Down: return {th.DownTop, th.DownBottom, th.Accent, th.Face, 3};
    case TState::Disabled: return {th.DisabledTop, th.DisabledBottom, 0xFFD9DCE1, th.Face, 3};
    case TState::Focused: return {th.ButtonTop, th.ButtonBottom, th.Accent, th.Face, 3};
    default: return {th.ButtonTop, th.ButtonBottom, th.Border, th.Face, 3};
    }
}

TBoxStyle FieldStyle(TState state)
{
    const TTheme& th = Theme();
    switch (state) {
    case TState::Hot: return {th.Field, th.Field, th.BorderHot, th.Face, 2};
    case TState::Focused:
    case TState::Down: return {th.Field, th.Field, th.Accent, th.Face, 2};
    case TState::Disabled: return {0xFFF7F7F8, 0xFFF7F7F8, 0xFFDDE0E4, th.Face, 2};
    default: return {th.Field, th.Field, th.Border, th.Face, 2};
    }
}

void PaintArrow(TspBitmap& b, const TRect& r, TspColor c, int direction)
{
    DrawArrow(b.Canvas(), r, ToTColor(c), direction);
    b.SetAlpha(255, r);
}

void PaintCheck(TspBitmap& b, int x, int y, TspColor c)
{
    DrawCheckMark(b.Canvas(), x, y, ToTColor(c));
    b.SetAlpha(255, TRect(x, y, x + 8, y + 8));
}

TBitmap* SheetPicture(TspBitmap& sheet)
{
    auto* bmp = new TBitmap();
    bmp->SetPixelFormat(pf24bit);
    bmp->SetSize(sheet.Width(), sheet.Height());
    BitBlt(bmp->Canvas()->Handle(), 0, 0, sheet.Width(), sheet.Height(), sheet.DC(), 0, 0, SRCCOPY);
    return bmp;
}

}  // namespace skingen
