// The default window procedure.
#include "platform/gdi/Blit.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/PensBrushes.h"
#include "platform/gdi/SysColors.h"
#include "platform/user/Cursors.h"
#include "platform/user/Desktop.h"
#include "platform/user/Focus.h"
#include "platform/user/Input.h"
#include "platform/user/MdiClient.h"
#include "platform/user/MessageQueue.h"
#include "platform/user/NonClient.h"
#include "platform/user/Painting.h"
#include "platform/user/Window.h"
#include "platform/user/WindowClass.h"
#include "platform/user/WindowObject.h"

#include <algorithm>
#include <cstring>

namespace {

HWND ParentOf(TWnd* w)
{
    return w->IsChild() && w->Parent && w->Parent != DesktopWnd() ? w->Parent->Handle : nullptr;
}

LRESULT SetCursorDefault(TWnd* w, WPARAM wParam, LPARAM lParam)
{
    if (HWND p = ParentOf(w))
        if (SendMessage(p, WM_SETCURSOR, wParam, lParam))
            return TRUE_;
    SHORT hit = static_cast<SHORT>(LOWORD(static_cast<DWORD_PTR>(lParam)));
    const char* id = IDC_ARROW;
    switch (hit) {
    case HTCLIENT:
        if (w->Class && w->Class->Cursor) {
            SetCursor(w->Class->Cursor);
            return TRUE_;
        }
        return FALSE_;
    case HTLEFT: case HTRIGHT: id = IDC_SIZEWE; break;
    case HTTOP: case HTBOTTOM: id = IDC_SIZENS; break;
    case HTTOPLEFT: case HTBOTTOMRIGHT: id = IDC_SIZENWSE; break;
    case HTTOPRIGHT: case HTBOTTOMLEFT: id = IDC_SIZENESW; break;
    case HTERROR:
        if (HIWORD(static_cast<DWORD_PTR>(lParam)) == WM_LBUTTONDOWN)
            MessageBeep(0);
        break;
    default: break;
    }
    SetCursor(LoadCursor(nullptr, id));
    return TRUE_;
}

LRESULT EraseDefault(TWnd* w, HDC dc)
{
    if (!w->Class || !w->Class->Background || !dc)
        return 0;
    auto value = reinterpret_cast<std::uintptr_t>(w->Class->Background);
    HBRUSH brush = value <= static_cast<std::uintptr_t>(SysColorCount) ? GetSysColorBrush(static_cast<int>(value) - 1)
                                                                      : w->Class->Background;
    RECT box;
    if (GetClipBox(dc, &box) == ERROR)
        return 0;
    HGDIOBJ old = SelectObject(dc, brush);
    if (!old)
        return 0;
    PatBlt(dc, box.left, box.top, box.right - box.left, box.bottom - box.top, PATCOPY);
    SelectObject(dc, old);
    return 1;
}

void PositionChanged(TWnd* w, const WINDOWPOS* pos)
{
    TWndRef ref(w);
    if (!(pos->flags & SWP_NOMOVE)) {
        POINT o{w->Rect.left + w->Client.left, w->Rect.top + w->Client.top};
        CallWndProc(w, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(o.x), static_cast<WORD>(o.y)));
        if (!ref.Alive())
            return;
    }
    if (!(pos->flags & SWP_NOSIZE) || (pos->flags & SWP_FRAMECHANGED)) {
        WPARAM kind = (w->Style & WS_MINIMIZE) ? SIZE_MINIMIZED : (w->Style & WS_MAXIMIZE) ? SIZE_MAXIMIZED : SIZE_RESTORED;
        RECT c = ClientSize(w);
        CallWndProc(w, WM_SIZE, kind, MAKELPARAM(static_cast<WORD>(c.right), static_cast<WORD>(c.bottom)));
    }
}

