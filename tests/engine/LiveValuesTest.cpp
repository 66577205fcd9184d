#include "engine/common/LiveValues.h"

#include <gtest/gtest.h>

TEST(LiveValuesTest, HandlesArePositiveDistinctAndHoldTheirValue)
{
    const int32_t a = RegisterLiveValue(5);
    const int32_t b = RegisterLiveValue(-7);
    ASSERT_GT(a, 0);
    ASSERT_GT(b, 0);
    EXPECT_NE(a, b);
    EXPECT_EQ(FindLiveValue(a)->load(), 5);
    EXPECT_EQ(FindLiveValue(b)->load(), -7);
    UnregisterLiveValue(a);
    UnregisterLiveValue(b);
}

TEST(LiveValuesTest, UnknownAndUnregisteredHandlesFindNothing)
{
    EXPECT_EQ(FindLiveValue(0), nullptr);
    EXPECT_EQ(FindLiveValue(-3), nullptr);
    const int32_t h = RegisterLiveValue();
    UnregisterLiveValue(h);
    EXPECT_EQ(FindLiveValue(h), nullptr);
    UnregisterLiveValue(h); // twice is harmless
    EXPECT_NE(RegisterLiveValue(), h); // never reused
}

TEST(LiveValuesTest, AStageKeepsItsCellAfterTheHandleIsDropped)
{
    const int32_t h = RegisterLiveValue(1);
    std::shared_ptr<TLiveValueCell> held = FindLiveValue(h);
    UnregisterLiveValue(h);
    held->store(42);
    EXPECT_EQ(held->load(), 42);
}
