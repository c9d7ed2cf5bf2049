#include "platform/core/Properties.h"

#include "platform/core/Numbers.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <map>
#include <mutex>

namespace kv {

const std::string* TIdentMap::ToIdent(long long value) const {
    for (const auto& [v, name] : entries)
        if (v == value)
            return &name;
    return nullptr;
}

std::optional<long long> TIdentMap::ToInt(std::string_view ident) const {
    for (const auto& [v, name] : entries)
        if (SameText(name, ident))
            return v;
    return std::nullopt;
}

// ---------------------------------------------------------------------------------------------------

TClassInfo::TClassInfo(std::string name, const TClassInfo* parent) : FName(std::move(name)), FParent(parent) {
    if (parent) {
        FProps = parent->FProps;
        FPropIndex = parent->FPropIndex;
        FMethods = parent->FMethods;
        FCollection = parent->FCollection;
    }
}

bool TClassInfo::InheritsFrom(const TClassInfo& other) const {
    for (const TClassInfo* c = this; c; c = c->FParent)
        if (c == &other)
            return true;
    return false;
}

const TPropInfo* TClassInfo::FindProp(std::string_view name) const {
    auto it = FPropIndex.find(name);
    return it == FPropIndex.end() ? nullptr : FProps[it->second].get();
}

const TMethodInfo* TClassInfo::FindMethod(std::string_view name) const {
    for (const auto& m : FMethods)
        if (SameText(m.Name, name))
            return &m;
    return nullptr;
}

void TClassInfo::AddProp(std::shared_ptr<TPropInfo> prop) {
    std::size_t at = FProps.size();
    if (auto it = FPropIndex.find(prop->Name); it != FPropIndex.end()) {
        at = it->second; // declared again: the new entry takes the old one's place
        FPropIndex.erase(it);
        FProps[at] = std::move(prop);
    } else {
        FProps.push_back(std::move(prop));
    }
    FPropIndex.emplace(FProps[at]->Name, at);
}

// ---------------------------------------------------------------------------------------------------

bool TPropInfo::Writable() const {
    switch (Kind) {
    case TTypeKind::tkInteger:
    case TTypeKind::tkChar:
    case TTypeKind::tkEnumeration:
    case TTypeKind::tkSet:
        return static_cast<bool>(SetOrd);
    case TTypeKind::tkFloat:
        return static_cast<bool>(SetFloat);
    case TTypeKind::tkString:
        return static_cast<bool>(SetStr);
    case TTypeKind::tkClass:
        return IsReference ? static_cast<bool>(SetRef) : static_cast<bool>(SetOrd);
    case TTypeKind::tkMethod:
        return static_cast<bool>(SetMethod);
    case TTypeKind::tkUnknown:
        break;
    }
    return false;
}

bool TPropInfo::IsDefaultValue(const TObject& obj) const {
    switch (Kind) {
    case TTypeKind::tkInteger:
    case TTypeKind::tkChar:
    case TTypeKind::tkEnumeration:
    case TTypeKind::tkSet:
        return HasDefault && GetOrd(obj) == Default;
    case TTypeKind::tkFloat:
        return GetFloat(obj) == 0.0;
    case TTypeKind::tkString:
        return GetStr(obj).empty();
    case TTypeKind::tkMethod:
        return !IsBound(obj);
    default:
        return false;
    }
}

static std::string FloatText(double v) {
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, res.ptr);
}

