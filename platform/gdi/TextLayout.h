#pragma once
// The formatted-text algorithm behind DrawText, as pure logic over a
// character measure: "&" prefixes, line breaks, word wrapping, tab expansion,
// the three kinds of ellipsis, alignment and the measuring mode. The result
// lists what to draw where; Text.cpp paints it with the DC's font, and tests
// run it with any measure they like.
#include "platform/rtl/Types.h"

#include <string>
#include <string_view>
#include <vector>

constexpr UINT DT_TOP = 0x00000000;
constexpr UINT DT_LEFT = 0x00000000;
constexpr UINT DT_CENTER = 0x00000001;
constexpr UINT DT_RIGHT = 0x00000002;
constexpr UINT DT_VCENTER = 0x00000004;
constexpr UINT DT_BOTTOM = 0x00000008;
constexpr UINT DT_WORDBREAK = 0x00000010;
constexpr UINT DT_SINGLELINE = 0x00000020;
constexpr UINT DT_EXPANDTABS = 0x00000040;
constexpr UINT DT_TABSTOP = 0x00000080;
constexpr UINT DT_NOCLIP = 0x00000100;
constexpr UINT DT_EXTERNALLEADING = 0x00000200;
constexpr UINT DT_CALCRECT = 0x00000400;
constexpr UINT DT_NOPREFIX = 0x00000800;
constexpr UINT DT_INTERNAL = 0x00001000;
constexpr UINT DT_EDITCONTROL = 0x00002000;
constexpr UINT DT_PATH_ELLIPSIS = 0x00004000;
constexpr UINT DT_END_ELLIPSIS = 0x00008000;
constexpr UINT DT_MODIFYSTRING = 0x00010000;
constexpr UINT DT_RTLREADING = 0x00020000;
constexpr UINT DT_WORD_ELLIPSIS = 0x00040000;
constexpr UINT DT_NOFULLWIDTHCHARBREAK = 0x00080000;
constexpr UINT DT_HIDEPREFIX = 0x00100000;
constexpr UINT DT_PREFIXONLY = 0x00200000;

// What layout needs to know of a font.
class TTextMeasure {
public:
    virtual ~TTextMeasure() = default;
    virtual int Advance(char32_t Ch) = 0;  // pixels, character extra included
    virtual int LineHeight() = 0;          // the cell height
    virtual int ExternalLeading() = 0;
    virtual int AveCharWidth() = 0;
};

struct TLayoutRun {
    int X = 0;             // left edge of the run's first character
    std::u32string Text;
};

struct TLayoutUnderline {
    int X1 = 0;            // the prefixed character's span, right exclusive
    int X2 = 0;
};

struct TLayoutLine {
    int Y = 0;             // top of the line's cell
    std::vector<TLayoutRun> Runs;
    std::vector<TLayoutUnderline> Underlines;
};

struct TLayoutOptions {
    int TabLength = 0;     // tab stops in average characters; 0 means 8
    int LeftMargin = 0;
    int RightMargin = 0;
};

struct TTextLayout {
    std::vector<TLayoutLine> Lines;
    RECT Bounds{};         // the rectangle the measuring mode returns
    int Height = 0;        // DrawText's result
    std::string Shown;     // the text as shown (ellipsis applied), UTF-8
    bool UnderlinesOnly = false;
};

TTextLayout LayoutText(std::string_view Text, const RECT& Rect, UINT Format, TTextMeasure& Measure,
                       const TLayoutOptions& Options = {});
