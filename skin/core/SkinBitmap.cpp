#include "skin/core/SkinBitmap.h"

#include "platform/gdi/Gdi.h"
#include "platform/rtl/Checked.h"
#include "skin/core/SkinColor.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

// The picture-class half of Assign and AssignTo (SkinBitmapCanvas.cpp): true
// when the other object was a platform picture and has been handled.
bool AssignBitmapFromPicture(TspBitmap& Self, TPersistent* Source);
bool AssignBitmapToPicture(TspBitmap& Self, TPersistent* Dest);

namespace {

std::unique_ptr<std::vector<TspBitmap*>>& LiveList()
{
    static std::unique_ptr<std::vector<TspBitmap*>> list;
    return list;
}

// Cuts R to (0, 0, W, H); false when nothing is left.
bool CutToBitmap(TRect& R, int W, int H)
{
    R.left = std::max<LONG>(R.left, 0);
    R.top = std::max<LONG>(R.top, 0);
    R.right = std::min<LONG>(R.right, W);
    R.bottom = std::min<LONG>(R.bottom, H);
    return R.right > R.left && R.bottom > R.top;
}

inline int Chan(TspColor c, int shift) { return static_cast<int>((c >> shift) & 0xFF); }

// Runs the colour of every pixel that is not fully transparent through
// `recolor`; the alpha stays as it is.
template <typename F>
void RecolorOpaque(TspColor* bits, std::size_t count, F&& recolor)
{
    for (std::size_t i = 0; i < count; ++i)
        if (bits[i] >> 24)
            bits[i] = (recolor(bits[i]) & 0xFFFFFF) | (bits[i] & 0xFF000000u);
}

}  // namespace

void AddBitmapToList(TspBitmap* Bitmap)
{
    auto& list = LiveList();
    if (!list)
        list = std::make_unique<std::vector<TspBitmap*>>();
    list->push_back(Bitmap);
}

void RemoveBitmapFromList(TspBitmap* Bitmap)
{
    auto& list = LiveList();
    if (!list)
        return;
    auto it = std::find(list->begin(), list->end(), Bitmap);
    if (it != list->end())
        list->erase(it);
}

TspBitmap* FindBitmapByDC(HDC DC)
{
    auto& list = LiveList();
    if (!list || !DC)
        return nullptr;
    for (TspBitmap* b : *list)
        if (b->DC() == DC)
            return b;
    return nullptr;
}

int LiveBitmapCount()
{
    auto& list = LiveList();
    return list ? static_cast<int>(list->size()) : 0;
}

TspBitmap::TspBitmap()
{
    FBitmapInfo.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    FBitmapInfo.bmiHeader.biPlanes = 1;
    FBitmapInfo.bmiHeader.biBitCount = 32;
    FBitmapInfo.bmiHeader.biCompression = BI_RGB;
}

TspBitmap::~TspBitmap()
{
    RemoveBitmapFromList(this);
    if (FCanvas) {
        SetBitmapCanvasHandle(FCanvas, nullptr);
        FreeBitmapCanvas(FCanvas);
        FCanvas = nullptr;
    }
    ReleasePixels();
}

void TspBitmap::ReleasePixels()
{
    if (FDC) {
        DeleteDC(FDC);
        FDC = nullptr;
    }
    if (FHandle) {
        DeleteObject(FHandle);
        FHandle = nullptr;
    }
    FBits = nullptr;
}

void TspBitmap::SetSize(int AWidth, int AHeight)
{
    AWidth = AWidth < 0 ? CheckedNeg(AWidth) : AWidth;
    if (AWidth == 0)
        return;
    AHeight = AHeight < 0 ? CheckedNeg(AHeight) : AHeight;
    if (AHeight == 0 || (AWidth == FWidth && AHeight == FHeight && FHandle))
        return;

    ReleasePixels();
    // A failure below leaves a consistent empty bitmap: no pixels, no size,
    // no entry in the live list.
    RemoveBitmapFromList(this);
    FWidth = 0;
    FHeight = 0;
    if (FCanvas)
        SetBitmapCanvasHandle(FCanvas, nullptr);

    FBitmapInfo.bmiHeader.biWidth = AWidth;
    FBitmapInfo.bmiHeader.biHeight = -AHeight;
    void* bits = nullptr;
    FHandle = CreateDIBSection(nullptr, &FBitmapInfo, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!FHandle || !bits) {
        if (FHandle)
            DeleteObject(FHandle);
        FHandle = nullptr;
        throw Exception("Can't allocate the DIB handle");
    }
    FDC = CreateCompatibleDC(nullptr);
    if (!FDC) {
        ReleasePixels();
        throw Exception("Can't create compatible DC");
    }
    if (!SelectObject(FDC, FHandle)) {
        ReleasePixels();
        throw Exception("Can't bslect an object into DC");
    }
    FBits = static_cast<PspColorArray>(bits);
    RemoveBitmapFromList(this);
    AddBitmapToList(this);
    if (FCanvas)
        SetBitmapCanvasHandle(FCanvas, FDC);
    FWidth = AWidth;
    FHeight = AHeight;
}

