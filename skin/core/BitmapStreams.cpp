#include "skin/core/BitmapStreams.h"

#include "platform/classes/Streams.h"
#include "platform/gdi/Gdi.h"
#include "platform/gui/Graphics.h"
#include "platform/rtl/Checked.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Bitmaps read from streams stay below this many bytes of pixels; larger
// sizes are taken for damaged headers.
constexpr std::int64_t kMaxStreamPixelBytes = std::int64_t(1) << 29;

std::int32_t ReadInt(TStream* s)
{
    std::int32_t v = 0;
    s->ReadBuffer(&v, sizeof v);
    return v;
}

void WriteInt(TStream* s, std::int32_t v) { s->WriteBuffer(&v, sizeof v); }

std::int64_t Remaining(TStream* s) { return std::max<std::int64_t>(0, s->Size() - s->Position()); }

bool IsMasking(TspColor c) { return c != 0x33333333u && (c == spKeyColor || (c >> 24) < 255); }

}  // namespace

void ReadStreamName(TStream* Stream, std::string& S)
{
    const std::int32_t len = ReadInt(Stream);
    if (len < 0 || len > Remaining(Stream))
        throw EReadError("Bad name length in bitmap stream");
    S.assign(static_cast<std::size_t>(len), '\0');
    if (len)
        Stream->ReadBuffer(S.data(), len);
}

void WriteStreamName(TStream* Stream, const std::string& S)
{
    WriteInt(Stream, CheckedCast<std::int32_t>(S.size()));
    if (!S.empty())
        Stream->WriteBuffer(S.data(), static_cast<std::int64_t>(S.size()));
}

void TakeRectToken(std::string& S, std::string& Token)
{
    static constexpr std::string_view kDelims = " ():,;=";
    Token.clear();
    std::size_t i = 0;
    while (i < S.size()) {
        const char c = S[i++];
        if (kDelims.find(c) != std::string_view::npos)
            break;
        Token += c;
    }
    S.erase(0, i);
    Token = Trim(Token);
    S = Trim(S);
}

void ParseRectText(const std::string& S, TRect& R)
{
    std::string rest = S, token;
    std::int32_t v[4];
    for (auto& x : v) {
        TakeRectToken(rest, token);
        if (!TryStrToInt(token, x)) {
            R = TRect(0, 0, 0, 0);
            return;
        }
    }
    R = TRect(v[0], v[1], v[2], v[3]);
}

// ---- TspBitmap ----

void TspBitmap::SaveToStream(TStream* Stream)
{
    WriteStreamName(Stream, FName);
    WriteInt(Stream, FWidth);
    WriteInt(Stream, FHeight);
    if (FBits)
        Stream->WriteBuffer(FBits, static_cast<std::int64_t>(FWidth) * FHeight * 4);
}

void TspBitmap::LoadFromStream(TStream* Stream)
{
    std::string name;
    ReadStreamName(Stream, name);
    FName = name;
    const std::int32_t w = ReadInt(Stream);
    std::int32_t h = ReadInt(Stream);
    const bool bottomUp = h < 0;
    if (bottomUp) {
        if (h == std::numeric_limits<std::int32_t>::min())
            throw EReadError("Bad bitmap height in stream");
        h = -h;
    }
    if (w == std::numeric_limits<std::int32_t>::min() ||
        static_cast<std::int64_t>(std::abs(w)) * h > kMaxStreamPixelBytes / 4)  // pixels, not bytes: no overflow
        throw EReadError("Bad bitmap size in stream");
    SetSize(w, h);
    if (Empty() || FWidth != w || FHeight != h)
        return;
    // A short stream leaves the rest of the pixels as they were.
    Stream->Read(FBits, static_cast<std::int64_t>(w) * h * 4);
    if (bottomUp)
        FlipVert();
}

void TspBitmap::LoadFromResource(const std::string& ResFileName, const std::string& ResName)
{
    const std::string path = IncludeTrailingPathDelimiter(ResFileName) + ResName + ".bmp";
    if (!FileExists(path))
        return;
    TBitmap temp;
    temp.LoadFromFile(path);
    Assign(&temp);
}

TspBitmapLink* TspBitmap::GetBitmapLink(TRect Rect)
{
    auto* link = new TspBitmapLink();
    link->SetImage(this);
    link->SetName(FName);
    link->SetRect(Rect);
    return link;
}

TspBitmapLink* TspBitmap::GetBitmapLink(const std::string& Rect)
{
    TRect r;
    ParseRectText(Rect, r);
    return GetBitmapLink(r);
}

