// The skinned form's window procedure: the step before the old procedure,
// the old procedure, and the step after it.
#include "skin/forms/FormSkinner.h"
#include "skin/forms/FormLayerBorder.h"
#include "skin/forms/SkinMenus.h"

#include "platform/gdi/GdiObject.h"
#include "platform/user/User.h"
#include "skin/core/SkinMessages.h"

namespace {

bool IsSizingCode(LRESULT Code) { return Code >= HTLEFT && Code <= HTBOTTOMRIGHT; }

// Mouse points travel as two signed 16-bit halves: left of or above the
// form, under capture, they are negative.
TPoint PointOf(LPARAM L) { return TPoint(GET_X_LPARAM(L), GET_Y_LPARAM(L)); }

bool IsDC(WPARAM W)
{
    const DWORD t = GetObjectType(reinterpret_cast<HGDIOBJ>(W));
    return t == OBJ_DC || t == OBJ_MEMDC;
}

}  // namespace

void TspFormSkinner::SkinFormWndProc(TMessage& Message)
{
    // A release frees the form and this component with it: nothing of
    // either may be touched after the old procedure.
    if (Message.Msg == CM_RELEASE) {
        const TWndMethod old = OldWindowProc;
        if (old)
            old(Message);
        return;
    }
    // A form on its way out only needs its own handling.
    if (FForm->ComponentState().Contains(csDestroying)) {
        if (Message.Msg == WM_DESTROY) {
            StopTimers();
            MDIChildDestroyed();
        }
        if (OldWindowProc)
            OldWindowProc(Message);
        return;
    }
    CloseMenusOnMessage(Message);
    if (MDIWndProcStep(Message))
        return;
    bool callOld = true;
    const bool skinnable = FSkinnableForm;
    const bool nc = FSupportNCArea;
    const bool bsNoneStyle = FForm->BorderStyle() == bsNone;
    HWND wnd = FForm->HandleAllocated() ? FForm->Handle() : nullptr;
    auto old = [&] {
        callOld = false;
        if (OldWindowProc)
            OldWindowProc(Message);
    };

    switch (Message.Msg) {
    case WM_DESTROY:
        StopTimers();
        break;
    case WM_SIZE:
        HandleSize(Message, callOld);
        break;
    case WM_ACTIVATE:
        if (skinnable) {
            FIsDragging = false;
            old();
            if (nc) {
                TrackActiveObject(-1, -1, false);
                ResetObjectStates();
                if (wnd)
                    SendMessage(wnd, WM_NCPAINT, 0, 0);
                UpdateActiveState(true);
            } else {
                FForm->Repaint();
            }
        }
        if (BorderShown())
            FBorderLayer->SetActive(GetFormActive(), true);
        break;
    case WM_SETTEXT:
        if (skinnable) {
            old();
            if (!bsNoneStyle) {
                if (FSkinSupport && nc) {
                    UpdateCaptionButtons();
                    UpDateFormNC();
                } else if (!FSkinSupport && wnd) {
                    SendMessage(wnd, WM_NCPAINT, 0, 0);
                }
            }
        }
        break;
    case WM_ERASEBKGND: {
        callOld = false;
        HDC dc = reinterpret_cast<HDC>(Message.WParam);
        if (nc && FSkinSupport) {
            if (FUseRibbon && FSD->MDIBGPictureIndex != -1)
                PaintBG3(dc);
            else if (FSD->BGPictureIndex == -1)
                PaintBG(dc);
            else
                PaintBG2(dc);
        } else if (nc) {
            PaintBGDefault(dc);
        } else {
            Paint(dc);
        }
        Message.Result = 1;
        break;
    }
    case WM_SHOWWINDOW:
        HandleShowWindow(Message);
        break;
    case WM_TIMER:
        if (HandleFadeTimer(Message))
            callOld = false;
        break;
    case WM_SETCURSOR:
        if (nc && UseFormCursorInNCArea && skinnable) {
            const LRESULT code = static_cast<SHORT>(LOWORD(static_cast<DWORD_PTR>(Message.LParam)));
            if (code != HTCLIENT && !IsSizingCode(code))
                Message.LParam = MAKELPARAM(HTCLIENT, HIWORD(static_cast<DWORD_PTR>(Message.LParam)));
        }
        break;
    case WM_GETMINMAXINFO:
        if (skinnable) {
            auto* mm = reinterpret_cast<MINMAXINFO*>(Message.LParam);
            mm->ptMinTrackSize = POINT{GetMinWidth(), GetMinHeight()};
            mm->ptMaxTrackSize = POINT{GetMaxWidth(), GetMaxHeight()};
            Message.Result = 0;
        }
        break;
    case WM_WINDOWPOSCHANGED: {
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(Message.LParam);
        if (pos && !(pos->flags & SWP_NOMOVE)) {
            FFormLeft = pos->x;
            FFormTop = pos->y;
        }
        if (!FSizing && !FBorderLayerChangeSize) {
            FOldFormLeft = FFormLeft;
            FOldFormTop = FFormTop;
        }
        FollowFormWithBorder();
        break;
    }
    case WM_DISPLAYCHANGE:
        if (nc && !bsNoneStyle && (GetMaxWidth() < FormWidth() || GetMaxHeight() < FormHeight()))
            NudgeFormWidth();
        break;
    case WM_NCCALCSIZE:
        if (skinnable) {
            callOld = false;
            HandleNCCalcSize(Message);
        }
        break;
    case WM_NCHITTEST:
        if (HandleNCHitTest(Message))
            callOld = false;
        break;
    case WM_NCPAINT:
        if (skinnable) {
            callOld = false;
            if (!bsNoneStyle) {
                if (nc && FSkinSupport)
                    PaintNCSkin(nullptr, false);
                else if (nc && !FStopPainting)
                    PaintNCDefault(nullptr, false);
            }
        }
        break;
    case WM_NCACTIVATE:
        if (skinnable) {
            callOld = false;
            HandleNCActivate(Message);
        }
        break;
    case WM_SYNCPAINT:
        if (skinnable && FRollUpState && nc) {
            callOld = false;
            if (wnd)
                SendMessage(wnd, WM_NCPAINT, 0, 0);
            Message.Result = 0;
        }
        break;
    case WM_SYSCOMMAND:
        if ((Message.WParam & 0xFFF0) == SC_RESTORE && OnRestore)
            OnRestore(this);
        if ((Message.WParam & 0xFFF0) == SC_KEYMENU && HandleKeyMenu())
            callOld = false;
        break;
    case WM_SIZING:
        HandleSizing(Message, callOld);
        break;
    case WM_MOVING:
        if (skinnable) {
            auto* r = reinterpret_cast<RECT*>(Message.LParam);
            if (FWindowStateInit == wsMaximized) {
                *r = FForm->BoundsRect();
            } else if (Magnetic) {
                const int w = r->right - r->left, h = r->bottom - r->top;
                int x = r->left, y = r->top;
                MagneticSnap(x, y, w, h);
                *r = RECT{x, y, x + w, y + h};
            }
        }
        break;
    case WM_ENTERSIZEMOVE: {
        POINT p;
        GetCursorPos(&p);
        FOnMouseDownCoord = TPoint(p.x, p.y);
        if (nc && skinnable) {
            ResetObjectStates();
            MouseTimer->SetEnabled(false);
            ActiveObject = -1;
            MouseCaptureObject = -1;
            FSizeMove = true;
            FFullDrag = FullDragEnabled();
        }
        break;
    }
    case WM_EXITSIZEMOVE:
        if (nc && skinnable) {
            if (FSizing && (FFormWidth != FormWidth() || FFormHeight != FormHeight())) {
                FFormWidth = FormWidth();
                FFormHeight = FormHeight();
                UpdateSkinFrame(true);
            }
            MouseTimer->SetEnabled(false);
            ActiveObject = OldActiveObject = MouseCaptureObject = -1;
            FSizeMove = FSizing = false;
            if (FSkinSupport && wnd)
                SendMessage(wnd, WM_NCPAINT, 0, 0);
        }
        break;
    case WM_SKINBEFORECHANGE:
    case WM_SKINCHANGED:
        HandleSkinChange(Message);
        break;
    case WM_SKINRESSTRCHANGED:
        UpdateButtonHints();
        break;
    case WM_LAYEREDBORDERSCHANGED:
        if (FSD && Message.WParam == reinterpret_cast<WPARAM>(FSD))
            InitLayerBorder();
        break;
    case WM_SKINNABLEFORMCHANGED:
        if (!FUseRibbon && FSD && Message.WParam == reinterpret_cast<WPARAM>(FSD) && FForm->FormStyle() != fsMDIChild)
            SetSkinnableForm(FSD->SkinnableForm());
        break;
    case WM_SKINQUERYFRAME:
        callOld = false;
        Message.Result = (skinnable || !FIsVistaOS) ? 0x3235 : 0x3234;
        break;
    case WM_SKINPAINTFRAME:
    case WM_SKINPAINTFRAMEEX:
        if (skinnable && (Message.Msg == WM_SKINPAINTFRAME || Message.LParam == 16802)) {
            callOld = false;
            // A WParam that the GDI handle registry does not know as a DC is refused.
            if (IsDC(Message.WParam) && nc && !bsNoneStyle) {
                HDC dc = reinterpret_cast<HDC>(Message.WParam);
                if (FSkinSupport)
                    PaintNCSkin(dc, true);
                else if (!FStopPainting)
                    PaintNCDefault(dc, true);
            }
            Message.Result = Message.Msg == WM_SKINPAINTFRAME ? 12851 : 16802;
        }
        break;
    case WM_SKINMENUCLOSE:
        SkinMenuClose();
        break;
    case WM_RESTOREFROMTRAY:
        HandleRestoreFromTray();
        break;

    default:
        break;
    }

    if (callOld && OldWindowProc)
        OldWindowProc(Message);
    AfterOldProc(Message);
    MDIAfterStep(Message);
}

