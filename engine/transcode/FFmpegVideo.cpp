#include "engine/transcode/FFmpegVideo.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/bindings/AVCodecStubs.h"
#include "engine/bindings/AVFilterStubs.h"
#include "engine/bindings/AVFormatStubs.h"
#include "engine/bindings/AVUtilStubs.h"
#include "engine/common/FFLog.h"
#include "engine/common/FFTexts.h"
#include "engine/transcode/FFmpegFilters.h"
#include "engine/transcode/FFmpegEncoder.h"
#include "engine/transcode/FFmpegWriter.h"
#include "engine/decoder/FormatConverter.h"
#include "engine/hooks/FrameHook.h"
#include "engine/hooks/Previewer.h"
#include "engine/bindings/SwScaleStubs.h"
#include "engine/transcode/FFmpeg.h"
#include "platform/gui/Graphics.h"
#include "platform/rtl/Exceptions.h"

// A picture the hooks work on: Keep holds buffers that are reused from frame
// to frame once nothing downstream references them; Work is the frame that
// carries them on.
struct THookPicture {
    AVFrame* Keep = nullptr;
    AVFrame* Work = nullptr;
};

// The post hooks' state: the preview window and the wall-clock times
// (microseconds) of the last and the current preview.
struct TPostHookContext {
    TPreviewer* Previewer = nullptr;
    int64_t preview_last_time = 0;
    int64_t preview_cur_time = 0;
};

struct TVideoPathState {
    PFrameHookEntry FirstHook = nullptr;  // the -vhook chain
    THookPicture InputHookPicture, OutputHookPicture;
    TFormatConverter InputConverter, OutputConverter;  // bitmaps of the bitmap hooks
    TPostHookContext PostHooks;
    int32_t nb_frames_dup = 0, nb_frames_drop = 0;
    bool show_dup_or_drop = false;
    AVFrame* Filtered = nullptr;  // reused for every picture out of the filters
};

TVideoPathState* TStageStateOps<TVideoPathState>::New()
{
    return new TVideoPathState;
}

void TStageStateOps<TVideoPathState>::Free(TVideoPathState* AState)
{
    // The task's clean-up released the hooks already (release_video_hooks).
    if (AState->Filtered && ff::av_frame_free)
        ff::av_frame_free(&AState->Filtered);
    delete AState;
}

