#include "app/windows/PreviewSDLCopy.h"

#include "app/core/AppData.h"
#include "app/windows/SnapshotFiles.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A folder of ours with mode 0700: made when missing, never through a link.
bool PrivateFolder(const std::string& Path)
{
    if (mkdir(Path.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat st;
    if (lstat(Path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != geteuid())
        return false;
    if ((st.st_mode & 0777) != 0700 && chmod(Path.c_str(), 0700) != 0)
        return false;
    return true;
}

bool MakeParents(const std::string& Path)
{
    for (std::size_t i = 1; i < Path.size(); ++i)
        if (Path[i] == '/') {
            const std::string part = Path.substr(0, i);
            if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
                return false;
        }
    return true;
}

std::string DefaultLibrary()
{
    const std::string own = App().ProgramFolder + "LibAV/libSDL-1.2.so.0";
    if (!App().ProgramFolder.empty() && access(own.c_str(), R_OK) == 0)
        return own;
    for (const char* dir : {"/usr/lib/x86_64-linux-gnu/", "/lib/x86_64-linux-gnu/", "/usr/lib64/", "/usr/lib/"}) {
        const std::string p = std::string(dir) + "libSDL-1.2.so.0";
        if (access(p.c_str(), R_OK) == 0)
            return p;
    }
    return {};
}

bool CopyFile(const std::string& From, const std::string& To, std::string& Error)
{
    const int in = open(From.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        Error = From + ": " + std::strerror(errno);
        return false;
    }
    // A new file beside the target, renamed over it: the name never shows
    // anything but a whole copy of ours.
    std::string temp = To + ".XXXXXX";
    const int out = mkostemp(temp.data(), O_CLOEXEC);
    if (out < 0) {
        Error = To + ": " + std::strerror(errno);
        close(in);
        return false;
    }
    bool ok = true;
    char buf[65536];
    for (;;) {
        const ssize_t n = read(in, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ok = false;
            break;
        }
        if (n == 0)
            break;
        ok = WriteWhole(out, buf, n);
        if (!ok)
            break;
    }
    if (!ok)
        Error = To + ": " + std::strerror(errno);
    close(in);
    if (fchmod(out, 0700) != 0 || close(out) != 0)
        ok = false;
    if (ok && rename(temp.c_str(), To.c_str()) != 0) {
        Error = To + ": " + std::strerror(errno);
        ok = false;
    }
    if (!ok)
        unlink(temp.c_str());
    return ok;
}

}  // namespace

std::string SDLCopyFolder()
{
    if (const char* run = std::getenv("XDG_RUNTIME_DIR"); run && *run == '/') {
        const std::string folder = std::string(run) + "/tarnello-sdl";
        if (PrivateFolder(folder))
            return folder;
    }
    std::string cache;
    if (const char* c = std::getenv("XDG_CACHE_HOME"); c && *c == '/')
        cache = c;
    else if (const char* home = std::getenv("HOME"); home && *home == '/')
        cache = std::string(home) + "/.cache";
    else
        return {};
    const std::string folder = cache + "/tarnello/sdl";
    if (!MakeParents(folder + "/"))
        return {};
    return PrivateFolder(folder) ? folder : std::string();
}

std::string PrepareSDLLibrary(int Number, std::string& Error, const std::string& Library)
{
    const std::string folder = SDLCopyFolder();
    if (folder.empty()) {
        Error = "No private folder for the SDL library";
        return {};
    }
    const std::string source = Library.empty() ? DefaultLibrary() : Library;
    if (source.empty()) {
        Error = "libSDL-1.2.so.0 not found";
        return {};
    }
    const std::string target = folder + "/SDL_" + std::to_string(Number) + ".so";
    if (!CopyFile(source, target, Error))
        return {};
    return target;
}
