// The trim bar: time and handle positions, the commands that move the
// handles, and what OK may write.
#include "app/core/AppData.h"
#include "app/core/TrimBar.h"

#include <gtest/gtest.h>

namespace {

constexpr std::int64_t kSecond = 1000000;
constexpr std::int64_t kLength = 100 * kSecond;

TEST(TrimBar, TimeAndHandleConvertBothWays)
{
    struct Case {
        std::int64_t time;
        int handle;
    } cases[] = {
        {0, 10},                    // the start sits at 10
        {kLength / 2, 242},         // value 500 -> 464 * 500 / 1000 + 10
        {kLength, 474},             // the end at width + 10
        {kLength / 3, 164},         // value 333 -> 154.5 truncated
    };
    TTrimBar bar;
    bar.Show(0, kLength, kLength);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.time);
        EXPECT_EQ(bar.TimeToHandle(c.time), c.handle);
    }
    EXPECT_EQ(bar.HandleToTime(10), 0);
    EXPECT_EQ(bar.HandleToTime(242), kLength / 2);
    EXPECT_EQ(bar.HandleToTime(474), kLength);
    EXPECT_EQ(bar.BarValueToHandle(1000), 474);
    EXPECT_EQ(bar.PositionToBarValue(kLength / 4), 250);
    EXPECT_EQ(bar.BarValueToTime(250), kLength / 4);
    // Unknown length: no division by zero, everything at the start.
    TTrimBar empty;
    EXPECT_EQ(empty.TimeToHandle(kLength), 10);
    EXPECT_EQ(empty.PositionToBarValue(kSecond), 0);
    // Far beyond any real length the arithmetic does not overflow.
    EXPECT_EQ(bar.TimeToHandle(kLength * 1000000), 464LL * 1000000 + 10);
}

TEST(TrimBar, ShowingAnItemPlacesHandlesAndLine)
{
    struct Case {
        std::int64_t start, end;
        int left, right, lineLeft, lineWidth;
    } cases[] = {
        {0, kLength, 10, 474, 22, 452},               // whole file: right handle at w + 10
        {kLength / 2, kLength, 242, 474, 254, 220},
        {kLength / 2, kLength / 2, 242, 253, 254, 0},  // equal times: 11 apart, no line
        {80 * kSecond, 20 * kSecond, 102, 113, 114, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.start);
        TTrimBar bar;
        bar.Show(c.start, c.end, kLength);
        EXPECT_EQ(bar.LeftHandle(), c.left);
        EXPECT_EQ(bar.RightHandle(), c.right);
        EXPECT_EQ(bar.LineLeft(), c.lineLeft);
        EXPECT_EQ(bar.LineWidth(), c.lineWidth);
    }
}

TEST(TrimBar, SetStartAfterEndMovesTheEndAlong)
{
    TTrimBar bar;
    bar.Show(0, 50 * kSecond, kLength);
    bar.SetStartAtPosition(70 * kSecond, 700);
    EXPECT_EQ(bar.TrimStart(), 70 * kSecond);
    EXPECT_EQ(bar.TrimEnd(), 70 * kSecond);
    EXPECT_EQ(bar.EndText(), "00:01:10");
    EXPECT_EQ(bar.RightHandle(), 334);
    EXPECT_EQ(bar.RightHandle() - bar.LeftHandle(), 11);
    EXPECT_EQ(bar.LineWidth(), 0);

    bar.Show(50 * kSecond, 90 * kSecond, kLength);
    bar.SetEndAtPosition(20 * kSecond, 200);
    EXPECT_EQ(bar.TrimStart(), 20 * kSecond);
    EXPECT_EQ(bar.LeftHandle(), 102);
    EXPECT_EQ(bar.RightHandle(), 113);
    EXPECT_EQ(bar.LineWidth(), 0);

    // Before the end: only the start moves.
    bar.Show(0, 90 * kSecond, kLength);
    bar.SetStartAtPosition(10 * kSecond, 100);
    EXPECT_EQ(bar.TrimEnd(), 90 * kSecond);
    EXPECT_EQ(bar.LeftHandle(), 56);
    EXPECT_GT(bar.LineWidth(), 0);
}

TEST(TrimBar, TypedTimesAreKeptBeyondTheLength)
{
    TTrimBar bar;
    bar.Show(0, kLength, kLength);
    bar.TypeEnd(200 * kSecond);
    EXPECT_EQ(bar.TrimEnd(), 200 * kSecond);
    EXPECT_EQ(bar.RightHandle(), 938);
    bar.TypeStart(300 * kSecond);  // after the end: the end follows
    EXPECT_EQ(bar.TrimEnd(), 300 * kSecond);
    EXPECT_EQ(bar.RightHandle() - bar.LeftHandle(), 11);
    bar.TypeEnd(0);  // before the start: the start follows
    EXPECT_EQ(bar.TrimStart(), 0);
    EXPECT_EQ(bar.LeftHandle(), 10);
    EXPECT_EQ(bar.RightHandle(), 21);
}

