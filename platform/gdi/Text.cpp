#include "platform/gdi/Text.h"

#include "platform/gdi/DeviceContext.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

std::string_view Cut(std::string_view text, int count)
{
    if (count >= 0 && static_cast<std::size_t>(count) < text.size())
        return text.substr(0, static_cast<std::size_t>(count));
    return text;
}

// Coordinates beyond this are pulled in: nothing that far is on any surface,
// and sums of positions and extents stay clear of overflow.
constexpr LONG kCoordLimit = 1 << 27;
LONG Clamp(LONG v) { return std::clamp(v, -kCoordLimit, kCoordLimit); }
RECT Clamp(const RECT& r) { return RECT{Clamp(r.left), Clamp(r.top), Clamp(r.right), Clamp(r.bottom)}; }

// What every text call needs from its DC.
struct TDcText {
    TDeviceContext* Dc = nullptr;
    std::shared_ptr<TFontFace> Face;
    LOGFONT Lf;
    int Extra = 0;
    const TFontMetrics& M() const { return Face->Metrics(); }
};

bool Prepare(HDC hdc, TDcText& t)
{
    t.Dc = TDeviceContext::FromHandle(hdc);
    if (!t.Dc)
        return false;
    t.Face = FontFaceOf(t.Dc->State.Font);
    if (!t.Face)
        return false;
    t.Lf = FontLogFontOf(t.Dc->State.Font);
    // A character extra anywhere near the integer limits would only overflow.
    t.Extra = std::clamp(t.Dc->State.TextCharExtra, -(1 << 16), 1 << 16);
    return true;
}

class TFaceMeasure final : public TTextMeasure {
public:
    explicit TFaceMeasure(const TDcText& t) : FT(t) {}
    int Advance(char32_t c) override { return FT.Face->Advance(c) + FT.Extra; }
    int LineHeight() override { return FT.M().Height; }
    int ExternalLeading() override { return FT.M().ExternalLeading; }
    int AveCharWidth() override { return FT.M().AveCharWidth; }

private:
    const TDcText& FT;
};

bool Intersect(RECT& r, const RECT& o)
{
    r.left = std::max(r.left, o.left);
    r.top = std::max(r.top, o.top);
    r.right = std::min(r.right, o.right);
    r.bottom = std::min(r.bottom, o.bottom);
    return r.left < r.right && r.top < r.bottom;
}

inline std::uint32_t Mix(std::uint32_t a, std::uint32_t b, std::uint32_t w)
{
    // (a * w + b * (255 - w)) / 255, rounded
    std::uint32_t v = a * w + b * (255 - w) + 128;
    return (v + (v >> 8)) >> 8;
}

// Writes coverage masks and rectangles into the DC's surface, cut to its clip
// (and to an extra rectangle), in surface coordinates. Touched pixels of
// 32-bit surfaces get alpha 0, as every other GDI drawing leaves them.
class TPainter {
public:
    TPainter(TDeviceContext& dc, const RECT* extraClip) : FLayout(dc.Layout())
    {
        if (!FLayout || !FLayout->Bits)
            return;
        const RECT extra = extraClip ? dc.ToSurface(*extraClip) : RECT{};
        const RECT bounds{0, 0, FLayout->Width, FLayout->Height};
        for (RECT r : dc.ClipRects()) {
            if (!Intersect(r, bounds) || (extraClip && !Intersect(r, extra)))
                continue;
            FClips.push_back(r);
        }
        FPlain = FLayout->IsPlain32();
    }
    bool Empty() const { return FClips.empty(); }

    void Fill(const RECT& area, COLORREF color)
    {
        const DWORD px = ColorRefToPixel(color & 0xFFFFFF);
        for (RECT r : FClips) {
            if (!Intersect(r, area))
                continue;
            const LONG n = r.right - r.left;
            for (LONG y = r.top; y < r.bottom; ++y) {
                if (FPlain) {
                    auto* d = reinterpret_cast<DWORD*>(FLayout->Row(y)) + r.left;
                    std::fill(d, d + n, px);
                } else {
                    FRow.assign(static_cast<std::size_t>(n), px);
                    WritePixels(*FLayout, y, r.left, n, FRow.data());
                }
            }
        }
    }

