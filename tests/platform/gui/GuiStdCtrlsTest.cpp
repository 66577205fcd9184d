// The edit, memo and list box wrappers over the native windows: typing,
// selection, clipboard and undo through the wrapper, change events, state kept
// across window re-creation, lines, owner drawing and selection.
#include "GuiTestCommon.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/classes/FormReader.h"
#include "platform/gui/Mask.h"
#include "platform/gui/StdCtrls.h"
#include "platform/user/controls/CommCtrl.h"

#include <functional>
#include <tuple>

namespace {

class GuiStdCtrlsTest : public GuiTest {
protected:
    struct TCounter : TObject {
        int Changes = 0;
        int Clicks = 0;
        void Change(TObject*) { ++Changes; }
        void Click(TObject*) { ++Clicks; }
    };
    TCustomForm* Form = nullptr;
    TCounter Count;

    TCustomForm* ShownForm()
    {
        Form = NewForm(100, 100, 400, 300);
        return Form;
    }
    template <class T>
    T* Make(int x, int y, int w, int h)
    {
        if (!Form)
            ShownForm();
        auto* c = new T(Form);
        c->SetParent(Form);
        c->SetBounds(x, y, w, h);
        return c;
    }
    void ShowAndFocus(TWinControl* c)
    {
        Form->Show();
        Pump();
        c->SetFocus();
        Pump();
    }
    static void Type(const std::string& s)
    {
        HeadlessTypeText(s);
        Pump();
    }
    static void Key(WORD vk)
    {
        HeadlessKeyPress(vk);
        Pump();
    }
    static void Chord(WORD mod, WORD vk)
    {
        HeadlessKeyDown(mod);
        HeadlessKeyPress(vk);
        HeadlessKeyUp(mod);
        Pump();
    }
};

TEST_F(GuiStdCtrlsTest, EditTypingSelectionClipboardAndUndoGoThroughTheWrapper)
{
    auto* e = Make<TEdit>(10, 10, 150, 24);
    e->SetText("hello");
    e->OnChange = MakeEvent(&Count, &TCounter::Change);
    ShowAndFocus(e);
    // Entering selects everything (AutoSelect).
    EXPECT_EQ(e->SelStart(), 0);
    EXPECT_EQ(e->SelLength(), 5);
    Type("abc");
    EXPECT_EQ(e->Text(), "abc");
    EXPECT_EQ(Count.Changes, 3);
    EXPECT_TRUE(e->Modified());

    e->SetSelStart(1);
    e->SetSelLength(1);
    EXPECT_EQ(e->SelText(), "b");
    e->CutToClipboard();
    EXPECT_EQ(e->Text(), "ac");
    EXPECT_EQ(ClipboardGetText(), "b");
    EXPECT_TRUE(e->CanUndo());
    e->Undo();
    EXPECT_EQ(e->Text(), "abc");

    e->SelectAll();
    e->CopyToClipboard();
    e->ClearSelection();
    EXPECT_EQ(e->Text(), "");
    e->PasteFromClipboard();
    EXPECT_EQ(e->Text(), "abc");
    e->SetSelStart(3);
    e->SetSelText("!");
    EXPECT_EQ(e->Text(), "abc!");

    // Keyboard commands reach the same messages.
    Chord(VK_CONTROL, 'A');
    Chord(VK_CONTROL, 'X');
    EXPECT_EQ(e->Text(), "");
    EXPECT_EQ(ClipboardGetText(), "abc!");
    Chord(VK_CONTROL, 'Z');
    EXPECT_EQ(e->Text(), "abc!");
    e->ClearUndo();
    EXPECT_FALSE(e->CanUndo());

    // Read-only: nothing typed, cut or pasted changes it; copying still works.
    int before = Count.Changes;
    e->SetReadOnly(true);
    e->SelectAll();
    Type("zz");
    Chord(VK_CONTROL, 'X');
    Chord(VK_CONTROL, 'V');
    EXPECT_EQ(e->Text(), "abc!");
    EXPECT_EQ(Count.Changes, before);
    ClipboardSetText("");
    Chord(VK_CONTROL, 'C');
    EXPECT_EQ(ClipboardGetText(), "abc!");
}

TEST_F(GuiStdCtrlsTest, EditOnChangeFiresOncePerRealChange)
{
    auto* e = Make<TEdit>(10, 10, 150, 24);
    e->OnChange = MakeEvent(&Count, &TCounter::Change);
    e->SetText("before window");  // no window yet: nothing to report
    EXPECT_EQ(Count.Changes, 0);
    ShowAndFocus(e);
    EXPECT_EQ(Count.Changes, 0);  // making the window is no change
    e->SetText("one");
    EXPECT_EQ(Count.Changes, 1);
    e->SetText("one");
    EXPECT_EQ(Count.Changes, 1);
    e->Clear();
    EXPECT_EQ(Count.Changes, 2);
    Key(VK_BACK);  // nothing to delete
    EXPECT_EQ(Count.Changes, 2);
}

TEST_F(GuiStdCtrlsTest, EditStateIsKeptAcrossWindowRecreation)
{
    auto* e = Make<TEdit>(10, 10, 150, 24);
    e->SetText("Keep me");
    e->SetMaxLength(9);
    e->SetModified(true);
    EXPECT_FALSE(e->HandleAllocated());
    ShowAndFocus(e);
    EXPECT_EQ(GetWindowTextString(e->Handle()), "Keep me");
    EXPECT_TRUE(e->Modified());

    // Each of these re-creates the window.
    struct {
        const char* what;
        std::function<void()> change;
        const char* text;
        DWORD style;
    } cases[] = {
        {"alignment", [&] { e->SetAlignment(taRightJustify); }, "Keep me", ES_RIGHT},
        {"password", [&] { e->SetPasswordChar('*'); }, "Keep me", ES_PASSWORD},
        {"upper case", [&] { e->SetCharCase(ecUpperCase); }, "KEEP ME", ES_UPPERCASE},
        {"no border", [&] { e->SetBorderStyle(bsNone); }, "KEEP ME", 0},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.what);
        HWND old = e->Handle();
        c.change();
        EXPECT_NE(e->Handle(), old);
        EXPECT_EQ(e->Text(), c.text);
        EXPECT_TRUE(e->Modified());
        EXPECT_EQ(static_cast<DWORD>(GetWindowLong(e->Handle(), GWL_STYLE)) & c.style, c.style);
    }
    EXPECT_EQ(GetWindowLong(e->Handle(), GWL_EXSTYLE) & static_cast<LONG>(WS_EX_CLIENTEDGE), 0);

