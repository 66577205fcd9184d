#include "platform/classes/ClassRegistry.h"

#include "platform/classes/TextHelpers.h"
#include "platform/rtl/Exceptions.h"

#include <map>
#include <memory>
#include <mutex>

namespace {

struct TClassRegistry {
    std::mutex Lock;
    // Keyed by the lower-case name; entries live until the program ends so
    // that a TComponentClass handed out stays valid.
    std::map<std::string, std::unique_ptr<TComponentClassInfo>> Classes;
};

TClassRegistry& Registry()
{
    static TClassRegistry* registry = new TClassRegistry;
    return *registry;
}

}  // namespace

void tarnello::classes::RegisterClassInfo(TComponentClassInfo Info)
{
    TClassRegistry& r = Registry();
    std::lock_guard guard(r.Lock);
    auto& slot = r.Classes[LowerKey(Info.Name)];
    if (slot && slot->Create) {
        if (*slot->Type == *Info.Type)
            return;
        throw EInvalidOperation("A class named " + Info.Name + " is already registered");
    }
    if (slot)
        *slot = std::move(Info);  // re-registered after UnRegisterClass
    else
        slot = std::make_unique<TComponentClassInfo>(std::move(Info));
}

void UnRegisterClassName(const std::string& Name)
{
    TClassRegistry& r = Registry();
    std::lock_guard guard(r.Lock);
    auto it = r.Classes.find(tarnello::classes::LowerKey(Name));
    // The entry stays allocated (a class handed out may still be in use);
    // it is only no longer found.
    if (it != r.Classes.end())
        it->second->Create = nullptr;
}

TComponentClass GetClass(const std::string& Name)
{
    TClassRegistry& r = Registry();
    std::lock_guard guard(r.Lock);
    auto it = r.Classes.find(tarnello::classes::LowerKey(Name));
    return it == r.Classes.end() || !it->second->Create ? nullptr : it->second.get();
}

TComponentClass FindClass(const std::string& Name)
{
    TComponentClass result = GetClass(Name);
    if (!result)
        throw EClassNotFound("Class " + Name + " not found");
    return result;
}
