#include "platform/user/Input.h"

#include "platform/gdi/SysColors.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Threads.h"
#include "platform/user/Backend.h"
#include "platform/user/Desktop.h"
#include "platform/user/Focus.h"
#include "platform/user/MdiClient.h"
#include "platform/user/MessageQueue.h"
#include "platform/user/ThreadQueue.h"
#include "platform/user/Window.h"
#include "platform/user/WindowClass.h"
#include "platform/user/WindowRegion.h"

#include <atomic>
#include <cstdlib>
#include <deque>
#include <mutex>

namespace {

struct TRawEvent {
    TInputEvent Event;
    DWORD Time = 0;
};

struct THotKey {
    HWND Wnd;
    int Id;
    UINT Mods;
    UINT Vk;
    DWORD Thread;
};

struct TInputState {
    std::mutex Lock;  // raw queue, async state and cursor
    std::deque<TRawEvent> Raw;
    std::atomic<int> RawCount{0};
    BYTE AsyncKeys[256] = {};
    POINT Cursor{640, 512};
    // Conversion state (the thread that converts): buttons as of the last
    // converted event, for the MK_ flags of mouse messages.
    BYTE ConvKeys[256] = {};
    // Retrieved state (GetKeyState).
    BYTE SyncKeys[256] = {};
    UINT DoubleClickTime = 500;
    // Last button press for double clicks.
    HWND ClickWnd = nullptr;
    UINT ClickMsg = 0;
    DWORD ClickTime = 0;
    POINT ClickPt{};
    bool ClickWasDouble = false;
    // Mouse tracking.
    HWND TrackWnd = nullptr;
    DWORD TrackFlags = 0;
    HWND HoverWnd = nullptr;  // window under the pointer after the last move
    bool HoverNC = false;
    std::vector<THotKey> HotKeys;
    WORD LastDown = 0;
};

TInputState& State()
{
    static auto* s = new TInputState;
    return *s;
}

bool Down(const BYTE* keys, int vk)
{
    return (keys[vk & 0xFF] & 0x80) != 0;
}

WPARAM MouseKeys(const BYTE* keys)
{
    WPARAM k = 0;
    if (Down(keys, VK_LBUTTON)) k |= MK_LBUTTON;
    if (Down(keys, VK_RBUTTON)) k |= MK_RBUTTON;
    if (Down(keys, VK_MBUTTON)) k |= MK_MBUTTON;
    if (Down(keys, VK_SHIFT)) k |= MK_SHIFT;
    if (Down(keys, VK_CONTROL)) k |= MK_CONTROL;
    return k;
}

WORD ButtonVk(TMouseButton b)
{
    switch (b) {
    case TMouseButton::Right: return VK_RBUTTON;
    case TMouseButton::Middle: return VK_MBUTTON;
    default: return VK_LBUTTON;
    }
}

UINT ButtonMessage(TMouseButton b, bool down)
{
    switch (b) {
    case TMouseButton::Right: return down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    case TMouseButton::Middle: return down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
    default: return down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    }
}

void SetKey(BYTE* keys, WORD vk, bool down)
{
    BYTE& k = keys[vk & 0xFF];
    if (down && !(k & 0x80))
        k ^= 0x01;  // toggle on each press
    k = static_cast<BYTE>(down ? (k | 0x80) : (k & ~0x80));
    // The generic modifier keys follow their left and right keys.
    auto generic = [&](WORD l, WORD r, WORD g) {
        if (vk == l || vk == r)
            keys[g] = static_cast<BYTE>((keys[g] & 0x01) | ((Down(keys, l) || Down(keys, r)) ? 0x80 : 0));
    };
    generic(VK_LSHIFT, VK_RSHIFT, VK_SHIFT);
    generic(VK_LCONTROL, VK_RCONTROL, VK_CONTROL);
    generic(VK_LMENU, VK_RMENU, VK_MENU);
}

void Push(TThreadQueue& q, const MSG& m)
{
    std::lock_guard lock(q.Lock);
    q.Input.push_back(m);
    q.Cv.notify_all();
}

std::shared_ptr<TThreadQueue> QueueOf(HWND wnd)
{
    TWnd* w = WndFromHandle(wnd);
    return w ? w->Queue : nullptr;
}

void PostLeave(HWND newUnder, bool newNC)
{
    TInputState& s = State();
    if (!s.TrackWnd)
        return;
    bool nc = (s.TrackFlags & TME_NONCLIENT) != 0;
    if (newUnder == s.TrackWnd && newNC == nc)
        return;
    HWND w = s.TrackWnd;
    s.TrackWnd = nullptr;
    s.TrackFlags = 0;
    PostMessage(w, nc ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0);
}

// Posts WM_HOTKEY for the registered hot key of the combination, if any.
bool PostHotKey(UINT mods, WORD vk)
{
    TInputState& s = State();
    for (const THotKey& h : s.HotKeys) {
        if (h.Vk == vk && (h.Mods & ~MOD_NOREPEAT) == mods) {
            LPARAM lp = MAKELPARAM(static_cast<WORD>(mods), vk);
            if (h.Wnd)
                PostMessage(h.Wnd, WM_HOTKEY, static_cast<WPARAM>(h.Id), lp);
            else
                PostThreadMessage(h.Thread, WM_HOTKEY, static_cast<WPARAM>(h.Id), lp);
            return true;
        }
    }
    return false;
}

bool HotKeyFor(WORD vk, const BYTE* keys)
{
    UINT mods = (Down(keys, VK_MENU) ? MOD_ALT : 0) | (Down(keys, VK_CONTROL) ? MOD_CONTROL : 0) |
                (Down(keys, VK_SHIFT) ? MOD_SHIFT : 0) | ((Down(keys, VK_LWIN) || Down(keys, VK_RWIN)) ? MOD_WIN : 0);
    return PostHotKey(mods, vk);
}

void ConvertMouse(TThreadQueue& q, const TRawEvent& raw)
{
    TInputState& s = State();
    const TInputEvent& e = raw.Event;
    POINT pt = e.Pt;
    bool buttonDown = e.Kind == TInputKind::ButtonDown;
    if (e.Kind == TInputKind::ButtonDown || e.Kind == TInputKind::ButtonUp)
        SetKey(s.ConvKeys, ButtonVk(e.Button), buttonDown);

    if (e.Kind == TInputKind::Wheel) {
        HWND target = GetFocus();
        if (!target)
            target = GetActiveWindow();
        if (!target)
            return;
        MSG m{target, WM_MOUSEWHEEL,
              MAKEWPARAM(static_cast<WORD>(MouseKeys(s.ConvKeys)), static_cast<WORD>(static_cast<SHORT>(e.WheelDelta))),
              MAKELPARAM(static_cast<WORD>(pt.x), static_cast<WORD>(pt.y)), raw.Time, pt};
        if (auto tq = QueueOf(target))
            Push(*tq, m);
        return;
    }

    HWND capture = GetCapture();
    HWND target = nullptr;
    LRESULT hit = HTCLIENT;
    if (capture) {
        target = capture;
    } else {
        TWnd* w = HitWindowAt(pt, &hit);
        if (!w) {
            PostLeave(nullptr, false);
            s.HoverWnd = nullptr;
            if (buttonDown)
                s.ClickWnd = nullptr;  // a press elsewhere breaks a double click
            return;
        }
        target = w->Handle;
    }
    TWnd* tw = WndFromHandle(target);
    if (!tw)
        return;
    bool client = capture || hit == HTCLIENT;
    PostLeave(target, !client);
    s.HoverWnd = target;
    s.HoverNC = !client;

    UINT msgNum = 0;
    if (e.Kind == TInputKind::MouseMove)
        msgNum = WM_MOUSEMOVE;
    else
        msgNum = ButtonMessage(e.Button, buttonDown);

    bool sameThread = tw->ThreadId == q.ThreadId;
    if (!capture && sameThread) {
        TWnd* top = TopLevelOf(tw);
        if (buttonDown && (top->Style & WS_DISABLED)) {
            // A click on a window disabled by a modal one brings that one forward.
            if (HWND popup = GetWindow(top->Handle, GW_ENABLEDPOPUP))
                SetActiveWindow(popup);
            MessageBeep(0);
            return;
        }
        // An inactive MDI child inside the active frame is asked too.
        if (buttonDown && (GetActiveWindow() != top->Handle || MDIChildToActivate(tw->Handle))) {
            TWndRef ref(tw);
            LRESULT ma = SendMessage(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top->Handle),
                                     MAKELPARAM(static_cast<WORD>(hit), static_cast<WORD>(msgNum)));
            if (!ref.Alive())
                return;
            if ((ma == MA_ACTIVATE || ma == MA_ACTIVATEANDEAT || ma == 0) && !(top->ExStyle & WS_EX_NOACTIVATE) &&
                GetActiveWindow() != top->Handle)
                ActivateWindowInternal(top, WA_CLICKACTIVE, true);
            if (!ref.Alive() || ma == MA_ACTIVATEANDEAT || ma == MA_NOACTIVATEANDEAT)
                return;
        }
        TWndRef ref(tw);
        SendMessage(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target),
                    MAKELPARAM(static_cast<WORD>(hit), static_cast<WORD>(msgNum)));
        if (!ref.Alive())
            return;
    }

    MSG m{target, 0, 0, 0, raw.Time, pt};
    if (client) {
        POINT c = pt;
        ScreenToClient(target, &c);
        m.message = msgNum;
        m.wParam = MouseKeys(s.ConvKeys);
        m.lParam = MAKELPARAM(static_cast<WORD>(c.x), static_cast<WORD>(c.y));
    } else {
        m.message = msgNum - WM_MOUSEMOVE + WM_NCMOUSEMOVE;
        m.wParam = static_cast<WPARAM>(hit);
        m.lParam = MAKELPARAM(static_cast<WORD>(pt.x), static_cast<WORD>(pt.y));
    }
    if (buttonDown && client && sameThread && !capture && tw->IsChild()) {
        // Parents hear of clicks on their children (menus close on it).
        TWndRef ref(tw);
        for (TWnd* c = tw; c->IsChild() && !(c->ExStyle & WS_EX_NOPARENTNOTIFY); c = c->Parent) {
            TWnd* p = c->Parent;
            if (!p || p == DesktopWnd())
                break;
            POINT pp = pt;
            ScreenToClient(p->Handle, &pp);
            SendMessage(p->Handle, WM_PARENTNOTIFY, MAKEWPARAM(static_cast<WORD>(msgNum), 0),
                        MAKELPARAM(static_cast<WORD>(pp.x), static_cast<WORD>(pp.y)));
            if (!ref.Alive() || !IsWindow(p->Handle))
                return;
        }
    }
    if (buttonDown) {
        bool dblOk = !client || (tw->Class && (tw->Class->Style & CS_DBLCLKS));
        int cx = std::max(1, GetSystemMetrics(SM_CXDOUBLECLK) / 2);
        int cy = std::max(1, GetSystemMetrics(SM_CYDOUBLECLK) / 2);
        bool isDouble = dblOk && !s.ClickWasDouble && s.ClickWnd == target && s.ClickMsg == m.message &&
                        raw.Time - s.ClickTime <= s.DoubleClickTime && std::abs(pt.x - s.ClickPt.x) <= cx &&
                        std::abs(pt.y - s.ClickPt.y) <= cy;
        s.ClickWnd = target;
        s.ClickMsg = m.message;
        s.ClickTime = raw.Time;
        s.ClickPt = pt;
        s.ClickWasDouble = isDouble;
        if (isDouble)
            m.message += 2;  // WM_xBUTTONDOWN + 2 = WM_xBUTTONDBLCLK
    }
    if (sameThread)
        Push(q, m);
    else if (tw->Queue)
        Push(*tw->Queue, m);
}

