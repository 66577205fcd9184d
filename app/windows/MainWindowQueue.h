#pragma once
// Wires the main window to the units that do its work: the queue grid's
// painting and item operations, the output panel with its parameter grid
// and the settings form's lists, the profile picker, and the preview with
// the engine's player and snapshots. Everything goes through the main
// window's hooks, so the window itself stays free of these units.

class TMainForm;

// Fills the queue, output-panel, settings, picker and preview hooks of
// MainFormHooks(). Called once before the windows are made.
void InstallQueueHooks();

// The selected queue item's preset as the profile field shows it: its
// title in the label and its category's icon.
void ShowCurrentPreset(TMainForm& Form);
