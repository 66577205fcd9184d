// Push and speed buttons: the built-in look by state, the morph and the
// repeat on the fake clock, groups, check mode, dialog keys, the glow layer
// and stored descriptions.
#include "platform/backend/Headless.h"
#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/StdCtrls.h"
#include "platform/rtl/Clock.h"
#include "platform/user/User.h"
#include "skin/controls/SkinButtons.h"
#include "skin/core/LayerManager.h"

#include "ControlsTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

using controlstest::SkinNewIni;
using controlstest::Solid;

// Counts clicks with the fake time they came at.
struct TClicks {
    TFakeClock* Clock = nullptr;
    std::uint64_t Start = 0;
    std::vector<std::uint64_t> At;
    void Click(TObject*) { At.push_back(Clock ? Clock->NowMs() - Start : 0); }
};

class SkinButtonsTest : public controlstest::TControlsTest {
protected:
    void Tick(int ms)
    {
        Clock.Advance(ms);
        Application->ProcessMessages();
    }
    TFakeClock Clock;
    TClockInstaller Installed{Clock};
};

TColor Rgb(TColor c) { return ColorToRGB(c); }

// ---- built-in look ----------------------------------------------------------------

TEST_F(SkinButtonsTest, BuiltInLookFrameAndFillByState)
{
    auto* b = Make<TspSkinButton>(Form, 10, 10, 75, 25);
    b->SetCanFocused(false);  // the focus would make it hot
    auto* s = Make<TspSkinSpeedButton>(Form, 100, 10, 25, 25);
    auto expect = [&](TControl* ctl, const char* what, TColor frame, TColor fill) {
        EXPECT_EQ(ScreenAt(ctl, 0, 0), Rgb(frame)) << what;
        EXPECT_EQ(ScreenAt(ctl, ctl->Width() - 1, ctl->Height() / 2), Rgb(frame)) << what;
        EXPECT_EQ(ScreenAt(ctl, 2, 2), Rgb(fill)) << what;
    };
    for (TControl* ctl : {static_cast<TControl*>(b), static_cast<TControl*>(s)}) {
        MoveTo(ctl, 5, 40);
        expect(ctl, "normal", clBtnShadow, clBtnFace);
        MoveTo(ctl, 5, 5);
        expect(ctl, "hot", 0x800000, 0xD2BDB6);
        HeadlessMouseDown();
        Application->ProcessMessages();
        expect(ctl, "pressed", 0x800000, 0xB59385);
        HeadlessMouseUp();
        Application->ProcessMessages();
    }
    // A size of 0 paints nothing and does not fail.
    b->SetBounds(10, 10, 0, 0);
    Form->Repaint();
    Application->ProcessMessages();
}

// ---- morph and repeat on the fake clock ----------------------------------------------------

TEST_F(SkinButtonsTest, MorphStepsOfAFifthEvery20Ms)
{
    TspSkinData skin(nullptr);
    ASSERT_TRUE(skin.LoadFromFile(SkinNewIni())) << skin.LastError();
    auto* b = Make<TspSkinButton>(Form, 10, 10, 75, 25);
    b->SetCanFocused(false);
    b->SetSkinData(&skin);
    ASSERT_NE(b->FIndex, -1);
    ASSERT_TRUE(b->MorphingApplies());
    MoveTo(b, 5, 5);
    ASSERT_TRUE(b->FMouseIn);
    std::vector<double> seen;
    for (int i = 0; i < 6; ++i) {
        Tick(20);
        seen.push_back(b->FMorphKf);
    }
    EXPECT_EQ(seen, (std::vector<double>{0.2, 0.4, 0.6, 0.8, 1.0, 1.0}));
    EXPECT_FALSE(b->MorphTimer->Enabled());
    MoveTo(b, 200, 150);
    EXPECT_FALSE(b->FMouseIn);
    seen.clear();
    for (int i = 0; i < 5; ++i) {
        Tick(20);
        seen.push_back(b->FMorphKf);
    }
    EXPECT_EQ(seen, (std::vector<double>{0.8, 0.6, 0.4, 0.2, 0.0}));
    // Without effects the factor jumps to its end.
    skin.EnableSkinEffects = false;
    MoveTo(b, 5, 5);
    Tick(20);
    EXPECT_FALSE(b->MorphTimer->Enabled());
}

