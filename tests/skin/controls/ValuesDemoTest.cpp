// The demo form's description reads whole, with and without "skin-new",
// and every kind of control it names shows.
#include "platform/classes/ClassRegistry.h"
#include "platform/classes/FormReader.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/PngImage.h"
#include "skin/controls/SkinDataAssign.h"
#include "skin/controls/SkinExPanels.h"
#include "skin/controls/SkinGauges.h"
#include "skin/controls/SkinScrollBars.h"
#include "ValueControlsTestCommon.h"
#include "support/TestSupport.h"

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

using namespace valuetest;

namespace {

class ValuesDemoTest : public ValueControlsTest {
protected:
    std::string Description()
    {
        const char* src = std::getenv("TARNELLO_SOURCE_DIR");
        std::ifstream in(std::string(src ? src : ".") + "/tools/valuesdemo/ValuesDemo.txt");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    void Count(TComponent* c, std::map<std::string, int>& kinds)
    {
        for (int i = 0; i < c->ComponentCount(); ++i) {
            ++kinds[c->Components(i)->ClassName()];
            Count(c->Components(i), kinds);
        }
    }
};

TEST_F(ValuesDemoTest, ReadsWithAndWithoutASkin)
{
    RegisterSkinControlsClasses();
    RegisterClasses<TPanel>();
    const std::string text = Description();
    ASSERT_FALSE(text.empty());
    for (bool skinned : {false, true}) {
        auto* form = new TForm(Owner);
        ReadComponentText(form, text);
        std::map<std::string, int> kinds;
        Count(form, kinds);
        EXPECT_EQ(kinds["TspSkinGauge"], 3);
        EXPECT_EQ(kinds["TspSkinTrackBar"], 2);
        EXPECT_EQ(kinds["TspSkinScrollBar"], 2);
        EXPECT_EQ(kinds["TspSkinLabel"], 2);
        EXPECT_EQ(kinds["TspSkinStdLabel"], 2);
        EXPECT_EQ(kinds["TspSkinExPanel"], 3);
        EXPECT_EQ(kinds["TspSkinSplitterEx"], 2);
        EXPECT_EQ(kinds["TspSkinAnimate"], 1);
        EXPECT_EQ(kinds["TspSkinLinkLabel"], 1);
        EXPECT_EQ(kinds["TspSkinNotebook"], 1);
        EXPECT_EQ(kinds["TspSkinPage"], 3);
        if (skinned) {
            EXPECT_EQ(AssignSkinData(form, LoadSkinNew()), 25);
        }
        form->Show();
        HeadlessProcessMessages();
        // The rolled panels and the scroll bar in both-mode came through.
        int rolled = 0, both = 0;
        for (int i = 0; i < form->ControlCount(); ++i) {
            if (auto* p = dynamic_cast<TspSkinExPanel*>(form->Controls(i)))
                rolled += p->RollState();
            if (auto* s = dynamic_cast<TspSkinScrollBar*>(form->Controls(i)))
                both += s->Both();
        }
        EXPECT_EQ(rolled, 2);
        EXPECT_EQ(both, 1);
        delete form;
    }
}

}  // namespace

// The demo program chooses the X back-end before anything else draws: every
// control must still reach the X screen (windowed controls drew only into
// the window's surface when the back-end was chosen explicitly).
TEST(ValuesDemoX11, EveryControlReachesTheXScreen)
{
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display)
        GTEST_SKIP() << "no X display";
    const char* src = std::getenv("TARNELLO_SOURCE_DIR");
    tarnello::test::TempDir scratch;
    const std::string png = scratch.path() + "/values-x11.png";
    const std::string command = std::string("TARNELLO_BACKEND=x11 '") + TARNELLO_VALUESDEMO + "' '" +
                                (src ? src : ".") + "/tools/valuesdemo/ValuesDemo.txt' '" + png + "' '" +
                                SkinNewIni() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    TPngImage picture;
    picture.LoadFromFile(png);
    TBitmap shot;
    shot.Assign(&picture);
    shot.SetPixelFormat(pf24bit);
    ASSERT_GT(shot.Width(), 0);
    // Undrawn areas stay black; the skin draws nothing pure black.
    long black = 0;
    for (int y = 0; y < shot.Height(); ++y) {
        const auto* row = static_cast<const unsigned char*>(shot.ScanLine(y));
        for (int x = 0; x < shot.Width(); ++x)
            black += row[3 * x] == 0 && row[3 * x + 1] == 0 && row[3 * x + 2] == 0;
    }
    EXPECT_LT(black, static_cast<long>(shot.Width()) * shot.Height() / 100);
}
