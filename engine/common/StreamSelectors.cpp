#include "engine/common/StreamSelectors.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/bindings/AVCodecStubs.h"
#include "engine/bindings/AVFormatStubs.h"
#include "engine/bindings/AVUtilStubs.h"
#include "engine/common/OptionTable.h"
#include "engine/common/TextFormat.h"

namespace {

// Reads a C integer (decimal, "0x" hexadecimal or leading-"0" octal) as the
// stream selectors write them. Returns false when no digit was read.
bool ReadCInt(const char*& P, long& Value)
{
    if (!(*P >= '0' && *P <= '9'))
        return false;
    char* end = nullptr;
    errno = 0;
    Value = std::strtol(P, &end, 0);
    if (end == P || errno == ERANGE)
        return false;
    P = end;
    return true;
}

}  // namespace

// ---------------------------------------------------------------------------
// Stream selectors
//
// The syntax: an index; a type letter (v, V, a, s, d, t) optionally followed
// by ":" and a further selector; "p:" program id optionally followed by ":"
// and a further selector; "#" id or "i:" id; "m:" key[":" value]; "u".
// A trailing number counts among the streams the preceding parts select
// (inside the program when one is named).

namespace {

struct TSelectorFilter {
    char type = 0;  // 0: any; v V a s d t
    bool hasProgram = false;
    long program = 0;
    bool hasId = false;
    long id = 0;
    bool hasMeta = false;
    std::string metaKey, metaValue;
    bool metaHasValue = false;
    bool usable = false;
    bool hasIndex = false;
    long index = 0;
};

bool ParseSelector(const char* Sel, TSelectorFilter& F)
{
    const char* p = Sel;
    while (*p) {
        if (*p >= '0' && *p <= '9') {
            if (!ReadCInt(p, F.index) || *p)
                return false;
            F.hasIndex = true;
            return true;
        }
        if (std::strchr("vVasdt", *p) && (p[1] == 0 || p[1] == ':')) {
            if (F.type)
                return false;
            F.type = *p++;
        } else if (p[0] == 'p' && p[1] == ':') {
            if (F.hasProgram)
                return false;
            p += 2;
            if (!ReadCInt(p, F.program))
                return false;
            F.hasProgram = true;
        } else if (p[0] == '#' || (p[0] == 'i' && p[1] == ':')) {
            p += p[0] == '#' ? 1 : 2;
            if (!ReadCInt(p, F.id) || *p)
                return false;
            F.hasId = true;
            return true;
        } else if (p[0] == 'm' && p[1] == ':') {
            p += 2;
            const char* colon = std::strchr(p, ':');
            F.metaKey.assign(p, colon ? size_t(colon - p) : std::strlen(p));
            if (F.metaKey.empty())
                return false;
            if (colon) {
                F.metaValue = colon + 1;
                F.metaHasValue = true;
            }
            F.hasMeta = true;
            return true;
        } else if (p[0] == 'u' && p[1] == 0) {
            F.usable = true;
            return true;
        } else {
            return false;
        }
        if (*p == ':') {
            ++p;
            if (!*p)
                return false;
        } else if (*p) {
            return false;
        }
    }
    return true;
}

bool TypeMatches(char Type, const AVStream* St)
{
    const AVCodecParameters* par = St->codecpar;
    switch (Type) {
    case 0: return true;
    case 'v': return par->codec_type == AVMEDIA_TYPE_VIDEO;
    case 'V': return par->codec_type == AVMEDIA_TYPE_VIDEO && !(St->disposition & AV_DISPOSITION_ATTACHED_PIC);
    case 'a': return par->codec_type == AVMEDIA_TYPE_AUDIO;
    case 's': return par->codec_type == AVMEDIA_TYPE_SUBTITLE;
    case 'd': return par->codec_type == AVMEDIA_TYPE_DATA;
    case 't': return par->codec_type == AVMEDIA_TYPE_ATTACHMENT;
    }
    return false;
}

bool UsableStream(const AVStream* St)
{
    const AVCodecParameters* par = St->codecpar;
    if (par->codec_id == AV_CODEC_ID_NONE)
        return false;
    switch (par->codec_type) {
    case AVMEDIA_TYPE_VIDEO: return par->width > 0 && par->height > 0 && par->format != -1;
    case AVMEDIA_TYPE_AUDIO: return par->sample_rate > 0 && par->ch_layout.nb_channels > 0 && par->format != -1;
    default: return true;
    }
}

// Everything but the trailing index.
bool FilterMatches(const TSelectorFilter& F, const AVFormatContext* S, const AVStream* St)
{
    if (!TypeMatches(F.type, St))
        return false;
    if (F.hasId && St->id != F.id)
        return false;
    if (F.usable && !UsableStream(St))
        return false;
    if (F.hasMeta) {
        const AVDictionaryEntry* e = ff::av_dict_get ? ff::av_dict_get(St->metadata, F.metaKey.c_str(), nullptr, 0)
                                                     : nullptr;
        if (!e || (F.metaHasValue && F.metaValue != e->value))
            return false;
    }
    if (F.hasProgram) {
        bool listed = false;
        for (unsigned i = 0; i < S->nb_programs && !listed; ++i) {
            const AVProgram* pg = S->programs[i];
            if (pg->id != F.program)
                continue;
            for (unsigned j = 0; j < pg->nb_stream_indexes; ++j)
                if (int(pg->stream_index[j]) == St->index) {
                    listed = true;
                    break;
                }
        }
        if (!listed)
            return false;
    }
    return true;
}

}  // namespace

