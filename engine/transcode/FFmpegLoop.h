#pragma once
// The main loop of a conversion task: after the set-up it picks the input to
// read next (the one whose outputs lag most; in join mode the inputs one
// after another), reads a packet with the read time-out armed, shifts its
// time stamps by the input's offset, decodes it into the audio and video
// paths or copies it, and reports progress at most once per report
// interval. At the end of the inputs, or after a stop, it drains decoders,
// filters and encoders, writes the trailers and gives the last report.
//
// Data comes from the input files; decoded frames go to the audio and video
// paths, copied packets to the writer, progress to OnProgress. What can go
// wrong: a packet that does not decode (logged and skipped, or
// fatal with -xerror); failures of the paths and of writing end the task
// with FFmpegException. Read errors count as the end of that input.
#include "engine/transcode/FFmpegRecords.h"

class TCustomFFmpeg;

// Whether an output stream takes the input stream's data now (its file's
// -ss/-t window).
bool output_wants_input(TCustomFFmpeg& Self, const TInputStream& AIst, TOutputStream& AOst);
// Decodes (or, for copied streams, passes on) one packet; null drains.
int process_input_packet(TCustomFFmpeg& Self, TInputStream& AIst, const AVPacket* APkt);
void print_report(TCustomFFmpeg& Self, int64_t AStart, bool ALast, int AFileIndex);
