#pragma once
// Connects the main window's recorder, preferences and update commands to
// their windows (the Record command, the recorder's hot keys, Preferences,
// Check for updates and the first start's silent check).
#include <functional>
#include <string>

void InstallRecorderHooks();

// Where a finished recording goes: the queue's loading road. Empty: the
// recording stays in the temporary folder and nothing is loaded.
std::function<void(const std::string& Path)>& RecordingLoader();
