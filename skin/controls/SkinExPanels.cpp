#include "skin/controls/SkinExPanels.h"

#include "platform/classes/ClassRegistry.h"
#include "skin/controls/ValueControlParts.h"
#include "platform/user/NonClient.h"
#include "skin/core/EffectBmp.h"
#include "skin/core/GlyphLayout.h"
#include "skin/core/ResourceStrData.h"
#include "skin/core/SkinButtonPieces.h"
#include "skin/core/SkinDrawGlyphs.h"
#include "skin/core/SkinDrawUtils.h"
#include "skin/core/SkinStrips.h"
#include "skin/core/SkinWindowData.h"

#include <memory>

namespace {

bool Empty(const TRect& R) { return R.right <= R.left || R.bottom <= R.top; }
int W(const TRect& R) { return R.right - R.left; }
int H(const TRect& R) { return R.bottom - R.top; }
bool In(const TRect& R, TPoint P) { return P.x >= R.left && P.x < R.right && P.y >= R.top && P.y < R.bottom; }
bool InEdges(const TRect& R, TPoint P) { return P.x >= R.left && P.x <= R.right && P.y >= R.top && P.y <= R.bottom; }
const TRect& Or(const TRect& A, const TRect& B) { return Empty(A) ? B : A; }

void FrameFlat(TCanvas* C, TRect R, TColor Color)
{
    C->Brush()->SetColor(Color);
    C->FrameRect(R);
}

}  // namespace

TspSkinExPanel::TspSkinExPanel(TComponent* AOwner)
    : TspSkinCustomControl(AOwner), FGlyph(std::make_unique<TBitmap>())
{
    FSkinDataName = "expanel";
    SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks, csSetCaption,
                                  csOpaque, csReplicatable});
    SetBounds(0, 0, 150, 100);
}

TspSkinExPanel::~TspSkinExPanel() = default;

void TspSkinExPanel::Notification(TComponent* AComponent, TOperation Operation)
{
    TspSkinCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FCaptionImageList)
        FCaptionImageList = nullptr;
}

// ---- properties ------------------------------------------------------------------------

void TspSkinExPanel::SetRollKind(TspExPanelRollKind Value)
{
    FRollKind = Value;
    Repaint();
}

void TspSkinExPanel::SetShowCloseButton(bool Value)
{
    FShowCloseButton = Value;
    Repaint();
}

void TspSkinExPanel::SetShowRollButton(bool Value)
{
    FShowRollButton = Value;
    Repaint();
}

void TspSkinExPanel::SetDefaultCaptionHeight(int Value)
{
    FDefaultCaptionHeight = Value;
    if (!(FIndex != -1 && FUseSkinSize)) {
        Repaint();
        Realign();
    }
}

void TspSkinExPanel::SetUseSkinSize(bool Value)
{
    FUseSkinSize = Value;
    Repaint();
    Realign();
}

void TspSkinExPanel::SetGlyph(TBitmap* Value)
{
    FGlyph->Assign(Value);
    Repaint();
}

void TspSkinExPanel::SetNumGlyphs(int Value)
{
    FNumGlyphs = Value < 1 ? 1 : Value;
    Repaint();
}

void TspSkinExPanel::SetSpacing(int Value)
{
    FSpacing = Value;
    Repaint();
}

void TspSkinExPanel::SetCaptionImageList(TCustomImageList* Value)
{
    if (FCaptionImageList)
        FCaptionImageList->RemoveFreeNotification(this);
    FCaptionImageList = Value;
    if (Value)
        Value->FreeNotification(this);
    Repaint();
}

void TspSkinExPanel::SetCaptionImageIndex(int Value)
{
    if (FCaptionImageIndex == Value)
        return;
    FCaptionImageIndex = Value;
    Repaint();
}

void TspSkinExPanel::Close()
{
    SetVisible(false);
    if (!ComponentState().Contains(csDesigning) && OnClose)
        OnClose(this);
}

