// The video thread (decoding, filtering, the queue of two pictures) and the
// play thread (picture timing against the master clock, drawing, requests).
#include <algorithm>
#include <chrono>
#include <cmath>

#include "engine/bindings/AVCodecStubs.h"
#include "engine/bindings/AVFilterStubs.h"
#include "engine/bindings/AVFormatStubs.h"
#include "engine/common/FFLog.h"
#include "engine/player/FFPlayState.h"

extern "C" {
#include <libavfilter/buffersrc.h>
}

double NowSeconds() { return ff::av_gettime_relative() / 1000000.0; }
int64_t NowMicros() { return ff::av_gettime_relative(); }

double get_audio_clock(TVideoState* is)
{
    if (is->paused) return is->audio_current_pts;
    return NowSeconds() + is->audio_current_pts_drift;
}

double get_video_clock(TVideoState* is)
{
    if (is->paused) return is->video_current_pts;
    double drift = is->video_current_pts_drift;
    if (drift == 0) return is->StartTime / 1000000.0;
    return NowSeconds() + drift;
}

double get_master_clock(TVideoState* is)
{
    switch (is->av_sync_type) {
    case AV_SYNC_VIDEO_MASTER:
        return is->video_st ? get_video_clock(is) : get_audio_clock(is);
    case AV_SYNC_AUDIO_MASTER:
        return is->audio_st ? get_audio_clock(is) : get_video_clock(is);
    default:
        return NowSeconds();
    }
}

bool SyncsToMaster(TVideoState* is)
{
    return (is->av_sync_type == AV_SYNC_AUDIO_MASTER && is->audio_st) || is->av_sync_type == AV_SYNC_EXTERNAL_CLOCK;
}

