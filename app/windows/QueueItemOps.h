#pragma once
// What the user does to the queue through its grid: check marks (one item or
// all through the header box), selecting a row, renaming a title in place,
// moving, removing and clearing items, and the enabling of the commands that
// need items. Works on App().MediaFiles and repaints the grid.
#include "platform/classes/Events.h"
#include "platform/gui/Control.h"

#include <functional>
#include <string>
#include <vector>

class TMemo;
class TMenuItem;
class TQueueGridPainter;
class TspSkinNotebook;
class TspSkinSpeedButton;
class TspSkinStringGrid;

// The commands EnableControls switches.
struct TQueueCommands {
    // Switched only when all controls are asked for (adding media, the
    // output settings, the preview, the grid itself).
    std::vector<TControl*> InputControls;
    std::vector<TMenuItem*> InputMenuItems;
    // Always switched: the commands on items.
    std::vector<TControl*> ItemControls;
    std::vector<TMenuItem*> ItemMenuItems;
    // Shows page 1 whatever is asked; the getting-started panel is hidden.
    TspSkinNotebook* Notebook = nullptr;
    TControl* GettingStartedPanel = nullptr;
};

void EnableControls(const TQueueCommands& Commands, bool enableORdisable, bool AllControls);
// Disables a tool button and shows its disabled look at once.
void DisableButton(TspSkinSpeedButton* MyButton);

// The title a rename leaves: the typed text trimmed, with its line breaks
// dropped; an empty text, or one with "/" or another control character,
// keeps the old title (a title names the output file inside its folder).
std::string MendTitle(const std::string& Typed, const std::string& Old);

class TQueueItemOps : public TObject {
public:
    TQueueItemOps(TspSkinStringGrid* AGrid, TQueueGridPainter* APainter);
    ~TQueueItemOps() override;

    // Binds the grid's OnMouseDown and OnKeyDown and the memo's OnExit and
    // OnKeyPress to the handlers below.
    void Attach();

    TControl* StartButton = nullptr;  // Convert: enabled while an item is checked
    TMemo* TitleMemo = nullptr;       // the in-place title editor
    TQueueCommands Commands;

    // Selecting a row: its item's preset becomes the current one with its
    // icons, the settings form is refilled, and OnItemSelected shows the
    // item's own choices (tracks, subtitles, deinterlacing).
    void sgListClick(TObject* Sender);
    std::function<void(int ItemIndex)> OnItemSelected;

    // Check marks: column 0 of an item toggles it, column 0 elsewhere
    // toggles every item with the header's box.
    void sgListMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void ClickCheckColumn(int ACol, int ARow);
    // The Delete key removes the selected item.
    void sgListKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);

    void Rename1Click(TObject* Sender);
    void BeginRenameTitle(int ARow);
    void TitleMemoExit(TObject* Sender);
    void TitleMemoKeyPress(TObject* Sender, char& Key);
    void EndRenameTitle();

    void MoveUp1Click(TObject* Sender);
    void MoveDown1Click(TObject* Sender);
    void Remove1Click(TObject* Sender);
    void ClearAll1Click(TObject* Sender);

    // Sets RowCount from the queue and repaints.
    void Refresh();

private:
    int Count() const;
    void UpdateStartButton();

    TspSkinStringGrid* FGrid;
    TQueueGridPainter* FPainter;
    bool FEndingRename = false;
};
