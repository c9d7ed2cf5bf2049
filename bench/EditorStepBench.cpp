// What a user feels on the channel editors' pages, from the input event to the pixels on screen:
// - a gain fader step on Out1 with all four outputs linked, until the last linked strip is painted;
// - a drag step of a delay indicator, until its line is painted;
// - a click on a matrix route button, until the routing diagram is painted again;
// - a compressor threshold step on Out1, until its transfer curve is painted again, with the steps spaced
//   past the plot's frame-rate hold (60 per second), so that the figure is the work of a step and not
//   the wait for the next frame.
// The reference in the same run is bare Qt: a plain window of the main window's size where a slider
// moves and four value labels take their texts, until the last label is painted. The compressor step
// has a second one: a plain widget of the plot's size that paints the same picture (the plot's
// background and data view, its grid and tick labels where the plot puts them, the transfer curve and
// the threshold point) with QPainter, each step with the curve's new points.
#include <benchmark/benchmark.h>

#include "app/FMain.h"
#include "panels/PkBmpButton.h"
#include "platform/gui/Forms.h"
#include "platform/gui/StdPanels.h"
#include "plot/gPlotAxis.h"
#include "plot/gPlotChannel.h"
#include "plot/gPlotDataView.h"
#include "plot/gXYPlot.h"
#include "plot/gXYPlotChannel.h"
#include "styled/StTrackBar.h"

#include "MainWindowBench.h"
#include "StepTiming.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QSlider>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace kv;
using benchstep::PaintCounter;
using benchstep::Quantile;

