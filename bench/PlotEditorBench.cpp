// What a user feels of a plot's property editor, on the offscreen platform:
// - opening it: from the plot's master manager creating the editor (its pages built and filled from the
//   plot's objects) to the window's first paint on screen, against a bare Qt window of the editor's size
//   with as many plain child widgets as the editor has controls, created and shown the same way;
// - an edit: typing a new span into the X axis page and pressing Enter, as key events to the edit, until
//   the plot has painted again, against a bare Qt line edit whose Enter repaints a plain widget.
// The references run in the same program; the figures are medians and the ratios to the references.
#include <benchmark/benchmark.h>

#include "platform/gui/Forms.h"
#include "platform/gui/PageControl.h"
#include "plot/editors/gPlotEditorForm.h"
#include "plot/gPlotAxis.h"
#include "plot/gPlotChannel.h"
#include "plot/gXYPlot.h"

#include "StepTiming.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

#include <algorithm>
#include <chrono>
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

constexpr int OPENS = 15;
constexpr int OPEN_WARM_UP = 2;
constexpr int EDITS = 60;
constexpr int EDIT_WARM_UP = 5;
// A user's edits come far apart; the plot's frame-rate hold (60 per second) must not hold the next one.
constexpr int EDIT_PAUSE_MS = 40;

std::map<std::string, std::vector<double>> gSamples; // milliseconds per opening or per edit
int gControls = 0;                                   // controls of the editor window
int gShownControls = 0;                              // of them, those on screen when it opens (one page)
int gEditorWidth = 0, gEditorHeight = 0;

bool WaitUntil(const std::function<bool()>& cond) {
    return benchstep::WaitUntil(cond, 10000);
}

using benchstep::Idle;

int CountShownControls(const TComponent& root, QWidget* window) {
    int n = 0;
    for (int i = 0; i < root.ComponentCount(); ++i)
        if (auto* c = dynamic_cast<const TControl*>(root.Components(i));
            c && c->Widget() && c->Widget()->isVisibleTo(window))
            ++n;
    return n;
}

int CountControls(const TComponent& root) {
    int n = 0;
    for (int i = 0; i < root.ComponentCount(); ++i)
        if (dynamic_cast<const TControl*>(root.Components(i)))
            ++n;
    return n;
}

// Counts the paint events of a window and of every widget in it: the window itself gets none where its
// children cover it.
class WindowPaintCounter : public QObject {
public:
    explicit WindowPaintCounter(QWidget* window) : FWindow(window) { qApp->installEventFilter(this); }
    ~WindowPaintCounter() override { qApp->removeEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Paint && o->isWidgetType() && static_cast<QWidget*>(o)->window() == FWindow)
            ++paints;
        return false;
    }

private:
    QWidget* FWindow;
};

// Runs `prepare` untimed, then `event`, timed until it returns; false from `event`: nothing was painted.
template <class Prepare, class Event>
void TimeSamples(benchmark::State& state, const std::string& name, int warmUp, Prepare&& prepare,
                 Event&& event) {
    for (int k = 0; k < warmUp; ++k) {
        prepare(k);
        if (!event(k)) {
            state.SkipWithError("not painted");
            return;
        }
    }
    std::vector<double>& samples = gSamples[name];
    samples.clear();
    int k = warmUp;
    for (auto _ : state) {
        prepare(k);
        const auto begin = std::chrono::steady_clock::now();
        const bool painted = event(k++);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - begin;
        if (!painted) {
            state.SkipWithError("not painted");
            return;
        }
        state.SetIterationTime(took.count());
        samples.push_back(took.count() * 1000.0);
    }
}

