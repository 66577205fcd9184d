// The frame objects: hover looks with morphing, buttons with their pressed
// and group rules, caption buttons with their commands and built-in look,
// user-drawn areas and the caption.
#include "skin/forms/FrameObjects.h"

#include "platform/gdi/Gdi.h"
#include "platform/user/User.h"
#include "skin/core/EffectBmp.h"
#include "skin/core/ResourceStrData.h"
#include "skin/core/SkinDrawGlyphs.h"
#include "skin/core/SkinDrawUtils.h"
#include "skin/core/SkinGlow.h"
#include "skin/core/SkinStrips.h"
#include "skin/forms/FormSkinner.h"

#include <cmath>

using spforms::Empty;

void TspMorphSteps::SetKf(double Value)
{
    const double v = Value < 0 ? 0 : (Value > 1 ? 1 : Value);
    FStep = static_cast<int>(std::lround(v * 5));
}

namespace {

TBitmap* PictureAt(TspSkinData* SD, int Index)
{
    if (!SD || Index < 0 || Index >= static_cast<int>(SD->FActivePictures.size()))
        return nullptr;
    return SD->FActivePictures[static_cast<std::size_t>(Index)].get();
}

}  // namespace

TspActiveSkinObject::TspActiveSkinObject(TspFormSkinner* AParent, TspDataSkinObject* AData)
    : Parent(AParent), SD(AParent ? AParent->SkinData() : nullptr)
{
    if (!AData)
        return;
    IDName = AData->IDName;
    Hint = AData->Hint;
    SkinRectInAPicture = AData->SkinRectInAPicture;
    SkinRect = AData->SkinRect;
    ActiveSkinRect = AData->ActiveSkinRect;
    InActiveSkinRect = AData->InActiveSkinRect;
    Morphing = AData->Morphing;
    MorphKind = AData->MorphKind;
    CursorIndex = AData->CursorIndex;
    RollUp = AData->RollUp;
    GlowLayerPictureIndex = AData->GlowLayerPictureIndex;
    GlowLayerMaskPictureIndex = AData->GlowLayerMaskPictureIndex;
    GlowLayerOffsetX = AData->GlowLayerOffsetX;
    GlowLayerOffsetY = AData->GlowLayerOffsetY;
    GlowLayerAlphaBlendValue = AData->GlowLayerAlphaBlendValue;
    ObjectRect = SkinRect;
    if (SD)
        Picture = RollUp ? SD->FRollUpPicture.get() : SD->FPicture.get();
    ActivePicture = PictureAt(SD, AData->ActivePictureIndex);
    ActiveMaskPicture = PictureAt(SD, AData->ActiveMaskPictureIndex);
    if (!ActivePicture)
        ActiveSkinRect = TRect(0, 0, 0, 0);
}

bool TspActiveSkinObject::SkinLoaded() const { return SD && !SD->Empty; }

bool TspActiveSkinObject::IsPointInMask(int X, int Y)
{
    if (!SkinLoaded() || !ActiveMaskPicture || ActiveMaskPicture->Empty())
        return true;
    if (X < 0 || Y < 0 || X >= ActiveMaskPicture->Width() || Y >= ActiveMaskPicture->Height())
        return false;
    return (ActiveMaskPicture->Canvas()->Pixels(X, Y) & 0xFFFFFF) == 0;
}

// Glow layers need the layered windows of a later part; until then no glow.
void TspActiveSkinObject::ShowLayer() {}
void TspActiveSkinObject::HideLayer() {}

bool TspActiveSkinObject::EnableMorphing()
{
    return Morphing && SD && SD->EnableSkinEffects && !Empty(ActiveSkinRect) && !Parent->LayeredBorderEnabled();
}

bool TspActiveSkinObject::CanMorphing() { return (Active && FMorph.Step() < 5) || (!Active && FMorph.Step() > 0); }

void TspActiveSkinObject::DoMorphing()
{
    FMorph.Toward(Active);
    Parent->DrawSkinObject(this);
}

