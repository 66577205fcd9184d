#include "skin/controls/SkinLabels.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/gdi/Gdi.h"
#include "skin/core/ResourceStrData.h"
#include "skin/core/SkinButtonPieces.h"
#include "skin/core/SkinControlPieces.h"
#include "skin/core/SkinDrawGlyphs.h"
#include "skin/core/SkinDrawUtils.h"
#include "skin/core/SkinGlow.h"
#include "skin/core/SkinImage.h"
#include "skin/core/SkinStrips.h"
#include "skin/core/SkinWindowData.h"

namespace {

// The skin's string table decides the character set when there is one.
void ApplyCharset(TFont* F, const TspSkinData* SD, TFont* DefaultFont)
{
    if (SD && SD->ResourceStrData())
        F->SetCharset(SD->ResourceStrData()->CharSet());
    else
        F->SetCharset(DefaultFont->Charset());
}

TColor SkinColorOr(const TspSkinData* SD, bool HasPiece, TColor TspSkinColors::*Field, TColor Fallback)
{
    if (HasPiece && SD && SD->SkinColors())
        return SD->SkinColors()->*Field;
    return Fallback;
}

void InitLabelFont(TFont& F)
{
    F.SetName("Arial");
    F.SetHeight(14);
}

}  // namespace

// ---- TspSkinStdLabel ----------------------------------------------------------------

TspSkinStdLabel::TspSkinStdLabel(TComponent* AOwner)
    : TCustomLabel(AOwner), FDefaultFont(std::make_unique<TFont>())
{
    InitLabelFont(*FDefaultFont);
    SetTransparent(true);
}

TspSkinStdLabel::~TspSkinStdLabel() = default;

void TspSkinStdLabel::SetSkinData(TspSkinData* Value)
{
    if (FSD != Value) {
        if (FSD)
            FSD->RemoveFreeNotification(this);
        if (Value)
            Value->FreeNotification(this);
    }
    FSD = Value;
    if (FSD)
        ChangeSkinData();
}

void TspSkinStdLabel::SetUseSkinFont(bool Value)
{
    FUseSkinFont = Value;
    Invalidate();
}

void TspSkinStdLabel::SetUseSkinColor(bool Value)
{
    FUseSkinColor = Value;
    Invalidate();
}

void TspSkinStdLabel::SetEllipsType(TspEllipsType Value)
{
    if (FEllipsType == Value)
        return;
    FEllipsType = Value;
    Invalidate();
}

void TspSkinStdLabel::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomLabel::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FSD)
        FSD = nullptr;
}

void TspSkinStdLabel::GetSkinData()
{
    FIndex = FindSkinPiece(FSD, SkinDataName);
    if (FIndex == -1)
        return;
    if (auto* p = dynamic_cast<TspDataSkinStdLabelControl*>(FSD->CtrlList[FIndex].get())) {
        FontName = p->FontName;
        FontColor = p->FontColor;
        FontStyle = p->FontStyle;
        FontHeight = p->FontHeight;
    }
}

void TspSkinStdLabel::ChangeSkinData()
{
    GetSkinData();
    if (AutoSize())
        AdjustSize();
    Repaint();
}

