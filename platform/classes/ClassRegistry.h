#pragma once
// The classes a stored form description may name. A unit registers the
// component classes its descriptions use (RegisterClass<TButton>()), and the
// reader makes them by name. Names compare without regard to case.
#include "platform/classes/Object.h"

#include <string>
#include <typeinfo>

class TComponent;

// A registered class: its name and how to make and recognise one.
struct TComponentClassInfo {
    std::string Name;
    const std::type_info* Type = nullptr;
    TComponent* (*Create)(TComponent* Owner) = nullptr;
    // True when Instance is of this class or derives from it.
    bool (*IsInstance)(const TObject* Instance) = nullptr;
};
using TComponentClass = const TComponentClassInfo*;

namespace tarnello::classes {
void RegisterClassInfo(TComponentClassInfo Info);
}  // namespace tarnello::classes

// Registers T under its class name; registering a class again is harmless,
// another class of the same name raises EInvalidOperation.
template <class T>
void RegisterClass()
{
    tarnello::classes::RegisterClassInfo(TComponentClassInfo{
        ClassNameOf(typeid(T)), &typeid(T),
        [](TComponent* Owner) -> TComponent* { return new T(Owner); },
        [](const TObject* Instance) { return dynamic_cast<const T*>(Instance) != nullptr; }});
}

template <class... T>
void RegisterClasses()
{
    (RegisterClass<T>(), ...);
}

// The class is no longer found by name.
void UnRegisterClassName(const std::string& Name);

template <class T>
void UnRegisterClass()
{
    UnRegisterClassName(ClassNameOf(typeid(T)));
}

// The registered class of that name, or nullptr.
TComponentClass GetClass(const std::string& Name);
// The registered class of that name; EClassNotFound "Class %s not found".
TComponentClass FindClass(const std::string& Name);
