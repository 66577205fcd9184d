#include "platform/gdi/BmpFormat.h"

#include "platform/rtl/Exceptions.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

constexpr const char* Fmt = "BMP";

[[noreturn]] void Invalid(const std::string& what) { throw EInvalidGraphic("Invalid BMP picture: " + what); }

// Reads count bytes into a buffer that grows as data arrives, so that a forged
// size fails on the missing data before a huge allocation is made.
void ReadGrowing(TImageReader& reader, std::vector<uint8_t>& buffer, size_t count)
{
    constexpr size_t Chunk = size_t(4) << 20;
    buffer.clear();
    size_t done = 0;
    while (done < count) {
        const size_t n = std::min(Chunk, count - done);
        buffer.resize(done + n);
        ReadExact(reader, buffer.data() + done, n, Fmt);
        done += n;
    }
}

void FlipRows(TDibImage& image)
{
    const size_t stride = image.Stride();
    std::vector<uint8_t> tmp(stride);
    for (int32_t top = 0, bottom = image.Height - 1; top < bottom; ++top, --bottom) {
        std::memcpy(tmp.data(), image.Row(top), stride);
        std::memcpy(image.Row(top), image.Row(bottom), stride);
        std::memcpy(image.Row(bottom), tmp.data(), stride);
    }
}

// A channel of a bit-field pixel scaled to 0..255.
struct TMaskChannel {
    uint32_t Mask = 0;
    int Shift = 0;
    uint32_t Max = 0;
    explicit TMaskChannel(uint32_t mask) : Mask(mask)
    {
        if (mask) {
            Shift = std::countr_zero(mask);
            Max = mask >> Shift;
        }
    }
    uint32_t Get(uint32_t v) const { return Max ? (((v & Mask) >> Shift) * 255 + Max / 2) / Max : 0; }
};

// Bit-field pixels of a layout the picture classes do not keep become 32-bit
// B, G, R, A.
TDibImage ConvertMasked(const TDibImage& raw, const std::array<uint32_t, 4>& masks)
{
    const TMaskChannel r(masks[0]), g(masks[1]), b(masks[2]), a(masks[3]);
    TDibImage out;
    out.Allocate(raw.Width, raw.Height, 32);
    out.HasAlpha = masks[3] != 0;
    for (int32_t y = 0; y < raw.Height; ++y) {
        const uint8_t* s = raw.Row(y);
        uint8_t* d = out.Row(y);
        for (int32_t x = 0; x < raw.Width; ++x, d += 4) {
            const uint32_t v = raw.BitCount == 16 ? GetLE16(s + x * 2) : GetLE32(s + x * 4);
            d[0] = static_cast<uint8_t>(b.Get(v));
            d[1] = static_cast<uint8_t>(g.Get(v));
            d[2] = static_cast<uint8_t>(r.Get(v));
            d[3] = masks[3] ? static_cast<uint8_t>(a.Get(v)) : 255;
        }
    }
    return out;
}