void TspSkinStdLabel::DrawLabelText(TCanvas* C, TRect& Rect, UINT Flags)
{
    GetSkinData();
    std::string text = Caption();
    if ((Flags & DT_CALCRECT) && (text.empty() || (ShowAccelChar() && text == "&")))
        text = " ";
    if (!ShowAccelChar())
        Flags |= DT_NOPREFIX;
    if (FEllipsType == spetEndEllips)
        Flags |= DT_END_ELLIPSIS;
    else if (FEllipsType == spetPathEllips)
        Flags |= DT_PATH_ELLIPSIS;
    TFont* f = C->Font();
    const bool piece = FIndex != -1;
    if (!piece) {
        f->Assign(FUseSkinFont ? FDefaultFont.get() : Font());
    } else {
        f->Assign(Font());
        if (FUseSkinFont) {
            f->SetName(FontName);
            f->SetStyle(FontStyle);
            f->SetHeight(FontHeight);
        }
        f->SetColor(FUseSkinColor ? FontColor : Font()->Color());
    }
    ApplyCharset(f, FSD, FDefaultFont.get());
    C->Brush()->SetStyle(bsClear);
    // The text goes through the device context: select the font set above.
    C->Refresh();
    HDC dc = C->Handle();
    SetBkMode(dc, TRANSPARENT);
    auto draw = [&](RECT* r) {
        if (FEllipsType != spetNone)
            DrawTextEx(dc, text, -1, r, Flags, nullptr);
        else
            DrawText(dc, text.c_str(), -1, r, Flags);
    };
    if (!Enabled() && !(Flags & DT_CALCRECT)) {
        // Embossed: highlight one pixel right and down, shadow in place.
        SetTextColor(dc, ColorToRGB(SkinColorOr(FSD, piece, &TspSkinColors::cBtnHighLight, clBtnHighlight)));
        RECT r{Rect.left + 1, Rect.top + 1, Rect.right + 1, Rect.bottom + 1};
        draw(&r);
        SetTextColor(dc, ColorToRGB(SkinColorOr(FSD, piece, &TspSkinColors::cBtnShadow, clBtnShadow)));
    } else {
        SetTextColor(dc, ColorToRGB(f->Color()));
    }
    RECT r = Rect;
    draw(&r);
    Rect = r;
}

void TspSkinStdLabel::DoDrawText(TRect& Rect, UINT Flags) { DrawLabelText(Canvas(), Rect, Flags); }

// Measured with the font the label draws in, so the size fits the skin font.
void TspSkinStdLabel::Loaded()
{
    TCustomLabel::Loaded();
    AdjustSize();
}

bool TspSkinStdLabel::CanAutoSize(int& NewWidth, int& NewHeight)
{
    if (ComponentState().Contains(csLoading))
        return false;
    TBitmap scratch;
    scratch.SetSize(1, 1);
    TRect r(0, 0, WordWrap() ? NewWidth : 0, 0);
    DrawLabelText(scratch.Canvas(), r, DT_CALCRECT | DT_EXPANDTABS | (WordWrap() ? DT_WORDBREAK : 0));
    NewWidth = r.right - r.left;
    NewHeight = r.bottom - r.top;
    return true;
}

void TspSkinStdLabel::DeclarePublished(TPublisher<TspSkinStdLabel>& P)
{
    using C = TspSkinStdLabel;
    P.Property("SkinData", &C::SkinData, &C::SetSkinData);
    P.Property("SkinDataName", &C::SkinDataName, nullptr, "stdlabel");
    P.Property("DefaultFont", &C::DefaultFont, &C::SetDefaultFont);
    P.Property("UseSkinFont", &C::UseSkinFont, &C::SetUseSkinFont, true);
    P.Property("UseSkinColor", &C::UseSkinColor, &C::SetUseSkinColor, true);
    P.Property("EllipsType", &C::EllipsType, &C::SetEllipsType, spetNone);
    P.Property("Transparent", &C::Transparent, &C::SetTransparent, true);
}

// ---- TspSkinLabel ---------------------------------------------------------------------

TspSkinLabel::TspSkinLabel(TComponent* AOwner) : TspSkinCustomControl(AOwner)
{
    FSkinDataName = "label";
    SetBounds(0, 0, 75, 21);
}

TspSkinLabel::~TspSkinLabel() = default;

#define LABEL_SETTER(Name, Type, Field)          \
    void TspSkinLabel::Set##Name(Type Value)     \
    {                                            \
        if (Field == Value)                      \
            return;                              \
        Field = Value;                           \
        Repaint();                               \
    }
LABEL_SETTER(ShadowEffect, bool, FShadowEffect)
LABEL_SETTER(ShadowColor, TColor, FShadowColor)
LABEL_SETTER(ShadowOffset, int, FShadowOffset)
LABEL_SETTER(ShadowSize, int, FShadowSize)
LABEL_SETTER(ReflectionEffect, bool, FReflectionEffect)
LABEL_SETTER(ReflectionOffset, int, FReflectionOffset)
LABEL_SETTER(Alignment, TAlignment, FAlignment)
LABEL_SETTER(UseSkinFontColor, bool, FUseSkinFontColor)
#undef LABEL_SETTER

void TspSkinLabel::SetEllipsType(TspEllipsType2 Value)
{
    if (FEllipsType == Value)
        return;
    FEllipsType = Value;
    Invalidate();
}