// An XY plot in a window of its own, with a few points on its channel, a limit and a table, so that no
// page of the editor is greyed for want of an object. The editor stays on top, so opening returns.
struct PlotWindow {
    PlotWindow() {
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 420, 320);
        plot = new TgXYPlot(form.get());
        plot->SetParent(form.get());
        plot->SetBounds(0, 0, 400, 300);
        plot->SetEditorFormStyle(TgPlotFormStyle::ipfsStayOnTop);
        plot->Master()->AddLimit();
        plot->Master()->AddTable();
        if (TgPlotChannelCustom* channel = plot->GetChannel(0))
            for (int i = 0; i <= 20; ++i)
                channel->AddXY(i * 5.0, (i % 7) * 10.0);
        form->Show();
        Idle(50);
    }
    TgPlotEditorForm* Editor() const { return dynamic_cast<TgPlotEditorForm*>(plot->Master()->EditorForm()); }
    // Creates the editor through the master manager and shows it; true once its window has painted.
    bool Open() const {
        plot->Master()->CreateEditorForm();
        TgPlotEditorForm* editor = Editor();
        if (!editor)
            return false;
        WindowPaintCounter watch(editor->Widget()->window());
        plot->Master()->EditProperties();
        return WaitUntil([&] { return watch.paints > 0; });
    }
    // Closes the editor as the user does and lets its queued free run.
    void Close() const {
        if (TgPlotEditorForm* editor = Editor())
            editor->Close();
        WaitUntil([&] { return Editor() == nullptr; });
        Idle(10);
    }

    std::unique_ptr<TForm> form;
    TgXYPlot* plot = nullptr;
};

void SendKey(QWidget* w, int key, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &release);
}

// Clears the edit from its end, types the digits and presses Enter.
void TypeAndEnter(QWidget* w, int oldLength, const std::string& digits) {
    SendKey(w, Qt::Key_End);
    for (int i = 0; i < oldLength; ++i)
        SendKey(w, Qt::Key_Backspace);
    for (char c : digits)
        SendKey(w, Qt::Key_0 + (c - '0'), QString(QChar(c)));
    SendKey(w, Qt::Key_Return, QStringLiteral("\r"));
}

// A span differing from the one before, so that every Enter commits a change.
std::string SpanText(int k) {
    return std::to_string(20 + (k % 2 ? 40 : 0) + k % 37);
}

// ---------------------------------------------------------------------------------------------------
// Opening

void BM_OpenBareQt(benchmark::State& state) {
    std::unique_ptr<QWidget> window;
    std::unique_ptr<WindowPaintCounter> watch;
    TimeSamples(
        state, "open: bare Qt", OPEN_WARM_UP,
        [&](int) {
            watch.reset();
            window.reset();
            QApplication::processEvents();
        },
        [&](int) {
            window = std::make_unique<QWidget>();
            window->resize(gEditorWidth, gEditorHeight);
            for (int i = 0; i < gControls; ++i) {
                auto* w = new QWidget(window.get());
                w->setGeometry(
                    (i * 23) % std::max(1, gEditorWidth - 20),
                    ((i * 23) / std::max(1, gEditorWidth - 20) * 9) % std::max(1, gEditorHeight - 10), 20, 8);
                w->setAutoFillBackground(true);
            }
            window->setWindowTitle("bare");
            watch = std::make_unique<WindowPaintCounter>(window.get());
            window->show();
            return WaitUntil([&] { return watch->paints > 0; });
        });
    watch.reset();
    window.reset();
    state.counters["widgets"] = gControls;
}

void BM_OpenPlotEditor(benchmark::State& state) {
    PlotWindow w;
    TimeSamples(
        state, "open: plot editor", OPEN_WARM_UP, [&](int) { w.Close(); }, [&](int) { return w.Open(); });
    w.Close();
    state.counters["controls"] = gControls;
    state.counters["shown_controls"] = gShownControls;
    const double bare = Quantile(gSamples["open: bare Qt"], 0.5);
    const double editor = Quantile(gSamples["open: plot editor"], 0.5);
    state.counters["median_ms"] = editor;
    state.counters["vs_bare"] = bare > 0 ? editor / bare : 0.0;
}

// ---------------------------------------------------------------------------------------------------
// An edit

