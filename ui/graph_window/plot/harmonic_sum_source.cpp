// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "harmonic_sum_source.h"

#include "ui/long_work/out_of_memory.h"
#include "ui/long_work/work_progress.h"
#include "ui/window_texts.h"

#include "core/analysis/message_box.h"
#include "core/platform/system_memory.h"
#include "core/spectrum/harmonic_sum.h"
#include "core/state/analysis_state.h"
#include "core/state/task_control.h"
#include "core/texts/messages.h"

#include <optional>

bool ProvideHarmonicSum(const TaskGate &tasks, QWidget *parent, AnalysisState &state,
                        MessageBox &messages)
{
    if (state.Samples.empty() || !state.HarmonicSum.empty())
        return true;
    if (const auto problem = HarmonicSumMemoryProblem(state.SampleCount, AvailableMemoryBytes())) {
        messages.Show(MessageText(*problem));
        return false;
    }
    // The worker reads the state and writes only its own result; nothing changes the state
    // meanwhile, since the gate keeps the commands out.
    std::optional<RealArray> sum;
    bool completed = false;
    const AnalysisState &analysis = state;
    if (const auto outOfMemory = OutOfMemoryMessage(MemoryTask::Computation, [&] {
            completed = RunWithProgress(
                tasks, parent, QTextOf(UiText::HarmonicSumProgress), HarmonicSumSteps,
                [&](TaskControl &control) { sum = ComputeHarmonicSum(analysis, &control); });
        })) {
        messages.Show(*outOfMemory);
        return false;
    }
    if (!completed || !sum)
        return false;
    state.HarmonicSum = std::move(*sum);
    return true;
}
