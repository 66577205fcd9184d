#pragma once
// Sources a plug-in reads for the engine, named by a prefix of their own
// ("opendvd:<path>|Title=..."). FFmpeg 5.1 takes no protocol from a
// program, so a registered reader is opened through a custom AVIOContext:
// the decoder's LoadFile, the transcoder's inputs and the player all open
// their inputs through OpenSourceInput and close them through
// CloseSourceInput, which fall back to FFmpeg's own opening for other names.
//
// Decisions that are not obvious:
// - The reader's calls are C calls of the plug-in (a handle, bytes read with
//   0 at the end and a negative value on error, a seek that also answers
//   AVSEEK_SIZE); each open source has its own handle, so two players or a
//   player and a conversion may read one disc at once.
// - A prefix whose reader cannot open the name ends as AVERROR(ENOENT).
#include <cstdint>
#include <string>

struct AVDictionary;
struct AVFormatContext;
struct AVInputFormat;

struct TSourceReader {
    void* (*Open)(const char* AName) = nullptr;  // nullptr when it cannot
    std::int32_t (*Read)(void* AHandle, std::uint8_t* ABuffer, std::int32_t ASize) = nullptr;
    std::int64_t (*Seek)(void* AHandle, std::int64_t AOffset, std::int32_t AWhence) = nullptr;
    void (*Close)(void* AHandle) = nullptr;
};

// Registers (or replaces) the reader of names starting with APrefix; a
// reader without its four calls is refused (false).
bool RegisterSourceReader(const std::string& APrefix, const TSourceReader& AReader);
void UnregisterSourceReader(const std::string& APrefix);
// True when a registered prefix starts AName.
bool IsReaderSourceName(const std::string& AName);

// avformat_open_input for AName, through its reader when a prefix is
// registered. *ACtx may hold a context made by the caller (its interrupt
// callback and flags are kept); on failure it is freed and set to null, as
// FFmpeg does.
int OpenSourceInput(AVFormatContext** ACtx, const std::string& AName, const AVInputFormat* AFormat,
                    AVDictionary** AOptions);
// avformat_close_input, which also closes a reader's source.
void CloseSourceInput(AVFormatContext** ACtx);
