// The "msctls_updown32" window class: a pair of arrow buttons that step a
// position inside a range (either way round, optionally wrapping), ask the
// parent first with UDN_DELTAPOS, report with WM_VSCROLL/WM_HSCROLL, repeat
// while held, and can show the position in a buddy window.
#include "platform/user/controls/Controls.h"

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/GdiObject.h"
#include "platform/gdi/GdiTypes.h"
#include "platform/gdi/PensBrushes.h"
#include "platform/gdi/Shapes.h"
#include "platform/gdi/SysColors.h"
#include "platform/rtl/SysUtils.h"
#include "platform/user/Focus.h"
#include "platform/user/Input.h"
#include "platform/user/MessageQueue.h"
#include "platform/user/Messages.h"
#include "platform/user/Painting.h"
#include "platform/user/ScrollInfo.h"
#include "platform/user/UserTypes.h"
#include "platform/user/Window.h"
#include "platform/user/WindowClass.h"

#include <algorithm>
#include <string>

namespace {

constexpr UINT_PTR kRepeatTimer = 1;
constexpr UINT kFirstDelay = 400;
constexpr UINT kRepeatDelay = 80;

struct TUpDown {
    HWND Wnd = nullptr;
    int Lower = 0;
    int Upper = 100;
    int Pos = 0;
    int Base = 10;
    HWND Buddy = nullptr;
    int Pressed = 0;  // +1 the increasing arrow, -1 the decreasing one
};

DWORD Style(const TUpDown* u) { return static_cast<DWORD>(GetWindowLong(u->Wnd, GWL_STYLE)); }
bool Horz(const TUpDown* u) { return (Style(u) & UDS_HORZ) != 0; }

int Clamp(const TUpDown* u, long long pos)
{
    int lo = std::min(u->Lower, u->Upper), hi = std::max(u->Lower, u->Upper);
    return static_cast<int>(std::clamp<long long>(pos, lo, hi));
}

void ShowInBuddy(TUpDown* u)
{
    if (!(Style(u) & UDS_SETBUDDYINT) || !IsWindow(u->Buddy))
        return;
    std::string s;
    if (u->Base == 16)
        s = "0x" + IntToHex(u->Pos, 4);
    else if (Style(u) & UDS_NOTHOUSANDS)
        s = std::to_string(u->Pos);
    else {
        std::string digits = std::to_string(u->Pos < 0 ? -static_cast<long long>(u->Pos) : u->Pos);
        for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3)
            digits.insert(static_cast<std::size_t>(i), ",");
        s = (u->Pos < 0 ? "-" : "") + digits;
    }
    SetWindowText(u->Buddy, s.c_str());
}

// Takes the position from the buddy's text when it holds a number.
void ReadBuddy(TUpDown* u)
{
    if (!(Style(u) & UDS_SETBUDDYINT) || !IsWindow(u->Buddy))
        return;
    std::string t = GetWindowTextString(u->Buddy);
    t.erase(std::remove(t.begin(), t.end(), ','), t.end());
    int v = 0;
    if (TryStrToInt(t, v))
        u->Pos = Clamp(u, v);
}

// Steps by one in the direction of an arrow (+1 towards Upper).
void Step(TUpDown* u, int dir)
{
    ReadBuddy(u);
    int delta = (u->Upper >= u->Lower ? 1 : -1) * dir;
    HWND parent = GetParent(u->Wnd);
    NMUPDOWN nm;
    nm.hdr.hwndFrom = u->Wnd;
    nm.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(u->Wnd));
    nm.hdr.code = UDN_DELTAPOS;
    nm.iPos = u->Pos;
    nm.iDelta = delta;
    if (parent && SendMessage(parent, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm)))
        return;
    if (!IsWindow(u->Wnd))
        return;
    long long next = static_cast<long long>(u->Pos) + nm.iDelta;
    int lo = std::min(u->Lower, u->Upper), hi = std::max(u->Lower, u->Upper);
    if (next > hi)
        next = (Style(u) & UDS_WRAP) ? lo : hi;
    else if (next < lo)
        next = (Style(u) & UDS_WRAP) ? hi : lo;
    u->Pos = static_cast<int>(next);
    ShowInBuddy(u);
    if (parent)
        SendMessage(parent, Horz(u) ? WM_HSCROLL : WM_VSCROLL,
                    MAKEWPARAM(SB_THUMBPOSITION, static_cast<WORD>(u->Pos)), reinterpret_cast<LPARAM>(u->Wnd));
}

