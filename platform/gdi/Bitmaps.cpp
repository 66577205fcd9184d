#include "platform/gdi/Bitmaps.h"

#include "platform/gdi/DeviceContext.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstdlib>
#include <cstring>

namespace {

// Largest pixel block a bitmap may hold; larger requests fail cleanly.
constexpr long long MaxBitmapBytes = 1LL << 31;
constexpr LONG MaxDimension = 1 << 20;

std::atomic<int> ScreenBits{32};

struct TMaskInfo {
    int Shift = 0;
    int Bits = 0;
};

TMaskInfo MaskInfo(DWORD mask)
{
    TMaskInfo m;
    if (!mask)
        return m;
    m.Shift = std::countr_zero(mask);
    m.Bits = std::popcount(mask >> m.Shift);
    if (m.Bits > 8) {
        // Keep only the top 8 bits of wide channels.
        m.Shift += m.Bits - 8;
        m.Bits = 8;
    }
    return m;
}

// A channel of b bits widened to 8 by repeating its high bits.
inline DWORD Expand(DWORD v, int bits)
{
    if (bits >= 8)
        return v & 0xFF;
    if (bits <= 0)
        return 0;
    DWORD r = v << (8 - bits);
    for (int filled = bits; filled < 8; filled += bits)
        r |= r >> bits;
    return r & 0xFF;
}

void DefaultMasks(TPixelLayout& l)
{
    if (l.BitCount == 16) {
        l.Masks[0] = 0x7C00;
        l.Masks[1] = 0x03E0;
        l.Masks[2] = 0x001F;
    } else if (l.BitCount == 32) {
        l.Masks[0] = 0xFF0000;
        l.Masks[1] = 0x00FF00;
        l.Masks[2] = 0x0000FF;
    }
}

RGBQUAD Quad(BYTE r, BYTE g, BYTE b)
{
    RGBQUAD q;
    q.rgbRed = r;
    q.rgbGreen = g;
    q.rgbBlue = b;
    return q;
}

bool ValidBitCount(int bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

void* AllocPixels(long long bytes)
{
    // calloc: large surfaces are zero pages until drawn on.
    return std::calloc(static_cast<std::size_t>(std::max(1LL, bytes)), 1);
}

} // namespace

LONG DibStride(LONG width, int bitCount)
{
    return static_cast<LONG>(((static_cast<long long>(width) * bitCount + 31) / 32) * 4);
}

const RGBQUAD* SystemPalette16()
{
    static const RGBQUAD table[16] = {
        Quad(0, 0, 0),       Quad(128, 0, 0),   Quad(0, 128, 0),   Quad(128, 128, 0),
        Quad(0, 0, 128),     Quad(128, 0, 128), Quad(0, 128, 128), Quad(192, 192, 192),
        Quad(128, 128, 128), Quad(255, 0, 0),   Quad(0, 255, 0),   Quad(255, 255, 0),
        Quad(0, 0, 255),     Quad(255, 0, 255), Quad(0, 255, 255), Quad(255, 255, 255)};
    return table;
}

const RGBQUAD* MonoPalette()
{
    static const RGBQUAD table[2] = {Quad(0, 0, 0), Quad(255, 255, 255)};
    return table;
}

const RGBQUAD* DefaultPalette256()
{
    // The 16 system colours first and last halves, a 6x6x6 colour cube and
    // a grey ramp in between: a fixed table every 8-bit default uses.
    static const auto table = [] {
        static RGBQUAD t[256];
        const RGBQUAD* sys = SystemPalette16();
        for (int i = 0; i < 8; ++i) {
            t[i] = sys[i];
            t[248 + i] = sys[8 + i];
        }
        int n = 8;
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 6; ++g)
                for (int b = 0; b < 6; ++b)
                    t[n++] = Quad(static_cast<BYTE>(r * 51), static_cast<BYTE>(g * 51), static_cast<BYTE>(b * 51));
        for (int i = 0; n < 248; ++i, ++n) {
            BYTE v = static_cast<BYTE>(8 + i * 6);
            t[n] = Quad(v, v, v);
        }
        return t;
    }();
    return table;
}

