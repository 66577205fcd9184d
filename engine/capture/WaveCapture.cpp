#include "engine/capture/WaveCapture.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "engine/bindings/AVCodecStubs.h"
#include "engine/bindings/AVFormatStubs.h"
#include "engine/bindings/AVUtilStubs.h"
#include "engine/common/EngineRegistry.h"
#include "engine/common/EngineSource.h"
#include "engine/common/LiveValues.h"
#include "platform/media/SoundInput.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace {

std::atomic<int> gFailAllocationAfter{-1};
constexpr int64_t kMaxBufferBytes = int64_t(64) << 20;

struct TWaveState;

// The private record: the option class first, then the option values.
struct WaveCaptureContext {
    const AVClass* class_;
    int sample_rate;
    int channels;
    char* sample_fmt;
    int bufsize;
    int pause_pointer;
    TWaveState* state;
};

struct TWaveState {
    void* log = nullptr;  // the record, as log context
    int device = -1;
    TSoundFormat format;
    int block_align = 1;
    int buffer_size = 0;
    uint8_t* buffers[2] = {nullptr, nullptr};
    int current = 0;
    std::unique_ptr<TSoundInput> input;
    std::shared_ptr<TLiveValueCell> pause;
    std::thread reader;
    std::atomic<bool> started{false};
    std::atomic<bool> stopped{false};
    std::atomic<bool> held{false};    // the task's run is held: sound is dropped
    std::mutex mutex;                 // guards queue, failed, queued_frames
    std::condition_variable event;    // something was queued, or the reader failed
    std::deque<AVPacket*> queue;
    bool failed = false;
    int64_t queued_frames = 0;        // sample frames queued so far: the next packet's time
    int queued_packets = 0;
};

bool ParseDeviceNumber(const char* AText, int& AValue)
{
    if (!AText || !*AText)
        return false;
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(AText, &end, 10);
    if (errno || *end || v < INT_MIN || v > INT_MAX)
        return false;
    AValue = int(v);
    return true;
}

// The reader thread: the device's buffers filled in turn, each queued as a
// packet once the task reads and unless paused.
void ReaderLoop(TWaveState* s)
{
    std::string error;
    while (!s->stopped.load()) {
        uint8_t* buffer = s->buffers[s->current];
        const int n = s->input->Read(buffer, s->buffer_size, error);
        if (s->stopped.load() || n == 0)
            break;
        if (n < 0) {
            ff::av_log(s->log, AV_LOG_ERROR, "%s\n", error.c_str());
            std::lock_guard<std::mutex> g(s->mutex);
            s->failed = true;
            s->event.notify_all();
            break;
        }
        const bool paused = s->held.load() || (s->pause && s->pause->load() != 0);
        if (!s->started.load()) {
            ff::av_log(s->log, AV_LOG_DEBUG, "not started, skip wave data %d bytes\n", n);
        } else if (!paused) {
            std::lock_guard<std::mutex> g(s->mutex);
            AVPacket* pkt = ff::av_packet_alloc();
            const int failAfter = gFailAllocationAfter.load();
            const bool forcedFailure = failAfter >= 0 && s->queued_packets >= failAfter;
            if (!pkt || forcedFailure || ff::av_new_packet(pkt, n) < 0) {
                ff::av_packet_free(&pkt);
                ff::av_log(s->log, AV_LOG_ERROR, "av_new_packet() error\n");
                s->failed = true;
                s->event.notify_all();
                break;
            }
            std::memcpy(pkt->data, buffer, size_t(n));
            const int frames = n / s->block_align;
            pkt->pts = pkt->dts = ff::av_rescale(s->queued_frames, 1000000, s->format.Rate);
            pkt->duration = ff::av_rescale(frames, 1000000, s->format.Rate);
            pkt->stream_index = 0;
            s->queued_frames += frames;
            ++s->queued_packets;
            s->queue.push_back(pkt);
            s->event.notify_all();
        }
        s->current = 1 - s->current;
    }
}

void WaveCloseDevice(TWaveState* s)
{
    s->stopped.store(true);
    if (s->input)
        s->input->Stop();
    if (s->reader.joinable())
        s->reader.join();
    s->input.reset();
    for (uint8_t*& b : s->buffers)
        ff::av_freep(&b);
    for (AVPacket* p : s->queue)
        ff::av_packet_free(&p);
    s->queue.clear();
}

