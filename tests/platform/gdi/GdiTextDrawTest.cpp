// Text on device contexts: font handles, measuring, and the pixels TextOut,
// ExtTextOut, DrawText and TabbedTextOut leave on a memory DC.
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Text.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

// A memory DC on a white top-down DIB of the given depth with a font selected.
class TCanvasFixture {
public:
    TCanvasFixture(int width, int height, int bits = 32, HFONT font = nullptr) : FWidth(width), FHeight(height)
    {
        std::vector<BYTE> store(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
        auto* bi = reinterpret_cast<BITMAPINFO*>(store.data());
        bi->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi->bmiHeader.biWidth = width;
        bi->bmiHeader.biHeight = -height;
        bi->bmiHeader.biPlanes = 1;
        bi->bmiHeader.biBitCount = static_cast<WORD>(bits);
        if (bits == 8)
            for (int i = 0; i < 256; ++i) {
                bi->bmiColors[i] = RGBQUAD{static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i), 0};
                bi->bmiHeader.biClrUsed = 256;
            }
        Dc = CreateCompatibleDC(nullptr);
        Bitmap = CreateDIBSection(Dc, bi, DIB_RGB_COLORS, &Bits, nullptr, 0);
        OldBitmap = SelectObject(Dc, Bitmap);
        // White paper: all bits set is white in every depth used here.
        std::memset(Bits, 0xFF, static_cast<std::size_t>((width * bits + 31) / 32 * 4) * height);
        Font = font ? font : CreateFont(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
        OldFont = SelectObject(Dc, Font);
        SetBkMode(Dc, TRANSPARENT);
        SetTextColor(Dc, RGB(0, 0, 0));
    }
    ~TCanvasFixture()
    {
        SelectObject(Dc, OldFont);
        SelectObject(Dc, OldBitmap);
        DeleteObject(Font);
        DeleteObject(Bitmap);
        DeleteDC(Dc);
    }
    // Surface pixels, whatever the DC's origins and clip.
    COLORREF Pixel(int x, int y) const
    {
        DWORD p = 0;
        ReadPixels(BitmapFromHandle(Bitmap)->Layout, y, x, 1, &p);
        return PixelToColorRef(p) & 0xFFFFFF;
    }
    static bool Dark(COLORREF c) { return GetRValue(c) < 128 && GetGValue(c) < 128 && GetBValue(c) < 128; }
    // Bounding box of dark pixels in surface coordinates; empty when none.
    RECT Ink() const
    {
        RECT r{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
        for (int y = 0; y < FHeight; ++y)
            for (int x = 0; x < FWidth; ++x)
                if (Dark(Pixel(x, y))) {
                    r.left = std::min(r.left, x);
                    r.top = std::min(r.top, y);
                    r.right = std::max(r.right, x + 1);
                    r.bottom = std::max(r.bottom, y + 1);
                }
        return r.left == INT_MAX ? RECT{} : r;
    }
    int CountNot(COLORREF c) const
    {
        int n = 0;
        for (int y = 0; y < FHeight; ++y)
            for (int x = 0; x < FWidth; ++x)
                n += (Pixel(x, y) & 0xFFFFFF) != c;
        return n;
    }
    bool Inside(const RECT& inner, const RECT& outer) const
    {
        return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
               inner.bottom <= outer.bottom;
    }

    HDC Dc = nullptr;
    HBITMAP Bitmap = nullptr;
    HFONT Font = nullptr;
    void* Bits = nullptr;

private:
    HGDIOBJ OldBitmap = nullptr;
    HGDIOBJ OldFont = nullptr;
    int FWidth, FHeight;
};

bool IsEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

TEST(GdiTextDraw, FontHandlesDescribeThemselves)
{
    HFONT f = CreateFont(-13, 0, 450, 450, FW_BOLD, 1, 1, 0, RUSSIAN_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0, "Tahoma");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(GetObjectType(f), OBJ_FONT);
    LOGFONT lf;
    EXPECT_EQ(GetObject(f, sizeof lf, &lf), static_cast<int>(sizeof lf));
    EXPECT_EQ(lf.lfHeight, -13);
    EXPECT_EQ(lf.lfEscapement, 450);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_EQ(lf.lfItalic, 1);
    EXPECT_EQ(lf.lfUnderline, 1);
    EXPECT_EQ(lf.lfCharSet, RUSSIAN_CHARSET);
    EXPECT_STREQ(lf.lfFaceName, "Tahoma");
    EXPECT_EQ(GetObject(f, 0, nullptr), static_cast<int>(sizeof lf));
    EXPECT_TRUE(DeleteObject(f));
    EXPECT_EQ(GetObject(f, sizeof lf, &lf), 0);

    // The class library's entry point, and a face name longer than the field.
    HFONT g = CreateFontHandle(std::string(40, 'x'), 20, {true, false, false, true}, DEFAULT_CHARSET, 900);
    LOGFONT back;
    ASSERT_TRUE(GetFontLogFont(g, back));
    EXPECT_EQ(std::strlen(back.lfFaceName), static_cast<std::size_t>(LF_FACESIZE - 1));
    EXPECT_EQ(back.lfWeight, FW_BOLD);
    EXPECT_EQ(back.lfStrikeOut, 1);
    EXPECT_EQ(back.lfEscapement, 900);
    EXPECT_EQ(back.lfOrientation, 900);
    DeleteObject(g);
    EXPECT_FALSE(GetFontLogFont(GetStockObject(WHITE_BRUSH), back));
    EXPECT_EQ(CreateFontIndirect(nullptr), nullptr);
}

TEST(GdiTextDraw, StockFonts)
{
    LOGFONT lf;
    ASSERT_EQ(GetObject(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf), static_cast<int>(sizeof lf));
    EXPECT_EQ(lf.lfHeight, -11);
    EXPECT_STREQ(lf.lfFaceName, "MS Sans Serif");
    EXPECT_TRUE(DeleteObject(GetStockObject(DEFAULT_GUI_FONT)));  // stock objects survive
    EXPECT_EQ(GetObject(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf), static_cast<int>(sizeof lf));
    TEXTMETRIC tm;
    ASSERT_TRUE(GetFontTextMetrics(GetStockObject(DEFAULT_GUI_FONT), tm));
    EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 11);
    ASSERT_TRUE(GetFontTextMetrics(GetStockObject(ANSI_FIXED_FONT), tm));
    EXPECT_EQ(tm.tmPitchAndFamily & TMPF_FIXED_PITCH, 0);
}

TEST(GdiTextDraw, MetricsAndExtents)
{
    TCanvasFixture c(40, 40);
    TEXTMETRIC tm;
    ASSERT_TRUE(GetTextMetrics(c.Dc, &tm));
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 16);
    EXPECT_EQ(tm.tmAveCharWidth, 7);
    EXPECT_NE(tm.tmPitchAndFamily & TMPF_TRUETYPE, 0);
    EXPECT_EQ(tm.tmPitchAndFamily & 0xF0, FF_SWISS);

