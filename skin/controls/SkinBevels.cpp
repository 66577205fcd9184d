#include "skin/controls/SkinBevels.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/gui/ImgList.h"
#include "skin/controls/SkinCtrls.h"
#include "skin/core/GlyphLayout.h"
#include "skin/core/ParentBackground.h"
#include "skin/core/ResourceStrData.h"
#include "skin/core/SkinControlPieces.h"
#include "skin/core/SkinWindowData.h"

namespace {

int LookUp(const TspSkinData* SD, const std::string& Name)
{
    return SD && !SD->Empty ? SD->GetControlIndex(Name) : -1;
}

}  // namespace

// ---- TspSkinButtonLabel ------------------------------------------------------------

TspSkinButtonLabel::TspSkinButtonLabel(TComponent* AOwner)
    : TGraphicControl(AOwner), FDefaultFont(std::make_unique<TFont>()), FGlyph(std::make_unique<TBitmap>())
{
    FDefaultFont->SetName("Arial");
    FDefaultFont->SetHeight(14);
    TControlStyle s = ControlStyle();
    s.Exclude(csOpaque);
    s.Include(csSetCaption);
    SetControlStyle(s);
    SetBounds(Left(), Top(), 100, 50);
}

TspSkinButtonLabel::~TspSkinButtonLabel() = default;

void TspSkinButtonLabel::SetSkinData(TspSkinData* Value)
{
    SetComponentReference(this, FSD, Value);
    if (Value)
        ChangeSkinData();
}

void TspSkinButtonLabel::ChangeSkinData()
{
    FIndex = LookUp(FSD, FSkinDataName);
    if (FIndex != -1)
        if (auto* p = dynamic_cast<TspDataSkinStdLabelControl*>(FSD->CtrlList[FIndex].get())) {
            FontName = p->FontName;
            FontColor = p->FontColor;
            FontHeight = p->FontHeight;
            ActiveFontColor = p->ActiveFontColor;
            FontStyle = p->FontStyle;
        }
    Repaint();
}

void TspSkinButtonLabel::Notification(TComponent* AComponent, TOperation Operation)
{
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FSD) {
        FSD = nullptr;
        FIndex = -1;
    }
    if (AComponent == FImageList)
        FImageList = nullptr;
}

void TspSkinButtonLabel::SetDefaultFont(TFont* Value)
{
    FDefaultFont->Assign(Value);
    Repaint();
}

void TspSkinButtonLabel::SetGlyph(TBitmap* Value)
{
    if (Value)
        FGlyph->Assign(Value);
    else
        FGlyph->SetSize(0, 0);
    Repaint();
}

void TspSkinButtonLabel::SetNumGlyphs(TspNumGlyphs Value)
{
    if (Value < 1 || Value > 4)
        return;
    FNumGlyphs = Value;
    Repaint();
}

void TspSkinButtonLabel::SetImageList(TCustomImageList* Value)
{
    SetComponentReference(this, FImageList, Value);
    Repaint();
}

void TspSkinButtonLabel::SetImageIndex(int Value)
{
    if (FImageIndex == Value)
        return;
    FImageIndex = Value;
    Repaint();
}

void TspSkinButtonLabel::SetLayout(TspButtonLayout Value)
{
    if (FLayout == Value)
        return;
    FLayout = Value;
    Repaint();
}

void TspSkinButtonLabel::SetMargin(int Value)
{
    if (Value < -1 || FMargin == Value)
        return;
    FMargin = Value;
    Repaint();
}

void TspSkinButtonLabel::SetSpacing(int Value)
{
    if (FSpacing == Value)
        return;
    FSpacing = Value;
    Repaint();
}

void TspSkinButtonLabel::SetWebStyle(bool Value)
{
    FWebStyle = Value;
    if (ComponentState().Contains(csDesigning))
        SetCursor(Value ? crHandPoint : crDefault);
}

