// The MDI demo: a skinned main form with a menu bar and a tabs bar, five
// skinned children tiled, cascaded, one maximized, a tab dragged and the
// hidden-tabs menu opened; headless and on the X display.
#include "platform/backend/X11.h"
#include "skin/forms/SkinMDITabsBar.h"
#include "skin/forms/SkinMenuBar.h"
#include "skin/forms/SkinMenus.h"
#include "support/X11TestSession.h"

#include "FormTestSupport.h"

using formtest::TFormTest;

namespace {

class MDIDemoTest : public TFormTest {
protected:
    void TearDown() override
    {
        Application->SetMainForm(nullptr);
        TFormTest::TearDown();
    }
    void BuildDemo(int X, int Y)
    {
        TspSkinData* d = LoadSkinNew();
        Form = new TForm(Owner);
        Form->SetName("Main");
        Form->SetCaption("Tarnello MDI");
        Form->SetFormStyle(fsMDIForm);
        Application->SetMainForm(Form);
        Skinner = new TspFormSkinner(Form);
        Skinner->SetSkinData(d);
        auto* menu = new TspSkinMainMenu(Form);
        for (const char* c : {"&File", "&Edit", "&Window"}) {
            auto* i = new TMenuItem(Form);
            i->SetCaption(c);
            menu->Items()->Add(i);
            auto* sub = new TMenuItem(Form);
            sub->SetCaption("Item");
            i->Add(sub);
            WindowItem = i;
        }
        Form->SetWindowMenu(WindowItem);
        MenuBar = new TspSkinMainMenuBar(Form);
        MenuBar->SetParent(Form);
        MenuBar->SetFormSkinner(Skinner);
        MenuBar->SetSkinData(d);
        MenuBar->SetMainMenu(menu);
        Tabs = new TspSkinMDITabsBar(Form);
        Tabs->SetParent(Form);
        Tabs->SetAlign(alTop);
        Tabs->SetTop(100);
        Tabs->SetSkinData(d);
        Tabs->SetFormSkinner(Skinner);
        Tabs->ShowCloseButtons = true;
        Skinner->SetMDITabsBar(Tabs);
        Form->SetBounds(X, Y, 720, 420);
        Form->Show();
        Pump();
        for (int i = 1; i <= 5; ++i) {
            auto* c = new TForm(Owner);
            c->SetName("Doc" + std::to_string(i));
            c->SetCaption("Document " + std::to_string(i));
            c->SetFormStyle(fsMDIChild);
            c->SetBounds(20 * i, 20 * i, 260, 180);
            auto* s = new TspFormSkinner(c);
            s->SetSkinData(d);
            c->Show();
            Pump();
            Kids.push_back(c);
        }
    }
    void Steps(const std::function<void(const std::string&)>& ShotFn, const std::function<void()>& Settle)
    {
        Skinner->Tile();
        Settle();
        ShotFn("mdi-demo-tiled");
        Skinner->Cascade();
        Settle();
        ShotFn("mdi-demo-cascaded");
        FindFormSkinner(Kids[2])->SetWindowState(wsMaximized);
        Settle();
        EXPECT_TRUE(Skinner->MDIChildMaximized());
        EXPECT_NE(Skinner->FrameCaptionText().find(" - [Document"), std::string::npos);
        // The child's system menu, close, restore and minimize buttons on the bar.
        EXPECT_EQ(MenuBar->ChildButtons.size(), 4u);
        MenuBar->Repaint();
        Settle();
        ShotFn("mdi-demo-maximized");
        FindFormSkinner(Kids[2])->SetWindowState(wsNormal);
        Settle();
        // Drag the first tab two tabs to the right.
        Tabs->CalcTabRects();
        const TRect r0 = Tabs->Tabs(0)->ObjectRect, r2 = Tabs->Tabs(2)->ObjectRect;
        TCustomForm* first = Tabs->Tabs(0)->Child;
        const int x0 = r0.left + 10, x1 = x0 + (r2.right - r0.right);
        SendMessage(Tabs->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x0, 5));
        SendMessage(Tabs->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x0 + 1, 5));
        SendMessage(Tabs->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x1, 5));
        Tabs->Repaint();
        Settle();
        ShotFn("mdi-demo-tab-drag");
        SendMessage(Tabs->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(x1, 5));
        Settle();
        EXPECT_EQ(Tabs->Tabs(2)->Child, first);
        // Narrow tabs: the hidden ones are listed by the right-hand button.
        Tabs->MinTabWidth = 200;
        Tabs->Repaint();
        Settle();
        ASSERT_NE(Tabs->HideListButton(), nullptr);
        Tabs->FillListMenu(true);
        const TPoint p = Tabs->ClientToScreen(TPoint(Tabs->Width() - 15, Tabs->Height()));
        Tabs->HideListMenu()->Popup(p.x, p.y);
        Settle();
        EXPECT_TRUE(Skinner->SkinMenu->Visible());
        ShotFn("mdi-demo-hidden-tabs-menu");
        Skinner->SkinMenu->Hide();
        Settle();
    }
    TForm* Form = nullptr;
    TMenuItem* WindowItem = nullptr;
    TspSkinMainMenuBar* MenuBar = nullptr;
    TspSkinMDITabsBar* Tabs = nullptr;
    std::vector<TForm*> Kids;
};

TEST_F(MDIDemoTest, TheMDIDemoRunsHeadless)
{
    BuildDemo(40, 40);
    Steps(
        [&](const std::string& Name) {
            EXPECT_TRUE(tarnello::test::SaveScreenArea(Form->Left() - 10, Form->Top() - 10, Form->Width() + 120,
                                                       Form->Height() + 120, Name + ".png"));
        },
        [] { Pump(); });
}

class MDIDemoX11Test : public MDIDemoTest {
protected:
    void SetUp() override
    {
        MDIDemoTest::SetUp();
        if (!X11.Ok())
            GTEST_SKIP() << "no X display";
        X11.Select();
    }
    void TearDown() override
    {
        if (X11.Ok()) {
            for (TForm* k : Kids)
                k->Free();
            Kids.clear();
            if (Form)
                Form->Free();
            Form = nullptr;
            X11.Release();
        }
        MDIDemoTest::TearDown();
    }
    tarnello::test::X11TestSession X11;
};

// The demo keeps to its own band of the shared screen (x 520-1270, y 20-540).
TEST_F(MDIDemoX11Test, TheMDIDemoShowsOnTheXScreen)
{
    BuildDemo(530, 30);
    ASSERT_TRUE(X11.PumpUntil([&] { return IsWindowVisible(Tabs->Handle()) != 0; }));
    Steps([&](const std::string& Name) { EXPECT_TRUE(X11.SaveArea(520, 20, 740, 480, "x11-" + Name + ".png")); },
          [&] { X11.Settle(200); });
}

}  // namespace
