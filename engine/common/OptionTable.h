#pragma once
// The option machinery under every ffmpeg-style option text of the engine:
// option-table rows and their flags, applying one word or a word list to an
// options context, the typed value parsers with their error texts, the setter
// that hands unknown options to the libraries' own option system
// (opt_default), array growth for the context's per-stream values, whole-file
// reading for option files and the option dictionaries (TFFOptions) that each
// decoder, player and conversion task owns. Stream selectors and the
// per-stream filtering of codec options are in StreamSelectors.
//
// Failures come back as negative FFmpeg error codes with the error text in
// the parse's ErrorText (TOptionParse) and a line in FFmpeg's log; the value parsers and GrowArray raise plain
// exceptions (Exception) instead, which the option entry points pass on.
#include <cstddef>
#include <cstdint>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
}

struct SwsContext;

// Option flag bits; the values are fixed.
enum : int32_t {
    odHasArg = 0x1,
    odBool = 0x2,
    odExpert = 0x4,
    odString = 0x8,
    odVideo = 0x10,
    odAudio = 0x20,
    odGrab = 0x40,
    odInt = 0x80,
    odFloat = 0x100,
    odSubtitle = 0x200,
    odInt64 = 0x400,
    odExit = 0x800,
    odData = 0x1000,
    odFunc2 = 0x2000,
    odOffset = 0x4000,
    odPerStream = 0x8000,
    odTime = 0x10000,
    odDouble = 0x20000,
};

// A row's handler: the code half of a method pointer. Obj is the object half;
// Parse is the TOptionParse being run for rows with odFunc2 (the handler
// fills its fields through Parse->Ctx and may leave its own reason in
// Parse->ErrorText), nullptr otherwise.
using TOptionFunc = int (*)(void* Obj, void* Parse, const char* opt, const char* arg);

struct TOptionDef {
    const char* name = nullptr;  // the option word without "-"; nullptr closes a table
    int32_t flags = 0;
    // u: handler (func + obj), offset into the options context, or a variable.
    TOptionFunc func = nullptr;
    void* obj = nullptr;
    size_t off = 0;
    void* dst_ptr = nullptr;
    const char* help = nullptr;
    const char* argname = nullptr;
    // The value a fresh owner starts with, for rows that write a variable
    // (dst_ptr) or a field of the options context (odOffset): def_int for
    // odBool/odInt/odInt64/odTime rows, def_real for odFloat/odDouble rows;
    // text rows start empty.
    int64_t def_int = 0;
    double def_real = 0;
};

// Writes every variable row's default into its variable.
void ApplyOptionDefaults(const TOptionDef* Table);
// Writes every odOffset row's default into its field of the context Ctx.
void ApplyContextDefaults(const TOptionDef* Table, void* Ctx);

// One value of a per-stream option. The options context holds such an array
// as a pointer followed by its int count; values keep the order given.
struct TSelectorOpt {
    char* selector = nullptr;  // owned; "" when the word had no ":"
    union {
        char* str;  // owned
        int32_t i;
        int64_t i64;
        float f;
        double dbl;
    } u{};
};

// The option dictionaries of one decoder, player or conversion task.
// sws_opts is a scaler context used only to hold and validate scaler
// options; swr_opts gathers resampler options (5.1 keeps those apart).
struct TFFOptions {
    SwsContext* sws_opts = nullptr;
    AVDictionary* format_opts = nullptr;
    AVDictionary* codec_opts = nullptr;
    AVDictionary* swr_opts = nullptr;
};

// The error channel of option parsing: one run of the machinery over an
// options context (Ctx: the structure the odOffset/odPerStream rows write)
// and the text of the last error the machinery or a handler composed, which
// is what the caller shows the user.
struct TOptionParse {
    void* Ctx = nullptr;
    std::string ErrorText;
};

// Sends one line to FFmpeg's log (a no-op while the libraries are unbound).
void OptionLogLine(void* Avcl, int Level, const std::string& ALine);

const TOptionDef* FindOptionDef(const TOptionDef* Table, const char* Name);
int ApplyOption(TOptionParse& Parse, const char* Opt, const char* Arg, const TOptionDef* Table);
// Words[Count] must be readable (an empty word after the last one).
int ApplyOptions(TOptionParse& Parse, int Count, const char* const* Words, bool HaltOnError, const TOptionDef* Table);
int LocateOptionWord(int Count, const char* const* Words, const TOptionDef* Table, const char* Name);
const char* FindLogLevelWord(int Count, const char* const* Words, const TOptionDef* Table);

// The platform's strict number conversion: integers with an optional sign,
// decimal or hexadecimal after "$" or "0x"; floats with the user's decimal
// separator (FormatSettings), an optional exponent, blanks around allowed.
int32_t ParseIntText(const char* Opt, const char* Text);
int64_t ParseInt64Text(const char* Opt, const char* Text);
float ParseSingleText(const char* Opt, const char* Text);
double ParseDoubleText(const char* Opt, const char* Text);
int64_t ParseTimeText(const char* Opt, const char* Text, bool IsDuration);

// Hands a word to the libraries' option system; a failure leaves its text in
// AErrorText.
int opt_default(TFFOptions& Options, const char* Opt, const char* Arg, std::string& AErrorText);

// Grows a malloc'ed array to NewCount zeroed elements (realloc semantics).
void* GrowArray(void* Array, int ElemSize, int& Count, int NewCount);
template <typename T>
T* GrowArrayOf(T* Array, int& Count, int NewCount)
{
    return static_cast<T*>(GrowArray(Array, int(sizeof(T)), Count, NewCount));
}

// Buffer is malloc'ed, one zero byte past the data; Size includes it.
int ReadWholeFile(const char* FileName, uint8_t*& Buffer, size_t& Size);

void InitFFOptions(TFFOptions& Options, int SwsFlags);
void FreeFFOptions(TFFOptions& Options);

// An owned copy of Text (malloc'ed); nullptr stays nullptr.
char* OptStrDup(const char* Text);
