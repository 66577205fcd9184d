// The loading job: probing, new items, thumbnails, cancelling, bad files,
// and the download plug-in's answer.
#include "AppTestSupport.h"
#include "ConversionTestSupport.h"
#include "app/core/MediaLoading.h"
#include "engine/encoder/FFEncode.h"
#include "platform/classes/StringList.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gui/Bitmap.h"
#include "platform/gui/Canvas.h"
#include "platform/gui/GraphicsObjects.h"

#include <sys/stat.h>

#include <filesystem>

using tarnello::test::AppTest;
using namespace tarnello::test;

namespace {

class TTestLoadingDialog : public ILoadingDialog {
public:
    void ShowProgress(const std::string& ALabel, int AGauge) override
    {
        Labels.push_back(ALabel);
        Gauges.push_back(AGauge);
    }
    bool CancelRequested() override { return ++Checks > CancelAfter; }
    void ShowMessage(const std::string& AText) override { Messages.push_back(AText); }

    int Checks = 0, CancelAfter = 1000;
    std::vector<std::string> Labels, Messages;
    std::vector<int> Gauges;
};

class MediaLoadingTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        ASSERT_TRUE(encoder.LoadAVLib("")) << encoder.LastErrMsg();
    }
    std::string Clip(const std::string& name, const std::string& args)
    {
        const std::string file = dir_.file(name);
        EXPECT_TRUE(MakeClip(file, args)) << name;
        return file;
    }
    std::string Video(const std::string& name, const std::string& size = "160x120")
    {
        return Clip(name, "-f lavfi -i testsrc=size=" + size + ":rate=25:duration=1 -c:v mpeg4");
    }
    bool Logged(const std::string& text) const
    {
        for (int i = 0; i < App().EventsLog->Count(); ++i)
            if ((*App().EventsLog)[i].find(text) != std::string::npos)
                return true;
        return false;
    }
    void Load() { LoadPendingFiles(*encoder.Decoder(), dialog, nullptr, false); }

    TVAVorarez encoder{nullptr};
    TTestLoadingDialog dialog;
};

// Colour of a thumbnail pixel.
COLORREF Pixel(TBitmap& bmp, int x, int y) { return GetPixel(bmp.Canvas()->Handle(), x, y); }

std::unique_ptr<TBitmap> White(int w, int h)
{
    auto bmp = std::make_unique<TBitmap>();
    bmp->SetPixelFormat(pf24bit);
    bmp->SetSize(w, h);
    bmp->Canvas()->Brush()->SetColor(clWhite);
    bmp->Canvas()->FillRect(TRect(0, 0, w, h));
    return bmp;
}

std::unique_ptr<TBitmap> BlackThumb()
{
    auto bmp = std::make_unique<TBitmap>();
    bmp->SetPixelFormat(pf24bit);
    bmp->SetSize(ThumbnailWidth, ThumbnailHeight);
    bmp->Canvas()->Brush()->SetColor(clBlack);
    bmp->Canvas()->FillRect(TRect(0, 0, ThumbnailWidth, ThumbnailHeight));
    return bmp;
}

}  // namespace

TEST_F(MediaLoadingTest, BadSourcesAreReportedAndSkipped)
{
    const std::string fifo = dir_.file("pipe.mp4");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    WriteTextFile(dir_.file("empty.mp4"), "");
    WriteTextFile(dir_.file("garbage.mp4"), std::string(4096, 'x'));
    std::filesystem::create_directories(dir_.file("folder.mp4"));
    App().OpenDialogFiles = {Video("first.avi"), dir_.file("garbage.mp4"), Video("third.avi"), dir_.file("missing.mp4"),
                             dir_.file("empty.mp4"), fifo, dir_.file("folder.mp4")};
    Load();
    ASSERT_EQ(App().MediaFiles.size(), 2u);
    EXPECT_EQ(App().MediaFiles[0].SourceTitleExt, "first.avi");
    EXPECT_EQ(App().MediaFiles[1].SourceTitleExt, "third.avi");
    EXPECT_TRUE(Logged("File added: " + dir_.file("first.avi")));
    EXPECT_TRUE(Logged("File added: " + dir_.file("third.avi")));
    EXPECT_FALSE(Logged("File added: " + dir_.file("garbage.mp4")));
    EXPECT_TRUE(Logged("File load error: "));
    ASSERT_EQ(dialog.Messages.size(), 5u);
    EXPECT_EQ(dialog.Messages[0], "File garbage.mp4 is not a valid media file or its format is not supported.");
    EXPECT_EQ(dialog.Gauges.front(), 14);
    EXPECT_EQ(dialog.Labels.front(), "Loading " + dir_.file("first.avi"));
}

