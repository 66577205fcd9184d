#include "engine/capture/ScreenCapture.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include "engine/bindings/AVCodecStubs.h"
#include "engine/bindings/AVFormatStubs.h"
#include "engine/bindings/AVUtilStubs.h"
#include "engine/common/EngineRegistry.h"
#include "engine/common/EngineSource.h"
#include "platform/gui/FrameForm.h"
#include "platform/media/ScreenGrab.h"
#include "platform/user/Window.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace {

struct TScreenCaptureState;

// The private record: the option class first, then the option values.
struct Twin32_grab {
    const AVClass* class_;
    char* input_type_str;
    char* video_size;
    char* framerate;
    char* capture_offset;
    int capture_flags;
    TScreenCaptureState* state;
};

enum : int { kShowFrame = 1, kClient = 2, kCursor = 4 };

struct TScreenCaptureState {
    std::unique_ptr<TScreenGrabber> grabber;
    HWND window_handle = nullptr;
    bool foreign = false;   // another program's window, found by title
    RECT foreign_rect{};
    bool client = false;
    bool cursor = false;
    int x_off = 0, y_off = 0;
    int width = 0, height = 0, bpp = 0;
    int row = 0;            // bytes of one packed row
    int size = 0;           // bytes of one picture
    TGrabPixels pixels = TGrabPixels::Bgr0;
    AVRational time_base{};  // 1 / frame rate
    int64_t time_start = 0;  // monotonic clock at the first read (microseconds)
    int64_t slot = 0;        // the next picture's slot
    int64_t paused_at = -1;  // monotonic clock when the task's run was held; -1: not held
    bool Started = false;
    TFrameForm* frame = nullptr;
    std::thread::id frame_thread;
    TGrabCursor cursor_image;  // reused between pictures
};

int Fail(void* ALog, int ACode, const char* AFormat, const char* AArg = nullptr)
{
    ff::av_log(ALog, AV_LOG_ERROR, AFormat, AArg);
    return ACode;
}

// The window's capture origin on the screen: its client area or the whole window.
bool SourceRect(const TScreenCaptureState& s, RECT& r)
{
    if (s.foreign) {
        r = s.foreign_rect;
        return true;
    }
    if (!s.window_handle) {
        const SIZE screen = s.grabber->ScreenSize();
        r = RECT{0, 0, screen.cx, screen.cy};
        return true;
    }
    if (!IsWindow(s.window_handle))
        return false;
    if (s.client) {
        RECT c{};
        POINT o{0, 0};
        if (!GetClientRect(s.window_handle, &c) || !ClientToScreen(s.window_handle, &o))
            return false;
        r = RECT{o.x, o.y, o.x + c.right, o.y + c.bottom};
        return true;
    }
    return GetWindowRect(s.window_handle, &r) != 0;
}

// The captured area on the screen.
bool CaptureArea(const TScreenCaptureState& s, RECT& r)
{
    RECT src{};
    if (!SourceRect(s, src))
        return false;
    r = RECT{src.left + s.x_off, src.top + s.y_off, src.left + s.x_off + s.width, src.top + s.y_off + s.height};
    return true;
}

bool ParseDecimal(const char* AText, long long& AValue)
{
    if (!AText || !*AText)
        return false;
    const char* p = AText;
    if (*p == '-' || *p == '+')
        ++p;
    if (!*p)
        return false;
    for (const char* q = p; *q; ++q)
        if (*q < '0' || *q > '9')
            return false;
    errno = 0;
    char* end = nullptr;
    AValue = std::strtoll(AText, &end, 10);
    return errno == 0 && end && *end == 0;
}

bool ParseOffset(const char* AText, int& x, int& y)
{
    const char* comma = std::strchr(AText, ',');
    if (!comma)
        return false;
    const std::string a(AText, comma);
    long long vx = 0, vy = 0;
    if (!ParseDecimal(a.c_str(), vx) || !ParseDecimal(comma + 1, vy) || vx < INT_MIN || vx > INT_MAX ||
        vy < INT_MIN || vy > INT_MAX)
        return false;
    x = int(vx);
    y = int(vy);
    return true;
}

