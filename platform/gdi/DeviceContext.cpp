#include "platform/gdi/DeviceContext.h"

#include "platform/gdi/PensBrushes.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <unordered_set>

namespace {

struct TDCRegistry {
    std::mutex Lock;
    std::unordered_set<const void*> Live;
};

TDCRegistry& DCs()
{
    static TDCRegistry* registry = new TDCRegistry;
    return *registry;
}

struct TScreen {
    std::mutex Lock;
    SIZE Size{1920, 1080};
    HBITMAP Surface = nullptr;
    bool OwnsSurface = false; // made here on demand, not handed over by a back-end
    TGetWindowDCHook GetHook = nullptr;
    TReleaseWindowDCHook ReleaseHook = nullptr;
};

TScreen& Screen()
{
    static TScreen* screen = new TScreen;
    return *screen;
}

// The one-pixel monochrome bitmap every new memory DC starts with; a stock
// object, so any number of DCs may hold it.
HGDIOBJ StockDefaultBitmap()
{
    static HGDIOBJ handle = [] {
        auto bmp = std::make_unique<TGdiBitmap>();
        bmp->Layout.Width = 1;
        bmp->Layout.Height = 1;
        bmp->Layout.BitCount = 1;
        bmp->Layout.Stride = 2;
        bmp->Layout.Bits = static_cast<BYTE*>(std::calloc(2, 1));
        bmp->ColorTable.assign(MonoPalette(), MonoPalette() + 2);
        bmp->MonoDDB = true;
        bmp->SyncColors();
        return GdiMakeStock(std::move(bmp), -1);
    }();
    return handle;
}

void AddSelections(const TDCState& s)
{
    for (HGDIOBJ h : {s.Pen, s.Brush, s.Font, s.Bitmap})
        if (h)
            GdiAddSelection(h);
}

void ReleaseSelections(const TDCState& s)
{
    for (HGDIOBJ h : {s.Pen, s.Brush, s.Font, s.Bitmap})
        if (h)
            GdiReleaseSelection(h);
}

} // namespace

TDeviceContext::TDeviceContext(bool memory, TGdiBitmap* surface) : FMemory(memory), FSurface(surface)
{
    State.Pen = GetStockObject(BLACK_PEN);
    State.Brush = GetStockObject(WHITE_BRUSH);
    State.Font = GetStockObject(SYSTEM_FONT);
    if (memory)
        State.Bitmap = surface;
    AddSelections(State);
    TDCRegistry& r = DCs();
    std::lock_guard lock(r.Lock);
    r.Live.insert(this);
}

TDeviceContext::~TDeviceContext()
{
    {
        TDCRegistry& r = DCs();
        std::lock_guard lock(r.Lock);
        r.Live.erase(this);
    }
    if (FSurface && FSurface->SelectedDC == Handle())
        FSurface->SelectedDC = nullptr;
    for (auto& s : Saved)
        ReleaseSelections(s);
    if (!FMemory && FSurface)
        GdiReleaseSelection(FSurface);
    ReleaseSelections(State);
}

TDeviceContext* TDeviceContext::FromHandle(HDC dc)
{
    if (!dc)
        return nullptr;
    TDCRegistry& r = DCs();
    std::lock_guard lock(r.Lock);
    return r.Live.count(dc) ? reinterpret_cast<TDeviceContext*>(dc) : nullptr;
}

void TDeviceContext::SetSurface(TGdiBitmap* surface)
{
    if (FSurface && FSurface->SelectedDC == Handle())
        FSurface->SelectedDC = nullptr;
    FSurface = surface;
    if (FSurface)
        FSurface->SelectedDC = Handle();
    FClipValid = false;
}

void TDeviceContext::SetOrigin(POINT origin)
{
    FOrigin = origin;
    FClipValid = false;
}

void TDeviceContext::SetVisRegion(const TRegion* vis)
{
    if (vis)
        FVisRgn = *vis;
    else
        FVisRgn.reset();
    FClipValid = false;
}

TRegion TDeviceContext::DeviceExtent() const
{
    TRegion extent;
    if (FSurface)
        extent.SetRect(RECT{-FOrigin.x, -FOrigin.y, FSurface->Width() - FOrigin.x, FSurface->Height() - FOrigin.y});
    if (FVisRgn)
        extent.Combine(extent, *FVisRgn, RGN_AND);
    return extent;
}

