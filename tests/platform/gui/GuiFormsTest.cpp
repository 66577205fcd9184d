// Forms and the application loop: message order when showing, activation by
// clicks, focus moves, dialog keys, modal loops and deferred release.
#include "GuiTestCommon.h"

#include "platform/gui/ExtCtrls.h"

namespace {

struct TEvents : TObject {
    TMessageLog* Log = nullptr;
    std::string Name;
    void Show(TObject*) { Log->Add(Name + ".OnShow"); }
    void Activate(TObject*) { Log->Add(Name + ".OnActivate"); }
    void Enter(TObject* s) { Log->Add(static_cast<TComponent*>(s)->Name() + ".OnEnter"); }
    void Exit(TObject* s) { Log->Add(static_cast<TComponent*>(s)->Name() + ".OnExit"); }
    void Click(TObject* s) { Log->Add(static_cast<TComponent*>(s)->Name() + ".OnClick"); }
};

class GuiFormsTest : public GuiTest {};

TEST_F(GuiFormsTest, ShowingAFormRunsOnShowThenShowsActivatesAndFocusesItsActiveControl)
{
    TMessageLog log;
    TEvents ev;
    ev.Log = &log;
    ev.Name = "F";
    TCustomForm* f = NewForm(100, 100, 300, 200, "F");
    auto* b = new TTestButton(f);
    b->SetName("B");
    b->SetParent(f);
    f->SetActiveControl(b);
    f->OnShow = MakeEvent(&ev, &TEvents::Show);
    f->OnActivate = MakeEvent(&ev, &TEvents::Activate);
    b->OnEnter = MakeEvent(&ev, &TEvents::Enter);
    f->HandleNeeded();
    log.Hook(f, "F");
    log.Hook(b, "B");
    log.Watch = {WM_SHOWWINDOW, WM_ACTIVATE, WM_SETFOCUS, CM_ENTER};
    f->Show();
    Pump();
    EXPECT_EQ(log.Joined(), "F.OnShow F.SHOWWINDOW F.ACTIVATE(1) F.OnActivate B.SETFOCUS B.CM_ENTER B.OnEnter");
    EXPECT_TRUE(f->Active());
    EXPECT_EQ(Screen->ActiveCustomForm(), f);
    EXPECT_EQ(Screen->ActiveControl(), b);
    EXPECT_EQ(GetFocus(), b->Handle());
}

TEST_F(GuiFormsTest, ClickOnAnInactiveFormDeactivatesTheOtherFirstAndReachesTheControl)
{
    TMessageLog log;
    TCustomForm* a = NewForm(50, 50, 200, 150, "A");
    TCustomForm* b = NewForm(400, 50, 200, 150, "B");
    auto* btn = new TTestButton(a);
    btn->SetName("Btn");
    btn->SetParent(a);
    btn->SetBounds(10, 10, 80, 30);
    a->Show();
    b->Show();
    Pump();
    ASSERT_EQ(Screen->ActiveCustomForm(), b);
    EXPECT_EQ(Screen->CustomForms(0), b);
    log.Hook(a, "A");
    log.Hook(b, "B");
    log.Hook(btn, "Btn");
    log.Watch = {WM_ACTIVATE, WM_MOUSEACTIVATE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_SETFOCUS, WM_KILLFOCUS};
    TPoint p = btn->ClientToScreen(TPoint(5, 5));
    HeadlessClick(p.x, p.y);
    Pump();
    int mouseActivate = log.Find("Btn.MOUSEACTIVATE");
    int bOff = log.Find("B.ACTIVATE(0)");
    int aOn = log.Find("A.ACTIVATE(1)");
    int down = log.Find("Btn.LBUTTONDOWN");
    ASSERT_GE(mouseActivate, 0) << log.Joined();
    ASSERT_GE(bOff, 0) << log.Joined();
    ASSERT_GE(aOn, 0) << log.Joined();
    ASSERT_GE(down, 0) << log.Joined();
    EXPECT_LT(mouseActivate, bOff);
    EXPECT_LT(bOff, aOn);
    EXPECT_LT(aOn, down);
    EXPECT_EQ(btn->Clicks, 1);
    EXPECT_EQ(Screen->ActiveCustomForm(), a);
    EXPECT_EQ(Screen->CustomForms(0), a);
    EXPECT_EQ(Screen->CustomForms(1), b);
}

// Tab order, focus events and the dialog keys in one form.
class GuiDialogKeysTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        Form = NewForm(100, 100, 400, 200, "Dlg");
        for (int i = 0; i < 4; ++i) {
            auto* b = new TTestButton(Form);
            b->SetName("B" + std::to_string(i));
            b->SetParent(Form);
            b->SetBounds(10 + 90 * i, 10, 80, 30);
            b->OnEnter = MakeEvent(&Ev, &TEvents::Enter);
            b->OnExit = MakeEvent(&Ev, &TEvents::Exit);
            Buttons.push_back(b);
        }
        Ev.Log = &Log;
        Buttons[2]->SetTabStop(false);
        Ok = Buttons[0];
        Ok->Default = true;
        CancelB = Buttons[3];
        CancelB->Cancel = true;
        Form->SetActiveControl(Buttons[1]);
        Form->Show();
        Pump();
        Log.Lines.clear();
    }
    TCustomForm* Form = nullptr;
    std::vector<TTestButton*> Buttons;
    TTestButton* Ok = nullptr;
    TTestButton* CancelB = nullptr;
    TMessageLog Log;
    TEvents Ev;
};

