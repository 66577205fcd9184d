// The skinned combo box: selection events in order, the drop-down by mouse
// (press, drag, release), keys, type-ahead and completion on the fake clock,
// the fade-in, the painting of both looks and descriptions.
#include "ListsTestSupport.h"

#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/user/Messages.h"
#include "skin/core/LayerManager.h"
#include "skin/core/ResourceStrData.h"
#include "skin/core/SkinEditPieces.h"
#include "skin/lists/SkinComboBox.h"

#include <string>
#include <vector>

using namespace liststest;

namespace {

struct TEventLog {
    std::vector<std::string> Events;
    TspSkinCustomComboBox* C = nullptr;
    void Change(TObject*) { Events.push_back("change:" + C->Text()); }
    void Click(TObject*) { Events.push_back("click:" + std::to_string(C->ItemIndex())); }
    void CloseUp(TObject*) { Events.push_back("closeup"); }
    void Attach(TspSkinCustomComboBox* c)
    {
        C = c;
        c->OnChange = MakeEvent(this, &TEventLog::Change);
        c->OnClick = MakeEvent(this, &TEventLog::Click);
        c->OnCloseUp = MakeEvent(this, &TEventLog::CloseUp);
    }
};

class SkinComboBoxTest : public ListsTest {
protected:
    TspSkinComboBox* Combo(int n, int x = 10, int y = 10)
    {
        auto* c = Make<TspSkinComboBox>(x, y, 150, 20);
        for (int i = 0; i < n; ++i)
            c->Items()->Add("Item " + std::to_string(i));
        Repaint();
        Log.Attach(c);
        return c;
    }
    // The drop-down's inner list point of an item, in the combo's coordinates.
    static TPoint ItemPoint(TspSkinCustomComboBox* c, int i)
    {
        TspListBox* lb = c->FListBox->ListBox;
        const TRect r = lb->ItemRect(i);
        return c->ScreenToClient(lb->ClientToScreen(TPoint(r.left + 10, (r.top + r.bottom) / 2)));
    }
    TEventLog Log;
};

TEST_F(SkinComboBoxTest, SelectionFiresChangeClickEvenWhenUnchanged)
{
    auto* c = Combo(3);
    c->SetItemIndex(1);
    EXPECT_EQ(Log.Events, (std::vector<std::string>{"change:Item 1", "click:1"}));
    Log.Events.clear();
    c->SetItemIndex(1);  // same index: no text change, still a click
    EXPECT_EQ(Log.Events, (std::vector<std::string>{"click:1"}));
}

TEST_F(SkinComboBoxTest, DropDownEdgeCases)
{
    struct TCase {
        const char* Name;
        TspSkinCustomComboBoxStyle Style;
        int Start;
        std::vector<std::string> Expected;
    };
    // Press the button, drag to item 2, release over it.
    const TCase cases[] = {
        {"fixed", spcbFixedStyle, 0, {"change:Item 2", "click:2", "closeup"}},
        {"edit", spcbEditStyle, 0, {"change:Item 2", "click:2", "closeup"}},
        {"fixed, same item", spcbFixedStyle, 2, {"click:2", "closeup"}},
    };
    for (const TCase& k : cases) {
        auto* c = Combo(5);
        c->SetStyle(k.Style);
        c->SetItemIndex(k.Start);
        Log.Events.clear();
        Press(c, c->Button.R.left + 5, 10);
        ASSERT_TRUE(c->IsPopupVisible()) << k.Name;
        const TPoint p = ItemPoint(c, 2);
        MoveTo(c, p.x, p.y);
        EXPECT_EQ(c->FListBox->ItemIndex(), 2) << k.Name;
        Release();
        EXPECT_FALSE(c->IsPopupVisible()) << k.Name;
        EXPECT_EQ(c->ItemIndex(), 2) << k.Name;
        EXPECT_EQ(Log.Events, k.Expected) << k.Name;
        c->Free();
    }
}

TEST_F(SkinComboBoxTest, ReleaseWithoutTouchingTheListKeepsItOpenForAClick)
{
    auto* c = Combo(5);
    c->SetItemIndex(0);
    Log.Events.clear();
    Press(c, c->Button.R.left + 5, 10);
    Release();
    ASSERT_TRUE(c->IsPopupVisible());
    EXPECT_TRUE(Log.Events.empty());

    TspListBox* lb = c->FListBox->ListBox;
    const TRect r = lb->ItemRect(3);
    Press(lb, r.left + 10, (r.top + r.bottom) / 2);
    EXPECT_TRUE(c->FLBDown);
    EXPECT_TRUE(c->WasInLB);
    Release();
    EXPECT_FALSE(c->IsPopupVisible());
    EXPECT_EQ(c->ItemIndex(), 3);
    EXPECT_EQ(Log.Events, (std::vector<std::string>{"change:Item 3", "click:3", "closeup"}));
}

TEST_F(SkinComboBoxTest, ReleasingOutsideAfterTheListRestoresTheSelection)
{
    auto* c = Combo(5);
    c->SetItemIndex(1);
    Log.Events.clear();
    Press(c, c->Button.R.left + 5, 10);
    const TPoint p = ItemPoint(c, 3);
    MoveTo(c, p.x, p.y);
    MoveTo(c, c->Width() + 200, p.y);
    Release();
    EXPECT_FALSE(c->IsPopupVisible());
    EXPECT_EQ(c->ItemIndex(), 1);
    EXPECT_TRUE(Log.Events.empty());
}

TEST_F(SkinComboBoxTest, DraggingBelowTheListScrollsEvery25Ms)
{
    auto* c = Combo(30);
    c->SetItemIndex(0);
    Press(c, c->Button.R.left + 5, 10);
    ASSERT_NE(c->FListBox->ScrollBar, nullptr);
    const TPoint p = ItemPoint(c, 4);
    MoveTo(c, p.x, p.y);
    EXPECT_EQ(c->FListBox->ItemIndex(), 4);
    const TPoint below = c->ScreenToClient(c->FListBox->ClientToScreen(TPoint(10, c->FListBox->Height() + 30)));
    MoveTo(c, below.x, below.y);
    Clock.Advance(25);
    HeadlessProcessMessages();
    Clock.Advance(25);
    HeadlessProcessMessages();
    Clock.Advance(25);
    HeadlessProcessMessages();
    EXPECT_EQ(c->FListBox->ItemIndex(), 7);
    Release();
    EXPECT_FALSE(c->IsPopupVisible());
    EXPECT_EQ(c->ItemIndex(), 0);
}

TEST_F(SkinComboBoxTest, TypeAheadCollectsKeysWithin500Ms)
{
    auto* c = Combo(0);
    for (const char* s : {"apple", "banana", "bob", "boat", "cherry", "berry"})
        c->Items()->Add(s);
    c->SetFocus();
    HeadlessProcessMessages();
    Type("b");
    EXPECT_EQ(c->ItemIndex(), 1);
    Clock.Advance(100);
    Type("o");
    EXPECT_EQ(c->ItemIndex(), 2);  // "bo"
    Clock.Advance(600);
    Type("b");
    EXPECT_EQ(c->ItemIndex(), 3);  // next "b" after bob
    Clock.Advance(600);
    Type("b");
    EXPECT_EQ(c->ItemIndex(), 5);
}

TEST_F(SkinComboBoxTest, PagingAndArrowKeys)
{
    auto* c = Combo(40);
    c->SetFocus();
    c->SetItemIndex(20);
    Key(VK_PRIOR);
    EXPECT_EQ(c->ItemIndex(), 11);
    Key(VK_NEXT);
    EXPECT_EQ(c->ItemIndex(), 18);
    Key(VK_UP);
    EXPECT_EQ(c->ItemIndex(), 17);
    Key(VK_RIGHT);
    EXPECT_EQ(c->ItemIndex(), 18);
    c->SetItemIndex(39);
    Key(VK_DOWN);
    EXPECT_EQ(c->ItemIndex(), 39);
    Chord(VK_MENU, VK_DOWN);
    EXPECT_TRUE(c->IsPopupVisible());
    Chord(VK_MENU, VK_UP);
    EXPECT_FALSE(c->IsPopupVisible());
    EXPECT_EQ(c->ItemIndex(), 39);
}

TEST_F(SkinComboBoxTest, EnterAcceptsAndEscapeCancels)
{
    auto* c = Combo(5);
    c->SetFocus();
    c->SetItemIndex(1);
    c->DropDown();
    c->FListBox->SetItemIndex(3);
    Key(VK_ESCAPE);
    EXPECT_FALSE(c->IsPopupVisible());
    EXPECT_EQ(c->ItemIndex(), 1);
    c->DropDown();
    c->FListBox->SetItemIndex(4);
    Key(VK_RETURN);
    EXPECT_EQ(c->ItemIndex(), 4);
    EXPECT_EQ(c->Text(), "Item 4");
}

TEST_F(SkinComboBoxTest, CancelModeFromElsewhereClosesWithoutAChoice)
{
    auto* c = Combo(5);
    c->SetItemIndex(2);
    c->DropDown();
    c->FListBox->SetItemIndex(4);
    c->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(static_cast<TControl*>(c->FListBox)));
    EXPECT_TRUE(c->IsPopupVisible());
    c->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(static_cast<TControl*>(Form)));
    EXPECT_FALSE(c->IsPopupVisible());
    EXPECT_EQ(c->ItemIndex(), 2);
}

