#include "platform/user/NonClient.h"

#include "platform/gdi/Blit.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/PensBrushes.h"
#include "platform/gdi/SysColors.h"
#include "platform/gdi/Text.h"
#include "platform/user/Desktop.h"
#include "platform/user/Focus.h"
#include "platform/user/Input.h"
#include "platform/user/MessageQueue.h"
#include "platform/user/Painting.h"
#include "platform/user/Window.h"
#include "platform/user/WindowObject.h"

#include <algorithm>

RECT DefaultFrameInsets(DWORD style, DWORD exStyle)
{
    int b = 0;
    if (style & WS_THICKFRAME)
        b = GetSystemMetrics(SM_CXFRAME);
    else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME))
        b = GetSystemMetrics(SM_CXDLGFRAME);
    else if (style & WS_BORDER)
        b = GetSystemMetrics(SM_CXBORDER);
    if (exStyle & WS_EX_CLIENTEDGE)
        b += GetSystemMetrics(SM_CXEDGE);
    if (exStyle & WS_EX_STATICEDGE)
        b += GetSystemMetrics(SM_CXBORDER);
    RECT r{b, b, b, b};
    if ((style & WS_CAPTION) == WS_CAPTION)
        r.top += (exStyle & WS_EX_TOOLWINDOW) ? GetSystemMetrics(SM_CYSMCAPTION) : GetSystemMetrics(SM_CYCAPTION);
    return r;
}

BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL, DWORD exStyle)
{
    if (!rect)
        return FALSE_;
    RECT in = DefaultFrameInsets(style, exStyle);
    rect->left -= in.left;
    rect->top -= in.top;
    rect->right += in.right;
    rect->bottom += in.bottom;
    return TRUE_;
}

MINMAXINFO DefaultMinMaxInfo(HWND wnd)
{
    MINMAXINFO m;
    RECT work = WorkAreaRect();
    DWORD style = static_cast<DWORD>(GetWindowLong(wnd, GWL_STYLE));
    DWORD ex = static_cast<DWORD>(GetWindowLong(wnd, GWL_EXSTYLE));
    RECT in = DefaultFrameInsets(style & ~WS_CAPTION, ex);
    m.ptMaxSize = POINT{work.right - work.left + in.left + in.right, work.bottom - work.top + in.top + in.bottom};
    m.ptMaxPosition = POINT{work.left - in.left, work.top - in.top};
    m.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
    m.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
    return m;
}

void RecalcClientRect(TWnd* w, WINDOWPOS* pos)
{
    TWndRef ref(w);
    RECT win = w->Rect;
    RECT client;
    if (pos) {
        NCCALCSIZE_PARAMS p;
        p.rgrc[0] = win;
        p.rgrc[1] = win;
        p.rgrc[2] = RECT{win.left + w->Client.left, win.top + w->Client.top, win.left + w->Client.right,
                         win.top + w->Client.bottom};
        p.lppos = pos;
        CallWndProc(w, WM_NCCALCSIZE, TRUE_, reinterpret_cast<LPARAM>(&p));
        client = p.rgrc[0];
    } else {
        client = win;
        CallWndProc(w, WM_NCCALCSIZE, FALSE_, reinterpret_cast<LPARAM>(&client));
    }
    if (!ref.Alive())
        return;
    client.right = std::max(client.right, client.left);
    client.bottom = std::max(client.bottom, client.top);
    w->Client = RECT{client.left - win.left, client.top - win.top, client.right - win.left, client.bottom - win.top};
}

