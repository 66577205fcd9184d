// The form's side of its skinned menus: opening and closing through its one
// chain, the system menu, keys while a menu is open, menus closed by
// messages that reach the form, and the form's short cuts.
#include "platform/user/User.h"
#include "skin/forms/FormSkinner.h"
#include "skin/forms/FrameMenuItems.h"
#include "skin/forms/MenuPieces.h"
#include "skin/forms/SkinHint.h"
#include "skin/forms/SkinMenuBar.h"
#include "skin/forms/SkinMenus.h"

#include <algorithm>

namespace {

TspSkinData* MenuSkin(const TspFormSkinner* S) { return S->MenusSkinData() ? S->MenusSkinData() : S->SkinData(); }

TspSkinMainMenuItem* AsMenuItem(const std::unique_ptr<TspActiveSkinObject>& O)
{
    return dynamic_cast<TspSkinMainMenuItem*>(O.get());
}

bool Eligible(TspSkinMainMenuItem* I) { return I && I->Enabled && I->Visible; }

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
    if (FMenuLayerManager && FMenuLayerManager->IsVisible)
        FMenuLayerManager->Hide();
    // The frame object that opened the menu comes back up.
    for (auto& o : ObjectList) {
        if (auto* c = dynamic_cast<TspSkinCaptionObject*>(o.get())) {
            c->ReleaseMenuQuickButton();
            continue;
        }
        if (auto* m = AsMenuItem(o); m && m->Down()) {
            m->Active = false;
            m->SetDown(false);
            break;
        }
        if (auto* b = dynamic_cast<TspSkinButtonObject*>(o.get()); b && b->MenuItem && b->Down()) {
            b->SetDown(false);
            break;
        }
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

void TspFormSkinner::CreateMainMenuItems()
{
    if (!FMainMenu || !FSD || FSD->Empty)
        return;
    const int i = FSD->GetIndex("MAINMENUITEM");
    if (i < 0)
        return;
    // An entry of another kind counts as none.
    auto* data = dynamic_cast<TspDataSkinMainMenuItem*>(FSD->ObjectList[static_cast<std::size_t>(i)].get());
    if (!data)
        return;
    TMenuItem* items = FMainMenu->Items();
    for (int k = 0; k < items->Count(); ++k)
        if (items->Items(k)->Visible())
            ObjectList.push_back(std::make_unique<TspSkinMainMenuItem>(this, data, items->Items(k)));
}

void TspFormSkinner::RemoveMainMenuItems()
{
    // The indices may name the items going away.
    ActiveObject = OldActiveObject = MouseCaptureObject = -1;
    std::erase_if(ObjectList, [](const std::unique_ptr<TspActiveSkinObject>& o) { return AsMenuItem(o) != nullptr; });
}

void TspFormSkinner::UpdateMainMenu(bool ARedraw)
{
    RemoveMainMenuItems();
    CreateMainMenuItems();
    ArrangeMainMenuItems();
    if (!ARedraw || !FForm->HandleAllocated())
        return;
    if (FSupportNCArea)
        SendMessage(FForm->Handle(), WM_NCPAINT, 0, 0);
    else {
        RECT r{NewMainMenuRect.left, NewMainMenuRect.top, NewMainMenuRect.right, NewMainMenuRect.bottom};
        InvalidateRect(FForm->Handle(), &r, false);
    }
}

void TspFormSkinner::ArrangeMainMenuItems()
{
    int x = NewMainMenuRect.left;
    for (auto& o : ObjectList)
        if (auto* m = AsMenuItem(o)) {
            m->Place(x, NewMainMenuRect);
            x = m->ObjectRect.right;
        }
}

bool TspFormSkinner::EnterMainMenu()
{
    TspSkinMainMenuItem* target = nullptr;
    for (auto& o : ObjectList)
        if (auto* m = AsMenuItem(o); m && m->Active) {
            target = m;
            break;
        }
    if (!target)
        for (auto& o : ObjectList)
            if (auto* m = AsMenuItem(o)) {
                target = m;
                break;
            }
    if (target) {
        target->MouseEnter();
        InMainMenu = true;
        HookAppMessages();
    }
    if (OnMainMenuEnter)
        OnMainMenuEnter(this);
    return target != nullptr;
}

void TspFormSkinner::LeaveMainMenu()
{
    InMainMenu = false;
    if (SkinMenu && SkinMenu->Visible())
        SkinMenu->Hide();
    if (MainMenuBar)
        MainMenuBar->LeaveMenuMode();
    else
        for (auto& o : ObjectList)
            if (auto* m = AsMenuItem(o); m && m->Active) {
                m->MouseLeave();
                break;
            }
    UnhookAppMessages();
    if (OnMainMenuExit)
        OnMainMenuExit(this);
}

void TspFormSkinner::CloseMainMenuPopup()
{
    InMenu = false;
    if (MainMenuBar)
        MainMenuBar->ReleaseDownItem();
    else
        for (auto& o : ObjectList)
            if (auto* m = AsMenuItem(o); m && m->Down()) {
                // Released, the item keeps the keyboard's highlight.
                m->SetDown(false);
                m->MouseEnter();
                break;
            }
    if (OnSkinMenuClose)
        OnSkinMenuClose(this);
}

void TspFormSkinner::SelectNextMainMenuItem()
{
    if (MainMenuBar)
        MainMenuBar->SelectNextBarItem();
    else
        StepMenuItems(ObjectList.begin(), ObjectList.end(), AsMenuItem);
}

void TspFormSkinner::SelectPrevMainMenuItem()
{
    if (MainMenuBar)
        MainMenuBar->SelectPrevBarItem();
    else
        StepMenuItems(ObjectList.rbegin(), ObjectList.rend(), AsMenuItem);
}

bool TspFormSkinner::OpenMainMenuItem()
{
    if (MainMenuBar)
        return MainMenuBar->ChooseActiveItem();
    const bool menuOpen = SkinMenu && SkinMenu->Visible();
    for (auto& o : ObjectList) {
        TspSkinMainMenuItem* m = AsMenuItem(o);
        if (!m || !m->MenuItem)
            continue;
        if ((m->Down() && m->MenuItem->Count() == 0) || (m->Active && !menuOpen)) {
            m->Active = false;
            m->MouseDown(0, 0, mbLeft);
            return true;
        }
    }
    return false;
}

bool TspFormSkinner::FindMainMenuAccel(WORD Key)
{
    if (MainMenuBar)
        return MainMenuBar->FindBarAccel(Key);
    const bool menuOpen = SkinMenu && SkinMenu->Visible();
    for (auto& o : ObjectList) {
        TspSkinMainMenuItem* m = AsMenuItem(o);
        if (!Eligible(m) || !m->MenuItem || !IsAccel(Key, m->MenuItem->Caption()))
            continue;
        m->MouseEnter();
        if (!menuOpen || m->MenuItem->Count() == 0)
            m->MouseDown(0, 0, mbLeft);
        return true;
    }
    return false;
}

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
    if (ShowObjectHint && FSkinHint)
        FSkinHint->HideHint();
    if (InMainMenu && !InMenu)
        LeaveMainMenu();
    else if (SkinMenu->Visible())
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
            SelectPrevMainMenuItem();
            return true;
        }
        if (CharCode == VK_RIGHT) {
            TspSkinPopupWindow* last = SkinMenu->LastWindow();
            const bool leaf = !last || last->ActiveItem < 0 || last->ActiveItem >= last->ItemCount() ||
                              last->Item(last->ActiveItem)->MenuItem->Count() == 0;
            if (leaf) {
                SelectNextMainMenuItem();
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
