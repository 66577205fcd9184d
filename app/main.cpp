// Tarnello's entry point. It picks where windows live (an X display when one
// is reachable, else the memory screen), creates the application's windows
// from their stored descriptions in their fixed order (the main window
// first, so its creation runs before any other window exists) and runs the
// message loop until the main window closes.
//
// TARNELLO_EXIT_AFTER_MS=<n> closes the main window after n milliseconds, so
// that a test or a CI run can start the program and see it end by itself.
#include "app/core/ErrorReport.h"
#include "app/windows/AboutForm.h"
#include "app/windows/ClipForm.h"
#include "app/windows/CropForm.h"
#include "app/windows/DVDInfoForm.h"
#include "app/windows/EditorHooks.h"
#include "app/windows/ErrorForm.h"
#include "app/windows/FileInfoForm.h"
#include "app/windows/FreeHandWindow.h"
#include "app/windows/LoadForm.h"
#include "app/windows/LogForm.h"
#include "app/windows/MainForm.h"
#include "app/windows/MainWindowConversion.h"
#include "app/windows/MainWindowQueue.h"
#include "app/windows/PreferForm.h"
#include "app/windows/ProfilePickerForm.h"
#include "app/windows/RecForm.h"
#include "app/windows/RecorderHooks.h"
#include "app/windows/SettingsForm.h"
#include "app/windows/UpdaterForm.h"
#include "platform/backend/BackendSelect.h"
#include "platform/classes/FormReader.h"
#include "platform/gui/Forms.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/SysUtils.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

int Run()
{
    // A bad value is an error of the caller: say so before anything shows.
    std::int32_t exitAfterMs = -1;
    if (const char* v = std::getenv("TARNELLO_EXIT_AFTER_MS"); v && *v) {
        if (!TryStrToInt(v, exitAfterMs) || exitAfterMs < 0) {
            std::fprintf(stderr, "tarnello: TARNELLO_EXIT_AFTER_MS must be a number of milliseconds, not \"%s\"\n", v);
            return 2;
        }
    }
    std::string error;
    if (!SelectWindowBackend(&error)) {
        std::fprintf(stderr, "tarnello: %s\n", error.c_str());
        return 1;
    }
    // The pictures descriptions name are made at build time next to the program.
    SetFormPictureFolder(GetProgramFolder() + "pictures");
    RegisterApplicationClasses();
    InstallQueueHooks();
    InstallConversionHooks();
    InstallEditorHooks();
    InstallRecorderHooks();
    FileChooser() = ChooseFilesInOpenDialog;
    RecordingLoader() = [](const std::string& Path) {
        if (MainForm)
            AddMediaFiles(*MainForm, {Path});
    };

    int code = 0;
    try {
        Application->Initialize();
        Application->SetTitle("");
        // The order the windows are made in: the main window, the picker,
        // clip, crop and settings windows, the small windows, then DVD
        // information, loading, recorder, area, preferences and updater.
        Application->CreateForm(MainForm);
        Application->CreateForm(proform);
        Application->CreateForm(ClipForm);
        Application->CreateForm(CropForm);
        Application->CreateForm(settingsform);
        Application->CreateForm(LogForm);
        Application->CreateForm(AboutForm);
        Application->CreateForm(FileInfoForm);
        Application->CreateForm(ErrorForm);
        Application->CreateForm(DVDInfoForm);
        Application->CreateForm(LoadForm);
        Application->CreateForm(RecForm);
        Application->CreateForm(FreeHandWindow);
        Application->CreateForm(PreferForm);
        Application->CreateForm(UpdaterForm);
        // Reports made from here on show in the error window; earlier ones
        // wait for the main window's first showing.
        SetErrorReportWindow(ErrorForm);
        if (exitAfterMs >= 0)
            MainForm->CloseAfter(static_cast<unsigned>(exitAfterMs));
        Application->Run();
        SetErrorReportWindow(nullptr);
    } catch (const Exception& e) {
        std::fprintf(stderr, "tarnello: %s\n", e.Message().c_str());
        code = 1;
    }
    ShutdownWindowBackend();
    return code;
}

}  // namespace

int main()
{
    try {
        return Run();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tarnello: %s\n", e.what());
        return 1;
    }
}
