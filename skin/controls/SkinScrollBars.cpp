#include "skin/controls/SkinScrollBars.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/user/MessageQueue.h"
#include "skin/core/EffectBmp.h"
#include "skin/core/SkinBarPieces.h"
#include "skin/core/SkinDrawGlyphs.h"
#include "skin/core/SkinStrips.h"

#include <cmath>
#include <memory>

namespace {

constexpr UINT_PTR kRepeatTimer = 1;
constexpr UINT kFirstDelay = 500, kRepeatDelay = 50;
constexpr int kMinThumb = 16;

bool Hit(const TRect& R, int X, int Y) { return X >= R.left && X < R.right && Y >= R.top && Y < R.bottom; }
bool Empty(const TRect& R) { return R.right <= R.left || R.bottom <= R.top; }

// The built-in look of a pressable part: a frame and a fill by state.
void DrawFlatPart(TCanvas* C, const TRect& R, bool Pressed, bool Hot)
{
    const TColor frame = Pressed || Hot ? TColor(0x800000) : clBtnShadow;
    const TColor fill = Pressed ? TColor(0xB59385) : Hot ? TColor(0xD2BDB6) : clBtnFace;
    C->Brush()->SetColor(frame);
    C->FillRect(R);
    C->Brush()->SetColor(fill);
    C->FillRect(TRect(R.left + 1, R.top + 1, R.right - 1, R.bottom - 1));
}

}  // namespace

TspSkinScrollBar::TspSkinScrollBar(TComponent* AOwner) : TspSkinCustomControl(AOwner)
{
    FSkinDataName = "hscrollbar";
    SetBounds(0, 0, 200, 19);
    FDefaultHeight = 19;
    SetTabStop(false);
}

TspSkinScrollBar::~TspSkinScrollBar()
{
    if (FTimerRunning && HandleAllocated())
        KillTimer(Handle(), kRepeatTimer);
}

// ---- values ------------------------------------------------------------------------

int TspSkinScrollBar::RulePosition(std::int64_t V) const
{
    if (V < FMin)
        return FMin;
    if (FPageSize == 0)
        return V < FMax ? static_cast<int>(V) : FMax;
    const std::int64_t top = static_cast<std::int64_t>(FMax) - FPageSize + 1;
    return ClampToInt(V > top ? top : V);
}

void TspSkinScrollBar::SetRange(int AMin, int AMax, int APosition, int APageSize)
{
    FMin = AMin;
    FMax = AMax;
    FPageSize = APageSize;
    FPosition = RulePosition(APosition);
    Repaint();
}

void TspSkinScrollBar::SimplySetPosition(int AValue)
{
    const int v = RulePosition(AValue);
    if (v == FPosition)
        return;
    FPosition = v;
    Repaint();
}

void TspSkinScrollBar::SetPosition(int Value)
{
    const int v = RulePosition(Value);
    if (v == FPosition)
        return;
    FPosition = v;
    Repaint();
    if (OnChange)
        OnChange(this);
}

void TspSkinScrollBar::SetPageSize(int Value)
{
    // A negative page is refused like one that does not fit.
    const std::int64_t room = static_cast<std::int64_t>(FMax) - FMin + 1;
    if (Value >= 0 && static_cast<std::int64_t>(FPosition) + Value <= room)
        FPageSize = Value;
    Repaint();
}

void TspSkinScrollBar::SetMax(int Value)
{
    FMax = Value;
    if (FPageSize > 0) {
        // The position rule's bound: the page must end at Max.
        const std::int64_t top = static_cast<std::int64_t>(FMax) - FPageSize + 1;
        if (FPosition > top)
            FPosition = ClampToInt(top);
        if (FPosition < FMin)
            FPosition = FMin;
    } else if (FPosition > FMax) {
        FPosition = FMax;
    }
    Repaint();
}

void TspSkinScrollBar::SetMin(int Value)
{
    FMin = Value;
    if (FPosition < FMin)
        FPosition = FMin;
    Repaint();
}

void TspSkinScrollBar::SetSmallChange(int Value)
{
    FSmallChange = Value;
    Repaint();
}

void TspSkinScrollBar::SetLargeChange(int Value)
{
    FLargeChange = Value;
    Repaint();
}

