#pragma once
// The property registry: each persistent class lists its published properties in declaration order,
// base class first, with kind, declared default, stored condition and the real getter and setter.
// Window layouts, property files and property editors all read and write through it.
//
// Registering a class, in its .cpp:
//     KV_REGISTER_CLASS(TLabel, TGraphicControl, b) {
//         b.Prop("Caption", &TLabel::Caption, &TLabel::SetCaption);
//         b.Prop("Transparent", &TLabel::Transparent, &TLabel::SetTransparent).Default(false);
//         b.Event("OnClick", &TLabel::OnClick);
//     }

#include "platform/core/Classes.h"

#include <any>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <vector>

namespace kv {

enum class TTypeKind {
    tkUnknown,
    tkInteger,
    tkChar,
    tkEnumeration,
    tkFloat,
    tkString,
    tkSet,
    tkClass,
    tkMethod
};

// A set of enumeration values, element n held in bit n.
template <class E> struct TSet {
    std::uint32_t bits = 0;
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> items) {
        for (E e : items)
            bits |= 1u << static_cast<unsigned>(e);
    }
    static constexpr TSet FromBits(std::uint32_t b) {
        TSet s;
        s.bits = b;
        return s;
    }
    constexpr bool Contains(E e) const { return (bits >> static_cast<unsigned>(e)) & 1u; }
    constexpr TSet& Include(E e) {
        bits |= 1u << static_cast<unsigned>(e);
        return *this;
    }
    constexpr TSet& Exclude(E e) {
        bits &= ~(1u << static_cast<unsigned>(e));
        return *this;
    }
    constexpr bool Empty() const { return bits == 0; }
    friend constexpr bool operator==(TSet a, TSet b) { return a.bits == b.bits; }
};

// Names for integer values written as identifiers (colours "clRed", cursors "crHandPoint").
struct TIdentMap {
    std::vector<std::pair<long long, std::string>> entries;
    const std::string* ToIdent(long long value) const;
    std::optional<long long> ToInt(std::string_view ident) const; // ignoring case
};

class TPropInfo {
public:
    std::string Name;
    TTypeKind Kind = TTypeKind::tkUnknown;
    std::string TypeName;
    std::vector<std::string> EnumNames; // enumeration and set element identifiers
    const TIdentMap* Idents = nullptr;  // integer properties with named values
    bool HasDefault = false;
    long long Default = 0; // ordinal properties only

    std::function<long long(const TObject&)> GetOrd;
    std::function<void(TObject&, long long)> SetOrd;
    std::function<double(const TObject&)> GetFloat;
    std::function<void(TObject&, double)> SetFloat;
    std::function<std::string(const TObject&)> GetStr;
    std::function<void(TObject&, const std::string&)> SetStr;
    std::function<TPersistent*(const TObject&)> GetObject;
    // A reference to another component (written by its name), not an owned sub-object.
    bool IsReference = false;
    std::function<void(TObject&, TComponent*)> SetRef;
    std::function<void(TObject&, const std::any&)> SetMethod; // value is the typed std::function
    std::function<bool(const TObject&)> IsBound;              // an event has a handler
    std::function<bool(const TObject&)> StoredFn;

    bool Writable() const;
    bool IsStored(const TObject& obj) const { return !StoredFn || StoredFn(obj); }
    // The value equals the declared default (ordinals), is empty (strings) or 0 (floats).
    bool IsDefaultValue(const TObject& obj) const;
    // The value as layout text: decimal or identifier, "True"/"False", enumeration names, "[a, b]"
    // for sets, the shortest exact decimal for floats, the raw text for strings.
    std::string ValueText(const TObject& obj) const;
    // Sets the value from text in the forms ValueText gives (integers also accept "$hex").
    // Returns false with a message for text that does not fit the property.
    bool SetValueText(TObject& obj, std::string_view text, std::string* error = nullptr) const;
};

// How a collection class (the old framework's TCollection) reaches its items: a layout writes a
// collection property as a list of items, each with its own published properties.
struct TCollectionAccess {
    std::function<int(const TObject&)> Count;
    std::function<TPersistent*(const TObject&, int)> Item;
    std::function<TPersistent*(TObject&)> Add; // appends a new item with its defaults
    std::function<void(TObject&)> Clear;
};

// A published handler of a class (the event handlers of a form), bound by name.
struct TMethodInfo {
    std::string Name;
    std::function<std::any(TObject&)> Bind; // gives the typed std::function bound to the object
};

class TClassInfo {
public:
    TClassInfo(std::string name, const TClassInfo* parent);