TCanvas* TspBitmap::Canvas()
{
    if (!FCanvas)
        FCanvas = CreateBitmapCanvas(FDC);
    return FCanvas;
}

TspColor TspBitmap::GetPixel(int X, int Y) const
{
    if (!FBits || X < 0 || Y < 0 || X >= FWidth || Y >= FHeight)
        return 0;
    return *GetPixelPtr(X, Y);
}

void TspBitmap::SetPixel(int X, int Y, TspColor Color)
{
    if (FBits && X >= 0 && Y >= 0 && X < FWidth && Y < FHeight)
        *GetPixelPtr(X, Y) = Color;
}

void TspBitmap::Clear(TspColor Color)
{
    if (!FBits)
        return;
    for (int y = 0; y < FHeight; ++y)
        RowKernels.FillRow(GetScanLinePtr(y), FWidth, Color);
}

void TspBitmap::FillRect(TRect R, TspColor Color)
{
    if (!FBits || !CutToBitmap(R, FWidth, FHeight))
        return;
    if (FAlphaBlend) {
        TMMXGuard guard;
        std::vector<TspColor> row(static_cast<std::size_t>(R.Width()), Color);
        for (int y = R.top; y < R.bottom; ++y)
            RowKernels.BlendRow(row.data(), GetPixelPtr(R.left, y), R.Width());
    } else {
        RowKernels.FillRectPixels(FBits, FWidth, FHeight, Color, R.bottom - 1, R.right - 1, R.top, R.left);
    }
}

void TspBitmap::SetAlpha(Byte Alpha)
{
    if (Empty())
        return;
    for (int y = 0; y < FHeight; ++y)
        RowKernels.SetAlphaRow(GetScanLinePtr(y), FWidth, Alpha);
}

void TspBitmap::SetAlpha(Byte Alpha, TRect Rect)
{
    if (Rect.Width() == 0 || Rect.Height() == 0 || !FBits)
        return;
    if (!CutToBitmap(Rect, FWidth, FHeight))
        return;
    RowKernels.SetAlphaRect(FBits, FWidth, FHeight, Alpha, Rect.bottom - 1, Rect.right - 1, Rect.top, Rect.left);
}

void TspBitmap::CheckRGBA()
{
    if (!FBits)
        return;
    const std::size_t n = static_cast<std::size_t>(FWidth) * FHeight;
    for (std::size_t i = 0; i < n; ++i) {
        const TspColor c = FBits[i];
        const TspColor a = c >> 24;
        TspColor r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
        r = std::min(r, a);
        g = std::min(g, a);
        b = std::min(b, a);
        FBits[i] = (a << 24) | (r << 16) | (g << 8) | b;
    }
}

void TspBitmap::CheckRGBA2()
{
    if (!FBits)
        return;
    const std::size_t n = static_cast<std::size_t>(FWidth) * FHeight;
    for (std::size_t i = 0; i < n; ++i) {
        const TspColor c = FBits[i];
        const TspColor a = c >> 24;
        // Round(a * c / 255) with halves to even, in integers: a * c / 255
        // is never exactly a half, since 255 is odd.
        auto pm = [a](TspColor v) { return (a * v * 2 + 255) / 510; };
        FBits[i] = (a << 24) | (pm((c >> 16) & 0xFF) << 16) | (pm((c >> 8) & 0xFF) << 8) | pm(c & 0xFF);
    }
}

void TspBitmap::CheckingAlphaBlend()
{
    FAlphaBlend = false;
    if (!FBits)
        return;
    const std::size_t n = static_cast<std::size_t>(FWidth) * FHeight;
    for (std::size_t i = 0; i < n; ++i) {
        const TspColor a = FBits[i] >> 24;
        if (a != 0 && a != 255) {
            FAlphaBlend = true;
            return;
        }
    }
}

