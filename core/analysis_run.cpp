#include "analysis_run.h"

#include "spectrum.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <thread>

namespace {

bool Usable(double value)
{
    return std::abs(value) <= MaxResultMagnitude; // false for NaN too
}

bool AllUsable(const RealArray &values)
{
    return std::all_of(values.begin(), values.end(), Usable);
}

} // namespace

AnalysisState NewAnalysis(const AnalysisParameters &parameters)
{
    AnalysisState analysis;
    analysis.Parameters() = parameters;
    return analysis;
}

AnalysisOutcome CheckResults(const AnalysisState &analysis)
{
    // Past the last harmonic the coefficient arrays hold the zeros they were allocated with.
    const std::optional<std::int32_t> harmonics = TryRoundToCount(analysis.HarmonicCount);
    const auto computed = [&](const RealArray &values) {
        const auto end = std::clamp<std::int64_t>(harmonics.value_or(0) + 1, 0,
                                                  static_cast<std::int64_t>(values.size()));
        return std::all_of(values.begin(), values.begin() + end, Usable);
    };
    const bool usable = Usable(analysis.MeanValue) && Usable(analysis.SignalPeak)
        && Usable(analysis.CosSum) && Usable(analysis.SinSum) && AllUsable(analysis.Samples)
        && computed(analysis.Magnitudes) && computed(analysis.CosCoefficients)
        && computed(analysis.SinCoefficients);
    if (usable)
        return {};
    return {AnalysisOutcome::Status::Failed, Refusal {Reason::ResultsTooLarge}};
}

AnalysisOutcome RunAnalysis(AnalysisState &analysis, TaskControl *control)
{
    return RunAnalysis(analysis, BestVectorKernel(),
                       std::max(1u, std::thread::hardware_concurrency()), control);
}

AnalysisOutcome RunAnalysis(AnalysisState &analysis, const SpectrumKernel &kernel, unsigned threads,
                            TaskControl *control)
{
    // The vector kernel for the bulk of the harmonics, the C library's for every number shown.
    try {
        if (!ComputeSpectrumShown(analysis, analysis.TargetHarmonic, kernel, threads, control))
            return {AnalysisOutcome::Status::Cancelled, {}};
    } catch (const std::bad_alloc &) {
        return {AnalysisOutcome::Status::Failed, Refusal {Reason::AllocationFailed}};
    }
    AnalysisOutcome outcome = CheckResults(analysis);
    if (outcome.status == AnalysisOutcome::Status::Done) {
        FindSpectrumPeak(analysis);
        analysis.PeaksFound = true;
    }
    return outcome;
}

void CommitAnalysis(AnalysisState &state, AnalysisState &&analysis, Command command)
{
    const std::int32_t target = state.TargetHarmonic;
    state.Parameters() = analysis.Parameters();
    if (command != Command::HarmonicModulus)
        state.TargetHarmonic = target;
    state.Results() = std::move(analysis.Results());
}