void TspSkinButtonLabel::SetDoubleBuffered(bool Value)
{
    FDoubleBuffered = Value;
    TControlStyle s = ControlStyle();
    if (Value)
        s.Include(csOpaque);
    else
        s.Exclude(csOpaque);
    SetControlStyle(s);
}

void TspSkinButtonLabel::DrawLabel(TCanvas* C)
{
    TFont* f = C->Font();
    TColor glow = FCustomGlowColor;
    if (FIndex == -1) {
        f->Assign(FDefaultFont.get());
        if (FMouseIn)
            f->SetColor(FDefaultActiveFontColor);
    } else {
        f->Assign(FDefaultFont.get());
        if (FUseSkinFont) {
            f->SetName(FontName);
            f->SetHeight(FontHeight);
            f->SetStyle(FontStyle);
        }
        f->SetColor(FMouseIn && !FGlowEffect ? ActiveFontColor : FontColor);
        glow = ActiveFontColor;
    }
    if (FUseCustomGlowColor)
        glow = FCustomGlowColor;
    if (FSD && FSD->ResourceStrData())
        f->SetCharset(FSD->ResourceStrData()->CharSet());
    if (FWebStyle) {
        TFontStyles st = f->Style();
        if (FMouseIn)
            st.Include(fsUnderline);
        else
            st.Exclude(fsUnderline);
        f->SetStyle(st);
    }
    int image = -1;
    if (FImageList) {
        if (FMouseIn && ActiveImageIndex >= 0 && ActiveImageIndex < FImageList->Count())
            image = ActiveImageIndex;
        else if (FImageIndex >= 0 && FImageIndex < FImageList->Count())
            image = FImageIndex;
    }
    if (!Enabled())
        f->SetColor(FIndex == -1 ? TColor(0x808080)
                                 : (FSD->SkinColors() ? FSD->SkinColors()->cBtnShadow : clBtnShadow));
    const int glyph = FDown && FMouseIn && FNumGlyphs > 2 ? 3
                      : FMouseIn && FNumGlyphs > 3       ? 4
                      : !Enabled() && FNumGlyphs > 1     ? 2
                                                         : 1;
    const TRect r = ClientRect();
    const std::string text = Caption();
    C->Brush()->SetStyle(bsClear);
    if (FGlowEffect && FMouseIn && Enabled()) {
        if (image != -1)
            DrawImageAndTextWithGlow(C, r, FMargin, FSpacing, FLayout, text, image, FImageList, false, Enabled(),
                                     false, 0, glow, FGlowSize);
        else
            DrawGlyphAndTextWithGlow(C, r, FMargin, FSpacing, FLayout, text, FGlyph.get(), FNumGlyphs, glyph, false,
                                     false, 0, glow, FGlowSize);
    } else if (image != -1) {
        DrawImageAndText(C, r, FMargin, FSpacing, FLayout, text, image, FImageList, false, Enabled(), false, 0);
    } else {
        DrawGlyphAndText(C, r, FMargin, FSpacing, FLayout, text, FGlyph.get(), FNumGlyphs, glyph, false, false, 0);
    }
}

void TspSkinButtonLabel::Paint()
{
    if (Width() <= 0 || Height() <= 0)
        return;
    if (FIndex != -1 && (!FSD || FSD->Empty))
        FIndex = -1;
    if (!FDoubleBuffered) {
        DrawLabel(Canvas());
        return;
    }
    TBitmap b;
    b.SetSize(Width(), Height());
    DrawParentBackground(this, b.Canvas());
    DrawLabel(b.Canvas());
    Canvas()->Draw(0, 0, &b);
}

void TspSkinButtonLabel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    FDown = true;
    if (!FWebStyle)
        Repaint();
    TGraphicControl::MouseDown(Button, Shift, X, Y);
}

void TspSkinButtonLabel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    FDown = false;
    if (!FWebStyle)
        Repaint();
    TGraphicControl::MouseUp(Button, Shift, X, Y);
}

