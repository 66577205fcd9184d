#include "engine/transcode/FFmpegOutputStreams.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/bindings/AVCodecStubs.h"
#include "engine/bindings/AVFormatStubs.h"
#include "engine/bindings/AVUtilStubs.h"
#include "engine/transcode/FFmpegCodecs.h"
#include "engine/transcode/FFmpegStreamOptions.h"
#include "engine/common/FFTexts.h"
#include "engine/common/StreamSelectors.h"
#include "engine/bindings/MyUtilStubs.h"
#include "engine/transcode/FFmpeg.h"

namespace {

void ChooseEncoder(TCustomFFmpeg& Self, TOptionsContext& Ctx, AVFormatContext* S, TOutputStream& Ost)
{
    const char* name = nullptr;
    MATCH_PER_STREAM_OPT(Self, Ctx, codec_names, S, Ost.st, name);
    const AVMediaType type = Ost.st->codecpar->codec_type;
    if (!name) {
        AVCodecID id = ff::av_guess_codec(S->oformat, nullptr, S->url, nullptr, type);
        Ost.st->codecpar->codec_id = id;
        Ost.enc = ff::avcodec_find_encoder(id);
    } else if (std::strcmp(name, "copy") == 0) {
        Ost.stream_copy = 1;
    } else {
        Ost.enc = FindCodecByName(Self, name, type, true);
        Ost.st->codecpar->codec_id = Ost.enc->id;
    }
}

// The bitstream filters of a -bsf text, in its order.
void AddBitstreamFilters(TCustomFFmpeg& Self, TOutputStream& Ost, const char* AText)
{
    std::string text = AText;
    size_t p = 0;
    while (p <= text.size()) {
        size_t q = text.find(',', p);
        if (q == std::string::npos)
            q = text.size();
        std::string name = text.substr(p, q - p);
        p = q + 1;
        if (name.empty())
            continue;
        const AVBitStreamFilter* f = ff::av_bsf_get_by_name(name.c_str());
        if (!f)
            Self.FatalFmt("Unknown bitstream filter \"%s\"", name.c_str());
        AVBSFContext* bsf = nullptr;
        if (ff::av_bsf_alloc(f, &bsf) < 0)
            Self.Fatal("Could not alloc bitstream filter.");
        auto* grown = static_cast<AVBSFContext**>(
            std::realloc(Ost.bitstream_filters, sizeof(AVBSFContext*) * size_t(Ost.nb_bitstream_filters + 1)));
        if (!grown) {
            ff::av_bsf_free(&bsf);
            Self.Fatal("Could not alloc bitstream filter.");
        }
        Ost.bitstream_filters = grown;
        Ost.bitstream_filters[Ost.nb_bitstream_filters++] = bsf;
    }
}

void ParseRcOverride(TCustomFFmpeg& Self, AVCodecContext* Enc, const char* AText)
{
    std::string text = AText;
    int count = 0;
    size_t p = 0;
    while (true) {
        int start = 0, end = 0, q = 0;
        if (std::sscanf(text.c_str() + p, "%d,%d,%d", &start, &end, &q) != 3)
            Self.Fatal("error parsing rc_override");
        auto* grown = static_cast<RcOverride*>(
            ff::av_realloc(Enc->rc_override, sizeof(RcOverride) * size_t(count + 1)));
        if (!grown)
            Self.Fatal("Could not allocate memory for rc_override.");
        Enc->rc_override = grown;
        RcOverride& o = Enc->rc_override[count++];
        o.start_frame = start;
        o.end_frame = end;
        if (q > 0) {
            o.qscale = q;
            o.quality_factor = 1.0f;
        } else {
            o.qscale = 0;
            o.quality_factor = float(-q) / 100.0f;
        }
        Enc->rc_override_count = count;
        size_t slash = text.find('/', p);
        if (slash == std::string::npos)
            break;
        p = slash + 1;
    }
}

}  // namespace