void TspSkinLabel::SetUseSkinSize(bool Value)
{
    FUseSkinSize = Value;
    Repaint();
}

void TspSkinLabel::SetBorderStyle(TspSkinBorderStyle Value)
{
    FBorderStyle = Value;
    if (FIndex == -1) {
        Repaint();
        Realign();
    }
}

void TspSkinLabel::SetAutoSize(bool Value)
{
    FLabelAutoSize = Value;
    if (Value)
        AdjustToText();
}

void TspSkinLabel::ApplyFont(TCanvas* C)
{
    TFont* f = C->Font();
    if (HasLabelPiece() && FUseSkinFont) {
        f->SetName(FontName);
        f->SetStyle(FontStyle);
        f->SetHeight(FontHeight);
        f->SetColor(FontColor);
    } else {
        f->Assign(DefaultFont());
        if (HasLabelPiece())
            f->SetColor(FontColor);
    }
    ApplyCharset(f, FSD, DefaultFont());
}

int TspSkinLabel::GetAutoSizeDelta()
{
    GetSkinData();
    TBitmap scratch;
    scratch.SetSize(1, 1);
    ApplyFont(scratch.Canvas());
    const int tw = scratch.Canvas()->TextWidth(Caption());
    if (FIndex == -1)
        return tw - Width() + 4;
    if (ResizeMode == 0)
        return 0;
    int w = Width(), h = Height();
    AdjustSizeToSkin(w, h);
    return tw - RealClientWidth();
}

void TspSkinLabel::AdjustToText()
{
    const TAlign a = Align();
    if (a == alTop || a == alBottom || a == alClient)
        return;
    const int d = GetAutoSizeDelta();
    if (d != 0)
        SetWidth(Width() + d);
}

void TspSkinLabel::GetSkinData()
{
    TspSkinCustomControl::GetSkinData();
    FLabelPiece = false;
    if (FIndex == -1)
        return;
    auto* p = dynamic_cast<TspDataSkinLabelControl*>(FSD->CtrlList[FIndex].get());
    if (!p)
        return;
    FLabelPiece = true;
    FontName = p->FontName;
    FontColor = p->FontColor;
    FontStyle = p->FontStyle;
    FontHeight = p->FontHeight;
    // A fixed-size piece never widens to its text.
    if (ResizeMode == 0)
        FLabelAutoSize = false;
}

void TspSkinLabel::AdjustSizeToSkin(int& AWidth, int& AHeight)
{
    if (FUseSkinSize || ResizeMode == 1) {
        TspSkinCustomControl::AdjustSizeToSkin(AWidth, AHeight);
    } else {
        const int d = AWidth - SkinWidth();
        NewLTPoint = LTPt;
        NewRTPoint = TPoint(RTPt.x + d, RTPt.y);
        NewClRect = TRect(ClRect.left, ClRect.top, ClRect.right + d, ClRect.bottom);
    }
    if (FLabelAutoSize && FIndex != -1 && ResizeMode != 0) {
        TBitmap scratch;
        scratch.SetSize(1, 1);
        ApplyFont(scratch.Canvas());
        const int d = scratch.Canvas()->TextWidth(Caption()) - (NewClRect.right - NewClRect.left);
        if (d > 0) {
            AWidth += d;
            NewRTPoint.x += d;
            NewRBPoint.x += d;
            NewClRect.right += d;
        }
    }
}

void TspSkinLabel::UpdateControlRegion()
{
    if (FUseSkinSize)
        TspSkinCustomControl::UpdateControlRegion();
}

void TspSkinLabel::DrawLabelText(TCanvas* C, TRect R)
{
    std::string text = Caption();
    ApplyFont(C);
    if (FEllipsType == spetEllips)
        ShortenTextToWidth(C, text, R.right - R.left);
    const int th = C->TextHeight(text), tw = C->TextWidth(text);
    int ty = R.top + (R.bottom - R.top) / 2 - th / 2;
    if (C->Font()->Height() % 2 != 0)
        --ty;
    const int tx = FAlignment == taRightJustify ? R.right - tw
                   : FAlignment == taCenter     ? R.left + (R.right - R.left) / 2 - tw / 2
                                                : R.left;
    C->Brush()->SetStyle(bsClear);
    if (!FUseSkinFontColor)
        C->Font()->SetColor(DefaultFont()->Color());
    const Cardinal format = FAlignment == taRightJustify ? DT_RIGHT : FAlignment == taCenter ? DT_CENTER : DT_LEFT;
    if (FShadowEffect) {
        TColor glow = FShadowColor;
        if (HasLabelPiece() && FUseSkinFontColor && FSD->SkinColors())
            glow = DarkenColor(FSD->SkinColors()->cBtnFace, 70);
        R.top = ty;
        DrawTextWithGlow(C, R, text, format, FShadowOffset, glow, FShadowSize);
    } else if (FReflectionEffect) {
        DrawTextWithReflection(C, R, text, format, FReflectionOffset, C->Font()->Color());
    } else {
        C->TextRect(R, tx, ty, text);
    }
}

