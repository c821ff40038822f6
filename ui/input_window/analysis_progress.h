// One analysis computed away from the windows' thread, with its progress shown when it lasts.
#pragma once

#include "ui/classic/task_gate.h"

#include "core/analysis_run.h"

class QWidget;

AnalysisOutcome ComputeWithProgress(const TaskGate::Pass &pass, QWidget *parent,
                                    AnalysisState &analysis);
