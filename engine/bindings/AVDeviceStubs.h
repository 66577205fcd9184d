#pragma once
// Entry points of libavdevice, bound at run time by the library loader (FFLoad);
// see AVUtilStubs.h for the convention.
#include "engine/bindings/AVFormatStubs.h"
extern "C" {
#include <libavdevice/avdevice.h>
}

#define TARNELLO_AVDEVICE_FUNCTIONS(X) \
    X(avdevice_register_all)

namespace ff {
TARNELLO_AVDEVICE_FUNCTIONS(TARNELLO_FF_DECLARE)
}  // namespace ff
