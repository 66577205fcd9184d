#include "engine/transcode/FFmpegStreamOptions.h"

#include "engine/common/FFTexts.h"

namespace {

// The index of the entry that applies, -1 for none.
int MatchingEntry(TFFmpegOptions& Task, const TSelectorOpt* Opts, int Count, AVFormatContext* S, AVStream* St)
{
    int found = -1;
    for (int i = 0; i < Count; ++i) {
        int r = check_stream_selector(S, St, Opts[i].selector);
        if (r > 0) {
            found = i;
        } else if (r < 0) {
            Task.Fatal(ErrorCodeText("check_stream_selector", r));
        }
    }
    return found;
}

}  // namespace

void MatchPerStreamOption(TFFmpegOptions& Task, const TSelectorOpt* Opts, int Count, AVFormatContext* S,
                          AVStream* St, const char*& Value)
{
    int i = MatchingEntry(Task, Opts, Count, S, St);
    if (i >= 0)
        Value = Opts[i].u.str;
}

void MatchPerStreamOption(TFFmpegOptions& Task, const TSelectorOpt* Opts, int Count, AVFormatContext* S,
                          AVStream* St, int32_t& Value)
{
    int i = MatchingEntry(Task, Opts, Count, S, St);
    if (i >= 0)
        Value = Opts[i].u.i;
}

void MatchPerStreamOption(TFFmpegOptions& Task, const TSelectorOpt* Opts, int Count, AVFormatContext* S,
                          AVStream* St, int64_t& Value)
{
    int i = MatchingEntry(Task, Opts, Count, S, St);
    if (i >= 0)
        Value = Opts[i].u.i64;
}

void MatchPerStreamOption(TFFmpegOptions& Task, const TSelectorOpt* Opts, int Count, AVFormatContext* S,
                          AVStream* St, float& Value)
{
    int i = MatchingEntry(Task, Opts, Count, S, St);
    if (i >= 0)
        Value = Opts[i].u.f;
}

void MatchPerStreamOption(TFFmpegOptions& Task, const TSelectorOpt* Opts, int Count, AVFormatContext* S,
                          AVStream* St, double& Value)
{
    int i = MatchingEntry(Task, Opts, Count, S, St);
    if (i >= 0)
        Value = Opts[i].u.dbl;
}
