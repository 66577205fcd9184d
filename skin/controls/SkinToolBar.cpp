#include "skin/controls/SkinToolBar.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/gui/ImgList.h"
#include "platform/user/Input.h"
#include "platform/user/Painting.h"
#include "platform/user/WindowRegion.h"
#include "skin/controls/SkinBevels.h"
#include "skin/controls/SkinButtons.h"
#include "skin/controls/SkinMenuButtons.h"
#include "skin/core/SkinDrawGlyphs.h"
#include "skin/core/SkinStrips.h"

#include <algorithm>

namespace {

constexpr int kButtonWidth = 12;
constexpr unsigned kLeavePoll = 100;
constexpr TColor kHotFrame = 0x800000, kHotFill = 0xD2BDB6, kDownFill = 0xB59385;

bool EmptyRect(const TRect& R) { return R.right <= R.left || R.bottom <= R.top; }

}  // namespace

TspSkinToolBar::TspSkinToolBar(TComponent* AOwner) : TspSkinPanel(AOwner)
{
    FSkinDataName = "toolpanel";
    FBorderStyle = TspSkinBorderStyle::bvNone;
    ForcebackGround = false;
    FDefaultHeight = 0;
    SetHeight(25);
}

TspSkinToolBar::~TspSkinToolBar()
{
    StopScrollTimer();
    if (FLeaveTimer)
        FLeaveTimer->SetEnabled(false);
}

// ---- properties ----

void TspSkinToolBar::SetCanScroll(bool Value)
{
    FCanScroll = Value;
    if (Value)
        UpdateScrolling();
    else
        ShowScrollButtons(false);
}

void TspSkinToolBar::SetScrollOffset(int Value)
{
    if (Value >= 0)
        FScrollOffset = Value;
}

void TspSkinToolBar::SetScrollTimerInterval(int Value)
{
    if (Value > 0)
        FScrollTimerInterval = Value;
}

void TspSkinToolBar::SetShowCaptions(bool Value)
{
    if (FShowCaptions == Value)
        return;
    FShowCaptions = Value;
    if (FAutoShowHideCaptions)
        for (int i = 0; i < ControlCount(); ++i)
            if (auto* b = dynamic_cast<TspSkinSpeedButton*>(Controls(i)))
                b->SetShowCaption(Value);
    if (FWidthWithCaptions != 0 && FWidthWithoutCaptions != 0)
        SetWidth(Value ? FWidthWithCaptions : FWidthWithoutCaptions);
}

void TspSkinToolBar::SetFlat(bool Value)
{
    FFlat = Value;
    for (int i = 0; i < ControlCount(); ++i)
        if (auto* b = dynamic_cast<TspSkinSpeedButton*>(Controls(i)))
            b->SetFlat(Value);
}

void TspSkinToolBar::SetImages(TCustomImageList* Value)
{
    SetComponentReference(this, FImages, Value);
    for (int i = 0; i < ControlCount(); ++i)
        if (auto* b = dynamic_cast<TspSkinSpeedButton*>(Controls(i)))
            b->Repaint();
}

void TspSkinToolBar::Notification(TComponent* AComponent, TOperation Operation)
{
    TspSkinPanel::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FImages)
        FImages = nullptr;
    if (AComponent == FHotImages)
        FHotImages = nullptr;
    if (AComponent == FDisabledImages)
        FDisabledImages = nullptr;
}

void TspSkinToolBar::GetSkinData()
{
    TspSkinPanel::GetSkinData();
    ButtonData = nullptr;
    if (FIndex == -1)
        return;
    const int i = FSD->GetControlIndex("resizebutton");
    if (i != -1)
        ButtonData = dynamic_cast<TspDataSkinButtonControl*>(FSD->CtrlList[i].get());
}

void TspSkinToolBar::SetSkinData(TspSkinData* Value)
{
    TspSkinPanel::SetSkinData(Value);
    for (int i = 0; i < ControlCount(); ++i) {
        if (auto* b = dynamic_cast<TspSkinSpeedButton*>(Controls(i)))
            b->SetSkinData(Value);
        else if (auto* v = dynamic_cast<TspSkinBevel*>(Controls(i)))
            v->SetSkinData(Value);
    }
}

