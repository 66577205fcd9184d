#include "engine/transcode/FFmpeg.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/bindings/AVCodecStubs.h"
#include "engine/bindings/AVFilterStubs.h"
#include "engine/bindings/AVFormatStubs.h"
#include "engine/bindings/AVUtilStubs.h"
#include "engine/common/FFLog.h"
#include "engine/common/FFTexts.h"
#include "engine/transcode/Scheduler.h"
#include "engine/common/MainThread.h"
#include "engine/common/TextFormat.h"
#include "engine/bindings/SwResampleStubs.h"
#include "engine/bindings/SwScaleStubs.h"

TCriticalSection& CodecListLock()
{
    static TCriticalSection lock;
    return lock;
}

TCriticalSection& PostHookLock()
{
    static TCriticalSection lock;
    return lock;
}

// ---------------------------------------------------------------------------
// Threads

TConvertThread::TConvertThread(TCustomFFmpeg* AOwner) : TThread(true), FOwner(AOwner) {}

void TConvertThread::Execute()
{
    // The stop event was reset when the task started, so a stop that comes
    // before this thread runs still waits for the body.
    try {
        FOwner->DoConvert();
    } catch (...) {
        // DoConvert catches every step's failure; whatever still comes out
        // ends the task as failed rather than vanish with the thread.
        FOwner->EndWithFailure("The conversion ended with an unknown error");
    }
    FOwner->FStopEvent.SetEvent();
}

TDoTerminateThread::TDoTerminateThread(TCustomFFmpeg* AOwner) : TThread(true), FOwner(AOwner) {}

void TDoTerminateThread::Execute()
{
    try {
        FOwner->FinishConvert();
    } catch (...) {
        LogCaughtFailure(FOwner, "The end notification failed");
    }
    FOwner->FTermEvent.SetEvent();
}

// ---------------------------------------------------------------------------
// Life

TCustomFFmpeg::TCustomFFmpeg()
{
    HaltOnInvalidOption = true;
    FReadCallback.callback = &TCustomFFmpeg::ReadInterruptCallback;
    FReadCallback.opaque = this;
    FWriteCallback.callback = &TCustomFFmpeg::WriteInterruptCallback;
    FWriteCallback.opaque = this;
    ResetDefaults();
}

TCustomFFmpeg::~TCustomFFmpeg()
{
    Stop(true);
    if (FTermThread) {
        FTermThread->WaitFor();
        delete FTermThread;
        FTermThread = nullptr;
    }
    if (FOwnedThread) {
        FOwnedThread->WaitFor();
        delete FOwnedThread;
        FOwnedThread = nullptr;
    }
    CloseEncoders(FEncoderList);
    CloseDecoders(FDecoderList);
    CleanUp();
}

void TCustomFFmpeg::ResetDefaults()
{
    ResetOptionDefaults();
    Fbit_buffer_size = 262144;
    FThread = nullptr;
    FPostHooks = {};
    FPostHooksChanged = false;
    FJoinMode = false;
    FConverting = false;
    FBroken = false;
    FFinished = false;
    FTerminated = false;
    FFatalException = false;
    FFatalMessage.clear();
    FLastErrMsg.clear();
    FInputDuration = -1;
    FOutputDuration = -1;
    FLastRead = INT64_MAX;
    FLastWrite = INT64_MAX;
    FLoopEnded = false;
}

AVFormatContext* TCustomFFmpeg::InputFormatContext(int AIndex) const
{
    return AIndex >= 0 && AIndex < int(input_files.size()) ? input_files[size_t(AIndex)].ctx : nullptr;
}

// ---------------------------------------------------------------------------
// Errors and hooks

[[noreturn]] void TCustomFFmpeg::Fatal(const std::string& AMsg)
{
    // A stage thread's failure reaches the task's thread through the stage,
    // which records it there (the task's own state is not this thread's).
    if (!TStageThread::InStageThread())
        FLastErrMsg = AMsg;
    GetFFLogger()->Log(this, llFatal, AMsg);
    throw FFmpegException(AMsg);
}

[[noreturn]] void TCustomFFmpeg::FatalFmt(const char* AFormat, ...)
{
    va_list ap;
    va_start(ap, AFormat);
    std::string msg = FormatVA(AFormat, ap);
    va_end(ap);
    Fatal(msg);
    __builtin_unreachable();  // Fatal always raises
}

