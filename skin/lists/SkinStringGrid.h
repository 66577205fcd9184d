#pragma once
// The two concrete grids. TspSkinDrawGrid turns the core's hooks into
// events: the owner paints every cell (OnDrawCell) and decides which cell
// may become current (OnSelectCell). TspSkinStringGrid adds a text and an
// object per cell kept in sparse lists (a row's list appears on its first
// write), default text drawing with a colour hook, the editor's text source
// and batched repainting.
#include "skin/lists/SkinGridCore.h"
#include "skin/lists/SparseLists.h"

class TspSkinStringGrid;

using TDrawCellEvent = TMethodPtr<void(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State)>;
using TSelectCellEvent = TMethodPtr<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;
using TGetEditEvent = TMethodPtr<void(TObject* Sender, int ACol, int ARow, std::string& Value)>;
using TSetEditEvent = TMethodPtr<void(TObject* Sender, int ACol, int ARow, const std::string& Value)>;
using TMovedEvent = TMethodPtr<void(TObject* Sender, int FromIndex, int ToIndex)>;
using TspGetCellParamEvent = TMethodPtr<void(TObject* Sender, int ACol, int ARow, TGridDrawState AState,
                                             TColor& ABGColor, bool& AFillBG, TColor& AFontColor)>;

class TspSkinDrawGrid : public TspSkinCustomGrid {
public:
    explicit TspSkinDrawGrid(TComponent* AOwner) : TspSkinCustomGrid(AOwner) {}

    void MouseToCell(int X, int Y, int& ACol, int& ARow)
    {
        const TGridCoord c = MouseCoord(X, Y);
        ACol = c.X;
        ARow = c.Y;
    }

    TMovedEvent OnColumnMoved;
    TDrawCellEvent OnDrawCell;
    TGetEditEvent OnGetEditMask;
    TGetEditEvent OnGetEditText;
    TMovedEvent OnRowMoved;
    TSelectCellEvent OnSelectCell;
    TSetEditEvent OnSetEditText;
    TNotifyEvent OnTopLeftChanged;

    std::string GetCellEditMask(int ACol, int ARow) override;
    std::string GetCellEditText(int ACol, int ARow) override;
    void StoreCellEditText(int ACol, int ARow, const std::string& Value) override;

    PUBLISHED(TspSkinDrawGrid, TspSkinCustomGrid);

protected:
    bool CanSelectCell(int ACol, int ARow) override;
    void DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) override;
    void AfterColumnMoved(int FromIndex, int ToIndex) override;
    void AfterRowMoved(int FromIndex, int ToIndex) override;
    void AfterTopLeftChanged() override;
};

// A string-list view of one row (FIndex = row + 1) or column (-(col + 1)).
class TspSkinStringGridStrings : public TStrings {
public:
    TspSkinStringGridStrings(TspSkinStringGrid* AGrid, int AIndex) : FGrid(AGrid), FIndex(AIndex) {}

    std::string Get(int Index) const override;
    int GetCount() const override;
    TObject* GetObject(int Index) const override;
    void Put(int Index, const std::string& S) override;
    void PutObject(int Index, TObject* AObject) override;
    int Add(const std::string& S) override;
    void Insert(int Index, const std::string& S) override;
    void Delete(int Index) override;
    void Clear() override;
    void Assign(TPersistent* Source) override;

protected:
    void SetUpdateState(bool Updating) override;

private:
    TGridCoord MapLineIndex(int Index) const;
    TspSkinStringGrid* FGrid;
    int FIndex;
};

class TspSkinStringGrid : public TspSkinDrawGrid {
public:
    explicit TspSkinStringGrid(TComponent* AOwner);
    ~TspSkinStringGrid() override;

    std::string CellText(int ACol, int ARow) const;
    void SetCellText(int ACol, int ARow, const std::string& Value);
    TObject* CellObject(int ACol, int ARow) const;
    void SetCellObject(int ACol, int ARow, TObject* Value);
    // The views of a row and a column, made on first use.
    TspSkinStringGridStrings* RowView(int ARow) { return EnsureLineView(ARow, false); }
    TspSkinStringGridStrings* ColumnView(int ACol) { return EnsureLineView(ACol, true); }
    // How many row lists exist (a row's list appears on its first write).
    int RowListCount() const;

    void SetBatchUpdate(bool Updating);

    TspGetCellParamEvent OnGetCellParam;

    std::string GetCellEditText(int ACol, int ARow) override;
    void StoreCellEditText(int ACol, int ARow, const std::string& Value) override;

    PUBLISHED(TspSkinStringGrid, TspSkinDrawGrid);

protected:
    void DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) override;
    void AfterColumnMoved(int FromIndex, int ToIndex) override;
    void AfterRowMoved(int FromIndex, int ToIndex) override;

private:
    TStringSparseList* EnsureRowList(int ARow);
    TStringSparseList* RowList(int ARow) const;
    TspSkinStringGridStrings* EnsureLineView(int Index, bool IsColumn);
    void CellChanged(int ACol, int ARow);

    std::unique_ptr<TSparseList> FData, FRows, FCols;
    bool FUpdating = false;
    bool FNeedsUpdating = false;
    int FEditUpdate = 0;
};

void RegisterSkinGridClasses();
