#include "app/windows/QueueGridPaint.h"

#include "app/core/AppData.h"
#include "app/core/TimeText.h"
#include "platform/gdi/Text.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Graphics.h"
#include "platform/rtl/Checked.h"
#include "platform/user/User.h"

#include <algorithm>

namespace {

constexpr TColor kHeaderLine = static_cast<TColor>(0xC0C0C0);
constexpr TColor kSeparatorLine = static_cast<TColor>(0xEAEAEA);

int ItemCount() { return static_cast<int>(App().MediaFiles.size()); }

// Halves to the even neighbour.
int RoundEven(double v) { return static_cast<int>(::Round(v)); }

bool HasPicture(TGraphic* g) { return g && !g->Empty(); }

void DrawAt(TCanvas* C, int x, int y, TGraphic* g)
{
    if (HasPicture(g))
        C->Draw(x, y, g);
}

void Stretch(TCanvas* C, const TRect& r, TGraphic* g)
{
    if (HasPicture(g))
        C->StretchDraw(r, g);
}

// Texts go over the background without filling it.
void Text(TCanvas* C, const std::string& s, TRect r, UINT format)
{
    C->Refresh();
    HDC dc = C->Handle();
    SetBkMode(dc, TRANSPARENT);
    DrawText(dc, s, -1, &r, format);
}

constexpr UINT kCentredLine = DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX;

// A word-wrapped text centred vertically on H: measured first, then drawn
// from the middle down (halves to even, as everywhere on the grid).
void WrappedText(TCanvas* C, const std::string& s, const TRect& cell, int left, int H, UINT extra)
{
    const UINT format = DT_WORDBREAK | DT_END_ELLIPSIS | DT_NOPREFIX | extra;
    TRect measure = cell;
    C->Refresh();
    const int h = DrawText(C->Handle(), s, -1, &measure, format | DT_CALCRECT);
    Text(C, s, TRect(left, cell.top + RoundEven(H / 2.0) - RoundEven(h / 2.0), cell.right, cell.bottom), format);
}

// A check box picture (13 x 13) at x + 8, centred on H.
void CheckBox(TCanvas* C, TGraphic* g, const TRect& r, int H)
{
    if (HasPicture(g))
        C->Draw(r.left + 8, RoundEven(r.top + H / 2.0 - g->Height() / 2.0), g);
}

}  // namespace

std::string QueueLengthText(const TMediaFile& Item) { return FormatMicroseconds(Item.TrimmedLength); }

std::string QueueSizeText(const TMediaFile& Item) { return FixedTwoDecimals(Item.EstimatedSize) + " MB"; }

std::string QueuePresetTitle(const TMediaFile& Item)
{
    const auto& profiles = App().Profiles;
    if (Item.ProfileInd < 0 || Item.ProfileInd >= static_cast<int>(profiles.size()))
        return {};
    const auto& formats = profiles[static_cast<std::size_t>(Item.ProfileInd)].Formats;
    if (Item.FormatInd < 0 || Item.FormatInd >= static_cast<int>(formats.size()))
        return {};
    return formats[static_cast<std::size_t>(Item.FormatInd)].Title;
}

TRect QueueProgressBarRect(const TRect& Cell, int ColumnWidth)
{
    const int m = ColumnWidth / 10;
    return TRect(Cell.left + m, Cell.top + 10, Cell.right - m, Cell.bottom - 10);
}

TRect QueueProgressFillRect(const TRect& Bar, double Percent)
{
    const int w = Bar.right - Bar.left;
    return TRect(Bar.left + 1, Bar.top + 1, Bar.left + 1 + RoundEven(w / 100.0 * Percent), Bar.bottom - 1);
}

TQueueGridPainter::TQueueGridPainter(TspSkinStringGrid* AGrid) : FGrid(AGrid)
{
    FTimer = std::make_unique<TTimer>(nullptr);
    FTimer->SetEnabled(false);
    FTimer->SetInterval(kLineTimerInterval);
    FTimer->SetOnTimer(MakeEvent(this, &TQueueGridPainter::LineTimerTick));
}

