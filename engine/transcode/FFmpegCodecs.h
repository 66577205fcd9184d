#pragma once
// Codecs chosen by name and the checks every set-up runs on what a library
// component was given: the input set-up (demuxers, forced decoders), the
// output streams (encoders, -tag) and the transcode set-up (opened codecs).
//
// Data comes from option texts and the libraries' codec lists; nothing is
// kept. What can go wrong: an unknown codec or one of the wrong media type,
// an option no component used, an experimental codec without "-strict
// experimental" (FFmpegException; an unused option only sets LastErrMsg
// when the task does not halt on invalid options).
#include <cstdint>

#include "engine/transcode/FFmpegRecords.h"

class TCustomFFmpeg;

// The encoder or decoder of that name; fatal "Unknown %s '%s'" and
// "Invalid %s type '%s'".
const AVCodec* FindCodecByName(TCustomFFmpeg& Self, const char* AName, AVMediaType AType, bool AEncoder);
// The four-character code of a -tag text (a C integer, or up to four
// characters, first in the lowest byte).
uint32_t CodecTagFromText(const char* AText);
// Empty: returns. Otherwise "Option %s not found.": fatal when halting,
// else only LastErrMsg.
void AssertNoUnusedOptions(TCustomFFmpeg& Self, const AVDictionary* ADict);
void CheckExperimentalCodec(TCustomFFmpeg& Self, const AVCodecContext* ACtx, bool AEncoder);
