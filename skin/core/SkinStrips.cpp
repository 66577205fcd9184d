#include "skin/core/SkinStrips.h"

#include "skin/core/SkinComposer.h"

using namespace skincompose;

namespace {

enum class TStripKind { HeadAndTail, HeadOnly, MiddleOnly };

bool Usable(TBitmap* Dst, TBitmap* Src, const TRect& SkinRect)
{
    return Dst && Src && !Src->Empty() && SkinRect.right > SkinRect.left && SkinRect.bottom > SkinRect.top;
}

void HStrip(TStripKind Kind, int LeftWidth, int RightWidth, TBitmap* Dst, TBitmap* Src, const TRect& SkinRect,
            int Width, bool Stretch)
{
    // All geometry first, so that an overflow leaves Dst as it was.
    const LONG PW = Sub(SkinRect.right, SkinRect.left), PH = Sub(SkinRect.bottom, SkinRect.top);
    // The middle section is the same in every variant.
    const LONG midLeft = LeftWidth;
    const LONG midRight = Sub(PW, RightWidth);
    const LONG spanStart = Kind == TStripKind::MiddleOnly ? 0 : LeftWidth;
    const LONG spanEnd = Kind == TStripKind::HeadAndTail ? Sub(Width, RightWidth) : Width;
    const LONG tailLeft = Sub(Width, RightWidth);
    if (!Usable(Dst, Src, SkinRect) || Width <= 0)
        return;
    Dst->SetSize(Width, PH);
    TComposer c(Dst, Src, SkinRect);
    if (Kind != TStripKind::MiddleOnly && LeftWidth != 0)
        c.Copy(TRect(0, 0, LeftWidth, PH), TRect(0, 0, LeftWidth, PH));
    if (Kind == TStripKind::HeadAndTail && RightWidth != 0)
        c.Copy(TRect(tailLeft, 0, Width, PH), TRect(midRight, 0, PW, PH));
    // A middle of no width draws nothing (Copy and the tiles skip it).
    if (Stretch)
        c.Copy(TRect(spanStart, 0, spanEnd, PH), TRect(midLeft, 0, midRight, PH));
    else
        c.TileX(midLeft, midRight, 0, PH, spanStart, spanEnd, 0, PH);
}

}  // namespace

void CreateHSkinImage(int LeftWidth, int RightWidth, TBitmap* Dst, TBitmap* Src, TRect SkinRect, int Width, int,
                      bool Stretch)
{
    HStrip(TStripKind::HeadAndTail, LeftWidth, RightWidth, Dst, Src, SkinRect, Width, Stretch);
}

void CreateLeftHSkinImage(int LeftWidth, int RightWidth, TBitmap* Dst, TBitmap* Src, TRect SkinRect, int Width,
                          int, bool Stretch)
{
    HStrip(TStripKind::HeadOnly, LeftWidth, RightWidth, Dst, Src, SkinRect, Width, Stretch);
}

void CreateHStretchImage(int LeftWidth, int RightWidth, TBitmap* Dst, TBitmap* Src, TRect SkinRect, int Width, int,
                         bool Stretch)
{
    HStrip(TStripKind::MiddleOnly, LeftWidth, RightWidth, Dst, Src, SkinRect, Width, Stretch);
}

void CreateVSkinImage(int TopHeight, int BottomHeight, TBitmap* Dst, TBitmap* Src, TRect SkinRect, int, int Height,
                      bool Stretch)
{
    const LONG PW = Sub(SkinRect.right, SkinRect.left), PH = Sub(SkinRect.bottom, SkinRect.top);
    const LONG midBottom = Sub(PH, BottomHeight);
    const LONG spanEnd = Sub(Height, BottomHeight);
    if (!Usable(Dst, Src, SkinRect) || Height <= 0)
        return;
    Dst->SetSize(PW, Height);
    TComposer c(Dst, Src, SkinRect);
    if (TopHeight != 0)
        c.Copy(TRect(0, 0, PW, TopHeight), TRect(0, 0, PW, TopHeight));
    if (BottomHeight != 0)
        c.Copy(TRect(0, spanEnd, PW, Height), TRect(0, midBottom, PW, PH));
    // A middle of height 0 draws nothing in either mode, and never divides.
    if (Stretch)
        c.Copy(TRect(0, TopHeight, PW, spanEnd), TRect(0, TopHeight, PW, midBottom));
    else
        c.TileY(TopHeight, midBottom, 0, PW, TopHeight, spanEnd, 0, PW);
}

