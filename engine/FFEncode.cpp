#include "engine/FFEncode.h"

#include <algorithm>
#include <cstdio>

#include "engine/FFLoad.h"
#include "engine/MyUtils.h"
#include "platform/gui/Graphics.h"

void InitInputOptions(TInputOptions& AOptions)
{
    AOptions = TInputOptions{};
}

void InitOutputOptions(TOutputOptions& AOptions)
{
    AOptions = TOutputOptions{};
}

namespace {

[[noreturn]] void RaiseIndexError(int AIndex)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "List index out of bounds (%d)", AIndex);
    throw EListError(buf);
}

// Stores a copy of ARecord at AIndex (growing the list), or re-initialises
// the slot there when ARecord is null.
template <class R>
void StoreRecord(std::vector<std::unique_ptr<R>>& AList, int AIndex, const R* ARecord)
{
    if (AIndex < 0)
        return;
    if (size_t(AIndex) >= AList.size()) {
        if (!ARecord)
            return;
        AList.resize(size_t(AIndex) + 1);
    }
    auto& slot = AList[size_t(AIndex)];
    if (!slot)
        slot = std::make_unique<R>();
    *slot = ARecord ? *ARecord : R{};
}

}  // namespace

// ---------------------------------------------------------------------------
// One task

TFFmpeg::TFFmpeg(TCustomEncoder* AParent) : FParent(AParent) {}

TFFmpeg::~TFFmpeg()
{
    // Nothing of the teardown reaches the application.
    OnPreviewBitmap = nullptr;
    OnProgress = nullptr;
    OnTerminate = nullptr;
    OnAudioHook = nullptr;
    OnInputVideoHook = nullptr;
    OnOutputVideoHook = nullptr;
    OnInputFrameHook = nullptr;
    OnOutputFrameHook = nullptr;
    // The decoders share the inputs the conversion uses: end it first.
    Stop(true);
    FDecoders.clear();
}

TFFDecoder* TFFmpeg::Decoder(int AIndex) const
{
    return AIndex >= 0 && size_t(AIndex) < FDecoders.size() ? FDecoders[size_t(AIndex)].get() : nullptr;
}

const TInputOptions* TFFmpeg::InputRecord(int AIndex) const
{
    return AIndex >= 0 && size_t(AIndex) < FInputOptions.size() ? FInputOptions[size_t(AIndex)].get() : nullptr;
}

const TOutputOptions* TFFmpeg::OutputRecord(int AIndex) const
{
    return AIndex >= 0 && size_t(AIndex) < FOutputOptions.size() ? FOutputOptions[size_t(AIndex)].get() : nullptr;
}

void TFFmpeg::StoreInput(int AIndex, const TInputOptions* AOptions)
{
    StoreRecord(FInputOptions, AIndex, AOptions);
}

void TFFmpeg::StoreOutput(int AIndex, const TOutputOptions* AOptions)
{
    StoreRecord(FOutputOptions, AIndex, AOptions);
}

void TFFmpeg::SetDecoder(int AIndex, AVFormatContext* ACtx)
{
    if (size_t(AIndex) >= FDecoders.size())
        FDecoders.resize(size_t(AIndex) + 1);
    auto& d = FDecoders[size_t(AIndex)];
    if (!d)
        d = std::make_unique<TFFDecoder>(nullptr);
    d->SetFileHandle(ACtx);
}

// ---------------------------------------------------------------------------
// Terminate delivery

// Delivers one task end, or the final end of a run once every task end has
// been delivered, from a thread of its own so the conversion thread that
// ended never waits for the main thread.
class TCustomEncoder::TDeliveryThread : public TThread {
public:
    TDeliveryThread(TCustomEncoder* AOwner, const TTerminateInfo& AInfo, bool AFinal)
        : TThread(true), FOwner(AOwner), FInfo(AInfo), FFinal(AFinal)
    {
    }

protected:
    void Execute() override
    {
        if (FFinal)
            while (FOwner->FPendingDeliveries.load() > 0)
                Sleep(10);
        try {
            FOwner->DeliverTerminate(FInfo);
        } catch (...) {
            // A handler's failure must not keep the final end from coming.
        }
        if (!FFinal)
            --FOwner->FPendingDeliveries;
    }

private:
    TCustomEncoder* FOwner;
    TTerminateInfo FInfo;
    bool FFinal;
};

