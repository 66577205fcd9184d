// The preview's window side with a stand-in player: the time label and the
// position bar, dragging, the end of a file, the volume; snapshots that
// never replace a file; and the private SDL copies.
#include "app/windows/PreviewPanel.h"
#include "app/windows/PreviewSDLCopy.h"
#include "app/windows/SnapshotFiles.h"
#include "platform/gui/Bitmap.h"
#include "platform/gui/ExtCtrls.h"
#include "skin/controls/SkinLabels.h"
#include "skin/controls/SkinTrackBars.h"

#include "AppTestSupport.h"
#include "WindowsTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace {

using namespace windowstest;
namespace fs = std::filesystem;

struct TFakePlayer : IPreviewPlayer {
    bool Loaded = false;
    bool LoadFails = false;
    std::vector<std::string> Calls;
    std::int64_t SeekedTo = -1;
    int Volume = -1;
    TBitmap Frame;
    bool AVLibLoaded() const override { return Loaded; }
    bool LoadAVLib(const std::string&) override
    {
        Calls.push_back("LoadAVLib");
        Loaded = !LoadFails;
        return Loaded;
    }
    bool Open(const std::string& Source, HWND) override
    {
        Calls.push_back("Open " + Source);
        return true;
    }
    void Stop() override { Calls.push_back("Stop"); }
    void Resume() override { Calls.push_back("Resume"); }
    void TogglePause() override { Calls.push_back("TogglePause"); }
    void Seek(std::int64_t p) override { SeekedTo = p; }
    TBitmap* CurrentFrame() override { return &Frame; }
    void SetAudioVolume(int v) override { Volume = v; }
    std::string LastErrMsg() const override { return "Load library avcodec error"; }
};

constexpr std::int64_t kHour = 3600LL * 1000000;

class PreviewPanel : public TWindowsTest {
protected:
    void SetUp() override
    {
        TWindowsTest::SetUp();
        bar = Make<TspSkinTrackBar>(Form, 10, 160, 225, 20);
        bar->SetMaxValue(1000);
        label = new TspSkinStdLabel(Owner);
        label->SetParent(Form);
        pause = new TspSkinStdLabel(Owner);
        pause->SetParent(Form);
        preview = std::make_unique<TPreviewPanel>(&player);
        preview->VideoTrackBar = bar;
        preview->lblPlayTime = label;
        preview->PauseButton = pause;
        preview->SelectedRow = [] { return 1; };
        preview->PrimaryButtonDown = [this] { return buttonDown; };
        preview->ShowError = [this](const std::string& m) { errors.push_back(m); };
        preview->ReportError = [this](const std::string& m, const std::string& mark) { reports.push_back(mark + " " + m); };
        App().ScreenShotsPath = dir.file("shots");
        fs::create_directories(App().ScreenShotsPath);
        App().MediaFiles.push_back(Item("Clip"));
        player.Frame.SetSize(16, 8);
        player.Frame.Canvas()->Brush()->SetColor(clRed);
        player.Frame.Canvas()->FillRect(TRect(0, 0, 16, 8));
    }
    void TearDown() override
    {
        preview.reset();
        TWindowsTest::TearDown();
    }
    std::vector<std::string> Shots()
    {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(App().ScreenShotsPath))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    tarnello::test::TempDir dir;
    TFakePlayer player;
    TspSkinTrackBar* bar = nullptr;
    TspSkinStdLabel* label = nullptr;
    TspSkinStdLabel* pause = nullptr;
    std::unique_ptr<TPreviewPanel> preview;
    bool buttonDown = false;
    std::vector<std::string> errors, reports;
};

TEST_F(PreviewPanel, PositionMovesTheBarAndTheLabel)
{
    int w = 0, h = 0;
    preview->DIRudidiFileOpen(nullptr, 2 * kHour, 640, 480, w, h);
    EXPECT_EQ(preview->FDuration, 2 * kHour);
    EXPECT_EQ(w, GetSystemMetrics(SM_CXSCREEN));  // no panel: the desktop's size
    preview->DIRudidiPosition(nullptr, kHour + 2 * 60 * 1000000LL + 3900000);
    EXPECT_EQ(label->Caption(), "01:02:03 / 02:00:00");
    EXPECT_EQ(bar->Value(), 517);
    // Position 0 moves the bar but leaves the label.
    preview->DIRudidiPosition(nullptr, 0);
    EXPECT_EQ(bar->Value(), 0);
    EXPECT_EQ(label->Caption(), "01:02:03 / 02:00:00");
}