TQueueGridPainter::~TQueueGridPainter()
{
    FTimer->SetEnabled(false);
    if (FGrid && FGrid->OnDrawCell == MakeEvent(this, &TQueueGridPainter::DrawCell))
        FGrid->OnDrawCell = {};
}

void TQueueGridPainter::SetUpGrid()
{
    FGrid->SetColCount(7);
    FGrid->SetFixedCols(0);
    FGrid->SetDefaultRowHeight(50);
    FGrid->SetOptions(TGridOptions{goFixedVertLine, goFixedHorzLine, goColSizing, goRowSelect});
    FGrid->SetDefaultDrawing(false);
    FGrid->SetGridLineWidth(0);
    FGrid->SetUseSkinFont(false);
    FGrid->SetUseSkinCellHeight(false);
    for (int i = 0; i < 7; ++i)
        FGrid->SetColWidths(i, kColumnWidths[i]);
    FGrid->SetRowHeights(0, kHeaderHeight);
    FGrid->OnDrawCell = MakeEvent(this, &TQueueGridPainter::DrawCell);
}

void TQueueGridPainter::SyncRowCount() { FGrid->SetRowCount(ItemCount() + 1); }

void TQueueGridPainter::DrawCell(TObject*, int ACol, int ARow, TRect Rect, TGridDrawState)
{
    if (IsLoadingShown && IsLoadingShown())
        return;
    FCellPaintActive = true;
    FPaintedSinceTick = true;
    TCanvas* C = FGrid->Canvas();
    C->Font()->SetName("Microsoft Sans Serif");
    C->Font()->SetSize(8);
    C->Font()->SetColor(clBlack);
    C->Font()->SetStyle({});
    C->Brush()->SetStyle(bsClear);
    const int H = ARow == 0 ? FGrid->RowHeights(0) : FGrid->DefaultRowHeight();
    try {
        if (!FGrid->Enabled() && ACol != 6) {
            // a disabled grid keeps everything but the status column as it is
        } else if (ARow == 0 || ARow > ItemCount()) {
            PaintHeaderCell(C, ACol, Rect, H);
        } else {
            PaintItemCell(C, ACol, ARow, Rect, H);
        }
    } catch (...) {
        FCellPaintActive = false;
        throw;
    }
    FCellPaintActive = false;
}

void TQueueGridPainter::PaintHeaderCell(TCanvas* C, int ACol, const TRect& R, int H)
{
    Stretch(C, R, Pictures.ColumnCaptionBar);
    if (ACol == 0) {
        CheckBox(C, AllItemsChecked ? Pictures.Check : Pictures.Uncheck, R, H);
        return;
    }
    // The captions are kept in the order "Title", "Thumbnail", "Length",
    // "Size", "Profile", "Status"; the thumbnail column comes first.
    static constexpr int kCaptionOf[7] = {-1, 1, 0, 2, 3, 4, 5};
    const auto& captions = App().ColumnCaptions;
    if (ACol >= 1 && ACol <= 6)
        Text(C, captions[static_cast<std::size_t>(kCaptionOf[ACol])], R, kCentredLine);
    if (ACol <= 5) {
        C->Pen()->SetColor(kHeaderLine);
        C->MoveTo(R.right - 1, R.top);
        C->LineTo(R.right - 1, R.bottom);
    }
}

