// The skinned list box: the layout of the default and skinned looks, the
// caption buttons and their repeat on the fake clock, the external bars,
// the inner list's rows, tab stops and horizontal offset, and descriptions.
#include "ListsTestSupport.h"

#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/classes/StringList.h"
#include "platform/user/Messages.h"
#include "skin/lists/SkinListBox.h"

#include <string>
#include <vector>

using namespace liststest;

namespace {

struct TDrawLog {
    std::vector<int> Items;
    std::vector<TRect> TextRects;
    void Draw(TObject*, TCanvas*, int Index, int, int, TRect TR, TOwnerDrawState)
    {
        Items.push_back(Index);
        TextRects.push_back(TR);
    }
};

class SkinListBoxTest : public ListsTest {
protected:
    TspSkinListBox* List(int n, int x = 10, int y = 10, int w = 150, int h = 120)
    {
        auto* l = Make<TspSkinListBox>(x, y, w, h);
        for (int i = 0; i < n; ++i)
            l->Items()->Add("Item " + std::to_string(i));
        l->UpDateScrollBar();
        Repaint();
        return l;
    }
    // Paints the inner list into a bitmap and logs the drawn items.
    TDrawLog PaintLog(TspSkinListBox* l)
    {
        TDrawLog log;
        l->OnDrawItem = MakeEvent(&log, &TDrawLog::Draw);
        TBitmap b;
        b.SetSize(std::max(1, l->ListBox->Width()), std::max(1, l->ListBox->Height()));
        l->ListBox->PaintList(b.Canvas()->Handle());
        l->OnDrawItem = {};
        return log;
    }
};

TEST_F(SkinListBoxTest, DefaultLayoutWithAndWithoutCaption)
{
    auto* l = List(3);
    EXPECT_EQ(l->ListBox->Top(), 2);  // no caption: the list starts at y = 2
    EXPECT_EQ(l->ListBox->Left(), 2);
    EXPECT_EQ(l->ListBox->Width(), 146);
    EXPECT_EQ(l->ScrollBar, nullptr);
    l->SetCaptionMode(true);
    Repaint();
    EXPECT_EQ(l->ListBox->Top(), 21);
    EXPECT_EQ(l->ListBox->Height(), 120 - 2 - 21);
}

TEST_F(SkinListBoxTest, CaptionButtonsAre17And7PixelsSquare)
{
    const struct {
        int CaptionHeight, Size;
    } cases[] = {{20, 17}, {10, 7}};
    for (const auto& c : cases) {
        auto* l = List(2);
        l->SetCaptionMode(true);
        l->SetDefaultCaptionHeight(c.CaptionHeight);
        Repaint();
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(l->Buttons[i].R.right - l->Buttons[i].R.left, c.Size) << c.CaptionHeight;
            EXPECT_EQ(l->Buttons[i].R.top, 2);
        }
        EXPECT_EQ(l->Buttons[0].R.right, 150 - 2);  // up is the rightmost
        EXPECT_LT(l->Buttons[2].R.left, l->Buttons[1].R.left);
    }
}

TEST_F(SkinListBoxTest, HeldUpButtonWaits500ThenSteps100AndOnceOnRelease)
{
    auto* l = List(10);
    l->SetCaptionMode(true);
    Repaint();
    l->SetItemIndex(5);
    const TRect up = l->Buttons[0].R;
    Press(l, up.left + 3, up.top + 3);
    Advance(490);
    EXPECT_EQ(l->ItemIndex(), 5);
    Advance(20);   // 500 ms: the wait ends
    EXPECT_EQ(l->ItemIndex(), 5);
    Advance(100);  // the first repeat
    EXPECT_EQ(l->ItemIndex(), 4);
    Advance(100);
    EXPECT_EQ(l->ItemIndex(), 3);
    Release();
    EXPECT_EQ(l->ItemIndex(), 2);  // one more step on release
    Advance(500);
    EXPECT_EQ(l->ItemIndex(), 2);
}

