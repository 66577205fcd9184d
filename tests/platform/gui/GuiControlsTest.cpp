// Controls: mouse capture and hover across nested controls, painting of
// graphic children, alignment and anchors, window re-creation, pop-up
// controls and the timer component.
#include "GuiTestCommon.h"

#include "platform/gui/ExtCtrls.h"
#include "platform/gui/HintWindow.h"
#include "platform/gui/StdCtrls.h"

namespace {

// A graphic control that logs its mouse traffic and paints a colour.
class TSpot : public TGraphicControl {
public:
    TSpot(TComponent* owner, TMessageLog* log, TColor color) : TGraphicControl(owner), Log(log), Fill(color) {}
    TMessageLog* Log;
    TColor Fill;
    int Clicks = 0;
    void Click() override
    {
        ++Clicks;
        TGraphicControl::Click();
    }

protected:
    void Paint() override
    {
        if (Log)
            Log->Add(Name() + ".Paint");
        if (Fill == clNone)
            return;
        Canvas()->Brush()->SetColor(Fill);
        Canvas()->FillRect(ClientRect());
    }
    void MouseMove(TShiftState, int X, int Y) override
    {
        if (Log)
            Log->Add(Name() + ".Move(" + std::to_string(X) + "," + std::to_string(Y) + ")");
    }
};

class TBox : public TCustomControl {
public:
    TBox(TComponent* owner, TMessageLog* log, TColor color) : TCustomControl(owner), Log(log), Fill(color)
    {
        FControlStyle.Include(csAcceptsControls);
    }
    TMessageLog* Log;
    TColor Fill;

protected:
    void Paint() override
    {
        if (Log)
            Log->Add(Name() + ".Paint");
        Canvas()->Brush()->SetColor(Fill);
        Canvas()->FillRect(ClientRect());
    }
};

class GuiControlsTest : public GuiTest {};

TEST_F(GuiControlsTest, PressOnAGraphicControlCapturesTheMouseUntilRelease)
{
    TMessageLog log;
    TCustomForm* f = NewForm(100, 100, 300, 200);
    auto* box = new TBox(f, &log, clWhite);
    box->SetName("Box");
    box->SetParent(f);
    box->SetBounds(10, 10, 200, 100);
    auto* spot = new TSpot(f, &log, clRed);
    spot->SetName("Spot");
    spot->SetParent(box);
    spot->SetBounds(20, 20, 40, 30);
    f->Show();
    Pump();
    TPoint in = spot->ClientToScreen(TPoint(5, 5));
    HeadlessMouseMove(in.x, in.y);
    HeadlessMouseDown();
    Pump();
    EXPECT_EQ(GetCaptureControl(), spot);
    EXPECT_EQ(GetCapture(), box->Handle());
    log.Lines.clear();
    // Outside the control and outside its parent: still routed to it, in its
    // own coordinates.
    TPoint out = spot->ClientToScreen(TPoint(250, 5));
    HeadlessMouseMove(out.x, out.y);
    Pump();
    EXPECT_NE(log.Find("Spot.Move(250,5)"), -1) << log.Joined();
    HeadlessMouseUp();
    Pump();
    EXPECT_EQ(GetCaptureControl(), nullptr);
    EXPECT_EQ(spot->Clicks, 0);  // released outside: no click
    HeadlessClick(in.x, in.y);
    Pump();
    EXPECT_EQ(spot->Clicks, 1);
}

TEST_F(GuiControlsTest, HoverMessagesGoToTheDeepestControlGraphicOnesIncluded)
{
    TMessageLog log;
    TCustomForm* f = NewForm(100, 100, 300, 200, "F");
    auto* box = new TBox(f, nullptr, clWhite);
    box->SetName("Box");
    box->SetParent(f);
    box->SetBounds(10, 10, 200, 100);
    auto* inner = new TBox(f, nullptr, clYellow);
    inner->SetName("Inner");
    inner->SetParent(box);
    inner->SetBounds(100, 10, 80, 80);
    auto* spot = new TSpot(f, nullptr, clRed);
    spot->SetName("Spot");
    spot->SetParent(box);
    spot->SetBounds(10, 10, 40, 40);
    f->Show();
    Pump();
    for (TControl* c : std::initializer_list<TControl*>{f, box, inner, spot})
        log.Hook(c, c->Name());
    log.Watch = {CM_MOUSEENTER, CM_MOUSELEAVE};
    struct TStep {
        TControl* Over;
        int X, Y;
        const char* Expected;
    } steps[] = {
        {box, 150, 5, "Box.CM_MOUSEENTER"},
        {spot, 5, 5, "Box.CM_MOUSELEAVE Spot.CM_MOUSEENTER"},
        {inner, 5, 5, "Spot.CM_MOUSELEAVE Inner.CM_MOUSEENTER"},
        {f, 250, 150, "Inner.CM_MOUSELEAVE F.CM_MOUSEENTER"},
    };
    for (const TStep& s : steps) {
        log.Lines.clear();
        TPoint p = s.Over->ClientToScreen(TPoint(s.X, s.Y));
        HeadlessMouseMove(p.x, p.y);
        Pump();
        EXPECT_EQ(log.Joined(), s.Expected);
        EXPECT_EQ(MouseOverControl(), s.Over);
    }
}

TEST_F(GuiControlsTest, GraphicChildrenPaintAfterTheParentInListOrderAndOpaqueOnesAreCutOut)
{
    TMessageLog log;
    TCustomForm* f = NewForm(100, 100, 300, 200);
    auto* box = new TBox(f, &log, clBlue);
    box->SetName("Box");
    box->SetParent(f);
    box->SetBounds(0, 0, 300, 200);
    box->SetColor(clLime);  // the background erase
    auto* a = new TSpot(f, &log, clRed);
    a->SetName("A");
    a->SetParent(box);
    a->SetBounds(10, 10, 50, 50);
    auto* b = new TSpot(f, &log, clNone);  // paints nothing
    b->SetName("B");
    b->SetParent(box);
    b->SetBounds(100, 10, 50, 50);
    auto* c = new TSpot(f, &log, clNone);  // paints nothing, opaque
    c->SetName("C");
    c->SetParent(box);
    c->SetBounds(200, 10, 50, 50);
    c->SetControlStyle(c->ControlStyle() + TControlStyle{csOpaque});
    f->Show();
    Pump();
    EXPECT_EQ(log.Joined(), "Box.Paint A.Paint B.Paint C.Paint");
    TPoint pa = a->ClientToScreen(TPoint(5, 5));
    TPoint pb = b->ClientToScreen(TPoint(5, 5));
    TPoint pc = c->ClientToScreen(TPoint(5, 5));
    EXPECT_EQ(ScreenPixel(pa.x, pa.y), RGB(255, 0, 0));
    EXPECT_EQ(ScreenPixel(pb.x, pb.y), RGB(0, 0, 255));  // the parent's paint shows through
    EXPECT_EQ(ScreenPixel(pc.x, pc.y), RGB(0, 255, 0));  // only the erase: the paint was cut out
    // Bringing a control to the front changes the order.
    log.Lines.clear();
    a->BringToFront();
    box->Repaint();
    EXPECT_EQ(log.Joined(), "Box.Paint B.Paint C.Paint A.Paint");
}

TEST_F(GuiControlsTest, AlignLaysOutSidesInOrderAndClientTakesTheRest)
{
    struct TChild {
        TAlign Align;
        int W, H;
        TRect Expected;
    };
    struct TCase {
        const char* Name;
        std::vector<TChild> Children;
    } cases[] = {
        {"top and client", {{alTop, 10, 30, {0, 0, 400, 30}}, {alClient, 10, 10, {0, 30, 400, 300}}}},
        {"all sides",
         {{alTop, 0, 20, {0, 0, 400, 20}},
          {alBottom, 0, 25, {0, 275, 400, 300}},
          {alLeft, 50, 0, {0, 20, 50, 275}},
          {alRight, 60, 0, {340, 20, 400, 275}},
          {alClient, 0, 0, {50, 20, 340, 275}}}},
        {"two tops stack", {{alTop, 0, 20, {0, 0, 400, 20}}, {alTop, 0, 30, {0, 20, 400, 50}}}},
    };
    for (const TCase& c : cases) {
        TCustomForm* f = NewForm(0, 0, 500, 400);
        auto* host = new TPanel(f);
        host->SetParent(f);
        host->SetBevelOuter(bvNone);
        host->SetBounds(0, 0, 400, 300);
        host->DisableAlign();
        std::vector<TControl*> made;
        int y = 0;
        for (const TChild& ch : c.Children) {
            auto* p = new TPanel(f);
            p->SetParent(host);
            p->SetBounds(0, y++, ch.W, ch.H);
            p->SetAlign(ch.Align);
            made.push_back(p);
        }
        host->EnableAlign();
        for (size_t i = 0; i < made.size(); ++i)
            EXPECT_EQ(made[i]->BoundsRect(), c.Children[i].Expected) << c.Name << " #" << i;
        f->Free();
    }
}

TEST_F(GuiControlsTest, AnchorsKeepDistancesWhenTheParentResizes)
{
    struct TCase {
        TAnchors Anchors;
        TRect Expected;
    } cases[] = {
        {{akLeft, akTop}, {10, 10, 60, 40}},
        {{akRight, akTop}, {110, 10, 160, 40}},
        {{akLeft, akTop, akRight, akBottom}, {10, 10, 160, 90}},
        {{akLeft, akBottom}, {10, 60, 60, 90}},
    };
    for (const TCase& c : cases) {
        TCustomForm* f = NewForm(0, 0, 500, 400);
        auto* host = new TPanel(f);
        host->SetParent(f);
        host->SetBounds(0, 0, 200, 100);
        auto* child = new TPanel(f);
        child->SetParent(host);
        child->SetBounds(10, 10, 50, 30);
        child->SetAnchors(c.Anchors);
        host->Realign();
        host->SetBounds(0, 0, 300, 150);
        EXPECT_EQ(child->BoundsRect(), c.Expected);
        f->Free();
    }
}

TEST_F(GuiControlsTest, ConstraintsAndAlignmentDeferral)
{
    TCustomForm* f = NewForm(0, 0, 500, 400);
    auto* p = new TPanel(f);
    p->SetParent(f);
    p->Constraints()->SetMinWidth(50);
    p->Constraints()->SetMaxHeight(80);
    p->SetBounds(0, 0, 10, 200);
    EXPECT_EQ(p->Width(), 50);
    EXPECT_EQ(p->Height(), 80);
    f->DisableAlign();
    p->SetAlign(alClient);
    EXPECT_NE(p->Width(), f->ClientWidth());
    f->EnableAlign();
    EXPECT_EQ(p->Width(), f->ClientWidth());
    EXPECT_EQ(p->Height(), 80);  // the limit holds under alignment too
}

TEST_F(GuiControlsTest, ChildStylesFollowTheControlStyle)
{
    TCustomForm* f = NewForm(0, 0, 300, 200);
    auto* plain = new TTestButton(f);
    plain->SetParent(f);
    auto* host = new TPanel(f);
    host->SetParent(f);
    f->Show();
    auto sPlain = static_cast<DWORD>(GetWindowLong(plain->Handle(), GWL_STYLE));
    auto sHost = static_cast<DWORD>(GetWindowLong(host->Handle(), GWL_STYLE));
    auto xHost = static_cast<DWORD>(GetWindowLong(host->Handle(), GWL_EXSTYLE));
    EXPECT_EQ(sPlain & (WS_CHILD | WS_CLIPSIBLINGS), WS_CHILD | WS_CLIPSIBLINGS);
    EXPECT_EQ(sPlain & WS_CLIPCHILDREN, 0u);
    EXPECT_EQ(sHost & WS_CLIPCHILDREN, WS_CLIPCHILDREN);
    EXPECT_EQ(xHost & WS_EX_CONTROLPARENT, WS_EX_CONTROLPARENT);
    EXPECT_EQ(GetClassLong(plain->Handle(), GCL_STYLE) & (CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS),
              CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS);
    EXPECT_EQ(GetClassNameString(host->Handle()), "TPanel");
}

TEST_F(GuiControlsTest, RecreateWndKeepsChildrenStateAndWindowProc)
{
    TMessageLog log;
    TCustomForm* f = NewForm(0, 0, 300, 200);
    auto* host = new TPanel(f);
    host->SetParent(f);
    host->SetBounds(5, 5, 200, 100);
    host->SetCaption("hello");
    auto* child = new TTestButton(f);
    child->SetParent(host);
    child->SetBounds(7, 8, 50, 20);
    f->Show();
    Pump();
    log.Hook(host, "Host");
    log.Watch = {WM_PAINT};
    HWND oldHost = host->Handle();
    HWND oldChild = child->Handle();
    host->RecreateWnd();
    Pump();
    EXPECT_NE(host->Handle(), oldHost);
    EXPECT_FALSE(IsWindow(oldHost));
    EXPECT_FALSE(IsWindow(oldChild));
    EXPECT_TRUE(child->HandleAllocated());
    EXPECT_EQ(GetParent(child->Handle()), host->Handle());
    EXPECT_EQ(child->BoundsRect(), TRect(7, 8, 57, 28));
    EXPECT_EQ(GetWindowTextString(host->Handle()), "hello");
    EXPECT_TRUE(IsWindowVisible(child->Handle()));
    EXPECT_NE(log.Find("Host.PAINT"), -1);  // the replaced WindowProc still runs
    EXPECT_EQ(FindControl(host->Handle()), host);
    EXPECT_EQ(FindControl(oldHost), nullptr);
}

TEST_F(GuiControlsTest, ParentlessPopupControlIsTopLevelAndShowsWithoutActivation)
{
    class TPopup : public TCustomControl {
    public:
        using TCustomControl::TCustomControl;

    protected:
        void CreateParams(TCreateParams& p) override
        {
            TCustomControl::CreateParams(p);
            p.Style = WS_POPUP;
            p.ExStyle |= WS_EX_TOOLWINDOW;
        }
    };
    TCustomForm* f = NewForm(0, 0, 300, 200);
    f->Show();
    Pump();
    HWND active = GetActiveWindow();
    auto* pop = new TPopup(Owner);
    pop->SetBounds(400, 300, 100, 80);
    pop->Show();
    Pump();
    EXPECT_TRUE(IsWindowVisible(pop->Handle()));
    EXPECT_EQ(GetParent(pop->Handle()), nullptr);
    EXPECT_EQ(GetActiveWindow(), active);
    EXPECT_TRUE(f->Active());
    // A child control without a parent window is refused.
    auto* orphan = new TTestButton(Owner);
    EXPECT_THROW(orphan->Handle(), EInvalidOperation);
}

TEST_F(GuiControlsTest, TimerRunsOnlyWithIntervalEnabledAndHandler)
{
    struct TTicks : TObject {
        int Count = 0;
        void Tick(TObject*) { ++Count; }
    } ticks;
    struct TCase {
        unsigned Interval;
        bool Enabled;
        bool Handler;
        bool Active;
        int Ticks;  // after 1000 ms
    } cases[] = {
        {100, true, true, true, 10}, {0, true, true, false, 0}, {100, false, true, false, 0},
        {100, true, false, false, 0}, {5, true, true, true, 100},  // below 10 ms: 10 ms
    };
    for (const TCase& c : cases) {
        ticks.Count = 0;
        auto* t = new TTimer(Owner);
        t->SetInterval(c.Interval);
        t->SetEnabled(c.Enabled);
        if (c.Handler)
            t->SetOnTimer(MakeEvent(&ticks, &TTicks::Tick));
        EXPECT_EQ(t->TimerActive(), c.Active) << c.Interval << c.Enabled << c.Handler;
        for (int ms = 0; ms < 1000; ms += 5) {
            Clock.Advance(5);
            Pump();
        }
        EXPECT_EQ(ticks.Count, c.Ticks) << c.Interval << c.Enabled << c.Handler;
        t->Free();
    }
}

TEST_F(GuiControlsTest, ParentFontAndColorFollowTheParentUntilSet)
{
    TCustomForm* f = NewForm(0, 0, 300, 200);
    auto* p = new TPanel(f);
    p->SetParent(f);
    auto* l = new TLabel(f);
    l->SetParent(p);
    p->Font()->SetSize(14);
    EXPECT_EQ(l->Font()->Size(), 14);
    EXPECT_TRUE(l->ParentFont());
    l->Font()->SetSize(9);
    EXPECT_FALSE(l->ParentFont());
    p->Font()->SetSize(20);
    EXPECT_EQ(l->Font()->Size(), 9);
    p->SetColor(clRed);
    EXPECT_EQ(l->Color(), clRed);
    l->SetColor(clBlue);
    p->SetColor(clGreen);
    EXPECT_EQ(l->Color(), clBlue);
}

TEST_F(GuiControlsTest, LabelSizesToItsTextAndItsAcceleratorFocusesItsControl)
{
    TCustomForm* f = NewForm(100, 100, 300, 200);
    auto* l = new TLabel(f);
    l->SetParent(f);
    l->SetCaption("&Name:");
    int w1 = l->Width();
    l->SetCaption("&Name: and more");
    EXPECT_GT(l->Width(), w1);
    EXPECT_GT(l->Height(), 5);
    auto* b1 = new TTestButton(f);
    b1->SetParent(f);
    auto* b2 = new TTestButton(f);
    b2->SetParent(f);
    b2->SetLeft(100);
    l->SetFocusControl(b2);
    f->SetActiveControl(b1);
    f->Show();
    Pump();
    HeadlessKeyDown(VK_MENU);
    HeadlessKeyPress('N');
    HeadlessKeyUp(VK_MENU);
    Pump();
    EXPECT_EQ(f->ActiveControl(), b2);
}

TEST_F(GuiControlsTest, HintShowsAfterThePauseThroughCMHintShowAndOnShowHint)
{
    struct THints : TObject {
        std::string Seen;
        void OnShowHint(std::string& s, bool& can, THintInfo& info)
        {
            Seen = s;
            s = "changed";
            can = info.HintControl != nullptr;
        }
    } hints;
    TCustomForm* f = NewForm(100, 100, 300, 200);
    auto* b = new TTestButton(f);
    b->SetParent(f);
    b->SetHint("Short|Long help");
    b->SetShowHint(true);
    f->Show();
    Pump();
    Application->OnShowHint = MakeEvent(&hints, &THints::OnShowHint);
    TPoint p = b->ClientToScreen(TPoint(5, 5));
    HeadlessMouseMove(p.x, p.y);
    Pump();
    EXPECT_TRUE(!Application->HintWindow() || !Application->HintWindow()->Active());
    for (int i = 0; i < 60; ++i) {
        Clock.Advance(10);
        Pump();
    }
    EXPECT_EQ(hints.Seen, "Short");
    ASSERT_NE(Application->HintWindow(), nullptr);
    EXPECT_TRUE(Application->HintWindow()->Active());
    EXPECT_EQ(Application->HintWindow()->Caption(), "changed");
    // Showing it did not take the activation from the form.
    EXPECT_TRUE(f->Active());
    HeadlessClick(p.x, p.y);
    Pump();
    EXPECT_FALSE(Application->HintWindow()->Active());
}

}  // namespace