    // The limit still holds in the new window.
    e->SetFocus();
    Pump();
    EXPECT_EQ(GetFocus(), e->Handle());
    e->SetSelStart(7);
    Type("12345");
    EXPECT_EQ(e->Text(), "KEEP ME12");

    // The parent's window going first takes the edit's with it.
    Form->RecreateWnd();
    Pump();
    EXPECT_EQ(GetWindowTextString(e->Handle()), "KEEP ME12");
}

TEST_F(GuiStdCtrlsTest, EditAnswersItsColourRequestWithItsFontAndColour)
{
    auto* e = Make<TEdit>(10, 10, 150, 24);
    e->SetColor(clRed);
    e->Font()->SetColor(clBlue);
    e->SetText("x");
    Form->Show();
    Pump();
    HDC dc = GetDC(e->Handle());
    LRESULT b = SendMessage(Form->Handle(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                            reinterpret_cast<LPARAM>(e->Handle()));
    EXPECT_NE(b, 0);
    EXPECT_EQ(GetTextColor(dc), ColorToRGB(clBlue));
    EXPECT_EQ(GetBkColor(dc), ColorToRGB(clRed));
    ReleaseDC(e->Handle(), dc);
    // The background is painted in the edit's colour.
    TPoint p = e->ClientToScreen(TPoint(e->ClientWidth() - 3, e->ClientHeight() - 3));
    EXPECT_EQ(ScreenPixel(p.x, p.y), ColorToRGB(clRed));
}

TEST_F(GuiStdCtrlsTest, MemoLinesFollowTheTextWhateverTheWrapping)
{
    auto* m = Make<TMemo>(10, 10, 90, 120);
    m->Lines()->Add("first line that is far too long for the memo's width");
    m->Lines()->Add("second");
    EXPECT_EQ(m->Text(), "first line that is far too long for the memo's width\r\nsecond\r\n");
    m->OnChange = MakeEvent(&Count, &TCounter::Change);
    ShowAndFocus(m);
    ASSERT_TRUE(m->WordWrap());
    // The native lines wrap; the memo's Lines are the text's own.
    EXPECT_GT(SendMessage(m->Handle(), EM_GETLINECOUNT, 0, 0), 3);
    ASSERT_EQ(m->Lines()->Count(), 2);
    EXPECT_EQ(m->Lines()->Strings(1), "second");

    m->Lines()->Insert(1, "middle");
    m->Lines()->SetStrings(0, "one");
    m->Lines()->Delete(2);
    EXPECT_EQ(m->Text(), "one\r\nmiddle\r\n");
    EXPECT_EQ(Count.Changes, 3);
    m->Lines()->SetText("a\nb\rc");
    EXPECT_EQ(m->Text(), "a\r\nb\r\nc\r\n");
    EXPECT_EQ(m->Lines()->Text(), "a\r\nb\r\nc\r\n");
    EXPECT_THROW(m->Lines()->Strings(3), EListError);

    // Typed lines show up in Lines; turning wrapping off keeps the text.
    m->SelectAll();
    Type("x");
    Key(VK_RETURN);
    Type("y");
    EXPECT_EQ(m->Lines()->Count(), 2);
    EXPECT_EQ(m->Lines()->Strings(1), "y");
    HWND old = m->Handle();
    m->SetWordWrap(false);
    EXPECT_NE(m->Handle(), old);
    EXPECT_EQ(m->Text(), "x\r\ny");
    EXPECT_EQ(SendMessage(m->Handle(), EM_GETLINECOUNT, 0, 0), 2);
    EXPECT_NE(GetWindowLong(m->Handle(), GWL_STYLE) & static_cast<LONG>(ES_AUTOHSCROLL), 0);
    m->SetScrollBars(ssVertical);
    EXPECT_NE(GetWindowLong(m->Handle(), GWL_STYLE) & static_cast<LONG>(WS_VSCROLL), 0);
    EXPECT_EQ(m->Text(), "x\r\ny");
}

TEST_F(GuiStdCtrlsTest, MemoReturnsAndTabsFollowWantReturnsAndWantTabs)
{
    auto* m = Make<TMemo>(10, 10, 150, 100);
    auto* other = Make<TEdit>(10, 150, 100, 24);
    ShowAndFocus(m);
    struct {
        bool returns, tabs;
        WORD key;
        const char* text;
        bool keepsFocus;
    } cases[] = {
        {true, false, VK_RETURN, "a\r\n", true},
        {false, false, VK_RETURN, "a", true},
        {true, true, VK_TAB, "a\t", true},
        {true, false, VK_TAB, "a", false},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.key == VK_RETURN ? "return" : "tab");
        m->SetWantReturns(c.returns);
        m->SetWantTabs(c.tabs);
        m->SetText("a");
        m->SetFocus();
        Pump();
        m->SetSelStart(1);
        Key(c.key);
        EXPECT_EQ(m->Text(), c.text);
        EXPECT_EQ(Form->ActiveControl() == m, c.keepsFocus);
    }
    (void)other;
}

