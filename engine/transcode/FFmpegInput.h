#pragma once
// Input set-up of a conversion task: one input file is opened with the
// options gathered for it (forced format, demuxer options, forced decoders),
// probed, positioned at -ss, and each of its streams becomes an input-stream
// record with a decoder context of its own (FFmpeg 5.1 streams carry only
// parameters). Attachments are dumped on request.
//
// Data comes from the options context and the file; it goes to the task's
// input_files/input_streams. What can go wrong: an unknown or unavailable
// format, a file that does not open or probe (negative code, LastErrMsg, the
// task unchanged), a forced decoder that does not exist, an unused demuxer
// option or a bad stream selector (FFmpegException).
#include <string>

#include "engine/transcode/FFmpegOptions.h"
#include "engine/transcode/FFmpegRecords.h"

class TCustomFFmpeg;

// The decoder forced by the last matching -c value (its id written into the
// stream's parameters), else the stream's own decoder (may be null).
const AVCodec* ChooseDecoder(TCustomFFmpeg& Self, TOptionsContext& Ctx, AVFormatContext* S, AVStream* St);
// Whether an existing file may be written by a dump.
bool MayWriteFile(TCustomFFmpeg& Self, const std::string& AName);
// Writes a stream's extra data to a file. A name taken from the stream's own
// "filename" tag is reduced to its base name, so a crafted tag cannot write
// outside the current folder.
void DumpAttachment(TCustomFFmpeg& Self, AVStream* St, const std::string& AFileName, int AInputIndex);
// The engine's own capture sources, recognised where a format is named.
bool IsEngineSourceName(const char* AName);
// Closes an opened input and the pipe reader it may have (a named pipe is
// read with a time-out; see FFmpegInput.cpp). ACtx becomes null.
void CloseInputFile(AVFormatContext*& ACtx);
// "<file>: reading timed out (no data for <ms> ms)".
std::string TimedOutText(const std::string& AFileName, int ATimeout);