TEST_F(SkinComboBoxTest, DropDownSizeCountAndPlace)
{
    auto* c = Combo(20);
    c->SetDropDownCount(0);
    c->SetDropDownCount(-4);
    EXPECT_EQ(c->DropDownCount(), 8);
    c->SetListBoxWidth(-10);
    c->DropDown();
    EXPECT_EQ(c->FListBox->Width(), c->Width());
    EXPECT_EQ(c->FListBox->Height(), 8 * 20 + 4);
    const TPoint below = c->ClientToScreen(TPoint(0, c->Height()));
    EXPECT_EQ(c->FListBox->Left(), below.x);
    EXPECT_EQ(c->FListBox->Top(), below.y);
    c->CloseUp(false);
    // Near the bottom of the work area it opens above the control.
    TRect wa;
    GetMonitorArea(c->Handle(), true, wa);
    Form->SetBounds(0, wa.bottom - 60, 400, 60);
    HeadlessProcessMessages();
    c->DropDown();
    EXPECT_EQ(c->FListBox->Top() + c->FListBox->Height(), c->ClientToScreen(TPoint(0, 0)).y);
    c->CloseUp(false);
    c->Items()->Clear();
    c->DropDown();  // nothing to show
    EXPECT_FALSE(c->IsPopupVisible());
}

