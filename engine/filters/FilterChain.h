#pragma once
// A video filter chain: frames of one size, format, aspect and time base go
// in, filtered frames come out. Used by the transcoder for every video
// output stream, and free of its records so that a player can build one too.
//
// A filter text may name the engine's own filters ("nativeeq", "nativehue",
// "rotate"); their names are looked up before libavfilter sees the text
// (libavfilter has a "rotate" of its own). The text is split at them into
// libavfilter segments, each a graph of its own (buffer source, the text's
// filters, buffer sink), with one engine frame stage after every segment but
// the last. The first segment also holds the optional input scaler and any
// other labelled chains (a watermark's "movie=... [watermark]"). Frames go
// source -> segment 0 -> stage 0 -> segment 1 -> ... -> sink of the last
// segment; a segment's sink asks for the formats its stage accepts, so
// libavfilter converts before a stage sees a frame.
//
// What can go wrong: a text libavfilter refuses (its error code comes back),
// an engine filter that is not registered, wrong arguments of one (LastError
// holds the message), a stage refusing a frame.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/filters/FrameStage.h"

struct AVFilterGraph;
struct AVFilterContext;

// One piece of a split filter text.
struct TFilterTextPart {
    std::string Graph;       // libavfilter text of the segment, possibly empty
    std::string StageName;   // engine filter after the segment ("" for the last)
    std::string StageArgs;
};
// Splits a filter text at the engine's filters; one part when it names none.
// False with AError for an engine filter outside the chain that ends the
// graph.
bool SplitVideoFilterText(const std::string& AText, std::vector<TFilterTextPart>& AParts, std::string& AError);

// What a chain is built for.
struct TVideoChainParams {
    int Width = 0, Height = 0;
    AVPixelFormat Format = AV_PIX_FMT_NONE;
    AVRational SampleAspect{0, 1};
    AVRational TimeBase{1, 1000000};
    std::string Text;                          // filter text, "" for none
    const AVPixelFormat* SinkFormats = nullptr;  // what may come out, AV_PIX_FMT_NONE-ended; null: any
    int ScaleWidth = 0, ScaleHeight = 0;       // > 0: scale to this size first
    int64_t ScalerFlags = 0;                   // swscale flags of every scaler in the chain
};

struct TVideoFilterSegment {
    AVFilterGraph* Graph = nullptr;
    AVFilterContext* Source = nullptr;
    AVFilterContext* Sink = nullptr;
    std::unique_ptr<TEngineFrameStage> Stage;  // after this segment
    AVFrame* Work = nullptr;                   // a frame on its way through Stage
    bool SourceClosed = false;
};

class TVideoFilterChain {
public:
    TVideoFilterChain() = default;
    TVideoFilterChain(const TVideoFilterChain&) = delete;
    TVideoFilterChain& operator=(const TVideoFilterChain&) = delete;
    ~TVideoFilterChain();

    // Builds the chain; 0 or the negative error of the step that failed
    // (with LastError set when the engine made the message).
    int Build(const TVideoChainParams& AParams);

    // A frame into the chain (null: the end of the input); AFlags are the
    // buffer source's (AV_BUFFERSRC_FLAG_KEEP_REF leaves the caller's
    // reference). Negative error.
    int Push(AVFrame* AFrame, int AFlags);
    // The next filtered frame into AFrame: 0, AVERROR(EAGAIN) while the chain
    // needs more input, AVERROR_EOF after the last one, or an error.
    int Pull(AVFrame* AFrame);

    // What comes out (after Build).
    int Width() const;
    int Height() const;
    AVPixelFormat Format() const;
    AVRational SampleAspect() const;
    AVRational TimeBase() const;
    AVFilterGraph* FirstGraph() const { return Segments.empty() ? nullptr : Segments.front().Graph; }
    AVFilterContext* Source() const { return Segments.empty() ? nullptr : Segments.front().Source; }
    AVFilterContext* Sink() const { return Segments.empty() ? nullptr : Segments.back().Sink; }

    std::vector<TVideoFilterSegment> Segments;
    std::string LastError;

private:
    int PullSegment(size_t AIndex, AVFrame* AFrame);
};
