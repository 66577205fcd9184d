#include "platform/gui/Graphics.h"

#include "platform/gdi/BmpFormat.h"
#include "platform/gdi/Fonts.h"
#include "platform/gdi/Shapes.h"
#include "platform/gdi/Text.h"
#include "platform/gui/JpegImage.h"
#include "platform/gui/PngImage.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cstring>
#include <mutex>

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

// ---- TCanvas --------------------------------------------------------------

TCanvas::TCanvas()
{
    FFont.OnChange = MakeEvent(this, &TCanvas::ObjectChanged);
    FPen.OnChange = MakeEvent(this, &TCanvas::ObjectChanged);
    FBrush.OnChange = MakeEvent(this, &TCanvas::ObjectChanged);
}

TCanvas::~TCanvas() { SetHandle(nullptr); }

void TCanvas::ObjectChanged(TObject* Sender)
{
    if (Sender == &FFont) FFontValid = false;
    if (Sender == &FPen) FPenValid = false;
    if (Sender == &FBrush) FBrushValid = false;
}

HDC TCanvas::Handle()
{
    if (!FHandle) CreateHandle();
    return FHandle;
}

void TCanvas::CreateHandle() { throw EInvalidOperation("Canvas does not allow drawing"); }

void TCanvas::DeselectObjects()
{
    if (!FHandle) return;
    if (FOldPen) SelectObject(FHandle, FOldPen);
    if (FOldBrush) SelectObject(FHandle, FOldBrush);
    if (FOldFont) SelectObject(FHandle, FOldFont);
    FOldPen = FOldBrush = FOldFont = nullptr;
    FPenValid = FBrushValid = FFontValid = false;
}

void TCanvas::SetHandle(HDC dc)
{
    if (dc == FHandle) return;
    DeselectObjects();
    FHandle = dc;
}

void TCanvas::RequiredState(bool pen, bool brush, bool font)
{
    HDC dc = Handle();
    if (pen && !FPenValid) {
        HGDIOBJ old = SelectObject(dc, FPen.Handle());
        if (!FOldPen) FOldPen = old;
        SetROP2(dc, PenModeToRop2(FPen.Mode()));
        FPenValid = true;
    }
    if (brush && !FBrushValid) {
        HGDIOBJ old = SelectObject(dc, FBrush.Handle());
        if (!FOldBrush) FOldBrush = old;
        SetBkColor(dc, ColorToRGB(FBrush.Color()));
        SetBkMode(dc, FBrush.Style() == bsSolid ? OPAQUE : TRANSPARENT);
        FBrushValid = true;
    }
    if (font && !FFontValid) {
        HGDIOBJ old = SelectObject(dc, FFont.Handle());
        if (!FOldFont) FOldFont = old;
        SetTextColor(dc, ColorToRGB(FFont.Color()));
        FFontValid = true;
    }
}

void TCanvas::Changing()
{
    if (OnChanging) OnChanging(this);
}

void TCanvas::Changed()
{
    if (OnChange) OnChange(this);
}

TPoint TCanvas::PenPos()
{
    POINT p{};
    GetCurrentPositionEx(Handle(), &p);
    return p;
}

TRect TCanvas::ClipRect()
{
    RECT r{};
    GetClipBox(Handle(), &r);
    return r;
}

TColor TCanvas::Pixels(int x, int y)
{
    return static_cast<TColor>(GetPixel(Handle(), x, y));
}

void TCanvas::SetPixel(int x, int y, TColor color)
{
    Changing();
    ::SetPixel(Handle(), x, y, ColorToRGB(color));
    Changed();
}

void TCanvas::MoveTo(int x, int y) { MoveToEx(Handle(), x, y, nullptr); }

void TCanvas::LineTo(int x, int y)
{
    Changing();
    RequiredState(true, true, false);
    ::LineTo(FHandle, x, y);
    Changed();
}

void TCanvas::Polyline(const std::vector<TPoint>& points)
{
    if (points.empty()) return;
    Changing();
    RequiredState(true, true, false);
    std::vector<POINT> p(points.begin(), points.end());
    ::Polyline(FHandle, p.data(), static_cast<int>(p.size()));
    Changed();
}

void TCanvas::Polygon(const std::vector<TPoint>& points)
{
    if (points.empty()) return;
    Changing();
    RequiredState(true, true, false);
    std::vector<POINT> p(points.begin(), points.end());
    ::Polygon(FHandle, p.data(), static_cast<int>(p.size()));
    Changed();
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    Changing();
    RequiredState(true, true, false);
    ::Rectangle(FHandle, x1, y1, x2, y2);
    Changed();
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3)
{
    Changing();
    RequiredState(true, true, false);
    ::RoundRect(FHandle, x1, y1, x2, y2, x3, y3);
    Changed();
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    Changing();
    RequiredState(true, true, false);
    ::Ellipse(FHandle, x1, y1, x2, y2);
    Changed();
}