    // A rectangle turned about its own first corner: filled where pixel
    // centres fall inside. Corner (ox, oy), edge vectors u (along) and v.
    void FillTurned(double ox, double oy, double ux, double uy, double vx, double vy, COLORREF color)
    {
        const double xs[] = {ox, ox + ux, ox + vx, ox + ux + vx};
        const double ys[] = {oy, oy + uy, oy + vy, oy + uy + vy};
        RECT box{static_cast<LONG>(std::floor(*std::min_element(xs, xs + 4))),
                 static_cast<LONG>(std::floor(*std::min_element(ys, ys + 4))),
                 static_cast<LONG>(std::ceil(*std::max_element(xs, xs + 4))),
                 static_cast<LONG>(std::ceil(*std::max_element(ys, ys + 4)))};
        const double uu = ux * ux + uy * uy, vv = vx * vx + vy * vy;
        if (uu <= 0 || vv <= 0)
            return;
        const DWORD px = ColorRefToPixel(color & 0xFFFFFF);
        for (RECT r : FClips) {
            if (!Intersect(r, box))
                continue;
            for (LONG y = r.top; y < r.bottom; ++y)
                for (LONG x = r.left; x < r.right; ++x) {
                    const double dx = x + 0.5 - ox, dy = y + 0.5 - oy;
                    const double a = (dx * ux + dy * uy) / uu, b = (dx * vx + dy * vy) / vv;
                    if (a >= 0 && a < 1 && b >= 0 && b < 1)
                        WritePixels(*FLayout, y, x, 1, &px);
                }
        }
    }

    void Glyph(const TGlyph& g, LONG penX, LONG penY, COLORREF color)
    {
        if (!g.Coverage || g.Width <= 0)
            return;
        const RECT area{penX + g.Left, penY - g.Top, penX + g.Left + g.Width, penY - g.Top + g.Height};
        const std::uint32_t cr = GetRValue(color), cg = GetGValue(color), cb = GetBValue(color);
        const DWORD solid = ColorRefToPixel(color & 0xFFFFFF);
        for (RECT r : FClips) {
            if (!Intersect(r, area))
                continue;
            const LONG n = r.right - r.left;
            for (LONG y = r.top; y < r.bottom; ++y) {
                const std::uint8_t* cov = g.Coverage + static_cast<std::ptrdiff_t>(y - area.top) * g.Width +
                                          (r.left - area.left);
                DWORD* d;
                if (FPlain) {
                    d = reinterpret_cast<DWORD*>(FLayout->Row(y)) + r.left;
                } else {
                    FRow.resize(static_cast<std::size_t>(n));
                    ReadPixels(*FLayout, y, r.left, n, FRow.data());
                    d = FRow.data();
                }
                for (LONG i = 0; i < n; ++i) {
                    const std::uint32_t a = cov[i];
                    if (a == 0)
                        continue;
                    if (a == 255) {
                        d[i] = solid;
                        continue;
                    }
                    const DWORD p = d[i];
                    d[i] = (Mix(cr, (p >> 16) & 0xFF, a) << 16) | (Mix(cg, (p >> 8) & 0xFF, a) << 8) |
                           Mix(cb, p & 0xFF, a);
                }
                if (!FPlain)
                    WritePixels(*FLayout, y, r.left, n, FRow.data());
            }
        }
    }

private:
    const TPixelLayout* FLayout;
    std::vector<RECT> FClips;
    std::vector<DWORD> FRow;
    bool FPlain = false;
};

