// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis_progress.h"

#include "ui/long_work/out_of_memory.h"
#include "ui/long_work/work_progress.h"
#include "ui/window_texts.h"

#include "core/spectrum/spectrum.h"

#include "core/texts/messages.h"

#include <algorithm>

AnalysisOutcome ComputeWithProgress(const TaskGate &tasks, QWidget *parent, AnalysisState &analysis)
{
    // The workspace is the command's own record, never the shared analysis state: the worker
    // alone touches it until RunWithProgress returns.
    AnalysisOutcome outcome;
    bool completed = false;
    if (OutOfMemoryMessage(MemoryTask::Computation, [&] {
            completed = RunWithProgress(
                tasks, parent, QTextOf(ProgressText(analysis)), ProgressTotal(analysis),
                [&](TaskControl &control) { outcome = RunAnalysis(analysis, &control); });
        }))
        return {AnalysisOutcome::Status::Failed, ComputationOutOfMemory, {}};
    if (!completed)
        return {AnalysisOutcome::Status::Cancelled, {}, {}};
    return outcome;
}
