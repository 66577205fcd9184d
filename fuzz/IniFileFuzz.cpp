// INI files: the input is read as a file by TMemIniFile, then every section,
// key and value is read back, as integers, booleans and floats too.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "platform/classes/IniFiles.h"
#include "platform/classes/StringList.h"

using namespace tarnello::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    static const std::string path = ScratchFolder() + "/file.ini";
    WriteFileBytes(path, Data, Size);
    try {
        TMemIniFile ini(path);
        TStringList sections, keys;
        ini.ReadSections(&sections);
        for (int i = 0; i < sections.Count(); ++i) {
            const std::string section = sections.Strings(i);
            ini.ReadSection(section, &keys);
            for (int k = 0; k < keys.Count(); ++k) {
                const std::string key = keys.Strings(k);
                ini.ReadString(section, key, "");
                ini.ReadInteger(section, key, 0);
                ini.ReadBool(section, key, false);
                ini.ReadFloat(section, key, 0.0);
            }
            ini.ReadSectionValues(section, &keys);
        }
    } catch (const Exception&) {
    }
    return 0;
}
