// The skinned tree and list views: their bars in step with the native views
// (visibility, page, steps, corner mode, re-aligning, thumb positions above
// 16 bits), the node and item drawing from the skin, the subclassed header,
// and the fading tree lines.
#include "platform/gdi/GdiObject.h"
#include "platform/user/Painting.h"
#include "platform/user/ScrollInfo.h"
#include "platform/user/controls/CommCtrl.h"
#include "skin/controls/SkinListView.h"
#include "skin/controls/SkinTreeView.h"
#include "skin/core/SkinControlPieces.h"
#include "skin/core/SkinMessages.h"
#include "ValueControlsTestCommon.h"

using namespace valuetest;

namespace {

class ViewsTest : public ValueControlsTest {
protected:
    // A report view of the given size with columns and N items, bars beside it.
    TspSkinListView* Report(int n, int w = 300, int h = 0)
    {
        auto* v = Make<TspSkinListView>(10, 10, w, h ? h : 100);
        v->SetViewStyle(vsReport);
        for (int i = 0; i < 3; ++i) {
            TListColumn* c = v->Columns()->Add();
            c->SetCaption("Col " + std::to_string(i));
            c->SetWidth(100);
        }
        for (int i = 0; i < n; ++i) {
            TListItem* it = v->Items()->Add();
            it->SetCaption("Item " + std::to_string(i));
            it->SubItems()->Add("a" + std::to_string(i));
            it->SubItems()->Add("b" + std::to_string(i));
        }
        VBar = Make<TspSkinScrollBar>(320, 10, 19, 200);
        VBar->SetKind(sbVertical);
        HBar = Make<TspSkinScrollBar>(10, 220, 300, 19);
        v->SetVScrollBar(VBar);
        v->SetHScrollBar(HBar);
        HeadlessProcessMessages();
        return v;
    }
    // A report view whose client shows exactly Rows rows under its header.
    static void FitRows(TspSkinListView* v, int rows)
    {
        RECT r{};
        r.left = LVIR_BOUNDS;
        SendMessage(v->Handle(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
        const int itemH = r.bottom - r.top;
        v->SetHeight(r.top + rows * itemH + itemH / 2);
        HeadlessProcessMessages();
        ASSERT_EQ(SendMessage(v->Handle(), LVM_GETCOUNTPERPAGE, 0, 0), rows);
    }
    TspSkinScrollBar* VBar = nullptr;
    TspSkinScrollBar* HBar = nullptr;
};

TEST_F(ViewsTest, ReportBarsFollowTheRows)
{
    auto* v = Report(25);
    FitRows(v, 10);
    v->UpDateScrollBars();
    EXPECT_TRUE(VBar->Visible());
    EXPECT_EQ(VBar->PageSize(), 10);
    EXPECT_EQ(VBar->LargeChange(), 10);
    EXPECT_EQ(VBar->SmallChange(), 1);
    EXPECT_TRUE(HBar->Both()) << "the horizontal bar takes its corner look beside the vertical one";

    while (v->Items()->Count() > 8)
        v->Items()->Delete(v->Items()->Count() - 1);
    v->UpDateScrollBars();
    EXPECT_FALSE(VBar->Visible());
    EXPECT_FALSE(HBar->Both());
}

TEST_F(ViewsTest, AnAlignedViewMakesRoomForItsBar)
{
    auto* panel = Make<TPanel>(0, 0, 300, 200);
    auto* v = Make<TspSkinListView>(0, 0, 100, 100, panel);
    v->SetViewStyle(vsReport);
    v->Columns()->Add()->SetWidth(100);
    auto* bar = Make<TspSkinScrollBar>(0, 0, 19, 100, panel);
    bar->SetKind(sbVertical);
    bar->SetAlign(alRight);
    v->SetAlign(alClient);
    v->SetVScrollBar(bar);
    HeadlessProcessMessages();
    const int wide = v->Width();
    for (int i = 0; i < 40; ++i)
        v->Items()->Add()->SetCaption("Row");
    v->UpDateScrollBars();
    EXPECT_TRUE(bar->Visible());
    EXPECT_EQ(v->Width(), wide - 19);
    v->Items()->Clear();
    v->UpDateScrollBars();
    EXPECT_FALSE(bar->Visible());
    EXPECT_EQ(v->Width(), wide);
}

TEST_F(ViewsTest, ABarStepScrollsWholeRows)
{
    auto* v = Report(25);
    FitRows(v, 10);
    v->UpDateScrollBars();
    VBar->SetPosition(3);
    EXPECT_EQ(v->TopItem()->Index(), 3);
    EXPECT_EQ(v->FOldVScrollBarPos, 3);
    VBar->SetPosition(1);
    EXPECT_EQ(v->TopItem()->Index(), 1);
}

TEST_F(ViewsTest, AViewWithoutBarsNeverFails)
{
    auto* v = Make<TspSkinListView>(10, 10, 200, 100);
    v->SetViewStyle(vsReport);
    v->Columns()->Add();
    for (int i = 0; i < 50; ++i)
        v->Items()->Add()->SetCaption("x");
    for (TViewStyle s : {vsIcon, vsSmallIcon, vsList, vsReport}) {
        v->SetViewStyle(s);
        v->UpDateScrollBars();
        v->Repaint();
    }
    auto* t = Make<TspSkinCustomTreeView>(10, 120, 200, 100);
    t->Items()->Add(nullptr, "a");
    t->UpDateScrollBars();
    SUCCEED();
}

TEST_F(ViewsTest, SelectedRowsOnTheListBoxPieceByFocus)
{
    LoadSkinNew();
    auto* v = Report(5);
    v->SetRowSelect(true);
    v->SetHideSelection(false);
    v->SetSkinData(Skin.get());
    v->SetDrawSkin(true);
    v->Items()->Item(1)->SetSelected(true);
    auto* piece = dynamic_cast<TspDataSkinListBox*>(Skin->CtrlList[Skin->GetControlIndex("listbox")].get());
    ASSERT_TRUE(piece);
    TBitmap* pic = SkinPictureAt(Skin.get(), piece->PictureIndex);
    ASSERT_TRUE(pic);
    const TRect r = v->Items()->Item(1)->DisplayRect(drBounds);
    const int y = (r.top + r.bottom) / 2;
    auto pieceColour = [&](const TRect& src) {
        return ColorToRGB(pic->Canvas()->Pixels(src.left + 1, (src.top + src.bottom) / 2));
    };
    HeadlessProcessMessages();
    v->SetFocus();
    v->Repaint();
    HeadlessProcessMessages();
    EXPECT_EQ(PixelOf(v, r.left + 1, y), pieceColour(piece->FocusItemRect));
    auto* other = Make<TspSkinListView>(10, 250, 50, 20);
    HeadlessProcessMessages();
    other->SetFocus();
    v->Repaint();
    HeadlessProcessMessages();
    EXPECT_EQ(PixelOf(v, r.left + 1, y), pieceColour(piece->ActiveItemRect));
}

TEST_F(ViewsTest, WithoutTheItemPieceItemsKeepTheNativeLook)
{
    LoadSkinNew();
    auto* v = Report(5);
    v->SetSkinData(Skin.get());
    v->Items()->Item(0)->SetSelected(true);
    v->Repaint();
    HeadlessProcessMessages();
    const COLORREF native = PixelOf(v, 20, 30);
    v->SetItemSkinDataName("hscrollbar");  // a piece of another kind
    v->SetDrawSkin(true);
    v->Repaint();
    HeadlessProcessMessages();
    EXPECT_EQ(PixelOf(v, 20, 30), native);
}

TEST_F(ViewsTest, HeaderRestRunsTheLeftPartOfThePiece)
{
    LoadSkinNew();
    auto* v = Report(3, 400);
    v->SetSkinData(Skin.get());
    v->Repaint();
    HeadlessProcessMessages();
    ASSERT_TRUE(v->FHeaderHandle);
    RECT hr{};
    GetWindowRect(v->FHeaderHandle, &hr);
    const int y = (hr.bottom - hr.top) / 2;
    // The left edge of the piece shows both at the first section and where
    // the last section ends.
    EXPECT_EQ(PixelOf(v, 300, y), PixelOf(v, 0, y));
    EXPECT_EQ(PixelOf(v, 301, y), PixelOf(v, 1, y));
    EXPECT_EQ(PixelOf(v, 350, y), PixelOf(v, 50, y)) << "the middle runs on to the right";
}

TEST_F(ViewsTest, DividerDragRedrawsTheHeaderAndItsDCStaysTheSenders)
{
    auto* v = Report(3);
    ASSERT_TRUE(v->FHeaderHandle);
    HWND h = v->FHeaderHandle;
    RECT hr{};
    GetWindowRect(h, &hr);
    const TPoint origin = v->ScreenToClient(TPoint(hr.left, hr.top));
    Press(v, origin.x + 100, origin.y + 5);
    EXPECT_TRUE(v->FDevDown);
    ValidateRect(h, nullptr);
    const TPoint p = v->ClientToScreen(TPoint(origin.x + 110, origin.y + 5));
    HeadlessMouseMove(p.x, p.y);
    SendMessage(h, WM_MOUSEMOVE, 0, MAKELPARAM(110, 5));
    RECT upd{};
    EXPECT_TRUE(GetUpdateRect(h, &upd, FALSE_));
    Release();
    EXPECT_FALSE(v->FDevDown);

    // A DC handed in stays usable after the header painted into it.
    TBitmap B;
    B.SetSize(300, 30);
    HDC dc = B.Canvas()->Handle();
    SendMessage(v->Handle(), WM_SKINPAINTHEADER, reinterpret_cast<WPARAM>(dc), 0);
    EXPECT_NE(GetObjectType(dc), 0u);
    SendMessage(h, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    EXPECT_NE(GetObjectType(dc), 0u);
    EXPECT_NE(B.Canvas()->Pixels(1, 10), TColor(0)) << "the sections were painted into the DC";
}

// ---- tree ------------------------------------------------------------------------------

class TreeTest : public ViewsTest {
protected:
    TspSkinCustomTreeView* Tree(int roots, int kids = 0)
    {
        auto* t = Make<TspSkinCustomTreeView>(10, 10, 200, 120);
        for (int i = 0; i < roots; ++i) {
            TTreeNode* n = t->Items()->Add(nullptr, "Node " + std::to_string(i));
            for (int k = 0; k < kids; ++k)
                t->Items()->AddChild(n, "Child");
        }
        VBar = Make<TspSkinScrollBar>(220, 10, 19, 120);
        VBar->SetKind(sbVertical);
        t->SetVScrollBar(VBar);
        HeadlessProcessMessages();
        return t;
    }
};

TEST_F(TreeTest, BuiltInLookWithoutASkin)
{
    auto* t = Tree(2);
    t->ChangeSkinData();
    EXPECT_EQ(t->Color(), clWindow);
    EXPECT_EQ(t->FLineColor, TColor(0x808080));
    EXPECT_EQ(t->FButtonSize, 5);
    EXPECT_EQ(t->Font()->Name(), "Arial");
}

TEST_F(TreeTest, ButtonBitmapsFromTheSkin)
{
    LoadSkinNew();
    auto* t = Tree(3, 2);
    auto* piece = dynamic_cast<TspDataSkinTreeView*>(Skin->CtrlList[Skin->GetControlIndex("treeview")].get());
    ASSERT_TRUE(piece);
    const TPoint at(piece->ExpandImageRect.left, piece->ExpandImageRect.top);
    struct Case {
        int w, h;
        int side, half;
    } cases[] = {{9, 9, 9, 2}, {12, 9, 12, 4}, {12, 12, 12, 4}};
    for (const Case& c : cases) {
        piece->ExpandImageRect = TRect(at.x, at.y, at.x + c.w, at.y + c.h);
        piece->NoExpandImageRect = piece->ExpandImageRect;
        t->SetSkinData(Skin.get());
        EXPECT_EQ(t->FExpandImage.Width(), c.side) << c.w << "x" << c.h;
        EXPECT_EQ(t->FExpandImage.Height(), c.side);
        t->SetDrawSkin(true);
        t->Repaint();
        HeadlessProcessMessages();
        EXPECT_EQ(t->FButtonSize, c.half);
    }
    piece->ExpandImageRect = TRect();
    t->SetSkinData(Skin.get());
    EXPECT_TRUE(t->FExpandImage.Empty());
    EXPECT_NE(t->FLineColor, TColor(0x808080));
}

TEST_F(TreeTest, PlusForCollapsedMinusForExpanded)
{
    LoadSkinNew();
    auto* piece = dynamic_cast<TspDataSkinTreeView*>(Skin->CtrlList[Skin->GetControlIndex("treeview")].get());
    piece->ExpandImageRect = TRect();  // the built-in square
    auto* t = Tree(2, 1);
    t->SetSkinData(Skin.get());
    t->SetDrawSkin(true);
    t->SetFocus();
    TTreeNode* first = t->Items()->GetFirstNode();
    first->SetExpanded(true);
    t->Repaint();
    HeadlessProcessMessages();
    auto centre = [&](TTreeNode* n) {
        const TRect r = n->DisplayRect(false);
        return TPoint(r.left + t->Indent() / 2, r.top + (r.bottom - r.top) / 2);
    };
    const COLORREF text = ColorToRGB(t->Font()->Color());
    const COLORREF back = ColorToRGB(t->Color());
    TPoint c = centre(first);
    EXPECT_EQ(PixelOf(t, c.x - 1, c.y - 1), text) << "minus stroke";
    EXPECT_EQ(PixelOf(t, c.x - 1, c.y - 3), back) << "no plus stroke on an expanded node";
    TTreeNode* second = first->getNextSibling();
    c = centre(second);
    EXPECT_EQ(PixelOf(t, c.x - 1, c.y - 3), text) << "plus stroke on a collapsed node";
}

TEST_F(TreeTest, VerticalBarShowsOnlyWhenNodesDoNotFit)
{
    auto* t = Tree(3);
    t->UpDateScrollBars();
    EXPECT_FALSE(VBar->Visible());
    for (int i = 0; i < 30; ++i)
        t->Items()->Add(nullptr, "More");
    t->UpDateScrollBars();
    EXPECT_TRUE(VBar->Visible());
    EXPECT_EQ(VBar->PageSize(), static_cast<int>(SendMessage(t->Handle(), TVM_GETVISIBLECOUNT, 0, 0)));
    VBar->SetPosition(5);
    EXPECT_EQ(t->TopItem()->AbsoluteIndex(), 5);
}

TEST_F(TreeTest, SeventyThousandNodesScrollToTheirEnd)
{
    auto* t = Tree(0);
    t->Items()->BeginUpdate();
    for (int i = 0; i < 70000; ++i)
        t->Items()->Add(nullptr, "N" + std::to_string(i));
    t->Items()->EndUpdate();
    t->UpDateScrollBars();
    int mn = 0, mx = 0;
    GetScrollRange(t->Handle(), SB_VERT, &mn, &mx);
    ASSERT_TRUE(VBar->Visible()) << mx << " " << SendMessage(t->Handle(), TVM_GETVISIBLECOUNT, 0, 0) << " "
                                 << SendMessage(t->Handle(), TVM_GETCOUNT, 0, 0) << " " << t->Visible();
    VBar->SetPosition(VBar->Max());
    const int visible = static_cast<int>(SendMessage(t->Handle(), TVM_GETVISIBLECOUNT, 0, 0));
    EXPECT_EQ(t->TopItem()->Text(), "N" + std::to_string(70000 - visible));
    EXPECT_GT(GetScrollPos(t->Handle(), SB_VERT), 65535);
}

TEST_F(TreeTest, ThumbPositionWordUsedWhenItDisagrees)
{
    auto* t = Tree(40);
    SendMessage(t->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 7), 0);
    EXPECT_EQ(t->TopItem()->AbsoluteIndex(), 7);
}

TEST_F(TreeTest, FadingLines)
{
    TBitmap B;
    B.SetSize(20, 3);
    B.Canvas()->Brush()->SetColor(clWhite);
    B.Canvas()->FillRect(TRect(0, 0, 20, 3));
    DrawFadingLine(B.Canvas(), 2, 3, 1, clBlack);  // one pixel: opaque, no division by zero
    EXPECT_EQ(ColorToRGB(B.Canvas()->Pixels(2, 1)), 0u);
    DrawFadingLine(B.Canvas(), 5, 5, 0, clBlack);  // nothing
    EXPECT_EQ(ColorToRGB(B.Canvas()->Pixels(5, 0)), 0xFFFFFFu);
    DrawFadingLine(B.Canvas(), 4, 14, 2, clBlack);  // ten: five opaque, then fading
    for (int x = 4; x < 9; ++x)
        EXPECT_EQ(ColorToRGB(B.Canvas()->Pixels(x, 2)), 0u) << x;
    EXPECT_EQ(ColorToRGB(B.Canvas()->Pixels(9, 2)), 0u) << "the fade starts opaque";
    const int g10 = GetRValue(ColorToRGB(B.Canvas()->Pixels(10, 2)));
    const int g13 = GetRValue(ColorToRGB(B.Canvas()->Pixels(13, 2)));
    EXPECT_GT(g10, 0);
    EXPECT_GT(g13, g10);
    EXPECT_EQ(ColorToRGB(B.Canvas()->Pixels(14, 2)), 0xFFFFFFu);
}

}  // namespace
