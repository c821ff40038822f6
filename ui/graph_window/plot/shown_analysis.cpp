// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "shown_analysis.h"

#include "ui/long_work/out_of_memory.h"
#include "ui/long_work/work_progress.h"
#include "ui/window_texts.h"

#include "core/analysis/message_box.h"
#include "core/platform/system_memory.h"
#include "core/spectrum/filter_output.h"
#include "core/spectrum/harmonic_sum.h"
#include "core/state/task_control.h"
#include "core/texts/messages.h"

#include <algorithm>

ShownAnalysis::Made ShownAnalysis::MadeNow() const
{
    return {input_.CosCoefficients.data(),
            input_.Samples.data(),
            input_.Parameters(),
            input_.MeanValue,
            input_.SignalPeak,
            input_.SpectrumPeak};
}

bool ShownAnalysis::Follow(const TaskGate &tasks, QWidget *parent, MessageBox &messages)
{
    if (wanted_.kind == FilterKind::None || input_.Samples.empty()) {
        output_.reset(); // nothing to filter before an analysis: the choice waits for one
        made_ = {};
        return true;
    }
    const Made now = MadeNow();
    if (output_ && made_ == wanted_ && from_ == now)
        return true;
    output_.reset(); // its memory free before the next is made
    made_ = {};
    const auto fail = [&] {
        wanted_ = {};
        return false;
    };
    if (const auto problem = HarmonicSumMemoryProblem(input_.SampleCount, AvailableMemoryBytes())) {
        messages.Show(MessageText(*problem));
        return fail();
    }
    // The worker reads the input and writes only its own result; nothing changes the input
    // meanwhile, since the gate keeps the commands out.
    std::optional<AnalysisState> output;
    bool completed = false;
    const AnalysisState &input = input_;
    const FilterSettings filter = wanted_;
    if (const auto outOfMemory = OutOfMemoryMessage(MemoryTask::Computation, [&] {
            completed = RunWithProgress(
                tasks, parent, QTextOf(UiText::FilterProgress), HarmonicSumSteps,
                [&](TaskControl &control) { output = FilterOutput(input, filter, &control); });
        })) {
        messages.Show(*outOfMemory);
        return fail();
    }
    if (!completed || !output)
        return fail();
    output->SignalPeak = std::max(output->SignalPeak, input_.SignalPeak);
    output->SpectrumPeak = std::max(output->SpectrumPeak, input_.SpectrumPeak);
    output_ = std::move(output);
    made_ = filter;
    from_ = now;
    return true;
}
