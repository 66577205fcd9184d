#include "platform/rtl/DateTime.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <ctime>
#include <langinfo.h>
#include <locale.h>
#include <sys/time.h>

namespace {

constexpr std::int64_t kMsPerDay = 86400000;

// Days since 1970-01-01 for a civil date, and back (proleptic Gregorian).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(y + (month <= 2));
}

// Splits a TDateTime into whole days and milliseconds into the day. The
// fraction of a negative value is still the time of day, as on the platform.
void Split(TDateTime dt, std::int64_t& days, std::int64_t& ms)
{
    if (!std::isfinite(dt) || std::fabs(dt) > 3.0e6) {
        days = 0;
        ms = 0;
        return;
    }
    days = static_cast<std::int64_t>(std::trunc(dt));
    ms = std::llround(std::fabs(dt - static_cast<double>(days)) * MSecsPerDay);
    if (ms >= kMsPerDay) {
        ms -= kMsPerDay;
        ++days;
    }
}

TDateTime Combine(std::int64_t days, std::int64_t ms)
{
    const double fraction = static_cast<double>(ms) / MSecsPerDay;
    return days >= 0 ? static_cast<double>(days) + fraction : static_cast<double>(days) - fraction;
}

// TDateTime day 0 is 1899-12-30, 25569 days before 1970-01-01.
constexpr std::int64_t kUnixDays = 25569;

}  // namespace

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& date)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return false;
    date = static_cast<double>(DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) +
                               kUnixDays);
    return true;
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time)
{
    if (hour < 0 || hour > 23 || min < 0 || min > 59 || sec < 0 || sec > 59 || msec < 0 || msec > 999)
        return false;
    time = static_cast<double>(((hour * 60 + min) * 60 + sec) * 1000LL + msec) / MSecsPerDay;
    return true;
}

TDateTime EncodeDate(int year, int month, int day)
{
    TDateTime d;
    if (!TryEncodeDate(year, month, day, d))
        throw EConvertError("Invalid argument to date encode");
    return d;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec)
{
    TDateTime t;
    if (!TryEncodeTime(hour, min, sec, msec, t))
        throw EConvertError("Invalid argument to time encode");
    return t;
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int min, int sec, int msec)
{
    const TDateTime d = EncodeDate(year, month, day);
    const TDateTime t = EncodeTime(hour, min, sec, msec);
    return d >= 0 ? d + t : d - t;
}

void DecodeDateTime(TDateTime dt, int& year, int& month, int& day, int& hour, int& min, int& sec, int& msec)
{
    std::int64_t days;
    std::int64_t ms;
    Split(dt, days, ms);
    CivilFromDays(days - kUnixDays, year, month, day);
    hour = static_cast<int>(ms / 3600000);
    min = static_cast<int>(ms / 60000 % 60);
    sec = static_cast<int>(ms / 1000 % 60);
    msec = static_cast<int>(ms % 1000);
}

void DecodeDate(TDateTime date, int& year, int& month, int& day)
{
    int h, n, s, z;
    DecodeDateTime(date, year, month, day, h, n, s, z);
}

void DecodeTime(TDateTime time, int& hour, int& min, int& sec, int& msec)
{
    int y, m, d;
    DecodeDateTime(time, y, m, d, hour, min, sec, msec);
}

int DayOfWeek(TDateTime date)
{
    std::int64_t days;
    std::int64_t ms;
    Split(date, days, ms);
    // Day 0 (1899-12-30) was a Saturday.
    return static_cast<int>(((days + 6) % 7 + 7) % 7) + 1;
}

TDateTime UnixToDateTime(std::int64_t unixSeconds)
{
    const std::int64_t days = unixSeconds >= 0 ? unixSeconds / 86400 : -((-unixSeconds + 86399) / 86400);
    const std::int64_t secs = unixSeconds - days * 86400;
    return Combine(days + kUnixDays, secs * 1000);  // Combine keeps the time of day forward on negative days
}

std::int64_t DateTimeToUnix(TDateTime dt)
{
    std::int64_t days;
    std::int64_t ms;
    Split(dt, days, ms);
    return (days - kUnixDays) * 86400 + ms / 1000;
}

int LocalUtcOffsetMinutes(std::int64_t unixSeconds)
{
    const time_t t = static_cast<time_t>(unixSeconds);
    struct tm local {};
    if (!localtime_r(&t, &local))
        return 0;
    return static_cast<int>(local.tm_gmtoff / 60);
}

TDateTime UnixToLocalDateTime(std::int64_t unixSeconds)
{
    return UnixToDateTime(unixSeconds + static_cast<std::int64_t>(LocalUtcOffsetMinutes(unixSeconds)) * 60);
}

