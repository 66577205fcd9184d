#pragma once
// The abstract skinned grid: ColCount x RowCount cells, of which the first
// FixedCols columns and FixedRows rows never scroll. The core owns the cell
// geometry (per-line sizes in extent arrays made on first write), the
// current cell and the selection anchor, the scrolled top-left cell, the
// mouse state machine for sizing and moving lines, the in-place editor and
// the link to two external skinned scroll bars. It stores no cell contents:
// DrawCell is for the concrete grids (SkinStringGrid).
//
// The topics live in their own sources: geometry, counts and the current
// cell in SkinGridCore.cpp, painting in SkinGridPaint.cpp, mouse, keys and
// scrolling in SkinGridInput.cpp, the editor's side in SkinGridEditor.cpp.
// Geometry is computed on demand and never walks more lines than fit on the
// screen, so a grid of 100,000 rows paints and scrolls as fast as one of 10.
// The program runs left to right: BiDiMode is stored, never mirrored.
#include "platform/gui/CustomControl.h"
#include "platform/gui/Forms.h"
#include "skin/controls/SkinCtrls.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TspSkinScrollBar;
class TspSkinInplaceEdit;
class TspDataSkinGridControl;

struct TGridCoord {
    int X = 0, Y = 0;
    bool operator==(const TGridCoord&) const = default;
};

// An inclusive range of columns (Left..Right) and rows (Top..Bottom).
struct TGridRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool operator==(const TGridRect&) const = default;
};

enum TGridOption {
    goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect, goDrawFocusSelected, goRowSizing,
    goColSizing, goRowMoving, goColMoving, goEditing, goTabs, goRowSelect, goAlwaysShowEditor, goThumbTracking
};
ENUM_NAMES(TGridOption, goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect, goDrawFocusSelected,
           goRowSizing, goColSizing, goRowMoving, goColMoving, goEditing, goTabs, goRowSelect, goAlwaysShowEditor,
           goThumbTracking)
using TGridOptions = TSet<TGridOption>;
inline const TGridOptions kDefaultGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine,
                                              goRangeSelect};

enum TGridDrawStateItem { gdSelected, gdFocused, gdFixed };
ENUM_NAMES(TGridDrawStateItem, gdSelected, gdFocused, gdFixed)
using TGridDrawState = TSet<TGridDrawStateItem>;

enum TGridState { gsNormal, gsSelecting, gsRowSizing, gsColSizing, gsRowMoving, gsColMoving };

TARNELLO_EXCEPTION_CLASS(EInvalidGridOperation, Exception);

// Individual sizes of one axis: empty means every line has the default.
using TGridExtents = std::vector<int>;

// The largest extent array a grid holds.
constexpr int kMaxGridExtents = 134217725;

[[noreturn]] void RaiseGridError(const char* Msg);
TGridRect MakeGridRect(TGridCoord A, TGridCoord B);
bool CellInGridRect(int ACol, int ARow, const TGridRect& R);
// Inserts (Amount > 0) or deletes (Amount < 0) entries at Index; the sizes
// after Index move with their lines.
void ResizeExtents(TGridExtents& A, int Index, int Amount, int Default);
void SetExtentCount(TGridExtents& A, int NewCount, int Default);
// Positions are indices + 1, as the stored array counts them.
void MoveExtentEntry(TGridExtents& A, int FromPos, int ToPos);
bool SameExtents(const TGridExtents& A, const TGridExtents& B);
// The up to four bands that R1 and R2 do not share.
void RectDifference(const TRect& R1, const TRect& R2, TRect Out[4]);

// One axis of the layout of one moment.
struct TGridAxisLayout {
    int LineWidth = 0;
    int FixedEdge = 0;
    int GridEdge = 0;
    int ClientExtent = 0;
    int LastWholeCell = 0;
    int WholeEdge = 0;
    int FixedCount = 0;
    int FirstScrollCell = 0;
    int CellCount = 0;
    const TGridExtents* Extents = nullptr;
    int Default = 0;
    int ExtentOf(int I) const
    {
        return I >= 0 && static_cast<std::size_t>(I) < Extents->size() ? (*Extents)[static_cast<std::size_t>(I)]
                                                                        : Default;
    }
};

struct TGridLayout {
    TGridAxisLayout Horz, Vert;
};

enum TGridDragDirection { ddLeft, ddRight, ddUp, ddDown };
using TGridDragDirections = TSet<TGridDragDirection>;

class TspSkinCustomGrid : public TspSkinControl {
public:
    explicit TspSkinCustomGrid(TComponent* AOwner);
    ~TspSkinCustomGrid() override;

