#pragma once
// Entry points of libswresample, bound at run time by the library loader
// (FFLoad); see AVUtilStubs.h for the convention.
#include "engine/bindings/AVUtilStubs.h"
extern "C" {
#include <libswresample/swresample.h>
}

#define TARNELLO_SWRESAMPLE_FUNCTIONS(X) \
    X(swr_alloc) X(swr_alloc_set_opts2) X(swr_init) X(swr_is_initialized) X(swr_free) X(swr_close) \
    X(swr_convert) X(swr_convert_frame) X(swr_get_delay) X(swr_get_out_samples) X(swr_set_compensation) \
    X(swr_set_channel_mapping) X(swr_get_class)

namespace ff {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
TARNELLO_SWRESAMPLE_FUNCTIONS(TARNELLO_FF_DECLARE)
#pragma GCC diagnostic pop
}  // namespace ff
