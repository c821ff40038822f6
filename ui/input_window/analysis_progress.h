// One analysis computed away from the windows' thread, with its progress shown when it lasts.
#pragma once

#include "core/analysis_run.h"

class QWidget;

AnalysisOutcome ComputeWithProgress(QWidget *parent, AnalysisState &analysis);
