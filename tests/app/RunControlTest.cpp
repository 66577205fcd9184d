// The run's reaction to the encoder's events, fed by hand: percentages,
// statuses, failures, stops, joins and what follows the end of a run.
#include "AppTestSupport.h"
#include "ConversionTestSupport.h"
#include "app/core/RunControl.h"
#include "app/core/TaskBuilder.h"
#include "engine/encoder/FFEncode.h"
#include "platform/classes/StringList.h"
#include "platform/rtl/SysUtils.h"

using tarnello::test::AppTest;
using namespace tarnello::test;

namespace {

class RunControlTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        run.Launcher = [this](const std::vector<std::string>& argv) {
            launched.push_back(argv);
            return launchAnswer;
        };
        AddPreset(VideoPreset("MP4", ".mp4", "320", "240", "25000"));
        for (const char* s : {"/m/a.avi", "/m/b.avi", "/m/c.avi"})
            AddItem(s, 320, 240);
        App().MediaFiles[1].Checked = false;  // tasks 0 and 1 are items 0 and 2
        run.ItemOfTask() = {0, 2};
        App().OutputFolder = dir_.path();
    }
    void Progress(int task, std::int64_t current, std::int64_t total)
    {
        TProgressInfo p;
        p.TaskIndex = task;
        p.CurrentDuration = current;
        p.TotalDuration = total;
        run.QuorvelProgress(nullptr, &p);
    }
    void End(int task, bool exception = false)
    {
        TTerminateInfo t;
        t.TaskIndex = task;
        t.Finished = !exception;
        t.Exception = exception;
        t.ExceptionMsg = exception ? "encoder refused" : "";
        run.QuorvelTerminate(nullptr, t);
    }
    bool Logged(const std::string& text) const
    {
        const TStringList& log = *App().EventsLog;
        for (int i = 0; i < log.Count(); ++i)
            if (log[i].find(text) != std::string::npos)
                return true;
        return false;
    }
    const TMediaFile& Item(int i) const { return App().MediaFiles.at(static_cast<std::size_t>(i)); }

    TVAVorarez encoder{nullptr};
    TTestWindow window;
    TConversionRun run{encoder, window};
    std::vector<std::vector<std::string>> launched;
    bool launchAnswer = true;
};

}  // namespace

TEST_F(RunControlTest, ProgressGoesToTheTasksItemAndShowsAtEachRefresh)
{
    const char saved = FormatSettings.DecimalSeparator;
    FormatSettings.DecimalSeparator = ',';
    Progress(1, 455, 1000);
    EXPECT_FLOAT_EQ(Item(2).StatusS, 45.5f);
    EXPECT_EQ(Item(2).Status, "Ready");  // no refresh asked yet
    run.ProcessUpdateTimerTimer();
    Progress(0, 250, 1000);
    FormatSettings.DecimalSeparator = saved;
    EXPECT_EQ(Item(0).Status, "25,00%");
    EXPECT_EQ(Item(2).Status, "45,50%");
    EXPECT_EQ(Item(1).Status, "Ready");
    EXPECT_FALSE(App().StatusRefreshPending);
}

TEST_F(RunControlTest, UnknownLengthShowsTheConvertedTime)
{
    run.ProcessUpdateTimerTimer();
    Progress(0, 75000000, 0);
    EXPECT_EQ(Item(0).Status, "00:01:15");
}

TEST_F(RunControlTest, FirstJoinPassNeverShowsMoreThan99)
{
    run.JoinAllVideos = true;
    Progress(0, 1000, 1000);
    EXPECT_FLOAT_EQ(Item(0).StatusS, 99.0f);
    run.JoinConvertedFilesNow = true;
    run.ProcessUpdateTimerTimer();
    Progress(0, 500, 1000);
    EXPECT_FLOAT_EQ(Item(0).StatusS, 50.0f);
    EXPECT_FLOAT_EQ(Item(2).StatusS, 50.0f);
    EXPECT_EQ(Item(0).Status, "Joining...");
}

TEST_F(RunControlTest, CleanRunMarksEveryItemDoneAndOpensTheFolder)
{
    End(0);
    End(1);
    End(-1);
    EXPECT_EQ(Item(0).Status, "100%");
    EXPECT_FALSE(Item(0).Checked);
    EXPECT_FALSE(Item(2).Checked);
    EXPECT_EQ(Item(1).Status, "Ready");
    EXPECT_TRUE(Logged("Conversion successfully done."));
    EXPECT_EQ(opened_, std::vector<std::string>{dir_.path()});
    EXPECT_TRUE(window.ControlsEnabled);
    EXPECT_FALSE(window.Stop);
    EXPECT_TRUE(App().TaskInputOptions.empty());
    EXPECT_TRUE(launched.empty());
}

TEST_F(RunControlTest, FailedTaskShowsFailedAndStaysChecked)
{
    run.ShutdownComputer = true;
    End(0);
    End(1, true);
    End(-1);
    EXPECT_EQ(Item(0).Status, "100%");
    EXPECT_FALSE(Item(0).Checked);
    EXPECT_EQ(Item(2).Status, "Failed");
    EXPECT_FLOAT_EQ(Item(2).StatusS, -2.0f);
    EXPECT_TRUE(Item(2).Checked);
    EXPECT_TRUE(run.RunFailed());
    EXPECT_FALSE(Logged("Conversion successfully done."));
    EXPECT_TRUE(Logged("encoder refused"));
    EXPECT_EQ(Marks(), std::vector<std::string>{"CLM_Terminate"});
    EXPECT_TRUE(launched.empty()) << "no shut-down after a failure";
    EXPECT_EQ(window.Saves, 0);
    EXPECT_TRUE(window.ControlsEnabled);
}

