#include "engine/common/CommandLine.h"

void SplitCommandLine(const char* ACmdLine, char** AArgv, char* AArgs, int& ANumChars, int& ANumArgs) {
    ANumChars = 0;
    ANumArgs = 0;
    const char* p = ACmdLine ? ACmdLine : "";
    bool inQuote = false;
    for (;;) {
        while (*p == ' ' || *p == '\t') ++p;
        if (*p == '\0') break;
        if (AArgv) *AArgv++ = AArgs;
        ++ANumArgs;
        for (;;) {
            bool copyChar = true;
            unsigned slashes = 0;
            while (*p == '\\') {
                ++p;
                ++slashes;
            }
            if (*p == '"') {
                if (slashes % 2 == 0) {
                    if (inQuote && p[1] == '"')
                        ++p;  // a doubled quote inside quotes is one literal quote
                    else
                        copyChar = false;
                    inQuote = !inQuote;
                }
                slashes /= 2;
            }
            while (slashes--) {
                if (AArgs) *AArgs++ = '\\';
                ++ANumChars;
            }
            if (*p == '\0' || (!inQuote && (*p == ' ' || *p == '\t'))) break;
            if (copyChar) {
                if (AArgs) *AArgs++ = *p;
                ++ANumChars;
            }
            ++p;
        }
        if (AArgs) *AArgs++ = '\0';
        ++ANumChars;
    }
    static char empty[1] = {'\0'};
    if (AArgv) *AArgv = empty;
    ++ANumArgs;
}

std::vector<std::string> SplitCommandLine(const std::string& ACmdLine) {
    int chars = 0, args = 0;
    SplitCommandLine(ACmdLine.c_str(), nullptr, nullptr, chars, args);
    std::vector<char*> argv(static_cast<size_t>(args) + 1);
    std::vector<char> buf(static_cast<size_t>(chars) + 1, '\0');
    SplitCommandLine(ACmdLine.c_str(), argv.data(), buf.data(), chars, args);
    std::vector<std::string> result;
    for (int i = 0; i + 1 < args; ++i) result.emplace_back(argv[static_cast<size_t>(i)]);
    return result;
}