TEST_F(PreviewPanel, DraggingHoldsTheBarAndReleasingSeeksOnce)
{
    int w = 0, h = 0;
    preview->DIRudidiFileOpen(nullptr, 2 * kHour, 640, 480, w, h);
    preview->VideoTrackBarStartDragButton(nullptr);
    buttonDown = true;
    bar->SetValue(250);
    preview->DIRudidiPosition(nullptr, kHour);
    EXPECT_EQ(bar->Value(), 250);
    preview->VideoTrackBarLastChange(nullptr);  // still held: no seek
    EXPECT_EQ(player.SeekedTo, -1);
    buttonDown = false;
    preview->VideoTrackBarLastChange(nullptr);
    EXPECT_EQ(player.SeekedTo, 2 * kHour / 4);
    EXPECT_FALSE(preview->PreviewPositionDragging);
    preview->DIRudidiPosition(nullptr, kHour);
    EXPECT_EQ(bar->Value(), 500);
}

TEST_F(PreviewPanel, TheEndOfAFileStopsThePreview)
{
    int w = 0, h = 0;
    preview->DIRudidiFileOpen(nullptr, 90 * 1000000LL, 640, 480, w, h);
    preview->DIRudidiPosition(nullptr, 45 * 1000000LL);
    EXPECT_EQ(bar->Value(), 500);
    preview->DIRudidiState(nullptr, psEnd);
    EXPECT_EQ(preview->PreviewPlayState, psEnd);
    EXPECT_EQ(player.Calls.back(), "Stop");
    EXPECT_EQ(bar->Value(), 0);
    EXPECT_EQ(label->Caption(), "00:01:30 / 00:01:30");
    EXPECT_FALSE(pause->Visible());
}

TEST_F(PreviewPanel, PlayPauseAndVolume)
{
    fs::path clip = dir.file("Clip.mp4");
    std::ofstream(clip) << "x";
    App().MediaFiles[0].Source = clip.string();
    preview->PlayButtonClick(nullptr);
    EXPECT_EQ(player.Calls, (std::vector<std::string>{"LoadAVLib", "Open " + clip.string()}));
    EXPECT_TRUE(pause->Visible());
    preview->PauseButtonClick(nullptr);
    EXPECT_FALSE(pause->Visible());
    preview->DIRudidiState(nullptr, psPause);
    preview->PlayButtonClick(nullptr);
    EXPECT_EQ(player.Calls.back(), "Resume");
    int followed = -1;
    preview->OnVolume = [&](int v) { followed = v; };
    preview->VolumeTrackBarChange(64);
    EXPECT_EQ(player.Volume, 64);
    EXPECT_EQ(followed, 64);
    // A missing file opens nothing; a library failure is reported.
    preview->DIRudidiState(nullptr, psStop);
    App().MediaFiles[0].Source = dir.file("gone.mp4");
    player.Calls.clear();
    preview->PlayButtonClick(nullptr);
    EXPECT_TRUE(player.Calls.empty());
    player.Loaded = false;
    player.LoadFails = true;
    EXPECT_FALSE(preview->OpenVideo(clip.string()));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], "CLM_LoadAVLib Load library avcodec error");
}

TEST_F(PreviewPanel, SnapshotsNeverReplaceAFile)
{
    EXPECT_NE(preview->SnapshotButtonClick(nullptr), "");
    EXPECT_NE(preview->SnapshotButtonClick(nullptr), "");
    preview->SnapshotFormat = sfBMP;
    EXPECT_NE(preview->SnapshotButtonClick(nullptr), "");
    EXPECT_EQ(Shots(), (std::vector<std::string>{"Clip_1.bmp", "Clip_1.jpg", "Clip_2.jpg"}));
    TPicture check;
    check.LoadFromFile(App().ScreenShotsPath + "/Clip_1.bmp");
    EXPECT_EQ(check.Width(), 16);
    // A second run starts at 1 again and skips what exists.
    const auto before = fs::file_size(App().ScreenShotsPath + "/Clip_1.jpg");
    TPreviewPanel second(&player);
    second.SelectedRow = [] { return 1; };
    EXPECT_EQ(second.SnapshotButtonClick(nullptr), App().ScreenShotsPath + "/Clip_3.jpg");
    EXPECT_EQ(fs::file_size(App().ScreenShotsPath + "/Clip_1.jpg"), before);
    EXPECT_EQ(second.Counters.JpegSnapshotCounter, 4);
    // A link under the next name is not written through.
    fs::create_symlink(dir.file("elsewhere"), App().ScreenShotsPath + "/Clip_4.jpg");
    EXPECT_EQ(second.SnapshotButtonClick(nullptr), App().ScreenShotsPath + "/Clip_5.jpg");
    EXPECT_FALSE(fs::exists(dir.file("elsewhere")));
    // Nothing shown: nothing saved.
    player.Frame.SetSize(0, 0);
    EXPECT_EQ(second.SnapshotButtonClick(nullptr), "");
}

