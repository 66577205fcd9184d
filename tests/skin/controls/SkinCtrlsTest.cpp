// The control bases: piece lookup, resize modes and the size rules they
// give, mapping piece rectangles, window regions from a mask, blending over
// the parent, the parent-background chain and stored descriptions.
#include "platform/backend/Headless.h"
#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiObject.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Graphics.h"
#include "platform/user/WindowRegion.h"
#include "skin/controls/SkinCtrls.h"
#include "skin/core/SkinMessages.h"

#include "ControlsTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

using controlstest::SkinNewIni;
using controlstest::Solid;

// A skin built in the test: picture 0 is the piece's picture, picture 1 a
// mask whose black part is (2, 2, 12, 8).
struct TTestSkin {
    TspSkinData Data{nullptr};
    TTestSkin()
    {
        Data.FActivePictures.push_back(Solid(40, 30, clRed));
        auto mask = Solid(20, 10, clWhite);
        mask->Canvas()->Brush()->SetColor(clBlack);
        mask->Canvas()->FillRect(TRect(2, 2, 12, 8));
        Data.FActivePictures.push_back(std::move(mask));
        Data.Empty = false;
    }
    TspDataSkinCustomControl* Add(const std::string& name, TRect skinRect, TPoint lt, TPoint rt, TPoint lb, TPoint rb,
                                  TRect cl, int mask = -1)
    {
        auto p = std::make_unique<TspDataSkinCustomControl>(name);
        p->PictureIndex = 0;
        p->MaskPictureIndex = mask;
        p->SkinRect = skinRect;
        p->LTPoint = lt;
        p->RTPoint = rt;
        p->LBPoint = lb;
        p->RBPoint = rb;
        p->ClRect = cl;
        auto* raw = p.get();
        Data.CtrlList.push_back(std::move(p));
        return raw;
    }
};

// The bases with their painting reachable and their paints counted.
class TTestControl : public TspSkinCustomControl {
public:
    using TspSkinCustomControl::TspSkinCustomControl;
    using TspSkinCustomControl::PaintWindow;
    TColor Fill = clRed;
    int Paints = 0;
    int Checks = 0;  // WM_CHECKPARENTBG received
    void CheckParentBackground() override
    {
        ++Checks;
        TspSkinCustomControl::CheckParentBackground();
    }
    void DrawDefaultImage(TBitmap* B) override
    {
        ++Paints;
        B->Canvas()->Brush()->SetColor(Fill);
        B->Canvas()->FillRect(TRect(0, 0, Width(), Height()));
    }
};

class TTestGraphic : public TspGraphicSkinCustomControl {
public:
    using TspGraphicSkinCustomControl::TspGraphicSkinCustomControl;
    int Paints = 0;
    int Checks = 0;
    void WndProc(TMessage& Message) override
    {
        if (Message.Msg == WM_CHECKPARENTBG)
            ++Checks;
        TspGraphicSkinCustomControl::WndProc(Message);
    }
    void DrawDefaultImage(TBitmap* B) override
    {
        ++Paints;
        TspGraphicSkinCustomControl::DrawDefaultImage(B);
    }
};

// A parent whose whole background is one colour.
class TBluePanel : public TCustomControl {
public:
    using TCustomControl::TCustomControl;

protected:
    void Paint() override
    {
        Canvas()->Brush()->SetColor(clBlue);
        Canvas()->FillRect(TRect(0, 0, Width(), Height()));
    }
};

class SkinCtrlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        HeadlessReset();
        Owner = new TComponent(nullptr);
        Form = new TForm(Owner);
        Form->SetBounds(0, 0, 300, 200);
        Form->Show();
    }
    void TearDown() override
    {
        Owner->Free();
        HeadlessReset();
    }
    template <class C>
    C* Make(TWinControl* parent, int x, int y, int w, int h)
    {
        auto* c = new C(Owner);
        c->SetBounds(x, y, w, h);
        c->SetParent(parent);
        return c;
    }
    TComponent* Owner = nullptr;
    TForm* Form = nullptr;
};

// ---- resize modes --------------------------------------------------------------------

