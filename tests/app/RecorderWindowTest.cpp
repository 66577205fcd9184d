// The recorder and area-selection windows from their descriptions: texts
// and showing, the source and sound choices, the area window's rectangle
// (drawn either way, from a line's own coordinates, a click or a straight
// line keeping it open, Escape), the region rules through the recorder,
// a short recording of the memory screen with the test tone through the
// real encoder with one second paused by the hot keys, and the failures
// before a start. Screenshots: recorder-window.png, recorder-webcam.png,
// area-window.png.
#include "AppTestSupport.h"
#include "ConversionTestSupport.h"
#include "RecPrefsTestSupport.h"
#include "app/core/AppData.h"
#include "app/core/EventsLog.h"
#include "app/windows/FreeHandWindow.h"
#include "app/windows/MainForm.h"
#include "app/windows/RecForm.h"
#include "app/windows/RecorderHooks.h"
#include "app/windows/UserMessages.h"
#include "platform/backend/Headless.h"
#include "platform/classes/StringList.h"
#include "platform/media/SoundInput.h"
#include "platform/user/User.h"
#include "skin/controls/SkinDataAssign.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

using namespace windowstest;

namespace {

// Window tests on the fake clock.
class RecorderWindow : public RecPrefsWindows {
protected:
    void SetUp() override
    {
        RecPrefsWindows::SetUp();
        TFreeHandWindow::RegisterClasses();
        App().SkinFolder = tarnello::test::BuildFolder() + "/skin-new";
    }
    void TearDown() override
    {
        for (TForm* f : {static_cast<TForm*>(RecForm), static_cast<TForm*>(FreeHandWindow)})
            if (f)
                f->Free();
        RecForm = nullptr;
        FreeHandWindow = nullptr;
        RecPrefsWindows::TearDown();
    }
};

TEST_F(RecorderWindow, TextsShowingAndChoices)
{
    App().HotKeysFailed = false;
    TRecForm* f = Make(RecForm);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->Caption(), "Record Video");
    EXPECT_EQ(f->spSkinStdLabel5->Caption(), "Pause/Resume: Ctrl+Alt+P");
    EXPECT_EQ(f->spSkinStdLabel17->Caption(), "Stop recording: Ctrl+Alt+D");
    EXPECT_EQ(f->ochRecordAudio->Caption(), "Record audio from Wave In");
    ASSERT_EQ(f->spSkinComboBox1->Items()->Count(), 3);
    EXPECT_EQ(f->spSkinComboBox1->Items()->Strings(2), "Webcam");
    EXPECT_EQ(f->SavedClientHeight, f->ClientHeight());
    EXPECT_EQ(f->CaptureRegion, (TCaptureRegion{0, 0, Screen->Width(), Screen->Height()}));
    EXPECT_TRUE(f->chCaptureCursor->Checked());
    f->Show();
    Pump();
    EXPECT_EQ(f->ClientHeight(), 230);
    EXPECT_EQ(f->spSkinPanel1->Height(), 0);
    EXPECT_TRUE(f->spSkinStdLabel5->Visible());
    Shoot(f, "recorder-window.png");

    f->spSkinComboBox1->SetItemIndex(1);
    EXPECT_EQ(f->CaptureSource, TCaptureSource::PartOfScreen);
    f->spSkinComboBox1->SetItemIndex(2);
    EXPECT_EQ(f->CaptureSource, TCaptureSource::Webcam);
    f->ochRecordAudio->SetChecked(true);
    EXPECT_EQ(f->RecordAudio, 1);
    f->ochRecordAudio->SetChecked(false);
    EXPECT_EQ(f->RecordAudio, 0);
    // The webcam page as it shows while the camera records.
    f->spSkinPanel1->SetHeight(f->ClientHeight());
    f->Animation->SetActive(true);
    Shoot(f, "recorder-webcam.png");
    EXPECT_EQ(f->Animation->DefaultFramesCount(), 2);
    f->Animation->SetActive(false);

    // With the hot keys taken by another program their lines hide.
    f->Hide();
    App().HotKeysFailed = true;
    f->Show();
    Pump();
    EXPECT_FALSE(f->spSkinStdLabel5->Visible());
    EXPECT_FALSE(f->spSkinStdLabel17->Visible());
    f->Hide();
}

