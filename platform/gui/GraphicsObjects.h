#pragma once

// Colours and the class library's graphic objects. Fonts, pens and brushes
// own graphics handles made on first use and report changes, which the
// canvas that uses them follows.

#include "platform/classes/Events.h"
#include "platform/classes/Persistent.h"
#include "platform/classes/PropertyTables.h"
#include "platform/gdi/Fonts.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/SyncObjs.h"

#include <string>

// Colours: 0x00BBGGRR, or 0xFF0000nn for system colour nn.
constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clLtGray = 0xC0C0C0;
constexpr TColor clDkGray = 0x808080;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;
constexpr TColor SysColor(int index) { return static_cast<TColor>(0xFF000000u | static_cast<unsigned>(index)); }
constexpr TColor clScrollBar = SysColor(COLOR_SCROLLBAR);
constexpr TColor clBackground = SysColor(COLOR_BACKGROUND);
constexpr TColor clActiveCaption = SysColor(COLOR_ACTIVECAPTION);
constexpr TColor clInactiveCaption = SysColor(COLOR_INACTIVECAPTION);
constexpr TColor clMenu = SysColor(COLOR_MENU);
constexpr TColor clWindow = SysColor(COLOR_WINDOW);
constexpr TColor clWindowFrame = SysColor(COLOR_WINDOWFRAME);
constexpr TColor clMenuText = SysColor(COLOR_MENUTEXT);
constexpr TColor clWindowText = SysColor(COLOR_WINDOWTEXT);
constexpr TColor clCaptionText = SysColor(COLOR_CAPTIONTEXT);
constexpr TColor clActiveBorder = SysColor(COLOR_ACTIVEBORDER);
constexpr TColor clInactiveBorder = SysColor(COLOR_INACTIVEBORDER);
constexpr TColor clAppWorkSpace = SysColor(COLOR_APPWORKSPACE);
constexpr TColor clHighlight = SysColor(COLOR_HIGHLIGHT);
constexpr TColor clHighlightText = SysColor(COLOR_HIGHLIGHTTEXT);
constexpr TColor clBtnFace = SysColor(COLOR_BTNFACE);
constexpr TColor clBtnShadow = SysColor(COLOR_BTNSHADOW);
constexpr TColor clGrayText = SysColor(COLOR_GRAYTEXT);
constexpr TColor clBtnText = SysColor(COLOR_BTNTEXT);
constexpr TColor clInactiveCaptionText = SysColor(COLOR_INACTIVECAPTIONTEXT);
constexpr TColor clBtnHighlight = SysColor(COLOR_BTNHIGHLIGHT);
constexpr TColor cl3DDkShadow = SysColor(COLOR_3DDKSHADOW);
constexpr TColor cl3DLight = SysColor(COLOR_3DLIGHT);
constexpr TColor clInfoText = SysColor(COLOR_INFOTEXT);
constexpr TColor clInfoBk = SysColor(COLOR_INFOBK);
constexpr TColor clHotLight = SysColor(COLOR_HOTLIGHT);
constexpr TColor clGradientActiveCaption = SysColor(COLOR_GRADIENTACTIVECAPTION);
constexpr TColor clGradientInactiveCaption = SysColor(COLOR_GRADIENTINACTIVECAPTION);
constexpr TColor clMenuHighlight = SysColor(COLOR_MENUHILIGHT);
constexpr TColor clMenuBar = SysColor(COLOR_MENUBAR);

// The colour names descriptions use (clBtnFace, clRed, clNone...), for
// TColor properties: P.Property(...).WithIdents(&ColorIdents()).
const TIdentMap& ColorIdents();
// "clRed" for a named colour, else the number in hex ("$00102030").
std::string ColorToString(TColor Color);
// A colour name or a number (decimal, or hex after "$" or "0x");
// EConvertError for anything else.
TColor StringToColor(const std::string& Text);
// The character set names (DEFAULT_CHARSET, ANSI_CHARSET...).
const TIdentMap& CharsetIdents();

class TCanvas;

// Common base of fonts, pens and brushes: a change fires OnChange, which the
// owning canvas uses to select the new handle before its next drawing.
class TGraphicsObject : public TPersistent {
public:
    TNotifyEvent OnChange;

protected:
    virtual void Changed();
};

