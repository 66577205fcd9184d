#include "engine/common/TextFormat.h"

#include <cstdio>

#include "platform/rtl/SysUtils.h"

// Most texts fit the stack buffer; a longer one is formatted a second time
// into a string of its exact size.
std::string FormatVA(const char* AFormat, va_list AArgs) {
    char small[2048];
    va_list copy;
    va_copy(copy, AArgs);
    int n = std::vsnprintf(small, sizeof small, AFormat, copy);
    va_end(copy);
    if (n < 0) return std::string();
    if (static_cast<size_t>(n) < sizeof small) return std::string(small, static_cast<size_t>(n));
    std::string big(static_cast<size_t>(n) + 1, '\0');
    va_copy(copy, AArgs);
    std::vsnprintf(big.data(), big.size(), AFormat, copy);
    va_end(copy);
    big.resize(static_cast<size_t>(n));
    return big;
}

std::string FormatText(const char* AFormat, ...)
{
    va_list ap;
    va_start(ap, AFormat);
    std::string s = FormatVA(AFormat, ap);
    va_end(ap);
    return s;
}

std::string SizeToText(int64_t ASize) {
    char buf[64];
    if (ASize <= 1024) {
        std::snprintf(buf, sizeof buf, "%lld Byte", static_cast<long long>(ASize));
        return buf;
    }
    double value;
    const char* unit;
    if (ASize <= 1048576) {
        value = ASize / 1024.0;
        unit = "KB";
    } else if (ASize <= 1073741824) {
        value = ASize / 1048576.0;
        unit = "MB";
    } else {
        value = ASize / 1073741824.0;
        unit = "GB";
    }
    std::snprintf(buf, sizeof buf, "%.2f %s", value, unit);
    std::string s = buf;
    // The C library prints a point; the text shows the user's separator.
    for (char& c : s)
        if (c == '.') {
            c = FormatSettings.DecimalSeparator;
            break;
        }
    return s;
}

std::string CutAtDelimiter(std::string& S, const std::string& ADelimiter, bool ARemove) {
    auto pos = ADelimiter.empty() ? std::string::npos : S.find(ADelimiter);
    if (pos == std::string::npos) {
        std::string whole = S;
        if (ARemove) S.clear();
        return whole;
    }
    std::string head = S.substr(0, pos);
    if (ARemove) S.erase(0, pos + ADelimiter.size());
    return head;
}

