#pragma once
// Lists of strings with an object per item. TStrings is the abstract shape
// every list of lines shares - controls keep their items in descendants that
// override the storage methods - with the text forms built on top of it:
// Text (lines with CR LF), CommaText/DelimitedText (quoted fields) and
// name=value pairs. TStringList stores the items itself and adds sorting,
// duplicates handling and change events.
#include "platform/classes/Events.h"
#include "platform/classes/Persistent.h"

#include <string>
#include <vector>

class TStream;

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStrings : public TPersistent {
public:
    // ---- storage a descendant provides ----
    virtual std::string Get(int Index) const = 0;
    virtual int GetCount() const = 0;
    virtual TObject* GetObject(int Index) const;
    virtual void Put(int Index, const std::string& S);
    virtual void PutObject(int Index, TObject* AObject);
    virtual void Insert(int Index, const std::string& S) = 0;
    virtual void InsertObject(int Index, const std::string& S, TObject* AObject);
    virtual void Delete(int Index) = 0;
    virtual void Clear() = 0;

    // ---- operations built on the storage ----
    virtual int Add(const std::string& S);
    virtual int AddObject(const std::string& S, TObject* AObject);
    void Append(const std::string& S) { Add(S); }
    void AddStrings(const TStrings* Strings);
    virtual void Move(int CurIndex, int NewIndex);
    virtual void Exchange(int Index1, int Index2);
    virtual int IndexOf(const std::string& S) const;
    virtual int IndexOfName(const std::string& Name) const;
    int IndexOfObject(const TObject* AObject) const;
    bool Equals(const TStrings* Strings) const;
    void Assign(TPersistent* Source) override;

    // Changes between BeginUpdate and EndUpdate are reported once, at the end.
    void BeginUpdate();
    void EndUpdate();

    // ---- property-style access ----
    int Count() const { return GetCount(); }
    std::string Strings(int Index) const { return Get(Index); }
    std::string operator[](int Index) const { return Get(Index); }
    void SetStrings(int Index, const std::string& S) { Put(Index, S); }
    TObject* Objects(int Index) const { return GetObject(Index); }
    void SetObjects(int Index, TObject* AObject) { PutObject(Index, AObject); }

    // Name=value items: Names is the part before the separator ("" without
    // one), Values looks a name up without regard to case; setting a value
    // to "" removes the item.
    std::string Names(int Index) const;
    std::string Values(const std::string& Name) const;
    void SetValues(const std::string& Name, const std::string& Value);
    std::string ValueFromIndex(int Index) const;
    void SetValueFromIndex(int Index, const std::string& Value);
    char NameValueSeparator() const { return FNameValueSeparator; }
    void SetNameValueSeparator(char C) { FNameValueSeparator = C; }

    // Every item followed by CR LF; setting splits at CR LF, LF or CR.
    virtual std::string GetText() const;
    virtual void SetText(const std::string& Value);
    std::string Text() const { return GetText(); }

    // Items separated by Delimiter; an item holding spaces, the delimiter or
    // the quote is quoted (quotes inside doubled). When reading, spaces also
    // separate items unless StrictDelimiter is set.
    std::string DelimitedText() const;
    void SetDelimitedText(const std::string& Value);
    // DelimitedText with "," and '"' whatever Delimiter and QuoteChar are.
    std::string CommaText() const;
    void SetCommaText(const std::string& Value);
    char Delimiter() const { return FDelimiter; }
    void SetDelimiter(char C) { FDelimiter = C; }
    char QuoteChar() const { return FQuoteChar; }
    void SetQuoteChar(char C) { FQuoteChar = C; }
    bool StrictDelimiter() const { return FStrictDelimiter; }
    void SetStrictDelimiter(bool Value) { FStrictDelimiter = Value; }

    // Files and streams hold Text; a byte-order mark (UTF-8 or UTF-16) is
    // recognised when loading. Saving replaces a file atomically.
    virtual void LoadFromFile(const std::string& FileName);
    virtual void LoadFromStream(TStream* Stream);
    virtual void SaveToFile(const std::string& FileName) const;
    virtual void SaveToStream(TStream* Stream) const;

protected:
    // Called with true when the first BeginUpdate starts a batch, false when
    // the last EndUpdate ends it.
    virtual void SetUpdateState(bool Updating);
    int UpdateCount() const { return FUpdateCount; }
    // How items compare; TStrings ignores case, TStringList may not.
    virtual int CompareStrings(const std::string& S1, const std::string& S2) const;
    [[noreturn]] static void IndexError(int Index);

private:
    std::string GetDelimitedText(char delimiter, char quote, bool strict) const;
    void SetDelimitedText(const std::string& value, char delimiter, char quote, bool strict);

    int FUpdateCount = 0;
    char FDelimiter = ',';
    char FQuoteChar = '"';
    char FNameValueSeparator = '=';
    bool FStrictDelimiter = false;
};

class TStringList;
using TStringListSortCompare = int (*)(TStringList* List, int Index1, int Index2);

class TStringList : public TStrings {
public:
    TStringList() = default;
    // With OwnsObjects the list frees an item's object when the item goes.
    explicit TStringList(bool OwnsObjects) : FOwnsObjects(OwnsObjects) {}
    ~TStringList() override;

    std::string Get(int Index) const override;
    int GetCount() const override { return static_cast<int>(FList.size()); }
    TObject* GetObject(int Index) const override;
    void Put(int Index, const std::string& S) override;
    void PutObject(int Index, TObject* AObject) override;
    int Add(const std::string& S) override;
    int AddObject(const std::string& S, TObject* AObject) override;
    void Insert(int Index, const std::string& S) override;
    void InsertObject(int Index, const std::string& S, TObject* AObject) override;
    void Delete(int Index) override;
    void Clear() override;
    void Move(int CurIndex, int NewIndex) override;
    void Exchange(int Index1, int Index2) override;
    int IndexOf(const std::string& S) const override;
    int IndexOfName(const std::string& Name) const override;

    // Binary search of a sorted list: true when S is there; Index is where it
    // is (the first of equal items) or where it would go.
    virtual bool Find(const std::string& S, int& Index) const;
    virtual void Sort();
    virtual void CustomSort(TStringListSortCompare Compare);

    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool Value);
    bool OwnsObjects() const { return FOwnsObjects; }
    void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    void SetUpdateState(bool Updating) override;
    int CompareStrings(const std::string& S1, const std::string& S2) const override;
    virtual void Changed();
    virtual void Changing();

private:
    struct TStringItem {
        std::string FString;
        TObject* FObject = nullptr;
    };
    void CheckIndex(int Index, int Limit) const;
    void CheckUnsorted() const;
    void InsertItem(int Index, const std::string& S, TObject* AObject);
    void QuickSort(int L, int R, TStringListSortCompare Compare);
    void ExchangeItems(int Index1, int Index2);

    std::vector<TStringItem> FList;
    TDuplicates FDuplicates = dupIgnore;
    bool FSorted = false;
    bool FCaseSensitive = false;
    bool FOwnsObjects = false;
};
