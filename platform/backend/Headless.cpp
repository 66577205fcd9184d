#include "platform/backend/Headless.h"

#include "platform/gdi/Bitmaps.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/SysColors.h"
#include "platform/rtl/Threads.h"
#include "platform/user/Focus.h"
#include "platform/user/MessageQueue.h"
#include "platform/user/ThreadQueue.h"
#include "platform/user/Window.h"
#include "platform/user/WindowObject.h"
#include "platform/user/WindowRegion.h"

#include <algorithm>
#include <cstring>

namespace {

RECT Intersect(const RECT& a, const RECT& b)
{
    return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

bool Empty(const RECT& r)
{
    return r.right <= r.left || r.bottom <= r.top;
}

inline DWORD Blend(DWORD src, DWORD dst, unsigned a)
{
    // src over dst with coverage a (0..255), straight colours.
    unsigned ia = 255 - a;
    unsigned r = (((src >> 16) & 0xFF) * a + ((dst >> 16) & 0xFF) * ia + 127) / 255;
    unsigned g = (((src >> 8) & 0xFF) * a + ((dst >> 8) & 0xFF) * ia + 127) / 255;
    unsigned b = ((src & 0xFF) * a + (dst & 0xFF) * ia + 127) / 255;
    return (r << 16) | (g << 8) | b;
}

inline DWORD BlendPremultiplied(DWORD src, DWORD dst, unsigned constant)
{
    // Premultiplied src scaled by a constant alpha, over dst.
    unsigned sa = ((src >> 24) * constant + 127) / 255;
    unsigned ia = 255 - sa;
    auto ch = [&](int shift) {
        unsigned s = (((src >> shift) & 0xFF) * constant + 127) / 255;
        unsigned v = s + (((dst >> shift) & 0xFF) * ia + 127) / 255;
        return std::min(v, 255u);
    };
    return (ch(16) << 16) | (ch(8) << 8) | ch(0);
}

} // namespace

THeadlessBackend::THeadlessBackend()
{
    MakeScreen();
}

void THeadlessBackend::MakeScreen()
{
    GdiSetScreenSize(FSize.cx, FSize.cy);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = FSize.cx;
    bi.bmiHeader.biHeight = -FSize.cy;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    FScreen = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, nullptr, nullptr, 0);
    GdiSetScreenSurface(FScreen);
}

bool THeadlessBackend::SetScreenSize(int width, int height)
{
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384)
        return false;
    if (width == FSize.cx && height == FSize.cy)
        return true;
    // The graphics layer lets go of the old screen before it is deleted.
    HBITMAP old = FScreen;
    GdiSetScreenSurface(nullptr);
    DeleteObject(old);
    FSize = SIZE{width, height};
    MakeScreen();
    std::vector<HWND> tops;
    {
        std::lock_guard lock(User().Lock);
        TWnd* desktop = DesktopWnd();
        desktop->Rect = RECT{0, 0, width, height};
        desktop->Client = desktop->Rect;
        for (TWnd* t : desktop->Children)
            tops.push_back(t->Handle);
    }
    Compose(nullptr);
    for (HWND t : tops)
        SendMessage(t, WM_DISPLAYCHANGE, 32, MAKELPARAM(static_cast<WORD>(width), static_cast<WORD>(height)));
    return true;
}

IWindowBackend& DefaultWindowBackend() { return HeadlessBackend(); }

THeadlessBackend& HeadlessBackend()
{
    static auto* b = new THeadlessBackend;
    return *b;
}

namespace {

constexpr LONG kShadow = kDropShadowWidth;

bool CastsShadow(const TWnd* w) { return w->Class && (w->Class->Style & CS_DROPSHADOW); }

RECT WithShadow(const TWnd* w, RECT r)
{
    if (w && CastsShadow(w)) {
        r.right += kShadow;
        r.bottom += kShadow;
    }
    return r;
}

// Darkens the band right of and below wr inside clip, fading outward.
void DrawShadow(const TPixelLayout& S, const RECT& wr, const RECT& clip)
{
    const RECT band{wr.left + kShadow, wr.top + kShadow, wr.right + kShadow, wr.bottom + kShadow};
    const RECT area = Intersect(band, clip);
    for (LONG y = area.top; y < area.bottom; ++y) {
        auto* row = reinterpret_cast<DWORD*>(S.Row(y));
        const LONG dy = y >= wr.bottom ? y - wr.bottom + 1 : 0;
        for (LONG x = area.left; x < area.right; ++x) {
            const LONG dx = x >= wr.right ? x - wr.right + 1 : 0;
            if (dx == 0 && dy == 0)
                continue;  // under the window itself
            const LONG d = std::max(dx, dy);
            const DWORD keep = 255 - static_cast<DWORD>(DropShadowAlpha(d));
            const DWORD p = row[x];
            row[x] = ((((p >> 16) & 0xFF) * keep / 255) << 16) | ((((p >> 8) & 0xFF) * keep / 255) << 8) |
                     ((p & 0xFF) * keep / 255);
        }
    }
}

}  // namespace

