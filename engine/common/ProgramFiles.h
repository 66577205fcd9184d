#pragma once
// Where the program lives and what is on disk: the program's folder (the
// engine looks for its "LibAV" folder there) and file sizes.
#include <cstdint>

#include "engine/common/FFBaseComponent.h"

// The running program's folder, with a trailing "/".
TPathFileName GetExePath();
// Size of an existing file in bytes; -1 when it does not exist.
int64_t FileSizeOf(const TPathFileName& AFileName);
