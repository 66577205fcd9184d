#include "app/core/RunControl.h"

#include "app/core/AppData.h"
#include "app/core/ErrorReport.h"
#include "app/core/EventsLog.h"
#include "app/core/TaskBuilder.h"
#include "app/core/TimeText.h"
#include "app/core/Translation.h"

#include "engine/encoder/FFEncode.h"
#include "platform/gui/Bitmap.h"
#include "platform/gui/Canvas.h"
#include "platform/gui/GraphicsObjects.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/SysUtils.h"
#include "platform/shell/ShellOpen.h"

#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>

extern char** environ;

bool LaunchProgram(const std::vector<std::string>& AArgv)
{
    if (AArgv.empty())
        return false;
    std::vector<char*> argv;
    for (const std::string& a : AArgv)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return false;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR)
            return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string PercentText(float AValue) { return FixedTwoDecimals(static_cast<double>(AValue)) + "%"; }

TConversionRun::TConversionRun(TCustomEncoder& AEncoder, IConversionWindow& AWindow)
    : FEncoder(AEncoder), FWindow(AWindow)
{
    FEncoder.OnProgress = TProgressEvent::Bind(this, &TConversionRun::QuorvelProgress);
    FEncoder.OnTerminate = TTerminateEvent::Bind(this, &TConversionRun::QuorvelTerminate);
    FEncoder.OnVideoInputHook = TEncoderVideoHookEvent::Bind(this, &TConversionRun::QuorvelVideoInputHook);
}

TConversionRun::~TConversionRun()
{
    FEncoder.OnProgress = {};
    FEncoder.OnTerminate = {};
    FEncoder.OnVideoInputHook = {};
}

int TConversionRun::ThreadCount(int ATasks) const
{
    const TApplicationData& app = App();
    int count = app.UseAllCPUs ? app.ProcessorCount : app.CustomCPUNumber;
    count = std::min(count, ATasks);
    return std::max(count, 1);
}

bool TConversionRun::PrepareOutputFolder()
{
    TApplicationData& app = App();
    app.OutputFolder = FWindow.DestinationFolder();
    if (!app.OutputFolder.empty() && DirectoryExists(app.OutputFolder))
        return true;
    const std::string fallback = app.FallbackTempFolder;
    FWindow.ShowMessage(TranslateText("Output folder does not exit. Converting to") + " \"" + fallback + "\".");
    if (!fallback.empty() && (DirectoryExists(fallback) || ForceDirectories(fallback))) {
        app.OutputFolder = fallback;
        return true;
    }
    FWindow.ShowMessage(TranslateText("Could not create temporary directory. Please choose another output folder."));
    return false;
}