    const std::string& Name() const { return FName; }
    const TClassInfo* Parent() const { return FParent; }
    bool InheritsFrom(const TClassInfo& other) const;
    // All published properties, base class first; a property a class declares again keeps its place.
    const std::vector<std::shared_ptr<const TPropInfo>>& Props() const { return FProps; }
    const TPropInfo* FindProp(std::string_view name) const; // ignoring case
    const TMethodInfo* FindMethod(std::string_view name) const;
    const std::vector<TMethodInfo>& Methods() const { return FMethods; }
    // Creates an instance with an owner; empty for classes that are not components or are abstract.
    std::function<TComponent*(TComponent*)> Create;

    // Set for collection classes; inherited by derived classes.
    const TCollectionAccess* Collection() const { return FCollection.get(); }
    void SetCollection(TCollectionAccess access) {
        FCollection = std::make_shared<const TCollectionAccess>(std::move(access));
    }

    void AddProp(std::shared_ptr<TPropInfo> prop);
    void AddMethod(TMethodInfo method) { FMethods.push_back(std::move(method)); }

private:
    std::string FName;
    const TClassInfo* FParent;
    std::vector<std::shared_ptr<const TPropInfo>> FProps;
    std::unordered_map<std::string_view, std::size_t, TSameTextHash, TSameTextEqual> FPropIndex; // into FProps
    std::vector<TMethodInfo> FMethods;
    std::shared_ptr<const TCollectionAccess> FCollection;
};

namespace detail {
template <class T> struct IsSet : std::false_type {};
template <class E> struct IsSet<TSet<E>> : std::true_type { using Elem = E; };
template <class T> struct IsFunction : std::false_type {};
template <class R, class... A> struct IsFunction<std::function<R(A...)>> : std::true_type {};
} // namespace detail