void CreateSkinBorderImages(TPoint LTPt, TPoint RTPt, TPoint LBPt, TPoint RBPt, TRect ClRect, TPoint NewLTPoint,
                            TPoint NewRTPoint, TPoint NewLBPoint, TPoint NewRBPoint, TRect NewClRect,
                            TBitmap* LeftImage, TBitmap* TopImage, TBitmap* RightImage, TBitmap* BottomImage,
                            TBitmap* Src, TRect SkinRect, int Width, int Height, bool LeftStretch, bool TopStretch,
                            bool RightStretch, bool BottomStretch)
{
    // Geometry first: an overflow raises before any band is touched.
    const LONG PW = Sub(SkinRect.right, SkinRect.left), PH = Sub(SkinRect.bottom, SkinRect.top);
    const LONG TH = NewClRect.top;
    const LONG BH = Sub(Height, NewClRect.bottom);
    const LONG LW = NewClRect.left;
    const LONG RW = Sub(Width, NewClRect.right);
    const LONG topMid = Sub(RTPt.x, LTPt.x), bottomMid = Sub(RBPt.x, LBPt.x);
    const LONG leftMid = Sub(LBPt.y, LTPt.y), rightMid = Sub(RBPt.y, RTPt.y);
    const LONG leftHead = Sub(LTPt.y, ClRect.top), leftTail = Sub(ClRect.bottom, LBPt.y);
    const LONG rightHead = Sub(RTPt.y, ClRect.top), rightTail = Sub(ClRect.bottom, RBPt.y);
    const LONG bottomRow = Sub(PH, BH);
    const bool makeTop = Width > 0 && TH > 0 && topMid > 0 && TopImage;
    const bool makeBottom = Width > 0 && BH > 0 && bottomMid > 0 && BottomImage;
    // Bands not made here count as height 0, whatever the caller's bitmaps
    // still hold from an earlier use.
    const LONG LH = Sub(Sub(Height, makeTop ? TH : 0), makeBottom ? BH : 0);
    const LONG leftEnd = Sub(LH, leftTail), rightEnd = Sub(LH, rightTail);
    if (!Src || Src->Empty() || PW <= 0 || PH <= 0)
        return;

    if (makeTop) {
        TopImage->SetSize(Width, TH);
        TComposer c(TopImage, Src, SkinRect);
        if (TopStretch)
            c.Copy(TRect(NewLTPoint.x, 0, NewRTPoint.x, TH), TRect(LTPt.x, 0, RTPt.x, TH));
        else
            c.TileX(LTPt.x, RTPt.x, 0, TH, 0, Width, 0, TH);
        c.Copy(TRect(0, 0, NewLTPoint.x, TH), TRect(0, 0, LTPt.x, TH));
        c.Copy(TRect(NewRTPoint.x, 0, Width, TH), TRect(RTPt.x, 0, PW, TH));
    }
    if (makeBottom) {
        BottomImage->SetSize(Width, BH);
        TComposer c(BottomImage, Src, SkinRect);
        if (BottomStretch)
            c.Copy(TRect(NewLBPoint.x, 0, NewRBPoint.x, BH), TRect(LBPt.x, bottomRow, RBPt.x, PH));
        else
            c.TileX(LBPt.x, RBPt.x, bottomRow, PH, 0, Width, 0, BH);
        c.Copy(TRect(0, 0, NewLBPoint.x, BH), TRect(0, bottomRow, LBPt.x, PH));
        c.Copy(TRect(NewRBPoint.x, 0, Width, BH), TRect(RBPt.x, bottomRow, PW, PH));
    }
    if (LeftImage && LW > 0 && LH > 0 && leftMid > 0) {
        LeftImage->SetSize(LW, LH);
        TComposer c(LeftImage, Src, SkinRect);
        if (LeftStretch)
            c.Copy(TRect(0, leftHead, LW, leftEnd), TRect(0, LTPt.y, LW, LBPt.y));
        else
            c.TileY(LTPt.y, LBPt.y, 0, LW, 0, LH, 0, LW);
        if (leftHead > 0)
            c.Copy(TRect(0, 0, LW, leftHead), TRect(0, ClRect.top, LW, LTPt.y));
        if (leftTail > 0)
            c.Copy(TRect(0, leftEnd, LW, LH), TRect(0, LBPt.y, LW, ClRect.bottom));
    }
    if (RightImage && RW > 0 && LH > 0 && rightMid > 0) {
        RightImage->SetSize(RW, LH);
        TComposer c(RightImage, Src, SkinRect);
        if (RightStretch)
            c.Copy(TRect(0, rightHead, RW, rightEnd), TRect(ClRect.right, RTPt.y, PW, RBPt.y));
        else
            c.TileY(RTPt.y, RBPt.y, ClRect.right, PW, 0, LH, 0, RW);
        if (rightHead > 0)
            c.Copy(TRect(0, 0, RW, rightHead), TRect(ClRect.right, ClRect.top, PW, RTPt.y));
        if (rightTail > 0)
            c.Copy(TRect(0, rightEnd, RW, LH), TRect(ClRect.right, RBPt.y, PW, ClRect.bottom));
    }
}
