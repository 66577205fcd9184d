#include "platform/gdi/SystemModules.h"

#include "platform/gdi/Blit.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>

namespace {

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

struct TModules {
    std::mutex Lock;
    std::map<std::string, std::map<std::string, void*>> Procs;
};

TModules& Modules()
{
    static TModules* modules = [] {
        auto* m = new TModules;
        auto& img = m->Procs["msimg32.dll"];
        img["transparentblt"] = reinterpret_cast<void*>(&TransparentBlt);
        img["alphablend"] = reinterpret_cast<void*>(&AlphaBlend);
        return m;
    }();
    return *modules;
}

} // namespace

bool SystemModuleExists(const std::string& module)
{
    TModules& m = Modules();
    std::lock_guard lock(m.Lock);
    auto it = m.Procs.find(Lower(module));
    return it != m.Procs.end() && !it->second.empty();
}

void* SystemModuleProc(const std::string& module, const std::string& name)
{
    TModules& m = Modules();
    std::lock_guard lock(m.Lock);
    auto it = m.Procs.find(Lower(module));
    if (it == m.Procs.end())
        return nullptr;
    auto p = it->second.find(Lower(name));
    return p == it->second.end() ? nullptr : p->second;
}

void RegisterSystemModuleProc(const std::string& module, const std::string& name, void* proc)
{
    if (!proc)
        return;
    TModules& m = Modules();
    std::lock_guard lock(m.Lock);
    m.Procs[Lower(module)][Lower(name)] = proc;
}