TEST(SkinPieceGeometry, ResizeModesAndFittedSizes)
{
    struct Case {
        const char* what;
        TRect skin;
        TPoint lt, rt, lb, rb;
        int mode;
        int w, h;          // requested
        int fw, fh;        // fitted
        TRect newCl;
    };
    const TRect cl(3, 3, 17, 7);
    const Case cases[] = {
        {"empty rect", TRect(0, 0, 0, 10), {}, {}, {}, {}, -1, 50, 40, 50, 40, TRect()},
        {"negative height", TRect(0, 10, 20, 5), {3, 3}, {17, 3}, {3, 7}, {17, 7}, -1, 50, 40, 50, 40, TRect()},
        {"nine parts", TRect(0, 0, 20, 10), {3, 3}, {17, 3}, {3, 7}, {17, 7}, 1, 50, 40, 50, 40,
         TRect(3, 3, 47, 37)},
        {"nine parts smaller", TRect(0, 0, 20, 10), {3, 3}, {17, 3}, {3, 7}, {17, 7}, 1, 10, 6, 10, 6,
         TRect(3, 3, 7, 3)},
        {"horizontal", TRect(0, 0, 20, 10), {3, 3}, {17, 3}, {}, {}, 2, 50, 40, 50, 10, TRect(3, 3, 47, 7)},
        {"vertical", TRect(0, 0, 20, 10), {3, 3}, {}, {3, 7}, {}, 3, 50, 40, 20, 40, TRect(3, 3, 17, 37)},
        {"fixed", TRect(0, 0, 20, 10), {3, 3}, {}, {}, {}, 0, 50, 40, 20, 10, TRect(3, 3, 17, 7)},
        {"one corner point zero", TRect(0, 0, 20, 10), {3, 3}, {17, 3}, {}, {17, 0}, 2, 50, 40, 50, 10,
         TRect(3, 3, 47, 7)},
    };
    for (const Case& c : cases) {
        TspSkinPieceGeometry g;
        g.SkinRect = c.skin;
        g.LTPt = c.lt;
        g.RTPt = c.rt;
        g.LBPt = c.lb;
        g.RBPt = c.rb;
        g.ClRect = cl;
        g.ResizeMode = g.CalcResizeMode();
        EXPECT_EQ(g.ResizeMode, c.mode) << c.what;
        int w = c.w, h = c.h;
        g.FitSize(true, w, h);
        EXPECT_EQ(w, c.fw) << c.what;
        EXPECT_EQ(h, c.fh) << c.what;
        if (c.mode != -1)
            EXPECT_EQ(g.NewClRect, c.newCl) << c.what;
    }
    // Without a piece a fixed-size geometry pins nothing.
    TspSkinPieceGeometry g;
    g.SkinRect = TRect(0, 0, 20, 10);
    g.ResizeMode = 0;
    int w = 50, h = 40;
    g.FitSize(false, w, h);
    EXPECT_EQ(w, 50);
    EXPECT_EQ(h, 40);
}

TEST_F(SkinCtrlsTest, SetBoundsKeepsWhatThePieceFixes)
{
    TTestSkin skin;
    skin.Add("fixed", TRect(0, 0, 20, 10), {3, 3}, {}, {}, {}, TRect(3, 3, 17, 7));
    skin.Add("horz", TRect(0, 0, 20, 10), {3, 3}, {17, 3}, {}, {}, TRect(3, 3, 17, 7));
    skin.Add("vert", TRect(0, 0, 20, 10), {3, 3}, {}, {3, 7}, {}, TRect(3, 3, 17, 7));
    skin.Add("nine", TRect(0, 0, 20, 10), {3, 3}, {17, 3}, {3, 7}, {17, 7}, TRect(3, 3, 17, 7));
    struct Case {
        const char* name;
        int w, h;
    } cases[] = {{"fixed", 20, 10}, {"horz", 70, 10}, {"vert", 20, 45}, {"nine", 70, 45}, {"missing", 70, 45}};
    for (const Case& c : cases) {
        auto* w = Make<TTestControl>(Form, 0, 0, 30, 30);
        auto* g = Make<TTestGraphic>(Form, 0, 0, 30, 30);
        w->SetSkinDataName(c.name);
        g->SkinDataName = c.name;
        w->SetSkinData(&skin.Data);
        g->SetSkinData(&skin.Data);
        w->SetBounds(5, 6, 70, 45);
        g->SetBounds(5, 6, 70, 45);
        EXPECT_EQ(w->Width(), c.w) << c.name;
        EXPECT_EQ(w->Height(), c.h) << c.name;
        EXPECT_EQ(g->Width(), c.w) << c.name;
        EXPECT_EQ(g->Height(), c.h) << c.name;
        EXPECT_EQ(w->Left(), 5);
        EXPECT_EQ(w->Top(), 6);
    }
}