LRESULT SysCommand(TWnd* w, WPARAM wParam, LPARAM lParam)
{
    HWND h = w->Handle;
    switch (wParam & 0xFFF0) {
    case SC_MOVE:
    case SC_SIZE: {
        POINT start{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (!lParam)
            GetCursorPos(&start);
        RunSizeMoveLoop(h, wParam, start);
        return 0;
    }
    case SC_CLOSE:
        SendMessage(h, WM_CLOSE, 0, 0);
        return 0;
    case SC_MINIMIZE:
        ShowWindow(h, SW_MINIMIZE);
        return 0;
    case SC_MAXIMIZE:
        ShowWindow(h, SW_MAXIMIZE);
        return 0;
    case SC_RESTORE:
        ShowWindow(h, SW_RESTORE);
        return 0;
    default:
        return 0;
    }
}

} // namespace

LRESULT DefWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    TWnd* w = WndFromHandle(wnd);
    if (!w)
        return 0;
    switch (msg) {
    case WM_NCCREATE:
        return TRUE_;
    case WM_NCCALCSIZE: {
        RECT* r = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : reinterpret_cast<RECT*>(lParam);
        if (!r)
            return 0;
        RECT in = DefaultFrameInsets(w->Style, w->ExStyle);
        r->left += in.left;
        r->top += in.top;
        r->right -= in.right;
        r->bottom -= in.bottom;
        r->right = std::max(r->right, r->left);
        r->bottom = std::max(r->bottom, r->top);
        return 0;
    }
    case WM_NCHITTEST:
        return DefaultHitTest(wnd, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    case WM_NCPAINT:
        DefaultPaintFrame(wnd);
        return 0;
    case WM_NCACTIVATE:
        w->NCActive = wParam != 0;
        if (lParam != -1 && IsReallyVisible(w))
            DefaultPaintFrame(wnd);
        return TRUE_;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && !(w->Style & WS_MINIMIZE))
            SetFocus(wnd);
        return 0;
    case WM_MOUSEACTIVATE: {
        LRESULT r = MA_ACTIVATE;
        if (HWND p = ParentOf(w))
            if (LRESULT pr = SendMessage(p, WM_MOUSEACTIVATE, wParam, lParam))
                r = pr;
        if (w->ExStyle & WS_EX_MDICHILD)
            MDIChildMouseActivate(wnd, r);
        return r;
    }
    case WM_SETCURSOR:
        return SetCursorDefault(w, wParam, lParam);
    case WM_ERASEBKGND:
        return EraseDefault(w, reinterpret_cast<HDC>(wParam));
    case WM_PAINT: {
        PAINTSTRUCT ps;
        if (BeginPaint(wnd, &ps))
            EndPaint(wnd, &ps);
        return 0;
    }
    case WM_WINDOWPOSCHANGING: {
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        if (pos && !(pos->flags & SWP_NOSIZE) && !w->IsChild() && (w->Style & (WS_THICKFRAME | WS_CAPTION)) &&
            !(w->Style & (WS_MINIMIZE | WS_MAXIMIZE))) {
            MINMAXINFO mmi = DefaultMinMaxInfo(wnd);
            SendMessage(wnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
            pos->cx = std::clamp<int>(pos->cx, mmi.ptMinTrackSize.x, std::max(mmi.ptMinTrackSize.x, mmi.ptMaxTrackSize.x));
            pos->cy = std::clamp<int>(pos->cy, mmi.ptMinTrackSize.y, std::max(mmi.ptMinTrackSize.y, mmi.ptMaxTrackSize.y));
        }
        return 0;
    }
    case WM_WINDOWPOSCHANGED:
        if (lParam)
            PositionChanged(w, reinterpret_cast<const WINDOWPOS*>(lParam));
        return 0;
    case WM_CLOSE:
        DestroyWindow(wnd);
        return 0;
    case WM_GETTEXT: {
        auto* buf = reinterpret_cast<char*>(lParam);
        if (!buf || wParam == 0)
            return 0;
        std::size_t n = std::min<std::size_t>(w->Text.size(), wParam - 1);
        while (n > 0 && n < w->Text.size() && (static_cast<unsigned char>(w->Text[n]) & 0xC0) == 0x80)
            --n;
        std::memcpy(buf, w->Text.data(), n);
        buf[n] = 0;
        return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(w->Text.size());
    case WM_SETTEXT:
        w->Text = lParam ? reinterpret_cast<const char*>(lParam) : "";
        if ((w->Style & WS_CAPTION) == WS_CAPTION && IsReallyVisible(w))
            DefaultPaintFrame(wnd);
        return TRUE_;
    case WM_SYSCOMMAND:
        return SysCommand(w, wParam, lParam);
    case WM_NCLBUTTONDOWN: {
        LRESULT hit = static_cast<LRESULT>(wParam);
        if (hit == HTCAPTION)
            SendMessage(wnd, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, lParam);
        else if (hit >= HTLEFT && hit <= HTBOTTOMRIGHT)
            SendMessage(wnd, WM_SYSCOMMAND, SC_SIZE | static_cast<WPARAM>(hit - HTLEFT + 1), lParam);
        else if (hit == HTCLOSE || hit == HTMAXBUTTON || hit == HTMINBUTTON)
            TrackCaptionButton(wnd, hit);
        return 0;
    }
    case WM_NCLBUTTONDBLCLK:
        if (wParam == HTCAPTION && (w->Style & WS_MAXIMIZEBOX) && (w->Style & WS_THICKFRAME))
            SendMessage(wnd, WM_SYSCOMMAND, (w->Style & WS_MAXIMIZE) ? SC_RESTORE : SC_MAXIMIZE, lParam);
        return 0;
    case WM_RBUTTONUP: {
        POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(wnd, &p);
        SendMessage(wnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(wnd), MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y)));
        return 0;
    }
    case WM_NCRBUTTONUP:
        SendMessage(wnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(wnd), lParam);
        return 0;
    case WM_CONTEXTMENU:
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
        if (HWND p = ParentOf(w))
            return SendMessage(p, msg, wParam, lParam);
        return 0;
    case WM_KEYUP:
        if (wParam == VK_APPS)
            SendMessage(wnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(wnd), -1);
        return 0;
    case WM_SYSKEYDOWN:
        if (wParam == VK_F4 && (lParam & (1 << 29)))
            SendMessage(TopLevelOf(w)->Handle, WM_SYSCOMMAND, SC_CLOSE, 0);
        else if (wParam == VK_F10 && GetKeyState(VK_SHIFT) < 0)
            SendMessage(wnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(wnd), -1);
        return 0;
    case WM_SYSKEYUP:
        // Alt (or F10) pressed and released alone enters the menu.
        if ((wParam == VK_MENU || wParam == VK_F10) && LastKeyDownVk() == wParam)
            SendMessage(TopLevelOf(w)->Handle, WM_SYSCOMMAND, SC_KEYMENU, 0);
        return 0;
    case WM_SYSCHAR:
        if (wParam != VK_ESCAPE && (lParam & (1 << 29)))
            SendMessage(TopLevelOf(w)->Handle, WM_SYSCOMMAND, SC_KEYMENU, static_cast<LPARAM>(wParam));
        return 0;
    case WM_CANCELMODE:
        if (GetCapture() == wnd)
            ReleaseCapture();
        return 0;
    case WM_SETREDRAW:
        w->NoRedraw = wParam == 0;
        PaintCountChanged(w);
        return 0;
    case WM_SYNCPAINT:
        RedrawWindow(wnd, nullptr, nullptr, RDW_ERASENOW | RDW_FRAME | RDW_ALLCHILDREN);
        return 0;
    case WM_QUERYENDSESSION:
    case WM_QUERYOPEN:
        return TRUE_;
    default:
        return 0;
    }
}
