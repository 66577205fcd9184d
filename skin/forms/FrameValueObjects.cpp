#include "skin/forms/FrameValueObjects.h"

#include "platform/gdi/Gdi.h"
#include "skin/core/SkinDrawUtils.h"

#include <algorithm>
#include <cmath>
#include <numbers>

using spforms::Empty;
using spforms::Inside;

namespace {

// Rectangle R of Src onto Dst at (X, Y); nothing for no picture or an empty R.
void CopyPart(TCanvas* Dst, int X, int Y, TBitmap* Src, const TRect& R)
{
    if (!Src || Src->Empty() || Empty(R))
        return;
    Dst->CopyRect(TRect(X, Y, X + R.Width(), Y + R.Height()), Src->Canvas(), R);
}

}  // namespace

// ---- track bar ----

TspSkinTrackBarObject::TspSkinTrackBarObject(TspFormSkinner* AParent, TspDataSkinObject* AData)
    : TspActiveSkinObject(AParent, AData)
{
    if (auto* d = dynamic_cast<TspDataSkinTrackBar*>(AData)) {
        ButtonRect = d->ButtonRect;
        ActiveButtonRect = d->ActiveButtonRect;
        BeginPoint = d->BeginPoint;
        EndPoint = d->EndPoint;
        MinValue = d->MinValue;
        MaxValue = d->MaxValue;
        MouseDownChangeValue = d->MouseDownChangeValue;
        ButtonTransparent = d->ButtonTransparent;
        ButtonTransparentColor = d->ButtonTransparentColor;
    }
    TrackKind = std::abs(BeginPoint.y - EndPoint.y) >= std::abs(EndPoint.x - BeginPoint.x) ? tkVertical : tkHorizontal;
    FValue = MinValue;
    FButtonPos = FOldButtonPos = PositionOf(FValue);
}

int TspSkinTrackBarObject::Clamp(int AValue) const
{
    return std::max(MinValue, std::min(MaxValue, AValue));
}

// An empty range (MinValue = MaxValue) puts the button at the track's begin.
TPoint TspSkinTrackBarObject::PositionOf(int AValue) const
{
    const double f = MaxValue == MinValue ? 0.0 : static_cast<double>(AValue - MinValue) / (MaxValue - MinValue);
    if (TrackKind == tkHorizontal)
        return TPoint(BeginPoint.x + static_cast<int>(std::nearbyint(f * (EndPoint.x - BeginPoint.x))), BeginPoint.y);
    return TPoint(BeginPoint.x, EndPoint.y + static_cast<int>(std::nearbyint((1 - f) * (BeginPoint.y - EndPoint.y))));
}

int TspSkinTrackBarObject::ValueOf(TPoint P) const
{
    double f = 0;
    if (TrackKind == tkHorizontal) {
        if (EndPoint.x != BeginPoint.x)
            f = static_cast<double>(P.x - BeginPoint.x) / (EndPoint.x - BeginPoint.x);
    } else if (BeginPoint.y != EndPoint.y) {
        f = 1 - static_cast<double>(P.y - EndPoint.y) / (BeginPoint.y - EndPoint.y);
    }
    return MinValue + static_cast<int>(std::nearbyint((MaxValue - MinValue) * f));
}

void TspSkinTrackBarObject::SetValue(int AValue)
{
    if (AValue == FValue)
        return;
    SimplySetValue(AValue);
    Parent->DrawSkinObject(this);
}

void TspSkinTrackBarObject::SimplySetValue(int AValue)
{
    const int v = Clamp(AValue);
    const bool changed = v != FValue;
    FValue = v;
    FOldButtonPos = FButtonPos;
    FButtonPos = PositionOf(FValue);
    // A value clamped to the one already held raises nothing.
    if (changed && Parent->OnTrackBarChangeValueEvent)
        Parent->OnTrackBarChangeValueEvent(IDName, FValue);
}

