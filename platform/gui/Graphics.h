#pragma once
// The class library's drawing objects. Fonts, pens and brushes own graphics
// handles made on first use and report changes; a canvas draws on a device
// context with them and can be locked by other threads; pictures (TGraphic)
// are the bitmap - a DIB section, the one pixel representation shared by the
// skin library and the engine's frame bitmaps - the icon, and the PNG and
// JPEG classes of their own units. TPicture holds any of them and picks the
// class by file extension.
#include "platform/classes/Events.h"
#include "platform/classes/Persistent.h"
#include "platform/classes/PropertyTables.h"
#include "platform/classes/Streams.h"
#include "platform/gdi/Fonts.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/IconFormat.h"
#include "platform/gdi/ImageFormats.h"
#include "platform/rtl/SyncObjs.h"

#include <string>
#include <vector>

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
class TGraphic;

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

// ---- Canvas ---------------------------------------------------------------

using TCopyMode = DWORD;
constexpr TCopyMode cmBlackness = BLACKNESS;
constexpr TCopyMode cmDstInvert = DSTINVERT;
constexpr TCopyMode cmMergeCopy = MERGECOPY;
constexpr TCopyMode cmMergePaint = MERGEPAINT;
constexpr TCopyMode cmNotSrcCopy = NOTSRCCOPY;
constexpr TCopyMode cmNotSrcErase = NOTSRCERASE;
constexpr TCopyMode cmPatCopy = PATCOPY;
constexpr TCopyMode cmPatInvert = PATINVERT;
constexpr TCopyMode cmPatPaint = PATPAINT;
constexpr TCopyMode cmSrcAnd = SRCAND;
constexpr TCopyMode cmSrcCopy = SRCCOPY;
constexpr TCopyMode cmSrcErase = SRCERASE;
constexpr TCopyMode cmSrcInvert = SRCINVERT;
constexpr TCopyMode cmSrcPaint = SRCPAINT;
constexpr TCopyMode cmWhiteness = WHITENESS;

// Draws on a device context. A canvas that owns no context asks CreateHandle
// for one on first use (the bitmap's canvas makes a memory context). Lock and
// Unlock serialise drawing from several threads: a thread that draws on a
// canvas another thread may also use holds the lock meanwhile.
class TCanvas : public TPersistent {
public:
    TCanvas();
    ~TCanvas() override;

    HDC Handle();
    void SetHandle(HDC dc);
    bool HandleAllocated() const { return FHandle != nullptr; }

    TFont* Font() { return &FFont; }
    TPen* Pen() { return &FPen; }
    TBrush* Brush() { return &FBrush; }
    void SetFont(TFont* value) { FFont.Assign(value); }
    void SetPen(TPen* value) { FPen.Assign(value); }
    void SetBrush(TBrush* value) { FBrush.Assign(value); }
    TCopyMode CopyMode() const { return FCopyMode; }
    void SetCopyMode(TCopyMode value) { FCopyMode = value; }
    TPoint PenPos();
    void SetPenPos(TPoint value) { MoveTo(value.x, value.y); }
    TRect ClipRect();

    TColor Pixels(int x, int y);
    void SetPixel(int x, int y, TColor color);

    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Polyline(const std::vector<TPoint>& points);
    void Polygon(const std::vector<TPoint>& points);
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const TRect& r) { Rectangle(r.left, r.top, r.right, r.bottom); }
    void RoundRect(int x1, int y1, int x2, int y2, int x3, int y3);
    void Ellipse(int x1, int y1, int x2, int y2);
    void Ellipse(const TRect& r) { Ellipse(r.left, r.top, r.right, r.bottom); }
    void FillRect(const TRect& r);
    void FrameRect(const TRect& r);
    void DrawFocusRect(const TRect& r);

    void TextOut(int x, int y, const std::string& text);
    // Text clipped to r, drawn at (x, y); an opaque brush fills r first.
    void TextRect(const TRect& r, int x, int y, const std::string& text);
    int TextWidth(const std::string& text) { return TextExtent(text).cx; }
    int TextHeight(const std::string& text) { return TextExtent(text).cy; }
    TSize TextExtent(const std::string& text);

    void Draw(int x, int y, TGraphic* graphic);
    void StretchDraw(const TRect& r, TGraphic* graphic);
    // Copies source of canvas into dest of this canvas with CopyMode.
    void CopyRect(const TRect& dest, TCanvas* canvas, const TRect& source);

    void Lock();
    void Unlock();
    bool TryLock();
    int LockCount() const { return FLockCount; }

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

    // Selects the current pen, brush and font into the context (creating it
    // when needed); drawing members call it, and code that draws on Handle
    // directly may too.
    void Refresh() { RequiredState(true, true, true); }

