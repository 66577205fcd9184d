#include "platform/user/Painting.h"

#include "platform/gdi/Bitmaps.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/rtl/Threads.h"
#include "platform/user/Backend.h"
#include "platform/user/MessageQueue.h"
#include "platform/user/ThreadQueue.h"
#include "platform/user/Window.h"
#include "platform/user/WindowObject.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace {

struct TOpenDC {
    HWND Wnd = nullptr;
    RECT SurfaceBounds{};
    bool WindowArea = false;
    bool ClipChildren = false;
    bool ClipSiblings = false;
    // Paint DCs and DCs cut by a caller's region keep their visible area;
    // the others follow the window as it moves, resizes or is covered.
    bool Fixed = true;
};

std::mutex& DCLock()
{
    static std::mutex* m = new std::mutex;
    return *m;
}

std::unordered_map<HDC, TOpenDC>& OpenDCs()
{
    static auto* m = new std::unordered_map<HDC, TOpenDC>;
    return *m;
}

RECT Offset(RECT r, LONG dx, LONG dy)
{
    return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

TRegion RegionInSurface(const TWnd* w, const RECT& windowRect)
{
    POINT o = SurfaceOrigin(w);
    TRegion r(Offset(windowRect, o.x, o.y));
    if (w->Rgn) {
        TRegion shape = *w->Rgn;
        shape.Offset(o.x, o.y);
        r.Combine(r, shape, RGN_AND);
    }
    return r;
}

// The window's outline (rectangle and region) in surface coordinates.
TRegion Outline(const TWnd* w)
{
    RECT whole{0, 0, w->Rect.right - w->Rect.left, w->Rect.bottom - w->Rect.top};
    return RegionInSurface(w, whole);
}

// The visible area in surface coordinates.
TRegion SurfaceVis(TWnd* w, bool windowArea, bool clipChildren, bool clipSiblings)
{
    TRegion vis;
    if (!IsReallyVisible(w) || w->NoRedraw || TopLevelOf(w)->LayeredPicture)
        return vis;
    RECT area = windowArea ? RECT{0, 0, w->Rect.right - w->Rect.left, w->Rect.bottom - w->Rect.top} : w->Client;
    vis = RegionInSurface(w, area);
    std::lock_guard lock(User().Lock);
    for (TWnd* a = w; !IsTopLevel(a) && a->Parent; a = a->Parent) {
        TWnd* p = a->Parent;
        vis.Combine(vis, RegionInSurface(p, p->Client), RGN_AND);
        if (p->NoRedraw)
            return TRegion();
        if ((a->Style & WS_CLIPSIBLINGS) || (a == w && clipSiblings)) {
            for (TWnd* s : p->Children) {
                if (s == a)
                    break;
                if (s->Visible())
                    vis.Combine(vis, Outline(s), RGN_DIFF);
            }
        }
        if (vis.IsEmpty())
            return vis;
    }
    if (clipChildren)
        for (TWnd* c : w->Children)
            if (c->Visible())
                vis.Combine(vis, Outline(c), RGN_DIFF);
    return vis;
}

bool NeedsPaint(const TWnd* w)
{
    return IsReallyVisible(w) && !w->NoRedraw &&
           (!w->Update.IsEmpty() || w->InternalPaint || w->UpdateFrame);
}

HDC MakeDC(TWnd* w, const TRegion& surfaceVis, bool windowArea, const TOpenDC* follow = nullptr)
{
    TWnd* top = TopLevelOf(w);
    EnsureSurface(top);
    if (!top->Surface)
        return nullptr;
    POINT o = SurfaceOrigin(w);
    if (!windowArea) {
        o.x += w->Client.left;
        o.y += w->Client.top;
    }
    TRegion dev = surfaceVis;
    dev.Offset(-o.x, -o.y);
    HDC dc = CreateSurfaceDC(top->Surface, o, &dev);
    if (dc) {
        TOpenDC rec = follow ? *follow : TOpenDC{};
        rec.Wnd = w->Handle;
        rec.WindowArea = windowArea;
        rec.SurfaceBounds = surfaceVis.Bounds();
        std::lock_guard lock(DCLock());
        OpenDCs()[dc] = rec;
    }
    return dc;
}

HDC HookGetDC(HWND wnd)
{
    return GetDCEx(wnd, nullptr, DCX_CACHE);
}

int HookReleaseDC(HWND wnd, HDC dc)
{
    TOpenDC rec;
    {
        std::lock_guard lock(DCLock());
        auto it = OpenDCs().find(dc);
        if (it == OpenDCs().end())
            return 0;
        rec = it->second;
        OpenDCs().erase(it);
    }
    (void)wnd;
    DeleteDC(dc);
    if (TWnd* w = WndFromHandle(rec.Wnd)) {
        const RECT& b = rec.SurfaceBounds;
        if (b.right > b.left && b.bottom > b.top)
            SurfaceChanged(TopLevelOf(w), b);
    }
    return 1;
}

bool ChildrenAffected(const TWnd* w, UINT flags)
{
    if (flags & RDW_ALLCHILDREN)
        return true;
    if (flags & RDW_NOCHILDREN)
        return false;
    return !(w->Style & WS_CLIPCHILDREN);
}

void EraseNow(TWnd* w)
{
    TWndRef ref(w);
    if (w->UpdateFrame) {
        w->UpdateFrame = false;
        PaintCountChanged(w);
        CallWndProc(w, WM_NCPAINT, 1, 0);
        if (!ref.Alive())
            return;
    }
    if (w->UpdateErase && !w->Update.IsEmpty()) {
        w->UpdateErase = false;
        TRegion vis = SurfaceVis(w, false, (w->Style & WS_CLIPCHILDREN) != 0, false);
        TRegion upd = w->Update;
        POINT o = SurfaceOrigin(w);
        upd.Offset(o.x + w->Client.left, o.y + w->Client.top);
        vis.Combine(vis, upd, RGN_AND);
        HDC dc = MakeDC(w, vis, false);
        if (dc) {
            CallWndProc(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
            ReleaseDC(w->Handle, dc);
        }
    }
}

void UpdateNow(TWnd* w, UINT flags)
{
    TWndRef ref(w);
    if (flags & RDW_UPDATENOW) {
        if (NeedsPaint(w))
            CallWndProc(w, WM_PAINT, 0, 0);
    } else if (flags & RDW_ERASENOW) {
        EraseNow(w);
    }
    if (!ref.Alive() || !ChildrenAffected(w, flags))
        return;
    std::vector<HWND> kids;
    for (TWnd* c : w->Children)
        kids.push_back(c->Handle);
    for (HWND k : kids)
        if (TWnd* c = WndFromHandle(k))
            UpdateNow(c, flags);
}

} // namespace

void InstallWindowDCHooks()
{
    GdiSetWindowDCHooks(&HookGetDC, &HookReleaseDC);
}

void RefreshOpenDCs(TWnd* top)
{
    std::vector<std::pair<HDC, TOpenDC>> mine;
    {
        std::lock_guard lock(DCLock());
        if (OpenDCs().empty())
            return;
        for (auto& [dc, rec] : OpenDCs())
            mine.emplace_back(dc, rec);
    }
    TGdiBitmap* surface = top->Surface ? BitmapFromHandle(top->Surface) : nullptr;
    for (auto& [dc, rec] : mine) {
        TWnd* w = WndFromHandle(rec.Wnd);
        TDeviceContext* ctx = TDeviceContext::FromHandle(dc);
        if (!w || !ctx || TopLevelOf(w) != top || !surface)
            continue;
        if (ctx->Surface() != surface) {
            // The window's surface was replaced (a new size): the DC moves to it.
            TGdiBitmap* old = ctx->Surface();
            GdiAddSelection(top->Surface);
            ctx->SetSurface(surface);
            surface->SelectedDC = nullptr;  // a window DC selects nothing
            if (old)
                GdiReleaseSelection(old);
        }
        POINT o = SurfaceOrigin(w);
        if (!rec.WindowArea) {
            o.x += w->Client.left;
            o.y += w->Client.top;
        }
        ctx->SetOrigin(o);
        if (!rec.Fixed) {
            TRegion vis = SurfaceVis(w, rec.WindowArea, rec.ClipChildren || (w->Style & WS_CLIPCHILDREN), rec.ClipSiblings);
            rec.SurfaceBounds = vis.Bounds();
            vis.Offset(-o.x, -o.y);
            ctx->SetVisRegion(&vis);
            std::lock_guard lock(DCLock());
            auto it = OpenDCs().find(dc);
            if (it != OpenDCs().end())
                it->second.SurfaceBounds = rec.SurfaceBounds;
        }
    }
}

void UserIdleFlush()
{
    std::vector<TOpenDC> open;
    {
        std::lock_guard lock(DCLock());
        for (auto& [dc, rec] : OpenDCs())
            open.push_back(rec);
    }
    DWORD self = GetCurrentThreadId();
    for (const TOpenDC& rec : open) {
        TWnd* w = WndFromHandle(rec.Wnd);
        const RECT& b = rec.SurfaceBounds;
        if (w && w->ThreadId == self && b.right > b.left && b.bottom > b.top)
            SurfaceChanged(TopLevelOf(w), b);
    }
}

void PaintCountChanged(TWnd* w)
{
    bool needs = NeedsPaint(w);
    if (needs == w->CountedForPaint || !w->Queue)
        return;
    w->CountedForPaint = needs;
    std::lock_guard lock(w->Queue->Lock);
    w->Queue->PaintCount += needs ? 1 : -1;
}

void InvalidateWindowArea(TWnd* w, const TRegion* clientRgn, UINT flags)
{
    if (!IsReallyVisible(w) || w->NoRedraw)
        return;
    RECT cs = ClientSize(w);
    TRegion region(cs);
    if (clientRgn)
        region.Combine(region, *clientRgn, RGN_AND);
    if (flags & RDW_INVALIDATE) {
        if (!region.IsEmpty()) {
            w->Update.Combine(w->Update, region, RGN_OR);
            if (flags & RDW_ERASE)
                w->UpdateErase = true;
        }
        if (flags & RDW_FRAME)
            w->UpdateFrame = true;
        if (flags & RDW_INTERNALPAINT)
            w->InternalPaint = true;
    } else if (flags & RDW_VALIDATE) {
        w->Update.Combine(w->Update, region, RGN_DIFF);
        if (w->Update.IsEmpty())
            w->UpdateErase = false;
        if (flags & RDW_NOERASE)
            w->UpdateErase = false;
        if (flags & RDW_NOFRAME)
            w->UpdateFrame = false;
        if (flags & RDW_NOINTERNALPAINT)
            w->InternalPaint = false;
    } else if (flags & RDW_INTERNALPAINT) {
        w->InternalPaint = true;
    }
    PaintCountChanged(w);
    if (!ChildrenAffected(w, flags))
        return;
    for (TWnd* c : w->Children) {
        if (!c->Visible())
            continue;
        RECT cr = c->Rect;
        TRegion part(cr);
        part.Combine(part, region, RGN_AND);
        if (part.IsEmpty())
            continue;
        part.Offset(-(cr.left + c->Client.left), -(cr.top + c->Client.top));
        UINT childFlags = flags;
        // The parent's painting covers the child's frame too.
        if ((flags & RDW_INVALIDATE) && !(c->Client == RECT{0, 0, cr.right - cr.left, cr.bottom - cr.top}))
            childFlags |= RDW_FRAME;
        InvalidateWindowArea(c, &part, childFlags);
    }
}

void InvalidateParentArea(TWnd* w)
{
    TWnd* p = w->Parent;
    if (!p || IsTopLevel(w))
        return;
    TRegion r(w->Rect);
    InvalidateWindowArea(p, &r, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void PaintNow(TWnd* w, bool children)
{
    UpdateNow(w, RDW_UPDATENOW | (children ? RDW_ALLCHILDREN : RDW_NOCHILDREN));
}

void SurfaceChanged(TWnd* top, const RECT& r)
{
    if (top && top->Surface && UserBackend())
        UserBackend()->Present(top->Handle, r);
}

void EnsureSurface(TWnd* top)
{
    if (!IsTopLevel(top))
        return;
    // A surface covers at most 8192 x 8192 pixels of a (rare) larger window.
    LONG w = std::clamp<LONG>(top->Rect.right - top->Rect.left, 1, 8192);
    LONG h = std::clamp<LONG>(top->Rect.bottom - top->Rect.top, 1, 8192);
    TGdiBitmap* old = top->Surface ? BitmapFromHandle(top->Surface) : nullptr;
    if (old && old->Width() == w && old->Height() == h)
        return;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    HBITMAP fresh = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, nullptr, nullptr, 0);
    TGdiBitmap* nb = BitmapFromHandle(fresh);
    if (!nb)
        return;
    HBITMAP previous = top->Surface;
    if (old) {
        LONG cw = std::min(w, old->Width()), ch = std::min(h, old->Height());
        for (LONG y = 0; y < ch; ++y)
            std::memcpy(nb->Layout.Row(y), old->Layout.Row(y), static_cast<std::size_t>(cw) * 4);
    }
    top->Surface = fresh;
    // Open DCs move to the new surface first, so the old one can go.
    RefreshOpenDCs(top);
    if (previous)
        DeleteObject(previous);
}

namespace {

// A one-pixel surface that DCs of destroyed windows draw into, invisibly.
TGdiBitmap* DeadSurface(HBITMAP* handle)
{
    static HBITMAP dead = [] {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi.bmiHeader.biWidth = 1;
        bi.bmiHeader.biHeight = -1;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        return CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, nullptr, nullptr, 0);
    }();
    *handle = dead;
    return BitmapFromHandle(dead);
}

} // namespace

void FreeSurface(TWnd* top)
{
    if (!top->Surface)
        return;
    TGdiBitmap* surface = BitmapFromHandle(top->Surface);
    std::vector<std::pair<HDC, TOpenDC>> open;
    {
        std::lock_guard lock(DCLock());
        for (auto& [dc, rec] : OpenDCs())
            open.emplace_back(dc, rec);
    }
    for (auto& [dc, rec] : open) {
        TDeviceContext* ctx = TDeviceContext::FromHandle(dc);
        if (!ctx || !surface || ctx->Surface() != surface)
            continue;
        // A DC still held for a window that goes draws nowhere from now on.
        HBITMAP deadHandle = nullptr;
        TGdiBitmap* dead = DeadSurface(&deadHandle);
        if (!dead)
            continue;
        GdiAddSelection(deadHandle);
        ctx->SetSurface(dead);
        dead->SelectedDC = nullptr;
        GdiReleaseSelection(surface);
        TRegion none;
        ctx->SetVisRegion(&none);
        std::lock_guard lock(DCLock());
        auto it = OpenDCs().find(dc);
        if (it != OpenDCs().end()) {
            it->second.Fixed = true;
            it->second.SurfaceBounds = RECT{};
        }
    }
    DeleteObject(top->Surface);
    top->Surface = nullptr;
}

TRegion VisibleRegion(HWND wnd, bool windowArea, bool clipChildren, bool clipSiblings)
{
    TWnd* w = WndFromHandle(wnd);
    if (!w)
        return TRegion();
    TRegion vis = SurfaceVis(w, windowArea, clipChildren, clipSiblings);
    POINT o = SurfaceOrigin(w);
    if (!windowArea) {
        o.x += w->Client.left;
        o.y += w->Client.top;
    }
    vis.Offset(-o.x, -o.y);
    return vis;
}

HDC GetDCEx(HWND wnd, HRGN clip, DWORD flags)
{
    if (!wnd || wnd == GetDesktopWindow())
        return CreateSurfaceDC(GdiScreenSurface(), POINT{0, 0}, nullptr);
    TWnd* w = WndFromHandle(wnd);
    if (!w)
        return nullptr;
    bool windowArea = (flags & DCX_WINDOW) != 0;
    bool clipChildren = (flags & DCX_CLIPCHILDREN) || (w->Style & WS_CLIPCHILDREN);
    bool clipSiblings = (flags & DCX_CLIPSIBLINGS) != 0;
    TRegion vis = SurfaceVis(w, windowArea, clipChildren, clipSiblings);
    if (clip && clip != reinterpret_cast<HRGN>(1) && (flags & (DCX_INTERSECTRGN | DCX_EXCLUDERGN))) {
        if (TRegion* r = RegionFromHandle(clip)) {
            // Screen coordinates to surface coordinates.
            TWnd* top = TopLevelOf(w);
            TRegion s = *r;
            s.Offset(-top->Rect.left, -top->Rect.top);
            vis.Combine(vis, s, (flags & DCX_INTERSECTRGN) ? RGN_AND : RGN_DIFF);
        } else if (flags & DCX_INTERSECTRGN) {
            vis.Clear();
        }
    }
    if (flags & DCX_INTERSECTUPDATE) {
        TRegion upd = w->Update;
        POINT o = SurfaceOrigin(w);
        upd.Offset(o.x + w->Client.left, o.y + w->Client.top);
        vis.Combine(vis, upd, RGN_AND);
        if (flags & DCX_VALIDATE) {
            w->Update.Clear();
            w->UpdateErase = false;
            PaintCountChanged(w);
        }
    }
    TOpenDC follow;
    follow.ClipChildren = clipChildren;
    follow.ClipSiblings = clipSiblings;
    follow.Fixed = (flags & (DCX_INTERSECTRGN | DCX_EXCLUDERGN | DCX_INTERSECTUPDATE)) != 0;
    return MakeDC(w, vis, windowArea, &follow);
}

HDC GetWindowDC(HWND wnd)
{
    return GetDCEx(wnd, nullptr, DCX_WINDOW | DCX_CACHE);
}

HDC BeginPaint(HWND wnd, PAINTSTRUCT* ps)
{
    TWnd* w = WndFromHandle(wnd);
    if (!w || !ps)
        return nullptr;
    TWndRef ref(w);
    *ps = PAINTSTRUCT{};
    if (w->UpdateFrame) {
        w->UpdateFrame = false;
        CallWndProc(w, WM_NCPAINT, 1, 0);
        if (!ref.Alive())
            return nullptr;
    }
    TRegion upd = w->Update;
    bool erase = w->UpdateErase;
    w->Update.Clear();
    w->UpdateErase = false;
    w->InternalPaint = false;
    PaintCountChanged(w);

    TRegion vis = SurfaceVis(w, false, (w->Style & WS_CLIPCHILDREN) != 0, false);
    POINT o = SurfaceOrigin(w);
    TRegion updSurface = upd;
    updSurface.Offset(o.x + w->Client.left, o.y + w->Client.top);
    vis.Combine(vis, updSurface, RGN_AND);
    HDC dc = MakeDC(w, vis, false);
    if (!dc)
        return nullptr;
    ps->hdc = dc;
    ps->rcPaint = upd.IsEmpty() ? RECT{} : upd.Bounds();
    if (erase) {
        ps->fErase = CallWndProc(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE_ : TRUE_;
    }
    return dc;
}

BOOL EndPaint(HWND wnd, const PAINTSTRUCT* ps)
{
    if (!ps || !ps->hdc)
        return FALSE_;
    ReleaseDC(wnd, ps->hdc);
    return TRUE_;
}

BOOL RedrawWindow(HWND wnd, const RECT* updateRect, HRGN updateRgn, UINT flags)
{
    if (!wnd || wnd == GetDesktopWindow()) {
        std::vector<HWND> tops;
        {
            std::lock_guard lock(User().Lock);
            for (TWnd* t : DesktopWnd()->Children)
                tops.push_back(t->Handle);
        }
        for (HWND t : tops)
            if (IsWindow(t))
                RedrawWindow(t, nullptr, nullptr, flags | RDW_ALLCHILDREN);
        return TRUE_;
    }
    TWnd* w = WndFromHandle(wnd);
    if (!w)
        return FALSE_;
    if (w->ThreadId != GetCurrentThreadId()) {
        // Update regions belong to the window's thread: hand the request over.
        auto* d = new TDeferredRedraw;
        d->Flags = flags & ~(RDW_UPDATENOW | RDW_ERASENOW);
        if (updateRgn) {
            TRegion* r = RegionFromHandle(updateRgn);
            if (!r) {
                delete d;
                return FALSE_;
            }
            d->HasRegion = true;
            d->Region = *r;
        } else if (updateRect) {
            d->HasRect = true;
            d->Rect = *updateRect;
        }
        if (!PostMessage(wnd, WM_INTERNAL_REDRAW, 0, reinterpret_cast<LPARAM>(d))) {
            delete d;
            return FALSE_;
        }
        return TRUE_;
    }
    TRegion region;
    const TRegion* rp = nullptr;
    if (updateRgn) {
        TRegion* r = RegionFromHandle(updateRgn);
        if (!r)
            return FALSE_;
        region = *r;
        rp = &region;
    } else if (updateRect) {
        region.SetRect(*updateRect);
        rp = &region;
    }
    UINT f = flags;
    if (f & (RDW_INVALIDATE | RDW_VALIDATE | RDW_INTERNALPAINT | RDW_NOINTERNALPAINT)) {
        // A whole-window request also covers the frame only with RDW_FRAME.
        InvalidateWindowArea(w, rp, f);
    }
    if (f & (RDW_UPDATENOW | RDW_ERASENOW))
        UpdateNow(w, f);
    return TRUE_;
}

void RunDeferredRedraw(HWND wnd, LPARAM data)
{
    std::unique_ptr<TDeferredRedraw> d(reinterpret_cast<TDeferredRedraw*>(data));
    if (!d || !IsWindow(wnd))
        return;
    if (d->HasRegion) {
        TWnd* w = WndFromHandle(wnd);
        if (w && (d->Flags & (RDW_INVALIDATE | RDW_VALIDATE | RDW_INTERNALPAINT | RDW_NOINTERNALPAINT)))
            InvalidateWindowArea(w, &d->Region, d->Flags);
        return;
    }
    RedrawWindow(wnd, d->HasRect ? &d->Rect : nullptr, nullptr, d->Flags);
}

BOOL InvalidateRect(HWND wnd, const RECT* rect, BOOL erase)
{
    return RedrawWindow(wnd, rect, nullptr, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL InvalidateRgn(HWND wnd, HRGN rgn, BOOL erase)
{
    return RedrawWindow(wnd, nullptr, rgn, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL ValidateRect(HWND wnd, const RECT* rect)
{
    return RedrawWindow(wnd, rect, nullptr, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL ValidateRgn(HWND wnd, HRGN rgn)
{
    return RedrawWindow(wnd, nullptr, rgn, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL UpdateWindow(HWND wnd)
{
    TWnd* w = WndFromHandle(wnd);
    if (!w)
        return FALSE_;
    UpdateNow(w, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return TRUE_;
}

BOOL GetUpdateRect(HWND wnd, RECT* rect, BOOL erase)
{
    TWnd* w = WndFromHandle(wnd);
    if (!w)
        return FALSE_;
    if (erase && w->UpdateErase)
        EraseNow(w);
    bool any = !w->Update.IsEmpty();
    if (rect)
        *rect = any ? w->Update.Bounds() : RECT{};
    return any ? TRUE_ : FALSE_;
}

int GetUpdateRgn(HWND wnd, HRGN rgn, BOOL erase)
{
    TWnd* w = WndFromHandle(wnd);
    TRegion* r = RegionFromHandle(rgn);
    if (!w || !r)
        return ERROR;
    if (erase && w->UpdateErase)
        EraseNow(w);
    *r = w->Update;
    return r->Complexity();
}

BOOL LockWindowUpdate(HWND)
{
    return TRUE_;
}

int ScrollWindowEx(HWND wnd, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update, RECT* updateRect,
                   UINT flags)
{
    TWnd* w = WndFromHandle(wnd);
    if (!w)
        return ERROR;
    RECT cs = ClientSize(w);
    TRegion area(scroll ? *scroll : cs);
    area.Combine(area, TRegion(cs), RGN_AND);
    TRegion clipRgn(clip ? *clip : cs);
    clipRgn.Combine(clipRgn, TRegion(cs), RGN_AND);
    TRegion vis = VisibleRegion(wnd, false, false, false);

    TRegion src = area;
    src.Combine(src, vis, RGN_AND);
    TRegion moved = src;
    moved.Offset(dx, dy);
    TRegion dstOk = clipRgn;
    dstOk.Combine(dstOk, vis, RGN_AND);
    moved.Combine(moved, dstOk, RGN_AND);

    TWnd* top = TopLevelOf(w);
    TGdiBitmap* bmp = top->Surface ? BitmapFromHandle(top->Surface) : nullptr;
    POINT o = SurfaceOrigin(w);
    o.x += w->Client.left;
    o.y += w->Client.top;
    if (bmp && !moved.IsEmpty() && (dx || dy) && (dx == 0 || dy == 0)) {
        // Along one axis: each row segment moves with memmove, in an order
        // that reads every source before a destination covers it (rows
        // from the far end of the move; segments of a row likewise).
        const TPixelLayout& L = bmp->Layout;
        const std::vector<RECT>& rects = moved.Rects();
        const bool backwards = dy > 0 || (dy == 0 && dx > 0);
        auto moveRows = [&](const RECT& r) {
            const LONG x0 = std::max<LONG>({r.left + o.x, 0, dx}), x1 = std::min<LONG>({r.right + o.x, L.Width, L.Width + dx});
            if (x1 <= x0)
                return;
            const std::size_t bytes = static_cast<std::size_t>(x1 - x0) * 4;
            for (LONG i = 0, n = r.bottom - r.top; i < n; ++i) {
                const LONG ty = (dy > 0 ? r.bottom - 1 - i : r.top + i) + o.y, sy = ty - dy;
                if (ty < 0 || ty >= L.Height || sy < 0 || sy >= L.Height)
                    continue;
                std::memmove(L.Row(ty) + x0 * 4, L.Row(sy) + (x0 - dx) * 4, bytes);
            }
        };
        if (backwards)
            for (auto it = rects.rbegin(); it != rects.rend(); ++it)
                moveRows(*it);
        else
            for (const RECT& r : rects)
                moveRows(r);
        SurfaceChanged(top, Offset(moved.Bounds(), o.x, o.y));
    } else if (bmp && !moved.IsEmpty()) {
        // Diagonal moves go through a copy of the source block.
        std::vector<DWORD> buf;
        const TPixelLayout& L = bmp->Layout;
        const RECT& b = moved.Bounds();
        LONG bw = b.right - b.left, bh = b.bottom - b.top;
        buf.resize(static_cast<std::size_t>(bw) * bh);
        // Read the source block first so overlapping moves stay correct.
        for (LONG y = 0; y < bh; ++y) {
            LONG sy = b.top + y - dy + o.y;
            LONG sx = b.left - dx + o.x;
            if (sy < 0 || sy >= L.Height)
                continue;
            for (LONG x = 0; x < bw; ++x) {
                LONG px = sx + x;
                if (px >= 0 && px < L.Width)
                    std::memcpy(&buf[static_cast<std::size_t>(y) * bw + x], L.Row(sy) + px * 4, 4);
            }
        }
        for (const RECT& r : moved.Rects())
            for (LONG y = r.top; y < r.bottom; ++y) {
                LONG ty = y + o.y;
                if (ty < 0 || ty >= L.Height)
                    continue;
                for (LONG x = r.left; x < r.right; ++x) {
                    LONG tx = x + o.x;
                    if (tx >= 0 && tx < L.Width)
                        std::memcpy(L.Row(ty) + tx * 4, &buf[static_cast<std::size_t>(y - b.top) * bw + (x - b.left)], 4);
                }
            }
        SurfaceChanged(top, Offset(b, o.x, o.y));
    }
    // What the move did not fill needs painting; a pending update moves along.
    TRegion uncovered = area;
    uncovered.Combine(uncovered, clipRgn, RGN_AND);
    uncovered.Combine(uncovered, moved, RGN_DIFF);
    if (!w->Update.IsEmpty() && (dx || dy)) {
        TRegion inside = w->Update;
        inside.Combine(inside, area, RGN_AND);
        TRegion outside = w->Update;
        outside.Combine(outside, area, RGN_DIFF);
        inside.Offset(dx, dy);
        inside.Combine(inside, clipRgn, RGN_AND);
        w->Update.Combine(outside, inside, RGN_OR);
    }
    if (flags & SW_SCROLLCHILDREN) {
        std::vector<HWND> kids;
        for (TWnd* c : w->Children)
            if (!scroll || TRegion(c->Rect).Intersects(*scroll))
                kids.push_back(c->Handle);
        for (HWND k : kids)
            if (TWnd* c = WndFromHandle(k))
                SetWindowPos(k, nullptr, c->Rect.left + dx, c->Rect.top + dy, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
    if (flags & SW_INVALIDATE)
        InvalidateWindowArea(w, &uncovered, RDW_INVALIDATE | ((flags & SW_ERASE) ? RDW_ERASE : 0) |
                                                (flags & SW_SCROLLCHILDREN ? RDW_ALLCHILDREN : 0));
    if (update)
        if (TRegion* r = RegionFromHandle(update))
            *r = uncovered;
    if (updateRect)
        *updateRect = uncovered.IsEmpty() ? RECT{} : uncovered.Bounds();
    return uncovered.Complexity();
}

BOOL ScrollWindow(HWND wnd, int dx, int dy, const RECT* scroll, const RECT* clip)
{
    UINT flags = SW_INVALIDATE | SW_ERASE | (scroll ? 0 : SW_SCROLLCHILDREN);
    return ScrollWindowEx(wnd, dx, dy, scroll, clip, nullptr, nullptr, flags) != ERROR ? TRUE_ : FALSE_;
}
