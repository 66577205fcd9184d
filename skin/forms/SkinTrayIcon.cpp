#include "skin/forms/SkinTrayIcon.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/user/Focus.h"
#include "platform/user/Input.h"
#include "platform/user/Window.h"
#include "platform/user/WindowClass.h"
#include "skin/core/SkinMessages.h"
#include "skin/forms/FormSkinner.h"
#include "skin/forms/SkinMenus.h"

#include <algorithm>

namespace {

constexpr UINT kIconId = 1;
constexpr UINT kDefaultFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;

TShiftState TrayShiftState()
{
    TShiftState s;
    if (GetAsyncKeyState(VK_SHIFT) & 0x8000)
        s.Include(ssShift);
    if (GetAsyncKeyState(VK_CONTROL) & 0x8000)
        s.Include(ssCtrl);
    if (GetAsyncKeyState(VK_MENU) & 0x8000)
        s.Include(ssAlt);
    return s;
}

// The application's hidden window stays hidden here while the program
// runs; "restoring" it only takes it out of its minimised state.
void RestoreAppWindow(HWND app)
{
    if (app && IsIconic(app)) {
        ShowWindow(app, SW_RESTORE);
        ShowWindow(app, SW_HIDE);
    }
}

} // namespace

TspTrayIcon::TspTrayIcon(TComponent* AOwner) : TComponent(AOwner), FIcon(std::make_unique<TIcon>())
{
    if (Application)
        Application->TaskbarCreatedMessage();
    FIconData.uID = kIconId;
    FIconData.uFlags = kDefaultFlags;
    FIconData.uCallbackMessage = WM_TRAYICONNOTIFY;
    FHandle = AllocateHWnd(MakeEvent(this, &TspTrayIcon::TrayWndProc));
    FIconData.hWnd = FHandle;
    FWindowHandle = reinterpret_cast<HWND>(GetWindowLongPtr(FHandle, GWL_HWNDPARENT));
    FAnimateTimer = new TTimer(nullptr);
    FAnimateTimer->SetEnabled(false);
    FAnimateTimer->SetInterval(FAnimateInterval);
    FAnimateTimer->SetOnTimer(MakeEvent(this, &TspTrayIcon::AnimateTimerTick));
    FClickTimer = new TTimer(nullptr);
    FClickTimer->SetEnabled(false);
    FClickTimer->SetInterval(GetDoubleClickTime());
    FClickTimer->SetOnTimer(MakeEvent(this, &TspTrayIcon::ClickTimerTick));
    if (!Designing()) {
        if (FIcon->Empty() && UsesApplicationIcon() && Application && !Application->Icon()->Empty())
            FIcon->Assign(Application->Icon());
        HookApplication();
        if (OwnerControl())
            HookOwner();
    }
}

TspTrayIcon::~TspTrayIcon()
{
    FPopupMenu = nullptr;
    FIconList = nullptr;
    HideIcon();
    if (FDesignPreview)
        SetDesignPreview(false);
    delete FAnimateTimer;
    delete FClickTimer;
    if (!Designing()) {
        UnhookApplication();
        UnhookOwner();
    }
    DeallocateHWnd(FHandle);
}

bool TspTrayIcon::Designing() const { return ComponentState().Contains(csDesigning); }

TWinControl* TspTrayIcon::OwnerControl() const { return dynamic_cast<TWinControl*>(Owner()); }

// ---- Hooks ----------------------------------------------------------------

void TspTrayIcon::HookApplication()
{
    if (!Application)
        return;
    FAppWnd = Application->Handle();
    if (!FAppWnd)
        return;
    OldAppProc = reinterpret_cast<WNDPROC>(GetWindowLongPtr(FAppWnd, GWL_WNDPROC));
    NewAppProc = MakeObjectInstance(MakeEvent(this, &TspTrayIcon::AppWndProc));
    SetWindowLongPtr(FAppWnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(NewAppProc));
}

