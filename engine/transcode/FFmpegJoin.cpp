#include "engine/transcode/FFmpegJoin.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/bindings/AVCodecStubs.h"
#include "engine/bindings/AVFormatStubs.h"
#include "engine/bindings/AVUtilStubs.h"
#include "engine/common/FFTexts.h"
#include "engine/transcode/FFmpegFilters.h"
#include "engine/transcode/FFmpegOutput.h"
#include "engine/common/TextFormat.h"
#include "engine/transcode/FFmpegEncoder.h"
#include "engine/transcode/FFmpegWriter.h"
#include "engine/bindings/SwResampleStubs.h"
#include "engine/transcode/FFmpeg.h"

struct TJoinState {
    int streams_per_part = 0;
};

TJoinState* TStageStateOps<TJoinState>::New()
{
    return new TJoinState;
}

void TStageStateOps<TJoinState>::Free(TJoinState* AState)
{
    delete AState;
}

int JoinStreamsPerPart(const TCustomFFmpeg& Self)
{
    return Self.JoinState().streams_per_part;
}

TOutputStream* FindFreeJoinStream(TCustomFFmpeg& Self, AVFormatContext* AOutCtx, AVMediaType AType)
{
    const int count = int(AOutCtx->nb_streams);
    for (int i = Self.nb_output_streams() - count; i < Self.nb_output_streams(); ++i) {
        if (i < 0)
            continue;
        TOutputStream& ost = Self.output_streams[size_t(i)];
        if (ost.st->codecpar->codec_type == AType && ost.source_index < 0)
            return &ost;
    }
    return nullptr;
}

int TCustomFFmpeg::JoinInput(int AInputIndex)
{
    TOptionsContext& o = optctx;
    TOutputFile first = output_files.front();
    AVFormatContext* oc = first.ctx;
    const int groupStart = nb_output_streams();
    const int newFileIndex = nb_output_files();
    for (unsigned i = 0; i < oc->nb_streams; ++i) {
        const TOutputStream& src = output_streams[size_t(first.ost_index) + i];
        TOutputStream copy = src;
        copy.join_copy = true;
        copy.file_index = newFileIndex;
        copy.source_index = -1;
        copy.sync_ist = nullptr;
        copy.avfilter = OptStrDup(src.avfilter);
        // What belongs to one record only starts empty in a copy.
        copy.attachment_filename = OptStrDup(src.attachment_filename);
        copy.opts = nullptr;
        ff::av_dict_copy(&copy.opts, src.opts, 0);
        copy.opts_join = nullptr;
        copy.audio_fifo = nullptr;
        copy.logfile = nullptr;
        copy.swr = nullptr;
        copy.img_resample_ctx = nullptr;
        copy.filters = nullptr;
        copy.graph = nullptr;
        copy.input_video_filter = copy.output_video_filter = nullptr;
        copy.join_params = nullptr;
        output_streams.push_back(copy);
    }

    auto disabled = [&](AVMediaType AType) {
        return (AType == AVMEDIA_TYPE_SUBTITLE && o.subtitle_disable) ||
               (AType == AVMEDIA_TYPE_AUDIO && o.audio_disable) || (AType == AVMEDIA_TYPE_VIDEO && o.video_disable) ||
               (AType == AVMEDIA_TYPE_DATA && o.data_disable);
    };
    const TInputFile& in = input_files[size_t(AInputIndex)];
    if (o.nb_stream_maps == 0) {
        for (const TPickedStream& p : PickAutomaticStreams(*this, o, oc, in.ist_index, in.ist_index + in.nb_streams))
            if (TOutputStream* ost = FindFreeJoinStream(*this, oc, p.Type)) {
                ost->source_index = p.Index;
                ost->sync_ist = &input_streams[size_t(p.Index)];
                input_streams[size_t(p.Index)].discard = 0;
            }
    } else {
        for (int i = 0; i < o.nb_stream_maps; ++i) {
            const TStreamMap& map = o.stream_maps[i];
            if (map.disabled || map.file_index != AInputIndex)
                continue;
            const int istIndex = in.ist_index + map.stream_index;
            TInputStream& ist = input_streams[size_t(istIndex)];
            if (ist.st->discard == AVDISCARD_ALL) {
                FLastErrMsg = FormatText("Stream map '%d:%d' matches disabled streams.", map.file_index,
                                         map.stream_index);
                return -1;
            }
            const AVMediaType type = ist.st->codecpar->codec_type;
            if (disabled(type))
                continue;
            if (type != AVMEDIA_TYPE_VIDEO && type != AVMEDIA_TYPE_AUDIO && type != AVMEDIA_TYPE_SUBTITLE &&
                type != AVMEDIA_TYPE_DATA && type != AVMEDIA_TYPE_ATTACHMENT) {
                FLastErrMsg = FormatText("Cannot map stream #%d:%d - unsupported type.", map.file_index,
                                         map.stream_index);
                return -1;
            }
            if (TOutputStream* ost = FindFreeJoinStream(*this, oc, type)) {
                ost->source_index = istIndex;
                ost->sync_ist = &input_streams[size_t(input_files[size_t(map.sync_file_index)].ist_index +
                                                      map.sync_stream_index)];
                ist.discard = 0;
            }
        }
    }

    TOutputFile view = first;
    view.ost_index = groupStart;
    view.created_file = false;
    output_files.push_back(view);
    return nb_output_files() - 1;
}

