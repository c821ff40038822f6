// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// One analysis computed away from the windows' thread, with its progress shown when it lasts.
#pragma once

#include "ui/long_work/task_gate.h"

#include "core/analysis/analysis_run.h"
#include "core/texts/messages.h"

class QWidget;

// The caller holds a pass of `tasks`.
AnalysisOutcome ComputeWithProgress(const TaskGate &tasks, QWidget *parent,
                                    AnalysisState &analysis);

// What the progress dialog says the analysis counts: harmonics, or a measured signal's points.
inline UiText ProgressText(const AnalysisState &analysis)
{
    return analysis.Measured ? UiText::MeasuredProgress : UiText::AnalysisProgress;
}
