#include "platform/gdi/RectUtils.h"

#include <algorithm>

namespace {
bool Empty(const RECT& r)
{
    return r.right <= r.left || r.bottom <= r.top;
}
} // namespace

BOOL SetRect(RECT* rect, int left, int top, int right, int bottom)
{
    if (!rect)
        return FALSE_;
    *rect = RECT{left, top, right, bottom};
    return TRUE_;
}

BOOL SetRectEmpty(RECT* rect)
{
    return SetRect(rect, 0, 0, 0, 0);
}

BOOL CopyRect(RECT* dst, const RECT* src)
{
    if (!dst || !src)
        return FALSE_;
    *dst = *src;
    return TRUE_;
}

BOOL OffsetRect(RECT* rect, int dx, int dy)
{
    if (!rect)
        return FALSE_;
    rect->left += dx;
    rect->right += dx;
    rect->top += dy;
    rect->bottom += dy;
    return TRUE_;
}

BOOL InflateRect(RECT* rect, int dx, int dy)
{
    if (!rect)
        return FALSE_;
    rect->left -= dx;
    rect->right += dx;
    rect->top -= dy;
    rect->bottom += dy;
    return TRUE_;
}

BOOL IntersectRect(RECT* dst, const RECT* a, const RECT* b)
{
    if (!dst || !a || !b)
        return FALSE_;
    RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
           std::min(a->bottom, b->bottom)};
    if (Empty(*a) || Empty(*b) || Empty(r)) {
        *dst = RECT{};
        return FALSE_;
    }
    *dst = r;
    return TRUE_;
}

BOOL UnionRect(RECT* dst, const RECT* a, const RECT* b)
{
    if (!dst || !a || !b)
        return FALSE_;
    bool ea = Empty(*a), eb = Empty(*b);
    if (ea && eb) {
        *dst = RECT{};
        return FALSE_;
    }
    if (ea)
        *dst = *b;
    else if (eb)
        *dst = *a;
    else
        *dst = RECT{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
                    std::max(a->bottom, b->bottom)};
    return TRUE_;
}

BOOL SubtractRect(RECT* dst, const RECT* a, const RECT* b)
{
    if (!dst || !a || !b)
        return FALSE_;
    RECT r = *a;
    RECT i;
    if (IntersectRect(&i, a, b)) {
        // Only a cut that leaves a rectangle shrinks the result.
        if (i.top == r.top && i.bottom == r.bottom) {
            if (i.left == r.left) r.left = i.right;
            else if (i.right == r.right) r.right = i.left;
        } else if (i.left == r.left && i.right == r.right) {
            if (i.top == r.top) r.top = i.bottom;
            else if (i.bottom == r.bottom) r.bottom = i.top;
        }
    }
    if (Empty(r)) {
        *dst = RECT{};
        return FALSE_;
    }
    *dst = r;
    return TRUE_;
}

BOOL PtInRect(const RECT* rect, POINT pt)
{
    return rect && pt.x >= rect->left && pt.x < rect->right && pt.y >= rect->top && pt.y < rect->bottom ? TRUE_
                                                                                                         : FALSE_;
}

BOOL IsRectEmpty(const RECT* rect)
{
    return !rect || Empty(*rect) ? TRUE_ : FALSE_;
}

BOOL EqualRect(const RECT* a, const RECT* b)
{
    return a && b && *a == *b ? TRUE_ : FALSE_;
}
