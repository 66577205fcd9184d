#include "engine/hooks/FrameHook.h"

#include <dlfcn.h>

#include <cstdlib>
#include <map>
#include <mutex>

#include "engine/common/FFLog.h"

namespace {

struct TCaseLess {
    bool operator()(const std::string& A, const std::string& B) const
    {
        return strcasecmp(A.c_str(), B.c_str()) < 0;
    }
};

// Loaded hook libraries, by the name given; they stay loaded for the process.
std::mutex& LibraryLock()
{
    static std::mutex m;
    return m;
}

std::map<std::string, void*, TCaseLess>& Libraries()
{
    static auto* list = new std::map<std::string, void*, TCaseLess>;
    return *list;
}

void HookLog(const std::string& AMsg)
{
    GetFFLogger()->Log(nullptr, llError, AMsg);
}

void* LoadHookLibrary(const std::string& AName, std::string& AError)
{
    std::lock_guard<std::mutex> g(LibraryLock());
    auto it = Libraries().find(AName);
    if (it != Libraries().end())
        return it->second;
    void* h = dlopen(AName.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!h) {
        const char* err = dlerror();
        AError = err ? err : ("Cannot load " + AName);
        HookLog(AError);
        return nullptr;
    }
    Libraries()[AName] = h;
    return h;
}

int AddHook(PFrameHookEntry& AFirst, const std::vector<std::string>& AArgv, std::string& reason)
{
    if (AArgv.empty() || AArgv[0].empty()) {
        reason = "no hook library named";
        return -2;
    }
    void* lib = LoadHookLibrary(AArgv[0], reason);
    if (!lib)
        return -1;
    auto* fhe = static_cast<TFrameHookEntry*>(std::calloc(1, sizeof(TFrameHookEntry)));
    if (!fhe) {
        reason = "out of memory";
        return -12;
    }
    fhe->Configure = reinterpret_cast<TFrameHookConfigureFn>(dlsym(lib, "Configure"));
    fhe->Process = reinterpret_cast<TFrameHookProcessFn>(dlsym(lib, "Process"));
    fhe->Release = reinterpret_cast<TFrameHookReleaseFn>(dlsym(lib, "Release"));
    int result = 0;
    if (!fhe->Process) {
        reason = "Failed to find Process entrypoint in " + AArgv[0];
        HookLog(reason);
        result = -2;
    } else if (!fhe->Configure && AArgv.size() > 1) {
        reason = "Failed to find Configure entrypoint in " + AArgv[0];
        HookLog(reason);
        result = -2;
    } else if (fhe->Configure) {
        // The hook may keep pointers into argv only during the call.
        std::vector<std::string> words(AArgv);
        std::vector<char*> argv;
        for (std::string& w : words)
            argv.push_back(w.data());
        argv.push_back(nullptr);
        if (fhe->Configure(&fhe->ctx, int(words.size()), argv.data()) != 0) {
            reason = "Failed to Configure " + AArgv[0];
            HookLog(reason);
            result = -22;
        }
    }
    if (result != 0) {
        std::free(fhe);
        return result;
    }
    PFrameHookEntry* link = &AFirst;
    while (*link)
        link = &(*link)->next;
    *link = fhe;
    return 0;
}

}  // namespace

int frame_hook_add(PFrameHookEntry& AFirst, const std::vector<std::string>& AArgv, std::string* AError)
{
    std::string reason;
    const int r = AddHook(AFirst, AArgv, reason);
    if (AError)
        *AError = reason;
    return r;
}

void frame_hook_process(PFrameHookEntry AFirst, TAVPicture* APicture, int APixFmt, int AWidth, int AHeight,
                        int64_t APTS)
{
    for (PFrameHookEntry e = AFirst; e; e = e->next)
        e->Process(e->ctx, APicture, APixFmt, AWidth, AHeight, APTS);
}

void frame_hook_release(PFrameHookEntry& AFirst)
{
    PFrameHookEntry e = AFirst;
    AFirst = nullptr;
    while (e) {
        PFrameHookEntry next = e->next;
        if (e->Release)
            e->Release(e->ctx);
        std::free(e);
        e = next;
    }
}
