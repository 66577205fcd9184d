// Fonts, pens and brushes: change notification, handles, and the rules that
// tie their properties together.
#include "platform/gui/Graphics.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

struct TCounter {
    int Count = 0;
    void Changed(TObject*) { ++Count; }
};

}  // namespace

TEST(GraphicsObjects, EveryRealChangeNotifiesOnce)
{
    TFont font;
    TPen pen;
    TBrush brush;
    TCounter counter;
    font.OnChange = MakeEvent(&counter, &TCounter::Changed);
    pen.OnChange = MakeEvent(&counter, &TCounter::Changed);
    brush.OnChange = MakeEvent(&counter, &TCounter::Changed);
    const struct {
        const char* Name;
        std::function<void()> Change;
        int Notifications;
    } cases[] = {
        {"font height", [&] { font.SetHeight(-20); }, 1},
        {"same height again", [&] { font.SetHeight(-20); }, 0},
        {"font name", [&] { font.SetName("Arial"); }, 1},
        {"empty name is ignored", [&] { font.SetName(""); }, 0},
        {"font style", [&] { font.SetStyle({fsBold, fsItalic}); }, 1},
        {"font colour", [&] { font.SetColor(clRed); }, 1},
        {"pen colour", [&] { pen.SetColor(clBlue); }, 1},
        {"pen width", [&] { pen.SetWidth(3); }, 1},
        {"negative pen width is ignored", [&] { pen.SetWidth(-1); }, 0},
        {"pen mode", [&] { pen.SetMode(pmXor); }, 1},
        {"brush style", [&] { brush.SetStyle(bsClear); }, 1},
        {"brush colour on a clear brush", [&] { brush.SetColor(clWhite); }, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        counter.Count = 0;
        c.Change();
        EXPECT_EQ(counter.Count, c.Notifications);
    }
    EXPECT_EQ(brush.Style(), bsSolid);  // a colour makes a clear brush solid
    EXPECT_TRUE(font.Style().Contains(fsBold));
    EXPECT_FALSE(font.Style().Contains(fsUnderline));
}

TEST(GraphicsObjects, HandlesFollowTheDescription)
{
    TFont font;
    EXPECT_EQ(font.Height(), -11);
    EXPECT_EQ(font.Size(), 8);
    font.SetSize(12);
    EXPECT_EQ(font.Height(), -16);
    font.SetName("Times New Roman");
    font.SetStyle({fsBold});
    HFONT first = font.Handle();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(font.Handle(), first);  // kept while nothing changes
    LOGFONT lf;
    ASSERT_TRUE(GetFontLogFont(first, lf));
    EXPECT_EQ(lf.lfHeight, -16);
    EXPECT_GE(lf.lfWeight, 700);
    EXPECT_STREQ(lf.lfFaceName, "Times New Roman");
    font.SetColor(clRed);
    EXPECT_NE(font.Handle(), nullptr);

    TFont copy;
    copy.Assign(&font);
    EXPECT_EQ(copy.Name(), "Times New Roman");
    EXPECT_EQ(copy.Height(), -16);
    EXPECT_EQ(copy.Color(), clRed);
    TFont fromHandle;
    fromHandle.SetHandle(copy.Handle());
    EXPECT_EQ(fromHandle.Height(), -16);
    EXPECT_TRUE(fromHandle.Style().Contains(fsBold));

    TPen pen;
    pen.SetColor(clRed);
    pen.SetWidth(2);
    LOGPEN lp{};
    ASSERT_GT(GetObject(pen.Handle(), sizeof lp, &lp), 0);
    EXPECT_EQ(lp.lopnColor, RGB(255, 0, 0));
    EXPECT_EQ(lp.lopnWidth.x, 2);
    EXPECT_EQ(PenModeToRop2(pmNotXor), R2_NOTXORPEN);
    EXPECT_EQ(PenModeToRop2(pmCopy), R2_COPYPEN);

    TBrush brush;
    brush.SetColor(clBtnFace);  // system colours resolve when the handle is made
    LOGBRUSH lb{};
    ASSERT_GT(GetObject(brush.Handle(), sizeof lb, &lb), 0);
    EXPECT_EQ(lb.lbColor, ColorToRGB(clBtnFace));
    brush.SetStyle(bsClear);
    ASSERT_GT(GetObject(brush.Handle(), sizeof lb, &lb), 0);
    EXPECT_EQ(lb.lbStyle, BS_NULL);
}