TEST_F(SkinCtrlsTest, MapSkinRectToControl)
{
    TTestSkin skin;
    // 20 x 10 pieces; the control is 50 x 40, so dx = 30 and dy = 30.
    skin.Add("nine", TRect(0, 0, 20, 10), {4, 3}, {16, 3}, {4, 7}, {16, 7}, TRect(4, 3, 16, 7));
    skin.Add("horz", TRect(0, 0, 20, 10), {4, 3}, {16, 3}, {}, {}, TRect(4, 3, 16, 7));
    skin.Add("vert", TRect(0, 0, 20, 10), {4, 3}, {}, {4, 7}, {}, TRect(4, 3, 16, 7));
    struct Case {
        const char* piece;
        TRect r, expected;
    } cases[] = {
        {"nine", TRect(1, 1, 3, 2), TRect(1, 1, 3, 2)},        // inside LT
        {"nine", TRect(17, 1, 19, 2), TRect(47, 1, 49, 2)},    // inside RT
        {"nine", TRect(1, 8, 3, 9), TRect(1, 38, 3, 39)},      // inside LB
        {"nine", TRect(17, 8, 19, 9), TRect(47, 38, 49, 39)},  // inside RB
        {"nine", TRect(2, 2, 18, 9), TRect(2, 2, 48, 39)},     // LT to RB
        {"nine", TRect(2, 1, 18, 2), TRect(2, 1, 48, 2)},      // LT to RT
        {"nine", TRect(2, 8, 18, 9), TRect(2, 38, 48, 39)},    // LB to RB
        {"nine", TRect(1, 1, 3, 9), TRect(1, 1, 3, 39)},       // LT to LB
        {"nine", TRect(17, 1, 19, 9), TRect(47, 1, 49, 39)},   // RT to RB
        {"nine", TRect(8, 4, 10, 6), TRect(8, 4, 10, 6)},      // middle: unchanged
        {"horz", TRect(2, 1, 18, 9), TRect(2, 1, 48, 9)},      // spans: grows
        {"horz", TRect(17, 1, 19, 9), TRect(47, 1, 49, 9)},    // right part: moves
        {"horz", TRect(6, 1, 10, 9), TRect(6, 1, 10, 9)},      // middle: unchanged
        {"vert", TRect(1, 2, 9, 8), TRect(1, 2, 9, 38)},       // spans: grows
        {"vert", TRect(1, 8, 9, 9), TRect(1, 38, 9, 39)},      // bottom part: follows
        {"vert", TRect(1, 4, 9, 6), TRect(1, 4, 9, 6)},        // middle: unchanged
    };
    for (const Case& c : cases) {
        auto* w = Make<TTestControl>(Form, 0, 0, 50, 40);
        w->SetSkinDataName(c.piece);
        w->SkinDataName();
        w->SetSkinData(&skin.Data);
        // Modes 2 and 3 fix one side: give the control the 50 x 40 the cases assume.
        w->TspSkinControl::SetBounds(0, 0, 50, 40);
        TRect out;
        w->MapSkinRectToControl(c.r, out);
        EXPECT_EQ(out, c.expected) << c.piece << " " << c.r.left << "," << c.r.top;
    }
}

// ---- a name that is not a resizable piece ----------------------------------------

TEST_F(SkinCtrlsTest, PieceOfAnotherKindCountsAsNoPiece)
{
    TTestSkin skin;
    skin.Data.CtrlList.push_back(std::make_unique<TspDataSkinBevel>("bevel"));
    skin.Data.CtrlList.back()->SkinRect = TRect(0, 0, 0, 0);
    auto* w = Make<TTestControl>(Form, 0, 0, 30, 30);
    auto* g = Make<TTestGraphic>(Form, 0, 0, 30, 30);
    w->SetDefaultWidth(60);
    w->SetDefaultHeight(25);
    g->SetDefaultWidth(60);
    w->SetSkinDataName("bevel");
    g->SkinDataName = "bevel";
    w->SetSkinData(&skin.Data);
    g->SetSkinData(&skin.Data);
    EXPECT_EQ(w->FIndex, -1);
    EXPECT_EQ(g->FIndex, -1);
    EXPECT_EQ(w->Width(), 60);
    EXPECT_EQ(w->Height(), 25);
    EXPECT_EQ(g->Width(), 60);
    EXPECT_EQ(g->Height(), 30);  // no default height: the present one stays
    // Sizing stays free and the built-in look is painted.
    w->SetBounds(0, 0, 80, 33);
    EXPECT_EQ(w->Width(), 80);
    EXPECT_EQ(w->Height(), 33);
    w->Paints = 0;
    w->Repaint();
    HeadlessProcessMessages();
    EXPECT_GE(w->Paints, 1);
}