void TspSkinTrackBarObject::MoveButton(TPoint P)
{
    if (P.x == FButtonPos.x && P.y == FButtonPos.y)
        return;
    FOldButtonPos = FButtonPos;
    FButtonPos = P;
    const int v = Clamp(ValueOf(P));
    const bool changed = v != FValue;
    FValue = v;
    Parent->DrawSkinObject(this);
    if (changed && Parent->OnTrackBarChangeValueEvent)
        Parent->OnTrackBarChangeValueEvent(IDName, FValue);
}

TRect TspSkinTrackBarObject::CalcButtonRect() const
{
    const int w = ButtonRect.Width(), h = ButtonRect.Height();
    return TRect(FButtonPos.x - w / 2, FButtonPos.y - h / 2, FButtonPos.x - w / 2 + w, FButtonPos.y - h / 2 + h);
}

void TspSkinTrackBarObject::Draw(TCanvas* Cnvs, bool)
{
    if (!SkinLoaded() || Empty(SkinRect))
        return;
    const int w = SkinRect.Width(), h = SkinRect.Height();
    TBitmap b;
    b.SetSize(w, h);
    TCanvas* c = b.Canvas();
    CopyPart(c, 0, 0, Picture, SkinRect);
    if (!Empty(ActiveSkinRect) && ActivePicture) {
        if (TrackKind == tkHorizontal) {
            const int x = std::max(0, std::min(w, static_cast<int>(FButtonPos.x)));
            CopyPart(c, 0, 0, ActivePicture, TRect(ActiveSkinRect.left, ActiveSkinRect.top, ActiveSkinRect.left + x, ActiveSkinRect.bottom));
        } else {
            const int y = std::max(0, std::min(h, static_cast<int>(FButtonPos.y)));
            CopyPart(c, 0, y, ActivePicture, TRect(ActiveSkinRect.left, ActiveSkinRect.top + y, ActiveSkinRect.right, ActiveSkinRect.bottom));
        }
    }
    const TRect look = (MoveActive && !Empty(ActiveButtonRect)) ? ActiveButtonRect : ButtonRect;
    if (ActivePicture && !Empty(look)) {
        TBitmap btn;
        btn.SetSize(look.Width(), look.Height());
        btn.Canvas()->CopyRect(TRect(0, 0, look.Width(), look.Height()), ActivePicture->Canvas(), look);
        if (ButtonTransparent) {
            btn.SetTransparentMode(tmFixed);
            btn.SetTransparentColor(ButtonTransparentColor);
            btn.SetTransparent(true);
        }
        const TRect r = CalcButtonRect();
        c->Draw(r.left, r.top, &btn);
    }
    Cnvs->Draw(ObjectRect.left, ObjectRect.top, &b);
}

void TspSkinTrackBarObject::MouseDown(int X, int Y, TMouseButton Button)
{
    const TPoint p(X - ObjectRect.left, Y - ObjectRect.top);
    if (Button == mbLeft && Inside(CalcButtonRect(), p)) {
        MoveActive = true;
        FOldMPoint = p;
        if (!Empty(ActiveButtonRect))
            Parent->DrawSkinObject(this);
    } else if (Button == mbLeft && MouseDownChangeValue) {
        if (TrackKind == tkHorizontal)
            MoveButton(TPoint(std::max(BeginPoint.x, std::min(EndPoint.x, p.x)), BeginPoint.y));
        else
            MoveButton(TPoint(BeginPoint.x, std::max(EndPoint.y, std::min(BeginPoint.y, p.y))));
    }
    TspActiveSkinObject::MouseDown(X, Y, Button);
}

void TspSkinTrackBarObject::MouseMove(int X, int Y)
{
    const TPoint p(X - ObjectRect.left, Y - ObjectRect.top);
    if (MoveActive) {
        if (TrackKind == tkHorizontal) {
            const int x = FButtonPos.x + (p.x - FOldMPoint.x);
            if (x >= BeginPoint.x && x <= EndPoint.x)
                MoveButton(TPoint(x, FButtonPos.y));
        } else {
            const int y = FButtonPos.y + (p.y - FOldMPoint.y);
            if (y >= EndPoint.y && y <= BeginPoint.y)
                MoveButton(TPoint(FButtonPos.x, y));
        }
        FOldMPoint = p;
    }
    TspActiveSkinObject::MouseMove(X, Y);
}