void TCanvas::FillRect(const TRect& r)
{
    Changing();
    RequiredState(false, true, false);
    ::FillRect(FHandle, &r, FBrush.Handle());
    Changed();
}

void TCanvas::FrameRect(const TRect& r)
{
    Changing();
    RequiredState(false, true, false);
    ::FrameRect(FHandle, &r, FBrush.Handle());
    Changed();
}

void TCanvas::DrawFocusRect(const TRect& r)
{
    Changing();
    RequiredState(false, true, false);
    ::DrawFocusRect(FHandle, &r);
    Changed();
}

void TCanvas::TextOut(int x, int y, const std::string& text)
{
    Changing();
    RequiredState(false, true, true);
    ::ExtTextOut(FHandle, x, y, 0, nullptr, text, static_cast<int>(text.size()));
    MoveToEx(FHandle, x + TextWidth(text), y, nullptr);
    Changed();
}

void TCanvas::TextRect(const TRect& r, int x, int y, const std::string& text)
{
    Changing();
    RequiredState(false, true, true);
    UINT options = ETO_CLIPPED;
    if (FBrush.Style() != bsClear) options |= ETO_OPAQUE;
    ::ExtTextOut(FHandle, x, y, options, &r, text, static_cast<int>(text.size()));
    Changed();
}

TSize TCanvas::TextExtent(const std::string& text)
{
    RequiredState(false, false, true);
    SIZE size{};
    GetTextExtentPoint32(FHandle, text, static_cast<int>(text.size()), &size);
    return size;
}

void TCanvas::Draw(int x, int y, TGraphic* graphic)
{
    if (!graphic || graphic->Empty()) return;
    Changing();
    RequiredState(false, false, false);
    graphic->Draw(this, Rect(x, y, x + graphic->Width(), y + graphic->Height()));
    Changed();
}

void TCanvas::StretchDraw(const TRect& r, TGraphic* graphic)
{
    if (!graphic || graphic->Empty()) return;
    Changing();
    RequiredState(false, false, false);
    graphic->Draw(this, r);
    Changed();
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* canvas, const TRect& source)
{
    if (!canvas) return;
    Changing();
    RequiredState(false, true, false);
    HDC src = canvas->Handle();
    ::StretchBlt(FHandle, dest.left, dest.top, dest.Width(), dest.Height(), src, source.left, source.top,
                 source.Width(), source.Height(), FCopyMode);
    Changed();
}

void TCanvas::Lock()
{
    FLock.Enter();
    ++FLockCount;
}

void TCanvas::Unlock()
{
    --FLockCount;
    FLock.Leave();
}

bool TCanvas::TryLock()
{
    if (!FLock.TryEnter()) return false;
    ++FLockCount;
    return true;
}

// ---- TGraphic -------------------------------------------------------------

void TGraphic::LoadFromFile(const std::string& fileName)
{
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&stream);
}

void TGraphic::SaveToFile(const std::string& fileName)
{
    // Written to memory first, so that a picture that cannot be encoded never
    // truncates an existing file.
    TMemoryStream memory;
    SaveToStream(&memory);
    TFileStream stream(fileName, fmCreate);
    stream.WriteBuffer(memory.Memory(), memory.Size());
}

void TGraphic::SetTransparent(bool value)
{
    if (value == FTransparent) return;
    FTransparent = value;
    Changed(this);
}

void TGraphic::SetModified(bool value)
{
    if (value) Changed(this);
    else FModified = false;
}

void TGraphic::Changed(TObject*)
{
    FModified = true;
    if (OnChange) OnChange(this);
}

size_t TStreamImageReader::Read(void* buffer, size_t count)
{
    size_t done = 0;
    auto* p = static_cast<uint8_t*>(buffer);
    while (done < count) {
        const auto n = FStream->Read(p + done, static_cast<std::int64_t>(count - done));
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    return done;
}

// ---- TBitmap --------------------------------------------------------------

// The bitmap's canvas: a memory context with the bitmap selected. When the
// bitmap changes its handle the context is released and made again on the
// next use.
class TBitmapCanvas final : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap* bitmap) : FBitmap(bitmap) {}
    ~TBitmapCanvas() override { FreeContext(); }
    void FreeContext()
    {
        HDC dc = HandleAllocated() ? Handle() : nullptr;
        if (!dc) return;
        DeselectObjects();
        if (FOldBitmap) SelectObject(dc, FOldBitmap);
        FOldBitmap = nullptr;
        SetHandle(nullptr);
        DeleteDC(dc);
    }