LRESULT DefaultHitTest(HWND wnd, POINT pt)
{
    TWnd* w = WndFromHandle(wnd);
    if (!w)
        return HTNOWHERE;
    RECT r = WindowScreenRect(w);
    if (pt.x < r.left || pt.x >= r.right || pt.y < r.top || pt.y >= r.bottom)
        return HTNOWHERE;
    POINT co = ClientScreenOrigin(w);
    RECT cs = ClientSize(w);
    if (pt.x >= co.x && pt.x < co.x + cs.right && pt.y >= co.y && pt.y < co.y + cs.bottom)
        return HTCLIENT;
    if ((w->Style & WS_THICKFRAME) && !(w->Style & (WS_MAXIMIZE | WS_MINIMIZE))) {
        int f = GetSystemMetrics(SM_CXFRAME);
        int corner = GetSystemMetrics(SM_CYCAPTION);
        bool left = pt.x < r.left + f, right = pt.x >= r.right - f;
        bool top = pt.y < r.top + f, bottom = pt.y >= r.bottom - f;
        bool nearLeft = pt.x < r.left + corner, nearRight = pt.x >= r.right - corner;
        bool nearTop = pt.y < r.top + corner, nearBottom = pt.y >= r.bottom - corner;
        if ((top && nearLeft) || (left && nearTop))
            return HTTOPLEFT;
        if ((top && nearRight) || (right && nearTop))
            return HTTOPRIGHT;
        if ((bottom && nearLeft) || (left && nearBottom))
            return HTBOTTOMLEFT;
        if ((bottom && nearRight) || (right && nearBottom))
            return HTBOTTOMRIGHT;
        if (left)
            return HTLEFT;
        if (right)
            return HTRIGHT;
        if (top)
            return HTTOP;
        if (bottom)
            return HTBOTTOM;
    }
    if ((w->Style & WS_CAPTION) == WS_CAPTION) {
        RECT in = DefaultFrameInsets(w->Style, w->ExStyle);
        if (pt.y < r.top + in.top && pt.y >= r.top + (in.top - ((w->ExStyle & WS_EX_TOOLWINDOW)
                                                                     ? GetSystemMetrics(SM_CYSMCAPTION)
                                                                     : GetSystemMetrics(SM_CYCAPTION)))) {
            return HTCAPTION;
        }
    }
    return HTBORDER;
}