void TCustomEncoder::DeliverTerminate(const TTerminateInfo& AInfo)
{
    Deliver([this, &AInfo] {
        TTerminateEvent handler = OnTerminate;
        if (handler)
            handler(this, AInfo);
    });
}

void TCustomEncoder::SendTerminate(const TTerminateInfo& AInfo, bool AFinal)
{
    ReapDeliveries(false);
    if (!AFinal)
        ++FPendingDeliveries;
    auto* t = new TDeliveryThread(this, AInfo, AFinal);
    {
        std::lock_guard<std::mutex> g(FDeliveryLock);
        FDeliveries.push_back(t);
    }
    t->Start();
}

void TCustomEncoder::ReapDeliveries(bool AWaitAll)
{
    for (;;) {
        std::vector<TThread*> done;
        {
            std::lock_guard<std::mutex> g(FDeliveryLock);
            auto keep = std::stable_partition(FDeliveries.begin(), FDeliveries.end(),
                                              [AWaitAll](TThread* t) { return !AWaitAll && !t->Finished(); });
            done.assign(keep, FDeliveries.end());
            FDeliveries.erase(keep, FDeliveries.end());
        }
        if (done.empty())
            return;
        for (TThread* t : done) {
            t->WaitFor();  // serves the main thread's queue meanwhile
            delete t;
        }
        if (!AWaitAll)
            return;
    }
}

// ---------------------------------------------------------------------------
// Life

TCustomEncoder::TCustomEncoder(TComponent* AOwner) : TFFBaseComponent(AOwner)
{
    FDecoder = std::make_unique<TFFDecoder>(nullptr);
}

TCustomEncoder::~TCustomEncoder()
{
    OnAudioHook = nullptr;
    OnPreviewBitmap = nullptr;
    OnProgress = nullptr;
    OnTerminate = nullptr;
    OnVideoInputHook = OnVideoOutputHook = nullptr;
    OnFrameInputHook = OnFrameOutputHook = nullptr;
    // Conversion threads may wait for a lock or the main thread: end them
    // before the locks go.
    StopAllTasks(true);
    ReapDeliveries(true);
    for (TCriticalSection* cs : {&FAudioHookLock, &FPreviewLock, &FProgressLock, &FTerminateLock, &FVideoHookLock,
                                 &FFrameHookLock, &FFindStreamLock}) {
        cs->Enter();
        cs->Leave();
    }
    FTasks.clear();
    FDecoder.reset();
    if (FHoldsLibraries)
        FFLoader().Unload(EncoderLibraries);
}

bool TCustomEncoder::LoadAVLib(const TPathFileName& APath)
{
    if (ComponentState().Contains(csDesigning))
        return true;
    // One user per component, however often it is called: the user is
    // released by UnloadAVLib or when the component goes.
    if (FHoldsLibraries && AVLibLoaded())
        return true;
    FFLoader().SetLibraryPath(APath);
    if (!FFLoader().Load(EncoderLibraries)) {
        FLastErrMsg = FFLoader().LastErrMsg();
        return false;
    }
    FHoldsLibraries = true;
    return true;
}

bool TCustomEncoder::AVLibLoaded() const
{
    return FFLoader().Loaded(EncoderLibraries);
}

void TCustomEncoder::UnloadAVLib()
{
    if (FHoldsLibraries)
        FFLoader().Unload(EncoderLibraries);
    FHoldsLibraries = false;
}

void TCustomEncoder::CheckWorking(const std::string& AOperation) const
{
    if (FWorking)
        throw Exception("Cannot " + AOperation + " while working.");
}

// ---------------------------------------------------------------------------
// Tasks