namespace {

constexpr AVRational kMicro{1, AV_TIME_BASE};

TAVPicture PictureOf(const AVFrame* F)
{
    TAVPicture pic;
    for (int p = 0; p < 4; ++p) {
        pic.data[p] = F->data[p];
        pic.linesize[p] = F->linesize[p];
    }
    return pic;
}

// Readies AHook.Work as a writable picture of ASrc's format and size with
// ASrc's properties, its planes from AHook.Keep; false when out of memory.
bool AcquireHookPicture(THookPicture& AHook, const AVFrame* ASrc)
{
    if (!AHook.Keep && !(AHook.Keep = ff::av_frame_alloc()))
        return false;
    if (!AHook.Work && !(AHook.Work = ff::av_frame_alloc()))
        return false;
    AVFrame* keep = AHook.Keep;
    if (!keep->buf[0] || keep->format != ASrc->format || keep->width != ASrc->width ||
        keep->height != ASrc->height) {
        ff::av_frame_unref(keep);
        keep->format = ASrc->format;
        keep->width = ASrc->width;
        keep->height = ASrc->height;
        if (ff::av_frame_get_buffer(keep, 0) < 0) {
            ff::av_frame_unref(keep);
            return false;
        }
    } else if (ff::av_frame_make_writable(keep) < 0) {
        // (Planes still held by a filter or the encoder stay with their
        // holder; Keep then gets new ones.)
        return false;
    }
    ff::av_frame_unref(AHook.Work);
    if (ff::av_frame_ref(AHook.Work, keep) < 0)
        return false;
    // Keep never carries side data, so the copy does not pile any up.
    if (ff::av_frame_copy_props(AHook.Work, ASrc) < 0) {
        ff::av_frame_unref(AHook.Work);
        return false;
    }
    return true;
}

void CopyPicture(AVFrame* ADst, const AVFrame* ASrc)
{
    ff::av_image_copy(ADst->data, ADst->linesize, const_cast<const uint8_t**>(ASrc->data), ASrc->linesize,
                      AVPixelFormat(ASrc->format), ASrc->width, ASrc->height);
}

// A vertical (1 2 1)/4 blend of every plane of 8-bit planar pictures: the
// combs of interlaced pictures disappear at the cost of some vertical detail.
bool DeinterlacePicture(AVFrame* ADst, const AVFrame* ASrc)
{
    const AVPixFmtDescriptor* desc = ff::av_pix_fmt_desc_get(AVPixelFormat(ASrc->format));
    if (!desc || !((desc->flags & AV_PIX_FMT_FLAG_PLANAR) || desc->nb_components == 1) ||
        (desc->flags & (AV_PIX_FMT_FLAG_PAL | AV_PIX_FMT_FLAG_BITSTREAM | AV_PIX_FMT_FLAG_HWACCEL |
                        AV_PIX_FMT_FLAG_RGB)) ||
        desc->comp[0].depth != 8 || ASrc->height < 3)
        return false;
    int planes = 0;
    for (int c = 0; c < desc->nb_components; ++c)
        planes = std::max(planes, desc->comp[c].plane + 1);
    for (int p = 0; p < planes; ++p) {
        const bool chroma = p == 1 || p == 2;
        const int w = chroma ? AV_CEIL_RSHIFT(ASrc->width, desc->log2_chroma_w) : ASrc->width;
        const int h = chroma ? AV_CEIL_RSHIFT(ASrc->height, desc->log2_chroma_h) : ASrc->height;
        const uint8_t* src = ASrc->data[p];
        const ptrdiff_t line = ASrc->linesize[p];
        for (int y = 0; y < h; ++y) {
            const uint8_t* above = src + (y > 0 ? y - 1 : y) * line;
            const uint8_t* here = src + y * line;
            const uint8_t* below = src + (y + 1 < h ? y + 1 : y) * line;
            uint8_t* out = ADst->data[p] + ptrdiff_t(y) * ADst->linesize[p];
            for (int x = 0; x < w; ++x)
                out[x] = uint8_t((above[x] + 2 * here[x] + below[x] + 2) >> 2);
        }
    }
    return true;
}

// Runs a bitmap hook on APicture: the converter makes its bitmap, the
// handler may draw on it (AUpdate) and writes it back, or ask to be called
// no more (AStopHook, which clears the event). AConverted tells whether the
// converter's bitmap now shows the picture.
void raise_video_hook(TCustomFFmpeg& Self, TVideoHookEvent& AEvent, TFormatConverter& AConverter,
                      bool& AConverted, int64_t APTS, int AFrameNumber, TAVPicture* APicture, int APixFmt,
                      int AWidth, int AHeight)
{
    AConverted = AConverter.PictureToRGB(APicture, AVPixelFormat(APixFmt), AWidth, AHeight, true);
    if (!AConverted) {
        GetFFLogger()->Log(&Self, llError, AConverter.LastErrMsg());
        AEvent = nullptr;
        return;
    }
    bool update = true;
    bool stop = false;
    try {
        AEvent(&Self, AConverter.Bitmap(), AFrameNumber, APTS, update, stop);
    } catch (const FFmpegException&) {
        throw;
    } catch (const std::exception& e) {
        const auto* ex = dynamic_cast<const Exception*>(&e);
        GetFFLogger()->Log(&Self, llError, "Error occurs VideoHook event: " + (ex ? ex->Message() : e.what()));
        update = false;
    }
    if (update) {
        AConverter.BitmapToRGB();
        // A picture that already had the bitmap's layout was drawn on as it is.
        if (AConverter.RGBPictureRef() != APicture &&
            !AConverter.RGBToPicture(APicture, AVPixelFormat(APixFmt), AWidth, AHeight)) {
            GetFFLogger()->Log(&Self, llError, AConverter.LastErrMsg());
            stop = true;
        }
    } else {
        // The handler may have drawn without asking for it to be kept.
        AConverted = false;
    }
    if (stop)
        AEvent = nullptr;
}

// The preview window and the preview bitmaps, at most once per
// PreviewInterval. The set is read under the post-hook lock, which is not
// held while the window or the bitmap handler waits for the main thread.
void run_post_hooks(TCustomFFmpeg& Self, const AVFrame* F, bool AConverted, int64_t APTS, int AFrameNumber)
{
    bool changed = false;
    const TPostHooks hooks = Self.TakePostHooks(changed);
    TPostHookContext& ctx = Self.VideoPath().PostHooks;
    if (ctx.Previewer && !hooks.Contains(phPreview)) {
        delete ctx.Previewer;
        ctx.Previewer = nullptr;
    }
    const bool bitmap = hooks.Contains(phBitmap) && Self.OnPreviewBitmap;
    if (!bitmap && !hooks.Contains(phPreview))
        return;
    ctx.preview_cur_time = ff::av_gettime_relative();
    if (ctx.preview_last_time && ctx.preview_cur_time - ctx.preview_last_time <= Self.PreviewInterval)
        return;
    ctx.preview_last_time = ctx.preview_cur_time;
    TFormatConverter& conv = Self.VideoPath().OutputConverter;
    bool ok = AConverted && !changed;
    if (!ok) {
        TAVPicture pic = PictureOf(F);
        ok = conv.PictureToRGB(&pic, AVPixelFormat(F->format), F->width, F->height, true);
        if (!ok)
            GetFFLogger()->Log(&Self, llError, conv.LastErrMsg());
    }
    if (bitmap) {
        if (ok) {
            try {
                Self.OnPreviewBitmap(&Self, conv.Bitmap(), AFrameNumber, APTS);
            } catch (const FFmpegException&) {
                throw;
            } catch (const std::exception& e) {
                const auto* ex = dynamic_cast<const Exception*>(&e);
                GetFFLogger()->Log(&Self, llError,
                                   "Error occurs PreviewBitmap event: " + (ex ? ex->Message() : e.what()));
            }
        } else {
            Self.DropPostHook(phBitmap);
        }
        return;
    }
    if (ok) {
        if (!ctx.Previewer)
            ctx.Previewer = new TPreviewer;
        ok = ctx.Previewer->PaintFrame(conv.Bitmap(), AFrameNumber, APTS);
    }
    if (!ok) {
        // Closed by the user (or nothing to show): no window for the rest of
        // this conversion.
        Self.DropPostHook(phPreview);
        delete ctx.Previewer;
        ctx.Previewer = nullptr;
    }
}

// The output hooks on a copy of the picture to encode; the picture the
// encoder is to take (the copy, or F when no hook is set or no copy could
// be made).
const AVFrame* output_hooks(TCustomFFmpeg& Self, const AVFrame* F, bool& AConverted, int64_t APTS,
                            int AFrameNumber)
{
    AConverted = false;
    if (!Self.OnOutputVideoHook && !Self.OnOutputFrameHook)
        return F;
    THookPicture& hook = Self.VideoPath().OutputHookPicture;
    if (!AcquireHookPicture(hook, F)) {
        GetFFLogger()->Log(&Self, llError, "hook buf malloc error.");
        return F;
    }
    CopyPicture(hook.Work, F);
    TAVPicture pic = PictureOf(hook.Work);
    if (Self.OnOutputVideoHook)
        raise_video_hook(Self, Self.OnOutputVideoHook, Self.VideoPath().OutputConverter, AConverted, APTS, AFrameNumber,
                         &pic, F->format, F->width, F->height);
    if (Self.OnOutputFrameHook)
        Self.OnOutputFrameHook(&Self, &pic, F->format, AFrameNumber, F->width, F->height, APTS);
    return hook.Work;
}

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
            ++Self.VideoPath().nb_frames_drop;
            Self.VideoPath().show_dup_or_drop = true;
            GetFFLogger()->Log(&Self, llVerbose, "*** drop!");
        } else if (nb_frames > 1) {
            Self.VideoPath().nb_frames_dup += int32_t(nb_frames - 1);
            Self.VideoPath().show_dup_or_drop = true;
            GetFFLogger()->Log(&Self, llVerbose, "*** %d dup!", int(nb_frames - 1));
        }
    } else {
        O.sync_opts = std::llround(sync_ipts);
    }
    if (O.max_frames != INT64_MAX && nb_frames > O.max_frames - O.frame_number)
        nb_frames = O.max_frames - O.frame_number;
    // The output ends at its recording time: a picture whose time reaches
    // it (a duplicate or one drained from the filters) is not written. The
    // parts of a join keep one time line and are cut per part by their input.
    if (of.recording_time != INT64_MAX && !Self.JoinMode()) {
        const int64_t end =
            ff::av_rescale_q_rnd(of.recording_time, AVRational{1, AV_TIME_BASE}, enc->time_base, AV_ROUND_UP);
        nb_frames = std::max<int64_t>(0, std::min(nb_frames, end - O.sync_opts));
    }
    // A stop cuts a run of duplicates short, but each picture is encoded
    // once: the pictures still held by the decoder when a stop ends the
    // loop come out while it is drained, and belong in the file.
    for (int64_t i = 0; i < nb_frames && (i == 0 || !Self.Broken()); ++i) {
        F->pts = O.sync_opts;
        F->pict_type = AV_PICTURE_TYPE_NONE;
        if (O.forced_kf_index < O.forced_kf_count && F->pts >= O.forced_kf_pts[O.forced_kf_index]) {
            F->pict_type = AV_PICTURE_TYPE_I;
            ++O.forced_kf_index;
        }
        if (O.top_field_first >= 0)
            F->top_field_first = O.top_field_first;
        const int frameNumber = O.frame_number + 1;
        const int64_t pts = ff::av_rescale_q(O.sync_opts, enc->time_base, kMicro);
        bool converted = false;
        const AVFrame* out = output_hooks(Self, F, converted, pts, frameNumber);
        run_post_hooks(Self, out, converted, pts, frameNumber);
        encode_and_write(Self, O, out);
        if (out != F)
            ff::av_frame_unref(Self.VideoPath().OutputHookPicture.Work);
        ++O.sync_opts;
        ++O.frame_number;
    }
}

