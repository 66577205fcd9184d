// Whole runs through the real engine on clips made with the ffmpeg tool's
// lavfi sources; outputs are checked with ffprobe.
#include "AppTestSupport.h"
#include "ConversionTestSupport.h"
#include "app/core/AppCore.h"
#include "app/core/RunControl.h"
#include "app/core/TaskBuilder.h"
#include "engine/encoder/FFEncode.h"
#include "platform/classes/StringList.h"
#include "platform/gui/Graphics.h"

#include <cstdlib>
#include <filesystem>

using tarnello::test::AppTest;
using namespace tarnello::test;

namespace {

const char* const VideoIn = "-f lavfi -i testsrc=size=320x240:rate=25:duration=1";
const char* const AudioIn = "-f lavfi -i sine=frequency=440:sample_rate=48000:duration=1";

class ConversionRunTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        ASSERT_TRUE(encoder.LoadAVLib("")) << encoder.LastErrMsg();
        encoder.SetProgressInterval(100);
        out = dir_.file("out");
        std::filesystem::create_directories(out);
        window.Folder = out;
        App().TempFilesFolder = dir_.file("temp");
        App().UseAllCPUs = false;
        App().CustomCPUNumber = 2;
        run.Launcher = [](const std::vector<std::string>&) { return false; };
    }
    void TearDown() override
    {
        DeleteRunTempFiles();
        AppTest::TearDown();
    }
    std::string Clip(const std::string& name, const std::string& args)
    {
        const std::string file = dir_.file(name);
        EXPECT_TRUE(MakeClip(file, args)) << name;
        return file;
    }
    std::string Mp4(const std::string& name = "clip.mp4", double seconds = 1)
    {
        const std::string d = std::to_string(seconds);
        return Clip(name, "-f lavfi -i testsrc=size=320x240:rate=25:duration=" + d +
                              " -f lavfi -i sine=frequency=440:sample_rate=48000:duration=" + d +
                              " -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -shortest");
    }
    // Runs Convert and serves the main thread until the run has ended.
    bool Convert()
    {
        const int ends = window.Ends;
        run.StartButtonClick();
        if (!run.ProcessUpdateTimerEnabled && window.Ends == ends) {
            ADD_FAILURE() << "not started: " << (PendingReports().empty() ? "" : PendingReports()[0].Message)
                          << (window.Messages.empty() ? "" : window.Messages[0]) << "\n"
                          << encoder.TasksCount() << ": " << App().TaskOutputOptions.at(static_cast<std::size_t>(encoder.TasksCount()) - 1).Options
                          << " / " << App().TaskInputOptions.at(static_cast<std::size_t>(encoder.TasksCount()) - 1).Options;
            return false;
        }
        return ServeUntil([&] { return window.Ends > ends; });
    }
    double Number(const std::string& file, const std::string& entries)
    {
        const std::string d = ProbeText(file, entries);
        const size_t eq = d.find('=');
        return eq == std::string::npos ? -1 : std::atof(d.c_str() + eq + 1);
    }
    std::string Entry(const std::string& file, const std::string& stream, const std::string& entry)
    {
        std::string d = ProbeText(file, "-select_streams " + stream + " -show_entries stream=" + entry);
        const size_t eq = d.find('=');
        d = eq == std::string::npos ? "" : d.substr(eq + 1);
        while (!d.empty() && (d.back() == '\n' || d.back() == '\r'))
            d.pop_back();
        return d;
    }

    TVAVorarez encoder{nullptr};
    TTestWindow window;
    TConversionRun run{encoder, window};
    std::string out;
};

}  // namespace