// ---- rolling ---------------------------------------------------------------------------

int TspSkinExPanel::RolledSize() const
{
    if (FIndex != -1 && FExPiece && FUseSkinSize)
        return FRolledKind == rkRollHorizontal ? W(RollHSkinRect) : H(RollVSkinRect);
    return FDefaultCaptionHeight;
}

void TspSkinExPanel::SetRollState(bool Value)
{
    if (FRollState == Value)
        return;
    StopCheckSize = true;
    TSizeConstraints* c = Constraints();
    if (Value) {
        FRolledKind = FRollKind;
        FRollState = true;
        FCMaxWidth = c->MaxWidth();
        FCMinWidth = c->MinWidth();
        FCMaxHeight = c->MaxHeight();
        FCMinHeight = c->MinHeight();
        c->SetMaxWidth(0);
        c->SetMinWidth(0);
        c->SetMaxHeight(0);
        c->SetMinHeight(0);
        DisableAlign();
        for (int i = 0; i < ControlCount(); ++i)
            Controls(i)->SetVisible(false);
        GetSkinData();
        if (FRolledKind == rkRollHorizontal) {
            if (FRealWidth == 0)
                FRealWidth = Width();
            SetWidth(RolledSize());
        } else {
            if (FRealHeight == 0)
                FRealHeight = Height();
            SetHeight(RolledSize());
        }
    } else {
        FRollState = false;
        c->SetMaxWidth(FCMaxWidth);
        c->SetMinWidth(FCMinWidth);
        c->SetMaxHeight(FCMaxHeight);
        c->SetMinHeight(FCMinHeight);
        // The dimension that was rolled comes back, whatever RollKind says now.
        if (FRolledKind == rkRollHorizontal) {
            if (FRealWidth > 0)
                SetWidth(FRealWidth);
            FRealWidth = 0;
        } else {
            if (FRealHeight > 0)
                SetHeight(FRealHeight);
            FRealHeight = 0;
        }
        for (int i = 0; i < ControlCount(); ++i)
            Controls(i)->SetVisible(true);
        EnableAlign();
    }
    StopCheckSize = false;
    Repaint();
    if (!ComponentState().Contains(csDesigning) && OnChangeRollState)
        OnChangeRollState(this);
}

void TspSkinExPanel::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    if (FRollState && !StopCheckSize) {
        if (FRolledKind == rkRollHorizontal)
            AWidth = RolledSize();
        else
            AHeight = RolledSize();
    }
    TspSkinCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TspSkinExPanel::AdjustClientRect(TRect& Rect)
{
    GetSkinData();
    if (FIndex == -1 || ComponentState().Contains(csDesigning)) {
        Rect.top += FDefaultCaptionHeight;
        Rect.left += 1;
        Rect.right -= 1;
        Rect.bottom -= 1;
        return;
    }
    const int top = Rect.top;
    int w = Width(), h = Height();
    AdjustSizeToSkin(w, h);
    Rect = NewClRect;
    if (!FUseSkinSize)
        Rect.top = top + FDefaultCaptionHeight;
}

void TspSkinExPanel::ChangeSkinData()
{
    TspSkinCustomControl::ChangeSkinData();
    if (!FRollState) {
        Realign();
        return;
    }
    StopCheckSize = true;
    if (FRolledKind == rkRollHorizontal)
        SetWidth(RolledSize());
    else
        SetHeight(RolledSize());
    StopCheckSize = false;
}

