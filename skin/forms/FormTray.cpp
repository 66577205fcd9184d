// The skinned form and the tray: minimising the application into the tray
// through a TspTrayIcon and bringing it back, and the form's tray menu.
#include "platform/gui/Forms.h"
#include "platform/user/Focus.h"
#include "platform/user/Window.h"
#include "skin/forms/FormLayerBorder.h"
#include "skin/forms/FormSkinner.h"
#include "skin/forms/SkinMenus.h"
#include "skin/forms/SkinTrayIcon.h"

void TspFormSkinner::SetTrayIcon(TspTrayIcon* Value)
{
    if (FTrayIcon && FTrayIcon != Value)
        FTrayIcon->RemoveFreeNotification(this);
    FTrayIcon = Value;
    const bool designing = ComponentState().Contains(csDesigning) && !ComponentState().Contains(csLoading);
    if (!Value) {
        if (designing) {
            TspBorderIcons icons = FBorderIcons;
            icons.Exclude(spforms::biMinimizeToTray);
            SetBorderIcons(icons);
        }
        return;
    }
    Value->FreeNotification(this);
    if (!AlwaysShowInTray)
        Value->SetIconVisible(false);
    const bool trayDesigned = Value->ComponentState().Contains(csDesigning) && !Value->ComponentState().Contains(csLoading);
    if (trayDesigned) {
        TspBorderIcons icons = FBorderIcons;
        icons.Include(spforms::biMinimizeToTray);
        SetBorderIcons(icons);
    } else if (!Value->PopupMenu()) {
        // Its own menu and double click are the creator's to keep.
        Value->SetPopupMenu(FSysTrayMenu.get());
        if (!Value->OnDblClick)
            Value->OnDblClick = MakeEvent(this, &TspFormSkinner::TrayRestoreClick);
    }
}

void TspFormSkinner::MinimizeToTray()
{
    if (!FTrayIcon)
        return;
    FTrayIcon->MinimizeToTray = true;
    Application->Minimize();
    // Without a tray the icon could not be shown: the application stays
    // minimised the ordinary way, reachable as any minimised program.
    if (!FindTrayIcon(FTrayIcon->Handle(), FTrayIcon->IconData().uID)) {
        FTrayIcon->MinimizeToTray = false;
        return;
    }
    if (OnMinimizeToTray)
        OnMinimizeToTray(this);
}

void TspFormSkinner::RestoreFromTray()
{
    if (!FTrayIcon)
        return;
    FTrayIcon->MinimizeToTray = false;
    FTrayIcon->ShowMainForm();
    Application->Restore();
    if (!AlwaysShowInTray)
        FTrayIcon->SetIconVisible(false);
    if (OnRestoreFromTray)
        OnRestoreFromTray(this);
    CheckAppLayeredBorders();
}

void TspFormSkinner::CheckAppLayeredBorders()
{
    if (!Application || Application->MainForm() != FForm || !FSD || !FSD->ShowLayeredBorders() || !LayeredBorderEnabled())
        return;
    std::vector<TCustomForm*> others;
    for (int i = 0; i < Screen->CustomFormCount(); ++i) {
        TCustomForm* f = Screen->CustomForms(i);
        if (f != FForm && f->Visible() && !dynamic_cast<TspFormLayerWindow*>(f) && f->FormStyle() != fsStayOnTop &&
            f->FormStyle() != fsMDIChild)
            others.push_back(f);
    }
    if (others.empty())
        return;
    for (TCustomForm* f : others)
        f->Show();
    if (FForm->Visible())
        FForm->Show();
}

void TspFormSkinner::HandleRestoreFromTray()
{
    if (FForm->Tag() != kTrayRestoreTag)
        return;
    if (LayeredBorderEnabled() && Application && Application->MainForm() &&
        Application->MainForm()->HandleAllocated()) {
        SetForegroundWindow(Application->MainForm()->Handle());
        for (int i = 0; i < Screen->CustomFormCount(); ++i) {
            TCustomForm* f = Screen->CustomForms(i);
            if (f->FormStyle() == fsStayOnTop && f->Visible() && f->HandleAllocated())
                SetWindowPos(f->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
    FForm->SetTag(0);
}
