// How the grid answers the mouse, the keys and the wheel, sizes and moves
// lines, and scrolls through two external skinned bars. The bars run on a
// fixed 0..127 scale: 0 is the first scrollable cell, 127 the last possible
// top-left cell. Bar events come back as scroll messages to the grid's own
// window, as a native bar's would.
#include "skin/lists/SkinGridCore.h"

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/PensBrushes.h"
#include "platform/rtl/SysUtils.h"
#include "platform/user/Focus.h"
#include "platform/user/Input.h"
#include "platform/user/MessageQueue.h"
#include "platform/user/Painting.h"
#include "platform/user/ScrollInfo.h"
#include "skin/controls/SkinScrollBars.h"
#include "skin/lists/SkinGridEditor.h"

#include <algorithm>

namespace {
constexpr UINT_PTR kGridTimer = 1;
constexpr UINT kGridTimerMs = 60;
constexpr int kBarScale = 127;

// MulDiv's -1 (zero divisor) is no position: keep it inside the bar.
int BarPos(int Value, int Range) { return std::max(0, MulDiv(Value, kBarScale, Range)); }
}  // namespace

// ---- focus ---------------------------------------------------------------------

bool TspSkinCustomGrid::IsFocusedGrid()
{
    if (TCustomForm* form = GetParentForm(this))
        // The form's focus tracking may name the editor itself: it stands
        // for the grid.
        return form->ActiveControl() == this ||
               (FInplaceEdit && form->ActiveControl() == static_cast<TWinControl*>(FInplaceEdit));
    if (!HandleAllocated())
        return false;
    for (HWND h = GetFocus(); h; h = GetParent(h))
        if (h == Handle())
            return true;
    return false;
}

// ---- scroll bars -----------------------------------------------------------------

void TspSkinCustomGrid::SetHScrollBar(TspSkinScrollBar* Value)
{
    SetComponentReference(this, FHScrollBar, Value);
    if (Value) {
        Value->SetEnabled(true);
        Value->SetVisible(false);
        Value->OnLastChange = MakeEvent(this, &TspSkinCustomGrid::HandleHBarChange);
        Value->OnUpButtonClick = MakeEvent(this, &TspSkinCustomGrid::HandleHBarUpButton);
        Value->OnDownButtonClick = MakeEvent(this, &TspSkinCustomGrid::HandleHBarDownButton);
        Value->OnPageUp = MakeEvent(this, &TspSkinCustomGrid::HandleHBarPageUp);
        Value->OnPageDown = MakeEvent(this, &TspSkinCustomGrid::HandleHBarPageDown);
    }
    UpdateScrollRange(true);
}

void TspSkinCustomGrid::SetVScrollBar(TspSkinScrollBar* Value)
{
    SetComponentReference(this, FVScrollBar, Value);
    if (Value) {
        Value->SetEnabled(true);
        Value->SetVisible(false);
        if (FOptions.Contains(goThumbTracking))
            Value->OnChange = MakeEvent(this, &TspSkinCustomGrid::HandleVBarChange);
        else
            Value->OnLastChange = MakeEvent(this, &TspSkinCustomGrid::HandleVBarChange);
        Value->OnUpButtonClick = MakeEvent(this, &TspSkinCustomGrid::HandleVBarUpButton);
        Value->OnDownButtonClick = MakeEvent(this, &TspSkinCustomGrid::HandleVBarDownButton);
        Value->OnPageUp = MakeEvent(this, &TspSkinCustomGrid::HandleVBarPageUp);
        Value->OnPageDown = MakeEvent(this, &TspSkinCustomGrid::HandleVBarPageDown);
    }
    UpdateScrollRange(true);
}

void TspSkinCustomGrid::Notification(TComponent* AComponent, TOperation Operation)
{
    TspSkinControl::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FHScrollBar)
        FHScrollBar = nullptr;
    if (AComponent == FVScrollBar)
        FVScrollBar = nullptr;
}

void TspSkinCustomGrid::SetVisible(bool v)
{
    TspSkinControl::SetVisible(v);
    if (FHScrollBar)
        FHScrollBar->SetVisible(v);
    if (FVScrollBar)
        FVScrollBar->SetVisible(v);
}

namespace {
LRESULT SendScroll(TWinControl* Grid, UINT Msg, WORD Code, int Pos)
{
    return SendMessage(Grid->Handle(), Msg, MAKEWPARAM(Code, static_cast<WORD>(Pos)), 0);
}
}  // namespace