TEST_F(SkinComboBoxTest, EditStyleCompletesTheTypedPrefix)
{
    auto* c = Combo(0);
    for (const char* s : {"alpha", "beta", "betamax", "gamma"})
        c->Items()->Add(s);
    c->SetStyle(spcbEditStyle);
    c->SetStyle(spcbEditStyle);  // a second switch keeps one edit
    int edits = 0;
    for (int i = 0; i < c->ControlCount(); ++i)
        edits += dynamic_cast<TspCustomEdit*>(c->Controls(i)) != nullptr;
    EXPECT_EQ(edits, 1);
    c->FEdit->SetFocus();
    HeadlessProcessMessages();
    Clock.Advance(300);
    Type("g");
    EXPECT_EQ(c->Text(), "gamma");
    EXPECT_EQ(c->SelStart(), 1);
    EXPECT_EQ(c->SelLength(), 4);
    c->SetStyle(spcbFixedStyle);
    EXPECT_EQ(c->FEdit, nullptr);
}

TEST_F(SkinComboBoxTest, KeyUpKeepsTheSelectionUnderEveryCharset)
{
    for (TFontCharset cs : {TFontCharset(SHIFTJIS_CHARSET), TFontCharset(ANSI_CHARSET)}) {
        auto* c = Combo(0);
        c->Items()->Add("zzz");
        c->DefaultFont()->SetCharset(cs);
        c->SetStyle(spcbEditStyle);
        c->FEdit->SetFocus();
        c->FEdit->SetText("hello");
        c->FEdit->SelectAll();
        HeadlessKeyDown(VK_SHIFT);
        HeadlessKeyUp(VK_SHIFT);
        HeadlessProcessMessages();
        EXPECT_EQ(c->FEdit->Text(), "hello") << int(cs);
        EXPECT_EQ(c->FEdit->SelLength(), 5) << int(cs);
        c->Free();
        HeadlessProcessMessages();
    }
}

