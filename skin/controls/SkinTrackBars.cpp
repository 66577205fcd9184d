#include "skin/controls/SkinTrackBars.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/user/Focus.h"
#include "skin/controls/ValueControlParts.h"
#include "skin/core/EffectBmp.h"
#include "skin/core/SkinBarPieces.h"
#include "skin/core/SkinDrawGlyphs.h"

#include <cmath>
#include <memory>

namespace {
bool Empty(const TRect& R) { return R.right <= R.left || R.bottom <= R.top; }
}  // namespace

TspSkinTrackBar::TspSkinTrackBar(TComponent* AOwner) : TspSkinCustomControl(AOwner)
{
    FSkinDataName = "htrackbar";
    SetBounds(0, 0, 100, 20);
    SetTabStop(false);
}

TspSkinTrackBar::~TspSkinTrackBar() = default;

// ---- values ------------------------------------------------------------------------

void TspSkinTrackBar::SetValue(int AValue)
{
    int v = AValue;
    if (v > FMaxValue)
        v = FMaxValue;
    else if (v < FMinValue)
        v = FMinValue;
    if (v == FValue)
        return;
    FValue = v;
    Repaint();
    if (OnChange)
        OnChange(this);
}

void TspSkinTrackBar::SetMinValue(int Value)
{
    FMinValue = Value;
    if (FValue < FMinValue)
        FValue = FMinValue;
    Repaint();
}

void TspSkinTrackBar::SetMaxValue(int Value)
{
    FMaxValue = Value;
    if (FValue > FMaxValue)
        FValue = FMaxValue;
    Repaint();
}

void TspSkinTrackBar::SetVertical(bool Value)
{
    FVertical = Value;
    const auto state = ComponentState();
    if (state.Contains(csDesigning) && !state.Contains(csLoading))
        SetSkinDataName(FVertical ? "trackbar" : "htrackbar");
    Repaint();
}

void TspSkinTrackBar::SetCanFocused(bool Value)
{
    FCanFocused = Value;
    SetTabStop(Value);
}

// ---- geometry ----------------------------------------------------------------------

TRect TspSkinTrackBar::CalcButtonRect(TRect R, int BW, int BH)
{
    const std::int64_t span = static_cast<std::int64_t>(FMaxValue) - FMinValue;
    const double kf =
        span != 0 ? static_cast<double>(static_cast<std::int64_t>(FValue) - FMinValue) / static_cast<double>(span) : 0.0;
    if (FVertical) {
        Offset1 = R.top + BH / 2;
        Offset2 = R.bottom - BH / 2;
        BOffset = RoundHalfEven((Offset2 - Offset1) * kf);
        const int x = R.left + (R.right - R.left) / 2 - BW / 2, y = Offset2 - BOffset - BH / 2;
        return TRect(x, y, x + BW, y + BH);
    }
    Offset1 = R.left + BW / 2;
    Offset2 = R.right - BW / 2;
    BOffset = RoundHalfEven((Offset2 - Offset1) * kf);
    const int x = Offset1 + BOffset - BW / 2, y = R.top + (R.bottom - R.top) / 2 - BH / 2;
    return TRect(x, y, x + BW, y + BH);
}

int TspSkinTrackBar::ValueFromOffset(int P) const
{
    double kf = Offset2 - Offset1 > 0 ? static_cast<double>(P) / (Offset2 - Offset1) : 0.0;
    kf = kf < 0 ? 0.0 : kf > 1 ? 1.0 : kf;
    const double span = static_cast<double>(static_cast<std::int64_t>(FMaxValue) - FMinValue);
    return ClampToInt(FMinValue + static_cast<std::int64_t>(std::nearbyint(span * kf)));
}

void TspSkinTrackBar::AdjustSizeToSkin(int& AWidth, int& AHeight)
{
    TspSkinCustomControl::AdjustSizeToSkin(AWidth, AHeight);
    NewTrackArea = TrackArea;
    if (ResizeMode > 0) {
        if (FVertical)
            NewTrackArea.bottom += AHeight - SkinHeight();
        else
            NewTrackArea.right += AWidth - SkinWidth();
    }
}

