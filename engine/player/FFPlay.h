#pragma once
// The embedded player component: opens one media file at a time, shows its
// pictures through a video output and plays its sound through an audio
// output, and reports position and play state through events delivered by a
// thread of its own (in the main thread while TriggerEventInMainThread).
//
// Threads per open file: the read thread (demuxing into packet queues), the
// video thread (decoding and filtering into a queue of two pictures), the
// play thread (timing, drawing, control requests), the audio output's own
// thread running the audio callback, and the event-delivery thread.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "engine/common/FFBaseComponent.h"
#include "engine/player/PlayEventRing.h"
#include "engine/player/PlayerOutputs.h"
#include "platform/classes/Events.h"
#include "platform/classes/PropertyTables.h"

extern "C" {
#include <libavutil/avutil.h>
#include <libavutil/pixfmt.h>
}

struct AVFrame;

struct AVInputFormat;
struct TAVPicture;
struct TVideoState;
class TBitmap;
class TFormatConverter;
class TPanelVideoOutput;
class TDeviceAudioOutput;

enum TPlayState { psPlay, psPause, psResume, psStep, psStop, psEnd };
enum TRepeatType { rtNone, rtStop, rtLoop, rtPause, rtRewind };
enum Tav_sync_type { AV_SYNC_AUDIO_MASTER, AV_SYNC_VIDEO_MASTER, AV_SYNC_EXTERNAL_CLOCK };
using TAudioVolume = int;  // 0..128

using TFileOpenEvent = TMethodPtr<void(TObject* Sender, const int64_t ADuration, int AFrameWidth, int AFrameHeight,
                                       int& AScreenWidth, int& AScreenHeight)>;
using TPositionEvent = TMethodPtr<void(TObject* Sender, const int64_t APTS)>;
using TPlayStateEvent = TMethodPtr<void(TObject* Sender, TPlayState APlayState)>;
// The player's sound hook (the transcoder's own, with the sample format, is
// TAudioHookEvent in engine/transcode).
using TPlayerAudioHookEvent = TMethodPtr<void(TObject* Sender, const int64_t APTS, uint8_t* ASample, int ASize,
                                        int ASampleRate, int AChannels)>;

// The desktop's icon view, for a player that draws on the desktop: the
// grandchild of the "ProgMan" window, else a "SysListView32" titled
// "FolderView" inside a "SHELLDLL_DefView" of a visible top-level window.
// 0 when there is none (then a player given 0 opens a window of its own).
HWND FindDesktopListView();

class TCustomPlayer : public TFFBaseComponent {
public:
    // Hooks on every picture queued for showing (run in the video thread):
    // a bitmap of it the handler may draw on (written back when AUpdate
    // stays True), and the raw YUV 4:2:0 picture. Both change only what is
    // shown, never the decoder's pictures.
    using TVideoHookEvent = TMethodPtr<void(TObject* Sender, TBitmap* ABitmap, const int64_t APTS, bool& AUpdate)>;
    using TFrameHookEvent = TMethodPtr<void(TObject* Sender, TAVPicture* APicture, AVPixelFormat APixFmt, int AWidth,
                                            int AHeight, const int64_t APTS)>;

    explicit TCustomPlayer(TComponent* AOwner);
    ~TCustomPlayer() override;

    // Libraries and outputs. Pictures go to the video output given here, or
    // else into the window handed to Open (TPanelVideoOutput); sound goes to
    // the audio output given here, or else to the sound device. With no
    // place for either, Open answers "sdl not loaded.".
    bool LoadAVLib(const TPathFileName& APath);
    bool AVLibLoaded() const;
    void UnloadAVLib();
    void SetVideoOutput(IPlayerVideoOutput* AOutput) { FUserVideoOutput = AOutput; }
    void SetAudioOutput(IPlayerAudioOutput* AOutput) { FUserAudioOutput = AOutput; }

    // Playback control (main thread).
    bool Open(const TPathFileName& AFileName, HWND AScreenHandle, bool APaused);
    void Stop(bool AWaitForStop);
    void Pause();
    void Resume();
    void TogglePause();
    void StepToNextFrame();
    void Seek(int64_t APTS, TSeekFlags ASeekFlags, bool AWaitForSeekEnd);
    void Seek(double ADelta, TSeekFlags ASeekFlags, bool AWaitForSeekEnd);
    void FlushQueue();
    void ToggleAudioDisplay();
    // The last shown picture as a bitmap (owned by the player, valid until
    // the next call); 0 x 0 without one. APTS its time, -1 without one.
    TBitmap* CurrentFrame();
    TBitmap* CurrentFrame(int64_t& APTS);

