#pragma once
// The packet writer of a conversion task: the one place where every output
// packet (encoded or copied) goes through its stream's bitstream filters and
// into the output container, and the stream copy that passes input packets
// through with rescaled, strictly increasing time stamps.
//
// Data comes from the encoders and from input packets of copied streams; it
// goes to the muxer. What can go wrong: a bitstream filter refuses a packet
// (logged, or fatal with -xerror), the muxer refuses a packet or a write
// times out (FFmpegException).
#include "engine/transcode/FFmpegRecords.h"

#include <mutex>

#include "engine/transcode/StageState.h"

class TCustomFFmpeg;

// The writer's own state (FFmpegWriter.cpp): the bytes written per kind and
// the -vstats file.

// A packet owned by a scope: freed however the scope is left.
class TPacketHolder {
public:
    explicit TPacketHolder(AVPacket* APacket) : P(APacket) {}
    ~TPacketHolder();
    TPacketHolder(const TPacketHolder&) = delete;
    TPacketHolder& operator=(const TPacketHolder&) = delete;
    AVPacket* P;
};

// Held while a packet is written or the writer's figures are read: encoder
// threads write beside the task's thread. The writer's functions take it
// themselves.
class TWriterLock {
public:
    explicit TWriterLock(TCustomFFmpeg& ASelf);
    ~TWriterLock();
    TWriterLock(const TWriterLock&) = delete;
    TWriterLock& operator=(const TWriterLock&) = delete;

private:
    std::mutex& Lock;
};

// Takes the packet's reference (the caller's packet is left blank).
void write_output_packet(TCustomFFmpeg& Self, TOutputStream& AOst, AVPacket* APkt);
void copy_packet_out(TCustomFFmpeg& Self, TInputStream& AIst, TOutputStream& AOst, const AVPacket* APkt);
// One packet from the stream's encoder (time stamps in the stream's time
// base): counted, logged for two-pass and -vstats, and written.
void write_encoded_packet(TCustomFFmpeg& Self, TOutputStream& AOst, AVPacket* APkt);
// Makes the packet's decoding time (stream time base) strictly greater than
// the stream's last one and its presentation time not below it; records it.
void KeepDtsRising(TOutputStream& AOst, AVPacket* APkt);
// Appends one line per encoded video packet to the -vstats file (made on
// first use): frame number, quantiser, PSNR (-psnr), sizes, time, bit rates
// and picture type. APkt's time stamps are still in the encoder's time base.
void write_video_stats(TCustomFFmpeg& Self, TOutputStream& AOst, const AVPacket* APkt);
// Counts the bytes of an encoder's global header (set-up).
void count_header_bytes(TCustomFFmpeg& Self, int64_t ABytes);
// The size of the first output file so far.
int64_t output_size(TCustomFFmpeg& Self);
// What was written so far, for the report.
struct TWrittenSizes {
    int64_t Video = 0, Audio = 0, Headers = 0;
};
TWrittenSizes written_sizes(TCustomFFmpeg& Self);
// Closes the -vstats file (the task's clean-up).
void close_video_stats(TCustomFFmpeg& Self);
