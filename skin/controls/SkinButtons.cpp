#include "skin/controls/SkinButtons.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/gui/ActnList.h"
#include "platform/gui/Menus.h"
#include "platform/user/Input.h"
#include "skin/controls/SkinToolBar.h"
#include "skin/core/EffectBmp.h"
#include "skin/core/GlyphLayout.h"
#include "skin/core/LayerManager.h"
#include "skin/core/ResourceStrData.h"
#include "skin/core/SkinDrawGlyphs.h"
#include "skin/core/SkinImage.h"
#include "skin/core/SkinMessages.h"
#include "skin/core/SkinStrips.h"
#include "skin/core/SkinWindowData.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr unsigned kMorphInterval = 20;
constexpr unsigned kRepeatDelay = 500;
constexpr TColor kHotFrame = 0x800000, kHotFill = 0xD2BDB6, kDownFill = 0xB59385;

bool EmptyRect(const TRect& R) { return R.right <= R.left || R.bottom <= R.top; }

void ApplyMorph(TspEffectBmp* From, const TspEffectBmp* To, TMorphKind Kind, double Kf)
{
    switch (Kind) {
    case mkGradient: From->MorphGrad(To, Kf); break;
    case mkLeftGradient: From->MorphLeftGrad(To, Kf); break;
    case mkRightGradient: From->MorphRightGrad(To, Kf); break;
    case mkLeftSlide: From->MorphLeftSlide(To, Kf); break;
    case mkRightSlide: From->MorphRightSlide(To, Kf); break;
    case mkPush: From->MorphPush(To, Kf); break;
    default: From->Morph(To, Kf); break;
    }
}

TBitmap* ActivePicture(const TspSkinData& Data, int Index)
{
    if (Index < 0 || Index >= static_cast<int>(Data.FActivePictures.size()))
        return nullptr;
    TBitmap* b = Data.FActivePictures[Index].get();
    return b && b->Width() > 0 && b->Height() > 0 ? b : nullptr;
}

}  // namespace

void MorphBitmaps(TBitmap* B, TBitmap* To, TMorphKind Kind, double Kf)
{
    std::unique_ptr<TspEffectBmp> from(TspEffectBmp::CreateFromhWnd(B->Handle()));
    std::unique_ptr<TspEffectBmp> to(TspEffectBmp::CreateFromhWnd(To->Handle()));
    if (!from || !to || from->Width != to->Width || from->Height != to->Height)
        return;
    ApplyMorph(from.get(), to.get(), Kind, std::clamp(Kf, 0.0, 1.0));
    from->Draw(B->Canvas()->Handle(), 0, 0);
}

bool MorphStep(double& Kf, bool Up)
{
    if (Up && Kf < 1)
        Kf = std::min(1.0, std::round((Kf + 0.2) * 10) / 10);
    else if (!Up && Kf > 0)
        Kf = std::max(0.0, std::round((Kf - 0.2) * 10) / 10);
    else {
        Kf = Up ? 1 : 0;
        return false;
    }
    return true;
}

// ---- the shared core ---------------------------------------------------------------

template <class TBase>
TspButtonCore<TBase>::TspButtonCore(TComponent* AOwner) : TBase(AOwner), FGlyph(std::make_unique<TBitmap>())
{
    // Clicks come from the button's own press and release, not the platform's.
    TControlStyle s = this->ControlStyle();
    s.Exclude(csClickEvents);
    this->SetControlStyle(s);
}

template <class TBase>
TspButtonCore<TBase>::~TspButtonCore()
{
    StopRepeat();
    StopAnimate();
    StopMorph();
}

template <class TBase>
TTimer* TspButtonCore<TBase>::MakeTimer(TTimer*& Timer, unsigned Interval, void (TspButtonCore::*Tick)(TObject*))
{
    if (!Timer) {
        Timer = new TTimer(this);
        Timer->SetEnabled(false);
        Timer->SetOnTimer(MakeEvent(this, Tick));
    }
    Timer->SetInterval(Interval);
    return Timer;
}

template <class TBase>
void TspButtonCore<TBase>::SetGlyph(TBitmap* Value)
{
    if (Value)
        FGlyph->Assign(Value);
    else
        FGlyph->SetSize(0, 0);
    this->Repaint();
}

template <class TBase>
void TspButtonCore<TBase>::SetNumGlyphs(TspNumGlyphs Value)
{
    if (Value < 1 || Value > 4)
        return;
    FNumGlyphs = Value;
    this->Repaint();
}

template <class TBase>
void TspButtonCore<TBase>::SetImageList(TCustomImageList* Value)
{
    if (FImageList == Value)
        return;
    SetComponentReference(this, FImageList, Value);
    this->Repaint();
}

template <class TBase>
void TspButtonCore<TBase>::SetImageIndex(int Value)
{
    if (FImageIndex == Value)
        return;
    FImageIndex = Value;
    this->Repaint();
}

template <class TBase>
void TspButtonCore<TBase>::SetLayout(TspButtonLayout Value)
{
    if (FLayout == Value)
        return;
    FLayout = Value;
    this->Repaint();
}

template <class TBase>
void TspButtonCore<TBase>::SetMargin(int Value)
{
    if (Value < -1 || Value == FMargin)
        return;
    FMargin = Value;
    this->Repaint();
}

template <class TBase>
void TspButtonCore<TBase>::SetSpacing(int Value)
{
    if (Value == FSpacing)
        return;
    FSpacing = Value;
    this->Repaint();
}

template <class TBase>
void TspButtonCore<TBase>::SetRepeatInterval(int Value)
{
    if (Value >= 1)
        FRepeatInterval = Value;
}

