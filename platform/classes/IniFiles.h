#pragma once
// INI files: named sections of key=value lines. Section and key names match
// without regard to case; values are kept exactly. Lines that are not
// key=value (comments, blank lines, stray text) are kept as they are and
// written back, so editing one value never loses the rest of a hand-made file.
//
// TMemIniFile holds the text in memory and writes it on UpdateFile;
// TIniFile writes every change through to its file (atomically) and notices
// when another writer has replaced the file.
#include "platform/classes/FileIO.h"
#include "platform/classes/Object.h"
#include "platform/rtl/Exceptions.h"

#include <string>
#include <unordered_map>
#include <vector>

class TStrings;

TARNELLO_EXCEPTION_CLASS(EIniFileException, Exception);

namespace tarnello::classes {

// The parsed content of one INI text, shared by both file classes.
class TIniContent {
public:
    void Parse(const std::string& text);
    std::string Render() const;
    void Clear();

    const std::string* Find(std::string_view section, std::string_view key) const;
    void Write(std::string_view section, std::string_view key, std::string_view value);
    bool HasSection(std::string_view section) const;
    void SectionKeys(std::string_view section, TStrings* keys) const;
    void SectionValues(std::string_view section, TStrings* values) const;
    void SectionNames(TStrings* names) const;
    void EraseSection(std::string_view section);
    void DeleteKey(std::string_view section, std::string_view key);

private:
    struct TLine {
        std::string text;  // the line as read, for lines that are not key=value
        std::string key;
        std::string value;
        bool pair = false;
    };
    struct TSection {
        std::string name;
        std::vector<TLine> lines;
        std::unordered_map<std::string, std::size_t> keys;  // lower-case key -> first line
        void Reindex();
    };
    TSection* FindSection(std::string_view section);
    const TSection* FindSection(std::string_view section) const;
    void Reindex();

    std::vector<TLine> FPreamble;  // lines before the first section
    std::vector<TSection> FSections;
    std::unordered_map<std::string, std::size_t> FSectionIndex;
};

}  // namespace tarnello::classes

class TCustomIniFile : public TObject {
public:
    explicit TCustomIniFile(std::string AFileName) : FFileName(std::move(AFileName)) {}

    const std::string& FileName() const { return FFileName; }

    virtual std::string ReadString(const std::string& Section, const std::string& Ident,
                                   const std::string& Default) = 0;
    // Raises EIniFileException for a name or value that cannot be stored as
    // one line (line breaks, "=" in a key, "]" in a section name).
    virtual void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) = 0;
    // Decimal, or hexadecimal after "$" or "0x"; anything else gives Default.
    virtual int ReadInteger(const std::string& Section, const std::string& Ident, int Default);
    virtual void WriteInteger(const std::string& Section, const std::string& Ident, int Value);
    // An integer: 0 is false, any other number true; anything else Default.
    virtual bool ReadBool(const std::string& Section, const std::string& Ident, bool Default);
    virtual void WriteBool(const std::string& Section, const std::string& Ident, bool Value);
    // "." is the decimal separator in files, whatever the user's settings.
    virtual double ReadFloat(const std::string& Section, const std::string& Ident, double Default);
    virtual void WriteFloat(const std::string& Section, const std::string& Ident, double Value);

    virtual void ReadSection(const std::string& Section, TStrings* Strings) = 0;
    virtual void ReadSections(TStrings* Strings) = 0;
    virtual void ReadSectionValues(const std::string& Section, TStrings* Strings) = 0;
    virtual void EraseSection(const std::string& Section) = 0;
    virtual void DeleteKey(const std::string& Section, const std::string& Ident) = 0;
    virtual void UpdateFile() = 0;
    virtual bool SectionExists(const std::string& Section) = 0;
    virtual bool ValueExists(const std::string& Section, const std::string& Ident) = 0;

protected:
    static void CheckWritable(const std::string& Section, const std::string& Ident, const std::string& Value);
    std::string FFileName;
};

class TMemIniFile : public TCustomIniFile {
public:
    // Loads FileName when it exists; an unreadable file raises EFOpenError.
    explicit TMemIniFile(const std::string& AFileName);
    // Takes its content from Strings; UpdateFile needs a FileName (Rename).
    explicit TMemIniFile(const TStrings* Strings);

    std::string ReadString(const std::string& Section, const std::string& Ident,
                           const std::string& Default) override;
    void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) override;
    void ReadSection(const std::string& Section, TStrings* Strings) override;
    void ReadSections(TStrings* Strings) override;
    void ReadSectionValues(const std::string& Section, TStrings* Strings) override;
    void EraseSection(const std::string& Section) override;
    void DeleteKey(const std::string& Section, const std::string& Ident) override;
    void UpdateFile() override;
    bool SectionExists(const std::string& Section) override;
    bool ValueExists(const std::string& Section, const std::string& Ident) override;

    void Clear();
    void GetStrings(TStrings* List) const;
    void SetStrings(const TStrings* List);
    // Changes the file name; with Reload the content is read from it.
    void Rename(const std::string& AFileName, bool Reload);

private:
    tarnello::classes::TIniContent FContent;
};

class TIniFile : public TCustomIniFile {
public:
    // Reads FileName when it exists; an unreadable file raises EFOpenError.
    // A write that cannot replace the file raises EIniFileException.
    explicit TIniFile(const std::string& AFileName);

    std::string ReadString(const std::string& Section, const std::string& Ident,
                           const std::string& Default) override;
    void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) override;
    void ReadSection(const std::string& Section, TStrings* Strings) override;
    void ReadSections(TStrings* Strings) override;
    void ReadSectionValues(const std::string& Section, TStrings* Strings) override;
    void EraseSection(const std::string& Section) override;
    void DeleteKey(const std::string& Section, const std::string& Ident) override;
    // Writes are already in the file; this makes sure they are on disk.
    void UpdateFile() override;
    bool SectionExists(const std::string& Section) override;
    bool ValueExists(const std::string& Section, const std::string& Ident) override;

private:
    void Refresh();
    void Store(tarnello::classes::TWriteDurability durability);

    tarnello::classes::TIniContent FContent;
    tarnello::classes::TFileStamp FStamp;
    bool FStale = false;
};