void TspSkinTrackBarObject::MouseUp(int X, int Y, TMouseButton Button)
{
    if (Button == mbLeft && MoveActive) {
        MoveActive = false;
        if (!Empty(ActiveButtonRect))
            Parent->DrawSkinObject(this);
    }
    TspActiveSkinObject::MouseUp(X, Y, Button);
}

// ---- switch ----

// A switch shows its state at once: its look follows no hover morph.
void TspSkinSwitchObject::SimpleSetState(TSwitchState Value)
{
    FState = Value;
    Active = Value == swsOn;
    SetMorphKf(Active ? 1 : 0);
}

void TspSkinSwitchObject::SetState(TSwitchState Value)
{
    SimpleSetState(Value);
    ReDraw();
    if (Parent->OnSwitchChangeStateEvent)
        Parent->OnSwitchChangeStateEvent(IDName, FState);
}

void TspSkinSwitchObject::MouseDown(int X, int Y, TMouseButton Button)
{
    if (Button == mbLeft)
        SetState(FState == swsOff ? swsOn : swsOff);
    TspActiveSkinObject::MouseDown(X, Y, Button);
}

void TspSkinSwitchObject::MouseEnter()
{
    FMouseIn = true;
    Parent->DoMouseEnterEvent(IDName);
}

void TspSkinSwitchObject::MouseLeave()
{
    FMouseIn = false;
    Parent->DoMouseLeaveEvent(IDName);
}

// ---- frame strips ----

void TspSkinFrameObject::TakeStrip(int ACountFrames, TFramesPlacement APlacement)
{
    CountFrames = ACountFrames;
    FramesPlacement = APlacement;
    if (CountFrames <= 0)
        return;
    if (FramesPlacement == fpHorizontal) {
        FrameW = ActiveSkinRect.Width() / CountFrames;
        FrameH = ActiveSkinRect.Height();
    } else {
        FrameW = ActiveSkinRect.Width();
        FrameH = ActiveSkinRect.Height() / CountFrames;
    }
}

void TspSkinFrameObject::SetFrame(int Value)
{
    if (Value >= 1 && Value <= CountFrames)
        FFrame = Value;
    Parent->DrawSkinObject(this);
}

void TspSkinFrameObject::Draw(TCanvas* Cnvs, bool)
{
    if (!SkinLoaded() || !ActivePicture || FrameW <= 0 || FrameH <= 0)
        return;
    const TRect& a = ActiveSkinRect;
    const TRect src = FramesPlacement == fpHorizontal
                          ? TRect(a.left + (FFrame - 1) * FrameW, a.top, a.left + FFrame * FrameW, a.top + FrameH)
                          : TRect(a.left, a.top + (FFrame - 1) * FrameH, a.left + FrameW, a.top + FFrame * FrameH);
    Cnvs->CopyRect(ObjectRect, ActivePicture->Canvas(), src);
}

// A step that does not divide the range evenly would give a frame past the
// last one for the top values: the frame is held at CountFrames.
int TspSkinFrameObject::FrameOfValue(int AValue, int AMin, int AMax) const
{
    if (CountFrames < 2)
        return 1;
    const int step = (AMax - AMin) / (CountFrames - 1);
    if (step == 0)
        return 1;
    return std::min(CountFrames, std::abs(AValue - AMin) / step + 1);
}

TspSkinFrameGaugeObject::TspSkinFrameGaugeObject(TspFormSkinner* AParent, TspDataSkinObject* AData)
    : TspSkinFrameObject(AParent, AData)
{
    if (auto* d = dynamic_cast<TspDataSkinFrameGaugeObject*>(AData)) {
        MinValue = d->MinValue;
        MaxValue = d->MaxValue;
        TakeStrip(d->CountFrames, d->FramesPlacement);
    }
}

void TspSkinFrameGaugeObject::SimplySetValue(int AValue)
{
    if (AValue == FValue || AValue < MinValue || AValue > MaxValue)
        return;
    FValue = AValue;
}

