#pragma once
// The video filter chain between one decoded input stream and one encoder:
// the transcoder's records turned into a TVideoFilterChain (FilterChain).
//
// Data comes from the decoder of one input stream (decoded pictures, through
// the video path's input hooks); it goes to the video path, which hands each
// filtered picture to the encoder. What can go wrong: a text libavfilter
// refuses (its error code comes back), an engine filter that is not available
// or given wrong arguments (the chain's LastError says which).
#include "engine/filters/FilterChain.h"
#include "engine/transcode/FFmpegRecords.h"

class TCustomFFmpeg;

// Builds the stream's filter chain from the -vf text, the decoder's picture,
// the encoder's size and format and the stream's scaler flags, and fixes the
// encoder's frame size and sample aspect ratio; 0 or the negative error of
// the step that failed (with the chain's LastError set when the engine made
// the message).
int ConfigureVideoFilters(TCustomFFmpeg& Self, TInputStream& AIst, TOutputStream& AOst);
