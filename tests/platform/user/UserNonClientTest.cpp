// The default frame's caption: its buttons by style, their hit codes, a
// press tracked to the release and the WM_SYSCOMMAND it sends, and the
// caption text and buttons on the screen.
#include "platform/user/NonClient.h"
#include "tests/support/WindowTestSupport.h"

#include <string>
#include <vector>

using namespace wintest;

namespace {

class UserNonClientTest : public TWindowTest {
protected:
    std::vector<WPARAM> Commands;

    HWND Shown(const char* name, DWORD style, DWORD ex = 0)
    {
        State.Hook = [this](HWND, UINT m, WPARAM wp, LPARAM, bool*) -> LRESULT {
            if (m == WM_SYSCOMMAND)
                Commands.push_back(wp & 0xFFF0);
            return 0;
        };
        HWND w = Top(name, 50, 50, 300, 200, style, ex);
        ShowWindow(w, SW_SHOW);
        HeadlessProcessMessages();
        Commands.clear();
        return w;
    }
    // The centre of a caption button, on the screen.
    static POINT ButtonPoint(HWND w, LRESULT hit)
    {
        RECT b = CaptionButtonRect(w, hit);
        RECT wr;
        GetWindowRect(w, &wr);
        return POINT{wr.left + (b.left + b.right) / 2, wr.top + (b.top + b.bottom) / 2};
    }
    static LRESULT HitAt(HWND w, POINT p)
    {
        return SendMessage(w, WM_NCHITTEST, 0, MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y)));
    }
};

TEST_F(UserNonClientTest, ButtonsFollowTheStyle)
{
    struct {
        DWORD Style;
        DWORD Ex;
        bool Close, Max, Min;
    } cases[] = {
        {WS_OVERLAPPEDWINDOW, 0, true, true, true},
        {WS_CAPTION | WS_SYSMENU, 0, true, false, false},
        {WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, true, false, true},
        {WS_CAPTION | WS_THICKFRAME, 0, false, false, false},  // no system menu, no buttons
        {WS_OVERLAPPEDWINDOW, WS_EX_TOOLWINDOW, true, false, false},
        {WS_POPUP | WS_SYSMENU, 0, false, false, false},  // no caption
    };
    for (auto& c : cases) {
        HeadlessReset();
        HWND w = Shown("A", c.Style, c.Ex);
        struct {
            LRESULT Hit;
            bool Want;
        } buttons[] = {{HTCLOSE, c.Close}, {HTMAXBUTTON, c.Max}, {HTMINBUTTON, c.Min}};
        RECT previous{};
        for (auto& b : buttons) {
            RECT r = CaptionButtonRect(w, b.Hit);
            EXPECT_EQ(!IsRectEmpty(&r), b.Want) << std::hex << c.Style << " " << b.Hit;
            if (!b.Want)
                continue;
            EXPECT_EQ(HitAt(w, ButtonPoint(w, b.Hit)), b.Hit);
            if (!IsRectEmpty(&previous)) {
                EXPECT_LE(r.right, previous.left);  // right to left
            }
            previous = r;
        }
    }
    HWND w = Shown("B", WS_OVERLAPPEDWINDOW);
    RECT close = CaptionButtonRect(w, HTCLOSE);
    RECT wr;
    GetWindowRect(w, &wr);
    // Beside the buttons the caption stays a caption.
    EXPECT_EQ(HitAt(w, POINT{wr.left + 40, wr.top + (close.top + close.bottom) / 2}), HTCAPTION);
    EXPECT_TRUE(IsRectEmpty(&(close = CaptionButtonRect(w, HTCAPTION))));
}

TEST_F(UserNonClientTest, ReleaseOverTheButtonSendsItsCommand)
{
    struct {
        LRESULT Hit;
        bool MoveAway;
        std::vector<WPARAM> Want;
    } cases[] = {
        {HTMINBUTTON, false, {SC_MINIMIZE}},
        {HTMAXBUTTON, false, {SC_MAXIMIZE}},
        {HTCLOSE, false, {SC_CLOSE}},
        {HTCLOSE, true, {}},  // released elsewhere: nothing
    };
    for (auto& c : cases) {
        HeadlessReset();
        HWND w = Shown("A", WS_OVERLAPPEDWINDOW);
        POINT p = ButtonPoint(w, c.Hit);
        HeadlessMouseMove(p.x, p.y);
        HeadlessMouseDown();
        if (c.MoveAway)
            HeadlessMouseMove(p.x - 120, p.y + 60);
        HeadlessMouseUp();
        HeadlessProcessMessages();
        EXPECT_EQ(Commands, c.Want) << c.Hit;
        if (c.Want.empty()) {
            EXPECT_TRUE(IsWindow(w));
            EXPECT_EQ(GetCapture(), nullptr);
        } else if (c.Want[0] == SC_CLOSE) {
            EXPECT_FALSE(IsWindow(w));
        } else if (c.Want[0] == SC_MAXIMIZE) {
            EXPECT_TRUE(IsZoomed(w));
            // Maximized, the same button restores.
            Commands.clear();
            p = ButtonPoint(w, HTMAXBUTTON);
            HeadlessClick(p.x, p.y);
            HeadlessProcessMessages();
            EXPECT_EQ(Commands, std::vector<WPARAM>{SC_RESTORE});
            EXPECT_FALSE(IsZoomed(w));
        } else {
            EXPECT_TRUE(IsIconic(w));
        }
    }
}

TEST_F(UserNonClientTest, CaptionShowsTextAndButtons)
{
    HWND w = Shown("Caption text", WS_OVERLAPPEDWINDOW);
    SetForegroundWindow(w);
    HeadlessProcessMessages();
    RECT wr;
    GetWindowRect(w, &wr);
    RECT close = CaptionButtonRect(w, HTCLOSE);
    COLORREF caption = GetSysColor(COLOR_ACTIVECAPTION);
    auto countIn = [&](RECT r, COLORREF c) {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                n += ScreenAt(wr.left + x, wr.top + y) == c;
        return n;
    };
    // The text: caption-text pixels at the left of the caption.
    RECT textArea{8, close.top, 100, close.bottom};
    EXPECT_GT(countIn(textArea, GetSysColor(COLOR_CAPTIONTEXT)), 10);
    EXPECT_GT(countIn(textArea, caption), 10);
    // The close button: its face and a glyph in the button text colour.
    EXPECT_GT(countIn(close, GetSysColor(COLOR_BTNFACE)), 10);
    EXPECT_GT(countIn(close, GetSysColor(COLOR_BTNTEXT)), 8);
    // Inactive, the caption takes the inactive colours.
    HWND other = Shown("Other", WS_POPUP | WS_VISIBLE);
    MoveWindow(other, 600, 500, 50, 50, TRUE_);
    SetForegroundWindow(other);
    HeadlessProcessMessages();
    EXPECT_GT(countIn(RECT{30, close.top, 100, close.bottom}, GetSysColor(COLOR_INACTIVECAPTION)), 10);
}

} // namespace
