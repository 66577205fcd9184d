#include "platform/gui/StdCtrls.h"

#include "platform/gdi/Gdi.h"
#include "platform/gui/Menus.h"

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner)
{
    FControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csOpaque, csReplicatable, csDoubleClicks};
    FWidth = 65;
    FHeight = 17;
    FColor = clBtnFace;
    FAutoSize = true;
}

void TCustomLabel::SetAlignment(TAlignment v) { if (v != FAlignment) { FAlignment = v; Invalidate(); } }
void TCustomLabel::SetLayout(TTextLayoutKind v) { if (v != FLayout) { FLayout = v; Invalidate(); } }

void TCustomLabel::SetWordWrap(bool v)
{
    if (v == FWordWrap)
        return;
    FWordWrap = v;
    AdjustSize();
    Invalidate();
}

void TCustomLabel::SetTransparent(bool v)
{
    if (v == Transparent())
        return;
    if (v)
        FControlStyle.Exclude(csOpaque);
    else
        FControlStyle.Include(csOpaque);
    Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool v)
{
    if (v == FShowAccelChar)
        return;
    FShowAccelChar = v;
    AdjustSize();
    Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* v)
{
    if (FFocusControl)
        FFocusControl->RemoveFreeNotification(this);
    FFocusControl = v;
    if (v)
        v->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation)
{
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl)
        FFocusControl = nullptr;
}

void TCustomLabel::TextChanged()
{
    AdjustSize();
    Invalidate();
}

void TCustomLabel::DoDrawText(TRect& Rect, UINT Flags)
{
    std::string text = Caption();
    if ((Flags & DT_CALCRECT) && (text.empty() || (FShowAccelChar && text == "&")))
        text = " ";
    if (!FShowAccelChar)
        Flags |= DT_NOPREFIX;
    HDC dc = Canvas()->Handle();
    Canvas()->Font()->Assign(Font());
    Canvas()->Refresh();
    SetBkMode(dc, TRANSPARENT);
    if (!FEnabled && !(Flags & DT_CALCRECT)) {
        SetTextColor(dc, ColorToRGB(clBtnHighlight));
        RECT r{Rect.left + 1, Rect.top + 1, Rect.right + 1, Rect.bottom + 1};
        DrawText(dc, text.c_str(), -1, &r, Flags);
        SetTextColor(dc, ColorToRGB(clBtnShadow));
    } else if (!(Flags & DT_CALCRECT)) {
        SetTextColor(dc, ColorToRGB(Font()->Color()));
    }
    RECT r = Rect;
    DrawText(dc, text.c_str(), -1, &r, Flags);
    Rect = r;
}

void TCustomLabel::Paint()
{
    TRect r = ClientRect();
    if (!Transparent()) {
        Canvas()->Brush()->SetColor(FColor);
        Canvas()->Brush()->SetStyle(bsSolid);
        Canvas()->FillRect(r);
    }
    UINT flags = DT_EXPANDTABS | (FWordWrap ? DT_WORDBREAK : 0) |
                 (FAlignment == taCenter ? DT_CENTER : FAlignment == taRightJustify ? DT_RIGHT : DT_LEFT);
    if (FLayout != tlTop) {
        TRect calc = r;
        DoDrawText(calc, flags | DT_CALCRECT);
        int h = calc.bottom - calc.top;
        int off = FLayout == tlBottom ? r.bottom - h : (r.bottom - h) / 2;
        r.top = off;
        r.bottom = off + h;
    }
    DoDrawText(r, flags);
}

bool TCustomLabel::CanAutoSize(int& NewWidth, int& NewHeight)
{
    if (ComponentState().Contains(csLoading))
        return false;
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, FFont.Handle());
    std::string text = Caption();
    if (text.empty())
        text = " ";
    RECT r{0, 0, FWordWrap ? NewWidth : 0, 0};
    UINT flags = DT_CALCRECT | DT_EXPANDTABS | (FWordWrap ? DT_WORDBREAK : 0) | (FShowAccelChar ? 0 : DT_NOPREFIX);
    DrawText(dc, text.c_str(), -1, &r, flags);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    NewWidth = r.right - r.left;
    NewHeight = r.bottom - r.top;
    return true;
}

void TCustomLabel::WndProc(TMessage& Message)
{
    if (Message.Msg == CM_DIALOGCHAR) {
        if (FFocusControl && FEnabled && FShowAccelChar && IsAccel(static_cast<WORD>(Message.WParam), Caption()) &&
            FFocusControl->CanFocus()) {
            FFocusControl->SetFocus();
            Message.Result = 1;
        }
        return;
    }
    TGraphicControl::WndProc(Message);
}
