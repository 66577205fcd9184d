// Panels: client rectangles, the built-in frame, checked mode, roll-up with
// its size constraints, the caption's hit area, the status bar's grip (its
// hit answers, its lines, and that it sizes the form) and descriptions.
#include "platform/backend/Headless.h"
#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"
#include "platform/user/User.h"
#include "skin/controls/SkinPanels.h"

#include "ControlsTestSupport.h"

#include <gtest/gtest.h>

namespace {

using controlstest::SkinNewIni;
using controlstest::Solid;

struct TCount {
    int N = 0;
    std::function<void()> Also;
    void Event(TObject*)
    {
        ++N;
        if (Also)
            Also();
    }
};

class SkinPanelsTest : public controlstest::TControlsTest {
protected:
    SkinPanelsTest() : TControlsTest(TRect(100, 100, 500, 400)) {}
};

TEST_F(SkinPanelsTest, ClientRectanglesWithoutSkin)
{
    auto* p = Make<TspSkinPanel>(Form, 10, 10, 200, 150);
    struct Case {
        const char* what;
        bool caption, ribbon;
        TspSkinBorderStyle border;
        TRect expect;
    } cases[] = {
        {"frame, caption", true, false, TspSkinBorderStyle::bvFrame, TRect(1, 23, 199, 149)},
        {"frame, ribbon", true, true, TspSkinBorderStyle::bvFrame, TRect(1, 1, 199, 127)},
        {"none, no caption", false, false, TspSkinBorderStyle::bvNone, TRect(0, 0, 200, 150)},
        {"raised, no caption", false, false, TspSkinBorderStyle::bvRaised, TRect(1, 1, 199, 149)},
    };
    for (const Case& c : cases) {
        p->SetBorderStyle(c.border);
        p->SetRibbonStyle(c.ribbon);
        p->SetCaptionMode(c.caption);
        EXPECT_EQ(p->GetSkinClientRect(), c.expect) << c.what;
    }
    // A child aligned to the client fills the rectangle.
    p->SetBorderStyle(TspSkinBorderStyle::bvFrame);
    p->SetRibbonStyle(false);
    p->SetCaptionMode(true);
    auto* child = Make<TspSkinPanel>(p, 0, 0, 10, 10);
    child->SetAlign(alClient);
    EXPECT_EQ(child->BoundsRect(), TRect(1, 23, 199, 149));
}

TEST_F(SkinPanelsTest, BuiltInBordersAndCaptionBar)
{
    auto* p = Make<TspSkinPanel>(Form, 10, 10, 200, 150);
    EXPECT_EQ(ScreenAt(p, 0, 0), ColorToRGB(clBtnShadow));
    EXPECT_EQ(ScreenAt(p, 199, 149), ColorToRGB(clBtnShadow));
    EXPECT_EQ(ScreenAt(p, 100, 75), ColorToRGB(clBtnFace));
    p->SetBorderStyle(TspSkinBorderStyle::bvRaised);
    EXPECT_EQ(ScreenAt(p, 0, 0), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(ScreenAt(p, 199, 149), ColorToRGB(clBtnShadow));
    p->SetBorderStyle(TspSkinBorderStyle::bvLowered);
    EXPECT_EQ(ScreenAt(p, 0, 0), ColorToRGB(clBtnShadow));
    EXPECT_EQ(ScreenAt(p, 199, 149), ColorToRGB(clBtnHighlight));
    // The caption bar: sunken, then raised, below the 1-pixel border.
    p->SetCaptionMode(true);
    EXPECT_EQ(ScreenAt(p, 1, 1), ColorToRGB(clBtnShadow));
    EXPECT_EQ(ScreenAt(p, 2, 2), ColorToRGB(clBtnHighlight));
}

TEST_F(SkinPanelsTest, CheckedModeEventsAndChildren)
{
    auto* p = Make<TspSkinPanel>(Form, 10, 10, 200, 150);
    auto* a = Make<TEdit>(p, 10, 40, 80, 22);
    p->SetCaptionMode(true);
    p->SetCheckedMode(true);
    TCount checked;
    p->OnChecked = MakeEvent(&checked, &TCount::Event);
    p->SetChecked(false);  // the same value still fires and still disables
    EXPECT_EQ(checked.N, 1);
    EXPECT_FALSE(a->Enabled());
    // A click in the caption toggles.
    const TPoint at = p->ClientToScreen(TPoint(50, 10));
    HeadlessClick(at.x, at.y);
    Application->ProcessMessages();
    EXPECT_TRUE(p->Checked());
    EXPECT_TRUE(a->Enabled());
    EXPECT_EQ(checked.N, 2);
    // From inside the handler: the assignment holds, no nested event.
    checked.Also = [&] { p->SetChecked(false); };
    p->SetChecked(true);
    EXPECT_EQ(checked.N, 3);
    EXPECT_FALSE(p->Checked());
}

TEST_F(SkinPanelsTest, RollUpKeepsConstraintsAndCaptionHitArea)
{
    auto* p = Make<TspSkinPanel>(Form, 10, 10, 200, 150);
    auto* child = Make<TEdit>(p, 10, 40, 80, 22);
    p->SetCaptionMode(true);
    p->SetRollUpMode(true);
    p->Constraints()->SetMinHeight(100);
    p->Constraints()->SetMaxWidth(300);
    TCount rolled;
    p->OnChangeRollUpState = MakeEvent(&rolled, &TCount::Event);
    // (0, 0) is outside the caption's hit area.
    TPoint at = p->ClientToScreen(TPoint(0, 0));
    HeadlessClick(at.x, at.y);
    Application->ProcessMessages();
    EXPECT_FALSE(p->RollUpState());
    at = p->ClientToScreen(TPoint(199, 22));
    HeadlessClick(at.x, at.y);
    Application->ProcessMessages();
    ASSERT_TRUE(p->RollUpState());
    EXPECT_EQ(p->Height(), 23);
    EXPECT_EQ(p->RealHeight, 150);
    EXPECT_FALSE(child->Visible());
    EXPECT_EQ(p->Constraints()->MinHeight(), 0);
    EXPECT_EQ(rolled.N, 1);
    p->SetRollUpState(false);
    EXPECT_EQ(p->Height(), 150);
    EXPECT_EQ(p->RealHeight, -1);
    EXPECT_TRUE(child->Visible());
    // The constraints come back as they were before rolling up.
    EXPECT_EQ(p->Constraints()->MinHeight(), 100);
    EXPECT_EQ(p->Constraints()->MaxWidth(), 300);
    EXPECT_EQ(rolled.N, 2);
    // An unchanged value does nothing.
    p->SetRollUpState(false);
    EXPECT_EQ(rolled.N, 2);
}

TEST_F(SkinPanelsTest, StatusBarGripAnswersAndSizesTheForm)
{
    auto* bar = Make<TspSkinStatusBar>(Form, 0, 0, 100, 21);
    EXPECT_EQ(bar->Align(), alBottom);
    EXPECT_EQ(bar->Height(), 21);
    const int w = bar->Width();
    auto hit = [&](int x, int y) {
        const TPoint s = bar->ClientToScreen(TPoint(x, y));
        return SendMessage(bar->Handle(), WM_NCHITTEST, 0, MAKELPARAM(s.x, s.y));
    };
    EXPECT_EQ(hit(w - 5, 5), HTCLIENT);  // grip off: the inherited answer
    bar->SetSizeGrip(true);
    EXPECT_EQ(bar->GetSkinClientRect(), TRect(0, 0, w - 21, 21));
    EXPECT_EQ(bar->GripRect(), TRect(w - 19, 0, w, 19));
    EXPECT_EQ(hit(w - 19, 0), HTBOTTOMRIGHT);
    EXPECT_EQ(hit(w - 1, 19), HTBOTTOMRIGHT);
    EXPECT_EQ(hit(w - 20, 5), HTCLIENT);
    EXPECT_EQ(hit(w - 5, 20), HTCLIENT);
    bar->SetShowGrip(false);
    EXPECT_EQ(hit(w - 5, 5), HTCLIENT);
    bar->SetShowGrip(true);

    // Dragging the grip sizes the form from its bottom-right corner; the
    // bar keeps its height and follows at the bottom.
    RECT before;
    GetWindowRect(Form->Handle(), &before);
    const TPoint g = bar->ClientToScreen(TPoint(w - 8, 10));
    HeadlessMouseMove(g.x, g.y);
    HeadlessMouseDown();
    HeadlessMouseMove(g.x + 30, g.y + 20);
    HeadlessMouseUp();
    Application->ProcessMessages();
    RECT after;
    GetWindowRect(Form->Handle(), &after);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(after.right - after.left, before.right - before.left + 30);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top + 20);
    EXPECT_EQ(bar->Height(), 21);
    EXPECT_EQ(bar->Width(), w + 30);
}

TEST(SkinPanelsGrip, LinesAtOffsetsOfThree)
{
    auto b = Solid(30, 30, clWhite);
    DrawGripLines(b->Canvas(), TRect(0, 0, 19, 19), clBlack, clRed);
    std::vector<int> shadow, light;
    for (int x = 0; x < 19; ++x) {
        if (b->Canvas()->Pixels(x, 18) == clBlack)
            shadow.push_back(x);
        if (b->Canvas()->Pixels(x, 18) == clRed)
            light.push_back(x);
    }
    EXPECT_EQ(shadow, (std::vector<int>{4, 7, 10, 13, 16}));
    EXPECT_EQ(light, (std::vector<int>{5, 8, 11, 14, 17}));
    // Nothing in a rectangle too narrow for one pair.
    auto n = Solid(10, 10, clWhite);
    DrawGripLines(n->Canvas(), TRect(0, 0, 4, 4), clBlack, clRed);
    for (int x = 0; x < 10; ++x)
        for (int y = 0; y < 10; ++y)
            ASSERT_EQ(n->Canvas()->Pixels(x, y), clWhite);
}

TEST_F(SkinPanelsTest, SkinnedPanelsAndTransparentGroupBox)
{
    TspSkinData skin(nullptr);
    ASSERT_TRUE(skin.LoadFromFile(SkinNewIni())) << skin.LastError();
    auto* p = Make<TspSkinPanel>(Form, 10, 10, 200, 150);
    p->SetSkinData(&skin);
    ASSERT_NE(p->FIndex, -1);
    const TRect r = p->GetSkinClientRect();
    EXPECT_EQ(r, p->NewClRect);
    // A fixed caption height on the skin's client.
    p->SetUseSkinSize(false);
    p->SetCaptionMode(true);
    const TRect f = p->GetSkinClientRect();
    EXPECT_EQ(f.top, 22);
    EXPECT_EQ(f.left, r.left);
    EXPECT_EQ(f.bottom, r.bottom);

    auto* g = Make<TspSkinGroupBox>(Form, 220, 10, 150, 120);
    g->SetCaption("Group");
    g->SetSkinData(&skin);
    ASSERT_NE(g->FIndex, -1);
    g->SetTransparentMode(true);
    TBitmap probe;
    probe.Canvas()->Font()->Assign(g->DefaultFont());
    const TRect t = g->GetSkinClientRect();
    EXPECT_EQ(t.left, 2);
    EXPECT_EQ(t.right, 148);
    EXPECT_EQ(t.bottom, 118);
    EXPECT_GT(t.top, 0);
    // The parent shows inside the frame.
    EXPECT_EQ(ScreenAt(g, 75, 60), ScreenAt(Form, 295, 70));
    // Rolled up with a skin: the frame without the client part.
    p->SetUseSkinSize(true);
    p->SetRollUpMode(true);
    p->GetSkinClientRect();
    const int clientHeight = p->NewClRect.bottom - p->NewClRect.top;
    p->SetRollUpState(true);
    EXPECT_EQ(p->Height(), 150 - clientHeight);
    // A skin change keeps the full height.
    p->ChangeSkinData();
    EXPECT_EQ(p->RealHeight, 150);
}

TEST(SkinPanelsDescriptions, WrittenBackEqual)
{
    RegisterSkinControlsClasses();
    struct Case {
        std::function<std::unique_ptr<TComponent>()> make;
        const char* text;
    } cases[] = {
        {[] { return std::make_unique<TspSkinPanel>(nullptr); },
         "object P: TspSkinPanel\n  Caption = 'Panel'\n  CaptionMode = True\n  DefaultCaptionHeight = 30\n"
         "  DefaultAlignment = taCenter\n  BorderStyle = bvNone\n  RibbonStyle = True\n  CheckedMode = True\n"
         "  RollUpMode = True\n  Spacing = 5\n  CaptionImageIndex = 1\n  ImagePosition = spipLeft\nend\n"},
        {[] { return std::make_unique<TspSkinPaintPanel>(nullptr); },
         "object PP: TspSkinPaintPanel\n  TransparentMode = True\nend\n"},
        {[] { return std::make_unique<TspSkinGroupBox>(nullptr); },
         "object G: TspSkinGroupBox\n  Caption = 'Group'\n  UseSkinSize = False\nend\n"},
        {[] { return std::make_unique<TspSkinStatusBar>(nullptr); },
         "object S: TspSkinStatusBar\n  SizeGrip = True\nend\n"},
    };
    for (const Case& c : cases) {
        auto a = c.make();
        ReadComponentText(a.get(), c.text);
        const std::string written = WriteComponentText(a.get());
        auto b = c.make();
        ReadComponentText(b.get(), written);
        EXPECT_EQ(WriteComponentText(b.get()), written);
    }
    TspSkinPanel p(nullptr);
    ReadComponentText(&p, cases[0].text);
    EXPECT_EQ(p.BorderStyle(), TspSkinBorderStyle::bvNone);
    EXPECT_EQ(p.DefaultCaptionHeight(), 30);
    TspSkinGroupBox g(nullptr);
    EXPECT_TRUE(g.CaptionMode());
    EXPECT_EQ(g.SkinDataName(), "groupbox");
    // Reading a checked state raises no event.
    TspSkinPanel quiet(nullptr);
    TCount n;
    quiet.OnChecked = MakeEvent(&n, &TCount::Event);
    ReadComponentText(&quiet, "object Q: TspSkinPanel\n  CheckedMode = True\n  Checked = True\nend\n");
    EXPECT_TRUE(quiet.Checked());
    EXPECT_EQ(n.N, 0);
    // Three glyphs fail reading, naming the property.
    TspSkinPanel bad(nullptr);
    try {
        ReadComponentText(&bad, "object B: TspSkinPanel\n  NumGlyphs = 3\nend\n");
        ADD_FAILURE() << "no error";
    } catch (const EReadError& e) {
        EXPECT_NE(std::string(e.what()).find("NumGlyphs"), std::string::npos) << e.what();
    }
}

}  // namespace
