// The frame of a skinnable form without a skin: its geometry, pixels, client
// rectangle and hit tests.
#include "platform/gdi/Gdi.h"
#include "platform/gdi/SysColors.h"

#include "FormTestSupport.h"

using formtest::TFormTest;

namespace {

class DefaultFrameTest : public TFormTest {};

COLORREF Sys(int Index) { return GetSysColor(Index); }

TEST_F(DefaultFrameTest, ClientRectangleIsThreePixelsInsideBelowTheCaption)
{
    MakeForm(100, 100, 300, 200);
    RECT r{0, 0, 300, 200};
    SendMessage(Form->Handle(), WM_NCCALCSIZE, 0, reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(r, (RECT{3, 22, 297, 197}));
    EXPECT_EQ(Form->ClientWidth(), 294);
    EXPECT_EQ(Form->ClientHeight(), 175);
    // A window too small for the frame keeps an empty client, never an inverted one.
    RECT tiny{0, 0, 4, 10};
    SendMessage(Form->Handle(), WM_NCCALCSIZE, 0, reinterpret_cast<LPARAM>(&tiny));
    EXPECT_EQ(tiny.right, tiny.left);
    EXPECT_EQ(tiny.bottom, tiny.top);
}

struct TStyleCase {
    TFormBorderStyle Style;
    int Caption, Button, EtchedRows;
};

class DefaultFrameStyles : public DefaultFrameTest, public ::testing::WithParamInterface<TStyleCase> {};

TEST_P(DefaultFrameStyles, CaptionButtonsAndBorderByStyle)
{
    const TStyleCase c = GetParam();
    MakeForm(100, 100, 300, 200, nullptr, c.Style);
    EXPECT_EQ(Skinner->DefCaptionHeight(), c.Caption);
    EXPECT_EQ(Skinner->DefButtonSize(), c.Button);
    const int w = 300;
    TspSkinStdButtonObject* close = nullptr;
    for (auto& o : Skinner->ObjectList)
        if (o->IDName == "closebutton")
            close = dynamic_cast<TspSkinStdButtonObject*>(o.get());
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->ObjectRect, (TRect(w - 3 - c.Button, 4, w - 3, 4 + c.Button)));
    // The three nested border lines.
    EXPECT_EQ(At(0, 100), Sys(COLOR_3DLIGHT));
    EXPECT_EQ(At(1, 100), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(At(2, 100), Sys(COLOR_BTNFACE));
    EXPECT_EQ(At(w - 1, 100), Sys(COLOR_3DDKSHADOW));
    EXPECT_EQ(At(w - 2, 100), Sys(COLOR_BTNSHADOW));
    // Etched rows at the caption's left: highlight, shadow, ... c.EtchedRows in all.
    const int x = Skinner->NewDefCaptionRect.left + 4;
    int rows = 0;
    for (int y = 3; y < 3 + c.Caption; ++y) {
        const COLORREF p = At(x, y);
        if (p == Sys(COLOR_BTNHIGHLIGHT) || p == Sys(COLOR_BTNSHADOW))
            ++rows;
    }
    EXPECT_EQ(rows, c.EtchedRows);
    EXPECT_EQ(At(x, 3 + 2), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(At(x, 3 + 3), Sys(COLOR_BTNSHADOW));
}

INSTANTIATE_TEST_SUITE_P(Styles, DefaultFrameStyles,
                         ::testing::Values(TStyleCase{bsSizeable, 19, 17, 14}, TStyleCase{bsToolWindow, 15, 13, 10}));

TEST_F(DefaultFrameTest, CloseMaximizeMinimizeFromTheRightAndCaptionBetween)
{
    MakeForm(100, 100, 300, 200);
    Skinner->SetBorderIcons(TspBorderIcons{spforms::biSystemMenu, spforms::biMinimize, spforms::biMaximize});
    Skinner->CalcDefRects();
    auto rect = [&](const char* name) {
        for (auto& o : Skinner->ObjectList)
            if (o->IDName == name)
                return o->ObjectRect;
        return TRect();
    };
    EXPECT_EQ(rect("closebutton").left, 280);
    EXPECT_EQ(rect("closebutton").right, 297);
    EXPECT_EQ(rect("maxbutton"), TRect(263, 4, 280, 21));
    EXPECT_EQ(rect("minbutton"), TRect(246, 4, 263, 21));
    EXPECT_EQ(Skinner->NewDefCaptionRect, TRect(3 + 17, 3, 246, 19));
    // The roll-up and tray buttons are hidden by BorderIcons.
    for (auto& o : Skinner->ObjectList)
        if (o->IDName == "rollupbutton" || o->IDName == "traybutton")
            EXPECT_FALSE(o->Visible);
}

TEST_F(DefaultFrameTest, ALongCaptionIsCutWithDots)
{
    MakeForm(100, 100, 200, 150);
    Form->SetCaption(std::string(80, 'W'));
    Pump();
    Shot("default-long-caption");
    // The text stays inside the caption space: the caption's right end shows
    // no text ink past the minimize button's left edge.
    const int right = Skinner->NewDefCaptionRect.right;
    bool ink = false;
    for (int x = right - 2; x < right; ++x)
        for (int y = 5; y < 18; ++y)
            ink = ink || (At(x, y) != Sys(COLOR_BTNFACE) && At(x, y) != Sys(COLOR_BTNHIGHLIGHT) &&
                          At(x, y) != Sys(COLOR_BTNSHADOW));
    EXPECT_FALSE(ink);
    // ... while the caption does show text.
    int inked = 0;
    for (int x = Skinner->NewDefCaptionRect.left; x < right; ++x)
        inked += At(x, 11) == Sys(COLOR_BTNTEXT) ? 1 : 0;
    EXPECT_GT(inked, 10);
}

struct THitCase {
    int X, Y;
    LRESULT Code;
};

TEST_F(DefaultFrameTest, HitTestsOfTheSkinlessFrame)
{
    MakeForm(100, 100, 300, 200);
    const THitCase cases[] = {{0, 100, HTLEFT},     {2, 100, HTLEFT},       {3, 100, HTCLIENT},
                              {1, 1, HTTOPLEFT},     {298, 1, HTTOPRIGHT},   {1, 198, HTBOTTOMLEFT},
                              {299, 199, HTBOTTOMRIGHT}, {150, 1, HTTOP},    {150, 199, HTBOTTOM},
                              {299, 100, HTRIGHT},   {150, 10, HTCAPTION},   {288, 10, HTOBJECT},
                              {150, 21, HTOBJECT},   {150, 22, HTCLIENT}};
    for (const THitCase& c : cases)
        EXPECT_EQ(HitAt(c.X, c.Y), c.Code) << c.X << "," << c.Y;
    // Not sizeable: no sizing codes.
    Skinner->Sizeable = false;
    EXPECT_EQ(HitAt(1, 100), HTOBJECT);
    EXPECT_EQ(HitAt(150, 10), HTCAPTION);
}

}  // namespace
