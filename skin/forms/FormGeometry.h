#pragma once
// Small rectangle helpers of the frame code: emptiness, moving, and the
// point test with right and bottom edges outside.
#include "platform/rtl/Types.h"

namespace spforms {

constexpr bool Empty(const RECT& R) { return R.right <= R.left || R.bottom <= R.top; }
constexpr bool Inside(const RECT& R, POINT P) { return P.x >= R.left && P.x < R.right && P.y >= R.top && P.y < R.bottom; }
constexpr TRect Moved(const RECT& R, LONG DX, LONG DY) { return TRect(R.left + DX, R.top + DY, R.right + DX, R.bottom + DY); }

}  // namespace spforms