TEST_F(SkinButtonsTest, RepeatClicksAt600700800AndOnceOnRelease)
{
    for (bool speed : {false, true}) {
        TClicks clicks{&Clock};
        TControl* c;
        if (speed) {
            auto* s = Make<TspSkinSpeedButton>(Form, 100, 10, 25, 25);
            s->SetRepeatMode(true);
            s->OnClick = MakeEvent(&clicks, &TClicks::Click);
            c = s;
        } else {
            auto* b = Make<TspSkinButton>(Form, 10, 10, 75, 25);
            b->SetRepeatMode(true);
            b->OnClick = MakeEvent(&clicks, &TClicks::Click);
            c = b;
        }
        MoveTo(c, 5, 5);
        clicks.Start = Clock.NowMs();
        HeadlessMouseDown();
        Application->ProcessMessages();
        for (int i = 0; i < 8; ++i)
            Tick(100);
        EXPECT_EQ(clicks.At, (std::vector<std::uint64_t>{600, 700, 800})) << speed;
        HeadlessMouseUp();
        Application->ProcessMessages();
        EXPECT_EQ(clicks.At.size(), 4u) << speed;
        Tick(500);
        EXPECT_EQ(clicks.At.size(), 4u) << speed;
        c->Free();
    }
}

TEST_F(SkinButtonsTest, HeldButtonDraggedOutDoesNotClick)
{
    auto* panel = Make<TPanel>(Form, 10, 10, 200, 100);
    auto* s = Make<TspSkinSpeedButton>(panel, 20, 20, 25, 25);
    TClicks clicks;
    s->OnClick = MakeEvent(&clicks, &TClicks::Click);
    MoveTo(s, 5, 5);
    EXPECT_TRUE(s->FMouseIn);  // hover reaches a graphic control nested in a panel
    HeadlessMouseDown();
    Application->ProcessMessages();
    EXPECT_TRUE(s->Down());
    MoveTo(s, 60, 60);
    EXPECT_FALSE(s->FMouseIn);
    MoveTo(s, 5, 5);
    EXPECT_TRUE(s->FMouseIn);  // back over it: pressed again
    MoveTo(s, 60, 60);
    HeadlessMouseUp();
    Application->ProcessMessages();
    EXPECT_TRUE(clicks.At.empty());
    EXPECT_FALSE(s->Down());
    // A plain click clicks once.
    MoveTo(s, 5, 5);
    HeadlessMouseDown();
    HeadlessMouseUp();
    Application->ProcessMessages();
    EXPECT_EQ(clicks.At.size(), 1u);
}

// ---- groups and check mode --------------------------------------------------------------

TEST_F(SkinButtonsTest, GroupsAllowAllUpAndCheckMode)
{
    auto* a = Make<TspSkinSpeedButton>(Form, 10, 10, 25, 25);
    auto* b = Make<TspSkinSpeedButton>(Form, 40, 10, 25, 25);
    auto* other = Make<TspSkinSpeedButton>(Form, 70, 10, 25, 25);
    a->SetGroupIndex(1);
    b->SetGroupIndex(1);
    other->SetGroupIndex(2);
    other->SetDown(true);
    TClicks ca, cb;
    a->OnClick = MakeEvent(&ca, &TClicks::Click);
    b->OnClick = MakeEvent(&cb, &TClicks::Click);
    auto click = [&](TControl* c) {
        MoveTo(c, 5, 5);
        HeadlessMouseDown();
        HeadlessMouseUp();
        Application->ProcessMessages();
    };
    click(a);
    EXPECT_TRUE(a->Down());
    EXPECT_EQ(ca.At.size(), 1u);
    click(b);
    EXPECT_TRUE(b->Down());
    EXPECT_FALSE(a->Down());
    EXPECT_TRUE(other->Down());  // another group is left alone
    click(b);  // pressing a down one again does nothing
    EXPECT_TRUE(b->Down());
    EXPECT_EQ(cb.At.size(), 1u);
    b->SetAllowAllUp(true);
    click(b);
    EXPECT_FALSE(b->Down());
    EXPECT_EQ(cb.At.size(), 2u);
    // With AllowAllUp a group still holds one pressed button.
    a->SetAllowAllUp(true);
    click(a);
    click(b);
    EXPECT_TRUE(b->Down());
    EXPECT_FALSE(a->Down());

    // Check mode: a click on the press that sets it and on the release that
    // clears it.
    auto* t = Make<TspSkinButton>(Form, 10, 50, 75, 25);
    t->SetCheckedMode(true);
    EXPECT_EQ(t->GroupIndex(), -1);
    EXPECT_FALSE(t->CanFocused());
    TClicks ct;
    t->OnClick = MakeEvent(&ct, &TClicks::Click);
    MoveTo(t, 5, 5);
    HeadlessMouseDown();
    Application->ProcessMessages();
    EXPECT_TRUE(t->Down());
    EXPECT_EQ(ct.At.size(), 1u);
    HeadlessMouseUp();
    Application->ProcessMessages();
    EXPECT_TRUE(t->Down());
    EXPECT_EQ(ct.At.size(), 1u);
    HeadlessMouseDown();
    Application->ProcessMessages();
    EXPECT_EQ(ct.At.size(), 1u);
    HeadlessMouseUp();
    Application->ProcessMessages();
    EXPECT_FALSE(t->Down());
    EXPECT_EQ(ct.At.size(), 2u);
    t->SetCheckedMode(false);
    EXPECT_EQ(t->GroupIndex(), 0);
}