DWORD NearestColorIndex(const RGBQUAD* colors, int count, DWORD pixel)
{
    int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    int best = 0;
    int bestDist = 1 << 30;
    for (int i = 0; i < count; ++i) {
        int dr = colors[i].rgbRed - r, dg = colors[i].rgbGreen - g, db = colors[i].rgbBlue - b;
        int d = dr * dr + dg * dg + db * db;
        if (d < bestDist) {
            bestDist = d;
            best = i;
            if (d == 0)
                break;
        }
    }
    return static_cast<DWORD>(best);
}

void ReadPixels(const TPixelLayout& l, LONG y, LONG x, LONG n, DWORD* out)
{
    const BYTE* row = l.Row(y);
    auto palette = [&l](DWORD index) -> DWORD {
        if (static_cast<int>(index) >= l.ColorCount || !l.Colors)
            return 0;
        const RGBQUAD& q = l.Colors[index];
        return (DWORD(q.rgbRed) << 16) | (DWORD(q.rgbGreen) << 8) | q.rgbBlue;
    };
    switch (l.BitCount) {
    case 1:
        for (LONG i = 0; i < n; ++i) {
            LONG p = x + i;
            out[i] = palette((row[p >> 3] >> (7 - (p & 7))) & 1);
        }
        break;
    case 4:
        for (LONG i = 0; i < n; ++i) {
            LONG p = x + i;
            BYTE v = row[p >> 1];
            out[i] = palette((p & 1) ? (v & 0x0F) : (v >> 4));
        }
        break;
    case 8:
        for (LONG i = 0; i < n; ++i)
            out[i] = palette(row[x + i]);
        break;
    case 16: {
        if (l.Masks[0] == 0xF800 && l.Masks[1] == 0x07E0 && l.Masks[2] == 0x001F) {
            const BYTE* p = row + x * 2;
            for (LONG i = 0; i < n; ++i, p += 2) {
                DWORD v = DWORD(p[0]) | (DWORD(p[1]) << 8);
                DWORD r = (v >> 11) & 31, g = (v >> 5) & 63, b = v & 31;
                out[i] = (((r << 3) | (r >> 2)) << 16) | (((g << 2) | (g >> 4)) << 8) | ((b << 3) | (b >> 2));
            }
            break;
        }
        TMaskInfo mr = MaskInfo(l.Masks[0]), mg = MaskInfo(l.Masks[1]), mb = MaskInfo(l.Masks[2]);
        const BYTE* p = row + x * 2;
        for (LONG i = 0; i < n; ++i, p += 2) {
            DWORD v = DWORD(p[0]) | (DWORD(p[1]) << 8);
            out[i] = (Expand((v & l.Masks[0]) >> mr.Shift, mr.Bits) << 16) |
                     (Expand((v & l.Masks[1]) >> mg.Shift, mg.Bits) << 8) |
                     Expand((v & l.Masks[2]) >> mb.Shift, mb.Bits);
        }
        break;
    }
    case 24: {
        const BYTE* p = row + x * 3;
        for (LONG i = 0; i < n; ++i, p += 3)
            out[i] = DWORD(p[0]) | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16);
        break;
    }
    case 32:
        if (l.IsPlain32()) {
            std::memcpy(out, row + x * 4, static_cast<std::size_t>(n) * 4);
        } else {
            TMaskInfo mr = MaskInfo(l.Masks[0]), mg = MaskInfo(l.Masks[1]), mb = MaskInfo(l.Masks[2]);
            const BYTE* p = row + x * 4;
            for (LONG i = 0; i < n; ++i, p += 4) {
                DWORD v;
                std::memcpy(&v, p, 4);
                out[i] = (Expand((v & l.Masks[0]) >> mr.Shift, mr.Bits) << 16) |
                         (Expand((v & l.Masks[1]) >> mg.Shift, mg.Bits) << 8) |
                         Expand((v & l.Masks[2]) >> mb.Shift, mb.Bits);
            }
        }
        break;
    default:
        std::memset(out, 0, static_cast<std::size_t>(n) * 4);
    }
}

