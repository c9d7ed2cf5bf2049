#include "plot/opc/gOPCManager.h"

#include "platform/gui/Menus.h"

#include <QImage>

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
    b.Ref("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu);
    b.Prop("Width", &TgOPCManager::Width, &TgOPCManager::SetWidth).Default(28);
    b.Prop("Height", &TgOPCManager::Height, &TgOPCManager::SetHeight).Default(28);
    b.Event("OnBeforeGroupUpdate", &TgOPCManager::OnBeforeGroupUpdate);
    b.Event("OnAfterGroupUpdate", &TgOPCManager::OnAfterGroupUpdate);
    b.Prop("Groups", &TgOPCManager::GroupsText, &TgOPCManager::SetGroupsText)
        .Stored([](const TgOPCManager& m) { return m.DoWriteGroups(); });
}

void gRegisterOPCManagerClass() {
    RegisterClass(TgOPCManager::StaticClassInfo());
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

namespace {
TgOPCExplorerRunner& OPCExplorerRunner() {
    static TgOPCExplorerRunner runner;
    return runner;
}

// A blue "OPC" plate over a bus with three nodes: items of servers joined in groups.
std::unique_ptr<TBitmap> OPCDrawManagerPicture() {
    auto bmp = std::make_unique<TBitmap>(24, 24);
    TCanvas& c = *bmp->Canvas();
    c.Brush()->SetStyle(TBrushStyle::bsSolid);
    c.Brush()->SetColor(clWhite);
    c.FillRect(TRect{0, 0, 24, 24});
    c.Pen()->SetStyle(TPenStyle::psSolid);
    c.Pen()->SetWidth(1);
    // The plate.
    c.Pen()->SetColor(RGB(0, 40, 110));
    c.Brush()->SetColor(RGB(30, 90, 190));
    c.RoundRect(1, 1, 23, 13, 4, 4);
    c.Font()->SetName("Arial");
    c.Font()->SetHeight(-9);
    c.Font()->SetStyle(TFontStyles{TFontStyle::fsBold});
    c.Font()->SetColor(RGB(254, 254, 254)); // not the see-through white
    c.Brush()->SetStyle(TBrushStyle::bsClear);
    const int tw = c.TextWidth("OPC");
    c.TextOut((24 - tw) / 2, 7 - c.TextHeight("OPC") / 2, "OPC");
    // The link down to the bus and the three nodes.
    c.Pen()->SetColor(RGB(64, 64, 64));
    c.MoveTo(12, 13);
    c.LineTo(12, 17);
    c.MoveTo(4, 17);
    c.LineTo(21, 17);
    c.Brush()->SetStyle(TBrushStyle::bsSolid);
    c.Brush()->SetColor(RGB(40, 160, 60));
    c.Pen()->SetColor(RGB(0, 80, 20));
    for (int x : {1, 9, 17})
        c.Rectangle(x, 18, x + 6, 24);
    return bmp;
}
} // namespace

void gSetOPCExplorerRunner(TgOPCExplorerRunner runner) {
    OPCExplorerRunner() = std::move(runner);
}

const TBitmap& gOPCManagerPicture() {
    // Drawn once: every plot channel owns a manager.
    static const std::unique_ptr<TBitmap> picture = OPCDrawManagerPicture();
    return *picture;
}

TgOPCManager::TgOPCManager(TComponent* owner) : TCustomControl(owner), FFirstInstance(OPCManagerCreated()) {
    FCallback.context = this;
    FCallback.GroupUpdateBegin = &TgOPCManager::GroupUpdateBegin;
    FCallback.GroupUpdateEnd = &TgOPCManager::GroupUpdateEnd;
    SetBounds(Left(), Top(), 28, 28);
    SetVisible(false);
    FImageList = std::make_unique<TImageList>(24, 24);
    FImageList->Add(gOPCManagerPicture(), clWhite);
}

TgOPCManager::~TgOPCManager() {
    try {
        GroupClear();
        if (FFirstInstance)
            OPCManagerDestroyed();
    } catch (...) { // the library's failure must not stop the manager from going
    }
}

void TgOPCManager::Paint(TCanvas& canvas) {
    canvas.Pen()->SetStyle(TPenStyle::psSolid);
    canvas.Pen()->SetWidth(1);
    canvas.Pen()->SetColor(clBtnHighlight);
    canvas.MoveTo(0, Height() - 1);
    canvas.LineTo(0, 0);
    canvas.LineTo(Width() - 1, 0);
    canvas.Pen()->SetColor(clBtnShadow);
    canvas.LineTo(Width() - 1, Height() - 1);
    canvas.LineTo(0, Height() - 1);
    FImageList->Draw(canvas, 2, 2, 0, Enabled());
}

void TgOPCManager::ExplorerShow() {
    if (OPCExplorerRunner())
        OPCExplorerRunner()();
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

void TgOPCManager::WriteGroups(TgWriter& writer) const {
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

std::string TgOPCManager::GroupsText() const {
    TgWriter writer;
    WriteGroups(writer);
    return writer.Text();
}

void TgOPCManager::SetGroupsText(const std::string& text) {
    TgReader reader = TgReader::FromText(text);
    ReadGroups(reader);
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
