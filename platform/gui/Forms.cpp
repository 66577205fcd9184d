#include "platform/gui/Forms.h"

#include "platform/gdi/FontFamilies.h"
#include "platform/gdi/Gdi.h"
#include "platform/gui/ActnList.h"
#include "platform/gui/HintWindow.h"
#include "platform/gui/Menus.h"
#include "platform/user/MdiClient.h"
#include "platform/classes/FormReader.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstdio>
#include <set>

TScreen* Screen = new TScreen(nullptr);
TApplication* Application = new TApplication(nullptr);

// ---- Scrolling controls -----------------------------------------------------------

void TControlScrollBar::SetRange(int v)
{
    FRange = std::max(0, v);
    if (FControl)
        SetPosition(FPosition);
}

void TControlScrollBar::SetPosition(int v)
{
    int extent = 0;
    if (FControl) {
        TRect r = FControl->ClientRect();
        extent = FHorizontal ? r.right - r.left : r.bottom - r.top;
    }
    v = std::clamp(v, 0, MaxPosition(extent));
    if (v == FPosition)
        return;
    int delta = FPosition - v;
    FPosition = v;
    if (FControl)
        FControl->ScrollBy(FHorizontal ? delta : 0, FHorizontal ? 0 : delta);
}

TScrollingWinControl::TScrollingWinControl(TComponent* AOwner) : TWinControl(AOwner)
{
    FHorz.FControl = this;
    FHorz.FHorizontal = true;
    FVert.FControl = this;
}

void TScrollingWinControl::SetAutoScroll(bool v)
{
    if (v == FAutoScroll)
        return;
    FAutoScroll = v;
    if (v)
        UpdateScrollRange();
}

void TScrollingWinControl::ScrollInView(TControl* AControl)
{
    if (!AControl || !ContainsControl(AControl) || AControl == this)
        return;
    TPoint o = AControl->ClientToScreen(TPoint(0, 0));
    TPoint p = ScreenToClient(o);
    TRect client = ClientRect();
    int dx = 0, dy = 0;
    if (p.x < 0) dx = -p.x;
    else if (p.x + AControl->Width() > client.right) dx = client.right - (p.x + AControl->Width());
    if (p.y < 0) dy = -p.y;
    else if (p.y + AControl->Height() > client.bottom) dy = client.bottom - (p.y + AControl->Height());
    if (dx)
        FHorz.SetPosition(FHorz.Position() - dx);
    if (dy)
        FVert.SetPosition(FVert.Position() - dy);
}

void TScrollingWinControl::UpdateScrollRange()
{
    if (!FAutoScroll || FUpdatingRange)
        return;
    FUpdatingRange = true;
    int w = 0, h = 0;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (!c->Visible() || c->Align() != alNone)
            continue;
        w = std::max(w, c->Left() + c->Width() + FHorz.Position());
        h = std::max(h, c->Top() + c->Height() + FVert.Position());
    }
    FHorz.FRange = w;
    FVert.FRange = h;
    FUpdatingRange = false;
}

void TScrollingWinControl::AlignControls(TControl* AControl, TRect& Rect)
{
    TWinControl::AlignControls(AControl, Rect);
    UpdateScrollRange();
}

TScrollBox::TScrollBox(TComponent* AOwner) : TScrollingWinControl(AOwner)
{
    FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    FWidth = 185;
    FHeight = 41;
    FColor = clBtnFace;
    FParentColor = true;
}

void TScrollBox::SetBorderStyle(TBorderStyle v)
{
    if (v == FBorderStyle)
        return;
    FBorderStyle = v;
    RecreateWnd();
}

void TScrollBox::CreateParams(TCreateParams& Params)
{
    TScrollingWinControl::CreateParams(Params);
    if (FBorderStyle == bsSingle)
        Params.ExStyle |= WS_EX_CLIENTEDGE;
}

// ---- TCustomForm -----------------------------------------------------------------------

TCustomForm::TCustomForm(TComponent* AOwner) : TScrollingWinControl(AOwner)
{
    FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    FVisible = false;
    FParentFont = false;
    FParentColor = false;
    FParentShowHint = false;
    FColor = clBtnFace;
    FLeft = 0;
    FTop = 0;
    FWidth = 320;
    FHeight = 240;
    SetAutoScroll(false);
    Screen->AddForm(this);
}

TCustomForm::~TCustomForm()
{
    Destroying();
    DoDestroy();
    if (FModalResult == mrNone && FFormState.Contains(fsModal))
        FModalResult = mrCancel;
    // The window goes while the form is whole: its messages still reach it.
    if (FFormStyle == fsMDIChild && FHandle)
        MDIChildLeaving(GetParent(FHandle), FHandle, false);
    DestroyHandle();
    Screen->RemoveForm(this);
    if (Application)
        Application->FormDestroyed(this);
}

void TCustomForm::AfterConstruction()
{
    if (FCreated)
        return;
    FCreated = true;
    DoCreate();
    if (FShowWhenCreated) {
        FShowWhenCreated = false;
        SetVisible(true);
    }
}

void TCustomForm::DoCreate()
{
    if (OnCreate)
        OnCreate(this);
}

void TCustomForm::DoDestroy()
{
    if (OnDestroy)
        OnDestroy(this);
}

void TCustomForm::DoShow()
{
    if (OnShow)
        OnShow(this);
}

void TCustomForm::DoHide()
{
    if (OnHide)
        OnHide(this);
}

void TCustomForm::DoClose(TCloseAction& Action)
{
    if (OnClose)
        OnClose(this, Action);
}

void TCustomForm::Activate()
{
    if (OnActivate)
        OnActivate(this);
}

void TCustomForm::Deactivate()
{
    if (OnDeactivate)
        OnDeactivate(this);
}

void TCustomForm::Paint()
{
    if (OnPaint)
        OnPaint(this);
}

void TCustomForm::PaintWindow(HDC DC)
{
    TCanvasDCBinding binding(FCanvas, DC, &FFont, FColor);
    Paint();
}

