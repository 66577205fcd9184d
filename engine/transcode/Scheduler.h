#pragma once
// The stage threads of a conversion task and the bounded queues that join
// them.
//
// A stage that runs in its own thread takes its work from a TStageQueue
// that holds a few items only: the producer waits while it is full, so the
// slowest stage sets the pace and memory does not grow with the file
// (back-pressure). The producer ends the stream with Close; the consumer
// takes what is left and then sees the end. A stage that fails, or a task
// that ends early (a stop, a failure elsewhere), calls Abort: both sides
// return at once and what was queued is dropped with the queue's items.
//
// TStageThread runs one stage body. A failure leaving the body (any
// exception) is kept as the stage's failure text, and the stage's own
// failure handler runs in the stage thread (it aborts the stage's queues, so
// the producer learns of it at its next push); the task's thread then ends
// the task with that text. Joining is idempotent and the destructor joins,
// so no thread outlives its task.
//
// The threads a process runs as stages are counted against one budget (the
// processor count): N tasks started at once never add more stage threads
// than the machine has processors; a stage that finds no room runs inline,
// in the task's thread, as it did before it had a thread.
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

template <typename T>
class TStageQueue {
public:
    explicit TStageQueue(size_t ACapacity) : FCapacity(ACapacity ? ACapacity : 1) {}
    TStageQueue(const TStageQueue&) = delete;
    TStageQueue& operator=(const TStageQueue&) = delete;

    // Waits while the queue is full; false (AItem left with the caller) once
    // the queue was closed or aborted.
    bool Push(T& AItem)
    {
        std::unique_lock<std::mutex> l(FLock);
        FNotFull.wait(l, [&] { return FItems.size() < FCapacity || FClosed || FAborted; });
        if (FClosed || FAborted)
            return false;
        FItems.push_back(std::move(AItem));
        FNotEmpty.notify_one();
        return true;
    }
    // Waits while the queue is empty; false at the end of the stream (closed
    // and empty) or once aborted.
    bool Pop(T& AItem)
    {
        std::unique_lock<std::mutex> l(FLock);
        FNotEmpty.wait(l, [&] { return !FItems.empty() || FClosed || FAborted; });
        if (FAborted || FItems.empty())
            return false;
        AItem = std::move(FItems.front());
        FItems.pop_front();
        FNotFull.notify_one();
        return true;
    }
    // The end of the stream: no more pushes; pops drain what is left.
    void Close()
    {
        std::lock_guard<std::mutex> l(FLock);
        FClosed = true;
        FNotEmpty.notify_all();
        FNotFull.notify_all();
    }
    // Both sides return at once; queued items are dropped.
    void Abort()
    {
        std::deque<T> dropped;
        {
            std::lock_guard<std::mutex> l(FLock);
            FAborted = true;
            dropped.swap(FItems);
            FNotEmpty.notify_all();
            FNotFull.notify_all();
        }
    }
    size_t Size() const
    {
        std::lock_guard<std::mutex> l(FLock);
        return FItems.size();
    }
    size_t Capacity() const { return FCapacity; }

private:
    const size_t FCapacity;
    mutable std::mutex FLock;
    std::condition_variable FNotEmpty, FNotFull;
    std::deque<T> FItems;
    bool FClosed = false;
    bool FAborted = false;
};

class TStageThread {
public:
    TStageThread() = default;
    ~TStageThread() { Join(); }
    TStageThread(const TStageThread&) = delete;
    TStageThread& operator=(const TStageThread&) = delete;

    // Runs ABody in a new thread when the process has a stage thread to
    // spare (false: nothing was started). AOnFailure runs in the stage
    // thread after a failure left the body, its text already kept.
    bool Start(std::function<void()> ABody, std::function<void()> AOnFailure);
    // Waits for the body to end (at once when it was never started).
    void Join();
    bool Running() const { return FThread.joinable(); }
    // The text of the failure that ended the body; empty while it has not
    // failed. Read it after Join, or after the failure handler has told
    // the reader (through a queue).
    std::string FailureText() const;

    // Whether the calling thread is a stage thread: a failure there is
    // reported through the stage, not written into the task's own state.
    static bool InStageThread();
    // Stage threads running now in the process, and how many may.
    static int ThreadsInUse();
    static int ThreadBudget();

private:
    std::thread FThread;
    mutable std::mutex FLock;
    std::string FFailure;
};