void TspSkinFrameGaugeObject::SetValue(int AValue)
{
    if (AValue == FValue || AValue < MinValue || AValue > MaxValue)
        return;
    FValue = AValue;
    Parent->DrawSkinObject(this);
}

void TspSkinFrameGaugeObject::Draw(TCanvas* Cnvs, bool UpDate)
{
    FFrame = FrameOfValue(FValue, MinValue, MaxValue);
    TspSkinFrameObject::Draw(Cnvs, UpDate);
}

void TspSkinFrameGaugeObject::MouseEnter() { SetHover(true); }
void TspSkinFrameGaugeObject::MouseLeave() { SetHover(false); }

TspSkinFrameRegulatorObject::TspSkinFrameRegulatorObject(TspFormSkinner* AParent, TspDataSkinObject* AData)
    : TspSkinFrameObject(AParent, AData)
{
    if (auto* d = dynamic_cast<TspDataSkinFrameRegulatorObject*>(AData)) {
        MinValue = d->MinValue;
        MaxValue = d->MaxValue;
        Kind = d->Kind;
        TakeStrip(d->CountFrames, d->FramesPlacement);
    }
    FValue = std::max(MinValue, std::min(MaxValue, 0));
}

void TspSkinFrameRegulatorObject::SetValue(int AValue)
{
    if (AValue == FValue || AValue < MinValue || AValue > MaxValue)
        return;
    FValue = AValue;
    Parent->DrawSkinObject(this);
    if (Parent->OnFrameRegulatorChangeValueEvent)
        Parent->OnFrameRegulatorChangeValueEvent(IDName, FValue);
}

void TspSkinFrameRegulatorObject::SimplySetValue(int AValue)
{
    if (AValue == FValue || AValue < MinValue || AValue > MaxValue)
        return;
    FValue = AValue;
    if (Parent->OnFrameRegulatorChangeValueEvent)
        Parent->OnFrameRegulatorChangeValueEvent(IDName, FValue);
}

void TspSkinFrameRegulatorObject::Draw(TCanvas* Cnvs, bool UpDate)
{
    FFrame = FrameOfValue(FValue, MinValue, MaxValue);
    TspSkinFrameObject::Draw(Cnvs, UpDate);
}

// At the exact centre there is no direction: the measure is 0 (straight down).
int TspSkinFrameRegulatorObject::AngleOf(int X, int Y) const
{
    const int w = ObjectRect.Width(), h = ObjectRect.Height();
    X = std::max(0, std::min(w, X - static_cast<int>(ObjectRect.left)));
    Y = std::max(0, std::min(h, Y - static_cast<int>(ObjectRect.top)));
    const int cx = w / 2, cy = h / 2;
    const double dx = cx - X, dy = cy - Y;
    const double len = std::sqrt(dx * dx + dy * dy);
    if (len == 0)
        return 0;
    int base = 0;
    if (X <= cx && Y < cy)
        base = 90;
    else if (X < cx && Y >= cy)
        base = 180;
    else if (X >= cx && Y > cy)
        base = 270;
    const double m = (base == 0 || base == 180) ? std::abs(dy) / len : std::abs(dx) / len;
    const int a = static_cast<int>(base + std::asin(m) * 180 / std::numbers::pi);
    const int r = 270 - a;
    return r < 0 ? r + 360 : r;
}

int TspSkinFrameRegulatorObject::Measure(int X, int Y) const
{
    switch (Kind) {
    case rkRound: return AngleOf(X, Y);
    case rkHorizontal: return X - ObjectRect.left;
    default: return -(Y - ObjectRect.top);
    }
}

void TspSkinFrameRegulatorObject::Step(bool Up)
{
    TempValue += Up ? FValInc : -FValInc;
    TempValue = std::max(MinValue, std::min(MaxValue, TempValue));
    SetValue(TempValue);
}

void TspSkinFrameRegulatorObject::MouseDown(int X, int Y, TMouseButton Button)
{
    FDown = true;
    TempValue = FValue;
    StartV = OldCurV = Measure(X, Y);
    TspActiveSkinObject::MouseDown(X, Y, Button);
}

