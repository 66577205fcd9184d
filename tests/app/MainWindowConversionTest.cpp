// The main window with the conversion hooks installed, headless on the
// memory screen: files dropped on it pass through the loading window into
// the queue, Convert runs them through the real engine (outputs checked with
// ffprobe), Pause and Stop, a failing item beside good ones, the plug-in
// messages, Properties, DVD titles through the test plug-in, and screenshots
// (main-window-converting.png, loading-window.png, dvd-info-window.png,
// fileinfo-window-filled.png; on the X display loading-window-x11.png and
// dvd-info-window-x11.png).
#include "AppTestSupport.h"
#include "ConversionTestSupport.h"
#include "app/core/DVDPlugIn.h"
#include "app/core/MediaLoading.h"
#include "app/core/RunControl.h"
#include "app/core/TaskBuilder.h"
#include "app/windows/DVDInfoForm.h"
#include "app/windows/FileInfoForm.h"
#include "app/windows/LoadForm.h"
#include "app/windows/MainForm.h"
#include "app/windows/MainWindowConversion.h"
#include "app/windows/RecForm.h"
#include "app/windows/RecorderHooks.h"
#include "engine/encoder/FFEncode.h"
#include "platform/backend/Headless.h"
#include "platform/classes/FormReader.h"
#include "platform/rtl/Threads.h"
#include "platform/user/User.h"
#include "skin/lists/DialogsTestSupport.h"
#include "support/X11TestSession.h"

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace tarnello::test;

