#include "skin/core/SkinDrawUtils.h"

#include "platform/gdi/Text.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/JpegImage.h"
#include "skin/core/SkinPlatform.h"

#include <algorithm>
#include <cctype>

bool RectsEqual(const TRect& R1, const TRect& R2)
{
    return R1.left == R2.left && R1.top == R2.top && R1.right == R2.right && R1.bottom == R2.bottom;
}

void SetNullRect(TRect& R) { R = TRect(0, 0, 0, 0); }

bool IsNullRect(const TRect& R) { return RectWidthOf(R) <= 0 || RectHeightOf(R) <= 0; }

bool IsNullPoint(const TPoint& P) { return P.x == 0 || P.y == 0; }

bool PointInsideRect(const TRect& R, const TPoint& P)
{
    return R.left <= P.x && P.x <= R.right && R.top <= P.y && P.y <= R.bottom;
}

bool RectInsideRect(const TRect& Inner, const TRect& Outer)
{
    auto in = [&](LONG x, LONG y) { return x >= Outer.left && x < Outer.right && y >= Outer.top && y < Outer.bottom; };
    return in(Inner.left, Inner.top) && in(Inner.right, Inner.bottom);
}

TColor MixColors(TColor Color1, TColor Color2)
{
    const COLORREF a = ColorToRGB(Color1), b = ColorToRGB(Color2);
    return static_cast<TColor>(RGB(static_cast<BYTE>((GetRValue(a) + GetRValue(b)) / 2),
                                   static_cast<BYTE>((GetGValue(a) + GetGValue(b)) / 2),
                                   static_cast<BYTE>((GetBValue(a) + GetBValue(b)) / 2)));
}

