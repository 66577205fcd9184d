#include "engine/transcode/FFmpegOptions.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "engine/bindings/AVUtilStubs.h"
#include "engine/bindings/SwScaleStubs.h"
#include "engine/common/FFLog.h"
#include "engine/common/FFTexts.h"
#include "engine/common/CommandLine.h"
#include "engine/common/TextFormat.h"
#include "engine/common/StreamSelectors.h"
#include "platform/rtl/SysUtils.h"

namespace {

template <TFFmpegOptions::THandler M>
int Thunk(void* Obj, void* Parse, const char* Opt, const char* Arg)
{
    return static_cast<TFFmpegOptions*>(Obj)->RunHandler(M, static_cast<TOptionParse*>(Parse), Opt, Arg);
}

std::string Trim(const std::string& S)
{
    size_t b = 0, e = S.size();
    while (b < e && static_cast<unsigned char>(S[b]) <= ' ')
        ++b;
    while (e > b && static_cast<unsigned char>(S[e - 1]) <= ' ')
        --e;
    return S.substr(b, e - b);
}

// Line breaks of any kind (CR, LF, CR LF, LF CR) become one LF each.
std::string NormalizeLineBreaks(const std::string& S)
{
    std::string r;
    r.reserve(S.size());
    for (size_t i = 0; i < S.size(); ++i) {
        char c = S[i];
        if (c == '\r' || c == '\n') {
            char other = c == '\r' ? '\n' : '\r';
            if (i + 1 < S.size() && S[i + 1] == other)
                ++i;
            r += '\n';
        } else {
            r += c;
        }
    }
    return r;
}

std::vector<std::string> SplitLines(const std::string& S)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= S.size()) {
        size_t lf = S.find('\n', start);
        if (lf == std::string::npos) {
            lines.push_back(S.substr(start));
            break;
        }
        lines.push_back(S.substr(start, lf - start));
        start = lf + 1;
    }
    return lines;
}

// A C integer (decimal, "0x" hexadecimal or leading-"0" octal) at P.
long CInt(const char* P, char** End)
{
    errno = 0;
    long v = std::strtol(P, End, 0);
    if (errno == ERANGE || v > INT_MAX || v < INT_MIN)
        v = v < 0 ? INT_MIN : INT_MAX;
    return v;
}

struct TLogLevelName {
    const char* name;
    int level;
};
constexpr TLogLevelName LogLevels[] = {
    {"quiet", AV_LOG_QUIET}, {"panic", AV_LOG_PANIC},     {"fatal", AV_LOG_FATAL}, {"error", AV_LOG_ERROR},
    {"warning", AV_LOG_WARNING}, {"info", AV_LOG_INFO}, {"verbose", AV_LOG_VERBOSE}, {"debug", AV_LOG_DEBUG},
};

}  // namespace

// ---------------------------------------------------------------------------
// Life

TFFmpegOptions::TFFmpegOptions()
{
    BuildOptionTable();
    ResetOptionDefaults();
}

TFFmpegOptions::~TFFmpegOptions()
{
    // The context's arrays and texts, without renewing the dictionaries.
    ClearOptionsContext(optctx, false);
    FreeFFOptions(FOptions);
    FreeOptionFields();
}

void TFFmpegOptions::FreeOptionFields()
{
    for (char** p : {&Fvideo_codec_name, &Faudio_codec_name, &Fsubtitle_codec_name, &Fpass_logfilename_prefix,
                     &Fvstats_filename}) {
        std::free(*p);
        *p = nullptr;
    }
}

void TFFmpegOptions::ResetOptionDefaults()
{
    // The fields handlers set; every variable row's default is in its row.
    FreeOptionFields();
    Fdo_pass = 0;
    Fusing_vhook = false;
    ApplyOptionDefaults(options);
    ResetOptionsContext(optctx, false);
}

// ---------------------------------------------------------------------------
// The table

