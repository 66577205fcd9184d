#include "platform/classes/Collections.h"

#include "platform/rtl/Exceptions.h"

#include <algorithm>

// ---- TCollectionItem ------------------------------------------------------

TCollectionItem::TCollectionItem(TCollection* ACollection)
{
    // Only joins the list here: the collection's Notify and Update run once
    // the whole item exists (Add, Insert, SetCollection).
    if (ACollection)
        ACollection->Attach(this);
}

void TCollectionItem::BeforeDestruction()
{
    SetCollection(nullptr);
}

TCollectionItem::~TCollectionItem()
{
    if (FCollection) {
        TCollection* collection = FCollection;
        collection->Detach(this);
        collection->Changed();
    }
}

void TCollectionItem::SetCollection(TCollection* Value)
{
    if (Value == FCollection)
        return;
    if (TCollection* old = FCollection) {
        old->Notify(this, cnExtracting);
        old->Detach(this);
        old->Changed();
    }
    if (Value) {
        Value->Attach(this);
        Value->Notify(this, cnAdded);
        Value->Changed();
    }
}

TPersistent* TCollectionItem::GetOwner() const
{
    return FCollection;
}

int TCollectionItem::Index() const
{
    if (!FCollection)
        return -1;
    const auto& items = FCollection->FItems;
    auto it = std::find(items.begin(), items.end(), this);
    return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

void TCollectionItem::SetIndex(int Value)
{
    const int current = Index();
    if (current < 0 || Value < 0 || Value == current)
        return;
    auto& items = FCollection->FItems;
    Value = std::min(Value, static_cast<int>(items.size()) - 1);
    items.erase(items.begin() + current);
    items.insert(items.begin() + Value, this);
    Changed(true);
}

void TCollectionItem::SetDisplayName(const std::string&)
{
    Changed(false);
}

void TCollectionItem::Changed(bool AllItems)
{
    if (FCollection && FCollection->UpdateCount() == 0)
        FCollection->Update(AllItems ? nullptr : this);
}

// ---- TCollection ----------------------------------------------------------

TCollection::TCollection(TCollectionItemClass ItemClass) : FItemClass(ItemClass) {}

TCollection::~TCollection()
{
    // Notify and Update of a derived collection are gone by now; items leave
    // without reporting to it.
    ++FUpdateCount;
    while (!FItems.empty()) {
        TCollectionItem* item = FItems.back();
        Detach(item);
        delete item;
    }
}

void TCollection::Attach(TCollectionItem* Item)
{
    FItems.push_back(Item);
    Item->FCollection = this;
    Item->FID = FNextID++;
}

void TCollection::Detach(TCollectionItem* Item)
{
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    if (it != FItems.end())
        FItems.erase(it);
    Item->FCollection = nullptr;
}

TCollectionItem* TCollection::Make(int Index)
{
    if (!FItemClass)
        throw EInvalidOperation("The collection has no item class");
    TCollectionItem* item = FItemClass(this);
    if (item->FCollection != this) {
        if (item->FCollection)
            item->FCollection->Detach(item);
        Attach(item);
    }
    if (Index >= 0 && Index < Count() - 1) {
        FItems.pop_back();
        FItems.insert(FItems.begin() + Index, item);
    }
    Notify(item, cnAdded);
    Changed();
    return item;
}

TCollectionItem* TCollection::Add()
{
    return Make(-1);
}

TCollectionItem* TCollection::Insert(int Index)
{
    if (Index < 0 || Index > Count())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return Make(Index);
}

void TCollection::Delete(int Index)
{
    TCollectionItem* item = Items(Index);
    Notify(item, cnDeleting);
    Detach(item);
    delete item;
    Changed();
}

void TCollection::Clear()
{
    if (FItems.empty())
        return;
    BeginUpdate();
    while (!FItems.empty())
        Delete(Count() - 1);
    EndUpdate();
}

void TCollection::BeginUpdate()
{
    ++FUpdateCount;
}

void TCollection::EndUpdate()
{
    if (FUpdateCount <= 0)
        return;
    --FUpdateCount;
    Changed();
}

void TCollection::Changed()
{
    if (FUpdateCount == 0)
        Update(nullptr);
}

TCollectionItem* TCollection::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FItems[static_cast<std::size_t>(Index)];
}

void TCollection::SetItems(int Index, TCollectionItem* Value)
{
    Items(Index)->Assign(Value);
}

TCollectionItem* TCollection::FindItemID(int ID) const
{
    for (TCollectionItem* item : FItems)
        if (item->FID == ID)
            return item;
    return nullptr;
}

void TCollection::Assign(TPersistent* Source)
{
    auto* source = dynamic_cast<TCollection*>(Source);
    if (!source) {
        TPersistent::Assign(Source);
        return;
    }
    if (source == this)
        return;
    BeginUpdate();
    try {
        Clear();
        for (TCollectionItem* item : source->FItems)
            Add()->Assign(item);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}