template <class TBase>
void TspButtonCore<TBase>::SetUseSkinSize(bool Value)
{
    FUseSkinSize = Value;
    this->Repaint();
}

template <class TBase>
void TspButtonCore<TBase>::SetUseSkinFontColor(bool Value)
{
    FUseSkinFontColor = Value;
    this->Repaint();
}

template <class TBase>
void TspButtonCore<TBase>::SetCheckedMode(bool Value)
{
    FCheckedMode = Value;
    if (Value)
        SetGroupIndex(-1);
    else if (FGroupIndex == -1)
        SetGroupIndex(0);
}

template <class TBase>
void TspButtonCore<TBase>::SetDown(bool Value)
{
    FDown = Value;
    if (MorphingApplies()) {
        FMorphKf = 1;
        if (Value)
            StopMorph();
        else
            StartMorph();
    }
    DownChanged();
    this->Repaint();
    // A group holds one pressed button: the others come up.
    if (Value && FGroupIndex > 0 && this->Parent()) {
        TWinControl* p = this->Parent();
        for (int i = 0; i < p->ControlCount(); ++i) {
            auto* other = dynamic_cast<TspButtonCore*>(p->Controls(i));
            if (other && other != this && other->FGroupIndex == FGroupIndex && other->FDown)
                other->SetDown(false);
        }
    }
}

template <class TBase>
void TspButtonCore<TBase>::Notification(TComponent* AComponent, TOperation Operation)
{
    TBase::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImageList)
        FImageList = nullptr;
}

// ---- skin ----

template <class TBase>
void TspButtonCore<TBase>::GetSkinData()
{
    TBase::GetSkinData();
    if (this->FIndex == -1) {
        Morphing = false;
        AnimateSkinRect = TRect();
        return;
    }
    auto* piece = dynamic_cast<TspDataSkinButtonControl*>(this->FSD->CtrlList[this->FIndex].get());
    if (!piece)
        return;
    FontName = piece->FontName;
    FontStyle = piece->FontStyle;
    FontHeight = piece->FontHeight;
    FontColor = piece->FontColor;
    ActiveFontColor = piece->ActiveFontColor;
    DownFontColor = piece->DownFontColor;
    ActiveSkinRect = EmptyRect(piece->ActiveSkinRect) ? this->SkinRect : piece->ActiveSkinRect;
    DownSkinRect = EmptyRect(piece->DownSkinRect) ? ActiveSkinRect : piece->DownSkinRect;
    Morphing = piece->Morphing;
    MorphKind = piece->MorphKind;
    DisabledSkinRect = piece->DisabledSkinRect;
    FocusedSkinRect = piece->FocusedSkinRect;
    DisabledFontColor = piece->DisabledFontColor == FontColor ? TColor(0x808080) : piece->DisabledFontColor;
    AnimateSkinRect = piece->AnimateSkinRect;
    FrameCount = piece->FrameCount;
    AnimateInterval = piece->AnimateInterval;
    ShowFocus = piece->ShowFocus;
    MenuMarkerRect = piece->MenuMarkerRect;
    MenuMarkerActiveRect = EmptyRect(piece->MenuMarkerActiveRect) ? MenuMarkerRect : piece->MenuMarkerActiveRect;
    MenuMarkerDownRect = EmptyRect(piece->MenuMarkerDownRect) ? MenuMarkerActiveRect : piece->MenuMarkerDownRect;
    MenuMarkerFlatRect = EmptyRect(piece->MenuMarkerFlatRect) ? MenuMarkerRect : piece->MenuMarkerFlatRect;
    MenuMarkerTransparentColor = piece->MenuMarkerTransparentColor;
    // The running frame stands in for the hot look (forward) or the normal
    // one (backward).
    if (EffectsApply() && AnimateTimer && AnimateTimer->Enabled() && CanAnimate() && CurrentFrame >= 1 &&
        CurrentFrame <= FrameCount) {
        const TRect& a = AnimateSkinRect;
        TRect frame;
        if (a.right - a.left > this->SkinWidth()) {
            const int w = (a.right - a.left) / FrameCount;
            frame = TRect(a.left + (CurrentFrame - 1) * w, a.top, a.left + CurrentFrame * w, a.bottom);
        } else {
            const int h = (a.bottom - a.top) / FrameCount;
            frame = TRect(a.left, a.top + (CurrentFrame - 1) * h, a.right, a.top + CurrentFrame * h);
        }
        if (AnimateInc)
            ActiveSkinRect = frame;
        else
            this->SkinRect = frame;
    }
}

template <class TBase>
void TspButtonCore<TBase>::AdjustSizeToSkin(int& AWidth, int& AHeight)
{
    if (FUseSkinSize || this->ResizeMode == 1) {
        TBase::AdjustSizeToSkin(AWidth, AHeight);
        return;
    }
    const int dx = AWidth - this->SkinWidth(), dy = AHeight - this->SkinHeight();
    const TRect& c = this->ClRect;
    this->NewClRect = TRect(c.left, c.top, c.right + dx, c.bottom + dy);
}

template <class TBase>
void TspButtonCore<TBase>::ChangeSkinData()
{
    StopAnimate();
    StopMorph();
    FMorphKf = 0;
    TBase::ChangeSkinData();
    if (MorphingApplies() && this->FIndex != -1 && Hot())
        FMorphKf = 1;
}

// ---- painting ----

