#include "platform/rtl/Threads.h"

#include <deque>
#include <memory>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

DWORD GetCurrentThreadId()
{
    thread_local const DWORD id = static_cast<DWORD>(syscall(SYS_gettid));
    return id;
}

DWORD MainThreadID = GetCurrentThreadId();

void Sleep(DWORD ms)
{
    if (ms == 0) {
        std::this_thread::yield();
        return;
    }
    timespec ts{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

namespace {

struct TSyncRequest {
    TThreadMethod proc;
    TThread* owner = nullptr;
    bool synchronous = false;
    bool done = false;
    std::exception_ptr error;
};

// The main-thread call queue. One lock guards the queue, the completion of
// synchronised calls and the "a thread ended" generation, so that no wake-up
// can slip between a check and a wait.
struct TSyncState {
    std::mutex lock;
    std::condition_variable arrived;  // the main thread waits here
    std::condition_variable done;     // workers in Synchronize wait here
    std::deque<std::shared_ptr<TSyncRequest>> queue;
    std::uint64_t endGeneration = 0;
    // A queued call's failure met while waiting for a thread, raised by the
    // next CheckSynchronize (waits for threads never raise them).
    std::exception_ptr deferred;
    std::mutex hookLock;
    std::function<void()> wakeHook;
};

TSyncState& Sync()
{
    static TSyncState* state = new TSyncState;  // lives until exit: threads may outlive statics
    return *state;
}

void WakeMainThread()
{
    TSyncState& s = Sync();
    s.arrived.notify_all();
    std::function<void()> hook;
    {
        std::lock_guard<std::mutex> g(s.hookLock);
        hook = s.wakeHook;
    }
    if (hook)
        hook();
}

void Enqueue(const std::shared_ptr<TSyncRequest>& r)
{
    {
        std::lock_guard<std::mutex> g(Sync().lock);
        Sync().queue.push_back(r);
    }
    WakeMainThread();
}

// Runs the requests present now, in order (lock held on entry and exit).
// They are taken one at a time, so that a call which frees a thread (and
// drops its queued calls) leaves none of them behind to run; calls queued
// meanwhile wait for the next round, so a call that queues itself cannot
// keep the main thread here forever.
bool RunPending(std::unique_lock<std::mutex>& lock)
{
    TSyncState& s = Sync();
    std::size_t count = s.queue.size();
    bool ran = false;
    while (count-- > 0 && !s.queue.empty()) {
        std::shared_ptr<TSyncRequest> r = std::move(s.queue.front());
        s.queue.pop_front();
        lock.unlock();
        ran = true;
        if (r->synchronous) {
            try {
                r->proc();
            } catch (...) {
                r->error = std::current_exception();
            }
            lock.lock();
            r->done = true;
            s.done.notify_all();
        } else {
            try {
                r->proc();
            } catch (...) {
                lock.lock();  // the calls after it stay queued
                throw;
            }
            lock.lock();
        }
    }
    return ran;
}

}  // namespace

namespace {

// Serves the queue until ended() holds (checked under the queue's lock, which
// the ending thread takes to say so, so that its end cannot slip past). The
// wait must not be broken off by a queued call's failure, which is kept for
// the next CheckSynchronize.
void ServeUntilEnded(const std::function<bool()>& ended)
{
    TSyncState& s = Sync();
    std::unique_lock<std::mutex> lock(s.lock);
    while (!ended()) {
        s.arrived.wait(lock, [&] { return !s.queue.empty() || ended(); });
        try {
            RunPending(lock);
        } catch (...) {
            if (!s.deferred)
                s.deferred = std::current_exception();
        }
    }
}

// Waits until ended() holds: the main thread keeps serving the queue (a
// worker in Synchronize could not end otherwise), another thread just waits.
void WaitUntilEnded(const std::function<bool()>& ended)
{
    if (IsMainThread()) {
        ServeUntilEnded(ended);
    } else {
        std::unique_lock<std::mutex> lock(Sync().lock);
        Sync().arrived.wait(lock, ended);
    }
}

}  // namespace

bool CheckSynchronize(DWORD timeoutMs)
{
    if (!IsMainThread())
        return false;
    TSyncState& s = Sync();
    std::unique_lock<std::mutex> lock(s.lock);
    if (s.deferred) {
        std::exception_ptr e = std::move(s.deferred);
        s.deferred = nullptr;
        std::rethrow_exception(e);
    }
    const std::uint64_t generation = s.endGeneration;
    ClockWaitFor(lock, s.arrived, timeoutMs,
                 [&] { return !s.queue.empty() || s.endGeneration != generation; });
    return RunPending(lock);
}

bool SynchronizePending()
{
    std::lock_guard<std::mutex> g(Sync().lock);
    return !Sync().queue.empty();
}

std::function<void()> SetWakeMainThreadHook(std::function<void()> hook)
{
    std::lock_guard<std::mutex> g(Sync().hookLock);
    std::swap(Sync().wakeHook, hook);
    return hook;
}

// ---------------------------------------------------------------------------

void TThread::Synchronize(TThread* thread, TThreadMethod fn)
{
    if (!fn)
        return;
    if (IsMainThread()) {
        fn();
        return;
    }
    auto r = std::make_shared<TSyncRequest>();
    r->proc = std::move(fn);
    r->owner = thread;
    r->synchronous = true;
    Enqueue(r);
    TSyncState& s = Sync();
    {
        std::unique_lock<std::mutex> lock(s.lock);
        s.done.wait(lock, [&] { return r->done; });
    }
    if (r->error)
        std::rethrow_exception(r->error);
}

void TThread::Queue(TThread* thread, TThreadMethod fn)
{
    if (!fn)
        return;
    if (IsMainThread()) {
        fn();
        return;
    }
    ForceQueue(thread, std::move(fn));
}

void TThread::ForceQueue(TThread* thread, TThreadMethod fn)
{
    if (!fn)
        return;
    auto r = std::make_shared<TSyncRequest>();
    r->proc = std::move(fn);
    r->owner = thread;
    Enqueue(r);
}

void TThread::RemoveQueuedEvents(TThread* thread)
{
    std::lock_guard<std::mutex> g(Sync().lock);
    auto& q = Sync().queue;
    std::erase_if(q, [&](const std::shared_ptr<TSyncRequest>& r) { return !r->synchronous && r->owner == thread; });
}

// ---------------------------------------------------------------------------

TThread::TThread(bool createSuspended) : FCreateSuspended(createSuspended) {}

void TThread::AfterConstruction()
{
    if (!FCreateSuspended)
        Start();
}

TThread::~TThread()
{
    if (FStarted.load()) {
        if (FThreadID.load() == GetCurrentThreadId()) {
            FThread.detach();  // freeing itself at its end
        } else {
            Terminate();
            if (!FEnded.load())
                WaitUntilEnded([this] { return FEnded.load(); });
            std::lock_guard<std::mutex> g(FJoinLock);
            if (FThread.joinable())
                FThread.join();
        }
    }
    RemoveQueuedEvents(this);
}

void TThread::Start()
{
    if (FStarted.exchange(true))
        throw EThread("Cannot call Start on a running or terminated thread");
    // The new thread waits for this lock, so that it cannot end (and free
    // itself) before FThread is assigned.
    std::lock_guard<std::mutex> g(FJoinLock);
    try {
        FThread = std::thread(&TThread::ThreadProc, this);
    } catch (const std::system_error& e) {
        FStarted = false;
        throw EThread(std::string("Thread creation error: ") + e.what());
    }
}

void TThread::Resume()
{
    if (!FStarted.load()) {
        Start();
        return;
    }
    {
        std::lock_guard<std::mutex> g(FPauseLock);
        FPaused = false;
    }
    FPauseCond.notify_all();
}

void TThread::Pause()
{
    std::lock_guard<std::mutex> g(FPauseLock);
    FPaused = true;
}

void TThread::Terminate()
{
    {
        std::lock_guard<std::mutex> g(FPauseLock);
        FTerminated = true;
    }
    FPauseCond.notify_all();
}

bool TThread::WaitWhilePaused()
{
    std::unique_lock<std::mutex> lock(FPauseLock);
    if (FPaused.load() && !FTerminated.load()) {
        FHolding = true;
        FPauseCond.wait(lock, [&] { return !FPaused.load() || FTerminated.load(); });
        FHolding = false;
    }
    return !FTerminated.load();
}

int TThread::WaitFor()
{
    if (FreeOnTerminate.load())
        throw EThread("Cannot wait for a thread that frees itself");
    if (!FStarted.load())
        return ReturnValue;
    if (FThreadID.load() == GetCurrentThreadId())
        throw EThread("A thread cannot wait for itself");
    WaitUntilEnded([this] { return FEnded.load(); });
    {
        std::lock_guard<std::mutex> g(FJoinLock);
        if (FThread.joinable())
            FThread.join();
    }
    return ReturnValue;
}

std::exception_ptr TThread::FatalException() const
{
    std::lock_guard<std::mutex> g(FFatalLock);
    return FFatalException;
}

std::string TThread::FatalExceptionMessage() const
{
    const std::exception_ptr e = FatalException();
    if (!e)
        return {};
    try {
        std::rethrow_exception(e);
    } catch (const std::exception& ex) {
        return ex.what();
    } catch (...) {
        return "Unknown exception";
    }
}

void TThread::DoTerminate()
{
    if (OnTerminate)
        Synchronize([this] { OnTerminate(this); });
}

void TThread::ThreadProc(TThread* self)
{
    {
        std::lock_guard<std::mutex> gate(self->FJoinLock);
    }
    self->FThreadID = GetCurrentThreadId();
    auto keep = [self](std::exception_ptr e) {
        std::lock_guard<std::mutex> g(self->FFatalLock);
        if (!self->FFatalException)
            self->FFatalException = e;
    };
    try {
        if (!self->FTerminated.load())
            self->Execute();
    } catch (...) {
        keep(std::current_exception());
    }
    const bool freeThread = self->FreeOnTerminate.load();
    self->FFinished = true;
    try {
        self->DoTerminate();
    } catch (...) {
        keep(std::current_exception());
    }
    TSyncState& s = Sync();
    if (freeThread) {
        // Nobody waits for a thread that frees itself; still tell waiters in
        // CheckSynchronize that a thread ended.
        delete self;
        {
            std::lock_guard<std::mutex> g(s.lock);
            ++s.endGeneration;
        }
    } else {
        std::lock_guard<std::mutex> g(s.lock);
        self->FEnded = true;
        ++s.endGeneration;
    }
    WakeMainThread();
}