void TspFormSkinner::HandleShowWindow(TMessage& Message)
{
    if (Message.WParam == 0) {
        HideGlowLayers();
        if (BorderShown() && FForm->Tag() != kTrayRestoreTag)
            FBorderLayer->Hide();
        return;
    }
    // The frame carries its own menus; a platform menu would take client space.
    if (FSkinnableForm && FForm->Menu())
        FForm->SetMenu(nullptr);
    const TWindowState state = FSkinnableForm ? FWindowState : FWindowStateInit;
    if (FStartShow && PositionInMonitor == sppDefault)
        FStartShow = false;
    if (FStartShow && state == wsNormal) {
        FStartShow = false;
        ApplyPositionInMonitor();
    }
    PrepareFadeIn();
    if (!FSupportNCArea && FWindowStateInit != FWindowState)
        SetWindowState(FWindowStateInit);
}

void TspFormSkinner::HandleNCCalcSize(TMessage& Message)
{
    if (!FSupportNCArea || FForm->BorderStyle() == bsNone)
        return;
    auto* r = reinterpret_cast<RECT*>(Message.LParam);
    if (!r)
        return;
    if (FSkinSupport && !spforms::Empty(FSD->ClRect) && FSD->FPicture) {
        CalcSkinRects();
        const int pw = FSD->FPicture->Width(), ph = FSD->FPicture->Height();
        r->left += FSD->ClRect.left;
        r->top += FSD->ClRect.top;
        r->right -= pw - FSD->ClRect.right;
        r->bottom -= ph - FSD->ClRect.bottom;
    } else {
        r->left += 3;
        r->top += DefCaptionHeight() + 3;
        r->right -= 3;
        r->bottom -= 3;
    }
    if (r->right < r->left)
        r->right = r->left;
    if (r->bottom < r->top)
        r->bottom = r->top;
    Message.Result = 0;
}

