// The notify-icon calls on the memory screen: no tray unless a test installs
// one; the icon's state kept and handed to the tray; double clicks made by
// the double-click time; texts cut on whole characters; pictures scaled.
#include "platform/backend/Headless.h"
#include "platform/backend/HeadlessTray.h"
#include "platform/rtl/Clock.h"
#include "platform/shell/NotifyIcon.h"
#include "platform/user/User.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct TSink {
    std::vector<LPARAM> Mouse;
    HWND Wnd = nullptr;
    void WndProc(TMessage& M)
    {
        if (M.Msg == 0x800)
            Mouse.push_back(M.LParam);
        M.Result = DefWindowProc(Wnd, M.Msg, M.WParam, M.LParam);
    }
};

class NotifyIconTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        HeadlessReset();
        Sink.Wnd = AllocateHWnd(MakeEvent(&Sink, &TSink::WndProc));
        Data.hWnd = Sink.Wnd;
        Data.uID = 7;
        Data.uFlags = NIF_MESSAGE | NIF_TIP;
        Data.uCallbackMessage = 0x800;
    }
    void TearDown() override
    {
        SetTrayHost(nullptr);
        DeallocateHWnd(Sink.Wnd);
        HeadlessReset();
    }
    TFakeClock Clock;
    TClockInstaller Installer{Clock};
    TSink Sink;
    NOTIFYICONDATAW Data;
    THeadlessTray Tray;
};

TEST_F(NotifyIconTest, NoTrayOnTheMemoryScreen)
{
    EXPECT_EQ(CurrentTrayHost(), nullptr);
    EXPECT_FALSE(Shell_NotifyIconW(NIM_ADD, &Data));
    EXPECT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &Data));
    EXPECT_FALSE(Shell_NotifyIconW(NIM_DELETE, &Data));
    EXPECT_FALSE(Shell_NotifyIconW(NIM_ADD, nullptr));
}

TEST_F(NotifyIconTest, AddModifyDelete)
{
    SetTrayHost(&Tray);
    CopyNotifyText(Data.szTip, std::size(Data.szTip), "first");
    ASSERT_TRUE(Shell_NotifyIconW(NIM_ADD, &Data));
    EXPECT_FALSE(Shell_NotifyIconW(NIM_ADD, &Data)) << "added twice";
    CopyNotifyText(Data.szTip, std::size(Data.szTip), "second");
    ASSERT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &Data));
    ASSERT_EQ(Tray.Icons().size(), 1u);
    EXPECT_EQ(Tray.Icons()[0].Tip, "second");
    EXPECT_EQ(FindTrayIcon(Sink.Wnd, 7)->Tip, "second");
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &Data));
    EXPECT_TRUE(Tray.Icons().empty());
    EXPECT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &Data));
    // A window that is gone gets no icon.
    NOTIFYICONDATAW gone = Data;
    gone.hWnd = reinterpret_cast<HWND>(0x7FFF0);
    EXPECT_FALSE(Shell_NotifyIconW(NIM_ADD, &gone));
}

TEST_F(NotifyIconTest, SecondPressWithinTheDoubleClickTimeIsADoubleClick)
{
    SetTrayHost(&Tray);
    ASSERT_TRUE(Shell_NotifyIconW(NIM_ADD, &Data));
    const DWORD dbl = GetDoubleClickTime();
    Tray.Click(Sink.Wnd, 7, WM_LBUTTONDOWN);
    Clock.Advance(dbl - 1);
    Tray.Click(Sink.Wnd, 7, WM_LBUTTONDOWN);  // double click
    Clock.Advance(10);
    Tray.Click(Sink.Wnd, 7, WM_LBUTTONDOWN);  // a new first press
    Clock.Advance(dbl + 1);
    Tray.Click(Sink.Wnd, 7, WM_LBUTTONDOWN);  // too late: a first press again
    Tray.Click(Sink.Wnd, 7, WM_RBUTTONDOWN);
    HeadlessProcessMessages();
    EXPECT_EQ(Sink.Mouse, (std::vector<LPARAM>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP,
                                               WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP,
                                               WM_RBUTTONDOWN, WM_RBUTTONUP}));
    // Without NIF_MESSAGE nothing is posted.
    Data.uID = 8;
    Data.uFlags = NIF_TIP;
    ASSERT_TRUE(Shell_NotifyIconW(NIM_ADD, &Data));
    EXPECT_FALSE(TrayIconMouse(Sink.Wnd, 8, WM_LBUTTONDOWN));
}

TEST_F(NotifyIconTest, TextsAreCutOnWholeCharacters)
{
    WCHAR field[4];
    struct Case {
        const char* In;
        std::u16string Want;
    };
    for (const Case& c : std::vector<Case>{{"abc", u"abc"},
                                           {"abcdef", u"abc"},
                                           {"ab\xF0\x9F\x98\x80", u"ab"},  // the pair would not fit whole
                                           {"a\xF0\x9F\x98\x80", u"a\U0001F600"},
                                           {"", u""}}) {
        CopyNotifyText(field, 4, c.In);
        EXPECT_EQ(std::u16string(field), c.Want) << c.In;
    }
    EXPECT_EQ(NotifyText(field, 4), "");
}

TEST_F(NotifyIconTest, PicturesAreScaledToTheTraysSquare)
{
    TDibImage src;
    src.Allocate(4, 2, 32);
    src.HasAlpha = true;
    // Left half opaque blue, right half fully transparent.
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) {
            uint8_t* p = src.Row(y) + x * 4;
            p[0] = 255;
            p[3] = x < 2 ? 255 : 0;
        }
    TDibImage out = ScaleTrayImage(src, 2);
    ASSERT_EQ(out.Width, 2);
    EXPECT_EQ(out.PixelBGRA(0, 0), 0xFF0000FFu);
    EXPECT_EQ(out.PixelBGRA(1, 1) >> 24, 0u);
    TDibImage up = ScaleTrayImage(src, 8);
    EXPECT_EQ(up.PixelBGRA(1, 7), 0xFF0000FFu);
    EXPECT_TRUE(ScaleTrayImage(TDibImage{}, 16).Empty());
    EXPECT_TRUE(ScaleTrayImage(src, 0).Empty());
}

}  // namespace
