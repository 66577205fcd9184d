// The menu chain of a skinned form, the popup-menu component that shows
// through it, and the shared application message hook of open menus.
#include "skin/forms/SkinMenus.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/user/User.h"
#include "skin/controls/SkinCtrls.h"
#include "skin/core/LayerManager.h"
#include "skin/forms/FormSkinner.h"

#include <algorithm>

// ---- the application message hook --------------------------------------------------------------

namespace {

struct THooker {
    const void* Owner;
    TspAppMessageHook Hook;
};

struct THookState {
    std::vector<THooker> Hookers;
    TMessageEvent Original;
    bool Installed = false;
    void Dispatch(MSG& Msg, bool& Handled)
    {
        if (!Hookers.empty()) {
            // A copy: the hooker may leave while it runs.
            TspAppMessageHook h = Hookers.back().Hook;
            h(Msg, Handled);
        }
    }
};

THookState& Hooks()
{
    static THookState s;
    return s;
}

}  // namespace

void InstallAppMessageHook(const void* Owner, TspAppMessageHook Hook)
{
    if (!Application || !Owner)
        return;
    THookState& s = Hooks();
    RemoveAppMessageHook(Owner);
    if (!s.Installed) {
        s.Original = Application->OnMessage;
        Application->OnMessage = MakeEvent(&s, &THookState::Dispatch);
        s.Installed = true;
    }
    s.Hookers.push_back({Owner, Hook});
}

void RemoveAppMessageHook(const void* Owner)
{
    THookState& s = Hooks();
    std::erase_if(s.Hookers, [&](const THooker& h) { return h.Owner == Owner; });
    if (s.Hookers.empty() && s.Installed) {
        // Whatever the application installed meanwhile stays; only our own
        // dispatcher gives way to the handler it replaced.
        if (Application && Application->OnMessage == MakeEvent(&s, &THookState::Dispatch))
            Application->OnMessage = s.Original;
        s.Original = nullptr;
        s.Installed = false;
    }
}

bool AppMessageHookInstalled(const void* Owner)
{
    const THookState& s = Hooks();
    return std::any_of(s.Hookers.begin(), s.Hookers.end(), [&](const THooker& h) { return h.Owner == Owner; });
}

// ---- closed windows --------------------------------------------------------------------------------

TspWindowReaper::TspWindowReaper(TComponent* AOwner) : TComponent(AOwner)
{
    FTimer = new TTimer(this);
    FTimer->SetEnabled(false);
    FTimer->SetInterval(1);
    FTimer->SetOnTimer(MakeEvent(this, &TspWindowReaper::Tick));
}

TspWindowReaper::~TspWindowReaper()
{
    for (TWinControl* w : FRetired)
        delete w;
}

void TspWindowReaper::Retire(TWinControl* Window)
{
    if (!Window)
        return;
    FRetired.push_back(Window);
    FTimer->SetEnabled(true);
}

void TspWindowReaper::Tick(TObject*)
{
    FTimer->SetEnabled(false);
    std::vector<TWinControl*> dead;
    dead.swap(FRetired);
    for (TWinControl* w : dead)
        delete w;
}

// ---- the chain --------------------------------------------------------------------------------------

TspSkinMenu::TspSkinMenu(TComponent* AOwner, TCustomForm* AForm) : TComponent(AOwner), FForm(AForm)
{
    FDefaultMenuItemFont = std::make_unique<TFont>();
    FDefaultMenuItemFont->SetName("Arial");
    FDefaultMenuItemFont->SetHeight(14);
    WaitTimer = new TTimer(this);
    WaitTimer->SetEnabled(false);
    WaitTimer->SetInterval(500);
    WaitTimer->SetOnTimer(MakeEvent(this, &TspSkinMenu::WaitTimerProc));
    Reaper = new TspWindowReaper(this);
}

TspSkinMenu::~TspSkinMenu()
{
    OnMenuClose = nullptr;
    CloseFrom(0);
}

