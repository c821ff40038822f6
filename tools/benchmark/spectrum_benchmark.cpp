// Time of one analysis: the literal loops against the exact and the vectorised fast paths, the
// cost of cancelling, and the drawing of long traces against one QPainter line per segment.
#include "core/sincos_kernels.h"
#include "core/spectrum.h"
#include "core/spectrum_fast.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <thread>

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

void Count(benchmark::State &bench)
{
    bench.counters["sin_cos_per_s"] = benchmark::Counter(
        2.0 * static_cast<double>(bench.range(0)) * static_cast<double>(bench.range(1)),
        benchmark::Counter::kIsIterationInvariantRate);
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
    Count(bench);
}

template<SpectrumPath Path> void Fast(benchmark::State &bench)
{
    AnalysisState state = Parameters(bench.range(0), bench.range(1), 0.5);
    const auto threads = static_cast<unsigned>(bench.range(2));
    for (auto _ : bench) {
        ComputeSpectrumFast(state, Path, threads);
        benchmark::DoNotOptimize(state.Magnitudes.data());
    }
    Count(bench);
}

// From the cancel request to the computation's return, for an analysis of hours.
void CancelLatency(benchmark::State &bench)
{
    for (auto _ : bench) {
        AnalysisState state = Parameters(bench.range(0), 100000, 0.5);
        SpectrumControl control;
        std::chrono::steady_clock::time_point cancelled;
        std::thread canceller([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            cancelled = std::chrono::steady_clock::now();
            control.Cancel();
        });
        ComputeSpectrumFast(state, SpectrumPath::Vectorised, 2, &control);
        const auto returned = std::chrono::steady_clock::now();
        canceller.join();
        bench.SetIterationTime(std::chrono::duration<double>(returned - cancelled).count());
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

BENCHMARK(Fast<SpectrumPath::Exact>)
    ->Name("Exact")
    ->ArgNames({"N", "H", "threads"})
    ->ArgsProduct({{1'000'000}, {100}, {1, 2}})
    ->ComputeStatistics("min", Fastest)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The vector path at the targets' point, then how it grows with N, H and the threads.
BENCHMARK(Fast<SpectrumPath::Vectorised>)
    ->Name("Vectorised")
    ->ArgNames({"N", "H", "threads"})
    ->ArgsProduct({{1'000'000}, {100}, {1, 2}})
    ->ArgsProduct({{10'000, 100'000, 10'000'000}, {100}, {1, 2}})
    ->ArgsProduct({{1'000'000}, {10, 1000}, {1, 2}})
    ->ComputeStatistics("min", Fastest)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK(CancelLatency)
    ->ArgNames({"N"})
    ->Arg(1'000'000)
    ->Arg(100'000'000)
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    benchmark::AddCustomContext("sincos_kernel", BestSincosKernel().name);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