void TFFmpegOptions::BuildOptionTable()
{
    if (options)
        return;
    int n = 0;
    auto row = [&](const char* Name, int32_t Flags) -> TOptionDef& {
        TOptionDef& r = _options[n++];
        r = TOptionDef{};
        r.name = Name;
        r.flags = Flags;
        return r;
    };
    // Handlers all receive the options context being filled.
    auto fn = [&](const char* Name, int32_t Flags, TOptionFunc F) {
        TOptionDef& r = row(Name, Flags | odFunc2);
        r.func = F;
        r.obj = this;
    };
    // A row's default, by the row's kind.
    auto withDefault = [](TOptionDef& R, auto Default) {
        if (R.flags & (odFloat | odDouble))
            R.def_real = double(Default);
        else
            R.def_int = int64_t(Default);
    };
    auto at = [&](const char* Name, int32_t Flags, size_t Off) { row(Name, Flags | odOffset).off = Off; };
    // A field of the options context whose reset value is not zero.
    auto atDefault = [&](const char* Name, int32_t Flags, size_t Off, auto Default) {
        TOptionDef& r = row(Name, Flags | odOffset);
        r.off = Off;
        withDefault(r, Default);
    };
    auto perStream = [&](const char* Name, int32_t Flags, size_t Off) { row(Name, Flags | odPerStream).off = Off; };
    // A variable row and the value a fresh task starts with.
    auto var = [&](const char* Name, int32_t Flags, void* P, auto Default) {
        TOptionDef& r = row(Name, Flags);
        r.dst_ptr = P;
        withDefault(r, Default);
    };
#define OFS(field) offsetof(TOptionsContext, field)
#define H(method) &Thunk<&TFFmpegOptions::method>
    const int32_t A = odHasArg;

    // Information rows of the command-line tool: nothing to show here.
    for (const char* name : {"L", "h", "?", "help", "-help", "version", "formats", "codecs", "bsfs", "protocols",
                             "filters", "pix_fmts", "sample_fmts"})
        fn(name, odExit, H(opt_ignored));
    fn("loglevel", A, H(opt_loglevel));
    fn("v", A, H(opt_loglevel));
    fn("debug", A, H(opt_debug));
    fn("report", 0, H(opt_refused));
    fn("i", A, H(opt_refused));
    fn("pre", A, H(opt_refused));
    fn("benchmark", 0, H(opt_refused));
    fn("timelimit", A, H(opt_refused));

    at("f", A | odString, OFS(format));
    var("y", odBool, &Ffile_overwrite, 0);
    var("n", odBool, &Fno_file_overwrite, 0);
    perStream("c", A | odString, OFS(codec_names));
    perStream("codec", A | odString, OFS(codec_names));

    fn("map", A, H(opt_map));
    fn("map_channel", A, H(opt_map_channel));
    fn("map_meta_data", A, H(opt_map_meta_data));
    fn("map_metadata", A, H(opt_map_metadata));
    atDefault("map_chapters", A | odInt, OFS(chapters_input_file), INT_MAX);

    atDefault("t", A | odTime, OFS(recording_time), INT64_MAX);
    atDefault("t_microsecond", A | odInt64, OFS(recording_time), INT64_MAX);
    atDefault("fs", A | odInt64, OFS(limit_filesize), INT64_MAX);
    at("ss", A | odTime, OFS(start_time));
    at("ss_microsecond", A | odInt64, OFS(start_time));
    at("itsoffset", A | odTime, OFS(input_ts_offset));
    at("itsoffset_microsecond", A | odInt64, OFS(input_ts_offset));
    perStream("itsscale", A | odDouble, OFS(ts_scale));

    fn("timestamp", A, H(opt_timestamp));
    perStream("metadata", A | odString, OFS(metadata));
    fn("dframes", A, H(opt_frames));
    var("dump", odBool, &Fdo_pkt_dump, 0);
    var("hex", odBool, &Fdo_hex_dump, 0);
    at("re", odBool, OFS(rate_emu));
    var("loop_input", odBool, &Floop_input, 0);
    var("loop_output", A | odInt, &Floop_output, -1);
    fn("target", A, H(opt_target));
    var("vsync", A | odInt, &Fvideo_sync_method, -1);
    var("async", A | odInt, &Faudio_sync_method, 0);
    var("adrift_threshold", A | odFloat, &Faudio_drift_threshold, 0.1);
    var("copyts", odBool, &Fcopy_ts, 0);
    var("copytb", A | odInt, &Fcopy_tb, -1);
    var("shortest", odBool, &Fopt_shortest, 0);
    var("dts_delta_threshold", A | odFloat, &Fdts_delta_threshold, 10);
    var("xerror", odBool, &Fexit_on_error, 0);
    perStream("copyinkf", odBool, OFS(copy_initial_nonkeyframes));
    perStream("frames", A | odInt64, OFS(max_frames));
    perStream("tag", A | odString, OFS(codec_tags));
    perStream("q", A | odDouble, OFS(qscale));
    perStream("qscale", A | odDouble, OFS(qscale));
    perStream("filter", A | odString, OFS(filters));
    var("stats", odBool, &Fprint_stats, 1);
    fn("attach", A, H(opt_attach));
    perStream("dump_attachment", A | odString, OFS(dump_attachment));

    fn("vframes", A | odVideo, H(opt_frames));
    perStream("r", A | odString | odVideo, OFS(frame_rates));
    perStream("s", A | odString | odVideo, OFS(frame_sizes));
    perStream("aspect", A | odString | odVideo, OFS(frame_aspect_ratios));
    perStream("pix_fmt", A | odString | odVideo, OFS(frame_pix_fmts));
    var("bits_per_raw_sample", A | odInt | odVideo, &Fframe_bits_per_raw_sample, 0);
    for (const char* name : {"croptop", "cropbottom", "cropleft", "cropright"})
        fn(name, A | odVideo, H(opt_removed_crop));
    for (const char* name : {"padtop", "padbottom", "padleft", "padright", "padcolor"})
        fn(name, A | odVideo, H(opt_removed_pad));
    var("intra", odBool | odVideo, &Fintra_only, 0);
    at("vn", odBool | odVideo, OFS(video_disable));
    var("vdt", A | odInt | odVideo, &Fvideo_discard, 0);
    perStream("rc_override", A | odString | odVideo, OFS(rc_overrides));
    fn("vcodec", A | odVideo, H(opt_codec));
    var("sameq", odBool | odVideo, &Fsame_quant, 0);
    var("same_quant", odBool | odVideo, &Fsame_quant, 0);
    fn("pass", A | odVideo, H(opt_pass));
    fn("passlogfile", A | odVideo, H(opt_passlogfile));
    var("deinterlace", odBool | odVideo, &Fdo_deinterlace, 0);
    var("psnr", odBool | odVideo, &Fdo_psnr, 0);
    fn("vstats", odVideo, H(opt_vstats));
    fn("vstats_file", A | odVideo, H(opt_vstats_file));
    fn("vf", A | odVideo, H(opt_vf));
    perStream("intra_matrix", A | odString | odVideo, OFS(intra_matrices));
    perStream("inter_matrix", A | odString | odVideo, OFS(inter_matrices));
    perStream("top", A | odInt | odVideo, OFS(top_field_first));
    var("dc", A | odInt | odVideo, &Fintra_dc_precision, 8);
    fn("vtag", A | odVideo, H(opt_rename_tag));
    var("qphist", odBool | odVideo, &Fqp_hist, 0);
    perStream("force_fps", odBool | odVideo, OFS(force_fps));
    fn("streamid", A | odVideo, H(opt_streamid));
    perStream("force_key_frames", A | odString | odVideo, OFS(forced_key_frames));
    fn("b", A | odVideo, H(opt_bitrate));

    fn("aframes", A | odAudio, H(opt_frames));
    fn("aq", A | odAudio, H(opt_aq));
    perStream("ar", A | odInt | odAudio, OFS(audio_sample_rate));
    perStream("ac", A | odInt | odAudio, OFS(audio_channels));
    at("an", odBool | odAudio, OFS(audio_disable));
    fn("acodec", A | odAudio, H(opt_codec));
    fn("atag", A | odAudio, H(opt_rename_tag));
    var("vol", A | odInt | odAudio, &Faudio_volume, 256);
    perStream("sample_fmt", A | odString | odAudio, OFS(sample_fmts));
    perStream("rmvol", A | odFloat | odAudio, OFS(rematrix_volume));

    at("sn", odBool | odSubtitle, OFS(subtitle_disable));
    fn("scodec", A | odSubtitle, H(opt_codec));
    fn("stag", A | odSubtitle, H(opt_rename_tag));
    fn("vc", A | odGrab, H(opt_deprecated_alias));
    fn("tvstd", A | odGrab, H(opt_deprecated_alias));
    var("isync", odBool, &Finput_sync, 0);
    atDefault("muxdelay", A | odFloat, OFS(mux_max_delay), 0.7);
    at("muxpreload", A | odFloat, OFS(mux_preload));
    perStream("bsf", A | odString, OFS(bitstream_filters));
    fn("absf", A | odAudio, H(opt_rename_tag));
    fn("vbsf", A | odVideo, H(opt_rename_tag));
    for (const char* name : {"apre", "vpre", "spre", "fpre"})
        fn(name, A, H(opt_preset));
    fn("dcodec", A | odData, H(opt_codec));
    at("dn", odBool | odData, OFS(data_disable));

    fn("vhook", A | odVideo, H(opt_vhook));
    fn("VideoHookBitsPixel", A | odVideo, H(opt_hook_bits_pixel));
    for (const char* name :
         {"AudioHook", "VideoInputHook", "VideoOutputHook", "FrameInputHook", "FrameOutputHook", "Join"})
        fn(name, 0, H(opt_accepted));

    fn("default", A, H(opt_default_row));
#undef OFS
#undef H
    if (n != OptionRowCount)
        throw Exception(FormatText("option table holds %d rows", n));
    _options[n] = TOptionDef{};  // closing row
    options = _options;
}

