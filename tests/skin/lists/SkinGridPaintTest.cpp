// The grid's pixels: the default look, the skin look from "skin-new", the
// switches that change what is drawn, and the repaint of a selection move.
#include "platform/gdi/GdiObject.h"
#include "platform/gdi/Regions.h"
#include "platform/gdi/SysColors.h"
#include "platform/user/Painting.h"
#include "skin/core/SkinData.h"

#include "GridTestSupport.h"

#include <gtest/gtest.h>

namespace {

class GridPaint : public gridtest::TGridTest {
protected:
    COLORREF At(TControl* c, int x, int y)
    {
        c->Invalidate();
        return static_cast<COLORREF>(ScreenAt(c, x, y));
    }
    static COLORREF Rgb(TColor c) { return ColorToRGB(c); }
};

TEST_F(GridPaint, DefaultLook)
{
    auto* g = MakeGrid(400, 150);
    EXPECT_EQ(At(g, 30, 12), Rgb(clBtnFace));        // fixed cell
    EXPECT_EQ(At(g, 0, 0), Rgb(clBtnHighlight));     // its raised frame
    EXPECT_EQ(At(g, 63, 23), Rgb(clBtnShadow));
    EXPECT_EQ(At(g, 64, 12), Rgb(static_cast<TColor>(0xFF000008)));  // grid line
    EXPECT_EQ(At(g, 100, 37), Rgb(clHighlight));     // the selection, grid not focused
    EXPECT_EQ(At(g, 100, 60), Rgb(clWindow));        // an ordinary cell
    EXPECT_EQ(At(g, 380, 60), Rgb(clWindow));        // beyond the last column
    g->SetGridLineColor(clRed);
    EXPECT_EQ(At(g, 64, 60), Rgb(clRed));
    g->SetColor(static_cast<TColor>(0xC0C0C0));      // silver gives grey lines
    EXPECT_EQ(At(g, 64, 60), 0x808080u);
}

TEST_F(GridPaint, SwitchedOffLinesAreDrawnInTheBackgroundAndWidthZeroDrawsNone)
{
    auto* g = MakeGrid();
    TGridOptions o = g->Options();
    o.Exclude(goVertLine);
    g->SetOptions(o);
    EXPECT_EQ(At(g, 129, 60), Rgb(clWindow));  // data line in the cells' colour
    EXPECT_EQ(At(g, 64, 60), Rgb(static_cast<TColor>(0xFF000008)));  // fixed column line stays
    g->SetGridLineWidth(0);
    EXPECT_EQ(g->CellRect(1, 1), TRect(64, 24, 128, 48));  // cells touch
    g->SetGridLineWidth(100);
    EXPECT_EQ(g->CellRect(1, 1).left, 164);
    Form->Repaint();
    Application->ProcessMessages();
}

TEST_F(GridPaint, DefaultDrawingOffLeavesCellsToTheOwner)
{
    auto* g = MakeGrid(400, 150);
    g->SetDefaultDrawing(false);
    struct TPainter : TObject {
        int Cells = 0;
        TGridDrawState Fixed00, Sel11;
        void Draw(TObject* s, int c, int r, TRect rect, TGridDrawState st)
        {
            ++Cells;
            if (c == 0 && r == 0)
                Fixed00 = st;
            if (c == 1 && r == 1)
                Sel11 = st;
            auto* grid = static_cast<TspSkinStringGrid*>(s);
            grid->Canvas()->Brush()->SetColor(clLime);
            grid->Canvas()->FillRect(rect);
        }
    } p;
    g->OnDrawCell = MakeEvent(&p, &TPainter::Draw);
    g->SetCellText(2, 2, "hidden");
    EXPECT_EQ(At(g, 100, 60), Rgb(clLime));
    EXPECT_EQ(At(g, 380, 60), Rgb(clWindow));  // beyond the grid: Color
    EXPECT_GE(p.Cells, 25);
    EXPECT_TRUE(p.Fixed00.Contains(gdFixed));
    EXPECT_TRUE(p.Sel11.Contains(gdSelected));
}

TEST_F(GridPaint, SkinLook)
{
    TspSkinData skin(Owner);
    ASSERT_TRUE(skin.LoadFromFile(gridtest::SkinNewIni())) << skin.LastError();
    auto* g = MakeGrid(400, 150);
    g->SetSkinData(&skin);
    Application->ProcessMessages();
    ASSERT_TRUE(g->SkinLook());
    EXPECT_EQ(g->DefaultRowHeight(), g->SelectCellRect.bottom - g->SelectCellRect.top);  // from the skin
    EXPECT_EQ(At(g, 380, 60), Rgb(g->BGColor));  // beyond the grid
    EXPECT_EQ(At(g, 100, 60), Rgb(g->BGColor));  // an ordinary cell
    // Fixed and selected cells come from the piece's picture.
    TBitmap* pic = g->Picture;
    ASSERT_NE(pic, nullptr);
    const TRect f = g->FixedCellRect;
    EXPECT_EQ(At(g, 2, 10), Rgb(pic->Canvas()->Pixels(f.left + 2, f.top + 10)));
    const TRect s = g->SelectCellRect;
    const TRect cell = g->CellRect(1, 1);
    EXPECT_EQ(At(g, cell.left + 20, cell.top + 10), Rgb(pic->Canvas()->Pixels(s.left + 20, s.top + 10)));
    // The text area: the piece's text rectangle grown with the cell.
    const TRect t = g->GetNewTextRect(cell, TGridDrawState{});
    EXPECT_EQ(t.left, cell.left + g->CellTextRect.left);
    EXPECT_EQ(t.right - t.left,
              (g->CellTextRect.right - g->CellTextRect.left) + (cell.right - cell.left) - (s.right - s.left));
    // No skin: the default look again, and the row height stays.
    g->SetSkinData(nullptr);
    g->ChangeSkinData();
    EXPECT_FALSE(g->SkinLook());
    EXPECT_EQ(At(g, 30, 12), Rgb(clBtnFace));
}

TEST_F(GridPaint, WallpaperTurnsTransparentOn)
{
    auto* g = MakeGrid();
    auto pic = controlstest::Solid(16, 16, clYellow);
    g->SetDefaultDrawing(false);
    g->SetWallpaper(pic.get());
    EXPECT_TRUE(g->Transparent());
    EXPECT_EQ(At(g, 100, 60), Rgb(clYellow));
    g->SetWallpaperStretch(true);
    EXPECT_EQ(At(g, 200, 100), Rgb(clYellow));
}

// Moving one row down with row select repaints the two changed rows only.
TEST_F(GridPaint, RowSelectMoveInvalidatesOnlyTheDifference)
{
    auto* g = MakeGrid(400, 150);
    TGridOptions o = g->Options();
    o.Include(goRowSelect);
    g->SetOptions(o);
    Form->Repaint();
    Application->ProcessMessages();
    RECT before{};
    EXPECT_FALSE(GetUpdateRect(g->Handle(), &before, FALSE_));
    g->SetRow(2);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    GetUpdateRgn(g->Handle(), rgn, FALSE_);
    RECT box{};
    GetRgnBox(rgn, &box);
    DeleteObject(rgn);
    EXPECT_EQ(box.top, 25);
    EXPECT_EQ(box.bottom, 75);
    EXPECT_EQ(box.left, 65);
    Application->ProcessMessages();
}

// Down on the last shown row scrolls one row: only the rows it changes are
// invalidated (the plain strip beside the grid is not), and the result is
// what a full repaint draws, without a skin and with "skin-new".
TEST_F(GridPaint, OneRowScrollRepaintsTheChangedRowsOnlyAndMatchesAFullRepaint)
{
    TspSkinData skin(nullptr);
    ASSERT_TRUE(skin.LoadFromFile(gridtest::SkinNewIni())) << skin.LastError();
    for (bool skinned : {false, true}) {
        SCOPED_TRACE(skinned ? "skin-new" : "no skin");
        auto* g = MakeGrid(300, 150);
        g->SetColCount(3);
        g->SetRowCount(40);
        TGridOptions o = g->Options();
        o.Include(goRowSelect);
        g->SetOptions(o);
        for (int r = 0; r < 40; ++r)
            for (int c = 0; c < 3; ++c)
                g->SetCellText(c, r, std::to_string(c) + ":" + std::to_string(r));
        g->SetSkinData(skinned ? &skin : nullptr);
        Focus(g);
        ASSERT_LT(g->GridWidth(), g->ClientWidth());  // a strip beside the grid
        g->SetRow(g->TopRow() + g->VisibleRowCount() - 1);
        Form->Repaint();
        Application->ProcessMessages();
        const int top = g->TopRow();
        SendMessage(g->Handle(), WM_KEYDOWN, VK_DOWN, 0);
        EXPECT_EQ(g->TopRow(), top + 1);
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        GetUpdateRgn(g->Handle(), rgn, FALSE_);
        RECT box{};
        GetRgnBox(rgn, &box);
        DeleteObject(rgn);
        // The two lowest rows change (old and new selection); those above moved.
        EXPECT_GE(box.top, g->CellRect(0, g->Row() - 1).top);
        Application->ProcessMessages();
        auto pixels = [&] {
            std::vector<COLORREF> out;
            for (int y = 0; y < g->ClientHeight(); ++y)
                for (int x = 0; x < g->ClientWidth(); ++x) {
                    const TPoint p = g->ClientToScreen(TPoint(x, y));
                    out.push_back(static_cast<COLORREF>(HeadlessBackend().Pixel(p.x, p.y)));
                }
            return out;
        };
        const std::vector<COLORREF> scrolled = pixels();
        g->Invalidate();
        Application->ProcessMessages();
        EXPECT_TRUE(scrolled == pixels());
        g->SetSkinData(nullptr);
        g->Free();
        Application->ProcessMessages();
    }
}

}  // namespace