TEST_F(PreviewPanel, AnUnavailableSnapshotFolderShowsTheMessage)
{
    struct Case {
        std::string Folder;
    } cases[] = {{dir.file("missing/folder")}, {dir.file("a-file")}};
    std::ofstream(dir.file("a-file")) << "x";
    for (const Case& c : cases) {
        errors.clear();
        App().ScreenShotsPath = c.Folder;
        EXPECT_EQ(preview->SnapshotButtonClick(nullptr), "");
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0], "Cannot take snapshot.\r\nMake sure Snapshot Folder is available.");
        EXPECT_EQ(preview->Counters.JpegSnapshotCounter, 1);
    }
}

TEST(PreviewTime, Text)
{
    EXPECT_EQ(PreviewTimeText(0), "00:00:00");
    EXPECT_EQ(PreviewTimeText(26LL * 3600 * 1000000), "26:00:00");
}

class SDLCopy : public tarnello::test::AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        const char* r = std::getenv("XDG_RUNTIME_DIR");
        savedRuntime = r ? std::optional<std::string>(r) : std::nullopt;
        library = dir_.file("libSDL-1.2.so.0");
        std::ofstream(library) << "library bytes";
    }
    void TearDown() override
    {
        if (savedRuntime)
            setenv("XDG_RUNTIME_DIR", savedRuntime->c_str(), 1);
        else
            unsetenv("XDG_RUNTIME_DIR");
        unsetenv("XDG_CACHE_HOME");
        AppTest::TearDown();
    }
    static std::string Read(const std::string& p)
    {
        std::ifstream in(p);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static unsigned Mode(const std::string& p)
    {
        struct stat st {};
        lstat(p.c_str(), &st);
        return st.st_mode & 0777;
    }
    std::optional<std::string> savedRuntime;
    std::string library;
};

TEST_F(SDLCopy, CopiesAreWrittenAfreshIntoAPrivateFolder)
{
    const std::string runtime = dir_.file("run");
    fs::create_directories(runtime);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    std::string error;
    const std::string copy = PrepareSDLLibrary(0, error, library);
    ASSERT_EQ(copy, runtime + "/tarnello-sdl/SDL_0.so") << error;
    EXPECT_EQ(Mode(runtime + "/tarnello-sdl"), 0700u);
    EXPECT_EQ(Read(copy), "library bytes");
    // A file planted under the name is replaced by a fresh copy.
    std::ofstream(copy, std::ios::trunc) << "planted";
    EXPECT_EQ(PrepareSDLLibrary(0, error, library), copy);
    EXPECT_EQ(Read(copy), "library bytes");
    EXPECT_EQ(PrepareSDLLibrary(3, error, library), runtime + "/tarnello-sdl/SDL_3.so");
    // A folder opened to others is closed again.
    chmod((runtime + "/tarnello-sdl").c_str(), 0777);
    EXPECT_EQ(PrepareSDLLibrary(1, error, library), runtime + "/tarnello-sdl/SDL_1.so");
    EXPECT_EQ(Mode(runtime + "/tarnello-sdl"), 0700u);
}

TEST_F(SDLCopy, FallsBackToTheCacheFolderAndRefusesLinks)
{
    unsetenv("XDG_RUNTIME_DIR");
    std::string error;
    EXPECT_EQ(PrepareSDLLibrary(2, error, library), home_ + "/.cache/tarnello/sdl/SDL_2.so") << error;
    EXPECT_EQ(Mode(home_ + "/.cache/tarnello/sdl"), 0700u);
    // A runtime folder whose place is a link elsewhere is not used.
    const std::string runtime = dir_.file("run2");
    fs::create_directories(runtime);
    fs::create_directories(dir_.file("other"));
    fs::create_directory_symlink(dir_.file("other"), runtime + "/tarnello-sdl");
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    EXPECT_EQ(PrepareSDLLibrary(2, error, library), home_ + "/.cache/tarnello/sdl/SDL_2.so");
    EXPECT_TRUE(fs::is_empty(dir_.file("other")));
    // No library: a clear failure.
    EXPECT_EQ(PrepareSDLLibrary(0, error, dir_.file("none.so")), "");
    EXPECT_NE(error, "");
}

}  // namespace