void DefaultPaintFrame(HWND wnd)
{
    TWnd* w = WndFromHandle(wnd);
    if (!w)
        return;
    RECT whole{0, 0, w->Rect.right - w->Rect.left, w->Rect.bottom - w->Rect.top};
    if (w->Client == whole)
        return;
    HDC dc = GetDCEx(wnd, nullptr, DCX_WINDOW);
    if (!dc)
        return;
    ExcludeClipRect(dc, w->Client.left, w->Client.top, w->Client.right, w->Client.bottom);
    HGDIOBJ old = SelectObject(dc, GetSysColorBrush(w->NCActive ? COLOR_ACTIVEBORDER : COLOR_INACTIVEBORDER));
    PatBlt(dc, 0, 0, whole.right, whole.bottom, PATCOPY);
    if ((w->Style & WS_CAPTION) == WS_CAPTION) {
        RECT in = DefaultFrameInsets(w->Style, w->ExStyle);
        int capH = (w->ExStyle & WS_EX_TOOLWINDOW) ? GetSystemMetrics(SM_CYSMCAPTION) : GetSystemMetrics(SM_CYCAPTION);
        SelectObject(dc, GetSysColorBrush(w->NCActive ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
        PatBlt(dc, in.left, in.top - capH, whole.right - in.left - in.right, capH, PATCOPY);
        if (!w->Text.empty()) {
            RECT text{in.left + 4, in.top - capH, whole.right - in.right - 4, in.top};
            HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, GetSysColor(w->NCActive ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
            DrawText(dc, w->Text, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX | DT_END_ELLIPSIS);
            SelectObject(dc, oldFont);
        }
    }
    SelectObject(dc, old);
    ReleaseDC(wnd, dc);
}

namespace {

RECT ToScreen(TWnd* w, const RECT& parentRect)
{
    if (IsTopLevel(w))
        return parentRect;
    POINT o = ClientScreenOrigin(w->Parent);
    return RECT{parentRect.left + o.x, parentRect.top + o.y, parentRect.right + o.x, parentRect.bottom + o.y};
}

RECT FromScreen(TWnd* w, const RECT& screenRect)
{
    if (IsTopLevel(w))
        return screenRect;
    POINT o = ClientScreenOrigin(w->Parent);
    return RECT{screenRect.left - o.x, screenRect.top - o.y, screenRect.right - o.x, screenRect.bottom - o.y};
}

void Place(HWND wnd, TWnd* w, const RECT& screenRect, bool move)
{
    RECT r = FromScreen(w, screenRect);
    SetWindowPos(wnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | (move ? SWP_NOSIZE : 0));
}

} // namespace

void RunSizeMoveLoop(HWND wnd, WPARAM command, POINT start)
{
    TWnd* w = WndFromHandle(wnd);
    if (!w || w->InSizeMove)
        return;
    bool move = (command & 0xFFF0) == SC_MOVE;
    if ((w->Style & WS_MINIMIZE) || (move && (w->Style & WS_MAXIMIZE)))
        return;
    int edge = static_cast<int>(command & 0x0F);  // WMSZ_* for sizing
    TWndRef ref(w);
    RECT orig = ToScreen(w, w->Rect);
    MINMAXINFO mmi = DefaultMinMaxInfo(wnd);
    if (!move) {
        SendMessage(wnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
        if (!ref.Alive())
            return;
    }
    w->InSizeMove = true;
    SetCapture(wnd);
    // A handler that raises ends the loop with the window released.
    struct TEndGuard {
        TWndRef& Ref;
        HWND Wnd;
        bool Armed = true;
        ~TEndGuard()
        {
            if (!Armed || !Ref.Alive())
                return;
            Ref.Get()->InSizeMove = false;
            if (GetCapture() == Wnd)
                ReleaseCapture();
        }
    } guard{ref, wnd};
    SendMessage(wnd, WM_ENTERSIZEMOVE, 0, 0);
    bool full = DragFullWindows();
    bool moved = false;
    bool cancelled = false;
    RECT current = orig;
    POINT last = start;
    for (;;) {
        if (!ref.Alive() || GetCapture() != wnd) {
            cancelled = !ref.Alive();
            break;
        }
        MSG m;
        if (!PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
            WaitMessage();
            continue;
        }
        if (m.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(m.wParam));
            break;
        }
        if (m.message == WM_LBUTTONUP || m.message == WM_NCLBUTTONUP)
            break;
        if (m.message == WM_KEYDOWN && (m.wParam == VK_ESCAPE || m.wParam == VK_RETURN)) {
            cancelled = m.wParam == VK_ESCAPE;
            break;
        }
        if (m.message == WM_MOUSEMOVE || m.message == WM_NCMOUSEMOVE) {
            POINT pt = m.pt;
            if (pt.x == last.x && pt.y == last.y)
                continue;
            last = pt;
            int dx = pt.x - start.x, dy = pt.y - start.y;
            RECT r = orig;
            if (move) {
                r = RECT{orig.left + dx, orig.top + dy, orig.right + dx, orig.bottom + dy};
            } else {
                bool l = edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT;
                bool rt = edge == WMSZ_RIGHT || edge == WMSZ_TOPRIGHT || edge == WMSZ_BOTTOMRIGHT;
                bool t = edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT;
                bool b = edge == WMSZ_BOTTOM || edge == WMSZ_BOTTOMLEFT || edge == WMSZ_BOTTOMRIGHT;
                auto clampW = [&](LONG v) { return std::clamp<LONG>(v, mmi.ptMinTrackSize.x, std::max(mmi.ptMinTrackSize.x, mmi.ptMaxTrackSize.x)); };
                auto clampH = [&](LONG v) { return std::clamp<LONG>(v, mmi.ptMinTrackSize.y, std::max(mmi.ptMinTrackSize.y, mmi.ptMaxTrackSize.y)); };
                if (l)
                    r.left = orig.right - clampW(orig.right - (orig.left + dx));
                if (rt)
                    r.right = orig.left + clampW(orig.right + dx - orig.left);
                if (t)
                    r.top = orig.bottom - clampH(orig.bottom - (orig.top + dy));
                if (b)
                    r.bottom = orig.top + clampH(orig.bottom + dy - orig.top);
            }
            SendMessage(wnd, move ? WM_MOVING : WM_SIZING, move ? 0 : static_cast<WPARAM>(edge),
                        reinterpret_cast<LPARAM>(&r));
            if (!ref.Alive())
                break;
            moved = true;
            current = r;
            if (full)
                Place(wnd, w, current, move);
            continue;
        }
        if ((m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST) ||
            (m.message >= WM_NCMOUSEMOVE && m.message <= WM_NCMBUTTONDBLCLK))
            continue;
        TranslateMessage(&m);
        DispatchMessage(&m);
    }
    guard.Armed = false;
    if (!ref.Alive())
        return;
    if (GetCapture() == wnd)
        ReleaseCapture();
    if (ref.Alive()) {
        if (cancelled && moved && full)
            Place(wnd, w, orig, false);
        else if (!cancelled && moved && !full)
            Place(wnd, w, current, move);
    }
    if (ref.Alive()) {
        w->InSizeMove = false;
        SendMessage(wnd, WM_EXITSIZEMOVE, 0, 0);
    }
}