void TspTrayIcon::UnhookApplication()
{
    if (!NewAppProc)
        return;
    if (IsWindow(FAppWnd)) {
        if (reinterpret_cast<WNDPROC>(GetWindowLongPtr(FAppWnd, GWL_WNDPROC)) != NewAppProc)
            return;  // hooked again over us: our procedure must stay callable
        SetWindowLongPtr(FAppWnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(OldAppProc));
    }
    FreeObjectInstance(NewAppProc);
    NewAppProc = nullptr;
}

void TspTrayIcon::HookOwner()
{
    TWinControl* owner = OwnerControl();
    OldWndProc = owner->WindowProc;
    owner->WindowProc = MakeEvent(this, &TspTrayIcon::OwnerWndProc);
    FOwnerHooked = true;
}

void TspTrayIcon::UnhookOwner()
{
    TWinControl* owner = OwnerControl();
    if (!FOwnerHooked || !owner)
        return;
    FOwnerHooked = false;
    // A form being freed is no longer whole: leave it alone.
    if (!owner->ComponentState().Contains(csDestroying) &&
        owner->WindowProc == MakeEvent(this, &TspTrayIcon::OwnerWndProc))
        owner->WindowProc = OldWndProc;
}

void TspTrayIcon::AppWndProc(TMessage& Message)
{
    if (Message.Msg == WM_SIZE && Message.WParam == SIZE_MINIMIZED && MinimizeToTray) {
        DoMinimizeToTray();
    } else if (Message.Msg == WM_WINDOWPOSCHANGED && SettingMDIForm) {
        if (Application && Application->MainForm()) {
            if (Application->MainForm()->FormStyle() == fsMDIForm && MinimizedOnStart)
                ShowWindow(FAppWnd, SW_HIDE);
            SettingMDIForm = false;
        }
    } else if (Application && Message.Msg == Application->TaskbarCreatedMessage() && FIconVisible) {
        ShowIcon();
    }
    Message.Result = CallWindowProc(OldAppProc, FAppWnd, Message.Msg, Message.WParam, Message.LParam);
}

void TspTrayIcon::OwnerWndProc(TMessage& Message)
{
    TWinControl* owner = OwnerControl();
    if (Message.Msg == WM_ACTIVATE && (LOWORD(Message.WParam) == WA_ACTIVE || LOWORD(Message.WParam) == WA_CLICKACTIVE) &&
        Screen && Screen->ActiveControl()) {
        TWinControl* active = Screen->ActiveControl();
        const HWND parent = active->Parent() && active->Parent()->HandleAllocated() ? active->Parent()->Handle()
                                                                                      : active->Handle();
        if (reinterpret_cast<HWND>(Message.LParam) != parent && active->HandleAllocated())
            SetFocus(active->Handle());
    } else if (Message.Msg == WM_SHOWWINDOW && Message.WParam == 1 && Message.LParam == 0) {
        RestoreAppWindow(FAppWnd);
        if (owner->HandleAllocated())
            SetForegroundWindow(owner->Handle());
    }
    if (OldWndProc)
        OldWndProc(Message);
}

// ---- The icon ---------------------------------------------------------------

bool TspTrayIcon::PrepareIconData()
{
    if (Designing() && !FDesignPreview && !SettingPreview)
        return false;
    FIconData.Image = &FIcon->Image();
    if (!FHint.empty() && FShowHint)
        CopyNotifyText(FIconData.szTip, std::size(FIconData.szTip), FHint);
    else
        std::fill(std::begin(FIconData.szTip), std::end(FIconData.szTip), u'\0');
    return true;
}

bool TspTrayIcon::ShowIcon()
{
    if (!SettingPreview)
        FIconVisible = true;
    if (Designing() && !SettingPreview)
        return false;
    if (!PrepareIconData())
        return false;
    // Shown already (always in the tray): bring it up to date instead.
    const DWORD op = FindTrayIcon(FHandle, kIconId) ? NIM_MODIFY : NIM_ADD;
    return Shell_NotifyIconW(op, &FIconData) != FALSE_;
}

bool TspTrayIcon::HideIcon()
{
    if (!SettingPreview)
        FIconVisible = false;
    if (Designing() && !SettingPreview)
        return false;
    return PrepareIconData() && Shell_NotifyIconW(NIM_DELETE, &FIconData) != FALSE_;
}

