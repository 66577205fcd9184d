// The grid's model: defaults, extent arrays, counts and fixed counts, the
// point-to-cell and cell-to-pixel geometry, moving lines, and the sizes
// stored in descriptions.
#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/user/ScrollInfo.h"

#include "GridTestSupport.h"

#include <gtest/gtest.h>

namespace {

using gridtest::TGridTest;

class GridCore : public TGridTest {};

TEST_F(GridCore, FreshGridDefaults)
{
    TspSkinStringGrid g(nullptr);
    EXPECT_EQ(g.ColCount(), 5);
    EXPECT_EQ(g.RowCount(), 5);
    EXPECT_EQ(g.FixedCols(), 1);
    EXPECT_EQ(g.FixedRows(), 1);
    EXPECT_EQ(g.Col(), 1);
    EXPECT_EQ(g.Row(), 1);
    EXPECT_EQ(g.LeftCol(), 1);
    EXPECT_EQ(g.TopRow(), 1);
    EXPECT_EQ(g.Selection(), (TGridRect{1, 1, 1, 1}));
    EXPECT_EQ(g.ColWidths(3), 64);
    EXPECT_EQ(g.RowHeights(4), 24);
    EXPECT_EQ(g.Width(), 320);
    EXPECT_EQ(g.Height(), 120);
    EXPECT_EQ(g.Options(), kDefaultGridOptions);
    EXPECT_EQ(g.SkinDataName(), "grid");
    EXPECT_TRUE(g.TabStop());
    EXPECT_EQ(g.BorderStyle(), bsSingle);
}

TEST_F(GridCore, ExtentArraysAreMadeOnFirstWrite)
{
    TspSkinStringGrid g(nullptr);
    g.SetColCount(7);
    g.SetColWidths(2, 100);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(g.ColWidths(i), i == 2 ? 100 : 64) << i;
    g.SetDefaultColWidth(80);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(g.ColWidths(i), 80) << i;
    EXPECT_THROW(g.SetColWidths(7, 10), EInvalidGridOperation);
    EXPECT_THROW(g.SetRowHeights(-1, 10), EInvalidGridOperation);
}

TEST_F(GridCore, CountsAndFixedCounts)
{
    TspSkinStringGrid g(nullptr);
    g.SetRowCount(0);
    EXPECT_EQ(g.RowCount(), 1);
    EXPECT_EQ(g.FixedRows(), 0);
    EXPECT_EQ(g.Row(), 0);
    g.SetRowCount(5);
    g.SetFixedRows(1);
    try {
        g.SetFixedRows(5);
        FAIL();
    } catch (const EInvalidGridOperation& e) {
        EXPECT_EQ(std::string(e.Message()), "Fixed row count must be less than row count");
    }
    EXPECT_EQ(g.FixedRows(), 1);
    try {
        g.SetFixedCols(5);
        FAIL();
    } catch (const EInvalidGridOperation& e) {
        EXPECT_EQ(std::string(e.Message()), "Fixed column count must be less than column count");
    }
    EXPECT_THROW(g.SetFixedCols(-1), EInvalidGridOperation);
    g.SetColCount(-3);
    EXPECT_EQ(g.ColCount(), 1);
    EXPECT_EQ(g.FixedCols(), 0);
}

TEST_F(GridCore, LoweringRowCountMovesTheCurrentRowAndAsksSelection)
{
    auto* g = MakeGrid();
    gridtest::TEventLog log;
    g->OnSelectCell = MakeEvent(&log, &gridtest::TEventLog::SelectCell);
    g->SetRow(4);
    log.Lines.clear();
    g->SetRowCount(3);
    EXPECT_EQ(g->Row(), 2);
    EXPECT_EQ(log.Lines, (std::vector<std::string>{"SelectCell 1 2"}));
}

TEST_F(GridCore, MouseCoordAndCellRect)
{
    auto* g = MakeGrid(330, 130);
    struct TCase {
        int x, y, col, row;
    } cases[] = {
        {0, 0, 0, 0},      {63, 23, 0, 0},    {64, 24, 0, 0},  // the line belongs to the cell before it
        {65, 25, 1, 1},    {324, 124, 4, 4},  {326, 10, -1, -1}, {10, 127, -1, -1},
        {-5, 10, 0, 0},  // a negative X with a fixed column: column 0
    };
    for (const TCase& c : cases) {
        const TGridCoord m = g->MouseCoord(c.x, c.y);
        EXPECT_EQ(m.X, c.col) << c.x << "," << c.y;
        EXPECT_EQ(m.Y, c.row) << c.x << "," << c.y;
    }
    g->SetFixedCols(0);
    EXPECT_EQ(g->MouseCoord(-5, 10).X, -1);
    g->SetFixedCols(1);
    EXPECT_EQ(g->CellRect(1, 1), TRect(65, 25, 129, 49));
    g->SetRowCount(20);
    g->SetTopRow(5);
    EXPECT_EQ(g->CellRect(1, 2), TRect(0, 0, 0, 0));     // scrolled away
    EXPECT_EQ(g->CellRect(0, 0), TRect(0, 0, 64, 24));   // fixed: where it always is
    EXPECT_EQ(g->CellRect(1, 5), TRect(65, 25, 129, 49));
    EXPECT_EQ(g->CellRect(1, 9), TRect(65, 125, 129, 130));  // partly shown: clipped
    EXPECT_EQ(g->CellRect(1, 10), TRect(0, 0, 0, 0));    // beyond the last partly shown row
    g->SetTopRow(50);  // beyond the last possible top row: accepted as given
    EXPECT_EQ(g->TopRow(), 50);
}

// Inserting and deleting keeps every line's own size with it.
TEST(GridExtents, InsertAndDeleteShiftTheStoredSizes)
{
    struct TCase {
        int index, amount;
        TGridExtents want;
    } cases[] = {
        {0, 2, {9, 9, 10, 20, 30, 40}},
        {2, 1, {10, 20, 9, 30, 40}},
        {4, 1, {10, 20, 30, 40, 9}},
        {0, -1, {20, 30, 40}},
        {1, -2, {10, 40}},
        {3, -1, {10, 20, 30}},
        {0, -4, {}},
    };
    for (const TCase& c : cases) {
        TGridExtents a{10, 20, 30, 40};
        ResizeExtents(a, c.index, c.amount, 9);
        EXPECT_EQ(a, c.want) << c.index << " " << c.amount;
    }
    TGridExtents a{10, 20};
    EXPECT_THROW(ResizeExtents(a, 3, 1, 9), EInvalidGridOperation);
    EXPECT_THROW(ResizeExtents(a, 0, -3, 9), EInvalidGridOperation);
    try {
        ResizeExtents(a, 2, kMaxGridExtents - 1, 9);
        FAIL();
    } catch (const EInvalidGridOperation& e) {
        EXPECT_EQ(std::string(e.Message()), "Grid too large for operation");
    }
    EXPECT_EQ(a.size(), 2u);
    MoveExtentEntry(a, 1, 2);
    EXPECT_EQ(a, (TGridExtents{20, 10}));
}

TEST_F(GridCore, AdjustLineCountKeepsIndividualWidths)
{
    TspSkinStringGrid g(nullptr);
    for (int i = 0; i < 5; ++i)
        g.SetColWidths(i, 10 + i);
    g.AdjustLineCount(2, 1, false);
    EXPECT_EQ(g.ColCount(), 6);
    EXPECT_EQ(g.ColWidths(2), 64);
    EXPECT_EQ(g.ColWidths(3), 12);
    g.AdjustLineCount(0, -2, false);
    EXPECT_EQ(g.ColCount(), 4);
    EXPECT_EQ(g.ColWidths(0), 64);
    EXPECT_EQ(g.ColWidths(1), 12);
}

TEST_F(GridCore, MoveAndRemoveLines)
{
    auto* g = MakeGrid();
    for (int r = 0; r < 5; ++r)
        g->SetCellText(1, r, "r" + std::to_string(r));
    g->SetRowHeights(1, 30);
    g->MoveRowTo(1, 3);
    EXPECT_EQ(g->CellText(1, 3), "r1");
    EXPECT_EQ(g->CellText(1, 1), "r2");
    EXPECT_EQ(g->RowHeights(3), 30);
    EXPECT_EQ(g->Row(), 3);  // the current row moved with its line
    g->RemoveRow(2);
    EXPECT_EQ(g->RowCount(), 4);
    EXPECT_EQ(g->CellText(1, 2), "r1");
}

TEST_F(GridCore, ColWidthsAreStoredAndReadBack)
{
    auto* g = new TspSkinStringGrid(nullptr);
    ReadComponentText(g, "object Grid1: TspSkinStringGrid\n  ColCount = 7\n"
                         "  ColWidths = (22 137 109 93 64 71 100)\nend\n");
    const int want[] = {22, 137, 109, 93, 64, 71, 100};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(g->ColWidths(i), want[i]);
    const std::string text = WriteComponentText(g);
    EXPECT_NE(text.find("ColWidths = (22 137 109 93 64 71 100)"), std::string::npos) << text;
    EXPECT_EQ(text.find("RowHeights"), std::string::npos);
    delete g;

    // More entries than columns: a read error that names the property.
    auto* h = new TspSkinStringGrid(nullptr);
    try {
        ReadComponentText(h, "object Grid1: TspSkinStringGrid\n  ColCount = 2\n  ColWidths = (1 2 3)\nend\n");
        FAIL();
    } catch (const EReadError& e) {
        EXPECT_NE(std::string(e.Message()).find("ColWidths"), std::string::npos) << e.Message();
    }
    delete h;
    // Fewer: the rest keeps the default.
    auto* k = new TspSkinStringGrid(nullptr);
    ReadComponentText(k, "object Grid1: TspSkinStringGrid\n  ColWidths = (30 40)\nend\n");
    EXPECT_EQ(k->ColWidths(1), 40);
    EXPECT_EQ(k->ColWidths(2), 64);
    delete k;
}

}  // namespace