// ---- List boxes ---------------------------------------------------------------

std::vector<std::string> ItemsOf(TCustomListBox* l)
{
    std::vector<std::string> v;
    for (int i = 0; i < l->Items()->Count(); ++i)
        v.push_back(l->Items()->Strings(i));
    return v;
}

TEST_F(GuiStdCtrlsTest, ListBoxItemsAndSelectionAreKeptWithoutAndAcrossWindows)
{
    auto* l = Make<TListBox>(10, 10, 150, 100);
    TObject tag;
    l->SetSorted(true);
    l->Items()->Add("pear");
    l->Items()->AddObject("Apple", &tag);
    l->Items()->Add("fig");
    l->SetItemIndex(1);
    EXPECT_EQ(ItemsOf(l), (std::vector<std::string>{"Apple", "fig", "pear"}));
    EXPECT_EQ(l->Items()->Objects(0), &tag);
    EXPECT_FALSE(l->HandleAllocated());

    Form->Show();
    Pump();
    ASSERT_TRUE(l->HandleAllocated());
    EXPECT_EQ(SendMessage(l->Handle(), LB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(l->ItemIndex(), 1);
    EXPECT_EQ(l->Items()->Objects(0), &tag);
    l->Items()->Add("banana");
    EXPECT_EQ(ItemsOf(l), (std::vector<std::string>{"Apple", "banana", "fig", "pear"}));

    // Unsorted lists keep the order items come in; the window is re-made.
    HWND old = l->Handle();
    l->SetSorted(false);
    EXPECT_NE(l->Handle(), old);
    l->Items()->Insert(0, "zucchini");
    l->Items()->Move(0, 4);
    l->Items()->Exchange(0, 1);
    EXPECT_EQ(ItemsOf(l), (std::vector<std::string>{"banana", "Apple", "fig", "pear", "zucchini"}));
    EXPECT_EQ(l->Items()->Objects(1), &tag);
    l->Items()->SetStrings(2, "grape");
    EXPECT_EQ(l->Items()->Strings(2), "grape");
    EXPECT_EQ(l->Items()->IndexOf("PEAR"), 3);
    EXPECT_THROW(l->Items()->Strings(9), EListError);
    EXPECT_THROW(l->Items()->Delete(-1), EListError);

    // A parent's re-creation keeps items, item index and the top item.
    for (int i = 0; i < 20; ++i)
        l->Items()->Add("more " + std::to_string(i));
    l->SetItemIndex(3);
    l->SetTopIndex(5);
    Form->RecreateWnd();
    Pump();
    EXPECT_EQ(l->Items()->Count(), 25);
    EXPECT_EQ(l->ItemIndex(), 3);
    EXPECT_EQ(l->TopIndex(), 5);
    l->Clear();
    EXPECT_EQ(l->Items()->Count(), 0);
    EXPECT_EQ(l->ItemIndex(), -1);
}

TEST_F(GuiStdCtrlsTest, OwnerDrawnListBoxDrawsEachVisibleItemWithItsRectAndState)
{
    struct TDraw : TObject {
        std::vector<std::tuple<int, TRect, bool, bool>> Calls;
        TCustomListBox* List = nullptr;
        void Draw(TWinControl* c, int i, TRect r, TOwnerDrawState s)
        {
            Calls.emplace_back(i, r, s.Contains(odSelected), s.Contains(odFocused));
            TCanvas* cv = List->Canvas();
            cv->Brush()->SetColor(s.Contains(odSelected) ? clRed : clLime);
            cv->FillRect(r);
        }
    } draw;
    auto* l = Make<TListBox>(10, 10, 150, 74);
    l->SetBorderStyle(bsNone);
    l->SetStyle(lbOwnerDrawFixed);
    l->SetItemHeight(20);
    draw.List = l;
    l->OnDrawItem = MakeEvent(&draw, &TDraw::Draw);
    for (int i = 0; i < 10; ++i)
        l->Items()->Add("item " + std::to_string(i));
    l->SetItemIndex(2);
    l->SetTopIndex(1);
    ShowAndFocus(l);
    draw.Calls.clear();
    l->Repaint();
    // 74 pixels show items 1..3 whole and item 4 in part.
    ASSERT_EQ(draw.Calls.size(), 4u);
    for (int k = 0; k < 4; ++k) {
        auto [i, r, sel, focus] = draw.Calls[static_cast<std::size_t>(k)];
        SCOPED_TRACE(k);
        EXPECT_EQ(i, k + 1);
        EXPECT_EQ(r, TRect(0, 20 * k, 150, 20 * k + 20));
        EXPECT_EQ(sel, i == 2);
        EXPECT_EQ(focus, i == 2);
    }
    EXPECT_EQ(l->ItemHeight(), 20);
    TPoint sel = l->ClientToScreen(TPoint(70, 30));
    TPoint plain = l->ClientToScreen(TPoint(70, 50));
    EXPECT_EQ(ScreenPixel(sel.x, sel.y), ColorToRGB(clRed));
    EXPECT_EQ(ScreenPixel(plain.x, plain.y), ColorToRGB(clLime));

    // Without OnDrawItem the item's text is drawn on the highlight.
    l->OnDrawItem = nullptr;
    l->Repaint();
    EXPECT_EQ(ScreenPixel(sel.x - 60, sel.y), GetSysColor(COLOR_HIGHLIGHT));

    // The item height survives the window's re-creation.
    l->SetColumns(2);
    EXPECT_EQ(SendMessage(l->Handle(), LB_GETITEMHEIGHT, 0, 0), 20);
}

TEST_F(GuiStdCtrlsTest, VariableOwnerDrawAsksOnMeasureItemForEachItem)
{
    struct TMeasure : TObject {
        std::vector<int> Asked;
        void Measure(TWinControl*, int i, int& h)
        {
            Asked.push_back(i);
            h = 20 + 5 * i;
        }
    } measure;
    auto* l = Make<TListBox>(10, 10, 150, 100);
    l->SetBorderStyle(bsNone);
    l->SetStyle(lbOwnerDrawVariable);
    l->OnMeasureItem = MakeEvent(&measure, &TMeasure::Measure);
    l->Items()->Add("a");
    l->Items()->Add("b");
    Form->Show();
    Pump();
    EXPECT_EQ(measure.Asked, (std::vector<int>{0, 1}));
    EXPECT_EQ(l->ItemRect(0), TRect(0, 0, 150, 20));
    EXPECT_EQ(l->ItemRect(1), TRect(0, 20, 150, 45));
    l->Items()->Add("c");
    EXPECT_EQ(l->ItemRect(2), TRect(0, 45, 150, 75));
    // Re-made, the window measures its items again.
    measure.Asked.clear();
    l->SetIntegralHeight(true);
    EXPECT_EQ(measure.Asked, (std::vector<int>{0, 1, 2}));
}

TEST_F(GuiStdCtrlsTest, MultiSelectListBoxSelectsByMouseAndKeepsSelectionAcrossRecreation)
{
    auto* l = Make<TListBox>(10, 10, 150, 160);
    l->SetMultiSelect(true);
    for (int i = 0; i < 6; ++i)
        l->Items()->Add("item " + std::to_string(i));
    l->SetSelected(4, true);  // before the window exists
    EXPECT_EQ(l->SelCount(), 1);
    l->OnClick = MakeEvent(&Count, &TCounter::Click);
    ShowAndFocus(l);
    EXPECT_TRUE(l->Selected(4));
    const int h = l->ItemHeight();
    auto clickItem = [&](int i, WORD mod) {
        TPoint p = l->ClientToScreen(TPoint(20, i * h + h / 2));
        if (mod)
            HeadlessKeyDown(mod);
        HeadlessClick(p.x, p.y);
        if (mod)
            HeadlessKeyUp(mod);
        Pump();
    };
    clickItem(1, 0);
    clickItem(3, VK_SHIFT);
    EXPECT_EQ(l->SelCount(), 3);
    EXPECT_TRUE(l->Selected(1) && l->Selected(2) && l->Selected(3));
    EXPECT_FALSE(l->Selected(4));
    clickItem(5, VK_CONTROL);
    EXPECT_EQ(l->SelCount(), 4);
    EXPECT_EQ(l->ItemIndex(), 5);
    EXPECT_GE(Count.Clicks, 3);

    // Columns on and off re-make the window; the selection stays.
    l->SetColumns(2);
    EXPECT_EQ(l->SelCount(), 4);
    EXPECT_TRUE(l->Selected(5));
    l->SetColumns(0);
    l->DeleteSelected();
    EXPECT_EQ(ItemsOf(l), (std::vector<std::string>{"item 0", "item 4"}));
    l->SelectAll();
    EXPECT_EQ(l->SelCount(), 2);
    l->ClearSelection();
    EXPECT_EQ(l->SelCount(), 0);
    EXPECT_THROW(l->Selected(2), EListError);

    // A single-selection list counts no selection of its own.
    l->SetMultiSelect(false);
    EXPECT_EQ(l->SelCount(), -1);
    l->SetSelected(1, true);
    EXPECT_EQ(l->ItemIndex(), 1);
    EXPECT_TRUE(l->Selected(1));
}

TEST_F(GuiStdCtrlsTest, ListBoxItemAtPosAndItemRect)
{
    auto* l = Make<TListBox>(10, 10, 150, 100);
    l->SetBorderStyle(bsNone);
    l->SetStyle(lbOwnerDrawFixed);
    l->SetItemHeight(20);
    for (int i = 0; i < 3; ++i)
        l->Items()->Add(std::to_string(i));
    EXPECT_EQ(l->ItemAtPos(TPoint(5, 5), true), -1);  // no window yet
    Form->Show();
    Pump();
    struct {
        TPoint p;
        bool existing;
        int item;
    } cases[] = {
        {{5, 5}, true, 0},     {{149, 39}, true, 1}, {{5, 40}, false, 2},
        {{5, 70}, true, -1},   {{5, 70}, false, 3},  {{200, 5}, false, -1},
        {{-1, 5}, true, -1},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.p.x * 1000 + c.p.y);
        EXPECT_EQ(l->ItemAtPos(c.p, c.existing), c.item);
    }
    EXPECT_EQ(l->ItemRect(1), TRect(0, 20, 150, 40));
    EXPECT_EQ(l->ItemRect(3), TRect());
    for (int i = 3; i < 10; ++i)
        l->Items()->Add(std::to_string(i));
    l->SetTopIndex(1);
    EXPECT_EQ(l->ItemRect(1), TRect(0, 0, 150, 20));
    EXPECT_EQ(l->ItemAtPos(TPoint(5, 5), true), 1);

    // Several columns: items run down, then across.
    l->SetHeight(40);
    l->SetColumns(2);
    l->SetTopIndex(0);
    EXPECT_EQ(l->ItemAtPos(TPoint(80, 5), true), 2);
    EXPECT_EQ(l->ItemRect(2).left, 75);
    EXPECT_EQ(l->ItemRect(3), TRect(75, 20, 150, 40));
}

TEST_F(GuiStdCtrlsTest, BadPropertyValuesAreRefused)
{
    auto* e = Make<TEdit>(0, 0, 50, 20);
    auto* l = Make<TListBox>(0, 30, 50, 50);
    EXPECT_THROW(e->SetMaxLength(-1), ERangeError);
    EXPECT_THROW(e->SetPasswordChar(0xD800), ERangeError);
    EXPECT_THROW(e->SetBorderStyle(bsDialog), EInvalidOperation);
    EXPECT_THROW(l->SetItemHeight(0), ERangeError);
    EXPECT_THROW(l->SetItemHeight(256), ERangeError);
    EXPECT_THROW(l->SetColumns(-2), ERangeError);
    l->SetItemIndex(7);  // out of range: nothing selected
    EXPECT_EQ(l->ItemIndex(), -1);
}

// ---- Reading from a description ------------------------------------------------

class TCtlForm : public TForm {
public:
    using TForm::TForm;
    TEdit* Edit1 = nullptr;
    TMaskEdit* Time1 = nullptr;
    TMemo* Memo1 = nullptr;
    TListBox* List1 = nullptr;
    int Changes = 0;
    int Draws = 0;
    void EditChange(TObject*) { ++Changes; }
    void ListDrawItem(TWinControl*, int, TRect, TOwnerDrawState) { ++Draws; }

    PUBLISHED(TCtlForm, TForm)
    {
        P.Member("Edit1", &TCtlForm::Edit1);
        P.Member("Time1", &TCtlForm::Time1);
        P.Member("Memo1", &TCtlForm::Memo1);
        P.Member("List1", &TCtlForm::List1);
        P.Handler("EditChange", &TCtlForm::EditChange);
        P.Handler("ListDrawItem", &TCtlForm::ListDrawItem);
    }
};

const char* const kCtlForm = R"(object CtlForm: TCtlForm
  Left = 50
  Top = 50
  Width = 400
  Height = 320
  object Edit1: TEdit
    Left = 8
    Top = 8
    CharCase = ecUpperCase
    MaxLength = 12
    PasswordChar = 42
    Text = 'secret'
    OnChange = EditChange
  end
  object Time1: TMaskEdit
    Left = 8
    Top = 40
    EditMask = '!90:00:00;1; '
    Text = '01:02:03'
  end
  object Memo1: TMemo
    Left = 8
    Top = 70
    Lines.Strings = (
      'first'
      'second')
    ScrollBars = ssVertical
    WordWrap = False
    WantTabs = True
  end
  object List1: TListBox
    Left = 8
    Top = 170
    Items.Strings = (
      'b'
      'a')
    Sorted = True
    Style = lbOwnerDrawFixed
    ItemHeight = 18
    MultiSelect = True
    OnDrawItem = ListDrawItem
  end
end
)";

