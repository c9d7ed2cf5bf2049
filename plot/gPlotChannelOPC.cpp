#include "plot/gPlotChannelOPC.h"

#include "plot/gComponent.h"
#include "plot/gPlotChannel.h"
#include "plot/opc/gOPCItems.h"
#include "plot/opc/gOPCManager.h"

namespace kv {

TgPlotChannelOPC::TgPlotChannelOPC(TComponent* owner, TgPlotChannelCustom& channel)
    : FOPCOwner(owner), FOPCChannel(channel) {
    FOPCManager = std::make_unique<TgOPCManager>(nullptr);
    FOPCManager->OnAfterGroupUpdate = [this](TObject*, const std::string&) { OPCGroupUpdate(); };
    FOPCItemManager = std::make_unique<TgOPCItemManager>(owner);
    FOPCItemManager->OnGetDesigning = [this](TObject*, bool& designing) { designing = OwnerDesigning(); };
    for (int i = 0; i < 2; ++i)
        FOPCItemManager->GetItem(FOPCItemManager->Add())->SetPropertyName("Data");
}

TgPlotChannelOPC::~TgPlotChannelOPC() {
    // The items go before their group.
    FOPCItemManager.reset();
    FOPCManager.reset();
}

bool TgPlotChannelOPC::OwnerDesigning() const {
    auto* control = dynamic_cast<TgComponent*>(FOPCOwner);
    return control && control->GetDesigning();
}

TgOPCItem* TgPlotChannelOPC::OPCItem(int index) const {
    return FOPCItemManager->GetItem(index);
}

#define KV_CHANNEL_OPC(Name, Type, Item, Field)                                                              \
    Type TgPlotChannelOPC::Name() const {                                                                    \
        return OPCItem(Item)->Field();                                                                       \
    }                                                                                                        \
    void TgPlotChannelOPC::Set##Name(Type value) {                                                           \
        OPCItem(Item)->Set##Field(value);                                                                    \
    }
KV_CHANNEL_OPC(OPCComputerName, const std::string&, 0, ComputerName)
KV_CHANNEL_OPC(OPCServerName, const std::string&, 0, ServerName)
KV_CHANNEL_OPC(OPCItemName, const std::string&, 0, ItemName)
KV_CHANNEL_OPC(OPCItem2Name, const std::string&, 1, ItemName)
KV_CHANNEL_OPC(OPCUpdateRate, int, 0, UpdateRate)
KV_CHANNEL_OPC(OPCScalar, double, 0, Scalar)
KV_CHANNEL_OPC(OPCOffset, double, 0, Offset)
KV_CHANNEL_OPC(OPCScalar2, double, 1, Scalar)
KV_CHANNEL_OPC(OPCOffset2, double, 1, Offset)
KV_CHANNEL_OPC(OPCAutoConnect, bool, 0, AutoConnect)
#undef KV_CHANNEL_OPC

bool TgPlotChannelOPC::OPCActive() const {
    return OPCItem(0)->Active();
}

bool TgPlotChannelOPC::OPCQualityGood() const {
    return OPCItem(0)->QualityGood();
}

void TgPlotChannelOPC::OPCGroupUpdate() {
    double x = 0, y = 0;
    if (gChannelVariantNumber(OPCItem(0)->Data(), x) && gChannelVariantNumber(OPCItem(1)->Data(), y))
        FOPCChannel.AddXY(x, y);
}

void TgPlotChannelOPC::OPCAutoActivate() {
    if (!OPCItem(0)->AutoConnect())
        return;
    try {
        OPCActivate();
    } catch (const EKvError&) { // a server that cannot be reached must not stop the plot from loading
    }
}

} // namespace kv
