#pragma once
// Bitmaps and DIB sections: pixel memory of 1, 4, 8, 16, 24 or 32 bits per
// pixel, rows padded to 4 bytes (2 for device-dependent bitmaps), top-down or
// bottom-up, with colour tables and bit-field masks, and the row converters
// every blit goes through. Pixels are handled as 32-bit values 0xAARRGGBB
// (bytes B, G, R, A in memory) between converters; a COLORREF becomes such a
// value with ColorRefToPixel.
#include "platform/gdi/GdiObject.h"

#include <string>
#include <vector>

constexpr DWORD ColorRefToPixel(COLORREF c)
{
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
constexpr COLORREF PixelToColorRef(DWORD p)
{
    return ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
}

// A description of pixel memory, owned by a bitmap or by a caller's buffer.
struct TPixelLayout {
    BYTE* Bits = nullptr;       // first byte as stored (bmBits)
    LONG Width = 0;
    LONG Height = 0;            // always positive
    WORD BitCount = 0;
    LONG Stride = 0;            // bytes per stored row
    bool BottomUp = false;      // stored row 0 is the bottom row
    const RGBQUAD* Colors = nullptr;
    int ColorCount = 0;
    DWORD Masks[3] = {0, 0, 0}; // red, green, blue for 16 and 32 bits
    bool Bitfields = false;

    // Row y counted from the top.
    BYTE* Row(LONG y) const { return Bits + static_cast<std::ptrdiff_t>(BottomUp ? Height - 1 - y : y) * Stride; }
    // 32-bit pixels without masks: rows can be copied as they are.
    bool IsPlain32() const { return BitCount == 32 && (!Bitfields || (Masks[0] == 0xFF0000 && Masks[1] == 0xFF00 && Masks[2] == 0xFF)); }
};

// Reads n pixels of row y from column x as 0xAARRGGBB (alpha is kept from
// 32-bit pixels and 0 from every other format).
void ReadPixels(const TPixelLayout& layout, LONG y, LONG x, LONG n, DWORD* out);
// Writes n pixels; paletted formats take the nearest table colour.
void WritePixels(const TPixelLayout& layout, LONG y, LONG x, LONG n, const DWORD* in);
DWORD NearestColorIndex(const RGBQUAD* colors, int count, DWORD pixel);

// The 16-colour system palette and the default tables for 1 and 8 bits.
const RGBQUAD* SystemPalette16();
const RGBQUAD* DefaultPalette256();
const RGBQUAD* MonoPalette();

class TGdiBitmap final : public TGdiObject {
public:
    TGdiBitmap() : TGdiObject(OBJ_BITMAP) {}
    ~TGdiBitmap() override;

    int GetObjectData(int size, void* buffer) const override;

    TPixelLayout Layout;
    std::vector<RGBQUAD> ColorTable;
    bool DibSection = false;
    // A one-bit device-dependent bitmap: blits map its 0 bits to the text
    // colour and its 1 bits to the background colour of the target DC.
    bool MonoDDB = false;
    DWORD Compression = BI_RGB;
    HDC SelectedDC = nullptr;
    bool OwnsBits = true;

    LONG Width() const { return Layout.Width; }
    LONG Height() const { return Layout.Height; }
    WORD BitCount() const { return Layout.BitCount; }
    void SyncColors()
    {
        Layout.Colors = ColorTable.empty() ? nullptr : ColorTable.data();
        Layout.ColorCount = static_cast<int>(ColorTable.size());
    }
};

TGdiBitmap* BitmapFromHandle(HBITMAP bitmap);

// Builds a pixel layout over a caller's header and bits. Colours of
// DIB_PAL_COLORS tables index the 16-colour system palette. Returns false
// (and an explanation) when the header is not a usable bitmap description.
bool LayoutFromInfo(const BITMAPINFO* info, UINT usage, const void* bits, TPixelLayout& layout,
                    std::vector<RGBQUAD>& colorStore, std::string* error = nullptr);
// Bytes per row of a DIB: a multiple of 4.
LONG DibStride(LONG width, int bitCount);

// The screen's depth for new device-dependent bitmaps and GetDeviceCaps:
// 32 normally; tests switch it to 16 to exercise the 16-bit paths.
int GdiScreenBitsPerPixel();
void GdiSetScreenBitsPerPixel(int bits);

HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset);
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitCount, const void* bits);
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage);
int SetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, const void* bits, const BITMAPINFO* info, UINT usage);
UINT GetDIBColorTable(HDC dc, UINT start, UINT count, RGBQUAD* colors);
UINT SetDIBColorTable(HDC dc, UINT start, UINT count, const RGBQUAD* colors);
LONG GetBitmapBits(HBITMAP bitmap, LONG count, void* bits);
LONG SetBitmapBits(HBITMAP bitmap, DWORD count, const void* bits);