int TCustomEncoder::TasksCount() const
{
    return int(FTasks.size());
}

TFFmpeg* TCustomEncoder::TaskAt(int AIndex) const
{
    if (AIndex < 0 || AIndex >= int(FTasks.size()))
        RaiseIndexError(AIndex);
    return FTasks[size_t(AIndex)].get();
}

TFFmpeg* TCustomEncoder::Task(int ATaskIndex) const
{
    return TaskAt(ATaskIndex);
}

int TCustomEncoder::GetTaskIndex(const TFFmpeg* AFFmpeg) const
{
    for (size_t i = 0; i < FTasks.size(); ++i)
        if (FTasks[i].get() == AFFmpeg)
            return int(i);
    return -1;
}

TFFDecoder* TCustomEncoder::GetTaskDecoder(int ATaskIndex, int AInputIndex) const
{
    TFFmpeg* t = TaskAt(ATaskIndex);
    TFFDecoder* d = t->Decoder(AInputIndex);
    if (!d)
        RaiseIndexError(AInputIndex);
    return d;
}

TPostHooks TCustomEncoder::WantedPostHooks() const
{
    if (FPreview && FPreviewBitmap)
        return {phPreview, phBitmap};
    if (FPreview)
        return {phPreview};
    if (FPreviewBitmap)
        return {phBitmap};
    return {};
}

void TCustomEncoder::SetPreview(bool AValue)
{
    FPreview = AValue;
    for (auto& t : FTasks)
        t->SetPostHooks(WantedPostHooks());
}

void TCustomEncoder::SetPreviewBitmap(bool AValue)
{
    FPreviewBitmap = AValue;
    for (auto& t : FTasks)
        t->SetPostHooks(WantedPostHooks());
}

int TCustomEncoder::AddTask(const TPathFileName& AFileName, PInputOptions AOptions)
{
    CheckWorking("AddTask");
    auto task = std::make_unique<TFFmpeg>(this);
    task->OnBeforeFindStreamInfo = TBeforeFindStreamInfoEvent::Bind(this, &TCustomEncoder::DoBeforeFindStreamInfo);
    task->OnPreviewBitmap = TPreviewBitmapEvent::Bind(this, &TCustomEncoder::DoPreviewBitmap);
    try {
        task->SetPostHooks(WantedPostHooks());
        task->HaltOnInvalidOption = FHaltOnInvalidOption;
        const int idx = task->nb_input_files();
        if (AOptions) {
            if (AOptions->FileName.empty())
                AOptions->FileName = AFileName;
            task->StoreInput(idx, AOptions);
            task->ParseOptions(AOptions->Options);
            task->ParsePresets(AOptions->Presets);
        } else {
            task->StoreInput(idx, nullptr);
        }
        task->ReadTimeout = ReadTimeout();
        task->WriteTimeout = WriteTimeout();
        int r = task->opt_input_file(nullptr, AFileName);
        if (r < 0) {
            FLastErrMsg = !task->LastErrMsg().empty() ? task->LastErrMsg() : "Cannot open input " + AFileName;
            return r;
        }
        task->SetDecoder(idx, task->input_files[size_t(r)].ctx);
        task->OnProgress = TTaskProgressEvent::Bind(this, &TCustomEncoder::DoProgress);
        task->OnTerminate = TNotifyEvent::Bind(this, &TCustomEncoder::DoTerminate);
        FTasks.push_back(std::move(task));
        return int(FTasks.size()) - 1;
    } catch (const Exception& e) {
        FLastErrMsg = e.Message();
        return -1;
    }
}

int TCustomEncoder::AddTask(const TPathFileName& AFileName, const std::string& AOptions, const std::string& APresets)
{
    TInputOptions o;
    o.FileName = AFileName;
    o.Options = AOptions;
    o.Presets = APresets;
    return AddTask(AFileName, &o);
}

