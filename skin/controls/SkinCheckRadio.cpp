#include "skin/controls/SkinCheckRadio.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/gdi/Text.h"
#include "platform/gui/ActnList.h"
#include "platform/gui/ImgList.h"
#include "platform/gui/Menus.h"
#include "skin/controls/SkinButtons.h"
#include "skin/core/EffectBmp.h"
#include "skin/core/ParentBackground.h"
#include "skin/core/ResourceStrData.h"
#include "skin/core/SkinDrawGlyphs.h"
#include "skin/core/SkinDrawUtils.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

constexpr unsigned kMorphInterval = 20;

bool EmptyRect(const TRect& R) { return R.right <= R.left || R.bottom <= R.top; }
TRect OrElse(const TRect& R, const TRect& Fallback) { return EmptyRect(R) ? Fallback : R; }
int RectWidth(const TRect& R) { return R.right - R.left; }
int RectHeight(const TRect& R) { return R.bottom - R.top; }

}  // namespace

TspSkinCheckRadioBox::TspSkinCheckRadioBox(TComponent* AOwner) : TspSkinCustomControl(AOwner)
{
    FSkinDataName = "checkbox";
    TControlStyle s = ControlStyle();
    s.Exclude(csClickEvents);
    SetControlStyle(s);
    SetBounds(Left(), Top(), 150, 25);
}

TspSkinCheckRadioBox::~TspSkinCheckRadioBox() { StopMorph(); }

bool TspSkinCheckRadioBox::ShowsFocus() { return FCanFocused && Focused(); }

// ---- values ----

void TspSkinCheckRadioBox::DoClick()
{
    // Reading a description sets values, it does not click; an assignment
    // from inside the handler does not run the handler again.
    if (ComponentState().Contains(csLoading) || FInClick || !OnClick)
        return;
    FInClick = true;
    try {
        OnClick(this);
    } catch (...) {
        FInClick = false;
        throw;
    }
    FInClick = false;
}

void TspSkinCheckRadioBox::SetCheckedValue(bool Value, bool GroupStep)
{
    FChecked = Value;
    if (Value)
        FState = cbChecked;
    else if (FState == cbChecked)
        FState = cbUnchecked;
    Repaint();
    if (GroupStep && Value && FGroupIndex != 0 && Parent()) {
        TWinControl* p = Parent();
        for (int i = 0; i < p->ControlCount(); ++i) {
            auto* other = dynamic_cast<TspSkinCheckRadioBox*>(p->Controls(i));
            if (other && other != this && other->FGroupIndex == FGroupIndex && other->FChecked)
                other->SetChecked(false);
        }
    }
}

void TspSkinCheckRadioBox::SetChecked(bool Value)
{
    SetCheckedValue(Value, true);
    if (!FRadio || FChecked)
        DoClick();
}

void TspSkinCheckRadioBox::SetState(TCheckBoxState Value)
{
    if (Value > cbGrayed)
        return;
    FState = Value;
    FChecked = Value == cbChecked;
    Repaint();
    DoClick();
}

void TspSkinCheckRadioBox::Toggle()
{
    if (!FRadio)
        SetChecked(!FChecked);
    else if (!FChecked)
        SetChecked(true);
}

void TspSkinCheckRadioBox::SetAllowGrayed(bool Value)
{
    FAllowGrayed = Value;
    Repaint();
}

void TspSkinCheckRadioBox::SetRadio(bool Value)
{
    FRadio = Value;
    const TComponentState cs = ComponentState();
    if (cs.Contains(csDesigning) && !cs.Contains(csLoading)) {
        FSkinDataName = Value ? "radiobox" : "checkbox";
        FGroupIndex = Value ? 1 : 0;
    }
    if ((FIndex == -1 && FDrawDefault) || cs.Contains(csDesigning))
        Repaint();
}

void TspSkinCheckRadioBox::SetFlat(bool Value)
{
    FFlat = Value;
    Repaint();
}

void TspSkinCheckRadioBox::SetWordWrap(bool Value)
{
    if (FWordWrap == Value)
        return;
    FWordWrap = Value;
    if (FFlat)
        Repaint();
}

void TspSkinCheckRadioBox::SetImages(TCustomImageList* Value)
{
    SetComponentReference(this, FImages, Value);
    Repaint();
}

void TspSkinCheckRadioBox::SetImageIndex(int Value)
{
    FImageIndex = Value;
    Repaint();
}

