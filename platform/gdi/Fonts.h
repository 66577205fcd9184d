#pragma once
// Font handles: LOGFONT descriptions turned into GDI objects that device
// contexts select, GetObject describes and DeleteObject frees. A handle
// realizes its font (FontEngine) on first use and keeps it, so drawing never
// resolves or loads a face again. The stock fonts are installed here too.
#include "platform/gdi/FontEngine.h"
#include "platform/gdi/GdiObject.h"

#include <memory>
#include <mutex>
#include <string>

constexpr int LF_FACESIZE = 32;

struct LOGFONT {
    LONG lfHeight = 0;
    LONG lfWidth = 0;
    LONG lfEscapement = 0;
    LONG lfOrientation = 0;
    LONG lfWeight = 0;
    BYTE lfItalic = 0;
    BYTE lfUnderline = 0;
    BYTE lfStrikeOut = 0;
    BYTE lfCharSet = 0;
    BYTE lfOutPrecision = 0;
    BYTE lfClipPrecision = 0;
    BYTE lfQuality = 0;
    BYTE lfPitchAndFamily = 0;
    char lfFaceName[LF_FACESIZE] = {};  // UTF-8, zero-terminated
};
using LOGFONTA = LOGFONT;
using LOGFONTW = LOGFONT;
using TLogFont = LOGFONT;

struct TEXTMETRIC {
    LONG tmHeight = 0;
    LONG tmAscent = 0;
    LONG tmDescent = 0;
    LONG tmInternalLeading = 0;
    LONG tmExternalLeading = 0;
    LONG tmAveCharWidth = 0;
    LONG tmMaxCharWidth = 0;
    LONG tmWeight = 0;
    LONG tmOverhang = 0;
    LONG tmDigitizedAspectX = 0;
    LONG tmDigitizedAspectY = 0;
    WCHAR tmFirstChar = 0;
    WCHAR tmLastChar = 0;
    WCHAR tmDefaultChar = 0;
    WCHAR tmBreakChar = 0;
    BYTE tmItalic = 0;
    BYTE tmUnderlined = 0;
    BYTE tmStruckOut = 0;
    BYTE tmPitchAndFamily = 0;
    BYTE tmCharSet = 0;
};
using TEXTMETRICA = TEXTMETRIC;
using TEXTMETRICW = TEXTMETRIC;
using TTextMetric = TEXTMETRIC;

constexpr LONG FW_DONTCARE = 0;
constexpr LONG FW_THIN = 100;
constexpr LONG FW_EXTRALIGHT = 200;
constexpr LONG FW_LIGHT = 300;
constexpr LONG FW_NORMAL = 400;
constexpr LONG FW_REGULAR = 400;
constexpr LONG FW_MEDIUM = 500;
constexpr LONG FW_SEMIBOLD = 600;
constexpr LONG FW_BOLD = 700;
constexpr LONG FW_EXTRABOLD = 800;
constexpr LONG FW_HEAVY = 900;

constexpr BYTE ANSI_CHARSET = 0;
constexpr BYTE DEFAULT_CHARSET = 1;
constexpr BYTE SYMBOL_CHARSET = 2;
constexpr BYTE SHIFTJIS_CHARSET = 128;
constexpr BYTE HANGEUL_CHARSET = 129;
constexpr BYTE GB2312_CHARSET = 134;
constexpr BYTE CHINESEBIG5_CHARSET = 136;
constexpr BYTE OEM_CHARSET = 255;
constexpr BYTE JOHAB_CHARSET = 130;
constexpr BYTE HEBREW_CHARSET = 177;
constexpr BYTE ARABIC_CHARSET = 178;
constexpr BYTE GREEK_CHARSET = 161;
constexpr BYTE TURKISH_CHARSET = 162;
constexpr BYTE VIETNAMESE_CHARSET = 163;
constexpr BYTE THAI_CHARSET = 222;
constexpr BYTE EASTEUROPE_CHARSET = 238;
constexpr BYTE RUSSIAN_CHARSET = 204;
constexpr BYTE MAC_CHARSET = 77;
constexpr BYTE BALTIC_CHARSET = 186;