// Run-length data of 4 or 8 bits. Rows run bottom-up; pixels a run would put
// outside the picture are dropped, and the end of the data ends the picture.
void DecodeRle(const std::vector<uint8_t>& data, TDibImage& image, bool rle4)
{
    int32_t x = 0, y = 0;  // y counts from the bottom row
    size_t i = 0;
    auto put = [&](uint8_t index) {
        if (x >= 0 && x < image.Width && y >= 0 && y < image.Height) {
            uint8_t* row = image.Row(image.Height - 1 - y);
            if (rle4) {
                uint8_t& byte = row[x / 2];
                byte = (x & 1) ? static_cast<uint8_t>((byte & 0xF0) | (index & 0x0F))
                               : static_cast<uint8_t>((byte & 0x0F) | (index << 4));
            } else {
                row[x] = index;
            }
        }
        ++x;
    };
    while (i + 1 < data.size() && y < image.Height) {
        const uint8_t count = data[i], value = data[i + 1];
        i += 2;
        if (count > 0) {
            for (int k = 0; k < count && x < image.Width; ++k)
                put(rle4 ? ((k & 1) ? (value & 0x0F) : (value >> 4)) : value);
            continue;
        }
        if (value == 0) {  // end of line
            x = 0;
            ++y;
        } else if (value == 1) {  // end of picture
            break;
        } else if (value == 2) {  // move
            if (i + 1 >= data.size()) break;
            x += data[i];
            y += data[i + 1];
            i += 2;
        } else {  // literal pixels, padded to a 16-bit boundary
            const size_t bytes = rle4 ? (value + 1u) / 2u : value;
            if (i + bytes > data.size()) Invalid("run-length data is truncated");
            for (int k = 0; k < value; ++k)
                put(rle4 ? ((k & 1) ? (data[i + k / 2] & 0x0F) : (data[i + k / 2] >> 4)) : data[i + k]);
            i += (bytes + 1) & ~size_t(1);
        }
    }
}

bool IsStandard16(const std::array<uint32_t, 4>& m, bool& is565)
{
    if (m[0] == 0xF800 && m[1] == 0x07E0 && m[2] == 0x001F && m[3] == 0) { is565 = true; return true; }
    if (m[0] == 0x7C00 && m[1] == 0x03E0 && m[2] == 0x001F && m[3] == 0) { is565 = false; return true; }
    return false;
}

}  // namespace

TDibHeader ReadDibHeader(TImageReader& reader)
{
    TDibHeader h;
    uint8_t buf[124];
    ReadExact(reader, buf, 4, Fmt);
    h.HeaderSize = GetLE32(buf);
    const uint32_t hs = h.HeaderSize;
    if (hs != 12 && hs != 40 && hs != 52 && hs != 56 && hs != 108 && hs != 124)
        Invalid("unknown header size " + std::to_string(hs));
    ReadExact(reader, buf + 4, hs - 4, Fmt);
    h.BytesRead = hs;
    if (hs == 12) {
        h.Width = GetLE16(buf + 4);
        h.Height = static_cast<int16_t>(GetLE16(buf + 6));
        h.BitCount = GetLE16(buf + 10);
    } else {
        h.Width = static_cast<int32_t>(GetLE32(buf + 4));
        h.Height = static_cast<int32_t>(GetLE32(buf + 8));
        h.BitCount = GetLE16(buf + 14);
        h.Compression = GetLE32(buf + 16);
        h.SizeImage = GetLE32(buf + 20);
    }
    const int bc = h.BitCount;
    if (bc != 1 && bc != 4 && bc != 8 && bc != 16 && bc != 24 && bc != 32)
        Invalid("unsupported bit count " + std::to_string(bc));
    if (h.Height == INT32_MIN) Invalid("bad height");
    CheckImageSize(h.Width, h.Height < 0 ? -int64_t(h.Height) : h.Height, Fmt);

    switch (h.Compression) {
    case BI_RGB:
        break;
    case BI_RLE8:
    case BI_RLE4:
        if (bc != (h.Compression == BI_RLE8 ? 8 : 4)) Invalid("run-length coding does not match the bit count");
        if (h.Height < 0) Invalid("top-down rows cannot be run-length coded");
        break;
    case BI_BITFIELDS:
    case BI_ALPHABITFIELDS:
        if (bc != 16 && bc != 32) Invalid("bit fields need 16 or 32 bits per pixel");
        break;
    default:
        Invalid("unsupported compression " + std::to_string(h.Compression));
    }

    if (hs >= 52) {
        for (int i = 0; i < 3; ++i) h.Masks[i] = GetLE32(buf + 40 + 4 * i);
        if (hs >= 56) h.Masks[3] = GetLE32(buf + 52);
        if (hs == 124) {
            h.ProfileData = GetLE32(buf + 112);
            h.ProfileSize = GetLE32(buf + 116);
            if (GetLE32(buf + 56) != 0x4D424544) h.ProfileData = h.ProfileSize = 0;  // not embedded
        }
    } else if (hs == 40 && (h.Compression == BI_BITFIELDS || h.Compression == BI_ALPHABITFIELDS)) {
        const int n = h.Compression == BI_BITFIELDS ? 3 : 4;
        ReadExact(reader, buf, 4 * n, Fmt);
        for (int i = 0; i < n; ++i) h.Masks[i] = GetLE32(buf + 4 * i);
        h.BytesRead += 4 * n;
    }
    if (h.Compression != BI_BITFIELDS && h.Compression != BI_ALPHABITFIELDS) {
        if (bc == 16) h.Masks = {0x7C00, 0x03E0, 0x001F, 0};
        else if (bc == 32 && hs < 56) h.Masks = {0xFF0000, 0xFF00, 0xFF, 0};
        else if (bc == 32) h.Masks = {0xFF0000, 0xFF00, 0xFF, h.Masks[3]};
    } else if (h.Compression == BI_BITFIELDS && hs < 56) {
        h.Masks[3] = 0;
    }
    if ((bc == 16 || bc == 32) && (h.Masks[0] | h.Masks[1] | h.Masks[2]) == 0) Invalid("empty bit fields");

    // Palette: the used count, or the full table for indexed pixels.
    uint32_t colours = 0;
    if (hs == 12) {
        colours = bc <= 8 ? (1u << bc) : 0;
    } else {
        colours = GetLE32(buf + 32);
        if (colours == 0 && bc <= 8) colours = 1u << bc;
        if (colours > 65536) Invalid("palette too large");
    }
    const size_t entrySize = hs == 12 ? 3 : 4;
    if (colours) {
        std::vector<uint8_t> raw;
        ReadGrowing(reader, raw, colours * entrySize);
        h.BytesRead += raw.size();
        if (bc <= 8) {
            const uint32_t kept = std::min<uint32_t>(colours, 1u << bc);
            h.Palette.resize(kept);
            for (uint32_t i = 0; i < kept; ++i) {
                const uint8_t* e = raw.data() + i * entrySize;
                h.Palette[i] = uint32_t(e[0]) | (uint32_t(e[1]) << 8) | (uint32_t(e[2]) << 16);
            }
        }
    }
    return h;
}