bool WaveOpenDevice(TWaveState* s)
{
    if (SoundInputDevices().empty()) {
        ff::av_log(s->log, AV_LOG_ERROR, "No wave audio recording devices found.\n");
        return false;
    }
    s->block_align = s->format.Channels * s->format.Bits / 8;
    if (s->block_align <= 0)
        s->block_align = 1;
    const int64_t size = int64_t(s->buffer_size) - int64_t(s->buffer_size) % s->block_align;
    s->buffer_size = int(size);
    for (uint8_t*& b : s->buffers) {
        // Minutes of sound per buffer is no buffer size but a slip of the
        // hand; it is refused before the memory is asked for.
        b = size > 0 && size <= kMaxBufferBytes ? static_cast<uint8_t*>(ff::av_mallocz(size_t(size))) : nullptr;
        if (!b) {
            ff::av_log(s->log, AV_LOG_ERROR, "Error allocating wave buffer memory.\n");
            return false;
        }
    }
    std::string error;
    s->input = OpenSoundInput(s->device, s->format, error);
    if (!s->input) {
        ff::av_log(s->log, AV_LOG_ERROR, "%s\n", error.c_str());
        return false;
    }
    s->current = 0;
    s->reader = std::thread(ReaderLoop, s);
    return true;
}

int WaveCaptureReadHeader(AVFormatContext* s1)
{
    auto* ctx = static_cast<WaveCaptureContext*>(s1->priv_data);
    ctx->state = new TWaveState;
    TWaveState& s = *ctx->state;
    s.log = ctx;
    const char* name = s1->url ? s1->url : "";
    if (!ParseDeviceNumber(name, s.device)) {
        ff::av_log(ctx, AV_LOG_ERROR, "Invalid device identifier: \"%s\"\n", name);
        return AVERROR(EINVAL);
    }
    const std::string fmt = ctx->sample_fmt && *ctx->sample_fmt ? ctx->sample_fmt : "s16";
    if (fmt == "u8") {
        s.format.Bits = 8;
    } else if (fmt == "s16") {
        s.format.Bits = 16;
    } else {
        ff::av_log(ctx, AV_LOG_ERROR, "Invalid sample format: \"%s\", it should be u8 or s16\n", fmt.c_str());
        return AVERROR(EINVAL);
    }
    s.buffer_size = ctx->bufsize < 1 ? 4096 : ctx->bufsize;
    if (ctx->sample_rate <= 0) {
        ff::av_log(ctx, AV_LOG_ERROR, "Invalid sample rate %d\n", ctx->sample_rate);
        return AVERROR(EINVAL);
    }
    if (ctx->channels <= 0) {
        ff::av_log(ctx, AV_LOG_ERROR, "Invalid channels %d\n", ctx->channels);
        return AVERROR(EINVAL);
    }
    s.format.Rate = ctx->sample_rate;
    s.format.Channels = ctx->channels;
    // The pause flag is a live value named by its handle, never an address.
    if (ctx->pause_pointer) {
        s.pause = FindLiveValue(ctx->pause_pointer);
        if (!s.pause) {
            ff::av_log(ctx, AV_LOG_ERROR, "Invalid pause_pointer handle %d\n", ctx->pause_pointer);
            return AVERROR(EINVAL);
        }
    }
    if (!WaveOpenDevice(&s))
        return AVERROR(EIO);

    AVStream* st = ff::avformat_new_stream(s1, nullptr);
    if (!st) {
        ff::av_log(ctx, AV_LOG_ERROR, "Cannot add stream.\n");
        return AVERROR(ENOMEM);
    }
    st->time_base = AVRational{1, 1000000};
    AVCodecParameters* par = st->codecpar;
    par->codec_type = AVMEDIA_TYPE_AUDIO;
    par->codec_id = s.format.Bits == 8 ? AV_CODEC_ID_PCM_U8 : AV_CODEC_ID_PCM_S16LE;
    par->format = s.format.Bits == 8 ? AV_SAMPLE_FMT_U8 : AV_SAMPLE_FMT_S16;
    ff::av_channel_layout_default(&par->ch_layout, s.format.Channels);
    par->sample_rate = s.format.Rate;
    par->block_align = s.block_align;
    par->bit_rate = int64_t(s.format.Rate) * s.format.Channels * s.format.Bits;
    par->frame_size = 4096;
    par->bits_per_coded_sample = s.format.Bits;
    ff::av_log(ctx, AV_LOG_INFO, "ready for recording...\n");
    return 0;
}

