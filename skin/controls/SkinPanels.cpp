#include "skin/controls/SkinPanels.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/gdi/Text.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/ImgList.h"
#include "skin/core/GlyphLayout.h"
#include "skin/core/ParentBackground.h"
#include "skin/core/ResourceStrData.h"
#include "skin/core/SkinControlPieces.h"
#include "skin/core/SkinDrawGlyphs.h"
#include "skin/core/SkinDrawUtils.h"
#include "skin/core/SkinImage.h"
#include "skin/core/SkinMessages.h"
#include "skin/core/SkinStrips.h"
#include "skin/core/SkinWindowData.h"

#include <algorithm>

namespace {

using tarnello::skinpanels::spipLeft;

bool EmptyRect(const TRect& R) { return R.right <= R.left || R.bottom <= R.top; }
int RectWidth(const TRect& R) { return R.right - R.left; }
int RectHeight(const TRect& R) { return R.bottom - R.top; }
TRect Moved(const TRect& R, int dx, int dy) { return TRect(R.left + dx, R.top + dy, R.right + dx, R.bottom + dy); }
bool PointInEdges(const TRect& R, int X, int Y) { return X >= R.left && X <= R.right && Y >= R.top && Y <= R.bottom; }

// A 1-pixel frame: top and left in one colour, bottom and right in another;
// R shrinks by 1.
void Frame1(TCanvas* C, TRect& R, TColor TopLeft, TColor BottomRight) { Frame3D(C, R, TopLeft, BottomRight, 1); }

TColor SkinColor(const TspSkinData* SD, TColor TspSkinColors::*Field, TColor Fallback)
{
    return SD && SD->SkinColors() ? SD->SkinColors()->*Field : Fallback;
}

}  // namespace

// ---- TspSkinPanel -------------------------------------------------------------------

TspSkinPanel::TspSkinPanel(TComponent* AOwner) : TspSkinCustomControl(AOwner), FGlyph(std::make_unique<TBitmap>())
{
    FSkinDataName = "panel";
    TControlStyle s = ControlStyle();
    s.Include(csAcceptsControls);
    s.Include(csOpaque);
    SetControlStyle(s);
    SetBounds(Left(), Top(), 150, 150);
}

TspSkinPanel::~TspSkinPanel() = default;

void TspSkinPanel::SetCaptionMode(bool Value)
{
    FCaptionMode = Value;
    Repaint();
    Realign();
}

void TspSkinPanel::SetDefaultCaptionHeight(int Value)
{
    FDefaultCaptionHeight = Value;
    if ((FIndex == -1 || !FUseSkinSize) && FCaptionMode) {
        Repaint();
        Realign();
    }
}

void TspSkinPanel::SetDefaultAlignment(TAlignment Value)
{
    FDefaultAlignment = Value;
    if (FIndex == -1 && FCaptionMode)
        Repaint();
}

void TspSkinPanel::SetBorderStyle(TspSkinBorderStyle Value)
{
    FBorderStyle = Value;
    if (FIndex == -1) {
        Repaint();
        Realign();
    }
}

void TspSkinPanel::SetRibbonStyle(bool Value)
{
    if (FRibbonStyle == Value)
        return;
    FRibbonStyle = Value;
    Repaint();
}

void TspSkinPanel::SetTransparentMode(bool Value)
{
    if (FTransparentMode == Value)
        return;
    FTransparentMode = Value;
    Repaint();
    const TComponentState cs = ComponentState();
    if (!cs.Contains(csDesigning) && !cs.Contains(csLoading))
        CheckControlsBackground();
}

void TspSkinPanel::SetCheckedMode(bool Value)
{
    FCheckedMode = Value;
    Repaint();
}

void TspSkinPanel::SetChecked(bool Value)
{
    FChecked = Value;
    if (FCheckedMode)
        Repaint();
    if (FAutoEnabledControls && FCheckedMode)
        for (int i = 0; i < ControlCount(); ++i)
            Controls(i)->SetEnabled(Value);
    // Reading a description sets the value without an event; the handler's
    // own assignment does not call it again.
    if (OnChecked && !ComponentState().Contains(csLoading) && !FInEvent) {
        FInEvent = true;
        try {
            OnChecked(this);
        } catch (...) {
            FInEvent = false;
            throw;
        }
        FInEvent = false;
    }
}

void TspSkinPanel::SetRollUpMode(bool Value)
{
    FRollUpMode = Value;
    if (FIndex == -1 && FCaptionMode)
        Repaint();
}

