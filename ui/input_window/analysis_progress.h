// Runs an analysis away from the windows' thread. The windows keep repainting but take no input;
// an analysis that lasts shows a modal dialog with the harmonics done and a cancel button.
#pragma once

#include "core/analysis_run.h"

class QWidget;

// How long an analysis may run before the progress dialog appears.
constexpr int ProgressDialogDelayMs = 300;

AnalysisOutcome ComputeWithProgress(QWidget *parent, AnalysisState &analysis);