void TspSkinFrameRegulatorObject::MouseUp(int X, int Y, TMouseButton Button)
{
    FDown = false;
    TspActiveSkinObject::MouseUp(X, Y, Button);
}

// CountFrames of 0 or 1 counts as one step over the whole range: no division by zero.
void TspSkinFrameRegulatorObject::MouseMove(int X, int Y)
{
    if (FDown) {
        CurV = Measure(X, Y);
        if (Kind == rkRound) {
            const int n = std::max(1, CountFrames);
            FPixInc = std::max(1, 360 / n);
            FValInc = std::max(1, (MaxValue - MinValue) / n);
            int distance;
            bool up;
            if (std::abs(CurV - OldCurV) <= 300) {
                distance = std::abs(CurV - StartV);
                up = CurV >= StartV;
            } else {
                // The angle jumped across 0/360.
                StartV = CurV;
                distance = FPixInc;
                up = CurV < OldCurV;
            }
            if (distance >= FPixInc) {
                StartV = CurV;
                Step(up);
            }
        } else {
            const int n = std::max(1, CountFrames - 1);
            FPixInc = std::max(1, (Kind == rkHorizontal ? FrameW : FrameH) / n);
            FValInc = std::max(1, (MaxValue - MinValue) / n);
            if (std::abs(CurV - StartV) >= FPixInc) {
                const bool up = CurV >= StartV;
                StartV = CurV;
                Step(up);
            }
        }
        OldCurV = CurV;
    }
    TspActiveSkinObject::MouseMove(X, Y);
}

// ---- animation ----

TspSkinAnimateObject::TspSkinAnimateObject(TspFormSkinner* AParent, TspDataSkinObject* AData)
    : TspActiveSkinObject(AParent, AData)
{
    if (auto* d = dynamic_cast<TspDataSkinAnimate*>(AData)) {
        CountFrames = d->CountFrames;
        Cycle = d->Cycle;
        ButtonStyle = d->ButtonStyle;
        TimerInterval = std::max(25, d->TimerInterval);
        Command = d->Command;
        DownSkinRect = d->DownSkinRect;
        RestoreRect = d->RestoreRect;
        RestoreActiveRect = d->RestoreActiveRect;
        RestoreDownRect = d->RestoreDownRect;
        RestoreInActiveRect = d->RestoreInActiveRect;
        RestoreHint = d->RestoreHint;
        FTempHint = d->Hint;
    }
}

bool TspSkinAnimateObject::CommandStateOn() const
{
    switch (Command) {
    case cmMaximize: return Parent->AppliedWindowState() == wsMaximized;
    case cmMinimize: return Parent->AppliedWindowState() == wsMinimized;
    case cmRollUp: return Parent->RollUpState();
    default: return false;
    }
}

void TspSkinAnimateObject::SetFrame(int Value)
{
    if (Increment && Value > CountFrames)
        Value = 1;
    else if (!Increment && Value <= 0)
        Value = CountFrames;
    FFrame = Value;
    Parent->DrawSkinObject(this);
}

void TspSkinAnimateObject::Start()
{
    FInc = 25;
    FFrame = 1;
    Active = true;
    Parent->AnimateTimer->SetEnabled(true);
}

void TspSkinAnimateObject::Stop()
{
    SetFrame(1);
    Active = false;
    FInc = 25;
}

void TspSkinAnimateObject::ChangeFrame()
{
    if (FInc < TimerInterval) {
        FInc += 25;
        return;
    }
    if (Increment) {
        SetFrame(FFrame + 1);
        if (!Cycle && FFrame >= CountFrames)
            Active = false;
    } else {
        SetFrame(FFrame - 1);
        if (FFrame <= 1)
            Active = false;
    }
    FInc = 25;
}

