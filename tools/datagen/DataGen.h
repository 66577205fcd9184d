#pragma once
// The program's data, made from the readable sources in data/:
//   presets.txt      -> tarnello-profiles/profiles<L>.dat, formats<L>.dat
//                       (inverted bytes), tarnello-profiles/Icons/*.png
//   translations.txt -> languages/transl.dat
//   strings-es.txt   -> languages/resource1.dat
// Language 0 is English, 1 Spanish. Output is byte-for-byte the same on
// every run. A source that cannot be used stops the tool with a message
// naming the file and line.
#include <map>
#include <string>
#include <vector>

namespace datagen {

struct TCategorySource {
    std::string ID, Icon;
    std::string Title[2];
};

struct TPresetSource {
    std::string Key;
    std::map<std::string, std::string> Values;  // field name -> text
};

struct TPresetSources {
    int PickerHeight = 0;
    std::vector<TCategorySource> Categories;
    std::vector<TPresetSource> Presets;
};

TPresetSources ReadPresetSources(const std::string& FileName);
// Writes everything into OutFolder.
void GenerateData(const std::string& DataFolder, const std::string& OutFolder);

}  // namespace datagen
