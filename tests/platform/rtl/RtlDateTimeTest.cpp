#include "platform/rtl/DateTime.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct TSettingsGuard {
    TFormatSettings saved = FormatSettings;
    ~TSettingsGuard() { FormatSettings = saved; }
};

}  // namespace

TEST(RtlDateTime, EncodeDecodeRoundTrip)
{
    struct Case {
        int y, m, d;
        double value;
    };
    const Case cases[] = {
        {1899, 12, 30, 0},     {1899, 12, 31, 1},     {1900, 1, 1, 2},      {1970, 1, 1, 25569},
        {2000, 2, 29, 36585},  {2024, 12, 31, 45657}, {1899, 12, 29, -1},   {1, 1, 1, -693593},
        {9999, 12, 31, 2958465},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(EncodeDate(c.y, c.m, c.d), c.value);
        int y, m, d;
        DecodeDate(c.value, y, m, d);
        EXPECT_EQ(y, c.y);
        EXPECT_EQ(m, c.m);
        EXPECT_EQ(d, c.d);
    }
    EXPECT_DOUBLE_EQ(EncodeTime(6, 0, 0, 0), 0.25);
    int h, n, s, z;
    DecodeTime(EncodeTime(23, 59, 59, 999), h, n, s, z);
    EXPECT_EQ(h * 10000000 + n * 100000 + s * 1000 + z, 235959999);
    // Negative dates keep a forward time of day: -1.25 is 1899-12-29 06:00.
    int y, m, d;
    DecodeDateTime(-1.25, y, m, d, h, n, s, z);
    EXPECT_EQ(d, 29);
    EXPECT_EQ(h, 6);
    EXPECT_EQ(EncodeDateTime(1899, 12, 29, 6, 0, 0, 0), -1.25);
    // Rounding up to a whole day moves to the next day.
    DecodeDateTime(2.0 - 1e-10, y, m, d, h, n, s, z);
    EXPECT_EQ(d, 1);
    EXPECT_EQ(h, 0);

    EXPECT_THROW(EncodeDate(2023, 2, 29), EConvertError);
    EXPECT_THROW(EncodeDate(0, 1, 1), EConvertError);
    EXPECT_THROW(EncodeDate(2020, 13, 1), EConvertError);
    EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
    try {
        EncodeTime(1, 60, 0, 0);
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Invalid argument to time encode");
    }
    EXPECT_EQ(DayOfWeek(EncodeDate(2024, 12, 31)), 3);  // a Tuesday
    EXPECT_EQ(DayOfWeek(0), 7);                        // 1899-12-30, a Saturday
    // Garbage values decode to something, never crash.
    DecodeDateTime(std::nan(""), y, m, d, h, n, s, z);
    DecodeDateTime(1e300, y, m, d, h, n, s, z);
}