void TspActiveSkinObject::ReDraw()
{
    if (EnableMorphing())
        Parent->MorphTimer->SetEnabled(true);
    else
        Parent->DrawSkinObject(this);
}

void TspActiveSkinObject::CopyLook(TCanvas* Cnvs, TBitmap* Pic, const TRect& R)
{
    if (!Pic || Pic->Empty() || Empty(R) || Empty(ObjectRect))
        return;
    Cnvs->CopyRect(ObjectRect, Pic->Canvas(), R);
}

void TspActiveSkinObject::DrawMorph(TCanvas* Cnvs, TBitmap* NormalPic, const TRect& Normal, const TRect& Hot)
{
    const int w = ObjectRect.Width(), h = ObjectRect.Height();
    if (w <= 0 || h <= 0 || !NormalPic || !ActivePicture)
        return;
    TBitmap a, b;
    a.SetSize(w, h);
    b.SetSize(w, h);
    a.Canvas()->CopyRect(TRect(0, 0, w, h), NormalPic->Canvas(), Normal);
    b.Canvas()->CopyRect(TRect(0, 0, w, h), ActivePicture->Canvas(), Hot);
    std::unique_ptr<TspEffectBmp> ea(TspEffectBmp::CreateFromhWnd(a.Handle()));
    std::unique_ptr<TspEffectBmp> eb(TspEffectBmp::CreateFromhWnd(b.Handle()));
    if (!ea || !eb)
        return;
    const double kf = MorphKf();
    switch (MorphKind) {
    case mkDefault: ea->Morph(eb.get(), kf); break;
    case mkGradient: ea->MorphGrad(eb.get(), kf); break;
    case mkLeftGradient: ea->MorphLeftGrad(eb.get(), kf); break;
    case mkRightGradient: ea->MorphRightGrad(eb.get(), kf); break;
    case mkLeftSlide: ea->MorphLeftSlide(eb.get(), kf); break;
    case mkRightSlide: ea->MorphRightSlide(eb.get(), kf); break;
    case mkPush: ea->MorphPush(eb.get(), kf); break;
    }
    ea->Draw(Cnvs->Handle(), ObjectRect.left, ObjectRect.top);
}

void TspActiveSkinObject::Draw(TCanvas* Cnvs, bool UpDate)
{
    if (!SkinLoaded())
        return;
    if (Enabled && !Parent->GetFormActive() && !Empty(InActiveSkinRect)) {
        CopyLook(Cnvs, ActivePicture, InActiveSkinRect);
        return;
    }
    TBitmap* normalPic = SkinRectInAPicture ? ActivePicture : Picture;
    if (EnableMorphing() && !FMorph.AtEnd(Active)) {
        DrawMorph(Cnvs, normalPic, SkinRect, ActiveSkinRect);
        return;
    }
    if (Active && !Empty(ActiveSkinRect)) {
        CopyLook(Cnvs, ActivePicture, ActiveSkinRect);
        return;
    }
    if (!UpDate && !SkinRectInAPicture)
        return;
    CopyLook(Cnvs, normalPic, SkinRect);
}

void TspActiveSkinObject::MouseEnter()
{
    FMouseIn = true;
    Active = true;
    if (!Empty(ActiveSkinRect))
        ReDraw();
    Parent->DoMouseEnterEvent(IDName);
    ShowLayer();
}

void TspActiveSkinObject::MouseLeave()
{
    FMouseIn = false;
    Active = false;
    if (!Empty(ActiveSkinRect))
        ReDraw();
    Parent->DoMouseLeaveEvent(IDName);
    HideLayer();
}

void TspActiveSkinObject::MouseDown(int X, int Y, TMouseButton Button)
{
    if (Parent->OnMouseDownEvent)
        Parent->OnMouseDownEvent(IDName, X, Y, ObjectRect, Button);
}

void TspActiveSkinObject::MouseUp(int X, int Y, TMouseButton Button)
{
    if (FMouseIn && Parent->OnMouseUpEvent)
        Parent->OnMouseUpEvent(IDName, X, Y, ObjectRect, Button);
}

