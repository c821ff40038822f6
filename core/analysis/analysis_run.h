// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// One analysis computed apart from the shared state and stored into it whole, so that a failed
// or refused analysis leaves the state exactly as it was.
#pragma once

#include "core/analysis/parameter_check.h"
#include "core/state/analysis_state.h"
#include "core/texts/refusal.h"

#include <optional>
#include <string>

class TaskControl;
struct SpectrumOptions; // core/spectrum/spectrum_paths.h: the windows need not see it

struct AnalysisOutcome
{
    enum class Status
    {
        Done,
        Failed,
        Cancelled
    };
    Status status = Status::Done;
    std::optional<Refusal> refusal; // why it failed
    std::u16string message; // or, for a measured signal, what its capture's problem says
};

// A record holding the parameters alone: the computation's own workspace.
AnalysisState NewAnalysis(const AnalysisParameters &parameters);

// What a RunAnalysis of the workspace counts up to in its control: one a harmonic.
std::int64_t ProgressTotal(const AnalysisState &analysis);

// The spectrum of the workspace on WorkThreads() threads (of a measured signal, its averaged
// period's), on the cheaper path, with an allocation failure or an unusable result turned into a
// refusal. `control`, when given, follows and may cancel it from another thread.
AnalysisOutcome RunAnalysis(AnalysisState &analysis, TaskControl *control = nullptr);
// The same with a chosen path, vector kernel and number of threads.
AnalysisOutcome RunAnalysis(AnalysisState &analysis, const SpectrumOptions &options,
                            TaskControl *control = nullptr);

// Checks that every result of a finished analysis is finite and within MaxResultMagnitude.
AnalysisOutcome CheckResults(const AnalysisState &analysis);

// Moves the parameters and results of a finished analysis into the shared state, the results as
// one group (the peaks found with them included). The entry-check fields stay; TargetHarmonic is
// stored by the harmonic modulus command only.
void CommitAnalysis(AnalysisState &state, AnalysisState &&analysis, Command command);
