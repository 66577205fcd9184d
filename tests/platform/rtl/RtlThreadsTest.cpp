#include "platform/rtl/Clock.h"
#include "platform/rtl/SyncObjs.h"
#include "platform/rtl/Threads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <vector>

namespace {

// A thread running a function, so that tests state their bodies inline.
class TFuncThread : public TThread {
public:
    explicit TFuncThread(std::function<void(TFuncThread&)> body, bool suspended = true)
        : TThread(suspended), FBody(std::move(body))
    {
    }
    ~TFuncThread() override
    {
        if (Destroyed)
            *Destroyed = true;
    }
    using TThread::WaitWhilePaused;
    std::atomic<bool>* Destroyed = nullptr;

protected:
    void Execute() override { FBody(*this); }

private:
    std::function<void(TFuncThread&)> FBody;
};

// Serves the main-thread queue until done() holds (bounded by real time, so a
// broken build fails instead of hanging).
template <typename F>
bool ServeUntil(F done, int maxMs = 5000)
{
    for (int i = 0; i < maxMs && !done(); ++i)
        CheckSynchronize(1);
    return done();
}

}  // namespace

TEST(RtlClock, FakeClockDrivesTickCountAndWraps)
{
    TFakeClock clock(0xFFFFFFF0ULL);
    {
        TClockInstaller install(clock);
        EXPECT_EQ(GetTickCount(), 0xFFFFFFF0u);
        clock.Advance(0x20);
        EXPECT_EQ(GetTickCount(), 0x10u);  // wrapped
        EXPECT_EQ(GetTickCount64(), 0x100000010ULL);
        EXPECT_EQ(GetTickCount() - 0xFFFFFFF0u, 0x20u);  // unsigned differences survive the wrap

        clock.SetStepPerRead(5);
        const DWORD a = GetTickCount();
        const DWORD b = GetTickCount();
        EXPECT_EQ(b - a, 5u);
    }
    // The real clock is back and moves forward.
    const std::uint64_t t0 = GetTickCount64();
    Sleep(2);
    EXPECT_GE(GetTickCount64(), t0 + 1);
}

TEST(RtlSyncObjs, CriticalSectionIsRecursive)
{
    TCriticalSection cs;
    cs.Enter();
    EXPECT_TRUE(cs.TryEnter());
    cs.Leave();
    std::atomic<bool> otherGot{true};
    std::thread([&] { otherGot = cs.TryEnter(); }).join();
    EXPECT_FALSE(otherGot);
    cs.Leave();
    std::thread([&] {
        otherGot = cs.TryEnter();
        if (otherGot)
            cs.Leave();
    }).join();
    EXPECT_TRUE(otherGot);
    {
        TCriticalSectionGuard g(cs);
        std::lock_guard<TCriticalSection> again(cs);
    }
}

TEST(RtlSyncObjs, ManualAndAutoResetEvents)
{
    TEvent manual(true, false);
    EXPECT_EQ(manual.WaitFor(0), wrTimeout);
    manual.SetEvent();
    EXPECT_EQ(manual.WaitFor(0), wrSignaled);
    EXPECT_EQ(manual.WaitFor(0), wrSignaled);  // stays set
    manual.ResetEvent();
    EXPECT_EQ(manual.WaitFor(0), wrTimeout);

    TEvent autoReset(false, true);
    EXPECT_EQ(autoReset.WaitFor(0), wrSignaled);
    EXPECT_EQ(autoReset.WaitFor(0), wrTimeout);  // cleared by the first wait

    // A manual event releases every waiter; an auto event one per SetEvent.
    std::atomic<int> released{0};
    TEvent gate(true, false);
    std::vector<std::thread> waiters;
    for (int i = 0; i < 3; ++i)
        waiters.emplace_back([&] {
            if (gate.WaitFor(INFINITE) == wrSignaled)
                ++released;
        });
    gate.SetEvent();
    for (auto& t : waiters)
        t.join();
    EXPECT_EQ(released, 3);

    released = 0;
    waiters.clear();
    TEvent one(false, false);
    for (int i = 0; i < 2; ++i)
        waiters.emplace_back([&] {
            if (one.WaitFor(5000) == wrSignaled)
                ++released;
        });
    one.SetEvent();
    while (released < 1)
        Sleep(1);
    Sleep(20);
    EXPECT_EQ(released, 1);
    one.SetEvent();
    for (auto& t : waiters)
        t.join();
    EXPECT_EQ(released, 2);

    TEvent abandoned;
    std::thread w([&] { EXPECT_EQ(abandoned.WaitFor(INFINITE), wrAbandoned); });
    abandoned.Abandon();
    w.join();
}