namespace {

// Counts the run's final end records on their way to the window.
class TEndSpy : public TObject {
public:
    void Attach(TCustomEncoder& E)
    {
        Inner = E.OnTerminate;
        E.OnTerminate = TTerminateEvent::Bind(this, &TEndSpy::Terminate);
    }
    void Terminate(TObject* Sender, const TTerminateInfo& Info)
    {
        Inner(Sender, Info);
        if (Info.TaskIndex < 0)
            ++Ends;
    }
    TTerminateEvent Inner;
    int Ends = 0;
};

class MainWindowConversionTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        HeadlessReset();
        RegisterApplicationClasses();
        SetFormPictureFolder(BuildFolder() + "/pictures");
        MainFormHooks() = TMainFormHooks{};
        InstallConversionHooks();
        savedPrompts_ = ConversionPrompts();
        ConversionPrompts().Ask = [this](TMainForm&, const std::string& T) {
            questions_.push_back(T);
            return answer_;
        };
        ConversionPrompts().Inform = [this](TMainForm&, const std::string& T) { messages_.push_back(T); };
        const std::string program = dir_.file("program");
        fs::create_directories(program);
        for (const char* part : {"languages", "tarnello-profiles", "skin-new"})
            fs::create_directory_symlink(BuildFolder() + "/" + part, program + "/" + part);
        App().ProgramFolder = program + "/";
        Application->CreateForm(MainForm);
        ASSERT_NE(MainForm, nullptr);
        Application->CreateForm(DVDInfoForm);
        Application->CreateForm(LoadForm);
        LoadForm->Inform = [this](const std::string& T) { messages_.push_back(T); };
        f = MainForm;
        ASSERT_TRUE(f->MediaLibrariesLoaded);
        f->Quorvel->SetProgressInterval(100);
        out = dir_.file("out");
        fs::create_directories(out);
        f->edDestinationFolder->SetText(out);
        f->OpenOutputFolder1->SetChecked(false);
        App().UseAllCPUs = false;
        App().CustomCPUNumber = 2;
        MainWindowRun(*f).Launcher = [](const std::vector<std::string>&) { return false; };
        spy.Attach(*f->Quorvel);
        f->Show();
        Application->ProcessMessages();
    }
    void TearDown() override
    {
        if (f && f->Quorvel)
            f->Quorvel->Stop(true);
        for (TForm* form : {static_cast<TForm*>(LoadForm), static_cast<TForm*>(DVDInfoForm),
                            static_cast<TForm*>(FileInfoForm), static_cast<TForm*>(MainForm)})
            if (form)
                form->Free();
        LoadForm = nullptr;
        DVDInfoForm = nullptr;
        FileInfoForm = nullptr;
        UnloadDVDPlugIn();
        Application->SetMainForm(nullptr);
        MainFormHooks() = TMainFormHooks{};
        ConversionPrompts() = savedPrompts_;
        FileChooser() = nullptr;
        Application->ProcessMessages();
        HeadlessReset();
        DeleteRunTempFiles();
        AppTest::TearDown();
    }
    std::string Mp4(const std::string& name, double seconds)
    {
        const std::string file = dir_.file(name);
        const std::string d = std::to_string(seconds);
        EXPECT_TRUE(MakeClip(file, "-f lavfi -i testsrc=size=320x240:rate=25:duration=" + d +
                                       " -f lavfi -i sine=frequency=440:sample_rate=48000:duration=" + d +
                                       " -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -shortest"));
        return file;
    }
    // New items take this preset.
    void UsePreset(const TFormat& F)
    {
        App().CurrentProfileIndex = 0;
        App().CurrentFormatIndex = AddPreset(F);
    }
    void Drop(const std::vector<std::string>& Files)
    {
        const TPoint p = f->sgList->ClientToScreen(TPoint(60, 60));
        ASSERT_TRUE(UserDropFiles(POINT{p.x, p.y}, Files));
        Application->ProcessMessages();
    }
    // Serves both the engine's events and the window messages.
    bool Serve(const std::function<bool()>& Done, int Seconds = 120)
    {
        for (int i = 0; i < Seconds * 100 && !Done(); ++i) {
            CheckSynchronize(10);
            Application->ProcessMessages();
        }
        return Done();
    }
    bool ConvertAndWait()
    {
        const int ends = spy.Ends;
        f->StartButtonClick(f->StartButton);
        return Serve([&] { return spy.Ends > ends; });
    }

    // The test plug-in in the program's LibAV folder, and the titles of its
    // fake disc in the queue (the second title cannot be read).
    void LoadTestDisc()
    {
        const std::string libav = App().ProgramFolder + "LibAV";
        fs::create_directories(libav);
        fs::copy_file(TARNELLO_TEST_DVDDEC, libav + "/dvddec.so", fs::copy_options::overwrite_existing);
        ASSERT_TRUE(LoadDVDPlugIn(libav)) << DVDPlugInLastError();
        OpenDVDFolder(*f, "/media/disc");
        ASSERT_EQ(App().MediaFiles.size(), 2u);
        ASSERT_EQ(App().MediaMode, 1);
    }

    TMainForm* f = nullptr;
    std::string out;
    TEndSpy spy;
    bool answer_ = true;
    std::vector<std::string> questions_, messages_;
    TConversionPrompts savedPrompts_;
};

TEST_F(MainWindowConversionTest, ADroppedClipIsLoadedAndConverted)
{
    UsePreset(VideoPreset("MP4", ".mp4", "320", "240", "25000"));
    const std::string clip = Mp4("dropped clip.mp4", 2);
    Drop({clip});
    ASSERT_EQ(App().MediaFiles.size(), 1u);
    const TMediaFile& item = App().MediaFiles[0];
    EXPECT_EQ(item.Source, clip);
    EXPECT_EQ(item.Status, "Ready");
    EXPECT_TRUE(item.Checked);
    EXPECT_GE(item.VideoThumbnailIndex, 0);
    // The queue's controls are on and the grid selects the new row.
    EXPECT_FALSE(f->GettingStartedPanel->Visible());
    EXPECT_TRUE(f->StartButton->Enabled());
    EXPECT_EQ(f->sgList->RowCount(), 2);
    EXPECT_EQ(f->sgList->Row(), 1);
    EXPECT_EQ(App().MediaMode, 0);

    ASSERT_TRUE(ConvertAndWait());
    EXPECT_EQ(App().MediaFiles[0].Status, "100%");
    EXPECT_FALSE(App().MediaFiles[0].Checked);
    EXPECT_FALSE(f->ProgressTimer->Enabled());
    EXPECT_FALSE(f->StopBtn->Enabled());
    EXPECT_TRUE(f->AddButton->Enabled());
    const std::string output = out + "/dropped clip.mp4";
    ASSERT_TRUE(fs::exists(output));
    EXPECT_NE(ProbeText(output, "-select_streams v:0 -show_entries stream=codec_name").find("h264"), std::string::npos);
    EXPECT_NE(ProbeText(output, "-select_streams a:0 -show_entries stream=codec_name").find("aac"), std::string::npos);
    const std::string d = ProbeText(output, "-show_entries format=duration");
    ASSERT_NE(d.find('='), std::string::npos);
    EXPECT_NEAR(std::atof(d.c_str() + d.find('=') + 1), 2.0, 0.2);
}