void ConvertKey(TThreadQueue& q, const TRawEvent& raw)
{
    TInputState& s = State();
    const TInputEvent& e = raw.Event;
    HWND target = GetFocus();
    if (e.Kind == TInputKind::Char) {
        if (!target)
            target = GetActiveWindow();
        if (target)
            Push(q, MSG{target, WM_CHAR, static_cast<WPARAM>(e.Char), 1, raw.Time, s.Cursor});
        return;
    }
    bool down = e.Kind == TInputKind::KeyDown;
    bool wasDown = Down(s.ConvKeys, e.Vk);
    SetKey(s.ConvKeys, e.Vk, down);
    if (down && HotKeyFor(e.Vk, s.ConvKeys))
        return;
    bool noFocus = !target;
    if (noFocus)
        target = GetActiveWindow();
    if (!target)
        return;
    bool alt = Down(s.ConvKeys, VK_MENU);
    bool ctrl = Down(s.ConvKeys, VK_CONTROL);
    bool sys = (alt && !ctrl) || e.Vk == VK_F10 || e.Vk == VK_MENU || e.Vk == VK_LMENU || e.Vk == VK_RMENU || noFocus;
    UINT msg = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
    DWORD lp = 1u | ((static_cast<DWORD>(e.Vk) & 0xFF) << 16);
    if (alt)
        lp |= 1u << 29;
    if (wasDown)
        lp |= 1u << 30;
    if (!down)
        lp |= (1u << 30) | (1u << 31);
    Push(q, MSG{target, msg, e.Vk, static_cast<LPARAM>(lp), raw.Time, s.Cursor});
}

} // namespace