TEST_F(RecorderWindow, HotKeysDoNothingWhileIdleAndCancelCloses)
{
    TRecForm* f = Make(RecForm);
    ASSERT_NE(f, nullptr);
    f->Show();
    Pump();
    f->HotKey(1);
    f->HotKey(2);
    EXPECT_EQ(f->RecorderState, TRecorderState::Idle);
    EXPECT_FALSE(f->FWavePauseFlag.Paused());
    f->spSkinButton1Click(f);
    Pump();
    EXPECT_FALSE(f->Visible());
}

TEST_F(RecorderWindow, RegionRulesThroughTheSelection)
{
    TRecForm* f = Make(RecForm);
    ASSERT_NE(f, nullptr);
    struct TCase {
        bool Drawn;
        TCaptureRegion Rectangle, Expected;
    };
    const TCaptureRegion screen{0, 0, Screen->Width(), Screen->Height()};
    const TCase cases[] = {
        {true, {10, 20, 31, 17}, {10, 20, 64, 64}},
        {true, {40, 30, 301, 201}, {40, 30, 300, 200}},
        {true, {0, 0, 640, 480}, {0, 0, 640, 480}},
        {false, {}, {0, 0, 640, 480}},  // the window closed without a rectangle
    };
    for (const auto& c : cases) {
        f->SelectArea = [&c](TCaptureRegion& r) {
            r = c.Rectangle;
            return c.Drawn;
        };
        f->ChooseCaptureRegion(1);
        EXPECT_EQ(f->CaptureRegion, c.Expected);
    }
    f->ChooseCaptureRegion(2);  // the camera changes nothing
    EXPECT_EQ(f->CaptureRegion, (TCaptureRegion{0, 0, 640, 480}));
    f->ChooseCaptureRegion(0);
    EXPECT_EQ(f->CaptureRegion, screen);
}

TEST_F(RecorderWindow, TheAreaWindowCoversTheScreenAndTakesARectangle)
{
    // Something on the screen to copy.
    HDC dc = GetDC(nullptr);
    HBRUSH green = CreateSolidBrush(RGB(0, 160, 0));
    RECT patch{100, 100, 300, 200};
    FillRect(dc, &patch, green);
    DeleteObject(green);
    ReleaseDC(nullptr, dc);

    TFreeHandWindow* w = Make(FreeHandWindow);
    ASSERT_NE(w, nullptr);
    w->Show();
    Pump();
    EXPECT_EQ(w->Left(), 0);
    EXPECT_EQ(w->Top(), 0);
    EXPECT_EQ(w->Width(), Screen->Width());
    EXPECT_EQ(w->Height(), Screen->Height());
    EXPECT_EQ(ColorToRGB(ScreenAt(w, 150, 150)), RGB(0, 160, 0));  // the still copy
    EXPECT_FALSE(w->Shape1->Visible());
    EXPECT_EQ(ColorToRGB(w->Shape1->Pen()->Color()), RGB(255, 0, 0));

    // Moving without the button: the cross-hair follows.
    w->FormMouseMove(w, {}, 50, 60);
    EXPECT_TRUE(w->Shape1->Visible());
    EXPECT_EQ(w->Shape1->Left(), 50);
    EXPECT_EQ(w->Shape2->Top(), 60);
    EXPECT_FALSE(w->Shape3->Visible());
    EXPECT_EQ(w->HintShown(), "X: 50 Y: 60\n\r----------------------------------------\n\rHold down mouse and draw rectangle");

    // A click without moving, and a straight line, keep the window.
    w->FormMouseDown(w, mbLeft, {}, 50, 60);
    w->FormMouseUp(w, mbLeft, {}, 50, 60);
    EXPECT_EQ(w->ModalResult(), mrNone);
    w->FormMouseDown(w, mbLeft, {}, 50, 60);
    w->FormMouseMove(w, {}, 200, 60);
    w->FormMouseUp(w, mbLeft, {}, 200, 60);
    EXPECT_EQ(w->ModalResult(), mrNone);
    EXPECT_FALSE(w->RegionOK());

    // Drawn from bottom-right to top-left, the release arriving on a line
    // (its own coordinates).
    w->FormMouseDown(w, mbLeft, {}, 341, 231);
    w->FormMouseMove(w, {}, 100, 100);
    EXPECT_TRUE(w->Shape3->Visible() && w->Shape4->Visible());
    EXPECT_NE(w->HintShown().find("Selected Area : 241 x 131"), std::string::npos);
    Shoot(w, "area-window.png");
    w->FormMouseMove(w->Shape3, {}, 40 - w->Shape3->Left(), 30 - w->Shape3->Top());
    EXPECT_EQ(w->Shape3->Left(), 40);
    w->FormMouseUp(w->Shape4, {}, {}, 40, 30 - w->Shape4->Top());
    EXPECT_EQ(w->ModalResult(), mrOk);
    EXPECT_EQ(w->PRegion, TRect(40, 30, 301, 201));  // left, top, width, height

    // Escape leaves without a rectangle.
    w->SetModalResult(mrNone);
    WORD key = VK_ESCAPE;
    w->FormKeyDown(w, key, {});
    EXPECT_EQ(w->ModalResult(), mrCancel);
    w->Hide();
}

