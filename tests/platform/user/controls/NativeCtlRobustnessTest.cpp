// Every native control answers every message of its own range with null
// pointers and out-of-range numbers without crashing, and stays usable.
#include "platform/user/controls/CommCtrl.h"
#include "tests/support/WindowTestSupport.h"

#include <string>

using namespace wintest;

namespace {

class NativeCtlRobustnessTest : public TWindowTest {};

TEST_F(NativeCtlRobustnessTest, NullPointersAndWildNumbersAreHarmless)
{
    struct {
        const char* Class;
        DWORD Style;
        UINT First;
        UINT Last;
    } classes[] = {
        {"EDIT", 0, 0x00B0, 0x00D7},
        {"EDIT", ES_MULTILINE, 0x00B0, 0x00D7},
        {"LISTBOX", LBS_NOTIFY, 0x0180, 0x01A9},
        {"LISTBOX", LBS_EXTENDEDSEL | LBS_MULTICOLUMN, 0x0180, 0x01A9},
        {"LISTBOX", LBS_OWNERDRAWFIXED, 0x0180, 0x01A9},
        {"LISTBOX", LBS_OWNERDRAWVARIABLE, 0x0180, 0x01A9},
        {"SysTabControl32", 0, TCM_FIRST, TCM_FIRST + 60},
        {"SysTabControl32", TCS_MULTILINE | TCS_VERTICAL, TCM_FIRST, TCM_FIRST + 60},
        {"msctls_updown32", UDS_SETBUDDYINT, WM_USER + 100, WM_USER + 115},
        {"SysTreeView32", TVS_HASBUTTONS | TVS_EDITLABELS, TV_FIRST, TV_FIRST + 40},
        {"SysListView32", LVS_REPORT, LVM_FIRST, LVM_FIRST + 60},
        {"SysListView32", LVS_REPORT | LVS_OWNERDATA, LVM_FIRST, LVM_FIRST + 60},
        {"SysListView32", LVS_ICON, LVM_FIRST, LVM_FIRST + 60},
        {"SysListView32", LVS_LIST | LVS_EDITLABELS, LVM_FIRST, LVM_FIRST + 180},
        {"SysHeader32", 0, HDM_FIRST, HDM_FIRST + 20},
    };
    const WPARAM numbers[] = {0, 1, 5, static_cast<WPARAM>(-1), 0x7FFFFFFF, 0xFFFF};
    for (auto& c : classes) {
        HeadlessReset();
        HWND parent = Top("Form", 0, 0, 300, 300, WS_POPUP | WS_VISIBLE);
        HWND w = CreateWindowEx(0, c.Class, "text", WS_CHILD | WS_VISIBLE | c.Style, 0, 0, 200, 150, parent, nullptr,
                                nullptr, nullptr);
        ASSERT_TRUE(w) << c.Class;
        // (EM_GETSEL and UDM_GETRANGE32 take pointers in wParam: only null.)
        for (UINT m = c.First; m <= c.Last; ++m)
            for (WPARAM n : numbers)
                SendMessage(w, m, (m == EM_GETSEL || m == UDM_GETRANGE32) ? 0 : n, 0);
        for (UINT m : {WM_VSCROLL, WM_HSCROLL, WM_KEYDOWN, WM_CHAR, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK,
                       WM_MOUSEMOVE, WM_MOUSEWHEEL, WM_SETFONT, WM_CUT, WM_COPY, WM_PASTE, WM_CLEAR, WM_UNDO})
            for (WPARAM n : numbers)
                SendMessage(w, m, n, static_cast<LPARAM>(n));
        HeadlessProcessMessages();
        EXPECT_TRUE(IsWindow(w)) << c.Class;
        EXPECT_TRUE(DestroyWindow(w)) << c.Class;
    }
}

} // namespace
