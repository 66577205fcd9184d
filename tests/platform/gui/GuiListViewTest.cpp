// The list view wrapper headless: items and columns made before and after
// the window, report columns in the header child, selection events, sorting
// and searching, owner data asked only for what is shown, custom draw of the
// selected item, scrolling through SB_ messages and items kept across
// RecreateWnd.
#include "platform/gui/ListViews.h"
#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/rtl/SysUtils.h"
#include "tests/platform/gui/GuiTestCommon.h"

#include <set>
#include <string>
#include <vector>

namespace {

class GuiListViewTest : public GuiTest {
public:
    TCustomForm* Form = nullptr;
    TListView* List = nullptr;
    std::vector<std::string> Log;

    void Make(bool show = true, int height = 150)
    {
        Form = NewForm(10, 10, 400, 300);
        List = new TListView(Form);
        List->SetBounds(0, 0, 300, height);
        if (show) {
            List->SetParent(Form);
            Form->Show();
            Pump();
        }
    }
    TListItem* Add(const std::string& caption, std::vector<std::string> subs = {})
    {
        TListItem* it = List->Items()->Add();
        it->SetCaption(caption);
        for (const auto& s : subs)
            it->SubItems()->Add(s);
        return it;
    }
    std::string NativeText(int i, int sub = 0)
    {
        char buf[64] = {};
        LVITEM it;
        it.iSubItem = sub;
        it.pszText = buf;
        it.cchTextMax = sizeof(buf);
        SendMessage(List->Handle(), LVM_GETITEMTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&it));
        return buf;
    }
    std::string NativeCaptions()
    {
        std::string s;
        int n = static_cast<int>(SendMessage(List->Handle(), LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < n; ++i)
            s += (i ? "," : "") + NativeText(i);
        return s;
    }
    std::string Captions()
    {
        std::string s;
        for (int i = 0; i < List->Items()->Count(); ++i)
            s += (i ? "," : "") + List->Items()->Item(i)->Caption();
        return s;
    }
    HWND Header() { return reinterpret_cast<HWND>(SendMessage(List->Handle(), LVM_GETHEADER, 0, 0)); }
    std::string HeaderText(int i, int* width = nullptr, int* fmt = nullptr)
    {
        char buf[64] = {};
        HDITEM hd;
        hd.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
        hd.pszText = buf;
        hd.cchTextMax = sizeof(buf);
        if (!SendMessage(Header(), HDM_GETITEM, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&hd)))
            return "<none>";
        if (width)
            *width = hd.cxy;
        if (fmt)
            *fmt = hd.fmt & HDF_JUSTIFYMASK;
        return buf;
    }

    void Editing(TObject*, TListItem* it, bool& allow) { allow = it->Caption() != "fixed"; }
    void Edited(TObject*, TListItem* it, std::string& text)
    {
        Log.push_back("edited " + it->Caption() + " -> " + text);
        text += "!";
    }
    void Selected(TObject*, TListItem* it, bool sel) { Log.push_back((sel ? "select " : "unselect ") + it->Caption()); }
    void Deleted(TObject*, TListItem* it) { Log.push_back("delete " + it->Caption()); }
    void Inserted(TObject*, TListItem*) { Log.push_back("insert"); }
    void ColumnClicked(TObject*, TListColumn* c) { Log.push_back("column " + c->Caption()); }
    void Reverse(TObject*, TListItem* a, TListItem* b, int, int& c) { c = -AnsiCompareText(a->Caption(), b->Caption()); }
    void Throwing(TObject*, TListItem*, TListItem*, int, int&) { throw EInvalidOperation("no order"); }
    std::set<int> Asked;
    void Data(TObject*, TListItem* it)
    {
        Asked.insert(it->Index());
        it->SetCaption("row " + std::to_string(it->Index()));
        it->SubItems()->Add("detail " + std::to_string(it->Index()));
    }
    void DataFind(TObject*, TItemFind find, const std::string& text, const TPoint&, void*, int start, TSearchDirection,
                  bool, int& index)
    {
        Log.push_back("find " + text + " from " + std::to_string(start));
        index = find == ifExactString && text == "row 42" ? 42 : -1;
    }
    std::vector<std::string> SubDrawn;
    void DrawSubItem(TCustomListView*, TListItem* it, int sub, TCustomDrawState, bool&)
    {
        SubDrawn.push_back(it->Caption() + "." + std::to_string(sub));
    }
    void PictureData(TObject*, TListItem* it)
    {
        it->SetCaption("p" + std::to_string(it->Index()));
        it->SetImageIndex(it->Index());
    }
    std::vector<std::pair<std::string, bool>> Drawn;
    void DrawItem(TCustomListView*, TListItem* it, TCustomDrawState state, TCustomDrawStage stage, bool&)
    {
        if (stage == cdPrePaint)
            Drawn.emplace_back(it->Caption(), state.Contains(cdsSelected));
    }
};

