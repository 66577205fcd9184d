#include "platform/classes/Lists.h"

#include "platform/rtl/Exceptions.h"

#include <algorithm>
#include <new>

void TList::Error(const char* What, int Data)
{
    throw EListError(std::string(What) + " (" + std::to_string(Data) + ")");
}

TList::~TList()
{
    Clear();
}

void* TList::Get(int Index) const
{
    if (Index < 0 || Index >= Count())
        Error("List index out of bounds", Index);
    return FList[static_cast<std::size_t>(Index)];
}

void TList::Put(int Index, void* Item)
{
    if (Index < 0 || Index >= Count())
        Error("List index out of bounds", Index);
    void* old = FList[static_cast<std::size_t>(Index)];
    if (old == Item)
        return;
    FList[static_cast<std::size_t>(Index)] = Item;
    if (old)
        Notify(old, lnDeleted);
    if (Item)
        Notify(Item, lnAdded);
}

int TList::Add(void* Item)
{
    FList.push_back(Item);
    if (Item)
        Notify(Item, lnAdded);
    return Count() - 1;
}

void TList::Insert(int Index, void* Item)
{
    if (Index < 0 || Index > Count())
        Error("List index out of bounds", Index);
    FList.insert(FList.begin() + Index, Item);
    if (Item)
        Notify(Item, lnAdded);
}

void TList::Delete(int Index)
{
    void* item = Get(Index);
    FList.erase(FList.begin() + Index);
    if (item)
        Notify(item, lnDeleted);
}

int TList::Remove(void* Item)
{
    const int index = IndexOf(Item);
    if (index >= 0)
        Delete(index);
    return index;
}

void* TList::Extract(void* Item)
{
    const int index = IndexOf(Item);
    if (index < 0)
        return nullptr;
    void* result = FList[static_cast<std::size_t>(index)];
    FList.erase(FList.begin() + index);
    Notify(result, lnExtracted);
    return result;
}

void TList::Clear()
{
    // Last first, so that each deletion is cheap and handlers see a list
    // that shrinks from the end.
    while (!FList.empty())
        Delete(Count() - 1);
    FList.shrink_to_fit();
}

void TList::Exchange(int Index1, int Index2)
{
    if (Index1 < 0 || Index1 >= Count())
        Error("List index out of bounds", Index1);
    if (Index2 < 0 || Index2 >= Count())
        Error("List index out of bounds", Index2);
    std::swap(FList[static_cast<std::size_t>(Index1)], FList[static_cast<std::size_t>(Index2)]);
}

void TList::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex)
        return;
    if (NewIndex < 0 || NewIndex >= Count())
        Error("List index out of bounds", NewIndex);
    void* item = Get(CurIndex);
    FList.erase(FList.begin() + CurIndex);
    FList.insert(FList.begin() + NewIndex, item);
}

int TList::IndexOf(const void* Item) const
{
    auto it = std::find(FList.begin(), FList.end(), Item);
    return it == FList.end() ? -1 : static_cast<int>(it - FList.begin());
}

void TList::Pack()
{
    FList.erase(std::remove(FList.begin(), FList.end(), nullptr), FList.end());
}

void TList::Sort(TListSortCompare Compare)
{
    if (Compare)
        std::stable_sort(FList.begin(), FList.end(), [Compare](void* a, void* b) { return Compare(a, b) < 0; });
}

void TList::SetCount(int NewCount)
{
    if (NewCount < 0)
        Error("List count out of bounds", NewCount);
    while (Count() > NewCount)
        Delete(Count() - 1);
    try {
        FList.resize(static_cast<std::size_t>(NewCount), nullptr);
    } catch (const std::bad_alloc&) {
        Error("List count out of bounds", NewCount);
    }
}

void TList::SetCapacity(int NewCapacity)
{
    if (NewCapacity < Count())
        Error("List capacity out of bounds", NewCapacity);
    try {
        FList.reserve(static_cast<std::size_t>(NewCapacity));
    } catch (const std::bad_alloc&) {
        Error("List capacity out of bounds", NewCapacity);
    }
}

// ---- TObjectList ----------------------------------------------------------

TObjectList::~TObjectList()
{
    // TList's destructor can no longer reach this class's Notify.
    Clear();
}

void TObjectList::Notify(void* Ptr, TListNotification Action)
{
    if (FOwnsObjects && Action == lnDeleted)
        static_cast<TObject*>(Ptr)->Free();
}