// ---------------------------------------------------------------------------
// Context reset

void TFFmpegOptions::ResetOptionsContext(TOptionsContext& Ctx, bool IsInput)
{
    ClearOptionsContext(Ctx, IsInput);
    if (&Ctx == &optctx && ff::sws_alloc_context)
        InitFFOptions(FOptions, SWS_BICUBIC);
}

void TFFmpegOptions::ClearOptionsContext(TOptionsContext& Ctx, bool IsInput)
{
    BuildOptionTable();
    for (const TOptionDef* po = options; po->name; ++po) {
        if (po->flags & odPerStream) {
            auto* base = reinterpret_cast<char*>(&Ctx) + po->off;
            auto** arr = reinterpret_cast<TSelectorOpt**>(base);
            auto* count = reinterpret_cast<int32_t*>(base + sizeof(TSelectorOpt*));
            if (*arr) {
                for (int i = 0; i < *count; ++i) {
                    std::free((*arr)[i].selector);
                    if (po->flags & odString)
                        std::free((*arr)[i].u.str);
                }
                std::free(*arr);  // two rows may share one array (c/codec, q/qscale)
            }
            *arr = nullptr;
            *count = 0;
        } else if ((po->flags & odOffset) && (po->flags & odString)) {
            auto** text = reinterpret_cast<char**>(reinterpret_cast<char*>(&Ctx) + po->off);
            std::free(*text);
            *text = nullptr;
        }
    }
    std::free(Ctx.stream_maps);
    std::free(Ctx.audio_channel_maps);
    std::free(Ctx.meta_data_maps);
    std::free(Ctx.streamid_map);
    // Attachment names are consumed by the output set-up, which keeps copies
    // of its own; freeing them here keeps the context the only owner.
    for (int i = 0; i < Ctx.nb_attachments; ++i)
        std::free(Ctx.attachments[i]);
    std::free(Ctx.attachments);

    const int64_t recording = Ctx.recording_time;
    std::memset(&Ctx, 0, sizeof Ctx);
    ApplyContextDefaults(options, &Ctx);  // the defaults in the table's rows
    if (IsInput)
        Ctx.recording_time = recording;  // an input's -t stays for the output
}