void TspSkinCustomGrid::HandleVBarChange(TObject*) { SendScroll(this, WM_VSCROLL, SB_THUMBPOSITION, FVScrollBar->Position()); }
void TspSkinCustomGrid::HandleHBarChange(TObject*) { SendScroll(this, WM_HSCROLL, SB_THUMBPOSITION, FHScrollBar->Position()); }
void TspSkinCustomGrid::HandleVBarUpButton(TObject*) { SendScroll(this, WM_VSCROLL, SB_LINEDOWN, 0); }
void TspSkinCustomGrid::HandleVBarDownButton(TObject*) { SendScroll(this, WM_VSCROLL, SB_LINEUP, 0); }
void TspSkinCustomGrid::HandleHBarUpButton(TObject*)
{
    FHScrollBar->SetPosition(FHScrollBar->Position() + FHScrollBar->SmallChange());
    SendScroll(this, WM_HSCROLL, SB_THUMBPOSITION, FHScrollBar->Position());
}
void TspSkinCustomGrid::HandleHBarDownButton(TObject*)
{
    FHScrollBar->SetPosition(FHScrollBar->Position() - FHScrollBar->SmallChange());
    SendScroll(this, WM_HSCROLL, SB_THUMBPOSITION, FHScrollBar->Position());
}
void TspSkinCustomGrid::HandleVBarPageUp(TObject*) { SendScroll(this, WM_VSCROLL, SB_PAGEUP, 0); }
void TspSkinCustomGrid::HandleVBarPageDown(TObject*) { SendScroll(this, WM_VSCROLL, SB_PAGEDOWN, 0); }
void TspSkinCustomGrid::HandleHBarPageUp(TObject*) { SendScroll(this, WM_HSCROLL, SB_PAGEUP, 0); }
void TspSkinCustomGrid::HandleHBarPageDown(TObject*) { SendScroll(this, WM_HSCROLL, SB_PAGEDOWN, 0); }

void TspSkinCustomGrid::ApplyScrollCommand(int Bar, int Code, int Pos, bool UseRightToLeft)
{
    (void)UseRightToLeft;  // left to right only
    if (Visible() && CanFocus() && TabStop() && !ComponentState().Contains(csDesigning) && !Focused())
        SetFocus();
    const TGridLayout L = ComputeLayout();
    if (Bar == SB_HORZ && FColCount == 1) {
        ScrollByPixels(Code, Pos);
        return;
    }
    const TGridCoord maxTL = MaxTopLeftFor(TGridCoord{FColCount - 1, FRowCount - 1}, L);
    TGridCoord nw = FTopLeft;
    const bool horz = Bar == SB_HORZ;
    const TGridAxisLayout& A = horz ? L.Horz : L.Vert;
    const int mn = horz ? FFixedCols : FFixedRows;
    const int mx = horz ? maxTL.X : maxTL.Y;
    int& v = horz ? nw.X : nw.Y;
    auto step = [&](int V) -> int {
        switch (Code) {
        case SB_LINEUP: return V - 1;
        case SB_LINEDOWN: return V + 1;
        case SB_PAGEUP: {
            TGridCoord c = FTopLeft;
            const TGridCoord back = MaxTopLeftFor(c, L);
            return V - std::max(1, A.FirstScrollCell - (horz ? back.X : back.Y));
        }
        case SB_PAGEDOWN: return V + std::max(1, A.LastWholeCell - A.FirstScrollCell);
        case SB_THUMBPOSITION: return mn + std::max(0, MulDiv(Pos, mx - mn, kBarScale));
        case SB_THUMBTRACK:
            return FOptions.Contains(goThumbTracking) ? mn + std::max(0, MulDiv(Pos, mx - mn, kBarScale)) : V;
        case SB_TOP: return mn;
        case SB_BOTTOM: return mx;
        default: return V;
        }
    };
    // Zero-size lines are skipped.
    for (;;) {
        const int before = v;
        v = step(v);
        if (v <= A.FixedCount || v >= mx || A.ExtentOf(v) > 0 || v == before)
            break;
        if (Code != SB_LINEUP && Code != SB_LINEDOWN && Code != SB_PAGEUP && Code != SB_PAGEDOWN)
            break;
    }
    nw.X = std::clamp(nw.X, FFixedCols, std::max(FFixedCols, maxTL.X));
    nw.Y = std::clamp(nw.Y, FFixedRows, std::max(FFixedRows, maxTL.Y));
    if (!(nw == FTopLeft))
        MoveTopLeftTo(nw.X, nw.Y);
}

void TspSkinCustomGrid::ScrollByPixels(int Code, int Pos)
{
    const TGridLayout L = ComputeLayout();
    const int w = ColWidths(L.Horz.FirstScrollCell);
    const int space = ClientWidth() - L.Horz.FixedEdge;
    int nw = FColOffset;
    switch (Code) {
    case SB_LINEUP: nw -= Canvas()->TextWidth("0"); break;
    case SB_LINEDOWN: nw += Canvas()->TextWidth("0"); break;
    case SB_PAGEUP: nw -= space; break;
    case SB_PAGEDOWN: nw += space; break;
    case SB_THUMBPOSITION: nw = Pos; break;
    case SB_THUMBTRACK:
        if (FOptions.Contains(goThumbTracking))
            nw = Pos;
        break;
    case SB_TOP: nw = 0; break;
    case SB_BOTTOM: nw = w - space; break;
    default: break;
    }
    nw = std::clamp(nw, 0, std::max(0, w - space));
    if (nw == FColOffset)
        return;
    const int old = FColOffset;
    FColOffset = nw;
    ScrollContent(old - nw, 0);
    InvalidateGridRect(TGridRect{0, 0, 0, FFixedRows});
    Update();
    UpdateScrollPos(true);
}