bool RawInputPending()
{
    return State().RawCount.load() > 0;
}

bool ConvertNextInput(TThreadQueue& q)
{
    TInputState& s = State();
    TRawEvent raw;
    {
        std::lock_guard lock(s.Lock);
        if (s.Raw.empty())
            return false;
        raw = s.Raw.front();
        s.Raw.pop_front();
        --s.RawCount;
    }
    switch (raw.Event.Kind) {
    case TInputKind::HotKey:
        PostHotKey(raw.Event.Modifiers & ~MOD_NOREPEAT, raw.Event.Vk);
        break;
    case TInputKind::KeyDown:
    case TInputKind::KeyUp:
    case TInputKind::Char:
        ConvertKey(q, raw);
        break;
    default:
        ConvertMouse(q, raw);
        break;
    }
    return true;
}

void InputMessageRetrieved(const MSG& m)
{
    TInputState& s = State();
    switch (m.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        SetKey(s.SyncKeys, static_cast<WORD>(m.wParam), true);
        s.LastDown = static_cast<WORD>(m.wParam);
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        SetKey(s.SyncKeys, static_cast<WORD>(m.wParam), false);
        break;
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: case WM_NCLBUTTONDOWN: case WM_NCLBUTTONDBLCLK:
        SetKey(s.SyncKeys, VK_LBUTTON, true);
        break;
    case WM_LBUTTONUP: case WM_NCLBUTTONUP:
        SetKey(s.SyncKeys, VK_LBUTTON, false);
        break;
    case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK: case WM_NCRBUTTONDOWN: case WM_NCRBUTTONDBLCLK:
        SetKey(s.SyncKeys, VK_RBUTTON, true);
        break;
    case WM_RBUTTONUP: case WM_NCRBUTTONUP:
        SetKey(s.SyncKeys, VK_RBUTTON, false);
        break;
    case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: case WM_NCMBUTTONDOWN: case WM_NCMBUTTONDBLCLK:
        SetKey(s.SyncKeys, VK_MBUTTON, true);
        break;
    case WM_MBUTTONUP: case WM_NCMBUTTONUP:
        SetKey(s.SyncKeys, VK_MBUTTON, false);
        break;
    default:
        break;
    }
}

