// One strip of the layered border and the mouse on it: the zone under the
// pointer, sizing the form from the border's edges and corners, dragging it
// by a full border's caption (with magnetic edges), double clicks, and the
// frame objects a full border draws into its top strip.
//
// Every sizing or drag step lets pending messages run so that the form and
// its border repaint in step; moves that arrive meanwhile are swallowed.
// The border may drop this window during such a step: the window then
// finds itself detached (FLayerBorder null) and stops.
#include "skin/forms/FormLayerBorder.h"

#include "platform/user/User.h"
#include "skin/core/LayerManager.h"
#include "skin/core/SkinData.h"
#include "skin/forms/FormSkinner.h"
#include "skin/forms/SkinMenus.h"

#include <algorithm>

namespace {

TPoint CursorPos()
{
    POINT p{};
    GetCursorPos(&p);
    return TPoint(p.x, p.y);
}

RECT WindowRectOf(TWinControl* C)
{
    RECT r{};
    if (C && C->HandleAllocated())
        GetWindowRect(C->Handle(), &r);
    return r;
}

bool In(const TRect& R, const TPoint& P) { return spforms::Inside(R, P); }

}  // namespace

TspFormLayerWindow::TspFormLayerWindow(TspFormLayerBorder* AOwner, TCustomForm* AForm)
    : TForm(nullptr), FLayerBorder(AOwner), FForm(AForm)
{
    SetVisible(false);
    SetBorderStyle(bsNone);
    SetFormStyle(AForm && AForm->FormStyle() == fsStayOnTop ? fsStayOnTop : fsNormal);
}

void TspFormLayerWindow::CreateParams(TCreateParams& Params)
{
    TForm::CreateParams(Params);
    Params.Style = WS_POPUP;
    // No task-bar button, never activated (not even when another window
    // goes away); a frame without a border rectangle lets the mouse through.
    Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_LAYERED;
    if (FLayerBorder && FLayerBorder->FData && spforms::Empty(FLayerBorder->FData->BorderRect))
        Params.ExStyle |= WS_EX_TRANSPARENT;
    Params.WndParent = nullptr;
}

bool TspFormLayerWindow::CanSize()
{
    TspFormSkinner* S = FLayerBorder ? FLayerBorder->FSK : nullptr;
    return S && S->IsSizeAble() && !S->RollUpState() && S->WindowState() == wsNormal;
}

