#include "platform/classes/IniFiles.h"

#include "platform/classes/StringList.h"
#include "platform/classes/TextHelpers.h"
#include "platform/rtl/SysUtils.h"

namespace tarnello::classes {

namespace {

constexpr const char* kLineBreak = "\r\n";

bool HasLineBreak(std::string_view s)
{
    return s.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace

void TIniContent::TSection::Reindex()
{
    keys.clear();
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].pair)
            keys.emplace(LowerKey(lines[i].key), i);  // the first of equal keys wins
}

void TIniContent::Reindex()
{
    FSectionIndex.clear();
    for (std::size_t i = 0; i < FSections.size(); ++i)
        FSectionIndex.emplace(LowerKey(FSections[i].name), i);
}

void TIniContent::Clear()
{
    FPreamble.clear();
    FSections.clear();
    FSectionIndex.clear();
}

void TIniContent::Parse(const std::string& text)
{
    Clear();
    TSection* current = nullptr;
    const std::size_t n = text.size();
    std::size_t start = 0;
    while (start < n) {
        std::size_t end = start;
        while (end < n && text[end] != '\r' && text[end] != '\n')
            ++end;
        const std::string_view raw(text.data() + start, end - start);
        if (end < n && text[end] == '\r')
            ++end;
        if (end < n && text[end] == '\n')
            ++end;
        start = end;

        const std::string_view line = TrimView(raw);
        if (!line.empty() && line.front() == '[') {
            const auto close = line.find(']');
            if (close != std::string_view::npos) {
                const std::string name(TrimView(line.substr(1, close - 1)));
                const std::string lower = LowerKey(name);
                // A section that appears twice is one section: its keys join
                // the first occurrence.
                auto found = FSectionIndex.find(lower);
                if (found == FSectionIndex.end()) {
                    FSections.push_back(TSection{name, {}, {}});
                    found = FSectionIndex.emplace(lower, FSections.size() - 1).first;
                }
                current = &FSections[found->second];
                continue;
            }
        }
        TLine entry;
        entry.text = std::string(raw);
        const bool comment = !line.empty() && (line.front() == ';' || line.front() == '#');
        if (current && !comment) {
            const auto eq = line.find('=');
            if (eq != std::string_view::npos) {
                const std::string_view key = TrimView(line.substr(0, eq));
                if (!key.empty()) {
                    entry.pair = true;
                    entry.key = std::string(key);
                    entry.value = std::string(TrimView(line.substr(eq + 1)));
                    entry.text.clear();
                }
            }
        }
        if (current) {
            if (entry.pair)
                current->keys.emplace(LowerKey(entry.key), current->lines.size());
            current->lines.push_back(std::move(entry));
        } else {
            FPreamble.push_back(std::move(entry));
        }
    }
}

std::string TIniContent::Render() const
{
    std::string out;
    auto put = [&out](const TLine& line) {
        if (line.pair) {
            out += line.key;
            out += '=';
            out += line.value;
        } else {
            out += line.text;
        }
        out += kLineBreak;
    };
    for (const auto& line : FPreamble)
        put(line);
    for (const auto& section : FSections) {
        out += '[';
        out += section.name;
        out += ']';
        out += kLineBreak;
        for (const auto& line : section.lines)
            put(line);
    }
    return out;
}

TIniContent::TSection* TIniContent::FindSection(std::string_view section)
{
    auto it = FSectionIndex.find(LowerKey(section));
    return it == FSectionIndex.end() ? nullptr : &FSections[it->second];
}

const TIniContent::TSection* TIniContent::FindSection(std::string_view section) const
{
    auto it = FSectionIndex.find(LowerKey(section));
    return it == FSectionIndex.end() ? nullptr : &FSections[it->second];
}

const std::string* TIniContent::Find(std::string_view section, std::string_view key) const
{
    const TSection* s = FindSection(section);
    if (!s)
        return nullptr;
    auto it = s->keys.find(LowerKey(key));
    return it == s->keys.end() ? nullptr : &s->lines[it->second].value;
}

void TIniContent::Write(std::string_view section, std::string_view key, std::string_view value)
{
    TSection* s = FindSection(section);
    if (!s) {
        FSections.push_back(TSection{std::string(section), {}, {}});
        FSectionIndex.emplace(LowerKey(section), FSections.size() - 1);
        s = &FSections.back();
    }
    const std::string lower = LowerKey(key);
    if (auto it = s->keys.find(lower); it != s->keys.end()) {
        s->lines[it->second].value = std::string(value);
        return;
    }
    // A new key goes after the section's last value, ahead of the blank
    // lines and comments that separate it from the next section.
    std::size_t at = s->lines.size();
    while (at > 0 && !s->lines[at - 1].pair)
        --at;
    TLine line;
    line.pair = true;
    line.key = std::string(TrimView(key));
    line.value = std::string(value);
    s->lines.insert(s->lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
    if (at + 1 == s->lines.size())
        s->keys.emplace(lower, at);
    else
        s->Reindex();
}

bool TIniContent::HasSection(std::string_view section) const
{
    return FindSection(section) != nullptr;
}

void TIniContent::SectionKeys(std::string_view section, TStrings* keys) const
{
    keys->BeginUpdate();
    keys->Clear();
    if (const TSection* s = FindSection(section))
        for (std::size_t i = 0; i < s->lines.size(); ++i)
            if (s->lines[i].pair && s->keys.at(LowerKey(s->lines[i].key)) == i)
                keys->Add(s->lines[i].key);
    keys->EndUpdate();
}

void TIniContent::SectionValues(std::string_view section, TStrings* values) const
{
    values->BeginUpdate();
    values->Clear();
    if (const TSection* s = FindSection(section))
        for (std::size_t i = 0; i < s->lines.size(); ++i)
            if (s->lines[i].pair && s->keys.at(LowerKey(s->lines[i].key)) == i)
                values->Add(s->lines[i].key + "=" + s->lines[i].value);
    values->EndUpdate();
}

void TIniContent::SectionNames(TStrings* names) const
{
    names->BeginUpdate();
    names->Clear();
    for (const auto& s : FSections)
        names->Add(s.name);
    names->EndUpdate();
}

void TIniContent::EraseSection(std::string_view section)
{
    auto it = FSectionIndex.find(LowerKey(section));
    if (it == FSectionIndex.end())
        return;
    FSections.erase(FSections.begin() + static_cast<std::ptrdiff_t>(it->second));
    Reindex();
}

void TIniContent::DeleteKey(std::string_view section, std::string_view key)
{
    TSection* s = FindSection(section);
    if (!s)
        return;
    const std::string lower = LowerKey(key);
    bool removed = false;
    // Every line of that key goes, so that a duplicate does not surface.
    for (std::size_t i = s->lines.size(); i-- > 0;)
        if (s->lines[i].pair && SameNoCase(s->lines[i].key, lower)) {
            s->lines.erase(s->lines.begin() + static_cast<std::ptrdiff_t>(i));
            removed = true;
        }
    if (removed)
        s->Reindex();
}

}  // namespace tarnello::classes

using namespace tarnello::classes;

// ---- TCustomIniFile -------------------------------------------------------

void TCustomIniFile::CheckWritable(const std::string& Section, const std::string& Ident, const std::string& Value)
{
    const std::string_view key = TrimView(Ident);
    if (HasLineBreak(Section) || Section.find(']') != std::string::npos)
        throw EIniFileException("Invalid section name \"" + Section + "\"");
    if (key.empty() || HasLineBreak(Ident) || Ident.find('=') != std::string::npos || key.front() == '[' ||
        key.front() == ';' || key.front() == '#')
        throw EIniFileException("Invalid key name \"" + Ident + "\"");
    if (HasLineBreak(Value))
        throw EIniFileException("A value cannot hold a line break (key \"" + Ident + "\")");
}

int TCustomIniFile::ReadInteger(const std::string& Section, const std::string& Ident, int Default)
{
    return StrToIntDef(ReadString(Section, Ident, std::string()), Default);
}

void TCustomIniFile::WriteInteger(const std::string& Section, const std::string& Ident, int Value)
{
    WriteString(Section, Ident, IntToStr(Value));
}

bool TCustomIniFile::ReadBool(const std::string& Section, const std::string& Ident, bool Default)
{
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const std::string& Section, const std::string& Ident, bool Value)
{
    WriteString(Section, Ident, Value ? "1" : "0");
}

double TCustomIniFile::ReadFloat(const std::string& Section, const std::string& Ident, double Default)
{
    double value = 0;
    // Files travel between users: they use "." whatever the user's settings.
    return TryStrToFloat(ReadString(Section, Ident, std::string()), value, InvariantFormatSettings()) ? value
                                                                                                        : Default;
}

void TCustomIniFile::WriteFloat(const std::string& Section, const std::string& Ident, double Value)
{
    WriteString(Section, Ident, FloatToStr(Value, InvariantFormatSettings()));
}

// ---- TMemIniFile ----------------------------------------------------------

TMemIniFile::TMemIniFile(const std::string& AFileName) : TCustomIniFile(AFileName)
{
    if (!FFileName.empty() && GetFileStamp(FFileName).exists)
        FContent.Parse(DecodeTextFile(ReadWholeFile(FFileName)));
}

TMemIniFile::TMemIniFile(const TStrings* Strings) : TCustomIniFile(std::string())
{
    SetStrings(Strings);
}

std::string TMemIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                    const std::string& Default)
{
    const std::string* value = FContent.Find(Section, Ident);
    return value ? *value : Default;
}

