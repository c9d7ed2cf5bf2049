#include "plot/gPlotManagers.h"

#include "plot/gPlotTable.h"

#include "platform/core/Properties.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <map>
#include <mutex>

namespace kv {

namespace {

struct FactoryRegistry {
    std::mutex lock;
    std::map<std::string, TgPlotObjectFactory> byName;
};

FactoryRegistry& Factories() {
    static FactoryRegistry r;
    return r;
}

TgPlotObjectFactory FindFactory(const std::string& className) {
    FactoryRegistry& r = Factories();
    std::lock_guard g(r.lock);
    auto it = r.byName.find(UpperCase(className));
    return it == r.byName.end() ? TgPlotObjectFactory{} : it->second;
}

void SetStringProp(TgPlotObject* object, const char* name, const std::string& value) {
    if (const auto ref = FindPropRef(*object, name); ref && ref->prop->SetStr)
        ref->prop->SetStr(*ref->object, value);
}

std::optional<long long> GetOrdProp(TgPlotObject* object, const char* name) {
    if (const auto ref = FindPropRef(*object, name); ref && ref->prop->GetOrd)
        return ref->prop->GetOrd(*ref->object);
    return std::nullopt;
}

void SetOrdProp(TgPlotObject* object, const char* name, long long value) {
    if (const auto ref = FindPropRef(*object, name); ref && ref->prop->SetOrd)
        ref->prop->SetOrd(*ref->object, value);
}

std::string FirstName(const TgPlotObjectManagerCustom* manager) {
    return manager && manager->Count() != 0 ? manager->GetItem(0)->Name() : std::string();
}

// The new-channel palette, red in the low byte.
constexpr std::array<TColor, 30> kChannelPalette{
    0x0000FF, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0x00FF00, 0xFFFFFF, 0x000080, 0x008000, 0x008080,
    0x800000, 0x800080, 0x808000, 0x808080, 0x0000C0, 0x00C000, 0x00C0C0, 0xC00000, 0xC000C0, 0xC0C000,
    0xC0C0C0, 0x0080FF, 0x8000FF, 0x8080FF, 0xFF0080, 0xFF8000, 0xFF8080, 0x00FF80, 0x80FF00, 0x80FF80};

} // namespace

void gRegisterPlotObjectClass(const std::string& className, TgPlotObjectFactory factory) {
    FactoryRegistry& r = Factories();
    std::lock_guard g(r.lock);
    r.byName[UpperCase(className)] = std::move(factory);
}

bool gObjectIsOfClass(const TObject* object, std::string_view className) {
    if (!object)
        return false;
    for (const TClassInfo* c = &object->ClassInfo(); c; c = c->Parent())
        if (SameText(c->Name(), className))
            return true;
    return false;
}

// ---------------------------------------------------------------------------------------------------

TgPlotObjectManagerCustom::TgPlotObjectManagerCustom(TComponent* owner, TNotifyEvent onChange,
                                                     TNotifyEvent onInsert, TNotifyEvent onRemove,
                                                     TNotifyEvent onRename)
    : FOwner(owner) {
    if (!owner)
        throw EKvError("Owner must be Assigned");
    if (!onChange)
        throw EKvError("OnChange event handler can not be null");
    if (!onInsert)
        throw EKvError("OnInsert event handler can not be null");
    if (!onRemove)
        throw EKvError("OnRemove event handler can not be null");
    if (!onRename)
        throw EKvError("AOnRename event handler can not be null");
    OnChange = std::move(onChange);
    OnInsert = std::move(onInsert);
    OnRemove = std::move(onRemove);
    OnRename = std::move(onRename);
    OnInsert(this);
}

TgPlotObjectManagerCustom::~TgPlotObjectManagerCustom() {
    if (OnRemove)
        OnRemove(this);
}

void TgPlotObjectManagerCustom::NotificationRemove(TObject* sender) {
    if (sender == this)
        return;
    if (TellsObjectsOfRemoval()) {
        const std::vector<TgPlotObject*> objects = FList; // a notified object may leave the list
        for (TgPlotObject* o : objects)
            if (o != sender && GetIndex(o) >= 0)
                o->NotificationAxisRemove(sender);
    }
    for (auto i = FList.size(); i-- > 0;)
        if (FList[i] == sender) {
            TgPlotObject* object = FList[i];
            FList.erase(FList.begin() + static_cast<std::ptrdiff_t>(i));
            ObjectRemoved(object);
            DoChange();
            break;
        }
    DropLinks(sender);
}

void TgPlotObjectManagerCustom::NotificationRename(TObject* sender) {
    const std::vector<TgPlotObject*> objects = FList;
    for (TgPlotObject* o : objects)
        o->NotificationAxisRename(sender);
}

void TgPlotObjectManagerCustom::NotificationSetFocus(TObject* sender) {
    const std::vector<TgPlotObject*> objects = FList;
    for (TgPlotObject* o : objects)
        o->NotificationFocusChange(sender);
}

void TgPlotObjectManagerCustom::Delete(int index) {
    GetItem(index);
    FList.erase(FList.begin() + index);
}

void TgPlotObjectManagerCustom::InsertObject(TgPlotObject* object) {
    if (GetIndex(object) < 0)
        FList.push_back(object);
}

TgPlotObject* TgPlotObjectManagerCustom::GetItem(int index) const {
    if (index < 0 || index >= Count())
        throw EKvError("List index out of bounds (" + std::to_string(index) + ")");
    return FList[static_cast<std::size_t>(index)];
}

int TgPlotObjectManagerCustom::GetIndex(const TObject* object) const {
    const auto it = std::find(FList.begin(), FList.end(), object);
    return it == FList.end() ? -1 : static_cast<int>(it - FList.begin());
}

TgPlotObject* TgPlotObjectManagerCustom::GetObjectByName(std::string_view name) const {
    const int i = GetIndexByName(name);
    return i < 0 ? nullptr : FList[static_cast<std::size_t>(i)];
}

int TgPlotObjectManagerCustom::GetIndexByName(std::string_view name) const {
    for (int i = 0; i < Count(); ++i)
        if (SameText(FList[static_cast<std::size_t>(i)]->Name(), name))
            return i;
    return -1;
}

std::string TgPlotObjectManagerCustom::GetNextName() const {
    const std::string base = GetBaseName();
    long long highest = 0;
    for (const TgPlotObject* o : FList) {
        const std::string& name = o->Name();
        if (name.size() < base.size() || !SameText(std::string_view(name).substr(0, base.size()), base))
            continue;
        // The rest must be a decimal number, blanks in front allowed.
        std::size_t p = base.size();
        while (p < name.size() && name[p] == ' ')
            ++p;
        std::size_t q = p;
        if (q < name.size() && (name[q] == '-' || name[q] == '+'))
            ++q;
        if (q == name.size() || !std::all_of(name.begin() + static_cast<std::ptrdiff_t>(q), name.end(),
                                             [](unsigned char c) { return std::isdigit(c) != 0; }))
            continue;
        if (name.size() - q > 9)
            continue; // beyond a 32-bit number
        const long long n = std::stoll(name.substr(p));
        highest = std::max(highest, n);
    }
    return base + " " + std::to_string(highest + 1);
}

void TgPlotObjectManagerCustom::WriteToStream(TgWriter& writer) {
    writer.RootAncestor = FOwner;
    writer.WriteValue(TValueType::vaCollection);
    for (TgPlotObject* o : FList) {
        writer.WriteListBegin();
        gWriteProperties(writer, *o);
        writer.WriteListEnd();
    }
    writer.WriteListEnd();
}

void TgPlotObjectManagerCustom::ReadFromStream(TgReader& reader) {
    Clear();
    if (reader.ReadValue() != TValueType::vaCollection)
        return;
    while (!reader.EndOfList()) {
        TgPlotObject* object = CreateObject();
        try {
            reader.ReadListBegin();
            gReadProperties(reader, *object);
            reader.ReadListEnd();
        } catch (...) {
            delete object; // not announced yet: nothing refers to it
            throw;
        }
        // Named, linked and laid out only now that all its properties are set.
        object->DoInsert();
    }
    reader.ReadListEnd();
}

void TgPlotObjectManagerCustom::DoChange() {
    if (OnChange)
        OnChange(this);
}

// ---------------------------------------------------------------------------------------------------

TgPlotObjectOwnedManager::~TgPlotObjectOwnedManager() {
    Clear();
}

TgPlotObject* TgPlotObjectOwnedManager::CreateObject() {
    const std::string className = CreateClassName();
    const TgPlotObjectFactory factory = FindFactory(className);
    if (!factory)
        throw EKvError("Class " + className + " not found");
    return factory(FOwner, OnChange, OnInsert, OnRemove, OnRename);
}

void TgPlotObjectOwnedManager::NotificationInsert(TObject* sender) {
    auto* object = dynamic_cast<TgPlotObject*>(sender);
    if (!object || !gObjectIsOfClass(object, KindClassName()))
        return;
    InsertObject(object);
    if (object->Name().empty()) {
        object->SetName(GetNextName());
        NameAssigned(object);
    }
}

void TgPlotObjectOwnedManager::Clear() {
    const std::vector<TgPlotObject*> objects = FList;
    for (TgPlotObject* o : objects) {
        if (GetIndex(o) < 0)
            continue; // already gone with an earlier one
        delete o;     // it tells the managers, which drop it
        // An object whose removal did not come back here must not stay as a dangling entry.
        if (const int i = GetIndex(o); i >= 0)
            FList.erase(FList.begin() + i);
    }
}

void TgPlotXAxisManager::NameAssigned(TgPlotObject* object) {
    SetStringProp(object, "Title", object->Name());
}

void TgPlotYAxisManager::NameAssigned(TgPlotObject* object) {
    SetStringProp(object, "Title", object->Name());
}

void TgPlotAxisLinkedManager::DropLinks(TObject* sender) {
    if (FXAxisManager == sender)
        FXAxisManager = nullptr;
    if (FYAxisManager == sender)
        FYAxisManager = nullptr;
}

void TgPlotAxisLinkedManager::LinkFirstAxes(TgPlotObject* object, const char* xProperty,
                                            const char* yProperty) {
    if (FXAxisManager && FXAxisManager->Count() != 0)
        SetStringProp(object, xProperty, FirstName(FXAxisManager));
    if (FYAxisManager && FYAxisManager->Count() != 0)
        SetStringProp(object, yProperty, FirstName(FYAxisManager));
}

void TgPlotChannelManager::NameAssigned(TgPlotObject* object) {
    SetStringProp(object, "TitleText", object->Name());
    SetOrdProp(object, "Color", GetNextChannelColor());
    LinkFirstAxes(object, "XAxisName", "YAxisName");
}

TColor TgPlotChannelManager::GetNextChannelColor() const {
    if (Count() < 2)
        return kChannelPalette[0];
    std::array<int, kChannelPalette.size()> counts{};
    for (TgPlotObject* o : FList) {
        const auto color = GetOrdProp(o, "Color");
        if (!color)
            continue;
        for (std::size_t i = 0; i < kChannelPalette.size(); ++i)
            if (kChannelPalette[i] == *color)
                ++counts[i];
    }
    const auto least = std::min_element(counts.begin(), counts.end());
    return kChannelPalette[static_cast<std::size_t>(least - counts.begin())];
}

void TgPlotDataViewManager::NameAssigned(TgPlotObject* object) {
    LinkFirstAxes(object, "GridXAxisName", "GridYAxisName");
}

void TgPlotLimitManager::NameAssigned(TgPlotObject* object) {
    LinkFirstAxes(object, "XAxisName", "YAxisName");
}

void TgPlotDataCursorManager::NameAssigned(TgPlotObject* object) {
    if (FDataViewManager && FDataViewManager->Count() != 0)
        if (auto* link = dynamic_cast<IgPlotDataViewLink*>(object))
            link->SetDataViewLink(FDataViewManager->GetItem(0));
    if (FChannelManager && FChannelManager->Count() != 0)
        SetStringProp(object, "ChannelName", FirstName(FChannelManager));
}

void TgPlotDataCursorManager::DropLinks(TObject* sender) {
    if (FChannelManager == sender)
        FChannelManager = nullptr;
    if (FDataViewManager == sender)
        FDataViewManager = nullptr;
}

void TgPlotLabelManager::NameAssigned(TgPlotObject* object) {
    SetStringProp(object, "Caption", object->Name());
}

TgPlotObject* TgPlotTableManager::CreateObject() {
    return new TgPlotTable(FOwner, OnChange, OnInsert, OnRemove, OnRename);
}

void TgPlotAnnotationManager::NotificationInsert(TObject* sender) {
    auto* object = dynamic_cast<TgPlotObject*>(sender);
    if (object && gObjectIsOfClass(object, KindClassName()))
        InsertObject(object);
}

// ---------------------------------------------------------------------------------------------------

TgPlotObject* TgPlotObjectManager::CreateObject() {
    throw EKvError("Object Manager does not support creation of objects");
}

void TgPlotObjectManager::NotificationInsert(TObject* sender) {
    if (auto* object = dynamic_cast<TgPlotObject*>(sender))
        InsertObject(object);
}

void TgPlotObjectManager::ClearAllUserSelections() {
    for (TgPlotObject* o : FList)
        o->SetUserSelected(false);
}

void TgPlotObjectManager::SetShiftState(TShiftState shift) {
    for (TgPlotObject* o : FList)
        o->SetShiftState(shift);
}

void TgPlotObjectManager::MouseDownFocusObjects(TMouseButton button, TShiftState shift, int x, int y,
                                                int screenX, int screenY, TPopupMenu* popupMenu) {
    const std::vector<TgPlotObject*> objects = FList;
    for (TgPlotObject* o : objects)
        if (o->UserSelected())
            o->gMouseDown(button, shift, x, y, screenX, screenY, popupMenu);
}

void TgPlotObjectManager::MouseMoveFocusObjects(const TgHintData& hintData, TShiftState shift, int x, int y,
                                                int screenX, int screenY, bool dblClickActive) {
    const std::vector<TgPlotObject*> objects = FList;
    for (TgPlotObject* o : objects)
        if (o->UserSelected()) {
            TgHintData copy = hintData;
            o->gMouseMove(copy, shift, x, y, screenX, screenY, dblClickActive);
        }
}

void TgPlotObjectManager::MouseUpFocusObjects(TMouseButton button, TShiftState shift, int x, int y,
                                              int screenX, int screenY, bool dblClickActive,
                                              TPopupMenu* popupMenu) {
    const std::vector<TgPlotObject*> objects = FList;
    for (TgPlotObject* o : objects)
        if (o->UserSelected())
            o->gMouseUp(button, shift, x, y, screenX, screenY, dblClickActive, popupMenu);
}

void TgPlotObjectManager::KeyDownFocusObjects(std::uint16_t& key, TShiftState shift, TPopupMenu* popupMenu) {
    const std::vector<TgPlotObject*> objects = FList;
    for (TgPlotObject* o : objects)
        if (o->UserSelected())
            o->gKeyDown(key, shift, popupMenu);
}

bool TgPlotObjectManager::MouseWheelFocusObjects(int wheelDelta, TShiftState shift, TPoint mousePos) {
    bool handled = false;
    const std::vector<TgPlotObject*> objects = FList;
    for (TgPlotObject* o : objects)
        if (o->UserSelected() && o->gMouseWheel(wheelDelta, shift, mousePos))
            handled = true;
    return handled;
}

void TgPlotObjectManager::ShutDownSetup() {
    for (TgPlotObject* o : FList) {
        o->OnRemove = nullptr;
        o->OnLayoutChange = nullptr;
        o->OnChange = nullptr;
    }
}

} // namespace kv