TspFormLayerBorderHit TspFormLayerWindow::HitTest(int X, int Y)
{
    TspFormLayerBorder* B = FLayerBorder;
    if (!B || !B->FData || !B->FSK || !FForm)
        return spflhNone;
    const TspDataSkinLayerFrame& d = *B->FData;
    TspFormSkinner* S = B->FSK;
    const TPoint P = CursorPos();
    const RECT fr = WindowRectOf(FForm);
    const RECT wr = WindowRectOf(this);
    const int L = fr.left, T = fr.top, W = fr.right - fr.left, H = fr.bottom - fr.top;
    TRect CX = d.CaptionRect;
    CX.right += W - d.ClRect.Width();
    CX.top = d.BorderRect.top + d.HitTestSize;
    CX = spforms::Moved(CX, wr.left, wr.top);

    if (d.FullBorder && BorderType == spflTop)
        B->TrackBorderObject(X, Y);
    else if (!d.FullBorder)
        B->ActiveObject = -1;
    if (B->ActiveObject != -1 && B->ActiveObject < static_cast<int>(S->ObjectList.size())) {
        if (!dynamic_cast<TspSkinCaptionObject*>(S->ObjectList[static_cast<std::size_t>(B->ActiveObject)].get()))
            return spflObject;
        return S->NCDraggAble ? spflCaption : spflhNone;
    }
    if (!CanSize())
        return spflhNone;
    const int HTS = d.HitTestSize;
    const int OL = L - B->LeftSize, OT = T - B->TopSize, OR = L + W + B->RightSize, OB = T + H + B->BottomSize;
    switch (BorderType) {
    case spflLeft:
        return P.x >= OL ? spflhLeft : spflhNone;
    case spflRight:
        return P.x <= OR ? spflhRight : spflhNone;
    case spflTop: {
        const TRect TL(OL, OT, OL + B->HitTopLeftX, OT + B->HitTopLeftY);
        const TRect TR(OR - B->HitTopRightX, OT, OR, OT + B->HitTopRightY);
        const TRect TE(TL.right, TL.top, TR.left, TL.top + HTS);
        const TRect LE(TL.left, TL.bottom, TL.left + HTS, wr.bottom);
        const TRect RE(TR.left, TR.bottom, TR.right, wr.bottom);
        if (In(TL, P) && !In(CX, P))
            return spflhTopLeft;
        if (In(TE, P))
            return spflhTop;
        if (In(TR, P) && !In(CX, P))
            return spflhTopRight;
        if (In(LE, P) && !In(CX, P))
            return spflhLeft;
        if (In(RE, P) && !In(CX, P))
            return spflhRight;
        return spflhNone;
    }
    case spflBottom: {
        const TRect BL(OL, OB - B->HitBottomLeftY, OL + B->HitBottomLeftX, OB);
        const TRect BR(OR - B->HitBottomRightX, OB - B->HitBottomRightY, OR, OB);
        const TRect BE(BL.right, BL.top, BR.left, OB);
        const TRect LE(OL, wr.top, L, BL.top);
        const TRect RE(L + W, wr.top, OR, BR.top);
        if (In(BL, P))
            return spflhBottomLeft;
        if (In(BE, P))
            return spflhBottom;
        if (In(BR, P))
            return spflhBottomRight;
        if (In(LE, P))
            return spflhLeft;
        if (In(RE, P))
            return spflhRight;
        return spflhNone;
    }
    }
    return spflhNone;
}

void TspFormLayerWindow::WndProc(TMessage& Message)
{
    ++FBusy;
    // Detached windows (their border dropped them) only do the platform's work.
    TspFormLayerBorder* B = FForm ? FLayerBorder : nullptr;
    const bool full = B && B->FullBorder();
    bool inherited = true;
    switch (Message.Msg) {
    case CM_MOUSEENTER:
        if (full)
            B->MouseTimer->SetEnabled(true);
        break;
    case CM_MOUSELEAVE:
        if (full) {
            B->MouseTimer->SetEnabled(false);
            B->TrackBorderObject(-1, -1);
        }
        break;
    case WM_MOUSEACTIVATE:
        inherited = false;
        Message.Result = MA_NOACTIVATE;
        if (B && B->FData && B->FData->HitTestEnable) {
            if (!FForm->Active())
                FForm->Show();
            if (FLayerBorder) {
                POINT p{};
                GetCursorPos(&p);
                if (HandleAllocated())
                    ::ScreenToClient(Handle(), &p);
                FHitMode = HitTest(p.x, p.y);
            }
        }
        break;
    case WM_SETFOCUS:
        inherited = false;
        if (B && !FForm->Active())
            FForm->Show();
        Message.Result = 1;
        break;
    case WM_LBUTTONDBLCLK:
        if (full) {
            const TPoint pt(static_cast<SHORT>(LOWORD(static_cast<DWORD_PTR>(Message.LParam))),
                            static_cast<SHORT>(HIWORD(static_cast<DWORD_PTR>(Message.LParam))));
            DblClickCaption(pt.x, pt.y);
            TForm::WndProc(Message);
            if (FLayerBorder)
                FLayerBorder->MouseCaptureObject = -1;
            inherited = false;
        }
        break;
    default:
        break;
    }
    if (inherited)
        TForm::WndProc(Message);
    --FBusy;
}