// ---- regions ----------------------------------------------------------------------------

TEST_F(SkinCtrlsTest, RegionFromMaskBelongsToTheWindow)
{
    TTestSkin skin;
    skin.Add("masked", TRect(0, 0, 20, 10), {3, 3}, {}, {}, {}, TRect(3, 3, 17, 7), 1);
    skin.Add("plain", TRect(0, 0, 20, 10), {3, 3}, {}, {}, {}, TRect(3, 3, 17, 7));
    auto* w = Make<TTestControl>(Form, 0, 0, 30, 30);
    w->SetSkinDataName("masked");
    w->SetSkinData(&skin.Data);
    ASSERT_NE(w->FRgn, nullptr);
    RECT box{};
    EXPECT_EQ(GetWindowRgnBox(w->Handle(), &box), SIMPLEREGION);
    EXPECT_EQ(TRect(box.left, box.top, box.right, box.bottom), TRect(2, 2, 12, 8));

    const int before = GdiLiveObjectCount();
    for (int i = 0; i < 1000; ++i)
        w->UpdateControlRegion();
    EXPECT_EQ(GdiLiveObjectCount(), before);
    EXPECT_EQ(GetWindowRgnBox(w->Handle(), &box), SIMPLEREGION);

    // A piece without a mask removes the region; the window let go of it.
    w->SetSkinDataName("plain");
    w->ChangeSkinData();
    EXPECT_EQ(w->FRgn, nullptr);
    EXPECT_EQ(GetWindowRgnBox(w->Handle(), &box), ERROR);
    EXPECT_EQ(GdiLiveObjectCount(), before - 1);

    // Back to the mask, then the control goes with its region: nothing is
    // deleted twice (the sanitizer would say) and nothing is left.
    w->SetSkinDataName("masked");
    w->ChangeSkinData();
    ASSERT_NE(w->FRgn, nullptr);
    EXPECT_EQ(GdiLiveObjectCount(), before);
    w->Free();
    EXPECT_EQ(GdiLiveObjectCount(), before - 1);
}

TEST_F(SkinCtrlsTest, GraphicControlHasNoRegionAndSkinGoingAwayRestoresDefaults)
{
    TTestSkin skin;
    skin.Add("masked", TRect(0, 0, 20, 10), {3, 3}, {}, {}, {}, TRect(3, 3, 17, 7), 1);
    auto* w = Make<TTestControl>(Form, 0, 0, 30, 30);
    w->SetDefaultWidth(44);
    w->SetDefaultHeight(22);
    w->SetSkinDataName("masked");
    w->SetSkinData(&skin.Data);
    EXPECT_EQ(w->Width(), 20);
    ASSERT_NE(w->FRgn, nullptr);
    // The skin is cleared: the control takes its default size and loses its region.
    w->BeforeChangeSkinData();
    skin.Data.Empty = true;
    w->ChangeSkinData();
    EXPECT_EQ(w->Width(), 44);
    EXPECT_EQ(w->Height(), 22);
    EXPECT_EQ(w->FRgn, nullptr);
    RECT box{};
    EXPECT_EQ(GetWindowRgnBox(w->Handle(), &box), ERROR);
}

TEST_F(SkinCtrlsTest, FreeingTheSkinDataClearsTheReference)
{
    auto* skin = new TspSkinData(Owner);
    auto* w = Make<TTestControl>(Form, 0, 0, 30, 30);
    auto* g = Make<TTestGraphic>(Form, 0, 0, 30, 30);
    w->SetSkinData(skin);
    g->SetSkinData(skin);
    skin->Free();
    EXPECT_EQ(w->SkinData(), nullptr);
    EXPECT_EQ(g->SkinData(), nullptr);
    w->Repaint();
    g->Repaint();
}

// ---- blending ----------------------------------------------------------------------------