namespace {

void update_video_pts(TVideoState* is, double APts, int64_t APos)
{
    double now = NowSeconds();
    is->video_current_pts = APts;
    is->video_current_pts_drift = APts - now;
    is->video_current_pos = APos;
    is->frame_last_pts = APts;
}

void pictq_next_picture(TVideoState* is)
{
    is->pictq_rindex = (is->pictq_rindex + 1) % 2;
    {
        std::lock_guard<std::mutex> g(is->pictq_mutex);
        --is->pictq_size;
    }
    is->pictq_cond.notify_all();
}

bool BuildFilters(TVideoState* is, const AVFrame* AFrame)
{
    static const AVPixelFormat kSink[] = {AV_PIX_FMT_YUV420P, AV_PIX_FMT_NONE};
    TVideoChainParams p;
    p.Width = AFrame->width;
    p.Height = AFrame->height;
    p.Format = AVPixelFormat(AFrame->format);
    p.SampleAspect = AFrame->sample_aspect_ratio.num ? AFrame->sample_aspect_ratio
                                                     : is->video_st->codecpar->sample_aspect_ratio;
    p.TimeBase = is->video_st->time_base;
    p.Text = is->Owner->VideoFilters();
    p.SinkFormats = kSink;
    p.ScalerFlags = 4;  // bicubic
    is->filters = std::make_unique<TVideoFilterChain>();
    int ret = is->filters->Build(p);
    if (ret < 0) {
        GetFFLogger()->Log(is->Owner->AsSender(), llError, "%s",
                           is->filters->LastError.empty() ? "Could not build the video filters."
                                                         : is->filters->LastError.c_str());
        return false;
    }
    is->filter_w = AFrame->width;
    is->filter_h = AFrame->height;
    return true;
}

// Puts one filtered picture into the queue of two; -1 when the file closes.
int queue_picture(TVideoState* is, AVFrame* AFrame, double APts, int64_t APos, int ASerial)
{
    if (APts != 0)
        is->video_clock = APts;
    else
        APts = is->video_clock;
    double delay = is->frame_delay;
    double duration = delay + AFrame->repeat_pict * delay / 2;
    is->video_clock += duration;
    {
        std::unique_lock<std::mutex> g(is->pictq_mutex);
        is->pictq_cond.wait(g, [is] { return is->pictq_size < 2 || is->videoq.Aborted(); });
    }
    if (is->videoq.Aborted()) return -1;
    TPictureSlot& slot = is->pictq[is->pictq_windex];
    ff::av_frame_unref(slot.Frame);
    ff::av_frame_move_ref(slot.Frame, AFrame);
    if (is->Owner->VerticalFlip()) {
        // shown upside down: the view starts at the last row and goes up
        AVFrame* f = slot.Frame;
        int ch = (f->height + 1) / 2;
        f->data[0] += f->linesize[0] * (f->height - 1);
        f->data[1] += f->linesize[1] * (ch - 1);
        f->data[2] += f->linesize[2] * (ch - 1);
        for (int i = 0; i < 3; ++i) f->linesize[i] = -f->linesize[i];
    }
    is->Owner->DoPictureHooks(slot.Frame, APts, is->StartTime);
    slot.pts = APts;
    slot.pos = APos;
    slot.duration = duration;
    slot.skip = false;
    slot.serial = ASerial;
    is->pictq_windex = (is->pictq_windex + 1) % 2;
    {
        std::lock_guard<std::mutex> g(is->pictq_mutex);
        ++is->pictq_size;
    }
    return 0;
}

// After a flush marker: queued pictures are skipped and the timing starts over.
void FlushVideo(TVideoState* is)
{
    ff::avcodec_flush_buffers(is->video_ctx);
    {
        std::unique_lock<std::mutex> g(is->pictq_mutex);
        for (TPictureSlot& s : is->pictq) s.skip = true;
        is->pictq_cond.wait(g, [is] { return is->pictq_size == 0 || is->videoq.Aborted(); });
    }
    is->video_current_pos = -1;
    is->frame_last_pts = NAN;
    is->frame_last_duration = 0;
    is->frame_timer = NowSeconds();
    is->frame_last_dropped_pts = NAN;
    is->video_drained = 0;
}

// True when a decoded picture is already too late to be worth filtering.
bool DropEarly(TVideoState* is, double ADpts, int64_t APos)
{
    int framedrop = is->Owner->framedrop();
    bool drop = SyncsToMaster(is) && (framedrop > 0 || (framedrop != 0 && is->audio_st));
    if (!drop || std::isnan(is->frame_last_pts) || ADpts == 0) return false;
    std::lock_guard<std::mutex> g(is->pictq_mutex);
    double clockdiff = get_video_clock(is) - get_master_clock(is);
    double ptsdiff = ADpts - is->frame_last_pts;
    if (std::fabs(clockdiff) < 10.0 && ptsdiff > 0 && ptsdiff < 10.0 &&
        clockdiff + ptsdiff - is->frame_last_filter_delay < 0) {
        is->frame_last_dropped_pos = APos;
        is->frame_last_dropped_pts = ADpts;
        ++is->frame_drops_early;
        return true;
    }
    return false;
}

// One filtered picture reached the queue: seek and open hand-shakes, stepping.
void PictureQueued(TVideoState* is, int ASerial)
{
    TCustomPlayer* player = is->Owner;
    StartAudio(is);
    is->EventEOF = 0;
    // the seek has arrived with the first picture of the new place (pictures
    // of an earlier place, still on their way, do not count)
    is->SeekArrived(ASerial);
    if (is->open_paused == 1) {
        is->open_paused = 2;
    } else if (is->open_paused == 2) {
        is->open_paused = 0;
        is->open_pause_due = true;  // posted by the play thread, after psPlay
        is->req_cond.notify_all();
    }
    if (is->step) {
        is->step = 0;
        is->req_step_pause = true;
        is->req_cond.notify_all();
    }
}

}  // namespace

void TVideoState::BeginSeek(bool APaused)
{
    std::lock_guard<std::mutex> g(seek_lock);
    Owner->FSeeking = true;
    ++seek_serial;
    seek_paused = APaused ? 1 : 0;
}

