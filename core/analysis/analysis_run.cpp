// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/analysis/analysis_run.h"

#include "core/capture/capture_analysis.h"
#include "core/platform/work_threads.h"
#include "core/spectrum/signal_measures.h"
#include "core/spectrum/spectrum.h"
#include "core/spectrum/spectrum_paths.h"
#include "core/state/measured_signal.h"
#include "core/state/result_list.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace {

bool ScalarsUsable(const AnalysisState &analysis)
{
    return UsableResult(analysis.MeanValue) && UsableResult(analysis.SignalPeak)
        && UsableResult(analysis.CosSum) && UsableResult(analysis.SinSum);
}

// A harmonic result is computed up to RoundToCount(H); past it the arrays hold the zeros they were
// allocated with. A result not computed yet is an empty array.
bool ResultUsable(const AnalysisState &analysis, const ResultDeclaration &result)
{
    if (const auto *stored = std::get_if<StoredValue>(&result.source))
        return UsableResult(analysis.*stored->value);
    const auto *stored = std::get_if<StoredArray>(&result.source);
    if (!stored) // a measure, found after the check, or a result read from the others
        return true;
    const RealArray &values = analysis.*stored->array;
    const std::int64_t harmonics = TryRoundToCount(analysis.HarmonicCount).value_or(0);
    const auto end = result.scope == ResultScope::Sample
        ? static_cast<std::int64_t>(values.size())
        : std::clamp<std::int64_t>(harmonics + 1, 0, static_cast<std::int64_t>(values.size()));
    return std::all_of(values.begin(), values.begin() + end, UsableResult);
}

// The results the spectrum's paths did not check as they wrote them.
bool OthersUsable(const AnalysisState &analysis)
{
    return std::all_of(AnalysisResultList.begin(), AnalysisResultList.end(),
                       [&](const ResultDeclaration &result) {
                           return result.checkedAsWritten || ResultUsable(analysis, result);
                       });
}

AnalysisOutcome Checked(bool usable)
{
    if (usable)
        return {};
    return {AnalysisOutcome::Status::Failed, Refusal {Reason::ResultsTooLarge}, {}};
}

// A measured signal's period, analysed in the workspace; a capture's problem is its message.
AnalysisOutcome RunMeasured(AnalysisState &analysis, TaskControl *control)
{
    try {
        MeasuredOutcome measured = AnalyseMeasured(analysis.Parameters(), control);
        if (auto *problem = std::get_if<CaptureProblem>(&measured))
            return {AnalysisOutcome::Status::Failed, {}, problem->text};
        if (std::holds_alternative<CaptureCancelled>(measured))
            return {AnalysisOutcome::Status::Cancelled, {}, {}};
        analysis = std::move(std::get<AnalysisState>(measured));
    } catch (const std::bad_alloc &) {
        return {AnalysisOutcome::Status::Failed, Refusal {Reason::AllocationFailed}, {}};
    }
    return CheckResults(analysis);
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
    return Checked(ScalarsUsable(analysis)
                   && std::all_of(AnalysisResultList.begin(), AnalysisResultList.end(),
                                  [&](const ResultDeclaration &result) {
                                      return ResultUsable(analysis, result);
                                  }));
}

std::int64_t ProgressTotal(const AnalysisState &analysis)
{
    if (analysis.Measured)
        return MeasuredWork(analysis);
    return std::max(0, TryRoundToCount(analysis.HarmonicCount).value_or(0));
}

AnalysisOutcome RunAnalysis(AnalysisState &analysis, TaskControl *control)
{
    SpectrumOptions options;
    options.threads = WorkThreads();
    return RunAnalysis(analysis, options, control);
}

AnalysisOutcome RunAnalysis(AnalysisState &analysis, const SpectrumOptions &options,
                            TaskControl *control)
{
    // The bulk of the harmonics on the path chosen, the C library's sums for every number shown;
    // the arrays checked and the peak found as they were written where the path could.
    if (analysis.Measured)
        return RunMeasured(analysis, control);
    ResultsFound found;
    SpectrumOptions finding = options;
    finding.results = &found;
    try {
        if (!ComputeSpectrumExactWhereShown(analysis, analysis.TargetHarmonic, finding, control))
            return {AnalysisOutcome::Status::Cancelled, {}, {}};
    } catch (const std::bad_alloc &) {
        return {AnalysisOutcome::Status::Failed, Refusal {Reason::AllocationFailed}, {}};
    }
    AnalysisOutcome outcome = found.found
        ? Checked(ScalarsUsable(analysis) && OthersUsable(analysis))
        : CheckResults(analysis);
    if (outcome.status == AnalysisOutcome::Status::Done) {
        if (found.found)
            analysis.SpectrumPeak = found.spectrumPeak;
        else
            FindSpectrumPeak(analysis);
        analysis.PeaksFound = true;
        ComputeMeasures(analysis, found.rounding ? &*found.rounding : nullptr);
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