protected:
    void CreateHandle() override
    {
        HDC dc = CreateCompatibleDC(nullptr);
        if (!dc) throw EOutOfResources("Out of system resources");
        if (FBitmap->FHandle) FOldBitmap = SelectObject(dc, FBitmap->FHandle);
        SetHandle(dc);
    }
    void Changed() override
    {
        TCanvas::Changed();
        FBitmap->Changed(this);
    }

private:
    TBitmap* FBitmap;
    HGDIOBJ FOldBitmap = nullptr;
};

int PixelFormatBits(TPixelFormat format)
{
    switch (format) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit:
    case pf16bit: return 16;
    case pf24bit: return 24;
    case pf32bit: return 32;
    default: return GdiScreenBitsPerPixel();
    }
}

namespace {

TPixelFormat FormatOfBits(int bits, bool is565)
{
    switch (bits) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 16: return is565 ? pf16bit : pf15bit;
    case 24: return pf24bit;
    case 32: return pf32bit;
    default: return pfCustom;
    }
}

std::vector<RGBQUAD> DefaultColors(TPixelFormat format)
{
    const RGBQUAD* table = nullptr;
    int n = 0;
    switch (format) {
    case pf1bit: table = MonoPalette(); n = 2; break;
    case pf4bit: table = SystemPalette16(); n = 16; break;
    case pf8bit: table = DefaultPalette256(); n = 256; break;
    default: break;
    }
    return table ? std::vector<RGBQUAD>(table, table + n) : std::vector<RGBQUAD>();
}

constexpr DWORD WhitePixel = 0x00FFFFFF;

void FillWhite(const TPixelLayout& layout, LONG x0, LONG y0, LONG x1, LONG y1)
{
    if (x1 <= x0 || y1 <= y0) return;
    std::vector<DWORD> row(static_cast<size_t>(x1 - x0), WhitePixel);
    for (LONG y = y0; y < y1; ++y) WritePixels(layout, y, x0, x1 - x0, row.data());
}

}  // namespace

TBitmap::TBitmap() = default;

TBitmap::~TBitmap()
{
    delete FCanvas;
    if (FHandle) DeleteObject(FHandle);
}

TCanvas* TBitmap::Canvas()
{
    if (!FCanvas) FCanvas = new TBitmapCanvas(this);
    return FCanvas;
}

void TBitmap::Changed(TObject* sender) { TGraphic::Changed(sender); }

HBITMAP TBitmap::NewBitmap(int width, int height, TPixelFormat format, const std::vector<RGBQUAD>* colors) const
{
    if (format == pfDevice) return CreateBitmap(width, height, 1, static_cast<UINT>(GdiScreenBitsPerPixel()), nullptr);
    const int bits = PixelFormatBits(format);
    std::vector<RGBQUAD> table = colors && !colors->empty() ? *colors : DefaultColors(format);
    if (bits <= 8) table.resize(size_t(1) << bits);
    else table.clear();
    const bool masks = format == pf16bit;
    std::vector<uint8_t> info(sizeof(BITMAPINFOHEADER) + (masks ? 12 : table.size() * sizeof(RGBQUAD)));
    auto* h = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    h->biSize = sizeof(BITMAPINFOHEADER);
    h->biWidth = width;
    h->biHeight = height;  // bottom-up, as the platform makes them
    h->biPlanes = 1;
    h->biBitCount = static_cast<WORD>(bits);
    h->biCompression = masks ? BI_BITFIELDS : BI_RGB;
    h->biClrUsed = static_cast<DWORD>(table.size());
    if (masks) {
        const DWORD m[3] = {0xF800, 0x07E0, 0x001F};
        std::memcpy(info.data() + sizeof(BITMAPINFOHEADER), m, sizeof m);
    } else if (!table.empty()) {
        std::memcpy(info.data() + sizeof(BITMAPINFOHEADER), table.data(), table.size() * sizeof(RGBQUAD));
    }
    void* bitsPtr = nullptr;
    return CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS, &bitsPtr, nullptr, 0);
}

void TBitmap::ReplaceHandle(HBITMAP bitmap, int width, int height, TPixelFormat format)
{
    if (FCanvas) FCanvas->FreeContext();
    if (FHandle) DeleteObject(FHandle);
    FHandle = bitmap;
    FWidth = bitmap ? width : 0;
    FHeight = bitmap ? height : 0;
    FPixelFormat = format;
    // Rows of a DIB are found without a handle look-up: frame copies ask for
    // every row of every frame.
    FRow0 = nullptr;
    FRowStep = 0;
    if (const TGdiBitmap* bmp = bitmap ? BitmapFromHandle(bitmap) : nullptr; bmp && bmp->DibSection) {
        FRow0 = bmp->Layout.Row(0);
        FRowStep = bmp->Layout.BottomUp ? -static_cast<std::ptrdiff_t>(bmp->Layout.Stride) : bmp->Layout.Stride;
    }
}