void UserPostInput(const TInputEvent& event)
{
    TInputState& s = State();
    {
        std::lock_guard lock(s.Lock);
        TRawEvent raw{event, GetTickCount()};
        switch (event.Kind) {
        case TInputKind::MouseMove:
        case TInputKind::ButtonDown:
        case TInputKind::ButtonUp:
        case TInputKind::Wheel:
            s.Cursor = event.Pt;
            if (event.Kind != TInputKind::MouseMove && event.Kind != TInputKind::Wheel)
                SetKey(s.AsyncKeys, ButtonVk(event.Button), event.Kind == TInputKind::ButtonDown);
            break;
        case TInputKind::KeyDown:
        case TInputKind::KeyUp:
            SetKey(s.AsyncKeys, event.Vk, event.Kind == TInputKind::KeyDown);
            raw.Event.Pt = s.Cursor;
            break;
        case TInputKind::Char:
        case TInputKind::HotKey:
            raw.Event.Pt = s.Cursor;
            break;
        }
        s.Raw.push_back(raw);
        ++s.RawCount;
    }
    WakeAllQueues();
}

void UserResetInput()
{
    TInputState& s = State();
    std::lock_guard lock(s.Lock);
    s.Raw.clear();
    s.RawCount = 0;
    std::fill(std::begin(s.AsyncKeys), std::end(s.AsyncKeys), 0);
    std::fill(std::begin(s.ConvKeys), std::end(s.ConvKeys), 0);
    std::fill(std::begin(s.SyncKeys), std::end(s.SyncKeys), 0);
    s.Cursor = POINT{640, 512};
    s.ClickWnd = nullptr;
    s.ClickWasDouble = false;
    s.TrackWnd = nullptr;
    s.TrackFlags = 0;
    s.HoverWnd = nullptr;
    s.HotKeys.clear();
    s.DoubleClickTime = 500;
    s.LastDown = 0;
}

