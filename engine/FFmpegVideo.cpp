#include "engine/FFmpegVideo.h"

#include <cmath>

#include "engine/AVCodecStubs.h"
#include "engine/AVFilterStubs.h"
#include "engine/AVFormatStubs.h"
#include "engine/AVUtilStubs.h"
#include "engine/FFLog.h"
#include "engine/FFTexts.h"
#include "engine/FFmpegFilters.h"
#include "engine/FFmpegWriter.h"
#include "engine/SwScaleStubs.h"

namespace {

int SyncMethod(const TCustomFFmpeg& Self, const AVFormatContext* Oc)
{
    if (Self.Fvideo_sync_method >= 0)
        return Self.Fvideo_sync_method;
    if (!(Oc->oformat->flags & AVFMT_VARIABLE_FPS))
        return 1;
    return (Oc->oformat->flags & AVFMT_NOTIMESTAMPS) ? 0 : 2;
}

// A picture whose size or format differs from the encoder's (an input that
// changes mid-stream, a joined part of another size) is scaled to it: an
// encoder must never read past a smaller picture.
AVFrame* FitToEncoder(TCustomFFmpeg& Self, TOutputStream& O, AVFrame* F)
{
    AVCodecContext* enc = O.enc_ctx;
    if (F->width == enc->width && F->height == enc->height && F->format == enc->pix_fmt)
        return nullptr;
    O.img_resample_ctx =
        ff::sws_getCachedContext(O.img_resample_ctx, F->width, F->height, AVPixelFormat(F->format), enc->width,
                                 enc->height, enc->pix_fmt, int(O.sws_flags ? O.sws_flags : SWS_BICUBIC), nullptr,
                                 nullptr, nullptr);
    AVFrame* out = ff::av_frame_alloc();
    if (!O.img_resample_ctx || !out) {
        ff::av_frame_free(&out);
        Self.Fatal("Cannot initialize the conversion context");
    }
    out->width = enc->width;
    out->height = enc->height;
    out->format = enc->pix_fmt;
    if (ff::av_frame_get_buffer(out, 0) < 0) {
        ff::av_frame_free(&out);
        Self.Fatal("Out of memory while scaling a picture");
    }
    ff::av_frame_copy_props(out, F);
    ff::sws_scale(O.img_resample_ctx, F->data, F->linesize, 0, F->height, out->data, out->linesize);
    return out;
}

// Keeps the frame rate and encodes one filtered picture (pts in microseconds).
void encode_video_out(TCustomFFmpeg& Self, TOutputStream& O, AVFrame* AFrame)
{
    AVCodecContext* enc = O.enc_ctx;
    AVFrame* fitted = FitToEncoder(Self, O, AFrame);
    AVFrame* F = fitted ? fitted : AFrame;
    struct TFree {
        AVFrame*& f;
        ~TFree() { ff::av_frame_free(&f); }
    } freeFitted{fitted};
    const TOutputFile& of = Self.output_files[size_t(O.file_index)];
    const double sync_ipts = double(F->pts - of.start_time) / AV_TIME_BASE / av_q2d(enc->time_base);
    const int method = SyncMethod(Self, of.ctx);
    int64_t nb_frames = 1;
    if (method) {
        const double delta = sync_ipts - double(O.sync_opts);
        if (delta < -1.1)
            nb_frames = 0;
        else if (method == 2) {
            if (delta <= -0.6)
                nb_frames = 0;
            else if (delta > 0.6)
                O.sync_opts = std::llround(sync_ipts);
        } else if (delta > 1.1)
            nb_frames = std::llround(delta);
        if (nb_frames == 0) {
            ++Self.Fnb_frames_drop;
            Self.FShowDupOrDrop = true;
            GetFFLogger()->Log(&Self, llVerbose, "*** drop!");
        } else if (nb_frames > 1) {
            Self.Fnb_frames_dup += int32_t(nb_frames - 1);
            Self.FShowDupOrDrop = true;
            GetFFLogger()->Log(&Self, llVerbose, "*** %d dup!", int(nb_frames - 1));
        }
    } else {
        O.sync_opts = std::llround(sync_ipts);
    }
    if (O.max_frames != INT64_MAX && nb_frames > O.max_frames - O.frame_number)
        nb_frames = O.max_frames - O.frame_number;
    for (int64_t i = 0; i < nb_frames && !Self.Broken(); ++i) {
        F->pts = O.sync_opts;
        F->pict_type = AV_PICTURE_TYPE_NONE;
        if (O.forced_kf_index < O.forced_kf_count && F->pts >= O.forced_kf_pts[O.forced_kf_index]) {
            F->pict_type = AV_PICTURE_TYPE_I;
            ++O.forced_kf_index;
        }
        if (O.top_field_first >= 0)
            F->top_field_first = O.top_field_first;
        encode_and_write(Self, O, F);
        ++O.sync_opts;
        ++O.frame_number;
    }
}

// Frames waiting in segment ASeg's sink go on through its stage and the
// rest of the chain, and out of the last one to the encoder.
void PullFrom(TCustomFFmpeg& Self, TOutputStream& O, size_t ASeg)
{
    TVideoFilterChain& chain = *O.filters;
    TVideoFilterSegment& seg = chain.Segments[ASeg];
    const bool last = ASeg + 1 == chain.Segments.size();
    AVFrame* f = ff::av_frame_alloc();
    try {
        int r;
        while ((r = ff::av_buffersink_get_frame(seg.Sink, f)) >= 0) {
            if (last) {
                const AVRational tb = ff::av_buffersink_get_time_base(seg.Sink);
                f->pts = f->pts == AV_NOPTS_VALUE ? 0 : ff::av_rescale_q(f->pts, tb, AVRational{1, AV_TIME_BASE});
                if (!O.frame_aspect_ratio && f->sample_aspect_ratio.num)
                    O.enc_ctx->sample_aspect_ratio = f->sample_aspect_ratio;
                encode_video_out(Self, O, f);
            } else {
                r = seg.Stage->Process(f);
                if (r < 0)
                    Self.Fatal(ErrorCodeText("Filter failed", r));
                r = ff::av_buffersrc_add_frame_flags(chain.Segments[ASeg + 1].Source, f, 0);
                if (r < 0)
                    Self.Fatal("Failed to inject frame into filter network");
                PullFrom(Self, O, ASeg + 1);
            }
            ff::av_frame_unref(f);
        }
        if (r == AVERROR_EOF && !last) {
            (void)ff::av_buffersrc_add_frame_flags(chain.Segments[ASeg + 1].Source, nullptr, 0);
            PullFrom(Self, O, ASeg + 1);
        }
    } catch (...) {
        ff::av_frame_free(&f);
        throw;
    }
    ff::av_frame_free(&f);
}

}  // namespace

void do_video_out(TCustomFFmpeg& Self, TOutputStream& O, TInputStream& I, AVFrame* F)
{
    if (!O.filters || O.filters->Segments.empty())
        return;
    int r;
    if (F) {
        if (!F->sample_aspect_ratio.num)
            F->sample_aspect_ratio = I.st->sample_aspect_ratio;
        F->pts = I.pts;
        r = ff::av_buffersrc_add_frame_flags(O.filters->Segments[0].Source, F, AV_BUFFERSRC_FLAG_KEEP_REF);
    } else {
        r = ff::av_buffersrc_add_frame_flags(O.filters->Segments[0].Source, nullptr, 0);
    }
    if (r < 0 && r != AVERROR_EOF)
        Self.Fatal("Failed to inject frame into filter network");
    PullFrom(Self, O, 0);
}
