#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <atomic>
#include <ctime>
#include <limits>
#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <locale.h>
#include <mutex>
#include <sched.h>
#include <thread>
#include <vector>
#include <wctype.h>

// ---------------------------------------------------------------------------
// UTF-8 / UTF-16 / Latin-1

char32_t UTF8NextChar(std::string_view s, std::size_t& pos)
{
    constexpr char32_t bad = 0xFFFD;
    const auto b0 = static_cast<unsigned char>(s[pos++]);
    if (b0 < 0x80)
        return b0;
    int extra;
    char32_t c;
    char32_t min;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        extra = 1; c = b0 & 0x1F; min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        extra = 2; c = b0 & 0x0F; min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        extra = 3; c = b0 & 0x07; min = 0x10000;
    } else {
        return bad;
    }
    if (pos + extra > s.size())
        return bad;
    for (int i = 0; i < extra; ++i) {
        const auto b = static_cast<unsigned char>(s[pos + i]);
        if ((b & 0xC0) != 0x80)
            return bad;  // the offending byte starts the next character
        c = (c << 6) | (b & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return bad;
    pos += extra;
    return c;
}

void UTF8AppendChar(std::string& out, char32_t c)
{
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        c = 0xFFFD;
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

std::u16string UTF8ToUTF16(std::string_view s)
{
    std::u16string out;
    out.reserve(s.size());
    std::size_t pos = 0;
    while (pos < s.size()) {
        const char32_t c = UTF8NextChar(s, pos);
        if (c >= 0x10000) {
            const char32_t v = c - 0x10000;
            out += static_cast<char16_t>(0xD800 + (v >> 10));
            out += static_cast<char16_t>(0xDC00 + (v & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

std::string UTF16ToUTF8(std::u16string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        }
        UTF8AppendChar(out, c);  // a lone surrogate becomes U+FFFD
    }
    return out;
}

std::string UTF8ToLatin1(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    std::size_t pos = 0;
    while (pos < s.size()) {
        const char32_t c = UTF8NextChar(s, pos);
        out += c <= 0xFF ? static_cast<char>(c) : '?';
    }
    return out;
}

std::string Latin1ToUTF8(std::string_view s)
{
    std::string out;
    out.reserve(s.size() + s.size() / 4);
    for (const char ch : s)
        UTF8AppendChar(out, static_cast<unsigned char>(ch));
    return out;
}

bool IsValidUTF8(std::string_view s)
{
    std::size_t pos = 0;
    while (pos < s.size()) {
        const std::size_t start = pos;
        if (UTF8NextChar(s, pos) == 0xFFFD && !(pos - start == 3 && s.substr(start, 3) == "\xEF\xBF\xBD"))
            return false;
    }
    return true;
}

std::size_t UTF8Length(std::string_view s)
{
    std::size_t n = 0;
    std::size_t pos = 0;
    while (pos < s.size()) {
        UTF8NextChar(s, pos);
        ++n;
    }
    return n;
}

// ---------------------------------------------------------------------------
// Case, trimming, comparison

namespace {

inline char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
inline char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// Unicode-aware case mapping uses the C.UTF-8 locale's tables without
// touching the process locale.
locale_t Utf8Locale()
{
    static const locale_t loc = [] {
        locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
        if (!l)
            l = newlocale(LC_CTYPE_MASK, "en_US.UTF-8", static_cast<locale_t>(nullptr));
        return l;
    }();
    return loc;
}

char32_t MapCase(char32_t c, bool upper)
{
    if (c < 0x80)
        return upper ? static_cast<char32_t>(AsciiUpper(static_cast<char>(c)))
                     : static_cast<char32_t>(AsciiLower(static_cast<char>(c)));
    const locale_t loc = Utf8Locale();
    if (!loc)
        return c;
    return static_cast<char32_t>(upper ? towupper_l(static_cast<wint_t>(c), loc)
                                       : towlower_l(static_cast<wint_t>(c), loc));
}

std::string MapCaseString(std::string_view s, bool upper)
{
    std::string out;
    out.reserve(s.size());
    std::size_t pos = 0;
    while (pos < s.size())
        UTF8AppendChar(out, MapCase(UTF8NextChar(s, pos), upper));
    return out;
}

}  // namespace

std::string TrimLeft(std::string_view s)
{
    std::size_t b = 0;
    while (b < s.size() && static_cast<unsigned char>(s[b]) <= ' ')
        ++b;
    return std::string(s.substr(b));
}

std::string TrimRight(std::string_view s)
{
    std::size_t e = s.size();
    while (e > 0 && static_cast<unsigned char>(s[e - 1]) <= ' ')
        --e;
    return std::string(s.substr(0, e));
}

std::string Trim(std::string_view s)
{
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ')
        ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ')
        --e;
    return std::string(s.substr(b, e - b));
}

std::string UpperCase(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = AsciiUpper(c);
    return out;
}

std::string LowerCase(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = AsciiLower(c);
    return out;
}

std::string AnsiUpperCase(std::string_view s) { return MapCaseString(s, true); }
std::string AnsiLowerCase(std::string_view s) { return MapCaseString(s, false); }

int CompareText(std::string_view a, std::string_view b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(AsciiUpper(a[i]));
        const auto cb = static_cast<unsigned char>(AsciiUpper(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool SameText(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && CompareText(a, b) == 0;
}

int CompareStr(std::string_view a, std::string_view b)
{
    const int r = a.compare(b);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int AnsiCompareText(std::string_view a, std::string_view b)
{
    std::size_t pa = 0;
    std::size_t pb = 0;
    while (pa < a.size() && pb < b.size()) {
        const char32_t ca = MapCase(UTF8NextChar(a, pa), false);
        const char32_t cb = MapCase(UTF8NextChar(b, pb), false);
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (pa < a.size())
        return 1;
    if (pb < b.size())
        return -1;
    return 0;
}

bool AnsiSameText(std::string_view a, std::string_view b) { return AnsiCompareText(a, b) == 0; }

int Pos(std::string_view sub, std::string_view s, int offset)
{
    if (sub.empty() || offset < 1 || static_cast<std::size_t>(offset) > s.size())
        return 0;
    const std::size_t p = s.find(sub, static_cast<std::size_t>(offset - 1));
    return p == std::string_view::npos ? 0 : static_cast<int>(p + 1);
}

std::string Copy(std::string_view s, int index, int count)
{
    if (index < 1)
        index = 1;
    if (count <= 0 || static_cast<std::size_t>(index) > s.size())
        return {};
    return std::string(s.substr(static_cast<std::size_t>(index - 1), static_cast<std::size_t>(count)));
}

std::string StringOfChar(char c, int count) { return count > 0 ? std::string(static_cast<std::size_t>(count), c) : std::string(); }

namespace {

// Length in bytes of the match of `pattern` at s[pos], comparing letters
// without regard to case; 0 when it does not match there. Case folding can
// change a character's byte length, so the match is walked character by
// character rather than compared byte for byte.
std::size_t MatchNoCaseAt(std::string_view s, std::size_t pos, std::string_view pattern)
{
    std::size_t ps = pos;
    std::size_t pp = 0;
    while (pp < pattern.size()) {
        if (ps >= s.size())
            return 0;
        const char32_t a = MapCase(UTF8NextChar(s, ps), false);
        const char32_t b = MapCase(UTF8NextChar(pattern, pp), false);
        if (a != b)
            return 0;
    }
    return ps - pos;
}

}  // namespace

std::string StringReplace(std::string_view s, std::string_view oldPattern, std::string_view newPattern,
                          unsigned flags)
{
    if (oldPattern.empty())
        return std::string(s);
    const bool ignoreCase = flags & rfIgnoreCase;
    std::string out;
    out.reserve(s.size());
    std::size_t from = 0;
    std::size_t pos = 0;
    bool replaced = false;
    while (pos < s.size() && !(replaced && !(flags & rfReplaceAll))) {
        std::size_t len = 0;
        if (ignoreCase)
            len = MatchNoCaseAt(s, pos, oldPattern);
        else if (s.compare(pos, oldPattern.size(), oldPattern) == 0)
            len = oldPattern.size();
        if (len > 0) {
            out.append(s.substr(from, pos - from));
            out.append(newPattern);
            pos += len;
            from = pos;
            replaced = true;
            continue;
        }
        // Step one whole character, so that matches start on character boundaries.
        UTF8NextChar(s, pos);
    }
    out.append(s.substr(from));
    return out;
}

std::string QuotedStr(std::string_view s) { return AnsiQuotedStr(s, '\''); }

std::string AnsiQuotedStr(std::string_view s, char quote)
{
    std::string out;
    out.reserve(s.size() + 2);
    out += quote;
    for (const char c : s) {
        out += c;
        if (c == quote)
            out += quote;
    }
    out += quote;
    return out;
}

std::string AnsiExtractQuotedStr(std::string& src, char quote)
{
    if (src.empty() || src[0] != quote)
        return {};
    std::string out;
    std::size_t i = 1;
    while (i < src.size()) {
        if (src[i] == quote) {
            if (i + 1 < src.size() && src[i + 1] == quote) {
                out += quote;
                i += 2;
                continue;
            }
            ++i;  // the closing quote
            src.erase(0, i);
            return out;
        }
        out += src[i++];
    }
    src.clear();
    return out;
}

std::string AnsiDequotedStr(std::string_view s, char quote)
{
    if (s.size() < 2 || s.front() != quote)
        return std::string(s);
    std::string work(s);
    std::string out = AnsiExtractQuotedStr(work, quote);
    if (!work.empty())
        return std::string(s);  // text after the closing quote: not one quoted string
    return out;
}

// ---------------------------------------------------------------------------
// Locale settings

TFormatSettings FormatSettings;

const TFormatSettings& InvariantFormatSettings()
{
    static const TFormatSettings invariant;
    return invariant;
}

char& DecimalSeparator = FormatSettings.DecimalSeparator;
char& ThousandSeparator = FormatSettings.ThousandSeparator;
char& DateSeparator = FormatSettings.DateSeparator;
char& TimeSeparator = FormatSettings.TimeSeparator;
std::string& ShortDateFormat = FormatSettings.ShortDateFormat;
std::string& LongDateFormat = FormatSettings.LongDateFormat;
std::string& ShortTimeFormat = FormatSettings.ShortTimeFormat;
std::string& LongTimeFormat = FormatSettings.LongTimeFormat;
std::string& TimeAMString = FormatSettings.TimeAMString;
std::string& TimePMString = FormatSettings.TimePMString;
std::string& CurrencyString = FormatSettings.CurrencyString;

// ---------------------------------------------------------------------------
// Integers

std::string IntToStr(std::int64_t value)
{
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, r.ptr);
}

std::string UIntToStr(std::uint64_t value)
{
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, r.ptr);
}

namespace {

std::string HexDigits(std::uint64_t value, int digits)
{
    static const char hex[] = "0123456789ABCDEF";
    char buf[16];
    int n = 0;
    do {
        buf[n++] = hex[value & 0xF];
        value >>= 4;
    } while (value != 0);
    std::string out;
    if (digits > n)
        out.assign(static_cast<std::size_t>(std::min(digits, 64) - n), '0');
    while (n > 0)
        out += buf[--n];
    return out;
}

}  // namespace

std::string IntToHex(std::int32_t value, int digits) { return HexDigits(static_cast<std::uint32_t>(value), digits); }
std::string IntToHex(std::int64_t value, int digits) { return HexDigits(static_cast<std::uint64_t>(value), digits); }
std::string IntToHex(std::uint32_t value, int digits) { return HexDigits(value, digits); }
std::string IntToHex(std::uint64_t value, int digits) { return HexDigits(value, digits); }

std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t c)
{
    if (c == 0)
        return -1;
    const std::int64_t p = static_cast<std::int64_t>(a) * b;
    std::int64_t q = p / c;
    const std::int64_t r = p % c;
    // Round half away from zero: compare twice the remainder with the divisor.
    const std::uint64_t r2 = 2 * static_cast<std::uint64_t>(r < 0 ? -r : r);
    const std::uint64_t cAbs = static_cast<std::uint64_t>(c < 0 ? -static_cast<std::int64_t>(c) : c);
    if (r2 >= cAbs)
        q += ((p < 0) != (c < 0)) ? -1 : 1;
    if (q > std::numeric_limits<std::int32_t>::max() || q < std::numeric_limits<std::int32_t>::min())
        return -1;
    return static_cast<std::int32_t>(q);
}

namespace {

std::atomic<std::uint32_t> gRandSeed{0};

std::uint32_t NextRandom()
{
    std::uint32_t seed = gRandSeed.load(std::memory_order_relaxed);
    std::uint32_t next;
    do {
        next = seed * 0x08088405u + 1u;
    } while (!gRandSeed.compare_exchange_weak(seed, next, std::memory_order_relaxed));
    return next;
}

}  // namespace

std::int32_t Random(std::int32_t range)
{
    if (range <= 0)
        return 0;
    return static_cast<std::int32_t>((static_cast<std::uint64_t>(NextRandom()) * static_cast<std::uint32_t>(range)) >> 32);
}

double Random() { return static_cast<double>(NextRandom()) / 4294967296.0; }

void Randomize()
{
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    gRandSeed.store(static_cast<std::uint32_t>(ts.tv_sec * 1000003u + ts.tv_nsec));
}

void SetRandSeed(std::uint32_t seed) { gRandSeed.store(seed); }
std::uint32_t GetRandSeed() { return gRandSeed.load(); }

namespace {

// Parses into a 64-bit magnitude check against the limits of the target:
// decimal against [minValue, maxValue], hex against the unsigned width.
bool ParseInteger(std::string_view s, int bits, std::int64_t& result)
{
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    bool hex = false;
    if (i < s.size() && s[i] == '$') {
        hex = true;
        ++i;
    } else if (i < s.size() && (s[i] == 'x' || s[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= s.size())
        return false;
    std::uint64_t v = 0;
    const std::uint64_t hexLimit = bits == 64 ? ~0ULL : ((1ULL << bits) - 1);
    const std::uint64_t decLimit =
        negative ? (1ULL << (bits - 1)) : ((1ULL << (bits - 1)) - 1);  // |min| or max
    for (; i < s.size(); ++i) {
        const char c = s[i];
        unsigned d;
        if (c >= '0' && c <= '9')
            d = static_cast<unsigned>(c - '0');
        else if (hex && c >= 'a' && c <= 'f')
            d = static_cast<unsigned>(c - 'a' + 10);
        else if (hex && c >= 'A' && c <= 'F')
            d = static_cast<unsigned>(c - 'A' + 10);
        else
            return false;
        if (hex) {
            if (v > (hexLimit >> 4))
                return false;
            v = (v << 4) | d;
        } else {
            if (v > (decLimit - d) / 10)
                return false;
            v = v * 10 + d;
        }
    }
    std::int64_t signedValue;
    if (hex) {
        // Hex uses every bit of the type: reinterpret as two's complement.
        if (bits == 32)
            signedValue = static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
        else
            signedValue = static_cast<std::int64_t>(v);
    } else {
        signedValue = negative ? static_cast<std::int64_t>(0 - v) : static_cast<std::int64_t>(v);
        negative = false;
    }
    result = negative ? static_cast<std::int64_t>(0ULL - static_cast<std::uint64_t>(signedValue)) : signedValue;
    if (bits == 32)
        result = static_cast<std::int32_t>(result);
    return true;
}

[[noreturn]] void RaiseInvalidInteger(std::string_view s)
{
    throw EConvertError("'" + std::string(s) + "' is not a valid integer value");
}

}  // namespace

bool TryStrToInt(std::string_view s, std::int32_t& value)
{
    std::int64_t v;
    if (!ParseInteger(s, 32, v))
        return false;
    value = static_cast<std::int32_t>(v);
    return true;
}

bool TryStrToInt64(std::string_view s, std::int64_t& value) { return ParseInteger(s, 64, value); }

std::int32_t StrToInt(std::string_view s)
{
    std::int32_t v;
    if (!TryStrToInt(s, v))
        RaiseInvalidInteger(s);
    return v;
}

std::int64_t StrToInt64(std::string_view s)
{
    std::int64_t v;
    if (!TryStrToInt64(s, v))
        RaiseInvalidInteger(s);
    return v;
}

std::int32_t StrToIntDef(std::string_view s, std::int32_t def)
{
    std::int32_t v;
    return TryStrToInt(s, v) ? v : def;
}

std::int64_t StrToInt64Def(std::string_view s, std::int64_t def)
{
    std::int64_t v;
    return TryStrToInt64(s, v) ? v : def;
}

// ---------------------------------------------------------------------------
// Floats

bool TryStrToFloat(std::string_view s, double& value, const TFormatSettings& settings)
{
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ')
        ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ')
        --e;
    // Rebuild the number in C syntax, checking the grammar as we go:
    // [sign] digits [sep digits] [(e|E) [sign] digits], at least one digit.
    std::string text;
    text.reserve(e - b);
    std::size_t i = b;
    if (i < e && (s[i] == '+' || s[i] == '-')) {
        if (s[i] == '-')
            text += '-';
        ++i;
    }
    int mantissaDigits = 0;
    while (i < e && s[i] >= '0' && s[i] <= '9') {
        text += s[i++];
        ++mantissaDigits;
    }
    if (i < e && s[i] == settings.DecimalSeparator) {
        text += '.';
        ++i;
        while (i < e && s[i] >= '0' && s[i] <= '9') {
            text += s[i++];
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return false;
    if (i < e && (s[i] == 'e' || s[i] == 'E')) {
        text += 'e';
        ++i;
        if (i < e && (s[i] == '+' || s[i] == '-'))
            text += s[i++];
        int expDigits = 0;
        while (i < e && s[i] >= '0' && s[i] <= '9') {
            text += s[i++];
            ++expDigits;
        }
        if (expDigits == 0)
            return false;
    }
    if (i != e)
        return false;
    double v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ptr != text.data() + text.size())
        return false;
    if (r.ec == std::errc::result_out_of_range) {
        // Underflow becomes 0; overflow is not a value.
        if (std::isinf(std::strtod(text.c_str(), nullptr)))
            return false;
        v = 0;
    } else if (r.ec != std::errc()) {
        return false;
    }
    value = v;
    return true;
}

bool TryStrToFloat(std::string_view s, double& value) { return TryStrToFloat(s, value, FormatSettings); }

double StrToFloat(std::string_view s, const TFormatSettings& settings)
{
    double v;
    if (!TryStrToFloat(s, v, settings))
        throw EConvertError("'" + std::string(s) + "' is not a valid floating point value");
    return v;
}

double StrToFloat(std::string_view s) { return StrToFloat(s, FormatSettings); }

double StrToFloatDef(std::string_view s, double def)
{
    double v;
    return TryStrToFloat(s, v) ? v : def;
}

namespace {

// Significant digits of |value| rounded to `precision` digits, and the
// position of the decimal point: value = 0.d1d2d3... * 10^pointPos.
void DecimalDigits(double value, int precision, std::string& digits, int& pointPos)
{
    precision = std::clamp(precision, 1, 17);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", precision - 1, std::fabs(value));
    digits.clear();
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9')
            digits += *p;
    const int exp10 = *p == 'e' ? std::atoi(p + 1) : 0;
    pointPos = exp10 + 1;
    if (value == 0)
        pointPos = 0;
}

std::string ExponentText(int exp10, int minDigits, bool alwaysSign)
{
    std::string out;
    if (exp10 < 0)
        out += '-';
    else if (alwaysSign)
        out += '+';
    std::string n = std::to_string(exp10 < 0 ? -exp10 : exp10);
    if (static_cast<int>(n.size()) < minDigits)
        out.append(static_cast<std::size_t>(minDigits) - n.size(), '0');
    return out + n;
}

// Fixed notation with `decimals` digits after the point, optional thousands
// grouping; no negative zero.
std::string FixedText(double value, int decimals, bool group, const TFormatSettings& fs, bool& negative)
{
    decimals = std::clamp(decimals, 0, 18);
    std::vector<char> buf(400);
    int n = std::snprintf(buf.data(), buf.size(), "%.*f", decimals, std::fabs(value));
    if (n < 0 || static_cast<std::size_t>(n) >= buf.size()) {
        buf.resize(static_cast<std::size_t>(n) + 1);
        std::snprintf(buf.data(), buf.size(), "%.*f", decimals, std::fabs(value));
    }
    std::string raw(buf.data());
    negative = value < 0 && raw.find_first_not_of("0.") != std::string::npos;
    const std::size_t dot = raw.find('.');
    std::string intPart = raw.substr(0, dot);
    std::string out;
    if (group && fs.ThousandSeparator != '\0' && intPart.size() > 3) {
        const std::size_t lead = intPart.size() % 3;
        for (std::size_t k = 0; k < intPart.size(); ++k) {
            if (k != 0 && (k - lead) % 3 == 0 && k >= lead)
                out += fs.ThousandSeparator;
            out += intPart[k];
        }
    } else {
        out = intPart;
    }
    if (dot != std::string::npos) {
        out += fs.DecimalSeparator;
        out += raw.substr(dot + 1);
    }
    return out;
}

std::string CurrencyText(double value, int decimals, const TFormatSettings& fs)
{
    bool negative = false;
    const std::string num = FixedText(value, decimals, true, fs, negative);
    const std::string& c = fs.CurrencyString;
    if (!negative) {
        switch (fs.CurrencyFormat) {
        case 1: return num + c;
        case 2: return c + " " + num;
        case 3: return num + " " + c;
        default: return c + num;
        }
    }
    switch (fs.NegCurrFormat) {
    case 1: return "-" + c + num;
    case 2: return c + "-" + num;
    case 3: return c + num + "-";
    case 4: return "(" + num + c + ")";
    case 5: return "-" + num + c;
    case 6: return num + "-" + c;
    case 7: return num + c + "-";
    case 8: return "-" + num + " " + c;
    case 9: return "-" + c + " " + num;
    case 10: return num + " " + c + "-";
    case 11: return c + " " + num + "-";
    case 12: return c + " -" + num;
    case 13: return num + "- " + c;
    case 14: return "(" + c + " " + num + ")";
    case 15: return "(" + num + " " + c + ")";
    default: return "(" + c + num + ")";
    }
}

}  // namespace

std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits, const TFormatSettings& fs)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    precision = std::clamp(precision, 1, 17);
    switch (format) {
    case ffGeneral: {
        std::string d;
        int point;
        DecimalDigits(value, precision, d, point);
        while (d.size() > 1 && d.back() == '0')
            d.pop_back();
        if (value == 0 || d == "0")
            return "0";
        std::string out = value < 0 ? "-" : "";
        if (point > precision || point < -4) {
            // Scientific: d[.ddd]E[-]x, exponent with at least `digits` digits.
            out += d[0];
            if (d.size() > 1) {
                out += fs.DecimalSeparator;
                out += d.substr(1);
            }
            out += 'E';
            out += ExponentText(point - 1, std::clamp(digits, 0, 4), false);
            return out;
        }
        if (point <= 0) {
            out += '0';
            out += fs.DecimalSeparator;
            out.append(static_cast<std::size_t>(-point), '0');
            out += d;
        } else if (static_cast<std::size_t>(point) >= d.size()) {
            out += d;
            out.append(static_cast<std::size_t>(point) - d.size(), '0');
        } else {
            out += d.substr(0, static_cast<std::size_t>(point));
            out += fs.DecimalSeparator;
            out += d.substr(static_cast<std::size_t>(point));
        }
        return out;
    }
    case ffExponent: {
        std::string d;
        int point;
        DecimalDigits(value, precision, d, point);
        std::string out = value < 0 ? "-" : "";
        out += d[0];
        if (d.size() > 1) {
            out += fs.DecimalSeparator;
            out += d.substr(1);
        }
        out += 'E';
        out += ExponentText(value == 0 ? 0 : point - 1, std::clamp(digits, 0, 4), true);
        return out;
    }
    case ffFixed:
    case ffNumber: {
        // Values beyond the precision's reach use the scientific form.
        if (value != 0 && std::fabs(value) >= std::pow(10.0, precision))
            return FloatToStrF(value, ffExponent, precision, 3, fs);
        bool negative = false;
        std::string num = FixedText(value, digits, format == ffNumber, fs, negative);
        return negative ? "-" + num : num;
    }
    case ffCurrency:
        return CurrencyText(value, digits, fs);
    }
    return {};
}

std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits)
{
    return FloatToStrF(value, format, precision, digits, FormatSettings);
}

std::string FloatToStr(double value, const TFormatSettings& settings)
{
    return FloatToStrF(value, ffGeneral, 15, 0, settings);
}

std::string FloatToStr(double value) { return FloatToStr(value, FormatSettings); }

// ---------------------------------------------------------------------------
// Format

namespace {

[[noreturn]] void RaiseInvalidFormat(std::string_view fmt)
{
    throw EConvertError("Format '" + std::string(fmt) + "' invalid or incompatible with argument");
}

[[noreturn]] void RaiseMissingArgument(std::string_view fmt)
{
    throw EConvertError("No argument for format '" + std::string(fmt) + "'");
}

bool IsIntegerArg(const TVarRec& a)
{
    return a.Kind == TVarRec::vtInteger || a.Kind == TVarRec::vtInt64 || a.Kind == TVarRec::vtUInt64;
}

// Pads to `width` code points, on the left unless leftAlign.
void AppendPadded(std::string& out, std::string_view text, int width, bool leftAlign)
{
    const std::size_t len = width > 0 ? UTF8Length(text) : 0;
    const std::size_t pad = width > 0 && static_cast<std::size_t>(width) > len ? static_cast<std::size_t>(width) - len : 0;
    if (!leftAlign)
        out.append(pad, ' ');
    out.append(text);
    if (leftAlign)
        out.append(pad, ' ');
}

}  // namespace

std::string FormatArgs(std::string_view fmt, const TVarRec* args, std::size_t count, const TFormatSettings& fs)
{
    std::string out;
    out.reserve(fmt.size() + 16 * count);
    std::size_t argIndex = 0;
    std::size_t i = 0;
    auto nextArg = [&]() -> const TVarRec& {
        if (argIndex >= count)
            RaiseMissingArgument(fmt);
        return args[argIndex++];
    };
    // A number in the directive, or "*" taking an integer argument; -1 if none.
    auto readNumber = [&]() -> std::int64_t {
        if (i < fmt.size() && fmt[i] == '*') {
            ++i;
            const TVarRec& a = nextArg();
            if (a.Kind == TVarRec::vtUInt64 && a.VUInt <= 1000000)
                return static_cast<std::int64_t>(a.VUInt);  // sizes come as size_t
            if ((a.Kind != TVarRec::vtInteger && a.Kind != TVarRec::vtInt64) || a.VInt < -1000000 ||
                a.VInt > 1000000)
                RaiseInvalidFormat(fmt);
            return a.VInt;
        }
        if (i >= fmt.size() || fmt[i] < '0' || fmt[i] > '9')
            return -1;
        std::int64_t v = 0;
        while (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9') {
            v = v * 10 + (fmt[i] - '0');
            if (v > 1000000)
                RaiseInvalidFormat(fmt);  // absurd widths would only exhaust memory
            ++i;
        }
        return v;
    };

    while (i < fmt.size()) {
        const std::size_t pct = fmt.find('%', i);
        if (pct == std::string_view::npos) {
            out.append(fmt.substr(i));
            break;
        }
        out.append(fmt.substr(i, pct - i));
        i = pct + 1;
        if (i >= fmt.size())
            RaiseInvalidFormat(fmt);
        if (fmt[i] == '%') {
            out += '%';
            ++i;
            continue;
        }
        // [index ":"] ["-"] [width]: a leading number is the index when a
        // colon follows, else the width.
        const bool firstFromArg = fmt[i] == '*';
        std::int64_t first = readNumber();
        bool haveWidth = first >= 0 || firstFromArg;
        if (i < fmt.size() && fmt[i] == ':') {
            if (first < 0)
                RaiseInvalidFormat(fmt);
            argIndex = static_cast<std::size_t>(first);
            ++i;
            haveWidth = false;
        }
        bool leftAlign = false;
        std::int64_t width = -1;
        if (haveWidth) {
            width = first;
        } else {
            if (i < fmt.size() && fmt[i] == '-') {
                leftAlign = true;
                ++i;
            }
            width = readNumber();
        }
        if (width < 0) {
            // Only a width taken from the arguments can be negative: it aligns left.
            if (width < -1)
                leftAlign = true;
            width = width < -1 ? -width : 0;
        }
        std::int64_t precision = -1;
        if (i < fmt.size() && fmt[i] == '.') {
            ++i;
            const bool fromArg = i < fmt.size() && fmt[i] == '*';
            precision = readNumber();
            if (precision < 0)
                precision = fromArg ? -1 : 0;
        }
        if (i >= fmt.size())
            RaiseInvalidFormat(fmt);
        const char type = AsciiLower(fmt[i++]);
        const TVarRec& a = nextArg();
        std::string text;
        switch (type) {
        case 'd':
        case 'u':
        case 'x': {
            if (!IsIntegerArg(a))
                RaiseInvalidFormat(fmt);
            bool negative = false;
            std::uint64_t magnitude;
            if (type == 'd') {
                if (a.Kind == TVarRec::vtUInt64) {
                    magnitude = a.VUInt;
                } else {
                    negative = a.VInt < 0;
                    magnitude = negative ? 0ULL - static_cast<std::uint64_t>(a.VInt) : static_cast<std::uint64_t>(a.VInt);
                }
            } else if (a.Kind == TVarRec::vtInteger) {
                magnitude = static_cast<std::uint32_t>(a.VInt);  // 32-bit view, as the platform shows it
            } else {
                magnitude = a.VUInt;
            }
            std::string digits = type == 'x' ? HexDigits(magnitude, 0) : UIntToStr(magnitude);
            if (precision > static_cast<std::int64_t>(digits.size()))
                digits.insert(0, static_cast<std::size_t>(precision) - digits.size(), '0');
            text = negative ? "-" + digits : digits;
            break;
        }
        case 'e':
        case 'f':
        case 'g':
        case 'n':
        case 'm': {
            double v;
            if (a.Kind == TVarRec::vtExtended)
                v = a.VFloat;
            else
                RaiseInvalidFormat(fmt);
            const int prec = static_cast<int>(std::min<std::int64_t>(precision, 18));
            switch (type) {
            case 'e': text = FloatToStrF(v, ffExponent, prec < 0 ? 15 : prec, 3, fs); break;
            case 'f': text = FloatToStrF(v, ffFixed, 17, prec < 0 ? 2 : prec, fs); break;
            case 'g': text = FloatToStrF(v, ffGeneral, prec < 0 ? 15 : prec, 0, fs); break;
            case 'n': text = FloatToStrF(v, ffNumber, 17, prec < 0 ? 2 : prec, fs); break;
            default: text = FloatToStrF(v, ffCurrency, 17, prec < 0 ? fs.CurrencyDecimals : prec, fs); break;
            }
            break;
        }
        case 'p':
            if (a.Kind != TVarRec::vtPointer)
                RaiseInvalidFormat(fmt);
            text = HexDigits(reinterpret_cast<std::uintptr_t>(a.VPointer), static_cast<int>(sizeof(void*) * 2));
            break;
        case 's': {
            std::string_view sv;
            std::string tmp;
            if (a.Kind == TVarRec::vtString) {
                sv = a.VString;
            } else if (a.Kind == TVarRec::vtChar) {
                tmp.assign(1, a.VChar);
                sv = tmp;
            } else if (a.Kind == TVarRec::vtWideString) {
                tmp = UTF16ToUTF8(a.VWide);
                sv = tmp;
            } else {
                RaiseInvalidFormat(fmt);
            }
            if (precision >= 0) {
                // Cut after `precision` characters, never inside one.
                std::size_t pos = 0;
                for (std::int64_t k = 0; k < precision && pos < sv.size(); ++k)
                    UTF8NextChar(sv, pos);
                sv = sv.substr(0, pos);
            }
            AppendPadded(out, sv, static_cast<int>(width), leftAlign);
            continue;
        }
        default:
            RaiseInvalidFormat(fmt);
        }
        AppendPadded(out, text, static_cast<int>(width), leftAlign);
    }
    return out;
}

std::string Format(std::string_view fmt, std::initializer_list<TVarRec> args, const TFormatSettings& settings)
{
    return FormatArgs(fmt, args.begin(), args.size(), settings);
}

std::string Format(std::string_view fmt, std::initializer_list<TVarRec> args)
{
    return FormatArgs(fmt, args.begin(), args.size(), FormatSettings);
}

// ---------------------------------------------------------------------------
// Environment and system

std::string GetEnvironmentVariable(const std::string& name)
{
    const char* v = std::getenv(name.c_str());
    return v ? std::string(v) : std::string();
}

bool SetEnvironmentVariable(const std::string& name, const std::string& value)
{
    if (name.empty() || name.find('=') != std::string::npos || name.find('\0') != std::string::npos)
        return false;
    if (value.empty())
        return unsetenv(name.c_str()) == 0;
    return setenv(name.c_str(), value.c_str(), 1) == 0;
}

namespace {

struct TLanguageCode {
    const char* code;
    WORD primary;
};

// ISO 639-1 codes to the platform's primary language identifiers.
constexpr TLanguageCode kLanguages[] = {
    {"ar", 0x01}, {"bg", 0x02}, {"ca", 0x03}, {"zh", 0x04}, {"cs", 0x05}, {"da", 0x06}, {"de", 0x07},
    {"el", 0x08}, {"en", 0x09}, {"es", 0x0A}, {"fi", 0x0B}, {"fr", 0x0C}, {"he", 0x0D}, {"hu", 0x0E},
    {"is", 0x0F}, {"it", 0x10}, {"ja", 0x11}, {"ko", 0x12}, {"nl", 0x13}, {"nb", 0x14}, {"no", 0x14},
    {"pl", 0x15}, {"pt", 0x16}, {"ro", 0x18}, {"ru", 0x19}, {"hr", 0x1A}, {"sk", 0x1B}, {"sq", 0x1C},
    {"sv", 0x1D}, {"th", 0x1E}, {"tr", 0x1F}, {"id", 0x21}, {"uk", 0x22}, {"be", 0x23}, {"sl", 0x24},
    {"et", 0x25}, {"lv", 0x26}, {"lt", 0x27}, {"fa", 0x29}, {"vi", 0x2A}, {"hi", 0x39},
};

}  // namespace

LANGID GetSystemDefaultUILanguage()
{
    constexpr LANGID english = 0x0409;
    std::string lang;
    for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        lang = GetEnvironmentVariable(var);
        if (!lang.empty())
            break;
    }
    if (lang.size() < 2)
        return english;
    const std::string code = LowerCase(lang.substr(0, 2));
    if (lang.size() > 2 && std::isalpha(static_cast<unsigned char>(lang[2])))
        return english;  // three-letter codes and "C"/"POSIX"-like names
    for (const auto& l : kLanguages)
        if (code == l.code)
            return static_cast<LANGID>((1 << 10) | l.primary);
    return english;
}

LANGID GetUserDefaultUILanguage() { return GetSystemDefaultUILanguage(); }

int GetProcessorCount()
{
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0) {
        const int n = CPU_COUNT(&set);
        if (n > 0)
            return n;
    }
    const unsigned n = std::thread::hardware_concurrency();
    return n > 0 ? static_cast<int>(n) : 1;
}

std::string SysErrorMessage(int errorCode)
{
    char buf[256];
    // The GNU strerror_r returns the text, which may or may not be in buf.
    const char* text = strerror_r(errorCode, buf, sizeof buf);
    return text ? std::string(text) : std::string();
}
