// The layered border around a skinned form: the strips' images and windows
// for an outer size, alpha and activation, and the mouse on the strips
// (zones, sizing, dragging). skin-new's layer frame is a 100 x 100 halo
// whose form place is (10, 10, 90, 90), with its edge 5 pixels outside the
// form and 5-pixel sizing zones.
#include "skin/forms/FormLayerBorder.h"

#include "skin/core/SkinData.h"
#include "skin/forms/FrameObjects.h"

#include "FormTestSupport.h"

#include <utility>

using formtest::TFormTest;

namespace {

using formtest::RectOf;

bool Shown(TWinControl* W) { return W && W->HandleAllocated() && IsWindowVisible(W->Handle()); }

class FormLayerBorderTest : public TFormTest {
protected:
    TspFormLayerBorder* Border() const { return Skinner->FBorderLayer; }
    // A skin-new form at (200, 150) of 320 x 200.
    void ShowForm()
    {
        LoadSkinNew();
        MakeForm(200, 150, 320, 200, Data);
        ASSERT_TRUE(Skinner->LayeredBorderEnabled());
        ASSERT_TRUE(Border()->Visible());
    }
    RECT FormRect() const { return Place(); }
};

TEST_F(FormLayerBorderTest, FourStripsAroundTheFormForItsOuterSize)
{
    ShowForm();
    const RECT f = FormRect();
    const int W = f.right - f.left, H = f.bottom - f.top;
    // Outer: the form grows by the picture's margins (10 on each side).
    const int X = f.left - 10, Y = f.top - 10, OW = W + 20, OH = H + 20;
    struct TCase {
        const char* Name;
        TspFormLayerWindow* Window;
        RECT Want;
    };
    TspFormLayerBorder* b = Border();
    const TCase cases[] = {
        {"top", b->TopBorder, {X, Y, X + OW, Y + 10}},
        {"bottom", b->BottomBorder, {X, Y + OH - 10, X + OW, Y + OH}},
        {"left", b->LeftBorder, {X, Y + 10, X + 10, Y + OH - 10}},
        {"right", b->RightBorder, {X + OW - 10, Y + 10, X + OW, Y + OH - 10}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        ASSERT_NE(c.Window, nullptr);
        EXPECT_TRUE(Shown(c.Window));
        const RECT r = RectOf(c.Window);
        EXPECT_EQ(r.left, c.Want.left);
        EXPECT_EQ(r.top, c.Want.top);
        EXPECT_EQ(r.right, c.Want.right);
        EXPECT_EQ(r.bottom, c.Want.bottom);
        const LONG ex = GetWindowLong(c.Window->Handle(), GWL_EXSTYLE);
        EXPECT_TRUE(ex & WS_EX_LAYERED);
        EXPECT_FALSE(ex & WS_EX_TRANSPARENT);
        EXPECT_EQ(SendMessage(c.Window->Handle(), WM_MOUSEACTIVATE, 0, 0), MA_NOACTIVATE);
    }
    EXPECT_EQ(b->LeftSize, 5);
    EXPECT_EQ(b->TopSize, 5);
    EXPECT_EQ(b->RightSize, 5);
    EXPECT_EQ(b->BottomSize, 5);
    Shot("layer-border");
}

TEST_F(FormLayerBorderTest, HaloBlendedAtTheFrameAlphaAndLighterWhileInactive)
{
    ShowForm();
    const RECT f = FormRect();
    const int y = (f.top + f.bottom) / 2;
    // The outermost column of the halo has alpha 0: the desktop shows.
    const COLORREF desktop = Pixel(f.left - 60, y);
    EXPECT_EQ(Pixel(f.left - 10, y), desktop);
    // Next to the form the dark halo lies over the desktop at 110 of 255.
    auto darkness = [&](COLORREF c) { return 3 * 255 - (GetRValue(c) + GetGValue(c) + GetBValue(c)); };
    const COLORREF active = Pixel(f.left - 2, y);
    EXPECT_GT(darkness(active), darkness(desktop));
    Border()->SetActive(false, true);
    Pump();
    const COLORREF inactive = Pixel(f.left - 2, y);
    EXPECT_GT(darkness(inactive), darkness(desktop));
    EXPECT_LT(darkness(inactive), darkness(active));
    Border()->SetActive(true, true);
    Pump();
    EXPECT_EQ(Pixel(f.left - 2, y), active);
}

TEST_F(FormLayerBorderTest, FollowsTheFormsMovesSizesHidingAndMaximizing)
{
    ShowForm();
    TspFormLayerBorder* b = Border();
    Form->SetBounds(300, 260, 400, 250);
    Pump();
    RECT f = FormRect();
    EXPECT_EQ(RectOf(b->TopBorder).left, f.left - 10);
    EXPECT_EQ(RectOf(b->TopBorder).right, f.right + 10);
    EXPECT_EQ(RectOf(b->BottomBorder).bottom, f.bottom + 10);
    EXPECT_EQ(RectOf(b->RightBorder).left, f.right);
    Form->Hide();
    Pump();
    EXPECT_FALSE(b->Visible());
    EXPECT_EQ(b->TopBorder, nullptr);
    Form->Show();
    Pump();
    EXPECT_TRUE(b->Visible());
    // A border that is only an edge is hidden while the form is maximized.
    Skinner->SetWindowState(wsMaximized);
    Pump();
    EXPECT_FALSE(b->Visible());
    Skinner->SetWindowState(wsNormal);
    Pump();
    EXPECT_TRUE(b->Visible());
}

TEST_F(FormLayerBorderTest, NoBorderWindowLeftBehindWhenTheFormGoes)
{
    ShowForm();
    auto borderWindows = [] {
        int n = 0;
        for (int i = 0; i < Screen->FormCount(); ++i)
            if (dynamic_cast<TspFormLayerWindow*>(Screen->Forms(i)))
                ++n;
        return n;
    };
    EXPECT_EQ(borderWindows(), 4);
    Form->Free();
    Form = nullptr;
    Pump();
    Application->Idle();
    EXPECT_EQ(borderWindows(), 0);
}

TEST_F(FormLayerBorderTest, OuterBoundsForTheComponentWhileShown)
{
    ShowForm();
    Skinner->SetBounds(100, 100, 410, 310);
    Pump();
    const RECT f = FormRect();
    EXPECT_EQ(f.left, 105);
    EXPECT_EQ(f.top, 105);
    EXPECT_EQ(f.right - f.left, 400);
    EXPECT_EQ(f.bottom - f.top, 300);
}

TEST_F(FormLayerBorderTest, ShortOuterHeightUpdateAndSetBounds)
{
    ShowForm();
    TspFormLayerBorder* b = Border();
    const RECT before = RectOf(b->BottomBorder);
    // An outer height below both bands: the bottom band gets what is left
    // below the top band, the sides nothing, and never fewer than 0 rows.
    for (auto [h, bottomRows] : {std::pair{15, 5}, std::pair{20, 10}, std::pair{8, 0}, std::pair{0, 0}}) {
        SCOPED_TRACE(h);
        b->CreateBorderImages(200, h);
        EXPECT_EQ(b->BottomImage->Height(), bottomRows);
        EXPECT_EQ(b->LeftImage->Height(), 0);
        EXPECT_EQ(b->RightImage->Width(), 0);
    }
    // Update re-images in place, never moving.
    b->Update(0, 0, 200, 15);
    Pump();
    EXPECT_EQ(RectOf(b->BottomBorder).left, before.left);
    EXPECT_EQ(RectOf(b->BottomBorder).top, before.top);
    // SetBounds moves and hides a side without rows.
    b->SetBounds(50, 60, 200, 15);
    Pump();
    EXPECT_EQ(RectOf(b->TopBorder).left, 50);
    EXPECT_EQ(RectOf(b->TopBorder).top, 60);
    EXPECT_EQ(RectOf(b->BottomBorder).top, 60 + 15 - 5);
    EXPECT_FALSE(Shown(b->LeftBorder));
    EXPECT_FALSE(Shown(b->RightBorder));
}

TEST_F(FormLayerBorderTest, FrameDataVariants)
{
    LoadSkinNew();
    TspDataSkinLayerFrame& lf = *Data->LayerFrame;
    MakeForm(200, 150, 320, 200, Data);
    TspFormLayerBorder* b = Border();

    // A picture shown unscaled: one window of the picture's size.
    const TPoint rb = lf.RBPoint;
    lf.RBPoint = TPoint(0, 0);
    Skinner->InitLayerBorder();
    Pump();
    EXPECT_NE(b->TopBorder, nullptr);
    EXPECT_EQ(b->LeftBorder, nullptr);
    EXPECT_EQ(b->BottomBorder, nullptr);
    EXPECT_EQ(RectOf(b->TopBorder).right - RectOf(b->TopBorder).left, 100);
    lf.RBPoint = rb;

    // No edge rectangle: the mouse passes through and the border has no depth.
    const TRect border = lf.BorderRect;
    lf.BorderRect = TRect();
    Skinner->InitLayerBorder();
    Pump();
    ASSERT_NE(b->TopBorder, nullptr);
    EXPECT_TRUE(GetWindowLong(b->TopBorder->Handle(), GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    EXPECT_EQ(b->LeftSize + b->TopSize + b->RightSize + b->BottomSize, 0);
    lf.BorderRect = border;

    // Bad data: a mask naming no picture (opaque), a side band without rows
    // and no stretching (stretched, no division by zero), a negative zone.
    lf.MaskPictureIndex = 9999;
    lf.LBPoint.y = lf.RBPoint.y = 10;
    lf.HitTestSize = -4;
    Skinner->InitLayerBorder();
    Pump();
    ASSERT_TRUE(b->Visible());
    EXPECT_EQ(b->FSourceBitmap->GetPixel(0, 0) >> 24, 255u);
    EXPECT_GT(b->LeftImage->Height(), 0);

    // A frame without a picture: no border at all.
    lf.PictureIndex = -1;
    Skinner->InitLayerBorder();
    Pump();
    EXPECT_FALSE(Skinner->LayeredBorderEnabled());
    EXPECT_FALSE(b->Visible());
    EXPECT_EQ(b->TopBorder, nullptr);
}

TEST_F(FormLayerBorderTest, CheckFormAlphaScalesBothValues)
{
    ShowForm();
    Data->LayerFrame->AlphaBlendValue = 200;
    Data->LayerFrame->InActiveAlphaBlendValue = 150;
    Border()->InitFrame(Data, Form);
    Border()->CheckFormAlpha(128, false);
    EXPECT_EQ(Border()->FCurrentAlphaBlendValue, 100);
    EXPECT_EQ(Border()->FCurrentInActiveAlphaBlendValue, 75);
    Border()->CheckFormAlpha(0, false);
    EXPECT_EQ(Border()->FCurrentAlphaBlendValue, 0);
}

TEST_F(FormLayerBorderTest, FullBorderButtonRowAndCaption)
{
    LoadSkinNew();
    MakeForm(200, 150, 320, 200, Data);
    TspFormLayerBorder* b = Border();
    Data->ButtonsOffset = 2;
    TspDataSkinLayerFrame frame;
    frame.PictureIndex = Data->LayerFrame->PictureIndex;
    frame.FullBorder = true;
    frame.CaptionRect = TRect(20, 5, 60, 25);
    b->FData = &frame;
    // The top strip is 240 wider than the picture: the caption ends at 300.
    b->TopImage = std::make_unique<TspBitmap>();
    b->TopImage->SetSize(b->FSourceBitmap->Width() + 240, 20);
    Skinner->ObjectList.clear();
    auto button = [&](TStdCommand Cmd, int W) {
        auto o = std::make_unique<TspSkinStdButtonObject>(Skinner, nullptr);
        o->Command = Cmd;
        o->SkinRectInAPicture = true;
        o->SkinRect = TRect(0, 0, W, 16);
        TspSkinStdButtonObject* p = o.get();
        Skinner->ObjectList.push_back(std::move(o));
        return p;
    };
    TspSkinStdButtonObject* close = button(cmClose, 20);
    TspSkinStdButtonObject* max = button(cmMaximize, 20);
    TspSkinStdButtonObject* min = button(cmMinimize, 18);
    Skinner->ObjectList.push_back(std::make_unique<TspSkinCaptionObject>(Skinner, nullptr));
    auto* caption = Skinner->ObjectList.back().get();
    b->CalcCaptionObjectRects();
    EXPECT_EQ(close->ObjectRect.left, 280);
    EXPECT_EQ(close->ObjectRect.right, 300);
    EXPECT_EQ(max->ObjectRect.left, 258);
    EXPECT_EQ(max->ObjectRect.right, 278);
    EXPECT_EQ(min->ObjectRect.left, 238);
    EXPECT_EQ(min->ObjectRect.right, 256);
    EXPECT_EQ(caption->ObjectRect.right, 234);
    EXPECT_EQ(caption->ObjectRect.left, 20);
    b->FData = nullptr;
    b->Hide();
    Skinner->ObjectList.clear();
}

// ---- The mouse on the strips -----------------------------------------------------------

class LayerBorderMouseTest : public FormLayerBorderTest {
protected:
    // The zone at screen point (X, Y) of window W.
    TspFormLayerBorderHit ZoneAt(TspFormLayerWindow* W, int X, int Y)
    {
        HeadlessMouseMove(X, Y);
        Pump();
        const RECT r = RectOf(W);
        return W->HitTest(X - r.left, Y - r.top);
    }
    // A left-button drag from (X, Y) by (DX, DY) in Steps moves (0: steps
    // of at most 5 pixels).
    void Drag(int X, int Y, int DX, int DY, int Steps = 0)
    {
        HeadlessMouseMove(X, Y);
        Pump();
        HeadlessMouseDown();
        Pump();
        const int n = Steps > 0 ? Steps : std::max({1, std::abs(DX) / 5, std::abs(DY) / 5});
        for (int i = 1; i <= n; ++i) {
            HeadlessMouseMove(X + DX * i / n, Y + DY * i / n);
            Pump();
        }
        HeadlessMouseUp();
        Pump();
    }
};

TEST_F(LayerBorderMouseTest, ZonesOfEachStrip)
{
    ShowForm();
    const RECT f = FormRect();
    // Corner zones 2 rows deep, so that the zones under them lie in the
    // top strip (5 rows of edge outside the form).
    Data->LayerFrame->HitTestLTPoint.y = 7;
    Data->LayerFrame->HitTestRTPoint.y = 7;
    Skinner->InitLayerBorder();
    Pump();
    TspFormLayerBorder* b = Border();
    // Outer edge: 5 outside the form; corner zones 13 wide.
    const int OL = f.left - 5, OT = f.top - 5, OR = f.right + 5, OB = f.bottom + 5;
    struct TCase {
        const char* Name;
        TspFormLayerWindow* Window;
        int X, Y;
        TspFormLayerBorderHit Want;
    };
    const TCase cases[] = {
        {"left strip at the edge", b->LeftBorder, OL, (f.top + f.bottom) / 2, spflhLeft},
        {"left strip outside the edge", b->LeftBorder, OL - 2, (f.top + f.bottom) / 2, spflhNone},
        {"right strip", b->RightBorder, OR - 1, (f.top + f.bottom) / 2, spflhRight},
        {"top-left corner", b->TopBorder, OL + 1, OT + 1, spflhTopLeft},
        {"top edge", b->TopBorder, (f.left + f.right) / 2, OT + 1, spflhTop},
        {"top outside the outer edge", b->TopBorder, (f.left + f.right) / 2, OT - 2, spflhNone},
        {"top-right corner", b->TopBorder, OR - 1, OT + 1, spflhTopRight},
        {"left under the top-left corner, inside the zone", b->TopBorder, OL + 4, OT + 3, spflhLeft},
        {"left under the top-left corner, past the zone", b->TopBorder, OL + 5, OT + 3, spflhNone},
        {"right under the top-right corner, corner wide", b->TopBorder, OR - 12, OT + 3, spflhRight},
        {"outside the outer edge", b->TopBorder, OL - 3, OT - 3, spflhNone},
        {"bottom-left corner", b->BottomBorder, OL + 1, OB - 1, spflhBottomLeft},
        {"bottom edge", b->BottomBorder, (f.left + f.right) / 2, OB - 1, spflhBottom},
        {"bottom-right corner", b->BottomBorder, OR - 1, OB - 1, spflhBottomRight},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(ZoneAt(c.Window, c.X, c.Y), c.Want);
    }
    // A form that cannot be sized has no zones.
    Skinner->Sizeable = false;
    Form->SetBorderStyle(bsSingle);
    Pump();
    if (b->TopBorder)
        EXPECT_EQ(ZoneAt(b->TopBorder, OL + 1, OT + 1), spflhNone);
}

TEST_F(LayerBorderMouseTest, SizingFromEdgesAndCorners)
{
    ShowForm();
    Skinner->MinWidth = 200;
    Skinner->MinHeight = 150;
    struct TCase {
        const char* Name;
        // Press point relative to the form's outer edge corner named by the side flags.
        int PX, PY;
        int DX, DY;
        // The form's expected change of left, top, width and height.
        int DL, DT, DW, DH;
    };
    const RECT f0 = FormRect();
    const int OL = f0.left - 5, OT = f0.top - 5, OR = f0.right + 5, OB = f0.bottom + 5;
    const int MX = (f0.left + f0.right) / 2, MY = (f0.top + f0.bottom) / 2;
    const TCase cases[] = {
        {"right edge outward", OR - 2, MY, 20, 0, 0, 0, 20, 0},
        {"right edge inward", OR - 2, MY, -20, 0, 0, 0, -20, 0},
        {"bottom edge outward", MX, OB - 2, 0, 15, 0, 0, 0, 15},
        {"left edge outward", OL + 1, MY, -10, 0, -10, 0, 10, 0},
        {"bottom-right corner", OR - 2, OB - 2, 10, 10, 0, 0, 10, 10},
        {"top-left corner inward", OL + 1, OT + 1, 10, 10, 10, 10, -10, -10},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Form->SetBounds(f0.left, f0.top, f0.right - f0.left, f0.bottom - f0.top);
        Pump();
        Drag(c.PX, c.PY, c.DX, c.DY);
        const RECT f = FormRect();
        EXPECT_EQ(f.left - f0.left, c.DL);
        EXPECT_EQ(f.top - f0.top, c.DT);
        EXPECT_EQ((f.right - f.left) - (f0.right - f0.left), c.DW);
        EXPECT_EQ((f.bottom - f.top) - (f0.bottom - f0.top), c.DH);
        EXPECT_FALSE(Skinner->FBorderLayerChangeSize);
        // The border follows.
        EXPECT_EQ(RectOf(Border()->TopBorder).left, f.left - 10);
        EXPECT_EQ(RectOf(Border()->BottomBorder).bottom, f.bottom + 10);
    }
}

TEST_F(LayerBorderMouseTest, LimitsAndGrowthGuards)
{
    ShowForm();
    Skinner->MinWidth = 300;
    Skinner->MinHeight = 190;
    Form->SetBounds(200, 150, 310, 200);
    Pump();
    const RECT f0 = FormRect();
    const int OL = f0.left - 5, OR = f0.right + 5, OT = f0.top - 5;
    const int MY = (f0.top + f0.bottom) / 2;
    // One step inward past the minimum: the right edge is clamped to it...
    Drag(OR - 2, MY, -40, 0, 1);
    RECT f = FormRect();
    EXPECT_EQ(f.right - f.left, 300);
    // ...the left edge refuses it whole.
    Form->SetBounds(200, 150, 310, 200);
    Pump();
    Drag(OL + 1, MY, 40, 0, 1);
    f = FormRect();
    EXPECT_EQ(f.left, 200);
    EXPECT_EQ(f.right - f.left, 310);
    // The top-left corner at the minimum pushed inward: nothing changes.
    Form->SetBounds(200, 150, 300, 190);
    Pump();
    Drag(OL + 1, OT + 1, 10, 10);
    f = FormRect();
    EXPECT_EQ(f.left, 200);
    EXPECT_EQ(f.top, 150);
    // At the minimum width the pointer pushes 30 inside the right edge
    // (nothing to shrink), then moves out by 10 while still more than the
    // zone's depth inside: no growth.
    const RECT g = FormRect();
    HeadlessMouseMove(g.right + 3, MY);
    Pump();
    HeadlessMouseDown();
    Pump();
    HeadlessMouseMove(g.right - 27, MY);
    Pump();
    HeadlessMouseMove(g.right - 17, MY);
    Pump();
    HeadlessMouseUp();
    Pump();
    EXPECT_EQ(FormRect().right - FormRect().left, 300);
    f = FormRect();
    EXPECT_EQ(f.left, 200);
    EXPECT_EQ(f.top, 150);
    EXPECT_EQ(f.right - f.left, 300);
    EXPECT_EQ(f.bottom - f.top, 190);
}

TEST_F(LayerBorderMouseTest, NoZonesNoSizingWithoutHitTests)
{
    ShowForm();
    Data->LayerFrame->HitTestEnable = false;
    Skinner->InitLayerBorder();
    Pump();
    const RECT f0 = FormRect();
    Drag(f0.right + 3, (f0.top + f0.bottom) / 2, 20, 0);
    const RECT f = FormRect();
    EXPECT_EQ(f.right - f.left, f0.right - f0.left);
}

TEST_F(LayerBorderMouseTest, WindowDroppedWhileItsHandlerRuns)
{
    ShowForm();
    TspFormLayerWindow* top = Border()->TopBorder;
    ASSERT_NE(top, nullptr);
    // A handler of the window is running (as during a sizing step's message
    // processing) when the border drops its windows.
    ++top->FBusy;
    Border()->Hide();
    EXPECT_EQ(top->FLayerBorder, nullptr);
    EXPECT_FALSE(IsWindowVisible(top->Handle()));
    --top->FBusy;
    // Freed at the next idle point (the sanitizers find a leak otherwise).
    Application->Idle();
}

}  // namespace

namespace {

// skin-new's halo made a full border: the caption lives in its top strip.
class FullBorderMouseTest : public LayerBorderMouseTest {
protected:
    void ShowFullBorder()
    {
        ShowForm();
        Data->LayerFrame->FullBorder = true;
        Data->LayerFrame->CaptionRect = TRect(10, 0, 90, 10);
        Skinner->InitLayerBorder();
        Pump();
        ASSERT_TRUE(Border()->FullBorder());
        ASSERT_TRUE(Border()->Visible());
    }
    // A point of the top strip over the caption object, on the screen.
    TPoint CaptionPoint()
    {
        const RECT t = RectOf(Border()->TopBorder);
        return TPoint(t.left + 40, t.top + 5);
    }
};

TEST_F(FullBorderMouseTest, CaptionDragMovesTheFormAndItsBorder)
{
    ShowFullBorder();
    const RECT f0 = FormRect();
    const TPoint p = CaptionPoint();
    Drag(p.x, p.y, 30, 20);
    const RECT f = FormRect();
    EXPECT_EQ(f.left - f0.left, 30);
    EXPECT_EQ(f.top - f0.top, 20);
    EXPECT_EQ(f.right - f.left, f0.right - f0.left);
    EXPECT_EQ(RectOf(Border()->TopBorder).left, f.left - 10);
    // A right press never drags.
    HeadlessMouseMove(CaptionPoint().x, CaptionPoint().y);
    Pump();
    HeadlessMouseDown(TMouseButton::Right);
    HeadlessMouseMove(CaptionPoint().x + 20, CaptionPoint().y);
    Pump();
    HeadlessMouseUp(TMouseButton::Right);
    Pump();
    EXPECT_EQ(FormRect().left, f.left);
}

TEST_F(FullBorderMouseTest, DoubleClicksOnTheCaption)
{
    ShowFullBorder();
    TspFormLayerWindow* top = Border()->TopBorder;
    const RECT t = RectOf(top);
    const TPoint p = CaptionPoint();
    HeadlessMouseMove(p.x, p.y);
    Pump();
    // Sizeable and normal with a maximize button: maximizes.
    SendMessage(top->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(p.x - t.left, p.y - t.top));
    Pump();
    EXPECT_EQ(Skinner->WindowState(), wsMaximized);
    Skinner->SetWindowState(wsNormal);
    Pump();
    // Not sizeable: rolls up.
    Skinner->Sizeable = false;
    Form->SetBorderStyle(bsSingle);
    Pump();
    top = Border()->TopBorder;
    ASSERT_NE(top, nullptr);
    const RECT t2 = RectOf(top);
    const TPoint q(t2.left + 40, t2.top + 5);
    HeadlessMouseMove(q.x, q.y);
    Pump();
    SendMessage(top->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(q.x - t2.left, q.y - t2.top));
    Pump();
    EXPECT_TRUE(Skinner->RollUpState());
}

}  // namespace
