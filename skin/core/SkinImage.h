#pragma once
// Nine-slice composition of skin pieces and window regions from masks.
//
// A piece is the rectangle SkinRect of a skin picture, cut by its client
// rectangle ClRect into bands and by the corner points LTPt, RTPt, LBPt,
// RBPt into L-shaped corners and side sections. Composing it at another size
// copies the corners unscaled, stretches or tiles the side sections, and
// stretches or tiles the client area. The target geometry (New...) is given
// by the caller; the composition never derives it. Partial tiles are cut-off
// copies, never squeezed ones.
//
// Masks: exactly black pixels belong to a window region. A mask is read row
// by row into runs, and the runs become region data (RGNDATA: a 32-byte
// header and 16-byte rectangles), freed by the caller with std::free.
//
// Geometry from skin files is checked: overflowing arithmetic raises
// EIntOverflow, and work outside the target bitmap is skipped.
#include "platform/gdi/GdiTypes.h"
#include "platform/rtl/Types.h"

#include <cstdint>

#include <vector>

class TBitmap;

// Declared in full with the skin's other enumerations (SkinTypes.h):
// spstFull, spstHorz, spstVert.
enum TspStretchType : std::uint8_t;

void CreateSkinImage(TPoint LTPt, TPoint RTPt, TPoint LBPt, TPoint RBPt, TRect ClRect, TPoint NewLTPoint,
                     TPoint NewRTPoint, TPoint NewLBPoint, TPoint NewRBPoint, TRect NewClRect, TBitmap* Dst,
                     TBitmap* Src, TRect SkinRect, int Width, int Height, bool DrawClient, bool LeftStretch,
                     bool TopStretch, bool RightStretch, bool BottomStretch, bool StretchEffect,
                     TspStretchType StretchType);
void CreateSkinImage2(TPoint LTPt, TPoint RTPt, TPoint LBPt, TPoint RBPt, TRect ClRect, TPoint NewLTPoint,
                      TPoint NewRTPoint, TPoint NewLBPoint, TPoint NewRBPoint, TRect NewClRect, TBitmap* Dst,
                      TBitmap* Src, TRect SkinRect, int Width, int Height, bool DrawClient, bool LeftStretch,
                      bool TopStretch, bool RightStretch, bool BottomStretch, bool StretchEffect,
                      TspStretchType StretchType);
// A piece without a right side (list-view header sections); RightStretch is
// not used.
void CreateLeftSkinImage(TPoint LTPt, TPoint RTPt, TPoint LBPt, TPoint RBPt, TRect ClRect, TPoint NewLTPoint,
                         TPoint NewRTPoint, TPoint NewLBPoint, TPoint NewRBPoint, TRect NewClRect, TBitmap* Dst,
                         TBitmap* Src, TRect SkinRect, int Width, int Height, bool DrawClient, bool LeftStretch,
                         bool TopStretch, bool RightStretch, bool BottomStretch, bool StretchEffect,
                         TspStretchType StretchType);
// Stretches a piece to Dst's current size: corners at the client corners,
// unscaled; sides and client stretched.
void CreateStretchImage(TBitmap* Dst, TBitmap* Src, TRect SkinRect, TRect ClRect, bool DrawClient);
// Only the client area, into a Dst of Width x Height.
void CreateSkinClientImage(TRect ClRect, TRect NewClRect, TBitmap* Dst, TBitmap* Src, TRect SkinRect, int Width,
                           int Height, bool StretchEffect, TspStretchType StretchType);

// A 24-bit top-down copy of a bitmap for fast scanning.
struct TFBColor {
    BYTE b, g, r;
};
static_assert(sizeof(TFBColor) == 3);

class TFBitmap {
public:
    explicit TFBitmap(HBITMAP HBmp);
    ~TFBitmap();
    TFBitmap(const TFBitmap&) = delete;
    TFBitmap& operator=(const TFBitmap&) = delete;

    BYTE* Bits = nullptr;
    std::vector<TFBColor*> Pixels;
    int Gap = 0;
    int RowInc = 0;
    int Size = 0;
    int Width = 0;
    int Height = 0;
    HBITMAP Handle = nullptr;
    HDC hDC = nullptr;
    BITMAPINFO bmInfo{};
    BITMAPINFOHEADER bmHeader{};
};

// Runs of black pixels as region data; returns its size in bytes (0 and
// RgnData untouched for an empty mask). The block comes from std::malloc.
int CreateRgnDataFromMask(TBitmap* Mask, int OffsetX, int OffsetY, void*& RgnData);
void CreateRegionFromMask(HRGN& Rgn, TBitmap* Mask);
void CreateBorderMasks(TPoint LTPt, TPoint RTPt, TPoint LBPt, TPoint RBPt, TRect ClRect, TPoint NewLTPoint,
                       TPoint NewRTPoint, TPoint NewLBPoint, TPoint NewRBPoint, TRect NewClRect, TBitmap* Mask,
                       TBitmap* TopMask, TBitmap* LeftMask, TBitmap* RightMask, TBitmap* BottomMask, int Width,
                       int Height);
// The union of NewClRect and the black pixels of the four band masks placed
// around it (top at the top, bottom below NewClRect, sides beside it); 0 when
// nothing is left. The caller owns the region.
HRGN RegionFromBorderMasks(TBitmap* TopMask, TBitmap* LeftMask, TBitmap* RightMask, TBitmap* BottomMask,
                           TRect NewClRect);
// The client rectangle plus the black pixels of the four band masks; 0 when
// the new corner points cross or nothing is left.
void CreateSkinRegion(HRGN& Rgn, TPoint LTPt, TPoint RTPt, TPoint LBPt, TPoint RBPt, TRect ClRect, TPoint NewLTPoint,
                      TPoint NewRTPoint, TPoint NewLBPoint, TPoint NewRBPoint, TRect NewClRect, TBitmap* Mask,
                      int Width, int Height);
