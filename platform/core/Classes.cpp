#include "platform/core/Classes.h"

#include "platform/core/Properties.h"

#include <algorithm>
#include <cctype>

namespace kv {

const TClassInfo& TObject::StaticClassInfo() {
    static const TClassInfo info("TObject", nullptr);
    return info;
}

const std::string& TObject::ClassName() const {
    return ClassInfo().Name();
}

bool TObject::InheritsFrom(const TClassInfo& info) const {
    return ClassInfo().InheritsFrom(info);
}

KV_REGISTER_CLASS(TPersistent, TObject, b) {}

void TPersistent::Assign(const TPersistent* source) {
    if (source && source->AssignTo(this))
        return;
    throw EConvertError("Cannot assign a " + (source ? source->ClassName() : std::string("nil")) + " to a " +
                        ClassName());
}

bool TPersistent::AssignTo(TPersistent*) const {
    return false;
}

// ---------------------------------------------------------------------------------------------------

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

std::size_t TSameTextHash::operator()(std::string_view s) const {
    std::size_t h = 14695981039346656037ull;
    for (char c : s) {
        const auto u = static_cast<unsigned char>(c);
        h = (h ^ (u >= 'a' && u <= 'z' ? u - 32 : u)) * 1099511628211ull;
    }
    return h;
}

std::string UpperCase(std::string_view text) {
    std::string r(text);
    for (char& c : r)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return r;
}

bool IsValidIdent(std::string_view name) {
    if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0])))
        return false;
    return std::all_of(name.begin(), name.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; });
}

KV_REGISTER_CLASS(TComponent, TPersistent, b) {
    b.Prop("Name", &TComponent::Name, &TComponent::SetName);
    b.Prop("Tag", &TComponent::Tag, &TComponent::SetTag).Default(0);
}

TComponent::TComponent(TComponent* owner) {
    if (owner)
        owner->InsertComponent(this);
}

TComponent::~TComponent() {
    FDestroying = true;
    SendFreeNotifications();
    DestroyComponents();
    if (FOwner)
        FOwner->RemoveComponent(this);
}

void TComponent::SendFreeNotifications() {
    // A receiver may unsubscribe others while it is told; take them one at a time.
    while (!FFreeNotifies.empty()) {
        TComponent* c = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        c->RemoveFreeNotification(this);
        c->Notification(this, TOperation::opRemove);
    }
}

void TComponent::SetName(const std::string& name) {
    if (name == FName)
        return;
    if (!name.empty() && !IsValidIdent(name))
        throw EComponentError("\"" + name + "\" is not a valid component name");
    if (!name.empty() && FOwner) {
        TComponent* other = FOwner->FindComponent(name);
        if (other && other != this)
            throw EComponentError("A component named " + name + " already exists");
    }
    if (FOwner)
        FOwner->UnindexName(this);
    FName = name;
    if (FOwner)
        FOwner->IndexName(this);
}

namespace {
// An owner indexes its components' names from this many on; below it a look through the list is as quick.
constexpr std::size_t kIndexedFrom = 32;

bool Ascii(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}
} // namespace

void TComponent::IndexName(TComponent* component) {
    if (!FNames) {
        if (FComponents.size() < kIndexedFrom)
            return;
        FNames = std::make_unique<decltype(FNames)::element_type>();
        for (TComponent* c : FComponents)
            if (!c->FName.empty())
                FNames->emplace(c->FName, c);
        return;
    }
    if (!component->FName.empty())
        FNames->emplace(component->FName, component);
}

void TComponent::UnindexName(TComponent* component) {
    if (!FNames || component->FName.empty())
        return;
    auto it = FNames->find(component->FName);
    if (it != FNames->end() && it->second == component)
        FNames->erase(it);
}

int TComponent::ComponentIndex() const {
    if (!FOwner)
        return -1;
    auto& list = FOwner->FComponents;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

TComponent* TComponent::FindComponent(std::string_view name) const {
    if (name.empty())
        return nullptr;
    // The index holds names as SameText matches ASCII letters; other bytes are compared one by one.
    if (FNames && Ascii(name)) {
        auto it = FNames->find(name);
        return it == FNames->end() ? nullptr : it->second;
    }
    for (TComponent* c : FComponents)
        if (SameText(c->FName, name))
            return c;
    return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
    if (!component || component->FOwner == this)
        return;
    if (!component->FName.empty() && FindComponent(component->FName))
        throw EComponentError("A component named " + component->FName + " already exists");
    if (component->FOwner)
        component->FOwner->RemoveComponent(component);
    FComponents.push_back(component);
    component->FOwner = this;
    IndexName(component);
    Notification(component, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
    auto it = std::find(FComponents.begin(), FComponents.end(), component);
    if (it == FComponents.end())
        return;
    if (!FDestroying)
        Notification(component, TOperation::opRemove);
    UnindexName(component);
    FComponents.erase(it);
    component->FOwner = nullptr;
}

void TComponent::DestroyComponents() {
    // Last created first, as the old framework did; each one is unlinked before it is deleted, so its
    // destructor finds no owner to take it out of the list. Lookups meanwhile go through the list.
    FNames.reset();
    while (!FComponents.empty()) {
        TComponent* c = FComponents.back();
        FComponents.pop_back();
        c->FOwner = nullptr;
        delete c;
    }
}

void TComponent::FreeNotification(TComponent* component) {
    if (!component || component == this)
        return;
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), component) == FFreeNotifies.end())
        FFreeNotifies.push_back(component);
    if (std::find(component->FFreeNotifies.begin(), component->FFreeNotifies.end(), this) ==
        component->FFreeNotifies.end())
        component->FFreeNotifies.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
    std::erase(FFreeNotifies, component);
    if (component)
        std::erase(component->FFreeNotifies, this);
}