TDibImage ReadDibBits(TImageReader& reader, const TDibHeader& h, int32_t rows)
{
    TDibImage raw;
    raw.Width = h.Width;
    raw.Height = rows;
    raw.BitCount = h.BitCount;
    raw.Palette = h.Palette;
    if (h.BitCount <= 8 && raw.Palette.size() < (1u << h.BitCount))
        raw.Palette.resize(1u << h.BitCount, 0);  // indexes past a short palette read as black
    CheckImageSize(raw.Width, raw.Height, Fmt);

    if (h.Compression == BI_RLE8 || h.Compression == BI_RLE4) {
        if (h.SizeImage == 0) Invalid("run-length picture without a data size");
        std::vector<uint8_t> data;
        ReadGrowing(reader, data, h.SizeImage);
        raw.Allocate(raw.Width, raw.Height, raw.BitCount);
        DecodeRle(data, raw, h.Compression == BI_RLE4);
        return raw;
    }

    ReadGrowing(reader, raw.Bits, raw.Stride() * static_cast<size_t>(rows));
    if (h.Height > 0) FlipRows(raw);

    if (h.BitCount == 16) {
        bool is565 = false;
        if (IsStandard16(h.Masks, is565)) {
            raw.Is565 = is565;
            return raw;
        }
        return ConvertMasked(raw, h.Masks);
    }
    if (h.BitCount == 32) {
        const auto& m = h.Masks;
        if (m[0] == 0xFF0000 && m[1] == 0xFF00 && m[2] == 0xFF && (m[3] == 0 || m[3] == 0xFF000000u)) {
            raw.HasAlpha = m[3] != 0;
            return raw;
        }
        return ConvertMasked(raw, h.Masks);
    }
    return raw;
}

