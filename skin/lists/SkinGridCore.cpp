// The grid's model: extents, layout, counts, the current cell, the anchor,
// the top-left cell, moving and removing lines, and the stored sizes.
#include "skin/lists/SkinGridCore.h"

#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/rtl/Checked.h"
#include "skin/controls/SkinScrollBars.h"
#include "skin/lists/SkinGridEditor.h"

#include <algorithm>

// ---- unit routines ------------------------------------------------------------

void RaiseGridError(const char* Msg) { throw EInvalidGridOperation(Msg); }

TGridRect MakeGridRect(TGridCoord A, TGridCoord B)
{
    return TGridRect{std::min(A.X, B.X), std::min(A.Y, B.Y), std::max(A.X, B.X), std::max(A.Y, B.Y)};
}

bool CellInGridRect(int ACol, int ARow, const TGridRect& R)
{
    return ACol >= R.Left && ACol <= R.Right && ARow >= R.Top && ARow <= R.Bottom;
}

void ResizeExtents(TGridExtents& A, int Index, int Amount, int Default)
{
    if (Amount == 0)
        return;
    const int old = static_cast<int>(A.size());
    if (Index < 0 || Index > old)
        RaiseGridError("Grid index out of range");
    const std::int64_t count = static_cast<std::int64_t>(old) + Amount;
    if (count < 0)
        RaiseGridError("Too many rows or columns deleted");
    if (count > kMaxGridExtents)
        RaiseGridError("Grid too large for operation");
    if (Amount > 0) {
        A.insert(A.begin() + Index, static_cast<std::size_t>(Amount), Default);
    } else {
        // Deleting inside the array takes the deleted lines' own sizes out;
        // lines beyond the array have no entries to take.
        const int first = std::min(Index, old);
        const int last = static_cast<int>(std::min<std::int64_t>(old, static_cast<std::int64_t>(Index) - Amount));
        A.erase(A.begin() + first, A.begin() + last);
        A.resize(static_cast<std::size_t>(count));
    }
    if (count == 0)
        TGridExtents().swap(A);
}

void SetExtentCount(TGridExtents& A, int NewCount, int Default)
{
    const int old = static_cast<int>(A.size());
    ResizeExtents(A, old, CheckedSub(NewCount, old), Default);
}

void MoveExtentEntry(TGridExtents& A, int FromPos, int ToPos)
{
    if (A.empty())
        return;
    const int n = static_cast<int>(A.size());
    if (FromPos < 1 || FromPos > n || ToPos < 1 || ToPos > n)
        RaiseGridError("Grid index out of range");
    const int value = A[static_cast<std::size_t>(FromPos - 1)];
    if (FromPos < ToPos)
        std::move(A.begin() + FromPos, A.begin() + ToPos, A.begin() + FromPos - 1);
    else if (FromPos > ToPos)
        std::move_backward(A.begin() + ToPos - 1, A.begin() + FromPos - 1, A.begin() + FromPos);
    A[static_cast<std::size_t>(ToPos - 1)] = value;
}

bool SameExtents(const TGridExtents& A, const TGridExtents& B) { return A == B; }

// ---- construction ----------------------------------------------------------------

TspSkinCustomGrid::TspSkinCustomGrid(TComponent* AOwner)
    : TspSkinControl(AOwner), FWallpaper(std::make_unique<TBitmap>()), FCellBitmap(std::make_unique<TBitmap>())
{
    FControlStyle = TControlStyle{csCaptureMouse, csOpaque, csDoubleClicks};
    FSkinDataName = "grid";
    SetColor(clWindow);
    SetParentColor(false);
    SetTabStop(true);
    SetBounds(Left(), Top(), FColCount * FDefaultColWidth, FRowCount * FDefaultRowHeight);
    ResetPositions();
}

TspSkinCustomGrid::~TspSkinCustomGrid()
{
    StopGridTimer();
    FHScrollBar = nullptr;
    FVScrollBar = nullptr;
}

void TspSkinCustomGrid::CreateParams(TCreateParams& Params)
{
    TspSkinControl::CreateParams(Params);
    Params.Style |= WS_TABSTOP;
    Params.Style &= ~static_cast<DWORD>(WS_HSCROLL | WS_VSCROLL);
    Params.WindowClass.style = CS_DBLCLKS;
}

