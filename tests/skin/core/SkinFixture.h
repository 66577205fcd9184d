#pragma once
// A complete skin folder built in code for the skin tests: every section,
// one frame object and one control piece of every kind (each key holding a
// distinct value), areas, cursors and small BMP pictures; and a readable dump
// of everything a loaded skin holds, for comparing loads.
#include "skin/core/SkinData.h"

#include "BmpFixture.h"
#include "PieceSections.h"
#include "SkinModelTestSupport.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <regex>
#include <sstream>
#include <string>

namespace tarnello::test {

inline std::string FormInfoSection()
{
    // Every key the skin data writes under FORMINFO, with a distinct value.
    static const char* const booleans[] = {"leftstretch",        "rightstretch",          "topstretch",
                                           "bottomstretch",      "stretcheffect",         "mdibgstretcheffect",
                                           "buttonsinleft",      "mainmenupopupup",       "mditabstransparent",
                                           "mainmenubartransparent", "autorenderinginactiveimage"};
    TspSkinData fresh(nullptr);
    auto ini = IniFromText("");
    fresh.SaveToCustomIniFile(*ini);
    TStringList values;
    ini->ReadSectionValues("FORMINFO", &values);
    std::string text = "[FORMINFO]\n";
    static const std::regex rect(R"(-?\d+,-?\d+,-?\d+,-?\d+)"), point(R"(-?\d+,-?\d+)"), integer(R"(-?\d+)");
    for (int i = 0; i < values.Count(); ++i) {
        const std::string key = values.Names(i), def = values.ValueFromIndex(i);
        const int n = 5 + i;
        std::string v;
        if (std::find_if(std::begin(booleans), std::end(booleans), [&](const char* b) { return key == b; }) !=
            std::end(booleans))
            v = "1";
        else if (std::regex_match(def, rect))
            v = std::to_string(n) + "," + std::to_string(n + 1) + "," + std::to_string(n + 300) + "," +
                std::to_string(n + 200);
        else if (std::regex_match(def, point))
            v = std::to_string(n) + "," + std::to_string(n + 2);
        else if (std::regex_match(def, integer))
            v = std::to_string(100 + n);
        else if (!OtherWord(def).empty())
            v = OtherWord(def);
        else
            v = "status" + std::to_string(n);
        text += key + "=" + v + "\n";
    }
    return text;
}

// Writes the skin into dir and returns the INI file's path.
inline std::string WriteFullSkin(const std::string& dir)
{
    std::string ini =
        "[VERSION]\nskinname=Test Skin\nskinauthor=Tester\nauthoremail=t@example.org\n"
        "authorurl=https://example.org\nskincomments=made by a test\n"
        "[PICTURES]\npicture=main.bmp\ninactivepicture=inactive.bmp\nmask=mask.bmp\nrolluppicture=rollup.bmp\n"
        "rollupmask=rollupmask.bmp\nactivepicturescount=3\n0=pic0.bmp\n1=sub/pic1.bmp\n2=pic2.bmp\n"
        "[CURSORS]\nstartcursorindex=3\ncursorscount=2\n0=arrow.cur\n1=hand.cur\n" +
        FormInfoSection() +
        "[SKINAREAS]\ncount=2\n0=sizegrip:10,20,30,40;1,0,0,1,1\n1=client:-5,1,200,300;0,1,1,0,0\n";
    ini += Render("POPUPWINDOW", DistinctSection([] { return WindowIO<TspDataSkinPopupWindow>("POPUPWINDOW"); }));
    ini += Render("LAYERFRAME", DistinctSection([] { return WindowIO<TspDataSkinLayerFrame>("LAYERFRAME"); }));
    ini += Render("HINTWINDOW", DistinctSection([] { return WindowIO<TspDataSkinHintWindow>("HINTWINDOW"); }));
    ini += Render("SKINCOLORS", DistinctSection([] { return WindowIO<TspSkinColors>("SKINCOLORS"); }));
    std::string list = "[SKINOBJECTS]\ncount=" + std::to_string(SkinObjectKinds().size()) + "\n", sections;
    for (std::size_t i = 0; i < SkinObjectKinds().size(); ++i) {
        const std::string kind = SkinObjectKinds()[i], name = "obj_" + kind;
        list += std::to_string(i) + "=" + name + ":" + kind + "\n";
        sections += Render(name, DistinctSection([kind] { return ObjectIO(kind); }));
    }
    ini += list + sections;
    list = "[SKINCONTROLS]\ncount=" + std::to_string(SkinControlKinds().size()) + "\n";
    sections.clear();
    for (std::size_t i = 0; i < SkinControlKinds().size(); ++i) {
        const std::string kind = SkinControlKinds()[i], name = "ctl_" + kind;
        list += std::to_string(i) + "=" + name + ":" + kind + "\n";
        sections += Render(name, DistinctSection([kind] { return ControlIO(kind); }));
    }
    ini += list + sections;
    WriteTextFile(dir + "/skin.ini", ini);
    const std::pair<const char*, int> pictures[] = {{"main.bmp", 1}, {"inactive.bmp", 2}, {"mask.bmp", 3},
                                                    {"rollup.bmp", 4}, {"rollupmask.bmp", 5}, {"pic0.bmp", 6},
                                                    {"sub/pic1.bmp", 7}, {"pic2.bmp", 8}};
    std::filesystem::create_directories(dir + "/sub");
    for (const auto& [name, seed] : pictures)
        WriteBmp(dir + "/" + name, 7 + seed, 5 + seed, seed);
    return dir + "/skin.ini";
}

// The BMP file image the bitmap writes.
inline std::string BitmapBytes(TBitmap& p)
{
    TMemoryStream m;
    p.SaveToStream(&m);
    return std::string(static_cast<const char*>(m.Memory()), static_cast<std::size_t>(m.Size()));
}

inline std::string PictureDump(TBitmap& p)
{
    const std::string bytes = BitmapBytes(p);
    std::uint64_t hash = 1469598103934665603ull;
    for (unsigned char b : bytes)
        hash = (hash ^ b) * 1099511628211ull;
    return p.Empty() ? "empty" : std::to_string(p.Width()) + "x" + std::to_string(p.Height()) + " " +
                                     std::to_string(bytes.size()) + " bytes #" + std::to_string(hash);
}

// Everything a loaded skin holds, as text: the INI text the skin data
// writes (every field of every piece), the pictures and the state flags.
// withCursors false leaves the CURSORS section out.
inline std::string DumpSkin(TspSkinData& d, bool withCursors = true)
{
    auto ini = IniFromText("");
    d.SaveToCustomIniFile(*ini);
    if (!withCursors)
        ini->EraseSection("CURSORS");
    std::string text = IniText(*ini);
    text += "empty=" + std::to_string(d.Empty) + " process=" + std::to_string(d.ChangeSkinDataProcess) + "\n";
    text += "picture " + PictureDump(*d.FPicture) + "\ninactive " + PictureDump(*d.FInActivePicture) + "\nmask " +
            PictureDump(*d.FMask) + "\nrollup " + PictureDump(*d.FRollUpPicture) + "\nrollupmask " +
            PictureDump(*d.FRollUpMask) + "\n";
    for (const auto& p : d.FActivePictures)
        text += "active " + PictureDump(*p) + "\n";
    return text;
}

}  // namespace tarnello::test
