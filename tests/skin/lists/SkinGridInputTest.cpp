// Keys, mouse, wheel and scroll bars of the grid: the key table with and
// without Ctrl and row select, the event order of clicks, sizing and
// moving lines, drag-selecting on the timer, and the bars' 0..127 scale.
#include "platform/gui/ExtCtrls.h"
#include "platform/user/Input.h"
#include "platform/user/ScrollInfo.h"

#include "GridTestSupport.h"

#include <gtest/gtest.h>

namespace {

class GridInput : public gridtest::TGridTest {
protected:
    TspSkinStringGrid* KeyGrid(bool rowSelect)
    {
        auto* g = MakeGrid(330, 130);
        g->SetColCount(8);
        g->SetRowCount(20);
        TGridOptions o = g->Options();
        o.Include(goTabs);
        if (rowSelect)
            o.Include(goRowSelect);
        g->SetOptions(o);
        Focus(g);
        return g;
    }
    // A press well after the last one: never taken for a double click.
    void Down(TMouseButton b = TMouseButton::Left)
    {
        Clock.Advance(1000);
        HeadlessMouseDown(b);
        Application->ProcessMessages();
    }
    void Chord(WORD modifier, WORD vk)
    {
        if (modifier)
            HeadlessKeyDown(modifier);
        HeadlessKeyPress(vk);
        if (modifier)
            HeadlessKeyUp(modifier);
        Application->ProcessMessages();
    }
};

TEST_F(GridInput, KeyTable)
{
    struct TCase {
        WORD modifier, key;
        bool rowSelect;
        int col, row, left, top;
    } cases[] = {
        {0, VK_UP, false, 2, 1, 1, 1},
        {0, VK_DOWN, false, 2, 3, 1, 1},
        {0, VK_LEFT, false, 1, 2, 1, 1},
        {0, VK_RIGHT, false, 3, 2, 1, 1},
        {0, VK_PRIOR, false, 2, 1, 1, 1},
        {0, VK_NEXT, false, 2, 5, 1, 4},
        {0, VK_HOME, false, 1, 2, 1, 1},
        {0, VK_END, false, 7, 2, 4, 1},
        {0, VK_TAB, false, 3, 2, 1, 1},
        {VK_SHIFT, VK_TAB, false, 1, 2, 1, 1},
        {VK_CONTROL, VK_UP, false, 2, 2, 1, 1},
        {VK_CONTROL, VK_DOWN, false, 2, 2, 1, 2},
        {VK_CONTROL, VK_LEFT, false, 1, 2, 1, 1},
        {VK_CONTROL, VK_RIGHT, false, 5, 2, 4, 1},
        {VK_CONTROL, VK_PRIOR, false, 2, 1, 1, 1},
        {VK_CONTROL, VK_NEXT, false, 2, 4, 1, 1},
        {VK_CONTROL, VK_HOME, false, 1, 1, 1, 1},
        {VK_CONTROL, VK_END, false, 7, 19, 4, 16},
        {0, VK_UP, true, 1, 1, 1, 1},
        {0, VK_DOWN, true, 1, 3, 1, 1},
        {0, VK_LEFT, true, 1, 1, 1, 1},
        {0, VK_RIGHT, true, 1, 3, 1, 1},
        {0, VK_HOME, true, 1, 1, 1, 1},
        {0, VK_END, true, 1, 19, 1, 16},
        {VK_CONTROL, VK_HOME, true, 1, 1, 1, 1},
        {VK_CONTROL, VK_LEFT, true, 1, 2, 1, 1},
    };
    for (const TCase& c : cases) {
        auto* g = KeyGrid(c.rowSelect);
        g->SetCol(2);
        g->SetRow(2);
        Chord(c.modifier, c.key);
        EXPECT_EQ(g->Col(), c.col) << c.modifier << " " << c.key << " " << c.rowSelect;
        EXPECT_EQ(g->Row(), c.row) << c.modifier << " " << c.key << " " << c.rowSelect;
        EXPECT_EQ(g->LeftCol(), c.left) << c.modifier << " " << c.key << " " << c.rowSelect;
        EXPECT_EQ(g->TopRow(), c.top) << c.modifier << " " << c.key << " " << c.rowSelect;
        delete g;
    }
}

TEST_F(GridInput, TabWrapsAcrossRowsAndSkipsColumnsThatAreNoStops)
{
    auto* g = KeyGrid(false);
    g->SetTabStops(3, false);
    g->SetCol(7);
    g->SetRow(2);
    Chord(0, VK_TAB);
    EXPECT_EQ(g->Col(), 1);
    EXPECT_EQ(g->Row(), 3);
    g->SetCol(2);
    Chord(0, VK_TAB);
    EXPECT_EQ(g->Col(), 4);
    g->SetCol(1);
    g->SetRow(1);
    Chord(VK_SHIFT, VK_TAB);  // back to the last column of the last row
    EXPECT_EQ(g->Col(), 7);
    EXPECT_EQ(g->Row(), 19);
}

TEST_F(GridInput, KeyClearedInOnKeyDownDoesNothing)
{
    auto* g = KeyGrid(false);
    struct TEat : TObject {
        void KeyDown(TObject*, WORD& k, TShiftState) { k = 0; }
    } eat;
    g->OnKeyDown = MakeEvent(&eat, &TEat::KeyDown);
    Chord(0, VK_DOWN);
    EXPECT_EQ(g->Row(), 1);
}

TEST_F(GridInput, ClickEventOrder)
{
    auto* g = MakeGrid();
    gridtest::TEventLog log;
    log.Attach(g);
    auto click = [&](int x, int y, TMouseButton b) {
        MoveTo(g, x, y);
        log.Lines.clear();
        Down(b);
        HeadlessMouseUp(b);
        Application->ProcessMessages();
        return log.Lines;
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(click(160, 60, TMouseButton::Left), (V{"SelectCell 2 2", "MouseDown", "MouseMove", "Click", "MouseUp"}));
    EXPECT_EQ(g->Row(), 2);
    EXPECT_EQ(click(100, 85, TMouseButton::Right), (V{"MouseDown", "MouseUp"}));
    EXPECT_EQ(g->Row(), 2);
    EXPECT_EQ(click(30, 60, TMouseButton::Left), (V{"MouseDown", "MouseUp"}));  // fixed cell
    EXPECT_EQ(click(326, 60, TMouseButton::Left), (V{"MouseDown", "MouseUp"}));  // outside every cell
    // A sizing press gives no OnMouseDown.
    TGridOptions o = g->Options();
    o.Include(goColSizing);
    g->SetOptions(o);
    const V sizing = click(128, 10, TMouseButton::Left);
    EXPECT_EQ(std::count(sizing.begin(), sizing.end(), "MouseDown"), 0);
    ASSERT_FALSE(sizing.empty());
    EXPECT_EQ(sizing.back(), "MouseUp");
    // An OnSelectCell that refuses keeps the current cell.
    log.Refuse = true;
    click(225, 85, TMouseButton::Left);
    EXPECT_EQ(g->Col(), 2);
    EXPECT_EQ(g->Row(), 2);
}

TEST_F(GridInput, DoubleClickOrder)
{
    auto* g = MakeGrid();
    gridtest::TEventLog log;
    log.Attach(g);
    MoveTo(g, 160, 60);
    HeadlessMouseDown();
    HeadlessMouseUp();
    Application->ProcessMessages();
    log.Lines.clear();
    HeadlessMouseDown();
    Application->ProcessMessages();
    ASSERT_GE(log.Lines.size(), 2u);
    EXPECT_EQ(log.Lines[0], "DblClick");
    EXPECT_EQ(log.Lines[1], "MouseDown");
    HeadlessMouseUp();
    Application->ProcessMessages();
    EXPECT_EQ(log.Lines.back(), "MouseUp");
}

// The queue grid's shape: a fixed row, no fixed column, sizable columns.
TEST_F(GridInput, ColumnSizingGrabZone)
{
    auto* g = MakeGrid();
    g->SetFixedCols(0);
    TGridOptions o = g->Options();
    o.Include(goColSizing);
    g->SetOptions(o);
    // Column 0 ends at 64: a border is grabbed from 3 before to 4 after.
    for (int dx = -5; dx <= 6; ++dx) {
        MoveTo(g, 64 + dx, 10);
        Down();
        const bool sizing = g->GridState() == gsColSizing;
        EXPECT_EQ(sizing, dx >= -3 && dx <= 4) << dx;
        HeadlessMouseUp();
        Application->ProcessMessages();
        EXPECT_EQ(g->GridState(), gsNormal);
    }
    EXPECT_EQ(g->ColWidths(0), 64);
    // Dragged: the new width; dragged to 1 pixel: refused.
    MoveTo(g, 62, 10);
    Down();
    MoveTo(g, 100, 10);
    HeadlessMouseUp();
    Application->ProcessMessages();
    EXPECT_EQ(g->ColWidths(0), 102);
    MoveTo(g, 102, 10);
    Down();
    MoveTo(g, 1, 10);
    HeadlessMouseUp();
    Application->ProcessMessages();
    EXPECT_EQ(g->ColWidths(0), 102);
    // The same press in a data row selects instead.
    MoveTo(g, 102, 60);
    Down();
    EXPECT_EQ(g->GridState(), gsSelecting);
    HeadlessMouseUp();
    Application->ProcessMessages();
    g->SetColSizingWithLine(true);
    MoveTo(g, 102, 60);
    Down();
    EXPECT_EQ(g->GridState(), gsColSizing);
    HeadlessMouseUp();
    Application->ProcessMessages();
}

TEST_F(GridInput, FixedColumnSizing)
{
    auto* g = MakeGrid();
    TGridOptions o = g->Options();
    o.Include(goColSizing);
    g->SetOptions(o);
    MoveTo(g, 62, 10);  // inside the fixed area
    Down();
    EXPECT_EQ(g->GridState(), gsNormal);
    HeadlessMouseUp();
    Application->ProcessMessages();
    g->SetFixedColSizing(true);
    MoveTo(g, 63, 10);  // from 3 pixels inside the fixed area
    Down();
    MoveTo(g, 80, 10);
    HeadlessMouseUp();
    Application->ProcessMessages();
    EXPECT_EQ(g->ColWidths(0), 81);
}

TEST_F(GridInput, MovingRowsAndColumns)
{
    auto* g = MakeGrid();
    TGridOptions o = g->Options();
    o.Include(goRowMoving);
    o.Include(goColMoving);
    g->SetOptions(o);
    for (int r = 0; r < 5; ++r)
        g->SetCellText(2, r, "r" + std::to_string(r));
    struct TMoves : TObject {
        std::vector<std::pair<int, int>> Rows;
        void Moved(TObject*, int f, int t) { Rows.emplace_back(f, t); }
    } moves;
    g->OnRowMoved = MakeEvent(&moves, &TMoves::Moved);
    MoveTo(g, 30, 37);  // row 1's fixed cell
    Down();
    EXPECT_EQ(g->GridState(), gsRowMoving);
    MoveTo(g, 100, 87);  // over row 3, in the data area
    HeadlessMouseUp();
    Application->ProcessMessages();
    ASSERT_EQ(moves.Rows.size(), 1u);
    EXPECT_EQ(moves.Rows[0], std::make_pair(1, 3));
    EXPECT_EQ(g->CellText(2, 3), "r1");
    // Columns: the header of column 1 dragged over column 3.
    g->SetCellText(1, 0, "c1");
    MoveTo(g, 100, 10);
    Down();
    MoveTo(g, 230, 60);
    HeadlessMouseUp();
    Application->ProcessMessages();
    EXPECT_EQ(g->CellText(3, 0), "c1");
}

TEST_F(GridInput, DragSelectingBelowTheGridMovesOneRowPerTick)
{
    auto* g = MakeGrid(330, 130);
    g->SetRowCount(12);
    MoveTo(g, 100, 37);
    Down();
    MoveTo(g, 100, 170);  // below the grid
    const int start = g->Selection().Bottom;
    for (int tick = 1; tick <= 3; ++tick) {
        Clock.Advance(60);
        HeadlessProcessMessages();
        EXPECT_EQ(g->Selection().Bottom, start + tick) << tick;
    }
    for (int tick = 0; tick < 20; ++tick) {
        Clock.Advance(60);
        HeadlessProcessMessages();
    }
    EXPECT_EQ(g->Selection().Bottom, 11);  // stops at the last row
    HeadlessMouseUp();
    Application->ProcessMessages();
    EXPECT_EQ(g->GridState(), gsNormal);
}

TEST_F(GridInput, WheelMovesTheRowAndIsHandledOnTheLastRow)
{
    auto* g = MakeGrid();
    Focus(g);
    MoveTo(g, 100, 60);
    HeadlessWheel(-120);
    Application->ProcessMessages();
    EXPECT_EQ(g->Row(), 2);
    HeadlessWheel(120);
    Application->ProcessMessages();
    EXPECT_EQ(g->Row(), 1);
    g->SetRow(4);
    EXPECT_EQ(SendMessage(g->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0), 1);
    EXPECT_EQ(g->Row(), 4);
}

class GridScroll : public GridInput {
protected:
    TspSkinStringGrid* Grid = nullptr;
    TspSkinScrollBar* VBar = nullptr;
    TspSkinScrollBar* HBar = nullptr;
    void Build(int rows, int fixedRows)
    {
        Grid = MakeGrid(330, 250);
        Grid->SetFixedCols(0);
        Grid->SetRowCount(rows);
        Grid->SetFixedRows(fixedRows);
        VBar = Make<TspSkinScrollBar>(Form, 345, 10, 16, 250);
        VBar->SetKind(sbVertical);
        HBar = Make<TspSkinScrollBar>(Form, 10, 265, 330, 16);
        Grid->SetVScrollBar(VBar);
        Grid->SetHScrollBar(HBar);
        Application->ProcessMessages();
    }
    void Thumb(UINT msg, int pos)
    {
        SendMessage(Grid->Handle(), msg, MAKEWPARAM(SB_THUMBPOSITION, static_cast<WORD>(pos)), 0);
        Application->ProcessMessages();
    }
};

TEST_F(GridScroll, BarPositionsMapOntoTopRows)
{
    Build(100, 0);
    EXPECT_TRUE(VBar->Visible());
    EXPECT_EQ(VBar->Max(), 127);
    Thumb(WM_VSCROLL, 127);
    EXPECT_EQ(Grid->TopRow(), 90);  // the last possible top row
    Thumb(WM_VSCROLL, 64);
    EXPECT_EQ(Grid->TopRow(), 45);  // MulDiv(64, 90, 127)
    EXPECT_EQ(VBar->Position(), 64);
    Thumb(WM_VSCROLL, 500);
    EXPECT_EQ(Grid->TopRow(), 90);
    // The bar's buttons: up increases.
    VBar->OnUpButtonClick(VBar);
    Application->ProcessMessages();
    EXPECT_EQ(Grid->TopRow(), 90);
    VBar->OnDownButtonClick(VBar);
    Application->ProcessMessages();
    EXPECT_EQ(Grid->TopRow(), 89);
    VBar->OnPageUp(VBar);
    Application->ProcessMessages();
    EXPECT_EQ(Grid->TopRow(), 80);  // back by what one page above 89 shows
}

TEST_F(GridScroll, SmallChangeFollowsTheHiddenRows)
{
    Build(12, 0);
    EXPECT_EQ(VBar->SmallChange(), 63);
    EXPECT_EQ(VBar->LargeChange(), 63);
}

TEST_F(GridScroll, AllRowsFittingHideTheBar)
{
    Build(5, 1);
    EXPECT_FALSE(VBar->Visible());
    EXPECT_EQ(VBar->Max(), 0);
    EXPECT_EQ(VBar->Position(), 0);
    Thumb(WM_VSCROLL, 100);
    EXPECT_EQ(Grid->TopRow(), 1);
}

TEST_F(GridScroll, AnAlignedGridFillsTheRoomOfItsHiddenBar)
{
    // The queue's arrangement: the bar docked at the right, the grid filling the rest.
    auto* panel = Make<TPanel>(Form, 10, 10, 360, 250);
    VBar = Make<TspSkinScrollBar>(panel, 0, 0, 16, 250);
    VBar->SetKind(sbVertical);
    VBar->SetAlign(alRight);
    Grid = Make<TspSkinStringGrid>(panel, 0, 0, 100, 100);
    Grid->SetFixedCols(0);
    Grid->SetRowCount(100);
    Grid->SetVScrollBar(VBar);
    Grid->SetAlign(alClient);
    Application->ProcessMessages();
    ASSERT_TRUE(VBar->Visible());
    const int shared = Grid->Width();  // the panel's room less the bar's
    EXPECT_EQ(VBar->Left(), Grid->Left() + shared);
    Grid->SetRowCount(3);  // every row fits now
    Application->ProcessMessages();
    EXPECT_FALSE(VBar->Visible());
    EXPECT_EQ(VBar->Max(), 0);
    EXPECT_EQ(Grid->Width(), shared + VBar->Width());
    Grid->SetRowCount(100);  // and the bar takes its room back
    Application->ProcessMessages();
    EXPECT_TRUE(VBar->Visible());
    EXPECT_EQ(Grid->Width(), shared);
}

TEST_F(GridScroll, SingleColumnScrollsByPixels)
{
    Build(5, 1);
    Grid->SetColCount(1);
    Grid->SetColWidths(0, 600);
    Application->ProcessMessages();
    EXPECT_TRUE(HBar->Visible());
    EXPECT_EQ(HBar->Max(), 270);
    Thumb(WM_HSCROLL, 100);
    EXPECT_EQ(HBar->Position(), 100);
    Thumb(WM_HSCROLL, 1000);
    EXPECT_EQ(HBar->Position(), 270);
}

}  // namespace
