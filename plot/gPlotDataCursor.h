#pragma once
// A data cursor: pointers over the data view that read channel values.

#include "plot/gPlotManagers.h"
#include "plot/gPlotObjects.h"

#include <string>
#include <vector>

namespace kv {

class TgPlotDataCursor;

enum class TgPlotDataCursorStyle { ipcsValueXY, ipcsValueX, ipcsValueY, ipcsDeltaX, ipcsDeltaY, ipcsInverseDeltaX };
std::vector<std::string> EnumIdents(TgPlotDataCursorStyle);

// What a data cursor needs of the plot that owns it (the plot control implements it).
class IgPlotDataCursorHost {
public:
    virtual int ChannelCount() = 0;
    virtual TgPlotChannelCustom* GetChannelObject(int index) = 0;
    // OnBeforeDataCursorUpdate.
    virtual void DoBeforeDataCursorUpdate(TgPlotDataCursor* cursor) = 0;

protected:
    ~IgPlotDataCursorHost() = default;
};

class TgPlotDataCursor : public TgPlotManagerObject, public IgPlotDataViewLink {
    KV_CLASS(TgPlotDataCursor)
public:
    TgPlotDataCursor(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert, TNotifyEvent onRemove,
                     TNotifyEvent onRename);
    ~TgPlotDataCursor() override;

    const std::string& ChannelName() const { return FChannelName; }
    void SetChannelName(const std::string& value);
    bool ChannelShowAllInLegend() const { return FChannelShowAllInLegend; }
    void SetChannelShowAllInLegend(bool value);
    // Announces the update, then lets its channel (every channel for "<All>") compute its values.
    void UpdateValues();
    void SetDataViewLink(TgPlotObject* dataView) override { FDataView = dataView; }
    TgPlotObject* DataView() const { return FDataView; }

protected:
    std::string FChannelName;
    bool FChannelShowAllInLegend = false;
    TgPlotObject* FDataView = nullptr;
};

} // namespace kv
