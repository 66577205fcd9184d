// The MDI client window class.
#include "platform/user/MdiClient.h"

#include "platform/gdi/PensBrushes.h"
#include "platform/gdi/SysColors.h"
#include "platform/user/Cursors.h"
#include "platform/user/Focus.h"
#include "platform/user/MessageQueue.h"
#include "platform/user/Messages.h"
#include "platform/user/Window.h"
#include "platform/user/WindowClass.h"

#include <algorithm>

namespace {

// The client's state lives in its first window word.
struct TMDIClientState {
    HWND Active = nullptr;
};

TMDIClientState* StateOf(HWND Client)
{
    if (!IsMDIClientWindow(Client))
        return nullptr;
    return reinterpret_cast<TMDIClientState*>(GetWindowLongPtr(Client, 0));
}

bool IsChildOf(HWND Client, HWND Child)
{
    return Child && IsWindow(Child) && GetParent(Child) == Client;
}

void Activate(HWND Client, TMDIClientState& S, HWND Child)
{
    HWND old = S.Active;
    if (old && !IsChildOf(Client, old))
        old = nullptr;
    if (Child && !IsChildOf(Client, Child))
        return;
    if (Child)
        SetWindowPos(Child, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (old == Child)
        return;
    S.Active = Child;
    WPARAM w = reinterpret_cast<WPARAM>(old);
    LPARAM l = reinterpret_cast<LPARAM>(Child);
    if (old) {
        SendMessage(old, WM_NCACTIVATE, FALSE_, 0);
        if (IsWindow(old))
            SendMessage(old, WM_MDIACTIVATE, w, l);
    }
    // A handler may have activated another child meanwhile.
    if (S.Active != Child || !Child || !IsWindow(Child))
        return;
    SendMessage(Child, WM_NCACTIVATE, TRUE_, 0);
    if (IsWindow(Child))
        SendMessage(Child, WM_MDIACTIVATE, w, l);
}

LRESULT ClientProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    switch (Msg) {
    case WM_NCCREATE:
        SetWindowLongPtr(Wnd, 0, reinterpret_cast<LONG_PTR>(new TMDIClientState));
        break;
    case WM_NCDESTROY:
        delete reinterpret_cast<TMDIClientState*>(GetWindowLongPtr(Wnd, 0));
        SetWindowLongPtr(Wnd, 0, 0);
        break;
    case WM_MDIACTIVATE:
        if (auto* s = StateOf(Wnd))
            Activate(Wnd, *s, reinterpret_cast<HWND>(WParam));
        return 0;
    case WM_MDIGETACTIVE: {
        auto* s = StateOf(Wnd);
        if (!s || !IsChildOf(Wnd, s->Active))
            return 0;
        if (LParam)
            *reinterpret_cast<BOOL*>(LParam) = IsZoomed(s->Active);
        return reinterpret_cast<LRESULT>(s->Active);
    }
    case WM_MDINEXT: {
        auto* s = StateOf(Wnd);
        if (!s)
            return 0;
        std::vector<HWND> kids = MDIChildWindows(Wnd, true);
        HWND from = WParam ? reinterpret_cast<HWND>(WParam) : s->Active;
        if (kids.size() < 2)
            return 0;
        auto it = std::find(kids.begin(), kids.end(), from);
        size_t i = it == kids.end() ? 0 : static_cast<size_t>(it - kids.begin());
        // Next: the one behind, while the present one goes to the back so
        // that repeated steps visit every child; previous: the last one.
        HWND target = LParam == 0 ? kids[(i + 1) % kids.size()] : kids.back();
        Activate(Wnd, *s, target);
        if (LParam == 0 && from && IsWindow(from) && from != target)
            SetWindowPos(from, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return 0;
    }
    case WM_MDIDESTROY:
        if (IsChildOf(Wnd, reinterpret_cast<HWND>(WParam)))
            DestroyWindow(reinterpret_cast<HWND>(WParam));
        return 0;
    default:
        break;
    }
    return DefWindowProc(Wnd, Msg, WParam, LParam);
}

void RegisterMDIClientClass()
{
    WNDCLASS existing;
    if (GetClassInfo(nullptr, MDICLIENT_CLASS, &existing))
        return;
    WNDCLASS wc;
    wc.style = CS_GLOBALCLASS;
    wc.lpfnWndProc = &ClientProc;
    wc.cbWndExtra = sizeof(void*);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_APPWORKSPACE);
    wc.lpszClassName = MDICLIENT_CLASS;
    RegisterClass(&wc);
}

}  // namespace

HWND CreateMDIClientWindow(HWND Frame, int X, int Y, int Width, int Height)
{
    RegisterMDIClientClass();
    return CreateWindowEx(0, MDICLIENT_CLASS, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, X, Y,
                          std::max(0, Width), std::max(0, Height), Frame, nullptr, nullptr, nullptr);
}

bool IsMDIClientWindow(HWND Wnd)
{
    return Wnd && IsWindow(Wnd) && GetClassNameString(Wnd) == MDICLIENT_CLASS;
}

std::vector<HWND> MDIChildWindows(HWND Client, bool VisibleOnly)
{
    std::vector<HWND> kids;
    if (!IsMDIClientWindow(Client))
        return kids;
    for (HWND h = GetWindow(Client, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
        if (!VisibleOnly || IsWindowVisible(h))
            kids.push_back(h);
    return kids;
}

void MDIChildLeaving(HWND Client, HWND Child, bool TellChild)
{
    auto* s = StateOf(Client);
    if (!s || s->Active != Child)
        return;
    HWND next = nullptr;
    for (HWND h : MDIChildWindows(Client, true))
        if (h != Child) {
            next = h;
            break;
        }
    if (next) {
        if (!TellChild)
            s->Active = nullptr;
        Activate(Client, *s, next);
        return;
    }
    s->Active = nullptr;
    if (TellChild && IsWindow(Child)) {
        SendMessage(Child, WM_NCACTIVATE, FALSE_, 0);
        if (IsWindow(Child))
            SendMessage(Child, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(Child), 0);
    }
}

HWND MDIChildToActivate(HWND Wnd)
{
    for (HWND h = Wnd; h && IsWindow(h); h = GetParent(h)) {
        HWND p = GetParent(h);
        if ((GetWindowLong(h, GWL_EXSTYLE) & WS_EX_MDICHILD) && IsMDIClientWindow(p)) {
            auto* s = StateOf(p);
            return s && s->Active != h ? h : nullptr;
        }
    }
    return nullptr;
}

void MDIChildMouseActivate(HWND Child, LRESULT Result)
{
    if (Result == MA_NOACTIVATE || Result == MA_NOACTIVATEANDEAT)
        return;
    HWND client = GetParent(Child);
    if (IsMDIClientWindow(client) && (GetWindowLong(Child, GWL_EXSTYLE) & WS_EX_MDICHILD))
        SendMessage(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(Child), 0);
}