void THeadlessBackend::WindowCreated(HWND) {}

void THeadlessBackend::WindowDestroyed(HWND wnd)
{
    if (TWnd* w = WndFromHandle(wnd); w && w->Visible()) {
        RECT r = WithShadow(w, WindowScreenRect(w));
        // The window is still linked while it goes; compose without it.
        DWORD style = w->Style;
        w->Style &= ~WS_VISIBLE;
        Compose(&r);
        w->Style = style;
    }
}

void THeadlessBackend::WindowChanged(HWND wnd, const RECT& oldScreenRect)
{
    TWnd* w = WndFromHandle(wnd);
    const RECT old = WithShadow(w, oldScreenRect);
    Compose(&old);
    if (w) {
        RECT now = WindowScreenRect(w);
        if (!(now == oldScreenRect)) {
            now = WithShadow(w, now);
            Compose(&now);
        }
    }
}

void THeadlessBackend::Present(HWND wnd, const RECT& surfaceRect)
{
    TWnd* w = WndFromHandle(wnd);
    if (!w || !IsReallyVisible(w))
        return;
    RECT r = WindowScreenRect(w);
    RECT s{r.left + surfaceRect.left, r.top + surfaceRect.top, r.left + surfaceRect.right, r.top + surfaceRect.bottom};
    s = Intersect(s, r);
    Compose(&s);
}

void THeadlessBackend::Compose(const RECT* area)
{
    TGdiBitmap* screen = BitmapFromHandle(FScreen);
    if (!screen)
        return;
    RECT full{0, 0, FSize.cx, FSize.cy};
    RECT dirty = area ? Intersect(*area, full) : full;
    if (Empty(dirty))
        return;
    const TPixelLayout& S = screen->Layout;
    DWORD desktop = ColorRefToPixel(GetSysColor(COLOR_DESKTOP)) & 0xFFFFFF;
    for (LONG y = dirty.top; y < dirty.bottom; ++y) {
        auto* row = reinterpret_cast<DWORD*>(S.Row(y));
        std::fill(row + dirty.left, row + dirty.right, desktop);
    }
    FComposed += static_cast<long long>(dirty.right - dirty.left) * (dirty.bottom - dirty.top);

    std::lock_guard lock(User().Lock);
    const auto& tops = DesktopWnd()->Children;
    for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
        TWnd* w = *it;
        if (!w->Visible() || !w->Surface)
            continue;
        bool layered = (w->ExStyle & WS_EX_LAYERED) != 0;
        if (layered && !w->LayeredAttrs && !w->LayeredPicture)
            continue;
        TGdiBitmap* surf = BitmapFromHandle(w->Surface);
        if (!surf)
            continue;
        RECT wr = w->Rect;
        if (CastsShadow(w))
            DrawShadow(S, wr, dirty);
        RECT part = Intersect(dirty, wr);
        if (Empty(part))
            continue;
        TRegion pieces(part);
        if (w->Rgn) {
            TRegion shape = *w->Rgn;
            shape.Offset(wr.left, wr.top);
            pieces.Combine(pieces, shape, RGN_AND);
        }
        const TPixelLayout& L = surf->Layout;
        DWORD key = 0;
        bool keyed = false;
        unsigned alpha = 255;
        bool perPixel = false;
        if (layered && w->LayeredAttrs) {
            keyed = (w->LayeredFlags & LWA_COLORKEY) != 0;
            key = ColorRefToPixel(w->LayeredKey) & 0xFFFFFF;
            alpha = (w->LayeredFlags & LWA_ALPHA) ? w->LayeredAlpha : 255;
        } else if (layered && w->LayeredPicture) {
            keyed = w->PictureKeyed;
            key = ColorRefToPixel(w->PictureKey) & 0xFFFFFF;
            alpha = w->PictureAlpha;
            perPixel = w->PicturePerPixel;
        }
        for (const RECT& p : pieces.Rects()) {
            for (LONG y = p.top; y < p.bottom; ++y) {
                LONG sy = y - wr.top;
                if (sy < 0 || sy >= L.Height)
                    continue;
                auto* dst = reinterpret_cast<DWORD*>(S.Row(y));
                auto* src = reinterpret_cast<const DWORD*>(L.Row(sy));
                LONG x0 = p.left, x1 = std::min<LONG>(p.right, wr.left + L.Width);
                if (!keyed && !perPixel && alpha == 255) {
                    for (LONG x = x0; x < x1; ++x)
                        dst[x] = src[x - wr.left] & 0xFFFFFF;
                    continue;
                }
                for (LONG x = x0; x < x1; ++x) {
                    DWORD s = src[x - wr.left];
                    if (keyed && (s & 0xFFFFFF) == key)
                        continue;
                    dst[x] = perPixel ? BlendPremultiplied(s, dst[x], alpha) : Blend(s, dst[x], alpha);
                }
            }
        }
    }
}