TEST_F(ConversionRunTest, ClipsConvertWithTheirSettings)
{
    const int mp4 = AddPreset(VideoPreset("MP4", ".mp4", "160", "120", "25000"));
    const int wide = AddPreset(VideoPreset("Wide MP4", ".mp4", "320", "180", "25000"));
    const int mp3 = AddPreset(AudioPreset("MP3", ".mp3"));
    TFormat divx = VideoPreset("DivX AVI", ".avi", "160", "120", "25000");
    divx.AudioCodecName = "libmp3lame";
    const int avi = AddPreset(divx);
    const std::string mark = Clip("mark.png", "-f lavfi -i color=c=red:size=16x16 -frames:v 1");

    // 0: H.264 + AAC, trimmed to 0.2 .. 0.8 s, with a red watermark and a text.
    TMediaFile& a = AddItem(Mp4(), 320, 240);
    a.FormatInd = mp4;
    a.TimeStart = 200000;
    a.TimeEnd = 800000;
    a.PictureOverlay = true;
    a.OverlayPicturePath = mark;
    a.OverlayPictureX = 4;
    a.OverlayPictureY = 4;
    a.TextOverlay = true;
    a.OverlayText = "Tarnello";
    a.OverlayTextFont.reset(new TFont);
    a.OverlayTextFont->SetColor(clWhite);
    a.OverlayTextFont->SetSize(20);
    a.OverlayTextX = 100;
    a.OverlayTextY = 100;
    // 1: stream 0 is audio, the video is stream 1, the chosen track stream 2.
    TMediaFile& b = AddItem(Clip("audiofirst.mkv", std::string(AudioIn) + " " + VideoIn + " " + AudioIn +
                                                       " -map 0:a -map 1:v -map 2:a -c:v libx264 -preset ultrafast "
                                                       "-pix_fmt yuv420p -c:a aac"),
                            320, 240);
    b.FormatInd = mp4;
    b.VideoStreamIndex = 1;
    b.AudioTracks = {"Audio Track #0", "Audio Track #2", "Disable audio"};
    b.AudioTrackIndex = 1;
    b.TimeEnd = 1000000;
    // 2: an MP3 to an audio preset; 3: a video to the audio preset.
    TMediaFile& c = AddItem(Clip("tone.mp3", std::string(AudioIn) + " -c:a libmp3lame"), 0, 0);
    c.FormatInd = mp3;
    c.VideoStreamIndex = -1;
    c.isSourceAudioFormat = true;
    c.TimeEnd = 1000000;
    TMediaFile& d = AddItem(Mp4("second.mp4"), 320, 240);
    d.FormatInd = mp3;
    d.TimeEnd = 1000000;
    // 4: a 4:3 clip cropped to 16:9 in a 16:9 frame.
    TMediaFile& e = AddItem(Mp4("four-three.mp4"), 320, 240);
    e.DestinationTitle = "cropped";
    e.FormatInd = wide;
    e.CropTop = 30;
    e.CropBottom = 30;
    e.AspectRatio = 3;
    e.TimeEnd = 1000000;
    // 5: the DivX row's text.
    TMediaFile& f = AddItem(Mp4("divx.mp4"), 320, 240);
    f.FormatInd = avi;
    f.TimeEnd = 1000000;

    ASSERT_TRUE(Convert());
    EXPECT_FALSE(run.RunFailed()) << (PendingReports().empty() ? "" : PendingReports()[0].Message);
    for (const TMediaFile& m : App().MediaFiles)
        EXPECT_EQ(m.Status, "100%") << m.Source;

    const std::string clip = out + "/clip.mp4";
    EXPECT_EQ(Entry(clip, "v:0", "codec_name"), "h264");
    EXPECT_EQ(Entry(clip, "v:0", "width"), "160");
    EXPECT_EQ(Entry(clip, "v:0", "height"), "120");
    EXPECT_EQ(Entry(clip, "a:0", "codec_name"), "aac");
    EXPECT_EQ(Entry(clip, "a:0", "channels"), "2");
    EXPECT_EQ(Entry(clip, "a:0", "sample_rate"), "44100");
    EXPECT_NEAR(Number(clip, "-show_entries format=duration"), 0.6, 0.1);
    EXPECT_GT(Number(clip, "-count_frames -select_streams v:0 -show_entries stream=nb_read_frames"), 10.0);
    // The red 16x16 watermark at 4,4 of the 320x240 picture is 8x8 at 2,2
    // after scaling: its middle is red in every picture.
    const std::string rgb = ShellOutput("ffmpeg -v error -nostdin -i '" + clip + "' -f rawvideo -pix_fmt rgb24 pipe:1");
    const std::size_t pictureSize = 160 * 120 * 3;
    ASSERT_GE(rgb.size(), pictureSize);
    for (std::size_t at = (6 * 160 + 6) * 3; at < rgb.size(); at += pictureSize) {
        SCOPED_TRACE(at / pictureSize);
        EXPECT_GT(static_cast<unsigned char>(rgb[at]), 200);
        EXPECT_LT(static_cast<unsigned char>(rgb[at + 1]), 60);
        EXPECT_LT(static_cast<unsigned char>(rgb[at + 2]), 60);
    }
    // The white text at 100,100 (50,50 after scaling) lies over the coloured
    // bars, where the source has no white.
    int white = 0;
    for (std::size_t y = 50; y < 62; ++y)
        for (std::size_t x = 50; x < 100; ++x) {
            const auto* p = reinterpret_cast<const unsigned char*>(rgb.data()) + (y * 160 + x) * 3;
            white += p[0] > 200 && p[1] > 200 && p[2] > 200;
        }
    EXPECT_GT(white, 20);

    const std::string mkv = out + "/audiofirst.mp4";
    EXPECT_EQ(Entry(mkv, "v:0", "codec_name"), "h264");
    EXPECT_EQ(Entry(mkv, "a:0", "codec_name"), "aac");

    EXPECT_EQ(Entry(out + "/tone.mp3", "a:0", "codec_name"), "mp3");
    EXPECT_EQ(Entry(out + "/second.mp3", "v", "codec_name"), "");
    EXPECT_EQ(Entry(out + "/second.mp3", "a:0", "codec_name"), "mp3");

    const std::string cropped = out + "/cropped.mp4";
    EXPECT_EQ(Entry(cropped, "v:0", "width"), "320");
    EXPECT_EQ(Entry(cropped, "v:0", "height"), "180");
    EXPECT_EQ(Entry(cropped, "v:0", "display_aspect_ratio"), "16:9");

    EXPECT_EQ(Entry(out + "/divx.avi", "v:0", "codec_name"), "mpeg4");
    EXPECT_EQ(Entry(out + "/divx.avi", "v:0", "codec_tag_string"), "DIVX");
}