// ---- Fonts ----------------------------------------------------------------

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
ENUM_NAMES(TFontStyle, fsBold, fsItalic, fsUnderline, fsStrikeOut)
// A set of font styles.
class TFontStyles {
public:
    constexpr TFontStyles() = default;
    constexpr TFontStyles(std::initializer_list<TFontStyle> styles)
    {
        for (TFontStyle s : styles) FBits |= Bit(s);
    }
    constexpr bool Contains(TFontStyle s) const { return (FBits & Bit(s)) != 0; }
    constexpr TFontStyles& Include(TFontStyle s) { FBits |= Bit(s); return *this; }
    constexpr TFontStyles& Exclude(TFontStyle s) { FBits &= static_cast<unsigned char>(~Bit(s)); return *this; }
    constexpr bool Empty() const { return FBits == 0; }
    friend constexpr bool operator==(TFontStyles a, TFontStyles b) { return a.FBits == b.FBits; }
    friend constexpr TFontStyles operator+(TFontStyles a, TFontStyles b) { a.FBits |= b.FBits; return a; }
    friend constexpr TFontStyles operator-(TFontStyles a, TFontStyles b) { a.FBits &= static_cast<unsigned char>(~b.FBits); return a; }
    friend constexpr TFontStyles operator*(TFontStyles a, TFontStyles b) { a.FBits &= b.FBits; return a; }

private:
    static constexpr unsigned char Bit(TFontStyle s) { return static_cast<unsigned char>(1u << s); }
    unsigned char FBits = 0;
};

enum TFontPitch { fpDefault, fpVariable, fpFixed };
ENUM_NAMES(TFontPitch, fpDefault, fpVariable, fpFixed)
enum TFontQuality { fqDefault, fqDraft, fqProof, fqNonAntialiased, fqAntialiased, fqClearType, fqClearTypeNatural };
ENUM_NAMES(TFontQuality, fqDefault, fqDraft, fqProof, fqNonAntialiased, fqAntialiased, fqClearType, fqClearTypeNatural)
using TFontCharset = BYTE;

// Screen resolution the font sizes convert with.
constexpr int ScreenPixelsPerInch = 96;

class TFont : public TGraphicsObject {
public:
    TFont();
    ~TFont() override;
    void Assign(TPersistent* Source) override;

    // The font handle for the current description, made on first use and kept
    // until the description changes. The font owns it.
    HFONT Handle();
    // Takes a handle's description (the handle itself stays the caller's).
    void SetHandle(HFONT font);

    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    // Height in pixels: negative = character height, positive = cell height.
    int Height() const { return FHeight; }
    void SetHeight(int value);
    // Size in points at ScreenPixelsPerInch (negative sizes give cell heights).
    int Size() const;
    void SetSize(int value);
    const std::string& Name() const { return FName; }
    void SetName(const std::string& value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles value);
    TFontPitch Pitch() const { return FPitch; }
    void SetPitch(TFontPitch value);
    TFontCharset Charset() const { return FCharset; }
    void SetCharset(TFontCharset value);
    // Tenths of a degree, counter-clockwise.
    int Orientation() const { return FOrientation; }
    void SetOrientation(int value);
    TFontQuality Quality() const { return FQuality; }
    void SetQuality(TFontQuality value);
    int PixelsPerInch() const { return ScreenPixelsPerInch; }

    PUBLISHED(TFont, TGraphicsObject);

protected:
    void Changed() override;

private:
    void FreeHandle();
    TColor FColor = clWindowText;
    int FHeight = -11;
    std::string FName = "Tahoma";
    TFontStyles FStyle;
    TFontPitch FPitch = fpDefault;
    TFontCharset FCharset = DEFAULT_CHARSET;
    int FOrientation = 0;
    TFontQuality FQuality = fqDefault;
    HFONT FHandle = nullptr;
    TCriticalSection FLock;
};

// ---- Pens and brushes -----------------------------------------------------

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame, psUserStyle, psAlternate };
ENUM_NAMES(TPenStyle, psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame, psUserStyle, psAlternate)
enum TPenMode {
    pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
    pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};
ENUM_NAMES(TPenMode, pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot, pmMergeNotPen,
           pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor)
// The raster operation (R2_*) a pen mode draws with.
int PenModeToRop2(TPenMode mode);

class TPen : public TGraphicsObject {
public:
    ~TPen() override;
    void Assign(TPersistent* Source) override;
    HPEN Handle();
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    int Width() const { return FWidth; }
    void SetWidth(int value);
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle value);
    TPenMode Mode() const { return FMode; }
    void SetMode(TPenMode value);

    PUBLISHED(TPen, TGraphicsObject);

protected:
    void Changed() override;

private:
    TColor FColor = clBlack;
    int FWidth = 1;
    TPenStyle FStyle = psSolid;
    TPenMode FMode = pmCopy;
    HPEN FHandle = nullptr;
    TCriticalSection FLock;
};

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
ENUM_NAMES(TBrushStyle, bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross)

class TBitmap;

class TBrush : public TGraphicsObject {
public:
    ~TBrush() override;
    void Assign(TPersistent* Source) override;
    HBRUSH Handle();
    TColor Color() const { return FColor; }
    // A colour given to a clear brush makes it solid again.
    void SetColor(TColor value);
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle value);
    // A pattern brush from a bitmap (not owned; nullptr clears the pattern).
    TBitmap* Bitmap() const { return FBitmap; }
    void SetBitmap(TBitmap* value);

    PUBLISHED(TBrush, TGraphicsObject);

protected:
    void Changed() override;

private:
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
    TBitmap* FBitmap = nullptr;
    HBRUSH FHandle = nullptr;
    TCriticalSection FLock;
};