void TspFormLayerWindow::DblClickCaption(int X, int Y)
{
    TspFormLayerBorder* B = FLayerBorder;
    if (!B || !B->FSK)
        return;
    TspFormSkinner* S = B->FSK;
    TspFormLayerBorderHit h = HitTest(X, Y);
    TspActiveSkinObject* obj = (B->ActiveObject >= 0 && B->ActiveObject < static_cast<int>(S->ObjectList.size()))
                                   ? S->ObjectList[static_cast<std::size_t>(B->ActiveObject)].get()
                                   : nullptr;
    if (h == spflCaption)
        if (auto* c = dynamic_cast<TspSkinCaptionObject*>(obj); c && c->ActiveQuickButton != -1)
            h = spflObject;
    MousePos1 = MousePos2;
    if (h == spflObject) {
        if (auto* b = dynamic_cast<TspSkinStdButtonObject*>(obj); b && b->Command == cmSysMenu)
            FForm->Close();
        return;
    }
    if (h != spflCaption)
        return;
    const TWindowState st = S->WindowState();
    if (S->Sizeable && st == wsMinimized) {
        S->SetWindowState(wsNormal);
    } else if (S->Sizeable && st != wsMaximized && !S->RollUpState() &&
               S->BorderIcons().Contains(spforms::biMaximize)) {
        S->SetWindowState(wsMaximized);
        FDown = false;
    } else if (!S->Sizeable || st != wsMaximized || S->MaxRollUpState) {
        S->SetRollUpState(!S->RollUpState());
    } else {
        S->SetWindowState(wsNormal);
        FDown = false;
    }
}

void TspFormLayerWindow::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TForm::MouseDown(Button, Shift, X, Y);
    TspFormLayerBorder* B = FLayerBorder;
    if (!B || !B->FSK || !B->FData)
        return;
    TspFormSkinner* S = B->FSK;
    if (S->SkinMenu && S->SkinMenu->Visible())
        S->SkinMenu->Hide();
    const TspFormLayerBorderHit h = HitTest(X, Y);
    if (!B->FData->HitTestEnable || (!CanSize() && h != spflCaption && h != spflObject))
        return;
    FInProcessMessages = false;
    FDown = Button == mbLeft && h != spflObject && h != spflhNone && S->WindowState() != wsMaximized;
    if (FDown) {
        // The zone pressed is the one sized, also when no hover came first.
        FHitMode = h;
        SetMouseCapture(true);
    }
    MousePos1 = MousePos2 = CursorPos();
    if (B->FData->FullBorder && B->ActiveObject >= 0 && B->ActiveObject < static_cast<int>(S->ObjectList.size())) {
        TspActiveSkinObject* o = S->ObjectList[static_cast<std::size_t>(B->ActiveObject)].get();
        o->MouseDown(X, Y, Button);
        if (!FLayerBorder)
            return;
        if (auto* c = dynamic_cast<TspSkinCaptionObject*>(o); c && c->ActiveQuickButton != -1)
            FDown = false;
        B->MouseCaptureObject = B->ActiveObject;
        if (S->FLayerManager && S->FLayerManager->IsVisible && FForm->FormStyle() == fsStayOnTop)
            S->FLayerManager->Update();
    }
}

void TspFormLayerWindow::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TForm::MouseUp(Button, Shift, X, Y);
    if (MouseCapture())
        SetMouseCapture(false);
    TspFormLayerBorder* B = FLayerBorder;
    FDown = FInProcessMessages = false;
    MousePos1 = MousePos2 = TPoint(0, 0);
    if (!B || !B->FSK)
        return;
    TspFormSkinner* S = B->FSK;
    S->FBorderLayerChangeSize = false;
    const int n = static_cast<int>(S->ObjectList.size());
    const bool full = B->FullBorder();
    if (full && B->MouseCaptureObject != -1 && B->MouseCaptureObject != B->ActiveObject && B->MouseCaptureObject < n)
        S->ObjectList[static_cast<std::size_t>(B->MouseCaptureObject)]->MouseUp(X, Y, Button);
    if (!FLayerBorder)
        return;
    B->MouseCaptureObject = -1;
    if (B->FData && B->FData->HitTestEnable && (CanSize() || FHitMode == spflCaption || FHitMode == spflObject) &&
        full && B->ActiveObject >= 0 && B->ActiveObject < n)
        S->ObjectList[static_cast<std::size_t>(B->ActiveObject)]->MouseUp(X, Y, Button);
}

