#include "app/core/Recording.h"

#include "engine/common/LiveValues.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace {

std::string TwoDigits(int v)
{
    std::string s = std::to_string(v);
    return s.size() == 1 ? "0" + s : s;
}

// Replaces every occurrence of AKey (compared without letter case).
void ReplaceAllNoCase(std::string& AText, const std::string& AKey, const std::string& AValue)
{
    const auto lower = [](std::string s) {
        std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
        return s;
    };
    const std::string key = lower(AKey);
    std::string folded = lower(AText);
    std::size_t pos = 0;
    while ((pos = folded.find(key, pos)) != std::string::npos) {
        AText.replace(pos, key.size(), AValue);
        folded.replace(pos, key.size(), AValue);
        pos += AValue.size();
    }
}

int EvenSize(int v)
{
    return v % 2 != 0 ? v - 1 : v;
}

}  // namespace

std::string ExpandDateTemplate(const std::string& ATemplate, TDateTime AWhen)
{
    int year, month, day, hour, minute, second, ms;
    DecodeDateTime(AWhen, year, month, day, hour, minute, second, ms);
    std::string text = ATemplate;
    ReplaceAllNoCase(text, "[Year]", std::to_string(year));
    ReplaceAllNoCase(text, "[Month]", TwoDigits(month));
    ReplaceAllNoCase(text, "[Day]", TwoDigits(day));
    ReplaceAllNoCase(text, "[Hour]", TwoDigits(hour));
    ReplaceAllNoCase(text, "[Minute]", TwoDigits(minute));
    ReplaceAllNoCase(text, "[Second]", TwoDigits(second));
    return text;
}

std::string ExpandDateTemplate(const std::string& ATemplate)
{
    return ExpandDateTemplate(ATemplate, Now());
}

std::string RecordingFileName(const std::string& AFolder, const std::string& ARecordWord, TDateTime AWhen)
{
    std::string folder = AFolder;
    if (!folder.empty() && folder.back() == '/')
        folder.pop_back();
    return folder + "/" + ARecordWord +
           ExpandDateTemplate("[Year]-[Month]-[Day], [Hour]_[Minute]_[Second]", AWhen) + ".mp4";
}

TCaptureRegion RegionFromSelection(const TCaptureRegion& ASelection)
{
    TCaptureRegion r = ASelection;
    if (r.Width > 2 && r.Width % 2 != 0)
        --r.Width;
    if (r.Height > 2 && r.Height % 2 != 0)
        --r.Height;
    r.Width = std::max(r.Width, 64);
    r.Height = std::max(r.Height, 64);
    return r;
}

std::string VideoInputOptions(TCaptureSource ASource, const TCaptureRegion& ARegion, bool ACaptureCursor)
{
    const std::string cursor = ACaptureCursor ? "+cursor" : "-cursor";
    const std::string size = std::to_string(ARegion.Width) + "," + std::to_string(ARegion.Height);
    switch (ASource) {
    case TCaptureSource::WholeScreen:
        return "-f screencapture -input_type desktop -capture_offset 0,0 -s " + size +
               " -r 5 -capture_flags +showframe+client" + cursor;
    case TCaptureSource::PartOfScreen:
        return "-f screencapture -input_type desktop -capture_offset " + std::to_string(ARegion.Left) + "," +
               std::to_string(ARegion.Top) + " -s " + size + " -r 5 -capture_flags +showframe+client" + cursor;
    case TCaptureSource::Webcam:
        break;
    }
    return "-f vfwcapture -r 15";
}

std::string SoundInputOptions(std::int32_t APauseHandle)
{
    return "-f wavecapture -pause_pointer " + std::to_string(APauseHandle) + " -ar 8000 -ac 2 -sample_fmt s16";
}

std::string RecordingOutputOptions(TCaptureSource ASource, const TCaptureRegion& ARegion, bool ARecordAudio)
{
    std::string text;
    if (ASource == TCaptureSource::PartOfScreen)
        text = "-c:v libx264 -preset ultrafast -r 5";
    else
        text = "-c:v libx264 -preset ultrafast -s " + std::to_string(EvenSize(ARegion.Width)) + "x" +
               std::to_string(EvenSize(ARegion.Height)) + " -r 5";
    // FFmpeg's own AAC encoder: an encoder that is not built in would make
    // every recording with sound fail.
    text += ARecordAudio ? " -c:a aac -b:a 128k -ar 44100" : " -an";
    return text;
}

TRecorderPauseFlag::TRecorderPauseFlag() : FHandle(RegisterLiveValue(0)) {}

TRecorderPauseFlag::~TRecorderPauseFlag()
{
    UnregisterLiveValue(FHandle);
}

void TRecorderPauseFlag::Set(bool APaused)
{
    if (auto cell = FindLiveValue(FHandle))
        cell->store(APaused ? 1 : 0);
}

bool TRecorderPauseFlag::Paused() const
{
    const auto cell = FindLiveValue(FHandle);
    return cell && cell->load() != 0;
}

THotKeyAction HotKeyAction(int AHotKey, TRecorderState AState)
{
    if (AHotKey == 1) {
        if (AState == TRecorderState::Recording)
            return THotKeyAction::Pause;
        if (AState == TRecorderState::Paused)
            return THotKeyAction::Resume;
    } else if (AHotKey == 2 && AState != TRecorderState::Idle) {
        return THotKeyAction::Stop;
    }
    return THotKeyAction::None;
}

void TAreaSelection::MouseDown(int X, int Y)
{
    FX1 = FX2 = X;
    FY1 = FY2 = Y;
    FSelecting = true;
    FRegionOK = false;
    FMoved = false;
}

void TAreaSelection::MouseMove(int X, int Y)
{
    if (!FSelecting)
        return;
    FX2 = X;
    FY2 = Y;
    FMoved = true;
    FRegionOK = true;
}

bool TAreaSelection::MouseUp(int X, int Y)
{
    if (!FSelecting)
        return false;
    if (FMoved) {
        FX2 = X;
        FY2 = Y;
    }
    FSelecting = false;
    // A click, or a line without width or height, keeps the window for
    // another try.
    if (!FMoved || FX1 == FX2 || FY1 == FY2) {
        FRegionOK = false;
        return false;
    }
    FRegionOK = true;
    return true;
}

TCaptureRegion TAreaSelection::Region() const
{
    return {std::min(FX1, FX2), std::min(FY1, FY2), std::abs(FX2 - FX1), std::abs(FY2 - FY1)};
}

std::string TAreaSelection::HintText(int X, int Y, const std::string& ASelectedArea,
                                     const std::string& AHoldDown) const
{
    std::string text = "X: " + std::to_string(X) + " Y: " + std::to_string(Y);
    const TCaptureRegion r = Region();
    if (r.Width != 0 && r.Height != 0)
        text += "\n\r" + ASelectedArea + " : " + std::to_string(r.Width) + " x " + std::to_string(r.Height);
    text += "\n\r----------------------------------------\n\r" + AHoldDown;
    return text;
}