    auto face = RealizeFont({"Arial", -16});
    SIZE s;
    ASSERT_TRUE(GetTextExtentPoint32(c.Dc, "Wave", -1, &s));
    const int w = face->Advance(U'W') + face->Advance(U'a') + face->Advance(U'v') + face->Advance(U'e');
    EXPECT_EQ(s.cx, w);
    EXPECT_EQ(s.cy, tm.tmHeight);
    ASSERT_TRUE(GetTextExtentPoint32(c.Dc, "Wave", 2, &s));
    EXPECT_EQ(s.cx, face->Advance(U'W') + face->Advance(U'a'));
    ASSERT_TRUE(GetTextExtentPoint32(c.Dc, "", -1, &s));
    EXPECT_EQ(s.cx, 0);
    EXPECT_EQ(s.cy, tm.tmHeight);

    SetTextCharacterExtra(c.Dc, 3);
    ASSERT_TRUE(GetTextExtentPoint32(c.Dc, "Wave", -1, &s));
    EXPECT_EQ(s.cx, w + 12);
    SetTextCharacterExtra(c.Dc, 0);

    int fit = -1;
    int dx[4] = {};
    ASSERT_TRUE(GetTextExtentExPoint(c.Dc, "Wave", -1, face->Advance(U'W') + face->Advance(U'a'), &fit, dx, &s));
    EXPECT_EQ(fit, 2);
    EXPECT_EQ(dx[3], w);
    EXPECT_EQ(dx[0], face->Advance(U'W'));