void TspBitmap::LoadFromPcxStream(TStream* Stream)
{
    BYTE header[128];
    if (Stream->Read(header, sizeof header) != static_cast<std::int64_t>(sizeof header))
        throw EInvalidGraphic("PCX header is incomplete");
    if (header[0] != 10 && header[0] != 205)
        return;
    auto u16 = [&](int at) { return static_cast<int>(header[at] | (header[at + 1] << 8)); };
    const int version = header[1], encoding = header[2], bitsPerPixel = header[3];
    const int planes = header[65], bytesPerLine = u16(66);
    const int width = u16(8) - u16(4) + 1, height = u16(10) - u16(6) + 1;
    if (width <= 0 || height <= 0)
        throw EInvalidGraphic("Bad PCX picture size");
    if (bitsPerPixel != 8 || planes != 1)
        throw EInvalidGraphic("Unsupported PCX format: only 8-bit single-plane pictures are read");
    const int rowSize = planes * bytesPerLine;
    if (rowSize < width)
        throw EInvalidGraphic("Bad PCX line size");
    const std::int64_t dataStart = Stream->Position();
    const std::int64_t streamSize = Stream->Size();

    std::vector<RGBQUAD> palette(256);
    if (version == 3) {
        std::copy(SystemPalette16(), SystemPalette16() + 16, palette.begin());
    } else {
        // 768 bytes of RGB triplets after a marker byte at the end.
        if (streamSize - 769 < dataStart)
            throw EInvalidGraphic("PCX palette is missing");
        BYTE rgb[768];
        Stream->SetPosition(streamSize - 768);
        Stream->ReadBuffer(rgb, sizeof rgb);
        Stream->SetPosition(dataStart);
        for (int i = 0; i < 256; ++i) {
            palette[static_cast<std::size_t>(i)].rgbRed = rgb[i * 3];
            palette[static_cast<std::size_t>(i)].rgbGreen = rgb[i * 3 + 1];
            palette[static_cast<std::size_t>(i)].rgbBlue = rgb[i * 3 + 2];
        }
    }

    const std::int64_t total = CheckedMul<std::int64_t>(height, rowSize);
    if (total > kMaxStreamPixelBytes)
        throw EInvalidGraphic("Bad PCX picture size");
    std::vector<BYTE> data(static_cast<std::size_t>(std::max<std::int64_t>(0, streamSize - dataStart)));
    const std::int64_t got = data.empty() ? 0 : Stream->Read(data.data(), static_cast<std::int64_t>(data.size()));
    data.resize(static_cast<std::size_t>(std::max<std::int64_t>(got, 0)));
    std::vector<BYTE> pixels;
    if (encoding == 1) {
        pixels.assign(static_cast<std::size_t>(total), 0);
        std::size_t out = 0, in = 0;
        while (out < pixels.size() && in < data.size()) {
            const BYTE b = data[in++];
            if (b >= 192) {
                if (in >= data.size())
                    break;
                const BYTE v = data[in++];
                const std::size_t n = std::min<std::size_t>(b & 0x3F, pixels.size() - out);
                std::memset(pixels.data() + out, v, n);
                out += n;
            } else {
                pixels[out++] = b;
            }
        }
    } else {
        pixels = std::move(data);
    }

    // The picture as an 8-bit DIB with the palette, then copied opaque.
    std::vector<BYTE> infoBytes(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    auto* info = reinterpret_cast<BITMAPINFO*>(infoBytes.data());
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = width;
    info->bmiHeader.biHeight = -height;
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = 8;
    info->bmiHeader.biClrUsed = 256;
    std::memcpy(info->bmiColors, palette.data(), 256 * sizeof(RGBQUAD));
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib || !bits) {
        if (dib)
            DeleteObject(dib);
        throw EInvalidGraphic("PCX picture is too large");
    }
    const LONG stride = DibStride(width, 8);
    for (int y = 0; y < height; ++y) {
        const std::size_t from = static_cast<std::size_t>(y) * static_cast<std::size_t>(rowSize);
        if (from >= pixels.size())
            break;  // rows beyond the data stay as they are
        const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(width), pixels.size() - from);
        std::memcpy(static_cast<BYTE*>(bits) + static_cast<std::ptrdiff_t>(y) * stride, pixels.data() + from, n);
    }
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, dib);
    try {
        SetSize(width, height);
        if (!Empty())
            BitBlt(FDC, 0, 0, width, height, dc, 0, 0, SRCCOPY);
        SetAlpha(255);
    } catch (...) {
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(dib);
        throw;
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(dib);
}

// ---- TspBitmapLink ----

void TspBitmapLink::Assign(TPersistent* Source)
{
    if (auto* src = dynamic_cast<TspBitmapLink*>(Source)) {
        FImage = src->FImage;
        FRect = src->FRect;
        FName = src->FName;
        FMasked = src->FMasked;
        FMaskedBorder = src->FMaskedBorder;
        FMaskedAngles = src->FMaskedAngles;
        return;
    }
    TPersistent::Assign(Source);
}