void TspSkinPanel::SetRollUpState(bool Value)
{
    if (FRollUpState == Value)
        return;
    TSizeConstraints* c = Constraints();
    auto restore = [&] {
        c->SetMaxWidth(FCMaxWidth);
        c->SetMinWidth(FCMinWidth);
        c->SetMaxHeight(FCMaxHeight);
        c->SetMinHeight(FCMinHeight);
    };
    if (!FRollUpMode) {
        if (FRollUpState)
            restore();
        FRollUpState = false;
        return;
    }
    if (Value) {
        // The constraints would keep the panel from its caption height: they
        // are set aside while rolled up and come back when rolled down.
        FCMaxWidth = c->MaxWidth();
        FCMinWidth = c->MinWidth();
        FCMaxHeight = c->MaxHeight();
        FCMinHeight = c->MinHeight();
        c->SetMaxWidth(0);
        c->SetMinWidth(0);
        c->SetMaxHeight(0);
        c->SetMinHeight(0);
    }
    FRollUpState = Value;
    DoRollUp(Value);
    if (!Value)
        restore();
    if (OnChangeRollUpState && !ComponentState().Contains(csLoading) && !FInEvent) {
        FInEvent = true;
        try {
            OnChangeRollUpState(this);
        } catch (...) {
            FInEvent = false;
            throw;
        }
        FInEvent = false;
    }
}

void TspSkinPanel::DoRollUp(bool ARollUp)
{
    FInChangingRollUp = true;
    if (ARollUp && RealHeight == -1) {
        RealHeight = Height();
        DisableAlign();
        for (int i = 0; i < ControlCount(); ++i)
            Controls(i)->SetVisible(false);
        GetSkinData();
        int h = FDefaultCaptionHeight + 1;
        if (FIndex != -1 && FUseSkinSize) {
            int w = Width(), hh = Height();
            AdjustSizeToSkin(w, hh);
            h = Height() - NewClRect.bottom + NewClRect.top;
        }
        SetHeight(h);
    } else if (!ARollUp && RealHeight != -1) {
        SetHeight(RealHeight);
        RealHeight = -1;
        for (int i = 0; i < ControlCount(); ++i)
            Controls(i)->SetVisible(true);
        EnableAlign();
    }
    FInChangingRollUp = false;
}

void TspSkinPanel::SetGlyph(TBitmap* Value)
{
    if (Value)
        FGlyph->Assign(Value);
    else
        FGlyph->SetSize(0, 0);
    Repaint();
}

void TspSkinPanel::SetNumGlyphs(TspSkinPanelNumGlyphs Value)
{
    if (Value < 1 || Value > 2)
        return;
    FNumGlyphs = Value;
    Repaint();
}

void TspSkinPanel::SetSpacing(int Value)
{
    FSpacing = Value;
    Repaint();
}

void TspSkinPanel::SetCaptionImageList(TCustomImageList* Value)
{
    SetComponentReference(this, FCaptionImageList, Value);
    Repaint();
}

void TspSkinPanel::SetCaptionImageIndex(int Value)
{
    if (FCaptionImageIndex == Value)
        return;
    FCaptionImageIndex = Value;
    Repaint();
}

void TspSkinPanel::SetImagePosition(TspImagePosition Value)
{
    if (FImagePosition == Value)
        return;
    FImagePosition = Value;
    Repaint();
}

void TspSkinPanel::SetUseSkinSize(bool Value)
{
    FUseSkinSize = Value;
    Repaint();
}

void TspSkinPanel::Notification(TComponent* AComponent, TOperation Operation)
{
    TspSkinCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FCaptionImageList)
        FCaptionImageList = nullptr;
}

// ---- skin and geometry ----

void TspSkinPanel::GetSkinData()
{
    TspSkinCustomControl::GetSkinData();
    BGPictureIndex = -1;
    if (FIndex == -1)
        return;
    auto* p = dynamic_cast<TspDataSkinPanelControl*>(FSD->CtrlList[FIndex].get());
    if (!p)
        return;
    CaptionRect = p->CaptionRect;
    Alignment = p->Alignment;
    FontName = p->FontName;
    FontColor = p->FontColor;
    FontStyle = p->FontStyle;
    FontHeight = p->FontHeight;
    BGPictureIndex = p->BGPictureIndex;
    CheckImageRect = p->CheckImageRect;
    UnCheckImageRect = p->UnCheckImageRect;
    MarkFrameRect = p->MarkFrameRect;
    FrameRect = p->FrameRect;
    FrameTextRect = p->FrameTextRect;
    FrameLeftOffset = p->FrameLeftOffset;
    FrameRightOffset = p->FrameRightOffset;
}

bool TspSkinPanel::Borderless() const
{
    return FBorderStyle == TspSkinBorderStyle::bvNone && !FCaptionMode && ResizeMode == 1;
}

TBitmap* TspSkinPanel::BackgroundPicture() const
{
    if (!FSD || BGPictureIndex < 0 || BGPictureIndex >= static_cast<int>(FSD->FActivePictures.size()))
        return nullptr;
    TBitmap* b = FSD->FActivePictures[BGPictureIndex].get();
    return b && b->Width() > 0 && b->Height() > 0 ? b : nullptr;
}