void TBitmap::SetSize(int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == FWidth && height == FHeight) return;
    if (FCanvas) FCanvas->Lock();
    struct TUnlock {
        TBitmap* B;
        ~TUnlock() { if (B->FCanvas) B->FCanvas->Unlock(); }
    } unlock{this};
    const TPixelFormat format = PixelFormat();
    if (width == 0 || height == 0) {
        std::vector<RGBQUAD> colors = PaletteColors();
        ReplaceHandle(nullptr, 0, 0, format);
        FEmptyColors = std::move(colors);
        Changed(this);
        return;
    }
    const std::vector<RGBQUAD> colors = PaletteColors();
    HBITMAP bmp = static_cast<uint64_t>(width) * height <= MaxImagePixels ? NewBitmap(width, height, format, &colors)
                                                                         : nullptr;
    if (!bmp) {
        ReplaceHandle(nullptr, 0, 0, format);
        Changed(this);
        throw EOutOfResources("Out of system resources");
    }
    TGdiBitmap* target = BitmapFromHandle(bmp);
    const int keepW = std::min(width, FWidth), keepH = std::min(height, FHeight);
    if (FHandle && keepW > 0 && keepH > 0) {
        const TGdiBitmap* source = BitmapFromHandle(FHandle);
        std::vector<DWORD> row(static_cast<size_t>(keepW));
        for (LONG y = 0; y < keepH; ++y) {
            ReadPixels(source->Layout, y, 0, keepW, row.data());
            WritePixels(target->Layout, y, 0, keepW, row.data());
        }
    }
    FillWhite(target->Layout, keepW, 0, width, height);
    FillWhite(target->Layout, 0, keepH, keepW, height);
    ReplaceHandle(bmp, width, height, format);
    Changed(this);
}

TPixelFormat TBitmap::PixelFormat() const
{
    if (!FHandle) return FPixelFormat;
    const TGdiBitmap* bmp = BitmapFromHandle(FHandle);
    if (!bmp) return FPixelFormat;
    if (!bmp->DibSection) return pfDevice;
    const auto& l = bmp->Layout;
    if (l.BitCount == 16) return (l.Bitfields && l.Masks[1] == 0x07E0) ? pf16bit : pf15bit;
    if (l.BitCount == 32 && !l.IsPlain32()) return pfCustom;
    return FormatOfBits(l.BitCount, false);
}

void TBitmap::SetPixelFormat(TPixelFormat value)
{
    if (value == pfCustom || value == PixelFormat()) return;
    if (!FHandle) {
        FPixelFormat = value;
        FEmptyColors.clear();
        return;
    }
    if (FCanvas) FCanvas->Lock();
    struct TUnlock {
        TBitmap* B;
        ~TUnlock() { if (B->FCanvas) B->FCanvas->Unlock(); }
    } unlock{this};
    // Paletted formats keep their own table when converting between them of
    // the same depth; others start from the default table.
    HBITMAP bmp = NewBitmap(FWidth, FHeight, value, nullptr);
    if (!bmp) throw EOutOfResources("Out of system resources");
    const TGdiBitmap* source = BitmapFromHandle(FHandle);
    TGdiBitmap* target = BitmapFromHandle(bmp);
    std::vector<DWORD> row(static_cast<size_t>(FWidth));
    for (LONG y = 0; y < FHeight; ++y) {
        ReadPixels(source->Layout, y, 0, FWidth, row.data());
        WritePixels(target->Layout, y, 0, FWidth, row.data());
    }
    ReplaceHandle(bmp, FWidth, FHeight, value);
    Changed(this);
}

TBitmapHandleType TBitmap::HandleType() const
{
    if (!FHandle) return FPixelFormat == pfDevice ? bmDDB : bmDIB;
    const TGdiBitmap* bmp = BitmapFromHandle(FHandle);
    return bmp && bmp->DibSection ? bmDIB : bmDDB;
}

void TBitmap::SetHandleType(TBitmapHandleType value)
{
    if (value == HandleType()) return;
    if (value == bmDDB) {
        SetPixelFormat(pfDevice);
        return;
    }
    const TGdiBitmap* bmp = FHandle ? BitmapFromHandle(FHandle) : nullptr;
    const int bits = bmp ? bmp->BitCount() : GdiScreenBitsPerPixel();
    SetPixelFormat(FormatOfBits(bits, bits == 16));
}

void TBitmap::SetMonochrome(bool value)
{
    if (value) SetPixelFormat(pf1bit);
    else if (Monochrome()) SetPixelFormat(pfDevice);
}