void TspSkinButtonLabel::MouseMove(TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!FDown)
        return;
    const bool inside = X >= 0 && X <= Width() && Y >= 0 && Y <= Height();
    if (!inside && FMouseIn)
        Perform(CM_MOUSELEAVE, 0, 0);
    else if (inside && !FMouseIn)
        Perform(CM_MOUSEENTER, 0, 0);
}

void TspSkinButtonLabel::MouseEnter()
{
    TGraphicControl::MouseEnter();
    if (ComponentState().Contains(csDesigning) || !Enabled())
        return;
    FMouseIn = true;
    Repaint();
}

void TspSkinButtonLabel::MouseLeave()
{
    TGraphicControl::MouseLeave();
    if (ComponentState().Contains(csDesigning) || !Enabled())
        return;
    FMouseIn = false;
    Repaint();
}

void TspSkinButtonLabel::TextChanged()
{
    TGraphicControl::TextChanged();
    Repaint();
}

// ---- TspSkinBevel ------------------------------------------------------------------

TspSkinBevel::TspSkinBevel(TComponent* AOwner) : TBevel(AOwner) {}

void TspSkinBevel::SetSkinData(TspSkinData* Value)
{
    SetComponentReference(this, FSD, Value);
    ChangeSkinData();
}

void TspSkinBevel::ChangeSkinData()
{
    FIndex = LookUp(FSD, FSkinDataName);
    LightColor = clBtnHighlight;
    DarkColor = clBtnShadow;
    if (FIndex != -1)
        if (auto* p = dynamic_cast<TspDataSkinBevel*>(FSD->CtrlList[FIndex].get())) {
            LightColor = p->LightColor;
            DarkColor = p->DarkColor;
        }
    Repaint();
}

void TspSkinBevel::Notification(TComponent* AComponent, TOperation Operation)
{
    TBevel::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FSD) {
        FSD = nullptr;
        FIndex = -1;
        LightColor = clBtnHighlight;
        DarkColor = clBtnShadow;
    }
}

void TspSkinBevel::SetDividerMode(bool Value)
{
    FDividerMode = Value;
    Repaint();
}

void TspSkinBevel::Paint()
{
    TCanvas* c = Canvas();
    const int w = Width(), h = Height();
    if (w <= 0 || h <= 0)
        return;
    c->Pen()->SetWidth(1);
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetMode(pmCopy);
    if (ComponentState().Contains(csDesigning) && Shape() == bsSpacer) {
        c->Pen()->SetStyle(psDot);
        c->Pen()->SetMode(pmXor);
        c->Pen()->SetColor(0xFFD8CE);
        c->Brush()->SetStyle(bsClear);
        c->Rectangle(0, 0, w, h);
        return;
    }
    const TColor c1 = Style() == bsLowered ? DarkColor : LightColor;
    const TColor c2 = Style() == bsLowered ? LightColor : DarkColor;
    auto line = [&](int x1, int y1, int x2, int y2, TColor col) {
        c->Pen()->SetColor(col);
        c->MoveTo(x1, y1);
        c->LineTo(x2, y2);
    };
    auto bevelRect = [&](TRect r, TColor a, TColor b) {
        c->Pen()->SetColor(a);
        c->MoveTo(r.left, r.bottom);
        c->LineTo(r.left, r.top);
        c->LineTo(r.right, r.top);
        c->Pen()->SetColor(b);
        c->LineTo(r.right, r.bottom);
        c->LineTo(r.left, r.bottom);
    };
    if (FDividerMode) {
        switch (Shape()) {
        case bsTopLine:
        case bsBottomLine: bevelRect(TRect(2, h / 2 - 1, w - 2, h / 2), c1, c2); break;
        case bsSpacer: break;
        default: bevelRect(TRect(w / 2 - 1, 2, w / 2, h - 2), c1, c2); break;
        }
        return;
    }
    switch (Shape()) {
    case bsBox: bevelRect(TRect(0, 0, w - 1, h - 1), c1, c2); break;
    case bsFrame:
        bevelRect(TRect(1, 1, w - 1, h - 1), c2, c2);
        bevelRect(TRect(0, 0, w - 2, h - 2), c1, c1);
        break;
    case bsTopLine:
        line(0, 0, w, 0, c1);
        line(0, 1, w, 1, c2);
        break;
    case bsBottomLine:
        line(0, h - 2, w, h - 2, c1);
        line(0, h - 1, w, h - 1, c2);
        break;
    case bsLeftLine:
        line(0, 0, 0, h, c1);
        line(1, 0, 1, h, c2);
        break;
    case bsRightLine:
        line(w - 2, 0, w - 2, h, c1);
        line(w - 1, 0, w - 1, h, c2);
        break;
    default: break;
    }
}