void TspSkinPanel::AdjustClientRect(TRect& Rect)
{
    GetSkinData();
    const bool designing = ComponentState().Contains(csDesigning);
    if (FIndex != -1 && FTransparentMode) {
        if (!FCaptionMode) {
            Rect = TRect(2, 2, Width() - 2, Height() - 2);
        } else {
            TBitmap b;
            SetCaptionFont(b.Canvas());
            Rect = TRect(2, b.Canvas()->TextHeight(Caption()), Width() - 2, Height() - 2);
        }
        return;
    }
    if (FIndex == -1 || designing) {
        if (FBorderStyle != TspSkinBorderStyle::bvNone)
            Rect = TRect(Rect.left + 1, Rect.top + 1, Rect.right - 1, Rect.bottom - 1);
        if (FCaptionMode) {
            if (FRibbonStyle)
                Rect.bottom -= FDefaultCaptionHeight;
            else
                Rect.top += FDefaultCaptionHeight;
        }
        return;
    }
    const TRect r0 = Rect;
    if (BGPictureIndex == -1 && !Borderless()) {
        int w = Width(), h = Height();
        AdjustSizeToSkin(w, h);
        Rect = NewClRect;
    }
    if (!FUseSkinSize && FCaptionMode) {
        if (FRibbonStyle)
            Rect.bottom = r0.bottom - FDefaultCaptionHeight;
        else
            Rect.top = r0.top + FDefaultCaptionHeight;
    }
}

TRect TspSkinPanel::GetSkinClientRect()
{
    TRect r(0, 0, Width(), Height());
    AdjustClientRect(r);
    return r;
}

bool TspSkinPanel::CanAutoSize(int& NewWidth, int& NewHeight)
{
    if (FInChangingRollUp && AutoSize() && FRollUpMode)
        return false;
    return TspSkinCustomControl::CanAutoSize(NewWidth, NewHeight);
}

void TspSkinPanel::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TspSkinCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (FIndex == -1)
        Repaint();
}

void TspSkinPanel::ChangeSkinData()
{
    TspSkinCustomControl::ChangeSkinData();
    if (RealHeight != -1) {
        // The new skin's caption height, keeping the full height.
        const int keep = RealHeight;
        RealHeight = -1;
        EnableAlign();
        DoRollUp(true);
        RealHeight = keep;
    } else {
        Realign();
    }
}

// ---- painting ----

void TspSkinPanel::SetCaptionFont(TCanvas* Canvas)
{
    TFont* f = Canvas->Font();
    f->Assign(DefaultFont());
    if (FIndex != -1 && FUseSkinFont) {
        f->SetName(FontName);
        f->SetHeight(FontHeight);
        f->SetStyle(FontStyle);
    }
    if (FSD && FSD->ResourceStrData())
        f->SetCharset(FSD->ResourceStrData()->CharSet());
}

int TspSkinPanel::CaptionImageWidth() const
{
    if (FGlyph->Width() == 0 && FCaptionImageList && FCaptionImageIndex >= 0 &&
        FCaptionImageIndex < FCaptionImageList->Count())
        return FCaptionImageList->Width();
    return FGlyph->Width() > 0 ? FGlyph->Width() / FNumGlyphs : 0;
}

int TspSkinPanel::CaptionImageHeight() const
{
    if (FGlyph->Width() == 0 && FCaptionImageList && FCaptionImageIndex >= 0 &&
        FCaptionImageIndex < FCaptionImageList->Count())
        return FCaptionImageList->Height();
    return FGlyph->Height();
}

void TspSkinPanel::DrawCaptionImage(TCanvas* Canvas, int X, int Y)
{
    if (FGlyph->Width() == 0) {
        if (FCaptionImageList && FCaptionImageIndex >= 0 && FCaptionImageIndex < FCaptionImageList->Count())
            FCaptionImageList->Draw(Canvas, X, Y, FCaptionImageIndex, Enabled());
        return;
    }
    DrawStripGlyph(Canvas, X, Y, FGlyph.get(), FNumGlyphs, !Enabled() && FNumGlyphs == 2 ? 2 : 1);
}

// A rectangle of the skin picture drawn transparently (its bottom-left
// pixel's colour); a rectangle outside the picture draws nothing.
void TspSkinPanel::DrawPieceRect(TCanvas* Canvas, TRect Src, int X, int Y)
{
    if (!Picture || EmptyRect(Src) || Src.left < 0 || Src.top < 0 || Src.right > Picture->Width() ||
        Src.bottom > Picture->Height())
        return;
    TBitmap b;
    b.SetSize(RectWidth(Src), RectHeight(Src));
    b.Canvas()->CopyRect(TRect(0, 0, b.Width(), b.Height()), Picture->Canvas(), Src);
    b.SetTransparent(true);
    Canvas->Draw(X, Y, &b);
}

