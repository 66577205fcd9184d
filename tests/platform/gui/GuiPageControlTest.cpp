// The tab control and page control wrappers headless: tabs that follow the
// sheets (added, removed, reordered, hidden, renamed) before and after the
// window exists, the active sheet as the only one shown, a click on a tab
// (OnChanging may refuse, then OnChange), sheets covering the display
// rectangle for the four tab positions, several lines against the scroller,
// everything kept across a re-created window, and a page control with its
// sheets (and an up-down) read from a stored description.
#include "platform/gui/ComCtrls.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/classes/StringList.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/ImgList.h"
#include "tests/platform/gui/GuiTestCommon.h"

#include <string>
#include <vector>

namespace {

class GuiPageControlTest : public GuiTest {
protected:
    TCustomForm* Form = nullptr;
    TPageControl* Pages = nullptr;
    std::vector<std::string> Log;
    bool Refuse = false;

    void OnChanging(TObject*, bool& allow)
    {
        Log.push_back("changing");
        if (Refuse)
            allow = false;
    }
    void OnChange(TObject*) { Log.push_back("change"); }
    TTabChangingEvent ChangingEvent() { return MakeEvent(this, &GuiPageControlTest::OnChanging); }
    TNotifyEvent ChangeEvent() { return MakeEvent(this, &GuiPageControlTest::OnChange); }

