#include "platform/rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

// Restores the global locale settings a test changes.
struct TSettingsGuard {
    TFormatSettings saved = FormatSettings;
    ~TSettingsGuard() { FormatSettings = saved; }
};

}  // namespace

TEST(RtlStrings, Utf8Utf16AndLatin1Conversions)
{
    const std::string text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";  // a é € 😀
    const std::u16string wide = UTF8ToUTF16(text);
    EXPECT_EQ(wide, (std::u16string{u'a', 0x00E9, 0x20AC, 0xD83D, 0xDE00}));
    EXPECT_EQ(UTF16ToUTF8(wide), text);
    EXPECT_EQ(UTF8Length(text), 4u);
    EXPECT_TRUE(IsValidUTF8(text));

    // Malformed input: stray continuation, truncated sequence, overlong form,
    // encoded surrogate; each bad byte becomes U+FFFD, nothing is read past the end.
    EXPECT_EQ(UTF8ToUTF16("\x80x"), (std::u16string{0xFFFD, u'x'}));
    EXPECT_EQ(UTF8ToUTF16("\xE2\x82"), (std::u16string{0xFFFD, 0xFFFD}));
    EXPECT_EQ(UTF8ToUTF16("\xC0\xAF"), (std::u16string{0xFFFD, 0xFFFD}));
    EXPECT_EQ(UTF8ToUTF16("\xED\xA0\x80").size(), 3u);
    EXPECT_FALSE(IsValidUTF8("\xC3"));
    // A lone surrogate in UTF-16 becomes U+FFFD in UTF-8.
    EXPECT_EQ(UTF16ToUTF8(std::u16string{0xD800, u'a'}), "\xEF\xBF\xBD" "a");

    EXPECT_EQ(UTF8ToLatin1(text), "a\xE9??");
    EXPECT_EQ(Latin1ToUTF8("a\xE9"), "a\xC3\xA9");
}

TEST(RtlStrings, CaseTrimCompareAndQuotes)
{
    EXPECT_EQ(Trim(" \t x y \r\n"), "x y");
    EXPECT_EQ(TrimLeft("  x "), "x ");
    EXPECT_EQ(TrimRight("  x "), "  x");
    EXPECT_EQ(UpperCase("ab\xC3\xA9"), "AB\xC3\xA9");
    EXPECT_EQ(AnsiUpperCase("ab\xC3\xA9"), "AB\xC3\x89");
    EXPECT_EQ(AnsiLowerCase("\xC3\x89Z"), "\xC3\xA9z");
    EXPECT_TRUE(SameText("Hello", "hELLO"));
    EXPECT_FALSE(SameText("Hello", "Hell"));
    EXPECT_LT(CompareText("abc", "ABD"), 0);
    EXPECT_GT(CompareText("abcd", "ABC"), 0);
    EXPECT_TRUE(AnsiSameText("\xC3\xA9t\xC3\xA9", "\xC3\x89T\xC3\x89"));

    EXPECT_EQ(Pos("lo", "hello"), 4);
    EXPECT_EQ(Pos("x", "hello"), 0);
    EXPECT_EQ(Pos("l", "hello", 5), 0);
    EXPECT_EQ(Copy("hello", 2, 3), "ell");
    EXPECT_EQ(Copy("hello", 4, 100), "lo");
    EXPECT_EQ(Copy("hello", 9, 1), "");
    EXPECT_EQ(StringReplace("aXbxc", "x", "-", rfReplaceAll | rfIgnoreCase), "a-b-c");
    EXPECT_EQ(StringReplace("aXbxc", "x", "-", rfReplaceAll), "aXb-c");
    EXPECT_EQ(StringReplace("xxx", "x", "yy", 0), "yyxx");
    // Case-insensitive over all letters, even where case changes byte lengths.
    EXPECT_EQ(StringReplace("\xC3\x89t\xC3\xA9 ETE", "\xC3\xA9t\xC3\xA9", "x", rfReplaceAll | rfIgnoreCase), "x ETE");
    EXPECT_EQ(StringReplace("K\xE2\x84\xAA", "k", "-", rfReplaceAll | rfIgnoreCase), "--");  // Kelvin sign

    EXPECT_EQ(QuotedStr("it's"), "'it''s'");
    EXPECT_EQ(AnsiQuotedStr("a\"b", '"'), "\"a\"\"b\"");
    std::string src = "'a''b' rest";
    EXPECT_EQ(AnsiExtractQuotedStr(src, '\''), "a'b");
    EXPECT_EQ(src, " rest");
    std::string unterminated = "'abc";
    EXPECT_EQ(AnsiExtractQuotedStr(unterminated, '\''), "abc");
    EXPECT_EQ(unterminated, "");
    std::string unquoted = "abc";
    EXPECT_EQ(AnsiExtractQuotedStr(unquoted, '\''), "");
    EXPECT_EQ(unquoted, "abc");
    EXPECT_EQ(AnsiDequotedStr("\"x y\"", '"'), "x y");
    EXPECT_EQ(AnsiDequotedStr("\"x\" y", '"'), "\"x\" y");
}