TOutputStream& NewOutputStream(TCustomFFmpeg& Self, TOptionsContext& Ctx, AVFormatContext* S, AVMediaType AType,
                               int ASourceIndex)
{
    (void)ASourceIndex;
    AVStream* st = ff::avformat_new_stream(S, nullptr);
    if (!st)
        Self.Fatal("Could not alloc stream.");
    if (int(st->index) < Ctx.nb_streamid_map)
        st->id = Ctx.streamid_map[st->index];
    st->codecpar->codec_type = AType;

    Self.output_streams.emplace_back();
    TOutputStream& ost = Self.output_streams.back();
    ost.file_index = Self.nb_output_files();
    ost.index = st->index;
    ost.st = st;
    ost.last_dts = AV_NOPTS_VALUE;

    ChooseEncoder(Self, Ctx, S, ost);
    if (ost.enc)
        ost.opts = FilterCodecOptions(Self.FOptions.codec_opts, ost.enc, S, st);
    // Encoders run on as many threads as the machine offers unless the
    // option text says otherwise.
    if (ost.enc && !ff::av_dict_get(ost.opts, "threads", nullptr, 0))
        ff::av_dict_set(&ost.opts, "threads", "auto", 0);
    ost.enc_ctx = ff::avcodec_alloc_context3(ost.enc);
    if (!ost.enc_ctx)
        Self.Fatal("Could not alloc stream.");
    ost.enc_ctx->codec_type = AType;
    ost.enc_ctx->codec_id = ost.enc ? ost.enc->id : st->codecpar->codec_id;

    ost.max_frames = INT64_MAX;
    MATCH_PER_STREAM_OPT(Self, Ctx, max_frames, S, st, ost.max_frames);

    const char* bsf = nullptr;
    MATCH_PER_STREAM_OPT(Self, Ctx, bitstream_filters, S, st, bsf);
    if (bsf)
        AddBitstreamFilters(Self, ost, bsf);

    const char* tag = nullptr;
    MATCH_PER_STREAM_OPT(Self, Ctx, codec_tags, S, st, tag);
    if (tag) {
        ost.enc_ctx->codec_tag = CodecTagFromText(tag);
        st->codecpar->codec_tag = ost.enc_ctx->codec_tag;
    }

    double qscale = -1;
    MATCH_PER_STREAM_OPT(Self, Ctx, qscale, S, st, qscale);
    if (qscale >= 0 || Self.Fsame_quant) {
        // The quality is an int in lambda units: a larger scale is refused,
        // not converted out of range.
        if (qscale > double(INT_MAX / FF_QP2LAMBDA))
            Self.FatalFmt("Invalid qscale value: %g", qscale);
        ost.enc_ctx->flags |= AV_CODEC_FLAG_QSCALE;
        ost.enc_ctx->global_quality = int(FF_QP2LAMBDA * qscale);
    }
    if (S->oformat->flags & AVFMT_GLOBALHEADER)
        ost.enc_ctx->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;

    int64_t flags = 0;
    if (Self.FOptions.sws_opts && ff::av_opt_get_int(Self.FOptions.sws_opts, "sws_flags", 0, &flags) >= 0)
        ost.sws_flags = flags;
    return ost;
}

