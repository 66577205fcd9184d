#pragma once
// Streams: one read/write/seek interface over files, memory and strings.
// Read and Write move as many bytes as they can and say how many; ReadBuffer
// and WriteBuffer demand the full count and raise EReadError/EWriteError
// otherwise, so callers that parse data never read past a short file.
#include "platform/classes/Object.h"

#include <cstdint>
#include <string>
#include <vector>

// Seek origins, in both of the platform's spellings.
enum TSeekOrigin { soBeginning = 0, soCurrent = 1, soEnd = 2 };
constexpr int soFromBeginning = 0;
constexpr int soFromCurrent = 1;
constexpr int soFromEnd = 2;

// File open modes: an access mode or fmCreate, combined with a share mode.
// Linux has no mandatory sharing locks; share modes are accepted and ignored.
constexpr unsigned fmCreate = 0xFF00;
constexpr unsigned fmOpenRead = 0x0000;
constexpr unsigned fmOpenWrite = 0x0001;
constexpr unsigned fmOpenReadWrite = 0x0002;
constexpr unsigned fmShareCompat = 0x0000;
constexpr unsigned fmShareExclusive = 0x0010;
constexpr unsigned fmShareDenyWrite = 0x0020;
constexpr unsigned fmShareDenyRead = 0x0030;
constexpr unsigned fmShareDenyNone = 0x0040;

class TStream : public TObject {
public:
    // Reads up to Count bytes; returns how many were read (0 at the end).
    virtual std::int64_t Read(void* Buffer, std::int64_t Count) = 0;
    // Writes up to Count bytes; returns how many were written.
    virtual std::int64_t Write(const void* Buffer, std::int64_t Count) = 0;
    // Moves the position and returns the new one.
    virtual std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) = 0;
    std::int64_t Seek(std::int64_t Offset, int Origin) { return Seek(Offset, static_cast<TSeekOrigin>(Origin)); }

    std::int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(std::int64_t Pos) { Seek(Pos, soBeginning); }
    virtual std::int64_t Size();
    virtual void SetSize(std::int64_t NewSize);

    // The whole count or EReadError "Stream read error".
    void ReadBuffer(void* Buffer, std::int64_t Count);
    // The whole count or EWriteError "Stream write error".
    void WriteBuffer(const void* Buffer, std::int64_t Count);
    // Copies Count bytes from Source's position; Count 0 copies all of Source
    // from its start. Returns the number of bytes copied.
    std::int64_t CopyFrom(TStream* Source, std::int64_t Count);
};

// A stream over an open file descriptor, which it does not own.
class THandleStream : public TStream {
public:
    explicit THandleStream(int AHandle) : FHandle(AHandle) {}
    int Handle() const { return FHandle; }

    std::int64_t Read(void* Buffer, std::int64_t Count) override;
    std::int64_t Write(const void* Buffer, std::int64_t Count) override;
    std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
    using TStream::Seek;
    void SetSize(std::int64_t NewSize) override;

protected:
    int FHandle = -1;
};

// A stream over a named file, opened or created by the constructor.
// Failures raise EFOpenError "Cannot open file "%s". %s" or EFCreateError
// "Cannot create file "%s". %s" with the system's reason.
class TFileStream : public THandleStream {
public:
    TFileStream(const std::string& AFileName, unsigned Mode, unsigned Rights = 0666);
    ~TFileStream() override;
    const std::string& FileName() const { return FFileName; }

private:
    std::string FFileName;
};

// A stream over a growable block of memory.
class TMemoryStream : public TStream {
public:
    std::int64_t Read(void* Buffer, std::int64_t Count) override;
    std::int64_t Write(const void* Buffer, std::int64_t Count) override;
    std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
    using TStream::Seek;
    std::int64_t Size() override { return static_cast<std::int64_t>(FData.size()); }
    void SetSize(std::int64_t NewSize) override;

    void* Memory() { return FData.data(); }
    const void* Memory() const { return FData.data(); }
    void Clear();
    void LoadFromStream(TStream* Stream);
    void LoadFromFile(const std::string& FileName);
    void SaveToStream(TStream* Stream);
    void SaveToFile(const std::string& FileName);

private:
    std::vector<unsigned char> FData;
    std::int64_t FPosition = 0;
};

// A stream whose content is a string, readable as DataString.
class TStringStream : public TStream {
public:
    TStringStream() = default;
    explicit TStringStream(std::string AString) : FDataString(std::move(AString)) {}

    std::int64_t Read(void* Buffer, std::int64_t Count) override;
    std::int64_t Write(const void* Buffer, std::int64_t Count) override;
    std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
    using TStream::Seek;
    std::int64_t Size() override { return static_cast<std::int64_t>(FDataString.size()); }
    void SetSize(std::int64_t NewSize) override;

    const std::string& DataString() const { return FDataString; }
    // Reads up to Count bytes from the position as text.
    std::string ReadString(std::int64_t Count);
    void WriteString(const std::string& AString);

private:
    std::string FDataString;
    std::int64_t FPosition = 0;
};
