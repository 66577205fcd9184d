#include "skin/lists/SkinStringGrid.h"

#include "platform/classes/ClassRegistry.h"
#include "skin/lists/SkinGridEditor.h"

// ---- draw grid -------------------------------------------------------------------

bool TspSkinDrawGrid::CanSelectCell(int ACol, int ARow)
{
    bool can = true;
    if (OnSelectCell)
        OnSelectCell(this, ACol, ARow, can);
    return can;
}

void TspSkinDrawGrid::DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState)
{
    if (OnDrawCell)
        OnDrawCell(this, ACol, ARow, ARect, AState);
}

std::string TspSkinDrawGrid::GetCellEditMask(int ACol, int ARow)
{
    std::string value;
    if (OnGetEditMask)
        OnGetEditMask(this, ACol, ARow, value);
    return value;
}

std::string TspSkinDrawGrid::GetCellEditText(int ACol, int ARow)
{
    std::string value;
    if (OnGetEditText)
        OnGetEditText(this, ACol, ARow, value);
    return value;
}

void TspSkinDrawGrid::StoreCellEditText(int ACol, int ARow, const std::string& Value)
{
    if (OnSetEditText)
        OnSetEditText(this, ACol, ARow, Value);
}

void TspSkinDrawGrid::AfterColumnMoved(int FromIndex, int ToIndex)
{
    if (OnColumnMoved)
        OnColumnMoved(this, FromIndex, ToIndex);
}

void TspSkinDrawGrid::AfterRowMoved(int FromIndex, int ToIndex)
{
    if (OnRowMoved)
        OnRowMoved(this, FromIndex, ToIndex);
}

void TspSkinDrawGrid::AfterTopLeftChanged()
{
    TspSkinCustomGrid::AfterTopLeftChanged();
    if (OnTopLeftChanged)
        OnTopLeftChanged(this);
}

// ---- row and column views --------------------------------------------------------------

TGridCoord TspSkinStringGridStrings::MapLineIndex(int Index) const
{
    if (FIndex > 0)
        return TGridCoord{Index, FIndex - 1};
    if (FIndex < 0)
        return TGridCoord{-FIndex - 1, Index};
    return TGridCoord{-1, -1};
}

int TspSkinStringGridStrings::GetCount() const
{
    if (FIndex == 0)
        return 0;
    return FIndex > 0 ? FGrid->ColCount() : FGrid->RowCount();
}

// Views stay inside the grid: an index outside the line is a list error.
std::string TspSkinStringGridStrings::Get(int Index) const
{
    if (Index < 0 || Index >= GetCount())
        IndexError(Index);
    const TGridCoord c = MapLineIndex(Index);
    return c.X < 0 ? std::string() : FGrid->CellText(c.X, c.Y);
}

TObject* TspSkinStringGridStrings::GetObject(int Index) const
{
    if (Index < 0 || Index >= GetCount())
        IndexError(Index);
    const TGridCoord c = MapLineIndex(Index);
    return c.X < 0 ? nullptr : FGrid->CellObject(c.X, c.Y);
}

void TspSkinStringGridStrings::Put(int Index, const std::string& S)
{
    if (Index < 0 || Index >= GetCount())
        IndexError(Index);
    const TGridCoord c = MapLineIndex(Index);
    FGrid->SetCellText(c.X, c.Y, S);
}

void TspSkinStringGridStrings::PutObject(int Index, TObject* AObject)
{
    if (Index < 0 || Index >= GetCount())
        IndexError(Index);
    const TGridCoord c = MapLineIndex(Index);
    FGrid->SetCellObject(c.X, c.Y, AObject);
}

int TspSkinStringGridStrings::Add(const std::string& S)
{
    const int n = GetCount();
    for (int i = 0; i < n; ++i)
        if (Get(i).empty()) {
            Put(i, S.empty() ? std::string(" ") : S);
            return i;
        }
    return -1;
}

void TspSkinStringGridStrings::Insert(int, const std::string&)
{
    RaiseGridError("Cannot insert or delete rows from grid");
}

void TspSkinStringGridStrings::Delete(int) { RaiseGridError("Cannot insert or delete rows from grid"); }

