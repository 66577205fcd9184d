#include "engine/decoder/FormatConverter.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/bindings/AVUtilStubs.h"
#include "engine/bindings/SwScaleStubs.h"
#include "platform/gui/Graphics.h"
#include "platform/rtl/Exceptions.h"

namespace {
struct TFormatRow {
    TBMPPixelFormat Format;
    int BitsPixel;
    AVPixelFormat PixFmt;
    TPixelFormat BitmapFormat;
};
const TFormatRow kFormats[] = {
    {TBMPPixelFormat::pf8bit, 8, AV_PIX_FMT_BGR8, pf8bit},
    {TBMPPixelFormat::pf15bit, 16, AV_PIX_FMT_BGR555LE, pf15bit},
    {TBMPPixelFormat::pf16bit, 16, AV_PIX_FMT_BGR565LE, pf16bit},
    {TBMPPixelFormat::pf24bit, 24, AV_PIX_FMT_BGR24, pf24bit},
    {TBMPPixelFormat::pf32bit, 32, AV_PIX_FMT_BGRA, pf32bit},
};

// The 8-bit format packs blue, green and red as 2-3-3 bits: its colour
// table spells that out.
std::vector<RGBQUAD> Palette332() {
    std::vector<RGBQUAD> colors(256);
    for (int i = 0; i < 256; ++i) {
        colors[i].rgbRed = static_cast<BYTE>((i & 7) * 255 / 7);
        colors[i].rgbGreen = static_cast<BYTE>(((i >> 3) & 7) * 255 / 7);
        colors[i].rgbBlue = static_cast<BYTE>((i >> 6) * 255 / 3);
        colors[i].rgbReserved = 0;
    }
    return colors;
}
}  // namespace

TFormatConverter::TFormatConverter() : FBitmap(new TBitmap) {
    // Text drawn by a hook gets no background.
    FBitmap->Canvas()->Brush()->SetStyle(bsClear);
    Reset();
}

TFormatConverter::~TFormatConverter() {
    delete FBitmap;
    if (FRGBBuffer && ff::av_free) ff::av_free(FRGBBuffer);
    if (ff::sws_freeContext) {
        if (FtoRGB_convert_ctx) ff::sws_freeContext(FtoRGB_convert_ctx);
        if (FfromRGB_convert_ctx) ff::sws_freeContext(FfromRGB_convert_ctx);
    }
}

void TFormatConverter::Reset() {
    FDIB = TFFBitmapInfo{};
    FRGBPicture = TAVPicture{};
    FRGBPictureRef = nullptr;
    for (const TFormatRow& row : kFormats)
        if (row.Format == FBMPPixFmt) {
            FBitsPixel = row.BitsPixel;
            FAVPixFmt = row.PixFmt;
            FBitmap->SetPixelFormat(row.BitmapFormat);
            if (row.BitmapFormat == pf8bit) FBitmap->SetPaletteColors(Palette332());
        }
}

void TFormatConverter::SetBitsPixel(int AValue) {
    if (AValue == FBitsPixel) return;
    TBMPPixelFormat f;
    switch (AValue) {
        case 8: f = TBMPPixelFormat::pf8bit; break;
        case 15: f = TBMPPixelFormat::pf15bit; break;
        case 16: f = TBMPPixelFormat::pf16bit; break;
        case 24: f = TBMPPixelFormat::pf24bit; break;
        case 32: f = TBMPPixelFormat::pf32bit; break;
        default: throw Exception("Invalid BitsPixel " + std::to_string(AValue));
    }
    FBMPPixFmt = f;
    Reset();
}

void TFormatConverter::SetBMPPixFmt(TBMPPixelFormat AValue) {
    if (AValue == FBMPPixFmt) return;
    int ordinal = static_cast<int>(AValue);
    if (ordinal < 0 || ordinal > static_cast<int>(TBMPPixelFormat::pf32bit))
        throw Exception("Invalid PixelFormat " + std::to_string(ordinal));
    FBMPPixFmt = AValue;
    Reset();
}

int TFormatConverter::BitmapLineSize(int AWidth) const {
    return static_cast<int>(((static_cast<int64_t>(AWidth) * FBitsPixel + 31) / 32) * 4);
}

