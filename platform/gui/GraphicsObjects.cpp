#include "platform/gui/GraphicsObjects.h"

#include "platform/gdi/Fonts.h"
#include "platform/gui/Bitmap.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>

// ---- TGraphicsObject ------------------------------------------------------

void TGraphicsObject::Changed()
{
    if (OnChange) OnChange(this);
}

// ---- TFont ----------------------------------------------------------------

TFont::TFont() = default;

TFont::~TFont() { FreeHandle(); }

void TFont::FreeHandle()
{
    std::lock_guard lock(FLock);
    if (FHandle) DeleteObject(FHandle);
    FHandle = nullptr;
}

void TFont::Changed()
{
    FreeHandle();
    TGraphicsObject::Changed();
}

void TFont::Assign(TPersistent* Source)
{
    if (auto* f = dynamic_cast<TFont*>(Source)) {
        if (f == this) return;
        FColor = f->FColor;
        FHeight = f->FHeight;
        FName = f->FName;
        FStyle = f->FStyle;
        FPitch = f->FPitch;
        FCharset = f->FCharset;
        FOrientation = f->FOrientation;
        FQuality = f->FQuality;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

HFONT TFont::Handle()
{
    std::lock_guard lock(FLock);
    if (!FHandle) {
        TFontHandleStyle style;
        style.Bold = FStyle.Contains(fsBold);
        style.Italic = FStyle.Contains(fsItalic);
        style.Underline = FStyle.Contains(fsUnderline);
        style.StrikeOut = FStyle.Contains(fsStrikeOut);
        const BYTE pitch = FPitch == fpFixed ? FIXED_PITCH : FPitch == fpVariable ? VARIABLE_PITCH : DEFAULT_PITCH;
        FHandle = CreateFontHandle(FName, FHeight, style, FCharset, FOrientation, static_cast<BYTE>(FQuality), pitch);
    }
    return FHandle;
}

void TFont::SetHandle(HFONT font)
{
    LOGFONT lf;
    if (!GetFontLogFont(font, lf)) return;
    FHeight = lf.lfHeight;
    FName = lf.lfFaceName;
    FStyle = TFontStyles();
    if (lf.lfWeight >= 700) FStyle.Include(fsBold);
    if (lf.lfItalic) FStyle.Include(fsItalic);
    if (lf.lfUnderline) FStyle.Include(fsUnderline);
    if (lf.lfStrikeOut) FStyle.Include(fsStrikeOut);
    FCharset = lf.lfCharSet;
    FOrientation = lf.lfEscapement;
    const BYTE pitch = lf.lfPitchAndFamily & 3;
    FPitch = pitch == FIXED_PITCH ? fpFixed : pitch == VARIABLE_PITCH ? fpVariable : fpDefault;
    Changed();
}

void TFont::SetColor(TColor value)
{
    if (value == FColor) return;
    FColor = value;
    TGraphicsObject::Changed();  // the colour is the canvas's text colour, not part of the handle
}

void TFont::SetHeight(int value)
{
    if (value == FHeight) return;
    FHeight = value;
    Changed();
}

// Size in points from a height in pixels, rounded like the platform's MulDiv.
static int MulDivRound(int a, int b, int c)
{
    const long long p = static_cast<long long>(a) * b;
    return static_cast<int>(p >= 0 ? (p + c / 2) / c : -((-p + c / 2) / c));
}

int TFont::Size() const { return -MulDivRound(FHeight, 72, ScreenPixelsPerInch); }

void TFont::SetSize(int value) { SetHeight(-MulDivRound(value, ScreenPixelsPerInch, 72)); }

void TFont::SetName(const std::string& value)
{
    if (value.empty() || value == FName) return;
    FName = value;
    Changed();
}

void TFont::SetStyle(TFontStyles value)
{
    if (value == FStyle) return;
    FStyle = value;
    Changed();
}

void TFont::SetPitch(TFontPitch value)
{
    if (value == FPitch) return;
    FPitch = value;
    Changed();
}

void TFont::SetCharset(TFontCharset value)
{
    if (value == FCharset) return;
    FCharset = value;
    Changed();
}

void TFont::SetOrientation(int value)
{
    if (value == FOrientation) return;
    FOrientation = value;
    Changed();
}

void TFont::SetQuality(TFontQuality value)
{
    if (value == FQuality) return;
    FQuality = value;
    Changed();
}

// ---- TPen -----------------------------------------------------------------

int PenModeToRop2(TPenMode mode)
{
    static const int rop2[] = {R2_BLACK,       R2_WHITE,       R2_NOP,        R2_NOT,
                               R2_COPYPEN,     R2_NOTCOPYPEN,  R2_MERGEPENNOT, R2_MASKPENNOT,
                               R2_MERGENOTPEN, R2_MASKNOTPEN,  R2_MERGEPEN,   R2_NOTMERGEPEN,
                               R2_MASKPEN,     R2_NOTMASKPEN,  R2_XORPEN,     R2_NOTXORPEN};
    return rop2[mode];
}

TPen::~TPen()
{
    if (FHandle) DeleteObject(FHandle);
}

void TPen::Changed()
{
    {
        std::lock_guard lock(FLock);
        if (FHandle) DeleteObject(FHandle);
        FHandle = nullptr;
    }
    TGraphicsObject::Changed();
}

void TPen::Assign(TPersistent* Source)
{
    if (auto* p = dynamic_cast<TPen*>(Source)) {
        if (p == this) return;
        FColor = p->FColor;
        FWidth = p->FWidth;
        FStyle = p->FStyle;
        FMode = p->FMode;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

HPEN TPen::Handle()
{
    std::lock_guard lock(FLock);
    if (!FHandle) {
        static const DWORD styles[] = {PS_SOLID, PS_DASH,        PS_DOT,       PS_DASHDOT, PS_DASHDOTDOT,
                                       PS_NULL,  PS_INSIDEFRAME, PS_USERSTYLE, PS_ALTERNATE};
        DWORD style = styles[FStyle];
        if (style == PS_USERSTYLE || style == PS_ALTERNATE) style = PS_DOT;
        FHandle = CreatePen(static_cast<int>(style), FWidth, ColorToRGB(FColor));
    }
    return FHandle;
}

void TPen::SetColor(TColor value)
{
    if (value == FColor) return;
    FColor = value;
    Changed();
}

void TPen::SetWidth(int value)
{
    if (value < 0 || value == FWidth) return;
    FWidth = value;
    Changed();
}

void TPen::SetStyle(TPenStyle value)
{
    if (value == FStyle) return;
    FStyle = value;
    Changed();
}

void TPen::SetMode(TPenMode value)
{
    if (value == FMode) return;
    FMode = value;
    TGraphicsObject::Changed();  // the mode is the canvas's raster operation
}

// ---- TBrush ---------------------------------------------------------------

TBrush::~TBrush()
{
    if (FHandle) DeleteObject(FHandle);
}

void TBrush::Changed()
{
    {
        std::lock_guard lock(FLock);
        if (FHandle) DeleteObject(FHandle);
        FHandle = nullptr;
    }
    TGraphicsObject::Changed();
}

void TBrush::Assign(TPersistent* Source)
{
    if (auto* b = dynamic_cast<TBrush*>(Source)) {
        if (b == this) return;
        FColor = b->FColor;
        FStyle = b->FStyle;
        FBitmap = b->FBitmap;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

HBRUSH TBrush::Handle()
{
    std::lock_guard lock(FLock);
    if (!FHandle) {
        if (FBitmap && !FBitmap->Empty()) {
            FHandle = CreatePatternBrush(FBitmap->Handle());
        } else if (FStyle == bsClear) {
            LOGBRUSH lb;
            lb.lbStyle = BS_NULL;
            FHandle = CreateBrushIndirect(&lb);
        } else if (FStyle == bsSolid) {
            FHandle = CreateSolidBrush(ColorToRGB(FColor));
        } else {
            LOGBRUSH lb;
            lb.lbStyle = BS_HATCHED;
            lb.lbColor = ColorToRGB(FColor);
            lb.lbHatch = static_cast<std::uintptr_t>(FStyle - bsHorizontal);
            FHandle = CreateBrushIndirect(&lb);
            if (!FHandle) FHandle = CreateSolidBrush(lb.lbColor);
        }
    }
    return FHandle;
}

void TBrush::SetColor(TColor value)
{
    if (value == FColor && FStyle != bsClear) return;
    FColor = value;
    if (FStyle == bsClear) FStyle = bsSolid;
    Changed();
}

void TBrush::SetStyle(TBrushStyle value)
{
    if (value == FStyle) return;
    FStyle = value;
    Changed();
}

void TBrush::SetBitmap(TBitmap* value)
{
    FBitmap = value;
    Changed();
}

// ---- Names in stored descriptions ---------------------------------------------------

const TIdentMap& ColorIdents()
{
    static const TIdentMap map{
        {clBlack, "clBlack"}, {clMaroon, "clMaroon"}, {clGreen, "clGreen"}, {clOlive, "clOlive"},
        {clNavy, "clNavy"}, {clPurple, "clPurple"}, {clTeal, "clTeal"}, {clGray, "clGray"},
        {clSilver, "clSilver"}, {clRed, "clRed"}, {clLime, "clLime"}, {clYellow, "clYellow"},
        {clBlue, "clBlue"}, {clFuchsia, "clFuchsia"}, {clAqua, "clAqua"}, {clWhite, "clWhite"},
        {clMoneyGreen, "clMoneyGreen"}, {clSkyBlue, "clSkyBlue"}, {clCream, "clCream"},
        {clMedGray, "clMedGray"}, {clNone, "clNone"}, {clDefault, "clDefault"},
        {clScrollBar, "clScrollBar"}, {clBackground, "clBackground"}, {clActiveCaption, "clActiveCaption"},
        {clInactiveCaption, "clInactiveCaption"}, {clMenu, "clMenu"}, {clWindow, "clWindow"},
        {clWindowFrame, "clWindowFrame"}, {clMenuText, "clMenuText"}, {clWindowText, "clWindowText"},
        {clCaptionText, "clCaptionText"}, {clActiveBorder, "clActiveBorder"},
        {clInactiveBorder, "clInactiveBorder"}, {clAppWorkSpace, "clAppWorkSpace"},
        {clHighlight, "clHighlight"}, {clHighlightText, "clHighlightText"}, {clBtnFace, "clBtnFace"},
        {clBtnShadow, "clBtnShadow"}, {clGrayText, "clGrayText"}, {clBtnText, "clBtnText"},
        {clInactiveCaptionText, "clInactiveCaptionText"}, {clBtnHighlight, "clBtnHighlight"},
        {cl3DDkShadow, "cl3DDkShadow"}, {cl3DLight, "cl3DLight"}, {clInfoText, "clInfoText"},
        {clInfoBk, "clInfoBk"}, {clHotLight, "clHotLight"},
        {clGradientActiveCaption, "clGradientActiveCaption"},
        {clGradientInactiveCaption, "clGradientInactiveCaption"}, {clMenuHighlight, "clMenuHighlight"},
        {clMenuBar, "clMenuBar"},
        // Other names of the same values; the first name of a value is the one written.
        {clLtGray, "clLtGray"}, {clDkGray, "clDkGray"}};
    return map;
}

std::string ColorToString(TColor Color)
{
    for (const TIdentMapEntry& e : ColorIdents())
        if (e.Value == Color)
            return e.Name;
    char buf[16];
    std::snprintf(buf, sizeof buf, "$%08X", static_cast<unsigned>(Color));
    return buf;
}

TColor StringToColor(const std::string& Text)
{
    for (const TIdentMapEntry& e : ColorIdents())
        if (SameText(e.Name, Text))
            return static_cast<TColor>(e.Value);
    std::int32_t value = 0;
    if (!TryStrToInt(Text, value))
        throw EConvertError("'" + Text + "' is not a valid colour");
    return value;
}

const TIdentMap& CharsetIdents()
{
    static const TIdentMap map{
        {ANSI_CHARSET, "ANSI_CHARSET"}, {DEFAULT_CHARSET, "DEFAULT_CHARSET"}, {SYMBOL_CHARSET, "SYMBOL_CHARSET"},
        {MAC_CHARSET, "MAC_CHARSET"}, {SHIFTJIS_CHARSET, "SHIFTJIS_CHARSET"}, {HANGEUL_CHARSET, "HANGEUL_CHARSET"},
        {JOHAB_CHARSET, "JOHAB_CHARSET"}, {GB2312_CHARSET, "GB2312_CHARSET"},
        {CHINESEBIG5_CHARSET, "CHINESEBIG5_CHARSET"}, {GREEK_CHARSET, "GREEK_CHARSET"},
        {TURKISH_CHARSET, "TURKISH_CHARSET"}, {VIETNAMESE_CHARSET, "VIETNAMESE_CHARSET"},
        {HEBREW_CHARSET, "HEBREW_CHARSET"}, {ARABIC_CHARSET, "ARABIC_CHARSET"}, {BALTIC_CHARSET, "BALTIC_CHARSET"},
        {RUSSIAN_CHARSET, "RUSSIAN_CHARSET"}, {THAI_CHARSET, "THAI_CHARSET"},
        {EASTEUROPE_CHARSET, "EASTEUROPE_CHARSET"}, {OEM_CHARSET, "OEM_CHARSET"}};
    return map;
}

void TFont::DeclarePublished(TPublisher<TFont>& P)
{
    P.Property("Charset", &TFont::Charset, &TFont::SetCharset, DEFAULT_CHARSET).WithIdents(&CharsetIdents());
    P.Property("Color", &TFont::Color, &TFont::SetColor, clWindowText).WithIdents(&ColorIdents());
    P.Property("Height", &TFont::Height, &TFont::SetHeight);
    // Size is another view of Height: read, never written.
    P.Property("Size", &TFont::Size, &TFont::SetSize).NotStored();
    P.Property("Name", &TFont::Name, &TFont::SetName);
    P.Property("Orientation", &TFont::Orientation, &TFont::SetOrientation, 0);
    P.Property("Pitch", &TFont::Pitch, &TFont::SetPitch, fpDefault);
    P.Property("Quality", &TFont::Quality, &TFont::SetQuality, fqDefault);
    P.Property("Style", &TFont::Style, &TFont::SetStyle, TFontStyles{});
}

void TPen::DeclarePublished(TPublisher<TPen>& P)
{
    P.Property("Color", &TPen::Color, &TPen::SetColor, clBlack).WithIdents(&ColorIdents());
    P.Property("Mode", &TPen::Mode, &TPen::SetMode, pmCopy);
    P.Property("Style", &TPen::Style, &TPen::SetStyle, psSolid);
    P.Property("Width", &TPen::Width, &TPen::SetWidth, 1);
}

void TBrush::DeclarePublished(TPublisher<TBrush>& P)
{
    P.Property("Color", &TBrush::Color, &TBrush::SetColor, clWhite).WithIdents(&ColorIdents());
    P.Property("Style", &TBrush::Style, &TBrush::SetStyle, bsSolid);
}
