#include "platform/media/ScreenGrab.h"

#include <algorithm>
#include <cstring>

#include "platform/gdi/Bitmaps.h"
#include "platform/gdi/Blit.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/GdiObject.h"
#include "platform/user/Backend.h"
#include "platform/user/Cursors.h"
#include "platform/user/Input.h"

namespace {

// The standard pointer shapes have no picture of their own headless; a
// recording shows this arrow for them ('#' black, '.' white).
const char* const kArrow[] = {
    "#           ", "##          ", "#.#         ", "#..#        ", "#...#       ", "#....#      ",
    "#.....#     ", "#......#    ", "#.......#   ", "#........#  ", "#.........# ", "#......#####",
    "#...#..#    ", "#..# #..#   ", "#.#  #..#   ", "##    #..#  ", "#     #..#  ", "       #..# ",
    "       ##   "};

void ArrowCursor(TGrabCursor& c)
{
    c.Width = 12;
    c.Height = int(sizeof kArrow / sizeof kArrow[0]);
    c.Argb.assign(size_t(c.Width) * size_t(c.Height), 0);
    for (int y = 0; y < c.Height; ++y)
        for (int x = 0; x < c.Width; ++x) {
            const char p = kArrow[y][x];
            if (p != ' ')
                c.Argb[size_t(y * c.Width + x)] = p == '#' ? 0xFF000000u : 0xFFFFFFFFu;
        }
}

class TMemoryScreenGrabber final : public TScreenGrabber {
public:
    ~TMemoryScreenGrabber() override
    {
        if (FMemDC && FOld)
            SelectObject(FMemDC, FOld);
        if (FBitmap)
            DeleteObject(FBitmap);
        if (FMemDC)
            DeleteDC(FMemDC);
        if (FScreenDC)
            ReleaseDC(nullptr, FScreenDC);
    }

    bool Open(std::string& AError)
    {
        FScreenDC = GetDC(nullptr);
        if (!FScreenDC) {
            AError = "cannot get the screen's device context";
            return false;
        }
        FMemDC = CreateCompatibleDC(FScreenDC);
        if (!FMemDC) {
            AError = "cannot create a memory device context";
            return false;
        }
        FBits = GetDeviceCaps(FScreenDC, BITSPIXEL) * GetDeviceCaps(FScreenDC, PLANES);
        return true;
    }

    const char* Name() const override { return "memory"; }
    SIZE ScreenSize() const override
    {
        return SIZE{GetDeviceCaps(FScreenDC, HORZRES), GetDeviceCaps(FScreenDC, VERTRES)};
    }
    int BitsPerPixel() const override { return FBits; }
    TGrabPixels Pixels() const override
    {
        switch (FBits) {
        case 16: return TGrabPixels::Rgb565;  // the memory screen's 16-bit masks
        case 24: return TGrabPixels::Bgr24;
        case 32: return TGrabPixels::Bgr0;
        default: return TGrabPixels::Palette8;
        }
    }

    bool Grab(const RECT& AArea, uint8_t* ADst, int AStride, std::string& AError) override
    {
        const int w = AArea.right - AArea.left, h = AArea.bottom - AArea.top;
        if (w <= 0 || h <= 0) {
            AError = "empty area";
            return false;
        }
        if (!FBitmap || FSize.cx != w || FSize.cy != h) {
            if (FOld)
                SelectObject(FMemDC, FOld);
            if (FBitmap)
                DeleteObject(FBitmap);
            FOld = nullptr;
            FBitmap = CreateCompatibleBitmap(FScreenDC, w, h);
            if (!FBitmap) {
                AError = "cannot create the capture bitmap";
                return false;
            }
            FOld = SelectObject(FMemDC, FBitmap);
            FSize = SIZE{w, h};
            BITMAP bm{};
            if (!GetObject(FBitmap, sizeof bm, &bm) || bm.bmBitsPixel != FBits) {
                AError = "cannot describe the capture bitmap";
                return false;
            }
            FRows.resize(size_t(bm.bmWidthBytes) * size_t(h));
        }
        if (!BitBlt(FMemDC, 0, 0, w, h, FScreenDC, AArea.left, AArea.top, SRCCOPY)) {
            AError = "BitBlt failed";
            return false;
        }
        if (GetBitmapBits(FBitmap, LONG(FRows.size()), FRows.data()) != LONG(FRows.size())) {
            AError = "GetBitmapBits failed";
            return false;
        }
        // The bitmap's rows are word-aligned; pictures have packed rows.
        const size_t packed = size_t(w) * size_t(FBits / 8);
        const size_t stride = FRows.size() / size_t(h);
        for (int y = 0; y < h; ++y)
            std::memcpy(ADst + size_t(y) * size_t(AStride), FRows.data() + size_t(y) * stride, packed);
        return true;
    }