void TspSkinScrollBar::SetKind(TScrollBarKind Value)
{
    if (FKind == Value)
        return;
    FKind = Value;
    const auto state = ComponentState();
    if (state.Contains(csDesigning) && !state.Contains(csLoading)) {
        SetSkinDataName(Vertical() ? "vscrollbar" : "hscrollbar");
        if (Vertical() && Height() < Width()) {
            SetBounds(Left(), Top(), Height(), Width());
            FDefaultWidth = FDefaultHeight;
            FDefaultHeight = 0;
        } else if (!Vertical() && Height() > Width()) {
            SetBounds(Left(), Top(), Height(), Width());
            FDefaultHeight = FDefaultWidth;
            FDefaultWidth = 0;
        }
    }
    Repaint();
}

void TspSkinScrollBar::SetBoth(bool Value)
{
    if (FBoth == Value)
        return;
    FBoth = Value;
    if (!ComponentState().Contains(csDesigning)) {
        if (FBoth) {
            FNormalSkinDataName = FSkinDataName;
            SetSkinDataName(FBothSkinDataName);
        } else if (!FNormalSkinDataName.empty()) {
            SetSkinDataName(FNormalSkinDataName);
        }
    }
    if (FSD && !FSD->Empty)
        ChangeSkinData();
    else
        Repaint();
}

void TspSkinScrollBar::SetBothMarkerWidth(int Value)
{
    if (Value < 0)
        return;
    FBothMarkerWidth = Value;
    if (FIndex == -1)
        Repaint();
}

void TspSkinScrollBar::SetCanFocused(bool Value)
{
    FCanFocused = Value;
    SetTabStop(Value);
}

// ---- geometry ----------------------------------------------------------------------

void TspSkinScrollBar::CalcRects()
{
    const bool skinned = Skinned();
    const std::int64_t span = static_cast<std::int64_t>(FMax) - FMin;
    double kf = span != 0 ? static_cast<double>(static_cast<std::int64_t>(FPosition) - FMin) / static_cast<double>(span) : 0.0;
    int minLength = kMinThumb, across = 0;
    TRect track;
    if (!skinned) {
        const int H = Height();
        if (Vertical()) {
            Buttons[2].R = TRect(1, 1, Width() - 1, 17);
            Buttons[1].R = TRect(1, H - 17, Width() - 1, H - 1);
            track = TRect(1, 17, Width() - 1, H - 17);
        } else {
            const int W = FBoth ? Width() - FBothMarkerWidth : Width();
            Buttons[2].R = TRect(1, 1, 17, H - 1);
            Buttons[1].R = TRect(W - 17, 1, W - 1, H - 1);
            track = TRect(17, 1, W - 17, H - 1);
        }
    } else {
        int tl = Vertical() ? ThumbRect.bottom - ThumbRect.top : ThumbRect.right - ThumbRect.left;
        across = Vertical() ? ThumbRect.right - ThumbRect.left : ThumbRect.bottom - ThumbRect.top;
        if (ThumbMinSize != 0)
            tl = ThumbMinSize;
        minLength = tl;
        track = TrackArea;
        Buttons[1].R = UpButtonRect;
        Buttons[2].R = DownButtonRect;
        if (Vertical()) {
            const int dy = Height() - SkinHeight();
            track.bottom += dy;
            for (int i = 1; i <= 2; ++i)
                if (Buttons[i].R.top > LBPt.y) {
                    Buttons[i].R.top += dy;
                    Buttons[i].R.bottom += dy;
                }
        } else {
            const int dx = Width() - SkinWidth();
            track.right += dx;
            for (int i = 1; i <= 2; ++i)
                if (Buttons[i].R.left > RTPt.x) {
                    Buttons[i].R.left += dx;
                    Buttons[i].R.right += dx;
                }
        }
    }
    NewTrackArea = track;
    const int start = Vertical() ? track.top : track.left;
    const int end = Vertical() ? track.bottom : track.right;
    int L;
    if (FPageSize == 0) {
        L = skinned ? (ThumbMinPageSize != 0 ? ThumbMinPageSize : minLength) : kMinThumb;
    } else {
        const std::int64_t room = span + 1;
        L = room == 0 ? 0 : RoundHalfEven(static_cast<double>(end - start) * FPageSize / static_cast<double>(room));
        if (L < minLength)
            L = minLength;
        const std::int64_t d = static_cast<std::int64_t>(FMax) - FPageSize + 1 - FMin;
        kf = d > 0 ? static_cast<double>(static_cast<std::int64_t>(FPosition) - FMin) / static_cast<double>(d)
                   : (Vertical() ? 0.0 : 1.0);
    }
    ThumbLength = L;
    const int half = L / 2;
    Offset1 = start + half;
    Offset2 = end - half;
    BOffset = RoundHalfEven((Offset2 - Offset1) * kf);
    const int a = Offset1 + BOffset - half, b = Offset1 + BOffset + half;
    int c1, c2;
    if (!skinned) {
        c1 = Vertical() ? track.left : track.top;
        c2 = Vertical() ? track.right : track.bottom;
    } else {
        const int cs = Vertical() ? track.left : track.top;
        const int cl = Vertical() ? track.right - track.left : track.bottom - track.top;
        c1 = cs + cl / 2 - across / 2;
        c2 = c1 + across;
    }
    Buttons[0].R = Vertical() ? TRect(c1, a, c2, b) : TRect(a, c1, b, c2);
}

