#pragma once
// Joining further inputs onto one output: after the output was set up from
// the first input, every later input gets its own output-file record and its
// own group of output-stream records (join copies sharing the first group's
// muxer streams), and its streams become their sources by -map (only maps
// that name that input) or by the automatic choice. The conversion loop
// plays the inputs one after another through these groups.
//
// At the end of each part the first group's encoders are drained and made
// anew: a drained encoder cannot take frames again, so a new context is
// allocated from the settings kept before the first one was opened, opened
// with the kept encoder options, and must give the same stream header as the
// one already written (else the task fails rather than write a file that
// does not play). The video filters are built again for the next part's
// input (its own size and format), scaled to the output's size; audio in a
// new format gets a new resampler; samples still waiting for a whole encoder
// frame go on into the next encoder, and time stamps continue.
//
// What can go wrong: a map of a type no output stream can have (-1 with
// LastErrMsg); a stream of a type the first input did not have finds no
// record and is simply not joined. During the run: an encoder that cannot be
// opened again, a different stream header, filters the next part cannot
// take, a stream-copied part whose codec or header differs from the first
// (FFmpegException, or a set-up failure for copies).
#include "engine/transcode/FFmpegRecords.h"

#include "engine/transcode/StageState.h"

class TCustomFFmpeg;

// The join's own state (FFmpegJoin.cpp): how many output streams each
// joined part has.

// The output streams of one joined part (0 before the join).
int JoinStreamsPerPart(const TCustomFFmpeg& Self);

// The first record of the group being joined with that media type and no
// source yet; null when there is none.
TOutputStream* FindFreeJoinStream(TCustomFFmpeg& Self, AVFormatContext* AOutCtx, AVMediaType AType);

// An unopened encoder context with the settings the set-up gave ASrc (also
// an unopened one); null when out of memory.
AVCodecContext* CopyEncoderSettings(const AVCodecContext* ASrc, const AVCodec* AEnc);
// Whether the header an opened encoder made is the one the first encoder
// made (AFirst: the kept settings with KeepJoinHeader's record): codec,
// picture or sample format, frame size and the codec's extra data.
bool SameStreamHeader(const AVCodecContext* AEnc, const AVCodecContext* AFirst);
// Records in the kept settings what the first opened encoder made (its
// extra data, its audio frame size); 0 or a negative code.
int KeepJoinHeader(TOutputStream& AOst);
// The end of joined part APart (not the last), whose streams ended at AEnd
// (microseconds, where part APart + 1 starts): drains the first group's
// encoders and re-creates them for the next part. Raises FFmpegException.
void ReopenJoinEncoders(TCustomFFmpeg& Self, int APart, int64_t AEnd);
// Set-up check of stream-copied joins: every part's source must have the
// codec and header of the first part's. 0, or a negative code with
// LastErrMsg.
int CheckJoinedCopies(TCustomFFmpeg& Self);
