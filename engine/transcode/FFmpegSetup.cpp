#include "engine/transcode/FFmpegSetup.h"

#include <signal.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/bindings/AVCodecStubs.h"
#include "engine/bindings/AVFilterStubs.h"
#include "engine/bindings/AVFormatStubs.h"
#include "engine/bindings/AVUtilStubs.h"
#include "engine/common/FFLog.h"
#include "engine/common/FFTexts.h"
#include "engine/common/TextFormat.h"
#include "engine/transcode/FFmpegCodecs.h"
#include "engine/transcode/FFmpegFilters.h"
#include "engine/transcode/FFmpegJoin.h"
#include "engine/transcode/FFmpegWriter.h"
#include "engine/transcode/FFmpeg.h"

namespace {

const char* MediaName(AVMediaType AType)
{
    const char* s = ff::av_get_media_type_string(AType);
    return s ? s : "unknown";
}

bool ContainerIs(const AVFormatContext* S, const char* AName)
{
    // A muxer's name may list several ("mov,mp4,...") for demuxers; muxers
    // have one each.
    return S->oformat && S->oformat->name && std::strcmp(S->oformat->name, AName) == 0;
}

}  // namespace

void pick_sample_format(TCustomFFmpeg& Self, TOutputStream& AOst, const AVCodec* AEnc)
{
    AVCodecContext* c = AOst.enc_ctx;
    const AVSampleFormat* p = AEnc ? AEnc->sample_fmts : nullptr;
    if (!p)
        return;
    for (const AVSampleFormat* q = p; *q != AV_SAMPLE_FMT_NONE; ++q)
        if (*q == c->sample_fmt)
            return;
    if ((AEnc->capabilities & AV_CODEC_CAP_LOSSLESS) &&
        ff::av_get_bytes_per_sample(p[0]) < ff::av_get_bytes_per_sample(c->sample_fmt))
        GetFFLogger()->Log(&Self, llError, "Conversion will not be lossless.");
    const char* from = ff::av_get_sample_fmt_name(c->sample_fmt);
    if (from)
        GetFFLogger()->Log(&Self, llWarning, "Incompatible sample format \"%s\" for codec \"%s\", auto-selecting format \"%s\"",
                           from, AEnc->name, ff::av_get_sample_fmt_name(p[0]));
    c->sample_fmt = p[0];
}

void pick_sample_rate(TCustomFFmpeg& Self, TOutputStream& AOst, const AVCodec* AEnc)
{
    AVCodecContext* c = AOst.enc_ctx;
    const int* p = AEnc ? AEnc->supported_samplerates : nullptr;
    if (!p || !*p)
        return;
    int best = p[0];
    long bestDist = LONG_MAX;
    for (; *p; ++p) {
        long d = std::labs(long(c->sample_rate) - long(*p));
        if (d < bestDist) {
            bestDist = d;
            best = *p;
        }
    }
    if (best != c->sample_rate)
        GetFFLogger()->Log(&Self, llWarning, "Requested sampling rate unsupported using closest supported (%d)", best);
    c->sample_rate = best;
}

void pick_pixel_format(TCustomFFmpeg& Self, TOutputStream& AOst, const AVCodec* AEnc)
{
    AVCodecContext* c = AOst.enc_ctx;
    const AVPixelFormat* p = AEnc ? AEnc->pix_fmts : nullptr;
    if (!p)
        return;
    static const AVPixelFormat mjpeg[] = {AV_PIX_FMT_YUVJ420P, AV_PIX_FMT_YUVJ422P, AV_PIX_FMT_YUV420P,
                                          AV_PIX_FMT_YUV422P, AV_PIX_FMT_NONE};
    static const AVPixelFormat ljpeg[] = {AV_PIX_FMT_YUVJ420P, AV_PIX_FMT_YUVJ422P, AV_PIX_FMT_YUVJ444P,
                                          AV_PIX_FMT_YUV420P,  AV_PIX_FMT_YUV422P,  AV_PIX_FMT_YUV444P,
                                          AV_PIX_FMT_BGRA,     AV_PIX_FMT_NONE};
    if (c->strict_std_compliance <= FF_COMPLIANCE_UNOFFICIAL) {
        if (c->codec_id == AV_CODEC_ID_MJPEG)
            p = mjpeg;
        else if (c->codec_id == AV_CODEC_ID_LJPEG)
            p = ljpeg;
    }
    for (const AVPixelFormat* q = p; *q != AV_PIX_FMT_NONE; ++q)
        if (*q == c->pix_fmt)
            return;
    const AVPixFmtDescriptor* d = ff::av_pix_fmt_desc_get(c->pix_fmt);
    const int alpha = d && (d->flags & AV_PIX_FMT_FLAG_ALPHA) ? 1 : 0;
    AVPixelFormat best =
        c->pix_fmt == AV_PIX_FMT_NONE ? p[0] : ff::avcodec_find_best_pix_fmt_of_list(p, c->pix_fmt, alpha, nullptr);
    if (best == AV_PIX_FMT_NONE)
        best = p[0];
    if (c->pix_fmt != AV_PIX_FMT_NONE)
        GetFFLogger()->Log(&Self, llWarning, "Incompatible pixel format \"%s\" for codec \"%s\", auto-selecting format \"%s\"",
                           ff::av_get_pix_fmt_name(c->pix_fmt), AEnc->name, ff::av_get_pix_fmt_name(best));
    c->pix_fmt = best;
}

