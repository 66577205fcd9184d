#include "engine/bindings/SharedLibrary.h"

#include "engine/common/ProgramFiles.h"
#include "platform/rtl/DynLoad.h"
#include "platform/rtl/Exceptions.h"

void* LoadLibraryFromPath(const TPathFileName& AFolder, const TPathFileName& AFileName, std::string& AError) {
    std::string name = AFileName;
    if (!AFolder.empty()) {
        std::string full = AFolder;
        if (full.back() != '/') full += '/';
        full += AFileName;
        if (FileSizeOf(full) >= 0) name = full;
    }
    HMODULE handle = LoadLibrary(name);
    if (!handle) AError = DynLoadError();
    return static_cast<void*>(handle);
}

void FreeLibraryHandle(void* AHandle) {
    if (AHandle) FreeLibrary(static_cast<HMODULE>(AHandle));
}

void* BindFunction(const TPathFileName& ALibName, void* AHandle, const char* AName, bool AOptional) {
    void* p = GetProcAddress(static_cast<HMODULE>(AHandle), AName);
    if (!p && !AOptional) {
        std::string msg = "Load function ";
        msg += AName;
        msg += '@';
        msg += ALibName;
        msg += " error: ";
        msg += DynLoadError();
        throw Exception(msg);
    }
    return p;
}
