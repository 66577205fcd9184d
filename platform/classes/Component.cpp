#include "platform/classes/Component.h"

#include "platform/classes/TextHelpers.h"

#include <algorithm>

namespace tarnello::classes {

bool IsValidComponentName(const std::string& Name)
{
    if (Name.empty())
        return false;
    auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
    if (!letter(Name[0]))
        return false;
    return std::all_of(Name.begin() + 1, Name.end(), [&](char c) { return letter(c) || (c >= '0' && c <= '9'); });
}

}  // namespace tarnello::classes

using namespace tarnello::classes;

TComponent::TComponent(TComponent* AOwner)
{
    if (AOwner)
        AOwner->InsertComponent(this);
}

TComponent::~TComponent()
{
    Destroying();
    // Everyone that asked about this component hears of its end first, while
    // the tree it lives in is still intact.
    while (!FFreeNotifies.empty()) {
        TComponent* other = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        other->DropFreeNotify(this);
        if (other->FFreeNotifies.empty())
            other->FComponentState.Exclude(csFreeNotification);
        other->Notification(this, opRemove);
    }
    DestroyComponents();
    if (FOwner)
        FOwner->RemoveComponent(this);
}

void TComponent::BeforeDestruction()
{
    Destroying();
}

void TComponent::Destroying()
{
    if (FComponentState.Contains(csDestroying))
        return;
    FComponentState.Include(csDestroying);
    for (TComponent* c : FComponents)
        c->Destroying();
}

void TComponent::DestroyComponents()
{
    // Last first; each one leaves through its owner (RemoveComponent), so the
    // ones still here are told and can drop their pointers to it.
    while (!FComponents.empty()) {
        TComponent* c = FComponents.back();
        c->Free();
    }
}

TComponent* TComponent::Components(int Index) const
{
    if (Index < 0 || Index >= ComponentCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FComponents[static_cast<std::size_t>(Index)];
}

int TComponent::ComponentIndex() const
{
    if (!FOwner)
        return -1;
    const auto& list = FOwner->FComponents;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TComponent::SetComponentIndex(int Value)
{
    if (!FOwner)
        return;
    auto& list = FOwner->FComponents;
    const int current = ComponentIndex();
    if (current < 0)
        return;
    Value = std::clamp(Value, 0, static_cast<int>(list.size()) - 1);
    if (Value == current)
        return;
    list.erase(list.begin() + current);
    list.insert(list.begin() + Value, this);
}

void TComponent::SetName(const std::string& NewName)
{
    if (FName == NewName)
        return;
    if (!NewName.empty() && !IsValidComponentName(NewName))
        throw EComponentError("'" + NewName + "' is not a valid component name");
    if (FOwner)
        FOwner->ValidateRename(this, FName, NewName);
    else
        ValidateRename(nullptr, FName, NewName);
    FName = NewName;
}

void TComponent::ValidateRename(TComponent* AComponent, const std::string& CurName, const std::string& NewName)
{
    if (!AComponent || NewName.empty() || SameNoCase(CurName, NewName))
        return;
    TComponent* existing = FindComponent(NewName);
    if (existing && existing != AComponent)
        throw EComponentError("A component named " + NewName + " already exists");
}

TComponent* TComponent::FindComponent(const std::string& AName) const
{
    if (AName.empty())
        return nullptr;
    for (TComponent* c : FComponents)
        if (SameNoCase(c->FName, AName))
            return c;
    return nullptr;
}

void TComponent::SetDesigning(bool Value, bool SetChildren)
{
    if (Value)
        FComponentState.Include(csDesigning);
    else
        FComponentState.Exclude(csDesigning);
    if (SetChildren)
        for (TComponent* c : FComponents)
            c->SetDesigning(Value, true);
}

void TComponent::InsertComponent(TComponent* AComponent)
{
    if (!AComponent || AComponent == this)
        throw EComponentError("A component cannot own itself or nothing");
    for (TComponent* up = this; up; up = up->FOwner)
        if (up == AComponent)
            throw EComponentError("A component cannot be owned by a component it owns");
    if (AComponent->FOwner == this)
        return;
    // Check the name before anything changes, so a clash leaves both trees as they were.
    ValidateRename(AComponent, std::string(), AComponent->FName);
    if (AComponent->FOwner)
        AComponent->FOwner->RemoveComponent(AComponent);
    Insert(AComponent);
    if (FComponentState.Contains(csDesigning))
        AComponent->SetDesigning(true);
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent)
{
    if (!AComponent || AComponent->FOwner != this)
        return;
    Notification(AComponent, opRemove);
    Remove(AComponent);
}

void TComponent::Insert(TComponent* AComponent)
{
    FComponents.push_back(AComponent);
    AComponent->FOwner = this;
}

void TComponent::Remove(TComponent* AComponent)
{
    auto it = std::find(FComponents.begin(), FComponents.end(), AComponent);
    if (it != FComponents.end())
        FComponents.erase(it);
    AComponent->FOwner = nullptr;
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove && AComponent)
        RemoveFreeNotification(AComponent);
    // Handlers may free or move components; walk down and re-check the bound.
    for (int i = ComponentCount() - 1; i >= 0; --i) {
        if (i >= ComponentCount())
            continue;
        FComponents[static_cast<std::size_t>(i)]->Notification(AComponent, Operation);
    }
}

void TComponent::Loaded()
{
    FComponentState.Exclude(csLoading);
}

void TComponent::FreeNotification(TComponent* AComponent)
{
    if (!AComponent || AComponent == this)
        return;
    FComponentState.Include(csFreeNotification);
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) != FFreeNotifies.end())
        return;
    FFreeNotifies.push_back(AComponent);
    AComponent->FreeNotification(this);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent)
{
    if (!AComponent)
        return;
    DropFreeNotify(AComponent);
    AComponent->DropFreeNotify(this);
}

void TComponent::DropFreeNotify(TComponent* AComponent)
{
    auto it = std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent);
    if (it != FFreeNotifies.end())
        FFreeNotifies.erase(it);
    if (FFreeNotifies.empty())
        FComponentState.Exclude(csFreeNotification);
}