TEST_F(GuiDialogKeysTest, TabMovesFocusInTabOrderSkippingControlsWithoutTabStop)
{
    struct TCase {
        std::vector<WORD> Keys;
        bool Shift;
        int Expected;
    } cases[] = {
        {{VK_TAB}, false, 3},         // B2 has no tab stop
        {{VK_TAB, VK_TAB}, false, 0}, // wraps around
        {{VK_TAB}, true, 0},          // Shift+Tab goes back
    };
    for (const TCase& c : cases) {
        Form->SetActiveControl(Buttons[1]);
        Pump();
        if (c.Shift)
            HeadlessKeyDown(VK_SHIFT);
        for (WORD k : c.Keys)
            HeadlessKeyPress(k);
        if (c.Shift)
            HeadlessKeyUp(VK_SHIFT);
        Pump();
        EXPECT_EQ(Form->ActiveControl(), Buttons[static_cast<size_t>(c.Expected)]) << c.Expected;
        EXPECT_EQ(GetFocus(), Buttons[static_cast<size_t>(c.Expected)]->Handle());
    }
}

TEST_F(GuiDialogKeysTest, FocusMoveSendsExitBeforeEnter)
{
    HeadlessKeyPress(VK_TAB);
    Pump();
    EXPECT_EQ(Log.Joined(), "B1.OnExit B3.OnEnter");
}

TEST_F(GuiDialogKeysTest, EnterClicksTheDefaultButtonAndEscapeTheCancelButton)
{
    struct TCase {
        WORD Key;
        int Focused;
        int OkClicks, CancelClicks, FocusedClicks;
    } cases[] = {
        {VK_RETURN, 1, 0, 0, 1},  // a focused button takes Enter itself
        {VK_ESCAPE, 1, 0, 1, 0},
    };
    for (const TCase& c : cases) {
        for (auto* b : Buttons)
            b->Clicks = 0;
        Form->SetActiveControl(Buttons[static_cast<size_t>(c.Focused)]);
        Pump();
        HeadlessKeyPress(c.Key);
        Pump();
        EXPECT_EQ(Ok->Clicks, c.OkClicks) << c.Key;
        EXPECT_EQ(CancelB->Clicks, c.CancelClicks) << c.Key;
        if (c.Focused != 0 && c.Focused != 3)
            EXPECT_EQ(Buttons[static_cast<size_t>(c.Focused)]->Clicks, c.FocusedClicks) << c.Key;
    }
}