void TCustomForm::CreateParams(TCreateParams& Params)
{
    TScrollingWinControl::CreateParams(Params);
    if (FParent)
        return;
    Params.Style &= ~(WS_CHILD | WS_GROUP | WS_TABSTOP | WS_VISIBLE | WS_CLIPSIBLINGS);
    Params.ExStyle &= ~WS_EX_CONTROLPARENT;
    Params.Style |= WS_CLIPCHILDREN;
    bool main = Application && Application->MainForm() == this;
    Params.WndParent = (main && Application->MainFormOnTaskBar()) ? nullptr : (Application ? Application->Handle() : nullptr);
    if (main && Application->MainFormOnTaskBar())
        Params.ExStyle |= WS_EX_APPWINDOW;
    bool icons = false;
    switch (FBorderStyle) {
    case bsNone:
        Params.Style |= WS_POPUP;
        break;
    case bsSingle:
        Params.Style |= WS_CAPTION | WS_BORDER;
        icons = true;
        break;
    case bsSizeable:
        Params.Style |= WS_CAPTION | WS_THICKFRAME;
        icons = true;
        break;
    case bsDialog:
        Params.Style |= WS_POPUP | WS_CAPTION;
        Params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
        break;
    case bsToolWindow:
        Params.Style |= WS_CAPTION;
        Params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    case bsSizeToolWin:
        Params.Style |= WS_CAPTION | WS_THICKFRAME;
        Params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    }
    if (FBorderStyle != bsNone && FBorderIcons.Contains(biSystemMenu)) {
        Params.Style |= WS_SYSMENU;
        if (icons) {
            if (FBorderIcons.Contains(biMinimize)) Params.Style |= WS_MINIMIZEBOX;
            if (FBorderIcons.Contains(biMaximize)) Params.Style |= WS_MAXIMIZEBOX;
        }
        if (FBorderStyle == bsDialog && FBorderIcons.Contains(biHelp))
            Params.ExStyle |= WS_EX_CONTEXTHELP;
    }
    if (FFormStyle == fsStayOnTop)
        Params.ExStyle |= WS_EX_TOPMOST;
    if (FWindowState == wsMaximized)
        Params.Style |= WS_MAXIMIZE;
    if (FFormStyle == fsMDIChild)
        MDIChildParams(Params);
}

void TCustomForm::CreateWnd()
{
    TScrollingWinControl::CreateWnd();
    CreateMDIClient();
    if (FActiveControl && !FActiveControl->HandleAllocated())
        FActiveControl->HandleNeeded();
}