// Filtered pictures go on to the encoder until the chain wants more input.
void PullFiltered(TCustomFFmpeg& Self, TOutputStream& O)
{
    TVideoFilterChain& chain = *O.filters;
    AVFrame*& f = Self.VideoPath().Filtered;
    if (!f && !(f = ff::av_frame_alloc()))
        Self.Fatal("Out of memory");
    const AVRational tb = chain.TimeBase();
    int r;
    while ((r = chain.Pull(f)) >= 0) {
        f->pts = f->pts == AV_NOPTS_VALUE ? 0 : ff::av_rescale_q(f->pts, tb, kMicro);
        // (Written only when it changes: the encoder may be reading it in
        // its own thread.)
        if (!O.frame_aspect_ratio && f->sample_aspect_ratio.num &&
            av_cmp_q(O.enc_ctx->sample_aspect_ratio, f->sample_aspect_ratio) != 0)
            O.enc_ctx->sample_aspect_ratio = f->sample_aspect_ratio;
        try {
            encode_video_out(Self, O, f);
        } catch (...) {
            ff::av_frame_unref(f);
            throw;
        }
        ff::av_frame_unref(f);
    }
    if (r != AVERROR(EAGAIN) && r != AVERROR_EOF)
        Self.Fatal(ErrorCodeText("Filter failed", r));
}

}  // namespace