void WritePixels(const TPixelLayout& l, LONG y, LONG x, LONG n, const DWORD* in)
{
    BYTE* row = l.Row(y);
    // Paletted targets: consecutive equal colours are common (fills, text).
    DWORD lastPixel = 0xFFFFFFFFu, lastIndex = 0;
    auto index = [&](DWORD pixel) {
        pixel &= 0xFFFFFF;
        if (pixel != lastPixel) {
            lastPixel = pixel;
            lastIndex = l.Colors ? NearestColorIndex(l.Colors, l.ColorCount, pixel) : 0;
        }
        return lastIndex;
    };
    switch (l.BitCount) {
    case 1:
        for (LONG i = 0; i < n; ++i) {
            LONG p = x + i;
            BYTE bit = static_cast<BYTE>(0x80 >> (p & 7));
            if (index(in[i]) & 1)
                row[p >> 3] |= bit;
            else
                row[p >> 3] &= static_cast<BYTE>(~bit);
        }
        break;
    case 4:
        for (LONG i = 0; i < n; ++i) {
            LONG p = x + i;
            BYTE v = static_cast<BYTE>(index(in[i]) & 0x0F);
            BYTE& b = row[p >> 1];
            b = (p & 1) ? static_cast<BYTE>((b & 0xF0) | v) : static_cast<BYTE>((b & 0x0F) | (v << 4));
        }
        break;
    case 8:
        for (LONG i = 0; i < n; ++i)
            row[x + i] = static_cast<BYTE>(index(in[i]));
        break;
    case 16:
    case 32:
        if (l.BitCount == 16 && l.Masks[0] == 0xF800 && l.Masks[1] == 0x07E0 && l.Masks[2] == 0x001F) {
            BYTE* p = row + x * 2;
            for (LONG i = 0; i < n; ++i, p += 2) {
                DWORD c = in[i];
                DWORD v = ((c >> 8) & 0xF800) | ((c >> 5) & 0x07E0) | ((c >> 3) & 0x001F);
                p[0] = static_cast<BYTE>(v);
                p[1] = static_cast<BYTE>(v >> 8);
            }
        } else if (l.BitCount == 16 && l.Masks[0] == 0x7C00 && l.Masks[1] == 0x03E0 && l.Masks[2] == 0x001F) {
            BYTE* p = row + x * 2;
            for (LONG i = 0; i < n; ++i, p += 2) {
                DWORD c = in[i];
                DWORD v = ((c >> 9) & 0x7C00) | ((c >> 6) & 0x03E0) | ((c >> 3) & 0x001F);
                p[0] = static_cast<BYTE>(v);
                p[1] = static_cast<BYTE>(v >> 8);
            }
        } else if (l.BitCount == 32 && l.IsPlain32()) {
            std::memcpy(row + x * 4, in, static_cast<std::size_t>(n) * 4);
        } else {
            TMaskInfo m[3] = {MaskInfo(l.Masks[0]), MaskInfo(l.Masks[1]), MaskInfo(l.Masks[2])};
            for (LONG i = 0; i < n; ++i) {
                DWORD c[3] = {(in[i] >> 16) & 0xFF, (in[i] >> 8) & 0xFF, in[i] & 0xFF};
                DWORD v = 0;
                for (int k = 0; k < 3; ++k)
                    v |= ((c[k] >> (8 - m[k].Bits)) << m[k].Shift) & l.Masks[k];
                if (l.BitCount == 16) {
                    row[(x + i) * 2] = static_cast<BYTE>(v);
                    row[(x + i) * 2 + 1] = static_cast<BYTE>(v >> 8);
                } else {
                    std::memcpy(row + (x + i) * 4, &v, 4);
                }
            }
        }
        break;
    case 24: {
        BYTE* p = row + x * 3;
        for (LONG i = 0; i < n; ++i, p += 3) {
            p[0] = static_cast<BYTE>(in[i]);
            p[1] = static_cast<BYTE>(in[i] >> 8);
            p[2] = static_cast<BYTE>(in[i] >> 16);
        }
        break;
    }
    default:
        break;
    }
}

TGdiBitmap::~TGdiBitmap()
{
    if (OwnsBits)
        std::free(Layout.Bits);
}

