// The audio callback: decodes the audio queue, converts to the device's
// signed 16-bit format, shortens blocks towards a video master clock, applies
// mute and volume, feeds the audio hook and keeps the audio clock.
#include <cstring>

#include "engine/bindings/AVCodecStubs.h"
#include "engine/bindings/AVFormatStubs.h"
#include "engine/bindings/SwResampleStubs.h"
#include "engine/common/FFLog.h"
#include "engine/player/FFPlayState.h"

extern "C" {
#include <libswresample/swresample.h>
}

namespace {

// Converts the decoded frame into audio_buf2; its size in bytes, or -1.
int ConvertFrame(TVideoState* is, AVFrame* AFrame)
{
    TCustomPlayer* p = is->Owner;
    AVChannelLayout layout{};
    if (AFrame->ch_layout.nb_channels > 0 && ff::av_channel_layout_check(&AFrame->ch_layout))
        ff::av_channel_layout_copy(&layout, &AFrame->ch_layout);
    else
        ff::av_channel_layout_default(&layout, is->audio_ctx->ch_layout.nb_channels);
    AVSampleFormat fmt = AVSampleFormat(AFrame->format);
    if (fmt != is->audio_src_fmt || AFrame->sample_rate != is->audio_src_freq ||
        ff::av_channel_layout_compare(&layout, &is->audio_src_layout) != 0 || !is->swr_ctx) {
        ff::swr_free(&is->swr_ctx);
        int ret = ff::swr_alloc_set_opts2(&is->swr_ctx, &is->audio_tgt_layout, AV_SAMPLE_FMT_S16, is->audio_hw.Rate,
                                          &layout, fmt, AFrame->sample_rate, 0, nullptr);
        if (ret < 0 || ff::swr_init(is->swr_ctx) < 0) {
            GetFFLogger()->Log(p->AsSender(), llError,
                               "Cannot create sample rate converter for conversion of %d Hz %s %d channels to %d Hz %s "
                               "%d channels!",
                               AFrame->sample_rate, ff::av_get_sample_fmt_name(fmt), layout.nb_channels,
                               is->audio_hw.Rate, "s16", is->audio_hw.Channels);
            ff::swr_free(&is->swr_ctx);
            ff::av_channel_layout_uninit(&layout);
            is->audio_src_fmt = AV_SAMPLE_FMT_NONE;
            return -1;
        }
        is->audio_src_fmt = fmt;
        is->audio_src_freq = AFrame->sample_rate;
        ff::av_channel_layout_uninit(&is->audio_src_layout);
        ff::av_channel_layout_copy(&is->audio_src_layout, &layout);
    }
    ff::av_channel_layout_uninit(&layout);
    int frameBytes = 2 * is->audio_hw.Channels;
    int room = kAudioBufSize / frameBytes;
    uint8_t* out = is->audio_buf2.data();
    // every plane of a planar frame goes in (extended_data)
    int n = ff::swr_convert(is->swr_ctx, &out, room, const_cast<const uint8_t**>(AFrame->extended_data),
                            AFrame->nb_samples);
    if (n < 0) {
        GetFFLogger()->Log(p->AsSender(), llInfo, "audio_resample() failed");
        return -1;
    }
    if (n == room) {
        GetFFLogger()->Log(p->AsSender(), llInfo, "warning: audio buffer is probably too small");
        ff::swr_init(is->swr_ctx);
    }
    return n * frameBytes;
}

// One block of converted audio in audio_buf; its size, or -1 (silence).
int audio_decode_frame(TVideoState* is, double& APts)
{
    for (;;) {
        if (is->paused || is->audioq.Aborted()) return -1;
        int r = ff::avcodec_receive_frame(is->audio_ctx, is->audio_frame);
        if (r == 0) {
            AVFrame* f = is->audio_frame;
            if (f->pts != AV_NOPTS_VALUE) is->audio_clock = f->pts * av_q2d(is->audio_st->time_base);
            int size = ConvertFrame(is, f);
            int samples = f->nb_samples, rate = f->sample_rate;
            ff::av_frame_unref(f);
            if (size < 0) continue;
            is->audio_buf = is->audio_buf2.data();
            APts = is->audio_clock;
            if (rate > 0) is->audio_clock += double(samples) / rate;
            return size;
        }
        // the decoder wants a packet; the callback never waits for one
        bool flush = false;
        int g = is->audioq.Get(is->audio_pkt, false, flush);
        if (g <= 0) return -1;
        if (flush) {
            ff::avcodec_flush_buffers(is->audio_ctx);
            continue;
        }
        if (r == AVERROR_EOF && !is->audio_pkt->data) {
            ff::av_packet_unref(is->audio_pkt);
            continue;
        }
        int s = ff::avcodec_send_packet(is->audio_ctx, is->audio_pkt->data ? is->audio_pkt : nullptr);
        if (s < 0 && s != AVERROR_EOF && s != AVERROR(EAGAIN))
            GetFFLogger()->Log(is->Owner->AsSender(), llInfo, "avcodec_decode_audio3() failed");
        ff::av_packet_unref(is->audio_pkt);
    }
}

// The block shortened towards a video or external master clock.
int synchronize_audio(TVideoState* is, int ASize)
{
    bool videoMaster = is->av_sync_type == AV_SYNC_VIDEO_MASTER && is->video_st;
    if (!videoMaster && is->av_sync_type != AV_SYNC_EXTERNAL_CLOCK) return ASize;
    double diff = get_audio_clock(is) - get_master_clock(is);
    double avg = 0;
    if (!is->audio_diff.Add(diff, avg)) return ASize;
    return CorrectedAudioSize(ASize, diff, is->audio_hw.Rate, 2 * is->audio_hw.Channels, kAudioBufSize);
}

}  // namespace

