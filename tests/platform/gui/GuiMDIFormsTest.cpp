// MDI main forms and children: the client window, activation order,
// the child list, Next, and children without an MDI main form.
#include "GuiTestCommon.h"

#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Menus.h"
#include "platform/user/MdiClient.h"

namespace {

struct TActEvents : TObject {
    TMessageLog* Log = nullptr;
    void Activate(TObject* s) { Log->Add(static_cast<TComponent*>(s)->Name() + ".OnActivate"); }
    void Deactivate(TObject* s) { Log->Add(static_cast<TComponent*>(s)->Name() + ".OnDeactivate"); }
};

class GuiMDIFormsTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        OldMain = Application->MainForm();
    }
    void TearDown() override
    {
        Application->SetMainForm(OldMain);
        GuiTest::TearDown();
    }
    TCustomForm* NewMain()
    {
        TCustomForm* m = NewForm(20, 20, 640, 480, "Main");
        m->SetFormStyle(fsMDIForm);
        Application->SetMainForm(m);
        m->Show();
        Pump();
        return m;
    }
    TCustomForm* NewChild(const std::string& name, int x = 10, int y = 10)
    {
        TCustomForm* c = NewForm(x, y, 200, 150, name);
        c->SetFormStyle(fsMDIChild);
        c->SetCaption(name);
        return c;
    }
    TCustomForm* OldMain = nullptr;
};

TEST_F(GuiMDIFormsTest, TheClientFillsTheSpaceATopAlignedPanelLeaves)
{
    TCustomForm* m = NewMain();
    auto* panel = new TPanel(m);
    panel->SetParent(m);
    panel->SetHeight(40);
    panel->SetAlign(alTop);
    Pump();
    HWND client = m->ClientHandle();
    ASSERT_TRUE(IsMDIClientWindow(client));
    EXPECT_EQ(GetParent(client), m->Handle());
    RECT r;
    GetWindowRect(client, &r);
    TPoint tl = m->ScreenToClient(TPoint(r.left, r.top));
    EXPECT_EQ(tl.x, 0);
    EXPECT_EQ(tl.y, 40);
    EXPECT_EQ(r.right - r.left, m->ClientWidth());
    EXPECT_EQ(r.bottom - r.top, m->ClientHeight() - 40);
    // No edge: its client area is the whole window.
    RECT c;
    GetClientRect(client, &c);
    EXPECT_EQ(c.right, r.right - r.left);
    EXPECT_EQ(GetWindowLong(client, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL), 0);
    m->SetClientHeight(m->ClientHeight() + 60);
    Pump();
    GetWindowRect(client, &r);
    EXPECT_EQ(r.bottom - r.top, m->ClientHeight() - 40);
}

TEST_F(GuiMDIFormsTest, ChildrenLiveInTheClientAndShowingActivatesTheNewestFirst)
{
    TCustomForm* m = NewMain();
    TCustomForm* a = NewChild("A");
    TCustomForm* b = NewChild("B", 40, 40);
    a->Show();
    b->Show();
    Pump();
    EXPECT_EQ(GetParent(a->Handle()), m->ClientHandle());
    EXPECT_TRUE(GetWindowLong(a->Handle(), GWL_EXSTYLE) & WS_EX_MDICHILD);
    EXPECT_TRUE(GetWindowLong(a->Handle(), GWL_STYLE) & WS_CAPTION);
    EXPECT_EQ(m->MDIChildCount(), 2);
    EXPECT_EQ(m->ActiveMDIChild(), b);
    EXPECT_EQ(m->MDIChildren(0), b);
    EXPECT_EQ(m->MDIChildren(1), a);
    EXPECT_TRUE(b->Active());
    EXPECT_FALSE(a->Active());
    // The frame stays the active window, the focus is inside the child.
    EXPECT_EQ(GetActiveWindow(), m->Handle());
    EXPECT_EQ(GetFocus(), b->Handle());
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessage(m->ClientHandle(), WM_MDIGETACTIVE, 0, 0)), b->Handle());
    // The screen lists them among its forms.
    bool listed = false;
    for (int i = 0; i < Screen->CustomFormCount(); ++i)
        listed = listed || Screen->CustomForms(i) == a;
    EXPECT_TRUE(listed);
    EXPECT_THROW(m->MDIChildren(2), EListError);
    EXPECT_EQ(a->MDIChildCount(), 0);
    EXPECT_EQ(a->ActiveMDIChild(), nullptr);
}

