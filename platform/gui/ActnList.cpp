#include "platform/gui/ActnList.h"

#include "platform/gui/ImgList.h"

#include <algorithm>

namespace {
std::vector<TCustomActionList*>& Lists()
{
    static auto* v = new std::vector<TCustomActionList*>;
    return *v;
}
}  // namespace

const std::vector<TCustomActionList*>& AllActionLists() { return Lists(); }

// ---- TBasicAction ----------------------------------------------------------

TBasicAction::~TBasicAction()
{
    // Clients lose the action but keep what they show.
    std::vector<TBasicActionLink*> clients = FClients;
    FClients.clear();
    for (TBasicActionLink* l : clients)
        l->SetAction(nullptr);
}

bool TBasicAction::Execute()
{
    if (!OnExecute)
        return false;
    OnExecute(this);
    return true;
}

bool TBasicAction::Update()
{
    if (!OnUpdate)
        return false;
    OnUpdate(this);
    return true;
}

void TBasicAction::RegisterChanges(TBasicActionLink* Link)
{
    if (std::find(FClients.begin(), FClients.end(), Link) == FClients.end())
        FClients.push_back(Link);
}

void TBasicAction::UnRegisterChanges(TBasicActionLink* Link)
{
    FClients.erase(std::remove(FClients.begin(), FClients.end(), Link), FClients.end());
}

void TBasicAction::Change()
{
    std::vector<TBasicActionLink*> clients = FClients;
    for (TBasicActionLink* l : clients)
        l->Changed();
}

void TBasicAction::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FActionComponent)
        FActionComponent = nullptr;
}

// ---- Links -------------------------------------------------------------------

TBasicActionLink::~TBasicActionLink()
{
    if (FAction)
        FAction->UnRegisterChanges(this);
}

void TBasicActionLink::SetAction(TBasicAction* v)
{
    if (v == FAction)
        return;
    if (FAction)
        FAction->UnRegisterChanges(this);
    FAction = v;
    if (v)
        v->RegisterChanges(this);
}

bool TBasicActionLink::Execute(TComponent* AComponent)
{
    if (!FAction)
        return false;
    FAction->SetActionComponent(AComponent);
    bool r = false;
    try {
        r = FAction->Execute();
    } catch (...) {
        if (FAction)
            FAction->SetActionComponent(nullptr);
        throw;
    }
    if (FAction)
        FAction->SetActionComponent(nullptr);
    return r;
}

bool TBasicActionLink::Update() { return FAction && FAction->Update(); }

void TControlActionLink::Changed()
{
    if (FAction)
        static_cast<TControl*>(FClient)->ActionChange(FAction, false);
}

void TMenuActionLink::Changed()
{
    if (FAction)
        static_cast<TMenuItem*>(FClient)->ActionChange(FAction, false);
}

// ---- Contained actions -----------------------------------------------------------

TContainedAction::~TContainedAction()
{
    if (FActionList)
        SetActionList(nullptr);
}

void TContainedAction::SetActionList(TCustomActionList* v)
{
    if (v == FActionList)
        return;
    if (FActionList) {
        auto& a = FActionList->FActions;
        a.erase(std::remove(a.begin(), a.end(), this), a.end());
    }
    FActionList = v;
    if (v)
        v->FActions.push_back(this);
}

int TContainedAction::Index() const
{
    if (!FActionList)
        return -1;
    auto& a = FActionList->FActions;
    auto it = std::find(a.begin(), a.end(), this);
    return it == a.end() ? -1 : static_cast<int>(it - a.begin());
}

bool TContainedAction::Execute()
{
    if (FActionList && FActionList->OnExecute) {
        bool handled = false;
        FActionList->OnExecute(this, handled);
        if (handled)
            return true;
    }
    return TBasicAction::Execute();
}

bool TContainedAction::Update()
{
    if (FActionList && FActionList->OnUpdate) {
        bool handled = false;
        FActionList->OnUpdate(this, handled);
        if (handled)
            return true;
    }
    return TBasicAction::Update();
}

// ---- TCustomAction -----------------------------------------------------------------

void TCustomAction::SetCaption(const std::string& v) { if (v != FCaption) { FCaption = v; Change(); } }
void TCustomAction::SetEnabled(bool v) { if (v != FEnabled) { FEnabled = v; Change(); } }
void TCustomAction::SetHint(const std::string& v) { if (v != FHint) { FHint = v; Change(); } }
void TCustomAction::SetImageIndex(int v) { if (v != FImageIndex) { FImageIndex = v; Change(); } }
void TCustomAction::SetShortCut(TShortCut v) { if (v != FShortCut) { FShortCut = v; Change(); } }
void TCustomAction::SetVisible(bool v) { if (v != FVisible) { FVisible = v; Change(); } }