namespace {

TEST_F(GuiControlsTest, PaintToDrawsTheControlAndItsChildrenIntoADeviceContext)
{
    class TProbe : public TBox {
    public:
        using TBox::TBox;
        bool SawPaintCopy = false;

    protected:
        void Paint() override
        {
            SawPaintCopy = ControlState().Contains(csPaintCopy);
            TBox::Paint();
        }
    };
    TCustomForm* f = NewForm(0, 0, 300, 200);
    auto* outer = new TProbe(f, nullptr, clYellow);
    outer->SetParent(f);
    outer->SetBounds(0, 0, 100, 80);
    auto* inner = new TBox(f, nullptr, clRed);
    inner->SetParent(outer);
    inner->SetBounds(50, 40, 30, 20);
    auto* spot = new TSpot(f, nullptr, clBlue);
    spot->SetParent(outer);
    spot->SetBounds(5, 5, 10, 10);
    TBitmap bmp;
    bmp.SetPixelFormat(pf24bit);
    bmp.SetSize(120, 100);
    bmp.Canvas()->Brush()->SetColor(clWhite);
    bmp.Canvas()->FillRect(TRect(0, 0, 120, 100));
    outer->PaintTo(bmp.Canvas()->Handle(), 10, 10);
    EXPECT_TRUE(outer->SawPaintCopy);
    EXPECT_FALSE(outer->ControlState().Contains(csPaintCopy));
    EXPECT_EQ(bmp.Canvas()->Pixels(5, 5), clWhite);
    EXPECT_EQ(bmp.Canvas()->Pixels(12, 12), clYellow);
    EXPECT_EQ(bmp.Canvas()->Pixels(17, 17), clBlue);
    EXPECT_EQ(bmp.Canvas()->Pixels(65, 55), clRed);
}

TEST_F(GuiControlsTest, AnExceptionInAHandlerIsReportedNotPropagated)
{
    struct TThrower : TObject {
        void Click(TObject*) { throw EConvertError("bad value"); }
    } thrower;
    struct TReport : TObject {
        std::string Seen;
        void OnException(TObject*, Exception* e) { Seen = e ? e->Message() : "?"; }
    } report;
    TCustomForm* f = NewForm(100, 100, 200, 100);
    auto* b = new TTestButton(f);
    b->SetParent(f);
    b->OnClick = MakeEvent(&thrower, &TThrower::Click);
    f->Show();
    Pump();
    Application->OnException = MakeEvent(&report, &TReport::OnException);
    TPoint p = b->ClientToScreen(TPoint(3, 3));
    HeadlessClick(p.x, p.y);
    Pump();
    Application->OnException = nullptr;
    EXPECT_EQ(report.Seen, "bad value");
    EXPECT_EQ(b->Clicks, 1);
}

}  // namespace