void sdl_audio_callback(TVideoState* is, uint8_t* AStream, int ALength)
{
    TCustomPlayer* p = is->Owner;
    int64_t callbackTime = NowMicros();
    is->audio_callback_time = callbackTime;
    // A seek or flush drops what is left of the current block.
    int serial = is->audio_flush_serial;
    if (serial != is->audio_seen_serial) {
        is->audio_seen_serial = serial;
        is->audio_buf_index = is->audio_buf_size;
    }
    while (ALength > 0) {
        if (is->audio_buf_index >= is->audio_buf_size) {
            if (is->audioq.Aborted()) break;
            double pts = 0;
            int size = audio_decode_frame(is, pts);
            if (size < 0) {
                is->audio_buf = is->silence_buf.data();
                is->audio_buf_size = int(is->silence_buf.size());
            } else {
                if (p->AudioHook() && p->OnAudioHook)
                    p->OnAudioHook(p->AsSender(), int64_t(std::llround(pts * 1000000)) - is->StartTime, is->audio_buf,
                                   size, is->audio_hw.Rate, is->audio_hw.Channels);
                if (is->show_mode != 0) update_sample_display(is, is->audio_buf, size);
                is->audio_buf_size = synchronize_audio(is, size);
            }
            is->audio_buf_index = 0;
        }
        int n = std::min(is->audio_buf_size - is->audio_buf_index, ALength);
        MixSamples(reinterpret_cast<int16_t*>(AStream),
                   reinterpret_cast<const int16_t*>(is->audio_buf + is->audio_buf_index), n / 2, p->AudioVolume(),
                   p->Mute());
        is->audio_buf_index += n;
        AStream += n;
        ALength -= n;
    }
    if (ALength > 0) std::memset(AStream, 0, size_t(ALength));
    is->audio_write_buf_size = is->audio_buf_size - is->audio_buf_index;
    double bytesPerSec = double(is->audio_hw.Rate) * is->audio_hw.Channels * 2;
    if (!is->paused && is->audio_buf != is->silence_buf.data()) {
        // what sounds now: before the block just filled and the device's queue
        double unheard = double(is->audio_hw.BufferBytes) + is->audio_hw.LatencyBytes + is->audio_write_buf_size;
        double pts = is->audio_clock - unheard / bytesPerSec;
        is->audio_current_pts = pts;
        is->audio_current_pts_drift = pts - callbackTime / 1000000.0;
    } else if (!is->paused) {
        // no sound to play: the clock stands where the last sound ended
        is->audio_current_pts_drift = is->audio_current_pts - callbackTime / 1000000.0;
    }
}
