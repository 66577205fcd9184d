#pragma once
// The output panel's commands that change presets and items: saving the
// current preset as a custom one, applying it to every item, the DVD title
// choices of the selected item, and where the profile picker opens.
#include "platform/rtl/Types.h"

#include <functional>
#include <string>

// The target preset gets every value of the source preset, unchanged flag off.
void CopyFormatToCustom(int SourceProfile, int SourceFormat, int TargetProfile, int TargetFormat);

// Asks for a title (Value holds the proposal; false means cancelled).
using TAskTitle = std::function<bool(const std::string& Caption, const std::string& Prompt, std::string& Value)>;

// "Save profile as...": a new custom preset from the current one under the
// title asked for, chosen for the selected item (grid row SelectedRow) and
// as the current and recent preset. Cancelling or an empty title creates
// nothing. Returns the new preset's index in the custom category, or -1.
// The caller saves the settings and the custom-profiles file after a save.
int SaveCustomProfile(const TAskTitle& Ask, int SelectedRow);

// Recomputes every queue item's estimated size.
void EstimateAllOutputSizes();

// Every item gets the current preset; estimates recomputed.
void ApplyToAll();

// The DVD and track choices of the item in grid row SelectedRow.
void ChooseAudio(int SelectedRow, int Index);
void ChooseSubtitle(int SelectedRow, int Index);
void ChooseDeinterlace(int SelectedRow, bool Checked);

// The picker opens above the clicked control: its left at the control's
// screen left + PanelLeft, its bottom at the control's screen top +
// PanelTop + BottomPanelTop.
TPoint PickerPosition(TPoint ControlScreenTopLeft, int PanelLeft, int PanelTop, int BottomPanelTop, int PickerHeight);
