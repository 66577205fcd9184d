// The read thread of an open file: opens the input and its streams, then
// demultiplexes into the packet queues, carrying out seeks and flushes,
// throttling itself and marking the end of the input.
#include <sys/stat.h>

#include <cmath>
#include <cstring>

#include "engine/bindings/AVCodecStubs.h"
#include "engine/bindings/AVFormatStubs.h"
#include "engine/bindings/AVUtilStubs.h"
#include "engine/bindings/SwResampleStubs.h"
#include "engine/common/FFLog.h"
#include "engine/common/FFTexts.h"
#include "engine/common/MainThread.h"
#include "engine/common/SourceReaders.h"
#include "engine/common/TextFormat.h"
#include "engine/common/UnicodeProtocol.h"
#include "engine/player/FFPlayState.h"

extern "C" {
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

namespace {

int decode_interrupt_cb(void* AOpaque)
{
    auto* player = static_cast<TCustomPlayer*>(AOpaque);
    TVideoState* cb = player->FVideoStateCB.load();
    if (cb && cb->abort_request) return 1;
    int64_t last = player->FLastRead.load();
    if (last == 0) return 1;  // Stop cancels a pending call whatever the time-out
    if (last == INT64_MAX || player->ReadTimeout() <= 0) return 0;
    if (NowMicros() - last <= int64_t(player->ReadTimeout()) * 1000) return 0;
    GetFFLogger()->Log(player->AsSender(), llInfo, "connecting/reading timeout");
    return 1;
}

void LogError(TVideoState* is, const std::string& AMsg)
{
    is->last_error = AMsg;
    GetFFLogger()->Log(is->Owner->AsSender(), llError, AMsg);
}

void PutFlushAll(TVideoState* is)
{
    if (is->audio_stream >= 0) {
        is->audioq.Flush();
        is->audioq.PutFlush(is->flush_serial);
        ++is->audio_flush_serial;
    }
    if (is->video_stream >= 0) {
        is->videoq.Flush();
        is->videoq.PutFlush(is->flush_serial);
    }
    if (is->subtitle_stream >= 0) {
        is->subtitleq.Flush();
        is->subtitleq.PutFlush(is->flush_serial);
    }
}

bool QueuesFull(TVideoState* is)
{
    if (is->audioq.Size() + is->videoq.Size() + is->subtitleq.Size() > kMaxQueueSize) return true;
    bool audioEnough = is->audio_stream < 0 || is->audioq.Size() > 327680;
    bool videoEnough = is->video_stream < 0 || is->videoq.Count() > 5;
    return audioEnough && videoEnough;
}

}  // namespace

int stream_component_open(TVideoState* is, int AStreamIndex)
{
    AVFormatContext* ic = is->ic;
    if (AStreamIndex < 0 || AStreamIndex >= int(ic->nb_streams)) return -1;
    TCustomPlayer* player = is->Owner;
    AVStream* st = ic->streams[AStreamIndex];
    const AVCodec* codec = ff::avcodec_find_decoder(st->codecpar->codec_id);
    if (!codec) {
        LogError(is, "Cannot find decoder.");
        return -1;
    }
    AVCodecContext* ctx = ff::avcodec_alloc_context3(codec);
    if (!ctx) return -1;
    if (ff::avcodec_parameters_to_context(ctx, st->codecpar) < 0) {
        ff::avcodec_free_context(&ctx);
        return -1;
    }
    ctx->pkt_timebase = st->time_base;
    AVDictionary* opts = nullptr;
    ff::av_dict_set(&opts, "threads", "auto", 0);
    if (codec->type == AVMEDIA_TYPE_AUDIO && ctx->ch_layout.nb_channels > 2 && codec->priv_class &&
        ff::av_opt_find(const_cast<AVClass**>(&codec->priv_class), "downmix", nullptr, 0, AV_OPT_SEARCH_FAKE_OBJ))
        ff::av_dict_set(&opts, "downmix", "stereo", 0);  // decoders that can downmix do it themselves
    if (codec->type == AVMEDIA_TYPE_AUDIO && (ctx->sample_rate <= 0 || ctx->ch_layout.nb_channels <= 0)) {
        ff::av_dict_free(&opts);
        ff::avcodec_free_context(&ctx);
        LogError(is, "Invalid sample rate or channel count!");
        return -1;
    }
    if (ff::avcodec_open2(ctx, codec, &opts) < 0) {
        ff::av_dict_free(&opts);
        ff::avcodec_free_context(&ctx);
        LogError(is, "avcodec_open2() failed.");
        return -1;
    }
    ff::av_dict_free(&opts);

    if (ctx->codec_type == AVMEDIA_TYPE_AUDIO) {
        if (!player->FAudioOutput) {
            ff::avcodec_free_context(&ctx);
            return -1;
        }
        // The device plays at most stereo; more channels are mixed down.
        int channels = ctx->ch_layout.nb_channels > 2 ? 2 : ctx->ch_layout.nb_channels;
        TAudioSpec wanted, obtained;
        wanted.Rate = ctx->sample_rate;
        wanted.Channels = channels;
        wanted.Samples = 1024;
        std::string err;
        if (!player->FAudioOutput->Open(wanted, obtained, [is](uint8_t* s, int n) { sdl_audio_callback(is, s, n); },
                                        err)) {
            ff::avcodec_free_context(&ctx);
            LogError(is, "SDL_OpenAudio() failed: " + err);
            return -1;
        }
        if (obtained.Channels <= 0 || obtained.Channels > 8 || obtained.Rate <= 0) {
            player->FAudioOutput->Close();
            ff::avcodec_free_context(&ctx);
            LogError(is, FormatText("SDL advised channel count %d is not supported!", obtained.Channels));
            return -1;
        }
        is->audio_open = true;
        is->audio_hw = obtained;
        if (is->audio_hw.BufferBytes <= 0) is->audio_hw.BufferBytes = obtained.Samples * obtained.Channels * 2;
        if (is->audio_hw.LatencyBytes < 0) is->audio_hw.LatencyBytes = is->audio_hw.BufferBytes;
        ff::av_channel_layout_default(&is->audio_tgt_layout, obtained.Channels);
        is->audio_src_fmt = AV_SAMPLE_FMT_NONE;
        is->audio_src_freq = 0;
        is->audio_buf2.assign(kAudioBufSize, 0);
        // silence in whole sample frames: a block of the device's size
        is->silence_buf.assign(size_t(obtained.Samples) * obtained.Channels * 2, 0);
        is->audio_frame = ff::av_frame_alloc();
        is->audio_pkt = ff::av_packet_alloc();
        is->audio_need_packet = true;
        is->audio_ctx = ctx;
        is->audio_st = st;
        is->audio_stream = AStreamIndex;
        is->AudioDuration =
            st->duration != AV_NOPTS_VALUE ? ff::av_rescale_q(st->duration, st->time_base, AVRational{1, 1000000}) : -1;
        is->audio_buf_size = is->audio_buf_index = 0;
        is->audio_diff = TAudioDiffAverage{};
        is->audio_diff.Threshold = 2.0 * obtained.Samples / obtained.Rate;
        is->audioq.Start();
        is->audioq.PutFlush(is->flush_serial);
        st->discard = AVDISCARD_DEFAULT;
    } else if (ctx->codec_type == AVMEDIA_TYPE_VIDEO) {
        is->video_ctx = ctx;
        is->video_st = st;
        is->video_stream = AStreamIndex;
        std::string log;
        TRateQ decRate{ctx->framerate.num, ctx->framerate.den};
        AVRational cr = st->avg_frame_rate.num ? st->avg_frame_rate : st->r_frame_rate;
        is->frame_delay = ChooseFrameDelay(AStreamIndex, player->FForceFrameRate, player->FAutoAdjustFrameRate,
                                           decRate, TRateQ{cr.num, cr.den}, log);
        if (!log.empty()) GetFFLogger()->Log(player->AsSender(), llInfo, log);
        for (TPictureSlot& s : is->pictq)
            if (!s.Frame) s.Frame = ff::av_frame_alloc();
        if (!is->shown) is->shown = ff::av_frame_alloc();
        is->videoq.Start();
        is->videoq.PutFlush(is->flush_serial);
        st->discard = AVDISCARD_DEFAULT;
        is->video_thread_running = true;
        is->video_tid = std::thread(video_thread, is);
    } else if (ctx->codec_type == AVMEDIA_TYPE_SUBTITLE) {
        is->subtitle_ctx = ctx;
        is->subtitle_st = st;
        is->subtitle_stream = AStreamIndex;
        is->subtitleq.Start();
        is->subtitleq.PutFlush(is->flush_serial);
        st->discard = AVDISCARD_DEFAULT;
        is->subtitle_tid = std::thread(subtitle_thread, is);
    } else {
        ff::avcodec_free_context(&ctx);
        return -1;
    }
    return 0;
}

void stream_component_close(TVideoState* is, int AStreamIndex)
{
    AVFormatContext* ic = is->ic;
    if (!ic || AStreamIndex < 0 || AStreamIndex >= int(ic->nb_streams)) return;
    if (AStreamIndex == is->video_stream) {
        is->videoq.Abort();
        {
            std::lock_guard<std::mutex> g(is->pictq_mutex);
        }
        is->pictq_cond.notify_all();
        if (is->video_tid.joinable()) is->video_tid.join();
        is->video_thread_running = false;
        is->videoq.Flush();
        {
            // the pictures of the old stream go; the one on screen stays
            std::lock_guard<std::mutex> g(is->pictq_mutex);
            for (TPictureSlot& s : is->pictq) ff::av_frame_unref(s.Frame);
            is->pictq_size = is->pictq_rindex = is->pictq_windex = 0;
        }
        is->filters.reset();
        is->filter_w = is->filter_h = 0;
        ff::avcodec_free_context(&is->video_ctx);
        is->video_st = nullptr;
        is->video_stream = -1;
    } else if (AStreamIndex == is->subtitle_stream) {
        is->subtitleq.Abort();
        is->subtitle_stream_changed = 1;
        {
            std::lock_guard<std::mutex> g(is->subpq_mutex);
        }
        is->subpq_cond.notify_all();
        if (is->subtitle_tid.joinable()) is->subtitle_tid.join();
        is->subtitleq.Flush();
        free_subpictures(is);  // every decoded subtitle is freed
        ff::avcodec_free_context(&is->subtitle_ctx);
        is->subtitle_st = nullptr;
        is->subtitle_stream = -1;
    } else if (AStreamIndex == is->audio_stream) {
        is->audioq.Abort();
        if (is->audio_open) is->Owner->FAudioOutput->Close();
        is->audio_open = false;
        is->audioq.Flush();
        ff::swr_free(&is->swr_ctx);
        ff::av_packet_free(&is->audio_pkt);
        ff::av_frame_free(&is->audio_frame);
        ff::av_channel_layout_uninit(&is->audio_tgt_layout);
        ff::av_channel_layout_uninit(&is->audio_src_layout);
        is->audio_buf = nullptr;
        ff::avcodec_free_context(&is->audio_ctx);
        is->audio_st = nullptr;
        is->audio_stream = -1;
        is->AudioDuration = -1;
    }
    ic->streams[AStreamIndex]->discard = AVDISCARD_ALL;
}

namespace {

// Opens the input and its streams; 0, or -1 with the reason in LastErrMsg.
int OpenInput(TVideoState* is)
{
    TCustomPlayer* player = is->Owner;
    std::string name = FileNameToUTF8(is->filename);
    // Pipes, sockets and devices would block the open where no time-out
    // reaches: refused before opening, as the decoder does.
    struct stat st{};
    if (::stat(name.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        player->FLastErrMsg = ErrorCodeText(is->filename, AVERROR(S_ISDIR(st.st_mode) ? EISDIR : EINVAL));
        return -1;
    }
    AVFormatContext* ic = ff::avformat_alloc_context();
    if (!ic) {
        player->FLastErrMsg = ErrorCodeText(is->filename, AVERROR(ENOMEM));
        return -1;
    }
    ic->interrupt_callback.callback = decode_interrupt_cb;
    ic->interrupt_callback.opaque = player;
    player->FVideoStateCB = is;
    player->FLastRead = NowMicros();
    // the picture size asked of raw and capture inputs
    AVDictionary* options = nullptr;
    if (player->Fframe_width_set > 0 && player->Fframe_height_set > 0)
        ff::av_dict_set(&options, "video_size",
                        FormatText("%dx%d", player->Fframe_width_set, player->Fframe_height_set).c_str(), 0);
    int err = OpenSourceInput(&ic, name, player->Ffile_iformat, &options);
    ff::av_dict_free(&options);
    if (err < 0) {
        player->FLastErrMsg = ErrorCodeText(is->filename, err);
        return -1;
    }
    is->ic = ic;
    if (TBeforeFindStreamInfoEvent h = player->OnBeforeFindStreamInfo) {
        if (player->TriggerEventInMainThread())
            RunInMainThread([&] { h(player->AsSender(), ic); });
        else
            h(player->AsSender(), ic);
    }
    player->FLastRead = NowMicros();
    err = ff::avformat_find_stream_info(ic, nullptr);
    player->FLastRead = INT64_MAX;
    if (err < 0) {
        player->FLastErrMsg = FormatText("%s: could not find codec parameters", is->filename.c_str());
        return -1;
    }
    if (ic->pb) ic->pb->eof_reached = 0, ic->pb->error = 0;
    const char* fmt = ic->iformat ? ic->iformat->name : "";
    is->IsImage2 = std::strcmp(fmt, "image2") == 0 || std::strstr(fmt, "_pipe") != nullptr;
    is->StartTime = ic->start_time != AV_NOPTS_VALUE ? ic->start_time : 0;
    is->Duration = ic->duration != AV_NOPTS_VALUE ? ic->duration : -1;
    if (player->Fstart_time != AV_NOPTS_VALUE) {
        int64_t target = player->Fstart_time + (ic->start_time != AV_NOPTS_VALUE ? ic->start_time : 0);
        if (ff::avformat_seek_file(ic, -1, INT64_MIN, target, INT64_MAX, 0) < 0)
            LogError(is, FormatText("%s: could not seek to position %0.3f", is->filename.c_str(), target / 1000000.0));
    }
    for (unsigned i = 0; i < ic->nb_streams; ++i) ic->streams[i]->discard = AVDISCARD_ALL;
    int video = -1, audio = -1;
    if (!player->Fvideo_disable && player->FVideoOutput)
        video = ff::av_find_best_stream(ic, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (!player->Faudio_disable && player->FAudioOutput)
        audio = ff::av_find_best_stream(ic, AVMEDIA_TYPE_AUDIO, -1, video, nullptr, 0);
    is->show_mode = player->FShowMode.load();
    if (audio >= 0) stream_component_open(is, audio);
    int ret = video >= 0 ? stream_component_open(is, video) : -1;
    // subtitles are drawn into the pictures: only with a video stream
    if (ret >= 0) {
        int subtitle = ff::av_find_best_stream(ic, AVMEDIA_TYPE_SUBTITLE, -1, audio >= 0 ? audio : video, nullptr, 0);
        if (subtitle >= 0) stream_component_open(is, subtitle);
    }
    if (is->show_mode == -1) is->show_mode = ret >= 0 ? 0 : 2;
    if (is->video_stream < 0 && is->audio_stream < 0) {
        player->FLastErrMsg = FormatText("%s: could not open codecs, no stream to play.", is->filename.c_str());
        return -1;
    }
    is->open_time = NowSeconds();
    if (is->video_stream < 0) StartAudio(is);
    return 0;
}

// Carries out a stream switch the main thread asked for, between two reads
// and with the play thread held (it draws from the stream being replaced).
void DoSwitch(TVideoState* is)
{
    TCustomPlayer* player = is->Owner;
    std::unique_lock<std::mutex> d(player->FDataLock, std::defer_lock);
    while (!d.try_lock()) {
        if (is->abort_request) return;  // the file closes: the waiter sees it stop
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    auto& req = player->FSwitch;
    int current = req.Type == AVMEDIA_TYPE_AUDIO      ? is->audio_stream
                  : req.Type == AVMEDIA_TYPE_SUBTITLE ? is->subtitle_stream
                                                      : is->video_stream;
    stream_component_close(is, current);
    if (req.Index < 0) {  // subtitles off
        req.Ok = true;
        req.State = 2;
        return;
    }
    is->last_error.clear();
    req.Ok = stream_component_open(is, req.Index) == 0;
    if (req.Ok && req.Type == AVMEDIA_TYPE_AUDIO) {
        is->audio_started = false;
        StartAudio(is);
    }
    if (!req.Ok) req.Error = is->last_error.empty() ? "the stream could not be opened." : is->last_error;
    // The input has been read ahead (up to its end for short files): the new
    // stream starts from where the file plays now.
    double clock = get_master_clock(is);
    if (req.Ok && std::isfinite(clock)) player->StreamSeek(int64_t(clock * 1000000), 0, AVSEEK_FLAG_BACKWARD);
    req.State = 2;
}

void DoSeek(TVideoState* is)
{
    TCustomPlayer* player = is->Owner;
    int64_t target = is->seek_pos;
    int64_t lo = is->seek_rel > 0 ? target - is->seek_rel + 2 : INT64_MIN;
    int64_t hi = is->seek_rel < 0 ? target - is->seek_rel - 2 : INT64_MAX;
    player->FLastRead = NowMicros();
    int ret = ff::avformat_seek_file(is->ic, -1, lo, target, hi, is->seek_flags);
    if (ret < 0) ret = ff::av_seek_frame(is->ic, -1, target, is->seek_flags | AVSEEK_FLAG_BACKWARD);
    player->FLastRead = INT64_MAX;
    if (ret < 0) {
        LogError(is, FormatText("%s: error while seeking", is->filename.c_str()));
        // nothing moved: the pictures on their way stay valid
        std::lock_guard<std::mutex> g(is->seek_lock);
        is->seek_serial = is->flush_serial.load();
        is->seek_paused = 0;
    } else {
        is->flush_serial = is->seek_serial.load();
        PutFlushAll(is);
        is->flush_req = 0;
    }
    is->ReachEOF = 0;
    is->EventEOF = 0;
    is->video_drained = 0;
    // (before the request is cleared: a seek asked for right after it is
    // still on its way)
    if (is->video_stream < 0 || ret < 0) player->FSeeking = false;
    is->seek_req = 0;
}

}  // namespace

void read_thread(TVideoState* is)
{
    TCustomPlayer* player = is->Owner;
    if (OpenInput(is) < 0) {
        is->Opened = -1;
        return;  // stream_open closes what was opened
    }
    is->Opened = 1;
    AVPacket* pkt = ff::av_packet_alloc();
    bool eof = false;
    while (!is->abort_request) {
        // a video stream that gives no picture does not hold the sound back
        if (!is->audio_started && (eof || NowSeconds() - is->open_time > 1.0)) StartAudio(is);
        if (is->paused != is->last_paused) {
            is->last_paused = is->paused;
            if (is->paused)
                is->read_pause_return = ff::av_read_pause(is->ic);
            else
                ff::av_read_play(is->ic);
        }
        if (is->seek_req) {
            DoSeek(is);
            eof = false;
            continue;
        }
        if (player->FSwitch.State == 1) {
            DoSwitch(is);
            continue;
        }
        if (is->flush_req) {
            PutFlushAll(is);
            is->flush_req = 0;
        }
        if (QueuesFull(is)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        if (eof) {
            // the decoders have their drain packets; wait for the queues to empty
            if (is->audioq.Count() == 0 && is->videoq.Count() == 0) is->ReachEOF = 1;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        is->Reading = 1;
        player->FLastRead = NowMicros();
        int ret = ff::av_read_frame(is->ic, pkt);
        player->FLastRead = INT64_MAX;
        is->Reading = 0;
        if (is->abort_request) break;
        if (ret < 0) {
            bool atEnd = ret == AVERROR_EOF || (is->ic->pb && ff::avio_feof(is->ic->pb));
            if (ret == AVERROR(EAGAIN)) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
                continue;
            }
            if (!atEnd && ret != AVERROR_EOF)
                GetFFLogger()->Log(player->AsSender(), llInfo, "error #%d while reading file: %s", ret,
                                   is->filename.c_str());
            else if (!is->IsImage2)
                GetFFLogger()->Log(player->AsSender(), llInfo, "reach end of file: %s", is->filename.c_str());
            // damaged or truncated input: what was read plays, then it ends
            if (is->video_stream >= 0) is->videoq.PutEmpty();
            if (is->audio_stream >= 0) is->audioq.PutEmpty();
            eof = true;
            continue;
        }
        if (pkt->stream_index == is->audio_stream)
            is->audioq.Put(pkt);
        else if (pkt->stream_index == is->video_stream)
            is->videoq.Put(pkt);
        else if (pkt->stream_index == is->subtitle_stream)
            is->subtitleq.Put(pkt);
        else
            ff::av_packet_unref(pkt);
    }
    ff::av_packet_free(&pkt);
}

void StartAudio(TVideoState* is)
{
    if (is->audio_open && !is->audio_started.exchange(true)) is->Owner->FAudioOutput->Pause(false);
}

void stream_close(TVideoState* is)
{
    is->abort_request = 1;
    is->audioq.Abort();
    is->videoq.Abort();
    is->subtitleq.Abort();
    is->pictq_cond.notify_all();
    is->subpq_cond.notify_all();
    if (is->read_tid.joinable()) is->read_tid.join();
    if (is->subtitle_stream >= 0) stream_component_close(is, is->subtitle_stream);
    if (is->audio_stream >= 0) stream_component_close(is, is->audio_stream);
    if (is->video_stream >= 0) stream_component_close(is, is->video_stream);
    is->Owner->FVideoStateCB = nullptr;
    if (is->ic) CloseSourceInput(&is->ic);
}