TEST_F(MainWindowConversionTest, PauseThenStopEndsTheRunWithCancelledItems)
{
    UsePreset(VideoPreset("MP4", ".mp4", "320", "240", "25000"));
    App().CustomCPUNumber = 1;
    Drop({Mp4("long.mp4", 60)});
    ASSERT_EQ(App().MediaFiles.size(), 1u);
    const int ends = spy.Ends;
    f->StartButtonClick(f->StartButton);
    EXPECT_TRUE(f->ProgressTimer->Enabled());
    EXPECT_TRUE(f->StopBtn->Enabled());
    EXPECT_FALSE(f->AddButton->Enabled());
    ASSERT_TRUE(Serve([&] { return App().MediaFiles[0].StatusS > 0.5f; }));
    // The window while it converts.
    f->sgList->Repaint();
    Application->ProcessMessages();
    SaveWindowShot(f->Handle(), ShotPath("main-window-converting.png"));
    f->PauseBtnClick(f->PauseBtn);
    EXPECT_TRUE(f->Quorvel->Paused());
    EXPECT_FALSE(f->PauseBtn->Enabled());
    EXPECT_TRUE(f->StartButton->Enabled());
    f->StopBtnClick(f->StopBtn);
    ASSERT_TRUE(Serve([&] { return spy.Ends > ends; }));
    EXPECT_EQ(App().MediaFiles[0].Status, "Cancelled");
    EXPECT_FALSE(f->StopBtn->Enabled());
    EXPECT_FALSE(f->ProgressTimer->Enabled());
}

TEST_F(MainWindowConversionTest, AFailingItemShowsItsErrorAndTheOthersFinish)
{
    UsePreset(VideoPreset("MP4", ".mp4", "160", "120", "25000"));
    TFormat h263 = VideoPreset("3GP", ".3gp", "640", "480", "25000");
    h263.VideoCodecName = "h263";
    const int bad = AddPreset(h263);
    Drop({Mp4("good1.mp4", 1), Mp4("bad.mp4", 1), Mp4("good2.mp4", 1)});
    ASSERT_EQ(App().MediaFiles.size(), 3u);
    App().MediaFiles[1].FormatInd = bad;
    ASSERT_TRUE(ConvertAndWait());
    EXPECT_EQ(App().MediaFiles[0].Status, "100%");
    EXPECT_EQ(App().MediaFiles[1].Status, "Failed");
    EXPECT_TRUE(App().MediaFiles[1].Checked);
    EXPECT_EQ(App().MediaFiles[2].Status, "100%");
    EXPECT_TRUE(fs::exists(out + "/good1.mp4"));
    EXPECT_TRUE(fs::exists(out + "/good2.mp4"));
    EXPECT_EQ(Marks(), std::vector<std::string>{"CLM_Terminate"});
    // The controls come back for another try.
    EXPECT_TRUE(f->AddButton->Enabled());
}

