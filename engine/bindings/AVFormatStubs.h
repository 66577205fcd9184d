#pragma once
// Entry points of libavformat, bound at run time by the library loader (FFLoad);
// see AVUtilStubs.h for the convention.
#include "engine/bindings/AVCodecStubs.h"
extern "C" {
#include <libavformat/avformat.h>
#include <libavformat/avio.h>
}

#define TARNELLO_AVFORMAT_FUNCTIONS(X) \
    X(avformat_open_input) X(avformat_close_input) X(avformat_find_stream_info) \
    X(avformat_alloc_context) X(avformat_free_context) X(avformat_alloc_output_context2) \
    X(avformat_new_stream) X(avformat_write_header) X(avformat_init_output) X(av_write_trailer) \
    X(av_interleaved_write_frame) X(av_write_frame) X(av_read_frame) X(av_read_pause) X(av_read_play) \
    X(av_seek_frame) X(avformat_seek_file) X(avformat_flush) X(av_find_input_format) X(av_guess_format) \
    X(av_guess_codec) X(av_find_best_stream) X(av_dump_format) X(av_demuxer_iterate) X(av_muxer_iterate) \
    X(avformat_get_class) X(avformat_network_init) X(avformat_network_deinit) \
    X(avformat_query_codec) X(avformat_match_stream_specifier) X(av_find_program_from_stream) \
    X(av_codec_get_id) X(av_codec_get_tag) X(av_filename_number_test) X(av_sdp_create) \
    X(av_guess_frame_rate) X(av_guess_sample_aspect_ratio) X(av_pkt_dump_log2) \
    X(avio_open) X(avio_open2) X(avio_close) X(avio_closep) X(avio_read) X(avio_write) X(avio_seek) \
    X(avio_skip) X(avio_size) X(avio_flush) X(avio_feof) X(avio_check) X(avio_alloc_context) \
    X(avio_context_free) X(avio_w8) X(avio_printf) \
    X(av_new_program) X(av_program_add_stream_index)

namespace ff {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
TARNELLO_AVFORMAT_FUNCTIONS(TARNELLO_FF_DECLARE)
#pragma GCC diagnostic pop

// The header's avio_tell is an inline that calls avio_seek; this one goes
// through the bound pointer instead.
inline int64_t avio_tell(AVIOContext* s) { return avio_seek(s, 0, SEEK_CUR); }
}  // namespace ff
