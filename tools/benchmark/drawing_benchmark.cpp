// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Time of drawing long signal traces, gathered per column against one QPainter line per
// segment, of a click on "Grafici" until the graph window is painted, of one mouse move's
// readout over the plot of a large analysis, and of the redraws of the harmonics one at a time:
// one step of the wheel, one move onto a new line; and of a stepped field to its graphs drawn.
#include "core/analysis/analysis_run.h"
#include "core/analysis/message_box.h"
#include "core/spectrum/spectrum.h"
#include "core/state/analysis_state.h"
#include "qt_benchmark_main.h"
#include "ui/graph_window/form2.h"
#include "ui/graph_window/plot/harmonic_by_harmonic.h"
#include "ui/graph_window/plot/harmonic_sum_layer.h"
#include "ui/graph_window/plot/plot_area.h"
#include "ui/graph_window/plot/plot_overlays.h"
#include "ui/graph_window/plot/spectrum_views.h"
#include "ui/graph_window/plot_geometry/column_spans.h"
#include "ui/graph_window/sweep.h"
#include "ui/input_window/form1.h"
#include "ui/input_window/live_graphs.h"
#include "ui/long_work/task_gate.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>

namespace {

class SilentBox : public MessageBox
{
public:
    void Show(const std::u16string &) override { }
};

// A default-looking signal of n samples a period, drawn over p periods.
AnalysisState Trace(std::int64_t n, double periods)
{
    AnalysisState state;
    state.Amplitude = 10;
    state.DutyCycle = 0.5;
    state.SampleCount = static_cast<std::int32_t>(n);
    state.HarmonicCount = 0;
    state.PeriodCount = periods;
    ComputeSpectrum(state);
    return state;
}

constexpr QSize PlotSize(997, 605);

void TraceByColumns(benchmark::State &bench)
{
    const AnalysisState state = Trace(bench.range(0), static_cast<double>(bench.range(1)));
    PlotArea plot;
    plot.resize(PlotSize + QSize(4, 4));
    plot.Scale(0, 100, 100, 0);
    for (auto _ : bench)
        plot.Fill(RasterizeTrace(state, plot.Mapping()), qRgb(255, 0, 0));
    bench.counters["segments"] = double(bench.range(0) * bench.range(1));
}

// Every segment through QPainter: aliased one-pixel lines into an image of the plot's size.
void TraceByQPainter(benchmark::State &bench)
{
    const AnalysisState s = Trace(bench.range(0), static_cast<double>(bench.range(1)));
    QImage image(PlotSize, QImage::Format_RGB32);
    PixelMapping m {0, 100, 100, 0, PlotSize.width(), PlotSize.height()};
    const std::int64_t n = s.SampleCount;
    const double w = 100 / s.PeriodCount;
    for (auto _ : bench) {
        QPainter painter(&image);
        painter.setPen(QPen(Qt::red, 0));
        for (std::int64_t j = 1; j <= RoundToCount(s.PeriodCount); ++j) {
            for (std::int64_t i = 0; i <= n - 1; ++i) {
                const float x1 = float(w * double(j - 1) + (w * double(i)) / double(n));
                const float y1 = float(s.Samples[i] * 25 / s.SignalPeak + 70);
                const float x2 = float((w * double(i + 1)) / double(n) + w * double(j - 1));
                const float y2 = float(s.Samples[i + 1] * 25 / s.SignalPeak + 70);
                painter.drawLine(QPointF(m.Column(x1), m.Row(y1)),
                                 QPointF(m.Column(x2), m.Row(y2)));
            }
        }
    }
    bench.counters["segments"] = double(bench.range(0) * bench.range(1));
}

// From the click to the graph window shown and painted, with the default parameters.
void ClickToGraphs(benchmark::State &bench)
{
    AnalysisState state;
    SilentBox box;
    TaskGate tasks;
    Form1 form(state, box, tasks);
    form.show();
    QApplication::processEvents();
    for (auto _ : bench) {
        form.Command2_Click();
        form.GraphWindow()->repaint();
        QApplication::processEvents();
        bench.PauseTiming();
        form.GraphWindow()->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
        bench.ResumeTiming();
    }
}

// From a step of the duty cycle (the Up and Down arrows in turn) to the graph window repainted
// with the analysis of the new value, the graphs open at N = range(0), H = range(1); the step taken
// in the input window's field, or (range(2) = 1) in the graph window's parameter bar, or (2) by a
// tick of the bar's sweep, whose drawn values a second are then the iterations a second; or (3)
// in the input window's field with the first analysis held as the reference, drawn behind.
void StepToGraphs(benchmark::State &bench)
{
    AnalysisState state;
    SilentBox box;
    TaskGate tasks;
    Form1 form(state, box, tasks);
    form.Text(Field::Text13)->setText(QString::number(bench.range(0)));
    form.Text(Field::Text3)->setText(QString::number(bench.range(1)));
    form.show();
    form.Command2_Click();
    Form2 &graphs = *form.GraphWindow();
    const bool fromBar = bench.range(2) == 1;
    Sweep *sweep = nullptr;
    if (bench.range(2) == 3)
        graphs.HoldReferenceAction()->trigger();
    if (bench.range(2) == 1 || bench.range(2) == 2)
        graphs.BarAction()->trigger();
    if (bench.range(2) == 2) {
        sweep = &graphs.Bar()->Sweeping();
        testing_seam::StopTheClock(*sweep);
        sweep->Play()->click();
    }
    QApplication::processEvents();
    int direction = 1;
    for (auto _ : bench) {
        if (sweep) {
            sweep->Tick();
        } else if (fromBar) {
            QKeyEvent press(QEvent::KeyPress, direction > 0 ? Qt::Key_Up : Qt::Key_Down,
                            Qt::NoModifier);
            QApplication::sendEvent(graphs.Bar()->Text(Field::Text1), &press);
        } else {
            form.StepField(Field::Text1, direction);
        }
        direction = -direction;
        while (form.Live().Running() || form.Live().Wanted())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        graphs.repaint();
    }
    bench.counters["N"] = double(bench.range(0));
}

// The graph window over a stored analysis of n samples a period, as the graphs command leaves
// it; one at a time, kept between the benchmarks of the same size.
struct DrawnAnalysis
{
    explicit DrawnAnalysis(std::int64_t n, double harmonics = 10)
    {
        AnalysisParameters parameters;
        parameters.DutyCycle = 0.5;
        parameters.Amplitude = 10;
        parameters.Frequency = 100000;
        parameters.HarmonicCount = harmonics;
        parameters.SampleCount = static_cast<std::int32_t>(n);
        parameters.PeriodCount = 3;
        AnalysisState analysis = NewAnalysis(parameters);
        RunAnalysis(analysis);
        CommitAnalysis(state, std::move(analysis), Command::Graphs);
        form = std::make_unique<Form2>(state, box, tasks);
        DrawGraphs(state, *form);
        QApplication::processEvents();
    }
    AnalysisState state;
    SilentBox box;
    TaskGate tasks;
    std::unique_ptr<Form2> form;
};

// Dropped before the application ends, as every window must be.
std::unique_ptr<DrawnAnalysis> CurrentDrawing;

DrawnAnalysis &Drawn(std::int64_t n, double harmonics = 10)
{
    if (!CurrentDrawing || CurrentDrawing->state.SampleCount != n
        || CurrentDrawing->state.HarmonicCount != harmonics) {
        CurrentDrawing.reset();
        CurrentDrawing = std::make_unique<DrawnAnalysis>(n, harmonics);
    }
    return *CurrentDrawing;
}

void Times(benchmark::State &bench, std::vector<double> &times)
{
    std::sort(times.begin(), times.end());
    bench.counters["median_ms"] = times[times.size() / 2];
    bench.counters["slowest_ms"] = times.back();
}

// One mouse move over the plot, from the event to the tool-tip text set: the median of range(1)
// moves in milliseconds, over the signal's graph (range(3) = 0) or the spectrum's (1). With
// range(2) = 0 the peaks kept with the analysis answer; with 1 they are searched at every move,
// over the N + 1 samples or the H moduli, as before.
void ReadoutMove(benchmark::State &bench)
{
    DrawnAnalysis &drawn = Drawn(bench.range(0));
    PlotArea *plot = drawn.form->Picture1();
    const QRect contents = plot->contentsRect();
    const bool kept = drawn.state.PeaksFound;
    if (bench.range(2) == 1)
        drawn.state.PeaksFound = false;
    // The signal above y = 70, the spectrum below: the top fifth and the bottom half.
    const int top = contents.top() + (bench.range(3) == 0 ? 0 : contents.height() / 2);
    const int height = bench.range(3) == 0 ? contents.height() / 5 : contents.height() / 2;
    std::vector<double> times;
    for (auto _ : bench) {
        for (std::int64_t m = 0; m < bench.range(1); ++m) {
            const QPointF position(contents.left() + (m * 37) % contents.width(),
                                   top + (m * 53) % height);
            QMouseEvent move(QEvent::MouseMove, position, plot->mapToGlobal(position), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            const auto start = std::chrono::steady_clock::now();
            QApplication::sendEvent(plot, &move);
            const auto end = std::chrono::steady_clock::now();
            times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
        }
    }
    drawn.state.PeaksFound = kept;
    std::sort(times.begin(), times.end());
    bench.counters["median_ms"] = times[times.size() / 2];
    bench.counters["slowest_ms"] = times.back();
}

// One step of the wheel with the sum of the harmonics shown: from the step to the plot redrawn
// (the queued redraw run), range(2) steps, near all H harmonics (range(3) = 0) or near none (1),
// each step one harmonic up or down in turn. The sum and the first terms are had before.
void WheelStep(benchmark::State &bench)
{
    DrawnAnalysis &drawn = Drawn(bench.range(0), double(bench.range(1)));
    HarmonicSumLayer &sum = *drawn.form->HarmonicSum();
    PlotOverlays &overlays = *drawn.form->Overlays();
    sum.Action()->setChecked(true);
    sum.StepTerms(bench.range(3) == 0 ? -1 : -int(bench.range(1)) + 1);
    overlays.RedrawPending();
    std::vector<double> times;
    for (auto _ : bench) {
        for (std::int64_t m = 0; m < bench.range(2); ++m) {
            const auto start = std::chrono::steady_clock::now();
            sum.StepTerms(m % 2 == 0 ? 1 : -1);
            overlays.RedrawPending();
            const auto end = std::chrono::steady_clock::now();
            times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
        }
    }
    sum.Action()->setChecked(false);
    Times(bench, times);
}

// One move onto a new spectral line with the harmonics one by one: from the move to the line and
// its wave redrawn, range(2) moves along the lines; with the sum shown beneath when range(3) = 1.
void LineMove(benchmark::State &bench)
{
    DrawnAnalysis &drawn = Drawn(bench.range(0), double(bench.range(1)));
    HarmonicSumLayer &sum = *drawn.form->HarmonicSum();
    PlotOverlays &overlays = *drawn.form->Overlays();
    HarmonicByHarmonic &lines = *drawn.form->OneByOne();
    sum.Action()->setChecked(bench.range(3) == 1);
    lines.Action()->setChecked(true);
    lines.Move(1);
    overlays.RedrawPending();
    std::vector<double> times;
    for (auto _ : bench) {
        for (std::int64_t m = 0; m < bench.range(2); ++m) {
            const auto start = std::chrono::steady_clock::now();
            lines.Move(m % 2 == 0 ? 1 : -1);
            overlays.RedrawPending();
            const auto end = std::chrono::steady_clock::now();
            times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
        }
    }
    lines.Action()->setChecked(false);
    sum.Action()->setChecked(false);
    overlays.RedrawPending();
    Times(bench, times);
}

double Fastest(const std::vector<double> &times)
{
    return *std::min_element(times.begin(), times.end());
}

// A view of the spectrum turned on or off ("Scala in dB", Ctrl+D): the graphs drawn again, from
// the entry to the window repainted, at (N, H).
// With view 1, "Frequenze in scala logaritmica" instead; with view 2, in decibels, the floor
// chosen between -60 dB and the automatic one; with view 3, through an RC low-pass, a step up or
// down of its cut-off (the output made again: one inverse transform); with view 4, the analysis
// held as the reference again ("Fissa come riferimento": its arrays copied, the graphs drawn
// with it behind).
void ToggleView(benchmark::State &bench)
{
    AnalysisParameters parameters;
    parameters.DutyCycle = 0.5;
    parameters.Amplitude = 10;
    parameters.Frequency = 100000;
    parameters.HarmonicCount = static_cast<double>(bench.range(1));
    parameters.SampleCount = static_cast<std::int32_t>(bench.range(0));
    parameters.PeriodCount = 3;
    AnalysisState state;
    AnalysisState analysis = NewAnalysis(parameters);
    RunAnalysis(analysis);
    CommitAnalysis(state, std::move(analysis), Command::Graphs);
    SilentBox box;
    TaskGate tasks;
    Form2 form(state, box, tasks);
    DrawGraphs(state, form);
    const auto view = bench.range(2);
    if (view == 2)
        form.Views()->DecibelAction()->toggle();
    if (view == 3)
        form.Filter().Choose(FilterKind::RcLowPass);
    QApplication::processEvents();
    bool fixedFloor = false;
    int step = 1;
    for (auto _ : bench) {
        if (view == 0)
            form.Views()->DecibelAction()->toggle();
        else if (view == 1)
            form.Views()->LogFrequencyAction()->toggle();
        else if (view == 3)
            form.Filter().Step(0, step = -step);
        else if (view == 4)
            form.HoldReferenceAction()->trigger();
        else
            form.Views()->ChooseFloor((fixedFloor = !fixedFloor) ? std::optional<double>(-60)
                                                                 : std::nullopt);
        form.repaint();
        QApplication::processEvents();
    }
}

// The picture drawn apart from the window, as the slide takes it: the graphs and the layers over
// them drawn again into a plot of its own, at the window's scale (1) and the slide's default (3).
void PictureApart(benchmark::State &bench)
{
    DrawnAnalysis &drawn = Drawn(bench.range(0), static_cast<double>(bench.range(1)));
    const int scale = static_cast<int>(bench.range(2));
    for (auto _ : bench)
        benchmark::DoNotOptimize(drawn.form->PictureOf({scale, scale, 0}));
}

} // namespace

BENCHMARK(PictureApart)
    ->ArgNames({"N", "H", "scale"})
    ->Args({10'000, 10, 1})
    ->Args({1'000'000, 1'000'000, 1})
    ->Args({1'000'000, 1'000'000, 3})
    ->ComputeStatistics("min", Fastest)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK(ToggleView)
    ->ArgNames({"N", "H", "view"})
    ->Args({10'000, 10, 0})
    ->Args({1'000'000, 1'000'000, 0})
    ->Args({10'000, 10, 1})
    ->Args({1'000'000, 1'000'000, 1})
    ->Args({10'000, 10, 2})
    ->Args({1'000'000, 1'000'000, 2})
    ->Args({10'000, 10, 3})
    ->Args({1'000'000, 100, 3})
    ->Args({10'000, 10, 4})
    ->Args({1'000'000, 100, 4})
    ->ComputeStatistics("min", Fastest)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK(TraceByColumns)
    ->ArgNames({"N", "P"})
    ->Args({1'000'000, 10})
    ->Args({1'000'000, 100})
    ->Args({10'000, 1'000'000})
    ->Args({4, 2'000'000'000})
    ->ComputeStatistics("min", Fastest)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(TraceByQPainter)
    ->ArgNames({"N", "P"})
    ->Args({1'000'000, 10})
    ->ComputeStatistics("min", Fastest)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ClickToGraphs)
    ->ComputeStatistics("min", Fastest)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK(ReadoutMove)
    ->ArgNames({"N", "moves", "searched", "band"})
    ->ArgsProduct({{1'000'000, 10'000'000, 100'000'000}, {1000}, {0}, {0, 1}})
    ->Args({1'000'000, 100, 1, 0})
    ->Args({10'000'000, 20, 1, 0})
    ->Args({100'000'000, 9, 1, 0})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

BENCHMARK(StepToGraphs)
    ->ArgNames({"N", "H", "bar"})
    ->ArgsProduct({{10000}, {10}, {0, 1, 2}})
    ->Args({1000000, 100, 0})
    ->Args({1000000, 100, 1})
    ->Args({10000, 10, 3})
    ->Args({1000000, 100, 3})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(WheelStep)
    ->ArgNames({"N", "H", "steps", "near"})
    ->Args({10'000, 10, 200, 0})
    ->Args({1'000'000, 1'000'000, 40, 0})
    ->Args({1'000'000, 1'000'000, 40, 1})
    ->Args({10'000'000, 100, 20, 0})
    ->Args({10'000'000, 10'000'000, 20, 0})
    ->Args({10'000'000, 10'000'000, 20, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(LineMove)
    ->ArgNames({"N", "H", "moves", "sum"})
    ->Args({10'000, 10, 200, 0})
    ->Args({10'000, 10, 200, 1})
    ->Args({1'000'000, 1'000'000, 40, 0})
    ->Args({1'000'000, 1'000'000, 40, 1})
    ->Args({10'000'000, 100, 20, 0})
    ->Args({10'000'000, 10'000'000, 20, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return RunWindowBenchmarks(argc, argv, [] { CurrentDrawing.reset(); });
}