int WaveCaptureReadPacket(AVFormatContext* s1, AVPacket* pkt)
{
    auto* ctx = static_cast<WaveCaptureContext*>(s1->priv_data);
    TWaveState& s = *ctx->state;
    s.started.store(true);
    std::unique_lock<std::mutex> g(s.mutex);
    for (;;) {
        if (!s.queue.empty()) {
            AVPacket* first = s.queue.front();
            s.queue.pop_front();
            ff::av_packet_move_ref(pkt, first);
            ff::av_packet_free(&first);
            return pkt->size;
        }
        // A failed device or packet ends the input with an error, after
        // everything queued before it.
        if (s.failed)
            return AVERROR(EIO);
        if (s.stopped.load())
            return AVERROR_EOF;
        if (s1->flags & AVFMT_FLAG_NONBLOCK) {
            ff::av_log(ctx, AV_LOG_DEBUG, "non-block, need read again\n");
            return AVERROR(EAGAIN);
        }
        if (!s.event.wait_for(g, std::chrono::milliseconds(1000),
                              [&] { return !s.queue.empty() || s.failed || s.stopped.load(); })) {
            ff::av_log(ctx, AV_LOG_DEBUG, "wait timeout, need read again\n");
            return AVERROR(EAGAIN);
        }
    }
}

// While the task's run is held no sound is kept, as with the pause flag;
// the time stamps count the kept samples, so they go on without a gap.
int WaveCaptureReadPause(AVFormatContext* s1)
{
    auto* ctx = static_cast<WaveCaptureContext*>(s1->priv_data);
    if (ctx->state)
        ctx->state->held.store(true);
    return 0;
}

int WaveCaptureReadPlay(AVFormatContext* s1)
{
    auto* ctx = static_cast<WaveCaptureContext*>(s1->priv_data);
    if (ctx->state)
        ctx->state->held.store(false);
    return 0;
}

int WaveCaptureReadClose(AVFormatContext* s1)
{
    auto* ctx = static_cast<WaveCaptureContext*>(s1->priv_data);
    if (!ctx || !ctx->state)
        return 0;
    WaveCloseDevice(ctx->state);
    delete ctx->state;
    ctx->state = nullptr;
    return 0;
}

const AVOption kWaveCaptureOptions[] = {
    SourceIntOption("sample_rate", "set audio sampling rate (in Hz)", offsetof(WaveCaptureContext, sample_rate), 44100,
                    0, INT_MAX),
    SourceIntOption("channels", "set number of audio channels", offsetof(WaveCaptureContext, channels), 2, 0,
                    INT_MAX),
    SourceStringOption("sample_fmt", "set sample format", offsetof(WaveCaptureContext, sample_fmt), "s16"),
    SourceIntOption("bufsize", "waveIn buffer size", offsetof(WaveCaptureContext, bufsize), 4096, 0, INT_MAX),
    SourceIntOption("pause_pointer", "integer value of pause flag pointer", offsetof(WaveCaptureContext, pause_pointer),
                    0, INT_MIN, INT_MAX),
    AVOption{}};

const AVClass kWaveCaptureClass = SourceClass("WaveCaptureFormat", kWaveCaptureOptions);

const TEngineInputFormat kWaveCapture{.Name = "wavecapture",
                                .LongName = "Wave capture using waveIn functions",
                                .Flags = AVFMT_NOFILE,
                                .PrivClass = &kWaveCaptureClass,
                                .PrivDataSize = sizeof(WaveCaptureContext),
                                .ReadHeader = WaveCaptureReadHeader,
                                .ReadPacket = WaveCaptureReadPacket,
                                .ReadClose = WaveCaptureReadClose,
                                .ReadPause = WaveCaptureReadPause,
                                .ReadPlay = WaveCaptureReadPlay};

}  // namespace

void RegisterWaveCapture()
{
    RegisterInputFormat(&kWaveCapture);
}

void WaveCaptureFailAllocationAfter(int APackets)
{
    gFailAllocationAfter.store(APackets);
}
