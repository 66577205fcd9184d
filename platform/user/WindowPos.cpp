// SetWindowPos, ShowWindow and placement.
#include "platform/gdi/SysColors.h"
#include "platform/rtl/Threads.h"
#include "platform/user/Backend.h"
#include "platform/user/Desktop.h"
#include "platform/user/Focus.h"
#include "platform/user/MessageQueue.h"
#include "platform/user/NonClient.h"
#include "platform/user/Painting.h"
#include "platform/user/ThreadQueue.h"
#include "platform/user/Window.h"
#include "platform/user/WindowObject.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

namespace {

bool Overlaps(const RECT& a, const RECT& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Moves w within its parent's list; true when the order changed.
bool Restack(TWnd* w, HWND after)
{
    std::lock_guard lock(User().Lock);
    auto& list = w->Parent->Children;
    std::vector<TWnd*> before = list;
    list.erase(std::remove(list.begin(), list.end(), w), list.end());
    if (after == HWND_TOPMOST)
        w->ExStyle |= WS_EX_TOPMOST;
    else if (after == HWND_NOTOPMOST)
        w->ExStyle &= ~WS_EX_TOPMOST;
    auto firstNonTopmost = [&] {
        auto it = list.begin();
        while (it != list.end() && ((*it)->ExStyle & WS_EX_TOPMOST))
            ++it;
        return it;
    };
    if (after == HWND_BOTTOM) {
        w->ExStyle &= IsTopLevel(w) ? ~WS_EX_TOPMOST : ~0u;
        list.push_back(w);
    } else if (after == HWND_TOP || after == HWND_TOPMOST || after == HWND_NOTOPMOST) {
        if (w->ExStyle & WS_EX_TOPMOST)
            list.insert(list.begin(), w);
        else
            list.insert(firstNonTopmost(), w);
    } else {
        auto it = std::find_if(list.begin(), list.end(), [&](TWnd* s) { return s->Handle == after; });
        if (it == list.end())
            list.insert(firstNonTopmost(), w);
        else
            list.insert(it + 1, w);
    }
    // Owned windows stay in front of their owner.
    if (IsTopLevel(w)) {
        std::vector<TWnd*> owned;
        for (TWnd* t : list)
            if (t->Owner == w)
                owned.push_back(t);
        for (TWnd* o : owned) {
            list.erase(std::remove(list.begin(), list.end(), o), list.end());
            auto pos = std::find(list.begin(), list.end(), w);
            if (!(o->ExStyle & WS_EX_TOPMOST) && (w->ExStyle & WS_EX_TOPMOST) == 0)
                list.insert(pos, o);
            else
                list.insert(pos, o);
        }
    }
    return before != list;
}

} // namespace

BOOL SetWindowPos(HWND wnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    TWnd* w = WndFromHandle(wnd);
    if (!w || !w->Parent)
        return FALSE_;
    if (w->ThreadId != GetCurrentThreadId())
        return static_cast<BOOL>(RunInWindowThread(w, [=] {
            return static_cast<LRESULT>(SetWindowPos(wnd, insertAfter, x, y, cx, cy, flags));
        }));
    TWndRef ref(w);
    bool wasVisible = w->Visible();
    if ((flags & SWP_SHOWWINDOW) && wasVisible)
        flags &= ~SWP_SHOWWINDOW;
    if ((flags & SWP_HIDEWINDOW) && !wasVisible)
        flags &= ~SWP_HIDEWINDOW;
    RECT cur = w->Rect;
    if (flags & SWP_NOSIZE) {
        cx = cur.right - cur.left;
        cy = cur.bottom - cur.top;
    }
    if (flags & SWP_NOMOVE) {
        x = cur.left;
        y = cur.top;
    }
    x = std::clamp(x, -32768, 32767);
    y = std::clamp(y, -32768, 32767);
    cx = std::clamp(cx, 0, 32767);
    cy = std::clamp(cy, 0, 32767);
    if (x == cur.left && y == cur.top)
        flags |= SWP_NOMOVE;
    if (cx == cur.right - cur.left && cy == cur.bottom - cur.top)
        flags |= SWP_NOSIZE;
    if (!(flags & SWP_NOZORDER) && insertAfter == wnd)
        flags |= SWP_NOZORDER;
    bool activate = !(flags & SWP_NOACTIVATE) && IsTopLevel(w) && !w->IsChild() && !(w->ExStyle & WS_EX_NOACTIVATE);
    if ((flags & (SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER)) == (SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER) &&
        !(flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW | SWP_FRAMECHANGED))) {
        if (activate && w->Visible())
            ActivateWindowInternal(w, WA_ACTIVE, true);
        return TRUE_;
    }

