// The skinned bevel's lines by shape and as a divider, its skin colours,
// and the button label's hover, refused values and descriptions.
#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "skin/controls/SkinBevels.h"
#include "skin/controls/SkinCtrls.h"
#include "skin/core/SkinControlPieces.h"

#include "ControlsTestSupport.h"

#include <gtest/gtest.h>

namespace {

class SkinBevelsTest : public controlstest::TControlsTest {};

TEST_F(SkinBevelsTest, LinesByShapeAndDivider)
{
    auto* b = Make<TspSkinBevel>(Form, 20, 20, 40, 20);
    const TColor dark = ColorToRGB(clBtnShadow), light = ColorToRGB(clBtnHighlight);
    struct Case {
        const char* what;
        TBevelShape shape;
        bool divider;
        TPoint darkAt, lightAt;
    } cases[] = {
        {"divider, top line", bsTopLine, true, {20, 9}, {20, 10}},
        {"divider, box", bsBox, true, {19, 10}, {20, 10}},
        {"box", bsBox, false, {0, 10}, {39, 10}},
        {"top line", bsTopLine, false, {20, 0}, {20, 1}},
        {"bottom line", bsBottomLine, false, {20, 18}, {20, 19}},
        {"left line", bsLeftLine, false, {0, 10}, {1, 10}},
        {"right line", bsRightLine, false, {38, 10}, {39, 10}},
    };
    for (const Case& c : cases) {
        b->SetShape(c.shape);
        b->SetDividerMode(c.divider);
        EXPECT_EQ(ScreenAt(b, c.darkAt.x, c.darkAt.y), dark) << c.what;
        EXPECT_EQ(ScreenAt(b, c.lightAt.x, c.lightAt.y), light) << c.what;
    }
    // The divider leaves 2 pixels free at each end.
    b->SetShape(bsTopLine);
    b->SetDividerMode(true);
    EXPECT_NE(ScreenAt(b, 1, 9), dark);
    // Raised swaps the colours.
    b->SetStyle(bsRaised);
    EXPECT_EQ(ScreenAt(b, 20, 9), light);
}

TEST_F(SkinBevelsTest, SkinColoursAndTheirRemoval)
{
    auto* skin = new TspSkinData(Owner);
    auto piece = std::make_unique<TspDataSkinBevel>("bevel");
    piece->LightColor = clYellow;
    piece->DarkColor = clNavy;
    skin->CtrlList.push_back(std::move(piece));
    skin->Empty = false;
    auto* b = Make<TspSkinBevel>(Form, 20, 20, 40, 20);
    b->SetShape(bsTopLine);
    b->SetSkinData(skin);
    EXPECT_EQ(b->LightColor, clYellow);
    EXPECT_EQ(ScreenAt(b, 20, 0), ColorToRGB(clNavy));
    skin->Free();
    EXPECT_EQ(b->SkinData(), nullptr);
    EXPECT_EQ(b->DarkColor, clBtnShadow);
    b->SetSkinData(nullptr);
    EXPECT_EQ(ScreenAt(b, 20, 0), ColorToRGB(clBtnShadow));
}

TEST_F(SkinBevelsTest, ButtonLabelHoverAndRefusedMargin)
{
    auto* l = Make<TspSkinButtonLabel>(Form, 20, 20, 100, 30);
    l->SetCaption("Link");
    EXPECT_FALSE(l->ControlStyle().Contains(csOpaque));
    MoveTo(l, 10, 10);
    EXPECT_TRUE(l->FMouseIn);
    MoveTo(l, 200, 150);
    EXPECT_FALSE(l->FMouseIn);
    l->SetEnabled(false);
    MoveTo(l, 10, 10);
    EXPECT_FALSE(l->FMouseIn);
    l->SetMargin(-2);
    EXPECT_EQ(l->Margin(), -1);
    l->SetDoubleBuffered(true);
    EXPECT_TRUE(l->ControlStyle().Contains(csOpaque));
    // A size of 0 paints nothing.
    l->SetBounds(0, 0, 0, 0);
    Form->Repaint();
    Application->ProcessMessages();
}

TEST(SkinBevelsDescriptions, WrittenBackEqual)
{
    RegisterSkinControlsClasses();
    const char* label =
        "object L: TspSkinButtonLabel\n  Caption = 'Open'\n  Spacing = 4\n  WebStyle = True\n  GlowEffect = True\n"
        "  GlowSize = 5\n  CustomGlowColor = clRed\n  ImageIndex = 2\n  ActiveImageIndex = 3\nend\n";
    TspSkinButtonLabel a(nullptr);
    ReadComponentText(&a, label);
    const std::string written = WriteComponentText(&a);
    EXPECT_NE(written.find("Spacing = 4"), std::string::npos) << written;
    TspSkinButtonLabel b(nullptr);
    ReadComponentText(&b, written);
    EXPECT_EQ(WriteComponentText(&b), written);
    EXPECT_EQ(b.ActiveImageIndex, 3);

    TspSkinBevel v(nullptr);
    ReadComponentText(&v, "object V: TspSkinBevel\n  Shape = bsTopLine\n  DividerMode = True\nend\n");
    const std::string bevel = WriteComponentText(&v);
    TspSkinBevel w(nullptr);
    ReadComponentText(&w, bevel);
    EXPECT_EQ(WriteComponentText(&w), bevel);
    EXPECT_TRUE(w.DividerMode());
}

}  // namespace
