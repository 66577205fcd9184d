#pragma once
// The profile picker's behaviour: categories on the left (highlighted at
// once under the mouse), the presets of one category on the right (listed
// 500 ms after the mouse settles on a category, or never when it moves into
// the preset list sooner), rename and remove buttons on the highlighted
// custom preset, and choosing a preset for the selected queue item. The
// picker window owns the two grids and the timer and hands them over here.
#include "platform/classes/Events.h"
#include "platform/gui/Control.h"
#include "skin/lists/SkinStringGrid.h"

#include <algorithm>
#include <functional>
#include <string>

class TGraphic;
class TTimer;

class TProfilePicker : public TObject {
public:
    static constexpr unsigned kDelay = 500;

    TProfilePicker(TspSkinStringGrid* AProfiles, TspSkinStringGrid* AFormats, TTimer* ADelayTimer);
    ~TProfilePicker() override;

    // Grid layout (1 column, rows of 27 and 57, own drawing) and events.
    void SetUpGrids();

    // Rename, remove, rename under the mouse, remove under the mouse.
    TGraphic* EditRemoveImages[4] = {nullptr, nullptr, nullptr, nullptr};
    TGraphic* imgArrow = nullptr;
    TGraphic* imgArrowOver = nullptr;

    // The window's side: the input box (false when cancelled), the Yes/No
    // question, the selected queue row, join mode, and what follows a
    // change (repaint the queue, show the preset's title) and a choice
    // (the settings form, the parameter grid, hiding the picker).
    std::function<bool(const std::string& Caption, const std::string& Prompt, std::string& Value)> AskTitle;
    std::function<bool(const std::string& Text)> ConfirmYes;
    std::function<int()> SelectedRow;
    std::function<bool()> JoinAllVideos;
    std::function<void()> OnPresetsChanged;
    std::function<void()> OnChosen;

    int PickerShownProfile = 0;
    int PickerListedProfile = 0;
    int PickerPendingProfile = 0;
    int PickerHotFormat = -1;
    int PickerMouseX = 0, PickerMouseY = 0;
    int PickerEditButtonX = 0, PickerEditButtonY = 0;
    int PickerRemoveButtonX = 0, PickerRemoveButtonY = 0;
    int PickerButtonWidth = 0;

    void FormShow(TObject* Sender);
    void FormHide(TObject* Sender);
    void ProfileChangeDelayTimerTimer(TObject* Sender);
    void sgProfilesMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void sgFormatsMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void sgFormatsClick(TObject* Sender);
    void sgProfilesDrawCell(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State);
    void sgFormatsDrawCell(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State);

    // Choosing preset PickerHotFormat of PickerShownProfile.
    void ChooseHotPreset();

private:
    int FormatCount(int Profile) const;
    bool InsideButton(int X, int Y) const;
    bool InEditButton() const;
    bool InRemoveButton() const;
    void RemoveCustomPreset(int Index);
    void RenameCustomPreset(int Index);

    TspSkinStringGrid* FProfiles;
    TspSkinStringGrid* FFormats;
    TTimer* FTimer;
};