protected:
    // Canvases without a given context make one here; the default has none
    // and raises EInvalidOperation.
    virtual void CreateHandle();
    // Releases the context's selections (and a context the canvas made).
    void DeselectObjects();
    virtual void Changing();
    virtual void Changed();
    void RequiredState(bool pen, bool brush, bool font);

private:
    void ObjectChanged(TObject* Sender);
    HDC FHandle = nullptr;
    TFont FFont;
    TPen FPen;
    TBrush FBrush;
    TCopyMode FCopyMode = cmSrcCopy;
    HGDIOBJ FOldPen = nullptr, FOldBrush = nullptr, FOldFont = nullptr;
    bool FPenValid = false, FBrushValid = false, FFontValid = false;
    TCriticalSection FLock;
    int FLockCount = 0;
};

// ---- Pictures -------------------------------------------------------------

class TGraphic : public TPersistent {
public:
    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int value) { SetSize(value, Height()); }
    virtual void SetHeight(int value) { SetSize(Width(), value); }
    virtual void SetSize(int width, int height) = 0;
    // Draws the picture stretched into r of the canvas.
    virtual void Draw(TCanvas* canvas, const TRect& r) = 0;
    // Reads one picture from the stream's position; a damaged picture raises
    // EInvalidGraphic and leaves this one unchanged.
    virtual void LoadFromStream(TStream* stream) = 0;
    virtual void SaveToStream(TStream* stream) = 0;
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName);

    virtual bool Transparent() const { return FTransparent; }
    virtual void SetTransparent(bool value);
    bool Modified() const { return FModified; }
    void SetModified(bool value);
    TNotifyEvent OnChange;

protected:
    virtual void Changed(TObject* sender);
    bool FTransparent = false;
    bool FModified = false;
};

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TBitmapHandleType { bmDIB, bmDDB };
enum TTransparentMode { tmAuto, tmFixed };

// Bits per pixel of a format (pfDevice: the screen's).
int PixelFormatBits(TPixelFormat format);

class TBitmapCanvas;

// A picture held in a bitmap handle, normally a bottom-up DIB section as the
// platform makes them: ScanLine(0) is the top row and each following row lies
// at a lower address. A new bitmap is empty with pfDevice; sizing it gives a
// device-dependent bitmap until a DIB format is chosen or a file is loaded.
class TBitmap : public TGraphic {
public:
    TBitmap();
    ~TBitmap() override;
    void Assign(TPersistent* Source) override;

    bool Empty() const override { return FHandle == nullptr; }
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    // New areas are white; the existing picture is kept at the top left. A
    // size that cannot be made leaves an empty bitmap and raises
    // EOutOfResources.
    void SetSize(int width, int height) override;
    void Draw(TCanvas* canvas, const TRect& r) override;
    // Reads one BMP file and stops after its own bytes.
    void LoadFromStream(TStream* stream) override;
    void SaveToStream(TStream* stream) override;

    TCanvas* Canvas();
    HBITMAP Handle() const { return FHandle; }
    // Takes ownership of a bitmap handle (nullptr empties the bitmap).
    void SetHandle(HBITMAP bitmap);
    // Gives the handle to the caller; the bitmap becomes empty.
    HBITMAP ReleaseHandle();
    bool HandleAllocated() const { return FHandle != nullptr; }

    TPixelFormat PixelFormat() const;
    void SetPixelFormat(TPixelFormat value);
    TBitmapHandleType HandleType() const;
    void SetHandleType(TBitmapHandleType value);
    bool Monochrome() const { return PixelFormat() == pf1bit; }
    void SetMonochrome(bool value);
    // Address of a row (0 = top); a device-dependent bitmap becomes a DIB
    // first. A row outside the picture raises EInvalidGraphic.
    void* ScanLine(int row);

    // The colour table of 1, 4 and 8-bit bitmaps (empty for the others). An
    // empty bitmap keeps a table given to it for when it gets a size.
    std::vector<RGBQUAD> PaletteColors() const;
    void SetPaletteColors(const std::vector<RGBQUAD>& colors);

    bool Transparent() const override { return FTransparent; }
    // With tmAuto the bottom-left pixel; with tmFixed the colour set.
    TColor TransparentColor();
    void SetTransparentColor(TColor value);
    TTransparentMode TransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode value);

    // Memory images are not kept apart from the handle here, so there is
    // nothing to release.
    void Dormant() {}
    void FreeImage() {}

    // The picture as a neutral image (32-bit for device-dependent bitmaps)
    // and back; used by the other picture classes and the codecs.
    TDibImage ToImage() const;
    void FromImage(const TDibImage& image);

protected:
    void AssignTo(TPersistent* Dest) override;
    void Changed(TObject* sender) override;

