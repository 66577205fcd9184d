#pragma once
// Sparse storage for grids with many lines and few filled cells: a sectioned
// pointer array (empty regions cost nothing), a list with a count on top of
// it, and a string list of (text, object) items where an empty cell holds
// no item at all.
//
// Every index these lists accept addresses a slot of its own: the section
// directory is a plain vector indexed by the full section number, and an
// index beyond what the directory may grow to raises EListError instead of
// landing on a low slot.
#include "platform/classes/StringList.h"

#include <cstdint>
#include <memory>
#include <vector>

class TFiler;
class TReader;
class TWriter;

// Section size: SPASmall 16 slots, SPALarge 256 slots.
enum TSPAQuantum { SPASmall, SPALarge };

// Walk callback of ForAll: a non-zero result stops the walk.
using TSPAApply = int (*)(void* Context, int Index, void* Item);

class TSparsePointerArray {
public:
    explicit TSparsePointerArray(TSPAQuantum Quantum);
    ~TSparsePointerArray();
    TSparsePointerArray(const TSparsePointerArray&) = delete;
    TSparsePointerArray& operator=(const TSparsePointerArray&) = delete;

    // The largest number of sections the directory grows to; indices past
    // SlotLimit() are refused.
    static constexpr int kMaxSections = 1 << 20;
    int SlotLimit() const { return kMaxSections * FSectionSize; }

    void* ReadSlot(int Index);
    // The slot's address, its section made on demand (EListError for an
    // index below 0 or past SlotLimit()).
    void** EnsureSlot(int Index);
    void WriteSlot(int Index, void* Item);
    int ForAll(TSPAApply Apply, void* Context) const;
    void ResetHighBound();

    int HighBound() const { return FHighBound; }
    int SectionSize() const { return FSectionSize; }
    // How many directory entries and sections exist (memory tests).
    int DirectorySize() const { return static_cast<int>(secDir.size()); }
    int SectionCount() const;

private:
    std::vector<std::unique_ptr<void*[]>> secDir;
    int indexMask;
    int secShift;
    int FHighBound = -1;
    int FSectionSize;
    int cachedIndex = -1;
    void* cachedPointer = nullptr;
};

class TSparseList {
public:
    explicit TSparseList(TSPAQuantum Quantum);
    ~TSparseList();
    TSparseList(const TSparseList&) = delete;
    TSparseList& operator=(const TSparseList&) = delete;

    int Count() const { return FCount; }
    void Clear();
    void Delete(int Index);
    void Exchange(int Index1, int Index2);
    int ForAll(TSPAApply Apply, void* Context) const;
    void Insert(int Index, void* Item);
    void Move(int CurIndex, int NewIndex);
    void* GetItem(int Index);
    void PutItem(int Index, void* Item);
    TSparsePointerArray& Array() { return *FList; }

private:
    std::unique_ptr<TSparsePointerArray> FList;
    int FCount = 0;
    TSPAQuantum FQuantum;
};

struct TStrItem {
    TObject* FObject = nullptr;  // not owned
    std::string FString;
};

class TStringSparseList : public TStrings {
public:
    explicit TStringSparseList(TSPAQuantum Quantum);
    ~TStringSparseList() override;

    TSparseList* List() const { return FList.get(); }
    TNotifyEvent OnChange;

    std::string Get(int Index) const override;
    int GetCount() const override;
    TObject* GetObject(int Index) const override;
    void Put(int Index, const std::string& S) override;
    void PutObject(int Index, TObject* AObject) override;
    void Insert(int Index, const std::string& S) override;
    void Delete(int Index) override;
    void Exchange(int Index1, int Index2) override;
    // Moves the item (text and object) also past the used range.
    void Move(int CurIndex, int NewIndex) override;
    void Clear() override;

    virtual void NotifyChange();

    // "List": the item count, then index and text of every item.
    void DefineProperties(TFiler* Filer) override;
    void ReadData(TReader* Reader);
    void WriteData(TWriter* Writer);

private:
    TStrItem* Item(int Index) const;
    std::unique_ptr<TSparseList> FList;
};
