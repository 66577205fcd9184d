#include "engine/FormatConverter.h"

#include "engine/AVUtilStubs.h"
#include "engine/SwScaleStubs.h"
#include "platform/rtl/Exceptions.h"

namespace {
struct TFormatRow {
    TBMPPixelFormat Format;
    int BitsPixel;
    AVPixelFormat PixFmt;
};
const TFormatRow kFormats[] = {
    {TBMPPixelFormat::pf8bit, 8, AV_PIX_FMT_BGR8},
    {TBMPPixelFormat::pf15bit, 16, AV_PIX_FMT_BGR555LE},
    {TBMPPixelFormat::pf16bit, 16, AV_PIX_FMT_BGR565LE},
    {TBMPPixelFormat::pf24bit, 24, AV_PIX_FMT_BGR24},
    {TBMPPixelFormat::pf32bit, 32, AV_PIX_FMT_BGRA},
};
}  // namespace

TFormatConverter::TFormatConverter() { Reset(); }

TFormatConverter::~TFormatConverter() {
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

bool TFormatConverter::PictureToRGB(const TAVPicture* APicture, AVPixelFormat APixFmt, int AWidth, int AHeight) {
    if (!APicture || AWidth <= 0 || AHeight <= 0 || ff::av_image_check_size(AWidth, AHeight, 0, nullptr) < 0) {
        FRGBPictureRef = nullptr;
        FLastErrMsg = "Cannot initialize the toRGB conversion context";
        return false;
    }
    const TAVPicture* current;
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
    return true;
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