void Paint(TUpDown* u, HDC dc)
{
    RECT c;
    GetClientRect(u->Wnd, &c);
    RECT halves[2] = {c, c};
    if (Horz(u)) {
        halves[0].right = halves[1].left = (c.left + c.right) / 2;
    } else {
        halves[0].bottom = halves[1].top = (c.top + c.bottom) / 2;
    }
    // halves[0] holds the increasing arrow when vertical (up), the decreasing
    // one when horizontal (left).
    for (int k = 0; k < 2; ++k) {
        RECT r = halves[k];
        int dir = Horz(u) ? (k == 0 ? -1 : 1) : (k == 0 ? 1 : -1);
        bool down = u->Pressed == dir;
        FillRect(dc, &r, GetSysColorBrush(down ? COLOR_BTNSHADOW : COLOR_BTNFACE));
        FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
        int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
        int s = std::max(1, static_cast<int>(std::min(r.right - r.left, r.bottom - r.top)) / 4);
        POINT tri[3];
        if (Horz(u)) {
            int d = dir > 0 ? 1 : -1;
            tri[0] = POINT{cx - d * s / 2, cy - s};
            tri[1] = POINT{cx - d * s / 2, cy + s};
            tri[2] = POINT{cx + d * s / 2 + d, cy};
        } else {
            int d = dir > 0 ? -1 : 1;
            tri[0] = POINT{cx - s, cy - d * s / 2};
            tri[1] = POINT{cx + s, cy - d * s / 2};
            tri[2] = POINT{cx, cy + d * s / 2 + d};
        }
        HBRUSH b = GetSysColorBrush(IsWindowEnabled(u->Wnd) ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
        HGDIOBJ ob = SelectObject(dc, b);
        HGDIOBJ op = SelectObject(dc, GetStockObject(NULL_PEN));
        Polygon(dc, tri, 3);
        SelectObject(dc, op);
        SelectObject(dc, ob);
    }
}

int ArrowAt(const TUpDown* u, POINT p)
{
    RECT c;
    GetClientRect(u->Wnd, &c);
    if (Horz(u))
        return p.x < (c.left + c.right) / 2 ? -1 : 1;
    return p.y < (c.top + c.bottom) / 2 ? 1 : -1;
}

void AttachToBuddy(TUpDown* u)
{
    DWORD st = Style(u);
    if (!IsWindow(u->Buddy) || !(st & (UDS_ALIGNLEFT | UDS_ALIGNRIGHT)))
        return;
    RECT br;
    GetWindowRect(u->Buddy, &br);
    HWND parent = GetParent(u->Buddy);
    POINT tl{br.left, br.top};
    ScreenToClient(parent, &tl);
    RECT mine;
    GetWindowRect(u->Wnd, &mine);
    int w = mine.right - mine.left, bw = br.right - br.left, bh = br.bottom - br.top;
    if (bw <= w)
        return;
    if (st & UDS_ALIGNRIGHT) {
        MoveWindow(u->Buddy, tl.x, tl.y, bw - w, bh, TRUE_);
        MoveWindow(u->Wnd, tl.x + bw - w, tl.y, w, bh, TRUE_);
    } else {
        MoveWindow(u->Buddy, tl.x + w, tl.y, bw - w, bh, TRUE_);
        MoveWindow(u->Wnd, tl.x, tl.y, w, bh, TRUE_);
    }
}

// UDS_ARROWKEYS: the buddy's Up and Down keys step the position. The buddy
// is subclassed; its previous procedure and its up-down are window
// properties, so the subclass needs no table of its own.
constexpr const char* kBuddyPrevProp = "UpDownBuddyPrevProc";
constexpr const char* kBuddyOwnerProp = "UpDownBuddyOwner";

LRESULT BuddyProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto prev = reinterpret_cast<WNDPROC>(GetProp(wnd, kBuddyPrevProp));
    auto owner = reinterpret_cast<HWND>(GetProp(wnd, kBuddyOwnerProp));
    if (msg == WM_KEYDOWN && (wParam == VK_UP || wParam == VK_DOWN) && owner && IsWindow(owner) &&
        IsWindowEnabled(owner)) {
        if (auto* u = reinterpret_cast<TUpDown*>(GetWindowLongPtr(owner, 0))) {
            Step(u, wParam == VK_UP ? 1 : -1);
            return 0;
        }
    }
    if (msg == WM_GETDLGCODE && prev)
        return CallWindowProc(prev, wnd, msg, wParam, lParam) | DLGC_WANTARROWS;
    if (msg == WM_NCDESTROY) {
        RemoveProp(wnd, kBuddyPrevProp);
        RemoveProp(wnd, kBuddyOwnerProp);
        if (prev)
            SetWindowLongPtr(wnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(prev));
    }
    return prev ? CallWindowProc(prev, wnd, msg, wParam, lParam) : DefWindowProc(wnd, msg, wParam, lParam);
}