// ---- dialog keys -----------------------------------------------------------------------

TEST_F(SkinButtonsTest, DefaultCancelEnterOnceEscapeNotWithCtrlAccelerator)
{
    auto* edit = Make<TEdit>(Form, 10, 100, 100, 22);
    auto* ok = Make<TspSkinButton>(Form, 10, 10, 75, 25);
    auto* cancel = Make<TspSkinButton>(Form, 100, 10, 75, 25);
    auto* other = Make<TspSkinButton>(Form, 190, 10, 75, 25);
    ok->SetCaption("&OK");
    ok->SetDefault(true);
    ok->SetModalResult(mrOk);
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);
    other->SetCaption("&Apply");
    TClicks cOk, cCancel, cOther;
    ok->OnClick = MakeEvent(&cOk, &TClicks::Click);
    cancel->OnClick = MakeEvent(&cCancel, &TClicks::Click);
    other->OnClick = MakeEvent(&cOther, &TClicks::Click);
    ok->HandleNeeded();
    EXPECT_TRUE(ok->FActive);

    edit->SetFocus();
    Application->ProcessMessages();
    EXPECT_TRUE(ok->FActive);
    EXPECT_TRUE(ok->FMouseIn);  // the default button stays hot while the edit has the focus
    MoveTo(ok, 5, 5);
    MoveTo(ok, 200, 180);
    EXPECT_TRUE(ok->FMouseIn);
    HeadlessKeyPress(VK_RETURN);
    Application->ProcessMessages();
    EXPECT_EQ(cOk.At.size(), 1u);  // exactly once
    EXPECT_EQ(Form->ModalResult(), mrOk);

    // Escape presses the cancel button, not with Ctrl held.
    HeadlessKeyDown(VK_CONTROL);
    HeadlessKeyPress(VK_ESCAPE);
    HeadlessKeyUp(VK_CONTROL);
    Application->ProcessMessages();
    EXPECT_EQ(cCancel.At.size(), 0u);
    HeadlessKeyPress(VK_ESCAPE);
    Application->ProcessMessages();
    EXPECT_EQ(cCancel.At.size(), 1u);
    EXPECT_EQ(Form->ModalResult(), mrCancel);

    // Focusing another button takes the default's hot look away; Enter then
    // presses the focused one, once.
    other->SetFocus();
    Application->ProcessMessages();
    EXPECT_FALSE(ok->FActive);
    EXPECT_TRUE(other->FActive);
    EXPECT_FALSE(ok->FMouseIn);
    HeadlessKeyPress(VK_RETURN);
    Application->ProcessMessages();
    EXPECT_EQ(cOther.At.size(), 1u);
    EXPECT_EQ(cOk.At.size(), 1u);

    // The accelerator focuses and clicks.
    edit->SetFocus();
    EXPECT_EQ(Form->Perform(CM_DIALOGCHAR, 'a', 0), 1);
    EXPECT_EQ(cOther.At.size(), 2u);
    EXPECT_TRUE(other->Focused());
    EXPECT_EQ(Form->Perform(CM_DIALOGCHAR, 'z', 0), 0);
}

// ---- glow layer ----------------------------------------------------------------------