COLORREF THeadlessBackend::Pixel(int x, int y) const
{
    TGdiBitmap* screen = BitmapFromHandle(FScreen);
    if (!screen || x < 0 || y < 0 || x >= FSize.cx || y >= FSize.cy)
        return CLR_INVALID;
    DWORD p;
    std::memcpy(&p, screen->Layout.Row(y) + x * 4, 4);
    return PixelToColorRef(p);
}

void HeadlessMouseMove(int x, int y)
{
    TInputEvent e;
    e.Kind = TInputKind::MouseMove;
    e.Pt = POINT{x, y};
    UserPostInput(e);
}

namespace {

void Button(TMouseButton b, bool down)
{
    TInputEvent e;
    e.Kind = down ? TInputKind::ButtonDown : TInputKind::ButtonUp;
    e.Button = b;
    GetCursorPos(&e.Pt);
    UserPostInput(e);
}

void Key(WORD vk, bool down)
{
    TInputEvent e;
    e.Kind = down ? TInputKind::KeyDown : TInputKind::KeyUp;
    e.Vk = vk;
    UserPostInput(e);
}

} // namespace

void HeadlessMouseDown(TMouseButton button)
{
    Button(button, true);
}

void HeadlessMouseUp(TMouseButton button)
{
    Button(button, false);
}

void HeadlessClick(int x, int y, TMouseButton button)
{
    HeadlessMouseMove(x, y);
    Button(button, true);
    Button(button, false);
}

void HeadlessWheel(int delta)
{
    TInputEvent e;
    e.Kind = TInputKind::Wheel;
    e.WheelDelta = delta;
    GetCursorPos(&e.Pt);
    UserPostInput(e);
}

void HeadlessKeyDown(WORD vk)
{
    Key(vk, true);
}

void HeadlessKeyUp(WORD vk)
{
    Key(vk, false);
}

void HeadlessKeyPress(WORD vk)
{
    Key(vk, true);
    Key(vk, false);
}

void HeadlessTypeText(const std::string& text)
{
    static const char* shifted = ")!@#$%^&*(";
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        WORD vk = 0;
        bool shift = false;
        if (c >= 'a' && c <= 'z') {
            vk = static_cast<WORD>(c - 32);
        } else if (c >= 'A' && c <= 'Z') {
            vk = c;
            shift = true;
        } else if (c >= '0' && c <= '9') {
            vk = c;
        } else if (c == ' ') {
            vk = VK_SPACE;
        } else if (c < 0x80 && std::strchr(shifted, c)) {
            vk = static_cast<WORD>('0' + (std::strchr(shifted, c) - shifted));
            shift = true;
        }
        if (vk) {
            if (shift)
                Key(VK_SHIFT, true);
            Key(vk, true);
            Key(vk, false);
            if (shift)
                Key(VK_SHIFT, false);
            continue;
        }
        // Anything else arrives as a character (UTF-8 decoded).
        char32_t ch = c;
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        if (extra) {
            ch = c & (0x3F >> extra);
            for (int k = 0; k < extra && i + 1 < text.size(); ++k)
                ch = (ch << 6) | (static_cast<unsigned char>(text[++i]) & 0x3F);
        }
        TInputEvent e;
        e.Kind = TInputKind::Char;
        e.Char = ch;
        UserPostInput(e);
    }
}

int HeadlessProcessMessages()
{
    int n = 0;
    MSG m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(m.wParam));
            break;
        }
        TranslateMessage(&m);
        DispatchMessage(&m);
        if (++n > 100000)
            break;  // a window that never validates itself
    }
    UserIdleFlush();
    return n;
}

void HeadlessReset()
{
    std::vector<HWND> mine;
    {
        std::lock_guard lock(User().Lock);
        for (TWnd* t : DesktopWnd()->Children)
            if (t->ThreadId == GetCurrentThreadId())
                mine.push_back(t->Handle);
    }
    for (HWND h : mine)
        DestroyWindow(h);
    UserResetInput();
    TThreadQueue& q = CurrentQueue();
    q.Timers.clear();
    {
        std::lock_guard lock(q.Lock);
        q.Posted.clear();
        q.Input.clear();
        q.QuitPosted = false;
    }
    q.Active = nullptr;
    q.Focus = nullptr;
    User().Capture = nullptr;
    User().Foreground = nullptr;
    HeadlessBackend().Compose(nullptr);
}