// The preview window is made, used and freed by the conversion that shows
// it (a removed phPreview frees it at the next frame), so changing the set
// from the main thread never waits for that thread.
void TCustomFFmpeg::SetPostHooks(TPostHooks AValue)
{
    TCriticalSectionGuard g(PostHookLock());
    FPostHooks = AValue;
    FPostHooksChanged = true;
}

TPostHooks TCustomFFmpeg::TakePostHooks(bool& AChanged)
{
    TCriticalSectionGuard g(PostHookLock());
    AChanged = FPostHooksChanged;
    FPostHooksChanged = false;
    return FPostHooks;
}

void TCustomFFmpeg::DropPostHook(TPostHook AHook)
{
    TCriticalSectionGuard g(PostHookLock());
    FPostHooks = FPostHooks.Without(AHook);
}

TPostHooks TCustomFFmpeg::PostHooks() const
{
    TCriticalSectionGuard g(PostHookLock());
    return FPostHooks;
}

// ---------------------------------------------------------------------------
// Starting and ending

TThread* TCustomFFmpeg::StartConvert(bool AUseThread, TThreadPriority APriority)
{
    if (FConverting || FTerminated)
        return nullptr;
    const char* missing = nullptr;
    if (output_files.empty())
        missing = "At least one output file must be specified";
    else if (input_files.empty())
        missing = "At least one input file must be specified";
    if (missing) {
        CleanUp();
        EndWithFailure(missing);
        FLastErrMsg = missing;
        FinishConvert();
        return nullptr;
    }
    FConverting = true;
    FBroken = false;
    FFinished = false;
    FTerminated = false;
    if (!AUseThread) {
        DoConvert();
        return nullptr;
    }
    FStopEvent.ResetEvent();
    auto* t = new TConvertThread(this);
    t->Priority = APriority;
    FThread = t;
    FOwnedThread = t;
    return t;
}

void TCustomFFmpeg::DoConvert()
{
    FFinished = false;
    auto guarded = [this](auto&& AStep) {
        try {
            AStep();
        } catch (const Exception& e) {
            EndWithFailure(e.Message());
        } catch (const std::exception& e) {
            EndWithFailure(e.what());
        }
    };
    guarded([this] { Transcode(); });
    guarded([this] { CloseEncoders(FEncoderList); });
    guarded([this] { CloseDecoders(FDecoderList); });
    guarded([this] { CleanUp(); });
    guarded([this] { FinishConvert(); });
    if (ff::av_log)
        ff::av_log(nullptr, -8, "%s", static_cast<const char*>(nullptr));
}

void TCustomFFmpeg::EndWithFailure(const std::string& AMsg)
{
    GetFFLogger()->Log(this, llQuiet, AMsg);
    FFatalException = true;
    FFatalMessage = AMsg;
}

void TCustomFFmpeg::FinishConvert()
{
    FConverting = false;
    FTerminated = true;
    FThread = nullptr;
    if (OnTerminate)
        OnTerminate(this);
}

void TCustomFFmpeg::Stop(bool AWaitForStop)
{
    FBroken = true;
    TThread* t = FOwnedThread;
    if (!t)
        return;
    // Starts a thread never started (its body then ends at once, and sets
    // the stop event), or ends a pause hold. Terminate is not used: a thread
    // terminated before it runs skips its body and would never set it.
    t->Resume();
    if (!AWaitForStop)
        return;
    while (FStopEvent.WaitFor(20) != wrSignaled) {
        if (IsMainThread())
            PumpMessages();
    }
    // Really ended: nothing of the thread runs any more once this returns.
    t->WaitFor();
    if (FOwnedThread == t) {
        FOwnedThread = nullptr;
        delete t;
    }
}

void TCustomFFmpeg::StopTask(bool AWaitForStop)
{
    if (FConverting) {
        Stop(AWaitForStop);
        return;
    }
    if (FTerminated)
        return;
    if (FTermThread)
        return;  // its end is on its way
    // A task stopped before it ran wrote nothing: the files its set-up
    // created go now, not when the task list is cleared.
    FBroken = true;
    CleanUp();
    FTermEvent.ResetEvent();
    FTermThread = new TDoTerminateThread(this);
    FTermThread->Start();
    if (!AWaitForStop)
        return;  // the destructor waits for it
    while (FTermEvent.WaitFor(20) != wrSignaled)
        if (IsMainThread())
            PumpMessages();
    FTermThread->WaitFor();
    delete FTermThread;
    FTermThread = nullptr;
}

void TCustomFFmpeg::Pause()
{
    if (FOwnedThread && FConverting && !FOwnedThread->Paused())
        FOwnedThread->Pause();
}