void TspSkinMenu::SetDefaultMenuItemFont(TFont* Value) { FDefaultMenuItemFont->Assign(Value); }

void TspSkinMenu::SetPopupCtrl(TControl* Value)
{
    if (PopupCtrl && PopupCtrl != DCtrl)
        PopupCtrl->RemoveFreeNotification(this);
    PopupCtrl = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TspSkinMenu::SetDCtrl(TControl* Value)
{
    if (DCtrl && DCtrl != PopupCtrl)
        DCtrl->RemoveFreeNotification(this);
    DCtrl = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TspSkinMenu::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == PopupCtrl)
        PopupCtrl = nullptr;
    if (AComponent == DCtrl)
        DCtrl = nullptr;
}

int TspSkinMenu::IndexOfWindow(const TspSkinPopupWindow* Window) const
{
    for (int i = 0; i < LevelCount(); ++i)
        if (FPopupList[static_cast<std::size_t>(i)] == Window)
            return i;
    return -1;
}

void TspSkinMenu::Popup(TControl* APopupCtrl, TspSkinData* ASkinData, int StartIndex, TRect R, TMenuItem* AItem,
                        bool PopupUp)
{
    Popup2(APopupCtrl, ASkinData, StartIndex, R, AItem, nullptr, PopupUp);
}

void TspSkinMenu::Popup2(TControl* APopupCtrl, TspSkinData* ASkinData, int StartIndex, TRect R, TMenuItem* AItem,
                         TMenuItem* AItem2, bool PopupUp)
{
    FFirst = !FVisible;
    if (!FPopupList.empty())
        CloseFrom(0);
    SetPopupCtrl(APopupCtrl);
    WorkArea = TRect(0, 0, 0, 0);
    if (FForm && FForm->HandleAllocated())
        GetMonitorArea(FForm->Handle(), true, WorkArea);
    else
        GetPrimaryArea(true, WorkArea);
    SkinData = ASkinData;
    const int count = (AItem ? AItem->Count() : 0) + (AItem2 ? AItem2->Count() : 0);
    if (AItem && count > 0 && StartIndex >= 0 && StartIndex < count) {
        FVisible = true;
        OpenLevel(R, AItem, AItem2, StartIndex, false, PopupUp);
        FFirst = false;
    }
}

void TspSkinMenu::PopupSub(TRect R, TMenuItem* AItem, int StartIndex, bool PopupByItem, bool PopupUp)
{
    OpenLevel(R, AItem, nullptr, StartIndex, PopupByItem, PopupUp);
}

void TspSkinMenu::PopupSub2(TRect R, TMenuItem* AItem, TMenuItem* AItem2, int StartIndex, bool PopupByItem,
                            bool PopupUp)
{
    OpenLevel(R, AItem, AItem2, StartIndex, PopupByItem, PopupUp);
}

void TspSkinMenu::OpenLevel(TRect R, TMenuItem* AItem, TMenuItem* AItem2, int StartIndex, bool PopupByItem,
                            bool PopupUp)
{
    TspDataSkinPopupWindow* pw = (SkinData && !SkinData->Empty) ? SkinData->PopupWindow.get() : nullptr;
    auto* w = new TspSkinPopupWindow(nullptr, this, pw);
    FPopupList.push_back(w);
    if (AItem2)
        w->Show2(R, AItem, AItem2, StartIndex, PopupByItem, PopupUp);
    else
        w->Show(R, AItem, StartIndex, PopupByItem, PopupUp);
}

void TspSkinMenu::Retire(TspSkinPopupWindow* Window)
{
    // The level may be closing from inside its own key or mouse handling:
    // it disappears now and is freed once that handling has returned.
    Window->Hide();
    Reaper->Retire(Window);
}

