#pragma once
// printf-style texts of any length for the transcoder's messages (file
// names and option texts can be long; a fixed buffer would cut them).
#include <string>

std::string FormatText(const char* AFormat, ...) __attribute__((format(printf, 1, 2)));
