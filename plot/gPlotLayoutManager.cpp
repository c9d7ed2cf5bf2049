#include "plot/gPlotLayoutManager.h"

#include "platform/core/Classes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <tuple>

namespace kv {

KV_REGISTER_CLASS(TgPlotDataViewLayout, TgPlotLayoutObject, b) {}
KV_REGISTER_CLASS(TgPlotDataViewHorz, TgPlotDataViewLayout, b) {}
KV_REGISTER_CLASS(TgPlotDataViewVert, TgPlotDataViewLayout, b) {}

TgPlotDataViewLayout::~TgPlotDataViewLayout() {
    NotifyRemove();
}

namespace {

bool IsDataView(const TObject* o) {
    return gObjectIsOfClass(o, "TgPlotDataView");
}

bool IsLevelObject(const TObject* o) {
    return dynamic_cast<const TgPlotDataViewLayout*>(o) != nullptr;
}

bool IsXAxis(const TObject* o) {
    return gObjectIsOfClass(o, "TgPlotXAxis");
}

bool IsYAxis(const TObject* o) {
    return gObjectIsOfClass(o, "TgPlotYAxis");
}

// The kinds whose layout changes rebuild the side lists.
bool RebuildsOnLayoutChange(const TObject* o) {
    return gObjectIsOfClass(o, "TgPlotAxis") || IsXAxis(o) || IsYAxis(o) ||
           gObjectIsOfClass(o, "TgPlotToolBar") || gObjectIsOfClass(o, "TgPlotLegend") || IsDataView(o) ||
           gObjectIsOfClass(o, "TgPlotLabel");
}

bool Overlap(const TgPlotLayoutObject* a, const TgPlotLayoutObject* b) {
    return (a->StartPercent() < b->StopPercent() && b->StartPercent() < a->StopPercent()) ||
           (a->StartPercent() == b->StartPercent() && a->StopPercent() == b->StopPercent());
}

int RoundedStart(const TgPlotLayoutObject* o) {
    return static_cast<int>(std::nearbyint(o->StartPercent()));
}

// Inserted before the entries that sort equal, as the sorted string lists always kept duplicates.
void InsertSorted(TgPlotLayoutList& list, TgPlotLayoutObject* object) {
    TgPlotLayoutListItem item{object->GetZOrderText() + object->GetStartPercentText(), object};
    // Compared as numbers: the same order as the keys' text for levels 0..999, and still ordered past.
    const auto key = std::make_tuple(object->ZOrder(), RoundedStart(object));
    const auto at =
        std::lower_bound(list.begin(), list.end(), key, [](const TgPlotLayoutListItem& e, auto k) {
            return std::make_tuple(e.Object->ZOrder(), RoundedStart(e.Object)) < k;
        });
    list.insert(at, std::move(item));
}

void EraseObject(TgPlotLayoutList& list, const TObject* object) {
    std::erase_if(list, [&](const TgPlotLayoutListItem& e) { return e.Object == object; });
}

} // namespace

TgPlotLayoutManager::TgPlotLayoutManager(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert,
                                         TNotifyEvent onRemove, TNotifyEvent onRename)
    : TgPlotObjectManagerCustom(owner, onChange, onInsert, onRemove, onRename) {
    FEnabled = false;
    FDataViewHorz = new TgPlotDataViewHorz(owner, onChange, onInsert, onRemove, onRename);
    FDataViewVert = new TgPlotDataViewVert(owner, onChange, onInsert, onRemove, onRename);
    for (TgPlotLayoutObject* level :
         {static_cast<TgPlotLayoutObject*>(FDataViewHorz), static_cast<TgPlotLayoutObject*>(FDataViewVert)}) {
        level->SetName("Data View");
        level->SetZOrder(1);
        level->SetHorizontal(level == FDataViewHorz);
        level->DoInsert();
        // Listed even when the owner's insert callback does not route to this manager.
        NotificationInsert(level);
    }
    FEnabled = true;
    Rebuild();
}

TgPlotLayoutManager::~TgPlotLayoutManager() {
    FDestroying = true;
    FEnabled = false;
    // Objects that outlive the manager must not call back into it.
    for (TgPlotObject* o : FList)
        if (RebuildsOnLayoutChange(o))
            o->OnLayoutChange = nullptr;
    delete FDataViewHorz;
    delete FDataViewVert;
    FDataViewHorz = nullptr;
    FDataViewVert = nullptr;
}

TgPlotObject* TgPlotLayoutManager::CreateObject() {
    throw EKvError("Layout Manager does not support creation of objects");
}

void TgPlotLayoutManager::NotificationInsert(TObject* sender) {
    auto* object = dynamic_cast<TgPlotLayoutObject*>(sender);
    if (!object || FDestroying)
        return;
    if (GetIndex(object) >= 0)
        return;
    InsertObject(object);
    if (RebuildsOnLayoutChange(object))
        object->OnLayoutChange = [this](TObject*) { Rebuild(); };
    Orient(object);
    if (FEnabled)
        InsertZOrder(object, 0, TgInsertDirection::iidMerge);
}

void TgPlotLayoutManager::Orient(TgPlotLayoutObject* object) const {
    if (IsXAxis(object))
        object->SetHorizontal(!FXYAxesReverse);
    else if (IsYAxis(object))
        object->SetHorizontal(FXYAxesReverse);
}

void TgPlotLayoutManager::InsertZOrder(TgPlotLayoutObject* newObject, int desired,
                                       TgInsertDirection direction) {
    if (!newObject)
        return;
    const auto sameDirection = [&](const TgPlotObject* o) {
        auto* l = dynamic_cast<const TgPlotLayoutObject*>(o);
        return l && l != newObject && l->Horizontal() == newObject->Horizontal() && !IsDataView(l);
    };
    if (direction == TgInsertDirection::iidMerge) {
        bool share = true;
        for (TgPlotObject* o : FList)
            if (sameDirection(o)) {
                auto* l = static_cast<TgPlotLayoutObject*>(o);
                if (l->ZOrder() == desired && Overlap(l, newObject))
                    share = false;
            }
        if (share) {
            newObject->SetZOrder(desired);
            Rebuild();
            return;
        }
    }
    const std::vector<TgPlotObject*> objects = FList; // a level change may rebuild, never reorders FList
    for (TgPlotObject* o : objects)
        if (sameDirection(o)) {
            auto* l = static_cast<TgPlotLayoutObject*>(o);
            const bool moves =
                direction == TgInsertDirection::iidAbove ? l->ZOrder() > desired : l->ZOrder() >= desired;
            if (moves)
                l->SetZOrder(l->ZOrder() + 1);
        }
    newObject->SetZOrder(direction == TgInsertDirection::iidAbove ? desired + 1 : desired);
    Rebuild();
}

void TgPlotLayoutManager::RemoveZOrder(TgPlotLayoutObject* object) {
    if (!object)
        return;
    const auto sameDirection = [&](const TgPlotObject* o) -> TgPlotLayoutObject* {
        auto* l = dynamic_cast<TgPlotLayoutObject*>(const_cast<TgPlotObject*>(o));
        return l && l != object && l->Horizontal() == object->Horizontal() ? l : nullptr;
    };
    bool alone = true;
    for (TgPlotObject* o : FList)
        if (TgPlotLayoutObject* l = sameDirection(o); l && !IsDataView(l) && l->ZOrder() == object->ZOrder())
            alone = false;
    if (alone) {
        const std::vector<TgPlotObject*> objects = FList;
        for (TgPlotObject* o : objects)
            if (TgPlotLayoutObject* l = sameDirection(o); l && l->ZOrder() > object->ZOrder())
                l->SetZOrder(l->ZOrder() - 1);
    }
    Rebuild();
}

void TgPlotLayoutManager::Rebuild() {
    if (!FEnabled || FDestroying || !FDataViewHorz || !FDataViewVert)
        return;
    FTopList.clear();
    FBottomList.clear();
    FLeftList.clear();
    FRightList.clear();
    const std::vector<TgPlotObject*> objects = FList;
    for (TgPlotObject* o : objects) {
        auto* l = dynamic_cast<TgPlotLayoutObject*>(o);
        if (!l || IsDataView(l) || IsLevelObject(l))
            continue;
        if (l->Horizontal()) {
            const bool top = FDataViewHorz->ZOrder() < l->ZOrder();
            l->SetReverseSide(top);
            InsertSorted(top ? FTopList : FBottomList, l);
        } else {
            const bool right = FDataViewVert->ZOrder() < l->ZOrder();
            l->SetReverseSide(right);
            InsertSorted(right ? FRightList : FLeftList, l);
        }
    }
    FTopUniqueCount = UniqueCount(FTopList);
    FBottomUniqueCount = UniqueCount(FBottomList);
    FLeftUniqueCount = UniqueCount(FLeftList);
    FRightUniqueCount = UniqueCount(FRightList);
}

int TgPlotLayoutManager::UniqueCount(const TgPlotLayoutList& list) {
    if (list.empty())
        return 0;
    int n = 1;
    for (std::size_t i = 1; i < list.size(); ++i)
        if (list[i].Object->ZOrder() > list[i - 1].Object->ZOrder())
            ++n;
    return n;
}

int TgPlotLayoutManager::VisibleCount(const TgPlotLayoutList& list) {
    return int(std::count_if(list.begin(), list.end(),
                             [](const TgPlotLayoutListItem& e) { return e.Object->Visible(); }));
}

void TgPlotLayoutManager::ObjectRemoved(TgPlotObject* object) {
    for (TgPlotLayoutList* list : {&FTopList, &FBottomList, &FLeftList, &FRightList})
        EraseObject(*list, object);
    if (object == FDataViewHorz)
        FDataViewHorz = nullptr;
    if (object == FDataViewVert)
        FDataViewVert = nullptr;
    if (FEnabled && !FDestroying)
        if (auto* l = dynamic_cast<TgPlotLayoutObject*>(object))
            RemoveZOrder(l);
}

void TgPlotLayoutManager::SetEnabled(bool value) {
    if (value == FEnabled)
        return;
    FEnabled = value;
    if (FEnabled)
        Rebuild();
}

void TgPlotLayoutManager::SetXYAxesReverse(bool value) {
    if (value == FXYAxesReverse)
        return;
    FXYAxesReverse = value;
    if (FEnabled)
        ReorientAxes();
}

void TgPlotLayoutManager::ReorientAxes() {
    // Ordered by the level's text without leading zeros, as the axes were always taken: level 10
    // comes before level 2; axes of one level in reverse order of listing.
    std::vector<std::pair<std::string, TgPlotLayoutObject*>> axes;
    for (TgPlotObject* o : FList)
        if (IsXAxis(o) || IsYAxis(o)) {
            auto* axis = static_cast<TgPlotLayoutObject*>(o);
            std::pair<std::string, TgPlotLayoutObject*> entry{std::to_string(axis->ZOrder()), axis};
            const auto at = std::lower_bound(axes.begin(), axes.end(), entry.first,
                                             [](const auto& e, const std::string& k) { return e.first < k; });
            axes.insert(at, std::move(entry));
        }
    for (auto& [key, axis] : axes) {
        RemoveZOrder(axis);
        Orient(axis);
        InsertZOrder(axis, 0, TgInsertDirection::iidMerge);
    }
}

} // namespace kv
