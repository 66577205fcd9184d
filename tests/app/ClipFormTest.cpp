// The trim window with a stand-in player: the item's times shown on the
// handles and edits, OK writing them (and only OK), Cancel leaving them, the
// refusals (an end not after the start, a text that is no time), handle
// drags, the trimmed-part loop, failures reported; a screenshot with the
// generated skin (trim-window.png in the test folder).
#include "app/windows/ClipForm.h"
#include "app/windows/EditorHooks.h"
#include "app/windows/MainForm.h"
#include "skin/controls/SkinDataAssign.h"
#include "support/TestSupport.h"

#include "AppTestSupport.h"
#include "EditorTestSupport.h"
#include "WindowsTestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace windowstest;
using editortest::TFakeWindowPlayer;

constexpr std::int64_t kSecond = 1000000;

class ClipFormTest : public TWindowsTest {
protected:
    void SetUp() override
    {
        TWindowsTest::SetUp();
        RegisterApplicationClasses();
        RegisterEditorClasses();
        TMediaFile item = Item("Clip");
        item.TimeStart = 10 * kSecond;
        item.TimeEnd = 50 * kSecond;
        item.TrimmedLength = 40 * kSecond;
        App().MediaFiles.push_back(std::move(item));
        App().SkinFolder = tarnello::test::BuildFolder() + "/skin-new";
        Application->CreateForm(ClipForm);
        ClipForm->Player = &player;
        ClipForm->SelectedRow = [] { return 1; };
        ClipForm->ShowMessage = [this](const std::string& m) { messages.push_back(m); };
        ClipForm->ReportError = [this](const std::string& m, const std::string& mark) {
            reports.push_back(mark + " " + m);
        };
        ClipForm->PrimaryButtonDown = [] { return false; };
        player.OnOpen = [this] {
            int w = 0, h = 0;
            ClipForm->DIRudidi2FileOpen(nullptr, duration, 320, 240, w, h);
        };
    }
    void TearDown() override
    {
        ClipForm->Player = nullptr;
        ClipForm->Free();
        ClipForm = nullptr;
        TWindowsTest::TearDown();
    }
    void Open()
    {
        ClipForm->Show();
        Pump();
    }
    const TMediaFile& ItemNow() const { return App().MediaFiles[0]; }

    TFakeWindowPlayer player;
    std::int64_t duration = 100 * kSecond;
    std::vector<std::string> messages, reports;
};

TEST_F(ClipFormTest, ShowingPlacesTheItemsTimesOnHandlesAndEdits)
{
    Open();
    EXPECT_TRUE(player.Has("Open /media/Clip.mp4"));
    // 10 s of 100 s: value 100 of 1000, 46 px of 464, plus the origin 10.
    EXPECT_EQ(ClipForm->imgTrimLeft->Left(), 56);
    EXPECT_EQ(ClipForm->imgTrimRight->Left(), 242);
    EXPECT_EQ(ClipForm->TimeStart->Text(), "00:00:10");
    EXPECT_EQ(ClipForm->TimeEnd->Text(), "00:00:50");
    EXPECT_EQ(ClipForm->TrimmedTimeLine->Left(), 56 + 6 + 6);
    EXPECT_EQ(ClipForm->TrimmedTimeLine->Width(), 242 + 6 - 68 - 6);
}

TEST_F(ClipFormTest, AnItemEndingAtTheLengthPutsTheRightHandleAtTheBarsEnd)
{
    App().MediaFiles[0].TimeEnd = duration;
    Open();
    EXPECT_EQ(ClipForm->imgTrimRight->Left(), 464 + 10);
}

