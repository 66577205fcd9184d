#include "app/windows/RecorderHooks.h"

#include "app/core/AppData.h"
#include "app/windows/FreeHandWindow.h"
#include "app/windows/MainForm.h"
#include "app/windows/PreferForm.h"
#include "app/windows/RecForm.h"
#include "app/windows/UpdaterForm.h"
#include "app/core/Translation.h"
#include "platform/rtl/Files.h"

std::function<void(const std::string& Path)>& RecordingLoader()
{
    static std::function<void(const std::string&)> loader;
    return loader;
}

void InstallRecorderHooks()
{
    TFreeHandWindow::RegisterClasses();
    auto& hooks = MainFormHooks();
    hooks.Record = [](TMainForm&) {
        if (!RecForm)
            return;
        App().RecordedFile.clear();
        SelectedAreaText = TranslateText("Selected Area");
        HoldDownText = TranslateText("Hold down mouse and draw rectangle");
        RecForm->ShowModal();
        // Only a recording that was started and left a file is loaded.
        const std::string file = App().RecordedFile;
        if (!file.empty() && FileExists(file) && RecordingLoader())
            RecordingLoader()(file);
    };
    hooks.RecorderHotKey = [](TMainForm&, int Id) {
        if (RecForm)
            RecForm->HotKey(Id);
    };
    hooks.Preferences = [](TMainForm&) {
        if (PreferForm)
            PreferForm->ShowModal();
    };
    hooks.CheckForUpdates = [](TMainForm&) {
        if (UpdaterForm)
            UpdaterForm->CheckNow();
    };
    hooks.FirstUpdateCheck = [](TMainForm&) {
        if (UpdaterForm)
            UpdaterForm->ScheduleFirstCheck();
    };
}