struct TDirection {
    double Cos = 1, Sin = 0;
    bool Turned = false;
    explicit TDirection(int escapement)
    {
        if (escapement % 3600 != 0) {
            const double angle = escapement * 3.14159265358979323846 / 1800.0;
            Cos = std::cos(angle);
            Sin = std::sin(angle);
            Turned = true;
        }
    }
    // A point Along the baseline and Down from it, relative to an origin.
    LONG X(double along, double down) const { return static_cast<LONG>(std::lround(along * Cos + down * Sin)); }
    LONG Y(double along, double down) const { return static_cast<LONG>(std::lround(-along * Sin + down * Cos)); }
};

// One line of text at a baseline origin in surface coordinates: optional
// background cell, the glyphs, and underline / strike-out lines. Advances
// are per code point, in pixels along the baseline.
struct TLinePaint {
    const char32_t* Text = nullptr;
    std::size_t Count = 0;
    const int* Advances = nullptr;
    int Width = 0;
    bool Background = false;
    bool Glyphs = true;
};

void FillAlong(TPainter& p, const TDirection& dir, LONG ox, LONG oy, int along0, int down0, int length,
               int thickness, COLORREF color)
{
    if (length <= 0 || thickness <= 0)
        return;
    if (!dir.Turned) {
        p.Fill(RECT{ox + along0, oy + down0, ox + along0 + length, oy + down0 + thickness}, color);
        return;
    }
    p.FillTurned(ox + along0 * dir.Cos + down0 * dir.Sin, oy - along0 * dir.Sin + down0 * dir.Cos,
                 length * dir.Cos, -length * dir.Sin, thickness * dir.Sin, thickness * dir.Cos, color);
}

void PaintLine(const TDcText& t, TPainter& p, LONG ox, LONG oy, const TLinePaint& line)
{
    const TFontMetrics& m = t.M();
    const TDirection dir(t.Face->Escapement());
    const TDCState& s = t.Dc->State;
    if (line.Background && s.BkMode == OPAQUE)
        FillAlong(p, dir, ox, oy, 0, -m.Ascent, line.Width, m.Height, s.BkColor);
    if (!line.Glyphs)
        return;
    std::vector<const TGlyph*> glyphs(line.Count);
    t.Face->Glyphs(line.Text, line.Count, glyphs.data());
    const COLORREF color = s.TextColor;
    long long along = 0;
    for (std::size_t i = 0; i < line.Count; ++i) {
        if (dir.Turned)
            p.Glyph(*glyphs[i], ox + dir.X(static_cast<double>(along), 0), oy + dir.Y(static_cast<double>(along), 0), color);
        else
            p.Glyph(*glyphs[i], ox + static_cast<LONG>(along), oy, color);
        along = std::clamp<long long>(along + line.Advances[i], -kCoordLimit, kCoordLimit);
    }
    if (t.Lf.lfUnderline)
        FillAlong(p, dir, ox, oy, 0, m.UnderlineOffset, line.Width, m.UnderlineThickness, color);
    if (t.Lf.lfStrikeOut)
        FillAlong(p, dir, ox, oy, 0, -m.StrikeoutOffset, line.Width, m.StrikeoutThickness, color);
}

std::vector<int> Advances(const TDcText& t, const std::u32string& text, const INT* dx, int& width)
{
    std::vector<int> adv(text.size());
    long long w = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        adv[i] = dx ? dx[i] : t.Face->Advance(text[i]) + t.Extra;
        w += adv[i];
    }
    width = static_cast<int>(std::clamp<long long>(w, INT32_MIN / 2, INT32_MAX / 2));
    return adv;
}