void TspSkinCheckRadioBox::SetUseSkinFontColor(bool Value)
{
    FUseSkinFontColor = Value;
    Repaint();
}

void TspSkinCheckRadioBox::SetCanFocused(bool Value)
{
    FCanFocused = Value;
    SetTabStop(Value);
}

void TspSkinCheckRadioBox::Notification(TComponent* AComponent, TOperation Operation)
{
    TspSkinCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages)
        FImages = nullptr;
}

void TspSkinCheckRadioBox::ActionChange(TObject* Sender, bool CheckDefaults)
{
    TspSkinCustomControl::ActionChange(Sender, CheckDefaults);
    if (auto* a = dynamic_cast<TCustomAction*>(Sender))
        if (!CheckDefaults || !FChecked)
            SetChecked(a->Checked());
}

// ---- skin ----

void TspSkinCheckRadioBox::GetSkinData()
{
    TspSkinCustomControl::GetSkinData();
    if (FIndex == -1) {
        Morphing = false;
        FMorphKf = 0;
        return;
    }
    auto* p = dynamic_cast<TspDataSkinCheckRadioControl*>(FSD->CtrlList[FIndex].get());
    if (!p)
        return;
    FontName = p->FontName;
    FontStyle = p->FontStyle;
    FontHeight = p->FontHeight;
    FontColor = p->FontColor;
    ActiveFontColor = p->ActiveFontColor;
    FrameFontColor = p->FrameFontColor;
    UnEnabledFontColor = p->UnEnabledFontColor;
    Morphing = p->Morphing && !FFlat;
    MorphKind = p->MorphKind;
    CheckImageArea = p->CheckImageArea;
    TextArea = p->TextArea;
    CheckImageRect = p->CheckImageRect;
    UnCheckImageRect = p->UnCheckImageRect;
    GrayedCheckImageRect = p->GrayedCheckImageRect;
    ActiveGrayedCheckImageRect = p->ActiveGrayedCheckImageRect;
    ActiveSkinRect = OrElse(p->ActiveSkinRect, SkinRect);
    ActiveCheckImageRect = OrElse(p->ActiveCheckImageRect, CheckImageRect);
    UnEnabledCheckImageRect = OrElse(p->UnEnabledCheckImageRect, CheckImageRect);
    ActiveUnCheckImageRect = OrElse(p->ActiveUnCheckImageRect, UnCheckImageRect);
    UnEnabledUnCheckImageRect = OrElse(p->UnEnabledUnCheckImageRect, UnCheckImageRect);
    // A flat box has no window region.
    if (FFlat)
        MaskPicture = nullptr;
}

void TspSkinCheckRadioBox::AdjustSizeToSkin(int& AWidth, int& AHeight)
{
    if (FFlat)
        return;
    TspSkinCustomControl::AdjustSizeToSkin(AWidth, AHeight);
    const int d = AWidth - SkinWidth();
    NewTextArea = TRect(TextArea.left, TextArea.top, TextArea.right + d, TextArea.bottom);
    TRect area = CheckImageArea;
    if (TextArea.right < CheckImageArea.right)
        area = TRect(area.left + d, area.top, area.right + d, area.bottom);
    const int w = RectWidth(CheckImageRect), h = RectHeight(CheckImageRect);
    const int l = area.left + RectWidth(area) / 2 - w / 2, t = area.top + RectHeight(area) / 2 - h / 2;
    CIRect = TRect(l, t, l + w, t + h);
}

void TspSkinCheckRadioBox::ChangeSkinData()
{
    if (FFlat) {
        GetSkinData();
        Repaint();
        return;
    }
    StopMorph();
    TspSkinCustomControl::ChangeSkinData();
    if (MorphingApplies() && FIndex != -1 && (FMouseIn || ShowsFocus()))
        FMorphKf = 1;
}

void TspSkinCheckRadioBox::CheckParentBackground()
{
    if (FFlat)
        Repaint();
    else
        TspSkinCustomControl::CheckParentBackground();
}

// ---- painting ----

