#include "platform/gui/StandardIcons.h"

#include "platform/classes/Streams.h"
#include "platform/gdi/IconFormat.h"
#include "platform/gui/Bitmap.h"

#include <cstdint>
#include <vector>

namespace {

constexpr int kSize = 32;
constexpr int kScale = 4;  // drawn 4 times larger, then averaged: smooth edges
constexpr int kBig = kSize * kScale;

enum class TShape { Disc, Triangle };

struct TIconLook {
    TShape Shape;
    TColor Fill, Edge, GlyphColor;
    const char* Glyph;  // nullptr: the cross
};

bool LookOf(int Id, TIconLook& Look)
{
    switch (Id) {
    case IDI_HAND:
        Look = {TShape::Disc, static_cast<TColor>(0x2B2BD9), static_cast<TColor>(0x1A1A9C), clWhite, nullptr};
        return true;
    case IDI_QUESTION:
        Look = {TShape::Disc, static_cast<TColor>(0xD0782C), static_cast<TColor>(0x8C4A1A), clWhite, "?"};
        return true;
    case IDI_EXCLAMATION:
        Look = {TShape::Triangle, static_cast<TColor>(0x22C4F5), static_cast<TColor>(0x1080B0), clBlack, "!"};
        return true;
    case IDI_ASTERISK:
        Look = {TShape::Disc, static_cast<TColor>(0xD0782C), static_cast<TColor>(0x8C4A1A), clWhite, "i"};
        return true;
    default:
        return false;
    }
}

void DrawShape(TCanvas* C, const TIconLook& Look, TColor Fill, TColor Edge)
{
    C->Pen()->SetColor(Edge);
    C->Pen()->SetWidth(kScale);
    C->Brush()->SetColor(Fill);
    const int m = 2 * kScale;
    if (Look.Shape == TShape::Disc)
        C->Ellipse(m, m, kBig - m, kBig - m);
    else
        C->Polygon({TPoint(kBig / 2, m), TPoint(kBig - m, kBig - 3 * kScale), TPoint(m, kBig - 3 * kScale)});
}

void DrawGlyph(TCanvas* C, const TIconLook& Look)
{
    C->Brush()->SetColor(Look.GlyphColor);
    C->Pen()->SetColor(Look.GlyphColor);
    C->Pen()->SetWidth(1);
    if (!Look.Glyph) {
        // Two bars crossing at the centre, 4 icon pixels thick.
        const int c = kBig / 2, r = 8 * kScale, t = 2 * kScale;
        C->Polygon({TPoint(c - r - t, c - r + t), TPoint(c - r + t, c - r - t), TPoint(c + r + t, c + r - t),
                    TPoint(c + r - t, c + r + t)});
        C->Polygon({TPoint(c + r - t, c - r - t), TPoint(c + r + t, c - r + t), TPoint(c - r + t, c + r + t),
                    TPoint(c - r - t, c + r - t)});
        return;
    }
    C->Brush()->SetStyle(bsClear);
    C->Font()->SetName("Arial");
    C->Font()->SetStyle(TFontStyles{fsBold});
    C->Font()->SetHeight(-22 * kScale);
    C->Font()->SetColor(Look.GlyphColor);
    const TSize s = C->TextExtent(Look.Glyph);
    const int lower = Look.Shape == TShape::Triangle ? 3 * kScale : 0;  // the triangle's weight is low
    C->TextOut((kBig - s.cx) / 2, (kBig - s.cy) / 2 + lower, Look.Glyph);
}

}  // namespace

bool LoadIcon(std::nullptr_t, int Id, TIcon& Icon)
{
    TIconLook look{};
    if (!LookOf(Id, look))
        return false;
    TBitmap colour, mask;
    for (TBitmap* b : {&colour, &mask}) {
        b->SetPixelFormat(pf24bit);
        b->SetSize(kBig, kBig);
        b->Canvas()->Brush()->SetColor(clBlack);
        b->Canvas()->FillRect(TRect(0, 0, kBig, kBig));
    }
    DrawShape(colour.Canvas(), look, look.Fill, look.Edge);
    DrawGlyph(colour.Canvas(), look);
    DrawShape(mask.Canvas(), look, clWhite, clWhite);

    TIconImage image;
    image.Image.Allocate(kSize, kSize, 32);
    image.Image.HasAlpha = true;
    for (int y = 0; y < kSize; ++y) {
        uint8_t* out = image.Image.Row(y);
        for (int x = 0; x < kSize; ++x) {
            unsigned cover = 0, sum[3] = {0, 0, 0};
            for (int sy = 0; sy < kScale; ++sy) {
                const auto* crow = static_cast<const uint8_t*>(colour.ScanLine(y * kScale + sy));
                const auto* mrow = static_cast<const uint8_t*>(mask.ScanLine(y * kScale + sy));
                for (int sx = 0; sx < kScale; ++sx) {
                    const int i = (x * kScale + sx) * 3;
                    const unsigned m = mrow[i + 2];
                    cover += m;
                    for (int k = 0; k < 3; ++k)
                        sum[k] += crow[i + k] * m;
                }
            }
            uint8_t* p = out + x * 4;
            for (int k = 0; k < 3; ++k)
                p[k] = static_cast<uint8_t>(cover ? sum[k] / cover : 0);
            p[3] = static_cast<uint8_t>(cover / (kScale * kScale));
        }
    }
    std::vector<uint8_t> bytes;
    WriteIcon({image}, bytes);
    TMemoryStream stream;
    stream.Write(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    stream.Seek(0, soBeginning);
    Icon.LoadFromStream(&stream);
    return true;
}