// ---- layout --------------------------------------------------------------------------

TGridLayout TspSkinCustomGrid::ComputeLayout()
{
    if (!HandleAllocated() && !Parent())
        return ComputeLayoutFor(Width(), Height());
    const TRect r = ClientRect();
    return ComputeLayoutFor(r.right, r.bottom);
}

TGridLayout TspSkinCustomGrid::ComputeLayoutFor(int W, int H)
{
    TGridLayout L;
    auto fixed = [this](TGridAxisLayout& A, bool lines, int fixedCount, int first, int count, const TGridExtents& ext,
                        int def) {
        A.LineWidth = lines ? FGridLineWidth : 0;
        A.FixedCount = fixedCount;
        A.FirstScrollCell = first;
        A.CellCount = count;
        A.Extents = &ext;
        A.Default = def;
        int edge = 0;
        for (int i = 0; i < fixedCount; ++i)
            edge = CheckedAdd(edge, CheckedAdd(A.ExtentOf(i), A.LineWidth));
        A.FixedEdge = edge;
    };
    fixed(L.Horz, FOptions.Contains(goFixedVertLine) || FOptions.Contains(goVertLine), FFixedCols, FTopLeft.X,
          FColCount, FColWidths, FDefaultColWidth);
    fixed(L.Vert, FOptions.Contains(goFixedHorzLine) || FOptions.Contains(goHorzLine), FFixedRows, FTopLeft.Y,
          FRowCount, FRowHeights, FDefaultRowHeight);
    auto scroll = [](TGridAxisLayout& A, int extent) {
        A.ClientExtent = extent;
        A.GridEdge = A.WholeEdge = A.FixedEdge;
        A.LastWholeCell = A.FirstScrollCell;
        for (int i = A.FirstScrollCell; i < A.CellCount; ++i) {
            A.GridEdge = CheckedAdd(A.GridEdge, CheckedAdd(A.ExtentOf(i), A.LineWidth));
            if (A.GridEdge > CheckedAdd(A.ClientExtent, A.LineWidth)) {
                A.GridEdge = A.ClientExtent;
                break;
            }
            A.LastWholeCell = i;
            A.WholeEdge = A.GridEdge;
        }
    };
    scroll(L.Horz, W);
    scroll(L.Vert, H);
    return L;
}

int TspSkinCustomGrid::AxisCellAt(const TGridAxisLayout& A, int N) const
{
    int i, line, stop;
    if (N < A.FixedEdge) {
        i = 0;
        line = 0;
        stop = A.FixedCount;
    } else {
        i = A.FirstScrollCell;
        line = A.FixedEdge;
        stop = A.CellCount;
    }
    for (; i < stop; ++i) {
        line = CheckedAdd(line, CheckedAdd(A.ExtentOf(i), A.LineWidth));
        if (N < line)
            return i;
    }
    return -1;
}

TGridCoord TspSkinCustomGrid::CellAtPoint(int X, int Y)
{
    const TGridLayout L = ComputeLayout();
    return TGridCoord{AxisCellAt(L.Horz, X), AxisCellAt(L.Vert, Y)};
}

TGridCoord TspSkinCustomGrid::MouseCoord(int X, int Y)
{
    TGridCoord c = CellAtPoint(X, Y);
    if (c.X == -1 || c.Y == -1)
        return TGridCoord{-1, -1};
    return c;
}

int TspSkinCustomGrid::AxisLinePos(const TGridAxisLayout& A, int I) const
{
    if (I < A.FixedCount) {
        int line = 0;
        for (int j = 0; j < I; ++j) {
            line = CheckedAdd(line, CheckedAdd(A.ExtentOf(j), A.LineWidth));
            if (line > A.ClientExtent)
                return 0;
        }
        return line;
    }
    int line = I >= A.FirstScrollCell ? A.FixedEdge : 0;
    for (int j = A.FirstScrollCell; j < I; ++j) {
        line = CheckedAdd(line, CheckedAdd(A.ExtentOf(j), A.LineWidth));
        if (line > A.ClientExtent)
            return 0;
    }
    return line;
}

