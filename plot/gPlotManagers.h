#pragma once
// The plot's object managers: one ordered list per kind of plot object, plus the list of all plot
// objects that routes input to the objects the user selected. Managers name new objects, link them to
// the first axes, channels and data views, choose a new channel's colour, pass insert, remove, rename
// and focus notifications on to their objects, and carry their objects in the window layout as one
// collection each.
//
// The object kinds are defined by units built on this one, so a manager knows its kind by class name
// (an object of that class or a descendant is of the kind), creates objects through the factory
// registered for a class name, and sets the published properties the kinds share (Title, TitleText,
// Color, XAxisName, ...) through the property registry.

#include "plot/gPlotObjects.h"
#include "plot/gPropStream.h"

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kv {

using TgPlotObjectFactory =
    std::function<TgPlotObject*(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert,
                                TNotifyEvent onRemove, TNotifyEvent onRename)>;
// The factory that creates objects of the class `className`; replaces an earlier one.
void gRegisterPlotObjectClass(const std::string& className, TgPlotObjectFactory factory);
// Registers the factory that builds C with the manager's owner and events.
template <class C> void gRegisterPlotObjectClassOf(const std::string& className) {
    gRegisterPlotObjectClass(
        className,
        [](TComponent* o, TNotifyEvent c, TNotifyEvent i, TNotifyEvent r, TNotifyEvent n) -> TgPlotObject* {
            return new C(o, std::move(c), std::move(i), std::move(r), std::move(n));
        });
}
// True when `object`'s class is `className` or derives from it.
bool gObjectIsOfClass(const TObject* object, std::string_view className);

// What a data cursor offers its manager: the data view it measures in.
class IgPlotDataViewLink {
public:
    virtual void SetDataViewLink(TgPlotObject* dataView) = 0;

protected:
    ~IgPlotDataViewLink() = default;
};

class TgPlotObjectManagerCustom : public TObject {
public:
    // Raises, in this order: "Owner must be Assigned", "OnChange event handler can not be null",
    // "OnInsert event handler can not be null", "OnRemove event handler can not be null",
    // "AOnRename event handler can not be null". Then announces itself through onInsert.
    TgPlotObjectManagerCustom(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert,
                              TNotifyEvent onRemove, TNotifyEvent onRename);
    // Announces its end through the remove callback (owned managers free their objects first).
    ~TgPlotObjectManagerCustom() override;

    virtual TgPlotObject* CreateObject() = 0;
    virtual std::string GetBaseName() const = 0;
    // Called after an object left the list.
    virtual void ObjectRemoved(TgPlotObject*) {}
    virtual void NotificationRemove(TObject* sender);
    virtual void NotificationInsert(TObject* sender) = 0;
    virtual void NotificationRename(TObject* sender);
    virtual void NotificationSetFocus(TObject* sender);
    virtual void Clear() {}
    // Removes the entry; the object itself stays.
    virtual void Delete(int index);

    int Count() const { return static_cast<int>(FList.size()); }
    TComponent* Owner() const { return FOwner; }
    // Appends the object unless it is in the list already.
    void InsertObject(TgPlotObject* object);
    // Raises "List index out of bounds (n)" outside 0..Count-1.
    TgPlotObject* GetItem(int index) const;
    int GetIndex(const TObject* object) const;
    TgPlotObject* GetObjectByName(std::string_view name) const;
    int GetIndexByName(std::string_view name) const;
    // The base name and one more than the highest number that follows it in any object's name.
    std::string GetNextName() const;
    bool DoWriteToStream() const { return Count() != 0; }
    void WriteToStream(TgWriter& writer);
    void ReadFromStream(TgReader& reader);
    void DoChange();

    TNotifyEvent OnChange, OnInsert, OnRemove, OnRename;

protected:
    // Drops links to a manager that is going (managers with links override it).
    virtual void DropLinks(TObject*) {}
    // Whether the manager tells its other objects that `sender` goes before it leaves the list.
    virtual bool TellsObjectsOfRemoval() const { return false; }

    std::vector<TgPlotObject*> FList;
    TComponent* FOwner;
};

// Managers that own their objects: Clear frees them.
class TgPlotObjectOwnedManager : public TgPlotObjectManagerCustom {
public:
    using TgPlotObjectManagerCustom::TgPlotObjectManagerCustom;
    ~TgPlotObjectOwnedManager() override;

    TgPlotObject* CreateObject() override;
    void NotificationInsert(TObject* sender) override;
    void Clear() override;

    // The class of the objects this manager keeps and of the ones it creates.
    virtual std::string KindClassName() const = 0;
    virtual std::string CreateClassName() const { return KindClassName(); }

protected:
    bool TellsObjectsOfRemoval() const override { return true; }
    // The settings a newly named object gets.
    virtual void NameAssigned(TgPlotObject*) {}
};

class TgPlotToolBarManager : public TgPlotObjectOwnedManager {
public:
    using TgPlotObjectOwnedManager::TgPlotObjectOwnedManager;
    std::string GetBaseName() const override { return "Toolbar"; }
    std::string KindClassName() const override { return "TgPlotToolBar"; }
};

class TgPlotLegendManager : public TgPlotObjectOwnedManager {
public:
    using TgPlotObjectOwnedManager::TgPlotObjectOwnedManager;
    std::string GetBaseName() const override { return "Legend"; }
    std::string KindClassName() const override { return "TgPlotLegend"; }
};

class TgPlotXAxisManager : public TgPlotObjectOwnedManager {
public:
    using TgPlotObjectOwnedManager::TgPlotObjectOwnedManager;
    std::string GetBaseName() const override { return "X-Axis"; }
    std::string KindClassName() const override { return "TgPlotXAxis"; }

protected:
    void NameAssigned(TgPlotObject* object) override;
};

class TgPlotYAxisManager : public TgPlotObjectOwnedManager {
public:
    using TgPlotObjectOwnedManager::TgPlotObjectOwnedManager;
    std::string GetBaseName() const override { return "Y-Axis"; }
    std::string KindClassName() const override { return "TgPlotYAxis"; }

protected:
    void NameAssigned(TgPlotObject* object) override;
};

// Managers whose new objects take the names of the first X and Y axes.
class TgPlotAxisLinkedManager : public TgPlotObjectOwnedManager {
public:
    using TgPlotObjectOwnedManager::TgPlotObjectOwnedManager;
    TgPlotObjectManagerCustom* XAxisManager() const { return FXAxisManager; }
    void SetXAxisManager(TgPlotObjectManagerCustom* m) { FXAxisManager = m; }
    TgPlotObjectManagerCustom* YAxisManager() const { return FYAxisManager; }
    void SetYAxisManager(TgPlotObjectManagerCustom* m) { FYAxisManager = m; }

protected:
    void DropLinks(TObject* sender) override;
    // Sets the two string properties to the first axes' names, when those managers hold axes.
    void LinkFirstAxes(TgPlotObject* object, const char* xProperty, const char* yProperty);

    TgPlotObjectManagerCustom* FXAxisManager = nullptr;
    TgPlotObjectManagerCustom* FYAxisManager = nullptr;
};

class TgPlotChannelManager : public TgPlotAxisLinkedManager {
public:
    using TgPlotAxisLinkedManager::TgPlotAxisLinkedManager;
    std::string GetBaseName() const override { return "Channel"; }
    std::string KindClassName() const override { return "TgPlotChannelCustom"; }
    std::string CreateClassName() const override { return FChannelClass; }
    const std::string& ChannelClass() const { return FChannelClass; }
    void SetChannelClass(const std::string& className) { FChannelClass = className; }
    // The colour for the newest channel: red while fewer than two channels exist, else the first
    // palette colour that the fewest channels use.
    TColor GetNextChannelColor() const;

protected:
    void NameAssigned(TgPlotObject* object) override;

private:
    std::string FChannelClass = "TgXYPlotChannel";
};

class TgPlotDataViewManager : public TgPlotAxisLinkedManager {
public:
    using TgPlotAxisLinkedManager::TgPlotAxisLinkedManager;
    std::string GetBaseName() const override { return "Data View"; }
    std::string KindClassName() const override { return "TgPlotDataView"; }

protected:
    void NameAssigned(TgPlotObject* object) override;
};

class TgPlotLimitManager : public TgPlotAxisLinkedManager {
public:
    using TgPlotAxisLinkedManager::TgPlotAxisLinkedManager;
    std::string GetBaseName() const override { return "Limit"; }
    std::string KindClassName() const override { return "TgPlotLimit"; }

protected:
    void NameAssigned(TgPlotObject* object) override;
};

class TgPlotDataCursorManager : public TgPlotObjectOwnedManager {
public:
    using TgPlotObjectOwnedManager::TgPlotObjectOwnedManager;
    std::string GetBaseName() const override { return "Cursor"; }
    std::string KindClassName() const override { return "TgPlotDataCursor"; }
    TgPlotObjectManagerCustom* ChannelManager() const { return FChannelManager; }
    void SetChannelManager(TgPlotObjectManagerCustom* m) { FChannelManager = m; }
    TgPlotObjectManagerCustom* DataViewManager() const { return FDataViewManager; }
    void SetDataViewManager(TgPlotObjectManagerCustom* m) { FDataViewManager = m; }

protected:
    void NameAssigned(TgPlotObject* object) override;
    void DropLinks(TObject* sender) override;

private:
    TgPlotObjectManagerCustom* FChannelManager = nullptr;
    TgPlotObjectManagerCustom* FDataViewManager = nullptr;
};

class TgPlotLabelManager : public TgPlotObjectOwnedManager {
public:
    using TgPlotObjectOwnedManager::TgPlotObjectOwnedManager;
    std::string GetBaseName() const override { return "Label"; }
    std::string KindClassName() const override { return "TgPlotLabel"; }

protected:
    void NameAssigned(TgPlotObject* object) override;
};

class TgPlotTableManager : public TgPlotObjectOwnedManager {
public:
    using TgPlotObjectOwnedManager::TgPlotObjectOwnedManager;
    std::string GetBaseName() const override { return "Table"; }
    std::string KindClassName() const override { return "TgPlotTable"; }
    TgPlotObject* CreateObject() override;
};

// Annotations are kept as they come: never named.
class TgPlotAnnotationManager : public TgPlotObjectOwnedManager {
public:
    using TgPlotObjectOwnedManager::TgPlotObjectOwnedManager;
    std::string GetBaseName() const override { return "Annotation"; }
    std::string KindClassName() const override { return "TgPlotAnnotation"; }
    void NotificationInsert(TObject* sender) override;
};

// Every plot object of the plot, in insertion order (not owned), with the input routing to the
// objects the user selected.
class TgPlotObjectManager : public TgPlotObjectManagerCustom {
public:
    using TgPlotObjectManagerCustom::TgPlotObjectManagerCustom;

    // Raises "Object Manager does not support creation of objects".
    TgPlotObject* CreateObject() override;
    std::string GetBaseName() const override { return "n/a"; }
    void NotificationInsert(TObject* sender) override;

    void ClearAllUserSelections();
    void SetShiftState(TShiftState shift);
    void MouseDownFocusObjects(TMouseButton button, TShiftState shift, int x, int y, int screenX, int screenY,
                               TPopupMenu* popupMenu);
    // Each object gets its own copy of the hint record.
    void MouseMoveFocusObjects(const TgHintData& hintData, TShiftState shift, int x, int y, int screenX,
                               int screenY, bool dblClickActive);
    void MouseUpFocusObjects(TMouseButton button, TShiftState shift, int x, int y, int screenX, int screenY,
                             bool dblClickActive, TPopupMenu* popupMenu);
    void KeyDownFocusObjects(std::uint16_t& key, TShiftState shift, TPopupMenu* popupMenu);
    // Every selected object is asked; true when any handled it.
    bool MouseWheelFocusObjects(int wheelDelta, TShiftState shift, TPoint mousePos);
    // Clears every object's remove, layout-change and change callbacks before the plot frees them.
    void ShutDownSetup();
};

} // namespace kv