void TspSkinAnimateObject::Draw(TCanvas* Cnvs, bool)
{
    if (!SkinLoaded() || !ActivePicture)
        return;
    TRect normal = SkinRect, strip = ActiveSkinRect, down = DownSkinRect, inactive = InActiveSkinRect;
    if (!Empty(RestoreRect) && CommandStateOn()) {
        normal = RestoreRect;
        strip = RestoreActiveRect;
        down = RestoreDownRect;
        inactive = RestoreInActiveRect;
    }
    TRect src;
    if (FMenuTracking) {
        if (!Empty(down)) {
            src = down;
        } else {
            FFrame = CountFrames;
        }
    }
    if (Empty(src)) {
        if (!FMenuTracking && !Parent->GetFormActive() && !Empty(inactive)) {
            src = inactive;
        } else if (!FMenuTracking && FDown && FMouseIn && !Empty(down)) {
            src = down;
        } else {
            const int fw = normal.Width(), fh = normal.Height();
            const int f = std::max(1, FFrame);
            src = TRect(strip.left + (f - 1) * fw, strip.top, strip.left + f * fw, strip.top + fh);
        }
    }
    CopyLook(Cnvs, ActivePicture, src);
}

void TspSkinAnimateObject::MouseEnter()
{
    if (Command != cmDefault)
        Hint = (!RestoreHint.empty() && CommandStateOn()) ? RestoreHint : FTempHint;
    FMouseIn = true;
    if (FMenuTracking)
        return;
    if (ButtonStyle) {
        Active = true;
        Increment = true;
        if (FDown && !Empty(DownSkinRect))
            Parent->DrawSkinObject(this);
        else
            Parent->AnimateTimer->SetEnabled(true);
    }
    Parent->DoMouseEnterEvent(IDName);
    ShowLayer();
}

void TspSkinAnimateObject::MouseLeave()
{
    if (!FMouseIn)
        return;
    FMouseIn = false;
    if (FMenuTracking)
        return;
    if (ButtonStyle) {
        Active = true;
        Increment = false;
        if (FDown && !Empty(DownSkinRect))
            Parent->DrawSkinObject(this);
        else
            Parent->AnimateTimer->SetEnabled(true);
    }
    Parent->DoMouseLeaveEvent(IDName);
    HideLayer();
}

void TspSkinAnimateObject::MouseDown(int X, int Y, TMouseButton Button)
{
    TspActiveSkinObject::MouseDown(X, Y, Button);
    if (Button == mbLeft && !Empty(DownSkinRect)) {
        FFrame = CountFrames;
        FDown = true;
        Parent->DrawSkinObject(this);
    }
}

void TspSkinAnimateObject::MouseUp(int X, int Y, TMouseButton Button)
{
    const bool over = FMouseIn;
    TspActiveSkinObject::MouseUp(X, Y, Button);
    if (FMenuTracking)
        return;
    if (Button == mbLeft && !Empty(DownSkinRect)) {
        FDown = false;
        Parent->DrawSkinObject(this);
        Parent->AnimateTimer->SetEnabled(true);
    }
    // The command runs last: closing may free the form.
    if (ButtonStyle && Command != cmSysMenu && over && Button == mbLeft)
        DoCommand();
}

void TspSkinAnimateObject::DblClick()
{
    if (Command == cmSysMenu)
        Parent->Form()->Close();
}

// As a caption button's command, without hiding the glow first.
void TspSkinAnimateObject::DoCommand() { TspSkinStdButtonObject::RunCommand(this, Command, false); }

// ---- gauge ----

TspSkinGaugeObject::TspSkinGaugeObject(TspFormSkinner* AParent, TspDataSkinObject* AData)
    : TspActiveSkinObject(AParent, AData)
{
    if (auto* d = dynamic_cast<TspDataSkinGauge*>(AData)) {
        MinValue = d->MinValue;
        MaxValue = d->MaxValue;
        Kind = d->Kind;
    }
    FValue = MinValue;
    FProgressPos = FOldProgressPos = PositionOf(FValue);
}