bool TspFormSkinner::HandleNCHitTest(TMessage& Message)
{
    TPoint p = PointOf(Message.LParam);
    if (FSupportNCArea) {
        if (!FSkinnableForm)
            return false;
        ScreenToWindowPoint(p);
        Message.Result = FSkinSupport ? SkinHitTest(p) : DefaultHitTest(p);
        if (!MouseTimer->Enabled() && Message.Result == HTOBJECT) {
            TrackActiveObject(p.x, p.y, true);
            MouseTimer->SetEnabled(true);
        }
        return true;
    }
    if (FSkinSupport) {
        POINT c{p.x, p.y};
        ScreenToClient(FForm->Handle(), &c);
        if (!MouseIn) {
            MouseIn = true;
            TrackActiveObject(c.x, c.y, true);
            MouseTimer->SetEnabled(true);
        }
        Message.Result = ClientHitTest(TPoint(c.x, c.y));
        return true;
    }
    return false;
}

void TspFormSkinner::HandleNCActivate(TMessage& Message)
{
    FBorderLayerChangeSize = false;
    FFormActive = Message.WParam != 0;
    if (!FFormActive)
        TrackActiveObject(-1, -1, false);
    Message.Result = 1;  // the platform never draws its own frame
    if (FForm->BorderStyle() == bsNone) {
        UpdateActiveState(false);
    } else {
        if (FForm->HandleAllocated())
            SendMessage(FForm->Handle(), WM_NCPAINT, 0, 0);
        UpdateActiveState(true);
    }
    if (ClientInActiveEffect && FForm->Visible()) {
        if (FFormActive)
            HideClientInActiveEffect();
        else
            ShowClientInActiveEffect();
    }
}