TDibImage ReadBmp(TImageReader& reader)
{
    uint8_t file[14];
    ReadExact(reader, file, sizeof file, Fmt);
    if (file[0] != 'B' || file[1] != 'M') throw EInvalidGraphic("Not a BMP picture");
    const uint32_t offBits = GetLE32(file + 10);
    const TDibHeader h = ReadDibHeader(reader);
    uint64_t pos = 14 + h.BytesRead;
    // Some writers leave a gap (or a profile) before the pixels; an offset that
    // points back into the header is ignored and the pixels follow directly.
    if (offBits > pos) {
        SkipExact(reader, offBits - pos, Fmt);
        pos = offBits;
    }
    TDibImage image = ReadDibBits(reader, h, h.Height < 0 ? -h.Height : h.Height);
    pos += (h.Compression == BI_RLE4 || h.Compression == BI_RLE8)
               ? h.SizeImage
               : ImageStride(h.Width, h.BitCount) * static_cast<uint64_t>(image.Height);
    // An embedded colour profile stored after the pixels belongs to this file.
    if (h.ProfileSize) {
        const uint64_t profileEnd = 14 + uint64_t(h.ProfileData) + h.ProfileSize;
        if (profileEnd > pos) SkipExact(reader, profileEnd - pos, Fmt);
    }
    return image;
}

TDibImage DecodeBmp(std::span<const uint8_t> data)
{
    TSpanReader reader(data);
    return ReadBmp(reader);
}

void WriteBmp(const TDibImage& image, std::vector<uint8_t>& out)
{
    const int bc = image.BitCount;
    if (image.Empty() || (bc != 1 && bc != 4 && bc != 8 && bc != 16 && bc != 24 && bc != 32))
        throw EInvalidGraphic("Cannot write an empty picture as BMP");
    const bool masks = bc == 16 && image.Is565;
    const uint32_t colours = bc <= 8 ? (1u << bc) : 0;
    const uint32_t headerBytes = 14 + 40 + (masks ? 12 : 0) + colours * 4;
    const size_t stride = image.Stride();
    const uint64_t dataBytes = uint64_t(stride) * uint64_t(image.Height);
    if (headerBytes + dataBytes > 0xFFFFFFFFu) throw EInvalidGraphic("Picture too large for BMP");

    out.reserve(out.size() + headerBytes + dataBytes);
    out.push_back('B');
    out.push_back('M');
    PutLE32(out, static_cast<uint32_t>(headerBytes + dataBytes));
    PutLE32(out, 0);
    PutLE32(out, headerBytes);
    PutLE32(out, 40);
    PutLE32(out, static_cast<uint32_t>(image.Width));
    PutLE32(out, static_cast<uint32_t>(image.Height));  // bottom-up
    PutLE16(out, 1);
    PutLE16(out, static_cast<uint16_t>(bc));
    PutLE32(out, masks ? BI_BITFIELDS : BI_RGB);
    PutLE32(out, static_cast<uint32_t>(dataBytes));
    PutLE32(out, 3780);  // 96 dots per inch
    PutLE32(out, 3780);
    PutLE32(out, colours);
    PutLE32(out, 0);
    if (masks) {
        PutLE32(out, 0xF800);
        PutLE32(out, 0x07E0);
        PutLE32(out, 0x001F);
    }
    for (uint32_t i = 0; i < colours; ++i)
        PutLE32(out, (i < image.Palette.size() ? image.Palette[i] : 0) & 0xFFFFFF);
    for (int32_t y = image.Height - 1; y >= 0; --y) {
        const uint8_t* row = image.Row(y);
        out.insert(out.end(), row, row + stride);
    }
}
