#include "skin/core/EffectBmp.h"

#include "platform/gdi/Gdi.h"
#include "platform/rtl/Checked.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Halves to even, as the run-time's Round; the current rounding mode is the
// default one.
inline int RoundI(double v) { return static_cast<int>(std::nearbyint(v)); }

inline BYTE ClampC(double v)
{
    if (!(v > 0))
        return 0;  // also NaN
    if (v >= 255)
        return 255;
    return static_cast<BYTE>(RoundI(v) > 255 ? 255 : RoundI(v));
}

// old * t + new * (1 - t) per channel, clamped.
inline void Mix3(BYTE* d, const BYTE* o, const BYTE* n, double t)
{
    for (int c = 0; c < 3; ++c)
        d[c] = ClampC(o[c] * t + n[c] * (1 - t));
}

// Kf values of the unclamped transitions: a NaN counts as 0 and huge values
// are held where the integer arithmetic stays exact.
double SaneKf(double Kf)
{
    if (std::isnan(Kf))
        return 0;
    return std::clamp(Kf, -1.0e6, 1.0e6);
}

double ClampKf(double Kf) { return std::isnan(Kf) ? 0 : std::clamp(Kf, 0.0, 1.0); }

// The width of the band a sliding or graded transition covers at Kf: at
// least one column, and never the whole row.
int BandWidth(int W, double Kf)
{
    int b = RoundI(W * SaneKf(Kf));
    if (b <= 0)
        b = 1;
    if (b > W - 1)
        b = W - 1;
    return b;
}

}  // namespace

TspEffectBmp::TspEffectBmp(int cx, int cy) { Allocate(cx, cy); }

void TspEffectBmp::Allocate(int cx, int cy)
{
    BmpHeader = BITMAPINFOHEADER{};
    BmpHeader.biSize = sizeof(BITMAPINFOHEADER);
    BmpHeader.biPlanes = 1;
    BmpHeader.biBitCount = 24;
    BmpHeader.biCompression = BI_RGB;
    if (cx <= 0 || cy <= 0)
        return;
    BmpHeader.biWidth = cx;
    BmpHeader.biHeight = -cy;
    BmpInfo.bmiHeader = BmpHeader;
    void* bits = nullptr;
    Handle = CreateDIBSection(nullptr, &BmpInfo, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!Handle || !bits) {
        if (Handle)
            DeleteObject(Handle);
        Handle = nullptr;
        BmpHeader.biWidth = 0;
        BmpHeader.biHeight = 0;
        BmpInfo.bmiHeader = BmpHeader;
        return;
    }
    Bits = static_cast<BYTE*>(bits);
    Width = cx;
    Height = cy;
    Size = static_cast<int>(static_cast<std::int64_t>(RowBytes()) * cy);
}

TspEffectBmp* TspEffectBmp::CreateFromhWnd(HBITMAP hBmp)
{
    auto* e = new TspEffectBmp();
    BITMAP bm;
    if (!GetObject(hBmp, sizeof bm, &bm)) {
        e->Allocate(0, 0);
        return e;
    }
    e->Allocate(bm.bmWidth, bm.bmHeight);
    if (e->Bits) {
        HDC dc = CreateCompatibleDC(nullptr);
        GetDIBits(dc, hBmp, 0, static_cast<UINT>(e->Height), e->Bits, &e->BmpInfo, DIB_RGB_COLORS);
        DeleteDC(dc);
    }
    return e;
}

TspEffectBmp* TspEffectBmp::CreateCopy(const TspEffectBmp* Bmp)
{
    auto* e = new TspEffectBmp();
    e->Allocate(Bmp ? Bmp->Width : 0, Bmp ? Bmp->Height : 0);
    if (e->Bits && Bmp->Bits)
        std::memcpy(e->Bits, Bmp->Bits, static_cast<std::size_t>(e->Size));
    return e;
}

TspEffectBmp::~TspEffectBmp()
{
    if (Handle)
        DeleteObject(Handle);
}