template <class TBase>
int TspButtonCore<TBase>::GlyphNumber(bool ADown, bool AActive) const
{
    if (ADown && AActive && FNumGlyphs > 2)
        return 3;
    if (AActive && FNumGlyphs > 3)
        return 4;
    if (this->Enabled() || FNumGlyphs < 2)
        return 1;
    return 2;
}

template <class TBase>
void TspButtonCore<TBase>::SetStateFont(TCanvas* Canvas, bool ADown, bool AActive)
{
    TFont* f = Canvas->Font();
    if (this->FUseSkinFont) {
        f->SetName(FontName);
        f->SetHeight(FontHeight);
        f->SetStyle(FontStyle);
    } else {
        f->Assign(this->DefaultFont());
    }
    if (this->FSD && this->FSD->ResourceStrData())
        f->SetCharset(this->FSD->ResourceStrData()->CharSet());
    else
        f->SetCharset(this->DefaultFont()->Charset());
    if (this->Enabled() && !FUseSkinFontColor)
        f->SetColor(this->DefaultFont()->Color());
    else if (!this->Enabled())
        f->SetColor(DisabledFontColor);
    else if (ADown && AActive)
        f->SetColor(DownFontColor);
    else if (AActive)
        f->SetColor(ActiveFontColor);
    else
        f->SetColor(FontColor);
}

template <class TBase>
void TspButtonCore<TBase>::SetDefaultLookFont(TCanvas* Canvas)
{
    TFont* f = Canvas->Font();
    f->Assign(this->DefaultFont());
    if (this->FSD && this->FSD->ResourceStrData())
        f->SetCharset(this->FSD->ResourceStrData()->CharSet());
    if (!this->Enabled())
        f->SetColor(clBtnShadow);
}

template <class TBase>
void TspButtonCore<TBase>::DrawDefaultFace(TCanvas* Canvas, TRect R, bool APressed, bool AHot)
{
    const TColor frame = APressed || AHot ? kHotFrame : clBtnShadow;
    const TColor fill = APressed ? kDownFill : AHot ? kHotFill : clBtnFace;
    Canvas->Brush()->SetColor(frame);
    Canvas->FillRect(R);
    Canvas->Brush()->SetColor(fill);
    Canvas->FillRect(TRect(R.left + 1, R.top + 1, R.right - 1, R.bottom - 1));
}

template <class TBase>
bool TspButtonCore<TBase>::DoPaintEvent(TCanvas* Canvas, TRect R, bool ADown, bool AActive)
{
    bool drawDefault = true;
    if (OnPaint)
        OnPaint(this, Canvas, R, ADown, AActive, drawDefault);
    return drawDefault;
}

template <class TBase>
void TspButtonCore<TBase>::DrawGlyphCaption(TCanvas* Canvas, TRect R, bool ADown, bool AActive)
{
    Canvas->Brush()->SetStyle(bsClear);
    if (FImageList && FImageIndex >= 0 && FImageIndex < FImageList->Count())
        DrawImageAndText(Canvas, R, FMargin, FSpacing, FLayout, CaptionText(), FImageIndex, FImageList, false,
                         this->Enabled(), false, 0);
    else
        DrawGlyphAndText(Canvas, R, FMargin, FSpacing, FLayout, CaptionText(), FGlyph.get(), FNumGlyphs,
                         GlyphNumber(ADown, AActive), false, false, 0);
}

template <class TBase>
void TspButtonCore<TBase>::DrawDefaultImage(TBitmap* B)
{
    const TRect r = this->ClientRect();
    TCanvas* c = B->Canvas();
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(r);
    SetDefaultLookFont(c);
    DrawDefaultFace(c, r, Pressed(), FMouseIn || FocusedLook());
    if (DoPaintEvent(c, r, FDown, FMouseIn))
        DrawGlyphCaption(c, r, FDown, FMouseIn);
}

template <class TBase>
void TspButtonCore<TBase>::DrawButtonState(TBitmap* B, TRect R, bool ADown, bool AActive)
{
    TRect text;
    if (FUseSkinSize || this->ResizeMode == 1) {
        this->ComposeSkinImage(B, this->Picture, R);
        text = this->NewClRect;
    } else {
        const int w = B->Width(), h = B->Height();
        if (this->Picture && !EmptyRect(R)) {
            if (this->ResizeMode == 0)
                B->Canvas()->CopyRect(TRect(0, 0, w, h), this->Picture->Canvas(), R);
            else
                CreateStretchImage(B, this->Picture, R, this->ClRect, true);
        }
        const TRect& c = this->ClRect;
        text = TRect(c.left, c.top, c.right + w - (R.right - R.left), c.bottom + h - (R.bottom - R.top));
    }
    TCanvas* c = B->Canvas();
    SetStateFont(c, ADown, AActive);
    if (ShowFocus)
        DrawFocus(c, text);
    if (DoPaintEvent(c, text, ADown, AActive))
        DrawGlyphCaption(c, text, ADown, AActive);
}

template <class TBase>
void TspButtonCore<TBase>::DrawSkinImage(TBitmap* B)
{
    if (MorphingApplies() && FMorphKf != 0 && FMorphKf != 1 && this->Enabled()) {
        DrawButtonState(B, this->SkinRect, false, false);
        if (!FMorphTo)
            FMorphTo = std::make_unique<TBitmap>();
        if (FMorphTo->Width() != B->Width() || FMorphTo->Height() != B->Height())
            FMorphTo->SetSize(B->Width(), B->Height());
        DrawButtonState(FMorphTo.get(), ActiveSkinRect, false, true);
        MorphBitmaps(B, FMorphTo.get(), MorphKind, FMorphKf);
        return;
    }
    if (!this->Enabled() && !EmptyRect(DisabledSkinRect))
        DrawButtonState(B, DisabledSkinRect, false, false);
    else if (Pressed())
        DrawButtonState(B, DownSkinRect, true, true);
    else if (FocusedLook() && !EmptyRect(FocusedSkinRect) && !(AnimateTimer && AnimateTimer->Enabled()))
        DrawButtonState(B, FocusedSkinRect, false, true);
    else if (Hot() || (MorphingApplies() && FMorphKf == 1))
        DrawButtonState(B, ActiveSkinRect, false, true);
    else
        DrawButtonState(B, this->SkinRect, false, false);
}