TEST_F(SkinComboBoxTest, FadeRisesIn15StepsOf13ThenTo200)
{
    auto* c = Combo(5);
    c->SetListBoxAlphaBlend(true);
    c->SetListBoxAlphaBlendAnimation(true);
    c->SetListBoxAlphaBlendValue(200);
    Clock.SetStepPerRead(3);
    for (int showing = 0; showing < 2; ++showing) {
        c->DropDown();
        std::vector<int> expected;
        for (int i = 1; i <= 15; ++i)
            expected.push_back(13 * i);
        expected.push_back(200);
        EXPECT_EQ(c->FListBox->FadeSteps, expected) << showing;
        c->CloseUp(false);
    }
    Clock.SetStepPerRead(0);
}

TEST_F(SkinComboBoxTest, FadeEndsWhenTheDropDownClosesMeanwhile)
{
    auto* c = Combo(5);
    c->SetListBoxAlphaBlend(true);
    c->SetListBoxAlphaBlendAnimation(true);
    Clock.SetStepPerRead(3);
    PostMessage(c->Handle(), CM_CANCELMODE, 0, 0);
    c->DropDown();
    Clock.SetStepPerRead(0);
    EXPECT_FALSE(c->IsPopupVisible());
    EXPECT_LT(c->FListBox->FadeSteps.size(), 16u);
    c->Free();  // freed after a cut fade: nothing left running
    HeadlessProcessMessages();
}

// A timer that closes the drop-down part-way through the fade ends it there;
// a second one that frees the combo box mid-fade leaves nothing touched.
TEST_F(SkinComboBoxTest, FadeEndsWhenATimerClosesOrFreesMidway)
{
    for (bool freeIt : {false, true}) {
        auto* c = Combo(5);
        c->SetListBoxAlphaBlend(true);
        c->SetListBoxAlphaBlendAnimation(true);
        c->SetListBoxAlphaBlendValue(200);
        struct TCloser {
            TspSkinComboBox* C;
            bool FreeIt;
            void Run(TObject*)
            {
                if (FreeIt)
                    C->Free();
                else
                    C->CloseUp(false);
            }
        } closer{c, freeIt};
        auto* timer = new TTimer(Owner);
        timer->SetInterval(40);
        timer->SetOnTimer(MakeEvent(&closer, &TCloser::Run));
        timer->SetEnabled(true);
        Clock.SetStepPerRead(3);
        c->DropDown();  // must not touch a freed combo box (ASan)
        Clock.SetStepPerRead(0);
        timer->SetEnabled(false);
        if (!freeIt) {
            EXPECT_FALSE(c->IsPopupVisible());
            EXPECT_GT(c->FListBox->FadeSteps.size(), 0u);
            EXPECT_LT(c->FListBox->FadeSteps.size(), 16u);
            c->Free();
        }
        HeadlessProcessMessages();
    }
}

TEST_F(SkinComboBoxTest, DefaultPaintingAndDisabledArrow)
{
    auto* c = Combo(3);
    c->SetItemIndex(0);
    Repaint();
    EXPECT_EQ(PixelOf(c, 0, 0), ColorToRGB(clBtnShadow));
    EXPECT_EQ(PixelOf(c, 1, 1), ColorToRGB(clBtnFace));
    EXPECT_EQ(PixelOf(c, c->Button.R.left, c->Button.R.top), ColorToRGB(clBtnShadow));
    auto arrowInk = [&](COLORREF ink) {
        int n = 0;
        for (int x = c->Button.R.left + 1; x < c->Button.R.right - 1; ++x)
            for (int y = c->Button.R.top + 1; y < c->Button.R.bottom - 1; ++y)
                n += PixelOf(c, x, y) == ink;
        return n;
    };
    EXPECT_GT(arrowInk(RGB(0, 0, 0)), 3);
    c->SetEnabled(false);
    Repaint();
    EXPECT_EQ(arrowInk(RGB(0, 0, 0)), 0);
    EXPECT_GT(arrowInk(ColorToRGB(clBtnShadow)), 3);
}

