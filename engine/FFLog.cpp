#include "engine/FFLog.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <climits>
#include <mutex>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/AVUtilStubs.h"
#include "engine/MyUtils.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Threads.h"

namespace {

// FFmpeg's threshold in its own numbering; changed only together with
// av_log_set_level.
std::atomic<int> gAVThreshold{AV_LOG_INFO};

std::mutex& LoggerLock() {
    static std::mutex* m = new std::mutex;
    return *m;
}
TFFLogger* gLogger = nullptr;

// State of the FFmpeg callback: the unfinished line of every thread, the
// previous complete piece's text (without its context prefix) and its
// repeat count.
struct TCallbackState {
    std::mutex Lock;
    std::unordered_map<Cardinal, std::string> Pending;
    std::string Previous;
    int RepeatCount = 0;
};
TCallbackState& Callback() {
    static TCallbackState* s = new TCallbackState;
    return *s;
}

std::string ItemPrefix(void* avcl) {
    std::string prefix;
    if (!avcl) return prefix;
    const AVClass* avc = *static_cast<AVClass**>(avcl);
    if (!avc) return prefix;
    char buf[512];
    if (avc->parent_log_context_offset) {
        void* parent = *reinterpret_cast<void**>(static_cast<char*>(avcl) + avc->parent_log_context_offset);
        if (parent) {
            const AVClass* pc = *static_cast<AVClass**>(parent);
            if (pc && pc->item_name) {
                std::snprintf(buf, sizeof buf, "[%s @ %p] ", pc->item_name(parent), parent);
                prefix += buf;
            }
        }
    }
    if (avc->item_name) {
        std::snprintf(buf, sizeof buf, "[%s @ %p]", avc->item_name(avcl), avcl);
        prefix += buf;
    }
    return prefix;
}

struct TPendingLine {
    Cardinal ThreadID;
    TLogLevel Level;
    std::string Text;
};

}  // namespace

int LogLevelToAV(TLogLevel ALevel) { return static_cast<int>(ALevel) * 8 - 8; }

TLogLevel AVToLogLevel(int AValue) {
    int ordinal = AValue / 8 + 1;  // division truncates toward zero
    return static_cast<TLogLevel>(std::clamp(ordinal, 0, 7));
}

Cardinal CurrentLogThreadID() { return static_cast<Cardinal>(::syscall(SYS_gettid)); }

TFFLogger::TFFLogger(TComponent* AOwner) : TFFLogger(AOwner, false) {}

TFFLogger::TFFLogger(TComponent* AOwner, bool AAutoCreated) : TFFBaseComponent(AOwner) {
    TFFLogger* old = nullptr;
    {
        std::lock_guard<std::mutex> lock(LoggerLock());
        if (gLogger) {
            if (!gLogger->FAutoCreated) throw EAssertionFailed("Allow creating only one instance of TFFLogger.");
            old = gLogger;
            gLogger = nullptr;
        }
        FAutoCreated = AAutoCreated;
        FLogLevel = AVToLogLevel(gAVThreshold.load());
        gLogger = this;
    }
    delete old;
}

TFFLogger::~TFFLogger() {
    std::lock_guard<std::mutex> lock(LoggerLock());
    if (gLogger == this) gLogger = nullptr;
}

TFFLogger* GetFFLogger() {
    static std::mutex* creating = new std::mutex;
    std::lock_guard<std::mutex> create(*creating);
    {
        std::lock_guard<std::mutex> lock(LoggerLock());
        if (gLogger) return gLogger;
    }
    return new TFFLogger(nullptr, true);
}

void TFFLogger::SetLogLevel(TLogLevel AValue) {
    if (AValue == FLogLevel) return;
    FLogLevel = AValue;
    if (ff::av_log_set_level) {
        gAVThreshold = LogLevelToAV(AValue);
        ff::av_log_set_level(gAVThreshold.load());
    }
}

void TFFLogger::SetOnLog(TLogEvent AValue) {
    std::lock_guard<std::mutex> lock(LoggerLock());
    FOnLog = std::move(AValue);
}

void TFFLogger::InstallAVLogCallback() {
    ff::av_log_set_callback(AVLogCallback);
    gAVThreshold = LogLevelToAV(FLogLevel);
    ff::av_log_set_level(gAVThreshold.load());
}

void TFFLogger::OptLogLevel(const std::string& AArg) {
    static const struct {
        const char* Name;
        int Level;
    } kNames[] = {{"quiet", -8}, {"panic", 0},  {"fatal", 8},    {"error", 16},
                  {"warning", 24}, {"info", 32}, {"verbose", 40}, {"debug", 48}};
    std::string lower = AArg;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const auto& n : kNames)
        if (lower == n.Name) {
            SetLogLevel(AVToLogLevel(n.Level));
            return;
        }
    // A strict decimal number; anything else is a conversion error.
    size_t i = 0;
    if (i < AArg.size() && (AArg[i] == '-' || AArg[i] == '+')) ++i;
    bool digits = i < AArg.size();
    for (size_t j = i; j < AArg.size(); ++j)
        if (!std::isdigit(static_cast<unsigned char>(AArg[j]))) digits = false;
    long long v = digits ? std::strtoll(AArg.c_str(), nullptr, 10) : 0;
    if (!digits || v < INT32_MIN || v > INT32_MAX)
        throw EConvertError("'" + AArg + "' is not a valid integer value");
    SetLogLevel(AVToLogLevel(static_cast<int>(v)));
}

