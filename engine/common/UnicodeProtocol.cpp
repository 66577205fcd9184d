#include "engine/common/UnicodeProtocol.h"

TPathFileName URLToFileName(const std::string& AURL) {
    std::string s = AURL;
    auto colon = s.find(':');
    if (colon != std::string::npos) s.erase(0, colon + 1);
    colon = s.find(':');
    if (colon != std::string::npos) s.erase(0, colon + 1);
    return s;
}

std::string FileNameToUTF8(const TPathFileName& AFileName) {
    static const std::string kPrefix = "unicode:";
    if (AFileName.compare(0, kPrefix.size(), kPrefix) == 0) {
        // "unicode:file:/x" and "unicode:/x" both name /x.
        std::string rest = AFileName.substr(kPrefix.size());
        if (rest.compare(0, 5, "file:") == 0) rest.erase(0, 5);
        return rest;
    }
    return AFileName;
}

TPathFileName UTF8ToFileName(const char* AText) { return AText ? std::string(AText) : std::string(); }
