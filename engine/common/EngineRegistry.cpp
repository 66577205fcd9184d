#include "engine/common/EngineRegistry.h"

#include <map>
#include <mutex>

extern "C" {
#include <libavutil/log.h>
}

namespace {
struct TRegistry {
    std::mutex Lock;
    std::map<std::string, const void*> Items[3];
};
TRegistry& Registry() {
    static TRegistry* r = new TRegistry;
    return *r;
}
}  // namespace

bool RegisterEngineComponent(TEngineComponentKind AKind, const std::string& AName, const void* ARecord) {
    TRegistry& r = Registry();
    std::lock_guard<std::mutex> lock(r.Lock);
    return r.Items[AKind].emplace(AName, ARecord).second;
}

const void* FindEngineComponent(TEngineComponentKind AKind, const std::string& AName) {
    TRegistry& r = Registry();
    std::lock_guard<std::mutex> lock(r.Lock);
    auto it = r.Items[AKind].find(AName);
    return it == r.Items[AKind].end() ? nullptr : it->second;
}

int EngineComponentCount(TEngineComponentKind AKind) {
    TRegistry& r = Registry();
    std::lock_guard<std::mutex> lock(r.Lock);
    return static_cast<int>(r.Items[AKind].size());
}

std::vector<const void*> EngineComponents(TEngineComponentKind AKind) {
    TRegistry& r = Registry();
    std::lock_guard<std::mutex> lock(r.Lock);
    std::vector<const void*> all;
    for (const auto& item : r.Items[AKind]) all.push_back(item.second);
    return all;
}

const char* DefaultItemName(void* AContext) {
    if (!AContext) return "NULL";
    const AVClass* c = *static_cast<AVClass**>(AContext);
    return c && c->class_name ? c->class_name : "NULL";
}