void TspSkinExPanel::GetSkinData()
{
    TspSkinCustomControl::GetSkinData();
    FExPiece = false;
    if (FIndex == -1)
        return;
    auto* e = dynamic_cast<TspDataSkinExPanelControl*>(FSD->CtrlList[FIndex].get());
    if (!e)
        return;
    FExPiece = true;
    RollHSkinRect = e->RollHSkinRect;
    RollVSkinRect = e->RollVSkinRect;
    RollLeftOffset = e->RollLeftOffset;
    RollRightOffset = e->RollRightOffset;
    RollTopOffset = e->RollTopOffset;
    RollBottomOffset = e->RollBottomOffset;
    RollVCaptionRect = e->RollVCaptionRect;
    RollHCaptionRect = e->RollHCaptionRect;
    CaptionRect = e->CaptionRect;
    CloseButtonRect = e->CloseButtonRect;
    CloseButtonActiveRect = e->CloseButtonActiveRect;
    CloseButtonDownRect = e->CloseButtonDownRect;
    auto states = [](const TRect& n, const TRect& a, const TRect& d, TRect& N, TRect& A, TRect& D) {
        N = n;
        A = Or(a, N);
        D = Or(d, A);
    };
    states(e->HRollButtonRect, e->HRollButtonActiveRect, e->HRollButtonDownRect, HRollButtonRect, HRollButtonActiveRect,
           HRollButtonDownRect);
    states(e->HRestoreButtonRect, e->HRestoreButtonActiveRect, e->HRestoreButtonDownRect, HRestoreButtonRect,
           HRestoreButtonActiveRect, HRestoreButtonDownRect);
    states(e->VRollButtonRect, e->VRollButtonActiveRect, e->VRollButtonDownRect, VRollButtonRect, VRollButtonActiveRect,
           VRollButtonDownRect);
    states(e->VRestoreButtonRect, e->VRestoreButtonActiveRect, e->VRestoreButtonDownRect, VRestoreButtonRect,
           VRestoreButtonActiveRect, VRestoreButtonDownRect);
    FontName = e->FontName;
    FontStyle = e->FontStyle;
    FontHeight = e->FontHeight;
    FontColor = e->FontColor;
    ButtonsTransparent = e->ButtonsTransparent;
    ButtonsTransparentColor = e->ButtonsTransparentColor;
}

// ---- mouse --------------------------------------------------------------------------------

void TspSkinExPanel::TestActive(int X, int Y)
{
    if (!FShowCloseButton && !FShowRollButton)
        return;
    OldActiveButton = ActiveButton;
    ActiveButton = -1;
    const TPoint p(X, Y);
    if (FShowCloseButton && In(Buttons[0].R, p))
        ActiveButton = 0;
    else if (FShowRollButton && In(Buttons[1].R, p))
        ActiveButton = 1;
    if (CaptureButton != -1 && ActiveButton != CaptureButton && ActiveButton != -1)
        ActiveButton = -1;
    if (ActiveButton == OldActiveButton)
        return;
    if (OldActiveButton != -1) {
        Buttons[OldActiveButton].MouseIn = false;
        Repaint();
    }
    if (ActiveButton != -1) {
        Buttons[ActiveButton].MouseIn = true;
        Repaint();
    }
}

void TspSkinExPanel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TestActive(X, Y);
    if (ActiveButton != -1) {
        CaptureButton = ActiveButton;
        Buttons[ActiveButton].MouseIn = true;
        Buttons[ActiveButton].Down = true;
        Repaint();
    }
    TspSkinCustomControl::MouseDown(Button, Shift, X, Y);
}

void TspSkinExPanel::MouseMove(TShiftState Shift, int X, int Y)
{
    TestActive(X, Y);
    TspSkinCustomControl::MouseMove(Shift, X, Y);
}

void TspSkinExPanel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TspSkinCustomControl::MouseUp(Button, Shift, X, Y);
    const int i = CaptureButton;
    CaptureButton = -1;
    if (i == -1)
        return;
    Buttons[i].Down = false;
    if (ActiveButton != i)
        Buttons[i].MouseIn = false;
    Repaint();
    if (!Buttons[i].MouseIn)
        return;
    if (i == 0) {
        Close();
    } else {
        SetRollState(!FRollState);
        TestActive(X, Y);
        Repaint();
    }
}

