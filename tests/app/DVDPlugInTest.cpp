// The DVD plug-in: loading and binding, title records and the texts made
// from them, the DVD branch of the loading job, and the drive list.
#include "AppTestSupport.h"
#include "ConversionTestSupport.h"
#include "app/core/DVDPlugIn.h"
#include "app/core/MediaLoading.h"
#include "app/core/RunControl.h"
#include "app/core/TaskBuilder.h"
#include "engine/encoder/FFEncode.h"
#include "platform/classes/StringList.h"
#include "platform/rtl/Exceptions.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

using tarnello::test::AppTest;
using namespace tarnello::test;

namespace {

class TQuietDialog : public ILoadingDialog {
public:
    void ShowProgress(const std::string&, int) override {}
    bool CancelRequested() override { return false; }
    void ShowMessage(const std::string& AText) override { Messages.push_back(AText); }
    std::vector<std::string> Messages;
};

class DVDPlugInTest : public AppTest {
protected:
    void TearDown() override
    {
        UnloadDVDPlugIn();
        unsetenv("TARNELLO_TEST_DVD_MODE");
        AppTest::TearDown();
    }
    std::string Install(const char* built)
    {
        const std::string folder = dir_.file("LibAV");
        std::filesystem::create_directories(folder);
        std::filesystem::copy_file(built, folder + "/dvddec.so", std::filesystem::copy_options::overwrite_existing);
        return folder;
    }
    bool Has(const std::vector<std::string>& lines, const std::string& line)
    {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
};

}  // namespace

TEST_F(DVDPlugInTest, MissingPlugInIsReportedAndNothingIsCalled)
{
    EXPECT_FALSE(LoadDVDPlugIn(dir_.path()));
    EXPECT_EQ(DVDPlugInLastError().rfind("Load library " + dir_.path() + "/dvddec.so error: ", 0), 0u)
        << DVDPlugInLastError();
    EXPECT_FALSE(IsDVDPlugInLoaded());
    EXPECT_EQ(DVDPlugInNotInstalledText(), "The DVD plug-in is not installed.");
    try {
        EnumDVDTitles("/media/dvd");
        FAIL() << "no assertion";
    } catch (const EAssertionFailed& e) {
        EXPECT_EQ(e.Message(), "DVD plug-in library is not loaded.");
    }
}

TEST_F(DVDPlugInTest, MissingExportIsNamedAndNothingStaysLoaded)
{
    EXPECT_FALSE(LoadDVDPlugIn(Install(TARNELLO_TEST_DVDDEC_PARTIAL)));
    EXPECT_NE(DVDPlugInLastError().find("DVDGetTitle"), std::string::npos) << DVDPlugInLastError();
    EXPECT_FALSE(IsDVDPlugInLoaded());
}

TEST_F(DVDPlugInTest, TitlesBecomeItemsWithSourcesAndDescription)
{
    ASSERT_TRUE(LoadDVDPlugIn(Install(TARNELLO_TEST_DVDDEC))) << DVDPlugInLastError();
    EXPECT_TRUE(LoadDVDPlugIn("/nowhere"));  // loaded once
    EXPECT_EQ(DVDPlugInVersion(), "1.2.3.4");
    App().DVDTitleCount = EnumDVDTitles("/media/disc");
    ASSERT_EQ(App().DVDTitleCount, 3);
    TVAVorarez encoder(nullptr);
    ASSERT_TRUE(encoder.LoadAVLib(""));
    TQuietDialog dialog;
    std::vector<std::string> memo;
    LoadDVDTitles(*encoder.Decoder(), dialog, nullptr, "/media/disc", "/media/disc", memo);

    ASSERT_EQ(App().MediaFiles.size(), 2u);
    const TMediaFile& first = App().MediaFiles[0];
    const TMediaFile& third = App().MediaFiles[1];
    EXPECT_EQ(third.DestinationTitle, "Title3");
    EXPECT_EQ(third.Source, "Title3");
    EXPECT_EQ(DVDTitleSource("/media/disc", *third.DVDTitleInfo),
              "opendvd:/media/disc|Title=3,FromChapter=1,ToChapter=2,AudioID=160,SubtitleID=32,AudioChannels=2,"
              "Deinterlace=0");
    EXPECT_EQ(first.TrimmedLength, 12500000);
    EXPECT_EQ(first.SourceWidth, 720);
    EXPECT_FALSE(first.Checked);
    EXPECT_EQ(first.VideoThumbnailIndex, -1);  // the fake titles cannot be opened
    EXPECT_EQ(first.DVDTitleInfo->Selection.ToChapter, 100);
    EXPECT_EQ(first.DVDTitleInfo->Selection.AudioID, 0x80);

    EXPECT_EQ(memo.front(), "There are 3 title(s) in /media/disc");
    EXPECT_TRUE(Has(memo, "Title #1 Length: 12.50"));
    EXPECT_TRUE(Has(memo, "  Video Type[MPEG-2], ID[0xe0], Frame Size[720x576], Norm[PAL], Aspect[HDTV(16:9)]"));
    EXPECT_TRUE(Has(memo, "    Audio #1 Type[AC3], ID[0x81], SampleRate[48000], Channels[2], Language[de, Deutsch]"));
    EXPECT_TRUE(Has(memo, "  ChapterCount: 100"));
    EXPECT_FALSE(Has(memo, "    Chapter #1 Length: 0.13"));
    EXPECT_TRUE(Has(memo, "    Subtitle #0 Type[SUB], ID[0x20], Language[en, English]"));
    EXPECT_TRUE(Has(memo, "    Chapter #2 Length: 1.75"));
    EXPECT_TRUE(Has(memo, "  IsValid: True"));
    EXPECT_FALSE(Has(memo, "Title #2 Length: 0.00"));
    bool logged = false;
    for (int i = 0; i < App().EventsLog->Count(); ++i)
        logged = logged || (*App().EventsLog)[i].find("Calling DVDGetTitle(#1) failed.") != std::string::npos;
    EXPECT_TRUE(logged);

    // The choices of a title.
    TDVDTitleBlock block = *first.DVDTitleInfo;
    block.Selection.AudioID = 0x81;
    const TDVDChoices audio = DVDAudioChoices(block);
    EXPECT_EQ(audio.Entries, (std::vector<std::string>{"English[0x80]", "Deutsch[0x81]", "Disable"}));
    EXPECT_EQ(audio.Selected, 1);
    const TDVDChoices subs = DVDSubtitleChoices(block);
    EXPECT_EQ(subs.Entries, std::vector<std::string>{"No subtitles"});
    EXPECT_EQ(subs.Selected, 0);

    // Only checked titles are converted.
    std::vector<std::string> sources;
    EXPECT_FALSE(BuildDVDSourceList("/media/disc", sources));
    App().MediaFiles[1].Checked = true;
    ASSERT_TRUE(BuildDVDSourceList("/media/disc", sources));
    EXPECT_EQ(sources.size(), 1u);
}

TEST_F(DVDPlugInTest, HostileRecordsStayWithinTheirFields)
{
    setenv("TARNELLO_TEST_DVD_MODE", "hostile", 1);
    ASSERT_TRUE(LoadDVDPlugIn(Install(TARNELLO_TEST_DVDDEC)));
    EXPECT_EQ(EnumDVDTitles("/media/disc"), MaxDVDTitles);
    TDVDTitleInfo info;
    ASSERT_TRUE(GetDVDTitleInfo(0, info));
    const auto lines = DVDTitleDescription(0, info);
    EXPECT_EQ(lines[0], "Title #1 Length: 0.00");
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("    Audio #", 0) == 0; }), 8);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("    Subtitle #", 0) == 0; }), 0);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("    Chapter #", 0) == 0; }), 0);
    EXPECT_NE(lines[3].find("Language[BBBB, " + std::string(64, 'A') + "]"), std::string::npos) << lines[3];
    TMediaFile item;
    FillDVDItem(item, 0, std::make_unique<TDVDTitleBlock>(TDVDTitleBlock{info, {}, {}}));
    EXPECT_EQ(item.TrimmedLength, 0);
    EXPECT_EQ(item.DVDTitleInfo->Selection.ToChapter, 100);
}

