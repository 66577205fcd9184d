// Size limits, maximizing, minimized slots, roll-up, caption double clicks,
// first placement and magnetic edges.
#include "platform/gdi/Gdi.h"

#include "FormTestSupport.h"

using formtest::TFormTest;

namespace {

class WindowStateTest : public TFormTest {};

TEST_F(WindowStateTest, MapSkinRectByTheCornerZones)
{
    LoadSkinNew();
    MakeForm(0, 0, 700, 450, Data);
    const int dx = 380, dy = 250;
    struct TCase {
        TRect In, Out;
    };
    const TCase cases[] = {
        {TRect(10, 10, 50, 50), TRect(10, 10, 50, 50)},                      // left-top
        {TRect(200, 10, 300, 50), TRect(200 + dx, 10, 300 + dx, 50)},         // right-top
        {TRect(10, 170, 50, 190), TRect(10, 170 + dy, 50, 190 + dy)},         // left-bottom
        {TRect(270, 170, 310, 190), TRect(270 + dx, 170 + dy, 310 + dx, 190 + dy)},
        {TRect(10, 10, 300, 190), TRect(10, 10, 300 + dx, 190 + dy)},         // spans all
        {TRect(10, 10, 300, 50), TRect(10, 10, 300 + dx, 50)},                // the top band
        {TRect(10, 170, 300, 190), TRect(10, 170 + dy, 300 + dx, 190 + dy)},  // the bottom band
        {TRect(10, 10, 50, 190), TRect(10, 10, 50, 190 + dy)},                // the left side
        {TRect(200, 10, 300, 190), TRect(200 + dx, 10, 300 + dx, 190 + dy)},  // the right side
        {TRect(70, 70, 100, 100), TRect(70, 70, 100, 100)},                   // the middle
    };
    for (const TCase& c : cases)
        EXPECT_EQ(Skinner->MapSkinRect(c.In), c.Out) << c.In.left << "," << c.In.top;
}

TEST_F(WindowStateTest, SizeLimitsWithoutAndWithTheSkin)
{
    MakeForm(100, 100, 300, 200);
    EXPECT_EQ(Skinner->GetMinWidth(), 130);
    EXPECT_EQ(Skinner->GetMinHeight(), 25);
    Skinner->MinWidth = 200;
    Skinner->MinHeight = 60;
    EXPECT_EQ(Skinner->GetMinWidth(), 200);
    EXPECT_EQ(Skinner->GetMinHeight(), 60);
    // The work area of the headless screen: 1280 x 1024 less a 40-pixel task bar.
    EXPECT_EQ(Skinner->GetMaxWidth(), 1280);
    EXPECT_EQ(Skinner->GetMaxHeight(), 984);
    Skinner->MaximizeOnFullScreen = true;
    EXPECT_EQ(Skinner->GetMaxHeight(), 1024);
    Skinner->MaxWidth = 900;
    EXPECT_EQ(Skinner->GetMaxWidth(), 900);
    MINMAXINFO mm{};
    SendMessage(Form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mm));
    EXPECT_EQ(mm.ptMinTrackSize.x, 200);
    EXPECT_EQ(mm.ptMinTrackSize.y, 60);
    EXPECT_EQ(mm.ptMaxTrackSize.x, 900);
    EXPECT_EQ(mm.ptMaxTrackSize.y, 1024);

    LoadSkinNew();
    Skinner->MinWidth = Skinner->MinHeight = Skinner->MaxWidth = 0;
    Skinner->SetSkinData(Data);
    EXPECT_EQ(Skinner->GetMinWidth(), 200);   // the skin's own minimum
    EXPECT_EQ(Skinner->GetMinHeight(), 90);
    Skinner->MinWidth = 250;
    EXPECT_EQ(Skinner->GetMinWidth(), 250);
    Skinner->MinWidth = 400;                  // wider than the picture
    EXPECT_EQ(Skinner->GetMinWidth(), 400);
    Skinner->MinHeight = 120;
    EXPECT_EQ(Skinner->GetMinHeight(), 120);
}

