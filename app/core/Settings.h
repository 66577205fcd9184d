#pragma once
// The settings kept between runs, in the registry key
// HKEY_CURRENT_USER "Software\Tarnello\Tarnello". A value stored with
// another type than the one below is treated as absent.
#include <string>

inline const std::string RegistryKey = "Software\\Tarnello\\Tarnello";

// Reads the key into App(); missing values keep the defaults PrepareFolders
// and the state set. Without the key, a Spanish system starts in Spanish.
void ReadSettings();
// Writes the key, then the custom presets file (when the application data
// folder exists). Failures are reported; nothing is thrown.
void SaveSettings();