    // Properties.
    float AspectRatio() const { return FAspectRatio; }
    void SetAspectRatio(float AValue);
    TAudioVolume AudioVolume() const { return FAudioVolume.load(); }
    void SetAudioVolume(TAudioVolume AValue) { FAudioVolume = AValue < 0 ? 0 : AValue > 128 ? 128 : AValue; }
    bool Mute() const { return FMute.load(); }
    void SetMute(bool AValue) { FMute = AValue; }
    bool DisableAudio() const { return Faudio_disable; }
    void SetDisableAudio(bool AValue) { Faudio_disable = AValue; }
    bool DisableVideo() const { return Fvideo_disable; }
    void SetDisableVideo(bool AValue) { Fvideo_disable = AValue; }
    // No display at all: the next Open plays the sound only.
    bool DisableDisplay() const { return Fdisplay_disable; }
    void SetDisableDisplay(bool AValue) { Fdisplay_disable = AValue; }
    // Read: the size of the pictures shown. Write: the picture size asked of
    // raw and capture inputs at the next Open (0: none); an odd size throws.
    int FrameWidth() const { return Fframe_width; }
    int FrameHeight() const { return Fframe_height; }
    void SetFrameWidth(int AValue);
    void SetFrameHeight(int AValue);
    // The input format the next Open uses instead of probing ("" probes); an
    // unknown name throws, and without the libraries it fails with the error.
    std::string ForceFormat() const;
    void SetForceFormat(const std::string& AValue);
    int ScreenWidth() const { return Fscreen_width; }
    void SetScreenWidth(int AValue) { Fscreen_width = AValue; }
    int ScreenHeight() const { return Fscreen_height; }
    void SetScreenHeight(int AValue) { Fscreen_height = AValue; }
    bool TriggerEventInMainThread() const { return FTriggerEventInMainThread; }
    void SetTriggerEventInMainThread(bool AValue) { FTriggerEventInMainThread = AValue; }
    bool VideoHook() const { return FVideoHook; }
    void SetVideoHook(bool AValue) { FVideoHook = AValue; }
    bool FrameHook() const { return FFrameHook; }
    void SetFrameHook(bool AValue) { FFrameHook = AValue; }
    int VideoHookBitsPixel() const;
    void SetVideoHookBitsPixel(int AValue);
    bool AudioHook() const { return FAudioHook; }
    void SetAudioHook(bool AValue) { FAudioHook = AValue; }
    const std::string& ForceFrameRate() const { return FForceFrameRate; }
    void SetForceFrameRate(const std::string& AValue);
    bool AutoAdjustFrameRate() const { return FAutoAdjustFrameRate; }
    void SetAutoAdjustFrameRate(bool AValue) { FAutoAdjustFrameRate = AValue; }
    bool VerticalFlip() const { return FVerticalFlip; }
    void SetVerticalFlip(bool AValue) { FVerticalFlip = AValue; }
    int64_t StartTime() const { return Fstart_time; }
    void SetStartTime(int64_t AValue);
    int64_t PlayTime() const { return FPlayTime; }
    void SetPlayTime(int64_t AValue) { FPlayTime = AValue; }
    TRepeatType RepeatType() const { return FRepeatType; }
    void SetRepeatType(TRepeatType AValue) { FRepeatType = AValue; }
    const std::string& VideoFilters() const { return Fvfilters; }
    void SetVideoFilters(const std::string& AValue) { Fvfilters = AValue; }
    int framedrop() const { return Fframedrop; }
    void set_framedrop(int AValue) { Fframedrop = AValue; }
    Tav_sync_type av_sync_type() const { return Fav_sync_type; }
    void set_av_sync_type(Tav_sync_type AValue) { Fav_sync_type = AValue; }
    int AudioStreamIndex() const;
    int VideoStreamIndex() const;
    // Switch the playing file to another stream of the same kind; False with
    // the reason in LastErrMsg when the index is not one or the stream cannot
    // be opened.
    bool SetAudioStreamIndex(int AValue) { return SwitchStream(AVMEDIA_TYPE_AUDIO, AValue); }
    bool SetVideoStreamIndex(int AValue) { return SwitchStream(AVMEDIA_TYPE_VIDEO, AValue); }
    // The subtitle stream drawn into the pictures (-1: none); -1 switches
    // subtitles off.
    int SubtitleStreamIndex() const;
    bool SetSubtitleStreamIndex(int AValue) { return SwitchStream(AVMEDIA_TYPE_SUBTITLE, AValue); }
    bool Paused() const;
    TPlayState PlayState() const { return FState.load(); }
    bool Seeking() const { return FSeeking.load(); }
    int64_t CurrentPTS() const { return FCurrentPTS.load(); }
    const TPathFileName& FileName() const { return Finput_filename; }
    HWND ScreenHandle() const { return FScreenHandle; }
    const std::string& LastErrMsg() const { return FLastErrMsg; }
    // Where the picture was last drawn in the display area.
    TRect DisplayRect();
    // A rectangle in the screen window's coordinates as picture pixels (the
    // part of it over the picture); empty while no file is open.
    TRect DisplayToActualRect(const TRect& ADisplayRect);
    // Seconds per picture of the open video stream (0 without one).
    double FrameDelay() const;
    // Pictures dropped because they were late (early and at display).
    int DroppedFrames() const;