TEST_F(WindowStateTest, FormsBelowTheMinimumGrowAndHugeFormsStayWhole)
{
    LoadSkinNew();
    Form = new TForm(Owner);
    Form->SetBounds(10, 10, 100, 300);
    Skinner = new TspFormSkinner(Form);
    Skinner->SetSkinData(Data);
    Form->Show();
    Pump();
    // Only narrower than the minimum: only made wider.
    EXPECT_EQ(Form->Width(), 200);
    EXPECT_EQ(Form->Height(), 300);
    // 30,000 wide is held to the largest size, the work area's width.
    Form->SetBounds(0, 0, 30000, 400);
    Pump();
    EXPECT_EQ(Form->Width(), 1280);
    EXPECT_EQ(HitAt(100, 15), HTCAPTION);
}

TEST_F(WindowStateTest, MaximizeIntoTheWorkAreaAndRestore)
{
    LoadSkinNew();
    MakeForm(100, 120, 400, 300, Data);
    int maximized = 0, restored = 0;
    Skinner->OnMaximize = TNotifyEvent::Bind(&maximized, +[](void* d, TObject*) { ++*static_cast<int*>(d); });
    Skinner->OnRestore = TNotifyEvent::Bind(&restored, +[](void* d, TObject*) { ++*static_cast<int*>(d); });
    Skinner->SetWindowState(wsMaximized);
    Pump();
    EXPECT_EQ(Form->BoundsRect(), TRect(0, 0, 1280, 984));
    EXPECT_EQ(Skinner->WindowState(), wsMaximized);
    EXPECT_EQ(maximized, 1);
    Skinner->SetWindowState(wsMaximized);  // the same state: nothing
    EXPECT_EQ(maximized, 1);
    Skinner->SetWindowState(wsNormal);
    Pump();
    EXPECT_EQ(Form->BoundsRect(), TRect(100, 120, 500, 420));
    EXPECT_EQ(restored, 1);
}