void TspSkinStringGridStrings::Clear()
{
    for (int i = GetCount() - 1; i >= 0; --i) {
        const TGridCoord c = MapLineIndex(i);
        if (FGrid->CellText(c.X, c.Y).empty() && !FGrid->CellObject(c.X, c.Y))
            continue;
        FGrid->SetCellObject(c.X, c.Y, nullptr);
        FGrid->SetCellText(c.X, c.Y, std::string());
    }
}

void TspSkinStringGridStrings::Assign(TPersistent* Source)
{
    if (auto* s = dynamic_cast<TStrings*>(Source)) {
        BeginUpdate();
        try {
            const int n = std::min(s->Count(), GetCount());
            for (int i = 0; i < n; ++i) {
                const TGridCoord c = MapLineIndex(i);
                FGrid->SetCellObject(c.X, c.Y, s->Objects(i));
                FGrid->SetCellText(c.X, c.Y, s->Strings(i));
            }
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
        return;
    }
    TStrings::Assign(Source);
}

void TspSkinStringGridStrings::SetUpdateState(bool Updating) { FGrid->SetBatchUpdate(Updating); }

// ---- string grid ---------------------------------------------------------------------------

namespace {
int FreeAll(void* Context, int, void* Item)
{
    (void)Context;
    delete static_cast<TStrings*>(Item);
    return 0;
}
}  // namespace

TspSkinStringGrid::TspSkinStringGrid(TComponent* AOwner) : TspSkinDrawGrid(AOwner)
{
    FData = std::make_unique<TSparseList>(FRowCount > 256 ? SPALarge : SPASmall);
    FRows = std::make_unique<TSparseList>(FRowCount > 256 ? SPALarge : SPASmall);
    FCols = std::make_unique<TSparseList>(FColCount > 512 ? SPALarge : SPASmall);
}

TspSkinStringGrid::~TspSkinStringGrid()
{
    FRows->ForAll(&FreeAll, nullptr);
    FCols->ForAll(&FreeAll, nullptr);
    FData->ForAll(&FreeAll, nullptr);
}

int TspSkinStringGrid::RowListCount() const
{
    int n = 0;
    FData->ForAll(
        [](void* c, int, void*) {
            ++*static_cast<int*>(c);
            return 0;
        },
        &n);
    return n;
}

TStringSparseList* TspSkinStringGrid::RowList(int ARow) const
{
    return static_cast<TStringSparseList*>(FData->GetItem(ARow));
}

TStringSparseList* TspSkinStringGrid::EnsureRowList(int ARow)
{
    if (TStringSparseList* l = RowList(ARow))
        return l;
    auto l = std::make_unique<TStringSparseList>(FColCount > 512 ? SPALarge : SPASmall);
    FData->PutItem(ARow, l.get());
    return l.release();
}

TspSkinStringGridStrings* TspSkinStringGrid::EnsureLineView(int Index, bool IsColumn)
{
    TSparseList& list = IsColumn ? *FCols : *FRows;
    if (auto* v = static_cast<TspSkinStringGridStrings*>(list.GetItem(Index)))
        return v;
    auto v = std::make_unique<TspSkinStringGridStrings>(this, IsColumn ? -(Index + 1) : Index + 1);
    list.PutItem(Index, v.get());
    return v.release();
}

std::string TspSkinStringGrid::CellText(int ACol, int ARow) const
{
    if (ACol < 0)
        throw EListError("ListIndexError");
    const TStringSparseList* l = RowList(ARow);
    return l ? l->Get(ACol) : std::string();
}

TObject* TspSkinStringGrid::CellObject(int ACol, int ARow) const
{
    if (ACol < 0)
        throw EListError("ListIndexError");
    const TStringSparseList* l = RowList(ARow);
    return l ? l->GetObject(ACol) : nullptr;
}

void TspSkinStringGrid::SetCellText(int ACol, int ARow, const std::string& Value)
{
    if (ACol < 0)
        throw EListError("ListIndexError");
    EnsureRowList(ARow)->Put(ACol, Value);
    EnsureLineView(ACol, true);
    EnsureLineView(ARow, false);
    CellChanged(ACol, ARow);
}

void TspSkinStringGrid::SetCellObject(int ACol, int ARow, TObject* Value)
{
    if (ACol < 0)
        throw EListError("ListIndexError");
    EnsureRowList(ARow)->PutObject(ACol, Value);
    EnsureLineView(ACol, true);
    EnsureLineView(ARow, false);
    CellChanged(ACol, ARow);
}

void TspSkinStringGrid::CellChanged(int ACol, int ARow)
{
    if (FUpdating) {
        FNeedsUpdating = true;
        return;
    }
    InvalidateCellAt(ACol, ARow);
    if (ACol == Col() && ARow == Row() && FEditUpdate == 0)
        RefreshEditor();
}

void TspSkinStringGrid::SetBatchUpdate(bool Updating)
{
    FUpdating = Updating;
    if (!Updating && FNeedsUpdating)
        InvalidateWholeGrid();
    FNeedsUpdating = false;
}

std::string TspSkinStringGrid::GetCellEditText(int ACol, int ARow)
{
    std::string value = CellText(ACol, ARow);
    if (OnGetEditText)
        OnGetEditText(this, ACol, ARow, value);
    return value;
}

void TspSkinStringGrid::StoreCellEditText(int ACol, int ARow, const std::string& Value)
{
    ++FEditUpdate;
    try {
        if (Value != CellText(ACol, ARow))
            SetCellText(ACol, ARow, Value);
    } catch (...) {
        --FEditUpdate;
        throw;
    }
    --FEditUpdate;
    TspSkinDrawGrid::StoreCellEditText(ACol, ARow, Value);
}

void TspSkinStringGrid::AfterColumnMoved(int FromIndex, int ToIndex)
{
    struct TMove {
        int From, To;
    } m{FromIndex, ToIndex};
    FData->ForAll(
        [](void* c, int, void* item) {
            auto* mv = static_cast<TMove*>(c);
            static_cast<TStringSparseList*>(item)->Move(mv->From, mv->To);
            return 0;
        },
        &m);
    Invalidate();
    TspSkinDrawGrid::AfterColumnMoved(FromIndex, ToIndex);
}

void TspSkinStringGrid::AfterRowMoved(int FromIndex, int ToIndex)
{
    FData->Move(FromIndex, ToIndex);
    Invalidate();
    TspSkinDrawGrid::AfterRowMoved(FromIndex, ToIndex);
}

void TspSkinStringGrid::DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState)
{
    if (DefaultDrawing()) {
        TCanvas* C = Canvas();
        if (OnGetCellParam) {
            TColor fontColor = C->Font()->Color();
            TColor bg = C->Brush()->Color();
            bool fill = false;
            OnGetCellParam(this, ACol, ARow, AState, bg, fill, fontColor);
            C->Font()->SetColor(fontColor);
            if (fill) {
                C->Brush()->SetColor(bg);
                C->FillRect(ARect);
            }
        }
        const TRect r = GetNewTextRect(ARect, AState);
        const TStringSparseList* l = RowList(ARow);
        if (l) {
            const std::string s = l->Get(ACol);
            if (!s.empty()) {
                C->Brush()->SetStyle(bsClear);
                const int th = C->TextHeight(s);
                int y = r.top + (r.bottom - r.top) / 2 - th / 2;
                if (C->Font()->Height() % 2 != 0)
                    --y;
                C->TextRect(r, r.left + 2, y, s);
                C->Brush()->SetStyle(bsSolid);
            }
        }
    }
    TspSkinDrawGrid::DrawCell(ACol, ARow, ARect, AState);
}

void TspSkinDrawGrid::DeclarePublished(TPublisher<TspSkinDrawGrid>& P)
{
    using C = TspSkinDrawGrid;
    P.Property("OnColumnMoved", &C::OnColumnMoved);
    P.Property("OnDrawCell", &C::OnDrawCell);
    P.Property("OnGetEditMask", &C::OnGetEditMask);
    P.Property("OnGetEditText", &C::OnGetEditText);
    P.Property("OnRowMoved", &C::OnRowMoved);
    P.Property("OnSelectCell", &C::OnSelectCell);
    P.Property("OnSetEditText", &C::OnSetEditText);
    P.Property("OnTopLeftChanged", &C::OnTopLeftChanged);
}

void TspSkinStringGrid::DeclarePublished(TPublisher<TspSkinStringGrid>& P)
{
    P.Property("OnGetCellParam", &TspSkinStringGrid::OnGetCellParam);
}

void RegisterSkinGridClasses() { RegisterClasses<TspSkinDrawGrid, TspSkinStringGrid>(); }