int TCustomEncoder::AddInput(int ATaskIndex, const TPathFileName& AFileName, PInputOptions AOptions)
{
    CheckWorking("AddInput");
    TFFmpeg* task = TaskAt(ATaskIndex);
    task->HaltOnInvalidOption = FHaltOnInvalidOption;
    const int idx = task->nb_input_files();
    try {
        if (AOptions) {
            if (AOptions->FileName.empty())
                AOptions->FileName = AFileName;
            task->StoreInput(idx, AOptions);
            task->ParseOptions(AOptions->Options);
            task->ParsePresets(AOptions->Presets);
        } else {
            task->StoreInput(idx, nullptr);
        }
        task->ReadTimeout = ReadTimeout();
        task->WriteTimeout = WriteTimeout();
        int r = task->opt_input_file(nullptr, AFileName);
        if (r < 0) {
            task->StoreInput(idx, nullptr);
            FLastErrMsg = !task->LastErrMsg().empty() ? task->LastErrMsg() : "Cannot open input " + AFileName;
            return r;
        }
        task->SetDecoder(idx, task->input_files[size_t(r)].ctx);
        return r;
    } catch (const Exception& e) {
        FLastErrMsg = e.Message();
        return -1;
    }
}

int TCustomEncoder::AddInput(int ATaskIndex, const TPathFileName& AFileName, const std::string& AOptions,
                             const std::string& APresets)
{
    TInputOptions o;
    o.FileName = AFileName;
    o.Options = AOptions;
    o.Presets = APresets;
    return AddInput(ATaskIndex, AFileName, &o);
}

int TCustomEncoder::SetOutput(int ATaskIndex, const TPathFileName& AFileName, POutputOptions AOptions)
{
    CheckWorking("SetOutput");
    TFFmpeg* task = TaskAt(ATaskIndex);
    task->HaltOnInvalidOption = FHaltOnInvalidOption;
    const int idx = task->OutputRecordCount();
    try {
        bool join = false;
        if (AOptions) {
            if (AOptions->FileName.empty())
                AOptions->FileName = AFileName;
            task->StoreOutput(idx, AOptions);
            if (AOptions->AudioHook)
                task->OnAudioHook = TAudioHookEvent::Bind(this, &TCustomEncoder::DoAudioHook);
            if (AOptions->VideoInputHook)
                task->OnInputVideoHook = TVideoHookEvent::Bind(this, &TCustomEncoder::DoInputVideoHook);
            if (AOptions->VideoOutputHook)
                task->OnOutputVideoHook = TVideoHookEvent::Bind(this, &TCustomEncoder::DoOutputVideoHook);
            if (AOptions->FrameInputHook)
                task->OnInputFrameHook = TFrameHookEvent::Bind(this, &TCustomEncoder::DoInputFrameHook);
            if (AOptions->FrameOutputHook)
                task->OnOutputFrameHook = TFrameHookEvent::Bind(this, &TCustomEncoder::DoOutputFrameHook);
            task->SetHookBitsPixel(AOptions->VideoHookBitsPixel);
            task->ParseOptions(AOptions->Options);
            task->ParsePresets(AOptions->Presets);
            join = AOptions->Join;
        } else {
            task->StoreOutput(idx, nullptr);
        }
        task->ReadTimeout = ReadTimeout();
        task->WriteTimeout = WriteTimeout();
        int r = task->opt_output_file(AFileName, join);
        if (r < 0) {
            FLastErrMsg = !task->LastErrMsg().empty() ? task->LastErrMsg() : "Cannot create output " + AFileName;
            task->StoreOutput(idx, nullptr);
            return r;
        }
        if (join && task->JoinMode()) {
            int j = task->JoinInputs();
            if (j < 0)
                FLastErrMsg = task->LastErrMsg();
            return j;
        }
        return r;
    } catch (const Exception& e) {
        FLastErrMsg = e.Message();
        return -1;
    }
}