// ---- input --------------------------------------------------------------------------

bool TspSkinTrackBar::IsFocused() { return FCanFocused && HandleAllocated() && Focused(); }

void TspSkinTrackBar::LastChange()
{
    if (OnLastChange)
        OnLastChange(this);
}

void TspSkinTrackBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TspSkinCustomControl::MouseDown(Button, Shift, X, Y);
    if (!FMouseSupport)
        return;
    if (X >= BR.left && X <= BR.right && Y >= BR.top && Y <= BR.bottom) {
        OMPos = FVertical ? Y : X;
        OldBOffset = BOffset;
        FDown = true;
        Repaint();
        if (OnStartDragButton)
            OnStartDragButton(this);
    }
}

void TspSkinTrackBar::MouseMove(TShiftState Shift, int X, int Y)
{
    if (FMouseSupport && FDown) {
        const int d = FVertical ? OMPos - Y : X - OMPos;
        SetValue(ValueFromOffset(OldBOffset + d));
    }
    TspSkinCustomControl::MouseMove(Shift, X, Y);
}

void TspSkinTrackBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TspSkinCustomControl::MouseUp(Button, Shift, X, Y);
    if (!FMouseSupport)
        return;
    if (FDown) {
        FDown = false;
        Repaint();
        LastChange();
        return;
    }
    if (!FJumpWhenClick)
        return;
    const int a = !HasBarPiece() ? 2 : FVertical ? NewTrackArea.top : NewTrackArea.left;
    const int offset = FVertical ? Height() - Y - (BR.bottom - BR.top) / 2 - a : X - (BR.right - BR.left) / 2 - a;
    SetValue(ValueFromOffset(offset));
}

void TspSkinTrackBar::KeyDown(WORD& Key, TShiftState Shift)
{
    TspSkinCustomControl::KeyDown(Key, Shift);
    if (!FCanFocused)
        return;
    auto step = [this](int d) {
        SetValue(ClampToInt(static_cast<std::int64_t>(FValue) + d));
        LastChange();
    };
    if (Key == VK_LEFT || Key == VK_DOWN)
        step(-1);
    else if (Key == VK_UP || Key == VK_RIGHT)
        step(1);
}

void TspSkinTrackBar::WndProc(TMessage& Message)
{
    if (FCanFocused && FocusBeforeClick(this, Message, FClicksDisabled))
        return;
    switch (Message.Msg) {
    case WM_MOUSEWHEEL:
        if (IsFocused()) {
            const bool forward = static_cast<std::int32_t>(static_cast<std::uint32_t>(Message.WParam)) > 0;
            // Forward moves a vertical bar up (towards Max) and a horizontal one left.
            const int d = forward == FVertical ? 1 : -1;
            SetValue(ClampToInt(static_cast<std::int64_t>(FValue) + d));
            LastChange();
            Message.Result = 1;
            return;
        }
        break;
    case CM_WANTSPECIALKEY:
        TspSkinCustomControl::WndProc(Message);
        if (FCanFocused && Message.WParam >= VK_LEFT && Message.WParam <= VK_DOWN)
            Message.Result = 1;
        return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        TspSkinCustomControl::WndProc(Message);
        if (FCanFocused)
            Repaint();
        return;
    default:
        break;
    }
    TspSkinCustomControl::WndProc(Message);
}

// ---- drawing ----------------------------------------------------------------------

void TspSkinTrackBar::DrawDefaultImage(TBitmap* B)
{
    TCanvas* c = B->Canvas();
    const int W = Width(), H = Height();
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(TRect(0, 0, W, H));
    c->Brush()->SetColor(clBtnShadow);
    c->FrameRect(TRect(0, 0, W, H));
    int bw, bh;
    if (FVertical) {
        bw = W - 4;
        bh = bw / 2;
    } else {
        bh = H - 4;
        bw = bh / 2;
    }
    BR = CalcButtonRect(TRect(2, 2, W - 2, H - 2), bw, bh);
    const TRect groove = FVertical ? TRect(W / 2 - 1, 4, W / 2 + 1, H - 4) : TRect(4, H / 2 - 1, W - 4, H / 2 + 1);
    DrawFrame3D(c, groove, clBtnShadow, clBtnHighlight);
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(BR);
    const TColor frame = FDown || IsFocused() ? TColor(0x800000) : clBtnShadow;
    const TColor fill = FDown ? TColor(11899781) : IsFocused() ? TColor(13811126) : clBtnFace;
    c->Brush()->SetColor(frame);
    c->FrameRect(BR);
    c->Brush()->SetColor(fill);
    c->FillRect(TRect(BR.left + 1, BR.top + 1, BR.right - 1, BR.bottom - 1));
}

