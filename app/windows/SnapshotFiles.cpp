#include "app/windows/SnapshotFiles.h"

#include "app/core/Translation.h"
#include "platform/classes/Streams.h"
#include "platform/gui/Bitmap.h"
#include "platform/gui/JpegImage.h"
#include "platform/rtl/Exceptions.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool Exists(const std::string& Path)
{
    struct stat st;
    return lstat(Path.c_str(), &st) == 0;
}

// Creates Path only when nothing of that name exists (no link followed).
bool WriteNew(const std::string& Path, const TMemoryStream& Data)
{
    const int fd = open(Path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    bool ok = WriteWhole(fd, Data.Memory(), const_cast<TMemoryStream&>(Data).Size());
    if (close(fd) != 0)
        ok = false;
    if (!ok)
        unlink(Path.c_str());
    return ok;
}

}  // namespace

bool WriteWhole(int Fd, const void* Data, long long Count)
{
    const char* p = static_cast<const char*>(Data);
    while (Count > 0) {
        const ssize_t n = write(Fd, p, static_cast<size_t>(Count));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        Count -= n;
    }
    return true;
}

std::string SnapshotFailedMessage()
{
    return TranslateText("Cannot take snapshot.") + "\r\n" + TranslateText("Make sure Snapshot Folder is available.");
}

std::string NextSnapshotFile(const std::string& Folder, const std::string& Title, const std::string& Ext,
                             int& Counter)
{
    if (Counter < 1)
        Counter = 1;
    std::string name;
    for (;; ++Counter) {
        name = Folder + "/" + Title + "_" + std::to_string(Counter) + "." + Ext;
        if (!Exists(name))
            return name;
    }
}

std::string SaveSnapshot(TBitmap* Frame, TSnapshotFormat Format, const std::string& Folder, const std::string& Title,
                         TSnapshotCounters& Counters)
{
    if (!Frame || Frame->Width() == 0)
        return {};
    TMemoryStream data;
    try {
        if (Format == sfJPEG) {
            TJPEGImage jpeg;
            jpeg.Assign(Frame);
            jpeg.SaveToStream(&data);
        } else {
            Frame->SaveToStream(&data);
        }
    } catch (const Exception&) {
        throw Exception(SnapshotFailedMessage());
    }
    int& counter = Format == sfJPEG ? Counters.JpegSnapshotCounter : Counters.BmpSnapshotCounter;
    int number = counter;
    // Another program may take a name between the look and the write: try on.
    for (int attempt = 0; attempt < 1000; ++attempt, ++number) {
        const std::string name = NextSnapshotFile(Folder, Title, Format == sfJPEG ? "jpg" : "bmp", number);
        if (WriteNew(name, data)) {
            counter = number + 1;
            return name;
        }
        if (errno != EEXIST)
            break;
    }
    throw Exception(SnapshotFailedMessage());
}
