// Check and radio boxes: the three-state cycle, radio groups and their
// events, events while reading and from inside the handler, dragging out,
// focus rules, the built-in box, the framed fade and descriptions.
#include "platform/backend/Headless.h"
#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"
#include "platform/rtl/Clock.h"
#include "skin/controls/SkinCheckRadio.h"

#include "ControlsTestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

using controlstest::SkinNewIni;

struct TEvents {
    std::map<TObject*, int> Count;
    std::function<void(TObject*)> Also;
    void Click(TObject* Sender)
    {
        ++Count[Sender];
        if (Also)
            Also(Sender);
    }
};

class SkinCheckRadioTest : public controlstest::TControlsTest {
protected:
    SkinCheckRadioTest() : TControlsTest(TRect(0, 0, 400, 300)) {}
    TspSkinCheckRadioBox* Box(int y, bool radio, int group)
    {
        auto* b = Make<TspSkinCheckRadioBox>(Form, 10, y, 150, 25);
        b->SetCaption("Box");
        b->SetRadio(radio);
        b->SetGroupIndex(group);
        b->OnClick = MakeEvent(&Events, &TEvents::Click);
        return b;
    }
    void ClickOn(TControl* c)
    {
        MoveTo(c, 8, 12);
        HeadlessMouseDown();
        HeadlessMouseUp();
        Application->ProcessMessages();
    }
    TFakeClock Clock;
    TClockInstaller Installed{Clock};
    TEvents Events;
};

TEST_F(SkinCheckRadioTest, ThreeStateCycleWithEvents)
{
    auto* b = Box(10, false, 0);
    b->SetAllowGrayed(true);
    const std::vector<TCheckBoxState> cycle{cbGrayed, cbChecked, cbUnchecked, cbGrayed};
    for (size_t i = 0; i < cycle.size(); ++i) {
        ClickOn(b);
        EXPECT_EQ(b->State(), cycle[i]) << i;
        EXPECT_EQ(b->Checked(), cycle[i] == cbChecked) << i;
        EXPECT_EQ(Events.Count[b], static_cast<int>(i + 1)) << i;
    }
    // Unchecking a grey box keeps it grey, and still fires.
    b->SetChecked(false);
    EXPECT_EQ(b->State(), cbGrayed);
    EXPECT_EQ(Events.Count[b], 5);
    // An unchanged value fires too.
    b->SetState(cbGrayed);
    EXPECT_EQ(Events.Count[b], 6);
}

TEST_F(SkinCheckRadioTest, RadioGroupsAndTheirEvents)
{
    auto* r1 = Box(10, true, 1);
    auto* r2 = Box(40, true, 1);
    auto* c3 = Box(70, false, 1);  // a plain check box in the group
    auto* r4 = Box(100, true, 2);  // another group
    r2->SetChecked(true);
    c3->SetChecked(true);  // unchecks r2: a radio unchecked fires nothing
    r4->SetChecked(true);
    Events.Count.clear();
    ClickOn(r1);
    EXPECT_TRUE(r1->Checked());
    EXPECT_FALSE(r2->Checked());
    EXPECT_FALSE(c3->Checked());
    EXPECT_TRUE(r4->Checked());
    EXPECT_EQ(Events.Count[r1], 1);
    EXPECT_EQ(Events.Count[r2], 0);
    EXPECT_EQ(Events.Count[c3], 1);  // the unchecked check box fires
    EXPECT_EQ(Events.Count[r4], 0);
    // A checked radio clicked again stays checked, silently.
    ClickOn(r1);
    EXPECT_TRUE(r1->Checked());
    EXPECT_EQ(Events.Count[r1], 1);
    // A check box clicked twice is back unchecked, with two events.
    auto* c5 = Box(130, false, 0);
    ClickOn(c5);
    ClickOn(c5);
    EXPECT_FALSE(c5->Checked());
    EXPECT_EQ(Events.Count[c5], 2);
}

TEST_F(SkinCheckRadioTest, NoEventWhileReadingNorFromInsideTheHandler)
{
    auto* b = Box(10, false, 0);
    // The handler sets the box again: no nested event, no endless recursion.
    Events.Also = [&](TObject*) { b->SetChecked(!b->Checked()); };
    b->SetChecked(true);
    EXPECT_EQ(Events.Count[b], 1);
    EXPECT_FALSE(b->Checked());  // the handler's own assignment took effect
    Events.Also = [&](TObject*) { b->SetState(cbGrayed); };
    b->SetState(cbChecked);
    EXPECT_EQ(Events.Count[b], 2);
    EXPECT_EQ(b->State(), cbGrayed);
    Events.Also = nullptr;

    // Reading a description raises nothing.
    RegisterSkinControlsClasses();
    TspSkinCheckRadioBox read(nullptr);
    TEvents readEvents;
    read.OnClick = MakeEvent(&readEvents, &TEvents::Click);
    ReadComponentText(&read, "object C: TspSkinCheckRadioBox\n  Checked = True\n  State = cbGrayed\nend\n");
    EXPECT_EQ(read.State(), cbGrayed);
    EXPECT_TRUE(readEvents.Count.empty());
}

TEST_F(SkinCheckRadioTest, DraggingOutDoesNotToggleComingBackDoes)
{
    auto* b = Box(10, false, 0);
    MoveTo(b, 8, 12);
    HeadlessMouseDown();
    Application->ProcessMessages();
    MoveTo(b, 200, 150);
    EXPECT_FALSE(b->FMouseIn);
    HeadlessMouseUp();
    Application->ProcessMessages();
    EXPECT_FALSE(b->Checked());
    MoveTo(b, 8, 12);
    HeadlessMouseDown();
    Application->ProcessMessages();
    MoveTo(b, 200, 150);
    MoveTo(b, 8, 12);
    HeadlessMouseUp();
    Application->ProcessMessages();
    EXPECT_TRUE(b->Checked());
}