void TspSkinPanel::PaintTiled(TCanvas* Canvas, TBitmap* Src, TRect SrcRect, TRect Area)
{
    const int w = RectWidth(SrcRect), h = RectHeight(SrcRect);
    if (!Src || w <= 0 || h <= 0 || EmptyRect(Area))
        return;
    for (int y = Area.top; y < Area.bottom; y += h)
        for (int x = Area.left; x < Area.right; x += w) {
            const int cw = std::min(w, Area.right - x), ch = std::min(h, Area.bottom - y);
            Canvas->CopyRect(TRect(x, y, x + cw, y + ch), Src->Canvas(),
                             TRect(SrcRect.left, SrcRect.top, SrcRect.left + cw, SrcRect.top + ch));
        }
}

void TspSkinPanel::DrawDefaultImage(TBitmap* B)
{
    TCanvas* c = B->Canvas();
    TRect r(0, 0, Width(), Height());
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(r);
    switch (FBorderStyle) {
    case TspSkinBorderStyle::bvFrame: Frame1(c, r, clBtnShadow, clBtnShadow); break;
    case TspSkinBorderStyle::bvRaised: Frame1(c, r, clBtnHighlight, clBtnShadow); break;
    case TspSkinBorderStyle::bvLowered: Frame1(c, r, clBtnShadow, clBtnHighlight); break;
    default: break;
    }
    if (!FCaptionMode)
        return;
    const int ch = FDefaultCaptionHeight;
    TRect bar;
    if (FBorderStyle != TspSkinBorderStyle::bvNone) {
        bar = FRibbonStyle ? TRect(1, Height() - ch - 1, Width() - 1, Height() - 1) : TRect(1, 1, Width() - 1, ch);
        Frame1(c, bar, clBtnShadow, clBtnHighlight);
        Frame1(c, bar, clBtnHighlight, clBtnShadow);
    } else {
        bar = FRibbonStyle ? TRect(0, Height() - ch, Width(), Height()) : TRect(0, 0, Width(), ch);
        Frame1(c, bar, clBtnShadow, clBtnShadow);
        Frame1(c, bar, clBtnHighlight, clBtnFace);
    }
    TRect R = bar;
    if (FCheckedMode)
        R.left += 20;
    if (FRollUpMode)
        R.right -= 10;
    SetCaptionFont(c);
    const std::string text = Caption();
    const int th = c->TextHeight(text);
    const int ty = R.top + RectHeight(R) / 2 - th / 2;
    const int iw = CaptionImageWidth();
    const int cw = c->TextWidth(text) + (iw > 0 ? iw + FSpacing : 0);
    int tx = FDefaultAlignment == taRightJustify ? R.right - cw
             : FDefaultAlignment == taCenter     ? R.left + 2 + RectWidth(R) / 2 - cw / 2
                                                 : R.left + 2;
    if (FCheckedMode) {
        const TRect box(5, R.top + RectHeight(R) / 2 - 7, 19, R.top + RectHeight(R) / 2 + 7);
        c->Brush()->SetColor(clBtnShadow);
        c->FrameRect(box);
        if (FChecked)
            DrawCheckMark(c, box.left + 4, box.top + 3, clBtnText);
    }
    if (iw > 0) {
        DrawCaptionImage(c, tx, R.top + RectHeight(R) / 2 - CaptionImageHeight() / 2);
        tx += iw + FSpacing;
    }
    c->Brush()->SetStyle(bsClear);
    c->TextRect(R, tx, ty, text);
    if (FRollUpMode)
        DrawArrow(c, TRect(R.right, R.top, R.right + 10, R.bottom), clBtnText, FRollUpState ? 4 : 3);
}

void TspSkinPanel::DrawSkinImage(TBitmap* B)
{
    if (Borderless() && !StretchEffect) {
        TRect cl = Moved(ClRect, SkinRect.left, SkinRect.top);
        PaintTiled(B->Canvas(), Picture, cl, TRect(0, 0, B->Width(), B->Height()));
        return;
    }
    TspSkinCustomControl::DrawSkinImage(B);
    if (FUseSkinSize) {
        if (ResizeMode <= 0)
            NewCaptionRect = CaptionRect;
        else
            MapSkinRectToControl(CaptionRect, NewCaptionRect);
    }
    if (!Caption().empty() && !EmptyRect(CaptionRect))
        DrawSkinCaption(B->Canvas());
}

