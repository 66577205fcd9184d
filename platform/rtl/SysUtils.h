#pragma once
// The run-time library's string and number services: UTF-8 strings and their
// conversions to UTF-16 and to the 8-bit system code page (Latin-1 here),
// Format with the platform's directives, strict integer and float parsing,
// the user's locale settings, environment variables and a few facts about the
// system. Paths and files live in Files.h, which this header includes, so that
// one include gives callers the whole of the platform's "SysUtils".
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Types.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

// ---------------------------------------------------------------------------
// Strings and encodings. Strings are UTF-8 in std::string; "wide" strings are
// UTF-16 in std::u16string. Malformed UTF-8 decodes to U+FFFD per bad byte, so
// that no input can make a conversion fail or read out of bounds.
using WideString = std::u16string;

std::u16string UTF8ToUTF16(std::string_view s);
std::string UTF16ToUTF8(std::u16string_view s);
inline std::u16string UTF8Decode(std::string_view s) { return UTF8ToUTF16(s); }
inline std::string UTF8Encode(std::u16string_view s) { return UTF16ToUTF8(s); }
// The 8-bit system code page is Latin-1: characters outside it become '?'.
std::string UTF8ToLatin1(std::string_view s);
std::string Latin1ToUTF8(std::string_view s);
inline std::string Utf8ToAnsi(std::string_view s) { return UTF8ToLatin1(s); }
inline std::string AnsiToUtf8(std::string_view s) { return Latin1ToUTF8(s); }
bool IsValidUTF8(std::string_view s);
// Number of code points (malformed bytes count one each).
std::size_t UTF8Length(std::string_view s);
// Decodes the code point at s[pos] and advances pos; U+FFFD for a bad byte.
char32_t UTF8NextChar(std::string_view s, std::size_t& pos);
void UTF8AppendChar(std::string& out, char32_t c);

// Characters at or below ' ' are trimmed, as the platform does.
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);
// ASCII-only case mapping (identifiers, keys, file extensions).
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
// Case mapping of every letter the user may type.
std::string AnsiUpperCase(std::string_view s);
std::string AnsiLowerCase(std::string_view s);
// ASCII case-insensitive comparison; negative, 0 or positive.
int CompareText(std::string_view a, std::string_view b);
bool SameText(std::string_view a, std::string_view b);
int CompareStr(std::string_view a, std::string_view b);
// Case-insensitive over all letters (by code point after case folding).
int AnsiCompareText(std::string_view a, std::string_view b);
bool AnsiSameText(std::string_view a, std::string_view b);

// 1-based positions as the platform counts them; 0 when not found.
int Pos(std::string_view sub, std::string_view s, int offset = 1);
// Copy(s, index, count) with 1-based index; out-of-range parts are clipped.
std::string Copy(std::string_view s, int index, int count);
std::string StringOfChar(char c, int count);

enum TReplaceFlag : unsigned { rfReplaceAll = 1, rfIgnoreCase = 2 };
std::string StringReplace(std::string_view s, std::string_view oldPattern, std::string_view newPattern,
                          unsigned flags);

// 'it''s' style quoting.
std::string QuotedStr(std::string_view s);
std::string AnsiQuotedStr(std::string_view s, char quote);
// Reads a quoted string from the front of src and removes it (with the
// closing quote) from src. When src does not start with the quote, returns
// "" and leaves src alone. An unterminated string takes the rest of src.
std::string AnsiExtractQuotedStr(std::string& src, char quote);
// Removes surrounding quotes when present, else returns s unchanged.
std::string AnsiDequotedStr(std::string_view s, char quote);