int check_stream_selector(AVFormatContext* S, AVStream* St, const char* Sel)
{
    if (!Sel || !*Sel)
        return 1;
    TSelectorFilter f;
    if (!S || !St || !ParseSelector(Sel, f)) {
        OptionLogLine(S, AV_LOG_ERROR, FormatText("Invalid stream selector: \"%s\"", Sel));
        return AVERROR(EINVAL);
    }
    if (!f.hasIndex)
        return FilterMatches(f, S, St) ? 1 : 0;
    if (!f.type && !f.hasProgram)
        return St->index == f.index ? 1 : 0;
    if (f.hasProgram) {
        // The first program with that id decides; the index counts its streams.
        for (unsigned i = 0; i < S->nb_programs; ++i) {
            const AVProgram* pg = S->programs[i];
            if (pg->id != f.program)
                continue;
            long n = 0;
            for (unsigned j = 0; j < pg->nb_stream_indexes; ++j) {
                unsigned si = pg->stream_index[j];
                if (si >= S->nb_streams || !FilterMatches(f, S, S->streams[si]))
                    continue;
                if (n++ == f.index)
                    return int(si) == St->index ? 1 : 0;
            }
            return 0;
        }
        return 0;
    }
    long n = 0;
    for (unsigned i = 0; i < S->nb_streams; ++i) {
        if (!FilterMatches(f, S, S->streams[i]))
            continue;
        if (n++ == f.index)
            return S->streams[i] == St ? 1 : 0;
    }
    return 0;
}

// ---------------------------------------------------------------------------
// Codec options per stream

AVDictionary* FilterCodecOptions(AVDictionary* Opts, const AVCodec* Codec, AVFormatContext* S, AVStream* St)
{
    if (!Codec)
        return nullptr;
    AVDictionary* ret = nullptr;
    int flags = (S && S->oformat) ? AV_OPT_FLAG_ENCODING_PARAM : AV_OPT_FLAG_DECODING_PARAM;
    char prefix = 0;
    switch (Codec->type) {
    case AVMEDIA_TYPE_VIDEO:
        prefix = 'v';
        flags |= AV_OPT_FLAG_VIDEO_PARAM;
        break;
    case AVMEDIA_TYPE_AUDIO:
        prefix = 'a';
        flags |= AV_OPT_FLAG_AUDIO_PARAM;
        break;
    case AVMEDIA_TYPE_SUBTITLE:
        prefix = 's';
        flags |= AV_OPT_FLAG_SUBTITLE_PARAM;
        break;
    default: break;
    }
    const AVClass* cc = ff::avcodec_get_class();
    const AVDictionaryEntry* t = nullptr;
    while ((t = ff::av_dict_get(Opts, "", t, AV_DICT_IGNORE_SUFFIX))) {
        std::string key = t->key;
        size_t colon = key.find(':');
        if (colon != std::string::npos) {
            int r = check_stream_selector(S, St, key.c_str() + colon + 1);
            if (r < 0) {
                ff::av_dict_free(&ret);
                return nullptr;
            }
            if (r == 0)
                continue;
            key.resize(colon);
        }
        const AVClass* pc = Codec->priv_class;
        if (ff::av_opt_find(&cc, key.c_str(), nullptr, flags, AV_OPT_SEARCH_FAKE_OBJ) ||
            (pc && ff::av_opt_find(&pc, key.c_str(), nullptr, flags, AV_OPT_SEARCH_FAKE_OBJ))) {
            ff::av_dict_set(&ret, key.c_str(), t->value, 0);
        } else if (prefix && key.size() > 1 && key[0] == prefix &&
                   ff::av_opt_find(&cc, key.c_str() + 1, nullptr, flags, AV_OPT_SEARCH_FAKE_OBJ)) {
            ff::av_dict_set(&ret, key.c_str() + 1, t->value, 0);
        }
    }
    return ret;
}

AVDictionary** FindStreamInfoOptions(AVFormatContext* S, AVDictionary* CodecOpts)
{
    if (!S || !S->nb_streams)
        return nullptr;
    auto** opts = static_cast<AVDictionary**>(std::calloc(S->nb_streams, sizeof(AVDictionary*)));
    if (!opts) {
        OptionLogLine(nullptr, AV_LOG_ERROR, "Could not alloc memory for stream options.");
        return nullptr;
    }
    for (unsigned i = 0; i < S->nb_streams; ++i)
        opts[i] = FilterCodecOptions(CodecOpts, ff::avcodec_find_decoder(S->streams[i]->codecpar->codec_id), S,
                                     S->streams[i]);
    return opts;
}

void FreeStreamInfoOptions(AVDictionary**& Opts, unsigned Count)
{
    if (!Opts)
        return;
    for (unsigned i = 0; i < Count; ++i)
        ff::av_dict_free(&Opts[i]);
    std::free(Opts);
    Opts = nullptr;
}
