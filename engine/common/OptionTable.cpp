#include "engine/common/OptionTable.h"
#include "engine/common/EngineSource.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

#include "engine/bindings/AVCodecStubs.h"
#include "engine/bindings/AVFormatStubs.h"
#include "engine/bindings/AVUtilStubs.h"
#include "engine/bindings/FFLoad.h"
#include "engine/common/FFTexts.h"
#include "engine/common/TextFormat.h"
#include "engine/bindings/SwResampleStubs.h"
#include "engine/bindings/SwScaleStubs.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"

namespace {

bool HasCodeHalf(const TOptionDef* Po)
{
    return Po->func != nullptr;
}

}  // namespace

char* OptStrDup(const char* Text)
{
    if (!Text)
        return nullptr;
    size_t n = std::strlen(Text) + 1;
    char* p = static_cast<char*>(std::malloc(n));
    if (!p)
        throw Exception("Could not alloc buffer.");
    std::memcpy(p, Text, n);
    return p;
}

void OptionLogLine(void* Avcl, int Level, const std::string& ALine)
{
    if (ff::av_log)
        ff::av_log(Avcl, Level, "%s\n", ALine.c_str());
}

namespace {

// An error of the machinery: its text for the caller, and the same line in
// FFmpeg's log.
int OptionError(std::string& AErrorText, const std::string& AMsg, int ACode)
{
    AErrorText = AMsg;
    OptionLogLine(nullptr, AV_LOG_ERROR, AMsg);
    return ACode;
}

}  // namespace

// ---------------------------------------------------------------------------
// Table lookup and application

const TOptionDef* FindOptionDef(const TOptionDef* Table, const char* Name)
{
    const char* colon = std::strchr(Name, ':');
    size_t len = colon ? size_t(colon - Name) : std::strlen(Name);
    const TOptionDef* po = Table;
    for (; po->name; ++po)
        if (std::strlen(po->name) == len && std::strncmp(po->name, Name, len) == 0)
            break;
    return po;
}

int ApplyOption(TOptionParse& Parse, const char* Opt, const char* Arg, const TOptionDef* Table)
{
    int32_t boolValue = 1;
    const TOptionDef* po = FindOptionDef(Table, Opt);
    if (!po->name && Opt[0] == 'n' && Opt[1] == 'o') {
        const TOptionDef* neg = FindOptionDef(Table, Opt + 2);
        if (neg->name && (neg->flags & odBool)) {
            po = neg;
            boolValue = 0;
        } else {
            // "-noxyz" never falls through to the catch-all row.
            return OptionError(Parse.ErrorText, FormatText("Unrecognized option \"%s\"", Opt), AVERROR(EINVAL));
        }
    }
    if (!po->name)
        po = FindOptionDef(Table, "default");
    if (!po->name)
        return OptionError(Parse.ErrorText, FormatText("Unrecognized option \"%s\"", Opt), AVERROR(EINVAL));
    if ((po->flags & odHasArg) && !Arg)
        return OptionError(Parse.ErrorText, FormatText("Missing argument for option \"%s\"", Opt), AVERROR(EINVAL));

    void* dst = (po->flags & (odOffset | odPerStream)) ? static_cast<char*>(Parse.Ctx) + po->off : po->dst_ptr;
    if (po->flags & odPerStream) {
        // The array pointer is followed by its int count.
        auto** arr = static_cast<TSelectorOpt**>(dst);
        int* count = reinterpret_cast<int*>(reinterpret_cast<char*>(dst) + sizeof(TSelectorOpt*));
        int n = *count;
        *arr = GrowArrayOf(*arr, *count, n + 1);
        const char* colon = std::strchr(Opt, ':');
        (*arr)[n].selector = OptStrDup(colon ? colon + 1 : "");
        dst = &(*arr)[n].u;
    }

    const int32_t f = po->flags;
    if (f & odString) {
        char* copy = OptStrDup(Arg ? Arg : "");
        auto** target = static_cast<char**>(dst);
        // Only plain text fields own an earlier value; a fresh array slot is zero.
        std::free(*target);
        *target = copy;
    } else if (f & odBool) {
        *static_cast<int32_t*>(dst) = boolValue;
    } else if (f & odInt) {
        *static_cast<int32_t*>(dst) = ParseIntText(Opt, Arg);
    } else if (f & odInt64) {
        *static_cast<int64_t*>(dst) = ParseInt64Text(Opt, Arg);
    } else if (f & odTime) {
        *static_cast<int64_t*>(dst) = ParseTimeText(Opt, Arg, true);
    } else if (f & odFloat) {
        *static_cast<float*>(dst) = ParseSingleText(Opt, Arg);
    } else if (f & odDouble) {
        *static_cast<double*>(dst) = ParseDoubleText(Opt, Arg);
    } else if (HasCodeHalf(po)) {
        Parse.ErrorText.clear();
        int r = po->func(po->obj, (f & odFunc2) ? &Parse : nullptr, Opt, Arg);
        if (r < 0) {
            std::string msg = FormatText("Failed to set value \"%s\" for option \"%s\"", Arg ? Arg : "", Opt);
            const std::string own = Parse.ErrorText;
            OptionError(Parse.ErrorText, msg, r);
            if (!own.empty())
                Parse.ErrorText = own + "\r\n" + msg;
            return r;
        }
    }
    return (f & odHasArg) ? 1 : 0;
}