TRect TspSkinCustomGrid::BoxToRect(int ALeft, int ATop, int ARight, int ABottom)
{
    return GridRectToClientRect(TGridRect{ALeft, ATop, ARight, ABottom}, false);
}

TRect TspSkinCustomGrid::GridRectToClientRect(TGridRect G, bool IncludeLine)
{
    TRect result(0, 0, 0, 0);
    if (G.Left > G.Right || G.Top > G.Bottom)
        return result;
    const TGridLayout L = ComputeLayout();
    if (G.Left > L.Horz.LastWholeCell + 1 || G.Top > L.Vert.LastWholeCell + 1)
        return result;
    auto axis = [&](const TGridAxisLayout& A, int Min, int Max, int& Start, int& End) {
        if (A.FixedCount <= Min && Min < A.FirstScrollCell) {
            if (Max < A.FirstScrollCell)
                return false;
            Min = A.FirstScrollCell;
        }
        if (Max > A.LastWholeCell) {
            Max = A.LastWholeCell;
            if (Max < A.CellCount - 1)
                ++Max;
            if (AxisLinePos(A, Max) == 0)
                --Max;
        }
        Start = AxisLinePos(A, Min);
        End = AxisLinePos(A, Max);
        if (End == 0)
            End = Start + A.ExtentOf(Min);
        else
            End = End + A.ExtentOf(Max);
        End = std::min(End, A.ClientExtent);
        if (IncludeLine)
            End += A.LineWidth;
        return true;
    };
    int l, r, t, b;
    if (!axis(L.Horz, G.Left, G.Right, l, r))
        return result;
    if (!axis(L.Vert, G.Top, G.Bottom, t, b))
        return result;
    return TRect(l, t, r, b);
}

TGridCoord TspSkinCustomGrid::MaxTopLeftFor(TGridCoord C, const TGridLayout& L) const
{
    auto axis = [](const TGridAxisLayout& A, int Start) {
        int result = Start;
        int line = A.ClientExtent + A.LineWidth;
        for (int i = Start; i >= A.FixedCount; --i) {
            line -= A.ExtentOf(i) + A.LineWidth;
            if (line < A.FixedEdge)
                break;
            if (A.ExtentOf(i) > 0)
                result = i;
        }
        return result;
    };
    return TGridCoord{axis(L.Horz, C.X), axis(L.Vert, C.Y)};
}

int TspSkinCustomGrid::VisibleColCount()
{
    const TGridLayout L = ComputeLayout();
    return L.Horz.LastWholeCell - FTopLeft.X + 1;
}

int TspSkinCustomGrid::VisibleRowCount()
{
    const TGridLayout L = ComputeLayout();
    return L.Vert.LastWholeCell - FTopLeft.Y + 1;
}

// ---- sizes ----------------------------------------------------------------------------

int TspSkinCustomGrid::ColWidths(int Index) const
{
    return Index >= 0 && static_cast<std::size_t>(Index) < FColWidths.size() ? FColWidths[static_cast<std::size_t>(Index)]
                                                                             : FDefaultColWidth;
}

int TspSkinCustomGrid::RowHeights(int Index) const
{
    return Index >= 0 && static_cast<std::size_t>(Index) < FRowHeights.size()
               ? FRowHeights[static_cast<std::size_t>(Index)]
               : FDefaultRowHeight;
}

bool TspSkinCustomGrid::TabStops(int Index) const
{
    return !(Index >= 0 && static_cast<std::size_t>(Index) < FTabStops.size()) ||
           FTabStops[static_cast<std::size_t>(Index)] != 0;
}

namespace {
// Writes one individual value, making the array on first write.
bool WriteExtent(TGridExtents& A, int Count, int Index, int Value, int Default)
{
    if (A.empty())
        SetExtentCount(A, Count, Default);
    if (Index < 0 || Index >= static_cast<int>(A.size()))
        RaiseGridError("Grid index out of range");
    int& slot = A[static_cast<std::size_t>(Index)];
    if (slot == Value)
        return false;
    slot = Value;
    return true;
}
}  // namespace

void TspSkinCustomGrid::SetColWidths(int Index, int Value)
{
    if (WriteExtent(FColWidths, FColCount, Index, Value, FDefaultColWidth)) {
        InvalidateWholeGrid();
        AfterColWidthsChanged();
    }
}

