#pragma once
// Helpers of the skin model tests: INI objects from text and back.
#include "platform/classes/IniFiles.h"
#include "platform/classes/StringList.h"

#include <memory>
#include <string>

namespace tarnello::test {

inline std::unique_ptr<TMemIniFile> IniFromText(const std::string& text)
{
    TStringList lines;
    lines.SetText(text);
    return std::make_unique<TMemIniFile>(&lines);
}

// The INI content as text with "\n" line ends.
inline std::string IniText(const TMemIniFile& ini)
{
    TStringList lines;
    ini.GetStrings(&lines);
    std::string text;
    for (int i = 0; i < lines.Count(); ++i)
        text += lines[i] + "\n";
    return text;
}

// The lines of one section, "key=value" each, "\n" separated.
inline std::string SectionText(TCustomIniFile& ini, const std::string& section)
{
    TStringList values;
    ini.ReadSectionValues(section, &values);
    std::string text;
    for (int i = 0; i < values.Count(); ++i)
        text += values[i] + "\n";
    return text;
}

}  // namespace tarnello::test
