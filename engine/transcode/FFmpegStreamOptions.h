#pragma once
// Per-stream option lookup: options such as -c, -r, -b or -q may be given for
// all streams or, after a colon, for the streams a selector selects. The
// input and output set-up asks here for the value that applies to one stream:
// every entry is tested in the order given and the last matching one wins;
// without a match the caller's default stays. A malformed selector is fatal
// for the set-up in progress.
#include "engine/transcode/FFmpegOptions.h"

void MatchPerStreamOption(TFFmpegOptions& Task, const TSelectorOpt* Opts, int Count, AVFormatContext* S,
                          AVStream* St, const char*& Value);
void MatchPerStreamOption(TFFmpegOptions& Task, const TSelectorOpt* Opts, int Count, AVFormatContext* S,
                          AVStream* St, int32_t& Value);
void MatchPerStreamOption(TFFmpegOptions& Task, const TSelectorOpt* Opts, int Count, AVFormatContext* S,
                          AVStream* St, int64_t& Value);
void MatchPerStreamOption(TFFmpegOptions& Task, const TSelectorOpt* Opts, int Count, AVFormatContext* S,
                          AVStream* St, float& Value);
void MatchPerStreamOption(TFFmpegOptions& Task, const TSelectorOpt* Opts, int Count, AVFormatContext* S,
                          AVStream* St, double& Value);

// MATCH_PER_STREAM_OPT(task, ctx, qscale, s, st, value): the lookup for one
// per-stream array of the options context.
#define MATCH_PER_STREAM_OPT(task, ctx, name, s, st, value) \
    MatchPerStreamOption((task), (ctx).name, (ctx).nb_##name, (s), (st), (value))
