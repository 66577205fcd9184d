#pragma once
// Joining further inputs onto one output: after the output was set up from
// the first input, every later input gets its own output-file record and its
// own group of output-stream records (join copies sharing the first group's
// muxer streams and encoder contexts), and its streams become their sources
// by -map (only maps that name that input) or by the automatic choice. The
// conversion loop plays the inputs one after another through these groups.
//
// What can go wrong: a map of a type no output stream can have (-1 with
// LastErrMsg). A stream of a type the first input did not have finds no
// record and is simply not joined.
#include "engine/FFmpeg.h"

// The first record of the group being joined with that media type and no
// source yet; null when there is none.
TOutputStream* FindFreeJoinStream(TCustomFFmpeg& Self, AVFormatContext* AOutCtx, AVMediaType AType);
