#include "platform/classes/PropertyTables.h"

#include "platform/classes/TextHelpers.h"

#include <algorithm>

using tarnello::classes::SameNoCase;

TEnumInfo::TEnumInfo(const char* TypeName, const char* Names, std::vector<std::int64_t> Values) : FTypeName(TypeName)
{
    // The names arrive as the macro's argument text: "alNone, alTop, ...".
    std::string_view rest(Names);
    std::size_t index = 0;
    while (!rest.empty() && index < Values.size()) {
        std::size_t comma = rest.find(',');
        std::string_view name = tarnello::classes::TrimView(rest.substr(0, comma));
        // A scoped enumeration's values are written qualified; descriptions
        // spell the bare name.
        if (auto colon = name.rfind("::"); colon != std::string_view::npos)
            name.remove_prefix(colon + 2);
        FItems.emplace_back(std::string(name), Values[index++]);
        if (comma == std::string_view::npos)
            break;
        rest.remove_prefix(comma + 1);
    }
}

bool TEnumInfo::ValueOf(std::string_view Name, std::int64_t& Value) const
{
    for (const auto& [name, value] : FItems)
        if (SameNoCase(name, Name)) {
            Value = value;
            return true;
        }
    return false;
}

const std::string* TEnumInfo::NameOf(std::int64_t Value) const
{
    for (const auto& item : FItems)
        if (item.second == Value)
            return &item.first;
    return nullptr;
}

const TPropertyInfo* TPropertyTable::FindProperty(std::string_view Name) const
{
    for (const TPropertyTable* t = this; t; t = t->FParent)
        for (const TPropertyInfo& p : t->FProperties)
            if (SameNoCase(p.Name, Name))
                return &p;
    return nullptr;
}

const TMemberEntry* TPropertyTable::FindMember(std::string_view Name) const
{
    for (const TPropertyTable* t = this; t; t = t->FParent)
        for (const TMemberEntry& m : t->FMembers)
            if (SameNoCase(m.Name, Name))
                return &m;
    return nullptr;
}

const TMethodEntry* TPropertyTable::FindMethod(std::string_view Name) const
{
    for (const TPropertyTable* t = this; t; t = t->FParent)
        for (const TMethodEntry& m : t->FMethods)
            if (SameNoCase(m.Name, Name))
                return &m;
    return nullptr;
}

std::vector<const TPropertyInfo*> TPropertyTable::AllProperties() const
{
    std::vector<const TPropertyTable*> chain;
    for (const TPropertyTable* t = this; t; t = t->FParent)
        chain.push_back(t);
    std::vector<const TPropertyInfo*> result;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        for (const TPropertyInfo& p : (*it)->FProperties) {
            // A class that redeclares a row (a new default) replaces the
            // ancestor's row in its place.
            const TPropertyInfo* own = FindProperty(p.Name);
            if (std::find(result.begin(), result.end(), own) == result.end())
                result.push_back(own);
        }
    return result;
}

std::vector<const TMethodEntry*> TPropertyTable::AllMethods() const
{
    std::vector<const TMethodEntry*> result;
    for (const TPropertyTable* t = this; t; t = t->FParent)
        for (const TMethodEntry& m : t->FMethods)
            result.push_back(&m);
    return result;
}

const TPropertyTable& TPersistent::ClassPropertyTable()
{
    static const TPropertyTable table("TPersistent", nullptr);
    return table;
}

const TPropertyTable* TPersistent::PropertyTable() const
{
    return &ClassPropertyTable();
}