TOutputStream& NewVideoStream(TCustomFFmpeg& Self, TOptionsContext& Ctx, AVFormatContext* S, int ASourceIndex)
{
    TOutputStream& ost = NewOutputStream(Self, Ctx, S, AVMEDIA_TYPE_VIDEO, ASourceIndex);
    AVStream* st = ost.st;
    AVCodecContext* enc = ost.enc_ctx;
    MATCH_PER_STREAM_OPT(Self, Ctx, copy_initial_nonkeyframes, S, st, ost.copy_initial_nonkeyframes);
    if (ost.stream_copy)
        return ost;

    const char* text = nullptr;
    MATCH_PER_STREAM_OPT(Self, Ctx, frame_rates, S, st, text);
    if (text && ff::av_parse_video_rate(&ost.frame_rate, text) < 0)
        Self.FatalFmt("Invalid framerate value: %s", text);
    text = nullptr;
    MATCH_PER_STREAM_OPT(Self, Ctx, frame_sizes, S, st, text);
    if (text && ff::av_parse_video_size(&enc->width, &enc->height, text) < 0)
        Self.FatalFmt("Invalid frame size: %s.", text);
    text = nullptr;
    MATCH_PER_STREAM_OPT(Self, Ctx, frame_aspect_ratios, S, st, text);
    if (text)
        ost.frame_aspect_ratio = float(ParseFrameAspectRatio(Self, text));
    enc->bits_per_raw_sample = Self.Fframe_bits_per_raw_sample;
    text = nullptr;
    MATCH_PER_STREAM_OPT(Self, Ctx, frame_pix_fmts, S, st, text);
    if (text && (enc->pix_fmt = ff::av_get_pix_fmt(text)) == AV_PIX_FMT_NONE)
        Self.FatalFmt("Unknown pixel format requested: %s.", text);
    st->sample_aspect_ratio = enc->sample_aspect_ratio;
    if (Self.Fintra_only)
        enc->gop_size = 0;

    text = nullptr;
    MATCH_PER_STREAM_OPT(Self, Ctx, intra_matrices, S, st, text);
    if (text) {
        enc->intra_matrix = static_cast<uint16_t*>(ff::av_mallocz(sizeof(uint16_t) * 64));
        if (!enc->intra_matrix)
            Self.Fatal("Could not allocate memory for intra matrix.");
        ParseMatrixCoeffs(Self, enc->intra_matrix, text);
    }
    text = nullptr;
    MATCH_PER_STREAM_OPT(Self, Ctx, inter_matrices, S, st, text);
    if (text) {
        enc->inter_matrix = static_cast<uint16_t*>(ff::av_mallocz(sizeof(uint16_t) * 64));
        if (!enc->inter_matrix)
            Self.Fatal("Could not allocate memory for inter matrix.");
        ParseMatrixCoeffs(Self, enc->inter_matrix, text);
    }
    text = nullptr;
    MATCH_PER_STREAM_OPT(Self, Ctx, rc_overrides, S, st, text);
    if (text)
        ParseRcOverride(Self, enc, text);
    if (!enc->rc_initial_buffer_occupancy)
        enc->rc_initial_buffer_occupancy = enc->rc_buffer_size * 3 / 4;
    enc->intra_dc_precision = Self.Fintra_dc_precision - 8;
    if (Self.Fdo_psnr)
        enc->flags |= AV_CODEC_FLAG_PSNR;
    if (Self.Fdo_pass & 1)
        enc->flags |= AV_CODEC_FLAG_PASS1;
    if (Self.Fdo_pass & 2)
        enc->flags |= AV_CODEC_FLAG_PASS2;

    text = nullptr;
    MATCH_PER_STREAM_OPT(Self, Ctx, forced_key_frames, S, st, text);
    if (text)
        ParseForcedKeyFrames(Self, text, ost);
    MATCH_PER_STREAM_OPT(Self, Ctx, force_fps, S, st, ost.force_fps);
    ost.top_field_first = -1;
    MATCH_PER_STREAM_OPT(Self, Ctx, top_field_first, S, st, ost.top_field_first);
    text = nullptr;
    MATCH_PER_STREAM_OPT(Self, Ctx, filters, S, st, text);
    if (text)
        ost.avfilter = OptStrDup(text);
    return ost;
}

TOutputStream& NewAudioStream(TCustomFFmpeg& Self, TOptionsContext& Ctx, AVFormatContext* S, int ASourceIndex)
{
    TOutputStream& ost = NewOutputStream(Self, Ctx, S, AVMEDIA_TYPE_AUDIO, ASourceIndex);
    AVStream* st = ost.st;
    AVCodecContext* enc = ost.enc_ctx;
    if (!ost.stream_copy) {
        int32_t channels = 0;
        MATCH_PER_STREAM_OPT(Self, Ctx, audio_channels, S, st, channels);
        if (channels > 0) {
            ff::av_channel_layout_uninit(&enc->ch_layout);
            enc->ch_layout.order = AV_CHANNEL_ORDER_UNSPEC;
            enc->ch_layout.nb_channels = channels;
        }
        const char* text = nullptr;
        MATCH_PER_STREAM_OPT(Self, Ctx, sample_fmts, S, st, text);
        if (text && (enc->sample_fmt = ff::av_get_sample_fmt(text)) == AV_SAMPLE_FMT_NONE)
            Self.FatalFmt("Invalid sample format \"%s\"", text);
        MATCH_PER_STREAM_OPT(Self, Ctx, audio_sample_rate, S, st, enc->sample_rate);
        ost.rematrix_volume = 1.0f;
        MATCH_PER_STREAM_OPT(Self, Ctx, rematrix_volume, S, st, ost.rematrix_volume);
    }
    const TInputStream* src =
        ASourceIndex >= 0 && ASourceIndex < Self.nb_input_streams() ? &Self.input_streams[size_t(ASourceIndex)] : nullptr;
    for (int n = 0; n < Ctx.nb_audio_channel_maps; ++n) {
        const TAudioChannelMap& m = Ctx.audio_channel_maps[n];
        const bool inputMatches =
            m.channel_idx == -1 || (src && m.file_idx == src->file_index && m.stream_idx == src->st->index);
        const bool outputMatches = (m.ofile_idx == -1 || m.ofile_idx == ost.file_index) &&
                                   (m.ostream_idx == -1 || m.ostream_idx == ost.index);
        if (!inputMatches || !outputMatches)
            continue;
        if (ost.audio_channels_mapped >= 16)
            Self.FatalFmt("Max channel mapping for output %d.%d reached", ost.file_index, ost.index);
        ost.audio_channels_map[ost.audio_channels_mapped++] = m.channel_idx;
    }
    return ost;
}

