// Time of drawing long signal traces, gathered per column against one QPainter line per
// segment, and of a click on "Grafici" until the graph window is painted.
#include "core/analysis_state.h"
#include "core/message_box.h"
#include "core/spectrum.h"
#include "ui/graph_window/form2.h"
#include "ui/graph_window/plot_area.h"
#include "ui/graph_window/plot_geometry/column_spans.h"
#include "ui/input_window/form1.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <algorithm>

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
    Form1 form(state, box);
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

double Fastest(const std::vector<double> &times)
{
    return *std::min_element(times.begin(), times.end());
}

} // namespace

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

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
