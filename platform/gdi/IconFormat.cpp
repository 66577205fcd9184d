#include "platform/gdi/IconFormat.h"

#include "platform/gdi/BmpFormat.h"
#include "platform/gdi/PngFormat.h"
#include "platform/rtl/Exceptions.h"

#include <algorithm>
#include <cstring>

namespace {

[[noreturn]] void Invalid(const std::string& what) { throw EInvalidGraphic("Invalid icon: " + what); }

bool MaskBit(const std::vector<uint8_t>& mask, size_t stride, int32_t x, int32_t y)
{
    return (mask[static_cast<size_t>(y) * stride + static_cast<size_t>(x) / 8] >> (7 - x % 8)) & 1;
}

}  // namespace

TIconDirectory ReadIconDirectory(std::span<const uint8_t> data)
{
    if (data.size() < 6 || GetLE16(data.data()) != 0) throw EInvalidGraphic("Not an icon or cursor file");
    const uint16_t type = GetLE16(data.data() + 2);
    if (type != 1 && type != 2) throw EInvalidGraphic("Not an icon or cursor file");
    const uint16_t count = GetLE16(data.data() + 4);
    if (count == 0) Invalid("no pictures");
    if (data.size() < 6 + size_t(count) * 16) Invalid("directory is truncated");
    TIconDirectory dir;
    dir.IsCursor = type == 2;
    for (uint16_t i = 0; i < count; ++i) {
        const uint8_t* e = data.data() + 6 + size_t(i) * 16;
        TIconEntry entry;
        entry.Width = e[0] ? e[0] : 256;
        entry.Height = e[1] ? e[1] : 256;
        if (dir.IsCursor) {
            entry.HotSpot = TPoint(GetLE16(e + 4), GetLE16(e + 6));
        } else {
            entry.BitCount = GetLE16(e + 6);
        }
        entry.Size = GetLE32(e + 8);
        entry.Offset = GetLE32(e + 12);
        if (entry.Size < 12 || entry.Offset < 6 + uint32_t(count) * 16 ||
            uint64_t(entry.Offset) + entry.Size > data.size())
            Invalid("picture " + std::to_string(i) + " lies outside the file");
        dir.Entries.push_back(entry);
    }
    return dir;
}

size_t IconFileExtent(std::span<const uint8_t> data)
{
    const TIconDirectory dir = ReadIconDirectory(data);
    size_t end = 6 + dir.Entries.size() * 16;
    for (const auto& e : dir.Entries) end = std::max<size_t>(end, size_t(e.Offset) + e.Size);
    return end;
}

TDibImage DecodeIconEntry(std::span<const uint8_t> data, const TIconEntry& entry)
{
    if (uint64_t(entry.Offset) + entry.Size > data.size()) Invalid("picture lies outside the file");
    const auto bytes = data.subspan(entry.Offset, entry.Size);
    if (DetectImageFormat(bytes) == TImageFormat::Png) {
        TDibImage png = DecodePng(bytes);
        TDibImage out = ToBGRA32(png);
        out.HasAlpha = true;
        return out;
    }
    TSpanReader reader(bytes);
    const TDibHeader header = ReadDibHeader(reader);
    // The stored height counts the colour rows and the mask rows.
    if (header.Height < 2) Invalid("bad picture height");
    const int32_t height = header.Height / 2;
    const TDibImage colour = ReadDibBits(reader, header, height);
    const size_t maskStride = ImageStride(header.Width, 1);
    std::vector<uint8_t> mask(maskStride * static_cast<size_t>(height));
    ReadExact(reader, mask.data(), mask.size(), "Icon");

    TDibImage out = ToBGRA32(colour);
    out.HasAlpha = true;
    bool ownAlpha = false;
    if (colour.BitCount == 32) {
        for (int32_t y = 0; y < out.Height && !ownAlpha; ++y) {
            const uint8_t* p = colour.Row(y);
            for (int32_t x = 0; x < out.Width; ++x)
                if (p[x * 4 + 3]) { ownAlpha = true; break; }
        }
    }
    for (int32_t y = 0; y < out.Height; ++y) {
        uint8_t* p = out.Row(y);
        const int32_t maskRow = height - 1 - y;  // the mask runs bottom-up
        for (int32_t x = 0; x < out.Width; ++x, p += 4) {
            if (ownAlpha) {
                p[3] = colour.Row(y)[x * 4 + 3];
            } else {
                p[3] = MaskBit(mask, maskStride, x, maskRow) ? 0 : 255;
            }
            if (p[3] == 0) p[0] = p[1] = p[2] = 0;
        }
    }
    return out;
}

