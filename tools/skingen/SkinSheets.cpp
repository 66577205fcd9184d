// The contact sheet (every control piece composed at three sizes) and the
// specimen sheet (glyphs, marks, transition frames, text), both as PNG files
// for looking at the generated skin and the drawing code.
#include "SkinArt.h"
#include "SkinGen.h"

#include "platform/classes/Streams.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/PngImage.h"
#include "skin/core/EffectBmp.h"
#include "skin/core/SkinDrawGlyphs.h"
#include "skin/core/SkinDrawUtils.h"
#include "skin/core/SkinImage.h"

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace skingen {

namespace {

void SavePng(TBitmap& bitmap, const std::string& file)
{
    TPngImage png;
    png.Assign(&bitmap);
    png.SaveToFile(file);
}

std::unique_ptr<TBitmap> NewBitmap(int w, int h, TColor fill)
{
    auto b = std::make_unique<TBitmap>();
    b->SetPixelFormat(pf24bit);
    b->SetSize(w, h);
    b->Canvas()->Brush()->SetColor(fill);
    b->Canvas()->FillRect(TRect(0, 0, w, h));
    return b;
}

void Label(TCanvas* c, int x, int y, const std::string& text, TColor color = clBlack)
{
    c->Brush()->SetStyle(bsClear);
    c->Font()->SetName("Arial");
    c->Font()->SetHeight(-11);
    c->Font()->SetColor(color);
    c->TextOut(x, y, text);
}

}  // namespace

void WriteContactSheet(const std::string& SkinIni, const std::string& PngFile)
{
    std::vector<std::uint8_t> picture;
    const std::vector<TPieceGeometry> pieces = LoadPieces(SkinIni, picture);
    TMemoryStream bytes;
    bytes.WriteBuffer(picture.data(), static_cast<std::int64_t>(picture.size()));
    bytes.SetPosition(0);
    TBitmap source;
    source.LoadFromStream(&bytes);

    // Three columns of pieces; each row shows a piece smaller than drawn,
    // as drawn and larger.
    const int rowH = 80, colW = 430, columns = 3;
    const int rows = (static_cast<int>(pieces.size()) + columns - 1) / columns;
    auto sheet = NewBitmap(colW * columns, 30 + rowH * rows, ToTColor(0xFFFFFFFF));
    Label(sheet->Canvas(), 8, 8, "skin-new: each piece at a smaller, its own and a larger size", clBlack);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const TPieceGeometry* p = &pieces[i];
        const int x0 = static_cast<int>(i % columns) * colW + 8, y = 30 + static_cast<int>(i / columns) * rowH;
        Label(sheet->Canvas(), x0, y, p->Name + " (" + std::to_string(p->SkinRect.Width()) + "x" +
                                          std::to_string(p->SkinRect.Height()) + ")");
        const int pw = p->SkinRect.Width(), ph = p->SkinRect.Height();
        const std::pair<int, int> sizes[] = {{std::max(1, pw * 2 / 3), std::max(1, ph * 2 / 3)},
                                             {pw, ph},
                                             {std::min(pw * 3, 200), std::min(ph * 2, 58)}};
        int x = x0;
        for (auto [w, h] : sizes) {
            const int dW = w - pw, dH = h - ph;
            TBitmap piece;
            piece.SetPixelFormat(pf24bit);
            CreateSkinImage(p->LT, p->RT, p->LB, p->RB, p->ClRect, p->LT, TPoint(p->RT.x + dW, p->RT.y),
                            TPoint(p->LB.x, p->LB.y + dH), TPoint(p->RB.x + dW, p->RB.y + dH),
                            TRect(p->ClRect.left, p->ClRect.top, p->ClRect.right + dW, p->ClRect.bottom + dH), &piece,
                            &source, p->SkinRect, w, h, true, p->LeftStretch, p->TopStretch, p->RightStretch,
                            p->BottomStretch, p->StretchEffect, static_cast<TspStretchType>(p->StretchType));
            sheet->Canvas()->Draw(x, y + 16, &piece);
            x += w + 16;
        }
    }
    SavePng(*sheet, PngFile);
}