// Enumerations used as property types provide `EnumIdents(E)` in their namespace, returning the
// identifiers of their values in order.
template <class C> class TClassBuilder {
public:
    explicit TClassBuilder(TClassInfo& info) : FInfo(info) {}

    template <class G, class S> TClassBuilder& Prop(std::string name, G getter, S setter) {
        using T = std::remove_cvref_t<std::invoke_result_t<G, const C&>>;
        auto p = std::make_shared<TPropInfo>();
        p->Name = std::move(name);
        constexpr bool writable = !std::is_same_v<S, std::nullptr_t>;
        if constexpr (std::is_same_v<T, bool>) {
            p->Kind = TTypeKind::tkEnumeration;
            p->TypeName = "Boolean";
            p->EnumNames = {"False", "True"};
            p->GetOrd = [getter](const TObject& o) -> long long {
                return std::invoke(getter, Self(o)) ? 1 : 0;
            };
            if constexpr (writable)
                p->SetOrd = [setter](TObject& o, long long v) { std::invoke(setter, Self(o), v != 0); };
        } else if constexpr (std::is_enum_v<T>) {
            p->Kind = TTypeKind::tkEnumeration;
            p->EnumNames = EnumIdents(T{});
            p->GetOrd = [getter](const TObject& o) -> long long {
                return static_cast<long long>(std::invoke(getter, Self(o)));
            };
            if constexpr (writable)
                p->SetOrd = [setter](TObject& o, long long v) {
                    std::invoke(setter, Self(o), static_cast<T>(v));
                };
        } else if constexpr (detail::IsSet<T>::value) {
            p->Kind = TTypeKind::tkSet;
            p->EnumNames = EnumIdents(typename detail::IsSet<T>::Elem{});
            p->GetOrd = [getter](const TObject& o) -> long long { return std::invoke(getter, Self(o)).bits; };
            if constexpr (writable)
                p->SetOrd = [setter](TObject& o, long long v) {
                    std::invoke(setter, Self(o), T::FromBits(static_cast<std::uint32_t>(v)));
                };
        } else if constexpr (std::is_integral_v<T>) {
            p->Kind = std::is_same_v<T, char> ? TTypeKind::tkChar : TTypeKind::tkInteger;
            p->TypeName = "Integer";
            p->GetOrd = [getter](const TObject& o) -> long long {
                return static_cast<long long>(std::invoke(getter, Self(o)));
            };
            if constexpr (writable)
                p->SetOrd = [setter](TObject& o, long long v) {
                    std::invoke(setter, Self(o), static_cast<T>(v));
                };
        } else if constexpr (std::is_floating_point_v<T>) {
            p->Kind = TTypeKind::tkFloat;
            p->TypeName = "Double";
            p->GetFloat = [getter](const TObject& o) -> double { return std::invoke(getter, Self(o)); };
            if constexpr (writable)
                p->SetFloat = [setter](TObject& o, double v) {
                    std::invoke(setter, Self(o), static_cast<T>(v));
                };
        } else if constexpr (std::is_same_v<T, std::string>) {
            p->Kind = TTypeKind::tkString;
            p->TypeName = "string";
            p->GetStr = [getter](const TObject& o) -> std::string { return std::invoke(getter, Self(o)); };
            if constexpr (writable)
                p->SetStr = [setter](TObject& o, const std::string& v) { std::invoke(setter, Self(o), v); };
        } else if constexpr (std::is_pointer_v<T>) {
            using Obj = std::remove_cv_t<std::remove_pointer_t<T>>;
            static_assert(std::is_base_of_v<TPersistent, Obj>, "object properties hold persistent objects");
            p->Kind = TTypeKind::tkClass;
            p->TypeName = Obj::StaticClassInfo().Name();
            p->GetObject = [getter](const TObject& o) -> TPersistent* {
                return const_cast<Obj*>(std::invoke(getter, Self(o)));
            };
            if constexpr (writable)
                p->SetOrd = [](TObject&, long long) {}; // object properties are assigned through their getter
        } else {
            static_assert(sizeof(T) == 0, "unsupported property type");
        }
        FLast = p;
        FInfo.AddProp(std::move(p));
        return *this;
    }

    // A reference to another component, stored by the component's name.
    template <class G, class S> TClassBuilder& Ref(std::string name, G getter, S setter) {
        using T = std::remove_cvref_t<std::invoke_result_t<G, const C&>>;
        using Obj = std::remove_cv_t<std::remove_pointer_t<T>>;
        static_assert(std::is_base_of_v<TComponent, Obj>, "references name components");
        auto p = std::make_shared<TPropInfo>();
        p->Name = std::move(name);
        p->Kind = TTypeKind::tkClass;
        p->IsReference = true;
        p->TypeName = Obj::StaticClassInfo().Name();
        p->GetObject = [getter](const TObject& o) -> TPersistent* {
            return const_cast<Obj*>(std::invoke(getter, Self(o)));
        };
        p->SetRef = [setter](TObject& o, TComponent* c) {
            auto* typed = dynamic_cast<Obj*>(c);
            if (c && !typed)
                throw EConvertError("Invalid property value");
            std::invoke(setter, Self(o), typed);
        };
        FLast = p;
        FInfo.AddProp(std::move(p));
        return *this;
    }

    // An event property: a std::function member, bound by handler name.
    template <class F, class B> TClassBuilder& Event(std::string name, F B::*field) {
        static_assert(detail::IsFunction<F>::value, "events are std::function members");
        static_assert(std::is_base_of_v<B, C>, "the event belongs to this class or a base");
        auto p = std::make_shared<TPropInfo>();
        p->Name = std::move(name);
        p->Kind = TTypeKind::tkMethod;
        p->SetMethod = [field](TObject& o, const std::any& v) {
            if (!v.has_value())
                Self(o).*field = nullptr;
            else
                Self(o).*field = std::any_cast<F>(v);
        };
        p->IsBound = [field](const TObject& o) { return static_cast<bool>(Self(o).*field); };
        FLast = p;
        FInfo.AddProp(std::move(p));
        return *this;
    }

    // A published handler: a member function with an event's signature.
    template <class F, class M> TClassBuilder& Method(std::string name, M method) {
        FInfo.AddMethod({std::move(name), [method](TObject& o) -> std::any {
                             C* self = &Self(o);
                             return F([self, method](auto&&... args) {
                                 return std::invoke(method, self, std::forward<decltype(args)>(args)...);
                             });
                         }});
        return *this;
    }

    // A published handler that a part of the object carries out: `part` reaches the part from the object
    // (a member pointer to a pointer, or a function), `method` is the part's member. The part is looked up
    // on every call, so it may be created after the handler was bound.
    template <class F, class P, class M> TClassBuilder& Forward(std::string name, P part, M method) {
        FInfo.AddMethod({std::move(name), [part, method](TObject& o) -> std::any {
                             C* self = &Self(o);
                             return F([self, part, method](auto&&... args) {
                                 auto& target = *std::invoke(part, *self);
                                 return std::invoke(method, target, std::forward<decltype(args)>(args)...);
                             });
                         }});
        return *this;
    }

    // Declares the class a collection: its item count, item by index, append and clear.
    template <class N, class I, class A, class X> TClassBuilder& Collection(N count, I item, A add, X clear) {
        FInfo.SetCollection({
            [count](const TObject& o) { return static_cast<int>(std::invoke(count, Self(o))); },
            [item](const TObject& o, int i) -> TPersistent* { return std::invoke(item, Self(o), i); },
            [add](TObject& o) -> TPersistent* { return std::invoke(add, Self(o)); },
            [clear](TObject& o) { std::invoke(clear, Self(o)); },
        });
        return *this;
    }

    // Modifiers of the property added last.
    TClassBuilder& Default(long long value) {
        FLast->HasDefault = true;
        FLast->Default = value;
        return *this;
    }
    template <class E>
    requires std::is_enum_v<E> TClassBuilder& Default(E value) {
        return Default(static_cast<long long>(value));
    }
    TClassBuilder& Default(bool value) { return Default(value ? 1LL : 0LL); }
    template <class E> TClassBuilder& Default(TSet<E> value) {
        return Default(static_cast<long long>(value.bits));
    }
    TClassBuilder& Default(int value) { return Default(static_cast<long long>(value)); }
    template <class P> TClassBuilder& Stored(P pred) {
        FLast->StoredFn = [pred](const TObject& o) { return std::invoke(pred, Self(o)); };
        return *this;
    }
    TClassBuilder& Idents(const TIdentMap& map, std::string typeName) {
        FLast->Idents = &map;
        FLast->TypeName = std::move(typeName);
        return *this;
    }

private:
    static const C& Self(const TObject& o) { return static_cast<const C&>(o); }
    static C& Self(TObject& o) { return static_cast<C&>(o); }

    TClassInfo& FInfo;
    std::shared_ptr<TPropInfo> FLast;
};