namespace {

// A grid whose size change fails, and whose mouse-down step can be called.
class TFailingGrid : public TspSkinStringGrid {
public:
    using TspSkinStringGrid::TspSkinStringGrid;
    using TspSkinStringGrid::MouseDown;
    bool Fail = false;

protected:
    void AfterSizeChanged(int, int) override
    {
        if (Fail)
            throw EInvalidGridOperation("refused");
    }
};

TEST_F(GridCore, FailedCountChangeRestoresTheOldCounts)
{
    auto* g = Make<TFailingGrid>(Form, 10, 10, 330, 130);
    Application->ProcessMessages();
    g->Fail = true;
    EXPECT_THROW(g->SetRowCount(40), EInvalidGridOperation);
    EXPECT_EQ(g->RowCount(), 5);
    EXPECT_THROW(g->SetColCount(2), EInvalidGridOperation);
    EXPECT_EQ(g->ColCount(), 5);
}

// An error from OnMouseDown reaches the caller once the move marker is gone.
TEST_F(GridCore, MouseDownErrorPropagatesAfterTheMarkerIsErased)
{
    auto* g = Make<TFailingGrid>(Form, 10, 10, 330, 130);
    TGridOptions o = g->Options();
    o.Include(goRowMoving);
    g->SetOptions(o);
    Application->ProcessMessages();
    struct TThrower : TObject {
        void Down(TObject*, TMouseButton, TShiftState, int, int) { throw EInvalidOperation("from the handler"); }
    } thrower;
    g->OnMouseDown = MakeEvent(&thrower, &TThrower::Down);
    EXPECT_THROW(g->MouseDown(mbLeft, TShiftState{}, 30, 37), EInvalidOperation);
    EXPECT_EQ(g->GridState(), gsNormal);
}

TEST_F(GridCore, ZeroSizeLinesPaintAndScroll)
{
    auto* g = MakeGrid();
    g->SetColCount(2000);
    for (int c = 1; c < 2000; c += 2)
        g->SetColWidths(c, 0);
    g->SetRowCount(50);
    for (int r = 2; r < 50; r += 3)
        g->SetRowHeights(r, 0);
    g->Repaint();
    Application->ProcessMessages();
    g->SetLeftCol(101);
    g->Repaint();
    Application->ProcessMessages();
    // Scrolling down by keys skips the zero-height rows.
    g->SetFocus();
    for (int i = 0; i < 10; ++i)
        SendMessage(g->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_GT(g->RowHeights(g->TopRow()), 0);
}

TEST_F(GridCore, SizingASecondFixedColumnStartsAfterTheFirst)
{
    auto* g = MakeGrid();
    g->SetFixedCols(2);
    g->SetFixedColSizing(true);
    TGridOptions o = g->Options();
    o.Include(goColSizing);
    g->SetOptions(o);
    MoveTo(g, 128, 10);  // column 1 ends at 129
    Clock.Advance(1000);
    HeadlessMouseDown();
    Application->ProcessMessages();
    ASSERT_EQ(g->GridState(), gsColSizing);
    MoveTo(g, 150, 10);
    HeadlessMouseUp();
    Application->ProcessMessages();
    EXPECT_EQ(g->ColWidths(1), 151 - 65);
    EXPECT_EQ(g->ColWidths(0), 64);
}

TEST_F(GridCore, BarPositionsOutsideTheScaleAreClipped)
{
    auto* g = MakeGrid();
    g->SetRowCount(100);
    SendMessage(g->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, static_cast<WORD>(-5)), 0);
    EXPECT_EQ(g->TopRow(), 1);
    SendMessage(g->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 500), 0);
    EXPECT_EQ(g->TopRow(), 96);
}

}  // namespace