WORD LastKeyDownVk()
{
    return State().LastDown;
}

SHORT GetKeyState(int vk)
{
    BYTE k = State().SyncKeys[vk & 0xFF];
    return static_cast<SHORT>(((k & 0x80) ? 0x8000 : 0) | (k & 0x01));
}

SHORT GetAsyncKeyState(int vk)
{
    TInputState& s = State();
    std::lock_guard lock(s.Lock);
    return static_cast<SHORT>((s.AsyncKeys[vk & 0xFF] & 0x80) ? 0x8000 : 0);
}

BOOL GetKeyboardState(BYTE* state)
{
    if (!state)
        return FALSE_;
    std::copy(std::begin(State().SyncKeys), std::end(State().SyncKeys), state);
    return TRUE_;
}

BOOL GetCursorPos(POINT* point)
{
    if (!point)
        return FALSE_;
    TInputState& s = State();
    std::lock_guard lock(s.Lock);
    *point = s.Cursor;
    return TRUE_;
}

BOOL SetCursorPos(int x, int y)
{
    TInputEvent e;
    e.Kind = TInputKind::MouseMove;
    e.Pt = POINT{x, y};
    UserPostInput(e);
    return TRUE_;
}

UINT GetDoubleClickTime()
{
    return State().DoubleClickTime;
}

BOOL SetDoubleClickTime(UINT ms)
{
    State().DoubleClickTime = ms ? std::min<UINT>(ms, 5000) : 500;
    return TRUE_;
}

BOOL TrackMouseEvent(TRACKMOUSEEVENT* track)
{
    if (!track || track->cbSize < sizeof(TRACKMOUSEEVENT))
        return FALSE_;
    TInputState& s = State();
    if (track->dwFlags & TME_QUERY) {
        track->hwndTrack = s.TrackWnd;
        track->dwFlags = s.TrackWnd ? s.TrackFlags : 0;
        return TRUE_;
    }
    if (!IsWindow(track->hwndTrack))
        return FALSE_;
    if (track->dwFlags & TME_CANCEL) {
        if (s.TrackWnd == track->hwndTrack) {
            s.TrackWnd = nullptr;
            s.TrackFlags = 0;
        }
        return TRUE_;
    }
    if (!(track->dwFlags & TME_LEAVE))
        return TRUE_;
    bool nc = (track->dwFlags & TME_NONCLIENT) != 0;
    if (s.HoverWnd != track->hwndTrack || s.HoverNC != nc) {
        PostMessage(track->hwndTrack, nc ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0);
        return TRUE_;
    }
    s.TrackWnd = track->hwndTrack;
    s.TrackFlags = track->dwFlags & (TME_LEAVE | TME_NONCLIENT);
    return TRUE_;
}

