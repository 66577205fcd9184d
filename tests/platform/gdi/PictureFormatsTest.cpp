// The picture file codecs: round trips, header variants, concatenated BMP
// streams, icons and cursors, and damaged files of every format.
#include "platform/gdi/BmpFormat.h"
#include "platform/gdi/IconFormat.h"
#include "platform/gdi/JpegFormat.h"
#include "platform/gdi/PngFormat.h"
#include "platform/rtl/Exceptions.h"

#include "support/PictureFixtures.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

using namespace tarnello::test;

namespace {

std::vector<uint8_t> Bmp(const TDibImage& img)
{
    std::vector<uint8_t> out;
    WriteBmp(img, out);
    return out;
}

void ExpectSamePixels(const TDibImage& a, const TDibImage& b)
{
    ASSERT_EQ(a.Width, b.Width);
    ASSERT_EQ(a.Height, b.Height);
    for (int32_t y = 0; y < a.Height; ++y)
        for (int32_t x = 0; x < a.Width; ++x)
            ASSERT_EQ(a.PixelBGRA(x, y), b.PixelBGRA(x, y)) << "at " << x << "," << y;
}

void PutLE32At(std::vector<uint8_t>& d, size_t at, uint32_t v) { std::memcpy(d.data() + at, &v, 4); }

}  // namespace

struct BmpDepth {
    int BitCount;
    bool Is565;
};

TEST(BmpFormat, RoundTripKeepsDepthPaletteAndEveryByte)
{
    const BmpDepth cases[] = {{1, false}, {4, false}, {8, false}, {16, false}, {16, true}, {24, false}, {32, false}};
    for (const auto& c : cases) {
        for (const auto& [w, h] : {std::pair{13, 7}, std::pair{1, 1}, std::pair{32, 3}}) {
            SCOPED_TRACE(testing::Message() << c.BitCount << (c.Is565 ? " 565 " : " ") << w << "x" << h);
            const TDibImage src = PatternImage(w, h, c.BitCount, c.Is565);
            const TDibImage back = DecodeBmp(Bmp(src));
            EXPECT_EQ(back.BitCount, c.BitCount);
            EXPECT_EQ(back.Is565, c.Is565);
            EXPECT_EQ(back.Bits, src.Bits);  // 32-bit alpha bytes survive as they are
            if (c.BitCount <= 8) {
                EXPECT_EQ(back.Palette, src.Palette);
            }
        }
    }
}

TEST(BmpFormat, TopDownRowsReadAsTheSamePicture)
{
    const TDibImage src = PatternImage(5, 4, 24);
    std::vector<uint8_t> file = Bmp(src);
    // Negative height: the same rows stored top row first.
    PutLE32At(file, 22, static_cast<uint32_t>(-4));
    const size_t off = GetLE32(file.data() + 10), stride = src.Stride();
    for (int32_t y = 0; y < 4; ++y) std::memcpy(file.data() + off + y * stride, src.Row(y), stride);
    const TDibImage back = DecodeBmp(file);
    EXPECT_EQ(back.Bits, src.Bits);
}

TEST(BmpFormat, ConcatenatedFilesReadOneAtATime)
{
    const TDibImage first = PatternImage(7, 3, 8), second = PatternImage(4, 9, 32);
    std::vector<uint8_t> stream = Bmp(first);
    const size_t firstSize = stream.size();
    const std::vector<uint8_t> tail = Bmp(second);
    stream.insert(stream.end(), tail.begin(), tail.end());
    stream.push_back(0x42);  // whatever follows stays unread

    TSpanReader reader(stream);
    const TDibImage a = ReadBmp(reader);
    EXPECT_EQ(reader.Position(), firstSize);
    const TDibImage b = ReadBmp(reader);
    EXPECT_EQ(reader.Remaining(), 1u);
    EXPECT_EQ(a.Bits, first.Bits);
    EXPECT_EQ(b.Bits, second.Bits);
}