void TspSkinMenu::CloseFrom(int Level)
{
    if (Level < 0)
        Level = 0;
    while (LevelCount() > Level) {
        TspSkinPopupWindow* w = FPopupList.back();
        FPopupList.pop_back();
        // A wait for a row of a closing level is cancelled with it.
        if (WItem && WItem->Parent == w) {
            WaitTimer->SetEnabled(false);
            WItem = nullptr;
        }
        Retire(w);
    }
    if (Level != 0)
        return;
    WaitTimer->SetEnabled(false);
    WItem = nullptr;
    FVisible = false;
    SetDCtrl(PopupCtrl);
    if (TControl* ctrl = PopupCtrl) {
        SetPopupCtrl(nullptr);
        if (auto* wc = dynamic_cast<TWinControl*>(ctrl); wc && wc->HandleAllocated())
            SendMessage(wc->Handle(), WM_SKINMENUCLOSE, 0, 0);
        else
            ctrl->Perform(WM_SKINMENUCLOSE, 0, 0);
    }
    if (OnMenuClose) {
        TNotifyEvent e = OnMenuClose;
        OnMenuClose = nullptr;
        e(this);
    }
}

void TspSkinMenu::Hide()
{
    CloseFrom(0);
    WaitTimer->SetEnabled(false);
    WItem = nullptr;
    if (FForm && FForm->HandleAllocated())
        SendMessage(FForm->Handle(), WM_SKINMENUCLOSE, 0, 0);
}

void TspSkinMenu::WaitTimerProc(TObject*)
{
    WaitTimer->SetEnabled(false);
    TspSkinMenuItem* item = WItem;
    if (item && IndexOfWindow(item->Parent) >= 0)
        ItemClick(item->Parent, item, true, false);
}

void TspSkinMenu::ItemClick(TspSkinPopupWindow* Window, TspSkinMenuItem* Item, bool Click, bool Kb)
{
    const int level = IndexOfWindow(Window);
    if (level < 0)
        return;
    TMenuItem* mi = Item->MenuItem;
    const bool hasSub = mi->Count() > 0;
    if (!hasSub) {
        WaitTimer->SetEnabled(false);
        WItem = nullptr;
        if (!Click) {
            CloseFrom(level + 1);
            return;
        }
        // Everything the command needs is taken before the chain closes:
        // after Hide no window or row of it may be touched.
        TMenu* menu = mi->GetParentMenu();
        const WORD command = mi->Command();
        Hide();
        if (menu)
            menu->DispatchCommand(command);
        else if (mi->OnClick)
            mi->Click();
        if (TControl* ctrl = DCtrl) {
            if (auto* wc = dynamic_cast<TWinControl*>(ctrl); wc && wc->HandleAllocated())
                SendMessage(wc->Handle(), WM_SKINMENUCOMMAND, 0, 0);
            else
                ctrl->Perform(WM_SKINMENUCOMMAND, 0, 0);
        }
        return;
    }
    if (!Click) {
        if (Kb)
            return;
        WaitTimer->SetEnabled(false);
        CloseFrom(level + 1);
        WItem = Item;
        WaitTimer->SetEnabled(true);
        return;
    }
    // The item's own command first: it may fill its sub-menu, or close or
    // replace this very chain.
    TMenu* menu = mi->GetParentMenu();
    if (menu)
        menu->DispatchCommand(mi->Command());
    if (IndexOfWindow(Window) != level || Window->IndexOfItem(Item) < 0)
        return;
    WaitTimer->SetEnabled(false);
    WItem = nullptr;
    CloseFrom(level + 1);
    if (mi->Count() == 0)
        return;
    Item->Down = true;
    Item->ReDraw();
    TRect r = Item->ObjectRect;
    r = TRect(r.left + Window->Left(), r.top + Window->Top(), r.right + Window->Left(), r.bottom + Window->Top());
    PopupSub(r, mi, 0, true, false);
}

// ---- the popup-menu component -------------------------------------------------------------------

TComponent* FindFormSkinnerComponent(TComponent* AComponent)
{
    if (!AComponent)
        return nullptr;
    for (int i = 0; i < AComponent->ComponentCount(); ++i)
        if (auto* s = dynamic_cast<TspFormSkinner*>(AComponent->Components(i)))
            return s;
    return nullptr;
}