TEST_F(MainWindowConversionTest, BadFilesAreReportedAndTheOthersAdded)
{
    UsePreset(VideoPreset("MP4", ".mp4", "320", "240", "25000"));
    const std::string garbage = dir_.file("garbage.mp4");
    { std::ofstream(garbage) << "not a video at all"; }
    Drop({Mp4("one.mp4", 1), garbage, dir_.file("missing.mp4"), Mp4("two.mp4", 1)});
    ASSERT_EQ(App().MediaFiles.size(), 2u);
    EXPECT_EQ(App().MediaFiles[1].SourceTitleExt, "two.mp4");
    // One message for each file that could not be read, naming it.
    ASSERT_EQ(messages_.size(), 2u);
    EXPECT_NE(messages_[0].find("garbage.mp4"), std::string::npos);
    EXPECT_NE(messages_[1].find("missing.mp4"), std::string::npos);
    ASSERT_EQ(LoadForm->Job, nullptr);
    EXPECT_FALSE(LoadForm->IsShown);
}

TEST_F(MainWindowConversionTest, ADroppedFolderIsReportedAndLeftAlone)
{
    UsePreset(VideoPreset("MP4", ".mp4", "320", "240", "25000"));
    const std::string folder = dir_.file("holiday.mp4");
    fs::create_directories(folder);
    tarnello::test::WriteTextFile(folder + "/inside.txt", "kept");
    Drop({folder});
    EXPECT_TRUE(App().MediaFiles.empty());
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_NE(messages_[0].find("holiday.mp4"), std::string::npos);
    EXPECT_TRUE(fs::exists(folder + "/inside.txt"));
}

TEST_F(MainWindowConversionTest, TheOpenDialogRoadUsesTheChooserAndCancelAddsNothing)
{
    UsePreset(VideoPreset("MP4", ".mp4", "320", "240", "25000"));
    f->AddButtonClick(f->AddButton);  // no chooser connected: nothing happens
    EXPECT_TRUE(App().MediaFiles.empty());
    std::vector<std::string> chosen;
    FileChooser() = [&](TMainForm&) { return chosen; };
    f->AddButtonClick(f->AddButton);  // cancelled
    EXPECT_TRUE(App().MediaFiles.empty());
    chosen = {Mp4("picked.mp4", 1)};
    f->Openvideo1->Click();
    ASSERT_EQ(App().MediaFiles.size(), 1u);
    EXPECT_EQ(App().MediaFiles[0].SourceTitleExt, "picked.mp4");
    EXPECT_TRUE(questions_.empty());
}

TEST_F(MainWindowConversionTest, MissingPlugInsSaySo)
{
    f->DownloadButtonClick(f->DownloadButton);
    f->LoadDVDButtonClick(f->LoadDVDButton);
    ASSERT_EQ(messages_.size(), 2u);
    EXPECT_EQ(messages_[0], DownloadNotInstalledText());
    EXPECT_EQ(messages_[1], DVDPlugInNotInstalledText());
    EXPECT_TRUE(App().MediaFiles.empty());
}

TEST_F(MainWindowConversionTest, TheLoadingWindowShowsTheNameAndCancels)
{
    ASSERT_NE(LoadForm, nullptr);
    // The skinned frame takes its caption and borders around the 354 x 121 area.
    EXPECT_GE(LoadForm->ClientWidth(), 354);
    EXPECT_GE(LoadForm->ClientHeight(), 121);
    EXPECT_EQ(LoadForm->Caption(), "Loading Video");
    int runs = 0;
    LoadForm->Job = [&](ILoadingDialog& D) {
        ++runs;
        D.ShowProgress("Loading /videos/holiday at the sea.mp4", 40);
        Application->ProcessMessages();
        LoadForm->Repaint();
        SaveWindowShot(LoadForm->Handle(), ShotPath("loading-window.png"));
        EXPECT_FALSE(D.CancelRequested());
        LoadForm->CancelButton->Click();
        EXPECT_TRUE(D.CancelRequested());
    };
    LoadForm->ShowModal();
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(LoadForm->CancelButton->Tag(), 0);
    EXPECT_EQ(LoadForm->Gauge->Value(), 40);
    LoadForm->IsShown = false;
}