TEST_F(GuiStdCtrlsTest, ControlsAreReadFromADescription)
{
    RegisterClasses<TCtlForm>();
    RegisterStdCtrlsClasses();
    RegisterMaskClasses();
    auto* form = new TCtlForm(Owner);
    ReadComponentText(form, kCtlForm);
    ASSERT_TRUE(form->Edit1 && form->Time1 && form->Memo1 && form->List1);
    EXPECT_FALSE(form->Edit1->HandleAllocated()) << "reading makes no window";
    EXPECT_EQ(form->Edit1->PasswordChar(), U'*');
    EXPECT_EQ(form->Time1->EditText(), "01:02:03");
    EXPECT_EQ(form->Memo1->Lines()->Count(), 2);
    EXPECT_EQ(ItemsOf(form->List1), (std::vector<std::string>{"a", "b"}));

    form->Show();
    Pump();
    EXPECT_EQ(form->Changes, 0);
    HWND edit = form->Edit1->Handle();
    EXPECT_EQ(form->Edit1->Text(), "SECRET");
    EXPECT_EQ(SendMessage(edit, EM_GETLIMITTEXT, 0, 0), 12);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLong(edit, GWL_STYLE)) & (ES_PASSWORD | ES_UPPERCASE),
              ES_PASSWORD | ES_UPPERCASE);
    form->Edit1->SetText("x");
    EXPECT_EQ(form->Changes, 1);
    EXPECT_EQ(form->Time1->Text(), "01:02:03");
    HWND memo = form->Memo1->Handle();
    EXPECT_EQ(SendMessage(memo, EM_GETLINECOUNT, 0, 0), 3);  // the last line break starts an empty native line
    EXPECT_NE(GetWindowLong(memo, GWL_STYLE) & static_cast<LONG>(WS_VSCROLL), 0);
    EXPECT_TRUE(form->Memo1->WantTabs());
    HWND list = form->List1->Handle();
    EXPECT_EQ(SendMessage(list, LB_GETITEMHEIGHT, 0, 0), 18);
    EXPECT_NE(GetWindowLong(list, GWL_STYLE) & static_cast<LONG>(LBS_EXTENDEDSEL), 0);
    form->List1->Repaint();
    EXPECT_GE(form->Draws, 2);
}