void TspActiveSkinObject::MouseMove(int X, int Y)
{
    if (Parent->OnMouseMoveEvent)
        Parent->OnMouseMoveEvent(IDName, X, Y, ObjectRect);
}

void TspUserObject::Draw(TCanvas* Cnvs, bool)
{
    if (Parent->OnPaintEvent)
        Parent->OnPaintEvent(IDName, Cnvs, ObjectRect);
}

// ---- buttons ----

TspSkinButtonObject::TspSkinButtonObject(TspFormSkinner* AParent, TspDataSkinObject* AData)
    : TspActiveSkinObject(AParent, AData)
{
    if (auto* d = dynamic_cast<TspDataSkinButton*>(AData)) {
        DownRect = d->DownRect;
        DisableSkinRect = d->DisableSkinRect;
        GroupIndex = d->GroupIndex;
    }
}

void TspSkinButtonObject::DrawButtonLook(TCanvas* Cnvs, bool UpDate)
{
    if (!SkinLoaded())
        return;
    if (!Enabled && !Empty(DisableSkinRect)) {
        CopyLook(Cnvs, ActivePicture, DisableSkinRect);
        return;
    }
    if (FDown && !Empty(DownRect) && (GroupIndex != -1 || FMouseIn)) {
        CopyLook(Cnvs, ActivePicture, DownRect);
        return;
    }
    TspActiveSkinObject::Draw(Cnvs, UpDate);
}

void TspSkinButtonObject::Draw(TCanvas* Cnvs, bool UpDate) { DrawButtonLook(Cnvs, UpDate); }

bool TspSkinButtonObject::CanMorphing()
{
    if (MenuItem && FDown)
        return false;
    return TspActiveSkinObject::CanMorphing();
}

void TspSkinButtonObject::ReleaseGroup()
{
    if (GroupIndex == -1)
        return;
    for (auto& o : Parent->ObjectList) {
        auto* b = dynamic_cast<TspSkinButtonObject*>(o.get());
        if (b && b != this && b->IDName != IDName && b->GroupIndex == GroupIndex && b->FDown) {
            b->SetDown(false);
            break;
        }
    }
}

void TspSkinButtonObject::SetDown(bool Value)
{
    FDown = Value;
    if (MenuItem && Empty(DownRect)) {
        if (Value) {
            FMouseIn = Active = true;
            if (EnableMorphing())
                SetMorphKf(1);
            Parent->DrawSkinObject(this);
        } else {
            Parent->DrawSkinObject(this);
            if (EnableMorphing())
                ReDraw();
        }
        return;
    }
    if (Empty(DownRect)) {
        if (Value)
            ReleaseGroup();
        return;
    }
    if (Value) {
        if (EnableMorphing())
            SetMorphKf(1);
        Parent->DrawSkinObject(this);
        ReleaseGroup();
        return;
    }
    if (GroupIndex != -1 || MenuItem)
        Active = false;
    if (EnableMorphing())
        Parent->DrawSkinObject(this);
    ReDraw();
}

void TspSkinButtonObject::ShowMenu()
{
    // The button stays down until the form's menu chain closes.
    Parent->PopupObjectMenu(this);
}

void TspSkinButtonObject::MouseDown(int X, int Y, TMouseButton Button)
{
    if (!Enabled)
        return;
    if (Button == mbLeft && !FDown) {
        SetDown(true);
        ShowMenu();
    }
    TspActiveSkinObject::MouseDown(X, Y, Button);
}

void TspSkinButtonObject::MouseUp(int X, int Y, TMouseButton Button)
{
    if (!Enabled)
        return;
    if (Button == mbLeft && !MenuItem && FDown && GroupIndex == -1)
        SetDown(false);
    TspActiveSkinObject::MouseUp(X, Y, Button);
}

