#include "skin/core/ZLibStreams.h"

#include <algorithm>

namespace {

constexpr const char* kInvalidOperation = "Invalid stream operation";

int ZLevel(TCompressionLevel level)
{
    switch (level) {
    case TCompressionLevel::clNone: return 0;
    case TCompressionLevel::clFastest: return 1;
    case TCompressionLevel::clMax: return 9;
    default: return Z_DEFAULT_COMPRESSION;
    }
}

// zlib counts in 32-bit units per call; larger requests are fed in slices.
constexpr std::int64_t kMaxSlice = 1 << 30;

}  // namespace

TCustomZlibStream::TCustomZlibStream(TStream* Strm) : FStrm(Strm), FStrmPos(Strm->Position()) {}

void TCustomZlibStream::DoProgress()
{
    if (OnProgress)
        OnProgress(this);
}

// ---------------------------------------------------------------------------

TCompressionStream::TCompressionStream(TCompressionLevel CompressionLevel, TStream* Dest) : TCustomZlibStream(Dest)
{
    FZRec.next_out = FBuffer;
    FZRec.avail_out = kBufferSize;
    if (deflateInit(&FZRec, ZLevel(CompressionLevel)) < 0)
        throw ECompressionError("error");
}

TCompressionStream::~TCompressionStream()
{
    try {
        Finish();
    } catch (...) {
        // A destructor cannot report; Finish tells callers that ask.
    }
    deflateEnd(&FZRec);
}

void TCompressionStream::SyncDestination()
{
    if (FStrm->Position() != FStrmPos)
        FStrm->SetPosition(FStrmPos);
}

void TCompressionStream::FlushBuffer(std::size_t count)
{
    FStrm->WriteBuffer(FBuffer, static_cast<std::int64_t>(count));
    FStrmPos = FStrm->Position();
    FZRec.next_out = FBuffer;
    FZRec.avail_out = kBufferSize;
    DoProgress();
}

std::int64_t TCompressionStream::Read(void*, std::int64_t) { throw ECompressionError(kInvalidOperation); }

std::int64_t TCompressionStream::Write(const void* Buffer, std::int64_t Count)
{
    if (FFinished)
        throw ECompressionError(kInvalidOperation);
    if (Count <= 0)
        return 0;
    SyncDestination();
    auto* in = static_cast<const unsigned char*>(Buffer);
    std::int64_t left = Count;
    while (left > 0) {
        const std::int64_t slice = std::min(left, kMaxSlice);
        FZRec.next_in = const_cast<unsigned char*>(in);
        FZRec.avail_in = static_cast<uInt>(slice);
        while (FZRec.avail_in > 0) {
            if (deflate(&FZRec, Z_NO_FLUSH) < 0)
                throw ECompressionError("error");
            if (FZRec.avail_out == 0)
                FlushBuffer(kBufferSize);
        }
        in += slice;
        left -= slice;
    }
    return Count;
}

std::int64_t TCompressionStream::Seek(std::int64_t Offset, TSeekOrigin Origin)
{
    if (Offset == 0 && Origin == soCurrent)
        return static_cast<std::int64_t>(FZRec.total_in);
    throw ECompressionError(kInvalidOperation);
}

void TCompressionStream::Finish()
{
    if (FFinished)
        return;
    FFinished = true;
    FZRec.next_in = nullptr;
    FZRec.avail_in = 0;
    SyncDestination();
    for (;;) {
        const int rc = deflate(&FZRec, Z_FINISH);
        if (rc < 0 && rc != Z_BUF_ERROR)
            throw ECompressionError("error");
        if (rc == Z_STREAM_END)
            break;
        if (FZRec.avail_out == 0)
            FlushBuffer(kBufferSize);
    }
    const std::size_t filled = kBufferSize - FZRec.avail_out;
    if (filled > 0)
        FlushBuffer(filled);
}

float TCompressionStream::CompressionRate() const
{
    if (FZRec.total_in == 0)
        return 0;
    return (1.0f - static_cast<float>(FZRec.total_out) / static_cast<float>(FZRec.total_in)) * 100.0f;
}