void TspEffectBmp::SetPixel(int X, int Y, DWORD Color)
{
    if (!Inside(X, Y))
        return;
    BYTE* p = GetScanLinePtr(Y) + X * 3;
    p[0] = static_cast<BYTE>(Color);
    p[1] = static_cast<BYTE>(Color >> 8);
    p[2] = static_cast<BYTE>(Color >> 16);
}

DWORD TspEffectBmp::GetPixel(int X, int Y) const
{
    if (!Inside(X, Y))
        return 0;
    const BYTE* p = GetScanLinePtr(Y) + X * 3;
    return p[0] | (static_cast<DWORD>(p[1]) << 8) | (static_cast<DWORD>(p[2]) << 16);
}

void TspEffectBmp::GetScanLine(int Y, BYTE* Line) const
{
    if (Inside(0, Y))
        std::memcpy(Line, GetScanLinePtr(Y), static_cast<std::size_t>(Width) * 3);
}

void TspEffectBmp::SetScanLine(int Y, const BYTE* Line)
{
    if (Inside(0, Y))
        std::memcpy(GetScanLinePtr(Y), Line, static_cast<std::size_t>(Width) * 3);
}

void TspEffectBmp::Draw(HDC DC, int X, int Y)
{
    if (!Bits)
        return;
    SetDIBitsToDevice(DC, X, Y, static_cast<DWORD>(Width), static_cast<DWORD>(Height), 0, 0, 0,
                      static_cast<UINT>(Height), Bits, &BmpInfo, DIB_RGB_COLORS);
}

void TspEffectBmp::Stretch(HDC DC, int X, int Y, int cx, int cy)
{
    if (!Bits)
        return;
    StretchDIBits(DC, X, Y, cx, cy, 0, 0, Width, Height, Bits, &BmpInfo, DIB_RGB_COLORS, SRCCOPY);
}

// Source rectangles of top-down pictures are measured from the top row here,
// so the part at (X, Y) is given as it is.
void TspEffectBmp::DrawRect(HDC DC, int hx, int hy, int X, int Y, int cx, int cy)
{
    if (!Bits)
        return;
    StretchDIBits(DC, hx, hy, cx, cy, X, Y, cx, cy, Bits, &BmpInfo, DIB_RGB_COLORS, SRCCOPY);
}

template <class F>
void TspEffectBmp::EachRow(F&& f)
{
    if (!Bits)
        return;
    std::vector<BYTE> line(static_cast<std::size_t>(Width) * 3);
    for (int y = 0; y < Height; ++y) {
        GetScanLine(y, line.data());
        f(y, line.data());
        SetScanLine(y, line.data());
    }
}

void TspEffectBmp::Morph(const TspEffectBmp* BMP, double Kf)
{
    if (!SameSize(BMP))
        return;
    Kf = ClampKf(Kf);
    EachRow([&](int y, BYTE* line) {
        const BYTE* n = BMP->GetScanLinePtr(y);
        for (int i = 0; i < Width * 3; ++i)
            line[i] = ClampC((1 - Kf) * line[i] + Kf * n[i]);
    });
}

void TspEffectBmp::MorphRect(const TspEffectBmp* BMP, double Kf, TRect Rct, int StartX, int StartY)
{
    if (!Bits || !BMP || !BMP->Bits)
        return;
    Kf = ClampKf(Kf);
    const int top = std::max<LONG>(Rct.top, 0), bottom = std::min<LONG>(Rct.bottom, Height);
    const int left = std::max<LONG>(Rct.left, 0), right = std::min<LONG>(Rct.right, Width);
    for (int y = top; y < bottom; ++y) {
        const std::int64_t sy = static_cast<std::int64_t>(StartY) + y - Rct.top;
        if (sy < 0 || sy >= BMP->Height)
            continue;
        BYTE* d = GetScanLinePtr(y);
        const BYTE* s = BMP->GetScanLinePtr(static_cast<int>(sy));
        for (int x = left; x < right; ++x) {
            const std::int64_t sx = static_cast<std::int64_t>(StartX) + x - Rct.left;
            if (sx < 0 || sx >= BMP->Width)
                continue;
            for (int c = 0; c < 3; ++c)
                d[x * 3 + c] = ClampC((1 - Kf) * d[x * 3 + c] + Kf * s[sx * 3 + c]);
        }
    }
}