// Splits at tabs and places the pieces at the tab stops; returns the width.
struct TTabPiece {
    int Offset;
    std::size_t Begin, End;
};
int LayoutTabs(const TDcText& t, const std::u32string& text, int tabCount, const INT* tabs, int startFromOrigin,
               std::vector<TTabPiece>& pieces, std::vector<int>& adv)
{
    // Negative stops mean right-aligned tabs elsewhere; here only their distance counts.
    auto stop = [](INT v) { return static_cast<int>(std::min<long long>(std::llabs(v), kCoordLimit)); };
    const int interval = (tabCount <= 0 || !tabs) ? 8 * std::max(1, t.M().AveCharWidth)
                         : tabCount == 1         ? stop(tabs[0])
                                                 : 0;
    auto nextStop = [&](int x) {
        const int pos = startFromOrigin + x;
        int next = pos + t.Face->Advance(U' ');  // past the last stop a tab is a blank
        if (interval > 0) {
            next = (pos / interval + 1) * interval;
        } else if (tabCount > 1 && tabs) {
            for (int k = 0; k < tabCount; ++k)
                if (stop(tabs[k]) > pos) {
                    next = stop(tabs[k]);
                    break;
                }
        }
        return std::clamp(next - startFromOrigin, -kCoordLimit, kCoordLimit);
    };
    adv.assign(text.size(), 0);
    int x = 0;
    pieces.push_back({0, 0, 0});
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != U'\t') {
            adv[i] = t.Face->Advance(text[i]) + t.Extra;
            x = std::clamp(x + adv[i], -kCoordLimit, kCoordLimit);
            continue;
        }
        pieces.back().End = i;
        x = nextStop(x);
        pieces.push_back({x, i + 1, i + 1});
    }
    pieces.back().End = text.size();
    return x;
}

LONG TabbedCore(HDC hdc, int x, int y, std::string_view text, int count, int tabCount, const INT* tabs,
                int tabOrigin, bool draw)
{
    TDcText t;
    if (!Prepare(hdc, t))
        return 0;
    x = Clamp(x);
    y = Clamp(y);
    const std::u32string chars = Utf8ToCodePoints(Cut(text, count));
    std::vector<TTabPiece> pieces;
    std::vector<int> adv;
    const int width = LayoutTabs(t, chars, tabCount, tabs, draw ? x - Clamp(tabOrigin) : 0, pieces, adv);
    const int height = t.M().Height;
    if (draw) {
        TDeviceContext& dc = *t.Dc;
        const UINT va = dc.State.TextAlign & TA_BASELINE;
        const int down = va == TA_BASELINE ? 0 : va == TA_BOTTOM ? -t.M().Descent : t.M().Ascent;
        TPainter p(dc, nullptr);
        const LONG ox = dc.ToSurfaceX(x), oy = dc.ToSurfaceY(y) + down;
        if (!p.Empty()) {
            TLinePaint bg;
            bg.Width = width;
            bg.Background = true;
            bg.Glyphs = false;
            PaintLine(t, p, ox, oy, bg);
            for (const auto& piece : pieces) {
                TLinePaint line;
                line.Text = chars.data() + piece.Begin;
                line.Count = piece.End - piece.Begin;
                line.Advances = adv.data() + piece.Begin;
                int w = 0;
                for (std::size_t i = piece.Begin; i < piece.End; ++i)
                    w += adv[i];
                line.Width = w;
                PaintLine(t, p, ox + piece.Offset, oy, line);
            }
        }
    }
    return MAKELONG(static_cast<WORD>(std::clamp(width, 0, 0xFFFF)), static_cast<WORD>(height));
}

