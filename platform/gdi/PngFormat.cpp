#include "platform/gdi/PngFormat.h"

#include "platform/rtl/Exceptions.h"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <exception>

// libpng reports errors through a callback that must not return; it jumps back
// to the set-up point with longjmp. The functions holding that point keep only
// trivial locals, and everything that owns memory lives in a state record of
// the caller, so no destructor is ever skipped. Exceptions never cross libpng:
// the I/O callbacks catch them, park them in the record and raise a libpng
// error instead.

namespace {

struct TPngState {
    TImageReader* Reader = nullptr;
    std::vector<uint8_t>* Out = nullptr;
    std::exception_ptr Pending;
    char Error[256] = {};
    TDibImage Image;
    std::vector<png_bytep> Rows;
    const TDibImage* Source = nullptr;
    TPngInfo Info;
};

// A tRNS sample of the file's depth scaled to 8 bits.
uint32_t Scale8(unsigned v, int depth)
{
    if (depth == 16) return (v * 255u + 32895u) >> 16;
    if (depth == 8) return v & 0xFF;
    const unsigned max = (1u << depth) - 1;
    return ((v & max) * 255u) / max;
}

void NoteTransparency(png_structp png, png_infop info, TPngState& s)
{
    png_bytep alpha = nullptr;
    int count = 0;
    png_color_16p colour = nullptr;
    if (!png_get_valid(png, info, PNG_INFO_tRNS) || !png_get_tRNS(png, info, &alpha, &count, &colour)) return;
    TPngInfo& t = s.Info;
    if (t.ColorType == PNG_COLOR_TYPE_PALETTE) {
        png_colorp palette = nullptr;
        int entries = 0;
        if (!alpha || !png_get_PLTE(png, info, &palette, &entries)) return;
        int clear = -1;
        for (int i = 0; i < count && i < entries; ++i) {
            if (alpha[i] == 255) continue;
            if (alpha[i] != 0 || clear >= 0) return;  // partial alpha: not a single colour
            clear = i;
        }
        if (clear < 0) return;
        t.HasTransparentColor = true;
        t.TransparentColor = (uint32_t(palette[clear].red) << 16) | (uint32_t(palette[clear].green) << 8) |
                             palette[clear].blue;
    } else if (colour && (t.ColorType == PNG_COLOR_TYPE_GRAY || t.ColorType == PNG_COLOR_TYPE_RGB)) {
        t.HasTransparentColor = true;
        if (t.ColorType == PNG_COLOR_TYPE_GRAY) {
            const uint32_t g = Scale8(colour->gray, t.BitDepth);
            t.TransparentColor = (g << 16) | (g << 8) | g;
        } else {
            t.TransparentColor = (Scale8(colour->red, t.BitDepth) << 16) | (Scale8(colour->green, t.BitDepth) << 8) |
                                 Scale8(colour->blue, t.BitDepth);
        }
    }
}

void OnError(png_structp png, png_const_charp message)
{
    auto* s = static_cast<TPngState*>(png_get_error_ptr(png));
    std::snprintf(s->Error, sizeof s->Error, "%s", message ? message : "unknown error");
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void OnRead(png_structp png, png_bytep data, size_t length)
{
    auto* s = static_cast<TPngState*>(png_get_io_ptr(png));
    size_t got = 0;
    bool failed = false;
    try {
        while (got < length) {
            const size_t n = s->Reader->Read(data + got, length - got);
            if (n == 0) break;
            got += n;
        }
    } catch (...) {
        s->Pending = std::current_exception();
        failed = true;
    }
    if (failed) png_error(png, "read failed");
    if (got < length) png_error(png, "picture is truncated");
}

void OnWrite(png_structp png, png_bytep data, size_t length)
{
    auto* s = static_cast<TPngState*>(png_get_io_ptr(png));
    bool failed = false;
    try {
        s->Out->insert(s->Out->end(), data, data + length);
    } catch (...) {
        s->Pending = std::current_exception();
        failed = true;
    }
    if (failed) png_error(png, "write failed");
}

void OnFlush(png_structp) {}

// Returns false after a libpng error; C++ exceptions from our own code (size
// checks, allocation) leave normally, as no C frame lies between.
bool ReadCore(png_structp png, png_infop info, TPngState& s)
{
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_user_limits(png, MaxImageSide, MaxImageSide);
    png_read_info(png, info);
    png_uint_32 width = 0, height = 0;
    int depth = 0, colourType = 0, interlace = 0;
    png_get_IHDR(png, info, &width, &height, &depth, &colourType, &interlace, nullptr, nullptr);
    CheckImageSize(width, height, "PNG");
    s.Info.ColorType = colourType;
    s.Info.BitDepth = depth;
    NoteTransparency(png, info, s);
    png_set_expand(png);
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    png_set_bgr(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const int channels = png_get_channels(png, info);
    if (channels != 3 && channels != 4) png_error(png, "unexpected channel count");
    s.Image.Allocate(static_cast<int32_t>(width), static_cast<int32_t>(height), channels * 8);
    s.Image.HasAlpha = channels == 4;
    if (png_get_rowbytes(png, info) > s.Image.Stride()) png_error(png, "unexpected row size");
    s.Rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y) s.Rows[y] = s.Image.Row(static_cast<int32_t>(y));
    png_read_image(png, s.Rows.data());
    png_read_end(png, nullptr);
    return true;
}

bool WriteCore(png_structp png, png_infop info, TPngState& s, int level)
{
    if (setjmp(png_jmpbuf(png))) return false;
    const TDibImage& img = *s.Source;
    png_set_compression_level(png, level);
    png_set_IHDR(png, info, static_cast<png_uint_32>(img.Width), static_cast<png_uint_32>(img.Height), 8,
                 img.BitCount == 32 ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_bgr(png);
    s.Rows.resize(static_cast<size_t>(img.Height));
    for (int32_t y = 0; y < img.Height; ++y) s.Rows[y] = const_cast<png_bytep>(img.Row(y));
    png_write_image(png, s.Rows.data());
    png_write_end(png, nullptr);
    return true;
}

[[noreturn]] void Fail(TPngState& s)
{
    if (s.Pending) std::rethrow_exception(s.Pending);
    throw EInvalidGraphic(std::string("Invalid PNG picture: ") + s.Error);
}

}  // namespace

TDibImage ReadPng(TImageReader& reader, TPngInfo* pngInfo)
{
    uint8_t signature[8];
    ReadExact(reader, signature, sizeof signature, "PNG");
    if (png_sig_cmp(signature, 0, sizeof signature) != 0) throw EInvalidGraphic("Not a PNG picture");

    TPngState s;
    s.Reader = &reader;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &s, OnError, OnWarning);
    if (!png) throw EOutOfResources("Cannot start the PNG reader");
    png_infop info = png_create_info_struct(png);
    struct TGuard {
        png_structp& Png;
        png_infop& Info;
        ~TGuard() { png_destroy_read_struct(&Png, &Info, nullptr); }
    } guard{png, info};
    if (!info) throw EOutOfResources("Cannot start the PNG reader");
    png_set_read_fn(png, &s, OnRead);
    png_set_sig_bytes(png, sizeof signature);
    if (!ReadCore(png, info, s)) Fail(s);
    if (pngInfo) *pngInfo = s.Info;
    return std::move(s.Image);
}

TDibImage DecodePng(std::span<const uint8_t> data, TPngInfo* info)
{
    TSpanReader reader(data);
    return ReadPng(reader, info);
}

void WritePng(const TDibImage& image, std::vector<uint8_t>& out, int compressionLevel)
{
    if (image.Empty()) throw EInvalidGraphic("Cannot write an empty picture as PNG");
    TDibImage converted;
    const TDibImage* source = &image;
    if (!(image.BitCount == 24 || (image.BitCount == 32 && image.HasAlpha))) {
        converted = ToBGR24(image);
        source = &converted;
    }
    TPngState s;
    s.Out = &out;
    s.Source = source;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &s, OnError, OnWarning);
    if (!png) throw EOutOfResources("Cannot start the PNG writer");
    png_infop info = png_create_info_struct(png);
    struct TGuard {
        png_structp& Png;
        png_infop& Info;
        ~TGuard() { png_destroy_write_struct(&Png, &Info); }
    } guard{png, info};
    if (!info) throw EOutOfResources("Cannot start the PNG writer");
    png_set_write_fn(png, &s, OnWrite, OnFlush);
    if (!WriteCore(png, info, s, compressionLevel)) {
        if (s.Pending) std::rethrow_exception(s.Pending);
        throw EInvalidGraphic(std::string("Cannot write PNG picture: ") + s.Error);
    }
}
