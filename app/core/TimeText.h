#pragma once
// Times and numbers as the windows show and read them.
#include "platform/rtl/DateTime.h"

#include <cstdint>
#include <string>

// "hh:mm:ss" of a microsecond count; hours are not wrapped at 24 and take
// more digits when needed.
std::string FormatMicroseconds(std::int64_t AMicroseconds);
// A time of day as microseconds from midnight.
std::int64_t TimeToMicroseconds(TDateTime ATime);
// A number with two decimals and the locale's decimal separator.
std::string FixedTwoDecimals(double AValue);
