#pragma once
// Published properties, members and handlers: what a stored form description
// may name. Every class that can appear in a description declares its table
// inside the class body with one macro, and inherits its parent's rows:
//
//   class TspSkinButton : public TspSkinControl {
//   public:
//       ...
//       PUBLISHED(TspSkinButton, TspSkinControl)
//       {
//           P.Property("Caption", &TspSkinButton::Caption, &TspSkinButton::SetCaption);
//           P.Property("Spacing", &TspSkinButton::Spacing, &TspSkinButton::SetSpacing, 1);
//           P.Property("Font", &TspSkinButton::Font);               // sub-properties
//           P.Property("OnClick", &TspSkinButton::OnClick);         // event field
//       }
//   };
//
// A row is name, getter, setter (nullptr: none) and the stream default (left
// out when the value equals it). The kind of value follows from the getter's
// C++ type: integers, bool, floating point, std::string, enumerations named
// with ENUM_NAMES, sets of such an enumeration (TSet<E> or any class with
// Contains(E) and Include(E)), TStrings* (string lists),
// TCollection* (items), other TPersistent* (sub-properties, or a picture file
// when the class has LoadFromFile), TComponent* (a reference to a component)
// and TMethodPtr events. A form class also lists its members (the component
// fields bound by name) and its handlers (methods events are bound to):
//
//       P.Member("OkButton", &TMainForm::OkButton);
//       P.Handler("OkButtonClick", &TMainForm::OkButtonClick);
//
// Tables are built on first use, so declaring one costs nothing at start-up.
#include "platform/classes/Events.h"
#include "platform/classes/Persistent.h"
#include "platform/classes/Sets.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <initializer_list>
#include <limits>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeinfo>
#include <utility>
#include <variant>
#include <vector>

class TComponent;
class TStrings;
class TCollection;

// ---- enumeration names ----------------------------------------------------

// The identifiers of an enumeration's values, as descriptions spell them.
class TEnumInfo {
public:
    // Names is the comma-separated list the values were written as.
    TEnumInfo(const char* TypeName, const char* Names, std::vector<std::int64_t> Values);

    const std::string& TypeName() const { return FTypeName; }
    // Looks a name up without regard to case.
    bool ValueOf(std::string_view Name, std::int64_t& Value) const;
    // The name of a value; nullptr when the value has none.
    const std::string* NameOf(std::int64_t Value) const;
    const std::vector<std::pair<std::string, std::int64_t>>& Items() const { return FItems; }

private:
    std::string FTypeName;
    std::vector<std::pair<std::string, std::int64_t>> FItems;
};

namespace tarnello::classes {
template <class E>
std::vector<std::int64_t> EnumValues(std::initializer_list<E> Values)
{
    std::vector<std::int64_t> result;
    result.reserve(Values.size());
    for (E v : Values)
        result.push_back(static_cast<std::int64_t>(v));
    return result;
}
}  // namespace tarnello::classes

// Names an enumeration's values for descriptions; place it after the
// enumeration, in the same namespace:  ENUM_NAMES(TAlign, alNone, alTop, ...)
#define ENUM_NAMES(Enum, ...)                                                                         \
    inline const TEnumInfo& EnumInfoOf(const Enum*)                                                   \
    {                                                                                                 \
        static const TEnumInfo info(#Enum, #__VA_ARGS__,                                              \
                                    ::tarnello::classes::EnumValues<Enum>({__VA_ARGS__}));            \
        return info;                                                                                  \
    }

// Identifiers an integer property accepts besides numbers (colours, cursors).
struct TIdentMapEntry {
    std::int64_t Value;
    const char* Name;
};
using TIdentMap = std::vector<TIdentMapEntry>;

// ---- table rows -------------------------------------------------------------

enum class TPropertyKind { Integer, Bool, Float, String, Enum, Set, Strings, Collection, Object, Component, Method };

struct TMethodEntry;

// The stream default: none, an integer (also bool, enumeration, set bits), a
// float or a string.
using TPropertyDefault = std::variant<std::monostate, std::int64_t, double, std::string>;