void TCustomAction::SetChecked(bool v)
{
    if (v == FChecked)
        return;
    FChecked = v;
    // Checking one action of a group unchecks the others of its list.
    if (v && FGroupIndex > 0 && ActionList())
        for (int i = 0; i < ActionList()->ActionCount(); ++i)
            if (auto* a = dynamic_cast<TCustomAction*>(ActionList()->Actions(i)))
                if (a != this && a->FGroupIndex == FGroupIndex && a->FChecked) {
                    a->FChecked = false;
                    a->Change();
                }
    Change();
}

void TCustomAction::SetGroupIndex(int v)
{
    if (v == FGroupIndex)
        return;
    FGroupIndex = v;
    if (FChecked) {
        FChecked = false;
        SetChecked(true);
    }
}

bool TCustomAction::Execute()
{
    Update();
    if (!FEnabled)
        return false;
    if (FAutoCheck)
        SetChecked(!FChecked);
    return TContainedAction::Execute();
}

// ---- Action lists --------------------------------------------------------------------

TCustomActionList::TCustomActionList(TComponent* AOwner) : TComponent(AOwner) { Lists().push_back(this); }

TCustomActionList::~TCustomActionList()
{
    Destroying();
    Lists().erase(std::remove(Lists().begin(), Lists().end(), this), Lists().end());
    for (TContainedAction* a : std::vector<TContainedAction*>(FActions))
        a->SetActionList(nullptr);
}

TContainedAction* TCustomActionList::Actions(int Index) const
{
    if (Index < 0 || Index >= ActionCount())
        throw EListError("Action index out of range (" + std::to_string(Index) + ")");
    return FActions[static_cast<size_t>(Index)];
}

void TCustomActionList::SetImages(TCustomImageList* v)
{
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = v;
    if (v)
        v->FreeNotification(this);
}

void TCustomActionList::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages)
        FImages = nullptr;
}

bool TCustomActionList::IsShortCut(TMessage& Message)
{
    TShortCut sc = ShortCutFromMessage(Message);
    if (sc == 0)
        return false;
    for (TContainedAction* c : std::vector<TContainedAction*>(FActions)) {
        auto* a = dynamic_cast<TCustomAction*>(c);
        if (!a || a->ShortCut() != sc)
            continue;
        a->Update();
        if (!a->Enabled())
            return false;
        a->Execute();
        return true;
    }
    return false;
}

void TCustomActionList::UpdateActions()
{
    for (TContainedAction* a : std::vector<TContainedAction*>(FActions))
        a->Update();
}

// ---- Stored descriptions -------------------------------------------------------------

TComponent* TContainedAction::GetParentComponent() const { return FActionList; }

void TContainedAction::SetParentComponent(TComponent* Value)
{
    auto* list = dynamic_cast<TCustomActionList*>(Value);
    if (Value && !list)
        throw EInvalidOperation(Value->ClassName() + " cannot hold the action " + Name());
    SetActionList(list);
}

void TCustomActionList::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
    for (TContainedAction* a : FActions)
        if (a->Owner() == Root)
            Proc(a);
}

void TContainedAction::DeclarePublished(TPublisher<TContainedAction>& P)
{
    P.Property("Category", &TContainedAction::Category, &TContainedAction::SetCategory, "");
}

void TCustomAction::DeclarePublished(TPublisher<TCustomAction>& P)
{
    P.Property("AutoCheck", &TCustomAction::AutoCheck, &TCustomAction::SetAutoCheck, false);
    P.Property("Caption", &TCustomAction::Caption, &TCustomAction::SetCaption, "");
    P.Property("Checked", &TCustomAction::Checked, &TCustomAction::SetChecked, false);
    P.Property("Enabled", &TCustomAction::Enabled, &TCustomAction::SetEnabled, true);
    P.Property("GroupIndex", &TCustomAction::GroupIndex, &TCustomAction::SetGroupIndex, 0);
    P.Property("Hint", &TCustomAction::Hint, &TCustomAction::SetHint, "");
    P.Property("ImageIndex", &TCustomAction::ImageIndex, &TCustomAction::SetImageIndex, -1);
    P.Property("ShortCut", &TCustomAction::ShortCut, &TCustomAction::SetShortCut, TShortCut{0});
    P.Property("Visible", &TCustomAction::Visible, &TCustomAction::SetVisible, true);
    P.Property("OnExecute", &TCustomAction::OnExecute);
    P.Property("OnUpdate", &TCustomAction::OnUpdate);
}

void TCustomActionList::DeclarePublished(TPublisher<TCustomActionList>& P)
{
    P.Property("Images", &TCustomActionList::Images, &TCustomActionList::SetImages);
    P.Property("OnExecute", &TCustomActionList::OnExecute);
    P.Property("OnUpdate", &TCustomActionList::OnUpdate);
}
