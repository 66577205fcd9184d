#pragma once
// Texts the engine makes of FFmpeg values: error codes, time stamps, frame
// durations, the local time zone, metadata lookups and the names of codecs,
// media types and picture types. Used by the decoder, the player, the
// previewer, the option machinery and the transcoder.
#include <cstdint>
#include <string>

extern "C" {
#include <libavutil/rational.h>
}

struct AVDictionary;
struct AVCodecParameters;

// Prefix, ": " and the code's text.
std::string ErrorCodeText(const std::string& APrefix, int ACode);
// The text of a (negative) FFmpeg or system error code alone.
std::string ErrorCodeMessage(int ACode);
// "%.2d:%.2d:%.2d.%.3d" (hours not wrapped), "N/A" for AV_NOPTS_VALUE.
std::string TimestampText(int64_t AMicroseconds);
// AValue in ATimeBase as seconds with six decimals ("%d.%.6d"), keeping the
// sign of values between -1 and 0; empty for AV_NOPTS_VALUE.
std::string DecimalTimestampText(int64_t AValue, AVRational ATimeBase);
// AValue in ATimeBase as TimestampText.
std::string StreamTimestampText(AVRational ATimeBase, int64_t AValue);
// Microseconds per frame; 40000 when a term is 0.
int64_t FrameDurationFromRate(AVRational ARate);
// "UTC", or "UTC" with the sign of the standard bias (UTC minus local time)
// and "%.2d:%.2d".
std::string TimeZoneText();
// The negated standard bias in days.
double LocalTimeOffset();
// Local date-time (days since 30 December 1899) of a Unix time.
double UnixTimeToLocal(int64_t ASeconds);
// The dictionary's value for AKey, or ADefault.
std::string MetadataValue(const AVDictionary* ADict, const std::string& AKey, const std::string& ADefault = "");
// The codec's short name with its long name, "mpeg2ts", or the codec tag.
std::string CodecDescriptionText(const AVCodecParameters* APar, bool AEncoder);
std::string MediaTypeText(int AType);
std::string PictureTypeText(int AType);