int TCustomFFmpeg::JoinInputs()
{
    if (!FJoinMode || output_files.empty())
        return -1;
    JoinState().streams_per_part = int(output_files.front().ctx->nb_streams);
    for (int i = 1; i < nb_input_files(); ++i)
        if (JoinInput(i) < 0) {
            ResetOptionsContext(optctx, false);
            return -1;
        }
    int64_t sum = 0;
    for (const TInputFile& f : input_files)
        if (f.ctx->duration != AV_NOPTS_VALUE)
            sum += f.ctx->duration;
    FOutputDuration = sum == 0 ? -1 : sum;
    ResetOptionsContext(optctx, false);
    return 0;
}

// ---------------------------------------------------------------------------
// Re-created encoders

namespace {

const char* MediaName(AVMediaType AType)
{
    const char* s = ff::av_get_media_type_string(AType);
    return s ? s : "unknown";
}

uint16_t* CopyMatrix(const uint16_t* AMatrix)
{
    if (!AMatrix)
        return nullptr;
    auto* m = static_cast<uint16_t*>(ff::av_malloc(sizeof(uint16_t) * 64));
    if (m)
        std::memcpy(m, AMatrix, sizeof(uint16_t) * 64);
    return m;
}

// What the resampler still holds goes into the FIFO ahead of the next part;
// the next part's frames get a resampler of their own.
void FlushResampler(TCustomFFmpeg& Self, TOutputStream& O)
{
    if (!O.swr)
        return;
    AVCodecContext* enc = O.enc_ctx;
    const int n = O.audio_fifo ? ff::swr_get_out_samples(O.swr, 0) : 0;
    if (n > 0) {
        uint8_t** out = nullptr;
        int lines = 0;
        if (ff::av_samples_alloc_array_and_samples(&out, &lines, enc->ch_layout.nb_channels, n, enc->sample_fmt, 0) <
            0)
            Self.Fatal("Out of memory in do_audio_out()");
        const int got = ff::swr_convert(O.swr, out, n, nullptr, 0);
        const bool lost = got > 0 && ff::av_audio_fifo_write(O.audio_fifo, reinterpret_cast<void**>(out), got) < got;
        ff::av_freep(&out[0]);
        ff::av_freep(&out);
        if (lost)
            Self.Fatal("av_fifo_realloc2() failed");
    }
    ff::swr_free(&O.swr);
}

struct TContextGuard {
    AVCodecContext* c = nullptr;
    ~TContextGuard()
    {
        if (c)
            ff::av_freep(&c->stats_in);
        ff::avcodec_free_context(&c);
    }
};

// Builds the stream's video filters for the next part's input into the new
// (unopened) encoder context; the encoder keeps the output's picture size,
// so what the filters make of another size is scaled to it on the way in.
void RebuildVideoFilters(TCustomFFmpeg& Self, TOutputStream& O, TOutputStream& ANext, AVCodecContext* ANew)
{
    TInputStream& ist = Self.input_streams[size_t(ANext.source_index)];
    AVCodecContext* keep = O.enc_ctx;
    const AVRational streamSar = O.st->sample_aspect_ratio;
    O.enc_ctx = ANew;
    std::free(O.avfilter);
    O.avfilter = ANext.avfilter;
    ANext.avfilter = nullptr;
    const int r = ConfigureVideoFilters(Self, ist, O);
    O.enc_ctx = keep;
    O.st->sample_aspect_ratio = streamSar;
    ANew->width = O.join_params->width;
    ANew->height = O.join_params->height;
    ANew->sample_aspect_ratio = O.join_params->sample_aspect_ratio;
    if (r < 0) {
        const std::string msg = O.filters ? O.filters->LastError : std::string();
        Self.Fatal(!msg.empty() ? "Error opening filters: " + msg : ErrorCodeText("Error opening filters", r));
    }
}

}  // namespace

