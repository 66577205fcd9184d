// The option texts of a run: rows, filter list, geometry, trims and the
// checks that refuse a run before anything starts.
#include "AppTestSupport.h"
#include "ConversionTestSupport.h"
#include "app/core/TaskBuilder.h"
#include "engine/encoder/FFEncode.h"
#include "platform/rtl/SysUtils.h"

#include <clocale>
#include <filesystem>

using tarnello::test::AppTest;
using namespace tarnello::test;

namespace {

TBuildResult Build(bool join = false, bool second = false, const std::string& runFolder = "/tmp/run")
{
    TBuildRequest r;
    r.JoinAllVideos = join;
    r.SecondJoinPass = second;
    r.RunFolder = runFolder;
    App().OutputFolder = "/out";
    return BuildConversionTasks(r);
}

std::string Out(int t = 0) { return App().TaskOutputOptions.at(static_cast<std::size_t>(t)).Options; }
std::string In(int t = 0) { return App().TaskInputOptions.at(static_cast<std::size_t>(t)).Options; }

}  // namespace

TEST_F(AppTest, VideoItemGetsTheRowsInOrder)
{
    AddPreset(VideoPreset("MP4", ".mp4", "640", "480", "29970"));
    TMediaFile& m = AddItem("/media/clip.avi", 720, 576);
    m.TimeEnd = 95480000;
    const TBuildResult r = Build();
    ASSERT_TRUE(r.Ok()) << r.Error;
    EXPECT_EQ(Out(), " -c:a aac -ac 2 -ar 44100 -b:a 128000 -c:v libx264 -r 30 -b:v 800000"
                     " -vf \"pad=768:576:24:0:black,scale=640:480\" -t 95.48");
    EXPECT_EQ(In(), " -ss 0");
    EXPECT_EQ(App().TaskOutputOptions[0].FileName, std::string("/out/clip.mp4"));
    EXPECT_EQ(App().TaskInputOptions[0].FileName, std::string("/media/clip.avi"));
    EXPECT_EQ(m.Status, "Awaiting...");
    EXPECT_EQ(r.ItemOfTask, std::vector<int>{0});
}

TEST_F(AppTest, RowTextsFollowTheItemAndPreset)
{
    struct Case {
        const char* what;
        void (*set)(TMediaFile&, TFormat&);
        const char* has;
        const char* lacks;
    } cases[] = {
        {"volume 150", [](TMediaFile& m, TFormat&) { m.Volume = 150; }, " -vol 384", nullptr},
        {"volume 100", [](TMediaFile&, TFormat&) {}, nullptr, "-vol"},
        {"23976", [](TMediaFile&, TFormat& f) { f.FrameRate = "23976"; }, " -r 24 ", nullptr},
        {"25000", [](TMediaFile&, TFormat& f) { f.FrameRate = "25000"; }, " -r 25 ", nullptr},
        {"12500 halves to even", [](TMediaFile&, TFormat& f) { f.FrameRate = "12500"; }, " -r 12 ", nullptr},
        {"no audio", [](TMediaFile& m, TFormat&) { m.AudioTrackIndex = 1; }, " -an", "-map"},
        {"second track", [](TMediaFile& m, TFormat&) {
             m.AudioTracks = {"Audio Track #1", "Audio Track #2", "Disable audio"};
             m.AudioTrackIndex = 1;
         }, " -map 0:0 -map 0:2 ", nullptr},
        {"video stream mapped by its index", [](TMediaFile& m, TFormat&) {
             m.VideoStreamIndex = 2;
             m.AudioTracks = {"Audio Track #0", "Audio Track #1", "Disable audio"};
             m.AudioTrackIndex = 1;
         }, " -map 0:2 -map 0:1 ", nullptr},
        {"extra text first", [](TMediaFile&, TFormat& f) { f.ExtraParam = "-profile:v baseline"; },
         " -profile:v baseline -c:a ", nullptr},
        {"divx", [](TMediaFile&, TFormat& f) { f.Title = "Xvid or DivX AVI"; },
         " -c:v mpeg4 -tag:v DIVX -vstrict unofficial", nullptr},
        {"full screen", [](TMediaFile& m, TFormat&) { m.AspectRatio = 1; }, " -aspect 640:480 ", nullptr},
        {"4:3 in a 16:9 frame", [](TMediaFile& m, TFormat& f) { m.AspectRatio = 2; f.Width = "1280"; f.Height = "720"; },
         " -aspect 1280:720 ", "-aspect 4:3"},
        {"lossless: no bit rate", [](TMediaFile&, TFormat& f) { f.AudioBitRate = ""; }, " -ar 44100 -c:v", "-b:a"},
        {"keep original", [](TMediaFile&, TFormat&) {}, nullptr, "-aspect"},
        {"adjustments", [](TMediaFile& m, TFormat&) { m.Brightness = 10; m.Saturation = -5; m.Deinterlace = true; m.FlipVertical = true; },
         "\"nativeeq=10:0,nativehue=0:-5,yadif,pad=768:576:24:0:black,vflip,scale=640:480\"", nullptr},
        {"crop", [](TMediaFile& m, TFormat&) { m.CropLeft = 8; m.CropRight = 8; },
         "\"crop=704:576:8:0,pad=", nullptr},
        {"no video", [](TMediaFile& m, TFormat&) { m.VideoStreamIndex = -1; m.isSourceAudioFormat = true; m.SourceWidth = 0; m.SourceHeight = 0; },
         " -c:v libx264 -r 30 -b:v 800000 -t", "-vf"},
    };
    for (const Case& c : cases) {
        ResetApplicationData();
        TFormat f = VideoPreset("MP4", ".mp4", "640", "480", "29970");
        TMediaFile& m = AddItem("/media/a.avi", 720, 576);
        m.TimeEnd = 1000000;
        c.set(m, f);
        AddPreset(f);
        const TBuildResult r = Build();
        ASSERT_TRUE(r.Ok()) << c.what << ": " << r.Error;
        if (c.has)
            EXPECT_NE(Out().find(c.has), std::string::npos) << c.what << ": " << Out();
        if (c.lacks)
            EXPECT_EQ(Out().find(c.lacks), std::string::npos) << c.what << ": " << Out();
        EXPECT_EQ(Out()[0], ' ') << c.what;
    }
}