void do_video_out(TCustomFFmpeg& Self, TOutputStream& O, TInputStream& I, AVFrame* F)
{
    if (!O.filters || O.filters->Segments.empty())
        return;
    // Pictures decoded on the way from the key frame to an input -ss start
    // lie before it; they never enter the filters, where a source such as a
    // watermark's "movie" starts at time 0 and would not be laid over them.
    if (F && I.pts < 0 && Self.input_files[size_t(I.file_index)].seeked)
        return;
    if (F) {
        if (!F->sample_aspect_ratio.num)
            F->sample_aspect_ratio = I.st->sample_aspect_ratio;
        F->pts = I.pts;
    }
    const int r = O.filters->Push(F, AV_BUFFERSRC_FLAG_KEEP_REF);
    if (r < 0 && r != AVERROR_EOF)
        Self.Fatal("Failed to inject frame into filter network");
    PullFiltered(Self, O);
}

void pre_process_video_frame(TCustomFFmpeg& Self, TInputStream& I, AVFrame* F)
{
    ++I.frame_number;
    if (!Self.Fdo_deinterlace && !Self.OnInputFrameHook && !Self.OnInputVideoHook && !Self.VideoPath().FirstHook)
        return;
    THookPicture& hook = Self.VideoPath().InputHookPicture;
    if (!AcquireHookPicture(hook, F)) {
        GetFFLogger()->Log(&Self, llError, "hook buf malloc error in pre_process_video_frame().");
        return;
    }
    if (!Self.Fdo_deinterlace) {
        CopyPicture(hook.Work, F);
    } else if (!DeinterlacePicture(hook.Work, F)) {
        GetFFLogger()->Log(&Self, llWarning, "Deinterlacing failed.");
        CopyPicture(hook.Work, F);
    }
    TAVPicture pic = PictureOf(hook.Work);
    if (Self.OnInputFrameHook)
        Self.OnInputFrameHook(&Self, &pic, F->format, I.frame_number, F->width, F->height, I.pts);
    if (Self.OnInputVideoHook) {
        bool converted = false;
        raise_video_hook(Self, Self.OnInputVideoHook, Self.VideoPath().InputConverter, converted, I.pts, I.frame_number,
                         &pic, F->format, F->width, F->height);
    }
    // The -vhook libraries run even when the application hooks the bitmap
    // too: an option the user gave is never dropped silently.
    if (Self.VideoPath().FirstHook)
        frame_hook_process(Self.VideoPath().FirstHook, &pic, F->format, F->width, F->height, I.pts);
    // The decoded picture goes on with the hooked planes.
    ff::av_frame_unref(F);
    ff::av_frame_move_ref(F, hook.Work);
}

