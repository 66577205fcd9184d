#pragma once
// Turns a decoded picture of any pixel format into a packed RGB buffer laid
// out like a bitmap (top-down lines padded to 32 bits) and into the
// platform's TBitmap, and back (a hook may draw on the bitmap). Conversions
// run through swscale with cached contexts; the buffer grows and is reused,
// and a caller's picture that already has the bitmap's layout is used as it
// is, so converting a run of same-size frames allocates nothing.
#include <cstdint>
#include <string>

extern "C" {
#include <libavutil/pixfmt.h>
}

struct SwsContext;
class TBitmap;

// The engine's picture record: four plane pointers and four line sizes.
struct TAVPicture {
    uint8_t* data[4] = {nullptr, nullptr, nullptr, nullptr};
    int linesize[4] = {0, 0, 0, 0};
};

enum class TBMPPixelFormat { pf8bit, pf15bit, pf16bit, pf24bit, pf32bit };

// Description of the current RGB picture, shaped like the platform's BITMAP.
struct TFFBitmapInfo {
    int32_t bmType = 0;
    int32_t bmWidth = 0;
    int32_t bmHeight = 0;
    int32_t bmWidthBytes = 0;
    uint16_t bmPlanes = 0;
    uint16_t bmBitsPixel = 0;
    void* bmBits = nullptr;
};

class TFormatConverter {
public:
    TFormatConverter();
    ~TFormatConverter();
    TFormatConverter(const TFormatConverter&) = delete;
    TFormatConverter& operator=(const TFormatConverter&) = delete;

    int BitsPixel() const { return FBitsPixel; }
    // 8, 15, 16, 24 or 32; other values raise "Invalid BitsPixel %d".
    void SetBitsPixel(int AValue);
    TBMPPixelFormat BMPPixFmt() const { return FBMPPixFmt; }
    void SetBMPPixFmt(TBMPPixelFormat AValue);
    AVPixelFormat AVPixFmt() const { return FAVPixFmt; }

    // Bytes per line of a bitmap of this format and width.
    int BitmapLineSize(int AWidth) const;

    // Converts APicture into the RGB picture (or adopts it when it already
    // has the layout), with AToBitmap also into Bitmap. False with LastErrMsg
    // when no conversion is possible.
    bool PictureToRGB(TAVPicture* APicture, AVPixelFormat APixFmt, int AWidth, int AHeight, bool AToBitmap = false);
    // Copy the current RGB picture into Bitmap and back, line by line; both
    // need a current RGB picture (a successful PictureToRGB).
    void RGBToBitmap();
    void BitmapToRGB();
    // The converter's own bitmap, sized and formatted like the RGB picture.
    TBitmap* Bitmap() const { return FBitmap; }
    // Converts the current RGB picture into APicture of format APixFmt.
    bool RGBToPicture(TAVPicture* APicture, AVPixelFormat APixFmt, int AWidth, int AHeight);

    const TFFBitmapInfo* DIB() const { return &FDIB; }
    const TAVPicture* RGBPicture() const { return &FRGBPicture; }
    // The picture holding the current RGB data (own or the caller's), or null.
    TAVPicture* RGBPictureRef() const { return FRGBPictureRef; }
    int RGBBufferSize() const { return FRGBBufSize; }
    const std::string& LastErrMsg() const { return FLastErrMsg; }

private:
    void Reset();

    int FBitsPixel = 24;
    AVPixelFormat FAVPixFmt = AV_PIX_FMT_BGR24;
    TBMPPixelFormat FBMPPixFmt = TBMPPixelFormat::pf24bit;
    TFFBitmapInfo FDIB;
    uint8_t* FRGBBuffer = nullptr;
    int FRGBBufSize = 0;
    TAVPicture FRGBPicture;
    TAVPicture* FRGBPictureRef = nullptr;
    TBitmap* FBitmap = nullptr;
    int FRGBWidth = 0;
    int FRGBHeight = 0;
    SwsContext* FtoRGB_convert_ctx = nullptr;
    SwsContext* FfromRGB_convert_ctx = nullptr;
    std::string FLastErrMsg;
};