bool TFormatConverter::PictureToRGB(TAVPicture* APicture, AVPixelFormat APixFmt, int AWidth, int AHeight,
                                    bool AToBitmap) {
    if (!APicture || AWidth <= 0 || AHeight <= 0 || ff::av_image_check_size(AWidth, AHeight, 0, nullptr) < 0) {
        FRGBPictureRef = nullptr;
        FLastErrMsg = "Cannot initialize the toRGB conversion context";
        return false;
    }
    TAVPicture* current;
    if (APixFmt == FAVPixFmt && AWidth % 2 == 0 && AHeight % 2 == 0 &&
        APicture->linesize[0] == BitmapLineSize(AWidth)) {
        // Already the bitmap's layout: no conversion, no copy.
        current = APicture;
    } else {
        int needed = ff::av_image_get_buffer_size(FAVPixFmt, AWidth, AHeight, 4);
        if (needed < 0) {
            FRGBPictureRef = nullptr;
            FLastErrMsg = "Cannot initialize the toRGB conversion context";
            return false;
        }
        if (!FRGBBuffer || FRGBBufSize < needed) {
            if (FRGBBuffer) ff::av_free(FRGBBuffer);
            FRGBBuffer = static_cast<uint8_t*>(ff::av_malloc(static_cast<size_t>(needed)));
            FRGBBufSize = FRGBBuffer ? needed : 0;
            if (!FRGBBuffer) {
                FRGBPictureRef = nullptr;
                FLastErrMsg = "Cannot allocate the RGB picture";
                return false;
            }
        }
        ff::av_image_fill_arrays(FRGBPicture.data, FRGBPicture.linesize, FRGBBuffer, FAVPixFmt, AWidth, AHeight, 4);
        FtoRGB_convert_ctx = ff::sws_getCachedContext(FtoRGB_convert_ctx, AWidth, AHeight, APixFmt, AWidth, AHeight,
                                                      FAVPixFmt, SWS_BICUBIC, nullptr, nullptr, nullptr);
        if (!FtoRGB_convert_ctx) {
            FRGBPictureRef = nullptr;
            FLastErrMsg = "Cannot initialize the toRGB conversion context";
            return false;
        }
        ff::sws_scale(FtoRGB_convert_ctx, APicture->data, APicture->linesize, 0, AHeight, FRGBPicture.data,
                      FRGBPicture.linesize);
        current = &FRGBPicture;
    }
    FRGBPictureRef = current;
    FRGBWidth = AWidth;
    FRGBHeight = AHeight;
    FDIB.bmType = 0;
    FDIB.bmWidth = AWidth;
    FDIB.bmHeight = AHeight;
    FDIB.bmWidthBytes = current->linesize[0];
    FDIB.bmPlanes = 1;
    FDIB.bmBitsPixel = static_cast<uint16_t>(FBitsPixel);
    FDIB.bmBits = current->data[0];
    if (AToBitmap) RGBToBitmap();
    return true;
}

void TFormatConverter::RGBToBitmap() {
    if (!FRGBPictureRef) throw EInvalidOperation("no RGB picture to copy");
    if (FBitmap->Width() != FRGBWidth || FBitmap->Height() != FRGBHeight) FBitmap->SetSize(FRGBWidth, FRGBHeight);
    size_t bytes = static_cast<size_t>(std::min(FRGBPictureRef->linesize[0], BitmapLineSize(FRGBWidth)));
    for (int y = 0; y < FRGBHeight; ++y)
        std::memcpy(FBitmap->ScanLine(y), FRGBPictureRef->data[0] + static_cast<ptrdiff_t>(y) * FRGBPictureRef->linesize[0],
                    bytes);
}

void TFormatConverter::BitmapToRGB() {
    if (!FRGBPictureRef) throw EInvalidOperation("no RGB picture to copy");
    int lines = std::min(FBitmap->Height(), FRGBHeight);
    size_t bytes = static_cast<size_t>(std::min(FRGBPictureRef->linesize[0], BitmapLineSize(FBitmap->Width())));
    for (int y = 0; y < lines; ++y)
        std::memcpy(FRGBPictureRef->data[0] + static_cast<ptrdiff_t>(y) * FRGBPictureRef->linesize[0],
                    FBitmap->ScanLine(y), bytes);
}

bool TFormatConverter::RGBToPicture(TAVPicture* APicture, AVPixelFormat APixFmt, int AWidth, int AHeight) {
    // The RGB picture must cover the target: a larger size would read past it.
    if (!FRGBPictureRef || !APicture || AWidth != FRGBWidth || AHeight != FRGBHeight) {
        FLastErrMsg = "Cannot initialize the fromRGB conversion context";
        return false;
    }
    FfromRGB_convert_ctx = ff::sws_getCachedContext(FfromRGB_convert_ctx, AWidth, AHeight, FAVPixFmt, AWidth,
                                                    AHeight, APixFmt, SWS_BICUBIC, nullptr, nullptr, nullptr);
    if (!FfromRGB_convert_ctx) {
        FLastErrMsg = "Cannot initialize the fromRGB conversion context";
        return false;
    }
    ff::sws_scale(FfromRGB_convert_ctx, FRGBPictureRef->data, FRGBPictureRef->linesize, 0, AHeight, APicture->data,
                  APicture->linesize);
    return true;
}