void TspBitmapLink::LoadFromStream(TStream* Stream)
{
    ReadStreamName(Stream, FName);
    FRect.left = ReadInt(Stream);
    FRect.top = ReadInt(Stream);
    FRect.right = ReadInt(Stream);
    FRect.bottom = ReadInt(Stream);
}

void TspBitmapLink::SaveToStream(TStream* Stream)
{
    WriteStreamName(Stream, FName);
    WriteInt(Stream, FRect.left);
    WriteInt(Stream, FRect.top);
    WriteInt(Stream, FRect.right);
    WriteInt(Stream, FRect.bottom);
}

bool TspBitmapLink::Assigned() const
{
    // Each side on its own: the product of two stored sides overflows.
    const std::int64_t w = static_cast<std::int64_t>(FRect.right) - FRect.left;
    const std::int64_t h = static_cast<std::int64_t>(FRect.bottom) - FRect.top;
    return FImage && ((w > 0 && h > 0) || (w < 0 && h < 0));
}

void TspBitmapLink::Draw(TCanvas* Canvas, int X, int Y)
{
    if (FImage && !FImage->Empty() && FRect.right > FRect.left && FRect.bottom > FRect.top)
        FImage->Draw(Canvas, X, Y, FRect);
}

void TspBitmapLink::Draw(TspBitmap* Bitmap, int X, int Y)
{
    if (FImage && !FImage->Empty() && FRect.right > FRect.left && FRect.bottom > FRect.top)
        FImage->Draw(Bitmap, X, Y, FRect);
}

void TspBitmapLink::CheckingMasked() { CheckingMasked(TRect(0, 0, 0, 0)); }

void TspBitmapLink::CheckingMasked(TRect Margin)
{
    FMasked = FMaskedBorder = FMaskedAngles = false;
    const std::int64_t L = FRect.left, T = FRect.top, W = std::int64_t(FRect.right) - L, H = std::int64_t(FRect.bottom) - T;
    if (W <= 0 || H <= 0)
        return;
    const std::int64_t iw = FImage && FImage->Bits() ? FImage->Width() : 0;
    const std::int64_t ih = FImage && FImage->Bits() ? FImage->Height() : 0;
    // The part of the area that lies on the image; positions off it read as
    // 0, which is masking.
    const std::int64_t x0 = std::max<std::int64_t>(L, 0), y0 = std::max<std::int64_t>(T, 0);
    const std::int64_t x1 = std::min<std::int64_t>(L + W, iw), y1 = std::min<std::int64_t>(T + H, ih);
    const bool wholeOnImage = x0 == L && y0 == T && x1 == L + W && y1 == T + H;
    if (Margin.left == 0 && Margin.top == 0 && Margin.right == 0 && Margin.bottom == 0) {
        if (!wholeOnImage) {
            FMasked = true;
            return;
        }
        for (std::int64_t y = y0; y < y1 && !FMasked; ++y)
            for (std::int64_t x = x0; x < x1; ++x)
                if (IsMasking(*FImage->GetPixelPtr(static_cast<int>(x), static_cast<int>(y)))) {
                    FMasked = true;
                    break;
                }
        return;
    }
    const std::int64_t ML = Margin.left, MT = Margin.top, MR = Margin.right, MB = Margin.bottom;
    struct TPart {
        std::int64_t l, t, r, b;
        bool* flag;
    };
    const TPart parts[] = {
        {0, 0, ML, MT, &FMaskedAngles},          {W - MR, 0, W, MT, &FMaskedAngles},
        {W - MR, H - MB, W, H, &FMaskedAngles},  {0, H - MB, ML, H, &FMaskedAngles},
        {ML, 0, W - MR, MT, &FMaskedBorder},     {ML, H - MB, W - MR, H, &FMaskedBorder},
        {0, MT, ML, H - MB, &FMaskedBorder},     {W - MR, MT, W, H - MB, &FMaskedBorder},
        {ML, MT, W - MR, H - MB, &FMasked},
    };
    for (const TPart& p : parts) {
        // Each part is limited to the link's area: pixels outside it are not
        // examined.
        const std::int64_t pl = std::max<std::int64_t>(p.l, 0), pt = std::max<std::int64_t>(p.t, 0);
        const std::int64_t pr = std::min(p.r, W), pb = std::min(p.b, H);
        if (pr <= pl || pb <= pt || *p.flag)
            continue;
        const std::int64_t al = L + pl, at = T + pt, ar = L + pr, ab = T + pb;
        if (al < 0 || at < 0 || ar > iw || ab > ih) {
            *p.flag = true;
            continue;
        }
        for (std::int64_t y = at; y < ab && !*p.flag; ++y)
            for (std::int64_t x = al; x < ar; ++x)
                if (IsMasking(*FImage->GetPixelPtr(static_cast<int>(x), static_cast<int>(y)))) {
                    *p.flag = true;
                    break;
                }
    }
}