void TspSkinCustomGrid::UpdateScrollPos(bool UpdateVertical)
{
    if (!HandleAllocated())
        return;
    const TGridLayout L = ComputeLayout();
    const TGridCoord maxTL = MaxTopLeftFor(TGridCoord{FColCount - 1, FRowCount - 1}, L);
    int hpos;
    if (FColCount == 1) {
        const int w = ColWidths(L.Horz.FirstScrollCell);
        const int space = ClientWidth() - L.Horz.FixedEdge;
        if (FColOffset > 0 && w - FColOffset < space) {
            ApplyScrollCommand(SB_HORZ, SB_THUMBPOSITION, w - space, true);
            return;
        }
        hpos = FColOffset;
    } else {
        hpos = BarPos(FTopLeft.X - FFixedCols, maxTL.X - FFixedCols);
    }
    if (FHScrollBar)
        FHScrollBar->SimplySetPosition(hpos);
    if (FVScrollBar && UpdateVertical)
        FVScrollBar->SimplySetPosition(BarPos(FTopLeft.Y - FFixedRows, maxTL.Y - FFixedRows));
}

// Show: -1 hide, 1 show, 0 no change requested.
void TspSkinCustomGrid::AxisScrollRange(bool Rows, int W, int H, bool UpdateVertical, TGridCoord OldTopLeft, int& Show)
{
    const TGridLayout L = ComputeLayoutFor(W, H);
    const TGridCoord maxTL = MaxTopLeftFor(TGridCoord{FColCount - 1, FRowCount - 1}, L);
    TspSkinScrollBar* bar = Rows ? FVScrollBar : FHScrollBar;
    const int fixedCount = Rows ? FFixedRows : FFixedCols;
    const int mx = Rows ? maxTL.Y : maxTL.X;
    const int count = Rows ? FRowCount : FColCount;
    const int visible = Rows ? L.Vert.LastWholeCell - FTopLeft.Y + 1 : L.Horz.LastWholeCell - FTopLeft.X + 1;
    if (fixedCount < mx) {
        if (bar && (!Rows || UpdateVertical)) {
            bar->SetRange(0, kBarScale, bar->Position(), 0);
            int stepCount = count - visible - fixedCount;
            if (stepCount == 0)
                stepCount = 1;
            int small = kBarScale / stepCount;
            if (small == 0)
                small = 1;
            bar->SetSmallChange(small);
            bar->SetLargeChange(small);
            if (!bar->Visible())
                Show = 1;
        }
    } else if (bar) {
        bar->SetRange(0, 0, 0, 0);
        if (bar->Visible())
            Show = -1;
    }
    const int old = Rows ? OldTopLeft.Y : OldTopLeft.X;
    if (old > mx) {
        Update();
        (Rows ? FTopLeft.Y : FTopLeft.X) = std::max(mx, fixedCount);
    }
}

void TspSkinCustomGrid::UpdateScrollRange(bool UpdateVertical)
{
    if (!HandleAllocated() || !Showing() || FInCheckScrollBars)
        return;
    int w = ClientWidth(), h = ClientHeight();
    const TGridCoord oldTL = FTopLeft;
    int showH = 0, showV = 0;
    auto horizontal = [&] {
        if (FColCount == 1) {
            const int range = std::max(0, ColWidths(0) - w);
            if (FHScrollBar) {
                if (range < 1) {
                    if (FHScrollBar->Visible())
                        showH = -1;
                } else {
                    FHScrollBar->SetRange(0, range, FHScrollBar->Position(), 0);
                    int stepCount = FColCount - VisibleColCount() - FFixedCols;
                    if (stepCount == 0)
                        stepCount = 1;
                    int small = FHScrollBar->Max() / stepCount;
                    FHScrollBar->SetSmallChange(small == 0 ? 1 : small);
                    FHScrollBar->SetLargeChange(FHScrollBar->SmallChange());
                    if (!FHScrollBar->Visible())
                        showH = 1;
                }
            }
        } else {
            AxisScrollRange(false, w, h, UpdateVertical, oldTL, showH);
        }
    };
    horizontal();
    h = ClientHeight();
    AxisScrollRange(true, w, h, UpdateVertical, oldTL, showV);
    if (ClientWidth() != w) {
        w = ClientWidth();
        horizontal();
    }
    UpdateScrollPos(true);
    if (!(FTopLeft == oldTL))
        AfterTopLeftMoved(oldTL);
    const bool changed = showH != 0 || showV != 0;
    FInCheckScrollBars = true;
    try {
        if (FVScrollBar && showV != 0)
            FVScrollBar->SetVisible(showV > 0);
        if (FHScrollBar && showH != 0)
            FHScrollBar->SetVisible(showH > 0);
        if (FHScrollBar && FVScrollBar && FHScrollBar->Both() != FVScrollBar->Visible())
            FHScrollBar->SetBoth(FVScrollBar->Visible());
        if (Align() != alNone && changed && Parent()) {
            Parent()->Realign();
            Invalidate();
        }
    } catch (...) {
        FInCheckScrollBars = false;
        throw;
    }
    FInCheckScrollBars = false;
}

