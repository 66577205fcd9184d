#include "engine/capture/VFWCapture.h"

#include <algorithm>
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

#include "engine/bindings/AVCodecStubs.h"
#include "engine/bindings/AVFormatStubs.h"
#include "engine/bindings/AVUtilStubs.h"
#include "engine/common/EngineRegistry.h"
#include "engine/common/EngineSource.h"
#include "engine/common/MainThread.h"
#include "platform/media/Camera.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace {

constexpr int VfwConnectAttempts = 10;
constexpr int VfwDropScores[4] = {62, 75, 87, 100};

struct Tvfw_ctx;

// Owns the open camera (the capture window's part): made and closed in the
// main thread.
class TVFWCapture {
public:
    explicit TVFWCapture(Tvfw_ctx* Avfw_ctx) : Fvfw_ctx(Avfw_ctx) {}
    ~TVFWCapture() { CloseWindow(); }
    bool OpenWindow(int ADriver, std::string& AError);
    void CloseWindow();
    TCameraDevice* Device() const { return FDevice.get(); }

private:
    Tvfw_ctx* Fvfw_ctx;
    std::unique_ptr<TCameraDevice> FDevice;
};

struct TVfwState {
    TVFWCapture* VFWCapture = nullptr;
    std::atomic<bool> open{false};  // the callback's "capture window present"
    std::mutex mutex;
    std::condition_variable event;
    std::deque<AVPacket*> pktl;
    size_t curbufsize = 0;
    unsigned frame_num = 0;
    bool failed = false;
    AVFormatContext* s = nullptr;
    // While the task's run is held pictures are dropped; the span from the
    // first dropped picture to the first one after is taken off every later
    // time stamp, so the pause leaves no gap.
    bool held = false;
    bool gap = false;
    int64_t gap_start_ms = 0;
    int64_t held_ms = 0;
};

// The private record: the option class first, then the option values.
struct Tvfw_ctx {
    const AVClass* class_;
    char* video_size;
    char* framerate;
    TVfwState* state;
};

bool TVFWCapture::OpenWindow(int ADriver, std::string& AError)
{
    RunInMainThread([&] {
        for (int attempt = 0; attempt < VfwConnectAttempts && !FDevice; ++attempt)
            FDevice = ConnectCamera(ADriver, AError);
    });
    return FDevice != nullptr;
}

void TVFWCapture::CloseWindow()
{
    if (!FDevice)
        return;
    RunInMainThread([&] {
        if (Fvfw_ctx && Fvfw_ctx->state)
            Fvfw_ctx->state->open.store(false);
        FDevice->Stop();
        FDevice.reset();
    });
}

void VfwListDrivers(void* ALog, int ALevel)
{
    for (const TCameraDriver& d : CameraDrivers())
        ff::av_log(ALog, ALevel, "VFW Driver device #%d %.80s %.80s\n", d.Number, d.Name.c_str(), d.Version.c_str());
}

AVPixelFormat VfwPixelFormat(uint32_t AFourCC, int ABitCount)
{
    switch (AFourCC) {
    case CameraFourCC('Y', 'U', 'Y', 'V'): return AV_PIX_FMT_YUYV422;
    case CameraFourCC('U', 'Y', 'V', 'Y'): return AV_PIX_FMT_UYVY422;
    case CameraFourCC('Y', 'U', '1', '2'): return AV_PIX_FMT_YUV420P;
    case CameraFourCC('R', 'G', 'B', '3'): return AV_PIX_FMT_RGB24;
    case CameraFourCC('B', 'G', 'R', '3'): return AV_PIX_FMT_BGR24;
    case CameraFourCC('R', 'G', 'B', 'O'): return AV_PIX_FMT_RGB555LE;
    case CameraFourCC('R', 'G', 'B', 'P'): return AV_PIX_FMT_RGB565LE;
    case CameraFourCC('B', 'G', 'R', '4'):
    case CameraFourCC('X', 'R', '2', '4'): return AV_PIX_FMT_BGR0;
    default: (void)ABitCount; return AV_PIX_FMT_NONE;
    }
}

AVCodecID VfwCodecId(uint32_t AFourCC)
{
    return AFourCC == CameraFourCC('M', 'J', 'P', 'G') ? AV_CODEC_ID_MJPEG : AV_CODEC_ID_NONE;
}

void VfwLogBitmapHeader(void* ALog, const TCameraFormat& f)
{
    ff::av_log(ALog, AV_LOG_DEBUG, "BITMAPINFOHEADER\n");
    ff::av_log(ALog, AV_LOG_DEBUG, "biWidth:\t%ld\n", long(f.Width));
    ff::av_log(ALog, AV_LOG_DEBUG, "biHeight:\t%ld\n", long(f.Height));
    ff::av_log(ALog, AV_LOG_DEBUG, "biBitCount:\t%d\n", f.BitCount);
    ff::av_log(ALog, AV_LOG_DEBUG, "biCompression:\t\"%.4s\"\n", reinterpret_cast<const char*>(&f.FourCC));
}