LRESULT TspSkinExPanel::HitTestAt(TPoint P)
{
    if ((!FMoveable && !FSizeable) || ComponentState().Contains(csDesigning))
        return -2;
    GetSkinData();
    const int w = Width(), h = Height();
    TRect c, corner, right, bottom;
    if (FIndex == -1 || !FExPiece) {
        c = TRect(2, 2, w - 2, FDefaultCaptionHeight - 1);
        corner = TRect(w - 2, h - 2, w, h);
        right = TRect(w - 2, 0, w, h - 2);
        bottom = TRect(0, h - 2, w - 2, h);
    } else {
        int aw = w, ah = h;
        AdjustSizeToSkin(aw, ah);
        if (RolledH()) {
            c = RollHCaptionRect;
            c.bottom += h - H(RollHSkinRect);
        } else if (RolledV()) {
            c = RollVCaptionRect;
            c.right += w - W(RollVSkinRect);
        } else {
            c = CaptionRect;
            c.right += w - W(SkinRect);
        }
        corner = TRect(NewClRect.right, NewClRect.bottom, w, h);
        right = TRect(NewClRect.right, 0, w, NewClRect.bottom);
        bottom = TRect(0, NewClRect.bottom, NewClRect.right, h);
    }
    const bool onButton = (FShowCloseButton && InEdges(Buttons[0].R, P)) || (FShowRollButton && InEdges(Buttons[1].R, P));
    if (FMoveable && InEdges(c, P) && !onButton) {
        if (ActiveButton != -1) {
            Buttons[0].MouseIn = Buttons[1].MouseIn = false;
            ActiveButton = -1;
            Repaint();
        }
        return HTCAPTION;
    }
    if (FSizeable && !FRollState) {
        if (In(corner, P))
            return HTBOTTOMRIGHT;
        if (In(bottom, P))
            return HTBOTTOM;
        if (In(right, P))
            return HTRIGHT;
    }
    return -2;
}

void TspSkinExPanel::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_NCHITTEST: {
        const TPoint p = ScreenToClient(TPoint(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)));
        const LRESULT hit = HitTestAt(p);
        if (hit != -2) {
            Message.Result = hit;
            return;
        }
        break;
    }
    case WM_SIZE:
    case WM_SIZING:
        TspSkinCustomControl::WndProc(Message);
        if (FSizeable)
            Realign();
        return;
    case CM_TEXTCHANGED:
        TspSkinCustomControl::WndProc(Message);
        Repaint();
        return;
    case CM_MOUSELEAVE:
        TspSkinCustomControl::WndProc(Message);
        if (ComponentState().Contains(csDesigning))
            return;
        for (int i = 0; i < 2; ++i)
            if (Buttons[i].MouseIn) {
                Buttons[i].MouseIn = false;
                Repaint();
            }
        ActiveButton = -1;
        return;
    case CM_MOUSEENTER:
        TspSkinCustomControl::WndProc(Message);
        TestActive(-1, -1);
        return;
    default:
        break;
    }
    TspSkinCustomControl::WndProc(Message);
}

// ---- drawing ------------------------------------------------------------------------------

void TspSkinExPanel::SkinFont(TCanvas* C, bool UseSkin)
{
    TFont* f = C->Font();
    if (UseSkin) {
        f->SetName(FontName);
        f->SetStyle(FontStyle);
        f->SetHeight(FontHeight);
    } else {
        f->Assign(DefaultFont());
    }
    if (HasExPiece())
        f->SetColor(FontColor);
    if (FSD && FSD->ResourceStrData())
        f->SetCharset(FSD->ResourceStrData()->CharSet());
    else
        f->SetCharset(DefaultFont()->Charset());
    C->Brush()->SetStyle(bsClear);
}