int TGdiBitmap::GetObjectData(int size, void* buffer) const
{
    BITMAP bm;
    bm.bmType = 0;
    bm.bmWidth = Layout.Width;
    bm.bmHeight = Layout.Height;
    bm.bmWidthBytes = DibSection ? Layout.Stride : static_cast<LONG>(((Layout.Width * Layout.BitCount + 15) / 16) * 2);
    bm.bmPlanes = 1;
    bm.bmBitsPixel = Layout.BitCount;
    bm.bmBits = DibSection ? Layout.Bits : nullptr;
    if (!buffer)
        return DibSection ? static_cast<int>(sizeof(DIBSECTION)) : static_cast<int>(sizeof(BITMAP));
    if (DibSection && size >= static_cast<int>(sizeof(DIBSECTION))) {
        DIBSECTION ds;
        ds.dsBm = bm;
        ds.dsBmih.biSize = sizeof(BITMAPINFOHEADER);
        ds.dsBmih.biWidth = Layout.Width;
        ds.dsBmih.biHeight = Layout.BottomUp ? Layout.Height : -Layout.Height;
        ds.dsBmih.biPlanes = 1;
        ds.dsBmih.biBitCount = Layout.BitCount;
        ds.dsBmih.biCompression = Compression;
        ds.dsBmih.biSizeImage = static_cast<DWORD>(Layout.Stride * Layout.Height);
        ds.dsBmih.biClrUsed = static_cast<DWORD>(ColorTable.size());
        if (Layout.Bitfields || Compression == BI_BITFIELDS)
            for (int i = 0; i < 3; ++i)
                ds.dsBitfields[i] = Layout.Masks[i];
        std::memcpy(buffer, &ds, sizeof ds);
        return sizeof(DIBSECTION);
    }
    if (size < static_cast<int>(sizeof(BITMAP)))
        return 0;
    std::memcpy(buffer, &bm, sizeof bm);
    return sizeof(BITMAP);
}

TGdiBitmap* BitmapFromHandle(HBITMAP bitmap)
{
    return GdiLookupAs<TGdiBitmap>(bitmap, OBJ_BITMAP);
}

int GdiScreenBitsPerPixel()
{
    return ScreenBits.load();
}

void GdiSetScreenBitsPerPixel(int bits)
{
    if (bits == 16 || bits == 24 || bits == 32)
        ScreenBits.store(bits);
}

bool LayoutFromInfo(const BITMAPINFO* info, UINT usage, const void* bits, TPixelLayout& layout,
                    std::vector<RGBQUAD>& colorStore, std::string* error)
{
    auto fail = [error](const char* why) {
        if (error)
            *error = why;
        return false;
    };
    if (!info)
        return fail("no bitmap header");
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER))
        return fail("unsupported bitmap header size");
    if (h.biWidth <= 0 || h.biHeight == 0 || h.biWidth > MaxDimension || h.biHeight > MaxDimension ||
        h.biHeight < -MaxDimension)
        return fail("bitmap size out of range");
    if (!ValidBitCount(h.biBitCount))
        return fail("unsupported bit count");
    if (h.biCompression != BI_RGB &&
        !(h.biCompression == BI_BITFIELDS && (h.biBitCount == 16 || h.biBitCount == 32)))
        return fail("unsupported compression");
    layout = TPixelLayout{};
    layout.Bits = static_cast<BYTE*>(const_cast<void*>(bits));
    layout.Width = h.biWidth;
    layout.Height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    layout.BottomUp = h.biHeight > 0;
    layout.BitCount = h.biBitCount;
    layout.Stride = DibStride(h.biWidth, h.biBitCount);
    if (static_cast<long long>(layout.Stride) * layout.Height > MaxBitmapBytes)
        return fail("bitmap too large");
    // The colour table (or masks) follows the header wherever it ends.
    const BYTE* tail = reinterpret_cast<const BYTE*>(info) + h.biSize;
    colorStore.clear();
    if (h.biBitCount <= 8) {
        int maxColors = 1 << h.biBitCount;
        int count = h.biClrUsed == 0 || h.biClrUsed > static_cast<DWORD>(maxColors) ? maxColors
                                                                                       : static_cast<int>(h.biClrUsed);
        colorStore.resize(static_cast<std::size_t>(count));
        if (usage == DIB_PAL_COLORS) {
            for (int i = 0; i < count; ++i) {
                WORD idx;
                std::memcpy(&idx, tail + i * 2, 2);
                colorStore[static_cast<std::size_t>(i)] = SystemPalette16()[idx & 15];
            }
        } else {
            std::memcpy(colorStore.data(), tail, static_cast<std::size_t>(count) * sizeof(RGBQUAD));
        }
        layout.Colors = colorStore.data();
        layout.ColorCount = count;
    } else if (h.biCompression == BI_BITFIELDS) {
        std::memcpy(layout.Masks, tail, sizeof layout.Masks);
        layout.Bitfields = true;
        if (!layout.Masks[0] || !layout.Masks[1] || !layout.Masks[2])
            return fail("empty colour mask");
    } else {
        DefaultMasks(layout);
    }
    return true;
}

