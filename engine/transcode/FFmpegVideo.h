#pragma once
// The video path of a conversion task: a decoded picture gets its time stamp
// in microseconds, is deinterlaced (-deinterlace) and runs the input hooks
// (the raw-picture hook, the bitmap hook, the -vhook libraries), goes
// through the stream's filter chain (libavfilter segments and the engine's
// frame stages), and each filtered picture is duplicated or dropped to keep
// the output frame rate; every picture to encode runs the output hooks and
// the post hooks (preview window, preview bitmaps) before it is encoded.
//
// The hooks see a copy of the picture in a buffer of the task that is reused
// from frame to frame (the decoder's own pictures may be references of
// later ones); nothing is copied or converted while no hook is set. Bitmap
// hooks convert through the task's two format converters, which keep their
// bitmaps and scaling contexts. The post hooks read their set under the
// post-hook lock but never hold it while the preview waits for the main
// thread, so the main thread may change Preview at any time.
//
// What can go wrong: the filter graph refuses a frame, an engine stage or
// the encoder fails (FFmpegException). A hook that raises, or a picture the
// converters cannot take, is logged; the frame goes on unchanged.
#include "engine/transcode/FFmpegRecords.h"

#include <string>
#include <vector>

#include "engine/transcode/StageState.h"

class TCustomFFmpeg;

// The video path's own state (FFmpegVideo.cpp): the hook chain, the hook
// pictures and converters, the post hooks' preview and the dup/drop counts.

// Counts a decoded picture and runs the deinterlacer and the input hooks on
// it (its planes may then be the task's hook buffer).
void pre_process_video_frame(TCustomFFmpeg& Self, TInputStream& AIst, AVFrame* AFrame);
// One decoded picture (null: the end of the input) for one output stream.
void do_video_out(TCustomFFmpeg& Self, TOutputStream& AOst, TInputStream& AIst, AVFrame* AFrame);
// Frees the task's frame-hook chain, hook pictures and preview window.
void release_video_hooks(TCustomFFmpeg& Self);
// -vhook: loads a hook library into the chain; negative with AReason.
int add_frame_hook(TCustomFFmpeg& Self, const std::vector<std::string>& AWords, std::string* AReason);
// The depth of the bitmaps the bitmap hooks see (8, 15, 16, 24, 32).
void set_hook_bits_pixel(TCustomFFmpeg& Self, int ABitsPixel);
// Frames duplicated and dropped so far; AShow: whether one was since the
// last call.
void video_dup_drop(TCustomFFmpeg& Self, int& ADup, int& ADrop, bool& AShow);