int TCustomEncoder::SetOutput(int ATaskIndex, const TPathFileName& AFileName, const std::string& AOptions,
                              const std::string& APresets)
{
    TOutputOptions o;
    o.FileName = AFileName;
    o.Options = AOptions;
    o.Presets = APresets;
    // Padded so a switch at either end of the text is found as a whole word.
    const std::string padded = " " + AOptions + " ";
    auto has = [&padded](const char* ASwitch) { return padded.find(ASwitch) != std::string::npos; };
    o.AudioHook = has(" -AudioHook ");
    o.VideoInputHook = has(" -VideoInputHook ");
    o.VideoOutputHook = has(" -VideoOutputHook ");
    o.FrameInputHook = has(" -FrameInputHook ");
    o.FrameOutputHook = has(" -FrameOutputHook ");
    o.Join = has(" -Join ");
    return SetOutput(ATaskIndex, AFileName, &o);
}

void TCustomEncoder::ClearTasks()
{
    if (FWorking && !FTerminated)
        throw Exception("Cannot ClearTasks while working.");
    // Deliveries carry their own copies, so they need no task; a handler of
    // the final end may call this, so nothing here waits for them.
    ReapDeliveries(false);
    FTasks.clear();
    FLastErrMsg.clear();
    {
        TCriticalSectionGuard g(FTerminateLock);
        FCompleteTasks = 0;
        FCurrentTask = -1;
        FPendingTasks = 0;
    }
    FTerminated = false;
    FThreadMode = false;
    FWorking = false;
    FPaused = false;
}

void TCustomEncoder::RemoveTask(int ATaskIndex)
{
    CheckWorking("RemoveTask");
    TaskAt(ATaskIndex);
    FTasks.erase(FTasks.begin() + ATaskIndex);
}

void TCustomEncoder::Exchange(int ATaskIndex1, int ATaskIndex2)
{
    CheckWorking("Exchange");
    TaskAt(ATaskIndex1);
    TaskAt(ATaskIndex2);
    std::swap(FTasks[size_t(ATaskIndex1)], FTasks[size_t(ATaskIndex2)]);
}

// ---------------------------------------------------------------------------
// Running

void TCustomEncoder::Start(int AThreadCount)
{
    CheckWorking("StartTask");
    TCriticalSectionGuard g(FTerminateLock);
    FCompleteTasks = 0;
    FCurrentTask = 0;
    FPendingTasks = TasksCount();
    FTerminated = false;
    FThreadMode = AThreadCount > 0;
    FWorking = true;
    FPaused = false;
    if (FTasks.empty()) {
        // Nothing to run: the run ends at once.
        FTerminated = true;
        TTerminateInfo final{-1, true, false, "", {}};
        FTerminateInfo = final;
        if (FThreadMode)
            SendTerminate(final, true);
        else if (OnTerminate)
            OnTerminate(this, final);
        return;
    }
    if (FThreadMode) {
        const int count = std::min(AThreadCount, TasksCount());
        for (int i = 0; i < count && FPendingTasks > 0; ++i)
            StartNextTask();
    } else {
        while (FPendingTasks > 0)
            StartNextTask();
    }
}

void TCustomEncoder::StartNextTask()
{
    // Runs under FTerminateLock (from Start or from a task's end).
    if (FPendingTasks <= 0 || FCurrentTask < 0 || FCurrentTask >= TasksCount())
        return;
    --FPendingTasks;
    TFFmpeg* task = FTasks[size_t(FCurrentTask++)].get();
    task->ReportInterval = int64_t(FProgressInterval) * 1000;
    if (task->Converting() || task->Terminated())
        return;
    ++FRunning;
    if (!FThreadMode) {
        task->StartConvert(false, FThreadPriority);
        return;
    }
    TThread* t = task->StartConvert(true, FThreadPriority);
    if (t) {
        t->Start();
        if (FPaused)
            task->Pause();
    }
}

void TCustomEncoder::Pause()
{
    if (!FWorking || FPaused)
        return;
    TCriticalSectionGuard g(FTerminateLock);
    for (auto& t : FTasks)
        t->Pause();
    FPaused = true;
}