int TspSkinScrollBar::CalcValue(int Offset)
{
    auto factor = [this](double num) {
        double kf = Offset2 - Offset1 > 0 ? num / (Offset2 - Offset1) : 0.0;
        return kf < 0 ? 0.0 : kf > 1 ? 1.0 : kf;
    };
    if (FPageSize == 0)
        return ClampToInt(FMin + static_cast<std::int64_t>(
                                     std::nearbyint(static_cast<double>(static_cast<std::int64_t>(FMax) - FMin) * factor(Offset))));
    const TRect& t = Buttons[0].R;
    const int len = Vertical() ? t.bottom - t.top : t.right - t.left;
    Offset1 = (Vertical() ? NewTrackArea.top : NewTrackArea.left) + len / 2;
    Offset2 = (Vertical() ? NewTrackArea.bottom : NewTrackArea.right) - len / 2;
    const double range = static_cast<double>(static_cast<std::int64_t>(FMax) - FMin - FPageSize + 1);
    return ClampToInt(FMin + static_cast<std::int64_t>(std::nearbyint(range * factor(Offset + OldBOffset))));
}

void TspSkinScrollBar::AdjustSizeToSkin(int& AWidth, int& AHeight)
{
    TspSkinCustomControl::AdjustSizeToSkin(AWidth, AHeight);
    CalcRects();
}

// ---- mouse and timer ---------------------------------------------------------------

void TspSkinScrollBar::UpStep()
{
    if (OnUpButtonClick)
        OnUpButtonClick(this);
    else
        Step(FSmallChange);
}

void TspSkinScrollBar::DownStep()
{
    if (OnDownButtonClick)
        OnDownButtonClick(this);
    else
        Step(-static_cast<std::int64_t>(FSmallChange));
}

bool TspSkinScrollBar::BeforeThumb(int X, int Y) const
{
    return Vertical() ? Y < Buttons[0].R.top : X < Buttons[0].R.left;
}

bool TspSkinScrollBar::BeyondThumb(int X, int Y) const
{
    return Vertical() ? Y > Buttons[0].R.bottom : X > Buttons[0].R.right;
}

void TspSkinScrollBar::StartTimer(UINT Ms)
{
    SetTimer(Handle(), kRepeatTimer, Ms, nullptr);
    FTimerRunning = true;
}

void TspSkinScrollBar::StopTimer()
{
    if (HandleAllocated())
        KillTimer(Handle(), kRepeatTimer);
    FTimerRunning = false;
    TimerMode = 0;
}

void TspSkinScrollBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button != mbLeft) {
        TspSkinCustomControl::MouseDown(Button, Shift, X, Y);
        return;
    }
    MouseD = true;
    CalcRects();
    TimerMode = 0;
    WaitMode = true;
    CaptureButton = -1;
    for (int i = 0; i < 3; ++i)
        if (Hit(Buttons[i].R, X, Y)) {
            CaptureButton = i;
            ButtonDown(i, X, Y);
            break;
        }
    if (CaptureButton == -1 && Hit(NewTrackArea, X, Y)) {
        if (BeforeThumb(X, Y)) {
            Step(-static_cast<std::int64_t>(FLargeChange));
            TimerMode = 3;
            StartTimer(kFirstDelay);
            if (OnPageUp)
                OnPageUp(this);
        } else {
            Step(FLargeChange);
            TimerMode = 4;
            StartTimer(kFirstDelay);
            if (OnPageDown)
                OnPageDown(this);
        }
    }
    TspSkinCustomControl::MouseDown(Button, Shift, X, Y);
}