TEST_F(SkinCtrlsTest, BlendingOverTheParentExactPerChannel)
{
    auto* panel = Make<TBluePanel>(Form, 0, 0, 100, 80);
    auto* w = Make<TTestControl>(panel, 10, 10, 30, 20);
    w->Fill = RGB(200, 100, 0);
    w->SetAlphaBlend(true);
    struct Case {
        int alpha;
    } cases[] = {{255}, {0}, {200}};
    for (const Case& c : cases) {
        w->SetAlphaBlendValue(static_cast<std::uint8_t>(c.alpha));
        auto out = Solid(30, 20, clWhite);
        w->PaintWindow(out->Canvas()->Handle());
        const TColor px = out->Canvas()->Pixels(15, 10);
        const double kf = 1.0 - c.alpha / 255.0;
        auto mix = [&](int control, int back) { return static_cast<int>(std::lround((1 - kf) * control + kf * back)); };
        EXPECT_EQ(GetRValue(px), mix(200, 0)) << c.alpha;
        EXPECT_EQ(GetGValue(px), mix(100, 0)) << c.alpha;
        EXPECT_EQ(GetBValue(px), mix(0, 255)) << c.alpha;
    }
    // The ends are exact: opaque, and only what lies beneath.
    w->SetAlphaBlendValue(255);
    auto out = Solid(30, 20, clWhite);
    w->PaintWindow(out->Canvas()->Handle());
    EXPECT_EQ(out->Canvas()->Pixels(0, 0), static_cast<TColor>(RGB(200, 100, 0)));
    w->SetAlphaBlendValue(0);
    w->PaintWindow(out->Canvas()->Handle());
    EXPECT_EQ(out->Canvas()->Pixels(29, 19), clBlue);
    // Without blending the control is drawn as it is.
    w->SetAlphaBlend(false);
    w->PaintWindow(out->Canvas()->Handle());
    EXPECT_EQ(out->Canvas()->Pixels(5, 5), static_cast<TColor>(RGB(200, 100, 0)));
}

TEST_F(SkinCtrlsTest, CheckParentBackgroundChain)
{
    auto* top = Make<TTestControl>(Form, 0, 0, 200, 150);
    top->SetAlphaBlend(true);
    auto* blended = Make<TTestControl>(top, 0, 0, 50, 50);
    blended->SetAlphaBlend(true);
    auto* opaque = Make<TTestControl>(top, 60, 0, 80, 80);
    auto* behindOpaque = Make<TTestControl>(opaque, 0, 0, 20, 20);
    behindOpaque->SetAlphaBlend(true);
    auto* gBlended = new TTestGraphic(Owner);
    gBlended->SetBounds(0, 100, 20, 20);
    gBlended->SetParent(top);
    gBlended->SetAlphaBlend(true);
    auto* gOpaque = new TTestGraphic(Owner);
    gOpaque->SetBounds(30, 100, 20, 20);
    gOpaque->SetParent(top);
    HeadlessProcessMessages();

    // Who hears of it: a blended control passes it to all its children, an
    // opaque one keeps it.
    SendMessage(top->Handle(), WM_CHECKPARENTBG, 0, 0);
    HeadlessProcessMessages();
    EXPECT_EQ(top->Checks, 1);
    EXPECT_EQ(blended->Checks, 1);
    EXPECT_EQ(opaque->Checks, 1);
    EXPECT_EQ(behindOpaque->Checks, 0);
    EXPECT_EQ(gBlended->Checks, 1);
    EXPECT_EQ(gOpaque->Checks, 1);

    // Who repaints: the blended ones only.
    auto paintsAfter = [&](auto* c, auto send) {
        HeadlessProcessMessages();
        c->Paints = 0;
        send();
        HeadlessProcessMessages();
        return c->Paints;
    };
    EXPECT_GE(paintsAfter(blended, [&] { SendMessage(blended->Handle(), WM_CHECKPARENTBG, 0, 0); }), 1);
    EXPECT_EQ(paintsAfter(opaque, [&] { SendMessage(opaque->Handle(), WM_CHECKPARENTBG, 0, 0); }), 0);
    EXPECT_EQ(paintsAfter(behindOpaque, [&] { SendMessage(opaque->Handle(), WM_CHECKPARENTBG, 0, 0); }), 0);
    EXPECT_GE(paintsAfter(gBlended, [&] { gBlended->Perform(WM_CHECKPARENTBG, 0, 0); }), 1);
    EXPECT_EQ(paintsAfter(gOpaque, [&] { gOpaque->Perform(WM_CHECKPARENTBG, 0, 0); }), 0);
}

// ---- the generated skin -------------------------------------------------------------------

