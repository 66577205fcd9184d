#include "platform/gui/Bitmap.h"

#include "platform/gdi/BmpFormat.h"
#include "platform/gui/JpegImage.h"
#include "platform/gui/PngImage.h"
#include "platform/rtl/Exceptions.h"

#include <algorithm>
#include <cstring>

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
