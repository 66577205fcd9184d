#include "platform/user/MessageQueue.h"

#include "platform/rtl/Clock.h"
#include "platform/rtl/Threads.h"
#include "platform/user/Backend.h"
#include "platform/user/Input.h"
#include "platform/user/Painting.h"
#include "platform/user/ThreadQueue.h"
#include "platform/user/Window.h"
#include "platform/user/WindowClass.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <string>
#include <unordered_map>

namespace {

struct TQueueRegistry {
    std::mutex Lock;
    std::unordered_map<DWORD, std::shared_ptr<TThreadQueue>> Queues;
};

TQueueRegistry& Registry()
{
    static auto* r = new TQueueRegistry;
    return *r;
}

void CancelPending(TThreadQueue& q)
{
    std::deque<std::shared_ptr<TSentMessage>> pending;
    {
        std::lock_guard lock(q.Lock);
        q.Alive = false;
        pending.swap(q.Sent);
    }
    for (auto& sm : pending) {
        if (sm->NoReply || !sm->Sender)
            continue;
        std::lock_guard lock(sm->Sender->Lock);
        sm->Done = true;
        sm->Result = 0;
        sm->Sender->Cv.notify_all();
    }
}

struct TQueueHolder {
    std::shared_ptr<TThreadQueue> Queue;
    ~TQueueHolder()
    {
        if (!Queue)
            return;
        if (!IsMainThread()) {
            // Windows die with their thread.
            std::vector<HWND> mine;
            {
                std::lock_guard lock(User().Lock);
                for (auto& [h, w] : User().Handles)
                    if (w->ThreadId == Queue->ThreadId && w->Parent == DesktopWnd())
                        mine.push_back(h);
            }
            for (HWND h : mine) {
                try {
                    DestroyWindow(h);
                } catch (...) {
                }
            }
        }
        CancelPending(*Queue);
        std::lock_guard lock(Registry().Lock);
        Registry().Queues.erase(Queue->ThreadId);
    }
};

thread_local TQueueHolder tQueue;

bool InRange(UINT msg, UINT lo, UINT hi)
{
    if (lo == 0 && hi == 0)
        return true;
    return msg >= lo && msg <= hi;
}

// hwnd filter: null = any, (HWND)-1 = thread messages only, else the
// window or its descendants.
bool WindowMatches(HWND msgWnd, HWND filter)
{
    if (!filter)
        return true;
    if (filter == reinterpret_cast<HWND>(-1))
        return msgWnd == nullptr;
    return msgWnd == filter || IsChild(filter, msgWnd);
}

TWnd* FindPaintWindow(TWnd* w, DWORD thread, HWND filter)
{
    if (!w->Visible() || w->NoRedraw)
        return nullptr;
    if (w->ThreadId == thread && w->CountedForPaint && WindowMatches(w->Handle, filter))
        return w;
    for (TWnd* c : w->Children)
        if (TWnd* f = FindPaintWindow(c, thread, filter))
            return f;
    return nullptr;
}

// Windows hidden with an update pending stop counting, so that an idle
// wait does not spin on paint work it cannot find.
void RecountPaint(TThreadQueue& q)
{
    std::vector<HWND> counted;
    {
        std::lock_guard lock(User().Lock);
        for (auto& [h, w] : User().Handles)
            if (w->ThreadId == q.ThreadId && w->CountedForPaint)
                counted.push_back(h);
    }
    for (HWND h : counted)
        if (TWnd* w = WndFromHandle(h))
            PaintCountChanged(w);
}

POINT CursorNow()
{
    POINT p{};
    GetCursorPos(&p);
    return p;
}

bool FetchMessage(TThreadQueue& q, MSG* out, HWND filter, UINT lo, UINT hi, bool remove)
{
    RunSentMessages(q);
    if (IsMainThread() && SynchronizePending())
        CheckSynchronize(0);
    if (IWindowBackend* b = UserBackend())
        b->PumpEvents();

again:
    // Posted messages.
    for (;;) {
        std::unique_lock lock(q.Lock);
        auto it = std::find_if(q.Posted.begin(), q.Posted.end(), [&](const MSG& m) {
            return m.message == WM_INTERNAL_REDRAW || (InRange(m.message, lo, hi) && WindowMatches(m.hwnd, filter));
        });
        if (it == q.Posted.end())
            break;
        MSG m = *it;
        if (remove || m.message == WM_INTERNAL_REDRAW)
            q.Posted.erase(it);
        lock.unlock();
        if (m.message == WM_INTERNAL_REDRAW) {
            RunDeferredRedraw(m.hwnd, m.lParam);
            continue;
        }
        if (m.hwnd && !IsWindow(m.hwnd)) {
            if (!remove) {
                std::lock_guard again(q.Lock);
                auto jt = std::find_if(q.Posted.begin(), q.Posted.end(), [&](const MSG& x) { return x.hwnd == m.hwnd; });
                if (jt != q.Posted.end())
                    q.Posted.erase(jt);
            }
            continue;
        }
        *out = m;
        return true;
    }

    // Input, turned into messages as it is reached.
    for (;;) {
        {
            std::unique_lock lock(q.Lock);
            auto it = std::find_if(q.Input.begin(), q.Input.end(), [&](const MSG& m) {
                return InRange(m.message, lo, hi) && WindowMatches(m.hwnd, filter);
            });
            if (it != q.Input.end()) {
                MSG m = *it;
                if (remove)
                    q.Input.erase(it);
                lock.unlock();
                if (m.hwnd && !IsWindow(m.hwnd)) {
                    if (!remove) {
                        std::lock_guard again(q.Lock);
                        auto jt = std::find_if(q.Input.begin(), q.Input.end(),
                                               [&](const MSG& x) { return x.hwnd == m.hwnd; });
                        if (jt != q.Input.end())
                            q.Input.erase(jt);
                    }
                    continue;
                }
                if (remove)
                    InputMessageRetrieved(m);
                *out = m;
                return true;
            }
        }
        if (!ConvertNextInput(q))
            break;
        // Turning input into messages may post (WM_MOUSELEAVE, WM_HOTKEY,
        // WM_CHAR); those come before further input.
        {
            std::lock_guard lock(q.Lock);
            if (!q.Posted.empty())
                goto again;
        }
    }

    {
        std::lock_guard lock(q.Lock);
        if (q.QuitPosted) {
            *out = MSG{};
            out->message = WM_QUIT;
            out->wParam = static_cast<WPARAM>(q.QuitCode);
            out->time = GetTickCount();
            out->pt = CursorNow();
            if (remove)
                q.QuitPosted = false;
            return true;
        }
    }

    if (q.PaintCount > 0 && InRange(WM_PAINT, lo, hi)) {
        TWnd* found = nullptr;
        {
            // The search calls no window procedure, so it runs under the lock.
            std::lock_guard lock(User().Lock);
            for (TWnd* t : DesktopWnd()->Children)
                if ((found = FindPaintWindow(t, q.ThreadId, filter)))
                    break;
        }
        if (found) {
            *out = MSG{found->Handle, WM_PAINT, 0, 0, GetTickCount(), CursorNow()};
            return true;
        }
        if (!filter)
            RecountPaint(q);
    }

    if (!q.Timers.empty() && InRange(WM_TIMER, lo, hi)) {
        std::uint64_t now = GetTickCount64();
        TTimerRec* best = nullptr;
        for (auto& t : q.Timers)
            if (t.Due <= now && WindowMatches(t.Wnd, filter) && (!best || t.Due < best->Due))
                best = &t;
        if (best) {
            *out = MSG{best->Wnd, WM_TIMER, best->Id, reinterpret_cast<LPARAM>(best->Proc), GetTickCount(), CursorNow()};
            if (remove)
                best->Due = now + best->Interval;  // overdue ticks coalesce
            return true;
        }
    }
    return false;
}

// Waits until something may have arrived or timeoutMs passed.
void WaitQueue(TThreadQueue& q, DWORD timeoutMs)
{
    DWORD wait = timeoutMs;
    if (!q.Timers.empty()) {
        std::uint64_t now = GetTickCount64();
        std::uint64_t next = UINT64_MAX;
        for (auto& t : q.Timers)
            next = std::min(next, t.Due);
        DWORD untilTimer = next <= now ? 0 : static_cast<DWORD>(std::min<std::uint64_t>(next - now, 0x7FFFFFFF));
        if (wait == INFINITE || untilTimer < wait)
            wait = untilTimer;
    }
    if (wait == 0 || q.PaintCount > 0)
        return;
    std::unique_lock lock(q.Lock);
    ClockWaitFor(lock, q.Cv, wait, [&] {
        return !q.Sent.empty() || !q.Posted.empty() || !q.Input.empty() || q.Woken || q.QuitPosted ||
               RawInputPending() || (IsMainThread() && SynchronizePending());
    });
    q.Woken = false;
}

std::shared_ptr<TThreadQueue> Target(HWND wnd)
{
    TWnd* w = WndFromHandle(wnd);
    return w ? w->Queue : nullptr;
}

} // namespace