void TCustomEncoder::Resume()
{
    if (!FWorking || !FPaused)
        return;
    TCriticalSectionGuard g(FTerminateLock);
    for (auto& t : FTasks)
        t->Resume();
    FPaused = false;
}

void TCustomEncoder::StopAllTasks(bool AWaitForStop)
{
    {
        TCriticalSectionGuard g(FTerminateLock);
        FPendingTasks = 0;  // no further task starts
    }
    FPaused = false;
    // The list does not change while working; the lock is not held here
    // because a stopping task's end takes it.
    for (size_t i = 0; i < FTasks.size(); ++i)
        FTasks[i]->StopTask(AWaitForStop);
}

void TCustomEncoder::Stop(bool AWaitForStop)
{
    if (!FWorking) {
        TCriticalSectionGuard g(FTerminateLock);
        FPendingTasks = 0;
        return;
    }
    StopAllTasks(AWaitForStop);
}

// ---------------------------------------------------------------------------
// Events

void TCustomEncoder::Deliver(const std::function<void()>& AMethod)
{
    if (FTriggerEventInMainThread && !IsMainThread())
        RunInMainThread(AMethod);
    else
        AMethod();
}

void TCustomEncoder::DoTerminate(TObject* Sender)
{
    TCriticalSectionGuard g(FTerminateLock);
    auto* task = static_cast<TFFmpeg*>(Sender);
    if (task->Converting() || FRunning > 0)
        --FRunning;
    const bool viaThread = FThreadMode || !FWorking;
    if (OnTerminate) {
        TTerminateInfo info{GetTaskIndex(task), task->Finished(), task->FatalException(), task->FatalMessage(), {}};
        for (int i = 0; i < task->OutputRecordCount(); ++i)
            if (const TOutputOptions* o = task->OutputRecord(i))
                info.OutputFileNames.push_back(o->FileName);
        FTerminateInfo = info;
        if (viaThread)
            SendTerminate(info, false);
        else
            OnTerminate(this, info);
    }
    ++FCompleteTasks;
    if (FPendingTasks > 0) {
        if (FThreadMode)
            StartNextTask();
        return;
    }
    if (FCompleteTasks < TasksCount() || FTerminated)
        return;
    FTerminated = true;
    if (OnTerminate) {
        TTerminateInfo final{-1, true, false, "", {}};
        FTerminateInfo = final;
        if (viaThread)
            SendTerminate(final, true);
        else
            OnTerminate(this, final);
    }
}

void TCustomEncoder::DoProgress(TObject* Sender, int AFileIndex, int AFrameNumber, int AFPS, const float AQuality,
                                const float ABitRate, const int64_t ACurrentSize, const int64_t ACurrentDuration,
                                const int64_t ATotalDuration)
{
    if (!OnProgress)
        return;
    TCriticalSectionGuard g(FProgressLock);
    FProgressInfo = TProgressInfo{GetTaskIndex(static_cast<TFFmpeg*>(Sender)),
                                  AFileIndex,
                                  AFrameNumber,
                                  AFPS,
                                  AQuality,
                                  ABitRate,
                                  ACurrentSize,
                                  ACurrentDuration,
                                  ATotalDuration};
    Deliver([this] {
        TProgressEvent handler = OnProgress;
        if (handler)
            handler(this, &FProgressInfo);
    });
}

void TCustomEncoder::DoPreviewBitmap(TObject* Sender, void* ABitmap, int AFrameNumber, const int64_t APTS)
{
    if (!OnPreviewBitmap)
        return;
    TCriticalSectionGuard g(FPreviewLock);
    FPreviewInfo = TPreviewInfo{GetTaskIndex(static_cast<TFFmpeg*>(Sender)), static_cast<TBitmap*>(ABitmap),
                                AFrameNumber, APTS};
    Deliver([this] {
        TEncoderPreviewBitmapEvent handler = OnPreviewBitmap;
        if (handler)
            handler(this, FPreviewInfo);
    });
}

