#include "plot/opc/gOPCManager.h"

namespace kv {

KV_REGISTER_CLASS(TgOPCGroupObject, TPersistent, b) {
    b.Prop("Name", &TgOPCGroupObject::Name, &TgOPCGroupObject::SetName);
    b.Prop("ComputerName", &TgOPCGroupObject::ComputerName, &TgOPCGroupObject::SetComputerName);
    b.Prop("OPCServerName", &TgOPCGroupObject::OPCServerName, nullptr);
    b.Prop("UpdateRate", &TgOPCGroupObject::UpdateRate, &TgOPCGroupObject::SetUpdateRate);
}

KV_REGISTER_CLASS(TgOPCGroupStream, TPersistent, b) {
    b.Prop("Name", &TgOPCGroupStream::Name, &TgOPCGroupStream::SetName);
    b.Prop("ComputerName", &TgOPCGroupStream::ComputerName, &TgOPCGroupStream::SetComputerName);
    b.Prop("OPCServerName", &TgOPCGroupStream::OPCServerName, &TgOPCGroupStream::SetOPCServerName);
    b.Prop("UpdateRate", &TgOPCGroupStream::UpdateRate, &TgOPCGroupStream::SetUpdateRate);
}

KV_REGISTER_CLASS(TgOPCManager, TCustomControl, b) {
    b.Prop("Visible", &TgOPCManager::Visible, &TgOPCManager::SetVisible).Default(false);
    b.Prop("Width", &TgOPCManager::Width, &TgOPCManager::SetWidth).Default(28);
    b.Prop("Height", &TgOPCManager::Height, &TgOPCManager::SetHeight).Default(28);
    b.Event("OnBeforeGroupUpdate", &TgOPCManager::OnBeforeGroupUpdate);
    b.Event("OnAfterGroupUpdate", &TgOPCManager::OnAfterGroupUpdate);
}

void TgOPCGroupObject::SetUpdateRate(int v) {
    if (v == FUpdateRate)
        return;
    FUpdateRate = v;
    OPCGroupSetUpdateRate(FDLLGroupHandle, v);
}

void TgOPCGroupObject::Resume() {
    OPCGroupResume(FDLLGroupHandle);
}

void TgOPCGroupObject::Suspend() {
    OPCGroupSuspend(FDLLGroupHandle);
}

// ---------------------------------------------------------------------------------------------------

TgOPCManager::TgOPCManager(TComponent* owner) : TCustomControl(owner), FFirstInstance(OPCManagerCreated()) {
    FCallback.context = this;
    FCallback.GroupUpdateBegin = &TgOPCManager::GroupUpdateBegin;
    FCallback.GroupUpdateEnd = &TgOPCManager::GroupUpdateEnd;
    SetBounds(Left(), Top(), 28, 28);
    SetVisible(false);
}

TgOPCManager::~TgOPCManager() {
    try {
        GroupClear();
        if (FFirstInstance)
            OPCManagerDestroyed();
    } catch (...) { // the library's failure must not stop the manager from going
    }
}

void TgOPCManager::SetBounds(int left, int top, int, int) {
    TCustomControl::SetBounds(left, top, 28, 28);
}

int TgOPCManager::GroupAdd(const std::string& name, const std::string& computerName, int updateRate,
                           const std::string& opcServerName) {
    auto group = std::make_unique<TgOPCGroupObject>();
    group->FName = name;
    group->FComputerName = computerName;
    group->FUpdateRate = updateRate;
    group->FOPCServerName = opcServerName;
    TgOPCGroupObject* g = group.get();
    FGroupList.push_back(std::move(group));
    if (!OPCLibraryMissing())
        g->FDLLGroupHandle = OPCGroupAdd(name, computerName, opcServerName, updateRate, &FCallback);
    return GroupCount() - 1;
}

void TgOPCManager::GroupDelete(int index) {
    TgOPCGroupObject* g = GetGroup(index);
    if (g->FDLLGroupHandle != 0)
        OPCGroupDelete(g->FDLLGroupHandle);
    FGroupList.erase(FGroupList.begin() + index);
}

void TgOPCManager::GroupClear() {
    while (!FGroupList.empty())
        GroupDelete(0);
}

TgOPCGroupObject* TgOPCManager::GetGroup(int index) const {
    if (index < 0 || index >= GroupCount())
        throw EKvError("List index out of bounds (" + std::to_string(index) + ")");
    return FGroupList[static_cast<std::size_t>(index)].get();
}

int TgOPCManager::GetGroupIndex(const std::string& name) const {
    for (int i = 0; i < GroupCount(); ++i)
        if (SameText(FGroupList[static_cast<std::size_t>(i)]->FName, name))
            return i;
    return -1;
}

void TgOPCManager::CloseAllServerConnections() {
    OPCCloseAllServerConnections();
}

void TgOPCManager::WriteGroups(TgWriter& writer) {
    writer.WriteValue(TValueType::vaCollection);
    for (const auto& g : FGroupList) {
        TgOPCGroupStream s;
        s.SetName(g->FName);
        s.SetComputerName(g->FComputerName);
        s.SetOPCServerName(g->FOPCServerName);
        s.SetUpdateRate(g->FUpdateRate);
        writer.WriteListBegin();
        gWriteProperties(writer, s);
        writer.WriteListEnd();
    }
    writer.WriteListEnd();
}

void TgOPCManager::ReadGroups(TgReader& reader) {
    GroupClear();
    if (reader.ReadValue() != TValueType::vaCollection)
        return;
    while (!reader.EndOfList()) {
        TgOPCGroupStream s;
        reader.ReadListBegin();
        gReadProperties(reader, s);
        reader.ReadListEnd();
        GroupAdd(s.Name(), s.ComputerName(), s.UpdateRate(), s.OPCServerName());
    }
    reader.ReadListEnd();
}

void TgOPCManager::GroupUpdate(std::int32_t handle, bool begins) {
    std::string name;
    for (const auto& g : FGroupList)
        if (g->FDLLGroupHandle == handle) {
            name = g->FName;
            break;
        }
    const TGroupUpdateEvent& event = begins ? OnBeforeGroupUpdate : OnAfterGroupUpdate;
    if (event)
        event(this, name);
}

void TgOPCManager::GroupUpdateBegin(void* context, std::int32_t handle) {
    static_cast<TgOPCManager*>(context)->GroupUpdate(handle, true);
}

void TgOPCManager::GroupUpdateEnd(void* context, std::int32_t handle) {
    static_cast<TgOPCManager*>(context)->GroupUpdate(handle, false);
}

} // namespace kv