// ---- morph, animation, repeat ----

template <class TBase>
void TspButtonCore<TBase>::StartMorph()
{
    if (MorphingApplies() && this->FIndex != -1) {
        if (!MorphTimer || !MorphTimer->Enabled())
            MakeTimer(MorphTimer, kMorphInterval, &TspButtonCore::MorphTick)->SetEnabled(true);
    } else {
        this->Repaint();
    }
}

template <class TBase>
void TspButtonCore<TBase>::StopMorph()
{
    if (MorphTimer)
        MorphTimer->SetEnabled(false);
}

template <class TBase>
void TspButtonCore<TBase>::MorphTick(TObject*)
{
    if (!MorphingApplies() || this->FIndex == -1) {
        FMorphKf = MorphTarget() ? 1 : 0;
        StopMorph();
        return;
    }
    if (!MorphStep(FMorphKf, MorphTarget()))
        StopMorph();
    this->Repaint();
}

template <class TBase>
bool TspButtonCore<TBase>::CanAnimate() const
{
    return FrameCount > 0 && AnimateInterval > 0 && !EmptyRect(AnimateSkinRect);
}

template <class TBase>
void TspButtonCore<TBase>::StartAnimate(bool Forward)
{
    if (!EffectsApply() || this->FIndex == -1 || !CanAnimate())
        return;
    StopAnimate();
    AnimateInc = Forward;
    CurrentFrame = Forward ? 1 : FrameCount;
    MakeTimer(AnimateTimer, static_cast<unsigned>(AnimateInterval), &TspButtonCore::AnimateTick)->SetEnabled(true);
}

template <class TBase>
void TspButtonCore<TBase>::StopAnimate()
{
    if (AnimateTimer)
        AnimateTimer->SetEnabled(false);
    CurrentFrame = 0;
}

template <class TBase>
void TspButtonCore<TBase>::AnimateTick(TObject*)
{
    if (AnimateInc) {
        if (CurrentFrame <= FrameCount) {
            ++CurrentFrame;
            this->Repaint();
        }
        if (CurrentFrame > FrameCount)
            StopAnimate();
    } else {
        if (CurrentFrame >= 0) {
            --CurrentFrame;
            this->Repaint();
        }
        if (CurrentFrame <= 0)
            StopAnimate();
    }
}

template <class TBase>
void TspButtonCore<TBase>::StartRepeat()
{
    StopRepeat();
    FRepeatFirst = true;
    MakeTimer(RepeatTimer, kRepeatDelay, &TspButtonCore::RepeatTick)->SetEnabled(true);
}

template <class TBase>
void TspButtonCore<TBase>::StopRepeat()
{
    if (RepeatTimer)
        RepeatTimer->SetEnabled(false);
}

template <class TBase>
void TspButtonCore<TBase>::RepeatTick(TObject*)
{
    if (FRepeatFirst) {
        FRepeatFirst = false;
        RepeatTimer->SetInterval(static_cast<unsigned>(FRepeatInterval));
        return;
    }
    ButtonClick();
}

template <class TBase>
void TspButtonCore<TBase>::RefreshButton()
{
    FMouseIn = false;
    FDown = false;
    if (MorphingApplies())
        FMorphKf = 0;
    if (EffectsApply())
        StopAnimate();
    this->Repaint();
}

template <class TBase>
void TspButtonCore<TBase>::ButtonClick()
{
    // The platform's click: OnClick, or the linked action.
    if (Designing() && this->Action() && !this->OnClick)
        return;
    this->TControl::Click();
}

// ---- mouse ----

template <class TBase>
void TspButtonCore<TBase>::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TBase::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    StopAnimate();
    FMouseDown = true;
    if (!FDown) {
        FMouseIn = true;
        SetDown(true);
        if (FGroupIndex == -1) {
            FStopMouseUp = true;
            ButtonClick();
        } else if (FRepeatMode && FGroupIndex == 0) {
            StartRepeat();
        } else if (FGroupIndex != 0) {
            ButtonClick();
        }
        FAllowAllUpCheck = false;
    } else if (FGroupIndex != 0) {
        FAllowAllUpCheck = true;
    }
}

template <class TBase>
void TspButtonCore<TBase>::MouseMove(TShiftState Shift, int X, int Y)
{
    TBase::MouseMove(Shift, X, Y);
    if (!FMouseDown || !FDown)
        return;
    const bool inside = X >= 0 && X <= this->Width() && Y >= 0 && Y <= this->Height();
    if (!inside && FMouseIn)
        this->Perform(CM_MOUSELEAVE, 0, 0);
    else if (inside && !FMouseIn)
        this->Perform(CM_MOUSEENTER, 0, 0);
}