    // ---- counts and sizes
    int ColCount() const { return FColCount; }
    virtual void SetColCount(int Value);
    int RowCount() const { return FRowCount; }
    virtual void SetRowCount(int Value);
    int FixedCols() const { return FFixedCols; }
    void SetFixedCols(int Value);
    int FixedRows() const { return FFixedRows; }
    void SetFixedRows(int Value);
    int DefaultColWidth() const { return FDefaultColWidth; }
    void SetDefaultColWidth(int Value);
    int DefaultRowHeight() const { return FDefaultRowHeight; }
    void SetDefaultRowHeight(int Value);
    int ColWidths(int Index) const;
    void SetColWidths(int Index, int Value);
    int RowHeights(int Index) const;
    void SetRowHeights(int Index, int Value);
    bool TabStops(int Index) const;
    void SetTabStops(int Index, bool Value);
    int GridLineWidth() const { return FGridLineWidth; }
    void SetGridLineWidth(int Value);
    TColor FixedColor() const { return FFixedColor; }
    void SetFixedColor(TColor Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    TGridOptions Options() const { return FOptions; }
    void SetOptions(TGridOptions Value);
    bool DefaultDrawing() const { return FDefaultDrawing; }
    void SetDefaultDrawing(bool Value) { FDefaultDrawing = Value; }
    bool FixedColSizing() const { return FFixedColSizing; }
    void SetFixedColSizing(bool Value) { FFixedColSizing = Value; }
    bool ColSizingWithLine() const { return FColSizingWithLine; }
    void SetColSizingWithLine(bool Value) { FColSizingWithLine = Value; }
    // Stored only; the system runs left to right.
    int BiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(int Value) { FBiDiMode = Value; }

    // ---- current cell, selection, scrolling
    int Col() const { return FCurrent.X; }
    void SetCol(int Value);
    int Row() const { return FCurrent.Y; }
    void SetRow(int Value);
    int LeftCol() const { return FTopLeft.X; }
    void SetLeftCol(int Value);
    int TopRow() const { return FTopLeft.Y; }
    void SetTopRow(int Value);
    TGridRect Selection() const { return MakeGridRect(FCurrent, FAnchor); }
    void SetSelection(const TGridRect& Value);
    int GridWidth() { return ComputeLayout().Horz.GridEdge; }
    int GridHeight() { return ComputeLayout().Vert.GridEdge; }
    int VisibleColCount();
    int VisibleRowCount();

    TGridCoord MouseCoord(int X, int Y);
    TRect CellRect(int ACol, int ARow) { return BoxToRect(ACol, ARow, ACol, ARow); }
    TRect BoxToRect(int ALeft, int ATop, int ARight, int ABottom);
    TRect GridRectToClientRect(TGridRect G, bool IncludeLine);
    TGridLayout ComputeLayout();
    TGridLayout ComputeLayoutFor(int W, int H);
    TGridCoord CellAtPoint(int X, int Y);
    TGridCoord MaxTopLeftFor(TGridCoord C, const TGridLayout& L) const;

    void MoveColumnTo(int FromIndex, int ToIndex);
    void MoveRowTo(int FromIndex, int ToIndex);
    virtual void RemoveColumn(int ACol);
    virtual void RemoveRow(int ARow);
    virtual void AdjustLineCount(int Index, int Amount, bool Rows);

    // ---- painting (SkinGridPaint.cpp)
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    TBitmap* Wallpaper() { return FWallpaper.get(); }
    void SetWallpaper(TBitmap* Value);
    bool WallpaperStretch() const { return FWallpaperStretch; }
    void SetWallpaperStretch(bool Value);
    TColor GridLineColor() const { return FGridLineColor; }
    void SetGridLineColor(TColor Value);
    bool UseSkinFont() const { return FUseSkinFont; }
    void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
    bool UseSkinCellHeight() const { return FUseSkinCellHeight; }
    void SetUseSkinCellHeight(bool Value) { FUseSkinCellHeight = Value; }
    void GetSkinData() override;
    void ChangeSkinData() override;
    TRect GetNewTextRect(TRect CellR, TGridDrawState AState);
    void SetParentImage();
    void InvalidateCellAt(int ACol, int ARow);
    void InvalidateGridRect(const TGridRect& G);
    void InvalidateWholeGrid() { Invalidate(); }
    bool SkinLook() const { return FIndex != -1; }

    // ---- scroll bars and input (SkinGridInput.cpp)
    TspSkinScrollBar* HScrollBar() const { return FHScrollBar; }
    virtual void SetHScrollBar(TspSkinScrollBar* Value);
    TspSkinScrollBar* VScrollBar() const { return FVScrollBar; }
    virtual void SetVScrollBar(TspSkinScrollBar* Value);
    virtual void UpdateScrollPos(bool UpdateVertical);
    virtual void UpdateScrollRange(bool UpdateVertical);
    bool IsFocusedGrid();
    TGridState GridState() const { return FGridState; }
    // What the Scroll messages of the bars do: Bar is SB_HORZ or SB_VERT.
    void ApplyScrollCommand(int Bar, int Code, int Pos, bool UseRightToLeft);

    // ---- editor (SkinGridEditor.cpp)
    bool EditorMode() const { return FEditorMode; }
    void SetEditorMode(bool Value);
    TspSkinInplaceEdit* InplaceEditor() const { return FInplaceEdit; }
    void ShowEditorNow();
    void HideEditorNow();
    void ShowEditorWithChar(char32_t Ch);
    void RefreshEditor();
    void SyncEditor();
    void HideEditorWindow();
    void StoreEditorText();
    virtual bool EditorAcceptsChar(char32_t Key) { (void)Key; return true; }
    virtual bool EditorCanModify() { return FCanEditModify; }
    virtual std::string GetCellEditText(int ACol, int ARow) { (void)ACol; (void)ARow; return {}; }
    virtual void StoreCellEditText(int ACol, int ARow, const std::string& Value) { (void)ACol; (void)ARow; (void)Value; }
    virtual std::string GetCellEditMask(int ACol, int ARow) { (void)ACol; (void)ARow; return {}; }
    virtual int GetCellEditLimit() { return 0; }

    TNotifyEvent OnShowEditor, OnHideEditor;

    // Cached values of the 'grid' piece (copied at every paint).
    TRect FixedCellRect, SelectCellRect, FocusCellRect;
    int FixedCellLeftOffset = 0, FixedCellRightOffset = 0;
    TRect FixedCellTextRect;
    int CellLeftOffset = 0, CellRightOffset = 0;
    TRect CellTextRect;
    TColor LinesColor = 0, BGColor = 0;
    std::string FontName;
    TFontStyles FontStyle;
    int FontHeight = 0;
    TColor FontColor = 0, SelectFontColor = 0, FocusFontColor = 0;
    std::string FixedFontName;
    TFontStyles FixedFontStyle;
    int FixedFontHeight = 0;
    TColor FixedFontColor = 0;
    bool CellStretchEffect = false, FixedCellStretchEffect = false, ShowFocus = false;
    TBitmap* Picture = nullptr;    // the skin's
    TBitmap* BGPicture = nullptr;  // the skin's

    void WndProc(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void DefineProperties(TFiler* Filer) override;
    void SetVisible(bool v) override;

    PUBLISHED(TspSkinCustomGrid, TspSkinControl);

protected:
    friend class TspSkinInplaceEdit;

    virtual void MoveCurrentCell(int ACol, int ARow, bool MoveAnchor, bool Show);
    virtual void GetSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs,
                                const TGridLayout& Layout);
    virtual TspSkinInplaceEdit* CreateInplaceEditor();
    virtual bool CanShowEditor();
    virtual void DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) = 0;
    virtual bool CanSelectCell(int ACol, int ARow) { (void)ACol; (void)ARow; return true; }