struct TPropertyInfo {
    std::string Name;
    TPropertyKind Kind = TPropertyKind::Integer;
    const TEnumInfo* Enum = nullptr;     // Enum and Set
    const TIdentMap* Idents = nullptr;   // Integer, optional
    std::int64_t Min = 0, Max = 0;       // Integer: what the C++ type holds
    std::int64_t HexMax = 0;             // Integer: hex values fill the whole width
    TPropertyDefault Default;
    bool Stored = true;

    // Accessors; those a kind does not use stay empty, as does a missing setter.
    std::function<std::int64_t(TPersistent*)> GetInt;   // Integer, Bool, Enum, Set (bits)
    std::function<void(TPersistent*, std::int64_t)> SetInt;
    std::function<double(TPersistent*)> GetFloat;
    std::function<void(TPersistent*, double)> SetFloat;
    std::function<std::string(TPersistent*)> GetString;
    std::function<void(TPersistent*, const std::string&)> SetString;
    // Strings, Collection, Object, Component: the object the property holds.
    std::function<TPersistent*(TPersistent*)> GetObject;
    // Component: false when the value is not of the property's class.
    std::function<bool(TPersistent*, TPersistent*)> SetComponent;
    // Object: loads the sub-object from a file (pictures).
    std::function<void(TPersistent*, const std::string&)> LoadFromFile;
    // Method: binds the event to a handler of Root; false when the handler's
    // shape does not fit the event.
    std::function<bool(TPersistent*, const TMethodEntry&, TPersistent* Root)> SetMethod;
    // Method: true when the event is bound to that handler of Root.
    std::function<bool(TPersistent*, const TMethodEntry&, TPersistent* Root)> IsMethod;
    std::function<bool(TPersistent*)> IsNilMethod;
    // Stored for this object only when it answers true (a control's font is
    // not stored while it follows its parent's).
    std::function<bool(TPersistent*)> IsStored;

    // Options, chained after a row: P.Property(...).NotStored();
    TPropertyInfo& NotStored()
    {
        Stored = false;
        return *this;
    }
    TPropertyInfo& WithIdents(const TIdentMap* Map)
    {
        Idents = Map;
        return *this;
    }
    // Stored only when the object's member function answers true.
    template <class K>
    TPropertyInfo& StoredIf(bool (K::*Test)() const)
    {
        IsStored = [Test](TPersistent* obj) { return (static_cast<const K*>(obj)->*Test)(); };
        return *this;
    }
};

// A component field of a form, bound to the component of that name.
struct TMemberEntry {
    std::string Name;
    // Stores Value (nullptr clears); false when it is not of the field's class.
    std::function<bool(TPersistent* Root, TPersistent* Value)> Bind;
};

// A method of a form that events in its description are bound to by name.
struct TMethodEntry {
    std::string Name;
    const std::type_info* EventType = nullptr;  // the TMethodPtr type it makes
    // Writes the event bound to Root into *Event (of EventType).
    std::function<void(TPersistent* Root, void* Event)> Make;
};

template <class C>
class TPublisher;

class TPropertyTable {
public:
    TPropertyTable(std::string ClassName, const TPropertyTable* Parent) : FClassName(std::move(ClassName)), FParent(Parent) {}
    template <class C>
    TPropertyTable(std::string ClassName, const TPropertyTable* Parent, void (*Declare)(TPublisher<C>&));

    const std::string& ClassName() const { return FClassName; }
    const TPropertyTable* Parent() const { return FParent; }
    // Lookups go through the class's own rows, then its ancestors'; names
    // compare without regard to case.
    const TPropertyInfo* FindProperty(std::string_view Name) const;
    const TMemberEntry* FindMember(std::string_view Name) const;
    const TMethodEntry* FindMethod(std::string_view Name) const;
    // Every property, ancestors' first, a redeclared one in its first place.
    std::vector<const TPropertyInfo*> AllProperties() const;
    // Every handler of the class and its ancestors.
    std::vector<const TMethodEntry*> AllMethods() const;

private:
    template <class C>
    friend class TPublisher;
    std::string FClassName;
    const TPropertyTable* FParent;
    std::deque<TPropertyInfo> FProperties;
    std::vector<TMemberEntry> FMembers;
    std::vector<TMethodEntry> FMethods;
};