void TspSkinScrollBar::ButtonDown(int I, int X, int Y)
{
    Buttons[I].Down = true;
    Repaint();
    switch (I) {
    case 0:
        OMPos = Vertical() ? Y : X;
        OldBOffset = BOffset;
        FDown = true;
        Repaint();
        break;
    case 1:
        UpStep();
        TimerMode = 2;
        StartTimer(kFirstDelay);
        break;
    default:
        DownStep();
        TimerMode = 1;
        StartTimer(kFirstDelay);
        break;
    }
}

void TspSkinScrollBar::MouseMove(TShiftState Shift, int X, int Y)
{
    MX = X;
    MY = Y;
    TestActive(X, Y);
    if (FDown) {
        const int d = (Vertical() ? Y : X) - OMPos;
        SetPosition(FPageSize == 0 ? CalcValue(d + OldBOffset) : CalcValue(d));
    }
    TspSkinCustomControl::MouseMove(Shift, X, Y);
}

void TspSkinScrollBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TspSkinCustomControl::MouseUp(Button, Shift, X, Y);
    MouseD = false;
    if (TimerMode == 3 || TimerMode == 4)
        StopTimer();
    const int captured = CaptureButton;
    if (captured != -1)
        ButtonUp(captured);
    CaptureButton = -1;
    if (Button == mbLeft && captured == 0 && OnLastChange)
        OnLastChange(this);
}

void TspSkinScrollBar::ButtonUp(int I)
{
    Buttons[I].Down = false;
    if (I != ActiveButton)
        Buttons[I].MouseIn = false;
    Repaint();
    if (I == 0)
        FDown = false;
    else
        StopTimer();
}

void TspSkinScrollBar::TestActive(int X, int Y)
{
    const int old = ActiveButton;
    ActiveButton = -1;
    for (int i = 0; i < 3; ++i)
        if (Hit(Buttons[i].R, X, Y)) {
            ActiveButton = i;
            break;
        }
    if (CaptureButton != -1 && ActiveButton != CaptureButton)
        ActiveButton = -1;
    if (ActiveButton == old)
        return;
    if (old != -1)
        ButtonLeave(old);
    if (ActiveButton != -1)
        ButtonEnter(ActiveButton);
}

void TspSkinScrollBar::ButtonEnter(int I)
{
    Buttons[I].MouseIn = true;
    Repaint();
    if (I != 0 && Buttons[I].Down)
        StartTimer(kRepeatDelay);
}

void TspSkinScrollBar::ButtonLeave(int I)
{
    Buttons[I].MouseIn = false;
    Repaint();
    // Auto-repeat pauses while the pointer is off the pressed button.
    if (I != 0 && Buttons[I].Down && HandleAllocated()) {
        KillTimer(Handle(), kRepeatTimer);
        FTimerRunning = false;
    }
}

void TspSkinScrollBar::OnTimerTick()
{
    if (WaitMode) {
        WaitMode = false;
        StartTimer(kRepeatDelay);
        return;
    }
    switch (TimerMode) {
    case 1:
        DownStep();
        break;
    case 2:
        UpStep();
        break;
    case 3:
        TestActive(MX, MY);
        CalcRects();
        if (BeforeThumb(MX, MY)) {
            Step(-static_cast<std::int64_t>(FLargeChange));
            if (OnPageUp)
                OnPageUp(this);
        } else {
            StopTimer();
        }
        break;
    case 4:
        TestActive(MX, MY);
        CalcRects();
        if (BeyondThumb(MX, MY)) {
            Step(FLargeChange);
            if (OnPageDown)
                OnPageDown(this);
        } else {
            StopTimer();
        }
        break;
    default:
        break;
    }
}

bool TspSkinScrollBar::IsFocused() { return FCanFocused && HandleAllocated() && Focused(); }

void TspSkinScrollBar::KeyDown(WORD& Key, TShiftState Shift)
{
    TspSkinCustomControl::KeyDown(Key, Shift);
    if (!FCanFocused)
        return;
    if (Key == VK_LEFT || Key == VK_UP)
        Step(-static_cast<std::int64_t>(FSmallChange));
    else if (Key == VK_RIGHT || Key == VK_DOWN)
        Step(FSmallChange);
}