// ---------------------------------------------------------------------------
// Locale settings. Format, FloatToStr, StrToFloat and the date and time
// functions read the global FormatSettings (or one given explicitly); the
// platform's global names are references into it, so either may be set.
struct TFormatSettings {
    char DecimalSeparator = '.';
    char ThousandSeparator = ',';
    char DateSeparator = '/';
    char TimeSeparator = ':';
    char ListSeparator = ',';
    std::string CurrencyString = "$";
    Byte CurrencyFormat = 0;   // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"
    Byte NegCurrFormat = 0;    // 0..15, the platform's table
    Byte CurrencyDecimals = 2;
    std::string ShortDateFormat = "MM/dd/yyyy";
    std::string LongDateFormat = "dddd, dd MMMM yyyy";
    std::string ShortTimeFormat = "HH:mm";
    std::string LongTimeFormat = "HH:mm:ss";
    std::string TimeAMString = "AM";
    std::string TimePMString = "PM";
    std::string ShortMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::string LongMonthNames[12] = {"January", "February", "March",     "April",   "May",      "June",
                                      "July",    "August",   "September", "October", "November", "December"};
    std::string ShortDayNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    std::string LongDayNames[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
};

// The user's settings; initialised to the invariant values above.
extern TFormatSettings FormatSettings;
// Settings that never change: '.' decimal separator, no surprises. Used for
// texts that machines read back (option texts, data files).
const TFormatSettings& InvariantFormatSettings();

extern char& DecimalSeparator;
extern char& ThousandSeparator;
extern char& DateSeparator;
extern char& TimeSeparator;
extern std::string& ShortDateFormat;
extern std::string& LongDateFormat;
extern std::string& ShortTimeFormat;
extern std::string& LongTimeFormat;
extern std::string& TimeAMString;
extern std::string& TimePMString;
extern std::string& CurrencyString;

// ---------------------------------------------------------------------------
// Integers.
std::string IntToStr(std::int64_t value);
std::string UIntToStr(std::uint64_t value);
// Upper-case hex with at least `digits` digits. Negative 32-bit values show
// their 32-bit two's complement, negative 64-bit values their 64-bit one.
std::string IntToHex(std::int32_t value, int digits);
std::string IntToHex(std::int64_t value, int digits);
std::string IntToHex(std::uint32_t value, int digits);
std::string IntToHex(std::uint64_t value, int digits);
inline std::string IntToHex(long long value, int digits) { return IntToHex(static_cast<std::int64_t>(value), digits); }
inline std::string IntToHex(unsigned long long value, int digits)
{
    return IntToHex(static_cast<std::uint64_t>(value), digits);
}

// a * b / c with a 64-bit intermediate, rounded half away from zero
// (MulDiv(255, 50, 100) = 128); -1 when c is 0 or the result does not fit.
std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t c);

// The platform's pseudo-random generator: a 32-bit linear congruential
// sequence from a settable seed, so that a seeded run repeats exactly.
// Random(range) is in 0..range-1 (0 when range <= 0); Random() in [0, 1).
std::int32_t Random(std::int32_t range);
double Random();
void Randomize();
void SetRandSeed(std::uint32_t seed);
std::uint32_t GetRandSeed();

// Strict parsing: optional leading blanks, an optional sign, then decimal
// digits or hex digits after "$", "0x" or "x"; nothing may follow. Decimal
// values must fit the type; hex values may use all of its bits (so
// "$FFFFFFFF" is -1 for a 32-bit integer). Failures raise EConvertError
// "'%s' is not a valid integer value".
std::int32_t StrToInt(std::string_view s);
std::int64_t StrToInt64(std::string_view s);
std::int32_t StrToIntDef(std::string_view s, std::int32_t def);
std::int64_t StrToInt64Def(std::string_view s, std::int64_t def);
bool TryStrToInt(std::string_view s, std::int32_t& value);
bool TryStrToInt64(std::string_view s, std::int64_t& value);

// ---------------------------------------------------------------------------
// Floats. StrToFloat accepts blanks around the number, a sign, digits with the
// settings' decimal separator and an exponent; anything else raises
// EConvertError "'%s' is not a valid floating point value".
double StrToFloat(std::string_view s);
double StrToFloat(std::string_view s, const TFormatSettings& settings);
double StrToFloatDef(std::string_view s, double def);
bool TryStrToFloat(std::string_view s, double& value);
bool TryStrToFloat(std::string_view s, double& value, const TFormatSettings& settings);

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };
// The shortest form with 15 significant digits ("0.1", "1E20", "1.5E-7").
std::string FloatToStr(double value);
std::string FloatToStr(double value, const TFormatSettings& settings);
std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits);
std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits,
                        const TFormatSettings& settings);

