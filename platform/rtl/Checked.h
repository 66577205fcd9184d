#pragma once
// Checked arithmetic for code that computes with outside values (skin files,
// data files, user input): an overflow raises EIntOverflow, a value out of
// its range ERangeError, an index outside its container ERangeError — never
// undefined behaviour. Also the platform's rounding: Round takes halves to
// the even neighbour, Trunc cuts toward zero, both giving 64-bit integers.
#include "platform/rtl/Exceptions.h"

#include <array>
#include <cmath>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <type_traits>
#include <utility>

[[noreturn]] void RaiseIntOverflow();
[[noreturn]] void RaiseRangeError();
[[noreturn]] void RaiseDivByZero();
[[noreturn]] void RaiseInvalidOp();

template <std::integral T>
T CheckedAdd(T a, T b)
{
    T r;
    if (__builtin_add_overflow(a, b, &r))
        RaiseIntOverflow();
    return r;
}

template <std::integral T>
T CheckedSub(T a, T b)
{
    T r;
    if (__builtin_sub_overflow(a, b, &r))
        RaiseIntOverflow();
    return r;
}

template <std::integral T>
T CheckedMul(T a, T b)
{
    T r;
    if (__builtin_mul_overflow(a, b, &r))
        RaiseIntOverflow();
    return r;
}

template <std::integral T>
T CheckedNeg(T a)
{
    return CheckedSub(T(0), a);
}

// Integer division truncating toward zero; division by zero raises
// EDivByZero, the one overflowing case (min / -1) EIntOverflow.
template <std::integral T>
T CheckedDiv(T a, T b)
{
    if (b == 0)
        RaiseDivByZero();
    if constexpr (std::is_signed_v<T>)
        if (a == std::numeric_limits<T>::min() && b == T(-1))
            RaiseIntOverflow();
    return a / b;
}

template <std::integral T>
T CheckedMod(T a, T b)
{
    if (b == 0)
        RaiseDivByZero();
    if constexpr (std::is_signed_v<T>)
        if (b == T(-1))
            return 0;
    return a % b;
}

// Converts between integer types, raising ERangeError when the value does
// not fit the target.
template <std::integral To, std::integral From>
To CheckedCast(From v)
{
    if (!std::in_range<To>(v))
        RaiseRangeError();
    return static_cast<To>(v);
}

// Raises ERangeError unless lo <= v <= hi.
template <typename T>
const T& CheckRange(const T& v, const T& lo, const T& hi)
{
    if (v < lo || hi < v)
        RaiseRangeError();
    return v;
}

// Bounds-checked element access for anything with size() and operator[].
template <typename C, std::integral I>
decltype(auto) At(C& container, I index)
{
    if (!std::in_range<std::size_t>(index) || static_cast<std::size_t>(index) >= std::size(container))
        RaiseRangeError();
    return container[static_cast<std::size_t>(index)];
}

template <typename T, std::size_t N, std::integral I>
T& At(T (&array)[N], I index)
{
    if (!std::in_range<std::size_t>(index) || static_cast<std::size_t>(index) >= N)
        RaiseRangeError();
    return array[static_cast<std::size_t>(index)];
}

// Halves go to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2). A value
// that is not a number or does not fit 64 bits raises EInvalidOp.
std::int64_t Round(double v);
// Toward zero; the same failures as Round.
std::int64_t Trunc(double v);
// Rounds to a 32-bit integer, raising ERangeError when it does not fit.
std::int32_t RoundToInt(double v);
