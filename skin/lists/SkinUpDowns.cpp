#include "skin/lists/SkinUpDowns.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/user/Messages.h"
#include "platform/user/WindowRegion.h"
#include "skin/controls/ValueControlParts.h"
#include "skin/core/SkinButtonPieces.h"
#include "skin/core/SkinDrawGlyphs.h"
#include "skin/core/SkinEditPieces.h"

#include <cstdint>

namespace {

constexpr UINT_PTR kRepeatTimer = 1;
constexpr UINT kFirstDelay = 500, kRepeatDelay = 100, kComeBackDelay = 50;
constexpr int kLeft = 1, kRight = 2, kUp = 3, kDown = 4;

bool InButton(const TRect& R, int X, int Y) { return X >= R.left && X <= R.right && Y >= R.top && Y <= R.bottom; }

}  // namespace

// ---- the button pair -------------------------------------------------------------

int TspButtonPair::ButtonAt(int X, int Y) const
{
    for (int i = 0; i < 2; ++i)
        if (InButton(Buttons[i].R, X, Y))
            return i;
    return -1;
}

void TspButtonPair::StartTimer(UINT Ms)
{
    if (HWND w = PairTimerWindow()) {
        SetTimer(w, kRepeatTimer, Ms, nullptr);
        FTimerOn = true;
    }
}

void TspButtonPair::PairStopTimer()
{
    if (FTimerOn)
        if (HWND w = PairTimerWindow())
            KillTimer(w, kRepeatTimer);
    FTimerOn = false;
}

void TspButtonPair::PairMouseMove(int X, int Y)
{
    int now = ButtonAt(X, Y);
    if (CaptureButton != -1 && now != CaptureButton)
        now = -1;
    if (now == ActiveButton)
        return;
    OldActiveButton = ActiveButton;
    ActiveButton = now;
    if (OldActiveButton != -1) {
        TspUpDownButton& old = Buttons[OldActiveButton];
        old.MouseIn = false;
        PairRepaint();
        if (old.Down && PairRepeats())
            PairStopTimer();
    }
    if (now != -1) {
        Buttons[now].MouseIn = true;
        Buttons[1 - now].MouseIn = false;
        PairRepaint();
        if (Buttons[now].Down && PairRepeats()) {
            WaitMode = false;
            StartTimer(kComeBackDelay);
        }
    }
}

void TspButtonPair::PairMouseDown(int X, int Y)
{
    ActiveButton = ButtonAt(X, Y);
    if (ActiveButton == -1)
        return;
    Buttons[1 - ActiveButton].MouseIn = false;
    CaptureButton = ActiveButton;
    Buttons[ActiveButton].MouseIn = true;
    Buttons[ActiveButton].Down = true;
    PairRepaint();
    if (PairRepeats()) {
        TimerMode = ActiveButton == 0 ? 2 : 1;
        WaitMode = true;
        StartTimer(kFirstDelay);
    }
}

bool TspButtonPair::PairTimer(UINT_PTR Id)
{
    if (Id != kRepeatTimer)
        return false;
    if (WaitMode) {
        WaitMode = false;
        StartTimer(kRepeatDelay);
        return true;
    }
    if (TimerMode != 0)
        PairRepeatStep(TimerMode);
    return true;
}

void TspButtonPair::PairMouseUp()
{
    if (PairRepeats()) {
        PairStopTimer();
        TimerMode = 0;
    }
    const int b = CaptureButton;
    if (b == -1)
        return;
    Buttons[b].Down = false;
    if (ActiveButton != b)
        Buttons[b].MouseIn = false;
    PairRepaint();
    CaptureButton = -1;
    PairReleased(b, Buttons[b].MouseIn);
}

void TspButtonPair::PairClearHover()
{
    Buttons[0].MouseIn = Buttons[1].MouseIn = false;
    PairRepaint();
}

// ---- the control of a button pair ----------------------------------------------------

void TspButtonPairControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TspSkinCustomControl::MouseDown(Button, Shift, X, Y);
    PairMouseDown(X, Y);
}

void TspButtonPairControl::MouseMove(TShiftState Shift, int X, int Y)
{
    TspSkinCustomControl::MouseMove(Shift, X, Y);
    PairMouseMove(X, Y);
}

void TspButtonPairControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TspSkinCustomControl::MouseUp(Button, Shift, X, Y);
    PairMouseUp();
}

void TspButtonPairControl::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_TIMER:
        if (PairTimer(Message.WParam)) {
            Message.Result = 0;
            return;
        }
        break;
    case CM_MOUSEENTER:
        ActiveButton = OldActiveButton = -1;
        break;
    case CM_MOUSELEAVE:
        TspSkinCustomControl::WndProc(Message);
        PairClearHover();
        return;
    case WM_DESTROY:
        PairStopTimer();
        break;
    default:
        break;
    }
    TspSkinCustomControl::WndProc(Message);
}

// ---- TspSkinUpDown ---------------------------------------------------------------

TspSkinUpDown::TspSkinUpDown(TComponent* AOwner) : TspButtonPairControl(AOwner)
{
    FSkinDataName = "hupdown";
    SetBounds(0, 0, 25, 50);
}