TRegion TDeviceContext::DeviceClip()
{
    TRegion clip = DeviceExtent();
    if (State.ClipRgn)
        clip.Combine(clip, *State.ClipRgn, RGN_AND);
    return clip;
}

void TDeviceContext::RebuildClip()
{
    TRegion clip = DeviceClip();
    clip.Offset(FOrigin.x, FOrigin.y);
    FClip = clip.Rects();
    FClipBounds = clip.Bounds();
    FClipValid = true;
}

const std::vector<RECT>& TDeviceContext::ClipRects()
{
    if (!FClipValid)
        RebuildClip();
    return FClip;
}

const RECT& TDeviceContext::ClipBounds()
{
    if (!FClipValid)
        RebuildClip();
    return FClipBounds;
}

HDC CreateSurfaceDC(HBITMAP surface, POINT origin, const TRegion* visRegion)
{
    TGdiBitmap* bmp = BitmapFromHandle(surface);
    if (!bmp)
        return nullptr;
    GdiAddSelection(surface);
    auto* dc = new TDeviceContext(false, bmp);
    dc->SetOrigin(origin);
    dc->SetVisRegion(visRegion);
    return dc->Handle();
}

BOOL SetSurfaceDCOrigin(HDC dc, POINT origin)
{
    TDeviceContext* ctx = TDeviceContext::FromHandle(dc);
    if (!ctx || ctx->IsMemoryDC())
        return FALSE_;
    ctx->SetOrigin(origin);
    return TRUE_;
}

BOOL SetSurfaceDCVisRegion(HDC dc, const TRegion* visRegion)
{
    TDeviceContext* ctx = TDeviceContext::FromHandle(dc);
    if (!ctx || ctx->IsMemoryDC())
        return FALSE_;
    ctx->SetVisRegion(visRegion);
    return TRUE_;
}

BOOL GetDCOrgEx(HDC dc, POINT* origin)
{
    TDeviceContext* ctx = TDeviceContext::FromHandle(dc);
    if (!ctx || !origin)
        return FALSE_;
    *origin = ctx->Origin();
    return TRUE_;
}

void GdiSetWindowDCHooks(TGetWindowDCHook getDC, TReleaseWindowDCHook releaseDC)
{
    TScreen& s = Screen();
    std::lock_guard lock(s.Lock);
    s.GetHook = getDC;
    s.ReleaseHook = releaseDC;
}

HBITMAP GdiScreenSurface()
{
    TScreen& s = Screen();
    std::lock_guard lock(s.Lock);
    if (!s.Surface || !BitmapFromHandle(s.Surface)) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi.bmiHeader.biWidth = s.Size.cx;
        bi.bmiHeader.biHeight = -s.Size.cy;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        s.Surface = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, nullptr, nullptr, 0);
        s.OwnsSurface = true;
    }
    return s.Surface;
}

void GdiSetScreenSurface(HBITMAP surface)
{
    TScreen& s = Screen();
    std::lock_guard lock(s.Lock);
    if (s.OwnsSurface && s.Surface && s.Surface != surface)
        DeleteObject(s.Surface);
    s.Surface = surface;
    s.OwnsSurface = false;
    if (TGdiBitmap* bmp = BitmapFromHandle(surface))
        s.Size = SIZE{bmp->Width(), bmp->Height()};
}

SIZE GdiScreenSize()
{
    TScreen& s = Screen();
    std::lock_guard lock(s.Lock);
    return s.Size;
}

void GdiSetScreenSize(int width, int height)
{
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384)
        return;
    TScreen& s = Screen();
    std::lock_guard lock(s.Lock);
    s.Size = SIZE{width, height};
    // Only the screen's own on-demand surface is replaced (a new one is made on
    // demand); a back-end's surface stays where it is, its owner decides.
    if (s.Surface && s.OwnsSurface) {
        TGdiBitmap* bmp = BitmapFromHandle(s.Surface);
        if (bmp && (bmp->Width() != width || bmp->Height() != height)) {
            DeleteObject(s.Surface);
            s.Surface = nullptr;
        }
    }
}

