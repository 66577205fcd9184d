// The output preview's shared values: live adjustments named by handle and
// the overlay snapshot read by another thread.
#include "app/core/EditPreview.h"
#include "engine/common/LiveValues.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <thread>

namespace {

TEST(EditPreview, AdjustmentsAreLiveValuesNamedByHandle)
{
    std::int32_t handles[4] = {};
    {
        TPreviewAdjustments a;
        a.SetBrightness(20);
        a.SetContrast(-30);
        a.SetSaturation(40);
        a.SetHue(50);
        const std::string text = a.VideoFilters();
        EXPECT_EQ(a.Hue(), 0);  // the hue starts over at every showing
        // "nativeeq=20:-30:hB:hC, nativehue=0:40:hH:hS"
        int b, c, s;
        ASSERT_EQ(std::sscanf(text.c_str(), "nativeeq=%d:%d:%d:%d, nativehue=0:%d:%d:%d", &b, &c, &handles[0],
                              &handles[1], &s, &handles[2], &handles[3]),
                  7)
            << text;
        EXPECT_EQ(b, 20);
        EXPECT_EQ(c, -30);
        EXPECT_EQ(s, 40);
        // Each handle names the value the window sets.
        a.SetBrightness(-7);
        a.SetContrast(8);
        a.SetHue(9);
        a.SetSaturation(150);  // forced into range
        EXPECT_EQ(FindLiveValue(handles[0])->load(), -7);
        EXPECT_EQ(FindLiveValue(handles[1])->load(), 8);
        EXPECT_EQ(FindLiveValue(handles[2])->load(), 9);
        EXPECT_EQ(FindLiveValue(handles[3])->load(), 100);
    }
    for (std::int32_t h : handles)
        EXPECT_FALSE(FindLiveValue(h));
}

TEST(EditPreview, HookReadsConsistentOverlaySettings)
{
    TOverlaySnapshot snapshot;
    std::atomic<bool> stop{false};
    std::atomic<int> torn{0}, reads{0};
    std::thread hook([&] {
        while (!stop) {
            const TOverlaySettings s = snapshot.Read();
            // Every published state has X == Y == the text's length.
            if (s.TextX != s.TextY || static_cast<std::size_t>(s.TextX) != s.Text.size())
                ++torn;
            ++reads;
        }
    });
    for (int i = 0; i < 2000; ++i) {
        TOverlaySettings s;
        s.TextOn = true;
        s.Text = std::string(static_cast<std::size_t>(i % 97), 'x');
        s.TextX = s.TextY = i % 97;
        s.FontName = i % 2 ? "Liberation Sans" : "DejaVu Sans";
        snapshot.Publish(s);
    }
    while (reads == 0)
        std::this_thread::yield();
    stop = true;
    hook.join();
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(snapshot.Read().TextX, 1999 % 97);
}

}  // namespace
