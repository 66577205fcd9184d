// The up-down control headless: its range, wrap, buddy and messages, and the
// steps the parent is told of and may refuse.
#include "tests/platform/user/controls/NotifyingParent.h"

#include <string>
#include <vector>

using namespace wintest;

namespace {

using NativeCtlUpDownTest = TNotifyingParentTest;

TEST_F(NativeCtlUpDownTest, StepsWrapsAndTellsTheParent)
{
    MakeParent();
    HWND buddy = CreateWindowEx(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 10, 10, 80, 20, Parent, nullptr, nullptr,
                                nullptr);
    HWND u = CreateWindowEx(0, "msctls_updown32", "", WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ALIGNRIGHT, 0,
                            0, 16, 20, Parent, nullptr, nullptr, nullptr);
    SendMessage(u, UDM_SETRANGE32, 0, 3);
    SendMessage(u, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
    SendMessage(u, UDM_SETPOS32, 0, 2);
    EXPECT_EQ(GetWindowTextString(buddy), "2");
    RECT br, ur;
    GetWindowRect(buddy, &br);
    GetWindowRect(u, &ur);
    EXPECT_EQ(ur.left, br.right);  // moved to the buddy's right edge
    HeadlessProcessMessages();
    Notes.clear();
    // Up twice: 3, then held at the top (no wrap).
    for (int i = 0; i < 2; ++i) {
        HeadlessClick(ur.left + 4, ur.top + 3);
        HeadlessProcessMessages();
    }
    EXPECT_EQ(SendMessage(u, UDM_GETPOS32, 0, 0), 3);
    EXPECT_EQ(GetWindowTextString(buddy), "3");
    ASSERT_GE(Notes.size(), 2u);
    EXPECT_EQ(Notes[0], "delta 2 1");
    EXPECT_EQ(Notes[1], "v4 3");
    // With wrap, going past the top starts at the bottom.
    SetWindowLong(u, GWL_STYLE, GetWindowLong(u, GWL_STYLE) | static_cast<LONG>(UDS_WRAP));
    HeadlessClick(ur.left + 4, ur.top + 3);
    HeadlessProcessMessages();
    EXPECT_EQ(SendMessage(u, UDM_GETPOS32, 0, 0), 0);
    // The parent can refuse a step.
    Refuse = true;
    HeadlessClick(ur.left + 4, ur.bottom - 3);
    HeadlessProcessMessages();
    EXPECT_EQ(SendMessage(u, UDM_GETPOS32, 0, 0), 0);
    Refuse = false;
    // A number typed into the buddy is where the next step starts.
    SetWindowText(buddy, "1");
    HeadlessClick(ur.left + 4, ur.bottom - 3);
    HeadlessProcessMessages();
    EXPECT_EQ(SendMessage(u, UDM_GETPOS32, 0, 0), 0);
    // 16-bit messages.
    SendMessage(u, UDM_SETRANGE, 0, MAKELPARAM(10, 5));  // upper 10, lower 5
    EXPECT_EQ(SendMessage(u, UDM_GETRANGE, 0, 0), MAKELONG(10, 5));
    EXPECT_EQ(LOWORD(SendMessage(u, UDM_GETPOS, 0, 0)), 5);
    SendMessage(u, UDM_SETPOS, 0, MAKELPARAM(40, 0));
    EXPECT_EQ(SendMessage(u, UDM_GETPOS32, 0, 0), 10);
}

} // namespace
