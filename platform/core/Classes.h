#pragma once
// The component model: objects with run-time class information, persistent objects, components with
// an owner, a name and the components they own, and string lists.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kv {

class TClassInfo;
class TObject;
class TComponent;

using TNotifyEvent = std::function<void(TObject* sender)>;

// Errors the layer raises; the message is what the user would see.
class EKvError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
class EConvertError : public EKvError {
public:
    using EKvError::EKvError;
};
class EComponentError : public EKvError {
public:
    using EKvError::EKvError;
};

bool SameText(std::string_view a, std::string_view b);
// Hash and equality of names for tables looked up as SameText compares: ASCII letters ignoring case.
struct TSameTextHash {
    std::size_t operator()(std::string_view s) const;
};
struct TSameTextEqual {
    bool operator()(std::string_view a, std::string_view b) const { return SameText(a, b); }
};

// Declares the run-time class information of a class; pair it with KV_REGISTER_CLASS in the .cpp.
#define KV_CLASS(Cls)                                                                                        \
public:                                                                                                      \
    static const ::kv::TClassInfo& StaticClassInfo();                                                        \
    const ::kv::TClassInfo& ClassInfo() const override {                                                     \
        return StaticClassInfo();                                                                            \
    }                                                                                                        \
                                                                                                             \
private:

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    static const TClassInfo& StaticClassInfo();
    virtual const TClassInfo& ClassInfo() const { return StaticClassInfo(); }
    const std::string& ClassName() const;
    // True when this object's class is `info` or derives from it.
    bool InheritsFrom(const TClassInfo& info) const;
};

// Objects with published properties that can be stored and assigned.
class TPersistent : public TObject {
    KV_CLASS(TPersistent)
public:
    // Copies the state of `source`; raises EConvertError when the classes do not fit, as the old
    // framework did.
    virtual void Assign(const TPersistent* source);

protected:
    virtual bool AssignTo(TPersistent* dest) const;
};

enum class TOperation { opInsert, opRemove };

class TComponent : public TPersistent {
    KV_CLASS(TComponent)
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;

    TComponent* Owner() const { return FOwner; }
    const std::string& Name() const { return FName; }
    // Raises EComponentError for a name that is not an identifier or that another component of the
    // same owner already has (names are compared ignoring case).
    virtual void SetName(const std::string& name);
    std::intptr_t Tag() const { return FTag; }
    void SetTag(std::intptr_t tag) { FTag = tag; }

    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int index) const { return FComponents.at(static_cast<std::size_t>(index)); }
    int ComponentIndex() const;
    // The owned component with that name, ignoring case; nullptr when there is none.
    TComponent* FindComponent(std::string_view name) const;
    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);
    void DestroyComponents();

    // `component` will tell this one (through Notification) when it is freed.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

    bool IsLoading() const { return FLoading; }
    bool IsDestroying() const { return FDestroying; }
    // Called by the layout loader around reading this component's properties.
    virtual void BeginLoading() { FLoading = true; }
    // Called by the layout loader once this component's own lines (its properties and the components
    // placed in it) are read, before the next component is made; Loaded follows when all are read.
    virtual void ReadDone() {}
    virtual void Loaded() { FLoading = false; }

    // Handler names bound to this component's event properties (property name -> handler name),
    // kept so that a layout can be written back.
    const std::string* BoundHandler(const std::string& eventName) const;
    void SetBoundHandler(const std::string& eventName, const std::string& handler);

protected:
    virtual void Notification(TComponent* component, TOperation operation);
    // Marks the object as being destroyed; derived destructors call it first so that notifications
    // sent while they tear down see the flag.
    void Destroying() { FDestroying = true; }

private:
    void SendFreeNotifications();
    // Named owned components by name, kept once an owner holds many: a window's layout names each of
    // its controls, and every name is checked against all the others.
    void IndexName(TComponent* component);
    void UnindexName(TComponent* component);

    TComponent* FOwner = nullptr;
    std::string FName;
    std::intptr_t FTag = 0;
    std::vector<TComponent*> FComponents;
    std::unique_ptr<std::unordered_map<std::string_view, TComponent*, TSameTextHash, TSameTextEqual>> FNames;
    std::vector<TComponent*> FFreeNotifies;
    std::map<std::string, std::string> FHandlers;
    bool FLoading = false;
    bool FDestroying = false;
};

// True for a name made of letters, digits and "_" that does not start with a digit.
bool IsValidIdent(std::string_view name);
bool SameText(std::string_view a, std::string_view b);
std::string UpperCase(std::string_view text);

// A list of strings, each with an optional object, with change notification.
class TStrings : public TPersistent {
    KV_CLASS(TStrings)
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    const std::string& operator[](int index) const { return Get(index); }
    const std::string& Get(int index) const;
    void Put(int index, const std::string& text);
    TObject* Objects(int index) const;
    void PutObject(int index, TObject* object);
    int Add(const std::string& text);
    int AddObject(const std::string& text, TObject* object);
    void Insert(int index, const std::string& text);
    void Delete(int index);
    void Clear();
    int IndexOf(std::string_view text) const; // ignoring case, as the old framework's lists
    int IndexOfObject(const TObject* object) const;
    void Exchange(int a, int b);
    void Sort();
    // Lines joined by LF; SetText splits at CR LF, LF or CR.
    std::string Text() const;
    void SetText(std::string_view text);
    // "Name=Value" lines.
    std::string Names(int index) const;
    std::string Values(std::string_view name) const;
    std::string ValueFromIndex(int index) const;
    void SetValue(std::string_view name, const std::string& value);
    int IndexOfName(std::string_view name) const;
    std::vector<std::string> Strings() const;
    void BeginUpdate();
    void EndUpdate();

    void Assign(const TPersistent* source) override;

    // Called after every change while no update is open.
    TNotifyEvent OnChange;

protected:
    virtual void Changed();

private:
    struct Item {
        std::string text;
        TObject* object = nullptr;
    };
    std::vector<Item> FItems;
    int FUpdateCount = 0;
};

using TStringList = TStrings;

} // namespace kv