void TCustomForm::SetBorderStyle(TFormBorderStyle v)
{
    if (v == FBorderStyle)
        return;
    FBorderStyle = v;
    RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons v)
{
    if (v == FBorderIcons)
        return;
    FBorderIcons = v;
    RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle v)
{
    if (v == FFormStyle)
        return;
    TFormStyle old = FFormStyle;
    FFormStyle = v;
    if (HandleAllocated() && (old == fsStayOnTop || v == fsStayOnTop) && old != fsMDIChild && v != fsMDIChild &&
        old != fsMDIForm && v != fsMDIForm)
        SetWindowPos(FHandle, v == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    else
        RecreateWnd();
}

TWindowState TCustomForm::WindowState() const
{
    if (FHandle) {
        if (IsIconic(FHandle))
            return wsMinimized;
        if (IsZoomed(FHandle))
            return wsMaximized;
        return FShowing ? wsNormal : FWindowState;
    }
    return FWindowState;
}

void TCustomForm::SetWindowState(TWindowState v)
{
    FWindowState = v;
    if (FHandle && FShowing)
        ShowWindow(FHandle, v == wsMinimized ? SW_MINIMIZE : v == wsMaximized ? SW_MAXIMIZE : SW_RESTORE);
}

void TCustomForm::SetMenu(TMainMenu* v)
{
    if (FMenu)
        FMenu->RemoveFreeNotification(this);
    FMenu = v;
    if (v)
        v->FreeNotification(this);
}

void TCustomForm::SetVisible(bool v)
{
    // Reading makes no window: a form described as visible appears once
    // it is whole (AfterConstruction).
    if (ComponentState().Contains(csLoading)) {
        FShowWhenCreated = v;
        return;
    }
    if (v)
        CheckMDIMainForm();
    if (v && !FCreated)
        AfterConstruction();
    TScrollingWinControl::SetVisible(v);
}

void TCustomForm::Show()
{
    SetVisible(true);
    if (FHandle && FFormStyle == fsMDIChild)
        MDIChildShown(true);
    else if (FHandle)
        SetWindowPos(FHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void TCustomForm::SetFocus()
{
    if (!FShowing || !FEnabled)
        throw EInvalidOperation("Cannot focus a disabled or invisible window");
    if (!FActive) {
        SetActiveWindow(Handle());
        return;
    }
    SetWindowFocus();
}

void TCustomForm::SetWindowFocus()
{
    // The frame of MDI children gives the focus to the active child.
    if (FFormStyle == fsMDIForm)
        if (TCustomForm* child = ActiveMDIChild()) {
            child->SetWindowFocus();
            return;
        }
    if (FActiveControl && FActiveControl->HandleAllocated() && FActiveControl->CanFocus())
        ::SetFocus(FActiveControl->Handle());
    else if (FHandle)
        ::SetFocus(FHandle);
}

void TCustomForm::PlaceOnShow()
{
    if (FPlaced)
        return;
    FPlaced = true;
    TRect area;
    switch (FPosition) {
    case poScreenCenter:
    case poDesktopCenter:
        area = Screen->WorkAreaRect();
        break;
    case poMainFormCenter:
    case poOwnerFormCenter: {
        TCustomForm* other = FPosition == poMainFormCenter ? Application->MainForm() : dynamic_cast<TCustomForm*>(Owner());
        if (other && other != this && other->HandleAllocated())
            area = other->BoundsRect();
        else
            area = Screen->WorkAreaRect();
        break;
    }
    default:
        return;
    }
    int l = area.left + (area.right - area.left - FWidth) / 2;
    int t = area.top + (area.bottom - area.top - FHeight) / 2;
    SetBounds(l, t, FWidth, FHeight);
}

void TCustomForm::UpdateShowing()
{
    TScrollingWinControl::UpdateShowing();
}

void TCustomForm::CMShowingChanged()
{
    if (!FHandle)
        return;
    if (FShowing) {
        DoShow();
        PlaceOnShow();
        int cmd = FWindowState == wsMaximized ? SW_SHOWMAXIMIZED : FWindowState == wsMinimized ? SW_SHOWMINIMIZED : SW_SHOWNORMAL;
        FFormState.Include(fsShowing);
        ShowWindow(FHandle, cmd);
        FFormState.Exclude(fsShowing);
        MDIChildShown(true);
    } else {
        DoHide();
        ShowWindow(FHandle, SW_HIDE);
        MDIChildShown(false);
        FActive = false;
        if (Screen->ActiveCustomForm() == this)
            Screen->SetActiveCustomForm(nullptr);
    }
}

bool TCustomForm::CloseQuery()
{
    bool canClose = true;
    if (OnCloseQuery)
        OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::Close()
{
    if (FFormState.Contains(fsModal)) {
        FModalResult = mrCancel;
        return;
    }
    if (!CloseQuery())
        return;
    TCloseAction action = FFormStyle == fsMDIChild ? caMinimize : caHide;
    DoClose(action);
    if (action == caNone)
        return;
    if (Application->MainForm() == this) {
        Application->Terminate();
        Hide();
        return;
    }
    switch (action) {
    case caHide: Hide(); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    case caFree: Release(); break;
    default: break;
    }
}

void TCustomForm::Release()
{
    PostMessage(Handle(), CM_RELEASE, 0, 0);
}

TModalResult TCustomForm::ShowModal()
{
    if (FVisible || !FEnabled || FFormState.Contains(fsModal) || FFormStyle == fsMDIChild)
        throw EInvalidOperation("Cannot make a visible window modal");
    if (GetCapture())
        SendMessage(GetCapture(), WM_CANCELMODE, 0, 0);
    ReleaseCapture();
    FFormState.Include(fsModal);
    HWND previous = GetActiveWindow();
    // Every other enabled top-level window of the program waits meanwhile.
    std::vector<HWND> disabled;
    for (int i = 0; i < Screen->CustomFormCount(); ++i) {
        TCustomForm* f = Screen->CustomForms(i);
        if (f != this && f->HandleAllocated() && IsWindowVisible(f->FHandle) && IsWindowEnabled(f->FHandle)) {
            EnableWindow(f->FHandle, 0);
            disabled.push_back(f->FHandle);
        }
    }
    FModalResult = mrNone;
    auto restore = [&] {
        for (HWND h : disabled)
            if (IsWindow(h))
                EnableWindow(h, 1);
        FFormState.Exclude(fsModal);
    };
    try {
        Show();
        SetActiveWindow(FHandle);
        do {
            Application->HandleMessage();
            if (Application->Terminated())
                FModalResult = mrCancel;
            if (FModalResult != mrNone) {
                // Closing may be refused: the loop goes on.
                TCloseAction action = caNone;
                if (CloseQuery()) {
                    action = caHide;
                    DoClose(action);
                }
                if (action == caNone && !Application->Terminated())
                    FModalResult = mrNone;
                else if (action == caFree)
                    Release();
            }
        } while (FModalResult == mrNone);
        TModalResult result = FModalResult;
        restore();
        Hide();
        if (previous && IsWindow(previous))
            SetActiveWindow(previous);
        return result;
    } catch (...) {
        restore();
        throw;
    }
}

void TCustomForm::SetActiveControl(TWinControl* v)
{
    if (v == FActiveControl)
        return;
    if (v && (!ContainsControl(v) || v == this))
        throw EInvalidOperation("Invalid control for the active control of " + Name());
    if (v && FShowing && !v->CanFocus())
        throw EInvalidOperation("Cannot focus a disabled or invisible window");
    FActiveControl = v;
    if (FActive && v && FHandle)
        ::SetFocus(v->Handle());
}

void TCustomForm::FocusControl(TWinControl* Control)
{
    bool wasActive = FActive;
    SetActiveControl(Control);
    if (!wasActive && FShowing)
        SetFocus();
}

void TCustomForm::DefocusControl(TWinControl* Control, bool Removing)
{
    (void)Removing;
    // A control that goes, hides or is disabled cannot stay the active one.
    if (FActiveControl && Control->ContainsControl(FActiveControl))
        FActiveControl = nullptr;
    if (FFocusedControl && Control->ContainsControl(FFocusedControl)) {
        FFocusedControl = nullptr;
        if (Screen->ActiveControl() && Control->ContainsControl(Screen->ActiveControl()))
            Screen->SetActiveControl(nullptr);
        if (FHandle && !ComponentState().Contains(csDestroying) && Control->HandleAllocated() &&
            (GetFocus() == Control->Handle() || IsChild(Control->Handle(), GetFocus())))
            ::SetFocus(FHandle);
    }
}

void TCustomForm::SendCancelMode(TControl* Sender)
{
    if (FActiveControl)
        FActiveControl->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(Sender));
}

bool TCustomForm::SetFocusedControl(TWinControl* Control)
{
    if (ComponentState().Contains(csDestroying))
        return false;
    TWinControl* old = FFocusedControl;
    if (Control != this)
        FActiveControl = Control;
    FFocusedControl = Control;
    Screen->SetActiveControl(Control);
    if (old == Control)
        return true;
    // Leaving: the old control and its parents that do not hold the new one.
    for (TWinControl* c = old; c && c != this && !c->ContainsControl(Control); c = c->Parent())
        c->Perform(CM_EXIT, 0, 0);
    // Entering: from the outermost new parent down to the control.
    std::vector<TWinControl*> entering;
    for (TWinControl* c = Control; c && c != this && !(old && c->ContainsControl(old)); c = c->Parent())
        entering.push_back(c);
    for (auto it = entering.rbegin(); it != entering.rend(); ++it)
        (*it)->Perform(CM_ENTER, 0, 0);
    Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Control));
    return FFocusedControl == Control;
}

bool TCustomForm::IsShortCut(TMessage& Message)
{
    bool handled = false;
    if (OnShortCut)
        OnShortCut(Message, handled);
    if (handled)
        return true;
    if (FMenu && FMenu->IsShortCut(Message))
        return true;
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* list = dynamic_cast<TCustomActionList*>(Components(i)))
            if (list->IsShortCut(Message))
                return true;
    return false;
}

