// What a parent shows under a control: its background, then only the
// graphic siblings before the control, into DCs with or without an origin,
// with the paint-copy flags set while they paint and cleared after.
#include "platform/gdi/Gdi.h"
#include "platform/gui/Controls.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Graphics.h"
#include "platform/backend/Headless.h"
#include "skin/core/ParentBackground.h"

#include "SkinTestBitmaps.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A graphic control of one colour that notes the paint-copy flags it saw.
class TSolid : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    TColor Fill = clRed;
    bool Throw = false;
    bool SawCopy = false;
    bool ParentSawCopy = false;

protected:
    void Paint() override
    {
        SawCopy = ControlState().Contains(csPaintCopy);
        ParentSawCopy = Parent()->ControlState().Contains(csPaintCopy);
        if (Throw)
            throw Exception("paint failed");
        Canvas()->Brush()->SetColor(Fill);
        Canvas()->FillRect(TRect(0, 0, Width(), Height()));
    }
};

// A parent that paints onto its DC inside its own saved state and clip.
class TClippingParent : public TCustomControl {
public:
    using TCustomControl::TCustomControl;

protected:
    void PaintWindow(HDC DC) override
    {
        const int saved = SaveDC(DC);
        IntersectClipRect(DC, 0, 0, 50, 80);
        HBRUSH b = CreateSolidBrush(RGB(255, 0, 255));
        HGDIOBJ old = SelectObject(DC, b);
        PatBlt(DC, 0, 0, 100, 80, PATCOPY);
        SelectObject(DC, old);
        DeleteObject(b);
        RestoreDC(DC, saved);
    }
};

class ParentBackgroundTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        HeadlessReset();
        Owner = new TComponent(nullptr);
    }
    void TearDown() override
    {
        Owner->Free();
        HeadlessReset();
    }
    // A yellow panel of 100 x 80 with red A (10, 10, 30, 30) and lime B
    // (50, 30, 80, 50) before the control (20, 20, 60, 40) and blue C
    // (30, 25, 45, 35) after it.
    void Build(TWinControl* parent)
    {
        Parent = parent;
        parent->SetBounds(0, 0, 100, 80);
        A = Solid(10, 10, 20, 20, clRed);
        B = Solid(50, 30, 30, 20, clLime);
        Control = Solid(20, 20, 40, 20, clBlack);
        C = Solid(30, 25, 15, 10, clBlue);
    }
    TSolid* Solid(int x, int y, int w, int h, TColor c)
    {
        auto* s = new TSolid(Owner);
        s->Fill = c;
        s->SetBounds(x, y, w, h);
        s->SetParent(Parent);
        return s;
    }
        TComponent* Owner = nullptr;
    TWinControl* Parent = nullptr;
    TSolid *A = nullptr, *B = nullptr, *C = nullptr, *Control = nullptr;
};

TEST_F(ParentBackgroundTest, BackgroundAndEarlierSiblingsOnly)
{
    auto* panel = new TPanel(Owner);
    panel->SetColor(clYellow);
    panel->SetBevelOuter(bvNone);
    Build(panel);
    auto t = skintest::SolidBitmap(40, 20, clWhite);
    DrawParentBackground(Control, t->Canvas());
    EXPECT_EQ(t->Canvas()->Pixels(5, 5), clRed);     // A
    EXPECT_EQ(t->Canvas()->Pixels(35, 15), clLime);  // B
    EXPECT_EQ(t->Canvas()->Pixels(15, 8), clYellow);  // C comes after: not drawn
    EXPECT_EQ(t->Canvas()->Pixels(25, 3), clYellow);
    EXPECT_TRUE(A->SawCopy);
    EXPECT_TRUE(A->ParentSawCopy);
    EXPECT_FALSE(C->SawCopy);
    EXPECT_FALSE(panel->ControlState().Contains(csPaintCopy));
    EXPECT_FALSE(A->ControlState().Contains(csPaintCopy));

    // The Rect variant: the canvas origin is the control's point (10, 5).
    auto r = skintest::SolidBitmap(30, 15, clWhite);
    DrawParentBackgroundRect(Control, TRect(10, 5, 40, 20), r->Canvas());
    EXPECT_EQ(r->Canvas()->Pixels(25, 10), clLime);   // parent (55, 35)
    EXPECT_EQ(r->Canvas()->Pixels(2, 2), clYellow);   // parent (32, 27), under C
    EXPECT_EQ(r->Canvas()->Pixels(29, 4), clYellow);

    // A DC that already has an origin keeps it under ours.
    auto o = skintest::SolidBitmap(50, 30, clWhite);
    SetViewportOrgEx(o->Canvas()->Handle(), 5, 5, nullptr);
    DrawParentBackground(Control, o->Canvas());
    SetViewportOrgEx(o->Canvas()->Handle(), 0, 0, nullptr);
    EXPECT_EQ(o->Canvas()->Pixels(6, 6), clRed);
    EXPECT_EQ(o->Canvas()->Pixels(33, 20), clYellow);  // parent (48, 35)
    EXPECT_EQ(o->Canvas()->Pixels(36, 20), clLime);    // parent (51, 35)
}

TEST_F(ParentBackgroundTest, ParentPaintingInItsOwnClip)
{
    auto* parent = new TClippingParent(Owner);
    Build(parent);
    auto t = skintest::SolidBitmap(40, 20, clWhite);
    DrawParentBackground(Control, t->Canvas());
    EXPECT_EQ(t->Canvas()->Pixels(12, 15), static_cast<TColor>(RGB(255, 0, 255)));  // parent (32, 35)
    EXPECT_NE(t->Canvas()->Pixels(32, 5), static_cast<TColor>(RGB(255, 0, 255)));   // beyond its clip
    EXPECT_EQ(t->Canvas()->Pixels(5, 5), clRed);
    // Our own state is back: the whole target can be drawn on again.
    t->Canvas()->Brush()->SetColor(clNavy);
    t->Canvas()->FillRect(TRect(0, 0, 40, 20));
    EXPECT_EQ(t->Canvas()->Pixels(39, 19), clNavy);
}

TEST_F(ParentBackgroundTest, FlagsAndStateComeBackWhenASiblingThrows)
{
    auto* panel = new TPanel(Owner);
    panel->SetColor(clYellow);
    Build(panel);
    B->Throw = true;
    auto t = skintest::SolidBitmap(40, 20, clWhite);
    EXPECT_THROW(DrawParentBackground(Control, t->Canvas()), Exception);
    EXPECT_TRUE(B->SawCopy);
    EXPECT_FALSE(B->ControlState().Contains(csPaintCopy));
    EXPECT_FALSE(panel->ControlState().Contains(csPaintCopy));
    t->Canvas()->Brush()->SetColor(clNavy);
    t->Canvas()->FillRect(TRect(0, 0, 40, 20));
    EXPECT_EQ(t->Canvas()->Pixels(0, 0), clNavy);
    EXPECT_EQ(t->Canvas()->Pixels(39, 19), clNavy);
    // Without a parent nothing happens.
    auto* orphan = new TSolid(Owner);
    DrawParentBackground(orphan, t->Canvas());
    DrawParentBackground(nullptr, t->Canvas());
    EXPECT_EQ(t->Canvas()->Pixels(0, 0), clNavy);
}

}  // namespace
