// Monitors and the work area as the back-end reports them: the headless
// default of one screen-sized monitor, and two monitors from a back-end
// that reports them (which monitor a point, rectangle or window is on, with
// each fallback, their information, enumeration and the work-area override).
#include "platform/user/Backend.h"
#include "platform/user/Desktop.h"
#include "tests/support/WindowTestSupport.h"

#include <vector>

using namespace wintest;

namespace {

// The headless screen with monitors of the test's choosing.
class TMonitorBackend final : public IWindowBackend {
public:
    std::vector<TMonitorArea> List;
    const char* Name() const override { return "monitors"; }
    void WindowCreated(HWND w) override { HeadlessBackend().WindowCreated(w); }
    void WindowDestroyed(HWND w) override { HeadlessBackend().WindowDestroyed(w); }
    void WindowChanged(HWND w, const RECT& r) override { HeadlessBackend().WindowChanged(w, r); }
    void Present(HWND w, const RECT& r) override { HeadlessBackend().Present(w, r); }
    bool Monitors(std::vector<TMonitorArea>& out) override
    {
        out = List;
        return true;
    }
};

class UserMonitorTest : public TWindowTest {
protected:
    TMonitorBackend Two;
    HMONITOR Primary = nullptr, Second = nullptr;

    void UseTwoMonitors()
    {
        Two.List = {{RECT{0, 0, 1000, 800}, RECT{0, 0, 1000, 760}}, {RECT{1000, -200, 1600, 400}, RECT{1000, -200, 1600, 380}}};
        SetUserBackend(&Two);
        Primary = MonitorFromPoint(POINT{10, 10}, MONITOR_DEFAULTTONULL);
        Second = MonitorFromPoint(POINT{1200, 0}, MONITOR_DEFAULTTONULL);
    }
    void TearDown() override
    {
        HeadlessReset();
        SetUserBackend(nullptr);
        TWindowTest::TearDown();
    }
    static MONITORINFO Info(HMONITOR m)
    {
        MONITORINFO mi;
        EXPECT_TRUE(GetMonitorInfo(m, &mi));
        return mi;
    }
};

TEST_F(UserMonitorTest, HeadlessHasOneScreenSizedMonitorWithATaskBar)
{
    HMONITOR m = MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTONULL);
    ASSERT_TRUE(m);
    MONITORINFO mi = Info(m);
    EXPECT_EQ(mi.dwFlags, MONITORINFOF_PRIMARY);
    EXPECT_EQ(mi.rcWork.bottom, mi.rcMonitor.bottom - 40);
    RECT work{};
    ASSERT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_TRUE(work == mi.rcWork);
    EXPECT_EQ(MonitorFromPoint(POINT{-5, -5}, MONITOR_DEFAULTTONULL), nullptr);
    EXPECT_EQ(MonitorFromPoint(POINT{-5, -5}, MONITOR_DEFAULTTONEAREST), m);
}

