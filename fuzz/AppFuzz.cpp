// The application's state for the fuzz targets of its readers.
#include "AppFuzz.h"

#include <cstdlib>
#include <filesystem>

#include "FuzzSupport.h"
#include "app/core/AppData.h"
#include "app/core/ErrorReport.h"

namespace tarnello::fuzz {

std::string ShippedDataFolder() { return DataFolder() + "/program"; }

const std::string& AppProgramFolder()
{
    static const std::string folder = [] {
        const std::string program = ScratchFolder() + "/program/";
        CopyFolderFiles(ShippedDataFolder() + "/tarnello-profiles", program + "tarnello-profiles");
        CopyFolderFiles(ShippedDataFolder() + "/languages", program + "languages");
        const std::string home = ScratchFolder() + "/home";
        std::filesystem::create_directories(home + "/.config/tarnello");
        ::setenv("HOME", home.c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
        SetErrorReportWindow(nullptr);
        return program;
    }();
    return folder;
}

void FreshApplicationState()
{
    const std::string& program = AppProgramFolder();
    ResetApplicationData();
    ClearPendingReports();
    App().ProgramFolder = program;
    App().AppDataFolder = ScratchFolder() + "/home/.config/tarnello";
}

}  // namespace tarnello::fuzz
