#pragma once
// The engine's own capture sources (screen, sound input, camera). FFmpeg 5.1
// takes no input formats from a program, so a source is a record of ours,
// registered by name (RegisterInputFormat), that the input set-up opens
// itself: a bare format context with streams the source adds in its
// ReadHeader, and a private record (AVClass first) that takes the source's
// options. No demuxer call (probing, seeking, pausing) is ever made on it;
// a task whose run is held pauses its live sources itself (PauseEngineSource).
#include <climits>
#include <cstddef>
#include <string>
#include <vector>

extern "C" {
#include <libavutil/opt.h>
}

struct AVFormatContext;
struct AVPacket;

struct TEngineInputFormat {
    const char* Name = nullptr;
    const char* LongName = nullptr;
    int Flags = 0;                         // AVFMT_NOFILE: sources read no file
    const AVClass* PrivClass = nullptr;    // options of the private record
    int PrivDataSize = 0;                  // the record begins with its AVClass pointer
    // 0 or a negative code; adds the streams. Runs in the thread that adds the input.
    int (*ReadHeader)(AVFormatContext* s) = nullptr;
    // The packet's size, AVERROR(EAGAIN) when nothing is there yet, or a
    // negative code (end of file, I/O error).
    int (*ReadPacket)(AVFormatContext* s, AVPacket* pkt) = nullptr;
    // Frees what ReadHeader made; called once, also after a failed header.
    int (*ReadClose)(AVFormatContext* s) = nullptr;
    // A live source: the task's run is held (ReadPause) and goes on again
    // (ReadPlay). Nothing is recorded in between, and the time stamps go on
    // from where they stood, so a paused recording leaves the pause out.
    // Called in the thread that reads the packets. Null: nothing to do.
    int (*ReadPause)(AVFormatContext* s) = nullptr;
    int (*ReadPlay)(AVFormatContext* s) = nullptr;
};

// The registered source of that name, or null.
const TEngineInputFormat* FindEngineSource(const std::string& AName);
// The option classes of every registered source (option lookup by name).
std::vector<const AVClass*> EngineSourceClasses();
// The source an input context was opened from, or null for library demuxers.
const TEngineInputFormat* EngineSourceOf(const AVFormatContext* s);

// Opens a source as the input set-up does: a context named AName (*ACtx
// when the caller has allocated one, with its flags set) whose private
// record takes the options it knows from *AOptions (the rest stay there),
// then ReadHeader. On failure the context is freed, *ACtx is null and the
// code is negative.
int OpenEngineSource(AVFormatContext** ACtx, const TEngineInputFormat* ASource, const char* AName,
                     struct AVDictionary** AOptions);
// Reads one packet of a source context: 0 or a negative code (AVERROR(EAGAIN):
// nothing yet).
int ReadEngineSource(const TEngineInputFormat* ASource, AVFormatContext* s, AVPacket* pkt);
// The source's ReadPause or ReadPlay, where it has one.
void PauseEngineSource(const TEngineInputFormat* ASource, AVFormatContext* s);
void PlayEngineSource(const TEngineInputFormat* ASource, AVFormatContext* s);
// ReadClose, the private record and the context; *ACtx becomes null.
void CloseEngineSource(AVFormatContext** ACtx);

// Option rows and classes of a source's private record, spelled without the
// library's positional initialisers.

inline AVOption SourceIntOption(const char* AName, const char* AHelp, size_t AOffset, int64_t ADefault, double AMin,
                                double AMax, AVOptionType AType = AV_OPT_TYPE_INT, const char* AUnit = nullptr)
{
    AVOption o{};
    o.name = AName;
    o.help = AHelp;
    o.offset = int(AOffset);
    o.type = AType;
    o.default_val.i64 = ADefault;
    o.min = AMin;
    o.max = AMax;
    o.flags = AV_OPT_FLAG_DECODING_PARAM;
    o.unit = AUnit;
    return o;
}

inline AVOption SourceStringOption(const char* AName, const char* AHelp, size_t AOffset, const char* ADefault)
{
    AVOption o{};
    o.name = AName;
    o.help = AHelp;
    o.offset = int(AOffset);
    o.type = AV_OPT_TYPE_STRING;
    o.default_val.str = ADefault;
    o.flags = AV_OPT_FLAG_DECODING_PARAM;
    return o;
}

// A named value of a flags option.
inline AVOption SourceFlagValue(const char* AName, const char* AHelp, int64_t AValue, const char* AUnit)
{
    AVOption o{};
    o.name = AName;
    o.help = AHelp;
    o.type = AV_OPT_TYPE_CONST;
    o.default_val.i64 = AValue;
    o.min = INT_MIN;
    o.max = INT_MAX;
    o.flags = AV_OPT_FLAG_DECODING_PARAM;
    o.unit = AUnit;
    return o;
}

// A class named AName over the options (ending with an empty row); the log
// item name is the class name.
AVClass SourceClass(const char* AName, const AVOption* AOptions);
