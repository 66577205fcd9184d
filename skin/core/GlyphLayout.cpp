#include "skin/core/GlyphLayout.h"

#include "platform/gdi/Gdi.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/ImgList.h"
#include "platform/rtl/Checked.h"
#include "skin/core/EffectBmp.h"
#include "skin/core/SkinBitmap.h"
#include "skin/core/SkinDraw.h"
#include "skin/core/SkinDrawUtils.h"
#include "skin/core/SkinGlow.h"

#include <functional>
#include <memory>

namespace {

int Add(int a, int b) { return CheckedAdd(a, b); }
int Sub(int a, int b) { return CheckedSub(a, b); }

// What the layout needs of a glyph, whichever kind it is.
struct TGlyph {
    int Width = 0;
    int Height = 0;
    std::function<void(int X, int Y)> Draw;
    std::function<void(TspBitmap* Target, int Offset)> Silhouette;
};

// How the four drawing routines differ.
struct TStyle {
    bool ClearBrushAlways = true;  // image lists: in any case; strips: only with a caption
    bool PlateFollowsDown = true;  // the caption-less plate moves down when pressed
    bool Glow = false;
    TColor GlowColor = 0;
    int GlowSize = 0;
};

void Line(TCanvas* Canvas, int X0, int Y, int X1)
{
    Canvas->MoveTo(X0, Y);
    Canvas->LineTo(X1, Y);
}

void GlyphHalo(TCanvas* Canvas, const TGlyph& G, int X, int Y, TColor Color, int Size)
{
    if (Size < 0)
        throw ERangeError("Glow size " + std::to_string(Size) + " is below 0");
    const int w = Add(G.Width, CheckedMul(Size, 2)), h = Add(G.Height, CheckedMul(Size, 2));
    const int x = Sub(X, Size), y = Sub(Y, Size);
    TspBitmap halo;
    halo.SetSize(w, h);
    G.Silhouette(&halo, Size);
    StackBlur(&halo, Size);
    ColorizeHalo(&halo, Color);
    halo.Draw(Canvas, x, y);
}

void LayOutAndDraw(TCanvas* Canvas, TRect Rect, int Margin, int Spacing, TspButtonLayout Kind, const std::string& Caption,
            const TGlyph& G, bool Down, bool DrawMarker, TColor MarkerColor, const TStyle& Style)
{
    if (!Canvas)
        return;
    const int GW = G.Width, GH = G.Height;
    const bool horizontal = Kind == blGlyphLeft || Kind == blGlyphRight;
    const UINT textFormat = DT_EXPANDTABS | DT_WORDBREAK;
    int TW = 0, TH = 0;
    if (!Caption.empty()) {
        TRect m(0, 0, RectWidthOf(Rect), RectHeightOf(Rect));
        if (horizontal)
            m.right = Sub(m.right, GW);
        else
            m.bottom = Sub(m.bottom, GH);
        DrawWideText(Canvas, Caption, m, DT_CALCRECT | textFormat);
        TW = RectWidthOf(m);
        TH = RectHeightOf(m);
    }
    if (Style.ClearBrushAlways || !Caption.empty())
        Canvas->Brush()->SetStyle(bsClear);
    int TextX = 0, TextY = 0, GlyphX = 0, GlyphY = 0;
    CalcGlyphLayout(Kind, Rect, GW, GH, TW, TH, Spacing, Margin, TextX, TextY, GlyphX, GlyphY);
    if (Down) {
        GlyphX = Add(GlyphX, 1);
        GlyphY = Add(GlyphY, 1);
        TextX = Add(TextX, 1);
        TextY = Add(TextY, 1);
    }
    if (Style.Glow && GW != 0)
        GlyphHalo(Canvas, G, GlyphX, GlyphY, Style.GlowColor, Style.GlowSize);
    TRect T(TextX, TextY, Add(TextX, TW), Add(TextY, TH));
    if (!Caption.empty()) {
        if (Canvas->Font()->Height() % 2 != 0)
            T.top = Sub(T.top, 1);
        T.right = Add(T.right, 2);
        const UINT format = textFormat | DT_VCENTER | DT_CENTER;
        if (Style.Glow) {
            DrawTextWithStrongGlow(Canvas, T, Caption, format, 0, Style.GlowColor, Style.GlowSize);
        } else {
            TRect r = T;
            DrawWideText(Canvas, Caption, r, format);
        }
    }
    if (GW != 0) {
        G.Draw(GlyphX, GlyphY);
        if (DrawMarker) {
            Canvas->Pen()->SetColor(MarkerColor);
            const int x1 = Add(GlyphX, GW), bottom = Add(GlyphY, GH);
            for (int d = -2; d <= 0; ++d)
                Line(Canvas, GlyphX, Add(bottom, d), x1);
        }
    } else if (DrawMarker) {
        if (!Caption.empty()) {
            Canvas->Pen()->SetColor(MarkerColor);
            for (int d = -1; d <= 1; ++d)
                Line(Canvas, T.left, Add(T.bottom, d), T.right);
        } else {
            const bool down = Down && Style.PlateFollowsDown;
            Canvas->Brush()->SetStyle(bsSolid);
            Canvas->Brush()->SetColor(MarkerColor);
            Canvas->FillRect(TRect(Add(Rect.left, 4), Add(Rect.top, down ? 5 : 4), Sub(Rect.right, 2),
                                   Sub(Rect.bottom, down ? 3 : 4)));
        }
    }
}

TGlyph ImageGlyph(TCanvas* Canvas, int ImageIndex, TCustomImageList* ImageList, bool Enabled)
{
    TGlyph g;
    if (ImageIndex < 0 || !ImageList || ImageIndex >= ImageList->Count())
        return g;
    g.Width = ImageList->Width();
    g.Height = ImageList->Height();
    g.Draw = [=](int X, int Y) { ImageList->Draw(Canvas, X, Y, ImageIndex, Enabled); };
    g.Silhouette = [=](TspBitmap* Target, int Offset) { DrawImageSilhouette(Target, ImageList, ImageIndex, Offset); };
    return g;
}

bool ValidCell(TBitmap* Bitmap, int GlyphCount, int GlyphIndex)
{
    return Bitmap && !Bitmap->Empty() && GlyphCount >= 1 && GlyphIndex >= 1 && GlyphIndex <= GlyphCount &&
           Bitmap->Width() / GlyphCount > 0;
}

// Cell GlyphIndex of the strip as a bitmap of its own.
std::unique_ptr<TBitmap> CellOf(TBitmap* Bitmap, int GlyphCount, int GlyphIndex)
{
    const int cw = Bitmap->Width() / GlyphCount, ch = Bitmap->Height();
    const int left = CheckedMul(cw, GlyphIndex - 1);
    auto cell = std::make_unique<TBitmap>();
    cell->SetPixelFormat(pf24bit);
    cell->SetSize(cw, ch);
    cell->Canvas()->CopyRect(TRect(0, 0, cw, ch), Bitmap->Canvas(), TRect(left, 0, left + cw, ch));
    return cell;
}

TGlyph StripGlyph(TCanvas* Canvas, TBitmap* Glyph, int NumGlyphs, int GlyphIndex)
{
    TGlyph g;
    if (!ValidCell(Glyph, NumGlyphs, GlyphIndex))
        return g;
    g.Width = Glyph->Width() / NumGlyphs;
    g.Height = Glyph->Height();
    g.Draw = [=](int X, int Y) { DrawStripGlyph(Canvas, X, Y, Glyph, NumGlyphs, GlyphIndex); };
    g.Silhouette = [=](TspBitmap* Target, int Offset) {
        auto cell = CellOf(Glyph, NumGlyphs, GlyphIndex);
        DrawBitmapSilhouette(Target, cell.get(), Offset);
    };
    return g;
}

}  // namespace

