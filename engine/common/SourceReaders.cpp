#include "engine/common/SourceReaders.h"

#include "engine/bindings/AVFormatStubs.h"
#include "engine/bindings/AVUtilStubs.h"

#include <map>
#include <mutex>

namespace {

struct TRegistry {
    std::mutex Lock;
    std::map<std::string, TSourceReader> Readers;
};

TRegistry& Registry()
{
    static TRegistry r;
    return r;
}

// One open source: its reader's calls (copied, so unregistering meanwhile
// does no harm) and the plug-in's handle.
struct TOpenSource {
    TSourceReader Reader;
    void* Handle = nullptr;
};

int ReadSource(void* AOpaque, std::uint8_t* ABuffer, int ASize)
{
    auto* s = static_cast<TOpenSource*>(AOpaque);
    const std::int32_t n = s->Reader.Read(s->Handle, ABuffer, ASize);
    if (n == 0)
        return AVERROR_EOF;
    if (n < 0 || n > ASize)
        return AVERROR(EIO);
    return n;
}

std::int64_t SeekSource(void* AOpaque, std::int64_t AOffset, int AWhence)
{
    auto* s = static_cast<TOpenSource*>(AOpaque);
    const std::int64_t r = s->Reader.Seek(s->Handle, AOffset, AWhence & ~AVSEEK_FORCE);
    return r < 0 ? AVERROR(EIO) : r;
}

bool FindReader(const std::string& AName, TSourceReader& AReader)
{
    TRegistry& r = Registry();
    std::lock_guard<std::mutex> lock(r.Lock);
    for (const auto& [prefix, reader] : r.Readers)
        if (AName.compare(0, prefix.size(), prefix) == 0) {
            AReader = reader;
            return true;
        }
    return false;
}

void FreeSource(AVIOContext*& APb)
{
    if (!APb)
        return;
    auto* s = static_cast<TOpenSource*>(APb->opaque);
    s->Reader.Close(s->Handle);
    delete s;
    ff::av_freep(&APb->buffer);
    ff::avio_context_free(&APb);
}

}  // namespace

bool RegisterSourceReader(const std::string& APrefix, const TSourceReader& AReader)
{
    if (APrefix.empty() || !AReader.Open || !AReader.Read || !AReader.Seek || !AReader.Close)
        return false;
    TRegistry& r = Registry();
    std::lock_guard<std::mutex> lock(r.Lock);
    r.Readers[APrefix] = AReader;
    return true;
}

void UnregisterSourceReader(const std::string& APrefix)
{
    TRegistry& r = Registry();
    std::lock_guard<std::mutex> lock(r.Lock);
    r.Readers.erase(APrefix);
}

bool IsReaderSourceName(const std::string& AName)
{
    TSourceReader unused;
    return FindReader(AName, unused);
}

int OpenSourceInput(AVFormatContext** ACtx, const std::string& AName, const AVInputFormat* AFormat,
                    AVDictionary** AOptions)
{
    TSourceReader reader;
    if (!FindReader(AName, reader))
        return ff::avformat_open_input(ACtx, AName.c_str(), AFormat, AOptions);

    auto fail = [ACtx](int ACode) {
        ff::avformat_free_context(*ACtx);
        *ACtx = nullptr;
        return ACode;
    };
    if (!*ACtx && !(*ACtx = ff::avformat_alloc_context()))
        return AVERROR(ENOMEM);
    void* handle = reader.Open(AName.c_str());
    if (!handle)
        return fail(AVERROR(ENOENT));
    constexpr int kSize = 65536;
    auto* buffer = static_cast<std::uint8_t*>(ff::av_malloc(kSize));
    auto* source = new TOpenSource{reader, handle};
    AVIOContext* pb = buffer ? ff::avio_alloc_context(buffer, kSize, 0, source, ReadSource, nullptr, SeekSource)
                             : nullptr;
    if (!pb) {
        ff::av_free(buffer);
        reader.Close(handle);
        delete source;
        return fail(AVERROR(ENOMEM));
    }
    (*ACtx)->pb = pb;
    (*ACtx)->flags |= AVFMT_FLAG_CUSTOM_IO;
    const int r = ff::avformat_open_input(ACtx, AName.c_str(), AFormat, AOptions);
    if (r < 0)
        FreeSource(pb);  // the library freed the context, never a custom reader
    return r;
}

void CloseSourceInput(AVFormatContext** ACtx)
{
    if (!ACtx || !*ACtx)
        return;
    AVIOContext* own = ((*ACtx)->flags & AVFMT_FLAG_CUSTOM_IO) && (*ACtx)->pb &&
                               (*ACtx)->pb->read_packet == ReadSource
                           ? (*ACtx)->pb
                           : nullptr;
    ff::avformat_close_input(ACtx);
    FreeSource(own);
}