    INT widths[3];
    ASSERT_TRUE(GetCharWidth32(c.Dc, 'a', 'c', widths));
    EXPECT_EQ(widths[1], face->Advance(U'b'));
    ABC abc[1];
    ASSERT_TRUE(GetCharABCWidths(c.Dc, 'W', 'W', abc));
    EXPECT_EQ(abc[0].abcA + static_cast<int>(abc[0].abcB) + abc[0].abcC, face->Advance(U'W'));
    char name[8];
    EXPECT_EQ(GetTextFace(c.Dc, sizeof name, name), 6);
    EXPECT_STREQ(name, "Arial");
    EXPECT_EQ(GetTextFace(c.Dc, 3, name), 3);
    EXPECT_STREQ(name, "Ar");
}

TEST(GdiTextDraw, BadInputIsRefused)
{
    SIZE s;
    RECT r{0, 0, 10, 10};
    TEXTMETRIC tm;
    HDC bogus = reinterpret_cast<HDC>(&s);
    EXPECT_FALSE(TextOut(nullptr, 0, 0, "x"));
    EXPECT_FALSE(TextOut(bogus, 0, 0, "x"));
    EXPECT_FALSE(GetTextExtentPoint32(bogus, "x", -1, &s));
    EXPECT_FALSE(GetTextMetrics(nullptr, &tm));
    EXPECT_EQ(DrawText(bogus, "x", -1, &r, 0), 0);
    TCanvasFixture c(20, 20);
    EXPECT_EQ(DrawText(c.Dc, "x", -1, nullptr, 0), 0);
    EXPECT_FALSE(GetTextExtentPoint32(c.Dc, "x", -1, nullptr));
    EXPECT_FALSE(GetCharWidth32(c.Dc, 5, 4, nullptr));
    // Far-away and extreme coordinates draw nothing and do not overflow.
    EXPECT_TRUE(TextOut(c.Dc, INT_MAX, INT_MIN, "far"));
    EXPECT_TRUE(TextOut(c.Dc, -1000000, 5, "far"));
    RECT inverted{20, 20, 0, 0};
    DrawText(c.Dc, "x y z", -1, &inverted, DT_WORDBREAK);
    EXPECT_EQ(c.CountNot(RGB(255, 255, 255)), 0);
    RECT huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    RECT measured = huge;
    ASSERT_TRUE(GetTextMetrics(c.Dc, &tm));
    EXPECT_EQ(DrawText(c.Dc, "huge", -1, &measured, DT_CALCRECT | DT_SINGLELINE), tm.tmHeight);
    DrawText(c.Dc, "huge", -1, &huge, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    // Extreme advances, character extras and tab stops are survived.
    const INT dx[] = {INT_MAX, INT_MAX, INT_MIN};
    EXPECT_TRUE(ExtTextOut(c.Dc, 0, 0, 0, nullptr, "abc", -1, dx));
    const INT tabs[] = {INT_MIN, INT_MAX};
    TabbedTextOut(c.Dc, 0, 0, "a\tb\tc\td", -1, 1, tabs, INT_MIN);
    TabbedTextOut(c.Dc, 0, 0, "a\tb\tc\td", -1, 2, tabs, 0);
    SetTextCharacterExtra(c.Dc, INT_MAX);
    EXPECT_TRUE(GetTextExtentPoint32(c.Dc, "abc", -1, &s));
    RECT wide{0, 0, 20, 20};
    DrawText(c.Dc, "a b\tc", -1, &wide, DT_WORDBREAK | DT_EXPANDTABS | DT_END_ELLIPSIS);
    SetTextCharacterExtra(c.Dc, 0);
    DRAWTEXTPARAMS params;
    params.iTabLength = INT_MAX;
    params.iLeftMargin = INT_MIN;
    params.iRightMargin = INT_MAX;
    DrawTextEx(c.Dc, "a\tb", -1, &wide, DT_EXPANDTABS | DT_CENTER, &params);
    // A deleted font still selected draws with the default font.
    HFONT f = CreateFont(-12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    HGDIOBJ old = SelectObject(c.Dc, f);
    DeleteObject(f);
    EXPECT_TRUE(TextOut(c.Dc, 0, 0, "ok"));
    SelectObject(c.Dc, old);
}

TEST(GdiTextDraw, TextOutInksInsideItsExtent)
{
    TCanvasFixture c(120, 40);
    SIZE s;
    GetTextExtentPoint32(c.Dc, "Hello", -1, &s);
    ASSERT_TRUE(TextOut(c.Dc, 10, 8, "Hello"));
    const RECT ink = c.Ink();
    ASSERT_FALSE(IsEmpty(ink));
    EXPECT_TRUE(c.Inside(ink, RECT{10, 8, 10 + s.cx, 8 + s.cy})) << ink.left << "," << ink.top << "," << ink.right << "," << ink.bottom;
    EXPECT_GT(ink.right - ink.left, s.cx * 3 / 4);
    // Anti-aliased edges: some pixels are neither paper nor ink.
    int grey = 0;
    for (int y = ink.top; y < ink.bottom; ++y)
        for (int x = ink.left; x < ink.right; ++x) {
            const int v = GetGValue(c.Pixel(x, y));
            grey += v > 40 && v < 215;
        }
    EXPECT_GT(grey, 0);
}

TEST(GdiTextDraw, AlignmentMovesTheText)
{
    struct TCase {
        UINT Align;
        int Left, Top;  // the text box's corner relative to the reference point, in extents
    };
    TCanvasFixture probe(10, 10);
    SIZE s;
    TEXTMETRIC tm;
    GetTextExtentPoint32(probe.Dc, "Hex", -1, &s);
    GetTextMetrics(probe.Dc, &tm);
    const TCase cases[] = {
        {TA_LEFT | TA_TOP, 0, 0},
        {TA_RIGHT | TA_TOP, -s.cx, 0},
        {TA_CENTER | TA_TOP, -s.cx / 2, 0},
        {TA_LEFT | TA_BASELINE, 0, -tm.tmAscent},
        {TA_LEFT | TA_BOTTOM, 0, -tm.tmHeight},
        {TA_RIGHT | TA_BOTTOM, -s.cx, -tm.tmHeight},
    };
    for (const auto& k : cases) {
        TCanvasFixture c(160, 80);
        SetTextAlign(c.Dc, k.Align);
        SetBkMode(c.Dc, OPAQUE);
        SetBkColor(c.Dc, RGB(0, 0, 0));  // the cell itself is inked
        TextOut(c.Dc, 70, 40, "Hex");
        EXPECT_EQ(c.Ink(), (RECT{70 + k.Left, 40 + k.Top, 70 + k.Left + s.cx, 40 + k.Top + s.cy})) << k.Align;
    }
}

TEST(GdiTextDraw, UpdateCurrentPosition)
{
    TCanvasFixture c(200, 40);
    SetTextAlign(c.Dc, TA_UPDATECP);
    MoveToEx(c.Dc, 5, 3, nullptr);
    SIZE a, b;
    GetTextExtentPoint32(c.Dc, "ab", -1, &a);
    GetTextExtentPoint32(c.Dc, "cd", -1, &b);
    TextOut(c.Dc, 100, 100, "ab");
    TextOut(c.Dc, 100, 100, "cd");
    POINT p;
    GetCurrentPositionEx(c.Dc, &p);
    EXPECT_EQ(p.x, 5 + a.cx + b.cx);
    EXPECT_EQ(p.y, 3);
    EXPECT_TRUE(c.Inside(c.Ink(), RECT{5, 3, 5 + a.cx + b.cx, 3 + a.cy}));
}

TEST(GdiTextDraw, OriginsAndClipping)
{
    TCanvasFixture plain(120, 40);
    TextOut(plain.Dc, 10, 5, "Clip me");
    const RECT ref = plain.Ink();

    TCanvasFixture moved(120, 40);
    SetViewportOrgEx(moved.Dc, 7, 3, nullptr);
    SetWindowOrgEx(moved.Dc, 2, 1, nullptr);
    TextOut(moved.Dc, 10, 5, "Clip me");
    EXPECT_EQ(moved.Ink(), (RECT{ref.left + 5, ref.top + 2, ref.right + 5, ref.bottom + 2}));

    TCanvasFixture clipped(120, 40);
    const int mid = (ref.left + ref.right) / 2;
    IntersectClipRect(clipped.Dc, 0, 0, mid, 40);
    TextOut(clipped.Dc, 10, 5, "Clip me");
    RECT ink = clipped.Ink();
    EXPECT_LE(ink.right, mid);
    EXPECT_EQ(ink.left, ref.left);

    // ExtTextOut: its own clip rectangle and an opaque fill of it.
    TCanvasFixture ext(120, 40);
    SetBkColor(ext.Dc, RGB(255, 0, 0));
    RECT box{mid, 0, 110, 30};
    ExtTextOut(ext.Dc, 10, 5, ETO_CLIPPED | ETO_OPAQUE, &box, "Clip me");
    ink = ext.Ink();
    EXPECT_GE(ink.left, mid);
    EXPECT_EQ(ext.Pixel(109, 29), RGB(255, 0, 0));
    EXPECT_EQ(ext.Pixel(110, 29), RGB(255, 255, 255));
    EXPECT_EQ(ext.Pixel(mid - 1, 10), RGB(255, 255, 255));
}

TEST(GdiTextDraw, OpaqueBackgroundCoversTheCell)
{
    TCanvasFixture c(100, 40);
    SetBkMode(c.Dc, OPAQUE);
    SetBkColor(c.Dc, RGB(0, 0, 255));
    SetTextColor(c.Dc, RGB(255, 255, 0));
    SIZE s;
    GetTextExtentPoint32(c.Dc, "Hi there", -1, &s);
    TextOut(c.Dc, 4, 6, "Hi there");
    int changed = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 100; ++x) {
            const bool inside = x >= 4 && x < 4 + s.cx && y >= 6 && y < 6 + s.cy;
            const COLORREF p = c.Pixel(x, y);
            if (!inside)
                EXPECT_EQ(p, RGB(255, 255, 255)) << x << "," << y;
            else
                changed += p != RGB(255, 255, 255);
        }
    EXPECT_EQ(changed, s.cx * s.cy);
    EXPECT_EQ(c.Pixel(4, 6), RGB(0, 0, 255));
}

TEST(GdiTextDraw, UnderlineAndStrikeOut)
{
    HFONT u = CreateFont(-16, 0, 0, 0, FW_NORMAL, 0, 1, 0, 0, 0, 0, 0, 0, "Arial");
    TCanvasFixture c(100, 40, 32, u);
    TEXTMETRIC tm;
    GetTextMetrics(c.Dc, &tm);
    SIZE s;
    GetTextExtentPoint32(c.Dc, "a  b", -1, &s);
    TextOut(c.Dc, 5, 5, "a  b");
    // The blanks carry the underline alone: one solid run below the baseline.
    const int x = 5 + s.cx / 2;
    int rows = 0;
    for (int y = 5; y < 5 + tm.tmHeight; ++y)
        if (TCanvasFixture::Dark(c.Pixel(x, y))) {
            EXPECT_GT(y, 5 + tm.tmAscent - 1);
            ++rows;
        }
    EXPECT_GE(rows, 1);

    HFONT so = CreateFont(-16, 0, 0, 0, FW_NORMAL, 0, 0, 1, 0, 0, 0, 0, 0, "Arial");
    TCanvasFixture d(100, 40, 32, so);
    TextOut(d.Dc, 5, 5, "a  b");
    rows = 0;
    for (int y = 5; y < 5 + tm.tmHeight; ++y)
        if (TCanvasFixture::Dark(d.Pixel(x, y))) {
            EXPECT_LT(y, 5 + tm.tmAscent);
            ++rows;
        }
    EXPECT_GE(rows, 1);
}

TEST(GdiTextDraw, RotatedTextStandsUp)
{
    struct TCase {
        int Escapement;
        RECT Box;  // relative to the reference point, in units of (extent, height)
    };
    TCanvasFixture probe(10, 10);
    SIZE s;
    GetTextExtentPoint32(probe.Dc, "Rotate", -1, &s);
    const int w = s.cx, h = s.cy;
    const TCase cases[] = {
        {900, {0, -w, h, 0}},        // reads upward, the cell lies to the right of the baseline
        {2700, {-h, 0, 0, w}},       // reads downward
        {1800, {-w, -h, 0, 0}},      // upside down
    };
    for (const auto& k : cases) {
        HFONT f = CreateFont(-16, 0, k.Escapement, k.Escapement, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
        TCanvasFixture c(200, 200, 32, f);
        SetBkMode(c.Dc, OPAQUE);
        SetBkColor(c.Dc, RGB(0, 0, 0));
        TextOut(c.Dc, 100, 100, "Rotate");
        const RECT ink = c.Ink();
        const RECT want{100 + k.Box.left, 100 + k.Box.top, 100 + k.Box.right, 100 + k.Box.bottom};
        EXPECT_NEAR(ink.left, want.left, 1) << k.Escapement;
        EXPECT_NEAR(ink.top, want.top, 1) << k.Escapement;
        EXPECT_NEAR(ink.right, want.right, 1) << k.Escapement;
        EXPECT_NEAR(ink.bottom, want.bottom, 1) << k.Escapement;
    }
    // 45 degrees: the glyphs alone stay inside the turned cell's bounds.
    HFONT f = CreateFont(-16, 0, 450, 450, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    TCanvasFixture c(200, 200, 32, f);
    TextOut(c.Dc, 60, 140, "Rotate");
    const RECT ink = c.Ink();
    const double r = 0.7071;
    EXPECT_GE(ink.left, 60 - 1);
    EXPECT_LE(ink.right, 60 + static_cast<int>((w + h) * r) + 2);
    EXPECT_GE(ink.top, 140 - static_cast<int>((w + h) * r) - 2);
    EXPECT_LE(ink.bottom, 140 + static_cast<int>(h * r) + 2);
    EXPECT_GT(ink.right - ink.left, w / 2);
    EXPECT_GT(ink.bottom - ink.top, w / 2);
}

TEST(GdiTextDraw, DrawTextMeasuresAndDraws)
{
    TCanvasFixture c(200, 100);
    TEXTMETRIC tm;
    GetTextMetrics(c.Dc, &tm);
    SIZE word;
    GetTextExtentPoint32(c.Dc, "alpha beta", -1, &word);

    RECT calc{0, 0, word.cx, 0};
    EXPECT_EQ(DrawText(c.Dc, "alpha beta alpha beta", -1, &calc, DT_CALCRECT | DT_WORDBREAK), 2 * tm.tmHeight);
    EXPECT_EQ(calc, (RECT{0, 0, word.cx, 2 * tm.tmHeight}));
    EXPECT_EQ(c.CountNot(RGB(255, 255, 255)), 0);  // measuring draws nothing

    RECT calc2{0, 0, 0, 0};
    EXPECT_EQ(DrawText(c.Dc, "alpha beta", -1, &calc2, DT_CALCRECT | DT_SINGLELINE), tm.tmHeight);
    EXPECT_EQ(calc2.right, word.cx);

    // Centred both ways in a rectangle.
    RECT r{20, 10, 180, 90};
    DrawText(c.Dc, "alpha beta", -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    const RECT ink = c.Ink();
    const int left = 20 + (160 - word.cx) / 2, top = 10 + (80 - tm.tmHeight) / 2;
    EXPECT_TRUE(c.Inside(ink, RECT{left, top, left + word.cx, top + tm.tmHeight}));
    EXPECT_GT(ink.left, 20 + 5);
}

TEST(GdiTextDraw, DrawTextClipsUnlessTold)
{
    TCanvasFixture clipped(200, 40);
    RECT r{10, 5, 40, 30};
    DrawText(clipped.Dc, "A fairly long caption", -1, &r, DT_SINGLELINE);
    EXPECT_TRUE(clipped.Inside(clipped.Ink(), r));

    TCanvasFixture free(200, 40);
    DrawText(free.Dc, "A fairly long caption", -1, &r, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_GT(free.Ink().right, 60);

    TCanvasFixture ellipsis(200, 40);
    std::string text = "A fairly long caption";
    RECT e{10, 5, 80, 30};
    DrawTextEx(ellipsis.Dc, &text, -1, &e, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING, nullptr);
    ASSERT_GT(text.size(), 3u);
    EXPECT_EQ(text.substr(text.size() - 3), "...");
    SIZE shown;
    GetTextExtentPoint32(ellipsis.Dc, text, -1, &shown);
    EXPECT_LE(shown.cx, 70);
    EXPECT_TRUE(ellipsis.Inside(ellipsis.Ink(), e));
}

TEST(GdiTextDraw, PrefixIsUnderlined)
{
    TEXTMETRIC tm;
    SIZE f;
    TCanvasFixture with(100, 40);
    GetTextMetrics(with.Dc, &tm);
    GetTextExtentPoint32(with.Dc, "F", -1, &f);
    RECT r{0, 0, 100, 40};
    DrawText(with.Dc, "&File", -1, &r, DT_SINGLELINE);
    TCanvasFixture without(100, 40);
    DrawText(without.Dc, "&File", -1, &r, DT_SINGLELINE | DT_HIDEPREFIX);
    int extra = 0, outside = 0;
    for (int y = tm.tmAscent; y < tm.tmHeight; ++y)
        for (int x = 0; x < 100; ++x)
            if (TCanvasFixture::Dark(with.Pixel(x, y)) && !TCanvasFixture::Dark(without.Pixel(x, y))) {
                ++extra;
                outside += x >= f.cx;
            }
    EXPECT_GE(extra, f.cx - 2);
    EXPECT_EQ(outside, 0);

    TCanvasFixture only(100, 40);
    DrawText(only.Dc, "&File", -1, &r, DT_SINGLELINE | DT_PREFIXONLY);
    const RECT ink = only.Ink();
    EXPECT_GE(ink.top, tm.tmAscent);
    EXPECT_LE(ink.right, f.cx);
}

TEST(GdiTextDraw, TabbedText)
{
    TCanvasFixture c(300, 40);
    SIZE a, b;
    GetTextExtentPoint32(c.Dc, "a", -1, &a);
    GetTextExtentPoint32(c.Dc, "bb", -1, &b);
    const INT one[] = {50};
    LONG r = TabbedTextOut(c.Dc, 10, 5, "a\tbb", -1, 1, one, 10);
    EXPECT_EQ(LOWORD(static_cast<DWORD>(r)), 50 + b.cx);
    const INT many[] = {30, 120};
    EXPECT_EQ(LOWORD(GetTabbedTextExtent(c.Dc, "a\tbb\tbb", -1, 2, many)), 120 + b.cx);
    TEXTMETRIC tm;
    GetTextMetrics(c.Dc, &tm);
    EXPECT_EQ(LOWORD(GetTabbedTextExtent(c.Dc, "a\tbb", -1, 0, nullptr)), 8 * tm.tmAveCharWidth + b.cx);
    EXPECT_EQ(HIWORD(GetTabbedTextExtent(c.Dc, "a\tbb", -1, 0, nullptr)), tm.tmHeight);
    // The second piece starts at the stop.
    const RECT ink = c.Ink();
    EXPECT_GE(ink.right, 60);
    EXPECT_LE(ink.right, 60 + b.cx);
    for (int y = 0; y < 40; ++y)
        for (int x = 10 + a.cx + 1; x < 60; ++x)
            EXPECT_FALSE(TCanvasFixture::Dark(c.Pixel(x, y))) << x << "," << y;
}

TEST(GdiTextDraw, OtherDepths)
{
    for (int bits : {24, 16, 8}) {
        TCanvasFixture c(80, 30, bits);
        TextOut(c.Dc, 5, 5, "Depth");
        const RECT ink = c.Ink();
        EXPECT_FALSE(IsEmpty(ink)) << bits;
        SIZE s;
        GetTextExtentPoint32(c.Dc, "Depth", -1, &s);
        EXPECT_TRUE(c.Inside(ink, RECT{5, 5, 5 + s.cx, 5 + s.cy})) << bits;
    }
}

}  // namespace

namespace {

// Several threads draw with one font at once, each on its own DC: the
// shared glyph cache must hand every one the same pixels as a lone thread.
TEST(GdiTextDraw, ThreadsShareOneFont)
{
    HFONT font = CreateFont(-15, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Times New Roman");
    const std::string text = "Threads \xc3\xa9\xc3\xa8 \xd0\x96 0123456789 \xd4\xb1";
    auto render = [&](std::vector<COLORREF>& out) {
        LOGFONT lf;
        GetObject(font, sizeof lf, &lf);
        TCanvasFixture c(240, 24, 32, CreateFontIndirect(&lf));
        for (int i = 0; i < 20; ++i)
            TextOut(c.Dc, 2, 2, text);
        out.clear();
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 240; ++x)
                out.push_back(c.Pixel(x, y));
    };
    std::vector<COLORREF> results[4];
    {
        std::vector<std::thread> threads;
        for (auto& r : results)
            threads.emplace_back(render, std::ref(r));
        for (auto& t : threads)
            t.join();
    }
    std::vector<COLORREF> alone;
    render(alone);
    for (const auto& r : results)
        EXPECT_TRUE(r == alone);
    DeleteObject(font);
}

}  // namespace
