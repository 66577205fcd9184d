#include "engine/common/FFmpegText.h"

#include <cstdarg>

#include "engine/common/MyUtils.h"

std::string FormatText(const char* AFormat, ...)
{
    va_list ap;
    va_start(ap, AFormat);
    std::string s = FormatVA(AFormat, ap);
    va_end(ap);
    return s;
}