// ---------------------------------------------------------------------------
// Texts

void TFFmpegOptions::ParseOptions(const std::string& Text)
{
    OptionMsg(AV_LOG_INFO, "ParseOptions: " + Text);
    if (Text.empty())
        return;
    std::vector<std::string> words = SplitCommandLine(Text);
    std::vector<const char*> argv;
    argv.reserve(words.size() + 1);
    for (const std::string& w : words)
        argv.push_back(w.c_str());
    argv.push_back("");  // an argument-taking option standing last gets the empty text
    const int count = int(words.size());

    if (const char* level = FindLogLevelWord(count, argv.data(), options)) {
        std::string keep = OptionError();
        opt_loglevel(&optctx, "loglevel", level);
        OptionError() = keep;
    }
    int r = ApplyOptions(FParse, count, argv.data(), HaltOnInvalidOption, options);
    if (HaltOnInvalidOption && r < 0)
        Fatal(!OptionError().empty() ? OptionError() : ErrorCodeText("Failed to parse options", r));
}

int TFFmpegOptions::ApplyPresetLine(const std::string& Key, const std::string& Value)
{
    OptionError().clear();
    std::string k = Key;
    for (char& c : k)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    if (k == "acodec" || k == "vcodec" || k == "scodec" || k == "dcodec")
        return opt_codec(&optctx, k.c_str(), Value.c_str());
    return opt_default(FOptions, Key.c_str(), Value.c_str(), OptionError());
}

void TFFmpegOptions::ParsePresets(const std::string& Text)
{
    OptionMsg(AV_LOG_INFO, "ParsePresets: " + Text);
    std::string s = NormalizeLineBreaks(Trim(Text));
    for (size_t p; (p = s.find("<CRLF>")) != std::string::npos;)
        s.replace(p, 6, "\n");
    for (const std::string& raw : SplitLines(s)) {
        std::string line = Trim(raw);
        if (line.empty() || line[0] == '#')
            continue;
        size_t eq = line.find('=');
        std::string key = eq == std::string::npos ? line : line.substr(0, eq);
        std::string value = eq == std::string::npos ? std::string() : line.substr(eq + 1);
        if (key.empty() || value.empty()) {
            OptionError() = FormatText("Invalid syntax: \"%s\"", line.c_str());
            if (HaltOnInvalidOption)
                Fatal(OptionError());
            OptionMsg(AV_LOG_ERROR, OptionError());
        }
        int r = ApplyPresetLine(key, value);
        if (r < 0) {
            std::string msg = FormatText("Invalid option or argument: \"%s\", parsed as \"%s\" = \"%s\"", line.c_str(),
                                  key.c_str(), value.c_str());
            OptionMsg(AV_LOG_ERROR, msg);
            OptionError() = OptionError().empty() ? msg : OptionError() + "\r\n" + msg;
            if (HaltOnInvalidOption)
                Fatal(OptionError());
        }
    }
}

// ---------------------------------------------------------------------------
// Hooks and messages

[[noreturn]] void TFFmpegOptions::Fatal(const std::string& AMsg)
{
    FLastErrMsg = AMsg;
    OptionMsg(AV_LOG_FATAL, AMsg);
    throw FFmpegException(AMsg);
}

int TFFmpegOptions::AddFrameHook(const std::vector<std::string>&)
{
    return AVERROR(ENOSYS);
}

void TFFmpegOptions::SetHookBitsPixel(int ABitsPixel)
{
    switch (ABitsPixel) {
    case 8:
    case 15:
    case 16:
    case 24:
    case 32: return;
    }
    throw Exception(FormatText("Invalid BitsPixel %d", ABitsPixel));
}

void TFFmpegOptions::OptionMsg(int ALevel, const std::string& AMsg)
{
    GetFFLogger()->Log(LogSender(), AVToLogLevel(ALevel), AMsg);
}

int TFFmpegOptions::RunHandler(THandler AHandler, TOptionParse* AParse, const char* Word, const char* Arg)
{
    // The handler's reason goes to the parse that called it.
    TOptionParse* outer = FCurrentParse;
    if (AParse)
        FCurrentParse = AParse;
    try {
        const int r = (this->*AHandler)(AParse ? AParse->Ctx : nullptr, Word, Arg);
        FCurrentParse = outer;
        return r;
    } catch (...) {
        FCurrentParse = outer;
        throw;
    }
}

