#pragma once
// Per-stream option lookup: options such as -c, -r, -b or -q may be given for
// all streams or, after a colon, for the streams a selector selects. The
// input and output set-up asks here for the value that applies to one stream:
// every entry is tested in the order given and the last matching one wins;
// without a match the caller's default stays. A malformed selector is fatal
// for the set-up in progress.
#include "engine/transcode/FFmpegOptions.h"

#include <cstdint>
#include <type_traits>

// The index of the last entry whose selector selects the stream, -1 for none.
int MatchingPerStreamEntry(TFFmpegOptions& Task, const TSelectorOpt* Opts, int Count, AVFormatContext* S,
                           AVStream* St);

// The entry's value as the type the caller keeps it in.
template <typename T>
T PerStreamValue(const TSelectorOpt& Opt)
{
    if constexpr (std::is_same_v<T, const char*>)
        return Opt.u.str;
    else if constexpr (std::is_same_v<T, int32_t>)
        return Opt.u.i;
    else if constexpr (std::is_same_v<T, int64_t>)
        return Opt.u.i64;
    else if constexpr (std::is_same_v<T, float>)
        return Opt.u.f;
    else {
        static_assert(std::is_same_v<T, double>, "per-stream options hold text, integers or reals");
        return Opt.u.dbl;
    }
}

template <typename T>
void MatchPerStreamOption(TFFmpegOptions& Task, const TSelectorOpt* Opts, int Count, AVFormatContext* S,
                          AVStream* St, T& Value)
{
    const int i = MatchingPerStreamEntry(Task, Opts, Count, S, St);
    if (i >= 0)
        Value = PerStreamValue<T>(Opts[i]);
}

// MATCH_PER_STREAM_OPT(task, ctx, qscale, s, st, value): the lookup for one
// per-stream array of the options context.
#define MATCH_PER_STREAM_OPT(task, ctx, name, s, st, value) \
    MatchPerStreamOption((task), (ctx).name, (ctx).nb_##name, (s), (st), (value))
