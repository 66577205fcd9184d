#pragma once
// Small lookups shared by the skinned menus, the menu bar, the images menu
// and the hints: pictures by index, pieces that lie inside their picture,
// fixed strip ends and the work area popups are placed on.
#include "platform/rtl/Types.h"
#include "skin/core/SkinData.h"

#include <algorithm>
#include <iterator>

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

// Right in keyboard menu mode (Left over reversed iterators): the item after
// the current one (active or down) gets the pointer's look, wrapping at the
// end, and an open sub-menu follows it; items that are disabled or do not
// fit are passed over. As maps an element to its item, or null for none.
template <class It, class TAs>
void StepMenuItems(It Begin, It End, TAs As)
{
    auto eligible = [&](const auto& o) {
        auto* i = As(o);
        return i && i->Enabled && i->Visible;
    };
    It cur = std::find_if(Begin, End, [&](const auto& o) { return eligible(o) && (As(o)->Active || As(o)->Down()); });
    if (cur == End) {
        It first = std::find_if(Begin, End, eligible);
        if (first != End)
            As(*first)->MouseEnter();
        return;
    }
    It next = std::find_if(std::next(cur), End, eligible);
    if (next == End)
        next = std::find_if(Begin, End, eligible);
    if (next == cur)
        return;
    if (!As(*cur)->Down())
        As(*cur)->MouseLeave();
    As(*next)->MouseEnter();
}