template <class TBase>
void TspButtonCore<TBase>::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft) {
        const bool wasDown = FDown;
        FMouseDown = false;
        if (FGroupIndex == -1) {
            if (FStopMouseUp) {
                FStopMouseUp = false;
            } else {
                SetDown(false);
                ButtonClick();
            }
        } else if (FGroupIndex == 0) {
            if (FMouseIn) {
                SetDown(false);
                StopRepeat();
                if (wasDown)
                    ButtonClick();
            } else {
                FDown = false;
                StopRepeat();
            }
        } else if (wasDown && FAllowAllUp && FAllowAllUpCheck && FMouseIn) {
            SetDown(false);
            ButtonClick();
        }
    }
    // A click handler may have hidden the button or closed its window.
    if (this->Visible())
        TBase::MouseUp(Button, Shift, X, Y);
}

template <class TBase>
void TspButtonCore<TBase>::MouseEnter()
{
    TBase::MouseEnter();
    if (!this->Enabled() || Designing())
        return;
    FMouseIn = true;
    if (LookFollowsPointer()) {
        if (FDown) {
            if (MorphingApplies())
                FMorphKf = 1;
            this->Repaint();
        } else {
            StartAnimate(true);
            StartMorph();
        }
    }
    if (FDown && FRepeatMode && FGroupIndex == 0)
        StartRepeat();
    PointerEntered();
}

template <class TBase>
void TspButtonCore<TBase>::MouseLeave()
{
    TBase::MouseLeave();
    if (!this->Enabled() || Designing())
        return;
    FMouseIn = KeepsHotOnLeave();
    if (LookFollowsPointer()) {
        StartAnimate(false);
        StartMorph();
    }
    if (FDown && FRepeatMode && FGroupIndex == 0)
        StopRepeat();
    PointerLeft();
}

template <class TBase>
void TspButtonCore<TBase>::EnabledChanged()
{
    TBase::EnabledChanged();
    if (MorphingApplies()) {
        StopMorph();
        FMorphKf = 0;
    }
    FMouseIn = false;
    this->Repaint();
}

template <class TBase>
void TspButtonCore<TBase>::TextChanged()
{
    TBase::TextChanged();
    if (this->FIndex != -1 || Designing() || this->FDrawDefault)
        this->Repaint();
}

template class TspButtonCore<TspSkinCustomControl>;
template class TspButtonCore<TspGraphicSkinCustomControl>;

// ---- TspSkinButton -------------------------------------------------------------------

TspSkinButton::TspSkinButton(TComponent* AOwner) : TspButtonCore(AOwner)
{
    FLayerManager = new TspLayerManager(this);
    FSkinDataName = "button";
    SetTabStop(true);
    SetBounds(Left(), Top(), 75, 25);
}

TspSkinButton::~TspSkinButton() = default;

bool TspSkinButton::FocusedLook() const
{
    return FCanFocused && const_cast<TspSkinButton*>(this)->Focused();
}

bool TspSkinButton::Pressed() const
{
    return FDown && (FMouseIn || (FocusedLook() && !FMouseDown) || FGroupIndex != 0);
}

bool TspSkinButton::LookFollowsPointer() const
{
    return FGroupIndex != 0 ? !FDown : (FDown || !FocusedLook());
}

bool TspSkinButton::KeepsHotOnLeave() const
{
    // The active default button stays hot while the focus is elsewhere:
    // Enter will press it.
    return FCanFocused && FDefault && FActive && !FocusedLook();
}

void TspSkinButton::SetCanFocused(bool Value)
{
    FCanFocused = Value;
    SetTabStop(Value);
}

void TspSkinButton::SetGroupIndex(int Value)
{
    TspButtonCore::SetGroupIndex(Value);
    if (Value != 0)
        SetCanFocused(false);
}

void TspSkinButton::SetDefault(bool Value)
{
    FDefault = Value;
    if (HandleAllocated() && FCanFocused && !Designing())
        if (TCustomForm* form = GetParentForm(this))
            form->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(form->ActiveControl()));
}

void TspSkinButton::CreateWnd()
{
    TspButtonCore::CreateWnd();
    FActive = FDefault;
}

void TspSkinButton::GetSkinData()
{
    TspButtonCore::GetSkinData();
    if (FIndex == -1)
        return;
    auto* piece = dynamic_cast<TspDataSkinButtonControl*>(FSD->CtrlList[FIndex].get());
    if (!piece)
        return;
    // A freely sized button has no window region.
    if (!FUseSkinSize)
        MaskPicture = nullptr;
    GlowLayerPictureIndex = piece->GlowLayerPictureIndex;
    GlowLayerMaskPictureIndex = piece->GlowLayerMaskPictureIndex;
    GlowLayerOffsetLeft = piece->GlowLayerOffsetLeft;
    GlowLayerOffsetRight = piece->GlowLayerOffsetRight;
    GlowLayerOffsetTop = piece->GlowLayerOffsetTop;
    GlowLayerOffsetBottom = piece->GlowLayerOffsetBottom;
    GlowLayerShowOffsetX = piece->GlowLayerShowOffsetX;
    GlowLayerShowOffsetY = piece->GlowLayerShowOffsetY;
    GlowLayerAlphaBlendValue = piece->GlowLayerAlphaBlendValue;
}

void TspSkinButton::ChangeSkinData()
{
    TspButtonCore::ChangeSkinData();
    if (MorphingApplies() && FIndex != -1 && FocusedLook())
        FMorphKf = 1;
    if (FMouseIn && HandleAllocated())
        PostMessage(Handle(), WM_SHOWBUTTONLAYER, 0, 0);
}

void TspSkinButton::BeforeChangeSkinData()
{
    TspButtonCore::BeforeChangeSkinData();
    if (FLayerManager->IsVisible)
        FLayerManager->Hide();
}