void TFFLogger::Deliver(TObject* Sender, Cardinal AThreadID, TLogLevel ALevel, const std::string& AMsg) {
    TLogEvent handler;
    bool mainThread;
    {
        std::lock_guard<std::mutex> lock(LoggerLock());
        handler = FOnLog;
        mainThread = FTriggerEventInMainThread;
    }
    if (!handler) return;
    // The values travel by copy, so concurrent calls never mix.
    if (mainThread)
        RunInMainThread([&] { handler(Sender, AThreadID, ALevel, AMsg); });
    else
        handler(Sender, AThreadID, ALevel, AMsg);
}

void TFFLogger::Log(TObject* Sender, TLogLevel ALogLevel, const std::string& ALogMsg) {
    if (ALogLevel > FLogLevel || !FOnLog) return;
    Deliver(Sender, CurrentLogThreadID(), ALogLevel, ALogMsg);
}

void TFFLogger::Log(TObject* Sender, TLogLevel ALogLevel, const char* AFormat, ...) {
    va_list args;
    va_start(args, AFormat);
    LogV(Sender, ALogLevel, AFormat, args);
    va_end(args);
}

void TFFLogger::LogV(TObject* Sender, TLogLevel ALogLevel, const char* AFormat, va_list AArgs) {
    if (ALogLevel > FLogLevel || !FOnLog) return;
    Deliver(Sender, CurrentLogThreadID(), ALogLevel, FormatVA(AFormat, AArgs));
}

void TFFLogger::DeliverLibraryLine(Cardinal AThreadID, TLogLevel ALevel, const std::string& AMsg) {
    bool mainThread;
    {
        std::lock_guard<std::mutex> lock(LoggerLock());
        if (!FOnLog) return;
        mainThread = FTriggerEventInMainThread;
    }
    if (!mainThread || IsMainThread()) {
        Deliver(this, AThreadID, ALevel, AMsg);
        return;
    }
    // Whichever logger is the process's when the main thread gets to it.
    TThread::Queue(nullptr, [AThreadID, ALevel, AMsg] {
        TFFLogger* logger = GetFFLogger();
        TLogEvent handler;
        {
            std::lock_guard<std::mutex> lock(LoggerLock());
            handler = logger->FOnLog;
        }
        if (handler) handler(logger, AThreadID, ALevel, AMsg);
    });
}

namespace {
thread_local std::string tLastLibraryError;
}

std::string TakeLastLibraryError() { return std::exchange(tLastLibraryError, std::string()); }

extern "C" void AVLogCallback(void* avcl, int level, const char* fmt, va_list vl) {
    // Kept whatever the threshold: a failure's reason is wanted even when
    // the log is quiet.
    if (fmt && level >= AV_LOG_PANIC && level <= AV_LOG_ERROR) {
        va_list copy;
        va_copy(copy, vl);
        std::string text = std::strcmp(fmt, "%s") == 0 ? "" : FormatVA(fmt, copy);
        if (std::strcmp(fmt, "%s") == 0) {
            const char* arg = va_arg(copy, const char*);
            if (arg) text = arg;
        }
        va_end(copy);
        while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
        if (!text.empty()) tLastLibraryError = std::move(text);
    }
    if (level > gAVThreshold.load()) return;
    TLogLevel logLevel = AVToLogLevel(level);
    Cardinal thread = CurrentLogThreadID();
    std::vector<TPendingLine> lines;
    {
        TCallbackState& cb = Callback();
        std::lock_guard<std::mutex> lock(cb.Lock);
        std::string& pending = cb.Pending[thread];
        std::string piece;
        if (avcl && pending.empty()) piece = ItemPrefix(avcl);
        bool nullText = false;
        if (fmt && std::strcmp(fmt, "%s") == 0) {
            va_list copy;
            va_copy(copy, vl);
            nullText = va_arg(copy, const char*) == nullptr;
            va_end(copy);
        }
        const size_t prefixLength = piece.size();
        if (fmt && !nullText) piece += FormatVA(fmt, vl);
        // Repeats fold by their text: the same warning from another context
        // (each scaler of a conversion has its own) is still a repeat.
        std::string text = piece.substr(prefixLength);
        if (!text.empty() && text.back() == '\n' && text == cb.Previous) {
            ++cb.RepeatCount;
            return;
        }
        if (cb.RepeatCount > 1)
            lines.push_back({thread, logLevel,
                             "    Last message repeated " + std::to_string(cb.RepeatCount) + " times"});
        cb.RepeatCount = 0;
        cb.Previous = std::move(text);
        pending += piece;
        size_t pos;
        while ((pos = pending.find('\n')) != std::string::npos) {
            lines.push_back({thread, logLevel, pending.substr(0, pos)});
            pending.erase(0, pos + 1);
        }
    }
    // Delivered after leaving the lock: a worker may wait here for the main
    // thread, which may itself be logging through FFmpeg.
    if (lines.empty()) return;
    TFFLogger* logger = GetFFLogger();
    for (const TPendingLine& l : lines) logger->DeliverLibraryLine(l.ThreadID, l.Level, l.Text);
}