TEST_F(ConversionRunTest, ThreeClipsJoinIntoOne)
{
    AddPreset(VideoPreset("MP4", ".mp4", "160", "120", "25000"));
    for (const char* name : {"one.mp4", "two.mp4", "three.mp4"})
        AddItem(Mp4(name), 320, 240).TimeEnd = 1000000;
    run.JoinButtonClick();
    ASSERT_TRUE(run.JoinAllVideos);
    ASSERT_TRUE(Convert());
    const std::string joined = out + "/All Videos Joined in One.mp4";
    EXPECT_NEAR(Number(joined, "-show_entries format=duration"), 3.0, 0.2);
    for (const TMediaFile& m : App().MediaFiles)
        EXPECT_EQ(m.Status, "100%");
    // The parts are the run's own and go at the clean-up; the join stays.
    const std::string folder = run.RunFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_TRUE(std::filesystem::exists(folder + "/vid1.mp4"));
    DeleteRunTempFiles();
    EXPECT_FALSE(std::filesystem::exists(folder));
    EXPECT_TRUE(std::filesystem::exists(joined));
}

TEST_F(ConversionRunTest, RefusingEncoderFailsOnlyItsItem)
{
    const int mp4 = AddPreset(VideoPreset("MP4", ".mp4", "160", "120", "25000"));
    TFormat h263 = VideoPreset("3GP", ".3gp", "640", "480", "25000");
    h263.VideoCodecName = "h263";
    h263.AudioCodecName = "aac";
    const int bad = AddPreset(h263);
    AddItem(Mp4("good1.mp4"), 320, 240).FormatInd = mp4;
    AddItem(Mp4("bad.mp4"), 320, 240).FormatInd = bad;
    AddItem(Mp4("good2.mp4"), 320, 240).FormatInd = mp4;
    ASSERT_TRUE(Convert());
    EXPECT_EQ(App().MediaFiles[0].Status, "100%");
    EXPECT_EQ(App().MediaFiles[1].Status, "Failed");
    EXPECT_TRUE(App().MediaFiles[1].Checked);
    EXPECT_EQ(App().MediaFiles[2].Status, "100%");
    EXPECT_TRUE(std::filesystem::exists(out + "/good2.mp4"));
    EXPECT_FALSE(std::filesystem::exists(out + "/bad.3gp"));
    EXPECT_EQ(Marks(), std::vector<std::string>{"CLM_Terminate"});
}