template <class C> std::function<TComponent*(TComponent*)> ComponentCreator() {
    if constexpr (std::is_base_of_v<TComponent, C> && !std::is_abstract_v<C> &&
                  std::is_constructible_v<C, TComponent*>)
        return [](TComponent* owner) -> TComponent* { return new C(owner); };
    else
        return nullptr;
}

#define KV_REGISTER_CLASS(Cls, Base, b)                                                                      \
    static void KvRegister_##Cls(::kv::TClassBuilder<Cls>& b);                                               \
    const ::kv::TClassInfo& Cls::StaticClassInfo() {                                                         \
        static const ::kv::TClassInfo info = [] {                                                            \
            ::kv::TClassInfo i(#Cls, &Base::StaticClassInfo());                                              \
            i.Create = ::kv::ComponentCreator<Cls>();                                                        \
            ::kv::TClassBuilder<Cls> builder(i);                                                             \
            KvRegister_##Cls(builder);                                                                       \
            return i;                                                                                        \
        }();                                                                                                 \
        return info;                                                                                         \
    }                                                                                                        \
    static void KvRegister_##Cls([[maybe_unused]] ::kv::TClassBuilder<Cls>& b)

// A property reached by a dotted name ("Font.Name"): the object that holds it and its entry.
struct TPropRef {
    TObject* object = nullptr;
    const TPropInfo* prop = nullptr;
};
// Resolves a dotted name, ignoring case; nullopt when a part names no property or an object part
// holds no object.
std::optional<TPropRef> FindPropRef(TObject& root, std::string_view dottedName);

// Text values by dotted name. Unknown names and unfit values give nullopt / false with a message.
std::optional<std::string> GetPropText(TObject& obj, std::string_view dottedName);
bool SetPropText(TObject& obj, std::string_view dottedName, std::string_view text,
                 std::string* error = nullptr);
// The type kind of a property by dotted name; tkUnknown when there is none.
TTypeKind GetPropKind(TObject& obj, std::string_view dottedName);

// Calls `visit` for every stored, writable, non-object property in declaration order with its full
// dotted name, descending into object properties; with `skipDefaults` a value equal to its declared
// default is left out. Events are visited too when bound.
void ForEachStoredProp(
    TObject& obj, std::string_view prefix, bool skipDefaults,
    const std::function<void(const std::string& fullName, TObject& holder, const TPropInfo& prop)>& visit);

// The collection access of an owned object property's current value, or null when it holds none.
const TCollectionAccess* CollectionOf(const TPersistent* obj);

// The registry of classes by name, for loaders that create objects from class names.
void RegisterClass(const TClassInfo& info);
const TClassInfo* FindClass(std::string_view name); // ignoring case

} // namespace kv
