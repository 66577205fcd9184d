#include "platform/gdi/PensBrushes.h"

#include "platform/gdi/Bitmaps.h"
#include "platform/gdi/SysColors.h"

#include <cstring>
#include <mutex>

int TGdiPen::GetObjectData(int size, void* buffer) const
{
    if (ObjType() == OBJ_EXTPEN) {
        EXTLOGPEN p;
        p.elpPenStyle = Style;
        p.elpWidth = static_cast<DWORD>(Width);
        p.elpBrushStyle = BS_SOLID;
        p.elpColor = Color;
        int needed = static_cast<int>(offsetof(EXTLOGPEN, elpStyleEntry));
        if (!buffer)
            return needed;
        if (size < needed)
            return 0;
        std::memcpy(buffer, &p, static_cast<std::size_t>(needed));
        return needed;
    }
    LOGPEN p;
    p.lopnStyle = Style;
    p.lopnWidth = POINT{Width, 0};
    p.lopnColor = Color;
    if (!buffer)
        return sizeof(LOGPEN);
    if (size < static_cast<int>(sizeof(LOGPEN)))
        return 0;
    std::memcpy(buffer, &p, sizeof p);
    return sizeof(LOGPEN);
}

int TGdiBrush::GetObjectData(int size, void* buffer) const
{
    LOGBRUSH b;
    b.lbStyle = Style;
    b.lbColor = Color;
    b.lbHatch = Style == BS_PATTERN ? reinterpret_cast<std::uintptr_t>(PatternBitmap) : Hatch;
    if (!buffer)
        return sizeof(LOGBRUSH);
    if (size < static_cast<int>(sizeof(LOGBRUSH)))
        return 0;
    std::memcpy(buffer, &b, sizeof b);
    return sizeof(LOGBRUSH);
}

TGdiPen* PenFromHandle(HPEN pen)
{
    return GdiLookupAs<TGdiPen>(pen, OBJ_PEN);
}

TGdiBrush* BrushFromHandle(HBRUSH brush)
{
    return GdiLookupAs<TGdiBrush>(brush, OBJ_BRUSH);
}

HPEN CreatePen(int style, int width, COLORREF color)
{
    DWORD s = static_cast<DWORD>(style);
    if ((s & PS_STYLE_MASK) > PS_INSIDEFRAME || (s & ~PS_STYLE_MASK) != 0)
        return nullptr;
    // Wide pens are always solid.
    if (width > 1 && (s == PS_DASH || s == PS_DOT || s == PS_DASHDOT || s == PS_DASHDOTDOT))
        s = PS_SOLID;
    return static_cast<HPEN>(GdiRegister(std::make_unique<TGdiPen>(s, width < 0 ? 0 : width, color, false)));
}

HPEN CreatePenIndirect(const LOGPEN* logPen)
{
    return logPen ? CreatePen(static_cast<int>(logPen->lopnStyle), logPen->lopnWidth.x, logPen->lopnColor) : nullptr;
}

HPEN ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH* brush, DWORD, const DWORD*)
{
    if (!brush || (style & PS_STYLE_MASK) > PS_ALTERNATE || width > 0x10000)
        return nullptr;
    bool geometric = (style & PS_TYPE_MASK) == PS_GEOMETRIC;
    if (!geometric && width != 1)
        return nullptr;
    COLORREF color = brush->lbStyle == BS_NULL ? 0 : brush->lbColor;
    DWORD s = style;
    if (brush->lbStyle == BS_NULL)
        s = (s & ~PS_STYLE_MASK) | PS_NULL;
    return static_cast<HPEN>(GdiRegister(std::make_unique<TGdiPen>(s, static_cast<int>(width), color, true)));
}

HBRUSH CreateSolidBrush(COLORREF color)
{
    return static_cast<HBRUSH>(GdiRegister(std::make_unique<TGdiBrush>(BS_SOLID, color & 0xFFFFFF)));
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* logBrush)
{
    if (!logBrush)
        return nullptr;
    switch (logBrush->lbStyle) {
    case BS_SOLID:
        return CreateSolidBrush(logBrush->lbColor);
    case BS_NULL:
        return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    case BS_PATTERN:
        return CreatePatternBrush(reinterpret_cast<HBITMAP>(logBrush->lbHatch));
    case BS_HATCHED: {
        // Hatch patterns are drawn as the solid colour; nothing in the system
        // depends on the hatch lines.
        auto b = std::make_unique<TGdiBrush>(BS_SOLID, logBrush->lbColor & 0xFFFFFF);
        b->Hatch = logBrush->lbHatch;
        return static_cast<HBRUSH>(GdiRegister(std::move(b)));
    }
    default:
        return nullptr;
    }
}

HBRUSH CreatePatternBrush(HBITMAP bitmap)
{
    TGdiBitmap* bmp = BitmapFromHandle(bitmap);
    if (!bmp)
        return nullptr;
    auto b = std::make_unique<TGdiBrush>(BS_PATTERN, 0);
    b->PatternWidth = bmp->Width();
    b->PatternHeight = bmp->Height();
    b->PatternBitmap = bitmap;
    b->Pattern.resize(static_cast<std::size_t>(bmp->Width()) * bmp->Height());
    b->MonoPattern = bmp->MonoDDB;
    for (LONG y = 0; y < bmp->Height(); ++y)
        ReadPixels(bmp->Layout, y, 0, bmp->Width(), b->Pattern.data() + static_cast<std::size_t>(y) * bmp->Width());
    if (b->MonoPattern)
        for (DWORD& p : b->Pattern)
            p = (p & 0xFFFFFF) ? 1u : 0u;
    return static_cast<HBRUSH>(GdiRegister(std::move(b)));
}

HBRUSH GetSysColorBrush(int index)
{
    if (index < 0 || index >= SysColorCount)
        return nullptr;
    static std::mutex lock;
    static HGDIOBJ brushes[SysColorCount] = {};
    std::lock_guard guard(lock);
    if (!brushes[index])
        brushes[index] = GdiMakeStock(std::make_unique<TGdiBrush>(BS_SOLID, GetSysColor(index)), -1);
    return static_cast<HBRUSH>(brushes[index]);
}
