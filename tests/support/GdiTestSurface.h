#pragma once
// A DIB section selected into its own memory DC, for tests that draw through
// the graphics interface and check pixel memory directly.
#include "platform/gdi/Gdi.h"

#include <cstring>
#include <vector>

class TTestSurface {
public:
    // bitCount 32 (plain), 24, 16 (5-6-5 masks), 8/4/1 (with the given
    // colours, or black and white for 1 bit and the 16 system colours).
    TTestSurface(int width, int height, int bitCount = 32, bool bottomUp = false,
                 std::vector<RGBQUAD> colors = {})
        : Width(width), Height(height)
    {
        std::vector<BYTE> header(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD), 0);
        auto* bi = reinterpret_cast<BITMAPINFO*>(header.data());
        bi->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi->bmiHeader.biWidth = width;
        bi->bmiHeader.biHeight = bottomUp ? height : -height;
        bi->bmiHeader.biPlanes = 1;
        bi->bmiHeader.biBitCount = static_cast<WORD>(bitCount);
        if (bitCount == 16) {
            bi->bmiHeader.biCompression = BI_BITFIELDS;
            DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
            std::memcpy(bi->bmiColors, masks, sizeof masks);
        } else if (bitCount <= 8) {
            if (colors.empty() && bitCount == 1)
                colors.assign(MonoPalette(), MonoPalette() + 2);
            else if (colors.empty())
                colors.assign(SystemPalette16(), SystemPalette16() + 16);
            bi->bmiHeader.biClrUsed = static_cast<DWORD>(colors.size());
            std::memcpy(bi->bmiColors, colors.data(), colors.size() * sizeof(RGBQUAD));
        }
        void* bits = nullptr;
        Bitmap = CreateDIBSection(nullptr, bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        Bits = static_cast<BYTE*>(bits);
        DC = CreateCompatibleDC(nullptr);
        Old = SelectObject(DC, Bitmap);
        Stride = DibStride(width, bitCount);
        BottomUp = bottomUp;
    }
    ~TTestSurface()
    {
        SelectObject(DC, Old);
        DeleteDC(DC);
        DeleteObject(Bitmap);
    }
    TTestSurface(const TTestSurface&) = delete;
    TTestSurface& operator=(const TTestSurface&) = delete;

    BYTE* Row(int y) const { return Bits + static_cast<std::ptrdiff_t>(BottomUp ? Height - 1 - y : y) * Stride; }
    DWORD& Px(int x, int y) const { return reinterpret_cast<DWORD*>(Row(y))[x]; }
    WORD Px16(int x, int y) const
    {
        WORD v;
        std::memcpy(&v, Row(y) + x * 2, 2);
        return v;
    }
    void Fill(DWORD v) const
    {
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x)
                Px(x, y) = v;
    }

    int Width, Height;
    HBITMAP Bitmap = nullptr;
    HDC DC = nullptr;
    HGDIOBJ Old = nullptr;
    BYTE* Bits = nullptr;
    LONG Stride = 0;
    bool BottomUp = false;
};
