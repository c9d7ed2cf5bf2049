#pragma once
// A plot set up as the main window's dynamics plots are: 720 x 230, no border, only the two axes
// showing, neither axis enabled nor able to take the focus.

#include "plot/gXYPlot.h"

namespace kvtest {

using namespace kv;

inline void SetUpMainWindowPlot(TgXYPlot& p) {
    p.SetBounds(0, 0, 720, 230);
    p.SetBorderStyle(TgBevelStyle::ibsNone);
    p.SetDataViewZHorz(1);
    p.SetDataViewZVert(1);
    p.SetTitleVisible(false);
    p.SetUserCanEditObjects(false);
    p.GetToolBar(0)->SetVisible(false);
    p.GetLegend(0)->SetVisible(false);
    p.GetLegend(0)->SetEnabled(false);
    p.GetLegend(0)->SetPopupEnabled(false);
    p.GetLegend(0)->SetCanFocus(false);
    p.GetLabel(0)->SetVisible(false);
    p.GetDataCursor(0)->SetVisible(false);
    struct AxisSetting {
        TgPlotAxis* axis;
        double increment, labelSeparation, stackingEndsMargin, labelsMinLength;
        int minorLength;
    };
    for (const AxisSetting& s :
         {AxisSetting{p.GetXAxis(0), 20, 0, 1, 5, 13}, AxisSetting{p.GetYAxis(0), 10, 1, 0.5, 3, 8}}) {
        TgPlotAxis& a = *s.axis;
        a.SetEnabled(false);
        a.SetPopupEnabled(false);
        a.SetCanFocus(false);
        a.SetTrackingEnabled(false);
        a.SetMin(-100);
        a.SetSpan(120);
        a.SetDesiredStart(20);
        a.SetDesiredIncrement(s.increment);
        a.SetMinorLength(s.minorLength);
        a.LabelsFont()->SetColor(clYellow);
        a.SetLabelsPrecision(2);
        a.SetLabelsMinLength(s.labelsMinLength);
        a.SetLabelSeparation(s.labelSeparation);
        a.SetTitleMargin(1);
        a.SetStackingEndsMargin(s.stackingEndsMargin);
        a.SetScaleLinesShow(false);
    }
    p.GetXAxis(0)->SetMinorCount(4);
    p.GetXAxis(0)->SetMajorLength(9);
    p.GetXYChannel(0)->SetColor(clWhite);
    p.GetXYChannel(0)->SetTraceLineWidth(2);
    p.GetDataView(0)->SetLayer(0);
    p.GetDataView(0)->SetPopupEnabled(false);
    p.GetDataView(0)->SetCanFocus(false);
    TgXYPlotChannel* second = p.GetXYChannel(p.AddChannel());
    second->SetColor(8421631);
    second->SetTraceLineStyle(TgPlotLineStyle::iplsDot);
    second->SetTraceLineWidth(5);
    second->SetMarkersAllowIndividual(true);
    second->SetMarkersVisible(true);
    second->SetMarkersSize(5);
    second->SetMarkersPenWidth(3);
}

} // namespace kvtest
