#pragma once
// The trim window's bar: where the two trim handles and the line between
// them sit for a start and an end time, and what each command does to them.
// The handles' Left runs from 10 (time 0) to the bar's width + 10 (the end of
// the file); the bar's value runs 0..1000. Times are microseconds.
#include <cstdint>
#include <optional>
#include <string>

struct TMediaFile;

class TTrimBar {
public:
    static constexpr int kBarWidth = 464;
    static constexpr int kMaxValue = 1000;
    static constexpr int kHandleWidth = 12;
    // Left of a handle at time 0; the end of the file is at width + kOrigin.
    static constexpr int kOrigin = 10;
    // How far apart the handles are drawn when start and end meet.
    static constexpr int kCollapsedGap = 11;

    explicit TTrimBar(int ABarWidth = kBarWidth) : FBarWidth(ABarWidth) {}

    // The conversions (64-bit integer arithmetic; 0 when the length is unknown).
    int TimeToHandle(std::int64_t AMicroseconds) const;
    std::int64_t HandleToTime(int ALeft) const;
    int BarValueToHandle(int AValue) const;
    int PositionToBarValue(std::int64_t APosition) const;
    std::int64_t BarValueToTime(int AValue) const;

    // The window shows an item: its times, then the length the player found.
    void Show(std::int64_t ATimeStart, std::int64_t ATimeEnd, std::int64_t ADuration);
    // "Set start" / "Set end" at the last position the player reported, the
    // bar showing ABarValue.
    void SetStartAtPosition(std::int64_t APosition, int ABarValue);
    void SetEndAtPosition(std::int64_t APosition, int ABarValue);
    // A time typed into the start or end edit (not clamped to the length).
    void TypeStart(std::int64_t AMicroseconds);
    void TypeEnd(std::int64_t AMicroseconds);
    void Reset();

    // Dragging: a handle's proposed Left is taken only inside the bar and on
    // its own side of the other handle; false leaves it where it was.
    bool DragLeftHandle(int ANewLeft);
    bool DragRightHandle(int ANewLeft);
    // The mouse let go: the handle's time becomes the start or end; returns
    // that time (where the player seeks).
    std::int64_t ReleaseLeftHandle();
    std::int64_t ReleaseRightHandle();

    // OK: an empty text when the times may be written, else why not (an end
    // not after the start would convert nothing).
    std::string CheckTimes() const;
    // Writes the times into the item; false (nothing written) when CheckTimes
    // refuses them.
    bool WriteTo(TMediaFile& AItem) const;

    std::int64_t Duration() const { return FDuration; }
    std::int64_t TrimStart() const { return FTrimStart; }
    std::int64_t TrimEnd() const { return FTrimEnd; }
    const std::string& StartText() const { return FStartText; }
    const std::string& EndText() const { return FEndText; }
    int LeftHandle() const { return FLeft; }
    int RightHandle() const { return FRight; }
    int LineLeft() const { return FLineLeft; }
    int LineWidth() const { return FLineWidth; }
    int BarWidth() const { return FBarWidth; }

private:
    void SetTrimStart(std::int64_t AMicroseconds);
    void SetTrimEnd(std::int64_t AMicroseconds);
    void LayoutLine();

    int FBarWidth;
    std::int64_t FDuration = 0;
    std::int64_t FTrimStart = 0, FTrimEnd = 0;
    std::string FStartText = "00:00:00", FEndText = "00:00:00";
    int FLeft = kOrigin, FRight = kOrigin + kBarWidth;
    int FLineLeft = 0, FLineWidth = 0;
};

// A time typed as "hh:mm:ss" (a time of day) in microseconds, or nothing
// when the text is no such time.
std::optional<std::int64_t> ParseTrimTime(const std::string& AText);
// The conversion message for a text that is no time.
std::string InvalidTimeMessage(const std::string& AText);
// The message OK shows when the end is not after the start.
inline constexpr const char* kTrimEndNotAfterStart = "The end time must be after the start time.";
