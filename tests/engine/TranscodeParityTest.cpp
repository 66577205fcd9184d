// Conversions shaped like the application's option texts, run through a task
// and through the ffmpeg tool from the same generated sources: the streams
// written are the same, and durations and frame/sample counts agree within
// one frame. Also the exact ends: -t, lossless tails, discarded inputs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "TranscodeTestSupport.h"
#include "support/TestSupport.h"

using namespace tarnello::test;

namespace {

class TranscodeParityTest : public TranscodeTest {};

// One written stream as ffprobe describes it, with what decoding it gives.
struct TStreamFacts {
    std::string Header;  // type, codec, size, rate, channels
    int Frames = 0;      // decoded frames
    int64_t Samples = 0; // decoded audio samples
    int MaxFrameSamples = 0;
    double End = 0;      // end of the last frame, seconds
    double Rate = 0;     // frames per second or sample rate
};

std::map<std::string, std::string> Fields(const std::string& ALine)
{
    std::map<std::string, std::string> r;
    std::stringstream ss(ALine);
    std::string kv;
    while (std::getline(ss, kv, '|')) {
        const size_t eq = kv.find('=');
        if (eq != std::string::npos)
            r[kv.substr(0, eq)] = kv.substr(eq + 1);
    }
    return r;
}

double Ratio(const std::string& AText)
{
    const size_t slash = AText.find('/');
    if (slash == std::string::npos)
        return std::atof(AText.c_str());
    const double den = std::atof(AText.c_str() + slash + 1);
    return den ? std::atof(AText.c_str()) / den : 0;
}

std::vector<TStreamFacts> Facts(const std::string& AFile)
{
    std::vector<TStreamFacts> r;
    std::stringstream streams(CommandOutput(
        "ffprobe -v error -show_entries stream=codec_type,codec_name,width,height,sample_rate,channels,avg_frame_rate "
        "-of compact=p=0 '" + AFile + "' 2>&1"));
    std::string line;
    while (std::getline(streams, line)) {
        std::map<std::string, std::string> f = Fields(line);
        TStreamFacts s;
        const std::string type = f["codec_type"];
        s.Header = type + " " + f["codec_name"];
        if (type == "video") {
            s.Header += " " + f["width"] + "x" + f["height"];
            s.Rate = Ratio(f["avg_frame_rate"]);
        } else if (type == "audio") {
            s.Header += " " + f["sample_rate"] + "Hz " + f["channels"] + "ch";
            s.Rate = std::atof(f["sample_rate"].c_str());
        }
        r.push_back(s);
    }
    std::stringstream frames(CommandOutput(
        "ffprobe -v error -show_entries frame=stream_index,pts_time,pkt_duration_time,nb_samples "
        "-of compact=p=0 '" + AFile + "' 2>&1"));
    while (std::getline(frames, line)) {
        std::map<std::string, std::string> f = Fields(line);
        const size_t i = size_t(std::atoi(f["stream_index"].c_str()));
        if (i >= r.size() || f["pts_time"] == "N/A")
            continue;
        TStreamFacts& s = r[i];
        ++s.Frames;
        const int n = std::atoi(f["nb_samples"].c_str());
        s.Samples += n;
        s.MaxFrameSamples = std::max(s.MaxFrameSamples, n);
        double dur = f["pkt_duration_time"] == "N/A" ? 0 : std::atof(f["pkt_duration_time"].c_str());
        if (n > 0 && s.Rate > 0)
            dur = n / s.Rate;
        s.End = std::max(s.End, std::atof(f["pts_time"].c_str()) + dur);
    }
    return r;
}

std::string Headers(const std::vector<TStreamFacts>& AFacts)
{
    std::string r;
    for (const TStreamFacts& s : AFacts)
        r += s.Header + "\n";
    return r;
}

// Converts through a task; "" or what went wrong.
std::string ConvertWithEngine(const std::string& AInput, const std::string& AInputOptions, const std::string& AOutput,
                              const std::string& AOutputOptions)
{
    TTaskDriver d;
    if (d.AddInput(AInput, AInputOptions) < 0)
        return "input: " + d.Task.LastErrMsg() + d.Error;
    if (d.SetOutput(AOutput, AOutputOptions) < 0)
        return "output: " + d.Task.LastErrMsg() + d.Error;
    d.Task.StartConvert(false);
    return d.Task.FatalException() ? d.Task.FatalMessage() : "";
}

int ConvertWithTool(const std::string& AInput, const std::string& AInputOptions, const std::string& AOutput,
                    const std::string& AOutputOptions)
{
    return RunCommand("ffmpeg -hide_banner -loglevel error -nostdin -y " + AInputOptions + " -i '" + AInput + "' " +
                      AOutputOptions + " '" + AOutput + "'");
}

struct TConversion {
    const char* Name;
    const char* Source;
    const char* InputOptions;
    const char* Extension;
    const char* OutputOptions;
};

const TConversion kConversions[] = {
    {"mp3 from a video", "h264_aac.mp4", "", "mp3", " -vn -c:a libmp3lame -b:a 128k -ar 44100 -ac 2"},
    {"mp3 with input -vn", "h264_aac.mp4", "-vn", "mp3", " -c:a libmp3lame -b:a 128k"},
    {"mp4 from mkv with input -vn", "two_audio.mkv", "-vn", "mp4", " -c:a aac -b:a 96k"},
    {"flac from a video", "h264_aac.mp4", "", "flac", " -vn -c:a flac"},
    {"flac from wav", "tone.wav", "", "flac", " -c:a flac"},
    {"mp4 cut with -t", "h264_aac.mp4", "", "mp4", " -c:v libx264 -preset ultrafast -c:a aac -b:a 128k -t 1"},
    {"avi with -r and -ar", "h264_aac.mp4", "", "avi", " -c:v mpeg4 -b:v 800k -r 15 -c:a mp2 -ar 44100"},
    {"mkv scaled, mono", "h264_aac.mp4", "", "mkv", " -c:v mpeg4 -vf scale=160:120 -c:a pcm_s16le -ac 1"},
    {"padded", "h264_aac.mp4", "", "mkv", " -c:v mpeg4 -vf pad=352:288:16:24 -c:a mp2"},
    {"cropped, no audio", "h264_aac.mp4", "", "mkv", " -c:v mpeg4 -vf crop=160:120:10:10 -an"},
    {"flipped", "h264_aac.mp4", "", "mkv", " -c:v mpeg4 -vf vflip,hflip -an"},
    {"input -ss, output -t", "h264_aac.mp4", "-ss 1", "mkv", " -c:v mpeg4 -c:a mp2 -t 1"},
    {"input -an", "h264_aac.mp4", "-an", "mkv", " -c:v mpeg4"},
    {"avi to mp4, resampled mono", "mpeg4_pcm.avi", "", "mp4",
     " -c:v libx264 -preset ultrafast -c:a aac -ac 1 -ar 22050"},
    {"audio and subtitles picked", "two_audio.mkv", "", "mkv", " -c:v mpeg4 -c:a mp2 -c:s copy"},
    {"second audio mapped", "two_audio.mkv", "", "mkv", " -map 0:v -map 0:a:1 -c:v mpeg4 -c:a mp2"},
    {"odd rate to mp4", "odd_rate.mkv", "", "mp4", " -c:v libx264 -preset ultrafast -c:a aac"},
    {"odd rate to 25 fps with -t", "odd_rate.mkv", "", "avi", " -c:v mpeg4 -r 25 -c:a mp2 -t 1.5"},
    {"5.1 to stereo wav", "ac3_51.ac3", "", "wav", " -c:a pcm_s16le -ac 2"},
    {"5.1 to stereo m4a", "ac3_51.ac3", "", "m4a", " -c:a aac -ac 2 -b:a 128k"},
    {"PAL to NTSC rate", "pal_4x3.mpg", "", "mp4", " -c:v libx264 -preset ultrafast -vf scale=320:240 -r 30000/1001"},
    {"short mp2", "tone.wav", "", "mp2", " -c:a mp2 -t 0.5"},
    {"wav from a video, cut", "h264_aac.mp4", "", "wav", " -vn -c:a pcm_s16le -t 2"},
    {"program stream", "program.ts", "", "mpg", " -c:v mpeg2video -b:v 1M -c:a mp2"},
    {"ogg vorbis", "mpeg4_pcm.avi", "", "ogg", " -vn -c:a libvorbis -ar 22050"},
};

TEST_F(TranscodeParityTest, ConversionsMatchTheTool)
{
    TempDir dir;
    int n = 0;
    for (const TConversion& c : kConversions) {
        SCOPED_TRACE(c.Name);
        const std::string source = MediaFixture(c.Source);
        const std::string mine = dir.file("engine" + std::to_string(n) + "." + c.Extension);
        const std::string tool = dir.file("tool" + std::to_string(n) + "." + c.Extension);
        ++n;
        ASSERT_EQ(ConvertWithEngine(source, c.InputOptions, mine, c.OutputOptions), "");
        ASSERT_EQ(ConvertWithTool(source, c.InputOptions, tool, c.OutputOptions), 0);
        const std::vector<TStreamFacts> a = Facts(mine), b = Facts(tool);
        ASSERT_EQ(Headers(a), Headers(b));
        for (size_t i = 0; i < a.size(); ++i) {
            SCOPED_TRACE(a[i].Header);
            if (a[i].Header.compare(0, 5, "video") == 0) {
                EXPECT_NEAR(a[i].Frames, b[i].Frames, 1);
                EXPECT_NEAR(a[i].End, b[i].End, 1.0 / b[i].Rate + 0.002);
            } else if (a[i].Header.compare(0, 5, "audio") == 0) {
                const int frame = std::max(a[i].MaxFrameSamples, b[i].MaxFrameSamples);
                EXPECT_NEAR(double(a[i].Samples), double(b[i].Samples), frame);
                EXPECT_NEAR(a[i].End, b[i].End, frame / b[i].Rate + 0.002);
            }
        }
    }
}

// The output ends at -t: the last picture is the one before the limit, the
// audio is cut to the samples before it; a lossless file gets no padding.
TEST_F(TranscodeParityTest, ExactEnds)
{
    struct Case {
        const char* name;
        const char* source;
        const char* extension;
        const char* options;
        int frames;       // video frames, -1: no video
        int64_t samples;  // audio samples, -1: no audio
    } cases[] = {
        {"video at -t", "h264_aac.mp4", "mkv", " -an -c:v mpeg4 -t 1", 25, -1},
        {"fewer pictures at -t", "h264_aac.mp4", "avi", " -an -c:v mpeg4 -r 15 -t 1", 15, -1},
        {"audio at -t", "h264_aac.mp4", "wav", " -vn -c:a pcm_s16le -t 1", -1, 48000},
        {"resampled audio at -t", "h264_aac.mp4", "wav", " -vn -c:a pcm_s16le -ar 44100 -t 0.5", -1, 22050},
        {"lossless tail", "tone.wav", "flac", " -c:a flac", -1, 44100},
        {"lossless tail at -t", "tone.wav", "flac", " -c:a flac -t 0.3", -1, 13230},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string out = dir.file(std::string("exact.") + c.extension);
        ASSERT_EQ(ConvertWithEngine(MediaFixture(c.source), "", out, c.options), "");
        int frames = -1;
        int64_t samples = -1;
        for (const TStreamFacts& s : Facts(out)) {
            if (s.Header.compare(0, 5, "video") == 0)
                frames = s.Frames;
            else if (s.Header.compare(0, 5, "audio") == 0)
                samples = s.Samples;
        }
        EXPECT_EQ(frames, c.frames);
        EXPECT_EQ(samples, c.samples);
    }
}

// A stream discarded on its input (-vn, -an, -sn before it) is never picked,
// and mapping it is refused with the tool's message.
TEST_F(TranscodeParityTest, DiscardedInputStreams)
{
    struct Case {
        const char* input;
        const char* extension;
        const char* output;
    } cases[] = {
        {"-vn", "mp3", " -c:a libmp3lame"},
        {"-vn", "mp4", " -c:a aac"},
        {"-an", "mkv", " -c:v mpeg4 -c:s copy"},
        {"-sn", "mkv", " -c:v mpeg4 -c:a mp2"},
        {"-vn -sn", "mkv", " -c:a mp2"},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.input) + " " + c.extension);
        const std::string source = MediaFixture("two_audio.mkv");
        const std::string mine = dir.file(std::string("picked.") + c.extension);
        const std::string tool = dir.file(std::string("tool.") + c.extension);
        ASSERT_EQ(ConvertWithEngine(source, c.input, mine, c.output), "");
        ASSERT_EQ(ConvertWithTool(source, c.input, tool, c.output), 0);
        const std::string types = Probe(mine, "-show_entries stream=codec_type");
        EXPECT_EQ(types, Probe(tool, "-show_entries stream=codec_type"));
        EXPECT_EQ(types.find(c.input[1] == 'v' ? "video" : c.input[1] == 'a' ? "=audio" : "subtitle"),
                  std::string::npos);
    }
    TTaskDriver d;
    ASSERT_GE(d.AddInput(MediaFixture("two_audio.mkv"), "-vn"), 0);
    EXPECT_LT(d.SetOutput(dir.file("mapped.mkv"), "-map 0:0 -c:v mpeg4"), 0);
    EXPECT_EQ(d.Task.LastErrMsg(), "Stream map '0:0' matches disabled streams.");
    EXPECT_FALSE(FileExists(dir.file("mapped.mkv")));
    const std::string tool = CommandOutput("ffmpeg -hide_banner -nostdin -y -vn -i '" + MediaFixture("two_audio.mkv") +
                                           "' -map 0:0 -c:v mpeg4 '" + dir.file("tool.mkv") + "' 2>&1");
    EXPECT_NE(tool.find("Stream map '0:0' matches disabled streams."), std::string::npos) << tool;
}

}  // namespace