TEST_F(MediaLoadingTest, NewItemGetsItsDefaults)
{
    App().CurrentProfileIndex = 2;
    App().CurrentFormatIndex = 3;
    const std::string file =
        Clip("two-audio.mkv", "-f lavfi -i testsrc=size=320x240:rate=25:duration=1 -f lavfi -i sine=duration=1 "
                              "-f lavfi -i sine=frequency=880:duration=1 -map 0 -map 1 -map 2 -c:v mpeg4 -c:a mp2");
    App().OpenDialogFiles = {file};
    Load();
    ASSERT_EQ(App().MediaFiles.size(), 1u);
    const TMediaFile& m = App().MediaFiles[0];
    EXPECT_EQ(m.AudioTracks, (std::vector<std::string>{"Audio Track #1", "Audio Track #2", "Disable audio"}));
    EXPECT_EQ(m.Subtitles, std::vector<std::string>{"Not available"});
    EXPECT_EQ(m.DestinationTitle, "two-audio");
    EXPECT_EQ(m.Status, "Ready");
    EXPECT_FLOAT_EQ(m.StatusS, -1.0f);
    EXPECT_NEAR(static_cast<double>(m.TrimmedLength), 1e6, 1e5);
    EXPECT_EQ(m.TimeEnd, m.TrimmedLength);
    EXPECT_EQ(m.SourceWidth, 320);
    EXPECT_EQ(m.SourceHeight, 240);
    EXPECT_EQ(m.VideoStreamIndex, 0);
    EXPECT_FALSE(m.isSourceAudioFormat);
    EXPECT_EQ(m.Volume, 100);
    EXPECT_TRUE(m.Checked);
    EXPECT_EQ(m.ProfileInd, 2);
    EXPECT_EQ(m.FormatInd, 3);
    ASSERT_NE(m.OverlayTextFont, nullptr);
    ASSERT_EQ(m.VideoThumbnailIndex, 0);
    // The middle of the test picture is not all black.
    TBitmap& thumb = *App().Thumbnails[0];
    bool coloured = false;
    for (int x = 0; x < ThumbnailWidth; ++x)
        coloured = coloured || Pixel(thumb, x, 18) != 0;
    EXPECT_TRUE(coloured);
}

TEST_F(MediaLoadingTest, AudioOnlyFileHasNoThumbnail)
{
    App().OpenDialogFiles = {Clip("tone.mp3", "-f lavfi -i sine=duration=1 -c:a libmp3lame")};
    Load();
    ASSERT_EQ(App().MediaFiles.size(), 1u);
    EXPECT_EQ(App().MediaFiles[0].VideoThumbnailIndex, -1);
    EXPECT_TRUE(App().MediaFiles[0].isSourceAudioFormat);
    EXPECT_TRUE(App().Thumbnails.empty());
}

TEST_F(MediaLoadingTest, ThumbnailIsFittedAndCentred)
{
    struct Case {
        int w, h;
        int left, right, top, bottom;  // the picture's first and last columns and rows
    } cases[] = {
        {640, 480, 1, 49, 0, 36},   // 49 x 37 at x 1
        {1280, 720, 0, 49, 4, 31},  // 50 x 28 at y 4
    };
    for (const Case& c : cases) {
        auto work = White(c.w, c.h);
        auto thumb = BlackThumb();
        DrawThumbnail(*work, *thumb);
        for (int x = 0; x < ThumbnailWidth; ++x) {
            const bool inside = x >= c.left && x <= c.right;
            EXPECT_EQ(Pixel(*thumb, x, 18) != 0, inside) << c.w << " x " << x;
        }
        for (int y = 0; y < ThumbnailHeight; ++y) {
            const bool inside = y >= c.top && y <= c.bottom;
            EXPECT_EQ(Pixel(*thumb, 25, y) != 0, inside) << c.w << " y " << y;
        }
    }
}