// Image and text into R; Rotated writes upwards from R's bottom.
void TspSkinExPanel::DrawCaption(TCanvas* C, TRect R, bool Rotated)
{
    int iw = 0, ih = 0;
    const bool useList = FGlyph->Empty() && FCaptionImageList && FCaptionImageIndex >= 0 &&
                         FCaptionImageIndex < FCaptionImageList->Count();
    if (useList) {
        iw = FCaptionImageList->Width();
        ih = FCaptionImageList->Height();
    } else if (!FGlyph->Empty()) {
        iw = FGlyph->Width() / FNumGlyphs;
        ih = FGlyph->Height();
    }
    auto drawImage = [&](int x, int y) {
        if (useList)
            FCaptionImageList->Draw(C, x, y, FCaptionImageIndex, Enabled());
        else if (iw > 0)
            DrawStripGlyph(C, x, y, FGlyph.get(), FNumGlyphs, !Enabled() && FNumGlyphs == 2 ? 2 : 1);
    };
    const std::string text = Caption();
    if (!Rotated) {
        if (iw > 0) {
            drawImage(R.left, R.top + H(R) / 2 - ih / 2);
            R.left += iw + FSpacing;
        }
        TextRectVCentered(C, text, R);
        return;
    }
    int bottom = R.bottom;
    if (iw > 0) {
        drawImage(R.left + W(R) / 2 - iw / 2, bottom - ih);
        bottom -= ih + FSpacing;
    }
    C->Font()->SetOrientation(900);
    C->TextRect(TRect(R.left, R.top, R.right, bottom), R.left + W(R) / 2 - C->TextHeight(text) / 2, bottom, text);
    C->Font()->SetOrientation(0);
}

void TspSkinExPanel::PlaceButtonsAtRight(const TRect& C, int CloseW, int CloseH, int RollW, int RollH, int Gap)
{
    int right = C.right;
    if (FShowCloseButton) {
        Buttons[0].R = TRect(right - CloseW, C.top, right, C.top + CloseH);
        right -= CloseW + Gap;
    } else {
        Buttons[0].R = TRect();
    }
    Buttons[1].R = FShowRollButton ? TRect(right - RollW, C.top, right, C.top + RollH) : TRect();
}