TDateTime Now()
{
    timeval tv{};
    gettimeofday(&tv, nullptr);
    const std::int64_t local = tv.tv_sec + static_cast<std::int64_t>(LocalUtcOffsetMinutes(tv.tv_sec)) * 60;
    const std::int64_t days = local >= 0 ? local / 86400 : -((-local + 86399) / 86400);
    const std::int64_t ms = (local - days * 86400) * 1000 + tv.tv_usec / 1000;
    return Combine(days + kUnixDays, ms);
}

TDateTime Date() { return std::trunc(Now()); }

TDateTime Time()
{
    const TDateTime n = Now();
    return n - std::trunc(n);
}

// ---------------------------------------------------------------------------

namespace {

inline char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

std::string Pad(int v, int width)
{
    std::string s = std::to_string(v);
    if (static_cast<int>(s.size()) < width)
        s.insert(0, static_cast<std::size_t>(width) - s.size(), '0');
    return s;
}

bool StartsWithNoCase(std::string_view s, std::size_t at, std::string_view what)
{
    if (s.size() - at < what.size())
        return false;
    for (std::size_t k = 0; k < what.size(); ++k)
        if (Lower(s[at + k]) != Lower(what[k]))
            return false;
    return true;
}

// True when an am/pm directive follows, which turns hours to a 12-hour clock.
bool HasAmPm(std::string_view f, std::size_t from)
{
    char quote = 0;
    for (std::size_t i = from; i < f.size(); ++i) {
        if (quote) {
            if (f[i] == quote)
                quote = 0;
            continue;
        }
        if (f[i] == '\'' || f[i] == '"') {
            quote = f[i];
            continue;
        }
        if (StartsWithNoCase(f, i, "am/pm") || StartsWithNoCase(f, i, "a/p") || StartsWithNoCase(f, i, "ampm"))
            return true;
    }
    return false;
}

struct TDateParts {
    int year, month, day, hour, min, sec, msec, dow;
    bool hasTime;
};

void AppendFormatted(std::string& out, std::string_view f, const TDateParts& p, const TFormatSettings& fs,
                     int depth)
{
    if (depth > 2)
        return;  // a date format that names itself must not recurse forever
    bool afterHour = false;
    const bool twelve = HasAmPm(f, 0);
    std::size_t i = 0;
    while (i < f.size()) {
        const char c = f[i];
        const char lc = Lower(c);
        std::size_t run = 1;
        while (i + run < f.size() && Lower(f[i + run]) == lc)
            ++run;
        if (c == '\'' || c == '"') {
            const std::size_t end = f.find(c, i + 1);
            const std::size_t stop = end == std::string_view::npos ? f.size() : end;
            out.append(f.substr(i + 1, stop - i - 1));
            i = end == std::string_view::npos ? f.size() : end + 1;
            continue;
        }
        if (lc == 'a') {
            const bool pm = p.hour >= 12;
            if (StartsWithNoCase(f, i, "am/pm")) {
                const std::string_view word = f.substr(pm ? i + 3 : i, 2);
                out.append(word);
                i += 5;
            } else if (StartsWithNoCase(f, i, "a/p")) {
                out += f[pm ? i + 2 : i];
                i += 3;
            } else if (StartsWithNoCase(f, i, "ampm")) {
                out += pm ? fs.TimePMString : fs.TimeAMString;
                i += 4;
            } else {
                out += c;
                ++i;
            }
            continue;
        }
        switch (lc) {
        case 'c':
            AppendFormatted(out, fs.ShortDateFormat, p, fs, depth + 1);
            if (p.hasTime) {
                out += ' ';
                AppendFormatted(out, fs.LongTimeFormat, p, fs, depth + 1);
            }
            i += 1;
            continue;
        case 'd':
            if (run == 1) out += std::to_string(p.day);
            else if (run == 2) out += Pad(p.day, 2);
            else if (run == 3) out += fs.ShortDayNames[p.dow - 1];
            else if (run == 4) out += fs.LongDayNames[p.dow - 1];
            else if (run == 5) AppendFormatted(out, fs.ShortDateFormat, p, fs, depth + 1);
            else AppendFormatted(out, fs.LongDateFormat, p, fs, depth + 1);
            i += std::min<std::size_t>(run, 6);
            afterHour = false;
            continue;
        case 'm': {
            const std::size_t n = std::min<std::size_t>(run, 4);
            if (afterHour && n <= 2) {
                out += n == 1 ? std::to_string(p.min) : Pad(p.min, 2);
            } else if (n == 1) {
                out += std::to_string(p.month);
            } else if (n == 2) {
                out += Pad(p.month, 2);
            } else if (n == 3) {
                out += fs.ShortMonthNames[p.month - 1];
            } else {
                out += fs.LongMonthNames[p.month - 1];
            }
            i += n;
            afterHour = false;
            continue;
        }
        case 'y':
            out += run <= 2 ? Pad(p.year % 100, 2) : Pad(p.year, 4);
            i += run;
            afterHour = false;
            continue;
        case 'h': {
            int h = p.hour;
            if (twelve) {
                h %= 12;
                if (h == 0)
                    h = 12;
            }
            out += run == 1 ? std::to_string(h) : Pad(h, 2);
            i += std::min<std::size_t>(run, 2);
            afterHour = true;
            continue;
        }
        case 'n':
            out += run == 1 ? std::to_string(p.min) : Pad(p.min, 2);
            i += std::min<std::size_t>(run, 2);
            afterHour = false;
            continue;
        case 's':
            out += run == 1 ? std::to_string(p.sec) : Pad(p.sec, 2);
            i += std::min<std::size_t>(run, 2);
            afterHour = false;
            continue;
        case 'z':
            out += run >= 3 ? Pad(p.msec, 3) : std::to_string(p.msec);
            i += run >= 3 ? 3 : 1;
            afterHour = false;
            continue;
        case 't':
            AppendFormatted(out, run == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat, p, fs, depth + 1);
            i += std::min<std::size_t>(run, 2);
            continue;
        case '/':
            out += fs.DateSeparator;
            ++i;
            continue;
        case ':':
            out += fs.TimeSeparator;
            ++i;
            continue;
        default:
            out += c;
            ++i;
            continue;
        }
    }
}

}  // namespace

