// Stream selectors ("v:0", "a:m:language:eng", "p:1:a", "#0x101", ...)
// matched against every stream of a hand-made container, as the transcoder
// matches per-stream options and codec options. Input: the selector text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "EngineFuzz.h"
#include "engine/bindings/AVFormatStubs.h"
#include "engine/bindings/AVUtilStubs.h"
#include "engine/common/StreamSelectors.h"
#include "platform/rtl/Exceptions.h"

using namespace tarnello::fuzz;

namespace {

AVFormatContext* Context = nullptr;

// Video, audio (two languages), subtitle, data and an attached picture,
// with ids, in two programs.
AVFormatContext* MakeContext()
{
    struct TDesc {
        AVMediaType type;
        int id;
        const char* language;
        bool picture;
    } const streams[] = {{AVMEDIA_TYPE_VIDEO, 0x100, nullptr, false}, {AVMEDIA_TYPE_AUDIO, 0x101, "eng", false},
                         {AVMEDIA_TYPE_AUDIO, 0x102, "fre", false}, {AVMEDIA_TYPE_SUBTITLE, 0x103, "eng", false},
                         {AVMEDIA_TYPE_DATA, 0x104, nullptr, false},  {AVMEDIA_TYPE_VIDEO, 0x105, nullptr, true}};
    AVFormatContext* s = ff::avformat_alloc_context();
    for (const TDesc& d : streams) {
        AVStream* st = ff::avformat_new_stream(s, nullptr);
        st->codecpar->codec_type = d.type;
        st->id = d.id;
        if (d.type == AVMEDIA_TYPE_AUDIO)
            ff::av_channel_layout_default(&st->codecpar->ch_layout, 2);
        if (d.type == AVMEDIA_TYPE_VIDEO)
            st->avg_frame_rate = st->r_frame_rate = AVRational{25, 1};
        if (d.picture)
            st->disposition |= AV_DISPOSITION_ATTACHED_PIC;
        if (d.language)
            ff::av_dict_set(&st->metadata, "language", d.language, 0);
    }
    ff::av_new_program(s, 1);
    for (unsigned i : {0u, 1u, 3u})
        ff::av_program_add_stream_index(s, 1, i);
    ff::av_new_program(s, 2);
    for (unsigned i : {2u, 4u, 5u})
        ff::av_program_add_stream_index(s, 2, i);
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    BindEngineLibraries();
    Context = MakeContext();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const std::string selector(reinterpret_cast<const char*>(Data), Size);
    try {
        for (unsigned i = 0; i < Context->nb_streams; ++i)
            check_stream_selector(Context, Context->streams[i], selector.c_str());
    } catch (const Exception&) {
    }
    QuietEngineLogs();
    return 0;
}