namespace {

// Ctx null: the variable rows; otherwise the context's odOffset rows.
void WriteDefaults(const TOptionDef* Table, void* Ctx)
{
    for (const TOptionDef* po = Table; po->name; ++po) {
        const int32_t f = po->flags;
        if (f & odPerStream)
            continue;
        void* dst = Ctx ? ((f & odOffset) ? static_cast<char*>(Ctx) + po->off : nullptr)
                        : ((f & odOffset) ? nullptr : po->dst_ptr);
        if (!dst)
            continue;
        if (f & odString) {
            auto** text = static_cast<char**>(dst);
            std::free(*text);
            *text = nullptr;
        } else if (f & (odBool | odInt)) {
            *static_cast<int32_t*>(dst) = int32_t(po->def_int);
        } else if (f & (odInt64 | odTime)) {
            *static_cast<int64_t*>(dst) = po->def_int;
        } else if (f & odFloat) {
            *static_cast<float*>(dst) = float(po->def_real);
        } else if (f & odDouble) {
            *static_cast<double*>(dst) = po->def_real;
        }
    }
}

}  // namespace

void ApplyOptionDefaults(const TOptionDef* Table)
{
    WriteDefaults(Table, nullptr);
}

void ApplyContextDefaults(const TOptionDef* Table, void* Ctx)
{
    WriteDefaults(Table, Ctx);
}

int ApplyOptions(TOptionParse& Parse, int Count, const char* const* Words, bool HaltOnError, const TOptionDef* Table)
{
    int i = 0;
    while (i < Count) {
        const char* w = Words[i++];
        if (w[0] == '-' && w[1]) {
            Parse.ErrorText.clear();
            int r = ApplyOption(Parse, w + 1, Words[i], Table);
            if (r >= 0) {
                i += r;
                continue;
            }
            if (HaltOnError) {
                if (Parse.ErrorText.empty())
                    Parse.ErrorText = ErrorCodeText("Failed to parse options", r);
                return r;
            }
            continue;
        }
        if (HaltOnError)
            return OptionError(Parse.ErrorText,
                               w[0] ? std::string("Failed to parse options on ") + w : "Failed to parse options", -1);
        OptionLogLine(nullptr, AV_LOG_ERROR, "Invalid option found while parsing options, ignore");
    }
    return 0;
}

int LocateOptionWord(int Count, const char* const* Words, const TOptionDef* Table, const char* Name)
{
    for (int i = 0; i < Count; ++i) {
        const char* w = Words[i];
        if (w[0] != '-' || !w[1])
            continue;
        const char* word = w + 1;
        const TOptionDef* po = FindOptionDef(Table, word);
        if (!po->name && word[0] == 'n' && word[1] == 'o')
            po = FindOptionDef(Table, word + 2);
        if (po->name && std::strcmp(po->name, Name) == 0)
            return i;
        if (!po->name)
            po = FindOptionDef(Table, "default");
        if (po->name && (po->flags & odHasArg))
            ++i;
    }
    return -1;
}

const char* FindLogLevelWord(int Count, const char* const* Words, const TOptionDef* Table)
{
    int i = LocateOptionWord(Count, Words, Table, "loglevel");
    if (i < 0)
        i = LocateOptionWord(Count, Words, Table, "v");
    if (i >= 0 && i + 1 <= Count)
        return Words[i + 1];
    return nullptr;
}

// ---------------------------------------------------------------------------
// Value parsers

