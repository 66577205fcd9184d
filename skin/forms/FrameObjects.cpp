// The frame objects: hover looks with morphing, buttons with their pressed
// and group rules, caption buttons with their commands and built-in look,
// user-drawn areas and the caption.
#include "skin/forms/FrameObjects.h"

#include "platform/gdi/Gdi.h"
#include "platform/user/User.h"
#include "skin/core/EffectBmp.h"
#include "skin/core/LayerManager.h"
#include "skin/core/ResourceStrData.h"
#include "skin/core/SkinBitmap.h"
#include "skin/core/SkinButtonPieces.h"
#include "skin/core/SkinDrawGlyphs.h"
#include "skin/core/SkinDrawUtils.h"
#include "skin/core/SkinGlow.h"
#include "skin/core/SkinImage.h"
#include "skin/core/SkinStrips.h"
#include "skin/forms/FormSkinner.h"
#include "skin/forms/SkinHint.h"
#include "skin/forms/SkinMenus.h"

#include <cmath>

using spforms::Empty;
using spforms::Inside;

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

void TspActiveSkinObject::DrawAlpha(TspBitmap* ABitMap)
{
    if (!ABitMap || ABitMap->Empty() || spforms::Empty(ObjectRect))
        return;
    Draw(ABitMap->Canvas(), false);
    const TRect r(std::max<LONG>(0, ObjectRect.left), std::max<LONG>(0, ObjectRect.top),
                  std::min<LONG>(ABitMap->Width(), ObjectRect.right), std::min<LONG>(ABitMap->Height(), ObjectRect.bottom));
    if (!spforms::Empty(r))
        ABitMap->SetAlpha(255, r);
}

bool TspActiveSkinObject::IsPointInMask(int X, int Y)
{
    if (!SkinLoaded() || !ActiveMaskPicture || ActiveMaskPicture->Empty())
        return true;
    if (X < 0 || Y < 0 || X >= ActiveMaskPicture->Width() || Y >= ActiveMaskPicture->Height())
        return false;
    return (ActiveMaskPicture->Canvas()->Pixels(X, Y) & 0xFFFFFF) == 0;
}

// ---- glow layers ----

TspLayerManager* TspActiveSkinObject::GlowLayerManager() const { return Parent->FLayerManager.get(); }

TspLayerManager* TspSkinButtonObject::GlowLayerManager() const
{
    return MenuItem ? Parent->FMenuLayerManager.get() : Parent->FLayerManager.get();
}

bool TspActiveSkinObject::GlowLayerEnabled() const
{
    return SkinLoaded() && GlowLayerPictureIndex != -1 && SD->ShowCaptionButtonGlowFrames && GlowLayersAvailable();
}

void TspActiveSkinObject::ShowLayer()
{
    if (!GlowLayerEnabled())
        return;
    TBitmap* glow = PictureAt(SD, GlowLayerPictureIndex);
    TBitmap* mask = PictureAt(SD, GlowLayerMaskPictureIndex);
    if (!glow)
        return;
    // Without a mask picture the glow is opaque.
    TBitmap opaque;
    if (!mask) {
        opaque.SetSize(glow->Width(), glow->Height());
        opaque.Canvas()->Brush()->SetColor(clWhite);
        opaque.Canvas()->FillRect(TRect(0, 0, glow->Width(), glow->Height()));
        mask = &opaque;
    }
    const TRect r = Parent->ObjectScreenRect(ObjectRect);
    GlowLayerManager()->Show(r.left - GlowLayerOffsetX, r.top - GlowLayerOffsetY, glow, mask,
                             GlowLayerAlphaBlendValue);
}

void TspActiveSkinObject::HideLayer()
{
    if (GlowLayerEnabled())
        GlowLayerManager()->Hide();
}

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
    BlendLooks(Cnvs, &a, &b);
}