void TspSkinCustomGrid::SetRowHeights(int Index, int Value)
{
    if (WriteExtent(FRowHeights, FRowCount, Index, Value, FDefaultRowHeight)) {
        InvalidateWholeGrid();
        AfterRowHeightsChanged();
    }
}

void TspSkinCustomGrid::SetTabStops(int Index, bool Value)
{
    if (WriteExtent(FTabStops, FColCount, Index, Value ? 1 : 0, 1))
        InvalidateWholeGrid();
}

void TspSkinCustomGrid::SetDefaultColWidth(int Value)
{
    FDefaultColWidth = Value;
    TGridExtents().swap(FColWidths);
    AfterColWidthsChanged();
    InvalidateWholeGrid();
}

void TspSkinCustomGrid::SetDefaultRowHeight(int Value)
{
    FDefaultRowHeight = Value;
    TGridExtents().swap(FRowHeights);
    AfterRowHeightsChanged();
    InvalidateWholeGrid();
}

void TspSkinCustomGrid::AfterColWidthsChanged()
{
    UpdateScrollRange(true);
    SyncEditor();
}

void TspSkinCustomGrid::AfterRowHeightsChanged()
{
    UpdateScrollRange(true);
    SyncEditor();
}

void TspSkinCustomGrid::SetGridLineWidth(int Value)
{
    if (Value == FGridLineWidth)
        return;
    FGridLineWidth = Value;
    InvalidateWholeGrid();
}

void TspSkinCustomGrid::SetFixedColor(TColor Value)
{
    if (Value == FFixedColor)
        return;
    FFixedColor = Value;
    InvalidateWholeGrid();
}

void TspSkinCustomGrid::SetBorderStyle(TBorderStyle Value)
{
    if (Value == FBorderStyle)
        return;
    FBorderStyle = Value;
    if (HandleAllocated())
        RecreateWnd();
}

// ---- counts ------------------------------------------------------------------------------

void TspSkinCustomGrid::SetColCount(int Value)
{
    if (Value == FColCount)
        return;
    if (Value < 1)
        Value = 1;
    if (FFixedCols >= Value)
        SetFixedCols(Value - 1);
    ChangeDimensions(Value, FRowCount);
    if (FOptions.Contains(goRowSelect)) {
        FAnchor.X = FColCount - 1;
        Invalidate();
    }
}

void TspSkinCustomGrid::SetRowCount(int Value)
{
    if (Value == FRowCount)
        return;
    if (Value < 1)
        Value = 1;
    if (FFixedRows >= Value)
        SetFixedRows(Value - 1);
    ChangeDimensions(FColCount, Value);
}

void TspSkinCustomGrid::SetFixedCols(int Value)
{
    if (Value == FFixedCols)
        return;
    if (Value < 0)
        RaiseGridError("Grid index out of range");
    if (Value >= FColCount)
        RaiseGridError("Fixed column count must be less than column count");
    FFixedCols = Value;
    ResetPositions();
    InvalidateWholeGrid();
}

void TspSkinCustomGrid::SetFixedRows(int Value)
{
    if (Value == FFixedRows)
        return;
    if (Value < 0)
        RaiseGridError("Grid index out of range");
    if (Value >= FRowCount)
        RaiseGridError("Fixed row count must be less than row count");
    FFixedRows = Value;
    ResetPositions();
    InvalidateWholeGrid();
}

void TspSkinCustomGrid::ResetPositions()
{
    FTopLeft = FCurrent = FAnchor = TGridCoord{FFixedCols, FFixedRows};
    if (FOptions.Contains(goRowSelect))
        FAnchor.X = FColCount - 1;
}

