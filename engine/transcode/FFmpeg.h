#pragma once
// One conversion task: the engine's in-process port of the ffmpeg tool. A
// task gathers option texts (TFFmpegOptions), opens its inputs
// (FFmpegInput), creates its output with its streams (FFmpegOutput,
// FFmpegOutputStreams), joins further inputs onto that output (FFmpegJoin),
// and when started performs the transcode set-up (FFmpegSetup, with the
// video filter graphs of FFmpegFilters) and the conversion loop, inline or on
// its own conversion thread.
//
// The task owns the records of its files and streams (FFmpegRecords, the data
// every stage reads) and the private state of each stage that keeps one (video
// path, audio path, encoder, reader, writer, join: TStageState); stages call one another's
// functions, never touch another stage's state.
//
// Every stage includes this header, so it includes no stage: the task's
// members that call into the stages live with those stages (opt_input_file
// in FFmpegInput, AddFrameHook in FFmpegVideo, ...) or, for the clean-up that
// reaches every stage, in FFmpegCleanUp.cpp.
//
// Run control lives here: stop, a cooperative pause that a stop always ends,
// read and write time-outs polled by FFmpeg through interrupt callbacks,
// fatal errors (logged at llFatal, kept in LastErrMsg, raised as
// FFmpegException and caught per step of the conversion body), the end
// notification, and the clean-up that closes everything and deletes the
// output files this task created when they stayed empty or the task failed.
#include <atomic>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "engine/common/FFBaseComponent.h"
#include "engine/transcode/FFmpegOptions.h"
#include "engine/transcode/FFmpegRecords.h"
#include "engine/transcode/StageState.h"
#include "engine/decoder/FormatConverter.h"
#include "platform/rtl/SyncObjs.h"
#include "platform/rtl/Threads.h"

class TCustomFFmpeg;

enum TPostHook { phPreview, phBitmap, phHBITMAP };

// A set of TPostHook.
class TPostHooks {
public:
    constexpr TPostHooks() = default;
    constexpr TPostHooks(std::initializer_list<TPostHook> hooks) {
        for (TPostHook h : hooks) bits_ |= 1u << h;
    }
    constexpr bool Contains(TPostHook h) const { return (bits_ >> h) & 1u; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr bool operator==(const TPostHooks&) const = default;

    constexpr TPostHooks Without(TPostHook h) const {
        TPostHooks r = *this;
        r.bits_ &= ~(1u << h);
        return r;
    }

private:
    unsigned bits_ = 0;
};

// The event shapes of a task (the encoder adds its task index and records).
using TVideoHookEvent = TMethodPtr<void(TObject* Sender, void* ABitmap, int AFrameNumber, const int64_t APTS,
                                        bool& AUpdate, bool& AStopHook)>;
using TFrameHookEvent = TMethodPtr<void(TObject* Sender, TAVPicture* APicture, int APixFmt, int AFrameNumber,
                                        int AWidth, int AHeight, const int64_t APTS)>;
using TPreviewBitmapEvent = TMethodPtr<void(TObject* Sender, void* ABitmap, int AFrameNumber, const int64_t APTS)>;
using TTaskProgressEvent =
    TMethodPtr<void(TObject* Sender, int AFileIndex, int AFrameNumber, int AFPS, const float AQuality,
                    const float ABitRate, const int64_t ACurrentSize, const int64_t ACurrentDuration,
                    const int64_t ATotalDuration)>;
using TAudioHookEvent = TMethodPtr<void(TObject* Sender, const int64_t APTS, uint8_t* ASample, int ASize,
                                        int ASampleRate, int AChannels, int ASampleFormat)>;

// The conversion thread of one task.
class TConvertThread : public TThread {
public:
    explicit TConvertThread(TCustomFFmpeg* AOwner);
    // A pause point of the conversion loop: holds while paused; false once
    // the thread was told to end.
    bool PausePoint() { return WaitWhilePaused(); }

protected:
    void Execute() override;

private:
    TCustomFFmpeg* FOwner;
};

// Raises the end notification of a task that never started, from a thread
// of its own (the encoder's stop of waiting tasks).
class TDoTerminateThread : public TThread {
public:
    explicit TDoTerminateThread(TCustomFFmpeg* AOwner);

protected:
    void Execute() override;

private:
    TCustomFFmpeg* FOwner;
};

// Node of an open-codec list.
struct TCodecListNode {
    void* Stream;  // TOutputStream* or TInputStream*
    TCodecListNode* Prev;
    TCodecListNode* Next;
};

class TCustomFFmpeg : public TFFmpegOptions {
public:
    TCustomFFmpeg();
    ~TCustomFFmpeg() override;

