#include "LiveValues.h"

#include <mutex>
#include <unordered_map>

namespace {

struct TLiveValueTable {
    std::mutex Lock;
    int32_t LastHandle = 0;
    std::unordered_map<int32_t, std::shared_ptr<TLiveValueCell>> Cells;
};

TLiveValueTable& Table()
{
    static TLiveValueTable table;
    return table;
}

} // namespace

int32_t RegisterLiveValue(int32_t AInitial)
{
    TLiveValueTable& t = Table();
    std::lock_guard<std::mutex> guard(t.Lock);
    if (t.LastHandle == INT32_MAX)
        return 0; // exhausted: no handle rather than a reused one
    const int32_t handle = ++t.LastHandle;
    t.Cells.emplace(handle, std::make_shared<TLiveValueCell>(AInitial));
    return handle;
}

void UnregisterLiveValue(int32_t AHandle)
{
    TLiveValueTable& t = Table();
    std::lock_guard<std::mutex> guard(t.Lock);
    t.Cells.erase(AHandle);
}

std::shared_ptr<TLiveValueCell> FindLiveValue(int32_t AHandle)
{
    TLiveValueTable& t = Table();
    std::lock_guard<std::mutex> guard(t.Lock);
    auto it = t.Cells.find(AHandle);
    return it == t.Cells.end() ? nullptr : it->second;
}