void TspSkinPanel::DrawSkinCaption(TCanvas* Canvas)
{
    TRect R = NewCaptionRect;
    if (FRollUpMode)
        R.right -= 12;
    if (FCheckedMode) {
        const TRect& pic = FChecked ? CheckImageRect : UnCheckImageRect;
        DrawPieceRect(Canvas, pic, R.left, R.top + RectHeight(R) / 2 - RectHeight(pic) / 2);
        R.left += RectWidth(pic) + 2;
    }
    SetCaptionFont(Canvas);
    Canvas->Font()->SetColor(FontColor);
    const std::string text = Caption();
    const int tw = Canvas->TextWidth(text);
    int ty = R.top + RectHeight(R) / 2 - Canvas->TextHeight(text) / 2;
    if (Canvas->Font()->Height() % 2 != 0)
        --ty;
    const int iw = CaptionImageWidth();
    const int cw = tw + (FGlyph->Width() > 0 ? iw + FSpacing : 0);
    int tx = Alignment == taRightJustify ? R.right - cw
             : Alignment == taCenter     ? R.left + RectWidth(R) / 2 - cw / 2
                                         : R.left;
    int ix = tx;
    const int iy = R.top + RectHeight(R) / 2 - CaptionImageHeight() / 2;
    if (iw > 0) {
        if (FImagePosition == spipLeft) {
            ix = R.left + 2;
            tx = Alignment == taRightJustify ? R.right - tw
                 : Alignment == taCenter     ? R.left + RectWidth(R) / 2 - tw / 2
                                             : ix + iw + FSpacing;
            tx = std::max(tx, ix + iw + FSpacing);
        } else {
            tx += iw + FSpacing;
        }
    }
    if (FRollUpMode) {
        const TRect box(R.right, R.top, R.right + 10, R.bottom);
        if (!EmptyRect(MarkFrameRect) && Picture)
            Canvas->CopyRect(TRect(box.left, box.top, box.left + RectWidth(MarkFrameRect),
                                   CaptionRect.top + RectHeight(MarkFrameRect)),
                             Picture->Canvas(), MarkFrameRect);
        DrawArrow(Canvas, box, FontColor, FRollUpState ? 4 : 3);
    }
    if (!EmptyRect(FrameRect) && Picture) {
        // The plate behind the text, as wide as the text plus its ends.
        const int d = RectWidth(FrameRect) - RectWidth(FrameTextRect);
        TBitmap plate;
        CreateHSkinImage(FrameLeftOffset, FrameRightOffset, &plate, Picture, FrameRect, d + tw, RectHeight(FrameRect),
                         false);
        int px;
        if (Alignment == taRightJustify) {
            px = tx - d;
            tx = px + FrameTextRect.left;
            ix -= d;
        } else if (Alignment == taCenter) {
            px = tx - FrameTextRect.left - 2;
            tx -= 2;
            ix -= FrameTextRect.left;
        } else {
            px = tx;
            tx = px + FrameTextRect.left;
        }
        if (plate.Width() > 0)
            Canvas->Draw(px, CaptionRect.top, &plate);
    }
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->TextRect(R, tx, ty, text);
    if (iw > 0)
        DrawCaptionImage(Canvas, ix, iy);
}

void TspSkinPanel::DrawGroupBoxStyle(TCanvas* C)
{
    const TColor shadow = SkinColor(FSD, &TspSkinColors::cBtnShadow, clBtnShadow);
    C->Pen()->SetColor(shadow);
    C->Pen()->SetWidth(1);
    C->Brush()->SetStyle(bsClear);
    SetCaptionFont(C);
    const std::string text = Caption();
    const int h = C->TextHeight(text);
    NewCaptionRect = TRect(5, 0, Width(), h + 5);
    int x = 5;
    if (FCheckedMode) {
        const TRect& pic = FChecked ? CheckImageRect : UnCheckImageRect;
        DrawPieceRect(C, pic, 5, (h + 5) / 2 - RectHeight(pic) / 2);
        x = RectWidth(pic) + 10;
    }
    const int iw = CaptionImageWidth();
    if (iw > 0) {
        DrawCaptionImage(C, x, (h + 5) / 2 - CaptionImageHeight() / 2);
        x += iw + 2;
    }
    TColor color = SkinColor(FSD, &TspSkinColors::cBtnText, clBtnText);
    const int label = FSD ? FSD->GetControlIndex("stdlabel") : -1;
    if (label != -1)
        if (auto* l = dynamic_cast<TspDataSkinStdLabelControl*>(FSD->CtrlList[label].get()))
            color = l->FontColor;
    C->Font()->SetColor(color);
    C->Brush()->SetStyle(bsClear);
    DrawTextVCentered(C, text, TRect(x, 0, Width(), h + 5));
    RECT m{0, 0, 0, 0};
    DrawText(C->Handle(), text, -1, &m, DT_CALCRECT | DT_SINGLELINE);
    const int w = text.empty() ? 0 : m.right - m.left;
    const int line = (h + 5) / 2;
    int from = x + w + 3;
    if (FRollUpMode) {
        DrawArrow(C, TRect(x + w + 3, 0, x + w + 10, h + 5), color, FRollUpState ? 4 : 3);
        from = x + w + 12;
    }
    C->MoveTo(from, line);
    C->LineTo(Width(), line);
    C->MoveTo(0, line);
    C->LineTo(5, line);
    C->MoveTo(Width() - 1, line);
    C->LineTo(Width() - 1, Height() - 1);
    C->LineTo(0, Height() - 1);
    C->LineTo(0, line);
}

