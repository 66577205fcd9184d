#pragma once
// The reader stage of a conversion task: the packets of each input file, in
// the order the demuxer gives them, for the loop to decode or copy.
//
// Each demuxed input file is read in a stage thread of its own (Scheduler)
// that keeps a few packets ready in a bounded queue: reading overlaps
// decoding, filtering and encoding, the loop takes the files' packets in the
// same order as ever (it still chooses which file to take from), and a slow
// stage downstream stops the reading once the queue is full, so memory stays
// flat. A thread is started at a file's first read (a joined part when its
// turn comes); files read through an engine source (capture), and a task
// run in the main thread (whose log lines would wait for the main thread),
// read inline, as does a file when the process has no stage thread to spare.
//
// What can go wrong: a read that fails, is timed out (each reader thread
// keeps its own read time stamp for the time-out) or stopped. The reader
// passes the failure on as the packet's result, after the packets read
// before it; the loop decides what it means, as it did for a read of its own.
#include "engine/transcode/FFmpegRecords.h"

#include "engine/transcode/StageState.h"

class TCustomFFmpeg;

// The reader threads of the task (FFmpegReader.cpp).

// The next packet of input file AFile in APkt. Returns the read's result
// (av_read_frame's); for a failure, AWhy is the reading's own error where
// the I/O layer has one (a demuxer often reports a failed read as the end of
// the file), else the result.
int read_input_packet(TCustomFFmpeg& Self, int AFile, AVPacket* APkt, int& AWhy);
// Ends every reader thread (what is queued is dropped, a read under way is
// interrupted) and waits for them: the end of the loop, however it ends.
void stop_reader_threads(TCustomFFmpeg& Self);
