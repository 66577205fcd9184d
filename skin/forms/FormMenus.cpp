// The form's side of its skinned menus: opening and closing through its one
// chain, the system menu, keys while a menu is open, menus closed by
// messages that reach the form, and the form's short cuts.
#include "platform/user/User.h"
#include "skin/forms/FormSkinner.h"
#include "skin/forms/SkinMenuBar.h"
#include "skin/forms/SkinMenus.h"

namespace {

TspSkinData* MenuSkin(const TspFormSkinner* S) { return S->MenusSkinData() ? S->MenusSkinData() : S->SkinData(); }

}  // namespace

void TspFormSkinner::SyncSkinMenu()
{
    if (!SkinMenu)
        return;
    SkinMenu->SetDefaultMenuItemFont(DefMenuItemFont());
    SkinMenu->DefaultMenuItemHeight = DefMenuItemHeight();
    SkinMenu->UseSkinFont = UseSkinFontInMenu;
    SkinMenu->UseSkinSize = UseSkinSizeInMenu;
    SkinMenu->MaxMenuItemsInWindow = MaxMenuItemsInWindow();
    SkinMenu->AlphaBlend = MenusAlphaBlend;
    SkinMenu->AlphaBlendValue = MenusAlphaBlendValue;
    SkinMenu->AlphaBlendAnimation = MenusAlphaBlendAnimation;
}

void TspFormSkinner::PopupThroughChain(TControl* Ctrl, TspSkinData* SD, TRect R, TMenuItem* Items, bool PopupUp)
{
    if (!SkinMenu || !Items)
        return;
    SkinMenuOpen();
    SyncSkinMenu();
    SkinMenu->Popup(Ctrl, SD, 0, R, Items, PopupUp);
    if (!SkinMenu->Visible() && InMenu)
        SkinMenuClose();
}

void TspFormSkinner::SkinMenuOpen()
{
    if (!InMainMenu)
        HookAppMessages();
    if (!InMenu) {
        InMenu = true;
        if (OnSkinMenuOpen)
            OnSkinMenuOpen(this);
    }
}

void TspFormSkinner::SkinMenuClose()
{
    InMenu = false;
    // The frame button that opened the menu comes back up.
    for (auto& o : ObjectList)
        if (auto* b = dynamic_cast<TspSkinButtonObject*>(o.get()); b && b->MenuItem && b->Down()) {
            b->SetDown(false);
            break;
        }
    UnhookAppMessages();
    if (OnSkinMenuClose)
        OnSkinMenuClose(this);
    if (InMainMenu) {
        InMainMenu = false;
        if (MainMenuBar)
            MainMenuBar->LeaveMenuMode();
        if (OnMainMenuExit)
            OnMainMenuExit(this);
    }
}

bool TspFormSkinner::EnterMainMenu()
{
    // The frame shows no main-menu items of its own here: nothing to enter.
    return false;
}

void TspFormSkinner::LeaveMainMenu()
{
    InMainMenu = false;
    if (SkinMenu && SkinMenu->Visible())
        SkinMenu->Hide();
    if (MainMenuBar)
        MainMenuBar->LeaveMenuMode();
    UnhookAppMessages();
    if (OnMainMenuExit)
        OnMainMenuExit(this);
}

void TspFormSkinner::CloseMainMenuPopup()
{
    InMenu = false;
    if (MainMenuBar)
        MainMenuBar->ReleaseDownItem();
    if (OnSkinMenuClose)
        OnSkinMenuClose(this);
}

bool TspFormSkinner::OpenMainMenuItem() { return MainMenuBar && MainMenuBar->ChooseActiveItem(); }

bool TspFormSkinner::FindMainMenuAccel(WORD Key) { return MainMenuBar && MainMenuBar->FindBarAccel(Key); }

bool TspFormSkinner::HandleKeyMenu()
{
    if (InMainMenu) {
        LeaveMainMenu();
        return true;
    }
    if (SkinMenu && SkinMenu->Visible())
        SkinMenu->Hide();
    else if (InMenu)
        SkinMenuClose();
    if (MainMenuBar) {
        MainMenuBar->EnterMenuMode();
        return true;
    }
    return EnterMainMenu();
}

void TspFormSkinner::PopupSkinMenu(TMenu* Menu, TPoint P) { PopupSkinMenu1(Menu, TRect(P.x, P.y, P.x, P.y), false); }

void TspFormSkinner::PopupSkinMenu1(TMenu* Menu, TRect R, bool PopupUp)
{
    if (Menu)
        PopupThroughChain(nullptr, MenuSkin(this), R, Menu->Items(), PopupUp);
}

void TspFormSkinner::DoPopupMenu(TPopupMenu* Menu, int X, int Y)
{
    if (!Menu || !SkinMenu)
        return;
    if (Menu->OnPopup)
        Menu->OnPopup(this);
    if (SkinMenu->Visible())
        SkinMenuClose();
    PopupThroughChain(nullptr, FSD, TRect(X, Y, X, Y), Menu->Items(), false);
}