// Hand-made files for the header generations and codings other writers use.
TEST(BmpFormat, HeaderVariantsAndCodings)
{
    struct Case {
        const char* Name;
        std::function<std::vector<uint8_t>()> Make;
        std::vector<uint32_t> Expected;  // 2x2 picture, top row first, 0xAARRGGBB
        bool Alpha;
    };
    auto file = [](uint32_t headerSize, const std::vector<uint8_t>& headerTail, const std::vector<uint8_t>& extra,
                   const std::vector<uint8_t>& bits) {
        std::vector<uint8_t> f = {'B', 'M'};
        const uint32_t off = 14 + headerSize + static_cast<uint32_t>(extra.size());
        PutLE32(f, off + static_cast<uint32_t>(bits.size()));
        PutLE32(f, 0);
        PutLE32(f, off);
        PutLE32(f, headerSize);
        f.insert(f.end(), headerTail.begin(), headerTail.end());
        f.resize(14 + headerSize, 0);
        f.insert(f.end(), extra.begin(), extra.end());
        f.insert(f.end(), bits.begin(), bits.end());
        return f;
    };
    auto info = [](int32_t w, int32_t h, uint16_t bc, uint32_t comp, uint32_t sizeImage, uint32_t colours) {
        std::vector<uint8_t> t;
        PutLE32(t, static_cast<uint32_t>(w));
        PutLE32(t, static_cast<uint32_t>(h));
        PutLE16(t, 1);
        PutLE16(t, bc);
        PutLE32(t, comp);
        PutLE32(t, sizeImage);
        PutLE32(t, 0);
        PutLE32(t, 0);
        PutLE32(t, colours);
        PutLE32(t, 0);
        return t;
    };
    const std::vector<Case> cases = {
        {"core header, 8 bits, RGB triples",
         [&] {
             std::vector<uint8_t> t = {2, 0, 2, 0, 1, 0, 8, 0};
             std::vector<uint8_t> pal(256 * 3, 0);
             pal[3] = 0x30; pal[4] = 0x20; pal[5] = 0x10;  // entry 1: B G R
             return file(12, t, pal, {1, 0, 0, 0, 0, 1, 0, 0});
         },
         {0xFF000000, 0xFF102030, 0xFF102030, 0xFF000000}, false},
        {"V5 header, 32 bits with an alpha mask",
         [&] {
             std::vector<uint8_t> t = info(2, -2, 32, BI_BITFIELDS, 16, 0);
             for (uint32_t m : {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u}) PutLE32(t, m);
             return file(124, t, {}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
         },
         {0x04030201, 0x08070605, 0x0C0B0A09, 0x100F0E0D}, true},
        {"bit fields 4-4-4 at 16 bits become 32 bits",
         [&] {
             std::vector<uint8_t> t = info(2, 2, 16, BI_BITFIELDS, 8, 0);
             std::vector<uint8_t> masks;
             for (uint32_t m : {0x0F00u, 0x00F0u, 0x000Fu}) PutLE32(masks, m);
             // bottom row: 0x0F00 (red), 0x00F0 (green); top row: 0x000F (blue), 0x0FFF (white)
             return file(40, t, masks, {0x00, 0x0F, 0xF0, 0x00, 0x0F, 0x00, 0xFF, 0x0F});
         },
         {0xFF0000FF, 0xFFFFFFFF, 0xFFFF0000, 0xFF00FF00}, false},
        {"run-length 8 bits",
         [&] {
             std::vector<uint8_t> pal;
             for (uint32_t c : {0x000000u, 0xFF0000u, 0x00FF00u}) PutLE32(pal, c);
             const std::vector<uint8_t> rle = {2, 1, 0, 0, 1, 2, 1, 1, 0, 1};  // bottom: 1 1; top: 2 1
             std::vector<uint8_t> t = info(2, 2, 8, BI_RLE8, static_cast<uint32_t>(rle.size()), 3);
             return file(40, t, pal, rle);
         },
         {0xFF00FF00, 0xFFFF0000, 0xFFFF0000, 0xFFFF0000}, false},
        {"run-length 4 bits",
         [&] {
             std::vector<uint8_t> pal;
             for (uint32_t c : {0x000000u, 0xFF0000u, 0x0000FFu}) PutLE32(pal, c);
             const std::vector<uint8_t> rle = {2, 0x12, 0, 0, 2, 0x20, 0, 1};  // bottom: 1 2; top: 2 0
             std::vector<uint8_t> t = info(2, 2, 4, BI_RLE4, static_cast<uint32_t>(rle.size()), 3);
             return file(40, t, pal, rle);
         },
         {0xFF0000FF, 0xFF000000, 0xFFFF0000, 0xFF0000FF}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const TDibImage img = DecodeBmp(c.Make());
        ASSERT_EQ(img.Width, 2);
        ASSERT_EQ(img.Height, 2);
        EXPECT_EQ(img.HasAlpha, c.Alpha);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(img.PixelBGRA(i % 2, i / 2), c.Expected[i]) << "pixel " << i;
    }
}

TEST(PngFormat, RoundTripKeepsAlphaAndColours)
{
    const struct {
        int BitCount;
        bool Alpha;
        int ExpectedBits;
    } cases[] = {{32, true, 32}, {32, false, 24}, {24, false, 24}, {8, false, 24}, {16, true, 24}, {1, false, 24}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.BitCount << (c.Alpha ? " alpha" : ""));
        TDibImage src = PatternImage(17, 5, c.BitCount, c.Alpha);
        src.HasAlpha = c.Alpha && c.BitCount == 32;
        std::vector<uint8_t> png;
        WritePng(src, png);
        const TDibImage back = DecodePng(png);
        EXPECT_EQ(back.BitCount, c.ExpectedBits);
        EXPECT_EQ(back.HasAlpha, src.HasAlpha);
        ExpectSamePixels(src, back);
    }
}

TEST(PngFormat, ReadsEveryColourTypeAsFfmpegDecodesIt)
{
    TempDir dir;
    // pix_fmt of the written file; whether the result has alpha. "pal8" gets
    // a transparency chunk from the palette filters.
    const std::pair<const char*, bool> cases[] = {
        {"rgb24", false}, {"rgba", true},     {"gray", false},   {"ya8", true},      {"pal8", true},
        {"gray16be", false}, {"rgb48be", false}, {"rgba64be", true}, {"monob", false}, {"ya16be", true},
    };
    for (const auto& [fmt, alpha] : cases) {
        SCOPED_TRACE(fmt);
        const std::string png = dir.file(std::string(fmt) + ".png"), raw = dir.file(std::string(fmt) + ".raw");
        const std::string palette = std::string(fmt) == "pal8"
            ? "-vf \"split[a][b];[a]palettegen=reserve_transparent=1[p];[b][p]paletteuse=alpha_threshold=128\" "
            : "";
        // An alpha ramp across the picture gives every format something to keep.
        RunFFmpeg("-f lavfi -i \"testsrc=size=23x11:rate=1:d=1,format=rgba,geq=r='r(X,Y)':g='g(X,Y)':b='b(X,Y)':a='X*11'\" "
                  "-frames:v 1 " + palette + "-pix_fmt " + std::string(fmt) + " " + png);
        RunFFmpeg("-i " + png + " -f rawvideo -pix_fmt bgra " + raw);
        const TDibImage img = DecodePng(ReadBinaryFile(png));
        const std::vector<uint8_t> ref = ReadBinaryFile(raw);
        ASSERT_EQ(ref.size(), 23u * 11u * 4u);
        EXPECT_EQ(img.HasAlpha, alpha);
        for (int32_t y = 0; y < 11; ++y)
            for (int32_t x = 0; x < 23; ++x) {
                const uint32_t got = img.PixelBGRA(x, y);
                const uint8_t* want = ref.data() + (y * 23 + x) * 4;
                for (int ch = 0; ch < 4; ++ch)
                    ASSERT_NEAR(int((got >> (8 * ch)) & 0xFF), int(want[ch]), 1) << x << "," << y << " ch " << ch;
            }
    }
}

namespace {

// Smooth colour ramps: what a photograph looks like to a JPEG coder.
TDibImage SmoothImage(int32_t width, int32_t height)
{
    TDibImage img;
    img.Allocate(width, height, 24);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            uint8_t* p = img.Row(y) + x * 3;
            p[0] = static_cast<uint8_t>(x * 255 / width);
            p[1] = static_cast<uint8_t>(y * 255 / height);
            p[2] = static_cast<uint8_t>(128 + (x - y) / 2);
        }
    return img;
}

TDibImage RawBgr24(const std::vector<uint8_t>& raw, int32_t width, int32_t height)
{
    TDibImage img;
    img.Allocate(width, height, 24);
    for (int32_t y = 0; y < height; ++y) std::memcpy(img.Row(y), raw.data() + y * width * 3, width * 3);
    return img;
}

}  // namespace

