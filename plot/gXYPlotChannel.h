#pragma once
// The channel of the XY plot: free (X, Y) points drawn in the order they were added, so that a curve
// may turn back in X. Two OPC items can feed it: item 0 supplies X and item 1 Y, both added as one
// point whenever their group has updated.

#include "plot/gPlotChannel.h"

#include <memory>
#include <string>

namespace kv {

class TgOPCManager;
class TgOPCItemManager;
class TgOPCItem;
enum class TgPlotDataCursorStyle;

class TgXYPlotChannel : public TgPlotChannelCustom {
    KV_CLASS(TgXYPlotChannel)
public:
    TgXYPlotChannel(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert, TNotifyEvent onRemove,
                    TNotifyEvent onRename);
    ~TgXYPlotChannel() override;

    // --- OPC settings, each kept by one of the two items
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

    // (Re)connects both items through one group of this channel's own; nothing while the plot is being
    // designed or without the OPC client library.
    void OPCActivate();
    void OPCActivateSuspend();
    void OPCDeactivate();
    void OPCUpdateSuspend();
    void OPCUpdateResume();
    // The group has updated: its two values become one point. Values that are not numbers add none.
    void OPCGroupUpdate();

    // A point that breaks the trace, and one the trace skips; neither enters statistics, tracking or
    // the log.
    int AddNull();
    int AddEmpty();

    // --- the channel kind's part: every point is drawn
    void CalcStartIndex() override;
    void CalcStopIndex() override;
    double GetVisibleXMax() override;
    double GetVisibleXMin() override;
    double GetVisibleYMax() override;
    double GetVisibleYMin() override;
    // Reads the axes at the cursor's pointers and hands the values and texts to the cursor.
    void UpdateDataCursorText(TgPlotObject* cursor) override;
    // Stores the values and builds the texts under a data cursor; returns the cursor's text.
    std::string FormatDataCursorText(TgPlotDataCursorStyle style, TgPlotDataPointStatus status, double x,
                                     double y);

    void DoInsert() override;
    void DrawSetup() override;
    // Never raises: a faulty channel must not stop the plot's paint.
    void Draw(TCanvas& canvas, TColor backGroundColor) override;

private:
    bool OwnerDesigning() const;
    TgOPCItem* OPCItem(int index) const;
    // The largest (or smallest) marker extent over the points drawn; -1e300 (1e300) when none.
    double VisibleExtreme(double (TgPlotChannelCustom::*marker)(int), bool largest);

    std::unique_ptr<TgOPCManager> FOPCManager;
    std::unique_ptr<TgOPCItemManager> FOPCItemManager;
};

} // namespace kv
