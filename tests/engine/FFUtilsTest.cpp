// The generic option machinery: rows and flags, applying words, value
// parsers, opt_default, stream selectors, codec-option filtering, arrays and
// whole-file reading.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>

#include "OptionsTestSupport.h"
#include "engine/common/OptionTable.h"
#include "engine/common/StreamSelectors.h"
#include "engine/bindings/SwResampleStubs.h"
#include "engine/bindings/SwScaleStubs.h"
#include "platform/rtl/SysUtils.h"
#include "support/TestSupport.h"

using namespace tarnello::test;

namespace {

struct TCtx {
    int32_t flag;
    int32_t number;
    int64_t big;
    int64_t time;
    float single;
    double dbl;
    char* text;
    TSelectorOpt* values;
    int32_t nb_values;
};

struct THandlerLog {
    std::string calls;
    int result = 0;
    std::string message;
};

int Handler(void* Obj, void* Ctx, const char* Opt, const char* Arg)
{
    auto* log = static_cast<THandlerLog*>(Obj);
    log->calls += std::string(Ctx ? "ctx:" : "") + Opt + "=" + (Arg ? Arg : "<nil>") + ";";
    if (!log->message.empty())
        static_cast<TOptionParse*>(Ctx)->ErrorText = log->message;
    return log->result;
}

class OptionTableTest : public LibrariesTest {
protected:
    void SetUp() override
    {
        LibrariesTest::SetUp();
        std::memset(&ctx, 0, sizeof ctx);
        parse = TOptionParse{&ctx, {}};
        auto add = [&](const char* name, int32_t flags, size_t off) {
            TOptionDef& r = rows[n++];
            r.name = name;
            r.flags = flags;
            r.off = off;
            return &r;
        };
        add("flag", odBool | odOffset, offsetof(TCtx, flag));
        add("num", odHasArg | odInt | odOffset, offsetof(TCtx, number));
        add("big", odHasArg | odInt64 | odOffset, offsetof(TCtx, big));
        add("time", odHasArg | odTime | odOffset, offsetof(TCtx, time));
        add("single", odHasArg | odFloat | odOffset, offsetof(TCtx, single));
        add("dbl", odHasArg | odDouble | odOffset, offsetof(TCtx, dbl));
        add("text", odHasArg | odString | odOffset, offsetof(TCtx, text));
        add("val", odHasArg | odString | odPerStream, offsetof(TCtx, values));
        add("num2", odHasArg | odInt, 0)->dst_ptr = &direct;
        TOptionDef* h = add("h", odHasArg | odFunc2, 0);
        h->func = Handler;
        h->obj = &log;
        TOptionDef* g = add("g", 0, 0);
        g->func = Handler;
        g->obj = &log;
    }
    void TearDown() override
    {
        std::free(ctx.text);
        for (int i = 0; i < ctx.nb_values; ++i) {
            std::free(ctx.values[i].selector);
            std::free(ctx.values[i].u.str);
        }
        std::free(ctx.values);
        LibrariesTest::TearDown();
    }
    void AddDefault()
    {
        TOptionDef& d = rows[n++];
        d.name = "default";
        d.flags = odHasArg;
        d.func = Handler;
        d.obj = &log;
    }