std::string PassLogFileName(const TCustomFFmpeg& Self, const TOutputStream& AOst)
{
    std::string prefix;
    if (Self.Fpass_logfilename_prefix && *Self.Fpass_logfilename_prefix) {
        prefix = Self.Fpass_logfilename_prefix;
    } else {
        // Beside the output and named after it, so that tasks of different
        // outputs never share a statistics file while both passes of one
        // output still find theirs.
        std::string out;
        if (AOst.file_index < Self.nb_output_files() && Self.output_files[size_t(AOst.file_index)].ctx)
            out = Self.output_files[size_t(AOst.file_index)].ctx->url;
        const size_t dot = out.find_last_of('.');
        const size_t slash = out.find_last_of('/');
        if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
            out.resize(dot);
        prefix = out.empty() ? "vavorarez2pass" : out + "-vavorarez2pass";
    }
    std::string name = prefix + "-" + std::to_string(AOst.index) + ".log";
    if (name.size() > 1023)
        name.resize(1023);
    return name;
}

namespace {

int open_input_decoder(TCustomFFmpeg& Self, int AIndex, std::string& AError)
{
    TInputStream& ist = Self.input_streams[size_t(AIndex)];
    if (ist.decoding_needed) {
        if (!ist.avdec) {
            AError = FormatText("Decoder (codec %s) not found for input stream #%d:%d",
                         ff::avcodec_get_name(ist.st->codecpar->codec_id), ist.file_index, ist.st->index);
            return AVERROR(EINVAL);
        }
        if (ff::avcodec_open2(ist.dec_ctx, ist.avdec, &ist.opts) < 0) {
            AError = FormatText("Error while opening decoder for input stream #%d:%d", ist.file_index, ist.st->index);
            return AVERROR(EINVAL);
        }
        Self.AddToCodecList(Self.FDecoderList, &ist);
        CheckExperimentalCodec(Self, ist.dec_ctx, false);
        AssertNoUnusedOptions(Self, ist.opts);
    }
    const AVRational fr = ist.st->avg_frame_rate;
    ist.pts = fr.num && fr.den ? -int64_t(std::llround(double(ist.dec_ctx->has_b_frames) * AV_TIME_BASE * fr.den / fr.num))
                               : 0;
    ist.next_pts = AV_NOPTS_VALUE;
    ist.is_start = 1;
    return 0;
}

void log_stream_mapping(TCustomFFmpeg& Self)
{
    for (int i = 0; i < Self.nb_output_files(); ++i) {
        AVFormatContext* oc = Self.output_files[size_t(i)].ctx;
        ff::av_dump_format(oc, i, oc->url, 1);
        if (Self.JoinMode())
            break;
    }
    GetFFLogger()->Log(&Self, llInfo, "Stream mapping:");
    for (int i = 0; i < Self.nb_output_streams(); ++i) {
        const TOutputStream& ost = Self.output_streams[size_t(i)];
        const int fileIndex = Self.JoinMode() ? 0 : ost.file_index;
        if (ost.attachment_filename) {
            GetFFLogger()->Log(&Self, llInfo, "  File %s -> Stream #%d:%d", ost.attachment_filename, fileIndex,
                               ost.st->index);
            continue;
        }
        if (ost.source_index < 0)
            continue;  // a joined group without a stream of this type
        const TInputStream& ist = Self.input_streams[size_t(ost.source_index)];
        std::string line = FormatText("  Stream #%d:%d -> #%d:%d", ist.file_index, ist.st->index, fileIndex, ost.index);
        if (ost.audio_channels_mapped) {
            line += " [ch:";
            for (int j = 0; j < ost.audio_channels_mapped; ++j)
                line += ost.audio_channels_map[j] == -1 ? std::string(" M") : FormatText(" %d", ost.audio_channels_map[j]);
            line += "]";
        }
        if (ost.sync_ist && ost.sync_ist != &ist)
            line += FormatText(" [sync #%d:%d]", ost.sync_ist->file_index, ost.sync_ist->st->index);
        if (ost.stream_copy)
            line += " (copy)";
        else
            line += FormatText(" (%s -> %s)", ist.avdec ? ist.avdec->name : "?", ost.enc ? ost.enc->name : "?");
        line += FormatText(" (%s)", MediaName(ost.st->codecpar->codec_type));
        GetFFLogger()->Log(&Self, llInfo, line);
    }
}

void log_sdp(TCustomFFmpeg& Self)
{
    std::vector<AVFormatContext*> ctxs;
    for (const TOutputFile& of : Self.output_files)
        ctxs.push_back(of.ctx);
    char sdp[2048] = {};
    ff::av_sdp_create(ctxs.data(), int(ctxs.size()), sdp, sizeof sdp);
    std::string text = sdp;
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    GetFFLogger()->Log(&Self, llInfo, "SDP:\r\n%s", text.c_str());
}

// Stream copy of one output stream; 0 or a negative code with LastErrMsg.
int SetUpStreamCopy(TCustomFFmpeg& Self, TOutputStream& Ost, TInputStream& Ist, AVFormatContext* Oc)
{
    AVCodecParameters* par = Ost.st->codecpar;
    const AVCodecParameters* ipar = Ist.st->codecpar;
    if (int64_t(ipar->extradata_size) + AV_INPUT_BUFFER_PADDING_SIZE > INT_MAX) {
        Self.SetLastErrMsg("icodec.extradata_size is invalid (too large)");
        return AVERROR(EINVAL);
    }
    const uint32_t forcedTag = par->codec_tag;
    if (ff::avcodec_parameters_copy(par, ipar) < 0) {
        Self.SetLastErrMsg("av_mallocz() failed");
        return AVERROR(ENOMEM);
    }
    const AVCodecTag* const* tags = Oc->oformat->codec_tag;
    if (forcedTag)
        par->codec_tag = forcedTag;
    else if (!(!tags || ff::av_codec_get_id(tags, ipar->codec_tag) == ipar->codec_id ||
               ff::av_codec_get_tag(tags, ipar->codec_id) == 0))
        par->codec_tag = 0;

    AVRational tb = Ist.st->time_base;
    const AVRational ctb = Ist.dec_ctx->framerate.num > 0 && Ist.dec_ctx->framerate.den > 0
                               ? av_inv_q(Ist.dec_ctx->framerate)
                               : Ist.st->time_base;
    const int ticks = Ist.dec_ctx->ticks_per_frame > 0 ? Ist.dec_ctx->ticks_per_frame : 1;
    if (ContainerIs(Oc, "avi")) {
        if ((Self.Fcopy_tb < 0 && av_q2d(ctb) * ticks > 2 * av_q2d(Ist.st->time_base) &&
             av_q2d(Ist.st->time_base) < 1.0 / 500) ||
            Self.Fcopy_tb == 0) {
            tb = ctb;
            tb.num *= ticks;
            tb.den *= 2;
        }
    } else if (!(Oc->oformat->flags & AVFMT_VARIABLE_FPS) && !ContainerIs(Oc, "mov") && !ContainerIs(Oc, "mp4") &&
               !ContainerIs(Oc, "3gp") && !ContainerIs(Oc, "3g2") && !ContainerIs(Oc, "psp") &&
               !ContainerIs(Oc, "ipod")) {
        if ((Self.Fcopy_tb < 0 && av_q2d(ctb) * ticks > av_q2d(Ist.st->time_base) &&
             av_q2d(Ist.st->time_base) < 1.0 / 500) ||
            Self.Fcopy_tb == 0) {
            tb = ctb;
            tb.num *= ticks;
        }
    }
    ff::av_reduce(&tb.num, &tb.den, tb.num, tb.den, INT_MAX);
    Ost.st->time_base = tb;

    switch (par->codec_type) {
    case AVMEDIA_TYPE_AUDIO:
        if (Self.Faudio_volume != 256) {
            Self.SetLastErrMsg("-acodec copy and -vol are incompatible (frames are not decoded)");
            return AVERROR(EINVAL);
        }
        if (Self.OnAudioHook) {
            Self.SetLastErrMsg("-acodec copy and AudioHook are incompatible (frames are not decoded)");
            return AVERROR(EINVAL);
        }
        break;
    case AVMEDIA_TYPE_VIDEO:
        if (Self.OnInputVideoHook || Self.OnOutputVideoHook) {
            Self.SetLastErrMsg("-vcodec copy and VideoHook are incompatible (frames are not decoded)");
            return AVERROR(EINVAL);
        }
        if (Self.OnInputFrameHook || Self.OnOutputFrameHook) {
            Self.SetLastErrMsg("-vcodec copy and FrameHook are incompatible (frames are not decoded)");
            return AVERROR(EINVAL);
        }
        if (Self.Fusing_vhook) {
            Self.SetLastErrMsg("-vcodec copy and -vhook are incompatible (frames are not decoded)");
            return AVERROR(EINVAL);
        }
        if (!Self.PostHooks().Empty()) {
            Self.SetLastErrMsg("-vcodec copy and PostHooks are incompatible (frames are not decoded)");
            return AVERROR(EINVAL);
        }
        if (!Ost.st->sample_aspect_ratio.num) {
            AVRational sar = Ist.st->sample_aspect_ratio.num ? Ist.st->sample_aspect_ratio : ipar->sample_aspect_ratio;
            Ost.st->sample_aspect_ratio = sar.num ? sar : AVRational{0, 1};
        }
        par->sample_aspect_ratio = Ost.st->sample_aspect_ratio;
        Ost.st->avg_frame_rate = Ist.st->avg_frame_rate;
        Ost.st->r_frame_rate = Ist.st->r_frame_rate;
        break;
    case AVMEDIA_TYPE_SUBTITLE:
    case AVMEDIA_TYPE_DATA: break;
    default: Self.SetLastErrMsg("invalid codec_type of output stream"); return -1;
    }
    return 0;
}

// Encoder parameters of one output stream; 0 or a negative code with LastErrMsg.
int SetUpEncoding(TCustomFFmpeg& Self, TOutputStream& Ost, TInputStream& Ist, AVFormatContext* Oc)
{
    AVCodecContext* enc = Ost.enc_ctx;
    AVCodecContext* dec = Ist.dec_ctx;
    if (!Ost.enc)
        Ost.enc = ff::avcodec_find_encoder(enc->codec_id);
    Ist.decoding_needed = 1;
    Ost.encoding_needed = 1;
    switch (enc->codec_type) {
    case AVMEDIA_TYPE_AUDIO: {
        if (!enc->sample_rate)
            enc->sample_rate = dec->sample_rate;
        pick_sample_rate(Self, Ost, Ost.enc);
        enc->time_base = AVRational{1, enc->sample_rate > 0 ? enc->sample_rate : 1};
        if (enc->sample_fmt == AV_SAMPLE_FMT_NONE)
            enc->sample_fmt = dec->sample_fmt;
        pick_sample_format(Self, Ost, Ost.enc);
        if (Ost.audio_channels_mapped > 0 && enc->ch_layout.nb_channels == 0) {
            ff::av_channel_layout_default(&enc->ch_layout, Ost.audio_channels_mapped);
            if (!enc->ch_layout.nb_channels) {
                Self.SetLastErrMsg("Unable to find an appropriate channel layout for requested number of channel");
                return -1;
            }
            for (int j = Ost.audio_channels_mapped; j < 16; ++j)
                Ost.audio_channels_map[j] = -1;
        } else if (enc->ch_layout.nb_channels == 0) {
            ff::av_channel_layout_copy(&enc->ch_layout, &dec->ch_layout);
        }
        if (enc->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) {
            const int n = enc->ch_layout.nb_channels;
            // Same count as the input: keep its layout; otherwise the default.
            if (dec->ch_layout.nb_channels == n && dec->ch_layout.order != AV_CHANNEL_ORDER_UNSPEC)
                ff::av_channel_layout_copy(&enc->ch_layout, &dec->ch_layout);
            else
                ff::av_channel_layout_default(&enc->ch_layout, n);
        }
        Ost.audio_resample = enc->sample_rate != dec->sample_rate || enc->sample_fmt != dec->sample_fmt ||
                             ff::av_channel_layout_compare(&enc->ch_layout, &dec->ch_layout) != 0 ||
                             Self.Faudio_sync_method > 1;
        Ost.resample_sample_fmt = dec->sample_fmt;
        Ost.resample_sample_rate = dec->sample_rate;
        Ost.resample_channels = dec->ch_layout.nb_channels;
        break;
    }
    case AVMEDIA_TYPE_VIDEO: {
        if (enc->pix_fmt == AV_PIX_FMT_NONE)
            enc->pix_fmt = dec->pix_fmt;
        pick_pixel_format(Self, Ost, Ost.enc);
        if (enc->pix_fmt == AV_PIX_FMT_NONE) {
            Self.SetLastErrMsg("Video pixel format is unknown, stream cannot be encoded");
            return -1;
        }
        if (enc->width == 0 || enc->height == 0) {
            enc->width = dec->width;
            enc->height = dec->height;
        }
        Ost.video_resample = enc->width != dec->width || enc->height != dec->height || enc->pix_fmt != dec->pix_fmt;
        if (Ost.video_resample)
            enc->bits_per_raw_sample = Self.Fframe_bits_per_raw_sample;
        Ost.resample_width = dec->width;
        Ost.resample_height = dec->height;
        Ost.resample_pix_fmt = dec->pix_fmt;
        if (!Ost.frame_rate.num)
            Ost.frame_rate = Ist.st->r_frame_rate;
        if (!Ost.frame_rate.num || !Ost.frame_rate.den)
            Ost.frame_rate = AVRational{25, 1};
        if (Ost.enc && Ost.enc->supported_framerates && !Ost.force_fps)
            Ost.frame_rate =
                Ost.enc->supported_framerates[ff::av_find_nearest_q_idx(Ost.frame_rate, Ost.enc->supported_framerates)];
        enc->time_base = AVRational{Ost.frame_rate.den, Ost.frame_rate.num};
        enc->framerate = Ost.frame_rate;
        if (av_q2d(enc->time_base) < 0.001 &&
            (Self.Fvideo_sync_method == 1 ||
             (Self.Fvideo_sync_method < 0 && !(Oc->oformat->flags & AVFMT_VARIABLE_FPS))))
            ff::av_log(Oc, AV_LOG_WARNING,
                       "Frame rate very high for a muxer not effciciently supporting it.\nPlease consider specifiying "
                       "a lower framerate, a different muxer or -vsync 2\n");
        for (int j = 0; j < Ost.forced_kf_count; ++j)
            Ost.forced_kf_pts[j] = ff::av_rescale_q(Ost.forced_kf_pts[j], AVRational{1, AV_TIME_BASE}, enc->time_base);
        int r = ConfigureVideoFilters(Self, Ist, Ost);
        if (r < 0) {
            const std::string msg = Ost.filters ? Ost.filters->LastError : std::string();
            Self.SetLastErrMsg(!msg.empty() ? "Error opening filters: " + msg : ErrorCodeText("Error opening filters", r));
            return r;
        }
        break;
    }
    case AVMEDIA_TYPE_SUBTITLE:
        // Subtitles are timed in microseconds (FFmpeg 5.1 refuses an encoder without a time base).
        if (enc->time_base.num <= 0 || enc->time_base.den <= 0)
            enc->time_base = AVRational{1, AV_TIME_BASE};
        break;
    default: Self.SetLastErrMsg("invalid codec_type of output stream"); return -1;
    }

    if (enc->flags & (AV_CODEC_FLAG_PASS1 | AV_CODEC_FLAG_PASS2)) {
        const std::string logname = PassLogFileName(Self, Ost);
        if (enc->codec_id == AV_CODEC_ID_H264) {
            // libx264 keeps its own statistics file; name it the same way.
            if (!ff::av_dict_get(Ost.opts, "stats", nullptr, 0))
                ff::av_dict_set(&Ost.opts, "stats", logname.c_str(), 0);
        } else if (enc->flags & AV_CODEC_FLAG_PASS2) {
            uint8_t* buf = nullptr;
            size_t size = 0;
            int r = ReadWholeFile(logname.c_str(), buf, size);
            if (r < 0) {
                Self.SetLastErrMsg(r == AVERROR(ENOMEM)
                                       ? FormatText("Could not allocate file buffer: Error reading log file \"%s\" for pass-2 encoding",
                                             logname.c_str())
                                       : FormatText("Error reading log file \"%s\" for pass-2 encoding", logname.c_str()));
                return r == AVERROR(ENOMEM) ? r : -1;
            }
            enc->stats_in = static_cast<char*>(ff::av_malloc(size));
            if (!enc->stats_in) {
                std::free(buf);
                Self.SetLastErrMsg(FormatText("Could not allocate file buffer: Error reading log file \"%s\" for pass-2 encoding",
                                       logname.c_str()));
                return AVERROR(ENOMEM);
            }
            std::memcpy(enc->stats_in, buf, size);
            std::free(buf);
        } else {
            Ost.logfile = std::fopen(logname.c_str(), "wb");
            if (!Ost.logfile) {
                Self.SetLastErrMsg(FormatText("Cannot write log file %s for pass-1 encoding", logname.c_str()));
                return -1;
            }
        }
    }
    return 0;
}

// Initialises the -bsf chain of a stream from its final parameters.
int InitBitstreamFilters(TOutputStream& Ost)
{
    if (!Ost.nb_bitstream_filters || Ost.join_copy)
        return 0;
    const AVCodecParameters* in = Ost.st->codecpar;
    AVRational tb = Ost.st->time_base;
    for (int i = 0; i < Ost.nb_bitstream_filters; ++i) {
        AVBSFContext* b = Ost.bitstream_filters[i];
        int r = ff::avcodec_parameters_copy(b->par_in, in);
        if (r < 0)
            return r;
        b->time_base_in = tb;
        r = ff::av_bsf_init(b);
        if (r < 0)
            return r;
        in = b->par_out;
        tb = b->time_base_out;
    }
    return ff::avcodec_parameters_copy(Ost.st->codecpar, in);
}

void IgnoreFileSizeSignal(int) {}

// A file-size limit (a full quota, a small file system) must fail the write
// with EFBIG, not end the program with every other conversion in it: the
// signal gets a handler that does nothing when it has the default action.
// (A handler, not SIG_IGN, so that programs started later get the default
// again.) Checked at every start: it costs one system call.
void KeepRunningPastFileSizeLimits()
{
    struct sigaction old {};
    if (::sigaction(SIGXFSZ, nullptr, &old) == 0 && !(old.sa_flags & SA_SIGINFO) && old.sa_handler == SIG_DFL) {
        struct sigaction sa {};
        sa.sa_handler = IgnoreFileSizeSignal;
        sigemptyset(&sa.sa_mask);
        ::sigaction(SIGXFSZ, &sa, nullptr);
    }
}

}  // namespace