void TspSkinExPanel::DrawButton(TCanvas* C, int I)
{
    TspExPanelButton& b = Buttons[I];
    if (Empty(b.R) || (I == 0 && !FShowCloseButton) || (I == 1 && !FShowRollButton))
        return;
    const bool pressed = b.Down && b.MouseIn;
    TColor glyph = 0;
    if (FIndex == -1 || !FExPiece) {
        C->Brush()->SetColor(clBtnFace);
        C->FillRect(b.R);
        if (pressed || b.MouseIn) {
            FrameFlat(C, b.R, TColor(8388608));
            C->Brush()->SetColor(pressed ? TColor(11899781) : TColor(13811126));
            C->FillRect(TRect(b.R.left + 1, b.R.top + 1, b.R.right - 1, b.R.bottom - 1));
        }
    } else if (FUseSkinSize) {
        const bool rolled = FRollState;
        const bool horizontal = rolled ? FRolledKind == rkRollHorizontal : FRollKind == rkRollHorizontal;
        // The picture set by button and state: normal, active, down.
        auto pick = [&](const TRect& n, const TRect& a, const TRect& d) { return pressed ? d : b.MouseIn ? a : n; };
        TRect src;
        if (I == 0)
            src = pick(CloseButtonRect, CloseButtonActiveRect, CloseButtonDownRect);
        else if (rolled && horizontal)
            src = pick(HRestoreButtonRect, HRestoreButtonActiveRect, HRestoreButtonDownRect);
        else if (rolled)
            src = pick(VRestoreButtonRect, VRestoreButtonActiveRect, VRestoreButtonDownRect);
        else if (horizontal)
            src = pick(HRollButtonRect, HRollButtonActiveRect, HRollButtonDownRect);
        else
            src = pick(VRollButtonRect, VRollButtonActiveRect, VRollButtonDownRect);
        if (!Empty(src) && Picture) {
            TBitmap pic;
            pic.SetSize(W(src), H(src));
            pic.Canvas()->CopyRect(TRect(0, 0, W(src), H(src)), Picture->Canvas(), src);
            if (ButtonsTransparent) {
                MakeTransparent(pic, ButtonsTransparentColor);
                C->Draw(b.R.left, b.R.top, &pic);
            } else {
                C->StretchDraw(b.R, &pic);
            }
        }
        return;
    } else {
        const int k = FSD->GetControlIndex("resizetoolbutton");
        auto* rb = k >= 0 ? dynamic_cast<TspDataSkinButtonControl*>(FSD->CtrlList[k].get()) : nullptr;
        glyph = FSD->SkinColors() ? FSD->SkinColors()->cBtnText : TColor(0);
        if (rb) {
            const TRect src = pressed ? Or(rb->DownSkinRect, Or(rb->ActiveSkinRect, rb->SkinRect))
                              : b.MouseIn ? Or(rb->ActiveSkinRect, rb->SkinRect)
                                          : rb->SkinRect;
            TspSkinPieceGeometry g;
            g.CopyFromPiece(*rb, *FSD);
            int w = W(b.R), h = H(b.R);
            g.FitSize(true, w, h);
            TBitmap pic;
            g.Compose(&pic, g.Picture, src, W(b.R), H(b.R), true);
            if (!pic.Empty())
                C->Draw(b.R.left, b.R.top, &pic);
            glyph = !Enabled() ? rb->DisabledFontColor : pressed ? rb->DownFontColor : b.MouseIn ? rb->ActiveFontColor : rb->FontColor;
        }
    }
    TRect g = b.R;
    if (pressed && (FIndex == -1 || !FExPiece)) {
        g.left += 2;
        g.top += 2;
    }
    if (I == 0) {
        DrawCloseGlyphInRect(C, g, glyph);
    } else {
        const bool rolled = FRollState;
        const TspExPanelRollKind kind = rolled ? FRolledKind : FRollKind;
        const int dir = kind == rkRollVertical ? (rolled ? 4 : 3) : (rolled ? 2 : 1);
        DrawArrow(C, g, glyph, dir);
    }
}

void TspSkinExPanel::DrawDefaultImage(TBitmap* B)
{
    TCanvas* c = B->Canvas();
    const int w = Width(), h = Height(), ch = FDefaultCaptionHeight;
    const int A = ch - 3, S = ch - 6;
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(TRect(0, 0, w, h));
    FrameFlat(c, TRect(0, 0, w, h), clBtnShadow);
    if (RolledH()) {
        DrawFrame3D(c, TRect(1, 1, w - 1, h - 1), clBtnHighlight, clBtnFace);
        Buttons[0].R = FShowCloseButton ? TRect(3, 3, A, A) : TRect();
        const int top = FShowCloseButton ? Buttons[0].R.bottom : 3;
        Buttons[1].R = FShowRollButton ? TRect(3, top, A, top + S) : TRect();
        const int below = FShowRollButton ? Buttons[1].R.bottom : top;
        SkinFont(c, false);
        DrawCaption(c, TRect(2, below + 2, w - 2, h - 2), true);
    } else {
        const TRect bar(0, 0, w, ch);
        FrameFlat(c, bar, clBtnShadow);
        DrawFrame3D(c, TRect(1, 1, w - 1, ch - 1), clBtnHighlight, clBtnFace);
        Buttons[0].R = FShowCloseButton ? TRect(w - S - 2, 3, w - 2, A) : TRect();
        const int rr = FShowCloseButton ? Buttons[0].R.left : w - 2;
        Buttons[1].R = FShowRollButton ? TRect(rr - S, 3, rr, A) : TRect();
        TRect text(4, 2, w - 2, ch - 2);
        text.right -= (FShowCloseButton ? S : 0) + (FShowRollButton ? S : 0) + 2;
        SkinFont(c, false);
        DrawCaption(c, text, false);
    }
    DrawButton(c, 0);
    DrawButton(c, 1);
}

