#include "platform/gui/JpegImage.h"

#include "platform/gdi/JpegFormat.h"
#include "platform/rtl/Exceptions.h"

TJPEGImage::TJPEGImage() = default;
TJPEGImage::~TJPEGImage() = default;

void TJPEGImage::FreeBitmap() { FBitmap.reset(); }

int TJPEGImage::Width() const
{
    if (FBitmap) return FBitmap->Width();
    return FFullSize.cx >> FScale;
}

int TJPEGImage::Height() const
{
    if (FBitmap) return FBitmap->Height();
    return FFullSize.cy >> FScale;
}

void TJPEGImage::SetSize(int, int) { throw EInvalidGraphicOperation("Cannot change the size of a JPEG image"); }

void TJPEGImage::SetCompressionQuality(TJPEGQualityRange value) { FQuality = std::max(1, std::min(100, value)); }

void TJPEGImage::SetGrayscale(bool value)
{
    if (value == FGrayscale) return;
    FGrayscale = value;
    if (!FData.empty()) FreeBitmap();
    Changed(this);
}

void TJPEGImage::SetScale(TJPEGScale value)
{
    if (value == FScale) return;
    FScale = value;
    if (!FData.empty()) FreeBitmap();  // decoded again at the new scale
    Changed(this);
}

void TJPEGImage::SetPerformance(TJPEGPerformance value)
{
    if (value == FPerformance) return;
    FPerformance = value;
    if (!FData.empty()) FreeBitmap();
    Changed(this);
}

void TJPEGImage::DIBNeeded()
{
    if (FBitmap || FData.empty()) return;
    TJpegReadOptions options;
    options.ScaleDenominator = 1 << FScale;
    options.FastDct = FPerformance == jpBestSpeed;
    TDibImage image = DecodeJpeg(FData, options);
    if (FGrayscale) {
        for (int32_t y = 0; y < image.Height; ++y) {
            uint8_t* p = image.Row(y);
            for (int32_t x = 0; x < image.Width; ++x, p += 3)
                p[0] = p[1] = p[2] = static_cast<uint8_t>((p[2] * 77 + p[1] * 150 + p[0] * 29 + 128) >> 8);
        }
    }
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->FromImage(image);
    FBitmap = std::move(bitmap);
}

TBitmap* TJPEGImage::Bitmap()
{
    DIBNeeded();
    if (!FBitmap) FBitmap = std::make_unique<TBitmap>();
    return FBitmap.get();
}

void TJPEGImage::Compress()
{
    if (!FBitmap || FBitmap->Empty()) return;
    std::vector<uint8_t> data;
    WriteJpeg(FBitmap->ToImage(), data, FQuality, FGrayscale);
    FFullSize = TSize(FBitmap->Width(), FBitmap->Height());
    FData = std::move(data);
    FScale = jsFullSize;
}

void TJPEGImage::JPEGNeeded()
{
    if (FData.empty()) Compress();
}

void TJPEGImage::Draw(TCanvas* canvas, const TRect& r)
{
    if (Empty() || !canvas) return;
    Bitmap()->Draw(canvas, r);
}

void TJPEGImage::LoadFromStream(TStream* stream)
{
    TStreamImageReader reader(stream);
    std::vector<uint8_t> data = ReadAll(reader);
    const TSize size = JpegSize(data);
    // Decoded now, into a picture of its own, so that a damaged file is
    // reported here and leaves the current picture as it was.
    std::vector<uint8_t> previous = std::move(FData);
    std::unique_ptr<TBitmap> previousBitmap = std::move(FBitmap);
    FData = std::move(data);
    try {
        DIBNeeded();
    } catch (...) {
        FData = std::move(previous);
        FBitmap = std::move(previousBitmap);
        throw;
    }
    FFullSize = size;
    Changed(this);
}

void TJPEGImage::SaveToStream(TStream* stream)
{
    JPEGNeeded();
    if (!FData.empty()) stream->WriteBuffer(FData.data(), static_cast<std::int64_t>(FData.size()));
}

void TJPEGImage::Assign(TPersistent* Source)
{
    if (Source == this) return;
    if (auto* j = dynamic_cast<TJPEGImage*>(Source)) {
        FData = j->FData;
        FFullSize = j->FFullSize;
        FQuality = j->FQuality;
        FGrayscale = j->FGrayscale;
        FScale = j->FScale;
        FPerformance = j->FPerformance;
        FreeBitmap();
        if (FData.empty() && j->FBitmap) {
            FBitmap = std::make_unique<TBitmap>();
            FBitmap->Assign(j->FBitmap.get());
        }
        Changed(this);
        return;
    }
    if (auto* b = dynamic_cast<TBitmap*>(Source)) {
        // Kept as pixels; compressed with the quality in force when saved.
        auto bitmap = std::make_unique<TBitmap>();
        if (!b->Empty()) {
            TDibImage image = b->ToImage();
            bitmap->FromImage(image.BitCount == 24 ? image : ToBGR24(image));
        }
        FData.clear();
        FFullSize = TSize(bitmap->Width(), bitmap->Height());
        FScale = jsFullSize;
        FBitmap = std::move(bitmap);
        Changed(this);
        return;
    }
    if (!Source) {
        FData.clear();
        FreeBitmap();
        FFullSize = TSize();
        Changed(this);
        return;
    }
    TGraphic::Assign(Source);
}

void TJPEGImage::AssignTo(TPersistent* Dest)
{
    if (auto* b = dynamic_cast<TBitmap*>(Dest)) {
        if (Empty()) b->Assign(nullptr);
        else b->Assign(Bitmap());
        return;
    }
    if (auto* p = dynamic_cast<TPicture*>(Dest)) {
        p->SetGraphic(this);
        return;
    }
    TGraphic::AssignTo(Dest);
}