int TFFmpegOptions::Fail(int ALevel, const std::string& AMsg)
{
    OptionError() = AMsg;
    OptionMsg(ALevel, AMsg);
    return AVERROR(EINVAL);
}

int TFFmpegOptions::ApplyWord(void* Ctx, const std::string& Word, const char* Arg)
{
    TOptionParse parse{Ctx ? Ctx : &optctx, {}};
    const int r = ApplyOption(parse, Word.c_str(), Arg, options);
    if (r < 0)
        OptionError() = parse.ErrorText;
    return r;
}

// ---------------------------------------------------------------------------
// Simple handlers

int TFFmpegOptions::opt_ignored(void*, const char* Word, const char*)
{
    OptionMsg(AV_LOG_WARNING, FormatText("options \"%s\" not supported, ignore", Word));
    return 0;
}

int TFFmpegOptions::opt_refused(void*, const char* Word, const char*)
{
    return Fail(AV_LOG_ERROR, FormatText("options \"%s\" not supported", Word));
}

int TFFmpegOptions::opt_removed_crop(void*, const char* Word, const char*)
{
    return Fail(AV_LOG_ERROR, FormatText("Option \"%s\" has been removed, use the crop filter instead", Word));
}

int TFFmpegOptions::opt_removed_pad(void*, const char* Word, const char*)
{
    return Fail(AV_LOG_ERROR, FormatText("Option \"%s\" has been removed, use the pad filter instead", Word));
}

int TFFmpegOptions::opt_accepted(void*, const char*, const char*)
{
    return 0;
}

int TFFmpegOptions::opt_loglevel(void*, const char* Word, const char* Arg)
{
    const char* text = Arg ? Arg : "";
    int level = 0;
    bool found = false;
    for (const TLogLevelName& l : LogLevels)
        if (std::strcmp(l.name, text) == 0) {
            level = l.level;
            found = true;
            break;
        }
    if (!found) {
        // A decimal integer filling the whole text; the empty text is 0.
        char* end = nullptr;
        errno = 0;
        long v = std::strtol(text, &end, 10);
        if (*end == 0 && errno != ERANGE && v >= INT_MIN && v <= INT_MAX &&
            !(text[0] == ' ' || text[0] == '\t' || text[0] == '\n')) {
            level = int(v);
            found = true;
        }
    }
    if (!found) {
        std::string msg = FormatText("Invalid loglevel \"%s\". Possible levels are numbers or:\r\n", text);
        for (const TLogLevelName& l : LogLevels)
            msg += FormatText("\"%s\"\r\n", l.name);
        return Fail(AV_LOG_ERROR, msg);
    }
    if (ff::av_log_set_level)
        ff::av_log_set_level(level);
    return 0;
}

int TFFmpegOptions::opt_debug(void*, const char* Word, const char* Arg)
{
    if (ff::av_log_set_level)
        ff::av_log_set_level(AV_LOG_DEBUG);
    return opt_default(FOptions, Word, Arg, OptionError());
}

int TFFmpegOptions::opt_codec(void* Ctx, const char* Word, const char* Arg)
{
    char** keep = nullptr;
    const char* sel = nullptr;
    if (std::strcmp(Word, "acodec") == 0) {
        keep = &Faudio_codec_name;
        sel = "codec:a";
    } else if (std::strcmp(Word, "vcodec") == 0) {
        keep = &Fvideo_codec_name;
        sel = "codec:v";
    } else if (std::strcmp(Word, "scodec") == 0) {
        keep = &Fsubtitle_codec_name;
        sel = "codec:s";
    } else if (std::strcmp(Word, "dcodec") == 0) {
        sel = "codec:d";
    } else {
        return Fail(AV_LOG_ERROR, FormatText("Unrecognized option \"%s\"", Word));
    }
    if (keep) {
        char* copy = OptStrDup(Arg ? Arg : "");
        std::free(*keep);
        *keep = copy;
    }
    return ApplyWord(Ctx, sel, Arg);
}

int TFFmpegOptions::opt_default_row(void*, const char* Word, const char* Arg)
{
    return opt_default(FOptions, Word, Arg, OptionError());
}

int TFFmpegOptions::opt_frames(void* Ctx, const char* Word, const char* Arg)
{
    // vframes, aframes, dframes
    return ApplyWord(Ctx, std::string("frames:") + Word[0], Arg);
}

int TFFmpegOptions::opt_aq(void* Ctx, const char*, const char* Arg)
{
    return ApplyWord(Ctx, "q:a", Arg);
}

int TFFmpegOptions::opt_vf(void* Ctx, const char*, const char* Arg)
{
    return ApplyWord(Ctx, "filter:v", Arg);
}

int TFFmpegOptions::opt_bitrate(void* Ctx, const char* Word, const char* Arg)
{
    if (std::strcmp(Word, "b") == 0) {
        OptionMsg(AV_LOG_WARNING, "Please use -b:a or -b:v, -b is ambiguous");
        return ApplyWord(Ctx, "b:v", Arg);
    }
    return opt_default(FOptions, Word, Arg, OptionError());
}

