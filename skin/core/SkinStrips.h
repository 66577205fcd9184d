#pragma once
// Skin pieces that grow in one direction only (tabs, header sections, tool
// bars, tracks, progress bars) as three-part strips: a fixed head, a middle
// stretched or tiled, a fixed tail; and the four frame bands of a frame as
// separate bitmaps, for callers that draw around their client area.
//
// The piece is SkinRect of Src, PW x PH. Tiles follow the nine-slice rule
// (copies of the section from the span's start, the last cut at its end).
// An empty piece, a target size of 0 or less, or a middle section of no
// length draws nothing; overflowing geometry raises EIntOverflow first.
#include "platform/rtl/Types.h"

class TBitmap;

// Dst becomes Width x PH (Height is not used).
void CreateHSkinImage(int LeftWidth, int RightWidth, TBitmap* Dst, TBitmap* Src, TRect SkinRect, int Width,
                      int Height, bool Stretch);
// A fixed head only; the middle runs to the right edge.
void CreateLeftHSkinImage(int LeftWidth, int RightWidth, TBitmap* Dst, TBitmap* Src, TRect SkinRect, int Width,
                          int Height, bool Stretch);
// The middle section alone fills the whole width.
void CreateHStretchImage(int LeftWidth, int RightWidth, TBitmap* Dst, TBitmap* Src, TRect SkinRect, int Width,
                         int Height, bool Stretch);
// Dst becomes PW x Height (Width is not used).
void CreateVSkinImage(int TopHeight, int BottomHeight, TBitmap* Dst, TBitmap* Src, TRect SkinRect, int Width,
                      int Height, bool Stretch);

// The four bands of a Width x Height frame around NewClRect. A band that
// cannot be made (no size, or a middle of no length) leaves its bitmap as
// passed and counts as height 0 for the side bands, whose height is Height
// minus the top and bottom bands made here.
void CreateSkinBorderImages(TPoint LTPt, TPoint RTPt, TPoint LBPt, TPoint RBPt, TRect ClRect, TPoint NewLTPoint,
                            TPoint NewRTPoint, TPoint NewLBPoint, TPoint NewRBPoint, TRect NewClRect,
                            TBitmap* LeftImage, TBitmap* TopImage, TBitmap* RightImage, TBitmap* BottomImage,
                            TBitmap* Src, TRect SkinRect, int Width, int Height, bool LeftStretch, bool TopStretch,
                            bool RightStretch, bool BottomStretch);
