// Time of one analysis at growing sizes, with D = 0.5.
#include "core/spectrum.h"

#include <benchmark/benchmark.h>

namespace {

void ComputeSpectrumLiteral(benchmark::State &bench)
{
    AnalysisState state;
    state.Amplitude = 10;
    state.DutyCycle = 0.5;
    state.SampleCount = static_cast<std::int32_t>(bench.range(0));
    state.HarmonicCount = static_cast<double>(bench.range(1));
    for (auto _ : bench) {
        ComputeSpectrum(state);
        benchmark::DoNotOptimize(state.Magnitudes.data());
    }
    bench.counters["sin_cos_per_s"] = benchmark::Counter(
        2.0 * static_cast<double>(bench.range(0)) * static_cast<double>(bench.range(1)),
        benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(ComputeSpectrumLiteral)
    ->ArgNames({"N", "H"})
    ->Args({10'000, 10})
    ->Args({100'000, 100})
    ->Args({1'000'000, 100})
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