void TConversionRun::StartButtonClick()
{
    TApplicationData& app = App();
    if (FEncoder.Paused()) {
        FWindow.SetRunCommands(false, true, true);
        FWindow.EnableControls(false, true);
        FEncoder.Resume();
        return;
    }
    int checked = 0;
    bool converted = false;
    for (const TMediaFile& item : app.MediaFiles) {
        if (item.Checked) {
            ++checked;
            converted = converted || item.AlreadyConverted();
        }
    }
    if (checked == 0)
        return;
    if (checked == 1 && JoinAllVideos) {
        FWindow.SetJoinCaption(TranslateText("Join All"));
        JoinAllVideos = false;
        for (TMediaFile& item : app.MediaFiles)
            item.DestinationTitle = ChangeFileExt(ExtractFileName(item.Source), "");
        FWindow.RepaintQueue();
    }
    const bool second = JoinConvertedFilesNow;
    if (!second && converted && !FWindow.Ask(TranslateText("Some items are already converted. Convert them again?")))
        return;
    if (!PrepareOutputFolder())
        return;
    FWindow.StopPreview();
    TBuildRequest request;
    request.JoinAllVideos = JoinAllVideos;
    request.SecondJoinPass = second;
    if (app.MediaMode == 1) {
        if (!BuildDVDSourceList || !BuildDVDSourceList(request.DVDSources) || request.DVDSources.empty())
            return;
    }
    if (!second) {
        const std::string problem = CheckRunItems(JoinAllVideos, app.OutputFolder);
        if (!problem.empty()) {
            FWindow.ShowMessage(problem);
            return;
        }
        bool needFolder = JoinAllVideos;
        for (const TMediaFile& item : app.MediaFiles)
            needFolder = needFolder || (item.Checked && item.PictureOverlay);
        FRunFolder = needFolder ? MakeRunFolder() : std::string();
        if (needFolder && FRunFolder.empty()) {
            FWindow.ShowMessage(TranslateText("Could not create temporary directory. Please choose another output folder."));
            return;
        }
    }
    request.RunFolder = FRunFolder;

    FEncoder.ClearTasks();
    const TBuildResult build = BuildConversionTasks(request);
    if (!build.Ok()) {
        if (!build.Mark.empty())
            SendErrorReport(build.Error, build.Mark);
        else
            FWindow.ShowMessage(build.Error);
        return;
    }
    if (!AddTasks(build))
        return;
    FItemOfTask = build.ItemOfTask;
    if (!second) {
        FItemFailed.assign(app.MediaFiles.size(), false);
        FRunFailed = false;
    }
    FConvertedTime.assign(app.MediaFiles.size(), -1);
    FWindow.SetRunCommands(false, true, true);
    FWindow.EnableControls(false, true);
    AddLogLine(TranslateText("Started Conversion."));
    FEncoder.Start(second ? 1 : ThreadCount(static_cast<int>(build.ItemOfTask.size())));
    ProcessUpdateTimerEnabled = true;
}

bool TConversionRun::AddTasks(const TBuildResult& ABuild)
{
    TApplicationData& app = App();
    const std::size_t tasks = ABuild.ItemOfTask.size();
    if (JoinConvertedFilesNow) {
        for (std::size_t t = 0; t < tasks; ++t) {
            const int r = t == 0 ? FEncoder.AddTask(ABuild.TaskSources[t], &app.TaskInputOptions[t])
                                 : FEncoder.AddInput(0, ABuild.TaskSources[t], &app.TaskInputOptions[t]);
            if (r < 0) {
                SendErrorReport(FEncoder.LastErrMsg(), t == 0 ? "CLM_FFAddTaskToMerged" : "CLM_FFAddInputFileToMerged");
                return false;
            }
        }
        app.TaskOutputOptions[0].Join = true;
        if (FEncoder.SetOutput(0, ABuild.JoinOutputFile, &app.TaskOutputOptions[0]) < 0) {
            SendErrorReport(TranslateText("Cannot set output file (merged)") + ": " + FEncoder.LastErrMsg(),
                            "CLM_SetOutputFileMerge");
            return false;
        }
        return true;
    }
    for (std::size_t t = 0; t < tasks; ++t) {
        const int index = FEncoder.AddTask(ABuild.TaskSources[t], &app.TaskInputOptions[t]);
        if (index < 0) {
            SendErrorReport(FEncoder.LastErrMsg(), "CLM_FFAddTaskToMeged");
            return false;
        }
        if (FEncoder.SetOutput(index, ABuild.TaskOutputFiles[t], &app.TaskOutputOptions[t]) < 0) {
            SendErrorReport(TranslateText("Cannot set output file") + ": " + FEncoder.LastErrMsg() + "\r\n" +
                                TranslateText("Please choose other output folder or rename output file."),
                            "CLM_SetOutputFile");
            return false;
        }
    }
    return true;
}

void TConversionRun::PauseBtnClick()
{
    FEncoder.Pause();
    FWindow.SetRunCommands(true, false, true);
    FWindow.RepaintQueue();
}

void TConversionRun::StopBtnClick()
{
    StopMark = 1;
    FEncoder.Stop(true);
    if (FEncoder.Paused())
        FEncoder.Resume();
    AddLogLine(TranslateText("Conversion stopped by user."));
}

