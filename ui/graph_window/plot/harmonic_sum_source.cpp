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

bool RunSumSizedWork(const TaskGate &tasks, QWidget *parent, MessageBox &messages, std::int64_t n,
                     const QString &progress, const std::function<void(TaskControl &)> &work)
{
    if (const auto problem = HarmonicSumMemoryProblem(n, AvailableMemoryBytes())) {
        messages.Show(MessageText(*problem));
        return false;
    }
    bool completed = false;
    if (const auto outOfMemory = OutOfMemoryMessage(MemoryTask::Computation, [&] {
            completed = RunWithProgress(tasks, parent, progress, HarmonicSumSteps, work);
        })) {
        messages.Show(*outOfMemory);
        return false;
    }
    return completed;
}

bool ProvideHarmonicSum(const TaskGate &tasks, QWidget *parent, AnalysisState &state,
                        MessageBox &messages)
{
    if (state.Samples.empty() || !state.HarmonicSum.empty())
        return true;
    // The worker reads the state and writes only its own result; nothing changes the state
    // meanwhile, since the gate keeps the commands out.
    std::optional<RealArray> sum;
    const AnalysisState &analysis = state;
    if (!RunSumSizedWork(
            tasks, parent, messages, state.SampleCount, QTextOf(UiText::HarmonicSumProgress),
            [&](TaskControl &control) { sum = ComputeHarmonicSum(analysis, &control); })
        || !sum)
        return false;
    state.HarmonicSum = std::move(*sum);
    return true;
}