struct TGlowSkin {
    TspSkinData Data{nullptr};
    TspDataSkinButtonControl* Piece = nullptr;
    TGlowSkin()
    {
        Data.FActivePictures.push_back(Solid(40, 30, clRed));
        Data.FActivePictures.push_back(Solid(30, 20, clYellow));  // glow
        Data.FActivePictures.push_back(Solid(30, 20, clWhite));   // its mask
        auto p = std::make_unique<TspDataSkinButtonControl>("button");
        p->PictureIndex = 0;
        p->SkinRect = TRect(0, 0, 20, 10);
        p->LTPoint = TPoint(3, 3);
        p->RTPoint = TPoint(17, 3);
        p->LBPoint = TPoint(3, 7);
        p->RBPoint = TPoint(17, 7);
        p->ClRect = TRect(3, 3, 17, 7);
        p->GlowLayerPictureIndex = 1;
        p->GlowLayerMaskPictureIndex = 2;
        p->GlowLayerOffsetLeft = p->GlowLayerOffsetRight = p->GlowLayerOffsetTop = p->GlowLayerOffsetBottom = 5;
        p->GlowLayerShowOffsetX = p->GlowLayerShowOffsetY = 5;
        Piece = p.get();
        Data.CtrlList.push_back(std::move(p));
        Data.Empty = false;
    }
};

TEST_F(SkinButtonsTest, GlowShowsOnEnterAndHidesOnLeave)
{
    TGlowSkin skin;
    auto* b = Make<TspSkinButton>(Form, 20, 20, 75, 25);
    b->SetCanFocused(false);
    b->SetSkinData(&skin.Data);
    struct Case {
        const char* what;
        bool frames, always;
        int picture;
        bool shown;
    } cases[] = {
        {"skin shows glows", true, false, 1, true},
        {"glows off", false, false, 1, false},
        {"glows off, always on", false, true, 1, true},
        {"picture past the list", true, false, 7, false},
        {"no picture", true, false, -1, false},
    };
    for (const Case& c : cases) {
        skin.Data.ShowButtonGlowFrames = c.frames;
        b->SetAlwaysShowLayeredFrame(c.always);
        skin.Piece->GlowLayerPictureIndex = c.picture;
        MoveTo(b, 5, 5);
        EXPECT_EQ(b->FLayerManager->IsVisible, c.shown) << c.what;
        if (c.shown) {
            // Fitted to the button (nine parts): the picture's margins stay.
            const TRect r = [&] {
                RECT w;
                GetWindowRect(b->FLayerManager->LayerWindow->Handle(), &w);
                return TRect(w.left, w.top, w.right, w.bottom);
            }();
            const TPoint o = b->ClientToScreen(TPoint(0, 0));
            EXPECT_EQ(r.left, o.x - 5) << c.what;
            EXPECT_EQ(r.right - r.left, 30 - 20 + 75) << c.what;
            EXPECT_EQ(r.bottom - r.top, 20 - 10 + 25) << c.what;
        }
        MoveTo(b, 150, 100);
        EXPECT_FALSE(b->FLayerManager->IsVisible) << c.what;
    }
    // Freeing the skin data leaves the button without a piece.
}

// ---- skin values ------------------------------------------------------------------------

TEST_F(SkinButtonsTest, BadFrameStripAndStateFallbacks)
{
    TGlowSkin skin;
    skin.Piece->AnimateSkinRect = TRect(0, 10, 60, 20);
    skin.Piece->FrameCount = 0;  // no animation, no division by zero
    skin.Piece->DisabledFontColor = skin.Piece->FontColor;
    auto* b = Make<TspSkinButton>(Form, 20, 20, 75, 25);
    b->SetCanFocused(false);
    b->SetSkinData(&skin.Data);
    EXPECT_EQ(b->ActiveSkinRect, b->SkinRect);
    EXPECT_EQ(b->DownSkinRect, b->ActiveSkinRect);
    EXPECT_EQ(b->DisabledFontColor, TColor(0x808080));
    MoveTo(b, 5, 5);
    EXPECT_TRUE(b->AnimateTimer == nullptr || !b->AnimateTimer->Enabled());
    skin.Piece->FrameCount = 3;
    skin.Piece->AnimateInterval = 25;
    MoveTo(b, 150, 100);
    MoveTo(b, 5, 5);
    ASSERT_NE(b->AnimateTimer, nullptr);
    EXPECT_TRUE(b->AnimateTimer->Enabled());
    EXPECT_EQ(b->CurrentFrame, 1);
    b->GetSkinData();
    EXPECT_EQ(b->ActiveSkinRect, TRect(0, 10, 20, 20));  // frame 1 of three side by side
    for (int i = 0; i < 4; ++i)
        Tick(25);
    EXPECT_FALSE(b->AnimateTimer->Enabled());
    EXPECT_EQ(b->CurrentFrame, 0);
    MoveTo(b, 150, 100);  // backward from the last frame
    EXPECT_EQ(b->CurrentFrame, 3);
    EXPECT_FALSE(b->AnimateInc);
    for (int i = 0; i < 4; ++i)
        Tick(25);
    EXPECT_FALSE(b->AnimateTimer->Enabled());
}