void WriteSpecimenSheet(const std::string& PngFile)
{
    const TTheme& th = Theme();
    auto sheet = NewBitmap(920, 520, clWhite);
    TCanvas* c = sheet->Canvas();
    Label(c, 8, 6, "Drawn glyphs and marks (1:1 and 3:1)");
    // Glyphs at 1:1 in a strip, then the same strip enlarged.
    TspBitmap strip;
    strip.SetSize(300, 14);
    strip.Clear(0xFFFFFFFF);
    TCanvas* g = strip.Canvas();
    const TColor ink = ToTColor(th.Text);
    int x = 2;
    for (int dir = 1; dir <= 4; ++dir, x += 12)
        DrawSmallArrow(g, TRect(x, 2, x + 10, 12), ink, dir);
    for (int dir = 1; dir <= 4; ++dir, x += 12)
        DrawArrow(g, TRect(x, 2, x + 10, 12), ink, dir);
    DrawDropDownArrow(g, TRect(x, 2, x + 9, 11), ink);
    x += 12;
    DrawCheckMark(g, x, 2, ink);
    x += 12;
    DrawRadioMark(g, x, 4, ink);
    x += 10;
    DrawFrame3D(g, TRect(x, 1, x + 12, 13), clWhite, ink);
    DrawFrame3D(g, TRect(x + 1, 2, x + 11, 12), ToTColor(th.Border), ToTColor(th.Accent));
    x += 16;
    g->Font()->SetColor(ink);
    DrawDottedFocusRect(g, TRect(x, 1, x + 14, 13));
    x += 18;
    DrawCloseGlyph(g, x, 2, ink);
    x += 14;
    DrawMaximizeGlyph(g, x, 2, ink);
    x += 14;
    DrawRestoreGlyph(g, x, 2, ink);
    x += 14;
    DrawMinimizeGlyph(g, x, 2, ink);
    x += 14;
    DrawSysMenuGlyph(g, x, 2, ink);
    x += 14;
    DrawRollUpGlyph(g, x, 2, ink);
    x += 14;
    DrawRollDownGlyph(g, x, 2, ink);
    x += 14;
    DrawTrayGlyph(g, x, 2, ink);
    strip.SetAlpha(255);
    strip.Draw(c, 8, 24);
    strip.Draw(c->Handle(), TRect(8, 44, 8 + 900, 44 + 42), TRect(0, 0, 300, 14));

    // Transition frames between two looks.
    Label(c, 8, 96, "Transitions at Kf 0, 0.25, 0.5, 0.75, 1: fade, gradient, left gradient, slide, push");
    const int fw = 90, fh = 40;
    auto look = [&](TspColor top, TspColor bottom, const char* text) {
        TspBitmap b;
        b.SetSize(fw, fh);
        PaintBox(b, TRect(0, 0, fw, fh), {top, bottom, th.Border, 0xFFFFFFFF, 5});
        b.Canvas()->Brush()->SetStyle(bsClear);
        b.Canvas()->Font()->SetName("Arial");
        b.Canvas()->Font()->SetHeight(-13);
        b.Canvas()->Font()->SetColor(ToTColor(th.Text));
        TRect r(0, 0, fw, fh);
        DrawAlignedText(b.Canvas(), text, r, static_cast<TAlignment>(2));
        b.SetAlpha(255);
        return std::unique_ptr<TspEffectBmp>(TspEffectBmp::CreateFromhWnd(b.Handle()));
    };
    auto oldLook = look(th.ButtonTop, th.ButtonBottom, "Normal");
    auto newLook = look(th.HotTop, 0xFFBFD3F7, "Hot");
    using TMorph = void (TspEffectBmp::*)(const TspEffectBmp*, double);
    const TMorph morphs[] = {&TspEffectBmp::Morph, &TspEffectBmp::MorphHGrad, &TspEffectBmp::MorphLeftGrad,
                             &TspEffectBmp::MorphLeftSlide, &TspEffectBmp::MorphPush};
    for (int m = 0; m < 5; ++m)
        for (int k = 0; k < 5; ++k) {
            std::unique_ptr<TspEffectBmp> frame(TspEffectBmp::CreateCopy(oldLook.get()));
            (frame.get()->*morphs[m])(newLook.get(), k / 4.0);
            frame->Draw(c->Handle(), 8 + k * (fw + 8), 116 + m * (fh + 6));
        }

    // Effects.
    Label(c, 8, 352, "Effects: grey, dark, split blur, mosaic, wave; stack-blurred glow and reflection");
    const TMorph none = nullptr;
    (void)none;
    for (int e = 0; e < 5; ++e) {
        std::unique_ptr<TspEffectBmp> f(TspEffectBmp::CreateCopy(newLook.get()));
        switch (e) {
        case 0: f->GrayScale(); break;
        case 1: f->ChangeDarkness(0.4); break;
        case 2: f->SplitBlur(2); break;
        case 3: f->Mosaic(5); break;
        default: f->Wave(8, 8, 3); break;
        }
        f->Draw(c->Handle(), 8 + e * (fw + 8), 372);
    }
    TspBitmap glow;
    glow.SetSize(fw, fh);
    glow.Clear(0xFFFFFFFF);
    glow.FillRect(TRect(20, 12, 70, 28), th.Accent);
    StackBlur(&glow, 6);
    glow.Draw(c, 8 + 5 * (fw + 8), 372);
    TspBitmap refl;
    refl.SetSize(fw, fh);
    PaintBox(refl, TRect(0, 0, fw, fh), {th.Accent, th.AccentDark, th.AccentDark, 0xFFFFFFFF, 5});
    refl.Reflection();
    refl.SetAlphaBlend(true);
    refl.Draw(c, 8 + 5 * (fw + 8), 372 + fh + 2);

    // Text.
    Label(c, 8, 462, "Text:");
    c->Font()->SetHeight(-13);
    c->Font()->SetColor(ink);
    std::string s = "A caption that is far too long for its place";
    ShortenTextToWidth(c, s, 180);
    DrawTextVCentered(c, s, TRect(50, 456, 240, 476));
    DrawWrappedText(c, "Wrapped and centred text in a narrow box", TRect(250, 456, 380, 516), true);
    DrawAlignedText(c, "Right aligned", TRect(390, 456, 630, 476), static_cast<TAlignment>(1));
    SavePng(*sheet, PngFile);
}

}  // namespace skingen