bool TspSkinCheckRadioBox::MarkPicture(TBitmap& Mark)
{
    if (!Picture)
        return false;
    TRect r;
    bool grey = FState == cbGrayed;
    if (!Enabled())
        r = FChecked || grey ? UnEnabledCheckImageRect : UnEnabledUnCheckImageRect;
    else if (FMouseIn)
        r = FChecked || grey ? ActiveCheckImageRect : ActiveUnCheckImageRect;
    else
        r = FChecked || grey ? CheckImageRect : UnCheckImageRect;
    bool lighten = false;
    if (grey) {
        if (FMouseIn && Enabled() && !EmptyRect(ActiveGrayedCheckImageRect))
            r = ActiveGrayedCheckImageRect;
        else if (!EmptyRect(GrayedCheckImageRect))
            r = GrayedCheckImageRect;
        else
            lighten = true;
    }
    // A picture rectangle outside the skin's picture draws no mark.
    if (EmptyRect(r) || r.left < 0 || r.top < 0 || r.right > Picture->Width() || r.bottom > Picture->Height())
        return false;
    Mark.SetSize(RectWidth(r), RectHeight(r));
    Mark.Canvas()->CopyRect(TRect(0, 0, Mark.Width(), Mark.Height()), Picture->Canvas(), r);
    if (lighten) {
        std::unique_ptr<TspEffectBmp> e(TspEffectBmp::CreateFromhWnd(Mark.Handle()));
        if (e) {
            e->ChangeBrightness(0.5);
            e->Draw(Mark.Canvas()->Handle(), 0, 0);
        }
    }
    Mark.SetTransparent(true);
    return true;
}

void TspSkinCheckRadioBox::DrawMark(TCanvas* Canvas, int X, int Y)
{
    TBitmap mark;
    if (MarkPicture(mark))
        Canvas->Draw(X, Y, &mark);
}

void TspSkinCheckRadioBox::DrawDefaultBox(TCanvas* Canvas, bool Framed)
{
    const int h = Height();
    const TRect box(3, h / 2 - 7, 17, h / 2 + 7);
    if (Framed) {
        Canvas->Brush()->SetColor(clWindow);
        Canvas->FillRect(box);
    }
    Canvas->Brush()->SetColor(FMouseIn ? clNavy : clBtnShadow);
    Canvas->FrameRect(box);
    const TColor ink = Enabled() ? clBlack : clBtnShadow;
    if (FState == cbGrayed && !FRadio)
        DrawCheckMark(Canvas, 7, h / 2 - 4, clGrayText);
    else if (FChecked && FRadio)
        DrawRadioMark(Canvas, 7, h / 2 - 3, ink);
    else if (FChecked)
        DrawCheckMark(Canvas, 7, h / 2 - 4, ink);
}

void TspSkinCheckRadioBox::SetCaptionFont(TCanvas* Canvas)
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

void TspSkinCheckRadioBox::DrawFlat(TCanvas* Canvas)
{
    const int h = Height();
    SetCaptionFont(Canvas);
    Canvas->Brush()->SetStyle(bsClear);
    int textStart = 22, gap = 5;
    if (FIndex == -1) {
        if (!Enabled())
            Canvas->Font()->SetColor(clBtnShadow);
    } else {
        TBitmap mark;
        if (MarkPicture(mark)) {
            Canvas->Draw(3, h / 2 - mark.Height() / 2, &mark);
            textStart = mark.Width() + 7;
        } else {
            textStart = RectWidth(CheckImageRect) + 7;
        }
        gap = 8;
        if (!FUseSkinFontColor)
            Canvas->Font()->SetColor(DefaultFont()->Color());
        else
            Canvas->Font()->SetColor(Enabled() ? FrameFontColor : UnEnabledFontColor);
    }
    const std::string text = Caption();
    const bool image = FImages && FImageIndex >= 0 && FImageIndex < FImages->Count();
    const int imageW = image ? FImages->Width() : 0, imageH = image ? FImages->Height() : 0;
    TRect t;
    if (!FWordWrap) {
        const TSize e = Canvas->TextExtent(text);
        t = TRect(textStart, h / 2 - e.cy / 2, textStart + e.cx, h / 2 - e.cy / 2 + e.cy);
    } else {
        RECT m{textStart + (image ? imageW + gap : 0), 0, Width(), h};
        DrawText(Canvas->Handle(), text, -1, &m, DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK);
        const int top = std::max(0, h / 2 - (m.bottom - m.top) / 2);
        t = TRect(textStart, top, m.right, top + (m.bottom - m.top));
    }
    t.right = std::min(t.right, Width() - 2);
    TRect imageRect;
    if (image) {
        imageRect = TRect(t.left, h / 2 - imageH / 2, t.left + imageW, h / 2 - imageH / 2 + imageH);
        FImages->Draw(Canvas, imageRect.left, imageRect.top, FImageIndex, Enabled());
        if (!FWordWrap)
            t = TRect(t.left + imageW + gap, t.top, std::min(t.right + imageW + gap, Width() - 2), t.bottom);
        else
            t.left += imageW + gap;
    }
    if (!text.empty()) {
        if (!FWordWrap) {
            DrawTextVCentered(Canvas, text, t);
        } else {
            RECT r{t.left, t.top, t.right, t.bottom};
            DrawText(Canvas->Handle(), text, -1, &r, DT_EXPANDTABS | DT_WORDBREAK);
        }
    }
    if (FIndex == -1)
        DrawDefaultBox(Canvas, false);
    if (ShowsFocus()) {
        TRect f;
        if (!text.empty())
            f = FWordWrap ? TRect(t.left - 2, t.top - 1, t.right + 2, t.bottom + 1)
                          : TRect(t.left - 2, t.top - 1, t.right + 3, t.bottom + 1);
        else if (image)
            f = TRect(imageRect.left - 1, imageRect.top - 1, imageRect.right + 1, imageRect.bottom + 1);
        if (!EmptyRect(f))
            DrawDottedFocusRect(Canvas, f);
    }
}