    bool Cursor(TGrabCursor& ACursor) override
    {
        HCURSOR cursor = GetCursor();
        POINT at{};
        TCursorInfo info;
        if (!CursorShowing() || !GetCursorPos(&at) || !GetCursorDescription(cursor, &info))
            return false;
        if (info.Image.BitCount == 32 && info.Image.Width > 0 && info.Image.Height > 0) {
            ACursor.Width = info.Image.Width;
            ACursor.Height = info.Image.Height;
            ACursor.Argb.resize(size_t(ACursor.Width) * size_t(ACursor.Height));
            for (int y = 0; y < ACursor.Height; ++y)
                std::memcpy(&ACursor.Argb[size_t(y * ACursor.Width)], info.Image.Row(y), size_t(ACursor.Width) * 4);
        } else {
            ArrowCursor(ACursor);
        }
        ACursor.Position = POINT{at.x - info.HotSpot.x, at.y - info.HotSpot.y};
        return true;
    }

private:
    HDC FScreenDC = nullptr;
    HDC FMemDC = nullptr;
    HBITMAP FBitmap = nullptr;
    HGDIOBJ FOld = nullptr;
    SIZE FSize{};
    int FBits = 0;
    std::vector<uint8_t> FRows;
};

inline uint8_t Blend(uint8_t dst, uint8_t src, uint32_t a)
{
    return uint8_t((src * a + dst * (255 - a) + 127) / 255);
}

}  // namespace

std::unique_ptr<TScreenGrabber> OpenMemoryScreenGrabber(std::string& AError)
{
    auto g = std::make_unique<TMemoryScreenGrabber>();
    if (!g->Open(AError))
        return nullptr;
    return g;
}

std::unique_ptr<TScreenGrabber> OpenScreenGrabber(std::string& AError)
{
    IWindowBackend* backend = UserBackend();
    if (backend && std::strcmp(backend->Name(), "x11") == 0)
        return OpenX11ScreenGrabber(nullptr, AError);
    return OpenMemoryScreenGrabber(AError);
}

void DrawGrabCursor(const TGrabCursor& ACursor, POINT APosition, TGrabPixels APixels, uint8_t* ADst, int AStride,
                    int AWidth, int AHeight)
{
    const int x0 = std::max(0, int(APosition.x)), y0 = std::max(0, int(APosition.y));
    const int x1 = std::min(AWidth, int(APosition.x) + ACursor.Width);
    const int y1 = std::min(AHeight, int(APosition.y) + ACursor.Height);
    for (int y = y0; y < y1; ++y) {
        uint8_t* row = ADst + size_t(y) * size_t(AStride);
        const uint32_t* src = &ACursor.Argb[size_t((y - APosition.y) * ACursor.Width)];
        for (int x = x0; x < x1; ++x) {
            const uint32_t p = src[x - APosition.x];
            const uint32_t a = p >> 24;
            if (!a)
                continue;
            const uint8_t r = uint8_t(p >> 16), g = uint8_t(p >> 8), b = uint8_t(p);
            switch (APixels) {
            case TGrabPixels::Bgr0:
            case TGrabPixels::Bgr24: {
                uint8_t* d = row + size_t(x) * (APixels == TGrabPixels::Bgr0 ? 4 : 3);
                d[0] = Blend(d[0], b, a);
                d[1] = Blend(d[1], g, a);
                d[2] = Blend(d[2], r, a);
                break;
            }
            case TGrabPixels::Rgb565:
            case TGrabPixels::Rgb555: {
                if (a < 128)
                    break;  // 16-bit pictures take the pointer's opaque part
                uint16_t v = APixels == TGrabPixels::Rgb565
                                 ? uint16_t(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3))
                                 : uint16_t(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
                std::memcpy(row + size_t(x) * 2, &v, 2);
                break;
            }
            case TGrabPixels::Palette8: return;
            }
        }
    }
}