// ---- descriptions ----

void TspSkinButtonLabel::DeclarePublished(TPublisher<TspSkinButtonLabel>& P)
{
    using C = TspSkinButtonLabel;
    P.Property("Caption", &C::Caption, &C::SetCaption, "");
    P.Property("SkinData", &C::SkinData, &C::SetSkinData);
    P.Property("SkinDataName", &C::SkinDataName, &C::SetSkinDataName, "stdlabel");
    P.Property("DefaultFont", &C::DefaultFont, &C::SetDefaultFont);
    P.Property("UseSkinFont", &C::UseSkinFont, &C::SetUseSkinFont, true);
    P.Property("DefaultActiveFontColor", &C::DefaultActiveFontColor, &C::SetDefaultActiveFontColor, TColor(0xFF0000))
        .WithIdents(&ColorIdents());
    P.Property("Glyph", &C::Glyph, &C::SetGlyph);
    TPropertyInfo& glyphs = P.Property("NumGlyphs", &C::NumGlyphs, &C::SetNumGlyphs, TspNumGlyphs(1));
    glyphs.Min = 1;
    glyphs.Max = 4;
    P.Property("ImageList", &C::ImageList, &C::SetImageList);
    P.Property("ImageIndex", &C::ImageIndex, &C::SetImageIndex, -1);
    P.Property("ActiveImageIndex", &C::ActiveImageIndex, nullptr, -1);
    P.Property("Layout", &C::Layout, &C::SetLayout, blGlyphLeft);
    P.Property("Margin", &C::Margin, &C::SetMargin, -1);
    // The constructor's spacing is the stream default, so 4 is kept.
    P.Property("Spacing", &C::Spacing, &C::SetSpacing, 1);
    P.Property("WebStyle", &C::WebStyle, &C::SetWebStyle, false);
    P.Property("GlowEffect", &C::GlowEffect, &C::SetGlowEffect, false);
    P.Property("GlowSize", &C::GlowSize, &C::SetGlowSize, 7);
    P.Property("UseCustomGlowColor", &C::UseCustomGlowColor, &C::SetUseCustomGlowColor, false);
    P.Property("CustomGlowColor", &C::CustomGlowColor, &C::SetCustomGlowColor, TColor(0xFFFF00))
        .WithIdents(&ColorIdents());
    P.Property("DoubleBuffered", &C::DoubleBuffered, &C::SetDoubleBuffered, false);
}

void TspSkinBevel::DeclarePublished(TPublisher<TspSkinBevel>& P)
{
    P.Property("SkinData", &TspSkinBevel::SkinData, &TspSkinBevel::SetSkinData);
    P.Property("SkinDataName", &TspSkinBevel::SkinDataName, &TspSkinBevel::SetSkinDataName, "bevel");
    P.Property("DividerMode", &TspSkinBevel::DividerMode, &TspSkinBevel::SetDividerMode, false);
}

void RegisterSkinBevelsClasses() { RegisterClasses<TspSkinButtonLabel, TspSkinBevel>(); }
