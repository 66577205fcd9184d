#pragma once
// Lists of pointers. TList keeps untyped items and reports additions and
// removals to Notify; TObjectList builds on that to free the objects it owns
// as they leave the list.
#include "platform/classes/Object.h"

#include <vector>

enum TListNotification { lnAdded, lnExtracted, lnDeleted };
using TListSortCompare = int (*)(void* Item1, void* Item2);

class TList : public TObject {
public:
    ~TList() override;

    int Add(void* Item);
    void Insert(int Index, void* Item);
    void Delete(int Index);
    // Removes the first occurrence; returns its index or -1.
    int Remove(void* Item);
    // Takes the item out without it counting as deleted; returns it or nullptr.
    void* Extract(void* Item);
    void Clear();
    void Exchange(int Index1, int Index2);
    void Move(int CurIndex, int NewIndex);
    int IndexOf(const void* Item) const;
    void* First() const { return Get(0); }
    void* Last() const { return Get(Count() - 1); }
    // Drops the nil items.
    void Pack();
    void Sort(TListSortCompare Compare);

    int Count() const { return static_cast<int>(FList.size()); }
    void SetCount(int NewCount);
    int Capacity() const { return static_cast<int>(FList.capacity()); }
    void SetCapacity(int NewCapacity);
    void* Get(int Index) const;
    void Put(int Index, void* Item);
    void* Items(int Index) const { return Get(Index); }
    void* operator[](int Index) const { return Get(Index); }

protected:
    virtual void Notify(void* Ptr, TListNotification Action) {}
    [[noreturn]] static void Error(const char* What, int Data);

private:
    std::vector<void*> FList;
};

class TObjectList : public TList {
public:
    explicit TObjectList(bool AOwnsObjects = true) : FOwnsObjects(AOwnsObjects) {}
    ~TObjectList() override;

    int Add(TObject* AObject) { return TList::Add(AObject); }
    void Insert(int Index, TObject* AObject) { TList::Insert(Index, AObject); }
    int Remove(TObject* AObject) { return TList::Remove(AObject); }
    TObject* Extract(TObject* AObject) { return static_cast<TObject*>(TList::Extract(AObject)); }
    int IndexOf(const TObject* AObject) const { return TList::IndexOf(AObject); }
    TObject* Items(int Index) const { return static_cast<TObject*>(Get(Index)); }
    TObject* operator[](int Index) const { return Items(Index); }
    void SetItems(int Index, TObject* AObject) { Put(Index, AObject); }
    TObject* First() const { return Items(0); }
    TObject* Last() const { return Items(Count() - 1); }

    bool OwnsObjects() const { return FOwnsObjects; }
    void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

protected:
    void Notify(void* Ptr, TListNotification Action) override;

private:
    bool FOwnsObjects;
};
