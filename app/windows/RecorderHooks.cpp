#include "app/windows/RecorderHooks.h"

#include "app/windows/MainForm.h"
#include "app/windows/PreferForm.h"
#include "app/windows/UpdaterForm.h"

std::function<void(const std::string& Path)>& RecordingLoader()
{
    static std::function<void(const std::string&)> loader;
    return loader;
}

void InstallRecorderHooks()
{
    auto& hooks = MainFormHooks();
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
