#pragma once
// Rectangle helpers with the platform's rules: a rectangle is empty when its
// right is not beyond its left or its bottom not below its top; right and
// bottom are exclusive.
#include "platform/rtl/Types.h"

BOOL SetRect(RECT* rect, int left, int top, int right, int bottom);
BOOL SetRectEmpty(RECT* rect);
BOOL CopyRect(RECT* dst, const RECT* src);
BOOL OffsetRect(RECT* rect, int dx, int dy);
BOOL InflateRect(RECT* rect, int dx, int dy);
// The overlap; empty (all zero) and FALSE when there is none.
BOOL IntersectRect(RECT* dst, const RECT* a, const RECT* b);
// The smallest rectangle holding both; empty inputs are ignored.
BOOL UnionRect(RECT* dst, const RECT* a, const RECT* b);
BOOL SubtractRect(RECT* dst, const RECT* a, const RECT* b);
BOOL PtInRect(const RECT* rect, POINT pt);
BOOL IsRectEmpty(const RECT* rect);
BOOL EqualRect(const RECT* a, const RECT* b);