// On a monitor without a task bar the work area is the whole screen: a
// maximized form keeps one pixel clear on each side, so that a bar hidden at
// an edge can still be reached.
TEST_F(WindowStateTest, MaximizedOnAMonitorWithoutTaskBarStaysOnePixelInside)
{
    RECT whole{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    ASSERT_TRUE(SystemParametersInfo(SPI_SETWORKAREA, 0, &whole, 0));
    LoadSkinNew();
    MakeForm(100, 120, 400, 300, Data);
    Skinner->SetWindowState(wsMaximized);
    Pump();
    EXPECT_EQ(Form->BoundsRect(), TRect(1, 1, whole.right - 1, whole.bottom - 1));
    // Full screen wanted: the whole monitor.
    Skinner->SetWindowState(wsNormal);
    Skinner->MaximizeOnFullScreen = true;
    Skinner->SetWindowState(wsMaximized);
    Pump();
    EXPECT_EQ(Form->BoundsRect(), TRect(0, 0, whole.right, whole.bottom));
    SystemParametersInfo(SPI_SETWORKAREA, 0, nullptr, 0);
}

TEST_F(WindowStateTest, MinimizedSlotsFillTheBottomRowAndWrapUpwards)
{
    std::vector<TspFormSkinner*> forms;
    TForm* main = new TForm(Owner);
    Application->SetMainForm(main);
    for (int i = 0; i < 4; ++i) {
        TspFormSkinner* s = MakeForm(100 + i * 10, 100, 300, 200);
        s->MinWidth = 500;  // two slots per row on a 1280-pixel work area
        forms.push_back(s);
    }
    for (auto* s : forms) {
        s->SetWindowState(wsMinimized);
        Pump();
    }
    // The minimized height is the caption frame: 19 + 6.
    EXPECT_EQ(forms[0]->Form()->BoundsRect(), TRect(0, 959, 500, 984));
    EXPECT_EQ(forms[1]->Form()->BoundsRect(), TRect(500, 959, 1000, 984));
    EXPECT_EQ(forms[2]->Form()->BoundsRect(), TRect(0, 934, 500, 959));
    EXPECT_EQ(forms[3]->Form()->BoundsRect(), TRect(500, 934, 1000, 959));
    forms[0]->SetWindowState(wsNormal);
    Pump();
    // Back at its place, as wide as its minimum allows.
    EXPECT_EQ(forms[0]->Form()->BoundsRect(), TRect(100, 100, 600, 300));
    Application->SetMainForm(nullptr);
}

TEST_F(WindowStateTest, ASlotSearchWithAZeroMinimumEnds)
{
    MakeForm(0, 0, 300, 200);
    Skinner->SetSupportNCArea(false);  // no skin, no frame: both minima are 0
    EXPECT_EQ(Skinner->GetMinWidth(), 0);
    auto* other = new TForm(Owner);
    other->SetBounds(0, 983, 50, 1);
    other->Show();
    TPoint p;
    Skinner->GetMinimizedPosition(p);
    EXPECT_EQ(p, TPoint(1, 983));
}

TEST_F(WindowStateTest, RollUpToTheCaptionAndBack)
{
    MakeForm(100, 100, 300, 200);
    int changes = 0;
    Skinner->OnChangeRollUpState = TNotifyEvent::Bind(&changes, +[](void* d, TObject*) { ++*static_cast<int*>(d); });
    Skinner->SetRollUpState(true);
    Pump();
    EXPECT_EQ(Form->Height(), 25);
    EXPECT_EQ(Skinner->RealHeight(), 200);
    Skinner->SetRollUpState(false);
    Pump();
    EXPECT_EQ(Form->Height(), 200);
    EXPECT_EQ(changes, 2);
    // Without biRollUp the request is refused.
    Skinner->SetBorderIcons(TspBorderIcons{spforms::biSystemMenu});
    Skinner->SetRollUpState(true);
    EXPECT_FALSE(Skinner->RollUpState());
    EXPECT_EQ(changes, 2);
}

TEST_F(WindowStateTest, CaptionDoubleClicks)
{
    MakeForm(100, 100, 300, 200);
    const LPARAM at = MAKELPARAM(250, 110);
    SendMessage(Form->Handle(), WM_NCLBUTTONDBLCLK, HTCAPTION, at);
    EXPECT_EQ(Skinner->WindowState(), wsMaximized);
    SendMessage(Form->Handle(), WM_NCLBUTTONDBLCLK, HTCAPTION, at);
    EXPECT_EQ(Skinner->WindowState(), wsNormal);
    EXPECT_EQ(Form->BoundsRect(), TRect(100, 100, 400, 300));
    Skinner->Sizeable = false;
    SendMessage(Form->Handle(), WM_NCLBUTTONDBLCLK, HTCAPTION, at);
    EXPECT_TRUE(Skinner->RollUpState());
    SendMessage(Form->Handle(), WM_NCLBUTTONDBLCLK, HTCAPTION, at);
    EXPECT_FALSE(Skinner->RollUpState());
}

TEST_F(WindowStateTest, FirstShowingCentresOnTheMonitor)
{
    Form = new TForm(Owner);
    Form->SetBounds(0, 0, 400, 300);
    Skinner = new TspFormSkinner(Form);
    Skinner->PositionInMonitor = sppDesktopCenter;
    Form->Show();
    Pump();
    EXPECT_EQ(Form->BoundsRect(), TRect(440, 342, 840, 642));
    // Only the first showing places it.
    Form->Hide();
    Form->SetBounds(10, 10, 400, 300);
    Form->Show();
    Pump();
    EXPECT_EQ(Form->Left(), 10);
}

TEST_F(WindowStateTest, MagneticEdgesCatchAndLetGo)
{
    MakeForm(100, 300, 300, 200);
    Skinner->Magnetic = true;
    auto snap = [&](int x, int y, int cursorX) {
        HeadlessMouseMove(cursorX, 350);
        HeadlessProcessMessages();
        Skinner->MagneticSnap(x, y, 300, 200);
        return x;
    };
    EXPECT_EQ(snap(7, 300, 107), 0);     // caught within 10 pixels
    EXPECT_EQ(snap(9, 300, 109), 0);     // held while the cursor moved 2
    EXPECT_EQ(snap(8, 300, 119), 12);    // free once the cursor moved more than 10
    EXPECT_EQ(snap(40, 300, 140), 33);   // still following the cursor from the catch
    EXPECT_EQ(snap(41, 300, 141), 41);   // and free of the edge
    // The right edge of the work area.
    EXPECT_EQ(snap(975, 300, 1000), 980);
}

}  // namespace