TEST_F(ClipFormTest, OkWritesTheTimesAndCancelLeavesThem)
{
    struct Case {
        const char* start;
        const char* end;
        bool ok;
        std::int64_t wantStart, wantEnd;
    } cases[] = {
        {"00:00:20", "00:01:00", true, 20 * kSecond, 60 * kSecond},
        {"00:00:20", "00:01:00", false, 10 * kSecond, 50 * kSecond},
        // Beyond the length: kept as typed.
        {"00:00:05", "00:03:00", true, 5 * kSecond, 180 * kSecond},
    };
    for (const auto& c : cases) {
        App().MediaFiles[0].TimeStart = 10 * kSecond;
        App().MediaFiles[0].TimeEnd = 50 * kSecond;
        App().MediaFiles[0].TrimmedLength = 40 * kSecond;
        Open();
        ClipForm->SetModalResult(mrNone);
        ClipForm->TimeStart->SetTime(c.start);
        ClipForm->StartOkClick(nullptr);
        ClipForm->TimeEnd->SetTime(c.end);
        ClipForm->EndOkClick(nullptr);
        // Nothing reaches the item before OK.
        EXPECT_EQ(ItemNow().TimeStart, 10 * kSecond);
        if (c.ok)
            ClipForm->OkClick(nullptr);
        else
            ClipForm->CancelClick(nullptr);
        EXPECT_EQ(ClipForm->ModalResult(), c.ok ? mrOk : mrCancel);
        EXPECT_EQ(ItemNow().TimeStart, c.wantStart) << c.start;
        EXPECT_EQ(ItemNow().TimeEnd, c.wantEnd) << c.end;
        EXPECT_EQ(ItemNow().TrimmedLength, c.wantEnd - c.wantStart);
        ClipForm->Hide();
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(ClipFormTest, OkRefusesAnEndNotAfterTheStart)
{
    Open();
    // Typing a start after the end moves the end to it: both handles meet.
    ClipForm->TimeStart->SetTime("00:01:10");
    ClipForm->StartOkClick(nullptr);
    EXPECT_EQ(ClipForm->TimeEnd->Text(), "00:01:10");
    EXPECT_EQ(ClipForm->imgTrimRight->Left() - ClipForm->imgTrimLeft->Left(), 11);
    ClipForm->SetModalResult(mrNone);
    ClipForm->OkClick(nullptr);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], kTrimEndNotAfterStart);
    EXPECT_EQ(ClipForm->ModalResult(), mrNone);  // the window stays open
    EXPECT_EQ(ItemNow().TimeStart, 10 * kSecond);
    EXPECT_EQ(ItemNow().TrimmedLength, 40 * kSecond);
}

TEST_F(ClipFormTest, ATextThatIsNoTimeChangesNothing)
{
    Open();
    for (const char* text : {"99:99:99", "ab:cd:ef", ""}) {
        messages.clear();
        ClipForm->TimeStart->SetText(text);
        ClipForm->StartOkClick(nullptr);
        ASSERT_EQ(messages.size(), 1u) << text;
        EXPECT_EQ(messages[0], InvalidTimeMessage(ClipForm->TimeStart->Text()));
        EXPECT_EQ(ClipForm->Bar.TrimStart(), 10 * kSecond);
        EXPECT_EQ(ClipForm->imgTrimLeft->Left(), 56);
    }
}

TEST_F(ClipFormTest, SetStartAfterTheEndDrawsNoLine)
{
    Open();
    ClipForm->DIRudidi2Position(nullptr, 80 * kSecond);
    EXPECT_EQ(ClipForm->videotrackbar2->Value(), 800);
    EXPECT_EQ(ClipForm->lblPlayTime->Caption(), "00:01:20 / 00:01:40");
    ClipForm->SetStartClick(nullptr);
    EXPECT_EQ(ClipForm->Bar.TrimStart(), 80 * kSecond);
    EXPECT_EQ(ClipForm->Bar.TrimEnd(), 80 * kSecond);
    EXPECT_EQ(ClipForm->imgTrimRight->Left() - ClipForm->imgTrimLeft->Left(), 11);
    EXPECT_FALSE(ClipForm->TrimmedTimeLine->Visible());
}

