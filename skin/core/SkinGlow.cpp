#include "skin/core/SkinGlow.h"

#include "platform/gdi/Gdi.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/ImgList.h"
#include "platform/gui/PngImage.h"
#include "platform/rtl/Checked.h"
#include "platform/rtl/SysUtils.h"
#include "skin/core/EffectBmp.h"
#include "skin/core/PngImageList.h"
#include "skin/core/SkinBitmap.h"
#include "skin/core/SkinColor.h"
#include "skin/core/SkinDraw.h"
#include "skin/core/SkinDrawUtils.h"
#include "skin/core/SkinPlatform.h"

#include <memory>

namespace {

constexpr TspColor kOpaqueRed = 0xFFFF0000;

// Texts are UTF-8 only, so the narrow and the wide routines draw through the
// same text call; they differ where the behaviour does (the reflection's
// fade).
int CanvasText(TCanvas* Canvas, const std::string& S, TRect& R, Cardinal Format, bool)
{
    return DrawWideText(Canvas, S, R, Format);
}

// A working bitmap of W x H whose canvas writes the caller's font in red on
// a clear brush. Null for an empty size.
std::unique_ptr<TspBitmap> RedTextBitmap(TCanvas* Canvas, int W, int H)
{
    if (W <= 0 || H <= 0)
        return nullptr;
    auto b = std::make_unique<TspBitmap>();
    b->SetSize(W, H);
    TCanvas* c = b->Canvas();
    c->Font()->Assign(Canvas->Font());
    c->Font()->SetColor(clRed);
    c->Brush()->SetStyle(bsClear);
    return b;
}

TRect Moved(TRect R, int DX, int DY)
{
    return TRect(CheckedAdd<LONG>(R.left, DX), CheckedAdd<LONG>(R.top, DY), CheckedAdd<LONG>(R.right, DX),
                 CheckedAdd<LONG>(R.bottom, DY));
}

// The normally drawn text over the halo.
void DrawPlainText(TCanvas* Canvas, TRect Rect, const std::string& S, Cardinal Format, bool Wide)
{
    Canvas->Brush()->SetStyle(bsClear);
    CanvasText(Canvas, S, Rect, Format, Wide);
}

void Glow(TCanvas* Canvas, TRect Rect, const std::string& S, Cardinal Format, int GlowOffset, TColor GlowColor,
          int GlowSize, bool Strong, bool Wide)
{
    if (GlowSize < 0)
        throw ERangeError("Glow size " + std::to_string(GlowSize) + " is below 0");
    if (!Canvas || S.empty() || IsNullRect(Rect))
        return;
    const int g = GlowSize;
    const int twice = CheckedMul(g, 2);
    const int w = CheckedAdd(RectWidthOf(Rect), twice), h = CheckedAdd(RectHeightOf(Rect), twice);
    const int x = CheckedSub(CheckedAdd<int>(Rect.left, GlowOffset), g);
    const int y = CheckedSub(CheckedAdd<int>(Rect.top, GlowOffset), g);
    auto work = RedTextBitmap(Canvas, w, h);
    const TRect inner(g, g, w - g, h - g);
    TRect r = inner;
    CanvasText(work->Canvas(), S, r, Format, Wide);
    if (Strong) {
        static constexpr int kMoves[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
        for (const auto& m : kMoves) {
            r = Moved(inner, m[0], m[1]);
            CanvasText(work->Canvas(), S, r, Format, Wide);
        }
    }
    StackBlur(work.get(), g);
    ColorizeHalo(work.get(), GlowColor);
    work->Draw(Canvas, x, y);
    work.reset();
    DrawPlainText(Canvas, Rect, S, Format, Wide);
}

void Reflection(TCanvas* Canvas, TRect Rect, const std::string& S, Cardinal Format, int ReflectionOffset,
                TColor ReflectionColor, bool Wide)
{
    if (!Canvas || S.empty() || IsNullRect(Rect))
        return;
    const int w = RectWidthOf(Rect), h = RectHeightOf(Rect);
    auto work = RedTextBitmap(Canvas, w, h);
    TRect r0(0, 0, w, h);
    CanvasText(work->Canvas(), S, r0, Format, Wide);
    CanvasText(work->Canvas(), S, r0, Format | DT_CALCRECT, Wide);
    TRect r1 = Rect;
    CanvasText(Canvas, S, r1, Format | DT_CALCRECT, Wide);
    const int th = RectHeightOf(r0);
    const TspColor colour = RGBToSpColor(ReflectionColor) & 0xFFFFFF;
    const float floor = Wide ? 0.0f : 0.05f;
    if (th > 0) {
        for (int i = 0; i < h; ++i) {
            TspColor* row = work->GetScanLinePtr(i);
            if (i < r0.top || i > r0.bottom) {
                std::fill(row, row + w, TspColor{0});
                continue;
            }
            float f = 0.7f - static_cast<float>(r0.bottom - (i - r0.top)) / static_cast<float>(th);
            if (f < floor)
                f = floor;
            for (int x = 0; x < w; ++x) {
                const auto red = static_cast<float>((row[x] >> 16) & 0xFF);
                row[x] = (static_cast<TspColor>(red * f) << 24) | colour;
            }
        }
    } else {
        work->Clear(0);
    }
    work->FlipVert();
    work->SetAlphaBlend(true);
    const int y = CheckedAdd(CheckedSub(CheckedAdd<int>(r1.bottom, r0.bottom), h), ReflectionOffset);
    work->Draw(Canvas, Rect.left, y);
    work.reset();
    DrawPlainText(Canvas, Rect, S, Format, true);
}

void GlowPlate(TCanvas* Canvas, TRect Rect, const std::string& S, Cardinal Format, TColor GlowColor, int Margin,
               bool Inner)
{
    if (!Canvas || S.empty() || IsNullRect(Rect))
        return;
    const int m = Margin;
    const int w = CheckedAdd(RectWidthOf(Rect), 2 * m), h = CheckedAdd(RectHeightOf(Rect), 2 * m);
    const int x = CheckedSub<int>(Rect.left, m), y = CheckedSub<int>(Rect.top, m);
    auto work = RedTextBitmap(Canvas, w, h);
    TCanvas* c = work->Canvas();
    const TRect t(m, m, w - m, h - m);
    const TRect plate = Inner ? TRect(t.left + 3, t.top + 3, t.right - 3, t.bottom - 3)
                              : TRect(t.left - 3, t.top + 2, t.right + 3, t.bottom - 2);
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clRed);
    c->FillRect(plate);
    c->Brush()->SetStyle(bsClear);
    static constexpr int kMoves[9][2] = {{-1, -1}, {-2, -2}, {-1, 0}, {-2, 0}, {1, 0},
                                         {2, 0},   {1, 1},   {2, 2},   {0, 0}};
    for (const auto& mv : kMoves) {
        TRect r = Moved(t, mv[0], mv[1]);
        DrawWideText(c, S, r, Format);
    }
    StackBlur(work.get(), m / 2);
    StackBlur(work.get(), m / 2);
    ColorizeHalo(work.get(), GlowColor);
    work->Draw(Canvas, x, y);
    work.reset();
    DrawPlainText(Canvas, Rect, S, Format, true);
}

// Opaque red for every pixel other than the corner colour, keyed at the
// corner colour, drawn three times around (Offset, Offset).
void KeyedSilhouette(TspBitmap* Bitmap, TBitmap* Glyph, int Offset)
{
    if (!Bitmap || !Glyph || Glyph->Empty() || Bitmap->Empty())
        return;
    TspBitmap temp;
    temp.Assign(Glyph);
    if (temp.Empty())
        return;
    const TspColor k = temp.GetPixel(0, 0);
    const int count = temp.Width() * temp.Height();
    TspColor* p = temp.Bits();
    bool any = false;
    for (int i = 0; i < count; ++i)
        if (p[i] != k) {
            p[i] = kOpaqueRed;
            any = true;
        }
    if (!any)
        return;
    temp.CheckingTransparent(k);
    const int lo = CheckedSub(Offset, 1), hi = CheckedAdd(Offset, 1);
    temp.Draw(Bitmap, Offset, Offset);
    temp.Draw(Bitmap, lo, lo);
    temp.Draw(Bitmap, hi, hi);
}

}  // namespace

