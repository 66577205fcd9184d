#include "skin/lists/SparseLists.h"

#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/rtl/Exceptions.h"

#include <algorithm>

namespace {
[[noreturn]] void ListError(const char* Message) { throw EListError(Message); }
}  // namespace

// ---- TSparsePointerArray ----------------------------------------------------

TSparsePointerArray::TSparsePointerArray(TSPAQuantum Quantum)
    : indexMask(Quantum == SPASmall ? 15 : 255),
      secShift(Quantum == SPASmall ? 4 : 8),
      FSectionSize(Quantum == SPASmall ? 16 : 256)
{
}

TSparsePointerArray::~TSparsePointerArray() = default;

int TSparsePointerArray::SectionCount() const
{
    return static_cast<int>(std::count_if(secDir.begin(), secDir.end(), [](const auto& s) { return s != nullptr; }));
}

void* TSparsePointerArray::ReadSlot(int Index)
{
    if (Index == cachedIndex)
        return cachedPointer;
    void* value = nullptr;
    if (Index >= 0) {
        const std::size_t section = static_cast<std::size_t>(Index) >> secShift;
        if (section < secDir.size() && secDir[section])
            value = secDir[section][Index & indexMask];
    }
    cachedIndex = Index;
    cachedPointer = value;
    return value;
}

void** TSparsePointerArray::EnsureSlot(int Index)
{
    if (Index < 0 || Index >= SlotLimit())
        ListError("SListIndexError");
    const std::size_t section = static_cast<std::size_t>(Index) >> secShift;
    if (section >= secDir.size())
        secDir.resize(section + 1);
    if (!secDir[section])
        secDir[section] = std::make_unique<void*[]>(static_cast<std::size_t>(FSectionSize));  // zero-filled
    FHighBound = std::max(FHighBound, Index);
    cachedIndex = -1;
    return &secDir[section][Index & indexMask];
}

void TSparsePointerArray::WriteSlot(int Index, void* Item)
{
    if (!Item && !ReadSlot(Index))
        return;  // nil into an empty slot allocates nothing
    *EnsureSlot(Index) = Item;
    if (!Item)
        ResetHighBound();
}

int TSparsePointerArray::ForAll(TSPAApply Apply, void* Context) const
{
    for (std::size_t s = 0; s < secDir.size(); ++s) {
        if (!secDir[s])
            continue;
        for (int i = 0; i < FSectionSize; ++i)
            if (void* item = secDir[s][i])
                if (int r = Apply(Context, static_cast<int>((s << secShift) + static_cast<std::size_t>(i)), item))
                    return r;
    }
    return 0;
}

void TSparsePointerArray::ResetHighBound()
{
    // Walk the sections from the old bound down: the first item found is
    // the highest.
    int high = -1;
    if (FHighBound >= 0) {
        for (std::size_t s = static_cast<std::size_t>(FHighBound) >> secShift; high < 0; --s) {
            if (s < secDir.size() && secDir[s])
                for (int i = FSectionSize - 1; i >= 0; --i)
                    if (secDir[s][i]) {
                        high = static_cast<int>((s << secShift) + static_cast<std::size_t>(i));
                        break;
                    }
            if (s == 0)
                break;
        }
    }
    FHighBound = high;
}

// ---- TSparseList --------------------------------------------------------------

TSparseList::TSparseList(TSPAQuantum Quantum)
    : FList(std::make_unique<TSparsePointerArray>(Quantum)), FQuantum(Quantum)
{
}

TSparseList::~TSparseList() = default;

void TSparseList::Clear()
{
    FList = std::make_unique<TSparsePointerArray>(FQuantum);
    FCount = 0;
}

void* TSparseList::GetItem(int Index)
{
    if (Index < 0)
        ListError("ListIndexError");
    return FList->ReadSlot(Index);
}

void TSparseList::PutItem(int Index, void* Item)
{
    if (Index < 0)
        ListError("SListIndexError");
    FList->WriteSlot(Index, Item);
    FCount = FList->HighBound() + 1;
}

void TSparseList::Insert(int Index, void* Item)
{
    if (Index < 0)
        ListError("SListIndexError");
    if (std::max(FCount, Index) >= FList->SlotLimit())
        ListError("SListIndexError");
    // Only filled slots move; empty ones cost nothing to shift.
    for (int i = FCount - 1; i >= Index; --i)
        FList->WriteSlot(i + 1, FList->ReadSlot(i));
    FList->WriteSlot(Index, Item);
    FCount = std::max(FCount, Index) + 1;
}