bool VfwShouldDrop(TVfwState& s)
{
    const int limit = s.s->max_picture_buffer > 0 ? int(s.s->max_picture_buffer) : 3041280;
    const int fullness = int(int64_t(s.curbufsize) * 100 / limit);
    const int score = VfwDropScores[++s.frame_num % 4];
    if (fullness >= score) {
        ff::av_log(s.s->priv_data, AV_LOG_ERROR, "real-time buffer %d%% full! frame dropped!\n", fullness);
        return true;
    }
    return false;
}

bool VfwFrameCallback(TVfwState& s, const uint8_t* AData, size_t ASize, int64_t ATimeMs)
{
    // The queue's size is read under its lock, so the rule sees what the
    // reader has taken.
    std::lock_guard<std::mutex> g(s.mutex);
    if (!s.open.load())
        return false;
    if (s.held) {
        if (!s.gap) {
            s.gap = true;
            s.gap_start_ms = ATimeMs;
        }
        return false;
    }
    if (s.gap) {
        s.held_ms += std::max<int64_t>(0, ATimeMs - s.gap_start_ms);
        s.gap = false;
    }
    if (VfwShouldDrop(s))
        return false;
    AVPacket* pkt = ff::av_packet_alloc();
    if (!pkt || ff::av_new_packet(pkt, int(ASize)) < 0) {
        ff::av_packet_free(&pkt);
        return false;  // the picture is lost
    }
    pkt->pts = pkt->dts = ATimeMs - s.held_ms;
    pkt->stream_index = 0;
    pkt->flags |= AV_PKT_FLAG_KEY;
    std::memcpy(pkt->data, AData, ASize);
    s.pktl.push_back(pkt);
    s.curbufsize += ASize;
    s.event.notify_all();
    return true;
}

int Fail(Tvfw_ctx* ctx, const char* AMessage, const char* AArg = nullptr)
{
    ff::av_log(ctx, AV_LOG_ERROR, AMessage, AArg);
    return AVERROR(EIO);
}

int VfwCaptureReadHeader(AVFormatContext* s1)
{
    auto* ctx = static_cast<Tvfw_ctx*>(s1->priv_data);
    ctx->state = new TVfwState;
    TVfwState& s = *ctx->state;
    s.s = s1;
    const std::vector<TCameraDriver> drivers = CameraDrivers();
    if (drivers.empty()) {
        ff::av_log(ctx, AV_LOG_ERROR, "No VFW device found\n");
        return AVERROR(ENODEV);
    }
    s.VFWCapture = new TVFWCapture(ctx);
    const char* name = s1->url ? s1->url : "";
    char* end = nullptr;
    long number = std::strtol(name, &end, 10);
    if (!*name || *end || number < INT_MIN || number > INT_MAX)
        number = 0;
    std::string error;
    if (!s.VFWCapture->OpenWindow(int(number), error)) {
        VfwListDrivers(ctx, AV_LOG_INFO);
        ff::av_log(ctx, AV_LOG_ERROR, "Could not connect to device #%s.\n", name);
        return AVERROR(ENODEV);
    }
    TCameraDevice* camera = s.VFWCapture->Device();

    AVStream* st = ff::avformat_new_stream(s1, nullptr);
    if (!st)
        return AVERROR(ENOMEM);
    TCameraFormat format;
    if (!camera->GetFormat(format))
        return Fail(ctx, "Could not get Video Format.\n");
    VfwLogBitmapHeader(ctx, format);
    const char* rateText = ctx->framerate ? ctx->framerate : "";
    AVRational rate{};
    if (ff::av_parse_video_rate(&rate, rateText) < 0)
        return Fail(ctx, "Could not parse framerate \"%s\".\n", rateText);
    if (ctx->video_size && ff::av_parse_video_size(&format.Width, &format.Height, ctx->video_size) < 0)
        return Fail(ctx, "Couldn't parse video size.\n");
    if (!camera->SetFormat(format) || !camera->GetFormat(format))
        return Fail(ctx, "Could not set Video Format.\n");
    if (!camera->SetFrameRate(rate.num, rate.den))
        return Fail(ctx, "Could not set capture parameters.\n");

    AVCodecParameters* par = st->codecpar;
    par->codec_type = AVMEDIA_TYPE_VIDEO;
    par->width = format.Width;
    par->height = format.Height;
    const AVPixelFormat pix = VfwPixelFormat(format.FourCC, format.BitCount);
    if (pix == AV_PIX_FMT_NONE) {
        par->codec_id = VfwCodecId(format.FourCC);
        if (par->codec_id == AV_CODEC_ID_NONE) {
            ff::av_log(ctx, AV_LOG_ERROR,
                       "Unknown compression type. Please report verbose (-v 9) debug information.\n");
            return AVERROR_PATCHWELCOME;
        }
        par->bits_per_coded_sample = format.BitCount;
    } else {
        par->codec_id = AV_CODEC_ID_RAWVIDEO;
        par->format = pix;
        par->bits_per_coded_sample = format.BitCount;
    }
    st->time_base = AVRational{1, 1000};
    st->r_frame_rate = st->avg_frame_rate = rate;

    s.open.store(true);
    if (!camera->Start([&s](const uint8_t* d, size_t n, int64_t ms) { return VfwFrameCallback(s, d, n, ms); },
                       [&s, ctx](const std::string& AError) {
                           ff::av_log(ctx, AV_LOG_ERROR, "%s\n", AError.c_str());
                           std::lock_guard<std::mutex> g(s.mutex);
                           s.failed = true;
                           s.event.notify_all();
                       },
                       error)) {
        s.open.store(false);
        ff::av_log(ctx, AV_LOG_ERROR, "%s\n", error.c_str());
        return Fail(ctx, "Could not start capture sequence.\n");
    }
    return 0;
}

