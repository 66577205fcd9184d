#pragma once
// The program's folders in the user's space: with D = Documents +
// "/Tarnello/Tarnello", the output folder D/Output, snapshots D/Snapshots,
// temporary files D/Temp, and the application data folder beside the
// settings ($XDG_CONFIG_HOME/tarnello). A user without a Documents folder
// gets no D at all (nothing is ever made at "/"); the temporary folder then
// falls back to ~/Tarnello_temp, made when first needed.

#include <string>

// Fills the folders of App() and makes the missing ones; failures are silent.
void PrepareFolders();
// The program's folder in Documents ("" without Documents).
std::string ProgramDocumentsFolder();
// Makes the temporary folder when it is missing (the fallback is made only
// here); false when there is none.
bool EnsureTempFilesFolder();
