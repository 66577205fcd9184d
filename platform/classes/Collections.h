#pragma once
// Collections: ordered lists of items of one class that know their place
// (Index), have a stable ID and tell their collection when they change, so
// that the component showing them (a header's sections, a status bar's
// panels) can update once per batch of changes (BeginUpdate/EndUpdate).
//
// Items are made and freed by the collection (Add, Insert, Delete, Clear) so
// that the collection hears of them while they are whole objects.
#include "platform/classes/Persistent.h"

#include <string>
#include <vector>

class TCollection;

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

class TCollectionItem : public TPersistent {
public:
    explicit TCollectionItem(TCollection* ACollection);
    ~TCollectionItem() override;
    void BeforeDestruction() override;

    TCollection* Collection() const { return FCollection; }
    // Moves the item to another collection (or out of any, with nullptr).
    void SetCollection(TCollection* Value);
    TPersistent* GetOwner() const override;
    int ID() const { return FID; }
    int Index() const;
    virtual void SetIndex(int Value);
    // The text a designer or list shows; the class name unless overridden.
    virtual std::string DisplayName() const { return ClassName(); }
    virtual void SetDisplayName(const std::string& Value);

protected:
    // Tells the collection that this item (or, with AllItems, the whole
    // collection) needs to be shown again.
    void Changed(bool AllItems);

private:
    friend class TCollection;
    TCollection* FCollection = nullptr;
    int FID = 0;
};

// Makes one item of the collection's item class.
using TCollectionItemClass = TCollectionItem* (*)(TCollection* Collection);

template <class T>
TCollectionItem* MakeCollectionItem(TCollection* Collection)
{
    return new T(Collection);
}

class TCollection : public TPersistent {
public:
    explicit TCollection(TCollectionItemClass ItemClass);
    ~TCollection() override;

    TCollectionItem* Add();
    TCollectionItem* Insert(int Index);
    void Delete(int Index);
    void Clear();
    void BeginUpdate();
    void EndUpdate();
    int Count() const { return static_cast<int>(FItems.size()); }
    TCollectionItem* Items(int Index) const;
    TCollectionItem* operator[](int Index) const { return Items(Index); }
    // Copies Value's state into the item at Index.
    void SetItems(int Index, TCollectionItem* Value);
    TCollectionItem* FindItemID(int ID) const;
    TCollectionItemClass ItemClass() const { return FItemClass; }
    // Makes this collection hold as many items as Source, each assigned from
    // the one at the same place.
    void Assign(TPersistent* Source) override;

protected:
    // Item changed (nullptr: the whole collection); called outside updates.
    virtual void Update(TCollectionItem* Item) {}
    virtual void Notify(TCollectionItem* Item, TCollectionNotification Action) {}
    void Changed();
    int UpdateCount() const { return FUpdateCount; }

private:
    friend class TCollectionItem;
    void Attach(TCollectionItem* Item);
    void Detach(TCollectionItem* Item);
    TCollectionItem* Make(int Index);

    TCollectionItemClass FItemClass;
    std::vector<TCollectionItem*> FItems;
    int FNextID = 0;
    int FUpdateCount = 0;
};

// A collection that names its owner (the component it belongs to).
class TOwnedCollection : public TCollection {
public:
    TOwnedCollection(TPersistent* AOwner, TCollectionItemClass ItemClass)
        : TCollection(ItemClass), FOwner(AOwner)
    {
    }
    TPersistent* GetOwner() const override { return FOwner; }

private:
    TPersistent* FOwner;
};
