#include "platform/classes/Streams.h"

#include "platform/classes/FileIO.h"
#include "platform/rtl/Exceptions.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

using tarnello::classes::SystemErrorText;

// ---- TStream --------------------------------------------------------------

std::int64_t TStream::Size()
{
    const std::int64_t pos = Seek(0, soCurrent);
    const std::int64_t size = Seek(0, soEnd);
    Seek(pos, soBeginning);
    return size;
}

void TStream::SetSize(std::int64_t)
{
    throw EStreamError("Stream size cannot be changed");
}

void TStream::ReadBuffer(void* Buffer, std::int64_t Count)
{
    if (Count < 0)
        throw EReadError("Stream read error");
    auto* out = static_cast<unsigned char*>(Buffer);
    // A stream may deliver less than asked per call (pipes, devices).
    while (Count > 0) {
        const std::int64_t got = Read(out, Count);
        if (got <= 0)
            throw EReadError("Stream read error");
        out += got;
        Count -= got;
    }
}

void TStream::WriteBuffer(const void* Buffer, std::int64_t Count)
{
    if (Count < 0)
        throw EWriteError("Stream write error");
    const auto* in = static_cast<const unsigned char*>(Buffer);
    while (Count > 0) {
        const std::int64_t put = Write(in, Count);
        if (put <= 0)
            throw EWriteError("Stream write error");
        in += put;
        Count -= put;
    }
}

std::int64_t TStream::CopyFrom(TStream* Source, std::int64_t Count)
{
    if (Count == 0) {
        Source->SetPosition(0);
        Count = Source->Size();
    }
    if (Count < 0)
        throw EReadError("Stream read error");
    const std::int64_t result = Count;
    constexpr std::int64_t kChunk = 64 * 1024;
    std::vector<unsigned char> buffer(static_cast<std::size_t>(std::min(Count, kChunk)));
    while (Count > 0) {
        const std::int64_t n = std::min(Count, kChunk);
        Source->ReadBuffer(buffer.data(), n);
        WriteBuffer(buffer.data(), n);
        Count -= n;
    }
    return result;
}

// ---- THandleStream --------------------------------------------------------

std::int64_t THandleStream::Read(void* Buffer, std::int64_t Count)
{
    if (Count <= 0 || FHandle < 0)
        return 0;
    for (;;) {
        const ssize_t got = ::read(FHandle, Buffer, static_cast<std::size_t>(Count));
        if (got >= 0)
            return got;
        if (errno != EINTR)
            return 0;
    }
}

std::int64_t THandleStream::Write(const void* Buffer, std::int64_t Count)
{
    if (Count <= 0 || FHandle < 0)
        return 0;
    for (;;) {
        const ssize_t put = ::write(FHandle, Buffer, static_cast<std::size_t>(Count));
        if (put >= 0)
            return put;
        if (errno != EINTR)
            return 0;
    }
}

std::int64_t THandleStream::Seek(std::int64_t Offset, TSeekOrigin Origin)
{
    const int whence = Origin == soBeginning ? SEEK_SET : Origin == soCurrent ? SEEK_CUR : SEEK_END;
    const off_t result = ::lseek(FHandle, static_cast<off_t>(Offset), whence);
    return result < 0 ? -1 : static_cast<std::int64_t>(result);
}

void THandleStream::SetSize(std::int64_t NewSize)
{
    const std::int64_t pos = Position();
    if (NewSize < 0 || ::ftruncate(FHandle, static_cast<off_t>(NewSize)) != 0)
        throw EStreamError("Stream size cannot be changed: " + SystemErrorText(errno));
    if (pos > NewSize)
        Seek(NewSize, soBeginning);
}

// ---- TFileStream ----------------------------------------------------------

TFileStream::TFileStream(const std::string& AFileName, unsigned Mode, unsigned Rights)
    : THandleStream(-1), FFileName(AFileName)
{
    if ((Mode & fmCreate) == fmCreate) {
        FHandle = ::open(AFileName.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, static_cast<mode_t>(Rights));
        if (FHandle < 0)
            throw EFCreateError("Cannot create file \"" + AFileName + "\". " + SystemErrorText(errno));
        return;
    }
    int flags = O_CLOEXEC;
    switch (Mode & 0x3) {
    case fmOpenWrite: flags |= O_WRONLY; break;
    case fmOpenReadWrite: flags |= O_RDWR; break;
    default: flags |= O_RDONLY; break;
    }
    FHandle = ::open(AFileName.c_str(), flags);
    int error = errno;
    if (FHandle >= 0) {
        // A folder opens read-only on Linux but is no stream of bytes.
        struct stat st {};
        if (::fstat(FHandle, &st) == 0 && S_ISDIR(st.st_mode)) {
            ::close(FHandle);
            FHandle = -1;
            error = EISDIR;
        }
    }
    if (FHandle < 0)
        throw EFOpenError("Cannot open file \"" + AFileName + "\". " + SystemErrorText(error));
}

TFileStream::~TFileStream()
{
    if (FHandle >= 0)
        ::close(FHandle);
}

// ---- TMemoryStream --------------------------------------------------------