TEST(RtlSyncObjs, TimedWaitRunsOnTheFakeClock)
{
    TFakeClock clock;
    TClockInstaller install(clock);
    TEvent ev(true, false);
    std::atomic<int> result{-1};
    std::thread waiter([&] { result = ev.WaitFor(100); });
    Sleep(30);
    EXPECT_EQ(result, -1);  // real time alone does not end the wait
    clock.Advance(60);
    Sleep(30);
    EXPECT_EQ(result, -1);
    // The waiter may have read the clock late on a loaded machine, so its
    // deadline can lie beyond 100: keep time moving until the wait ends.
    for (int i = 0; result == -1 && i < 10000; ++i) {
        clock.Advance(10);
        Sleep(1);
    }
    waiter.join();
    EXPECT_EQ(result, wrTimeout);

    // Signalled before the deadline.
    result = -1;
    std::thread waiter2([&] { result = ev.WaitFor(100); });
    Sleep(10);
    ev.SetEvent();
    waiter2.join();
    EXPECT_EQ(result, wrSignaled);

    TEvent a, b;
    TEvent* both[] = {&a, &b};
    EXPECT_EQ(WaitForAnyEvent(both, 2, 0), -1);
    b.SetEvent();
    EXPECT_EQ(WaitForAnyEvent(both, 2, 0), 1);
}

TEST(RtlThreads, SynchronizeAndQueueRunInTheMainThread)
{
    ASSERT_TRUE(IsMainThread());
    std::vector<std::string> order;
    DWORD syncThread = 0;
    DWORD workerId = 0;
    auto* t = new TFuncThread([&](TFuncThread& self) {
        workerId = GetCurrentThreadId();
        self.Queue([&] { order.push_back("queued"); });
        self.Synchronize([&] {
            syncThread = GetCurrentThreadId();
            order.push_back("sync");
        });
        self.ReturnValue = 7;
    });
    EXPECT_TRUE(t->Suspended());
    t->Start();
    EXPECT_EQ(t->WaitFor(), 7);  // serves the queue while waiting
    EXPECT_EQ(syncThread, MainThreadID);
    EXPECT_NE(workerId, MainThreadID);
    EXPECT_EQ(order, (std::vector<std::string>{"queued", "sync"}));
    EXPECT_TRUE(t->Finished());
    delete t;

    // From the main thread both run at once; ForceQueue waits for CheckSynchronize.
    bool ran = false;
    TThread::Synchronize(nullptr, [&] { ran = true; });
    EXPECT_TRUE(ran);
    ran = false;
    TThread::ForceQueue(nullptr, [&] { ran = true; });
    EXPECT_FALSE(ran);
    EXPECT_TRUE(SynchronizePending());
    EXPECT_TRUE(CheckSynchronize());
    EXPECT_TRUE(ran);
    EXPECT_FALSE(CheckSynchronize());
}