void TspSkinPanel::Paint()
{
    if (Width() <= 0 || Height() <= 0)
        return;
    GetSkinData();
    TCanvas* c = Canvas();
    if (FIndex != -1 && FTransparentMode) {
        TBitmap b;
        b.SetSize(Width(), Height());
        DrawParentBackground(this, b.Canvas());
        if (FCaptionMode) {
            DrawGroupBoxStyle(b.Canvas());
        } else if (FBorderStyle != TspSkinBorderStyle::bvNone) {
            b.Canvas()->Brush()->SetColor(SkinColor(FSD, &TspSkinColors::cBtnShadow, clBtnShadow));
            b.Canvas()->FrameRect(TRect(0, 0, Width(), Height()));
        }
        DrawPanelContent(b.Canvas());
        c->Draw(0, 0, &b);
        return;
    }
    if (FIndex != -1 && !FUseSkinSize && FCaptionMode) {
        // A caption bar of the built-in height on the plain panel piece.
        TBitmap b;
        b.SetSize(Width(), Height());
        const std::string own = FSkinDataName;
        FSkinDataName = "panel";
        GetSkinData();
        const bool hasPanel = FIndex != -1;
        if (hasPanel) {
            int w = Width(), h = Height();
            AdjustSizeToSkin(w, h);
            ComposeSkinImage(&b, Picture, SkinRect);
        }
        FSkinDataName = own;
        GetSkinData();
        if (hasPanel && FIndex != -1) {
            int w = Width(), h = Height();
            AdjustSizeToSkin(w, h);
            const TRect src(SkinRect.left + CaptionRect.left + 1, SkinRect.top + CaptionRect.top + 1,
                            SkinRect.left + CaptionRect.right - 1, SkinRect.top + CaptionRect.bottom - 1);
            const TRect dst(NewClRect.left, NewClRect.top, NewClRect.right, FDefaultCaptionHeight - 1);
            if (Picture && !EmptyRect(src) && !EmptyRect(dst))
                b.Canvas()->CopyRect(dst, Picture->Canvas(), src);
            NewCaptionRect = dst;
            if (!Caption().empty())
                DrawSkinCaption(b.Canvas());
        }
        c->Draw(0, 0, &b);
        return;
    }
    if (FIndex == -1 || (!ForcebackGround && StretchEffect) || BGPictureIndex == -1) {
        TspSkinCustomControl::Paint();
        return;
    }
    // The skin's background picture fills the panel.
    TBitmap* bg = BackgroundPicture();
    if (!bg) {
        TspSkinCustomControl::Paint();
        return;
    }
    if (StretchEffect && StretchType == spstFull)
        c->StretchDraw(NewClRect, bg);
    else
        PaintTiled(c, bg, TRect(0, 0, bg->Width(), bg->Height()), TRect(0, 0, Width(), Height()));
}

void TspSkinPanel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && FCaptionMode && (FCheckedMode || FRollUpMode)) {
        const TRect hit = FIndex != -1 ? NewCaptionRect : TRect(1, 1, Width() - 1, FDefaultCaptionHeight);
        if (PointInEdges(hit, X, Y)) {
            if (FCheckedMode)
                SetChecked(!FChecked);
            if (FRollUpMode)
                SetRollUpState(!FRollUpState);
        }
    }
    TspSkinCustomControl::MouseUp(Button, Shift, X, Y);
}

void TspSkinPanel::TextChanged()
{
    TspSkinCustomControl::TextChanged();
    if (FCaptionMode)
        Repaint();
}

void TspSkinPanel::CheckParentBackground()
{
    if (FTransparentMode || FAlphaBlend) {
        Repaint();
        CheckControlsBackground();
    }
}

void TspSkinPanel::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_MOVE) {
        TspSkinCustomControl::WndProc(Message);
        if (FTransparentMode) {
            Repaint();
            CheckControlsBackground();
        }
        return;
    }
    TspSkinCustomControl::WndProc(Message);
}

// ---- TspSkinPaintPanel ----

TspSkinPaintPanel::TspSkinPaintPanel(TComponent* AOwner) : TspSkinPanel(AOwner) { ForcebackGround = false; }

void TspSkinPaintPanel::DrawDefaultImage(TBitmap* B)
{
    TspSkinPanel::DrawDefaultImage(B);
    if (OnPanelPaint)
        OnPanelPaint(B->Canvas(), GetSkinClientRect());
}