TColor DarkenColor(TColor Color, Byte Percent)
{
    const COLORREF c = ColorToRGB(Color);
    auto dark = [&](int v) { return v - MulDiv(v, Percent, 100); };
    return static_cast<TColor>(RGB(dark(GetRValue(c)), dark(GetGValue(c)), dark(GetBValue(c))));
}

void MakeAlphaImage(TBitmap* Image, TBitmap* Mask, TspBitmap* Dest)
{
    if (!Image || !Mask || !Dest)
        return;
    Dest->Assign(Image);
    TspBitmap temp;
    temp.Assign(Mask);
    if (Dest->Empty() || temp.Width() != Dest->Width() || temp.Height() != Dest->Height())
        return;
    AlphaFromGray(Dest, &temp);
    Dest->CheckRGBA();
}

void UpdateLayeredImage(TspBitmap* Bitmap, Byte Alpha, TWinControl* Control)
{
    EnsureUser32Functions();
    if (!SkinUpdateLayeredWindow || !Bitmap || !Control || Bitmap->Empty())
        return;
    POINT pos{Control->Left(), Control->Top()};
    SIZE size{Bitmap->Width(), Bitmap->Height()};
    POINT src{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, Alpha, AC_SRC_ALPHA};
    SkinUpdateLayeredWindow(Control->Handle(), nullptr, &pos, &size, Bitmap->DC(), &src, 0, &blend, ULW_ALPHA);
}