TEST_F(GuiListViewTest, ReportColumnsReachTheHeader)
{
    Make(false);
    List->SetViewStyle(vsReport);
    TListColumn* name = List->Columns()->Add();
    name->SetCaption("Name");
    name->SetWidth(120);
    TListColumn* size = List->Columns()->Add();
    size->SetCaption("Size");
    size->SetAlignment(taRightJustify);
    Add("movie.mp4", {"12 MB"});
    Add("clip.avi", {"3 MB"});
    List->SetParent(Form);
    Form->Show();
    Pump();

    ASSERT_NE(Header(), nullptr);
    char cls[32] = {};
    GetClassName(Header(), cls, sizeof(cls));
    EXPECT_STREQ(cls, "SysHeader32");
    EXPECT_EQ(SendMessage(Header(), HDM_GETITEMCOUNT, 0, 0), 2);
    int w = 0, fmt = 0;
    EXPECT_EQ(HeaderText(0, &w), "Name");
    EXPECT_EQ(w, 120);
    EXPECT_EQ(HeaderText(1, &w, &fmt), "Size");
    EXPECT_EQ(w, 50);
    EXPECT_EQ(fmt, HDF_RIGHT);
    EXPECT_EQ(NativeText(1, 1), "3 MB");

    // Later changes: a caption, a width, a new column, a removed one.
    size->SetCaption("Bytes");
    size->SetWidth(80);
    TListColumn* type = List->Columns()->Add();
    type->SetCaption("Type");
    EXPECT_EQ(HeaderText(1, &w), "Bytes");
    EXPECT_EQ(w, 80);
    EXPECT_EQ(HeaderText(2), "Type");
    delete List->Columns()->Items(0);
    EXPECT_EQ(SendMessage(Header(), HDM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(HeaderText(0), "Bytes");
    EXPECT_EQ(List->Column(0)->Width(), 80);

    // An auto-sized column takes what the others leave.
    type->SetAutoSize(true);
    RECT c;
    GetClientRect(List->Handle(), &c);
    EXPECT_EQ(type->Width(), c.right - 80);

    // A click on a section is a column click.
    List->OnColumnClick = TLVColumnClickEvent::Bind(this, &GuiListViewTest::ColumnClicked);
    RECT r{};
    SendMessage(Header(), HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
    SendMessage(Header(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.left + 5, r.top + 3));
    SendMessage(Header(), WM_LBUTTONUP, 0, MAKELPARAM(r.left + 5, r.top + 3));
    EXPECT_EQ(Log, std::vector<std::string>{"column Bytes"});
}

TEST_F(GuiListViewTest, ItemsMirrorIntoTheWindowAndSelectionIsReported)
{
    Make();
    List->SetViewStyle(vsReport);
    List->Columns()->Add()->SetCaption("A");
    List->Columns()->Add()->SetCaption("B");
    List->OnSelectItem = TLVSelectItemEvent::Bind(this, &GuiListViewTest::Selected);
    List->OnDeletion = TLVNotifyEvent::Bind(this, &GuiListViewTest::Deleted);
    List->OnInsert = TLVNotifyEvent::Bind(this, &GuiListViewTest::Inserted);
    TListItem* one = Add("one", {"1"});
    TListItem* two = Add("two");
    TListItem* zero = List->Items()->Insert(0);
    zero->SetCaption("zero");
    EXPECT_EQ(Log, (std::vector<std::string>{"insert", "insert", "insert"}));
    EXPECT_EQ(NativeCaptions(), "zero,one,two");
    two->SubItems()->Add("2");
    EXPECT_EQ(NativeText(2, 1), "2");
    EXPECT_EQ(two->Index(), 2);
    int data = 5;
    one->SetData(&data);
    EXPECT_EQ(List->Items()->Item(1)->Data(), &data);

    Log.clear();
    List->SetSelected(one);
    EXPECT_EQ(List->Selected(), one);
    EXPECT_EQ(List->ItemIndex(), 1);
    EXPECT_EQ(List->ItemFocused(), one);
    List->SetItemIndex(2);
    EXPECT_EQ(Log, (std::vector<std::string>{"select one", "unselect one", "select two"}));
    EXPECT_EQ(List->SelCount(), 1);

    // A click selects the item under the pointer.
    Log.clear();
    TRect r = zero->DisplayRect(drBounds);
    ASSERT_GT(r.Width(), 0);
    EXPECT_EQ(List->GetItemAt(r.left + 3, r.top + 2), zero);
    SendMessage(List->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.left + 3, r.top + 2));
    SendMessage(List->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(r.left + 3, r.top + 2));
    EXPECT_EQ(List->Selected(), zero);
    EXPECT_EQ(Log, (std::vector<std::string>{"unselect two", "select zero"}));

    Log.clear();
    List->Items()->Delete(0);
    EXPECT_EQ(Log, std::vector<std::string>{"delete zero"});
    EXPECT_EQ(NativeCaptions(), "one,two");
    EXPECT_EQ(List->Selected(), nullptr);
    EXPECT_THROW(List->Items()->Delete(5), ERangeError);
    EXPECT_THROW(List->Items()->SetCount(3), EInvalidOperation);

    Log.clear();
    List->Items()->Clear();
    EXPECT_EQ(Log, (std::vector<std::string>{"delete one", "delete two"}));
    EXPECT_EQ(SendMessage(List->Handle(), LVM_GETITEMCOUNT, 0, 0), 0);
}

TEST_F(GuiListViewTest, SortingReordersItemsAndKeepsTheirSelection)
{
    Make();
    List->SetViewStyle(vsReport);
    List->Columns()->Add();
    List->Columns()->Add();
    for (const char* s : {"delta", "Alpha", "charlie", "bravo"})
        Add(s, {std::string("sub-") + s});
    List->SetMultiSelect(true);
    List->Items()->Item(2)->SetSelected(true);  // charlie
    List->Items()->Item(0)->SetFocused(true);   // delta

    List->AlphaSort();
    EXPECT_EQ(Captions(), "Alpha,bravo,charlie,delta");
    EXPECT_EQ(NativeCaptions(), Captions());
    EXPECT_EQ(NativeText(3, 1), "sub-delta");
    EXPECT_EQ(List->Selected()->Caption(), "charlie");
    EXPECT_EQ(List->ItemFocused()->Caption(), "delta");
    EXPECT_EQ(List->SelCount(), 1);

    List->OnCompare = TLVCompareEvent::Bind(this, &GuiListViewTest::Reverse);
    List->AlphaSort();
    EXPECT_EQ(NativeCaptions(), "delta,charlie,bravo,Alpha");
    List->CustomSort([](LPARAM a, LPARAM b, LPARAM dir) {
        return static_cast<int>(dir) * AnsiCompareText(reinterpret_cast<TListItem*>(a)->SubItems()->Strings(0),
                                                       reinterpret_cast<TListItem*>(b)->SubItems()->Strings(0)); },
                     1);
    EXPECT_EQ(NativeCaptions(), "Alpha,bravo,charlie,delta");

    List->OnCompare = TLVCompareEvent::Bind(this, &GuiListViewTest::Throwing);
    EXPECT_THROW(List->AlphaSort(), EInvalidOperation);
    EXPECT_EQ(NativeCaptions(), "Alpha,bravo,charlie,delta");

    List->OnCompare = nullptr;
    List->SetSortType(stText);
    Add("aardvark");
    List->Items()->Item(4)->SetCaption("echo");
    EXPECT_EQ(NativeCaptions(), "aardvark,Alpha,bravo,charlie,echo");
}

TEST_F(GuiListViewTest, FindCaptionSearchesFromAnIndexAndWraps)
{
    Make();
    for (const char* s : {"apple", "Banana", "apricot", "band"})
        Add(s);
    struct Case {
        int start;
        const char* value;
        bool partial, inclusive, wrap;
        int expected;
    } cases[] = {
        {-1, "banana", false, false, false, 1},  {0, "ap", true, false, false, 2}, {0, "ap", true, true, false, 0},
        {2, "ap", true, false, false, -1},       {2, "ap", true, false, true, 0},  {3, "BAN", true, true, true, 3},
        {0, "ban", false, true, true, -1},       {10, "apple", false, false, false, -1},
    };
    for (const Case& c : cases) {
        TListItem* found = List->FindCaption(c.start, c.value, c.partial, c.inclusive, c.wrap);
        EXPECT_EQ(found ? found->Index() : -1, c.expected) << c.value << " from " << c.start;
    }
    int data = 1;
    List->Items()->Item(3)->SetData(&data);
    EXPECT_EQ(List->FindData(0, &data, true, false), List->Items()->Item(3));
}

TEST_F(GuiListViewTest, OwnerDataAsksOnlyForShownItems)
{
    Make(true, 120);
    List->SetViewStyle(vsReport);
    List->Columns()->Add()->SetCaption("Name");
    List->Columns()->Add()->SetCaption("Detail");
    List->SetOwnerData(true);
    List->OnData = TLVOwnerDataEvent::Bind(this, &GuiListViewTest::Data);
    List->OnDataFind = TLVOwnerDataFindEvent::Bind(this, &GuiListViewTest::DataFind);
    List->Items()->SetCount(10000);
    EXPECT_EQ(SendMessage(List->Handle(), LVM_GETITEMCOUNT, 0, 0), 10000);
    Asked.clear();
    List->Repaint();
    int perPage = List->VisibleRowCount();
    ASSERT_GT(perPage, 0);
    ASSERT_FALSE(Asked.empty());
    EXPECT_LE(*Asked.rbegin(), perPage);
    EXPECT_EQ(NativeText(5, 1), "detail 5");

    // Scrolled down, the new rows are asked for, not the ones between.
    SendMessage(List->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 5000), 0);
    Asked.clear();
    List->Repaint();
    ASSERT_FALSE(Asked.empty());
    EXPECT_GE(*Asked.begin(), 5000);
    EXPECT_LE(*Asked.rbegin(), 5000 + perPage);

    TListItem* it = List->Items()->Item(9999);
    EXPECT_EQ(it->Caption(), "row 9999");
    EXPECT_EQ(it->Index(), 9999);
    List->SetItemIndex(7);
    EXPECT_EQ(List->ItemIndex(), 7);
    EXPECT_EQ(List->Selected()->Caption(), "row 7");
    EXPECT_EQ(List->FindCaption(0, "row 42", false, true, false)->Caption(), "row 42");
    EXPECT_EQ(List->FindCaption(3, "nothing", true, true, true), nullptr);
    EXPECT_EQ(Log, (std::vector<std::string>{"find row 42 from 0", "find nothing from 3"}));
    EXPECT_THROW(List->Items()->Add(), EInvalidOperation);
    EXPECT_THROW(List->Items()->SetCount(-1), ERangeError);
}

TEST_F(GuiListViewTest, CustomDrawMarksTheSelectedItem)
{
    Make();
    List->SetViewStyle(vsReport);
    List->Columns()->Add();
    Add("a");
    TListItem* b = Add("b");
    List->OnAdvancedCustomDrawItem = TLVAdvancedCustomDrawItemEvent::Bind(this, &GuiListViewTest::DrawItem);
    List->SetSelected(b);
    Drawn.clear();
    List->Repaint();
    EXPECT_EQ(Drawn, (std::vector<std::pair<std::string, bool>>{{"a", false}, {"b", true}}));
}

TEST_F(GuiListViewTest, CustomDrawReachesEachCellAndOwnerDataGivesPictures)
{
    Make();
    List->SetViewStyle(vsReport);
    List->Columns()->Add()->SetWidth(80);
    List->Columns()->Add()->SetWidth(80);
    Add("a", {"a1"});
    Add("b", {"b1"});
    SubDrawn.clear();
    List->OnCustomDrawSubItem = TLVCustomDrawSubItemEvent::Bind(this, &GuiListViewTest::DrawSubItem);
    List->Repaint();
    EXPECT_EQ(SubDrawn, (std::vector<std::string>{"a.0", "a.1", "b.0", "b.1"}));
    List->OnCustomDrawSubItem = nullptr;

    // Owner data: each shown row's picture comes from OnData.
    auto* images = new TImageList(Form);
    images->SetWidth(8);
    images->SetHeight(8);
    TBitmap strip;
    strip.SetSize(16, 8);
    strip.Canvas()->Brush()->SetColor(clBlue);
    strip.Canvas()->FillRect(TRect(0, 0, 8, 8));
    strip.Canvas()->Brush()->SetColor(clLime);
    strip.Canvas()->FillRect(TRect(8, 0, 16, 8));
    images->Add(&strip, nullptr);
    List->Items()->Clear();
    List->SetOwnerData(true);
    List->SetSmallImages(images);
    List->OnData = TLVOwnerDataEvent::Bind(this, &GuiListViewTest::PictureData);
    List->Items()->SetCount(2);
    List->Repaint();
    auto colourIn = [this](int row, COLORREF want) {
        TRect r = List->Items()->Item(row)->DisplayRect(drBounds);
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.left + 20; ++x) {
                TPoint p = List->ClientToScreen(TPoint(x, y));
                if (ScreenPixel(p.x, p.y) == want)
                    return true;
            }
        return false;
    };
    EXPECT_TRUE(colourIn(0, RGB(0, 0, 255)));
    EXPECT_FALSE(colourIn(0, RGB(0, 255, 0)));
    EXPECT_TRUE(colourIn(1, RGB(0, 255, 0)));
}