int DrawTextCore(HDC hdc, std::string_view text, int count, RECT* rect, UINT format, DRAWTEXTPARAMS* params,
                 std::string* modify)
{
    TDcText t;
    if (!rect || !Prepare(hdc, t))
        return 0;
    const std::string_view source = Cut(text, count);
    TLayoutOptions options;
    if (params && params->cbSize >= sizeof(DRAWTEXTPARAMS)) {
        options.TabLength = params->iTabLength;
        options.LeftMargin = params->iLeftMargin;
        options.RightMargin = params->iRightMargin;
        params->uiLengthDrawn = static_cast<UINT>(source.size());
    }
    TFaceMeasure measure(t);
    const RECT area = Clamp(*rect);
    const TTextLayout layout = LayoutText(source, area, format, measure, options);
    if (format & DT_TABSTOP)
        format &= ~0xFF00u;  // that byte held the tab length
    if (format & DT_CALCRECT) {
        *rect = layout.Bounds;
        return layout.Height;
    }
    if (modify && (format & DT_MODIFYSTRING))
        *modify = layout.Shown;

    TDeviceContext& dc = *t.Dc;
    TPainter p(dc, (format & DT_NOCLIP) ? nullptr : &area);
    if (p.Empty())
        return layout.Height;
    const TFontMetrics& m = t.M();
    for (const TLayoutLine& line : layout.Lines) {
        const LONG baseline = dc.ToSurfaceY(line.Y) + m.Ascent;
        if (!line.Runs.empty() && !layout.UnderlinesOnly) {
            int lineEnd = line.Runs.front().X;
            std::vector<std::vector<int>> advs;
            advs.reserve(line.Runs.size());
            for (const TLayoutRun& run : line.Runs) {
                int w = 0;
                advs.push_back(Advances(t, run.Text, nullptr, w));
                lineEnd = std::max(lineEnd, run.X + w);
            }
            TLinePaint bg;
            bg.Width = lineEnd - line.Runs.front().X;
            bg.Background = true;
            bg.Glyphs = false;
            PaintLine(t, p, dc.ToSurfaceX(line.Runs.front().X), baseline, bg);
            for (std::size_t i = 0; i < line.Runs.size(); ++i) {
                const TLayoutRun& run = line.Runs[i];
                TLinePaint lp;
                lp.Text = run.Text.data();
                lp.Count = run.Text.size();
                lp.Advances = advs[i].data();
                for (int a : advs[i])
                    lp.Width += a;
                PaintLine(t, p, dc.ToSurfaceX(run.X), baseline, lp);
            }
        }
        for (const TLayoutUnderline& u : line.Underlines)
            p.Fill(RECT{dc.ToSurfaceX(u.X1), baseline + m.UnderlineOffset, dc.ToSurfaceX(u.X2),
                        baseline + m.UnderlineOffset + m.UnderlineThickness},
                   dc.State.TextColor);
    }
    return layout.Height;
}

void FillTextMetrics(const TFontFace& face, const LOGFONT& lf, TEXTMETRIC& tm)
{
    const TFontMetrics& m = face.Metrics();
    tm = TEXTMETRIC{};
    tm.tmHeight = m.Height;
    tm.tmAscent = m.Ascent;
    tm.tmDescent = m.Descent;
    tm.tmInternalLeading = m.InternalLeading;
    tm.tmExternalLeading = m.ExternalLeading;
    tm.tmAveCharWidth = m.AveCharWidth;
    tm.tmMaxCharWidth = m.MaxCharWidth;
    tm.tmWeight = m.Weight;
    tm.tmDigitizedAspectX = 96;
    tm.tmDigitizedAspectY = 96;
    tm.tmFirstChar = 0x20;
    tm.tmLastChar = 0xFFFC;
    tm.tmDefaultChar = 0x1F;
    tm.tmBreakChar = 0x20;
    tm.tmItalic = lf.lfItalic ? 255 : 0;
    tm.tmUnderlined = lf.lfUnderline ? 255 : 0;
    tm.tmStruckOut = lf.lfStrikeOut ? 255 : 0;
    const std::string& family = face.FamilyName();
    const BYTE kind = m.FixedPitch ? FF_MODERN
                      : (family.find("Serif") != std::string::npos && family.find("Sans") == std::string::npos)
                          ? FF_ROMAN
                          : FF_SWISS;
    tm.tmPitchAndFamily = static_cast<BYTE>(kind | TMPF_VECTOR | TMPF_TRUETYPE | (m.FixedPitch ? 0 : TMPF_FIXED_PITCH));
    tm.tmCharSet = lf.lfCharSet == DEFAULT_CHARSET ? ANSI_CHARSET : lf.lfCharSet;
}

}  // namespace

