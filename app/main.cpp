// Tarnello's entry point. It picks where windows live (an X display when one
// is reachable, else the memory screen), opens the main window and runs the
// message loop until the window is closed.
//
// TARNELLO_EXIT_AFTER_MS=<n> closes the window after n milliseconds, so that
// a test or a CI run can start the program and see it end by itself.
#include "platform/backend/BackendSelect.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/SysUtils.h"
#include "platform/user/User.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr UINT_PTR kExitTimer = 1;

LRESULT MainWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_TIMER:
        if (wParam == kExitTimer) {
            KillTimer(wnd, kExitTimer);
            PostMessage(wnd, WM_CLOSE, 0, 0);
            return 0;
        }
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProc(wnd, msg, wParam, lParam);
}

int Run()
{
    // A bad value is an error of the caller: say so before anything shows.
    std::int32_t exitAfter = -1;
    if (const char* v = std::getenv("TARNELLO_EXIT_AFTER_MS"); v && *v) {
        if (!TryStrToInt(v, exitAfter) || exitAfter < 0) {
            std::fprintf(stderr, "tarnello: TARNELLO_EXIT_AFTER_MS must be a number of milliseconds, not \"%s\"\n", v);
            return 2;
        }
    }
    std::string error;
    if (!SelectWindowBackend(&error)) {
        std::fprintf(stderr, "tarnello: %s\n", error.c_str());
        return 1;
    }

    WNDCLASS wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MainWindowProc;
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = "TarnelloMainWindow";
    if (!RegisterClass(&wc)) {
        std::fprintf(stderr, "tarnello: cannot register the main window class\n");
        return 1;
    }
    const int width = 800, height = 560;
    int x = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
    int y = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
    HWND main = CreateWindowEx(WS_EX_APPWINDOW, wc.lpszClassName, "Tarnello", WS_OVERLAPPEDWINDOW, x, y, width, height,
                               nullptr, nullptr, nullptr, nullptr);
    if (!main) {
        std::fprintf(stderr, "tarnello: cannot create the main window\n");
        return 1;
    }
    ShowWindow(main, SW_SHOWNORMAL);
    UpdateWindow(main);
    if (exitAfter >= 0)
        SetTimer(main, kExitTimer, static_cast<UINT>(exitAfter), nullptr);

    MSG msg;
    int code = 0;
    for (;;) {
        BOOL r = GetMessage(&msg, nullptr, 0, 0);
        if (r == 0) {
            code = static_cast<int>(msg.wParam);
            break;
        }
        if (r < 0)
            break;
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    if (IsWindow(main))
        DestroyWindow(main);
    ShutdownWindowBackend();
    return code;
}

} // namespace

int main()
{
    try {
        return Run();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tarnello: %s\n", e.what());
        return 1;
    }
}
