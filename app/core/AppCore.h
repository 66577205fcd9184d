#pragma once
// The headless part of start-up: folders, settings, languages, texts, icons
// and presets, in that order, into App(). Reports made here wait for the
// report window (ShowPendingReports at the first showing).
#include <string>

class TspResourceStrData;

// ProgramFolder holds "languages" and "tarnello-profiles"; StrData, when
// given, receives the skin library's texts of the chosen language.
void StartApplicationCore(const std::string& ProgramFolder, TspResourceStrData* StrData);
