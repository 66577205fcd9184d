#pragma once
// Set-up shared by the application's fuzz targets: a program folder in the
// scratch folder holding copies of the shipped data (presets, languages),
// home and configuration there too, and a fresh application state for each
// input with reports kept (no window) and dropped again.
#include <string>

namespace tarnello::fuzz {

// The program folder (with a trailing "/"), made on first use with
// tarnello-profiles/ and languages/ copied from the build's program data.
const std::string& AppProgramFolder();
// The build's copy of the shipped data (DataFolder() + "/program").
std::string ShippedDataFolder();
// A fresh App() for one input: program and application data folders set,
// nothing pending from the last input.
void FreshApplicationState();

}  // namespace tarnello::fuzz
