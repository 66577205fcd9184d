#pragma once
// Functions of the C library (libc.so.6), bound at run time by the library
// loader (FFLoad) like FFmpeg's, so that the engine formats and parses
// FFmpeg-style C format texts and files with the very C library FFmpeg uses.
// See AVUtilStubs.h for the convention; a name added to the list also needs
// its pointer declared below.
#include "engine/bindings/AVUtilStubs.h"
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#define TARNELLO_MYUTIL_FUNCTIONS(X) \
    X(atoi) X(fclose) X(ferror) X(fopen) X(fprintf) X(fread) X(fseek) X(ftell) X(fwrite) \
    X(snprintf) X(sscanf) X(strchr) X(strcmp) X(strncmp) X(strrchr) X(strtod) X(strtok) X(strtol) \
    X(vsprintf) X(vsnprintf)

namespace ff {
// strchr and strrchr are overloaded in C++, so their C types are spelt out.
#define TARNELLO_MYUTIL_DECLARE(name) TARNELLO_FF_DECLARE(name)
#define TARNELLO_MYUTIL_SKIP(name)
TARNELLO_MYUTIL_DECLARE(atoi) TARNELLO_MYUTIL_DECLARE(fclose) TARNELLO_MYUTIL_DECLARE(ferror)
TARNELLO_MYUTIL_DECLARE(fopen) TARNELLO_MYUTIL_DECLARE(fprintf) TARNELLO_MYUTIL_DECLARE(fread)
TARNELLO_MYUTIL_DECLARE(fseek) TARNELLO_MYUTIL_DECLARE(ftell) TARNELLO_MYUTIL_DECLARE(fwrite)
TARNELLO_MYUTIL_DECLARE(snprintf) TARNELLO_MYUTIL_DECLARE(sscanf) TARNELLO_MYUTIL_DECLARE(strcmp)
TARNELLO_MYUTIL_DECLARE(strncmp) TARNELLO_MYUTIL_DECLARE(strtod) TARNELLO_MYUTIL_DECLARE(strtok)
TARNELLO_MYUTIL_DECLARE(strtol) TARNELLO_MYUTIL_DECLARE(vsprintf) TARNELLO_MYUTIL_DECLARE(vsnprintf)
inline char* (*strchr)(const char*, int) = nullptr;
inline char* (*strrchr)(const char*, int) = nullptr;
#undef TARNELLO_MYUTIL_DECLARE
#undef TARNELLO_MYUTIL_SKIP
}  // namespace ff
