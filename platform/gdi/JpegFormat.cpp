#include "platform/gdi/JpegFormat.h"

#include "platform/rtl/Exceptions.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <jpeglib.h>
#include <jerror.h>

// libjpeg's fatal errors must not return; they jump back to the set-up point.
// As with PNG, the functions holding that point keep only trivial locals and
// everything owning memory lives in the caller's state record. A truncated
// file is only a warning to libjpeg (it pads with grey); we treat it as an
// error so that a damaged picture is never shown as if it were whole.

namespace {

struct TJpegError {
    jpeg_error_mgr Mgr;
    jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX + 64];
    bool Truncated;
};

void OnErrorExit(j_common_ptr info)
{
    auto* err = reinterpret_cast<TJpegError*>(info->err);
    char text[JMSG_LENGTH_MAX];
    err->Mgr.format_message(info, text);
    std::snprintf(err->Message, sizeof err->Message, "%s", text);
    std::longjmp(err->Jump, 1);
}

void OnEmitMessage(j_common_ptr info, int level)
{
    auto* err = reinterpret_cast<TJpegError*>(info->err);
    if (level < 0 && err->Mgr.msg_code == JWRN_JPEG_EOF) err->Truncated = true;
}

void InitError(TJpegError& err)
{
    std::memset(&err, 0, sizeof err);
    jpeg_std_error(&err.Mgr);
    err.Mgr.error_exit = OnErrorExit;
    err.Mgr.emit_message = OnEmitMessage;
}

struct TJpegReadState {
    jpeg_decompress_struct Info;
    TJpegError Err;
    bool Created = false;
    TDibImage Image;
    bool Cmyk = false;
    std::vector<uint8_t> CmykRow;
    ~TJpegReadState()
    {
        if (Created) jpeg_destroy_decompress(&Info);
    }
};

bool StartRead(TJpegReadState& s, std::span<const uint8_t> data, const TJpegReadOptions* options)
{
    if (setjmp(s.Err.Jump)) return false;
    s.Info.err = &s.Err.Mgr;
    jpeg_create_decompress(&s.Info);
    s.Created = true;
    jpeg_mem_src(&s.Info, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&s.Info, TRUE);
    if (!options) return true;
    s.Cmyk = s.Info.jpeg_color_space == JCS_CMYK || s.Info.jpeg_color_space == JCS_YCCK;
    s.Info.out_color_space = s.Cmyk ? JCS_CMYK : JCS_EXT_BGR;
    s.Info.scale_num = 1;
    s.Info.scale_denom = static_cast<unsigned>(options->ScaleDenominator);
    if (options->FastDct) {
        s.Info.dct_method = JDCT_IFAST;
        s.Info.do_fancy_upsampling = FALSE;
    }
    jpeg_calc_output_dimensions(&s.Info);
    return true;
}

bool DecodeRows(TJpegReadState& s)
{
    if (setjmp(s.Err.Jump)) return false;
    jpeg_start_decompress(&s.Info);
    const bool inverted = s.Info.saw_Adobe_marker;
    while (s.Info.output_scanline < s.Info.output_height && !s.Err.Truncated) {
        const auto y = static_cast<int32_t>(s.Info.output_scanline);
        JSAMPROW row = s.Cmyk ? s.CmykRow.data() : s.Image.Row(y);
        if (jpeg_read_scanlines(&s.Info, &row, 1) != 1) break;
        if (s.Cmyk) {
            uint8_t* d = s.Image.Row(y);
            const uint8_t* c = s.CmykRow.data();
            for (int32_t x = 0; x < s.Image.Width; ++x, c += 4, d += 3) {
                // Adobe writers store the inks inverted.
                const unsigned k = inverted ? c[3] : 255u - c[3];
                for (int i = 0; i < 3; ++i) {
                    const unsigned ink = inverted ? c[2 - i] : 255u - c[2 - i];
                    d[i] = static_cast<uint8_t>((ink * k + 127) / 255);
                }
            }
        }
    }
    if (s.Err.Truncated || s.Info.output_scanline < s.Info.output_height) return true;
    jpeg_finish_decompress(&s.Info);
    return true;
}