void TspSkinCustomGrid::ChangeDimensions(int NewCols, int NewRows)
{
    TGridLayout oldLayout{};
    const bool window = HandleAllocated();
    if (window)
        oldLayout = ComputeLayout();
    const int oldCols = FColCount, oldRows = FRowCount;
    FColCount = NewCols;
    FRowCount = NewRows;
    if (FFixedCols > NewCols)
        FFixedCols = NewCols - 1;
    if (FFixedRows > NewRows)
        FFixedRows = NewRows - 1;
    auto apply = [&] {
        if (!FColWidths.empty())
            SetExtentCount(FColWidths, FColCount, FDefaultColWidth);
        if (!FTabStops.empty())
            SetExtentCount(FTabStops, FColCount, 1);
        if (!FRowHeights.empty())
            SetExtentCount(FRowHeights, FRowCount, FDefaultRowHeight);
        TGridCoord target{std::min(FCurrent.X, FColCount - 1), std::min(FCurrent.Y, FRowCount - 1)};
        if (!(target == FCurrent))
            MoveCurrentCell(target.X, target.Y, true, true);
        if (!(FAnchor == target) && !FOptions.Contains(goRowSelect))
            MoveAnchorTo(target);
        if (FOptions.Contains(goRowSelect) && FAnchor.Y > FRowCount - 1)
            FAnchor.Y = FCurrent.Y;
        if (VirtualView || !window || FTopLeft.X != oldLayout.Horz.FirstScrollCell ||
            FTopLeft.Y != oldLayout.Vert.FirstScrollCell)
            InvalidateWholeGrid();
        else {
            const TGridLayout L = ComputeLayout();
            const int col = std::min(oldLayout.Horz.LastWholeCell, L.Horz.LastWholeCell);
            const int row = std::min(oldLayout.Vert.LastWholeCell, L.Vert.LastWholeCell);
            TRect r = CellRect(col, 0);
            RECT a{r.left, 0, Width(), Height()};
            InvalidateRect(Handle(), &a, FALSE_);
            r = CellRect(0, row);
            RECT b{0, r.top, Width(), Height()};
            InvalidateRect(Handle(), &b, FALSE_);
        }
        UpdateScrollRange(true);
        AfterSizeChanged(oldCols, oldRows);
    };
    try {
        apply();
    } catch (...) {
        FColCount = oldCols;
        FRowCount = oldRows;
        try {
            apply();
        } catch (...) {
        }
        InvalidateWholeGrid();
        throw;
    }
}

// ---- options --------------------------------------------------------------------------------

void TspSkinCustomGrid::SetOptions(TGridOptions Value)
{
    if (Value == FOptions)
        return;
    if (Value.Contains(goRowSelect))
        Value.Exclude(goAlwaysShowEditor);
    FOptions = Value;
    if (!FEditorMode) {
        if (FOptions.Contains(goAlwaysShowEditor))
            ShowEditorNow();
        else
            HideEditorNow();
    }
    if (FOptions.Contains(goRowSelect))
        MoveCurrentCell(FCurrent.X, FCurrent.Y, true, false);
    InvalidateWholeGrid();
}

// ---- current cell -------------------------------------------------------------------------------

void TspSkinCustomGrid::MoveCurrentCell(int ACol, int ARow, bool MoveAnchor, bool Show)
{
    if (ACol < 0 || ARow < 0 || ACol >= FColCount || ARow >= FRowCount)
        RaiseGridError("Grid index out of range");
    if (!CanSelectCell(ACol, ARow))
        return;
    const TGridRect oldSel = Selection();
    const TGridCoord oldCur = FCurrent;
    FCurrent = TGridCoord{ACol, ARow};
    if (!FOptions.Contains(goAlwaysShowEditor))
        HideEditorNow();
    if (MoveAnchor || !FOptions.Contains(goRangeSelect)) {
        FAnchor = FCurrent;
        if (FOptions.Contains(goRowSelect))
            FAnchor.X = FColCount - 1;
    }
    if (FOptions.Contains(goRowSelect))
        FCurrent.X = FFixedCols;
    if (Show)
        ClampCellInView(FCurrent);
    RepaintSelectionChange(oldSel);
    InvalidateCellAt(oldCur.X, oldCur.Y);
    InvalidateCellAt(ACol, ARow);
}

void TspSkinCustomGrid::MoveAnchorTo(TGridCoord C)
{
    if ((FOptions * TGridOptions{goRangeSelect, goEditing}) == TGridOptions{goRangeSelect}) {
        const TGridRect oldSel = Selection();
        FAnchor = C;
        if (FOptions.Contains(goRowSelect))
            FAnchor.X = FColCount - 1;
        ClampCellInView(C);
        RepaintSelectionChange(oldSel);
    } else {
        MoveCurrentCell(C.X, C.Y, true, true);
    }
}