TEST_F(AppTest, PaddingKeepsTheChosenShape)
{
    struct Case {
        int sw, sh, aspect;
        const char *w, *h;
        const char* pad;
    } cases[] = {
        {720, 576, 0, "640", "480", "pad=768:576:24:0:black"},
        // 16:9 chosen for a 4:3 picture in a 4:3 frame: bands measured on
        // the picture's own height give 1.78:1, not 1.67:1.
        {640, 480, 3, "640", "480", "pad=640:640:0:80:black"},
        {1280, 720, 0, "640", "480", "pad=1280:960:0:120:black"},
        {640, 480, 0, "640", "480", ""},
        {640, 480, 2, "1280", "720", "pad=854:480:107:0:black"},
    };
    for (const Case& c : cases) {
        TMediaFile m;
        m.SourceWidth = c.sw;
        m.SourceHeight = c.sh;
        m.AspectRatio = c.aspect;
        int w = 0, h = 0;
        ASSERT_TRUE(ReadPositiveNumber(c.w, w));
        ASSERT_TRUE(ReadPositiveNumber(c.h, h));
        const TFrameGeometry g = ComputeFrameGeometry(m, w, h);
        EXPECT_EQ(g.PadFilter, c.pad) << c.sw << "x" << c.sh << " aspect " << c.aspect;
        EXPECT_EQ(g.CropFilter, "");
    }
    TMediaFile empty;
    empty.SourceWidth = 100;
    empty.SourceHeight = 100;
    empty.CropLeft = 60;
    empty.CropRight = 40;
    EXPECT_THROW(ComputeFrameGeometry(empty, 640, 480), Exception);
}

TEST_F(AppTest, TrimTimesUseAPointUnderAnyLocale)
{
    const char* saved = std::setlocale(LC_ALL, nullptr);
    const std::string savedLocale = saved ? saved : "C";
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    const char savedSep = FormatSettings.DecimalSeparator;
    FormatSettings.DecimalSeparator = ',';
    AddPreset(VideoPreset("MP4", ".mp4", "640", "480", "25000"));
    TMediaFile& m = AddItem("/media/a.avi", 640, 480);
    m.TimeStart = 12500000;
    m.TimeEnd = 20000000;
    const TBuildResult r = Build();
    FormatSettings.DecimalSeparator = savedSep;
    std::setlocale(LC_ALL, savedLocale.c_str());
    ASSERT_TRUE(r.Ok());
    EXPECT_EQ(In(), " -ss 12.5");
    EXPECT_NE(Out().find(" -t 7.5"), std::string::npos);
    const std::pair<std::int64_t, const char*> texts[] = {
        {0, "0"}, {12500000, "12.5"}, {95480000, "95.48"}, {1, "0.000001"}, {123456789012345678, "123456789012.346"}};
    for (const auto& [us, text] : texts)
        EXPECT_EQ(SecondsText(us), text);
}