bool TspTrayIcon::ModifyIcon() { return PrepareIconData() && Shell_NotifyIconW(NIM_MODIFY, &FIconData) != FALSE_; }

void TspTrayIcon::SetIcon(TIcon* Value)
{
    FIcon->Assign(Value);
    ModifyIcon();
}

void TspTrayIcon::SetIconVisible(bool Value)
{
    if (Value)
        ShowIcon();
    else
        HideIcon();
}

void TspTrayIcon::SetHint(const std::string& Value)
{
    FHint = Value;
    ModifyIcon();
}

void TspTrayIcon::SetShowHint(bool Value)
{
    FShowHint = Value;
    ModifyIcon();
}

void TspTrayIcon::SetPopupMenu(TspSkinPopupMenu* Value)
{
    FPopupMenu = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TspTrayIcon::SetIconList(TCustomImageList* Value)
{
    FIconList = Value;
    if (Value)
        Value->FreeNotification(this);
    SetIconIndex(0);
}

void TspTrayIcon::SetIconIndex(int Value)
{
    if (FIconList) {
        const int count = FIconList->Count();
        if (count == 0) {
            FIconIndex = -1;
            FIcon->Assign(nullptr);
        } else {
            FIconIndex = std::clamp(Value, 0, count - 1);
            FIconList->GetIcon(FIconIndex, FIcon.get());
        }
    } else {
        FIconIndex = 0;
    }
    ModifyIcon();
}

void TspTrayIcon::SetCycleIcons(bool Value)
{
    FCycleIcons = Value;
    if (Value)
        SetIconIndex(0);
    FAnimateTimer->SetEnabled(Value);
}

void TspTrayIcon::SetAnimateTimerInterval(unsigned Value)
{
    FAnimateInterval = Value;
    FAnimateTimer->SetInterval(Value);
}

void TspTrayIcon::SetDesignPreview(bool Value)
{
    if (!Designing()) {
        FDesignPreview = Value;
        return;
    }
    SettingPreview = true;
    FDesignPreview = Value;
    if (Value)
        ShowIcon();
    else
        HideIcon();
    SettingPreview = false;
}

void TspTrayIcon::Loaded()
{
    TComponent::Loaded();
    if (OwnerControl() && MinimizedOnStart && !Designing()) {
        FIconVisible = true;
        MinimizeToTray = true;
        if (Application) {
            Application->SetShowMainForm(false);
            ShowWindow(Application->Handle(), SW_HIDE);
        }
    }
    ModifyIcon();
    SetIconVisible(FIconVisible);
}

void TspTrayIcon::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FPopupMenu)
        FPopupMenu = nullptr;
    if (AComponent == FIconList)
        FIconList = nullptr;
}

// ---- Mouse ------------------------------------------------------------------