void TspEffectBmp::MorphGrad(const TspEffectBmp* BMP, double Kf)
{
    if (Width < Height)
        MorphVGrad(BMP, Kf);
    else
        MorphHGrad(BMP, Kf);
}

void TspEffectBmp::MorphHGrad(const TspEffectBmp* BMP, double Kf)
{
    if (!SameSize(BMP))
        return;
    Kf = SaneKf(Kf);
    const int W = Width;
    const int b = RoundI(W * Kf);
    const int c = (W - b) / 2;
    const double step = c == 0 ? 1.0 : 1.0 / c;
    const int h = std::max(0, W / 2 - b / 2);
    const int e = std::min(W - 1, W / 2 + b / 2);
    EachRow([&](int y, BYTE* line) {
        const BYTE* n = BMP->GetScanLinePtr(y);
        for (int x = h; x <= e; ++x)
            std::memcpy(line + x * 3, n + x * 3, 3);
        double t = 0;
        for (int x = std::min(h, W - 1); x >= 0; --x) {
            Mix3(line + x * 3, line + x * 3, n + x * 3, t);
            t = std::min(1.0, t + step);
        }
        t = 0;
        for (int x = std::max(e, 0); x < W; ++x) {
            Mix3(line + x * 3, line + x * 3, n + x * 3, t);
            t = std::min(1.0, t + step);
        }
    });
}

void TspEffectBmp::MorphVGrad(const TspEffectBmp* BMP, double Kf)
{
    if (!SameSize(BMP))
        return;
    Kf = SaneKf(Kf);
    const int H = Height;
    const int b = RoundI(H * Kf);
    const int c = (H - 1 - b) / 2;
    const double step = c == 0 ? 0.0 : 1.0 / c;
    const int n0 = std::max(0, H / 2 - b / 2);
    const int e = std::min(H - 1, H / 2 + b / 2);
    const std::size_t rowLen = static_cast<std::size_t>(Width) * 3;
    std::vector<BYTE> line(rowLen);
    auto mixRow = [&](int y, double t) {
        GetScanLine(y, line.data());
        const BYTE* n = BMP->GetScanLinePtr(y);
        for (int x = 0; x < Width; ++x)
            Mix3(line.data() + x * 3, line.data() + x * 3, n + x * 3, t);
        SetScanLine(y, line.data());
    };
    for (int y = n0; y <= e; ++y)
        SetScanLine(y, BMP->GetScanLinePtr(y));
    double t = 0;
    for (int y = std::min(n0, H - 1); y >= 0; --y) {
        mixRow(y, t);
        t = std::min(1.0, t + step);
    }
    t = 0;
    for (int y = std::max(e, 0); y < H; ++y) {
        mixRow(y, t);
        t = std::min(1.0, t + step);
    }
}

void TspEffectBmp::MorphLeftGrad(const TspEffectBmp* BMP, double Kf)
{
    if (!SameSize(BMP))
        return;
    const int W = Width;
    const int b = BandWidth(W, Kf);
    const double step = 1.0 / b;
    EachRow([&](int y, BYTE* line) {
        const BYTE* n = BMP->GetScanLinePtr(y);
        double t = 0;
        for (int x = 0; x <= b; ++x) {
            Mix3(line + x * 3, line + x * 3, n + x * 3, t);
            t = std::min(1.0, t + step);
        }
    });
}

