#pragma once
// Generated piece sections for skin tests: for any piece class, a section in
// which every key the class writes holds a value that differs from its
// default and from every other key's value, in canonical text, so that a load
// and save must give the same text back.
#include "skin/core/SkinControlPieces.h"
#include "skin/core/SkinObjects.h"
#include "skin/core/SkinPieceKinds.h"
#include "skin/core/SkinWindowData.h"

#include "SkinModelTestSupport.h"

#include <functional>
#include <map>
#include <memory>
#include <regex>
#include <string>
#include <vector>

namespace tarnello::test {

// Something that reads and writes one section.
struct SectionIO {
    std::string Section;
    std::function<void(TCustomIniFile&)> Load;
    std::function<void(TCustomIniFile&)> Save;
    std::shared_ptr<void> Keep;  // the object behind the two functions
};

using MakeIO = std::function<SectionIO()>;

inline SectionIO ControlIO(const std::string& kind)
{
    std::shared_ptr<TspDataSkinControl> piece(CreateSkinControl(kind, "piece1"));
    return {"piece1", [piece](TCustomIniFile& f) { piece->LoadFromFile(f); },
            [piece](TCustomIniFile& f) { piece->SaveToFile(f); }, piece};
}

inline SectionIO ObjectIO(const std::string& kind)
{
    std::shared_ptr<TspDataSkinObject> object(CreateSkinObject(kind, "object1"));
    return {"object1", [object](TCustomIniFile& f) { object->LoadFromFile(f); },
            [object](TCustomIniFile& f) { object->SaveToFile(f); }, object};
}

template <class T>
SectionIO WindowIO(const std::string& section)
{
    auto data = std::make_shared<T>();
    return {section, [data](TCustomIniFile& f) { data->LoadFromFile(f); },
            [data](TCustomIniFile& f) { data->SaveToFile(f); }, data};
}

struct KeyValue {
    std::string Key, Value;
};

inline std::vector<KeyValue> SavedKeys(const MakeIO& make, const std::string& withText = "")
{
    SectionIO io = make();
    auto ini = IniFromText(withText);
    if (!withText.empty())
        io.Load(*ini);
    auto out = IniFromText("");
    io.Save(*out);
    TStringList values;
    out->ReadSectionValues(io.Section, &values);
    std::vector<KeyValue> keys;
    for (int i = 0; i < values.Count(); ++i)
        keys.push_back({values.Names(i), values.ValueFromIndex(i)});
    return keys;
}

inline std::string Render(const std::string& section, const std::vector<KeyValue>& keys)
{
    std::string text = "[" + section + "]\n";
    for (const auto& kv : keys)
        text += kv.Key + "=" + kv.Value + "\n";
    return text;
}

// Another word of the same enumeration than the one given, or "" when the
// text is no enumeration word.
inline std::string OtherWord(const std::string& word)
{
    static const std::map<std::string, std::vector<std::string>> families{
        {"st", {"stfull", "sthorz", "stvert"}},
        {"mk", {"mkdefault", "mkgradient", "mkleftgradient", "mkrightgradient", "mkleftslide", "mkrightslide", "mkpush"}},
        {"ie", {"iebrightness", "iedarkness", "iegrayscale", "ienoise", "iesplitblur", "ieinvert"}},
        {"fp", {"fphorizontal", "fpvertical"}},
        {"rk", {"rkround", "rkhorizontal", "rkvertical"}},
        {"gk", {"gkhorizontal", "gkvertical"}},
        {"cm", {"cmclose", "cmmaximize", "cmminimize", "cmsysmenu", "cmdefault", "cmrollup"}},
        {"ta", {"taleftjustify", "tarightjustify", "tacenter"}},
    };
    for (const auto& [prefix, words] : families)
        for (std::size_t i = 0; i < words.size(); ++i)
            if (words[i] == word)
                return words[(i + 1) % words.size()] == "sthorz" ? "stvert" : words[(i + 1) % words.size()];
    return "";
}

// Builds a section in which every key the class writes holds a value that
// differs from its default and from every other key's value, in canonical
// form, so that a load and save must give the same text back.
inline std::vector<KeyValue> DistinctSection(const MakeIO& make)
{
    const std::vector<KeyValue> defaults = SavedKeys(make);
    static const std::regex rect(R"(-?\d+,-?\d+,-?\d+,-?\d+)"), point(R"(-?\d+,-?\d+)"), integer(R"(-?\d+)");
    // Integers that come back as 0 after reading 2 are booleans.
    std::vector<KeyValue> probe = defaults;
    for (auto& kv : probe)
        if (std::regex_match(kv.Value, integer) && kv.Key.find("linecount") == std::string::npos)
            kv.Value = "2";
    std::map<std::string, std::string> probed;
    for (const auto& kv : SavedKeys(make, Render(make().Section, probe)))
        probed[kv.Key] = kv.Value;

    std::vector<KeyValue> keys;
    int n = 10;
    for (const auto& kv : defaults) {
        ++n;
        std::string v;
        if (kv.Key.size() > 9 && kv.Key.ends_with("linecount")) {
            const std::string stem = kv.Key.substr(0, kv.Key.size() - 9);
            keys.push_back({kv.Key, "2"});
            keys.push_back({stem + "line0", "0123456789"});
            keys.push_back({stem + "line1", "ABC"});
            continue;
        }
        if (std::regex_match(kv.Value, rect))
            v = std::to_string(-n) + "," + std::to_string(n + 1) + "," + std::to_string(n + 40) + "," +
                std::to_string(n + 50);
        else if (std::regex_match(kv.Value, point))
            v = std::to_string(n) + "," + std::to_string(-n - 1);
        else if (std::regex_match(kv.Value, integer))
            v = probed[kv.Key] == "0" ? "1" : std::to_string(100 + n);
        else if (kv.Key.find("fontstyle") != std::string::npos)
            v = "fsbold,fsstrikeout";
        else if (!OtherWord(kv.Value).empty())
            v = OtherWord(kv.Value);
        else
            v = "text " + std::to_string(n);
        keys.push_back({kv.Key, v});
    }
    return keys;
}

// Keys whose value a class corrects on loading, whatever the file says.
inline const std::map<std::string, std::map<std::string, std::string>>& Corrections()
{
    static const std::map<std::string, std::map<std::string, std::string>> fixes{
        {"control:updown",
         {{"lefttoppoint", "0,0"}, {"righttoppoint", "0,0"}, {"leftbottompoint", "0,0"},
          {"rightbottompoint", "0,0"}, {"clientrect", "0,0,0,0"}}},
        {"object:bitlabel", {{"morphing", "0"}}},
        {"object:animate", {{"morphing", "0"}}},
        {"object:trackbar", {{"morphing", "0"}}},
    };
    return fixes;
}

}  // namespace tarnello::test