namespace {

// Removes the last UTF-8 character.
void PopChar(std::string& s)
{
    if (s.empty())
        return;
    std::size_t i = s.size() - 1;
    while (i > 0 && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80)
        --i;
    s.erase(i);
}

// Length of the UTF-8 character starting at s[i] (1 for stray bytes).
std::size_t CharLen(const std::string& s, std::size_t i)
{
    const auto c = static_cast<unsigned char>(s[i]);
    std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
    if (i + n > s.size())
        n = 1;
    for (std::size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
            return 1;
    return n;
}

bool OddFontHeight(TCanvas* Canvas) { return (Canvas->Font()->Height() % 2) != 0; }

HDC TextDC(TCanvas* Canvas)
{
    Canvas->Refresh();
    return Canvas->Handle();
}

template <class Measure>
void Shorten(std::string& S, int MaxWidth, Measure width)
{
    if (S.empty() || width(S) <= MaxWidth)
        return;
    while (!S.empty() && width(S + "...") > MaxWidth)
        PopChar(S);
    S += "...";
}

}  // namespace

void ShortenTextToWidth(TCanvas* Canvas, std::string& S, int MaxWidth)
{
    Shorten(S, MaxWidth, [Canvas](const std::string& t) { return Canvas->TextWidth(t); });
}

void ShortenWideTextToWidth(TCanvas* Canvas, std::string& S, int MaxWidth)
{
    Shorten(S, MaxWidth, [Canvas](const std::string& t) { return WideTextWidth(Canvas, t); });
}

int DrawWideText(TCanvas* Canvas, const std::string& S, TRect& Rect, Cardinal Format)
{
    std::string text = S;
    if (!IsNTPlatform()) {
        const std::size_t nul = text.find('\0');
        if (nul != std::string::npos)
            text.erase(nul);
    }
    RECT r = Rect;
    const int h = DrawTextW(TextDC(Canvas), text, static_cast<int>(text.size()), &r, Format);
    if (Format & DT_CALCRECT)
        Rect = r;
    return h;
}

int WideTextWidth(TCanvas* Canvas, const std::string& S)
{
    TRect r(0, 0, 0, 0);
    DrawWideText(Canvas, S, r, DT_CALCRECT);
    return RectWidthOf(r);
}

int WideTextHeight(TCanvas* Canvas, const std::string& S)
{
    TRect r(0, 0, 0, 0);
    DrawWideText(Canvas, S, r, DT_CALCRECT);
    return RectHeightOf(r);
}

void DrawAlignedText(TCanvas* Canvas, const std::string& S, TRect Rect, TAlignment Alignment)
{
    if (S.empty())
        return;
    if (OddFontHeight(Canvas))
        Rect.top = CheckedSub<LONG>(Rect.top, 1);
    UINT format = DT_SINGLELINE | DT_VCENTER;
    if (Alignment == taRightJustify)
        format |= DT_RIGHT;
    else if (Alignment == taCenter)
        format |= DT_CENTER;
    RECT r = Rect;
    DrawText(TextDC(Canvas), S, static_cast<int>(S.size()), &r, format);
}

void DrawTextVCentered(TCanvas* Canvas, const std::string& S, TRect Rect)
{
    DrawAlignedText(Canvas, S, Rect, taLeftJustify);
}

void TextRectVCenteredIndent(TCanvas* Canvas, const std::string& S, TRect Rect, int Indent)
{
    if (S.empty())
        return;
    const int x = CheckedAdd(CheckedAdd<int>(Rect.left, Indent), 2);
    int y = CheckedAdd<int>(Rect.top, RectHeightOf(Rect) / 2 - Canvas->TextHeight(S) / 2);
    if (OddFontHeight(Canvas))
        y = CheckedSub(y, 1);
    Canvas->TextRect(Rect, x, y, S);
}

void TextRectVCentered(TCanvas* Canvas, const std::string& S, TRect Rect) { TextRectVCenteredIndent(Canvas, S, Rect, 0); }

std::string PrepareWrappedText(TCanvas* Canvas, const std::string& S, int Width, bool BreakLongWords)
{
    std::string t, w;
    bool skipping = false;
    for (std::size_t i = 0; i < S.size();) {
        const std::size_t n = CharLen(S, i);
        const std::string c = S.substr(i, n);
        i += n;
        const bool space = c == " ";
        if (!BreakLongWords && skipping) {
            if (!space)
                continue;
            skipping = false;
        }
        w += c;
        if (WideTextWidth(Canvas, w) > Width && !space) {
            if (BreakLongWords) {
                t += " ";
                t += c;
            } else {
                // The word is cut where it stops fitting, marked with an
                // ellipsis; the rest of it is dropped.
                if (t.size() > 3) {
                    for (int k = 0; k < 3; ++k)
                        PopChar(t);
                    t += "...";
                }
                t += " ";
                skipping = true;
            }
            w.clear();
        } else {
            t += c;
            if (space)
                w.clear();
        }
    }
    return t;
}

void DrawWrappedText(TCanvas* Canvas, const std::string& S, TRect Rect, bool BreakLongWords)
{
    if (S.empty())
        return;
    if (OddFontHeight(Canvas))
        Rect.top = CheckedSub<LONG>(Rect.top, 1);
    const std::string t = PrepareWrappedText(Canvas, S, RectWidthOf(Rect), BreakLongWords);
    RECT r = Rect;
    DrawText(TextDC(Canvas), t, static_cast<int>(t.size()), &r, DT_WORDBREAK | DT_CENTER);
}

bool IsJpegFileName(const std::string& FileName)
{
    const std::size_t dot = FileName.rfind('.');
    if (dot == std::string::npos)
        return false;
    std::string ext = FileName.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext == "jpg" || ext == "jpeg";
}

void LoadJpegToBitmap(TBitmap* Bitmap, const std::string& FileName)
{
    TJPEGImage jpeg;
    jpeg.LoadFromFile(FileName);
    Bitmap->SetSize(jpeg.Width(), jpeg.Height());
    Bitmap->Canvas()->Draw(0, 0, &jpeg);
}