TEST_F(GuiListViewTest, ScrollMessagesAndScrollMoveTheTopItem)
{
    Make(true, 120);
    List->SetViewStyle(vsReport);
    List->Columns()->Add()->SetWidth(200);
    for (int i = 0; i < 60; ++i)
        Add("item " + std::to_string(i));
    int perPage = List->VisibleRowCount();
    ASSERT_GT(perPage, 0);
    ASSERT_LT(perPage, 60);
    SendMessage(List->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 20), 0);
    EXPECT_EQ(List->TopItem()->Caption(), "item 20");
    TRect r = List->Items()->Item(0)->DisplayRect(drBounds);
    List->Scroll(0, 3 * r.Height());
    EXPECT_EQ(List->TopItem()->Caption(), "item 23");
    List->Scroll(0, -5 * r.Height());
    EXPECT_EQ(List->TopItem()->Caption(), "item 18");
    List->Items()->Item(50)->MakeVisible(false);
    EXPECT_GE(List->TopItem()->Index() + perPage, 51);
}

TEST_F(GuiListViewTest, ItemsSurviveRecreatingTheWindow)
{
    Make(true, 120);
    List->SetViewStyle(vsReport);
    List->Columns()->Add()->SetCaption("Name");
    List->Columns()->Add()->SetCaption("Size");
    for (int i = 0; i < 30; ++i)
        Add("f" + std::to_string(i), {std::to_string(i * 10)});
    List->SetMultiSelect(true);
    List->Items()->Item(4)->SetSelected(true);
    List->Items()->Item(6)->SetSelected(true);
    List->Items()->Item(6)->SetFocused(true);
    SendMessage(List->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 10), 0);
    // A section dragged wider by hand keeps its width.
    HDITEM hd;
    hd.mask = HDI_WIDTH;
    hd.cxy = 140;
    SendMessage(Header(), HDM_SETITEM, 1, reinterpret_cast<LPARAM>(&hd));
    List->OnSelectItem = TLVSelectItemEvent::Bind(this, &GuiListViewTest::Selected);

    HWND before = List->Handle();
    List->RecreateWnd();
    EXPECT_NE(List->Handle(), before);
    EXPECT_TRUE(Log.empty());
    EXPECT_EQ(SendMessage(List->Handle(), LVM_GETITEMCOUNT, 0, 0), 30);
    EXPECT_EQ(NativeText(29, 1), "290");
    EXPECT_EQ(List->SelCount(), 2);
    EXPECT_TRUE(List->Items()->Item(4)->Selected());
    EXPECT_EQ(List->ItemFocused(), List->Items()->Item(6));
    EXPECT_EQ(List->TopItem()->Caption(), "f10");
    int w = 0;
    EXPECT_EQ(HeaderText(1, &w), "Size");
    EXPECT_EQ(w, 140);

    // Switching the style keeps the items too.
    List->SetViewStyle(vsList);
    EXPECT_EQ(GetWindowLong(List->Handle(), GWL_STYLE) & LVS_TYPEMASK, static_cast<LONG>(LVS_LIST));
    List->SetViewStyle(vsIcon);
    EXPECT_EQ(List->Items()->Count(), 30);
}

}  // namespace

