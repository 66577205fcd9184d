#pragma once
// The preset files: the categories ("tarnello-profiles/profiles<L>.dat"),
// the presets of all categories ("formats<L>.dat", stored with every byte
// inverted), the user's own presets (custom-profiles.dat in the application
// data folder) and the icons ("tarnello-profiles/Icons/*.png"). Reading
// fills App() and reports every step's failure on its own; start-up goes
// on with what was read.
//
// Preset rows are XML-like lines, <ROW name="..." format_ext="..." .../>,
// whose attributes are found by name. Values are written with & " < > as
// entities so that a value can never end early or plant another attribute;
// reading decodes those and &apos;. Other text stays byte for byte.
#include <string>

class TStringList;
class TStrings;
struct TFormat;
struct TProfile;

// The preset of one row; a missing attribute gives an empty value.
TFormat ParseFormatRow(const std::string& Line);
// Fills entry Index of App().LoadedFormats from Line.
void ParseFormatRow(const std::string& Line, int Index);
// Line := List[Index]; Index := Index + 1 (the list's index error past the end).
void ReadNextLine(TStrings* List, std::string& Line, int& Index);
// Loads an inverted file, as text, into Lines.
void LoadInvertedTextFile(const std::string& FileName, TStringList* Lines);

std::string EncodeRowValue(const std::string& Value);
std::string DecodeRowValue(const std::string& Value);
// The custom file's row of a preset, and the whole file's text (CR LF).
std::string CustomProfileRow(const TFormat& Format);
std::string CustomProfilesText();

// Folder of the shipped files: the program folder + "tarnello-profiles".
std::string PresetFolder();
std::string CustomProfilesFileName();
// Every icon of the icon folder, in name order.
void LoadProfileIcons();
// Steps of start-up: categories, the custom category, the shipped presets,
// the custom presets, the merge; then CustomProfileIndex.
void LoadPresetFiles();
// The icons the main window shows for a preset (App().CurrentCategoryIcon and
// CurrentPresetIcon), as chosen at start-up.
void ChooseCurrentIcons(const TProfile& Profile, const TFormat& Format);
// Writes the custom category's presets, replacing the file atomically; a
// file that was not read whole has been kept as a backup first. Failures
// are reported.
void SaveCustomProfiles();