void release_video_hooks(TCustomFFmpeg& Self)
{
    frame_hook_release(Self.VideoPath().FirstHook);
    for (THookPicture* hook : {&Self.VideoPath().InputHookPicture, &Self.VideoPath().OutputHookPicture}) {
        if (ff::av_frame_free) {
            ff::av_frame_free(&hook->Keep);
            ff::av_frame_free(&hook->Work);
        }
        *hook = THookPicture{};
    }
    TPostHookContext& ctx = Self.VideoPath().PostHooks;
    delete ctx.Previewer;
    ctx = TPostHookContext{};
}

int add_frame_hook(TCustomFFmpeg& Self, const std::vector<std::string>& AWords, std::string* AReason)
{
    return frame_hook_add(Self.VideoPath().FirstHook, AWords, AReason);
}

void set_hook_bits_pixel(TCustomFFmpeg& Self, int ABitsPixel)
{
    Self.VideoPath().InputConverter.SetBitsPixel(ABitsPixel);
    Self.VideoPath().OutputConverter.SetBitsPixel(ABitsPixel);
}

void video_dup_drop(TCustomFFmpeg& Self, int& ADup, int& ADrop, bool& AShow)
{
    TVideoPathState& v = Self.VideoPath();
    ADup = v.nb_frames_dup;
    ADrop = v.nb_frames_drop;
    AShow = v.show_dup_or_drop;
    v.show_dup_or_drop = false;
}

// ---------------------------------------------------------------------------
// The task's entry points into the video path (-vhook and the hook's picture depth)

int TCustomFFmpeg::AddFrameHook(const std::vector<std::string>& AWords)
{
    std::string reason;
    if (add_frame_hook(*this, AWords, &reason) < 0) {
        std::string words;
        for (const std::string& w : AWords)
            words += (words.empty() ? "" : " ") + w;
        Fatal("Failed to add video hook function: " + words + ": " + reason);
    }
    return 0;
}

void TCustomFFmpeg::SetHookBitsPixel(int ABitsPixel)
{
    set_hook_bits_pixel(*this, ABitsPixel);
}
