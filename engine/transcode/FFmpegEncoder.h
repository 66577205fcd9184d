#pragma once
// The encoder stage of a conversion task: frames from the audio and video
// paths go to their stream's encoder, and each packet it gives back is
// counted (the report's sizes, the two-pass log, -vstats) and handed to the
// writer.
//
// A video encoder, and an audio encoder beside one, runs in its own stage
// thread (Scheduler) when it can: its path queues a reference of each frame (a few at most: the
// path waits while the queue is full) and goes on with the next one while
// the encoder works, and the writer serialises the packets of every thread.
// Draining (a null frame) waits until the encoder gave all it holds, so
// after it the stage is as it is inline. Encoders of joined outputs and of
// a task with -vstats stay inline (their packets read state the video path
// changes as it goes), and so do those of a task run in the main thread
// (the encoder's log lines wait for the main thread).
//
// What can go wrong: an encoder that refuses a frame or a packet the writer
// cannot write (FFmpegException). A failure in the encoder's thread stops
// the thread; the task's thread raises it, with its text, when it next
// hands the stage a frame.
#include "engine/transcode/FFmpegRecords.h"

#include "engine/transcode/StageState.h"

class TCustomFFmpeg;

// The encoder threads of the task (FFmpegEncoder.cpp).

// Gives each video encoder that can run apart its own thread, and each
// audio encoder when a video encoder got one (after the set-up, before the
// first frame).
void start_encoder_threads(TCustomFFmpeg& Self);
// Sends one frame (null: drain) to the stream's encoder and writes what it
// gives back; in the encoder's thread the frame is a new reference.
void encode_and_write(TCustomFFmpeg& Self, TOutputStream& AOst, const AVFrame* AFrame);
// Ends every encoder thread at once (what is queued is dropped) and waits
// for them; the task's end, however it ends.
void stop_encoder_threads(TCustomFFmpeg& Self);
