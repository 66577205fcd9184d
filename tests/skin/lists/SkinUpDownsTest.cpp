// The up-downs: the auto-repeat on the fake clock, the position rules, the
// button layout both ways, the built-in look and stored descriptions.
#include "ListsTestSupport.h"

#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/rtl/Clock.h"
#include "skin/lists/SkinUpDowns.h"

#include <string>
#include <vector>

using namespace liststest;

namespace {

// Positions with the fake time they were reached at.
struct TSteps {
    TFakeClock* Clock = nullptr;
    std::uint64_t Start = 0;
    TspSkinUpDown* U = nullptr;
    std::vector<std::pair<int, int>> At;  // (ms, position)
    void Change(TObject*) { At.emplace_back(static_cast<int>(Clock->NowMs() - Start), U->Position()); }
};

class SkinUpDownsTest : public ListsTest {
protected:
    template <class T>
    T* UpDown(TUDOrientation o = udVertical, int w = 20, int h = 40, int x = 10)
    {
        auto* u = Make<T>(x, 10, w, h);
        u->SetOrientation(o);
        u->SetUseSkinSize(false);
        Steps.Clock = &Clock;
        Steps.U = u;
        u->OnChange = MakeEvent(&Steps, &TSteps::Change);
        HeadlessProcessMessages();
        return u;
    }
    void PressAt(TControl* c, int x, int y)
    {
        Steps.Start = Clock.NowMs();
        Press(c, x, y);
    }
    TSteps Steps;
};

std::vector<int> Times(const TSteps& s)
{
    std::vector<int> t;
    for (auto& p : s.At)
        t.push_back(p.first);
    return t;
}

TEST_F(SkinUpDownsTest, HoldingStepsAt600Then100AndOnRelease)
{
    auto* u = UpDown<TspSkinUpDown>();
    TCounter ups;
    u->OnUpButtonClick = ups.Event();
    PressAt(u, 10, 5);
    Advance(850);
    EXPECT_EQ(Times(Steps), (std::vector<int>{600, 700, 800}));
    Release();
    EXPECT_EQ(u->Position(), 4);
    EXPECT_EQ(ups.N, 1);
}

TEST_F(SkinUpDownsTest, OffTheButtonNoStepsBackOnItEvery50)
{
    auto* u = UpDown<TspSkinUpDown>();
    u->SetPosition(50);
    Steps.At.clear();
    PressAt(u, 10, 30);  // down button
    MoveTo(u, 100, 100);
    Advance(1000);
    EXPECT_TRUE(Steps.At.empty());
    MoveTo(u, 10, 30);
    const int back = static_cast<int>(Clock.NowMs() - Steps.Start);
    Advance(160);
    ASSERT_EQ(Steps.At.size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Steps.At[i].first, back + 50 * (i + 1));
    MoveTo(u, 100, 100);
    Release();  // a stand-alone up-down steps on release anywhere
    EXPECT_EQ(u->Position(), 46);
}

TEST_F(SkinUpDownsTest, IncrementZeroAndStepsAtMax)
{
    auto* u = UpDown<TspSkinUpDown>();
    u->SetIncrement(0);
    TCounter ups;
    u->OnUpButtonClick = ups.Event();
    PressAt(u, 10, 5);
    Advance(1000);
    Release();
    EXPECT_TRUE(Steps.At.empty());
    EXPECT_EQ(ups.N, 1);

    auto* i = UpDown<TspSkinIntUpDown>(udVertical, 20, 40, 100);
    i->SetPosition(100);
    TCounter upChanges, clicks;
    i->OnUpChange = upChanges.Event();
    i->OnUpButtonClick = clicks.Event();
    PressAt(i, 10, 5);
    Advance(850);
    EXPECT_EQ(upChanges.N, 3);  // every repeat tick, even at Max
    EXPECT_EQ(i->Position(), 100);
    MoveTo(i, 100, 100);
    Release();  // released off the button: no click
    EXPECT_EQ(clicks.N, 0);
}

TEST_F(SkinUpDownsTest, SetterRules)
{
    auto* u = UpDown<TspSkinUpDown>();
    struct Case {
        int min, max, set, expect;
    } cases[] = {{0, 100, 50, 50}, {0, 100, 101, 50}, {0, 100, -1, 50}, {10, 5, 7, 5}};
    for (const Case& c : cases) {
        u->SetMin(c.min);
        u->SetMax(c.max);
        u->SetPosition(50);
        u->SetPosition(c.set);
        EXPECT_EQ(u->Position(), c.expect) << c.min << ".." << c.max << " " << c.set;
    }
    // A negative increment steps the other way; no hang.
    u->SetMin(0);
    u->SetMax(100);
    u->SetPosition(50);
    u->SetIncrement(-5);
    PressAt(u, 10, 5);
    Release();
    EXPECT_EQ(u->Position(), 45);
}

TEST_F(SkinUpDownsTest, LayoutAndArrowsBothWays)
{
    auto* v = UpDown<TspSkinUpDown>(udVertical, 20, 40);
    EXPECT_EQ(v->Buttons[0].R, TRect(0, 0, 20, 20));
    EXPECT_EQ(v->Buttons[1].R, TRect(0, 20, 20, 40));
    auto* h = UpDown<TspSkinUpDown>(udHorizontal, 40, 20, 100);
    EXPECT_EQ(h->Buttons[1].R, TRect(0, 0, 20, 20));  // down on the left
    EXPECT_EQ(h->Buttons[0].R, TRect(20, 0, 40, 20));
    Repaint();
    // Built-in look: frames in clBtnShadow, black arrows pointing outwards.
    EXPECT_EQ(PixelOf(h, 0, 0), ColorToRGB(clBtnShadow));
    auto blackColumns = [&](TControl* c, const TRect& r) {
        std::vector<int> counts;
        for (int x = r.left + 1; x < r.right - 1; ++x) {
            int n = 0;
            for (int y = r.top + 1; y < r.bottom - 1; ++y)
                n += PixelOf(c, x, y) == 0;
            if (n)
                counts.push_back(n);
        }
        return counts;
    };
    const auto right = blackColumns(h, h->Buttons[0].R);
    const auto left = blackColumns(h, h->Buttons[1].R);
    ASSERT_GE(right.size(), 3u);
    ASSERT_GE(left.size(), 3u);
    EXPECT_GT(right.front(), right.back());  // a right arrow narrows to the right
    EXPECT_LT(left.front(), left.back());
    // Hovered: 0xD2BDB6 in a 0x800000 frame.
    MoveTo(h, 30, 10);
    EXPECT_EQ(PixelOf(h, 20, 0), 0x800000u);
    EXPECT_EQ(PixelOf(h, 22, 2), 0xD2BDB6u);
}

TEST_F(SkinUpDownsTest, SkinNewPieces)
{
    auto* skin = LoadSkinNew();
    auto* u = Make<TspSkinUpDown>(10, 10, 40, 40);
    u->SetSkinDataName("vupdown");
    u->SetSkinData(skin);
    HeadlessProcessMessages();
    EXPECT_NE(u->FIndex, -1);
    EXPECT_EQ(u->Buttons[0].R, u->UpButtonRect);
    auto* i = Make<TspSkinIntUpDown>(10, 60, 20, 30);
    i->SetOrientation(udVertical);
    i->SetUseSkinSize(false);
    i->SetSkinDataName("resizetoolbutton");
    i->SetSkinData(skin);
    Repaint();
    EXPECT_EQ(i->Width(), 20);  // keeps any size
    EXPECT_EQ(i->Buttons[1].R, TRect(0, 15, 20, 30));
}

TEST(SkinUpDownsDescriptions, WrittenBackEqual)
{
    RegisterSkinUpDownsClasses();
    const char* text = "object U: TspSkinUpDown\n  Orientation = udVertical\n  Increment = 5\n  Min = -10\n"
                       "  Max = 500\n  Position = 300\n  UseSkinSize = False\nend\n";
    TspSkinUpDown a(nullptr);
    ReadComponentText(&a, text);
    EXPECT_EQ(a.Position(), 300);
    const std::string written = WriteComponentText(&a);
    TspSkinIntUpDown b(nullptr);
    TspSkinUpDown c(nullptr);
    ReadComponentText(&c, written);
    EXPECT_EQ(WriteComponentText(&c), written);
    TspSkinUpDown fresh(nullptr);
    fresh.SetName("Fresh");
    const std::string empty = WriteComponentText(&fresh);
    for (const char* key : {"Increment", "Max", "Position", "Orientation", "SkinDataName", "UseSkinSize"})
        EXPECT_EQ(empty.find(key), std::string::npos) << key << "\n" << empty;
}

}  // namespace