    virtual bool GridAcceptsKey(WORD Key, TShiftState Shift) { (void)Key; (void)Shift; return true; }
    virtual void AfterColumnMoved(int FromIndex, int ToIndex) { (void)FromIndex; (void)ToIndex; }
    virtual void AfterRowMoved(int FromIndex, int ToIndex) { (void)FromIndex; (void)ToIndex; }
    virtual void AfterSizeChanged(int OldColCount, int OldRowCount) { (void)OldColCount; (void)OldRowCount; }
    virtual void AfterTopLeftChanged();
    virtual void DragScrollStep(TGridDragDirections Directions);
    virtual void AfterColWidthsChanged();
    virtual void AfterRowHeightsChanged();
    virtual bool CanStartColumnDrag(int& Origin, int& Destination, TPoint MousePt) { (void)Origin; (void)Destination; (void)MousePt; return true; }
    virtual bool CanStartRowDrag(int& Origin, int& Destination, TPoint MousePt) { (void)Origin; (void)Destination; (void)MousePt; return true; }
    virtual bool AcceptColumnDragPos(int Origin, int& Destination, TPoint MousePt) { (void)Origin; (void)Destination; (void)MousePt; return true; }
    virtual bool AcceptRowDragPos(int Origin, int& Destination, TPoint MousePt) { (void)Origin; (void)Destination; (void)MousePt; return true; }
    virtual bool CanEndColumnDrag(int Origin, int& Destination, TPoint MousePt) { (void)Origin; (void)Destination; (void)MousePt; return true; }
    virtual bool CanEndRowDrag(int Origin, int& Destination, TPoint MousePt) { (void)Origin; (void)Destination; (void)MousePt; return true; }

    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    void DoExit() override;