    WINDOWPOS pos{wnd, insertAfter, x, y, cx, cy, flags};
    if (!(flags & SWP_NOSENDCHANGING)) {
        CallWndProc(w, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
        if (!ref.Alive())
            return FALSE_;
        // The handler may have edited the record: its flags rule (a place
        // given with SWP_NOMOVE is ignored), and what no longer changes is
        // marked unchanged.
        pos.x = std::clamp(pos.x, -32768, 32767);
        pos.y = std::clamp(pos.y, -32768, 32767);
        pos.cx = std::clamp(pos.cx, 0, 32767);
        pos.cy = std::clamp(pos.cy, 0, 32767);
        if (pos.flags & SWP_NOMOVE) {
            pos.x = cur.left;
            pos.y = cur.top;
        }
        if (pos.flags & SWP_NOSIZE) {
            pos.cx = cur.right - cur.left;
            pos.cy = cur.bottom - cur.top;
        }
        if (pos.x == cur.left && pos.y == cur.top)
            pos.flags |= SWP_NOMOVE;
        if (pos.cx == cur.right - cur.left && pos.cy == cur.bottom - cur.top)
            pos.flags |= SWP_NOSIZE;
    }
    flags = pos.flags;
    RECT oldScreen = WindowScreenRect(w);
    RECT oldRect = w->Rect;
    RECT oldClient = w->Client;
    bool visibleBefore = IsReallyVisible(w);
    if (visibleBefore && !IsTopLevel(w) && !(flags & SWP_NOREDRAW) &&
        (!(flags & SWP_NOMOVE) || !(flags & SWP_NOSIZE) || (flags & SWP_HIDEWINDOW)))
        InvalidateParentArea(w);

    w->Rect = RECT{pos.x, pos.y, pos.x + pos.cx, pos.y + pos.cy};
    bool sized = !(flags & SWP_NOSIZE);
    if (sized || (flags & SWP_FRAMECHANGED)) {
        RecalcClientRect(w, &pos);
        if (!ref.Alive())
            return FALSE_;
    }
    if (IsTopLevel(w) && sized)
        EnsureSurface(w);
    bool restacked = false;
    if (!(flags & SWP_NOZORDER))
        restacked = Restack(w, pos.hwndInsertAfter);
    if (flags & SWP_SHOWWINDOW)
        w->Style |= WS_VISIBLE;
    if (flags & SWP_HIDEWINDOW)
        w->Style &= ~WS_VISIBLE;

    if (flags & SWP_HIDEWINDOW) {
        if (IsTopLevel(w))
            ActivateNextAfter(w);
        if (w->CountedForPaint)
            PaintCountChanged(w);
    }
    if (!ref.Alive())
        return FALSE_;
    bool visibleNow = IsReallyVisible(w);
    if (visibleNow && !(flags & SWP_NOREDRAW)) {
        if (flags & SWP_SHOWWINDOW) {
            RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        } else if (!IsTopLevel(w) && (!(flags & SWP_NOMOVE) || sized)) {
            RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        } else if (sized || (flags & SWP_FRAMECHANGED)) {
            UINT cls = w->Class ? w->Class->Style : 0;
            bool wChanged = (oldRect.right - oldRect.left) != (w->Rect.right - w->Rect.left);
            bool hChanged = (oldRect.bottom - oldRect.top) != (w->Rect.bottom - w->Rect.top);
            if ((wChanged && (cls & CS_HREDRAW)) || (hChanged && (cls & CS_VREDRAW)) || (flags & SWP_FRAMECHANGED)) {
                RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
            } else {
                // Only what the new size uncovers, and the frame.
                TRegion exposed(ClientSize(w));
                RECT oldC{0, 0, oldClient.right - oldClient.left, oldClient.bottom - oldClient.top};
                exposed.Combine(exposed, TRegion(oldC), RGN_DIFF);
                InvalidateWindowArea(w, &exposed, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
            }
        } else if (restacked && !IsTopLevel(w)) {
            bool covered = false;
            for (TWnd* s : w->Parent->Children)
                if (s != w && s->Visible() && Overlaps(s->Rect, w->Rect))
                    covered = true;
            if (covered)
                RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        }
    }
    if (IsTopLevel(w) && UserBackend() &&
        ((flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)) || !(flags & SWP_NOMOVE) || sized || restacked))
        UserBackend()->WindowChanged(wnd, oldScreen);

    if ((flags & SWP_SHOWWINDOW) && activate) {
        ActivateWindowInternal(w, WA_ACTIVE, true);
        if (!ref.Alive())
            return FALSE_;
    } else if (activate && w->Visible() && !(flags & SWP_HIDEWINDOW)) {
        ActivateWindowInternal(w, WA_ACTIVE, true);
        if (!ref.Alive())
            return FALSE_;
    }
    // A window being shown gets its frame and background drawn at once.
    if ((flags & SWP_SHOWWINDOW) && visibleNow && !(flags & SWP_NOREDRAW) && !(flags & SWP_DEFERERASE)) {
        RedrawWindow(wnd, nullptr, nullptr, RDW_ERASENOW | RDW_NOCHILDREN);
        if (!ref.Alive())
            return FALSE_;
    }
    if (w->Parent)
        RefreshOpenDCs(TopLevelOf(w));
    pos.x = w->Rect.left;
    pos.y = w->Rect.top;
    pos.cx = w->Rect.right - w->Rect.left;
    pos.cy = w->Rect.bottom - w->Rect.top;
    pos.flags = flags;
    CallWndProc(w, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    return TRUE_;
}

BOOL MoveWindow(HWND wnd, int x, int y, int width, int height, BOOL repaint)
{
    return SetWindowPos(wnd, nullptr, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL BringWindowToTop(HWND wnd)
{
    return SetWindowPos(wnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

BOOL ShowWindow(HWND wnd, int cmd)
{
    TWnd* w = WndFromHandle(wnd);
    if (!w)
        return FALSE_;
    if (w->ThreadId != GetCurrentThreadId())
        return static_cast<BOOL>(RunInWindowThread(w, [=] { return static_cast<LRESULT>(ShowWindow(wnd, cmd)); }));
    TWndRef ref(w);
    bool wasVisible = w->Visible();
    bool child = w->IsChild() || !IsTopLevel(w);
    UINT flags = SWP_NOMOVE | SWP_NOSIZE;
    switch (cmd) {
    case SW_HIDE:
        if (!wasVisible)
            return FALSE_;
        CallWndProc(w, WM_SHOWWINDOW, FALSE_, 0);
        if (!ref.Alive())
            return TRUE_;
        SetWindowPos(wnd, nullptr, 0, 0, 0, 0, flags | SWP_HIDEWINDOW | SWP_NOZORDER | SWP_NOACTIVATE);
        return TRUE_;
    case SW_SHOWMAXIMIZED: {
        if (!(w->Style & (WS_MAXIMIZE | WS_MINIMIZE)))
            w->NormalRect = w->Rect;
        if (!wasVisible) {
            CallWndProc(w, WM_SHOWWINDOW, TRUE_, 0);
            if (!ref.Alive())
                return FALSE_;
        }
        w->Style = (w->Style | WS_MAXIMIZE) & ~WS_MINIMIZE;
        RECT r;
        if (child) {
            r = ClientSize(w->Parent);
        } else {
            MINMAXINFO mmi = DefaultMinMaxInfo(wnd);
            CallWndProc(w, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
            if (!ref.Alive())
                return FALSE_;
            r = RECT{mmi.ptMaxPosition.x, mmi.ptMaxPosition.y, mmi.ptMaxPosition.x + mmi.ptMaxSize.x,
                     mmi.ptMaxPosition.y + mmi.ptMaxSize.y};
        }
        SetWindowPos(wnd, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_SHOWWINDOW | SWP_FRAMECHANGED | (child ? SWP_NOACTIVATE : 0));
        return wasVisible ? TRUE_ : FALSE_;
    }
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
    case SW_FORCEMINIMIZE: {
        if (!(w->Style & (WS_MAXIMIZE | WS_MINIMIZE)))
            w->NormalRect = w->Rect;
        if (!wasVisible) {
            CallWndProc(w, WM_SHOWWINDOW, TRUE_, 0);
            if (!ref.Alive())
                return FALSE_;
        }
        w->Style = (w->Style | WS_MINIMIZE) & ~WS_MAXIMIZE;
        SetWindowPos(wnd, nullptr, -32000, -32000, GetSystemMetrics(SM_CXMINIMIZED), GetSystemMetrics(SM_CYMINIMIZED),
                     SWP_SHOWWINDOW | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        if (ref.Alive() && IsTopLevel(w))
            ActivateNextAfter(w);
        return wasVisible ? TRUE_ : FALSE_;
    }
    default: {
        bool restore = (cmd == SW_RESTORE || cmd == SW_SHOWNORMAL || cmd == SW_SHOWNOACTIVATE || cmd == SW_SHOWDEFAULT) &&
                       (w->Style & (WS_MAXIMIZE | WS_MINIMIZE));
        if (!wasVisible) {
            CallWndProc(w, WM_SHOWWINDOW, TRUE_, 0);
            if (!ref.Alive())
                return FALSE_;
        }
        UINT f = SWP_SHOWWINDOW;
        if (cmd == SW_SHOWNA || cmd == SW_SHOWNOACTIVATE || child || cmd == SW_SHOWMINNOACTIVE)
            f |= SWP_NOACTIVATE;
        if (cmd == SW_SHOWNA || child)
            f |= SWP_NOZORDER;
        if (restore) {
            w->Style &= ~(WS_MAXIMIZE | WS_MINIMIZE);
            RECT n = w->NormalRect;
            SetWindowPos(wnd, HWND_TOP, n.left, n.top, n.right - n.left, n.bottom - n.top, f | SWP_FRAMECHANGED);
        } else {
            SetWindowPos(wnd, HWND_TOP, 0, 0, 0, 0, f | SWP_NOMOVE | SWP_NOSIZE);
        }
        return wasVisible ? TRUE_ : FALSE_;
    }
    }
}

BOOL GetWindowPlacement(HWND wnd, WINDOWPLACEMENT* p)
{
    TWnd* w = WndFromHandle(wnd);
    if (!w || !p)
        return FALSE_;
    p->flags = 0;
    p->showCmd = !w->Visible() ? SW_HIDE : (w->Style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED
                                        : (w->Style & WS_MINIMIZE) ? SW_SHOWMINIMIZED : SW_SHOWNORMAL;
    p->rcNormalPosition = (w->Style & (WS_MAXIMIZE | WS_MINIMIZE)) ? w->NormalRect : w->Rect;
    p->ptMinPosition = POINT{-1, -1};
    p->ptMaxPosition = POINT{-1, -1};
    return TRUE_;
}

BOOL SetWindowPlacement(HWND wnd, const WINDOWPLACEMENT* p)
{
    TWnd* w = WndFromHandle(wnd);
    if (!w || !p)
        return FALSE_;
    w->NormalRect = p->rcNormalPosition;
    if (!(w->Style & (WS_MAXIMIZE | WS_MINIMIZE))) {
        const RECT& r = p->rcNormalPosition;
        SetWindowPos(wnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ShowWindow(wnd, static_cast<int>(p->showCmd));
    return TRUE_;
}

namespace {

struct TDeferredPos {
    std::vector<WINDOWPOS> Entries;
};

std::mutex& DeferLock()
{
    static auto* m = new std::mutex;
    return *m;
}

std::set<TDeferredPos*>& DeferSets()
{
    static auto* s = new std::set<TDeferredPos*>;
    return *s;
}

TDeferredPos* TakeDeferSet(HDWP info, bool remove)
{
    std::lock_guard lock(DeferLock());
    auto* d = static_cast<TDeferredPos*>(info);
    if (!DeferSets().count(d))
        return nullptr;
    if (remove)
        DeferSets().erase(d);
    return d;
}

} // namespace

HDWP BeginDeferWindowPos(int count)
{
    if (count < 0)
        return nullptr;
    auto* d = new TDeferredPos;
    d->Entries.reserve(static_cast<std::size_t>(std::min(count, 4096)));
    std::lock_guard lock(DeferLock());
    DeferSets().insert(d);
    return d;
}

HDWP DeferWindowPos(HDWP info, HWND wnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    TDeferredPos* d = TakeDeferSet(info, false);
    if (!d)
        return nullptr;
    if (!IsWindow(wnd)) {
        delete TakeDeferSet(info, true);
        return nullptr;
    }
    for (WINDOWPOS& e : d->Entries)
        if (e.hwnd == wnd) {
            e = WINDOWPOS{wnd, insertAfter, x, y, cx, cy, flags};
            return info;
        }
    d->Entries.push_back(WINDOWPOS{wnd, insertAfter, x, y, cx, cy, flags});
    return info;
}

BOOL EndDeferWindowPos(HDWP info)
{
    std::unique_ptr<TDeferredPos> d(TakeDeferSet(info, true));
    if (!d)
        return FALSE_;
    for (const WINDOWPOS& e : d->Entries)
        if (IsWindow(e.hwnd))
            SetWindowPos(e.hwnd, e.hwndInsertAfter, e.x, e.y, e.cx, e.cy, e.flags);
    return TRUE_;
}