void TspEffectBmp::MorphRightGrad(const TspEffectBmp* BMP, double Kf)
{
    if (!SameSize(BMP))
        return;
    Kf = SaneKf(Kf);
    const int W = Width;
    const int c = std::clamp(W - RoundI(W * Kf), 0, W - 1);
    const double step = 1.0 / (W - c);
    EachRow([&](int y, BYTE* line) {
        const BYTE* n = BMP->GetScanLinePtr(y);
        double t = 0;
        for (int x = W - 1; x >= c; --x) {
            Mix3(line + x * 3, line + x * 3, n + x * 3, t);
            t = std::min(1.0, t + step);
        }
    });
}

void TspEffectBmp::MorphPush(const TspEffectBmp* BMP, double Kf)
{
    if (!SameSize(BMP))
        return;
    Kf = SaneKf(Kf);
    const int W = Width;
    const int b = std::clamp(RoundI(W * Kf), 0, W - 1);
    EachRow([&](int y, BYTE* line) {
        const BYTE* n = BMP->GetScanLinePtr(y);
        for (int j = W - 1; j >= b; --j)
            std::memcpy(line + j * 3, line + std::max(0, j - b - 1) * 3, 3);
        int j = std::max(0, W - b - 1);
        for (int k = 0; k <= b; ++k) {
            std::memcpy(line + k * 3, n + j * 3, 3);
            j = std::min(W - 1, j + 1);
        }
    });
}

void TspEffectBmp::MorphLeftSlide(const TspEffectBmp* BMP, double Kf)
{
    if (!SameSize(BMP))
        return;
    const int W = Width;
    const int b = BandWidth(W, Kf);
    EachRow([&](int y, BYTE* line) {
        const BYTE* n = BMP->GetScanLinePtr(y);
        int j = std::max(0, W - b - 1);
        for (int k = 0; k < b; ++k) {
            j = std::min(W - 1, j + 1);
            std::memcpy(line + k * 3, n + j * 3, 3);
        }
    });
}

void TspEffectBmp::MorphRightSlide(const TspEffectBmp* BMP, double Kf)
{
    if (!SameSize(BMP))
        return;
    const int W = Width;
    const int b = BandWidth(W, Kf);
    EachRow([&](int y, BYTE* line) {
        const BYTE* n = BMP->GetScanLinePtr(y);
        int j = std::max(0, W - b - 1);
        for (int k = 0; k < b; ++k) {
            j = std::min(W - 1, j + 1);
            std::memcpy(line + j * 3, n + k * 3, 3);
        }
    });
}

void TspEffectBmp::CopyRect(const TspEffectBmp* BMP, TRect Rct, int StartX, int StartY)
{
    if (!Bits || !BMP || !BMP->Bits)
        return;
    const int right = std::min<LONG>(Rct.right, Width - 1), bottom = std::min<LONG>(Rct.bottom, Height - 1);
    for (int y = std::max<LONG>(Rct.top, 0); y <= bottom; ++y) {
        const std::int64_t sy = static_cast<std::int64_t>(StartY) + y - Rct.top;
        if (sy < 0 || sy >= BMP->Height)
            continue;
        for (int x = std::max<LONG>(Rct.left, 0); x <= right; ++x) {
            const std::int64_t sx = static_cast<std::int64_t>(StartX) + x - Rct.left;
            if (sx < 0 || sx >= BMP->Width)
                continue;
            std::memcpy(GetScanLinePtr(y) + x * 3, BMP->GetScanLinePtr(static_cast<int>(sy)) + sx * 3, 3);
        }
    }
}

void TspEffectBmp::ChangeBrightness(double Kf)
{
    Kf = ClampKf(Kf);
    EachRow([&](int, BYTE* line) {
        for (int i = 0; i < Width * 3; ++i)
            line[i] = ClampC((1 - Kf) * line[i] + Kf * 255);
    });
}

void TspEffectBmp::ChangeDarkness(double Kf)
{
    Kf = ClampKf(Kf);
    EachRow([&](int, BYTE* line) {
        for (int i = 0; i < Width * 3; ++i)
            line[i] = ClampC((1 - Kf) * line[i]);
    });
}

void TspEffectBmp::Invert()
{
    EachRow([&](int, BYTE* line) {
        for (int i = 0; i < Width * 3; ++i)
            line[i] = static_cast<BYTE>(255 - line[i]);
    });
}