int ScreenCaptureReadHeader(AVFormatContext* s1)
{
    auto* g = static_cast<Twin32_grab*>(s1->priv_data);
    g->state = new TScreenCaptureState;
    TScreenCaptureState& s = *g->state;
    const char* name = s1->url ? s1->url : "";

    // 1. What is captured.
    const std::string type = g->input_type_str ? g->input_type_str : "";
    std::string error;
    bool foundByTitle = false;
    if (type == "hwnd") {
        long long handle = 0;
        if (!ParseDecimal(name, handle) || handle <= 0)
            return Fail(g, AVERROR(EINVAL), "Invalid capture parameter: \"%s\", it should be a window handle\n", name);
        s.window_handle = reinterpret_cast<HWND>(static_cast<intptr_t>(handle));
    } else if (type == "title") {
        s.window_handle = FindWindow(nullptr, name);
        foundByTitle = s.window_handle != nullptr;
    } else if (!type.empty() && type != "desktop") {
        return Fail(g, AVERROR(EINVAL), "Invalid capture input type: \"%s\", it should be hwnd, title or desktop\n",
                    type.c_str());
    }

    // 2. The frame rate.
    const char* rateText = g->framerate ? g->framerate : "";
    AVRational rate{};
    if (ff::av_parse_video_rate(&rate, rateText) < 0)
        return Fail(g, AVERROR(EINVAL), "Could not parse framerate \"%s\".\n", rateText);
    if (rate.num <= 0 || rate.den <= 0)
        return Fail(g, AVERROR(EINVAL), "Invalid frame rate\n");
    s.time_base = AVRational{rate.den, rate.num};

    // 3, 4. Size and offset.
    int wantW = 0, wantH = 0;
    if (g->video_size) {
        if (ff::av_parse_video_size(&wantW, &wantH, g->video_size) < 0)
            return Fail(g, AVERROR(EINVAL), "Couldn't parse video size.\n");
        if (wantW <= 0 || wantH <= 0)
            return Fail(g, AVERROR(EINVAL), "Invalid frame size\n");
    }
    if (g->capture_offset && !ParseOffset(g->capture_offset, s.x_off, s.y_off))
        return Fail(g, AVERROR(EINVAL), "Couldn't parse capture-offset.\n");

    // 5. Flags.
    s.client = (g->capture_flags & kClient) != 0;
    s.cursor = (g->capture_flags & kCursor) != 0;
    const bool showFrame = (g->capture_flags & kShowFrame) != 0;

    // 6. The screen, and the window on it.
    s.grabber = OpenScreenGrabber(error);
    if (!s.grabber) {
        ff::av_log(g, AV_LOG_ERROR, "Couldn't get window DC (error %li)\n", 6L);
        ff::av_log(g, AV_LOG_ERROR, "%s\n", error.c_str());
        return AVERROR(EIO);
    }
    if (type == "title" && !s.window_handle) {
        s.foreign = s.grabber->FindForeignWindow(name, s.foreign_rect);
        if (!s.foreign)
            return Fail(g, AVERROR(EINVAL), "Could not find window: \"%s\"\n", name);
        foundByTitle = true;
    }
    RECT src{};
    if (!SourceRect(s, src)) {
        // A handle that names no window of this program.
        ff::av_log(g, AV_LOG_ERROR, "Couldn't get window DC (error %li)\n", 1400L);
        return AVERROR(EIO);
    }

    // 7. The size, cut to the source; a negative offset or one beyond the
    // source leaves nothing to capture.
    const int srcW = src.right - src.left, srcH = src.bottom - src.top;
    s.width = wantW ? wantW : srcW;
    s.height = wantH ? wantH : srcH;
    s.width = std::min(s.width, srcW - s.x_off);
    s.height = std::min(s.height, srcH - s.y_off);
    s.bpp = s.grabber->BitsPerPixel();
    const SIZE screen = s.grabber->ScreenSize();
    RECT area{};
    CaptureArea(s, area);
    // Parts of a window beyond the screen are not captured.
    if (area.right > screen.cx)
        s.width -= int(area.right - screen.cx);
    if (area.bottom > screen.cy)
        s.height -= int(area.bottom - screen.cy);
    if (s.x_off < 0 || s.y_off < 0 || area.left < 0 || area.top < 0 || s.width <= 0 || s.height <= 0 ||
        s.bpp % 8 != 0)
        return Fail(g, AVERROR(EIO), "Invalid properties, aborting\n");

    // 9. The picture format: no palette pictures.
    AVPixelFormat format = AV_PIX_FMT_NONE;
    s.pixels = s.grabber->Pixels();
    switch (s.pixels) {
    case TGrabPixels::Rgb555: format = AV_PIX_FMT_RGB555LE; break;
    case TGrabPixels::Rgb565: format = AV_PIX_FMT_RGB565LE; break;
    case TGrabPixels::Bgr24: format = AV_PIX_FMT_BGR24; break;
    case TGrabPixels::Bgr0: format = AV_PIX_FMT_BGR0; break;
    case TGrabPixels::Palette8: break;
    }
    if (format == AV_PIX_FMT_NONE) {
        ff::av_log(g, AV_LOG_ERROR, "image depth %i not supported ... aborting\n", s.bpp);
        return AVERROR(EPERM);
    }
    s.row = s.width * (s.bpp / 8);
    s.size = s.row * s.height;

    // 10. The stream.
    AVStream* st = ff::avformat_new_stream(s1, nullptr);
    if (!st)
        return AVERROR(ENOMEM);
    st->time_base = AVRational{1, 1000000};
    AVCodecParameters* par = st->codecpar;
    par->codec_type = AVMEDIA_TYPE_VIDEO;
    par->codec_id = AV_CODEC_ID_RAWVIDEO;
    par->width = s.width;
    par->height = s.height;
    par->format = format;
    par->bit_rate = int64_t(double(s.size) * 8 * rate.num / rate.den + 0.5);
    st->r_frame_rate = st->avg_frame_rate = rate;
    if (showFrame) {
        TScreenCaptureState* state = &s;
        s.frame = new TFrameForm([state](RECT& r) { return CaptureArea(*state, r); }, 2);
        s.frame_thread = std::this_thread::get_id();
    }

    // 11.
    if (foundByTitle)
        ff::av_log(g, AV_LOG_INFO, "Found window %s, ", name);
    ff::av_log(g, AV_LOG_INFO, "ready for capturing %ix%ix%i at (%i,%i)\n", s.width, s.height, s.bpp, s.x_off,
               s.y_off);
    return 0;
}

