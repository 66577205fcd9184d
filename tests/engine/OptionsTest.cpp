// The transcoder's option table: option texts against the records they
// produce, their error texts, presets texts and preset files, stream maps.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <memory>
#include <set>

#include "OptionsTestSupport.h"
#include "engine/common/FFLog.h"
#include "engine/transcode/FFmpegOptions.h"
#include "support/TestSupport.h"

using namespace tarnello::test;

namespace {

using TCheck = std::function<void(TTestTask&)>;

class OptionsTest : public LibrariesTest {
protected:
    void SetUp() override
    {
        LibrariesTest::SetUp();
        keepLevel = ff::av_log_get_level();
    }
    void TearDown() override
    {
        ff::av_log_set_level(keepLevel);
        LibrariesTest::TearDown();
    }
    int keepLevel = 0;
};

TEST_F(OptionsTest, TheTableHoldsEveryRowOnce)
{
    TTestTask task;
    int rows = 0;
    std::set<std::string> names;
    for (const TOptionDef* po = task.Options(); po->name; ++po, ++rows)
        EXPECT_TRUE(names.insert(po->name).second) << po->name;
    EXPECT_EQ(rows, 140);
    for (const char* name : {"default", "Join", "VideoHookBitsPixel", "map_channel", "t_microsecond", "-help", "?"})
        EXPECT_EQ(names.count(name), 1u) << name;
}

TEST_F(OptionsTest, TextsFillTheContextAndTheTask)
{
    struct Case {
        const char* text;
        TCheck check;
    } cases[] = {
        {"", [](TTestTask& t) { EXPECT_EQ(t.optctx.nb_codec_names, 0); }},
        {" -Join ", [](TTestTask& t) { EXPECT_EQ(t.optctx.nb_codec_names, 0); }},
        {"-AudioHook -VideoInputHook -VideoOutputHook -FrameInputHook -FrameOutputHook",
         [](TTestTask& t) { EXPECT_EQ(t.optctx.recording_time, INT64_MAX); }},
        {"-b:v 500k -b:a 128k",
         [](TTestTask& t) {
             EXPECT_EQ(t.CodecOpt("b:v"), "500k");
             EXPECT_EQ(t.CodecOpt("b:a"), "128k");
         }},
        {"-b 800k", [](TTestTask& t) { EXPECT_EQ(t.CodecOpt("b:v"), "800k"); }},
        {"-c:a:1 mp2 -codec copy",
         [](TTestTask& t) {
             EXPECT_EQ(SelectorTexts(t.optctx.codec_names, t.optctx.nb_codec_names),
                       (std::vector<std::string>{"a:1=mp2", "=copy"}));
         }},
        {"-acodec aac -vcodec libx264 -scodec mov_text -dcodec copy",
         [](TTestTask& t) {
             EXPECT_STREQ(t.Faudio_codec_name, "aac");
             EXPECT_STREQ(t.Fvideo_codec_name, "libx264");
             EXPECT_STREQ(t.Fsubtitle_codec_name, "mov_text");
             EXPECT_EQ(SelectorTexts(t.optctx.codec_names, t.optctx.nb_codec_names),
                       (std::vector<std::string>{"a=aac", "v=libx264", "s=mov_text", "d=copy"}));
         }},
        {"-vcodec",  // an argument-taking option standing last gets the empty text
         [](TTestTask& t) {
             EXPECT_STREQ(t.Fvideo_codec_name, "");
             EXPECT_EQ(SelectorTexts(t.optctx.codec_names, t.optctx.nb_codec_names), (std::vector<std::string>{"v="}));
         }},
        {"-shortest -noshortest", [](TTestTask& t) { EXPECT_EQ(t.Fopt_shortest, 0); }},
        {"-shortest -y -n -copyts -re -vn -an -sn -dn",
         [](TTestTask& t) {
             EXPECT_EQ(t.Fopt_shortest, 1);
             EXPECT_EQ(t.Ffile_overwrite, 1);
             EXPECT_EQ(t.Fno_file_overwrite, 1);
             EXPECT_EQ(t.Fcopy_ts, 1);
             EXPECT_EQ(t.optctx.rate_emu, 1);
             EXPECT_EQ(t.optctx.video_disable + t.optctx.audio_disable + t.optctx.subtitle_disable +
                           t.optctx.data_disable,
                       4);
         }},
        {"-t 30 -ss 10 -itsoffset -1.5 -fs 1000000",
         [](TTestTask& t) {
             EXPECT_EQ(t.optctx.recording_time, 30000000);
             EXPECT_EQ(t.optctx.start_time, 10000000);
             EXPECT_EQ(t.optctx.input_ts_offset, -1500000);
             EXPECT_EQ(t.optctx.limit_filesize, 1000000);
         }},
        {"-t_microsecond 1000000 -ss_microsecond 5 -itsoffset_microsecond -7",
         [](TTestTask& t) {
             EXPECT_EQ(t.optctx.recording_time, 1000000);
             EXPECT_EQ(t.optctx.start_time, 5);
             EXPECT_EQ(t.optctx.input_ts_offset, -7);
         }},
        {"-t 10.5", [](TTestTask& t) { EXPECT_EQ(t.optctx.recording_time, 10500000); }},
        {"-vtag XVID -atag mp4a -stag tx3g",
         [](TTestTask& t) {
             EXPECT_EQ(SelectorTexts(t.optctx.codec_tags, t.optctx.nb_codec_tags),
                       (std::vector<std::string>{"v=XVID", "a=mp4a", "s=tx3g"}));
         }},
        {"-vbsf h264_mp4toannexb -absf aac_adtstoasc -bsf:v:0 null",
         [](TTestTask& t) {
             EXPECT_EQ(SelectorTexts(t.optctx.bitstream_filters, t.optctx.nb_bitstream_filters),
                       (std::vector<std::string>{"v=h264_mp4toannexb", "a=aac_adtstoasc", "v:0=null"}));
         }},
        {"-vframes 10 -aframes 20 -dframes 30 -frames:s 40",
         [](TTestTask& t) {
             ASSERT_EQ(t.optctx.nb_max_frames, 4);
             EXPECT_STREQ(t.optctx.max_frames[0].selector, "v");
             EXPECT_EQ(t.optctx.max_frames[0].u.i64, 10);
             EXPECT_STREQ(t.optctx.max_frames[2].selector, "d");
             EXPECT_EQ(t.optctx.max_frames[3].u.i64, 40);
         }},
        {"-q:v 3 -aq 4 -qscale:v:0 5",
         [](TTestTask& t) {
             ASSERT_EQ(t.optctx.nb_qscale, 3);
             EXPECT_STREQ(t.optctx.qscale[1].selector, "a");
             EXPECT_DOUBLE_EQ(t.optctx.qscale[1].u.dbl, 4.0);
             EXPECT_DOUBLE_EQ(t.optctx.qscale[2].u.dbl, 5.0);
         }},
        {"-vf \"crop=100:50:10:10, scale=320:240\" -filter:a:0 volume=2",
         [](TTestTask& t) {
             EXPECT_EQ(SelectorTexts(t.optctx.filters, t.optctx.nb_filters),
                       (std::vector<std::string>{"v=crop=100:50:10:10, scale=320:240", "a:0=volume=2"}));
         }},
        {"-r 25 -s 640x480 -aspect 16:9 -pix_fmt yuv420p -top 1 -force_fps -copyinkf",
         [](TTestTask& t) {
             EXPECT_EQ(SelectorTexts(t.optctx.frame_rates, t.optctx.nb_frame_rates), (std::vector<std::string>{"=25"}));
             EXPECT_STREQ(t.optctx.frame_sizes[0].u.str, "640x480");
             EXPECT_STREQ(t.optctx.frame_aspect_ratios[0].u.str, "16:9");
             EXPECT_STREQ(t.optctx.frame_pix_fmts[0].u.str, "yuv420p");
             EXPECT_EQ(t.optctx.top_field_first[0].u.i, 1);
             EXPECT_EQ(t.optctx.force_fps[0].u.i, 1);
             EXPECT_EQ(t.optctx.copy_initial_nonkeyframes[0].u.i, 1);
         }},
        {"-ar 44100 -ac:a:1 6 -rmvol 1.5 -sample_fmt s16 -vol 512",
         [](TTestTask& t) {
             EXPECT_EQ(t.optctx.audio_sample_rate[0].u.i, 44100);
             EXPECT_STREQ(t.optctx.audio_channels[0].selector, "a:1");
             EXPECT_EQ(t.optctx.audio_channels[0].u.i, 6);
             EXPECT_FLOAT_EQ(t.optctx.rematrix_volume[0].u.f, 1.5f);
             EXPECT_STREQ(t.optctx.sample_fmts[0].u.str, "s16");
             EXPECT_EQ(t.Faudio_volume, 512);
         }},
        {"-metadata title=X -metadata:s:a:0 language=eng",
         [](TTestTask& t) {
             EXPECT_EQ(SelectorTexts(t.optctx.metadata, t.optctx.nb_metadata),
                       (std::vector<std::string>{"=title=X", "s:a:0=language=eng"}));
         }},
        {"-f mp4 -f matroska", [](TTestTask& t) { EXPECT_STREQ(t.optctx.format, "matroska"); }},
        {"-pass 3 -passlogfile /tmp/stats",
         [](TTestTask& t) {
             EXPECT_EQ(t.Fdo_pass, 3);
             EXPECT_STREQ(t.Fpass_logfilename_prefix, "/tmp/stats");
         }},
        {"-vsync 1 -async 2 -adrift_threshold 0.5 -copytb 0 -dts_delta_threshold 3 -loop_output 2 -dc 9 -vdt 4",
         [](TTestTask& t) {
             EXPECT_EQ(t.Fvideo_sync_method, 1);
             EXPECT_EQ(t.Faudio_sync_method, 2);
             EXPECT_FLOAT_EQ(t.Faudio_drift_threshold, 0.5f);
             EXPECT_EQ(t.Fcopy_tb, 0);
             EXPECT_FLOAT_EQ(t.Fdts_delta_threshold, 3.0f);
             EXPECT_EQ(t.Floop_output, 2);
             EXPECT_EQ(t.Fintra_dc_precision, 9);
             EXPECT_EQ(t.Fvideo_discard, 4);
         }},
        {"-muxdelay 0.1 -muxpreload 0.5 -map_chapters 1",
         [](TTestTask& t) {
             EXPECT_FLOAT_EQ(t.optctx.mux_max_delay, 0.1f);
             EXPECT_FLOAT_EQ(t.optctx.mux_preload, 0.5f);
             EXPECT_EQ(t.optctx.chapters_input_file, 1);
         }},
        {"-streamid 0:33 -streamid 3:7 -streamid 1:0x10",
         [](TTestTask& t) {
             ASSERT_EQ(t.optctx.nb_streamid_map, 4);
             EXPECT_EQ(t.optctx.streamid_map[0], 33);
             EXPECT_EQ(t.optctx.streamid_map[1], 16);
             EXPECT_EQ(t.optctx.streamid_map[2], 0);
             EXPECT_EQ(t.optctx.streamid_map[3], 7);
         }},
        {"-attach a.ttf -attach \"b c.ttf\"",
         [](TTestTask& t) {
             ASSERT_EQ(t.optctx.nb_attachments, 2);
             EXPECT_STREQ(t.optctx.attachments[1], "b c.ttf");
         }},
        {"-map_metadata:s:1 0:c:2 -map_meta_data 1",
         [](TTestTask& t) {
             ASSERT_EQ(t.optctx.nb_meta_data_maps, 2);
             const TMetadataMap* m = t.optctx.meta_data_maps[0].m;
             EXPECT_EQ(m[0].type_, 's');
             EXPECT_EQ(m[0].index, 1);
             EXPECT_EQ(m[1].file_idx, 0);
             EXPECT_EQ(m[1].type_, 'c');
             EXPECT_EQ(m[1].index, 2);
             EXPECT_EQ(t.optctx.meta_data_maps[1].m[1].file_idx, 1);
             EXPECT_EQ(t.optctx.meta_data_maps[1].m[1].type_, 'g');
             EXPECT_EQ(t.optctx.metadata_streams_manual + t.optctx.metadata_chapters_manual +
                           t.optctx.metadata_global_manual,
                       3);
         }},
        {"-timestamp \"2024-01-02 03:04:05\"",
         [](TTestTask& t) {
             ASSERT_EQ(t.optctx.nb_metadata, 1);
             EXPECT_STREQ(t.optctx.metadata[0].selector, "");
             EXPECT_EQ(std::string(t.optctx.metadata[0].u.str).rfind("creation_time=2024-01-0", 0), 0u);
         }},
        {"-vstats_file v.log", [](TTestTask& t) { EXPECT_STREQ(t.Fvstats_filename, "v.log"); }},
        {"-vstats",
         [](TTestTask& t) {
             ASSERT_NE(t.Fvstats_filename, nullptr);
             EXPECT_EQ(std::strlen(t.Fvstats_filename), std::strlen("vstats_hhnnss.log"));
         }},
        {"-formats -version -L", [](TTestTask& t) { EXPECT_EQ(t.optctx.nb_codec_names, 0); }},
        {"-g 12 -crf 23 -muxrate 10080000 -sws_flags bilinear",
         [](TTestTask& t) {
             EXPECT_EQ(t.CodecOpt("g"), "12");
             EXPECT_EQ(t.CodecOpt("crf"), "23");
             EXPECT_EQ(t.FormatOpt("muxrate"), "10080000");
         }},
        {"-loglevel debug", [](TTestTask&) { EXPECT_EQ(ff::av_log_get_level(), 48); }},
        {"-loglevel 48", [](TTestTask&) { EXPECT_EQ(ff::av_log_get_level(), 48); }},
        {"-t 1 -v 16", [](TTestTask&) { EXPECT_EQ(ff::av_log_get_level(), 16); }},
        {"-vhook \"hook.so|-a|b c\" -VideoHookBitsPixel 32",
         [](TTestTask& t) {
             ASSERT_EQ(t.Hooks.size(), 1u);
             EXPECT_EQ(t.Hooks[0], (std::vector<std::string>{"hook.so", "-a", "b c"}));
             EXPECT_TRUE(t.Fusing_vhook);
             EXPECT_EQ(t.BitsPixel, 32);
         }},
        {"-vhook \"hook.so -x  1\"",
         [](TTestTask& t) { EXPECT_EQ(t.Hooks.at(0), (std::vector<std::string>{"hook.so", "-x", "1"})); }},
    };
    for (const Case& c : cases) {
        TTestTask task;
        EXPECT_EQ(task.Parse(c.text), "") << c.text;
        c.check(task);
        if (testing::Test::HasFailure()) {
            ADD_FAILURE() << "in: " << c.text;
            return;
        }
    }
}

TEST_F(OptionsTest, BadTextsFailWithTheirMessages)
{
    struct Case {
        const char* text;
        const char* error;
    } cases[] = {
        {"-nor 5", "Unrecognized option \"nor\""},
        {"-noxyz", "Unrecognized option \"noxyz\""},
        {"-xyzzy 5", "Unrecognized option \"xyzzy\"\r\nFailed to set value \"5\" for option \"xyzzy\""},
        {"stray", "Failed to parse options on stray"},
        {"-pre name", "options \"pre\" not supported\r\nFailed to set value \"name\" for option \"pre\""},
        {"-i in.avi", "options \"i\" not supported\r\nFailed to set value \"in.avi\" for option \"i\""},
        {"-benchmark", "options \"benchmark\" not supported\r\nFailed to set value \"\" for option \"benchmark\""},
        {"-croptop 10",
         "Option \"croptop\" has been removed, use the crop filter instead\r\n"
         "Failed to set value \"10\" for option \"croptop\""},
        {"-padcolor 000000",
         "Option \"padcolor\" has been removed, use the pad filter instead\r\n"
         "Failed to set value \"000000\" for option \"padcolor\""},
        {"-pass 4",
         "The value for \"pass\" was \"4\" which is not within 1 - 3\r\nFailed to set value \"4\" for option \"pass\""},
        {"-pass x", "'x' is not a valid integer value\r\nFailed to set value \"x\" for option \"pass\""},
        {"-loglevel loud",
         "Invalid loglevel \"loud\". Possible levels are numbers or:\r\n\"quiet\"\r\n\"panic\"\r\n\"fatal\"\r\n"
         "\"error\"\r\n\"warning\"\r\n\"info\"\r\n\"verbose\"\r\n\"debug\"\r\n\r\n"
         "Failed to set value \"loud\" for option \"loglevel\""},
        {"-streamid 1024:5",
         "The value for \"streamid\" was \"1024\" which is not within 0 - 1023\r\n"
         "Failed to set value \"1024:5\" for option \"streamid\""},
        {"-streamid 2:-1",
         "The value for \"streamid\" was \"-1\" which is not within 0 - 2147483647\r\n"
         "Failed to set value \"2:-1\" for option \"streamid\""},
        {"-streamid 5",
         "Invalid value \"5\" for option \"streamid\", required syntax is \"index:value\"\r\n"
         "Failed to set value \"5\" for option \"streamid\""},
        {"-map_metadata 0:x", "Invalid metadata type x.\r\nFailed to set value \"0:x\" for option \"map_metadata\""},
        {"-sws_flags nonsense",
         "Error setting option \"sws_flags\"\r\nFailed to set value \"nonsense\" for option \"sws_flags\""},
        {"-target pal-VCD", "Unknown target: VCD\r\nFailed to set value \"pal-VCD\" for option \"target\""},
        {"-VideoHookBitsPixel 12",
         "Invalid BitsPixel 12\r\nFailed to set value \"12\" for option \"VideoHookBitsPixel\""},
        {"-vhook missing.so", "Failed to add video hook function: missing.so"},
        // Value parsers raise their own texts unchanged.
        {"-ar x", "Expected integer for ar but found x"},
        {"-fs 1.5", "Expected int64 for fs but found 1.5"},
        {"-rmvol x", "Expected float for rmvol but found x"},
        {"-q:v x", "Expected double for q:v but found x"},
        {"-t abc", "Invalid duration value for t: abc"},
        {"-timestamp never", "Invalid date value for timestamp: never"},
    };
    for (const Case& c : cases) {
        TTestTask task;
        EXPECT_EQ(task.Parse(c.text), c.error) << c.text;
    }
}

TEST_F(OptionsTest, FatalErrorsAreFFmpegExceptionsWithLastErrMsg)
{
    TTestTask task;
    try {
        task.ParseOptions("-f avi -pass 9");
        ADD_FAILURE();
    } catch (const FFmpegException& e) {
        EXPECT_EQ(task.LastErrMsg(), e.Message());
    }
    // A parser's plain exception is not turned into a fatal error.
    TTestTask other;
    EXPECT_THROW(other.ParseOptions("-ar x"), Exception);
    EXPECT_EQ(other.LastErrMsg(), "");
}

TEST_F(OptionsTest, NonHaltingModeLogsAndGoesOn)
{
    TTestTask task;
    task.HaltOnInvalidOption = false;
    EXPECT_EQ(task.Parse("-noxyz 3 -pass 9 -croptop 1 -f mp4 stray -t 2"), "");
    EXPECT_STREQ(task.optctx.format, "mp4");
    EXPECT_EQ(task.optctx.recording_time, 2000000);
    EXPECT_EQ(task.Fdo_pass, 0);
}

TEST_F(OptionsTest, ResetKeepsOnlyTheInputsDuration)
{
    TTestTask task;
    ASSERT_EQ(task.Parse("-t 30 -f avi -c copy -map_metadata 0 -streamid 0:1 -attach x -b:v 1k -muxdelay 2"), "");
    task.ResetOptionsContext(task.optctx, true);
    EXPECT_EQ(task.optctx.recording_time, 30000000);
    EXPECT_EQ(task.optctx.format, nullptr);
    EXPECT_EQ(task.optctx.nb_codec_names, 0);
    EXPECT_EQ(task.optctx.nb_meta_data_maps, 0);
    EXPECT_EQ(task.optctx.nb_attachments, 0);
    EXPECT_FLOAT_EQ(task.optctx.mux_max_delay, 0.7f);
    EXPECT_EQ(task.optctx.limit_filesize, INT64_MAX);
    EXPECT_EQ(task.optctx.chapters_input_file, INT_MAX);
    EXPECT_EQ(task.CodecOpt("b:v"), "<none>");
    ASSERT_NE(task.FOptions.sws_opts, nullptr);
    task.ResetOptionsContext(task.optctx, false);
    EXPECT_EQ(task.optctx.recording_time, INT64_MAX);
}

TEST_F(OptionsTest, PresetsTexts)
{
    struct Case {
        const char* text;
        bool halt;
        const char* error;
        TCheck check;
    } cases[] = {
        {"b=800k<CRLF># a comment<CRLF>g=12", true, "",
         [](TTestTask& t) {
             EXPECT_EQ(t.CodecOpt("b"), "800k");
             EXPECT_EQ(t.CodecOpt("g"), "12");
         }},
        {"  \r\n b=1k \n\r\n\r VCodec=mpeg4\r\nmuxrate=1 \n", true, "",
         [](TTestTask& t) {
             EXPECT_EQ(t.CodecOpt("b"), "1k");
             EXPECT_STREQ(t.Fvideo_codec_name, "mpeg4");
             EXPECT_EQ(t.FormatOpt("muxrate"), "1");
         }},
        {"b=1k\noops\ng=2", true, "Invalid syntax: \"oops\"", [](TTestTask& t) { EXPECT_EQ(t.CodecOpt("g"), "<none>"); }},
        {"=5", true, "Invalid syntax: \"=5\"", [](TTestTask&) {}},
        {"xyz=1", true,
         "Unrecognized option \"xyz\"\r\nInvalid option or argument: \"xyz=1\", parsed as \"xyz\" = \"1\"",
         [](TTestTask&) {}},
        {"xyz=1\noops\ng=3", false, "", [](TTestTask& t) { EXPECT_EQ(t.CodecOpt("g"), "3"); }},
    };
    for (const Case& c : cases) {
        TTestTask task;
        task.HaltOnInvalidOption = c.halt;
        EXPECT_EQ(task.Presets(c.text), c.error) << c.text;
        c.check(task);
    }
}

TEST_F(OptionsTest, PresetFiles)
{
    TempDir dir;
    WriteTextFile(dir.file("good.ffpreset"), "# x264 preset\r\n\r\nvcodec=libx264\r\ng=48\r\n  bf=3 \r\n");
    WriteTextFile(dir.file("syntax.ffpreset"), "g=48\nno equals sign\ng=1\n");
    WriteTextFile(dir.file("unknown.ffpreset"), "xyz=1\ng=7\n");
    const std::string good = dir.file("good.ffpreset"), syntax = dir.file("syntax.ffpreset"),
                      unknown = dir.file("unknown.ffpreset"), missing = dir.file("none.ffpreset");
    struct Case {
        std::string text;
        bool halt;
        std::string error;
        TCheck check;
    } cases[] = {
        {"-vpre " + good, true, "",
         [](TTestTask& t) {
             EXPECT_STREQ(t.Fvideo_codec_name, "libx264");
             EXPECT_EQ(t.CodecOpt("g"), "48");
             EXPECT_EQ(t.CodecOpt("bf"), "3");
         }},
        {"-fpre " + missing, true,
         "Preset file \"" + missing + "\" not found\r\nFailed to set value \"" + missing + "\" for option \"fpre\"",
         [](TTestTask&) {}},
        {"-apre " + syntax, false, "",  // a syntax error stops the file even when not halting
         [](TTestTask& t) { EXPECT_EQ(t.CodecOpt("g"), "48"); }},
        {"-spre " + syntax, true,
         syntax + ": Invalid syntax: \"no equals sign\"\r\nFailed to set value \"" + syntax +
             "\" for option \"spre\"",
         [](TTestTask&) {}},
        {"-vpre " + unknown, true,
         "Unrecognized option \"xyz\"\r\n" + unknown +
             ": Invalid option or argument: \"xyz=1\", parsed as \"xyz\" = \"1\"\r\nFailed to set value \"" + unknown +
             "\" for option \"vpre\"",
         [](TTestTask& t) { EXPECT_EQ(t.CodecOpt("g"), "<none>"); }},
        {"-vpre " + unknown, false, "", [](TTestTask& t) { EXPECT_EQ(t.CodecOpt("g"), "7"); }},
    };
    for (const Case& c : cases) {
        TTestTask task;
        task.HaltOnInvalidOption = c.halt;
        EXPECT_EQ(task.Parse(c.text), c.error) << c.text;
        c.check(task);
    }
}

class MapTest : public OptionsTest {
protected:
    void SetUp() override
    {
        OptionsTest::SetUp();
        const AVMediaType V = AVMEDIA_TYPE_VIDEO, A = AVMEDIA_TYPE_AUDIO, S = AVMEDIA_TYPE_SUBTITLE;
        owned = std::make_unique<TTestTask>();
        owned->AddInput({{V, 0, {25, 1}}, {A, 2}, {A, 6}, {S}});
        owned->AddInput({{A, 2}, {V, 0, {25, 1}}});
    }
    void TearDown() override
    {
        owned.reset();  // while the libraries are bound
        OptionsTest::TearDown();
    }
    std::string Maps()
    {
        std::string r;
        TTestTask& task = *owned;
        for (int i = 0; i < task.optctx.nb_stream_maps; ++i) {
            const TStreamMap& m = task.optctx.stream_maps[i];
            r += (m.disabled ? "-" : "") + std::to_string(m.file_index) + ":" + std::to_string(m.stream_index) +
                 "," + std::to_string(m.sync_file_index) + ":" + std::to_string(m.sync_stream_index) + " ";
        }
        return r;
    }
    std::unique_ptr<TTestTask> owned;
};

TEST_F(MapTest, MapsSelectStreams)
{
    TTestTask& task = *owned;
    struct Case {
        const char* text;
        const char* maps;
        const char* error;
    } cases[] = {
        {"-map 0:0 -map 0:1", "0:0,0:0 0:1,0:1 ", ""},
        {"-map 0 -map -0:a", "0:0,0:0 -0:1,0:1 -0:2,0:2 0:3,0:3 ", ""},
        {"-map 0:v,1:a:0", "0:0,1:0 ", ""},
        {"-map 1:a -map 0:a:1", "1:0,1:0 0:2,0:2 ", ""},
        {"-map 5", "", "Invalid input file index: 5."},
        {"-map 0,7", "", "Invalid sync file index: 7."},
        {"-map 0:v,1:s", "", "Sync stream selector in map 0:v,1:s does not match any streams."},
        {"-map -0:v,1:s", "", "Sync stream selector in map 0:v,1:s does not match any streams."},
        {"-map 0:d", "", "Stream map \"0:d\" matches no streams."},
        {"-map -0:a", "", "Stream map \"-0:a\" matches no streams."},
        {"-map 0:x", "", "Stream map \"0:x\" matches no streams."},
        {"-map", "", "Invalid input file index: 0."},
    };
    for (const Case& c : cases) {
        task.ResetOptionsContext(task.optctx, false);
        EXPECT_EQ(task.Parse(c.text), c.error) << c.text;
        EXPECT_EQ(Maps(), c.maps) << c.text;
    }
}

TEST_F(MapTest, ChannelMaps)
{
    TTestTask& task = *owned;
    struct Case {
        const char* arg;
        std::vector<int> entry;  // file stream channel ofile ostream
        const char* error;
    } cases[] = {
        {"0.2.5", {0, 2, 5, -1, -1}, ""},
        {"0.1.0:0.1", {0, 1, 0, 0, 1}, ""},
        {"-1", {-1, -1, -1, -1, -1}, ""},
        {"-1:0.2", {-1, -1, -1, 0, 2}, ""},
        {"0.1", {}, "Syntax error, mapchan usage: [file.stream.channel|-1][:syncfile:syncstream]"},
        {"0.1.0:1", {}, "Syntax error, mapchan usage: [file.stream.channel|-1][:syncfile:syncstream]"},
        {"2.0.0", {}, "mapchan: invalid input file index: 2"},
        {"0.9.0", {}, "mapchan: invalid input file stream index #0.9"},
        {"0.0.0", {}, "mapchan: stream #0.0 is not an audio stream."},
        {"0.1.2", {}, "mapchan: invalid audio channel #0.1.2"},
        {"0.2.-3", {}, "mapchan: invalid audio channel #0.2.-3"},
    };
    for (const Case& c : cases) {
        task.ResetOptionsContext(task.optctx, false);
        EXPECT_EQ(task.Parse(std::string("-map_channel ") + c.arg), c.error) << c.arg;
        if (c.entry.empty())
            continue;
        ASSERT_EQ(task.optctx.nb_audio_channel_maps, 1) << c.arg;
        const TAudioChannelMap& m = task.optctx.audio_channel_maps[0];
        EXPECT_EQ((std::vector<int>{m.file_idx, m.stream_idx, m.channel_idx, m.ofile_idx, m.ostream_idx}), c.entry)
            << c.arg;
    }
}

TEST_F(MapTest, TheApplicationsOutputText)
{
    TTestTask& task = *owned;
    const char* text =
        "-map 0:0 -map 0:2 -c:a aac -ac 2 -ar 44100 -b:a 128k -c:v libx264 -r 25 -b:v 1000k -vol 256 "
        "-aspect 4:3 -vf \"nativeeq=10:20:0:0, nativehue=0:0:0:0, yadif, crop=700:560:10:8, "
        "pad=720:576:10:8:black, vflip, scale=640:480\" -t 10.5";
    ASSERT_EQ(task.Parse(text), "");
    EXPECT_EQ(Maps(), "0:0,0:0 0:2,0:2 ");
    EXPECT_EQ(SelectorTexts(task.optctx.codec_names, task.optctx.nb_codec_names),
              (std::vector<std::string>{"a=aac", "v=libx264"}));
    EXPECT_EQ(task.optctx.audio_channels[0].u.i, 2);
    EXPECT_EQ(task.optctx.audio_sample_rate[0].u.i, 44100);
    EXPECT_EQ(task.CodecOpt("b:a"), "128k");
    EXPECT_EQ(task.CodecOpt("b:v"), "1000k");
    EXPECT_STREQ(task.optctx.frame_rates[0].u.str, "25");
    EXPECT_STREQ(task.optctx.frame_aspect_ratios[0].u.str, "4:3");
    EXPECT_EQ(SelectorTexts(task.optctx.filters, task.optctx.nb_filters),
              (std::vector<std::string>{"v=nativeeq=10:20:0:0, nativehue=0:0:0:0, yadif, crop=700:560:10:8, "
                                        "pad=720:576:10:8:black, vflip, scale=640:480"}));
    EXPECT_EQ(task.optctx.recording_time, 10500000);

    // The watermark graph the application writes for the same field.
    TTestTask other;
    ASSERT_EQ(other.Parse("-vf \"movie=/tmp/logo.png [watermark]; [in] [watermark] overlay=10:10, "
                          "nativeeq=0:0:0:0, scale=320:240 [out]\""),
              "");
    EXPECT_STREQ(other.optctx.filters[0].u.str,
                 "movie=/tmp/logo.png [watermark]; [in] [watermark] overlay=10:10, nativeeq=0:0:0:0, "
                 "scale=320:240 [out]");
}

}  // namespace

