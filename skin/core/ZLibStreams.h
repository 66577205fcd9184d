#pragma once
// zlib behind the stream interface, for the compressed single-file skin: a
// write-only stream that deflates into another stream, a read-only stream
// that inflates from one, and the two whole-stream helpers the skin format
// uses. All transfers to the underlying stream go through one 8 KiB buffer
// inside the object. zlib failures raise ECompressionError or
// EDecompressionError; misuse of direction or seeking raises "Invalid stream
// operation".
#include "platform/classes/Events.h"
#include "platform/classes/Streams.h"
#include "platform/rtl/Exceptions.h"

#include <zlib.h>

#include <cstdint>
#include <limits>

TARNELLO_EXCEPTION_CLASS(EZlibError, Exception);
TARNELLO_EXCEPTION_CLASS(ECompressionError, EZlibError);
TARNELLO_EXCEPTION_CLASS(EDecompressionError, EZlibError);

// zlib levels 0, 1, its default and 9. Scoped, because the colour names
// clNone and clDefault are taken by the graphics classes.
enum class TCompressionLevel { clNone, clFastest, clDefault, clMax };

class TCustomZlibStream : public TStream {
public:
    TNotifyEvent OnProgress;

protected:
    explicit TCustomZlibStream(TStream* Strm);
    virtual void DoProgress();

    static constexpr int kBufferSize = 8192;
    TStream* FStrm;          // not owned
    std::int64_t FStrmPos;   // where this object last left FStrm
    z_stream FZRec{};
    unsigned char FBuffer[kBufferSize];
};

class TCompressionStream : public TCustomZlibStream {
public:
    TCompressionStream(TCompressionLevel CompressionLevel, TStream* Dest);
    // Finishes the zlib data when Finish was not called; errors are lost
    // there, so callers that care call Finish.
    ~TCompressionStream() override;

    std::int64_t Read(void* Buffer, std::int64_t Count) override;
    std::int64_t Write(const void* Buffer, std::int64_t Count) override;
    // Only Seek(0, soCurrent), which returns the bytes taken in so far.
    std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
    using TStream::Seek;

    // Writes the end of the zlib data to the destination.
    void Finish();
    // Percentage saved: (1 - out / in) * 100, 0 before any input.
    float CompressionRate() const;

private:
    void SyncDestination();
    void FlushBuffer(std::size_t count);
    bool FFinished = false;
};

class TDecompressionStream : public TCustomZlibStream {
public:
    explicit TDecompressionStream(TStream* Source);
    ~TDecompressionStream() override;

    // Inflates up to Count bytes; fewer when the source or the zlib data ends.
    std::int64_t Read(void* Buffer, std::int64_t Count) override;
    std::int64_t Write(const void* Buffer, std::int64_t Count) override;
    // Seek(0, soBeginning) starts over; forward seeks skip by reading; all
    // others raise. Returns the bytes produced so far.
    std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
    using TStream::Seek;

    // True once the end mark of the zlib data was read.
    bool Ended() const { return FEnded; }

private:
    bool FEnded = false;
};

// Compresses all of Source into Dest at the highest level.
void CompressStreamMax(TMemoryStream* Source, TStream* Dest);
// Inflates all of Source (from its start) into Dest. Data that ends before
// the zlib end mark, or that would grow past MaxSize bytes, raises
// EDecompressionError.
void DecompressStream(TStream* Dest, TStream* Source,
                      std::int64_t MaxSize = std::numeric_limits<std::int64_t>::max());