TEST(JpegFormat, RoundTripStaysWithinQualityBounds)
{
    const TDibImage src = SmoothImage(64, 48);
    const struct {
        int Quality;
        int SourceBits;
        double MinPsnr;
    } cases[] = {{95, 24, 40}, {90, 32, 38}, {50, 24, 32}, {10, 24, 25}, {75, 8, 11}};
    size_t previousSize = SIZE_MAX;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "quality " << c.Quality << " from " << c.SourceBits << " bits");
        const TDibImage input = c.SourceBits == 24 ? src : c.SourceBits == 32 ? ToBGRA32(src) : PatternImage(64, 48, 8);
        std::vector<uint8_t> jpeg;
        WriteJpeg(input, jpeg, c.Quality);
        const TDibImage back = DecodeJpeg(jpeg);
        EXPECT_EQ(back.BitCount, 24);
        EXPECT_GE(Psnr(input, back), c.MinPsnr);
        if (c.SourceBits != 8) {
            EXPECT_LT(jpeg.size(), previousSize);  // lower quality, smaller file
            previousSize = jpeg.size();
        }
    }
    std::vector<uint8_t> grey;
    WriteJpeg(src, grey, 90, true);
    const TDibImage g = DecodeJpeg(grey);
    for (int32_t x = 0; x < 64; x += 9) {
        const uint32_t p = g.PixelBGRA(x, 20);
        EXPECT_EQ(p & 0xFF, (p >> 8) & 0xFF);
        EXPECT_EQ(p & 0xFF, (p >> 16) & 0xFF);
    }
}

