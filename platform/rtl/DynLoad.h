#pragma once
// Loading shared libraries at run time (the engine binds FFmpeg and SDL this
// way). The calls keep the platform's names; a failure leaves its reason in
// DynLoadError() for the calling thread, so messages can say why a library
// or an entry point is missing.
#include "platform/rtl/Types.h"

#include <dlfcn.h>
#include <string>

// Default: resolve everything now, keep the symbols private to this handle.
constexpr int kDefaultLoadFlags = RTLD_NOW | RTLD_LOCAL;

// nullptr on failure (reason in DynLoadError()).
HMODULE LoadLibrary(const std::string& fileName, int dlopenFlags = kDefaultLoadFlags);
// nullptr when the name is not exported (reason in DynLoadError()).
void* GetProcAddress(HMODULE module, const char* name);
// False when the handle is not a loaded library.
bool FreeLibrary(HMODULE module);
// The reason of this thread's last failed LoadLibrary, GetProcAddress or
// FreeLibrary; empty after a success.
std::string DynLoadError();

// Owns a loaded library and frees it when it dies.
class TDynLibrary {
public:
    TDynLibrary() = default;
    explicit TDynLibrary(const std::string& fileName, int dlopenFlags = kDefaultLoadFlags)
        : FHandle(LoadLibrary(fileName, dlopenFlags))
    {
    }
    ~TDynLibrary() { Reset(); }
    TDynLibrary(TDynLibrary&& o) noexcept : FHandle(o.FHandle) { o.FHandle = nullptr; }
    TDynLibrary& operator=(TDynLibrary&& o) noexcept
    {
        if (this != &o) {
            Reset();
            FHandle = o.FHandle;
            o.FHandle = nullptr;
        }
        return *this;
    }
    TDynLibrary(const TDynLibrary&) = delete;
    TDynLibrary& operator=(const TDynLibrary&) = delete;

    bool Loaded() const { return FHandle != nullptr; }
    HMODULE Handle() const { return FHandle; }
    void* Symbol(const char* name) const { return FHandle ? GetProcAddress(FHandle, name) : nullptr; }
    template <typename F>
    F Function(const char* name) const
    {
        return reinterpret_cast<F>(Symbol(name));
    }
    void Reset()
    {
        if (FHandle)
            FreeLibrary(FHandle);
        FHandle = nullptr;
    }

private:
    HMODULE FHandle = nullptr;
};