// ---- mouse ---------------------------------------------------------------------------

void TspSkinCustomGrid::StartGridTimer()
{
    if (HandleAllocated()) {
        SetTimer(Handle(), kGridTimer, kGridTimerMs, nullptr);
        FTimerRunning = true;
    }
}

void TspSkinCustomGrid::StopGridTimer()
{
    if (FTimerRunning && HandleAllocated())
        KillTimer(Handle(), kGridTimer);
    FTimerRunning = false;
}

void TspSkinCustomGrid::GetSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs,
                                       const TGridLayout& Layout)
{
    State = gsNormal;
    Index = -1;
    TGridOptions opts = FOptions;
    if (ComponentState().Contains(csDesigning))
        opts = opts + DesignOptionsBoost;
    if (!opts.Contains(goRowSizing) && !opts.Contains(goColSizing))
        return;
    const TGridAxisLayout& H = Layout.Horz;
    const TGridAxisLayout& V = Layout.Vert;
    const bool nearFixed = FFixedColSizing && X > H.FixedEdge - 3;
    const bool beyond = nearFixed ? X > 0 : X > H.FixedEdge;
    const bool atOrBeyond = nearFixed ? X >= 0 : X >= H.FixedEdge;
    auto axisTest = [&](const TGridAxisLayout& A, int Pos, TGridState S) {
        int i, line;
        if (FFixedColSizing && Pos < A.FixedEdge) {
            i = 0;
            line = 0;
        } else {
            i = A.FirstScrollCell;
            line = A.FixedEdge;
        }
        int range = A.LineWidth, back = 0;
        if (A.LineWidth < 7) {
            back = (7 - A.LineWidth) / 2;
            range = 7;
        }
        for (; i < A.CellCount; ++i) {
            line += A.ExtentOf(i);
            if (line > A.GridEdge)
                break;
            if (line - back <= Pos && Pos <= line - back + range) {
                State = S;
                SizingPos = line;
                SizingOfs = line - Pos;
                Index = i;
                return;
            }
            line += A.LineWidth;
        }
        if (A.GridEdge == A.ClientExtent && A.ClientExtent - back <= Pos && Pos <= A.ClientExtent) {
            State = S;
            SizingPos = A.ClientExtent;
            SizingOfs = A.ClientExtent - Pos;
            Index = A.LastWholeCell + 1;
        }
    };
    if (beyond && opts.Contains(goColSizing)) {
        if (Y < V.FixedEdge || FColSizingWithLine)
            axisTest(H, X, gsColSizing);
    } else if (Y > V.FixedEdge && opts.Contains(goRowSizing) && !atOrBeyond) {
        axisTest(V, Y, gsRowSizing);
    }
}

bool TspSkinCustomGrid::IsOverSizingEdge(int X, int Y)
{
    if (FGridState != gsNormal)
        return true;
    TGridState s;
    int i, p, o;
    GetSizingState(X, Y, s, i, p, o, ComputeLayout());
    return s != gsNormal;
}

namespace {
// A canvas on the grid's window outside painting, for the XOR marks.
class TWindowCanvas {
public:
    explicit TWindowCanvas(HWND Wnd) : FWnd(Wnd), FDC(GetDC(Wnd)) { FCanvas.SetHandle(FDC); }
    ~TWindowCanvas()
    {
        FCanvas.SetHandle(nullptr);
        ReleaseDC(FWnd, FDC);
    }
    TCanvas* operator->() { return &FCanvas; }

private:
    HWND FWnd;
    HDC FDC;
    TCanvas FCanvas;
};
}  // namespace

void TspSkinCustomGrid::XorSizingLine(const TGridLayout& L)
{
    if (!HandleAllocated())
        return;
    TWindowCanvas C(Handle());
    C->Pen()->SetStyle(psDot);
    C->Pen()->SetMode(pmXor);
    C->Pen()->SetWidth(1);
    C->Pen()->SetColor(clWhite);
    if (FGridState == gsRowSizing) {
        C->MoveTo(0, FSizingPos);
        C->LineTo(L.Horz.GridEdge, FSizingPos);
    } else {
        C->MoveTo(FSizingPos, 0);
        C->LineTo(FSizingPos, L.Vert.GridEdge);
    }
}

