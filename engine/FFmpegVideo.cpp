#include "engine/FFmpegVideo.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/AVCodecStubs.h"
#include "engine/AVFilterStubs.h"
#include "engine/AVFormatStubs.h"
#include "engine/AVUtilStubs.h"
#include "engine/FFLog.h"
#include "engine/FFTexts.h"
#include "engine/FFmpegFilters.h"
#include "engine/FFmpegWriter.h"
#include "engine/Previewer.h"
#include "engine/SwScaleStubs.h"
#include "platform/gui/Graphics.h"
#include "platform/rtl/Exceptions.h"

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
    TPostHookContext& ctx = Self.FOutputVideoHook;
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
    TFormatConverter& conv = Self.OutputHookConverter();
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
    THookPicture& hook = Self.FOutputHookPicture;
    if (!AcquireHookPicture(hook, F)) {
        GetFFLogger()->Log(&Self, llError, "hook buf malloc error.");
        return F;
    }
    CopyPicture(hook.Work, F);
    TAVPicture pic = PictureOf(hook.Work);
    if (Self.OnOutputVideoHook)
        raise_video_hook(Self, Self.OnOutputVideoHook, Self.OutputHookConverter(), AConverted, APTS, AFrameNumber,
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
            ff::av_frame_unref(Self.FOutputHookPicture.Work);
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

void pre_process_video_frame(TCustomFFmpeg& Self, TInputStream& I, AVFrame* F)
{
    ++I.frame_number;
    if (!Self.Fdo_deinterlace && !Self.OnInputFrameHook && !Self.OnInputVideoHook && !Self.FFirstHook)
        return;
    THookPicture& hook = Self.FInputHookPicture;
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
        raise_video_hook(Self, Self.OnInputVideoHook, Self.InputHookConverter(), converted, I.pts, I.frame_number,
                         &pic, F->format, F->width, F->height);
    }
    // The -vhook libraries run even when the application hooks the bitmap
    // too: an option the user gave is never dropped silently.
    if (Self.FFirstHook)
        frame_hook_process(Self.FFirstHook, &pic, F->format, F->width, F->height, I.pts);
    // The decoded picture goes on with the hooked planes.
    ff::av_frame_unref(F);
    ff::av_frame_move_ref(F, hook.Work);
}

void release_video_hooks(TCustomFFmpeg& Self)
{
    frame_hook_release(Self.FFirstHook);
    for (THookPicture* hook : {&Self.FInputHookPicture, &Self.FOutputHookPicture}) {
        if (ff::av_frame_free) {
            ff::av_frame_free(&hook->Keep);
            ff::av_frame_free(&hook->Work);
        }
        *hook = THookPicture{};
    }
    TPostHookContext& ctx = Self.FOutputVideoHook;
    delete ctx.Previewer;
    ctx = TPostHookContext{};
    std::vector<uint8_t>().swap(Self.FAudioHookBuf);
}

void write_video_stats(TCustomFFmpeg& Self, TOutputStream& O, const AVPacket* APkt)
{
    if (!Self.Fvstats_file) {
        Self.Fvstats_file = std::fopen(Self.Fvstats_filename, "w");
        if (!Self.Fvstats_file)
            Self.Fatal(std::string("fopen fail: ") + Self.Fvstats_filename);
    }
    const AVCodecContext* enc = O.enc_ctx;
    if (enc->codec_type != AVMEDIA_TYPE_VIDEO)
        return;
    // The encoder's quantiser, picture type and errors of this packet.
    int quality = 0;
    int pictType = AV_PICTURE_TYPE_NONE;
    int64_t error0 = 0;
    bool haveError = false;
    for (int i = 0; i < APkt->side_data_elems; ++i) {
        const AVPacketSideData& sd = APkt->side_data[i];
        if (sd.type != AV_PKT_DATA_QUALITY_STATS || sd.size < 5)
            continue;
        std::memcpy(&quality, sd.data, 4);
        pictType = sd.data[4];
        if (sd.size >= 16 && sd.data[5] > 0) {
            std::memcpy(&error0, sd.data + 8, 8);
            haveError = true;
        }
    }
    FILE* f = Self.Fvstats_file;
    std::fprintf(f, "frame= %5d q= %2.1f ", enc->frame_number, quality / double(FF_QP2LAMBDA));
    if (enc->flags & AV_CODEC_FLAG_PSNR)
        std::fprintf(f, "PSNR= %6.2f ",
                     haveError ? -10.0 * std::log10(double(error0) /
                                                     (double(enc->width) * enc->height * 255.0 * 255.0))
                               : 0.0);
    std::fprintf(f, "f_size= %6d ", APkt->size);
    const double ti1 = std::max(0.01, double(O.sync_opts) * av_q2d(enc->time_base));
    const double bitrate = APkt->size * 8 / av_q2d(enc->time_base) / 1000.0;
    const double avgBitrate = double(Self.Fvideo_size) * 8 / ti1 / 1000.0;
    std::fprintf(f, "s_size= %8.0fkB time= %0.3f br= %7.1fkbits/s avg_br= %7.1fkbits/s ",
                 double(Self.Fvideo_size) / 1024, ti1, bitrate, avgBitrate);
    std::fprintf(f, "type= %c\n", ff::av_get_picture_type_char(AVPictureType(pictType)));
}
