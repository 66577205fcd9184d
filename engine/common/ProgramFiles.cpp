#include "engine/common/ProgramFiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include <string>

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
