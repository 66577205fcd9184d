#include "platform/classes/FileIO.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnello::classes {

std::string SystemErrorText(int error)
{
    return SysErrorMessage(error);
}

namespace {

class FdGuard {
public:
    explicit FdGuard(int fd) : fd_(fd) {}
    ~FdGuard()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FdGuard(const FdGuard&) = delete;
    FdGuard& operator=(const FdGuard&) = delete;
    int get() const { return fd_; }
    int release()
    {
        int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

[[noreturn]] void RaiseOpen(const std::string& fileName, int error)
{
    throw EFOpenError("Cannot open file \"" + fileName + "\". " + SystemErrorText(error));
}

[[noreturn]] void RaiseCreate(const std::string& fileName, int error)
{
    throw EFCreateError("Cannot create file \"" + fileName + "\". " + SystemErrorText(error));
}

bool WriteAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace

std::string ReadWholeFile(const std::string& fileName)
{
    FdGuard fd(::open(fileName.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        RaiseOpen(fileName, errno);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        RaiseOpen(fileName, errno);
    if (S_ISDIR(st.st_mode))
        RaiseOpen(fileName, EISDIR);
    std::string data;
    if (S_ISREG(st.st_mode) && st.st_size > 0)
        data.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw EInOutError("Cannot read file \"" + fileName + "\". " + SystemErrorText(errno));
        }
        if (got == 0)
            break;
        data.append(buffer, static_cast<std::size_t>(got));
    }
    return data;
}

void WriteFileAtomically(const std::string& fileName, std::string_view data, mode_t newMode,
                         TWriteDurability durability)
{
    if (fileName.empty())
        RaiseCreate(fileName, ENOENT);
    const auto slash = fileName.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : fileName.substr(0, slash));
    const std::string base = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
    if (base.empty())
        RaiseCreate(fileName, EISDIR);

    mode_t mode = newMode;
    struct stat existing {};
    if (::stat(fileName.c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode))
            RaiseCreate(fileName, EISDIR);
        mode = existing.st_mode & 07777;
    }

    std::string temp = folder + "/." + base + ".tmp-XXXXXX";
    FdGuard fd(::mkostemp(temp.data(), O_CLOEXEC));
    if (fd.get() < 0)
        RaiseCreate(fileName, errno);
    int error = 0;
    if (!WriteAll(fd.get(), data.data(), data.size()) || ::fchmod(fd.get(), mode) != 0 ||
        (durability == TWriteDurability::Durable && ::fsync(fd.get()) != 0))
        error = errno;
    const int closing = fd.release();
    if (::close(closing) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temp.c_str(), fileName.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temp.c_str());
        RaiseCreate(fileName, error);
    }
    if (durability != TWriteDurability::Durable)
        return;
    // Make the rename itself durable.
    FdGuard dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0)
        ::fsync(dir.get());
}

TFileStamp GetFileStamp(const std::string& fileName)
{
    TFileStamp stamp;
    struct stat st {};
    if (::stat(fileName.c_str(), &st) != 0)
        return stamp;
    stamp.exists = true;
    stamp.device = st.st_dev;
    stamp.inode = st.st_ino;
    stamp.size = st.st_size;
    stamp.modified = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    return stamp;
}

}  // namespace tarnello::classes