int TFFmpegOptions::opt_rename_tag(void* Ctx, const char* Word, const char* Arg)
{
    // vtag -> tag:v, absf -> bsf:a
    std::string w = Word;
    return ApplyWord(Ctx, w.substr(1) + ":" + w[0], Arg);
}

int TFFmpegOptions::opt_deprecated_alias(void*, const char* Word, const char* Arg)
{
    const bool channel = std::strcmp(Word, "vc") == 0;
    OptionMsg(AV_LOG_WARNING,
              channel ? "This option is deprecated, use -channel." : "This option is deprecated, use -standard.");
    return opt_default(FOptions, channel ? "channel" : "standard", Arg, OptionError());
}

int TFFmpegOptions::opt_attach(void* Ctx, const char*, const char* Arg)
{
    auto* o = static_cast<TOptionsContext*>(Ctx ? Ctx : &optctx);
    char* copy = OptStrDup(Arg ? Arg : "");
    int n = o->nb_attachments;
    try {
        o->attachments = GrowArrayOf(o->attachments, o->nb_attachments, n + 1);
    } catch (...) {
        std::free(copy);
        throw;
    }
    o->attachments[n] = copy;
    return 0;
}

int TFFmpegOptions::opt_streamid(void* Ctx, const char* Word, const char* Arg)
{
    auto* o = static_cast<TOptionsContext*>(Ctx ? Ctx : &optctx);
    std::string arg = Arg ? Arg : "";
    size_t colon = arg.find(':');
    int32_t index = 0, value = 0;
    std::string indexText = colon == std::string::npos ? arg : arg.substr(0, colon);
    std::string valueText = colon == std::string::npos ? std::string() : arg.substr(colon + 1);
    if (colon == std::string::npos || !TryStrToInt(indexText.c_str(), index) ||
        !TryStrToInt(valueText.c_str(), value))
        return Fail(AV_LOG_ERROR,
                    FormatText("Invalid value \"%s\" for option \"%s\", required syntax is \"index:value\"", arg.c_str(), Word));
    if (index < 0 || index > 1023)
        return Fail(AV_LOG_ERROR, FormatText("The value for \"%s\" was \"%s\" which is not within %d - %d", "streamid",
                                      indexText.c_str(), 0, 1023));
    if (value < 0)
        return Fail(AV_LOG_ERROR, FormatText("The value for \"%s\" was \"%s\" which is not within %d - %d", "streamid",
                                      valueText.c_str(), 0, INT_MAX));
    o->streamid_map = GrowArrayOf(o->streamid_map, o->nb_streamid_map, index + 1);
    o->streamid_map[index] = value;
    return 0;
}

int TFFmpegOptions::opt_timestamp(void* Ctx, const char* Word, const char* Arg)
{
    const int64_t us = ParseTimeText(Word, Arg, false);
    const double secs = std::nearbyint(double(us) / 1000000.0);  // halves to even
    // Local time with the standard bias, as the zone text beside it says.
    time_t local = time_t(secs) + time_t(std::llround(LocalTimeOffset() * 86400.0));
    struct tm tm {};
    gmtime_r(&local, &tm);
    std::string text = FormatText("creation_time=%04d-%02d-%02d %02d:%02d:%02d %s", tm.tm_year + 1900, tm.tm_mon + 1,
                           tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, TimeZoneText().c_str());
    OptionMsg(AV_LOG_WARNING, FormatText("%s is deprecated, set the \"creation_time\" metadata tag instead.", Word));
    return ApplyWord(Ctx, "metadata", text.c_str());
}

int TFFmpegOptions::opt_pass(void*, const char* Word, const char* Arg)
{
    int32_t v = 0;
    try {
        v = StrToInt(Arg ? Arg : "");
    } catch (const EConvertError& e) {
        return Fail(AV_LOG_ERROR, e.Message());
    }
    if (v < 1 || v > 3)
        return Fail(AV_LOG_ERROR,
                    FormatText("The value for \"%s\" was \"%s\" which is not within %d - %d", Word, Arg ? Arg : "", 1, 3));
    Fdo_pass = v;
    return 0;
}

int TFFmpegOptions::opt_passlogfile(void*, const char*, const char* Arg)
{
    char* copy = OptStrDup(Arg ? Arg : "");
    std::free(Fpass_logfilename_prefix);
    Fpass_logfilename_prefix = copy;
    std::string keep = OptionError();
    opt_default(FOptions, "passlogfile", Arg, OptionError());
    OptionError() = keep;
    return 0;
}

int TFFmpegOptions::opt_vstats_file(void*, const char*, const char* Arg)
{
    char* copy = OptStrDup(Arg ? Arg : "");
    std::free(Fvstats_filename);
    Fvstats_filename = copy;
    return 0;
}

int TFFmpegOptions::opt_vstats(void* Ctx, const char* Word, const char*)
{
    time_t now = std::time(nullptr);
    struct tm tm {};
    localtime_r(&now, &tm);
    std::string name = FormatText("vstats_%02d%02d%02d.log", tm.tm_hour, tm.tm_min, tm.tm_sec);
    return opt_vstats_file(Ctx, Word, name.c_str());
}