struct TJpegWriteState {
    jpeg_compress_struct Info;
    TJpegError Err;
    bool Created = false;
    unsigned char* Buffer = nullptr;
    unsigned long Size = 0;
    ~TJpegWriteState()
    {
        if (Created) jpeg_destroy_compress(&Info);
        std::free(Buffer);
    }
};

bool WriteCore(TJpegWriteState& s, const TDibImage& img, int quality, bool grayscale)
{
    if (setjmp(s.Err.Jump)) return false;
    s.Info.err = &s.Err.Mgr;
    jpeg_create_compress(&s.Info);
    s.Created = true;
    jpeg_mem_dest(&s.Info, &s.Buffer, &s.Size);
    s.Info.image_width = static_cast<JDIMENSION>(img.Width);
    s.Info.image_height = static_cast<JDIMENSION>(img.Height);
    s.Info.input_components = img.BitCount == 32 ? 4 : 3;
    s.Info.in_color_space = img.BitCount == 32 ? JCS_EXT_BGRX : JCS_EXT_BGR;
    jpeg_set_defaults(&s.Info);
    if (grayscale) jpeg_set_colorspace(&s.Info, JCS_GRAYSCALE);
    jpeg_set_quality(&s.Info, quality, TRUE);
    jpeg_start_compress(&s.Info, TRUE);
    while (s.Info.next_scanline < s.Info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(img.Row(static_cast<int32_t>(s.Info.next_scanline)));
        jpeg_write_scanlines(&s.Info, &row, 1);
    }
    jpeg_finish_compress(&s.Info);
    return true;
}

}  // namespace

TSize JpegSize(std::span<const uint8_t> data)
{
    if (data.size() < 3 || data[0] != 0xFF || data[1] != 0xD8) throw EInvalidGraphic("Not a JPEG picture");
    auto s = std::make_unique<TJpegReadState>();
    InitError(s->Err);
    if (!StartRead(*s, data, nullptr)) throw EInvalidGraphic(std::string("Invalid JPEG picture: ") + s->Err.Message);
    return TSize(static_cast<LONG>(s->Info.image_width), static_cast<LONG>(s->Info.image_height));
}

TDibImage DecodeJpeg(std::span<const uint8_t> data, const TJpegReadOptions& options)
{
    if (data.size() < 3 || data[0] != 0xFF || data[1] != 0xD8) throw EInvalidGraphic("Not a JPEG picture");
    const int denom = options.ScaleDenominator;
    if (denom != 1 && denom != 2 && denom != 4 && denom != 8) throw EInvalidGraphic("Invalid JPEG scale");
    auto s = std::make_unique<TJpegReadState>();
    InitError(s->Err);
    if (!StartRead(*s, data, &options)) throw EInvalidGraphic(std::string("Invalid JPEG picture: ") + s->Err.Message);
    CheckImageSize(s->Info.image_width, s->Info.image_height, "JPEG");
    s->Image.Allocate(static_cast<int32_t>(s->Info.output_width), static_cast<int32_t>(s->Info.output_height), 24);
    if (s->Cmyk) s->CmykRow.resize(static_cast<size_t>(s->Info.output_width) * 4);
    if (!DecodeRows(*s)) throw EInvalidGraphic(std::string("Invalid JPEG picture: ") + s->Err.Message);
    if (s->Err.Truncated || s->Info.output_scanline < s->Info.output_height)
        throw EInvalidGraphic("JPEG picture is truncated");
    return std::move(s->Image);
}

void WriteJpeg(const TDibImage& image, std::vector<uint8_t>& out, int quality, bool grayscale)
{
    if (image.Empty()) throw EInvalidGraphic("Cannot write an empty picture as JPEG");
    if (quality < 1) quality = 1;
    if (quality > 100) quality = 100;
    TDibImage converted;
    const TDibImage* source = &image;
    if (image.BitCount != 24 && image.BitCount != 32) {
        converted = ToBGR24(image);
        source = &converted;
    }
    auto s = std::make_unique<TJpegWriteState>();
    InitError(s->Err);
    if (!WriteCore(*s, *source, quality, grayscale))
        throw EInvalidGraphic(std::string("Cannot write JPEG picture: ") + s->Err.Message);
    out.insert(out.end(), s->Buffer, s->Buffer + s->Size);
}