HDC CreateCompatibleDC(HDC dc)
{
    if (dc && !TDeviceContext::FromHandle(dc))
        return nullptr;
    auto* bmp = static_cast<TGdiBitmap*>(GdiLookup(StockDefaultBitmap(), OBJ_BITMAP));
    auto* ctx = new TDeviceContext(true, bmp);
    return ctx->Handle();
}

BOOL DeleteDC(HDC dc)
{
    TDeviceContext* ctx = TDeviceContext::FromHandle(dc);
    if (!ctx)
        return FALSE_;
    delete ctx;
    return TRUE_;
}

HDC GetDC(HWND wnd)
{
    if (wnd) {
        TGetWindowDCHook hook;
        {
            TScreen& s = Screen();
            std::lock_guard lock(s.Lock);
            hook = s.GetHook;
        }
        return hook ? hook(wnd) : nullptr;
    }
    HBITMAP screen = GdiScreenSurface();
    return CreateSurfaceDC(screen, POINT{0, 0}, nullptr);
}

int ReleaseDC(HWND wnd, HDC dc)
{
    if (wnd) {
        TReleaseWindowDCHook hook;
        {
            TScreen& s = Screen();
            std::lock_guard lock(s.Lock);
            hook = s.ReleaseHook;
        }
        return hook ? hook(wnd, dc) : 0;
    }
    TDeviceContext* ctx = TDeviceContext::FromHandle(dc);
    if (!ctx || ctx->IsMemoryDC())
        return 0;
    delete ctx;
    return 1;
}

namespace {

HGDIOBJ Replace(HGDIOBJ& slot, HGDIOBJ object)
{
    HGDIOBJ old = slot;
    GdiAddSelection(object);
    slot = object;
    // Released after the swap: a pending deletion of the old one may run now.
    GdiReleaseSelection(old);
    return old;
}

} // namespace

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object)
{
    TDeviceContext* ctx = TDeviceContext::FromHandle(dc);
    TGdiObject* obj = GdiLookup(object);
    if (!ctx || !obj)
        return nullptr;
    TDCState& s = ctx->State;
    switch (obj->ObjType()) {
    case OBJ_PEN:
    case OBJ_EXTPEN:
        return Replace(s.Pen, object);
    case OBJ_BRUSH:
        return Replace(s.Brush, object);
    case OBJ_FONT:
        return Replace(s.Font, object);
    case OBJ_REGION: {
        int result = SelectClipRgn(dc, static_cast<HRGN>(object));
        return reinterpret_cast<HGDIOBJ>(static_cast<std::intptr_t>(result));
    }
    case OBJ_BITMAP: {
        if (!ctx->IsMemoryDC())
            return nullptr;
        auto* bmp = static_cast<TGdiBitmap*>(obj);
        // A bitmap lives in one DC at a time (stock bitmaps in any number).
        if (!bmp->IsStock() && bmp->SelectedDC && bmp->SelectedDC != dc)
            return nullptr;
        if (object == s.Bitmap)
            return object;
        HGDIOBJ old = Replace(s.Bitmap, object);
        ctx->SetSurface(bmp);
        return old;
    }
    default:
        return nullptr;
    }
}

HGDIOBJ GetCurrentObject(HDC dc, UINT type)
{
    TDeviceContext* ctx = TDeviceContext::FromHandle(dc);
    if (!ctx)
        return nullptr;
    switch (type) {
    case OBJ_PEN: case OBJ_EXTPEN: return ctx->State.Pen;
    case OBJ_BRUSH: return ctx->State.Brush;
    case OBJ_FONT: return ctx->State.Font;
    // Window and screen DCs hold no selectable bitmap: callers that would
    // write pixel memory directly must go through the DC (origin, clip).
    case OBJ_BITMAP: return ctx->IsMemoryDC() ? ctx->State.Bitmap : StockDefaultBitmap();
    case OBJ_PAL: return nullptr;
    default: return nullptr;
    }
}