TEST_F(SkinListBoxTest, ReleasingOffTheButtonStillActsButFiresNoEvent)
{
    auto* l = List(10);
    l->SetCaptionMode(true);
    TCounter downs;
    l->OnDownButtonClick = downs.Event();
    Repaint();
    l->SetItemIndex(2);
    const TRect down = l->Buttons[1].R;
    Press(l, down.left + 3, down.top + 3);
    MoveTo(l, 5, 60);
    Release();
    EXPECT_EQ(downs.N, 0);
    EXPECT_EQ(l->ItemIndex(), 3);
    Press(l, down.left + 3, down.top + 3);
    Release();
    EXPECT_EQ(downs.N, 1);
    EXPECT_EQ(l->ItemIndex(), 3);
}

TEST_F(SkinListBoxTest, BarFollowsTheItemsAndRowCount)
{
    auto* l = List(20);
    ASSERT_NE(l->ScrollBar, nullptr);
    EXPECT_EQ(l->ScrollBar->Kind(), sbVertical);
    EXPECT_EQ(l->ScrollBar->PageSize(), l->ListBox->Height() / 20);
    EXPECT_EQ(l->ListBox->Left() + l->ListBox->Width(), l->ScrollBar->Left());
    l->Clear();
    EXPECT_EQ(l->ScrollBar, nullptr);
    for (int i = 0; i < 8; ++i)
        l->Items()->Add("x");
    l->SetRowCount(8);
    Repaint();
    EXPECT_EQ(l->Height(), 8 * 20 + 4);
    EXPECT_EQ(l->ScrollBar, nullptr);
    l->Items()->Add("y");
    Repaint();
    EXPECT_NE(l->ScrollBar, nullptr);
}

TEST_F(SkinListBoxTest, SortedSortsAndTheBarComesBackWithTheNextUpdate)
{
    auto* l = List(0);
    for (const char* s : {"pear", "apple", "fig", "kiwi", "lime", "date", "plum", "yuzu"})
        l->Items()->Add(s);
    l->SetRowCount(3);
    l->UpDateScrollBar();
    ASSERT_NE(l->ScrollBar, nullptr);
    l->SetSorted(true);
    l->UpDateScrollBar();
    EXPECT_TRUE(l->Sorted());
    EXPECT_EQ(l->Items()->Get(0), "apple");
    EXPECT_EQ(l->Items()->Get(7), "yuzu");
    EXPECT_NE(l->ScrollBar, nullptr);
}

TEST_F(SkinListBoxTest, ColumnsMakeTheBarHorizontalAndBack)
{
    auto* l = List(60);
    ASSERT_NE(l->ScrollBar, nullptr);
    l->SetColumns(2);
    Repaint();
    ASSERT_NE(l->ScrollBar, nullptr);
    EXPECT_EQ(l->ScrollBar->Kind(), sbHorizontal);
    EXPECT_EQ(l->ScrollBar->PageSize(), 2);
    l->SetColumns(0);
    Repaint();
    ASSERT_NE(l->ScrollBar, nullptr);
    EXPECT_EQ(l->ScrollBar->Kind(), sbVertical);
}

TEST_F(SkinListBoxTest, HorizontalExtentShowsOnlyTheHorizontalBar)
{
    auto* l = List(0);
    l->Items()->Add(std::string(10000, 'W'));
    l->Items()->Add("short");
    l->SetHorizontalExtent(true);
    Repaint();
    ASSERT_NE(l->HScrollBar, nullptr);
    EXPECT_EQ(l->ScrollBar, nullptr);
    EXPECT_LE(l->ListBox->Top() + l->ListBox->Height(), l->HScrollBar->Top());
    l->HScrollBar->SetPosition(50);
    EXPECT_EQ(l->ListBox->HorizontalExtentValue(), 50);
    l->SetHorizontalExtent(false);
    EXPECT_EQ(l->HScrollBar, nullptr);
    EXPECT_EQ(l->ListBox->HorizontalExtentValue(), 0);
}