namespace {

TEST_F(GuiListViewTest, ReadsItsPropertiesAndColumnsFromADescription)
{
    Make();
    RegisterListViewsClasses();
    ReadComponentText(List, "object Files: TListView\n"
                            "  ViewStyle = vsReport\n"
                            "  MultiSelect = True\n"
                            "  SortType = stText\n"
                            "  IconOptions.WrapText = False\n"
                            "  Columns = <\n"
                            "    item\n"
                            "      Caption = 'Name'\n"
                            "      Width = 120\n"
                            "    end\n"
                            "    item\n"
                            "      Caption = 'Size'\n"
                            "      Alignment = taRightJustify\n"
                            "      AutoSize = True\n"
                            "    end>\n"
                            "  ItemData = ('b.mp4' 2 1 '12 MB' 'a.avi' -1 0)\n"
                            "end\n");
    EXPECT_EQ(NativeCaptions(), "a.avi,b.mp4");
    EXPECT_EQ(NativeText(1, 1), "12 MB");
    EXPECT_EQ(List->Items()->Item(1)->ImageIndex(), 2);
    // Written back and read again, the same items come out.
    auto* copy = new TListView(Owner);
    ReadComponentText(copy, WriteComponentText(List));
    ASSERT_EQ(copy->Items()->Count(), 2);
    EXPECT_EQ(copy->Items()->Item(1)->Caption(), "b.mp4");
    EXPECT_EQ(copy->Items()->Item(1)->ImageIndex(), 2);
    EXPECT_EQ(copy->Items()->Item(1)->SubItems()->Strings(0), "12 MB");
    EXPECT_EQ(copy->Items()->Item(0)->SubItems()->Count(), 0);
    EXPECT_EQ(copy->Columns()->Count(), 2);
    EXPECT_EQ(List->Name(), "Files");
    EXPECT_EQ(List->ViewStyle(), vsReport);
    EXPECT_TRUE(List->MultiSelect());
    EXPECT_EQ(List->SortType(), stText);
    EXPECT_FALSE(List->IconOptions()->WrapText());
    ASSERT_EQ(List->Columns()->Count(), 2);
    EXPECT_EQ(List->Column(0)->Width(), 120);
    EXPECT_TRUE(List->Column(1)->AutoSize());
    EXPECT_EQ(List->Column(1)->Alignment(), taRightJustify);
    EXPECT_EQ(HeaderText(0), "Name");
    EXPECT_EQ(HeaderText(1), "Size");
    EXPECT_EQ(GetWindowLong(List->Handle(), GWL_STYLE) & LVS_TYPEMASK, static_cast<LONG>(LVS_REPORT));

    auto* other = new TListView(Form);
    EXPECT_THROW(ReadComponentText(other, "object L: TListView\n  ViewStyle = vsNowhere\nend\n"), EReadError);
    EXPECT_THROW(ReadComponentText(other, "object L: TListView\n  ItemData = ('x' 0 5 'y')\nend\n"), EReadError);
    EXPECT_THROW(ReadComponentText(other, "object L: TListView\n  ItemData = ('x' 0 -1)\nend\n"), EReadError);
}

}  // namespace