int GetDeviceCaps(HDC dc, int index)
{
    TDeviceContext* ctx = TDeviceContext::FromHandle(dc);
    if (!ctx)
        return 0;
    SIZE screen = GdiScreenSize();
    switch (index) {
    case DRIVERVERSION: return 0x4000;
    case TECHNOLOGY: return DT_RASDISPLAY;
    case HORZSIZE: return screen.cx * 254 / 960;
    case VERTSIZE: return screen.cy * 254 / 960;
    case HORZRES: case DESKTOPHORZRES: return screen.cx;
    case VERTRES: case DESKTOPVERTRES: return screen.cy;
    case BITSPIXEL: return GdiScreenBitsPerPixel();
    case PLANES: return 1;
    case NUMCOLORS: return -1;
    case NUMBRUSHES: case NUMPENS: return -1;
    case RASTERCAPS:
        return RC_BITBLT | RC_BITMAP64 | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB;
    case LOGPIXELSX: case LOGPIXELSY: return 96;
    case SIZEPALETTE: case NUMRESERVED: return 0;
    case COLORRES: return 24;
    case VREFRESH: return 60;
    case SHADEBLENDCAPS: return SB_CONST_ALPHA | SB_PIXEL_ALPHA;
    default: return 0;
    }
}

namespace {

template <class F>
BOOL WithDC(HDC dc, F&& f)
{
    TDeviceContext* ctx = TDeviceContext::FromHandle(dc);
    if (!ctx)
        return FALSE_;
    f(*ctx);
    return TRUE_;
}

BOOL SetPoint(HDC dc, POINT TDCState::*member, int x, int y, POINT* old, bool offset)
{
    TDeviceContext* ctx = TDeviceContext::FromHandle(dc);
    if (!ctx)
        return FALSE_;
    POINT& p = ctx->State.*member;
    if (old)
        *old = p;
    p = offset ? POINT{TDeviceContext::ClampCoord(static_cast<long long>(p.x) + x),
                       TDeviceContext::ClampCoord(static_cast<long long>(p.y) + y)}
               : POINT{x, y};
    return TRUE_;
}

BOOL GetPoint(HDC dc, POINT TDCState::*member, POINT* out)
{
    TDeviceContext* ctx = TDeviceContext::FromHandle(dc);
    if (!ctx || !out)
        return FALSE_;
    *out = ctx->State.*member;
    return TRUE_;
}

} // namespace

BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* old) { return SetPoint(dc, &TDCState::WindowOrg, x, y, old, false); }
BOOL GetWindowOrgEx(HDC dc, POINT* org) { return GetPoint(dc, &TDCState::WindowOrg, org); }
BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* old) { return SetPoint(dc, &TDCState::ViewportOrg, x, y, old, false); }
BOOL GetViewportOrgEx(HDC dc, POINT* org) { return GetPoint(dc, &TDCState::ViewportOrg, org); }
BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, POINT* old) { return SetPoint(dc, &TDCState::ViewportOrg, dx, dy, old, true); }
BOOL OffsetWindowOrgEx(HDC dc, int dx, int dy, POINT* old) { return SetPoint(dc, &TDCState::WindowOrg, dx, dy, old, true); }
BOOL SetBrushOrgEx(HDC dc, int x, int y, POINT* old) { return SetPoint(dc, &TDCState::BrushOrg, x, y, old, false); }
BOOL GetBrushOrgEx(HDC dc, POINT* org) { return GetPoint(dc, &TDCState::BrushOrg, org); }
BOOL MoveToEx(HDC dc, int x, int y, POINT* old) { return SetPoint(dc, &TDCState::CurrentPos, x, y, old, false); }
BOOL GetCurrentPositionEx(HDC dc, POINT* pos) { return GetPoint(dc, &TDCState::CurrentPos, pos); }

BOOL LPtoDP(HDC dc, POINT* points, int count)
{
    return WithDC(dc, [&](TDeviceContext& c) {
        POINT d = c.DeviceShift();
        for (int i = 0; points && i < count; ++i) {
            points[i].x = TDeviceContext::ClampCoord(static_cast<long long>(points[i].x) + d.x);
            points[i].y = TDeviceContext::ClampCoord(static_cast<long long>(points[i].y) + d.y);
        }
    });
}