BOOL ExtTextOut(HDC hdc, int x, int y, UINT options, const RECT* rect, std::string_view text, int count,
                const INT* dx)
{
    TDcText t;
    if (!Prepare(hdc, t))
        return FALSE_;
    TDeviceContext& dc = *t.Dc;
    const std::u32string chars = Utf8ToCodePoints(Cut(text, count));
    int width = 0;
    const std::vector<int> adv = Advances(t, chars, dx, width);

    const UINT align = dc.State.TextAlign;
    if (align & TA_UPDATECP) {
        x = dc.State.CurrentPos.x;
        y = dc.State.CurrentPos.y;
    }
    x = Clamp(x);
    y = Clamp(y);
    const RECT box = rect ? Clamp(*rect) : RECT{};
    const UINT ha = align & TA_CENTER, va = align & TA_BASELINE;
    const int along = ha == TA_CENTER ? -width / 2 : ha == TA_RIGHT ? -width : 0;
    const int down = va == TA_BASELINE ? 0 : va == TA_BOTTOM ? -t.M().Descent : t.M().Ascent;
    const TDirection dir(t.Face->Escapement());
    const LONG ox = dc.ToSurfaceX(x) + dir.X(along, down), oy = dc.ToSurfaceY(y) + dir.Y(along, down);

    if (align & TA_UPDATECP) {
        const int move = ha == TA_CENTER ? 0 : ha == TA_RIGHT ? -width : width;
        dc.State.CurrentPos.x = x + dir.X(move, 0);
        dc.State.CurrentPos.y = y + dir.Y(move, 0);
    }

    if ((options & ETO_OPAQUE) && rect) {
        TPainter bg(dc, nullptr);
        RECT r = dc.ToSurface(box);
        if (r.left > r.right)
            std::swap(r.left, r.right);
        if (r.top > r.bottom)
            std::swap(r.top, r.bottom);
        bg.Fill(r, dc.State.BkColor);
    }
    if (chars.empty())
        return TRUE_;
    TPainter p(dc, (options & ETO_CLIPPED) && rect ? &box : nullptr);
    if (p.Empty())
        return TRUE_;
    TLinePaint line;
    line.Text = chars.data();
    line.Count = chars.size();
    line.Advances = adv.data();
    line.Width = width;
    line.Background = true;
    PaintLine(t, p, ox, oy, line);
    return TRUE_;
}

BOOL TextOut(HDC dc, int x, int y, std::string_view text, int count)
{
    return ExtTextOut(dc, x, y, 0, nullptr, text, count, nullptr);
}

int DrawText(HDC dc, std::string_view text, int count, RECT* rect, UINT format)
{
    return DrawTextCore(dc, text, count, rect, format, nullptr, nullptr);
}

int DrawTextEx(HDC dc, std::string_view text, int count, RECT* rect, UINT format, DRAWTEXTPARAMS* params)
{
    return DrawTextCore(dc, text, count, rect, format, params, nullptr);
}

int DrawTextEx(HDC dc, std::string* text, int count, RECT* rect, UINT format, DRAWTEXTPARAMS* params)
{
    if (!text)
        return 0;
    const std::string copy = *text;  // the layout reads it while the result replaces it
    return DrawTextCore(dc, copy, count, rect, format, params, text);
}

LONG TabbedTextOut(HDC dc, int x, int y, std::string_view text, int count, int tabCount, const INT* tabs,
                   int tabOrigin)
{
    return TabbedCore(dc, x, y, text, count, tabCount, tabs, tabOrigin, true);
}

