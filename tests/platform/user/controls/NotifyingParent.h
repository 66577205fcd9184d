#pragma once
// A parent window for native-control tests: it writes down the selection,
// step and scroll messages its children send, and refuses the ones that can
// be refused while Refuse is set.
#include "platform/user/controls/CommCtrl.h"
#include "tests/support/WindowTestSupport.h"

#include <string>
#include <vector>

class TNotifyingParentTest : public wintest::TWindowTest {
protected:
    HWND Parent = nullptr;
    std::vector<std::string> Notes;
    bool Refuse = false;

    void MakeParent()
    {
        Parent = Top("Form", 10, 10, 500, 400, WS_POPUP | WS_VISIBLE);
        State.Hook = [this](HWND, UINT m, WPARAM wp, LPARAM lp, bool* handled) -> LRESULT {
            if (m == WM_NOTIFY) {
                auto* nm = reinterpret_cast<NMHDR*>(lp);
                if (nm->code == TCN_SELCHANGING) {
                    Notes.push_back("changing");
                    *handled = true;
                    return Refuse ? TRUE_ : FALSE_;
                }
                if (nm->code == TCN_SELCHANGE)
                    Notes.push_back("change");
                if (nm->code == UDN_DELTAPOS) {
                    auto* ud = reinterpret_cast<NMUPDOWN*>(lp);
                    Notes.push_back("delta " + std::to_string(ud->iPos) + " " + std::to_string(ud->iDelta));
                    *handled = true;
                    return Refuse ? TRUE_ : FALSE_;
                }
            }
            if (m == WM_VSCROLL || m == WM_HSCROLL)
                Notes.push_back(std::string(m == WM_VSCROLL ? "v" : "h") + std::to_string(LOWORD(wp)) + " " +
                                std::to_string(static_cast<SHORT>(HIWORD(wp))));
            return 0;
        };
        SetForegroundWindow(Parent);
    }
};