std::string FormatDateTime(std::string_view format, TDateTime dt, const TFormatSettings& settings)
{
    TDateParts p{};
    DecodeDateTime(dt, p.year, p.month, p.day, p.hour, p.min, p.sec, p.msec);
    p.dow = DayOfWeek(dt);
    p.hasTime = p.hour || p.min || p.sec || p.msec;
    std::string out;
    AppendFormatted(out, format.empty() ? std::string_view("c") : format, p, settings, 0);
    return out;
}

std::string FormatDateTime(std::string_view format, TDateTime dt)
{
    return FormatDateTime(format, dt, FormatSettings);
}

std::string DateTimeToStr(TDateTime dt) { return FormatDateTime("c", dt); }
std::string DateToStr(TDateTime dt) { return FormatDateTime("ddddd", dt); }
std::string TimeToStr(TDateTime dt) { return FormatDateTime("tt", dt); }

namespace {

// Milliseconds on a linear scale from 1899-12-30 00:00: day d's time of day
// counts forward from the start of that day, for negative days too.
std::int64_t LinearMs(TDateTime dt)
{
    std::int64_t days;
    std::int64_t ms;
    Split(dt, days, ms);
    return days * kMsPerDay + ms;
}

TDateTime FromLinearMs(std::int64_t t)
{
    const std::int64_t d = t >= 0 ? t / kMsPerDay : -((-t + kMsPerDay - 1) / kMsPerDay);
    return Combine(d, t - d * kMsPerDay);
}

}  // namespace

TDateTime IncMilliSecond(TDateTime dt, std::int64_t ms) { return FromLinearMs(LinearMs(dt) + ms); }

TDateTime IncSecond(TDateTime dt, std::int64_t seconds) { return IncMilliSecond(dt, seconds * 1000); }

std::int64_t MilliSecondsBetween(TDateTime a, TDateTime b)
{
    const std::int64_t d = LinearMs(a) - LinearMs(b);
    return d < 0 ? -d : d;
}

std::int64_t SecondsBetween(TDateTime a, TDateTime b) { return MilliSecondsBetween(a, b) / 1000; }

// ---------------------------------------------------------------------------
// Locale settings

std::string StrftimeToDateTimeFormat(std::string_view pattern, char dateSep, char timeSep)
{
    std::string out;
    std::string literal;
    auto flush = [&] {
        if (!literal.empty()) {
            out += '"' + literal + '"';
            literal.clear();
        }
    };
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c != '%' || i + 1 >= pattern.size()) {
            if (c == dateSep) {
                flush();
                out += '/';
            } else if (c == timeSep) {
                flush();
                out += ':';
            } else if (c == '"') {
                // A quote cannot appear inside our quoted text; drop it.
            } else {
                literal += c;
            }
            continue;
        }
        char d = pattern[++i];
        // Flags and field widths of the GNU extensions ("%-d", "%Ey") are ignored.
        while ((d == '-' || d == '_' || d == '0' || d == '^' || d == '#' || d == 'E' || d == 'O') &&
               i + 1 < pattern.size())
            d = pattern[++i];
        const char* rep = nullptr;
        switch (d) {
        case 'd': rep = "dd"; break;
        case 'e': rep = "d"; break;
        case 'm': rep = "mm"; break;
        case 'b': case 'h': rep = "mmm"; break;
        case 'B': rep = "mmmm"; break;
        case 'y': rep = "yy"; break;
        case 'Y': case 'G': rep = "yyyy"; break;
        case 'a': rep = "ddd"; break;
        case 'A': rep = "dddd"; break;
        case 'H': case 'I': rep = "hh"; break;
        case 'k': case 'l': rep = "h"; break;
        case 'M': rep = "nn"; break;
        case 'S': rep = "ss"; break;
        case 'p': case 'P': rep = "ampm"; break;
        case 'T': rep = "hh:nn:ss"; break;
        case 'R': rep = "hh:nn"; break;
        case 'D': rep = "mm/dd/yy"; break;
        case 'F': rep = "yyyy/mm/dd"; break;
        case 'r': rep = "hh:nn:ss ampm"; break;
        case '%': literal += '%'; continue;
        case 'n': case 't': literal += ' '; continue;
        default: continue;  // directives with no counterpart (time zone, week number) are left out
        }
        flush();
        out += rep;
    }
    flush();
    // Without an am/pm part the hours are on a 24-hour clock already.
    return out;
}

