#pragma once
// File names on their way to and from FFmpeg. Names are UTF-8 on Linux, so
// the conversions keep the bytes; a name written as a "unicode:" URL (the
// form the engine's own file protocol used) is accepted and its prefix
// stripped, since FFmpeg opens the plain file itself. Each call returns its
// own string, so concurrent conversions never share a buffer.
#include <string>

#include "engine/common/FFBaseComponent.h"

// The name as FFmpeg takes it.
std::string FileNameToUTF8(const TPathFileName& AFileName);
// A name FFmpeg keeps (its url field) as a file name.
TPathFileName UTF8ToFileName(const char* AText);
// Drops everything up to the first colon, then up to the next one when there
// is one: "unicode:file:/a.avi" gives "/a.avi".
TPathFileName URLToFileName(const std::string& AURL);