std::string TPropInfo::ValueText(const TObject& obj) const {
    switch (Kind) {
    case TTypeKind::tkInteger:
    case TTypeKind::tkChar: {
        long long v = GetOrd(obj);
        if (Idents)
            if (const std::string* id = Idents->ToIdent(v))
                return *id;
        return FormatInt(v);
    }
    case TTypeKind::tkEnumeration: {
        long long v = GetOrd(obj);
        if (v >= 0 && static_cast<std::size_t>(v) < EnumNames.size())
            return EnumNames[static_cast<std::size_t>(v)];
        return FormatInt(v);
    }
    case TTypeKind::tkSet: {
        auto bits = static_cast<std::uint64_t>(GetOrd(obj));
        std::string r = "[";
        for (std::size_t i = 0; i < 64 && bits; ++i, bits >>= 1)
            if (bits & 1u) {
                if (r.size() > 1)
                    r += ", ";
                r += i < EnumNames.size() ? EnumNames[i] : FormatInt(static_cast<long long>(i));
            }
        return r + "]";
    }
    case TTypeKind::tkFloat:
        return FloatText(GetFloat(obj));
    case TTypeKind::tkString:
        return GetStr(obj);
    case TTypeKind::tkClass:
        if (IsReference)
            if (auto* c = dynamic_cast<TComponent*>(GetObject(obj)))
                return c->Name();
        return {};
    default:
        return {};
    }
}

static std::optional<long long> ParseOrdinal(std::string_view t) {
    t = TrimOf(t, kControlsAndBlank);
    if (!t.empty() && t.front() == '$') {
        unsigned long long v = 0;
        auto res = std::from_chars(t.data() + 1, t.data() + t.size(), v, 16);
        if (res.ec != std::errc() || res.ptr != t.data() + t.size() || t.size() == 1)
            return std::nullopt;
        // "$FF000005" is a 32-bit value as the old framework wrote it; keep its sign.
        if (t.size() <= 9)
            return static_cast<long long>(static_cast<std::int32_t>(static_cast<std::uint32_t>(v)));
        return static_cast<long long>(v);
    }
    return ParseInt(t);
}

static std::optional<long long> EnumIndex(const std::vector<std::string>& names, std::string_view t) {
    for (std::size_t i = 0; i < names.size(); ++i)
        if (SameText(names[i], t))
            return static_cast<long long>(i);
    return std::nullopt;
}

bool TPropInfo::SetValueText(TObject& obj, std::string_view text, std::string* error) const {
    auto fail = [&](const std::string& why) {
        if (error)
            *error = why;
        return false;
    };
    if (!Writable())
        return fail("Property " + Name + " is read-only");
    switch (Kind) {
    case TTypeKind::tkInteger:
    case TTypeKind::tkChar: {
        std::optional<long long> v;
        if (Idents)
            v = Idents->ToInt(TrimOf(text, kControlsAndBlank));
        if (!v)
            v = ParseOrdinal(text);
        if (!v)
            return fail("'" + std::string(text) + "' is not a valid integer value for " + Name);
        SetOrd(obj, *v);
        return true;
    }
    case TTypeKind::tkEnumeration: {
        auto v = EnumIndex(EnumNames, TrimOf(text, kControlsAndBlank));
        if (!v)
            if (auto n = ParseOrdinal(text); n && *n >= 0 && static_cast<std::size_t>(*n) < EnumNames.size())
                v = n;
        if (!v)
            return fail("'" + std::string(text) + "' is not a valid value for " + Name);
        SetOrd(obj, *v);
        return true;
    }
    case TTypeKind::tkSet: {
        std::string_view t = TrimOf(text, kControlsAndBlank);
        if (t.size() < 2 || t.front() != '[' || t.back() != ']')
            return fail("'" + std::string(text) + "' is not a set value for " + Name);
        t = t.substr(1, t.size() - 2);
        long long bits = 0;
        while (!TrimOf(t, kControlsAndBlank).empty()) {
            auto comma = t.find(',');
            std::string_view item = TrimOf(t.substr(0, comma), kControlsAndBlank);
            auto v = EnumIndex(EnumNames, item);
            // A set holds at most 64 elements; a name beyond that has no bit.
            if (!v || *v >= 64)
                return fail("'" + std::string(item) + "' is not an element of " + Name);
            bits |= 1LL << *v;
            if (comma == std::string_view::npos)
                break;
            t.remove_prefix(comma + 1);
        }
        SetOrd(obj, bits);
        return true;
    }
    case TTypeKind::tkFloat: {
        auto v = ParseDouble(text);
        if (!v)
            return fail("'" + std::string(text) + "' is not a valid floating point value for " + Name);
        SetFloat(obj, *v);
        return true;
    }
    case TTypeKind::tkString:
        SetStr(obj, std::string(text));
        return true;
    default:
        return fail("Property " + Name + " has no text value");
    }
}