size_t BestIconEntry(const TIconDirectory& dir, int32_t width, int32_t height)
{
    if (dir.Entries.empty()) Invalid("no pictures");
    size_t best = dir.Entries.size();
    for (size_t i = 0; i < dir.Entries.size(); ++i) {
        const auto& e = dir.Entries[i];
        if (e.Width == width && e.Height == height &&
            (best == dir.Entries.size() || e.BitCount > dir.Entries[best].BitCount))
            best = i;
    }
    if (best < dir.Entries.size()) return best;
    auto area = [&](size_t i) { return int64_t(dir.Entries[i].Width) * dir.Entries[i].Height; };
    for (size_t i = 0; i < dir.Entries.size(); ++i) {
        const auto& e = dir.Entries[i];
        if (e.Width >= width && e.Height >= height && (best == dir.Entries.size() || area(i) < area(best)))
            best = i;
    }
    if (best < dir.Entries.size()) return best;
    best = 0;
    for (size_t i = 1; i < dir.Entries.size(); ++i)
        if (area(i) > area(best)) best = i;
    return best;
}

void WriteIcon(const std::vector<TIconImage>& images, std::vector<uint8_t>& out, bool cursor)
{
    if (images.empty() || images.size() > 0xFFFF) throw EInvalidGraphic("Cannot write an icon without pictures");
    std::vector<std::vector<uint8_t>> entries;
    for (const auto& item : images) {
        const TDibImage& img = item.Image;
        if (img.Empty() || img.Width > 256 || img.Height > 256) throw EInvalidGraphic("Icon pictures are 1 to 256 pixels wide and high");
        const size_t maskStride = ImageStride(img.Width, 1);
        std::vector<uint8_t> mask = item.Mask;
        if (mask.empty()) {
            mask.assign(maskStride * static_cast<size_t>(img.Height), 0);
            if (img.BitCount == 32 && img.HasAlpha)
                for (int32_t y = 0; y < img.Height; ++y)
                    for (int32_t x = 0; x < img.Width; ++x)
                        if (img.Row(y)[x * 4 + 3] == 0) mask[y * maskStride + x / 8] |= uint8_t(0x80 >> (x % 8));
        } else if (mask.size() != maskStride * static_cast<size_t>(img.Height)) {
            throw EInvalidGraphic("Icon mask does not match its picture");
        }
        // A BMP file without its 14-byte file header is the DIB an entry holds;
        // its height is doubled to count the mask rows.
        std::vector<uint8_t> dib;
        WriteBmp(img, dib);
        dib.erase(dib.begin(), dib.begin() + 14);
        const uint32_t doubled = static_cast<uint32_t>(img.Height) * 2;
        std::memcpy(dib.data() + 8, &doubled, 4);
        const uint32_t sizeImage = GetLE32(dib.data() + 20) + static_cast<uint32_t>(mask.size());
        std::memcpy(dib.data() + 20, &sizeImage, 4);
        for (int32_t y = img.Height - 1; y >= 0; --y)
            dib.insert(dib.end(), mask.begin() + y * maskStride, mask.begin() + (y + 1) * maskStride);
        entries.push_back(std::move(dib));
    }
    PutLE16(out, 0);
    PutLE16(out, cursor ? 2 : 1);
    PutLE16(out, static_cast<uint16_t>(images.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        const TDibImage& img = images[i].Image;
        out.push_back(static_cast<uint8_t>(img.Width == 256 ? 0 : img.Width));
        out.push_back(static_cast<uint8_t>(img.Height == 256 ? 0 : img.Height));
        out.push_back(static_cast<uint8_t>(img.BitCount <= 4 ? (1 << img.BitCount) : 0));
        out.push_back(0);
        PutLE16(out, static_cast<uint16_t>(cursor ? images[i].HotSpot.x : 1));
        PutLE16(out, static_cast<uint16_t>(cursor ? images[i].HotSpot.y : img.BitCount));
        PutLE32(out, static_cast<uint32_t>(entries[i].size()));
        PutLE32(out, offset);
        offset += static_cast<uint32_t>(entries[i].size());
    }
    for (const auto& e : entries) out.insert(out.end(), e.begin(), e.end());
}