int TFFmpegOptions::opt_preset(void*, const char*, const char* Arg)
{
    const char* file = Arg ? Arg : "";
    uint8_t* buf = nullptr;
    size_t size = 0;
    FILE* probe = *file ? std::fopen(file, "rb") : nullptr;
    if (!probe)
        return Fail(AV_LOG_ERROR, FormatText("Preset file \"%s\" not found", file));
    std::fclose(probe);
    if (ReadWholeFile(file, buf, size) < 0)
        return Fail(AV_LOG_ERROR, FormatText("Preset file \"%s\" not found", file));
    std::string text(reinterpret_cast<const char*>(buf), size ? size - 1 : 0);
    std::free(buf);

    for (const std::string& raw : SplitLines(NormalizeLineBreaks(text))) {
        std::string line = Trim(raw);
        if (line.empty() || line[0] == '#')
            continue;
        size_t eq = line.find('=');
        if (eq == std::string::npos || eq == 0 || eq + 1 == line.size())
            return Fail(AV_LOG_ERROR, FormatText("%s: Invalid syntax: \"%s\"", file, line.c_str()));
        std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        int r = ApplyPresetLine(key, value);
        if (r < 0) {
            std::string msg = FormatText("%s: Invalid option or argument: \"%s\", parsed as \"%s\" = \"%s\"", file,
                                  line.c_str(), key.c_str(), value.c_str());
            OptionMsg(AV_LOG_ERROR, msg);
            OptionError() = OptionError().empty() ? msg : OptionError() + "\r\n" + msg;
            if (HaltOnInvalidOption)
                return r;
        }
    }
    return 0;
}

int TFFmpegOptions::opt_vhook(void*, const char*, const char* Arg)
{
    std::string arg = Arg ? Arg : "";
    const char* seps = arg.find('|') != std::string::npos ? "|" : " \t";
    std::vector<std::string> words;
    size_t p = 0;
    while (p < arg.size() && words.size() < 63) {
        size_t q = arg.find_first_of(seps, p);
        if (q == std::string::npos)
            q = arg.size();
        if (q > p)
            words.push_back(arg.substr(p, q - p));
        p = q + 1;
    }
    if (words.empty() || AddFrameHook(words) < 0)
        Fatal("Failed to add video hook function: " + arg);
    Fusing_vhook = true;
    return 0;
}

int TFFmpegOptions::opt_hook_bits_pixel(void*, const char*, const char* Arg)
{
    try {
        SetHookBitsPixel(StrToInt(Arg ? Arg : ""));
    } catch (const Exception& e) {
        return Fail(AV_LOG_ERROR, e.Message());
    }
    return 0;
}

// ---------------------------------------------------------------------------
// Stream maps, channel maps, metadata maps

int TFFmpegOptions::opt_map(void* Ctx, const char*, const char* Arg)
{
    auto* o = static_cast<TOptionsContext*>(Ctx ? Ctx : &optctx);
    std::string text = Arg ? Arg : "";
    const bool negative = !text.empty() && text[0] == '-';
    const std::string shown = negative ? text.substr(1) : text;  // the argument without its "-"
    std::string map = shown;
    const int inputs = InputFileCount();

    int syncFile = -1, syncStream = -1;
    size_t comma = map.find(',');
    if (comma != std::string::npos) {
        std::string sync = map.substr(comma + 1);
        map.resize(comma);
        char* end = nullptr;
        long f = CInt(sync.c_str(), &end);
        if (f < 0 || f >= inputs)
            Fatal(FormatText("Invalid sync file index: %ld.", f));
        const char* syncSel = *end ? end + 1 : end;  // one character (the ":") skipped
        AVFormatContext* s = InputFormatContext(int(f));
        for (unsigned i = 0; s && i < s->nb_streams; ++i)
            if (check_stream_selector(s, s->streams[i], syncSel) == 1) {
                syncFile = int(f);
                syncStream = int(i);
                break;
            }
        if (syncStream < 0)
            Fatal(FormatText("Sync stream selector in map %s does not match any streams.", shown.c_str()));
    }

    char* end = nullptr;
    long f = CInt(map.c_str(), &end);
    if (end == map.c_str() || f < 0 || f >= inputs)
        Fatal(FormatText("Invalid input file index: %ld.", f));
    const char* sel = *end == ':' ? end + 1 : end;
    AVFormatContext* s = InputFormatContext(int(f));
    bool any = false;
    if (negative) {
        for (int i = 0; i < o->nb_stream_maps; ++i) {
            TStreamMap& m = o->stream_maps[i];
            any = true;
            if (m.file_index == f && s && unsigned(m.stream_index) < s->nb_streams &&
                check_stream_selector(s, s->streams[m.stream_index], sel) > 0)
                m.disabled = 1;
        }
    } else {
        for (unsigned i = 0; s && i < s->nb_streams; ++i) {
            if (check_stream_selector(s, s->streams[i], sel) <= 0)
                continue;
            int n = o->nb_stream_maps;
            o->stream_maps = GrowArrayOf(o->stream_maps, o->nb_stream_maps, n + 1);
            TStreamMap& m = o->stream_maps[n];
            m.file_index = int(f);
            m.stream_index = int(i);
            m.sync_file_index = syncStream >= 0 ? syncFile : int(f);
            m.sync_stream_index = syncStream >= 0 ? syncStream : int(i);
            any = true;
        }
    }
    if (!any)
        Fatal(FormatText("Stream map \"%s\" matches no streams.", text.c_str()));
    return 0;
}

