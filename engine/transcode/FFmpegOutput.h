#pragma once
// Output file set-up: the muxer context of the task's output, its streams
// chosen by -map or automatically (the largest video, the audio with the
// most channels, the first subtitle), attachments, chapters, metadata, muxer
// settings and the opened output file. For a joined output only the first
// input is looked at here; the later ones are joined afterwards
// (FFmpegJoin).
//
// Data comes from the options context and the opened inputs; it goes to the
// task's output_files/output_streams and the file on disk. What can go
// wrong: an unknown container, a folder that does not exist, an output that
// is one of the inputs, an existing file with -n, bad attachments, chapter
// and metadata indexes: -1 with LastErrMsg; bad stream options raise
// FFmpegException. Either way the set-up removes the records it appended and
// deletes the file only when it created it.
#include <string>
#include <vector>

#include "engine/transcode/FFmpegOptions.h"
#include "engine/transcode/FFmpegRecords.h"

class TCustomFFmpeg;

// Copies the chapters of an input within the output's time window; 0 or -12.
int CopyChapters(TCustomFFmpeg& Self, int AInputIndex, int AOutputIndex, bool ACopyMetadata);

// The automatic choice of an output's sources among input streams
// [AFirst, AEnd): the video stream with the largest picture (unless -vn, and
// when the container has a video codec), the audio stream with the most
// channels (likewise), the first subtitle stream (when the container or
// -scodec has a subtitle codec). In that order, one of each type at most.
struct TPickedStream {
    AVMediaType Type;
    int Index;
};
std::vector<TPickedStream> PickAutomaticStreams(const TCustomFFmpeg& Self, const TOptionsContext& AOptions,
                                                const AVFormatContext* AOutCtx, int AFirst, int AEnd);