void TCustomForm::WMActivate(TMessage& Message)
{
    if (LOWORD(Message.WParam) != WA_INACTIVE) {
        FActive = true;
        FFormState.Include(fsActivated);
        Screen->SetActiveCustomForm(this);
        Perform(CM_ACTIVATE, 0, 0);
        if (IsWindowEnabled(FHandle) && !IsIconic(FHandle))
            SetWindowFocus();
    } else {
        FActive = false;
        Perform(CM_DEACTIVATE, 0, 0);
    }
    Message.Result = 0;
}

namespace {

void NotifyFontChange(TWinControl* Parent, TMessage& Message)
{
    for (int i = 0; i < Parent->ControlCount(); ++i)
        if (auto* w = dynamic_cast<TWinControl*>(Parent->Controls(i))) {
            w->Perform(WM_FONTCHANGE, Message.WParam, Message.LParam);
            NotifyFontChange(w, Message);
        }
}

}  // namespace

void TCustomForm::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_ACTIVATE:
        WMActivate(Message);
        return;
    case WM_MDIACTIVATE:
        if (FFormStyle == fsMDIChild) {
            WMMDIActivate(Message);
            return;
        }
        break;
    case WM_ACTIVATEAPP:
        Application->AppActivated(Message.WParam != 0);
        DefaultHandler(Message);
        return;
    case WM_FONTCHANGE:
        // Every control of the form hears of fonts installed or removed.
        NotifyFontChange(this, Message);
        DefaultHandler(Message);
        return;
    case CM_ACTIVATE:
        Activate();
        return;
    case CM_DEACTIVATE:
        Deactivate();
        return;
    case CM_SHOWINGCHANGED:
        CMShowingChanged();
        return;
    case WM_CLOSE:
        Close();
        Message.Result = 0;
        return;
    case CM_RELEASE:
        Free();
        return;
    case WM_SYSCOMMAND:
        if ((Message.WParam & 0xFFF0) == SC_MINIMIZE && Application->MainForm() == this &&
            !Application->MainFormOnTaskBar()) {
            Application->Minimize();
            Message.Result = 0;
            return;
        }
        break;
    case CM_DIALOGKEY:
        if (GetKeyState(VK_MENU) >= 0) {
            switch (Message.WParam) {
            case VK_TAB:
                if (GetKeyState(VK_CONTROL) >= 0) {
                    SelectNext(FActiveControl, GetKeyState(VK_SHIFT) >= 0, true);
                    Message.Result = 1;
                    return;
                }
                break;
            case VK_LEFT:
            case VK_RIGHT:
            case VK_UP:
            case VK_DOWN:
                if (FActiveControl && FActiveControl->Parent()) {
                    FActiveControl->Parent()->SelectNext(FActiveControl,
                                                         Message.WParam == VK_RIGHT || Message.WParam == VK_DOWN, false);
                    Message.Result = 1;
                    return;
                }
                break;
            default:
                break;
            }
        }
        break;
    case WM_COMMAND:
        if (FMenu && HIWORD(Message.WParam) == 0 && Message.LParam == 0 && FMenu->DispatchCommand(LOWORD(Message.WParam))) {
            Message.Result = 0;
            return;
        }
        break;
    default:
        break;
    }
    TScrollingWinControl::WndProc(Message);
}

// ---- TApplication ---------------------------------------------------------------------

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner), FHintWindowClass(&THintWindow::Make) {}

TApplication::~TApplication()
{
    RunDeferredFrees();
    if (FHandle && IsWindow(FHandle))
        DestroyWindow(FHandle);
    if (FObjectInstance)
        FreeObjectInstance(FObjectInstance);
}

HWND TApplication::Handle()
{
    if (FHandle && IsWindow(FHandle))
        return FHandle;
    static const char* kClass = "TApplication";
    WNDCLASS wc;
    if (!GetClassInfo(HInstance(), kClass, &wc)) {
        WNDCLASS n{};
        n.lpfnWndProc = &DefWindowProc;
        n.hInstance = HInstance();
        n.lpszClassName = kClass;
        n.hCursor = LoadCursor(nullptr, IDC_ARROW);
        RegisterClass(&n);
    }
    FHandle = CreateWindowEx(0, kClass, FTitle.c_str(), WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                             0, 0, 0, 0, nullptr, nullptr, HInstance(), nullptr);
    if (!FObjectInstance)
        FObjectInstance = MakeObjectInstance(MakeEvent(this, &TApplication::WndProc));
    if (FHandle)
        SetWindowLongPtr(FHandle, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(FObjectInstance));
    TaskbarCreatedMessage();
    return FHandle;
}

UINT TApplication::TaskbarCreatedMessage()
{
    if (!FTaskbarCreated)
        FTaskbarCreated = RegisterWindowMessage("TaskbarCreated");
    return FTaskbarCreated;
}

void TApplication::SetTitle(const std::string& v)
{
    FTitle = v;
    if (FHandle && IsWindow(FHandle))
        SetWindowText(FHandle, v.c_str());
}

