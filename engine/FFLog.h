#pragma once
// The process-wide logger of the engine. It receives the engine's own
// messages and every line FFmpeg writes (through a log callback installed
// when avutil is bound), filters them by level and raises OnLog, by default
// in the main thread. FFmpeg's pieces are assembled into whole lines per
// thread and repeated lines are folded into one note.
#include <cstdarg>
#include <functional>
#include <string>

#include "engine/FFBaseComponent.h"

enum TLogLevel { llQuiet, llPanic, llFatal, llError, llWarning, llInfo, llVerbose, llDebug };

int LogLevelToAV(TLogLevel ALevel);
TLogLevel AVToLogLevel(int AValue);

struct TLogInfo {
    TObject* Sender = nullptr;
    Cardinal ThreadID = 0;
    TLogLevel LogLevel = llInfo;
    std::string LogMsg;
};

using TLogEvent = TMethodPtr<void(TObject* Sender, Cardinal AThreadID, TLogLevel ALogLevel, const std::string& ALogMsg)>;

class TFFLogger : public TFFBaseComponent {
public:
    // A second logger while one exists raises
    // "Allow creating only one instance of TFFLogger."; one the engine made on
    // demand is replaced.
    explicit TFFLogger(TComponent* AOwner);
    ~TFFLogger() override;

    TLogLevel LogLevel() const { return FLogLevel; }
    void SetLogLevel(TLogLevel AValue);
    bool TriggerEventInMainThread() const { return FTriggerEventInMainThread; }
    void SetTriggerEventInMainThread(bool AValue) { FTriggerEventInMainThread = AValue; }
    const TLogEvent& OnLog() const { return FOnLog; }
    void SetOnLog(TLogEvent AValue);

    void Log(TObject* Sender, TLogLevel ALogLevel, const std::string& ALogMsg);
    // printf-style; formatted only when the message passes.
    void Log(TObject* Sender, TLogLevel ALogLevel, const char* AFormat, ...) __attribute__((format(printf, 4, 5)));
    void LogV(TObject* Sender, TLogLevel ALogLevel, const char* AFormat, va_list AArgs);

    // Installs the FFmpeg log callback and applies LogLevel (avutil bound).
    void InstallAVLogCallback();
    // "quiet" ... "debug" or a decimal FFmpeg level; other texts raise EConvertError.
    void OptLogLevel(const std::string& AArg);

    bool AutoCreated() const { return FAutoCreated; }

    // Delivers one line as OnLog would: in the main thread, the caller
    // waiting for it.
    void Deliver(TObject* Sender, Cardinal AThreadID, TLogLevel ALevel, const std::string& AMsg);
    // Delivers one line of FFmpeg's: from a thread other than the main one it
    // is queued for the main thread instead of waited for, because FFmpeg's
    // own worker threads log while the main thread may be waiting for them
    // inside the library.
    void DeliverLibraryLine(Cardinal AThreadID, TLogLevel ALevel, const std::string& AMsg);

private:
    friend TFFLogger* GetFFLogger();
    TFFLogger(TComponent* AOwner, bool AAutoCreated);
    bool FAutoCreated = false;
    bool FTriggerEventInMainThread = true;
    TLogLevel FLogLevel;
    TLogEvent FOnLog;
};

// The process logger; made on demand when none exists.
TFFLogger* GetFFLogger();
// The thread id the logger reports.
Cardinal CurrentLogThreadID();

// FFmpeg's log callback (C calling convention through av_log_set_callback).
extern "C" void AVLogCallback(void* avcl, int level, const char* fmt, va_list vl);

// The text of the last error-level line the libraries logged in the calling
// thread (without its context), and forgets it: the reason behind a failed
// call, such as a demuxer's complaint before it refuses a file.
std::string TakeLastLibraryError();
