#pragma once
// Entry points of libavfilter, bound at run time by the library loader (FFLoad);
// see AVUtilStubs.h for the convention.
#include "engine/bindings/AVUtilStubs.h"
extern "C" {
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
}

#define TARNELLO_AVFILTER_FUNCTIONS(X) \
    X(avfilter_get_by_name) X(av_filter_iterate) X(avfilter_get_class) \
    X(avfilter_graph_alloc) X(avfilter_graph_free) X(avfilter_graph_create_filter) \
    X(avfilter_graph_alloc_filter) X(avfilter_graph_parse2) X(avfilter_graph_parse_ptr) \
    X(avfilter_graph_config) X(avfilter_graph_send_command) X(avfilter_init_str) X(avfilter_init_dict) \
    X(avfilter_inout_alloc) X(avfilter_inout_free) X(avfilter_link) X(avfilter_free) \
    X(avfilter_pad_get_name) X(avfilter_pad_get_type) X(avfilter_filter_pad_count) \
    X(av_buffersrc_add_frame_flags) X(av_buffersrc_write_frame) X(av_buffersrc_add_frame) \
    X(av_buffersrc_parameters_alloc) X(av_buffersrc_parameters_set) X(av_buffersrc_close) \
    X(av_buffersrc_get_nb_failed_requests) \
    X(av_buffersink_get_frame) X(av_buffersink_get_frame_flags) X(av_buffersink_get_samples) \
    X(av_buffersink_set_frame_size) X(av_buffersink_get_time_base) X(av_buffersink_get_format) \
    X(av_buffersink_get_w) X(av_buffersink_get_h) X(av_buffersink_get_sample_aspect_ratio) \
    X(av_buffersink_get_frame_rate) X(av_buffersink_get_sample_rate) X(av_buffersink_get_ch_layout)

namespace ff {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
TARNELLO_AVFILTER_FUNCTIONS(TARNELLO_FF_DECLARE)
#pragma GCC diagnostic pop
}  // namespace ff
