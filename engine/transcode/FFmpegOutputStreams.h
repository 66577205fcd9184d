#pragma once
// Output stream creation: each stream of an output file gets a muxer stream
// and an output-stream record with an encoder context of its own, configured
// from the per-stream options that match it: the encoder or stream copy,
// encoder options (threads=auto unless given), frame limit, bitstream
// filters, codec tag and quality, and by media type the video geometry and
// rate control or the audio format and channel routing.
//
// Data comes from the task's options context; it goes to the task's
// output_streams and the muxer context. Every failure here is fatal for the
// output set-up (FFmpegException), which then removes what it created.
#include <string>

#include "engine/transcode/FFmpegOptions.h"
#include "engine/transcode/FFmpegRecords.h"

class TCustomFFmpeg;

TOutputStream& NewOutputStream(TCustomFFmpeg& Self, TOptionsContext& Ctx, AVFormatContext* AOutCtx,
                               AVMediaType AType, int ASourceIndex);
TOutputStream& NewVideoStream(TCustomFFmpeg& Self, TOptionsContext& Ctx, AVFormatContext* AOutCtx, int ASourceIndex);
TOutputStream& NewAudioStream(TCustomFFmpeg& Self, TOptionsContext& Ctx, AVFormatContext* AOutCtx, int ASourceIndex);
TOutputStream& NewSubtitleStream(TCustomFFmpeg& Self, TOptionsContext& Ctx, AVFormatContext* AOutCtx,
                                 int ASourceIndex);
TOutputStream& NewDataStream(TCustomFFmpeg& Self, TOptionsContext& Ctx, AVFormatContext* AOutCtx, int ASourceIndex);
TOutputStream& NewAttachmentStream(TCustomFFmpeg& Self, TOptionsContext& Ctx, AVFormatContext* AOutCtx,
                                   int ASourceIndex);
// The creator of the media type; fatal for a type no output stream can have.
TOutputStream& NewStreamOfType(TCustomFFmpeg& Self, TOptionsContext& Ctx, AVFormatContext* AOutCtx,
                               AVMediaType AType, int ASourceIndex);

// Value readers of the stream options (fatal on bad texts).
void ParseForcedKeyFrames(TCustomFFmpeg& Self, const char* AText, TOutputStream& AOst);
void ParseMatrixCoeffs(TCustomFFmpeg& Self, uint16_t* ADest, const char* AText);
double ParseFrameAspectRatio(TCustomFFmpeg& Self, const char* AText);