    // ---- Run control
    // Null when already converting or terminated, when the start checks fail
    // (the task then ends at once), and for an inline run. With a thread: the
    // thread, created suspended; the caller starts it.
    TThread* StartConvert(bool AUseThread, TThreadPriority APriority = tpNormal);
    void Stop(bool AWaitForStop);
    void StopTask(bool AWaitForStop);
    void Pause();
    void Resume();
    bool Paused() const;

    [[noreturn]] void Fatal(const std::string& AMsg) override;
    [[noreturn]] void FatalFmt(const char* AFormat, ...) __attribute__((format(printf, 2, 3)));

    void SetPostHooks(TPostHooks AValue);
    TPostHooks PostHooks() const;
    // The set for one post-hook run, with whether it changed since the last
    // run (the flag is cleared). DropPostHook takes one hook out of the set.
    TPostHooks TakePostHooks(bool& AChanged);
    void DropPostHook(TPostHook AHook);
    void SetHookBitsPixel(int ABitsPixel) override;
    // -vhook: loads the hook library into the task's chain; a failure is
    // fatal with the library's reason.
    int AddFrameHook(const std::vector<std::string>& AWords) override;

    void ResetDefaults();
    void CleanUp();
    void DoConvert();
    void FinishConvert();
    // The one place where a running task records that it failed: the text
    // is logged and becomes FatalMessage (the terminate event's text).
    void EndWithFailure(const std::string& AMsg);

    // ---- Files (each in its own unit)
    // Opens one input with the options gathered in Ctx (nullptr: the task's
    // own); the new input's index, or a negative FFmpeg code with LastErrMsg.
    int opt_input_file(TOptionsContext* Ctx, const std::string& AFileName);
    // Creates the output file from the options context; its index, or -1
    // with LastErrMsg.
    int opt_output_file(const std::string& AFileName, bool AJoin);
    // Joins every input after the first onto the joined output; 0 or -1.
    int JoinInputs();
    int JoinInput(int AInputIndex);

    // ---- The transcode: set-up, loop (the loop's steps follow in their units)
    int transcode_init();
    // The whole transcode of the conversion body; raises on failure.
    virtual void Transcode();

    // ---- Open-codec lists
    void AddToCodecList(TCodecListNode*& AHead, void* AStream);
    void RemoveFromCodecList(TCodecListNode*& AHead, void* AStream);
    void CloseEncoders(TCodecListNode*& AHead);
    void CloseDecoders(TCodecListNode*& AHead);

    // ---- FFmpeg's interrupt callbacks (opaque: the task)
    static int ReadInterruptCallback(void* AOpaque);
    static int WriteInterruptCallback(void* AOpaque);
    void StampRead();
    void StampWrite();
    void ClearRead() { FLastRead = INT64_MAX; }
    void ClearWrite() { FLastWrite = INT64_MAX; }
    // Whether a read that began at ALastRead (INT64_MAX: none under way) is
    // to be given up: the task stopped, or the read time-out passed.
    int ReadInterrupted(int64_t ALastRead);

    // ---- Properties
    bool Converting() const { return FConverting.load(); }
    bool Finished() const { return FFinished; }
    bool Terminated() const { return FTerminated.load(); }
    bool Broken() const { return FBroken.load(); }
    bool FatalException() const { return FFatalException; }
    const std::string& FatalMessage() const { return FFatalMessage; }
    int64_t InputDuration() const { return FInputDuration; }
    int64_t OutputDuration() const { return FOutputDuration; }
    bool JoinMode() const { return FJoinMode; }
    TThread* Thread() const { return FThread; }
    void SetLastErrMsg(const std::string& AValue) { FLastErrMsg = AValue; }
    void SetLoopEnded(bool AValue) { FLoopEnded = AValue; }

    int ReadTimeout = 30000;   // milliseconds; <= 0: none
    int WriteTimeout = 30000;  // milliseconds; <= 0: none
    int64_t ReportInterval = 500000;
    int64_t PreviewInterval = 100000;

    TNotifyEvent OnTerminate;
    TBeforeFindStreamInfoEvent OnBeforeFindStreamInfo;
    TAudioHookEvent OnAudioHook;
    TVideoHookEvent OnInputVideoHook, OnOutputVideoHook;
    TFrameHookEvent OnInputFrameHook, OnOutputFrameHook;
    TPreviewBitmapEvent OnPreviewBitmap;
    TTaskProgressEvent OnProgress;

    // ---- The task's records
    std::deque<TInputFile> input_files;
    std::deque<TInputStream> input_streams;
    std::deque<TOutputFile> output_files;
    std::deque<TOutputStream> output_streams;
    int nb_input_files() const { return int(input_files.size()); }
    int nb_input_streams() const { return int(input_streams.size()); }
    int nb_output_files() const { return int(output_files.size()); }
    int nb_output_streams() const { return int(output_streams.size()); }