void TspSkinScrollBar::WndProc(TMessage& Message)
{
    if (FCanFocused && FocusBeforeClick(this, Message, FClicksDisabled))
        return;
    switch (Message.Msg) {
    case WM_TIMER:
        TspSkinCustomControl::WndProc(Message);
        if (Message.WParam == kRepeatTimer)
            OnTimerTick();
        return;
    case WM_MOUSEWHEEL:
        if (IsFocused()) {
            if (static_cast<std::int32_t>(static_cast<std::uint32_t>(Message.WParam)) > 0)
                Step(-static_cast<std::int64_t>(FSmallChange));
            else
                Step(FSmallChange);
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
    case CM_ENABLEDCHANGED:
        TspSkinCustomControl::WndProc(Message);
        Repaint();
        return;
    case CM_MOUSELEAVE:
        TspSkinCustomControl::WndProc(Message);
        if (ComponentState().Contains(csDesigning))
            return;
        if (ActiveButton != -1 && CaptureButton == -1 && !FDown) {
            Buttons[ActiveButton].MouseIn = false;
            Repaint();
            ActiveButton = -1;
        }
        if (MouseD && TimerMode == 4)
            StopTimer();
        return;
    default:
        break;
    }
    TspSkinCustomControl::WndProc(Message);
}

// ---- drawing ----------------------------------------------------------------------

void TspSkinScrollBar::DrawDefaultImage(TBitmap* B)
{
    CalcRects();
    TCanvas* c = B->Canvas();
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(TRect(0, 0, Width(), Height()));
    if (Enabled())
        DrawButton(c, 0);
    DrawButton(c, 1);
    DrawButton(c, 2);
}

void TspSkinScrollBar::DrawButton(TCanvas* C, int I)
{
    const TspScrollBarPart& p = Buttons[I];
    if (Empty(p.R))
        return;
    if (!Skinned()) {
        const bool pressed = (p.Down && p.MouseIn) || (I == 0 && (p.Down || IsFocused()));
        DrawFlatPart(C, p.R, pressed, p.MouseIn);
        if (I == 1)
            DrawArrow(C, p.R, 0, Vertical() ? 4 : 2);
        else if (I == 2)
            DrawArrow(C, p.R, 0, Vertical() ? 3 : 1);
        return;
    }
    if (I == 0) {
        DrawSkinThumb(C);
        return;
    }
    const TRect& down = I == 1 ? DownUpButtonRect : DownDownButtonRect;
    const TRect& active = I == 1 ? ActiveUpButtonRect : ActiveDownButtonRect;
    const TRect src = p.Down && p.MouseIn ? down : p.MouseIn ? active : TRect();
    if (!Empty(src) && Picture)
        C->CopyRect(p.R, Picture->Canvas(), src);
}

void TspSkinScrollBar::DrawSkinThumb(TCanvas* C)
{
    const TspScrollBarPart& t = Buttons[0];
    if (!Picture)
        return;
    const bool down = t.Down || IsFocused();
    const TRect P = down ? DownThumbRect : t.MouseIn ? ActiveThumbRect : ThumbRect;
    const int w = t.R.right - t.R.left, h = t.R.bottom - t.R.top;
    if (w <= 0 || h <= 0 || Empty(P))
        return;
    TBitmap b;
    b.SetSize(w, h);
    if (FPageSize == 0 && ThumbMinPageSize == 0)
        b.Canvas()->CopyRect(TRect(0, 0, w, h), Picture->Canvas(), P);
    else if (Vertical())
        CreateVSkinImage(ThumbOffset1, ThumbOffset2, &b, Picture, P, w, h, ThumbStretchEffect);
    else
        CreateHSkinImage(ThumbOffset1, ThumbOffset2, &b, Picture, P, w, h, ThumbStretchEffect);
    const TRect G = down ? DownGlyphRect : t.MouseIn ? ActiveGlyphRect : GlyphRect;
    if (!Empty(G)) {
        const int gw = G.right - G.left, gh = G.bottom - G.top;
        const TRect dst(w / 2 - gw / 2, h / 2 - gh / 2, w / 2 - gw / 2 + gw, h / 2 - gh / 2 + gh);
        if (GlyphTransparent) {
            TBitmap g;
            g.SetSize(gw, gh);
            g.Canvas()->CopyRect(TRect(0, 0, gw, gh), Picture->Canvas(), G);
            MakeTransparent(g, GlyphTransparentColor);
            b.Canvas()->Draw(dst.left, dst.top, &g);
        } else {
            b.Canvas()->CopyRect(dst, Picture->Canvas(), G);
        }
    }
    if (FAlphaBlend)
        BlendWithUnder(b, C, t.R, FAlphaBlendValue);
    if (ThumbTransparent)
        MakeTransparent(b, ThumbTransparentColor);
    C->Draw(t.R.left, t.R.top, &b);
}

void TspSkinScrollBar::DrawSkinImage(TBitmap* B)
{
    TspSkinCustomControl::DrawSkinImage(B);
    CalcRects();
    TCanvas* c = B->Canvas();
    DrawButton(c, 1);
    DrawButton(c, 2);
    if (Enabled())
        DrawButton(c, 0);
}

// ---- skin --------------------------------------------------------------------------

void TspSkinScrollBar::GetSkinData()
{
    TspSkinCustomControl::GetSkinData();
    FPiece = nullptr;
    if (FIndex == -1)
        return;
    auto* s = dynamic_cast<TspDataSkinScrollBarControl*>(FSD->CtrlList[FIndex].get());
    if (!s)
        return;
    FPiece = s;
    TrackArea = s->TrackArea;
    UpButtonRect = s->UpButtonRect;
    ActiveUpButtonRect = s->ActiveUpButtonRect;
    DownUpButtonRect = Empty(s->DownUpButtonRect) ? ActiveUpButtonRect : s->DownUpButtonRect;
    DownButtonRect = s->DownButtonRect;
    ActiveDownButtonRect = s->ActiveDownButtonRect;
    DownDownButtonRect = Empty(s->DownDownButtonRect) ? ActiveDownButtonRect : s->DownDownButtonRect;
    ThumbRect = s->ThumbRect;
    ActiveThumbRect = Empty(s->ActiveThumbRect) ? ThumbRect : s->ActiveThumbRect;
    DownThumbRect = Empty(s->DownThumbRect) ? ActiveThumbRect : s->DownThumbRect;
    GlyphRect = s->GlyphRect;
    ActiveGlyphRect = Empty(s->ActiveGlyphRect) ? GlyphRect : s->ActiveGlyphRect;
    DownGlyphRect = Empty(s->DownGlyphRect) ? ActiveGlyphRect : s->DownGlyphRect;
    ThumbOffset1 = s->ThumbOffset1;
    ThumbOffset2 = s->ThumbOffset2;
    ThumbStretchEffect = s->ThumbStretchEffect;
    ThumbMinSize = s->ThumbMinSize;
    ThumbMinPageSize = s->ThumbMinPageSize;
    ThumbTransparent = s->ThumbTransparent;
    ThumbTransparentColor = s->ThumbTransparentColor;
    GlyphTransparent = s->GlyphTransparent;
    GlyphTransparentColor = s->GlyphTransparentColor;
}

// ---- descriptions ------------------------------------------------------------------

void TspSkinScrollBar::DeclarePublished(TPublisher<TspSkinScrollBar>& P)
{
    using C = TspSkinScrollBar;
    // Kind first: the range and position follow it when read back.
    P.Property("Kind", &C::Kind, &C::SetKind);
    P.Property("Min", &C::Min, &C::SetMin);
    P.Property("Max", &C::Max, &C::SetMax);
    P.Property("PageSize", &C::PageSize, &C::SetPageSize);
    P.Property("Position", &C::Position, &C::SetPosition);
    P.Property("SmallChange", &C::SmallChange, &C::SetSmallChange);
    P.Property("LargeChange", &C::LargeChange, &C::SetLargeChange);
    P.Property("Both", &C::Both, &C::SetBoth);
    P.Property("BothMarkerWidth", &C::BothMarkerWidth, &C::SetBothMarkerWidth);
    P.Property("BothSkinDataName", &C::BothSkinDataName, &C::SetBothSkinDataName);
    P.Property("CanFocused", &C::CanFocused, &C::SetCanFocused);
    P.Property("OnChange", &C::OnChange);
    P.Property("OnLastChange", &C::OnLastChange);
    P.Property("OnUpButtonClick", &C::OnUpButtonClick);
    P.Property("OnDownButtonClick", &C::OnDownButtonClick);
    P.Property("OnPageUp", &C::OnPageUp);
    P.Property("OnPageDown", &C::OnPageDown);
}

void RegisterSkinScrollBarClasses() { RegisterClasses<TspSkinScrollBar>(); }
