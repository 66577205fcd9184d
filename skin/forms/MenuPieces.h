#pragma once
// Small lookups shared by the skinned menus, the menu bar, the images menu
// and the hints: pictures by index, pieces that lie inside their picture,
// fixed strip ends and the work area popups are placed on.
#include "platform/rtl/Types.h"
#include "skin/core/SkinData.h"

class TBitmap;

// Entry Index of the skin's active pictures; null when out of range or empty.
TBitmap* ActivePictureAt(TspSkinData* SD, int Index);
// R has an area and lies wholly inside Picture.
bool PieceInPicture(TBitmap* Picture, const TRect& R);
// Fixed left and right widths of a strip; ends that leave no middle are
// dropped, so that an empty middle is never repeated.
void FitStripEnds(int& LO, int& RO, int PieceWidth);
// The work area of the monitor of the active form, else of the visible main
// form, else the primary work area.
TRect ActiveFormWorkArea();
