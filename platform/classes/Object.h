#pragma once
// The root of the class library: every persistent object, component and
// stream derives from TObject, so that events can carry any of them as their
// Sender and code can ask an object for its class name or kind.
#include <string>
#include <typeinfo>

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    // The class's own name ("TStringList"), taken from the C++ type.
    virtual std::string ClassName() const;

    // True when the object is a T or derives from it.
    template <class T>
    bool InheritsFrom() const
    {
        return dynamic_cast<const T*>(this) != nullptr;
    }

    // Runs just before the object is deleted through Free/FreeAndNil, while the
    // object is still whole; components mark themselves as being destroyed.
    virtual void BeforeDestruction() {}

    // Deletes the object, letting it prepare first. Use instead of delete.
    void Free();
};

// The short class name of a C++ type, as ClassName reports it for objects of
// that type (the class registry names classes before any instance exists).
std::string ClassNameOf(const std::type_info& Type);

// Frees an object (or nothing when it is null) and clears the reference first,
// so that code reached during destruction never sees a dangling pointer.
template <class T>
void FreeAndNil(T*& obj)
{
    T* tmp = obj;
    obj = nullptr;
    if (tmp)
        static_cast<TObject*>(tmp)->Free();
}

// `obj is T`: false for a null object.
template <class T>
bool Is(const TObject* obj)
{
    return dynamic_cast<const T*>(obj) != nullptr;
}

[[noreturn]] void RaiseInvalidCast();

// `obj as T`: null stays null, an object of another class raises EInvalidCast.
template <class T>
T* As(TObject* obj)
{
    if (!obj)
        return nullptr;
    T* result = dynamic_cast<T*>(obj);
    if (!result)
        RaiseInvalidCast();
    return result;
}
