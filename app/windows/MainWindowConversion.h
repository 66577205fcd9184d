#pragma once
// The main window's adding and conversion commands: the roads that bring
// media into the queue (dropped files, the open dialog, the download
// plug-in, DVD titles), Convert, Pause, Stop, Join, the progress timer and
// the two information windows. The main window takes the run controller's
// and the loading job's side through small adapters kept here, so the
// headless core stays free of windows.
//
// Decisions that are not obvious:
// - Dropped files and the open dialog's choice go through one function,
//   AddMediaFiles; the question about a DVD queue comes after the choice, so
//   cancelling the dialog asks nothing.
// - "Download" and "Load DVD" without their plug-in say so instead of doing
//   nothing.
// - The open dialog is reached through a replaceable chooser (FileChooser),
//   empty until the dialog is connected; tests give their own.
#include <functional>
#include <string>
#include <vector>

class TConversionRun;
class TMainForm;

// Fills the main window's hooks for the commands above.
void InstallConversionHooks();

// The paths the user chose in the open dialog; empty when cancelled.
using TFileChooser = std::function<std::vector<std::string>(TMainForm&)>;
TFileChooser& FileChooser();
// The program's chooser: the main window's skinned open dialog ("dlgopen"),
// several files at once, starting in the folder last used.
std::vector<std::string> ChooseFilesInOpenDialog(TMainForm& Form);

// Questions (Yes/No) and messages of these commands; the skinned message
// box unless replaced (tests).
struct TConversionPrompts {
    std::function<bool(TMainForm&, const std::string& Text)> Ask;
    std::function<void(TMainForm&, const std::string& Text)> Inform;
};
TConversionPrompts& ConversionPrompts();

// Adds files to the queue through the loading window (drops and the open
// dialog); false when nothing was tried (the user kept the DVD queue).
bool AddMediaFiles(TMainForm& Form, const std::vector<std::string>& Files);
// Replaces the queue by the titles of the DVD at Path (plug-in loaded).
void OpenDVDFolder(TMainForm& Form, const std::string& Path);
// The run of this main window (made on first use).
TConversionRun& MainWindowRun(TMainForm& Form);
