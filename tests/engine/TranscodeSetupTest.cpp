// Input, output and transcode set-up of a conversion task against files the
// ffmpeg tool generated: streams chosen, codecs, mapping lines, headers
// written, and the errors of bad inputs and options.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <string>
#include <vector>

#include "support/TestSupport.h"
#include "TranscodeTestSupport.h"
#include "engine/bindings/AVCodecStubs.h"
#include "engine/bindings/AVUtilStubs.h"
#include "engine/common/EngineRegistry.h"

using namespace tarnello::test;

namespace {

struct TMappingCase {
    const char* name;
    std::vector<std::string> inputs;
    const char* outputOptions;
    const char* outputFile;
    std::vector<std::string> mapping;  // expected "Stream mapping:" lines
    const char* probe;                 // expected ffprobe codec_name lines, in stream order
};

class TranscodeSetupTest : public TranscodeTest {};

void DictText(const AVDictionary* D, const char* APrefix, std::string& AOut)
{
    const AVDictionaryEntry* e = nullptr;
    while ((e = ff::av_dict_get(D, "", e, AV_DICT_IGNORE_SUFFIX)))
        AOut += std::string(APrefix) + e->key + "=" + e->value + "\n";
}

// What ffprobe would show of the first output's header, from the muxer
// context: "codec_name=", "codec_type=", "TAG:" lines and chapter titles.
std::string HeaderText(TCustomFFmpeg& ATask, const std::string& AEntries)
{
    AVFormatContext* oc = ATask.output_files[0].ctx;
    std::string r;
    if (AEntries.find("format_tags") != std::string::npos)
        DictText(oc->metadata, "TAG:", r);
    for (unsigned i = 0; i < oc->nb_streams && AEntries.find("stream") != std::string::npos; ++i) {
        const AVCodecParameters* par = oc->streams[i]->codecpar;
        if (AEntries.find("codec_name") != std::string::npos)
            r += std::string("codec_name=") + ff::avcodec_get_name(par->codec_id) + "\n";
        if (AEntries.find("codec_type") != std::string::npos)
            r += std::string("codec_type=") + ff::av_get_media_type_string(par->codec_type) + "\n";
        if (AEntries.find("stream_tags") != std::string::npos)
            DictText(oc->streams[i]->metadata, "TAG:", r);
    }
    for (unsigned i = 0; i < oc->nb_chapters && AEntries.find("chapters") != std::string::npos; ++i)
        DictText(oc->chapters[i]->metadata, "TAG:", r);
    return r;
}

TEST_F(TranscodeSetupTest, StreamMappingAndCodecs)
{
    const std::string mp4 = MediaFixture("h264_aac.mp4");
    const std::string avi = MediaFixture("mpeg4_pcm.avi");
    const std::string mkv2 = MediaFixture("two_audio.mkv");
    const TMappingCase cases[] = {
        {"reencode to mkv", {mp4}, "-c:v mpeg4 -c:a mp2", "out.mkv",
         {"  Stream #0:0 -> #0:0 (h264 -> mpeg4) (video)", "  Stream #0:1 -> #0:1 (aac -> mp2) (audio)"},
         "codec_name=mpeg4\ncodec_name=mp2\n"},
        {"stream copy", {mp4}, "-c copy", "copy.mkv",
         {"  Stream #0:0 -> #0:0 (copy) (video)", "  Stream #0:1 -> #0:1 (copy) (audio)"},
         "codec_name=h264\ncodec_name=aac\n"},
        {"negative map drops audio", {mp4}, "-map 0 -map -0:a -c:v mpeg4", "noaudio.mkv",
         {"  Stream #0:0 -> #0:0 (h264 -> mpeg4) (video)"}, "codec_name=mpeg4\n"},
        {"maps keep their order", {mp4}, "-map 0:1 -map 0:0 -c:v mpeg4 -c:a mp2", "order.mkv",
         {"  Stream #0:1 -> #0:0 (aac -> mp2) (audio)", "  Stream #0:0 -> #0:1 (h264 -> mpeg4) (video)"},
         "codec_name=mp2\ncodec_name=mpeg4\n"},
        {"audio only mp3", {mp4}, "-vn -b:a 64k", "tone.mp3", {"  Stream #0:1 -> #0:0 (aac -> libmp3lame) (audio)"},
         "codec_name=mp3\n"},
        {"wav takes pcm", {avi}, "-vn", "tone.wav", {"  Stream #0:1 -> #0:0 (pcm_s16le -> pcm_s16le) (audio)"},
         "codec_name=pcm_s16le\n"},
        {"avi defaults", {mp4}, "-b:v 300k", "out.avi",
         {"  Stream #0:0 -> #0:0 (h264 -> mpeg4) (video)", "  Stream #0:1 -> #0:1 (aac -> libmp3lame) (audio)"},
         "codec_name=mpeg4\ncodec_name=mp3\n"},
        {"channel map", {mp4}, "-map 0:1 -map_channel 0.1.1 -map_channel 0.1.0 -c:a mp2", "swap.mkv",
         {"  Stream #0:1 -> #0:0 [ch: 1 0] (aac -> mp2) (audio)"}, "codec_name=mp2\n"},
        {"sync stream", {mp4, avi}, "-map 0:0,1:1 -c:v mpeg4", "sync.mkv",
         {"  Stream #0:0 -> #0:0 [sync #1:1] (h264 -> mpeg4) (video)"}, "codec_name=mpeg4\n"},
        {"second audio by selector", {mkv2}, "-map 0:v -map 0:a -c:v mpeg4 -c:a mp2 -c:a:1 ac3", "two.mkv",
         {"  Stream #0:0 -> #0:0 (h264 -> mpeg4) (video)", "  Stream #0:1 -> #0:1 (aac -> mp2) (audio)",
          "  Stream #0:2 -> #0:2 (aac -> ac3) (audio)"},
         "codec_name=mpeg4\ncodec_name=mp2\ncodec_name=ac3\n"},
    };
    TempDir dir;
    for (const TMappingCase& c : cases) {
        SCOPED_TRACE(c.name);
        TLogCapture log;
        TTaskDriver d;
        for (const std::string& in : c.inputs)
            ASSERT_GE(d.AddInput(in), 0) << d.Task.LastErrMsg() << d.Error;
        const std::string out = dir.file(c.outputFile);
        ASSERT_EQ(d.SetOutput(out, c.outputOptions), 0) << d.Task.LastErrMsg() << d.Error;
        ASSERT_EQ(d.Run(), "");
        EXPECT_EQ(log.MappingLines(), c.mapping);
        // Containers without packets do not all read back, so the muxer
        // streams are checked in memory; AVI headers also through ffprobe.
        EXPECT_EQ(HeaderText(d.Task, "-show_entries stream=codec_name"), c.probe);
        d.Task.CleanUp();  // closes the file
        if (out.size() > 4 && out.compare(out.size() - 4, 4, ".avi") == 0)
            EXPECT_EQ(Probe(out, "-show_entries stream=codec_name"), c.probe);
    }
}

// Encoder parameters that the per-stream options and the set-up decide.
TEST_F(TranscodeSetupTest, EncoderParameters)
{
    const std::string mp4 = MediaFixture("h264_aac.mp4");
    TempDir dir;
    struct Case {
        const char* options;
        std::function<void(TCustomFFmpeg&)> check;
    } cases[] = {
        {"-c:v mpeg4 -b:v 200k -s 160x120 -r 10 -an",
         [](TCustomFFmpeg& t) {
             const AVCodecContext* e = t.output_streams[0].enc_ctx;
             EXPECT_EQ(e->width, 160);
             EXPECT_EQ(e->height, 120);
             EXPECT_EQ(e->bit_rate, 200000);
             EXPECT_EQ(e->time_base.num, 1);
             EXPECT_EQ(e->time_base.den, 10);
             EXPECT_EQ(e->pix_fmt, AV_PIX_FMT_YUV420P);
         }},
        {"-c:v mpeg4 -q:v 4 -an",
         [](TCustomFFmpeg& t) {
             const AVCodecContext* e = t.output_streams[0].enc_ctx;
             EXPECT_TRUE(e->flags & AV_CODEC_FLAG_QSCALE);
             EXPECT_EQ(e->global_quality, 472);
         }},
        {"-c:v mpeg4 -s 720x576 -aspect 16:9 -an",
         [](TCustomFFmpeg& t) {
             const AVCodecContext* e = t.output_streams[0].enc_ctx;
             EXPECT_EQ(e->sample_aspect_ratio.num, 64);
             EXPECT_EQ(e->sample_aspect_ratio.den, 45);
         }},
        {"-c:v mpeg4 -vf crop=100:80 -an",
         [](TCustomFFmpeg& t) {
             const AVCodecContext* e = t.output_streams[0].enc_ctx;
             EXPECT_EQ(e->width, 100);
             EXPECT_EQ(e->height, 80);
         }},
        {"-vn -c:a mp2 -ar 44000 -ac 1",
         [](TCustomFFmpeg& t) {
             const AVCodecContext* e = t.output_streams[0].enc_ctx;
             EXPECT_EQ(e->sample_rate, 44100);  // the nearest rate the encoder offers
             EXPECT_EQ(e->ch_layout.nb_channels, 1);
             EXPECT_EQ(e->sample_fmt, AV_SAMPLE_FMT_S16);
         }},
        {"-vn -c:a pcm_s16le -map_channel 0.1.0 -map_channel -1",
         [](TCustomFFmpeg& t) {
             const TOutputStream& o = t.output_streams[0];
             EXPECT_EQ(o.audio_channels_mapped, 2);
             EXPECT_EQ(o.audio_channels_map[1], -1);
             EXPECT_EQ(o.enc_ctx->ch_layout.nb_channels, 2);
         }},
        {"-c:v mpeg4 -an -force_key_frames 0,1,1.5 -threads 1",
         [](TCustomFFmpeg& t) {
             const TOutputStream& o = t.output_streams[0];
             ASSERT_EQ(o.forced_kf_count, 3);
             EXPECT_EQ(o.forced_kf_pts[2], 38);  // 1.5 s at 25 frames per second, rounded
             EXPECT_EQ(o.enc_ctx->thread_count, 1);
         }},
        {"-c:v mpeg4 -an -rc_override 0,10,2/11,20,-50",
         [](TCustomFFmpeg& t) {
             const AVCodecContext* e = t.output_streams[0].enc_ctx;
             ASSERT_EQ(e->rc_override_count, 2);
             EXPECT_EQ(e->rc_override[0].qscale, 2);
             EXPECT_EQ(e->rc_override[1].qscale, 0);
             EXPECT_FLOAT_EQ(e->rc_override[1].quality_factor, 0.5f);
         }},
        {"-streamid 0:33 -streamid 1:34 -c:v mpeg2video -c:a mp2",
         [](TCustomFFmpeg& t) {
             EXPECT_EQ(t.output_streams[0].st->id, 33);
             EXPECT_EQ(t.output_streams[1].st->id, 34);
         }},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        TTaskDriver d;
        ASSERT_GE(d.AddInput(mp4), 0);
        const std::string out = dir.file("p" + std::to_string(n++) + ".ts");
        ASSERT_EQ(d.SetOutput(out, c.options), 0) << d.Task.LastErrMsg() << d.Error;
        ASSERT_EQ(d.Task.transcode_init(), 0) << d.Task.LastErrMsg();
        c.check(d.Task);
    }
}

// Metadata, chapters and attachments reach the written header.
TEST_F(TranscodeSetupTest, MetadataChaptersAttachments)
{
    const std::string mkv2 = MediaFixture("two_audio.mkv");
    TempDir dir;
    const std::string font = dir.file("font.ttf");
    WriteTextFile(font, "not really a font, but bytes to attach");
    struct Case {
        const char* options;
        const char* entries;
        std::vector<std::string> expect;  // lines that must appear
        std::vector<std::string> absent;
    } cases[] = {
        {"-map 0:v -c:v mpeg4 -metadata title=Changed", "-show_entries format_tags=title", {"TAG:title=Changed"}, {}},
        {"-map 0:v -c:v mpeg4 -metadata title=", "-show_entries format_tags=title", {}, {"TAG:title"}},
        {"-map 0:v -map 0:a -c copy -metadata:s:a:1 language=spa", "-show_entries stream_tags=language",
         {"TAG:language=eng", "TAG:language=spa"}, {"TAG:language=ger"}},
        {"-map 0:v -c:v mpeg4", "-show_chapters", {"TAG:title=One", "TAG:title=Two"}, {}},
        {"-map 0:v -c:v mpeg4 -map_chapters -1", "-show_chapters", {}, {"TAG:title=One"}},
        {"-map 0:v -c:v mpeg4 -map_metadata -1", "-show_entries format_tags=title", {}, {"TAG:title=Fixture"}},
        {"-map 0:v -c:v mpeg4 -attach @FONT@", "-show_entries stream=codec_type:stream_tags=filename",
         {"codec_type=attachment", "TAG:filename=font.ttf"}, {}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        std::string options = c.options;
        if (size_t at = options.find("@FONT@"); at != std::string::npos)
            options.replace(at, 6, font);
        TLogCapture log;
        TTaskDriver d;
        ASSERT_GE(d.AddInput(mkv2), 0);
        const std::string out = dir.file("m" + std::to_string(n++) + ".mkv");
        ASSERT_EQ(d.SetOutput(out, options), 0) << d.Task.LastErrMsg() << d.Error;
        ASSERT_EQ(d.Run(), "");
        const std::string probe = HeaderText(d.Task, c.entries);
        for (const std::string& e : c.expect)
            EXPECT_NE(probe.find(e), std::string::npos) << e << " in\n" << probe;
        for (const std::string& e : c.absent)
            EXPECT_EQ(probe.find(e), std::string::npos) << e << " in\n" << probe;
        if (options.find("-attach") != std::string::npos)
            EXPECT_TRUE(log.Has("  File " + font + " -> Stream #0:1"));
    }
}

// Bad options and impossible outputs: the texts, and nothing left behind.
TEST_F(TranscodeSetupTest, OutputErrorsLeaveNothingBehind)
{
    const std::string mp4 = MediaFixture("h264_aac.mp4");
    TempDir dir;
    struct Case {
        const char* options;
        const char* file;  // "" for a fresh name in the folder
        std::string error;  // LastErrMsg or the exception's text
    } cases[] = {
        {"-c:v nosuchcodec", "", "Unknown encoder 'nosuchcodec'"},
        {"-c:a libx264", "", "Invalid encoder type 'libx264'"},
        {"-map 5", "", "Invalid input file index: 5."},
        {"-map 0:7", "", "Stream map \"0:7\" matches no streams."},
        {"-metadata:p:0 x=y", "", "Invalid metadata selector p:0."},
        {"-metadata:s:9 x=y", "", "Invalid stream index 9 in metadata selector."},
        {"-metadata novalue", "", "No \"=\" character in metadata string novalue."},
        {"-map_metadata 3", "", "Invalid input file index 3 while processing metadata maps"},
        {"-map_chapters 4", "", "Invalid input file index 4 in chapter mapping."},
        {"-attach /nonexistent/font.ttf", "", "Could not open attachment file /nonexistent/font.ttf."},
        {"-r nonsense", "", "Invalid framerate value: nonsense"},
        {"-s 12", "", "Invalid frame size: 12."},
        {"-aspect 4:0", "", "Incorrect aspect ratio value."},
        {"-pix_fmt nopix", "", "Unknown pixel format requested: nopix."},
        {"-sample_fmt nofmt", "", "Invalid sample format \"nofmt\""},
        {"-bsf:v nobsf", "", "Unknown bitstream filter \"nobsf\""},
        {"-q 266666666666666", "", "Invalid qscale value: 2.66667e+14"},
        {"-intra_matrix 1,2,3", "", "Syntax error in matrix \"1,2,3\" at coeff 2"},
        {"-rc_override 1,2", "", "error parsing rc_override"},
        {"-f ffm", "", "Feed outputs (ffm) are not supported"},
        {"-f nosuchformat", "", "Invalid argument"},
        {"", "/nonexistent-folder/out.mkv", "No such file or directory"},
        {"-streamid 1024:5", "", "The value for \"streamid\" was \"1024\" which is not within 0 - 1023"},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        TTaskDriver d;
        ASSERT_GE(d.AddInput(mp4), 0);
        const std::string out = *c.file ? std::string(c.file) : dir.file("e" + std::to_string(n++) + ".mkv");
        const int r = d.SetOutput(out, c.options);
        EXPECT_LT(r, 0);
        const std::string text = d.Error.empty() ? d.Task.LastErrMsg() : d.Error;
        EXPECT_NE(text.find(c.error), std::string::npos) << text;
        EXPECT_FALSE(FileExists(out));
        EXPECT_EQ(d.Task.nb_output_files(), 0);
        EXPECT_EQ(d.Task.nb_output_streams(), 0);
    }
}

// An output must not destroy an input or, with -n, an existing file; a
// failing set-up leaves an existing file as it was.
TEST_F(TranscodeSetupTest, ExistingFilesAreKept)
{
    TempDir dir;
    const std::string input = dir.file("in.mp4");
    ASSERT_EQ(RunCommand("cp '" + MediaFixture("h264_aac.mp4") + "' '" + input + "'"), 0);
    struct stat before {};
    ASSERT_EQ(::stat(input.c_str(), &before), 0);
    const std::string existing = dir.file("existing.mkv");
    WriteTextFile(existing, "keep me");
    struct Case {
        std::string file, options, error;
    } cases[] = {
        {input, "-c copy", "is the same as input file #0."},
        {existing, "-n -c copy", "already exists."},
        {existing, "-metadata:s:9 a=b", "Invalid stream index 9 in metadata selector."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        TTaskDriver d;
        ASSERT_GE(d.AddInput(input), 0);
        EXPECT_LT(d.SetOutput(c.file, c.options), 0);
        EXPECT_NE(d.Task.LastErrMsg().find(c.error), std::string::npos) << d.Task.LastErrMsg();
    }
    struct stat after {};
    ASSERT_EQ(::stat(input.c_str(), &after), 0);
    EXPECT_EQ(after.st_size, before.st_size);
    EXPECT_EQ(ReadTextFile(existing), "keep me");
}

// A transcode set-up that fails removes the file the task created.
TEST_F(TranscodeSetupTest, FailedTranscodeSetUp)
{
    const std::string mp4 = MediaFixture("h264_aac.mp4");
    TempDir dir;
    struct Case {
        const char* options;
        std::string fatal;
        bool mappingLogged;
    } cases[] = {
        {"-c:a copy -vol 512 -vn", "-acodec copy and -vol are incompatible (frames are not decoded)", false},
        {"-c:v mpeg4 -vf nativeeq=1:2:3:4 -an", "Error opening filters: Filter \"nativeeq\" is not available", false},
        {"-c:v mpeg4 -vf nosuchfilter -an", "Error opening filters: Invalid argument", false},
        {"-c:v mpeg4 -an -nosuchcodecoption 1", "Unrecognized option \"nosuchcodecoption\"", false},
        {"-c:v mpeg4 -an -b:v 1 -bufsize 1 -maxrate 1 -minrate 2", "Error while opening encoder for output stream #0:0 (video)",
         true},
        {"-c:v mpeg4 -an -pass 2 -passlogfile @DIR@/missing", "Error reading log file", false},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        // The plug-in is there once a test before this one in the same
        // process loaded the engine's plug-ins.
        if (std::string(c.options).find("nativeeq") != std::string::npos && FindEngineComponent(ekFilter, "nativeeq"))
            continue;
        std::string options = c.options;
        if (size_t at = options.find("@DIR@"); at != std::string::npos)
            options.replace(at, 5, dir.path());
        TLogCapture log;
        TTaskDriver d;
        ASSERT_GE(d.AddInput(mp4), 0);
        const std::string out = dir.file("f" + std::to_string(n++) + ".mkv");
        const int r = d.SetOutput(out, options);
        if (r < 0) {
            // Option errors stop before the set-up.
            EXPECT_NE(d.Error.find(c.fatal), std::string::npos) << d.Error;
            EXPECT_FALSE(FileExists(out));
            continue;
        }
        EXPECT_TRUE(FileExists(out));
        d.Task.StartConvert(false);
        EXPECT_TRUE(d.Task.Terminated());
        EXPECT_TRUE(d.Task.FatalException());
        EXPECT_NE(d.Task.FatalMessage().find(c.fatal), std::string::npos) << d.Task.FatalMessage();
        EXPECT_EQ(!log.MappingLines().empty(), c.mappingLogged);
        EXPECT_FALSE(FileExists(out));
    }
}

// Bad and unavailable inputs: a negative code and the text, no record.
TEST_F(TranscodeSetupTest, InputErrors)
{
    TempDir dir;
    const std::string garbage = dir.file("garbage.mp4");
    WriteTextFile(garbage, std::string(4096, 'x'));
    const std::string mp4 = MediaFixture("h264_aac.mp4");
    struct Case {
        std::string file, options, error;
    } cases[] = {
        {dir.file("missing.mp4"), "", "No such file or directory"},
        {garbage, "", "Invalid data found when processing input"},
        {mp4, "-f nosuchformat", "Unknown input format: \"nosuchformat\""},
        {"", "-f screencapture", "Input device \"screencapture\" is not available"},
        {mp4, "-vcodec nosuchdecoder", "Unknown decoder 'nosuchdecoder'"},
        {mp4, "-c:v aac", "Invalid decoder type 'aac'"},
        {mp4, "-ar 44100", "Option sample_rate not found."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file + " " + c.options);
        if (c.options == "-f screencapture" && FindEngineComponent(ekInputFormat, "screencapture"))
            continue;  // registered by a test before this one in the same process
        TTaskDriver d;
        EXPECT_LT(d.AddInput(c.file, c.options), 0);
        const std::string text = d.Error.empty() ? d.Task.LastErrMsg() : d.Error;
        EXPECT_NE(text.find(c.error), std::string::npos) << text;
        EXPECT_EQ(d.Task.nb_input_files(), 0);
        EXPECT_EQ(d.Task.nb_input_streams(), 0);
    }
}

// Input records: start offsets, discarding and the probed streams.
TEST_F(TranscodeSetupTest, InputRecords)
{
    const std::string mkv2 = MediaFixture("two_audio.mkv");
    TTaskDriver d;
    ASSERT_EQ(d.AddInput(mkv2, "-ss 0.5 -vn"), 0) << d.Task.LastErrMsg();
    ASSERT_EQ(d.AddInput(MediaFixture("h264_aac.mp4")), 1);
    ASSERT_EQ(d.Task.nb_input_streams(), 6);
    const TInputFile& f0 = d.Task.input_files[0];
    EXPECT_EQ(f0.nb_streams, 4);
    EXPECT_EQ(f0.ist_index, 0);
    EXPECT_EQ(f0.ts_offset, -500000 - f0.ctx->start_time);
    EXPECT_EQ(d.Task.input_files[1].ist_index, 4);
    EXPECT_EQ(d.Task.input_streams[0].st->discard, AVDISCARD_ALL);  // -vn
    EXPECT_NE(d.Task.input_streams[1].st->discard, AVDISCARD_ALL);
    EXPECT_EQ(d.Task.input_streams[4].st->discard, AVDISCARD_DEFAULT);  // options end with their input
    for (const TInputStream& ist : d.Task.input_streams) {
        EXPECT_EQ(ist.discard, 1);
        ASSERT_NE(ist.dec_ctx, nullptr);
    }
    EXPECT_STREQ(d.Task.input_streams[3].avdec->name, "srt");
}

}  // namespace
