#include "platform/user/NonClient.h"

#include "platform/gdi/Blit.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Fonts.h"
#include "platform/gdi/GdiObject.h"
#include "platform/gdi/GdiTypes.h"
#include "platform/gdi/PensBrushes.h"
#include "platform/gdi/RectUtils.h"
#include "platform/gdi/Shapes.h"
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

namespace {

int CaptionHeight(const TWnd* w)
{
    return GetSystemMetrics((w->ExStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
}

struct TCaptionButtons {
    RECT Close{}, Max{}, Min{};
};

// Window coordinates; a button the style leaves out stays empty.
TCaptionButtons CaptionButtons(const TWnd* w)
{
    TCaptionButtons b;
    if ((w->Style & WS_CAPTION) != WS_CAPTION || !(w->Style & WS_SYSMENU))
        return b;
    const bool tool = (w->ExStyle & WS_EX_TOOLWINDOW) != 0;
    RECT in = DefaultFrameInsets(w->Style, w->ExStyle);
    int capH = CaptionHeight(w);
    int bw = GetSystemMetrics(tool ? SM_CXSMSIZE : SM_CXSIZE) - 2;
    int bh = std::max(4, capH - 4);
    int top = in.top - capH + (capH - bh) / 2;
    int right = (w->Rect.right - w->Rect.left) - in.right - 2;
    if (right - bw < in.left)
        return b;  // too narrow for buttons
    b.Close = RECT{right - bw, top, right, top + bh};
    right -= bw + 2;
    if (tool)
        return b;
    if ((w->Style & WS_MAXIMIZEBOX) && right - bw >= in.left) {
        b.Max = RECT{right - bw, top, right, top + bh};
        right -= bw;
    }
    if ((w->Style & WS_MINIMIZEBOX) && right - bw >= in.left)
        b.Min = RECT{right - bw, top, right, top + bh};
    return b;
}

void Line(HDC dc, int x1, int y1, int x2, int y2)
{
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

void DrawCaptionButton(HDC dc, const RECT& r, LRESULT hit, bool pressed, DWORD style)
{
    if (r.right <= r.left)
        return;
    FillRect(dc, &r, GetSysColorBrush(pressed ? COLOR_BTNSHADOW : COLOR_BTNFACE));
    FrameRect(dc, &r, GetSysColorBrush(pressed ? COLOR_3DDKSHADOW : COLOR_BTNSHADOW));
    // The glyph, moved one pixel down and right while pressed.
    int d = pressed ? 1 : 0;
    int w = r.right - r.left, h = r.bottom - r.top;
    int gs = std::max(3, std::min(w, h) - 8);  // glyph side
    int gx = r.left + (w - gs) / 2 + d, gy = r.top + (h - gs) / 2 + d;
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNTEXT));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HBRUSH text = GetSysColorBrush(COLOR_BTNTEXT);
    if (hit == HTCLOSE) {
        for (int k = 0; k < 2; ++k) {  // two pixels wide
            Line(dc, gx + k, gy, gx + gs + k, gy + gs);
            Line(dc, gx + gs - 1 + k, gy, gx - 1 + k, gy + gs);
        }
    } else if (hit == HTMINBUTTON) {
        RECT bar{gx, gy + gs - 2, gx + gs - 2, gy + gs};
        FillRect(dc, &bar, text);
    } else if (style & WS_MAXIMIZE) {  // restore: two overlapping windows
        int s = gs - 3;
        RECT back{gx + 3, gy, gx + 3 + s, gy + s}, front{gx, gy + 3, gx + s, gy + 3 + s};
        FrameRect(dc, &back, text);
        RECT backBar{back.left, back.top, back.right, back.top + 2};
        FillRect(dc, &backBar, text);
        FillRect(dc, &front, GetSysColorBrush(pressed ? COLOR_BTNSHADOW : COLOR_BTNFACE));
        FrameRect(dc, &front, text);
        RECT frontBar{front.left, front.top, front.right, front.top + 2};
        FillRect(dc, &frontBar, text);
    } else {
        RECT box{gx, gy, gx + gs, gy + gs};
        FrameRect(dc, &box, text);
        RECT bar{gx, gy, gx + gs, gy + 2};
        FillRect(dc, &bar, text);
    }
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

WPARAM ButtonCommand(LRESULT hit, DWORD style)
{
    if (hit == HTCLOSE)
        return SC_CLOSE;
    if (hit == HTMAXBUTTON)
        return (style & WS_MAXIMIZE) ? SC_RESTORE : SC_MAXIMIZE;
    return (style & WS_MINIMIZE) ? SC_RESTORE : SC_MINIMIZE;
}

} // namespace

RECT CaptionButtonRect(HWND wnd, LRESULT hit)
{
    TWnd* w = WndFromHandle(wnd);
    if (!w)
        return RECT{};
    TCaptionButtons b = CaptionButtons(w);
    return hit == HTCLOSE ? b.Close : hit == HTMAXBUTTON ? b.Max : hit == HTMINBUTTON ? b.Min : RECT{};
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
        if (pt.y < r.top + in.top && pt.y >= r.top + (in.top - CaptionHeight(w))) {
            POINT local{pt.x - r.left, pt.y - r.top};
            TCaptionButtons b = CaptionButtons(w);
            if (PtInRect(&b.Close, local))
                return HTCLOSE;
            if (PtInRect(&b.Max, local))
                return HTMAXBUTTON;
            if (PtInRect(&b.Min, local))
                return HTMINBUTTON;
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
        int capH = CaptionHeight(w);
        SelectObject(dc, GetSysColorBrush(w->NCActive ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
        PatBlt(dc, in.left, in.top - capH, whole.right - in.left - in.right, capH, PATCOPY);
        TCaptionButtons b = CaptionButtons(w);
        DrawCaptionButton(dc, b.Close, HTCLOSE, w->NCPressed == HTCLOSE, w->Style);
        DrawCaptionButton(dc, b.Max, HTMAXBUTTON, w->NCPressed == HTMAXBUTTON, w->Style);
        DrawCaptionButton(dc, b.Min, HTMINBUTTON, w->NCPressed == HTMINBUTTON, w->Style);
        if (!w->Text.empty()) {
            LONG right = whole.right - in.right - 4;
            for (const RECT* r : {&b.Close, &b.Max, &b.Min})
                if (r->right > r->left)
                    right = std::min<LONG>(right, r->left - 2);
            RECT text{in.left + 4, in.top - capH, right, in.top};
            NONCLIENTMETRICS ncm;
            SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
            HFONT font = CreateFontIndirect((w->ExStyle & WS_EX_TOOLWINDOW) ? &ncm.lfSmCaptionFont : &ncm.lfCaptionFont);
            HGDIOBJ oldFont = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, GetSysColor(w->NCActive ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
            DrawText(dc, w->Text, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX | DT_END_ELLIPSIS);
            SelectObject(dc, oldFont);
            if (font)
                DeleteObject(font);
        }
    }
    SelectObject(dc, old);
    ReleaseDC(wnd, dc);
}

namespace {

enum class TLoopEnd { Released, Escape, Enter, Gone };

// The message loop of a pointer drag run inside DefWindowProc: until the
// left button goes up, Escape or Enter is pressed, the window loses the
// capture or goes, or WM_QUIT arrives (posted again for the outer loop).
// Pointer moves go to move (false ends the loop as Gone); other pointer
// messages are dropped; everything else is dispatched.
template <class TMove>
TLoopEnd RunPointerLoop(HWND wnd, TWndRef& ref, TMove&& move, POINT* releasedAt)
{
    for (;;) {
        if (!ref.Alive() || GetCapture() != wnd)
            return TLoopEnd::Gone;
        MSG m;
        if (!PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
            WaitMessage();
            continue;
        }
        if (m.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(m.wParam));
            return TLoopEnd::Gone;
        }
        if (m.message == WM_LBUTTONUP || m.message == WM_NCLBUTTONUP) {
            if (releasedAt)
                *releasedAt = m.pt;
            return TLoopEnd::Released;
        }
        if (m.message == WM_KEYDOWN && (m.wParam == VK_ESCAPE || m.wParam == VK_RETURN))
            return m.wParam == VK_ESCAPE ? TLoopEnd::Escape : TLoopEnd::Enter;
        if (m.message == WM_MOUSEMOVE || m.message == WM_NCMOUSEMOVE) {
            if (!move(m.pt))
                return TLoopEnd::Gone;
            continue;
        }
        if ((m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST) ||
            (m.message >= WM_NCMOUSEMOVE && m.message <= WM_NCMBUTTONDBLCLK))
            continue;
        TranslateMessage(&m);
        DispatchMessage(&m);
    }
}

} // namespace

void TrackCaptionButton(HWND wnd, LRESULT hit)
{
    TWnd* w = WndFromHandle(wnd);
    RECT button = CaptionButtonRect(wnd, hit);
    if (!w || w->NCPressed || IsRectEmpty(&button))
        return;
    TWndRef ref(w);
    auto over = [&](POINT screen) {
        return SendMessage(wnd, WM_NCHITTEST, 0, MAKELPARAM(static_cast<WORD>(screen.x), static_cast<WORD>(screen.y))) ==
               hit;
    };
    auto show = [&](bool pressed) {
        if (!ref.Alive() || (w->NCPressed == hit) == pressed)
            return;
        w->NCPressed = pressed ? hit : 0;
        DefaultPaintFrame(wnd);
    };
    show(true);
    SetCapture(wnd);
    POINT at{};
    TLoopEnd end = RunPointerLoop(
        wnd, ref,
        [&](POINT pt) {
            show(over(pt));
            return ref.Alive();
        },
        &at);
    if (!ref.Alive())
        return;
    if (GetCapture() == wnd)
        ReleaseCapture();
    bool fire = end == TLoopEnd::Released && over(at);
    show(false);
    if (fire && ref.Alive())
        SendMessage(wnd, WM_SYSCOMMAND, ButtonCommand(hit, w->Style),
                    MAKELPARAM(static_cast<WORD>(at.x), static_cast<WORD>(at.y)));
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
    RECT current = orig;
    POINT last = start;
    auto onMove = [&](POINT pt) {
        if (pt.x == last.x && pt.y == last.y)
            return true;
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
            return false;
        moved = true;
        current = r;
        if (full)
            Place(wnd, w, current, move);
        return true;
    };
    const bool cancelled = RunPointerLoop(wnd, ref, onMove, nullptr) == TLoopEnd::Escape;
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
