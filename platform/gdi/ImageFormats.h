#pragma once
// The neutral in-memory picture shared by the file codecs (BMP, PNG, JPEG,
// ICO/CUR) and the picture classes: rows of device-independent pixels in the
// platform's DIB byte order (B, G, R[, A]), top row first, each row padded to
// 32 bits. Codecs read from a byte source that delivers exactly what they ask
// for, so a caller can read one picture after another from one stream, and
// write by appending to a byte vector.
#include "platform/rtl/Types.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Bytes per row of a DIB: Width pixels of BitCount bits, padded to 4 bytes.
constexpr size_t ImageStride(int32_t width, int bitCount)
{
    return ((static_cast<size_t>(width) * static_cast<size_t>(bitCount) + 31) / 32) * 4;
}

// The largest picture any codec accepts: enough for 8K video frames and large
// skin sheets, small enough that a forged header cannot ask for gigabytes.
constexpr int32_t MaxImageSide = 65535;
constexpr uint64_t MaxImagePixels = uint64_t(1) << 27;

struct TDibImage {
    int32_t Width = 0;
    int32_t Height = 0;
    int BitCount = 0;            // 1, 4, 8, 16, 24 or 32
    bool Is565 = false;          // 16-bit pixels: 5-6-5 when set, else 5-5-5
    bool HasAlpha = false;       // 32-bit pixels carry a meaningful alpha byte
    std::vector<uint32_t> Palette;  // 1/4/8 bits: entries 0x00RRGGBB (bytes B, G, R, 0)
    std::vector<uint8_t> Bits;   // Height rows of Stride() bytes, top row first

    size_t Stride() const { return ImageStride(Width, BitCount); }
    uint8_t* Row(int32_t y) { return Bits.data() + static_cast<size_t>(y) * Stride(); }
    const uint8_t* Row(int32_t y) const { return Bits.data() + static_cast<size_t>(y) * Stride(); }
    bool Empty() const { return Width <= 0 || Height <= 0; }

    // Allocates zeroed rows for the given size and depth; raises EInvalidGraphic
    // for a size outside the accepted limits.
    void Allocate(int32_t width, int32_t height, int bitCount);
    // The pixel at (x, y) as 0xAARRGGBB; the alpha byte is 255 unless the
    // picture HasAlpha.
    uint32_t PixelBGRA(int32_t x, int32_t y) const;
};

// Raises EInvalidGraphic unless the size is positive and inside the limits.
void CheckImageSize(int64_t width, int64_t height, const char* format);

// Converts any picture to 32 bits (B, G, R, A); alpha is 255 unless the source
// HasAlpha. The result HasAlpha when the source did.
TDibImage ToBGRA32(const TDibImage& source);
// Converts any picture to 24 bits (B, G, R).
TDibImage ToBGR24(const TDibImage& source);

// A source of bytes for the readers. Read returns fewer bytes than asked for
// only at the end of the data.
class TImageReader {
public:
    virtual ~TImageReader() = default;
    virtual size_t Read(void* buffer, size_t count) = 0;
};

// Reads from memory and tells how much was consumed.
class TSpanReader final : public TImageReader {
public:
    explicit TSpanReader(std::span<const uint8_t> data) : FData(data) {}
    size_t Read(void* buffer, size_t count) override;
    size_t Position() const { return FPos; }
    size_t Remaining() const { return FData.size() - FPos; }

private:
    std::span<const uint8_t> FData;
    size_t FPos = 0;
};

// Reads exactly count bytes or raises EInvalidGraphic naming the format as
// truncated.
void ReadExact(TImageReader& reader, void* buffer, size_t count, const char* format);
// Reads and drops count bytes; raises like ReadExact.
void SkipExact(TImageReader& reader, uint64_t count, const char* format);
// Reads everything the reader still has.
std::vector<uint8_t> ReadAll(TImageReader& reader);

// Little-endian field access used by the BMP and ICO codecs.
inline uint16_t GetLE16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t GetLE32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline void PutLE16(std::vector<uint8_t>& out, uint16_t v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void PutLE32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// Which codec a file's first bytes belong to.
enum class TImageFormat { Unknown, Bmp, Png, Jpeg, Icon, Cursor };
TImageFormat DetectImageFormat(std::span<const uint8_t> head);
