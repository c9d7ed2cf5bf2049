#pragma once
// The order in which a plot's layout objects (axes, toolbars, legends, labels, tables, the data view)
// are stacked around the data view. Every object has a z-order level: horizontal objects are stacked
// from the bottom of the plot (low levels) to the top, vertical ones from the left to the right. The
// data view holds one level in each direction through two level objects; an object above the data
// view's level lies on its far side (top or right), the others on its near side. Objects of one level
// share a band unless their percent ranges overlap, in which case the newcomer pushes the others out.
//
// The four side lists are what the plot's layout and the layout viewer read: each sorted by level and
// then by start percent.

#include "plot/gPlotManagers.h"
#include "plot/gPlotObjects.h"

#include <string>
#include <vector>

namespace kv {

// The level objects of the data view: placeholders with a z-order, never drawn.
class TgPlotDataViewLayout : public TgPlotLayoutObject {
    KV_CLASS(TgPlotDataViewLayout)
public:
    using TgPlotLayoutObject::TgPlotLayoutObject;
    ~TgPlotDataViewLayout() override;
};

class TgPlotDataViewHorz : public TgPlotDataViewLayout {
    KV_CLASS(TgPlotDataViewHorz)
public:
    using TgPlotDataViewLayout::TgPlotDataViewLayout;
};

class TgPlotDataViewVert : public TgPlotDataViewLayout {
    KV_CLASS(TgPlotDataViewVert)
public:
    using TgPlotDataViewLayout::TgPlotDataViewLayout;
};

enum class TgInsertDirection { iidMerge, iidBelow, iidAbove };

// One entry of a side list: the sort key (level and rounded start percent, each at least three
// digits: level 2 from 50 percent is "002050") and the object.
struct TgPlotLayoutListItem {
    std::string Key;
    TgPlotLayoutObject* Object = nullptr;
};
using TgPlotLayoutList = std::vector<TgPlotLayoutListItem>;

class TgPlotLayoutManager : public TgPlotObjectManagerCustom {
public:
    // Creates and announces the two level objects ("Data View", level 1) while switched off, then
    // switches on.
    TgPlotLayoutManager(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert,
                        TNotifyEvent onRemove, TNotifyEvent onRename);
    ~TgPlotLayoutManager() override;

    // Raises "Layout Manager does not support creation of objects".
    TgPlotObject* CreateObject() override;
    std::string GetBaseName() const override { return "Layout Object"; }
    // A layout object joined the plot: listed, oriented (axes), given the rebuild as layout-change
    // callback (axes, toolbars, legends, data views, labels) and, while enabled, merged at level 0.
    void NotificationInsert(TObject* sender) override;

    // Places an object on level DesiredZOrder (see the class comment); ends with a rebuild.
    void InsertZOrder(TgPlotLayoutObject* newObject, int desiredZOrder, TgInsertDirection direction);
    // Takes an object out of its level: when it was alone there, the levels above close the gap. The
    // object keeps its own level. Ends with a rebuild.
    void RemoveZOrder(TgPlotLayoutObject* object);
    // Rebuilds the side lists and the far-side flags (only while enabled).
    void Rebuild();
    // Objects of the list whose Visible is set.
    static int VisibleCount(const TgPlotLayoutList& list);

    bool Enabled() const { return FEnabled; }
    // Switching on rebuilds the lists. The plot switches off while it loads or builds its defaults.
    void SetEnabled(bool value);
    bool XYAxesReverse() const { return FXYAxesReverse; }
    // X axes become vertical and Y axes horizontal (or back); each axis is merged again at level 0.
    void SetXYAxesReverse(bool value);

    TgPlotDataViewHorz* DataViewHorz() const { return FDataViewHorz; }
    TgPlotDataViewVert* DataViewVert() const { return FDataViewVert; }
    const TgPlotLayoutList& TopList() const { return FTopList; }
    const TgPlotLayoutList& BottomList() const { return FBottomList; }
    const TgPlotLayoutList& LeftList() const { return FLeftList; }
    const TgPlotLayoutList& RightList() const { return FRightList; }
    int TopUniqueCount() const { return FTopUniqueCount; }
    int BottomUniqueCount() const { return FBottomUniqueCount; }
    int LeftUniqueCount() const { return FLeftUniqueCount; }
    int RightUniqueCount() const { return FRightUniqueCount; }

protected:
    // After an object left the list: out of every side list and, while enabled, out of its level.
    void ObjectRemoved(TgPlotObject* object) override;

private:
    void ReorientAxes();
    void Orient(TgPlotLayoutObject* axis) const;
    static int UniqueCount(const TgPlotLayoutList& list);

    bool FXYAxesReverse = false;
    TgPlotDataViewHorz* FDataViewHorz = nullptr;
    TgPlotDataViewVert* FDataViewVert = nullptr;
    bool FEnabled = false;
    TgPlotLayoutList FTopList, FBottomList, FLeftList, FRightList;
    int FLeftUniqueCount = 0, FRightUniqueCount = 0, FBottomUniqueCount = 0, FTopUniqueCount = 0;
    bool FDestroying = false;
};

} // namespace kv
