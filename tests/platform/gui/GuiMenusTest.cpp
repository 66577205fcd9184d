// Menus as data, actions and their clients, image lists.
#include "GuiTestCommon.h"

#include "platform/gui/ActnList.h"
#include "platform/gui/ImgList.h"
#include "platform/gui/Menus.h"

#include <memory>
#include <vector>

namespace {

class GuiMenusTest : public GuiTest {};

TEST(GuiShortCutTest, TextOfShortCutsAndBack)
{
    struct TCase {
        TShortCut Sc;
        const char* Text;
    } cases[] = {
        {ShortCut('S', {ssCtrl}), "Ctrl+S"},
        {ShortCut(VK_F5, {ssShift, ssCtrl}), "Shift+Ctrl+F5"},
        {ShortCut(VK_BACK, {ssAlt}), "Alt+BkSp"},
        {ShortCut(VK_DELETE, {}), "Del"},
        {ShortCut(VK_RETURN, {ssCtrl}), "Ctrl+Enter"},
        {ShortCut(VK_ESCAPE, {}), "Esc"},
        {ShortCut(VK_NEXT, {}), "PgDn"},
        {ShortCut('0', {ssAlt, ssShift}), "Shift+Alt+0"},
        {ShortCut(VK_F12, {}), "F12"},
        {0, ""},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(ShortCutToText(c.Sc), c.Text);
        EXPECT_EQ(TextToShortCut(c.Text), c.Sc) << c.Text;
    }
    EXPECT_EQ(TextToShortCut("ctrl+s"), ShortCut('S', {ssCtrl}));
    EXPECT_EQ(TextToShortCut("Ctrl+"), 0);
    EXPECT_EQ(TextToShortCut("Ctrl+Nothing"), 0);
    EXPECT_EQ(ShortCut(0x1234, {}), 0);  // not a key
}

TEST(GuiShortCutTest, AcceleratorsOfCaptions)
{
    struct TCase {
        const char* Caption;
        const char* Stripped;
        char Hotkey;
    } cases[] = {
        {"&File", "File", 'F'},
        {"Save &as...", "Save as...", 'A'},
        {"Fish && Chips", "Fish & Chips", 0},
        {"&& &Then", "& Then", 'T'},
        {"Plain", "Plain", 0},
        {"Trailing&", "Trailing", 0},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(StripHotkey(c.Caption), c.Stripped);
        EXPECT_EQ(GetHotkey(c.Caption), c.Hotkey) << c.Caption;
    }
    EXPECT_TRUE(IsAccel('F', "&File"));
    EXPECT_TRUE(IsAccel('f', "&File"));
    EXPECT_FALSE(IsAccel('I', "&File"));
    EXPECT_FALSE(IsAccel('F', "File"));
}

TEST_F(GuiMenusTest, ItemsRadioGroupsDefaultsAndLines)
{
    auto* menu = new TPopupMenu(Owner);
    auto add = [&](const std::string& caption) {
        auto* i = new TMenuItem(menu);
        i->SetCaption(caption);
        menu->Items()->Add(i);
        return i;
    };
    TMenuItem* sepTop = add("-");
    TMenuItem* a = add("A");
    TMenuItem* b = add("B");
    TMenuItem* sep1 = add("-");
    TMenuItem* sep2 = add("-");
    TMenuItem* c = add("C");
    TMenuItem* sepEnd = add("-");
    for (TMenuItem* r : {a, b}) {
        r->SetRadioItem(true);
        r->SetGroupIndex(1);
    }
    a->SetChecked(true);
    b->SetChecked(true);
    EXPECT_FALSE(a->Checked());
    EXPECT_TRUE(b->Checked());
    c->SetDefault(true);
    a->SetDefault(true);
    EXPECT_FALSE(c->Default());
    EXPECT_TRUE(menu->Items()->RethinkLines());
    EXPECT_FALSE(sepTop->Visible());
    EXPECT_TRUE(sep1->Visible());
    EXPECT_FALSE(sep2->Visible());
    EXPECT_FALSE(sepEnd->Visible());
    EXPECT_EQ(a->GetParentMenu(), menu);
    EXPECT_EQ(menu->FindItem(c->Command()), c);
    EXPECT_NE(a->Command(), b->Command());
    EXPECT_THROW(menu->Items()->Add(a), EInvalidOperation);  // already inserted
    EXPECT_THROW(menu->Items()->Items(99), EListError);
    EXPECT_EQ(menu->Items()->Find("c"), c);
}

TEST_F(GuiMenusTest, DispatchCommandAndShortCutsRunTheItem)
{
    struct TClicks : TObject {
        std::vector<std::string> Seen;
        void Click(TObject* s) { Seen.push_back(static_cast<TMenuItem*>(s)->Caption()); }
    } clicks;
    TCustomForm* f = NewForm(100, 100, 300, 200);
    auto* mm = new TMainMenu(f);
    auto* file = new TMenuItem(mm);
    file->SetCaption("&File");
    mm->Items()->Add(file);
    auto* save = new TMenuItem(mm);
    save->SetCaption("&Save");
    save->SetShortCut(ShortCut('S', {ssCtrl}));
    save->OnClick = MakeEvent(&clicks, &TClicks::Click);
    file->Add(save);
    auto* off = new TMenuItem(mm);
    off->SetCaption("Off");
    off->SetShortCut(ShortCut('O', {ssCtrl}));
    off->SetEnabled(false);
    off->OnClick = MakeEvent(&clicks, &TClicks::Click);
    file->Add(off);
    f->SetMenu(mm);
    EXPECT_TRUE(mm->DispatchCommand(save->Command()));
    EXPECT_FALSE(mm->DispatchCommand(0xFFFF));
    auto* b = new TTestButton(f);
    b->SetParent(f);
    f->Show();
    Pump();
    HeadlessKeyDown(VK_CONTROL);
    HeadlessKeyPress('S');
    HeadlessKeyPress('O');
    HeadlessKeyUp(VK_CONTROL);
    Pump();
    EXPECT_EQ(clicks.Seen, (std::vector<std::string>{"&Save", "&Save"}));
    // WM_COMMAND with the item's number runs it too.
    SendMessage(f->Handle(), WM_COMMAND, save->Command(), 0);
    EXPECT_EQ(clicks.Seen.size(), 3u);
}

TEST_F(GuiMenusTest, RightClickPopsUpTheControlsMenuWithItsComponent)
{
    class TRecordingMenu : public TPopupMenu {
    public:
        using TPopupMenu::TPopupMenu;
        int Count = 0;
        TPoint At{};
        void Popup(int X, int Y) override
        {
            ++Count;
            At = TPoint(X, Y);
            TPopupMenu::Popup(X, Y);
        }
    };
    struct TOn : TObject {
        TComponent* Component = nullptr;
        void OnPopup(TObject* s) { Component = static_cast<TPopupMenu*>(s)->PopupComponent(); }
    } on;
    TCustomForm* f = NewForm(100, 100, 300, 200);
    auto* b = new TTestButton(f);
    b->SetParent(f);
    b->SetBounds(10, 10, 80, 30);
    auto* menu = new TRecordingMenu(f);
    menu->OnPopup = MakeEvent(&on, &TOn::OnPopup);
    b->SetPopupMenu(menu);
    f->Show();
    Pump();
    TPoint p = b->ClientToScreen(TPoint(4, 6));
    HeadlessClick(p.x, p.y, TMouseButton::Right);
    Pump();
    EXPECT_EQ(menu->Count, 1);
    EXPECT_EQ(menu->At, p);
    EXPECT_EQ(on.Component, b);
    menu->SetAutoPopup(false);
    HeadlessClick(p.x, p.y, TMouseButton::Right);
    Pump();
    EXPECT_EQ(menu->Count, 1);
    // The menu going away leaves no dangling pointer behind.
    menu->Free();
    EXPECT_EQ(b->PopupMenu(), nullptr);
}

TEST_F(GuiMenusTest, ActionsDriveTheirControlsAndMenuItems)
{
    struct TRun : TObject {
        int Runs = 0;
        void Execute(TObject*) { ++Runs; }
    } run;
    TCustomForm* f = NewForm(100, 100, 300, 200);
    auto* list = new TActionList(f);
    auto* act = new TAction(f);
    act->SetActionList(list);
    act->SetCaption("&Open");
    act->SetHint("Opens");
    act->SetShortCut(ShortCut('P', {ssCtrl}));
    act->OnExecute = MakeEvent(&run, &TRun::Execute);
    auto* b = new TTestButton(f);
    b->SetParent(f);
    b->SetAction(act);
    auto* menu = new TPopupMenu(f);
    auto* item = new TMenuItem(menu);
    menu->Items()->Add(item);
    item->SetAction(act);
    EXPECT_EQ(b->Caption(), "&Open");
    EXPECT_EQ(b->Hint(), "Opens");
    EXPECT_EQ(item->Caption(), "&Open");
    EXPECT_EQ(item->ShortCut(), ShortCut('P', {ssCtrl}));
    act->SetCaption("&Load");
    act->SetEnabled(false);
    EXPECT_EQ(b->Caption(), "&Load");
    EXPECT_FALSE(b->Enabled());
    EXPECT_FALSE(item->Enabled());
    item->Click();
    EXPECT_EQ(run.Runs, 0);  // disabled
    act->SetEnabled(true);
    b->Click();
    item->Click();
    EXPECT_EQ(run.Runs, 2);
    // The form's action list answers its short cut.
    f->Show();
    Pump();
    HeadlessKeyDown(VK_CONTROL);
    HeadlessKeyPress('P');
    HeadlessKeyUp(VK_CONTROL);
    Pump();
    EXPECT_EQ(run.Runs, 3);
    // Freeing the action unlinks its clients.
    act->Free();
    EXPECT_EQ(b->Action(), nullptr);
    EXPECT_EQ(item->Action(), nullptr);
    EXPECT_EQ(b->Caption(), "&Load");
}

TEST_F(GuiMenusTest, CheckedActionsOfAGroupExcludeEachOther)
{
    auto* list = new TActionList(Owner);
    std::vector<TAction*> acts;
    for (int i = 0; i < 3; ++i) {
        auto* a = new TAction(Owner);
        a->SetActionList(list);
        a->SetGroupIndex(2);
        a->SetAutoCheck(true);
        acts.push_back(a);
    }
    acts[0]->SetChecked(true);
    acts[1]->Execute();
    EXPECT_FALSE(acts[0]->Checked());
    EXPECT_TRUE(acts[1]->Checked());
    EXPECT_EQ(acts[2]->Index(), 2);
}

TEST_F(GuiMenusTest, ImageListSplitsMasksAndDrawsEnabledAndGreyed)
{
    TBitmap strip;
    strip.SetPixelFormat(pf24bit);
    strip.SetSize(32, 16);
    strip.Canvas()->Brush()->SetColor(clFuchsia);
    strip.Canvas()->FillRect(TRect(0, 0, 32, 16));
    strip.Canvas()->Brush()->SetColor(clRed);
    strip.Canvas()->FillRect(TRect(4, 4, 12, 12));
    strip.Canvas()->Brush()->SetColor(clBlue);
    strip.Canvas()->FillRect(TRect(16, 0, 32, 16));
    auto* il = new TImageList(Owner);
    EXPECT_EQ(il->AddMasked(&strip, clFuchsia), 0);
    EXPECT_EQ(il->Count(), 2);
    EXPECT_EQ(il->Image(0).PixelBGRA(0, 0) >> 24, 0u);      // masked out
    EXPECT_EQ(il->Image(0).PixelBGRA(5, 5), 0xFFFF0000u);  // red, opaque
    EXPECT_EQ(il->Image(1).PixelBGRA(0, 0), 0xFF0000FFu);  // blue
    TBitmap target;
    target.SetPixelFormat(pf24bit);
    target.SetSize(40, 20);
    target.Canvas()->Brush()->SetColor(clWhite);
    target.Canvas()->FillRect(TRect(0, 0, 40, 20));
    il->Draw(target.Canvas(), 0, 0, 0, true);
    il->Draw(target.Canvas(), 20, 0, 0, false);
    EXPECT_EQ(target.Canvas()->Pixels(1, 1), clWhite);          // transparent part
    EXPECT_EQ(target.Canvas()->Pixels(6, 6), TColor(0x0000FF));  // red
    TColor grey = target.Canvas()->Pixels(26, 6);
    EXPECT_EQ(GetRValue(grey), GetGValue(grey));  // greyed: no colour left
    EXPECT_EQ(GetGValue(grey), GetBValue(grey));
    EXPECT_NE(grey, clWhite);
    TBitmap out;
    EXPECT_TRUE(il->GetBitmap(1, &out));
    EXPECT_EQ(out.Width(), 16);
    EXPECT_FALSE(il->GetBitmap(5, &out));
    TIcon icon;
    il->GetIcon(0, &icon);
    EXPECT_EQ(icon.Width(), 16);
    EXPECT_THROW(il->Delete(7), EInvalidOperation);
    EXPECT_THROW(il->SetWidth(0), EInvalidOperation);
    EXPECT_THROW(il->AddMasked(nullptr, clNone), EInvalidOperation);
}

// A list that keeps its pictures elsewhere draws them through DoDraw.
class TLoggingImageList : public TCustomImageList {
public:
    using TCustomImageList::TCustomImageList;
    std::vector<int> Drawn;

protected:
    void DoDraw(int Index, TCanvas*, int, int, TDrawingStyle, bool) override { Drawn.push_back(Index); }
};

TEST_F(GuiMenusTest, ImageListInsertsAtAnIndexAndDrawsThroughDoDraw)
{
    auto solid = [](TColor c) {
        auto b = std::make_unique<TBitmap>();
        b->SetPixelFormat(pf24bit);
        b->SetSize(16, 16);
        b->Canvas()->Brush()->SetColor(c);
        b->Canvas()->FillRect(TRect(0, 0, 16, 16));
        return b;
    };
    auto* il = new TLoggingImageList(Owner);
    il->Add(solid(clRed).get(), nullptr);
    il->Add(solid(clBlue).get(), nullptr);
    EXPECT_EQ(il->Insert(1, solid(clLime).get(), nullptr), 1);
    EXPECT_EQ(il->Insert(3, solid(clWhite).get(), nullptr), 3);  // at the end
    ASSERT_EQ(il->Count(), 4);
    EXPECT_EQ(il->Image(0).PixelBGRA(0, 0), 0xFFFF0000u);
    EXPECT_EQ(il->Image(1).PixelBGRA(0, 0), 0xFF00FF00u);
    EXPECT_EQ(il->Image(2).PixelBGRA(0, 0), 0xFF0000FFu);
    EXPECT_EQ(il->Image(3).PixelBGRA(0, 0), 0xFFFFFFFFu);
    EXPECT_THROW(il->Insert(5, solid(clRed).get(), nullptr), EInvalidOperation);
    EXPECT_THROW(il->Insert(-1, solid(clRed).get(), nullptr), EInvalidOperation);
    EXPECT_EQ(il->Count(), 4);
    TBitmap target;
    target.SetSize(20, 20);
    il->Draw(target.Canvas(), 0, 0, 2);
    il->Draw(target.Canvas(), 0, 0, 9);
    EXPECT_EQ(il->Drawn, (std::vector<int>{2, 9}));
}

TEST_F(GuiMenusTest, ScreenKeepsFormsInZOrderAndACursorTable)
{
    TCustomForm* a = NewForm(0, 0, 100, 100, "A");
    TCustomForm* b = NewForm(50, 50, 100, 100, "B");
    a->Show();
    b->Show();
    Pump();
    EXPECT_EQ(Screen->CustomFormCount(), 2);
    EXPECT_EQ(Screen->CustomForms(0), b);
    a->Show();
    Pump();
    EXPECT_EQ(Screen->CustomForms(0), a);
    EXPECT_EQ(Screen->ActiveCustomForm(), a);
    EXPECT_EQ(Screen->ActiveForm(), a);
    TCursorInfo info;
    ASSERT_TRUE(GetCursorDescription(Screen->Cursors(crHandPoint), &info));
    EXPECT_EQ(info.StandardId, 32649);
    ASSERT_TRUE(GetCursorDescription(Screen->Cursors(12345), &info));
    EXPECT_EQ(info.StandardId, 32512);  // unknown numbers show the arrow
    HCURSOR custom = LoadCursor(nullptr, IDC_CROSS);
    Screen->SetCursors(5, custom);
    EXPECT_EQ(Screen->Cursors(5), custom);
    Screen->SetCursors(5, nullptr);
    EXPECT_GE(Screen->MonitorCount(), 1);
    EXPECT_EQ(Screen->Width(), 1280);
    TRect wa = Screen->WorkAreaRect();
    EXPECT_LE(wa.bottom, Screen->Height());
    EXPECT_GT(Screen->Fonts()->Count(), 0);
    a->Free();
    EXPECT_EQ(Screen->CustomFormCount(), 1);
    EXPECT_NE(Screen->ActiveCustomForm(), a);
}

}  // namespace