void TspSkinCustomGrid::FocusCellAt(int ACol, int ARow, bool MoveAnchor)
{
    MoveCurrentCell(ACol, ARow, MoveAnchor, true);
    SyncEditor();
    Click();
}

void TspSkinCustomGrid::SetCol(int Value)
{
    if (Value != FCurrent.X)
        FocusCellAt(Value, FCurrent.Y, true);
}

void TspSkinCustomGrid::SetRow(int Value)
{
    if (Value != FCurrent.Y)
        FocusCellAt(FCurrent.X, Value, true);
}

void TspSkinCustomGrid::SetSelection(const TGridRect& Value)
{
    const TGridRect oldSel = Selection();
    FAnchor = TGridCoord{Value.Left, Value.Top};
    FCurrent = TGridCoord{Value.Right, Value.Bottom};
    RepaintSelectionChange(oldSel);
}

void TspSkinCustomGrid::ClampCellInView(TGridCoord C)
{
    if (!HandleAllocated())
        return;
    const TGridLayout L = ComputeLayout();
    if (C.X > L.Horz.LastWholeCell || C.Y > L.Vert.LastWholeCell || C.X < FTopLeft.X || C.Y < FTopLeft.Y) {
        const TGridCoord old = FTopLeft;
        const TGridCoord M = MaxTopLeftFor(C, L);
        Update();
        if (C.X < FTopLeft.X)
            FTopLeft.X = C.X;
        else if (C.X > L.Horz.LastWholeCell)
            FTopLeft.X = M.X;
        if (C.Y < FTopLeft.Y)
            FTopLeft.Y = C.Y;
        else if (C.Y > L.Vert.LastWholeCell)
            FTopLeft.Y = M.Y;
        AfterTopLeftMoved(old);
    }
}

void TspSkinCustomGrid::SetLeftCol(int Value)
{
    if (Value != FTopLeft.X)
        MoveTopLeftTo(Value, FTopLeft.Y);
}

void TspSkinCustomGrid::SetTopRow(int Value)
{
    if (Value != FTopLeft.Y)
        MoveTopLeftTo(FTopLeft.X, Value);
}

void TspSkinCustomGrid::MoveTopLeftTo(int ALeft, int ATop)
{
    if (ALeft == FTopLeft.X && ATop == FTopLeft.Y)
        return;
    if (HandleAllocated())
        Update();
    const TGridCoord old = FTopLeft;
    FTopLeft = TGridCoord{ALeft, ATop};
    AfterTopLeftMoved(old);
}

void TspSkinCustomGrid::AfterTopLeftMoved(TGridCoord Old)
{
    UpdateScrollPos(true);
    bool whole = false;
    if (HandleAllocated()) {
        const TGridLayout L = ComputeLayout();
        // The distance stops counting once it passes the scrollable area:
        // a long jump repaints instead of walking every line in between.
        auto distance = [](const TGridAxisLayout& A, int from, int to, bool& tooFar) -> int {
            const int limit = A.GridEdge - A.FixedEdge;
            std::int64_t sum = 0;
            for (int i = std::min(from, to); i < std::max(from, to); ++i) {
                sum += static_cast<std::int64_t>(A.ExtentOf(i)) + A.LineWidth;
                if (sum > limit) {
                    tooFar = true;
                    return 0;
                }
            }
            return static_cast<int>(to > from ? -sum : sum);
        };
        const int dx = distance(L.Horz, Old.X, FTopLeft.X, whole);
        const int dy = whole ? 0 : distance(L.Vert, Old.Y, FTopLeft.Y, whole);
        if (whole)
            InvalidateWholeGrid();
        else
            ScrollContent(dx, dy);
    }
    AfterTopLeftChanged();
    if (!HandleAllocated())
        return;
    // Strips a skin background or the area beyond the grid needs redrawn.
    const bool plainBackground = !SkinLook() || (!FTransparent && !BGPicture);
    // On a plain background a vertical scroll moved the strip beside the
    // grid within itself, one colour, so it stays right. Invalidating it
    // anyway would stretch the update box over the whole client and turn a
    // one-row scroll into a full repaint.
    if (plainBackground && !whole && FTopLeft.X == Old.X)
        return;
    const int gw = std::min(GridWidth(), Width() - 1);
    if (plainBackground) {
        RECT r{gw, 0, ClientWidth(), ClientHeight()};
        InvalidateRect(Handle(), &r, TRUE_);
    } else {
        const TGridLayout L = ComputeLayout();
        RECT a{L.Horz.FixedEdge, L.Vert.FixedEdge, ClientWidth(), ClientHeight()};
        InvalidateRect(Handle(), &a, TRUE_);
        RECT b{gw, 0, ClientWidth(), L.Vert.FixedEdge};
        InvalidateRect(Handle(), &b, TRUE_);
    }
}