// ---- how a C++ type maps to a kind -------------------------------------------

namespace tarnello::classes {

template <class E>
concept NamedEnum = std::is_enum_v<E> && requires(const E* e) {
    { EnumInfoOf(e) } -> std::same_as<const TEnumInfo&>;
};

// A set is any class with Contains(E) and Include(E) for an enumeration E:
// TSet<E>, and set classes of their own such as a font's styles.
template <class M>
struct ContainsArg {};
template <class S, class E>
struct ContainsArg<bool (S::*)(E) const> {
    using type = E;
};

template <class T>
struct IsSet : std::false_type {};
template <class T>
    requires std::is_class_v<T> && requires { typename ContainsArg<decltype(&T::Contains)>::type; }
struct IsSet<T> : std::bool_constant<std::is_enum_v<typename ContainsArg<decltype(&T::Contains)>::type>> {
    using Element = typename ContainsArg<decltype(&T::Contains)>::type;
};

template <class T>
struct IsMethodPtr : std::false_type {};
template <class S>
struct IsMethodPtr<TMethodPtr<S>> : std::true_type {};

template <class V>
constexpr TPropertyKind KindOf()
{
    if constexpr (std::is_same_v<V, bool>)
        return TPropertyKind::Bool;
    else if constexpr (std::is_integral_v<V>)
        return TPropertyKind::Integer;
    else if constexpr (std::is_floating_point_v<V>)
        return TPropertyKind::Float;
    else if constexpr (std::is_same_v<V, std::string>)
        return TPropertyKind::String;
    else if constexpr (std::is_enum_v<V>) {
        static_assert(NamedEnum<V>, "name the enumeration's values with ENUM_NAMES");
        return TPropertyKind::Enum;
    } else if constexpr (IsSet<V>::value) {
        static_assert(NamedEnum<typename IsSet<V>::Element>, "name the set's values with ENUM_NAMES");
        return TPropertyKind::Set;
    } else if constexpr (IsMethodPtr<V>::value)
        return TPropertyKind::Method;
    else if constexpr (std::is_pointer_v<V>) {
        using O = std::remove_cv_t<std::remove_pointer_t<V>>;
        if constexpr (std::is_base_of_v<TStrings, O>)
            return TPropertyKind::Strings;
        else if constexpr (std::is_base_of_v<TCollection, O>)
            return TPropertyKind::Collection;
        else if constexpr (std::is_base_of_v<TComponent, O>)
            return TPropertyKind::Component;
        else {
            static_assert(std::is_base_of_v<TPersistent, O>, "a published object must be a TPersistent");
            return TPropertyKind::Object;
        }
    } else {
        static_assert(sizeof(V) == 0, "this type cannot be published");
        return TPropertyKind::Integer;
    }
}

// Bit n stands for the element of value n.
template <class S, class E>
S SetFromBits(std::uint64_t Bits)
{
    S s{};
    for (unsigned i = 0; i < 64; ++i)
        if (Bits & (std::uint64_t{1} << i))
            s.Include(static_cast<E>(i));
    return s;
}

template <class E, class S>
std::uint64_t SetToBits(const S& Set)
{
    std::uint64_t bits = 0;
    for (const auto& item : EnumInfoOf(static_cast<const E*>(nullptr)).Items())
        if (item.second >= 0 && item.second < 64 && Set.Contains(static_cast<E>(item.second)))
            bits |= std::uint64_t{1} << item.second;
    return bits;
}

}  // namespace tarnello::classes

// ---- declaring rows -----------------------------------------------------------

template <class C>
class TPublisher {
public:
    explicit TPublisher(TPropertyTable& Table) : FTable(Table) {}

