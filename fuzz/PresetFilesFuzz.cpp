// The preset files as start-up reads them (LoadPresetFiles: categories,
// presets, the user's custom presets, the merge). First byte: its value
// modulo 3 picks the file the rest of the input becomes - 0 the categories
// file, 1 the presets file (written with its bytes inverted, as shipped, so
// that mutations work on the text), 2 the custom presets file; the other
// files are the shipped ones. Bits 2-7 give the stored recent and last
// edited preset indices the merge looks for.
//
// A custom file read whole is saved again and read back: what the program
// writes must read back as the same presets.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "AppFuzz.h"
#include "FuzzSupport.h"
#include "app/core/AppData.h"
#include "app/core/PresetFiles.h"
#include "app/core/TextFiles.h"
#include "platform/classes/StringList.h"
#include "platform/rtl/Exceptions.h"

using namespace tarnello::fuzz;
namespace fs = std::filesystem;

namespace {

// Language numbers of the three set-ups: the fuzzed file goes where the
// number's other file is a copy of the shipped one.
constexpr int kLanguageOf[3] = {7, 8, 9};

std::string ProfileFile(int Language)
{
    return PresetFolder() + "/profiles" + std::to_string(Language) + ".dat";
}
std::string FormatFile(int Language) { return PresetFolder() + "/formats" + std::to_string(Language) + ".dat"; }

void StoredIndices(unsigned Bits)
{
    auto& app = App();
    app.RecentProfileIndex = int(Bits & 3);
    app.RecentFormatIndex = int((Bits >> 2) & 3);
    app.LastEditedProfileIndex = (Bits & 16) ? app.RecentProfileIndex : -1;
    app.LastEditedFormatIndex = (Bits & 32) ? app.RecentFormatIndex : -1;
    app.LastEditedValues.fill("7");
}

std::vector<TFormat> CustomPresets()
{
    const auto& app = App();
    if (app.CustomProfileIndex < 0 || app.CustomProfileIndex >= int(app.Profiles.size()))
        return {};
    return app.Profiles[size_t(app.CustomProfileIndex)].Formats;
}

void Load(unsigned Kind, unsigned Bits)
{
    FreshApplicationState();
    App().LanguageIndex = kLanguageOf[Kind];
    StoredIndices(Bits);
    LoadPresetFiles();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FreshApplicationState();
    const std::string shipped = ShippedDataFolder() + "/tarnello-profiles";
    // The presets beside a fuzzed categories or custom file: the first
    // shipped rows, few enough to read quickly.
    std::string rows = ReadInvertedTextFile(shipped + "/formats0.dat");
    TStringList lines;
    lines.SetText(rows);
    rows.clear();
    for (int i = 0; i < lines.Count(); ++i)
        if (i < 12 || i >= lines.Count() - 2)
            rows += lines[i] + "\r\n";
    for (char& c : rows)
        c = static_cast<char>(~static_cast<unsigned char>(c));
    for (int language : {kLanguageOf[0], kLanguageOf[2]})
        WriteFileText(FormatFile(language), rows);
    for (int language : {kLanguageOf[1], kLanguageOf[2]})
        fs::copy_file(shipped + "/profiles0.dat", ProfileFile(language), fs::copy_options::overwrite_existing);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (Size == 0)
        return 0;
    const unsigned kind = Data[0] % 3;
    const unsigned bits = Data[0] >> 2;
    FreshApplicationState();
    const std::string custom = CustomProfilesFileName();
    // The custom file and the copies a half-read one leaves go each time.
    std::error_code ec;
    fs::remove_all(App().AppDataFolder, ec);
    fs::create_directories(App().AppDataFolder);
    switch (kind) {
    case 0:
        WriteFileBytes(ProfileFile(kLanguageOf[0]), Data + 1, Size - 1);
        break;
    case 1: {
        std::string inverted(reinterpret_cast<const char*>(Data + 1), Size - 1);
        for (char& c : inverted)
            c = static_cast<char>(~static_cast<unsigned char>(c));
        WriteFileText(FormatFile(kLanguageOf[1]), inverted);
        break;
    }
    default:
        WriteFileBytes(custom, Data + 1, Size - 1);
        break;
    }
    try {
        Load(kind, bits);
        if (kind == 2 && !App().CustomFileIncomplete) {
            const std::vector<TFormat> read = CustomPresets();
            SaveCustomProfiles();
            Load(kind, bits);
            if (App().CustomFileIncomplete || CustomPresets() != read)
                std::abort();  // the written file does not read back as what was saved
        }
    } catch (const Exception&) {
    }
    return 0;
}