void TspSkinCustomGrid::AfterTopLeftChanged()
{
    if (FEditorMode && FInplaceEdit) {
        TRect r = CellRect(FCurrent.X, FCurrent.Y);
        FInplaceEdit->UpdateLoc(r);
    }
}

// ---- moving and removing lines ------------------------------------------------------------------------

namespace {
void ShiftIndex(int& P, int From, int To)
{
    if (P == From)
        P = To;
    else if (From < To && P > From && P <= To)
        --P;
    else if (From > To && P >= To && P < From)
        ++P;
}
}  // namespace

void TspSkinCustomGrid::MoveColumnTo(int FromIndex, int ToIndex)
{
    if (FromIndex == ToIndex)
        return;
    if (!FColWidths.empty()) {
        MoveExtentEntry(FColWidths, FromIndex + 1, ToIndex + 1);
        MoveExtentEntry(FTabStops, FromIndex + 1, ToIndex + 1);
    }
    ShiftIndex(FCurrent.X, FromIndex, ToIndex);
    ShiftIndex(FAnchor.X, FromIndex, ToIndex);
    if (FInplaceCol != -1)
        ShiftIndex(FInplaceCol, FromIndex, ToIndex);
    InvalidateGridRect(TGridRect{std::min(FromIndex, ToIndex), 0, std::max(FromIndex, ToIndex), VisibleRowCount() + FTopLeft.Y});
    AfterColumnMoved(FromIndex, ToIndex);
    if (!FColWidths.empty())
        AfterColWidthsChanged();
    SyncEditor();
}

void TspSkinCustomGrid::MoveRowTo(int FromIndex, int ToIndex)
{
    if (FromIndex == ToIndex)
        return;
    if (!FRowHeights.empty())
        MoveExtentEntry(FRowHeights, FromIndex + 1, ToIndex + 1);
    ShiftIndex(FCurrent.Y, FromIndex, ToIndex);
    ShiftIndex(FAnchor.Y, FromIndex, ToIndex);
    if (FInplaceRow != -1)
        ShiftIndex(FInplaceRow, FromIndex, ToIndex);
    AfterRowMoved(FromIndex, ToIndex);
    if (!FRowHeights.empty())
        AfterRowHeightsChanged();
    SyncEditor();
}

void TspSkinCustomGrid::RemoveColumn(int ACol)
{
    MoveColumnTo(ACol, FColCount - 1);
    SetColCount(FColCount - 1);
}

void TspSkinCustomGrid::RemoveRow(int ARow)
{
    MoveRowTo(ARow, FRowCount - 1);
    SetRowCount(FRowCount - 1);
}

void TspSkinCustomGrid::AdjustLineCount(int Index, int Amount, bool Rows)
{
    if (Amount == 0)
        return;
    const int oldCols = FColCount, oldRows = FRowCount;
    int& count = Rows ? FRowCount : FColCount;
    const int newCount = CheckedAdd(count, Amount);
    if (newCount < Index)
        RaiseGridError("Too many rows or columns deleted");
    TGridExtents& ext = Rows ? FRowHeights : FColWidths;
    const int def = Rows ? FDefaultRowHeight : FDefaultColWidth;
    if (!ext.empty())
        ResizeExtents(ext, Index, Amount, def);
    if (!Rows && !FTabStops.empty())
        ResizeExtents(FTabStops, Index, Amount, 1);
    count = newCount;
    TGridCoord cur = FCurrent;
    int& c = Rows ? cur.Y : cur.X;
    if (c >= Index) {
        if (Amount < 0 && c < Index - Amount)
            c = Index;
        else
            c += Amount;
    }
    c = std::max(0, std::min(c, count - 1));
    InvalidateWholeGrid();
    AfterSizeChanged(oldCols, oldRows);
    if (!(cur == FCurrent))
        MoveCurrentCell(cur.X, cur.Y, true, true);
    UpdateScrollRange(true);
}

