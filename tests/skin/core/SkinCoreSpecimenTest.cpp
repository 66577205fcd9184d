// A specimen sheet of the skin core's effects, written as a PNG for people to
// look at: glow, strong glow, reflection, plates, strips and bands, glyph
// layouts, disabled PNG pictures and a faded glow over a button on the
// memory screen.
#include "platform/backend/Headless.h"
#include "platform/gdi/Gdi.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/PngImage.h"
#include "platform/rtl/Clock.h"
#include "skin/core/GlyphLayout.h"
#include "skin/core/LayerManager.h"
#include "skin/core/PngImageList.h"
#include "skin/core/SkinGlow.h"
#include "skin/core/SkinStrips.h"

#include "SkinTestBitmaps.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

// A piece with a dark head, a striped middle and a dark tail, framed.
std::unique_ptr<TBitmap> Piece()
{
    auto b = skintest::SolidBitmap(30, 30, static_cast<TColor>(RGB(200, 220, 255)));
    TCanvas* c = b->Canvas();
    for (int x = 0; x < 30; x += 4) {
        c->Brush()->SetColor(static_cast<TColor>(RGB(120, 160, 230)));
        c->FillRect(TRect(x, 0, x + 2, 30));
    }
    c->Brush()->SetColor(static_cast<TColor>(RGB(40, 60, 120)));
    c->FillRect(TRect(0, 0, 6, 30));
    c->FillRect(TRect(24, 0, 30, 30));
    c->FillRect(TRect(0, 0, 30, 5));
    c->FillRect(TRect(0, 25, 30, 30));
    return b;
}

void Label(TCanvas* c, int x, int y, const char* text)
{
    c->Brush()->SetStyle(bsClear);
    c->Font()->SetColor(clGray);
    c->Font()->SetHeight(-11);
    c->TextOut(x, y, text);
}