namespace {

struct TLine {
    TObject* sender;
    TLogLevel level;
    std::string msg;
};

void CollectLine(void* Data, TObject* Sender, Cardinal, TLogLevel ALevel, const std::string& AMsg)
{
    static_cast<std::vector<TLine>*>(Data)->push_back({Sender, ALevel, AMsg});
}

// The task's own messages reach the engine log with the task as sender.
TEST_F(OptionsTest, MessagesGoToTheEngineLog)
{
    std::vector<TLine> lines;
    TFFLogger* logger = GetFFLogger();
    const TLogLevel keepLevel = logger->LogLevel();
    logger->SetTriggerEventInMainThread(false);
    logger->SetLogLevel(llDebug);
    logger->SetOnLog(TLogEvent::Bind(static_cast<void*>(&lines), &CollectLine));
    struct Case {
        const char* text;
        TLogLevel level;
        std::string msg;
    } cases[] = {
        {"-f avi", llInfo, "ParseOptions: -f avi"},
        {"-b 800k", llWarning, "Please use -b:a or -b:v, -b is ambiguous"},
        {"-formats", llWarning, "options \"formats\" not supported, ignore"},
        {"-vc 1", llWarning, "This option is deprecated, use -channel."},
        {"-tvstd pal", llWarning, "This option is deprecated, use -standard."},
        {"-map_meta_data 0", llWarning,
         "-map_meta_data is deprecated and will be removed soon. Use -map_metadata instead."},
        {"-timestamp now", llWarning, "timestamp is deprecated, set the \"creation_time\" metadata tag instead."},
        {"-target vcd", llInfo, "Assuming PAL for target."},
        {"-pass 0", llError, "The value for \"pass\" was \"0\" which is not within 1 - 3"},
        {"-pass 0", llFatal,
         "The value for \"pass\" was \"0\" which is not within 1 - 3\r\nFailed to set value \"0\" for option \"pass\""},
    };
    for (const Case& c : cases) {
        TTestTask task;
        task.AddInput({{AVMEDIA_TYPE_VIDEO, 0, {25, 1}}});
        lines.clear();
        task.Parse(c.text);
        bool found = false;
        for (const TLine& l : lines)
            if (l.msg == c.msg && l.level == c.level) {
                found = true;
                EXPECT_EQ(l.sender, static_cast<TObject*>(&task)) << c.text;
            }
        EXPECT_TRUE(found) << c.text << ": " << c.msg;
    }
    logger->SetOnLog(nullptr);
    logger->SetLogLevel(keepLevel);
    logger->SetTriggerEventInMainThread(true);
}

}  // namespace