namespace {

HBITMAP RegisterBitmap(std::unique_ptr<TGdiBitmap> bmp)
{
    bmp->SyncColors();
    return static_cast<HBITMAP>(GdiRegister(std::move(bmp)));
}

// A device-dependent bitmap: top-down, rows padded to 2 bytes.
std::unique_ptr<TGdiBitmap> NewDDB(int width, int height, int bitCount)
{
    if (width <= 0 || height <= 0 || width > MaxDimension || height > MaxDimension)
        return nullptr;
    auto bmp = std::make_unique<TGdiBitmap>();
    TPixelLayout& l = bmp->Layout;
    l.Width = width;
    l.Height = height;
    l.BitCount = static_cast<WORD>(bitCount);
    l.Stride = static_cast<LONG>(((static_cast<long long>(width) * bitCount + 15) / 16) * 2);
    long long bytes = static_cast<long long>(l.Stride) * height;
    if (bytes > MaxBitmapBytes)
        return nullptr;
    l.Bits = static_cast<BYTE*>(AllocPixels(bytes));
    if (!l.Bits)
        return nullptr;
    DefaultMasks(l);
    if (bitCount == 16) {
        // A 16-bit screen is 5-6-5.
        l.Masks[0] = 0xF800;
        l.Masks[1] = 0x07E0;
        l.Masks[2] = 0x001F;
        l.Bitfields = true;
    }
    if (bitCount == 1) {
        bmp->ColorTable.assign(MonoPalette(), MonoPalette() + 2);
        bmp->MonoDDB = true;
    } else if (bitCount == 4) {
        bmp->ColorTable.assign(SystemPalette16(), SystemPalette16() + 16);
    } else if (bitCount == 8) {
        bmp->ColorTable.assign(DefaultPalette256(), DefaultPalette256() + 256);
    }
    return bmp;
}

} // namespace

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD)
{
    if (bits)
        *bits = nullptr;
    if (section)
        return nullptr;  // file-mapping sections do not exist here
    auto bmp = std::make_unique<TGdiBitmap>();
    if (!LayoutFromInfo(info, usage, nullptr, bmp->Layout, bmp->ColorTable))
        return nullptr;
    long long bytes = static_cast<long long>(bmp->Layout.Stride) * bmp->Layout.Height;
    bmp->Layout.Bits = static_cast<BYTE*>(AllocPixels(bytes));
    if (!bmp->Layout.Bits)
        return nullptr;
    bmp->DibSection = true;
    bmp->Compression = info->bmiHeader.biCompression;
    if (bits)
        *bits = bmp->Layout.Bits;
    return RegisterBitmap(std::move(bmp));
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitCount, const void* bits)
{
    if (planes != 1 || !ValidBitCount(static_cast<int>(bitCount)))
        return nullptr;
    auto bmp = NewDDB(width, height, static_cast<int>(bitCount));
    if (!bmp)
        return nullptr;
    if (bits)
        std::memcpy(bmp->Layout.Bits, bits, static_cast<std::size_t>(bmp->Layout.Stride) * bmp->Layout.Height);
    return RegisterBitmap(std::move(bmp));
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height)
{
    TDeviceContext* ctx = TDeviceContext::FromHandle(dc);
    if (!ctx)
        return nullptr;
    int bits = GdiScreenBitsPerPixel();
    // A memory DC still holding its one-pixel default bitmap is monochrome.
    if (ctx->IsMemoryDC() && ctx->Surface() && ctx->Surface()->IsStock())
        bits = 1;
    else if (ctx->IsMemoryDC() && ctx->Surface())
        bits = ctx->Surface()->BitCount() == 32 ? GdiScreenBitsPerPixel() : ctx->Surface()->BitCount();
    if (width == 0 || height == 0)
        return CreateBitmap(1, 1, 1, 1, nullptr);
    auto bmp = NewDDB(width, height, bits);
    return bmp ? RegisterBitmap(std::move(bmp)) : nullptr;
}