void CalcGlyphLayout(TspButtonLayout Layout, TRect Rect, int GlyphWidth, int GlyphHeight, int TextWidth,
                     int TextHeight, int Spacing, int Margin, int& TextX, int& TextY, int& GlyphX, int& GlyphY)
{
    if (Layout > blGlyphBottom)
        return;
    if (GlyphWidth == 0)
        Spacing = 0;
    const int CX = Add(Rect.left, RectWidthOf(Rect) / 2), CY = Add(Rect.top, RectHeightOf(Rect) / 2);
    int gx = 0, gy = 0, tx = 0, ty = 0;
    if (Margin == -1) {
        const int HW = Add(Add(TextWidth, GlyphWidth), Spacing) / 2;
        const int HH = Add(Add(TextHeight, GlyphHeight), Spacing) / 2;
        switch (Layout) {
        case blGlyphLeft:
            gx = Sub(CX, HW), gy = Sub(CY, GlyphHeight / 2), tx = Sub(Add(CX, HW), TextWidth),
            ty = Sub(CY, TextHeight / 2);
            break;
        case blGlyphRight:
            gx = Sub(Add(CX, HW), GlyphWidth), gy = Sub(CY, GlyphHeight / 2), tx = Sub(CX, HW),
            ty = Sub(CY, TextHeight / 2);
            break;
        case blGlyphTop:
            gx = Sub(CX, GlyphWidth / 2), gy = Sub(CY, HH), tx = Sub(CX, TextWidth / 2),
            ty = Sub(Add(CY, HH), TextHeight);
            break;
        case blGlyphBottom:
            gx = Sub(CX, GlyphWidth / 2), gy = Sub(Add(CY, HH), GlyphHeight), tx = Sub(CX, TextWidth / 2),
            ty = Sub(CY, HH);
            break;
        }
    } else {
        switch (Layout) {
        case blGlyphLeft:
            gx = Add(Rect.left, Margin), gy = Sub(CY, GlyphHeight / 2), tx = Add(Add(gx, GlyphWidth), Spacing),
            ty = Sub(CY, TextHeight / 2);
            break;
        case blGlyphRight:
            gx = Sub(Sub(Rect.right, GlyphWidth), Margin), gy = Sub(CY, GlyphHeight / 2),
            tx = Sub(Sub(gx, Spacing), TextWidth), ty = Sub(CY, TextHeight / 2);
            break;
        case blGlyphTop:
            gx = Sub(CX, GlyphWidth / 2), gy = Add(Rect.top, Margin), tx = Sub(CX, TextWidth / 2),
            ty = Add(Add(gy, GlyphHeight), Spacing);
            break;
        case blGlyphBottom:
            gx = Sub(CX, GlyphWidth / 2), gy = Sub(Sub(Rect.bottom, GlyphHeight), Margin),
            tx = Sub(CX, TextWidth / 2), ty = Sub(Sub(gy, Spacing), TextHeight);
            break;
        }
    }
    TextX = tx;
    TextY = ty;
    GlyphX = gx;
    GlyphY = gy;
}