void TConversionRun::JoinButtonClick()
{
    TApplicationData& app = App();
    if (!JoinAllVideos) {
        if (!FWindow.Ask(TranslateText("Join all checked videos after conversion?")))
            return;
        FWindow.SetJoinCaption(TranslateText("Unjoin All"));
        JoinAllVideos = true;
        if (!app.MediaFiles.empty()) {
            const int profile = app.MediaFiles.back().ProfileInd, format = app.MediaFiles.back().FormatInd;
            for (TMediaFile& item : app.MediaFiles) {
                item.DestinationTitle = JoinedTitle;
                item.ProfileInd = profile;
                item.FormatInd = format;
            }
        }
    } else {
        if (!FWindow.Ask(TranslateText("Unjoin all videos?")))
            return;
        FWindow.SetJoinCaption(TranslateText("Join All"));
        JoinAllVideos = false;
        for (TMediaFile& item : app.MediaFiles)
            item.DestinationTitle = ChangeFileExt(ExtractFileName(item.Source), "");
    }
    FWindow.RepaintQueue();
}

void TConversionRun::ProcessUpdateTimerTimer() { App().StatusRefreshPending = true; }

void TConversionRun::QuorvelProgress(TObject*, TProgressInfo* AProgressInfo)
{
    TApplicationData& app = App();
    const TProgressInfo& info = *AProgressInfo;
    const bool second = JoinConvertedFilesNow;
    const bool firstPass = JoinAllVideos && !second;
    int k = 0;
    for (std::size_t i = 0; i < app.MediaFiles.size(); ++i) {
        TMediaFile& item = app.MediaFiles[i];
        if (!item.Checked)
            continue;
        if (k == info.TaskIndex || second) {
            if (info.TotalDuration > 0) {
                item.StatusS = std::min(100.0f, static_cast<float>(static_cast<double>(info.CurrentDuration) * 100.0 /
                                                                   static_cast<double>(info.TotalDuration)));
            } else {
                if (FConvertedTime.size() < app.MediaFiles.size())
                    FConvertedTime.resize(app.MediaFiles.size(), -1);
                FConvertedTime[i] = std::max<std::int64_t>(info.CurrentDuration, 0);
            }
            if (firstPass && item.StatusS > 99)
                item.StatusS = 99;
        }
        ++k;
    }
    if (!app.StatusRefreshPending)
        return;
    app.StatusRefreshPending = false;
    for (std::size_t i = 0; i < app.MediaFiles.size(); ++i) {
        TMediaFile& item = app.MediaFiles[i];
        if (i < FItemFailed.size() && FItemFailed[i])
            continue;
        if (second && (item.StatusS > 0 || (i < FConvertedTime.size() && FConvertedTime[i] >= 0)))
            item.Status = TranslateText("Joining...");
        else if (i < FConvertedTime.size() && FConvertedTime[i] >= 0)
            item.Status = FormatMicroseconds(FConvertedTime[i]);
        else if (item.StatusS > 0)
            item.Status = PercentText(item.StatusS);
    }
    FWindow.RepaintQueue();
}

void TConversionRun::MarkTaskFailed(int ATaskIndex)
{
    TApplicationData& app = App();
    FRunFailed = true;
    // In the second pass the one join task stands for every checked item.
    for (std::size_t t = 0; t < FItemOfTask.size(); ++t) {
        if (static_cast<int>(t) != ATaskIndex && !JoinConvertedFilesNow)
            continue;
        const auto i = static_cast<std::size_t>(FItemOfTask[t]);
        if (i >= app.MediaFiles.size())
            continue;
        if (FItemFailed.size() <= i)
            FItemFailed.resize(app.MediaFiles.size(), false);
        FItemFailed[i] = true;
        app.MediaFiles[i].StatusS = -2;
        app.MediaFiles[i].Status = TranslateText("Failed");
    }
}

void TConversionRun::EndControls()
{
    FWindow.EnableControls(true, true);
    FWindow.SetRunCommands(true, false, false);
}