// An empty range shows the gauge empty.
TPoint TspSkinGaugeObject::PositionOf(int AValue) const
{
    const double f = MaxValue == MinValue ? 0.0 : static_cast<double>(AValue - MinValue) / (MaxValue - MinValue);
    if (Kind == gkHorizontal)
        return TPoint(static_cast<int>(std::nearbyint(f * SkinRect.Width())), 0);
    return TPoint(0, static_cast<int>(std::nearbyint(SkinRect.Height() * (1 - f))));
}

void TspSkinGaugeObject::SimplySetValue(int AValue)
{
    if (AValue == FValue)
        return;
    FValue = std::max(MinValue, std::min(MaxValue, AValue));
    FOldProgressPos = FProgressPos;
    FProgressPos = PositionOf(FValue);
}

void TspSkinGaugeObject::SetValue(int AValue)
{
    SimplySetValue(AValue);
    Parent->DrawSkinObject(this);
}

void TspSkinGaugeObject::Draw(TCanvas* Cnvs, bool UpDate)
{
    if (!SkinLoaded() || (!UpDate && FValue == MinValue))
        return;
    const int w = ObjectRect.Width(), h = ObjectRect.Height();
    if (w <= 0 || h <= 0)
        return;
    TBitmap b;
    b.SetSize(w, h);
    TCanvas* c = b.Canvas();
    CopyPart(c, 0, 0, Picture, SkinRect);
    if (ActivePicture && !Empty(ActiveSkinRect)) {
        const TRect& a = ActiveSkinRect;
        if (Kind == gkHorizontal)
            CopyPart(c, 0, 0, ActivePicture, TRect(a.left, a.top, a.left + std::min<int>(FProgressPos.x, a.Width()), a.bottom));
        else
            CopyPart(c, 0, FProgressPos.y, ActivePicture, TRect(a.left, a.top + FProgressPos.y, a.right, a.bottom));
    }
    Cnvs->Draw(ObjectRect.left, ObjectRect.top, &b);
}

void TspSkinGaugeObject::MouseEnter() { SetHover(true); }
void TspSkinGaugeObject::MouseLeave() { SetHover(false); }

// ---- labels ----

TspSkinBitLabelObject::TspSkinBitLabelObject(TspFormSkinner* AParent, TspDataSkinObject* AData)
    : TspActiveSkinObject(AParent, AData)
{
    if (auto* d = dynamic_cast<TspDataSkinBitLabel*>(AData)) {
        FTextValue = d->TextValue;
        SymbolWidth = d->SymbolWidth;
        SymbolHeight = d->SymbolHeight;
        Symbols = d->Symbols;
        Transparent = d->Transparent;
        TransparentColor = d->TransparentColor;
    }
}

void TspSkinBitLabelObject::SetTextValue(const std::string& AValue, bool AUpDate)
{
    FTextValue = AValue;
    if (AUpDate)
        Parent->DrawSkinObject(this);
}

void TspSkinBitLabelObject::Draw(TCanvas* Cnvs, bool)
{
    if (!SkinLoaded() || Empty(SkinRect))
        return;
    const int w = SkinRect.Width(), h = SkinRect.Height();
    TBitmap b;
    b.SetSize(w, h);
    TCanvas* c = b.Canvas();
    CopyPart(c, 0, 0, Picture, SkinRect);
    if (ActivePicture && Symbols && SymbolWidth > 0 && SymbolHeight > 0) {
        for (std::size_t i = 0; i < FTextValue.size(); ++i) {
            const int x = static_cast<int>(i) * SymbolWidth;
            if (x >= w)
                break;
            int row = -1, col = -1;
            for (int l = 0; l < Symbols->Count() && row == -1; ++l) {
                const std::size_t p = Symbols->Strings(l).find(FTextValue[i]);
                if (p != std::string::npos) {
                    row = l;
                    col = static_cast<int>(p);
                }
            }
            if (row == -1)
                continue;
            // A cell reaching past the right edge is cut there and ends the text.
            const int cw = std::min(SymbolWidth, w - x);
            const int sx = ActiveSkinRect.left + col * SymbolWidth, sy = ActiveSkinRect.top + row * SymbolHeight;
            c->CopyRect(TRect(x, 0, x + cw, SymbolHeight), ActivePicture->Canvas(), TRect(sx, sy, sx + cw, sy + SymbolHeight));
            if (cw < SymbolWidth)
                break;
        }
    }
    if (Transparent && SD->FPicture) {
        TBitmap under;
        under.SetSize(w, h);
        CopyPart(under.Canvas(), 0, 0, SD->FPicture.get(), SkinRect);
        b.SetTransparentMode(tmFixed);
        b.SetTransparentColor(TransparentColor);
        b.SetTransparent(true);
        under.Canvas()->Draw(0, 0, &b);
        Cnvs->Draw(ObjectRect.left, ObjectRect.top, &under);
        return;
    }
    Cnvs->Draw(ObjectRect.left, ObjectRect.top, &b);
}