// Waits until the monotonic clock reaches ADue; false when the task's read
// callback asks to stop.
bool WaitUntil(AVFormatContext* s1, int64_t ADue)
{
    for (;;) {
        const int64_t delay = ADue - ff::av_gettime_relative();
        if (delay <= 0)
            return true;
        if (s1->interrupt_callback.callback && s1->interrupt_callback.callback(s1->interrupt_callback.opaque))
            return false;
        ff::av_usleep(unsigned(std::min<int64_t>(delay, 20000)));
    }
}

int ScreenCaptureReadPacket(AVFormatContext* s1, AVPacket* pkt)
{
    auto* g = static_cast<Twin32_grab*>(s1->priv_data);
    TScreenCaptureState& s = *g->state;
    const int64_t now = ff::av_gettime_relative();
    if (!s.Started) {
        s.time_start = now;
        s.slot = 0;
        s.Started = true;
        if (s.frame)
            s.frame->SetStarted();
    }
    // The slot's time in microseconds; a reader more than one slot late
    // skips every slot it missed.
    const int64_t period = ff::av_rescale_q(1, s.time_base, AVRational{1, 1000000});
    auto slotTime = [&](int64_t k) { return ff::av_rescale_q(k, s.time_base, AVRational{1, 1000000}); };
    if (now - s.time_start > slotTime(s.slot) + period)
        s.slot = ff::av_rescale_q(now - s.time_start, AVRational{1, 1000000}, s.time_base);
    const int64_t due = s.time_start + slotTime(s.slot);
    if (!WaitUntil(s1, due))
        return AVERROR_EXIT;

    if (ff::av_new_packet(pkt, s.size) < 0)
        return AVERROR(EIO);
    RECT area{};
    std::string error;
    if (!CaptureArea(s, area) || !s.grabber->Grab(area, pkt->data, s.row, error)) {
        ff::av_log(g, AV_LOG_ERROR, "Failed to capture image (error %li)\n", 5L);
        return AVERROR(EPERM);
    }
    if (s.cursor && s.grabber->Cursor(s.cursor_image))
        DrawGrabCursor(s.cursor_image,
                       POINT{s.cursor_image.Position.x - area.left, s.cursor_image.Position.y - area.top}, s.pixels,
                       pkt->data, s.row, s.width, s.height);
    pkt->pts = pkt->dts = slotTime(s.slot);
    pkt->duration = period;
    pkt->stream_index = 0;
    pkt->flags |= AV_PKT_FLAG_KEY;
    ++s.slot;
    return s.size;
}