void TspSkinUpDown::SetUseSkinSize(bool Value)
{
    FUseSkinSize = Value;
    ChangeSkinData();
}

void TspSkinUpDown::SetOrientation(TUDOrientation Value)
{
    FOrientation = Value;
    if (ComponentState().Contains(csDesigning) && !ComponentState().Contains(csLoading))
        FSkinDataName = Value == udVertical ? "vupdown" : "hupdown";
    CalcButtons();
    Repaint();
}

void TspSkinUpDown::SetPosition(int Value)
{
    if (Value > FMax || Value < FMin)
        return;
    FPosition = Value;
    if (OnChange && !ComponentState().Contains(csDesigning))
        OnChange(this);
}

void TspSkinUpDown::SetMin(int Value)
{
    FMin = Value;
    if (FPosition < FMin)
        FPosition = FMin;
}

void TspSkinUpDown::SetMax(int Value)
{
    FMax = Value;
    if (FPosition > FMax)
        FPosition = FMax;
}

void TspSkinUpDown::Step(bool Up)
{
    if (FIncrement == 0)
        return;
    const std::int64_t v = static_cast<std::int64_t>(FPosition) + (Up ? FIncrement : -static_cast<std::int64_t>(FIncrement));
    if (v < INT32_MIN || v > INT32_MAX)
        return;  // beyond every range: dropped like any step past Min or Max
    SetPosition(static_cast<int>(v));
}

void TspSkinUpDown::PairRepeatStep(int Mode) { Step(Mode == 2); }

void TspSkinUpDown::PairReleased(int Button, bool StillHot)
{
    (void)StillHot;
    Step(Button == 0);
    const TNotifyEvent& e = Button == 0 ? OnUpButtonClick : OnDownButtonClick;
    if (e)
        e(this);
}

void TspSkinUpDown::GetSkinData()
{
    TspSkinCustomControl::GetSkinData();
    FUpDownPiece = false;
    if (FIndex == -1)
        return;
    auto* p = dynamic_cast<TspDataSkinUpDownControl*>(FSD->CtrlList[static_cast<std::size_t>(FIndex)].get());
    if (!p)
        return;
    FUpDownPiece = true;
    UpButtonRect = p->UpButtonRect;
    ActiveUpButtonRect = p->ActiveUpButtonRect;
    DownUpButtonRect = IsEmptyRect(p->DownUpButtonRect) ? ActiveUpButtonRect : p->DownUpButtonRect;
    DownButtonRect = p->DownButtonRect;
    ActiveDownButtonRect = p->ActiveDownButtonRect;
    DownDownButtonRect = IsEmptyRect(p->DownDownButtonRect) ? ActiveDownButtonRect : p->DownDownButtonRect;
    LTPt = RTPt = LBPt = RBPt = TPoint(0, 0);
    ClRect = TRect();
    ResizeMode = CalcResizeMode();
}

void TspSkinUpDown::CalcButtons()
{
    const int w = Width(), h = Height();
    if (UsesPieceButtons()) {
        Buttons[0].R = UpButtonRect;
        Buttons[1].R = DownButtonRect;
    } else if (FOrientation == udVertical) {
        Buttons[0].R = TRect(0, 0, w, h / 2);
        Buttons[1].R = TRect(0, h / 2, w, h);
    } else {
        Buttons[1].R = TRect(0, 0, w / 2, h);
        Buttons[0].R = TRect(w / 2, 0, w, h);
    }
}

void TspSkinUpDown::AdjustSizeToSkin(int& AWidth, int& AHeight)
{
    if (UsesPieceButtons())
        TspSkinCustomControl::AdjustSizeToSkin(AWidth, AHeight);
}

void TspSkinUpDown::UpdateControlRegion()
{
    if (UsesPieceButtons()) {
        TspSkinCustomControl::UpdateControlRegion();
    } else if (FRgn && HandleAllocated()) {
        SetWindowRgn(Handle(), nullptr, 1);
        FRgn = nullptr;
    }
}

void TspSkinUpDown::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TspSkinCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    GetSkinData();
    CalcButtons();
}

void TspSkinUpDown::DrawArrowIn(TCanvas* C, const TRect& R, bool Up, TColor Color, bool Small, bool Pressed)
{
    const int dir = FOrientation == udVertical ? (Up ? kUp : kDown) : (Up ? kRight : kLeft);
    TRect r = R;
    if (Pressed)
        r = TRect(r.left + 2, r.top + 2, r.right + 2, r.bottom + 2);
    if (Small)
        DrawSmallArrow(C, r, Color, dir);
    else
        DrawArrow(C, r, Color, dir);
}

void TspSkinUpDown::DrawDefaultImage(TBitmap* B)
{
    GetSkinData();
    CalcButtons();
    TCanvas* c = B->Canvas();
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(TRect(0, 0, Width(), Height()));
    const bool greyed = !Enabled() && !dynamic_cast<TspSkinIntUpDown*>(this);
    for (int i = 0; i < 2; ++i) {
        DrawFlatButton(c, Buttons[i].R, Buttons[i].Down, Buttons[i].MouseIn);
        DrawArrowIn(c, Buttons[i].R, i == 0, greyed ? TColor(0x808080) : clBlack, false, false);
    }
}