void DrawImageSilhouette(TspBitmap* Bitmap, TCustomImageList* ImageList, int Index, int Offset)
{
    if (!Bitmap || !ImageList)
        return;
    if (auto* png = dynamic_cast<TspPngImageList*>(ImageList)) {
        if (Index >= 0 && Index < png->PngImages()->Count())
            DrawPngSilhouette(Bitmap, png->PngImages()->GetItem(Index)->PngImage(), Offset);
        return;
    }
    TBitmap glyph;
    if (!ImageList->GetBitmap(Index, &glyph))
        return;
    KeyedSilhouette(Bitmap, &glyph, Offset);
}

void DrawBitmapSilhouette(TspBitmap* Bitmap, TBitmap* Glyph, int Offset) { KeyedSilhouette(Bitmap, Glyph, Offset); }

void DrawPngSilhouette(TspBitmap* Bitmap, TPngImage* Png, int Offset)
{
    if (!Bitmap || !Png || Png->Empty() || Bitmap->Empty())
        return;
    const int w = Png->Width(), h = Png->Height();
    for (int y = 0; y < h; ++y) {
        const Byte* alpha = Png->AlphaScanline(y);  // none: opaque
        const int ty = CheckedAdd(Offset, y);
        if (ty < 0 || ty >= Bitmap->Height())
            continue;
        for (int x = 0; x < w; ++x) {
            const int tx = CheckedAdd(Offset, x);
            if (tx >= 0 && tx < Bitmap->Width() && (!alpha || alpha[x] != 0))
                *Bitmap->GetPixelPtr(tx, ty) = kOpaqueRed;
        }
    }
    Bitmap->CheckingAlphaBlend();
}

void PngToSpBitmap(TspBitmap* Bitmap, TPngImage* Png)
{
    if (!Bitmap || !Png || Png->Empty())
        return;
    const int w = Png->Width(), h = Png->Height();
    Bitmap->SetSize(w, h);
    for (int y = 0; y < h; ++y) {
        const Byte* alpha = Png->AlphaScanline(y);  // none: opaque
        TspColor* row = Bitmap->GetScanLinePtr(y);
        for (int x = 0; x < w; ++x)
            row[x] = (ColorToSpColor(Png->Pixels(x, y), 255) & 0xFFFFFF) |
                     (static_cast<TspColor>(alpha ? alpha[x] : 255) << 24);
    }
    Bitmap->CheckingAlphaBlend();
}

void ColorizeHalo(TspBitmap* Bitmap, TColor Color)
{
    const TspColor colour = RGBToSpColor(static_cast<COLORREF>(Color)) & 0xFFFFFF;
    const int count = Bitmap->Width() * Bitmap->Height();
    TspColor* p = Bitmap->Bits();
    for (int i = 0; i < count; ++i)
        p[i] = (((p[i] >> 16) & 0xFF) << 24) | colour;
    Bitmap->SetAlphaBlend(true);
}

void DrawTextWithGlow(TCanvas* Canvas, TRect Rect, const std::string& S, Cardinal Format, int GlowOffset,
                      TColor GlowColor, int GlowSize)
{
    Glow(Canvas, Rect, S, Format, GlowOffset, GlowColor, GlowSize, false, false);
}

void DrawTextWithStrongGlow(TCanvas* Canvas, TRect Rect, const std::string& S, Cardinal Format, int GlowOffset,
                            TColor GlowColor, int GlowSize)
{
    Glow(Canvas, Rect, S, Format, GlowOffset, GlowColor, GlowSize, true, false);
}

void DrawWideTextWithGlow(TCanvas* Canvas, TRect Rect, const std::string& S, Cardinal Format, int GlowOffset,
                          TColor GlowColor, int GlowSize)
{
    Glow(Canvas, Rect, S, Format, GlowOffset, GlowColor, GlowSize, false, true);
}

void DrawTextWithReflection(TCanvas* Canvas, TRect Rect, const std::string& S, Cardinal Format,
                            int ReflectionOffset, TColor ReflectionColor)
{
    Reflection(Canvas, Rect, S, Format, ReflectionOffset, ReflectionColor, false);
}

void DrawWideTextWithReflection(TCanvas* Canvas, TRect Rect, const std::string& S, Cardinal Format,
                                int ReflectionOffset, TColor ReflectionColor)
{
    Reflection(Canvas, Rect, S, Format, ReflectionOffset, ReflectionColor, true);
}

void DrawWideTextWithGlowPlate(TCanvas* Canvas, TRect Rect, const std::string& S, Cardinal Format, TColor GlowColor)
{
    GlowPlate(Canvas, Rect, S, Format, GlowColor, 12, false);
}

void DrawWideTextWithGlowPlate2(TCanvas* Canvas, TRect Rect, const std::string& S, Cardinal Format,
                                TColor GlowColor)
{
    GlowPlate(Canvas, Rect, S, Format, GlowColor, 10, true);
}