void TspSkinButton::ButtonClick()
{
    if (FCanFocused)
        if (TCustomForm* form = GetParentForm(this))
            form->SetModalResult(FModalResult);
    TspButtonCore::ButtonClick();
}

void TspSkinButton::DrawFocus(TCanvas* Canvas, TRect R)
{
    if (!FocusedLook())
        return;
    const TColor face = FSD && FSD->SkinColors() ? FSD->SkinColors()->cBtnFace : clBtnFace;
    Canvas->Brush()->SetColor(face);
    DrawDottedFocusRect(Canvas, R);
}

void TspSkinButton::PointerEntered()
{
    if (HandleAllocated())
        PostMessage(Handle(), WM_SHOWBUTTONLAYER, 0, 0);
}

void TspSkinButton::PointerLeft()
{
    if (HandleAllocated())
        PostMessage(Handle(), WM_HIDEBUTTONLAYER, 0, 0);
}

bool TspSkinButton::GlowApplies() const
{
    return FSD && !FSD->Empty && GlowLayersAvailable() && (FSD->ShowButtonGlowFrames || FAlwaysShowLayeredFrame) &&
           GlowLayerPictureIndex != -1 && (ResizeMode == 0 || ResizeMode == 1 || (ResizeMode == 2 && FUseSkinSize));
}

bool TspSkinButton::FitGlow(TBitmap* Source, std::unique_ptr<TBitmap>& Fitted, TBitmap*& Use) const
{
    Use = nullptr;
    if (!Source)
        return false;
    const int pw = Source->Width(), ph = Source->Height();
    switch (ResizeMode) {
    case 0:
        Use = Source;
        return true;
    case 1: {
        const int w = pw - SkinWidth() + Width(), h = ph - SkinHeight() + Height();
        const TRect cl(GlowLayerOffsetLeft, GlowLayerOffsetTop, pw - GlowLayerOffsetRight, ph - GlowLayerOffsetBottom);
        if (w <= 0 || h <= 0 || EmptyRect(cl))
            return false;
        Fitted = std::make_unique<TBitmap>();
        Fitted->SetSize(w, h);
        CreateStretchImage(Fitted.get(), Source, TRect(0, 0, pw, ph), cl, true);
        break;
    }
    case 2: {
        const int w = pw - SkinWidth() + Width();
        if (w <= 0 || GlowLayerOffsetLeft < 0 || GlowLayerOffsetRight < 0 ||
            GlowLayerOffsetLeft + GlowLayerOffsetRight >= pw)
            return false;
        Fitted = std::make_unique<TBitmap>();
        CreateHSkinImage(GlowLayerOffsetLeft, GlowLayerOffsetRight, Fitted.get(), Source, TRect(0, 0, pw, ph), w, ph,
                         true);
        break;
    }
    default:
        return false;
    }
    Use = Fitted.get();
    return Use->Width() > 0 && Use->Height() > 0;
}

void TspSkinButton::ShowLayer()
{
    GetSkinData();
    if (!GlowApplies() || !HandleAllocated())
        return;
    if (auto* form = dynamic_cast<TCustomForm*>(GetParentForm(this)))
        FLayerManager->TopMostMode = form->FormStyle() == fsStayOnTop;
    std::unique_ptr<TBitmap> glowCopy, maskCopy;
    TBitmap *glow = nullptr, *mask = nullptr;
    if (!FitGlow(ActivePicture(*FSD, GlowLayerPictureIndex), glowCopy, glow) ||
        !FitGlow(ActivePicture(*FSD, GlowLayerMaskPictureIndex), maskCopy, mask))
        return;
    const TPoint p = ClientToScreen(TPoint(0, 0));
    FLayerManager->Show(p.x - GlowLayerShowOffsetX, p.y - GlowLayerShowOffsetY, glow, mask, GlowLayerAlphaBlendValue);
}

void TspSkinButton::HideLayer()
{
    if (FLayerManager->IsVisible)
        FLayerManager->Hide();
}

void TspSkinButton::FocusChanged(TControl* NewFocus)
{
    auto* button = dynamic_cast<TspSkinButton*>(NewFocus);
    FActive = button ? button == this : FDefault;
    if (!FCanFocused || !FDefault)
        return;
    if (button && button != this) {
        FMouseIn = false;
        StartMorph();
    } else if (!button) {
        FMouseIn = true;
        if (MorphingApplies())
            FMorphKf = 1;
        Repaint();
    }
}