int TFFmpegOptions::opt_map_channel(void* Ctx, const char*, const char* Arg)
{
    auto* o = static_cast<TOptionsContext*>(Ctx ? Ctx : &optctx);
    const char* arg = Arg ? Arg : "";
    int n = o->nb_audio_channel_maps;
    o->audio_channel_maps = GrowArrayOf(o->audio_channel_maps, o->nb_audio_channel_maps, n + 1);
    TAudioChannelMap* m = &o->audio_channel_maps[n];

    // A muted channel: "-1" or "-1:ofile.ostream".
    int chan = 0, ofile = -1, ostream = -1;
    int k = std::sscanf(arg, "%d:%d.%d", &chan, &ofile, &ostream);
    if ((k == 1 || k == 3) && chan == -1) {
        m->file_idx = m->stream_idx = m->channel_idx = -1;
        m->ofile_idx = k == 1 ? -1 : ofile;
        m->ostream_idx = k == 1 ? -1 : ostream;
        return 0;
    }
    int file = 0, stream = 0;
    chan = 0;
    ofile = ostream = -1;
    k = std::sscanf(arg, "%d.%d.%d:%d.%d", &file, &stream, &chan, &ofile, &ostream);
    if (k != 3 && k != 5)
        Fatal("Syntax error, mapchan usage: [file.stream.channel|-1][:syncfile:syncstream]");
    if (k == 3)
        ofile = ostream = -1;
    m->file_idx = file;
    m->stream_idx = stream;
    m->channel_idx = chan;
    m->ofile_idx = ofile;
    m->ostream_idx = ostream;
    if (file < 0 || file >= InputFileCount())
        Fatal(FormatText("mapchan: invalid input file index: %d", file));
    AVFormatContext* s = InputFormatContext(file);
    if (!s || stream < 0 || unsigned(stream) >= s->nb_streams)
        Fatal(FormatText("mapchan: invalid input file stream index #%d.%d", file, stream));
    const AVCodecParameters* par = s->streams[stream]->codecpar;
    if (par->codec_type != AVMEDIA_TYPE_AUDIO)
        Fatal(FormatText("mapchan: stream #%d.%d is not an audio stream.", file, stream));
    if (chan < 0 || chan >= par->ch_layout.nb_channels)
        Fatal(FormatText("mapchan: invalid audio channel #%d.%d.%d", file, stream, chan));
    return 0;
}

int TFFmpegOptions::ParseMetadataSelector(const char* Sel, char& Type, int32_t& Index)
{
    if (!Sel || !*Sel) {
        Type = 'g';
        return 0;
    }
    switch (*Sel) {
    case 'g': Type = 'g'; return 0;
    case 's':
    case 'c':
    case 'p':
        Type = *Sel;
        if (Sel[1] == ':')
            Index = int32_t(CInt(Sel + 2, nullptr));
        return 0;
    }
    FLastErrMsg = FormatText("Invalid metadata type %c.", *Sel);
    OptionMsg(AV_LOG_FATAL, FLastErrMsg);
    return -1;
}

int TFFmpegOptions::opt_map_metadata(void* Ctx, const char* Word, const char* Arg)
{
    auto* o = static_cast<TOptionsContext*>(Ctx ? Ctx : &optctx);
    const char* arg = Arg ? Arg : "";
    int n = o->nb_meta_data_maps;
    o->meta_data_maps = GrowArrayOf(o->meta_data_maps, o->nb_meta_data_maps, n + 1);
    TMetadataMap* m = o->meta_data_maps[n].m;

    char* end = nullptr;
    m[1].file_idx = int32_t(CInt(arg, &end));
    const char* insel = *end ? end + 1 : end;
    const char* colon = std::strchr(Word, ':');
    const char* outsel = colon ? colon + 1 : "g";
    if (ParseMetadataSelector(outsel, m[0].type_, m[0].index) < 0 ||
        ParseMetadataSelector(insel, m[1].type_, m[1].index) < 0) {
        OptionError() = FLastErrMsg;
        return AVERROR(EINVAL);
    }
    for (const TMetadataMap& side : {m[0], m[1]}) {
        if (side.type_ == 'g')
            o->metadata_global_manual = 1;
        else if (side.type_ == 's')
            o->metadata_streams_manual = 1;
        else if (side.type_ == 'c')
            o->metadata_chapters_manual = 1;
    }
    return 0;
}

int TFFmpegOptions::opt_map_meta_data(void* Ctx, const char* Word, const char* Arg)
{
    OptionMsg(AV_LOG_WARNING, "-map_meta_data is deprecated and will be removed soon. Use -map_metadata instead.");
    return opt_map_metadata(Ctx, Word, Arg);
}
