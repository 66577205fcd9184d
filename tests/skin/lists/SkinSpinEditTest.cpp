// The spin edit: typing against the range, the display of both value types,
// the event order of a button click, the repeat on the fake clock, the
// built-in look and stored descriptions.
#include "ListsTestSupport.h"

#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/rtl/Clock.h"
#include "skin/lists/SkinSpinEdit.h"

#include <string>
#include <vector>

using namespace liststest;

namespace {

struct TLog {
    std::vector<std::string> Lines;
    TspSkinSpinEdit* S = nullptr;
    bool SetInside = false;
    void Change(TObject*)
    {
        Lines.push_back("change " + std::to_string(static_cast<int>(S->Value())));
        if (SetInside)
            S->SetValue(42);  // no nested OnChange
    }
    void Up(TObject*) { Lines.push_back("up"); }
};

class SkinSpinEditTest : public ListsTest {
protected:
    TspSkinSpinEdit* Spin(double min = 0, double max = 0)
    {
        auto* s = Make<TspSkinSpinEdit>(10, 10, 120, 20);
        s->SetMinValue(min);
        s->SetMaxValue(max);
        Log.S = s;
        s->OnChange = MakeEvent(&Log, &TLog::Change);
        s->OnUpButtonClick = MakeEvent(&Log, &TLog::Up);
        HeadlessProcessMessages();
        return s;
    }
    static void TypeInto(TspSkinSpinEdit* s, const std::string& text)
    {
        s->FEdit->SetFocus();
        s->FEdit->SelectAll();
        Type(text);
    }
    TLog Log;
};

TEST_F(SkinSpinEditTest, TypingAgainstTheRange)
{
    struct Case {
        double min, max;
        const char* typed;
        double value;
        const char* shown;
    } cases[] = {
        {0, 100, "150", 100, "100"},  // overshoot: rewritten at once
        {10, 100, "5", 10, "5"},      // falls short: kept until the edit is left
        {10, 100, "-5", 10, "10"},    // the wrong sign: rewritten
        {0, 0, "123456", 123456, "123456"},
        {0, 0, "-", 0, "-"},          // not a number yet
        {0, 0, "99999999999", 999999999, "99999999999"},  // beyond 32 bits: the last number stays
    };
    for (const Case& c : cases) {
        auto* s = Spin(c.min, c.max);
        s->SetValue(c.min);
        TypeInto(s, c.typed);
        EXPECT_EQ(s->Value(), c.value) << c.typed;
        EXPECT_EQ(s->FEdit->Text(), c.shown) << c.typed;
        EXPECT_EQ(s->Text(), c.shown) << c.typed;
        s->Free();
    }
    auto* s = Spin(10, 100);
    TypeInto(s, "5");
    auto* other = Make<TspSkinSpinEdit>(10, 50, 120, 20);
    other->FEdit->SetFocus();
    HeadlessProcessMessages();
    EXPECT_EQ(s->FEdit->Text(), "10");  // leaving rewrites it
}

TEST_F(SkinSpinEditTest, DisplayAndValueType)
{
    auto* s = Spin();
    struct Case {
        double v;
        const char* shown;
    } ints[] = {{2.5, "2"}, {3.5, "4"}, {-2.5, "-2"}, {7, "7"}};
    for (const Case& c : ints) {
        s->SetValue(c.v);
        EXPECT_EQ(s->Text(), c.shown) << c.v;
    }
    s->SetValueType(vtFloat);
    s->SetDecimal(3);
    s->SetValue(1.25);
    EXPECT_EQ(s->Text(), "1.250");
    TypeInto(s, "2.5");
    EXPECT_EQ(s->Value(), 2.5);
    s->SetIncrement(0.3);
    s->SetValueType(vtInteger);
    EXPECT_EQ(s->Increment(), 1);  // 0.3 rounds to 0, which becomes 1
}

TEST_F(SkinSpinEditTest, ClickOrderAndNoNestedChange)
{
    auto* s = Spin();
    Press(s, s->Buttons[0].R.left + 3, s->Buttons[0].R.top + 3);
    Release();
    EXPECT_EQ(Log.Lines, (std::vector<std::string>{"change 1", "up"}));
    Log.Lines.clear();
    Log.SetInside = true;
    s->SetValue(5);
    EXPECT_EQ(Log.Lines, (std::vector<std::string>{"change 5"}));
    EXPECT_EQ(s->Value(), 42);
    EXPECT_EQ(s->Text(), "42");
    Log.Lines.clear();
    Log.SetInside = false;
    s->SimpleSetValue(9);
    EXPECT_TRUE(Log.Lines.empty());
    EXPECT_EQ(s->Text(), "9");
    // The inner edit's Up key and the wheel step too.
    s->FEdit->SetFocus();
    Key(VK_UP);
    EXPECT_EQ(s->Value(), 10);
    SendMessage(s->FEdit->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
    EXPECT_EQ(s->Value(), 11);  // towards the user: up
}

TEST_F(SkinSpinEditTest, HoldingRepeats)
{
    auto* s = Spin();
    const TRect up = s->Buttons[0].R;
    Press(s, up.left + 3, up.top + 3);
    Advance(850);
    EXPECT_EQ(s->Value(), 3);  // 600, 700 and 800 ms
    Release();
    EXPECT_EQ(s->Value(), 4);
}

TEST_F(SkinSpinEditTest, BuiltInLookAndSkinNew)
{
    auto* s = Spin();
    Repaint();
    EXPECT_EQ(PixelOf(s, 0, 0), ColorToRGB(clBtnShadow));
    EXPECT_EQ(PixelOf(s, 1, 1), ColorToRGB(clBtnFace));
    EXPECT_EQ(s->Buttons[0].R, TRect(120 - 17, 2, 118, 10));
    auto* skin = LoadSkinNew();
    auto* k = Make<TspSkinSpinEdit>(10, 50, 150, 20);
    k->SetSkinData(skin);
    Repaint();
    EXPECT_NE(k->FIndex, -1);
    EXPECT_EQ(k->Height(), k->SkinHeight());
    EXPECT_TRUE(k->FEdit->EditTransparent());
}

TEST(SkinSpinEditDescriptions, WrittenBackEqual)
{
    RegisterSkinSpinEditClasses();
    const char* text = "object S: TspSkinSpinEdit\n  ValueType = vtFloat\n  Decimal = 1\n  MinValue = -5\n"
                       "  MaxValue = 50.5\n  Value = 12.5\n  Increment = 0.5\nend\n";
    TspSkinSpinEdit a(nullptr);
    ReadComponentText(&a, text);
    EXPECT_EQ(a.Value(), 12.5);
    const std::string written = WriteComponentText(&a);
    TspSkinSpinEdit b(nullptr);
    ReadComponentText(&b, written);
    EXPECT_EQ(WriteComponentText(&b), written);
    TspSkinSpinEdit fresh(nullptr);
    fresh.SetName("Fresh");
    const std::string empty = WriteComponentText(&fresh);
    for (const char* key : {"Value", "Decimal", "SkinDataName", "Increment", "UseSkinSize"})
        EXPECT_EQ(empty.find(std::string("  ") + key + " ="), std::string::npos) << key << "\n" << empty;
}

}  // namespace
