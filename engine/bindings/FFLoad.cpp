#include "engine/bindings/FFLoad.h"

#include <cfenv>
#include <cstdio>
#include <mutex>

#include "engine/bindings/AVCodecStubs.h"
#include "engine/bindings/AVDeviceStubs.h"
#include "engine/bindings/AVFilterStubs.h"
#include "engine/bindings/AVFormatStubs.h"
#include "engine/bindings/AVUtilStubs.h"
#include "engine/common/FFLog.h"
#include "engine/filters/Rotate.h"
#include "engine/bindings/SharedLibrary.h"
#include "engine/bindings/MyUtilStubs.h"
#include "engine/bindings/SwResampleStubs.h"
#include "engine/bindings/SwScaleStubs.h"
#include "platform/rtl/Exceptions.h"

namespace {

// One bound name: a setter that stores a looked-up address (or null) into
// the name's pointer in namespace ff.
struct TBinding {
    const char* Name;
    void (*Set)(void*);
};

#define TARNELLO_FF_BINDING(name) \
    {#name, [](void* p) { ff::name = reinterpret_cast<decltype(ff::name)>(p); }},

const TBinding kAVCodec[] = {TARNELLO_AVCODEC_FUNCTIONS(TARNELLO_FF_BINDING)};
const TBinding kAVDevice[] = {TARNELLO_AVDEVICE_FUNCTIONS(TARNELLO_FF_BINDING)};
const TBinding kAVFilter[] = {TARNELLO_AVFILTER_FUNCTIONS(TARNELLO_FF_BINDING)};
const TBinding kAVFormat[] = {TARNELLO_AVFORMAT_FUNCTIONS(TARNELLO_FF_BINDING)};
const TBinding kAVUtil[] = {TARNELLO_AVUTIL_FUNCTIONS(TARNELLO_FF_BINDING)};
const TBinding kSwResample[] = {TARNELLO_SWRESAMPLE_FUNCTIONS(TARNELLO_FF_BINDING)};
const TBinding kSwScale[] = {TARNELLO_SWSCALE_FUNCTIONS(TARNELLO_FF_BINDING)};
const TBinding kMyUtil[] = {TARNELLO_MYUTIL_FUNCTIONS(TARNELLO_FF_BINDING)};

struct TBindingSet {
    const TBinding* Items;
    size_t Count;
};

template <size_t N>
constexpr TBindingSet SetOf(const TBinding (&a)[N]) {
    return {a, N};
}

const TLibraryItem kLibraries[] = {
    {avCodec, "avcodec", false, 59},     {avDevice, "avdevice", false, 59},
    {avFilter, "avfilter", false, 8},    {avFormat, "avformat", false, 59},
    {avUtil, "avutil", false, 57},       {swResample, "swresample", false, 4},
    {swScale, "swscale", false, 6},      {myUtil, "c", true, 6},
};

const TBindingSet kBindings[] = {SetOf(kAVCodec),  SetOf(kAVDevice),   SetOf(kAVFilter),
                                 SetOf(kAVFormat), SetOf(kAVUtil),     SetOf(kSwResample),
                                 SetOf(kSwScale),  SetOf(kMyUtil)};

// A library finds its dependencies among the copies already loaded, so a set
// is loaded from the bottom up.
const TLibrary kLoadOrder[] = {avUtil, swResample, swScale, avCodec, avFormat, avFilter, avDevice, myUtil};

struct TLibraryStatus {
    void* Handle = nullptr;
    bool Fixuped = false;
    int Users = 0;
};

struct TLoaderState {
    std::recursive_mutex Lock;
    TLibraryStatus Status[8];
    TPathFileName LibraryPath;
    std::string LastErrMsg;
};

TLoaderState& State() {
    static TLoaderState* state = new TLoaderState;  // outlives every static user
    return *state;
}

// FFmpeg's floating-point code must never trap: every floating-point
// exception is masked for the life of the process, and the environment
// found at start is restored at its end.
struct TFloatEnvironment {
    std::fenv_t Saved;
    TFloatEnvironment() {
        std::fegetenv(&Saved);
        fedisableexcept(FE_ALL_EXCEPT);
    }
    ~TFloatEnvironment() { std::fesetenv(&Saved); }
} gFloatEnvironment;

void Unfix(TLibrary ALibrary) {
    if (ALibrary == avFormat && ff::avformat_network_deinit) ff::avformat_network_deinit();
    const TBindingSet& set = kBindings[ALibrary];
    for (size_t i = 0; i < set.Count; ++i) set.Items[i].Set(nullptr);
}

void Fixup(TLibrary ALibrary, const TPathFileName& ALibName, void* AHandle) {
    const TBindingSet& set = kBindings[ALibrary];
    for (size_t i = 0; i < set.Count; ++i)
        set.Items[i].Set(BindFunction(ALibName, AHandle, set.Items[i].Name, false));
    switch (ALibrary) {
        case avDevice: ff::avdevice_register_all(); break;
        case avFormat: ff::avformat_network_init(); break;
        default: break;
    }
}

void CloseLibrary(TLibrary ALibrary) {
    TLibraryStatus& st = State().Status[ALibrary];
    if (st.Fixuped) {
        Unfix(ALibrary);
        st.Fixuped = false;
    }
    if (st.Handle) {
        // The handle is forgotten, not closed: the FFmpeg libraries pull in
        // dozens of codec libraries whose process-wide state (static
        // constructors, thread-local data, cached tables) is not safe to tear
        // down while the process runs. A later load opens the same copy again.
        st.Handle = nullptr;
    }
    st.Users = 0;
}

}  // namespace

const TLibraryItem& LibraryItem(TLibrary ALibrary) { return kLibraries[ALibrary]; }

TPathFileName LibraryFileName(TLibrary ALibrary) {
    const TLibraryItem& item = kLibraries[ALibrary];
    TPathFileName name = "lib";
    name += item.Name;
    name += ".so";
    if (item.Version >= 0) {
        name += '.';
        name += std::to_string(item.Version);
    }
    return name;
}

TFFLoader& FFLoader() {
    static TFFLoader* loader = new TFFLoader;
    return *loader;
}

TPathFileName TFFLoader::LibraryPath() const {
    std::lock_guard<std::recursive_mutex> lock(State().Lock);
    return State().LibraryPath;
}

void TFFLoader::SetLibraryPath(const TPathFileName& APath) {
    std::lock_guard<std::recursive_mutex> lock(State().Lock);
    State().LibraryPath = APath;
}

std::string TFFLoader::LastErrMsg() const {
    std::lock_guard<std::recursive_mutex> lock(State().Lock);
    return State().LastErrMsg;
}

int TFFLoader::UserCount(TLibrary ALibrary) const {
    std::lock_guard<std::recursive_mutex> lock(State().Lock);
    return State().Status[ALibrary].Users;
}

bool TFFLoader::LoadOne(TLibrary ALibrary) {
    TLoaderState& s = State();
    TLibraryStatus& st = s.Status[ALibrary];
    const TLibraryItem& item = kLibraries[ALibrary];
    TPathFileName fileName = LibraryFileName(ALibrary);
    if (!st.Handle) {
        TPathFileName folder;
        if (!s.LibraryPath.empty() && !item.SysLib) {
            folder = s.LibraryPath;
            if (folder.back() != '/') folder += '/';
        }
        std::string error;
        st.Handle = LoadLibraryFromPath(folder, fileName, error);
        if (!st.Handle) {
            s.LastErrMsg = "Load library ";
            s.LastErrMsg += folder;
            s.LastErrMsg += fileName;
            s.LastErrMsg += " error: ";
            s.LastErrMsg += error;
            return false;
        }
    }
    if (!st.Fixuped) {
        try {
            Fixup(ALibrary, fileName, st.Handle);
            st.Fixuped = true;
        } catch (const Exception& e) {
            s.LastErrMsg = e.Message();
        }
    }
    if (!st.Fixuped) {
        CloseLibrary(ALibrary);
        return false;
    }
    FollowUp(ALibrary);
    return true;
}

void TFFLoader::FollowUp(TLibrary ALibrary) {
    if (ALibrary == avUtil && FInstallLogger) GetFFLogger()->InstallAVLogCallback();
    // The engine's "rotate" is named in filter texts once filtering exists.
    if (ALibrary == avFilter) RegisterRotate();
}

bool TFFLoader::Load(TLibrary ALibrary) {
    std::lock_guard<std::recursive_mutex> lock(State().Lock);
    if (!LoadOne(ALibrary)) return false;
    ++State().Status[ALibrary].Users;
    return true;
}

bool TFFLoader::Load(TLibraries ALibraries) {
    std::lock_guard<std::recursive_mutex> lock(State().Lock);
    if (ALibraries.Empty()) return false;
    TLoaderState& s = State();
    for (TLibrary lib : kLoadOrder) {
        if (!ALibraries.Contains(lib)) continue;
        if (!LoadOne(lib)) {
            // All or nothing: close what no other user holds.
            for (const TLibraryItem& item : kLibraries)
                if (ALibraries.Contains(item.Lib) && s.Status[item.Lib].Users == 0) CloseLibrary(item.Lib);
            return false;
        }
    }
    for (TLibrary lib : kLoadOrder)
        if (ALibraries.Contains(lib)) ++s.Status[lib].Users;
    return true;
}

bool TFFLoader::Loaded(TLibrary ALibrary) const {
    std::lock_guard<std::recursive_mutex> lock(State().Lock);
    const TLibraryStatus& st = State().Status[ALibrary];
    return st.Handle && st.Fixuped;
}

bool TFFLoader::Loaded(TLibraries ALibraries) const {
    if (ALibraries.Empty()) return false;
    for (const TLibraryItem& item : kLibraries)
        if (ALibraries.Contains(item.Lib) && !Loaded(item.Lib)) return false;
    return true;
}

void TFFLoader::CheckLibAV(TLibraries ALibraries) const {
    for (const TLibraryItem& item : kLibraries)
        if (ALibraries.Contains(item.Lib) && !Loaded(item.Lib))
        {
            std::string msg = "Library ";
            msg += item.Name;
            msg += " not loaded.";
            throw Exception(msg);
        }
}

void TFFLoader::Release(TLibrary ALibrary) {
    TLibraryStatus& st = State().Status[ALibrary];
    if (st.Users > 0) --st.Users;
    if (st.Users == 0) CloseLibrary(ALibrary);
}

void TFFLoader::Unload(TLibrary ALibrary) {
    std::lock_guard<std::recursive_mutex> lock(State().Lock);
    Release(ALibrary);
}

void TFFLoader::Unload(TLibraries ALibraries) {
    std::lock_guard<std::recursive_mutex> lock(State().Lock);
    for (const TLibraryItem& item : kLibraries)
        if (ALibraries.Contains(item.Lib)) Release(item.Lib);
}

void TFFLoader::UnloadAll() {
    std::lock_guard<std::recursive_mutex> lock(State().Lock);
    for (const TLibraryItem& item : kLibraries) CloseLibrary(item.Lib);
}