void TspActiveSkinObject::BlendLooks(TCanvas* Cnvs, TBitmap* Normal, TBitmap* Hot)
{
    std::unique_ptr<TspEffectBmp> ea(TspEffectBmp::CreateFromhWnd(Normal->Handle()));
    std::unique_ptr<TspEffectBmp> eb(TspEffectBmp::CreateFromhWnd(Hot->Handle()));
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

void TspActiveSkinObject::SetHover(bool In)
{
    FMouseIn = Active = In;
    if (In)
        Parent->DoMouseEnterEvent(IDName);
    else
        Parent->DoMouseLeaveEvent(IDName);
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

// No glow for the icon of the system menu, nor while the form is inactive and
// the button has a look of its own for that.
void TspSkinStdButtonObject::ShowLayer()
{
    if (!IsIconSysMenu() && !InactiveLookShown())
        TspSkinButtonObject::ShowLayer();
}

void TspSkinStdButtonObject::HideLayer()
{
    if (!IsIconSysMenu() && !InactiveLookShown())
        TspSkinButtonObject::HideLayer();
}

bool TspSkinStdButtonObject::InactiveLookShown() const
{
    return FSkinSupport && !Empty(InActiveSkinRect) && !Parent->GetFormActive();
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

void TspSkinStdButtonObject::DoCommand() { RunCommand(this, Command, true); }

void TspSkinStdButtonObject::RunCommand(TspActiveSkinObject* Obj, TStdCommand Command, bool AHideLayer)
{
    TspFormSkinner* parent = Obj->Parent;
    if (Command == cmClose || Command == cmMaximize || Command == cmMinimize || Command == cmMinimizeToTray)
        parent->TrackActiveObject(-1, -1, false);
    switch (Command) {
    case cmClose: parent->Form()->Close(); break;
    case cmMaximize:
        if (AHideLayer && parent->SupportNCArea())
            Obj->HideLayer();
        parent->SetWindowState(parent->WindowState() == wsMaximized ? wsNormal : wsMaximized);
        break;
    case cmMinimize:
        if (parent->SupportNCArea()) {
            if (AHideLayer)
                Obj->HideLayer();
            parent->SetWindowState(parent->WindowState() == wsMinimized ? wsNormal : wsMinimized);
        } else {
            parent->SetWindowState(wsMinimized);
        }
        break;
    case cmRollUp: parent->SetRollUpState(!parent->RollUpState()); break;
    case cmMinimizeToTray: parent->MinimizeToTray(); break;
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
    FrameRect = d->FrameRect;
    ActiveFrameRect = d->ActiveFrameRect;
    FrameLeftOffset = d->FrameLeftOffset;
    FrameRightOffset = d->FrameRightOffset;
    FrameTextRect = d->FrameTextRect;
    FullFrame = d->FullFrame;
    VistaGlowEffect = d->VistaGlowEffect;
    VistaGlowInActiveEffect = d->VistaGlowInActiveEffect;
    DividerRect = d->DividerRect;
    InActiveDividerRect = d->InActiveDividerRect;
    DividerTransparent = d->DividerTransparent;
    DividerTransparentColor = d->DividerTransparentColor;
    QuickButtonAlphaMaskPictureIndex = d->QuickButtonAlphaMaskPictureIndex;
    AnimateSkinRect = d->AnimateSkinRect;
    FrameCount = d->FrameCount;
    AnimateInterval = d->AnimateInterval;
    InActiveAnimation = d->InActiveAnimation;
}

bool TspSkinCaptionObject::QuickButtonsInUse() const
{
    TspQuickButtonItems* q = Parent->QuickButtons();
    return Parent->SupportNCArea() && q && q->Count() > 0 && Parent->QuickImageList();
}

bool TspSkinCaptionObject::EnableAnimation() const
{
    return SkinLoaded() && SD->EnableSkinEffects && !Empty(AnimateSkinRect) && FrameCount > 0;
}

TBitmap* TspSkinCaptionObject::DividerPicture(TRect& R) const
{
    R = (!Active && !Empty(InActiveDividerRect)) ? InActiveDividerRect : DividerRect;
    return Empty(R) ? nullptr : ActivePicture;
}

int TspSkinCaptionObject::QuickButtonsWidth() const
{
    if (!QuickButtonsInUse())
        return 0;
    const int n = Parent->QuickButtons()->Count(), iw = Parent->QuickImageList()->Width();
    TRect d;
    if (DividerPicture(d))
        return d.Width() + n * (iw + 8) + 6;
    return n * (iw + 8) + 5;
}

TRect TspSkinCaptionObject::TextRect() const
{
    TRect r(TextRct.left + QuickButtonsWidth(), TextRct.top, ObjectRect.Width() - (SkinRect.Width() - TextRct.right),
            TextRct.bottom);
    if (!Empty(FrameRect)) {
        r.left += FrameTextRect.left;
        r.top += FrameTextRect.top;
        r.right -= FrameRect.Width() - FrameTextRect.right;
    }
    return r;
}

void TspSkinCaptionObject::CaptionImage(TBitmap& Dst, TBitmap* Src, const TRect& R, bool AnimationFrame) const
{
    const int w = ObjectRect.Width(), h = ObjectRect.Height();
    if (!Src || Src->Empty() || Empty(R)) {
        Dst.SetSize(w, h);
        return;
    }
    // Where the caption lies in the frame picture: its top or bottom band
    // keeps the fixed ends the frame points give; a side is stretched whole.
    int placement = 0;
    if (w != SkinRect.Width() || h != SkinRect.Height()) {
        if (SkinRect.top <= SD->LTPoint.y && SkinRect.bottom < SD->RTPoint.y)
            placement = 1;
        else if (SkinRect.top >= SD->LBPoint.y && SkinRect.bottom > SD->RBPoint.y)
            placement = 2;
        else if (SkinRect.top <= SD->LTPoint.y && SkinRect.bottom > SD->LBPoint.y)
            placement = 3;
        else
            placement = 4;
    }
    if (AnimationFrame && placement > 2)
        placement = 0;
    if (placement != 0 && Parent->SkinHasFramePoints()) {
        if (placement <= 2) {
            const int l = std::max(0, static_cast<int>((placement == 1 ? SD->LTPoint.x : SD->LBPoint.x) - SkinRect.left));
            const int r = std::max(0, static_cast<int>(SkinRect.right - (placement == 1 ? SD->RTPoint.x : SD->RBPoint.x)));
            if (l || r) {
                CreateHSkinImage(l, r, &Dst, Src, R, w, h, StretchEffect);
                return;
            }
        } else {
            const int t = std::max(0, static_cast<int>((placement == 3 ? SD->LTPoint.y : SD->RTPoint.y) - SkinRect.top));
            const int b = std::max(0, static_cast<int>(SkinRect.bottom - (placement == 3 ? SD->LBPoint.y : SD->RBPoint.y)));
            if (t || b) {
                CreateVSkinImage(t, b, &Dst, Src, R, w, h, StretchEffect);
                return;
            }
        }
    }
    Dst.SetSize(w, h);
    Dst.Canvas()->CopyRect(TRect(0, 0, w, h), Src->Canvas(), R);
}

void TspSkinCaptionObject::DrawContent(TCanvas* C, int OX, int OY, TRect TR, bool ALook)
{
    std::string text = DefaultCaption || Parent->SupportNCArea() ? Parent->FrameCaptionText() : Caption;
    if (!DefaultCaption && !Caption.empty())
        text = Caption;
    if (text.empty() || Empty(TextRct) || TR.Width() <= 0)
        return;
    TFont* f = C->Font();
    if (Parent->UseSkinFontInCaption) {
        f->SetName(FontName);
        f->SetHeight(FontHeight);
        f->SetStyle(FontStyle);
    } else {
        f->Assign(Parent->DefCaptionFont());
    }
    if (SD->ResourceStrData())
        f->SetCharset(SD->ResourceStrData()->CharSet());
    ShortenWideTextToWidth(C, text, TR.Width());
    const int tw = WideTextWidth(C, text), th = WideTextHeight(C, text);
    int y = TR.top + TR.Height() / 2 - th / 2;
    int x = TR.left;
    if (QuickButtonsInUse() || Alignment == taCenter)
        x = TR.left + TR.Width() / 2 - tw / 2;
    else if (Alignment == taRightJustify)
        x = TR.right - tw;
    x += OX;
    y += OY;
    if (f->Height() % 2 != 0)
        --y;
    C->Brush()->SetStyle(bsClear);
    // The plate behind the text: fixed ends, the middle repeated.
    if (!Empty(FrameRect) && ActivePicture) {
        const TRect src = (ALook && !Empty(ActiveFrameRect)) ? ActiveFrameRect : FrameRect;
        const int pw = FullFrame ? ObjectRect.Width() - 2 * SD->ButtonsOffset
                                 : FrameRect.Width() + tw - FrameTextRect.Width();
        if (pw > 0) {
            TBitmap plate;
            CreateHSkinImage(FrameLeftOffset, FrameRightOffset, &plate, ActivePicture, src, pw, src.Height(), false);
            C->Draw(FullFrame ? OX + SD->ButtonsOffset : x - FrameTextRect.left, y - FrameTextRect.top, &plate);
        }
    }
    auto put = [&](int dx, int dy, TColor color) {
        C->Font()->SetColor(color);
        TRect r(x + dx, y + dy, x + dx + tw, y + dy + th);
        DrawWideText(C, text, r, DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    };
    if (Light)
        put(-1, -1, ALook ? ActiveLightColor : LightColor);
    if (Shadow)
        put(1, 1, ALook ? ActiveShadowColor : ShadowColor);
    const TColor ink = ALook ? ActiveFontColor : FontColor;
    C->Font()->SetColor(ink);
    TRect r(x, y, x + tw, y + th);
    if (ReflectionEffect)
        DrawWideTextWithReflection(C, r, text, DT_VCENTER | DT_SINGLELINE, ReflectionOffset,
                                   ALook ? ReflectionActiveColor : ReflectionColor);
    else if (VistaGlowEffect && (ALook || VistaGlowInActiveEffect))
        DrawWideTextWithGlowPlate(C, r, text, DT_VCENTER | DT_SINGLELINE, ALook ? GlowActiveColor : GlowColor);
    else if (!VistaGlowEffect && GlowEffect && (ALook || GlowInActiveEffect))
        DrawWideTextWithGlow(C, r, text, DT_VCENTER | DT_SINGLELINE, GlowOffset, ALook ? GlowActiveColor : GlowColor,
                             GlowSize);
    else
        put(0, 0, ink);
}

namespace {

// The hover background of a quick button: the skin's quick-button piece, or
// its small tool button, or none.
TspDataSkinButtonControl* QuickButtonPiece(TspSkinData* SD)
{
    for (const char* name : {"officequickbutton", "resizetoolbutton"}) {
        const int i = SD->GetControlIndex(name);
        if (i != -1)
            return dynamic_cast<TspDataSkinButtonControl*>(SD->CtrlList[static_cast<std::size_t>(i)].get());
    }
    return nullptr;
}

}  // namespace

void TspSkinCaptionObject::DrawQuickButtons(TCanvas* C)
{
    TspQuickButtonItems* q = Parent->QuickButtons();
    TCustomImageList* il = Parent->QuickImageList();
    const int iw = il->Width(), ih = il->Height(), h = ObjectRect.Height();
    int x = ObjectRect.left + 5;
    TRect dr;
    if (TBitmap* dp = DividerPicture(dr)) {
        TBitmap div;
        div.SetSize(dr.Width(), dr.Height());
        div.Canvas()->CopyRect(TRect(0, 0, dr.Width(), dr.Height()), dp->Canvas(), dr);
        if (DividerTransparent) {
            div.SetTransparentMode(tmFixed);
            div.SetTransparentColor(DividerTransparentColor);
            div.SetTransparent(true);
        }
        C->Draw(ObjectRect.left + 3, ObjectRect.top + TextRct.Height() / 2 - dr.Height() / 2, &div);
        x = ObjectRect.left + dr.Width() + 6;
    }
    const int y = ObjectRect.top + h / 2 - ih / 2 - 2;
    TspDataSkinButtonControl* piece = QuickButtonPiece(SD);
    TBitmap* piecePic = piece ? PictureAt(SD, piece->PictureIndex) : nullptr;
    for (int i = 0; i < q->Count(); ++i) {
        TspQuickButtonItem* it = q->Items(i);
        if (!it->Visible())
            continue;
        it->ItemRect = TRect(x, y, x + iw + 4, y + ih + 4);
        x += iw + 8;
        if (it->ImageIndex() < 0)
            continue;
        const TRect look = piece ? (it->Down ? piece->DownSkinRect : piece->ActiveSkinRect) : TRect();
        if (it->Active && piecePic && !Empty(look)) {
            TBitmap bg;
            bg.SetSize(it->ItemRect.Width(), it->ItemRect.Height());
            CreateStretchImage(&bg, piecePic, look, piece->ClRect, true);
            C->Draw(it->ItemRect.left, it->ItemRect.top, &bg);
        }
        il->Draw(C, it->ItemRect.left + it->ItemRect.Width() / 2 - iw / 2,
                 it->ItemRect.top + it->ItemRect.Height() / 2 - ih / 2, it->ImageIndex(), it->Enabled());
    }
}

void TspSkinCaptionObject::Draw(TCanvas* Cnvs, bool UpDate)
{
    if (!SkinLoaded() || Empty(ObjectRect))
        return;
    Active = Parent->GetFormActive();
    const bool animate = EnableAnimation();
    if (animate) {
        if (!Active && !InActiveAnimation)
            CurrentFrame = 0;
        else if (Active && CurrentFrame == 0)
            CurrentFrame = 1;
    }
    if (Parent->OnCaptionPaint) {
        Parent->OnCaptionPaint(Cnvs, ObjectRect, Active);
        return;
    }
    const TRect tr = TextRect();
    const int w = ObjectRect.Width(), h = ObjectRect.Height();
    // The images below cover the whole object; the quick buttons go on top.
    TBitmap img;
    bool haveImage = true;
    if (animate && CurrentFrame >= 1 && CurrentFrame <= FrameCount) {
        // One frame of the strip; the text keeps the look being left until
        // the transition ends.
        TRect fr = AnimateSkinRect;
        if (SkinRect.Height() < AnimateSkinRect.Height()) {
            const int fh = AnimateSkinRect.Height() / FrameCount;
            fr = TRect(fr.left, fr.top + (CurrentFrame - 1) * fh, fr.right, fr.top + CurrentFrame * fh);
        } else {
            const int fw = AnimateSkinRect.Width() / FrameCount;
            fr = TRect(fr.left + (CurrentFrame - 1) * fw, fr.top, fr.left + CurrentFrame * fw, fr.bottom);
        }
        CaptionImage(img, ActivePicture, fr, true);
        DrawContent(img.Canvas(), 0, 0, tr, !Active);
    } else if (Active && !Empty(ActiveSkinRect)) {
        CaptionImage(img, ActivePicture, ActiveSkinRect, false);
        DrawContent(img.Canvas(), 0, 0, tr, true);
    } else if (!Parent->SupportNCArea() || UpDate) {
        CaptionImage(img, SkinRectInAPicture ? ActivePicture : Picture, SkinRect, false);
        DrawContent(img.Canvas(), 0, 0, tr, Active);
    } else {
        haveImage = false;
    }
    if (haveImage && img.Width() == w && img.Height() == h)
        Cnvs->Draw(ObjectRect.left, ObjectRect.top, &img);
    else
        DrawContent(Cnvs, ObjectRect.left, ObjectRect.top, tr, Active);
    if (QuickButtonsInUse())
        DrawQuickButtons(Cnvs);
}

void TspSkinCaptionObject::RepaintCaption()
{
    if (Parent->Form()->HandleAllocated())
        SendMessage(Parent->Form()->Handle(), WM_NCPAINT, 0, 0);
}

void TspSkinCaptionObject::TrackQuickButtons(int X, int Y)
{
    TspQuickButtonItems* q = Parent->QuickButtons();
    if (!q || q->Count() == 0)
        return;
    OldActiveQuickButton = ActiveQuickButton;
    ActiveQuickButton = -1;
    for (int i = 0; i < q->Count(); ++i) {
        TspQuickButtonItem* it = q->Items(i);
        if (it->Enabled() && it->Visible() && Inside(it->ItemRect, TPoint(X, Y))) {
            ActiveQuickButton = i;
            break;
        }
    }
    bool changed = false;
    for (int i = 0; i < q->Count(); ++i) {
        if (i == PopupMenuQuickButton)
            continue;
        TspQuickButtonItem* it = q->Items(i);
        const bool a = i == ActiveQuickButton;
        changed = changed || it->Active != a;
        it->Active = a;
    }
    if (changed || OldActiveQuickButton != ActiveQuickButton)
        RepaintCaption();
    TspSkinHint* hint = Parent->SkinHint();
    if (!hint || !Parent->QuickButtonsShowHint)
        return;
    if (ActiveQuickButton != -1 && ActiveQuickButton != OldActiveQuickButton) {
        if (!q->Items(ActiveQuickButton)->Hint.empty())
            hint->ActivateHint2(q->Items(ActiveQuickButton)->Hint);
    } else if (changed && ActiveQuickButton == -1) {
        hint->HideHint();
    }
}

void TspSkinCaptionObject::ShowQuickButtonMenu(const TRect& R, TspSkinPopupMenu* Menu)
{
    Parent->HideGlowLayers();
    Menu->PopupFromRect(Parent->ObjectScreenRect(R), false);
}

void TspSkinCaptionObject::ReleaseMenuQuickButton()
{
    TspQuickButtonItems* q = Parent->QuickButtons();
    if (PopupMenuQuickButton == -1)
        return;
    if (q && PopupMenuQuickButton < q->Count()) {
        q->Items(PopupMenuQuickButton)->Active = false;
        q->Items(PopupMenuQuickButton)->Down = false;
    }
    PopupMenuQuickButton = -1;
    RepaintCaption();
}

void TspSkinCaptionObject::MouseEnter()
{
    FMouseIn = true;
    Parent->DoMouseEnterEvent(IDName);
}

void TspSkinCaptionObject::MouseLeave()
{
    FMouseIn = false;
    Parent->DoMouseLeaveEvent(IDName);
    if (QuickButtonsInUse()) {
        ActiveQuickButton = OldActiveQuickButton = -1;
        TrackQuickButtons(-1, -1);
    }
}

void TspSkinCaptionObject::MouseMove(int X, int Y)
{
    TspActiveSkinObject::MouseMove(X, Y);
    if (QuickButtonsInUse())
        TrackQuickButtons(X, Y);
}

void TspSkinCaptionObject::MouseDown(int X, int Y, TMouseButton Button)
{
    TspActiveSkinObject::MouseDown(X, Y, Button);
    if (!QuickButtonsInUse())
        return;
    TrackQuickButtons(X, Y);
    TspQuickButtonItems* q = Parent->QuickButtons();
    if (Button == mbLeft && ActiveQuickButton != -1) {
        for (int i = 0; i < q->Count(); ++i) {
            TspQuickButtonItem* it = q->Items(i);
            if (i == ActiveQuickButton)
                it->Down = true;
            else
                it->Down = it->Active = false;
        }
        TspQuickButtonItem* it = q->Items(ActiveQuickButton);
        if (it->PopupMenu() && PopupMenuQuickButton != ActiveQuickButton) {
            // The button stays down until the form's menu chain closes.
            RepaintCaption();
            PopupMenuQuickButton = ActiveQuickButton;
            MouseCaptureQuickButton = -1;
            ShowQuickButtonMenu(it->ItemRect, it->PopupMenu());
        } else {
            // Without a menu the button is held until the release.
            MouseCaptureQuickButton = ActiveQuickButton;
        }
        RepaintCaption();
    }
    // The menu's handlers may have rebuilt the buttons.
    if (ActiveQuickButton != -1 && ActiveQuickButton < q->Count()) {
        TspQuickButtonItem* it = q->Items(ActiveQuickButton);
        if (it->OnMouseDown)
            it->OnMouseDown(this, Button, TShiftState{}, X, Y);
    }
    if (Parent->SkinHint() && Parent->QuickButtonsShowHint)
        Parent->SkinHint()->HideHint();
}

void TspSkinCaptionObject::MouseUp(int X, int Y, TMouseButton Button)
{
    if (Parent->OnMouseUpEvent)
        Parent->OnMouseUpEvent(IDName, X, Y, ObjectRect, Button);
    if (!Parent->SupportNCArea())
        return;
    TspQuickButtonItems* q = Parent->QuickButtons();
    if (!QuickButtonsInUse())
        ActiveQuickButton = -1;
    else
        TrackQuickButtons(X, Y);
    if (ActiveQuickButton == -1 && MouseCaptureQuickButton != -1 && MouseCaptureQuickButton < q->Count()) {
        q->Items(MouseCaptureQuickButton)->Down = false;
        q->Items(MouseCaptureQuickButton)->Active = false;
    }
    MouseCaptureQuickButton = -1;
    if (ActiveQuickButton == -1 || Button != mbLeft)
        return;
    TspQuickButtonItem* it = q->Items(ActiveQuickButton);
    const bool wasDown = it->Down;
    for (int i = 0; i < q->Count(); ++i)
        if (i != PopupMenuQuickButton)
            q->Items(i)->Down = false;
    RepaintCaption();
    // The handler may free the form: nothing of it is touched afterwards.
    if (wasDown && it->OnClick)
        it->OnClick(this);
}