TEST_F(AppTest, UnknownLengthWritesNoDuration)
{
    AddPreset(VideoPreset("MP4", ".mp4", "640", "480", "25000"));
    AddItem("/media/a.avi", 640, 480);  // TimeEnd 0
    ASSERT_TRUE(Build().Ok());
    EXPECT_EQ(Out().find("-t "), std::string::npos) << Out();
}

TEST_F(AppTest, AudioPresetSkipsVideoRows)
{
    AddPreset(AudioPreset("MP3", ".mp3"));
    TMediaFile& m = AddItem("/media/a.avi", 640, 480);
    m.TimeEnd = 2000000;
    m.Volume = 150;
    ASSERT_TRUE(Build().Ok());
    EXPECT_EQ(Out(), " -c:a libmp3lame -ac 2 -ar 44100 -b:a 128000 -t 2");
    EXPECT_EQ(In(), " -vn -ss 0");
}

TEST_F(AppTest, JoinPassesWriteTemporaryPartsThenOneJoin)
{
    AddPreset(VideoPreset("MP4", ".mp4", "640", "480", "25000"));
    for (const char* s : {"/m/a.avi", "/m/b.avi", "/m/c.avi"}) {
        TMediaFile& m = AddItem(s, 640, 480);
        m.AudioTrackIndex = 1;  // "Disable audio": no "-an" while joining
        m.Volume = 50;
        m.TimeEnd = 1000000;
    }
    App().MediaFiles[1].Checked = false;
    TBuildResult first = Build(true, false, "/tmp/r");
    ASSERT_TRUE(first.Ok());
    ASSERT_EQ(App().TaskOutputOptions.size(), 2u);
    EXPECT_EQ(App().TaskOutputOptions[0].FileName, std::string("/tmp/r/vid1.mp4"));
    EXPECT_EQ(App().TaskOutputOptions[1].FileName, std::string("/tmp/r/vid3.mp4"));
    EXPECT_EQ(Out().find("-an"), std::string::npos);
    EXPECT_NE(Out().find("-vol 128"), std::string::npos);
    EXPECT_EQ(App().RunTempFiles, (std::vector<std::string>{"/tmp/r/vid1.mp4", "/tmp/r/vid3.mp4"}));

    TBuildResult second = Build(true, true, "/tmp/r");
    ASSERT_TRUE(second.Ok());
    EXPECT_EQ(second.TaskSources, (std::vector<std::string>{"/tmp/r/vid1.mp4", "/tmp/r/vid3.mp4"}));
    EXPECT_EQ(second.JoinOutputFile, "/out/All Videos Joined in One.mp4");
    EXPECT_EQ(Out(), " -c:a aac -ac 2 -ar 44100 -b:a 128000 -c:v libx264 -r 25 -b:v 800000 -vf \"scale=640:480\"");
    EXPECT_EQ(In(), "");
    EXPECT_EQ(App().TaskOutputOptions[0].FileName, std::string());
}

TEST_F(AppTest, WatermarkCopyGoesIntoTheRunFolderByFullPath)
{
    TempDir tmp;
    const std::string runFolder = tmp.file("a:b,c[d]'e");
    std::filesystem::create_directories(runFolder);
    WriteTextFile(tmp.file("mark.png"), "png");
    AddPreset(VideoPreset("MP4", ".mp4", "640", "480", "25000"));
    TMediaFile& m = AddItem("/m/a.avi", 640, 480);
    m.PictureOverlay = true;
    m.OverlayPicturePath = tmp.file("mark.png");
    m.OverlayPictureX = 10;
    m.OverlayPictureY = 20;
    ASSERT_TRUE(Build(false, false, runFolder).Ok());
    const std::string copy = runFolder + "/1.png";
    EXPECT_TRUE(std::filesystem::exists(copy));
    EXPECT_EQ(App().RunTempFiles, std::vector<std::string>{copy});
    const std::string escaped = EscapedTwice(copy);
    EXPECT_NE(Out().find("-vf \"movie=" + escaped + " [watermark]; [in] [watermark] overlay=10:20, scale=640:480 [out]\""),
              std::string::npos)
        << Out();

    // Without a copy the list stays as it was, without a message.
    ResetApplicationData();
    AddPreset(VideoPreset("MP4", ".mp4", "640", "480", "25000"));
    TMediaFile& lost = AddItem("/m/a.avi", 640, 480);
    lost.PictureOverlay = true;
    lost.OverlayPicturePath = tmp.file("missing.png");
    ASSERT_TRUE(Build(false, false, runFolder).Ok());
    EXPECT_NE(Out().find("-vf \"scale=640:480\""), std::string::npos) << Out();

    // A folder name with a double quote cannot be written into the text.
    ResetApplicationData();
    AddPreset(VideoPreset("MP4", ".mp4", "640", "480", "25000"));
    TMediaFile& quoted = AddItem("/m/a.avi", 640, 480);
    quoted.PictureOverlay = true;
    quoted.OverlayPicturePath = tmp.file("mark.png");
    const TBuildResult r = Build(false, false, tmp.file("q\"x"));
    EXPECT_FALSE(r.Ok());
    EXPECT_NE(r.Error.find("double quote"), std::string::npos);
}

