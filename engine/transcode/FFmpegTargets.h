#pragma once
// The -target presets: one word fills in what a disc or tape format needs
// (codecs, container, frame size and rate, bit rates, buffer and packet
// sizes) for Video CD, Super Video CD, DVD and DV. The norm comes from a
// "pal-", "ntsc-" or "film-" prefix or else from the frame rate of the task's
// first decisive video input; later options in the same text override.
//
// 5.1 spells some settings as private options of the MPEG encoders and
// muxers ("scan_offset", "muxrate", "preload"); they reach the task's codec
// and format dictionaries by name through opt_default.
#include "engine/transcode/FFmpegOptions.h"

// The handler of the "target" row: 0, or -22 for an unknown target. A
// missing norm is fatal (FFmpegException).
int ApplyTarget(TFFmpegOptions& Task, TOptionsContext& Ctx, const char* Word, const char* Arg);