TFormatSettings GetLocaleFormatSettings(const std::string& localeName)
{
    TFormatSettings fs;
    locale_t loc = newlocale(LC_ALL_MASK, localeName.c_str(), static_cast<locale_t>(nullptr));
    if (!loc)
        return fs;
    auto info = [&](nl_item item) -> std::string {
        const char* v = nl_langinfo_l(item, loc);
        return v ? std::string(v) : std::string();
    };
    // Separators are single bytes here; a multi-byte one (a narrow no-break
    // space) falls back to the nearest ASCII character.
    auto sepChar = [](const std::string& v, char fallback) {
        if (v.size() == 1)
            return v[0];
        return v.empty() ? '\0' : fallback;
    };
    fs.DecimalSeparator = sepChar(info(RADIXCHAR), '.');
    if (fs.DecimalSeparator == '\0')
        fs.DecimalSeparator = '.';
    fs.ThousandSeparator = sepChar(info(THOUSEP), ' ');
    if (fs.ThousandSeparator == fs.DecimalSeparator)
        fs.ThousandSeparator = '\0';

    const std::string dateFmt = info(D_FMT);
    const std::string timeFmt = info(T_FMT);
    auto firstLiteral = [](const std::string& f, char fallback) {
        for (std::size_t i = 0; i < f.size(); ++i) {
            if (f[i] == '%') {
                ++i;
                continue;
            }
            if (!std::isalnum(static_cast<unsigned char>(f[i])) && f[i] != ' ')
                return f[i];
        }
        return fallback;
    };
    fs.DateSeparator = firstLiteral(dateFmt, '/');
    fs.TimeSeparator = firstLiteral(timeFmt, ':');
    if (!dateFmt.empty())
        fs.ShortDateFormat = StrftimeToDateTimeFormat(dateFmt, fs.DateSeparator, fs.TimeSeparator);
    if (!timeFmt.empty()) {
        fs.LongTimeFormat = StrftimeToDateTimeFormat(timeFmt, fs.DateSeparator, fs.TimeSeparator);
        // The short form is the long one without its seconds.
        std::string shortFmt = fs.LongTimeFormat;
        const std::size_t secs = shortFmt.find(":ss");
        if (secs != std::string::npos)
            shortFmt.erase(secs, 3);
        fs.ShortTimeFormat = shortFmt;
    }
    const std::string am = info(AM_STR);
    const std::string pm = info(PM_STR);
    if (!am.empty() && !pm.empty()) {
        fs.TimeAMString = am;
        fs.TimePMString = pm;
    }
    static const nl_item abmon[12] = {ABMON_1, ABMON_2, ABMON_3, ABMON_4, ABMON_5, ABMON_6,
                                      ABMON_7, ABMON_8, ABMON_9, ABMON_10, ABMON_11, ABMON_12};
    static const nl_item mon[12] = {MON_1, MON_2, MON_3, MON_4, MON_5, MON_6,
                                    MON_7, MON_8, MON_9, MON_10, MON_11, MON_12};
    static const nl_item abday[7] = {ABDAY_1, ABDAY_2, ABDAY_3, ABDAY_4, ABDAY_5, ABDAY_6, ABDAY_7};
    static const nl_item day[7] = {DAY_1, DAY_2, DAY_3, DAY_4, DAY_5, DAY_6, DAY_7};
    for (int i = 0; i < 12; ++i) {
        const std::string a = info(abmon[i]);
        const std::string l = info(mon[i]);
        if (!a.empty())
            fs.ShortMonthNames[i] = a;
        if (!l.empty())
            fs.LongMonthNames[i] = l;
    }
    for (int i = 0; i < 7; ++i) {
        const std::string a = info(abday[i]);
        const std::string l = info(day[i]);
        if (!a.empty())
            fs.ShortDayNames[i] = a;
        if (!l.empty())
            fs.LongDayNames[i] = l;
    }
    freelocale(loc);
    return fs;
}
