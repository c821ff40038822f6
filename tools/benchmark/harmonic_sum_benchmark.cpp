// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Time of the sum of the harmonics: the computation alone, the toggle of "Somma delle armoniche"
// until the graph window is painted with the sum, and how long a cancel waits for the worker.
#include "core/analysis/analysis_run.h"
#include "core/analysis/message_box.h"
#include "core/spectrum/for_tests.h"
#include "core/spectrum/harmonic_sum.h"
#include "core/spectrum/spectrum.h"
#include "core/state/task_control.h"
#include "qt_benchmark_main.h"
#include "ui/graph_window/form2.h"
#include "ui/graph_window/plot/harmonic_sum_layer.h"
#include "ui/graph_window/plot/plot_area.h"
#include "ui/long_work/task_gate.h"

#include <QAction>
#include <QApplication>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <numbers>
#include <thread>

namespace {

class SilentBox : public MessageBox
{
public:
    void Show(const std::u16string &) override { }
};

// The default signal (D = 0.5, 10 V, 3 periods) at n samples and h harmonics. Up to 1000
// harmonics the program's own analysis; beyond, which would take hours at these sizes, the
// analysis of 10 and the closed-form coefficients of the half-sine train up to h: the sum's cost
// depends on h only through the folding, not on the values.
AnalysisState Analysis(std::int64_t n, std::int64_t h)
{
    AnalysisParameters parameters;
    parameters.DutyCycle = 0.5;
    parameters.Amplitude = 10;
    parameters.Frequency = 100000;
    parameters.HarmonicCount = static_cast<double>(std::min<std::int64_t>(h, 1000));
    parameters.SampleCount = static_cast<std::int32_t>(n);
    parameters.PeriodCount = 3;
    AnalysisState analysis = NewAnalysis(parameters);
    RunAnalysis(analysis);
    using std::numbers::pi;
    for (std::int64_t k = 1001; k <= h; ++k) {
        const double common = 10 / pi * 1 / (1 - double(k) * double(k));
        analysis.CosCoefficients[k] = common * (1 + std::cos(pi * double(k)));
        analysis.SinCoefficients[k] = 0;
    }
    analysis.HarmonicCount = static_cast<double>(h);
    return analysis;
}

void SumAlone(benchmark::State &bench)
{
    const AnalysisState state = Analysis(bench.range(0), bench.range(1));
    for (auto _ : bench)
        benchmark::DoNotOptimize(ComputeHarmonicSum(state));
}

// From the entry turned on to the window painted with the sum, the sum not yet computed: what
// the user waits for the first time; with `first` (the third argument), as at the first sum of a
// new N in a run, nothing of the transform's planning kept.
void ToggleToDrawn(benchmark::State &bench)
{
    const bool first = bench.range(2) != 0;
    AnalysisState state = Analysis(bench.range(0), bench.range(1));
    SilentBox box;
    TaskGate tasks;
    Form2 form(state, box, tasks);
    DrawGraphs(state, form);
    QApplication::processEvents();
    QAction *entry = form.HarmonicSum()->Action();
    for (auto _ : bench) {
        entry->trigger();
        form.repaint();
        QApplication::processEvents();
        bench.PauseTiming();
        if (!entry->isChecked() || state.HarmonicSum.empty())
            bench.SkipWithError("the sum was not drawn");
        entry->trigger();
        state.HarmonicSum = {};
        QApplication::processEvents();
        if (first)
            testing_seam::ForgetKeptPlansAndBuffers();
        bench.ResumeTiming();
    }
}

// Cancel at every 20 ms of the computation: the longest wait from the cancel to the return, in
// milliseconds. A transform already running is left to finish on its own thread; the benchmark
// lets it end before the next cancel, as a user's next toggle would find it.
void CancelLatency(benchmark::State &bench)
{
    const AnalysisState state = Analysis(bench.range(0), 10);
    double longest = 0;
    for (auto _ : bench) {
        for (int delay = 0; delay <= 400; delay += 20) {
            TaskControl control;
            std::thread worker([&] { ComputeHarmonicSum(state, &control); });
            std::this_thread::sleep_for(std::chrono::milliseconds(delay));
            const auto cancelled = std::chrono::steady_clock::now();
            control.Cancel();
            worker.join();
            const auto joined = std::chrono::steady_clock::now();
            std::this_thread::sleep_for(std::chrono::milliseconds(1500));
            longest = std::max(
                longest, std::chrono::duration<double, std::milli>(joined - cancelled).count());
        }
    }
    bench.counters["longest_wait_ms"] = longest;
}

double Fastest(const std::vector<double> &times)
{
    return *std::min_element(times.begin(), times.end());
}

// The sizes both the sum alone and the toggle are measured at, with the fastest of the runs:
// round sizes, and beside 1e6 and 1e7 a prime and (at 1e7) a product of two primes near them.
void SumSizes(benchmark::internal::Benchmark *bench, bool toggle)
{
    bench->ArgNames({"N", "H", "first"});
    for (const std::int64_t n :
         {10'000, 1'000'000, 999'983, 10'000'000, 9'999'991, 10'001'653 /* 3109 x 3217 */})
        for (const std::int64_t h : {std::int64_t(10), n / 2})
            for (const std::int64_t first : {0, 1})
                if ((n > 10'000 || h == 10) && (toggle || first == 0))
                    bench->Args({n, h, first});
    bench->ComputeStatistics("min", Fastest)->Unit(benchmark::kMillisecond);
}

} // namespace

BENCHMARK(SumAlone)->Apply([](auto *bench) { SumSizes(bench, false); });
BENCHMARK(ToggleToDrawn)->Apply([](auto *bench) { SumSizes(bench, true); }) -> UseRealTime();
BENCHMARK(CancelLatency)
    ->ArgNames({"N"})
    ->Arg(10'000'000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return RunWindowBenchmarks(argc, argv, [] {});
}
