// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Time of one analysis: the literal loops against the exact kernel and the direct sums on each
// vector kernel this processor runs, the bare kernels' sine-cosine pairs per second beside them;
// the program's analysis on each path as N and H grow, first at a new N and repeated; what the
// results' pages alone cost; and the cost of cancelling.
#include "bare_kernels.h"
#include "core/analysis/analysis_run.h"
#include "core/capture/capture_analysis.h"
#include "core/capture/capture_fit.h"
#include "core/capture/capture_period.h"
#include "core/capture/capture_reader.h"
#include "core/platform/memory_pages.h"
#include "core/spectrum/for_tests.h"
#include "core/spectrum/kernels/sincos_kernels.h"
#include "core/spectrum/signal_measures.h"
#include "core/spectrum/spectrum.h"
#include "core/spectrum/spectrum_paths.h"
#include "core/state/task_control.h"
#include "core/state/work_stage.h"
#include "core/state/work_watcher.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

AnalysisState Parameters(std::int64_t n, std::int64_t h, double d)
{
    AnalysisState state;
    state.Amplitude = 10;
    state.DutyCycle = d;
    state.SampleCount = static_cast<std::int32_t>(n);
    state.HarmonicCount = static_cast<double>(h);
    return state;
}

// The sine-cosine pairs an analysis sums: its non-zero samples times its harmonics.
void CountPairs(benchmark::State &bench, const AnalysisState &state)
{
    const auto samples
        = std::count_if(state.Samples.begin(), state.Samples.begin() + state.SampleCount,
                        [](double s) { return s != 0; });
    const double pairs = double(samples) * double(RoundToCount(state.HarmonicCount));
    bench.counters["pairs_per_s"]
        = benchmark::Counter(pairs, benchmark::Counter::kIsIterationInvariantRate);
    bench.counters["pairs"] = pairs; // per iteration: the report divides by the fastest time
}

// The loops exactly as the computation is defined, one sine and one cosine per sample and
// harmonic: the baseline.
void Literal(benchmark::State &bench)
{
    AnalysisState state = Parameters(bench.range(0), bench.range(1), 0.5);
    for (auto _ : bench) {
        ComputeSpectrum(state);
        benchmark::DoNotOptimize(state.Magnitudes.data());
    }
    CountPairs(bench, state);
}

// Every harmonic with the C library's sine and cosine, on the threads.
void Exact(benchmark::State &bench)
{
    AnalysisState state = Parameters(bench.range(0), bench.range(1), 0.5);
    const auto threads = static_cast<unsigned>(bench.range(2));
    for (auto _ : bench) {
        testing_seam::ComputeSpectrumByDirectSums(state, ExactKernel(), threads);
        benchmark::DoNotOptimize(state.Magnitudes.data());
    }
    CountPairs(bench, state);
}

// The program's analysis, as a command runs it: the bulk on the vector kernel, every number
// shown summed again exactly, the results checked and the peaks found.
void Analysis(benchmark::State &bench, const SpectrumKernel *kernel)
{
    const AnalysisState parameters = Parameters(bench.range(0), bench.range(1), 0.5);
    const auto threads = static_cast<unsigned>(bench.range(2));
    AnalysisState last;
    for (auto _ : bench) {
        AnalysisState analysis = parameters; // a new workspace, as every command makes
        RunAnalysis(analysis,
                    {.kernel = kernel, .threads = threads, .path = SpectrumPath::DirectSums});
        benchmark::DoNotOptimize(analysis.Magnitudes.data());
        bench.PauseTiming();
        last = std::move(analysis); // its arrays are freed outside the timing
        bench.ResumeTiming();
    }
    CountPairs(bench, last);
}

// The measures alone (the samples' sums, RMS, THD, power share, the moduli's noise) on an
// analysis computed once: to be set against the analysis at the same (N, H), which they follow.
void Measures(benchmark::State &bench)
{
    AnalysisState analysis = Parameters(bench.range(0), bench.range(1), 0.5);
    RunAnalysis(analysis);
    for (auto _ : bench) {
        analysis.Measures.reset(); // summed anew, as an analysis sums them once
        ComputeMeasures(analysis);
        benchmark::DoNotOptimize(analysis.RmsValue);
    }
}