std::shared_ptr<TThreadQueue> CurrentQueuePtr()
{
    if (!tQueue.Queue) {
        auto q = std::make_shared<TThreadQueue>();
        q->ThreadId = GetCurrentThreadId();
        {
            std::lock_guard lock(Registry().Lock);
            Registry().Queues[q->ThreadId] = q;
        }
        tQueue.Queue = q;
        if (IsMainThread()) {
            std::weak_ptr<TThreadQueue> weak = q;
            SetWakeMainThreadHook([weak] {
                if (auto mq = weak.lock())
                    WakeQueue(*mq);
            });
        }
    }
    return tQueue.Queue;
}

TThreadQueue& CurrentQueue()
{
    return *CurrentQueuePtr();
}

std::shared_ptr<TThreadQueue> QueueOfThread(DWORD threadId)
{
    std::lock_guard lock(Registry().Lock);
    auto it = Registry().Queues.find(threadId);
    return it == Registry().Queues.end() ? nullptr : it->second;
}

void WakeQueue(TThreadQueue& q)
{
    std::lock_guard lock(q.Lock);
    q.Woken = true;
    q.Cv.notify_all();
}

void WakeAllQueues()
{
    std::vector<std::shared_ptr<TThreadQueue>> all;
    {
        std::lock_guard lock(Registry().Lock);
        for (auto& [id, q] : Registry().Queues)
            all.push_back(q);
    }
    for (auto& q : all)
        WakeQueue(*q);
}