TEST_F(UserMonitorTest, PointsRectanglesAndWindowsFindTheirMonitor)
{
    UseTwoMonitors();
    ASSERT_TRUE(Primary);
    ASSERT_TRUE(Second);
    ASSERT_NE(Primary, Second);
    enum TWhich { None, P, S };
    struct {
        POINT Pt;
        DWORD Flags;
        TWhich Want;
    } points[] = {
        {{10, 10}, MONITOR_DEFAULTTONULL, P},
        {{1599, 399}, MONITOR_DEFAULTTONULL, S},
        {{1200, 500}, MONITOR_DEFAULTTONULL, None},   // below the second, right of the primary
        {{1200, 500}, MONITOR_DEFAULTTOPRIMARY, P},
        {{1200, 500}, MONITOR_DEFAULTTONEAREST, S},    // 101 pixels from the second, 201 from the primary
        {{-50, 300}, MONITOR_DEFAULTTONEAREST, P},
    };
    for (auto& c : points) {
        HMONITOR want = c.Want == P ? Primary : c.Want == S ? Second : nullptr;
        EXPECT_EQ(MonitorFromPoint(c.Pt, c.Flags), want) << c.Pt.x << "," << c.Pt.y << " " << c.Flags;
    }
    struct {
        RECT R;
        DWORD Flags;
        TWhich Want;
    } rects[] = {
        {{900, 100, 1300, 300}, MONITOR_DEFAULTTONULL, S},  // most of it on the second
        {{100, 100, 1100, 300}, MONITOR_DEFAULTTONULL, P},
        {{3000, 3000, 3100, 3100}, MONITOR_DEFAULTTONULL, None},
        {{3000, 0, 3100, 100}, MONITOR_DEFAULTTONEAREST, S},
    };
    for (auto& c : rects) {
        HMONITOR want = c.Want == P ? Primary : c.Want == S ? Second : nullptr;
        EXPECT_EQ(MonitorFromRect(&c.R, c.Flags), want) << c.R.left;
    }
    EXPECT_EQ(MonitorFromRect(nullptr, MONITOR_DEFAULTTONEAREST), nullptr);
    HWND w = Top("W", 1100, 0, 200, 100, WS_POPUP);
    EXPECT_EQ(MonitorFromWindow(w, MONITOR_DEFAULTTONULL), Second);
    DestroyWindow(w);
    EXPECT_EQ(MonitorFromWindow(w, MONITOR_DEFAULTTOPRIMARY), Primary);
    EXPECT_EQ(MonitorFromWindow(w, MONITOR_DEFAULTTONULL), nullptr);
}

TEST_F(UserMonitorTest, InformationEnumerationAndTheWorkArea)
{
    UseTwoMonitors();
    MONITORINFO p = Info(Primary), s = Info(Second);
    EXPECT_EQ(p.dwFlags, MONITORINFOF_PRIMARY);
    EXPECT_EQ(s.dwFlags, 0u);
    EXPECT_TRUE(s.rcMonitor == (RECT{1000, -200, 1600, 400}));
    EXPECT_TRUE(s.rcWork == (RECT{1000, -200, 1600, 380}));
    RECT work{};
    SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_TRUE(work == (RECT{0, 0, 1000, 760}));
    // An override changes the primary monitor's work area only, until reset.
    RECT mine{0, 30, 1000, 800};
    ASSERT_TRUE(SystemParametersInfo(SPI_SETWORKAREA, 0, &mine, 0));
    EXPECT_TRUE(Info(Primary).rcWork == mine);
    EXPECT_TRUE(Info(Second).rcWork == s.rcWork);
    SystemParametersInfo(SPI_SETWORKAREA, 0, nullptr, 0);
    EXPECT_TRUE(Info(Primary).rcWork == p.rcWork);
    // Bad handles and records are refused.
    MONITORINFO mi;
    EXPECT_FALSE(GetMonitorInfo(reinterpret_cast<HMONITOR>(static_cast<std::uintptr_t>(0x999)), &mi));
    EXPECT_FALSE(GetMonitorInfo(Primary, nullptr));
    mi.cbSize = 4;
    EXPECT_FALSE(GetMonitorInfo(Primary, &mi));

    struct TSeen {
        std::vector<HMONITOR> Monitors;
        bool StopAtFirst = false;
    };
    auto collect = [](HMONITOR m, HDC, RECT*, LPARAM data) -> BOOL {
        auto* seen = reinterpret_cast<TSeen*>(data);
        seen->Monitors.push_back(m);
        return seen->StopAtFirst ? FALSE_ : TRUE_;
    };
    const RECT onSecond{1100, 0, 1200, 100}, nowhere{5000, 0, 5100, 100};
    struct {
        const RECT* Clip;
        bool Stop;
        std::vector<HMONITOR> Want;
    } enums[] = {
        {nullptr, false, {Primary, Second}},
        {nullptr, true, {Primary}},
        {&onSecond, false, {Second}},
        {&nowhere, false, {}},
    };
    for (auto& c : enums) {
        TSeen seen;
        seen.StopAtFirst = c.Stop;
        EXPECT_TRUE(EnumDisplayMonitors(nullptr, c.Clip, collect, reinterpret_cast<LPARAM>(&seen)));
        EXPECT_EQ(seen.Monitors, c.Want);
    }
    EXPECT_FALSE(EnumDisplayMonitors(nullptr, nullptr, nullptr, 0));
}

} // namespace