void TApplication::WndProc(TMessage& Message)
{
    try {
        switch (Message.Msg) {
        case WM_TIMER:
            if (Message.WParam == 1) {
                StopHintTimer(1);
                POINT p;
                GetCursorPos(&p);
                ActivateHint(TPoint(p.x, p.y));
            } else if (Message.WParam == 2) {
                CancelHint();
            }
            return;
        case WM_SYSCOMMAND:
            switch (Message.WParam & 0xFFF0) {
            case SC_MINIMIZE:
                Minimize();
                return;
            case SC_RESTORE:
                Restore();
                return;
            default:
                break;
            }
            break;
        case WM_CLOSE:
            if (FMainForm)
                FMainForm->Close();
            return;
        case WM_ACTIVATEAPP:
            AppActivated(Message.WParam != 0);
            break;
        default:
            break;
        }
        Message.Result = DefWindowProc(FHandle, Message.Msg, Message.WParam, Message.LParam);
    } catch (...) {
        HandleException(this);
    }
}

void TApplication::AppActivated(bool Active)
{
    if (Active == FActive)
        return;
    FActive = Active;
    if (Active) {
        // Fonts installed or removed while the program was in the background.
        if (FontSetChanged())
            for (int i = 0; i < Screen->CustomFormCount(); ++i)
                if (TCustomForm* f = Screen->CustomForms(i); f->HandleAllocated())
                    PostMessage(f->Handle(), WM_FONTCHANGE, 0, 0);
        if (OnActivate)
            OnActivate(this);
    } else {
        CancelHint();
        if (OnDeactivate)
            OnDeactivate(this);
    }
}

void TApplication::AddCreatedForm(TCustomForm* Form)
{
    if (!FMainForm)
        FMainForm = Form;
    Form->AfterConstruction();
}

void TApplication::Run()
{
    if (FMainForm && FShowMainForm)
        FMainForm->Show();
    while (!FTerminated)
        HandleMessage();
}

void TApplication::Terminate()
{
    FTerminated = true;
    PostQuitMessage(0);
}

bool TApplication::IsKeyMsg(MSG& Msg)
{
    if (Msg.message < WM_KEYFIRST || Msg.message > WM_KEYLAST)
        return false;
    HWND wnd = GetCapture();
    if (!wnd)
        wnd = Msg.hwnd;
    // Keys of a foreign child window go to the nearest control of ours.
    while (wnd && !FindControl(wnd))
        wnd = GetParent(wnd);
    if (!wnd)
        return false;
    return SendMessage(wnd, CN_BASE + Msg.message, Msg.wParam, Msg.lParam) != 0;
}

bool TApplication::IsHintMsg(MSG& Msg)
{
    if (FHintWindow && FHintWindow->Active() && FHintWindow->IsHintMsg(Msg))
        CancelHint();
    return false;
}

