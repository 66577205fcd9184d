#pragma once
// Entry points of libswscale, bound at run time by the library loader (FFLoad);
// see AVUtilStubs.h for the convention.
#include "engine/bindings/AVUtilStubs.h"
extern "C" {
#include <libswscale/swscale.h>
}

#define TARNELLO_SWSCALE_FUNCTIONS(X) \
    X(sws_getContext) X(sws_getCachedContext) X(sws_freeContext) X(sws_scale) X(sws_get_class) \
    X(sws_alloc_context) X(sws_init_context) X(sws_isSupportedInput) X(sws_isSupportedOutput) \
    X(sws_setColorspaceDetails) X(sws_getCoefficients)

namespace ff {
TARNELLO_SWSCALE_FUNCTIONS(TARNELLO_FF_DECLARE)
}  // namespace ff