void TspSkinCustomGrid::XorMoveMarker()
{
    if (!HandleAllocated())
        return;
    TWindowCanvas C(Handle());
    C->Pen()->SetStyle(psDot);
    C->Pen()->SetMode(pmXor);
    C->Pen()->SetWidth(5);
    C->Pen()->SetColor(clWhite);
    if (FGridState == gsRowMoving) {
        const TRect r = CellRect(0, FMovePos);
        const int y = FMoveIndex < FMovePos ? r.bottom : r.top;
        C->MoveTo(0, y);
        C->LineTo(ClientWidth(), y);
    } else {
        const TRect r = CellRect(FMovePos, 0);
        const int x = FMoveIndex < FMovePos ? r.right : r.left;
        C->MoveTo(x, 0);
        C->LineTo(x, ClientHeight());
    }
    FMarkerShown = !FMarkerShown;
}

void TspSkinCustomGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    HideEditorWindow();
    if (!ComponentState().Contains(csDesigning) && (CanFocus() || !GetParentForm(this))) {
        SetFocus();
        if (!IsFocusedGrid()) {
            SetMouseCapture(false);
            return;
        }
    }
    if (Button == mbLeft && FInplaceEdit)
        FInplaceEdit->FClickTime = static_cast<int>(GetMessageTime());
    if (Button == mbLeft && !Shift.Contains(ssDouble)) {
        const TGridLayout L = ComputeLayout();
        GetSizingState(X, Y, FGridState, FSizingIndex, FSizingPos, FSizingOfs, L);
        if (FGridState != gsNormal) {
            XorSizingLine(L);
            return;
        }
        const TGridCoord cell = CellAtPoint(X, Y);
        if (cell.X < FFixedCols || cell.Y < FFixedRows) {
            if (FOptions.Contains(goRowMoving) && cell.X >= 0 && cell.X < FFixedCols && cell.Y >= FFixedRows) {
                FMoveIndex = FMovePos = cell.Y;
                int o = FMoveIndex, d = FMovePos;
                if (CanStartRowDrag(o, d, TPoint(X, Y))) {
                    FGridState = gsRowMoving;
                    Update();
                    XorMoveMarker();
                    StartGridTimer();
                }
            } else if (FOptions.Contains(goColMoving) && cell.Y >= 0 && cell.Y < FFixedRows && cell.X >= FFixedCols) {
                FMoveIndex = FMovePos = cell.X;
                int o = FMoveIndex, d = FMovePos;
                if (CanStartColumnDrag(o, d, TPoint(X, Y))) {
                    FGridState = gsColMoving;
                    Update();
                    XorMoveMarker();
                    StartGridTimer();
                }
            }
        } else if (FOptions.Contains(goEditing)) {
            if (cell == FCurrent)
                ShowEditorNow();
            else {
                MoveCurrentCell(cell.X, cell.Y, true, true);
                SyncEditor();
            }
            Click();
        } else {
            FGridState = gsSelecting;
            StartGridTimer();
            if (Shift.Contains(ssShift))
                MoveAnchorTo(cell);
            else
                MoveCurrentCell(cell.X, cell.Y, true, true);
        }
    }
    try {
        TspSkinControl::MouseDown(Button, Shift, X, Y);
    } catch (...) {
        // The marker must not stay on screen; the error still reaches the caller.
        if (FMarkerShown)
            XorMoveMarker();
        StopGridTimer();
        FGridState = gsNormal;
        throw;
    }
}

void TspSkinCustomGrid::MouseMove(TShiftState Shift, int X, int Y)
{
    const TGridLayout L = ComputeLayout();
    switch (FGridState) {
    case gsSelecting:
    case gsRowMoving:
    case gsColMoving: {
        const TGridCoord cell = CellAtPoint(X, Y);
        if (cell.X >= FFixedCols && cell.Y >= FFixedRows && cell.X <= L.Horz.LastWholeCell + 1 &&
            cell.Y <= L.Vert.LastWholeCell + 1) {
            if (FGridState == gsSelecting) {
                if (!(cell == FAnchor))
                    MoveAnchorTo(cell);
            } else if (FGridState == gsRowMoving) {
                MoveAndScroll(Y, cell.Y, true);
            } else {
                MoveAndScroll(X, cell.X, false);
            }
        }
        break;
    }
    case gsRowSizing:
    case gsColSizing:
        XorSizingLine(L);
        FSizingPos = (FGridState == gsRowSizing ? Y : X) + FSizingOfs;
        XorSizingLine(L);
        break;
    default: break;
    }
    TspSkinControl::MouseMove(Shift, X, Y);
}

void TspSkinCustomGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    try {
        switch (FGridState) {
        case gsSelecting:
            MouseMove(Shift, X, Y);
            StopGridTimer();
            SyncEditor();
            Click();
            break;
        case gsRowSizing:
        case gsColSizing: {
            const TGridLayout L = ComputeLayout();
            XorSizingLine(L);
            const bool rows = FGridState == gsRowSizing;
            const TGridAxisLayout& A = rows ? L.Vert : L.Horz;
            int start = 0;
            if (FSizingIndex > 0) {
                if (FSizingIndex < A.FixedCount) {
                    // A fixed line after the first starts after the fixed lines before it.
                    for (int i = 0; i < FSizingIndex; ++i)
                        start += A.ExtentOf(i) + A.LineWidth;
                } else {
                    start = A.FixedEdge;
                    for (int i = A.FirstScrollCell; i < FSizingIndex; ++i)
                        start += A.ExtentOf(i) + A.LineWidth;
                }
            }
            const int size = FSizingPos - start;
            if (size > 1) {
                if (rows)
                    SetRowHeights(FSizingIndex, size);
                else
                    SetColWidths(FSizingIndex, size);
                NotifyDesigner();
            }
            break;
        }
        case gsRowMoving:
        case gsColMoving: {
            if (FMarkerShown)
                XorMoveMarker();
            StopGridTimer();
            int d = FMovePos;
            const bool rows = FGridState == gsRowMoving;
            const bool ok = rows ? CanEndRowDrag(FMoveIndex, d, TPoint(X, Y)) : CanEndColumnDrag(FMoveIndex, d, TPoint(X, Y));
            if (ok && FMoveIndex != FMovePos) {
                FGridState = gsNormal;
                if (rows)
                    MoveRowTo(FMoveIndex, FMovePos);
                else
                    MoveColumnTo(FMoveIndex, FMovePos);
                NotifyDesigner();
            }
            SyncEditor();
            break;
        }
        default:
            SyncEditor();
            break;
        }
    } catch (...) {
        FGridState = gsNormal;
        throw;
    }
    FGridState = gsNormal;
    TspSkinControl::MouseUp(Button, Shift, X, Y);
}

void TspSkinCustomGrid::MoveAndScroll(int Mouse, int Hit, bool Rows)
{
    TGridLayout L = ComputeLayout();
    const TGridAxisLayout* A = Rows ? &L.Vert : &L.Horz;
    if (Hit == FMovePos || (FMovePos == A->FixedCount && Mouse < A->FixedEdge) ||
        (FMovePos == A->CellCount - 1 && Mouse > A->GridEdge))
        return;
    if (FMarkerShown)
        XorMoveMarker();
    if (Mouse < A->FixedEdge) {
        if (FMovePos > A->FixedCount) {
            ApplyScrollCommand(Rows ? SB_VERT : SB_HORZ, SB_LINEUP, 0, false);
            Update();
            L = ComputeLayout();
            A = Rows ? &L.Vert : &L.Horz;
        }
        Hit = A->FirstScrollCell;
    } else if (Mouse >= A->WholeEdge) {
        if (FMovePos == A->LastWholeCell && FMovePos < A->CellCount - 1) {
            ApplyScrollCommand(Rows ? SB_VERT : SB_HORZ, SB_LINEDOWN, 0, false);
            Update();
            L = ComputeLayout();
            A = Rows ? &L.Vert : &L.Horz;
        }
        Hit = A->LastWholeCell;
    } else if (Hit < 0) {
        Hit = FMovePos;
    }
    const TPoint pt = Rows ? TPoint(0, Mouse) : TPoint(Mouse, 0);
    const bool ok = Rows ? AcceptRowDragPos(FMoveIndex, Hit, pt) : AcceptColumnDragPos(FMoveIndex, Hit, pt);
    if (ok)
        FMovePos = Hit;
    XorMoveMarker();
}

void TspSkinCustomGrid::DragScrollStep(TGridDragDirections Directions)
{
    TGridCoord nw = FAnchor;
    if (Directions.Contains(ddLeft) && FAnchor.X > FFixedCols)
        --nw.X;
    if (Directions.Contains(ddRight) && FAnchor.X < FColCount - 1)
        ++nw.X;
    if (Directions.Contains(ddUp) && FAnchor.Y > FFixedRows)
        --nw.Y;
    if (Directions.Contains(ddDown) && FAnchor.Y < FRowCount - 1)
        ++nw.Y;
    if (!(nw == FAnchor))
        MoveAnchorTo(nw);
}

