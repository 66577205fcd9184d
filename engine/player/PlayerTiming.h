#pragma once
// The player's timing and sample arithmetic, free of threads and libraries:
// the picture delay against the master clock, the nominal picture duration,
// where a picture is drawn in its display area, how far an audio block may be
// shortened towards a video master clock, and the output volume.
#include <cstdint>
#include <string>

#include "platform/rtl/Types.h"

// Delay before the next picture, given the nominal one (ADelay) and the
// difference video clock - master clock (ADiff, seconds). With ASync False
// (the video is the master) the delay stays.
double ComputeTargetDelay(double ADelay, double ADiff, bool ASync);

// Seconds per picture of a video stream. AForced is a frame rate text ("25",
// "30000/1001") or empty; ADecoderRate the decoder's frame rate and
// AContainerRate the stream's (num/den, 0 when unknown). Picks the forced
// rate, else with AAutoAdjust the container's when the two differ, else the
// decoder's, else the container's, else 25 per second. ALog gets the line to
// log, or stays empty.
struct TRateQ {
    int num = 0, den = 0;
};
double ChooseFrameDelay(int AStreamIndex, const std::string& AForced, bool AAutoAdjust, TRateQ ADecoderRate,
                        TRateQ AContainerRate, std::string& ALog);
// A frame rate text as num/den; False when it is not one.
bool ParseFrameRateText(const std::string& AText, TRateQ& ARate);

// Where a picture of APicWidth x APicHeight with sample aspect ASar (0 when
// unknown) is drawn inside AArea. AAspect < 0 fills the area, > 0 forces that
// display aspect, 0 uses the picture's own.
TRect PictureDisplayRect(const TRect& AArea, float AAspect, int APicWidth, int APicHeight, double ASar);

// A rectangle in the display area's coordinates (drawn by the user over the
// picture, in any direction) as the matching rectangle in picture pixels:
// normalised, clipped to ADisplay (where the picture is drawn), moved to its
// origin and scaled to AFrameWidth x AFrameHeight. A side of ADisplay that is
// not positive leaves that direction unscaled.
TRect DisplayToPictureRect(const TRect& ARect, const TRect& ADisplay, int AFrameWidth, int AFrameHeight);

// The size (bytes) an audio block of ASize bytes is cut to when the audio
// clock runs ADiff seconds ahead of (negative: behind) the master; AFrameBytes
// bytes per sample frame. A block is never lengthened and never cut by more
// than a tenth.
int CorrectedAudioSize(int ASize, double ADiff, int ARate, int AFrameBytes, int AMaxSize);

// Running average of the audio clock's difference to the master clock.
struct TAudioDiffAverage {
    double Cum = 0;
    double Coef = 0.7943282347242815;  // 10^(log10(0.01) / 20)
    double Threshold = 0;             // seconds (two device buffers)
    int Count = 0;
    // Adds one measure; True with AAvg set once enough measures were taken
    // and the average is beyond the threshold. Differences of 10 s or more
    // (or not a number) start over.
    bool Add(double ADiff, double& AAvg);
};

// Signed 16-bit samples from ASrc into ADst at AVolume (0..128): 128 copies,
// 0 or AMute writes silence, otherwise each sample is scaled by AVolume/128
// (truncating toward zero) and saturated.
void MixSamples(int16_t* ADst, const int16_t* ASrc, int ACount, int AVolume, bool AMute);
