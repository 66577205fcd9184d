#include "engine/transcode/FFmpegStreamOptions.h"

#include "engine/common/FFTexts.h"
#include "engine/common/StreamSelectors.h"

int MatchingPerStreamEntry(TFFmpegOptions& Task, const TSelectorOpt* Opts, int Count, AVFormatContext* S,
                           AVStream* St)
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