// Recordings through the real encoder (real time: the capture devices
// keep the clock's pace).
class RecorderRun : public tarnello::test::AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        HeadlessReset();
        RegisterApplicationClasses();
        EnableTestSoundInput(true);
        App().TempFilesFolder = dir_.file("temp");
        std::filesystem::create_directories(App().TempFilesFolder);
        Application->CreateForm(RecForm);
        ASSERT_NE(RecForm, nullptr);
        RecForm->Quorvel->OnProgress = TProgressEvent::Bind(this, &RecorderRun::Progress);
        // Frequent reports, so the test's pause and stop follow the recorded
        // time closely.
        RecForm->Quorvel->SetProgressInterval(100);
        UserMessageBox() = [this](const std::string& Text, TMsgDlgType, TMsgDlgButtons) {
            messages.push_back(Text);
            return mrOk;
        };
    }
    void TearDown() override
    {
        if (RecForm)
            RecForm->Free();
        RecForm = nullptr;
        UserMessageBox() = nullptr;
        EnableTestSoundInput(false);
        Application->ProcessMessages();
        HeadlessReset();
        AppTest::TearDown();
    }
    void Progress(TObject*, PProgressInfo Info) { seconds = Info->CurrentDuration / 1e6; }
    bool Serve(const std::function<bool()>& Done, int Seconds = 60)
    {
        for (int i = 0; i < Seconds * 100 && !Done(); ++i) {
            CheckSynchronize(10);
            Application->ProcessMessages();
        }
        return Done();
    }

    double seconds = 0;
    std::vector<std::string> messages;
};