AVCodecContext* CopyEncoderSettings(const AVCodecContext* S, const AVCodec* AEnc)
{
    AVCodecContext* c = ff::avcodec_alloc_context3(AEnc);
    if (!c)
        return nullptr;
    c->codec_type = S->codec_type;
    c->codec_id = S->codec_id;
    c->codec_tag = S->codec_tag;
    c->flags = S->flags;
    c->flags2 = S->flags2;
    c->global_quality = S->global_quality;
    c->bit_rate = S->bit_rate;
    c->time_base = S->time_base;
    c->framerate = S->framerate;
    c->strict_std_compliance = S->strict_std_compliance;
    c->thread_count = S->thread_count;
    c->thread_type = S->thread_type;
    c->bits_per_raw_sample = S->bits_per_raw_sample;
    // Video.
    c->width = S->width;
    c->height = S->height;
    c->pix_fmt = S->pix_fmt;
    c->sample_aspect_ratio = S->sample_aspect_ratio;
    c->chroma_sample_location = S->chroma_sample_location;
    c->color_range = S->color_range;
    c->color_primaries = S->color_primaries;
    c->color_trc = S->color_trc;
    c->colorspace = S->colorspace;
    c->field_order = S->field_order;
    c->gop_size = S->gop_size;
    c->max_b_frames = S->max_b_frames;
    c->qmin = S->qmin;
    c->qmax = S->qmax;
    c->intra_dc_precision = S->intra_dc_precision;
    c->rc_buffer_size = S->rc_buffer_size;
    c->rc_max_rate = S->rc_max_rate;
    c->rc_min_rate = S->rc_min_rate;
    c->rc_initial_buffer_occupancy = S->rc_initial_buffer_occupancy;
    c->intra_matrix = CopyMatrix(S->intra_matrix);
    c->inter_matrix = CopyMatrix(S->inter_matrix);
    if (S->rc_override_count > 0 && S->rc_override) {
        const size_t bytes = sizeof(RcOverride) * size_t(S->rc_override_count);
        c->rc_override = static_cast<RcOverride*>(ff::av_malloc(bytes));
        if (c->rc_override) {
            std::memcpy(c->rc_override, S->rc_override, bytes);
            c->rc_override_count = S->rc_override_count;
        }
    }
    if (S->stats_in)
        c->stats_in = ff::av_strdup(S->stats_in);
    // Audio.
    c->sample_fmt = S->sample_fmt;
    c->sample_rate = S->sample_rate;
    if (ff::av_channel_layout_copy(&c->ch_layout, &S->ch_layout) < 0 ||
        (S->intra_matrix && !c->intra_matrix) || (S->inter_matrix && !c->inter_matrix) ||
        (S->rc_override_count > 0 && !c->rc_override) || (S->stats_in && !c->stats_in)) {
        ff::av_freep(&c->stats_in);
        ff::avcodec_free_context(&c);
    }
    return c;
}