void TspFormLayerWindow::MouseMove(TShiftState Shift, int X, int Y)
{
    if (FInProcessMessages) {
        // A move out of an earlier step's message processing.
        FInProcessMessages = false;
        MousePos1 = MousePos2;
        return;
    }
    TForm::MouseMove(Shift, X, Y);
    TspFormLayerBorder* B = FLayerBorder;
    if (!B || !B->FSK || !B->FData || !B->FData->HitTestEnable)
        return;
    TspFormSkinner* S = B->FSK;
    MousePos2 = CursorPos();
    const int dX = MousePos2.x - MousePos1.x, dY = MousePos2.y - MousePos1.y;
    if (FDown) {
        S->FBorderLayerChangeSize = true;
        SizeOrDrag(dX, dY);
        if (!FLayerBorder)
            return;
    } else {
        S->FBorderLayerChangeSize = false;
        FHitMode = HitTest(X, Y);
        TCursor c = crDefault;
        switch (FHitMode) {
        case spflhLeft:
        case spflhRight: c = crSizeWE; break;
        case spflhTop:
        case spflhBottom: c = crSizeNS; break;
        case spflhTopLeft:
        case spflhBottomRight: c = crSizeNWSE; break;
        case spflhTopRight:
        case spflhBottomLeft: c = crSizeNESW; break;
        default: break;
        }
        SetCursor(c);
        if (B->FullBorder() && B->ActiveObject >= 0 && B->ActiveObject < static_cast<int>(S->ObjectList.size()))
            S->ObjectList[static_cast<std::size_t>(B->ActiveObject)]->MouseMove(X, Y);
    }
    MousePos1 = MousePos2;
}

void TspFormLayerWindow::RunPending()
{
    FInProcessMessages = true;
    if (Application)
        Application->ProcessMessages();
    FInProcessMessages = false;
}