TEST_F(SkinButtonsTest, FreeSizeStretchesTheStateAndHasNoRegion)
{
    TGlowSkin skin;
    auto* fixed = dynamic_cast<TspDataSkinButtonControl*>(skin.Data.CtrlList[0].get());
    fixed->RTPoint = fixed->LBPoint = fixed->RBPoint = TPoint();  // a fixed-size piece
    fixed->LTPoint = TPoint();
    fixed->MaskPictureIndex = 2;
    auto* b = Make<TspSkinButton>(Form, 20, 20, 75, 25);
    b->SetCanFocused(false);
    b->SetUseSkinSize(false);
    b->SetSkinData(&skin.Data);
    b->SetBounds(20, 20, 75, 25);
    EXPECT_EQ(b->ResizeMode, 0);
    EXPECT_EQ(b->Width(), 75);
    EXPECT_EQ(b->MaskPicture, nullptr);
    EXPECT_EQ(ScreenAt(b, 70, 20), Rgb(clRed));
    b->SetUseSkinSize(true);
    b->SetBounds(20, 20, 76, 25);
    EXPECT_EQ(b->Width(), 20);
}

// ---- speed button specifics ----------------------------------------------------------------

TEST_F(SkinButtonsTest, SpeedButtonFlatCaptionWidthsAndDisabled)
{
    auto* s = Make<TspSkinSpeedButton>(Form, 10, 10, 80, 25);
    EXPECT_TRUE(s->ControlStyle().Contains(csOpaque));
    s->SetFlat(true);
    EXPECT_TRUE(s->Transparent());
    MoveTo(s, 5, 5);
    EXPECT_FALSE(s->Transparent());
    MoveTo(s, 200, 150);
    EXPECT_TRUE(s->Transparent());
    // Down in a group: opaque and pressed while the pointer is away.
    s->SetGroupIndex(1);
    s->SetDown(true);
    s->SetOpaqueStyle(false);
    EXPECT_EQ(ScreenAt(s, 2, 2), Rgb(0xB59385));

    s->SetWidthWithCaption(80);
    s->SetWidthWithoutCaption(30);
    s->SetShowCaption(false);
    EXPECT_EQ(s->Width(), 30);
    s->SetShowCaption(true);
    EXPECT_EQ(s->Width(), 80);
    s->SetWidthWithoutCaption(0);
    s->SetShowCaption(false);
    EXPECT_EQ(s->Width(), 80);

    auto* d = Make<TspSkinSpeedButton>(Form, 100, 10, 25, 25);
    d->SetEnabled(false);
    MoveTo(d, 5, 5);
    EXPECT_FALSE(d->FMouseIn);
}

// ---- descriptions -----------------------------------------------------------------------

