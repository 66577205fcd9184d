#pragma once
// The conversion component: a list of conversion tasks (each one TFFmpeg with
// one or more inputs and one output described by option texts), run one
// after another in the caller's thread or several at once on conversion
// threads. It reports progress, the end of each task and one final end of the
// whole run, preview bitmaps, and hooks through which the application sees or
// changes audio samples, frame bitmaps and raw pictures while they are
// converted.
//
// Threads: progress, preview-bitmap, find-stream-info and terminate events
// reach the main thread while TriggerEventInMainThread is True; the audio,
// video and frame hooks always run in the conversion thread. Each event
// family has its own lock, held from filling its record until the handler has
// returned, so handlers of one family never run at the same time.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/FFBaseComponent.h"
#include "engine/FFDecode.h"
#include "engine/FFmpeg.h"
#include "platform/rtl/SyncObjs.h"
#include "platform/rtl/Threads.h"

class TBitmap;
class TCustomEncoder;

struct TInputOptions {
    TPathFileName FileName;
    std::string Options;
    std::string Presets;
    int Tag = 0;
    void* Data = nullptr;
};
using PInputOptions = TInputOptions*;

struct TOutputOptions {
    TPathFileName FileName;
    std::string Options;
    std::string Presets;
    bool AudioHook = false;
    bool VideoInputHook = false;
    bool VideoOutputHook = false;
    int VideoHookBitsPixel = 24;
    bool FrameInputHook = false;
    bool FrameOutputHook = false;
    bool Join = false;
    int Tag = 0;
    void* Data = nullptr;
};
using POutputOptions = TOutputOptions*;

void InitInputOptions(TInputOptions& AOptions);
void InitOutputOptions(TOutputOptions& AOptions);

struct TProgressInfo {
    int TaskIndex = 0;
    int FileIndex = 0;  // -1 in the last report of a task
    int FrameNumber = 0;
    int FPS = 0;
    float Quality = 0;
    float BitRate = 0;
    int64_t CurrentSize = 0;
    int64_t CurrentDuration = 0;
    int64_t TotalDuration = 0;
};
using PProgressInfo = TProgressInfo*;

struct TTerminateInfo {
    int TaskIndex = 0;  // -1 for the final end of a run
    bool Finished = false;
    bool Exception = false;
    std::string ExceptionMsg;
    // The task's output file(s) as they were added; empty for the final end.
    std::vector<TPathFileName> OutputFileNames;
};

struct THookInfo {
    int TaskIndex = 0;
    TBitmap* Bitmap = nullptr;
    int FrameNumber = 0;
    int64_t PTS = 0;
    bool Update = true;     // left True: the bitmap is written back into the frame
    bool StopHook = false;  // set True: the hook is not called again for the task
};
using PHookInfo = THookInfo*;

struct TFrameHookInfo {
    int TaskIndex = 0;
    int FrameNumber = 0;
    TAVPicture* Picture = nullptr;
    int PixFmt = 0;
    int Width = 0;
    int Height = 0;
    int64_t PTS = 0;
};
using PFrameHookInfo = TFrameHookInfo*;

struct TPreviewInfo {
    int TaskIndex = 0;
    TBitmap* Bitmap = nullptr;
    int FrameNumber = 0;
    int64_t PTS = 0;
};

// The encoder's event shapes (the task's own shapes are in FFmpeg.h).
using TEncoderAudioHookEvent = TMethodPtr<void(TObject* Sender, int ATaskIndex, const int64_t APTS, uint8_t* ASample,
                                               int ASize, int ASampleRate, int AChannels, int ASampleFormat)>;
using TEncoderVideoHookEvent = TMethodPtr<void(TObject* Sender, PHookInfo AHookInfo)>;
using TEncoderFrameHookEvent = TMethodPtr<void(TObject* Sender, PFrameHookInfo AHookInfo)>;
using TEncoderPreviewBitmapEvent = TMethodPtr<void(TObject* Sender, const TPreviewInfo& APreviewInfo)>;
using TProgressEvent = TMethodPtr<void(TObject* Sender, PProgressInfo AProgressInfo)>;
using TTerminateEvent = TMethodPtr<void(TObject* Sender, const TTerminateInfo& ATerminateInfo)>;

// One task of the encoder.
class TFFmpeg : public TCustomFFmpeg {
public:
    explicit TFFmpeg(TCustomEncoder* AParent);
    ~TFFmpeg() override;