// A control that is not a button: Enter goes to the form as a dialog key.
class TPlainBox : public TCustomControl {
public:
    explicit TPlainBox(TComponent* AOwner) : TCustomControl(AOwner) { SetTabStop(true); }
    LRESULT DlgCode = 0;
    std::vector<WORD> Keys;
    void WndProc(TMessage& Message) override
    {
        if (Message.Msg == WM_GETDLGCODE) {
            Message.Result = DlgCode;
            return;
        }
        if (Message.Msg == WM_KEYDOWN)
            Keys.push_back(static_cast<WORD>(Message.WParam));
        TCustomControl::WndProc(Message);
    }
};

TEST_F(GuiDialogKeysTest, EnterReachesTheDefaultButtonUnlessTheFocusedControlWantsIt)
{
    auto* box = new TPlainBox(Form);
    box->SetParent(Form);
    box->SetBounds(10, 60, 100, 30);
    struct TCase {
        LRESULT DlgCode;
        int OkClicks;
        size_t BoxKeys;
    } cases[] = {{0, 1, 0}, {DLGC_WANTALLKEYS, 0, 1}};
    for (const TCase& c : cases) {
        box->DlgCode = c.DlgCode;
        box->Keys.clear();
        Ok->Clicks = 0;
        Form->SetActiveControl(box);
        Pump();
        HeadlessKeyPress(VK_RETURN);
        Pump();
        EXPECT_EQ(Ok->Clicks, c.OkClicks);
        EXPECT_EQ(box->Keys.size(), c.BoxKeys);
    }
}

TEST_F(GuiDialogKeysTest, OnMessageSeesKeysFirstAndCanSwallowThem)
{
    struct TSink : TObject {
        std::vector<UINT> Seen;
        bool Swallow = false;
        void OnMessage(MSG& m, bool& handled)
        {
            if (m.message == WM_KEYDOWN || m.message == WM_CHAR || m.message == WM_KEYUP) {
                Seen.push_back(m.message);
                handled = Swallow;
            }
        }
    } sink;
    Application->OnMessage = MakeEvent(&sink, &TSink::OnMessage);
    sink.Swallow = true;
    HeadlessKeyPress(VK_ESCAPE);
    Pump();
    EXPECT_GE(sink.Seen.size(), 2u);
    EXPECT_EQ(CancelB->Clicks, 0);
    sink.Swallow = false;
    HeadlessKeyPress(VK_ESCAPE);
    Pump();
    EXPECT_EQ(CancelB->Clicks, 1);
}

TEST_F(GuiDialogKeysTest, ShowModalReturnsTheModalResultOfTheButtonAndReEnablesOtherForms)
{
    TCustomForm* dlg = NewForm(200, 200, 200, 100, "Modal");
    auto* ok = new TTestButton(dlg);
    ok->SetParent(dlg);
    ok->Default = true;
    ok->ModalResult = mrOk;
    dlg->SetActiveControl(ok);
    // The key waits in the queue; the modal loop handles it.
    HeadlessKeyPress(VK_RETURN);
    TModalResult r = dlg->ShowModal();
    EXPECT_EQ(r, mrOk);
    EXPECT_FALSE(dlg->Visible());
    EXPECT_TRUE(IsWindowEnabled(Form->Handle()));
    EXPECT_THROW(
        {
            dlg->Show();
            dlg->ShowModal();
        },
        EInvalidOperation);
}

TEST_F(GuiFormsTest, ReleaseFreesTheFormOnlyAfterTheCurrentMessage)
{
    struct TWatch : TObject {
        bool Destroyed = false;
        TCustomForm* Form = nullptr;
        void OnDestroy(TObject*) { Destroyed = true; }
        void OnClick(TObject*)
        {
            Form->Release();
            // Still whole while its handler runs.
            EXPECT_FALSE(Destroyed);
            Form->SetCaption("still here");
        }
    } w;
    TCustomForm* f = NewForm(10, 10, 200, 100);
    w.Form = f;
    f->OnDestroy = MakeEvent(&w, &TWatch::OnDestroy);
    auto* b = new TTestButton(f);
    b->SetParent(f);
    b->OnClick = MakeEvent(&w, &TWatch::OnClick);
    f->Show();
    Pump();
    TPoint p = b->ClientToScreen(TPoint(3, 3));
    HeadlessClick(p.x, p.y);
    Pump();
    EXPECT_TRUE(w.Destroyed);
    EXPECT_EQ(Screen->CustomFormCount(), 0);
}