void TCustomFFmpeg::Resume()
{
    if (FOwnedThread && FOwnedThread->Paused())
        FOwnedThread->Resume();
}

bool TCustomFFmpeg::Paused() const
{
    return FOwnedThread && FOwnedThread->Paused();
}

// ---------------------------------------------------------------------------
// Interrupt callbacks

void TCustomFFmpeg::StampRead()
{
    FLastRead = ff::av_gettime ? ff::av_gettime() : 0;
}

void TCustomFFmpeg::StampWrite()
{
    FLastWrite = ff::av_gettime ? ff::av_gettime() : 0;
}

namespace {

int InterruptCheck(TCustomFFmpeg* Self, bool ABroken, int64_t ALast, int ATimeout, const char* AWhat)
{
    if (ABroken) {
        GetFFLogger()->Log(Self, llInfo, "%s broken", AWhat);
        return 1;
    }
    if (ALast == INT64_MAX || ATimeout <= 0)
        return 0;
    if (ALast < 0 || ff::av_gettime() - ALast <= int64_t(ATimeout) * 1000)
        return 0;
    GetFFLogger()->Log(Self, llInfo, "connecting/%s %s", AWhat, ALast == 0 ? "canceled" : "timeout");
    return 1;
}

}  // namespace

int TCustomFFmpeg::ReadInterruptCallback(void* AOpaque)
{
    auto* self = static_cast<TCustomFFmpeg*>(AOpaque);
    return self->ReadInterrupted(self->FLastRead);
}

int TCustomFFmpeg::ReadInterrupted(int64_t ALastRead)
{
    return InterruptCheck(this, FBroken, ALastRead, ReadTimeout, "reading");
}

int TCustomFFmpeg::WriteInterruptCallback(void* AOpaque)
{
    auto* self = static_cast<TCustomFFmpeg*>(AOpaque);
    // A stop aborts only a write that is stuck (pending for over a second):
    // a write aborted midway leaves a hole in the file and stops all later
    // writing, the trailer's too. Once the loop has ended, a stop no longer
    // aborts writing at all: the trailer written after a stop must succeed,
    // so that the file stays playable.
    const int64_t last = self->FLastWrite;
    const bool stuck = last != INT64_MAX && ff::av_gettime() - last > 1000000;
    return InterruptCheck(self, self->FBroken && !self->FLoopEnded && stuck, last, self->WriteTimeout, "writing");
}

// ---------------------------------------------------------------------------
// Open-codec lists

void TCustomFFmpeg::AddToCodecList(TCodecListNode*& AHead, void* AStream)
{
    TCriticalSectionGuard g(CodecListLock());
    auto* n = new TCodecListNode{AStream, nullptr, AHead};
    if (AHead)
        AHead->Prev = n;
    AHead = n;
}

void TCustomFFmpeg::RemoveFromCodecList(TCodecListNode*& AHead, void* AStream)
{
    TCriticalSectionGuard g(CodecListLock());
    for (TCodecListNode* n = AHead; n; n = n->Next) {
        if (n->Stream != AStream)
            continue;
        if (n->Prev)
            n->Prev->Next = n->Next;
        else
            AHead = n->Next;
        if (n->Next)
            n->Next->Prev = n->Prev;
        delete n;
        return;
    }
}

namespace {

// Empties an open-codec list, closing each entry's codec with AClose.
template <typename TClose>
void CloseCodecList(TCodecListNode*& AHead, TClose AClose)
{
    TCriticalSectionGuard g(CodecListLock());
    while (AHead) {
        TCodecListNode* n = AHead;
        AHead = n->Next;
        AClose(n->Stream);
        delete n;
    }
}

}  // namespace

void TCustomFFmpeg::CloseEncoders(TCodecListNode*& AHead)
{
    CloseCodecList(AHead, [](void* AStream) {
        auto* ost = static_cast<TOutputStream*>(AStream);
        if (ost->encoding_needed && ost->enc_ctx) {
            ff::av_freep(&ost->enc_ctx->stats_in);
            ff::avcodec_close(ost->enc_ctx);
        }
    });
}

void TCustomFFmpeg::CloseDecoders(TCodecListNode*& AHead)
{
    CloseCodecList(AHead, [](void* AStream) {
        auto* ist = static_cast<TInputStream*>(AStream);
        if (ist->decoding_needed && ist->dec_ctx)
            ff::avcodec_close(ist->dec_ctx);
    });
}
