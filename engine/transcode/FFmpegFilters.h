#pragma once
// The video filter graph between one decoded input stream and one encoder.
//
// A -vf text may name the engine's own filters ("nativeeq", "nativehue",
// "rotate"); their names are looked up before libavfilter sees the text
// (libavfilter has a "rotate" of its own). The text is split at them into
// libavfilter segments, each a graph of its own (buffer source, the text's
// filters, buffer sink), with one engine frame stage after every segment but
// the last. The first segment also holds the source scaler and any other
// labelled chains (a watermark's "movie=... [watermark]"). Frames go source
// -> segment 0 -> stage 0 -> segment 1 -> ... -> sink of the last segment.
//
// Data comes from the decoder of one input stream (decoded pictures, through
// the video path's input hooks); it goes to the video path, which hands each
// filtered picture to the encoder. What can go wrong: a text libavfilter refuses (its error code comes back),
// an engine filter that is not available in this build, an option left
// (FFmpegException).
#include <memory>
#include <string>
#include <vector>

#include "engine/filters/FrameStage.h"
#include "engine/transcode/FFmpegRecords.h"

class TCustomFFmpeg;

extern "C" {
#include <libavutil/pixfmt.h>
#include <libavutil/rational.h>
}

// One piece of a split -vf text.
struct TFilterTextPart {
    std::string Graph;       // libavfilter text of the segment, possibly empty
    std::string StageName;   // engine filter after the segment ("" for the last)
    std::string StageArgs;
};
// Splits a -vf text at the engine's filters; one part when it names none.
// False with AError for an engine filter outside the chain that ends the
// graph.
bool SplitVideoFilterText(const std::string& AText, std::vector<TFilterTextPart>& AParts, std::string& AError);

struct TVideoFilterSegment {
    AVFilterGraph* Graph = nullptr;
    AVFilterContext* Source = nullptr;
    AVFilterContext* Sink = nullptr;
    std::unique_ptr<TEngineFrameStage> Stage;  // after this segment
};

class TVideoFilterChain {
public:
    ~TVideoFilterChain();
    std::vector<TVideoFilterSegment> Segments;
    std::string LastError;
};

// Builds the stream's filter chain and fixes the encoder's frame size and
// sample aspect ratio; 0 or the negative error of the step that failed
// (with the chain's LastError set when the engine made the message).
int ConfigureVideoFilters(TCustomFFmpeg& Self, TInputStream& AIst, TOutputStream& AOst);