    TTabSheet* AddSheet(const std::string& caption)
    {
        auto* s = new TTabSheet(Form);
        s->SetCaption(caption);
        s->SetPageControl(Pages);
        return s;
    }
    void MakePages(int w = 300, int h = 200, int sheets = 3)
    {
        Form = NewForm(50, 50, 500, 400);
        Pages = new TPageControl(Form);
        Pages->SetParent(Form);
        Pages->SetBounds(10, 10, w, h);
        Pages->OnChanging = ChangingEvent();
        Pages->OnChange = ChangeEvent();
        for (int i = 0; i < sheets; ++i)
            AddSheet(std::string(1, static_cast<char>('A' + i)));
    }
    // The tab texts as the control keeps them ...
    static std::string TabTexts(TCustomTabControl* c) { return c->Tabs()->CommaText(); }
    // ... and as the window holds them.
    static std::string WindowTabTexts(TCustomTabControl* c)
    {
        std::string s;
        int n = static_cast<int>(SendMessage(c->Handle(), TCM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < n; ++i) {
            char buf[64] = {};
            TCITEM item;
            item.mask = TCIF_TEXT;
            item.pszText = buf;
            item.cchTextMax = sizeof(buf);
            SendMessage(c->Handle(), TCM_GETITEM, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
            s += (i ? "," : "") + std::string(buf);
        }
        return s;
    }
    static HWND FindChildOfClass(HWND parent, const std::string& cls)
    {
        for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            if (GetClassNameString(c) == cls)
                return c;
        return nullptr;
    }
    void ClickTab(TCustomTabControl* c, int index)
    {
        TRect r = c->TabRect(index);
        ASSERT_LT(r.left, r.right) << "tab " << index << " has no rectangle";
        TPoint p = c->ClientToScreen(TPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2));
        HeadlessClick(p.x, p.y);
        Pump();
    }
};

TEST_F(GuiPageControlTest, TabsFollowThePagesBeforeAndAfterTheWindowExists)
{
    for (bool shownFirst : {false, true}) {
        SCOPED_TRACE(shownFirst ? "window first" : "pages first");
        MakePages(300, 200, shownFirst ? 0 : 3);
        if (shownFirst) {
            Form->Show();
            Pump();
            for (const char* c : {"A", "B", "C"})
                AddSheet(c);
        }
        EXPECT_EQ(TabTexts(Pages), "A,B,C");
        // The first page added became the active one.
        ASSERT_EQ(Pages->ActivePage(), Pages->Pages(0));
        TTabSheet* a = Pages->Pages(0);
        TTabSheet* b = Pages->Pages(1);
        TTabSheet* c = Pages->Pages(2);

        b->SetPageIndex(0);  // reorder
        EXPECT_EQ(TabTexts(Pages), "B,A,C");
        EXPECT_EQ(Pages->ActivePage(), a);
        EXPECT_EQ(Pages->TabIndex(), 1);
        c->SetCaption("Third");
        EXPECT_EQ(TabTexts(Pages), "B,A,Third");
        auto* d = new TTabSheet(Form);
        d->SetCaption("D");
        d->SetPageControl(Pages);
        EXPECT_EQ(TabTexts(Pages), "B,A,Third,D");
        d->Free();
        b->Free();  // removed from the control as it goes
        EXPECT_EQ(TabTexts(Pages), "A,Third");
        EXPECT_EQ(Pages->PageCount(), 2);
        EXPECT_EQ(c->PageIndex(), 1);

        if (!shownFirst) {
            Form->Show();
            Pump();
        }
        EXPECT_EQ(WindowTabTexts(Pages), "A,Third");
        EXPECT_EQ(Pages->TabIndex(), 0);
        EXPECT_THROW(c->SetPageIndex(2), EListError);
        EXPECT_THROW(Pages->Pages(5), EListError);
        // Removing the active page shows the next one.
        a->SetPageControl(nullptr);
        EXPECT_EQ(Pages->ActivePage(), c);
        EXPECT_TRUE(c->Visible());
        EXPECT_FALSE(a->Visible());
        EXPECT_EQ(WindowTabTexts(Pages), "Third");
        a->Free();
        EXPECT_TRUE(Log.empty()) << "no user events for changes made by code";
        Form->Free();
        Pump();
    }
}

TEST_F(GuiPageControlTest, ActivePageIsTheOnlySheetShown)
{
    MakePages();
    Form->Show();
    Pump();
    TTabSheet* a = Pages->Pages(0);
    TTabSheet* c = Pages->Pages(2);
    EXPECT_TRUE(a->Showing());
    Pages->SetActivePage(c);
    EXPECT_EQ(Pages->ActivePageIndex(), 2);
    EXPECT_EQ(Pages->TabIndex(), 2);
    for (int i = 0; i < 3; ++i) {
        TTabSheet* s = Pages->Pages(i);
        EXPECT_EQ(s->Visible(), s == c) << i;
        if (s->HandleAllocated()) {
            EXPECT_EQ(IsWindowVisible(s->Handle()) != 0, s == c) << i;
        }
    }
    Pages->SetActivePageIndex(1);
    EXPECT_EQ(Pages->ActivePage(), Pages->Pages(1));
    // A sheet of another control is ignored.
    auto* other = new TPageControl(Form);
    auto* foreign = new TTabSheet(Form);
    foreign->SetPageControl(other);
    Pages->SetActivePage(foreign);
    EXPECT_EQ(Pages->ActivePage(), Pages->Pages(1));
    // Asking a sheet to show itself makes it active.
    a->Show();
    EXPECT_EQ(Pages->ActivePage(), a);
    EXPECT_TRUE(Log.empty());
}

TEST_F(GuiPageControlTest, ClickOnATabAsksOnChangingThenFiresOnChange)
{
    MakePages();
    Form->Show();
    Pump();
    Refuse = true;
    ClickTab(Pages, 1);
    EXPECT_EQ(Log, std::vector<std::string>{"changing"});
    EXPECT_EQ(Pages->ActivePageIndex(), 0);
    EXPECT_EQ(Pages->TabIndex(), 0);

    Log.clear();
    Refuse = false;
    ClickTab(Pages, 1);
    EXPECT_EQ(Log, (std::vector<std::string>{"changing", "change"}));
    EXPECT_EQ(Pages->ActivePageIndex(), 1);
    EXPECT_TRUE(Pages->Pages(1)->Showing());
    EXPECT_FALSE(Pages->Pages(0)->Visible());
    EXPECT_EQ(Pages->IndexOfTabAt(-5, -5), -1);

    // Clicking the selected tab changes nothing.
    Log.clear();
    ClickTab(Pages, 1);
    EXPECT_TRUE(Log.empty());
}

TEST_F(GuiPageControlTest, SheetsCoverTheDisplayRectangleOnEverySide)
{
    struct TCase {
        TTabPosition Position;
        const char* Name;
    };
    for (TCase tc : {TCase{tpTop, "top"}, TCase{tpBottom, "bottom"}, TCase{tpLeft, "left"}, TCase{tpRight, "right"}}) {
        SCOPED_TRACE(tc.Name);
        MakePages();
        Pages->SetTabPosition(tc.Position);
        Form->Show();
        Pump();
        TRect d = Pages->DisplayRect();
        TRect c = Pages->ClientRect();
        // The tabs take the band on their own side.
        int bands[4] = {d.top - c.top, c.bottom - d.bottom, d.left - c.left, c.right - d.right};
        for (int side = 0; side < 4; ++side)
            if (side == static_cast<int>(tc.Position))
                EXPECT_GT(bands[side], 10) << side;
            else
                EXPECT_LT(bands[side], 10) << side;
        for (int i = 0; i < Pages->PageCount(); ++i)
            EXPECT_EQ(Pages->Pages(i)->BoundsRect(), d) << i;
        TRect tab = Pages->TabRect(0);
        EXPECT_LT(tab.left, tab.right);
        EXPECT_EQ(Pages->IndexOfTabAt((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2), 0);
        // Resizing realigns every sheet, the hidden ones too.
        Pages->SetBounds(10, 10, 360, 260);
        Pump();
        TRect grown = Pages->DisplayRect();
        EXPECT_EQ(grown.right - grown.left, d.right - d.left + 60);
        EXPECT_EQ(grown.bottom - grown.top, d.bottom - d.top + 60);
        d = grown;
        for (int i = 0; i < Pages->PageCount(); ++i)
            EXPECT_EQ(Pages->Pages(i)->BoundsRect(), d) << i;
        Form->Free();
        Pump();
    }
}

TEST_F(GuiPageControlTest, OneLineScrollsWithTheNativeScrollerSeveralLinesDoNot)
{
    MakePages(200, 150, 0);
    for (int i = 0; i < 12; ++i)
        AddSheet("Page number " + std::to_string(i));
    Form->Show();
    Pump();
    HWND scroller = FindChildOfClass(Pages->Handle(), UPDOWN_CLASS);
    ASSERT_NE(scroller, nullptr);
    EXPECT_TRUE(IsWindowVisible(scroller));
    EXPECT_EQ(Pages->RowCount(), 1);
    int singleTop = Pages->DisplayRect().top;

    Pages->SetMultiLine(true);
    Pump();
    scroller = FindChildOfClass(Pages->Handle(), UPDOWN_CLASS);
    EXPECT_TRUE(!scroller || !IsWindowVisible(scroller));
    EXPECT_GT(Pages->RowCount(), 1);
    TRect d = Pages->DisplayRect();
    EXPECT_GT(d.top, singleTop);
    EXPECT_EQ(Pages->ActivePage()->BoundsRect(), d);

    // Widening until every tab fits on one line hides the scroller.
    Pages->SetMultiLine(false);
    Pages->SetWidth(480);
    for (int i = 0; i < 12; ++i)
        Pages->Pages(i)->SetCaption(std::to_string(i));
    Pump();
    scroller = FindChildOfClass(Pages->Handle(), UPDOWN_CLASS);
    EXPECT_TRUE(!scroller || !IsWindowVisible(scroller));
}

TEST_F(GuiPageControlTest, HiddenTabsAreLeftOutAndPagingSkipsThem)
{
    MakePages(300, 200, 4);
    Form->Show();
    Pump();
    TTabSheet* a = Pages->Pages(0);
    TTabSheet* b = Pages->Pages(1);
    TTabSheet* c = Pages->Pages(2);
    TTabSheet* d = Pages->Pages(3);
    b->SetTabVisible(false);
    EXPECT_EQ(TabTexts(Pages), "A,C,D");
    EXPECT_EQ(WindowTabTexts(Pages), "A,C,D");
    EXPECT_EQ(b->TabIndex(), -1);
    EXPECT_EQ(c->TabIndex(), 1);
    EXPECT_EQ(b->PageIndex(), 1);

    EXPECT_EQ(Pages->FindNextPage(a, true, true), c);
    EXPECT_EQ(Pages->FindNextPage(a, true, false), b);
    EXPECT_EQ(Pages->FindNextPage(d, true, true), a);   // round
    EXPECT_EQ(Pages->FindNextPage(a, false, true), d);
    EXPECT_EQ(Pages->FindNextPage(nullptr, true, true), a);

    Pages->SelectNextPage(true);
    EXPECT_EQ(Pages->ActivePage(), c);
    EXPECT_EQ(Log, (std::vector<std::string>{"changing", "change"}));
    Refuse = true;
    Pages->SelectNextPage(false);
    EXPECT_EQ(Pages->ActivePage(), c);

    // Hiding the active page's tab shows the next page with a tab.
    c->SetTabVisible(false);
    EXPECT_EQ(Pages->ActivePage(), d);
    EXPECT_EQ(Pages->TabIndex(), 1);
    EXPECT_TRUE(d->Showing());
    EXPECT_FALSE(c->Visible());
    b->SetTabVisible(true);
    EXPECT_EQ(TabTexts(Pages), "A,B,D");
    EXPECT_EQ(Pages->TabIndex(), 2);
}

TEST_F(GuiPageControlTest, EverythingSurvivesARecreatedWindow)
{
    MakePages();
    auto* inner = new TPanel(Form);
    inner->SetParent(Pages->Pages(2));
    inner->SetBounds(5, 5, 50, 30);
    Form->Show();
    Pump();
    Pages->SetActivePage(Pages->Pages(2));
    HWND before = Pages->Handle();
    Pages->SetStyle(tsButtons);
    Pump();
    EXPECT_NE(Pages->Handle(), before);
    EXPECT_NE(GetWindowLong(Pages->Handle(), GWL_STYLE) & static_cast<LONG>(TCS_BUTTONS), 0);
    EXPECT_EQ(WindowTabTexts(Pages), "A,B,C");
    EXPECT_EQ(Pages->TabIndex(), 2);
    EXPECT_EQ(Pages->ActivePageIndex(), 2);
    EXPECT_TRUE(Pages->Pages(2)->Showing());
    EXPECT_TRUE(IsWindowVisible(inner->Handle()));
    EXPECT_EQ(Pages->Pages(2)->BoundsRect(), Pages->DisplayRect());
    // The form's own window going and coming back keeps them too.
    Form->RecreateWnd();
    Pump();
    EXPECT_EQ(WindowTabTexts(Pages), "A,B,C");
    EXPECT_EQ(Pages->TabIndex(), 2);
}

TEST_F(GuiPageControlTest, TabControlAppliesWhatWasSetBeforeItsWindow)
{
    Form = NewForm(50, 50, 500, 400);
    auto* tabs = new TTabControl(Form);
    tabs->SetParent(Form);
    tabs->SetBounds(10, 10, 400, 200);
    EXPECT_EQ(tabs->TabIndex(), -1);
    tabs->Tabs()->SetCommaText("One,Two,Three");
    EXPECT_EQ(tabs->TabIndex(), 0);
    tabs->SetTabIndex(2);
    tabs->SetTabIndex(7);  // no such tab: ignored
    tabs->SetTabWidth(80);
    tabs->SetTabHeight(24);
    EXPECT_THROW(tabs->SetTabHeight(-1), EInvalidOperation);
    EXPECT_EQ(tabs->TabHeight(), 24);
    tabs->OnChanging = ChangingEvent();
    tabs->OnChange = ChangeEvent();
    Form->Show();
    Pump();
    EXPECT_EQ(WindowTabTexts(tabs), "One,Two,Three");
    EXPECT_EQ(tabs->TabIndex(), 2);
    TRect r = tabs->TabRect(0);
    EXPECT_EQ(r.right - r.left, 80);
    EXPECT_EQ(r.bottom - r.top, 24);
    EXPECT_EQ(tabs->TabRect(9), TRect(0, 0, 0, 0));

    tabs->Tabs()->Delete(0);
    EXPECT_EQ(WindowTabTexts(tabs), "Two,Three");
    EXPECT_EQ(tabs->TabIndex(), 1);
    tabs->Tabs()->SetStrings(0, "Second");
    EXPECT_EQ(WindowTabTexts(tabs), "Second,Three");
    ClickTab(tabs, 0);
    EXPECT_EQ(Log, (std::vector<std::string>{"changing", "change"}));
    EXPECT_EQ(tabs->TabIndex(), 0);

    // Styles that need a new window keep the tabs.
    tabs->SetTabPosition(tpBottom);
    tabs->SetMultiLine(true);
    Pump();
    EXPECT_EQ(WindowTabTexts(tabs), "Second,Three");
    EXPECT_EQ(tabs->TabIndex(), 0);
    TRect d = tabs->DisplayRect();
    EXPECT_GT(tabs->ClientRect().bottom - d.bottom, 20);
}

TEST_F(GuiPageControlTest, ImagesWidenTheTabsAndAFreedListIsLetGo)
{
    MakePages();
    Form->Show();
    Pump();
    int plain = Pages->TabRect(0).right - Pages->TabRect(0).left;
    auto* images = new TImageList(Form);
    images->SetWidth(12);
    images->SetHeight(12);
    TBitmap strip;
    strip.SetSize(24, 12);
    strip.Canvas()->Brush()->SetColor(clRed);
    strip.Canvas()->FillRect(TRect(0, 0, 24, 12));
    images->Add(&strip, nullptr);
    Pages->SetImages(images);
    Pages->Pages(1)->SetImageIndex(-1);  // no picture for this one
    Pump();
    EXPECT_GE(Pages->TabRect(0).right - Pages->TabRect(0).left, plain + 12);
    EXPECT_EQ(Pages->TabRect(1).right - Pages->TabRect(1).left, plain);
    EXPECT_NE(SendMessage(Pages->Handle(), TCM_GETIMAGELIST, 0, 0), 0);
    images->Free();
    EXPECT_EQ(Pages->Images(), nullptr);
    EXPECT_EQ(SendMessage(Pages->Handle(), TCM_GETIMAGELIST, 0, 0), 0);
    EXPECT_EQ(Pages->TabRect(0).right - Pages->TabRect(0).left, plain);
}

// ---- Stored descriptions ----------------------------------------------------------------

class TPagesForm : public TForm {
public:
    using TForm::TForm;
    TPageControl* PageControl1 = nullptr;
    TTabSheet* TabSheet1 = nullptr;
    TTabSheet* TabSheet2 = nullptr;
    TPanel* Panel1 = nullptr;
    TUpDown* UpDown1 = nullptr;
    int Changes = 0;
    void PagesChange(TObject*) { ++Changes; }

    PUBLISHED(TPagesForm, TForm)
    {
        P.Member("PageControl1", &TPagesForm::PageControl1);
        P.Member("TabSheet1", &TPagesForm::TabSheet1);
        P.Member("TabSheet2", &TPagesForm::TabSheet2);
        P.Member("Panel1", &TPagesForm::Panel1);
        P.Member("UpDown1", &TPagesForm::UpDown1);
        P.Handler("PagesChange", &TPagesForm::PagesChange);
    }
};

const char* const kPagesDescription = R"(object PagesForm: TPagesForm
  Left = 20
  Top = 20
  Width = 420
  Height = 320
  object PageControl1: TPageControl
    Left = 8
    Top = 8
    Width = 300
    Height = 200
    ActivePage = TabSheet2
    TabPosition = tpBottom
    OnChange = PagesChange
    object TabSheet1: TTabSheet
      Caption = 'General'
    end
    object TabSheet2: TTabSheet
      Caption = 'Conversion'
      ImageIndex = 1
      object Panel1: TPanel
        Left = 10
        Top = 10
        Width = 60
        Height = 24
      end
      object UpDown1: TUpDown
        Left = 70
        Top = 10
        Width = 17
        Height = 24
        Associate = Panel1
        Max = 8
        Min = 1
        Position = 4
        Wrap = True
      end
    end
  end
end
)";

TEST_F(GuiPageControlTest, PagesAreReadFromADescription)
{
    RegisterComCtrlsClasses();
    RegisterClasses<TPagesForm, TPanel>();
    auto* form = new TPagesForm(Owner);
    ReadComponentText(form, kPagesDescription);
    TPageControl* pc = form->PageControl1;
    ASSERT_NE(pc, nullptr);
    ASSERT_EQ(pc->PageCount(), 2);
    EXPECT_EQ(pc->Pages(0), form->TabSheet1);
    EXPECT_EQ(pc->Pages(1), form->TabSheet2);
    EXPECT_EQ(form->TabSheet1->Owner(), form);
    EXPECT_EQ(form->TabSheet2->Parent(), pc);
    EXPECT_EQ(TabTexts(pc), "General,Conversion");
    EXPECT_EQ(pc->ActivePage(), form->TabSheet2);
    EXPECT_EQ(pc->TabPosition(), tpBottom);
    EXPECT_EQ(form->TabSheet2->ImageIndex(), 1);
    EXPECT_EQ(form->UpDown1->Associate(), form->Panel1);
    EXPECT_EQ(form->UpDown1->Position(), 4);

    form->Show();
    Pump();
    EXPECT_EQ(WindowTabTexts(pc), "General,Conversion");
    EXPECT_EQ(pc->TabIndex(), 1);
    EXPECT_TRUE(form->TabSheet2->Showing());
    EXPECT_FALSE(form->TabSheet1->Visible());
    EXPECT_EQ(form->TabSheet2->BoundsRect(), pc->DisplayRect());
    EXPECT_EQ(GetWindowTextString(form->Panel1->Handle()), "4");
    ClickTab(pc, 0);
    EXPECT_EQ(form->Changes, 1);
    EXPECT_EQ(pc->ActivePage(), form->TabSheet1);

    // What was read writes back as it was read, and reads again the same.
    pc->SetActivePage(form->TabSheet2);
    std::string written = WriteComponentText(form);
    EXPECT_NE(written.find("ActivePage = TabSheet2"), std::string::npos) << written;
    EXPECT_LT(written.find("object TabSheet1"), written.find("object TabSheet2")) << written;
    EXPECT_EQ(written.find("PageIndex"), std::string::npos) << written;
    form->SetName("FirstReading");  // names are unique among the owner's components
    auto* second = new TPagesForm(Owner);
    ReadComponentText(second, written);
    EXPECT_EQ(TabTexts(second->PageControl1), "General,Conversion");
    EXPECT_EQ(second->PageControl1->ActivePage(), second->TabSheet2);
    EXPECT_EQ(WriteComponentText(second), written);
}

class TTabsForm : public TForm {
public:
    using TForm::TForm;
    TTabControl* Tabs1 = nullptr;
    PUBLISHED(TTabsForm, TForm) { P.Member("Tabs1", &TTabsForm::Tabs1); }
};

TEST_F(GuiPageControlTest, TabControlTabsAndIndexAreReadFromADescription)
{
    RegisterClasses<TTabsForm, TTabControl>();
    auto* form = new TTabsForm(Owner);
    ReadComponentText(form, R"(object Form1: TTabsForm
  object Tabs1: TTabControl
    Left = 0
    Top = 0
    Width = 300
    Height = 100
    Tabs.Strings = (
      'One'
      'Two'
      'Three')
    TabIndex = 2
    TabWidth = 70
  end
end
)");
    TTabControl* tabs = form->Tabs1;
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(TabTexts(tabs), "One,Two,Three");
    EXPECT_EQ(tabs->TabIndex(), 2);
    form->Show();
    Pump();
    EXPECT_EQ(WindowTabTexts(tabs), "One,Two,Three");
    EXPECT_EQ(tabs->TabIndex(), 2);
    EXPECT_EQ(tabs->TabRect(1).right - tabs->TabRect(1).left, 70);
}

} // namespace