bool RunSentMessages(TThreadQueue& q)
{
    bool any = false;
    for (;;) {
        std::shared_ptr<TSentMessage> sm;
        {
            std::lock_guard lock(q.Lock);
            if (q.Sent.empty())
                break;
            sm = q.Sent.front();
            q.Sent.pop_front();
        }
        any = true;
        LRESULT result = 0;
        ++q.SendDepth;
        try {
            if (TWnd* w = WndFromHandle(sm->Wnd)) {
                if (sm->Msg == WM_INTERNAL_CALL)
                    result = (*reinterpret_cast<const std::function<LRESULT()>*>(sm->LParam))();
                else
                    result = CallWndProc(w, sm->Msg, sm->WParam, sm->LParam);
            }
        } catch (...) {
            --q.SendDepth;
            if (!sm->NoReply && sm->Sender) {
                std::lock_guard lock(sm->Sender->Lock);
                sm->Done = true;
                sm->Sender->Cv.notify_all();
            }
            throw;
        }
        --q.SendDepth;
        if (!sm->NoReply && sm->Sender) {
            std::lock_guard lock(sm->Sender->Lock);
            sm->Result = result;
            sm->Done = true;
            sm->Sender->Cv.notify_all();
        }
    }
    return any;
}

void PurgeWindowFromQueue(TWnd* w)
{
    if (!w->Queue)
        return;
    TThreadQueue& q = *w->Queue;
    HWND h = w->Handle;
    if (q.ThreadId == GetCurrentThreadId())
        q.Timers.erase(std::remove_if(q.Timers.begin(), q.Timers.end(), [h](const TTimerRec& t) { return t.Wnd == h; }),
                       q.Timers.end());
    std::lock_guard lock(q.Lock);
    auto drop = [h](const MSG& m) { return m.hwnd == h; };
    for (const MSG& m : q.Posted)
        if (m.hwnd == h && m.message == WM_INTERNAL_REDRAW)
            delete reinterpret_cast<TDeferredRedraw*>(m.lParam);
    q.Posted.erase(std::remove_if(q.Posted.begin(), q.Posted.end(), drop), q.Posted.end());
    q.Input.erase(std::remove_if(q.Input.begin(), q.Input.end(), drop), q.Input.end());
}