void TCustomEncoder::DoBeforeFindStreamInfo(TObject* Sender, AVFormatContext* AFormatContext)
{
    if (!OnBeforeFindStreamInfo)
        return;
    TCriticalSectionGuard g(FFindStreamLock);
    FSender = Sender;
    FAVFormatContext = AFormatContext;
    Deliver([this] {
        TBeforeFindStreamInfoEvent handler = OnBeforeFindStreamInfo;
        if (handler)
            handler(FSender, FAVFormatContext);
    });
}

void TCustomEncoder::DoAudioHook(TObject* Sender, const int64_t APTS, uint8_t* ASample, int ASize, int ASampleRate,
                                 int AChannels, int ASampleFormat)
{
    TEncoderAudioHookEvent handler = OnAudioHook;
    if (!handler)
        return;
    TCriticalSectionGuard g(FAudioHookLock);
    handler(this, GetTaskIndex(static_cast<TFFmpeg*>(Sender)), APTS, ASample, ASize, ASampleRate, AChannels,
            ASampleFormat);
}

void TCustomEncoder::VideoHook(const TEncoderVideoHookEvent& AHandler, TObject* Sender, void* ABitmap,
                               int AFrameNumber, int64_t APTS, bool& AUpdate, bool& AStopHook)
{
    if (!AHandler)
        return;
    TCriticalSectionGuard g(FVideoHookLock);
    auto* bmp = static_cast<TBitmap*>(ABitmap);
    FVideoHookInfo =
        THookInfo{GetTaskIndex(static_cast<TFFmpeg*>(Sender)), bmp, AFrameNumber, APTS, AUpdate, AStopHook};
    // The handler draws from this thread while the main thread may paint.
    TCanvas* canvas = bmp ? bmp->Canvas() : nullptr;
    if (canvas)
        canvas->Lock();
    try {
        AHandler(this, &FVideoHookInfo);
    } catch (...) {
        if (canvas)
            canvas->Unlock();
        throw;
    }
    if (canvas)
        canvas->Unlock();
    AUpdate = FVideoHookInfo.Update;
    AStopHook = FVideoHookInfo.StopHook;
}

void TCustomEncoder::DoInputVideoHook(TObject* Sender, void* ABitmap, int AFrameNumber, const int64_t APTS,
                                      bool& AUpdate, bool& AStopHook)
{
    VideoHook(OnVideoInputHook, Sender, ABitmap, AFrameNumber, APTS, AUpdate, AStopHook);
}

void TCustomEncoder::DoOutputVideoHook(TObject* Sender, void* ABitmap, int AFrameNumber, const int64_t APTS,
                                       bool& AUpdate, bool& AStopHook)
{
    VideoHook(OnVideoOutputHook, Sender, ABitmap, AFrameNumber, APTS, AUpdate, AStopHook);
}

void TCustomEncoder::FrameHook(const TEncoderFrameHookEvent& AHandler, TObject* Sender, TAVPicture* APicture,
                               int APixFmt, int AFrameNumber, int AWidth, int AHeight, int64_t APTS)
{
    if (!AHandler)
        return;
    TCriticalSectionGuard g(FFrameHookLock);
    FFrameHookInfo = TFrameHookInfo{GetTaskIndex(static_cast<TFFmpeg*>(Sender)), AFrameNumber, APicture, APixFmt,
                                    AWidth, AHeight, APTS};
    AHandler(this, &FFrameHookInfo);
}

void TCustomEncoder::DoInputFrameHook(TObject* Sender, TAVPicture* APicture, int APixFmt, int AFrameNumber,
                                      int AWidth, int AHeight, const int64_t APTS)
{
    FrameHook(OnFrameInputHook, Sender, APicture, APixFmt, AFrameNumber, AWidth, AHeight, APTS);
}

void TCustomEncoder::DoOutputFrameHook(TObject* Sender, TAVPicture* APicture, int APixFmt, int AFrameNumber,
                                       int AWidth, int AHeight, const int64_t APTS)
{
    FrameHook(OnFrameOutputHook, Sender, APicture, APixFmt, AFrameNumber, AWidth, AHeight, APTS);
}