TEST_F(GuiFormsTest, AReleaseDuringANestedLoopOfItsOwnHandlerWaitsForThatHandler)
{
    struct TWatch : TObject {
        bool Destroyed = false;
        bool AliveAfterLoop = false;
        TCustomForm* Form = nullptr;
        void OnDestroy(TObject*) { Destroyed = true; }
        void OnClick(TObject*)
        {
            // A handler that pumps messages, as a fade or a drag does.
            Form->Release();
            HeadlessProcessMessages();
            AliveAfterLoop = !Destroyed;
            Form->SetCaption("still used");
        }
    } w;
    TCustomForm* f = NewForm(10, 10, 200, 100);
    w.Form = f;
    f->OnDestroy = MakeEvent(&w, &TWatch::OnDestroy);
    auto* b = new TTestButton(f);
    b->SetParent(f);
    b->OnClick = MakeEvent(&w, &TWatch::OnClick);
    f->Show();
    Pump();
    TPoint p = b->ClientToScreen(TPoint(3, 3));
    HeadlessClick(p.x, p.y);
    Pump();
    EXPECT_TRUE(w.AliveAfterLoop);
    EXPECT_TRUE(w.Destroyed);
    EXPECT_EQ(Screen->CustomFormCount(), 0);
}

TEST_F(GuiFormsTest, DeferFreeWaitsForTheMessageLoop)
{
    struct TFlag : TComponent {
        using TComponent::TComponent;
        bool* Gone = nullptr;
        ~TFlag() override { *Gone = true; }
    };
    bool gone = false;
    auto* obj = new TFlag(nullptr);
    obj->Gone = &gone;
    Application->DeferFree(obj);
    EXPECT_FALSE(gone);
    PostMessage(Application->Handle(), WM_NULL, 0, 0);
    Pump();
    EXPECT_TRUE(gone);
}

TEST_F(GuiFormsTest, CloseAsksOnCloseQueryAndHonoursTheCloseAction)
{
    struct TCloser : TObject {
        bool Allow = true;
        TCloseAction Action = caHide;
        void Query(TObject*, bool& can) { can = Allow; }
        void Close(TObject*, TCloseAction& a) { a = Action; }
    } c;
    struct TCase {
        bool Allow;
        TCloseAction Action;
        bool Visible;
    } cases[] = {{false, caHide, true}, {true, caNone, true}, {true, caHide, false}, {true, caMinimize, true}};
    for (const TCase& k : cases) {
        TCustomForm* f = NewForm(10, 10, 200, 100);
        f->OnCloseQuery = MakeEvent(&c, &TCloser::Query);
        f->OnClose = MakeEvent(&c, &TCloser::Close);
        c.Allow = k.Allow;
        c.Action = k.Action;
        f->Show();
        Pump();
        f->Close();
        Pump();
        EXPECT_EQ(f->Visible(), k.Visible) << k.Action;
        if (k.Action == caMinimize)
            EXPECT_EQ(f->WindowState(), wsMinimized);
        f->Free();
    }
}

TEST_F(GuiFormsTest, FormStylesGiveThePlatformWindowStyles)
{
    struct TCase {
        TFormBorderStyle Border;
        DWORD Has, HasNot, ExHas;
    } cases[] = {
        {bsSizeable, WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, WS_CHILD, 0},
        {bsDialog, WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_THICKFRAME | WS_MINIMIZEBOX, WS_EX_DLGMODALFRAME},
        {bsNone, WS_POPUP, WS_CAPTION, 0},
        {bsToolWindow, WS_CAPTION, WS_THICKFRAME, WS_EX_TOOLWINDOW},
    };
    for (const TCase& c : cases) {
        TCustomForm* f = NewForm(10, 10, 200, 100);
        f->SetBorderStyle(c.Border);
        auto style = static_cast<DWORD>(GetWindowLong(f->Handle(), GWL_STYLE));
        auto ex = static_cast<DWORD>(GetWindowLong(f->Handle(), GWL_EXSTYLE));
        EXPECT_EQ(style & c.Has, c.Has) << c.Border;
        EXPECT_EQ(style & c.HasNot, 0u) << c.Border;
        EXPECT_EQ(ex & c.ExHas, c.ExHas) << c.Border;
        EXPECT_EQ(GetWindow(f->Handle(), GW_OWNER), Application->Handle());
        f->Free();
    }
}