    // Events.
    TFileOpenEvent OnFileOpen;
    TPositionEvent OnPosition;
    TPlayStateEvent OnState;
    TPlayerAudioHookEvent OnAudioHook;
    TVideoHookEvent OnVideoHook;
    TFrameHookEvent OnFrameHook;
    // Raised once the input is open, before its streams are probed (in the
    // main thread while TriggerEventInMainThread, else in the read thread).
    TBeforeFindStreamInfoEvent OnBeforeFindStreamInfo;

    PUBLISHED(TCustomPlayer, TFFBaseComponent)
    {
        P.Property("OnFileOpen", &TCustomPlayer::OnFileOpen);
        P.Property("OnPosition", &TCustomPlayer::OnPosition);
        P.Property("OnState", &TCustomPlayer::OnState);
        P.Property("OnVideoHook", &TCustomPlayer::OnVideoHook);
        P.Property("OnAudioHook", &TCustomPlayer::OnAudioHook);
        P.Property("OnFrameHook", &TCustomPlayer::OnFrameHook);
        P.Property("OnBeforeFindStreamInfo", &TCustomPlayer::OnBeforeFindStreamInfo);
    }

    // The rest is shared with the playback threads of engine/player (the
    // routines in FFPlayState.h); callers outside use the interface above.
    void ReportError(const std::string& AMsg, bool AKeep);
    void ResetState();
    void SetState(TPlayState AState);
    bool StreamOpen(const TPathFileName& AFileName, bool APaused);
    void StreamSeek(int64_t APos, int64_t ARel, int AFlags);
    void WaitForStop();
    void EndEventThread();
    void EventThreadMain();
    void DoFileOpen();
    void UpdatePosition();
    void ToggleStatePause(bool APause);
    // Runs the hooks on a picture about to be queued (video thread).
    void DoPictureHooks(AVFrame* AFrame, double APts, int64_t AStartTime);
    bool SwitchStream(AVMediaType AType, int AIndex);

    // settings
    bool Faudio_disable = false, Fvideo_disable = false, Fdisplay_disable = false;
    const AVInputFormat* Ffile_iformat = nullptr;
    int Fframe_width_set = 0, Fframe_height_set = 0;
    int Fscreen_width = 0, Fscreen_height = 0;
    std::atomic<int> Fframe_width{0}, Fframe_height{0};
    Tav_sync_type Fav_sync_type = AV_SYNC_AUDIO_MASTER;
    int64_t Fstart_time = AV_NOPTS_VALUE;
    int Fframedrop = -1;
    std::string Fvfilters;
    float FAspectRatio = 0;
    std::atomic<int> FAudioVolume{128};
    std::atomic<bool> FMute{false};
    bool FAutoAdjustFrameRate = true;
    std::string FForceFrameRate;
    std::atomic<int> FShowMode{-1};
    std::atomic<int64_t> FPlayTime{AV_NOPTS_VALUE};
    std::atomic<TRepeatType> FRepeatType{rtRewind};
    std::atomic<bool> FVerticalFlip{false};
    std::atomic<bool> FAudioHook{false}, FVideoHook{false}, FFrameHook{false};
    bool FTriggerEventInMainThread = true;