void TSparseList::Delete(int Index)
{
    if (Index < 0 || Index >= FCount)
        return;
    for (int i = Index; i < FCount - 1; ++i)
        FList->WriteSlot(i, FList->ReadSlot(i + 1));
    FList->WriteSlot(FCount - 1, nullptr);
    --FCount;
}

void TSparseList::Exchange(int Index1, int Index2)
{
    void* a = GetItem(Index1);
    void* b = GetItem(Index2);
    PutItem(Index1, b);
    PutItem(Index2, a);
}

void TSparseList::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex)
        return;
    void* item = GetItem(CurIndex);
    Delete(CurIndex);
    Insert(NewIndex, item);
}

int TSparseList::ForAll(TSPAApply Apply, void* Context) const { return FList->ForAll(Apply, Context); }

// ---- TStringSparseList ----------------------------------------------------------

TStringSparseList::TStringSparseList(TSPAQuantum Quantum) : FList(std::make_unique<TSparseList>(Quantum)) {}

TStringSparseList::~TStringSparseList()
{
    OnChange = {};  // no one listens to a list going away
    if (FList)
        Clear();
}

TStrItem* TStringSparseList::Item(int Index) const { return static_cast<TStrItem*>(FList->GetItem(Index)); }

std::string TStringSparseList::Get(int Index) const
{
    const TStrItem* p = Item(Index);
    return p ? p->FString : std::string();
}

int TStringSparseList::GetCount() const { return FList->Count(); }

TObject* TStringSparseList::GetObject(int Index) const
{
    const TStrItem* p = Item(Index);
    return p ? p->FObject : nullptr;
}

void TStringSparseList::Put(int Index, const std::string& S)
{
    std::unique_ptr<TStrItem> old(Item(Index));
    TObject* object = old ? old->FObject : nullptr;
    if (!S.empty() || object) {
        auto item = std::make_unique<TStrItem>(TStrItem{object, S});
        try {
            FList->PutItem(Index, item.get());
        } catch (...) {
            old.release();  // still stored
            throw;
        }
        item.release();
    } else {
        FList->PutItem(Index, nullptr);
    }
    NotifyChange();
}

void TStringSparseList::PutObject(int Index, TObject* AObject)
{
    if (TStrItem* p = Item(Index))
        p->FObject = AObject;
    else if (AObject) {
        auto item = std::make_unique<TStrItem>(TStrItem{AObject, std::string()});
        FList->PutItem(Index, item.get());
        item.release();
    }
    NotifyChange();
}

void TStringSparseList::Insert(int Index, const std::string& S)
{
    auto item = std::make_unique<TStrItem>(TStrItem{nullptr, S});
    FList->Insert(Index, item.get());
    item.release();
    NotifyChange();
}

void TStringSparseList::Delete(int Index)
{
    delete Item(Index);
    FList->Delete(Index);
    NotifyChange();
}

void TStringSparseList::Exchange(int Index1, int Index2) { FList->Exchange(Index1, Index2); }

void TStringSparseList::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex)
        return;
    FList->Move(CurIndex, NewIndex);
    NotifyChange();
}

void TStringSparseList::Clear()
{
    FList->ForAll(
        [](void*, int, void* item) {
            delete static_cast<TStrItem*>(item);
            return 0;
        },
        nullptr);
    FList->Clear();
    NotifyChange();
}

void TStringSparseList::NotifyChange()
{
    if (OnChange)
        OnChange(this);
}

void TStringSparseList::DefineProperties(TFiler* Filer)
{
    Filer->DefineProperty(
        "List", [this](TReader* R) { ReadData(R); }, [this](TWriter* W) { WriteData(W); }, true);
}

void TStringSparseList::ReadData(TReader* Reader)
{
    Reader->ReadListBegin();
    const int n = Reader->ReadInteger();
    for (int i = 0; i < n; ++i) {
        const int index = Reader->ReadInteger();
        Insert(index, Reader->ReadString());
    }
    Reader->ReadListEnd();
}

void TStringSparseList::WriteData(TWriter* Writer)
{
    struct TWalk {
        TWriter* W;
        int Count;
    } walk{Writer, 0};
    FList->ForAll(
        [](void* c, int, void*) {
            ++static_cast<TWalk*>(c)->Count;
            return 0;
        },
        &walk);
    Writer->WriteListBegin();
    Writer->WriteInteger(walk.Count);
    FList->ForAll(
        [](void* c, int index, void* item) {
            auto* w = static_cast<TWalk*>(c)->W;
            w->WriteInteger(index);
            w->WriteString(static_cast<TStrItem*>(item)->FString);
            return 0;
        },
        &walk);
    Writer->WriteListEnd();
}