void TspSkinPaintPanel::DrawSkinImage(TBitmap* B)
{
    TspSkinPanel::DrawSkinImage(B);
    if (OnPanelPaint)
        OnPanelPaint(B->Canvas(), GetSkinClientRect());
}

void TspSkinPaintPanel::DrawPanelContent(TCanvas* C)
{
    if (OnPanelPaint)
        OnPanelPaint(C, GetSkinClientRect());
}

// ---- TspSkinGroupBox ----

TspSkinGroupBox::TspSkinGroupBox(TComponent* AOwner) : TspSkinPanel(AOwner)
{
    FSkinDataName = "groupbox";
    FCaptionMode = true;
}

void TspSkinGroupBox::GetSkinData()
{
    TspSkinPanel::GetSkinData();
    // A caption under the client part needs the whole picture composed.
    if (FIndex != -1 && CaptionRect.top > ClRect.bottom)
        ForcebackGround = false;
}

// ---- TspSkinStatusBar ----

TspSkinStatusBar::TspSkinStatusBar(TComponent* AOwner) : TspSkinPanel(AOwner)
{
    FSkinDataName = "statusbar";
    FBorderStyle = TspSkinBorderStyle::bvNone;
    ForcebackGround = false;
    SetAlign(alBottom);
    SetHeight(21);
}

void TspSkinStatusBar::SetSizeGrip(bool Value)
{
    FSizeGrip = Value;
    Repaint();
    Realign();
}

void TspSkinStatusBar::SetShowGrip(bool Value)
{
    FShowGrip = Value;
    Repaint();
    Realign();
}

void TspSkinStatusBar::GetSkinData()
{
    TspSkinPanel::GetSkinData();
    if (FIndex == -1)
        return;
    if (auto* p = dynamic_cast<TspDataSkinPanelControl*>(FSD->CtrlList[FIndex].get())) {
        GripperRect = p->GripperRect;
        GripperTransparent = p->GripperTransparent;
        GripperTransparentColor = p->GripperTransparentColor;
    }
}

void TspSkinStatusBar::SetSkinData(TspSkinData* Value)
{
    TspSkinPanel::SetSkinData(Value);
    for (int i = 0; i < ControlCount(); ++i) {
        if (auto* w = dynamic_cast<TspSkinControl*>(Controls(i)))
            w->SetSkinData(Value);
        else if (auto* g = dynamic_cast<TspGraphicSkinControl*>(Controls(i)))
            g->SetSkinData(Value);
    }
}

void TspSkinStatusBar::AdjustClientRect(TRect& Rect)
{
    TspSkinPanel::AdjustClientRect(Rect);
    if (!GripOn())
        return;
    if (FIndex != -1 && !EmptyRect(GripperRect))
        Rect.right -= RectWidth(GripperRect);
    else
        Rect.right -= RectHeight(Rect);
}

TRect TspSkinStatusBar::GripRect()
{
    if (!GripOn())
        return TRect();
    const TRect c = GetSkinClientRect();
    if (FIndex != -1 && !EmptyRect(GripperRect))
        return TRect(c.right, c.bottom - RectHeight(GripperRect), c.right + RectWidth(GripperRect), c.bottom);
    return TRect(c.right + 2, c.top, c.right + RectHeight(c), c.bottom - 2);
}

void DrawGripLines(TCanvas* Canvas, TRect G, TColor Shadow, TColor Highlight)
{
    const int most = RectWidth(G) / 3 + 1;
    for (int i = 1, o = 3; i <= most && G.left + o + 2 <= G.right; ++i, o += 3) {
        Canvas->Pen()->SetColor(Shadow);
        Canvas->MoveTo(G.left + o, G.bottom);
        Canvas->LineTo(G.right, G.top + o);
        Canvas->Pen()->SetColor(Highlight);
        Canvas->MoveTo(G.left + o + 1, G.bottom);
        Canvas->LineTo(G.right, G.top + o + 1);
    }
}

void TspSkinStatusBar::DrawGrip(TCanvas* Canvas)
{
    const TRect g = GripRect();
    if (EmptyRect(g))
        return;
    if (FIndex == -1 || EmptyRect(GripperRect)) {
        DrawGripLines(Canvas, g, SkinColor(FSD, &TspSkinColors::cBtnShadow, clBtnShadow),
                      SkinColor(FSD, &TspSkinColors::cBtnHighLight, clBtnHighlight));
        return;
    }
    if (!Picture || GripperRect.left < 0 || GripperRect.top < 0 || GripperRect.right > Picture->Width() ||
        GripperRect.bottom > Picture->Height())
        return;
    TBitmap b;
    b.SetSize(RectWidth(GripperRect), RectHeight(GripperRect));
    b.Canvas()->CopyRect(TRect(0, 0, b.Width(), b.Height()), Picture->Canvas(), GripperRect);
    if (GripperTransparent) {
        b.SetTransparentMode(tmFixed);
        b.SetTransparentColor(GripperTransparentColor);
        b.SetTransparent(true);
    }
    Canvas->Draw(g.left, g.top, &b);
}