void TspFormSkinner::HandleSize(TMessage& Message, bool& CallOld)
{
    const bool nc = FSupportNCArea;
    if (FSizeMove && FFullDrag) {
        if (nc && !FLogoBitMap->Empty())
            FForm->Repaint();
        return;
    }
    CallOld = false;
    if (OldWindowProc)
        OldWindowProc(Message);
    FFormWidth = FormWidth();
    FFormHeight = FormHeight();
    HMagnetized = VMagnetized = HMagnetized2 = VMagnetized2 = false;
    if (FSkinSupport && nc) {
        if (FSkinnableForm && FFormWidth >= GetMinWidth() && FFormHeight >= GetMinHeight())
            UpdateSkinFrame(true);
    } else if (FSkinSupport && !nc) {
        if (!FRollUpState && FSD->FPicture &&
            (SkinHasFramePoints() || (FForm->ClientWidth() == FSD->FPicture->Width() &&
                                      FForm->ClientHeight() == FSD->FPicture->Height())))
            UpdateSkinFrame(SkinHasFramePoints());
    } else if (nc) {
        if (FForm->HandleAllocated())
            SendMessage(FForm->Handle(), WM_NCPAINT, 0, 0);
        UpdateWindowRegion(true);
    }
    if (nc && !FLogoBitMap->Empty() && FForm->FormStyle() != fsMDIForm)
        FForm->Repaint();
}

void TspFormSkinner::HandleSizing(TMessage& Message, bool& CallOld)
{
    if (!(FSizeMove && FFullDrag))
        return;
    FSizing = true;
    FBorderLayerChangeSize = false;
    HMagnetized = VMagnetized = HMagnetized2 = VMagnetized2 = false;
    CallOld = false;
    if (OldWindowProc)
        OldWindowProc(Message);
    const auto* r = reinterpret_cast<const RECT*>(Message.LParam);
    const int w = std::max(static_cast<int>(r->right - r->left), GetMinWidth());
    const int h = std::max(static_cast<int>(r->bottom - r->top), GetMinHeight());
    const bool sizeChanged = w != FFormWidth || h != FFormHeight;
    FFormWidth = w;
    FFormHeight = h;
    if (!FSD || (FSD->Empty && FSkinnableForm && FSupportNCArea)) {
        UpdateWindowRegion(true);
    } else if (FSkinnableForm && FSupportNCArea && sizeChanged) {
        UpdateSkinFrame(true);
    }
    FOldFormLeft = FFormLeft;
    FOldFormTop = FFormTop;
}

void TspFormSkinner::HandleSkinChange(TMessage& Message)
{
    auto* data = reinterpret_cast<TspSkinData*>(Message.WParam);
    if (Message.Msg == WM_SKINBEFORECHANGE) {
        if (data && data == FSD) {
            const TRect b = FForm->BoundsRect();
            FOldFormBounds = TRect(b.left, b.top, b.Width(), b.Height());
            FOldFullBorder = 0;
            FStopPainting = true;
            FSkinSupport = false;
            StopTimers();
            ClearObjects();
        }
        BeforeChangeSkinDataWalk(data, FForm);
        return;
    }
    FStopPainting = false;
    if (data && data == FSD)
        ApplySkin();
    ChangeSkinDataWalk(data, FForm);
}