TEST_F(ConversionRunTest, StopMidRunKeepsFinishedItems)
{
    AddPreset(VideoPreset("MP4", ".mp4", "320", "240", "25000"));
    App().CustomCPUNumber = 1;
    AddItem(Mp4("first.mp4"), 320, 240);
    AddItem(Mp4("long.mp4", 60), 320, 240);
    AddItem(Mp4("third.mp4"), 320, 240);
    run.StartButtonClick();
    // Stop once the second task has written something.
    ASSERT_TRUE(ServeUntil([&] { return App().MediaFiles[1].StatusS > 1; }));
    run.StopBtnClick();
    ASSERT_TRUE(ServeUntil([&] { return window.Ends > 0; }));
    EXPECT_EQ(App().MediaFiles[0].Status, "100%");
    EXPECT_EQ(App().MediaFiles[1].Status, "Cancelled");
    EXPECT_EQ(App().MediaFiles[2].Status, "Cancelled");
    // What was written of the stopped file plays.
    EXPECT_GT(Number(out + "/long.mp4", "-show_entries format=duration"), 0.0);
    // A task that never ran leaves no file behind.
    EXPECT_FALSE(std::filesystem::exists(out + "/third.mp4"));
}

TEST_F(ConversionRunTest, PauseThenStopEnds)
{
    AddPreset(VideoPreset("MP4", ".mp4", "320", "240", "25000"));
    AddItem(Mp4("long.mp4", 60), 320, 240);
    run.StartButtonClick();
    run.PauseBtnClick();
    EXPECT_TRUE(encoder.Paused());
    EXPECT_TRUE(window.Start);
    run.StopBtnClick();
    ASSERT_TRUE(ServeUntil([&] { return window.Ends > 0; }));
    EXPECT_EQ(App().MediaFiles[0].Status, "Cancelled");
}

TEST_F(ConversionRunTest, ZeroThreadsStillRunOnAThread)
{
    AddPreset(VideoPreset("MP4", ".mp4", "160", "120", "25000"));
    App().CustomCPUNumber = 0;
    AddItem(Mp4(), 320, 240);
    run.StartButtonClick();
    // Tasks run inside Start would have delivered the run's end before it
    // returned; from a thread the end waits for the main thread.
    EXPECT_EQ(window.Ends, 0);
    ASSERT_TRUE(ServeUntil([&] { return window.Ends > 0; }));
    EXPECT_EQ(App().MediaFiles[0].Status, "100%");
}

TEST_F(ConversionRunTest, EveryShippedPresetConvertsAClip)
{
    StartApplicationCore(BuildFolder(), nullptr);
    App().TempFilesFolder = dir_.file("temp");
    App().UseAllCPUs = false;
    App().CustomCPUNumber = 2;
    const std::string clip = Mp4();
    int n = 0;
    for (int p = 0; p < static_cast<int>(App().Profiles.size()); ++p) {
        for (int f = 0; f < static_cast<int>(App().Profiles[static_cast<std::size_t>(p)].Formats.size()); ++f) {
            TMediaFile& m = AddItem(clip, 320, 240);
            m.ProfileInd = p;
            m.FormatInd = f;
            m.DestinationTitle = "preset" + std::to_string(n++);
            m.TimeEnd = 1000000;
        }
    }
    ASSERT_GT(n, 5);
    ASSERT_TRUE(Convert());
    for (const TMediaFile& m : App().MediaFiles) {
        const TFormat* preset = ItemPreset(m);
        ASSERT_NE(preset, nullptr);
        EXPECT_EQ(m.Status, "100%") << preset->Title;
        const std::string file = out + "/" + m.DestinationTitle + preset->FormatExt;
        EXPECT_NEAR(Number(file, "-show_entries format=duration"), 1.0, 0.25) << preset->Title;
        EXPECT_EQ(Entry(file, "v", "codec_type").empty(), IsAudioPreset(*preset)) << preset->Title;
    }
}