// The task's run is held: no picture is taken until it goes on.
int ScreenCaptureReadPause(AVFormatContext* s1)
{
    auto* g = static_cast<Twin32_grab*>(s1->priv_data);
    if (g->state && g->state->Started && g->state->paused_at < 0)
        g->state->paused_at = ff::av_gettime_relative();
    return 0;
}

// The run goes on: the clock moves on by the held span, so the next picture
// takes the next slot and the pause leaves no gap in the time stamps.
int ScreenCaptureReadPlay(AVFormatContext* s1)
{
    auto* g = static_cast<Twin32_grab*>(s1->priv_data);
    TScreenCaptureState* s = g->state;
    if (s && s->paused_at >= 0) {
        s->time_start += ff::av_gettime_relative() - s->paused_at;
        s->paused_at = -1;
    }
    return 0;
}

int ScreenCaptureReadClose(AVFormatContext* s1)
{
    auto* g = static_cast<Twin32_grab*>(s1->priv_data);
    if (!g || !g->state)
        return 0;
    TScreenCaptureState* s = g->state;
    g->state = nullptr;
    if (s->frame) {
        // The ring's thread ends before the record goes; the window frees
        // itself in its own thread.
        if (s->frame_thread == std::this_thread::get_id()) {
            s->frame->Detach();
            delete s->frame;
        } else {
            s->frame->Detach();
        }
    }
    delete s;
    return 0;
}

const AVOption kScreenCaptureOptions[] = {
    SourceStringOption("input_type", "one of {hwnd, title, desktop}, default desktop",
                       offsetof(Twin32_grab, input_type_str), "desktop"),
    SourceStringOption("video_size", "A string describing frame size, such as 640x480 or hd720.",
                       offsetof(Twin32_grab, video_size), nullptr),
    SourceStringOption("framerate", "", offsetof(Twin32_grab, framerate), "ntsc"),
    SourceStringOption("capture_offset", "%d,%d: offset on x and y against the final source window",
                       offsetof(Twin32_grab, capture_offset), nullptr),
    SourceIntOption("capture_flags", "", offsetof(Twin32_grab, capture_flags), 7, INT_MIN, INT_MAX,
                    AV_OPT_TYPE_FLAGS, "capture_flags"),
    SourceFlagValue("showframe", "show frame", kShowFrame, "capture_flags"),
    SourceFlagValue("client", "capture client dc instead of window dc", kClient, "capture_flags"),
    SourceFlagValue("cursor", "capture cursor", kCursor, "capture_flags"),
    AVOption{}};

const AVClass kScreenCaptureClass = SourceClass("ScreenCaptureFormat", kScreenCaptureOptions);

const TEngineInputFormat kScreenCapture{.Name = "screencapture",
                                .LongName = "Screen capture using GDI",
                                .Flags = AVFMT_NOFILE,
                                .PrivClass = &kScreenCaptureClass,
                                .PrivDataSize = sizeof(Twin32_grab),
                                .ReadHeader = ScreenCaptureReadHeader,
                                .ReadPacket = ScreenCaptureReadPacket,
                                .ReadClose = ScreenCaptureReadClose,
                                .ReadPause = ScreenCaptureReadPause,
                                .ReadPlay = ScreenCaptureReadPlay};

}  // namespace

void RegisterScreenCapture()
{
    RegisterInputFormat(&kScreenCapture);
}
