#include "engine/player/FFPlay.h"

#include <chrono>
#include <cmath>

#include "engine/bindings/AVCodecStubs.h"
#include "engine/bindings/AVFormatStubs.h"
#include "engine/bindings/FFLoad.h"
#include "engine/common/FFLog.h"
#include "engine/common/TextFormat.h"
#include "engine/common/MainThread.h"
#include "engine/decoder/FormatConverter.h"
#include "engine/player/FFPlayState.h"
#include "engine/player/DeviceAudioOutput.h"
#include "engine/player/PanelVideoOutput.h"
#include "platform/media/SoundOutput.h"
#include "platform/user/Window.h"
#include "platform/gui/Bitmap.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Threads.h"
#include "platform/user/WindowClass.h"

TVideoState::TVideoState(TCustomPlayer* AOwner) : Owner(AOwner) {}

TVideoState::~TVideoState()
{
    for (TPictureSlot& s : pictq) ff::av_frame_free(&s.Frame);
    ff::av_frame_free(&shown);
    if (rdft) ff::av_rdft_end(rdft);
    filters.reset();
}

namespace {

bool InMainThread() { return GetCurrentThreadId() == MainThreadID; }

// Serves the main thread's call queue while a worker is awaited there.
void WaitSlice()
{
    if (InMainThread() && ProcessOneMessage()) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

}  // namespace

TCustomPlayer::TCustomPlayer(TComponent* AOwner)
    : TFFBaseComponent(AOwner),
      FDeviceAudio(std::make_unique<TDeviceAudioOutput>()),
      FRGBConverter(std::make_unique<TFormatConverter>()),
      FHookConverter(std::make_unique<TFormatConverter>())
{
    ResetState();
}

TCustomPlayer::~TCustomPlayer()
{
    OnPosition = nullptr;
    OnState = nullptr;
    OnAudioHook = nullptr;
    OnVideoHook = nullptr;
    OnFrameHook = nullptr;
    Stop(true);
    FEventThreadStop = true;
    FPlayEvent.Push(pekEnd, 0);
    while (!FEventThreadDone) WaitSlice();
    if (FEventThread.joinable()) FEventThread.join();
    ReleasePanel();
    if (FLibUser) FFLoader().Unload(PlayerLibraries);
}

bool TCustomPlayer::LoadAVLib(const TPathFileName& APath)
{
    if (FLibUser) return true;
    if (!APath.empty()) FFLoader().SetLibraryPath(APath);
    if (!FFLoader().Load(PlayerLibraries)) {
        FLastErrMsg = FFLoader().LastErrMsg();
        return false;
    }
    FLibUser = true;
    return true;
}

bool TCustomPlayer::AVLibLoaded() const { return FFLoader().Loaded(PlayerLibraries); }

void TCustomPlayer::UnloadAVLib()
{
    if (!FLibUser) return;
    Stop(true);
    FFLoader().Unload(PlayerLibraries);
    FLibUser = false;
}

void TCustomPlayer::ReportError(const std::string& AMsg, bool AKeep)
{
    GetFFLogger()->Log(AsSender(), llError, AMsg);
    if (AKeep) FLastErrMsg = AMsg;
}

void TCustomPlayer::ResetState()
{
    FState = psStop;
    FLastPTS = AV_NOPTS_VALUE;
    FCurrentPTS = -1;
    if (!FLoading) {
        Fstart_time = AV_NOPTS_VALUE;
        FPlayTime = AV_NOPTS_VALUE;
        FRepeatType = rtRewind;
        FVerticalFlip = false;
        Ffile_iformat = nullptr;
        Fframe_width_set = 0;
        Fframe_height_set = 0;
    }
    FSeeking = false;
}

void TCustomPlayer::SetState(TPlayState AState)
{
    FState = AState;
    if (OnState) FPlayEvent.Push(pekState, AState);
}

void TCustomPlayer::EventThreadMain()
{
    while (!FEventThreadStop) {
        TPlayEventItem item = FPlayEvent.Pop();
        if (item.Kind == pekNone) {
            FPlayEvent.Wait(100);
            continue;
        }
        std::function<void()> call;
        if (item.Kind == pekPosition && OnPosition) {
            TPositionEvent h = OnPosition;
            int64_t v = item.Value;
            call = [this, h, v] { h(AsSender(), v); };
        } else if (item.Kind == pekState && OnState) {
            TPlayStateEvent h = OnState;
            TPlayState s = TPlayState(item.Value);
            call = [this, h, s] { h(AsSender(), s); };
        }
        if (!call) continue;
        if (FTriggerEventInMainThread)
            RunInMainThread(call);
        else
            call();
    }
    FEventThreadDone = true;
}

bool TCustomPlayer::StreamOpen(const TPathFileName& AFileName, bool APaused)
{
    auto* is = new TVideoState(this);
    is->filename = AFileName;
    is->av_sync_type = Fav_sync_type;
    if (APaused) {
        is->paused = 1;
        is->last_paused = 0;
        is->open_paused = 1;
    }
    is->read_tid = std::thread(read_thread, is);
    while (is->Opened == 0) WaitSlice();
    if (is->Opened == 1) {
        FVideoState = is;
        return true;
    }
    stream_close(is);
    delete is;
    return false;
}

bool TCustomPlayer::Open(const TPathFileName& AFileName, HWND AScreenHandle, bool APaused)
{
    if (!AVLibLoaded()) {
        ReportError("libav not loaded.", true);
        return false;
    }
    if (!FUserVideoOutput && !AScreenHandle && !FUserAudioOutput && !SoundOutputAvailable()) {
        ReportError("sdl not loaded.", true);
        return false;
    }
    FLoading = true;
    Stop(true);
    ReleasePanel();
    if (Fdisplay_disable) Fvideo_disable = true;
    FAudioOutput = FUserAudioOutput ? FUserAudioOutput : FDeviceAudio.get();
    FVideoOutput = FUserVideoOutput;
    if (!FVideoOutput && AScreenHandle) {
        FPanelOutput = std::make_unique<TPanelVideoOutput>(AScreenHandle);
        if (!FPanelOutput->Attached()) {
            FPanelOutput.reset();
            ReportError(FormatText("Could not initialize SDL with ScreenHandle(%u): %s", unsigned(uintptr_t(AScreenHandle)),
                                   "no such window"),
                        true);
            FLoading = false;
            return false;
        }
        FPanelOutput->OnResize = [this](int w, int h) {
            // the display area follows the window
            std::lock_guard<std::mutex> g(FDataLock);
            Fscreen_width = w;
            Fscreen_height = h;
            if (FVideoState) FVideoState->Request(&TVideoState::req_relayout);
        };
        FVideoOutput = FPanelOutput.get();
    }
    {
        std::lock_guard<std::mutex> g(FDisplayRectLock);
        FDisplayRect = TRect();
    }
    FLastErrMsg.clear();
    if (!StreamOpen(AFileName, APaused)) {
        GetFFLogger()->Log(AsSender(), llError, FLastErrMsg);
        ReleasePanel();
        FLoading = false;
        return false;
    }
    Finput_filename = AFileName;
    FScreenHandle = AScreenHandle;
    DoFileOpen();
    if (!FEventThread.joinable()) {
        FEventThreadDone = false;
        FEventThreadStop = false;
        FEventThread = std::thread(&TCustomPlayer::EventThreadMain, this);
    }
    if (FPlayThread.joinable()) FPlayThread.join();
    FStopped = false;
    TVideoState* is = FVideoState;
    SetState(psPlay);
    FPlayThread = std::thread([this, is] {
        event_loop(is);
        {
            std::lock_guard<std::mutex> g(FDataLock);
            stream_close(is);
            FVideoState = nullptr;
            delete is;
            if (FVideoOutput) FVideoOutput->Close();
            ResetState();
        }
        SetState(psStop);
        FStopped = true;
    });
    FLoading = false;
    return true;
}

void TCustomPlayer::DoFileOpen()
{
    TVideoState* is = FVideoState;
    if (!is) return;
    int64_t duration = is->IsImage2 ? 0 : is->Duration;
    int fw = -1, fh = -1;
    if (is->video_ctx && is->video_ctx->width > 0) {
        fw = is->video_ctx->width;
        fh = is->video_ctx->height;
    }
    if (OnFileOpen) {
        TFileOpenEvent h = OnFileOpen;
        auto call = [&] { h(AsSender(), duration, fw, fh, Fscreen_width, Fscreen_height); };
        if (FTriggerEventInMainThread)
            RunInMainThread(call);
        else
            call();
    }
    if (FScreenHandle && (Fscreen_width == 0 || Fscreen_height == 0)) {
        RECT r{};
        if (GetClientRect(FScreenHandle, &r)) {
            Fscreen_width = r.right - r.left;
            Fscreen_height = r.bottom - r.top;
        }
    }
}

void TCustomPlayer::ReleasePanel()
{
    // the window's own procedure comes back (main thread, playback ended)
    if (FPanelOutput && FStopped) {
        FVideoOutput = FUserVideoOutput;
        FPanelOutput.reset();
    }
}

void TCustomPlayer::Stop(bool AWaitForStop)
{
    {
        std::lock_guard<std::mutex> g(FDataLock);
        if (TVideoState* is = FVideoState) {
            if (is->paused) stream_toggle_pause(is);
            is->step = 0;
            is->Request(&TVideoState::req_quit);
        } else {
            FLastRead = 0;  // a pending input call gives up
            if (TVideoState* cb = FVideoStateCB.load()) cb->abort_request = 1;
        }
    }
    if (AWaitForStop) WaitForStop();
}

void TCustomPlayer::WaitForStop()
{
    if (FPlayThread.joinable() && FPlayThread.get_id() == std::this_thread::get_id()) return;
    while (!FStopped) WaitSlice();
    if (FPlayThread.joinable()) FPlayThread.join();
    if (IsMainThread()) ReleasePanel();
}

void TCustomPlayer::ToggleStatePause(bool APause)
{
    TVideoState* is = FVideoState;
    if (!is || bool(is->paused) == APause) return;
    stream_toggle_pause(is);
    is->step = 0;
    SetState(APause ? psPause : psResume);
}

void TCustomPlayer::Pause()
{
    std::lock_guard<std::mutex> g(FDataLock);
    ToggleStatePause(true);
}

void TCustomPlayer::Resume()
{
    std::lock_guard<std::mutex> g(FDataLock);
    ToggleStatePause(false);
}

void TCustomPlayer::TogglePause()
{
    std::lock_guard<std::mutex> g(FDataLock);
    if (FVideoState) ToggleStatePause(!FVideoState->paused);
}

void TCustomPlayer::StepToNextFrame()
{
    std::lock_guard<std::mutex> g(FDataLock);
    TVideoState* is = FVideoState;
    if (!is) return;
    if (is->paused) stream_toggle_pause(is);
    if (!is->step.exchange(1)) SetState(psStep);
}

void TCustomPlayer::StreamSeek(int64_t APos, int64_t ARel, int AFlags)
{
    TVideoState* is = FVideoState;
    if (!is || is->seek_req) return;
    is->BeginSeek(is->paused.load() != 0);
    is->seek_pos = APos;
    is->seek_rel = ARel;
    is->seek_flags = AFlags;
    is->seek_req = 1;
}

void TCustomPlayer::Seek(int64_t APTS, TSeekFlags ASeekFlags, bool AWaitForSeekEnd)
{
    {
        std::lock_guard<std::mutex> g(FDataLock);
        TVideoState* is = FVideoState;
        if (!is || APTS == AV_NOPTS_VALUE) return;
        if (!ASeekFlags.Contains(sfByte)) {
            if (is->Duration > 0 && APTS > is->Duration) APTS = is->Duration;
            if (APTS < 0) APTS = 0;
            if (is->StartTime != 0) {
                bool zero = APTS == 0;
                APTS += is->StartTime;
                if (zero) APTS -= int64_t(is->frame_delay * 1000000 / 2);
            }
        }
        StreamSeek(APTS, 0, SeekFlagsToAV(ASeekFlags));
    }
    if (!AWaitForSeekEnd) return;
    // until the first picture at the new place is queued (or the file ends)
    auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (FSeeking && !FStopped && std::chrono::steady_clock::now() < limit) WaitSlice();
}

void TCustomPlayer::Seek(double ADelta, TSeekFlags ASeekFlags, bool AWaitForSeekEnd)
{
    int64_t target;
    {
        std::lock_guard<std::mutex> g(FDataLock);
        TVideoState* is = FVideoState;
        if (!is) return;
        double clock = is->video_st ? get_video_clock(is) : get_master_clock(is);
        target = int64_t(std::llround((clock + ADelta) * 1000000)) - is->StartTime;
    }
    Seek(target, ASeekFlags, AWaitForSeekEnd);
}

void TCustomPlayer::FlushQueue()
{
    std::lock_guard<std::mutex> g(FDataLock);
    if (FVideoState) FVideoState->flush_req = 1;
}

void TCustomPlayer::ToggleAudioDisplay()
{
    std::lock_guard<std::mutex> g(FDataLock);
    if (TVideoState* is = FVideoState) {
        is->show_mode = (is->show_mode + 1) % 3;
        is->Request(&TVideoState::req_fill);  // the play thread clears the area
    }
}

void TCustomPlayer::SetAspectRatio(float AValue)
{
    if (AValue == FAspectRatio) return;
    FAspectRatio = AValue;
    std::lock_guard<std::mutex> g(FDataLock);
    if (FVideoState) FVideoState->Request(&TVideoState::req_relayout);
}

void TCustomPlayer::SetFrameWidth(int AValue)
{
    if (AValue % 2) throw Exception("Frame size must be a multiple of 2");
    Fframe_width_set = AValue;
}

void TCustomPlayer::SetFrameHeight(int AValue)
{
    if (AValue % 2) throw Exception("Frame size must be a multiple of 2");
    Fframe_height_set = AValue;
}

std::string TCustomPlayer::ForceFormat() const { return Ffile_iformat ? Ffile_iformat->name : ""; }

void TCustomPlayer::SetForceFormat(const std::string& AValue)
{
    if (AValue.empty()) {
        Ffile_iformat = nullptr;
        return;
    }
    if (!AVLibLoaded()) {
        ReportError("libav not loaded.", true);
        return;
    }
    const AVInputFormat* format = ff::av_find_input_format(AValue.c_str());
    if (!format) throw Exception("Unknown input format: " + AValue);
    Ffile_iformat = format;
}

void TCustomPlayer::SetForceFrameRate(const std::string& AValue)
{
    if (AValue == FForceFrameRate) return;
    TRateQ rate;
    if (!AValue.empty() && !ParseFrameRateText(AValue, rate)) throw Exception("Incorrect frame rate: " + AValue);
    FForceFrameRate = AValue;
    if (AValue.empty()) return;
    std::lock_guard<std::mutex> g(FDataLock);
    if (TVideoState* is = FVideoState; is && is->video_st) {
        std::string log;
        is->frame_delay = ChooseFrameDelay(is->video_stream, AValue, false, {}, {}, log);
        GetFFLogger()->Log(AsSender(), llInfo, log);
        is->flush_req = 1;
    }
}

void TCustomPlayer::SetStartTime(int64_t AValue)
{
    if (AValue == Fstart_time) return;
    Fstart_time = AValue;
    if (AValue != AV_NOPTS_VALUE) Seek(AValue, TSeekFlags{}, false);
}

int TCustomPlayer::AudioStreamIndex() const
{
    std::lock_guard<std::mutex> g(FDataLock);
    TVideoState* is = FVideoState;
    return is ? is->audio_stream : -1;
}

int TCustomPlayer::SubtitleStreamIndex() const
{
    std::lock_guard<std::mutex> g(FDataLock);
    TVideoState* is = FVideoState;
    return is ? is->subtitle_stream : -1;
}

int TCustomPlayer::VideoStreamIndex() const
{
    std::lock_guard<std::mutex> g(FDataLock);
    TVideoState* is = FVideoState;
    return is ? is->video_stream : -1;
}

bool TCustomPlayer::SwitchStream(AVMediaType AType, int AIndex)
{
    {
        std::lock_guard<std::mutex> g(FDataLock);
        TVideoState* is = FVideoState;
        if (!is || !is->ic) return true;  // takes effect with a file only
        // subtitles may be none (-1), and switched off with -1
        bool subtitle = AType == AVMEDIA_TYPE_SUBTITLE;
        int lowest = subtitle ? -1 : 0;
        int current = AType == AVMEDIA_TYPE_AUDIO ? is->audio_stream
                      : subtitle                  ? is->subtitle_stream
                                                  : is->video_stream;
        const char* err = nullptr;
        if (AType != AVMEDIA_TYPE_AUDIO && AType != AVMEDIA_TYPE_VIDEO && !subtitle)
            err = "the stream type is invalid.";
        else if (current < lowest)
            err = "the current stream is not valid.";
        else if (AIndex < lowest || AIndex >= int(is->ic->nb_streams))
            err = "the stream index is not valid.";
        else if (AIndex == current)
            return true;
        else if (AIndex >= 0 && is->ic->streams[AIndex]->codecpar->codec_type != AType)
            err = "the stream type is not matched.";
        else if (AType == AVMEDIA_TYPE_AUDIO && (is->ic->streams[AIndex]->codecpar->sample_rate <= 0 ||
                                                 is->ic->streams[AIndex]->codecpar->ch_layout.nb_channels <= 0))
            err = "the audio stream is not invalid.";
        if (err) {
            ReportError(err, true);
            return false;
        }
        FSwitch.Type = AType;
        FSwitch.Index = AIndex;
        FSwitch.Ok = false;
        FSwitch.Error.clear();
        FSwitch.State = 1;
    }
    auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (FSwitch.State == 1 && !FStopped && std::chrono::steady_clock::now() < limit) WaitSlice();
    std::lock_guard<std::mutex> g(FDataLock);
    bool ok = FSwitch.State == 2 && FSwitch.Ok;
    if (!ok)
        ReportError(FSwitch.State == 2 ? FSwitch.Error : std::string("the stream could not be switched."), true);
    FSwitch.State = 0;
    return ok;
}

bool TCustomPlayer::Paused() const
{
    std::lock_guard<std::mutex> g(FDataLock);
    TVideoState* is = FVideoState;
    return !is || is->paused;
}

TRect TCustomPlayer::DisplayRect()
{
    std::lock_guard<std::mutex> g(FDisplayRectLock);
    return FDisplayRect;
}

TRect TCustomPlayer::DisplayToActualRect(const TRect& ADisplayRect)
{
    {
        std::lock_guard<std::mutex> g(FDataLock);
        if (!FVideoState)
            return TRect();
    }
    std::lock_guard<std::mutex> g(FDisplayRectLock);
    return DisplayToPictureRect(ADisplayRect, FDisplayRect, Fframe_width.load(), Fframe_height.load());
}

double TCustomPlayer::FrameDelay() const
{
    std::lock_guard<std::mutex> g(FDataLock);
    TVideoState* is = FVideoState;
    return is && is->video_st ? is->frame_delay.load() : 0;
}

int TCustomPlayer::DroppedFrames() const
{
    std::lock_guard<std::mutex> g(FDataLock);
    TVideoState* is = FVideoState;
    return is ? is->frame_drops_early + is->frame_drops_late : 0;
}

TBitmap* TCustomPlayer::CurrentFrame()
{
    int64_t pts;
    return CurrentFrame(pts);
}

TBitmap* TCustomPlayer::CurrentFrame(int64_t& APTS)
{
    APTS = -1;
    std::lock_guard<std::mutex> g(FDataLock);
    TVideoState* is = FVideoState;
    TBitmap* bmp = FRGBConverter->Bitmap();
    if (!is || !is->video_ctx) {
        bmp->SetSize(0, 0);
        return bmp;
    }
    std::lock_guard<std::mutex> s(is->shown_lock);
    if (!is->shown || !is->shown->data[0]) {
        bmp->SetSize(is->video_ctx->width, is->video_ctx->height);
        return bmp;
    }
    TAVPicture pic;
    for (int i = 0; i < 3; ++i) {
        pic.data[i] = is->shown->data[i];
        pic.linesize[i] = is->shown->linesize[i];
    }
    if (!FRGBConverter->PictureToRGB(&pic, AVPixelFormat(is->shown->format), is->shown->width, is->shown->height,
                                     true)) {
        bmp->SetSize(0, 0);
        return bmp;
    }
    APTS = int64_t(std::llround(is->shown_pts * 1000000)) - is->StartTime;
    return FRGBConverter->Bitmap();
}

int TCustomPlayer::VideoHookBitsPixel() const { return FRGBConverter->BitsPixel(); }

void TCustomPlayer::SetVideoHookBitsPixel(int AValue)
{
    FRGBConverter->SetBitsPixel(AValue);
    FHookConverter->SetBitsPixel(AValue);
}

void TCustomPlayer::DoPictureHooks(AVFrame* AFrame, double APts, int64_t AStartTime)
{
    bool video = FVideoHook && OnVideoHook, frame = FFrameHook && OnFrameHook;
    if (!video && !frame) return;
    // the filter's picture may share its data with the decoder's references
    if (ff::av_frame_make_writable(AFrame) < 0) return;
    int64_t pts = int64_t(std::llround(APts * 1000000)) - AStartTime;
    TAVPicture pic;
    for (int i = 0; i < 3; ++i) {
        pic.data[i] = AFrame->data[i];
        pic.linesize[i] = AFrame->linesize[i];
    }
    AVPixelFormat fmt = AVPixelFormat(AFrame->format);
    if (video) {
        TFormatConverter& conv = *FHookConverter;
        if (!conv.PictureToRGB(&pic, fmt, AFrame->width, AFrame->height, true)) {
            GetFFLogger()->Log(AsSender(), llError, conv.LastErrMsg());
        } else {
            bool update = true;
            try {
                OnVideoHook(AsSender(), conv.Bitmap(), pts, update);
            } catch (const std::exception& e) {
                const auto* ex = dynamic_cast<const Exception*>(&e);
                GetFFLogger()->Log(AsSender(), llError, "Error occurs OnVideoHook: " + (ex ? ex->Message() : e.what()));
                update = false;
            }
            if (update) {
                conv.BitmapToRGB();
                if (conv.RGBPictureRef() != &pic && !conv.RGBToPicture(&pic, fmt, AFrame->width, AFrame->height))
                    GetFFLogger()->Log(AsSender(), llError, conv.LastErrMsg());
            }
        }
    }
    if (frame) {
        try {
            OnFrameHook(AsSender(), &pic, fmt, AFrame->width, AFrame->height, pts);
        } catch (const std::exception& e) {
            const auto* ex = dynamic_cast<const Exception*>(&e);
            GetFFLogger()->Log(AsSender(), llError, "Error occurs OnFrameHook: " + (ex ? ex->Message() : e.what()));
        }
    }
}

// Runs in the play thread (and the video thread at the end of a file) after
// each refresh: the position event, the end of the file, the play time.
void TCustomPlayer::UpdatePosition()
{
    TVideoState* is = FVideoState;
    if (!is || is->IsImage2) return;
    int64_t pos;
    if (is->video_st) {
        pos = int64_t(std::llround(get_video_clock(is) * 1000000)) - is->StartTime;
    } else if (is->audio_st) {
        pos = int64_t(std::llround(get_audio_clock(is) * 1000000)) - is->StartTime;
        if (is->AudioDuration > 0 && pos >= is->AudioDuration && is->Duration > pos) pos = is->Duration;
    } else {
        return;
    }
    if (pos < 0) pos = 0;
    // once every picture and sample has been played the position is the end
    bool ended = is->ReachEOF && (!is->video_st || (is->video_drained && is->pictq_size == 0));
    if (ended && !is->video_st && is->Duration > 0) pos = is->Duration;
    FCurrentPTS = pos;
    if (is->Duration > 0 && pos >= is->Duration) {
        pos = is->Duration;
        FCurrentPTS = pos;
        if (FLastPTS != is->Duration) FLastPTS = 0;
    }
    int64_t last = FLastPTS;
    if (last == AV_NOPTS_VALUE || std::llabs(pos - last) > 10000) {
        FLastPTS = pos;
        if (OnPosition) FPlayEvent.Push(pekPosition, pos);
    }
    // the end is reported once per end of the input
    if (!is->IsDevice && !is->EventEOF && ended) {
        is->EventEOF = 1;
        SetState(psEnd);
    }
    // (not while a seek is on its way: the position is still the old one)
    int64_t playTime = FPlayTime;
    if (playTime != AV_NOPTS_VALUE && !FSeeking && !is->seek_req) {
        int64_t limit = Fstart_time != AV_NOPTS_VALUE ? Fstart_time + playTime : playTime;
        if (pos >= limit) {
            auto rewind = [&] {
                if (Fstart_time != AV_NOPTS_VALUE)
                    StreamSeek(Fstart_time + is->StartTime, 0, 0);
                else
                    StreamSeek(is->StartTime, 0, AVSEEK_FLAG_ANY);
            };
            switch (FRepeatType.load()) {
            case rtStop: is->Request(&TVideoState::req_quit); break;
            case rtLoop: rewind(); break;
            case rtPause: ToggleStatePause(true); break;
            case rtRewind: ToggleStatePause(true); rewind(); break;
            case rtNone: break;
            }
        }
    }
}

namespace {

bool IsClass(HWND AWnd, const char* AClass)
{
    char name[64] = {};
    return GetClassName(AWnd, name, int(sizeof name)) > 0 && SameText(name, AClass);
}

// The first child of AParent of class AClass (and caption ATitle when given).
HWND ChildOfClass(HWND AParent, const char* AClass, const char* ATitle)
{
    for (HWND w = GetWindow(AParent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (!IsClass(w, AClass))
            continue;
        if (!ATitle || GetWindowTextString(w) == ATitle)
            return w;
    }
    return nullptr;
}

BOOL FindFolderView(HWND AWnd, LPARAM AFound)
{
    if (!IsWindowVisible(AWnd))
        return 1;
    const HWND view = ChildOfClass(AWnd, "SHELLDLL_DefView", nullptr);
    const HWND list = view ? ChildOfClass(view, "SysListView32", "FolderView") : 0;
    if (!list)
        return 1;
    *reinterpret_cast<HWND*>(AFound) = list;
    return 0;
}

}  // namespace

HWND FindDesktopListView()
{
    if (const HWND progman = FindWindow("ProgMan", nullptr))
        if (const HWND child = GetWindow(progman, GW_CHILD))
            if (const HWND grandchild = GetWindow(child, GW_CHILD))
                return grandchild;
    HWND found = nullptr;
    EnumWindows(&FindFolderView, reinterpret_cast<LPARAM>(&found));
    return found;
}