void* TBitmap::ScanLine(int row)
{
    if (!FHandle || row < 0 || row >= FHeight) throw EInvalidGraphic("Scan line index out of range");
    if (!FRow0) SetHandleType(bmDIB);
    return FRow0 + row * FRowStep;
}

std::vector<RGBQUAD> TBitmap::PaletteColors() const
{
    if (!FHandle) return FEmptyColors;
    const TGdiBitmap* bmp = BitmapFromHandle(FHandle);
    if (!bmp || bmp->BitCount() > 8) return {};
    return bmp->ColorTable;
}

void TBitmap::SetPaletteColors(const std::vector<RGBQUAD>& colors)
{
    if (!FHandle) {
        // Kept for the bitmap this one will become when it gets a size.
        const int bits = PixelFormatBits(FPixelFormat);
        FEmptyColors = bits <= 8 ? colors : std::vector<RGBQUAD>();
        if (bits <= 8 && FEmptyColors.size() > (size_t(1) << bits)) FEmptyColors.resize(size_t(1) << bits);
        return;
    }
    TGdiBitmap* bmp = BitmapFromHandle(FHandle);
    if (!bmp || bmp->BitCount() > 8 || !bmp->DibSection) return;
    const size_t n = std::min(colors.size(), bmp->ColorTable.size());
    std::copy(colors.begin(), colors.begin() + static_cast<std::ptrdiff_t>(n), bmp->ColorTable.begin());
    bmp->SyncColors();
    Changed(this);
}

TColor TBitmap::TransparentColor()
{
    if (FTransparentMode == tmFixed && FTransparentColor != clDefault) return FTransparentColor;
    if (Empty()) return clDefault;
    return Canvas()->Pixels(0, FHeight - 1);
}

void TBitmap::SetTransparentColor(TColor value)
{
    if (value == FTransparentColor && FTransparentMode == tmFixed) return;
    FTransparentColor = value;
    FTransparentMode = value == clDefault ? tmAuto : tmFixed;
    Changed(this);
}

void TBitmap::SetTransparentMode(TTransparentMode value)
{
    if (value == FTransparentMode) return;
    if (value == tmAuto) FTransparentColor = clDefault;
    else if (FTransparentColor == clDefault) FTransparentColor = Empty() ? clDefault : TransparentColor();
    FTransparentMode = value;
    Changed(this);
}

void TBitmap::Draw(TCanvas* canvas, const TRect& r)
{
    if (Empty() || !canvas) return;
    HDC dst = canvas->Handle();
    TCanvas* own = Canvas();
    own->Lock();
    struct TUnlock {
        TCanvas* C;
        ~TUnlock() { C->Unlock(); }
    } unlock{own};
    HDC src = own->Handle();
    if (Transparent()) {
        ::TransparentBlt(dst, r.left, r.top, r.Width(), r.Height(), src, 0, 0, FWidth, FHeight,
                         ColorToRGB(TransparentColor()));
        return;
    }
    const int oldMode = SetStretchBltMode(dst, COLORONCOLOR);
    ::StretchBlt(dst, r.left, r.top, r.Width(), r.Height(), src, 0, 0, FWidth, FHeight, canvas->CopyMode());
    SetStretchBltMode(dst, oldMode);
}

void TBitmap::SetHandle(HBITMAP bitmap)
{
    if (bitmap == FHandle) return;
    BITMAP info{};
    if (bitmap && !GetObject(bitmap, sizeof info, &info)) throw EInvalidGraphic("Invalid bitmap handle");
    const TPixelFormat format = FPixelFormat;
    ReplaceHandle(bitmap, info.bmWidth, info.bmHeight, format);
    FPixelFormat = PixelFormat();
    Changed(this);
}

HBITMAP TBitmap::ReleaseHandle()
{
    if (FCanvas) FCanvas->FreeContext();
    HBITMAP h = FHandle;
    FHandle = nullptr;
    FWidth = FHeight = 0;
    FRow0 = nullptr;
    FRowStep = 0;
    return h;
}

TDibImage TBitmap::ToImage() const
{
    TDibImage image;
    if (!FHandle) return image;
    const TGdiBitmap* bmp = BitmapFromHandle(FHandle);
    const auto& l = bmp->Layout;
    const TPixelFormat format = PixelFormat();
    if (bmp->DibSection && format != pfCustom) {
        image.Allocate(FWidth, FHeight, l.BitCount);
        image.Is565 = format == pf16bit;
        for (const RGBQUAD& c : bmp->ColorTable)
            image.Palette.push_back(uint32_t(c.rgbBlue) | (uint32_t(c.rgbGreen) << 8) | (uint32_t(c.rgbRed) << 16));
        const size_t n = std::min<size_t>(image.Stride(), static_cast<size_t>(l.Stride));
        for (LONG y = 0; y < FHeight; ++y) std::memcpy(image.Row(y), l.Row(y), n);
        return image;
    }
    image.Allocate(FWidth, FHeight, 32);
    for (LONG y = 0; y < FHeight; ++y) ReadPixels(l, y, 0, FWidth, reinterpret_cast<DWORD*>(image.Row(y)));
    return image;
}

