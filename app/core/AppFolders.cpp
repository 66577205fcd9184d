#include "app/core/AppFolders.h"

#include "app/core/AppData.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/SysUtils.h"
#include "platform/shell/UserFolders.h"

namespace {

// One level at a time, and only below an absolute, non-root parent.
void MakeFolder(const std::string& Dir)
{
    if (Dir.size() > 1 && Dir[0] == '/' && !DirectoryExists(Dir))
        CreateDir(Dir);
}

}  // namespace

std::string ProgramDocumentsFolder()
{
    const std::string docs = App().MyDocumentsFolder;
    return docs.empty() ? std::string() : docs + "/Tarnello/Tarnello";
}

void PrepareFolders()
{
    auto& app = App();
    app.MyDocumentsFolder = GetSpecialFolder(CSIDL_PERSONAL);
    app.MyVideosFolder = GetSpecialFolder(CSIDL_MYVIDEO);
    const std::string appData = GetSpecialFolder(CSIDL_APPDATA);
    const std::string home = ExcludeTrailingPathDelimiter(GetEnvironmentVariable("HOME"));
    app.FallbackTempFolder = home.empty() ? std::string() : home + "/Tarnello_temp";

    const std::string d = ProgramDocumentsFolder();
    app.TempFilesFolder = d.empty() ? std::string() : d + "/Temp";
    app.AppDataFolder = appData.empty() ? std::string() : appData + "/tarnello";
    if (!d.empty()) {
        // A home without its documents folder yet gets one.
        MakeFolder(app.MyDocumentsFolder);
        MakeFolder(app.MyDocumentsFolder + "/Tarnello");
        MakeFolder(d);
        MakeFolder(d + "/Output");
        MakeFolder(app.TempFilesFolder);
        MakeFolder(d + "/Snapshots");
        if (DirectoryExists(d + "/Snapshots"))
            app.ScreenShotsPath = d + "/Snapshots";
        if (DirectoryExists(d + "/Output"))
            app.OutputPath = d + "/Output";
    }
    if (!app.AppDataFolder.empty()) {
        MakeFolder(appData);
        MakeFolder(app.AppDataFolder);
    }
    if (app.TempFilesFolder.empty() || !DirectoryExists(app.TempFilesFolder))
        app.TempFilesFolder = app.FallbackTempFolder;
}

bool EnsureTempFilesFolder()
{
    const std::string& temp = App().TempFilesFolder;
    if (temp.empty())
        return false;
    MakeFolder(temp);
    return DirectoryExists(temp);
}