TspSkinPopupMenu::TspSkinPopupMenu(TComponent* AOwner) : TPopupMenu(AOwner) {}

void TspSkinPopupMenu::Notification(TComponent* AComponent, TOperation Operation)
{
    TPopupMenu::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FSD)
        FSD = nullptr;
    if (AComponent == FComponentForm)
        FComponentForm = nullptr;
    if (AComponent == FSkinComponent)
        FSkinComponent = nullptr;
}


void TspSkinPopupMenu::SetSkinData(TspSkinData* Value) { SetComponentReference(this, FSD, Value); }
void TspSkinPopupMenu::SetComponentForm(TCustomForm* Value) { SetComponentReference(this, FComponentForm, Value); }
void TspSkinPopupMenu::SetSkinComponent(TComponent* Value) { SetComponentReference(this, FSkinComponent, Value); }

TspFormSkinner* TspSkinPopupMenu::FindSkinner()
{
    if (FSkinComponent)
        // Anything else than a form component is not a way to show menus.
        return dynamic_cast<TspFormSkinner*>(FSkinComponent);
    if (FComponentForm)
        return static_cast<TspFormSkinner*>(FindFormSkinnerComponent(FComponentForm));
    TComponent* formOwner = nullptr;
    if (dynamic_cast<TCustomForm*>(Owner()))
        formOwner = Owner();
    else if (Owner() && dynamic_cast<TCustomForm*>(Owner()->Owner()))
        formOwner = Owner()->Owner();
    auto* s = static_cast<TspFormSkinner*>(FindFormSkinnerComponent(formOwner));
    if (s && s->Form() && s->Form()->FormStyle() == fsMDIChild && Application && Application->MainForm())
        s = static_cast<TspFormSkinner*>(FindFormSkinnerComponent(Application->MainForm()));
    return s;
}

bool TspSkinPopupMenu::DoShow(TControl* ACtrl, TRect R, bool APopupUp, bool ANeedSkin)
{
    if (OnPopup)
        OnPopup(this);
    TspFormSkinner* s = FindSkinner();
    if (s && !FSD)
        SetSkinData(s->MenusSkinData() ? s->MenusSkinData() : s->SkinData());
    if (!s || !s->SkinMenu)
        return false;
    // A hidden or closing form shows no menu.
    TCustomForm* form = s->Form();
    if (!form || !form->HandleAllocated() || !IsWindowVisible(form->Handle()))
        return false;
    if (ANeedSkin && !FSD)
        return false;
    if (s->SkinMenu->Visible())
        s->SkinMenuClose();
    FPopupPoint = TPoint(R.left, R.top);
    s->PopupThroughChain(ACtrl, FSD, R, Items(), APopupUp);
    if (OnMenuClose && s->SkinMenu->Visible())
        s->SkinMenu->OnMenuClose = OnMenuClose;
    return true;
}

void TspSkinPopupMenu::Popup(int X, int Y) { DoShow(nullptr, TRect(X, Y, X, Y), false, false); }
void TspSkinPopupMenu::PopupFromRect(TRect R, bool APopupUp) { DoShow(nullptr, R, APopupUp, false); }
void TspSkinPopupMenu::Popup2(TControl* ACtrl, int X, int Y) { DoShow(ACtrl, TRect(X, Y, X, Y), false, true); }

void TspSkinPopupMenu::PopupFromRect2(TControl* ACtrl, const TRect& R, bool APopupUp)
{
    if (!DoShow(ACtrl, R, APopupUp, false) && ACtrl)
        ACtrl->Perform(WM_SKINMENUCLOSE, 0, 0);
}

void TspSkinPopupMenu::DeclarePublished(TPublisher<TspSkinPopupMenu>& P)
{
    P.Property("SkinData", &TspSkinPopupMenu::SkinData, &TspSkinPopupMenu::SetSkinData);
    P.Property("OnMenuClose", &TspSkinPopupMenu::OnMenuClose);
}

void RegisterSkinMenusClasses() { RegisterClasses<TspSkinPopupMenu>(); }
