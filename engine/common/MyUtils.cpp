#include "engine/common/MyUtils.h"

#include <sys/stat.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "platform/rtl/DynLoad.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Threads.h"

TPathFileName GetExePath() {
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return "./";
    std::string path(buf, static_cast<size_t>(n));
    auto slash = path.rfind('/');
    return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

int64_t FileSizeOf(const TPathFileName& AFileName) {
    struct stat st{};
    if (AFileName.empty() || ::stat(AFileName.c_str(), &st) != 0) return -1;
    return static_cast<int64_t>(st.st_size);
}

std::string CutAtDelimiter(std::string& S, const std::string& ADelimiter, bool ARemove) {
    auto pos = ADelimiter.empty() ? std::string::npos : S.find(ADelimiter);
    if (pos == std::string::npos) {
        std::string whole = S;
        if (ARemove) S.clear();
        return whole;
    }
    std::string head = S.substr(0, pos);
    if (ARemove) S.erase(0, pos + ADelimiter.size());
    return head;
}


std::string SizeToText(int64_t ASize) {
    char buf[64];
    if (ASize <= 1024) {
        std::snprintf(buf, sizeof buf, "%lld Byte", static_cast<long long>(ASize));
        return buf;
    }
    double value;
    const char* unit;
    if (ASize <= 1048576) {
        value = ASize / 1024.0;
        unit = "KB";
    } else if (ASize <= 1073741824) {
        value = ASize / 1048576.0;
        unit = "MB";
    } else {
        value = ASize / 1073741824.0;
        unit = "GB";
    }
    std::snprintf(buf, sizeof buf, "%.2f %s", value, unit);
    std::string s = buf;
    // The C library prints a point; the text shows the user's separator.
    for (char& c : s)
        if (c == '.') {
            c = FormatSettings.DecimalSeparator;
            break;
        }
    return s;
}

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

// Most texts fit the stack buffer; a longer one is formatted a second time
// into a string of its exact size.
std::string FormatVA(const char* AFormat, va_list AArgs) {
    char small[2048];
    va_list copy;
    va_copy(copy, AArgs);
    int n = std::vsnprintf(small, sizeof small, AFormat, copy);
    va_end(copy);
    if (n < 0) return std::string();
    if (static_cast<size_t>(n) < sizeof small) return std::string(small, static_cast<size_t>(n));
    std::string big(static_cast<size_t>(n) + 1, '\0');
    va_copy(copy, AArgs);
    std::vsnprintf(big.data(), big.size(), AFormat, copy);
    va_end(copy);
    big.resize(static_cast<size_t>(n));
    return big;
}

void* LoadLibraryFromPath(const TPathFileName& AFolder, const TPathFileName& AFileName, std::string& AError) {
    std::string name = AFileName;
    if (!AFolder.empty()) {
        std::string full = AFolder;
        if (full.back() != '/') full += '/';
        full += AFileName;
        if (FileSizeOf(full) >= 0) name = full;
    }
    HMODULE handle = LoadLibrary(name);
    if (!handle) AError = DynLoadError();
    return static_cast<void*>(handle);
}

void FreeLibraryHandle(void* AHandle) {
    if (AHandle) FreeLibrary(static_cast<HMODULE>(AHandle));
}

void* BindFunction(const TPathFileName& ALibName, void* AHandle, const char* AName, bool AOptional) {
    void* p = GetProcAddress(static_cast<HMODULE>(AHandle), AName);
    if (!p && !AOptional) {
        std::string msg = "Load function ";
        msg += AName;
        msg += '@';
        msg += ALibName;
        msg += " error: ";
        msg += DynLoadError();
        throw Exception(msg);
    }
    return p;
}

// Window messages are served by the window system's own loop; what the
// engine's waits must keep serving is the main-thread call queue.
bool ProcessOneMessage() { return CheckSynchronize(0); }

void PumpMessages() {
    while (ProcessOneMessage()) {
    }
}

void RunInMainThread(const std::function<void()>& AMethod) {
    if (!AMethod) return;
    TThread::Synchronize(nullptr, AMethod);
}