void TspSkinButtonObject::MouseEnter()
{
    FMouseIn = true;
    Active = true;
    if (!FDown || Empty(DownRect)) {
        if (!Empty(ActiveSkinRect))
            ReDraw();
    } else if (GroupIndex == -1) {
        Parent->DrawSkinObject(this);
    }
    Parent->DoMouseEnterEvent(IDName);
    if (!MenuItem)
        ShowLayer();
}

void TspSkinButtonObject::MouseLeave()
{
    FMouseIn = false;
    if (MenuItem && FDown && Empty(DownRect)) {
        Active = false;
    } else if (!FDown || Empty(DownRect) || (!MenuItem && GroupIndex == -1)) {
        Active = false;
        if (EnableMorphing() && FDown)
            SetMorphKf(1);
        if (!Empty(ActiveSkinRect) || (!Empty(DownRect) && GroupIndex == -1))
            ReDraw();
    }
    Parent->DoMouseLeaveEvent(IDName);
    if (!MenuItem)
        HideLayer();
}

// ---- caption buttons ----

TspSkinStdButtonObject::TspSkinStdButtonObject(TspFormSkinner* AParent, TspDataSkinObject* AData)
    : TspSkinButtonObject(AParent, AData)
{
    if (auto* d = dynamic_cast<TspDataSkinStdButton*>(AData)) {
        Command = d->Command;
        RestoreRect = d->RestoreRect;
        RestoreActiveRect = d->RestoreActiveRect;
        RestoreDownRect = d->RestoreDownRect;
        RestoreInActiveRect = d->RestoreInActiveRect;
        RestoreHint = d->RestoreHint;
        FTempHint = d->Hint;
        FSkinSupport = true;
    }
}

bool TspSkinStdButtonObject::IsIconSysMenu() const
{
    return Command == cmSysMenu && Parent->ShowIcon() && SkinRectInAPicture && FSkinSupport;
}

bool TspSkinStdButtonObject::CommandStateOn() const
{
    switch (Command) {
    case cmMaximize: return Parent->AppliedWindowState() == wsMaximized;
    case cmMinimize: return Parent->AppliedWindowState() == wsMinimized && Application->MainForm() != Parent->Form();
    case cmRollUp: return Parent->RollUpState();
    default: return false;
    }
}

bool TspSkinStdButtonObject::IsPointInMask(int X, int Y)
{
    if (IsIconSysMenu())
        return true;
    return TspSkinButtonObject::IsPointInMask(X, Y);
}

void TspSkinStdButtonObject::ShowLayer()
{
    if (!IsIconSysMenu())
        TspSkinButtonObject::ShowLayer();
}

void TspSkinStdButtonObject::HideLayer()
{
    if (!IsIconSysMenu())
        TspSkinButtonObject::HideLayer();
}

bool TspSkinStdButtonObject::CanMorphing() { return !IsIconSysMenu() && TspSkinButtonObject::CanMorphing(); }

void TspSkinStdButtonObject::Draw(TCanvas* Cnvs, bool UpDate)
{
    if (!FSkinSupport) {
        DefaultDraw(Cnvs);
        return;
    }
    if (!SkinLoaded())
        return;
    if (IsIconSysMenu()) {
        Parent->DrawFormIcon(Cnvs, ObjectRect.left, ObjectRect.top);
        SetMorphKf(0);
        return;
    }
    const bool active = Parent->GetFormActive();
    const bool on = CommandStateOn();
    if (!Enabled || (!active && !Empty(InActiveSkinRect) && !on)) {
        DrawButtonLook(Cnvs, UpDate);
        return;
    }
    if (!on || Empty(RestoreRect)) {
        if (Command == cmSysMenu && FDown && !Empty(DownRect))
            CopyLook(Cnvs, ActivePicture, DownRect);
        else
            DrawButtonLook(Cnvs, UpDate);
        return;
    }
    if (!active && !Empty(RestoreInActiveRect))
        CopyLook(Cnvs, ActivePicture, RestoreInActiveRect);
    else if (FDown && FMouseIn && !Empty(RestoreDownRect))
        CopyLook(Cnvs, ActivePicture, RestoreDownRect);
    else if (EnableMorphing() && !FMorph.AtEnd(Active) && !Empty(RestoreActiveRect))
        DrawMorph(Cnvs, ActivePicture, RestoreRect, RestoreActiveRect);
    else if (Active && !Empty(RestoreActiveRect))
        CopyLook(Cnvs, ActivePicture, RestoreActiveRect);
    else
        CopyLook(Cnvs, ActivePicture, RestoreRect);
}

