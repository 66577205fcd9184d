#pragma once
// The platform's basic value types: fixed-size integers with the platform's
// names, handles, geometry records and colour values. Every layer uses these
// so that message parameters, style bits and structure fields keep the
// platform's sizes and values.
#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using UINT = std::uint32_t;
using INT = std::int32_t;
using BOOL = std::int32_t;
using SHORT = std::int16_t;
using USHORT = std::uint16_t;
using LONGLONG = std::int64_t;
using ULONGLONG = std::uint64_t;
using Int64 = std::int64_t;
using Cardinal = std::uint32_t;
using LongWord = std::uint32_t;
using LongInt = std::int32_t;
using SmallInt = std::int16_t;
using ShortInt = std::int8_t;
using Byte = std::uint8_t;
using Word = std::uint16_t;
using WCHAR = char16_t;

// Message parameters are pointer-sized, as on the platform, so that pointers
// travel through them.
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using INT_PTR = std::intptr_t;
using DWORD_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;

// Colours: 0x00BBGGRR; a high byte of 0xFF selects a system colour by index.
using COLORREF = DWORD;
using TColor = std::int32_t;

constexpr BOOL TRUE_ = 1;
constexpr BOOL FALSE_ = 0;

// Distinct handle types, so that a brush cannot be passed where a pen is
// expected. Each is a pointer to an incomplete tag; the platform layer that
// owns a kind of handle maps it to its objects.
#define TARNELLO_DECLARE_HANDLE(name) \
    struct name##__;                  \
    using name = name##__*
TARNELLO_DECLARE_HANDLE(HWND);
TARNELLO_DECLARE_HANDLE(HDC);
TARNELLO_DECLARE_HANDLE(HGDIOBJ_TAG);
TARNELLO_DECLARE_HANDLE(HMENU);
TARNELLO_DECLARE_HANDLE(HICON);
TARNELLO_DECLARE_HANDLE(HINSTANCE);
TARNELLO_DECLARE_HANDLE(HMONITOR);
TARNELLO_DECLARE_HANDLE(HIMAGELIST_TAG);
#undef TARNELLO_DECLARE_HANDLE

// GDI objects share one handle space: any of them can be selected, deleted or
// queried through an HGDIOBJ.
using HGDIOBJ = void*;
struct HBITMAP__;  using HBITMAP = HBITMAP__*;
struct HBRUSH__;   using HBRUSH = HBRUSH__*;
struct HPEN__;     using HPEN = HPEN__*;
struct HFONT__;    using HFONT = HFONT__*;
struct HRGN__;     using HRGN = HRGN__*;
struct HPALETTE__; using HPALETTE = HPALETTE__*;
using HCURSOR = HICON;
using HMODULE = HINSTANCE;
using HANDLE = void*;
using THandle = std::uintptr_t;

struct POINT {
    LONG x = 0;
    LONG y = 0;
    friend bool operator==(const POINT&, const POINT&) = default;
};

struct SIZE {
    LONG cx = 0;
    LONG cy = 0;
    friend bool operator==(const SIZE&, const SIZE&) = default;
};

struct RECT {
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;
    friend bool operator==(const RECT&, const RECT&) = default;
};

// The class library's names for the same records, with its field spellings.
struct TPoint : POINT {
    constexpr TPoint() = default;
    constexpr TPoint(LONG ax, LONG ay) : POINT{ax, ay} {}
    constexpr TPoint(const POINT& p) : POINT(p) {}
    LONG& X() { return x; }
    LONG& Y() { return y; }
};

struct TRect : RECT {
    constexpr TRect() = default;
    constexpr TRect(LONG l, LONG t, LONG r, LONG b) : RECT{l, t, r, b} {}
    constexpr TRect(const RECT& r) : RECT(r) {}
    constexpr TRect(const TPoint& topLeft, const TPoint& bottomRight)
        : RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y} {}
    constexpr LONG Width() const { return right - left; }
    constexpr LONG Height() const { return bottom - top; }
    constexpr TPoint TopLeft() const { return {left, top}; }
    constexpr TPoint BottomRight() const { return {right, bottom}; }
};

struct TSize : SIZE {
    constexpr TSize() = default;
    constexpr TSize(LONG w, LONG h) : SIZE{w, h} {}
    constexpr TSize(const SIZE& s) : SIZE(s) {}
};

constexpr TRect Rect(LONG left, LONG top, LONG right, LONG bottom) { return {left, top, right, bottom}; }
constexpr TRect Bounds(LONG left, LONG top, LONG width, LONG height)
{
    return {left, top, left + width, top + height};
}
constexpr TPoint Point(LONG x, LONG y) { return {x, y}; }

constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b)
{
    return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) | (static_cast<COLORREF>(b) << 16);
}
constexpr BYTE GetRValue(COLORREF c) { return static_cast<BYTE>(c & 0xFF); }
constexpr BYTE GetGValue(COLORREF c) { return static_cast<BYTE>((c >> 8) & 0xFF); }
constexpr BYTE GetBValue(COLORREF c) { return static_cast<BYTE>((c >> 16) & 0xFF); }

constexpr WORD LOWORD(DWORD_PTR v) { return static_cast<WORD>(v & 0xFFFF); }
constexpr WORD HIWORD(DWORD_PTR v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }
constexpr BYTE LOBYTE(DWORD_PTR v) { return static_cast<BYTE>(v & 0xFF); }
constexpr BYTE HIBYTE(DWORD_PTR v) { return static_cast<BYTE>((v >> 8) & 0xFF); }
constexpr LONG MAKELONG(WORD lo, WORD hi) { return static_cast<LONG>(static_cast<DWORD>(lo) | (static_cast<DWORD>(hi) << 16)); }
constexpr WPARAM MAKEWPARAM(WORD lo, WORD hi) { return static_cast<WPARAM>(static_cast<DWORD>(MAKELONG(lo, hi))); }
constexpr LPARAM MAKELPARAM(WORD lo, WORD hi) { return static_cast<LPARAM>(MAKELONG(lo, hi)); }
// Signed coordinates packed into an LPARAM (mouse messages).
constexpr SHORT GET_X_LPARAM(LPARAM v) { return static_cast<SHORT>(LOWORD(static_cast<DWORD_PTR>(v))); }
constexpr SHORT GET_Y_LPARAM(LPARAM v) { return static_cast<SHORT>(HIWORD(static_cast<DWORD_PTR>(v))); }