TEST_F(GuiFormsTest, ApplicationWindowIsMinimizedWithItsFormsAndRestored)
{
    struct TSpy : TObject {
        std::vector<WPARAM> Sizes;
        int Restores = 0;
        WNDPROC Old = nullptr;
        void OnRestore(TObject*) { ++Restores; }
    } spy;
    static TSpy* gSpy = nullptr;
    gSpy = &spy;
    TCustomForm* f = NewForm(10, 10, 200, 100);
    Application->SetMainForm(f);
    f->Show();
    Pump();
    HWND app = Application->Handle();
    spy.Old = reinterpret_cast<WNDPROC>(GetWindowLongPtr(app, GWL_WNDPROC));
    // The application's window can be subclassed like any other.
    SetWindowLongPtr(app, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        if (m == WM_SIZE)
            gSpy->Sizes.push_back(w);
        return CallWindowProc(gSpy->Old, h, m, w, l);
    }));
    Application->OnRestore = MakeEvent(&spy, &TSpy::OnRestore);
    Application->Minimize();
    Pump();
    EXPECT_FALSE(IsWindowVisible(f->Handle()));
    ASSERT_FALSE(spy.Sizes.empty());
    EXPECT_EQ(spy.Sizes.back(), SIZE_MINIMIZED);
    Application->Restore();
    Pump();
    EXPECT_TRUE(IsWindowVisible(f->Handle()));
    EXPECT_EQ(spy.Restores, 1);
    SetWindowLongPtr(app, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(spy.Old));
    Application->OnRestore = nullptr;
    Application->SetMainForm(nullptr);
    EXPECT_EQ(Application->TaskbarCreatedMessage(), RegisterWindowMessage("TaskbarCreated"));
}

}  // namespace

namespace {

TEST_F(GuiFormsTest, KeyPreviewLetsTheFormSeeKeysBeforeTheControl)
{
    struct TKeys : TObject {
        std::vector<std::string> Seen;
        bool Eat = false;
        void FormKey(TObject*, WORD& key, TShiftState)
        {
            Seen.push_back("form");
            if (Eat)
                key = 0;
        }
        void CtlKey(TObject*, WORD&, TShiftState) { Seen.push_back("control"); }
    } keys;
    TCustomForm* f = NewForm(100, 100, 200, 100);
    auto* b = new TTestButton(f);
    b->SetParent(f);
    b->OnKeyDown = MakeEvent(&keys, &TKeys::CtlKey);
    f->OnKeyDown = MakeEvent(&keys, &TKeys::FormKey);
    f->SetActiveControl(b);
    f->Show();
    Pump();
    struct TCase {
        bool Preview, Eat;
        std::vector<std::string> Expected;
    } cases[] = {
        {false, false, {"control"}},
        {true, false, {"form", "control"}},
        {true, true, {"form"}},
    };
    for (const TCase& c : cases) {
        keys.Seen.clear();
        keys.Eat = c.Eat;
        f->SetKeyPreview(c.Preview);
        HeadlessKeyPress('Q');
        Pump();
        EXPECT_EQ(keys.Seen, c.Expected);
    }
}

TEST_F(GuiFormsTest, PositionPlacesTheFormWhenFirstShown)
{
    TRect wa = Screen->WorkAreaRect();
    struct TCase {
        TPosition Position;
        bool Centred;
    } cases[] = {{poDesigned, false}, {poScreenCenter, true}, {poDesktopCenter, true}, {poMainFormCenter, true}};
    for (const TCase& c : cases) {
        TCustomForm* f = NewForm(7, 9, 200, 100);
        f->SetPosition(c.Position);
        f->Show();
        Pump();
        if (c.Centred) {
            EXPECT_EQ(f->Left(), wa.left + (wa.right - wa.left - 200) / 2) << c.Position;
            EXPECT_EQ(f->Top(), wa.top + (wa.bottom - wa.top - 100) / 2) << c.Position;
        } else {
            EXPECT_EQ(f->BoundsRect(), TRect(7, 9, 207, 109));
        }
        f->Free();
    }
}

TEST_F(GuiFormsTest, WindowStateFollowsTheWindow)
{
    TCustomForm* f = NewForm(10, 10, 200, 100);
    f->SetWindowState(wsMaximized);
    f->Show();
    Pump();
    EXPECT_EQ(f->WindowState(), wsMaximized);
    EXPECT_TRUE(IsZoomed(f->Handle()));
    f->SetWindowState(wsNormal);
    Pump();
    EXPECT_EQ(f->WindowState(), wsNormal);
    EXPECT_EQ(f->Width(), 200);
    f->SetWindowState(wsMinimized);
    Pump();
    EXPECT_TRUE(IsIconic(f->Handle()));
}

TEST_F(GuiFormsTest, ScrollBoxScrollsItsChildrenWithinTheRange)
{
    TCustomForm* f = NewForm(10, 10, 300, 300);
    auto* box = new TScrollBox(f);
    box->SetParent(f);
    box->SetBorderStyle(bsNone);
    box->SetBounds(0, 0, 100, 100);
    auto* child = new TTestButton(f);
    child->SetParent(box);
    child->SetBounds(10, 250, 50, 20);
    f->Show();
    Pump();
    box->UpdateScrollRange();
    EXPECT_EQ(box->VertScrollBar()->Range(), 270);
    box->VertScrollBar()->SetPosition(1000);  // clamped to the range
    EXPECT_EQ(box->VertScrollBar()->Position(), 170);
    EXPECT_EQ(child->Top(), 80);
    box->VertScrollBar()->SetPosition(0);
    EXPECT_EQ(child->Top(), 250);
    box->ScrollInView(child);
    EXPECT_EQ(child->Top() + child->Height(), 100);
}

}  // namespace

