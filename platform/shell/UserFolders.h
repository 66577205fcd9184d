#pragma once
// The user's special folders, found by the XDG rules: Documents and Videos
// from $XDG_CONFIG_HOME/user-dirs.dirs (else ~/Documents, and the home
// folder for Videos), application data = $XDG_CONFIG_HOME (else ~/.config).
// Nothing is created.
#include <string>

constexpr int CSIDL_PERSONAL = 5;   // My Documents
constexpr int CSIDL_MYVIDEO = 14;   // My Videos
constexpr int CSIDL_APPDATA = 26;   // Application Data

// The folder's path without a trailing "/"; "" when it cannot be told (no
// home folder, an unknown CSIDL).
std::string GetSpecialFolder(int CSIDL);

// The folder $XDG_CONFIG_HOME/user-dirs.dirs names for Key
// ("XDG_DOWNLOAD_DIR", ...), "" when the file or the line is missing or
// unusable. GetSpecialFolder reads the same file through this.
std::string GetXdgUserDir(const std::string& Key);

// $HOME without a trailing "/" ("" when unset).
std::string GetHomeFolder();