void TspSkinUpDown::DrawSkinImage(TBitmap* B)
{
    GetSkinData();
    CalcButtons();
    TCanvas* c = B->Canvas();
    if (UsesPieceButtons()) {
        TspSkinCustomControl::DrawSkinImage(B);
        if (!Picture)
            return;
        const TRect active[2] = {ActiveUpButtonRect, ActiveDownButtonRect};
        const TRect down[2] = {DownUpButtonRect, DownDownButtonRect};
        for (int i = 0; i < 2; ++i) {
            const TspUpDownButton& b = Buttons[i];
            const TRect part = b.Down && b.MouseIn ? down[i] : b.MouseIn ? active[i] : TRect();
            if (!IsEmptyRect(part))
                c->CopyRect(b.R, Picture->Canvas(), part);
        }
        return;
    }
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(TRect(0, 0, Width(), Height()));
    auto* piece = FindButtonPiece(FSD, {"resizebutton"});
    if (!piece)
        return;
    for (int i = 0; i < 2; ++i) {
        const TspUpDownButton& b = Buttons[i];
        TColor glyph = 0;
        DrawButtonPiece(*FSD, *piece, c, b.R, b.Down, b.MouseIn, Enabled(), glyph);
        if (!Enabled() && !(b.Down || b.MouseIn))
            glyph = piece->DisabledFontColor;
        DrawArrowIn(c, b.R, i == 0, glyph, false, false);
    }
}

// ---- TspSkinIntUpDown ------------------------------------------------------------

TspSkinIntUpDown::TspSkinIntUpDown(TComponent* AOwner) : TspSkinUpDown(AOwner) { SetBounds(0, 0, 50, 25); }

void TspSkinIntUpDown::PairRepeatStep(int Mode)
{
    Step(Mode == 2);
    const TNotifyEvent& e = Mode == 2 ? OnUpChange : OnDownChange;
    if (e)
        e(this);
}

void TspSkinIntUpDown::PairReleased(int Button, bool StillHot)
{
    if (StillHot)
        TspSkinUpDown::PairReleased(Button, StillHot);
}

void TspSkinIntUpDown::DrawSkinImage(TBitmap* B)
{
    CalcButtons();
    TCanvas* c = B->Canvas();
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(TRect(0, 0, Width(), Height()));
    auto* piece = FindButtonPiece(FSD, {"combobutton", "resizetoolbutton"});
    if (!piece)
        return;
    TBitmap* picture = SkinPictureAt(*FSD, piece->PictureIndex);
    for (int i = 0; i < 2; ++i) {
        const TspUpDownButton& b = Buttons[i];
        const bool pressed = b.Down && b.MouseIn;
        TColor glyph = 0;
        DrawButtonPiece(*FSD, *piece, c, b.R, b.Down, b.MouseIn, true, glyph);
        // The arrow takes the colour of the piece's own marker for the state.
        TRect marker = piece->MenuMarkerRect;
        if (pressed && !IsEmptyRect(piece->MenuMarkerDownRect))
            marker = piece->MenuMarkerDownRect;
        else if (b.MouseIn && !IsEmptyRect(piece->MenuMarkerActiveRect))
            marker = piece->MenuMarkerActiveRect;
        if (!IsEmptyRect(marker) && picture)
            glyph = picture->Canvas()->Pixels(marker.left + (marker.right - marker.left) / 2, marker.top + 3);
        DrawArrowIn(c, b.R, i == 0, glyph, true, pressed);
    }
}

void TspSkinIntUpDown::WndProc(TMessage& Message)
{
    if (Message.Msg == CM_MOUSELEAVE)
        ActiveButton = OldActiveButton = -1;
    TspButtonPairControl::WndProc(Message);
}

// ---- descriptions ----------------------------------------------------------------

void TspSkinUpDown::DeclarePublished(TPublisher<TspSkinUpDown>& P)
{
    using C = TspSkinUpDown;
    P.Property("SkinDataName", &C::SkinDataName, &C::SetSkinDataName, std::string("hupdown"));
    P.Property("UseSkinSize", &C::UseSkinSize, &C::SetUseSkinSize, true);
    P.Property("Orientation", &C::Orientation, &C::SetOrientation, udHorizontal);
    P.Property("Increment", &C::Increment, &C::SetIncrement, 1);
    P.Property("Min", &C::Min, &C::SetMin, 0);
    P.Property("Max", &C::Max, &C::SetMax, 100);
    P.Property("Position", &C::Position, &C::SetPosition, 0);
    P.Property("OnChange", &C::OnChange);
    P.Property("OnUpButtonClick", &C::OnUpButtonClick);
    P.Property("OnDownButtonClick", &C::OnDownButtonClick);
}

void RegisterSkinUpDownsClasses() { RegisterClasses<TspSkinUpDown, TspSkinIntUpDown>(); }