// ---------------------------------------------------------------------------
// Format. Directives: "%" [index ":"] ["-"] [width] ["." precision] type,
// with type one of d u x e f g n m p s (either case) and "%%" for a percent
// sign; index, width and precision may be "*" to take an integer argument.
// A directive that does not match its argument raises EConvertError
// "Format '%s' invalid or incompatible with argument"; a missing argument
// "No argument for format '%s'".
struct TVarRec {
    enum TKind { vtInteger, vtInt64, vtUInt64, vtExtended, vtString, vtWideString, vtChar, vtBoolean, vtPointer };
    TKind Kind = vtInteger;
    union {
        std::int64_t VInt;
        std::uint64_t VUInt;
        double VFloat;
        const void* VPointer;
        char VChar;
        bool VBool;
    };
    std::string_view VString;
    std::u16string_view VWide;

    TVarRec(int v) : Kind(vtInteger), VInt(v) {}
    TVarRec(unsigned v) : Kind(vtInt64), VInt(v) {}
    TVarRec(short v) : Kind(vtInteger), VInt(v) {}
    TVarRec(unsigned short v) : Kind(vtInteger), VInt(v) {}
    TVarRec(signed char v) : Kind(vtInteger), VInt(v) {}
    TVarRec(unsigned char v) : Kind(vtInteger), VInt(v) {}
    TVarRec(long v) : Kind(vtInt64), VInt(v) {}
    TVarRec(long long v) : Kind(vtInt64), VInt(v) {}
    TVarRec(unsigned long v) : Kind(vtUInt64), VUInt(v) {}
    TVarRec(unsigned long long v) : Kind(vtUInt64), VUInt(v) {}
    TVarRec(double v) : Kind(vtExtended), VFloat(v) {}
    TVarRec(float v) : Kind(vtExtended), VFloat(v) {}
    TVarRec(long double v) : Kind(vtExtended), VFloat(static_cast<double>(v)) {}
    TVarRec(char v) : Kind(vtChar), VChar(v) {}
    TVarRec(bool v) : Kind(vtBoolean), VBool(v) {}
    TVarRec(const char* v) : Kind(vtString), VInt(0), VString(v ? v : "") {}
    TVarRec(std::string_view v) : Kind(vtString), VInt(0), VString(v) {}
    TVarRec(const std::string& v) : Kind(vtString), VInt(0), VString(v) {}
    TVarRec(std::u16string_view v) : Kind(vtWideString), VInt(0), VWide(v) {}
    TVarRec(const std::u16string& v) : Kind(vtWideString), VInt(0), VWide(v) {}
    TVarRec(const void* v) : Kind(vtPointer), VPointer(v) {}
    TVarRec(std::nullptr_t) : Kind(vtPointer), VPointer(nullptr) {}
};

std::string Format(std::string_view fmt, std::initializer_list<TVarRec> args);
std::string Format(std::string_view fmt, std::initializer_list<TVarRec> args, const TFormatSettings& settings);
std::string FormatArgs(std::string_view fmt, const TVarRec* args, std::size_t count,
                       const TFormatSettings& settings);
// Format("%d of %d", a, b): the same as the list form.
template <typename... A>
    requires(sizeof...(A) > 0 && (std::is_constructible_v<TVarRec, const A&> && ...))
std::string Format(std::string_view fmt, const A&... args)
{
    const TVarRec list[] = {TVarRec(args)...};
    return FormatArgs(fmt, list, sizeof...(A), FormatSettings);
}
inline std::string Format(std::string_view fmt) { return FormatArgs(fmt, nullptr, 0, FormatSettings); }

// ---------------------------------------------------------------------------
// Environment and system.
std::string GetEnvironmentVariable(const std::string& name);
// An empty value removes the variable. False when the name is invalid.
bool SetEnvironmentVariable(const std::string& name, const std::string& value);

using LANGID = WORD;
// The user-interface language as the platform identifies it: primary
// language in the low 10 bits, sub-language above (0x0409 English, 0x040A
// Spanish ...), read from LC_ALL, LC_MESSAGES or LANG; English when unknown.
LANGID GetSystemDefaultUILanguage();
LANGID GetUserDefaultUILanguage();
// Processors this process may run on; at least 1.
int GetProcessorCount();
// The system's text for an error code (errno values), for messages.
std::string SysErrorMessage(int errorCode);