TEST(JpegFormat, ReadsPicturesFromFfmpegAtEveryScale)
{
    TempDir dir;
    // Full chroma so that two decoders agree closely; then 4:2:0 for the scales.
    RunFFmpeg("-f lavfi -i testsrc=size=80x40:rate=1 -frames:v 1 -pix_fmt yuvj444p " + dir.file("c.jpg"));
    RunFFmpeg("-f lavfi -i testsrc=size=80x40:rate=1 -frames:v 1 -pix_fmt yuvj420p " + dir.file("s.jpg"));
    RunFFmpeg("-i " + dir.file("c.jpg") + " -f rawvideo -pix_fmt bgr24 " + dir.file("c.raw"));
    const auto jpeg = ReadBinaryFile(dir.file("c.jpg"));
    EXPECT_EQ(JpegSize(jpeg), TSize(80, 40));
    EXPECT_GE(Psnr(DecodeJpeg(jpeg), RawBgr24(ReadBinaryFile(dir.file("c.raw")), 80, 40)), 45.0);

    const auto subsampled = ReadBinaryFile(dir.file("s.jpg"));
    const TDibImage full = DecodeJpeg(subsampled);
    for (int denom : {2, 4, 8}) {
        const TDibImage scaled = DecodeJpeg(subsampled, {denom, denom == 8});
        EXPECT_EQ(scaled.Width, 80 / denom);
        EXPECT_EQ(scaled.Height, 40 / denom);
    }
    EXPECT_THROW(DecodeJpeg(subsampled, {3, false}), EInvalidGraphic);
}

TEST(IconFormat, EntriesBySizeMasksAndHotSpots)
{
    // 16x16 at 8 bits with a mask clearing the left half, 32x32 with its own
    // alpha, 48x48 at 24 bits with no mask, and a 64x64 PNG entry.
    TIconImage small{PatternImage(16, 16, 8), {}, TPoint(3, 4)};
    small.Mask.assign(ImageStride(16, 1) * 16, 0);
    for (int32_t y = 0; y < 16; ++y) small.Mask[y * ImageStride(16, 1)] = 0xFF;
    TIconImage alpha{PatternImage(32, 32, 32), {}, TPoint(31, 0)};
    TIconImage opaque{PatternImage(48, 48, 24), {}, TPoint(0, 0)};

    for (bool cursor : {false, true}) {
        SCOPED_TRACE(cursor ? "cursor" : "icon");
        std::vector<uint8_t> file;
        WriteIcon({small, alpha, opaque}, file, cursor);
        // Append a PNG entry by hand: one more directory row, data at the end.
        TDibImage pngImg = PatternImage(64, 64, 32);
        std::vector<uint8_t> png;
        WritePng(pngImg, png);
        std::vector<uint8_t> withPng(file.begin(), file.begin() + 6);
        withPng[4] = 4;
        withPng.insert(withPng.end(), file.begin() + 6, file.begin() + 6 + 48);
        for (int i = 0; i < 3; ++i) PutLE32At(withPng, 6 + i * 16 + 12, GetLE32(withPng.data() + 6 + i * 16 + 12) + 16);
        const std::vector<uint8_t> row = {64, 64, 0, 0, 1, 0, 32, 0};
        withPng.insert(withPng.end(), row.begin(), row.end());
        PutLE32(withPng, static_cast<uint32_t>(png.size()));
        PutLE32(withPng, static_cast<uint32_t>(file.size() + 16));
        withPng.insert(withPng.end(), file.begin() + 54, file.end());
        withPng.insert(withPng.end(), png.begin(), png.end());

        const TIconDirectory dir = ReadIconDirectory(withPng);
        EXPECT_EQ(IconFileExtent(withPng), withPng.size());
        ASSERT_EQ(dir.Entries.size(), 4u);
        EXPECT_EQ(dir.IsCursor, cursor);
        if (cursor) {
            EXPECT_EQ(dir.Entries[0].HotSpot, TPoint(3, 4));
            EXPECT_EQ(dir.Entries[1].HotSpot, TPoint(31, 0));
        }
        const struct {
            int32_t Want;
            size_t Entry;
        } picks[] = {{16, 0}, {32, 1}, {48, 2}, {64, 3}, {20, 1}, {100, 3}, {8, 0}};
        for (const auto& p : picks) EXPECT_EQ(BestIconEntry(dir, p.Want, p.Want), p.Entry) << p.Want;

        const TDibImage s = DecodeIconEntry(withPng, dir.Entries[0]);
        EXPECT_EQ(s.PixelBGRA(3, 5), 0u);  // masked: transparent
        EXPECT_EQ(s.PixelBGRA(12, 5), small.Image.PixelBGRA(12, 5));
        const TDibImage a = DecodeIconEntry(withPng, dir.Entries[1]);
        for (int32_t i = 0; i < 32; ++i) {
            const uint32_t want = alpha.Image.PixelBGRA(i, (i * 7) % 32);
            EXPECT_EQ(a.PixelBGRA(i, (i * 7) % 32), (want >> 24) ? want : 0u);
        }
        const TDibImage o = DecodeIconEntry(withPng, dir.Entries[2]);
        ExpectSamePixels(o, opaque.Image);
        const TDibImage p = DecodeIconEntry(withPng, dir.Entries[3]);
        ExpectSamePixels(p, pngImg);
    }
}

