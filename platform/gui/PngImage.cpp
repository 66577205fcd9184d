#include "platform/gui/PngImage.h"

#include "platform/gdi/PngFormat.h"
#include "platform/rtl/Exceptions.h"

#include <cstring>

namespace {

COLORREF ColorOfPixel(const uint8_t* p) { return RGB(p[2], p[1], p[0]); }

}  // namespace

void TPngImage::CheckRow(int y) const
{
    if (Empty() || y < 0 || y >= FPixels.Height) throw EInvalidGraphic("Scan line index out of range");
}

// Rows handed out may be written: the drawing copy is made again.
uint8_t* TPngImage::Scanline(int y)
{
    CheckRow(y);
    FBlend.Reset();
    return FPixels.Row(y);
}

uint8_t* TPngImage::AlphaScanline(int y)
{
    CheckRow(y);
    FBlend.Reset();
    return FAlpha.empty() ? nullptr : FAlpha.data() + static_cast<size_t>(y) * FPixels.Width;
}

TColor TPngImage::Pixels(int x, int y) const
{
    if (Empty() || x < 0 || y < 0 || x >= FPixels.Width || y >= FPixels.Height) return clNone;
    return static_cast<TColor>(ColorOfPixel(FPixels.Row(y) + x * 3));
}

void TPngImage::SetPixel(int x, int y, TColor color)
{
    if (Empty() || x < 0 || y < 0 || x >= FPixels.Width || y >= FPixels.Height) return;
    const COLORREF c = ColorToRGB(color);
    uint8_t* p = FPixels.Row(y) + x * 3;
    p[0] = GetBValue(c);
    p[1] = GetGValue(c);
    p[2] = GetRValue(c);
    Changed(this);
}

void TPngImage::CreateAlpha()
{
    if (Empty() || !FAlpha.empty()) return;
    FAlpha.assign(static_cast<size_t>(FPixels.Width) * FPixels.Height, 255);
    if (FHasTransparentColor) {
        const COLORREF key = ColorToRGB(FTransparentColor);
        for (int32_t y = 0; y < FPixels.Height; ++y)
            for (int32_t x = 0; x < FPixels.Width; ++x)
                if (ColorOfPixel(FPixels.Row(y) + x * 3) == key) FAlpha[size_t(y) * FPixels.Width + x] = 0;
    }
    FHasTransparentColor = false;
    FTransparentColor = clNone;
    if (FColorType == COLOR_GRAYSCALE) FColorType = COLOR_GRAYSCALEALPHA;
    else if (FColorType != COLOR_GRAYSCALEALPHA) FColorType = COLOR_RGBALPHA;
    FBitDepth = 8;
    Changed(this);
}

void TPngImage::RemoveTransparency()
{
    FAlpha.clear();
    FHasTransparentColor = false;
    FTransparentColor = clNone;
    if (FColorType == COLOR_RGBALPHA) FColorType = COLOR_RGB;
    if (FColorType == COLOR_GRAYSCALEALPHA) FColorType = COLOR_GRAYSCALE;
    Changed(this);
}

TPNGTransparencyMode TPngImage::TransparencyMode() const
{
    if (!FAlpha.empty()) return ptmPartial;
    return FHasTransparentColor ? ptmBit : ptmNone;
}

void TPngImage::SetTransparentColor(TColor value)
{
    FAlpha.clear();
    if (FColorType == COLOR_RGBALPHA) FColorType = COLOR_RGB;
    if (FColorType == COLOR_GRAYSCALEALPHA) FColorType = COLOR_GRAYSCALE;
    FHasTransparentColor = true;
    FTransparentColor = static_cast<TColor>(ColorToRGB(value));
    Changed(this);
}

void TPngImage::SetSize(int width, int height)
{
    TDibImage pixels;
    if (width > 0 && height > 0) pixels.Allocate(width, height, 24);
    FPixels = std::move(pixels);
    if (!FAlpha.empty()) FAlpha.assign(static_cast<size_t>(std::max(width, 0)) * std::max(height, 0), 255);
    Changed(this);
}

TDibImage TPngImage::ToImageWithAlpha() const
{
    if (Empty()) return {};
    TDibImage out = ToBGRA32(FPixels);
    out.HasAlpha = true;
    const COLORREF key = FHasTransparentColor ? ColorToRGB(FTransparentColor) : 0;
    for (int32_t y = 0; y < out.Height; ++y) {
        uint8_t* p = out.Row(y);
        for (int32_t x = 0; x < out.Width; ++x, p += 4) {
            if (!FAlpha.empty()) p[3] = FAlpha[size_t(y) * out.Width + x];
            else if (FHasTransparentColor && ColorOfPixel(p) == key) p[3] = 0;
        }
    }
    return out;
}

