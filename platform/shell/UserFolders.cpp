#include "platform/shell/UserFolders.h"

#include "platform/rtl/Files.h"
#include "platform/rtl/SysUtils.h"

#include <fstream>

namespace {

std::string Home() { return ExcludeTrailingPathDelimiter(GetEnvironmentVariable("HOME")); }

std::string ConfigHome()
{
    const std::string config = GetEnvironmentVariable("XDG_CONFIG_HOME");
    // Relative values are invalid by the XDG rules and are ignored.
    if (!config.empty() && config[0] == '/')
        return ExcludeTrailingPathDelimiter(config);
    const std::string home = Home();
    return home.empty() ? std::string() : home + "/.config";
}

// The folder user-dirs.dirs names for Key ("XDG_DOCUMENTS_DIR"), "" when
// the file or the line is missing or unusable.
std::string UserDir(const std::string& Key)
{
    const std::string config = ConfigHome();
    if (config.empty())
        return "";
    std::ifstream in(config + "/user-dirs.dirs");
    std::string line;
    std::string found;
    while (std::getline(in, line)) {
        line = Trim(line);
        if (line.rfind(Key + "=", 0) != 0)
            continue;
        std::string value = line.substr(Key.size() + 1);
        if (value.size() < 2 || value.front() != '"' || value.back() != '"')
            continue;
        value = value.substr(1, value.size() - 2);
        if (value.rfind("$HOME", 0) == 0) {
            const std::string home = Home();
            if (home.empty())
                continue;
            value = home + value.substr(5);
        } else if (value.empty() || value[0] != '/') {
            continue;
        }
        found = ExcludeTrailingPathDelimiter(value);
    }
    return found;
}

}  // namespace

std::string GetXdgUserDir(const std::string& Key) { return UserDir(Key); }

std::string GetHomeFolder() { return Home(); }

std::string GetSpecialFolder(int CSIDL)
{
    switch (CSIDL) {
    case CSIDL_PERSONAL: {
        // Without a configured folder, the usual "Documents" below the home
        // (as for the desktop folder), not the home itself.
        const std::string dir = UserDir("XDG_DOCUMENTS_DIR");
        const std::string home = Home();
        return !dir.empty() ? dir : home.empty() ? std::string() : home + "/Documents";
    }
    case CSIDL_MYVIDEO: {
        std::string dir = UserDir("XDG_VIDEOS_DIR");
        // "$HOME/" alone means the home folder itself.
        return dir.empty() ? Home() : dir;
    }
    case CSIDL_APPDATA:
        return ConfigHome();
    default:
        return "";
    }
}