TEST_F(RunControlTest, StoppedRunKeepsFinishedItemsAndCancelsTheOthers)
{
    run.ShutdownComputer = true;
    End(0);  // finished before the stop
    run.StopMark = 1;
    End(1);
    End(-1);
    EXPECT_EQ(Item(0).Status, "100%");
    EXPECT_EQ(Item(2).Status, "Cancelled");
    EXPECT_FLOAT_EQ(Item(2).StatusS, -2.0f);
    EXPECT_FALSE(Item(2).Checked);
    EXPECT_FALSE(Logged("Conversion successfully done."));
    EXPECT_TRUE(launched.empty()) << "no shut-down after a stop";
    EXPECT_EQ(run.StopMark, 0);
}

TEST_F(RunControlTest, ShutDownAsksLogindOnlyAfterACleanRun)
{
    run.ShutdownComputer = true;
    End(0);
    End(1);
    End(-1);
    EXPECT_EQ(window.Saves, 1);
    ASSERT_EQ(launched.size(), 1u);
    EXPECT_EQ(launched[0], (std::vector<std::string>{"systemctl", "poweroff"}));
    EXPECT_TRUE(opened_.empty());
    EXPECT_TRUE(window.Messages.empty());

    launchAnswer = false;
    run.ShutdownWindows();
    ASSERT_EQ(window.Messages.size(), 1u);
    EXPECT_EQ(window.Messages[0].substr(0, 10), "Exit Error");
}

TEST_F(RunControlTest, StopInTheFirstJoinPassCancelsAndStartsNoSecondPass)
{
    run.JoinAllVideos = true;
    End(0);
    run.StopMark = 1;
    End(1);
    End(-1);
    EXPECT_FALSE(run.JoinConvertedFilesNow);
    EXPECT_EQ(Item(0).Status, "Cancelled");
    EXPECT_EQ(Item(2).Status, "Cancelled");
    EXPECT_TRUE(Item(0).Checked);
    EXPECT_EQ(run.StopMark, 0);
    EXPECT_TRUE(window.ControlsEnabled);
}

TEST_F(RunControlTest, FailureInTheFirstJoinPassStartsNoSecondPass)
{
    run.JoinAllVideos = true;
    End(0, true);
    End(1);
    End(-1);
    EXPECT_FALSE(run.JoinConvertedFilesNow);
    EXPECT_EQ(Item(0).Status, "Failed");
    EXPECT_EQ(Item(2).Status, "Cancelled");
}

TEST_F(RunControlTest, JoinSwitchAsksAndRenamesEveryItem)
{
    App().MediaFiles[2].FormatInd = 0;
    App().MediaFiles[2].ProfileInd = 0;
    App().MediaFiles[0].FormatInd = 3;
    window.Answer = false;
    run.JoinButtonClick();
    EXPECT_FALSE(run.JoinAllVideos);
    window.Answer = true;
    run.JoinButtonClick();
    EXPECT_TRUE(run.JoinAllVideos);
    EXPECT_EQ(window.JoinCaption, "Unjoin All");
    EXPECT_EQ(Item(0).DestinationTitle, "All Videos Joined in One");
    EXPECT_EQ(Item(0).FormatInd, 0);
    run.JoinButtonClick();
    EXPECT_FALSE(run.JoinAllVideos);
    EXPECT_EQ(window.JoinCaption, "Join All");
    EXPECT_EQ(Item(1).DestinationTitle, "b");
    EXPECT_EQ(window.Questions,
              (std::vector<std::string>{"Join all checked videos after conversion?",
                                        "Join all checked videos after conversion?", "Unjoin all videos?"}));
}

TEST_F(RunControlTest, NothingCheckedStartsNothing)
{
    for (TMediaFile& m : App().MediaFiles)
        m.Checked = false;
    run.StartButtonClick();
    EXPECT_TRUE(window.Messages.empty());
    EXPECT_TRUE(window.Questions.empty());
    EXPECT_EQ(encoder.TasksCount(), 0);
}

TEST_F(RunControlTest, BadItemsRefuseTheRunWithAMessage)
{
    window.Folder = dir_.path();
    App().MediaFiles[2].DestinationTitle = "a";  // the same file as item 0
    run.StartButtonClick();
    ASSERT_EQ(window.Messages.size(), 1u);
    EXPECT_NE(window.Messages[0].find("a.mp4"), std::string::npos);
    EXPECT_EQ(encoder.TasksCount(), 0);
    EXPECT_FALSE(run.ProcessUpdateTimerEnabled);
}

TEST_F(RunControlTest, MissingOutputFolderFallsBack)
{
    window.Folder = dir_.file("gone");
    App().FallbackTempFolder = dir_.file("fallback");
    for (TMediaFile& m : App().MediaFiles)
        m.Checked = false;
    App().MediaFiles[0].Checked = true;
    App().MediaFiles[0].StatusS = 100;
    window.Answer = false;  // "convert again?" No
    run.StartButtonClick();
    EXPECT_EQ(window.Questions, std::vector<std::string>{"Some items are already converted. Convert them again?"});
    EXPECT_TRUE(window.Messages.empty());
    window.Answer = true;
    App().MediaFiles[0].Source = dir_.file("missing.avi");
    run.StartButtonClick();
    ASSERT_GE(window.Messages.size(), 1u);
    EXPECT_EQ(window.Messages[0], "Output folder does not exit. Converting to \"" + dir_.file("fallback") + "\".");
    EXPECT_EQ(App().OutputFolder, dir_.file("fallback"));
}