bool SameStreamHeader(const AVCodecContext* A, const AVCodecContext* AFirst)
{
    if (A->codec_id != AFirst->codec_id || A->extradata_size != AFirst->extradata_size)
        return false;
    if (A->extradata_size > 0 && std::memcmp(A->extradata, AFirst->extradata, size_t(A->extradata_size)) != 0)
        return false;
    if (A->codec_type == AVMEDIA_TYPE_VIDEO)
        return A->width == AFirst->width && A->height == AFirst->height && A->pix_fmt == AFirst->pix_fmt;
    if (A->codec_type == AVMEDIA_TYPE_AUDIO)
        return A->sample_rate == AFirst->sample_rate && A->sample_fmt == AFirst->sample_fmt &&
               A->ch_layout.nb_channels == AFirst->ch_layout.nb_channels && A->frame_size == AFirst->frame_size;
    return true;
}

int KeepJoinHeader(TOutputStream& O)
{
    AVCodecContext* first = O.join_params;
    if (!first)
        return 0;
    first->frame_size = O.enc_ctx->frame_size;
    ff::av_freep(&first->extradata);
    first->extradata_size = 0;
    if (O.enc_ctx->extradata_size > 0) {
        first->extradata =
            static_cast<uint8_t*>(ff::av_mallocz(size_t(O.enc_ctx->extradata_size) + AV_INPUT_BUFFER_PADDING_SIZE));
        if (!first->extradata)
            return AVERROR(ENOMEM);
        std::memcpy(first->extradata, O.enc_ctx->extradata, size_t(O.enc_ctx->extradata_size));
        first->extradata_size = O.enc_ctx->extradata_size;
    }
    return 0;
}

