#pragma once
// The job queue grid's own painting: every cell of sgList (header row, check
// boxes, thumbnails, titles, lengths, sizes, presets and the status cell with
// its progress bar) and the separator lines its line timer draws over the
// cells. The painter holds no queue data: it reads App().MediaFiles.
#include "platform/classes/Events.h"
#include "platform/rtl/Types.h"
#include "skin/lists/SkinStringGrid.h"

#include <functional>
#include <memory>
#include <string>

class TCanvas;
class TGraphic;
class TTimer;
struct TMediaFile;

// The pictures the cells show; any of them may be missing (nothing drawn).
struct TQueueGridPictures {
    TGraphic* ColumnCaptionBar = nullptr;  // header background
    TGraphic* TableRow = nullptr;          // selected row's background
    TGraphic* Check = nullptr;             // 13 x 13
    TGraphic* Uncheck = nullptr;           // 13 x 13
    TGraphic* Converted = nullptr;         // 32 x 32
    TGraphic* Cancelled = nullptr;         // 32 x 32
    TGraphic* MusicIcon = nullptr;
    TGraphic* Progress = nullptr;          // the empty bar
    TGraphic* ProgressFill = nullptr;      // its filled part
};

// Texts of the cells, as shown.
std::string QueueLengthText(const TMediaFile& Item);
std::string QueueSizeText(const TMediaFile& Item);  // "12.39 MB", the locale's separator
// The title of the item's preset, empty when its indices name none.
std::string QueuePresetTitle(const TMediaFile& Item);

// The progress bar of a status cell: the bar over the cell less a tenth of
// the column's width at each side and 10 pixels above and below, and its
// filled part for a percentage.
TRect QueueProgressBarRect(const TRect& Cell, int ColumnWidth);
TRect QueueProgressFillRect(const TRect& Bar, double Percent);

class TQueueGridPainter : public TObject {
public:
    // Column widths and the header height the grid starts with.
    static constexpr int kColumnWidths[7] = {40, 60, 160, 90, 90, 130, 110};
    static constexpr int kHeaderHeight = 26;
    // The line timer's interval: the platform's shortest timer.
    static constexpr unsigned kLineTimerInterval = 10;

    explicit TQueueGridPainter(TspSkinStringGrid* AGrid);
    ~TQueueGridPainter() override;

    // Gives the grid the queue's layout (columns, heights, options) and
    // binds its OnDrawCell to this painter.
    void SetUpGrid();
    // RowCount := number of items + 1.
    void SyncRowCount();

    TQueueGridPictures Pictures;
    // The header's check-all box.
    bool AllItemsChecked = true;
    // Nothing is painted while the loading dialog is shown.
    std::function<bool()> IsLoadingShown;
    // The encoder is paused: working items show PausedText.
    std::function<bool()> IsEncoderPaused;

    // OnDrawCell of the grid.
    void DrawCell(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State);
    bool CellPaintActive() const { return FCellPaintActive; }

    // The separator lines. The timer is created enabled (the main window
    // enables it at its first showing); a tick draws only when the grid
    // painted since the last tick, so an idle grid costs nothing.
    TTimer* LineTimer() const { return FTimer.get(); }
    void LineTimerTick(TObject* Sender);
    // Draws the lines on a canvas of the grid's client area.
    void DrawSeparatorLines(TCanvas* C);
    bool PaintedSinceTick() const { return FPaintedSinceTick; }

private:
    void PaintHeaderCell(TCanvas* C, int ACol, const TRect& R, int H);
    void PaintItemCell(TCanvas* C, int ACol, int ARow, const TRect& R, int H);
    void PaintStatusCell(TCanvas* C, const TMediaFile& Item, const TRect& R);

    TspSkinStringGrid* FGrid;
    std::unique_ptr<TTimer> FTimer;
    bool FCellPaintActive = false;
    bool FPaintedSinceTick = false;
};