TEST(RtlStrToInt, AcceptsThePlatformsForms)
{
    struct Case {
        const char* text;
        std::int32_t value;
    };
    const Case cases[] = {
        {"0", 0},           {"123", 123},         {"-123", -123},         {"+7", 7},
        {"  42", 42},       {"\t5", 5},           {"$1F", 31},            {"0x1f", 31},
        {"0X1F", 31},       {"x10", 16},          {"-$10", -16},          {"2147483647", 2147483647},
        {"-2147483648", std::numeric_limits<std::int32_t>::min()},         {"$FFFFFFFF", -1},
        {"$7FFFFFFF", 2147483647}, {"007", 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(StrToInt(c.text), c.value);
        std::int32_t v = 0;
        EXPECT_TRUE(TryStrToInt(c.text, v));
        EXPECT_EQ(v, c.value);
    }
}

TEST(RtlStrToInt, RejectsEverythingElseWithTheExactMessage)
{
    const char* bad[] = {"",     " ",   "12 ", "1a",   "--1", "+-1",        "$",  "0x", "1e3",
                         "1.0",  "abc", "- 1", "2147483648", "-2147483649", "$100000000",
                         "99999999999999999999", "0x-1", "$ 1"};
    for (const char* text : bad) {
        SCOPED_TRACE(text);
        std::int32_t v = 77;
        EXPECT_FALSE(TryStrToInt(text, v));
        EXPECT_EQ(v, 77);
        EXPECT_EQ(StrToIntDef(text, -5), -5);
        try {
            StrToInt(text);
            ADD_FAILURE() << "no exception";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), "'" + std::string(text) + "' is not a valid integer value");
        }
    }
}