TEST(RtlThreads, SynchronizeRaisesInTheWorkerAndQueueInTheMainThread)
{
    std::string caught;
    std::atomic<bool> afterFailure{false};
    auto* t = new TFuncThread([&](TFuncThread& self) {
        try {
            self.Synchronize([] { throw EConvertError("bad"); });
        } catch (const EConvertError& e) {
            caught = e.Message();
        }
        self.Queue([] { throw EListError("queued failure"); });
        self.Queue([&] { afterFailure = true; });
    });
    t->Start();
    t->WaitFor();  // a wait for a thread is not broken off by a queued failure...
    EXPECT_EQ(caught, "bad");
    EXPECT_THROW(CheckSynchronize(), EListError);  // ...which the next serving raises
    CheckSynchronize();
    EXPECT_TRUE(afterFailure);
    EXPECT_FALSE(CheckSynchronize());
    delete t;

    // Served by CheckSynchronize itself: the failure propagates, and what
    // followed it stays queued for the next call.
    afterFailure = false;
    std::thread([&] {
        TThread::Queue(nullptr, [] { throw EListError("x"); });
        TThread::Queue(nullptr, [&] { afterFailure = true; });
    }).join();
    EXPECT_THROW(CheckSynchronize(), EListError);
    EXPECT_FALSE(afterFailure);
    EXPECT_TRUE(CheckSynchronize());
    EXPECT_TRUE(afterFailure);
}

TEST(RtlThreads, CheckSynchronizeLoopDoesNotDeadlockAStoppingWorker)
{
    // The engine stops a worker by setting a flag and serving the queue in a
    // loop until the worker says it ended; the worker synchronises on its way out.
    TFakeClock clock;
    TClockInstaller install(clock);
    std::atomic<bool> stop{false};
    std::atomic<bool> ended{false};
    std::atomic<int> synced{0};
    auto* t = new TFuncThread([&](TFuncThread& self) {
        while (!stop)
            Sleep(1);
        for (int i = 0; i < 3; ++i)
            self.Synchronize([&] { ++synced; });
        ended = true;
    });
    t->Start();
    stop = true;
    EXPECT_TRUE(ServeUntil([&] { return ended.load(); }));
    EXPECT_EQ(synced, 3);
    t->WaitFor();
    delete t;
}

TEST(RtlThreads, CheckSynchronizeTimeoutRunsOnTheFakeClock)
{
    TFakeClock clock;
    TClockInstaller install(clock);
    std::atomic<bool> returned{false};
    // The main thread waits; a helper advances the clock past the timeout.
    std::thread mover([&] {
        Sleep(20);
        EXPECT_FALSE(returned);
        clock.Advance(1000);
    });
    EXPECT_FALSE(CheckSynchronize(500));
    returned = true;
    mover.join();

    // Outside the main thread it does nothing.
    std::atomic<bool> r{true};
    std::thread([&] { r = CheckSynchronize(10); }).join();
    EXPECT_FALSE(r);
}

TEST(RtlThreads, WakeHookFiresWhenWorkArrives)
{
    std::atomic<int> wakes{0};
    // The message queue's hook goes back afterwards: without it a later
    // message wait would sleep through a worker's Synchronize.
    std::function<void()> previous = SetWakeMainThreadHook([&] { ++wakes; });
    std::thread([] { TThread::Queue(nullptr, [] {}); }).join();
    SetWakeMainThreadHook(std::move(previous));
    EXPECT_GE(wakes, 1);
    EXPECT_TRUE(CheckSynchronize());
}

TEST(RtlThreads, OnTerminateFreeOnTerminateAndFatalException)
{
    std::atomic<bool> destroyed{false};
    DWORD terminateThread = 0;
    auto* t = TThread::Create<TFuncThread>([](TFuncThread&) { throw EInOutError("disk full"); }, true);
    t->Destroyed = &destroyed;
    t->FreeOnTerminate = true;
    std::string fatal;
    t->OnTerminate = [&](TThread* th) {
        terminateThread = GetCurrentThreadId();
        fatal = th->FatalExceptionMessage();
    };
    EXPECT_THROW(t->WaitFor(), EThread);
    t->Start();
    EXPECT_TRUE(ServeUntil([&] { return destroyed.load(); }));
    EXPECT_EQ(terminateThread, MainThreadID);
    EXPECT_EQ(fatal, "disk full");
}

