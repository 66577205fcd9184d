#pragma once
// Regions as y-x banded rectangle lists: rectangles sorted by top, then left;
// rectangles of one band share top and bottom and neither overlap nor touch;
// vertically adjacent bands with the same spans are merged. This is the form
// region data is read and written in, and the form clipping works on.
#include "platform/gdi/GdiObject.h"

#include <vector>

class TRegion {
public:
    TRegion() = default;
    explicit TRegion(const RECT& r) { SetRect(r); }

    const std::vector<RECT>& Rects() const { return FRects; }
    const RECT& Bounds() const { return FBounds; }
    bool IsEmpty() const { return FRects.empty(); }
    // NULLREGION, SIMPLEREGION or COMPLEXREGION.
    int Complexity() const;

    void Clear();
    void SetRect(const RECT& r);
    void Offset(int dx, int dy);
    bool Contains(int x, int y) const;
    bool Intersects(const RECT& r) const;
    // Replaces this region with a op b (RGN_AND/OR/XOR/DIFF/COPY).
    void Combine(const TRegion& a, const TRegion& b, int mode);
    // Builds the region covered by arbitrary (possibly overlapping) rects.
    void SetFromRects(const RECT* rects, std::size_t count);

    friend bool operator==(const TRegion& a, const TRegion& b) { return a.FRects == b.FRects; }

private:
    void UpdateBounds();
    std::vector<RECT> FRects;
    RECT FBounds{};
};

class TGdiRegion final : public TGdiObject {
public:
    TGdiRegion() : TGdiObject(OBJ_REGION) {}
    int GetObjectData(int, void*) const override { return 0; }
    TRegion Region;
};

// The region object behind a handle, or null.
TRegion* RegionFromHandle(HRGN rgn);

HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const RECT* rect);
HRGN CreateEllipticRgn(int left, int top, int right, int bottom);
HRGN CreateEllipticRgnIndirect(const RECT* rect);
HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int widthEllipse, int heightEllipse);
// The transform is not supported: a non-null one makes the call fail.
HRGN ExtCreateRegion(const void* xform, DWORD count, const RGNDATA* data);
int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode);
DWORD GetRegionData(HRGN rgn, DWORD count, RGNDATA* data);
int OffsetRgn(HRGN rgn, int dx, int dy);
BOOL PtInRegion(HRGN rgn, int x, int y);
BOOL RectInRegion(HRGN rgn, const RECT* rect);
int GetRgnBox(HRGN rgn, RECT* rect);
BOOL EqualRgn(HRGN a, HRGN b);
BOOL SetRectRgn(HRGN rgn, int left, int top, int right, int bottom);
