// The page control's skinned tab scroller: it replaces the native one (no
// "msctls_updown32" child is made), appears and goes with the width, follows
// the hidden tabs, scrolls the native line and follows the selection; and
// the demo of top tabs with images, close buttons and the scroller beside
// left tabs, without a skin and with "skin-new".
#include "platform/gui/ImgList.h"
#include "platform/user/controls/CommCtrl.h"
#include "skin/lists/SkinPageControl.h"

#include "DialogsTestSupport.h"

#include <cstring>

using liststest::TListsTest;

namespace {

int UpDownChildren(HWND Parent)
{
    int n = 0;
    EnumChildWindows(
        Parent,
        [](HWND w, LPARAM p) -> BOOL {
            char cls[64] = {};
            GetClassName(w, cls, sizeof(cls));
            if (std::strcmp(cls, "msctls_updown32") == 0)
                ++*reinterpret_cast<int*>(p);
            return 1;
        },
        reinterpret_cast<LPARAM>(&n));
    return n;
}

class SkinTabScrollerTest : public TListsTest {
protected:
    void SetUp() override
    {
        TListsTest::SetUp();
        Form = new TForm(Owner);
        Form->SetBounds(40, 40, 620, 420);
        Form->Show();
        Pump();
    }
    TspSkinPageControl* MakePages(int Count, TTabPosition Side, int X, int Y, int W, int H)
    {
        auto* pc = new TspSkinPageControl(Owner);
        pc->SetParent(Form);
        pc->SetBounds(X, Y, W, H);
        pc->SetTabPosition(Side);
        for (int i = 0; i < Count; ++i) {
            auto* s = new TspSkinTabSheet(Owner);
            s->SetPageControl(pc);
            s->SetCaption("Page " + std::to_string(i + 1));
        }
        pc->SetActivePageIndex(0);
        Pump();
        return pc;
    }
    TForm* Form = nullptr;
};

TEST_F(SkinTabScrollerTest, ReplacesTheNativeScrollerAndFollowsTheWidth)
{
    auto* pc = MakePages(8, tpTop, 10, 10, 200, 150);
    ASSERT_NE(pc->FSkinUpDown, nullptr);
    EXPECT_EQ(UpDownChildren(pc->Handle()), 0);
    EXPECT_EQ(pc->FSkinUpDown->Max(), pc->GetHiddenTabCount());
    EXPECT_GT(pc->FSkinUpDown->Max(), 0);
    EXPECT_EQ(pc->FSkinUpDown->Left(), pc->Width() - pc->FSkinUpDown->Width());
    EXPECT_EQ(pc->FSkinUpDown->Top(), 0);
    EXPECT_EQ(pc->FSkinUpDown->Height(), pc->DefaultItemHeight());

    // The scroller moves the native line.
    pc->FSkinUpDown->SetPosition(2);
    Pump();
    EXPECT_EQ(pc->GetScrolledTabCount(), 2);
    EXPECT_EQ(SendMessage(pc->Handle(), TCM_GETSCROLLSTATE, 0, 0) & 0xFFFF, 2);
    // Selecting the first tab brings it back into view and the scroller along.
    pc->SetActivePageIndex(7);
    pc->SetActivePageIndex(0);
    Pump();
    EXPECT_EQ(pc->FSkinUpDown->Position(), pc->GetScrolledTabCount());

    pc->SetWidth(600);
    Pump();
    EXPECT_EQ(pc->FSkinUpDown, nullptr);
    pc->SetWidth(180);
    Pump();
    ASSERT_NE(pc->FSkinUpDown, nullptr);
    pc->HideTabs();
    EXPECT_EQ(pc->FSkinUpDown, nullptr);
    pc->ShowTabs();
    Pump();
    EXPECT_NE(pc->FSkinUpDown, nullptr);
    pc->SetMultiLine(true);
    Pump();
    EXPECT_EQ(pc->FSkinUpDown, nullptr);
    EXPECT_EQ(UpDownChildren(pc->Handle()), 0);
}

TEST_F(SkinTabScrollerTest, DemoTopTabsWithScrollerAndLeftTabs)
{
    std::unique_ptr<TCustomImageList> images(TCustomImageList::CreateSize(16, 16));
    for (TColor c : {TColor(0x0000C0), TColor(0x00A000), TColor(0xC00000)}) {
        TBitmap b;
        b.SetSize(16, 16);
        b.Canvas()->Brush()->SetColor(c);
        b.Canvas()->Ellipse(2, 2, 14, 14);
        images->Add(&b, nullptr);
    }
    auto* top = MakePages(7, tpTop, 10, 10, 320, 180);
    top->SetImages(images.get());
    top->SetShowCloseButtons(true);
    for (int i = 0; i < top->PageCount(); ++i)
        top->Pages(i)->SetImageIndex(i % 3);
    auto* left = MakePages(4, tpLeft, 340, 10, 260, 180);
    left->SetImages(images.get());
    for (int i = 0; i < left->PageCount(); ++i)
        left->Pages(i)->SetImageIndex(i % 3);
    Pump();
    EXPECT_NE(top->FSkinUpDown, nullptr);
    EXPECT_EQ(left->FSkinUpDown, nullptr);
    Form->Repaint();
    Pump();
    Shot(Form, "tab-scroller-plain", 0);

    TspSkinData* skin = LoadSkinNew();
    top->SetSkinData(skin);
    left->SetSkinData(skin);
    Pump();
    ASSERT_NE(top->FSkinUpDown, nullptr);
    EXPECT_EQ(top->FSkinUpDown->SkinData(), skin);
    Form->Repaint();
    Pump();
    Shot(Form, "tab-scroller-skinned", 0);
}

}  // namespace