void TMemIniFile::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value)
{
    CheckWritable(Section, Ident, Value);
    FContent.Write(TrimView(Section), TrimView(Ident), Value);
}

void TMemIniFile::ReadSection(const std::string& Section, TStrings* Strings)
{
    FContent.SectionKeys(Section, Strings);
}

void TMemIniFile::ReadSections(TStrings* Strings)
{
    FContent.SectionNames(Strings);
}

void TMemIniFile::ReadSectionValues(const std::string& Section, TStrings* Strings)
{
    FContent.SectionValues(Section, Strings);
}

void TMemIniFile::EraseSection(const std::string& Section)
{
    FContent.EraseSection(Section);
}

void TMemIniFile::DeleteKey(const std::string& Section, const std::string& Ident)
{
    FContent.DeleteKey(Section, Ident);
}

void TMemIniFile::UpdateFile()
{
    if (FFileName.empty())
        throw EIniFileException("An INI file without a file name cannot be written");
    WriteFileAtomically(FFileName, FContent.Render());
}

bool TMemIniFile::SectionExists(const std::string& Section)
{
    return FContent.HasSection(Section);
}

bool TMemIniFile::ValueExists(const std::string& Section, const std::string& Ident)
{
    return FContent.Find(Section, Ident) != nullptr;
}