void TBitmap::FromImage(const TDibImage& image)
{
    if (image.Empty()) {
        SetSize(0, 0);
        return;
    }
    const TPixelFormat format = FormatOfBits(image.BitCount, image.Is565);
    std::vector<RGBQUAD> colors;
    for (uint32_t c : image.Palette)
        colors.push_back(RGBQUAD{static_cast<BYTE>(c), static_cast<BYTE>(c >> 8), static_cast<BYTE>(c >> 16), 0});
    HBITMAP bmp = NewBitmap(image.Width, image.Height, format, &colors);
    if (!bmp) throw EOutOfResources("Out of system resources");
    const auto& l = BitmapFromHandle(bmp)->Layout;
    const size_t n = std::min<size_t>(image.Stride(), static_cast<size_t>(l.Stride));
    for (LONG y = 0; y < image.Height; ++y) std::memcpy(l.Row(y), image.Row(y), n);
    if (FCanvas) FCanvas->Lock();
    ReplaceHandle(bmp, image.Width, image.Height, format);
    if (FCanvas) FCanvas->Unlock();
    Changed(this);
}

void TBitmap::LoadFromStream(TStream* stream)
{
    TStreamImageReader reader(stream);
    FromImage(ReadBmp(reader));
}

void TBitmap::SaveToStream(TStream* stream)
{
    if (Empty()) return;
    std::vector<uint8_t> bytes;
    WriteBmp(ToImage(), bytes);
    stream->WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
}

void TBitmap::CopyImage(const TBitmap& source)
{
    if (source.Empty()) {
        const TPixelFormat format = source.PixelFormat();
        ReplaceHandle(nullptr, 0, 0, format);
        return;
    }
    const TGdiBitmap* src = BitmapFromHandle(source.FHandle);
    HBITMAP bmp = nullptr;
    if (src->DibSection) {
        const std::vector<RGBQUAD> colors = source.PaletteColors();
        bmp = NewBitmap(source.FWidth, source.FHeight, source.PixelFormat() == pfCustom ? pf32bit : source.PixelFormat(),
                        &colors);
    } else {
        bmp = NewBitmap(source.FWidth, source.FHeight, pfDevice, nullptr);
    }
    if (!bmp) throw EOutOfResources("Out of system resources");
    TGdiBitmap* dst = BitmapFromHandle(bmp);
    if (dst->Layout.Stride == src->Layout.Stride && dst->Layout.BitCount == src->Layout.BitCount &&
        dst->Layout.BottomUp == src->Layout.BottomUp) {
        std::memcpy(dst->Layout.Bits, src->Layout.Bits, static_cast<size_t>(src->Layout.Stride) * src->Layout.Height);
    } else {
        std::vector<DWORD> row(static_cast<size_t>(source.FWidth));
        for (LONG y = 0; y < source.FHeight; ++y) {
            ReadPixels(src->Layout, y, 0, source.FWidth, row.data());
            WritePixels(dst->Layout, y, 0, source.FWidth, row.data());
        }
    }
    ReplaceHandle(bmp, source.FWidth, source.FHeight, source.PixelFormat());
}

void TBitmap::Assign(TPersistent* Source)
{
    if (Source == this) return;
    if (!Source) {
        ReplaceHandle(nullptr, 0, 0, FPixelFormat);
        Changed(this);
        return;
    }
    if (auto* b = dynamic_cast<TBitmap*>(Source)) {
        if (FCanvas) FCanvas->Lock();
        struct TUnlock {
            TBitmap* B;
            ~TUnlock() { if (B->FCanvas) B->FCanvas->Unlock(); }
        } unlock{this};
        CopyImage(*b);
        FTransparent = b->FTransparent;
        FTransparentColor = b->FTransparentColor;
        FTransparentMode = b->FTransparentMode;
        Changed(this);
        return;
    }
    if (auto* p = dynamic_cast<TPicture*>(Source)) {
        Assign(p->Graphic());
        return;
    }
    if (auto* g = dynamic_cast<TGraphic*>(Source)) {
        // Pictures that know bitmaps convert themselves; any other is drawn
        // onto a white bitmap of its size.
        if (dynamic_cast<TPngImage*>(g) || dynamic_cast<TJPEGImage*>(g) || dynamic_cast<TIcon*>(g)) {
            TPersistent::Assign(Source);
            return;
        }
        SetSize(0, 0);
        SetSize(g->Width(), g->Height());
        Canvas()->Brush()->SetColor(clWhite);
        Canvas()->FillRect(Rect(0, 0, FWidth, FHeight));
        Canvas()->Draw(0, 0, g);
        return;
    }
    TGraphic::Assign(Source);
}