void TspSkinExPanel::DrawSkinImage(TBitmap* B)
{
    if (!FExPiece || !Picture) {
        TspSkinCustomControl::DrawSkinImage(B);
        return;
    }
    TCanvas* c = B->Canvas();
    const int w = Width(), h = Height();
    TRect C;
    if (RolledH()) {
        CreateVSkinImage(RollTopOffset, RollBottomOffset, B, Picture, RollHSkinRect, w, h, false);
        C = RollHCaptionRect;
        C.bottom += h - H(RollHSkinRect);
        Buttons[0].R = FShowCloseButton ? TRect(C.left, C.top, C.left + W(CloseButtonRect), C.top + H(CloseButtonRect)) : TRect();
        const int top = FShowCloseButton ? Buttons[0].R.bottom + 2 : C.top;
        Buttons[1].R = FShowRollButton ? TRect(C.left, top, C.left + W(HRollButtonRect), top + H(HRollButtonRect)) : TRect();
        C.top = FShowRollButton ? Buttons[1].R.bottom : top;
        SkinFont(c, FUseSkinFont);
        DrawCaption(c, C, true);
    } else {
        if (RolledV()) {
            CreateHSkinImage(RollLeftOffset, RollRightOffset, B, Picture, RollVSkinRect, w, h, TopStretch);
            C = RollVCaptionRect;
            C.right += w - W(RollVSkinRect);
        } else {
            TspSkinCustomControl::DrawSkinImage(B);
            C = CaptionRect;
            C.right += w - W(SkinRect);
        }
        PlaceButtonsAtRight(C, W(CloseButtonRect), H(CloseButtonRect), W(VRollButtonRect), H(VRollButtonRect), 2);
        TRect text = C;
        if (FShowRollButton)
            text.right = Buttons[1].R.left;
        else if (FShowCloseButton)
            text.right = Buttons[0].R.left;
        SkinFont(c, FUseSkinFont);
        DrawCaption(c, text, false);
    }
    DrawButton(c, 0);
    DrawButton(c, 1);
}

// The skin piece with a caption of DefaultCaptionHeight on the "panel" piece.
void TspSkinExPanel::DrawFixedCaptionLook(TBitmap* B)
{
    const int w = Width(), h = Height(), ch = FDefaultCaptionHeight;
    const std::string own = FSkinDataName;
    const TRect caption = CaptionRect;
    TBitmap* ownPicture = Picture;
    FSkinDataName = "panel";
    GetSkinData();
    if (FIndex == -1) {
        FSkinDataName = own;
        GetSkinData();
        return;
    }
    int aw = w, ah = h;
    TspSkinCustomControl::AdjustSizeToSkin(aw, ah);
    Compose(B, Picture, SkinRect, w, h, true);
    const TRect cl = NewClRect;
    FSkinDataName = own;
    GetSkinData();
    TCanvas* c = B->Canvas();
    const int sw = W(cl), sh = ch - cl.top - 1;
    if (sw > 0 && sh > 0 && ownPicture && !Empty(caption)) {
        TBitmap strip;
        strip.SetSize(sw, sh);
        strip.Canvas()->CopyRect(TRect(0, 0, sw, sh), ownPicture->Canvas(), caption);
        if (!RolledH()) {
            c->Draw(cl.left, cl.top, &strip);
        } else {
            // The caption strip turned to run up the rolled panel.
            std::unique_ptr<TspEffectBmp> src(TspEffectBmp::CreateFromhWnd(strip.Handle()));
            if (src) {
                TspEffectBmp turned(src->Height, src->Width);
                src->Rotate90_1(&turned);
                TBitmap t;
                t.SetSize(turned.Width, turned.Height);
                turned.Draw(t.Canvas()->Handle(), 0, 0);
                c->StretchDraw(cl, &t);
            }
        }
    }
    SkinFont(c, false);
    const int bs = ch - 2;
    if (!RolledH()) {
        TRect C(cl.left, cl.top, cl.right, ch);
        if (!FRollState && FSD->SkinColors())
            DrawFrame3D(c, TRect(C.left, C.bottom - 1, C.right, C.bottom), FSD->SkinColors()->cBtnHighLight,
                        FSD->SkinColors()->cBtnShadow);
        Buttons[0].R = FShowCloseButton ? TRect(w - bs - 1, 1, w - 1, ch - 1) : TRect();
        const int rr = FShowCloseButton ? Buttons[0].R.left : w - 1;
        Buttons[1].R = FShowRollButton ? TRect(rr - bs, 1, rr, ch - 1) : TRect();
        C.left += 2;
        C.right -= (FShowCloseButton ? bs : 0) + (FShowRollButton ? bs : 0) + 2;
        DrawCaption(c, C, false);
    } else {
        TRect C = cl;
        Buttons[0].R = FShowCloseButton ? TRect(1, 1, ch - 1, ch - 1) : TRect();
        const int top = FShowCloseButton ? Buttons[0].R.bottom : 1;
        Buttons[1].R = FShowRollButton ? TRect(1, top, ch - 1, top + bs) : TRect();
        C.top = (FShowRollButton ? Buttons[1].R.bottom : top) + 2;
        C.bottom -= 2;
        DrawCaption(c, C, true);
    }
    DrawButton(c, 0);
    DrawButton(c, 1);
}

