#include "platform/user/WindowRegion.h"

#include "platform/gdi/Bitmaps.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/GdiObject.h"
#include "platform/gdi/Regions.h"
#include "platform/gdi/SystemModules.h"
#include "platform/rtl/Threads.h"
#include "platform/user/Backend.h"
#include "platform/user/Desktop.h"
#include "platform/user/MessageQueue.h"
#include "platform/user/Painting.h"
#include "platform/user/Window.h"
#include "platform/user/ThreadQueue.h"
#include "platform/user/WindowObject.h"

#include <algorithm>
#include <cstring>

void ReleaseWindowRegion(HRGN rgn)
{
    if (!rgn)
        return;
    DeleteObject(rgn);          // marks it; the window's hold keeps it alive
    GdiReleaseSelection(rgn);   // and letting go frees it
}

bool WindowCoversPoint(const TWnd* w, POINT pt)
{
    RECT r = WindowScreenRect(w);
    if (pt.x < r.left || pt.x >= r.right || pt.y < r.top || pt.y >= r.bottom)
        return false;
    LONG x = pt.x - r.left, y = pt.y - r.top;
    if (w->Rgn && !w->Rgn->Contains(x, y))
        return false;
    if (IsTopLevel(w) && (w->ExStyle & WS_EX_LAYERED)) {
        if (!w->LayeredAttrs && !w->LayeredPicture)
            return false;
        TGdiBitmap* bmp = w->Surface ? BitmapFromHandle(w->Surface) : nullptr;
        if (bmp && x < bmp->Width() && y < bmp->Height()) {
            DWORD px;
            std::memcpy(&px, bmp->Layout.Row(y) + x * 4, 4);
            if (w->LayeredPicture && w->PicturePerPixel && (px >> 24) == 0)
                return false;
            if (w->LayeredAttrs && (w->LayeredFlags & LWA_COLORKEY) && (px & 0xFFFFFF) == ColorRefToPixel(w->LayeredKey))
                return false;
            if (w->LayeredPicture && w->PictureKeyed && (px & 0xFFFFFF) == ColorRefToPixel(w->PictureKey))
                return false;
        }
    }
    return true;
}