bool TVideoState::SeekArrived(int ASerial)
{
    std::lock_guard<std::mutex> g(seek_lock);
    if (ASerial != seek_serial || seek_req) return false;
    Owner->FSeeking = false;
    return true;
}

void TVideoState::EndPausedSeek(int ASerial)
{
    std::lock_guard<std::mutex> g(seek_lock);
    if (ASerial == seek_serial) seek_paused = 0;
}

void TVideoState::Request(bool TVideoState::*AFlag)
{
    {
        std::lock_guard<std::mutex> g(req_lock);
        this->*AFlag = true;
    }
    req_cond.notify_all();
}

void video_thread(TVideoState* is)
{
    AVFrame* frame = ff::av_frame_alloc();
    AVFrame* filt = ff::av_frame_alloc();
    AVPacket* pkt = ff::av_packet_alloc();
    bool chainReady = false, chainEnded = false, decoderEnded = false;
    int serial = is->flush_serial;
    AVRational tb = is->video_st->time_base;
    while (frame && filt && pkt && !is->videoq.Aborted()) {
        while ((is->paused || is->req_step_pause) && !is->seek_paused && !is->open_paused && !is->videoq.Aborted())
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        int r = decoderEnded ? AVERROR_EOF : ff::avcodec_receive_frame(is->video_ctx, frame);
        if (r == 0) {
            int64_t pts = frame->best_effort_timestamp;
            if (pts == AV_NOPTS_VALUE) pts = 0;
            double dpts = pts * av_q2d(tb);
            if (DropEarly(is, dpts, frame->pkt_pos)) {
                ff::av_frame_unref(frame);
                continue;
            }
            is->frame_last_returned_time = NowSeconds();
            if (!chainReady || chainEnded || frame->width != is->filter_w || frame->height != is->filter_h) {
                if (chainReady && !chainEnded)
                    GetFFLogger()->Log(is->Owner->AsSender(), llInfo, "Frame changed from size:%dx%d to size:%dx%d",
                                       is->filter_w, is->filter_h, frame->width, frame->height);
                chainReady = BuildFilters(is, frame);
                chainEnded = false;
                if (!chainReady) break;  // video ends; sound plays on
            }
            int64_t pos = frame->pkt_pos;
            frame->pts = pts;
            if (is->filters->Push(frame, 0) < 0) {
                ff::av_frame_unref(frame);
                continue;
            }
            bool aborted = false;
            while (is->filters->Pull(filt) == 0) {
                is->frame_last_filter_delay = NowSeconds() - is->frame_last_returned_time;
                if (std::fabs(is->frame_last_filter_delay) > 1.0) is->frame_last_filter_delay = 0;
                // a paused seek decodes until its first picture
                is->EndPausedSeek(serial);
                double t = filt->pts == AV_NOPTS_VALUE ? 0 : filt->pts * av_q2d(is->filters->TimeBase());
                if (queue_picture(is, filt, t, pos, serial) < 0) {
                    aborted = true;
                    break;
                }
                PictureQueued(is, serial);
            }
            ff::av_frame_unref(filt);
            if (aborted) break;
            continue;
        }
        if (r == AVERROR_EOF && !decoderEnded) {
            decoderEnded = true;
            if (chainReady && !chainEnded) {
                is->filters->Push(nullptr, 0);
                chainEnded = true;
                while (is->filters->Pull(filt) == 0) {
                    double t = filt->pts == AV_NOPTS_VALUE ? 0 : filt->pts * av_q2d(is->filters->TimeBase());
                    if (queue_picture(is, filt, t, -1, serial) < 0) break;
                    PictureQueued(is, serial);
                }
                ff::av_frame_unref(filt);
            }
            is->video_drained = 1;
            // a seek to the very end
            if (is->SeekArrived(serial)) is->EndPausedSeek(serial);
        }
        // the decoder wants a packet
        bool flush = false;
        if (is->videoq.Get(pkt, true, flush, &serial) < 0) break;
        if (flush) {
            FlushVideo(is);
            decoderEnded = false;
            chainEnded = chainReady ? true : false;  // rebuilt at the next picture
            continue;
        }
        if (decoderEnded) {
            ff::av_packet_unref(pkt);
            continue;  // only a flush starts the decoder again
        }
        int s = ff::avcodec_send_packet(is->video_ctx, pkt->data ? pkt : nullptr);
        if (s < 0 && s != AVERROR(EAGAIN) && s != AVERROR_EOF)
            GetFFLogger()->Log(is->Owner->AsSender(), llInfo, "video decoding error %d", s);
        ff::av_packet_unref(pkt);
    }
    ff::av_packet_free(&pkt);
    ff::av_frame_free(&filt);
    ff::av_frame_free(&frame);
}

