#pragma once
// Window system test helpers: a window class whose procedure logs chosen
// messages as "Caption:NAME" and lets a test hook answer them, and a fixture
// that starts each test on a fresh headless desktop.
#include "platform/backend/Headless.h"
#include "platform/gdi/Gdi.h"
#include "platform/user/User.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace wintest {

using THook = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM, bool*)>;

struct TState {
    std::vector<std::string> Lines;
    std::vector<UINT> Watch;
    THook Hook;
};

inline TState*& Current()
{
    static TState* s = nullptr;
    return s;
}

inline const char* MessageName(UINT m)
{
    switch (m) {
    case WM_CREATE: return "CREATE";
    case WM_SHOWWINDOW: return "SHOWWINDOW";
    case WM_WINDOWPOSCHANGING: return "POSCHANGING";
    case WM_WINDOWPOSCHANGED: return "POSCHANGED";
    case WM_ACTIVATEAPP: return "ACTIVATEAPP";
    case WM_NCACTIVATE: return "NCACTIVATE";
    case WM_ACTIVATE: return "ACTIVATE";
    case WM_SETFOCUS: return "SETFOCUS";
    case WM_KILLFOCUS: return "KILLFOCUS";
    case WM_NCPAINT: return "NCPAINT";
    case WM_ERASEBKGND: return "ERASEBKGND";
    case WM_PAINT: return "PAINT";
    case WM_SIZE: return "SIZE";
    case WM_MOVE: return "MOVE";
    case WM_TIMER: return "TIMER";
    case WM_USER: return "USER";
    case WM_USER + 1: return "USER1";
    case WM_ENTERSIZEMOVE: return "ENTERSIZEMOVE";
    case WM_EXITSIZEMOVE: return "EXITSIZEMOVE";
    case WM_MOVING: return "MOVING";
    case WM_SIZING: return "SIZING";
    case WM_GETMINMAXINFO: return "GETMINMAXINFO";
    case WM_SYSCOMMAND: return "SYSCOMMAND";
    case WM_CAPTURECHANGED: return "CAPTURECHANGED";
    case WM_NCLBUTTONDOWN: return "NCLBUTTONDOWN";
    case WM_NCMOUSEMOVE: return "NCMOUSEMOVE";
    case WM_LBUTTONDOWN: return "LBUTTONDOWN";
    case WM_LBUTTONUP: return "LBUTTONUP";
    case WM_LBUTTONDBLCLK: return "LBUTTONDBLCLK";
    case WM_RBUTTONUP: return "RBUTTONUP";
    case WM_MOUSEMOVE: return "MOUSEMOVE";
    case WM_MOUSEWHEEL: return "MOUSEWHEEL";
    case WM_MOUSELEAVE: return "MOUSELEAVE";
    case WM_MOUSEACTIVATE: return "MOUSEACTIVATE";
    case WM_CONTEXTMENU: return "CONTEXTMENU";
    case WM_SETCURSOR: return "SETCURSOR";
    case WM_DESTROY: return "DESTROY";
    case WM_NCDESTROY: return "NCDESTROY";
    case WM_KEYDOWN: return "KEYDOWN";
    case WM_KEYUP: return "KEYUP";
    case WM_SYSKEYDOWN: return "SYSKEYDOWN";
    case WM_CHAR: return "CHAR";
    case WM_HOTKEY: return "HOTKEY";
    case WM_DROPFILES: return "DROPFILES";
    case WM_PARENTNOTIFY: return "PARENTNOTIFY";
    case WM_QUIT: return "QUIT";
    default: return nullptr;
    }
}

inline LRESULT LoggingProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (TState* s = Current()) {
        const char* n = MessageName(m);
        if (n && std::find(s->Watch.begin(), s->Watch.end(), m) != s->Watch.end())
            s->Lines.push_back(GetWindowTextString(h) + ":" + n);
        if (s->Hook) {
            bool handled = false;
            LRESULT r = s->Hook(h, m, w, l, &handled);
            if (handled)
                return r;
        }
    }
    return DefWindowProc(h, m, w, l);
}

class TWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASS wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &LoggingProc;
        wc.lpszClassName = "LogWnd";
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_BTNFACE + 1));
        RegisterClass(&wc);
        HeadlessReset();
        Current() = &State;
    }
    void TearDown() override
    {
        State.Hook = nullptr;  // it may capture the test's locals
        HeadlessReset();
        Current() = nullptr;
    }
    HWND Top(const char* name, int x, int y, int w, int h, DWORD style = WS_OVERLAPPEDWINDOW, DWORD ex = 0)
    {
        return CreateWindowEx(ex, "LogWnd", name, style, x, y, w, h, nullptr, nullptr, nullptr, nullptr);
    }
    HWND Child(HWND parent, const char* name, int x, int y, int w, int h, DWORD style = 0)
    {
        return CreateWindowEx(0, "LogWnd", name, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent, nullptr, nullptr,
                              nullptr);
    }
    void Watch(std::vector<UINT> messages)
    {
        State.Watch = std::move(messages);
        State.Lines.clear();
    }
    std::string Log() const
    {
        std::string s;
        for (auto& l : State.Lines)
            s += (s.empty() ? "" : " ") + l;
        return s;
    }
    // Paints each window in one colour per caption, in WM_PAINT.
    void PaintSolid(std::function<COLORREF(HWND)> colour)
    {
        State.Hook = [colour](HWND h, UINT m, WPARAM, LPARAM, bool* handled) -> LRESULT {
            if (m != WM_PAINT)
                return 0;
            *handled = true;
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(h, &ps);
            HBRUSH b = CreateSolidBrush(colour(h));
            HGDIOBJ old = SelectObject(dc, b);
            PatBlt(dc, 0, 0, 4000, 4000, PATCOPY);
            SelectObject(dc, old);
            DeleteObject(b);
            EndPaint(h, &ps);
            return 0;
        };
    }
    TState State;
};

inline COLORREF ScreenAt(int x, int y)
{
    return HeadlessBackend().Pixel(x, y);
}

} // namespace wintest