TEST(RtlThreads, CreatedRunningStartsAtOnceAndStartTwiceRaises)
{
    std::atomic<bool> ran{false};
    auto* t = TThread::Create<TFuncThread>([&](TFuncThread&) { ran = true; }, false);
    EXPECT_TRUE(t->Started());
    t->WaitFor();
    EXPECT_TRUE(ran);
    EXPECT_THROW(t->Start(), EThread);
    delete t;

    // Never started: deleting it is fine and nothing runs.
    ran = false;
    delete new TFuncThread([&](TFuncThread&) { ran = true; });
    EXPECT_FALSE(ran);
}

TEST(RtlThreads, CooperativePauseHoldsAndTerminateEndsIt)
{
    std::atomic<int> steps{0};
    auto* t = new TFuncThread([&](TFuncThread& self) {
        while (self.WaitWhilePaused()) {
            ++steps;
            Sleep(1);
        }
    });
    t->Start();
    while (steps < 3)
        Sleep(1);
    t->Pause();
    EXPECT_TRUE(t->Paused());
    while (!t->Holding())
        Sleep(1);
    const int held = steps;
    Sleep(20);
    EXPECT_EQ(steps, held);
    t->Resume();
    while (steps < held + 3)
        Sleep(1);
    t->Pause();
    while (!t->Holding())
        Sleep(1);
    t->Terminate();  // ends the hold
    t->WaitFor();
    EXPECT_TRUE(t->Terminated());
    delete t;
}

TEST(RtlThreads, DeletingARunningThreadTerminatesAndWaits)
{
    std::atomic<bool> running{false};
    std::atomic<bool> sawTerminate{false};
    auto* t = new TFuncThread([&](TFuncThread& self) {
        running = true;
        while (!self.Terminated())
            Sleep(1);
        self.Synchronize([] {});  // served by the destructor's wait
        sawTerminate = true;
    });
    t->Start();
    // A thread terminated before it runs never executes its body: wait until
    // it does, however loaded the machine is.
    while (!running)
        Sleep(1);
    t->Terminate();
    t->WaitFor();
    delete t;
    EXPECT_TRUE(sawTerminate);
}

TEST(RtlThreads, QueuedCallsOfADeletedThreadAreDropped)
{
    std::atomic<bool> ran{false};
    auto* t = new TFuncThread([&](TFuncThread& self) { self.Queue([&] { ran = true; }); });
    t->Start();
    // Wait for the end without serving the queue.
    while (!t->Finished())
        Sleep(1);
    Sleep(5);
    delete t;
    CheckSynchronize();
    EXPECT_FALSE(ran);  // it would have used the freed thread's state
}

TEST(RtlThreads, ManyWorkersSynchronizeWhileTheMainThreadWaits)
{
    std::atomic<int> total{0};
    std::vector<TFuncThread*> threads;
    for (int i = 0; i < 8; ++i)
        threads.push_back(TThread::Create<TFuncThread>(
            [&](TFuncThread& self) {
                for (int k = 0; k < 50; ++k)
                    self.Synchronize([&] { ++total; });
            },
            false));
    for (auto* t : threads) {
        t->WaitFor();
        delete t;
    }
    EXPECT_EQ(total, 400);
}

TEST(RtlThreads, ACallThatQueuesItselfRunsOncePerRound)
{
    int runs = 0;
    std::function<void()> again = [&] {
        ++runs;
        if (runs < 3)
            TThread::ForceQueue(nullptr, again);
    };
    TThread::ForceQueue(nullptr, again);
    EXPECT_TRUE(CheckSynchronize());
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(CheckSynchronize());
    EXPECT_TRUE(CheckSynchronize());
    EXPECT_EQ(runs, 3);
    EXPECT_FALSE(CheckSynchronize());
}
