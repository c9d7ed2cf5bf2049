#pragma once
// The group manager: a list of OPC groups (named sets of items that share a server connection and an
// update rate) kept in the client library, reporting each group update through two events. It is a
// small control, hidden at run time, that every XY plot channel creates without owner or parent.
// Without the library the groups are only list entries.

#include "plot/gPropStream.h"
#include "plot/opc/gOPCLibrary.h"

#include "platform/gui/Controls.h"
#include "platform/gui/ImageList.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kv {

using TGroupUpdateEvent = std::function<void(TObject* sender, const std::string& groupName)>;

// Shows the explorer window of the library's server connections; the editors' library installs it
// (this library cannot reach the window). Without one ExplorerShow does nothing.
using TgOPCExplorerRunner = std::function<void()>;
void gSetOPCExplorerRunner(TgOPCExplorerRunner runner);

// The manager's 24 x 24 picture "OPCMANAGER" (white is its see-through colour).
const TBitmap& gOPCManagerPicture();

// Makes the manager known to window layouts by its class name.
void gRegisterOPCManagerClass();

class TgOPCGroupObject : public TPersistent {
    KV_CLASS(TgOPCGroupObject)
public:
    const std::string& Name() const { return FName; }
    void SetName(const std::string& v) { FName = v; }
    const std::string& ComputerName() const { return FComputerName; }
    void SetComputerName(const std::string& v) { FComputerName = v; }
    const std::string& OPCServerName() const { return FOPCServerName; }
    int UpdateRate() const { return FUpdateRate; }
    // Stores a changed rate and passes it to the library (which must be loaded).
    void SetUpdateRate(int v);
    std::int32_t DLLGroupHandle() const { return FDLLGroupHandle; }
    // These ask the library without testing for it first: without it they raise.
    void Resume();
    void Suspend();

private:
    friend class TgOPCManager;
    std::string FName, FComputerName, FOPCServerName;
    int FUpdateRate = 0;
    std::int32_t FDLLGroupHandle = 0;
};

// The four values of a group, as streamed.
class TgOPCGroupStream : public TPersistent {
    KV_CLASS(TgOPCGroupStream)
public:
    const std::string& Name() const { return FName; }
    void SetName(const std::string& v) { FName = v; }
    const std::string& ComputerName() const { return FComputerName; }
    void SetComputerName(const std::string& v) { FComputerName = v; }
    const std::string& OPCServerName() const { return FOPCServerName; }
    void SetOPCServerName(const std::string& v) { FOPCServerName = v; }
    int UpdateRate() const { return FUpdateRate; }
    void SetUpdateRate(int v) { FUpdateRate = v; }

private:
    std::string FName, FComputerName, FOPCServerName;
    int FUpdateRate = 0;
};

class TgOPCManager : public TCustomControl {
    KV_CLASS(TgOPCManager)
public:
    explicit TgOPCManager(TComponent* owner);
    ~TgOPCManager() override;

    // The position is taken; the size stays 28 x 28.
    void SetBounds(int left, int top, int width, int height) override;

    int GroupAdd(const std::string& name, const std::string& computerName, int updateRate,
                 const std::string& opcServerName);
    void GroupDelete(int index);
    void GroupClear();
    int GroupCount() const { return static_cast<int>(FGroupList.size()); }
    // Raises "List index out of bounds (n)" outside 0..GroupCount-1.
    TgOPCGroupObject* GetGroup(int index) const;
    // The first group with that name in any case; -1 when none.
    int GetGroupIndex(const std::string& name) const;
    void CloseAllServerConnections();
    bool FirstInstance() const { return FFirstInstance; }
    // Creates the explorer window when there is none, refreshes and shows it (not modal).
    void ExplorerShow();

    // A raised one-pixel frame with the manager's picture, greyed while disabled.
    void Paint(TCanvas& canvas) override;
    TImageList* ImageList() const { return FImageList.get(); }

    // The "Groups" pseudo-property: written only when there is a group.
    bool DoWriteGroups() const { return !FGroupList.empty(); }
    void WriteGroups(TgWriter& writer) const;
    void ReadGroups(TgReader& reader);
    // The groups as one window-layout value ("Groups").
    std::string GroupsText() const;
    void SetGroupsText(const std::string& text);

    TGroupUpdateEvent OnBeforeGroupUpdate;
    TGroupUpdateEvent OnAfterGroupUpdate;

private:
    void GroupUpdate(std::int32_t handle, bool begins);
    static void GroupUpdateBegin(void* context, std::int32_t handle);
    static void GroupUpdateEnd(void* context, std::int32_t handle);

    std::unique_ptr<TImageList> FImageList;
    bool FFirstInstance = false;
    std::vector<std::unique_ptr<TgOPCGroupObject>> FGroupList;
    TgOPCLibManagerCallback FCallback{};
};

} // namespace kv
