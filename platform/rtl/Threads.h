#pragma once
// Threads with the platform's shape, and the main-thread call queue.
//
// Worker threads hand work to the main thread with Synchronize (wait until it
// has run there) or Queue (run it later, don't wait). The main thread runs
// what is pending in CheckSynchronize, which its message loop calls; the
// window system installs a wake-up hook so that a message wait returns when
// something arrives. A wait in the main thread for a worker (TThread::WaitFor)
// keeps serving the queue, so a worker blocked in Synchronize cannot
// dead-lock it.
//
// Suspending a thread from outside at an arbitrary point could leave it
// holding a lock someone else needs, so there is no such call: Pause asks the
// thread to hold, and the thread holds at points of its own choosing
// (WaitWhilePaused). Terminate always ends a hold.
#include "platform/rtl/Clock.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Types.h"

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

using TThreadMethod = std::function<void()>;

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

// The thread that initialised the program (the one running static
// initialisation), and the caller's own id.
extern DWORD MainThreadID;
DWORD GetCurrentThreadId();
inline bool IsMainThread() { return GetCurrentThreadId() == MainThreadID; }
void Sleep(DWORD ms);

// Runs what workers have handed to the main thread. Waits up to timeoutMs
// (on the replaceable clock) for something to arrive when nothing is pending;
// a thread ending also ends the wait. Returns true when something ran. Does
// nothing, returning false, outside the main thread. An exception raised by a
// queued call propagates from here (the calls after it stay queued); one
// raised by a synchronised call is raised again in the worker that waits for
// it. A queued call's exception met while TThread::WaitFor serves the queue
// does not break off that wait: the next CheckSynchronize raises it.
bool CheckSynchronize(DWORD timeoutMs = 0);
// True when calls wait for the main thread.
bool SynchronizePending();
// Called, from the worker, whenever a call is handed to the main thread.
// The window system installs one that wakes its message wait; nullptr removes.
// Returns the hook it replaces, so that a temporary one can put it back (a
// lost hook leaves the message wait asleep while a worker waits in Synchronize).
std::function<void()> SetWakeMainThreadHook(std::function<void()> hook);

class TThread {
public:
    // The thread does not run until Start, or until AfterConstruction when
    // not created suspended (Create<T> calls it). A thread cannot start from
    // the base constructor: its Execute does not exist yet.
    explicit TThread(bool createSuspended = true);
    // Construct and, unless created suspended, start: the platform's
    // "created running".
    template <typename T, typename... A>
    static T* Create(A&&... args)
    {
        T* t = new T(std::forward<A>(args)...);
        t->AfterConstruction();
        return t;
    }
    void AfterConstruction();

    // A running thread is terminated and waited for; but its Execute must not
    // use members of a derived class by then, so owners Terminate and WaitFor
    // before deleting. A thread that frees itself must never be deleted.
    virtual ~TThread();
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    // Raises EThread when already started or when the system cannot start it.
    void Start();
    // Starts a thread created suspended; otherwise ends a Pause.
    void Resume();
    void Pause();
    bool Paused() const { return FPaused.load(); }
    // True while the thread actually holds in WaitWhilePaused.
    bool Holding() const { return FHolding.load(); }

    void Terminate();
    bool Terminated() const { return FTerminated.load(); }
    // Waits for the end of Execute and of OnTerminate; serves the call queue
    // when called in the main thread. Returns ReturnValue. Returns at once for
    // a thread that never started; raises EThread when the thread waits for
    // itself or frees itself.
    int WaitFor();
    bool Started() const { return FStarted.load(); }
    bool Suspended() const { return !FStarted.load(); }
    bool Finished() const { return FFinished.load(); }
    DWORD ThreadID() const { return FThreadID.load(); }

    // Runs fn in the main thread and waits for it (at once in the main thread).
    static void Synchronize(TThread* thread, TThreadMethod fn);
    void Synchronize(TThreadMethod fn) { Synchronize(this, std::move(fn)); }
    // Runs fn in the main thread without waiting (at once in the main thread).
    static void Queue(TThread* thread, TThreadMethod fn);
    void Queue(TThreadMethod fn) { Queue(this, std::move(fn)); }
    // Always queues, even from the main thread.
    static void ForceQueue(TThread* thread, TThreadMethod fn);
    // Drops queued (not synchronised) calls made on behalf of thread.
    static void RemoveQueuedEvents(TThread* thread);

    // Set before Start; the thread deletes itself after OnTerminate.
    std::atomic<bool> FreeOnTerminate{false};
    // Runs in the main thread after Execute.
    std::function<void(TThread*)> OnTerminate;
    TThreadPriority Priority = tpNormal;
    int ReturnValue = 0;

    // What Execute raised, if anything; the thread ends normally after it.
    std::exception_ptr FatalException() const;
    std::string FatalExceptionMessage() const;

protected:
    virtual void Execute() = 0;
    // Runs OnTerminate through Synchronize.
    virtual void DoTerminate();
    // A pause point: holds while paused; returns false once terminated.
    bool WaitWhilePaused();

private:
    static void ThreadProc(TThread* self);

    std::thread FThread;
    std::mutex FJoinLock;
    const bool FCreateSuspended;
    std::atomic<bool> FStarted{false};
    std::atomic<bool> FTerminated{false};
    std::atomic<bool> FFinished{false};
    std::atomic<bool> FEnded{false};  // the thread function has returned
    std::atomic<bool> FPaused{false};
    std::atomic<bool> FHolding{false};
    std::atomic<DWORD> FThreadID{0};
    std::mutex FPauseLock;
    std::condition_variable FPauseCond;
    mutable std::mutex FFatalLock;
    std::exception_ptr FFatalException;
};