    TOptionDef rows[16]{};
    int n = 0;
    TCtx ctx;
    TOptionParse parse;
    int32_t direct = 0;
    THandlerLog log;
};

TEST_F(OptionTableTest, FindOptionDefMatchesTheWholeNameBeforeTheColon)
{
    struct Case {
        const char* word;
        const char* row;  // nullptr: the closing row
    } cases[] = {
        {"num", "num"}, {"num:v", "num"}, {"nu", nullptr}, {"number", nullptr}, {"NUM", nullptr},
        {"val:a:1", "val"}, {":x", nullptr},
    };
    for (const Case& c : cases) {
        const TOptionDef* po = FindOptionDef(rows, c.word);
        if (c.row)
            EXPECT_STREQ(po->name, c.row) << c.word;
        else
            EXPECT_EQ(po->name, nullptr) << c.word;
    }
}

TEST_F(OptionTableTest, ApplyOptionStoresByFlag)
{
    EXPECT_EQ(ApplyOption(parse, "flag", "x", rows), 0);
    EXPECT_EQ(ctx.flag, 1);
    EXPECT_EQ(ApplyOption(parse, "noflag", nullptr, rows), 0);
    EXPECT_EQ(ctx.flag, 0);
    EXPECT_EQ(ApplyOption(parse, "num", "-42", rows), 1);
    EXPECT_EQ(ctx.number, -42);
    EXPECT_EQ(ApplyOption(parse, "num", "$1F", rows), 1);
    EXPECT_EQ(ctx.number, 31);
    EXPECT_EQ(ApplyOption(parse, "big", "0x100000000", rows), 1);
    EXPECT_EQ(ctx.big, int64_t(1) << 32);
    EXPECT_EQ(ApplyOption(parse, "time", "1:00:02.5", rows), 1);
    EXPECT_EQ(ctx.time, 3602500000);
    EXPECT_EQ(ApplyOption(parse, "single", " 0.25 ", rows), 1);
    EXPECT_FLOAT_EQ(ctx.single, 0.25f);
    EXPECT_EQ(ApplyOption(parse, "dbl", "1.5e3", rows), 1);
    EXPECT_DOUBLE_EQ(ctx.dbl, 1500.0);
    EXPECT_EQ(ApplyOption(parse, "text", "one", rows), 1);
    EXPECT_EQ(ApplyOption(parse, "text", "two", rows), 1);
    EXPECT_STREQ(ctx.text, "two");
    EXPECT_EQ(ApplyOption(parse, "num2", "7", rows), 1);
    EXPECT_EQ(direct, 7);
}

TEST_F(OptionTableTest, PerStreamValuesKeepTheirSelectorsInOrder)
{
    ApplyOption(parse, "val", "a", rows);
    ApplyOption(parse, "val:a:1", "b", rows);
    ApplyOption(parse, "val:v", "c", rows);
    EXPECT_EQ(SelectorTexts(ctx.values, ctx.nb_values), (std::vector<std::string>{"=a", "a:1=b", "v=c"}));
}

TEST_F(OptionTableTest, HandlersGetTheWordAsWrittenAndComposeFailures)
{
    EXPECT_EQ(ApplyOption(parse, "h:v", "500k", rows), 1);
    EXPECT_EQ(ApplyOption(parse, "g", "next", rows), 0);
    EXPECT_EQ(log.calls, "ctx:h:v=500k;g=next;");

    log.result = -22;
    EXPECT_EQ(ApplyOption(parse, "h", "bad", rows), -22);
    EXPECT_EQ(parse.ErrorText, "Failed to set value \"bad\" for option \"h\"");
    log.message = "Own reason";
    EXPECT_EQ(ApplyOption(parse, "h", "bad", rows), -22);
    EXPECT_EQ(parse.ErrorText, "Own reason\r\nFailed to set value \"bad\" for option \"h\"");
}

TEST_F(OptionTableTest, UnknownAndMissingWords)
{
    struct Case {
        const char* word;
        const char* arg;
        bool withDefault;
        int result;
        const char* error;
        const char* calls;
    } cases[] = {
        {"xyz", "1", false, -22, "Unrecognized option \"xyz\"", ""},
        {"xyz", "1", true, 1, "", "xyz=1;"},
        // "no" + a row that is not boolean, or no row at all: never the catch-all
        {"nonum", "1", true, -22, "Unrecognized option \"nonum\"", ""},
        {"noxyz", "1", true, -22, "Unrecognized option \"noxyz\"", ""},
        {"num", nullptr, false, -22, "Missing argument for option \"num\"", ""},
    };
    for (const Case& c : cases) {
        n = 0;
        SetUp();
        log = THandlerLog{};
        if (c.withDefault)
            AddDefault();
        parse.ErrorText.clear();
        EXPECT_EQ(ApplyOption(parse, c.word, c.arg, rows), c.result) << c.word;
        EXPECT_EQ(parse.ErrorText, c.error) << c.word;
        EXPECT_EQ(log.calls, c.calls) << c.word;
        LibrariesTest::TearDown();
    }
}

TEST_F(OptionTableTest, ApplyOptionsHaltsOrSkips)
{
    struct Case {
        std::vector<const char*> words;
        bool halt;
        int result;
        const char* error;
        int32_t number;
    } cases[] = {
        {{"-num", "5", "-flag"}, true, 0, "", 5},
        {{"-num", "5", "stray", "-flag"}, true, -1, "Failed to parse options on stray", 5},
        {{"-num", "5", "-", "-flag"}, true, -1, "Failed to parse options on -", 5},
        {{"-num", "5", ""}, true, -1, "Failed to parse options", 5},
        {{"-noxyz", "3", "-num", "4"}, true, -22, "Unrecognized option \"noxyz\"", 0},
        // Skipping: the option fails, its argument is an invalid word, parsing goes on.
        // The text is cleared before every option, so a later good one leaves it empty.
        {{"-noxyz", "3", "-num", "4"}, false, 0, "", 4},
        // An argument-taking option standing last gets the closing empty word.
        {{"-text"}, true, 0, "", 0},
    };
    for (const Case& c : cases) {
        ctx.number = 0;
        std::vector<const char*> words = c.words;
        words.push_back("");
        parse.ErrorText.clear();
        EXPECT_EQ(ApplyOptions(parse, int(c.words.size()), words.data(), c.halt, rows), c.result) << c.words[0];
        EXPECT_EQ(parse.ErrorText, c.error) << c.words[0];
        EXPECT_EQ(ctx.number, c.number) << c.words[0];
    }
    EXPECT_STREQ(ctx.text, "");
}

TEST_F(OptionTableTest, LocateOptionWordSkipsArguments)
{
    AddDefault();
    std::vector<const char*> words = {"-text", "-flag", "-unknown", "-num", "-noflag", "-num:v", "9", ""};
    const int count = int(words.size()) - 1;
    EXPECT_EQ(LocateOptionWord(count, words.data(), rows, "flag"), 4);
    EXPECT_EQ(LocateOptionWord(count, words.data(), rows, "num"), 5);
    EXPECT_EQ(LocateOptionWord(count, words.data(), rows, "dbl"), -1);
}

TEST(OptionValueParsers, ErrorsNameTheOptionAndTheText)
{
    struct Case {
        std::function<void()> call;
        const char* error;  // nullptr: accepted
    } cases[] = {
        {[] { ParseIntText("ar", "44100"); }, nullptr},
        {[] { ParseIntText("ar", "44.1k"); }, "Expected integer for ar but found 44.1k"},
        {[] { ParseIntText("ar", ""); }, "Expected integer for ar but found "},
        {[] { ParseIntText("ar", "4294967296"); }, "Expected integer for ar but found 4294967296"},
        {[] { ParseInt64Text("fs", "4294967296"); }, nullptr},
        {[] { ParseInt64Text("fs", "1e9"); }, "Expected int64 for fs but found 1e9"},
        {[] { ParseInt64Text("fs", "99999999999999999999"); }, "Expected int64 for fs but found 99999999999999999999"},
        {[] { ParseSingleText("rmvol", "abc"); }, "Expected float for rmvol but found abc"},
        {[] { ParseSingleText("rmvol", "1e39"); }, "Expected float for rmvol but found 1e39"},
        {[] { ParseDoubleText("q", "2.5.1"); }, "Expected double for q but found 2.5.1"},
        {[] { ParseDoubleText("q", "-.5E-2"); }, nullptr},
    };
    for (const Case& c : cases) {
        try {
            c.call();
            EXPECT_EQ(c.error, nullptr);
        } catch (const Exception& e) {
            ASSERT_NE(c.error, nullptr) << e.Message();
            EXPECT_EQ(e.Message(), c.error);
        }
    }
}

TEST_F(OptionTableTest, TimeTextsAreDurationsOrDates)
{
    EXPECT_EQ(ParseTimeText("t", "10.5", true), 10500000);
    // Negative durations are valid (-itsoffset -1); only unreadable texts fail.
    EXPECT_EQ(ParseTimeText("itsoffset", "-1", true), -1000000);
    try {
        ParseTimeText("t", "abc", true);
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Invalid duration value for t: abc");
    }
    try {
        ParseTimeText("timestamp", "yesterday", false);
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Invalid date value for timestamp: yesterday");
    }
    EXPECT_GT(ParseTimeText("timestamp", "2024-01-02 03:04:05", false), 0);
}

TEST(OptionValueParsers, FloatsUseTheUsersDecimalSeparator)
{
    const char keep = DecimalSeparator;
    DecimalSeparator = ',';
    EXPECT_FLOAT_EQ(ParseSingleText("rmvol", "0,5"), 0.5f);
    try {
        ParseSingleText("rmvol", "0.5");
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Expected float for rmvol but found 0.5");
    }
    DecimalSeparator = keep;
    EXPECT_DOUBLE_EQ(ParseDoubleText("q", "0.5"), 0.5);
}

class OptDefaultTest : public LibrariesTest {
protected:
    void SetUp() override
    {
        LibrariesTest::SetUp();
        InitFFOptions(opts, SWS_BICUBIC);
    }
    void TearDown() override
    {
        FreeFFOptions(opts);
        EXPECT_EQ(opts.sws_opts, nullptr);
        EXPECT_EQ(opts.codec_opts, nullptr);
        LibrariesTest::TearDown();
    }
    TFFOptions opts;
};

TEST_F(OptDefaultTest, OptionsGoToTheClassesThatKnowThem)
{
    struct Case {
        const char* opt;
        const char* arg;
        int result;
        const char* codec;   // value in codec_opts under opt, or nullptr for none
        const char* format;  // value in format_opts
        const char* error;
    } cases[] = {
        {"b:v", "1000k", 0, "1000k", nullptr, ""},
        {"g", "12", 0, "12", nullptr, ""},
        {"crf", "23", 0, "23", nullptr, ""},          // a private option of an encoder
        {"scan_offset", "1", 0, "1", nullptr, ""},    // the MPEG-2 encoder's own
        {"vb", "800k", 0, "800k", nullptr, ""},       // "v" + a codec option
        {"muxrate", "10080000", 0, nullptr, "10080000", ""},
        {"packetsize", "2324", 0, nullptr, "2324", ""},
        {"probesize", "5000000", 0, nullptr, "5000000", ""},
        {"xyz", "1", AVERROR_OPTION_NOT_FOUND, nullptr, nullptr, "Unrecognized option \"xyz\""},
        {"sws_flags", "nonsense", AVERROR(EINVAL), nullptr, nullptr, "Error setting option \"sws_flags\""},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_EQ(opt_default(opts, c.opt, c.arg, error), c.result) << c.opt;
        EXPECT_EQ(TTestTask::DictValue(opts.codec_opts, c.opt), c.codec ? c.codec : "<none>") << c.opt;
        EXPECT_EQ(TTestTask::DictValue(opts.format_opts, c.opt), c.format ? c.format : "<none>") << c.opt;
        EXPECT_EQ(error, c.error) << c.opt;
    }
}

TEST_F(OptDefaultTest, FlagOptionsAppendAndScalerOptionsAreSet)
{
    std::string error;
    EXPECT_EQ(opt_default(opts, "flags", "+a", error), 0);
    EXPECT_EQ(opt_default(opts, "flags", "+a", error), 0);
    EXPECT_EQ(TTestTask::DictValue(opts.codec_opts, "flags"), "+a+a");
    EXPECT_EQ(opt_default(opts, "g", "1", error), 0);
    EXPECT_EQ(opt_default(opts, "g", "2", error), 0);
    EXPECT_EQ(TTestTask::DictValue(opts.codec_opts, "g"), "2");

    EXPECT_EQ(opt_default(opts, "sws_flags", "lanczos", error), 0);
    int64_t flags = 0;
    ASSERT_GE(ff::av_opt_get_int(opts.sws_opts, "sws_flags", 0, &flags), 0);
    EXPECT_EQ(flags, SWS_LANCZOS);

    EXPECT_EQ(opt_default(opts, "resampler", "soxr", error), 0);
    EXPECT_EQ(TTestTask::DictValue(opts.swr_opts, "resampler"), "soxr");
}

class SelectorTest : public LibrariesTest {
protected:
    void SetUp() override
    {
        LibrariesTest::SetUp();
        const AVMediaType V = AVMEDIA_TYPE_VIDEO, A = AVMEDIA_TYPE_AUDIO, S = AVMEDIA_TYPE_SUBTITLE;
        s = MakeFormatContext({{V, 0, {25, 1}, false, 0x100},
                               {A, 2, {}, false, 0x101, "eng"},
                               {A, 6, {}, false, 0x102, "ger"},
                               {S, 0, {}, false, 0x103, "eng"},
                               {V, 0, {}, true, 0x104},
                               {AVMEDIA_TYPE_DATA},
                               {AVMEDIA_TYPE_ATTACHMENT}},
                              {{3, {0, 2}}, {4, {1, 2}}});
    }
    void TearDown() override
    {
        ff::avformat_free_context(s);
        LibrariesTest::TearDown();
    }
    // The indexes of the streams that match, or the error code.
    std::string Matches(const char* Sel)
    {
        std::string r;
        for (unsigned i = 0; i < s->nb_streams; ++i) {
            int m = check_stream_selector(s, s->streams[i], Sel);
            if (m < 0)
                return "error " + std::to_string(m);
            if (m)
                r += std::to_string(i);
        }
        return r;
    }
    AVFormatContext* s = nullptr;
};

TEST_F(SelectorTest, SelectsStreams)
{
    struct Case {
        const char* sel;
        const char* streams;
    } cases[] = {
        {"", "0123456"},
        {"1", "1"},
        {"0x2", "2"},
        {"9", ""},
        {"v", "04"},
        {"V", "0"},
        {"v:1", "4"},
        {"a", "12"},
        {"a:1", "2"},
        {"a:2", ""},
        {"s", "3"},
        {"d", "5"},
        {"t", "6"},
        {"p:3", "02"},
        {"p:3:1", "2"},
        {"p:3:a", "2"},
        {"p:4:a:0", "1"},
        {"p:5", ""},
        {"#0x102", "2"},
        {"i:259", "3"},
        {"m:language:eng", "13"},
        {"m:language", "123"},
        {"a:m:language:ger", "2"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Matches(c.sel), c.streams) << c.sel;
}

// The library's own matcher reads the same syntax; both must agree on every
// well-formed selector.
TEST_F(SelectorTest, AgreesWithTheLibrarysMatcher)
{
    const int keep = ff::av_log_get_level();
    ff::av_log_set_level(AV_LOG_QUIET);
    for (const char* sel : {"1", "0x2", "9", "v", "V", "v:1", "a", "a:1", "a:2", "s", "d", "t", "p:3", "p:3:1",
                             "p:3:a", "p:4:a:0", "p:5", "#0x102", "i:259", "m:language:eng", "m:language",
                             "a:m:language:ger", "u", "v:u"}) {
        for (unsigned i = 0; i < s->nb_streams; ++i) {
            int mine = check_stream_selector(s, s->streams[i], sel);
            int lib = ff::avformat_match_stream_specifier(s, s->streams[i], sel);
            EXPECT_EQ(mine, lib) << sel << " stream " << i;
        }
    }
    ff::av_log_set_level(keep);
}

TEST_F(SelectorTest, MalformedSelectorsAreErrors)
{
    for (const char* sel : {"x", "v:", "a:x", "p:", "p:x", "1a", "v:a", "#", "m:", "-1", "v:-1", "u:1"})
        EXPECT_EQ(Matches(sel), "error " + std::to_string(AVERROR(EINVAL))) << sel;
}

TEST_F(SelectorTest, FilterCodecOptionsKeepsWhatAppliesToTheStream)
{
    AVDictionary* opts = nullptr;
    for (auto [k, v] : {std::pair{"b:v", "1000k"}, {"b:a", "128k"}, {"g", "12"}, {"crf", "20"},
                        {"data_partitioning", "1"}, {"ar", "44100"}, {"vqmin", "3"}})
        ff::av_dict_set(&opts, k, v, 0);
    s->oformat = ff::av_guess_format("matroska", nullptr, nullptr);

    struct Case {
        unsigned stream;
        const char* encoder;
        const char* expected;  // key=value; in order
    } cases[] = {
        // "vqmin" loses its type letter; "crf" belongs to neither encoder.
        {0, "mpeg4", "b=1000k;g=12;data_partitioning=1;qmin=3;"},
        {1, "mp2", "b=128k;ar=44100;"},
    };
    for (const Case& c : cases) {
        AVDictionary* f = FilterCodecOptions(opts, ff::avcodec_find_encoder_by_name(c.encoder), s, s->streams[c.stream]);
        std::string got;
        const AVDictionaryEntry* e = nullptr;
        while ((e = ff::av_dict_get(f, "", e, AV_DICT_IGNORE_SUFFIX)))
            got += std::string(e->key) + "=" + e->value + ";";
        ff::av_dict_free(&f);
        EXPECT_EQ(got, c.expected) << c.encoder;
    }
    EXPECT_EQ(FilterCodecOptions(opts, nullptr, s, s->streams[0]), nullptr);
    ff::av_dict_set(&opts, "g:x", "1", 0);
    EXPECT_EQ(FilterCodecOptions(opts, ff::avcodec_find_encoder_by_name("mpeg4"), s, s->streams[0]), nullptr);
    ff::av_dict_free(&opts);
}

TEST_F(SelectorTest, FindStreamInfoOptionsGivesOneDictionaryPerStream)
{
    s->streams[0]->codecpar->codec_id = AV_CODEC_ID_H264;
    s->streams[1]->codecpar->codec_id = AV_CODEC_ID_AAC;
    AVDictionary* opts = nullptr;
    ff::av_dict_set(&opts, "threads:v", "2", 0);
    ff::av_dict_set(&opts, "b", "1", 0);
    AVDictionary** per = FindStreamInfoOptions(s, opts);
    ASSERT_NE(per, nullptr);
    EXPECT_EQ(TTestTask::DictValue(per[0], "threads"), "2");
    EXPECT_EQ(TTestTask::DictValue(per[1], "threads"), "<none>");
    EXPECT_EQ(per[2], nullptr);  // no decoder for an unset codec id
    FreeStreamInfoOptions(per, s->nb_streams);
    EXPECT_EQ(per, nullptr);
    ff::av_dict_free(&opts);

    AVFormatContext* empty = ff::avformat_alloc_context();
    EXPECT_EQ(FindStreamInfoOptions(empty, nullptr), nullptr);
    ff::avformat_free_context(empty);
}

TEST(GrowArrayTest, GrowsZeroedAndRefusesHugeSizes)
{
    int count = 0;
    auto* a = static_cast<int32_t*>(GrowArray(nullptr, 4, count, 3));
    EXPECT_EQ(count, 3);
    EXPECT_EQ(a[0] | a[1] | a[2], 0);
    a[2] = 7;
    EXPECT_EQ(GrowArray(a, 4, count, 2), a);  // never shrinks
    EXPECT_EQ(GrowArray(a, 4, count, 3), a);
    a = static_cast<int32_t*>(GrowArray(a, 4, count, 5));
    EXPECT_EQ(a[2], 7);
    EXPECT_EQ(a[3] | a[4], 0);
    try {
        GrowArray(a, 16, count, 2147483647 / 16);
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Array too big.");
    }
    EXPECT_EQ(count, 5);
    std::free(a);
}

TEST(ReadWholeFileTest, ReadsFilesAndRefusesTheRest)
{
    TempDir dir;
    WriteTextFile(dir.file("a.txt"), "abc");
    WriteTextFile(dir.file("empty.txt"), "");
    struct Case {
        std::string name;
        int result;
        size_t size;
    } cases[] = {
        {dir.file("a.txt"), 0, 4},
        {dir.file("empty.txt"), 0, 1},
        {dir.file("missing.txt"), -1, 0},
        {dir.path(), -1, 0},
    };
    for (const Case& c : cases) {
        uint8_t* buf = nullptr;
        size_t size = 99;
        EXPECT_EQ(ReadWholeFile(c.name.c_str(), buf, size), c.result) << c.name;
        EXPECT_EQ(size, c.size) << c.name;
        if (c.result == 0) {
            ASSERT_NE(buf, nullptr);
            EXPECT_EQ(buf[size - 1], 0);
        }
        std::free(buf);
    }
}

}  // namespace

namespace {

TEST(OptDefaultUnbound, RefusesClearlyWithoutTheLibraries)
{
    FFLoader().UnloadAll();
    TFFOptions opts;
    std::string error;
    try {
        opt_default(opts, "g", "12", error);
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message().rfind("Library ", 0), 0u) << e.Message();
    }
}

}  // namespace