void TspTrayIcon::TrayWndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_TRAYICONNOTIFY: {
        if (!Enabled)
            break;
        POINT p{};
        GetCursorPos(&p);
        TShiftState shift = TrayShiftState();
        switch (static_cast<UINT>(Message.LParam)) {
        case WM_MOUSEMOVE: MouseMove(shift, p.x, p.y); break;
        case WM_LBUTTONDOWN:
            FClickTimer->SetEnabled(false);
            FClickTimer->SetEnabled(true);
            shift.Include(ssLeft);
            MouseDown(TMouseButton::Left, shift, p.x, p.y);
            FClickStart = true;
            if (PopupByLeftButton)
                PopupAtCursor();
            break;
        case WM_LBUTTONUP:
            if (FClickStart) {
                FClickReady = true;
                if (!FClickTimer->Enabled()) {  // held past the double-click time
                    FClickStart = FClickReady = false;
                    Click();
                }
            }
            FClickStart = false;
            shift.Include(ssLeft);
            MouseUp(TMouseButton::Left, shift, p.x, p.y);
            break;
        case WM_LBUTTONDBLCLK:
            FClickReady = false;
            IsDblClick = true;
            DblClick();
            ClickDefaultItem();
            break;
        case WM_RBUTTONDOWN:
            shift.Include(ssRight);
            MouseDown(TMouseButton::Right, shift, p.x, p.y);
            PopupAtCursor();
            break;
        case WM_RBUTTONUP:
            shift.Include(ssRight);
            MouseUp(TMouseButton::Right, shift, p.x, p.y);
            break;
        case WM_MBUTTONDOWN:
            shift.Include(ssMiddle);
            MouseDown(TMouseButton::Middle, shift, p.x, p.y);
            break;
        case WM_MBUTTONUP:
            shift.Include(ssMiddle);
            MouseUp(TMouseButton::Middle, shift, p.x, p.y);
            break;
        case NIN_BALLOONUSERCLICK:
            if (OnBalloonHintClick)
                OnBalloonHintClick(this);
            break;
        default: break;
        }
        break;
    }
    case WM_DESTROY:
    case WM_CLOSE:
    case WM_QUERYENDSESSION:
    case WM_QUIT:
    case WM_USERCHANGED:
    case WM_NCDESTROY: Message.Result = 1; break;
    default: Message.Result = DefWindowProc(FHandle, Message.Msg, Message.WParam, Message.LParam); break;
    }
}

void TspTrayIcon::ClickTimerTick(TObject*)
{
    FClickTimer->SetEnabled(false);
    if (!IsDblClick && FClickReady) {
        FClickReady = false;
        Click();
    }
    IsDblClick = false;
}

void TspTrayIcon::ClickDefaultItem()
{
    if (!FPopupMenu || !FPopupMenu->AutoPopup() || PopupByLeftButton)
        return;
    TMenuItem* items = FPopupMenu->Items();
    TMenuItem* found = nullptr;
    for (int i = items->Count() - 1; i >= 0; --i)
        if (items->Items(i)->Default())
            found = items->Items(i);
    if (found)
        found->Click();
}

void TspTrayIcon::PopupAtCursor()
{
    POINT p{};
    if (!FPopupMenu || !FPopupMenu->AutoPopup() || !GetCursorPos(&p))
        return;
    if (Application)
        Application->ProcessMessages();
    if (!FPopupMenu)
        return;  // freed meanwhile
    SetForegroundWindow(FHandle);
    TWinControl* owner = OwnerControl();
    if (owner && owner->HandleAllocated())
        SetForegroundWindow(owner->Handle());
    FPopupMenu->SetPopupComponent(this);
    FPopupMenu->Popup(p.x, p.y);
    if (owner && owner->HandleAllocated())
        PostMessage(owner->Handle(), WM_NULL, 0, 0);
}

void TspTrayIcon::AnimateTimerTick(TObject*)
{
    if (!FIconList || FIconList->Count() == 0)
        return;
    const int count = FIconList->Count();
    const int index = std::clamp(FIconIndex, 0, count - 1);
    FIconList->GetIcon(index, FIcon.get());
    const int next = index >= count - 1 ? 0 : index + 1;
    Cycle(next);
    ModifyIcon();
    SetIconIndex(next);
}

void TspTrayIcon::Click()
{
    if (OnClick)
        OnClick(this);
}

void TspTrayIcon::DblClick()
{
    if (OnDblClick)
        OnDblClick(this);
}

void TspTrayIcon::Cycle(int NextIndex)
{
    if (OnCycle)
        OnCycle(this, NextIndex);
}

void TspTrayIcon::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
}

void TspTrayIcon::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y);
}

void TspTrayIcon::MouseMove(TShiftState Shift, int X, int Y)
{
    if (OnMouseMove)
        OnMouseMove(this, Shift, X, Y);
}

// ---- Main form --------------------------------------------------------------

void TspTrayIcon::DoMinimizeToTray()
{
    // Out of sight only when the icon is there to bring it back; without a
    // tray the application stays minimised the ordinary way.
    if (ShowIcon())
        HideMainForm();
}

void TspTrayIcon::HideMainForm()
{
    if (!OwnerControl() || !Application || !Application->MainForm())
        return;
    Application->MainForm()->SetVisible(false);
    ShowWindow(Application->Handle(), SW_HIDE);
}