DWORD GetTabbedTextExtent(HDC dc, std::string_view text, int count, int tabCount, const INT* tabs)
{
    return static_cast<DWORD>(TabbedCore(dc, 0, 0, text, count, tabCount, tabs, 0, false));
}

BOOL GetTextExtentPoint32(HDC hdc, std::string_view text, int count, SIZE* size)
{
    TDcText t;
    if (!size || !Prepare(hdc, t))
        return FALSE_;
    long long w = 0;
    for (char32_t c : Utf8ToCodePoints(Cut(text, count)))
        w += t.Face->Advance(c) + t.Extra;
    size->cx = static_cast<LONG>(std::clamp<long long>(w, INT32_MIN, INT32_MAX));
    size->cy = t.M().Height;
    return TRUE_;
}

BOOL GetTextExtentExPoint(HDC hdc, std::string_view text, int count, int maxExtent, int* fit, int* dx, SIZE* size)
{
    TDcText t;
    if (!Prepare(hdc, t))
        return FALSE_;
    const std::u32string chars = Utf8ToCodePoints(Cut(text, count));
    long long w = 0;
    int fits = 0;
    for (std::size_t i = 0; i < chars.size(); ++i) {
        w += t.Face->Advance(chars[i]) + t.Extra;
        const int clamped = static_cast<int>(std::clamp<long long>(w, INT32_MIN, INT32_MAX));
        if (dx)
            dx[i] = clamped;
        if (w <= maxExtent && fits == static_cast<int>(i))
            fits = static_cast<int>(i) + 1;
    }
    if (fit)
        *fit = fits;
    if (size) {
        size->cx = static_cast<LONG>(std::clamp<long long>(w, INT32_MIN, INT32_MAX));
        size->cy = t.M().Height;
    }
    return TRUE_;
}

BOOL GetTextMetrics(HDC hdc, TEXTMETRIC* tm)
{
    TDcText t;
    if (!tm || !Prepare(hdc, t))
        return FALSE_;
    FillTextMetrics(*t.Face, t.Lf, *tm);
    return TRUE_;
}

bool GetFontTextMetrics(HGDIOBJ font, TEXTMETRIC& tm)
{
    auto face = FontFaceOf(font);
    if (!face)
        return false;
    FillTextMetrics(*face, FontLogFontOf(font), tm);
    return true;
}

int GetTextFace(HDC hdc, int count, char* name)
{
    TDcText t;
    if (!Prepare(hdc, t))
        return 0;
    const std::size_t len = strnlen(t.Lf.lfFaceName, LF_FACESIZE);
    if (!name)
        return static_cast<int>(len + 1);
    if (count <= 0)
        return 0;
    const std::size_t n = std::min(len, static_cast<std::size_t>(count - 1));
    std::memcpy(name, t.Lf.lfFaceName, n);
    name[n] = 0;
    return static_cast<int>(n + 1);
}

BOOL GetCharWidth32(HDC hdc, UINT first, UINT last, INT* widths)
{
    TDcText t;
    if (!widths || first > last || last > 0x10FFFF || !Prepare(hdc, t))
        return FALSE_;
    for (UINT c = first; c <= last; ++c)
        widths[c - first] = t.Face->Advance(c);
    return TRUE_;
}

BOOL GetCharABCWidths(HDC hdc, UINT first, UINT last, ABC* widths)
{
    TDcText t;
    if (!widths || first > last || last > 0x10FFFF || !Prepare(hdc, t))
        return FALSE_;
    for (UINT c = first; c <= last; ++c) {
        const char32_t ch = c;
        const TGlyph* g = nullptr;
        t.Face->Glyphs(&ch, 1, &g);
        ABC& abc = widths[c - first];
        abc.abcA = g->Width > 0 ? g->Left : 0;
        abc.abcB = static_cast<UINT>(std::max(g->Width, 0));
        abc.abcC = g->Advance - abc.abcA - static_cast<int>(abc.abcB);
    }
    return TRUE_;
}