TEST_F(MainWindowConversionTest, TheDVDInformationWindowShowsTheTitlesAndCloses)
{
    ASSERT_NE(DVDInfoForm, nullptr);
    EXPECT_EQ(DVDInfoForm->Caption(), "DVD Info");
    const std::vector<std::string> lines = {"Title 1: 00:42:10, 720x576, 2 audio tracks",
                                            "Title 2: 00:03:05, 720x576, 1 audio track",
                                            "Title 3: 00:00:40, 720x480, no audio"};
    DVDInfoForm->SetDescription(lines);
    ASSERT_EQ(DVDInfoForm->Memo1->Lines()->Count(), 3);
    EXPECT_EQ(DVDInfoForm->Memo1->Lines()->Strings(2), lines[2]);
    DVDInfoForm->Show();
    Application->ProcessMessages();
    DVDInfoForm->Repaint();
    SaveWindowShot(DVDInfoForm->Handle(), ShotPath("dvd-info-window.png"));
    // OK is the modal answer that ends the main window's ShowModal.
    DVDInfoForm->spSkinButton1->Click();
    EXPECT_EQ(DVDInfoForm->ModalResult(), mrOk);
    DVDInfoForm->Hide();
}

TEST_F(MainWindowConversionTest, TheRecordCommandQueuesOnlyAFileTheRecordingLeft)
{
    InstallRecorderHooks();
    Application->CreateForm(RecForm);
    ASSERT_NE(RecForm, nullptr);
    std::vector<std::string> loaded;
    RecordingLoader() = [&](const std::string& Path) { loaded.push_back(Path); };
    const std::string made = Mp4("Record 1.mp4", 1);
    // What the recorder window leaves behind when it closes, and what the
    // command then hands to the queue.
    const struct {
        std::string recorded;
        std::vector<std::string> queued;
    } cases[] = {
        {made, {made}},
        {"", {}},                                     // closed without recording
        {dir_.file("Record 2.mp4"), {}},               // started, but no file was made
    };
    for (const auto& c : cases) {
        loaded.clear();
        liststest::TModalDriver driver({[&](TCustomForm* m) {
            EXPECT_EQ(m, RecForm);
            EXPECT_EQ(App().RecordedFile, "");  // nothing from an earlier recording
            App().RecordedFile = c.recorded;
            m->SetModalResult(mrCancel);
        }});
        f->RecordButton->Click();
        EXPECT_EQ(driver.Done(), 1u);
        EXPECT_EQ(loaded, c.queued) << c.recorded;
    }
    RecordingLoader() = nullptr;
    RecForm->Free();
    RecForm = nullptr;
}

TEST_F(MainWindowConversionTest, PropertiesFillTheFileInformationWindow)
{
    Application->CreateForm(FileInfoForm);
    ASSERT_NE(FileInfoForm, nullptr);
    UsePreset(VideoPreset("MP4", ".mp4", "320", "240", "25000"));
    Drop({Mp4("first.mp4", 1), Mp4("second clip.mp4", 2)});
    ASSERT_EQ(App().MediaFiles.size(), 2u);
    f->sgList->SetRow(2);
    std::vector<std::string> shown;
    liststest::TModalDriver driver({[&](TCustomForm* m) {
        EXPECT_EQ(m, FileInfoForm);
        for (TspSkinLabel* l : {FileInfoForm->spSkinLabel2, FileInfoForm->spSkinLabel3, FileInfoForm->spSkinLabel1,
                                FileInfoForm->spSkinLabel5, FileInfoForm->spSkinLabel6, FileInfoForm->spSkinLabel7})
            shown.push_back(l->Caption());
        FileInfoForm->Repaint();
        SaveWindowShot(FileInfoForm->Handle(), ShotPath("fileinfo-window-filled.png"));
        FileInfoForm->spSkinButton1->Click();
    }});
    f->FileInformationClick(f->FileInformation1);
    EXPECT_EQ(driver.Done(), 1u);
    EXPECT_EQ(shown, (std::vector<std::string>{"second clip.mp4", "00:00:02", "320x240", "25 fps", "48000 Hz",
                                               "1 channel"}));

    // A source that went away shows no window and reports why.
    fs::remove(App().MediaFiles[0].Source);
    f->sgList->SetRow(1);
    liststest::TModalDriver none({});
    f->FileInformationClick(f->FileInformation1);
    EXPECT_EQ(none.Done(), 0u);
    EXPECT_FALSE(FileInfoForm->Visible());
    EXPECT_EQ(Marks(), std::vector<std::string>{"CLM_ProbeLoadFile"});
}

