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
#include "engine/FFmpeg.h"

// Takes the packet's reference (the caller's packet is left blank).
void write_output_packet(TCustomFFmpeg& Self, TOutputStream& AOst, AVPacket* APkt);
void copy_packet_out(TCustomFFmpeg& Self, TInputStream& AIst, TOutputStream& AOst, const AVPacket* APkt);
// Sends one frame (null: drain) to the stream's encoder and writes what it
// gives back.
void encode_and_write(TCustomFFmpeg& Self, TOutputStream& AOst, const AVFrame* AFrame);