TEST_F(SkinCtrlsTest, SkinNewButtonPieceSizesAndPaints)
{
    TspSkinData skin(nullptr);
    skin.BuildMode = true;
    ASSERT_TRUE(skin.LoadFromFile(SkinNewIni())) << skin.LastError();
    auto* w = Make<TTestControl>(Form, 0, 0, 90, 30);
    w->SetSkinDataName("button");
    w->SetSkinData(&skin);
    ASSERT_NE(w->FIndex, -1);
    EXPECT_NE(w->ResizeMode, -1);
    EXPECT_NE(w->Picture, nullptr);
    w->SetBounds(0, 0, 120, 40);
    auto out = Solid(w->Width(), w->Height(), clWhite);
    w->Paints = 0;
    w->PaintWindow(out->Canvas()->Handle());
    EXPECT_EQ(w->Paints, 0);  // the skin look, not the default one
    // Something of the piece's picture was drawn over the white.
    bool drawn = false;
    for (int x = 0; x < w->Width() && !drawn; x += 3)
        drawn = out->Canvas()->Pixels(x, w->Height() / 2) != clWhite;
    EXPECT_TRUE(drawn);
    // Without a skin: the built-in look.
    w->SetSkinData(nullptr);
    w->Paints = 0;
    w->PaintWindow(out->Canvas()->Handle());
    EXPECT_EQ(w->Paints, 1);
}

// ---- descriptions -------------------------------------------------------------------------

TEST(SkinCtrlsDescriptions, ReadAndWrittenBackEqual)
{
    RegisterSkinControlsClasses();
    struct Case {
        const char* text;
    } cases[] = {
        {"object C1: TspSkinCustomControl\n"
         "  SkinDataName = 'button'\n"
         "  DrawDefault = False\n"
         "  AreaName = 'area1'\n"
         "  AlphaBlend = True\n"
         "  AlphaBlendValue = 120\n"
         "  UseSkinCursor = True\n"
         "  HintTitle = 'Title'\n"
         "  HintImageIndex = 3\n"
         "  UseSkinFont = False\n"
         "  DefaultWidth = 70\n"
         "  DefaultHeight = 25\n"
         "end\n"},
        {"object G1: TspGraphicSkinCustomControl\n"
         "  SkinDataName = 'toolbutton'\n"
         "  AlphaBlend = True\n"
         "  AlphaBlendValue = 0\n"
         "  DefaultWidth = 23\n"
         "end\n"},
    };
    for (const Case& c : cases) {
        std::unique_ptr<TComponent> a(std::string(c.text).find("Graphic") != std::string::npos
                                          ? static_cast<TComponent*>(new TspGraphicSkinCustomControl(nullptr))
                                          : new TspSkinCustomControl(nullptr));
        ReadComponentText(a.get(), c.text);
        const std::string written = WriteComponentText(a.get());
        EXPECT_NE(written.find("AlphaBlend = True"), std::string::npos) << written;
        EXPECT_NE(written.find("DefaultWidth = "), std::string::npos) << written;
        std::unique_ptr<TComponent> b(std::string(c.text).find("Graphic") != std::string::npos
                                          ? static_cast<TComponent*>(new TspGraphicSkinCustomControl(nullptr))
                                          : new TspSkinCustomControl(nullptr));
        ReadComponentText(b.get(), written);
        EXPECT_EQ(WriteComponentText(b.get()), written);
    }
    TspSkinCustomControl c(nullptr);
    ReadComponentText(&c, cases[0].text);
    EXPECT_EQ(c.SkinDataName(), "button");
    EXPECT_EQ(c.AlphaBlendValue(), 120);
    EXPECT_EQ(c.Width(), 70);
    EXPECT_EQ(c.Height(), 25);
    EXPECT_FALSE(c.DrawDefault());
    EXPECT_EQ(c.HintTitle(), "Title");

    // The constructor's values are the defaults: nothing of them is written.
    TspSkinCustomControl fresh(nullptr);
    fresh.SetName("Fresh");
    const std::string empty = WriteComponentText(&fresh);
    for (const char* key : {"AlphaBlend", "DrawDefault", "UseSkinFont", "DefaultWidth", "HintImageIndex"})
        EXPECT_EQ(empty.find(key), std::string::npos) << key << "\n" << empty;

    // An opacity beyond a byte fails reading, naming the property.
    TspSkinCustomControl bad(nullptr);
    try {
        ReadComponentText(&bad, "object B: TspSkinCustomControl\n  AlphaBlendValue = 300\nend\n");
        ADD_FAILURE() << "no error";
    } catch (const EReadError& e) {
        EXPECT_NE(std::string(e.what()).find("AlphaBlendValue"), std::string::npos) << e.what();
    }
}

}  // namespace
