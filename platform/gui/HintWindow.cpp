#include "platform/gui/HintWindow.h"

#include "platform/gdi/Gdi.h"
#include "platform/gui/Forms.h"

#include <algorithm>

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner)
{
    FVisible = false;
    FColor = clInfoBk;
    FParentColor = false;
    FParentFont = false;
    if (Screen)
        FFont.Assign(Screen->HintFont());
    FFont.SetColor(clInfoText);
}

void THintWindow::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP | WS_BORDER;
    Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    Params.WndParent = Application ? Application->Handle() : nullptr;
    Params.WindowClass.style |= CS_SAVEBITS | CS_DROPSHADOW;
}

void THintWindow::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_NCHITTEST) {
        Message.Result = HTTRANSPARENT;
        return;
    }
    if (Message.Msg == WM_MOUSEACTIVATE) {
        Message.Result = MA_NOACTIVATE;
        return;
    }
    TCustomControl::WndProc(Message);
}

TRect THintWindow::CalcHintRect(int MaxWidth, const std::string& AHint, void*)
{
    RECT r{0, 0, MaxWidth > 0 ? MaxWidth : 300, 0};
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, FFont.Handle());
    DrawText(dc, AHint.c_str(), -1, &r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return TRect(0, 0, r.right + 6, r.bottom + 2 + 2);
}

void THintWindow::ActivateHint(TRect Rect, const std::string& AHint)
{
    SetCaption(AHint);
    // Keep the hint on the screen.
    if (Screen) {
        TRect d = Screen->DesktopRect();
        int w = Rect.right - Rect.left, h = Rect.bottom - Rect.top;
        Rect.left = std::max(d.left, std::min<int>(Rect.left, d.right - w));
        Rect.top = std::max(d.top, std::min<int>(Rect.top, d.bottom - h));
        Rect.right = Rect.left + w;
        Rect.bottom = Rect.top + h;
    }
    SetBounds(Rect.left, Rect.top, Rect.right - Rect.left, Rect.bottom - Rect.top);
    FActive = true;
    SetWindowPos(Handle(), HWND_TOPMOST, Rect.left, Rect.top, Rect.right - Rect.left, Rect.bottom - Rect.top,
                 SWP_SHOWWINDOW | SWP_NOACTIVATE);
    FVisible = true;
    FShowing = true;
    Invalidate();
}

void THintWindow::ActivateHintData(TRect Rect, const std::string& AHint, void*) { ActivateHint(Rect, AHint); }

bool THintWindow::IsHintMsg(const MSG& Msg)
{
    return (Msg.message >= WM_KEYFIRST && Msg.message <= WM_KEYLAST) ||
           (Msg.message >= WM_LBUTTONDOWN && Msg.message <= WM_MOUSELAST && Msg.message != WM_MOUSEMOVE) ||
           Msg.message == WM_NCLBUTTONDOWN || Msg.message == WM_ACTIVATE || Msg.message == WM_ACTIVATEAPP;
}

void THintWindow::ReleaseHandle()
{
    FActive = false;
    FVisible = false;
    FShowing = false;
    DestroyHandle();
}

void THintWindow::Paint()
{
    TRect r = ClientRect();
    Canvas()->Brush()->SetColor(FColor);
    Canvas()->FillRect(r);
    r.left += 2;
    r.top += 2;
    Canvas()->Font()->SetColor(clInfoText);
    Canvas()->Brush()->SetStyle(bsClear);
    RECT rr = r;
    HDC dc = Canvas()->Handle();
    Canvas()->Refresh();
    DrawText(dc, Caption().c_str(), -1, &rr, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
}
