// A skin folder's skin.ini, loaded as the program loads a skin: the input is
// written as skin.ini into a folder that holds the pictures and cursor of the
// generated skin "skin-new", and a fresh skin data loads it, pictures,
// cursors, objects and control pieces included.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "skin/core/SkinData.h"

using namespace tarnello::fuzz;

namespace {
std::string IniPath;
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const std::string folder = ScratchFolder() + "/skin";
    CopyFolderFiles(DataFolder() + "/skin-new", folder);
    IniPath = folder + "/skin.ini";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    WriteFileBytes(IniPath, Data, Size);
    TspSkinData skin(nullptr);
    try {
        skin.LoadFromFile(IniPath);
    } catch (const Exception&) {
    }
    return 0;
}
