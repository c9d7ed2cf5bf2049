#pragma once
// The OPC link both channel kinds keep: two items bound to the channel's "Data" (item 0 also carries
// the connection settings) and a group manager of the channel's own. The settings read and write the
// items; each update of the group adds the two items' values to the channel as one point.

#include "platform/core/Classes.h"
#include "platform/core/Properties.h"

#include <memory>
#include <string>

namespace kv {

class TgOPCItem;
class TgOPCItemManager;
class TgOPCManager;
class TgPlotChannelCustom;

class TgPlotChannelOPC {
public:
    // owner: the plot that owns the channel (asked whether it is being designed);
    // channel: the channel the group's points go to.
    TgPlotChannelOPC(TComponent* owner, TgPlotChannelCustom& channel);
    virtual ~TgPlotChannelOPC();
    TgPlotChannelOPC(const TgPlotChannelOPC&) = delete;
    TgPlotChannelOPC& operator=(const TgPlotChannelOPC&) = delete;

    const std::string& OPCComputerName() const;
    void SetOPCComputerName(const std::string& value);
    const std::string& OPCServerName() const;
    void SetOPCServerName(const std::string& value);
    const std::string& OPCItemName() const;
    void SetOPCItemName(const std::string& value);
    const std::string& OPCItem2Name() const;
    void SetOPCItem2Name(const std::string& value);
    int OPCUpdateRate() const;
    void SetOPCUpdateRate(int value);
    double OPCScalar() const;
    void SetOPCScalar(double value);
    double OPCOffset() const;
    void SetOPCOffset(double value);
    double OPCScalar2() const;
    void SetOPCScalar2(double value);
    double OPCOffset2() const;
    void SetOPCOffset2(double value);
    bool OPCAutoConnect() const;
    void SetOPCAutoConnect(bool value);
    bool OPCActive() const;
    bool OPCQualityGood() const;
    TgOPCManager* OPCManager() const { return FOPCManager.get(); }
    TgOPCItemManager* OPCItemManager() const { return FOPCItemManager.get(); }

    // (Re)connects the items as the channel kind does; nothing while the plot is being designed.
    virtual void OPCActivate() = 0;
    // The group has updated: the two items' values become one point. Values that are not numbers
    // add none.
    void OPCGroupUpdate();

protected:
    bool OwnerDesigning() const;
    TgOPCItem* OPCItem(int index) const;
    // Connects with AutoConnect on, when the channel joins its plot.
    void OPCAutoActivate();

    std::unique_ptr<TgOPCManager> FOPCManager;
    std::unique_ptr<TgOPCItemManager> FOPCItemManager;

private:
    TComponent* FOPCOwner;
    TgPlotChannelCustom& FOPCChannel;
};

// Publishes the OPC settings both channel kinds stream, in their stream order.
template <class C> void gPublishChannelOPC(TClassBuilder<C>& b) {
    b.Prop("OPCComputerName", &C::OPCComputerName, &C::SetOPCComputerName);
    b.Prop("OPCServerName", &C::OPCServerName, &C::SetOPCServerName);
    b.Prop("OPCItemName", &C::OPCItemName, &C::SetOPCItemName);
    b.Prop("OPCItem2Name", &C::OPCItem2Name, &C::SetOPCItem2Name);
    b.Prop("OPCUpdateRate", &C::OPCUpdateRate, &C::SetOPCUpdateRate).Default(500);
    b.Prop("OPCScalar", &C::OPCScalar, &C::SetOPCScalar);
    b.Prop("OPCOffset", &C::OPCOffset, &C::SetOPCOffset);
    b.Prop("OPCScalar2", &C::OPCScalar2, &C::SetOPCScalar2);
    b.Prop("OPCOffset2", &C::OPCOffset2, &C::SetOPCOffset2);
    b.Prop("OPCAutoConnect", &C::OPCAutoConnect, &C::SetOPCAutoConnect).Default(true);
}

} // namespace kv
