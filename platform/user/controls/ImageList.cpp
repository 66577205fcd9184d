// Image lists as handles: pictures of one size kept by index, taken from
// bitmaps (cut into pieces of the list's width) with a mask bitmap, a mask
// colour or their own alpha, and drawn with alpha, on a background colour,
// stretched, or blended towards the highlight colour for selected items.
#include "platform/user/controls/Controls.h"

#include "platform/gdi/Bitmaps.h"
#include "platform/gdi/Blit.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/GdiObject.h"
#include "platform/gdi/GdiTypes.h"
#include "platform/gdi/PensBrushes.h"
#include "platform/gdi/Shapes.h"
#include "platform/gdi/SysColors.h"

#include <algorithm>
#include <mutex>
#include <unordered_set>
#include <vector>

struct HIMAGELIST_TAG__ {
    int Cx = 16;
    int Cy = 16;
    UINT Flags = 0;
    COLORREF Bk = CLR_NONE;
    std::vector<std::vector<DWORD>> Images;  // 0xAARRGGBB, straight alpha, top-down
};

namespace {

using TList = HIMAGELIST_TAG__;

std::mutex& ListsLock()
{
    static std::mutex m;
    return m;
}
std::unordered_set<TList*>& Lists()
{
    static std::unordered_set<TList*> s;
    return s;
}

TList* ListOf(HIMAGELIST h)
{
    std::lock_guard<std::mutex> g(ListsLock());
    auto* l = reinterpret_cast<TList*>(h);
    return Lists().count(l) ? l : nullptr;
}

// The bitmap's pixels as 32-bit top-down 0xAARRGGBB; false when unreadable.
bool ReadBitmap(HBITMAP bmp, std::vector<DWORD>& px, int& w, int& h, bool& hasAlpha)
{
    BITMAP bm{};
    if (!bmp || GetObject(bmp, sizeof(bm), &bm) < static_cast<int>(sizeof(LONG) * 3) || bm.bmWidth <= 0 ||
        bm.bmHeight == 0)
        return false;
    w = bm.bmWidth;
    h = std::abs(bm.bmHeight);
    if (static_cast<long long>(w) * h > 64LL * 1024 * 1024)
        return false;
    px.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    HDC dc = CreateCompatibleDC(nullptr);
    int lines = GetDIBits(dc, bmp, 0, static_cast<UINT>(h), px.data(), &bi, DIB_RGB_COLORS);
    DeleteDC(dc);
    if (lines <= 0)
        return false;
    hasAlpha = bm.bmBitsPixel == 32 && std::any_of(px.begin(), px.end(), [](DWORD p) { return (p >> 24) != 0; });
    return true;
}

int AddPixels(TList* l, const std::vector<DWORD>& px, int w, int h, bool hasAlpha, const std::vector<DWORD>* mask,
              COLORREF maskColour, bool useColour)
{
    if (w < l->Cx || h < l->Cy)
        return -1;
    int count = w / l->Cx;
    int first = static_cast<int>(l->Images.size());
    DWORD key = ((GetRValue(maskColour)) << 16) | (GetGValue(maskColour) << 8) | GetBValue(maskColour);
    for (int k = 0; k < count; ++k) {
        std::vector<DWORD> img(static_cast<std::size_t>(l->Cx) * static_cast<std::size_t>(l->Cy));
        for (int y = 0; y < l->Cy; ++y)
            for (int x = 0; x < l->Cx; ++x) {
                std::size_t src = static_cast<std::size_t>(y) * static_cast<std::size_t>(w) +
                                  static_cast<std::size_t>(k * l->Cx + x);
                DWORD p = px[src];
                DWORD a = hasAlpha ? (p >> 24) : 255;
                if (mask && ((*mask)[src] & 0xFFFFFF) != 0)
                    a = 0;
                if (useColour && (p & 0xFFFFFF) == key)
                    a = 0;
                img[static_cast<std::size_t>(y) * static_cast<std::size_t>(l->Cx) + static_cast<std::size_t>(x)] =
                    (a << 24) | (p & 0xFFFFFF);
            }
        l->Images.push_back(std::move(img));
    }
    return first;
}

BYTE Mix(BYTE a, BYTE b, int percentB) { return static_cast<BYTE>((a * (100 - percentB) + b * percentB) / 100); }

} // namespace

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int /*initial*/, int /*grow*/)
{
    if (cx <= 0 || cy <= 0 || cx > 4096 || cy > 4096)
        return nullptr;
    auto* l = new TList;
    l->Cx = cx;
    l->Cy = cy;
    l->Flags = flags;
    std::lock_guard<std::mutex> g(ListsLock());
    Lists().insert(l);
    return reinterpret_cast<HIMAGELIST>(l);
}

BOOL ImageList_Destroy(HIMAGELIST h)
{
    std::lock_guard<std::mutex> g(ListsLock());
    auto* l = reinterpret_cast<TList*>(h);
    if (!Lists().erase(l))
        return FALSE_;
    delete l;
    return TRUE_;
}