    // Name, getter (a member function or a field of C or a base), setter (a
    // member function, or nullptr: none).
    template <class G, class S>
    TPropertyInfo& Property(const char* Name, G Get, S Set)
    {
        return Add<G, S, int>(Name, Get, Set, nullptr);
    }
    // The same with the stream default.
    template <class G, class S, class D>
    TPropertyInfo& Property(const char* Name, G Get, S Set, D Default)
    {
        return Add<G, S, D>(Name, Get, Set, &Default);
    }
    // A field read and written directly (events).
    template <class F, class K>
    TPropertyInfo& Property(const char* Name, F K::*Field)
    {
        return Add<F K::*, std::nullptr_t, int>(Name, Field, nullptr, nullptr);
    }

    template <class T, class K>
    void Member(const char* Name, T* K::*Field)
    {
        TMemberEntry entry;
        entry.Name = Name;
        entry.Bind = [Field](TPersistent* Root, TPersistent* Value) {
            K* root = dynamic_cast<K*>(Root);
            if (!root)
                return false;
            if (!Value) {
                root->*Field = nullptr;
                return true;
            }
            T* typed = dynamic_cast<T*>(Value);
            if (!typed)
                return false;
            root->*Field = typed;
            return true;
        };
        FTable.FMembers.push_back(std::move(entry));
    }