constexpr BYTE OUT_DEFAULT_PRECIS = 0;
constexpr BYTE OUT_STRING_PRECIS = 1;
constexpr BYTE OUT_CHARACTER_PRECIS = 2;
constexpr BYTE OUT_STROKE_PRECIS = 3;
constexpr BYTE OUT_TT_PRECIS = 4;
constexpr BYTE OUT_DEVICE_PRECIS = 5;
constexpr BYTE OUT_RASTER_PRECIS = 6;
constexpr BYTE OUT_TT_ONLY_PRECIS = 7;
constexpr BYTE OUT_OUTLINE_PRECIS = 8;
constexpr BYTE CLIP_DEFAULT_PRECIS = 0;
constexpr BYTE CLIP_CHARACTER_PRECIS = 1;
constexpr BYTE CLIP_STROKE_PRECIS = 2;
constexpr BYTE CLIP_LH_ANGLES = 16;
constexpr BYTE DEFAULT_QUALITY = 0;
constexpr BYTE DRAFT_QUALITY = 1;
constexpr BYTE PROOF_QUALITY = 2;
constexpr BYTE NONANTIALIASED_QUALITY = 3;
constexpr BYTE ANTIALIASED_QUALITY = 4;
constexpr BYTE CLEARTYPE_QUALITY = 5;
constexpr BYTE DEFAULT_PITCH = 0;
constexpr BYTE FIXED_PITCH = 1;
constexpr BYTE VARIABLE_PITCH = 2;
constexpr BYTE FF_DONTCARE = 0x00;
constexpr BYTE FF_ROMAN = 0x10;
constexpr BYTE FF_SWISS = 0x20;
constexpr BYTE FF_MODERN = 0x30;
constexpr BYTE FF_SCRIPT = 0x40;
constexpr BYTE FF_DECORATIVE = 0x50;
// tmPitchAndFamily bits; the "fixed pitch" bit is set for variable pitch.
constexpr BYTE TMPF_FIXED_PITCH = 0x01;
constexpr BYTE TMPF_VECTOR = 0x02;
constexpr BYTE TMPF_DEVICE = 0x08;
constexpr BYTE TMPF_TRUETYPE = 0x04;

// The GDI object behind an HFONT.
class TGdiFont final : public TGdiObject {
public:
    explicit TGdiFont(const LOGFONT& lf) : TGdiObject(OBJ_FONT), FLogFont(lf)
    {
        FLogFont.lfFaceName[LF_FACESIZE - 1] = 0;
    }
    int GetObjectData(int size, void* buffer) const override;
    const LOGFONT& LogFont() const { return FLogFont; }
    // The realized font; made on first use. Null only when no font at all
    // can be opened.
    std::shared_ptr<TFontFace> Face() const;

private:
    LOGFONT FLogFont;
    mutable std::once_flag FOnce;
    mutable std::shared_ptr<TFontFace> FFace;
};

HFONT CreateFontIndirect(const LOGFONT* lf);
inline HFONT CreateFontIndirectA(const LOGFONT* lf) { return CreateFontIndirect(lf); }
inline HFONT CreateFontIndirectW(const LOGFONT* lf) { return CreateFontIndirect(lf); }
HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                 DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                 DWORD quality, DWORD pitchAndFamily, const std::string& faceName);

// What the class library's font object needs: a handle from its properties
// and the description back. Orientation goes to escapement and orientation.
struct TFontHandleStyle {
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
};
HFONT CreateFontHandle(const std::string& name, int height, TFontHandleStyle style, BYTE charSet,
                       int orientation = 0, BYTE quality = DEFAULT_QUALITY, BYTE pitch = DEFAULT_PITCH);
// Copies a font handle's description; false when the handle is not a font.
bool GetFontLogFont(HGDIOBJ font, LOGFONT& lf);

// The font a handle stands for, with the platform's defaults for anything
// else: the system font for a null, foreign or deleted handle, the stock
// description for a stock font. Never null while any font is installed.
std::shared_ptr<TFontFace> FontFaceOf(HGDIOBJ font);
// The description a handle draws with (defaults as FontFaceOf).
LOGFONT FontLogFontOf(HGDIOBJ font);
// The description of a stock font.
LOGFONT StockFontLogFont(int stockIndex);
// The realization request for a description.
TFontRequest FontRequestOf(const LOGFONT& lf);

// Installs the stock fonts as real fonts (done once, automatically, by any
// program that links the text functions).
void GdiInstallStockFonts();