void TspSkinStdButtonObject::DefaultDraw(TCanvas* Cnvs)
{
    if (Command == cmSysMenu && Parent->ShowIcon()) {
        Parent->DrawFormIcon(Cnvs, ObjectRect.left, ObjectRect.top);
        return;
    }
    const int w = ObjectRect.Width(), h = ObjectRect.Height();
    if (w <= 0 || h <= 0)
        return;
    TBitmap b;
    b.SetSize(w, h);
    TCanvas* c = b.Canvas();
    const bool pressed = FDown && FMouseIn;
    if (pressed || FMouseIn) {
        c->Brush()->SetColor(static_cast<TColor>(0x800000));
        c->FillRect(TRect(0, 0, w, h));
        c->Brush()->SetColor(static_cast<TColor>(pressed ? 0xB59385 : 0xD2BDB6));
        c->FillRect(TRect(1, 1, w - 1, h - 1));
    } else {
        c->Brush()->SetColor(clBtnFace);
        c->FillRect(TRect(0, 0, w, h));
    }
    const int x = w / 2 - 5 + (pressed ? 1 : 0), y = h / 2 - 4 + (pressed ? 1 : 0);
    const TColor ink = Enabled ? clBtnText : clBtnShadow;
    const TWindowState s = Parent->AppliedWindowState();
    switch (Command) {
    case cmClose: DrawCloseGlyph(c, x, y, ink); break;
    case cmMaximize:
        if (s == wsMaximized)
            DrawRestoreGlyph(c, x, y, ink);
        else
            DrawMaximizeGlyph(c, x, y, ink);
        break;
    case cmMinimize:
        if (s == wsMinimized)
            DrawRestoreGlyph(c, x, y, ink);
        else
            DrawMinimizeGlyph(c, x, y, ink);
        break;
    case cmSysMenu: DrawSysMenuGlyph(c, x, y, ink); break;
    case cmRollUp:
        if (Parent->RollUpState())
            DrawRollDownGlyph(c, x, y, ink);
        else
            DrawRollUpGlyph(c, x, y, ink);
        break;
    case cmMinimizeToTray: DrawTrayGlyph(c, x, y, ink); break;
    case cmDefault: break;
    }
    Cnvs->Draw(ObjectRect.left, ObjectRect.top, &b);
}

void TspSkinStdButtonObject::DblClick()
{
    if (Command == cmSysMenu)
        Parent->Form()->Close();
}

void TspSkinStdButtonObject::MouseDown(int, int, TMouseButton Button)
{
    if (Button != mbLeft || !Enabled || FDown)
        return;
    if (Command == cmSysMenu)
        MenuItem = Parent->GetSystemMenuItems();
    if (!IsIconSysMenu())
        SetDown(true);
    if (Command == cmSysMenu)
        ShowMenu();
}

void TspSkinStdButtonObject::MouseUp(int X, int Y, TMouseButton Button)
{
    const bool run = Active && Button == mbLeft;
    if (Command == cmClose) {
        TspSkinButtonObject::MouseUp(X, Y, Button);
        if (run)
            DoCommand();
        return;
    }
    if (run)
        DoCommand();
    if (!IsIconSysMenu())
        TspSkinButtonObject::MouseUp(X, Y, Button);
}

void TspSkinStdButtonObject::MouseEnter()
{
    if (Command != cmDefault)
        Hint = (!RestoreHint.empty() && CommandStateOn()) ? RestoreHint : FTempHint;
    if (!IsIconSysMenu())
        TspSkinButtonObject::MouseEnter();
}