// The bare kernel on one thread: angles, sines and cosines of blocks of 256 samples and nothing
// else, over the angles the analysis at (N, H, D) = (1e6, 100, 0.5) takes, harmonic by harmonic:
// small angles take SLEEF's short path, large ones its longer reduction.
void BareKernel(benchmark::State &bench, const SpectrumKernel *kernel)
{
    constexpr std::size_t Block = 256;
    constexpr std::int64_t Harmonics = 100;
    constexpr std::int64_t PulseSamples = 500000;
    std::vector<double> sines(Block), cosines(Block);
    std::int64_t k = 1;
    std::int64_t first = 0;
    for (auto _ : bench) {
        const double twoKPi = static_cast<double>(static_cast<std::int32_t>(2 * k)) * PI;
        BareKernelOf (*kernel)(twoKPi, 1e6, first, Block, sines.data(), cosines.data());
        benchmark::DoNotOptimize(sines.data());
        benchmark::DoNotOptimize(cosines.data());
        if (++k > Harmonics) {
            k = 1;
            first = (first + std::int64_t(Block)) % PulseSamples;
        }
    }
    bench.counters["pairs_per_s"]
        = benchmark::Counter(double(Block), benchmark::Counter::kIsIterationInvariantRate);
    bench.counters["pairs"] = double(Block);
}

// The program's analysis at `parameters`, as a command runs it, on 2 threads, on the path given
// (0: the cheaper, as the program chooses; 1: the direct sums; 2: the transform), either at a new
// N (`first`: no plan kept, as at the first analysis of that N) or repeated with the plan kept.
void AnalysisOnPath(benchmark::State &bench, const AnalysisState &parameters, std::int64_t path,
                    bool first)
{
    const SpectrumPath paths[]
        = {SpectrumPath::Cheaper, SpectrumPath::DirectSums, SpectrumPath::Transform};
    SpectrumOptions options;
    options.threads = 2;
    options.path = paths[path];
    AnalysisState last = parameters;
    RunAnalysis(last, options); // the plan made, pages of the C library touched
    for (auto _ : bench) {
        bench.PauseTiming();
        last = AnalysisState(); // the last analysis's arrays freed outside the timing
        if (first)
            testing_seam::ForgetKeptPlansAndBuffers();
        AnalysisState analysis = parameters;
        bench.ResumeTiming();
        RunAnalysis(analysis, options);
        benchmark::DoNotOptimize(analysis.Magnitudes.data());
        bench.PauseTiming();
        last = std::move(analysis);
        bench.ResumeTiming();
    }
    const SpectrumPath taken = options.path == SpectrumPath::Cheaper
        ? CheaperPath(parameters.SampleCount, parameters.DutyCycle, parameters.HarmonicCount)
        : options.path;
    bench.counters["transform"] = taken == SpectrumPath::Transform ? 1 : 0;
}

// N, H, the path and whether the N is new.
void Spectrum(benchmark::State &bench)
{
    AnalysisOnPath(bench, Parameters(bench.range(0), bench.range(1), 0.5), bench.range(2),
                   bench.range(3) != 0);
}

// Each pulse shape (its place in the list of shapes, 0 the half-sine) on the path given, the plan
// kept: no shape may cost more than the half-sine.
void Shapes(benchmark::State &bench)
{
    AnalysisState parameters = Parameters(bench.range(0), bench.range(1), 0.5);
    parameters.Shape = static_cast<PulseShape>(bench.range(3));
    bench.SetLabel(std::string(TextsOf(parameters.Shape).name));
    AnalysisOnPath(bench, parameters, bench.range(2), false);
}

// The sampling alone, shape by shape, on 2 threads, into arrays allocated outside the timing:
// its share of the analysis at the same (N, H) above.
void Sampling(benchmark::State &bench)
{
    AnalysisState parameters = Parameters(bench.range(0), 100, 0.5);
    parameters.Shape = static_cast<PulseShape>(bench.range(1));
    bench.SetLabel(std::string(TextsOf(parameters.Shape).name));
    AnalysisState state;
    for (auto _ : bench) {
        bench.PauseTiming();
        state = parameters; // the last samples freed, new arrays made, outside the timing
        AllocateArrays(state);
        bench.ResumeTiming();
        testing_seam::SamplePulse(state, 2);
        benchmark::DoNotOptimize(state.Samples.data());
    }
}