namespace {

TEST_F(GuiControlsTest, PlainControlsPaintTheirLook)
{
    TCustomForm* f = NewForm(0, 0, 400, 300);
    f->SetColor(clWhite);
    auto* shape = new TShape(f);
    shape->SetParent(f);
    shape->SetBounds(10, 10, 60, 40);
    shape->SetShape(stEllipse);
    shape->Brush()->SetColor(clRed);
    auto* img = new TImage(f);
    img->SetParent(f);
    img->SetBounds(100, 10, 40, 40);
    img->SetStretch(true);
    img->Picture()->Bitmap()->SetSize(4, 4);
    img->Picture()->Bitmap()->Canvas()->Brush()->SetColor(clBlue);
    img->Picture()->Bitmap()->Canvas()->FillRect(TRect(0, 0, 4, 4));
    auto* bevel = new TBevel(f);
    bevel->SetParent(f);
    bevel->SetBounds(200, 10, 50, 50);
    bevel->SetShape(bsTopLine);
    auto* box = new TPaintBox(f);
    box->SetParent(f);
    box->SetBounds(300, 10, 30, 30);
    struct TPainter : TObject {
        int Calls = 0;
        void Paint(TObject* s)
        {
            ++Calls;
            auto* pb = static_cast<TPaintBox*>(s);
            pb->Canvas()->Brush()->SetColor(clLime);
            pb->Canvas()->FillRect(pb->ClientRect());
        }
    } painter;
    box->OnPaint = MakeEvent(&painter, &TPainter::Paint);
    f->SetBorderStyle(bsNone);
    f->Show();
    Pump();
    auto px = [&](TControl* c, int x, int y) {
        TPoint p = c->ClientToScreen(TPoint(x, y));
        return ScreenPixel(p.x, p.y);
    };
    EXPECT_EQ(px(shape, 30, 20), RGB(255, 0, 0));
    EXPECT_EQ(px(shape, 1, 1), RGB(255, 255, 255));  // outside the ellipse
    EXPECT_EQ(px(img, 20, 20), RGB(0, 0, 255));
    EXPECT_NE(px(bevel, 10, 0), RGB(255, 255, 255));
    EXPECT_EQ(px(bevel, 10, 20), RGB(255, 255, 255));
    EXPECT_EQ(px(box, 15, 15), RGB(0, 255, 0));
    EXPECT_GE(painter.Calls, 1);
}

TEST_F(GuiControlsTest, DoubleClickAndWheel)
{
    struct TEv : TObject {
        int Dbl = 0, Wheel = 0;
        void OnDbl(TObject*) { ++Dbl; }
        void OnWheel(TObject*, TShiftState, int delta, TPoint, bool& handled)
        {
            Wheel += delta;
            handled = true;
        }
    } ev;
    TCustomForm* f = NewForm(100, 100, 200, 100);
    auto* b = new TTestButton(f);
    b->SetParent(f);
    b->OnDblClick = MakeEvent(&ev, &TEv::OnDbl);
    b->OnMouseWheel = MakeEvent(&ev, &TEv::OnWheel);
    f->SetActiveControl(b);
    f->Show();
    Pump();
    TPoint p = b->ClientToScreen(TPoint(3, 3));
    HeadlessClick(p.x, p.y);
    HeadlessClick(p.x, p.y);
    Pump();
    EXPECT_EQ(ev.Dbl, 1);
    HeadlessWheel(-WHEEL_DELTA);
    Pump();
    EXPECT_EQ(ev.Wheel, -WHEEL_DELTA);
}

}  // namespace

