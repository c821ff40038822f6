// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "shown_analysis.h"

#include "harmonic_sum_source.h"

#include "ui/window_texts.h"

#include "core/spectrum/filter_output.h"
#include "core/state/task_control.h"

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
    // The worker reads the input and writes only its own result; nothing changes the input
    // meanwhile, since the gate keeps the commands out.
    std::optional<AnalysisState> output;
    const AnalysisState &input = input_;
    const FilterSettings filter = wanted_;
    if (!RunSumSizedWork(
            tasks, parent, messages, input_.SampleCount, QTextOf(UiText::FilterProgress),
            [&](TaskControl &control) { output = FilterOutput(input, filter, &control); })
        || !output) {
        wanted_ = {};
        return false;
    }
    output->SignalPeak = std::max(output->SignalPeak, input_.SignalPeak);
    output->SpectrumPeak = std::max(output->SpectrumPeak, input_.SpectrumPeak);
    output_ = std::move(output);
    made_ = filter;
    from_ = now;
    return true;
}