void HookBuddy(TUpDown* u)
{
    if (!(Style(u) & UDS_ARROWKEYS) || !IsWindow(u->Buddy))
        return;
    if (GetProp(u->Buddy, kBuddyPrevProp)) {
        SetProp(u->Buddy, kBuddyOwnerProp, reinterpret_cast<HANDLE>(u->Wnd));
        return;
    }
    LONG_PTR prev = GetWindowLongPtr(u->Buddy, GWL_WNDPROC);
    SetProp(u->Buddy, kBuddyPrevProp, reinterpret_cast<HANDLE>(prev));
    SetProp(u->Buddy, kBuddyOwnerProp, reinterpret_cast<HANDLE>(u->Wnd));
    SetWindowLongPtr(u->Buddy, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&BuddyProc));
}

// Restores the buddy's procedure when nobody subclassed it after us;
// otherwise the subclass stays and only forwards.
void UnhookBuddy(TUpDown* u)
{
    HWND b = u->Buddy;
    if (!IsWindow(b) || reinterpret_cast<HWND>(GetProp(b, kBuddyOwnerProp)) != u->Wnd)
        return;
    auto prev = GetProp(b, kBuddyPrevProp);
    if (GetWindowLongPtr(b, GWL_WNDPROC) == reinterpret_cast<LONG_PTR>(&BuddyProc) && prev) {
        SetWindowLongPtr(b, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(prev));
        RemoveProp(b, kBuddyPrevProp);
    }
    RemoveProp(b, kBuddyOwnerProp);
}

