#pragma once
// The channel of the XY plot: free (X, Y) points drawn in the order they were added, so that a curve
// may turn back in X. Two OPC items can feed it: item 0 supplies X and item 1 Y, both added as one
// point whenever their group has updated.

#include "plot/gPlotChannel.h"
#include "plot/gPlotChannelOPC.h"

#include <memory>
#include <string>

namespace kv {

class TgOPCManager;
class TgOPCItemManager;
class TgOPCItem;
enum class TgPlotDataCursorStyle;

class TgXYPlotChannel : public TgPlotChannelCustom, public TgPlotChannelOPC {
    KV_CLASS(TgXYPlotChannel)
public:
    TgXYPlotChannel(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert, TNotifyEvent onRemove,
                    TNotifyEvent onRename);
    ~TgXYPlotChannel() override;

    // (Re)connects both items through one group of this channel's own; nothing while the plot is being
    // designed or without the OPC client library.
    void OPCActivate() override;
    void OPCActivateSuspend();
    void OPCDeactivate();
    void OPCUpdateSuspend();
    void OPCUpdateResume();

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
    // The largest (or smallest) marker extent over the points drawn; -1e300 (1e300) when none.
    double VisibleExtreme(double (TgPlotChannelCustom::*marker)(int), bool largest);
};

} // namespace kv