// Nothing calls the rectangle overloads; they look at the whole bitmap like
// the plain ones.
void TspBitmap::CheckingAlphaBlend(TRect) { CheckingAlphaBlend(); }
void TspBitmap::CheckingTransparent(TRect, TspColor Color) { CheckingTransparent(Color); }

void TspBitmap::CheckingTransparent(TspColor Color)
{
    FTransparent = false;
    if (!FBits)
        return;
    const int r0 = Chan(Color, 16), g0 = Chan(Color, 8), b0 = Chan(Color, 0);
    const std::size_t n = static_cast<std::size_t>(FWidth) * FHeight;
    for (std::size_t i = 0; i < n; ++i) {
        const TspColor c = FBits[i];
        if (std::abs(Chan(c, 16) - r0) < 6 && std::abs(Chan(c, 8) - g0) < 6 && std::abs(Chan(c, 0) - b0) < 6)
            FBits[i] = spKeyColor;
    }
    FTransparent = true;
}

void TspBitmap::Assign(TPersistent* Source)
{
    if (auto* src = dynamic_cast<TspBitmap*>(Source)) {
        if (src == this)
            return;
        SetSize(src->Width(), src->Height());
        if (Empty())
            return;
        if (src->Bits() && src->Width() == FWidth && src->Height() == FHeight)
            for (int y = 0; y < FHeight; ++y)
                RowKernels.CopyRow(src->GetScanLinePtr(y), GetScanLinePtr(y), FWidth);
        FName = src->Name();
        FTransparent = src->Transparent();
        FAlphaBlend = src->AlphaBlend();
        return;
    }
    if (AssignBitmapFromPicture(*this, Source))
        return;
    TPersistent::Assign(Source);
}

void TspBitmap::AssignTo(TPersistent* Dest)
{
    if (AssignBitmapToPicture(*this, Dest))
        return;
    TPersistent::AssignTo(Dest);
}

void TspBitmap::ChangeBitmapBrightness(int DeltaBrightness)
{
    if (DeltaBrightness == 0 || !FBits)
        return;
    RecolorOpaque(FBits, static_cast<std::size_t>(FWidth) * FHeight,
                  [DeltaBrightness](TspColor c) { return ChangeColorBrightness(c, DeltaBrightness); });
}

void TspBitmap::ChangeBitmapSat(int DeltaSat)
{
    if (DeltaSat == 0 || !FBits)
        return;
    RecolorOpaque(FBits, static_cast<std::size_t>(FWidth) * FHeight,
                  [DeltaSat](TspColor c) { return ChangeColorSaturation(c, DeltaSat); });
}

void TspBitmap::ChangeBitmapHue(int DeltaHue)
{
    if (DeltaHue == 0 || !FBits)
        return;
    RecolorOpaque(FBits, static_cast<std::size_t>(FWidth) * FHeight,
                  [DeltaHue](TspColor c) { return ChangeColorHue(c, DeltaHue); });
}

void TspBitmap::SetBitmapHue(int Hue)
{
    if (!FBits)
        return;
    RecolorOpaque(FBits, static_cast<std::size_t>(FWidth) * FHeight,
                  [Hue](TspColor c) { return SetColorHue(c, Hue); });
}

void TspBitmap::FlipVert()
{
    if (!FBits || FHeight < 2)
        return;
    std::vector<TspColor> row(static_cast<std::size_t>(FWidth));
    for (int y = 0; y < FHeight / 2; ++y) {
        TspColor* a = GetScanLinePtr(y);
        TspColor* b = GetScanLinePtr(FHeight - 1 - y);
        RowKernels.CopyRow(a, row.data(), FWidth);
        RowKernels.CopyRow(b, a, FWidth);
        RowKernels.CopyRow(row.data(), b, FWidth);
    }
}

void TspBitmap::FadeAlpha(int Divisor)
{
    if (!FBits)
        return;
    FlipVert();
    double f = 1.0;
    const double step = 2.0 / FHeight;
    for (int y = 0; y < FHeight; ++y) {
        TspColor* row = GetScanLinePtr(y);
        for (int x = 0; x < FWidth; ++x) {
            const TspColor a = row[x] >> 24;
            if (a == 0)
                continue;
            const std::int64_t v = Round(a * f) / Divisor;
            const TspColor na = v < 0 ? 0 : static_cast<TspColor>(v);
            row[x] = (row[x] & 0xFFFFFF) | (na << 24);
        }
        f -= step;
    }
}

void TspBitmap::Reflection() { FadeAlpha(3); }
void TspBitmap::Reflection2() { FadeAlpha(4); }
void TspBitmap::Reflection3() { FadeAlpha(2); }