int VfwCaptureReadPacket(AVFormatContext* s1, AVPacket* pkt)
{
    auto* ctx = static_cast<Tvfw_ctx*>(s1->priv_data);
    TVfwState& s = *ctx->state;
    std::unique_lock<std::mutex> g(s.mutex);
    for (;;) {
        if (!s.pktl.empty()) {
            AVPacket* first = s.pktl.front();
            s.pktl.pop_front();
            s.curbufsize -= size_t(first->size);
            ff::av_packet_move_ref(pkt, first);
            ff::av_packet_free(&first);
            return pkt->size;
        }
        // A camera that went away ends the input after its queued pictures.
        if (s.failed)
            return AVERROR(EIO);
        if (s1->flags & AVFMT_FLAG_NONBLOCK)
            return AVERROR(EAGAIN);
        if (!s.event.wait_for(g, std::chrono::milliseconds(1000), [&] { return !s.pktl.empty() || s.failed; }))
            return AVERROR(EAGAIN);
    }
}

int VfwCaptureHold(AVFormatContext* s1, bool AHeld)
{
    auto* ctx = static_cast<Tvfw_ctx*>(s1->priv_data);
    if (TVfwState* s = ctx->state) {
        std::lock_guard<std::mutex> g(s->mutex);
        s->held = AHeld;
    }
    return 0;
}

int VfwCaptureReadPause(AVFormatContext* s1) { return VfwCaptureHold(s1, true); }
int VfwCaptureReadPlay(AVFormatContext* s1) { return VfwCaptureHold(s1, false); }

int VfwCaptureReadClose(AVFormatContext* s1)
{
    auto* ctx = static_cast<Tvfw_ctx*>(s1->priv_data);
    if (!ctx || !ctx->state)
        return 0;
    TVfwState* s = ctx->state;
    delete s->VFWCapture;  // closes the camera in the main thread; no callback runs after
    s->VFWCapture = nullptr;
    for (AVPacket* p : s->pktl)
        ff::av_packet_free(&p);
    delete s;
    ctx->state = nullptr;
    return 0;
}

const AVOption kVfwOptions[] = {
    SourceStringOption("video_size", "A string describing frame size, such as 640x480 or hd720.",
                       offsetof(Tvfw_ctx, video_size), nullptr),
    SourceStringOption("framerate", "", offsetof(Tvfw_ctx, framerate), "ntsc"),
    AVOption{}};

const AVClass kVfwClass = SourceClass("VFW indev", kVfwOptions);

const TEngineInputFormat kVfwCapture{.Name = "vfwcapture",
                                .LongName = "VfW video capture",
                                .Flags = AVFMT_NOFILE,
                                .PrivClass = &kVfwClass,
                                .PrivDataSize = sizeof(Tvfw_ctx),
                                .ReadHeader = VfwCaptureReadHeader,
                                .ReadPacket = VfwCaptureReadPacket,
                                .ReadClose = VfwCaptureReadClose,
                                .ReadPause = VfwCaptureReadPause,
                                .ReadPlay = VfwCaptureReadPlay};

}  // namespace

void RegisterVfwCapture()
{
    if (RegisterInputFormat(&kVfwCapture))
        VfwListDrivers(nullptr, AV_LOG_DEBUG);
}