int32_t ParseIntText(const char* Opt, const char* Text)
{
    int32_t v;
    if (!Text || !TryStrToInt(Text, v))
        throw Exception(FormatText("Expected integer for %s but found %s", Opt, Text ? Text : ""));
    return v;
}

int64_t ParseInt64Text(const char* Opt, const char* Text)
{
    int64_t v;
    if (!Text || !TryStrToInt64(Text, v))
        throw Exception(FormatText("Expected int64 for %s but found %s", Opt, Text ? Text : ""));
    return v;
}

float ParseSingleText(const char* Opt, const char* Text)
{
    double v;
    if (!Text || !TryStrToFloat(Text, v) || std::fabs(v) > 3.402823466e38)
        throw Exception(FormatText("Expected float for %s but found %s", Opt, Text ? Text : ""));
    return float(v);
}

double ParseDoubleText(const char* Opt, const char* Text)
{
    double v;
    if (!Text || !TryStrToFloat(Text, v))
        throw Exception(FormatText("Expected double for %s but found %s", Opt, Text ? Text : ""));
    return v;
}

int64_t ParseTimeText(const char* Opt, const char* Text, bool IsDuration)
{
    // A negative duration is a valid value (-itsoffset -1); only a text the
    // parser cannot read fails.
    int64_t us = 0;
    if (!ff::av_parse_time || ff::av_parse_time(&us, Text ? Text : "", IsDuration ? 1 : 0) < 0)
        throw Exception(FormatText("Invalid %s value for %s: %s", IsDuration ? "duration" : "date", Opt,
                               Text ? Text : ""));
    return us;
}

// ---------------------------------------------------------------------------
// Handing options to the libraries

int opt_default(TFFOptions& Options, const char* Opt, const char* Arg, std::string& AErrorText)
{
    // Raises "Library %s not loaded." instead of calling an unbound entry point.
    FFLoader().CheckLibAV({avUtil, avCodec, avFormat, swScale});
    char bare[128];
    size_t len = std::strcspn(Opt, ":");
    if (len > sizeof bare - 1)
        len = sizeof bare - 1;
    std::memcpy(bare, Opt, len);
    bare[len] = 0;
    if (!Arg)
        Arg = "";

    const int search = AV_OPT_SEARCH_CHILDREN | AV_OPT_SEARCH_FAKE_OBJ;
    bool known = false;

    const AVClass* cc = ff::avcodec_get_class();
    const AVOption* o = ff::av_opt_find(&cc, bare, nullptr, 0, search);
    if (!o && (Opt[0] == 'a' || Opt[0] == 's' || Opt[0] == 'v'))
        o = ff::av_opt_find(&cc, bare + 1, nullptr, 0, AV_OPT_SEARCH_FAKE_OBJ);
    if (o) {
        ff::av_dict_set(&Options.codec_opts, Opt, Arg, o->type == AV_OPT_TYPE_FLAGS ? AV_DICT_APPEND : 0);
        known = true;
    }

    const AVClass* fc = ff::avformat_get_class();
    o = ff::av_opt_find(&fc, Opt, nullptr, 0, search);
    if (o) {
        ff::av_dict_set(&Options.format_opts, Opt, Arg, o->type == AV_OPT_TYPE_FLAGS ? AV_DICT_APPEND : 0);
        known = true;
    }

    // The engine's capture sources take their options through the format
    // options too (-input_type, -capture_flags, -pause_pointer).
    if (!o)
        for (const AVClass* sourceClass : EngineSourceClasses()) {
            const AVClass* c = sourceClass;
            o = ff::av_opt_find(&c, Opt, nullptr, 0, AV_OPT_SEARCH_FAKE_OBJ);
            if (o) {
                ff::av_dict_set(&Options.format_opts, Opt, Arg, o->type == AV_OPT_TYPE_FLAGS ? AV_DICT_APPEND : 0);
                known = true;
                break;
            }
        }

    const AVClass* sc = ff::sws_get_class();
    o = ff::av_opt_find(&sc, Opt, nullptr, 0, search);
    if (o && Options.sws_opts) {
        int r = ff::av_opt_set(Options.sws_opts, Opt, Arg, 0);
        if (r < 0)
            return OptionError(AErrorText, FormatText("Error setting option \"%s\"", Opt), r);
        known = true;
    }

    // Resampler options live in their own class since the library split;
    // they are gathered only when no other class claimed the word.
    if (!known && ff::swr_get_class) {
        const AVClass* rc = ff::swr_get_class();
        o = ff::av_opt_find(&rc, Opt, nullptr, 0, search);
        if (o) {
            ff::av_dict_set(&Options.swr_opts, Opt, Arg, o->type == AV_OPT_TYPE_FLAGS ? AV_DICT_APPEND : 0);
            known = true;
        }
    }

    if (known)
        return 0;
    return OptionError(AErrorText, FormatText("Unrecognized option \"%s\"", Opt), AVERROR_OPTION_NOT_FOUND);
}