namespace {

// Row of source bitmap that DIB scan line `line` of a header of the given
// orientation and height refers to.
LONG SourceRow(const TGdiBitmap& bmp, bool bottomUp, LONG line)
{
    return bottomUp ? bmp.Height() - 1 - line : line;
}

} // namespace

int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage)
{
    TGdiBitmap* bmp = BitmapFromHandle(bitmap);
    if (!bmp || !info || !TDeviceContext::FromHandle(dc))
        return 0;
    BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER))
        return 0;
    if (h.biBitCount == 0) {
        // Describe the bitmap only.
        h.biWidth = bmp->Width();
        h.biHeight = bmp->Height();
        h.biPlanes = 1;
        h.biBitCount = bmp->BitCount();
        h.biCompression = bmp->Layout.Bitfields && bmp->BitCount() == 16 ? BI_BITFIELDS : BI_RGB;
        h.biSizeImage = static_cast<DWORD>(DibStride(bmp->Width(), bmp->BitCount()) * bmp->Height());
        h.biClrUsed = 0;
        h.biClrImportant = 0;
        return bmp->Height();
    }
    if (!ValidBitCount(h.biBitCount))
        return 0;
    // Fill the colour table (or masks) the caller's format implies.
    BYTE* tail = reinterpret_cast<BYTE*>(info) + h.biSize;
    if (h.biBitCount <= 8) {
        int n = 1 << h.biBitCount;
        const RGBQUAD* table = h.biBitCount == 1 ? MonoPalette() : h.biBitCount == 4 ? SystemPalette16() : DefaultPalette256();
        if (bmp->BitCount() == h.biBitCount && static_cast<int>(bmp->ColorTable.size()) == n && !bmp->MonoDDB)
            table = bmp->ColorTable.data();
        if (usage == DIB_RGB_COLORS)
            std::memcpy(tail, table, static_cast<std::size_t>(n) * sizeof(RGBQUAD));
        h.biClrUsed = 0;
    } else if (h.biCompression == BI_BITFIELDS) {
        DWORD masks[3];
        if (h.biBitCount == 16) {
            masks[0] = 0xF800; masks[1] = 0x07E0; masks[2] = 0x001F;
        } else {
            masks[0] = 0xFF0000; masks[1] = 0xFF00; masks[2] = 0xFF;
        }
        std::memcpy(tail, masks, sizeof masks);
    }
    if (!bits) {
        h.biSizeImage = static_cast<DWORD>(DibStride(h.biWidth, h.biBitCount) * (h.biHeight < 0 ? -h.biHeight : h.biHeight));
        return bmp->Height();
    }
    TPixelLayout dst;
    std::vector<RGBQUAD> store;
    if (!LayoutFromInfo(info, usage, bits, dst, store))
        return 0;
    LONG total = std::min(dst.Height, bmp->Height());
    if (start >= static_cast<UINT>(total))
        return 0;
    LONG count = static_cast<LONG>(std::min<UINT>(lines, static_cast<UINT>(total) - start));
    LONG w = std::min(dst.Width, bmp->Width());
    std::vector<DWORD> row(static_cast<std::size_t>(std::max(w, 1)));
    // Scan lines count from the bottom in bottom-up headers; `bits` holds
    // lines start .. start + count - 1 only.
    TPixelLayout band = dst;
    band.Height = count;
    if (dst.BottomUp) {
        for (LONG i = 0; i < count; ++i) {
            LONG line = static_cast<LONG>(start) + i;
            ReadPixels(bmp->Layout, SourceRow(*bmp, true, line), 0, w, row.data());
            WritePixels(band, count - 1 - i, 0, w, row.data());
        }
    } else {
        for (LONG i = 0; i < count; ++i) {
            ReadPixels(bmp->Layout, static_cast<LONG>(start) + i, 0, w, row.data());
            WritePixels(band, i, 0, w, row.data());
        }
    }
    return count;
}

