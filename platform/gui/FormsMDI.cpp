// The MDI side of forms: the main form's client window, child windows in
// it, their activation and the window menu reference.
#include "platform/gui/Forms.h"
#include "platform/gui/Menus.h"
#include "platform/user/MdiClient.h"

TCustomForm* TCustomForm::MDIMainFormFor(const TCustomForm* Child)
{
    TCustomForm* main = Application ? Application->MainForm() : nullptr;
    if (!main || main == Child || main->FFormStyle != fsMDIForm ||
        main->ComponentState().Contains(csDestroying))
        return nullptr;
    return main;
}

void TCustomForm::CheckMDIMainForm() const
{
    if (FFormStyle == fsMDIChild && !ComponentState().Contains(csLoading) && !MDIMainFormFor(this))
        throw EInvalidOperation("Cannot create form. No MDI forms are currently active");
}

void TCustomForm::MDIChildParams(TCreateParams& Params)
{
    CheckMDIMainForm();
    TCustomForm* main = MDIMainFormFor(this);
    main->HandleNeeded();
    if (!main->FClientHandle)
        throw EInvalidOperation("Cannot create form. No MDI forms are currently active");
    // A child window of the client that keeps its own frame.
    Params.Style &= ~(WS_POPUP | WS_VISIBLE);
    Params.Style |= WS_CHILD | WS_CLIPSIBLINGS;
    Params.ExStyle &= ~(WS_EX_APPWINDOW | WS_EX_TOPMOST);
    Params.ExStyle |= WS_EX_MDICHILD;
    Params.WndParent = main->FClientHandle;
}

void TCustomForm::CreateMDIClient()
{
    if (FFormStyle != fsMDIForm || !FHandle)
        return;
    if (FClientHandle && IsWindow(FClientHandle) && GetParent(FClientHandle) == FHandle)
        return;
    TRect r = ClientRect();
    FClientHandle = CreateMDIClientWindow(FHandle, r.left, r.top, r.right - r.left, r.bottom - r.top);
    if (!FClientHandle)
        throw EOutOfResources("Error creating window for MDICLIENT");
    FClientRect = r;
}

void TCustomForm::AlignControls(TControl* AControl, TRect& Rect)
{
    TScrollingWinControl::AlignControls(AControl, Rect);
    // The client takes the area the aligned controls leave, below them in
    // z-order so that they stay visible.
    if (FClientHandle && IsWindow(FClientHandle)) {
        FClientRect = Rect;
        SetWindowPos(FClientHandle, HWND_BOTTOM, Rect.left, Rect.top, std::max(0, Rect.right - Rect.left),
                     std::max(0, Rect.bottom - Rect.top), SWP_NOACTIVATE);
    }
}

std::vector<TCustomForm*> TCustomForm::MDIChildList()
{
    std::vector<TCustomForm*> list;
    if (FFormStyle != fsMDIForm || !FClientHandle)
        return list;
    for (HWND h : MDIChildWindows(FClientHandle, true))
        if (auto* f = dynamic_cast<TCustomForm*>(FindControl(h)))
            if (f->FFormStyle == fsMDIChild && !f->ComponentState().Contains(csDestroying))
                list.push_back(f);
    return list;
}

int TCustomForm::MDIChildCount()
{
    return static_cast<int>(MDIChildList().size());
}

TCustomForm* TCustomForm::MDIChildren(int Index)
{
    std::vector<TCustomForm*> list = MDIChildList();
    if (Index < 0 || Index >= static_cast<int>(list.size()))
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return list[static_cast<size_t>(Index)];
}

TCustomForm* TCustomForm::ActiveMDIChild()
{
    if (FFormStyle != fsMDIForm || !FClientHandle || !IsWindow(FClientHandle))
        return nullptr;
    HWND h = reinterpret_cast<HWND>(SendMessage(FClientHandle, WM_MDIGETACTIVE, 0, 0));
    auto* f = h ? dynamic_cast<TCustomForm*>(FindControl(h)) : nullptr;
    return f && !f->ComponentState().Contains(csDestroying) ? f : nullptr;
}

void TCustomForm::Next()
{
    if (FFormStyle == fsMDIForm && FClientHandle && IsWindow(FClientHandle))
        SendMessage(FClientHandle, WM_MDINEXT, 0, 0);
}

void TCustomForm::SetWindowMenu(TMenuItem* v)
{
    if (v == FWindowMenu)
        return;
    if (FWindowMenu)
        FWindowMenu->RemoveFreeNotification(this);
    FWindowMenu = v;
    if (v)
        v->FreeNotification(this);
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation)
{
    TScrollingWinControl::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FWindowMenu)
        FWindowMenu = nullptr;
    if (AComponent == FMenu)
        FMenu = nullptr;
}

void TCustomForm::WMMDIActivate(TMessage& Message)
{
    HWND h = FHandle;
    if (reinterpret_cast<HWND>(Message.LParam) == h && h) {
        FActive = true;
        FFormState.Include(fsActivated);
        Perform(CM_ACTIVATE, 0, 0);
        // The focus moves in while the frame is the active window.
        if (FHandle && GetActiveWindow() == GetAncestor(FHandle, GA_ROOT) && IsWindowEnabled(FHandle))
            SetWindowFocus();
    } else if (reinterpret_cast<HWND>(Message.WParam) == h && h) {
        FActive = false;
        Perform(CM_DEACTIVATE, 0, 0);
    }
    Message.Result = 0;
}

void TCustomForm::MDIChildShown(bool Shown)
{
    if (FFormStyle != fsMDIChild || !FHandle)
        return;
    HWND client = GetParent(FHandle);
    if (Shown)
        SendMessage(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(FHandle), 0);
    else
        MDIChildLeaving(client, FHandle);
}
