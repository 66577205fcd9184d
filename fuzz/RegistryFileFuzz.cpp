// The registry file: the input is the registry.reg under a scratch
// XDG_CONFIG_HOME. Every key below every root is walked and each value read
// by its type; then one value is written, which rewrites the file from what
// was read, and read back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "platform/classes/Registry.h"
#include "platform/classes/StringList.h"

using namespace tarnello::fuzz;

namespace {

void ReadValues(TRegistry& Reg)
{
    TStringList names;
    Reg.GetValueNames(&names);
    for (int i = 0; i < names.Count(); ++i) {
        const std::string name = names.Strings(i);
        Reg.GetDataSize(name);
        try {
            switch (Reg.GetDataType(name)) {
            case rdString:
            case rdExpandString:
                Reg.ReadString(name);
                break;
            case rdInteger:
                Reg.ReadInteger(name);
                break;
            case rdBinary: {
                std::vector<uint8_t> bytes(64);
                Reg.ReadBinaryData(name, bytes.data(), int(bytes.size()));
                Reg.ReadFloat(name);
                break;
            }
            default:
                break;
            }
        } catch (const ERegistryException&) {
        }
    }
}

// Depth first, a bounded number of keys (a hostile file may hold many).
void Walk(TRegistry& Reg, const std::string& Path, int Depth, int& Budget)
{
    if (Depth > 8 || --Budget < 0 || !Reg.OpenKeyReadOnly(Path))
        return;
    ReadValues(Reg);
    TStringList keys;
    Reg.GetKeyNames(&keys);
    for (int i = 0; i < keys.Count(); ++i)
        Walk(Reg, (Path == "\\" ? Path : Path + "\\") + keys.Strings(i), Depth + 1, Budget);
}

std::string RegistryPath;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const std::string config = ScratchFolder() + "/config";
    std::filesystem::create_directories(config + "/tarnello");
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    RegistryPath = TRegistry::StorageFileName();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    WriteFileBytes(RegistryPath, Data, Size);
    try {
        TRegistry reg(KEY_READ);
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT, HKEY_USERS, HKEY_CURRENT_CONFIG}) {
            reg.SetRootKey(root);
            int budget = 200;
            Walk(reg, "\\", 0, budget);
        }
        TRegistry writer;
        if (writer.OpenKey("\\Software\\Tarnello\\Fuzz", true)) {
            writer.WriteString("Value", "written");
            writer.ReadString("Value");
        }
    } catch (const Exception&) {
    }
    return 0;
}
