#pragma once
// The video path of a conversion task: a decoded picture gets its time stamp
// in microseconds, runs the input frame hook, goes through the stream's
// filter chain (libavfilter segments and the engine's frame stages), and
// each filtered picture is duplicated or dropped to keep the output frame
// rate before it is encoded.
//
// What can go wrong: the filter graph refuses a frame, an engine stage or
// the encoder fails (FFmpegException).
#include "engine/FFmpeg.h"

// One decoded picture (null: the end of the input) for one output stream.
void do_video_out(TCustomFFmpeg& Self, TOutputStream& AOst, TInputStream& AIst, AVFrame* AFrame);