void TspSkinCheckRadioBox::Paint()
{
    if (Width() < 1 || Height() < 1)
        return;
    if (!FFlat) {
        TspSkinCustomControl::Paint();
        return;
    }
    GetSkinData();
    TBitmap b;
    b.SetSize(Width(), Height());
    DrawParentBackground(this, b.Canvas());
    DrawFlat(b.Canvas());
    Canvas()->Draw(0, 0, &b);
}

void TspSkinCheckRadioBox::DrawDefaultImage(TBitmap* B)
{
    TCanvas* c = B->Canvas();
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(ClientRect());
    if (FMouseIn || ShowsFocus()) {
        c->Brush()->SetColor(clBtnShadow);
        c->FrameRect(ClientRect());
    }
    SetCaptionFont(c);
    if (!Enabled())
        c->Font()->SetColor(clBtnShadow);
    DrawDefaultBox(c, true);
    c->Brush()->SetStyle(bsClear);
    DrawTextVCentered(c, Caption(), TRect(19, 0, Width(), Height()));
}

void TspSkinCheckRadioBox::DrawFace(TBitmap* B, bool Active)
{
    ComposeSkinImage(B, Picture, Active ? ActiveSkinRect : SkinRect);
    TCanvas* c = B->Canvas();
    TBitmap mark;
    if (MarkPicture(mark))
        c->Draw(CIRect.left, CIRect.top + RectHeight(CIRect) / 2 - mark.Height() / 2, &mark);
    SetCaptionFont(c);
    c->Font()->SetColor(!Enabled() ? UnEnabledFontColor : Active ? ActiveFontColor : FontColor);
    c->Brush()->SetStyle(bsClear);
    DrawTextVCentered(c, Caption(), NewTextArea);
}

void TspSkinCheckRadioBox::DrawSkinImage(TBitmap* B)
{
    if (MorphingApplies() && FMorphKf != 0 && FMorphKf != 1) {
        DrawFace(B, false);
        TBitmap active;
        active.SetSize(B->Width(), B->Height());
        DrawFace(&active, true);
        MorphBitmaps(B, &active, MorphKind, FMorphKf);
        return;
    }
    DrawFace(B, FMouseIn || ShowsFocus());
}

// ---- hover and morph ----

void TspSkinCheckRadioBox::StopMorph()
{
    if (MorphTimer)
        MorphTimer->SetEnabled(false);
}

void TspSkinCheckRadioBox::HoverChanged()
{
    if (MorphingApplies() && FIndex != -1) {
        if (!MorphTimer) {
            MorphTimer = new TTimer(this);
            MorphTimer->SetEnabled(false);
            MorphTimer->SetInterval(kMorphInterval);
            MorphTimer->SetOnTimer(MakeEvent(this, &TspSkinCheckRadioBox::MorphTick));
        }
        MorphTimer->SetEnabled(true);
    } else {
        Invalidate();
    }
}

void TspSkinCheckRadioBox::MorphTick(TObject*)
{
    const bool toActive = FMouseIn || ShowsFocus();
    if (FIndex == -1 || !MorphingApplies()) {
        FMorphKf = toActive ? 1 : 0;
        StopMorph();
        return;
    }
    if (!MorphStep(FMorphKf, toActive))
        StopMorph();
    Repaint();
}

void TspSkinCheckRadioBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft)
        FDown = true;
    if (!FMouseIn) {
        FMouseIn = true;
        HoverChanged();
    }
    TspSkinCustomControl::MouseDown(Button, Shift, X, Y);
}

void TspSkinCheckRadioBox::MouseMove(TShiftState Shift, int X, int Y)
{
    TspSkinCustomControl::MouseMove(Shift, X, Y);
    if (!FDown)
        return;
    const bool inside = X >= 0 && X <= Width() && Y >= 0 && Y <= Height();
    if (!inside && FMouseIn)
        Perform(CM_MOUSELEAVE, 0, 0);
    else if (inside && !FMouseIn)
        Perform(CM_MOUSEENTER, 0, 0);
}

void TspSkinCheckRadioBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TspSkinCustomControl::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    const bool press = FMouseIn && FDown;
    FDown = false;
    if (!press)
        return;
    if (FAllowGrayed && !FRadio && FState == cbUnchecked) {
        FState = cbGrayed;
        Repaint();
        DoClick();
    } else {
        Toggle();
    }
}

void TspSkinCheckRadioBox::MouseEnter()
{
    TspSkinCustomControl::MouseEnter();
    if (ComponentState().Contains(csDesigning))
        return;
    FMouseIn = true;
    HoverChanged();
}

void TspSkinCheckRadioBox::MouseLeave()
{
    TspSkinCustomControl::MouseLeave();
    if (ComponentState().Contains(csDesigning))
        return;
    FMouseIn = false;
    HoverChanged();
}

void TspSkinCheckRadioBox::EnabledChanged()
{
    TspSkinCustomControl::EnabledChanged();
    if (MorphingApplies()) {
        StopMorph();
        FMorphKf = 0;
    }
    FMouseIn = false;
    Repaint();
}

void TspSkinCheckRadioBox::TextChanged()
{
    TspSkinCustomControl::TextChanged();
    if (FIndex != -1 || ComponentState().Contains(csDesigning) || FDrawDefault)
        Repaint();
}

void TspSkinCheckRadioBox::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_MOVE:
        TspSkinCustomControl::WndProc(Message);
        Invalidate();
        return;
    case CM_DIALOGCHAR:
        if (FCanFocused && IsAccel(static_cast<WORD>(Message.WParam), Caption()) && CanFocus()) {
            SetFocus();
            Toggle();
            Message.Result = 1;
            return;
        }
        break;
    default:
        break;
    }
    if (FCanFocused) {
        switch (Message.Msg) {
        case WM_KEYUP:
            if (Message.WParam == VK_SPACE && Focused())
                Toggle();
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (!ComponentState().Contains(csDesigning) && !Focused() && CanFocus()) {
                FClicksDisabled = true;
                SetFocus();
                FClicksDisabled = false;
                if (!Focused())
                    return;
            }
            break;
        case CN_COMMAND:
            if (FClicksDisabled)
                return;
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            TspSkinCustomControl::WndProc(Message);
            HoverChanged();
            return;
        default:
            break;
        }
    }
    TspSkinCustomControl::WndProc(Message);
}

// ---- descriptions ----

void TspSkinCheckRadioBox::DeclarePublished(TPublisher<TspSkinCheckRadioBox>& P)
{
    using C = TspSkinCheckRadioBox;
    P.Property("Caption", &C::Caption, &C::SetCaption, "");
    P.Property("Radio", &C::Radio, &C::SetRadio, false);
    P.Property("GroupIndex", &C::GroupIndex, &C::SetGroupIndex, 0);
    P.Property("AllowGrayed", &C::AllowGrayed, &C::SetAllowGrayed, false);
    P.Property("Checked", &C::Checked, &C::SetChecked, false);
    P.Property("State", &C::State, &C::SetState, cbUnchecked);
    P.Property("Flat", &C::Flat, &C::SetFlat, true);
    P.Property("WordWrap", &C::WordWrap, &C::SetWordWrap, false);
    P.Property("Images", &C::Images, &C::SetImages);
    P.Property("ImageIndex", &C::ImageIndex, &C::SetImageIndex, 0);
    P.Property("UseSkinFontColor", &C::UseSkinFontColor, &C::SetUseSkinFontColor, true);
    P.Property("CanFocused", &C::CanFocused, &C::SetCanFocused, true);
}

void RegisterSkinCheckRadioClasses() { RegisterClasses<TspSkinCheckRadioBox>(); }
