#pragma once
// Text output and measuring on device contexts, with the DC's selected font,
// text colour, background mode and colour, text alignment, character extra,
// origins and clip. Texts are UTF-8; a count is in bytes, and -1 (or any
// negative count) means the whole text. Widths and positions per character
// count code points.
#include "platform/gdi/Fonts.h"
#include "platform/gdi/TextLayout.h"

#include <string>
#include <string_view>

constexpr UINT ETO_OPAQUE = 0x0002;
constexpr UINT ETO_CLIPPED = 0x0004;
constexpr UINT ETO_GLYPH_INDEX = 0x0010;
constexpr UINT ETO_RTLREADING = 0x0080;
constexpr UINT ETO_IGNORELANGUAGE = 0x1000;

struct DRAWTEXTPARAMS {
    UINT cbSize = sizeof(DRAWTEXTPARAMS);
    int iTabLength = 0;
    int iLeftMargin = 0;
    int iRightMargin = 0;
    UINT uiLengthDrawn = 0;
};

struct ABC {
    int abcA = 0;
    UINT abcB = 0;
    int abcC = 0;
};

BOOL TextOut(HDC dc, int x, int y, std::string_view text, int count = -1);
inline BOOL TextOutA(HDC dc, int x, int y, std::string_view text, int count = -1) { return TextOut(dc, x, y, text, count); }
inline BOOL TextOutW(HDC dc, int x, int y, std::string_view text, int count = -1) { return TextOut(dc, x, y, text, count); }

// Dx, when given, holds one advance per code point.
BOOL ExtTextOut(HDC dc, int x, int y, UINT options, const RECT* rect, std::string_view text, int count = -1,
                const INT* dx = nullptr);
inline BOOL ExtTextOutW(HDC dc, int x, int y, UINT options, const RECT* rect, std::string_view text, int count = -1,
                        const INT* dx = nullptr)
{
    return ExtTextOut(dc, x, y, options, rect, text, count, dx);
}

// Returns the text's height (see TextLayout.h); 0 on failure.
int DrawText(HDC dc, std::string_view text, int count, RECT* rect, UINT format);
inline int DrawTextA(HDC dc, std::string_view text, int count, RECT* rect, UINT format) { return DrawText(dc, text, count, rect, format); }
inline int DrawTextW(HDC dc, std::string_view text, int count, RECT* rect, UINT format) { return DrawText(dc, text, count, rect, format); }
int DrawTextEx(HDC dc, std::string_view text, int count, RECT* rect, UINT format, DRAWTEXTPARAMS* params);
// With DT_MODIFYSTRING the text receives what was shown when an ellipsis cut it.
int DrawTextEx(HDC dc, std::string* text, int count, RECT* rect, UINT format, DRAWTEXTPARAMS* params);

// Tab stops: none given, every 8 average characters; one, every that many
// pixels; more, at those pixel positions from TabOrigin. Returns the width
// and height of the text (MAKELONG).
LONG TabbedTextOut(HDC dc, int x, int y, std::string_view text, int count, int tabCount, const INT* tabs,
                   int tabOrigin);
DWORD GetTabbedTextExtent(HDC dc, std::string_view text, int count, int tabCount, const INT* tabs);

BOOL GetTextExtentPoint32(HDC dc, std::string_view text, int count, SIZE* size);
inline BOOL GetTextExtentPoint32W(HDC dc, std::string_view text, int count, SIZE* size) { return GetTextExtentPoint32(dc, text, count, size); }
inline BOOL GetTextExtentPoint(HDC dc, std::string_view text, int count, SIZE* size) { return GetTextExtentPoint32(dc, text, count, size); }
// Fit receives how many code points fit in MaxExtent; Dx (one entry per code
// point) the extent of the text up to and including each one.
BOOL GetTextExtentExPoint(HDC dc, std::string_view text, int count, int maxExtent, int* fit, int* dx, SIZE* size);

BOOL GetTextMetrics(HDC dc, TEXTMETRIC* tm);
inline BOOL GetTextMetricsW(HDC dc, TEXTMETRIC* tm) { return GetTextMetrics(dc, tm); }
// Copies the face name (UTF-8, zero-terminated) and returns its length
// including the terminator; with a null buffer, the length needed.
int GetTextFace(HDC dc, int count, char* name);
BOOL GetCharWidth32(HDC dc, UINT first, UINT last, INT* widths);
BOOL GetCharABCWidths(HDC dc, UINT first, UINT last, ABC* widths);

// Metrics of a font handle without a DC, as GetTextMetrics reports them.
bool GetFontTextMetrics(HGDIOBJ font, TEXTMETRIC& tm);