void TspSkinStdButtonObject::MouseLeave()
{
    if (!IsIconSysMenu())
        TspSkinButtonObject::MouseLeave();
}

void TspSkinStdButtonObject::DoCommand()
{
    if (Command == cmClose || Command == cmMaximize || Command == cmMinimize || Command == cmMinimizeToTray)
        Parent->TrackActiveObject(-1, -1, false);
    switch (Command) {
    case cmClose: Parent->Form()->Close(); break;
    case cmMaximize:
        if (Parent->SupportNCArea())
            HideLayer();
        Parent->SetWindowState(Parent->WindowState() == wsMaximized ? wsNormal : wsMaximized);
        break;
    case cmMinimize:
        if (Parent->SupportNCArea()) {
            HideLayer();
            Parent->SetWindowState(Parent->WindowState() == wsMinimized ? wsNormal : wsMinimized);
        } else {
            Parent->SetWindowState(wsMinimized);
        }
        break;
    case cmRollUp: Parent->SetRollUpState(!Parent->RollUpState()); break;
    default: break;
    }
}

// ---- caption ----

TspSkinCaptionObject::TspSkinCaptionObject(TspFormSkinner* AParent, TspDataSkinObject* AData)
    : TspActiveSkinObject(AParent, AData)
{
    auto* d = dynamic_cast<TspDataSkinCaption*>(AData);
    if (!d)
        return;
    DefaultCaption = d->DefaultCaption;
    FontName = d->FontName;
    FontHeight = d->FontHeight;
    FontStyle = d->FontStyle;
    FontColor = d->FontColor;
    ActiveFontColor = d->ActiveFontColor;
    ShadowColor = d->ShadowColor;
    ActiveShadowColor = d->ActiveShadowColor;
    Shadow = d->Shadow;
    Light = d->Light;
    LightColor = d->LightColor;
    ActiveLightColor = d->ActiveLightColor;
    Alignment = d->Alignment;
    TextRct = d->TextRct;
    StretchEffect = d->StretchEffect;
    GlowEffect = d->GlowEffect;
    GlowInActiveEffect = d->GlowInActiveEffect;
    GlowSize = d->GlowSize;
    GlowOffset = d->GlowOffset;
    GlowColor = d->GlowColor;
    GlowActiveColor = d->GlowActiveColor;
    ReflectionEffect = d->ReflectionEffect;
    ReflectionColor = d->ReflectionColor;
    ReflectionActiveColor = d->ReflectionActiveColor;
    ReflectionOffset = d->ReflectionOffset;
    AnimateSkinRect = d->AnimateSkinRect;
    FrameCount = d->FrameCount;
    AnimateInterval = d->AnimateInterval;
    InActiveAnimation = d->InActiveAnimation;
}

int TspSkinCaptionObject::QuickButtonsWidth() const
{
    TspQuickButtonItems* q = Parent->QuickButtons();
    TCustomImageList* il = Parent->QuickImageList();
    if (!Parent->SupportNCArea() || !q || q->Count() == 0 || !il)
        return 0;
    return q->Count() * (il->Width() + 8) + 5;
}

void TspSkinCaptionObject::MouseEnter() { FMouseIn = true; }
void TspSkinCaptionObject::MouseLeave() { FMouseIn = false; }