void TspSkinToolBar::SetSkinDataName(const std::string& Value)
{
    TspSkinPanel::SetSkinDataName(Value);
    const TComponentState cs = ComponentState();
    if (!cs.Contains(csDesigning) || cs.Contains(csLoading))
        return;
    // Speed buttons, menu speed buttons and those with a drop-down part each
    // take the bar piece's matching button piece.
    auto pieceFor = [&Value](const TspSkinSpeedButton* b) -> const char* {
        if (Value == "resizetoolpanel")
            return "resizetoolbutton";
        if (Value == "panel")
            return "resizebutton";
        const bool big = Value == "bigtoolpanel";
        auto* m = dynamic_cast<const TspSkinMenuSpeedButton*>(b);
        if (!m)
            return big ? "bigtoolbutton" : "toolbutton";
        if (m->TrackButtonMode())
            return big ? "bigtoolmenutrackbutton" : "toolmenutrackbutton";
        return big ? "bigtoolmenubutton" : "toolmenubutton";
    };
    for (int i = 0; i < ControlCount(); ++i)
        if (auto* b = dynamic_cast<TspSkinSpeedButton*>(Controls(i)))
            b->SkinDataName = pieceFor(b);
}

// ---- layout and scrolling ----

void TspSkinToolBar::CenterControls()
{
    const TRect r = GetSkinClientRect();
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (c->Align() != alNone)
            continue;
        const int top = r.top + (r.bottom - r.top) / 2 - c->Height() / 2;
        if (c->Top() != top)
            c->SetTop(top);
    }
}

void TspSkinToolBar::AlignControls(TControl* AControl, TRect& Rect)
{
    TspSkinPanel::AlignControls(AControl, Rect);
    if (FInUpdate)
        return;
    if (FAdjustControls)
        CenterControls();
    if (FCanScroll)
        UpdateScrolling();
}

void TspSkinToolBar::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    const int oldWidth = Width();
    TspSkinPanel::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (FAdjustControls && !FInUpdate)
        CenterControls();
    if (FCanScroll) {
        FHSizeOffset = oldWidth > 0 && Width() > oldWidth ? Width() - oldWidth : 0;
        UpdateScrolling();
    }
}

void TspSkinToolBar::UpdateScrolling()
{
    if (FInUpdate)
        return;
    FInUpdate = true;
    int a = 0;
    for (int i = 0; i < ControlCount(); ++i)
        if (Controls(i)->Visible())
            a = std::max(a, Controls(i)->Left() + Controls(i)->Width());
    if (a == 0) {
        ShowScrollButtons(false);
        FInUpdate = false;
        return;
    }
    int cw = ClientWidth();
    const int e = SPosition + a;
    if (cw >= e) {
        if (SPosition > 0)
            ScrollBy(SPosition, 0);
        FHSizeOffset = SMax = SPosition = SPage = SOldPosition = 0;
        ShowScrollButtons(false);
    } else {
        if (!Buttons[0].Visible) {
            ShowScrollButtons(true);
            cw = ClientWidth();
        }
        if (SPosition > 0 && a < cw && FHSizeOffset > 0) {
            // The bar grew while scrolled: the children come back by the growth.
            FHSizeOffset = std::min(FHSizeOffset, SPosition);
            SMax = e - 1;
            SPosition -= FHSizeOffset;
            SPage = cw;
            ScrollBy(FHSizeOffset, 0);
        } else if (FHSizeOffset == 0 && e - 1 < SMax && SPosition > 0 && a < cw) {
            // The content shrank while scrolled.
            SMax = e - 1;
            SPosition -= cw - a;
            SPage = cw;
            ScrollBy(cw - a, 0);
            FHSizeOffset = 0;
        } else {
            SMax = e - 1;
            SPage = cw;
            FHSizeOffset = 0;
        }
        SOldPosition = SPosition;
    }
    FInUpdate = false;
}