void TspSkinCustomGrid::TimerTick()
{
    if (FGridState != gsSelecting && FGridState != gsRowMoving && FGridState != gsColMoving)
        return;
    POINT sp{};
    GetCursorPos(&sp);
    const TPoint p = ScreenToClient(TPoint(sp.x, sp.y));
    const TGridLayout L = ComputeLayout();
    const TGridCoord cell = CellAtPoint(p.x, p.y);
    if (FGridState == gsSelecting) {
        TGridDragDirections d;
        if (p.x < L.Horz.FixedEdge)
            d.Include(ddLeft);
        else if (p.x > L.Horz.WholeEdge)
            d.Include(ddRight);
        if (p.y < L.Vert.FixedEdge)
            d.Include(ddUp);
        else if (p.y > L.Vert.WholeEdge)
            d.Include(ddDown);
        if (!(d == TGridDragDirections{}))
            DragScrollStep(d);
    } else if (FGridState == gsRowMoving) {
        MoveAndScroll(p.y, cell.Y, true);
    } else {
        MoveAndScroll(p.x, cell.X, false);
    }
}

void TspSkinCustomGrid::CancelGridMode()
{
    switch (FGridState) {
    case gsSelecting: StopGridTimer(); break;
    case gsRowSizing:
    case gsColSizing: XorSizingLine(ComputeLayout()); break;
    case gsRowMoving:
    case gsColMoving:
        if (FMarkerShown)
            XorMoveMarker();
        StopGridTimer();
        break;
    default: break;
    }
    FGridState = gsNormal;
}

// ---- keys -----------------------------------------------------------------------------

void TspSkinCustomGrid::KeyDown(WORD& Key, TShiftState Shift)
{
    TspSkinControl::KeyDown(Key, Shift);
    if (Key == 0)
        return;
    if (!GridAcceptsKey(Key, Shift)) {
        Key = 0;
        return;
    }
    const bool rowSelect = FOptions.Contains(goRowSelect);
    const bool ctrl = Shift.Contains(ssCtrl);
    const TGridLayout L = ComputeLayout();
    TGridCoord nw = FCurrent, nwTL = FTopLeft;
    const int pageW = std::max(1, L.Horz.LastWholeCell - FTopLeft.X);
    const int pageH = std::max(1, L.Vert.LastWholeCell - FTopLeft.Y);
    switch (Key) {
    case VK_UP: ctrl ? --nwTL.Y : --nw.Y; break;
    case VK_DOWN: ctrl ? ++nwTL.Y : ++nw.Y; break;
    case VK_LEFT:
        if (ctrl) {
            if (!rowSelect) {
                nw.X -= pageW;
                nwTL.X -= pageW;
            }
        } else if (rowSelect) {
            --nw.Y;
        } else {
            --nw.X;
        }
        break;
    case VK_RIGHT:
        if (ctrl) {
            if (!rowSelect) {
                nw.X += pageW;
                nwTL.X += pageW;
            }
        } else if (rowSelect) {
            ++nw.Y;
        } else {
            ++nw.X;
        }
        break;
    case VK_PRIOR:
        if (ctrl)
            nw.Y = FTopLeft.Y;
        else {
            nw.Y -= pageH;
            nwTL.Y -= pageH;
        }
        break;
    case VK_NEXT:
        if (ctrl)
            nw.Y = L.Vert.LastWholeCell;
        else {
            nw.Y += pageH;
            nwTL.Y += pageH;
        }
        break;
    case VK_HOME:
        if (ctrl)
            nw = TGridCoord{FFixedCols, FFixedRows};
        else if (rowSelect)
            nw.Y = FFixedRows;
        else
            nw.X = FFixedCols;
        break;
    case VK_END:
        if (ctrl)
            nw = TGridCoord{FColCount - 1, FRowCount - 1};
        else if (rowSelect)
            nw.Y = FRowCount - 1;
        else
            nw.X = FColCount - 1;
        break;
    case VK_TAB:
        if (!Shift.Contains(ssAlt)) {
            bool back = Shift.Contains(ssShift);
            do {
                if (back) {
                    if (--nw.X < FFixedCols) {
                        nw.X = FColCount - 1;
                        if (--nw.Y < FFixedRows)
                            nw.Y = FRowCount - 1;
                    }
                    back = false;  // Shift counts as released after the first step
                } else if (++nw.X >= FColCount) {
                    nw.X = FFixedCols;
                    if (++nw.Y >= FRowCount)
                        nw.Y = FFixedRows;
                }
            } while (!TabStops(nw.X) && nw.X != FCurrent.X);
        }
        break;
    case VK_F2: SetEditorMode(true); break;
    default: break;
    }
    const TGridCoord maxTL = MaxTopLeftFor(TGridCoord{FColCount - 1, FRowCount - 1}, L);
    nwTL.X = std::clamp(nwTL.X, FFixedCols, std::max(FFixedCols, maxTL.X));
    nwTL.Y = std::clamp(nwTL.Y, FFixedRows, std::max(FFixedRows, maxTL.Y));
    if (!(nwTL == FTopLeft))
        MoveTopLeftTo(nwTL.X, nwTL.Y);
    nw.X = std::clamp(nw.X, FFixedCols, FColCount - 1);
    nw.Y = std::clamp(nw.Y, FFixedRows, FRowCount - 1);
    if (!(nw == FCurrent))
        FocusCellAt(nw.X, nw.Y, !Shift.Contains(ssShift));
}

