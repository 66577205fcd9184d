#pragma once
// The process-wide loader of the FFmpeg libraries and the C library.
// Libraries are opened at run time (first from LibraryPath, then from the
// system's library path) and every entry point of the binding headers
// (AVUtilStubs.h ...) is bound by name; a set of libraries is loaded all or
// nothing. Each successful set load counts one user per library, so a failed
// or released set never unloads a library another component still uses.
#include <initializer_list>
#include <string>

#include "engine/common/FFBaseComponent.h"

// In table order; the order of unloading. Loading follows the libraries'
// own dependencies (avutil first), because on Linux a library finds its
// dependencies among the copies already loaded.
enum TLibrary { avCodec, avDevice, avFilter, avFormat, avUtil, swResample, swScale, myUtil };

// A set of TLibrary.
class TLibraries {
public:
    constexpr TLibraries() = default;
    constexpr TLibraries(std::initializer_list<TLibrary> libs) {
        for (TLibrary l : libs) bits_ |= 1u << l;
    }
    constexpr bool Contains(TLibrary l) const { return (bits_ >> l) & 1u; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr bool operator==(const TLibraries&) const = default;

private:
    unsigned bits_ = 0;
};

inline constexpr TLibraries AllLibraries{avCodec, avDevice, avFilter, avFormat,
                                         avUtil,  swResample, swScale, myUtil};
inline constexpr TLibraries EncoderLibraries = AllLibraries;
inline constexpr TLibraries PlayerLibraries = AllLibraries;
inline constexpr TLibraries DecoderLibraries{avCodec, avFormat, avUtil, swResample, swScale, myUtil};

struct TLibraryItem {
    TLibrary Lib;
    const char* Name;  // base name, as in "Library %s not loaded."
    bool SysLib;       // loaded by name from the system path only
    int Version;       // major version of the file name
};

// The file name of a library ("libavcodec.so.59", "libc.so.6").
TPathFileName LibraryFileName(TLibrary ALibrary);
const TLibraryItem& LibraryItem(TLibrary ALibrary);

class TFFLoader {
public:
    // Loads and binds one library, counting one user of it.
    bool Load(TLibrary ALibrary);
    // All or nothing: on failure every library this call loaded is unloaded
    // again; libraries other users hold stay.
    bool Load(TLibraries ALibraries);
    bool Loaded(TLibrary ALibrary) const;
    bool Loaded(TLibraries ALibraries) const;
    // Throws Exception("Library %s not loaded.") for the first missing one.
    void CheckLibAV(TLibraries ALibraries) const;
    // Releases one user; the library is unbound and closed with its last user.
    void Unload(TLibrary ALibrary);
    void Unload(TLibraries ALibraries);
    // Unbinds and closes regardless of users (process end, tests).
    void UnloadAll();

    TPathFileName LibraryPath() const;
    void SetLibraryPath(const TPathFileName& APath);
    std::string LastErrMsg() const;
    bool InstallLogger() const { return FInstallLogger; }
    void SetInstallLogger(bool AValue) { FInstallLogger = AValue; }
    int UserCount(TLibrary ALibrary) const;

private:
    bool LoadOne(TLibrary ALibrary);  // without counting
    void FollowUp(TLibrary ALibrary);
    void Release(TLibrary ALibrary);
    bool FInstallLogger = true;
};

// The one loader of the process.
TFFLoader& FFLoader();
