#pragma once
// Dates and times as the platform keeps them: a TDateTime is a double whose
// whole part counts days since 1899-12-30 and whose fraction is the time of
// day. Encoding checks its arguments; formatting follows the user's settings
// (FormatSettings in SysUtils.h) unless settings are given.
// Xlib declares a type named Time, which clashes with Time() here: a unit
// that includes Xlib must not include this header (the X back-end needs
// neither from the other).
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Types.h"

#include <cstdint>
#include <string>
#include <string_view>

using TDateTime = double;

constexpr double HoursPerDay = 24;
constexpr double MinsPerDay = 24 * 60;
constexpr double SecsPerDay = 24 * 60 * 60;
constexpr double MSecsPerDay = 24.0 * 60 * 60 * 1000;
// 1970-01-01 as a TDateTime.
constexpr TDateTime UnixDateDelta = 25569;

// Local date and time now (the wall clock, not the replaceable tick clock).
TDateTime Now();
TDateTime Date();
TDateTime Time();

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);
bool TryEncodeDate(int year, int month, int day, TDateTime& date);
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time);
// Raise EConvertError "Invalid argument to date encode" / "... time encode".
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int min, int sec, int msec);
TDateTime EncodeDateTime(int year, int month, int day, int hour, int min, int sec, int msec);
void DecodeDate(TDateTime date, int& year, int& month, int& day);
void DecodeTime(TDateTime time, int& hour, int& min, int& sec, int& msec);
void DecodeDateTime(TDateTime dt, int& year, int& month, int& day, int& hour, int& min, int& sec, int& msec);
// 1 = Sunday .. 7 = Saturday.
int DayOfWeek(TDateTime date);

// Seconds since 1970 (UTC) and back, without time-zone conversion.
TDateTime UnixToDateTime(std::int64_t unixSeconds);
std::int64_t DateTimeToUnix(TDateTime dt);
// The local time-zone's offset from UTC, in minutes (east positive), at the
// given moment in seconds since 1970.
int LocalUtcOffsetMinutes(std::int64_t unixSeconds);
// Seconds since 1970 (UTC) to local time, and local time to UTC.
TDateTime UnixToLocalDateTime(std::int64_t unixSeconds);

// Directives: c d dd ddd dddd ddddd dddddd m mm mmm mmmm yy yyyy h hh n nn
// s ss z zzz t tt am/pm a/p ampm / : and quoted text ('..' or ".."); "m"
// right after an hour means minutes. Letters are case-insensitive.
std::string FormatDateTime(std::string_view format, TDateTime dt);
std::string FormatDateTime(std::string_view format, TDateTime dt, const TFormatSettings& settings);
// Short date and long time; the time is left out when it is midnight.
std::string DateTimeToStr(TDateTime dt);
std::string DateToStr(TDateTime dt);
std::string TimeToStr(TDateTime dt);

TDateTime IncSecond(TDateTime dt, std::int64_t seconds);
TDateTime IncMilliSecond(TDateTime dt, std::int64_t ms);
std::int64_t MilliSecondsBetween(TDateTime a, TDateTime b);
std::int64_t SecondsBetween(TDateTime a, TDateTime b);

// The settings of a C library locale ("" for the user's, from LC_ALL /
// LC_NUMERIC / LC_TIME / LANG): separators, date and time formats, month and
// day names. The global FormatSettings keep their invariant values unless the
// program assigns these, so that texts machines read back never change with
// the user's locale. An unknown locale gives the invariant settings.
TFormatSettings GetLocaleFormatSettings(const std::string& localeName = "");
// A C library date or time pattern ("%d.%m.%Y") in FormatDateTime's terms
// ("dd/mm/yyyy" with "." as the date separator); literal separators equal to
// dateSep or timeSep become "/" and ":", other literal text is quoted.
std::string StrftimeToDateTimeFormat(std::string_view pattern, char dateSep, char timeSep);