void TspSkinButton::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_SHOWBUTTONLAYER:
        ShowLayer();
        return;
    case WM_HIDEBUTTONLAYER:
        HideLayer();
        return;
    case CM_FOCUSCHANGED:
        FocusChanged(reinterpret_cast<TControl*>(Message.LParam));
        break;
    case CM_DIALOGKEY:
        if (Message.WParam == VK_RETURN && FActive && Enabled() && Showing()) {
            ButtonClick();
            Message.Result = 1;
            return;
        }
        if (Message.WParam == VK_ESCAPE && FCancel && FCanFocused && GetKeyState(VK_SHIFT) >= 0 &&
            GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0 && CanFocus()) {
            ButtonClick();
            Message.Result = 1;
            return;
        }
        break;
    case CM_DIALOGCHAR:
        if (IsAccel(static_cast<WORD>(Message.WParam), Caption()) && FCanFocused && CanFocus()) {
            SetFocus();
            ButtonClick();
            Message.Result = 1;
            return;
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (FCanFocused && !Focused() && !Designing() && CanFocus()) {
            FClicksDisabled = true;
            SetFocus();
            FClicksDisabled = false;
            if (!Focused())
                return;
        }
        break;
    case WM_KEYDOWN:
        if (FCanFocused) {
            if (Message.WParam == VK_SPACE && FSpaceSupport) {
                SetDown(true);
                if (FRepeatMode)
                    ButtonClick();
            } else if (Message.WParam == VK_RETURN) {
                ButtonClick();
            }
        }
        break;
    case WM_KEYUP:
        if (FCanFocused && Message.WParam == VK_SPACE && FSpaceSupport && FDown) {
            SetDown(false);
            ButtonClick();
        }
        break;
    case WM_SETFOCUS:
        TspButtonCore::WndProc(Message);
        if (FCanFocused) {
            StartAnimate(true);
            StartMorph();
        }
        return;
    case WM_KILLFOCUS:
        TspButtonCore::WndProc(Message);
        StopRepeat();
        if (FGroupIndex == 0)
            FDown = false;
        if (FCanFocused) {
            StartAnimate(false);
            if (MorphingApplies() && FIndex != -1)
                StartMorph();
            else
                Invalidate();
        }
        return;
    default:
        break;
    }
    TspButtonCore::WndProc(Message);
}

// ---- TspSkinSpeedButton ----------------------------------------------------------------

TspSkinSpeedButton::TspSkinSpeedButton(TComponent* AOwner) : TspButtonCore(AOwner)
{
    SkinDataName = "toolbutton";
    FImageIndex = 0;
    TControlStyle s = ControlStyle();
    s.Include(csOpaque);
    SetControlStyle(s);
    SetBounds(Left(), Top(), 25, 25);
}

TspSkinSpeedButton::~TspSkinSpeedButton() = default;

void TspSkinSpeedButton::SetOpaqueStyle(bool Transparent)
{
    TControlStyle s = ControlStyle();
    if (Transparent)
        s.Exclude(csOpaque);
    else
        s.Include(csOpaque);
    SetControlStyle(s);
}

void TspSkinSpeedButton::SetShowCaption(bool Value)
{
    if (FShowCaption == Value)
        return;
    FShowCaption = Value;
    if (FWidthWithCaption > 0 && FWidthWithoutCaption > 0)
        SetWidth(Value ? FWidthWithCaption : FWidthWithoutCaption);
    else
        Repaint();
}

void TspSkinSpeedButton::SetFlat(bool Value)
{
    FFlat = Value;
    SetOpaqueStyle(Value);
    Repaint();
}

void TspSkinSpeedButton::SetImageIndex(int Value)
{
    if (FImageIndex == Value)
        return;
    FImageIndex = Value;
    if (FImageList || dynamic_cast<TspSkinToolBar*>(Parent()))
        Repaint();
}

void TspSkinSpeedButton::GetSkinData()
{
    TspButtonCore::GetSkinData();
    // A flat button changes its look at once, without a morph.
    if (FFlat)
        Morphing = false;
}

void TspSkinSpeedButton::ChangeSkinData()
{
    TspButtonCore::ChangeSkinData();
}

void TspSkinSpeedButton::Loaded()
{
    TspButtonCore::Loaded();
    if (FFlat && FDown && Transparent())
        SetOpaqueStyle(false);
}

void TspSkinSpeedButton::DownChanged()
{
    if (!FDown && !FMouseIn && FFlat && !Transparent() && !Designing())
        SetOpaqueStyle(true);
}

void TspSkinSpeedButton::MouseEnter()
{
    if (FFlat && LookFollowsPointer() && Enabled())
        SetOpaqueStyle(false);
    TspButtonCore::MouseEnter();
}

void TspSkinSpeedButton::MouseLeave()
{
    if (FFlat && LookFollowsPointer() && Enabled())
        SetOpaqueStyle(true);
    TspButtonCore::MouseLeave();
}

void TspSkinSpeedButton::PointerEntered() {}
void TspSkinSpeedButton::PointerLeft() {}

void TspSkinSpeedButton::DrawGlyphCaption(TCanvas* Canvas, TRect R, bool ADown, bool AActive)
{
    Canvas->Brush()->SetStyle(bsClear);
    const bool noGlyph = FGlyph->Width() == 0 || FGlyph->Height() == 0;
    // On a tool bar without a glyph, the bar's image lists.
    if (auto* bar = dynamic_cast<TspSkinToolBar*>(Parent()); bar && noGlyph) {
        TCustomImageList* list = bar->Images();
        bool enabled = Enabled();
        if (!Enabled() && bar->DisabledImages()) {
            list = bar->DisabledImages();
            enabled = true;
        } else if ((AActive || ADown) && bar->HotImages()) {
            list = bar->HotImages();
        }
        if (list) {
            DrawImageAndText(Canvas, R, FMargin, FSpacing, FLayout, CaptionText(), FImageIndex, list, false, enabled,
                             FDrawColorMarker, FColorMarkerValue);
            return;
        }
    }
    if (noGlyph && FImageList) {
        DrawImageAndText(Canvas, R, FMargin, FSpacing, FLayout, CaptionText(), FImageIndex, FImageList, false,
                         Enabled(), FDrawColorMarker, FColorMarkerValue);
        return;
    }
    DrawGlyphAndText(Canvas, R, FMargin, FSpacing, FLayout, CaptionText(), FGlyph.get(), FNumGlyphs,
                     GlyphNumber(ADown, AActive), false, FDrawColorMarker, FColorMarkerValue);
}