namespace {

LRESULT SendCrossThread(TWnd* w, UINT msg, WPARAM wParam, LPARAM lParam, DWORD timeoutMs, bool* timedOut)
{
    std::shared_ptr<TThreadQueue> target = w->Queue;
    auto self = CurrentQueuePtr();
    auto sm = std::make_shared<TSentMessage>();
    sm->Wnd = w->Handle;
    sm->Msg = msg;
    sm->WParam = wParam;
    sm->LParam = lParam;
    sm->Sender = self;
    {
        std::lock_guard lock(target->Lock);
        if (!target->Alive)
            return 0;
        target->Sent.push_back(sm);
        target->Cv.notify_all();
    }
    std::uint64_t start = GetTickCount64();
    for (;;) {
        {
            std::unique_lock lock(self->Lock);
            DWORD wait = INFINITE;
            if (timeoutMs != INFINITE) {
                std::uint64_t spent = GetTickCount64() - start;
                wait = spent >= timeoutMs ? 0 : static_cast<DWORD>(timeoutMs - spent);
            }
            ClockWaitFor(lock, self->Cv, wait, [&] { return sm->Done || !self->Sent.empty(); });
            if (sm->Done)
                return sm->Result;
            if (self->Sent.empty() && wait != INFINITE && GetTickCount64() - start >= timeoutMs) {
                // Give up; the receiver may still run it, but nobody waits.
                sm->Sender.reset();
                if (timedOut)
                    *timedOut = true;
                return 0;
            }
        }
        RunSentMessages(*self);
    }
}

} // namespace

LRESULT RunInWindowThread(TWnd* w, const std::function<LRESULT()>& fn)
{
    if (!w->Queue || w->ThreadId == GetCurrentThreadId())
        return fn();
    return SendCrossThread(w, WM_INTERNAL_CALL, 0, reinterpret_cast<LPARAM>(&fn), INFINITE, nullptr);
}

namespace {

// HWND_BROADCAST reaches the top-level windows as they are when it starts.
std::vector<HWND> BroadcastTargets()
{
    std::vector<HWND> tops;
    std::lock_guard lock(User().Lock);
    for (TWnd* t : DesktopWnd()->Children)
        tops.push_back(t->Handle);
    return tops;
}

} // namespace

LRESULT SendMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (wnd == HWND_BROADCAST) {
        for (HWND t : BroadcastTargets())
            SendMessage(t, msg, wParam, lParam);
        return 0;
    }
    TWnd* w = WndFromHandle(wnd);
    if (!w)
        return 0;
    if (!w->Queue || w->ThreadId == GetCurrentThreadId())
        return CallWndProc(w, msg, wParam, lParam);
    return SendCrossThread(w, msg, wParam, lParam, INFINITE, nullptr);
}

LRESULT SendMessageTimeout(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT, UINT timeoutMs, DWORD_PTR* result)
{
    TWnd* w = WndFromHandle(wnd);
    if (!w)
        return 0;
    LRESULT r;
    if (!w->Queue || w->ThreadId == GetCurrentThreadId()) {
        r = CallWndProc(w, msg, wParam, lParam);
    } else {
        bool timedOut = false;
        r = SendCrossThread(w, msg, wParam, lParam, timeoutMs, &timedOut);
        if (timedOut)
            return 0;
    }
    if (result)
        *result = static_cast<DWORD_PTR>(r);
    return 1;
}

BOOL SendNotifyMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    TWnd* w = WndFromHandle(wnd);
    if (!w)
        return FALSE_;
    if (!w->Queue || w->ThreadId == GetCurrentThreadId()) {
        CallWndProc(w, msg, wParam, lParam);
        return TRUE_;
    }
    auto sm = std::make_shared<TSentMessage>();
    sm->Wnd = wnd;
    sm->Msg = msg;
    sm->WParam = wParam;
    sm->LParam = lParam;
    sm->NoReply = true;
    std::lock_guard lock(w->Queue->Lock);
    if (!w->Queue->Alive)
        return FALSE_;
    w->Queue->Sent.push_back(sm);
    w->Queue->Cv.notify_all();
    return TRUE_;
}

BOOL PostMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!wnd)
        return PostThreadMessage(GetCurrentThreadId(), msg, wParam, lParam);
    if (wnd == HWND_BROADCAST) {
        for (HWND t : BroadcastTargets())
            PostMessage(t, msg, wParam, lParam);
        return TRUE_;
    }
    auto q = Target(wnd);
    if (!q)
        return FALSE_;
    MSG m{wnd, msg, wParam, lParam, GetTickCount(), CursorNow()};
    std::lock_guard lock(q->Lock);
    if (!q->Alive)
        return FALSE_;
    q->Posted.push_back(m);
    q->Cv.notify_all();
    return TRUE_;
}

