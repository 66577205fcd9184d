// The skinned page control: the corrected native geometry, offsets, close
// buttons (with the veto cases), hiding, the wheel, hot tracking, the looks
// of the four sides, and reading and writing it.
#include "platform/classes/FormWriter.h"
#include "platform/gdi/SysColors.h"
#include "skin/core/SkinButtonPieces.h"
#include "skin/lists/SkinPageControl.h"

#include "DialogsTestSupport.h"

#include <memory>

using liststest::TListsTest;

namespace {

class SkinPageControlTest : public TListsTest {
protected:
    void SetUp() override
    {
        TListsTest::SetUp();
        Form = new TForm(Owner);
        Form->SetBounds(40, 40, 520, 360);
        Form->Show();
        Pump();
    }
    TspSkinPageControl* MakePages(int Count, TTabPosition Side = tpTop, int W = 400, int H = 240)
    {
        auto* pc = new TspSkinPageControl(Owner);
        pc->SetParent(Form);
        pc->SetBounds(10, 10, W, H);
        pc->SetTabPosition(Side);
        for (int i = 0; i < Count; ++i) {
            auto* s = new TspSkinTabSheet(Owner);
            s->SetPageControl(pc);
            s->SetCaption("Page " + std::to_string(i + 1));
        }
        if (Count)
            pc->SetActivePageIndex(0);
        Pump();
        return pc;
    }
    TColor ScreenAt(TControl* C, int X, int Y)
    {
        Form->Repaint();
        Pump();
        const TPoint p = C->ClientToScreen(TPoint(X, Y));
        return static_cast<TColor>(HeadlessBackend().Pixel(p.x, p.y));
    }
    void MoveTo(TControl* C, int X, int Y)
    {
        const TPoint p = C->ClientToScreen(TPoint(X, Y));
        HeadlessMouseMove(p.x, p.y);
        Pump();
    }
    void ClickAt(TControl* C, int X, int Y)
    {
        const TPoint p = C->ClientToScreen(TPoint(X, Y));
        HeadlessClick(p.x, p.y);
        Pump();
    }
    TForm* Form = nullptr;
};

// The native rectangle: the same tabs on the platform's own page control.
RECT NativeDisplay(TForm* Form, TTabPosition Side, int Room, int TabHeight)
{
    TPageControl twin(nullptr);
    twin.SetParent(Form);
    twin.SetBounds(10, 10, 400, 240);
    twin.SetTabPosition(Side);
    TImageList room(nullptr);
    room.SetWidth(Side == tpLeft || Side == tpRight ? 1 : Room);
    room.SetHeight(Side == tpLeft || Side == tpRight ? Room : 1);
    twin.SetImages(&room);
    twin.SetTabHeight(TabHeight);
    TTabSheet sheet(nullptr);
    sheet.SetPageControl(&twin);
    sheet.SetCaption("Page 1");
    RECT r{0, 0, twin.Width(), twin.Height()};
    twin.Perform(TCM_ADJUSTRECT, 0, reinterpret_cast<LPARAM>(&r));
    sheet.SetPageControl(nullptr);
    twin.SetImages(nullptr);
    return r;
}

TEST_F(SkinPageControlTest, DisplayRectangleFollowsTheNineCases)
{
    TspSkinData* data = LoadSkinNew();
    const int cw = 400, ch = 240;
    for (bool piece : {false, true}) {
        for (TTabPosition side : {tpTop, tpBottom, tpLeft, tpRight}) {
            for (bool hidden : {false, true}) {
                SCOPED_TRACE(std::to_string(piece) + " side " + std::to_string(side) + " hidden " +
                             std::to_string(hidden));
                TspSkinPageControl* pc = MakePages(1, side);
                pc->SetTabHeight(20);
                if (piece)
                    pc->SetSkinData(data);
                pc->FHideTabs = hidden;
                const RECT n = NativeDisplay(Form, side, pc->ReservedRoom(), 20);
                RECT r{0, 0, cw, ch};
                pc->Perform(TCM_ADJUSTRECT, 0, reinterpret_cast<LPARAM>(&r));
                const int L = pc->ClRect.left, T = pc->ClRect.top;
                const int RB = pc->SkinRect.Width() - pc->ClRect.right, BB = pc->SkinRect.Height() - pc->ClRect.bottom;
                RECT e{};
                switch (side) {
                case tpTop:
                    e = piece ? RECT{L, T + n.top - 6, cw - RB, ch - BB} : RECT{1, n.top - 5, cw - 1, ch - 1};
                    e.top -= hidden ? 1 : 0;
                    break;
                case tpBottom:
                    e = piece ? RECT{L, T + n.top - 4, cw - RB, n.bottom + 4 - BB + (hidden ? 1 : 0)}
                              : RECT{1, 1, cw - 1, n.bottom + 3};
                    break;
                case tpLeft:
                    e = piece ? RECT{L + n.left - 4, T + n.top - 4, cw - RB, ch - BB}
                              : RECT{n.left - 3, n.top - 5, cw - 1, ch - 1};
                    e.left -= hidden ? 1 : 0;
                    break;
                case tpRight:
                    e = piece ? RECT{L, T + n.top - 4, n.right - RB + 4, ch - BB}
                              : RECT{n.left - 3, n.top - 5, n.right + 3, ch - 1};
                    e.right += hidden ? 1 : 0;
                    break;
                }
                EXPECT_EQ(r.left, e.left);
                EXPECT_EQ(r.top, e.top);
                EXPECT_EQ(r.right, e.right);
                EXPECT_EQ(r.bottom, e.bottom);
                pc->FHideTabs = false;
                pc->FHideBorder = true;
                r = RECT{0, 0, cw, ch};
                pc->Perform(TCM_ADJUSTRECT, 0, reinterpret_cast<LPARAM>(&r));
                EXPECT_EQ(r.top, -2);
                EXPECT_EQ(r.right, 400);
                pc->Free();
            }
        }
    }
}

TEST_F(SkinPageControlTest, TabRectanglesAreCorrectedAndOffset)
{
    TspSkinPageControl* pc = MakePages(3);
    pc->SetTabWidth(80);
    Pump();
    TPageControl twin(nullptr);
    twin.SetParent(Form);
    twin.SetBounds(10, 10, 400, 240);
    twin.SetTabWidth(80);
    TImageList room(nullptr);
    room.SetWidth(pc->ReservedRoom());
    twin.SetImages(&room);
    TTabSheet a(nullptr), b(nullptr), c(nullptr);
    for (TTabSheet* s : {&a, &b, &c})
        s->SetPageControl(&twin);
    const TRect n = twin.TabRect(1), r = pc->TCustomTabControl::TabRect(1);
    EXPECT_EQ(r.left, n.left);
    EXPECT_EQ(r.right, n.right - 2);
    EXPECT_EQ(r.top, n.top);
    EXPECT_EQ(r.bottom - r.top, 20 - 2);  // the default item height, less 2
    // Three 80-pixel tabs centred in 400 pixels start at 80.
    EXPECT_EQ(pc->GetTabsOffset(), 80);
    const int before = pc->TCustomTabControl::TabRect(0).left;
    pc->SetTabsInCenter(true);
    EXPECT_TRUE(pc->TabsInCenter());
    EXPECT_TRUE(pc->TabsBGTransparent);
    EXPECT_EQ(pc->TCustomTabControl::TabRect(0).left, before + 80);
    // A click on the second centred tab selects it.
    const TRect t1 = pc->TCustomTabControl::TabRect(1);
    ClickAt(pc, t1.left + 10, t1.top + 5);
    EXPECT_EQ(pc->ActivePageIndex(), 1);
    // Without a fixed width there is nothing to centre on.
    pc->SetTabsInCenter(false);
    pc->SetTabWidth(0);
    pc->SetTabsInCenter(true);
    EXPECT_FALSE(pc->TabsInCenter());
    // An offset past the width keeps the tabs out of sight but breaks nothing.
    pc->SetTabsOffset(5000);
    EXPECT_EQ(pc->GetTabsOffset(), 5000);
    Form->Repaint();
    Pump();
    for (TTabSheet* s : {&a, &b, &c})
        s->SetPageControl(nullptr);
    twin.SetImages(nullptr);
}

TEST_F(SkinPageControlTest, CloseButtonsVetoFreeOnCloseAndARefusedSelection)
{
    struct TWatch : TObject {
        bool Allow = true, AllowChange = true;
        int Closes = 0, After = 0, PagesAfter = -1;
        TObject* Closing = nullptr;
        TspSkinPageControl* Pc = nullptr;
        void OnClose(TObject* S, bool& Can)
        {
            ++Closes;
            Closing = S;
            Can = Allow;
        }
        void OnAfter(TObject*)
        {
            ++After;
            Pc->Invalidate();  // the control is whole here
            PagesAfter = Pc->PageCount();
        }
        void OnChanging(TObject*, bool& A) { A = AllowChange; }
    } w;
    TspSkinPageControl* pc = MakePages(3);
    w.Pc = pc;
    pc->SetShowCloseButtons(true);
    pc->OnClose = MakeEvent(&w, &TWatch::OnClose);
    pc->OnAfterClose = MakeEvent(&w, &TWatch::OnAfter);
    pc->OnChanging = MakeEvent(&w, &TWatch::OnChanging);
    Form->Repaint();
    Pump();
    auto button = [&](int Tab) {
        const TRect t = pc->TCustomTabControl::TabRect(Tab);
        const TRect b = pc->PageOfTab(Tab)->ButtonRect;
        return TPoint(t.left + (b.left + b.right) / 2, t.top + (b.top + b.bottom) / 2);
    };
    // Refused: the page stays.
    w.Allow = false;
    TPoint p = button(0);
    MoveTo(pc, p.x, p.y);
    EXPECT_TRUE(pc->PageOfTab(0)->ButtonMouseIn);
    ClickAt(pc, p.x, p.y);
    EXPECT_EQ(w.Closes, 1);
    EXPECT_EQ(w.Closing, pc->Pages(0));
    EXPECT_TRUE(pc->Pages(0)->TabVisible());
    // A selection veto keeps page 1 active: pressing tab 2's button closes nothing.
    w.Allow = true;
    w.AllowChange = false;
    Form->Repaint();
    Pump();
    p = button(1);
    MoveTo(pc, p.x, p.y);
    ClickAt(pc, p.x, p.y);
    EXPECT_EQ(pc->ActivePageIndex(), 0);
    EXPECT_EQ(w.Closes, 1);
    EXPECT_TRUE(pc->Pages(0)->TabVisible());
    EXPECT_TRUE(pc->Pages(1)->TabVisible());
    // Allowed: tab 2 is selected by the press and its page closes.
    w.AllowChange = true;
    ClickAt(pc, p.x, p.y);
    EXPECT_EQ(w.Closing, pc->Pages(1));
    EXPECT_FALSE(pc->Pages(1)->TabVisible());
    EXPECT_EQ(w.After, 1);
    // FreeOnClose frees the page before OnAfterClose.
    pc->FreeOnClose = true;
    Form->Repaint();
    Pump();
    p = button(0);
    MoveTo(pc, p.x, p.y);
    ClickAt(pc, p.x, p.y);
    EXPECT_EQ(pc->PageCount(), 2);
    EXPECT_EQ(w.After, 2);
    EXPECT_EQ(w.PagesAfter, 2);  // already freed when OnAfterClose ran
    // The last page closes too.
    while (pc->PageCount() > 0 && pc->PageOfTab(0)) {
        Form->Repaint();
        Pump();
        p = button(0);
        MoveTo(pc, p.x, p.y);
        ClickAt(pc, p.x, p.y);
    }
    EXPECT_EQ(pc->PageOfTab(0), nullptr);
    Form->Repaint();
    Pump();
}

TEST_F(SkinPageControlTest, HideAndShowTabsAndTheWheel)
{
    TspSkinPageControl* pc = MakePages(3, tpLeft);
    pc->SetMultiLine(true);
    pc->HideTabs();
    EXPECT_TRUE(pc->FHideTabs);
    EXPECT_EQ(pc->TabPosition(), tpTop);
    EXPECT_EQ(pc->TabHeight(), 1);
    pc->HideTabs();  // nothing more
    EXPECT_EQ(pc->FOldTabPosition, tpLeft);
    EXPECT_TRUE(pc->FOldMultiLine);
    pc->ShowTabs();
    EXPECT_FALSE(pc->FHideTabs);
    EXPECT_EQ(pc->TabPosition(), tpLeft);
    EXPECT_TRUE(pc->MultiLine());
    EXPECT_EQ(pc->TabHeight(), 0);
    EXPECT_EQ(pc->FOldTabHeight, -1);
    pc->ShowTabs();  // without HideTabs: nothing
    EXPECT_EQ(pc->TabPosition(), tpLeft);
    pc->HideBorderAndTabs();
    EXPECT_TRUE(pc->FHideBorder);
    pc->ShowBorderAndTabs();
    EXPECT_FALSE(pc->FHideBorder);
    EXPECT_FALSE(pc->FHideTabs);

    pc->MouseWheelSupport = true;
    pc->SetFocus();
    Pump();
    pc->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_EQ(pc->ActivePageIndex(), 1);
    pc->Pages(2)->SetTabVisible(false);
    pc->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_EQ(pc->ActivePageIndex(), 1);  // no visible tab after it
    pc->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    pc->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(pc->ActivePageIndex(), 0);  // the first stays
}

TEST_F(SkinPageControlTest, HotTabAndTheDefaultCrossTurningWhite)
{
    TspSkinPageControl* pc = MakePages(3);
    pc->SetShowCloseButtons(true);
    Form->Repaint();
    Pump();
    const TRect t2 = pc->TCustomTabControl::TabRect(2);
    MoveTo(pc, t2.left + 4, t2.top + 4);
    EXPECT_EQ(pc->FActiveTabIndex, 2);
    EXPECT_EQ(ScreenAt(pc, t2.left + 1, t2.bottom - 2), static_cast<TColor>(0xD2BDB6));  // hot fill
    // The caption ends FCloseSize + 2 before the tab's end; the cross sits there.
    const TRect b = pc->PageOfTab(2)->ButtonRect;
    EXPECT_GE(b.left, t2.Width() - (pc->FCloseSize + 2));
    const int cx = t2.left + b.left + 2 + 1, cy = t2.top + b.top + 2 + 1;  // on the cross's first stroke
    EXPECT_EQ(ScreenAt(pc, cx, cy), clBlack);
    MoveTo(pc, cx, cy);
    EXPECT_TRUE(pc->PageOfTab(2)->ButtonMouseIn);
    EXPECT_EQ(ScreenAt(pc, cx, cy), clWhite);
    Shot(pc, "pages-default-hot-close");
    MoveTo(pc, 395, t2.top + 4);  // the strip beyond the last tab
    EXPECT_EQ(pc->FActiveTabIndex, -1);
    EXPECT_FALSE(pc->PageOfTab(2)->ButtonMouseIn);
    pc->Perform(CM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(pc->FActiveTabIndex, -1);
}

TEST_F(SkinPageControlTest, FourSidesInBothLooksAndSheetBackgrounds)
{
    TspSkinData* data = LoadSkinNew();
    auto* images = new TImageList(Owner);
    images->SetWidth(16);
    images->SetHeight(16);
    TBitmap pic;
    pic.SetSize(16, 16);
    pic.Canvas()->Brush()->SetColor(clRed);
    pic.Canvas()->FillRect(TRect(0, 0, 16, 16));
    images->Add(&pic, nullptr);
    for (bool skinned : {false, true}) {
        for (TTabPosition side : {tpTop, tpBottom, tpLeft, tpRight}) {
            TspSkinPageControl* pc = MakePages(3, side, 360, 220);
            pc->SetImages(images);
            pc->Pages(1)->SetImageIndex(5);  // outside the list: caption only
            pc->SetShowCloseButtons(side == tpTop);
            if (skinned)
                pc->SetSkinData(data);
            Form->Repaint();
            Pump();
            const char* names[] = {"top", "bottom", "left", "right"};
            Shot(pc, std::string("pages-") + (skinned ? "skin-new-" : "default-") + names[side]);
            // The selected tab's picture is drawn over the frame; the page shows its background.
            const TRect t = pc->TCustomTabControl::TabRect(0);
            EXPECT_NE(ScreenAt(pc, (t.left + t.right) / 2, (t.top + t.bottom) / 2), clBlack);
            pc->Free();
        }
    }
    // Sheet backgrounds: a wallpaper, then the piece's client part.
    TspSkinPageControl* pc = MakePages(1);
    pc->SetSkinData(data);
    auto* sheet = static_cast<TspSkinTabSheet*>(pc->Pages(0));
    TBitmap wall;
    wall.SetSize(8, 8);
    wall.Canvas()->Brush()->SetColor(static_cast<TColor>(0x3366CC));
    wall.Canvas()->FillRect(TRect(0, 0, 8, 8));
    sheet->SetWallPaper(&wall);
    EXPECT_FALSE(sheet->WallPaper()->Empty());
    // Painted into a bitmap: the tiles of the wallpaper.
    TBitmap into;
    into.SetSize(sheet->Width(), sheet->Height());
    sheet->PaintBG(into.Canvas()->Handle());
    EXPECT_EQ(into.Canvas()->Pixels(20, 20), static_cast<TColor>(0x3366CC));
    EXPECT_EQ(ScreenAt(sheet, 20, 20), static_cast<TColor>(0x3366CC));  // and on the screen
    wall.SetSize(0, 0);
    sheet->SetWallPaper(&wall);
    sheet->PaintBG(into.Canvas()->Handle());
    EXPECT_NE(into.Canvas()->Pixels(20, 20), static_cast<TColor>(0x3366CC));
    Shot(pc, "pages-skin-new-sheet");
    // No pages: the skin's background and no tabs.
    TspSkinPageControl* empty = MakePages(0);
    empty->SetSkinData(data);
    Form->Repaint();
    Pump();
    Shot(empty, "pages-skin-new-empty");
}

// Button-style tabs draw the "resizetoolbutton" piece: the selected tab in
// its down state, the others in the normal one, captions in the piece's
// colours; a missing piece leaves a plain face.
TEST_F(SkinPageControlTest, ButtonStyleTabsDrawTheButtonPiece)
{
    TspSkinData* data = LoadSkinNew();
    const int i = data->GetControlIndex("resizetoolbutton");
    ASSERT_NE(i, -1);
    auto* piece = dynamic_cast<TspDataSkinButtonControl*>(data->CtrlList[static_cast<std::size_t>(i)].get());
    ASSERT_NE(piece, nullptr);
    for (TTabStyle style : {tsButtons, tsFlatButtons}) {
        TspSkinPageControl* pc = MakePages(3, tpTop, 360, 200);
        pc->SetStyle(style);
        pc->SetSkinData(data);
        Form->Repaint();
        Pump();
        const TRect sel = pc->TCustomTabControl::TabRect(0), other = pc->TCustomTabControl::TabRect(1);
        // Near the left edge, clear of the caption: the piece's own face.
        const TColor selFace = ScreenAt(pc, sel.left + 3, (sel.top + sel.bottom) / 2);
        const TColor otherFace = ScreenAt(pc, other.left + 3, (other.top + other.bottom) / 2);
        EXPECT_NE(selFace, otherFace);
        EXPECT_NE(otherFace, clBtnFace);
        Shot(pc, style == tsButtons ? "pages-skin-new-buttons" : "pages-skin-new-flatbuttons");
        // A piece name the skin lacks: a plain face, nothing fails.
        pc->ButtonTabSkinDataName = "nosuchpiece";
        pc->Invalidate();
        pc->Repaint();
        const TColor plain = ScreenAt(pc, other.left + 3, (other.top + other.bottom) / 2);
        EXPECT_EQ(plain, static_cast<TColor>(ColorToRGB(clBtnFace)));
        pc->Free();
    }
}

TEST_F(SkinPageControlTest, BadInputManyPagesLongCaptionsOddHeights)
{
    TspSkinPageControl* pc = MakePages(100);
    pc->Pages(50)->SetCaption(std::string(1000, 'x'));
    pc->SetTabHeight(0);
    pc->SetDefaultItemHeight(0);
    pc->Pages(3)->SetImageIndex(-7);
    pc->SetActivePageIndex(50);
    Form->Repaint();
    Pump();
    EXPECT_GT(pc->GetHiddenTabCount(), 0);
    EXPECT_GE(pc->GetScrolledTabCount(), 0);
    EXPECT_THROW(pc->SetTabHeight(-5), Exception);  // refused by the platform with a clear error
    EXPECT_EQ(pc->TabHeight(), 0);
    Form->Repaint();
    Pump();
}

TEST_F(SkinPageControlTest, ReadFromADescriptionAndWrittenBackEqual)
{
    RegisterSkinListsClasses();
    TspSkinPageControl a(nullptr);
    ReadComponentText(&a, "object P: TspSkinPageControl\n  ShowCloseButtons = True\n  TabsOffset = 12\n"
                          "  MouseWheelSupport = True\n  DefaultItemHeight = 24\n  TabSpacing = 3\nend\n");
    EXPECT_TRUE(a.ShowCloseButtons());
    EXPECT_EQ(a.TabsOffset(), 12);
    EXPECT_EQ(a.DefaultItemHeight(), 24);
    const std::string written = WriteComponentText(&a);
    TspSkinPageControl b(nullptr);
    ReadComponentText(&b, written);
    EXPECT_EQ(WriteComponentText(&b), written);
}

}  // namespace