void TPngImage::Draw(TCanvas* canvas, const TRect& r)
{
    if (Empty() || !canvas) return;
    if (!FBlend.Valid()) FBlend.Build(TransparencyMode() == ptmNone ? FPixels : ToImageWithAlpha());
    FBlend.Draw(canvas, r);
}

void TPngImage::Changed(TObject* sender)
{
    FBlend.Reset();
    TGraphic::Changed(sender);
}

void TPngImage::LoadFromStream(TStream* stream)
{
    TStreamImageReader reader(stream);
    TPngInfo info;
    TDibImage image = ReadPng(reader, &info);
    std::vector<uint8_t> alpha;
    const bool ownAlpha = image.HasAlpha && !info.HasTransparentColor;
    if (ownAlpha) {
        alpha.resize(static_cast<size_t>(image.Width) * image.Height);
        for (int32_t y = 0; y < image.Height; ++y) {
            const uint8_t* p = image.Row(y);
            for (int32_t x = 0; x < image.Width; ++x) alpha[size_t(y) * image.Width + x] = p[x * 4 + 3];
        }
    }
    FPixels = image.BitCount == 24 ? std::move(image) : ToBGR24(image);
    FAlpha = std::move(alpha);
    FColorType = info.ColorType;
    FBitDepth = info.BitDepth;
    FHasTransparentColor = info.HasTransparentColor;
    FTransparentColor = info.HasTransparentColor
                            ? static_cast<TColor>(RGB(static_cast<BYTE>(info.TransparentColor >> 16),
                                                      static_cast<BYTE>(info.TransparentColor >> 8),
                                                      static_cast<BYTE>(info.TransparentColor)))
                            : clNone;
    Changed(this);
}

void TPngImage::SaveToStream(TStream* stream)
{
    if (Empty()) return;
    std::vector<uint8_t> bytes;
    if (TransparencyMode() == ptmNone) WritePng(FPixels, bytes, FCompressionLevel);
    else WritePng(ToImageWithAlpha(), bytes, FCompressionLevel);
    stream->WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
}

void TPngImage::Assign(TPersistent* Source)
{
    if (Source == this) return;
    if (auto* png = dynamic_cast<TPngImage*>(Source)) {
        FPixels = png->FPixels;
        FAlpha = png->FAlpha;
        FColorType = png->FColorType;
        FBitDepth = png->FBitDepth;
        FHasTransparentColor = png->FHasTransparentColor;
        FTransparentColor = png->FTransparentColor;
        FCompressionLevel = png->FCompressionLevel;
        Changed(this);
        return;
    }
    if (auto* bmp = dynamic_cast<TBitmap*>(Source)) {
        // A bitmap of any depth becomes a true-colour picture; a transparent
        // one marks its transparent colour.
        FPixels = bmp->Empty() ? TDibImage() : ToBGR24(bmp->ToImage());
        FAlpha.clear();
        FColorType = COLOR_RGB;
        FBitDepth = 8;
        FHasTransparentColor = bmp->Transparent() && !bmp->Empty();
        FTransparentColor = FHasTransparentColor ? static_cast<TColor>(ColorToRGB(bmp->TransparentColor())) : clNone;
        Changed(this);
        return;
    }
    if (!Source) {
        FPixels = {};
        FAlpha.clear();
        FHasTransparentColor = false;
        FTransparentColor = clNone;
        Changed(this);
        return;
    }
    TGraphic::Assign(Source);
}

void TPngImage::AssignTo(TPersistent* Dest)
{
    if (auto* bmp = dynamic_cast<TBitmap*>(Dest)) {
        // Alpha pictures become 32-bit bitmaps with their straight alpha bytes;
        // the others 24-bit, transparent by their colour when they have one.
        if (Empty()) {
            bmp->Assign(nullptr);
        } else if (!FAlpha.empty()) {
            bmp->FromImage(ToImageWithAlpha());
            bmp->SetTransparent(false);
        } else {
            bmp->FromImage(FPixels);
            bmp->SetTransparent(FHasTransparentColor);
            if (FHasTransparentColor) bmp->SetTransparentColor(FTransparentColor);
        }
        return;
    }
    if (auto* p = dynamic_cast<TPicture*>(Dest)) {
        p->SetGraphic(this);
        return;
    }
    TGraphic::AssignTo(Dest);
}