    TCodecListNode* FEncoderList = nullptr;
    TCodecListNode* FDecoderList = nullptr;

    // ---- The stages' own states. Each is complete only in its stage's
    // source; other stages call that stage's functions.
    TVideoPathState& VideoPath() const { return *FVideoPath; }
    TAudioPathState& AudioPath() const { return *FAudioPath; }
    TWriterState& Writer() const { return *FWriter; }
    TJoinState& JoinState() const { return *FJoin; }
    TEncoderStageState& EncoderStage() const { return *FEncoder; }
    TReaderStageState& ReaderStage() const { return *FReader; }

protected:
    int InputFileCount() const override { return int(input_files.size()); }
    AVFormatContext* InputFormatContext(int AIndex) const override;
    TObject* LogSender() override { return this; }

    // Logs a line of the task (an AV_LOG_* level).
    void TaskLog(int ALevel, const std::string& AMsg) { OptionMsg(ALevel, AMsg); }

    friend class TConvertThread;
    friend class TDoTerminateThread;

    // Removes output files this task created: always when empty, and every
    // one when the task failed. Only regular files are touched.
    void RemoveCreatedOutputs(bool AFailed);
    // The output set-up's failure path for output file index AFileIndex.
    void DropOutput(int AFirstStream, int AFileIndex, AVFormatContext* ACtx, bool ACreated, const std::string& AName);
    void FreeOutputStream(TOutputStream& AOst);

    // The steps of opt_output_file (FFmpegOutput.cpp), in order. Those that
    // can fail set LastErrMsg and leave through SetupFailed; opt_output_file
    // then removes what the set-up made.
    [[noreturn]] void SetupFailed(const std::string& AMsg);
    // 0, or -1 with LastErrMsg for an output that is one of the inputs or
    // exists under -n. AExisted: a file of that name exists.
    int CheckOutputName(const std::string& AFileName, const std::string& AName, bool& AExisted);
    // The output's streams: by -map, else the automatic choice.
    void MapOutputStreams(AVFormatContext* AOutCtx, bool AFirstInputOnly);
    // One attachment stream per -attach file.
    void AddAttachments(AVFormatContext* AOutCtx);
    // -map_chapters, or the chapters of the first input that has some.
    void MapChapters(int AFileIndex);
    // -map_metadata and the automatic copies of global and stream metadata.
    void MapMetadata(AVFormatContext* AOutCtx, int AFirstStream);
    // -metadata key=value entries, with their selectors.
    void ApplyMetadataEntries(AVFormatContext* AOutCtx);
    // Opens the file (an existing one only at the header); whether this task
    // created it.
    bool OpenOutputFile(TOutputFile& AFile, const std::string& AFileName, const std::string& AName, bool AExisted);
    void FreeInputStream(TInputStream& AIst);

    TThread* FThread = nullptr;       // the running conversion thread
    TThread* FOwnedThread = nullptr;  // kept until it has really ended
    TThread* FTermThread = nullptr;   // end notification of a task never started
    TEvent FStopEvent{true, true};
    TEvent FTermEvent{true, true};

    TStageState<TVideoPathState> FVideoPath;
    TStageState<TAudioPathState> FAudioPath;
    TStageState<TWriterState> FWriter;
    TStageState<TJoinState> FJoin;
    TStageState<TEncoderStageState> FEncoder;
    TStageState<TReaderStageState> FReader;
    // The transcode set-up's output buffer (sized for the largest picture).
    uint8_t* Fbit_buffer = nullptr;
    int32_t Fbit_buffer_size = 262144;

    TPostHooks FPostHooks;
    bool FPostHooksChanged = false;

    bool FJoinMode = false;
    std::atomic<bool> FConverting{false};
    std::atomic<bool> FBroken{false};
    std::atomic<bool> FLoopEnded{false};  // the main loop is over: trailers are being written
    bool FFinished = false;
    std::atomic<bool> FTerminated{false};
    bool FFatalException = false;
    std::string FFatalMessage;
    int64_t FInputDuration = -1;
    int64_t FOutputDuration = -1;
    std::atomic<int64_t> FLastRead{INT64_MAX};
    std::atomic<int64_t> FLastWrite{INT64_MAX};
    AVIOInterruptCB FReadCallback{};
    AVIOInterruptCB FWriteCallback{};
    // Names of output files this task created (for the clean-up).
    std::deque<std::string> FCreatedFiles;
};

// The process-wide lock of the open-codec lists and the one of post hooks.
TCriticalSection& CodecListLock();
TCriticalSection& PostHookLock();