int TCustomFFmpeg::transcode_init()
{
    KeepRunningPastFileSizeLimits();
    // Rate emulation starts its clock now.
    for (const TInputFile& f : input_files)
        if (f.rate_emu)
            for (int j = 0; j < f.nb_streams; ++j)
                input_streams[size_t(f.ist_index + j)].start = ff::av_gettime_relative();

    for (int i = 0; i < nb_output_files(); ++i) {
        AVFormatContext* oc = output_files[size_t(i)].ctx;
        if (!oc->nb_streams && !(oc->oformat->flags & AVFMT_NOSTREAMS)) {
            ff::av_dump_format(oc, i, oc->url, 1);
            FLastErrMsg = FormatText("Output file #%d does not contain any stream", i);
            GetFFLogger()->Log(this, llError, FLastErrMsg);
            return AVERROR(EINVAL);
        }
        if (FJoinMode)
            break;
    }

    for (int i = 0; i < nb_output_streams(); ++i) {
        TOutputStream& ost = output_streams[size_t(i)];
        if (ost.attachment_filename || ost.source_index < 0)
            continue;
        TInputStream& ist = input_streams[size_t(ost.source_index)];
        AVFormatContext* oc = output_files[size_t(ost.file_index)].ctx;
        if (ost.join_copy) {
            // A later part of a join reuses the first group's encoder.
            if (!ost.stream_copy) {
                ist.decoding_needed = 1;
                ost.encoding_needed = 1;
            }
            continue;
        }
        ost.st->disposition = ist.st->disposition;
        ost.enc_ctx->bits_per_raw_sample = ist.dec_ctx->bits_per_raw_sample;
        ost.enc_ctx->chroma_sample_location = ist.dec_ctx->chroma_sample_location;
        int r = ost.stream_copy ? SetUpStreamCopy(*this, ost, ist, oc) : SetUpEncoding(*this, ost, ist, oc);
        if (r < 0)
            return r;
        if (ost.st->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
            const int w = ost.stream_copy ? ost.st->codecpar->width : ost.enc_ctx->width;
            const int h = ost.stream_copy ? ost.st->codecpar->height : ost.enc_ctx->height;
            const int64_t need = 7LL * w * h + 10000;
            if (need > Fbit_buffer_size && need < INT_MAX)
                Fbit_buffer_size = int32_t(need);
        }
    }

    if (int r = CheckJoinedCopies(*this); r < 0)
        return r;

    ff::av_freep(&Fbit_buffer);
    Fbit_buffer = static_cast<uint8_t*>(ff::av_malloc(size_t(Fbit_buffer_size)));
    if (!Fbit_buffer) {
        FLastErrMsg = FormatText("Cannot allocate %d bytes output buffer", Fbit_buffer_size);
        return AVERROR(ENOMEM);
    }

    std::string error;
    int ret = 0;
    std::vector<bool> decoderOpen(size_t(nb_input_streams()), false);
    for (int i = 0; i < nb_output_streams() && ret >= 0; ++i) {
        TOutputStream& ost = output_streams[size_t(i)];
        if (!ost.encoding_needed || ost.join_copy)
            continue;
        if (FJoinMode && i >= JoinStreamsPerPart(*this))
            break;
        TInputStream& ist = input_streams[size_t(ost.source_index)];
        if (!ost.enc) {
            error = FormatText("Encoder (codec %s) not found for output stream #%d:%d (%s)",
                        ff::avcodec_get_name(ost.enc_ctx->codec_id), ost.file_index, ost.index,
                        MediaName(ost.enc_ctx->codec_type));
            ret = AVERROR(EINVAL);
            break;
        }
        // Text subtitle decoders make their ASS header when they open, and a
        // subtitle encoder needs it when it opens (SubRip refuses to open
        // without one), so such a decoder opens first.
        if (ist.decoding_needed && ist.dec_ctx->codec_type == AVMEDIA_TYPE_SUBTITLE &&
            !decoderOpen[size_t(ost.source_index)]) {
            ret = open_input_decoder(*this, ost.source_index, error);
            if (ret < 0)
                break;
            decoderOpen[size_t(ost.source_index)] = true;
        }
        if (ist.dec_ctx->subtitle_header) {
            ost.enc_ctx->subtitle_header =
                static_cast<uint8_t*>(ff::av_mallocz(size_t(ist.dec_ctx->subtitle_header_size) + 1));
            if (!ost.enc_ctx->subtitle_header) {
                error = "av_malloc failed";
                ret = AVERROR(ENOMEM);
                break;
            }
            std::memcpy(ost.enc_ctx->subtitle_header, ist.dec_ctx->subtitle_header,
                        size_t(ist.dec_ctx->subtitle_header_size));
            ost.enc_ctx->subtitle_header_size = ist.dec_ctx->subtitle_header_size;
        }
        if (FJoinMode) {
            ost.codec_id_join = ost.enc_ctx->codec_id;
            ff::av_dict_copy(&ost.opts_join, ost.opts, 0);
            // Each joined part gets a new encoder made from these settings.
            const AVMediaType type = ost.enc_ctx->codec_type;
            if ((type == AVMEDIA_TYPE_AUDIO || type == AVMEDIA_TYPE_VIDEO || type == AVMEDIA_TYPE_SUBTITLE) &&
                !ost.join_params &&
                !(ost.join_params = CopyEncoderSettings(ost.enc_ctx, ost.enc))) {
                error = "Out of memory";
                ret = AVERROR(ENOMEM);
                break;
            }
        }
        if (ff::avcodec_open2(ost.enc_ctx, ost.enc, &ost.opts) < 0) {
            error = FormatText("Error while opening encoder for output stream #%d:%d (%s) - maybe incorrect parameters such "
                        "as bit_rate, rate, width or height. Please check error log message(reported by FFLogger) to "
                        "find out more detail information.",
                        ost.file_index, ost.index, MediaName(ost.enc_ctx->codec_type));
            ret = AVERROR(EINVAL);
            break;
        }
        AddToCodecList(FEncoderList, &ost);
        if (KeepJoinHeader(ost) < 0) {
            error = "Out of memory";
            ret = AVERROR(ENOMEM);
            break;
        }
        CheckExperimentalCodec(*this, ost.enc_ctx, true);
        AssertNoUnusedOptions(*this, ost.opts);
        if (FJoinMode) {
            ff::av_dict_free(&ost.opts);
            ost.opts = ost.opts_join;
            ost.opts_join = nullptr;
        }
        if (ost.enc_ctx->bit_rate > 0 && ost.enc_ctx->bit_rate < 1000)
            GetFFLogger()->Log(this, llWarning,
                               "The bitrate parameter is set too low. It takes bits/s as argument, not kbits/s");
        count_header_bytes(*this, ost.enc_ctx->extradata_size);
        // The muxer stream describes what the encoder makes.
        int r = ff::avcodec_parameters_from_context(ost.st->codecpar, ost.enc_ctx);
        if (r < 0) {
            error = ErrorCodeText("Could not copy the encoder parameters", r);
            ret = r;
            break;
        }
        ost.st->time_base = ost.enc_ctx->time_base;
        if (ost.enc_ctx->codec_type == AVMEDIA_TYPE_VIDEO) {
            ost.st->avg_frame_rate = ost.frame_rate;
            ost.st->r_frame_rate = ost.frame_rate;
        }
    }

    for (int i = 0; i < nb_input_streams() && ret >= 0; ++i)
        if (!decoderOpen[size_t(i)])
            ret = open_input_decoder(*this, i, error);

    if (ret >= 0)
        for (const TInputFile& f : input_files)
            for (unsigned p = 0; p < f.ctx->nb_programs; ++p) {
                AVProgram* pg = f.ctx->programs[p];
                AVDiscard discard = AVDISCARD_ALL;
                for (unsigned k = 0; k < pg->nb_stream_indexes; ++k)
                    if (!input_streams[size_t(f.ist_index) + pg->stream_index[k]].discard) {
                        discard = AVDISCARD_DEFAULT;
                        break;
                    }
                pg->discard = discard;
            }

    bool wantSdp = true;
    for (int i = 0; i < nb_output_files() && ret >= 0; ++i) {
        TOutputFile& of = output_files[size_t(i)];
        for (int k = of.ost_index; k < nb_output_streams(); ++k) {
            TOutputStream& ost = output_streams[size_t(k)];
            if (ost.file_index != i)
                break;
            if (InitBitstreamFilters(ost) < 0) {
                error = FormatText("Error initializing bitstream filter for output stream #%d:%d", i, ost.index);
                ret = AVERROR(EINVAL);
                break;
            }
        }
        if (ret < 0)
            break;
        of.ctx->interrupt_callback = FWriteCallback;
        if (!(of.ctx->oformat->flags & AVFMT_NOFILE) && !of.ctx->pb) {
            // An existing file named as the output is opened (emptied) only now.
            StampWrite();
            int r = ff::avio_open2(&of.ctx->pb, of.ctx->url, AVIO_FLAG_WRITE, &FWriteCallback, &of.opts);
            ClearWrite();
            if (r < 0) {
                error = ErrorCodeText(of.ctx->url, r);
                ret = r;
                break;
            }
        }
        StampWrite();
        int r = ff::avformat_write_header(of.ctx, &of.opts);
        ClearWrite();
        if (r < 0) {
            error = FormatText("Could not write header for output file #%d (incorrect codec parameters ?)", i);
            ret = AVERROR(EINVAL);
            break;
        }
        of.header_written = true;
        if (!ContainerIs(of.ctx, "rtp"))
            wantSdp = false;
        if (FJoinMode)
            break;
    }

    log_stream_mapping(*this);
    if (ret < 0) {
        FLastErrMsg = error;
        GetFFLogger()->Log(this, llError, error);
        return ret;
    }
    if (wantSdp)
        log_sdp(*this);
    return 0;
}
