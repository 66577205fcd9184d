#pragma once
// Device contexts. A DC draws onto a target surface: the bitmap selected
// into a memory DC, or a surface the window system hands over (a window's
// part of the screen or of its own backing bitmap). Coordinates run
//   logical -> device:  x - window origin + viewport origin
//   device  -> surface: x + the DC's surface origin
// and every drawing call is cut once to the DC's clip: the surface bounds,
// the visible region set by the window system and the clip region selected
// by the caller (both in device coordinates), cached as a rectangle list in
// surface coordinates until one of them changes.
//
// Window system interface: CreateSurfaceDC makes a DC for any bitmap (of
// any depth) with a surface origin and an optional visible region;
// SetSurfaceDCOrigin / SetSurfaceDCVisRegion update them as windows move;
// DeleteDC ends it. GetDC(HWND)/ReleaseDC(HWND, HDC) forward to hooks the
// window system installs with GdiSetWindowDCHooks; GetDC(nullptr) is a DC
// onto the screen surface (GdiScreenSurface), which the window system may
// replace with GdiSetScreenSurface. Like the platform's window DCs, surface
// DCs select no bitmaps and report a one-pixel placeholder as their current
// bitmap, so nobody writes their pixel memory around the origin and clip;
// the window system reaches the surface through TDeviceContext::Surface().
// A surface cannot be deleted while a DC draws on it.
#include "platform/gdi/Bitmaps.h"
#include "platform/gdi/Regions.h"

#include <memory>
#include <optional>
#include <vector>

constexpr int MM_TEXT = 1;
constexpr int ALTERNATE = 1;
constexpr int WINDING = 2;

struct TDCState {
    HGDIOBJ Pen = nullptr;
    HGDIOBJ Brush = nullptr;
    HGDIOBJ Font = nullptr;
    HGDIOBJ Bitmap = nullptr;  // memory DCs only
    POINT WindowOrg{};
    POINT ViewportOrg{};
    POINT BrushOrg{};
    POINT CurrentPos{};
    // Caller's clip region in device coordinates; null when none.
    std::shared_ptr<const TRegion> ClipRgn;
    COLORREF TextColor = 0;
    COLORREF BkColor = RGB(255, 255, 255);
    COLORREF DCBrushColor = RGB(255, 255, 255);
    COLORREF DCPenColor = 0;
    int BkMode = OPAQUE;
    int Rop2 = R2_COPYPEN;
    int StretchMode = BLACKONWHITE;
    int PolyFillMode = ALTERNATE;
    int MapMode = MM_TEXT;
    UINT TextAlign = TA_LEFT | TA_TOP;
    int TextCharExtra = 0;
};

class TDeviceContext {
public:
    TDeviceContext(bool memory, TGdiBitmap* surface);
    ~TDeviceContext();
    TDeviceContext(const TDeviceContext&) = delete;
    TDeviceContext& operator=(const TDeviceContext&) = delete;

    // The live DC behind a handle, or null.
    static TDeviceContext* FromHandle(HDC dc);
    HDC Handle() { return reinterpret_cast<HDC>(this); }

    bool IsMemoryDC() const { return FMemory; }
    TGdiBitmap* Surface() const { return FSurface; }
    const TPixelLayout* Layout() const { return FSurface ? &FSurface->Layout : nullptr; }

    TDCState State;

    // Coordinates are kept within +-2^30 so that extents of sane size added
    // to them cannot overflow; anything that far out is clipped anyway.
    static LONG ClampCoord(long long v)
    {
        constexpr long long limit = 1LL << 30;
        return static_cast<LONG>(v < -limit ? -limit : v > limit ? limit : v);
    }
    // Logical point to surface pixel.
    LONG ToSurfaceX(LONG x) const
    {
        return ClampCoord(static_cast<long long>(x) - State.WindowOrg.x + State.ViewportOrg.x + FOrigin.x);
    }
    LONG ToSurfaceY(LONG y) const
    {
        return ClampCoord(static_cast<long long>(y) - State.WindowOrg.y + State.ViewportOrg.y + FOrigin.y);
    }
    RECT ToSurface(const RECT& r) const
    {
        return RECT{ToSurfaceX(r.left), ToSurfaceY(r.top), ToSurfaceX(r.right), ToSurfaceY(r.bottom)};
    }
    // Device offset of logical coordinates (viewport minus window origin).
    POINT DeviceShift() const
    {
        return POINT{ClampCoord(static_cast<long long>(State.ViewportOrg.x) - State.WindowOrg.x),
                     ClampCoord(static_cast<long long>(State.ViewportOrg.y) - State.WindowOrg.y)};
    }
    // A logical rectangle in device coordinates.
    RECT ToDevice(int left, int top, int right, int bottom) const
    {
        POINT d = DeviceShift();
        return RECT{ClampCoord(static_cast<long long>(left) + d.x), ClampCoord(static_cast<long long>(top) + d.y),
                    ClampCoord(static_cast<long long>(right) + d.x), ClampCoord(static_cast<long long>(bottom) + d.y)};
    }
    POINT Origin() const { return FOrigin; }