int SetDIBits(HDC, HBITMAP bitmap, UINT start, UINT lines, const void* bits, const BITMAPINFO* info, UINT usage)
{
    TGdiBitmap* bmp = BitmapFromHandle(bitmap);
    if (!bmp || !bits || !info)
        return 0;
    TPixelLayout src;
    std::vector<RGBQUAD> store;
    if (!LayoutFromInfo(info, usage, bits, src, store))
        return 0;
    LONG total = std::min(src.Height, bmp->Height());
    if (start >= static_cast<UINT>(total))
        return 0;
    LONG count = static_cast<LONG>(std::min<UINT>(lines, static_cast<UINT>(total) - start));
    LONG w = std::min(src.Width, bmp->Width());
    std::vector<DWORD> row(static_cast<std::size_t>(std::max(w, 1)));
    TPixelLayout band = src;
    band.Height = count;
    for (LONG i = 0; i < count; ++i) {
        LONG line = static_cast<LONG>(start) + i;
        if (src.BottomUp) {
            ReadPixels(band, count - 1 - i, 0, w, row.data());
            WritePixels(bmp->Layout, SourceRow(*bmp, true, line), 0, w, row.data());
        } else {
            ReadPixels(band, i, 0, w, row.data());
            WritePixels(bmp->Layout, line, 0, w, row.data());
        }
    }
    return count;
}

UINT GetDIBColorTable(HDC dc, UINT start, UINT count, RGBQUAD* colors)
{
    TDeviceContext* ctx = TDeviceContext::FromHandle(dc);
    TGdiBitmap* bmp = ctx ? ctx->Surface() : nullptr;
    if (!bmp || !bmp->DibSection || !colors || start >= bmp->ColorTable.size())
        return 0;
    UINT n = std::min<UINT>(count, static_cast<UINT>(bmp->ColorTable.size()) - start);
    std::memcpy(colors, bmp->ColorTable.data() + start, n * sizeof(RGBQUAD));
    return n;
}

UINT SetDIBColorTable(HDC dc, UINT start, UINT count, const RGBQUAD* colors)
{
    TDeviceContext* ctx = TDeviceContext::FromHandle(dc);
    TGdiBitmap* bmp = ctx ? ctx->Surface() : nullptr;
    if (!bmp || !bmp->DibSection || !colors || start >= bmp->ColorTable.size())
        return 0;
    UINT n = std::min<UINT>(count, static_cast<UINT>(bmp->ColorTable.size()) - start);
    std::memcpy(bmp->ColorTable.data() + start, colors, n * sizeof(RGBQUAD));
    return n;
}

LONG GetBitmapBits(HBITMAP bitmap, LONG count, void* bits)
{
    TGdiBitmap* bmp = BitmapFromHandle(bitmap);
    if (!bmp || count <= 0)
        return 0;
    LONG wordStride = static_cast<LONG>(((bmp->Width() * bmp->BitCount() + 15) / 16) * 2);
    LONG total = wordStride * bmp->Height();
    if (!bits)
        return total;
    LONG n = std::min(count, total);
    auto* out = static_cast<BYTE*>(bits);
    for (LONG done = 0, y = 0; done < n; ++y) {
        LONG chunk = std::min(wordStride, n - done);
        std::memcpy(out + done, bmp->Layout.Row(y), static_cast<std::size_t>(chunk));
        done += chunk;
    }
    return n;
}

LONG SetBitmapBits(HBITMAP bitmap, DWORD count, const void* bits)
{
    TGdiBitmap* bmp = BitmapFromHandle(bitmap);
    if (!bmp || !bits)
        return 0;
    LONG wordStride = static_cast<LONG>(((bmp->Width() * bmp->BitCount() + 15) / 16) * 2);
    LONG total = wordStride * bmp->Height();
    LONG n = std::min(static_cast<LONG>(std::min<DWORD>(count, 0x7FFFFFFF)), total);
    auto* in = static_cast<const BYTE*>(bits);
    for (LONG done = 0, y = 0; done < n; ++y) {
        LONG chunk = std::min(wordStride, n - done);
        std::memcpy(bmp->Layout.Row(y), in + done, static_cast<std::size_t>(chunk));
        done += chunk;
    }
    return n;
}
