#pragma once
// The tick clock behind GetTickCount, timed waits and timers. It is
// replaceable: tests install a TFakeClock and advance it by hand, and every
// timed wait made through ClockWaitFor (events, CheckSynchronize) then runs on
// fake time — a wait of 100 ms ends when the test has advanced the clock by
// 100 ms, not before. Sleep stays real: it only yields the processor.
#include "platform/rtl/Types.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

constexpr DWORD INFINITE = 0xFFFFFFFF;

class IClock {
public:
    virtual ~IClock() = default;
    // Milliseconds on a monotonic scale with an arbitrary origin.
    virtual std::uint64_t NowMs() = 0;
    // True for a clock whose time moves only when told to (waits then end on
    // its notifications rather than on real time).
    virtual bool IsManual() const { return false; }
};

// Milliseconds since boot-like origin, 32-bit: wraps after 49.7 days, and
// callers compare with unsigned subtraction as on the platform.
DWORD GetTickCount();
std::uint64_t GetTickCount64();

// The clock in use: the real monotonic one unless a test installed another.
IClock& CurrentClock();

// A clock moved by hand. Each reading may also advance it by a fixed step, so
// that busy loops that wait for time to pass ("until 5 ms have gone by")
// finish under a fake clock.
class TFakeClock : public IClock {
public:
    explicit TFakeClock(std::uint64_t startMs = 1000) : FNow(startMs) {}
    std::uint64_t NowMs() override;
    bool IsManual() const override { return true; }

    void Advance(std::uint64_t ms);
    void Set(std::uint64_t ms);
    void SetStepPerRead(std::uint64_t ms) { FStepPerRead = ms; }

private:
    std::atomic<std::uint64_t> FNow;
    std::atomic<std::uint64_t> FStepPerRead{0};
};

// Installs a clock for its lifetime and restores the previous one after.
class TClockInstaller {
public:
    explicit TClockInstaller(IClock& clock);
    ~TClockInstaller();
    TClockInstaller(const TClockInstaller&) = delete;
    TClockInstaller& operator=(const TClockInstaller&) = delete;

private:
    IClock* FPrevious;
};

// Waits on cv (lock held) until pred() holds or timeoutMs have passed on the
// current clock; INFINITE waits without limit. Returns pred()'s last value.
// Under a manual clock the wait wakes whenever the clock is moved.
bool ClockWaitFor(std::unique_lock<std::mutex>& lock, std::condition_variable& cv, DWORD timeoutMs,
                  const std::function<bool()>& pred);

// Called by manual clocks when they move: wakes every ClockWaitFor. It takes
// each waiter's mutex, so a clock must never be moved by a thread that holds
// a mutex some ClockWaitFor uses.
void NotifyClockChanged();