BOOL PostThreadMessage(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam)
{
    std::shared_ptr<TThreadQueue> q =
        threadId == GetCurrentThreadId() ? CurrentQueuePtr() : QueueOfThread(threadId);
    if (!q)
        return FALSE_;
    MSG m{nullptr, msg, wParam, lParam, GetTickCount(), CursorNow()};
    std::lock_guard lock(q->Lock);
    if (!q->Alive)
        return FALSE_;
    q->Posted.push_back(m);
    q->Cv.notify_all();
    return TRUE_;
}

void PostQuitMessage(int exitCode)
{
    TThreadQueue& q = CurrentQueue();
    std::lock_guard lock(q.Lock);
    q.QuitPosted = true;
    q.QuitCode = exitCode;
    q.Cv.notify_all();
}

BOOL PeekMessage(MSG* msg, HWND wnd, UINT filterMin, UINT filterMax, UINT removeMsg)
{
    if (!msg)
        return FALSE_;
    TThreadQueue& q = CurrentQueue();
    MSG m;
    if (!FetchMessage(q, &m, wnd, filterMin, filterMax, (removeMsg & PM_REMOVE) != 0))
        return FALSE_;
    *msg = m;
    q.Last = m;
    return TRUE_;
}

BOOL GetMessage(MSG* msg, HWND wnd, UINT filterMin, UINT filterMax)
{
    if (!msg)
        return -1;
    if (wnd && wnd != reinterpret_cast<HWND>(-1) && !IsWindow(wnd))
        return -1;
    TThreadQueue& q = CurrentQueue();
    for (;;) {
        MSG m;
        if (FetchMessage(q, &m, wnd, filterMin, filterMax, true)) {
            *msg = m;
            q.Last = m;
            return m.message == WM_QUIT ? FALSE_ : TRUE_;
        }
        UserIdleFlush();
        WaitQueue(q, INFINITE);
    }
}