void TspSkinToolBar::ScrollPage(bool Right)
{
    const int step = FScrollOffset != 0 ? FScrollOffset : ClientWidth();
    if (Right)
        SPosition = std::min(SPosition + step, SMax - SPage + 1);
    else
        SPosition = std::max(0, SPosition - step);
    if (SPosition == SOldPosition) {
        StopScrollTimer();
        return;
    }
    FInUpdate = true;
    ScrollBy(-(SPosition - SOldPosition), 0);
    FInUpdate = false;
    SOldPosition = SPosition;
    Repaint();
    UpdateScrolling();
}

void TspSkinToolBar::ShowScrollButtons(bool Value)
{
    if (Buttons[0].Visible == Value)
        return;
    Buttons[0].Visible = Buttons[1].Visible = Value;
    FMouseIn = false;
    // The non-client area changes: the frame is recomputed in place (the
    // window and the focus inside it stay).
    if (HandleAllocated())
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TspSkinToolBar::AdjustClientRect(TRect& Rect)
{
    TspSkinPanel::AdjustClientRect(Rect);
    const int ch = ClientHeight();
    if (Buttons[0].Visible)
        Rect = TRect(-SPosition, 0, -SPosition + std::max(SMax, ClientWidth()), ch);
    if (FIndex == -1 || ComponentState().Contains(csDesigning)) {
        Rect.top = 1;
        Rect.bottom = ch - 1;
    } else if (FBorderStyle != TspSkinBorderStyle::bvNone || ResizeMode != 1) {
        int w = Width(), h = Height();
        AdjustSizeToSkin(w, h);
        Rect.top = NewClRect.top;
        Rect.bottom = NewClRect.bottom;
    }
}

void TspSkinToolBar::DrawSkinImage(TBitmap* B)
{
    if (Buttons[0].Visible && ResizeMode == 2 && Picture) {
        CreateHStretchImage(LTPt.x, SkinWidth() - RTPt.x, B, Picture, SkinRect, B->Width(), B->Height(),
                            StretchEffect);
        return;
    }
    TspSkinPanel::DrawSkinImage(B);
}

// ---- scroll buttons ----

void TspSkinToolBar::DrawScrollButton(TCanvas* Canvas, int I)
{
    TScrollButton& b = Buttons[I];
    const int w = b.R.right - b.R.left, h = b.R.bottom - b.R.top;
    if (w <= 0 || h <= 0)
        return;
    TBitmap bmp;
    bmp.SetSize(w, h);
    TColor arrow = clBtnText;
    bool drawn = false;
    if (ButtonData && FSD) {
        TspSkinPieceGeometry g;
        g.CopyFromPiece(*ButtonData, *FSD);
        TRect r = g.SkinRect;
        arrow = ButtonData->FontColor;
        if (!EmptyRect(ButtonData->DownSkinRect) && b.MouseIn && (b.Down || FHotScroll)) {
            r = ButtonData->DownSkinRect;
            arrow = ButtonData->DownFontColor;
        } else if (b.MouseIn && !EmptyRect(ButtonData->ActiveSkinRect)) {
            r = ButtonData->ActiveSkinRect;
            arrow = ButtonData->ActiveFontColor;
        }
        int fw = w, fh = h;
        g.FitSize(true, fw, fh);
        if (g.Picture && g.ResizeMode == 1) {
            g.Compose(&bmp, g.Picture, r, w, h, true);
            drawn = true;
        }
    }
    if (!drawn) {
        arrow = clBtnText;
        const bool pressed = (b.Down && b.MouseIn) || (b.MouseIn && FHotScroll);
        TCanvas* c = bmp.Canvas();
        c->Brush()->SetColor(b.MouseIn ? kHotFrame : clBtnShadow);
        c->FillRect(TRect(0, 0, w, h));
        c->Brush()->SetColor(pressed ? kDownFill : b.MouseIn ? kHotFill : clBtnFace);
        c->FillRect(TRect(1, 1, w - 1, h - 1));
    }
    DrawArrow(bmp.Canvas(), TRect(0, 0, w, h), arrow, I == 0 ? 1 : 2);
    Canvas->Draw(b.R.left, b.R.top, &bmp);
}

void TspSkinToolBar::PaintScrollButtons()
{
    if (!HandleAllocated() || !Buttons[0].Visible)
        return;
    Buttons[0].R = TRect(0, 0, kButtonWidth, Height());
    Buttons[1].R = TRect(Width() - kButtonWidth, 0, Width(), Height());
    GetSkinData();
    HDC dc = GetWindowDC(Handle());
    if (!dc)
        return;
    TCanvas c;
    c.SetHandle(dc);
    DrawScrollButton(&c, 0);
    DrawScrollButton(&c, 1);
    c.SetHandle(nullptr);
    ReleaseDC(Handle(), dc);
}

void TspSkinToolBar::StartScrollTimer()
{
    if (!FScrollTimer) {
        FScrollTimer = new TTimer(this);
        FScrollTimer->SetEnabled(false);
        FScrollTimer->SetOnTimer(MakeEvent(this, &TspSkinToolBar::ScrollTick));
    }
    FScrollTimer->SetEnabled(false);
    FScrollTimer->SetInterval(static_cast<unsigned>(FScrollTimerInterval));
    FScrollTimer->SetEnabled(true);
}

void TspSkinToolBar::StopScrollTimer()
{
    if (FScrollTimer)
        FScrollTimer->SetEnabled(false);
    TimerMode = 0;
}

void TspSkinToolBar::ScrollTick(TObject*)
{
    if (TimerMode == 1)
        ScrollPage(false);
    else if (TimerMode == 2)
        ScrollPage(true);
}

void TspSkinToolBar::LeaveTick(TObject*)
{
    POINT p;
    GetCursorPos(&p);
    if (HandleAllocated() && WindowFromPoint(p) == Handle())
        return;
    FLeaveTimer->SetEnabled(false);
    MouseLeaveBar();
}

void TspSkinToolBar::MouseEnterBar()
{
    if (ComponentState().Contains(csDesigning))
        return;
    FMouseIn = true;
    if (!Buttons[0].Visible)
        return;
    if (!FLeaveTimer) {
        FLeaveTimer = new TTimer(this);
        FLeaveTimer->SetEnabled(false);
        FLeaveTimer->SetInterval(kLeavePoll);
        FLeaveTimer->SetOnTimer(MakeEvent(this, &TspSkinToolBar::LeaveTick));
    }
    FLeaveTimer->SetEnabled(false);
    FLeaveTimer->SetEnabled(true);
}

void TspSkinToolBar::MouseLeaveBar()
{
    if (ComponentState().Contains(csDesigning) || !FCanScroll)
        return;
    FMouseIn = false;
    POINT p;
    GetCursorPos(&p);
    if (HandleAllocated() && WindowFromPoint(p) == Handle())
        return;
    for (TScrollButton& b : Buttons)
        if (b.Visible && b.MouseIn) {
            b.MouseIn = false;
            StopScrollTimer();
            PaintScrollButtons();
            break;
        }
}

void TspSkinToolBar::ScrollButtonUp(int I)
{
    StopScrollTimer();
    ScrollPage(I == 1);
}

void TspSkinToolBar::WndProc(TMessage& Message)
{
    if (!FCanScroll) {
        TspSkinPanel::WndProc(Message);
        return;
    }
    const bool designing = ComponentState().Contains(csDesigning);
    auto buttonOf = [](WPARAM hit) { return hit == HTTOOLBARLEFT ? 0 : hit == HTTOOLBARRIGHT ? 1 : -1; };
    switch (Message.Msg) {
    case WM_NCCALCSIZE: {
        GetSkinData();
        RECT* r = Message.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0]
                                 : reinterpret_cast<RECT*>(Message.LParam);
        if (r) {
            if (Buttons[0].Visible)
                r->left += kButtonWidth;
            if (Buttons[1].Visible)
                r->right -= kButtonWidth;
            r->right = std::max(r->right, r->left);
        }
        Message.Result = 0;
        return;
    }
    case WM_NCPAINT:
        if (Buttons[0].Visible) {
            PaintScrollButtons();
            Message.Result = 0;
            return;
        }
        break;
    case WM_SIZE:
        TspSkinPanel::WndProc(Message);
        if (Buttons[0].Visible)
            PaintScrollButtons();
        return;
    case WM_NCHITTEST:
        if (!designing) {
            if (!FMouseIn)
                MouseEnterBar();
            const TPoint p = ScreenToClient(TPoint(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)));
            if (p.x < 0 && Buttons[0].Visible) {
                Message.Result = HTTOOLBARLEFT;
                return;
            }
            if (p.x >= ClientWidth() && Buttons[1].Visible) {
                Message.Result = HTTOOLBARRIGHT;
                return;
            }
        }
        break;
    case WM_SETCURSOR:
        if (LOWORD(Message.LParam) == HTTOOLBARLEFT || LOWORD(Message.LParam) == HTTOOLBARRIGHT)
            Message.LParam = MAKELPARAM(HTCLIENT, HIWORD(Message.LParam));
        break;
    case WM_NCMOUSEMOVE: {
        const int i = buttonOf(Message.WParam);
        if (i != -1 && !Buttons[i].MouseIn) {
            Buttons[i].MouseIn = true;
            Buttons[1 - i].MouseIn = false;
            PaintScrollButtons();
            if (FHotScroll) {
                TimerMode = i + 1;
                StartScrollTimer();
            }
        }
        break;
    }
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: {
        const int i = buttonOf(Message.WParam);
        if (i != -1) {
            Buttons[i].Down = true;
            Buttons[i].MouseIn = true;
            PaintScrollButtons();
            TimerMode = i + 1;
            StartScrollTimer();
            Message.Result = 0;
            return;
        }
        break;
    }
    case WM_NCLBUTTONUP: {
        const int i = buttonOf(Message.WParam);
        if (i != -1) {
            Buttons[i].Down = false;
            PaintScrollButtons();
            ScrollButtonUp(i);
            Message.Result = 0;
            return;
        }
        break;
    }
    case WM_MOUSEMOVE:
        for (TScrollButton& b : Buttons)
            if (b.Visible && b.MouseIn) {
                b.MouseIn = false;
                StopScrollTimer();
                PaintScrollButtons();
            }
        break;
    case WM_DESTROY:
        StopScrollTimer();
        if (FLeaveTimer)
            FLeaveTimer->SetEnabled(false);
        FMouseIn = false;
        break;
    default:
        break;
    }
    TspSkinPanel::WndProc(Message);
}

