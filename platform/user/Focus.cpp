#include "platform/user/Focus.h"

#include "platform/rtl/Threads.h"
#include "platform/user/MessageQueue.h"
#include "platform/user/ThreadQueue.h"
#include "platform/user/Window.h"
#include "platform/user/WindowObject.h"

namespace {

bool InSubtree(HWND root, HWND wnd)
{
    return wnd && (wnd == root || IsChild(root, wnd));
}

bool CanActivate(const TWnd* t)
{
    return t && !t->Destroying && t->Visible() && !(t->Style & WS_DISABLED) && !(t->ExStyle & WS_EX_NOACTIVATE);
}

void SendActivateApp(DWORD thread, bool active, HWND except)
{
    std::vector<HWND> tops;
    {
        std::lock_guard lock(User().Lock);
        for (TWnd* t : DesktopWnd()->Children)
            if (t->ThreadId == thread && t->Handle != except)
                tops.push_back(t->Handle);
    }
    if (except)
        tops.insert(tops.begin(), except);
    for (HWND t : tops)
        SendMessage(t, WM_ACTIVATEAPP, active ? 1 : 0, 0);
}

} // namespace

void ActivateWindowInternal(TWnd* w, WORD how, bool setFocus)
{
    TThreadQueue& q = CurrentQueue();
    HWND newWnd = w ? w->Handle : nullptr;
    HWND old = q.Active;
    if (old && !IsWindow(old))
        old = q.Active = nullptr;
    if (old == newWnd) {
        if (w && setFocus && !InSubtree(newWnd, q.Focus))
            SetFocus(newWnd);
        return;
    }
    TWndRef ref(w);
    if (w && IsReallyVisible(w) && DesktopWnd()->Children.front() != w)
        SetWindowPos(newWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    q.Active = newWnd;
    User().Foreground = newWnd;
    if (old) {
        SendMessage(old, WM_NCACTIVATE, FALSE_, reinterpret_cast<LPARAM>(newWnd));
        SendMessage(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, IsIconic(old) ? 1 : 0), reinterpret_cast<LPARAM>(newWnd));
    }
    if (!old && newWnd)
        SendActivateApp(q.ThreadId, true, newWnd);
    if (old && !newWnd)
        SendActivateApp(q.ThreadId, false, old);
    if (!w || !ref.Alive() || q.Active != newWnd)
        return;
    SendMessage(newWnd, WM_NCACTIVATE, TRUE_, reinterpret_cast<LPARAM>(old));
    if (!ref.Alive() || q.Active != newWnd)
        return;
    SendMessage(newWnd, WM_ACTIVATE, MAKEWPARAM(how, IsIconic(newWnd) ? 1 : 0), reinterpret_cast<LPARAM>(old));
    if (!ref.Alive() || q.Active != newWnd)
        return;
    // A focus left behind in the window that lost activation is taken away.
    if (q.Focus && old && InSubtree(old, q.Focus) && !InSubtree(newWnd, q.Focus))
        SetFocus(setFocus ? newWnd : nullptr);
}

void WindowGoingAway(TWnd* w)
{
    TThreadQueue& q = CurrentQueue();
    HWND h = w->Handle;
    if (User().Capture && InSubtree(h, User().Capture)) {
        User().Capture = nullptr;
    }
    if (InSubtree(h, q.Focus))
        q.Focus = nullptr;
    if (q.Active == h) {
        TWnd* next = nullptr;
        if (w->Owner && CanActivate(w->Owner))
            next = w->Owner;
        if (!next) {
            std::lock_guard lock(User().Lock);
            for (TWnd* t : DesktopWnd()->Children)
                if (t != w && t->Owner != w && t->ThreadId == q.ThreadId && CanActivate(t)) {
                    next = t;
                    break;
                }
        }
        q.Active = nullptr;
        if (User().Foreground == h)
            User().Foreground = nullptr;
        if (next)
            ActivateWindowInternal(next, WA_ACTIVE, true);
        else
            SendActivateApp(q.ThreadId, false, nullptr);
    }
}