namespace {

TEST_F(GuiControlsTest, TimerOutlivesItsWindowAndMakesANewOne)
{
    struct TTicks : TObject {
        int Count = 0;
        void Tick(TObject*) { ++Count; }
    } ticks;
    auto* t = new TTimer(Owner);
    t->SetInterval(100);
    t->SetOnTimer(MakeEvent(&ticks, &TTicks::Tick));
    HeadlessReset();  // every window goes, the timer's too
    t->SetInterval(50);
    for (int i = 0; i < 10; ++i) {
        Clock.Advance(10);
        Pump();
    }
    EXPECT_EQ(ticks.Count, 2);
    t->Free();
}

}  // namespace

namespace {

// Any windowed control moves its children by a delta, windowed and graphic
// ones alike, without realigning them.
TEST_F(GuiControlsTest, ScrollByMovesEveryChildOfAnyWindowedControl)
{
    TCustomForm* f = NewForm(0, 0, 400, 300);
    auto* host = new TPanel(f);
    host->SetParent(f);
    host->SetBounds(10, 10, 300, 200);
    auto* windowed = new TPanel(f);
    windowed->SetParent(host);
    windowed->SetBounds(20, 30, 40, 20);
    auto* graphic = new TBevel(f);
    graphic->SetParent(host);
    graphic->SetBounds(100, 30, 40, 20);
    windowed->HandleNeeded();
    host->ScrollBy(-15, 5);
    Application->ProcessMessages();
    EXPECT_EQ(windowed->BoundsRect(), TRect(5, 35, 45, 55));
    EXPECT_EQ(graphic->BoundsRect(), TRect(85, 35, 125, 55));
    host->ScrollBy(0, 0);
    EXPECT_EQ(graphic->Left(), 85);
    // Anchors keep the scrolled places when the parent is resized.
    host->SetBounds(10, 10, 340, 220);
    Application->ProcessMessages();
    EXPECT_EQ(windowed->BoundsRect(), TRect(5, 35, 45, 55));
    EXPECT_EQ(graphic->BoundsRect(), TRect(85, 35, 125, 55));
}

}  // namespace