TEST(SkinCoreSpecimen, SheetIsWritten)
{
    HeadlessReset();
    auto sheet = skintest::SolidBitmap(640, 480, clWhite);
    TCanvas* c = sheet->Canvas();
    c->Font()->SetHeight(-20);

    // Text effects.
    c->Font()->SetColor(clBlack);
    DrawTextWithGlow(c, TRect(10, 20, 200, 50), "Glow", DT_LEFT | DT_SINGLELINE, 0, clAqua, 5);
    DrawTextWithStrongGlow(c, TRect(120, 20, 320, 50), "Strong glow", DT_LEFT | DT_SINGLELINE, 0, clYellow, 4);
    DrawTextWithReflection(c, TRect(300, 10, 460, 40), "Reflection", DT_LEFT | DT_TOP | DT_SINGLELINE, 0, clNavy);
    c->Font()->SetColor(clWhite);
    DrawWideTextWithGlowPlate(c, TRect(480, 14, 620, 40), "Plate", DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                              clBlue);
    DrawWideTextWithGlowPlate2(c, TRect(480, 60, 620, 86), "Plate 2", DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                               clGreen);
    Label(c, 10, 2, "glow / strong glow / reflection / plates");

    // Strips and bands.
    auto piece = Piece();
    Label(c, 10, 100, "strips: tiled, stretched, head only, vertical; frame bands");
    TBitmap strip;
    CreateHSkinImage(6, 6, &strip, piece.get(), TRect(0, 0, 30, 30), 200, 0, false);
    c->Draw(10, 115, &strip);
    CreateHSkinImage(6, 6, &strip, piece.get(), TRect(0, 0, 30, 30), 200, 0, true);
    c->Draw(10, 150, &strip);
    CreateLeftHSkinImage(6, 6, &strip, piece.get(), TRect(0, 0, 30, 30), 200, 0, false);
    c->Draw(10, 185, &strip);
    CreateVSkinImage(5, 5, &strip, piece.get(), TRect(0, 0, 30, 30), 0, 100, false);
    c->Draw(220, 115, &strip);
    TBitmap l, t, r, b;
    CreateSkinBorderImages(TPoint(6, 5), TPoint(24, 5), TPoint(6, 25), TPoint(24, 25), TRect(6, 5, 24, 25),
                           TPoint(6, 5), TPoint(144, 5), TPoint(6, 75), TPoint(144, 75), TRect(6, 5, 144, 75), &l, &t,
                           &r, &b, piece.get(), TRect(0, 0, 30, 30), 150, 80, false, false, false, false);
    c->Draw(270, 115, &t);
    c->Draw(270, 115 + 5, &l);
    c->Draw(270 + 144, 115 + 5, &r);
    c->Draw(270, 115 + 75, &b);

    // Glyph layouts with a strip glyph, a marker and a halo.
    Label(c, 10, 225, "glyph layouts: left, right, top, bottom (pressed), glow");
    auto glyph = skintest::SolidBitmap(32, 16, clFuchsia);
    glyph->Canvas()->Brush()->SetColor(clRed);
    glyph->Canvas()->FillRect(TRect(3, 3, 13, 13));
    glyph->Canvas()->Brush()->SetColor(clGreen);
    glyph->Canvas()->FillRect(TRect(19, 3, 29, 13));
    c->Font()->SetHeight(-12);
    c->Font()->SetColor(clBlack);
    const TspButtonLayout layouts[4] = {blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom};
    for (int i = 0; i < 4; ++i) {
        const TRect box(10 + i * 110, 240, 110 + i * 110, 300);
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(static_cast<TColor>(RGB(235, 235, 235)));
        c->FillRect(box);
        DrawGlyphAndText(c, box, -1, 4, layouts[i], "Caption", glyph.get(), 2, 1, i == 3, i == 0, clRed);
    }
    const TRect glowBox(450, 240, 580, 300);
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(static_cast<TColor>(RGB(60, 60, 80)));
    c->FillRect(glowBox);
    c->Font()->SetColor(clWhite);
    DrawGlyphAndTextWithGlow(c, glowBox, -1, 4, blGlyphLeft, "Glow", glyph.get(), 2, 2, false, false, clBlack,
                             clYellow, 4);

    // Disabled PNG pictures: enabled and disabled, over a checker.
    Label(c, 10, 310, "PNG list: enabled / disabled");
    auto list = std::make_unique<TspPngImageList>(nullptr);
    list->SetPngWidth(32);
    list->SetPngHeight(32);
    TspPngImage png;
    png.SetSize(32, 32);
    png.CreateAlpha();
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            png.SetPixel(x, y, static_cast<TColor>(RGB(x * 8, 100, 255 - y * 8)));
            const int dx = x - 16, dy = y - 16;
            png.AlphaScanline(y)[x] = dx * dx + dy * dy < 196 ? 255 : dx * dx + dy * dy < 256 ? 120 : 0;
        }
    list->PngImages()->Add()->SetPngImage(&png);
    for (int y = 325; y < 365; y += 8)
        for (int x = 10; x < 110; x += 8) {
            c->Brush()->SetColor(((x + y) / 8) % 2 ? clSilver : clWhite);
            c->FillRect(TRect(x, y, x + 8, y + 8));
        }
    list->Draw(c, 14, 329, 0, true);
    list->Draw(c, 64, 329, 0, false);

    // A faded glow over a button on the memory screen, grabbed.
    Label(c, 250, 310, "glow layer over a button (memory screen)");
    TFakeClock clock;
    TClockInstaller installed(clock);
    auto owner = std::make_unique<TComponent>(nullptr);
    TForm* form = new TForm(owner.get());
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 200, 120);
    form->SetColor(static_cast<TColor>(RGB(230, 230, 240)));
    TPanel* button = new TPanel(owner.get());
    button->SetParent(form);
    button->SetBounds(60, 40, 80, 30);
    button->SetCaption("Button");
    form->Show();
    Application->ProcessMessages();
    auto halo = skintest::SolidBitmap(100, 50, clAqua);
    auto mask = skintest::SolidBitmap(100, 50, clBlack);
    for (int i = 0; i < 10; ++i) {
        mask->Canvas()->Brush()->SetColor(static_cast<TColor>(RGB(i * 25, i * 25, i * 25)));
        mask->Canvas()->FillRect(TRect(i, i, 100 - i, 50 - i));
    }
    mask->Canvas()->Brush()->SetColor(clBlack);
    mask->Canvas()->FillRect(TRect(10, 10, 90, 40));
    auto* layer = new TspLayerManager(owner.get());
    layer->Show(50, 30, halo.get(), mask.get(), 255);
    for (int i = 0; i < 11; ++i) {
        clock.Advance(25);
        Application->ProcessMessages();
    }
    auto grab = skintest::SolidBitmap(200, 120, clWhite);
    CopyScreenToBitmap(0, 0, grab.get());
    c->Draw(250, 325, grab.get());
    layer->Hide();
    owner.reset();
    HeadlessReset();

    const char* tmp = std::getenv("TARNELLO_TEST_TMP");
    const std::string file = std::string(tmp ? tmp : "/tmp") + "/skin-core-specimen.png";
    TPngImage out;
    out.Assign(sheet.get());
    out.SaveToFile(file);
    TPngImage back;
    back.LoadFromFile(file);
    EXPECT_EQ(back.Width(), 640);
    // The glow shows beside the button's top edge.
    EXPECT_NE(grab->Canvas()->Pixels(55, 35), static_cast<TColor>(RGB(230, 230, 240)));
}

}  // namespace