// Only glyph and caption, straight onto the parent's surface.
void TspSkinSpeedButton::DrawFlat(TCanvas* Canvas)
{
    const bool hot = FMouseIn;
    TRect r = ClientRect();
    if (FIndex == -1) {
        SetDefaultLookFont(Canvas);
    } else {
        r = NewClRect;
        TFont* f = Canvas->Font();
        f->Assign(DefaultFont());
        if (FUseSkinFont) {
            f->SetName(FontName);
            f->SetStyle(FontStyle);
            f->SetHeight(FontHeight);
        }
        TspSkinColors* colors = FSD->SkinColors();
        if (!Enabled())
            f->SetColor(colors ? colors->cBtnShadow : clBtnShadow);
        else if (FUseSkinFontColor)
            f->SetColor(colors ? colors->cBtnText : clBtnText);
        if (FSD->ResourceStrData())
            f->SetCharset(FSD->ResourceStrData()->CharSet());
    }
    if (DoPaintEvent(Canvas, r, FDown, hot))
        DrawGlyphCaption(Canvas, r, FDown, hot);
}

void TspSkinSpeedButton::Paint()
{
    if (Width() < 1 || Height() < 1)
        return;
    GetSkinData();
    int w = Width(), h = Height();
    AdjustSizeToSkin(w, h);
    const bool hot = FMouseIn;
    const bool downInGroup = FDown && FGroupIndex != 0;
    if (FFlat && !hot && !Pressed() && !downInGroup) {
        DrawFlat(Canvas());
        return;
    }
    TspButtonCore::Paint();
}

void TspSkinSpeedButton::WndProc(TMessage& Message)
{
    if (Message.Msg == CM_DIALOGCHAR) {
        if (IsAccel(static_cast<WORD>(Message.WParam), Caption()) && Enabled() && Visible() && Parent() &&
            Parent()->Showing()) {
            ButtonClick();
            Message.Result = 1;
        }
        return;
    }
    TspButtonCore::WndProc(Message);
}

// ---- descriptions ------------------------------------------------------------------

template <class C, class PP>
static void PublishButtonCore(PP& P)
{
    P.Property("Caption", &C::Caption, &C::SetCaption, "");
    P.Property("Glyph", &C::Glyph, &C::SetGlyph);
    TPropertyInfo& glyphs = P.Property("NumGlyphs", &C::NumGlyphs, &C::SetNumGlyphs, TspNumGlyphs(1));
    glyphs.Min = 1;
    glyphs.Max = 4;
    P.Property("ImageList", &C::ImageList, &C::SetImageList);
    P.Property("Layout", &C::Layout, &C::SetLayout, blGlyphLeft);
    P.Property("Margin", &C::Margin, &C::SetMargin, -1);
    // The constructor's spacing is the stream default: any other value,
    // 4 included, is written and read back.
    P.Property("Spacing", &C::Spacing, &C::SetSpacing, 1);
    P.Property("Down", &C::Down, &C::SetDown, false);
    P.Property("GroupIndex", &C::GroupIndex, &C::SetGroupIndex, 0);
    P.Property("AllowAllUp", &C::AllowAllUp, &C::SetAllowAllUp, false);
    P.Property("CheckedMode", &C::CheckedMode, &C::SetCheckedMode, false);
    P.Property("RepeatMode", &C::RepeatMode, &C::SetRepeatMode, false);
    P.Property("RepeatInterval", &C::RepeatInterval, &C::SetRepeatInterval, 100);
    P.Property("UseSkinSize", &C::UseSkinSize, &C::SetUseSkinSize, true);
    P.Property("UseSkinFontColor", &C::UseSkinFontColor, &C::SetUseSkinFontColor, true);
    P.Property("OnPaint", &C::OnPaint);
}

void TspSkinButton::DeclarePublished(TPublisher<TspSkinButton>& P)
{
    PublishButtonCore<TspSkinButton>(P);
    P.Property("ImageIndex", &TspSkinButton::ImageIndex, &TspSkinButton::SetImageIndex, -1);
    P.Property("CanFocused", &TspSkinButton::CanFocused, &TspSkinButton::SetCanFocused, true);
    P.Property("Default", &TspSkinButton::Default, &TspSkinButton::SetDefault, false);
    P.Property("Cancel", &TspSkinButton::Cancel, &TspSkinButton::SetCancel, false);
    P.Property("ModalResult", &TspSkinButton::ModalResult, &TspSkinButton::SetModalResult, 0);
    P.Property("AlwaysShowLayeredFrame", &TspSkinButton::AlwaysShowLayeredFrame,
               &TspSkinButton::SetAlwaysShowLayeredFrame, false);
}

void TspSkinSpeedButton::DeclarePublished(TPublisher<TspSkinSpeedButton>& P)
{
    PublishButtonCore<TspSkinSpeedButton>(P);
    P.Property("ImageIndex", &TspSkinSpeedButton::ImageIndex, &TspSkinSpeedButton::SetImageIndex, 0);
    P.Property("ShowCaption", &TspSkinSpeedButton::ShowCaption, &TspSkinSpeedButton::SetShowCaption, true);
    P.Property("WidthWithCaption", &TspSkinSpeedButton::WidthWithCaption, &TspSkinSpeedButton::SetWidthWithCaption,
               0);
    P.Property("WidthWithoutCaption", &TspSkinSpeedButton::WidthWithoutCaption,
               &TspSkinSpeedButton::SetWidthWithoutCaption, 0);
    P.Property("Flat", &TspSkinSpeedButton::Flat, &TspSkinSpeedButton::SetFlat, false);
}

void RegisterSkinButtonsClasses() { RegisterClasses<TspSkinButton, TspSkinSpeedButton>(); }
