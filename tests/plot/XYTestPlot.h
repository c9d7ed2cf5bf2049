#pragma once
// A stand-in for the plot control in tests of the legend, the XY channel and the data cursor: the
// channel and axis managers wired as the master manager wires them, the host interfaces those
// objects ask of their plot, a translation table, and a log of the events they fire.

#include "plot/gPlotAxis.h"
#include "plot/gPlotChannel.h"
#include "plot/gPlotDataCursor.h"
#include "plot/gPlotDataView.h"
#include "plot/gPlotLegend.h"
#include "plot/gPlotManagers.h"

#include "tests/plot/PlotTestWiring.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kvtest {

class XYTestPlot : public TestPlotWiring,
                   public kv::TComponent,
                   public kv::TgPlotObjectHost,
                   public kv::IgPlotAxisHost,
                   public kv::IgPlotChannelHost,
                   public kv::IgPlotLegendHost,
                   public kv::IgPlotDataCursorHost {
public:
    XYTestPlot() : kv::TComponent(nullptr) {
        channels = std::make_unique<kv::TgPlotChannelManager>(this, change, insert, remove, rename);
        xAxes = std::make_unique<kv::TgPlotXAxisManager>(this, change, insert, remove, rename);
        yAxes = std::make_unique<kv::TgPlotYAxisManager>(this, change, insert, remove, rename);
        legends = std::make_unique<kv::TgPlotLegendManager>(this, change, insert, remove, rename);
        cursors = std::make_unique<kv::TgPlotDataCursorManager>(this, change, insert, remove, rename);
        dataViews = std::make_unique<kv::TgPlotDataViewManager>(this, change, insert, remove, rename);
    }
    // The managers free their objects.
    ~XYTestPlot() override {
        legends.reset();
        cursors.reset();
        dataViews.reset();
        channels.reset();
        xAxes.reset();
        yAxes.reset();
    }

    // Creates an object of the plot and announces it, as the master manager does.
    template <class T> T* Add(const std::string& name = {}) {
        auto* o = new T(this, change, insert, remove, rename);
        o->DoInsert();
        if (!name.empty())
            o->SetName(name);
        return o;
    }
    // An axis from min to min + span whose scale runs the length of `r` (an X axis below the data area,
    // a Y axis left of it).
    template <class T> T* AddAxis(const std::string& name, double min, double span, const kv::TRect& r) {
        T* axis = Add<T>(name);
        axis->SetTrackingEnabled(false); // the range stays where the test put it
        axis->SetDrawRect(r);
        axis->SetMin(min);
        axis->SetSpan(span);
        kv::TBitmap scratch(8, 8);
        axis->CalcScaleRect(*scratch.Canvas());
        return axis;
    }

    // --- TgPlotObjectHost
    void DoObjectMouseDown(kv::TgPlotObject*, kv::TMouseButton, kv::TShiftState, int, int) override {}
    void DoObjectMouseMove(kv::TgPlotObject*, kv::TShiftState, int, int) override {}
    void DoObjectMouseUp(kv::TgPlotObject*, kv::TMouseButton, kv::TShiftState, int, int) override {}
    void DoObjectMouseWheel(kv::TgPlotObject*, int, kv::TShiftState, kv::TPoint) override {}
    void DoObjectPopupMenu(kv::TgPlotObject*, bool&, int, int) override {}
    void DoObjectGotFocus(kv::TgPlotObject*) override {}
    void DoObjectLostFocus(kv::TgPlotObject*) override {}
    std::string FindReplacement(const std::string& text) override {
        auto it = translations.find(text);
        return it == translations.end() ? text : it->second;
    }

    // --- IgPlotAxisHost
    kv::TgPlotAxis* GetXAxisByName(const std::string& name) override {
        return dynamic_cast<kv::TgPlotAxis*>(xAxes->GetObjectByName(name));
    }
    kv::TgPlotAxis* GetYAxisByName(const std::string& name) override {
        return dynamic_cast<kv::TgPlotAxis*>(yAxes->GetObjectByName(name));
    }
    bool PlotIsLoading() const override { return false; }
    void DoAxisMinChange(kv::TgPlotAxis*, double, double) override {}
    void DoAxisSpanChange(kv::TgPlotAxis*, double, double) override {}
    void DoAxisMinSpanChange(kv::TgPlotAxis*, double, double, double, double) override {}
    void DoAxisCustomizeLabel(kv::TgPlotAxis*, double, std::string&) override {}
    void DoAxisCustomizeHint(kv::TgPlotAxis*, std::string&) override {}
    void RegisterLabelRect(const kv::TRect&) override {}
    bool TestLabelRect(const kv::TRect&) override { return true; }
    kv::TCanvas* HintCanvas() override { return nullptr; }

    // --- IgPlotChannelHost
    kv::TgPlotDataView* GetFirstDataView() override { return dataView; }
    bool GetSelectModeActive() override { return false; }
    char GetDataFileSeparatorChar() override { return '\t'; }
    bool GetDifferentialPropertySave() override { return false; }
    int GetChannelIndex(const kv::TgPlotObject* c) override { return channels->GetIndex(c); }
    kv::TFont* GetHintsFont() override { return &hintsFont; }
    void DoMouseDownDataPoint(int, int, kv::TMouseButton, kv::TShiftState, int, int) override {}
    void DoMouseMoveDataPoint(int, int, kv::TShiftState, int, int) override {}
    void DoMouseUpDataPoint(int, int, kv::TMouseButton, kv::TShiftState, int, int) override {}
    void DoClickDataPoint(int, int, bool) override {}
    void DoDataPointMoved(int, int, double, double, double, double) override {}
    void DoDataPointCustomizeHint(int, int, std::string&) override {}
    void DoClickChannel(int, bool) override {}
    void DoGetMouseCursorChannel(int, kv::TCursor&) override {}

    // --- IgPlotLegendHost and IgPlotDataCursorHost
    int ChannelCount() override { return channels->Count(); }
    kv::TgPlotChannelCustom* GetChannelObject(int index) override {
        return dynamic_cast<kv::TgPlotChannelCustom*>(channels->GetItem(index));
    }
    void DoClickLegend(kv::TgPlotLegend* legend) override { log.push_back("click " + legend->Name()); }
    void DoGetMouseCursorLegend(kv::TgPlotLegend*, kv::TCursor& cursor) override {
        if (legendCursor)
            cursor = *legendCursor;
    }
    void DoBeforeDataCursorUpdate(kv::TgPlotDataCursor* cursor) override {
        log.push_back("before " + cursor->Name());
    }
    void DoDataCursorChange(kv::TgPlotObject* cursor) override {
        log.push_back("change " + cursor->Name());
    }

    std::unique_ptr<kv::TgPlotObjectManagerCustom> channels, xAxes, yAxes, legends, cursors, dataViews;
    kv::TgPlotDataView* dataView = nullptr;
    kv::TFont hintsFont;
    std::map<std::string, std::string> translations;
    const kv::TCursor* legendCursor = nullptr;
    std::vector<std::string> log;
};

} // namespace kvtest