void ReopenJoinEncoders(TCustomFFmpeg& Self, int APart, int64_t AEnd)
{
    const int N = JoinStreamsPerPart(Self);
    const int next = (APart + 1) * N;
    for (int k = 0; k < N && k < Self.nb_output_streams(); ++k) {
        TOutputStream& o = Self.output_streams[size_t(k)];
        if (!o.encoding_needed || o.stream_copy || !o.enc_ctx)
            continue;
        const AVMediaType type = o.enc_ctx->codec_type;
        if (type != AVMEDIA_TYPE_AUDIO && type != AVMEDIA_TYPE_VIDEO && type != AVMEDIA_TYPE_SUBTITLE)
            continue;
        if (!o.join_params)
            Self.Fatal("Internal error: the encoder settings of a joined stream were not kept");
        // What the old encoder holds is written first.
        if (type == AVMEDIA_TYPE_AUDIO) {
            FlushResampler(Self, o);
            // The next part's audio starts with the next part: a part whose
            // audio ended early, or that had none, leaves a gap rather than
            // pulling the following audio ahead of its pictures.
            if (o.audio_fifo) {
                const int64_t start = Self.output_files[size_t(o.file_index)].start_time;
                const int64_t at = ff::av_rescale(AEnd - start, o.enc_ctx->sample_rate, AV_TIME_BASE) -
                                   ff::av_audio_fifo_size(o.audio_fifo);
                if (at > o.sync_opts)
                    o.sync_opts = at;
            }
        }
        if (type != AVMEDIA_TYPE_SUBTITLE)  // a subtitle encoder holds nothing between packets
            encode_and_write(Self, o, nullptr);

        TContextGuard fresh{CopyEncoderSettings(o.join_params, o.enc)};
        if (!fresh.c)
            Self.Fatal("Out of memory while re-creating an encoder");
        // Text subtitles go on in the open encoder's time base, with the
        // styles of the header already written.
        if (type == AVMEDIA_TYPE_SUBTITLE) {
            fresh.c->time_base = o.enc_ctx->time_base;
            fresh.c->codec_id = o.enc_ctx->codec_id;
        }
        if (type == AVMEDIA_TYPE_SUBTITLE && o.enc_ctx->subtitle_header) {
            const size_t n = size_t(o.enc_ctx->subtitle_header_size);
            fresh.c->subtitle_header = static_cast<uint8_t*>(ff::av_mallocz(n + 1));
            if (!fresh.c->subtitle_header)
                Self.Fatal("Out of memory while re-creating an encoder");
            std::memcpy(fresh.c->subtitle_header, o.enc_ctx->subtitle_header, n);
            fresh.c->subtitle_header_size = int(n);
        }
        TOutputStream* nextGroup = next + k < Self.nb_output_streams() ? &Self.output_streams[size_t(next + k)] : nullptr;
        if (type == AVMEDIA_TYPE_VIDEO && nextGroup && nextGroup->source_index >= 0)
            RebuildVideoFilters(Self, o, *nextGroup, fresh.c);
        // Never a constant-rate factor here: libx264 would read 0 as lossless.
        AVDictionary* opts = nullptr;
        ff::av_dict_copy(&opts, o.opts, 0);
        const int r = ff::avcodec_open2(fresh.c, o.enc, &opts);
        ff::av_dict_free(&opts);
        if (r < 0)
            Self.FatalFmt("Error while opening encoder for output stream #%d:%d (%s) - maybe incorrect parameters such "
                          "as bit_rate, rate, width or height. Please check error log message(reported by FFLogger) "
                          "to find out more detail information.",
                          0, o.index, MediaName(type));
        if (!SameStreamHeader(fresh.c, o.join_params))
            Self.FatalFmt("Cannot join input #%d: the encoder of output stream #0:%d (%s) made a stream header "
                          "different from the one already written",
                          APart + 1, o.index, MediaName(type));
        Self.RemoveFromCodecList(Self.FEncoderList, &o);
        ff::av_freep(&o.enc_ctx->stats_in);
        ff::avcodec_free_context(&o.enc_ctx);
        o.enc_ctx = fresh.c;
        fresh.c = nullptr;
        Self.AddToCodecList(Self.FEncoderList, &o);
        for (int j = k + N; j < Self.nb_output_streams(); j += N)
            Self.output_streams[size_t(j)].enc_ctx = o.enc_ctx;
    }
}

int CheckJoinedCopies(TCustomFFmpeg& Self)
{
    if (!Self.JoinMode())
        return 0;
    const int N = JoinStreamsPerPart(Self);
    for (int k = N; k < Self.nb_output_streams(); ++k) {
        const TOutputStream& c = Self.output_streams[size_t(k)];
        if (!c.stream_copy || c.source_index < 0)
            continue;
        const TOutputStream& first = Self.output_streams[size_t(k % N)];
        if (first.source_index < 0)
            continue;
        const AVCodecParameters* a = Self.input_streams[size_t(c.source_index)].st->codecpar;
        const AVCodecParameters* b = Self.input_streams[size_t(first.source_index)].st->codecpar;
        bool same = a->codec_id == b->codec_id && a->extradata_size == b->extradata_size &&
                    (a->extradata_size <= 0 || std::memcmp(a->extradata, b->extradata, size_t(a->extradata_size)) == 0);
        if (same && a->codec_type == AVMEDIA_TYPE_VIDEO)
            same = a->width == b->width && a->height == b->height && a->format == b->format;
        if (same && a->codec_type == AVMEDIA_TYPE_AUDIO)
            same = a->sample_rate == b->sample_rate && a->ch_layout.nb_channels == b->ch_layout.nb_channels;
        if (!same) {
            const TInputStream& ist = Self.input_streams[size_t(c.source_index)];
            Self.SetLastErrMsg(FormatText("Cannot join input #%d by stream copy: its stream #%d:%d differs from the "
                                          "first input's (codec, size, format or codec header); convert it instead",
                                          ist.file_index, ist.file_index, ist.st->index));
            return AVERROR(EINVAL);
        }
    }
    return 0;
}