BOOL DPtoLP(HDC dc, POINT* points, int count)
{
    return WithDC(dc, [&](TDeviceContext& c) {
        POINT d = c.DeviceShift();
        for (int i = 0; points && i < count; ++i) {
            points[i].x = TDeviceContext::ClampCoord(static_cast<long long>(points[i].x) - d.x);
            points[i].y = TDeviceContext::ClampCoord(static_cast<long long>(points[i].y) - d.y);
        }
    });
}

int SetMapMode(HDC dc, int mode)
{
    // Only the text mapping mode exists: one logical unit is one pixel.
    TDeviceContext* ctx = TDeviceContext::FromHandle(dc);
    if (!ctx || mode != MM_TEXT)
        return 0;
    return MM_TEXT;
}

int GetMapMode(HDC dc)
{
    return TDeviceContext::FromHandle(dc) ? MM_TEXT : 0;
}

int SaveDC(HDC dc)
{
    TDeviceContext* ctx = TDeviceContext::FromHandle(dc);
    if (!ctx)
        return 0;
    ctx->Saved.push_back(ctx->State);
    AddSelections(ctx->State);
    return static_cast<int>(ctx->Saved.size());
}

BOOL RestoreDC(HDC dc, int saved)
{
    TDeviceContext* ctx = TDeviceContext::FromHandle(dc);
    if (!ctx)
        return FALSE_;
    int depth = static_cast<int>(ctx->Saved.size());
    int target = saved < 0 ? depth + saved + 1 : saved;
    if (target < 1 || target > depth)
        return FALSE_;
    while (static_cast<int>(ctx->Saved.size()) > target) {
        ReleaseSelections(ctx->Saved.back());
        ctx->Saved.pop_back();
    }
    TDCState restored = std::move(ctx->Saved.back());
    ctx->Saved.pop_back();
    // The saved copy's selections move to the current state.
    ReleaseSelections(ctx->State);
    ctx->State = std::move(restored);
    if (ctx->IsMemoryDC()) {
        auto* bmp = static_cast<TGdiBitmap*>(GdiLookup(ctx->State.Bitmap, OBJ_BITMAP));
        ctx->SetSurface(bmp ? bmp : static_cast<TGdiBitmap*>(GdiLookup(StockDefaultBitmap(), OBJ_BITMAP)));
    }
    ctx->InvalidateClip();
    return TRUE_;
}

namespace {

int SetClip(TDeviceContext& ctx, std::shared_ptr<const TRegion> clip)
{
    ctx.State.ClipRgn = std::move(clip);
    ctx.InvalidateClip();
    return ctx.DeviceClip().Complexity();
}

// The region the caller's clip operations start from when none is selected.
TRegion CurrentClip(TDeviceContext& ctx)
{
    if (ctx.State.ClipRgn)
        return *ctx.State.ClipRgn;
    return ctx.DeviceExtent();
}

} // namespace

int SelectClipRgn(HDC dc, HRGN rgn)
{
    return ExtSelectClipRgn(dc, rgn, RGN_COPY);
}

int ExtSelectClipRgn(HDC dc, HRGN rgn, int mode)
{
    TDeviceContext* ctx = TDeviceContext::FromHandle(dc);
    if (!ctx || mode < RGN_AND || mode > RGN_COPY)
        return ERROR;
    TRegion* region = RegionFromHandle(rgn);
    if (!region) {
        if (rgn || mode != RGN_COPY)
            return ERROR;
        return SetClip(*ctx, nullptr);
    }
    if (mode == RGN_COPY)
        return SetClip(*ctx, std::make_shared<const TRegion>(*region));
    auto combined = std::make_shared<TRegion>(CurrentClip(*ctx));
    combined->Combine(*combined, *region, mode);
    return SetClip(*ctx, std::move(combined));
}

int GetClipBox(HDC dc, RECT* rect)
{
    TDeviceContext* ctx = TDeviceContext::FromHandle(dc);
    if (!ctx || !rect)
        return ERROR;
    TRegion clip = ctx->DeviceClip();
    POINT d = ctx->DeviceShift();
    RECT b = clip.Bounds();
    if (!clip.IsEmpty())
        b = RECT{TDeviceContext::ClampCoord(static_cast<long long>(b.left) - d.x),
                 TDeviceContext::ClampCoord(static_cast<long long>(b.top) - d.y),
                 TDeviceContext::ClampCoord(static_cast<long long>(b.right) - d.x),
                 TDeviceContext::ClampCoord(static_cast<long long>(b.bottom) - d.y)};
    *rect = b;
    return clip.Complexity();
}