namespace {

TEST_F(GuiListViewTest, CaptionsAreEditedInPlace)
{
    Make();
    List->SetViewStyle(vsReport);
    List->Columns()->Add()->SetWidth(150);
    TListItem* item = Add("old");
    TListItem* fixed = Add("fixed");
    List->OnEditing = TLVEditingEvent::Bind(this, &GuiListViewTest::Editing);
    List->OnEdited = TLVEditedEvent::Bind(this, &GuiListViewTest::Edited);

    struct Case {
        bool cancel;
        const char* typed;
        const char* caption;
        std::vector<std::string> log;
    } cases[] = {
        {false, "new", "new!", {"edited old -> new"}},
        {true, "ignored", "new!", {}},
    };
    for (const Case& c : cases) {
        Log.clear();
        ASSERT_TRUE(item->EditCaption());
        EXPECT_TRUE(List->IsEditing());
        HWND editor = reinterpret_cast<HWND>(SendMessage(List->Handle(), LVM_GETEDITCONTROL, 0, 0));
        ASSERT_NE(editor, nullptr);
        SetWindowText(editor, c.typed);
        if (c.cancel)
            item->CancelEdit();
        else
            SendMessage(editor, WM_KEYDOWN, VK_RETURN, 0);
        EXPECT_FALSE(List->IsEditing());
        EXPECT_EQ(item->Caption(), c.caption);
        EXPECT_EQ(NativeText(0), c.caption);
        EXPECT_EQ(Log, c.log);
    }
    EXPECT_FALSE(fixed->EditCaption());
    List->SetReadOnly(true);
    EXPECT_FALSE(item->EditCaption());
}

TEST_F(GuiListViewTest, OwnerDataAnswersTheWindowsSearch)
{
    Make();
    List->SetViewStyle(vsReport);
    List->Columns()->Add();
    List->SetOwnerData(true);
    List->OnData = TLVOwnerDataEvent::Bind(this, &GuiListViewTest::Data);
    List->OnDataFind = TLVOwnerDataFindEvent::Bind(this, &GuiListViewTest::DataFind);
    List->Items()->SetCount(100);
    LVFINDINFO fi;
    fi.flags = LVFI_STRING | LVFI_WRAP;
    fi.psz = "row 42";
    EXPECT_EQ(SendMessage(List->Handle(), LVM_FINDITEM, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&fi)), 42);
    ASSERT_EQ(Log.size(), 1u);
    EXPECT_EQ(Log[0].substr(0, 12), "find row 42 ");
}

}  // namespace

