#include "platform/rtl/Checked.h"

void RaiseIntOverflow() { throw EIntOverflow("Integer overflow"); }
void RaiseRangeError() { throw ERangeError("Range check error"); }
void RaiseDivByZero() { throw EDivByZero("Division by zero"); }
void RaiseInvalidOp() { throw EInvalidOp("Invalid floating point operation"); }

namespace {

// 2^63 as a double: the first value that no longer fits an int64.
constexpr double kTwo63 = 9223372036854775808.0;

std::int64_t FitInt64(double r)
{
    if (!std::isfinite(r) || r >= kTwo63 || r < -kTwo63)
        RaiseInvalidOp();
    return static_cast<std::int64_t>(r);
}

}  // namespace

std::int64_t Round(double v)
{
    // Explicit, so that a library changing the FPU rounding mode cannot change it.
    if (!std::isfinite(v))
        RaiseInvalidOp();
    double r = std::floor(v);
    const double diff = v - r;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(r, 2.0) != 0))
        r += 1;
    return FitInt64(r);
}

std::int64_t Trunc(double v) { return FitInt64(std::trunc(v)); }

std::int32_t RoundToInt(double v) { return CheckedCast<std::int32_t>(Round(v)); }
