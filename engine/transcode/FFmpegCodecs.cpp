#include "engine/transcode/FFmpegCodecs.h"

#include <cerrno>
#include <cstdlib>
#include <string>

#include "engine/bindings/AVCodecStubs.h"
#include "engine/bindings/AVUtilStubs.h"
#include "engine/transcode/FFmpeg.h"

const AVCodec* FindCodecByName(TCustomFFmpeg& Self, const char* AName, AVMediaType AType, bool AEncoder)
{
    const char* kind = AEncoder ? "encoder" : "decoder";
    const AVCodec* codec =
        AEncoder ? ff::avcodec_find_encoder_by_name(AName) : ff::avcodec_find_decoder_by_name(AName);
    if (!codec) {
        // A codec's own name ("h264") also names its default decoder or encoder.
        const AVCodecDescriptor* d = ff::avcodec_descriptor_get_by_name(AName);
        if (d)
            codec = AEncoder ? ff::avcodec_find_encoder(d->id) : ff::avcodec_find_decoder(d->id);
    }
    if (!codec)
        Self.FatalFmt("Unknown %s '%s'", kind, AName);
    if (codec->type != AType)
        Self.FatalFmt("Invalid %s type '%s'", kind, AName);
    return codec;
}

uint32_t CodecTagFromText(const char* AText)
{
    if (!AText || !*AText)
        return 0;
    char* end = nullptr;
    errno = 0;
    unsigned long v = std::strtoul(AText, &end, 0);
    if (*end == 0 && end != AText)
        return uint32_t(v);
    // A four-character code; shorter texts are padded with zero bytes.
    uint32_t tag = 0;
    for (int i = 0; i < 4 && AText[i]; ++i)
        tag |= uint32_t(uint8_t(AText[i])) << (8 * i);
    return tag;
}

void AssertNoUnusedOptions(TCustomFFmpeg& Self, const AVDictionary* ADict)
{
    const AVDictionaryEntry* t = ff::av_dict_get(ADict, "", nullptr, AV_DICT_IGNORE_SUFFIX);
    if (!t)
        return;
    std::string msg = std::string("Option ") + t->key + " not found.";
    if (Self.HaltOnInvalidOption)
        Self.Fatal(msg);
    Self.SetLastErrMsg(msg);
}

void CheckExperimentalCodec(TCustomFFmpeg& Self, const AVCodecContext* ACtx, bool AEncoder)
{
    const AVCodec* codec = ACtx->codec;
    if (!codec || !(codec->capabilities & AV_CODEC_CAP_EXPERIMENTAL) ||
        ACtx->strict_std_compliance <= FF_COMPLIANCE_EXPERIMENTAL)
        return;
    const char* kind = AEncoder ? "encoder" : "decoder";
    std::string msg = std::string(kind) + " \"" + codec->name +
                      "\" is experimental and might produce bad results.\r\n"
                      "Add \"-strict experimental\" if you want to use it.";
    const AVCodec* other = AEncoder ? ff::avcodec_find_encoder(codec->id) : ff::avcodec_find_decoder(codec->id);
    if (other && !(other->capabilities & AV_CODEC_CAP_EXPERIMENTAL))
        msg += std::string("\r\nOr use the non experimental ") + kind + " \"" + other->name + "\"";
    Self.Fatal(msg);
}
