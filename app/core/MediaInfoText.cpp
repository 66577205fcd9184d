#include "app/core/MediaInfoText.h"

#include "app/core/ErrorReport.h"
#include "app/core/EventsLog.h"
#include "app/core/TimeText.h"
#include "app/core/Translation.h"

#include "engine/decoder/FFDecode.h"
#include "platform/rtl/Files.h"

#include <cmath>

std::string FrameRateText(int ANumerator, int ADenominator)
{
    if (ADenominator <= 0 || ANumerator < 0)
        return "";
    const double rate = static_cast<double>(ANumerator) / ADenominator;
    return std::to_string(static_cast<long long>(std::nearbyint(rate))) + " " + TranslateText("fps");
}

std::string BitRateText(int ABitRate)
{
    if (ABitRate <= 0)
        return TranslateText("is not preseted");
    return std::to_string(ABitRate / 1000) + " " + TranslateText("Kb");
}

bool ReadMediaInfo(TFFDecoder& ADecoder, const std::string& ASource, TMediaInfoTexts& ATexts)
{
    ATexts = TMediaInfoTexts{};
    if (!ADecoder.LoadFile(ASource)) {
        AddUntimedLogLine("");
        AddLogLine(TranslateText("File load error") + ": " + ADecoder.LastErrMsg());
        AddUntimedLogLine("");
        SendErrorReport(TranslateText("The information for this media is unavailable.") + ADecoder.LastErrMsg(),
                        "CLM_ProbeLoadFile");
        return false;
    }
    ATexts.FileName = ExtractFileName(ASource);
    ATexts.Length = FormatMicroseconds(std::max<std::int64_t>(ADecoder.FileStreamInfo().Duration, 0));
    try {
        for (int s = 0; s < ADecoder.StreamCount(); ++s) {
            if (ADecoder.IsVideoStream(s)) {
                TVideoStreamInfo v;
                if (!ADecoder.GetVideoStreamInfo(s, v))
                    continue;
                ATexts.Resolution = std::to_string(v.Width) + "x" + std::to_string(v.Height);
                ATexts.VideoBitRate = BitRateText(v.BitRate);
                ATexts.FrameRate = FrameRateText(v.FrameRate.num, v.FrameRate.den);
            } else if (ADecoder.IsAudioStream(s)) {
                TAudioStreamInfo a;
                if (!ADecoder.GetAudioStreamInfo(s, a))
                    continue;
                ATexts.SampleRate = std::to_string(a.SampleRate) + " " + TranslateText("Hz");
                ATexts.Channels = std::to_string(a.Channels) + " " + TranslateText("channel");
                ATexts.AudioBitRate = BitRateText(a.BitRate);
            }
        }
    } catch (const std::exception&) {
        SendErrorReport(TranslateText("Error writing file info"), "CLM_WriteFileInfo");
    }
    return true;
}
