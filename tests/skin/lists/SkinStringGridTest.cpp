// The string grid's sparse cell store, its row and column views, batched
// repainting and the default text drawing with its colour hook.
#include "platform/gdi/SysColors.h"
#include "platform/user/Painting.h"
#include "platform/user/controls/CommCtrl.h"

#include "GridTestSupport.h"

#include <gtest/gtest.h>

namespace {

class StringGrid : public gridtest::TGridTest {};

TEST_F(StringGrid, CellsAreStoredSparsely)
{
    TspSkinStringGrid g(nullptr);
    EXPECT_EQ(g.RowListCount(), 0);
    EXPECT_EQ(g.CellText(3, 1000), "");
    EXPECT_EQ(g.RowListCount(), 0);  // reading makes nothing
    g.SetCellText(3, 1000, "a");
    EXPECT_EQ(g.RowListCount(), 1);
    TspSkinStringGridStrings* row = g.RowView(1000);
    EXPECT_EQ(row->Count(), g.ColCount());
    EXPECT_EQ(row->Strings(3), "a");
    EXPECT_EQ(g.ColumnView(3)->Count(), g.RowCount());
    // Beyond the counts the text stays and comes back with them.
    g.SetRowCount(2);
    g.SetRowCount(2000);
    EXPECT_EQ(g.CellText(3, 1000), "a");
    const std::string big(1 << 20, 'q');
    g.SetCellText(1, 1, big);
    EXPECT_EQ(g.CellText(1, 1), big);
    try {
        g.CellText(-1, 0);
        FAIL();
    } catch (const EListError& e) {
        EXPECT_EQ(std::string(e.Message()), "ListIndexError");
    }
    EXPECT_THROW(g.SetCellText(-2, 0, "x"), EListError);
    EXPECT_THROW(g.CellText(0, -1), EListError);
}

TEST_F(StringGrid, Views)
{
    TspSkinStringGrid g(nullptr);
    TspSkinStringGridStrings* row = g.RowView(1);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(row->Add("v" + std::to_string(i)), i);
    EXPECT_EQ(row->Add(""), 4);
    EXPECT_EQ(g.CellText(4, 1), " ");
    EXPECT_EQ(row->Add("more"), -1);  // every cell filled
    try {
        row->Insert(0, "x");
        FAIL();
    } catch (const EInvalidGridOperation& e) {
        EXPECT_EQ(std::string(e.Message()), "Cannot insert or delete rows from grid");
    }
    EXPECT_THROW(row->Delete(0), EInvalidGridOperation);
    // A view stays inside the grid.
    EXPECT_THROW(row->Strings(5), EListError);
    EXPECT_THROW(row->SetStrings(-1, "x"), EListError);
    TStringList src;
    src.Add("a");
    src.Add("b");
    g.ColumnView(2)->Assign(&src);
    EXPECT_EQ(g.CellText(2, 0), "a");
    EXPECT_EQ(g.CellText(2, 1), "b");
    row->Clear();
    EXPECT_EQ(g.CellText(0, 1), "");
    EXPECT_EQ(g.CellText(2, 1), "");
}

TEST_F(StringGrid, BatchUpdateRepaintsOnce)
{
    auto* g = MakeGrid();
    Form->Repaint();
    Application->ProcessMessages();
    RECT r{};
    TspSkinStringGridStrings* col = g->ColumnView(2);
    col->BeginUpdate();
    for (int i = 0; i < 5; ++i)
        g->SetCellText(2, i, "x");
    EXPECT_FALSE(GetUpdateRect(g->Handle(), &r, FALSE_));  // nothing yet
    col->EndUpdate();
    ASSERT_TRUE(GetUpdateRect(g->Handle(), &r, FALSE_));
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right, g->ClientWidth());  // the whole grid, once
    Application->ProcessMessages();
}

TEST_F(StringGrid, EditorReloadsOnlyForOutsideWrites)
{
    auto* g = MakeGrid();
    TGridOptions o = g->Options();
    o.Include(goEditing);
    g->SetOptions(o);
    Focus(g);
    g->SetEditorMode(true);
    ASSERT_NE(g->InplaceEditor(), nullptr);
    g->SetCellText(1, 1, "outside");
    EXPECT_EQ(g->InplaceEditor()->Text(), "outside");
    // Typing stores through the editor, which does not reload.
    SendMessage(g->InplaceEditor()->Handle(), EM_SETSEL, 7, 7);
    HeadlessTypeText("z");
    Application->ProcessMessages();
    EXPECT_EQ(g->CellText(1, 1), "outsidez");
    EXPECT_EQ(g->InplaceEditor()->Text(), "outsidez");
    EXPECT_EQ(g->InplaceEditor()->SelStart(), 8);
}

TEST_F(StringGrid, DefaultTextAndCellParam)
{
    auto* g = MakeGrid(400, 150);
    struct TParam : TObject {
        int Calls = 0;
        void Get(TObject*, int c, int r, TGridDrawState, TColor& bg, bool& fill, TColor& font)
        {
            ++Calls;
            if (c == 2 && r == 2) {
                bg = clYellow;
                fill = true;
                font = clRed;
            }
        }
    } p;
    g->OnGetCellParam = MakeEvent(&p, &TParam::Get);
    g->SetCellText(2, 2, "WWWW");
    g->Invalidate();
    EXPECT_EQ(ScreenAt(g, 190, 52), static_cast<TColor>(ColorToRGB(clYellow)));
    EXPECT_GT(p.Calls, 0);
    // Some text pixel is red.
    bool red = false;
    for (int x = 132; x < 170 && !red; ++x)
        for (int y = 52; y < 72 && !red; ++y)
            red = ScreenAt(g, x, y) == static_cast<TColor>(ColorToRGB(clRed));
    EXPECT_TRUE(red);
    // DefaultDrawing off: no hook, no text.
    p.Calls = 0;
    g->SetDefaultDrawing(false);
    g->Invalidate();
    ScreenAt(g, 0, 0);
    EXPECT_EQ(p.Calls, 0);
}

}  // namespace
