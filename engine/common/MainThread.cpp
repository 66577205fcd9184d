#include "engine/common/MainThread.h"

#include "platform/rtl/Threads.h"

// Window messages are served by the window system's own loop; what the
// engine's waits must keep serving is the main-thread call queue.
bool ProcessOneMessage() { return CheckSynchronize(0); }

void PumpMessages() {
    while (ProcessOneMessage()) {
    }
}

void RunInMainThread(const std::function<void()>& AMethod) {
    if (!AMethod) return;
    TThread::Synchronize(nullptr, AMethod);
}
