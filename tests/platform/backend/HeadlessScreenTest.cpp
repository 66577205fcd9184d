// The headless back-end: composition of top-level windows on the memory
// screen (z-order, topmost, hiding without repainting, colour keys) and the
// description it gives other back-ends.
#include "support/WindowTestSupport.h"

#include "platform/rtl/Threads.h"

#include <atomic>
#include <thread>

using namespace wintest;

namespace {

class HeadlessScreenTest : public TWindowTest {
protected:
    void SetUp() override
    {
        TWindowTest::SetUp();
        PaintSolid([this](HWND h) { return ColourOf(h); });
    }
    COLORREF ColourOf(HWND h)
    {
        std::string t = GetWindowTextString(h);
        return t == "Red" ? RGB(200, 0, 0) : t == "Green" ? RGB(0, 200, 0) : t == "Blue" ? RGB(0, 0, 200) : RGB(9, 9, 9);
    }
};

} // namespace

TEST_F(HeadlessScreenTest, ZOrderDecidesWhatIsSeenWithoutRepainting)
{
    HWND red = Top("Red", 0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
    HWND green = Top("Green", 50, 50, 100, 100, WS_POPUP | WS_VISIBLE);
    HeadlessProcessMessages();
    EXPECT_EQ(ScreenAt(75, 75), RGB(0, 200, 0));
    Watch({WM_PAINT});
    BringWindowToTop(red);
    HeadlessProcessMessages();
    EXPECT_EQ(ScreenAt(75, 75), RGB(200, 0, 0));
    ShowWindow(red, SW_HIDE);
    HeadlessProcessMessages();
    EXPECT_EQ(ScreenAt(75, 75), RGB(0, 200, 0));
    EXPECT_EQ(ScreenAt(25, 25), GetSysColor(COLOR_DESKTOP));
    EXPECT_EQ(Log(), "");  // the surfaces keep their pictures
    (void)green;
}

TEST_F(HeadlessScreenTest, TopmostWindowsStayInFront)
{
    HWND blue = Top("Blue", 0, 0, 100, 100, WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST);
    HWND red = Top("Red", 20, 20, 100, 100, WS_POPUP | WS_VISIBLE);
    HeadlessProcessMessages();
    SetActiveWindow(red);
    BringWindowToTop(red);
    HeadlessProcessMessages();
    EXPECT_EQ(ScreenAt(50, 50), RGB(0, 0, 200));
    SetWindowPos(blue, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    BringWindowToTop(red);
    HeadlessProcessMessages();
    EXPECT_EQ(ScreenAt(50, 50), RGB(200, 0, 0));
    HWND order[4];
    ASSERT_EQ(UserTopLevelWindows(order, 4), 2);
    EXPECT_EQ(order[0], red);
}

TEST_F(HeadlessScreenTest, ColourKeyShowsWhatLiesBeneath)
{
    Top("Blue", 0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
    HWND keyed = Top("Red", 0, 0, 100, 100, WS_POPUP | WS_VISIBLE, WS_EX_LAYERED);
    SetLayeredWindowAttributes(keyed, RGB(200, 0, 0), 255, LWA_COLORKEY);
    HeadlessProcessMessages();
    EXPECT_EQ(ScreenAt(50, 50), RGB(0, 0, 200));
    TTopLevelInfo info;
    ASSERT_TRUE(UserTopLevelInfo(keyed, &info));
    EXPECT_TRUE(info.Layered);
    EXPECT_TRUE(info.LayeredAttributes);
    EXPECT_TRUE(info.ColorKeyed);
    EXPECT_EQ(info.ColorKey, RGB(200, 0, 0));
    EXPECT_EQ(info.ScreenRect, (RECT{0, 0, 100, 100}));
    EXPECT_FALSE(UserTopLevelInfo(nullptr, &info));
}

TEST_F(HeadlessScreenTest, WindowsDieWithTheirThreadAndTimedSendsGiveUp)
{
    std::atomic<HWND> made{nullptr};
    std::atomic<bool> release{false};
    std::thread worker([&] {
        made = CreateWindowEx(0, "LogWnd", "W", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        while (!release)
            Sleep(1);  // does not pump its queue
    });
    while (!made)
        Sleep(1);
    DWORD_PTR result = 99;
    EXPECT_EQ(SendMessageTimeout(made, WM_USER, 0, 0, SMTO_NORMAL, 20, &result), 0);
    EXPECT_EQ(result, 99u);
    EXPECT_TRUE(IsWindow(made));
    release = true;
    worker.join();
    EXPECT_FALSE(IsWindow(made));
    EXPECT_FALSE(PostMessage(made, WM_USER, 0, 0));
}

TEST_F(HeadlessScreenTest, PlacementFromAnotherThreadRunsInTheOwner)
{
    HWND red = Top("Red", 0, 0, 100, 100, WS_POPUP);
    DWORD sawThread = 0;
    THook paint = State.Hook;
    State.Hook = [&, paint](HWND h, UINT m, WPARAM w, LPARAM l, bool* handled) -> LRESULT {
        if (m == WM_WINDOWPOSCHANGED)
            sawThread = GetCurrentThreadId();
        return paint(h, m, w, l, handled);
    };
    std::atomic<bool> done{false};
    std::thread worker([&] {
        SetWindowPos(red, nullptr, 200, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(red, SW_SHOWNA);
        done = true;
    });
    while (!done) {
        MSG m;
        while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE))
            DispatchMessage(&m);
        Sleep(1);
    }
    worker.join();
    EXPECT_EQ(sawThread, GetCurrentThreadId());
    HeadlessProcessMessages();
    EXPECT_EQ(ScreenAt(250, 250), RGB(200, 0, 0));
}