// ---------------------------------------------------------------------------
// Arrays, files, dictionaries

void* GrowArray(void* Array, int ElemSize, int& Count, int NewCount)
{
    if (ElemSize <= 0 || NewCount >= INT_MAX / ElemSize)
        throw Exception("Array too big.");
    if (Count >= NewCount)
        return Array;
    void* p = std::realloc(Array, size_t(NewCount) * size_t(ElemSize));
    if (!p)
        throw Exception("Could not alloc buffer.");
    std::memset(static_cast<char*>(p) + size_t(Count) * size_t(ElemSize), 0,
                size_t(NewCount - Count) * size_t(ElemSize));
    Count = NewCount;
    return p;
}

int ReadWholeFile(const char* FileName, uint8_t*& Buffer, size_t& Size)
{
    Buffer = nullptr;
    Size = 0;
    FILE* f = std::fopen(FileName, "rb");
    if (!f) {
        OptionLogLine(nullptr, AV_LOG_ERROR, FormatText("Cannot read file \"%s\"", FileName));
        return -1;
    }
    // A folder opens for reading too; only a regular file has a length.
    struct stat sb;
    if (fstat(fileno(f), &sb) != 0 || !S_ISREG(sb.st_mode)) {
        std::fclose(f);
        OptionLogLine(nullptr, AV_LOG_ERROR, FormatText("Cannot read file \"%s\"", FileName));
        return -1;
    }
    const long len = long(sb.st_size);
    auto* buf = static_cast<uint8_t*>(std::malloc(size_t(len) + 1));
    if (!buf) {
        std::fclose(f);
        OptionLogLine(nullptr, AV_LOG_ERROR, "Could not allocate file buffer");
        return AVERROR(ENOMEM);
    }
    size_t got = std::fread(buf, 1, size_t(len), f);
    if (got != size_t(len)) {
        bool err = std::ferror(f);
        std::free(buf);
        std::fclose(f);
        if (err) {
            OptionLogLine(nullptr, AV_LOG_ERROR, FormatText("Error while reading file \"%s\"", FileName));
            return AVERROR(EIO);
        }
        return AVERROR_EOF;
    }
    buf[len] = 0;
    std::fclose(f);
    Buffer = buf;
    Size = size_t(len) + 1;
    return 0;
}

void InitFFOptions(TFFOptions& Options, int SwsFlags)
{
    FreeFFOptions(Options);
    // A holder of scaler options only: it is never initialised for scaling.
    Options.sws_opts = ff::sws_alloc_context();
    if (Options.sws_opts) {
        ff::av_opt_set_int(Options.sws_opts, "srcw", 16, 0);
        ff::av_opt_set_int(Options.sws_opts, "srch", 16, 0);
        ff::av_opt_set_int(Options.sws_opts, "dstw", 16, 0);
        ff::av_opt_set_int(Options.sws_opts, "dsth", 16, 0);
        ff::av_opt_set_int(Options.sws_opts, "src_format", AV_PIX_FMT_YUV420P, 0);
        ff::av_opt_set_int(Options.sws_opts, "dst_format", AV_PIX_FMT_YUV420P, 0);
        ff::av_opt_set_int(Options.sws_opts, "sws_flags", SwsFlags, 0);
    }
}

void FreeFFOptions(TFFOptions& Options)
{
    if (Options.sws_opts && ff::sws_freeContext)
        ff::sws_freeContext(Options.sws_opts);
    Options.sws_opts = nullptr;
    if (ff::av_dict_free) {
        ff::av_dict_free(&Options.format_opts);
        ff::av_dict_free(&Options.codec_opts);
        ff::av_dict_free(&Options.swr_opts);
    }
    Options.format_opts = nullptr;
    Options.codec_opts = nullptr;
    Options.swr_opts = nullptr;
}