void TspSkinTrackBar::DrawSkinImage(TBitmap* B)
{
    TspSkinCustomControl::DrawSkinImage(B);
    if (!HasBarPiece() || !Picture)
        return;
    TCanvas* c = B->Canvas();
    BR = CalcButtonRect(NewTrackArea, ButtonRect.right - ButtonRect.left, ButtonRect.bottom - ButtonRect.top);
    if (!Empty(ActiveSkinRect)) {
        TBitmap active;
        ComposeSkinImage(&active, Picture, ActiveSkinRect);
        if (FVertical) {
            const int y = BR.top + (BR.bottom - BR.top) / 2;
            c->CopyRect(TRect(0, y, Width(), Height()), active.Canvas(), TRect(0, y, Width(), Height()));
        } else {
            const int x = BR.left + (BR.right - BR.left) / 2;
            if (x > 0)
                c->CopyRect(TRect(0, 0, x, Height()), active.Canvas(), TRect(0, 0, x, Height()));
        }
    }
    const TRect src = FDown || IsFocused() ? ActiveButtonRect : ButtonRect;
    const int w = BR.right - BR.left, h = BR.bottom - BR.top;
    if (w <= 0 || h <= 0)
        return;
    TBitmap thumb;
    thumb.SetSize(w, h);
    thumb.Canvas()->CopyRect(TRect(0, 0, w, h), Picture->Canvas(), src);
    if (FAlphaBlend && !ButtonTransparent)
        BlendWithUnder(thumb, c, BR, FAlphaBlendValue);
    if (ButtonTransparent)
        MakeTransparent(thumb, ButtonTransparentColor);
    c->Draw(BR.left, BR.top, &thumb);
}

void TspSkinTrackBar::GetSkinData()
{
    TspSkinCustomControl::GetSkinData();
    FBarPiece = false;
    if (FIndex == -1)
        return;
    auto* t = dynamic_cast<TspDataSkinTrackBarControl*>(FSD->CtrlList[FIndex].get());
    if (!t)
        return;
    FBarPiece = true;
    ActiveSkinRect = t->ActiveSkinRect;
    FVertical = t->Vertical;
    ButtonRect = t->ButtonRect;
    ActiveButtonRect = Empty(t->ActiveButtonRect) ? ButtonRect : t->ActiveButtonRect;
    TrackArea = t->TrackArea;
    ButtonTransparent = t->ButtonTransparent;
    ButtonTransparentColor = t->ButtonTransparentColor;
}

void TspSkinTrackBar::DeclarePublished(TPublisher<TspSkinTrackBar>& P)
{
    using C = TspSkinTrackBar;
    P.Property("MinValue", &C::MinValue, &C::SetMinValue, 0);
    P.Property("MaxValue", &C::MaxValue, &C::SetMaxValue, 100);
    P.Property("Value", &C::Value, &C::SetValue, 50);
    P.Property("Vertical", &C::Vertical, &C::SetVertical, false);
    P.Property("MouseSupport", &C::MouseSupport, &C::SetMouseSupport, true);
    P.Property("JumpWhenClick", &C::JumpWhenClick, &C::SetJumpWhenClick, false);
    P.Property("CanFocused", &C::CanFocused, &C::SetCanFocused, false);
    P.Property("OnChange", &C::OnChange);
    P.Property("OnLastChange", &C::OnLastChange);
    P.Property("OnStartDragButton", &C::OnStartDragButton);
}

void RegisterSkinTrackBarClasses() { RegisterClasses<TspSkinTrackBar>(); }