    TCustomEncoder* Parent() const { return FParent; }
    // The decoder wrapping input AIndex (null when that input has none).
    TFFDecoder* Decoder(int AIndex) const;
    int InputRecordCount() const { return int(FInputOptions.size()); }
    int OutputRecordCount() const { return int(FOutputOptions.size()); }
    const TInputOptions* InputRecord(int AIndex) const;
    const TOutputOptions* OutputRecord(int AIndex) const;

private:
    friend class TCustomEncoder;
    void StoreInput(int AIndex, const TInputOptions* AOptions);
    void StoreOutput(int AIndex, const TOutputOptions* AOptions);
    void SetDecoder(int AIndex, AVFormatContext* ACtx);

    TCustomEncoder* FParent;
    std::vector<std::unique_ptr<TFFDecoder>> FDecoders;
    std::vector<std::unique_ptr<TInputOptions>> FInputOptions;
    std::vector<std::unique_ptr<TOutputOptions>> FOutputOptions;
};

class TCustomEncoder : public TFFBaseComponent {
public:
    explicit TCustomEncoder(TComponent* AOwner);
    ~TCustomEncoder() override;

    bool LoadAVLib(const TPathFileName& APath);
    bool AVLibLoaded() const;
    void UnloadAVLib();

    // Raises "Cannot %s while working." while Working.
    void CheckWorking(const std::string& AOperation) const;

    int AddTask(const TPathFileName& AFileName, PInputOptions AOptions = nullptr);
    int AddTask(const TPathFileName& AFileName, const std::string& AOptions, const std::string& APresets = "");
    int AddInput(int ATaskIndex, const TPathFileName& AFileName, PInputOptions AOptions = nullptr);
    int AddInput(int ATaskIndex, const TPathFileName& AFileName, const std::string& AOptions,
                 const std::string& APresets = "");
    int SetOutput(int ATaskIndex, const TPathFileName& AFileName, POutputOptions AOptions = nullptr);
    // Sets the output flags named by blank-delimited switches in the text
    // (" -AudioHook ", " -VideoInputHook ", " -VideoOutputHook ",
    // " -FrameInputHook ", " -FrameOutputHook ", " -Join ").
    int SetOutput(int ATaskIndex, const TPathFileName& AFileName, const std::string& AOptions,
                  const std::string& APresets = "");

    void ClearTasks();
    void RemoveTask(int ATaskIndex);
    void Exchange(int ATaskIndex1, int ATaskIndex2);
    int GetTaskIndex(const TFFmpeg* AFFmpeg) const;
    TFFmpeg* Task(int ATaskIndex) const;
    TFFDecoder* GetTaskDecoder(int ATaskIndex, int AInputIndex) const;

    // AThreadCount > 0: that many conversion threads at once (never more than
    // there are tasks); otherwise every task in turn in the calling thread.
    void Start(int AThreadCount);
    void Pause();
    void Resume();
    // Waiting serves the main thread's pending requests meanwhile.
    void Stop(bool AWaitForStop);

    TFFDecoder* Decoder() const { return FDecoder.get(); }
    const std::string& LastErrMsg() const { return FLastErrMsg; }
    int TasksCount() const;
    bool HaltOnInvalidOption() const { return FHaltOnInvalidOption; }
    void SetHaltOnInvalidOption(bool AValue) { FHaltOnInvalidOption = AValue; }
    bool Preview() const { return FPreview; }
    void SetPreview(bool AValue);
    bool PreviewBitmap() const { return FPreviewBitmap; }
    void SetPreviewBitmap(bool AValue);
    int ProgressInterval() const { return FProgressInterval; }
    // Milliseconds; 100 at least.
    void SetProgressInterval(int AValue) { FProgressInterval = AValue <= 100 ? 100 : AValue; }
    TThreadPriority ThreadPriority() const { return FThreadPriority; }
    void SetThreadPriority(TThreadPriority AValue) { FThreadPriority = AValue; }
    bool TriggerEventInMainThread() const { return FTriggerEventInMainThread; }
    void SetTriggerEventInMainThread(bool AValue) { FTriggerEventInMainThread = AValue; }
    void* UserData() const { return FData; }
    void SetUserData(void* AValue) { FData = AValue; }
    bool Terminated() const { return FTerminated; }
    bool Working() const { return FWorking; }
    bool Paused() const { return FPaused; }
    // Conversions running at this moment.
    int RunningCount() const { return FRunning.load(); }

