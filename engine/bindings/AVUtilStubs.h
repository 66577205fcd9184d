#pragma once
// Entry points of libavutil, bound at run time by the library loader (FFLoad).
// The engine never links FFmpeg: it includes the headers for types only and
// calls every function through the process-wide pointers of namespace ff,
// which stay null while their library is not bound. Inline helpers of the
// headers that call nothing (av_q2d, av_make_q, av_cmp_q ...) may be used
// directly; those that call into a library must not be (they would link it).
#include <cstdint>
extern "C" {
#include <libavutil/audio_fifo.h>
#include <libavutil/buffer.h>
#include <libavutil/avutil.h>
#include <libavutil/channel_layout.h>
#include <libavutil/dict.h>
#include <libavutil/fifo.h>
#include <libavutil/frame.h>
#include <libavutil/imgutils.h>
#include <libavutil/log.h>
#include <libavutil/mathematics.h>
#include <libavutil/mem.h>
#include <libavutil/opt.h>
#include <libavutil/parseutils.h>
#include <libavutil/pixdesc.h>
#include <libavutil/samplefmt.h>
#include <libavutil/time.h>
#include <libavutil/avstring.h>
#include <libavutil/error.h>
#include <libavutil/cpu.h>
}

// Declares one bound entry point: a pointer typed from the header's own
// declaration. Shared by every binding header.
#ifndef TARNELLO_FF_DECLARE
#define TARNELLO_FF_DECLARE(name) inline decltype(&::name) name = nullptr;
#endif

#define TARNELLO_AVUTIL_FUNCTIONS(X) \
    X(av_log) X(av_vlog) X(av_log_set_callback) X(av_log_set_level) X(av_log_get_level) \
    X(av_log_default_callback) X(av_log_set_flags) X(av_default_item_name) \
    X(av_dict_copy) X(av_dict_free) X(av_dict_get) X(av_dict_set) X(av_dict_set_int) X(av_dict_count) \
    X(av_malloc) X(av_mallocz) X(av_calloc) X(av_free) X(av_freep) X(av_realloc) X(av_realloc_f) \
    X(av_strdup) X(av_fast_malloc) X(av_fast_realloc) X(av_strlcpy) X(av_strlcat) X(av_strstart) \
    X(av_gettime) X(av_gettime_relative) X(av_usleep) \
    X(av_rescale) X(av_rescale_rnd) X(av_rescale_q) X(av_rescale_q_rnd) X(av_compare_ts) \
    X(av_reduce) X(av_gcd) X(av_d2q) X(av_find_nearest_q_idx) \
    X(av_get_bytes_per_sample) X(av_get_sample_fmt_name) X(av_get_sample_fmt) \
    X(av_get_packed_sample_fmt) X(av_get_planar_sample_fmt) X(av_sample_fmt_is_planar) \
    X(av_get_sample_fmt_string) X(av_samples_get_buffer_size) X(av_samples_alloc) X(av_samples_copy) \
    X(av_get_media_type_string) X(av_get_picture_type_char) \
    X(av_get_pix_fmt) X(av_get_pix_fmt_name) X(av_get_pix_fmt_string) X(av_pix_fmt_desc_get) \
    X(av_get_bits_per_pixel) X(av_image_get_buffer_size) X(av_image_fill_arrays) X(av_image_copy) \
    X(av_image_copy_plane) X(av_image_check_size) X(av_image_fill_linesizes) X(av_image_alloc) \
    X(av_frame_alloc) X(av_frame_free) X(av_frame_unref) X(av_frame_ref) X(av_frame_move_ref) \
    X(av_frame_clone) X(av_frame_get_buffer) X(av_frame_make_writable) X(av_frame_copy_props) \
    X(av_buffer_pool_init) X(av_buffer_pool_get) X(av_buffer_pool_uninit) \
    X(av_opt_find) X(av_opt_set) X(av_opt_set_int) X(av_opt_set_double) X(av_opt_set_q) \
    X(av_opt_set_bin) X(av_opt_set_image_size) X(av_opt_set_pixel_fmt) X(av_opt_set_sample_fmt) \
    X(av_opt_set_chlayout) X(av_opt_set_dict) X(av_opt_set_dict2) X(av_opt_set_defaults) \
    X(av_opt_get_int) X(av_opt_get) X(av_opt_ptr) X(av_opt_free) X(av_opt_next) X(av_opt_child_class_iterate) \
    X(av_parse_time) X(av_parse_video_rate) X(av_parse_video_size) X(av_parse_ratio) \
    X(av_strerror) \
    X(av_channel_layout_default) X(av_channel_layout_uninit) X(av_channel_layout_copy) \
    X(av_channel_layout_compare) X(av_channel_layout_describe) X(av_channel_layout_from_mask) \
    X(av_channel_layout_from_string) X(av_channel_layout_check) \
    X(av_fifo_alloc2) X(av_fifo_freep2) X(av_fifo_write) X(av_fifo_read) X(av_fifo_peek) \
    X(av_fifo_can_read) X(av_fifo_can_write) X(av_fifo_grow2) X(av_fifo_reset2) \
    X(av_get_cpu_flags) X(av_cpu_count) \
    X(av_audio_fifo_alloc) X(av_audio_fifo_free) X(av_audio_fifo_write) X(av_audio_fifo_read) \
    X(av_audio_fifo_size) X(av_samples_set_silence) X(av_samples_alloc_array_and_samples)

namespace ff {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
TARNELLO_AVUTIL_FUNCTIONS(TARNELLO_FF_DECLARE)
#pragma GCC diagnostic pop
}  // namespace ff