void TConversionRun::QuorvelTerminate(TObject*, const TTerminateInfo& ATerminateInfo)
{
    TApplicationData& app = App();
    const TTerminateInfo& info = ATerminateInfo;
    if (info.TaskIndex >= 0) {
        if (info.Exception) {
            MarkTaskFailed(info.TaskIndex);
        } else if (StopMark == 0 && !JoinConvertedFilesNow && info.TaskIndex < static_cast<int>(FItemOfTask.size())) {
            TMediaFile& item = app.MediaFiles.at(static_cast<std::size_t>(FItemOfTask[static_cast<std::size_t>(info.TaskIndex)]));
            item.StatusS = JoinAllVideos ? 99.0f : 100.0f;
            const auto i = static_cast<std::size_t>(FItemOfTask[static_cast<std::size_t>(info.TaskIndex)]);
            if (i < FConvertedTime.size())
                FConvertedTime[i] = -1;
        }
    } else if (info.Finished) {
        FinishRun();
    }
    if (info.Exception) {
        ProcessUpdateTimerEnabled = false;
        SendErrorReport(TranslateText("Conversion terminated with error") + ": " + info.ExceptionMsg, "CLM_Terminate");
        AddLogLine(info.ExceptionMsg);
    }
}

void TConversionRun::FinishRun()
{
    TApplicationData& app = App();
    app.TaskInputOptions.clear();
    app.TaskOutputOptions.clear();
    const bool firstPassEnd = JoinAllVideos && !JoinConvertedFilesNow;
    const bool stopped = StopMark == 1;
    const bool clean = !stopped && !FRunFailed;
    bool shuttingDown = false;
    if (!firstPassEnd) {
        if (ShutdownComputer && clean) {
            shuttingDown = true;
            FWindow.SaveSettings();
            ShutdownWindows();
        } else {
            if (clean)
                AddLogLine(TranslateText("Conversion successfully done."));
            EndControls();
        }
    }
    ProcessUpdateTimerEnabled = false;
    if (firstPassEnd) {
        if (clean) {
            JoinConvertedFilesNow = true;
            StartButtonClick();
            return;
        }
        StopMark = 0;
        for (std::size_t i = 0; i < app.MediaFiles.size(); ++i) {
            TMediaFile& item = app.MediaFiles[i];
            if (item.Checked && !(i < FItemFailed.size() && FItemFailed[i])) {
                item.StatusS = -2;
                item.Status = TranslateText("Cancelled");
            }
        }
        FWindow.RepaintQueue();
        EndControls();
        return;
    }
    JoinConvertedFilesNow = false;
    for (std::size_t i = 0; i < app.MediaFiles.size(); ++i) {
        TMediaFile& item = app.MediaFiles[i];
        if (!item.Checked)
            continue;
        if (i < FItemFailed.size() && FItemFailed[i])
            continue;  // stays checked, shows "Failed"
        if (!stopped) {
            item.StatusS = 100;
            item.Status = "100%";
        } else if (item.StatusS < 100) {
            item.StatusS = -2;
            item.Status = TranslateText("Cancelled");
        } else {
            item.Status = "100%";
        }
        item.Checked = false;
    }
    StopMark = 0;
    FWindow.RepaintQueue();
    FWindow.SetRunCommands(false, false, false);
    if (OpenOutputFolder && !ShutdownComputer && !shuttingDown)
        ShellOpen(app.OutputFolder);
}

void TConversionRun::QuorvelVideoInputHook(TObject*, THookInfo* AHookInfo)
{
    const auto& overlays = App().TaskTextOverlays;
    if (AHookInfo == nullptr || AHookInfo->Bitmap == nullptr || AHookInfo->TaskIndex < 0 ||
        AHookInfo->TaskIndex >= static_cast<int>(overlays.size()))
        return;
    const TTextOverlay& overlay = overlays[static_cast<std::size_t>(AHookInfo->TaskIndex)];
    TCanvas* canvas = AHookInfo->Bitmap->Canvas();
    if (overlay.Font != nullptr)
        canvas->Font()->Assign(overlay.Font);
    canvas->TextOut(overlay.X, overlay.Y, overlay.Text);
}

void TConversionRun::ShutdownWindows()
{
    try {
        // logind decides whether this user may power off; nothing is forced.
        if (!Launcher || !Launcher({"systemctl", "poweroff"}))
            FWindow.ShowPlainMessage("Exit Error", "systemctl poweroff Failed");
    } catch (const std::exception&) {
        SendErrorReport("Error trying shut down the Windows", "CLM_Shut");
    }
}