TEST(RtlDateTime, FormatDirectives)
{
    TSettingsGuard guard;
    const TDateTime dt = EncodeDateTime(2024, 3, 5, 14, 7, 9, 45);
    struct Case {
        const char* format;
        const char* text;
    };
    const Case cases[] = {
        {"yyyy-mm-dd hh:nn:ss", "2024-03-05 14:07:09"},
        {"d/m/yy", "5/3/24"},
        {"ddd dddd mmm mmmm", "Tue Tuesday Mar March"},
        {"h:mm", "14:07"},     // m after an hour is minutes
        {"hh:mm:ss.zzz", "14:07:09.045"},
        {"h:nn am/pm", "2:07 pm"},
        {"h:nn AM/PM", "2:07 PM"},
        {"h a/p", "2 p"},
        {"hh ampm", "02 PM"},
        {"'yyyy' \"mm\" yyyy", "yyyy mm 2024"},
        {"z", "45"},
        {"c", "03/05/2024 14:07:09"},
        {"ddddd", "03/05/2024"},
        {"t|tt", "14:07|14:07:09"},
        {"'unterminated", "unterminated"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatDateTime(c.format, dt), c.text) << c.format;

    EXPECT_EQ(DateTimeToStr(EncodeDate(2024, 3, 5)), "03/05/2024");  // midnight: no time
    EXPECT_EQ(TimeToStr(dt), "14:07:09");
    TimeSeparator = '.';
    DateSeparator = '-';
    EXPECT_EQ(FormatDateTime("hh:nn d/m", dt), "14.07 5-3");
    ShortDateFormat = "c";  // names itself: must not recurse forever
    EXPECT_FALSE(FormatDateTime("c", dt).empty());
}

TEST(RtlDateTime, UnixConversionsAndArithmetic)
{
    EXPECT_EQ(UnixToDateTime(0), 25569);
    EXPECT_EQ(DateTimeToUnix(EncodeDateTime(2001, 9, 9, 1, 46, 40, 0)), 1000000000);
    EXPECT_EQ(DateTimeToUnix(UnixToDateTime(-86400LL * 30000 - 3600)), -86400 * 30000LL - 3600);
    const TDateTime a = EncodeDateTime(2024, 12, 31, 23, 59, 59, 500);
    const TDateTime b = IncMilliSecond(a, 700);
    int y, m, d, h, n, s, z;
    DecodeDateTime(b, y, m, d, h, n, s, z);
    EXPECT_EQ(y, 2025);
    EXPECT_EQ(z, 200);
    EXPECT_EQ(MilliSecondsBetween(a, b), 700);
    EXPECT_EQ(SecondsBetween(IncSecond(a, -90), a), 90);
    // Across day 0 into negative dates.
    const TDateTime early = IncSecond(EncodeDateTime(1899, 12, 30, 1, 0, 0, 0), -7200);
    DecodeDateTime(early, y, m, d, h, n, s, z);
    EXPECT_EQ(d, 29);
    EXPECT_EQ(h, 23);

    const TDateTime now = Now();
    EXPECT_GT(now, EncodeDate(2020, 1, 1));
    EXPECT_EQ(Date(), std::trunc(Date()));
    EXPECT_LT(Time(), 1.0);
}

TEST(RtlDateTime, LocaleSettingsAndStrftimePatterns)
{
    struct Case {
        const char* pattern;
        char dateSep, timeSep;
        const char* format;
    };
    const Case cases[] = {
        {"%d.%m.%Y", '.', ':', "dd/mm/yyyy"},
        {"%m/%d/%y", '/', ':', "mm/dd/yy"},
        {"%Y-%m-%d", '-', ':', "yyyy/mm/dd"},
        {"%H:%M:%S", '/', ':', "hh:nn:ss"},
        {"%I:%M:%S %p", '/', ':', "hh:nn:ss\" \"ampm"},
        {"%e %B %Y", '/', ':', "d\" \"mmmm\" \"yyyy"},
        {"%Y\xE5\xB9\xB4%m", '/', ':', "yyyy\"\xE5\xB9\xB4\"mm"},
        {"%T %Z%%", '/', ':', "hh:nn:ss\" %\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StrftimeToDateTimeFormat(c.pattern, c.dateSep, c.timeSep), c.format) << c.pattern;

    // The converted patterns format as the C library would.
    const TDateTime dt = EncodeDateTime(2024, 3, 5, 14, 7, 9, 0);
    TFormatSettings de = InvariantFormatSettings();
    de.DateSeparator = '.';
    EXPECT_EQ(FormatDateTime(StrftimeToDateTimeFormat("%d.%m.%Y", '.', ':'), dt, de), "05.03.2024");
    EXPECT_EQ(FormatDateTime(StrftimeToDateTimeFormat("%I:%M %p", '/', ':'), dt), "02:07 PM");

    const TFormatSettings c = GetLocaleFormatSettings("C");
    EXPECT_EQ(c.DecimalSeparator, '.');
    EXPECT_EQ(c.ShortDateFormat, "mm/dd/yy");
    EXPECT_EQ(c.LongTimeFormat, "hh:nn:ss");
    EXPECT_EQ(c.ShortTimeFormat, "hh:nn");
    EXPECT_EQ(c.LongMonthNames[0], "January");
    EXPECT_EQ(c.ShortDayNames[0], "Sun");
    const TFormatSettings unknown = GetLocaleFormatSettings("xx_NOWHERE.UTF-8");
    EXPECT_EQ(unknown.ShortDateFormat, InvariantFormatSettings().ShortDateFormat);
}
