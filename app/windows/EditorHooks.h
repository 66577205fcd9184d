#pragma once
// Wires the main window's Trim and Edit commands to the trim and edit
// windows, and registers the classes their descriptions are read from.
void InstallEditorHooks();
// The classes the trim and edit windows' descriptions name beyond the
// application's own (InstallEditorHooks calls it; tests may too).
void RegisterEditorClasses();
// The queue's current row names an item the editors can open: the Trim
// command takes any item, Edit only one with video.
bool EditorItemSelected(bool AVideoOnly);