TEST_F(SkinComboBoxTest, TabbedItemTextDrawsInColumns)
{
    auto* c = Combo(0);
    c->Items()->Add("a\tb\tc");
    TStringList tabs;
    tabs.Add("30");
    tabs.Add("60");
    c->SetTabWidths(&tabs);
    c->SetItemIndex(0);
    Repaint();
    auto inkAt = [&](int x0, int x1) {
        for (int x = x0; x < x1; ++x)
            for (int y = c->CBItem.R.top; y < c->CBItem.R.bottom; ++y)
                if (PixelOf(c, c->CBItem.R.left + x, y) != ColorToRGB(clWindow))
                    return true;
        return false;
    };
    EXPECT_TRUE(inkAt(30, 38));
    EXPECT_TRUE(inkAt(60, 68));
    EXPECT_FALSE(inkAt(14, 29));
}

TEST_F(SkinComboBoxTest, ToolButtonLookAndSkinnedLooks)
{
    auto* c = Combo(3);
    c->SetItemIndex(1);
    c->SetToolButtonStyle(true);
    EXPECT_FALSE(c->UseSkinSize());
    Repaint();
    EXPECT_EQ(PixelOf(c, 0, 0), ColorToRGB(clBtnShadow));
    EXPECT_EQ(PixelOf(c, 3, 3), ColorToRGB(clBtnFace));
    c->SetToolButtonStyle(false);
    c->SetSkinData(LoadSkinNew());
    Repaint();
    ASSERT_NE(c->FIndex, -1);
    c->SetUseSkinSize(false);
    c->SetBounds(c->Left(), c->Top(), 150, 48);
    Repaint();
    EXPECT_EQ(c->Height(), 48);
    EXPECT_EQ(c->CBItem.R.bottom, c->ClRect.bottom + 24);
    EXPECT_EQ(c->Button.R.bottom, c->ButtonRect.bottom + 24);
    c->SetToolButtonStyle(true);
    Repaint();
    c->DropDown();
    EXPECT_TRUE(c->FListBox->FIndex != -1);
    c->CloseUp(false);
}

TEST(SkinComboBoxDescriptions, WrittenBackEqual)
{
    RegisterSkinComboBoxClasses();
    const char* text = "object C: TspSkinComboBox\n  DropDownCount = 12\n  ListBoxWidth = 200\n"
                       "  Style = spcbEditStyle\n  ListBoxAlphaBlend = True\n  Items.Strings = "
                       "(\n"
                       "    'one'\n    'two')\nend\n";
    TspSkinComboBox a(nullptr);
    ReadComponentText(&a, text);
    EXPECT_EQ(a.DropDownCount(), 12);
    EXPECT_EQ(a.Items()->Count(), 2);
    EXPECT_EQ(a.Style(), spcbEditStyle);
    const std::string written = WriteComponentText(&a);
    TspSkinComboBox b(nullptr);
    ReadComponentText(&b, written);
    EXPECT_EQ(WriteComponentText(&b), written);
}

}  // namespace

namespace {

struct TItemSize {
    int W = -1, H = -1;
    void Draw(TObject*, TCanvas*, int, int ItemWidth, int ItemHeight, TRect, TOwnerDrawState)
    {
        W = ItemWidth;
        H = ItemHeight;
    }
};

TEST_F(SkinComboBoxTest, EmptyItemPicturesTakeTheItemAreasHeight)
{
    auto* c = Combo(3);
    c->SetItemIndex(1);
    auto* skin = LoadSkinNew();
    auto* piece = dynamic_cast<TspDataSkinComboBox*>(skin->CtrlList[skin->GetControlIndex("combobox")].get());
    ASSERT_NE(piece, nullptr);
    piece->SItemRect = piece->FocusItemRect = TRect();
    auto* lpiece = dynamic_cast<TspDataSkinListBox*>(skin->CtrlList[skin->GetControlIndex("listbox")].get());
    ASSERT_NE(lpiece, nullptr);
    lpiece->SItemRect = lpiece->FocusItemRect = lpiece->ActiveItemRect = TRect();
    TItemSize size;
    c->OnComboBoxDrawItem = MakeEvent(&size, &TItemSize::Draw);
    c->SetSkinData(skin);
    Repaint();
    EXPECT_EQ(size.W, c->CBItem.R.right - c->CBItem.R.left);
    EXPECT_EQ(size.H, c->CBItem.R.bottom - c->CBItem.R.top);
    // The drop-down's rows count as one pixel high: nothing divides by zero.
    c->DropDown();
    EXPECT_EQ(c->FListBox->ListBox->ItemHeight(), 1);
    Repaint();
    c->CloseUp(false);
}

}  // namespace
