#pragma once
// The plot's toolbar: a row of image buttons beside the data view that turn clicks into plot-wide
// commands (tracking, axes mode, zoom, select, zoom box, cursor, editor, clipboard, save, print).

#include "plot/gPlotObjects.h"

#include <string>
#include <vector>

namespace kv {

class TgPlotToolBar;
class TgPlotAxis;

enum class TgPlotToolBarButtonType {
    iptbbtResume,
    iptbbtPause,
    iptbbtScrollAxesMode,
    iptbbtZoomAxesMode,
    iptbbtSelect,
    iptbbtZoomBox,
    iptbbtZoomOut,
    iptbbtZoomIn,
    iptbbtCursor,
    iptbbtEdit,
    iptbbtCopy,
    iptbbtSave,
    iptbbtPrint,
    iptbbtPreview
};
std::vector<std::string> EnumIdents(TgPlotToolBarButtonType);

// What a toolbar needs of the plot that owns it (the plot control implements it).
class IgPlotToolBarHost {
public:
    virtual int GetToolBarIndex(const TgPlotToolBar* toolBar) = 0;
    virtual void DoBeforeToolBarButtonClick(int index, TgPlotToolBarButtonType type, bool& cancel) = 0;
    virtual void DoToolBarButtonClick(int index, TgPlotToolBarButtonType type) = 0;
    virtual void DoToolBarCustomizeHint(int index, std::string& text) = 0;
    virtual int XAxisCount() = 0;
    virtual int YAxisCount() = 0;
    virtual TgPlotAxis* GetXAxis(int index) = 0;
    virtual TgPlotAxis* GetYAxis(int index) = 0;
    virtual void EnableAllTracking() = 0;
    virtual void DisableAllTracking() = 0;
    virtual int DataCursorCount() = 0;
    virtual TgPlotObject* GetDataCursor(int index) = 0;
    // Deselects every plot object.
    virtual void ClearAllUserSelections() = 0;
    virtual void SyncSelectMode(bool on) = 0;
    virtual void EditProperties() = 0;
    virtual void CopyToClipBoard() = 0;
    virtual void Save() = 0;
    virtual void PrintChart() = 0;
    virtual void PreviewChart() = 0;
    // The canvas hints are measured on; null when the plot has none.
    virtual TCanvas* HintCanvas() = 0;

protected:
    ~IgPlotToolBarHost() = default;
};

class TgPlotToolBar : public TgPlotLayoutObject {
    KV_CLASS(TgPlotToolBar)
public:
    TgPlotToolBar(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert, TNotifyEvent onRemove,
                  TNotifyEvent onRename);
    ~TgPlotToolBar() override;

    bool GetSelectActive() const;
    bool SelectActive() const { return GetSelectActive(); }
    bool ZoomBoxActive() const;
    bool CursorActive() const;
    // Performs a click of the select button, events included.
    void DoButtonClickSelect();
};

} // namespace kv