// Every prefix of a valid file, and files with bytes overwritten, must either
// decode or raise EInvalidGraphic; the sanitizers catch any stray access.
TEST(PictureFormats, TruncatedAndCorruptFilesRaiseInvalidGraphic)
{
    std::vector<uint8_t> bmp8 = Bmp(PatternImage(9, 5, 8)), bmp32 = Bmp(PatternImage(6, 4, 32));
    std::vector<uint8_t> png, jpeg, ico;
    TDibImage alphaImg = PatternImage(12, 9, 32);
    WritePng(alphaImg, png);
    WriteJpeg(PatternImage(24, 16, 24), jpeg, 80);
    WriteIcon({{PatternImage(8, 8, 4), {}, {}}, {alphaImg, {}, {}}}, ico);

    const struct {
        const char* Name;
        const std::vector<uint8_t>* Data;
        std::function<void(std::span<const uint8_t>)> Decode;
    } formats[] = {
        {"bmp8", &bmp8, [](auto d) { DecodeBmp(d); }},
        {"bmp32", &bmp32, [](auto d) { DecodeBmp(d); }},
        {"png", &png, [](auto d) { DecodePng(d); }},
        {"jpeg", &jpeg, [](auto d) { DecodeJpeg(d); }},
        {"ico", &ico, [](auto d) {
             const TIconDirectory dir = ReadIconDirectory(d);
             for (const auto& e : dir.Entries) DecodeIconEntry(d, e);
         }},
    };
    for (const auto& f : formats) {
        SCOPED_TRACE(f.Name);
        const std::vector<uint8_t>& data = *f.Data;
        ASSERT_NO_THROW(f.Decode(data));
        for (size_t len = 0; len < data.size(); ++len) {
            const std::span<const uint8_t> prefix(data.data(), len);
            // A JPEG cut inside its last bytes may still hold every row.
            if (std::string(f.Name) == "jpeg" && len + 2 >= data.size()) continue;
            EXPECT_THROW(f.Decode(prefix), EInvalidGraphic) << "length " << len;
        }
        uint32_t seed = 12345;
        for (int round = 0; round < 300; ++round) {
            std::vector<uint8_t> bad = data;
            for (int k = 0; k < 3; ++k) {
                seed = seed * 1103515245u + 12345u;
                const size_t at = (seed >> 8) % std::min<size_t>(bad.size(), 200);
                bad[at] = static_cast<uint8_t>(seed >> 24);
            }
            try {
                f.Decode(bad);
            } catch (const EInvalidGraphic&) {
            }
        }
    }
    // Headers that promise what no file could hold.
    std::vector<uint8_t> huge = bmp8;
    PutLE32At(huge, 18, 60000);
    PutLE32At(huge, 22, 60000);
    EXPECT_THROW(DecodeBmp(huge), EInvalidGraphic);
    std::vector<uint8_t> badDepth = bmp8;
    badDepth[28] = 7;
    EXPECT_THROW(DecodeBmp(badDepth), EInvalidGraphic);
    EXPECT_THROW(DecodeBmp(png), EInvalidGraphic);
    EXPECT_THROW(DecodePng(bmp8), EInvalidGraphic);
    EXPECT_THROW(DecodeJpeg(png), EInvalidGraphic);
}
