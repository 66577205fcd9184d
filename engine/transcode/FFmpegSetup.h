#pragma once
// The transcode set-up, the first step of every conversion: for each output
// stream it decides between stream copy and decoding + encoding, fills the
// encoder's parameters from the input and the options (sample format and
// rate, channel layout, pixel format, frame rate the encoder supports),
// builds the video filter chains, opens decoders and encoders, writes the
// headers and logs "Stream mapping:".
//
// Data comes from the task's records; it goes to the opened codec contexts,
// the muxer streams' parameters and the output files' headers. What can go
// wrong: a copy that a hook or -vol needs decoded, a missing or refusing
// encoder or decoder, filters libavfilter refuses, two-pass logs that cannot
// be read or written, a header the muxer refuses: a negative result with the
// text in LastErrMsg (codec and header errors are logged after the mapping
// lines); experimental codecs and unused codec options raise FFmpegException.
#include <string>

#include "engine/transcode/FFmpegRecords.h"

class TCustomFFmpeg;

void pick_sample_format(TCustomFFmpeg& Self, TOutputStream& AOst, const AVCodec* AEnc);
void pick_sample_rate(TCustomFFmpeg& Self, TOutputStream& AOst, const AVCodec* AEnc);
void pick_pixel_format(TCustomFFmpeg& Self, TOutputStream& AOst, const AVCodec* AEnc);
// The name of a two-pass statistics file of an output stream.
std::string PassLogFileName(const TCustomFFmpeg& Self, const TOutputStream& AOst);
