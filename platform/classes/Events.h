#pragma once
// Events are method pointers: an object and one of its member functions,
// held by value (no allocation) so that they can be copied freely, tested for
// nil and compared - code asks whether a control's OnClick is still the
// handler an action put there.
//
//   TNotifyEvent e = MakeEvent(form, &TMainForm::ButtonClick);
//   if (e) e(sender);
#include "platform/classes/Object.h"

#include <cstddef>
#include <cstring>
#include <type_traits>
#include <utility>

template <class Signature>
class TMethodPtr;

template <class R, class... Args>
class TMethodPtr<R(Args...)> {
public:
    TMethodPtr() = default;
    TMethodPtr(std::nullptr_t) {}

    // Binds a member function of an object. The object is stored as the class
    // that declares the function, so binding the same method through a base
    // or a derived pointer yields equal events.
    template <class C, class M>
        requires std::is_member_function_pointer_v<M>
    static TMethodPtr Bind(C* obj, M method)
    {
        using K = typename MemberClass<M>::type;
        static_assert(sizeof(M) <= kCodeSize, "member function pointer too large");
        TMethodPtr result;
        if (!obj || !method)
            return result;
        K* target = static_cast<K*>(obj);
        result.FData = const_cast<void*>(static_cast<const void*>(target));
        std::memcpy(result.FCode, &method, sizeof(M));
        result.FInvoke = &InvokeMember<K, M>;
        return result;
    }

    // Binds a plain function that receives a context pointer first; useful for
    // handlers that are not members of an object.
    static TMethodPtr Bind(void* data, R (*function)(void*, Args...))
    {
        TMethodPtr result;
        if (!function)
            return result;
        result.FData = data;
        std::memcpy(result.FCode, &function, sizeof(function));
        result.FInvoke = &InvokeFunction;
        return result;
    }

    R operator()(Args... args) const
    {
        return FInvoke(FData, FCode, std::forward<Args>(args)...);
    }

    explicit operator bool() const { return FInvoke != nullptr; }

    // The bound object (the platform's "Data" half), null for a nil event.
    void* Data() const { return FData; }

    friend bool operator==(const TMethodPtr& a, const TMethodPtr& b)
    {
        return a.FInvoke == b.FInvoke && a.FData == b.FData && std::memcmp(a.FCode, b.FCode, kCodeSize) == 0;
    }
    friend bool operator==(const TMethodPtr& a, std::nullptr_t) { return !a; }

private:
    static constexpr std::size_t kCodeSize = 2 * sizeof(void*);

    template <class T>
    struct MemberClass;
    template <class F, class K>
    struct MemberClass<F K::*> {
        using type = K;
    };

    template <class K, class M>
    static R InvokeMember(void* data, const unsigned char* code, Args... args)
    {
        M method;
        std::memcpy(&method, code, sizeof(M));
        return (static_cast<K*>(data)->*method)(std::forward<Args>(args)...);
    }

    static R InvokeFunction(void* data, const unsigned char* code, Args... args)
    {
        R (*function)(void*, Args...);
        std::memcpy(&function, code, sizeof(function));
        return function(data, std::forward<Args>(args)...);
    }

    void* FData = nullptr;
    alignas(void*) unsigned char FCode[kCodeSize] = {};
    R (*FInvoke)(void*, const unsigned char*, Args...) = nullptr;
};

// MakeEvent(obj, &TClass::Method): the event type follows from the method.
template <class C, class K, class R, class... Args>
TMethodPtr<R(Args...)> MakeEvent(C* obj, R (K::*method)(Args...))
{
    return TMethodPtr<R(Args...)>::Bind(obj, method);
}

template <class C, class K, class R, class... Args>
TMethodPtr<R(Args...)> MakeEvent(C* obj, R (K::*method)(Args...) const)
{
    return TMethodPtr<R(Args...)>::Bind(obj, method);
}

// The common event shapes.
using TNotifyEvent = TMethodPtr<void(TObject* Sender)>;
using TGetStrProc = TMethodPtr<void(const std::string& S)>;