// What the results alone cost at H = N: the analysis's arrays allocated as every analysis
// allocates them, and the coefficients and moduli of harmonics 1 to N written on 2 threads in the
// blocks the transform path writes them in, with nothing computed: the system's mapping and
// zeroing of their new pages, and the stores.
void ResultPages(benchmark::State &bench)
{
    constexpr std::int64_t Block = 1 << 16;
    const AnalysisState parameters = Parameters(bench.range(0), bench.range(0), 0.5);
    const std::int64_t n = parameters.SampleCount;
    AnalysisState state = parameters;
    for (auto _ : bench) {
        AllocateArrays(state);
        std::atomic<std::int64_t> next {0};
        const auto write = [&] {
            for (std::int64_t block; (block = next.fetch_add(1)) * Block < n;) {
                const std::int64_t from = std::max<std::int64_t>(1, block * Block);
                const std::int64_t to = std::min(n, block * Block + Block - 1);
                for (RealArray *array :
                     {&state.CosCoefficients, &state.SinCoefficients, &state.Magnitudes}) {
                    MapForWriting(array->data() + from, array->data() + to + 1);
                    for (std::int64_t k = from; k <= to; ++k)
                        (*array)[static_cast<std::size_t>(k)] = static_cast<double>(k);
                }
            }
        };
        std::thread other(write);
        write();
        other.join();
        benchmark::DoNotOptimize(state.Magnitudes.data());
        bench.PauseTiming();
        state = AnalysisState(parameters); // its arrays freed outside the timing, as in Spectrum
        bench.ResumeTiming();
    }
}

// A capture of range(0) points as an oscilloscope saves it ("Time (s),CH1 (V)" then a time and a
// value a row), read from its text, its frequency estimated, its periods averaged at N = 10000
// points and the period analysed with H = 100: the text made once, outside the timing.
void CaptureToPeriod(benchmark::State &bench)
{
    const std::int64_t points = bench.range(0);
    std::string text = "Time (s),CH1 (V)\r\n";
    char row[64];
    for (std::int64_t i = 0; i < points; ++i) {
        const double t = static_cast<double>(i) * 1e-8;
        const double phase = std::fmod(t * 1e5, 1.0); // 100 kHz
        const double v = phase < 0.5 ? 10 * std::sin(3.14159265358979 * phase / 0.5) : 0;
        text.append(
            row, static_cast<std::size_t>(std::snprintf(row, sizeof row, "%.9e,%.6e\r\n", t, v)));
    }
    for (auto _ : bench) {
        std::istringstream in(text);
        const CaptureResult read = ReadCapture(in, text.size(), {});
        const Capture &capture = std::get<Capture>(read);
        const double hertz = std::get<FrequencyEstimate>(EstimateFrequency(capture)).hertz;
        AnalysisParameters parameters;
        parameters.Frequency = hertz;
        parameters.HarmonicCount = 100;
        parameters.PeriodCount = 3;
        const auto average = std::get<PeriodAverage>(AveragePeriod(capture, hertz, 10000));
        benchmark::DoNotOptimize(MeasuredAnalysis(parameters, average.values));
    }
    bench.counters["MB"] = static_cast<double>(text.size()) / 1e6;
}

// "Stima i parametri" on the windows' thread: a half-sine's Vmax, D and delay fitted to a period
// of range(0) points with noise (a longer period than MostFitPoints is fitted read at that many).
void FitToPeriod(benchmark::State &bench)
{
    const std::int64_t n = bench.range(0);
    std::vector<double> period(static_cast<std::size_t>(n));
    std::uint32_t random = 1;
    for (std::int64_t i = 0; i < n; ++i) {
        const double x = std::fmod(static_cast<double>(i) / static_cast<double>(n) + 0.8, 1.0);
        random = random * 1664525u + 1013904223u;
        period[static_cast<std::size_t>(i)]
            = (x < 0.3 ? 5 * std::sin(3.14159265358979 * x / 0.3) : 0)
            + 0.1 * (static_cast<double>(random >> 8) / double(1 << 24) - 0.5);
    }
    for (auto _ : bench)
        benchmark::DoNotOptimize(FitPulse(PulseShape::HalfSine, period));
}