private:
    friend class TBitmapCanvas;
    void ReplaceHandle(HBITMAP bitmap, int width, int height, TPixelFormat format);
    HBITMAP NewBitmap(int width, int height, TPixelFormat format, const std::vector<RGBQUAD>* colors) const;
    void CopyImage(const TBitmap& source);
    HBITMAP FHandle = nullptr;
    BYTE* FRow0 = nullptr;           // DIBs: the top row and the step to the next
    std::ptrdiff_t FRowStep = 0;
    int FWidth = 0;
    int FHeight = 0;
    TPixelFormat FPixelFormat = pfDevice;  // the format an empty bitmap will get
    std::vector<RGBQUAD> FEmptyColors;      // and its colour table, when one was given
    TBitmapCanvas* FCanvas = nullptr;
    TColor FTransparentColor = clDefault;
    TTransparentMode FTransparentMode = tmAuto;
};

// A picture made ready for blending onto device contexts: its pixels
// premultiplied in a DIB section selected into a memory context of its own,
// kept until Reset so that pictures drawn again and again (image lists,
// icons) are prepared once.
class TBlendSource {
public:
    TBlendSource() = default;
    ~TBlendSource() { Reset(); }
    TBlendSource(const TBlendSource&) = delete;
    TBlendSource& operator=(const TBlendSource&) = delete;

    bool Valid() const { return FDC != nullptr; }
    void Reset();
    // Takes straight-alpha pixels (a picture without alpha is opaque).
    void Build(const TDibImage& image);
    void Draw(TCanvas* canvas, const TRect& r);

private:
    HBITMAP FBitmap = nullptr;
    HDC FDC = nullptr;
    HGDIOBJ FOld = nullptr;
    int FWidth = 0;
    int FHeight = 0;
};

// Icon and cursor files. The whole file is kept (SaveToStream writes it back
// unchanged); the entry nearest the requested size is decoded to 32 bits
// with alpha and drawn blended.
class TIcon : public TGraphic {
public:
    bool Empty() const override { return FImage.Empty(); }
    int Width() const override { return FImage.Width; }
    int Height() const override { return FImage.Height; }
    // Chooses the entry for that size (the file keeps all of them).
    void SetSize(int width, int height) override;
    void Draw(TCanvas* canvas, const TRect& r) override;
    void LoadFromStream(TStream* stream) override;
    void SaveToStream(TStream* stream) override;
    void Assign(TPersistent* Source) override;

    bool IsCursor() const { return FDirectory.IsCursor; }
    // The hot spot of the current entry of a cursor file.
    TPoint HotSpot() const;
    // The current entry, 32-bit B, G, R, A (straight alpha).
    const TDibImage& Image() const { return FImage; }
    int EntryCount() const { return static_cast<int>(FDirectory.Entries.size()); }

protected:
    void AssignTo(TPersistent* Dest) override;
    void Changed(TObject* sender) override;

private:
    std::vector<uint8_t> FData;
    TBlendSource FBlend;
    TIconDirectory FDirectory;
    size_t FEntry = 0;
    TDibImage FImage;
};

// Holds one picture of any class; LoadFromFile chooses the class by the
// file's extension (.bmp, .png, .jpg/.jpeg, .ico, .cur).
class TPicture : public TPersistent {
public:
    ~TPicture() override;
    void Assign(TPersistent* Source) override;

    TGraphic* Graphic() const { return FGraphic; }
    // Takes a copy of the graphic (nullptr clears the picture).
    void SetGraphic(TGraphic* value);
    // The picture as a bitmap: replaces any other graphic with an empty bitmap.
    TBitmap* Bitmap();
    TIcon* Icon();
    int Width() const { return FGraphic ? FGraphic->Width() : 0; }
    int Height() const { return FGraphic ? FGraphic->Height() : 0; }

    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName);
    TNotifyEvent OnChange;

protected:
    void AssignTo(TPersistent* Dest) override;

private:
    void SetOwned(TGraphic* graphic);
    void GraphicChanged(TObject* Sender);
    TGraphic* FGraphic = nullptr;
};

// Draws a picture blended by its alpha (straight, not premultiplied; a
// picture without alpha is opaque), stretched into r.
void DrawImageBlended(TCanvas* canvas, const TRect& r, const TDibImage& image);

// The graphic class for a file name's extension, or nullptr when none reads it.
TGraphic* NewGraphicForFile(const std::string& fileName);

// Reads a TStream for the codecs, from its position onwards.
class TStreamImageReader final : public TImageReader {
public:
    explicit TStreamImageReader(TStream* stream) : FStream(stream) {}
    size_t Read(void* buffer, size_t count) override;

private:
    TStream* FStream;
};
