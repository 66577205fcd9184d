#include "platform/rtl/SyncObjs.h"

#include <algorithm>
#include <thread>

void TEvent::SetEvent()
{
    {
        std::lock_guard<std::mutex> g(FMutex);
        FSignaled = true;
    }
    if (FManualReset)
        FCond.notify_all();
    else
        FCond.notify_one();
}

void TEvent::ResetEvent()
{
    std::lock_guard<std::mutex> g(FMutex);
    FSignaled = false;
}

void TEvent::Abandon()
{
    {
        std::lock_guard<std::mutex> g(FMutex);
        FAbandoned = true;
    }
    FCond.notify_all();
}

bool TEvent::IsSet() const
{
    std::lock_guard<std::mutex> g(FMutex);
    return FSignaled;
}

TWaitResult TEvent::WaitFor(DWORD timeoutMs)
{
    std::unique_lock<std::mutex> lock(FMutex);
    const bool done = ClockWaitFor(lock, FCond, timeoutMs, [this] { return FSignaled || FAbandoned; });
    if (FAbandoned)
        return wrAbandoned;
    if (!done)
        return wrTimeout;
    if (!FManualReset)
        FSignaled = false;
    return wrSignaled;
}

int WaitForAnyEvent(TEvent* const* events, int count, DWORD timeoutMs)
{
    if (count <= 0)
        return -1;
    // Events have their own locks; poll them in short slices. The waits this
    // serves (folder-change notification) are not latency-critical.
    const std::uint64_t start = GetTickCount64();
    while (true) {
        for (int i = 0; i < count; ++i)
            if (events[i] && events[i]->WaitFor(0) == wrSignaled)
                return i;
        if (timeoutMs != INFINITE && GetTickCount64() - start >= timeoutMs)
            return -1;
        // The first event carries the wait, so a signal on it is seen at once.
        const DWORD slice = timeoutMs == INFINITE ? 5 : static_cast<DWORD>(std::min<std::uint64_t>(
                                                            5, timeoutMs - (GetTickCount64() - start)));
        if (count == 1) {
            if (events[0] && events[0]->WaitFor(slice) == wrSignaled)
                return 0;
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(slice ? slice : 1));
        }
    }
}