namespace {

// Reading from a position within [0, size): how many bytes are there.
std::int64_t Available(std::int64_t position, std::int64_t size, std::int64_t count)
{
    if (count <= 0 || position < 0 || position >= size)
        return 0;
    return std::min(count, size - position);
}

std::int64_t SeekTarget(std::int64_t offset, TSeekOrigin origin, std::int64_t position, std::int64_t size)
{
    std::int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? position : size;
    std::int64_t target = 0;
    if (__builtin_add_overflow(base, offset, &target))
        throw EStreamError("Stream position out of range");
    return target;
}

// The end of a write at position, checked against overflow and memory limits.
std::size_t WriteEnd(std::int64_t position, std::int64_t count)
{
    std::int64_t end = 0;
    if (position < 0 || __builtin_add_overflow(position, count, &end) ||
        static_cast<std::uint64_t>(end) > std::numeric_limits<std::size_t>::max() / 2)
        throw EWriteError("Stream write error");
    return static_cast<std::size_t>(end);
}

template <class Container>
void Grow(Container& data, std::size_t size)
{
    try {
        data.resize(size);
    } catch (const std::bad_alloc&) {
        throw EStreamError("Out of memory while expanding memory stream");
    } catch (const std::length_error&) {
        throw EStreamError("Out of memory while expanding memory stream");
    }
}

}  // namespace

std::int64_t TMemoryStream::Read(void* Buffer, std::int64_t Count)
{
    const std::int64_t n = Available(FPosition, Size(), Count);
    if (n > 0) {
        std::memcpy(Buffer, FData.data() + FPosition, static_cast<std::size_t>(n));
        FPosition += n;
    }
    return n;
}

std::int64_t TMemoryStream::Write(const void* Buffer, std::int64_t Count)
{
    if (Count <= 0)
        return 0;
    const std::size_t end = WriteEnd(FPosition, Count);
    if (end > FData.size()) {
        if (end > FData.capacity())
            try {
                FData.reserve(std::max(end, FData.capacity() + FData.capacity() / 2));
            } catch (const std::bad_alloc&) {
            }
        Grow(FData, end);
    }
    std::memcpy(FData.data() + FPosition, Buffer, static_cast<std::size_t>(Count));
    FPosition = static_cast<std::int64_t>(end);
    return Count;
}

std::int64_t TMemoryStream::Seek(std::int64_t Offset, TSeekOrigin Origin)
{
    FPosition = SeekTarget(Offset, Origin, FPosition, Size());
    return FPosition;
}

void TMemoryStream::SetSize(std::int64_t NewSize)
{
    if (NewSize < 0)
        throw EStreamError("Stream size cannot be negative");
    Grow(FData, WriteEnd(0, NewSize));
    if (FPosition > NewSize)
        FPosition = NewSize;
}

void TMemoryStream::Clear()
{
    FData.clear();
    FData.shrink_to_fit();
    FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream* Stream)
{
    Stream->SetPosition(0);
    const std::int64_t count = Stream->Size();
    SetSize(count);
    if (count > 0)
        Stream->ReadBuffer(FData.data(), count);
    FPosition = 0;
}

void TMemoryStream::LoadFromFile(const std::string& FileName)
{
    TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&file);
}

void TMemoryStream::SaveToStream(TStream* Stream)
{
    if (!FData.empty())
        Stream->WriteBuffer(FData.data(), Size());
}

void TMemoryStream::SaveToFile(const std::string& FileName)
{
    TFileStream file(FileName, fmCreate);
    SaveToStream(&file);
}

// ---- TStringStream --------------------------------------------------------

std::int64_t TStringStream::Read(void* Buffer, std::int64_t Count)
{
    const std::int64_t n = Available(FPosition, Size(), Count);
    if (n > 0) {
        std::memcpy(Buffer, FDataString.data() + FPosition, static_cast<std::size_t>(n));
        FPosition += n;
    }
    return n;
}

std::int64_t TStringStream::Write(const void* Buffer, std::int64_t Count)
{
    if (Count <= 0)
        return 0;
    const std::size_t end = WriteEnd(FPosition, Count);
    if (end > FDataString.size())
        Grow(FDataString, end);
    std::memcpy(FDataString.data() + FPosition, Buffer, static_cast<std::size_t>(Count));
    FPosition = static_cast<std::int64_t>(end);
    return Count;
}

std::int64_t TStringStream::Seek(std::int64_t Offset, TSeekOrigin Origin)
{
    FPosition = SeekTarget(Offset, Origin, FPosition, Size());
    return FPosition;
}

void TStringStream::SetSize(std::int64_t NewSize)
{
    if (NewSize < 0)
        throw EStreamError("Stream size cannot be negative");
    Grow(FDataString, WriteEnd(0, NewSize));
    if (FPosition > NewSize)
        FPosition = NewSize;
}

std::string TStringStream::ReadString(std::int64_t Count)
{
    const std::int64_t n = Available(FPosition, Size(), Count);
    if (n == 0)
        return {};
    std::string result = FDataString.substr(static_cast<std::size_t>(FPosition), static_cast<std::size_t>(n));
    FPosition += n;
    return result;
}

void TStringStream::WriteString(const std::string& AString)
{
    WriteBuffer(AString.data(), static_cast<std::int64_t>(AString.size()));
}