namespace {

int video_open(TVideoState* is, bool AForce)
{
    TCustomPlayer* p = is->Owner;
    int w, h;
    if (p->ScreenWidth() > 0 && p->ScreenHeight() > 0) {
        w = p->ScreenWidth();
        h = p->ScreenHeight();
    } else if (is->filter_w > 0) {
        w = is->filters->Width() & ~1;
        h = is->filters->Height() & ~1;
    } else {
        w = 640;
        h = 480;
    }
    if (is->surface && is->width == w && is->height == h && !AForce) return 0;
    std::string err;
    if (!p->FVideoOutput || !p->FVideoOutput->SetVideoMode(w, h, err)) {
        GetFFLogger()->Log(p->AsSender(), llError, "Could not set the video mode: %s", err.c_str());
        return -1;
    }
    is->surface = true;
    is->width = w;
    is->height = h;
    return 0;
}

void video_image_display(TVideoState* is)
{
    TCustomPlayer* p = is->Owner;
    std::lock_guard<std::mutex> g(is->shown_lock);
    if (!is->shown || !is->shown->data[0]) return;
    AVRational sar = is->shown->sample_aspect_ratio;
    TRect area(is->xleft, is->ytop, is->xleft + is->width, is->ytop + is->height);
    TRect rect = PictureDisplayRect(area, p->AspectRatio(), is->shown->width, is->shown->height,
                                    sar.num > 0 && sar.den > 0 ? av_q2d(sar) : 0);
    {
        std::lock_guard<std::mutex> r(p->FDisplayRectLock);
        p->FDisplayRect = rect;
    }
    p->FVideoOutput->Display(is->shown, rect);
}

void video_display(TVideoState* is)
{
    if (!is->Owner->FVideoOutput) return;
    if (!is->surface && video_open(is, false) < 0) return;
    if (is->audio_st && is->show_mode != 0)
        video_audio_display(is);
    else if (is->video_st)
        video_image_display(is);
}

// Shows the picture at the read index: it becomes the picture on screen.
void ShowQueuedPicture(TVideoState* is)
{
    TPictureSlot& slot = is->pictq[is->pictq_rindex];
    {
        std::lock_guard<std::mutex> g(is->shown_lock);
        ff::av_frame_unref(is->shown);
        ff::av_frame_move_ref(is->shown, slot.Frame);
        is->shown_pts = slot.pts;
        expire_subtitles(is, slot.pts);
        blend_subtitles(is, is->shown, slot.pts);
    }
    TCustomPlayer* p = is->Owner;
    p->Fframe_width = is->shown->width;
    p->Fframe_height = is->shown->height;
    video_display(is);
}

void video_refresh(TVideoState* is, bool ARefresh)
{
    TCustomPlayer* p = is->Owner;
    if (!is->video_st) {
        if (is->audio_st) {
            video_display(is);
            p->UpdatePosition();
        }
        return;
    }
    bool planned = true;
    for (;;) {
        int size;
        {
            std::lock_guard<std::mutex> g(is->pictq_mutex);
            size = is->pictq_size;
        }
        if (size == 0) {
            double dropped = is->frame_last_dropped_pts;
            if (!std::isnan(dropped) && (std::isnan(double(is->frame_last_pts)) || dropped > is->frame_last_pts)) {
                std::lock_guard<std::mutex> g(is->pictq_mutex);
                update_video_pts(is, dropped, is->frame_last_dropped_pos);
                is->frame_last_dropped_pts = NAN;
            }
            if (!ARefresh) video_display(is);
            break;
        }
        TPictureSlot& slot = is->pictq[is->pictq_rindex];
        if (slot.skip || slot.serial < is->flush_serial) {  // flushed, or of the place before a seek
            pictq_next_picture(is);
            continue;
        }
        double last = slot.pts - is->frame_last_pts;
        if (last > 0 && last < 10.0) is->frame_last_duration = last;
        double delay = ComputeTargetDelay(is->frame_last_duration, get_video_clock(is) - get_master_clock(is),
                                          SyncsToMaster(is));
        double now = NowSeconds();
        if (now < is->frame_timer + delay) {
            if (!ARefresh) video_display(is);
            return;
        }
        if (delay > 0) {
            double n = std::floor((now - is->frame_timer) / delay);
            is->frame_timer += n > 1 ? n * delay : delay;
        }
        {
            std::lock_guard<std::mutex> g(is->pictq_mutex);
            update_video_pts(is, slot.pts, slot.pos);
        }
        if (size == 2 && !is->IsDevice) {
            double next = is->pictq[(is->pictq_rindex + 1) % 2].pts - slot.pts;
            int framedrop = p->framedrop();
            if ((framedrop > 0 || (framedrop != 0 && is->audio_st)) && now > is->frame_timer + next) {
                ++is->frame_drops_late;
                pictq_next_picture(is);
                planned = false;
                continue;
            }
        }
        ShowQueuedPicture(is);
        pictq_next_picture(is);
        break;
    }
    if (planned) p->UpdatePosition();
}

}  // namespace