TEST_F(SkinListBoxTest, SkinChangeKeepsTheHorizontalBar)
{
    auto* l = List(0);
    l->Items()->Add(std::string(300, 'W'));
    l->SetHorizontalExtent(true);
    Repaint();
    ASSERT_NE(l->HScrollBar, nullptr);
    l->SetSkinData(LoadSkinNew());
    Repaint();
    ASSERT_NE(l->HScrollBar, nullptr);
    EXPECT_EQ(l->HScrollBar->SkinDataName(), "hscrollbar");
}

TEST_F(SkinListBoxTest, NinetyFivePixelsAtHeightTwentyDrawFiveRows)
{
    auto* l = List(30);
    l->ListBox->SetBounds(l->ListBox->Left(), l->ListBox->Top(), 100, 95);
    l->SetTopIndex(3);
    const TDrawLog log = PaintLog(l);
    EXPECT_EQ(log.Items, (std::vector<int>{3, 4, 5, 6, 7}));
}

TEST_F(SkinListBoxTest, OnlyVisibleRowsOfAHundredThousandAreDrawn)
{
    auto* l = List(0);
    std::vector<std::string> many;
    TStringList s;
    for (int i = 0; i < 100000; ++i)
        s.Add("row");
    l->SetItems(&s);
    Repaint();
    const TDrawLog log = PaintLog(l);
    EXPECT_LE(log.Items.size(), 7u);
    ASSERT_NE(l->ScrollBar, nullptr);
    EXPECT_EQ(l->ScrollBar->Max(), 99999);
}

TEST_F(SkinListBoxTest, ItemHeightBelowOneCountsAsOne)
{
    auto* l = List(5);
    l->SetDefaultItemHeight(0);
    Repaint();
    EXPECT_EQ(l->ListBox->ItemHeight(), 1);
    EXPECT_EQ(l->CalcHeight(3), 3 + 4);
    const TDrawLog log = PaintLog(l);
    EXPECT_EQ(log.Items.size(), 5u);
}

TEST_F(SkinListBoxTest, ImageIndexPastTheListDrawsNoImageButIndentsTheText)
{
    auto* l = List(2);
    TImageList images(nullptr);
    images.SetWidth(16);
    images.SetHeight(16);
    TBitmap pic;
    pic.SetSize(16, 16);
    for (int i = 0; i < 3; ++i)
        images.Add(&pic, nullptr);
    l->SetImages(&images);
    l->SetImageIndex(3);
    l->ListBox->SetFocus();
    l->SetItemIndex(0);
    Repaint();
    // Drawn without an owner hook: the text starts 16 + 2 + 2 pixels in.
    TBitmap b;
    b.SetSize(l->ListBox->Width(), l->ListBox->Height());
    l->ListBox->PaintList(b.Canvas()->Handle());
    const TRect r = l->ListBox->ItemRect(1);
    int firstInk = -1;
    for (int x = 0; x < r.right && firstInk < 0; ++x)
        for (int y = r.top; y < r.bottom; ++y)
            if (static_cast<COLORREF>(b.Canvas()->Pixels(x, y)) != ColorToRGB(clWindow)) {
                firstInk = x;
                break;
            }
    EXPECT_GE(firstInk, 20);
    l->SetImages(nullptr);
}

TEST_F(SkinListBoxTest, HorizontalOffsetFollowsWidthChanges)
{
    auto* l = List(3);
    TspListBox* in = l->ListBox;
    in->SetHorizontalExtentValue(50);
    in->SetBounds(in->Left(), in->Top(), in->Width() - 30, in->Height());
    EXPECT_EQ(in->HorizontalExtentValue(), 80);
    in->SetBounds(in->Left(), in->Top(), in->Width() + 100, in->Height());
    EXPECT_EQ(in->HorizontalExtentValue(), 0);
    in->SetBounds(in->Left(), in->Top(), in->Width() - 10, in->Height());
    EXPECT_EQ(in->HorizontalExtentValue(), 0);
}

