#include "platform/classes/TextHelpers.h"

#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace tarnello::classes {

namespace {
inline unsigned char FoldAscii(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// UTF-16 text after its byte-order mark; broken surrogates become U+FFFD and
// an odd trailing byte is dropped.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian)
{
    std::string out;
    out.reserve(bytes.size());
    auto unit = [&](std::size_t i) -> char32_t {
        const auto b0 = static_cast<unsigned char>(bytes[i]);
        const auto b1 = static_cast<unsigned char>(bytes[i + 1]);
        return bigEndian ? (char32_t(b0) << 8 | b1) : (char32_t(b1) << 8 | b0);
    };
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 3 < bytes.size()) {
                const char32_t low = unit(i + 2);
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    AppendUtf8(out, 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00));
                    i += 2;
                    continue;
                }
            }
            c = 0xFFFD;
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        AppendUtf8(out, c);
    }
    return out;
}

}  // namespace

std::string DecodeTextFile(std::string data)
{
    if (data.size() >= 3 && data.compare(0, 3, "\xEF\xBB\xBF") == 0)
        return data.substr(3);
    if (data.size() >= 2 && data[0] == '\xFF' && data[1] == '\xFE')
        return Utf16ToUtf8(std::string_view(data).substr(2), false);
    if (data.size() >= 2 && data[0] == '\xFE' && data[1] == '\xFF')
        return Utf16ToUtf8(std::string_view(data).substr(2), true);
    return data;
}


int CompareNoCase(std::string_view a, std::string_view b)
{
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char ca = FoldAscii(static_cast<unsigned char>(a[i]));
        const unsigned char cb = FoldAscii(static_cast<unsigned char>(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool SameNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldAscii(static_cast<unsigned char>(a[i])) != FoldAscii(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string LowerKey(std::string_view s)
{
    std::string result(s);
    for (char& c : result)
        c = static_cast<char>(FoldAscii(static_cast<unsigned char>(c)));
    return result;
}

std::string_view TrimView(std::string_view s)
{
    std::size_t begin = 0;
    std::size_t end = s.size();
    while (begin < end && static_cast<unsigned char>(s[begin]) <= ' ')
        ++begin;
    while (end > begin && static_cast<unsigned char>(s[end - 1]) <= ' ')
        --end;
    return s.substr(begin, end - begin);
}

bool TryParseInteger64(std::string_view s, std::int64_t& value)
{
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
        negative = s[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < s.size() && s[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= s.size())
        return false;
    std::uint64_t magnitude = 0;
    const std::uint64_t limit = base == 16 ? std::numeric_limits<std::uint64_t>::max()
                                           : static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + 1;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        if (magnitude > (limit - static_cast<std::uint64_t>(digit)) / static_cast<std::uint64_t>(base))
            return false;
        magnitude = magnitude * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
    }
    if (base == 10 && !negative && magnitude > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
        return false;
    // Hexadecimal text is a bit pattern: $FFFFFFFFFFFFFFFF is -1.
    value = negative ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
    return true;
}

bool TryParseInteger(std::string_view s, std::int32_t& value)
{
    std::int64_t wide = 0;
    if (!TryParseInteger64(s, wide))
        return false;
    const bool hex = s.find('$') != std::string_view::npos || s.find('x') != std::string_view::npos ||
                     s.find('X') != std::string_view::npos;
    if (hex && wide >= 0 && wide <= 0xFFFFFFFFLL) {
        value = static_cast<std::int32_t>(static_cast<std::uint32_t>(wide));
        return true;
    }
    if (wide < std::numeric_limits<std::int32_t>::min() || wide > std::numeric_limits<std::int32_t>::max())
        return false;
    value = static_cast<std::int32_t>(wide);
    return true;
}

bool TryParseFloat(std::string_view s, double& value)
{
    std::string_view t = TrimView(s);
    if (t.empty())
        return false;
    for (char c : t)
        if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E'))
            return false;
    std::string text(t);
    // Parse in the "C" convention regardless of the process locale.
    char* end = nullptr;
    locale_t c = newlocale(LC_NUMERIC_MASK, "C", nullptr);
    errno = 0;
    const double parsed = c ? strtod_l(text.c_str(), &end, c) : std::strtod(text.c_str(), &end);
    if (c)
        freelocale(c);
    if (end != text.c_str() + text.size() || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

std::string FloatText(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    std::string text(buffer);
    for (char& ch : text)
        if (ch == ',')
            ch = '.';
    // "1e+20" -> "1E20", "1.5e-07" -> "1.5E-7": the platform's exponent form.
    if (auto e = text.find('e'); e != std::string::npos) {
        std::string mantissa = text.substr(0, e);
        std::string exponent = text.substr(e + 1);
        std::string sign;
        if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) {
            if (exponent[0] == '-')
                sign = "-";
            exponent.erase(0, 1);
        }
        while (exponent.size() > 1 && exponent[0] == '0')
            exponent.erase(0, 1);
        text = mantissa + "E" + sign + exponent;
    }
    return text;
}

}  // namespace tarnello::classes
