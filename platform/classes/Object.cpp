#include "platform/classes/Object.h"

#include "platform/rtl/Exceptions.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <mutex>
#include <typeindex>
#include <unordered_map>

namespace {

// Demangling allocates; names are asked for often (messages, stored forms),
// so each type's name is worked out once.
std::string DemangledName(const std::type_info& type)
{
    static std::mutex lock;
    static std::unordered_map<std::type_index, std::string> names;
    std::lock_guard guard(lock);
    auto it = names.find(type);
    if (it != names.end())
        return it->second;
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(
        abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), std::free);
    std::string name = status == 0 && demangled ? demangled.get() : type.name();
    // Our classes live in the global namespace; strip any namespace a test or
    // helper class may carry so that the short class name is what shows.
    if (auto colon = name.rfind("::"); colon != std::string::npos && name.find('<') == std::string::npos)
        name.erase(0, colon + 2);
    return names.emplace(type, std::move(name)).first->second;
}

}  // namespace

std::string ClassNameOf(const std::type_info& Type)
{
    return DemangledName(Type);
}

std::string TObject::ClassName() const
{
    return DemangledName(typeid(*this));
}

void TObject::Free()
{
    BeforeDestruction();
    delete this;
}

void RaiseInvalidCast()
{
    throw EInvalidCast("Invalid class typecast");
}