int GetClipRgn(HDC dc, HRGN rgn)
{
    TDeviceContext* ctx = TDeviceContext::FromHandle(dc);
    TRegion* region = RegionFromHandle(rgn);
    if (!ctx || !region)
        return -1;
    if (!ctx->State.ClipRgn)
        return 0;
    *region = *ctx->State.ClipRgn;
    return 1;
}

int IntersectClipRect(HDC dc, int left, int top, int right, int bottom)
{
    TDeviceContext* ctx = TDeviceContext::FromHandle(dc);
    if (!ctx)
        return ERROR;
    TRegion r(ctx->ToDevice(left, top, right, bottom));
    auto combined = std::make_shared<TRegion>(CurrentClip(*ctx));
    combined->Combine(*combined, r, RGN_AND);
    return SetClip(*ctx, std::move(combined));
}

int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom)
{
    TDeviceContext* ctx = TDeviceContext::FromHandle(dc);
    if (!ctx)
        return ERROR;
    TRegion r(ctx->ToDevice(left, top, right, bottom));
    auto combined = std::make_shared<TRegion>(CurrentClip(*ctx));
    combined->Combine(*combined, r, RGN_DIFF);
    return SetClip(*ctx, std::move(combined));
}

int OffsetClipRgn(HDC dc, int dx, int dy)
{
    TDeviceContext* ctx = TDeviceContext::FromHandle(dc);
    if (!ctx)
        return ERROR;
    if (!ctx->State.ClipRgn)
        return ctx->DeviceClip().Complexity();
    constexpr int limit = 1 << 27;
    if (dx <= -limit || dx >= limit || dy <= -limit || dy >= limit)
        return ERROR;
    auto moved = std::make_shared<TRegion>(*ctx->State.ClipRgn);
    moved->Offset(dx, dy);
    return SetClip(*ctx, std::move(moved));
}

BOOL PtVisible(HDC dc, int x, int y)
{
    TDeviceContext* ctx = TDeviceContext::FromHandle(dc);
    if (!ctx)
        return FALSE_;
    LONG sx = ctx->ToSurfaceX(x), sy = ctx->ToSurfaceY(y);
    for (const RECT& r : ctx->ClipRects())
        if (sx >= r.left && sx < r.right && sy >= r.top && sy < r.bottom)
            return TRUE_;
    return FALSE_;
}

BOOL RectVisible(HDC dc, const RECT* rect)
{
    TDeviceContext* ctx = TDeviceContext::FromHandle(dc);
    if (!ctx || !rect)
        return FALSE_;
    RECT s = ctx->ToSurface(*rect);
    RECT n{std::min(s.left, s.right), std::min(s.top, s.bottom), std::max(s.left, s.right), std::max(s.top, s.bottom)};
    for (const RECT& r : ctx->ClipRects())
        if (r.left < n.right && r.right > n.left && r.top < n.bottom && r.bottom > n.top)
            return TRUE_;
    return FALSE_;
}

namespace {

template <class T>
T SetField(HDC dc, T TDCState::*member, T value, T failure)
{
    TDeviceContext* ctx = TDeviceContext::FromHandle(dc);
    if (!ctx)
        return failure;
    T old = ctx->State.*member;
    ctx->State.*member = value;
    return old;
}

template <class T>
T GetField(HDC dc, T TDCState::*member, T failure)
{
    TDeviceContext* ctx = TDeviceContext::FromHandle(dc);
    return ctx ? ctx->State.*member : failure;
}

} // namespace