// Activates another window when the active one hides or minimizes.
void ActivateNextAfter(TWnd* w)
{
    TThreadQueue& q = CurrentQueue();
    if (q.Active != w->Handle)
        return;
    TWnd* next = nullptr;
    if (w->Owner && CanActivate(w->Owner) && !(w->Owner->Style & WS_MINIMIZE))
        next = w->Owner;
    if (!next) {
        std::lock_guard lock(User().Lock);
        for (TWnd* t : DesktopWnd()->Children)
            if (t != w && t->ThreadId == q.ThreadId && CanActivate(t) && !(t->Style & WS_MINIMIZE)) {
                next = t;
                break;
            }
    }
    ActivateWindowInternal(next, WA_ACTIVE, true);
}

HWND SetFocus(HWND wnd)
{
    TThreadQueue& q = CurrentQueue();
    HWND old = q.Focus;
    if (old && !IsWindow(old))
        old = q.Focus = nullptr;
    if (!wnd) {
        q.Focus = nullptr;
        if (old)
            SendMessage(old, WM_KILLFOCUS, 0, 0);
        return old;
    }
    TWnd* w = WndFromHandle(wnd);
    if (!w || w->ThreadId != q.ThreadId)
        return nullptr;
    if (wnd == old)
        return old;
    TWnd* top = TopLevelOf(w);
    if (q.Active != top->Handle) {
        ActivateWindowInternal(top, WA_ACTIVE, false);
        if (!IsWindow(wnd))
            return nullptr;
        old = q.Focus;
        if (old == wnd)
            return old;
    }
    q.Focus = wnd;
    if (old && IsWindow(old)) {
        SendMessage(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(wnd), 0);
        if (q.Focus != wnd || !IsWindow(wnd))
            return old;
    }
    SendMessage(wnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    return old;
}

HWND GetFocus()
{
    TThreadQueue& q = CurrentQueue();
    if (q.Focus && !IsWindow(q.Focus))
        q.Focus = nullptr;
    return q.Focus;
}

HWND SetActiveWindow(HWND wnd)
{
    TThreadQueue& q = CurrentQueue();
    HWND old = q.Active;
    if (!wnd) {
        ActivateWindowInternal(nullptr, WA_INACTIVE, false);
        return old;
    }
    TWnd* w = WndFromHandle(wnd);
    if (!w || w->ThreadId != q.ThreadId)
        return nullptr;
    w = TopLevelOf(w);
    ActivateWindowInternal(w, WA_ACTIVE, true);
    return old;
}

HWND GetActiveWindow()
{
    TThreadQueue& q = CurrentQueue();
    if (q.Active && !IsWindow(q.Active))
        q.Active = nullptr;
    return q.Active;
}

BOOL SetForegroundWindow(HWND wnd)
{
    TWnd* w = WndFromHandle(wnd);
    if (!w)
        return FALSE_;
    w = TopLevelOf(w);
    if (w->ThreadId != GetCurrentThreadId()) {
        User().Foreground = w->Handle;
        return TRUE_;
    }
    ActivateWindowInternal(w, WA_ACTIVE, true);
    return TRUE_;
}

HWND GetForegroundWindow()
{
    HWND f = User().Foreground;
    return IsWindow(f) ? f : nullptr;
}

HWND SetCapture(HWND wnd)
{
    TUserState& u = User();
    HWND old = u.Capture;
    if (old && !IsWindow(old))
        old = nullptr;
    if (wnd && !IsWindow(wnd))
        return old;
    u.Capture = wnd;
    u.CaptureThread = GetCurrentThreadId();
    if (old && old != wnd)
        SendMessage(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(wnd));
    return old;
}

BOOL ReleaseCapture()
{
    TUserState& u = User();
    HWND old = u.Capture;
    u.Capture = nullptr;
    if (old && IsWindow(old))
        SendMessage(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE_;
}

HWND GetCapture()
{
    HWND c = User().Capture;
    return IsWindow(c) ? c : nullptr;
}