TEST_F(GuiStdCtrlsTest, ABadValueInADescriptionIsRefusedByName)
{
    RegisterClasses<TCtlForm>();
    RegisterStdCtrlsClasses();
    struct {
        const char* body;
        const char* names;
    } cases[] = {
        {"object List1: TListBox\n    ItemHeight = 300\n  end", "ItemHeight"},
        {"object List1: TListBox\n    Style = lbFancy\n  end", "lbFancy"},
        {"object Edit1: TEdit\n    MaxLength = -4\n  end", "MaxLength"},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.body);
        std::string text = std::string("object CtlForm: TCtlForm\n  ") + c.body + "\nend\n";
        auto* form = new TCtlForm(Owner);
        try {
            ReadComponentText(form, text);
            ADD_FAILURE() << "no error";
        } catch (const EReadError& e) {
            EXPECT_NE(e.Message().find(c.names), std::string::npos) << e.Message();
        }
        EXPECT_EQ(form->List1, nullptr);
        EXPECT_EQ(form->Edit1, nullptr);
        form->Free();
    }
}

}  // namespace

namespace {

// Records the cancel-mode notices an edit receives.
class TCancelWatchEdit : public TEdit {
public:
    using TEdit::TEdit;
    std::vector<TControl*> Senders;
    void WndProc(TMessage& Message) override
    {
        if (Message.Msg == CM_CANCELMODE)
            Senders.push_back(reinterpret_cast<TControl*>(Message.LParam));
        TEdit::WndProc(Message);
    }
};

TEST_F(GuiStdCtrlsTest, AMousePressSendsCancelModeToTheActiveControl)
{
    auto* watched = Make<TCancelWatchEdit>(10, 10, 150, 24);
    auto* other = Make<TEdit>(10, 50, 150, 24);
    ShowAndFocus(watched);
    ASSERT_EQ(Form->ActiveControl(), watched);
    const TPoint p = other->ClientToScreen(TPoint(5, 5));
    HeadlessMouseMove(p.x, p.y);
    HeadlessMouseDown(TMouseButton::Right);
    HeadlessMouseUp(TMouseButton::Right);
    Pump();
    ASSERT_EQ(watched->Senders.size(), 1u);
    EXPECT_EQ(watched->Senders[0], other);
}

}  // namespace