void BM_EditBareQt(benchmark::State& state) {
    QWidget window;
    window.resize(gEditorWidth + 420, std::max(gEditorHeight, 320));
    QWidget plot(&window); // repaints on Enter
    plot.setGeometry(0, 0, 400, 300);
    plot.setAutoFillBackground(true);
    QLineEdit edit(&window);
    edit.setGeometry(440, 40, 80, 21);
    edit.setText("100");
    QObject::connect(&edit, &QLineEdit::returnPressed, &plot, [&] { plot.update(); });
    window.show();
    Idle(50);
    edit.setFocus();
    PaintCounter counter(&plot);
    TimeSamples(
        state, "edit: bare Qt", EDIT_WARM_UP, [&](int) { Idle(EDIT_PAUSE_MS); },
        [&](int k) {
            const int before = counter.paints;
            TypeAndEnter(&edit, static_cast<int>(edit.text().size()), SpanText(k));
            return WaitUntil([&] { return counter.paints > before; });
        });
}

void BM_EditXAxisSpan(benchmark::State& state) {
    PlotWindow w;
    if (!w.Open()) {
        state.SkipWithError("the editor did not open");
        return;
    }
    TgPlotEditorForm* editor = w.Editor();
    editor->PageControl->SetActivePage(editor->XAxesTabSheet);
    auto* span = dynamic_cast<TgComponentEditorEdit*>(editor->FindComponent("XAxisSpanEdit"));
    if (!span) {
        state.SkipWithError("no XAxisSpanEdit");
        return;
    }
    Idle(50);
    span->Widget()->setFocus();
    TgPlotAxis* axis = w.plot->GetXAxis(0);
    PaintCounter counter(w.plot->Widget());
    bool committed = true;
    TimeSamples(
        state, "edit: X axis span", EDIT_WARM_UP, [&](int) { Idle(EDIT_PAUSE_MS); },
        [&](int k) {
            const int before = counter.paints;
            const std::string text = SpanText(k);
            TypeAndEnter(span->Widget(), static_cast<int>(span->Text().size()), text);
            committed = committed && axis->Span() == std::stod(text);
            return WaitUntil([&] { return counter.paints > before; });
        });
    w.Close();
    if (!committed)
        state.SkipWithError("a typed span did not reach the axis");
    const double bare = Quantile(gSamples["edit: bare Qt"], 0.5);
    const double edit = Quantile(gSamples["edit: X axis span"], 0.5);
    state.counters["median_ms"] = edit;
    state.counters["vs_bare"] = bare > 0 ? edit / bare : 0.0;
}

BENCHMARK(BM_OpenBareQt)->Iterations(OPENS)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenPlotEditor)->Iterations(OPENS)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditBareQt)->Iterations(EDITS)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditXAxisSpan)->Iterations(EDITS)->UseManualTime()->Unit(benchmark::kMillisecond);

void PrintFigures() {
    const auto row = [](const char* what, const std::string& name, const std::string& reference) {
        const auto& v = gSamples[name];
        const double ref = Quantile(gSamples[reference], 0.5);
        std::printf("%-28s %10.2f %10.2f %10.2f %13.2fx\n", what, Quantile(v, 0.5), Quantile(v, 0.9),
                    Quantile(v, 1.0), ref > 0 ? Quantile(v, 0.5) / ref : 0.0);
    };
    std::printf("\n%-28s %10s %10s %10s %14s\n", "to pixels, ms", "median", "p90", "max", "median vs bare");
    row("open: bare Qt", "open: bare Qt", "open: bare Qt");
    row("open: plot editor", "open: plot editor", "open: bare Qt");
    row("edit: bare Qt", "edit: bare Qt", "edit: bare Qt");
    row("edit: X axis span + Enter", "edit: X axis span", "edit: bare Qt");
    std::printf("(editor: %d controls, %d of them on its first page, %dx%d)\n", gControls, gShownControls,
                gEditorWidth, gEditorHeight);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("KORVANE_LOOPBACK_ONLY", "1");
    Application->Initialize();
    gRegisterPlotEditors();
    {
        PlotWindow w;
        TgPlotEditorForm* editor = w.Open() ? w.Editor() : nullptr;
        if (editor) {
            gControls = CountControls(*editor);
            gShownControls = CountShownControls(*editor, editor->Widget()->window());
            gEditorWidth = editor->Width();
            gEditorHeight = editor->Height();
        }
        w.Close();
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintFigures();
    gSetPlotEditorFormFactory(nullptr);
    return 0;
}