namespace {

TEST_F(GuiListViewTest, CheckBoxesKeepEachItemsMark)
{
    Make();
    List->SetViewStyle(vsReport);
    List->Columns()->Add()->SetWidth(150);
    TListItem* a = Add("a");
    TListItem* b = Add("b");
    b->SetChecked(true);  // kept by the item until the boxes show
    List->SetCheckboxes(true);
    EXPECT_EQ(SendMessage(List->Handle(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_CHECKBOXES,
              static_cast<LRESULT>(LVS_EX_CHECKBOXES));
    EXPECT_FALSE(a->Checked());
    EXPECT_TRUE(b->Checked());
    std::vector<std::string> changes;
    struct Rec {
        static void Change(void* log, TObject*, TListItem* it, TItemChange c)
        {
            if (c == ctState)
                static_cast<std::vector<std::string>*>(log)->push_back(it->Caption());
        }
    };
    List->OnChange = TLVChangeEvent::Bind(&changes, &Rec::Change);
    a->SetChecked(true);
    EXPECT_TRUE(a->Checked());
    EXPECT_EQ(changes, std::vector<std::string>{"a"});
    // Space toggles the focused item's mark.
    List->SetItemFocused(b);
    SendMessage(List->Handle(), WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_FALSE(b->Checked());
    List->SetSortType(stNone);
    List->OnCompare = TLVCompareEvent::Bind(this, &GuiListViewTest::Reverse);
    List->AlphaSort();
    EXPECT_TRUE(List->Items()->Item(1)->Checked());
    EXPECT_FALSE(List->Items()->Item(0)->Checked());
    List->RecreateWnd();
    EXPECT_TRUE(a->Checked());
    EXPECT_FALSE(b->Checked());
    List->SetCheckboxes(false);
    EXPECT_TRUE(a->Checked());
    List->SetGridLines(true);
    List->SetRowSelect(true);
    EXPECT_EQ(SendMessage(List->Handle(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0),
              static_cast<LRESULT>(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT));
}

}  // namespace
