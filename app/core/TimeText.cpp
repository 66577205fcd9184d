#include "app/core/TimeText.h"

#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cstdio>

std::string FormatMicroseconds(std::int64_t AMicroseconds)
{
    const std::int64_t seconds = AMicroseconds / 1000000;
    const long long h = seconds / 60 / 60;
    const long long m = (seconds / 60) % 60;
    const long long s = seconds % 60;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2lld:%.2lld:%.2lld", h, m, s);
    return buf;
}

std::int64_t TimeToMicroseconds(TDateTime ATime)
{
    int h = 0, m = 0, s = 0, ms = 0;
    DecodeTime(ATime, h, m, s, ms);
    return (static_cast<std::int64_t>(h) * 3600000 + static_cast<std::int64_t>(m) * 60000 +
            static_cast<std::int64_t>(s) * 1000 + ms) *
           1000;
}

std::string FixedTwoDecimals(double AValue)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2f", AValue);
    std::string text = buf;
    std::replace(text.begin(), text.end(), '.', FormatSettings.DecimalSeparator);
    return text;
}
