#include "skin/core/SkinDataPicture.h"

#include "platform/classes/Streams.h"

#include <limits>

namespace {

constexpr std::size_t kFileHeader = 14;
constexpr std::size_t kMinInfoHeader = 12;  // the oldest header still describes an image
constexpr std::uint64_t kMaxPixels = std::uint64_t(1) << 27;

std::uint32_t LE32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}
std::uint16_t LE16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

[[noreturn]] void Bad(const std::string& why) { throw EInvalidGraphic("Bitmap image is not valid: " + why); }

struct BmpInfo {
    std::uint32_t Size;
    std::int32_t Width;
    std::int32_t Height;
};

BmpInfo ParseHeader(const std::uint8_t* h, std::size_t available, std::uint64_t maxBytes)
{
    if (available < kFileHeader + kMinInfoHeader)
        Bad("too short");
    if (h[0] != 'B' || h[1] != 'M')
        Bad("no BM signature");
    const std::uint32_t fileSize = LE32(h + 2);
    const std::uint32_t bitsOffset = LE32(h + 10);
    const std::uint32_t infoSize = LE32(h + 14);
    std::int64_t width = 0, height = 0;
    unsigned bitCount = 0, compression = 0;
    if (infoSize == 12) {
        width = LE16(h + 18);
        height = LE16(h + 20);
        bitCount = LE16(h + 24);
    } else if (infoSize >= 40 && available >= kFileHeader + 40) {
        width = static_cast<std::int32_t>(LE32(h + 18));
        height = static_cast<std::int32_t>(LE32(h + 22));
        bitCount = LE16(h + 28);
        compression = LE32(h + 30);
    } else {
        Bad("unknown header size");
    }
    if (width <= 0 || height == 0 || (height < 0 ? -height : height) > std::numeric_limits<std::int32_t>::max())
        Bad("bad size");
    const std::uint64_t rows = static_cast<std::uint64_t>(height < 0 ? -height : height);
    if (static_cast<std::uint64_t>(width) * rows > kMaxPixels)
        Bad("too large");
    switch (bitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: Bad("bad bit count");
    }
    if (bitsOffset < kFileHeader + infoSize)
        Bad("bad pixel offset");
    // Uncompressed pixels end at offset + rows * padded stride; compressed
    // ones need the file size the header gives.
    const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bitCount + 31) / 32 * 4;
    std::uint64_t size = compression == 0 || compression == 3 ? bitsOffset + stride * rows : fileSize;
    if (compression != 0 && compression != 3 && (fileSize < bitsOffset))
        Bad("bad file size");
    if (size > maxBytes || size > std::numeric_limits<std::uint32_t>::max())
        Bad("truncated");
    return {static_cast<std::uint32_t>(size), static_cast<std::int32_t>(width),
            static_cast<std::int32_t>(height < 0 ? -height : height)};
}

}  // namespace

std::uint32_t BmpImageSize(const std::uint8_t* Header, std::size_t Available, std::uint64_t MaxBytes)
{
    return ParseHeader(Header, Available, MaxBytes).Size;
}

void TspSkinPicture::Clear()
{
    FData.clear();
    FWidth = FHeight = 0;
}

void TspSkinPicture::LoadFromBytes(std::vector<std::uint8_t> Bytes)
{
    Clear();
    const BmpInfo info = ParseHeader(Bytes.data(), Bytes.size(), Bytes.size());
    Bytes.resize(info.Size);
    FData = std::move(Bytes);
    FWidth = info.Width;
    FHeight = info.Height;
}

void TspSkinPicture::LoadFromFile(const std::string& FileName)
{
    Clear();
    TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
    const std::int64_t size = file.Size();
    if (size > std::int64_t(1) << 31)
        Bad("too large");
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    file.ReadBuffer(bytes.data(), size);
    LoadFromBytes(std::move(bytes));
}

void TspSkinPicture::LoadFromStream(TStream* Stream)
{
    Clear();
    const std::int64_t start = Stream->Position();
    const std::int64_t left = Stream->Size() - start;
    std::uint8_t head[kFileHeader + 40] = {};
    const std::int64_t got = Stream->Read(head, std::min<std::int64_t>(left, sizeof head));
    const BmpInfo info = ParseHeader(head, static_cast<std::size_t>(std::max<std::int64_t>(got, 0)),
                                     static_cast<std::uint64_t>(std::max<std::int64_t>(left, 0)));
    std::vector<std::uint8_t> bytes(info.Size);
    Stream->SetPosition(start);
    Stream->ReadBuffer(bytes.data(), info.Size);
    FData = std::move(bytes);
    FWidth = info.Width;
    FHeight = info.Height;
}

void TspSkinPicture::SaveToStream(TStream* Stream) const
{
    if (!FData.empty())
        Stream->WriteBuffer(FData.data(), static_cast<std::int64_t>(FData.size()));
}

void TspSkinPicture::SaveToFile(const std::string& FileName) const
{
    TFileStream file(FileName, fmCreate);
    SaveToStream(&file);
}