void TspSkinLabel::DrawDefaultImage(TBitmap* B)
{
    TspSkinCustomControl::DrawDefaultImage(B);
    TCanvas* c = B->Canvas();
    const TRect r(0, 0, Width(), Height());
    switch (FBorderStyle) {
    case TspSkinBorderStyle::bvFrame:
        DrawFrame3D(c, r, clBtnShadow, clBtnShadow);
        break;
    case TspSkinBorderStyle::bvRaised:
        DrawFrame3D(c, r, clBtnHighlight, clBtnShadow);
        break;
    case TspSkinBorderStyle::bvLowered:
        DrawFrame3D(c, r, clBtnShadow, clBtnHighlight);
        break;
    default:
        break;
    }
    DrawLabelText(c, TRect(3, 3, Width() - 3, Height() - 3));
}

void TspSkinLabel::DrawSkinImage(TBitmap* B)
{
    if (FUseSkinSize || ResizeMode == 1) {
        TspSkinCustomControl::DrawSkinImage(B);
        DrawLabelText(B->Canvas(), NewClRect);
        return;
    }
    if (Picture)
        CreateStretchImage(B, Picture, SkinRect, ClRect, true);
    TRect r = NewClRect;
    r.bottom += Height() - SkinHeight();
    DrawLabelText(B->Canvas(), r);
}

void TspSkinLabel::WndProc(TMessage& Message)
{
    if (Message.Msg == CM_TEXTCHANGED) {
        TspSkinCustomControl::WndProc(Message);
        if (FLabelAutoSize)
            AdjustToText();
        Repaint();
        return;
    }
    if (Message.Msg == WM_ERASEBKGND && !FromWMPaint && Message.WParam) {
        PaintWindow(reinterpret_cast<HDC>(Message.WParam));
        Message.Result = 1;
        return;
    }
    TspSkinCustomControl::WndProc(Message);
}

void TspSkinLabel::DeclarePublished(TPublisher<TspSkinLabel>& P)
{
    using C = TspSkinLabel;
    P.Property("Caption", &C::Caption, &C::SetCaption, "");
    P.Property("ShadowEffect", &C::ShadowEffect, &C::SetShadowEffect, false);
    P.Property("ShadowColor", &C::ShadowColor, &C::SetShadowColor, TColor(0)).WithIdents(&ColorIdents());
    P.Property("ShadowOffset", &C::ShadowOffset, &C::SetShadowOffset, 0);
    P.Property("ShadowSize", &C::ShadowSize, &C::SetShadowSize, 3);
    P.Property("ReflectionEffect", &C::ReflectionEffect, &C::SetReflectionEffect, false);
    P.Property("ReflectionOffset", &C::ReflectionOffset, &C::SetReflectionOffset, -5);
    P.Property("EllipsType", &C::EllipsType, &C::SetEllipsType, spetNoneEllips);
    P.Property("UseSkinSize", &C::UseSkinSize, &C::SetUseSkinSize, true);
    P.Property("UseSkinFontColor", &C::UseSkinFontColor, &C::SetUseSkinFontColor, true);
    P.Property("BorderStyle", &C::BorderStyle, &C::SetBorderStyle, TspSkinBorderStyle::bvFrame);
    P.Property("Alignment", &C::Alignment, &C::SetAlignment, taLeftJustify);
    P.Property("AutoSize", &C::AutoSize, &C::SetAutoSize, false);
}

void RegisterSkinLabelClasses() { RegisterClasses<TspSkinStdLabel, TspSkinLabel>(); }