void TspSkinStatusBar::DrawDefaultImage(TBitmap* B)
{
    TspSkinPanel::DrawDefaultImage(B);
    DrawGrip(B->Canvas());
}

void TspSkinStatusBar::DrawSkinImage(TBitmap* B)
{
    TspSkinPanel::DrawSkinImage(B);
    DrawGrip(B->Canvas());
}

void TspSkinStatusBar::WndProc(TMessage& Message)
{
    const bool grip = GripOn() && !ComponentState().Contains(csDesigning);
    if (grip && Message.Msg == WM_NCHITTEST) {
        const TPoint p = ScreenToClient(TPoint(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)));
        Message.Result = PointInEdges(GripRect(), p.x, p.y) ? HTBOTTOMRIGHT : HTCLIENT;
        return;
    }
    // The grip sizes the form: its own size loop runs from its bottom-right
    // corner. Left to the default handling, the bar would size itself.
    if (grip && Message.Msg == WM_NCLBUTTONDOWN && Message.WParam == HTBOTTOMRIGHT) {
        if (TCustomForm* form = GetParentForm(this)) {
            Message.Result = SendMessage(form->Handle(), WM_NCLBUTTONDOWN, HTBOTTOMRIGHT, Message.LParam);
            return;
        }
    }
    TspSkinPanel::WndProc(Message);
}

// ---- descriptions ----

void TspSkinPanel::DeclarePublished(TPublisher<TspSkinPanel>& P)
{
    using C = TspSkinPanel;
    P.Property("Caption", &C::Caption, &C::SetCaption, "");
    P.Property("CaptionMode", &C::CaptionMode, &C::SetCaptionMode, false);
    P.Property("DefaultCaptionHeight", &C::DefaultCaptionHeight, &C::SetDefaultCaptionHeight, 22);
    P.Property("DefaultAlignment", &C::DefaultAlignment, &C::SetDefaultAlignment, taLeftJustify);
    P.Property("BorderStyle", &C::BorderStyle, &C::SetBorderStyle, TspSkinBorderStyle::bvFrame);
    P.Property("RibbonStyle", &C::RibbonStyle, &C::SetRibbonStyle, false);
    P.Property("TransparentMode", &C::TransparentMode, &C::SetTransparentMode, false);
    P.Property("CheckedMode", &C::CheckedMode, &C::SetCheckedMode, false);
    P.Property("Checked", &C::Checked, &C::SetChecked, false);
    P.Property("AutoEnabledControls", &C::AutoEnabledControls, &C::SetAutoEnabledControls, true);
    P.Property("RollUpMode", &C::RollUpMode, &C::SetRollUpMode, false);
    P.Property("RollUpState", &C::RollUpState, &C::SetRollUpState, false);
    P.Property("RealHeight", &C::RealHeight, nullptr, -1);
    P.Property("Glyph", &C::Glyph, &C::SetGlyph);
    TPropertyInfo& glyphs = P.Property("NumGlyphs", &C::NumGlyphs, &C::SetNumGlyphs, TspSkinPanelNumGlyphs(1));
    glyphs.Min = 1;
    glyphs.Max = 2;
    P.Property("Spacing", &C::Spacing, &C::SetSpacing, 2);
    P.Property("CaptionImageList", &C::CaptionImageList, &C::SetCaptionImageList);
    P.Property("CaptionImageIndex", &C::CaptionImageIndex, &C::SetCaptionImageIndex, -1);
    P.Property("ImagePosition", &C::ImagePosition, &C::SetImagePosition, tarnello::skinpanels::spipDefault);
    P.Property("OnChecked", &C::OnChecked);
    P.Property("OnChangeRollUpState", &C::OnChangeRollUpState);
}

void TspSkinPaintPanel::DeclarePublished(TPublisher<TspSkinPaintPanel>& P)
{
    P.Property("OnPanelPaint", &TspSkinPaintPanel::OnPanelPaint);
}

void TspSkinGroupBox::DeclarePublished(TPublisher<TspSkinGroupBox>& P)
{
    P.Property("UseSkinSize", &TspSkinGroupBox::UseSkinSize, &TspSkinGroupBox::SetUseSkinSize, true);
}

void TspSkinStatusBar::DeclarePublished(TPublisher<TspSkinStatusBar>& P)
{
    P.Property("SizeGrip", &TspSkinStatusBar::SizeGrip, &TspSkinStatusBar::SetSizeGrip, false);
}

void RegisterSkinPanelsClasses()
{
    RegisterClasses<TspSkinPanel, TspSkinPaintPanel, TspSkinGroupBox, TspSkinStatusBar>();
}
