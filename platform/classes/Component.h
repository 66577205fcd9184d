#pragma once
// Components: named objects in an ownership tree. An owner frees what it owns
// when it is freed, and tells its components about every component that joins
// or leaves (Notification), so that a component holding a pointer to a sibling
// can drop it in time. FreeNotification extends that to components in other
// trees: both are told when either goes.
//
// Free a component with Free() or FreeAndNil rather than delete: the component
// then marks itself csDestroying while it is still whole. A class whose owned
// components use its own members during their destruction calls
// DestroyComponents in its destructor.
#include "platform/classes/Persistent.h"
#include "platform/classes/PropertyTables.h"
#include "platform/classes/Sets.h"
#include "platform/rtl/Exceptions.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TComponent;
class TReader;
using TGetChildProc = std::function<void(TComponent* Child)>;

TARNELLO_EXCEPTION_CLASS(EComponentError, Exception);

enum TOperation { opInsert, opRemove };

enum TComponentStateItem {
    csLoading,
    csReading,
    csWriting,
    csDestroying,
    csDesigning,
    csAncestor,
    csUpdating,
    csFixups,
    csFreeNotification,
    csInline,
    csDesignInstance
};
using TComponentState = TSet<TComponentStateItem>;

class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;

    TComponent* Owner() const { return FOwner; }
    TPersistent* GetOwner() const override { return FOwner; }
    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int Index) const;
    // This component's place in its owner's list (-1 without an owner).
    int ComponentIndex() const;
    void SetComponentIndex(int Value);

    const std::string& Name() const { return FName; }
    // A name is empty or an identifier, unique among the owner's components
    // without regard to case; otherwise EComponentError.
    virtual void SetName(const std::string& NewName);
    std::intptr_t Tag() const { return FTag; }
    void SetTag(std::intptr_t Value) { FTag = Value; }

    TComponentState ComponentState() const { return FComponentState; }
    // For loaders and designers: mark the component (e.g. csLoading while its
    // stored properties are read, then Loaded).
    void IncludeState(TComponentStateItem Item) { FComponentState.Include(Item); }
    void ExcludeState(TComponentStateItem Item) { FComponentState.Exclude(Item); }
    void SetDesigning(bool Value, bool SetChildren = true);

    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);
    // The owned component with that name, without regard to case; nullptr if none.
    TComponent* FindComponent(const std::string& AName) const;
    void DestroyComponents();
    // Marks this component and those it owns as being destroyed.
    void Destroying();

    // Asks to be told (Notification opRemove) when AComponent is freed; the
    // request works both ways.
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    // Told when AComponent joins (opInsert) or leaves (opRemove) the owner's
    // tree, or when a component this one asked about is freed. The default
    // passes the news on to the owned components.
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    // Called once the stored properties have been read; clears csLoading.
    virtual void Loaded();

    void BeforeDestruction() override;

    // ---- stored form descriptions (FormReader.h) ----
    // Runs once the component is whole: after a description has been read
    // into it and every component's Loaded has run. Forms fire OnCreate here.
    virtual void AfterConstruction() {}
    // Reads this component's properties and children from the reader; a class
    // overrides it to prepare before (or tidy up after) the inherited reading.
    virtual void ReadState(TReader* Reader);
    // The owner of the components stored inside this one (nullptr: the root).
    virtual TComponent* GetChildOwner() { return nullptr; }
    // The parent given to the components stored inside this one.
    virtual TComponent* GetChildParent() { return this; }
    // Takes the parent a stored description places this component in;
    // controls join their parent control here, menu items their menu.
    virtual void SetParentComponent(TComponent* Value) {}
    virtual TComponent* GetParentComponent() const { return nullptr; }
    // True for classes whose place in a description comes from a parent
    // (controls) rather than from their owner.
    virtual bool HasParent() const { return false; }
    // Hands the writer the components stored directly inside this one.
    virtual void GetChildren(const TGetChildProc& Proc, TComponent* Root) {}

    PUBLISHED(TComponent, TPersistent)
    {
        P.Property("Tag", &TComponent::Tag, &TComponent::SetTag, std::intptr_t{0});
    }

protected:
    virtual void ValidateRename(TComponent* AComponent, const std::string& CurName, const std::string& NewName);

private:
    void Insert(TComponent* AComponent);
    void Remove(TComponent* AComponent);
    void DropFreeNotify(TComponent* AComponent);

    TComponent* FOwner = nullptr;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
    std::string FName;
    std::intptr_t FTag = 0;
    TComponentState FComponentState;
};

namespace tarnello::classes {
// The rule for component names: a letter or "_", then letters, digits, "_".
bool IsValidComponentName(const std::string& Name);
}  // namespace tarnello::classes