void TspSkinExPanel::Paint()
{
    GetSkinData();
    if (FIndex == -1 || FUseSkinSize || !FExPiece) {
        TspSkinCustomControl::Paint();
        return;
    }
    if (Width() <= 0 || Height() <= 0)
        return;
    PaintSkinImage(this, Canvas(), FAlphaBlend, FAlphaBlendValue, [this](TBitmap* B) { DrawFixedCaptionLook(B); });
}

void TspSkinExPanel::DeclarePublished(TPublisher<TspSkinExPanel>& P)
{
    using C = TspSkinExPanel;
    P.Property("Caption", &C::Caption, &C::SetCaption, "");
    // The full size first: a rolled panel read back keeps it.
    P.Property("RealWidth", &C::RealWidth, &C::SetRealWidth, 0);
    P.Property("RealHeight", &C::RealHeight, &C::SetRealHeight, 0);
    P.Property("RollKind", &C::RollKind, &C::SetRollKind, rkRollVertical);
    P.Property("ShowCloseButton", &C::ShowCloseButton, &C::SetShowCloseButton, true);
    P.Property("ShowRollButton", &C::ShowRollButton, &C::SetShowRollButton, true);
    P.Property("DefaultCaptionHeight", &C::DefaultCaptionHeight, &C::SetDefaultCaptionHeight, 21);
    P.Property("UseSkinSize", &C::UseSkinSize, &C::SetUseSkinSize, true);
    P.Property("Moveable", &C::Moveable, &C::SetMoveable, false);
    P.Property("Sizeable", &C::Sizeable, &C::SetSizeable, false);
    P.Property("Glyph", &C::Glyph, &C::SetGlyph);
    P.Property("NumGlyphs", &C::NumGlyphs, &C::SetNumGlyphs, 1);
    P.Property("Spacing", &C::Spacing, &C::SetSpacing, 2);
    P.Property("CaptionImageList", &C::CaptionImageList, &C::SetCaptionImageList);
    P.Property("CaptionImageIndex", &C::CaptionImageIndex, &C::SetCaptionImageIndex, -1);
    P.Property("RollState", &C::RollState, &C::SetRollState, false);
    P.Property("OnChangeRollState", &C::OnChangeRollState);
    P.Property("OnClose", &C::OnClose);
}

void RegisterSkinExPanelClasses() { RegisterClasses<TspSkinExPanel>(); }
