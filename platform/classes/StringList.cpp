#include "platform/classes/StringList.h"

#include "platform/classes/FileIO.h"
#include "platform/classes/Streams.h"
#include "platform/classes/TextHelpers.h"
#include "platform/rtl/Exceptions.h"

#include <algorithm>
#include <utility>

using namespace tarnello::classes;

namespace {

constexpr const char* kLineBreak = "\r\n";

inline bool IsSpace(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

}  // namespace

// ---- TStrings -------------------------------------------------------------

void TStrings::IndexError(int Index)
{
    throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
}

TObject* TStrings::GetObject(int) const
{
    return nullptr;
}

void TStrings::Put(int Index, const std::string& S)
{
    TObject* object = GetObject(Index);
    BeginUpdate();
    Delete(Index);
    InsertObject(Index, S, object);
    EndUpdate();
}

void TStrings::PutObject(int, TObject*) {}

void TStrings::InsertObject(int Index, const std::string& S, TObject* AObject)
{
    Insert(Index, S);
    PutObject(Index, AObject);
}

int TStrings::Add(const std::string& S)
{
    const int index = GetCount();
    Insert(index, S);
    return index;
}

int TStrings::AddObject(const std::string& S, TObject* AObject)
{
    const int index = Add(S);
    PutObject(index, AObject);
    return index;
}

void TStrings::AddStrings(const TStrings* Strings)
{
    if (!Strings)
        return;
    BeginUpdate();
    const int count = Strings->GetCount();
    for (int i = 0; i < count; ++i)
        AddObject(Strings->Get(i), Strings->GetObject(i));
    EndUpdate();
}

void TStrings::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex)
        return;
    const int count = GetCount();
    if (CurIndex < 0 || CurIndex >= count)
        IndexError(CurIndex);
    if (NewIndex < 0 || NewIndex >= count)
        IndexError(NewIndex);
    BeginUpdate();
    const std::string s = Get(CurIndex);
    TObject* object = GetObject(CurIndex);
    Delete(CurIndex);
    InsertObject(NewIndex, s, object);
    EndUpdate();
}

void TStrings::Exchange(int Index1, int Index2)
{
    if (Index1 == Index2)
        return;
    BeginUpdate();
    const std::string s1 = Get(Index1);
    TObject* o1 = GetObject(Index1);
    Put(Index1, Get(Index2));
    PutObject(Index1, GetObject(Index2));
    Put(Index2, s1);
    PutObject(Index2, o1);
    EndUpdate();
}

int TStrings::CompareStrings(const std::string& S1, const std::string& S2) const
{
    return CompareNoCase(S1, S2);
}

int TStrings::IndexOf(const std::string& S) const
{
    const int count = GetCount();
    for (int i = 0; i < count; ++i)
        if (CompareStrings(Get(i), S) == 0)
            return i;
    return -1;
}

int TStrings::IndexOfName(const std::string& Name) const
{
    const int count = GetCount();
    for (int i = 0; i < count; ++i) {
        const std::string s = Get(i);
        const auto p = s.find(FNameValueSeparator);
        if (p != std::string::npos && CompareStrings(s.substr(0, p), Name) == 0)
            return i;
    }
    return -1;
}

int TStrings::IndexOfObject(const TObject* AObject) const
{
    const int count = GetCount();
    for (int i = 0; i < count; ++i)
        if (GetObject(i) == AObject)
            return i;
    return -1;
}

bool TStrings::Equals(const TStrings* Strings) const
{
    if (!Strings || Strings->GetCount() != GetCount())
        return false;
    for (int i = 0; i < GetCount(); ++i)
        if (Get(i) != Strings->Get(i))
            return false;
    return true;
}