int ImageList_Add(HIMAGELIST h, HBITMAP image, HBITMAP mask)
{
    TList* l = ListOf(h);
    std::vector<DWORD> px, mpx;
    int w = 0, hgt = 0, mw = 0, mh = 0;
    bool alpha = false, ma = false;
    if (!l || !ReadBitmap(image, px, w, hgt, alpha))
        return -1;
    bool useMask = mask && ReadBitmap(mask, mpx, mw, mh, ma) && mw == w && mh == hgt;
    return AddPixels(l, px, w, hgt, alpha, useMask ? &mpx : nullptr, 0, false);
}

int ImageList_AddMasked(HIMAGELIST h, HBITMAP image, COLORREF maskColour)
{
    TList* l = ListOf(h);
    std::vector<DWORD> px;
    int w = 0, hgt = 0;
    bool alpha = false;
    if (!l || !ReadBitmap(image, px, w, hgt, alpha))
        return -1;
    return AddPixels(l, px, w, hgt, alpha, nullptr, maskColour, maskColour != CLR_NONE);
}

BOOL ImageList_Remove(HIMAGELIST h, int i)
{
    TList* l = ListOf(h);
    if (!l)
        return FALSE_;
    if (i == -1) {
        l->Images.clear();
        return TRUE_;
    }
    if (i < 0 || i >= static_cast<int>(l->Images.size()))
        return FALSE_;
    l->Images.erase(l->Images.begin() + i);
    return TRUE_;
}

int ImageList_GetImageCount(HIMAGELIST h)
{
    TList* l = ListOf(h);
    return l ? static_cast<int>(l->Images.size()) : 0;
}

BOOL ImageList_GetIconSize(HIMAGELIST h, int* cx, int* cy)
{
    TList* l = ListOf(h);
    if (!l || !cx || !cy)
        return FALSE_;
    *cx = l->Cx;
    *cy = l->Cy;
    return TRUE_;
}

COLORREF ImageList_SetBkColor(HIMAGELIST h, COLORREF bk)
{
    TList* l = ListOf(h);
    if (!l)
        return CLR_NONE;
    COLORREF old = l->Bk;
    l->Bk = bk;
    return old;
}

COLORREF ImageList_GetBkColor(HIMAGELIST h)
{
    TList* l = ListOf(h);
    return l ? l->Bk : CLR_NONE;
}

BOOL ImageList_DrawEx(HIMAGELIST h, int i, HDC dc, int x, int y, int dx, int dy, COLORREF bk, COLORREF fg, UINT style)
{
    TList* l = ListOf(h);
    if (!l || !dc || i < 0 || i >= static_cast<int>(l->Images.size()))
        return FALSE_;
    int w = dx > 0 ? dx : l->Cx, hgt = dy > 0 ? dy : l->Cy;
    if (bk == CLR_DEFAULT)
        bk = l->Bk;
    if (style & ILD_TRANSPARENT)
        bk = CLR_NONE;
    if (bk != CLR_NONE) {
        HBRUSH b = CreateSolidBrush(bk);
        RECT r{x, y, x + w, y + hgt};
        FillRect(dc, &r, b);
        DeleteObject(b);
    }
    int blend = (style & ILD_BLEND50) ? 50 : (style & ILD_BLEND25) ? 25 : 0;
    COLORREF towards = fg == CLR_DEFAULT || fg == CLR_NONE ? GetSysColor(COLOR_HIGHLIGHT) : fg;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = l->Cx;
    bi.bmiHeader.biHeight = -l->Cy;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib || !bits)
        return FALSE_;
    auto* out = static_cast<DWORD*>(bits);
    const auto& img = l->Images[static_cast<std::size_t>(i)];
    for (std::size_t k = 0; k < img.size(); ++k) {
        DWORD p = img[k];
        BYTE a = static_cast<BYTE>(p >> 24);
        BYTE r = static_cast<BYTE>(p >> 16), g = static_cast<BYTE>(p >> 8), b = static_cast<BYTE>(p);
        if (style & ILD_MASK)
            r = g = b = 0;
        if (blend) {
            r = Mix(r, GetRValue(towards), blend);
            g = Mix(g, GetGValue(towards), blend);
            b = Mix(b, GetBValue(towards), blend);
        }
        // Premultiplied for AlphaBlend.
        out[k] = (static_cast<DWORD>(a) << 24) | (static_cast<DWORD>(r * a / 255) << 16) |
                 (static_cast<DWORD>(g * a / 255) << 8) | static_cast<DWORD>(b * a / 255);
    }
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, dib);
    BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    BOOL ok = AlphaBlend(dc, x, y, w, hgt, mem, 0, 0, l->Cx, l->Cy, bf);
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(dib);
    return ok;
}

BOOL ImageList_Draw(HIMAGELIST h, int i, HDC dc, int x, int y, UINT style)
{
    return ImageList_DrawEx(h, i, dc, x, y, 0, 0, CLR_DEFAULT, CLR_DEFAULT, style);
}