TEST_F(RecorderRun, TheScreenWithSoundWithOneSecondPaused)
{
    TRecForm* f = RecForm;
    f->Show();
    Application->ProcessMessages();
    f->ochRecordAudio->SetChecked(true);
    ASSERT_EQ(f->RecordAudio, 1);
    using Clock = std::chrono::steady_clock;
    const Clock::time_point started = Clock::now();
    f->btRecordClick(f);
    ASSERT_EQ(f->RecorderState, TRecorderState::Recording) << (messages.empty() ? "" : messages[0]);
    const std::string file = App().RecordedFile;
    EXPECT_EQ(file.rfind(App().TempFilesFolder + "/Record ", 0), 0u) << file;
    EXPECT_FALSE(f->btRecord->Enabled());
    EXPECT_FALSE(IsWindowVisible(f->Handle()));  // the program is minimised

    ASSERT_TRUE(Serve([&] { return seconds >= 1.0; }));
    const Clock::time_point pausedAt = Clock::now();
    f->HotKey(1);
    EXPECT_EQ(f->RecorderState, TRecorderState::Paused);
    EXPECT_TRUE(f->FWavePauseFlag.Paused());
    // One second passes while paused; it is left out of the file.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (std::chrono::steady_clock::now() < until) {
        CheckSynchronize(10);
        Application->ProcessMessages();
    }
    const Clock::time_point resumedAt = Clock::now();
    f->HotKey(1);
    EXPECT_EQ(f->RecorderState, TRecorderState::Recording);
    EXPECT_FALSE(f->FWavePauseFlag.Paused());
    ASSERT_TRUE(Serve([&] { return seconds >= 2.0; }));
    const Clock::time_point stoppedAt = Clock::now();
    f->HotKey(2);
    ASSERT_TRUE(Serve([&] { return f->RecorderState == TRecorderState::Idle && !f->Visible(); }));
    EXPECT_TRUE(f->btRecord->Enabled());
    EXPECT_TRUE(messages.empty());

    using tarnello::test::ProbeText;
    const std::string streams = ProbeText(file, "-show_entries stream=codec_name,width,height,r_frame_rate");
    EXPECT_NE(streams.find("codec_name=h264"), std::string::npos) << streams;
    EXPECT_NE(streams.find("width=" + std::to_string(Screen->Width() & ~1)), std::string::npos) << streams;
    EXPECT_NE(streams.find("r_frame_rate=5/1"), std::string::npos) << streams;
    EXPECT_NE(streams.find("codec_name=aac"), std::string::npos) << streams;
    // Picture and sound leave the paused second out: two recorded seconds,
    // time stamps going on across the pause.
    auto durationOf = [&](const char* codec) {
        const std::string text = ProbeText(file, "-show_entries stream=codec_name,duration");
        const std::size_t at = text.find(std::string("codec_name=") + codec);
        const std::size_t eq = at == std::string::npos ? at : text.find("duration=", at);
        return eq == std::string::npos ? -1.0 : std::atof(text.c_str() + eq + 9);
    };
    EXPECT_NEAR(durationOf("aac"), 2.0, 0.5);
    // The picture runs as long as the recording ran unpaused (the stop
    // follows the sound's progress, which lags the screen, so not exactly
    // two seconds); with the paused second in it, it would be a second longer.
    auto seconds_ = [](Clock::duration d) { return std::chrono::duration<double>(d).count(); };
    const double unpaused = seconds_(pausedAt - started) + seconds_(stoppedAt - resumedAt);
    const double picture = durationOf("h264");
    EXPECT_GE(picture, 1.6);
    EXPECT_LT(picture, unpaused + 0.5) << "recorded unpaused for " << unpaused << " s";
    // No hole in the picture where the pause was: every frame follows the
    // one before at the frame rate.
    const std::string frames = ProbeText(file, "-select_streams v -show_entries packet=pts_time");
    std::vector<double> times;
    for (std::size_t at = frames.find("pts_time="); at != std::string::npos; at = frames.find("pts_time=", at + 1))
        times.push_back(std::atof(frames.c_str() + at + 9));
    std::sort(times.begin(), times.end());
    ASSERT_GE(times.size(), 8u) << frames;
    for (std::size_t i = 1; i < times.size(); ++i)
        EXPECT_LT(times[i] - times[i - 1], 0.6) << "frame " << i << " of " << frames;
}

TEST_F(RecorderRun, AFailedStartLoadsNothing)
{
    // An output folder that does not exist: the output cannot be set.
    App().TempFilesFolder = dir_.file("no/such/folder");
    TRecForm* f = RecForm;
    f->Show();
    Application->ProcessMessages();
    f->btRecordClick(f);
    EXPECT_EQ(f->RecorderState, TRecorderState::Idle);
    EXPECT_EQ(App().RecordedFile, "");
    EXPECT_TRUE(f->btRecord->Enabled());
    ASSERT_FALSE(PendingReports().empty());
    EXPECT_EQ(PendingReports().back().Mark, "CLM_SetoutputRecord");
    EXPECT_TRUE(IsWindowVisible(f->Handle()));  // the program came back

    // The hooks: the Record command loads only a file that was made.
    InstallRecorderHooks();
    std::vector<std::string> loaded;
    RecordingLoader() = [&](const std::string& p) { loaded.push_back(p); };
    EXPECT_TRUE(MainFormHooks().Record);
    EXPECT_TRUE(MainFormHooks().RecorderHotKey);
    RecordingLoader() = nullptr;
    MainFormHooks() = TMainFormHooks{};
}

}  // namespace