void TBitmap::AssignTo(TPersistent* Dest)
{
    if (auto* p = dynamic_cast<TPicture*>(Dest)) {
        p->SetGraphic(this);
        return;
    }
    TGraphic::AssignTo(Dest);
}

// ---- TIcon ----------------------------------------------------------------

void TIcon::LoadFromStream(TStream* stream)
{
    // The directory tells how far the file reaches: read it, then the rest.
    std::vector<uint8_t> data(6);
    TStreamImageReader reader(stream);
    ReadExact(reader, data.data(), 6, "Icon");
    const size_t count = GetLE16(data.data() + 4);
    data.resize(6 + count * 16);
    ReadExact(reader, data.data() + 6, count * 16, "Icon");
    size_t end = data.size();
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* e = data.data() + 6 + i * 16;
        end = std::max<size_t>(end, size_t(GetLE32(e + 12)) + GetLE32(e + 8));
    }
    if (end > (size_t(64) << 20)) throw EInvalidGraphic("Invalid icon: entries lie too far apart");
    const size_t head = data.size();
    data.resize(end);
    ReadExact(reader, data.data() + head, end - head, "Icon");
    TIconDirectory dir = ReadIconDirectory(data);
    const size_t entry = BestIconEntry(dir, 32, 32);
    TDibImage image = DecodeIconEntry(data, dir.Entries[entry]);
    FData = std::move(data);
    FDirectory = std::move(dir);
    FEntry = entry;
    FImage = std::move(image);
    Changed(this);
}

void TIcon::SaveToStream(TStream* stream)
{
    if (!FData.empty()) stream->WriteBuffer(FData.data(), static_cast<std::int64_t>(FData.size()));
}

void TIcon::SetSize(int width, int height)
{
    if (FData.empty()) return;
    const size_t entry = BestIconEntry(FDirectory, width, height);
    if (entry == FEntry) return;
    FImage = DecodeIconEntry(FData, FDirectory.Entries[entry]);
    FEntry = entry;
    Changed(this);
}

TPoint TIcon::HotSpot() const
{
    if (FDirectory.Entries.empty()) return {};
    return FDirectory.Entries[FEntry].HotSpot;
}

void TBlendSource::Reset()
{
    if (FDC) {
        SelectObject(FDC, FOld);
        DeleteDC(FDC);
    }
    if (FBitmap) DeleteObject(FBitmap);
    FDC = nullptr;
    FBitmap = nullptr;
    FOld = nullptr;
    FWidth = FHeight = 0;
}

void TBlendSource::Build(const TDibImage& image)
{
    Reset();
    if (image.Empty()) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = image.Width;
    info.bmiHeader.biHeight = -image.Height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bmp) throw EOutOfResources("Out of system resources");
    const bool alpha = image.BitCount == 32 && image.HasAlpha;
    auto* out = static_cast<uint8_t*>(bits);
    for (int32_t y = 0; y < image.Height; ++y) {
        uint8_t* d = out + static_cast<size_t>(y) * image.Width * 4;
        if (alpha) {
            const uint8_t* s = image.Row(y);
            for (int32_t x = 0; x < image.Width; ++x, s += 4, d += 4) {
                const unsigned a = s[3];
                for (int c = 0; c < 3; ++c) d[c] = static_cast<uint8_t>((s[c] * a + 127) / 255);
                d[3] = static_cast<uint8_t>(a);
            }
        } else {
            for (int32_t x = 0; x < image.Width; ++x, d += 4) {
                const uint32_t v = image.PixelBGRA(x, y) | 0xFF000000u;
                std::memcpy(d, &v, 4);
            }
        }
    }
    FBitmap = bmp;
    FDC = CreateCompatibleDC(nullptr);
    FOld = SelectObject(FDC, FBitmap);
    FWidth = image.Width;
    FHeight = image.Height;
}

void TBlendSource::Draw(TCanvas* canvas, const TRect& r)
{
    if (!FDC || !canvas) return;
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::AlphaBlend(canvas->Handle(), r.left, r.top, r.Width(), r.Height(), FDC, 0, 0, FWidth, FHeight, blend);
}

void DrawImageBlended(TCanvas* canvas, const TRect& r, const TDibImage& image)
{
    TBlendSource source;
    source.Build(image);
    source.Draw(canvas, r);
}

void TIcon::Draw(TCanvas* canvas, const TRect& r)
{
    if (!FBlend.Valid()) FBlend.Build(FImage);
    FBlend.Draw(canvas, r);
}

void TIcon::Changed(TObject* sender)
{
    FBlend.Reset();
    TGraphic::Changed(sender);
}

