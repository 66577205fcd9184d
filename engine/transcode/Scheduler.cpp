#include "engine/transcode/Scheduler.h"

#include <atomic>
#include <exception>

namespace {

std::atomic<int> gThreadsInUse{0};
thread_local bool tInStageThread = false;

bool TakeThread()
{
    const int budget = TStageThread::ThreadBudget();
    int n = gThreadsInUse.load();
    while (n < budget)
        if (gThreadsInUse.compare_exchange_weak(n, n + 1))
            return true;
    return false;
}

}  // namespace

bool TStageThread::InStageThread()
{
    return tInStageThread;
}

int TStageThread::ThreadsInUse()
{
    return gThreadsInUse.load();
}

int TStageThread::ThreadBudget()
{
    const unsigned n = std::thread::hardware_concurrency();
    return n ? int(n) : 2;
}

bool TStageThread::Start(std::function<void()> ABody, std::function<void()> AOnFailure)
{
    if (FThread.joinable() || !TakeThread())
        return false;
    auto run = [this, body = std::move(ABody), onFailure = std::move(AOnFailure)] {
        tInStageThread = true;
        std::string failure;
        try {
            body();
        } catch (const std::exception& e) {
            failure = e.what();
            if (failure.empty())
                failure = "A conversion stage failed";
        } catch (...) {
            failure = "A conversion stage failed";
        }
        if (!failure.empty()) {
            {
                std::lock_guard<std::mutex> l(FLock);
                FFailure = failure;
            }
            if (onFailure)
                onFailure();
        }
        --gThreadsInUse;
    };
    try {
        FThread = std::thread(std::move(run));
    } catch (const std::system_error&) {
        --gThreadsInUse;
        return false;
    }
    return true;
}

void TStageThread::Join()
{
    if (FThread.joinable())
        FThread.join();
}

std::string TStageThread::FailureText() const
{
    std::lock_guard<std::mutex> l(FLock);
    return FFailure;
}