    TEncoderAudioHookEvent OnAudioHook;
    TBeforeFindStreamInfoEvent OnBeforeFindStreamInfo;
    TEncoderPreviewBitmapEvent OnPreviewBitmap;
    TProgressEvent OnProgress;
    TTerminateEvent OnTerminate;
    TEncoderVideoHookEvent OnVideoInputHook, OnVideoOutputHook;
    TEncoderFrameHookEvent OnFrameInputHook, OnFrameOutputHook;

protected:
    virtual void DoInputVideoHook(TObject* Sender, void* ABitmap, int AFrameNumber, const int64_t APTS,
                                  bool& AUpdate, bool& AStopHook);
    virtual void DoOutputVideoHook(TObject* Sender, void* ABitmap, int AFrameNumber, const int64_t APTS,
                                   bool& AUpdate, bool& AStopHook);
    virtual void DoInputFrameHook(TObject* Sender, TAVPicture* APicture, int APixFmt, int AFrameNumber, int AWidth,
                                  int AHeight, const int64_t APTS);
    virtual void DoOutputFrameHook(TObject* Sender, TAVPicture* APicture, int APixFmt, int AFrameNumber, int AWidth,
                                   int AHeight, const int64_t APTS);
    virtual void DoPreviewBitmap(TObject* Sender, void* ABitmap, int AFrameNumber, const int64_t APTS);
    virtual void DoProgress(TObject* Sender, int AFileIndex, int AFrameNumber, int AFPS, const float AQuality,
                            const float ABitRate, const int64_t ACurrentSize, const int64_t ACurrentDuration,
                            const int64_t ATotalDuration);
    virtual void DoTerminate(TObject* Sender);
    void DoAudioHook(TObject* Sender, const int64_t APTS, uint8_t* ASample, int ASize, int ASampleRate,
                     int AChannels, int ASampleFormat);
    void DoBeforeFindStreamInfo(TObject* Sender, AVFormatContext* AFormatContext);

private:
    class TDeliveryThread;
    friend class TDeliveryThread;

    TFFmpeg* TaskAt(int AIndex) const;
    TPostHooks WantedPostHooks() const;
    void StartNextTask();
    void VideoHook(const TEncoderVideoHookEvent& AHandler, TObject* Sender, void* ABitmap, int AFrameNumber,
                   int64_t APTS, bool& AUpdate, bool& AStopHook);
    void FrameHook(const TEncoderFrameHookEvent& AHandler, TObject* Sender, TAVPicture* APicture, int APixFmt,
                   int AFrameNumber, int AWidth, int AHeight, int64_t APTS);
    // Runs AMethod in the main thread when events go there, else here.
    void Deliver(const std::function<void()>& AMethod);
    void SendTerminate(const TTerminateInfo& AInfo, bool AFinal);
    void DeliverTerminate(const TTerminateInfo& AInfo);
    void ReapDeliveries(bool AWaitAll);
    void StopAllTasks(bool AWaitForStop);

    std::string FLastErrMsg;
    void* FData = nullptr;
    bool FHaltOnInvalidOption = true;
    bool FPreview = false;
    bool FPreviewBitmap = false;
    int FProgressInterval = 500;
    TThreadPriority FThreadPriority = tpNormal;
    std::atomic<bool> FTriggerEventInMainThread{true};
    TObject* FSender = nullptr;
    AVFormatContext* FAVFormatContext = nullptr;
    TProgressInfo FProgressInfo;
    TTerminateInfo FTerminateInfo;
    TPreviewInfo FPreviewInfo;
    THookInfo FVideoHookInfo;
    TFrameHookInfo FFrameHookInfo;
    TCriticalSection FAudioHookLock, FPreviewLock, FProgressLock, FTerminateLock, FVideoHookLock, FFrameHookLock,
        FFindStreamLock;
    std::unique_ptr<TFFDecoder> FDecoder;
    bool FHoldsLibraries = false;  // this component is one user of the encoder's libraries
    std::vector<std::unique_ptr<TFFmpeg>> FTasks;
    int FCompleteTasks = 0;
    int FCurrentTask = -1;
    int FPendingTasks = 0;
    std::atomic<bool> FTerminated{false};
    bool FThreadMode = false;
    std::atomic<bool> FWorking{false};
    std::atomic<bool> FPaused{false};
    std::atomic<int> FRunning{0};
    // Task ends whose delivery has not finished yet; the final end waits for 0.
    std::atomic<int> FPendingDeliveries{0};
    std::mutex FDeliveryLock;
    std::vector<TThread*> FDeliveries;
};

class TVAVorarez : public TCustomEncoder {
public:
    explicit TVAVorarez(TComponent* AOwner) : TCustomEncoder(AOwner) {}
};