void TIcon::Assign(TPersistent* Source)
{
    if (auto* i = dynamic_cast<TIcon*>(Source)) {
        if (i == this) return;
        FData = i->FData;
        FDirectory = i->FDirectory;
        FEntry = i->FEntry;
        FImage = i->FImage;
        Changed(this);
        return;
    }
    if (!Source) {
        FData.clear();
        FDirectory = {};
        FEntry = 0;
        FImage = {};
        Changed(this);
        return;
    }
    TGraphic::Assign(Source);
}

void TIcon::AssignTo(TPersistent* Dest)
{
    if (auto* b = dynamic_cast<TBitmap*>(Dest)) {
        // The icon over white, as it would show on an empty bitmap.
        TDibImage flat = FImage;
        for (int32_t y = 0; y < flat.Height; ++y) {
            uint8_t* p = flat.Row(y);
            for (int32_t x = 0; x < flat.Width; ++x, p += 4) {
                const unsigned a = p[3];
                for (int c = 0; c < 3; ++c) p[c] = static_cast<uint8_t>((p[c] * a + 255 * (255 - a) + 127) / 255);
            }
        }
        b->FromImage(ToBGR24(flat));
        return;
    }
    if (auto* p = dynamic_cast<TPicture*>(Dest)) {
        p->SetGraphic(this);
        return;
    }
    TGraphic::AssignTo(Dest);
}

// ---- TPicture -------------------------------------------------------------

TPicture::~TPicture() { delete FGraphic; }

void TPicture::GraphicChanged(TObject*)
{
    if (OnChange) OnChange(this);
}

void TPicture::SetOwned(TGraphic* graphic)
{
    delete FGraphic;
    FGraphic = graphic;
    if (FGraphic) FGraphic->OnChange = MakeEvent(this, &TPicture::GraphicChanged);
    GraphicChanged(this);
}

TGraphic* NewGraphicForFile(const std::string& fileName)
{
    const std::string ext = LowerCase(ExtractFileExt(fileName));
    if (ext == ".bmp") return new TBitmap;
    if (ext == ".png") return new TPngImage;
    if (ext == ".jpg" || ext == ".jpeg") return new TJPEGImage;
    if (ext == ".ico" || ext == ".cur") return new TIcon;
    return nullptr;
}

static TGraphic* NewGraphicLike(TGraphic* g)
{
    if (dynamic_cast<TBitmap*>(g)) return new TBitmap;
    if (dynamic_cast<TPngImage*>(g)) return new TPngImage;
    if (dynamic_cast<TJPEGImage*>(g)) return new TJPEGImage;
    if (dynamic_cast<TIcon*>(g)) return new TIcon;
    throw EInvalidGraphic("Unsupported picture class " + g->ClassName());
}

void TPicture::SetGraphic(TGraphic* value)
{
    if (value == FGraphic) return;
    if (!value) {
        SetOwned(nullptr);
        return;
    }
    std::unique_ptr<TGraphic> copy(NewGraphicLike(value));
    copy->Assign(value);
    SetOwned(copy.release());
}

TBitmap* TPicture::Bitmap()
{
    if (auto* b = dynamic_cast<TBitmap*>(FGraphic)) return b;
    SetOwned(new TBitmap);
    return static_cast<TBitmap*>(FGraphic);
}

TIcon* TPicture::Icon()
{
    if (auto* i = dynamic_cast<TIcon*>(FGraphic)) return i;
    SetOwned(new TIcon);
    return static_cast<TIcon*>(FGraphic);
}

void TPicture::LoadFromFile(const std::string& fileName)
{
    std::unique_ptr<TGraphic> graphic(NewGraphicForFile(fileName));
    if (!graphic) throw EInvalidGraphic("Unknown picture file extension (" + ExtractFileExt(fileName) + ")");
    graphic->LoadFromFile(fileName);
    SetOwned(graphic.release());
}

void TPicture::SaveToFile(const std::string& fileName)
{
    if (FGraphic) FGraphic->SaveToFile(fileName);
}

void TPicture::Assign(TPersistent* Source)
{
    if (!Source) {
        SetGraphic(nullptr);
        return;
    }
    if (auto* p = dynamic_cast<TPicture*>(Source)) {
        if (p != this) SetGraphic(p->Graphic());
        return;
    }
    if (auto* g = dynamic_cast<TGraphic*>(Source)) {
        SetGraphic(g);
        return;
    }
    TPersistent::Assign(Source);
}

void TPicture::AssignTo(TPersistent* Dest)
{
    if (auto* g = dynamic_cast<TGraphic*>(Dest); g && FGraphic) {
        g->Assign(FGraphic);
        return;
    }
    TPersistent::AssignTo(Dest);
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