TEST(RtlStrToInt, Int64Limits)
{
    EXPECT_EQ(StrToInt64("9223372036854775807"), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(StrToInt64("-9223372036854775808"), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(StrToInt64("$FFFFFFFFFFFFFFFF"), -1);
    EXPECT_EQ(StrToInt64("4294967296"), 4294967296LL);
    EXPECT_THROW(StrToInt64("9223372036854775808"), EConvertError);
    EXPECT_THROW(StrToInt64("$10000000000000000"), EConvertError);
    EXPECT_EQ(StrToInt64Def("x", 9), 9);
}

TEST(RtlNumbers, IntToStrAndHex)
{
    EXPECT_EQ(IntToStr(-42), "-42");
    EXPECT_EQ(IntToStr(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808");
    EXPECT_EQ(IntToHex(255, 4), "00FF");
    EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFF");
    EXPECT_EQ(IntToHex(std::int64_t{-1}, 1), "FFFFFFFFFFFFFFFF");
    EXPECT_EQ(IntToHex(0x1234u, 2), "1234");

    struct MulDivCase {
        int a, b, c, want;
    };
    const MulDivCase muldiv[] = {
        {255, 50, 100, 128}, {128, 50, 100, 64}, {-255, 50, 100, -128}, {255, -50, 100, -128},
        {10, 3, 4, 8},       {10, 1, 4, 3},      {1, 1, 3, 0},          {5, 5, 0, -1},
        {2147483647, 2, 1, -1}, {2147483647, 2, 2, 2147483647},
    };
    for (const MulDivCase& c : muldiv)
        EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.want) << c.a << "*" << c.b << "/" << c.c;
}

TEST(RtlNumbers, RandomRepeatsFromASeedAndStaysInRange)
{
    SetRandSeed(12345);
    std::vector<int> first;
    for (int i = 0; i < 20; ++i)
        first.push_back(Random(100));
    SetRandSeed(12345);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(Random(100), first[static_cast<std::size_t>(i)]);
    for (int i = 0; i < 1000; ++i) {
        const int r = Random(7);
        EXPECT_TRUE(r >= 0 && r < 7);
        const double d = Random();
        EXPECT_TRUE(d >= 0 && d < 1);
    }
    EXPECT_EQ(Random(0), 0);
    EXPECT_EQ(Random(-5), 0);
}

TEST(RtlFloat, FloatToStrShortestForm)
{
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {
        {0.0, "0"},           {0.1, "0.1"},       {1.5, "1.5"},           {-2.25, "-2.25"},
        {100.0, "100"},       {1e15, "1E15"},     {123456789012345.0, "123456789012345"},
        {1e-5, "0.00001"},    {1.5e-7, "1.5E-7"}, {1.0 / 3, "0.333333333333333"},
        {2.0 / 3, "0.666666666666667"},           {1e20, "1E20"},     {-1e-10, "-1E-10"},
        {std::nan(""), "NAN"}, {HUGE_VAL, "INF"}, {-HUGE_VAL, "-INF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FloatToStr(c.value), c.text);
    }
    TSettingsGuard guard;
    DecimalSeparator = ',';
    EXPECT_EQ(FloatToStr(1.5), "1,5");
    EXPECT_EQ(FloatToStr(1.5, InvariantFormatSettings()), "1.5");
}

TEST(RtlFloat, StrToFloatIsStrict)
{
    struct Case {
        const char* text;
        double value;
    };
    const Case good[] = {{"1.5", 1.5},   {" 2 ", 2},   {"-3e2", -300}, {"+1E-2", 0.01},
                         {".5", 0.5},    {"5.", 5},    {"0", 0},       {"1e-400", 0}};
    for (const Case& c : good) {
        SCOPED_TRACE(c.text);
        EXPECT_DOUBLE_EQ(StrToFloat(c.text), c.value);
    }
    const char* bad[] = {"", " ", "abc", "1e", "1,5", "1.5.2", "inf", "nan", "0x10", "1e999", "--1", "."};
    for (const char* text : bad) {
        SCOPED_TRACE(text);
        double v = 0;
        EXPECT_FALSE(TryStrToFloat(text, v));
        try {
            StrToFloat(text);
            ADD_FAILURE() << "no exception";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), "'" + std::string(text) + "' is not a valid floating point value");
        }
    }
    TSettingsGuard guard;
    DecimalSeparator = ',';
    EXPECT_DOUBLE_EQ(StrToFloat("1,5"), 1.5);
    EXPECT_THROW(StrToFloat("1.5"), EConvertError);
    EXPECT_DOUBLE_EQ(StrToFloat("1.5", InvariantFormatSettings()), 1.5);
}

TEST(RtlFormat, Directives)
{
    int marker = 0;
    struct Case {
        std::string got;
        const char* want;
    };
    const Case cases[] = {
        {Format("%d", {42}), "42"},
        {Format("%2.2d:%2.2d:%2.2d.%3.3d", {1, 2, 3, 4}), "01:02:03.004"},
        {Format("%5d|%-5d|", {42, 42}), "   42|42   |"},
        {Format("%.4d %.4d", {42, -42}), "0042 -0042"},
        {Format("%d", {std::int64_t{-9000000000}}), "-9000000000"},
        {Format("%u", {-1}), "4294967295"},
        {Format("%u", {std::uint64_t{18446744073709551615ULL}}), "18446744073709551615"},
        {Format("%x %.4X %x", {255, 255, -1}), "FF 00FF FFFFFFFF"},
        {Format("%x", {std::int64_t{-1}}), "FFFFFFFFFFFFFFFF"},
        {Format("%s|%5s|%-5s|%.2s", {"abc", "abc", "abc", "abc"}), "abc|  abc|abc  |ab"},
        {Format("%3s|%.1s", {"\xC3\xA9", "\xC3\xA9x"}), "  \xC3\xA9|\xC3\xA9"},
        {Format("%s", {std::u16string(u"w")}), "w"},
        {Format("%s", {'c'}), "c"},
        {Format("%*d|%-*d|%.*f", {5, 42, 4, 7, 1, 2.25}), "   42|7   |2.2"},
        {Format("%*d|%.*s|", {-4, 7, std::size_t{2}, "abc"}), "7   |ab|"},
        {Format("%*d", {std::size_t{3}, 1}), "  1"},
        {Format("%1:s %0:s", {"a", "b"}), "b a"},
        {Format("%0:-4d|", {5}), "5   |"},
        {Format("%1:s %s %0:s", {"a", "b", "c"}), "b c a"},
        {Format("%e", {1234.5}), "1.23450000000000E+003"},
        {Format("%.3e", {-0.00012345}), "-1.23E-004"},
        {Format("%f|%.3f|%.0f", {3.14159, 3.14159, 2.6}), "3.14|3.142|3"},
        {Format("%f", {-0.001}), "0.00"},
        {Format("%g|%g|%g", {0.1, 1e20, 1234567.0}), "0.1|1E20|1234567"},
        {Format("%.3g", {1234567.0}), "1.23E6"},
        {Format("%n|%.0n|%n", {1234567.891, 1234.0, -1234.5}), "1,234,567.89|1,234|-1,234.50"},
        {Format("%n", {123.0}), "123.00"},
        {Format("%m|%m", {1234.5, -1234.5}), "$1,234.50|($1,234.50)"},
        {Format("%p", {nullptr}), "0000000000000000"},
        {Format("100%% %s", {"done"}), "100% done"},
        {Format("%D %S", {1, "x"}), "1 x"},
        {Format("no directives"), "no directives"},
        {Format("%d of %d", 3, 7), "3 of 7"},
        {Format("%s=%d", std::string("k"), 5u), "k=5"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.got, c.want);
    EXPECT_EQ(Format("%p", {static_cast<const void*>(&marker)}).size(), sizeof(void*) * 2);
}

TEST(RtlFormat, MismatchAndMissingArgumentsRaise)
{
    struct Case {
        const char* fmt;
        std::initializer_list<TVarRec> args;
        const char* message;
    };
    const Case cases[] = {
        {"%d", {"abc"}, "Format '%d' invalid or incompatible with argument"},
        {"%s", {5}, "Format '%s' invalid or incompatible with argument"},
        {"%f", {5}, "Format '%f' invalid or incompatible with argument"},
        {"%p", {5}, "Format '%p' invalid or incompatible with argument"},
        {"%q", {5}, "Format '%q' invalid or incompatible with argument"},
        {"abc %", {5}, "Format 'abc %' invalid or incompatible with argument"},
        {"%5", {5}, "Format '%5' invalid or incompatible with argument"},
        {"%*d", {"x", 5}, "Format '%*d' invalid or incompatible with argument"},
        {"%d %d", {1}, "No argument for format '%d %d'"},
        {"%3:d", {1}, "No argument for format '%3:d'"},
        {"%99999999d", {1}, "Format '%99999999d' invalid or incompatible with argument"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fmt);
        try {
            Format(c.fmt, c.args);
            ADD_FAILURE() << "no exception";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), c.message);
        }
    }
}

TEST(RtlFormat, DecimalSeparatorIsSettable)
{
    TSettingsGuard guard;
    DecimalSeparator = ',';
    ThousandSeparator = '.';
    EXPECT_EQ(Format("%.1f", {1.25}), "1,2");
    EXPECT_EQ(Format("%n", {1234.5}), "1.234,50");
    EXPECT_EQ(Format("%.1f", {1.25}, InvariantFormatSettings()), "1.2");
    FormatSettings.CurrencyString = "EUR";
    FormatSettings.CurrencyFormat = 3;
    FormatSettings.NegCurrFormat = 8;
    EXPECT_EQ(Format("%m|%m", {5.0, -5.0}), "5,00 EUR|-5,00 EUR");
}

TEST(RtlSystem, EnvironmentLanguageAndProcessors)
{
    EXPECT_TRUE(SetEnvironmentVariable("TARNELLO_RTL_TEST", "v1"));
    EXPECT_EQ(GetEnvironmentVariable("TARNELLO_RTL_TEST"), "v1");
    EXPECT_TRUE(SetEnvironmentVariable("TARNELLO_RTL_TEST", ""));
    EXPECT_EQ(GetEnvironmentVariable("TARNELLO_RTL_TEST"), "");
    EXPECT_FALSE(SetEnvironmentVariable("A=B", "x"));
    EXPECT_FALSE(SetEnvironmentVariable("", "x"));

    const std::string saved[] = {GetEnvironmentVariable("LC_ALL"), GetEnvironmentVariable("LC_MESSAGES"),
                                 GetEnvironmentVariable("LANG")};
    SetEnvironmentVariable("LC_ALL", "");
    SetEnvironmentVariable("LC_MESSAGES", "");
    struct Case {
        const char* lang;
        LANGID id;
    };
    const Case cases[] = {{"es_ES.UTF-8", 0x040A}, {"de_DE", 0x0407}, {"en_US.UTF-8", 0x0409},
                          {"C", 0x0409},           {"", 0x0409},      {"xx_YY", 0x0409}};
    for (const Case& c : cases) {
        SetEnvironmentVariable("LANG", c.lang);
        EXPECT_EQ(GetSystemDefaultUILanguage(), c.id) << c.lang;
    }
    EXPECT_EQ(GetSystemDefaultUILanguage() & 0xFF, 0x09);
    SetEnvironmentVariable("LC_ALL", saved[0]);
    SetEnvironmentVariable("LC_MESSAGES", saved[1]);
    SetEnvironmentVariable("LANG", saved[2]);

    EXPECT_GE(GetProcessorCount(), 1);
    EXPECT_EQ(SysErrorMessage(2), "No such file or directory");
}
