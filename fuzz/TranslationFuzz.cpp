// The language files as start-up reads them (LoadLanguages), then texts
// looked up in them. First byte: even - the input is the translation table
// (transl.dat) and bits 1-2 give the language chosen; odd - the input is the
// skin library's strings of language 1 (resource1.dat) beside the shipped
// table. The rest of the input is the file.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "AppFuzz.h"
#include "FuzzSupport.h"
#include "app/core/AppData.h"
#include "app/core/Translation.h"
#include "platform/classes/StringList.h"
#include "platform/rtl/Exceptions.h"
#include "skin/core/ResourceStrData.h"

using namespace tarnello::fuzz;
namespace fs = std::filesystem;

namespace {
std::string TableFolder, StringsFolder;
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const std::string shipped = ShippedDataFolder() + "/languages";
    TableFolder = AppProgramFolder() + "languages-table";
    StringsFolder = AppProgramFolder() + "languages-strings";
    CopyFolderFiles(shipped, TableFolder);
    CopyFolderFiles(shipped, StringsFolder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (Size == 0)
        return 0;
    const bool table = Data[0] % 2 == 0;
    FreshApplicationState();
    App().LanguageIndex = table ? int((Data[0] >> 1) & 3) : 1;
    const std::string& folder = table ? TableFolder : StringsFolder;
    WriteFileBytes(folder + (table ? "/transl.dat" : "/resource1.dat"), Data + 1, Size - 1);
    try {
        TspResourceStrData strings(nullptr);
        LoadLanguages(folder, &strings);
        // Every text the table knows, and one it does not.
        const auto& app = App();
        if (!app.TranslationTable.empty())
            for (const std::string& key : app.TranslationTable[0])
                TranslateText(key);
        TranslateText("Paused");
        for (int i = 0; i < strings.ResStrings()->Count(); ++i) {
            const std::string line = strings.ResStrings()->Strings(i);
            strings.GetResStr(line.substr(0, line.find('=')));
        }
    } catch (const Exception&) {
    }
    return 0;
}