    // state
    TPathFileName Finput_filename;
    HWND FScreenHandle = 0;
    std::string FLastErrMsg;
    std::atomic<int64_t> FLastPTS{AV_NOPTS_VALUE};
    std::atomic<int64_t> FCurrentPTS{-1};
    bool FLoading = false;
    std::atomic<TPlayState> FState{psStop};
    std::atomic<bool> FSeeking{false};
    std::atomic<int64_t> FLastRead{INT64_MAX};
    // A stream switch: asked for by the main thread, carried out by the read
    // thread between two reads (it alone fills the queues it ends).
    struct TSwitchRequest {
        AVMediaType Type = AVMEDIA_TYPE_UNKNOWN;
        int Index = -1;
        std::atomic<int> State{0};  // 0 none, 1 asked, 2 done
        bool Ok = false;
        std::string Error;
    } FSwitch;

    IPlayerVideoOutput* FVideoOutput = nullptr;  // the one in use
    IPlayerVideoOutput* FUserVideoOutput = nullptr;
    std::unique_ptr<TPanelVideoOutput> FPanelOutput;  // drawing into the Open's window
    void ReleasePanel();
    IPlayerAudioOutput* FAudioOutput = nullptr;  // the one in use
    IPlayerAudioOutput* FUserAudioOutput = nullptr;
    std::unique_ptr<TDeviceAudioOutput> FDeviceAudio;  // the sound device otherwise
    bool FLibUser = false;

    TVideoState* FVideoState = nullptr;
    std::atomic<TVideoState*> FVideoStateCB{nullptr};
    mutable std::mutex FDataLock;  // held by the play thread while it handles one request
    std::mutex FDisplayRectLock;
    TRect FDisplayRect;
    std::atomic<bool> FStopped{true};  // the play thread has ended
    std::thread FPlayThread;
    TPlayEvent FPlayEvent;
    std::thread FEventThread;
    std::atomic<bool> FEventThreadDone{true};
    std::atomic<bool> FEventThreadStop{false};
    std::unique_ptr<TFormatConverter> FRGBConverter, FHookConverter;
};

// The player as forms place it: the settings a stored description may give.
class TDIRudidi : public TCustomPlayer {
public:
    using TCustomPlayer::TCustomPlayer;

    PUBLISHED(TDIRudidi, TCustomPlayer)
    {
        P.Property("AspectRatio", &TDIRudidi::AspectRatio, &TDIRudidi::SetAspectRatio, 0.0f);
        P.Property("AudioVolume", &TDIRudidi::AudioVolume, &TDIRudidi::SetAudioVolume, 128);
        P.Property("Mute", &TDIRudidi::Mute, &TDIRudidi::SetMute, false);
        P.Property("DisableAudio", &TDIRudidi::DisableAudio, &TDIRudidi::SetDisableAudio, false);
        P.Property("DisableVideo", &TDIRudidi::DisableVideo, &TDIRudidi::SetDisableVideo, false);
        P.Property("DisableDisplay", &TDIRudidi::DisableDisplay, &TDIRudidi::SetDisableDisplay, false);
        P.Property("FrameWidth", &TDIRudidi::FrameWidth, &TDIRudidi::SetFrameWidth, 0);
        P.Property("FrameHeight", &TDIRudidi::FrameHeight, &TDIRudidi::SetFrameHeight, 0);
        P.Property("ScreenWidth", &TDIRudidi::ScreenWidth, &TDIRudidi::SetScreenWidth, 0);
        P.Property("ScreenHeight", &TDIRudidi::ScreenHeight, &TDIRudidi::SetScreenHeight, 0);
        P.Property("TriggerEventInMainThread", &TDIRudidi::TriggerEventInMainThread,
                   &TDIRudidi::SetTriggerEventInMainThread, true);
        P.Property("VideoHook", &TDIRudidi::VideoHook, &TDIRudidi::SetVideoHook, false);
        P.Property("FrameHook", &TDIRudidi::FrameHook, &TDIRudidi::SetFrameHook, false);
    }
};