TOutputStream& NewSubtitleStream(TCustomFFmpeg& Self, TOptionsContext& Ctx, AVFormatContext* S, int ASourceIndex)
{
    return NewOutputStream(Self, Ctx, S, AVMEDIA_TYPE_SUBTITLE, ASourceIndex);
}

TOutputStream& NewDataStream(TCustomFFmpeg& Self, TOptionsContext& Ctx, AVFormatContext* S, int ASourceIndex)
{
    TOutputStream& ost = NewOutputStream(Self, Ctx, S, AVMEDIA_TYPE_DATA, ASourceIndex);
    if (!ost.stream_copy)
        Self.Fatal("Data stream encoding not supported yet (only streamcopy)");
    return ost;
}

TOutputStream& NewAttachmentStream(TCustomFFmpeg& Self, TOptionsContext& Ctx, AVFormatContext* S, int ASourceIndex)
{
    TOutputStream& ost = NewOutputStream(Self, Ctx, S, AVMEDIA_TYPE_ATTACHMENT, ASourceIndex);
    ost.stream_copy = 1;
    return ost;
}

TOutputStream& NewStreamOfType(TCustomFFmpeg& Self, TOptionsContext& Ctx, AVFormatContext* S, AVMediaType AType,
                               int ASourceIndex)
{
    switch (AType) {
    case AVMEDIA_TYPE_VIDEO: return NewVideoStream(Self, Ctx, S, ASourceIndex);
    case AVMEDIA_TYPE_AUDIO: return NewAudioStream(Self, Ctx, S, ASourceIndex);
    case AVMEDIA_TYPE_SUBTITLE: return NewSubtitleStream(Self, Ctx, S, ASourceIndex);
    case AVMEDIA_TYPE_DATA: return NewDataStream(Self, Ctx, S, ASourceIndex);
    case AVMEDIA_TYPE_ATTACHMENT: return NewAttachmentStream(Self, Ctx, S, ASourceIndex);
    default: Self.Fatal("Never occur");
    }
    __builtin_unreachable();  // Fatal always raises
}

void ParseForcedKeyFrames(TCustomFFmpeg& Self, const char* AText, TOutputStream& AOst)
{
    int count = 1;
    for (const char* p = AText; *p; ++p)
        if (*p == ',')
            ++count;
    std::free(AOst.forced_kf_pts);
    AOst.forced_kf_pts = static_cast<int64_t*>(std::calloc(size_t(count), sizeof(int64_t)));
    if (!AOst.forced_kf_pts)
        Self.Fatal("Could not allocate forced key frames array.");
    AOst.forced_kf_count = count;
    const char* p = AText;
    for (int i = 0; i < count; ++i) {
        const char* comma = std::strchr(p, ',');
        std::string item = comma ? std::string(p, size_t(comma - p)) : std::string(p);
        try {
            AOst.forced_kf_pts[i] = ParseTimeText("force_key_frames", item.c_str(), true);
        } catch (const Exception& e) {
            Self.Fatal(e.Message());
        }
        if (comma)
            p = comma + 1;
    }
}

void ParseMatrixCoeffs(TCustomFFmpeg& Self, uint16_t* ADest, const char* AText)
{
    const char* p = AText;
    for (int i = 0;; ++i) {
        ADest[i] = uint16_t(std::atoi(p));
        if (i == 63)
            break;
        p = std::strchr(p, ',');
        if (!p)
            Self.FatalFmt("Syntax error in matrix \"%s\" at coeff %d", AText, i);
        ++p;
    }
}

double ParseFrameAspectRatio(TCustomFFmpeg& Self, const char* AText)
{
    double ar = 0;
    const char* colon = std::strchr(AText, ':');
    if (colon) {
        char* end = nullptr;
        long w = std::strtol(AText, &end, 10);
        long h = 0;
        if (end == colon)
            h = std::strtol(colon + 1, nullptr, 10);
        if (w > 0 && h > 0)
            ar = double(w) / double(h);
    } else {
        // The C locale's "." whatever the user's locale says.
        ar = ff::strtod ? ff::strtod(AText, nullptr) : std::strtod(AText, nullptr);
    }
    if (ar == 0)
        Self.Fatal("Incorrect aspect ratio value.");
    return ar;
}