void TspFormLayerWindow::Apply(int L, int T, int W, int H, bool MoveBorderFirst, int BorderL, int BorderT)
{
    // The form outlives this step even when the border drops this window.
    TCustomForm* form = FForm;
    if (form->HandleAllocated())
        RedrawWindow(form->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    if (MoveBorderFirst)
        FLayerBorder->MoveWithForm2(BorderL, BorderT);
    const int oldH = form->Height();
    form->SetBounds(L, T, W, H);
    if (MoveBorderFirst && FLayerBorder && form->Height() == oldH)
        FLayerBorder->MoveWithForm();
    MousePos1 = MousePos2;
    RunPending();
}

void TspFormLayerWindow::SizeOrDrag(int dX, int dY)
{
    TspFormLayerBorder* B = FLayerBorder;
    TspFormSkinner* S = B->FSK;
    const RECT fr = WindowRectOf(FForm);
    const int L = fr.left, T = fr.top, W = fr.right - fr.left, H = fr.bottom - fr.top;
    const TPoint P = MousePos2;
    const int OL = L - B->LeftSize, OT = T - B->TopSize, OR = L + W + B->RightSize, OB = T + H + B->BottomSize;
    const int HTS = B->FData->HitTestSize;
    auto clampW = [&](int v) { return std::min(std::max(v, S->GetMinWidth()), S->GetMaxWidth()); };
    auto clampH = [&](int v) { return std::min(std::max(v, S->GetMinHeight()), S->GetMaxHeight()); };
    // Growth counts only while the pointer is near the outer edge it pulls;
    // a move inward always counts. Left and top edges grow by negative moves.
    const bool leftEdge = FHitMode == spflhLeft || FHitMode == spflhTopLeft || FHitMode == spflhBottomLeft;
    const bool topEdge = FHitMode == spflhTop || FHitMode == spflhTopLeft || FHitMode == spflhTopRight;
    auto guardX = [&](int d) { return leftEdge ? (d >= 0 || P.x <= OL + HTS) : (d <= 0 || P.x >= OR - HTS); };
    auto guardY = [&](int d) { return topEdge ? (d >= 0 || P.y <= OT + HTS) : (d <= 0 || P.y >= OB - HTS); };
    switch (FHitMode) {
    case spflhLeft: {
        if (dX == 0 || !guardX(dX))
            return;
        const int nw = clampW(W - dX);
        if (nw == W || L + dX + nw != L + W)
            return;
        Apply(L + dX, T, nw, H, false, 0, 0);
        return;
    }
    case spflhRight: {
        if (dX == 0 || !guardX(dX))
            return;
        const int nw = clampW(W + dX);
        if (nw == W)
            return;
        Apply(L, T, nw, H, false, 0, 0);
        return;
    }
    case spflhTop: {
        if (dY == 0 || !guardY(dY))
            return;
        const int nh = clampH(H - dY);
        if (nh == H || T + dY + nh != T + H)
            return;
        Apply(L, T + dY, W, nh, dY > 0, L, T + dY);
        return;
    }
    case spflhBottom: {
        if (dY == 0 || !guardY(dY))
            return;
        const int nh = clampH(H + dY);
        if (nh == H)
            return;
        Apply(L, T, W, nh, false, 0, 0);
        return;
    }
    case spflhTopLeft:
    case spflhTopRight:
    case spflhBottomLeft:
    case spflhBottomRight: {
        // Each direction is judged by itself: one that fails its guard is dropped.
        int x = guardX(dX) ? dX : 0, y = guardY(dY) ? dY : 0;
        if (x == 0 && y == 0)
            return;
        const bool left = FHitMode == spflhTopLeft || FHitMode == spflhBottomLeft;
        const bool top = FHitMode == spflhTopLeft || FHitMode == spflhTopRight;
        const int nw = x == 0 ? W : clampW(left ? W - x : W + x);
        const int nh = y == 0 ? H : clampH(top ? H - y : H + y);
        if (left && L + x + nw != L + W)
            return;
        if (top && T + y + nh != T + H)
            return;
        if (nw == W && nh == H)
            return;
        const int nl = left ? L + x : L, nt = top ? T + y : T;
        Apply(nl, nt, nw, nh, top && y > 0, nl, nt);
        return;
    }
    case spflCaption: {
        int NL = L + dX, NT = T + dY;
        bool move = true;
        if (S->Magnetic && (dX != 0 || dY != 0)) {
            const int ul = NL, ut = NT;
            S->MagneticSnap(NL, NT, W, S->LayeredFullBorderSuppressed() ? B->FData->RollUpFormHeight : H);
            MousePos1 = MousePos2;
            const bool unchanged = NL == ul && NT == ut;
            const bool further = (dX > 0 && NL > ul) || (dX < 0 && NL < ul) || (dY > 0 && NT > ut) || (dY < 0 && NT < ut);
            move = unchanged || further;
        }
        FInProcessMessages = true;
        if (move) {
            if (dY > 0)
                B->MoveWithForm2(NL, NT);
            TCustomForm* form = FForm;
            form->SetBounds(NL, NT, W, H);
        }
        if (FLayerBorder)
            FLayerBorder->MoveWithForm();
        if (Application)
            Application->ProcessMessages();
        FInProcessMessages = false;
        MousePos1 = MousePos2;
        return;
    }
    default:
        return;
    }
}
