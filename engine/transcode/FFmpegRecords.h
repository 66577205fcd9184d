#pragma once
// The records one conversion task keeps of its files and streams: input
// files and their streams (filled by the input set-up), output files and
// their streams (filled by the output set-up and the transcode set-up), read
// by the conversion loop. The task holds them in deques, so indexes and the
// addresses of elements stay valid while further inputs and outputs are
// appended (an output stream's sync_ist points into the input streams).
//
// On FFmpeg 5.1 a stream has no codec context of its own: every input stream
// owns a decoder context (dec_ctx) made from its codecpar, every output
// stream an encoder context (enc_ctx); the transcode set-up fills the muxer
// stream's codecpar from it. Join copies of an output stream share the
// first group's muxer stream and encoder context (join_copy marks them).
#include <cstdint>
#include <cstdio>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavcodec/bsf.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/frame.h>
}

struct AVFilterGraph;
struct TEngineInputFormat;
struct AVFilterContext;
struct SwsContext;
struct SwrContext;
class TVideoFilterChain;

struct TInputFile {
    AVFormatContext* ctx = nullptr;
    const TEngineInputFormat* source = nullptr;  // a capture source of ours, read without the demuxer
    int32_t eof_reached = 0;
    int32_t ist_index = 0;  // first stream of the file in the input-stream array
    int32_t buffer_size = 0;
    int64_t ts_offset = 0;  // microseconds added to the file's time stamps
    bool seeked = false;    // an input -ss moved the start: earlier pictures are not shown
    int32_t nb_streams = 0;
    int32_t rate_emu = 0;
};

struct TInputStream {
    int32_t file_index = 0;
    AVStream* st = nullptr;
    int32_t discard = 1;  // 1 while no output uses the stream
    int32_t decoding_needed = 0;
    const AVCodec* avdec = nullptr;
    AVCodecContext* dec_ctx = nullptr;  // owned; opened when decoding is needed
    AVFrame* decoded_frame = nullptr;
    AVFrame* filtered_frame = nullptr;
    int64_t start = 0;
    int64_t next_pts = 0;
    int64_t pts = 0;
    double ts_scale = 1.0;
    int32_t is_start = 0;
    int32_t showed_multi_packet_warning = 0;
    AVDictionary* opts = nullptr;
    int32_t frame_number = 0;
    int32_t decoder_flushed = 0;
    int32_t join_used = 0;
};

struct TOutputFile {
    AVFormatContext* ctx = nullptr;  // shared by the file records of a join
    AVDictionary* opts = nullptr;    // likewise shared
    int32_t ost_index = 0;
    int64_t recording_time = INT64_MAX;
    int64_t start_time = 0;
    int64_t limit_filesize = INT64_MAX;
    bool header_written = false;
    int64_t packets_written = 0;  // packets handed to the muxer
    bool created_file = false;  // this task created the file (clean-up may delete it)
};

struct TOutputStream {
    int32_t file_index = 0;
    int32_t index = 0;  // in the muxer context
    int32_t source_index = -1;
    AVStream* st = nullptr;
    AVCodecContext* enc_ctx = nullptr;  // owned unless join_copy
    int32_t encoding_needed = 0;
    int32_t frame_number = 0;
    TInputStream* sync_ist = nullptr;
    int64_t sync_opts = 0;
    AVBSFContext** bitstream_filters = nullptr;  // the -bsf chain in order, owned unless join_copy
    int32_t nb_bitstream_filters = 0;
    const AVCodec* enc = nullptr;
    int64_t max_frames = INT64_MAX;
    int32_t video_resample = 0;
    SwsContext* img_resample_ctx = nullptr;
    int32_t resample_height = 0, resample_width = 0;
    int32_t resample_pix_fmt = AV_PIX_FMT_NONE;
    AVRational frame_rate{0, 0};
    int32_t force_fps = 0;
    int32_t top_field_first = -1;
    float frame_aspect_ratio = 0;
    int64_t* forced_kf_pts = nullptr;  // owned (malloc) unless join_copy
    int32_t forced_kf_count = 0;
    int32_t forced_kf_index = 0;
    int32_t audio_resample = 0;
    int32_t audio_channels_map[16]{};
    int32_t audio_channels_mapped = 0;
    int32_t resample_sample_fmt = AV_SAMPLE_FMT_NONE;
    int32_t resample_channels = 0, resample_sample_rate = 0;
    float rematrix_volume = 1.0f;
    AVAudioFifo* audio_fifo = nullptr;  // encoder-format samples waiting for a whole frame
    FILE* logfile = nullptr;
    SwrContext* swr = nullptr;
    AVFilterContext* output_video_filter = nullptr;  // sink of the last graph segment
    AVFilterContext* input_video_filter = nullptr;   // source of the first one
    char* avfilter = nullptr;                        // owned copy of the -vf text
    AVFilterGraph* graph = nullptr;                  // the first segment's graph
    TVideoFilterChain* filters = nullptr;            // owned: all segments and engine stages
    int64_t sws_flags = 0;
    AVDictionary* opts = nullptr;
    int32_t is_past_recording_time = 0;
    int32_t stream_copy = 0;
    char* attachment_filename = nullptr;  // owned copy
    int32_t copy_initial_nonkeyframes = 0;
    AVCodecID codec_id_join = AV_CODEC_ID_NONE;
    AVDictionary* opts_join = nullptr;
    int32_t not_show_fps = 0;
    int32_t encoder_flushed = 0;
    int64_t last_dts = AV_NOPTS_VALUE;
    bool join_copy = false;
    // Joins: an unopened copy of the encoder's settings, taken before it was
    // first opened; each joined part gets a new encoder made from it.
    AVCodecContext* join_params = nullptr;
};