// From the cancel request to the computation's return: `delay` milliseconds after the start
// (on the transform path at N = 1e8: while sampling), or with delay 0 the moment the transform
// itself begins, which then runs on, abandoned, for a second or more.
void CancelLatency(benchmark::State &bench)
{
    // Cancels the work when asked, or with delay 0 as the transform begins, on its thread.
    struct Canceller : WorkWatcher
    {
        explicit Canceller(bool atTheTransform) : atTheTransform(atTheTransform) { }
        const bool atTheTransform;
        TaskControl control {*this};
        std::atomic<std::int64_t> cancelled {0};

        void Cancel()
        {
            cancelled = std::chrono::steady_clock::now().time_since_epoch().count();
            control.Cancel();
        }
        void Reached(WorkStage stage) override
        {
            if (atTheTransform && stage == WorkStage::TransformRunning)
                Cancel();
        }
    };
    for (auto _ : bench) {
        AnalysisState state = Parameters(bench.range(0), 100000, 0.5);
        // Never freed: the abandoned transform still tells it of its end, after the analysis has
        // returned.
        auto &watcher = *new Canceller(bench.range(1) == 0);
        SpectrumOptions options;
        options.threads = 2;
        const auto delay = std::chrono::milliseconds(bench.range(1));
        std::thread canceller([&] {
            if (bench.range(1) == 0)
                return;
            std::this_thread::sleep_for(delay);
            watcher.Cancel();
        });
        ComputeSpectrumExactWhereShown(state, 0, options, &watcher.control);
        const auto returned = std::chrono::steady_clock::now().time_since_epoch().count();
        canceller.join();
        bench.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::duration(
                                                                 returned - watcher.cancelled))
                                   .count());
    }
}

double Fastest(const std::vector<double> &times)
{
    return *std::min_element(times.begin(), times.end());
}

} // namespace

