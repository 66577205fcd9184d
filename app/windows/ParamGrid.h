#pragma once
// The output panel's parameter grid: a video and an audio group of four
// settings each, both foldable, showing the current preset's values from the
// settings form; a value cell opens an in-place drop-down whose choice goes
// straight into the preset.
#include "platform/classes/Events.h"
#include "platform/gui/Control.h"
#include "skin/lists/SkinStringGrid.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

class TGraphic;
class Tsettingsform;
class TspSkinComboBox;
struct TFormat;

enum class TParamRow {
    None,
    VideoHeader,
    Resolution,
    VideoEncoder,
    VideoBitRate,
    FrameRate,
    AudioHeader,
    SampleRate,
    AudioEncoder,
    AudioBitRate,
    Channels
};

// Where and with what the in-place drop-down opens.
struct TParamDropDown {
    TRect Bounds;                    // in the grid's parent
    std::vector<std::string> Items;  // the shown entries
    int ItemIndex = -1;
    bool Editable = false;  // the resolution row takes typed text
    std::string Text;
};

class TParamGrid : public TObject {
public:
    TParamGrid(TspSkinStringGrid* AGrid, Tsettingsform* ASettings);
    ~TParamGrid() override;

    // 3 columns, 26-pixel rows, no fixed lines, own drawing; binds OnDrawCell
    // and OnMouseDown.
    void SetUpGrid(int ScrollBarWidth = 0);

    TGraphic* imgPlus = nullptr;
    TGraphic* imgMinus = nullptr;
    TGraphic* imgnone = nullptr;
    bool VideoParametersCollapsed = false;
    bool AudioParametersCollapsed = false;
    int ParamVideoRows = 4;
    int ParamAudioRows = 4;
    int ParamVideoHeaderRow = 0;
    int ParamAudioHeaderRow = 5;
    // After a value changed: the queue's estimates and repaint (the main
    // window's part).
    std::function<void()> OnValueApplied;

    // The rows from the fold flags and the current preset; sets RowCount.
    void RecomputeRows();
    TParamRow RowKind(int ARow) const;

    void ParamGridDrawCell(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State);
    void ParamGridMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void ClickFoldColumn(int ACol, int ARow);
    // The drop-down for a value cell; nothing for column 0 or a header.
    std::optional<TParamDropDown> ParamGridSelectCell(int ACol, int ARow);
    // Applies the drop-down's choice (its text for the resolution, its index
    // otherwise) to the current preset. Returns whether the preset changed:
    // a folded group, an audio-only preset's video row or no chosen entry
    // change nothing.
    bool cmbParamsCloseUp(int ARow, const std::string& Text, int ItemIndex);

private:
    TspSkinComboBox* BoxOf(TParamRow Kind) const;
    TspSkinStringGrid* FGrid;
    Tsettingsform* FSettings;
};

// The current preset, or null when the indices name none.
TFormat* CurrentPreset();