TEST(SkinButtonsDescriptions, ReadWrittenBackEqualAndBadValues)
{
    RegisterSkinControlsClasses();
    const char* button =
        "object B1: TspSkinButton\n"
        "  Caption = 'Go'\n"
        "  NumGlyphs = 2\n"
        "  Layout = blGlyphTop\n"
        "  Margin = 3\n"
        "  Spacing = 4\n"
        "  GroupIndex = 2\n"
        "  AllowAllUp = True\n"
        "  RepeatInterval = 50\n"
        "  UseSkinSize = False\n"
        "  Default = True\n"
        "  Cancel = True\n"
        "  ModalResult = 1\n"
        "  AlwaysShowLayeredFrame = True\n"
        "end\n";
    const char* speed =
        "object S1: TspSkinSpeedButton\n"
        "  Caption = 'Tool'\n"
        "  Spacing = 4\n"
        "  ImageIndex = 3\n"
        "  Flat = True\n"
        "  ShowCaption = False\n"
        "  WidthWithCaption = 80\n"
        "  WidthWithoutCaption = 30\n"
        "  CheckedMode = True\n"
        "end\n";
    for (const char* text : {button, speed}) {
        const bool isSpeed = std::string(text).find("Speed") != std::string::npos;
        auto make = [&]() -> std::unique_ptr<TComponent> {
            if (isSpeed)
                return std::make_unique<TspSkinSpeedButton>(nullptr);
            return std::make_unique<TspSkinButton>(nullptr);
        };
        auto a = make();
        ReadComponentText(a.get(), text);
        const std::string written = WriteComponentText(a.get());
        EXPECT_NE(written.find("Spacing = 4"), std::string::npos) << written;
        auto b = make();
        ReadComponentText(b.get(), written);
        EXPECT_EQ(WriteComponentText(b.get()), written);
    }
    TspSkinButton b(nullptr);
    ReadComponentText(&b, button);
    EXPECT_EQ(b.Spacing(), 4);
    EXPECT_EQ(b.Margin(), 3);
    EXPECT_FALSE(b.CanFocused());  // a group button takes no focus

    // The constructor's values are the defaults.
    TspSkinButton fresh(nullptr);
    fresh.SetName("Fresh");
    const std::string empty = WriteComponentText(&fresh);
    for (const char* key : {"Spacing", "Margin", "NumGlyphs", "RepeatInterval", "ImageIndex", "CanFocused"})
        EXPECT_EQ(empty.find(key), std::string::npos) << key << "\n" << empty;
    EXPECT_EQ(fresh.Width(), 75);
    EXPECT_EQ(fresh.Height(), 25);
    EXPECT_EQ(fresh.SkinDataName(), "button");

    // Five glyphs fail reading, naming the property; refused setter values
    // keep the old one.
    TspSkinSpeedButton bad(nullptr);
    try {
        ReadComponentText(&bad, "object S: TspSkinSpeedButton\n  NumGlyphs = 5\nend\n");
        ADD_FAILURE() << "no error";
    } catch (const EReadError& e) {
        EXPECT_NE(std::string(e.what()).find("NumGlyphs"), std::string::npos) << e.what();
    }
    bad.SetMargin(-2);
    EXPECT_EQ(bad.Margin(), -1);
    bad.SetRepeatInterval(0);
    EXPECT_EQ(bad.RepeatInterval(), 100);
}

}  // namespace

namespace {

// The generated skin's push buttons glow: hovering shows a layer fitted
// around the button; its panels carry caption check pictures.
TEST_F(SkinButtonsTest, GeneratedSkinGlowsAroundAHoveredButton)
{
    TspSkinData skin(nullptr);
    ASSERT_TRUE(skin.LoadFromFile(SkinNewIni())) << skin.LastError();
    auto* b = Make<TspSkinButton>(Form, 40, 40, 90, 30);
    b->SetCanFocused(false);
    b->SetSkinData(&skin);
    ASSERT_NE(b->GlowLayerPictureIndex, -1);
    MoveTo(b, 5, 5);
    ASSERT_TRUE(b->FLayerManager->IsVisible);
    RECT w;
    GetWindowRect(b->FLayerManager->LayerWindow->Handle(), &w);
    const TPoint o = b->ClientToScreen(TPoint(0, 0));
    EXPECT_EQ(w.left, o.x - b->GlowLayerShowOffsetX);
    EXPECT_EQ(w.right - w.left, b->Width() + 2 * b->GlowLayerShowOffsetX);
    MoveTo(b, 150, 100);
    EXPECT_FALSE(b->FLayerManager->IsVisible);
    for (const char* name : {"panel", "groupbox"}) {
        const int i = skin.GetControlIndex(name);
        ASSERT_NE(i, -1) << name;
        auto* p = dynamic_cast<TspDataSkinPanelControl*>(skin.CtrlList[i].get());
        ASSERT_NE(p, nullptr) << name;
        EXPECT_GT(p->CheckImageRect.right - p->CheckImageRect.left, 0) << name;
        EXPECT_GT(p->UnCheckImageRect.right - p->UnCheckImageRect.left, 0) << name;
        EXPECT_GT(p->MarkFrameRect.right - p->MarkFrameRect.left, 0) << name;
    }
}

}  // namespace