// The targets' point, (N, H, D) = (1e6, 100, 0.5), and two smaller sizes of the literal loops.
BENCHMARK(Literal)
    ->ArgNames({"N", "H"})
    ->Args({10'000, 10})
    ->Args({100'000, 100})
    ->Args({1'000'000, 100})
    ->ComputeStatistics("min", Fastest)
    ->Unit(benchmark::kMillisecond);

BENCHMARK(Exact)
    ->ArgNames({"N", "H", "threads"})
    ->ArgsProduct({{1'000'000}, {100}, {1, 2}})
    ->ComputeStatistics("min", Fastest)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The scaling table: H = 10 to 1e6 at N = 1e6, N = 1e4 to 1e8 at H = 100, and (1e5, 1e5), each
// on the program's path, first and repeated; the direct sums beside it where they take seconds at
// most, the transform where the program takes the direct sums: the crossover.
BENCHMARK(Spectrum)
    ->ArgNames({"N", "H", "path", "first"})
    ->ArgsProduct({{1'000'000}, {10, 100, 1000, 10'000, 100'000, 1'000'000}, {0}, {0, 1}})
    ->ArgsProduct({{10'000, 100'000, 10'000'000, 100'000'000}, {100}, {0}, {0, 1}})
    ->Args({100'000, 100'000, 0, 0})
    ->Args({100'000, 100'000, 0, 1})
    ->Args({10'000, 10, 0, 0}) // the defaults
    ->Args({10'000, 10, 0, 1})
    ->ArgsProduct({{1'000'000}, {3, 6, 10, 30, 100, 300, 1000}, {1, 2}, {0}})
    ->ArgsProduct({{10'000, 100'000}, {10, 100, 1000}, {1, 2}, {0}})
    ->Args({10'000'000, 100, 1, 0})
    ->ComputeStatistics("min", Fastest)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Any N against the round ones beside it: primes near 1e4, 1e6, 1e7 and 1e8, a product of two
// primes near 1e7 (3109 x 3217), a prime's square near 1e6 (1009^2), and the powers of two and
// of ten nearest them, at H = 100 and H = N, on the program's path, at a new N and repeated.
BENCHMARK(Spectrum)
    ->Name("AnyN")
    ->ArgNames({"N", "H", "path", "first"})
    ->ArgsProduct({{10'000, 16'384, 9'973, 1'000'000, 1'048'576, 999'983, 1'018'081, 10'000'000,
                    8'388'608, 9'999'991, 10'001'653},
                   {100},
                   {0},
                   {0, 1}})
    ->Args({100'000'000, 100, 0, 1})
    ->Args({99'999'989, 100, 0, 1})
    ->Args({134'217'728, 100, 0, 1})
    ->ComputeStatistics("min", Fastest)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The same sizes at H = N, where every bin is read.
void AnyNAllHarmonics(benchmark::State &bench)
{
    Spectrum(bench);
}
BENCHMARK(AnyNAllHarmonics)
    ->ArgNames({"N", "H", "path", "first"})
    ->Args({10'000, 10'000, 0, 1})
    ->Args({9'973, 9'973, 0, 1})
    ->Args({1'000'000, 1'000'000, 0, 1})
    ->Args({1'048'576, 1'048'576, 0, 1})
    ->Args({999'983, 999'983, 0, 1})
    ->Args({10'000'000, 10'000'000, 0, 1})
    ->Args({9'999'991, 9'999'991, 0, 1})
    ->Args({10'001'653, 10'001'653, 0, 1})
    ->ComputeStatistics("min", Fastest)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The crossover of the direct sums and the transform at a prime N and a product of two primes,
// beside the round one's in the scaling table.
BENCHMARK(Spectrum)
    ->Name("Crossover")
    ->ArgNames({"N", "H", "path", "first"})
    ->ArgsProduct({{999'983, 10'001'653}, {10, 30, 100}, {1, 2}, {0}})
    ->ComputeStatistics("min", Fastest)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Amplitudes whose moduli overflow, refused, against the same analysis at 10 V: N, the amplitude's
// power of ten, H = N + 1, as a command runs it.
void HugeAmplitude(benchmark::State &bench)
{
    AnalysisState parameters = Parameters(bench.range(0), bench.range(0) + 1, 0.5);
    parameters.Amplitude = bench.range(1) == 1 ? 10 : std::pow(10.0, double(bench.range(1)));
    SpectrumOptions options;
    options.threads = 2;
    AnalysisState last;
    bool refused = false;
    for (auto _ : bench) {
        AnalysisState analysis = parameters;
        refused = RunAnalysis(analysis, options).status != AnalysisOutcome::Status::Done;
        bench.PauseTiming();
        last = std::move(analysis);
        bench.ResumeTiming();
    }
    bench.counters["refused"] = refused ? 1 : 0;
}
// Every shape of the list, by its place in it.
const std::vector<std::int64_t> EveryShape = [] {
    std::vector<std::int64_t> shapes;
    for (const PulseShapeTexts &texts : PulseShapes)
        shapes.push_back(static_cast<std::int64_t>(texts.shape));
    return shapes;
}();

BENCHMARK(Shapes)
    ->ArgNames({"N", "H", "path", "shape"})
    ->ArgsProduct({{1'000'000}, {100}, {1, 2}, EveryShape})
    ->ArgsProduct({{10'000}, {10}, {0}, EveryShape})
    ->ComputeStatistics("min", Fastest)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(Sampling)
    ->ArgNames({"N", "shape"})
    ->ArgsProduct({{1'000'000}, EveryShape})
    ->ComputeStatistics("min", Fastest)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK(HugeAmplitude)
    ->ArgNames({"N", "V"})
    ->Args({1'000'000, 1})
    ->Args({1'000'000, 200})
    ->ComputeStatistics("min", Fastest)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(Measures)
    ->ArgNames({"N", "H"})
    ->Args({1'000'000, 100})
    ->Args({100'000'000, 100})
    ->ComputeStatistics("min", Fastest)
    ->Unit(benchmark::kMillisecond);

BENCHMARK(CaptureToPeriod)
    ->ArgNames({"points"})
    ->Arg(1'000'000)
    ->ComputeStatistics("min", Fastest)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK(FitToPeriod)
    ->ArgNames({"N"})
    ->Arg(10'000)
    ->Arg(1'000'000)
    ->ComputeStatistics("min", Fastest)
    ->Unit(benchmark::kMillisecond);

BENCHMARK(ResultPages)
    ->ArgNames({"N"})
    ->Arg(1'000'000)
    ->ComputeStatistics("min", Fastest)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK(CancelLatency)
    ->ArgNames({"N", "delay"})
    ->Args({100'000'000, 200})
    ->Args({100'000'000, 0})
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    // Each vector kernel this processor runs, the program's own (the first) with how the time
    // grows with N, H and the threads.
    for (const SpectrumKernel &kernel : VectorKernels()) {
        if (!kernel.supported())
            continue;
        const std::string name = kernel.name;
        benchmark::RegisterBenchmark(("BareKernel/" + name).c_str(), BareKernel, &kernel)
            ->ComputeStatistics("min", Fastest);
        if (name == "scalar")
            continue;
        auto *analysis
            = benchmark::RegisterBenchmark(("Analysis/" + name).c_str(), Analysis, &kernel)
                  ->ArgNames({"N", "H", "threads"})
                  ->ArgsProduct({{1'000'000}, {100}, {1, 2}})
                  ->ComputeStatistics("min", Fastest)
                  ->Unit(benchmark::kMillisecond)
                  ->UseRealTime();
        if (&kernel == &BestVectorKernel())
            analysis->ArgsProduct({{10'000, 100'000, 10'000'000}, {100}, {1, 2}})
                ->ArgsProduct({{1'000'000}, {10, 1000}, {1, 2}});
    }
    benchmark::AddCustomContext("sincos_kernel", BestVectorKernel().name);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