TEST_F(SkinCheckRadioTest, FocusRules)
{
    auto* edit = new TEdit(Owner);
    edit->SetParent(Form);
    edit->SetBounds(200, 10, 100, 22);
    auto* b = Box(10, false, 0);
    b->SetCaption("&Remember");
    EXPECT_TRUE(b->TabStop() == b->CanFocused() || !b->TabStop());
    ClickOn(b);
    EXPECT_TRUE(b->Focused());
    HeadlessKeyPress(VK_SPACE);
    Application->ProcessMessages();
    EXPECT_FALSE(b->Checked());  // toggled back by space
    edit->SetFocus();
    EXPECT_EQ(Form->Perform(CM_DIALOGCHAR, 'r', 0), 1);
    EXPECT_TRUE(b->Checked());
    EXPECT_TRUE(b->Focused());

    b->SetCanFocused(false);
    EXPECT_FALSE(b->TabStop());
    edit->SetFocus();
    EXPECT_EQ(Form->Perform(CM_DIALOGCHAR, 'r', 0), 0);
    ClickOn(b);
    EXPECT_FALSE(b->Focused());
    EXPECT_FALSE(b->Checked());  // the click still toggles
}

TEST_F(SkinCheckRadioTest, BuiltInBoxFrameAndFlatBackground)
{
    auto* b = Box(10, false, 0);
    const int h = b->Height();
    MoveTo(b, 100, 40);
    EXPECT_EQ(ScreenAt(b, 3, h / 2 - 7), ColorToRGB(clBtnShadow));
    EXPECT_EQ(ScreenAt(b, 16, h / 2 + 6), ColorToRGB(clBtnShadow));
    // Flat: the form shows through beside the caption.
    EXPECT_EQ(ScreenAt(b, 145, 2), ColorToRGB(Form->Color()));
    MoveTo(b, 8, 12);
    EXPECT_EQ(ScreenAt(b, 3, h / 2 - 7), ColorToRGB(clNavy));
    // Checked: black ink inside the box.
    b->SetChecked(true);
    bool ink = false;
    for (int y = h / 2 - 6; y < h / 2 + 6 && !ink; ++y)
        for (int x = 4; x < 16 && !ink; ++x)
            ink = ScreenAt(b, x, y) == ColorToRGB(clBlack);
    EXPECT_TRUE(ink);
    // Framed built-in look: a face of clBtnFace.
    b->SetFlat(false);
    MoveTo(b, 100, 40);
    EXPECT_EQ(ScreenAt(b, 145, 2), ColorToRGB(clBtnFace));
}

TEST_F(SkinCheckRadioTest, SkinnedFlatMarkAndFramedFade)
{
    TspSkinData skin(nullptr);
    ASSERT_TRUE(skin.LoadFromFile(SkinNewIni())) << skin.LastError();
    auto* b = Box(10, false, 0);
    b->SetCanFocused(false);
    b->SetSkinData(&skin);
    ASSERT_NE(b->FIndex, -1);
    EXPECT_FALSE(b->Morphing);  // a flat box never fades
    b->SetBounds(10, 10, 150, 40);
    EXPECT_EQ(b->Height(), 40);  // a flat box keeps any size
    const TColor before = ScreenAt(b, 3 + 2, 20);
    b->SetChecked(true);
    EXPECT_NE(ScreenAt(b, 3 + 2, 20), before);

    b->SetFlat(false);
    b->ChangeSkinData();
    if (!b->MorphingApplies())
        GTEST_SKIP() << "the generated check box does not fade";
    MoveTo(b, 8, 12);
    std::vector<double> seen;
    for (int i = 0; i < 6; ++i) {
        Clock.Advance(20);
        Application->ProcessMessages();
        seen.push_back(b->FMorphKf);
    }
    EXPECT_EQ(seen, (std::vector<double>{0.2, 0.4, 0.6, 0.8, 1.0, 1.0}));
    EXPECT_FALSE(b->MorphTimer->Enabled());
}

TEST(SkinCheckRadioDescriptions, WrittenBackEqual)
{
    RegisterSkinControlsClasses();
    const char* text =
        "object C1: TspSkinCheckRadioBox\n"
        "  Caption = 'Opt'\n"
        "  Radio = True\n"
        "  GroupIndex = 3\n"
        "  Checked = True\n"
        "  State = cbChecked\n"
        "  Flat = False\n"
        "  WordWrap = True\n"
        "  ImageIndex = 2\n"
        "  UseSkinFontColor = False\n"
        "  CanFocused = False\n"
        "end\n";
    TspSkinCheckRadioBox a(nullptr);
    ReadComponentText(&a, text);
    const std::string written = WriteComponentText(&a);
    EXPECT_NE(written.find("GroupIndex = 3"), std::string::npos) << written;
    TspSkinCheckRadioBox b(nullptr);
    ReadComponentText(&b, written);
    EXPECT_EQ(WriteComponentText(&b), written);
    EXPECT_TRUE(b.Checked());
    EXPECT_TRUE(b.Radio());
    TspSkinCheckRadioBox fresh(nullptr);
    fresh.SetName("F");
    const std::string empty = WriteComponentText(&fresh);
    for (const char* key : {"Flat", "Checked", "State", "CanFocused", "ImageIndex"})
        EXPECT_EQ(empty.find(key), std::string::npos) << key << "\n" << empty;
    EXPECT_EQ(fresh.SkinDataName(), "checkbox");
    EXPECT_EQ(fresh.Width(), 150);
}

}  // namespace