TEST_F(GuiMDIFormsTest, AClickOnAnInactiveChildTellsTheOldOneFirstThenTheNewOne)
{
    TMessageLog log;
    TActEvents ev;
    ev.Log = &log;
    TCustomForm* m = NewMain();
    TCustomForm* a = NewChild("A", 0, 0);
    TCustomForm* b = NewChild("B", 300, 200);
    a->OnActivate = MakeEvent(&ev, &TActEvents::Activate);
    a->OnDeactivate = MakeEvent(&ev, &TActEvents::Deactivate);
    b->OnActivate = MakeEvent(&ev, &TActEvents::Activate);
    b->OnDeactivate = MakeEvent(&ev, &TActEvents::Deactivate);
    a->Show();
    b->Show();
    Pump();
    ASSERT_EQ(m->ActiveMDIChild(), b);
    log.Lines.clear();
    log.Hook(a, "A");
    log.Hook(b, "B");
    log.Hook(m, "M");
    log.Watch = {WM_MOUSEACTIVATE, WM_NCACTIVATE, WM_MDIACTIVATE, WM_ACTIVATE, WM_LBUTTONDOWN};
    TPoint p = a->ClientToScreen(TPoint(20, 20));
    HeadlessClick(p.x, p.y);
    Pump();
    EXPECT_EQ(log.Joined(),
              "A.MOUSEACTIVATE M.MOUSEACTIVATE B.NCACTIVATE(0) B.MDIACTIVATE B.OnDeactivate "
              "A.NCACTIVATE(1) A.MDIACTIVATE A.OnActivate A.LBUTTONDOWN");
    EXPECT_EQ(m->ActiveMDIChild(), a);
    EXPECT_EQ(m->MDIChildren(0), a);
    EXPECT_EQ(GetFocus(), a->Handle());
    EXPECT_EQ(GetActiveWindow(), m->Handle());
    // A second click on the now active child activates nothing again.
    log.Lines.clear();
    HeadlessClick(p.x, p.y);
    Pump();
    EXPECT_EQ(log.Find("A.MDIACTIVATE"), -1) << log.Joined();
}

TEST_F(GuiMDIFormsTest, NextVisitsEveryChildAndHidingOrFreeingTheActiveOneActivatesAnother)
{
    TCustomForm* m = NewMain();
    TCustomForm* a = NewChild("A");
    TCustomForm* b = NewChild("B");
    TCustomForm* c = NewChild("C");
    a->Show();
    b->Show();
    c->Show();
    Pump();
    ASSERT_EQ(m->ActiveMDIChild(), c);
    m->Next();
    EXPECT_EQ(m->ActiveMDIChild(), b);
    m->Next();
    EXPECT_EQ(m->ActiveMDIChild(), a);
    m->Next();
    EXPECT_EQ(m->ActiveMDIChild(), c);
    c->Hide();
    Pump();
    EXPECT_EQ(m->MDIChildCount(), 2);
    ASSERT_NE(m->ActiveMDIChild(), nullptr);
    EXPECT_NE(m->ActiveMDIChild(), c);
    TCustomForm* active = m->ActiveMDIChild();
    TCustomForm* other = active == a ? b : a;
    active->Free();
    Pump();
    EXPECT_EQ(m->ActiveMDIChild(), other);
    EXPECT_TRUE(other->Active());
    other->Free();
    Pump();
    EXPECT_EQ(m->ActiveMDIChild(), nullptr);
    EXPECT_EQ(m->MDIChildCount(), 0);
    m->Next();  // nothing to visit
}

TEST_F(GuiMDIFormsTest, AChildWithoutAnMDIMainFormFailsAndLeavesNothingMade)
{
    TCustomForm* main = NewForm(0, 0, 300, 200, "Plain");
    Application->SetMainForm(main);
    TCustomForm* c = NewChild("Lone");
    EXPECT_THROW(c->Show(), EInvalidOperation);
    EXPECT_FALSE(c->HandleAllocated());
    EXPECT_FALSE(c->Visible());
    Application->SetMainForm(nullptr);
    EXPECT_THROW(c->HandleNeeded(), EInvalidOperation);
    EXPECT_FALSE(c->HandleAllocated());
    EXPECT_EQ(main->ActiveMDIChild(), nullptr);
    EXPECT_EQ(main->MDIChildCount(), 0);
    EXPECT_EQ(main->ClientHandle(), nullptr);
}

TEST_F(GuiMDIFormsTest, ClosingAChildMinimizesItAndTheWindowMenuIsClearedWhenFreed)
{
    TCustomForm* m = NewMain();
    auto* menu = new TMainMenu(m);
    auto* item = new TMenuItem(menu);
    menu->Items()->Add(item);
    m->SetWindowMenu(item);
    EXPECT_EQ(m->WindowMenu(), item);
    item->Free();
    EXPECT_EQ(m->WindowMenu(), nullptr);
    m->SetMenu(menu);
    menu->Free();
    EXPECT_EQ(m->Menu(), nullptr);
    TCustomForm* a = NewChild("A");
    a->Show();
    Pump();
    a->Close();
    Pump();
    EXPECT_EQ(a->WindowState(), wsMinimized);
}

}  // namespace
