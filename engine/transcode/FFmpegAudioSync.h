#pragma once
// Keeping a task's audio in step with its input's time stamps (-async): an
// output stream's audio is measured against where the input says the frame
// belongs. A late start or a gap is filled with silence, audio that comes
// too early is dropped from the frame's front (beyond the drift threshold,
// or at the stream's start), and with -async above 1 a small drift is
// stretched or squeezed away by the resampler, by at most that many samples
// at a time. Without -async the samples are only counted.
//
// Data: the decoded frame (input format) before the resampler; the silence
// is counted here and put into the stream's FIFO by the audio path. A gap of
// absurd length (a broken time stamp) is filled at most a minute per frame.
#include "engine/transcode/FFmpegRecords.h"

class TCustomFFmpeg;

// For output stream AOst and the frame AFrame of input stream AIst, whose
// first ASkip samples are already left out: the number of samples to leave
// out from the frame's front (at least ASkip), or -1 when the whole frame
// is dropped. ASilence: the samples of silence the audio path puts into the
// FIFO before the frame (0: none); a resampler compensation is set here.
int SyncAudio(TCustomFFmpeg& Self, TOutputStream& AOst, TInputStream& AIst, const AVFrame* AFrame, int ASkip,
              int& ASilence);
