#pragma once
// Pens and brushes: solid, dashed and dotted cosmetic pens, geometric pens
// with their end caps, solid, hollow and pattern brushes, and the system
// colour brushes.
#include "platform/gdi/GdiObject.h"

#include <vector>

class TGdiPen final : public TGdiObject {
public:
    TGdiPen(DWORD style, int width, COLORREF color, bool extended)
        : TGdiObject(extended ? OBJ_EXTPEN : OBJ_PEN), Style(style), Width(width), Color(color)
    {
    }
    int GetObjectData(int size, void* buffer) const override;

    DWORD Style;   // PS_* including type, end cap and join bits
    int Width;
    COLORREF Color;
    DWORD LineStyle() const { return Style & PS_STYLE_MASK; }
    bool Geometric() const { return (Style & PS_TYPE_MASK) == PS_GEOMETRIC; }
};

class TGdiBrush final : public TGdiObject {
public:
    TGdiBrush(UINT style, COLORREF color) : TGdiObject(OBJ_BRUSH), Style(style), Color(color) {}
    int GetObjectData(int size, void* buffer) const override;

    UINT Style;
    COLORREF Color;
    std::uintptr_t Hatch = 0;
    // Pattern brushes: the pattern's pixels (0xAARRGGBB) copied at creation;
    // one-bit patterns keep their bits as 0 and 1 in MonoBits, drawn with the
    // DC's text and background colours.
    LONG PatternWidth = 0;
    LONG PatternHeight = 0;
    std::vector<DWORD> Pattern;
    bool MonoPattern = false;
    HBITMAP PatternBitmap = nullptr;
};

TGdiPen* PenFromHandle(HPEN pen);
TGdiBrush* BrushFromHandle(HBRUSH brush);

HPEN CreatePen(int style, int width, COLORREF color);
HPEN CreatePenIndirect(const LOGPEN* logPen);
HPEN ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH* brush, DWORD styleCount, const DWORD* styles);
HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH CreateBrushIndirect(const LOGBRUSH* logBrush);
HBRUSH CreatePatternBrush(HBITMAP bitmap);
HBRUSH GetSysColorBrush(int index);