LRESULT DispatchMessage(const MSG* msg)
{
    if (!msg || !msg->hwnd)
        return 0;
    TWnd* w = WndFromHandle(msg->hwnd);
    if (!w)
        return 0;
    if (w->ThreadId != GetCurrentThreadId())
        return 0;
    if (msg->message == WM_TIMER && msg->lParam) {
        // Only a callback this thread registered for that timer is called.
        TThreadQueue& q = CurrentQueue();
        for (auto& t : q.Timers)
            if (t.Wnd == msg->hwnd && t.Id == msg->wParam && reinterpret_cast<LPARAM>(t.Proc) == msg->lParam) {
                t.Proc(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
                return 0;
            }
        return 0;
    }
    return CallWndProc(w, msg->message, msg->wParam, msg->lParam);
}

BOOL WaitMessage()
{
    TThreadQueue& q = CurrentQueue();
    MSG m;
    while (!FetchMessage(q, &m, nullptr, 0, 0, false)) {
        UserIdleFlush();
        WaitQueue(q, INFINITE);
    }
    return TRUE_;
}

DWORD GetQueueStatus(UINT flags)
{
    TThreadQueue& q = CurrentQueue();
    UINT s = 0;
    {
        std::lock_guard lock(q.Lock);
        if (!q.Posted.empty())
            s |= QS_POSTMESSAGE | QS_ALLPOSTMESSAGE;
        if (!q.Sent.empty())
            s |= QS_SENDMESSAGE;
        for (const MSG& m : q.Input)
            s |= (m.message >= WM_KEYFIRST && m.message <= WM_KEYLAST) ? QS_KEY
                 : m.message == WM_MOUSEMOVE || m.message == WM_NCMOUSEMOVE ? QS_MOUSEMOVE
                                                                             : QS_MOUSEBUTTON;
    }
    if (RawInputPending())
        s |= QS_INPUT;
    if (q.PaintCount > 0)
        s |= QS_PAINT;
    std::uint64_t now = GetTickCount64();
    for (auto& t : q.Timers)
        if (t.Due <= now)
            s |= QS_TIMER;
    s &= flags;
    return static_cast<DWORD>(MAKELONG(static_cast<WORD>(s), static_cast<WORD>(s)));
}

BOOL InSendMessage()
{
    return CurrentQueue().SendDepth > 0 ? TRUE_ : FALSE_;
}

DWORD GetMessageTime()
{
    return CurrentQueue().Last.time;
}

DWORD GetMessagePos()
{
    const POINT& p = CurrentQueue().Last.pt;
    return static_cast<DWORD>(MAKELONG(static_cast<WORD>(p.x), static_cast<WORD>(p.y)));
}

UINT RegisterWindowMessage(const char* name)
{
    if (!name || !*name)
        return 0;
    static std::mutex lock;
    static auto* names = new std::map<std::string, UINT>;
    static UINT next = 0xC000;
    std::string key(name);
    for (char& c : key)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::lock_guard guard(lock);
    auto it = names->find(key);
    if (it != names->end())
        return it->second;
    if (next > 0xFFFF)
        return 0;
    UINT id = next++;
    (*names)[key] = id;
    return id;
}

DWORD MsgWaitForMultipleObjects(DWORD count, TEvent* const* events, BOOL waitAll, DWORD timeoutMs, DWORD wakeMask)
{
    if (count > 0 && !events)
        return WAIT_FAILED;
    TThreadQueue& q = CurrentQueue();
    std::uint64_t start = GetTickCount64();
    for (;;) {
        if (count > 0) {
            if (waitAll) {
                bool all = true;
                for (DWORD i = 0; i < count; ++i)
                    all = all && events[i] && events[i]->IsSet();
                if (all) {
                    for (DWORD i = 0; i < count; ++i)
                        events[i]->WaitFor(0);
                    return WAIT_OBJECT_0;
                }
            } else {
                for (DWORD i = 0; i < count; ++i)
                    if (events[i] && events[i]->WaitFor(0) == wrSignaled)
                        return WAIT_OBJECT_0 + i;
            }
        }
        if (IsMainThread() && SynchronizePending())
            return WAIT_OBJECT_0 + count;
        if (IWindowBackend* b = UserBackend())
            b->PumpEvents();
        if (HIWORD(GetQueueStatus(wakeMask)) != 0 || ((wakeMask & QS_INPUT) && RawInputPending()))
            return WAIT_OBJECT_0 + count;
        std::uint64_t spent = GetTickCount64() - start;
        if (timeoutMs != INFINITE && spent >= timeoutMs)
            return WAIT_TIMEOUT;
        UserIdleFlush();
        std::unique_lock lock(q.Lock);
        if (count == 0) {
            DWORD wait = timeoutMs == INFINITE ? INFINITE : static_cast<DWORD>(timeoutMs - spent);
            if (!q.Timers.empty() && (wakeMask & QS_TIMER)) {
                std::uint64_t next = UINT64_MAX;
                for (auto& t : q.Timers)
                    next = std::min(next, t.Due);
                std::uint64_t now = GetTickCount64();
                DWORD untilTimer = next <= now ? 0 : static_cast<DWORD>(std::min<std::uint64_t>(next - now, 0x7FFFFFFF));
                if (wait == INFINITE || untilTimer < wait)
                    wait = untilTimer;
            }
            ClockWaitFor(lock, q.Cv, wait, [&] {
                return !q.Sent.empty() || !q.Posted.empty() || !q.Input.empty() || q.Woken || q.QuitPosted ||
                       RawInputPending() || (IsMainThread() && SynchronizePending());
            });
            q.Woken = false;
        } else {
            // The events cannot wake this wait; look again shortly.
            q.Cv.wait_for(lock, std::chrono::milliseconds(1));
            q.Woken = false;
        }
    }
}

UINT_PTR SetTimer(HWND wnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc)
{
    if (wnd) {
        TWnd* w = WndFromHandle(wnd);
        if (!w || w->ThreadId != GetCurrentThreadId())
            return 0;
    }
    TThreadQueue& q = CurrentQueue();
    DWORD interval = std::clamp<UINT>(elapseMs, USER_TIMER_MINIMUM, 0x7FFFFFFF);
    std::uint64_t due = GetTickCount64() + interval;
    for (auto& t : q.Timers) {
        if (t.Wnd == wnd && t.Id == id && (wnd || id != 0)) {
            t.Interval = interval;
            t.Due = due;
            t.Proc = proc;
            return wnd ? (id ? id : 1) : id;
        }
    }
    if (!wnd) {
        id = ++q.NextTimerId;
    }
    q.Timers.push_back(TTimerRec{wnd, id, interval, due, proc});
    return wnd ? (id ? id : 1) : id;
}

BOOL KillTimer(HWND wnd, UINT_PTR id)
{
    TThreadQueue& q = CurrentQueue();
    auto it = std::find_if(q.Timers.begin(), q.Timers.end(), [&](const TTimerRec& t) { return t.Wnd == wnd && t.Id == id; });
    if (it == q.Timers.end())
        return FALSE_;
    q.Timers.erase(it);
    return TRUE_;
}