bool TApplication::ProcessMessage(MSG& Msg)
{
    if (!PeekMessage(&Msg, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (Msg.message == WM_QUIT) {
        FTerminated = true;
        return true;
    }
    try {
        bool handled = false;
        if (OnMessage)
            OnMessage(Msg, handled);
        if (!handled && !IsHintMsg(Msg) && !IsKeyMsg(Msg)) {
            TranslateMessage(&Msg);
            ++FDispatchDepth;
            try {
                DispatchMessage(&Msg);
            } catch (...) {
                --FDispatchDepth;
                throw;
            }
            --FDispatchDepth;
        }
        if ((Msg.message >= WM_MOUSEFIRST && Msg.message <= WM_MOUSELAST) ||
            (Msg.message >= WM_NCMOUSEMOVE && Msg.message <= WM_NCMBUTTONDBLCLK)) {
            UpdateMouseOverControl();
            HintMouseMessage(MouseOverControl(), Msg);
        }
    } catch (...) {
        HandleException(this);
    }
    if (FDispatchDepth == 0)
        RunDeferredFrees();
    return true;
}

void TApplication::ProcessMessages()
{
    MSG m;
    while (ProcessMessage(m)) {
    }
}

void TApplication::HandleMessage()
{
    MSG m;
    if (!ProcessMessage(m)) {
        Idle();
        if (!FTerminated)
            WaitMessage();
    }
}

void TApplication::Idle()
{
    UpdateMouseOverControl();
    if (FDispatchDepth == 0)
        RunDeferredFrees();
    if (OnIdleNotify)
        OnIdleNotify(this);
}

void TApplication::DeferFree(TObject* Obj)
{
    if (!Obj)
        return;
    if (std::find(FDeferred.begin(), FDeferred.end(), Obj) == FDeferred.end())
        FDeferred.push_back(Obj);
}

void TApplication::RunDeferredFrees()
{
    while (!FDeferred.empty()) {
        TObject* o = FDeferred.front();
        FDeferred.erase(FDeferred.begin());
        o->Free();
    }
}

void TApplication::Minimize()
{
    if (FMainFormOnTaskBar && FMainForm && FMainForm->HandleAllocated()) {
        ShowWindow(FMainForm->Handle(), SW_MINIMIZE);
    } else {
        // The forms go with the application's window.
        FMinimizedForms.clear();
        for (int i = 0; i < Screen->CustomFormCount(); ++i) {
            TCustomForm* f = Screen->CustomForms(i);
            if (f->HandleAllocated() && IsWindowVisible(f->Handle())) {
                FMinimizedForms.push_back(f->Handle());
                ShowWindow(f->Handle(), SW_HIDE);
            }
        }
        ShowWindow(Handle(), SW_MINIMIZE);
    }
    if (OnMinimize)
        OnMinimize(this);
}

void TApplication::Restore()
{
    if (FMainFormOnTaskBar && FMainForm && FMainForm->HandleAllocated()) {
        if (IsIconic(FMainForm->Handle()))
            ShowWindow(FMainForm->Handle(), SW_RESTORE);
    } else {
        if (IsIconic(Handle()))
            ShowWindow(Handle(), SW_RESTORE);
        ShowWindow(Handle(), SW_HIDE);
        std::vector<HWND> forms;
        forms.swap(FMinimizedForms);
        for (auto it = forms.rbegin(); it != forms.rend(); ++it)
            if (IsWindow(*it))
                ShowWindow(*it, SW_SHOWNA);
        if (FMainForm && FMainForm->HandleAllocated() && IsWindowVisible(FMainForm->Handle()))
            SetActiveWindow(FMainForm->Handle());
    }
    if (OnRestore)
        OnRestore(this);
}

void TApplication::SetShowHint(bool v)
{
    FShowHint = v;
    if (!v)
        CancelHint();
}

void TApplication::StartHintTimer(int Delay, int Id)
{
    SetTimer(Handle(), static_cast<UINT_PTR>(Id), static_cast<UINT>(std::max(0, Delay)), nullptr);
}

void TApplication::StopHintTimer(int Id)
{
    if (FHandle && IsWindow(FHandle))
        KillTimer(FHandle, static_cast<UINT_PTR>(Id));
}

namespace {
TControl* HintSource(TControl* c)
{
    // The nearest control that has something to say.
    for (; c; c = c->Parent())
        if (!c->Hint().empty())
            return c->ShowHint() ? c : nullptr;
    return nullptr;
}

std::string ShortHint(const std::string& hint)
{
    size_t bar = hint.find('|');
    return bar == std::string::npos ? hint : hint.substr(0, bar);
}
}  // namespace

void TApplication::HintMouseMessage(TControl* Control, const MSG& Msg)
{
    if (Msg.message != WM_MOUSEMOVE && Msg.message != WM_NCMOUSEMOVE)
        return;
    TControl* c = FShowHint ? HintSource(Control) : nullptr;
    if (!c) {
        CancelHint();
        return;
    }
    POINT p;
    GetCursorPos(&p);
    if (c != FHintControl) {
        bool wasActive = FHintActive;
        HideHint();
        FHintControl = c;
        StartHintTimer(wasActive ? FHintShortPause : FHintPause, 1);
        return;
    }
    if (FHintActive && (p.x < FHintCursorRect.left || p.x >= FHintCursorRect.right || p.y < FHintCursorRect.top ||
                        p.y >= FHintCursorRect.bottom)) {
        HideHint();
        StartHintTimer(FHintShortPause, 1);
    }
}

void TApplication::ActivateHint(TPoint CursorPos)
{
    TControl* control = FHintControl;
    if (!control)
        return;
    THintInfo info;
    info.HintControl = control;
    info.HintWindowClass = FHintWindowClass ? FHintWindowClass : &THintWindow::Make;
    info.HintPos = TPoint(CursorPos.x, CursorPos.y + 20);
    info.HintMaxWidth = Screen->Width();
    info.HintColor = FHintColor;
    info.CursorRect = control->ClientRect();
    info.CursorPos = control->ScreenToClient(CursorPos);
    info.HideTimeout = FHintHidePause;
    info.HintStr = ShortHint(control->Hint());
    bool canShow = control->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) == 0;
    if (canShow && OnShowHint)
        OnShowHint(info.HintStr, canShow, info);
    if (FHintControl != control)
        return;  // a handler moved the pointer or freed the control
    FHintActive = canShow && !info.HintStr.empty();
    if (!FHintActive) {
        HideHint();
        return;
    }
    // A hint window of another class than asked for is replaced.
    if (FHintWindow && info.HintWindowClass != FHintWindowMadeBy) {
        FHintWindow->Free();
        FHintWindow = nullptr;
    }
    if (!FHintWindow) {
        FHintWindow = info.HintWindowClass(this);
        FHintWindowMadeBy = info.HintWindowClass;
    }
    FHintWindow->SetColor(info.HintColor);
    TRect r = FHintWindow->CalcHintRect(info.HintMaxWidth, info.HintStr, info.HintData);
    r = TRect(info.HintPos.x, info.HintPos.y, info.HintPos.x + r.right - r.left, info.HintPos.y + r.bottom - r.top);
    FHintWindow->ActivateHintData(r, info.HintStr, info.HintData);
    TPoint tl = control->ClientToScreen(TPoint(info.CursorRect.left, info.CursorRect.top));
    FHintCursorRect = TRect(tl.x, tl.y, tl.x + info.CursorRect.right - info.CursorRect.left,
                            tl.y + info.CursorRect.bottom - info.CursorRect.top);
    if (info.HideTimeout > 0)
        StartHintTimer(info.HideTimeout, 2);
    if (info.ReshowTimeout > 0)
        StartHintTimer(info.ReshowTimeout, 1);
}

void TApplication::HideHint()
{
    StopHintTimer(2);
    if (FHintWindow && FHintWindow->Active())
        FHintWindow->ReleaseHandle();
    FHintActive = false;
}

void TApplication::CancelHint()
{
    StopHintTimer(1);
    HideHint();
    FHintControl = nullptr;
}

bool TApplication::IsShortCut(TMessage& Message)
{
    bool handled = false;
    if (OnShortCut)
        OnShortCut(Message, handled);
    return handled;
}

void TApplication::ShowException(Exception* E)
{
    if (OnException) {
        OnException(this, E);
        return;
    }
    std::fprintf(stderr, "%s\n", E ? E->Message().c_str() : "Unknown exception");
}

void TApplication::HandleException(TObject*)
{
    try {
        throw;
    } catch (Exception& e) {
        ShowException(&e);
    } catch (const std::exception& e) {
        Exception wrapped(e.what());
        ShowException(&wrapped);
    } catch (...) {
        Exception unknown("Unknown error");
        ShowException(&unknown);
    }
}

void TApplication::ControlDestroyed(TControl* Control)
{
    if (FHintControl == Control)
        CancelHint();
    if (FHintWindow == Control)
        FHintWindow = nullptr;
}

void TApplication::FormDestroyed(TCustomForm* Form)
{
    if (FMainForm == Form)
        FMainForm = nullptr;
    FDeferred.erase(std::remove(FDeferred.begin(), FDeferred.end(), static_cast<TObject*>(Form)), FDeferred.end());
}

// ---- TScreen ----------------------------------------------------------------------------

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner)
{
    FHintFont.SetName("Tahoma");
    FMenuFont.SetName("Tahoma");
}

TScreen::~TScreen() = default;

void TScreen::AddForm(TCustomForm* Form) { FForms.push_back(Form); }