// ---------------------------------------------------------------------------

TDecompressionStream::TDecompressionStream(TStream* Source) : TCustomZlibStream(Source)
{
    FZRec.next_in = FBuffer;
    FZRec.avail_in = 0;
    if (inflateInit(&FZRec) < 0)
        throw EDecompressionError("compression error");
}

TDecompressionStream::~TDecompressionStream() { inflateEnd(&FZRec); }

std::int64_t TDecompressionStream::Read(void* Buffer, std::int64_t Count)
{
    if (Count <= 0 || FEnded)
        return 0;
    if (FStrm->Position() != FStrmPos)
        FStrm->SetPosition(FStrmPos);
    auto* out = static_cast<unsigned char*>(Buffer);
    std::int64_t produced = 0;
    while (produced < Count) {
        if (FZRec.avail_in == 0) {
            const std::int64_t got = FStrm->Read(FBuffer, kBufferSize);
            if (got <= 0)
                return produced;
            FZRec.next_in = FBuffer;
            FZRec.avail_in = static_cast<uInt>(got);
            FStrmPos = FStrm->Position();
            DoProgress();
        }
        const std::int64_t want = std::min(Count - produced, kMaxSlice);
        FZRec.next_out = out + produced;
        FZRec.avail_out = static_cast<uInt>(want);
        const int rc = inflate(&FZRec, Z_NO_FLUSH);
        produced += want - FZRec.avail_out;
        if (rc == Z_STREAM_END) {
            FEnded = true;
            return produced;
        }
        // Z_BUF_ERROR only means no progress was possible with this input.
        if (rc < 0 && rc != Z_BUF_ERROR)
            throw EDecompressionError("compression error");
        if (rc == Z_NEED_DICT)
            throw EDecompressionError("compression error");
    }
    return produced;
}

std::int64_t TDecompressionStream::Write(const void*, std::int64_t) { throw EDecompressionError(kInvalidOperation); }

std::int64_t TDecompressionStream::Seek(std::int64_t Offset, TSeekOrigin Origin)
{
    const auto producedSoFar = static_cast<std::int64_t>(FZRec.total_out);
    if (Offset == 0 && Origin == soBeginning) {
        if (inflateReset(&FZRec) < 0)
            throw EDecompressionError("compression error");
        FZRec.next_in = FBuffer;
        FZRec.avail_in = 0;
        FEnded = false;
        FStrm->SetPosition(0);
        FStrmPos = 0;
    } else if ((Origin == soCurrent && Offset >= 0) || (Origin == soBeginning && Offset > producedSoFar)) {
        std::int64_t skip = Origin == soCurrent ? Offset : Offset - producedSoFar;
        unsigned char scratch[kBufferSize];
        while (skip > 0) {
            const std::int64_t piece = std::min<std::int64_t>(skip, kBufferSize);
            const std::int64_t got = Read(scratch, piece);
            if (got <= 0)
                break;
            skip -= got;
        }
    } else {
        throw EDecompressionError(kInvalidOperation);
    }
    return static_cast<std::int64_t>(FZRec.total_out);
}

// ---------------------------------------------------------------------------

void CompressStreamMax(TMemoryStream* Source, TStream* Dest)
{
    TCompressionStream zip(TCompressionLevel::clMax, Dest);
    Source->SetPosition(0);
    if (Source->Size() > 0)
        zip.WriteBuffer(Source->Memory(), Source->Size());
    zip.Finish();
}

void DecompressStream(TStream* Dest, TStream* Source, std::int64_t MaxSize)
{
    Source->SetPosition(0);
    TDecompressionStream unzip(Source);
    unsigned char piece[4096];
    std::int64_t total = 0;
    for (;;) {
        const std::int64_t got = unzip.Read(piece, sizeof piece);
        if (got <= 0)
            break;
        total += got;
        if (total > MaxSize)
            throw EDecompressionError("Decompressed data is larger than " + std::to_string(MaxSize) + " bytes");
        Dest->WriteBuffer(piece, got);
    }
    // Data cut short is an error, never a partial result.
    if (!unzip.Ended())
        throw EDecompressionError("compression error");
}
