#pragma once
// The texts of "Properties" for a file item, read afresh from the file: the
// values the properties window shows next to its captions.
#include <string>

class TFFDecoder;
struct AVRational;

struct TMediaInfoTexts {
    std::string FileName, Length;                               // "File name:", "Video Length:"
    std::string Resolution, VideoBitRate, FrameRate;            // group "Video"
    std::string SampleRate, Channels, AudioBitRate;             // group "Audio"
};

// "<n> fps": the rate rounded to whole frames, halves to even; "" when the
// rate is unknown (no denominator).
std::string FrameRateText(int ANumerator, int ADenominator);
// "<kb> Kb", or "is not preseted" when the rate is 0 or less.
std::string BitRateText(int ABitRate);

// Opens ASource on the decoder and fills the texts (the last video and the
// last audio stream win). On failure: the events-log lines and the error
// report, and false; the window is not shown then.
bool ReadMediaInfo(TFFDecoder& ADecoder, const std::string& ASource, TMediaInfoTexts& ATexts);