TEST_F(MainWindowConversionTest, ADropOnTheDVDQueueAsksAndNoKeepsTheTitles)
{
    LoadTestDisc();
    EXPECT_EQ(App().MediaFiles[1].DestinationTitle, "Title3");
    // The information window holds the disc's description.
    ASSERT_GT(DVDInfoForm->Memo1->Lines()->Count(), 0);
    EXPECT_EQ(DVDInfoForm->Memo1->Lines()->Strings(0), "There are 3 title(s) in /media/disc");

    UsePreset(VideoPreset("MP4", ".mp4", "320", "240", "25000"));
    const std::string clip = Mp4("dropped.mp4", 1);
    answer_ = false;
    Drop({clip});
    EXPECT_EQ(questions_.size(), 1u);
    ASSERT_EQ(App().MediaFiles.size(), 2u);
    EXPECT_EQ(App().MediaMode, 1);
    EXPECT_EQ(App().MediaFiles[0].Source, "Title1");
    EXPECT_NE(App().MediaFiles[0].DVDTitleInfo, nullptr);

    answer_ = true;
    Drop({clip});
    EXPECT_EQ(questions_.size(), 2u);
    ASSERT_EQ(App().MediaFiles.size(), 1u);
    EXPECT_EQ(App().MediaMode, 0);
    EXPECT_EQ(App().MediaFiles[0].Source, clip);
    EXPECT_EQ(App().MediaFiles[0].DVDTitleInfo, nullptr);
}

// The loading and DVD information windows on the X display.
TEST_F(MainWindowConversionTest, TheLoadingAndDVDWindowsShowOnTheXScreen)
{
    LoadTestDisc();
    std::vector<std::string> description;
    for (int i = 0; i < DVDInfoForm->Memo1->Lines()->Count(); ++i)
        description.push_back(DVDInfoForm->Memo1->Lines()->Strings(i));
    tarnello::test::X11TestSession x11;
    if (!x11.Ok())
        GTEST_SKIP() << "no X display";
    x11.Select();
    LoadForm->Free();
    DVDInfoForm->Free();
    LoadForm = nullptr;
    DVDInfoForm = nullptr;
    Application->CreateForm(LoadForm);
    Application->CreateForm(DVDInfoForm);
    ASSERT_TRUE(LoadForm && DVDInfoForm);

    bool loadingSaved = false;
    LoadForm->Job = [&](ILoadingDialog& D) {
        D.ShowProgress("Loading /videos/holiday at the sea.mp4", 60);
        const TPoint probe = LoadForm->ClientToScreen(TPoint(LoadForm->ClientWidth() / 2, 8));
        EXPECT_TRUE(x11.WaitDrawn(probe.x, probe.y));
        x11.Settle(200);
        loadingSaved = x11.SaveWindow(LoadForm, "loading-window-x11.png");
    };
    LoadForm->ShowModal();
    LoadForm->IsShown = false;
    EXPECT_TRUE(loadingSaved);

    DVDInfoForm->SetDescription(description);
    DVDInfoForm->SetBounds(40, 40, DVDInfoForm->Width(), DVDInfoForm->Height());
    DVDInfoForm->Show();
    const TPoint probe = DVDInfoForm->Memo1->ClientToScreen(TPoint(20, 10));
    EXPECT_TRUE(x11.WaitDrawn(probe.x, probe.y));
    x11.Settle(200);
    EXPECT_TRUE(x11.SaveWindow(DVDInfoForm, "dvd-info-window-x11.png"));
    DVDInfoForm->Hide();
    LoadForm->Free();
    LoadForm = nullptr;
    DVDInfoForm->Free();
    DVDInfoForm = nullptr;
    Application->ProcessMessages();
    x11.Release();
}

}  // namespace