void TComponent::Notification(TComponent*, TOperation) {}

const std::string* TComponent::BoundHandler(const std::string& eventName) const {
    auto it = FHandlers.find(eventName);
    return it == FHandlers.end() ? nullptr : &it->second;
}

void TComponent::SetBoundHandler(const std::string& eventName, const std::string& handler) {
    if (handler.empty())
        FHandlers.erase(eventName);
    else
        FHandlers[eventName] = handler;
}

// ---------------------------------------------------------------------------------------------------

KV_REGISTER_CLASS(TStrings, TPersistent, b) {}

const std::string& TStrings::Get(int index) const {
    return FItems.at(static_cast<std::size_t>(index)).text;
}

void TStrings::Put(int index, const std::string& text) {
    FItems.at(static_cast<std::size_t>(index)).text = text;
    Changed();
}

TObject* TStrings::Objects(int index) const {
    return FItems.at(static_cast<std::size_t>(index)).object;
}

void TStrings::PutObject(int index, TObject* object) {
    FItems.at(static_cast<std::size_t>(index)).object = object;
    Changed();
}

int TStrings::Add(const std::string& text) {
    return AddObject(text, nullptr);
}

int TStrings::AddObject(const std::string& text, TObject* object) {
    FItems.push_back({text, object});
    Changed();
    return Count() - 1;
}

void TStrings::Insert(int index, const std::string& text) {
    if (index < 0 || index > Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    FItems.insert(FItems.begin() + index, Item{text, nullptr});
    Changed();
}

void TStrings::Delete(int index) {
    if (index < 0 || index >= Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    FItems.erase(FItems.begin() + index);
    Changed();
}

void TStrings::Clear() {
    if (FItems.empty())
        return;
    FItems.clear();
    Changed();
}

int TStrings::IndexOf(std::string_view text) const {
    for (int i = 0; i < Count(); ++i)
        if (SameText(FItems[static_cast<std::size_t>(i)].text, text))
            return i;
    return -1;
}

int TStrings::IndexOfObject(const TObject* object) const {
    for (int i = 0; i < Count(); ++i)
        if (FItems[static_cast<std::size_t>(i)].object == object)
            return i;
    return -1;
}

void TStrings::Exchange(int a, int b) {
    std::swap(FItems.at(static_cast<std::size_t>(a)), FItems.at(static_cast<std::size_t>(b)));
    Changed();
}

void TStrings::Sort() {
    std::stable_sort(FItems.begin(), FItems.end(),
                     [](const Item& x, const Item& y) { return UpperCase(x.text) < UpperCase(y.text); });
    Changed();
}

std::string TStrings::Text() const {
    std::string r;
    for (const Item& i : FItems) {
        r += i.text;
        r += '\n';
    }
    return r;
}

void TStrings::SetText(std::string_view text) {
    BeginUpdate();
    FItems.clear();
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            FItems.push_back({std::string(text.substr(pos)), nullptr});
            break;
        }
        FItems.push_back({std::string(text.substr(pos, end - pos)), nullptr});
        pos = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    }
    EndUpdate();
}

std::string TStrings::Names(int index) const {
    const std::string& s = Get(index);
    auto eq = s.find('=');
    return eq == std::string::npos ? std::string() : s.substr(0, eq);
}

int TStrings::IndexOfName(std::string_view name) const {
    for (int i = 0; i < Count(); ++i) {
        const std::string& s = FItems[static_cast<std::size_t>(i)].text;
        auto eq = s.find('=');
        if (eq != std::string::npos && SameText(std::string_view(s).substr(0, eq), name))
            return i;
    }
    return -1;
}

std::string TStrings::ValueFromIndex(int index) const {
    const std::string& s = Get(index);
    auto eq = s.find('=');
    return eq == std::string::npos ? std::string() : s.substr(eq + 1);
}

std::string TStrings::Values(std::string_view name) const {
    int i = IndexOfName(name);
    return i < 0 ? std::string() : ValueFromIndex(i);
}

void TStrings::SetValue(std::string_view name, const std::string& value) {
    int i = IndexOfName(name);
    std::string line = std::string(name) + "=" + value;
    if (i >= 0)
        Put(i, line);
    else
        Add(line);
}

std::vector<std::string> TStrings::Strings() const {
    std::vector<std::string> r;
    r.reserve(FItems.size());
    for (const Item& i : FItems)
        r.push_back(i.text);
    return r;
}

void TStrings::BeginUpdate() {
    ++FUpdateCount;
}

void TStrings::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        Changed();
}

void TStrings::Assign(const TPersistent* source) {
    if (auto* s = dynamic_cast<const TStrings*>(source)) {
        if (s == this)
            return;
        BeginUpdate();
        FItems = s->FItems;
        EndUpdate();
        return;
    }
    TPersistent::Assign(source);
}

void TStrings::Changed() {
    if (FUpdateCount == 0 && OnChange)
        OnChange(this);
}

} // namespace kv