void TspEffectBmp::GrayScale()
{
    EachRow([&](int, BYTE* line) {
        for (int x = 0; x < Width; ++x) {
            BYTE* p = line + x * 3;
            const BYTE g = ClampC(0.30 * p[2] + 0.59 * p[1] + 0.11 * p[0]);
            p[0] = p[1] = p[2] = g;
        }
    });
}

// The sample positions: y - Amount (or y when that is negative), and
// y + Amount (or Limit - y once that reaches Limit); a position that still
// falls outside the picture is held at its edge.
int TspEffectBmp::SampleUp(int y, int Amount) const
{
    const std::int64_t v = static_cast<std::int64_t>(y) - Amount;
    return static_cast<int>(std::clamp<std::int64_t>(v < 0 ? y : v, 0, Height - 1));
}

int TspEffectBmp::SampleDown(int y, int Amount, int Limit) const
{
    const std::int64_t v = static_cast<std::int64_t>(y) + Amount;
    return static_cast<int>(std::clamp<std::int64_t>(v >= Limit ? Limit - y : v, 0, Height - 1));
}

int TspEffectBmp::SampleLeft(int x, int Amount) const
{
    const std::int64_t v = static_cast<std::int64_t>(x) - Amount;
    return static_cast<int>(std::clamp<std::int64_t>(v < 0 ? x : v, 0, Width - 1));
}

int TspEffectBmp::SampleRight(int x, int Amount) const
{
    const std::int64_t v = static_cast<std::int64_t>(x) + Amount;
    return static_cast<int>(std::clamp<std::int64_t>(v >= Width ? Width - x : v, 0, Width - 1));
}

template <class F>
void TspEffectBmp::MaskedAverage(const TspEffectBmp* Msk, int Amount, F&& wants)
{
    if (!Bits)
        return;
    const std::size_t rowLen = static_cast<std::size_t>(Width) * 3;
    std::vector<BYTE> line(rowLen), up(rowLen), down(rowLen);
    std::vector<int> left(static_cast<std::size_t>(Width)), right(static_cast<std::size_t>(Width));
    for (int x = 0; x < Width; ++x) {
        left[static_cast<std::size_t>(x)] = SampleLeft(x, Amount);
        right[static_cast<std::size_t>(x)] = SampleRight(x, Amount);
    }
    for (int y = 0; y < Height; ++y) {
        const int yu = SampleUp(y, Amount), yd = SampleDown(y, Amount, Height);
        GetScanLine(y, line.data());
        GetScanLine(yu, up.data());
        GetScanLine(yd, down.data());
        for (int x = 0; x < Width; ++x) {
            const int xl = left[static_cast<std::size_t>(x)], xr = right[static_cast<std::size_t>(x)];
            if (!wants(x, y, xl, xr, yu, yd))
                continue;
            for (int c = 0; c < 3; ++c)
                line[x * 3 + c] = static_cast<BYTE>(
                    (up[xl * 3 + c] + down[xl * 3 + c] + up[xr * 3 + c] + down[xr * 3 + c]) >> 2);
        }
        SetScanLine(y, line.data());
    }
    (void)Msk;
}

void TspEffectBmp::SplitBlur(int Amount)
{
    if (Amount == 0)
        return;
    MaskedAverage(nullptr, Amount, [](int, int, int, int, int, int) { return true; });
}

namespace {
bool IsWhite(const TspEffectBmp* m, int x, int y) { return (m->GetPixel(x, y) & 0xFFFFFF) == 0xFFFFFF; }
}  // namespace

void TspEffectBmp::MaskBlur(const TspEffectBmp* Msk, int Amount)
{
    if (Amount == 0 || !Bits || !Msk || !Msk->Bits || Msk->Width != Width || Msk->Height < Height)
        return;
    MaskedAverage(Msk, Amount, [&](int x, int y, int, int, int, int) { return !IsWhite(Msk, x, y); });
}

