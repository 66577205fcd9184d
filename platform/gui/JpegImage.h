#pragma once
// JPEG pictures as a graphic class. The compressed data is kept as loaded
// and decoded to a bitmap when first drawn or converted; a picture assigned
// from a bitmap is compressed with CompressionQuality when it is saved.
#include "platform/gui/Graphics.h"

#include <memory>

enum TJPEGScale { jsFullSize, jsHalf, jsQuarter, jsEighth };
enum TJPEGPerformance { jpBestQuality, jpBestSpeed };
using TJPEGQualityRange = int;  // 1..100

class TJPEGImage : public TGraphic {
public:
    TJPEGImage();
    ~TJPEGImage() override;
    void Assign(TPersistent* Source) override;
    bool Empty() const override { return FData.empty() && !FBitmap; }
    // The decoded size at the current Scale.
    int Width() const override;
    int Height() const override;
    // Raises EInvalidGraphicOperation: a JPEG picture cannot be resized.
    void SetSize(int width, int height) override;
    void Draw(TCanvas* canvas, const TRect& r) override;
    // Takes everything from the stream's position to its end.
    void LoadFromStream(TStream* stream) override;
    void SaveToStream(TStream* stream) override;

    TJPEGQualityRange CompressionQuality() const { return FQuality; }
    void SetCompressionQuality(TJPEGQualityRange value);
    bool Grayscale() const { return FGrayscale; }
    void SetGrayscale(bool value);
    TJPEGScale Scale() const { return FScale; }
    void SetScale(TJPEGScale value);
    TJPEGPerformance Performance() const { return FPerformance; }
    void SetPerformance(TJPEGPerformance value);

    // Compresses the current picture now (with the current quality).
    void Compress();
    // Decodes the picture now.
    void DIBNeeded();
    void JPEGNeeded();
    // The decoded picture (pf24bit), decoding it first.
    TBitmap* Bitmap();

protected:
    void AssignTo(TPersistent* Dest) override;

private:
    void FreeBitmap();
    std::vector<uint8_t> FData;
    std::unique_ptr<TBitmap> FBitmap;
    TSize FFullSize;
    TJPEGQualityRange FQuality = 90;
    bool FGrayscale = false;
    TJPEGScale FScale = jsFullSize;
    TJPEGPerformance FPerformance = jpBestQuality;
};
