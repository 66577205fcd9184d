#pragma once
// An icon in the desktop's notification area (Shell_NotifyIconW): clicks and
// double clicks told apart by the double-click time, a skinned popup menu at
// the pointer, icons cycled from an image list, balloon hints, and taking
// the application out of sight into the tray when it is minimised. Two
// windows are hooked for this, each passing every message on: the
// application's hidden window (minimising, the tray starting again) and the
// owner form (focus when it comes back). Without a tray the icon calls
// report failure and nothing else happens.
#include "platform/classes/Component.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/ImgList.h"
#include "platform/shell/NotifyIcon.h"

#include <memory>
#include <string>

class TTimer;
class TspSkinPopupMenu;

enum TspBalloonHintIcon { spbitNone, spbitInfo, spbitWarning, spbitError };
ENUM_NAMES(TspBalloonHintIcon, spbitNone, spbitInfo, spbitWarning, spbitError)

using TCycleEvent = TMethodPtr<void(TObject* Sender, int NextIndex)>;

class TspTrayIcon : public TComponent {
public:
    explicit TspTrayIcon(TComponent* AOwner);
    ~TspTrayIcon() override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    virtual bool UsesApplicationIcon() { return true; }
    virtual bool ShowIcon();
    virtual bool HideIcon();
    virtual bool ModifyIcon();
    bool Refresh() { return ModifyIcon(); }
    void ShowMainForm();
    void HideMainForm();
    bool ShowBalloonHint(const std::string& Title, const std::string& Text, TspBalloonHintIcon IconType);
    bool HideBalloonHint();
    // Icon := the first 16 x 16 picture of Bitmap, MaskColor transparent;
    // false when no icon could be made (no bitmap, no icon, nothing drawn).
    bool BitmapToIcon(TBitmap* Bitmap, TIcon* Icon, TColor MaskColor);

    HWND Handle() const { return FHandle; }
    HWND WindowHandle() const { return FWindowHandle; }
    const NOTIFYICONDATAW& IconData() const { return FIconData; }

    bool Enabled = true;
    TIcon* Icon() const { return FIcon.get(); }
    void SetIcon(TIcon* Value);
    bool IconVisible() const { return FIconVisible; }
    void SetIconVisible(bool Value);
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    TspSkinPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TspSkinPopupMenu* Value);
    bool PopupByLeftButton = false;
    TCustomImageList* IconList() const { return FIconList; }
    void SetIconList(TCustomImageList* Value);
    int IconIndex() const { return FIconIndex; }
    void SetIconIndex(int Value);
    bool CycleIcons() const { return FCycleIcons; }
    void SetCycleIcons(bool Value);
    unsigned AnimateTimerInterval() const { return FAnimateInterval; }
    void SetAnimateTimerInterval(unsigned Value);
    bool DesignPreview() const { return FDesignPreview; }
    void SetDesignPreview(bool Value);
    bool MinimizedOnStart = false;
    bool MinimizeToTray = false;
    TNotifyEvent OnClick, OnDblClick, OnBalloonHintClick;
    TMouseEvent OnMouseDown, OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TCycleEvent OnCycle;
    PUBLISHED(TspTrayIcon, TComponent);

    // The click timers and the cycle step (tests drive them by the clock).
    TTimer* AnimateTimer() const { return FAnimateTimer; }
    TTimer* ClickTimer() const { return FClickTimer; }

protected:
    virtual void Click();
    virtual void DblClick();
    virtual void Cycle(int NextIndex);
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void DoMinimizeToTray();
    bool PrepareIconData();

private:
    void TrayWndProc(TMessage& Message);
    void AppWndProc(TMessage& Message);
    void OwnerWndProc(TMessage& Message);
    void HookApplication();
    void UnhookApplication();
    void HookOwner();
    void UnhookOwner();
    void PopupAtCursor();
    void ClickDefaultItem();
    void AnimateTimerTick(TObject* Sender);
    void ClickTimerTick(TObject* Sender);
    bool Designing() const;
    TWinControl* OwnerControl() const;

    NOTIFYICONDATAW FIconData;
    HWND FHandle = nullptr;
    HWND FWindowHandle = nullptr;
    std::unique_ptr<TIcon> FIcon;
    bool FIconVisible = true;
    std::string FHint;
    bool FShowHint = true;
    TspSkinPopupMenu* FPopupMenu = nullptr;
    TCustomImageList* FIconList = nullptr;
    int FIconIndex = 0;
    bool FCycleIcons = false;
    unsigned FAnimateInterval = 0;
    bool FDesignPreview = false;
    TTimer* FAnimateTimer = nullptr;
    TTimer* FClickTimer = nullptr;
    bool FClickStart = false, FClickReady = false, IsDblClick = false;
    bool SettingPreview = false;
    bool SettingMDIForm = true;
    HWND FAppWnd = nullptr;
    WNDPROC OldAppProc = nullptr, NewAppProc = nullptr;
    TWndMethod OldWndProc;
    bool FOwnerHooked = false;
};

void RegisterSkinTrayIconClasses();