BOOL RegisterHotKey(HWND wnd, int id, UINT modifiers, UINT vk)
{
    if (wnd && !IsWindow(wnd))
        return FALSE_;
    TInputState& s = State();
    for (const THotKey& h : s.HotKeys)
        if ((h.Vk == vk && (h.Mods & ~MOD_NOREPEAT) == (modifiers & ~MOD_NOREPEAT)) || (h.Wnd == wnd && h.Id == id))
            return FALSE_;
    // The back-end takes the combination from other programs first; one it
    // cannot take is refused, as a combination another program holds.
    if (!UserBackend()->GrabHotKey(modifiers & ~MOD_NOREPEAT, vk, true))
        return FALSE_;
    s.HotKeys.push_back(THotKey{wnd, id, modifiers, vk, GetCurrentThreadId()});
    return TRUE_;
}

BOOL UnregisterHotKey(HWND wnd, int id)
{
    auto& list = State().HotKeys;
    for (auto it = list.begin(); it != list.end(); ++it)
        if (it->Wnd == wnd && it->Id == id) {
            const UINT mods = it->Mods & ~MOD_NOREPEAT, vk = it->Vk;
            list.erase(it);
            UserBackend()->GrabHotKey(mods, vk, false);
            return TRUE_;
        }
    return FALSE_;
}

char32_t VirtualKeyToChar(WORD vk, bool shift, bool ctrl, bool capsLock)
{
    if (vk >= 'A' && vk <= 'Z') {
        if (ctrl)
            return static_cast<char32_t>(vk - 'A' + 1);
        bool upper = shift != capsLock;
        return static_cast<char32_t>(upper ? vk : vk + 32);
    }
    if (ctrl)
        return vk == VK_OEM_4 ? 27 : vk == VK_RETURN ? 10 : vk == VK_BACK ? 127 : 0;
    if (vk >= '0' && vk <= '9')
        return shift ? static_cast<char32_t>(")!@#$%^&*("[vk - '0']) : vk;
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9)
        return static_cast<char32_t>('0' + vk - VK_NUMPAD0);
    switch (vk) {
    case VK_SPACE: return ' ';
    case VK_RETURN: return 13;
    case VK_BACK: return 8;
    case VK_TAB: return 9;
    case VK_ESCAPE: return 27;
    case VK_MULTIPLY: return '*';
    case VK_ADD: return '+';
    case VK_SUBTRACT: return '-';
    case VK_DECIMAL: return '.';
    case VK_DIVIDE: return '/';
    case VK_OEM_1: return shift ? ':' : ';';
    case VK_OEM_PLUS: return shift ? '+' : '=';
    case VK_OEM_COMMA: return shift ? '<' : ',';
    case VK_OEM_MINUS: return shift ? '_' : '-';
    case VK_OEM_PERIOD: return shift ? '>' : '.';
    case VK_OEM_2: return shift ? '?' : '/';
    case VK_OEM_3: return shift ? '~' : '`';
    case VK_OEM_4: return shift ? '{' : '[';
    case VK_OEM_5: return shift ? '|' : '\\';
    case VK_OEM_6: return shift ? '}' : ']';
    case VK_OEM_7: return shift ? '"' : '\'';
    default: return 0;
    }
}

BOOL TranslateMessage(const MSG* msg)
{
    if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN))
        return FALSE_;
    bool shift = GetKeyState(VK_SHIFT) < 0;
    bool ctrl = GetKeyState(VK_CONTROL) < 0;
    bool alt = GetKeyState(VK_MENU) < 0;
    bool caps = (GetKeyState(VK_CAPITAL) & 1) != 0;
    char32_t ch = VirtualKeyToChar(static_cast<WORD>(msg->wParam), shift, ctrl && !alt, caps);
    if (!ch)
        return FALSE_;
    PostMessage(msg->hwnd, msg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR, static_cast<WPARAM>(ch), msg->lParam);
    return TRUE_;
}