namespace {

// Texts made of random option words and odd arguments: every one ends in
// success or a clear error, never in a crash or a sanitizer report.
TEST_F(OptionsTest, HostileTextsEndInSuccessOrAClearError)
{
    std::vector<std::string> words;
    {
        TTestTask probe;
        for (const TOptionDef* po = probe.Options(); po->name; ++po) {
            words.push_back(std::string("-") + po->name);
            words.push_back(std::string("-no") + po->name);
        }
    }
    for (const char* w : {"-c:", "-b:", "-q:v:", "-map_metadata:", "-metadata:s:9", "-c:x:", "--", "-", "",
                          "\"", "\"\"", "0", "-1", "0:", ":", ",", "0,", "0:v,", "1:a:0", "0.1.", "-1:", "x=y",
                          "2147483648", "-2147483649", "0x", "$", "1e999", "nan", "inf", "p:", "#", "m:", "a:0:0",
                          "pal-", "ntsc-dvd", "1024:1", "0:-5", "99:99", "hook.so|", "|", "\\\\", "\\\"", "*"})
        words.push_back(w);
    uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 8;
    };
    for (int text = 0; text < 3000; ++text) {
        std::string t;
        const int count = int(next() % 8) + 1;
        for (int i = 0; i < count; ++i)
            t += words[next() % words.size()] + " ";
        TTestTask task;
        task.AddInput({{AVMEDIA_TYPE_VIDEO, 0, {25, 1}}, {AVMEDIA_TYPE_AUDIO, 2}});
        task.HaltOnInvalidOption = (text % 2) == 0;
        task.Parse(t);
        task.Presets(t);
        ff::av_log_set_level(AV_LOG_QUIET);
    }
}

}  // namespace