TEST_F(MediaLoadingTest, CancelDuringTheThirdOfFiveKeepsTheThird)
{
    const std::string clip = Video("clip.avi");
    App().OpenDialogFiles = {clip, clip, clip, clip, clip};
    dialog.CancelAfter = 3;  // pressed while the third is probed: seen at the fourth check
    Load();
    EXPECT_EQ(App().MediaFiles.size(), 3u);
}

TEST_F(MediaLoadingTest, RecordedFileComesFirstAndIsTakenOnce)
{
    App().RecordedFile = Video("rec.avi");
    App().OpenDialogFiles = {Video("other.avi")};
    Load();
    ASSERT_EQ(App().MediaFiles.size(), 1u);
    EXPECT_EQ(App().MediaFiles[0].SourceTitleExt, "rec.avi");
    EXPECT_TRUE(App().RecordedFile.empty());
}

TEST_F(MediaLoadingTest, DownloadAnswerNamesAreChecked)
{
    const std::string temp = dir_.file("temp");
    std::filesystem::create_directories(temp + "/sub");
    WriteTextFile(temp + "/a.mp4", "x");
    WriteTextFile(temp + "/sub/b.mp4", "x");
    WriteTextFile(dir_.file("outside.mp4"), "x");
    std::filesystem::create_symlink(dir_.file("outside.mp4"), temp + "/link.mp4");
    std::vector<std::string> skipped;
    const auto names = DownloadedNames(
        "a.mp4|/etc/passwd|../outside.mp4|sub/../a.mp4|missing.mp4|link.mp4|sub||sub/b.mp4|tail-without-bar", temp,
        skipped);
    EXPECT_EQ(names, (std::vector<std::string>{temp + "/a.mp4", temp + "/sub/b.mp4"}));
    EXPECT_EQ(skipped, (std::vector<std::string>{"/etc/passwd", "../outside.mp4", "sub/../a.mp4", "missing.mp4",
                                                 "link.mp4", "sub"}));
    EXPECT_TRUE(DownloadedNames("no-bar.mp4", temp, skipped).empty());
}

TEST_F(MediaLoadingTest, DownloadPlugInRunsFromTheProgramFolderOnly)
{
    const std::string program = dir_.file("program") + "/";
    std::string error;
    EXPECT_EQ(RunDownloadPlugIn(program, error), TDownloadOutcome::NotInstalled);
    EXPECT_EQ(DownloadNotInstalledText(), "The download plug-in is not installed.");
    std::filesystem::create_directories(program + "LibAV");
    std::filesystem::copy_file(TARNELLO_TEST_DOWNLOADER, program + "LibAV/downloader.so");
    App().TempFilesFolder = dir_.file("temp");
    App().LanguageIndex = 1;
    std::filesystem::create_directories(App().TempFilesFolder);
    WriteTextFile(App().TempFilesFolder + "/got.mp4", "x");
    unsetenv("TARNELLO_TEST_DOWNLOAD_ANSWER");
    EXPECT_EQ(RunDownloadPlugIn(program, error), TDownloadOutcome::NoResult);
    setenv("TARNELLO_TEST_DOWNLOAD_ANSWER", "got.mp4|../../x|", 1);
    EXPECT_EQ(RunDownloadPlugIn(program, error), TDownloadOutcome::Files);
    unsetenv("TARNELLO_TEST_DOWNLOAD_ANSWER");
    EXPECT_EQ(std::string(std::getenv("TARNELLO_TEST_DOWNLOAD_SEEN")), "skin-new|" + App().TempFilesFolder + "|1");
    ASSERT_EQ(App().DownloadedFiles->Count(), 1);
    EXPECT_EQ((*App().DownloadedFiles)[0], App().TempFilesFolder + "/got.mp4");
    EXPECT_TRUE(Logged("../../x"));
    EXPECT_EQ(PendingSources(), std::vector<std::string>{App().TempFilesFolder + "/got.mp4"});
}
