#pragma once
// The engine's own video filters are frame stages: objects that take one
// decoded picture at a time and change it in place or replace its buffers.
// FFmpeg 5.1 no longer accepts filters from a program, so a filter chain
// (FilterChain) splices these stages between libavfilter segments. A filter
// registers a TEngineFilterRecord under its name (EngineRegistry); the record's
// factory makes one stage per chain from the filter's argument text.
#include <memory>
#include <string>

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/pixfmt.h>
#include <libavutil/rational.h>
}

class TEngineFrameStage {
public:
    virtual ~TEngineFrameStage() = default;
    // Given the frames it will receive, says what it gives; negative error.
    virtual int Configure(int& AWidth, int& AHeight, AVPixelFormat& AFormat, AVRational& ASampleAspect) = 0;
    // Works on the frame (it may replace the frame's buffers); one frame is
    // one slice. Negative error.
    virtual int Process(AVFrame* AFrame) = 0;
    // The formats it takes, ending with AV_PIX_FMT_NONE; null: any. The chain
    // has libavfilter convert to one of them first.
    virtual const AVPixelFormat* AcceptedFormats() const { return nullptr; }
};

// Makes a stage from the filter's argument text; null with AError set when
// the arguments are wrong.
using TEngineFilterFactory = std::unique_ptr<TEngineFrameStage> (*)(const std::string& AArgs, std::string& AError);

// The record an engine filter registers under its name (EngineRegistry).
struct TEngineFilterRecord {
    const char* Name;
    TEngineFilterFactory Create;
};

// True for the names the engine keeps for its own filters, whether or not
// they are registered yet.
bool IsEngineFilterName(const std::string& AName);