void TspEffectBmp::MaskAntialiasing(const TspEffectBmp* Msk, int Amount)
{
    if (Amount == 0 || !Bits || !Msk || !Msk->Bits || Msk->Width != Width || Msk->Height < Height)
        return;
    MaskedAverage(Msk, Amount, [&](int x, int y, int xl, int xr, int yu, int) {
        if (IsWhite(Msk, x, y))
            return false;
        // The lower mask sample reaches the mask's own height.
        const std::int64_t v = static_cast<std::int64_t>(y) + Amount;
        const int ymd = static_cast<int>(std::clamp<std::int64_t>(v >= Msk->Height ? Height - y : v, 0, Height - 1));
        return IsWhite(Msk, xl, yu) || IsWhite(Msk, xl, ymd) || IsWhite(Msk, xr, yu) || IsWhite(Msk, xr, ymd);
    });
}

void TspEffectBmp::MaskFillColor(const TspEffectBmp* Msk, TColor C, double kf)
{
    if (!Bits || !Msk || !Msk->Bits || Msk->Width != Width || Msk->Height < Height)
        return;
    const COLORREF rgb = ColorToRGB(C);
    const double ch[3] = {static_cast<double>(GetBValue(rgb)), static_cast<double>(GetGValue(rgb)),
                          static_cast<double>(GetRValue(rgb))};
    if (std::isnan(kf))
        kf = 0;
    EachRow([&](int y, BYTE* line) {
        for (int x = 0; x < Width; ++x) {
            if (IsWhite(Msk, x, y))
                continue;
            for (int c = 0; c < 3; ++c)
                line[x * 3 + c] = ClampC((1 - kf) * line[x * 3 + c] + kf * ch[c]);
        }
    });
}

void TspEffectBmp::Mosaic(int ASize)
{
    if (ASize <= 1 || !Bits)
        return;
    for (int by = 0; by < Height; by += ASize) {
        const BYTE* first = GetScanLinePtr(by);
        for (int y = by; y < std::min(Height, by + ASize); ++y) {
            BYTE* row = GetScanLinePtr(y);
            for (int bx = 0; bx < Width; bx += ASize) {
                BYTE px[3];
                std::memcpy(px, first + bx * 3, 3);
                for (int x = bx; x < std::min(Width, bx + ASize); ++x)
                    std::memcpy(row + x * 3, px, 3);
            }
        }
    }
}

void TspEffectBmp::AddMonoNoise(int Amount)
{
    if (Amount <= 0)
        return;
    EachRow([&](int, BYTE* line) {
        for (int x = 0; x < Width; ++x) {
            const int d = Random(Amount) - Amount / 2;
            for (int c = 0; c < 3; ++c)
                line[x * 3 + c] = static_cast<BYTE>(std::clamp(line[x * 3 + c] + d, 0, 255));
        }
    });
}

void TspEffectBmp::AddColorNoise(int Amount)
{
    if (Amount <= 0)
        return;
    EachRow([&](int, BYTE* line) {
        for (int x = 0; x < Width; ++x)
            for (int c = 2; c >= 0; --c)  // red, green, blue
                line[x * 3 + c] = static_cast<BYTE>(std::clamp(line[x * 3 + c] + Random(Amount) - Amount / 2, 0, 255));
    });
}

void TspEffectBmp::Wave(int XDIV, int YDIV, int RatioVal)
{
    if (XDIV == 0 || YDIV == 0 || !Bits)
        return;
    std::unique_ptr<TspEffectBmp> copy(CreateCopy(this));
    if (!copy->Bits)
        return;
    for (int j = 0; j < Height; ++j)
        for (int i = 0; i < Width; ++i) {
            const int xs = std::clamp(RoundI(i + RatioVal * std::sin(static_cast<double>(j) / YDIV)), 0, Width - 1);
            const int ys = std::clamp(RoundI(j + RatioVal * std::sin(static_cast<double>(i) / XDIV)), 0, Height - 1);
            std::memcpy(GetScanLinePtr(j) + i * 3, copy->GetScanLinePtr(ys) + xs * 3, 3);
        }
}