void TspTrayIcon::ShowMainForm()
{
    if (!OwnerControl() || !Application || !Application->MainForm())
        return;
    TCustomForm* main = Application->MainForm();
    main->SetTag(kTrayRestoreTag);
    RestoreAppWindow(Application->Handle());
    main->SetVisible(true);
    if (main->WindowState() == wsMinimized)
        main->SetWindowState(wsNormal);
    PostMessage(main->Handle(), WM_RESTOREFROMTRAY, 0, 0);
}

// ---- Balloons -----------------------------------------------------------------

bool TspTrayIcon::ShowBalloonHint(const std::string& Title, const std::string& Text, TspBalloonHintIcon IconType)
{
    HideBalloonHint();
    FIconData.uFlags |= NIF_INFO;
    CopyNotifyText(FIconData.szInfo, std::size(FIconData.szInfo), Text);
    CopyNotifyText(FIconData.szInfoTitle, std::size(FIconData.szInfoTitle), Title);
    FIconData.dwInfoFlags = static_cast<DWORD>(IconType);
    const bool ok = ModifyIcon();
    FIconData.uFlags = kDefaultFlags;
    return ok;
}

bool TspTrayIcon::HideBalloonHint()
{
    FIconData.uFlags |= NIF_INFO;
    std::fill(std::begin(FIconData.szInfo), std::end(FIconData.szInfo), u'\0');
    const bool ok = ModifyIcon();
    // Later changes of the icon or tip do not send the balloon again.
    FIconData.uFlags = kDefaultFlags;
    return ok;
}

bool TspTrayIcon::BitmapToIcon(TBitmap* Bitmap, TIcon* Icon, TColor MaskColor)
{
    if (!Bitmap || !Icon || Bitmap->Empty())
        return false;
    std::unique_ptr<TCustomImageList> list(TCustomImageList::CreateSize(16, 16));
    if (list->AddMasked(Bitmap, MaskColor) < 0 || list->Count() == 0)
        return false;
    list->GetIcon(0, Icon);
    return !Icon->Empty();
}

void TspTrayIcon::DeclarePublished(TPublisher<TspTrayIcon>& P)
{
    using S = TspTrayIcon;
    P.Property("Enabled", &S::Enabled, nullptr, true);
    P.Property("Icon", &S::Icon, &S::SetIcon);
    P.Property("IconVisible", &S::IconVisible, &S::SetIconVisible, true);
    P.Property("Hint", &S::Hint, &S::SetHint);
    P.Property("ShowHint", &S::ShowHint, &S::SetShowHint, true);
    P.Property("PopupMenu", &S::PopupMenu, &S::SetPopupMenu);
    P.Property("PopupByLeftButton", &S::PopupByLeftButton, nullptr, false);
    P.Property("IconList", &S::IconList, &S::SetIconList);
    P.Property("IconIndex", &S::IconIndex, &S::SetIconIndex, 0);
    P.Property("CycleIcons", &S::CycleIcons, &S::SetCycleIcons, false);
    P.Property("AnimateTimerInterval", &S::AnimateTimerInterval, &S::SetAnimateTimerInterval, 0u);
    P.Property("DesignPreview", &S::DesignPreview, &S::SetDesignPreview, false);
    P.Property("MinimizedOnStart", &S::MinimizedOnStart, nullptr, false);
    P.Property("MinimizeToTray", &S::MinimizeToTray, nullptr, false);
    P.Property("OnClick", &S::OnClick);
    P.Property("OnDblClick", &S::OnDblClick);
    P.Property("OnMouseDown", &S::OnMouseDown);
    P.Property("OnMouseUp", &S::OnMouseUp);
    P.Property("OnMouseMove", &S::OnMouseMove);
    P.Property("OnCycle", &S::OnCycle);
    P.Property("OnBalloonHintClick", &S::OnBalloonHintClick);
}

void RegisterSkinTrayIconClasses() { RegisterClasses<TspTrayIcon>(); }