    // Core steps.
    void ResetPositions();
    void ChangeDimensions(int NewCols, int NewRows);
    void MoveAnchorTo(TGridCoord C);
    void FocusCellAt(int ACol, int ARow, bool MoveAnchor);
    void ClampCellInView(TGridCoord C);
    void MoveTopLeftTo(int ALeft, int ATop);
    void AfterTopLeftMoved(TGridCoord Old);
    void RepaintSelectionChange(const TGridRect& OldSel);
    void ScrollContent(int DX, int DY);
    void NotifyDesigner();

    // Painting steps.
    void DrawGridLines(const TGridLayout& L, bool DoHorz, bool DoVert, int ACol, int ARow, TRect Bounds,
                       TColor OnColor, TColor OffColor);
    void DrawCellRange(const TGridLayout& L, int ACol, int ARow, TRect Bounds, TColor AColor,
                       TGridDrawState BaseState, const TGridRect& Sel, const TRect& Clip);
    void DrawSkinCell(TBitmap* B, TGridDrawState State, int W, int H);
    void ApplySkinCellFont(TCanvas* C, bool Fixed, TColor Color);

    // Input steps.
    void ScrollByPixels(int Code, int Pos);
    void MoveAndScroll(int Mouse, int Hit, bool Rows);
    void XorSizingLine(const TGridLayout& L);
    void XorMoveMarker();
    void CancelGridMode();
    bool IsOverSizingEdge(int X, int Y);
    void TimerTick();
    void HandleVBarChange(TObject*);
    void HandleHBarChange(TObject*);
    void HandleVBarUpButton(TObject*);
    void HandleVBarDownButton(TObject*);
    void HandleHBarUpButton(TObject*);
    void HandleHBarDownButton(TObject*);
    void HandleVBarPageUp(TObject*);
    void HandleVBarPageDown(TObject*);
    void HandleHBarPageUp(TObject*);
    void HandleHBarPageDown(TObject*);
    void StartGridTimer();
    void StopGridTimer();

    bool FFixedColSizing = false;
    bool FColSizingWithLine = false;
    std::unique_ptr<TBitmap> FWallpaper;
    bool FWallpaperStretch = false;
    bool FUseSkinFont = true;
    bool FUseSkinCellHeight = true;
    bool FTransparent = false;
    TColor FGridLineColor = static_cast<TColor>(0xFF000008);
    TspSkinScrollBar* FHScrollBar = nullptr;
    TspSkinScrollBar* FVScrollBar = nullptr;
    TBitmap* ParentImage = nullptr;
    TGridCoord FAnchor;
    TBorderStyle FBorderStyle = bsSingle;
    bool FCanEditModify = true;
    int FColCount = 5;
    TGridExtents FColWidths;
    TGridExtents FTabStops;
    TGridCoord FCurrent;
    int FDefaultColWidth = 64;
    int FDefaultRowHeight = 24;
    int FFixedCols = 1;
    int FFixedRows = 1;
    TColor FFixedColor = clBtnFace;
    int FGridLineWidth = 1;
    TGridOptions FOptions = kDefaultGridOptions;
    int FRowCount = 5;
    TGridExtents FRowHeights;
    TGridCoord FTopLeft;
    int FSizingIndex = 0, FSizingPos = 0, FSizingOfs = 0;
    int FMoveIndex = 0, FMovePos = 0;
    TPoint FHitTest;
    TspSkinInplaceEdit* FInplaceEdit = nullptr;
    int FInplaceCol = -1, FInplaceRow = -1;
    int FColOffset = 0;
    bool FDefaultDrawing = true;
    bool FEditorMode = false;
    TGridState FGridState = gsNormal;
    bool FSaveCellExtents = true;
    TGridOptions DesignOptionsBoost{goRowSizing, goColSizing};
    bool VirtualView = false;
    bool FInCheckScrollBars = false;
    int FBiDiMode = 0;
    bool FTimerRunning = false;
    bool FMarkerShown = false;
    // Reused by every skin-look cell of a paint: no allocation per cell.
    std::unique_ptr<TBitmap> FCellBitmap;
    std::vector<POINT> FStrokes;
    std::vector<DWORD> FStrokeCounts;

private:
    int AxisLinePos(const TGridAxisLayout& A, int I) const;
    int AxisCellAt(const TGridAxisLayout& A, int N) const;
    void AxisScrollRange(bool Rows, int W, int H, bool UpdateVertical, TGridCoord OldTopLeft, int& Show);
};