// ---- stored sizes --------------------------------------------------------------------------------------

void TspSkinCustomGrid::DefineProperties(TFiler* Filer)
{
    TspSkinControl::DefineProperties(Filer);
    if (!FSaveCellExtents)
        return;
    auto define = [&](const char* name, bool rows) {
        Filer->DefineProperty(
            name,
            [this, rows, name](TReader* R) {
                R->ReadListBegin();
                int i = 0;
                const int count = rows ? FRowCount : FColCount;
                while (!R->EndOfList()) {
                    if (i >= count)
                        throw EReadError(std::string("Too many entries in ") + name);
                    const int v = R->ReadInteger();
                    rows ? SetRowHeights(i, v) : SetColWidths(i, v);
                    ++i;
                }
                R->ReadListEnd();
            },
            [this, rows](TWriter* W) {
                W->WriteListBegin();
                const int count = rows ? FRowCount : FColCount;
                for (int i = 0; i < count; ++i)
                    W->WriteInteger(rows ? RowHeights(i) : ColWidths(i));
                W->WriteListEnd();
            },
            rows ? !FRowHeights.empty() : !FColWidths.empty());
    };
    define("ColWidths", false);
    define("RowHeights", true);
}

void TspSkinCustomGrid::NotifyDesigner() {}

void TspSkinCustomGrid::DeclarePublished(TPublisher<TspSkinCustomGrid>& P)
{
    using C = TspSkinCustomGrid;
    // Counts before fixed counts, sizes after counts: each is read in order.
    P.Property("ColCount", &C::ColCount, &C::SetColCount, 5);
    P.Property("RowCount", &C::RowCount, &C::SetRowCount, 5);
    P.Property("FixedCols", &C::FixedCols, &C::SetFixedCols, 1);
    P.Property("FixedRows", &C::FixedRows, &C::SetFixedRows, 1);
    P.Property("DefaultColWidth", &C::DefaultColWidth, &C::SetDefaultColWidth, 64);
    P.Property("DefaultRowHeight", &C::DefaultRowHeight, &C::SetDefaultRowHeight, 24);
    P.Property("DefaultDrawing", &C::DefaultDrawing, &C::SetDefaultDrawing, true);
    P.Property("FixedColor", &C::FixedColor, &C::SetFixedColor, clBtnFace).WithIdents(&ColorIdents());
    P.Property("GridLineWidth", &C::GridLineWidth, &C::SetGridLineWidth, 1);
    P.Property("Options", &C::Options, &C::SetOptions, kDefaultGridOptions);
    P.Property("BorderStyle", &C::BorderStyle, &C::SetBorderStyle, bsSingle);
    P.Property("FixedColSizing", &C::FixedColSizing, &C::SetFixedColSizing, false);
    P.Property("ColSizingWithLine", &C::ColSizingWithLine, &C::SetColSizingWithLine, false);
    P.Property("BiDiMode", &C::BiDiMode, &C::SetBiDiMode, 0);
    P.Property("Transparent", &C::Transparent, &C::SetTransparent, false);
    P.Property("Wallpaper", &C::Wallpaper);
    P.Property("WallpaperStretch", &C::WallpaperStretch, &C::SetWallpaperStretch, false);
    P.Property("UseSkinFont", &C::UseSkinFont, &C::SetUseSkinFont, true);
    P.Property("UseSkinCellHeight", &C::UseSkinCellHeight, &C::SetUseSkinCellHeight, true);
    P.Property("HScrollBar", &C::HScrollBar, &C::SetHScrollBar);
    P.Property("VScrollBar", &C::VScrollBar, &C::SetVScrollBar);
    P.Property("GridLineColor", &C::GridLineColor, &C::SetGridLineColor, static_cast<TColor>(0xFF000008))
        .WithIdents(&ColorIdents());
    P.Property("OnShowEditor", &C::OnShowEditor);
    P.Property("OnHideEditor", &C::OnHideEditor);
}