void TspFormSkinner::PopupSystemMenu(TPoint P)
{
    TMenuItem* items = GetSystemMenuItems();
    TspFormSkinner* shower = this;
    if (FForm->FormStyle() == fsMDIChild) {
        shower = Application && Application->MainForm() ? FindFormSkinner(Application->MainForm()) : nullptr;
        if (!shower)
            return;
    }
    shower->PopupThroughChain(nullptr, MenuSkin(shower), TRect(P.x, P.y, P.x, P.y), items, false);
}

void TspFormSkinner::PopupObjectMenu(TspSkinButtonObject* AObject)
{
    if (!AObject || !AObject->MenuItem || !SkinMenu || !FForm->HandleAllocated())
        return;
    RECT wr{};
    GetWindowRect(FForm->Handle(), &wr);
    const TRect& o = AObject->ObjectRect;
    const TRect R(wr.left + o.left, wr.top + o.top, wr.left + o.right, wr.top + o.bottom);
    // Nothing opened (an empty menu): the button does not stay down.
    PopupThroughChain(nullptr, MenuSkin(this), R, AObject->MenuItem, false);
}

void TspFormSkinner::CloseMenusOnMessage(TMessage& Message)
{
    if (!IsMenuClosingMessage(Message.Msg) || !SkinMenu)
        return;
    if (SkinMenu->Visible())
        SkinMenu->Hide();
    else if (InMenu)
        SkinMenuClose();
}

bool TspFormSkinner::MenuKeyDown(WORD CharCode)
{
    if (!FForm || !SkinMenu)
        return false;
    const int levels = SkinMenu->LevelCount();
    if (InMainMenu) {
        if (FindMainMenuAccel(CharCode))
            return true;
        if (CharCode == VK_ESCAPE && !InMenu) {
            LeaveMainMenu();
            return true;
        }
        if (CharCode == VK_LEFT && levels <= 1) {
            if (MainMenuBar)
                MainMenuBar->SelectPrevBarItem();
            return true;
        }
        if (CharCode == VK_RIGHT) {
            TspSkinPopupWindow* last = SkinMenu->LastWindow();
            const bool leaf = !last || last->ActiveItem < 0 || last->ActiveItem >= last->ItemCount() ||
                              last->Item(last->ActiveItem)->MenuItem->Count() == 0;
            if (leaf) {
                if (MainMenuBar)
                    MainMenuBar->SelectNextBarItem();
                return true;
            }
        }
    }
    if ((CharCode == VK_RETURN || CharCode == VK_DOWN) && InMainMenu && !SkinMenu->Visible() && OpenMainMenuItem())
        return true;
    if (SkinMenu->Visible() && SkinMenu->LastWindow())
        SkinMenu->LastWindow()->PopupKeyDown(CharCode);
    if (CharCode == VK_ESCAPE && SkinMenu->LevelCount() == 0) {
        if (InMainMenu)
            CloseMainMenuPopup();
        else if (InMenu)
            SkinMenuClose();
    }
    return true;
}

void TspFormSkinner::MenuAppMessageHook(MSG& Msg, bool& Handled)
{
    if (Msg.message == WM_KEYDOWN) {
        const WORD key = static_cast<WORD>(Msg.wParam);
        Msg.message = 0;
        Handled = true;
        MenuKeyDown(key);
    } else if (Msg.message == WM_MOUSEWHEEL) {
        Msg.message = 0;
        Handled = true;
    }
}

void TspFormSkinner::HookAppMessages()
{
    if (!AppMessageHookInstalled(this))
        InstallAppMessageHook(this, MakeEvent(this, &TspFormSkinner::MenuAppMessageHook));
}

void TspFormSkinner::UnhookAppMessages() { RemoveAppMessageHook(this); }

void TspFormSkinner::FormShortCut(TMessage& Msg, bool& Handled)
{
    if (OnShortCut) {
        OnShortCut(Msg, Handled);
        if (Handled)
            return;
    }
    const WORD key = static_cast<WORD>(Msg.WParam);
    const bool altOnly = GetKeyState(VK_MENU) < 0 && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_SHIFT) >= 0;
    if (altOnly && key == VK_SPACE) {
        if (!DisableSystemMenu)
            for (auto& o : ObjectList) {
                auto* b = dynamic_cast<TspSkinStdButtonObject*>(o.get());
                if (!b || b->Command != cmSysMenu || !b->Enabled || !FForm->HandleAllocated())
                    continue;
                RECT wr{};
                GetWindowRect(FForm->Handle(), &wr);
                const TRect& r = b->ObjectRect;
                PopupThroughChain(nullptr, MenuSkin(this),
                                  TRect(wr.left + r.left, wr.top + r.top, wr.left + r.right, wr.top + r.bottom),
                                  GetSystemMenuItems(), false);
                break;
            }
        FInShortCut = false;
        Handled = true;
        return;
    }
    if (FInShortCut) {
        FInShortCut = false;
        Handled = false;
    }
    TMainMenu* mm = MainMenuBar && MainMenuBar->MainMenu() ? MainMenuBar->MainMenu() : MainMenu();
    if (!mm)
        return;
    // Alt+F4 closes the window; it is never a menu accelerator.
    if (altOnly && key != VK_F4 && FindMainMenuAccel(key)) {
        Handled = true;
        return;
    }
    FInShortCut = mm->IsShortCut(Msg);
    Handled = FInShortCut;
}
