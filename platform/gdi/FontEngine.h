#pragma once
// The font engine behind font handles: finds a face file for a requested
// family (fontconfig, with fixed substitutes for the platform's usual face
// names), sizes it by the platform's height rules, computes the metrics text
// layout needs, and renders glyphs to coverage masks that are cached per
// realized font so that painting never loads or rasterises a glyph twice.
//
// Realized fonts are shared: every request with the same file, size, styles
// and rotation gets the same TFontFace. FreeType objects are private to it
// and guarded by its own mutex, so faces can be used from several threads.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// What a font handle asks for, reduced to what shapes glyphs and metrics.
struct TFontRequest {
    std::string Face;       // family name as asked ("Arial", "MS Sans Serif", ...)
    int Height = 0;         // > 0 cell height, < 0 character (em) height, 0 default
    int Width = 0;          // average character width, 0 = natural
    int Escapement = 0;     // tenths of a degree, counter-clockwise
    int Weight = 400;       // 0 counts as normal
    bool Italic = false;
    bool Antialias = true;  // false renders hard-edged glyphs
};

// Metrics of a realized font in pixels, with the platform's meaning.
struct TFontMetrics {
    int Height = 0;            // ascent + descent: the cell height
    int Ascent = 0;
    int Descent = 0;
    int InternalLeading = 0;   // cell height minus em size
    int ExternalLeading = 0;
    int AveCharWidth = 0;
    int MaxCharWidth = 0;
    int Weight = 400;
    bool Italic = false;
    bool FixedPitch = false;
    int UnderlineOffset = 0;   // rows below the baseline of the underline's top row
    int UnderlineThickness = 1;
    int StrikeoutOffset = 0;   // rows above the baseline of the strike-out's top row
    int StrikeoutThickness = 1;
    int EmSize = 0;            // pixels per em, vertically
};

// One rendered glyph. The mask's top-left pixel lies at (pen x + Left,
// pen y - Top) with y growing downward; Advance is in whole pixels along the
// unrotated baseline, AdvanceX/AdvanceY the (possibly rotated) pen movement in
// 1/64 pixel, y downward.
struct TGlyph {
    int Advance = 0;
    int AdvanceX = 0;
    int AdvanceY = 0;
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    const std::uint8_t* Coverage = nullptr;  // Width * Height bytes, 0..255
};

class TFontFace {
public:
    virtual ~TFontFace() = default;
    virtual const TFontMetrics& Metrics() const = 0;
    virtual const std::string& FamilyName() const = 0;
    virtual const std::string& FilePath() const = 0;
    virtual int Escapement() const = 0;
    // Fills Out[i] with the glyph of Text[i]. The pointers stay valid for the
    // lifetime of the face.
    virtual void Glyphs(const char32_t* Text, std::size_t Count, const TGlyph** Out) = 0;
    // Horizontal advance of one character in whole pixels.
    virtual int Advance(char32_t Ch) = 0;
    // Whether the face file itself has the character (others are borrowed
    // from a face that covers more scripts, or drawn as a box).
    virtual bool HasChar(char32_t Ch) = 0;
};

// Realizes a font for the request. Never fails while any font is installed;
// returns nullptr only when not a single face can be opened.
std::shared_ptr<TFontFace> RealizeFont(const TFontRequest& Request);

// The family a face name resolves to ("Arial" -> "Liberation Sans").
std::string ResolveFontFamily(std::string_view FaceName);

// Pixels per em for a height by the platform's rules, given the face's
// design units per em and its Windows cell (ascent + descent) in those units.
int PixelsPerEmForHeight(int Height, int UnitsPerEm, int CellUnits);

// The em size used for a height of 0.
constexpr int DefaultFontEmPixels = 12;
// Sizes beyond this are clamped: a glyph cache of giant masks helps nobody.
constexpr int MaxFontEmPixels = 2048;

// Decodes UTF-8 into code points; malformed bytes become U+FFFD.
std::u32string Utf8ToCodePoints(std::string_view Text);
void AppendUtf8(std::string& Out, char32_t Ch);