TEST_F(AppTest, RunTempFilesCleanUpRemovesOnlyWhatTheRunMade)
{
    TempDir tmp;
    App().TempFilesFolder = tmp.path();
    WriteTextFile(tmp.file("users-own.mp4"), "x");
    const std::string folder = MakeRunFolder();
    ASSERT_FALSE(folder.empty());
    WriteTextFile(folder + "/vid1.mp4", "x");
    App().RunTempFiles.push_back(folder + "/vid1.mp4");
    DeleteRunTempFiles();
    EXPECT_FALSE(std::filesystem::exists(folder));
    EXPECT_TRUE(std::filesystem::exists(tmp.file("users-own.mp4")));
    EXPECT_TRUE(App().RunTempFiles.empty());

    // A folder holding something the run did not make stays.
    const std::string kept = MakeRunFolder();
    WriteTextFile(kept + "/other", "x");
    DeleteRunTempFiles();
    EXPECT_TRUE(std::filesystem::exists(kept + "/other"));
}

TEST_F(AppTest, BadPresetValuesAndTitlesRefuseTheRun)
{
    struct Case {
        const char* what;
        void (*set)(TMediaFile&, TFormat&);
        bool join;
        const char* named;
    } cases[] = {
        {"typed width", [](TMediaFile&, TFormat& f) { f.Width = "\xef\xbc\x97" "20"; }, false, "Width"},
        {"zero height", [](TMediaFile&, TFormat& f) { f.Height = "0"; }, false, "Height"},
        {"rate with a point", [](TMediaFile&, TFormat& f) { f.FrameRate = "29.97"; }, false, "FrameRate"},
        {"negative", [](TMediaFile&, TFormat& f) { f.Width = "-640"; }, false, "-640"},
        {"audio flag", [](TMediaFile&, TFormat& f) { f.IsAudioFormat = "yes"; }, false, "\"yes\""},
        {"empty title", [](TMediaFile& m, TFormat&) { m.DestinationTitle = ""; }, false, "Item 1"},
        {"slash", [](TMediaFile& m, TFormat&) { m.DestinationTitle = "../x"; }, false, "../x"},
        {"control", [](TMediaFile& m, TFormat&) { m.DestinationTitle = "a\nb"; }, false, "Item 1"},
        {"no preset", [](TMediaFile& m, TFormat&) { m.FormatInd = 5; }, true, "Item 1"},
    };
    for (const Case& c : cases) {
        ResetApplicationData();
        TFormat f = VideoPreset("MP4", ".mp4", "640", "480", "25000");
        TMediaFile& m = AddItem("/m/a.avi", 640, 480);
        c.set(m, f);
        AddPreset(f);
        const std::string error = CheckRunItems(c.join, "/out");
        EXPECT_NE(error.find(c.named), std::string::npos) << c.what << ": " << error;
    }
    // An audio preset needs no frame numbers; joined items no own titles.
    ResetApplicationData();
    TFormat audio = AudioPreset("MP3", ".mp3");
    audio.Width = "";
    AddPreset(audio);
    AddItem("/m/a.avi", 640, 480).DestinationTitle = "";
    EXPECT_EQ(CheckRunItems(true, "/out"), "");
}

TEST_F(AppTest, TwoItemsWritingOneFileRefuseTheRun)
{
    AddPreset(VideoPreset("MP4", ".mp4", "640", "480", "25000"));
    AddItem("/m/one/clip.avi", 640, 480);
    AddItem("/m/two/clip.avi", 640, 480);
    const std::string error = CheckRunItems(false, "/out");
    EXPECT_NE(error.find("clip.mp4"), std::string::npos) << error;
    App().MediaFiles[1].Checked = false;
    EXPECT_EQ(CheckRunItems(false, "/out"), "");
}
