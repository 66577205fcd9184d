#include "platform/rtl/DynLoad.h"

namespace {

thread_local std::string tLastError;

// dlerror's text is per thread and cleared by reading; keep a copy.
void TakeError(const char* fallback)
{
    const char* e = dlerror();
    tLastError = e ? e : fallback;
}

}  // namespace

HMODULE LoadLibrary(const std::string& fileName, int dlopenFlags)
{
    if (fileName.empty()) {
        // dlopen(NULL) would return the program itself; no caller means that.
        tLastError = "empty library name";
        return nullptr;
    }
    dlerror();
    void* h = dlopen(fileName.c_str(), dlopenFlags);
    if (!h) {
        TakeError("cannot load library");
        return nullptr;
    }
    tLastError.clear();
    return static_cast<HMODULE>(h);
}

void* GetProcAddress(HMODULE module, const char* name)
{
    if (!module || !name) {
        tLastError = "no library or no symbol name";
        return nullptr;
    }
    dlerror();
    void* p = dlsym(static_cast<void*>(module), name);
    // A symbol may legitimately be NULL; only dlerror tells failure apart.
    const char* e = dlerror();
    if (e) {
        tLastError = e;
        return nullptr;
    }
    if (!p) {
        tLastError = std::string("symbol ") + name + " is null";
        return nullptr;
    }
    tLastError.clear();
    return p;
}

bool FreeLibrary(HMODULE module)
{
    if (!module) {
        tLastError = "no library";
        return false;
    }
    dlerror();
    if (dlclose(static_cast<void*>(module)) != 0) {
        TakeError("cannot free library");
        return false;
    }
    tLastError.clear();
    return true;
}

std::string DynLoadError() { return tLastError; }
