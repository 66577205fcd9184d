#include "engine/common/EngineSource.h"

#include "engine/bindings/AVCodecStubs.h"
#include "engine/bindings/AVFormatStubs.h"
#include "engine/bindings/AVUtilStubs.h"
#include "engine/common/EngineRegistry.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
}

const TEngineInputFormat* FindEngineSource(const std::string& AName)
{
    return static_cast<const TEngineInputFormat*>(FindEngineComponent(ekInputFormat, AName));
}

std::vector<const AVClass*> EngineSourceClasses()
{
    std::vector<const AVClass*> classes;
    for (const void* record : EngineComponents(ekInputFormat))
        if (const AVClass* c = static_cast<const TEngineInputFormat*>(record)->PrivClass)
            classes.push_back(c);
    return classes;
}

const TEngineInputFormat* EngineSourceOf(const AVFormatContext* s)
{
    // A source's context has no library format; its record names its class.
    if (!s || s->iformat || !s->priv_data)
        return nullptr;
    const AVClass* c = *static_cast<const AVClass* const*>(s->priv_data);
    for (const void* record : EngineComponents(ekInputFormat)) {
        auto* source = static_cast<const TEngineInputFormat*>(record);
        if (source->PrivClass == c)
            return source;
    }
    return nullptr;
}

namespace {

void FreeSourceContext(AVFormatContext*& s)
{
    if (!s)
        return;
    if (s->priv_data && *static_cast<const AVClass* const*>(s->priv_data))
        ff::av_opt_free(s->priv_data);
    ff::avformat_free_context(s);  // frees priv_data too
    s = nullptr;
}

}  // namespace

int OpenEngineSource(AVFormatContext** ACtx, const TEngineInputFormat* ASource, const char* AName,
                     AVDictionary** AOptions)
{
    AVFormatContext* s = *ACtx ? *ACtx : ff::avformat_alloc_context();
    *ACtx = nullptr;
    if (!s)
        return AVERROR(ENOMEM);
    if (!ASource || !ASource->PrivClass || ASource->PrivDataSize < int(sizeof(void*)) || !ASource->ReadHeader ||
        !ASource->ReadPacket) {
        FreeSourceContext(s);
        return AVERROR(EINVAL);
    }
    s->url = ff::av_strdup(AName ? AName : "");
    s->priv_data = ff::av_mallocz(size_t(ASource->PrivDataSize));
    if (!s->url || !s->priv_data) {
        FreeSourceContext(s);
        return AVERROR(ENOMEM);
    }
    *static_cast<const AVClass**>(s->priv_data) = ASource->PrivClass;
    ff::av_opt_set_defaults(s->priv_data);
    int r = 0;
    // The record takes what it knows, the context its generic options; the
    // rest stays in *AOptions for the caller to report.
    if (AOptions) {
        r = ff::av_opt_set_dict(s->priv_data, AOptions);
        if (r >= 0)
            r = ff::av_opt_set_dict(s, AOptions);
    }
    const bool headerRan = r >= 0;
    if (headerRan)
        r = ASource->ReadHeader(s);
    if (r < 0) {
        if (headerRan && ASource->ReadClose)
            ASource->ReadClose(s);
        FreeSourceContext(s);
        return r;
    }
    *ACtx = s;
    return 0;
}

int ReadEngineSource(const TEngineInputFormat* ASource, AVFormatContext* s, AVPacket* pkt)
{
    int r = ASource->ReadPacket(s, pkt);
    if (r < 0)
        ff::av_packet_unref(pkt);
    return r < 0 ? r : 0;
}

void PauseEngineSource(const TEngineInputFormat* ASource, AVFormatContext* s)
{
    if (ASource && ASource->ReadPause && s)
        ASource->ReadPause(s);
}

void PlayEngineSource(const TEngineInputFormat* ASource, AVFormatContext* s)
{
    if (ASource && ASource->ReadPlay && s)
        ASource->ReadPlay(s);
}

void CloseEngineSource(AVFormatContext** ACtx)
{
    AVFormatContext* s = *ACtx;
    if (!s)
        return;
    if (const TEngineInputFormat* source = EngineSourceOf(s))
        if (source->ReadClose)
            source->ReadClose(s);
    FreeSourceContext(s);
    *ACtx = nullptr;
}

AVClass SourceClass(const char* AName, const AVOption* AOptions)
{
    AVClass c{};
    c.class_name = AName;
    c.item_name = DefaultItemName;
    c.option = AOptions;
    c.version = LIBAVUTIL_VERSION_INT;
    return c;
}
