#pragma once
// Driving a conversion run on the encoder: Convert (build and start, or
// resume), Pause, Stop, the join switch with its two passes, the encoder's
// progress and end events turned into the queue's statuses, the text
// overlay drawn into frames, and what follows a run (open the output folder
// or power the computer off).
//
// The main window is reached only through IConversionWindow, so the run can
// be driven and tested without one.
//
// Decisions that are not obvious:
// - A task that ends with an error gets -2 and "Failed" and stays checked;
//   the success line, the second join pass and the shut-down happen only
//   after a run without failures, and the shut-down only when nobody stopped
//   the run. The shut-down asks logind politely (never forced).
// - A task that ends cleanly while nobody stopped the run shows 100% at once
//   (its last progress may stop short of it), so a later Stop keeps it.
// - A source of unknown length (TotalDuration 0) shows the converted time.
// - At least one conversion thread: a count of 0 would run every task inside
//   Start, in the main thread, with no way to stop it.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TCustomEncoder;
class TObject;
struct THookInfo;
struct TProgressInfo;
struct TTerminateInfo;

// What the run needs from the main window.
class IConversionWindow {
public:
    virtual ~IConversionWindow() = default;
    // TMainForm.EnableControls: the queue's controls on or off.
    virtual void EnableControls(bool AEnabled, bool AAll) = 0;
    // Convert, Pause and Stop (buttons and their menu items).
    virtual void SetRunCommands(bool AStart, bool APause, bool AStop) = 0;
    virtual void RepaintQueue() = 0;
    // A question with Yes and No; true for Yes.
    virtual bool Ask(const std::string& AText) = 0;
    // A warning with an OK button.
    virtual void ShowMessage(const std::string& AText) = 0;
    // The platform's plain message box (no owner, OK).
    virtual void ShowPlainMessage(const std::string& AText, const std::string& ACaption) = 0;
    virtual void SetJoinCaption(const std::string& ACaption) = 0;
    // The output folder the user typed.
    virtual std::string DestinationFolder() = 0;
    // Stops the preview player when it plays or is paused.
    virtual void StopPreview() = 0;
    virtual void SaveSettings() = 0;
};

// Starts a program without a shell and waits for it; true when it ran and
// exited with 0. Tests replace it.
using TProgramLauncher = std::function<bool(const std::vector<std::string>& AArgv)>;
bool LaunchProgram(const std::vector<std::string>& AArgv);

class TConversionRun {
public:
    TConversionRun(TCustomEncoder& AEncoder, IConversionWindow& AWindow);
    ~TConversionRun();
    TConversionRun(const TConversionRun&) = delete;
    TConversionRun& operator=(const TConversionRun&) = delete;

    // The window's handlers call these.
    void StartButtonClick();
    void PauseBtnClick();
    void StopBtnClick();
    void JoinButtonClick();
    void ProcessUpdateTimerTimer();
    void ShutdownComputer1Click() { ShutdownComputer = !ShutdownComputer; }
    void OpenOutputFolder1Click() { OpenOutputFolder = !OpenOutputFolder; }

    // The encoder's events (bound by the constructor).
    void QuorvelProgress(TObject* Sender, TProgressInfo* AProgressInfo);
    void QuorvelTerminate(TObject* Sender, const TTerminateInfo& ATerminateInfo);
    void QuorvelVideoInputHook(TObject* Sender, THookInfo* AHookInfo);

    // Powers the computer off through the launcher; "Exit Error" when refused.
    void ShutdownWindows();

    // The run's state.
    bool JoinAllVideos = false;
    bool JoinConvertedFilesNow = false;
    int StopMark = 0;  // 1: stopped by the user
    bool ShutdownComputer = false;
    bool OpenOutputFolder = true;
    bool ProcessUpdateTimerEnabled = false;
    // DVD mode: fills the list with the checked titles' sources; false when none.
    std::function<bool(std::vector<std::string>&)> BuildDVDSourceList;
    TProgramLauncher Launcher = LaunchProgram;

    // Queue index of each task of the current pass (filled by Start).
    std::vector<int>& ItemOfTask() { return FItemOfTask; }
    bool RunFailed() const { return FRunFailed; }
    const std::string& RunFolder() const { return FRunFolder; }
    // Conversion threads for ATasks tasks: the chosen count, never above
    // the tasks, never below one (a stored count of 0 runs one).
    int ThreadCount(int ATasks) const;

private:
    bool PrepareOutputFolder();
    bool AddTasks(const struct TBuildResult& ABuild);
    void MarkTaskFailed(int ATaskIndex);
    void FinishRun();
    void EndControls();

    TCustomEncoder& FEncoder;
    IConversionWindow& FWindow;
    std::vector<int> FItemOfTask;
    std::vector<bool> FItemFailed;         // per queue item, this run
    std::vector<std::int64_t> FConvertedTime;  // per queue item, -1: show a percentage
    bool FRunFailed = false;
    std::string FRunFolder;
};

// Status text of a percentage: two decimals, the locale's separator, "%".
std::string PercentText(float AValue);
