#include "platform/gdi/ImageFormats.h"

#include "platform/rtl/Exceptions.h"

#include <algorithm>
#include <cstring>

void CheckImageSize(int64_t width, int64_t height, const char* format)
{
    if (width <= 0 || height <= 0)
        throw EInvalidGraphic(std::string(format) + " picture has no pixels");
    if (width > MaxImageSide || height > MaxImageSide ||
        static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > MaxImagePixels)
        throw EInvalidGraphic(std::string(format) + " picture is too large");
}

void TDibImage::Allocate(int32_t width, int32_t height, int bitCount)
{
    CheckImageSize(width, height, "Image");
    Width = width;
    Height = height;
    BitCount = bitCount;
    Bits.assign(Stride() * static_cast<size_t>(height), 0);
}

static uint32_t Expand5(uint32_t v) { return (v << 3) | (v >> 2); }
static uint32_t Expand6(uint32_t v) { return (v << 2) | (v >> 4); }

uint32_t TDibImage::PixelBGRA(int32_t x, int32_t y) const
{
    const uint8_t* row = Row(y);
    switch (BitCount) {
    case 1:
    case 4:
    case 8: {
        const unsigned bits = static_cast<unsigned>(BitCount);
        const size_t bitPos = static_cast<size_t>(x) * bits;
        const unsigned shift = 8 - bits - static_cast<unsigned>(bitPos % 8);
        const unsigned index = (row[bitPos / 8] >> shift) & ((1u << bits) - 1);
        const uint32_t entry = index < Palette.size() ? Palette[index] : 0;
        return 0xFF000000u | (entry & 0xFFFFFFu);
    }
    case 16: {
        const uint32_t v = GetLE16(row + x * 2);
        if (Is565)
            return 0xFF000000u | (Expand5((v >> 11) & 31) << 16) | (Expand6((v >> 5) & 63) << 8) | Expand5(v & 31);
        return 0xFF000000u | (Expand5((v >> 10) & 31) << 16) | (Expand5((v >> 5) & 31) << 8) | Expand5(v & 31);
    }
    case 24: {
        const uint8_t* p = row + x * 3;
        return 0xFF000000u | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
    }
    case 32: {
        const uint32_t v = GetLE32(row + x * 4);
        return HasAlpha ? v : (v | 0xFF000000u);
    }
    default:
        return 0;
    }
}

TDibImage ToBGRA32(const TDibImage& source)
{
    TDibImage out;
    out.Allocate(source.Width, source.Height, 32);
    out.HasAlpha = source.HasAlpha && source.BitCount == 32;
    if (source.BitCount == 32) {
        for (int32_t y = 0; y < source.Height; ++y) {
            std::memcpy(out.Row(y), source.Row(y), out.Stride());
            if (!out.HasAlpha) {
                uint8_t* p = out.Row(y);
                for (int32_t x = 0; x < out.Width; ++x) p[x * 4 + 3] = 255;
            }
        }
        return out;
    }
    for (int32_t y = 0; y < source.Height; ++y) {
        uint8_t* d = out.Row(y);
        if (source.BitCount == 24) {
            const uint8_t* s = source.Row(y);
            for (int32_t x = 0; x < source.Width; ++x, s += 3, d += 4) {
                d[0] = s[0]; d[1] = s[1]; d[2] = s[2]; d[3] = 255;
            }
        } else {
            for (int32_t x = 0; x < source.Width; ++x, d += 4) {
                const uint32_t v = source.PixelBGRA(x, y);
                std::memcpy(d, &v, 4);
            }
        }
    }
    return out;
}

TDibImage ToBGR24(const TDibImage& source)
{
    TDibImage out;
    out.Allocate(source.Width, source.Height, 24);
    for (int32_t y = 0; y < source.Height; ++y) {
        uint8_t* d = out.Row(y);
        for (int32_t x = 0; x < source.Width; ++x, d += 3) {
            const uint32_t v = source.PixelBGRA(x, y);
            d[0] = static_cast<uint8_t>(v);
            d[1] = static_cast<uint8_t>(v >> 8);
            d[2] = static_cast<uint8_t>(v >> 16);
        }
    }
    return out;
}

size_t TSpanReader::Read(void* buffer, size_t count)
{
    const size_t n = std::min(count, FData.size() - FPos);
    if (n) std::memcpy(buffer, FData.data() + FPos, n);
    FPos += n;
    return n;
}

void ReadExact(TImageReader& reader, void* buffer, size_t count, const char* format)
{
    auto* p = static_cast<uint8_t*>(buffer);
    while (count > 0) {
        const size_t n = reader.Read(p, count);
        if (n == 0) throw EInvalidGraphic(std::string(format) + " picture is truncated");
        p += n;
        count -= n;
    }
}

void SkipExact(TImageReader& reader, uint64_t count, const char* format)
{
    uint8_t scratch[4096];
    while (count > 0) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(count, sizeof scratch));
        ReadExact(reader, scratch, n, format);
        count -= n;
    }
}

std::vector<uint8_t> ReadAll(TImageReader& reader)
{
    std::vector<uint8_t> data;
    size_t used = 0;
    for (;;) {
        data.resize(used + 65536);
        const size_t n = reader.Read(data.data() + used, 65536);
        used += n;
        if (n == 0) break;
    }
    data.resize(used);
    return data;
}

TImageFormat DetectImageFormat(std::span<const uint8_t> head)
{
    static const uint8_t png[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (head.size() >= 8 && std::memcmp(head.data(), png, 8) == 0) return TImageFormat::Png;
    if (head.size() >= 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF) return TImageFormat::Jpeg;
    if (head.size() >= 2 && head[0] == 'B' && head[1] == 'M') return TImageFormat::Bmp;
    if (head.size() >= 4 && head[0] == 0 && head[1] == 0 && head[3] == 0) {
        if (head[2] == 1) return TImageFormat::Icon;
        if (head[2] == 2) return TImageFormat::Cursor;
    }
    return TImageFormat::Unknown;
}