namespace {

TEST_F(GuiFormsTest, MainFormOnTaskBarMakesTheMainFormUnowned)
{
    struct TCase {
        bool OnTaskBar;
        bool Owned;
    } cases[] = {{false, true}, {true, false}};
    for (const TCase& c : cases) {
        TCustomForm* f = NewForm(10, 10, 200, 100);
        Application->SetMainForm(f);
        Application->SetMainFormOnTaskBar(c.OnTaskBar);
        HWND owner = GetWindow(f->Handle(), GW_OWNER);
        EXPECT_EQ(owner == Application->Handle(), c.Owned);
        EXPECT_EQ((GetWindowLong(f->Handle(), GWL_EXSTYLE) & static_cast<LONG>(WS_EX_APPWINDOW)) != 0, c.OnTaskBar);
        Application->SetMainForm(nullptr);
        Application->SetMainFormOnTaskBar(false);
        f->Free();
    }
}

TEST_F(GuiFormsTest, FocusChangesAreBroadcastToEveryControl)
{
    struct TProbe : TObject {
        std::vector<LPARAM> Seen;
        TWndMethod Old;
        void Proc(TMessage& m)
        {
            if (m.Msg == CM_FOCUSCHANGED)
                Seen.push_back(m.LParam);
            Old(m);
        }
    } probe;
    TCustomForm* f = NewForm(10, 10, 300, 100);
    auto* a = new TTestButton(f);
    a->SetParent(f);
    auto* b = new TTestButton(f);
    b->SetParent(f);
    b->SetLeft(100);
    probe.Old = a->WindowProc;
    a->WindowProc = MakeEvent(&probe, &TProbe::Proc);
    f->SetActiveControl(a);
    f->Show();
    Pump();
    b->SetFocus();
    Pump();
    ASSERT_FALSE(probe.Seen.empty());
    EXPECT_EQ(probe.Seen.back(), reinterpret_cast<LPARAM>(b));
    EXPECT_EQ(Screen->ActiveControl(), b);
    EXPECT_TRUE(b->Focused());
    // A control that cannot take the focus is refused as the active control.
    b->SetVisible(false);
    EXPECT_THROW(f->SetActiveControl(b), EInvalidOperation);
    a->WindowProc = probe.Old;
}

}  // namespace
