#include "platform/rtl/Clock.h"

#include <set>
#include <time.h>

namespace {

class TRealClock : public IClock {
public:
    std::uint64_t NowMs() override
    {
        timespec ts{};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        return static_cast<std::uint64_t>(ts.tv_sec) * 1000u + static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
    }
};

TRealClock& RealClock()
{
    static TRealClock clock;
    return clock;
}

std::atomic<IClock*> gClock{nullptr};

// Waits in progress under a manual clock, so that moving the clock can wake
// them. Each entry is the waiter's mutex and condition variable.
struct TWaiter {
    std::mutex* mutex;
    std::condition_variable* cv;
    bool operator<(const TWaiter& o) const { return cv < o.cv; }
};

std::mutex& WaitersLock()
{
    static std::mutex m;
    return m;
}

std::multiset<TWaiter>& Waiters()
{
    static std::multiset<TWaiter> w;
    return w;
}

}  // namespace

IClock& CurrentClock()
{
    IClock* c = gClock.load(std::memory_order_acquire);
    return c ? *c : RealClock();
}

DWORD GetTickCount() { return static_cast<DWORD>(CurrentClock().NowMs()); }
std::uint64_t GetTickCount64() { return CurrentClock().NowMs(); }

std::uint64_t TFakeClock::NowMs()
{
    const std::uint64_t step = FStepPerRead.load();
    if (step == 0)
        return FNow.load();
    // No notification here: readers may hold a waiter's lock. Waits poll
    // the clock in short real slices, so they see the steps anyway.
    return FNow.fetch_add(step);
}

void TFakeClock::Advance(std::uint64_t ms)
{
    FNow.fetch_add(ms);
    NotifyClockChanged();
}

void TFakeClock::Set(std::uint64_t ms)
{
    FNow.store(ms);
    NotifyClockChanged();
}

TClockInstaller::TClockInstaller(IClock& clock) : FPrevious(gClock.exchange(&clock))
{
    NotifyClockChanged();
}

TClockInstaller::~TClockInstaller()
{
    gClock.store(FPrevious);
    NotifyClockChanged();
}

void NotifyClockChanged()
{
    std::lock_guard<std::mutex> g(WaitersLock());
    for (const TWaiter& w : Waiters()) {
        // Taking the waiter's mutex orders this wake-up after its check of
        // the time, so that it cannot be lost between check and wait.
        std::lock_guard<std::mutex> wl(*w.mutex);
        w.cv->notify_all();
    }
}

bool ClockWaitFor(std::unique_lock<std::mutex>& lock, std::condition_variable& cv, DWORD timeoutMs,
                  const std::function<bool()>& pred)
{
    if (pred())
        return true;
    if (timeoutMs == 0)
        return false;
    if (timeoutMs == INFINITE) {
        cv.wait(lock, pred);
        return true;
    }
    IClock& clock = CurrentClock();
    if (!clock.IsManual()) {
        return cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), pred);
    }
    // Manual clock: register so that moving the clock wakes us. The waiters'
    // lock is taken without holding ours, keeping one lock order everywhere.
    const TWaiter self{lock.mutex(), &cv};
    lock.unlock();
    {
        std::lock_guard<std::mutex> g(WaitersLock());
        Waiters().insert(self);
    }
    lock.lock();
    const std::uint64_t deadline = clock.NowMs() + timeoutMs;
    bool result;
    while (true) {
        if (pred()) {
            result = true;
            break;
        }
        if (&CurrentClock() != &clock || clock.NowMs() >= deadline) {
            result = pred();
            break;
        }
        // Woken by moves of the clock; the real-time slice only serves
        // clocks that advance as they are read.
        cv.wait_for(lock, std::chrono::milliseconds(10));
    }
    lock.unlock();
    {
        std::lock_guard<std::mutex> g(WaitersLock());
        Waiters().erase(Waiters().find(self));
    }
    lock.lock();
    return result;
}