    // The effective clip in surface coordinates, sorted in bands.
    const std::vector<RECT>& ClipRects();
    const RECT& ClipBounds();
    // The effective clip in device coordinates as a region.
    TRegion DeviceClip();
    // The region the caller's clip replaces or combines with: the visible
    // part of the surface in device coordinates.
    TRegion DeviceExtent() const;
    void InvalidateClip() { FClipValid = false; }

    // Memory DCs: swaps the target bitmap (selection bookkeeping included).
    void SetSurface(TGdiBitmap* surface);
    void SetOrigin(POINT origin);
    void SetVisRegion(const TRegion* vis);

    std::vector<TDCState> Saved;

private:
    void RebuildClip();
    bool FMemory;
    TGdiBitmap* FSurface;
    POINT FOrigin{};
    std::optional<TRegion> FVisRgn;
    bool FClipValid = false;
    std::vector<RECT> FClip;
    RECT FClipBounds{};
};

// Window system interface.
HDC CreateSurfaceDC(HBITMAP surface, POINT origin, const TRegion* visRegion);
BOOL SetSurfaceDCOrigin(HDC dc, POINT origin);
BOOL SetSurfaceDCVisRegion(HDC dc, const TRegion* visRegion);
// The DC's surface origin (where device (0, 0) lies on its surface).
BOOL GetDCOrgEx(HDC dc, POINT* origin);
using TGetWindowDCHook = HDC (*)(HWND);
using TReleaseWindowDCHook = int (*)(HWND, HDC);
void GdiSetWindowDCHooks(TGetWindowDCHook getDC, TReleaseWindowDCHook releaseDC);
// The screen: a 32-bit surface of the screen size, made on first use.
HBITMAP GdiScreenSurface();
void GdiSetScreenSurface(HBITMAP surface);
SIZE GdiScreenSize();
void GdiSetScreenSize(int width, int height);

HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
HDC GetDC(HWND wnd);
int ReleaseDC(HWND wnd, HDC dc);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
HGDIOBJ GetCurrentObject(HDC dc, UINT type);
int GetDeviceCaps(HDC dc, int index);

BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* old);
BOOL GetWindowOrgEx(HDC dc, POINT* org);
BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* old);
BOOL GetViewportOrgEx(HDC dc, POINT* org);
BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, POINT* old);
BOOL OffsetWindowOrgEx(HDC dc, int dx, int dy, POINT* old);
BOOL SetBrushOrgEx(HDC dc, int x, int y, POINT* old);
BOOL GetBrushOrgEx(HDC dc, POINT* org);
BOOL LPtoDP(HDC dc, POINT* points, int count);
BOOL DPtoLP(HDC dc, POINT* points, int count);
int SetMapMode(HDC dc, int mode);
int GetMapMode(HDC dc);

int SaveDC(HDC dc);
BOOL RestoreDC(HDC dc, int saved);

int SelectClipRgn(HDC dc, HRGN rgn);
int ExtSelectClipRgn(HDC dc, HRGN rgn, int mode);
int GetClipBox(HDC dc, RECT* rect);
int GetClipRgn(HDC dc, HRGN rgn);
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom);
int OffsetClipRgn(HDC dc, int dx, int dy);
BOOL PtVisible(HDC dc, int x, int y);
BOOL RectVisible(HDC dc, const RECT* rect);

int SetStretchBltMode(HDC dc, int mode);
int GetStretchBltMode(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF color);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF GetTextColor(HDC dc);
int SetROP2(HDC dc, int rop2);
int GetROP2(HDC dc);
UINT SetTextAlign(HDC dc, UINT align);
UINT GetTextAlign(HDC dc);
int SetTextCharacterExtra(HDC dc, int extra);
int GetTextCharacterExtra(HDC dc);
int SetPolyFillMode(HDC dc, int mode);
int GetPolyFillMode(HDC dc);
COLORREF SetDCBrushColor(HDC dc, COLORREF color);
COLORREF SetDCPenColor(HDC dc, COLORREF color);
BOOL MoveToEx(HDC dc, int x, int y, POINT* old);
BOOL GetCurrentPositionEx(HDC dc, POINT* pos);

COLORREF GetPixel(HDC dc, int x, int y);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
BOOL SetPixelV(HDC dc, int x, int y, COLORREF color);