    template <class K, class R, class... A>
    void Handler(const char* Name, R (K::*Method)(A...))
    {
        using E = TMethodPtr<R(A...)>;
        TMethodEntry entry;
        entry.Name = Name;
        entry.EventType = &typeid(E);
        entry.Make = [Method](TPersistent* Root, void* Event) {
            *static_cast<E*>(Event) = E::Bind(dynamic_cast<K*>(Root), Method);
        };
        FTable.FMethods.push_back(std::move(entry));
    }

private:
    template <class G, class S, class D>
    TPropertyInfo& Add(const char* Name, G Get, S Set, const D* Default)
    {
        using namespace tarnello::classes;
        using V = std::remove_cvref_t<std::invoke_result_t<G, C*>>;
        constexpr TPropertyKind kind = KindOf<V>();
        constexpr bool hasSetter = !std::is_same_v<S, std::nullptr_t>;
        // A field without a setter is written through the reference it yields.
        constexpr bool writableGet = std::is_lvalue_reference_v<std::invoke_result_t<G, C*>> &&
                                     !std::is_const_v<std::remove_reference_t<std::invoke_result_t<G, C*>>>;
        auto self = [](TPersistent* obj) { return static_cast<C*>(obj); };
        auto assign = [Get, Set, self](TPersistent* obj, V value) {
            if constexpr (hasSetter)
                std::invoke(Set, self(obj), std::move(value));
            else if constexpr (writableGet)
                std::invoke(Get, self(obj)) = std::move(value);
        };
        constexpr bool canSet = hasSetter || writableGet;

        TPropertyInfo& info = FTable.FProperties.emplace_back();
        info.Name = Name;
        info.Kind = kind;
        if constexpr (kind == TPropertyKind::Integer || kind == TPropertyKind::Bool || kind == TPropertyKind::Enum) {
            if constexpr (kind == TPropertyKind::Integer) {
                info.Min = static_cast<std::int64_t>(std::numeric_limits<V>::min());
                // Hex values fill the type's whole width (colours are written so).
                using U = std::make_unsigned_t<V>;
                constexpr auto kInt64Max = std::numeric_limits<std::int64_t>::max();
                info.Max = sizeof(V) >= 8 ? kInt64Max : static_cast<std::int64_t>(std::numeric_limits<V>::max());
                info.HexMax = sizeof(V) >= 8 ? kInt64Max : static_cast<std::int64_t>(std::numeric_limits<U>::max());
            }
            if constexpr (kind == TPropertyKind::Enum)
                info.Enum = &EnumInfoOf(static_cast<const V*>(nullptr));
            info.GetInt = [Get, self](TPersistent* obj) { return static_cast<std::int64_t>(std::invoke(Get, self(obj))); };
            if constexpr (canSet)
                info.SetInt = [assign](TPersistent* obj, std::int64_t v) { assign(obj, static_cast<V>(v)); };
            if (Default)
                info.Default = static_cast<std::int64_t>(static_cast<V>(*Default));
        } else if constexpr (kind == TPropertyKind::Set) {
            using E = typename IsSet<V>::Element;
            info.Enum = &EnumInfoOf(static_cast<const E*>(nullptr));
            info.GetInt = [Get, self](TPersistent* obj) {
                return static_cast<std::int64_t>(SetToBits<E>(std::invoke(Get, self(obj))));
            };
            if constexpr (canSet)
                info.SetInt = [assign](TPersistent* obj, std::int64_t v) {
                    assign(obj, SetFromBits<V, E>(static_cast<std::uint64_t>(v)));
                };
            if constexpr (std::is_same_v<D, V>)
                if (Default)
                    info.Default = static_cast<std::int64_t>(SetToBits<E>(*Default));
        } else if constexpr (kind == TPropertyKind::Float) {
            info.GetFloat = [Get, self](TPersistent* obj) { return static_cast<double>(std::invoke(Get, self(obj))); };
            if constexpr (canSet)
                info.SetFloat = [assign](TPersistent* obj, double v) { assign(obj, static_cast<V>(v)); };
            if (Default)
                info.Default = static_cast<double>(*Default);
        } else if constexpr (kind == TPropertyKind::String) {
            info.GetString = [Get, self](TPersistent* obj) { return std::string(std::invoke(Get, self(obj))); };
            if constexpr (canSet)
                info.SetString = [assign](TPersistent* obj, const std::string& v) { assign(obj, v); };
            if constexpr (std::is_constructible_v<std::string, D>)
                if (Default)
                    info.Default = std::string(*Default);
        } else if constexpr (kind == TPropertyKind::Method) {
            info.SetMethod = [assign](TPersistent* obj, const TMethodEntry& handler, TPersistent* root) {
                if (*handler.EventType != typeid(V))
                    return false;
                V event;
                handler.Make(root, &event);
                assign(obj, event);
                return canSet;
            };
            info.IsMethod = [Get, self](TPersistent* obj, const TMethodEntry& handler, TPersistent* root) {
                if (*handler.EventType != typeid(V))
                    return false;
                V event;
                handler.Make(root, &event);
                return static_cast<bool>(event) && event == std::invoke(Get, self(obj));
            };
            info.IsNilMethod = [Get, self](TPersistent* obj) { return !std::invoke(Get, self(obj)); };
        } else {
            using O = std::remove_cv_t<std::remove_pointer_t<V>>;
            info.GetObject = [Get, self](TPersistent* obj) -> TPersistent* {
                return const_cast<O*>(std::invoke(Get, self(obj)));
            };
            if constexpr (kind == TPropertyKind::Component && canSet)
                info.SetComponent = [assign](TPersistent* obj, TPersistent* value) {
                    O* typed = dynamic_cast<O*>(value);
                    if (value && !typed)
                        return false;
                    assign(obj, typed);
                    return true;
                };
            if constexpr (kind == TPropertyKind::Object && requires(O* o, const std::string& s) { o->LoadFromFile(s); })
                info.LoadFromFile = [](TPersistent* obj, const std::string& file) { static_cast<O*>(obj)->LoadFromFile(file); };
        }
        return info;
    }

    TPropertyTable& FTable;
};

template <class C>
TPropertyTable::TPropertyTable(std::string ClassName, const TPropertyTable* Parent, void (*Declare)(TPublisher<C>&))
    : FClassName(std::move(ClassName)), FParent(Parent)
{
    TPublisher<C> publisher(*this);
    Declare(publisher);
}

// Declares the class's table; the body that follows lists its rows through P.
// Leaves the class's public section open.
#define PUBLISHED(Class, Parent)                                                                      \
public:                                                                                               \
    static const TPropertyTable& ClassPropertyTable()                                                 \
    {                                                                                                 \
        static const TPropertyTable table(#Class, &Parent::ClassPropertyTable(), &Class::DeclarePublished); \
        return table;                                                                                 \
    }                                                                                                 \
    const TPropertyTable* PropertyTable() const override { return &ClassPropertyTable(); }           \
    static void DeclarePublished(TPublisher<Class>& P)
