#pragma once
// PNG pictures as a graphic class: colour pixels with an optional alpha
// channel, the file's colour type, and a single transparent colour for
// pictures that mark one (tRNS). Drawn blended by alpha; converts to and
// from bitmaps.
#include "platform/gui/Graphics.h"

#include <algorithm>

enum TPNGTransparencyMode { ptmNone, ptmBit, ptmPartial };

// PNG colour types.
constexpr int COLOR_GRAYSCALE = 0;
constexpr int COLOR_RGB = 2;
constexpr int COLOR_PALETTE = 3;
constexpr int COLOR_GRAYSCALEALPHA = 4;
constexpr int COLOR_RGBALPHA = 6;

class TPngImage : public TGraphic {
public:
    void Assign(TPersistent* Source) override;
    bool Empty() const override { return FPixels.Empty(); }
    int Width() const override { return FPixels.Width; }
    int Height() const override { return FPixels.Height; }
    // A new black RGB picture of that size (the alpha channel, if any, opaque).
    void SetSize(int width, int height) override;
    void Draw(TCanvas* canvas, const TRect& r) override;
    void LoadFromStream(TStream* stream) override;
    void SaveToStream(TStream* stream) override;

    int ColorType() const { return FColorType; }
    int BitDepth() const { return FBitDepth; }
    // Row y (0 = top) of B, G, R bytes.
    uint8_t* Scanline(int y);
    // Row y of alpha bytes, or nullptr when the picture has no alpha channel.
    uint8_t* AlphaScanline(int y);
    TColor Pixels(int x, int y) const;
    void SetPixel(int x, int y, TColor color);
    // Gives the picture an alpha channel (all opaque) when it has none.
    void CreateAlpha();
    void RemoveTransparency();
    TPNGTransparencyMode TransparencyMode() const;
    TColor TransparentColor() const { return FTransparentColor; }
    // Marks one colour transparent (drops an alpha channel).
    void SetTransparentColor(TColor value);
    int CompressionLevel() const { return FCompressionLevel; }
    void SetCompressionLevel(int value) { FCompressionLevel = std::clamp(value, 0, 9); }

    // The picture as 32-bit B, G, R, A with straight alpha (the transparent
    // colour, if any, at alpha 0).
    TDibImage ToImageWithAlpha() const;

protected:
    void AssignTo(TPersistent* Dest) override;
    void Changed(TObject* sender) override;

private:
    void CheckRow(int y) const;
    TBlendSource FBlend;             // prepared for drawing; reset by any change
    TDibImage FPixels;               // 24-bit, top row first
    std::vector<uint8_t> FAlpha;     // Width x Height, empty without alpha
    int FColorType = COLOR_RGB;
    int FBitDepth = 8;
    bool FHasTransparentColor = false;
    TColor FTransparentColor = clNone;
    int FCompressionLevel = 6;
};