TEST_F(ClipFormTest, DraggingTheLeftHandleStopsAtItsLimitsAndSeeksOnRelease)
{
    Open();
    ClipForm->imgTrimLeftMouseDown(nullptr, mbLeft, {}, 6, 6);
    EXPECT_TRUE(player.Has("Pause"));
    // Past the right handle: refused.
    ClipForm->imgTrimLeftMouseMove(nullptr, {}, 6 + 300, 6);
    EXPECT_EQ(ClipForm->imgTrimLeft->Left(), 56);
    // Left of 11: refused.
    ClipForm->imgTrimLeftMouseMove(nullptr, {}, 6 - 46, 6);
    EXPECT_EQ(ClipForm->imgTrimLeft->Left(), 56);
    ClipForm->imgTrimLeftMouseMove(nullptr, {}, 6 + 46, 6);
    EXPECT_EQ(ClipForm->imgTrimLeft->Left(), 102);
    ClipForm->imgTrimLeftMouseUp(nullptr, mbLeft, {}, 6, 6);
    // (102 - 10) / 464 of the bar: value 198, 19.8 s.
    EXPECT_EQ(ClipForm->Bar.TrimStart(), 19800000);
    ASSERT_FALSE(player.Seeks.empty());
    EXPECT_EQ(player.Seeks.back(), 19800000);
    EXPECT_TRUE(player.Has("Resume"));
    EXPECT_EQ(ClipForm->TimeStart->Text(), "00:00:19");
}

TEST_F(ClipFormTest, TheTrimmedPartPlaysInALoop)
{
    Open();
    ClipForm->PlayTrimmedClick(nullptr);
    EXPECT_EQ(player.Seeks.back(), 10 * kSecond);
    player.Seeks.clear();
    ClipForm->DIRudidi2Position(nullptr, 30 * kSecond);
    EXPECT_TRUE(player.Seeks.empty());
    ClipForm->DIRudidi2Position(nullptr, 50 * kSecond);
    ASSERT_EQ(player.Seeks.size(), 1u);
    EXPECT_EQ(player.Seeks[0], 10 * kSecond);
    // Any other playback command ends the loop.
    ClipForm->PauseButtonClick(nullptr);
    ClipForm->DIRudidi2Position(nullptr, 55 * kSecond);
    EXPECT_EQ(player.Seeks.size(), 1u);
}

TEST_F(ClipFormTest, ResetTakesTheWholeLength)
{
    Open();
    ClipForm->ResetClick(nullptr);
    EXPECT_EQ(ClipForm->imgTrimLeft->Left(), 10);
    EXPECT_EQ(ClipForm->imgTrimRight->Left(), 474);
    EXPECT_EQ(ClipForm->TimeStart->Text(), "00:00:00");
    EXPECT_EQ(ClipForm->TimeEnd->Text(), "00:01:40");
    EXPECT_EQ(ClipForm->videotrackbar2->Value(), 0);
}

TEST_F(ClipFormTest, FailuresAreReportedAndTheWindowStays)
{
    player.Loaded = false;
    player.LoadFails = true;
    Open();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].rfind("CLM_DIRudidi2LoadAVLib ", 0), 0u);
    player.LoadFails = false;
    player.OpenFails = true;
    reports.clear();
    ClipForm->PlayButtonClick(nullptr);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], "CLM_DIRudidi2Open Error open file: Could not open the file");
}

TEST_F(ClipFormTest, HundredHoursShowWithThreeDigits)
{
    duration = 200LL * 3600 * kSecond;
    Open();
    ClipForm->DIRudidi2Position(nullptr, 100LL * 3600 * kSecond);
    EXPECT_EQ(ClipForm->lblPlayTime->Caption(), "100:00:00 / 200:00:00");
}

TEST_F(ClipFormTest, Screenshot)
{
    auto skin = LoadSkinNew();
    ASSERT_TRUE(skin);
    AssignSkinData(ClipForm, skin.get());
    Open();
    ClipForm->DIRudidi2Position(nullptr, 30 * kSecond);
    ClipForm->Repaint();
    Pump();
    const TRect r = ClipForm->BoundsRect();
    EXPECT_TRUE(tarnello::test::SaveScreenArea(r.left, r.top, r.Width(), r.Height(), "trim-window.png"));
    AssignSkinData(ClipForm, nullptr);
}

}  // namespace