// ---- descriptions ----

void TspSkinToolBar::DeclarePublished(TPublisher<TspSkinToolBar>& P)
{
    using C = TspSkinToolBar;
    P.Property("AdjustControls", &C::AdjustControls, &C::SetAdjustControls);
    P.Property("CanScroll", &C::CanScroll, &C::SetCanScroll);
    P.Property("HotScroll", &C::HotScroll, &C::SetHotScroll);
    P.Property("ScrollOffset", &C::ScrollOffset, &C::SetScrollOffset);
    P.Property("ScrollTimerInterval", &C::ScrollTimerInterval, &C::SetScrollTimerInterval);
    P.Property("ShowCaptions", &C::ShowCaptions, &C::SetShowCaptions);
    P.Property("AutoShowHideCaptions", &C::AutoShowHideCaptions, &C::SetAutoShowHideCaptions);
    P.Property("WidthWithCaptions", &C::WidthWithCaptions, &C::SetWidthWithCaptions);
    P.Property("WidthWithoutCaptions", &C::WidthWithoutCaptions, &C::SetWidthWithoutCaptions);
    P.Property("Flat", &C::Flat, &C::SetFlat);
    P.Property("Images", &C::Images, &C::SetImages);
    P.Property("HotImages", &C::HotImages, &C::SetHotImages);
    P.Property("DisabledImages", &C::DisabledImages, &C::SetDisabledImages);
}

void RegisterSkinToolBarClasses() { RegisterClasses<TspSkinToolBar>(); }