void TspSkinCustomGrid::KeyPress(char& Key)
{
    TspSkinControl::KeyPress(Key);
    if (!FOptions.Contains(goAlwaysShowEditor) && Key == '\r') {
        if (FEditorMode)
            HideEditorNow();
        else
            ShowEditorNow();
        Key = 0;
    }
}

bool TspSkinCustomGrid::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos)
{
    if (TspSkinControl::DoMouseWheel(Shift, WheelDelta, MousePos))
        return true;
    if (WheelDelta < 0) {
        if (FCurrent.Y < FRowCount - 1)
            SetRow(FCurrent.Y + 1);
    } else if (WheelDelta > 0) {
        if (FCurrent.Y > FFixedRows)
            SetRow(FCurrent.Y - 1);
    }
    return true;
}

void TspSkinCustomGrid::DoExit()
{
    TspSkinControl::DoExit();
    if (!FOptions.Contains(goAlwaysShowEditor))
        HideEditorNow();
}

// ---- messages -------------------------------------------------------------------------------

void TspSkinCustomGrid::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_VSCROLL:
    case WM_HSCROLL:
        ApplyScrollCommand(Message.Msg == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(Message.WParam),
                           static_cast<short>(HIWORD(Message.WParam)), true);
        Message.Result = 0;
        return;
    case WM_TIMER:
        if (Message.WParam == kGridTimer) {
            TimerTick();
            return;
        }
        break;
    case WM_GETDLGCODE: {
        LRESULT code = DLGC_WANTARROWS;
        if (!FOptions.Contains(goRowSelect)) {
            if (FOptions.Contains(goTabs))
                code |= DLGC_WANTTAB;
            if (FOptions.Contains(goEditing))
                code |= DLGC_WANTCHARS;
        }
        Message.Result = code;
        return;
    }
    case CM_WANTSPECIALKEY:
        if (FOptions.Contains(goEditing) && (Message.WParam & 0xFFFF) == VK_RETURN) {
            Message.Result = 1;
            return;
        }
        break;
    case WM_CHAR: {
        const auto ch = static_cast<char32_t>(Message.WParam);
        if (FOptions.Contains(goEditing) && (ch == 8 || ch >= 32) && ch != 127) {
            ShowEditorWithChar(ch);
            Message.Result = 0;
            return;
        }
        break;
    }
    case WM_SETCURSOR:
        if (LOWORD(Message.LParam) == HTCLIENT) {
            TGridState s = FGridState;
            if (s == gsNormal) {
                int i, p, o;
                POINT sp{};
                GetCursorPos(&sp);
                const TPoint pt = ScreenToClient(TPoint(sp.x, sp.y));
                GetSizingState(pt.x, pt.y, s, i, p, o, ComputeLayout());
            }
            if (s == gsRowSizing || s == gsColSizing) {
                ::SetCursor(Screen->Cursors(s == gsRowSizing ? crVSplit : crHSplit));
                Message.Result = 1;
                return;
            }
        }
        break;
    case WM_CANCELMODE:
    case CM_CANCELMODE:
        if (Message.Msg == CM_CANCELMODE && FInplaceEdit && FInplaceEdit->HandleAllocated())
            FInplaceEdit->WindowProc(Message);
        CancelGridMode();
        break;
    case WM_SIZE:
        TspSkinControl::WndProc(Message);
        if (!SkinLook() && FOptions.Contains(goRowSelect))
            Invalidate();
        UpdateScrollRange(true);
        return;
    case WM_PAINT:
        TspSkinControl::WndProc(Message);
        if (!FInCheckScrollBars)
            UpdateScrollRange(true);
        return;
    case WM_SETFOCUS:
        TspSkinControl::WndProc(Message);
        if (!FInplaceEdit || reinterpret_cast<HWND>(Message.WParam) != FInplaceEdit->Handle()) {
            InvalidateGridRect(Selection());
            if (HandleAllocated() && IsWindowVisible(Handle()))
                SyncEditor();
        }
        return;
    case WM_KILLFOCUS:
        TspSkinControl::WndProc(Message);
        InvalidateGridRect(Selection());
        if (!FInplaceEdit || !FInplaceEdit->HandleAllocated() ||
            reinterpret_cast<HWND>(Message.WParam) != FInplaceEdit->Handle())
            HideEditorWindow();
        return;
    case WM_COMMAND:
        if (FInplaceEdit && FInplaceEdit->HandleAllocated() &&
            reinterpret_cast<HWND>(Message.LParam) == FInplaceEdit->Handle() && HIWORD(Message.WParam) == EN_CHANGE) {
            StoreEditorText();
            return;
        }
        break;
    case CM_FONTCHANGED:
        if (FInplaceEdit)
            FInplaceEdit->SetFont(Font());
        break;
    default: break;
    }
    TspSkinControl::WndProc(Message);
}
