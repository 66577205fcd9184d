#pragma once
// Synchronisation objects with the platform's shapes: a recursive critical
// section and manual- or auto-reset events with timed waits. Timed waits run
// on the replaceable clock (Clock.h), so tests can drive them with fake time.
#include "platform/rtl/Clock.h"
#include "platform/rtl/Types.h"

#include <condition_variable>
#include <mutex>

enum TWaitResult { wrSignaled, wrTimeout, wrAbandoned, wrError };

// Recursive: the thread that holds it may enter again, and must leave as
// often as it entered.
class TCriticalSection {
public:
    void Enter() { FMutex.lock(); }
    void Leave() { FMutex.unlock(); }
    bool TryEnter() { return FMutex.try_lock(); }
    void Acquire() { Enter(); }
    void Release() { Leave(); }
    // For std::lock_guard and friends.
    void lock() { Enter(); }
    void unlock() { Leave(); }
    bool try_lock() { return TryEnter(); }

private:
    std::recursive_mutex FMutex;
};

// Holds a critical section for the lifetime of the guard.
class TCriticalSectionGuard {
public:
    explicit TCriticalSectionGuard(TCriticalSection& cs) : FCs(cs) { FCs.Enter(); }
    ~TCriticalSectionGuard() { FCs.Leave(); }
    TCriticalSectionGuard(const TCriticalSectionGuard&) = delete;
    TCriticalSectionGuard& operator=(const TCriticalSectionGuard&) = delete;

private:
    TCriticalSection& FCs;
};

// A manual-reset event stays signalled until ResetEvent and releases every
// waiter; an auto-reset event releases one waiter and clears itself.
// Abandon wakes all current and future waiters with wrAbandoned (used when
// the owner of an event shuts down while others may still wait on it).
class TEvent {
public:
    explicit TEvent(bool manualReset = true, bool initialState = false)
        : FManualReset(manualReset), FSignaled(initialState)
    {
    }
    TEvent(const TEvent&) = delete;
    TEvent& operator=(const TEvent&) = delete;

    void SetEvent();
    void ResetEvent();
    void Abandon();
    bool IsSet() const;
    // Waits up to timeoutMs (INFINITE: without limit, 0: just tests).
    TWaitResult WaitFor(DWORD timeoutMs = INFINITE);
    bool ManualReset() const { return FManualReset; }

private:
    const bool FManualReset;
    mutable std::mutex FMutex;
    std::condition_variable FCond;
    bool FSignaled;
    bool FAbandoned = false;
};

// Waits until any of the events is signalled; returns its index, or -1 on
// timeout. Events are checked in order, so with several signalled the first
// wins (and, auto-reset, is the only one reset).
int WaitForAnyEvent(TEvent* const* events, int count, DWORD timeoutMs);