void TScreen::RemoveForm(TCustomForm* Form)
{
    FForms.erase(std::remove(FForms.begin(), FForms.end(), Form), FForms.end());
    if (FActiveCustomForm == Form)
        SetActiveCustomForm(nullptr);
    if (FActiveControl && GetParentForm(FActiveControl) == Form)
        SetActiveControl(nullptr);
}

void TScreen::SortForms()
{
    // Front to back by the windows' z-order; forms without a window keep
    // their creation order after the others.
    std::vector<HWND> order;
    for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT))
        order.push_back(h);
    auto rank = [&](TCustomForm* f) -> size_t {
        if (!f->HandleAllocated())
            return order.size();
        auto it = std::find(order.begin(), order.end(), f->Handle());
        return it == order.end() ? order.size() : static_cast<size_t>(it - order.begin());
    };
    std::stable_sort(FForms.begin(), FForms.end(), [&](TCustomForm* a, TCustomForm* b) { return rank(a) < rank(b); });
}

int TScreen::CustomFormCount()
{
    SortForms();
    return static_cast<int>(FForms.size());
}

TCustomForm* TScreen::CustomForms(int Index)
{
    SortForms();
    if (Index < 0 || Index >= static_cast<int>(FForms.size()))
        throw EListError("Form index out of bounds (" + std::to_string(Index) + ")");
    return FForms[static_cast<size_t>(Index)];
}

int TScreen::FormCount()
{
    SortForms();
    return static_cast<int>(std::count_if(FForms.begin(), FForms.end(), [](TCustomForm* f) { return Is<TForm>(f); }));
}

TForm* TScreen::Forms(int Index)
{
    SortForms();
    int n = 0;
    for (TCustomForm* f : FForms)
        if (auto* form = dynamic_cast<TForm*>(f)) {
            if (n == Index)
                return form;
            ++n;
        }
    throw EListError("Form index out of bounds (" + std::to_string(Index) + ")");
}

TForm* TScreen::ActiveForm() const { return dynamic_cast<TForm*>(FActiveCustomForm); }

void TScreen::SetActiveCustomForm(TCustomForm* Form)
{
    if (Form == FActiveCustomForm)
        return;
    FActiveCustomForm = Form;
    if (OnActiveFormChange)
        OnActiveFormChange(this);
}

void TScreen::SetActiveControl(TWinControl* Control)
{
    if (Control == FActiveControl)
        return;
    FActiveControl = Control;
    if (OnActiveControlChange)
        OnActiveControlChange(this);
}

void TScreen::ControlDestroyed(TControl* Control)
{
    if (FActiveControl == Control)
        FActiveControl = nullptr;
}

namespace {
const char* StandardCursorName(int index)
{
    switch (index) {
    case crArrow: case crDefault: return IDC_ARROW;
    case crCross: return IDC_CROSS;
    case crIBeam: return IDC_IBEAM;
    case crSizeNESW: return IDC_SIZENESW;
    case crSizeNS: case crVSplit: return IDC_SIZENS;
    case crSizeNWSE: return IDC_SIZENWSE;
    case crSizeWE: case crHSplit: return IDC_SIZEWE;
    case crUpArrow: return IDC_UPARROW;
    case crHourGlass: case crSQLWait: return IDC_WAIT;
    case crNo: case crNoDrop: return IDC_NO;
    case crAppStart: return IDC_APPSTARTING;
    case crHelp: return IDC_HELP;
    case crHandPoint: return IDC_HAND;
    case crSizeAll: return IDC_SIZEALL;
    case crDrag: case crMultiDrag: return IDC_ARROW;
    default: return nullptr;
    }
}
}  // namespace

HCURSOR TScreen::Cursors(int Index) const
{
    for (const auto& [i, h] : FCursorList)
        if (i == Index)
            return h;
    if (Index == crNone)
        return nullptr;
    const char* name = StandardCursorName(Index);
    return LoadCursor(nullptr, name ? name : IDC_ARROW);
}

void TScreen::SetCursors(int Index, HCURSOR Handle)
{
    for (auto it = FCursorList.begin(); it != FCursorList.end(); ++it)
        if (it->first == Index) {
            if (it->second && it->second != Handle && !StandardCursorName(Index))
                DestroyCursor(it->second);
            FCursorList.erase(it);
            break;
        }
    if (Handle)
        FCursorList.emplace_back(Index, Handle);
}

void TScreen::SetCursor(TCursor v)
{
    if (v == FCursor)
        return;
    FCursor = v;
    ::SetCursor(Cursors(v));
}

TStrings* TScreen::Fonts()
{
    if (FFonts)
        return FFonts.get();
    FFonts = std::make_unique<TStringList>();
    std::set<std::string> names;
    FcPattern* pat = FcPatternCreate();
    FcObjectSet* os = FcObjectSetBuild(FC_FAMILY, nullptr);
    if (FcFontSet* fs = FcFontList(nullptr, pat, os)) {
        for (int i = 0; i < fs->nfont; ++i) {
            FcChar8* family = nullptr;
            if (FcPatternGetString(fs->fonts[i], FC_FAMILY, 0, &family) == FcResultMatch && family)
                names.insert(reinterpret_cast<const char*>(family));
        }
        FcFontSetDestroy(fs);
    }
    FcObjectSetDestroy(os);
    FcPatternDestroy(pat);
    for (const std::string& n : names)
        FFonts->Add(n);
    return FFonts.get();
}

namespace {
BOOL CollectMonitor(HMONITOR monitor, HDC, RECT*, LPARAM data)
{
    reinterpret_cast<std::vector<HMONITOR>*>(data)->push_back(monitor);
    return 1;
}
}  // namespace

