#pragma once
// The bare painter reference of the curve benchmarks: the engine's curves kept as they are handed over,
// and a plain widget that draws them on the graph's plot area with QPainter, antialiased, 2 px. It keeps
// what the graph keeps: the background and every curve but the channel's total are drawn into a layer
// once, while they stay as they are; each paint puts the layer back and draws the band fill and the
// total over it.

#include "editors/response/Plot.h"

#include <QImage>
#include <QPainter>
#include <QWidget>

#include <map>
#include <vector>

namespace benchbare {

// Keeps the curves the engine hands over; draws nothing itself.
class CurveStore : public CurveGraph {
public:
    std::map<int, std::vector<double>> curves;
    std::vector<double> band;
    int layerRevision = 0; // counts changes of the curves other than the total
    void FFTDraw(const double* values, int count, int curve, CurveColour, int) override {
        curves[curve].assign(values, values + count);
        if (curve != SECTION_TOTAL)
            ++layerRevision;
    }
    bool RemovePlot(int curve) override {
        if (curve != SECTION_TOTAL)
            ++layerRevision;
        return curves.erase(curve) > 0;
    }
    void DrawBlock(float, double, CurveColour, int, bool, int) override {}
    void SetBlockParameter(int, double, double, double, int) override {}
    void DrawParam(int, double, double, float, double, CurveColour) override {}
    void DrawCurveFill(int, const double* values, int count) override { band.assign(values, values + count); }
    void SetCurveDisplay(bool) override {}
};

// A widget that draws the stored curves on the graph's plot area, antialiased, 2 px.
class BareWidget : public QWidget {
public:
    BareWidget(const CurveStore& store, int width, int height) : FStore(store) {
        resize(width, height);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override {
        ++paints;
        if (FLayer.size() != size() || FLayerRevision != FStore.layerRevision) {
            FLayer = QImage(size(), QImage::Format_RGB32);
            QPainter layer(&FLayer);
            layer.fillRect(rect(), Qt::black);
            layer.setRenderHint(QPainter::Antialiasing, true);
            for (const auto& [number, y] : FStore.curves)
                if (number != SECTION_TOTAL)
                    Draw(layer, y, Qt::green);
            FLayerRevision = FStore.layerRevision;
        }
        QPainter p(this);
        p.drawImage(0, 0, FLayer);
        p.setRenderHint(QPainter::Antialiasing, true);
        if (!FStore.band.empty())
            Draw(p, FStore.band, Qt::gray);
        if (auto it = FStore.curves.find(SECTION_TOTAL); it != FStore.curves.end())
            Draw(p, it->second, Qt::magenta);
    }

private:
    void Draw(QPainter& p, const std::vector<double>& y, QColor colour) const {
        const double w = width() - 46, h = height() - 26;
        QPolygonF poly(static_cast<int>(y.size()));
        for (size_t i = 0; i < y.size(); ++i)
            poly[static_cast<int>(i)] = QPointF(36 + w * (static_cast<double>(i) - 966.0) / (3840.0 - 966.0),
                                                10 + h - h * (y[i] + 18.0) / 36.0);
        p.setPen(QPen(colour, 2));
        p.drawPolyline(poly);
    }

    const CurveStore& FStore;
    QImage FLayer;
    int FLayerRevision = -1;
};

} // namespace benchbare