// ---------------------------------------------------------------------------------------------------

std::optional<TPropRef> FindPropRef(TObject& root, std::string_view dottedName) {
    TObject* obj = &root;
    std::string_view rest = dottedName;
    for (;;) {
        auto dot = rest.find('.');
        const TPropInfo* p = obj->ClassInfo().FindProp(rest.substr(0, dot));
        if (!p)
            return std::nullopt;
        if (dot == std::string_view::npos)
            return TPropRef{obj, p};
        if (p->Kind != TTypeKind::tkClass || p->IsReference)
            return std::nullopt;
        TPersistent* sub = p->GetObject(*obj);
        if (!sub)
            return std::nullopt;
        obj = sub;
        rest.remove_prefix(dot + 1);
    }
}

std::optional<std::string> GetPropText(TObject& obj, std::string_view dottedName) {
    auto ref = FindPropRef(obj, dottedName);
    if (!ref || (ref->prop->Kind == TTypeKind::tkClass && !ref->prop->IsReference) ||
        ref->prop->Kind == TTypeKind::tkMethod)
        return std::nullopt;
    return ref->prop->ValueText(*ref->object);
}

bool SetPropText(TObject& obj, std::string_view dottedName, std::string_view text, std::string* error) {
    auto ref = FindPropRef(obj, dottedName);
    if (!ref) {
        if (error)
            *error = "Unknown property " + std::string(dottedName) + " of " + obj.ClassName();
        return false;
    }
    return ref->prop->SetValueText(*ref->object, text, error);
}

TTypeKind GetPropKind(TObject& obj, std::string_view dottedName) {
    auto ref = FindPropRef(obj, dottedName);
    return ref ? ref->prop->Kind : TTypeKind::tkUnknown;
}

void ForEachStoredProp(TObject& obj, std::string_view prefix, bool skipDefaults,
                       const std::function<void(const std::string&, TObject&, const TPropInfo&)>& visit) {
    for (const auto& sp : obj.ClassInfo().Props()) {
        const TPropInfo& p = *sp;
        if (!p.Writable() || !p.IsStored(obj))
            continue;
        std::string full = prefix.empty() ? p.Name : std::string(prefix) + "." + p.Name;
        if (p.Kind == TTypeKind::tkClass && p.IsReference) {
            if (p.GetObject(obj))
                visit(full, obj, p);
            continue;
        }
        if (p.Kind == TTypeKind::tkClass) {
            if (TPersistent* sub = p.GetObject(obj))
                ForEachStoredProp(*sub, full, skipDefaults, visit);
            continue;
        }
        if (p.Kind == TTypeKind::tkMethod) {
            if (p.IsBound(obj))
                visit(full, obj, p);
            continue;
        }
        if (skipDefaults && p.IsDefaultValue(obj))
            continue;
        visit(full, obj, p);
    }
}

const TCollectionAccess* CollectionOf(const TPersistent* obj) {
    return obj ? obj->ClassInfo().Collection() : nullptr;
}

// ---------------------------------------------------------------------------------------------------

namespace {
struct ClassRegistry {
    std::mutex lock;
    std::map<std::string, const TClassInfo*> byName; // upper-case name
};
ClassRegistry& Registry() {
    static ClassRegistry r;
    return r;
}
} // namespace

void RegisterClass(const TClassInfo& info) {
    auto& r = Registry();
    std::lock_guard g(r.lock);
    r.byName[UpperCase(info.Name())] = &info;
}

const TClassInfo* FindClass(std::string_view name) {
    auto& r = Registry();
    std::lock_guard g(r.lock);
    auto it = r.byName.find(UpperCase(name));
    return it == r.byName.end() ? nullptr : it->second;
}

} // namespace kv