namespace {

constexpr int EVENTS = 120;
constexpr int WARM_UP = 5;
// Past the plot's frame-rate hold of 1000 / 60 ms, twice: one step changes the plot several times, and
// the frame-rate hold must have ended before the next step so that it paints at once.
constexpr int PLOT_STEP_PAUSE_MS = 40;

std::map<std::string, std::vector<double>> gSamples; // milliseconds per event
std::vector<std::string> gOrder;

bool PaintedAfter(const PaintCounter& counter, int before) {
    return benchstep::WaitUntil([&] { return counter.paints > before; });
}

// Runs event(k) once per iteration and keeps how long it took until `counter` saw a paint.
template <class Event>
void TimeEvents(benchmark::State& state, const std::string& name, const PaintCounter& counter, Event&& event,
                int pauseMs = 0) {
    if (std::find(gOrder.begin(), gOrder.end(), name) == gOrder.end())
        gOrder.push_back(name);
    benchstep::TimeEvents(
        state, gSamples[name],
        [&](int k) {
            const int before = counter.paints;
            event(k);
            return PaintedAfter(counter, before);
        },
        WARM_UP, "not painted after the event", pauseMs);
}

TfmMain* OpenMain(const char* page) {
    auto* main = Application->CreateForm<TfmMain>();
    main->Show();
    auto* button = main->Find<TPkBmpButton>(std::string("pkbMenu") + page);
    button->Click();
    button->SetDown(true);
    QApplication::processEvents();
    return main;
}

void BM_BareQt(benchmark::State& state) {
    QWidget window;
    window.resize(1118, 720);
    QSlider slider(Qt::Vertical, &window);
    slider.setGeometry(20, 400, 26, 132);
    slider.setRange(-280, 120);
    std::vector<std::unique_ptr<QLabel>> labels;
    for (int i = 0; i < 4; ++i) {
        labels.push_back(std::make_unique<QLabel>(&window));
        labels.back()->setGeometry(100 + 150 * i, 560, 84, 22);
    }
    window.show();
    QApplication::processEvents();
    PaintCounter counter(labels.back().get());
    TimeEvents(state, "bare Qt", counter, [&](int k) {
        const int p = -100 + (k % 2 ? 40 : 0) + k % 37;
        slider.setValue(p);
        for (auto& label : labels)
            label->setText(QString::number(p * 0.1, 'f', 1) + QStringLiteral("dB"));
    });
}

void BM_LinkedGainStep(benchmark::State& state) {
    TfmMain* main = OpenMain("Gain");
    main->UnitControl()->SetLinkMask(2, 0xF);
    for (int c = 3; c <= 5; ++c)
        main->UnitControl()->SetLinkMask(c, 0);
    auto* fader = main->Find<TStTrackBar>("isGainBackupOut1");
    PaintCounter counter(main->Find<TControl>("cvdGainBackupOut4")->Widget());
    TimeEvents(state, "gain step, 4 outputs linked", counter,
               [&](int k) { fader->SetPosition(-100 + (k % 2 ? 40 : 0) + k % 37); });
    main->Hide();
    delete main;
}

void BM_DelayDragStep(benchmark::State& state) {
    TfmMain* main = OpenMain("Delay");
    auto* line = main->Find<TLabel>("lbDelayLineOut1");
    const int mid = line->Height() / 2;
    line->MouseDown(TMouseButton::mbLeft, {}, 15, mid);
    PaintCounter counter(line->Widget());
    TimeEvents(state, "delay drag step", counter,
               [&](int k) { line->MouseMove({}, 20 + (k * 37) % 380, mid); });
    line->MouseUp(TMouseButton::mbLeft, {}, 20, mid);
    main->Hide();
    delete main;
}

void BM_MatrixRouteClick(benchmark::State& state) {
    TfmMain* main = OpenMain("Matrix");
    auto* route = main->Find<TPkBmpButton>("pkbBMatrixOut1");
    PaintCounter counter(main->Find<TControl>("pkgFftMatrix")->Widget());
    TimeEvents(state, "matrix route click", counter, [&](int) {
        route->MouseDown(TMouseButton::mbLeft, {}, 2, 2);
        route->MouseUp(TMouseButton::mbLeft, {}, 2, 2);
    });
    main->Hide();
    delete main;
}

// What the compressor page's plot shows, taken from the plot once it has painted: the bare reference
// draws exactly this.
struct TransferPicture {
    QSize size;
    QColor background, viewBackground, grid, curve, point, text;
    QRect view;
    QFont font;
    struct Label {
        QPoint at;
        QString text;
        bool vertical; // a line across the view at `at`'s x (else at its y)
    };
    std::vector<Label> labels;
    double xMin = -100, xMax = 20, yMin = -100, yMax = 20;
};

TransferPicture PictureOf(TgXYPlot& plot) {
    TransferPicture p;
    p.size = QSize(plot.Width(), plot.Height());
    p.background = QColor::fromRgb(ToQRgb(plot.BackGroundColor()));
    TgPlotDataView* view = plot.GetDataView(0);
    p.viewBackground = QColor::fromRgb(ToQRgb(view->BackgroundColor()));
    const TRect r = view->DrawRect();
    p.view = QRect(QPoint(r.Left, r.Top), QPoint(r.Right, r.Bottom));
    p.grid = QColor::fromRgb(ToQRgb(view->GridLineColor()));
    p.curve = QColor::fromRgb(ToQRgb(plot.GetXYChannel(0)->Color()));
    p.point = QColor::fromRgb(ToQRgb(plot.GetXYChannel(1)->Color()));
    p.text = QColor(Qt::black);
    p.font = QFont(QStringLiteral("DejaVu Sans"));
    p.font.setPixelSize(11);
    for (int axis = 0; axis < 2; ++axis) {
        TgPlotAxis* a = axis == 0 ? plot.GetXAxis(0) : plot.GetYAxis(0);
        if (axis == 0)
            p.xMin = a->Min(), p.xMax = a->Min() + a->Span();
        else
            p.yMin = a->Min(), p.yMax = a->Min() + a->Span();
        for (int i = 0; i < a->TickListCount(); ++i) {
            const TgPlotTick& t = a->Tick(i);
            if (!t.Show)
                continue;
            const QPoint at = axis == 0 ? QPoint(t.PositionPixels, p.view.bottom() + 4)
                                        : QPoint(p.view.left() - 4, t.PositionPixels);
            p.labels.push_back({at, QString::fromStdString(t.Text), axis == 0});
        }
    }
    return p;
}

// A plain widget painting the picture with the curve's points of the moment.
class BareTransferPlot : public QWidget {
public:
    explicit BareTransferPlot(TransferPicture picture) : FPicture(std::move(picture)) {
        resize(FPicture.size);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }
    void SetPoints(std::vector<QPointF> curve, QPointF threshold) {
        FCurve = std::move(curve);
        FThreshold = threshold;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        const TransferPicture& p = FPicture;
        QPainter painter(this);
        painter.fillRect(rect(), p.background);
        painter.fillRect(p.view, p.viewBackground);
        painter.setFont(p.font);
        for (const auto& label : p.labels) {
            painter.setPen(p.grid);
            if (label.vertical)
                painter.drawLine(label.at.x(), p.view.top(), label.at.x(), p.view.bottom());
            else
                painter.drawLine(p.view.left(), label.at.y(), p.view.right(), label.at.y());
            painter.setPen(p.text);
            const QRect box = label.vertical ? QRect(label.at.x() - 20, label.at.y(), 40, 14)
                                             : QRect(label.at.x() - 40, label.at.y() - 7, 40, 14);
            painter.drawText(box, (label.vertical ? Qt::AlignHCenter : Qt::AlignRight) | Qt::AlignVCenter,
                             label.text);
        }
        painter.setPen(QColor(Qt::black));
        painter.drawRect(p.view);
        const auto toPixel = [&](QPointF v) {
            return QPointF(p.view.left() + (v.x() - p.xMin) / (p.xMax - p.xMin) * p.view.width(),
                           p.view.bottom() - (v.y() - p.yMin) / (p.yMax - p.yMin) * p.view.height());
        };
        std::vector<QPointF> line;
        for (const QPointF& v : FCurve)
            line.push_back(toPixel(v));
        painter.setClipRect(p.view);
        painter.setPen(QPen(p.curve, 1));
        painter.drawPolyline(line.data(), static_cast<int>(line.size()));
        painter.setBrush(p.point);
        painter.drawEllipse(toPixel(FThreshold), 3, 3);
    }

private:
    TransferPicture FPicture;
    std::vector<QPointF> FCurve;
    QPointF FThreshold;
};

// The compressor's transfer curve for a threshold step, as the page computes it (knee 0, ratio 4:1).
std::vector<QPointF> TransferCurve(int position, QPointF& threshold) {
    const double t = position * 0.5, a = (20 - t) / 4.0;
    threshold = QPointF(t + 0.2, t - 0.4);
    return {{20, t + a}, {t, t}, {t, t}, {-100, -100}};
}

int ThresholdPosition(int k) {
    return -100 + (k % 2 ? 40 : 0) + k % 37;
}

TransferPicture gTransferPicture;

void BM_CompThresholdStep(benchmark::State& state) {
    TfmMain* main = OpenMain("Comp");
    auto* fader = main->Find<TStTrackBar>("isCompThresholdOut1");
    auto* plot = main->Find<TgXYPlot>("ipComp");
    PaintCounter counter(plot->Widget());
    benchstep::Idle(50);
    gTransferPicture = PictureOf(*plot);
    TimeEvents(
        state, "compressor threshold step", counter, [&](int k) { fader->SetPosition(ThresholdPosition(k)); },
        PLOT_STEP_PAUSE_MS);
    main->Hide();
    delete main;
}

void BM_BareTransferPlot(benchmark::State& state) {
    if (gTransferPicture.size.isEmpty()) {
        state.SkipWithError("run with the compressor step, which supplies the picture");
        return;
    }
    BareTransferPlot plot(gTransferPicture);
    plot.show();
    benchstep::Idle(50);
    PaintCounter counter(&plot);
    TimeEvents(
        state, "bare drawing of the transfer plot", counter,
        [&](int k) {
            QPointF threshold;
            auto curve = TransferCurve(ThresholdPosition(k), threshold);
            plot.SetPoints(std::move(curve), threshold);
        },
        PLOT_STEP_PAUSE_MS);
}

BENCHMARK(BM_BareQt)->Iterations(EVENTS)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LinkedGainStep)->Iterations(EVENTS)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DelayDragStep)->Iterations(EVENTS)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MatrixRouteClick)->Iterations(EVENTS)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompThresholdStep)->Iterations(EVENTS)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareTransferPlot)->Iterations(EVENTS)->UseManualTime()->Unit(benchmark::kMillisecond);

void PrintFigures() {
    const double reference = Quantile(gSamples["bare Qt"], 0.5);
    std::printf("\n%-34s %10s %10s %10s %14s\n", "event to pixels, ms", "median", "p90", "max",
                "median vs bare");
    for (const std::string& name : gOrder) {
        const auto& v = gSamples[name];
        std::printf("%-34s %10.2f %10.2f %10.2f %13.2fx\n", name.c_str(), Quantile(v, 0.5), Quantile(v, 0.9),
                    Quantile(v, 1.0), reference > 0 ? Quantile(v, 0.5) / reference : 0.0);
    }
    const auto& plot = gSamples["compressor threshold step"];
    const auto& bare = gSamples["bare drawing of the transfer plot"];
    if (!plot.empty() && !bare.empty())
        std::printf("compressor step vs bare drawing of the same picture: %.2fx (medians; p90 %.2fx)\n",
                    Quantile(plot, 0.5) / Quantile(bare, 0.5), Quantile(plot, 0.9) / Quantile(bare, 0.9));
}

} // namespace

int main(int argc, char** argv) {
    return benchmain::Run(argc, argv, "editorbench", PrintFigures);
}