TspSkinLabelObject::TspSkinLabelObject(TspFormSkinner* AParent, TspDataSkinObject* AData)
    : TspActiveSkinObject(AParent, AData)
{
    if (auto* d = dynamic_cast<TspDataSkinLabel*>(AData)) {
        FTextValue = d->TextValue;
        FontName = d->FontName;
        FontStyle = d->FontStyle;
        FontHeight = d->FontHeight;
        FontColor = d->FontColor;
        ActiveFontColor = d->ActiveFontColor;
        Alignment = d->Alignment;
    }
}

void TspSkinLabelObject::SetTextValue(const std::string& AValue, bool AUpDate)
{
    FTextValue = AValue;
    if (AUpDate)
        Parent->DrawSkinObject(this);
}

void TspSkinLabelObject::Image(TBitmap& B, TBitmap* Pic, const TRect& R, TColor Ink)
{
    const int w = ObjectRect.Width(), h = ObjectRect.Height();
    B.SetSize(w, h);
    TCanvas* c = B.Canvas();
    CopyPart(c, 0, 0, Pic, R);
    c->Font()->SetName(FontName);
    c->Font()->SetStyle(FontStyle);
    c->Font()->SetHeight(FontHeight);
    c->Font()->SetColor(Ink);
    c->Brush()->SetStyle(bsClear);
    const int tw = c->TextWidth(FTextValue), th = c->TextHeight(FTextValue);
    const int x = Alignment == taRightJustify ? w - tw : Alignment == taCenter ? w / 2 - tw / 2 : 0;
    TRect clip(0, 0, w, h);
    c->TextRect(clip, x, h / 2 - th / 2, FTextValue);
}

void TspSkinLabelObject::Draw(TCanvas* Cnvs, bool)
{
    if (!SkinLoaded() || Empty(ObjectRect))
        return;
    TBitmap b;
    const bool morphing = EnableMorphing() && !FMorph.AtEnd(Active);
    if (!morphing) {
        if (!Active)
            Image(b, Picture, SkinRect, FontColor);
        else if (!Empty(ActiveSkinRect))
            Image(b, ActivePicture, ActiveSkinRect, ActiveFontColor);
        else if (ActiveFontColor != FontColor)
            Image(b, Picture, SkinRect, ActiveFontColor);
        else
            return;
        Cnvs->Draw(ObjectRect.left, ObjectRect.top, &b);
        return;
    }
    // The normal image towards the active one by the morph factor.
    TBitmap active;
    Image(b, Picture, SkinRect, FontColor);
    if (!Empty(ActiveSkinRect))
        Image(active, ActivePicture, ActiveSkinRect, ActiveFontColor);
    else
        Image(active, Picture, SkinRect, ActiveFontColor);
    BlendLooks(Cnvs, &b, &active);
}

void TspSkinLabelObject::MouseEnter()
{
    FMouseIn = Active = true;
    if (!Empty(ActiveSkinRect) || ActiveFontColor != FontColor)
        ReDraw();
    Parent->DoMouseEnterEvent(IDName);
}

void TspSkinLabelObject::MouseLeave()
{
    FMouseIn = Active = false;
    if (!Empty(ActiveSkinRect) || ActiveFontColor != FontColor)
        ReDraw();
    Parent->DoMouseLeaveEvent(IDName);
}