void TspFormSkinner::AfterOldProc(TMessage& Message)
{
    const bool ncMode = FSupportNCArea && FSkinnableForm;
    auto nc = [&]() {
        TPoint p = PointOf(Message.LParam);
        ScreenToWindowPoint(p);
        return p;
    };
    auto client = [&]() { return PointOf(Message.LParam); };
    switch (Message.Msg) {
    case WM_NCMOUSEMOVE:
        if (ncMode) {
            const TPoint p = nc();
            ObjectsMouseMove(p.x, p.y);
        }
        break;
    case WM_NCLBUTTONDOWN:
        if (!ncMode)
            break;
        if (FSizeMove) {
            FSizeMove = false;
        } else {
            const TPoint p = nc();
            TrackActiveObject(p.x, p.y, true);
            ObjectsMouseDown(mbLeft, p.x, p.y);
            if (Message.WParam == HTCAPTION)
                MouseCaptureObject = -1;
        }
        break;
    case WM_NCLBUTTONUP:
        if (ncMode) {
            const TPoint p = nc();
            try {
                ObjectsMouseUp(mbLeft, p.x, p.y);
            } catch (const Exception&) {
                // an object's failure must not leave the handler
            }
        }
        break;
    case WM_NCLBUTTONDBLCLK:
        if (!ncMode)
            break;
        {
            const TPoint p = nc();
            TrackActiveObject(p.x, p.y, true);
            ObjectsMouseDown(mbLeft, p.x, p.y);
            ObjectsDblClick();
            if (Message.WParam == HTCAPTION) {
                if (Sizeable && FWindowStateInit == wsMinimized)
                    SetWindowState(wsNormal);
                else if (Sizeable && FWindowStateInit != wsMaximized && !FRollUpState &&
                         FBorderIcons.Contains(spforms::biMaximize))
                    SetWindowState(wsMaximized);
                else if (Sizeable && FWindowStateInit == wsMaximized && !MaxRollUpState)
                    SetWindowState(wsNormal);
                else
                    SetRollUpState(!FRollUpState);
                MouseCaptureObject = -1;
            }
        }
        break;
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONDBLCLK:
        if (ncMode) {
            const TPoint p = nc();
            TrackActiveObject(p.x, p.y, true);
            ObjectsMouseDown(mbRight, p.x, p.y);
            if (Message.WParam == HTCAPTION) {
                MouseCaptureObject = -1;
                if (!DisableSystemMenu && Message.Msg == WM_NCRBUTTONDOWN)
                    PopupSystemMenu(TPoint(static_cast<short>(LOWORD(Message.LParam)),
                                           static_cast<short>(HIWORD(Message.LParam))));
            }
        }
        break;
    case WM_NCRBUTTONUP:
        if (ncMode) {
            const TPoint p = nc();
            ObjectsMouseUp(mbRight, p.x, p.y);
        }
        break;
    case WM_MOUSEMOVE:
        if (!FSupportNCArea) {
            const TPoint p = client();
            ObjectsMouseMove(p.x, p.y);
            if (FIsDragging) {
                POINT c;
                GetCursorPos(&c);
                if (c.x != FOldX || c.y != FOldY) {
                    int x = FForm->Left() + c.x - FOldX, y = FForm->Top() + c.y - FOldY;
                    if (Magnetic)
                        MagneticSnap(x, y, FormWidth(), FormHeight());
                    FForm->SetBounds(x, y, FormWidth(), FormHeight());
                    FOldX = c.x;
                    FOldY = c.y;
                }
            }
        }
        break;
    case WM_LBUTTONDOWN:
        if (!FSupportNCArea) {
            POINT c;
            GetCursorPos(&c);
            FOnMouseDownCoord = TPoint(c.x, c.y);
            const TPoint p = client();
            ObjectsMouseDown(mbLeft, p.x, p.y);
        }
        break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: {
        const TMouseButton b = Message.Msg == WM_LBUTTONUP ? mbLeft : mbRight;
        try {
            if (!FSupportNCArea) {
                const TPoint p = client();
                ObjectsMouseUp(b, p.x, p.y);
            } else {
                ObjectsMouseUp(b, -1, -1);
            }
        } catch (const Exception&) {
        }
        break;
    }
    case WM_LBUTTONDBLCLK:
        if (!FSupportNCArea) {
            const TPoint p = client();
            ObjectsMouseDown(mbLeft, p.x, p.y);
            ObjectsDblClick();
            DoCaptionDblClick();
        }
        break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        if (!FSupportNCArea) {
            const TPoint p = client();
            ObjectsMouseDown(mbRight, p.x, p.y);
        }
        break;
    default:
        break;
    }
}

void TspFormSkinner::UpdateActiveState(bool AUpdateCaption)
{
    const bool active = GetFormActive();
    if (!active)
        for (int i = 0; i < FQuickButtons->Count(); ++i) {
            FQuickButtons->Items(i)->Active = false;
            FQuickButtons->Items(i)->Down = false;
        }
    for (auto& o : ObjectList) {
        auto* c = dynamic_cast<TspSkinCaptionObject*>(o.get());
        if (!c)
            continue;
        if (AUpdateCaption && IsRollUpObjectVisible(c->RollUp)) {
            c->Active = active;
            const bool animated = FSD && !FSD->Empty && FSD->EnableSkinEffects && !spforms::Empty(c->AnimateSkinRect);
            if (animated && active != OldActive) {
                c->FIncTime = 25;
                c->CurrentFrame = active ? 1 : (c->InActiveAnimation ? c->FrameCount : 0);
                if (c->CurrentFrame != 0)
                    AnimateTimer->SetEnabled(true);
            }
            if (!FSupportNCArea || !spforms::Empty(c->ActiveSkinRect))
                DrawSkinObject(c);
        } else {
            c->SetMorphKf(active ? 1.0 : 0.0);
        }
    }
    if (active) {
        if (OnActivate)
            OnActivate(this);
    } else if (OnDeActivate) {
        OnDeActivate(this);
    }
    OldActive = active;
}