void TspEffectBmp::Rotate90_1(TspEffectBmp* Dst) const
{
    if (!Bits || !Dst)
        return;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            Dst->SetPixel(y, Width - 1 - x, GetPixel(x, y));
}

void TspEffectBmp::Rotate90_2(TspEffectBmp* Dst) const
{
    if (!Bits || !Dst)
        return;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            Dst->SetPixel(Height - 1 - y, x, GetPixel(x, y));
}

void TspEffectBmp::FlipVert(TspEffectBmp* Dst) const
{
    if (!Bits || !Dst)
        return;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            Dst->SetPixel(x, Height - 1 - y, GetPixel(x, y));
}

void TspEffectBmp::Resize(TspEffectBmp* Dst) const
{
    if (!Bits || !Dst || !Dst->Bits)
        return;
    const double sy = static_cast<double>(Dst->Height - 1) / Height;
    const double sx = static_cast<double>(Dst->Width - 1) / Width;
    const int bw = RoundI(sx) + 1, bh = RoundI(sy) + 1;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            const DWORD c = GetPixel(x, y);
            const int x0 = RoundI(sx * x), y0 = RoundI(sy * y);
            for (int dy = 0; dy < bh; ++dy)
                for (int dx = 0; dx < bw; ++dx)
                    Dst->SetPixel(x0 + dx, y0 + dy, c);
        }
}

// ---- filters on 32-bit bitmaps ----

