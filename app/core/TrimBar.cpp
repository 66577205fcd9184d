#include "app/core/TrimBar.h"

#include "app/core/AppData.h"
#include "app/core/TimeText.h"
#include "platform/rtl/Checked.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cctype>

namespace {

// t x a / b without overflow for any 64-bit time.
std::int64_t MulDiv64(std::int64_t t, std::int64_t a, std::int64_t b)
{
    return static_cast<std::int64_t>(static_cast<__int128>(t) * a / b);
}

}  // namespace

int TTrimBar::TimeToHandle(std::int64_t AMicroseconds) const
{
    if (FDuration <= 0)
        return kOrigin;
    const std::int64_t value = MulDiv64(AMicroseconds, kMaxValue, FDuration);
    return static_cast<int>(MulDiv64(value, FBarWidth, 1000) + kOrigin);
}

std::int64_t TTrimBar::HandleToTime(int ALeft) const
{
    const std::int64_t value = Round(static_cast<double>(ALeft - kOrigin) * 1000.0 / FBarWidth);
    return MulDiv64(FDuration, value, kMaxValue);
}

int TTrimBar::BarValueToHandle(int AValue) const
{
    return static_cast<int>(static_cast<std::int64_t>(FBarWidth) * AValue / 1000 + kOrigin);
}

int TTrimBar::PositionToBarValue(std::int64_t APosition) const
{
    if (FDuration <= 0 || APosition < 0)
        return 0;
    return static_cast<int>(MulDiv64(APosition, kMaxValue, FDuration));
}

std::int64_t TTrimBar::BarValueToTime(int AValue) const
{
    return MulDiv64(FDuration, AValue, kMaxValue);
}

void TTrimBar::SetTrimStart(std::int64_t AMicroseconds)
{
    FTrimStart = AMicroseconds;
    FStartText = FormatMicroseconds(AMicroseconds);
}

void TTrimBar::SetTrimEnd(std::int64_t AMicroseconds)
{
    FTrimEnd = AMicroseconds;
    FEndText = FormatMicroseconds(AMicroseconds);
}

// The line joins the handles' inner edges; handles that meet draw none.
void TTrimBar::LayoutLine()
{
    FLineLeft = FLeft + kHandleWidth / 2 + 6;
    FLineWidth = std::max(0, FRight + kHandleWidth / 2 - FLineLeft - 6);
}

void TTrimBar::Show(std::int64_t ATimeStart, std::int64_t ATimeEnd, std::int64_t ADuration)
{
    SetTrimStart(ATimeStart);
    SetTrimEnd(ATimeEnd);
    FDuration = ADuration;
    FLeft = TimeToHandle(FTrimStart);
    if (FTrimStart >= FTrimEnd) {
        FRight = FLeft;
        FLeft -= kCollapsedGap;
    }
    FRight = TimeToHandle(FTrimEnd);
    if (FTrimEnd <= FTrimStart) {
        FLeft = FRight;
        FRight += kCollapsedGap;
    }
    LayoutLine();
}

void TTrimBar::SetStartAtPosition(std::int64_t APosition, int ABarValue)
{
    SetTrimStart(APosition);
    FLeft = BarValueToHandle(ABarValue);
    LayoutLine();
    if (FTrimStart >= FTrimEnd) {
        SetTrimEnd(APosition);
        FRight = BarValueToHandle(ABarValue);
        FLeft = FRight - kCollapsedGap;
        FLineWidth = 0;
    }
}

void TTrimBar::SetEndAtPosition(std::int64_t APosition, int ABarValue)
{
    SetTrimEnd(APosition);
    FRight = BarValueToHandle(ABarValue);
    LayoutLine();
    if (FTrimEnd <= FTrimStart) {
        SetTrimStart(APosition);
        FLeft = BarValueToHandle(ABarValue);
        FRight = FLeft + kCollapsedGap;
        FLineWidth = 0;
    }
}

void TTrimBar::TypeStart(std::int64_t AMicroseconds)
{
    SetTrimStart(AMicroseconds);
    FLeft = TimeToHandle(AMicroseconds);
    if (FTrimStart >= FTrimEnd) {
        SetTrimEnd(FTrimStart);
        FRight = FLeft;
        FLeft -= kCollapsedGap;
    }
    LayoutLine();
}

void TTrimBar::TypeEnd(std::int64_t AMicroseconds)
{
    SetTrimEnd(AMicroseconds);
    FRight = TimeToHandle(AMicroseconds);
    if (FTrimStart >= FTrimEnd) {
        SetTrimStart(FTrimEnd);
        FLeft = FRight;
        FRight += kCollapsedGap;
    }
    LayoutLine();
}

void TTrimBar::Reset()
{
    FLeft = kOrigin;
    FRight = FBarWidth + kOrigin;
    LayoutLine();
    SetTrimStart(0);
    SetTrimEnd(FDuration);
}

bool TTrimBar::DragLeftHandle(int ANewLeft)
{
    if (ANewLeft < kOrigin + 1 || ANewLeft >= FBarWidth + kOrigin || ANewLeft >= FRight)
        return false;
    FLeft = ANewLeft;
    LayoutLine();
    return true;
}

bool TTrimBar::DragRightHandle(int ANewLeft)
{
    if (ANewLeft < kOrigin + 1 || ANewLeft >= FBarWidth + kOrigin || ANewLeft <= FLeft)
        return false;
    FRight = ANewLeft;
    LayoutLine();
    return true;
}

std::int64_t TTrimBar::ReleaseLeftHandle()
{
    const std::int64_t t = HandleToTime(FLeft);
    SetTrimStart(t);
    return t;
}

std::int64_t TTrimBar::ReleaseRightHandle()
{
    const std::int64_t t = HandleToTime(FRight);
    SetTrimEnd(t);
    return t;
}

std::string TTrimBar::CheckTimes() const
{
    return FTrimEnd > FTrimStart ? std::string() : std::string(kTrimEndNotAfterStart);
}

bool TTrimBar::WriteTo(TMediaFile& AItem) const
{
    if (!CheckTimes().empty())
        return false;
    AItem.TimeStart = FTrimStart;
    AItem.TimeEnd = FTrimEnd;
    AItem.TrimmedLength = FTrimEnd - FTrimStart;
    return true;
}

std::optional<std::int64_t> ParseTrimTime(const std::string& AText)
{
    const std::string text = Trim(AText);
    int fields[3] = {0, 0, 0};
    int count = 0;
    std::size_t i = 0;
    while (count < 3) {
        std::size_t digits = 0;
        int value = 0;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) && digits < 3) {
            value = value * 10 + (text[i] - '0');
            ++i;
            ++digits;
        }
        if (digits == 0)
            return std::nullopt;
        fields[count++] = value;
        if (count < 3) {
            if (i >= text.size() || text[i] != ':')
                return std::nullopt;
            ++i;
        }
    }
    if (i != text.size() || fields[0] > 23 || fields[1] > 59 || fields[2] > 59)
        return std::nullopt;
    return (static_cast<std::int64_t>(fields[0]) * 3600 + fields[1] * 60 + fields[2]) * 1000000;
}

std::string InvalidTimeMessage(const std::string& AText)
{
    return "'" + AText + "' is not a valid time";
}