int TScreen::MonitorCount()
{
    std::vector<HMONITOR> handles;
    EnumDisplayMonitors(nullptr, nullptr, &CollectMonitor, reinterpret_cast<LPARAM>(&handles));
    FMonitors.clear();
    for (size_t i = 0; i < handles.size(); ++i) {
        auto m = std::make_unique<TMonitor>();
        m->Handle = handles[i];
        m->MonitorNum = static_cast<int>(i);
        MONITORINFO info;
        if (GetMonitorInfo(handles[i], &info)) {
            m->BoundsRect = info.rcMonitor;
            m->WorkareaRect = info.rcWork;
            m->Primary = (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
        }
        FMonitors.push_back(std::move(m));
    }
    return static_cast<int>(FMonitors.size());
}

TMonitor* TScreen::Monitors(int Index)
{
    int n = MonitorCount();
    if (Index < 0 || Index >= n)
        throw EListError("Monitor index out of bounds (" + std::to_string(Index) + ")");
    return FMonitors[static_cast<size_t>(Index)].get();
}

TMonitor* TScreen::MonitorFromWindow(HWND Wnd)
{
    HMONITOR h = ::MonitorFromWindow(Wnd, MONITOR_DEFAULTTONEAREST);
    int n = MonitorCount();
    for (int i = 0; i < n; ++i)
        if (FMonitors[static_cast<size_t>(i)]->Handle == h)
            return FMonitors[static_cast<size_t>(i)].get();
    return n > 0 ? FMonitors[0].get() : nullptr;
}

TRect TScreen::WorkAreaRect() const { return ::WorkAreaRect(); }

int TScreen::Width() const { return GetSystemMetrics(SM_CXSCREEN); }

int TScreen::Height() const { return GetSystemMetrics(SM_CYSCREEN); }

// ---- Stored descriptions -------------------------------------------------------------

void TApplication::ReadCreatedForm(TCustomForm* Form, std::string_view Description)
{
    try {
        if (Description.empty())
            ReadFormDescription(Form);
        else
            ReadComponentText(Form, Description);
    } catch (...) {
        Form->Free();
        throw;
    }
}

void TCustomForm::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
    for (int i = 0; i < ComponentCount(); ++i)
        if (!Components(i)->HasParent())
            Proc(Components(i));
    TScrollingWinControl::GetChildren(Proc, Root);
}

void TCustomForm::SetClientWidth(int v)
{
    if (FHandle) {
        TControl::SetClientWidth(v);
        return;
    }
    TCreateParams params;
    CreateParams(params);
    RECT r{0, 0, v, 0};
    AdjustWindowRectEx(&r, params.Style, 0, params.ExStyle);
    SetWidth(r.right - r.left);
}

void TCustomForm::SetClientHeight(int v)
{
    if (FHandle) {
        TControl::SetClientHeight(v);
        return;
    }
    TCreateParams params;
    CreateParams(params);
    RECT r{0, 0, 0, v};
    AdjustWindowRectEx(&r, params.Style, 0, params.ExStyle);
    SetHeight(r.bottom - r.top);
}

void TScrollingWinControl::DeclarePublished(TPublisher<TScrollingWinControl>& P)
{
    P.Property("AutoScroll", &TScrollingWinControl::AutoScroll, &TScrollingWinControl::SetAutoScroll, true);
}

void TScrollBox::DeclarePublished(TPublisher<TScrollBox>& P)
{
    P.Property("BorderStyle", &TScrollBox::BorderStyle, &TScrollBox::SetBorderStyle, bsSingle);
}

void TCustomForm::DeclarePublished(TPublisher<TCustomForm>& P)
{
    P.Property("ActiveControl", &TCustomForm::ActiveControl, &TCustomForm::SetActiveControl);
    P.Property("AutoScroll", &TCustomForm::AutoScroll, &TCustomForm::SetAutoScroll, false);
    P.Property("BorderIcons", &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons,
               TBorderIcons{biSystemMenu, biMinimize, biMaximize});
    P.Property("BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle, bsSizeable);
    P.Property("BorderWidth", &TCustomForm::BorderWidth, &TCustomForm::SetBorderWidth, 0);
    P.Property("Caption", &TCustomForm::Caption, &TCustomForm::SetCaption, "");
    // Read only: the outer size is what is written.
    P.Property("ClientHeight", &TCustomForm::ClientHeight, &TCustomForm::SetClientHeight).NotStored();
    P.Property("ClientWidth", &TCustomForm::ClientWidth, &TCustomForm::SetClientWidth).NotStored();
    P.Property("Color", &TCustomForm::Color, &TCustomForm::SetColor, clBtnFace).WithIdents(&ColorIdents());
    P.Property("FormStyle", &TCustomForm::FormStyle, &TCustomForm::SetFormStyle, fsNormal);
    P.Property("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview, false);
    P.Property("Menu", &TCustomForm::Menu, &TCustomForm::SetMenu);
    P.Property("ParentColor", &TCustomForm::ParentColor, &TCustomForm::SetParentColor, false);
    P.Property("ParentFont", &TCustomForm::ParentFont, &TCustomForm::SetParentFont, false);
    P.Property("ParentShowHint", &TCustomForm::ParentShowHint, &TCustomForm::SetParentShowHint, false);
    P.Property("Position", &TCustomForm::Position, &TCustomForm::SetPosition, poDesigned);
    P.Property("Visible", &TCustomForm::Visible, &TCustomForm::SetVisible, false);
    P.Property("WindowMenu", &TCustomForm::WindowMenu, &TCustomForm::SetWindowMenu);
    P.Property("WindowState", &TCustomForm::WindowState, &TCustomForm::SetWindowState, wsNormal);
    P.Property("OnActivate", &TCustomForm::OnActivate);
    P.Property("OnClose", &TCustomForm::OnClose);
    P.Property("OnCloseQuery", &TCustomForm::OnCloseQuery);
    P.Property("OnCreate", &TCustomForm::OnCreate);
    P.Property("OnDeactivate", &TCustomForm::OnDeactivate);
    P.Property("OnDestroy", &TCustomForm::OnDestroy);
    P.Property("OnHide", &TCustomForm::OnHide);
    P.Property("OnPaint", &TCustomForm::OnPaint);
    P.Property("OnShortCut", &TCustomForm::OnShortCut);
    P.Property("OnShow", &TCustomForm::OnShow);
}