TEST(TrimBar, HundredHoursShowThreeDigits)
{
    const std::int64_t hours100 = 100LL * 3600 * kSecond;
    TTrimBar bar;
    bar.Show(0, hours100, hours100);
    EXPECT_EQ(bar.StartText(), "00:00:00");
    EXPECT_EQ(bar.EndText(), "100:00:00");
    EXPECT_EQ(bar.RightHandle(), 474);
}

TEST(TrimBar, ResetTakesTheWholeFile)
{
    TTrimBar bar;
    bar.Show(20 * kSecond, 30 * kSecond, kLength);
    bar.Reset();
    EXPECT_EQ(bar.LeftHandle(), 10);
    EXPECT_EQ(bar.RightHandle(), 474);
    EXPECT_EQ(bar.TrimStart(), 0);
    EXPECT_EQ(bar.TrimEnd(), kLength);
    EXPECT_EQ(bar.StartText(), "00:00:00");
    EXPECT_EQ(bar.EndText(), "00:01:40");
    EXPECT_EQ(bar.LineWidth(), 452);
}

TEST(TrimBar, DraggingStaysInsideTheBarAndOnItsSide)
{
    TTrimBar bar;
    bar.Show(0, kLength, kLength);
    struct Case {
        bool left;
        int to;
        bool accepted;
    } cases[] = {
        {true, 10, false},  {true, 11, true},   {true, 474, false}, {true, 200, true},
        {false, 200, false}, {false, 201, true}, {false, 474, false}, {false, 473, true},
        {true, 473, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.to);
        const int before = c.left ? bar.LeftHandle() : bar.RightHandle();
        const bool moved = c.left ? bar.DragLeftHandle(c.to) : bar.DragRightHandle(c.to);
        EXPECT_EQ(moved, c.accepted);
        EXPECT_EQ(c.left ? bar.LeftHandle() : bar.RightHandle(), c.accepted ? c.to : before);
    }
    EXPECT_EQ(bar.ReleaseLeftHandle(), bar.HandleToTime(200));
    EXPECT_EQ(bar.TrimStart(), bar.HandleToTime(200));
    EXPECT_EQ(bar.ReleaseRightHandle(), bar.HandleToTime(473));
    EXPECT_EQ(bar.LineLeft(), 212);
}

TEST(TrimBar, OkRefusesAnEndNotAfterTheStart)
{
    struct Case {
        std::int64_t start, end;
        bool written;
    } cases[] = {
        {0, kLength, true},
        {5 * kSecond, 5 * kSecond, false},
        {6 * kSecond, 5 * kSecond, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.start);
        TTrimBar bar;
        bar.Show(c.start, c.end, kLength);
        TMediaFile item;
        item.TimeStart = 1;
        item.TimeEnd = 2;
        item.TrimmedLength = 1;
        EXPECT_EQ(bar.WriteTo(item), c.written);
        if (c.written) {
            EXPECT_TRUE(bar.CheckTimes().empty());
            EXPECT_EQ(item.TimeStart, c.start);
            EXPECT_EQ(item.TimeEnd, c.end);
            EXPECT_EQ(item.TrimmedLength, c.end - c.start);
        } else {
            EXPECT_EQ(bar.CheckTimes(), kTrimEndNotAfterStart);
            EXPECT_EQ(item.TimeStart, 1);
            EXPECT_EQ(item.TimeEnd, 2);
            EXPECT_EQ(item.TrimmedLength, 1);
        }
    }
}

TEST(TrimBar, TypedTextMustBeATimeOfDay)
{
    struct Case {
        const char* text;
        std::int64_t micro;  // -1: no time
    } cases[] = {
        {"00:01:30", 90 * kSecond}, {" 1:2:3 ", 3723 * kSecond}, {"23:59:59", 86399 * kSecond},
        {"24:00:00", -1},           {"00:60:00", -1},            {"ab:cd:ef", -1},
        {"", -1},                   {"  :  :  ", -1},            {"00:00", -1},
        {"00:00:00:00", -1},        {"0001:00:00", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto t = ParseTrimTime(c.text);
        if (c.micro < 0)
            EXPECT_FALSE(t.has_value());
        else
            EXPECT_EQ(t, c.micro);
    }
    EXPECT_EQ(InvalidTimeMessage("ab"), "'ab' is not a valid time");
}

}  // namespace