void StackBlur(TspBitmap* Bitmap, int Radius)
{
    if (!Bitmap || Radius <= 0 || !Bitmap->Bits())
        return;
    if (Radius > (1 << 16))
        throw ERangeError("Blur radius out of range");
    const int w = Bitmap->Width(), h = Bitmap->Height();
    const int wm = w - 1, hm = h - 1;
    const std::size_t wh = static_cast<std::size_t>(w) * h;
    const std::int64_t div = 2 * static_cast<std::int64_t>(Radius) + 1;
    const std::int64_t half = (div + 1) >> 1;
    const std::int64_t divsum = half * half;
    const int r1 = Radius + 1;
    std::vector<int> rr(wh), gg(wh), bb(wh), vmin(static_cast<std::size_t>(std::max(w, h)));
    std::vector<int> stack(static_cast<std::size_t>(div) * 3);
    TspColor* pix = Bitmap->Bits();
    auto S = [&](std::int64_t i) -> int* { return &stack[static_cast<std::size_t>(i) * 3]; };

    std::size_t yi = 0, yw = 0;
    for (int y = 0; y < h; ++y) {
        std::int64_t rsum = 0, gsum = 0, bsum = 0, rin = 0, gin = 0, bin = 0, rout = 0, gout = 0, bout = 0;
        for (int i = -Radius; i <= Radius; ++i) {
            const TspColor p = pix[yw + static_cast<std::size_t>(std::min(wm, std::max(i, 0)))];
            int* s = S(i + Radius);
            s[0] = (p >> 16) & 0xFF;
            s[1] = (p >> 8) & 0xFF;
            s[2] = p & 0xFF;
            const int rbs = r1 - std::abs(i);
            rsum += s[0] * rbs;
            gsum += s[1] * rbs;
            bsum += s[2] * rbs;
            if (i > 0) {
                rin += s[0], gin += s[1], bin += s[2];
            } else {
                rout += s[0], gout += s[1], bout += s[2];
            }
        }
        std::int64_t sp = Radius;
        for (int x = 0; x < w; ++x) {
            rr[yi] = static_cast<int>(rsum / divsum);
            gg[yi] = static_cast<int>(gsum / divsum);
            bb[yi] = static_cast<int>(bsum / divsum);
            rsum -= rout, gsum -= gout, bsum -= bout;
            int* s = S((sp - Radius + div) % div);
            rout -= s[0], gout -= s[1], bout -= s[2];
            if (y == 0)
                vmin[static_cast<std::size_t>(x)] = static_cast<int>(std::min<std::int64_t>(x + Radius + 1, wm));
            const TspColor p = pix[yw + static_cast<std::size_t>(vmin[static_cast<std::size_t>(x)])];
            s[0] = (p >> 16) & 0xFF;
            s[1] = (p >> 8) & 0xFF;
            s[2] = p & 0xFF;
            rin += s[0], gin += s[1], bin += s[2];
            rsum += rin, gsum += gin, bsum += bin;
            sp = (sp + 1) % div;
            s = S(sp);
            rout += s[0], gout += s[1], bout += s[2];
            rin -= s[0], gin -= s[1], bin -= s[2];
            ++yi;
        }
        yw += static_cast<std::size_t>(w);
    }
    for (int x = 0; x < w; ++x) {
        std::int64_t rsum = 0, gsum = 0, bsum = 0, rin = 0, gin = 0, bin = 0, rout = 0, gout = 0, bout = 0;
        for (int i = -Radius; i <= Radius; ++i) {
            const std::size_t at = static_cast<std::size_t>(std::min(hm, std::max(i, 0))) * w + x;
            int* s = S(i + Radius);
            s[0] = rr[at], s[1] = gg[at], s[2] = bb[at];
            const int rbs = r1 - std::abs(i);
            rsum += static_cast<std::int64_t>(s[0]) * rbs;
            gsum += static_cast<std::int64_t>(s[1]) * rbs;
            bsum += static_cast<std::int64_t>(s[2]) * rbs;
            if (i > 0) {
                rin += s[0], gin += s[1], bin += s[2];
            } else {
                rout += s[0], gout += s[1], bout += s[2];
            }
        }
        std::int64_t sp = Radius;
        std::size_t at = static_cast<std::size_t>(x);
        for (int y = 0; y < h; ++y) {
            pix[at] = 0xFF000000u | (static_cast<TspColor>(rsum / divsum) << 16) |
                      (static_cast<TspColor>(gsum / divsum) << 8) | static_cast<TspColor>(bsum / divsum);
            rsum -= rout, gsum -= gout, bsum -= bout;
            int* s = S((sp - Radius + div) % div);
            rout -= s[0], gout -= s[1], bout -= s[2];
            if (x == 0)
                vmin[static_cast<std::size_t>(y)] = static_cast<int>(std::min<std::int64_t>(y + r1, hm));
            const std::size_t p = static_cast<std::size_t>(vmin[static_cast<std::size_t>(y)]) * w + x;
            s[0] = rr[p], s[1] = gg[p], s[2] = bb[p];
            rin += s[0], gin += s[1], bin += s[2];
            rsum += rin, gsum += gin, bsum += bin;
            sp = (sp + 1) % div;
            s = S(sp);
            rout += s[0], gout += s[1], bout += s[2];
            rin -= s[0], gin -= s[1], bin -= s[2];
            at += static_cast<std::size_t>(w);
        }
    }
}

void AlphaFromGray(TspBitmap* Bitmap, const TspBitmap* Source)
{
    if (!Bitmap || !Source || !Bitmap->Bits() || !Source->Bits())
        return;
    const int w = std::min(Bitmap->Width(), Source->Width()), h = std::min(Bitmap->Height(), Source->Height());
    for (int y = 0; y < h; ++y) {
        TspColor* d = Bitmap->GetScanLinePtr(y);
        const TspColor* s = Source->GetScanLinePtr(y);
        for (int x = 0; x < w; ++x) {
            const TspColor c = s[x];
            const TspColor a = (((c >> 16) & 0xFF) + ((c >> 8) & 0xFF) + (c & 0xFF)) / 3;
            d[x] = (d[x] & 0xFFFFFF) | (a << 24);
        }
    }
}

void AlphaFromGrayPremultiplied(TspBitmap* Bitmap, const TspBitmap* Source)
{
    AlphaFromGray(Bitmap, Source);
    if (Bitmap)
        Bitmap->CheckRGBA2();
}
