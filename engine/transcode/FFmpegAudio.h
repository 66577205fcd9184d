#pragma once
// The audio path of a conversion task: a decoded frame goes to the audio
// hook (always as interleaved samples: planar frames are interleaved into a
// reused buffer for the hook and written back), gets the -vol gain, is converted by the resampler
// to the encoder's format, rate and channel layout (with the -map_channel
// routing), queued in an audio FIFO that keeps every plane, and cut into
// the encoder's frame size with continuous sample time stamps.
//
// Data comes from the loop (decoded audio frames of one input stream); it
// goes to the writer as encoded packets. What can go wrong: a resampler that
// cannot be built, a volume on a sample
// format without a rule, an encoder that refuses a frame (FFmpegException).
#include "engine/transcode/FFmpegRecords.h"

#include "engine/transcode/StageState.h"

class TCustomFFmpeg;

// The audio path's own state (FFmpegAudio.cpp): the buffer of interleaved
// samples the audio hook sees, the work buffer samples are converted into and
// the frame handed to the encoder; all grown only and reused from frame to
// frame.

// Hands the decoded samples of every channel to the task's audio hook, which
// may change them; the sample format given is the packed one.
void audio_hook(TCustomFFmpeg& Self, TInputStream& AIst, AVFrame* AFrame);
void do_audio_out(TCustomFFmpeg& Self, TOutputStream& AOst, TInputStream& AIst, AVFrame* AFrame);
// Applies the -vol gain (256 = unchanged) to every plane of the frame.
void ApplyVolume(TCustomFFmpeg& Self, AVFrame* AFrame, int AVolume);
// Plane pointers into the task's audio work buffer, room for ASamples samples
// of the encoder's format and channels; grown only, valid until the next call.
uint8_t** AudioWorkPlanes(TCustomFFmpeg& Self, const AVCodecContext* AEnc, int ASamples);
// Encodes what is left in the FIFO (a short last frame) and drains.
void flush_audio(TCustomFFmpeg& Self, TOutputStream& AOst);