void DrawImageAndText(TCanvas* Canvas, TRect Rect, int Margin, int Spacing, TspButtonLayout Layout,
                      const std::string& Caption, int ImageIndex, TCustomImageList* ImageList, bool Down,
                      bool Enabled, bool DrawMarker, TColor MarkerColor)
{
    LayOutAndDraw(Canvas, Rect, Margin, Spacing, Layout, Caption, ImageGlyph(Canvas, ImageIndex, ImageList, Enabled),
                  Down, DrawMarker, MarkerColor, TStyle{});
}

void DrawGlyphAndText(TCanvas* Canvas, TRect Rect, int Margin, int Spacing, TspButtonLayout Layout,
                      const std::string& Caption, TBitmap* Glyph, int NumGlyphs, int GlyphIndex, bool Down,
                      bool DrawMarker, TColor MarkerColor)
{
    LayOutAndDraw(Canvas, Rect, Margin, Spacing, Layout, Caption, StripGlyph(Canvas, Glyph, NumGlyphs, GlyphIndex),
                  Down, DrawMarker, MarkerColor, TStyle{false, true});
}

void DrawImageAndTextWithGlow(TCanvas* Canvas, TRect Rect, int Margin, int Spacing, TspButtonLayout Layout,
                              const std::string& Caption, int ImageIndex, TCustomImageList* ImageList, bool Down,
                              bool Enabled, bool DrawMarker, TColor MarkerColor, TColor GlowColor, int GlowSize)
{
    LayOutAndDraw(Canvas, Rect, Margin, Spacing, Layout, Caption, ImageGlyph(Canvas, ImageIndex, ImageList, Enabled),
                  Down, DrawMarker, MarkerColor, TStyle{true, false, true, GlowColor, GlowSize});
}

void DrawGlyphAndTextWithGlow(TCanvas* Canvas, TRect Rect, int Margin, int Spacing, TspButtonLayout Layout,
                              const std::string& Caption, TBitmap* Glyph, int NumGlyphs, int GlyphIndex, bool Down,
                              bool DrawMarker, TColor MarkerColor, TColor GlowColor, int GlowSize)
{
    LayOutAndDraw(Canvas, Rect, Margin, Spacing, Layout, Caption, StripGlyph(Canvas, Glyph, NumGlyphs, GlyphIndex),
                  Down, DrawMarker, MarkerColor, TStyle{false, true, true, GlowColor, GlowSize});
}

void DrawStripGlyph(TCanvas* Canvas, int X, int Y, TBitmap* Bitmap, int GlyphCount, int GlyphIndex)
{
    if (!Canvas || !ValidCell(Bitmap, GlyphCount, GlyphIndex))
        return;
    auto cell = CellOf(Bitmap, GlyphCount, GlyphIndex);
    cell->SetTransparentMode(tmAuto);
    cell->SetTransparent(true);
    Canvas->Draw(X, Y, cell.get());
}