int SetStretchBltMode(HDC dc, int mode)
{
    if (mode < BLACKONWHITE || mode > HALFTONE)
        return 0;
    return SetField(dc, &TDCState::StretchMode, mode, 0);
}
int GetStretchBltMode(HDC dc) { return GetField(dc, &TDCState::StretchMode, 0); }
COLORREF SetBkColor(HDC dc, COLORREF color) { return SetField(dc, &TDCState::BkColor, color & 0xFFFFFF, CLR_INVALID); }
COLORREF GetBkColor(HDC dc) { return GetField(dc, &TDCState::BkColor, CLR_INVALID); }
int SetBkMode(HDC dc, int mode)
{
    if (mode != TRANSPARENT && mode != OPAQUE)
        return 0;
    return SetField(dc, &TDCState::BkMode, mode, 0);
}
int GetBkMode(HDC dc) { return GetField(dc, &TDCState::BkMode, 0); }
COLORREF SetTextColor(HDC dc, COLORREF color) { return SetField(dc, &TDCState::TextColor, color & 0xFFFFFF, CLR_INVALID); }
COLORREF GetTextColor(HDC dc) { return GetField(dc, &TDCState::TextColor, CLR_INVALID); }
int SetROP2(HDC dc, int rop2)
{
    if (rop2 < R2_BLACK || rop2 > R2_WHITE)
        return 0;
    return SetField(dc, &TDCState::Rop2, rop2, 0);
}
int GetROP2(HDC dc) { return GetField(dc, &TDCState::Rop2, 0); }
UINT SetTextAlign(HDC dc, UINT align) { return SetField(dc, &TDCState::TextAlign, align, GDI_ERROR); }
UINT GetTextAlign(HDC dc) { return GetField(dc, &TDCState::TextAlign, GDI_ERROR); }
int SetTextCharacterExtra(HDC dc, int extra) { return SetField(dc, &TDCState::TextCharExtra, extra, static_cast<int>(0x80000000)); }
int GetTextCharacterExtra(HDC dc) { return GetField(dc, &TDCState::TextCharExtra, static_cast<int>(0x80000000)); }
int SetPolyFillMode(HDC dc, int mode)
{
    if (mode != ALTERNATE && mode != WINDING)
        return 0;
    return SetField(dc, &TDCState::PolyFillMode, mode, 0);
}
int GetPolyFillMode(HDC dc) { return GetField(dc, &TDCState::PolyFillMode, 0); }
COLORREF SetDCBrushColor(HDC dc, COLORREF color) { return SetField(dc, &TDCState::DCBrushColor, color & 0xFFFFFF, CLR_INVALID); }
COLORREF SetDCPenColor(HDC dc, COLORREF color) { return SetField(dc, &TDCState::DCPenColor, color & 0xFFFFFF, CLR_INVALID); }

COLORREF GetPixel(HDC dc, int x, int y)
{
    TDeviceContext* ctx = TDeviceContext::FromHandle(dc);
    if (!ctx || !ctx->Surface())
        return CLR_INVALID;
    LONG sx = ctx->ToSurfaceX(x), sy = ctx->ToSurfaceY(y);
    bool visible = false;
    for (const RECT& r : ctx->ClipRects())
        if (sx >= r.left && sx < r.right && sy >= r.top && sy < r.bottom) {
            visible = true;
            break;
        }
    if (!visible)
        return CLR_INVALID;
    DWORD p;
    ReadPixels(ctx->Surface()->Layout, sy, sx, 1, &p);
    return PixelToColorRef(p);
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color)
{
    TDeviceContext* ctx = TDeviceContext::FromHandle(dc);
    if (!ctx || !ctx->Surface())
        return CLR_INVALID;
    LONG sx = ctx->ToSurfaceX(x), sy = ctx->ToSurfaceY(y);
    for (const RECT& r : ctx->ClipRects())
        if (sx >= r.left && sx < r.right && sy >= r.top && sy < r.bottom) {
            DWORD p = ColorRefToPixel(color & 0xFFFFFF);
            const TPixelLayout& l = ctx->Surface()->Layout;
            WritePixels(l, sy, sx, 1, &p);
            // The colour actually stored (paletted and 16-bit surfaces).
            ReadPixels(l, sy, sx, 1, &p);
            return PixelToColorRef(p & 0xFFFFFF);
        }
    return CLR_INVALID;
}

BOOL SetPixelV(HDC dc, int x, int y, COLORREF color)
{
    return SetPixel(dc, x, y, color) != CLR_INVALID ? TRUE_ : FALSE_;
}