namespace {

// Searches siblings front to back; children before their parent. Returns
// the first window whose hit test is not HTTRANSPARENT. *stop is set when
// the point lies on a disabled child, which hands the point to its parent.
TWnd* Search(const std::vector<HWND>& siblings, POINT pt, LRESULT* hit, bool* stop)
{
    for (HWND h : siblings) {
        TWnd* s = WndFromHandle(h);
        if (!s || !s->Visible() || (s->ExStyle & WS_EX_TRANSPARENT) || !WindowCoversPoint(s, pt))
            continue;
        if (s->IsChild() && (s->Style & WS_DISABLED)) {
            *stop = true;
            return nullptr;
        }
        POINT co = ClientScreenOrigin(s);
        RECT cs = ClientSize(s);
        if (pt.x >= co.x && pt.x < co.x + cs.right && pt.y >= co.y && pt.y < co.y + cs.bottom) {
            std::vector<HWND> kids;
            {
                std::lock_guard lock(User().Lock);
                for (TWnd* c : s->Children)
                    kids.push_back(c->Handle);
            }
            bool childStop = false;
            if (TWnd* found = Search(kids, pt, hit, &childStop))
                return found;
            if (!IsWindow(h))
                continue;
        }
        LRESULT code = HTCLIENT;
        if (s->ThreadId == GetCurrentThreadId())
            code = SendMessage(h, WM_NCHITTEST, 0, MAKELPARAM(static_cast<WORD>(pt.x), static_cast<WORD>(pt.y)));
        if (code == HTTRANSPARENT || !IsWindow(h))
            continue;
        *hit = code;
        return s;
    }
    return nullptr;
}

void ShapeChanged(TWnd* w, const RECT& oldScreen, bool redraw)
{
    if (IsTopLevel(w)) {
        if (UserBackend())
            UserBackend()->WindowChanged(w->Handle, oldScreen);
    } else if (w->Visible()) {
        InvalidateParentArea(w);
    }
    if (redraw)
        RedrawWindow(w->Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

} // namespace

TWnd* HitWindowAt(POINT screen, LRESULT* hit)
{
    std::vector<HWND> tops;
    {
        std::lock_guard lock(User().Lock);
        for (TWnd* t : DesktopWnd()->Children)
            tops.push_back(t->Handle);
    }
    LRESULT code = HTNOWHERE;
    bool stop = false;
    TWnd* w = Search(tops, screen, &code, &stop);
    if (hit)
        *hit = code;
    return w;
}

HWND WindowFromPoint(POINT point)
{
    TWnd* w = HitWindowAt(point, nullptr);
    return w ? w->Handle : nullptr;
}

HWND ChildWindowFromPointEx(HWND parent, POINT pt, UINT flags)
{
    TWnd* p = WndFromHandle(parent);
    if (!p)
        return nullptr;
    RECT cs = ClientSize(p);
    if (pt.x < cs.left || pt.x >= cs.right || pt.y < cs.top || pt.y >= cs.bottom)
        return nullptr;
    POINT screen = pt;
    ClientToScreen(parent, &screen);
    std::lock_guard lock(User().Lock);
    for (TWnd* c : p->Children) {
        if ((flags & CWP_SKIPINVISIBLE) && !c->Visible())
            continue;
        if ((flags & CWP_SKIPDISABLED) && (c->Style & WS_DISABLED))
            continue;
        if ((flags & CWP_SKIPTRANSPARENT) && (c->ExStyle & WS_EX_TRANSPARENT))
            continue;
        if (WindowCoversPoint(c, screen))
            return c->Handle;
    }
    return parent;
}

HWND ChildWindowFromPoint(HWND parent, POINT pt)
{
    return ChildWindowFromPointEx(parent, pt, CWP_ALL);
}

int SetWindowRgn(HWND wnd, HRGN rgn, BOOL redraw)
{
    TWnd* w = WndFromHandle(wnd);
    if (!w)
        return 0;
    if (w->ThreadId != GetCurrentThreadId())
        return static_cast<int>(RunInWindowThread(w, [=] { return static_cast<LRESULT>(SetWindowRgn(wnd, rgn, redraw)); }));
    TRegion* shape = rgn ? RegionFromHandle(rgn) : nullptr;
    if (rgn && !shape)
        return 0;
    RECT oldScreen = WindowScreenRect(w);
    if (!w->IsChild() && w->Visible() == false && !IsTopLevel(w))
        redraw = FALSE_;
    if (w->Visible() && !IsTopLevel(w))
        InvalidateParentArea(w);  // the old outline
    HRGN old = w->RgnHandle;
    if (rgn == old && rgn) {
        w->Rgn = *shape;  // the same region again, maybe changed meanwhile
    } else {
        // The window holds the region like a DC holds a selected object: a
        // caller that deletes it anyway (against the rules) cannot free it
        // under the window, and its handle is not reused while held.
        if (rgn)
            GdiAddSelection(rgn);
        w->RgnHandle = rgn;
        if (shape)
            w->Rgn = *shape;
        else
            w->Rgn.reset();
        ReleaseWindowRegion(old);
    }
    ShapeChanged(w, oldScreen, redraw != 0 && IsReallyVisible(w));
    RefreshOpenDCs(TopLevelOf(w));
    return 1;
}

int GetWindowRgn(HWND wnd, HRGN rgn)
{
    TWnd* w = WndFromHandle(wnd);
    TRegion* dst = RegionFromHandle(rgn);
    if (!w || !dst || !w->Rgn)
        return ERROR;
    *dst = *w->Rgn;
    return dst->Complexity();
}

int GetWindowRgnBox(HWND wnd, RECT* rect)
{
    TWnd* w = WndFromHandle(wnd);
    if (!w || !rect || !w->Rgn)
        return ERROR;
    *rect = w->Rgn->IsEmpty() ? RECT{} : w->Rgn->Bounds();
    return w->Rgn->Complexity();
}

BOOL SetLayeredWindowAttributes(HWND wnd, COLORREF key, BYTE alpha, DWORD flags)
{
    TWnd* w = WndFromHandle(wnd);
    if (!w || !(w->ExStyle & WS_EX_LAYERED))
        return FALSE_;
    bool wasAttrs = w->LayeredAttrs;
    w->LayeredAttrs = true;
    w->LayeredPicture = false;
    w->LayeredFlags = flags & (LWA_COLORKEY | LWA_ALPHA);
    w->LayeredAlpha = (flags & LWA_ALPHA) ? alpha : 255;
    w->LayeredKey = key & 0xFFFFFF;
    RECT now = WindowScreenRect(w);
    if (!wasAttrs && IsReallyVisible(w))
        RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    if (IsTopLevel(w) && UserBackend())
        UserBackend()->WindowChanged(wnd, now);
    return TRUE_;
}

BOOL GetLayeredWindowAttributes(HWND wnd, COLORREF* key, BYTE* alpha, DWORD* flags)
{
    TWnd* w = WndFromHandle(wnd);
    if (!w || !(w->ExStyle & WS_EX_LAYERED) || !w->LayeredAttrs)
        return FALSE_;
    if (key)
        *key = w->LayeredKey;
    if (alpha)
        *alpha = w->LayeredAlpha;
    if (flags)
        *flags = w->LayeredFlags;
    return TRUE_;
}

BOOL UpdateLayeredWindow(HWND wnd, HDC, const POINT* dstPt, const SIZE* size, HDC srcDC, const POINT* srcPt,
                         COLORREF key, const BLENDFUNCTION* blend, DWORD flags)
{
    TWnd* w = WndFromHandle(wnd);
    if (!w || !(w->ExStyle & WS_EX_LAYERED) || w->LayeredAttrs || !IsTopLevel(w))
        return FALSE_;
    if (size && (size->cx <= 0 || size->cy <= 0 || size->cx > 16384 || size->cy > 16384))
        return FALSE_;
    TDeviceContext* src = srcDC ? TDeviceContext::FromHandle(srcDC) : nullptr;
    if (srcDC && (!src || !src->Surface()))
        return FALSE_;
    if (!srcDC && !w->LayeredPicture && !size)
        return FALSE_;
    RECT oldScreen = WindowScreenRect(w);
    RECT cur = w->Rect;
    int x = dstPt ? dstPt->x : cur.left;
    int y = dstPt ? dstPt->y : cur.top;
    int cx = size ? size->cx : cur.right - cur.left;
    int cy = size ? size->cy : cur.bottom - cur.top;
    if (x != cur.left || y != cur.top || cx != cur.right - cur.left || cy != cur.bottom - cur.top)
        SetWindowPos(wnd, nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    if (!IsWindow(wnd))
        return FALSE_;
    EnsureSurface(w);
    TGdiBitmap* dst = w->Surface ? BitmapFromHandle(w->Surface) : nullptr;
    if (!dst)
        return FALSE_;
    bool perPixel = (flags & ULW_ALPHA) && blend && (blend->AlphaFormat & AC_SRC_ALPHA);
    if (src) {
        POINT sp = srcPt ? *srcPt : POINT{0, 0};
        const TPixelLayout* sl = src->Layout();
        std::vector<DWORD> row(static_cast<std::size_t>(cx));
        for (LONG r = 0; r < cy; ++r) {
            LONG sy = src->ToSurfaceY(sp.y + r);
            std::fill(row.begin(), row.end(), 0u);
            if (sy >= 0 && sy < sl->Height) {
                LONG sx = src->ToSurfaceX(sp.x);
                LONG from = std::max<LONG>(0, -sx), to = std::min<LONG>(cx, sl->Width - sx);
                if (to > from)
                    ReadPixels(*sl, sy, sx + from, to - from, row.data() + from);
            }
            if (!perPixel)
                for (DWORD& p : row)
                    p |= 0xFF000000u;
            if (r < dst->Height())
                std::memcpy(dst->Layout.Row(r), row.data(), static_cast<std::size_t>(std::min<LONG>(cx, dst->Width())) * 4);
        }
    }
    w->LayeredPicture = true;
    w->PicturePerPixel = perPixel;
    w->PictureAlpha = (flags & ULW_ALPHA) && blend ? blend->SourceConstantAlpha : 255;
    w->PictureKeyed = (flags & ULW_COLORKEY) != 0;
    w->PictureKey = key & 0xFFFFFF;
    if (UserBackend())
        UserBackend()->WindowChanged(wnd, oldScreen);
    return TRUE_;
}

// ---- Optional entry points looked up by name ------------------------------------------

namespace {

// Callers that look these up by name ("user32.dll") take plain pointers.
BOOL UpdateLayeredWindowEntry(HWND wnd, HDC dstDC, POINT* dstPt, SIZE* size, HDC srcDC, POINT* srcPt, COLORREF key,
                              BLENDFUNCTION* blend, DWORD flags)
{
    return UpdateLayeredWindow(wnd, dstDC, dstPt, size, srcDC, srcPt, key, blend, flags);
}

BOOL GetMonitorInfoEntry(HMONITOR monitor, void* info) { return GetMonitorInfo(monitor, static_cast<MONITORINFO*>(info)); }

const bool kUser32Registered = [] {
    RegisterSystemModuleProc("user32.dll", "UpdateLayeredWindow", reinterpret_cast<void*>(&UpdateLayeredWindowEntry));
    RegisterSystemModuleProc("user32.dll", "SetLayeredWindowAttributes",
                             reinterpret_cast<void*>(&SetLayeredWindowAttributes));
    RegisterSystemModuleProc("user32.dll", "MonitorFromWindow", reinterpret_cast<void*>(&MonitorFromWindow));
    RegisterSystemModuleProc("user32.dll", "GetMonitorInfoA", reinterpret_cast<void*>(&GetMonitorInfoEntry));
    return true;
}();

}  // namespace
