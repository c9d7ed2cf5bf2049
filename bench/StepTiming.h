#pragma once
// Timing of user events for the benchmarks: a sample is one event, from its start until what it should
// show has been painted, in milliseconds; the figures are quantiles of the samples.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QPointer>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <vector>

namespace benchstep {

inline double Quantile(std::vector<double> v, double q) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const double pos = q * static_cast<double>(v.size() - 1);
    const auto lo = static_cast<size_t>(std::floor(pos));
    const auto hi = std::min(v.size() - 1, lo + 1);
    return v[lo] + (pos - static_cast<double>(lo)) * (v[hi] - v[lo]);
}

// Counts the paint events a widget receives while it is watched.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* w) : FWidget(w) { w->installEventFilter(this); }
    ~PaintCounter() override {
        if (FWidget)
            FWidget->removeEventFilter(this);
    }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }

private:
    QPointer<QWidget> FWidget; // the window may go first
};

// Runs the event loop until `cond` holds; false once `limitMs` have passed.
inline bool WaitUntil(const std::function<bool()>& cond, int limitMs = 5000) {
    QElapsedTimer t;
    t.start();
    while (!cond()) {
        if (t.elapsed() > limitMs)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// Runs the event loop for `ms` milliseconds.
inline void Idle(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 1);
}

// Runs event(k) `warmUp` times untimed, then once per iteration of the benchmark, each timed into
// `samples`. An event that returns false (nothing painted) ends the benchmark with `error`. With
// `pauseMs`, the event loop runs that long, untimed, before each event: edits spaced as a user's are,
// past a frame-rate hold, so that the figure is the work of one edit and not the wait for the next frame.
template <class Event>
void TimeEvents(benchmark::State& state, std::vector<double>& samples, Event&& event, int warmUp = 5,
                const char* error = "not painted after the event", int pauseMs = 0) {
    for (int k = 0; k < warmUp; ++k)
        if (!event(k)) {
            state.SkipWithError(error);
            return;
        }
    samples.clear();
    int k = warmUp;
    for (auto _ : state) {
        if (pauseMs > 0) {
            state.PauseTiming();
            Idle(pauseMs);
            state.ResumeTiming();
        }
        const auto start = std::chrono::steady_clock::now();
        const bool painted = event(k++);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        if (!painted) {
            state.SkipWithError(error);
            return;
        }
        state.SetIterationTime(took.count());
        samples.push_back(took.count() * 1000.0);
    }
}

} // namespace benchstep
