// The stage threads and bounded queues of a conversion task: order, the
// bound a producer waits at, the end of a stream, an abort that frees both
// sides, a stage failure that reaches the producer with its text, and the
// process's budget of stage threads. Built on its own too, with
// ThreadSanitizer (tools/test.sh), so it uses nothing but the scheduler.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "engine/transcode/Scheduler.h"

namespace {

using namespace std::chrono_literals;

// Generous: CI may be two busy cores.
constexpr auto kWait = 30s;

TEST(SchedulerTest, QueueKeepsOrderAndItsBound)
{
    TStageQueue<std::unique_ptr<int>> q(3);
    constexpr int kItems = 2000;
    std::atomic<size_t> most{0};
    std::vector<int> got;
    std::thread consumer([&] {
        std::unique_ptr<int> v;
        while (q.Pop(v)) {
            most = std::max(most.load(), q.Size());
            got.push_back(*v);
        }
    });
    for (int i = 0; i < kItems; ++i) {
        auto v = std::make_unique<int>(i);
        ASSERT_TRUE(q.Push(v));
        EXPECT_EQ(v, nullptr);  // the queue took it
    }
    q.Close();
    consumer.join();
    ASSERT_EQ(got.size(), size_t(kItems));
    for (int i = 0; i < kItems; ++i)
        ASSERT_EQ(got[size_t(i)], i);
    EXPECT_LE(most.load(), q.Capacity());
}

TEST(SchedulerTest, AFullQueueHoldsTheProducerUntilAPop)
{
    TStageQueue<int> q(2);
    int a = 1, b = 2;
    ASSERT_TRUE(q.Push(a));
    ASSERT_TRUE(q.Push(b));
    auto third = std::async(std::launch::async, [&] {
        int c = 3;
        return q.Push(c);
    });
    // Still waiting while the queue is full.
    EXPECT_EQ(third.wait_for(50ms), std::future_status::timeout);
    int v = 0;
    ASSERT_TRUE(q.Pop(v));
    EXPECT_EQ(v, 1);
    ASSERT_EQ(third.wait_for(kWait), std::future_status::ready);
    EXPECT_TRUE(third.get());
    EXPECT_EQ(q.Size(), 2u);
}

TEST(SchedulerTest, CloseEndsTheStreamAfterWhatIsLeft)
{
    TStageQueue<int> q(4);
    for (int i = 0; i < 3; ++i) {
        int v = i;
        ASSERT_TRUE(q.Push(v));
    }
    q.Close();
    int late = 9;
    EXPECT_FALSE(q.Push(late));
    EXPECT_EQ(late, 9);
    int v = -1;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(q.Pop(v));
        EXPECT_EQ(v, i);
    }
    EXPECT_FALSE(q.Pop(v));
}

TEST(SchedulerTest, AbortFreesAWaitingProducerAndConsumer)
{
    struct Case {
        const char* name;
        bool full;  // the producer waits (full queue); else the consumer (empty)
    } cases[] = {{"producer", true}, {"consumer", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TStageQueue<std::shared_ptr<int>> q(1);
        auto kept = std::make_shared<int>(7);
        if (c.full) {
            auto first = kept;
            ASSERT_TRUE(q.Push(first));
        }
        auto waiting = std::async(std::launch::async, [&] {
            std::shared_ptr<int> v = std::make_shared<int>(8);
            return c.full ? q.Push(v) : q.Pop(v);
        });
        EXPECT_EQ(waiting.wait_for(20ms), std::future_status::timeout);
        q.Abort();
        ASSERT_EQ(waiting.wait_for(kWait), std::future_status::ready);
        EXPECT_FALSE(waiting.get());
        // What was queued is dropped at once.
        EXPECT_EQ(q.Size(), 0u);
        EXPECT_EQ(kept.use_count(), 1);
        std::shared_ptr<int> v;
        EXPECT_FALSE(q.Pop(v));
    }
}

TEST(SchedulerTest, AFailingStageStopsItsProducerWithItsText)
{
    const int before = TStageThread::ThreadsInUse();
    TStageQueue<int> q(2);
    std::atomic<bool> handlerInStage{false};
    {
        TStageThread stage;
        ASSERT_TRUE(stage.Start(
            [&] {
                int v = 0;
                while (q.Pop(v))
                    if (v == 5)
                        throw std::runtime_error("Video encoding failed: Invalid data");
            },
            [&] {
                handlerInStage = TStageThread::InStageThread();
                q.Abort();
            }));
        EXPECT_FALSE(TStageThread::InStageThread());
        int pushed = 0;
        for (int i = 0; i < 1000; ++i) {
            int v = i;
            if (!q.Push(v))
                break;
            ++pushed;
        }
        // The producer learns of the failure at a push soon after it.
        EXPECT_GE(pushed, 6);
        EXPECT_LT(pushed, 1000);
        stage.Join();
        EXPECT_EQ(stage.FailureText(), "Video encoding failed: Invalid data");
        EXPECT_TRUE(handlerInStage);
        EXPECT_FALSE(stage.Running());
    }
    EXPECT_EQ(TStageThread::ThreadsInUse(), before);
}

TEST(SchedulerTest, AStageThatEndsWellHasNoFailureText)
{
    TStageThread stage;
    std::atomic<int> ran{0};
    ASSERT_TRUE(stage.Start([&] { ++ran; }, [] { FAIL() << "no failure expected"; }));
    stage.Join();
    stage.Join();  // joining again is harmless
    EXPECT_EQ(ran, 1);
    EXPECT_EQ(stage.FailureText(), "");
}

TEST(SchedulerTest, StageThreadsStayWithinTheBudget)
{
    const int budget = TStageThread::ThreadBudget();
    ASSERT_GE(budget, 1);
    const int before = TStageThread::ThreadsInUse();
    TStageQueue<int> gate(1);
    std::vector<std::unique_ptr<TStageThread>> stages;
    int started = 0;
    auto waitAtGate = [&] {
        int v;
        gate.Pop(v);
    };
    for (int i = 0; i < budget + 3; ++i) {
        auto s = std::make_unique<TStageThread>();
        if (s->Start(waitAtGate, nullptr))
            ++started;
        stages.push_back(std::move(s));
    }
    EXPECT_EQ(started, budget - before);
    EXPECT_EQ(TStageThread::ThreadsInUse(), budget);
    gate.Close();
    stages.clear();  // joins
    EXPECT_EQ(TStageThread::ThreadsInUse(), before);
    // Room again once they ended.
    TStageThread again;
    EXPECT_TRUE(again.Start([] {}, nullptr));
}

}  // namespace