TEST_F(DVDPlugInTest, DrivesAreCaptionedByMountPointElseDevice)
{
    const std::string info = "CD-ROM information, Id: cdrom.c 3.20 2003/12/17\n\ndrive name:\t\tsr1\tsr0\ndrive speed:\t\t1\t1\n";
    const std::string mounts = "/dev/sda1 / ext4 rw 0 0\n/dev/sr0 /media/user/MY\\040DISC udf ro 0 0\n";
    EXPECT_EQ(OpticalDrives(info, mounts), (std::vector<std::string>{"/media/user/MY DISC", "/dev/sr1"}));
    EXPECT_TRUE(OpticalDrives("", mounts).empty());
}

TEST_F(DVDPlugInTest, TitleIsReadAndConvertedThroughItsSource)
{
    // A fake disc: title 3 is a one-second MPEG-PS file the plug-in reads.
    const std::string disc = dir_.file("disc");
    std::filesystem::create_directories(disc);
    ASSERT_TRUE(MakeClip(disc + "/title3.mpg",
                         "-f lavfi -i testsrc=size=352x288:rate=25:duration=1 -f lavfi -i "
                         "sine=sample_rate=48000:duration=1 -c:v mpeg2video -c:a mp2 -f mpeg"));
    ASSERT_TRUE(LoadDVDPlugIn(Install(TARNELLO_TEST_DVDDEC))) << DVDPlugInLastError();
    App().DVDTitleCount = EnumDVDTitles(disc);
    TVAVorarez encoder(nullptr);
    ASSERT_TRUE(encoder.LoadAVLib(""));
    TQuietDialog dialog;
    std::vector<std::string> memo;
    LoadDVDTitles(*encoder.Decoder(), dialog, nullptr, disc, disc, memo);
    ASSERT_EQ(App().MediaFiles.size(), 2u);
    EXPECT_EQ(App().MediaFiles[0].VideoThumbnailIndex, -1);  // title 1 has no file on this disc
    EXPECT_GE(App().MediaFiles[1].VideoThumbnailIndex, 0);   // title 3 read through the plug-in

    const std::string source = DVDTitleSource(disc, *App().MediaFiles[1].DVDTitleInfo);
    ASSERT_TRUE(encoder.Decoder()->LoadFile(source)) << encoder.Decoder()->LastErrMsg();
    EXPECT_NEAR(encoder.Decoder()->FileStreamInfo().Duration / 1e6, 1.0, 0.2);
    encoder.Decoder()->CloseFile();
    // A title the plug-in cannot open is an error, not a hang.
    EXPECT_FALSE(encoder.Decoder()->LoadFile(DVDTitleSource(disc, *App().MediaFiles[0].DVDTitleInfo)));

    // Convert title 3 as the main window does in DVD mode.
    const std::string out = dir_.file("out");
    std::filesystem::create_directories(out);
    App().TempFilesFolder = dir_.file("temp");
    App().UseAllCPUs = false;
    App().CustomCPUNumber = 1;
    App().MediaMode = 1;
    App().MediaFiles[1].Checked = true;
    App().MediaFiles[1].FormatInd = AddPreset(VideoPreset("MP4", ".mp4", "176", "144", "25000"));
    TTestWindow window;
    window.Folder = out;
    TConversionRun run{encoder, window};
    run.Launcher = [](const std::vector<std::string>&) { return false; };
    run.BuildDVDSourceList = [&](std::vector<std::string>& AList) { return BuildDVDSourceList(disc, AList); };
    run.StartButtonClick();
    ASSERT_TRUE(run.ProcessUpdateTimerEnabled) << (window.Messages.empty() ? "" : window.Messages[0]);
    ASSERT_TRUE(ServeUntil([&] { return window.Ends > 0; }));
    DeleteRunTempFiles();
    const std::string file = out + "/Title3.mp4";
    ASSERT_TRUE(std::filesystem::exists(file));
    const std::string video = ProbeText(file, "-select_streams v:0 -show_entries stream=codec_name,width,height");
    EXPECT_NE(video.find("codec_name=h264"), std::string::npos) << video;
    EXPECT_NE(video.find("width=176"), std::string::npos) << video;
    const std::string duration = ProbeText(file, "-show_entries format=duration");
    ASSERT_NE(duration.find('='), std::string::npos);
    EXPECT_NEAR(std::atof(duration.c_str() + duration.find('=') + 1), 1.0, 0.3);
}