void stream_toggle_pause(TVideoState* is)
{
    if (is->paused) {
        double now = NowSeconds();
        is->frame_timer += now + is->video_current_pts_drift - is->video_current_pts;
        if (is->read_pause_return != AVERROR(ENOSYS)) is->video_current_pts = is->video_current_pts_drift + now;
        is->video_current_pts_drift = is->video_current_pts - now;
        // the audio clock resumes where it stood
        is->audio_current_pts_drift = is->audio_current_pts - now;
        is->paused = 0;
    } else {
        is->paused = 1;
    }
}

void event_loop(TVideoState* is)
{
    TCustomPlayer* p = is->Owner;
    for (;;) {
        bool relayout = false, expose = false, fill = false;
        {
            std::unique_lock<std::mutex> l(is->req_lock);
            int period = is->audio_st && is->show_mode != 0 ? 20 : 5;
            is->req_cond.wait_for(l, std::chrono::milliseconds(period), [is] {
                return is->req_quit || is->req_relayout || is->req_expose || is->req_fill || is->req_step_pause ||
                       is->open_pause_due;
            });
            if (is->req_quit) return;
            relayout = std::exchange(is->req_relayout, false);
            expose = std::exchange(is->req_expose, false);
            fill = std::exchange(is->req_fill, false);
        }
        std::lock_guard<std::mutex> d(p->FDataLock);
        if (is->open_pause_due.exchange(false)) p->SetState(psPause);
        if (is->req_step_pause) {
            if (!is->paused) stream_toggle_pause(is);
            is->req_step_pause = false;
        }
        if (fill && is->surface && p->FVideoOutput) {
            // another show mode: it starts on a black area
            p->FVideoOutput->FillRect(TRect(is->xleft, is->ytop, is->xleft + is->width, is->ytop + is->height), 0);
            is->xpos = is->xleft;
            if (is->paused || !is->video_st) video_display(is);
        }
        if (relayout) {
            video_open(is, true);
            video_display(is);
        } else if (expose) {
            video_display(is);
        }
        video_refresh(is, true);
    }
}