void TspSkinCaptionObject::Draw(TCanvas* Cnvs, bool)
{
    if (!SkinLoaded() || Empty(ObjectRect))
        return;
    const bool active = Parent->GetFormActive();
    Active = active;
    const int w = ObjectRect.Width(), h = ObjectRect.Height();
    // The caption's band of the frame picture, fitted to the object's width
    // with the fixed ends the frame points give.
    TBitmap band;
    TBitmap* src = (Active && !Empty(ActiveSkinRect) && ActivePicture) ? ActivePicture : Picture;
    const TRect sr = (src == ActivePicture) ? ActiveSkinRect : SkinRect;
    if (src && !src->Empty() && !Empty(sr)) {
        const int left = std::max(0, static_cast<int>(SD->LTPoint.x - sr.left));
        const int right = std::max(0, static_cast<int>(sr.right - SD->RTPoint.x));
        if ((left || right) && w != sr.Width() && Parent->SkinHasFramePoints()) {
            CreateHSkinImage(left, right, &band, src, sr, w, h, StretchEffect);
        } else {
            band.SetSize(w, h);
            band.Canvas()->CopyRect(TRect(0, 0, w, h), src->Canvas(), sr);
        }
    } else {
        band.SetSize(w, h);
    }
    TCanvas* c = band.Canvas();
    // Quick buttons: their images at the left of the caption.
    TspQuickButtonItems* q = Parent->QuickButtons();
    TCustomImageList* il = Parent->QuickImageList();
    const int qw = QuickButtonsWidth();
    if (qw > 0) {
        int x = 5;
        for (int i = 0; i < q->Count(); ++i) {
            TspQuickButtonItem* it = q->Items(i);
            it->ItemRect = TRect(ObjectRect.left + x, ObjectRect.top + h / 2 - il->Height() / 2,
                                 ObjectRect.left + x + il->Width(), ObjectRect.top + h / 2 - il->Height() / 2 + il->Height());
            if (it->Visible() && it->ImageIndex() >= 0)
                il->Draw(c, x, h / 2 - il->Height() / 2, it->ImageIndex(), it->Enabled());
            x += il->Width() + 8;
        }
    }
    TRect tr(TextRct.left + qw, TextRct.top, w - (SkinRect.Width() - TextRct.right), TextRct.bottom);
    std::string text = DefaultCaption || Parent->SupportNCArea() ? Parent->Form()->Caption() : Caption;
    if (!DefaultCaption && !Caption.empty())
        text = Caption;
    if (Parent->OnCaptionPaint) {
        Parent->OnCaptionPaint(c, TRect(0, 0, w, h), active);
    } else if (!text.empty() && !Empty(TextRct) && tr.Width() > 0) {
        TFont* f = c->Font();
        if (Parent->UseSkinFontInCaption) {
            f->SetName(FontName);
            f->SetHeight(FontHeight);
            f->SetStyle(FontStyle);
        } else {
            f->Assign(Parent->DefCaptionFont());
        }
        if (SD->ResourceStrData())
            f->SetCharset(SD->ResourceStrData()->CharSet());
        ShortenWideTextToWidth(c, text, tr.Width());
        const int tw = WideTextWidth(c, text), th = WideTextHeight(c, text);
        int y = tr.top + tr.Height() / 2 - th / 2;
        if (f->Height() % 2 != 0)
            --y;
        int x = tr.left;
        if (qw > 0 || Alignment == taCenter)
            x = tr.left + tr.Width() / 2 - tw / 2;
        else if (Alignment == taRightJustify)
            x = tr.right - tw;
        c->Brush()->SetStyle(bsClear);
        auto put = [&](int dx, int dy, TColor color) {
            c->Font()->SetColor(color);
            TRect r(x + dx, y + dy, x + dx + tw, y + dy + th);
            DrawWideText(c, text, r, DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        };
        if (Light)
            put(-1, -1, active ? ActiveLightColor : LightColor);
        if (Shadow)
            put(1, 1, active ? ActiveShadowColor : ShadowColor);
        const TColor ink = active ? ActiveFontColor : FontColor;
        c->Font()->SetColor(ink);
        TRect r(x, y, x + tw, y + th);
        if (ReflectionEffect)
            DrawWideTextWithReflection(c, r, text, DT_VCENTER | DT_SINGLELINE, ReflectionOffset,
                                       active ? ReflectionActiveColor : ReflectionColor);
        else if (GlowEffect && (active || GlowInActiveEffect))
            DrawWideTextWithGlow(c, r, text, DT_VCENTER | DT_SINGLELINE, GlowOffset,
                                 active ? GlowActiveColor : GlowColor, GlowSize);
        else
            put(0, 0, ink);
    }
    Cnvs->Draw(ObjectRect.left, ObjectRect.top, &band);
}