void TQueueGridPainter::PaintItemCell(TCanvas* C, int ACol, int ARow, const TRect& R, int H)
{
    const TMediaFile& item = App().MediaFiles[static_cast<std::size_t>(ARow - 1)];
    // The selected row shows the row picture; without one it is white too.
    if (ARow == FGrid->Row() && HasPicture(Pictures.TableRow)) {
        C->StretchDraw(R, Pictures.TableRow);
    } else {
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(clWhite);
        C->FillRect(R);
        C->Brush()->SetStyle(bsClear);
    }
    C->Font()->SetColor(clBlack);
    switch (ACol) {
    case 0:
        CheckBox(C, item.Checked ? Pictures.Check : Pictures.Uncheck, R, H);
        break;
    case 1: {
        const auto& thumbs = App().Thumbnails;
        const int t = item.VideoThumbnailIndex;
        TBitmap* thumb =
            t >= 0 && t < static_cast<int>(thumbs.size()) ? thumbs[static_cast<std::size_t>(t)].get() : nullptr;
        if (t >= 0 && !item.isSourceAudioFormat) {
            if (thumb && !thumb->Empty())
                C->Draw(R.left + 4, R.top + RoundEven(H / 2.0) - 18, thumb);
        } else if (item.isSourceAudioFormat) {
            DrawAt(C, R.left + 3, R.top + 2, Pictures.MusicIcon);
        }
        break;
    }
    case 2:
        WrappedText(C, item.DestinationTitle, R, R.left + 5, H, 0);
        break;
    case 3:
        Text(C, QueueLengthText(item), R, kCentredLine);
        break;
    case 4:
        Text(C, QueueSizeText(item), R, kCentredLine);
        break;
    case 5:
        WrappedText(C, QueuePresetTitle(item), R, R.left, H, DT_CENTER);
        break;
    case 6:
        PaintStatusCell(C, item, R);
        break;
    default:
        break;
    }
}

void TQueueGridPainter::PaintStatusCell(TCanvas* C, const TMediaFile& Item, const TRect& R)
{
    const int width = R.right - R.left;
    if (Item.StatusS >= 99.5f || Item.StatusS == -2.0f) {
        TGraphic* g = Item.StatusS >= 99.5f ? Pictures.Converted : Pictures.Cancelled;
        if (HasPicture(g))
            C->Draw(RoundEven(R.left + width / 2.0 - g->Width() / 2.0), R.top + 10, g);
        return;
    }
    if (Item.StatusS > 0) {
        const TRect bar = QueueProgressBarRect(R, FGrid->ColWidths(6));
        Stretch(C, bar, Pictures.Progress);
        Stretch(C, QueueProgressFillRect(bar, Item.StatusS), Pictures.ProgressFill);
    }
    C->Brush()->SetStyle(bsClear);
    const bool paused = Item.StatusS > 0 && IsEncoderPaused && IsEncoderPaused();
    Text(C, paused ? App().PausedText : Item.Status, R, kCentredLine);
}

void TQueueGridPainter::LineTimerTick(TObject*)
{
    if (!FPaintedSinceTick || !FGrid->HandleAllocated())
        return;
    if (IsLoadingShown && IsLoadingShown())
        return;
    // Drawn through a window DC: the control's canvas lives only inside a paint.
    HDC dc = GetDC(FGrid->Handle());
    if (!dc)
        return;
    {
        TCanvas canvas;
        canvas.SetHandle(dc);
        DrawSeparatorLines(&canvas);
        canvas.SetHandle(nullptr);
    }
    ReleaseDC(FGrid->Handle(), dc);
    FPaintedSinceTick = false;
}

void TQueueGridPainter::DrawSeparatorLines(TCanvas* C)
{
    C->Pen()->SetColor(kSeparatorLine);
    C->Pen()->SetStyle(psSolid);
    C->Pen()->SetWidth(1);
    const TRect client = FGrid->ClientRect();
    const int gridHeight = client.bottom;
    const int gridWidth = client.right;
    const int T = FGrid->RowHeights(0);
    if (!FCellPaintActive) {
        int x = 0;
        for (int c = 0; c <= 5 && c < FGrid->ColCount(); ++c) {
            x += FGrid->ColWidths(c);
            C->MoveTo(x - 1, T);
            C->LineTo(x - 1, gridHeight);
        }
    }
    const int rowHeight = FGrid->DefaultRowHeight();
    if (rowHeight <= 0)
        return;
    const int n = (gridHeight - T) / rowHeight;
    for (int k = 1; k <= n; ++k) {
        C->MoveTo(0, T + k * rowHeight);
        C->LineTo(gridWidth, T + k * rowHeight);
    }
}