TEST_F(SkinListBoxTest, DefaultItemPixels)
{
    auto* l = List(3);
    l->SetItemIndex(1);
    Repaint();
    const TRect plain = l->ListBox->ItemRect(0), sel = l->ListBox->ItemRect(1);
    EXPECT_EQ(PixelOf(l->ListBox, plain.right - 3, plain.top + 2), ColorToRGB(clWindow));
    EXPECT_EQ(PixelOf(l->ListBox, sel.right - 3, sel.top + 2), ColorToRGB(clHighlight));
    // The empty rest below the items gets the window colour.
    EXPECT_EQ(PixelOf(l->ListBox, 5, l->ListBox->Height() - 2), ColorToRGB(clWindow));
}

TEST_F(SkinListBoxTest, SkinnedLookUsesThePieceAndItsItemHeight)
{
    auto* l = List(10);
    l->SetSkinData(LoadSkinNew());
    Repaint();
    ASSERT_NE(l->FIndex, -1);
    EXPECT_EQ(l->ListBox->ItemHeight(), 22);
    EXPECT_EQ(l->ListBox->Left(), l->NewClRect.left);
    EXPECT_EQ(l->ListBox->Top(), l->NewClRect.top);
    l->SetItemIndex(2);
    l->ListBox->SetFocus();
    Repaint();
    const TDrawLog log = PaintLog(l);
    EXPECT_FALSE(log.Items.empty());
    // Stretched look: the list's own height.
    l->SetUseSkinItemHeight(false);
    l->ChangeSkinData();
    Repaint();
    EXPECT_EQ(l->ListBox->ItemHeight(), 20);
}

TEST_F(SkinListBoxTest, PieceOfAnotherKindCountsAsMissing)
{
    auto* l = List(3);
    l->SetSkinData(LoadSkinNew());
    l->SetSkinDataName("button");
    l->ChangeSkinData();
    Repaint();
    EXPECT_EQ(l->FIndex, -1);
    EXPECT_EQ(l->ListBox->ItemHeight(), 20);
}

TEST(SkinListBoxTabs, StopsOfTabWidths)
{
    TStringList t;
    for (const char* s : {"40", "x", "120"})
        t.Add(s);
    EXPECT_EQ(TabStopsOf(&t), (std::vector<INT>{40, 0, 120}));
    TStringList twelve;
    for (int i = 0; i < 12; ++i)
        twelve.Add(std::to_string(10 * (i + 1)));
    EXPECT_EQ(TabStopsOf(&twelve).size(), 10u);
    TStringList big;
    for (const char* s : {"99999999999", "2147483647", "-3", ""})
        big.Add(s);
    EXPECT_EQ(TabStopsOf(&big), (std::vector<INT>{0, 2147483647, 0, 0}));
}

TEST(SkinListBoxDescriptions, WrittenBackEqual)
{
    RegisterSkinListBoxClasses();
    const char* text = "object L: TspSkinListBox\n  CaptionMode = True\n  Columns = 2\n  DefaultItemHeight = 18\n"
                       "  HorizontalExtent = True\n  ImageIndex = 2\n  Alignment = taCenter\n"
                       "  Items.Strings = (\n    'one'\n    'two')\n  TabWidths.Strings = (\n    '40')\nend\n";
    TspSkinListBox a(nullptr);
    ReadComponentText(&a, text);
    EXPECT_EQ(a.Items()->Count(), 2);
    EXPECT_EQ(a.Columns(), 2);
    EXPECT_EQ(a.DefaultItemHeight(), 18);
    const std::string written = WriteComponentText(&a);
    TspSkinListBox b(nullptr);
    ReadComponentText(&b, written);
    EXPECT_EQ(WriteComponentText(&b), written);
}

}  // namespace