void TMemIniFile::Clear()
{
    FContent.Clear();
}

void TMemIniFile::GetStrings(TStrings* List) const
{
    List->SetText(FContent.Render());
}

void TMemIniFile::SetStrings(const TStrings* List)
{
    FContent.Parse(List ? List->GetText() : std::string());
}

void TMemIniFile::Rename(const std::string& AFileName, bool Reload)
{
    FFileName = AFileName;
    if (!Reload)
        return;
    if (!FFileName.empty() && GetFileStamp(FFileName).exists)
        FContent.Parse(DecodeTextFile(ReadWholeFile(FFileName)));
    else
        FContent.Clear();
}

// ---- TIniFile -------------------------------------------------------------

TIniFile::TIniFile(const std::string& AFileName) : TCustomIniFile(AFileName)
{
    Refresh();
}

// Picks up the file again when it was replaced since we last read or wrote it.
void TIniFile::Refresh()
{
    const TFileStamp stamp = GetFileStamp(FFileName);
    if (FStale || stamp != FStamp) {
        if (stamp.exists)
            FContent.Parse(DecodeTextFile(ReadWholeFile(FFileName)));
        else
            FContent.Clear();
        FStamp = stamp;
        FStale = false;
    }
}

void TIniFile::Store(TWriteDurability durability)
{
    try {
        WriteFileAtomically(FFileName, FContent.Render(), 0644, durability);
    } catch (const EFCreateError& e) {
        // The change never reached the file: read it again next time.
        FStale = true;
        throw EIniFileException("Unable to write to " + FFileName + ": " + e.Message());
    }
    FStamp = GetFileStamp(FFileName);
}

std::string TIniFile::ReadString(const std::string& Section, const std::string& Ident, const std::string& Default)
{
    Refresh();
    const std::string* value = FContent.Find(Section, Ident);
    return value ? *value : Default;
}

void TIniFile::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value)
{
    CheckWritable(Section, Ident, Value);
    Refresh();
    FContent.Write(TrimView(Section), TrimView(Ident), Value);
    Store(TWriteDurability::Fast);
}

void TIniFile::ReadSection(const std::string& Section, TStrings* Strings)
{
    Refresh();
    FContent.SectionKeys(Section, Strings);
}

void TIniFile::ReadSections(TStrings* Strings)
{
    Refresh();
    FContent.SectionNames(Strings);
}

void TIniFile::ReadSectionValues(const std::string& Section, TStrings* Strings)
{
    Refresh();
    FContent.SectionValues(Section, Strings);
}

void TIniFile::EraseSection(const std::string& Section)
{
    Refresh();
    if (!FContent.HasSection(Section))
        return;
    FContent.EraseSection(Section);
    Store(TWriteDurability::Fast);
}

void TIniFile::DeleteKey(const std::string& Section, const std::string& Ident)
{
    Refresh();
    if (!FContent.Find(Section, Ident))
        return;
    FContent.DeleteKey(Section, Ident);
    Store(TWriteDurability::Fast);
}

void TIniFile::UpdateFile()
{
    Refresh();
    if (FStamp.exists)
        Store(TWriteDurability::Durable);
}

bool TIniFile::SectionExists(const std::string& Section)
{
    Refresh();
    return FContent.HasSection(Section);
}

bool TIniFile::ValueExists(const std::string& Section, const std::string& Ident)
{
    Refresh();
    return FContent.Find(Section, Ident) != nullptr;
}