void TStrings::Assign(TPersistent* Source)
{
    if (auto* source = dynamic_cast<TStrings*>(Source)) {
        if (source == this)
            return;
        BeginUpdate();
        try {
            Clear();
            FDelimiter = source->FDelimiter;
            FQuoteChar = source->FQuoteChar;
            FNameValueSeparator = source->FNameValueSeparator;
            FStrictDelimiter = source->FStrictDelimiter;
            AddStrings(source);
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
        return;
    }
    TPersistent::Assign(Source);
}

void TStrings::BeginUpdate()
{
    if (FUpdateCount == 0)
        SetUpdateState(true);
    ++FUpdateCount;
}

void TStrings::EndUpdate()
{
    if (FUpdateCount <= 0)
        return;
    --FUpdateCount;
    if (FUpdateCount == 0)
        SetUpdateState(false);
}

void TStrings::SetUpdateState(bool) {}

std::string TStrings::Names(int Index) const
{
    const std::string s = Get(Index);
    const auto p = s.find(FNameValueSeparator);
    return p == std::string::npos ? std::string() : s.substr(0, p);
}

std::string TStrings::Values(const std::string& Name) const
{
    const int i = IndexOfName(Name);
    return i < 0 ? std::string() : ValueFromIndex(i);
}

void TStrings::SetValues(const std::string& Name, const std::string& Value)
{
    const int i = IndexOfName(Name);
    if (Value.empty()) {
        if (i >= 0)
            Delete(i);
        return;
    }
    const std::string item = Name + FNameValueSeparator + Value;
    if (i < 0)
        Add(item);
    else
        Put(i, item);
}

std::string TStrings::ValueFromIndex(int Index) const
{
    const std::string s = Get(Index);
    const auto p = s.find(FNameValueSeparator);
    return p == std::string::npos ? std::string() : s.substr(p + 1);
}

void TStrings::SetValueFromIndex(int Index, const std::string& Value)
{
    if (Value.empty()) {
        Delete(Index);
        return;
    }
    Put(Index, Names(Index) + FNameValueSeparator + Value);
}

std::string TStrings::GetText() const
{
    std::string result;
    const int count = GetCount();
    for (int i = 0; i < count; ++i) {
        result += Get(i);
        result += kLineBreak;
    }
    return result;
}

void TStrings::SetText(const std::string& Value)
{
    BeginUpdate();
    try {
        Clear();
        std::size_t start = 0;
        const std::size_t n = Value.size();
        while (start < n) {
            std::size_t end = start;
            while (end < n && Value[end] != '\r' && Value[end] != '\n')
                ++end;
            Add(Value.substr(start, end - start));
            if (end < n && Value[end] == '\r')
                ++end;
            if (end < n && Value[end] == '\n')
                ++end;
            start = end;
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

std::string TStrings::GetDelimitedText(char delimiter, char quote, bool strict) const
{
    const int count = GetCount();
    if (count == 1 && Get(0).empty())
        return std::string(2, quote);
    std::string result;
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            result += delimiter;
        const std::string s = Get(i);
        bool needsQuotes = false;
        for (char c : s)
            if (c == delimiter || c == quote || (!strict && IsSpace(c))) {
                needsQuotes = true;
                break;
            }
        if (!needsQuotes) {
            result += s;
            continue;
        }
        result += quote;
        for (char c : s) {
            if (c == quote)
                result += quote;
            result += c;
        }
        result += quote;
    }
    return result;
}

void TStrings::SetDelimitedText(const std::string& value, char delimiter, char quote, bool strict)
{
    BeginUpdate();
    try {
        Clear();
        const std::size_t n = value.size();
        std::size_t i = 0;
        auto skipSpaces = [&] {
            if (!strict)
                while (i < n && IsSpace(value[i]) && value[i] != delimiter)
                    ++i;
        };
        // Reads a quoted field from the opening quote; an unterminated one
        // runs to the end of the text.
        auto readQuoted = [&](std::string& item) {
            ++i;
            while (i < n) {
                if (value[i] == quote) {
                    if (i + 1 < n && value[i + 1] == quote) {
                        item += quote;
                        i += 2;
                        continue;
                    }
                    ++i;
                    return;
                }
                item += value[i++];
            }
        };
        skipSpaces();
        while (i < n) {
            std::string item;
            if (value[i] == quote) {
                readQuoted(item);
                // With a strict delimiter, text after the closing quote still
                // belongs to the field.
                if (strict)
                    while (i < n && value[i] != delimiter)
                        item += value[i++];
            } else if (strict) {
                while (i < n && value[i] != delimiter)
                    item += value[i++];
            } else {
                while (i < n && !IsSpace(value[i]) && value[i] != delimiter)
                    item += value[i++];
            }
            Add(item);
            skipSpaces();
            if (i < n && value[i] == delimiter) {
                ++i;
                if (i == n)
                    Add(std::string());
                skipSpaces();
            }
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

std::string TStrings::DelimitedText() const
{
    return GetDelimitedText(FDelimiter, FQuoteChar, FStrictDelimiter);
}

void TStrings::SetDelimitedText(const std::string& Value)
{
    SetDelimitedText(Value, FDelimiter, FQuoteChar, FStrictDelimiter);
}

std::string TStrings::CommaText() const
{
    return GetDelimitedText(',', '"', false);
}

void TStrings::SetCommaText(const std::string& Value)
{
    SetDelimitedText(Value, ',', '"', false);
}

void TStrings::LoadFromFile(const std::string& FileName)
{
    SetText(DecodeTextFile(ReadWholeFile(FileName)));
}

void TStrings::LoadFromStream(TStream* Stream)
{
    // Read to the end rather than trusting Size: pipes and devices have none.
    std::string data;
    char buffer[65536];
    for (;;) {
        const std::int64_t got = Stream->Read(buffer, sizeof buffer);
        if (got <= 0)
            break;
        data.append(buffer, static_cast<std::size_t>(got));
    }
    SetText(DecodeTextFile(std::move(data)));
}

void TStrings::SaveToFile(const std::string& FileName) const
{
    WriteFileAtomically(FileName, GetText());
}

void TStrings::SaveToStream(TStream* Stream) const
{
    const std::string text = GetText();
    Stream->WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
}

// ---- TStringList ----------------------------------------------------------

TStringList::~TStringList()
{
    OnChange = nullptr;
    OnChanging = nullptr;
    if (FOwnsObjects)
        for (auto& item : FList)
            FreeAndNil(item.FObject);
}

void TStringList::CheckIndex(int Index, int Limit) const
{
    if (Index < 0 || Index >= Limit)
        IndexError(Index);
}

void TStringList::CheckUnsorted() const
{
    if (FSorted)
        throw EListError("Operation not allowed on sorted list");
}

void TStringList::Changed()
{
    if (UpdateCount() == 0 && OnChange)
        OnChange(this);
}

void TStringList::Changing()
{
    if (UpdateCount() == 0 && OnChanging)
        OnChanging(this);
}

void TStringList::SetUpdateState(bool Updating)
{
    if (Updating)
        Changing();
    else
        Changed();
}

int TStringList::CompareStrings(const std::string& S1, const std::string& S2) const
{
    if (FCaseSensitive)
        return S1.compare(S2) < 0 ? -1 : (S1 == S2 ? 0 : 1);
    return CompareNoCase(S1, S2);
}

std::string TStringList::Get(int Index) const
{
    CheckIndex(Index, GetCount());
    return FList[static_cast<std::size_t>(Index)].FString;
}

TObject* TStringList::GetObject(int Index) const
{
    CheckIndex(Index, GetCount());
    return FList[static_cast<std::size_t>(Index)].FObject;
}

void TStringList::Put(int Index, const std::string& S)
{
    CheckUnsorted();
    CheckIndex(Index, GetCount());
    Changing();
    FList[static_cast<std::size_t>(Index)].FString = S;
    Changed();
}

void TStringList::PutObject(int Index, TObject* AObject)
{
    CheckIndex(Index, GetCount());
    Changing();
    FList[static_cast<std::size_t>(Index)].FObject = AObject;
    Changed();
}

int TStringList::Add(const std::string& S)
{
    return AddObject(S, nullptr);
}

int TStringList::AddObject(const std::string& S, TObject* AObject)
{
    int index = GetCount();
    if (FSorted && Find(S, index)) {
        if (FDuplicates == dupIgnore)
            return index;
        if (FDuplicates == dupError)
            throw EListError("String list does not allow duplicates");
    }
    InsertItem(index, S, AObject);
    return index;
}

void TStringList::Insert(int Index, const std::string& S)
{
    InsertObject(Index, S, nullptr);
}

void TStringList::InsertObject(int Index, const std::string& S, TObject* AObject)
{
    CheckUnsorted();
    CheckIndex(Index, GetCount() + 1);
    InsertItem(Index, S, AObject);
}

void TStringList::InsertItem(int Index, const std::string& S, TObject* AObject)
{
    Changing();
    FList.insert(FList.begin() + Index, TStringItem{S, AObject});
    Changed();
}

void TStringList::Delete(int Index)
{
    CheckIndex(Index, GetCount());
    Changing();
    TObject* object = FList[static_cast<std::size_t>(Index)].FObject;
    FList.erase(FList.begin() + Index);
    if (FOwnsObjects)
        FreeAndNil(object);
    Changed();
}

void TStringList::Clear()
{
    if (FList.empty())
        return;
    Changing();
    std::vector<TStringItem> old;
    old.swap(FList);
    if (FOwnsObjects)
        for (auto& item : old)
            FreeAndNil(item.FObject);
    Changed();
}

// Moving or exchanging items would break a sorted list's order, on which
// Find and Add rely, so both are refused there.
void TStringList::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex)
        return;
    CheckUnsorted();
    CheckIndex(CurIndex, GetCount());
    CheckIndex(NewIndex, GetCount());
    Changing();
    TStringItem item = std::move(FList[static_cast<std::size_t>(CurIndex)]);
    FList.erase(FList.begin() + CurIndex);
    FList.insert(FList.begin() + NewIndex, std::move(item));
    Changed();
}

void TStringList::Exchange(int Index1, int Index2)
{
    CheckUnsorted();
    CheckIndex(Index1, GetCount());
    CheckIndex(Index2, GetCount());
    Changing();
    ExchangeItems(Index1, Index2);
    Changed();
}

void TStringList::ExchangeItems(int Index1, int Index2)
{
    std::swap(FList[static_cast<std::size_t>(Index1)], FList[static_cast<std::size_t>(Index2)]);
}

bool TStringList::Find(const std::string& S, int& Index) const
{
    int low = 0;
    int high = GetCount();
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (CompareStrings(FList[static_cast<std::size_t>(mid)].FString, S) < 0)
            low = mid + 1;
        else
            high = mid;
    }
    Index = low;
    return low < GetCount() && CompareStrings(FList[static_cast<std::size_t>(low)].FString, S) == 0;
}

int TStringList::IndexOf(const std::string& S) const
{
    if (FSorted) {
        int index = -1;
        return Find(S, index) ? index : -1;
    }
    const int count = GetCount();
    for (int i = 0; i < count; ++i)
        if (CompareStrings(FList[static_cast<std::size_t>(i)].FString, S) == 0)
            return i;
    return -1;
}

int TStringList::IndexOfName(const std::string& Name) const
{
    const char separator = NameValueSeparator();
    const int count = GetCount();
    for (int i = 0; i < count; ++i) {
        const std::string& s = FList[static_cast<std::size_t>(i)].FString;
        const auto p = s.find(separator);
        if (p == std::string::npos || p != Name.size())
            continue;
        if (FCaseSensitive ? s.compare(0, p, Name) == 0 : SameNoCase(std::string_view(s).substr(0, p), Name))
            return i;
    }
    return -1;
}

void TStringList::Sort()
{
    if (FList.size() < 2)
        return;
    Changing();
    std::stable_sort(FList.begin(), FList.end(), [this](const TStringItem& a, const TStringItem& b) {
        return CompareStrings(a.FString, b.FString) < 0;
    });
    Changed();
}

void TStringList::CustomSort(TStringListSortCompare Compare)
{
    if (FSorted || FList.size() < 2 || !Compare)
        return;
    Changing();
    QuickSort(0, GetCount() - 1, Compare);
    Changed();
}

// In-place sort that only compares and exchanges by index, because the
// comparison reads the list itself. Equal keys meet in the middle, so lists
// of duplicates stay fast; recursion goes into the smaller part only.
void TStringList::QuickSort(int L, int R, TStringListSortCompare Compare)
{
    while (L < R) {
        int i = L;
        int j = R;
        int p = L + (R - L) / 2;
        while (i <= j) {
            while (Compare(this, i, p) < 0)
                ++i;
            while (Compare(this, j, p) > 0)
                --j;
            if (i <= j) {
                if (i != j) {
                    ExchangeItems(i, j);
                    if (p == i)
                        p = j;
                    else if (p == j)
                        p = i;
                }
                ++i;
                --j;
            }
        }
        if (j - L < R - i) {
            if (L < j)
                QuickSort(L, j, Compare);
            L = i;
        } else {
            if (i < R)
                QuickSort(i, R, Compare);
            R = j;
        }
    }
}

void TStringList::SetSorted(bool Value)
{
    if (FSorted == Value)
        return;
    if (Value)
        Sort();
    FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value)
{
    if (FCaseSensitive == Value)
        return;
    FCaseSensitive = Value;
    if (FSorted)
        Sort();
}