LRESULT UpDownProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    TUpDown* u = ControlState<TUpDown>(wnd, msg);
    if (!u)
        return DefWindowProc(wnd, msg, wParam, lParam);
    LRESULT painted = 0;
    if (PaintMessage(wnd, msg, wParam, [u](HDC dc) { Paint(u, dc); }, &painted))
        return painted;
    switch (msg) {
    case WM_CREATE:
        if (Style(u) & UDS_AUTOBUDDY) {
            HWND prev = GetWindow(wnd, GW_HWNDNEXT);
            if (prev) {
                u->Buddy = prev;
                AttachToBuddy(u);
                HookBuddy(u);
            }
        }
        return 0;
    case WM_NCDESTROY:
        UnhookBuddy(u);
        FreeControlState(wnd, u);
        return DefWindowProc(wnd, msg, wParam, lParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (!IsWindowEnabled(wnd))
            return 0;
        u->Pressed = ArrowAt(u, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        SetCapture(wnd);
        InvalidateRect(wnd, nullptr, FALSE_);
        Step(u, u->Pressed);
        if (IsWindow(wnd))
            SetTimer(wnd, kRepeatTimer, kFirstDelay, nullptr);
        return 0;
    case WM_TIMER:
        if (wParam == kRepeatTimer) {
            if (u->Pressed && GetCapture() == wnd) {
                SetTimer(wnd, kRepeatTimer, kRepeatDelay, nullptr);
                Step(u, u->Pressed);
            } else {
                KillTimer(wnd, kRepeatTimer);
            }
        }
        return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        if (u->Pressed) {
            u->Pressed = 0;
            KillTimer(wnd, kRepeatTimer);
            if (msg == WM_LBUTTONUP && GetCapture() == wnd)
                ReleaseCapture();
            InvalidateRect(wnd, nullptr, FALSE_);
            HWND parent = GetParent(wnd);
            if (parent)
                SendMessage(parent, Horz(u) ? WM_HSCROLL : WM_VSCROLL,
                            MAKEWPARAM(SB_ENDSCROLL, static_cast<WORD>(u->Pos)), reinterpret_cast<LPARAM>(wnd));
        }
        return 0;
    case WM_ENABLE:
        InvalidateRect(wnd, nullptr, FALSE_);
        return 0;
    case UDM_SETRANGE:
        u->Upper = static_cast<SHORT>(LOWORD(lParam));
        u->Lower = static_cast<SHORT>(HIWORD(lParam));
        u->Pos = Clamp(u, u->Pos);
        return 0;
    case UDM_GETRANGE:
        return static_cast<LRESULT>(MAKELONG(static_cast<WORD>(u->Upper), static_cast<WORD>(u->Lower)));
    case UDM_SETRANGE32:
        u->Lower = static_cast<int>(static_cast<std::intptr_t>(wParam));
        u->Upper = static_cast<int>(lParam);
        u->Pos = Clamp(u, u->Pos);
        return 0;
    case UDM_GETRANGE32:
        if (wParam)
            *reinterpret_cast<int*>(wParam) = u->Lower;
        if (lParam)
            *reinterpret_cast<int*>(lParam) = u->Upper;
        return 0;
    case UDM_SETPOS:
    case UDM_SETPOS32: {
        int old = u->Pos;
        u->Pos = Clamp(u, msg == UDM_SETPOS ? static_cast<SHORT>(LOWORD(lParam)) : static_cast<int>(lParam));
        ShowInBuddy(u);
        return msg == UDM_SETPOS ? static_cast<LRESULT>(static_cast<WORD>(old)) : old;
    }
    case UDM_GETPOS:
        ReadBuddy(u);
        return static_cast<LRESULT>(MAKELONG(static_cast<WORD>(u->Pos), 0));
    case UDM_GETPOS32:
        ReadBuddy(u);
        if (lParam)
            *reinterpret_cast<BOOL*>(lParam) = FALSE_;
        return u->Pos;
    case UDM_SETBUDDY: {
        HWND old = u->Buddy;
        UnhookBuddy(u);
        u->Buddy = reinterpret_cast<HWND>(wParam);
        AttachToBuddy(u);
        HookBuddy(u);
        ShowInBuddy(u);
        return reinterpret_cast<LRESULT>(old);
    }
    case UDM_GETBUDDY:
        return reinterpret_cast<LRESULT>(u->Buddy);
    case UDM_SETBASE: {
        int old = u->Base;
        if (wParam != 10 && wParam != 16)
            return 0;
        u->Base = static_cast<int>(wParam);
        ShowInBuddy(u);
        return old;
    }
    case UDM_GETBASE:
        return u->Base;
    case UDM_SETACCEL:
        return TRUE_;
    default:
        return DefWindowProc(wnd, msg, wParam, lParam);
    }
}

} // namespace

void RegisterUpDownClass()
{
    RegisterControlClass(UPDOWN_CLASS, &UpDownProc);
}
